// The upright volume and the waterline ends of VDWL on the V hull, whose
// section areas and volume are known in closed form (support/vee_hull.h).
#include "geometry/design_waterline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <tuple>

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
// by (dz*dy/2)*F*(1 - F) at the fraction F; with `onDrafts` the point nearest
// to each of kDrafts is moved onto it, so those waterlines pass through points
// and the polygon areas are exact.
std::unique_ptr<CaseState> prepared(const VeeHull& hull, bool onDrafts) {
    auto st = makeCaseState();
    test::placeSections(st->hull, hull.stations, 0.0, hull.length, [&](double x, int k) {
        const double zk = hull.keel(x), dz = (hull.sheer - zk) / (kSectionPoints - 1);
        double z = zk + dz * k;
        for (double h : kDrafts)
            if (onDrafts && k > 0 && k < kSectionPoints - 1 && std::lround((h - zk) / dz) == k) z = h;
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

TEST(VdwlAnalytic, VolumeSectionsAndEndsMatchTheClosedFormAtSeveralDrafts) {
    const VeeHull hull;
    auto st = prepared(hull, true);
    const PreparedHull& p = st->hull;
    std::ostringstream console;
    for (double h : kDrafts) {
        SCOPED_TRACE("h = " + std::to_string(h));
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
        // The wetted run ends at the first dry station beyond the bow crossing; an immersed transom
        // puts the aft end at the first station.
        const int KFWD = static_cast<int>(std::ceil(hull.fwdEnd(h) / hull.x(1)));
        EXPECT_NEAR(p.XFKEEL, hull.fwdEnd(h), KFWD + 3 > hull.stations ? kFreeEndTolerance : kEndTolerance);
        EXPECT_NEAR(p.XAKEEL, std::max(hull.aftEnd(h), 0.0), kEndTolerance);
        EXPECT_EQ(p.KFWD, KFWD);
    }
    EXPECT_EQ(console.str(), "") << "no diagnostics on success";
}

// A hull symmetric about x0 = 4.625, midway between slots 18 and 19, with a constant flare: of
// the two equal largest sections the first is taken.
TEST(VdwlAnalytic, FirstOfEqualLargestSections) {
    const VeeHull hull{.x0 = 4.625, .k1 = 0.0};
    auto st = prepared(hull, false);
    std::ostringstream console;
    int IERR = -1;
    VDWL(*st, hull.stations - 1, -0.05, IERR, false, console);
    ASSERT_EQ(IERR, 0);
    ASSERT_TRUE(st->hull.ASECT[18] == st->hull.ASECT[19] && st->hull.ASECT[18] > st->hull.ASECT[17]);
    EXPECT_EQ(st->hull.KAMAX, 18);
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
        auto st = prepared(hull, true);
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

}  // namespace
}  // namespace carinex
