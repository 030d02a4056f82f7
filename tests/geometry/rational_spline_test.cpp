// Rational spline fit and evaluation against independently computed curves: the natural cubic
// spline (own tridiagonal solve here), exact polynomials the spline must reproduce, and the
// shape properties the rational parameters are there to enforce.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "geometry/rational_spline.h"

namespace carinex {
namespace {

using Values = std::vector<double>;

// Natural cubic spline: the moments M solve h(i-1)*M(i-1) + 2*(h(i-1) + h(i))*M(i) + h(i)*M(i+1)
// = 6*(slope difference) with M = 0 at both ends, by elimination down the tridiagonal rows.
Values naturalMoments(const Values& x, const Values& y) {
    const std::size_t n = x.size();
    Values m(n, 0.0), diag(n, 1.0), rhs(n, 0.0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double hl = x[i] - x[i - 1], hr = x[i + 1] - x[i];
        diag[i] = 2.0 * (hl + hr);
        rhs[i] = 6.0 * ((y[i + 1] - y[i]) / hr - (y[i] - y[i - 1]) / hl);
        if (i > 1) {
            const double w = hl / diag[i - 1];
            diag[i] -= w * hl;  // the row above has h(i-1) right of its diagonal
            rhs[i] -= w * rhs[i - 1];
        }
    }
    for (std::size_t i = n - 2; i >= 1; --i) m[i] = (rhs[i] - (x[i + 1] - x[i]) * m[i + 1]) / diag[i];
    return m;
}

// Natural cubic spline value; beyond the ends the end interval's cubic is continued.
double naturalValue(const Values& x, const Values& y, const Values& m, double xv) {
    std::size_t lo = 0;
    while (lo + 2 < x.size() && xv >= x[lo + 1]) ++lo;
    const double h = x[lo + 1] - x[lo], a = (x[lo + 1] - xv) / h, b = 1.0 - a;
    return a * y[lo] + b * y[lo + 1] + ((a * a * a - a) * m[lo] + (b * b * b - b) * m[lo + 1]) * h * h / 6.0;
}

// A fitted curve with its tables (zero-based storage, as the routines take it).
struct Fit {
    Values x, y, coef, p;
    int ierr = -1;
    int n() const { return static_cast<int>(x.size()); }
};

// Natural ends by RATSPL, or end moments copied from their neighbours by RATSPE.
Fit fitted(Values x, Values y, bool copiedEnds = false) {
    Fit f{std::move(x), std::move(y), {}, {}};
    f.coef.assign(4 * (f.x.size() - 1), 0.0);
    f.p.assign(f.x.size() - 1, 0.0);
    if (copiedEnds) {
        RATSPE(f.n(), -1.0, -1.0, f.x, f.y, f.coef, f.p, f.ierr);
    } else {
        RATSPL(f.n(), f.x, f.y, f.coef, f.p, f.ierr);
    }
    return f;
}

struct Sample {
    double s, ds, rad;
    int interval;
};

Sample value(const Fit& f, double xv, int hint = 1) {
    Sample v{0.0, 0.0, 0.0, hint};
    RATVAL(f.n(), f.x, f.coef, f.p, xv, v.s, v.ds, v.rad, v.interval);
    return v;
}

// Second derivative recovered from the signed radius of curvature.
double secondDerivative(const Sample& v) { return -std::pow(1.0 + v.ds * v.ds, 1.5) / v.rad; }

const Values kUneven{0.0, 0.7, 1.5, 2.0, 3.1, 4.0, 5.2};

// Monotone data with small consistent bends on both sides of a big step.
const Values kStepX{0, 1, 2, 3, 4, 5, 6, 7};
const Values kStepY{0.0, 0.01, 0.03, 0.06, 1.0, 1.94, 1.97, 1.99};

double dataBend(const Values& x, const Values& y, std::size_t i) {
    return (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
}

// ---------------------------------------------------------------------------------------------
// A parabola bends one way throughout; exactly straight runs between corners have zero data
// bends, and a zero product passes the shape test although the cubic swings across them; two
// points make a straight line. All keep P = 0: the fit is the natural cubic spline, with
// coefficients C = M(i)*h^2/6, D = M(i+1)*h^2/6.
TEST(RatSplineFit, DataWithoutOpposingBendsGiveTheNaturalCubicSpline) {
    Values parabola;
    for (double xi : kUneven) parabola.push_back(xi * xi);
    const std::pair<Values, Values> data[] = {
        {kUneven, parabola}, {kStepX, {0, 0, 0, 0, 1, 1, 1, 1}}, {{1.0, 3.0}, {2.0, 5.0}}};
    for (const auto& [x, y] : data) {
        const Fit f = fitted(x, y);
        ASSERT_EQ(f.ierr, 0);
        for (double p : f.p) EXPECT_EQ(p, 0.0);
        const Values m = naturalMoments(x, y);
        for (std::size_t i = 0; i + 1 < x.size(); ++i) {
            const double h = x[i + 1] - x[i], C = m[i] * h * h / 6.0, D = m[i + 1] * h * h / 6.0;
            EXPECT_NEAR(f.coef[4 * i + 0], y[i] - C, 1e-12) << "A of interval " << i + 1;
            EXPECT_NEAR(f.coef[4 * i + 1], y[i + 1] - D, 1e-12) << "B of interval " << i + 1;
            EXPECT_NEAR(f.coef[4 * i + 2], C, 1e-12) << "C of interval " << i + 1;
            EXPECT_NEAR(f.coef[4 * i + 3], D, 1e-12) << "D of interval " << i + 1;
        }
        for (double xv = x.front() - 1.0; xv <= x.back() + 1.0; xv += 0.0625) {
            EXPECT_NEAR(value(f, xv).s, naturalValue(x, y, m, xv), 1e-11) << "x = " << xv;
        }
    }
}

// The natural cubic spline through the step bends against the data at some points and leaves
// the data range of some interval. The fit raises P on the intervals next to those points, each
// raise by 3 per cent of 1 + P (so a raised P is 1.03^k - 1), until neither happens. The curve
// then still passes through the points with continuous slope and curvature, its curvature has
// the sign of the data bend at every point and keeps it between two points that bend the same
// way, and RATVAL's slope and radius agree with differences of its values.
TEST(RatSplineFit, StepRaisesParametersUntilTheCurveKeepsTheDataShape) {
    const Values &x = kStepX, &y = kStepY;
    const std::size_t n = x.size();
    const Values m = naturalMoments(x, y);
    std::vector<bool> offends(n, false);
    for (std::size_t i = 1; i + 1 < n; ++i) offends[i] = m[i] * dataBend(x, y, i) < 0.0;
    ASSERT_GT(std::count(offends.begin(), offends.end(), true), 0);

    const Fit f = fitted(x, y);
    ASSERT_EQ(f.ierr, 0);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (offends[i] || offends[i + 1]) {
            EXPECT_GT(f.p[i], 0.0) << "interval " << i + 1;
        }
        const double k = std::log1p(f.p[i]) / std::log(1.03);
        EXPECT_NEAR(k, std::round(k), 1e-8) << "p = " << f.p[i];
        EXPECT_GE(k, -1e-9);
        for (int j = 0; j <= 400; ++j) {
            const double s = value(f, x[i] + (x[i + 1] - x[i]) * j / 400.0).s;
            EXPECT_GE(s, std::min(y[i], y[i + 1]) - 1e-14) << "interval " << i + 1 << " at " << j;
            EXPECT_LE(s, std::max(y[i], y[i + 1]) + 1e-14) << "interval " << i + 1 << " at " << j;
        }
    }
    // Parameters on entry are not a starting point.
    Fit again = fitted(x, y);
    std::fill(again.p.begin(), again.p.end(), 50.0);
    RATSPL(again.n(), again.x, again.y, again.coef, again.p, again.ierr);
    ASSERT_EQ(again.ierr, 0);
    EXPECT_EQ(again.p, f.p);
    EXPECT_EQ(again.coef, f.coef);

    ASSERT_GT(*std::max_element(f.p.begin(), f.p.end()), 1.0);
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_NEAR(value(f, x[i], i == 0 ? 4 : 1).s, y[i], 1e-14) << "point " << i + 1;
        if (i == 0 || i + 1 == x.size()) continue;
        const Sample left = value(f, x[i] - 1e-7), right = value(f, x[i] + 1e-7);
        EXPECT_NEAR(left.ds, right.ds, 1e-5) << "point " << i + 1;
        EXPECT_NEAR(secondDerivative(left), secondDerivative(right), 1e-4) << "point " << i + 1;
        const double bend = dataBend(x, y, i);
        EXPECT_GE(secondDerivative(value(f, x[i])) * bend, 0.0) << "point " << i + 1;
        if (i + 2 < x.size() && bend * dataBend(x, y, i + 1) > 0.0) {
            for (int k = 1; k < 200; ++k)
                EXPECT_GT(secondDerivative(value(f, x[i] + k / 200.0)) * bend, 0.0) << "interval " << i + 1;
        }
    }
    for (double xv = 0.13; xv < 7.0; xv += 0.25) {
        const Sample v = value(f, xv);
        EXPECT_NEAR(v.ds, (value(f, xv + 1e-5).s - value(f, xv - 1e-5).s) / 2e-5, 1e-7) << "x = " << xv;
        const double second = (value(f, xv + 1e-4).s - 2.0 * v.s + value(f, xv - 1e-4).s) / 1e-8;
        EXPECT_NEAR(secondDerivative(v), second, 1e-5) << "x = " << xv;
    }
}

// y'' = -2 everywhere satisfies the interior rows and M(1) = M(2), M(N-1) = M(N): the fit is the
// parabola itself, bending downward with the radius (1 + y'^2)^1.5/2, positive. Through two
// points it is the straight line, with no curvature at all: RAD = 10000.
TEST(RatSplineFit, CopiedEndMomentsReproduceAParabolaAndALine) {
    Values parabola;
    for (double xi : kUneven) parabola.push_back(-xi * xi);
    for (bool line : {false, true}) {
        const Fit f = line ? fitted({1.0, 3.0}, {2.0, 5.0}, true) : fitted(kUneven, parabola, true);
        ASSERT_EQ(f.ierr, 0);
        for (double p : f.p) EXPECT_EQ(p, 0.0);
        for (double xv = -1.0; xv <= 6.0; xv += 0.1) {
            const Sample v = value(f, xv);
            const double ds = line ? 1.5 : -2.0 * xv, radius = line ? 10000.0 : std::pow(1.0 + ds * ds, 1.5) / 2.0;
            EXPECT_NEAR(v.s, line ? 2.0 + 1.5 * (xv - 1.0) : -xv * xv, 1e-12) << "x = " << xv;
            EXPECT_NEAR(v.ds, ds, 1e-12) << "x = " << xv;
            EXPECT_NEAR(v.rad, radius, 1e-10 * radius) << "x = " << xv;
        }
    }
}

// Abscissae that do not increase fail with IERR = 1 and leave the tables alone; a single point
// is no curve and no failure either.
TEST(RatSplineFit, UnusableAbscissaeLeaveTheTablesUntouched) {
    struct Case {
        Values x;
        int N;
        bool copiedEnds;
        int ierr;
    };
    for (const Case& c : {Case{{0.0, 1.0, 1.0, 2.0}, 4, false, 1}, Case{{0.0, 2.0, 1.0}, 3, true, 1},
                          Case{{1.0, 2.0}, 1, false, 0}}) {
        Fit f{c.x, c.x, Values(4 * (c.x.size() - 1), 123.0), Values(c.x.size() - 1, 7.0)};
        if (c.copiedEnds) {
            RATSPE(c.N, -1.0, -1.0, f.x, f.y, f.coef, f.p, f.ierr);
        } else {
            RATSPL(c.N, f.x, f.y, f.coef, f.p, f.ierr);
        }
        EXPECT_EQ(f.ierr, c.ierr) << c.N;
        for (double v : f.coef) EXPECT_EQ(v, 123.0) << c.N;
        for (double v : f.p) EXPECT_EQ(v, 7.0) << c.N;
    }
}

// ---------------------------------------------------------------------------------------------
TEST(RatValue, HintOnlyChangesWhereTheSearchStarts) {
    const Fit f = fitted(kStepX, kStepY);
    const int n = f.n();
    for (double xv = -1.5; xv <= 8.5; xv += 0.25) {
        // Interval expected from the abscissae, clamped to the table.
        int expected = 1;
        while (expected < n - 1 && xv >= kStepX[static_cast<std::size_t>(expected)]) ++expected;
        const Sample reference = value(f, xv, 1);
        for (int hint : {1, 2, n / 2, n - 1, n, 0, n + 3, -7}) {
            const Sample v = value(f, xv, hint);
            EXPECT_EQ(v.interval, expected) << "x = " << xv << " hint " << hint;
            EXPECT_EQ(v.s, reference.s);
            EXPECT_EQ(v.ds, reference.ds);
            EXPECT_EQ(v.rad, reference.rad);
        }
    }
}

}  // namespace
}  // namespace carinex

