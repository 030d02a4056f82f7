// Rational spline fit and evaluation against independently computed curves: the natural cubic
// spline (own dense solve here), exact polynomials the spline must reproduce, and the shape
// properties the rational parameters are there to enforce.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "geometry/rational_spline.h"

namespace carinex {
namespace {

// ---------------------------------------------------------------------------------------------
// Independent reference: natural cubic spline by dense Gaussian elimination with partial
// pivoting on the textbook system h(i-1)*y''(i-1) + 2*(h(i-1)+h(i))*y''(i) + h(i)*y''(i+1)
// = 6*(slope difference), y''(first) = y''(last) = 0. Zero-based throughout.
std::vector<double> natural_second_derivatives(const std::vector<double>& x,
                                               const std::vector<double>& y) {
    const std::size_t n = x.size();
    std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
    a[0][0] = 1.0;
    a[n - 1][n - 1] = 1.0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double hl = x[i] - x[i - 1];
        const double hr = x[i + 1] - x[i];
        a[i][i - 1] = hl;
        a[i][i] = 2.0 * (hl + hr);
        a[i][i + 1] = hr;
        a[i][n] = 6.0 * ((y[i + 1] - y[i]) / hr - (y[i] - y[i - 1]) / hl);
    }
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < n; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        }
        std::swap(a[col], a[pivot]);
        for (std::size_t r = 0; r < n; ++r) {
            if (r == col) continue;
            const double f = a[r][col] / a[col][col];
            for (std::size_t k = col; k <= n; ++k) a[r][k] -= f * a[col][k];
        }
    }
    std::vector<double> m(n);
    for (std::size_t i = 0; i < n; ++i) m[i] = a[i][n] / a[i][i];
    return m;
}

// Natural cubic spline value; beyond the ends the end interval's cubic is continued.
double natural_spline_value(const std::vector<double>& x, const std::vector<double>& y,
                            const std::vector<double>& m, double xv) {
    std::size_t lo = 0;
    while (lo + 2 < x.size() && xv >= x[lo + 1]) ++lo;
    const double h = x[lo + 1] - x[lo];
    const double a = (x[lo + 1] - xv) / h;
    const double b = 1.0 - a;
    return a * y[lo] + b * y[lo + 1] +
           ((a * a * a - a) * m[lo] + (b * b * b - b) * m[lo + 1]) * h * h / 6.0;
}

// ---------------------------------------------------------------------------------------------
// A fitted curve with its tables (zero-based storage, as the routines take it).
struct Fit {
    std::vector<double> x, y, coef, p;
    int ierr = -1;
    int n() const { return static_cast<int>(x.size()); }
};

Fit make_fit(std::vector<double> x, std::vector<double> y) {
    Fit f{std::move(x), std::move(y), {}, {}, -1};
    f.coef.assign(4 * (f.x.size() - 1), 0.0);
    f.p.assign(f.x.size() - 1, 0.0);
    return f;
}

Fit natural_fit(std::vector<double> x, std::vector<double> y) {
    Fit f = make_fit(std::move(x), std::move(y));
    RATSPL(f.n(), f.x, f.y, f.coef, f.p, f.ierr);
    return f;
}

