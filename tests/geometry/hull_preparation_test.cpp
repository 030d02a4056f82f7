// Hull preparation from raw offsets to the prepared hull in its final axes.
//
// Most cases use the V hull of support/vee_hull.h, whose immersed volume is
// known in closed form. Resampling a straight side along its girth is exact,
// so the prepared sections are exact polygons; the volume then differs from
// the closed form only by the area-curve spline and by the linear
// interpolation of the cumulative area inside the segment the waterline cuts.
//
// The raw offsets are loaded as the readers and the sorting steps leave them:
// stations by increasing x, points from the keel upward, girth distances
// measured from the keel point's height on the centre plane, ZOFMAX the largest
// raw height.
#include "geometry/hull_preparation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "geometry/design_waterline.h"
#include "support/scratch_dir.h"
#include "support/vee_hull.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;
using test::VeeHull;

using Points = std::vector<std::pair<double, double>>;  // (y, z) from the keel upward

struct RawStation {
    double x;
    Points points;
};

// n points on the straight side from the keel point zk up to zTop, crowded
// towards the keel so that a resampling cannot leave them where they are.
Points straightSide(double zk, double k, double zTop, int n) {
    Points p;
    for (int j = 0; j < n; ++j) {
        const double t = static_cast<double>(j) / (n - 1);
        // the top exactly at zTop: a top an ulp below the common height would
        // gain a point on top of itself
        const double z = (j == n - 1) ? zTop : zk + (zTop - zk) * t * (0.4 + 0.6 * t);
        p.emplace_back(k * (z - zk), z);
    }
    return p;
}

// The hull in raw stations of 12 points, every height raised by `raise`.
std::vector<RawStation> stations(const VeeHull& hull, double raise = 0.0) {
    std::vector<RawStation> s;
    for (int K = 0; K < hull.stations; ++K) {
        const double x = hull.x(K);
        s.push_back({x, straightSide(hull.keel(x), hull.flare(x), hull.sheer, 12)});
        for (auto& [y, z] : s.back().points) z += raise;
    }
    return s;
}

// The same stations in other file units: metres = file value * scale.
std::vector<RawStation> inFileUnits(std::vector<RawStation> s, double scale) {
    for (auto& st : s) {
        st.x /= scale;
        for (auto& [y, z] : st.points) {
            y /= scale;
            z /= scale;
        }
    }
    return s;
}

// One call of HULL1 on raw offsets, its console captured.
struct Hull1Run {
    Hull1Run(const std::vector<RawStation>& raw, double scale, double volume) {
        RawOffsets& r = st->raw;
        r.NST = static_cast<int>(raw.size());
        r.ZOFMAX = 0.0;
        r.NPMAX = 0;
        for (int i = 1; i <= r.NST; ++i) {
            const Points& p = raw[static_cast<std::size_t>(i - 1)].points;
            r.XOFF(i) = raw[static_cast<std::size_t>(i - 1)].x;
            r.NP(i) = static_cast<int>(p.size());
            r.NPMAX = std::max(r.NPMAX, r.NP(i));
            for (int j = 1; j <= r.NP(i); ++j) {
                r.YOFF(j, i) = p[static_cast<std::size_t>(j - 1)].first;
                r.ZOFF(j, i) = p[static_cast<std::size_t>(j - 1)].second;
                r.RDIST(j, i) = std::hypot(r.ZOFF(j, i) - r.ZOFF(1, i), r.YOFF(j, i));
                r.ZOFMAX = std::max(r.ZOFMAX, r.ZOFF(j, i));
            }
        }
        CaseInput& c = st->input;
        c.SCALE = scale;
        c.XORIG = 0.0;
        c.VOLUME = volume;
        c.KSTYPE = 100;  // no appendages
        c.XKEEL = 6.0 / scale;
        c.XRUDD = 1.2 / scale;
        c.XLOAD = 5.0 / scale;
        c.XLEVER = 4.5;
    }

    int run() {
        HULL1(*st, io, IERR);
        return IERR;
    }
    std::string console() const { return consoleText.str(); }

