// Natural cubic spline: exact on piecewise cubics with free ends, also beyond its ends.
#include "geometry/natural_spline.h"

#include <gtest/gtest.h>

#include <array>

namespace carinex {
namespace {

// y'' piecewise linear through (0,0), (1,6), (2,0), integrated twice: the spline is exact, and
// continues beyond the table along its end intervals.
TEST(NaturalSpline, ReproducesAPiecewiseCubicBeyondItsEnds) {
    auto hat = [](double x) {
        const double u = x - 1;
        return x <= 1 ? x * x * x : 1 + 3 * u + 3 * u * u - u * u * u;
    };
    std::array<double, 3> x{0, 1, 2}, y{hat(0), hat(1), hat(2)}, y2{};
    SPLNAT(3, x, y, y2);
    for (double v : {-0.5, 0.1, 0.5, 0.9, 1.3, 1.8, 2.4}) EXPECT_NEAR(splnatValue(3, x, y, y2, v), hat(v), 1e-12) << v;
}

}  // namespace
}  // namespace carinex
