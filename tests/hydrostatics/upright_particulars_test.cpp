// Upright particulars at rest (GEOPRO) and the keel and rudder at rest.
//
// The main witness is the V hull of support/vee_hull.h, 12 long over 49 stations 0.25 apart.
// Below a waterline at height h, with d(x) = h - zk(x) the keel depth and a(x) the flare, the
// straight sections give in closed form the area a*d^2, breadth 2*a*d, girth 2*d*sqrt(1 + a^2)
// and girth depth moment sqrt(1 + a^2)*d^2; the 151-point polygons reproduce them exactly. What
// remains is the integration by splines through the stations, bounded per quantity below. Box
// barges guard the flat keel, the keel and rudder formulas the appendages at rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>

#include "appendages/keel_tables.h"
#include "hydrostatics/appendages_at_rest.h"
#include "hydrostatics/upright_particulars.h"
#include "support/heeled_support.h"
#include "support/scratch_dir.h"
#include "support/vee_hull.h"

namespace carinex {
namespace {

using test::VeeHull;
using namespace test::heel;  // simpson: 20000 panels, exact to rounding for the smooth integrands here

// The V hull prepared at its exact volume below z = 0, afloat at the waterline z = h with the
// prepared origin at offsets x = x0 (both found from the prepared keel points). Wider forward,
// its largest section lies forward of the deepest keel point.
struct VCase {
    Bench hs;
    VeeHull hull{.stations = 49, .length = 12.0, .x0 = 6.0, .depth = 0.5, .c = 0.5 / (4.9 * 4.9),
                 .k0 = 1.6, .k1 = 0.08, .sheer = 1.0};
    double h = 0.0, x0 = 0.0;