    // Waterline depth and largest-section position the preparation chose,
    // read back from the keel point and the position of the first station:
    // ZS(0) = -z*SCALE - T0 and XST = x*SCALE - XMS.
    double T0() const { return -st->raw.ZOFF(1, 1) * st->input.SCALE - st->hull.ZS[0][0]; }
    double XMS() const { return st->raw.XOFF(1) * st->input.SCALE - st->hull.XST[0]; }

    // The upright volume at the final waterline.
    double finalVolume() {
        int ierr = -1;
        std::ostringstream sink;
        const double V = VDWL(*st, st->raw.NST - 1, 0.0, ierr, false, sink);
        EXPECT_EQ(ierr, 0);
        return V;
    }

    std::unique_ptr<CaseState> st = makeCaseState();
    int IERR = -1;
    std::istringstream keyboard;
    std::ostringstream consoleText;
    RunFiles io{keyboard, consoleText, fs::path(".")};
};

void expectSameHull(const PreparedHull& a, const PreparedHull& b, const std::string& what) {
    EXPECT_NEAR(b.XFKEEL, a.XFKEEL, 1e-9) << what;
    EXPECT_NEAR(b.XAKEEL, a.XAKEEL, 1e-9) << what;
    EXPECT_NEAR(b.AMAX, a.AMAX, 1e-9) << what;
    for (std::size_t K = 0; K < kStationSlots; ++K) {
        EXPECT_NEAR(b.XST[K], a.XST[K], 1e-9) << what << " slot " << K;
        for (std::size_t k = 0; k < kSectionPoints; ++k) {
            EXPECT_NEAR(b.YS[K][k], a.YS[K][k], 1e-9) << what << " slot " << K << " point " << k;
            EXPECT_NEAR(b.ZS[K][k], a.ZS[K][k], 1e-9) << what << " slot " << K << " point " << k;
        }
    }
}

// Waterline height at which the analytic hull is floated.
constexpr double kDesignHeight = 0.05;

// Bound on the waterline error of the volume match. The cut of the waterline
// through a segment of a straight side interpolates the cumulative area
// linearly, which overstates the section by at most k*dz^2/4 (dz the height
// step of the points, the section height over 150); over the waterline length
// that is at most k_max*dz_max^2/4*LWL, and the area-curve spline adds up to
// 2e-5 of the volume. Divided by the waterplane area this bounds the error of
// the waterline height.
double waterlineTolerance(const VeeHull& hull, double h) {
    const double dzMax = (hull.sheer + hull.depth) / 150.0;
    const double kMax = std::max(hull.flare(0.0), hull.flare(hull.length));
    const double areaBound = kMax * dzMax * dzMax / 4.0 * (hull.fwdEnd(h) - hull.aftEnd(h)) + 2e-5 * hull.volume(h);
    return areaBound / hull.waterplane(h);
}

// Error of the keel-line crossing from the 7-station spline of x over the keel
// depth (see the VDWL tests): interpolation error ~1e-5 m plus the end
// condition's error damped over the intervals between it and the crossing.
constexpr double kEndTolerance = 2e-4;

// ---------------------------------------------------------------------------
// The analytic hull floated at its volume

// A volume that moves the waterline by more than a tenth of the offsets'
// draft is noted with the change; the V hull's deepest station (x = 4.5)
// lies 0.6 - c*0.1^2 below the datum, and floated at height h its draft
// grows by h.
TEST(HullAnalytic, LargeDraftChangeOfTheVolumeMatchIsNoted) {
    const VeeHull hull;
    const double given = hull.depth - hull.c * 0.1 * 0.1;
    for (const auto& [h, percent] : {std::pair{0.05, ""}, std::pair{-0.05, ""}, std::pair{0.07, "+11.7"},
                                     std::pair{-0.07, "-11.7"}}) {
        Hull1Run run(stations(hull), 1.0, hull.volume(h));
        ASSERT_EQ(run.run(), 0) << run.console();
        char note[200] = "";
        if (*percent) {
            std::snprintf(note, sizeof note,
                          " note: the prescribed VOLUME changes the canoe-body draft by %s %% (%.3f m instead of"
                          " %.3f m at the offsets' waterline); check VOLUME and SCALE\n",
                          percent, given + h, given);
        }
        EXPECT_EQ(run.console(), note) << h;
    }
}

