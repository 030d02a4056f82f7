// Natural and rational spline fit, evaluation, integral and extremum, beyond what the whole runs
// print: exact polynomials, the shape the parameters must enforce on a step, the failure codes,
// the evaluation entries agreeing from every hint, integrals against closed forms (also where
// they vanish), and extrema where the slope vanishes or fails to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <tuple>
#include <utility>
#include <vector>

#include "geometry/natural_spline.h"
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
        const double hl = x[i] - x[i - 1], hr = x[i + 1] - x[i], w = i > 1 ? hl / diag[i - 1] : 0.0;
        diag[i] = 2.0 * (hl + hr) - w * hl;  // the row above has h(i-1) right of its diagonal
        rhs[i] = 6.0 * ((y[i + 1] - y[i]) / hr - (y[i] - y[i - 1]) / hl) - w * rhs[i - 1];
    }
    for (std::size_t i = n - 2; i >= 1; --i) m[i] = (rhs[i] - (x[i + 1] - x[i]) * m[i + 1]) / diag[i];
    return m;
}

struct Fit {
    Values x, y, coef, p;
    int ierr = -1;
    int n() const { return static_cast<int>(x.size()); }
};

// Fits the first N points (all: N = 0) into tables filled with `fill`: natural ends by RATSPL, or
// the end rows M(1) + e1*M(2) = 0, e2*M(N-1) + M(N) = 0 by RATSPE.
Fit fitted(Values x, Values y, bool endRows = false, double e1 = -1.0, double e2 = -1.0, int N = 0,
           double fill = 0.0) {
    Fit f{std::move(x), std::move(y), {}, {}};
    f.coef.assign(4 * (f.x.size() - 1), fill);
    f.p.assign(f.x.size() - 1, fill);
    if (endRows)
        RATSPE(N > 0 ? N : f.n(), e1, e2, f.x, f.y, f.coef, f.p, f.ierr);
    else
        RATSPL(N > 0 ? N : f.n(), f.x, f.y, f.coef, f.p, f.ierr);
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

double dataBend(const Values& x, const Values& y, std::size_t i) {
    return (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
}

const Values kUneven{0.0, 0.7, 1.5, 2.0, 3.1, 4.0, 5.2};

// Monotone data with small consistent bends on both sides of a big step.
const Values kStepX{0, 1, 2, 3, 4, 5, 6, 7};
const Values kStepY{0.0, 0.01, 0.03, 0.06, 1.0, 1.94, 1.97, 1.99};

// A parabola bends one way throughout; exactly straight runs between corners have zero data
// bends, and a zero product passes the shape test although the cubic swings across them; two
// points make a straight line. All keep P = 0: the fit is the natural cubic spline, with
// coefficients C = M(i)*h^2/6, D = M(i+1)*h^2/6, which SPLNAT's moments match as well.
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
        Values splnat(x.size());
        SPLNAT(f.n(), x, y, splnat);
        for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(splnat[i], m[i], 1e-12) << "SPLNAT " << i;
        for (std::size_t i = 0; i + 1 < x.size(); ++i) {
            const double h = x[i + 1] - x[i], C = m[i] * h * h / 6.0, D = m[i + 1] * h * h / 6.0;
            const double ABCD[] = {y[i] - C, y[i + 1] - D, C, D};
            for (std::size_t j = 0; j < 4; ++j) {
                EXPECT_NEAR(f.coef[4 * i + j], ABCD[j], 1e-12) << "ABCD"[j] << " of interval " << i + 1;
            }
        }
        // the natural spline's value with the moments above; beyond the ends its end cubics go on
        for (double xv = x.front() - 1.0; xv <= x.back() + 1.0; xv += 0.0625) {
            EXPECT_NEAR(value(f, xv).s, splnatValue(f.n(), x, y, m, xv), 1e-11) << "x = " << xv;
        }
    }
}

// y'' piecewise linear through (0,0), (1,6), (2,0), integrated twice: the natural cubic spline is
// exact, and continues beyond the table along its end intervals.
TEST(NaturalSpline, ReproducesAPiecewiseCubicBeyondItsEnds) {
    auto hat = [](double x) {
        return x <= 1 ? x * x * x : 1 + 3 * (x - 1) + 3 * (x - 1) * (x - 1) - std::pow(x - 1, 3);
    };
    const Values x{0, 1, 2}, y{hat(0), hat(1), hat(2)};
    Values y2(3);
    SPLNAT(3, x, y, y2);
    for (double v : {-0.5, 0.1, 0.5, 0.9, 1.3, 1.8, 2.4}) {
        EXPECT_NEAR(splnatValue(3, x, y, y2, v), hat(v), 1e-12) << v;
    }
}

