// Natural cubic spline: exact on lines and on piecewise cubics with free ends, the same curve
// from either direction, and moments that satisfy the continuity rows of the spline.
#include "geometry/natural_spline.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace carinex {
namespace {

TEST(NaturalSpline, StraightLineHasNoCurvature) {
    std::array<double, 6> x{0, 0.5, 1.5, 2, 3.5, 4}, y{}, y2{};
    for (std::size_t i = 0; i < x.size(); ++i) y[i] = 2 - 3 * x[i];
    y2.fill(99);
    SPLNAT(6, x, y, y2);
    for (double c : y2) EXPECT_NEAR(c, 0.0, 1e-14);
    EXPECT_NEAR(splnatValue(6, x, y, y2, 2.7), 2 - 3 * 2.7, 1e-14);
    EXPECT_NEAR(splnatValue(6, x, y, y2, 5.0), 2 - 3 * 5.0, 1e-13) << "end interval extended";
}

// y'' piecewise linear through (0,0), (1,6), (2,0), integrated twice: the spline is exact.
double hat(double x) {
    if (x <= 1) return x * x * x;
    const double u = x - 1;
    return 1 + 3 * u + 3 * u * u - u * u * u;
}

TEST(NaturalSpline, ReproducesAPiecewiseCubicWithFreeEnds) {
    std::array<double, 3> x{0, 1, 2}, y{}, y2{};
    for (std::size_t i = 0; i < 3; ++i) y[i] = hat(x[i]);
    SPLNAT(3, x, y, y2);
    EXPECT_DOUBLE_EQ(y2[0], 0.0);
    EXPECT_NEAR(y2[1], 6.0, 1e-12);
    EXPECT_DOUBLE_EQ(y2[2], 0.0);
    for (double v : {0.1, 0.5, 0.9, 1.3, 1.8}) EXPECT_NEAR(splnatValue(3, x, y, y2, v), hat(v), 1e-12) << v;
}

// Uneven data: the moments satisfy every interior row of slope and curvature continuity, and the
// reversed table gives the same curve, inside and beyond the ends.
TEST(NaturalSpline, ContinuityRowsHoldAndDescendingAbscissaeGiveTheSameCurve) {
    std::array<double, 5> x{0, 1, 2.5, 3, 4}, y{1, 3, 2, 5, 4}, y2{};
    std::array<double, 5> xr{}, yr{}, y2r{};
    for (std::size_t i = 0; i < 5; ++i) {
        xr[i] = x[4 - i];
        yr[i] = y[4 - i];
    }
    SPLNAT(5, x, y, y2);
    SPLNAT(5, xr, yr, y2r);
    for (std::size_t i = 1; i + 1 < x.size(); ++i) {
        const double hl = x[i] - x[i - 1], hr = x[i + 1] - x[i];
        const double rhs = 6 * ((y[i + 1] - y[i]) / hr - (y[i] - y[i - 1]) / hl);
        EXPECT_NEAR(hl * y2[i - 1] + 2 * (hl + hr) * y2[i] + hr * y2[i + 1], rhs, 1e-12) << i;
    }
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(y2[i], y2r[4 - i], 1e-12);
    for (double v : {-0.5, 0.3, 1.7, 2.9, 3.6, 4.4}) {
        EXPECT_NEAR(splnatValue(5, x, y, y2, v), splnatValue(5, xr, yr, y2r, v), 1e-12) << v;
    }
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(splnatValue(5, xr, yr, y2r, x[i]), y[i], 1e-13);
}

}  // namespace
}  // namespace carinex
