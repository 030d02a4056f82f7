// Heeled hydrostatics (KRAENG) on hulls whose answers are known: a body of revolution whose
// immersed shape does not change with heel, and a yacht-like hull checked against an
// independent cut of its section polygons.
#include "hydrostatics/heeled.h"

#include <gtest/gtest.h>

#include <cmath>

#include "hydrostatics/heeled_support.h"

namespace carinex {
namespace {

using namespace test::heel;

constexpr int kSlots = 50;  // last slot of both test hulls

// Lowering the surface by dZ (SINKG grows downward) takes away a layer of the waterplane area
// times its normal thickness dZ*COSPHI: dVOLCB/dSINKG = -COSPHI*AWLPHI for the exact body.
// Two things of the model add to the central difference: its ends move with the waterline and
// stretch the area spline's end intervals, which adds at most the end-adjacent sections' areas
// times the ends' speeds; and each section's area, interpolated linearly in the cumulative
// half-areas, grows at a segment's mean half-breadth instead of the crossing's own (zero
// upright, where the crossings lie on the nearly vertical sides).
void expectVolumeSlope(Bench& b, double SINKG, double heel) {
    constexpr double h = 1e-4;
    TrialHydrostatics below, above;
    for (auto [dZ, to] : {std::pair{h, &below}, std::pair{-h, &above}, std::pair{0.0, &b.st->trial}}) {
        setTrial(*b.st, SINKG + dZ, 0.0, heel);
        ASSERT_EQ(kraeng(b, kSlots), 0);
        *to = b.st->trial;
    }
    const TrialHydrostatics& t = b.st->trial;
    ASSERT_EQ(below.ISTA1, above.ISTA1);
    ASSERT_EQ(below.ISTA2, above.ISTA2);
    const double slope = (below.VOLCB - above.VOLCB) / (2.0 * h);
    const double area = t.AWLPHI * b.st->point.COSPHI;
    const double speedF = std::fabs(below.XFPHI - above.XFPHI) / (2.0 * h);
    const double speedA = std::fabs(below.XAPHI - above.XAPHI) / (2.0 * h);
    const double ends = t.ASEC[ix(t.ISTA2 - 1)] * speedF + t.ASEC[ix(t.ISTA1 + 1)] * speedA;
    // the interpolation's slope error integrated along the wetted stations (trapezoid, with a
    // margin for the spline's weights)
    double interpolation = 0.0;
    const PreparedHull& hull = b.st->hull;
    for (int K = t.ISTA1 + 1; K < t.ISTA2; ++K) {
        const double dx = 0.5 * (hull.XST[ix(K + 1)] - hull.XST[ix(K - 1)]);
        interpolation += 1.5 * dx * areaSlopeBound(hull.YS[ix(K)], hull.ZS[ix(K)], SINKG, b.st->point.TANPHI);
    }
    EXPECT_NEAR(slope, -area, ends + interpolation + 1e-5 * area) << "heel " << heel;
    EXPECT_LT(ends + interpolation, 0.01 * area) << "the model's terms are a small correction";
}

// ---------------------------------------------------------------------------------------------
// Body of revolution

// The preparation runs once (the upright particulars of a hull with a wet transom take a
// while); every test starts from a copy of the prepared state.
const Bench& preparedRoundHull() {
    static const auto prepared = [] {
        auto b = std::make_unique<Bench>();
        EXPECT_EQ(prepareRoundHull(*b, RoundHull{}), 0);
        return b;
    }();
    return *prepared;
}

class HeeledRoundHull : public ::testing::Test {
protected:
    void SetUp() override {
        *b.st = *preparedRoundHull().st;
        // the design waterline passes through the centres of the sections
        ASSERT_NEAR(b.st->hull.ZS[15][75], 0.0, 1e-10);
    }
    Bench b;
    RoundHull hull;
};

// Upright every immersed section is the half polygon; heeling about the centres leaves it one,
// so areas, breadths and keel depths, and with them volume and waterplane area, stay as they
// were. Heeled, the crossings lie on chords, between R*cos(0.6 deg) and R from the centre, and
// the interpolation in SAREA at two crossings is short of the exact polygon area by at most
// dy*dz/8 each.
TEST_F(HeeledRoundHull, HeelLeavesTheImmersedBodyUnchanged) {
    const double sag = 1.0 - std::cos(RoundHull::kStep / 2.0);
    TrialHydrostatics upright;
    for (double heel : {0.0, 10.0, 20.0, 30.0}) {
        setTrial(*b.st, 0.0, 0.0, heel);
        ASSERT_EQ(kraeng(b, kSlots), 0) << heel;
        const TrialHydrostatics& t = b.st->trial;
        EXPECT_EQ(t.ISTA1, 0) << "the transom is wet";
        EXPECT_EQ(t.ISTA2, kSlots) << "the pointed bow station is dry";
        EXPECT_EQ(t.ASEC[kSlots], 0.0);
        double worstArea = 0.0, worstBreadth = 0.0;
        for (int K = 0; K < kSlots; ++K) {
            const double r = hull.R(b.st->raw.XOFF(K + 1));
            const double tolBreadth = heel == 0.0 ? 1e-12 : 2.0 * r * sag + 1e-12;
            const double tolArea =
                heel == 0.0 ? 1e-12 : 2.0 * areaInterpolationBound(b.st->hull.YS[ix(K)], b.st->hull.ZS[ix(K)]) + 1e-12;
            EXPECT_NEAR(t.BSEC[ix(K)], 2.0 * r, tolBreadth) << "slot " << K << " heel " << heel;
            EXPECT_NEAR(t.ASEC[ix(K)], hull.halfPolygonArea(r), tolArea) << "slot " << K << " heel " << heel;
            EXPECT_NEAR(t.KDW[ix(K)], r, tolBreadth / 2.0) << "slot " << K << " heel " << heel;
            worstArea = std::max(worstArea, tolArea);
            worstBreadth = std::max(worstBreadth, tolBreadth);
        }
        // The after-body, from the transom to the largest section, against the closed-form
        // curves integrated here (prepared x = offsets x - XMS): the splines through stations
        // 0.19 m apart integrate these smooth curves to about 1e-5, and the nodes differ from
        // them by the bounds above.
        const double XMS = b.st->raw.XOFF(1) - b.st->hull.XST[0], dx = (t.XMREF - t.XAPHI) / 1000.0;
        double volume = 0.0, waterplane = 0.0;
        for (int i = 0; i < 1000; ++i) {
            const double r = hull.R(t.XAPHI + (i + 0.5) * dx + XMS);
            volume += hull.halfPolygonArea(r) * dx;
            waterplane += 2.0 * r * dx;
        }
        EXPECT_NEAR(t.VCB2, volume, 1e-5 * volume + t.LWLPHI * worstArea) << heel;
        EXPECT_NEAR(t.AWL2, waterplane, 1e-5 * waterplane + t.LWLPHI * worstBreadth) << heel;
        if (heel == 0.0) {
            upright = t;
            continue;
        }
        // Same ends, nodes within those bounds: the integrals differ by no more than the
        // length times the largest node difference (with a margin for the spline's overshoot).
        EXPECT_EQ(t.XAPHI, upright.XAPHI) << "the transom";
        EXPECT_NEAR(t.XFPHI, upright.XFPHI, 1e-6) << "from the areas of the bow stations";
        EXPECT_NEAR(t.VOLCB, upright.VOLCB, 2.0 * t.LWLPHI * worstArea) << heel;
        EXPECT_NEAR(t.AWLPHI, upright.AWLPHI, 2.0 * t.LWLPHI * worstBreadth) << heel;
        EXPECT_NEAR(t.VOLCB, b.st->input.VOLUME, 2.0 * t.LWLPHI * worstArea) << heel;
    }
}

TEST_F(HeeledRoundHull, VolumeDerivativeIsTheWaterplaneArea) {
    for (double heel : {0.0, 20.0}) expectVolumeSlope(b, 0.01, heel);
}

// ---------------------------------------------------------------------------------------------
// Yacht-like hull

class HeeledYachtHull : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(prepareYachtHull(b, hull), 0);
        b.console.str("");  // the preparation's notes are not the cuts'
    }
    double ZW(int K) const {
        const TestPoint& p = b.st->point;
        return p.SINKG - p.TRIMW * b.st->hull.XST[ix(K)] / p.COSPHI;
    }
    Bench b;
    YachtHull hull;
};

