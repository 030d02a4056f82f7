// The wave profile and the dynamic waterline.
#include <gtest/gtest.h>

#include <cmath>

#include "flow/dynamic_waterline_steps.h"
#include "flow/flow_support.h"
#include "flow/potential_flow.h"
#include "flow/streamline_length.h"
#include "flow/wave_profile.h"

namespace carinex {
namespace {

using flow::WaveLimits;
using test::heel::Bench;

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
    // 0.6 on the vertex lies at the crest; at every speed it runs from trough to crest
    struct Case {
        double FN;
        int vertex;  // 0 trough, 1 straight, 2 crest
    };
    for (const Case c : {Case{0.25, 0}, Case{0.3, 0}, Case{0.45, 1}, Case{0.6, 2}, Case{0.7, 2}, Case{0.38, -1}}) {
        auto st = makeCaseState();
        profileAt(*st, c.FN, 0.05);
        const FlowResults& f = st->flow;
        const auto z = [&](double x) { return f.WAVA * x * x + f.WAVB * x + f.WAVC; };
        ASSERT_GT(f.HCREST, 0.0) << c.FN;
        EXPECT_NEAR(z(f.XTROU), -f.HTROU, 1e-12) << c.FN;
        EXPECT_NEAR(z(f.XCREST), f.HCREST, 1e-12) << c.FN;
        if (c.vertex == 0) {
            EXPECT_NEAR(2.0 * f.WAVA * f.XTROU + f.WAVB, 0.0, 1e-12) << c.FN;
        } else if (c.vertex == 1) {
            EXPECT_NEAR(f.WAVA, 0.0, 1e-15) << c.FN;
        } else if (c.vertex == 2) {
            EXPECT_NEAR(2.0 * f.WAVA * f.XCREST + f.WAVB, 0.0, 1e-12) << c.FN;
        }
        // the stern line from the trough level at its start to the stern wave at the aft end
        EXPECT_NEAR(f.SLAFT * st->trial.XAPHI + f.ZAFT, f.HSTERN, 1e-12);
    }
}

TEST(WaveProfile, FrozenAboveFroude061ExceptForItsAmplitude) {
    auto a = makeCaseState(), b = makeCaseState(), c = makeCaseState();
    const WaveLimits wa = profileAt(*a, 0.65, 0.05), wb = profileAt(*b, 0.9, 0.05);
    profileAt(*c, 0.9, 0.1);
    const FlowResults &fa = a->flow, &fb = b->flow, &fc = c->flow;
    for (double x = -1.0; x <= 11.0; x += 0.25)
        EXPECT_EQ(flow::waveElevation(fa, wa, x), flow::waveElevation(fb, wb, x)) << x;
    // twice the velocity integral: heights by the power laws, the trough further aft
    EXPECT_NEAR(fc.HCREST / fb.HCREST, std::pow(2.0, 0.35), 1e-12);
    EXPECT_NEAR(fc.HTROU / fb.HTROU, std::pow(2.0, 1.38), 1e-12);
    EXPECT_NEAR(fc.HSTERN / fb.HSTERN, std::pow(2.0, 1.07), 1e-12);
    EXPECT_EQ(fc.XCREST, fb.XCREST);
    EXPECT_LT(fc.XTROU, fb.XTROU);
}

// Stations every 0.5 m, slots 0 ... 20, level water (no wave profile), a keel whose reference
// point rises through the surface at xBow and xStern, and the breadths of the end stations.
struct EndCase {
    CaseState& st;
    flow::dynwl::Dynwl d;
    EndCase(CaseState& s, double xBow, double xStern) : st(s), d{s, 20, WaveLimits{0.0, 0.0, 1e9}} {
        st.upright.LWL = 10.0;
        st.flow.XTROU = 1e9;  // the trough level (0) everywhere
        for (int K = 0; K <= 20; ++K) {
            const double x = 0.5 * K;
            st.hull.XST[K] = x;
            st.upright.ZREF[K] = 0.3 * std::min(xBow - x, x - xStern);
        }
    }
};

TEST(DynamicWaterline, EndStationCloseToAKinkedEndIsDropped) {
    // the bow end 0.02 m (0.002 LWL) forward of slot 15; breadths of slots 13, 14, 15
    struct Case {
        double B13, B14, B15;
        int ISTD2;
    };
    for (const Case c : {Case{1.5, 1.0, 0.5, 16}, Case{1.2, 1.0, 0.6, 16}, Case{1.2, 1.0, 0.9, 15}}) {
        auto st = makeCaseState();
        EndCase e(*st, 7.52, -1.0);
        st->flow.BSECD[13] = c.B13;
        st->flow.BSECD[14] = c.B14;
        st->flow.BSECD[15] = c.B15;
        st->flow.ASECD[15] = 0.1;
        st->flow.ISTD2 = 16;
        flow::dynwl::forwardEnd(e.d);
        EXPECT_NEAR(st->flow.XFDYN, 7.52, 1e-12);
        EXPECT_EQ(st->flow.ISTD2, c.ISTD2) << c.B15;
        if (c.ISTD2 == 15) {
            EXPECT_EQ(st->flow.ASECD[15], 0.0);
        }
    }
    // the mirror at the stern, upright: the aft end 0.02 m aft of slot 5; breadths of 5, 6, 7
    for (const Case c : {Case{0.5, 1.0, 1.5, 4}, Case{0.9, 1.0, 1.2, 5}}) {
        auto st = makeCaseState();
        EndCase e(*st, 100.0, 2.48);
        st->flow.BSECD[5] = c.B13;
        st->flow.BSECD[6] = c.B14;
        st->flow.BSECD[7] = c.B15;
        st->flow.ISTD1 = 4;
        flow::dynwl::aftEnd(e.d);
        EXPECT_NEAR(st->flow.XADYN, 2.48, 1e-12);
        EXPECT_EQ(st->flow.ISTD1, c.ISTD2) << c.B13;
    }
}

TEST(DynamicWaterline, BowWetToTheLastSlotEndsOneSpacingBeyond) {
    auto st = makeCaseState();
    EndCase e(*st, 12.0, -1.0);
    st->flow.ISTD2 = 21;
    flow::dynwl::forwardEnd(e.d);
    EXPECT_DOUBLE_EQ(st->flow.XFDYN, 10.5);
    EXPECT_EQ(st->flow.ISTD2, 21);
}

// The yacht hull at rest and in motion: the dynamic waterline against the static one.
struct Shift {
    double dx, dFwd, dAft;  // largest area change aft of the bow crest, shifts of the ends (of L)
};

Shift dynamicAgainstStatic(double VBOOT, double heel) {
    Bench b;
    const test::heel::YachtHull hull;
    EXPECT_EQ(test::heel::prepareYachtHull(b, hull), 0);
    CaseState& st = *b.st;
    const int NSLOT = hull.stations - 1;
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
    double dA = 0.0;
    for (int K = t.ISTA1 + 1; K < t.ISTA2 - 2; ++K) dA = std::max(dA, std::fabs(f.ASECD[K] - t.ASEC[K]) / t.AHSPHI);
    EXPECT_NEAR(f.SSTART, flow::streamlineLength(st).value(f.XFDYN - XTRIAL), 1e-12);
    return {dA, std::fabs(f.XFDYN - t.XFPHI) / t.LWLPHI, std::fabs(f.XADYN - t.XAPHI) / t.LWLPHI};
}

TEST(DynamicWaterline, TendsToTheStaticOneAsTheSpeedVanishes) {
    // At rest only the small bow crest of the profile remains. Upright both waterlines find their
    // ends by the keel's depth below the surface; heeled the static one takes the ends of the
    // section areas, so there only the sections are compared.
    for (double heel : {0.0, 20.0}) {
        const Shift slow = dynamicAgainstStatic(0.02, heel), fast = dynamicAgainstStatic(3.5, heel);
        EXPECT_LT(slow.dx, 1e-3) << heel;
        EXPECT_GT(fast.dx, 10.0 * slow.dx) << heel;
        if (heel != 0.0) continue;
        EXPECT_LT(slow.dFwd, 2e-3);
        EXPECT_LT(slow.dAft, 2e-3);
        EXPECT_GT(fast.dFwd + fast.dAft, 5.0 * (slow.dFwd + slow.dAft));
    }
}

}  // namespace
}  // namespace carinex