TEST(HullAnalytic, FloatsAtTheVolumeInTheFinalAxes) {
    const VeeHull hull;
    const double V = hull.volume(kDesignHeight);
    Hull1Run run(stations(hull), 1.0, V);
    CaseInput& c = run.st->input;
    c.KSTYPE = 64;  // keel and rudder
    c.RSPAN = 1.2;
    c.RCROOT = 0.38;
    c.RCTIP = 0.25;
    c.RTCRT = 0.12;
    c.RTCTP = 0.09;
    c.RDX = 0.22;
    c.KDX = 0.55;
    c.KCHORD(1) = 1.3;
    ASSERT_EQ(run.run(), 0) << run.console();
    EXPECT_EQ(run.console(), "");
    const PreparedHull& p = run.st->hull;

    // The waterline HULL1 found, in the hull's own heights, with its ends on
    // the exact keel line at that waterline.
    const double T0 = run.T0(), XMS = run.XMS(), h = -T0;
    EXPECT_NEAR(h, kDesignHeight, waterlineTolerance(hull, kDesignHeight));
    const double XFKEEL = p.XFKEEL, XAKEEL = p.XAKEEL;
    EXPECT_NEAR(XFKEEL + XMS, hull.fwdEnd(h), kEndTolerance);
    EXPECT_NEAR(XAKEEL + XMS, hull.aftEnd(h), kEndTolerance);
    // Afloat at VOLUME at T = 0 in the final axes, with the same ends.
    EXPECT_NEAR(run.finalVolume(), V, 1e-9 * V);
    EXPECT_NEAR(p.XFKEEL, XFKEEL, 1e-9);
    EXPECT_NEAR(p.XAKEEL, XAKEEL, 1e-9);
    // The largest section, which the flare growing aft puts aft of the deepest
    // keel point. XMS is the zero of the slope of a spline through the seven
    // sections around the largest one. Its free ends, three intervals away,
    // set the area curve's curvature there to zero; that error in the moments
    // decays by (2 - sqrt 3)^3 ~ 0.02 towards the middle and shifts the zero
    // of the slope by about 0.02*dx/2 ~ 2.5 mm at most (dx = 0.25 m). The
    // spline's peak value is exact to the same order squared.
    EXPECT_NEAR(XMS, hull.largestSection(h), 5e-3);
    EXPECT_NEAR(p.AMAX, hull.area(hull.largestSection(h), h), 1e-4 * p.AMAX);
    EXPECT_EQ(p.XST[static_cast<std::size_t>(p.KAMAX)] + XMS, hull.x(p.KAMAX));

    // Every section resampled evenly along the girth of its straight side and
    // shifted into the final axes; the empty slots at the common height.
    for (std::size_t K = 0; K < kStationSlots; ++K) {
        if (K >= static_cast<std::size_t>(hull.stations)) {
            EXPECT_EQ(p.XST[K], 0.0) << K;
            for (std::size_t k = 0; k < kSectionPoints; ++k) {
                EXPECT_EQ(p.YS[K][k], 0.0);
                EXPECT_NEAR(p.ZS[K][k], -hull.sheer - T0, 1e-15);
            }
            continue;
        }
        const double x = hull.x(static_cast<int>(K)), zk = hull.keel(x), k = hull.flare(x);
        EXPECT_NEAR(p.XST[K], x - XMS, 1e-12) << K;
        EXPECT_EQ(p.YS[K][0], 0.0);
        EXPECT_NEAR(p.ZS[K][0], -zk - T0, 1e-12) << K;
        EXPECT_NEAR(p.ZS[K][150], -hull.sheer - T0, 1e-12) << K;
        const double step = std::hypot(hull.sheer - zk, k * (hull.sheer - zk)) / 150.0;
        for (std::size_t i = 1; i < kSectionPoints; ++i) {
            const double length = std::hypot(p.YS[K][i] - p.YS[K][i - 1], p.ZS[K][i] - p.ZS[K][i - 1]);
            EXPECT_NEAR(length, step, 1e-12) << K << " " << i;
            EXPECT_NEAR(p.YS[K][i], k * (-p.ZS[K][i] - T0 - zk), 1e-12) << K << " " << i;
        }
    }
    // Case values measured along the hull follow the new origin; XLEVER,
    // measured aft from the forward end of the waterline, becomes a position.
    EXPECT_NEAR(c.XLOAD, 5.0 - XMS, 1e-12);
    EXPECT_EQ(c.XLEVER, XFKEEL - 4.5);
    EXPECT_EQ(c.XKEEL, 6.0) << "scaled only";
    EXPECT_EQ(c.XRUDD, 1.2);
    // The rudder keeps its tip and ends at the new waterline, above z = 0: it
    // gains span, and the chord and thickness at its root follow the taper.
    const double span = 1.2 - T0, root = 0.25 + (0.38 - 0.25) * span / 1.2;
    EXPECT_NEAR(c.RSPAN, span, 1e-15);
    EXPECT_NEAR(c.RCROOT, root, 1e-15);
    EXPECT_NEAR(c.RTCRT, 0.09 + (0.12 - 0.09) * span / 1.2, 1e-15);
    EXPECT_EQ(c.RCTIP, 0.25);
    EXPECT_EQ(c.RTCTP, 0.09);
    EXPECT_NEAR(p.XK0, 6.0 - XMS, 1e-12);
    EXPECT_NEAR(p.XK1, 6.0 - XMS - 1.3, 1e-12);
    EXPECT_NEAR(p.XK2, 6.0 - XMS - 0.55, 1e-12);
    EXPECT_NEAR(p.XR0, 1.2 - XMS, 1e-12);
    EXPECT_NEAR(p.XR1, 1.2 - XMS - root, 1e-12);
    EXPECT_NEAR(p.XR2, 1.2 - XMS - 0.22, 1e-12);
}