// Where the natural spline through the step bends against the data, the fit raises P on the
// intervals next to those points until the curve stays within the data range of each interval and
// bends with the data at every point, and still interpolates.
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
        EXPECT_TRUE(f.p[i] > 0.0 || !(offends[i] || offends[i + 1])) << "raised P of interval " << i + 1;
        for (int j = 0; j <= 400; ++j) {
            const double s = value(f, x[i] + (x[i + 1] - x[i]) * j / 400.0).s;
            EXPECT_GE(s, std::min(y[i], y[i + 1]) - 1e-14) << "interval " << i + 1 << " at " << j;
            EXPECT_LE(s, std::max(y[i], y[i + 1]) + 1e-14) << "interval " << i + 1 << " at " << j;
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        EXPECT_NEAR(value(f, x[i], i == 0 ? 4 : 1).s, y[i], 1e-14) << "point " << i + 1;
        if (i == 0 || i + 1 == n) continue;
        // the second derivative has the sign of -RAD
        EXPECT_LE(value(f, x[i]).rad * dataBend(x, y, i), 0.0) << "point " << i + 1;
    }
}

// y'' = -2 satisfies the interior rows and copied end moments: the fit is the parabola itself,
// bending downward with the radius (1 + y'^2)^1.5/2. Through two points it is the straight line,
// with no curvature at all: RAD = 10000. From any hint, also outside the table, every entry finds
// the interval of the abscissae (clamped to the table) and gives the same values to the last bit.
TEST(RatSplineFit, CopiedEndMomentsReproduceAParabolaAndALine) {
    Values parabola;
    for (double xi : kUneven) parabola.push_back(-xi * xi);
    for (bool line : {false, true}) {
        const Fit f = line ? fitted({1.0, 3.0}, {2.0, 5.0}, true) : fitted(kUneven, parabola, true);
        ASSERT_EQ(f.ierr, 0);
        for (double p : f.p) EXPECT_EQ(p, 0.0);
        for (double xv = -1.0; xv <= 6.0; xv += 0.1) {
            const Sample v = value(f, xv);
            const double ds = line ? 1.5 : -2.0 * xv;
            const double radius = line ? 10000.0 : std::pow(1.0 + ds * ds, 1.5) / 2.0;
            EXPECT_NEAR(v.s, line ? 2.0 + 1.5 * (xv - 1.0) : -xv * xv, 1e-12) << "x = " << xv;
            EXPECT_NEAR(v.ds, ds, 1e-12) << "x = " << xv;
            EXPECT_NEAR(v.rad, radius, 1e-10 * radius) << "x = " << xv;
            int expected = 1;
            while (expected < f.n() - 1 && xv >= f.x[static_cast<std::size_t>(expected)]) ++expected;
            for (int hint : {2, f.n() / 2, f.n() - 1, f.n(), 0, f.n() + 3, -7}) {
                const Sample w = value(f, xv, hint);
                int hs = hint, hsd = hint;
                double sSds = 0.0, dsSds = 0.0;
                RATVAL_SDS(f.n(), f.x, f.coef, f.p, xv, sSds, dsSds, hsd);
                EXPECT_EQ(RATVAL_S(f.n(), f.x, f.coef, f.p, xv, hs), v.s) << xv << " hint " << hint;
                EXPECT_TRUE(w.s == v.s && sSds == v.s && w.ds == v.ds && dsSds == v.ds && w.rad == v.rad);
                for (int got : {v.interval, w.interval, hs, hsd})
                    EXPECT_EQ(got, expected) << xv << " hint " << hint;
            }
        }
    }
}

// Abscissae that do not increase fail with IERR = 1 and leave the tables alone; a single point
// is no curve and no failure either.
TEST(RatSplineFit, UnusableAbscissaeLeaveTheTablesUntouched) {
    // abscissae, N, end rows, IERR
    for (const auto& [x, N, endRows, ierr] :
         {std::tuple{Values{0.0, 1.0, 1.0, 2.0}, 4, false, 1}, std::tuple{Values{0.0, 2.0, 1.0}, 3, true, 1},
          std::tuple{Values{1.0, 2.0}, 1, false, 0}}) {
        const Fit f = fitted(x, x, endRows, -1.0, -1.0, N, 123.0);
        EXPECT_EQ(f.ierr, ierr) << N;
        for (const Values* table : {&f.coef, &f.p})
            for (double v : *table) EXPECT_EQ(v, 123.0) << N;
    }
}

