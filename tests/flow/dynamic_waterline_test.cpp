// The wave profile along the hull and the dynamic waterline: the parabola from trough to crest,
// the profile frozen at high speed, the ends of the dynamic run, and its limit at rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "flow/dynamic_waterline_steps.h"
#include "flow/flow_support.h"
#include "flow/streamline_length.h"
#include "flow/wave_profile.h"

namespace carinex {
namespace {

using flow::WaveLimits;

// A heeled waterline from x = 0 to 10 and the wave profile at FN for the velocity integral PABS.
WaveLimits profileAt(CaseState& st, double FN, double PABS) {
    st.trial.XAPHI = 0.0;
    st.trial.XFPHI = 10.0;
    st.trial.LWLPHI = 10.0;
    st.balance.FN = FN;
    return flow::waveProfile(st, PABS);
}

TEST(WaveProfile, ParabolaJoinsTroughAndCrest) {
    // at FN <= 0.3 the vertex lies at the trough, at 0.45 the parabola is the straight line, from
    // 0.6 on the vertex lies at the crest; at every speed it runs from trough to crest, and the
    // stern line from the trough level to the stern wave at the aft end
    struct Case { double FN; int vertex; };  // vertex: 0 trough, 1 straight, 2 crest, -1 between
    for (const Case c : {Case{0.25, 0}, Case{0.3, 0}, Case{0.45, 1}, Case{0.6, 2}, Case{0.7, 2}, Case{0.38, -1}}) {
        auto st = makeCaseState();
        profileAt(*st, c.FN, 0.05);
        const FlowResults& f = st->flow;
        const auto z = [&](double x) { return f.WAVA * x * x + f.WAVB * x + f.WAVC; };
        ASSERT_GT(f.HCREST, 0.0) << c.FN;
        EXPECT_NEAR(z(f.XTROU), -f.HTROU, 1e-12) << c.FN;
        EXPECT_NEAR(z(f.XCREST), f.HCREST, 1e-12) << c.FN;
        const double vertexSlope = c.vertex == 0   ? 2.0 * f.WAVA * f.XTROU + f.WAVB
                                   : c.vertex == 2 ? 2.0 * f.WAVA * f.XCREST + f.WAVB
                                   : c.vertex == 1 ? f.WAVA
                                                   : 0.0;
        EXPECT_NEAR(vertexSlope, 0.0, c.vertex == 1 ? 1e-15 : 1e-12) << c.FN;
        EXPECT_NEAR(f.SLAFT * st->trial.XAPHI + f.ZAFT, f.HSTERN, 1e-12) << c.FN;
    }
}

TEST(WaveProfile, FrozenAboveFroude061ExceptForItsAmplitude) {
    auto a = makeCaseState(), b = makeCaseState(), c = makeCaseState();
    const WaveLimits wa = profileAt(*a, 0.65, 0.05), wb = profileAt(*b, 0.9, 0.05);
    profileAt(*c, 0.9, 0.1);
    for (double x = -1.0; x <= 11.0; x += 0.25)
        EXPECT_EQ(flow::waveElevation(a->flow, wa, x), flow::waveElevation(b->flow, wb, x)) << x;
    // twice the velocity integral: heights by the power laws, the trough further aft
    const FlowResults &fb = b->flow, &fc = c->flow;
    EXPECT_NEAR(fc.HCREST / fb.HCREST, std::pow(2.0, 0.35), 1e-12);
    EXPECT_NEAR(fc.HTROU / fb.HTROU, std::pow(2.0, 1.38), 1e-12);
    EXPECT_NEAR(fc.HSTERN / fb.HSTERN, std::pow(2.0, 1.07), 1e-12);
    EXPECT_EQ(fc.XCREST, fb.XCREST);
    EXPECT_LT(fc.XTROU, fb.XTROU);
}

// Stations every 0.5 m in slots 0 ... 20, level water, a keel whose reference point rises
// through the surface at the end xEnd; the breadths B of three slots next to it (13 ... 15 at the
// bow, 5 ... 7 at the stern). An end station close to a kinked end is dropped; a bow wet to the
// last slot ends one spacing beyond it.
TEST(DynamicWaterline, EndsAndTheEndStations) {
    struct Case { bool bow; double xEnd, B[3]; int ISTD, expectedISTD; double expectedEnd; };
    for (const Case c : {Case{true, 7.52, {1.5, 1.0, 0.5}, 16, 16, 7.52}, Case{true, 7.52, {1.2, 1.0, 0.6}, 16, 16, 7.52},
                         Case{true, 7.52, {1.2, 1.0, 0.9}, 16, 15, 7.52}, Case{true, 12.0, {0, 0, 0}, 21, 21, 10.5},
                         Case{false, 2.48, {0.5, 1.0, 1.5}, 4, 4, 2.48}, Case{false, 2.48, {0.9, 1.0, 1.2}, 4, 5, 2.48}}) {
        auto st = makeCaseState();
        FlowResults& f = st->flow;
        flow::dynwl::Dynwl d{*st, 20, WaveLimits{0.0, 0.0, 1e9}};
        st->upright.LWL = 10.0;
        f.XTROU = 1e9;  // the trough level (0) everywhere
        const double xBow = c.bow ? c.xEnd : 100.0, xStern = c.bow ? -1.0 : c.xEnd;
        for (int K = 0; K <= 20; ++K) {
            st->hull.XST[K] = 0.5 * K;
            st->upright.ZREF[K] = 0.3 * std::min(xBow - 0.5 * K, 0.5 * K - xStern);
        }
        for (int i = 0; i < 3; ++i) f.BSECD[(c.bow ? 13 : 5) + i] = c.B[i];
        f.ASECD[15] = 0.1;
        (c.bow ? f.ISTD2 : f.ISTD1) = c.ISTD;
        if (c.bow) {
            flow::dynwl::forwardEnd(d);
        } else {
            flow::dynwl::aftEnd(d);
        }
        EXPECT_NEAR(c.bow ? f.XFDYN : f.XADYN, c.expectedEnd, 1e-12) << c.bow << " " << c.B[0];
        EXPECT_EQ(c.bow ? f.ISTD2 : f.ISTD1, c.expectedISTD) << c.bow << " " << c.B[0];
        EXPECT_EQ(f.ASECD[15], c.bow && c.expectedISTD == 15 ? 0.0 : 0.1) << "the dropped station's area";
    }
}

// The yacht hull in motion: largest section-area change against the static waterline (aft of
// the bow crest, of the largest section) and the shifts of the ends (of the length).
struct Shift {
    double dA, dFwd, dAft;
};

Shift dynamicAgainstStatic(double VBOOT, double heel) {
    test::heel::Bench b;
    EXPECT_EQ(test::heel::prepareYachtHull(b, test::heel::YachtHull{}), 0);
    CaseState& st = *b.st;
    const int NSLOT = test::heel::YachtHull{}.stations - 1;
    test::heel::setTrial(st, 0.0, 0.0, heel);
    const double XTRIAL = 0.0075 * st.upright.LWL;
    EXPECT_EQ(test::heel::kraeng(b, NSLOT, XTRIAL), 0);
    test::flow::setSpeed(st, VBOOT);
    const TrialHydrostatics& t = st.trial;
    double PSQ = 0.0;
    int IERR = 0;
    WPOTI(st, b.io, st.point.VNU, st.flow.DTRANS, XTRIAL, PSQ, t.ISTA2 - t.ISTA1 + 1, NSLOT, IERR);
    EXPECT_EQ(IERR, 0);
    const FlowResults& f = st.flow;
    EXPECT_NEAR(f.SSTART, flow::streamlineLength(st).value(f.XFDYN - XTRIAL), 1e-12);
    double dA = 0.0;
    for (int K = t.ISTA1 + 1; K < t.ISTA2 - 2; ++K) dA = std::max(dA, std::fabs(f.ASECD[K] - t.ASEC[K]) / t.AHSPHI);
    return {dA, std::fabs(f.XFDYN - t.XFPHI) / t.LWLPHI, std::fabs(f.XADYN - t.XAPHI) / t.LWLPHI};
}

TEST(DynamicWaterline, TendsToTheStaticOneAsTheSpeedVanishes) {
    // At rest only the small bow crest of the profile remains. Upright both waterlines find their
    // ends by the keel's depth below the surface; heeled the static one takes the ends of the
    // section areas, so there only the sections are compared.
    for (double heel : {0.0, 20.0}) {
        const Shift slow = dynamicAgainstStatic(0.02, heel), fast = dynamicAgainstStatic(3.5, heel);
        EXPECT_LT(slow.dA, 1e-3) << heel;
        EXPECT_GT(fast.dA, 10.0 * slow.dA) << heel;
        if (heel != 0.0) continue;
        EXPECT_LT(slow.dFwd, 2e-3);
        EXPECT_LT(slow.dAft, 2e-3);
        EXPECT_GT(fast.dFwd + fast.dAft, 5.0 * (slow.dFwd + slow.dAft));
    }
}

}  // namespace
}  // namespace carinex
