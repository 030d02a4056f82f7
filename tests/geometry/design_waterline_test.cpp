// The upright volume and the waterline ends of VDWL on the V hull, whose section areas and volume
// are known in closed form (support/vee_hull.h), and the waterline cuts of a prepared section
// against the exact crossings of a semicircle.
#include "geometry/design_waterline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <sstream>
#include <string>
#include <tuple>

#include "geometry/waterline_cut.h"
#include "support/vee_hull.h"

namespace carinex {
namespace {

using test::VeeHull;

// Waterline heights at which the hull is cut; the last one immerses the
// transom.
constexpr double kDrafts[] = {-0.25, -0.1, 0.0, 0.1, 0.15, 0.45};

// The hull's sections in the prepared arrays, 151 points evenly spaced in
// height. The cut of a waterline through a segment takes the area up to it as
// the linear interpolation of the cumulative area, which overstates each side
// by (dz*dy/2)*F*(1 - F) at the fraction F; so the point nearest to each of
// kDrafts is moved onto it, those waterlines pass through points and the
// polygon areas are exact.
std::unique_ptr<CaseState> prepared(const VeeHull& hull) {
    auto st = makeCaseState();
    test::placeSections(st->hull, hull.stations, 0.0, hull.length, [&](double x, int k) {
        const double zk = hull.keel(x), dz = (hull.sheer - zk) / (kSectionPoints - 1);
        double z = zk + dz * k;
        for (double h : kDrafts)
            if (k > 0 && k < kSectionPoints - 1 && std::lround((h - zk) / dz) == k) z = h;
        return test::SectionPoint{hull.flare(x) * (z - zk), z};
    });
    return st;
}

// Error of the keel-line crossing. Each end is found from a spline of x over
// the keel depth d through seven stations. Near the crossing the keel line is
// x = x0 -+ sqrt((A - d)/c), with |x''| between 1 and 3 per metre here, and
// depth steps of about 0.07 m between stations. Inside the table the
// interpolation error is of order 1e-5 m. The table's end condition (a free
// end at the bow, a copied end moment at the stern) is wrong by up to |x''| at
// the free end; a wrong end moment dM moves the curve by about dM*dd^2/16
// (1e-3 m) in the end interval and by a factor (2 - sqrt 3) less for every
// interval further in. The crossing normally lies in the third interval: 2e-4
// m. Where the bow cuts the bow table short it can lie in the free end
// interval: 1e-3 m.
constexpr double kEndTolerance = 2e-4;
constexpr double kFreeEndTolerance = 1e-3;

// A hull symmetric about x0 = 4.625, midway between slots 18 and 19, with a constant flare has two
// equal largest sections: of those the first is taken.
TEST(VdwlAnalytic, VolumeSectionsAndEndsMatchTheClosedFormAtSeveralDrafts) {
    for (const VeeHull& hull : {VeeHull{}, VeeHull{.x0 = 4.625, .k1 = 0.0}}) {
        auto st = prepared(hull);
        const PreparedHull& p = st->hull;
        std::ostringstream console;
        for (double h : kDrafts) {
            SCOPED_TRACE("x0 = " + std::to_string(hull.x0) + ", h = " + std::to_string(h));
            int IERR = 77;  // a stale flag is cleared on entry
            const double V = VDWL(*st, hull.stations - 1, -h, IERR, true, console);
            ASSERT_EQ(IERR, 0) << console.str();
            EXPECT_NEAR(V, hull.volume(h), 1e-4 * hull.volume(h));
            for (int K = 0; K < hull.stations; ++K) {
                // exact where the waterline passes through a point, which it does unless it lies in
                // the first segment
                const double x = hull.x(K), zk = hull.keel(x), dz = (hull.sheer - zk) / (kSectionPoints - 1);
                const bool onPoint = h <= zk || std::lround((h - zk) / dz) >= 1;
                const double tol = onPoint ? 1e-13 : hull.flare(x) * dz * dz / 4.0;
                EXPECT_NEAR(p.ASECT[static_cast<std::size_t>(K)], hull.area(x, h), tol) << "slot " << K;
            }
            // The wetted run ends at the first dry station beyond the bow crossing; an immersed
            // transom puts the aft end at the first station.
            const int KFWD = static_cast<int>(std::ceil(hull.fwdEnd(h) / hull.x(1)));
            const double fwdTolerance = KFWD + 3 > hull.stations ? kFreeEndTolerance : kEndTolerance;
            EXPECT_NEAR(p.XFKEEL, hull.fwdEnd(h), fwdTolerance);
            EXPECT_NEAR(p.XAKEEL, std::max(hull.aftEnd(h), 0.0), kEndTolerance);
            EXPECT_EQ(p.KFWD, KFWD);
            const auto largest = std::max_element(p.ASECT.begin(), p.ASECT.begin() + hull.stations);
            EXPECT_EQ(p.KAMAX, largest - p.ASECT.begin()) << "the first of the largest sections";
            EXPECT_TRUE(hull.k1 != 0.0 || p.ASECT[18] == p.ASECT[19]) << "the symmetric hull's tie";
        }
        EXPECT_EQ(console.str(), "") << "no diagnostics on success";
    }
}

// A zig-zag keel line at the bow or the stern (the keel depths of its table
// no longer increase towards the middle), and two stations at the same x (no
// area curve can be fitted): the call fails with its message under DIAG only,
// the stations back in place.
TEST(VdwlAnalytic, FailuresRestoreTheStationsAndReportOnlyUnderDiagnostics) {
    const VeeHull hull;
    // slots [first, last) of a zig-zag keel, slot 20 moved onto slot 19, the message
    for (auto [first, last, sameX, message] : {std::tuple{30, 41, false, " Kiellinie wellig am Bug\n"},
                                               std::tuple{0, 10, false, " Kiellinie wellig am Heck\n"},
                                               std::tuple{0, 0, true, " Verdrängung unstetig in VDWL\n"}}) {
        auto st = prepared(hull);
        PreparedHull& p = st->hull;
        for (int K = first; K < last; ++K)
            for (double& z : p.ZS[static_cast<std::size_t>(K)]) z += (K % 2 == 0) ? -0.06 : 0.06;
        if (sameX) p.XST[20] = p.XST[19];
        const SlotArray before = p.XST;
        for (bool diag : {false, true}) {
            std::ostringstream console;
            int IERR = 0;
            EXPECT_EQ(VDWL(*st, hull.stations - 1, 0.0, IERR, diag, console), 0.0);
            EXPECT_EQ(IERR, 1) << "the spline's code for abscissae that do not increase";
            EXPECT_EQ(console.str(), diag ? message : "");
            EXPECT_EQ(p.XST, before);
        }
    }
}

// Waterline cuts of a prepared section: a semicircle of radius R about the design waterline,
// point k at the angle theta_k = pi*k/150 from the keel, YS = R*sin(theta), ZS = R*cos(theta)
// (positive downward). A crossing must lie on the chord the circle's own crossing falls on, at
// the exact intersection of the line with that chord (a 2x2 solve here).

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
