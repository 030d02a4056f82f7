// Waterline cuts of a prepared section: a semicircle of radius R about the design waterline,
// point k at the angle theta_k = pi*k/150 from the keel, YS = R*sin(theta), ZS = R*cos(theta)
// (positive downward). Crossings are checked against the exact intersection of the line with
// the chord the crossing lies on (a 2x2 solve here), and against the circle itself within the
// polygon's sagitta.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "geometry/waterline_cut.h"

namespace carinex {
namespace {

using Section = std::array<double, 151>;

constexpr double kPi = 3.141592653589793;
constexpr double kRadius = 2.0;
constexpr double kAngleStep = kPi / 150.0;

struct SemiCircle {
    Section YS{};
    Section ZS{};
};

SemiCircle semicircle() {
    SemiCircle c;
    for (int k = 0; k <= 150; ++k) {
        c.YS[static_cast<std::size_t>(k)] = kRadius * std::sin(kAngleStep * k);
        c.ZS[static_cast<std::size_t>(k)] = kRadius * std::cos(kAngleStep * k);
    }
    return c;
}

struct Point {
    double y, z;
};

// Point at fraction t along segment i of the section.
Point on_segment(const SemiCircle& c, int i, double t) {
    const auto k = static_cast<std::size_t>(i);
    return {c.YS[k] + t * (c.YS[k + 1] - c.YS[k]), c.ZS[k] + t * (c.ZS[k + 1] - c.ZS[k])};
}

// Line z = z0 + m*y crossing the chord from point i to point i+1: solve
// y_i + t*dy = y, z_i + t*dz = z0 + m*y for (t, y) by Cramer's rule.
Point chord_crossing(const SemiCircle& c, int i, double z0, double m) {
    const auto k = static_cast<std::size_t>(i);
    const double dy = c.YS[k + 1] - c.YS[k];
    const double dz = c.ZS[k + 1] - c.ZS[k];
    // Unknowns t, y:   dy*t - y = -y_i ;   dz*t - m*y = z0 - z_i
    const double det = dy * (-m) - (-1.0) * dz;
    const double t = ((-c.YS[k]) * (-m) - (-1.0) * (z0 - c.ZS[k])) / det;
    return on_segment(c, i, t);
}

// Angle from the keel of the circle's crossing with z = z0 + m*y on the side y > 0, and the
// segment that contains it. Which of the two roots is wanted is given by the sign.
double circle_crossing_angle(double z0, double m, double root_sign) {
    // (1 + m^2) y^2 + 2 z0 m y + z0^2 - R^2 = 0
    const double a = 1.0 + m * m;
    const double b = 2.0 * z0 * m;
    const double cc = z0 * z0 - kRadius * kRadius;
    const double y = (-b + root_sign * std::sqrt(b * b - 4.0 * a * cc)) / (2.0 * a);
    return std::atan2(y, z0 + m * y);
}

int segment_of_angle(double theta) {
    const double k = theta / kAngleStep;
    // Keep the test away from vertices, where the polygon and the circle may pick neighbours.
    EXPECT_GT(k - std::floor(k), 0.05);
    EXPECT_LT(k - std::floor(k), 0.95);
    return static_cast<int>(std::floor(k));
}

// Largest distance between the circle and a chord of the polygon.
double sagitta() { return kRadius * (1.0 - std::cos(0.5 * kAngleStep)); }

void expect_on_circle_polygon(const Point& p) {
    const double r = std::hypot(p.y, p.z);
    EXPECT_LE(r, kRadius + 1e-12);
    EXPECT_GE(r, kRadius - sagitta() - 1e-12);
}

// ---------------------------------------------------------------------------------------------
TEST(WaterlineCut, HorizontalLineGivesTheHalfBreadth) {
    const SemiCircle c = semicircle();
    const double z0 = 0.7;
    int I = -1;
    double T = -1.0;
    WLCUT(z0, 0.0, c.YS, c.ZS, I, T);
    EXPECT_EQ(I, segment_of_angle(std::acos(z0 / kRadius)));
    const Point p = on_segment(c, I, T);
    const Point exact = chord_crossing(c, I, z0, 0.0);
    EXPECT_NEAR(p.y, exact.y, 1e-12);
    EXPECT_NEAR(p.z, z0, 1e-12);
    // Half-breadth of the circle at that depth, within the polygon's error.
    EXPECT_NEAR(p.y, std::sqrt(kRadius * kRadius - z0 * z0), 1e-4 * kRadius);
    EXPECT_LE(p.y, std::sqrt(kRadius * kRadius - z0 * z0));  // chords lie inside the circle
    expect_on_circle_polygon(p);
}

TEST(WaterlineCut, HeeledLineOnBothSides) {
    const SemiCircle c = semicircle();
    const double z0 = 0.3;
    const double slope = std::tan(20.0 * kPi / 180.0);
    for (double m : {slope, -slope}) {
        int I = -1;
        double T = -1.0;
        WLCUT(z0, m, c.YS, c.ZS, I, T);
        EXPECT_EQ(I, segment_of_angle(circle_crossing_angle(z0, m, 1.0))) << "slope " << m;
        EXPECT_GE(T, 0.0);
        EXPECT_LE(T, 1.0);
        const Point p = on_segment(c, I, T);
        const Point exact = chord_crossing(c, I, z0, m);
        EXPECT_NEAR(p.y, exact.y, 1e-12) << "slope " << m;
        EXPECT_NEAR(p.z, z0 + m * p.y, 1e-12) << "slope " << m;
        expect_on_circle_polygon(p);
    }
}

TEST(WaterlineCut, PointOnTheLineCountsAsWet) {
    // Only a point strictly above the line is dry: through point 75 the crossing is reported
    // at the start of segment 75, not at the end of segment 74.
    const SemiCircle c = semicircle();
    int I = -1;
    double T = -1.0;
    WLCUT(c.ZS[75], 0.0, c.YS, c.ZS, I, T);
    EXPECT_EQ(I, 75);
    EXPECT_EQ(T, 0.0);
}

TEST(WaterlineCut, StationWhollyBelowTheLineEndsAtTheTopSegment) {
    const SemiCircle c = semicircle();
    int I = -1;
    double T = -1.0;
    // Horizontal line far above: f falls from point 149 to 150, the fraction exceeds 1.
    WLCUT(-3.0 * kRadius, 0.0, c.YS, c.ZS, I, T);
    EXPECT_EQ(I, 149);
    EXPECT_EQ(T, 1.0);
    // Line rising steeply away from the centre plane: f grows towards the top, fraction < 0.
    WLCUT(-3.0 * kRadius, 1.0, c.YS, c.ZS, I, T);
    EXPECT_EQ(I, 149);
    EXPECT_EQ(T, 0.0);
}

TEST(WaterlineCut, OnlyTheKeelPointBelowTheLineGivesTheFirstSegment) {
    const SemiCircle c = semicircle();
    int I = -1;
    double T = -1.0;
    const double z0 = 0.5 * (c.ZS[0] + c.ZS[1]);
    WLCUT(z0, 0.0, c.YS, c.ZS, I, T);
    EXPECT_EQ(I, 0);
    EXPECT_NEAR(T, 0.5, 1e-12);
    // The whole station above the line: still the first segment, fraction clamped to 0.
    WLCUT(1.5 * kRadius, 0.0, c.YS, c.ZS, I, T);
    EXPECT_EQ(I, 0);
    EXPECT_EQ(T, 0.0);
}

// ---------------------------------------------------------------------------------------------
TEST(WaterlineCut2, HeeledLineBelowTheKeelGivesEntryAndExit) {
    // Line z = z0 - m*y with the keel point above it: the wet part is the arc around the
    // direction in which the line is closest to the centre.
    const SemiCircle c = semicircle();
    const double m = 1.0;
    const double z0 = 1.2 * kRadius;
    int I1 = -1, I2 = -1;
    double T1 = -1.0, T2 = -1.0;
    WLCUT2(z0, m, c.YS, c.ZS, I1, T1, I2, T2);
    // On the circle the crossings lie at phi -/+ acos(z0/(R*sqrt(1+m^2))), tan(phi) = m.
    const double phi = std::atan(m);
    const double half = std::acos(z0 / (kRadius * std::sqrt(1.0 + m * m)));
    EXPECT_EQ(I1, segment_of_angle(phi - half));
    EXPECT_EQ(I2, segment_of_angle(phi + half));
    for (auto [I, T] : {std::pair{I1, T1}, std::pair{I2, T2}}) {
        const Point p = on_segment(c, I, T);
        const Point exact = chord_crossing(c, I, z0, -m);
        EXPECT_NEAR(p.y, exact.y, 1e-12);
        EXPECT_NEAR(p.z, z0 - m * p.y, 1e-12);
        EXPECT_GE(T, 0.0);
        EXPECT_LE(T, 1.0);
        expect_on_circle_polygon(p);
    }
}

TEST(WaterlineCut2, HorizontalLineExitsAtTheHalfBreadth) {
    const SemiCircle c = semicircle();
    const double z0 = 0.7;
    int I1 = -1, I2 = -1;
    double T1 = -1.0, T2 = -1.0;
    WLCUT2(z0, 0.0, c.YS, c.ZS, I1, T1, I2, T2);
    // The keel point is wet already: the entry is the first segment, its fraction unclamped
    // (the line lies above both of its points).
    EXPECT_EQ(I1, 0);
    EXPECT_NEAR(T1, (c.ZS[0] - z0) / (c.ZS[0] - c.ZS[1]), 1e-9);
    EXPECT_GT(T1, 1.0);
    EXPECT_EQ(I2, segment_of_angle(std::acos(z0 / kRadius)));
    const Point p = on_segment(c, I2, T2);
    EXPECT_NEAR(p.y, chord_crossing(c, I2, z0, 0.0).y, 1e-12);
    EXPECT_NEAR(p.y, std::sqrt(kRadius * kRadius - z0 * z0), 1e-4 * kRadius);
}

TEST(WaterlineCut2, ExitAgreesWithTheBisectionWhenTheKeelIsWet) {
    const SemiCircle c = semicircle();
    for (double m : {0.0, 0.2, 0.6}) {
        for (double z0 : {-1.1, 0.0, 0.9, 1.7}) {
            int I1 = -1, I2 = -1, I = -1;
            double T1 = 0.0, T2 = 0.0, T = 0.0;
            WLCUT2(z0, m, c.YS, c.ZS, I1, T1, I2, T2);
            WLCUT(z0, -m, c.YS, c.ZS, I, T);  // the same line ZS = z0 - m*YS
            EXPECT_EQ(I2, I) << "z0 " << z0 << " m " << m;
            EXPECT_NEAR(T2, T, 1e-12) << "z0 " << z0 << " m " << m;
        }
    }
}

TEST(WaterlineCut2, PointOnTheLineIsNoExit) {
    const SemiCircle c = semicircle();
    int I1 = -1, I2 = -1;
    double T1 = -1.0, T2 = -1.0;
    WLCUT2(c.ZS[60], 0.0, c.YS, c.ZS, I1, T1, I2, T2);
    EXPECT_EQ(I2, 60);
    EXPECT_EQ(T2, 0.0);
}

TEST(WaterlineCut2, StationWhollyAboveTheLineHasNoCrossing) {
    const SemiCircle c = semicircle();
    for (double m : {0.0, 0.3}) {
        int I1 = -1, I2 = -1;
        double T1 = -1.0, T2 = -1.0;
        WLCUT2(1.5 * kRadius, m, c.YS, c.ZS, I1, T1, I2, T2);
        EXPECT_EQ(I1, 151);
        EXPECT_EQ(I2, 151);
        EXPECT_EQ(T1, 0.0);
        EXPECT_EQ(T2, 0.0);
    }
}

TEST(WaterlineCut2, StationWhollyBelowTheLineHasNoExit) {
    const SemiCircle c = semicircle();
    int I1 = -1, I2 = -1;
    double T1 = -1.0, T2 = -1.0;
    WLCUT2(-3.0 * kRadius, 0.0, c.YS, c.ZS, I1, T1, I2, T2);
    EXPECT_EQ(I1, 0);
    EXPECT_EQ(I2, 151);
    EXPECT_EQ(T2, 0.0);
}

}  // namespace
}  // namespace carinex
