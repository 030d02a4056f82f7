// Hull preparation from raw offsets to the prepared hull in its final axes, on the V hull of
// support/vee_hull.h, whose immersed volume, keel-line ends and largest section are known in closed
// form. A straight side resampled along its girth is exact, so the volume differs from the closed
// form only by the area-curve spline and the cut of the waterline inside a segment. Guards: the
// waterline floating the hull at VOLUME, the ends and the largest section, the resampling, the
// listing under DIAG, the draft-change note, and every failure with its message.
#include "geometry/hull_preparation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "geometry/design_waterline.h"
#include "support/heeled_support.h"
#include "platform/files.h"
#include "support/vee_hull.h"

namespace carinex {
namespace {

using test::VeeHull;
using test::heel::Points;
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
        st = test::heel::rawOffsets(raw, true);
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
    // Waterline depth and largest-section position, from ZS(0) = -z*SCALE - T0, XST = x*SCALE - XMS.
    double T0() const { return -st->raw.ZOFF(1, 1) * st->input.SCALE - st->hull.ZS[0][0]; }
    double XMS() const { return st->raw.XOFF(1) * st->input.SCALE - st->hull.XST[0]; }

    int IERR = -1;
};

constexpr double kDesignHeight = 0.05;  // waterline height at which the V hull is floated

// The waterline HULL1 finds, its ends on the exact keel line, afloat at VOLUME at T = 0 in the final
// axes. The waterline error: the cut through a segment overstates a section by at most k*dz^2/4
// (dz the height step of the points), the area-curve spline adds up to 2e-5 of the volume; divided
// by the waterplane area. The ends: the 7-station spline of x over the keel depth, 2e-4 (see the
// VDWL tests). x = 0 at the largest section: the zero of the slope of a spline through seven
// sections, whose free ends three intervals away shift it by at most ~2.5 mm. Sections resampled
// on their straight sides. Under DIAG the sections are listed, every second point, before the
// shift of axes.
TEST(HullAnalytic, FloatsAtTheVolumeInTheFinalAxes) {
    const VeeHull hull;
    const double V = hull.volume(kDesignHeight);
    Hull1Run run(stations(hull), V);
    run.st->run.DIAG = true;
    auto control = std::make_unique<std::ostringstream>();
    std::ostringstream* listing = control.get();
    run.io.setControl(std::move(control));
    ASSERT_EQ(run.run(), 0) << run.console.str();
    EXPECT_EQ(run.console.str(), "");
    const PreparedHull& p = run.st->hull;
    const double T0 = run.T0(), XMS = run.XMS(), h = -T0;
    const double dz = (hull.sheer + hull.depth) / 150.0, kMax = std::max(hull.flare(0.0), hull.flare(10));
    const double dV = kMax * dz * dz / 4.0 * (hull.fwdEnd(h) - hull.aftEnd(h)) + 2e-5 * V;
    EXPECT_NEAR(h, kDesignHeight, dV / hull.waterplane(h));
    EXPECT_NEAR(p.XFKEEL + XMS, hull.fwdEnd(h), 2e-4);
    EXPECT_NEAR(p.XAKEEL + XMS, hull.aftEnd(h), 2e-4);
    int ierr = -1;
    EXPECT_NEAR(VDWL(*run.st, hull.stations - 1, 0.0, ierr, false, run.console), V, 1e-9 * V);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(XMS, hull.largestSection(h), 5e-3);
    EXPECT_NEAR(p.AMAX, hull.area(hull.largestSection(h), h), 1e-4 * p.AMAX);
    for (std::size_t K = 0; K < static_cast<std::size_t>(hull.stations); ++K) {
        const double zk = hull.keel(hull.x(static_cast<int>(K))), k = hull.flare(hull.x(static_cast<int>(K)));
        EXPECT_NEAR(p.ZS[K][0], -zk - T0, 1e-12) << K;
        EXPECT_NEAR(p.YS[K][75], k * (-p.ZS[K][75] - T0 - zk), 1e-12) << K;
    }
    const std::vector<std::string> all = splitLines(listing->str());
    ASSERT_EQ(all.size(), 1u + 41u * 77u);
    EXPECT_EQ(all[0], " Offsets geglättet, 75 von 150 Punkten");
    EXPECT_EQ(all[2], "     0.00000    -0.19350") << "slot 0 at x = 0: the keel point zk(0) = 0.1935 up";
    EXPECT_EQ(all[1 + 77 * 40], "I=    40 X=     10.00000") << "slot 40 at x = 10, before the shift of axes";
}

// A volume that moves the waterline by more than a tenth of the offsets' draft is noted; the
// deepest station (x = 4.5) lies 0.6 - c*0.1^2 below the datum, floated at h its draft grows by h.
TEST(HullAnalytic, LargeDraftChangeOfTheVolumeMatchIsNoted) {
    const VeeHull hull;
    const double given = hull.depth - hull.c * 0.1 * 0.1;
    for (const auto& [h, percent] : {std::pair{0.07, "+11.7"}, std::pair{-0.07, "-11.7"}}) {
        Hull1Run run(stations(hull), hull.volume(h));
        ASSERT_EQ(run.run(), 0) << run.console.str();
        char note[200];
        std::snprintf(note, sizeof note,
                      " note: the prescribed VOLUME changes the canoe-body draft by %s %% (%.3f m instead of"
                      " %.3f m at the offsets' waterline); check VOLUME and SCALE\n",
                      percent, given + h, given);
        EXPECT_EQ(run.console.str(), note) << h;
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
    EXPECT_NEAR(p.ZS[6][0], -(z1 - m * y1) - run.T0(), 1e-12);
    for (std::size_t K : {30u, 34u}) {
        EXPECT_NEAR(p.ZS[K][148], -hull.sheer - run.T0(), 1e-12) << K;
        EXPECT_NEAR(p.ZS[K][148] - p.ZS[K][149], 100.0 * std::ldexp(1.0, -50), 1e-15) << K;
        EXPECT_NEAR(p.ZS[K][149] - p.ZS[K][150], 100.0 * std::ldexp(1.0, -50), 1e-15) << K;
        for (std::size_t i = 1; i < kSectionPoints; ++i) EXPECT_LT(p.ZS[K][i], p.ZS[K][i - 1]) << K << i;
    }
}

// Each failure with its code and console, without and with DIAG (patterns).
TEST(HullFailure, EachFailureEndsWithItsCodeAndMessages) {
    const std::string volume = " unable to match the prescribed VOLUME\n check SCALE for consistency\n";
    const VeeHull hull, flaredAft{.length = 8.0, .x0 = 2.0, .sheer = 1.0};
    const std::string fewStations = " at least 7 stations are needed, the offsets hold           6\n";
    const std::string fewPoints = " section          18  has           7  points, at least 8 are needed\n";
    struct Failure {
        const char* what;
        double scale;
        std::function<void(Stations&)> edit;
        int IERR;
        std::string console, diagConsole;
        VeeHull shape = VeeHull{};
        double volume = 0.0;  // 0: the V hull's at the design height
    };
    const Failure failures[] = {
        // even wholly immersed the hull holds too little: no bracket
        {"too small", 0.001, nullptr, 2, volume, volume},
        // millimetres read as metres: closing in on the keel's lowest point fewer than seven stations
        // are wet, and the first VDWL failure ends the match
        {"too large", 1000.0, nullptr, 1, volume, " Kiellinie wellig am (Bug|Heck)\n" + volume},
        // the girth does not increase: the resampling spline cannot be fitted
        {"equal points", 1.0,
         [](auto& raw) { raw[12].second.insert(raw[12].second.begin() + 5, raw[12].second[5]); },
         1, "", " !! FEHLER HULL1 !!\n"},
        {"six stations", 1.0, nullptr, kHullTooSmall, fewStations, fewStations, VeeHull{.stations = 6}},
        {"seven points", 1.0, [](auto& raw) { raw[17].second.resize(7); }, kHullTooSmall, fewPoints, fewPoints},
        // sections flaring out strongly towards a deep transom: the largest is the aftmost one
        {"largest section at the transom", 1.0,
         [&](auto& raw) {
             for (auto& [x, p] : raw) p = straightSide(flaredAft.keel(x), 0.2 + std::exp(-x), 1.0, 12);
         },
         kHullTooSmall, " note: [^\n]*\n the largest section lies within 3 stations of an end of the hull\n",
         " note: [^\n]*\n the largest section lies within 3 stations of an end of the hull\n", flaredAft, 1.0},
    };
    for (const Failure& f : failures) {
        for (bool diag : {false, true}) {
            auto raw = stations(f.shape);
            if (f.edit) f.edit(raw);
            Hull1Run run(raw, f.volume > 0.0 ? f.volume : hull.volume(kDesignHeight), f.scale);
            run.st->run.DIAG = diag;
            EXPECT_EQ(run.run(), f.IERR) << f.what;
            EXPECT_TRUE(std::regex_match(run.console.str(), std::regex(diag ? f.diagConsole : f.console)))
                << f.what << (diag ? " DIAG" : "") << ": " << run.console.str();
        }
    }
}

}  // namespace
}  // namespace carinex
