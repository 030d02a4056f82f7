// The immersed hull as the flow models measure it, against closed forms and an independent
// clipping of the section polygon: the effective volume (the waterplanes weighted by the decay of
// the wave motion with depth, with its fast and slow limits) on V hulls whose waterplanes are
// known and on a hull with a wet transom; the wetted transom; the immersed rudder through its
// stages of immersion (emerged, free of the hull, joined to it) and the hull above it beyond the
// stations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "flow/effective_volume.h"
#include "flow/level_cut.h"
#include "flow/transom_rudder.h"
#include "support/heeled_support.h"

namespace carinex {
namespace {

using namespace test::heel;

// VOLEFF at a speed, its error flag checked; the effective volume VOLFNZ.
double effectiveVolume(Bench& b, int NSLOT, double VBOOT) {
    int IERR = -1;
    VOLEFF(*b.st, b.io, NSLOT, VBOOT, IERR);
    EXPECT_EQ(IERR, 0) << "VBOOT " << VBOOT << ": " << b.console.str();
    return b.st->trial.VOLFNZ;
}

// The V hull prepared at the volume of the hull below z = 0, in the trial state SINKG = TRIMW = 0
// at the given heel; h is the waterline height.
struct VeeCase {
    Bench b;
    CaseState& st = *b.st;
    test::VeeHull hull;
    int NSLOT = hull.stations - 1;
    double h = 0.0;

    explicit VeeCase(double heel, double length = 10.0) : hull{.length = length} {
        EXPECT_EQ(test::prepareAnalyticHull(st, b.io, hull.stations, 0.0, length, hull.formula(), hull.volume(0.0)), 0);
        EXPECT_EQ(uprightValues(st, b.io, NSLOT), 0);
        h = hull.keel(hull.x(NSLOT / 2)) + st.hull.ZS[ix(NSLOT / 2)][0];
        setTrial(st, 0.0, 0.0, heel);
        EXPECT_EQ(kraeng(b, NSLOT), 0) << b.console.str();
    }
    double voleff(double VBOOT) { return effectiveVolume(b, NSLOT, VBOOT); }
};

// Upright the levels are the waterplanes of the V hull below z = h; the speed only weights them.
TEST(EffectiveVolume, VeeHullWaterplanesWeightedByTheSurfaceDecay) {
    VeeCase c(0.0);
    const double GRAV = c.st.run.GRAV, DEP = c.st.balance.TLIFT;
    ASSERT_NEAR(DEP, c.hull.depth + c.h, 1e-9);
    // decay per level step GV*DEP/40; across 0.2 the quadrature changes from the spline of the
    // weighted areas to the closed-form integral over the polygon of the areas
    for (double decay : {1e-6, 0.05, 0.199, 0.201, 1.0, 30.0}) {
        const double GV = decay * 40.0 / DEP, VOLFNZ = c.voleff(std::sqrt(GRAV / GV));
        // Simpson over the closed-form waterplanes, down to the keel where the last one vanishes
        const auto weighted = [&](double z) { return c.hull.waterplane(c.h - z) * std::exp(-GV * z); };
        EXPECT_NEAR(VOLFNZ / simpson(weighted, 0.0, DEP, 4000), 1.0, decay == 0.199 ? 5e-4 : 3e-4) << "GV*dz = " << decay;
    }
    // fast the whole immersed volume counts; slow only the waterplane: VOLFNZ -> AWP(0)/GV
    EXPECT_NEAR(c.voleff(1e4) / c.hull.volume(c.h), 1.0, 3e-4);
    EXPECT_NEAR(c.voleff(0.02) * GRAV / (0.02 * 0.02) / c.hull.waterplane(c.h), 1.0, 3e-4);
    // at rest no effective volume, no transom term, and no appendage on the bare hull
    const double atRest = c.voleff(0.0);
    for (double zero : {atRest, c.st.flow.BTRQ, c.st.flow.KVEFF}) EXPECT_EQ(zero, 0.0);
    EXPECT_TRUE(std::isfinite(c.st.flow.BFLARE) && std::isfinite(c.st.flow.BRUN));
    // a hull cut off forward of where its keel would meet the waterline: every level runs on one
    // station spacing beyond the last station, as the hydrostatics' waterline does
    VeeCase cut(15.0, 8.0);
    ASSERT_EQ(cut.st.trial.ISTA2, cut.NSLOT + 1) << "wet to the bow";
    EXPECT_NEAR(cut.voleff(1e4) / cut.st.trial.VOLCB, 1.0, 3e-4);
}

// A wet aft-end section starts every level's run on it: fast, the effective volume is the whole
// immersed body, transom included, upright and heeled.
TEST(EffectiveVolume, ImmersedTransomStartsTheRun) {
    const RoundHull hull;
    Bench b;
    ASSERT_EQ(prepareRoundHull(b, hull), 0) << b.console.str();
    const TrialHydrostatics& t = b.st->trial;
    for (double heel : {0.0, 25.0}) {
        setTrial(*b.st, 0.0, 0.0, heel);
        ASSERT_EQ(kraeng(b, hull.stations - 1), 0) << b.console.str();
        ASSERT_EQ(t.XAPHI, b.st->hull.XST[0]) << "the transom is wet";
        // the round body's waterplanes vanish like a square root at the deepest level, which the
        // spline through the 41 levels follows to about 1e-3
        EXPECT_NEAR(effectiveVolume(b, hull.stations - 1, 1e4) / t.VOLCB, 1.0, 1.5e-3) << heel;
    }
}

double clippedArea(const CaseState& st, int K, double ZW) {
    return clipSection(st.hull.YS[ix(K)], st.hull.ZS[ix(K)], ZW, st.point.TANPHI).area;
}
double cutTolerance(const CaseState& st, int K) {
    return 2.0 * areaInterpolationBound(st.hull.YS[ix(K)], st.hull.ZS[ix(K)]) + 1e-15;
}

// The round hull's stern: its sections put straight into the prepared arrays (slot 0 is a circle
// of radius 0.145 centred on ZS = 0, with vertical sides above +60 degrees up to ZS = -0.9), and a
// tapered rudder of span 1 meeting the hull between spans 0.8 and 0.9 from its tip.
struct RoundStern : ::testing::Test {
    Bench b;
    CaseState& st = *b.st;
    const FlowResults& f = st.flow;
    const TestPoint& p = st.point;