Fit end_factor_fit(std::vector<double> x, std::vector<double> y, double e1, double e2) {
    Fit f = make_fit(std::move(x), std::move(y));
    RATSPE(f.n(), e1, e2, f.x, f.y, f.coef, f.p, f.ierr);
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
double curvature_term(const Sample& v) { return -std::pow(1.0 + v.ds * v.ds, 1.5) / v.rad; }

std::vector<double> squares(const std::vector<double>& x) {
    std::vector<double> y;
    for (double xi : x) y.push_back(xi * xi);
    return y;
}

const std::vector<double> kUneven{0.0, 0.7, 1.5, 2.0, 3.1, 4.0, 5.2};

// Monotone data with small consistent bends on both sides of a big step.
const std::vector<double> kStepX{0, 1, 2, 3, 4, 5, 6, 7};
const std::vector<double> kStepY{0.0, 0.01, 0.03, 0.06, 1.0, 1.94, 1.97, 1.99};

double data_bend(const std::vector<double>& x, const std::vector<double>& y, std::size_t i) {
    return (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
}

// ---------------------------------------------------------------------------------------------
TEST(RatSplineFit, ParabolaKeepsZeroParametersAndEqualsNaturalCubicSpline) {
    const std::vector<double> x = kUneven;
    const std::vector<double> y = squares(x);
    const Fit f = natural_fit(x, y);
    ASSERT_EQ(f.ierr, 0);
    for (double p : f.p) EXPECT_EQ(p, 0.0);

    const std::vector<double> m = natural_second_derivatives(x, y);
    // Coefficients A, B, C, D per interval, C = y''(i)*h^2/6 and D = y''(i+1)*h^2/6 for p = 0.
    for (std::size_t i = 0; i + 1 < x.size(); ++i) {
        const double h = x[i + 1] - x[i];
        const double C = m[i] * h * h / 6.0;
        const double D = m[i + 1] * h * h / 6.0;
        EXPECT_NEAR(f.coef[4 * i + 0], y[i] - C, 1e-12) << "A of interval " << i + 1;
        EXPECT_NEAR(f.coef[4 * i + 1], y[i + 1] - D, 1e-12) << "B of interval " << i + 1;
        EXPECT_NEAR(f.coef[4 * i + 2], C, 1e-12) << "C of interval " << i + 1;
        EXPECT_NEAR(f.coef[4 * i + 3], D, 1e-12) << "D of interval " << i + 1;
    }
    // The natural spline is not x^2 near the ends (zero end curvature), and the fit follows it.
    EXPECT_GT(std::fabs(value(f, 0.35).s - 0.35 * 0.35), 1e-3);
    for (double xv = -0.5; xv <= 5.7; xv += 0.0625) {
        EXPECT_NEAR(value(f, xv).s, natural_spline_value(x, y, m, xv), 1e-12) << "x = " << xv;
    }
}

TEST(RatSplineFit, StepRaisesParametersUntilNoOvershoot) {
    const std::vector<double>& x = kStepX;
    const std::vector<double>& y = kStepY;
    const std::size_t n = x.size();

    // The natural cubic spline through these points bends against the data at some points and
    // leaves the data range of some interval.
    const std::vector<double> m = natural_second_derivatives(x, y);
    std::vector<bool> offends(n, false);
    for (std::size_t i = 1; i + 1 < n; ++i) offends[i] = m[i] * data_bend(x, y, i) < 0.0;
    ASSERT_TRUE(std::count(offends.begin(), offends.end(), true) > 0);
    double cubic_overshoot = 0.0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (int k = 1; k < 100; ++k) {
            const double s = natural_spline_value(x, y, m, x[i] + (x[i + 1] - x[i]) * k / 100.0);
            cubic_overshoot = std::max({cubic_overshoot, std::min(y[i], y[i + 1]) - s,
                                        s - std::max(y[i], y[i + 1])});
        }
    }
    ASSERT_GT(cubic_overshoot, 1e-3);

    const Fit f = natural_fit(x, y);
    ASSERT_EQ(f.ierr, 0);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (offends[i] || offends[i + 1]) {
            EXPECT_GT(f.p[i], 0.0) << "interval " << i + 1;
        }
        EXPECT_GE(f.p[i], 0.0);
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (int k = 0; k <= 400; ++k) {
            const double s = value(f, x[i] + (x[i + 1] - x[i]) * k / 400.0).s;
            EXPECT_GE(s, std::min(y[i], y[i + 1]) - 1e-14) << "interval " << i + 1 << " k " << k;
            EXPECT_LE(s, std::max(y[i], y[i + 1]) + 1e-14) << "interval " << i + 1 << " k " << k;
        }
    }
}