// Integral and extremum

// y = x^3 - shift on x > 0 has y'' = 6x; the end rows with E1 = -X(1)/X(2), E2 = -X(N)/X(N-1)
// hold for these moments and the data bend upward throughout: the fit is the cubic itself.
Fit exactCubic(double shift = 0.0) {
    const Values x{1.0, 1.4, 1.75, 2.2, 2.6, 3.0};
    Values y;
    for (double xi : x) y.push_back(xi * xi * xi - shift);
    return fitted(x, y, true, -x[0] / x[1], -3.0 / 2.6);
}

// The cubic over the whole range and a part range backwards, and the line through two points
// beyond its ends (y = 1.5 - 1.5x: 5.25 over [-3, 4]), to 1e-12. x^3 - c over [1, 3] is 20 - 2c, which
// vanishes at c = 10: no relative test can be met there, and the integral converges against the
// size of its integrand, int |f|. A success leaves an earlier error flag as it was.
TEST(RatIntegral, PolynomialsAreIntegratedExactly) {
    const double quartic = (std::pow(2.7, 4) - std::pow(1.3, 4)) / 4.0;
    struct Case {
        Fit curve;
        double a, b, exact, tolerance;
    };
    std::vector<Case> cases{{exactCubic(), 1.0, 3.0, 20.0, 20e-12},
                            {exactCubic(), 2.7, 1.3, -quartic, 1e-12 * quartic},
                            {fitted({-1.0, 2.0}, {3.0, -1.5}, true, 0.0, 0.0), -3.0, 4.0, 5.25, 5.25e-12}};
    for (double c : {10.0, 10.0 + 1e-9, 9.0}) {
        const double root = std::cbrt(c);
        const double size = (c * root - std::pow(root, 4) / 4.0) - (c - 0.25) + (20.25 - 3.0 * c) -
                            (std::pow(root, 4) / 4.0 - c * root);
        cases.push_back({exactCubic(c), 1.0, 3.0, 20.0 - 2.0 * c, 1e-10 * size});
    }
    for (const Case& k : cases) {
        ASSERT_EQ(k.curve.ierr, 0);
        const Fit& f = k.curve;
        double res = 0.0, err = 0.0;
        int ierr = 7;
        RATINT(k.a, k.b, value(f, k.a).s, value(f, k.b).s, res, f.n(), f.x, f.coef, f.p, err, ierr);
        EXPECT_NEAR(res, k.exact, k.tolerance) << k.a << " " << k.b << " " << k.exact;
        EXPECT_TRUE(ierr == 7 && err == 1e-10) << ierr << " " << err;
    }
}

// A downward parabola with vertex (1.3, 2) is fitted exactly with copied end moments: RATEXT finds
// the vertex and leaves an earlier error flag; a monotone curve has no sign
// change: IERR = 1 at the last point.
TEST(RatExtremum, FindsWhereTheSlopeVanishes) {
    Values x{0.0, 0.4, 1.0, 1.6, 2.1, 2.5, 3.0}, y, cubic;
    for (double xi : x) y.push_back(2.0 - (xi - 1.3) * (xi - 1.3));
    for (double xi : {0.0, 1.0, 2.0, 3.0}) cubic.push_back(xi * xi * xi + xi);
    // fit, TOL, the extremum (x to its tolerance, s) and IERR (5: the earlier flag kept)
    for (const auto& [f, tol, xExt, xTol, sExt, code] :
         {std::tuple{fitted(x, y, true), 1e-10, 1.3, 1e-9, 2.0, 5},
          std::tuple{fitted({0.0, 1.0, 2.0, 3.0}, cubic, true, 0.0, 0.0), 1e-5, 3.0, 0.0, 30.0, 1}}) {
        double x1 = 0.0, s1 = 0.0;
        int ierr = 5;
        RATEXT(f.n(), f.x, f.coef, f.p, x1, s1, tol, std::ldexp(1.0, -50), ierr);
        EXPECT_EQ(ierr, code) << xExt;
        EXPECT_NEAR(x1, xExt, xTol) << "exactly at the last point where the slope keeps its sign";
        EXPECT_NEAR(s1, sExt, 1e-12) << xExt;
    }
}

}  // namespace
}  // namespace carinex