    RoundStern() {
        const RoundHull hull;
        const auto shape = [&](double x, int k) { return hull.point(x, k); };
        prepareDirect(st, hull.stations, hull.xAft(), hull.xFwd(), shape);
        st.input.RSPAN = 1.0;
        st.input.RCROOT = 0.4;
        st.input.RCTIP = 0.25;
        st.input.RTCRT = 0.12;
        st.input.RTCTP = 0.09;
        st.input.RSECTF = 0.7;
        st.upright.SH1 = 0.8;
        st.upright.SH2 = 0.9;
        st.upright.AR0 = 0.5 * (0.25 * 0.8 + chord(0.8) * 0.9);  // as the upright particulars form it
        st.upright.CR0 = 0.3;
    }
    static double chord(double h) { return 0.25 + 0.15 * h; }
    // The rudder immersed by the span s with a displacement thickness DELR; its effective area.
    double immerse(double s, double DELR = 0.0) {
        st.trial.RIMM = s;
        RUDIMM(st, 0.5, DELR, 0.0);
        return f.RAEFF;
    }
};

TEST_F(RoundStern, TransomWettedAreaIsTheSectionBelowTheRaisedLevel) {
    st.trial.VOLCB = 1.0;
    st.trial.AWLPHI = 4.0;  // the level rises by 1.6*FN*0.25
    st.trial.AHSPHI = 0.5;
    struct Row { double FN, SINKG, TRIMW, heel; };
    for (const Row r :
         {Row{0.0, 0.0, 0.0, 0.0}, Row{0.3, 0.0, 0.0, 20.0}, Row{0.3, 0.0, 0.0, -20.0}, Row{0.2, 0.02, 0.01, 10.0},
          Row{0.0, -1.5, 0.0, 0.0} /* above the top: all of it */, Row{0.0, 0.5, 0.0, 0.0} /* below the keel */,
          Row{0.0, 0.16, 0.0, 30.0} /* keel dry, low side cut */}) {
        setTrial(st, r.SINKG, r.TRIMW, r.heel);
        TRANSM(st, r.FN);
        const double Z0 = r.SINKG - r.TRIMW * st.hull.XST[0] / p.COSPHI - 1.6 * r.FN * 0.25;
        EXPECT_NEAR(f.ATRANS * 0.5, clippedArea(st, 0, Z0), cutTolerance(st, 0))
            << r.FN << " " << r.SINKG << " " << r.heel;
    }
}

// Emerged the rudder has no area. Free of the hull, up to SH1 inclusive, it is the trapezoid less
// the displacement thickness; its volume is the integral of the sections RSECTF*t*c^2, exact for a
// prism. Without boundary layer the geometry runs on continuously where the rudder meets the hull
// and where it is fully joined to it.
TEST_F(RoundStern, RudderThroughItsStagesOfImmersion) {
    immerse(0.5);
    immerse(-0.2, 0.01);
    EXPECT_TRUE(f.RAEFF == 0.0 && p.RASP == 1.0 && p.VRUDDT == 0.0 && p.RCWL == 0.0 && f.RGAP == 0.0);
    for (double s : {0.1, 0.8}) {
        const double cm = (0.25 + chord(s)) / 2.0;
        EXPECT_NEAR(immerse(s, 0.02), (s - 0.02) * cm, 1e-15) << s;
        EXPECT_NEAR(p.RASP, s / cm, 1e-13) << s;
        EXPECT_TRUE(p.RCWL == chord(s) && f.RHSPAN == s / 2.0 && f.RGAP == 0.0) << s;
    }
    for (double at : {0.8, 0.9}) {
        const double area = immerse(at), volume = p.VRUDDT, aspect = p.RASP;
        immerse(at + 1e-9);
        EXPECT_TRUE(std::fabs(f.RAEFF - area) < 1e-9 && std::fabs(p.VRUDDT - volume) < 1e-9) << at;
        EXPECT_NEAR(p.RASP, aspect, 1e-8) << at;
    }
    EXPECT_EQ(immerse(0.01, 0.02), 0.0) << "a span inside the displacement thickness has no effective area";
    // joined to the hull: the whole area less the root chord's displacement
    EXPECT_NEAR(immerse(0.95, 0.01), st.upright.AR0 - 0.3 * 0.01, 1e-15);
    EXPECT_DOUBLE_EQ(p.RCWL, chord(0.9)) << "the chord where the rudder joins the hull";
    st.input.RCROOT = st.input.RCTIP = 0.3;
    st.input.RTCRT = st.input.RTCTP = 0.1;
    immerse(0.6);
    EXPECT_NEAR(p.VRUDDT, 0.7 * 0.1 * 0.3 * 0.3 * 0.6, 1e-16) << "a prism of constant section";
}

// The hull section area above the rudder where the rudder leaves the stations: aft of every
// station the last pair is extrapolated; below the keels there is none.
TEST_F(RoundStern, RudderGapBeyondTheStations) {
    const auto& XST = st.hull.XST;
    struct Row { int IRUD; double xm, level; };
    for (const Row r : {Row{0, XST[0] - 0.1, 0.0}, Row{3, XST[3], 0.6}}) {
        setTrial(st, 0.0, 0.0, 0.0);
        st.upright.IRUD = r.IRUD;
        st.hull.XR0 = r.xm + 0.15;
        st.hull.XR1 = r.xm - 0.15;
        immerse(st.input.RSPAN - r.level);
        const int K2 = std::max(r.IRUD, 1), K1 = K2 - 1;
        const double exact =
            lineThrough(XST[ix(K1)], clippedArea(st, K1, r.level), XST[ix(K2)], clippedArea(st, K2, r.level), r.xm);
        EXPECT_NEAR(f.RGAP, std::max(exact, 0.0), 3.0 * cutTolerance(st, K2)) << r.IRUD << " " << r.level;
    }
}

}  // namespace
}  // namespace carinex