TEST(RatSplineFit, RaisedParametersAreWholeNumbersOfThreePercentSteps) {
    // Each raise maps p to 1.03*p + 0.03, i.e. 1 + p to 1.03*(1 + p); from p = 0 a parameter
    // raised k times is 1.03^k - 1.
    const Fit f = natural_fit(kStepX, kStepY);
    ASSERT_EQ(f.ierr, 0);
    int raised = 0;
    for (double p : f.p) {
        if (p == 0.0) continue;
        ++raised;
        const double k = std::log1p(p) / std::log(1.03);
        EXPECT_GE(k, 1.0 - 1e-9);
        EXPECT_NEAR(k, std::round(k), 1e-8) << "p = " << p;
    }
    EXPECT_GT(raised, 0);
}

TEST(RatSplineFit, ExactlyStraightRunsPassTheShapeTest) {
    // Between the corners the data bend is exactly 0; a zero product passes, so the cubic
    // spline (which swings across the flat runs) is kept: all parameters stay 0.
    const std::vector<double> x{0, 1, 2, 3, 4, 5, 6, 7};
    const std::vector<double> y{0, 0, 0, 0, 1, 1, 1, 1};
    const Fit f = natural_fit(x, y);
    ASSERT_EQ(f.ierr, 0);
    for (double p : f.p) EXPECT_EQ(p, 0.0);
    const std::vector<double> m = natural_second_derivatives(x, y);
    for (double xv = 0.1; xv < 7.0; xv += 0.2) {
        EXPECT_NEAR(value(f, xv).s, natural_spline_value(x, y, m, xv), 1e-12);
    }
}

TEST(RatSplineFit, StepCurvatureFollowsTheDataBends) {
    const Fit f = natural_fit(kStepX, kStepY);
    ASSERT_EQ(f.ierr, 0);
    const std::size_t n = kStepX.size();
    // At every interior point the curvature has the sign of the data bend ...
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double bend = data_bend(kStepX, kStepY, i);
        EXPECT_GE(curvature_term(value(f, kStepX[i])) * bend, 0.0) << "point " << i + 1;
    }
    // ... and between two points that bend the same way it keeps that sign: no inflexion.
    for (std::size_t i = 1; i + 2 < n; ++i) {
        const double b0 = data_bend(kStepX, kStepY, i);
        const double b1 = data_bend(kStepX, kStepY, i + 1);
        if (b0 * b1 <= 0.0) continue;
        for (int k = 1; k < 200; ++k) {
            const Sample v = value(f, kStepX[i] + k / 200.0);
            EXPECT_GT(curvature_term(v) * b0, 0.0) << "interval " << i + 1 << " k " << k;
        }
    }
}

TEST(RatSplineFit, SlopeAndCurvatureContinuousAtPointsWithRaisedParameters) {
    const Fit f = natural_fit(kStepX, kStepY);
    ASSERT_EQ(f.ierr, 0);
    ASSERT_GT(*std::max_element(f.p.begin(), f.p.end()), 1.0);
    const double delta = 1e-7;
    for (std::size_t i = 1; i + 1 < kStepX.size(); ++i) {
        const Sample left = value(f, kStepX[i] - delta);
        const Sample right = value(f, kStepX[i] + delta);
        EXPECT_NEAR(left.s, right.s, 1e-6) << "point " << i + 1;
        EXPECT_NEAR(left.ds, right.ds, 1e-5) << "point " << i + 1;
        EXPECT_NEAR(curvature_term(left), curvature_term(right), 1e-4) << "point " << i + 1;
    }
}

TEST(RatSplineFit, SlopeAndRadiusAgreeWithDifferencesOfTheValue) {
    const Fit f = natural_fit(kStepX, kStepY);
    ASSERT_EQ(f.ierr, 0);
    for (double xv = 0.13; xv < 7.0; xv += 0.25) {
        const Sample v = value(f, xv);
        const double d1 = 1e-5;
        const double slope = (value(f, xv + d1).s - value(f, xv - d1).s) / (2.0 * d1);
        EXPECT_NEAR(v.ds, slope, 1e-7) << "x = " << xv;
        const double d2 = 1e-4;
        const double second = (value(f, xv + d2).s - 2.0 * v.s + value(f, xv - d2).s) / (d2 * d2);
        EXPECT_NEAR(curvature_term(v), second, 1e-5) << "x = " << xv;
    }
}