// ---------------------------------------------------------------------------
// Section preparation

// Raw sections of every kind in one hull, read in file units of half a metre:
//  10  151 points reaching the top: copied point for point, only scaled;
//  14  12 points below the top: a point added at the common height on the
//      tangent, then resampled;
//  26  151 points below the top: the last point moved up to the common height;
//   6  first point off the centre plane at (y1, z1), the heights growing
//      linearly with the girth distance r, z = z1 + m*(r - y1): the spline of
//      z over r through the first 8 points reproduces the line and puts the
//      keel point at z1 - m*y1 exactly;
//  20  a top turning downward: carried up along the tangent of its last
//      points, for a straight run of direction (1, -0.1) to -10*dZ inboard of
//      the top at the height dZ above it (r is not linear along the run,
//      hence the tolerance);
//  30  a flat top, 34 a top dipping before it comes back up: copied, then
//      made strictly decreasing in ZS by steps of 100*EPS.
TEST(HullSections, EveryRawSectionBecomesA151PointSection) {
    const VeeHull hull;
    auto raw = stations(hull);
    auto side = [&](int K, double zTop, int n) {
        return straightSide(hull.keel(hull.x(K)), hull.flare(hull.x(K)), zTop, n);
    };
    raw[10].points = side(10, hull.sheer, kSectionPoints);
    raw[14].points = side(14, 0.4, 12);
    raw[26].points = side(26, 0.45, kSectionPoints);
    const double y1 = 0.05, m = 0.8, z1 = hull.keel(hull.x(6)) + 0.02, rTop = y1 + (hull.sheer - z1) / m;
    raw[6].points.clear();
    for (int j = 0; j < 12; ++j) {
        const double r = y1 + (rTop - y1) * j / 11.0, z = (j == 11) ? hull.sheer : z1 + m * (r - y1);
        raw[6].points.emplace_back(std::sqrt(r * r - (z - z1) * (z - z1)), z);
    }
    const double zKnuckle = 0.55;
    raw[20].points = side(20, zKnuckle, 12);
    const double yKnuckle = raw[20].points.back().first;
    for (int j = 1; j <= 8; ++j) raw[20].points.emplace_back(yKnuckle + 0.01 * j, zKnuckle - 0.001 * j);
    for (int K : {30, 34}) {
        Points& p = raw[static_cast<std::size_t>(K)].points = side(K, hull.sheer, kSectionPoints - 2);
        const double yTop = p.back().first;
        p.emplace_back(yTop + 0.02, K == 30 ? hull.sheer : hull.sheer - 0.01);
        p.emplace_back(yTop + 0.04, hull.sheer);
    }
    const double scale = 0.5;  // a power of two: file units scale exactly
    Hull1Run run(inFileUnits(raw, scale), scale, hull.volume(kDesignHeight));
    run.st->run.DIAG = true;
    auto control = std::make_unique<std::ostringstream>();
    std::ostringstream* listing = control.get();
    run.io.setControl(std::move(control));
    ASSERT_EQ(run.run(), 0) << run.console();
    EXPECT_EQ(run.console(), "");
    const RawOffsets& r = run.st->raw;
    const PreparedHull& p = run.st->hull;
    const double T0 = run.T0(), top = hull.sheer / scale;
    for (std::size_t K : {10u, 30u, 34u})
        for (std::size_t k = 0; k < kSectionPoints; ++k) EXPECT_EQ(p.YS[K][k], raw[K].points[k].first) << K << " " << k;
    for (std::size_t k = 0; k < kSectionPoints; ++k)
        EXPECT_NEAR(p.ZS[10][k], -raw[10].points[k].second - T0, 1e-12) << k;
    EXPECT_GT(p.ZS[10][149] - p.ZS[10][150], 2.0 * (p.ZS[10][0] - p.ZS[10][1])) << "kept crowded at the keel";

    // 14 gained a point, 26 had no room for one: the top on the tangent at
    // the common height, then resampled evenly along the straight side
    EXPECT_EQ(r.NP(15), 13);
    EXPECT_EQ(r.NP(27), kSectionPoints);
    EXPECT_EQ(r.YOFF(kSectionPoints + 1, 27), kAbsent);
    for (int K : {14, 26}) {
        const int top1 = r.NP(K + 1);  // the top, one-based
        const double zk = hull.keel(hull.x(K)), k = hull.flare(hull.x(K));
        const double girth = std::hypot(hull.sheer - zk, k * (hull.sheer - zk));
        EXPECT_EQ(r.ZOFF(top1, K + 1), top) << K;
        EXPECT_NEAR(r.YOFF(top1, K + 1) * scale, k * (hull.sheer - zk), 1e-9) << K;
        EXPECT_NEAR(r.RDIST(top1, K + 1) * scale, girth, 1e-14) << K;
        const auto s = static_cast<std::size_t>(K);
        EXPECT_EQ(p.YS[s][150], r.YOFF(top1, K + 1) * scale) << K;
        for (std::size_t i = 1; i < kSectionPoints; ++i) {
            const double length = std::hypot(p.YS[s][i] - p.YS[s][i - 1], p.ZS[s][i] - p.ZS[s][i - 1]);
            EXPECT_NEAR(length, girth / 150.0, 1e-9) << K << " " << i;
            EXPECT_NEAR(p.YS[s][i], k * (-p.ZS[s][i] - T0 - zk), 1e-9) << K << " " << i;
        }
    }
    // 6: only the first point moved, onto the centre plane
    EXPECT_EQ(r.YOFF(1, 7), 0.0);
    EXPECT_EQ(r.RDIST(1, 7), 0.0);
    EXPECT_NEAR(r.ZOFF(1, 7) * scale, z1 - m * y1, 1e-12);
    EXPECT_EQ(r.YOFF(2, 7), raw[6].points[1].first / scale);
    EXPECT_EQ(p.YS[6][0], 0.0);
    EXPECT_NEAR(p.ZS[6][0], -(z1 - m * y1) - T0, 1e-12);
    // 20: the tangent's end at the common height
    ASSERT_EQ(r.NP(21), 21);
    EXPECT_EQ(r.ZOFF(21, 21), top);
    const double yTop = yKnuckle + 0.08, zTop = zKnuckle - 0.008;
    EXPECT_NEAR(r.YOFF(21, 21) * scale, yTop - 10.0 * (hull.sheer - zTop), 1e-3);
    // 30, 34: point 148 is the first at the sheer height, 149 and 150 one and
    // two steps above it (the shift by T0 rounds within an ulp of ~1)
    const double step = 100.0 * std::ldexp(1.0, -50);
    for (std::size_t K : {30u, 34u}) {
        EXPECT_NEAR(p.ZS[K][148], -hull.sheer - T0, 1e-12);
        EXPECT_NEAR(p.ZS[K][148] - p.ZS[K][149], step, 1e-15) << K;
        EXPECT_NEAR(p.ZS[K][149] - p.ZS[K][150], step, 1e-15) << K;
    }
    // Under DIAG the scaled sections are listed before the shift of axes: a
    // heading, then per station its line and every second point. Slot 0 at
    // x = 0 has its keel point at zk(0) = 0.1935 up; slot 40 at x = 10 m ends
    // with point 150 at the sheer.
    std::istringstream lines(listing->str());
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_EQ(all.size(), 1u + 41u * 77u);
    EXPECT_EQ(all[0], " Offsets geglättet, 75 von 150 Punkten");
    EXPECT_EQ(all[1], "I=     0 X=      0.00000");
    EXPECT_EQ(all[2], "     0.00000    -0.19350");
    EXPECT_EQ(all[1 + 40 * 77], "I=    40 X=     10.00000");
    char last[32];
    std::snprintf(last, sizeof last, "%12.5f%12.5f", hull.flare(10.0) * (hull.sheer - hull.keel(10.0)), -hull.sheer);
    EXPECT_EQ(all.back(), last);
    // Every section up to the common height, strictly decreasing in ZS.
    for (std::size_t K = 0; K < static_cast<std::size_t>(hull.stations); ++K) {
        EXPECT_NEAR(p.ZS[K][150], -hull.sheer - T0, 1e-12) << K;
        for (std::size_t i = 1; i < kSectionPoints; ++i) EXPECT_LT(p.ZS[K][i], p.ZS[K][i - 1]) << K << " " << i;
    }
}