// Every section cut by the surface, against the immersed part of the closed section outline
// (both sides and the deck) clipped by the surface in the test; upright the keel depth is the
// keel point's depth below the surface. The heel of 35 deg puts the low deck edge of the wide
// stations under water, so their girth takes in the deck out to the edge and their breadth runs
// along the surface to the deck; the narrow ends stay normal and the ends whose keel is out of
// the water are entered on the low side only.
TEST_F(HeeledYachtHull, CutsMatchTheClippedSectionOutlineWithTheDeckEdgeUnderWater) {
    for (auto [heel, trim] : {std::pair{0.0, 0.01}, std::pair{35.0, 0.0}}) {
        setTrial(*b.st, 0.02, trim, heel);
        ASSERT_EQ(kraeng(b, kSlots), 0);
        const TrialHydrostatics& t = b.st->trial;
        const double s = b.st->point.TANPHI;
        int deckEdge = 0, normal = 0, keelDry = 0;
        for (int K = 0; K <= kSlots; ++K) {
            const Section& YS = b.st->hull.YS[ix(K)];
            const Section& ZS = b.st->hull.ZS[ix(K)];
            const double z = ZW(K);
            ASSERT_GE(z, ZS[kTop]) << "the deck stays out of the water at the centre plane";
            if (ZS[0] <= z) {
                ++keelDry;
            } else {
                (heel > 0.0 && (z - ZS[kTop]) / s < YS[kTop] ? deckEdge : normal) += 1;
            }
            const Cut c = clipSection(YS, ZS, z, s);
            EXPECT_NEAR(t.ASEC[ix(K)], c.area, 2.0 * areaInterpolationBound(YS, ZS) + 1e-12) << "slot " << K;
            EXPECT_NEAR(t.BSEC[ix(K)], c.breadth, 1e-12) << "slot " << K;
            EXPECT_NEAR(t.GIRTH[ix(K)], c.girth, 1e-12) << "slot " << K;
            if (heel == 0.0 && K > t.ISTA1 && K < t.ISTA2) {
                EXPECT_NEAR(t.KDW[ix(K)], ZS[0] - z, 1e-15) << "slot " << K;
            }
        }
        EXPECT_GE(keelDry, 1) << heel;
        EXPECT_GE(normal, heel > 0.0 ? 2 : 20) << heel;
        EXPECT_GE(deckEdge, heel > 0.0 ? 5 : 0) << heel;
    }
}