TEST(RatSplineFit, TwoPointsGiveTheStraightLine) {
    const Fit f = natural_fit({1.0, 3.0}, {2.0, 5.0});
    ASSERT_EQ(f.ierr, 0);
    EXPECT_EQ(f.coef[0], 2.0);
    EXPECT_EQ(f.coef[1], 5.0);
    EXPECT_EQ(f.coef[2], 0.0);
    EXPECT_EQ(f.coef[3], 0.0);
    EXPECT_EQ(f.p[0], 0.0);
    for (double xv : {-1.0, 1.0, 1.7, 3.0, 4.5}) {
        const Sample v = value(f, xv);
        EXPECT_NEAR(v.s, 2.0 + 1.5 * (xv - 1.0), 1e-14) << "x = " << xv;
        EXPECT_NEAR(v.ds, 1.5, 1e-14);
        EXPECT_EQ(v.rad, 10000.0);  // straight piece
    }
}

TEST(RatSplineFit, TwoPointsWithCopiedEndMomentsStayStraight) {
    const Fit f = end_factor_fit({1.0, 3.0}, {2.0, 5.0}, -1.0, -1.0);
    ASSERT_EQ(f.ierr, 0);
    EXPECT_EQ(f.coef[2], 0.0);
    EXPECT_EQ(f.coef[3], 0.0);
    EXPECT_NEAR(value(f, 2.0).s, 3.5, 1e-14);
}

TEST(RatSplineFit, RepeatedAbscissaLeavesTablesUntouched) {
    Fit f = make_fit({0.0, 1.0, 1.0, 2.0}, {0.0, 1.0, 2.0, 3.0});
    std::fill(f.coef.begin(), f.coef.end(), 123.0);
    std::fill(f.p.begin(), f.p.end(), 7.0);
    RATSPL(f.n(), f.x, f.y, f.coef, f.p, f.ierr);
    EXPECT_EQ(f.ierr, 1);
    for (double c : f.coef) EXPECT_EQ(c, 123.0);
    for (double p : f.p) EXPECT_EQ(p, 7.0);
}

TEST(RatSplineFit, DecreasingAbscissaeAreRejected) {
    Fit f = make_fit({0.0, 2.0, 1.0}, {0.0, 1.0, 2.0});
    std::fill(f.coef.begin(), f.coef.end(), -4.0);
    RATSPE(f.n(), -1.0, -1.0, f.x, f.y, f.coef, f.p, f.ierr);
    EXPECT_EQ(f.ierr, 1);
    for (double c : f.coef) EXPECT_EQ(c, -4.0);
}

TEST(RatSplineFit, SinglePointIsNoFailure) {
    Fit f = make_fit({1.0, 2.0}, {1.0, 2.0});
    std::fill(f.coef.begin(), f.coef.end(), 9.0);
    RATSPL(1, f.x, f.y, f.coef, f.p, f.ierr);
    EXPECT_EQ(f.ierr, 0);
    for (double c : f.coef) EXPECT_EQ(c, 9.0);
}

TEST(RatSplineFit, ParametersOnEntryAreIgnored) {
    const Fit fresh = natural_fit(kStepX, kStepY);
    Fit again = make_fit(kStepX, kStepY);
    std::fill(again.p.begin(), again.p.end(), 50.0);
    RATSPL(again.n(), again.x, again.y, again.coef, again.p, again.ierr);
    ASSERT_EQ(again.ierr, 0);
    EXPECT_EQ(again.p, fresh.p);
    EXPECT_EQ(again.coef, fresh.coef);
}

