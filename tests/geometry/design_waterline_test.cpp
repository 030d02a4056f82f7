// The upright volume and the waterline ends of VDWL on a hull whose answers
// are known in closed form.
//
// The hull has straight-sided (V) sections: at station x the half-breadth is
// y = k(x)*(z - zk(x)) from the keel point zk(x) up to the sheer, with z
// positive upward. The flare k(x) = k0 + k1*(x - x0) is linear and the keel
// line zk(x) = -D + c*(x - x0)^2 a parabola that rises through the
// waterlines at both ends. Below the waterline z = h the section area is the
// triangle
//     a(x) = k(x) * (h - zk(x))^2,
// and with u = x - x0, A = h + D and U = sqrt(A/c) (the keel line crosses
// z = h at u = -U and u = +U) the volume is the integral of the quintic
//     (k0 + k1*u) * (A - c*u^2)^2
// between the waterline ends; with both ends inside the hull the odd part
// drops out and V = (16/15)*k0*A^2*U. A polygon of 151 points is exact on a
// straight side, so every section area is exact to rounding and the only
// error left is the one of the area-curve spline and its integral.
#include "geometry/design_waterline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

namespace carinex {
namespace {

// The analytic hull (metres, x forward from the transom, z upward).
struct VeeHull {
    int stations = 41;
    double length = 10.0;
    double x0 = 4.6;     // deepest keel point
    double depth = 0.6;  // keel depth below z = 0 at x0
    double c = 0.0375;   // keel-line curvature: the keel crosses z = 0 at x0 -+ 4
    double k0 = 0.5, k1 = -0.03;  // flare dy/dz, the after-body the fuller one
    double sheer = 0.6;