// A heel to one side and the same heel to the other are mirror images: the same immersed body,
// the drift and asymmetry angles and the lateral terms of opposite sign.
TEST_F(HeeledYachtHull, MirrorHeelsGiveMirrorResults) {
    setTrial(*b.st, 0.02, 0.004, 25.0);
    ASSERT_EQ(kraeng(b, kSlots, 0.075), 0);
    const TrialHydrostatics port = b.st->trial;
    const double tliftPort = b.st->balance.TLIFT;
    setTrial(*b.st, 0.02, 0.004, -25.0);
    ASSERT_EQ(kraeng(b, kSlots, 0.075), 0);
    const TrialHydrostatics& stbd = b.st->trial;
    using T = TrialHydrostatics;
    for (double T::*m : {&T::VOLCB, &T::AWLPHI, &T::XCBPHI, &T::XFPHI, &T::XAPHI, &T::TCBPHI, &T::TLAT})
        EXPECT_DOUBLE_EQ(stbd.*m, port.*m);
    EXPECT_DOUBLE_EQ(b.st->balance.TLIFT, tliftPort);
    for (double T::*m : {&T::DRFPHI, &T::ASYM, &T::ATRIM}) {
        EXPECT_GT(std::fabs(port.*m), 1e-3);
        EXPECT_DOUBLE_EQ(stbd.*m, -(port.*m));
    }
    for (std::size_t K = 0; K <= kSlots; ++K) {
        for (SlotArray T::*a : {&T::ASEC, &T::BSEC, &T::GIRTH, &T::KDW})
            EXPECT_DOUBLE_EQ((stbd.*a)[K], (port.*a)[K]) << K;
        EXPECT_DOUBLE_EQ(stbd.QLAT[K], -port.QLAT[K]) << K;
    }
}

// Where the surface ZS = ZW - m*y leaves one side of the section going up from the keel (m = s
// on the low side, -s on the high side), by a scan of the points: the first point above it,
// interpolated on the segment below; a side wholly under the surface gives its top point.
double leavingY(const Section& YS, const Section& ZS, double ZW, double m) {
    auto below = [&](std::size_t k) { return ZS[k] - (ZW - m * YS[k]); };
    for (std::size_t k = 1; k <= kTop; ++k) {
        if (below(k) <= 0.0) {
            const double f = below(k - 1) / (below(k - 1) - below(k));
            return YS[k - 1] + f * (YS[k] - YS[k - 1]);
        }
    }
    return YS[kTop];
}