TEST(RatSplineFit, CopiedEndMomentsReproduceAParabola) {
    // y'' = 2 everywhere satisfies the interior rows and M(1) = M(2), M(N-1) = M(N).
    const Fit f = end_factor_fit(kUneven, squares(kUneven), -1.0, -1.0);
    ASSERT_EQ(f.ierr, 0);
    for (double p : f.p) EXPECT_EQ(p, 0.0);
    for (double xv = -1.0; xv <= 6.0; xv += 0.1) {
        const Sample v = value(f, xv);
        EXPECT_NEAR(v.s, xv * xv, 1e-12) << "x = " << xv;
        EXPECT_NEAR(v.ds, 2.0 * xv, 1e-12) << "x = " << xv;
    }
}

TEST(RatSplineFit, RadiusOfADownwardParabolaIsPositiveAndExact) {
    std::vector<double> y;
    for (double xi : kUneven) y.push_back(-xi * xi);
    const Fit f = end_factor_fit(kUneven, y, -1.0, -1.0);
    ASSERT_EQ(f.ierr, 0);
    for (double xv = 0.0; xv <= 5.2; xv += 0.3) {
        const double slope = -2.0 * xv;
        const double expected = std::pow(1.0 + slope * slope, 1.5) / 2.0;  // y'' = -2
        EXPECT_NEAR(value(f, xv).rad, expected, 1e-10 * expected) << "x = " << xv;
    }
}

// ---------------------------------------------------------------------------------------------
TEST(RatValue, EndAbscissaeReturnEndOrdinates) {
    const Fit f = natural_fit(kStepX, kStepY);
    ASSERT_EQ(f.ierr, 0);
    EXPECT_NEAR(value(f, kStepX.front(), 4).s, kStepY.front(), 1e-15);
    EXPECT_NEAR(value(f, kStepX.back(), 1).s, kStepY.back(), 1e-14);
    for (std::size_t i = 0; i < kStepX.size(); ++i) {
        EXPECT_NEAR(value(f, kStepX[i]).s, kStepY[i], 1e-14) << "point " << i + 1;
    }
}

TEST(RatValue, ExtrapolatesTheEndPieces) {
    const std::vector<double> y = squares(kUneven);
    const Fit f = natural_fit(kUneven, y);
    const std::vector<double> m = natural_second_derivatives(kUneven, y);
    for (double xv : {-2.0, -0.3, 5.5, 8.0}) {
        const Sample v = value(f, xv, 3);
        EXPECT_NEAR(v.s, natural_spline_value(kUneven, y, m, xv), 1e-11) << "x = " << xv;
        EXPECT_EQ(v.interval, xv < 0.0 ? 1 : f.n() - 1);
    }
}

TEST(RatValue, HintOnlyChangesWhereTheSearchStarts) {
    const Fit f = natural_fit(kStepX, kStepY);
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

TEST(RatValue, RunningHintFollowsAscendingAndDescendingSweeps) {
    std::vector<double> x;
    for (int i = 0; i < 50; ++i) x.push_back(0.1 * i + 0.001 * i * i);
    std::vector<double> y;
    for (double xi : x) y.push_back(std::sin(xi));
    const Fit f = natural_fit(x, y);
    ASSERT_EQ(f.ierr, 0);
    int hint = 1;
    for (int sweep = 0; sweep < 2; ++sweep) {
        for (int k = 0; k <= 500; ++k) {
            const double xv = sweep == 0 ? x.back() * k / 500.0 : x.back() * (500 - k) / 500.0;
            Sample v{0.0, 0.0, 0.0, hint};
            RATVAL(f.n(), f.x, f.coef, f.p, xv, v.s, v.ds, v.rad, v.interval);
            hint = v.interval;
            const std::size_t i = static_cast<std::size_t>(hint - 1);
            EXPECT_LE(x[i], xv);
            EXPECT_TRUE(xv < x[i + 1] || hint == f.n() - 1);
            EXPECT_EQ(v.s, value(f, xv, 0).s) << "x = " << xv;  // hint 0: whole-table search
            EXPECT_NEAR(v.s, std::sin(xv), 5e-3) << "x = " << xv;  // natural ends: coarse
        }
    }
}

}  // namespace
}  // namespace carinex
