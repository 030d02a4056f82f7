// Romberg integral and extremum search of the rational spline, on curves whose integral and
// extremum are known exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "geometry/rational_spline.h"

namespace carinex {
namespace {

struct Curve {
    std::vector<double> x, y, coef, p;
    int n() const { return static_cast<int>(x.size()); }
};

Curve fit_with_ends(std::vector<double> x, std::vector<double> y, double e1, double e2) {
    Curve c{std::move(x), std::move(y), {}, {}};
    c.coef.assign(4 * (c.x.size() - 1), 0.0);
    c.p.assign(c.x.size() - 1, 0.0);
    int ierr = -1;
    RATSPE(c.n(), e1, e2, c.x, c.y, c.coef, c.p, ierr);
    EXPECT_EQ(ierr, 0);
    return c;
}

double at(const Curve& c, double xv) {
    double s = 0.0, ds = 0.0, rad = 0.0;
    int hint = 1;
    RATVAL(c.n(), c.x, c.coef, c.p, xv, s, ds, rad, hint);
    return s;
}

double slope_at(const Curve& c, double xv) {
    double s = 0.0, ds = 0.0, rad = 0.0;
    int hint = 1;
    RATVAL(c.n(), c.x, c.coef, c.p, xv, s, ds, rad, hint);
    return ds;
}

struct Integral {
    double res = 0.0;
    double err = 0.0;
    int ierr = 0;
};

Integral integrate(const Curve& c, double a, double b, int ierr_on_entry = 0) {
    Integral r;
    r.ierr = ierr_on_entry;
    RATINT(a, b, at(c, a), at(c, b), r.res, c.n(), c.x, c.coef, c.p, r.err, r.ierr);
    return r;
}

// y = x^3 on x > 0 has y'' = 6x; the end rows M(1) + E1*M(2) = 0 and E2*M(N-1) + M(N) = 0 hold
// for these moments with E1 = -X(1)/X(2), E2 = -X(N)/X(N-1), and the data bend everywhere
// upward, so the fit reproduces the cubic exactly.
Curve exact_cubic() {
    const std::vector<double> x{1.0, 1.4, 1.75, 2.2, 2.6, 3.0};
    std::vector<double> y;
    for (double xi : x) y.push_back(xi * xi * xi);
    const std::size_t n = x.size();
    return fit_with_ends(x, y, -x[0] / x[1], -x[n - 1] / x[n - 2]);
}

TEST(RatIntegral, CubicIsIntegratedExactly) {
    const Curve c = exact_cubic();
    for (double p : c.p) ASSERT_EQ(p, 0.0);
    ASSERT_NEAR(at(c, 1.9), 1.9 * 1.9 * 1.9, 1e-12);  // the fit is the cubic itself

    const Integral whole = integrate(c, 1.0, 3.0);
    EXPECT_NEAR(whole.res, 20.0, 1e-12 * 20.0);
    EXPECT_EQ(whole.ierr, 0);
    EXPECT_EQ(whole.err, 1e-10);

    const double a = 1.3, b = 2.7;
    const double exact = (std::pow(b, 4) - std::pow(a, 4)) / 4.0;
    const Integral part = integrate(c, a, b);
    EXPECT_NEAR(part.res, exact, 1e-12 * exact);
    EXPECT_NEAR(integrate(c, b, a).res, -exact, 1e-12 * exact);
}

TEST(RatIntegral, StraightLineGivesTheTrapezoidValue) {
    const Curve c = fit_with_ends({-1.0, 2.0}, {3.0, -1.5}, 0.0, 0.0);
    for (auto [a, b] : {std::pair{-1.0, 2.0}, std::pair{0.25, 1.5}, std::pair{-3.0, 5.0}}) {
        const double fa = at(c, a);
        const double fb = at(c, b);
        const Integral r = integrate(c, a, b);
        const double trapezoid = 0.5 * (b - a) * (fa + fb);
        EXPECT_NEAR(r.res, trapezoid, 1e-14 * std::fabs(trapezoid) + 1e-15) << a << " " << b;
        EXPECT_EQ(r.ierr, 0);
        EXPECT_EQ(r.err, 1e-10);
    }
}

TEST(RatIntegral, NaturalSplineMatchesItsClosedFormIntegral) {
    // A cubic spline integrates to sum h*(y(i) + y(i+1))/2 - h^3*(y''(i) + y''(i+1))/24; for
    // p = 0 the moments are y'' = C*6/h^2 and D*6/h^2.
    const std::vector<double> x{0.0, 0.5, 1.25, 2.0, 3.5, 4.0};
    std::vector<double> y;
    for (double xi : x) y.push_back(xi * xi);
    Curve c{x, y, std::vector<double>(4 * (x.size() - 1)), std::vector<double>(x.size() - 1)};
    int ierr = -1;
    RATSPL(c.n(), c.x, c.y, c.coef, c.p, ierr);
    ASSERT_EQ(ierr, 0);
    double exact = 0.0;
    for (std::size_t i = 0; i + 1 < x.size(); ++i) {
        ASSERT_EQ(c.p[i], 0.0);
        const double h = x[i + 1] - x[i];
        const double m0 = c.coef[4 * i + 2] * 6.0 / (h * h);
        const double m1 = c.coef[4 * i + 3] * 6.0 / (h * h);
        exact += h * (y[i] + y[i + 1]) / 2.0 - h * h * h * (m0 + m1) / 24.0;
    }
    const Integral r = integrate(c, 0.0, 4.0);
    EXPECT_NEAR(r.res, exact, 1e-9 * exact);
    EXPECT_EQ(r.ierr, 0);
    // A natural spline through x^2 is not x^2, and the integral sees the difference.
    EXPECT_GT(std::fabs(r.res - 64.0 / 3.0), 1e-3);
}

// Parts that cancel: the exact cubic x^3 - c (a shift leaves the moments and the end rows as
// they are) over [1, 3] has the integral 20 - 2c, which vanishes at c = 10. There no relative
// test can be met; the integral has converged against the size of its integrand, int |f|.
TEST(RatIntegral, CancellingPartsConvergeAgainstTheSizeOfTheIntegrand) {
    const Curve cubic = exact_cubic();
    for (double c : {10.0, 10.0 + 1e-9, 9.0}) {
        std::vector<double> y;
        for (double yi : cubic.y) y.push_back(yi - c);
        const Curve shifted = fit_with_ends(cubic.x, y, -cubic.x[0] / cubic.x[1], -3.0 / 2.6);
        const double root = std::cbrt(c);  // int |x^3 - c| over [1, 3]
        const double size = (c * root - std::pow(root, 4) / 4.0) - (c - 0.25) + (20.25 - 3.0 * c) -
                            (std::pow(root, 4) / 4.0 - c * root);
        const Integral r = integrate(shifted, 1.0, 3.0);
        EXPECT_EQ(r.ierr, 0) << c;
        EXPECT_EQ(r.err, 1e-10) << c;
        EXPECT_NEAR(r.res, 20.0 - 2.0 * c, 1e-10 * size) << c;
    }
}

TEST(RatIntegral, SuccessLeavesAnEarlierErrorFlag) {
    const Curve c = exact_cubic();
    const Integral r = integrate(c, 1.0, 3.0, 7);
    EXPECT_EQ(r.ierr, 7);
    EXPECT_NEAR(r.res, 20.0, 1e-11);
}

// A waterline-like table (zero ends, a flat middle, a kink near the bow) bends against its data
// with the cubic, so the fit raises some parameters: the integral sees rational and cubic pieces,
// over the whole table, over ranges that start and end inside intervals and on knots, and beyond
// both ends, where the end pieces are extended. The reference is Simpson's rule on every
// interval of the range, each cut into 2000 panels.
TEST(RatIntegral, ShapedSplineMatchesComposedSimpsonOverEveryRange) {
    Curve c{{0.0, 0.3, 1.0, 2.0, 3.0, 4.0, 4.5, 4.6, 5.0},
            {0.0, 0.9, 1.4, 1.5, 1.5, 1.3, 0.6, 0.55, 0.0}, std::vector<double>(32), std::vector<double>(8)};
    int ierr = -1;
    RATSPL(c.n(), c.x, c.y, c.coef, c.p, ierr);
    ASSERT_EQ(ierr, 0);
    int rational = 0;
    for (double p : c.p) rational += p > 0.0 ? 1 : 0;
    ASSERT_GT(rational, 0);
    ASSERT_LT(rational, 8);
    auto simpson = [&](double a, double b) {
        std::vector<double> cuts{a};
        for (double xi : c.x)
            if (xi > a && xi < b) cuts.push_back(xi);
        cuts.push_back(b);
        double sum = 0.0;
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
            const int n = 2000;
            const double h = (cuts[i + 1] - cuts[i]) / n;
            double s = at(c, cuts[i]) + at(c, cuts[i + 1]);
            for (int k = 1; k < n; ++k) s += (k % 2 ? 4.0 : 2.0) * at(c, cuts[i] + k * h);
            sum += s * h / 3.0;
        }
        return sum;
    };
    for (auto [a, b] : {std::pair{0.0, 5.0}, std::pair{0.7, 4.55}, std::pair{1.0, 4.0}, std::pair{-0.4, 5.3},
                        std::pair{4.5, 4.6}}) {
        const Integral r = integrate(c, a, b);
        const double exact = simpson(a, b);
        EXPECT_NEAR(r.res, exact, 1e-9 * std::fabs(exact)) << a << " " << b;
        EXPECT_EQ(r.ierr, 0) << a << " " << b;
        EXPECT_NEAR(integrate(c, b, a).res, -r.res, 1e-12 * std::fabs(exact)) << a << " " << b;
    }
}

// ---------------------------------------------------------------------------------------------
// Downward parabola with vertex (1.3, 2): copied end moments make the fit exact.
Curve parabola_with_vertex() {
    const std::vector<double> x{0.0, 0.4, 1.0, 1.6, 2.1, 2.5, 3.0};
    std::vector<double> y;
    for (double xi : x) y.push_back(2.0 - (xi - 1.3) * (xi - 1.3));
    return fit_with_ends(x, y, -1.0, -1.0);
}

TEST(RatExtremum, FindsTheVertexOfAParabola) {
    const Curve c = parabola_with_vertex();
    double xext = 0.0, sext = 0.0;
    int ierr = 0;
    RATEXT(c.n(), c.x, c.coef, c.p, xext, sext, 1e-10, std::ldexp(1.0, -50), ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(xext, 1.3, 1e-9);
    EXPECT_NEAR(sext, 2.0, 1e-12);
}

TEST(RatExtremum, BothEntriesFindTheSamePoint) {
    const Curve c = parabola_with_vertex();
    double x1 = 0.0, s1 = 0.0, x3 = 0.0, s3 = 0.0;
    int ierr1 = 0, ierr3 = 0;
    RATEXT(c.n(), c.x, c.coef, c.p, x1, s1, 1e-5, std::ldexp(1.0, -50), ierr1);
    RATEXT3(c.n(), c.x, c.coef, c.p, x3, s3, 1e-5, std::ldexp(1.0, -50), ierr3);
    EXPECT_EQ(ierr1, 0);
    EXPECT_EQ(ierr3, 0);
    EXPECT_EQ(x1, x3);
    EXPECT_EQ(s1, s3);
    EXPECT_NEAR(x1, 1.3, 1e-5);
}

TEST(RatExtremum, SlopeVanishesAtTheExtremumOfAShapedSpline) {
    // Natural spline through a skewed hump: the answer is where its own slope is zero.
    const std::vector<double> x{0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0};
    const std::vector<double> y{0.0, 0.2, 1.5, 4.0, 4.6, 4.7, 2.0, 0.1};
    Curve c{x, y, std::vector<double>(4 * 7), std::vector<double>(7)};
    int ierr = -1;
    RATSPL(c.n(), c.x, c.y, c.coef, c.p, ierr);
    ASSERT_EQ(ierr, 0);
    double xext = 0.0, sext = 0.0;
    RATEXT(c.n(), c.x, c.coef, c.p, xext, sext, 1e-12, std::ldexp(1.0, -50), ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_GT(xext, 4.0);
    EXPECT_LT(xext, 5.5);
    EXPECT_NEAR(slope_at(c, xext), 0.0, 1e-9);
    EXPECT_EQ(sext, at(c, xext));
    EXPECT_GE(sext, 4.7);  // the maximum of the curve is at least the largest ordinate
}

TEST(RatExtremum, MonotoneCurveReportsNoSignChange) {
    const std::vector<double> x{0.0, 1.0, 2.0, 3.0};
    std::vector<double> y;
    for (double xi : x) y.push_back(xi * xi * xi + xi);
    const Curve c = fit_with_ends(x, y, 0.0, 0.0);
    double xext = 0.0, sext = 0.0;
    int ierr = 0;
    RATEXT(c.n(), c.x, c.coef, c.p, xext, sext, 1e-5, std::ldexp(1.0, -50), ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(xext, 3.0);
    EXPECT_NEAR(sext, 30.0, 1e-12);
}

TEST(RatExtremum, SuccessLeavesAnEarlierErrorFlag) {
    const Curve c = parabola_with_vertex();
    double xext = 0.0, sext = 0.0;
    int ierr = 5;
    RATEXT3(c.n(), c.x, c.coef, c.p, xext, sext, 1e-8, std::ldexp(1.0, -50), ierr);
    EXPECT_EQ(ierr, 5);
    EXPECT_NEAR(xext, 1.3, 1e-7);
}

}  // namespace
}  // namespace carinex