// The drift of the waterline's centre at the largest section comes from the hull's crossings
// with the surface, also where the low deck edge is under water (from 30 deg on at the widest
// stations): the deck crossing is not one of them. Sunk below the deck, the section's crossings
// are its top points on both sides and the centre lies on the centre plane.
TEST_F(HeeledYachtHull, DriftFollowsTheHullCrossingsOfTheLargestSection) {
    struct Case {
        double SINKG, TRIMW, heel;
    };
    for (auto [SINKG, TRIMW, heel] : {Case{0.02, 0.0, 25.0}, Case{0.02, 0.0, 30.0}, Case{0.02, 0.0, 35.0},
                                      Case{0.02, 0.0, 40.0}, Case{0.02, 0.004, 35.0}, Case{0.02, 0.004, -35.0},
                                      Case{-1.5, 0.003, 10.0}}) {
        setTrial(*b.st, SINKG, TRIMW, heel);
        ASSERT_EQ(kraeng(b, kSlots), 0) << heel;
        const TrialHydrostatics& t = b.st->trial;
        const TestPoint& p = b.st->point;
        const int K = t.IAMAX;
        const Section& YS = b.st->hull.YS[ix(K)];
        const Section& ZS = b.st->hull.ZS[ix(K)];
        const double s = std::fabs(p.TANPHI), side = heel < 0.0 ? -1.0 : 1.0;
        const double centre = side * (leavingY(YS, ZS, ZW(K), s) - leavingY(YS, ZS, ZW(K), -s)) / 2.0;
        const double fore = t.XFPHI - t.XMREF;
        const double expected = (centre / p.COSPHI - TRIMW * p.SINPHI * fore) / fore;
        EXPECT_NEAR(t.DRFPHI, expected, 1e-12) << "SINKG " << SINKG << " heel " << heel;
        if (SINKG < 0.0) {
            EXPECT_NEAR(centre, 0.0, 1e-15) << "submerged: both top points";
        }
    }
}

// The same as on the body of revolution, with ends that rise out of the water.
TEST_F(HeeledYachtHull, VolumeDerivativeIsTheWaterplaneArea) {
    for (double heel : {0.0, 20.0}) expectVolumeSlope(b, 0.02, heel);
}

// The rest call floats the hull on its design waterline: the ends and the largest section are
// those of the hull preparation, and the volume is the prescribed one.
TEST_F(HeeledYachtHull, RestCallReproducesTheDesignWaterline) {
    setTrial(*b.st, 0.0, 0.0, 0.0);
    ASSERT_EQ(kraeng(b, kSlots, 0.0, true), 0);
    const TrialHydrostatics& t = b.st->trial;
    const PreparedHull& h = b.st->hull;
    EXPECT_EQ(t.XFPHI, h.XFKEEL);
    EXPECT_EQ(t.XAPHI, h.XAKEEL);
    EXPECT_EQ(t.AHSPHI, h.AMAX);
    EXPECT_EQ(t.BWLPHI, b.st->upright.BWL);
    EXPECT_EQ(t.TCBPHI, b.st->upright.TC);
    EXPECT_EQ(t.IAMAX, h.KAMAX);
    EXPECT_EQ(t.XMREF, 0.0);
    EXPECT_EQ(t.ATRIM, 0.0);
    EXPECT_NEAR(t.VOLCB, b.st->input.VOLUME, 1e-9 * b.st->input.VOLUME);
    EXPECT_NEAR(t.LWLPHI, b.st->upright.LWL, 1e-12);
    // upright at rest the deepest keel point is TMAX below the surface
    EXPECT_NEAR(b.st->balance.TLIFT, b.st->upright.TMAX, 1e-12);
    EXPECT_NEAR(t.TMXPHI, b.st->upright.TMAX, 1e-3 * b.st->upright.TMAX);
}

