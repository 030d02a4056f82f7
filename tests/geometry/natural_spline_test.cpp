// Natural cubic spline: exact on piecewise cubics with free ends and on a line carried beyond its
// ends.
#include "geometry/natural_spline.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace carinex {
namespace {

// y'' piecewise linear through (0,0), (1,6), (2,0), integrated twice: the spline is exact. A line
// has no curvature and continues beyond the table along its end intervals.
TEST(NaturalSpline, ReproducesAPiecewiseCubicAndALine) {
    auto hat = [](double x) {
        const double u = x - 1;
        return x <= 1 ? x * x * x : 1 + 3 * u + 3 * u * u - u * u * u;
    };
    std::array<double, 3> x{0, 1, 2}, y{hat(0), hat(1), hat(2)}, y2{};
    SPLNAT(3, x, y, y2);
    EXPECT_NEAR(y2[1], 6.0, 1e-12);
    for (double v : {0.1, 0.5, 0.9, 1.3, 1.8}) EXPECT_NEAR(splnatValue(3, x, y, y2, v), hat(v), 1e-12) << v;
    std::array<double, 6> xl{0, 0.5, 1.5, 2, 3.5, 4}, yl{}, y2l{};
    for (std::size_t i = 0; i < xl.size(); ++i) yl[i] = 2 - 3 * xl[i];
    y2l.fill(99);
    SPLNAT(6, xl, yl, y2l);
    for (double c : y2l) EXPECT_NEAR(c, 0.0, 1e-14);
    for (double v : {-1.0, 2.7, 5.0}) EXPECT_NEAR(splnatValue(6, xl, yl, y2l, v), 2 - 3 * v, 1e-13) << v;
}

}  // namespace
}  // namespace carinex
