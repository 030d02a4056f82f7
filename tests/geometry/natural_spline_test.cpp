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

// For a piecewise cubic with zero end curvature the spline is exact: take
// y'' piecewise linear through (0,0), (1,6), (2,0) and integrate twice.
double hat(double x) {
    // y'' = 6x on [0,1], 6(2-x) on [1,2]
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

TEST(NaturalSpline, DescendingAbscissaeGiveTheSameCurve) {
    std::array<double, 5> x{0, 1, 2.5, 3, 4}, y{1, 3, 2, 5, 4}, y2{};
    std::array<double, 5> xr{}, yr{}, y2r{};
    for (std::size_t i = 0; i < 5; ++i) {
        xr[i] = x[4 - i];
        yr[i] = y[4 - i];
    }
    SPLNAT(5, x, y, y2);
    SPLNAT(5, xr, yr, y2r);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(y2[i], y2r[4 - i], 1e-12);
    for (double v : {-0.5, 0.3, 1.7, 2.9, 3.6, 4.4}) {
        EXPECT_NEAR(splnatValue(5, x, y, y2, v), splnatValue(5, xr, yr, y2r, v), 1e-12) << v;
    }
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(splnatValue(5, xr, yr, y2r, x[i]), y[i], 1e-13);
}

TEST(NaturalSpline, CurvatureIsContinuousAndSolvesTheSystem) {
    std::array<double, 7> x{0, 0.3, 1, 1.2, 2, 2.8, 3}, y{0, 1, -1, 0.5, 2, 0, 1}, y2{};
    SPLNAT(7, x, y, y2);
    for (std::size_t i = 1; i + 1 < x.size(); ++i) {
        const double lhs = (x[i] - x[i - 1]) * y2[i - 1] + 2 * (x[i + 1] - x[i - 1]) * y2[i] + (x[i + 1] - x[i]) * y2[i + 1];
        const double rhs = 6 * ((y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]));
        EXPECT_NEAR(lhs, rhs, 1e-12) << i;
    }
}

}  // namespace
}  // namespace carinex