// A trim so steep that the wetted run does not reach slot 20 from one side or the other.
TEST_F(HeeledYachtHull, TrimThatMissesSlot20TakesTheDefaultPath) {
    const PreparedHull& h = b.st->hull;
    constexpr double trim = 0.3;
    // stern up: the surface meets the keel just forward of slot 21
    setTrial(*b.st, trim * h.XST[21] + h.ZS[21][0] + 0.01, trim, 0.0);
    expectDefaultPath(b, kSlots);
    EXPECT_GT(b.st->trial.ISTA1, 20);
    // bow up: the run ends aft of slot 20
    setTrial(*b.st, -trim * h.XST[19] + h.ZS[19][0] + 0.05, -trim, 10.0);
    expectDefaultPath(b, kSlots);
    EXPECT_LT(b.st->trial.ISTA2, 20);
    EXPECT_EQ(b.console.str(), "") << "messages only with DIAG";
    b.st->run.DIAG = true;
    expectDefaultPath(b, kSlots);
    EXPECT_EQ(b.console.str(), " FEHLER KRAENG alle Werte = DEFAULT\n");
}

// With the appendages on: the hull section at the keel for the lifting line, no lateral term of
// the bare hull, and the immersed rudder and keel.
TEST_F(HeeledYachtHull, AppendageImmersion) {
    CaseState& st = *b.st;
    st.hull.XK0 = 0.6;
    st.hull.XK1 = -0.4;
    st.hull.XR0 = -3.0;
    st.hull.XR1 = -3.3;
    st.input.RSPAN = 0.8;
    st.input.RCROOT = st.input.RCTIP = 0.3;  // a rectangular rudder
    st.input.RTCRT = st.input.RTCTP = 0.12;
    st.input.RSECTF = 0.7;
    st.input.KCHORD(1) = 1.0;
    st.input.KTHICK(1) = 0.1;
    st.upright.SH1 = 0.9;  // the rudder meets the hull above its immersed span
    st.upright.SH2 = 1.0;
    st.upright.TMAXK = 1.9;
    st.upright.KSPANR = 1.4;
    st.upright.KZTRAIL = 0.01;
    st.upright.KSLOT = 14;
    setTrial(st, 0.02, 0.004, 20.0, true);
    ASSERT_EQ(kraeng(b, kSlots), 0);
    const TrialHydrostatics& t = st.trial;
    const TestPoint& p = st.point;

    for (std::size_t K = 0; K <= kSlots; ++K) EXPECT_EQ(t.QLAT[K], 0.0);
    EXPECT_EQ(t.ATRIM, 0.0);

    const int K = st.upright.KSLOT;
    EXPECT_EQ(t.KRA, t.ASEC[ix(K)]);
    EXPECT_EQ(t.KRZK, st.hull.ZS[ix(K)][0]);
    EXPECT_LT(t.KRY1, 0.0);
    EXPECT_GT(t.KRY2, 0.0);
    EXPECT_NEAR(t.KRZ2, t.KRZ1 - (t.KRY2 - t.KRY1) * p.TANPHI, 1e-12) << "both ends on the surface";
    EXPECT_NEAR(t.KRY2 - t.KRY1, t.BSEC[ix(K)] * p.COSPHI, 1e-12);
    EXPECT_NEAR(p.SINPHI * t.KRYD + (t.KRZD - ZW(K)) * p.COSPHI, t.KDW[ix(K)], 1e-12) << "the deepest point";

    // the surface's depth at the keel's mid-root, x = 0.1, and the rudder's, x = -3.15
    const double keelMid = 0.1;
    EXPECT_NEAR(t.ZWKEEL, 0.02 - 0.004 * keelMid / p.COSPHI, 1e-15);
    const double immersed = 0.8 - 0.02 + 0.004 * (-3.15) / p.COSPHI;
    EXPECT_NEAR(t.RIMM, immersed, 1e-15);
    EXPECT_NEAR(t.RWAKE, immersed, 1e-15) << "the keel's downwash covers the whole rudder";
    EXPECT_NEAR(p.RCWL, 0.3, 1e-15);
    // below the hull a rectangular rudder is a prism: span * RSECTF * t/c * chord^2
    EXPECT_NEAR(p.VRUDDT, immersed * 0.7 * 0.12 * 0.3 * 0.3, 1e-15);
    const double rootDepth = 0.01 - 0.02 + 0.004 * (-0.4) / p.COSPHI;
    ASSERT_LT(rootDepth, 0.0);
    EXPECT_NEAR(t.KSPAN, 1.4 + rootDepth, 1e-15) << "the root trailing edge is out of the water";
    EXPECT_NEAR(t.TKROOT, st.upright.TMAX - 0.02 + 0.004 * keelMid / p.COSPHI, 1e-15);
    EXPECT_NEAR(t.RIMMC, immersed - 0.95, 1e-15);
}