    double x(int K) const { return length * K / (stations - 1); }
    double keel(double xx) const { return -depth + c * (xx - x0) * (xx - x0); }
    double flare(double xx) const { return k0 + k1 * (xx - x0); }
    double halfRun(double h) const { return std::sqrt((h + depth) / c); }  // U
    double fwdEnd(double h) const { return x0 + halfRun(h); }
    double aftEnd(double h) const { return x0 - halfRun(h); }
    double area(double xx, double h) const {
        const double d = h - keel(xx);
        return d > 0.0 ? flare(xx) * d * d : 0.0;
    }
    // Antiderivative in u of (k0 + k1*u)*(A - c*u^2)^2.
    double primitive(double u, double A) const {
        const double u2 = u * u, u3 = u2 * u;
        return k0 * A * A * u + k1 * A * A * u2 / 2.0 - 2.0 * A * c * k0 * u3 / 3.0 - A * c * k1 * u2 * u2 / 2.0 +
               c * c * k0 * u3 * u2 / 5.0 + c * c * k1 * u3 * u3 / 6.0;
    }
    // Volume below z = h, the run cut off where it leaves the hull's ends.
    double volume(double h) const {
        const double A = h + depth, U = halfRun(h);
        return primitive(std::min(U, length - x0), A) - primitive(std::max(-U, -x0), A);
    }
};

// Waterline heights at which the tests cut the hull.
constexpr std::array<double, 6> kDrafts = {-0.25, -0.1, 0.0, 0.1, 0.15, 0.45};

// Prepared sections straight from the shape: 151 points up each side, heights
// positive downward, cumulative areas as the hull preparation forms them. The
// waterline z = h is then the depth T = -h.
//
// The cut of a waterline through a segment takes the area up to it as the
// linear interpolation of the cumulative area, while the trapezoid's area
// grows quadratically along the segment: at the fraction F the interpolation
// overstates each side by (dz*dy/2)*F*(1 - F). With
// `onDrafts` the point nearest to each of kDrafts is moved onto it, so every
// tested waterline passes through a point, F = 0, and the polygon areas are
// exact; the error left is that of the area curve and its integral alone.
std::unique_ptr<CaseState> prepared(const VeeHull& hull, bool onDrafts) {
    auto st = makeCaseState();
    PreparedHull& p = st->hull;
    constexpr int kLast = kSectionPoints - 1;
    for (int K = 0; K < kStationSlots; ++K) {
        const auto s = static_cast<std::size_t>(K);
        if (K >= hull.stations) {
            p.XST[s] = 0.0;
            p.YS[s].fill(0.0);
            p.ZS[s].fill(-hull.sheer);
            continue;
        }
        const double x = hull.x(K), zk = hull.keel(x);
        const double dz = (hull.sheer - zk) / kLast;
        std::array<double, kSectionPoints> z{};
        for (std::size_t k = 0; k < kSectionPoints; ++k) z[k] = zk + dz * static_cast<double>(k);
        if (onDrafts) {
            for (double h : kDrafts) {
                const long k = std::lround((h - zk) / dz);
                if (k >= 1 && k < kLast) z[static_cast<std::size_t>(k)] = h;
            }
        }
        p.XST[s] = x;
        for (std::size_t k = 0; k < kSectionPoints; ++k) {
            p.YS[s][k] = hull.flare(x) * (z[k] - zk);
            p.ZS[s][k] = -z[k];
        }
        p.SAREA[s][0] = 0.0;
        for (std::size_t k = 0; k < kLast; ++k)
            p.SAREA[s][k + 1] = p.SAREA[s][k] + 0.5 * (p.YS[s][k] + p.YS[s][k + 1]) * (p.ZS[s][k] - p.ZS[s][k + 1]);
    }
    return st;
}

// Slot of the last station aft of x, and of the first one forward of it.
int slotAft(const VeeHull& hull, double x) { return static_cast<int>(std::floor(x / hull.x(1))); }
int slotFwd(const VeeHull& hull, double x) { return static_cast<int>(std::ceil(x / hull.x(1))); }

// Error of the keel-line crossing. Each end is found from a spline of x over
// the keel depth d through seven stations. Near the crossing the keel line is
// x = x0 -+ sqrt((A - d)/c), with |x''| = 1/(4*sqrt(c*(A - d)^3)) between 1
// and 3 per metre here, and depth steps dd of about 2*c*U*dx = 0.07 m between
// stations. Inside the table the interpolation error is of order 1e-5 m. The
// table's end condition (a free end at the bow, a copied end moment at the
// stern) is wrong by up to |x''| at the free end and by the change of x'' over
// one step at the copied one; a wrong end moment dM moves the curve by up to
// about dM*dd^2/16 (1e-3 m at the free end) in the end interval, and by a
// factor (2 - sqrt 3) ~ 0.27 less for every interval further in. The crossing
// normally lies in the third interval of the table, where this stays below
// 1e-4 m: 2e-4 m is a safe bound, under a tenth of a percent of the station
// spacing of 0.25 m. Where the bow cuts the bow table short the crossing can
// lie in the free end interval: 1e-3 m.
constexpr double kEndTolerance = 2e-4;
constexpr double kFreeEndTolerance = 1e-3;

TEST(VdwlAnalytic, VolumeMatchesTheClosedFormAtSeveralDrafts) {
    const VeeHull hull;
    auto st = prepared(hull, true);
    std::ostringstream console;
    for (double h : {-0.25, -0.1, 0.0, 0.1, 0.15}) {
        int IERR = -1;
        const double V = VDWL(*st, hull.stations - 1, -h, IERR, true, console);
        ASSERT_EQ(IERR, 0) << "h = " << h << console.str();
        const double A = h + hull.depth;
        const double exact = 16.0 / 15.0 * hull.k0 * A * A * hull.halfRun(h);
        EXPECT_NEAR(hull.volume(h), exact, 1e-12 * exact) << "both ends inside the hull";
        EXPECT_NEAR(V, exact, 1e-4 * exact) << "h = " << h;
        EXPECT_NEAR(st->hull.XFKEEL, hull.fwdEnd(h), kEndTolerance) << "h = " << h;
        EXPECT_NEAR(st->hull.XAKEEL, hull.aftEnd(h), kEndTolerance) << "h = " << h;
        // The wetted run ends at the first dry stations beyond the crossings.
        EXPECT_EQ(st->hull.KFWD, slotFwd(hull, hull.fwdEnd(h))) << "h = " << h;
        EXPECT_EQ(st->hull.KAFT, slotAft(hull, hull.aftEnd(h))) << "h = " << h;
    }
    EXPECT_EQ(console.str(), "") << "no diagnostics on success";
}

TEST(VdwlAnalytic, SectionAreasAreTheTrianglesBelowTheWaterline) {
    const VeeHull hull;
    auto st = prepared(hull, true);
    std::ostringstream console;
    const double h = 0.1;
    int IERR = -1;
    VDWL(*st, hull.stations - 1, -h, IERR, false, console);
    ASSERT_EQ(IERR, 0);
    int largest = 0;
    for (int K = 0; K < hull.stations; ++K) {
        const double exact = hull.area(hull.x(K), h);
        EXPECT_NEAR(st->hull.ASECT[static_cast<std::size_t>(K)], exact, 1e-13) << "slot " << K;
        if (exact > hull.area(hull.x(largest), h)) largest = K;
    }
    // The flare grows aft, so the largest section lies aft of the deepest keel point.
    EXPECT_LT(hull.x(largest), hull.x0);
    EXPECT_EQ(st->hull.KAMAX, largest);
}

// A hull symmetric about x0 = 4.625, midway between slots 18 and 19, with a
// constant flare: the two middle sections are equal and the largest, and the
// first of them is taken.
TEST(VdwlAnalytic, LargestSectionIsTheFirstOfEqualMaxima) {
    VeeHull hull;
    hull.x0 = 4.625;
    hull.k1 = 0.0;
    auto st = prepared(hull, false);
    std::ostringstream console;
    int IERR = -1;
    VDWL(*st, hull.stations - 1, 0.0, IERR, false, console);
    ASSERT_EQ(IERR, 0);
    ASSERT_EQ(st->hull.ASECT[18], st->hull.ASECT[19]);
    EXPECT_GT(st->hull.ASECT[18], st->hull.ASECT[17]);
    EXPECT_GT(st->hull.ASECT[19], st->hull.ASECT[20]);
    EXPECT_EQ(st->hull.KAMAX, 18);
}

// Between two points the area is interpolated linearly in the fraction F of
// the cut segment; for a straight side of flare k and point spacing dz in
// height that is k*dz^2*F*(1 - F) (both sides) more than the triangle.
TEST(VdwlAnalytic, CutInsideASegmentInterpolatesTheCumulativeArea) {
    const VeeHull hull;
    auto st = prepared(hull, false);
    std::ostringstream console;
    const double h = 0.05;
    int IERR = -1;
    VDWL(*st, hull.stations - 1, -h, IERR, false, console);
    ASSERT_EQ(IERR, 0);
    double largestExcess = 0.0;
    for (int K = 0; K < hull.stations; ++K) {
        const double x = hull.x(K), zk = hull.keel(x);
        const double dz = (hull.sheer - zk) / (kSectionPoints - 1);
        const double at = (h - zk) / dz;
        const double F = at - std::floor(at);
        const double excess = h > zk ? hull.flare(x) * dz * dz * F * (1.0 - F) : 0.0;
        largestExcess = std::max(largestExcess, excess);
        EXPECT_NEAR(st->hull.ASECT[static_cast<std::size_t>(K)], hull.area(x, h) + excess, 1e-13) << "slot " << K;
    }
    EXPECT_GT(largestExcess, 1e-6) << "the waterline cuts segments well inside";
}

TEST(VdwlAnalytic, ImmersedTransomStartsTheRunAtTheFirstStation) {
    const VeeHull hull;
    auto st = prepared(hull, true);
    std::ostringstream console;
    const double h = 0.45;  // well above the keel point of the transom, zk(0) = 0.1935
    ASSERT_LT(hull.keel(0.0), h);
    ASSERT_LT(hull.fwdEnd(h), hull.length) << "the bow stays clear";
    int IERR = -1;
    const double V = VDWL(*st, hull.stations - 1, -h, IERR, true, console);
    ASSERT_EQ(IERR, 0) << console.str();
    EXPECT_EQ(st->hull.KAFT, 0);
    EXPECT_GT(st->hull.ASECT[0], 0.0);
    EXPECT_EQ(st->hull.XAKEEL, st->hull.XST[0]) << "clamped into the first station interval";
    EXPECT_NEAR(st->hull.XFKEEL, hull.fwdEnd(h), kFreeEndTolerance) << "in the bow table's end interval";
    // The run is cut off at the transom: the integral from x = 0 only.
    const double exact = hull.volume(h);
    const double A = h + hull.depth;
    EXPECT_LT(exact, (1.0 - 1e-3) * 16.0 / 15.0 * hull.k0 * A * A * hull.halfRun(h));
    EXPECT_NEAR(V, exact, 1e-4 * exact);
}

TEST(VdwlAnalytic, StationPositionsAreRestoredAfterASuccessfulCall) {
    const VeeHull hull;
    auto st = prepared(hull, true);
    const SlotArray before = st->hull.XST;
    std::ostringstream console;
    for (double h : {-0.25, 0.0, 0.45}) {
        int IERR = -1;
        const double V = VDWL(*st, hull.stations - 1, -h, IERR, false, console);
        ASSERT_EQ(IERR, 0);
        ASSERT_GT(V, 0.0);
        // The ends of the run stood in for the end stations during the integration.
        EXPECT_NE(st->hull.XFKEEL, before[static_cast<std::size_t>(st->hull.KFWD)]);
        EXPECT_EQ(st->hull.XST, before) << "h = " << h;
    }
}

// A zig-zag keel line over the forward part: the keel depths of the bow table
// are no longer strictly increasing aftward, so x cannot be fitted over them.
TEST(VdwlAnalytic, WavyKeelAtTheBowFailsWithItsMessageOnlyUnderDiagnostics) {
    const VeeHull hull;
    auto st = prepared(hull, true);
    PreparedHull& p = st->hull;
    for (int K = 30; K < hull.stations; ++K) {
        const auto s = static_cast<std::size_t>(K);
        const double lift = (K % 2 == 0) ? 0.06 : -0.06;
        for (double& z : p.ZS[s]) z -= lift;
    }
    const SlotArray before = p.XST;
    for (bool diag : {false, true}) {
        std::ostringstream console;
        int IERR = 0;
        const double V = VDWL(*st, hull.stations - 1, 0.0, IERR, diag, console);
        EXPECT_EQ(V, 0.0);
        EXPECT_NE(IERR, 0);
        EXPECT_EQ(console.str(), diag ? " Kiellinie wellig am Bug\n" : "");
        EXPECT_EQ(p.XST, before);
    }
}

TEST(VdwlAnalytic, WavyKeelAtTheSternFailsWithItsMessageOnlyUnderDiagnostics) {
    const VeeHull hull;
    auto st = prepared(hull, true);
    PreparedHull& p = st->hull;
    for (int K = 0; K < 10; ++K) {
        const auto s = static_cast<std::size_t>(K);
        const double lift = (K % 2 == 0) ? 0.06 : -0.06;
        for (double& z : p.ZS[s]) z -= lift;
    }
    const SlotArray before = p.XST;
    for (bool diag : {false, true}) {
        std::ostringstream console;
        int IERR = 0;
        const double V = VDWL(*st, hull.stations - 1, 0.0, IERR, diag, console);
        EXPECT_EQ(V, 0.0);
        EXPECT_NE(IERR, 0);
        EXPECT_EQ(console.str(), diag ? " Kiellinie wellig am Heck\n" : "");
        EXPECT_EQ(p.XST, before);
    }
}

// Two wetted stations at the same x: the area curve has no strictly increasing
// abscissae. The end stations had already been replaced by the waterline ends
// when the fit failed; they must be back in place.
TEST(VdwlAnalytic, AreaCurveFailureRestoresTheEndStations) {
    const VeeHull hull;
    auto st = prepared(hull, true);
    PreparedHull& p = st->hull;
    p.XST[20] = p.XST[19];
    const SlotArray before = p.XST;
    for (bool diag : {false, true}) {
        std::ostringstream console;
        int IERR = 0;
        const double V = VDWL(*st, hull.stations - 1, 0.0, IERR, diag, console);
        EXPECT_EQ(V, 0.0);
        EXPECT_NE(IERR, 0);
        EXPECT_EQ(console.str(), diag ? " Verdrängung unstetig in VDWL\n" : "");
        EXPECT_EQ(p.XST, before);
        // The waterline ends found before the failure are kept.
        EXPECT_NEAR(p.XFKEEL, hull.fwdEnd(0.0), kEndTolerance);
        EXPECT_NEAR(p.XAKEEL, hull.aftEnd(0.0), kEndTolerance);
    }
}

// A stale error flag from an earlier routine does not survive a successful call.
TEST(VdwlAnalytic, ErrorFlagIsClearedOnEntry) {
    const VeeHull hull;
    auto st = prepared(hull, true);
    std::ostringstream console;
    int IERR = 77;
    const double V = VDWL(*st, hull.stations - 1, 0.0, IERR, false, console);
    EXPECT_EQ(IERR, 0);
    EXPECT_GT(V, 0.0);
}

}  // namespace
}  // namespace carinex