// The same hull in millimetres with SCALE = 0.001, and drawn 0.7 m above its
// design waterline, prepares to the hull in metres. For the raised hull the
// first trial waterlines, 0.2*H above and below the datum (H = 2/3 of the
// middle section's height), leave the keel wet only at the upper one, whose
// excess is the smaller; it is doubled until the bracket holds the root.
TEST(HullSections, FileUnitsAndAHeightOffsetPrepareTheSameHull) {
    const VeeHull hull;
    const double V = hull.volume(kDesignHeight);
    Hull1Run metres(stations(hull), 1.0, V);
    ASSERT_EQ(metres.run(), 0) << metres.console();
    for (auto [scale, raise] : {std::pair{0.001, 0.0}, std::pair{1.0, 0.7}}) {
        const std::string what = "SCALE " + std::to_string(scale) + " raised " + std::to_string(raise);
        Hull1Run run(inFileUnits(stations(hull, raise), scale), scale, V);
        ASSERT_EQ(run.run(), 0) << what << run.console();
        EXPECT_NEAR(run.T0(), metres.T0() - raise, 1e-9) << what;
        expectSameHull(metres.st->hull, run.st->hull, what);
        EXPECT_NEAR(run.finalVolume(), V, 1e-9 * V) << what;
        const CaseInput& c = run.st->input;
        EXPECT_NEAR(c.XKEEL, 6.0, 1e-12) << what;
        EXPECT_NEAR(c.XRUDD, 1.2, 1e-12) << what;
        EXPECT_NEAR(c.XLOAD, metres.st->input.XLOAD, 1e-9) << what;
    }
}

