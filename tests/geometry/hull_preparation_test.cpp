// Hull preparation from raw offsets to the prepared hull in its final axes, on the V hull of
// support/vee_hull.h, whose immersed volume, keel-line ends and largest section are known in closed
// form. A straight side resampled along its girth is exact, so the volume differs from the closed
// form only by the area-curve spline and the cut of the waterline inside a segment. Guards: the
// waterline floating the hull at VOLUME, the ends and the largest section, the resampling, the
// listing under DIAG, the draft-change note, and every failure with its message; the example
// cruiser from its three offsets layouts; and the ordering of raw offsets before all that.
#include "geometry/hull_preparation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "geometry/design_waterline.h"
#include "geometry/offset_sorting.h"
#include "platform/files.h"
#include "support/heeled_support.h"
#include "support/scratch_dir.h"
#include "support/vee_hull.h"

namespace carinex {
namespace {

using test::VeeHull;
using test::heel::Points;
using test::heel::rawOffsets;
using test::heel::Stations;

// n points on the straight side from the keel point zk up to exactly zTop, crowded towards the
// keel so that a resampling cannot leave them where they are.
Points straightSide(double zk, double k, double zTop, int n) {
    Points p;
    for (int j = 0; j < n; ++j) {
        const double t = static_cast<double>(j) / (n - 1);
        const double z = j == n - 1 ? zTop : zk + (zTop - zk) * t * (0.4 + 0.6 * t);
        p.emplace_back(k * (z - zk), z);
    }
    return p;
}

// The hull in raw stations of 12 points.
Stations stations(const VeeHull& hull) {
    Stations s;
    for (int K = 0; K < hull.stations; ++K) {
        const double x = hull.x(K);
        s.emplace_back(x, straightSide(hull.keel(x), hull.flare(x), hull.sheer, 12));
    }
    return s;
}

// One call of HULL1 on raw offsets as the readers and the sorting steps leave them, its console
// captured; the load at 5 m, no appendages. The offsets are taken as file units of SCALE metres.
struct Hull1Run : test::heel::Bench {
    Hull1Run(const Stations& raw, double volume, double scale = 1.0) {
        st = rawOffsets(raw, true);
        CaseInput& c = st->input;
        c.SCALE = scale;
        c.VOLUME = volume;
        c.KSTYPE = 100;
        c.XLOAD = 5.0 / scale;
        c.XLEVER = 4.5;
    }
    int run() {
        HULL1(*st, io, IERR);
        return IERR;
    }
    int IERR = -1;
};

// Waterline depth and largest-section position of a prepared hull, from its first raw point:
// ZS(0) = -z*SCALE - T0, XST = x*SCALE - XMS.
double T0(const CaseState& st) { return -st.raw.ZOFF(1, 1) * st.input.SCALE - st.hull.ZS[0][0]; }
double XMS(const CaseState& st) { return st.raw.XOFF(1) * st.input.SCALE - st.hull.XST[0]; }

constexpr double kDesignHeight = 0.05;  // waterline height at which the V hull is floated

// The waterline HULL1 finds, its ends on the exact keel line, afloat at VOLUME at T = 0 in the final
// axes. The waterline error: the cut through a segment overstates a section by at most k*dz^2/4
// (dz the height step of the points), the area-curve spline adds up to 2e-5 of the volume; divided
// by the waterplane area. The ends: the 7-station spline of x over the keel depth, 2e-4 (see the
// VDWL tests). x = 0 at the largest section: the zero of the slope of a spline through seven
// sections, whose free ends three intervals away shift it by at most ~2.5 mm. Sections resampled
// on their straight sides. Under DIAG the sections are listed, every second point, before the
// shift of axes. A volume that moves the waterline by more than a tenth of the offsets' draft is
// noted; the deepest station (x = 4.5) lies 0.6 - c*0.1^2 below the datum, floated at h its draft
// grows by h (at the design height by 8 %: no note).
TEST(HullAnalytic, FloatsAtTheVolumeInTheFinalAxes) {
    const VeeHull hull;
    const double given = hull.depth - hull.c * 0.1 * 0.1;
    for (const auto& [height, percent] : {std::pair{kDesignHeight, ""}, {0.07, "+11.7"}, {-0.07, "-11.7"}}) {
        const double V = hull.volume(height);
        Hull1Run run(stations(hull), V);
        run.st->run.DIAG = true;
        auto* listing = new std::ostringstream;  // the control file, owned by the run's files
        run.io.setControl(std::unique_ptr<std::ostream>(listing));
        ASSERT_EQ(run.run(), 0) << run.console.str();
        char note[200] = "";
        if (*percent) {
            std::snprintf(note, sizeof note,
                          " note: the prescribed VOLUME changes the canoe-body draft by %s %% (%.3f m instead"
                          " of %.3f m at the offsets' waterline); check VOLUME and SCALE\n",
                          percent, given + height, given);
        }
        EXPECT_EQ(run.console.str(), note) << height;
        const PreparedHull& p = run.st->hull;
        const double T0 = carinex::T0(*run.st), XMS = carinex::XMS(*run.st), h = -T0;
        const double dz = (hull.sheer + hull.depth) / 150.0, kMax = std::max(hull.flare(0.0), hull.flare(10));
        const double dV = kMax * dz * dz / 4.0 * (hull.fwdEnd(h) - hull.aftEnd(h)) + 2e-5 * V;
        EXPECT_NEAR(h, height, dV / hull.waterplane(h));
        EXPECT_NEAR(p.XFKEEL + XMS, hull.fwdEnd(h), 2e-4) << height;
        EXPECT_NEAR(p.XAKEEL + XMS, hull.aftEnd(h), 2e-4) << height;
        int ierr = -1;
        EXPECT_NEAR(VDWL(*run.st, hull.stations - 1, 0.0, ierr, false, run.console), V, 1e-9 * V) << height;
        EXPECT_EQ(ierr, 0);
        EXPECT_NEAR(XMS, hull.largestSection(h), 5e-3) << height;
        EXPECT_NEAR(p.AMAX, hull.area(hull.largestSection(h), h), 1e-4 * p.AMAX) << height;
        for (std::size_t K = 0; K < static_cast<std::size_t>(hull.stations); ++K) {
            const double x = hull.x(static_cast<int>(K)), zk = hull.keel(x);
            EXPECT_NEAR(p.ZS[K][0], -zk - T0, 1e-12) << K;
            EXPECT_NEAR(p.YS[K][75], hull.flare(x) * (-p.ZS[K][75] - T0 - zk), 1e-12) << K;
        }
        const std::vector<std::string> all = splitLines(listing->str());
        ASSERT_EQ(all.size(), 1u + 41u * 77u);
        EXPECT_EQ(all[0], " Offsets geglättet, 75 von 150 Punkten");
        EXPECT_EQ(all[2], "     0.00000    -0.19350") << "slot 0 at x = 0: the keel point zk(0) = 0.1935 up";
        EXPECT_EQ(all[1 + 77 * 40], "I=    40 X=     10.00000") << "slot 40 at x = 10, not shifted";
    }
}

// Raw sections the examples do not have:
//   6  first point off the centre plane, z growing linearly with the girth r: the spline of z
//      over r puts the keel point at z1 - m*y1 exactly, and only that point moves;
//  30  a flat top, 34 a top dipping before it comes back up: made strictly decreasing by steps
//      of 100*EPS.
TEST(HullSections, OffCentreKeelPointsAndFlatTopsAreMadeRegular) {
    const VeeHull hull;
    auto raw = stations(hull);
    const double y1 = 0.05, m = 0.8, z1 = hull.keel(hull.x(6)) + 0.02, rTop = y1 + (hull.sheer - z1) / m;
    raw[6].second.clear();
    for (int j = 0; j < 12; ++j) {
        const double r = y1 + (rTop - y1) * j / 11.0, z = (j == 11) ? hull.sheer : z1 + m * (r - y1);
        raw[6].second.emplace_back(std::sqrt(r * r - (z - z1) * (z - z1)), z);
    }
    for (int K : {30, 34}) {
        Points& top = raw[static_cast<std::size_t>(K)].second;
        top = straightSide(hull.keel(hull.x(K)), hull.flare(hull.x(K)), hull.sheer, kSectionPoints - 2);
        top.emplace_back(top.back().first + 0.02, K == 30 ? hull.sheer : hull.sheer - 0.01);
        top.emplace_back(top.back().first + 0.02, hull.sheer);
    }
    Hull1Run run(raw, hull.volume(kDesignHeight));
    ASSERT_EQ(run.run(), 0) << run.console.str();
    const RawOffsets& r = run.st->raw;
    const PreparedHull& p = run.st->hull;
    EXPECT_TRUE(r.YOFF(1, 7) == 0.0 && r.RDIST(1, 7) == 0.0);
    EXPECT_EQ(r.YOFF(2, 7), raw[6].second[1].first) << "only the first point moves";
    EXPECT_NEAR(r.ZOFF(1, 7), z1 - m * y1, 1e-12);
    EXPECT_NEAR(p.ZS[6][0], -(z1 - m * y1) - T0(*run.st), 1e-12);
    for (std::size_t K : {30u, 34u}) {
        EXPECT_NEAR(p.ZS[K][148], -hull.sheer - T0(*run.st), 1e-12) << K;
        for (std::size_t i : {148u, 149u})
            EXPECT_NEAR(p.ZS[K][i] - p.ZS[K][i + 1], 100.0 * std::ldexp(1.0, -50), 1e-15) << K << " " << i;
        for (std::size_t i = 1; i < kSectionPoints; ++i) EXPECT_LT(p.ZS[K][i], p.ZS[K][i - 1]) << K << i;
    }
}

// Each failure with its code and console, without and with DIAG (patterns).
TEST(HullFailure, EachFailureEndsWithItsCodeAndMessages) {
    const std::string volume = " unable to match the prescribed VOLUME\n check SCALE for consistency\n";
    const VeeHull hull, flaredAft{.length = 8.0, .x0 = 2.0, .sheer = 1.0};
    struct Failure {
        const char* what;
        double scale;
        std::function<void(Stations&)> edit;
        int IERR;
        std::string console, byDiag;  // the console, and what DIAG writes before it
        VeeHull shape = VeeHull{};
        double volume = 0.0;  // 0: the V hull's at the design height
    };
    const Failure failures[] = {
        // even wholly immersed the hull holds too little: no bracket
        {"too small", 0.001, nullptr, 2, volume, ""},
        // millimetres read as metres: closing in on the keel's lowest point fewer than seven stations
        // are wet, and the first VDWL failure ends the match
        {"too large", 1000.0, nullptr, 1, volume, " Kiellinie wellig am (Bug|Heck)\n"},
        // the girth does not increase: the resampling spline cannot be fitted
        {"equal points", 1.0,
         [](auto& raw) { raw[12].second.insert(raw[12].second.begin() + 5, raw[12].second[5]); },
         1, "", " !! FEHLER HULL1 !!\n"},
        {"six stations", 1.0, nullptr, kHullTooSmall,
         " at least 7 stations are needed, the offsets hold           6\n", "", VeeHull{.stations = 6}},
        {"seven points", 1.0, [](auto& raw) { raw[17].second.resize(7); }, kHullTooSmall,
         " section          18  has           7  points, at least 8 are needed\n", ""},
        // sections flaring out strongly towards a deep transom: the largest is the aftmost one
        {"largest section at the transom", 1.0,
         [&](auto& raw) {
             for (auto& [x, p] : raw) p = straightSide(flaredAft.keel(x), 0.2 + std::exp(-x), 1.0, 12);
         },
         kHullTooSmall, " note: [^\n]*\n the largest section lies within 3 stations of an end of the hull\n",
         "", flaredAft, 1.0},
    };
    for (const Failure& f : failures) {
        for (bool diag : {false, true}) {
            auto raw = stations(f.shape);
            if (f.edit) f.edit(raw);
            Hull1Run run(raw, f.volume > 0.0 ? f.volume : hull.volume(kDesignHeight), f.scale);
            run.st->run.DIAG = diag;
            EXPECT_EQ(run.run(), f.IERR) << f.what;
            EXPECT_TRUE(std::regex_match(run.console.str(), std::regex((diag ? f.byDiag : "") + f.console)))
                << f.what << (diag ? " DIAG" : "") << ": " << run.console.str();
        }
    }
}

// The example cruiser-racer read from its three offsets layouts prepares one hull, its sections
// ordered from the keel up and its stations from the stern. x = 0 at the largest section: a
// parabola through the areas of the largest section and its neighbours (0.3125 m apart) peaks
// within a couple of centimetres of the 7-point spline's extremum, at nearly the same area. The
// hull was drawn with VOLUME (given to 5 digits) its volume below z = 0: a volume error of 1e-4
// relative over a waterplane of about 22 m^2 moves the waterline by 3e-5 m. Its keel line crosses
// z = 0 at x = 0.75 and 10.75 m from the transom; at the bow the keel joins the stem with only a
// continuous curvature right at the crossing, which the keel-line spline through stations 0.3125 m
// apart follows to a few millimetres. Afloat at VOLUME at the final waterline (VDWL sets the
// waterline ends HULL1 left again).
TEST(HullExample, EveryLayoutPreparesTheSameHullFloatingAtItsVolume) {
    test::ScratchDir dir;
    dir.copyExample("cruiser");
    std::unique_ptr<CaseState> first;
    for (const char* code : {"CR3", "CR2", "CR1"}) {
        SCOPED_TRACE(code);
        test::RunOutcome out = test::runIn(dir.path(), std::string(code) + "\n\n");
        ASSERT_EQ(out.status, 0) << out.console;
        CaseState& st = *out.state;
        const PreparedHull& p = st.hull;
        ASSERT_EQ(st.raw.NST, 37);
        // stations in increasing x, each from its keel point on the centre plane strictly upward
        for (std::size_t K = 0; K < 37; ++K) {
            EXPECT_TRUE(p.YS[K][0] == 0.0 && (K == 0 || p.XST[K - 1] < p.XST[K])) << "slot " << K;
            const auto& ZS = p.ZS[K];
            EXPECT_EQ(std::adjacent_find(ZS.begin(), ZS.end(), std::less_equal<>()), ZS.end()) << K;
        }
        const auto m = static_cast<std::size_t>(p.KAMAX);
        ASSERT_GE(p.KAMAX, 3);
        const double x1 = p.XST[m - 1], x2 = p.XST[m], x3 = p.XST[m + 1];
        const double a1 = p.ASECT[m - 1], a2 = p.ASECT[m], a3 = p.ASECT[m + 1];
        const double s12 = (a2 - a1) / (x2 - x1), curv = ((a3 - a2) / (x3 - x2) - s12) / (x3 - x1);
        const double vertex = 0.5 * (x1 + x2) - s12 / (2.0 * curv);
        const double peak = a1 + s12 * (vertex - x1) + curv * (vertex - x1) * (vertex - x2);
        EXPECT_TRUE(x2 < 0.5 * (x3 - x2) && x2 > -0.5 * (x2 - x1));
        EXPECT_NEAR(vertex, 0.0, 0.02);
        EXPECT_GE(p.AMAX, a2);
        EXPECT_NEAR(p.AMAX, peak, 2e-4 * peak);
        EXPECT_NEAR(T0(st), 0.0, 1e-4);
        EXPECT_NEAR(p.XAKEEL + XMS(st), 0.75, 0.01);
        EXPECT_NEAR(p.XFKEEL + XMS(st), 10.75, 0.01);
        int ierr = -1;
        std::ostringstream sink;
        EXPECT_NEAR(VDWL(st, 36, 0.0, ierr, false, sink), st.input.VOLUME, 1e-9 * st.input.VOLUME);
        ASSERT_EQ(ierr, 0);
        if (!first) {
            first = std::move(out.state);
            continue;
        }
        const PreparedHull& a = first->hull;  // the same hull from the first layout, CR3
        for (auto [got, want] : {std::pair{p.XFKEEL, a.XFKEEL}, {p.XAKEEL, a.XAKEEL}, {p.AMAX, a.AMAX}})
            EXPECT_NEAR(got, want, 1e-9);
        for (std::size_t K = 0; K < kStationSlots; ++K) {
            EXPECT_NEAR(p.XST[K], a.XST[K], 1e-9) << "slot " << K;
            for (std::size_t k = 0; k < kSectionPoints; ++k) {
                EXPECT_NEAR(p.YS[K][k], a.YS[K][k], 1e-9) << "slot " << K << " point " << k;
                EXPECT_NEAR(p.ZS[K][k], a.ZS[K][k], 1e-9) << "slot " << K << " point " << k;
            }
        }
    }
}

// Raw offsets in order (by the Shell sort): stations from stern to bow with their points by
// height, absent stations and merged points squeezed out, points below the lowest one lowered
// onto it, and the merging of near-duplicate points and height dips.

// Half-breadths move with their heights; an absent station drops out.
TEST(Prep1, StationsFromSternToBowAndPointsByHeight) {
    auto st = rawOffsets({{3.0, {{0.5, 0.2}, {0.0, -0.4}}},
                          {kAbsent, {{0.0, -0.5}, {0.4, 0.3}}},
                          {1.0, {{0.0, -0.3}, {0.7, 0.5}, {0.6, 0.1}}},
                          {2.0, {{0.0, -0.5}, {0.4, 0.3}}}},
                         false);
    PREP1(*st);
    const RawOffsets& r = st->raw;
    EXPECT_TRUE(r.NST == 3 && r.NPMAX == 3 && r.NP(1) == 3 && r.NP(3) == 2);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(r.XOFF(i), static_cast<double>(i));
    EXPECT_TRUE(r.YOFF(2, 1) == 0.6 && r.ZOFF(2, 1) == 0.1 && r.ZOFF(1, 3) == -0.4);
}

// Points before the lowest in girth order drop to its level and measure their half-breadth; with
// equal lowest points the last one counts.
TEST(Prep3, PointsBeforeTheLowestAreLoweredToIt) {
    auto st = rawOffsets({{1.0, {{0.0, -0.8}, {0.3, -1.0}, {0.6, -0.5}, {0.9, 0.5}}},
                          {2.0, {{0.0, -1.0}, {0.5, 0.0}, {0.2, -1.0}}}},
                         true);
    const RawOffsets& r = st->raw;
    const double after = r.RDIST(3, 1);
    PREP3(*st);
    EXPECT_TRUE(r.ZOFF(1, 1) == -1.0 && r.ZOFF(2, 1) == -1.0 && r.ZOFF(3, 1) == -0.5);
    EXPECT_TRUE(r.RDIST(1, 1) == 0.0 && r.RDIST(2, 1) == 0.3 && r.RDIST(3, 1) == after);
    EXPECT_TRUE(r.ZOFF(2, 2) == -1.0 && r.RDIST(2, 2) == 0.5 && r.RDIST(3, 2) == 0.2);
}

// PREP4 then PREP2: a point within TOL of its predecessor along the girth, or lower than it, is
// merged into it (the mean of the two); the keel point survives unchanged; a close run collapses
// into the mean of its last merge. The recount squeezes out the merged points.
TEST(Prep4, CloseAndDippingPointsAreMerged) {
    // points -> points left, the merged point j and its (y, z)
    for (const auto& [points, np, j, y, z] :
         {std::tuple{Points{{0.0, -1.0}, {0.5, -0.5}, {0.5, -0.5}, {1.0, 0.5}}, 3, 2, 0.5, -0.5},
          std::tuple{Points{{0.0, -1.0}, {0.0001, -0.9999}, {1.0, 0.5}}, 2, 1, 0.0, -1.0},
          std::tuple{Points{{0.0, -1.0}, {0.6, -0.5}, {0.6004, -0.4997}, {0.6008, -0.4994}, {1.0, 0.5}}, 3, 2,
                     0.5 * (0.5 * (0.6 + 0.6004) + 0.6008), 0.5 * (0.5 * (-0.5 - 0.4997) - 0.4994)},
          std::tuple{Points{{0.0, -1.0}, {0.5, -0.2}, {0.7, -0.4}, {1.0, 0.5}}, 3, 2, 0.6, -0.3}}) {
        auto st = rawOffsets({{1.0, points}}, true);
        PREP4(*st, 0.001, 0.0);
        PREP2(*st);
        const RawOffsets& r = st->raw;
        EXPECT_TRUE(r.NP(1) == np && r.NPMAX == np) << points.size();
        EXPECT_DOUBLE_EQ(r.YOFF(j, 1), y) << points.size();
        EXPECT_DOUBLE_EQ(r.ZOFF(j, 1), z) << points.size();
        EXPECT_EQ(r.ZOFF(np, 1), 0.5) << "the top point is kept";
    }
}

}  // namespace
}  // namespace carinex