namespace carinex {
namespace {

// The value-only and value-and-slope evaluations give RATVAL's numbers to the last bit, from
// any hint, inside and beyond the table, and leave the same interval in the hint.
TEST(RatValue, ValueAndSlopeAloneAreTheFullEvaluationsNumbers) {
    for (const Fit& f : {fitted(kStepX, kStepY), fitted(kUneven, {1.0, 0.2, 0.9, 0.1, 0.8, 0.3, 0.5}, true)}) {
        ASSERT_EQ(f.ierr, 0);
        const int n = f.n();
        for (double xv = -1.3; xv <= 8.4; xv += 0.173) {
            for (int hint : {1, 3, n - 1, n, 0, n + 2}) {
                const Sample full = value(f, xv, hint);
                int hs = hint, hsd = hint;
                double s = 0.0, ds = 0.0;
                EXPECT_EQ(RATVAL_S(n, f.x, f.coef, f.p, xv, hs), full.s);
                RATVAL_SDS(n, f.x, f.coef, f.p, xv, s, ds, hsd);
                EXPECT_EQ(s, full.s);
                EXPECT_EQ(ds, full.ds);
                EXPECT_EQ(hs, full.interval);
                EXPECT_EQ(hsd, full.interval);
            }
        }
    }
}

// Tables longer than any the program fits take the heap scratch: such a fit must still
// interpolate its points and bend with the data at every interior point.
TEST(RatSplineFit, LongTablesKeepInterpolationAndShape) {
    for (int n : {160, 161, 400}) {
        Values x, y;
        for (int j = 0; j < n; ++j) {
            x.push_back(0.5 * j + 0.01 * (j % 3));
            y.push_back(std::floor(j / 12.0) + 0.002 * j * j / n);  // steps: shape parameters must rise
        }
        const Fit f = fitted(x, y);
        ASSERT_EQ(f.ierr, 0) << n;
        EXPECT_TRUE(std::any_of(f.p.begin(), f.p.end(), [](double p) { return p > 0.0; })) << n;
        for (std::size_t j = 0; j < x.size(); ++j) EXPECT_NEAR(value(f, x[j], 1).s, y[j], 1e-12) << n << " " << j;
        for (std::size_t j = 1; j + 1 < x.size(); ++j) {
            const Sample v = value(f, x[j], static_cast<int>(j) + 1);
            EXPECT_GE(secondDerivative(v) * dataBend(x, y, j), -1e-9) << n << " " << j;
        }
    }
}

// Two fits side by side give each table exactly its own fit: tables of different lengths and
// pass counts (the longer or the shorter one finishing first), a table that cannot be fitted,
// and one too long for the stack scratch.
TEST(RatSplineFit, PairedFitsEqualSingleFitsToTheLastBit) {
    auto table = [](int n, double step, double jitter) {
        Fit f;
        for (int j = 0; j < n; ++j) {
            f.x.push_back(0.5 * j + jitter * (j % 3));
            f.y.push_back(std::floor(j / step) + 0.002 * j * j / n);
        }
        if (n == 4) f.x[2] = f.x[1];  // not increasing: IERR 1
        f.coef.assign(4 * (f.x.size() - 1), 5.0);
        f.p.assign(f.x.size() - 1, 5.0);
        return f;
    };
    const std::vector<std::pair<Fit, Fit>> pairs{
        {table(30, 7.0, 0.01), table(12, 3.0, 0.02)}, {table(9, 2.0, 0.0), table(41, 11.0, 0.03)},
        {table(4, 2.0, 0.0), table(25, 5.0, 0.01)},   {table(200, 12.0, 0.01), table(2, 1.0, 0.0)}};
    for (const auto& [first, second] : pairs) {
        Fit a = first, b = second, singleA = first, singleB = second;
        RATSPL_PAIR({a.n(), a.x, a.y, a.coef, a.p, a.ierr}, {b.n(), b.x, b.y, b.coef, b.p, b.ierr});
        for (Fit* f : {&singleA, &singleB}) RATSPL(f->n(), f->x, f->y, f->coef, f->p, f->ierr);
        for (auto [paired, single] : {std::pair{&a, &singleA}, std::pair{&b, &singleB}}) {
            EXPECT_EQ(paired->ierr, single->ierr) << paired->n();
            EXPECT_EQ(paired->coef, single->coef) << paired->n();  // exact equality of every double
            EXPECT_EQ(paired->p, single->p) << paired->n();
        }
    }
}

}  // namespace
}  // namespace carinex