// Every height raised by 0.2 in the file and XORIG = 0.2: the datum is taken
// off the points, but ZOFMAX keeps its height, so every top now lies 0.2
// below it and gains a point there. Below the sheer nothing changes.
TEST(HullSections, HeightDatumIsSubtractedButTheCommonHeightIsNot) {
    const VeeHull hull;
    Hull1Run run(stations(hull, 0.2), 1.0, hull.volume(kDesignHeight));
    run.st->input.XORIG = 0.2;
    ASSERT_EQ(run.run(), 0) << run.console();
    const RawOffsets& r = run.st->raw;
    EXPECT_EQ(r.NPMAX, 13);
    for (int i = 1; i <= r.NST; ++i) {
        EXPECT_EQ(r.NP(i), 13) << i;
        EXPECT_EQ(r.ZOFF(r.NP(i), i), hull.sheer + 0.2);
    }
    const double T0 = -hull.keel(0.0) - run.st->hull.ZS[0][0];
    EXPECT_NEAR(-T0, kDesignHeight, waterlineTolerance(hull, kDesignHeight));
    for (int K = 0; K < hull.stations; ++K) {
        const auto s = static_cast<std::size_t>(K);
        EXPECT_NEAR(run.st->hull.ZS[s][0], -hull.keel(hull.x(K)) - T0, 1e-12);
        EXPECT_NEAR(run.st->hull.ZS[s][150], -(hull.sheer + 0.2) - T0, 1e-12);
    }
}