    int geopro() { return uprightValues(*hs.st, hs.io, hull.stations - 1); }
    double d(double x) const { return hull.draft(x, h); }
    double breadth(double x) const { return 2.0 * hull.flare(x) * d(x); }
    double slant(double x) const { return std::sqrt(1.0 + hull.flare(x) * hull.flare(x)); }
    template <class F>
    double overWaterline(F f) const { return simpson(f, hull.aftEnd(h), hull.fwdEnd(h)); }
};

void prepare(VCase& c, const test::SectionFormula& formula = {}) {
    ASSERT_EQ(test::prepareAnalyticHull(*c.hs.st, c.hs.io, c.hull.stations, 0.0, c.hull.length,
                                        formula ? formula : c.hull.formula(), c.hull.volume(0.0)),
              0)
        << c.hs.console.str();
    const auto K = static_cast<std::size_t>(c.hull.stations / 2);
    c.h = c.hull.keel(c.hull.x(static_cast<int>(K))) + c.hs.st->hull.ZS[K][0];
    c.x0 = c.hull.x(static_cast<int>(K)) - c.hs.st->hull.XST[K];
}

TEST(UprightParticulars, VHullMatchesClosedForms) {
    VCase c;
    ASSERT_NO_FATAL_FAILURE(prepare(c));
    ASSERT_EQ(c.geopro(), 0) << c.hs.console.str();
    const UprightParticulars& u = c.hs.st->upright;
    const VeeHull& hull = c.hull;
    const double V = c.hs.st->input.VOLUME, xa = hull.aftEnd(c.h), xf = hull.fwdEnd(c.h), lwl = xf - xa;
    ASSERT_LT(std::fabs(c.h), 1e-3) << "the hull floats close to the waterline it was built for";

    // The bow and stern keel tables invert the parabola near their shallow ends (about 6e-5); the
    // station splines at x = 0 reproduce keel line and breadth apart from the decayed end terms.
    EXPECT_NEAR(u.LWL, lwl, 1e-4);
    EXPECT_NEAR(u.TC, c.d(c.x0), 1e-6);
    EXPECT_NEAR(u.BWL, c.breadth(c.x0), 1e-5);
    EXPECT_NEAR(u.TMAX, hull.depth + c.h, 1e-9);
    EXPECT_NEAR(u.XTMAX, hull.x0 - c.x0, 2e-5);

    // Integrals over the waterline, within the error bound of a spline quadrature over stations
    // h = 0.25 apart whose natural end condition (zero curvature) meets an integrand of curvature
    // f'' at the ends (found by differences): about 0.58/24*h^3*|f''| per end, doubled for the
    // shortened end intervals and the rational tension.
    const auto curvature = [](auto f, double x) { return (f(x + 1e-3) - 2.0 * f(x) + f(x - 1e-3)) / 1e-6; };
    const auto B = [&](double x) { return c.breadth(x); };
    const auto G = [&](double x) { return 2.0 * c.d(x) * c.slant(x); };
    const auto check = [&](const char* name, double got, auto f) {
        const double exact = c.overWaterline(f), h = 0.25;
        const double ends = std::fabs(curvature(f, xa + 1e-3)) + std::fabs(curvature(f, xf - 1e-3));
        EXPECT_NEAR(got, exact, 0.05 * h * h * h * ends + 1e-6 * std::fabs(exact)) << name;
    };
    check("AWP0", u.AWP0, B);
    check("SWET0", u.SWET0, G);
    // Along the curve of mean depth A/G the arc element is sqrt(1 + (A'/G)^2) dx, with
    // A'/G = (a'd + 2ad')/(2 sqrt(1 + a^2)); station differences converge to ~1e-4 of it.
    const double arc = c.overWaterline([&](double x) {
        const double slope = (hull.k1 * c.d(x) - 4.0 * hull.flare(x) * hull.c * (x - hull.x0)) / (2.0 * c.slant(x));
        return G(x) * std::sqrt(1.0 + slope * slope);
    });
    EXPECT_NEAR(u.SWETSL, arc, 2e-4 * arc);
    // Centres, also as fractions of the waterline length behind its forward end.
    const double xcb = c.overWaterline([&](double x) { return (x - c.x0) * hull.area(x, c.h); }) / V;
    const double xcf = c.overWaterline([&](double x) { return (x - c.x0) * B(x); }) / c.overWaterline(B);
    EXPECT_NEAR(u.XLCB, xcb, 2e-5);
    EXPECT_NEAR(u.LCFFP, (c.hs.st->hull.XFKEEL - xcf) / u.LWL, 2e-6);
    // Form coefficients: a triangle fills half its box, to the accuracy of AMAX (1e-4 relative).
    EXPECT_NEAR(u.CX0, 0.5, 5e-5);
    EXPECT_NEAR(u.CP0, V / (hull.area(c.x0, c.h) * lwl), 1e-4);
}

// The stem station is dry: with no breadth there the particulars are those of the hull with one.
TEST(UprightParticulars, ZeroBeamAtTheForwardStation) {
    VCase stem, plain;
    const auto formula = stem.hull.formula();
    ASSERT_NO_FATAL_FAILURE(prepare(stem, [&](double x, int k) {
        return test::SectionPoint{x >= stem.hull.length ? 0.0 : formula(x, k).y, formula(x, k).zUp};
    }));
    ASSERT_NO_FATAL_FAILURE(prepare(plain));
    const std::string before = stem.hs.console.str();
    ASSERT_EQ(stem.geopro(), 0);
    ASSERT_EQ(plain.geopro(), 0);
    EXPECT_EQ(stem.hs.console.str().substr(before.size()), " Zero beam at first station, vertical stem assumed\n\n");
    EXPECT_DOUBLE_EQ(stem.hs.st->upright.AWP0, plain.hs.st->upright.AWP0);
    EXPECT_DOUBLE_EQ(stem.hs.st->upright.SWET0, plain.hs.st->upright.SWET0);
}

// A flat keel has no deepest point: box barges (rectangular sections of half-breadth b(x), draft
// T, 10 long, put directly in the prepared axes) take the draft and its position at the largest
// section, with a message. Narrowing forward from x = 0 the sternmost section is the largest;
// widening towards the bow from x = -10 the forward-most one is, with no stations forward of it
// for the breadth fit, so the largest breadth is the one at x = 0, noted under DIAG.
TEST(Geopro, FlatKeelBargesHaveNoDeepestPoint) {
    constexpr double T = 0.4, sheer = 0.5;
    const std::string noDraft = " max. draft not found,Tmax = T at max. section assumed\n";
    struct Barge {
        double xAft, slope;
        bool diag;  // DIAG set: the missing breadth fit forward of the largest section is noted
        int KAMAX;
    };
    for (const Barge& c : {Barge{0.0, -0.05, false, 0}, Barge{-10.0, 0.05, true, 20}}) {
        Bench hs;
        CaseState& st = *hs.st;
        st.run.DIAG = c.diag;
        auto b = [&](double x) { return 1.0 + c.slope * x; };
        // 50 points across the bottom (rising by 1e-13, as the preparation leaves a flat run),
        // 100 up the side to the sheer
        test::placeSections(st.hull, 21, c.xAft, c.xAft + 10.0, [&](double x, int i) {
            if (i <= 50) return test::SectionPoint{b(x) * i / 50.0, -T + i * 1e-13};
            return test::SectionPoint{b(x), -T + 50e-13 + (T + sheer) * (i - 50) / 100.0};
        });
        PreparedHull& h = st.hull;
        for (std::size_t k = 0; k < 21; ++k) h.ASECT[k] = 2.0 * b(h.XST[k]) * T;
        h.KAMAX = c.KAMAX;
        h.AMAX = h.ASECT[static_cast<std::size_t>(c.KAMAX)];
        h.KAFT = 0;
        h.KFWD = 20;
        h.XAKEEL = c.xAft;
        h.XFKEEL = c.xAft + 10.0;
        st.input.KSTYPE = st.input.RSTYPE = 100;
        st.input.VOLUME = 2.0 * T * simpson(b, c.xAft, c.xAft + 10.0);
        ASSERT_EQ(uprightValues(st, hs.io, 20), 0) << hs.console.str();
        const UprightParticulars& u = st.upright;
        EXPECT_EQ(hs.console.str(), noDraft + (c.diag ? " FEHLER KRAENG BMAX\n" : ""));
        EXPECT_NEAR(u.TC, T, 1e-12);
        EXPECT_EQ(u.TMAX, u.TC);
        EXPECT_NEAR(u.BWL, 2.0, 1e-12);
    }
}

// ---------------------------------------------------------------------------------------------
// Keel and rudder at rest on the V hull. Keel: type 64, constant chord 1, t/c = 0.1, KDEPTH = 1.5,
// KSECTF = 0.66, sweep 10 deg, the root's trailing edge on the station of slot keelSlot (offsets
// x = keelSlot/4) and its leading edge 1 forward. Rudder: chord 0.5, t/c 0.12, span 0.8 below
// the waterline, its root's mid-chord on the station of slot 8 (offsets x = 2).
void setUp(VCase& c, int keelSlot) {
    ASSERT_NO_FATAL_FAILURE(prepare(c));
    setupKeelTables(c.hs.st->run);
    CaseInput& in = c.hs.st->input;
    PreparedHull& h = c.hs.st->hull;
    in.KSTYPE = 64;
    in.RSTYPE = 0;
    in.KCHORD.fill(1.0);
    in.KTHICK.fill(0.1);
    in.KDEPTH = 1.5;
    in.KSECTF = 0.66;
    in.KSWEEP = 10.0 * kPi / 180.0;
    h.XK1 = h.XST[static_cast<std::size_t>(keelSlot)];
    h.XK0 = h.XK1 + 1.0;
    h.XR0 = h.XST[8] + 0.25;
    h.XR1 = h.XST[8] - 0.25;
    in.RSPAN = 0.8;
    in.RCROOT = in.RCTIP = 0.5;
    in.RTCRT = in.RTCTP = 0.12;
    in.RSECTF = 0.68;
}

// Strip sums for a keel of constant chord in closed form: the trapezoidal rule of cos over
// [0, pi/2] with 8 panels is (pi/32)*cot(pi/32); the sum of sin*cos over the strips cot(pi/16)/2.
const double kStripArea = (kPi / 32.0) / std::tan(kPi / 32.0);                        // pi/16 * sum STRW
const double kStripDepthRatio = (1.0 / std::tan(kPi / 16.0)) * std::tan(kPi / 32.0);  // sum STRW*ZSTRIP / sum STRW

TEST(UprightAppendages, KeelAndRudderAtRest) {
    VCase c;
    // Keel root from offsets x = 5.5 to 6.5, symmetric about the deepest point; rudder at x = 2.
    ASSERT_NO_FATAL_FAILURE(setUp(c, 22));
    ASSERT_EQ(c.geopro(), 0) << c.hs.console.str();
    const UprightParticulars& u = c.hs.st->upright;
    const TestPoint& p = c.hs.st->point;
    const PreparedHull& h = c.hs.st->hull;
    const double D = c.hull.depth + c.h, zRoot = c.d(5.5);  // TMAX, keel line under the root ends
    EXPECT_NEAR(u.KZLEAD, zRoot, 1e-9);
    EXPECT_NEAR(u.KSPANR, 1.5 + D - zRoot, 1e-9);
    // Root region: the triangles between the keel line and the level TMAX over the root.
    const double root = 0.5 * (D - zRoot) * (h.XK0 - h.XK1);
    EXPECT_NEAR(u.KAREA, root + 1.001 * 1.5 * kStripArea, 1e-9);
    EXPECT_NEAR(p.VKEEL, 0.66 * 0.1 * (root + 1.5 * kStripArea), 1e-10);
    EXPECT_NEAR(u.KZC, 1.5 * kStripDepthRatio, 1e-12);
    EXPECT_NEAR(u.TMAXK, 1.5 + D, 1e-9);
    EXPECT_EQ(u.KSLOT, 22) << "the station at the root trailing edge itself";
    EXPECT_EQ(u.IRUD, 9) << "the first station strictly forward of the rudder's mid-chord";
}

TEST(UprightAppendages, UnusableAppendageDataStopWithAClearError) {
    const std::pair<const char*, std::function<void(CaseInput&)>> faults[] = {
        {" rudder span below the waterline not positive, RSPAN =", [](CaseInput& in) { in.RSPAN = 0.0; }},
        {" rudder root chord not positive, RCROOT =", [](CaseInput& in) { in.RCROOT = 0.0; }},
        {" keel depth below the canoe body not positive, KDEPTH =", [](CaseInput& in) { in.KDEPTH = 0.0; }},
        {" keel without section area, sum of KCHORD**2*KTHICK =", [](CaseInput& in) { in.KTHICK.fill(0.0); }},
        // type 63: the keel line under the root lies above TMAX by more than KDEPTH
        {" keel tip not below the deepest point of the canoe body, KDEPTH =",
         [](CaseInput& in) {
             in.KSTYPE = 63;
             in.KDEPTH = 1e-3;
         }},
    };
    for (const auto& [message, apply] : faults) {
        VCase c;
        ASSERT_NO_FATAL_FAILURE(setUp(c, 26));
        apply(c.hs.st->input);
        const std::string before = c.hs.console.str();
        EXPECT_EQ(c.geopro(), kAppendageAtRest) << message;
        EXPECT_EQ(c.hs.console.str().substr(before.size()).rfind(message, 0), 0u) << c.hs.console.str();
    }
}

// ---------------------------------------------------------------------------------------------
// The example cruiser-racer against its raw offsets, as read (every section starts on the centre
// plane and keeps its keel point; only its top may have gained a point at the common height).
TEST(Geopro, ExampleCruiserAgainstItsRawOffsets) {
    test::ScratchDir dir;
    dir.copyExample("cruiser");
    auto run = test::runIn(dir.path(), "CR3\n\n");
    ASSERT_EQ(run.status, 0) << run.console;
    CaseState& st = *run.state;
    Bench hs;
    double ZDRAG1 = 0.0, XLCBT = 0.0;
    int IERR = -1;
    GEOPRO(st, hs.io, st.raw.NST - 1, ZDRAG1, XLCBT, IERR);
    ASSERT_EQ(IERR, 0) << hs.console.str();
    const UprightParticulars& u = st.upright;
    const RawOffsets& r = st.raw;

    // The keel point of every station is kept as read, so it gives the waterline height zw = -T0
    // and the origin x0 of the volume match.
    const int mid = r.NST / 2;
    const double zw = st.hull.ZS[ix(mid - 1)][0] + r.ZOFF(1, mid), x0 = r.XOFF(mid) - st.hull.XST[ix(mid - 1)];
    EXPECT_LT(std::fabs(zw), 0.02) << "the example is drawn at its design waterline";

    // Every wet station cut at zw as the polygon through its raw points (both sides), and the
    // waterline ends, with nothing immersed, by straight interpolation of the keel height.
    std::vector<std::pair<double, Cut>> cuts;
    for (int i = 1; i <= r.NST; ++i) {
        const double za = r.ZOFF(1, std::max(i - 1, 1)), zb = r.ZOFF(1, i);
        if ((za < zw) != (zb < zw))
            cuts.push_back({r.XOFF(i - 1) + (zw - za) / (zb - za) * (r.XOFF(i) - r.XOFF(i - 1)), Cut{}});
        if (zb >= zw) continue;
        std::vector<std::array<double, 2>> outline;  // up one side and down the other, z downward
        for (int j = 1; j <= r.NP(i); ++j) outline.push_back({r.YOFF(j, i), -r.ZOFF(j, i)});
        for (int j = r.NP(i); j >= 1; --j) outline.push_back({-r.YOFF(j, i), -r.ZOFF(j, i)});
        cuts.push_back({r.XOFF(i), clipPolygon(outline, -zw, 0.0)});
    }
    // The trapezoidal rule over the cuts for one quantity, its moment about x0 if `moment`.
    const auto trapezoid = [&](double Cut::*q, bool moment) {
        const auto f = [&](std::size_t i) { return (moment ? cuts[i].first - x0 : 1.0) * cuts[i].second.*q; };
        double sum = 0.0;
        for (std::size_t i = 1; i < cuts.size(); ++i)
            sum += 0.5 * (f(i - 1) + f(i)) * (cuts[i].first - cuts[i - 1].first);
        return sum;
    };
    // The breadth at the largest section (x = x0) between its two neighbouring stations.
    const auto fwd = std::find_if(cuts.begin() + 1, cuts.end(), [&](const auto& c) { return c.first >= x0; });
    const auto& [xa, aft] = *(fwd - 1);
    const double bwl = aft.breadth + (x0 - xa) / (fwd->first - xa) * (fwd->second.breadth - aft.breadth);

    // Tolerances. The reference is the cruder one: chords between the raw points (28 per
    // section, about 0.07 apart along the girth) where the prepared sections follow a spline
    // through them, trapezoidal sums over stations 0.3125 apart where GEOPRO integrates splines,
    // and the keel line straight between stations where it is a spline. For the concave
    // waterline-breadth curve, B'' ~ -8*BWL/LWL^2, the trapezoidal rule falls short by
    // LWL*h^2/12*|B''|, about 0.1 %; the chords cut into the sections by s^2/(8R), 1.5e-3 at a
    // bilge of radius 0.4, another 0.1 % of breadths and girths; a straight keel line between
    // stations moves each waterline end by up to h^2/8 times the keel line's curvature. 0.5 %
    // holds their sum with a margin of about two (the differences found are 0.2 to 0.3 %). XLCB,
    // near x = 0, is compared to 0.5 % of the length.
    const double lwl = cuts.back().first - cuts.front().first, awp = trapezoid(&Cut::breadth, false);
    const double xlcb = trapezoid(&Cut::area, true) / trapezoid(&Cut::area, false);
    const double swet = trapezoid(&Cut::girth, false);
    const std::tuple<const char*, double, double, double> quantities[] = {  // GEOPRO, reference, 0.5 % of
        {"LWL", u.LWL, lwl, lwl},    {"BWL", u.BWL, bwl, bwl},          {"AWP0", u.AWP0, awp, awp},
        {"XLCB", u.XLCB, xlcb, lwl}, {"SWET0", u.SWET0, swet, swet}};
    for (const auto& [name, got, reference, scale] : quantities)
        EXPECT_NEAR(got, reference, 0.005 * scale) << name;
    // The design numbers of the example: a waterline 10 m long and 3.12 m wide.
    EXPECT_NEAR(u.LWL, 10.0, 0.02);
    EXPECT_NEAR(u.BWL, 3.12, 0.02);
    EXPECT_GT(ZDRAG1, 0.0);
    EXPECT_LT(ZDRAG1, u.TMAX);
}

}  // namespace
}  // namespace carinex
