// Waterline cuts of a prepared section: a semicircle of radius R about the design waterline,
// point k at the angle theta_k = pi*k/150 from the keel, YS = R*sin(theta), ZS = R*cos(theta)
// (positive downward). A crossing must lie on the chord the circle's own crossing falls on, at
// the exact intersection of the line with that chord (a 2x2 solve here).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <tuple>

#include "geometry/waterline_cut.h"

namespace carinex {
namespace {

using Section = std::array<double, 151>;

constexpr double kPi = 3.141592653589793;
constexpr double kRadius = 2.0;
constexpr double kAngleStep = kPi / 150.0;

struct SemiCircle {
    Section YS{}, ZS{};
    SemiCircle() {
        for (std::size_t k = 0; k <= 150; ++k) {
            YS[k] = kRadius * std::sin(kAngleStep * static_cast<double>(k));
            ZS[k] = kRadius * std::cos(kAngleStep * static_cast<double>(k));
        }
    }
};

// Checks the crossing (I, T) of the line ZS = z0 + m*YS: segment I holds the circle's crossing
// (the root of larger YS for root = 1, of smaller YS for root = -1), and T puts it on the line.
void expectCrossing(const SemiCircle& c, int I, double T, double z0, double m, double root) {
    SCOPED_TRACE("z0 " + std::to_string(z0) + " m " + std::to_string(m));
    // circle: (1 + m^2)*y^2 + 2*z0*m*y + z0^2 - R^2 = 0
    const double a = 1.0 + m * m, b = 2.0 * z0 * m, cc = z0 * z0 - kRadius * kRadius;
    const double y = (-b + root * std::sqrt(b * b - 4.0 * a * cc)) / (2.0 * a);
    const double k = std::atan2(y, z0 + m * y) / kAngleStep;
    const double fraction = k - std::floor(k);
    ASSERT_TRUE(fraction > 0.05 && fraction < 0.95) << "too close to a point to tell the segment";
    ASSERT_EQ(I, static_cast<int>(std::floor(k)));
    // the line against the chord: YS_I + t*dy = y, ZS_I + t*dz = z0 + m*y, by Cramer's rule
    const auto i = static_cast<std::size_t>(I);
    const double dy = c.YS[i + 1] - c.YS[i], dz = c.ZS[i + 1] - c.ZS[i];
    const double t = (c.YS[i] * m + z0 - c.ZS[i]) / (dz - m * dy);
    EXPECT_NEAR(T, t, 1e-12);
}

// A heeled line crosses on the right chord. Only a point strictly above the line is dry,
// and the fraction is clamped to [0, 1] where the line misses the segment.
TEST(WaterlineCut, CrossesOnTheRightChordAndClampsAtTheEnds) {
    const SemiCircle c;
    int I = -1;
    double T = -1.0;
    WLCUT(0.3, std::tan(20.0 * kPi / 180.0), c.YS, c.ZS, I, T);
    expectCrossing(c, I, T, 0.3, std::tan(20.0 * kPi / 180.0), 1.0);
    // (z0, m) -> (I, T)
    for (auto [z0, m, I0, T0] : {std::tuple{c.ZS[75], 0.0, 75, 0.0},  // through point 75: segment 75
                                 std::tuple{-3.0 * kRadius, 0.0, 149, 1.0},  // all wet, far below the top
                                 std::tuple{-3.0 * kRadius, 1.0, 149, 0.0},  // all wet, rising outboard
                                 std::tuple{0.5 * (c.ZS[0] + c.ZS[1]), 0.0, 0, 0.5},  // only the keel wet
                                 std::tuple{1.5 * kRadius, 0.0, 0, 0.0}}) {            // all dry
        WLCUT(z0, m, c.YS, c.ZS, I, T);
        EXPECT_EQ(I, I0) << z0 << " " << m;
        EXPECT_NEAR(T, T0, 1e-12) << z0 << " " << m;
    }
}

// WLCUT2 takes the line ZS = z0 - m*YS. With the keel wet the entry is the first segment, its
// fraction not clamped, and the exit the circle's crossing.
// No crossing is segment 151 with fraction 0; a point on the line is no exit.
TEST(WaterlineCut2, EntryAndExitLieOnTheCircle) {
    const SemiCircle c;
    int I1 = -1, I2 = -1;
    double T1 = 0.0, T2 = 0.0;
    for (double m : {0.0, 0.6}) {
        for (double z0 : {-1.1, 0.7, 1.7}) {
            WLCUT2(z0, m, c.YS, c.ZS, I1, T1, I2, T2);
            EXPECT_EQ(I1, 0);
            EXPECT_NEAR(c.ZS[0] + T1 * (c.ZS[1] - c.ZS[0]), z0 - m * T1 * c.YS[1], 1e-12) << "on the line";
            EXPECT_TRUE(m != 0.0 || T1 > 1.0) << "level: the line lies above both keel points";
            expectCrossing(c, I2, T2, z0, -m, 1.0);
        }
    }
    // (z0, m) -> (I1, I2)
    for (auto [z0, m, entry, exit] : {std::tuple{1.5 * kRadius, 0.3, 151, 151},  // wholly above the line
                                      std::tuple{-3.0 * kRadius, 0.0, 0, 151},   // wholly below: no exit
                                      std::tuple{c.ZS[60], 0.0, 0, 60}}) {       // on point 60: exit 60
        WLCUT2(z0, m, c.YS, c.ZS, I1, T1, I2, T2);
        EXPECT_TRUE(I1 == entry && I2 == exit && T2 == 0.0) << z0 << " " << I1 << " " << I2;
        EXPECT_TRUE(entry != 151 || T1 == 0.0) << z0;
    }
}

}  // namespace
}  // namespace carinex