// ---------------------------------------------------------------------------
// Failures

TEST(HullFailure, EachFailureEndsWithItsCodeAndMessages) {
    const std::string volume = " unable to match the prescribed VOLUME\n check SCALE for consistency\n";
    const VeeHull hull;
    auto zigzagBow = [&](std::vector<RawStation>& raw) {
        for (int K = 28; K < hull.stations; ++K) {
            const double x = hull.x(K), zk = hull.keel(x) + ((K % 2 == 0) ? 0.06 : -0.06);
            raw[static_cast<std::size_t>(K)].points = straightSide(zk, hull.flare(x), hull.sheer, 12);
        }
    };
    struct Failure {
        const char* what;
        double scale, raise;
        std::function<void(std::vector<RawStation>&)> edit;
        int IERR;
        std::string console, diagConsole;  // patterns, without and with DIAG
        VeeHull shape = VeeHull{};
        double volume = 0.0;  // 0: the V hull's at the design height
    };
    // Sections flaring out strongly towards a deep transom: the largest section
    // is the aftmost one, and the seven sections around it do not exist.
    const VeeHull flaredAft{.length = 8.0, .x0 = 2.0, .sheer = 1.0};
    const Failure failures[] = {
        // Offsets read with a SCALE far too small: even wholly immersed the
        // hull holds too little, no doubling of the bracket finds a sign change.
        {"too small", 0.001, 0.0, nullptr, 2, volume, volume},
        // Drawn wholly above both first trial waterlines: both excesses are
        // -VOLUME, and with equal excesses it is the lower waterline that is
        // doubled, away from the hull.
        {"drawn high", 1.0, 1.0, nullptr, 2, volume, volume},
        // Offsets in millimetres read as metres: the hull is a thousand times
        // too large and would float with only the bottom of its keel wet. The
        // bracket is found, but as the search closes in on the keel's lowest
        // point fewer than seven stations are wet, the keel-line tables reach
        // past the lowest point and VDWL fails. The first VDWL failure ends
        // the match: one keel-line message under DIAG.
        {"too large", 1000.0, 0.0, nullptr, 1, volume, " Kiellinie wellig am (Bug|Heck)\n" + volume},
        // A zig-zag keel line in the forward part: the waterline's forward end
        // cannot be found.
        {"wavy keel", 1.0, 0.0, zigzagBow, 1, volume, " Kiellinie wellig am Bug\n" + volume},
        // Two equal points in a section: the girth does not increase and the
        // resampling spline cannot be fitted.
        {"equal points", 1.0, 0.0, [](auto& raw) { raw[12].points.insert(raw[12].points.begin() + 5, raw[12].points[5]); },
         1, "", " !! FEHLER HULL1 !!\n"},
        // Too small for the local fits: one line naming the count or station.
        {"six stations", 1.0, 0.0, nullptr, kHullTooSmall, "[^\n]*6[^\n]*\n", "[^\n]*6[^\n]*\n",
         VeeHull{.stations = 6}},
        {"seven points", 1.0, 0.0,
         [&](auto& raw) { raw[17].points = straightSide(hull.keel(hull.x(17)), hull.flare(hull.x(17)), hull.sheer, 7); },
         kHullTooSmall, "[^\n]*18[^\n]*\n", "[^\n]*18[^\n]*\n"},
        {"largest section at the transom", 1.0, 0.0,
         [&](auto& raw) {
             for (auto& s : raw) s.points = straightSide(flaredAft.keel(s.x), 0.2 + std::exp(-s.x), 1.0, 12);
         },
         kHullTooSmall, " note: [^\n]*draft[^\n]*\n[^\n]*\n", " note: [^\n]*draft[^\n]*\n[^\n]*\n", flaredAft, 1.0},
    };
    for (const Failure& f : failures) {
        for (bool diag : {false, true}) {
            auto raw = stations(f.shape, f.raise);
            if (f.edit) f.edit(raw);
            Hull1Run run(raw, f.scale, f.volume > 0.0 ? f.volume : hull.volume(kDesignHeight));
            run.st->run.DIAG = diag;
            const int IERR = run.run();
            EXPECT_EQ(IERR, f.IERR) << f.what;
            EXPECT_TRUE(std::regex_match(run.console(), std::regex(diag ? f.diagConsole : f.console)))
                << f.what << (diag ? " DIAG" : "") << ": " << run.console();
        }
    }
}