// The centres lie inside the waterline (the split at the largest section is checked on the V
// hull of heeled_form_test.cpp). TLAT and
// BRTLAM belong to the laminar run: without one they keep their values. At a transition that
// falls on a station the curves through the bow stations give that station's keel depth and
// breadth; at the bow end both vanish.
TEST_F(HeeledYachtHull, FormRatiosAndTransitionQuantities) {
    b.st->input.XLEVER = 2.0;
    setTrial(*b.st, 0.02, 0.003, 20.0);
    TrialHydrostatics& t = b.st->trial;
    t.TLAT = 123.0;
    t.BRTLAM = 456.0;
    ASSERT_EQ(kraeng(b, kSlots), 0);
    EXPECT_EQ(t.TLAT, 123.0);
    EXPECT_EQ(t.BRTLAM, 456.0);
    EXPECT_NEAR(b.st->balance.ZDRAG2, 0.02 - 0.003 * 2.0 / b.st->point.COSPHI, 1e-15);
    for (double x : {t.XCBPHI, t.XTRIM, t.XMREF}) {
        EXPECT_GT(x, t.XAPHI);
        EXPECT_LT(x, t.XFPHI);
    }
    EXPECT_GE(t.AHSPHI, t.ASEC[ix(t.IAMAX)] - 1e-12) << "the spline's maximum is not below the station's";
    // the keel line's maximum is the largest keel depth below the surface
    const double deepest = *std::max_element(t.KDW.begin(), t.KDW.begin() + t.ISTA2);
    EXPECT_GE(t.TMXPHI, deepest - 1e-12);
    EXPECT_LT(t.TMXPHI, deepest * 1.01);
    EXPECT_NEAR(b.st->balance.TLIFT, *std::max_element(t.KDW.begin(), t.KDW.end()), 1e-12);

    const int K = t.ISTA2 - 3;
    ASSERT_EQ(kraeng(b, kSlots, t.XFPHI - b.st->hull.XST[ix(K)]), 0);
    EXPECT_NEAR(t.TLAT, t.KDW[ix(K)], 1e-12);
    EXPECT_NEAR(t.BRTLAM, t.BSEC[ix(K)], 1e-12);
    ASSERT_EQ(kraeng(b, kSlots, 1e-300), 0);
    EXPECT_NEAR(t.TLAT, 0.0, 1e-12);
    EXPECT_NEAR(t.BRTLAM, 0.0, 1e-12);
}

// Upright and slightly sunk the aftmost station is dry: the stern overhangs the waterline and
// the keel line rises out of the water behind its aft end.
TEST_F(HeeledYachtHull, OverhangAndRocker) {
    setTrial(*b.st, 0.02, 0.0, 0.0);
    ASSERT_EQ(kraeng(b, kSlots), 0);
    const TrialHydrostatics& t = b.st->trial;
    const SlotArray& XST = b.st->hull.XST;
    EXPECT_EQ(t.ASEC[0], 0.0);
    EXPECT_NEAR(t.OVRHNG, t.XAPHI - XST[0], 1e-15);
    EXPECT_GT(t.OVRHNG, 0.5);
    // upright KDW is the keel depth below the surface: the rocker is the keel line's mean slope
    // over the tenth of the waterline behind the aft end, where it is 0
    const double xr = std::max(t.XAPHI - 0.1 * t.LWLPHI, XST[0]);
    ASSERT_GT(t.XAPHI - xr, 0.1);
    const double x0 = b.st->raw.XOFF(1);                             // slot 0 as drawn
    const double shift = -b.st->hull.ZS[0][0] - (hull.zc - hull.D(x0));  // the preparation's shift of heights
    const double depth = -(hull.zc - hull.D(x0 + (xr - XST[0]))) - shift - 0.02;  // below the surface ZS = 0.02
    EXPECT_NEAR(t.TCLTOH, -depth / (t.XAPHI - xr), 2e-3 * t.TCLTOH);
    EXPECT_GT(t.TCLTOH, 0.0);
}

}  // namespace
}  // namespace carinex