// ---------------------------------------------------------------------------
// The example cruiser-racer, read from its three offsets layouts

TEST(HullExample, EveryLayoutPreparesTheSameHullFloatingAtItsVolume) {
    test::ScratchDir dir;
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    std::unique_ptr<CaseState> reference;
    for (const char* code : {"CR3", "CR2", "CR1"}) {
        auto out = test::runIn(dir.path(), std::string(code) + "\n\n");
        ASSERT_EQ(out.status, 0) << out.console;
        CaseState& st = *out.state;
        const PreparedHull& p = st.hull;
        const int NST = st.raw.NST;
        ASSERT_EQ(NST, 37);
        for (std::size_t K = 0; K < static_cast<std::size_t>(NST); ++K) {
            EXPECT_EQ(p.YS[K][0], 0.0) << code << " slot " << K;
            for (std::size_t k = 1; k < kSectionPoints; ++k)
                EXPECT_LT(p.ZS[K][k], p.ZS[K][k - 1]) << code << " slot " << K << " point " << k;
            if (K > 0) {
                EXPECT_LT(p.XST[K - 1], p.XST[K]);
            }
        }
        // x = 0 at the largest section. A parabola through the areas of the
        // largest section and its neighbours (0.3125 m apart) peaks within a
        // couple of centimetres of the 7-point spline's extremum, at nearly
        // the same area.
        const auto m = static_cast<std::size_t>(p.KAMAX);
        ASSERT_GE(p.KAMAX, 3);
        const double x1 = p.XST[m - 1], x2 = p.XST[m], x3 = p.XST[m + 1];
        const double a1 = p.ASECT[m - 1], a2 = p.ASECT[m], a3 = p.ASECT[m + 1];
        const double s12 = (a2 - a1) / (x2 - x1), curv = ((a3 - a2) / (x3 - x2) - s12) / (x3 - x1);
        const double vertex = 0.5 * (x1 + x2) - s12 / (2.0 * curv);
        const double peak = a1 + s12 * (vertex - x1) + curv * (vertex - x1) * (vertex - x2);
        EXPECT_LT(x2, 0.5 * (x3 - x2)) << code;
        EXPECT_GT(x2, -0.5 * (x2 - x1)) << code;
        EXPECT_NEAR(vertex, 0.0, 0.02) << code;
        EXPECT_GE(p.AMAX, a2) << code;
        EXPECT_NEAR(p.AMAX, peak, 2e-4 * peak) << code;
        // The hull was drawn with VOLUME (given to 5 digits) its volume below
        // z = 0: a volume error of 1e-4 relative over a waterplane of about
        // 22 m^2 moves the waterline by 3e-5 m. Its keel line crosses z = 0 at
        // x = 0.75 and 10.75 m from the transom; at the bow the keel joins the
        // stem with only a continuous curvature right at the crossing, which
        // the keel-line spline through stations 0.3125 m apart follows to a
        // few millimetres.
        const double XMS = st.raw.XOFF(1) - p.XST[0];
        EXPECT_NEAR(-st.raw.ZOFF(1, 1) - p.ZS[0][0], 0.0, 1e-4) << code << ": T0";
        EXPECT_NEAR(p.XAKEEL + XMS, 0.75, 0.01) << code;
        EXPECT_NEAR(p.XFKEEL + XMS, 10.75, 0.01) << code;
        // Afloat at VOLUME at the final waterline (after the checks of the
        // waterline ends HULL1 left: VDWL sets them again).
        int ierr = -1;
        std::ostringstream sink;
        EXPECT_NEAR(VDWL(st, NST - 1, 0.0, ierr, false, sink), st.input.VOLUME, 1e-9 * st.input.VOLUME) << code;
        ASSERT_EQ(ierr, 0);
        if (reference) expectSameHull(reference->hull, p, code);
        else reference = std::move(out.state);
    }
}

}  // namespace
}  // namespace carinex
