// Heeled hydrostatics (KRAENG) on hulls whose answers are known: a body of revolution whose
// immersed shape does not change with heel, and a yacht-like hull checked against an
// independent cut of its section polygons.
#include "hydrostatics/heeled.h"

#include <gtest/gtest.h>

#include <cmath>

#include "hydrostatics/heeled_support.h"
#include "platform/fixed_format.h"

namespace carinex {
namespace {

using namespace test;
using namespace test::heel;

constexpr int kRoundSlots = 50;  // last slots of the test hulls
constexpr int kYachtSlots = 50;

double chordSag() { return 1.0 - std::cos(RoundHull::kStep / 2.0); }  // 1 - cos(0.6 deg)

// ---------------------------------------------------------------------------------------------
// Body of revolution

class HeeledRoundHull : public ::testing::Test {
protected:
    // The preparation runs once for the suite (the upright particulars of a hull with a wet
    // transom take a while); every test starts from a copy of the prepared state.
    static void SetUpTestSuite() {
        prepared = new Bench;
        status = prepareRoundHull(*prepared, RoundHull{});
    }
    static void TearDownTestSuite() {
        delete prepared;
        prepared = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(status, 0);
        *b.st = *prepared->st;
        // the design waterline passes through the centres of the sections
        ASSERT_NEAR(b.st->hull.ZS[15][75], 0.0, 1e-10);
    }
    // Radius of slot K, from the station's position as read.
    double R(int K) const { return hull.R(b.st->raw.XOFF(K + 1)); }

    static inline Bench* prepared = nullptr;
    static inline int status = -1;
    Bench b;
    RoundHull hull;
};

TEST_F(HeeledRoundHull, UprightSectionsAreTheHalfPolygons) {
    setTrial(*b.st, 0.0, 0.0, 0.0);
    ASSERT_EQ(kraeng(b, kRoundSlots), 0);
    const TrialHydrostatics& t = b.st->trial;
    EXPECT_EQ(t.ISTA1, 0) << "the transom is wet";
    EXPECT_EQ(t.ISTA2, kRoundSlots) << "the pointed bow station is dry";
    for (int K = 0; K < kRoundSlots; ++K) {
        const double r = R(K);
        EXPECT_NEAR(t.BSEC[ix(K)], 2.0 * r, 1e-12) << "slot " << K;
        EXPECT_NEAR(t.ASEC[ix(K)], hull.halfPolygonArea(r), 1e-12) << "slot " << K;
        EXPECT_NEAR(t.KDW[ix(K)], r, 1e-12) << "slot " << K;
    }
    EXPECT_EQ(t.ASEC[kRoundSlots], 0.0);
}

// Heeling about the centres leaves every immersed section a half polygon: areas, breadths and
// keel depths, and with them volume and waterplane area, stay what they were upright.
TEST_F(HeeledRoundHull, HeelLeavesTheImmersedBodyUnchanged) {
    setTrial(*b.st, 0.0, 0.0, 0.0);
    ASSERT_EQ(kraeng(b, kRoundSlots), 0);
    const TrialHydrostatics upright = b.st->trial;
    for (double heel : {10.0, 20.0, 30.0}) {
        setTrial(*b.st, 0.0, 0.0, heel);
        ASSERT_EQ(kraeng(b, kRoundSlots), 0) << heel;
        const TrialHydrostatics& t = b.st->trial;
        EXPECT_EQ(t.ISTA1, upright.ISTA1);
        EXPECT_EQ(t.ISTA2, upright.ISTA2);
        double worstArea = 0.0, worstBreadth = 0.0;
        for (int K = 0; K < kRoundSlots; ++K) {
            const double r = R(K);
            // the crossings lie on chords: between R*cos(0.6 deg) and R from the centre
            const double tolBreadth = 2.0 * r * chordSag() + 1e-12;
            // the polygon's immersed area is exact; its interpolation in SAREA at two crossings
            // is short of the trapezoid by at most dy*dz/8 each
            const double tolArea = 2.0 * areaInterpolationBound(b.st->hull.YS[ix(K)], b.st->hull.ZS[ix(K)]) + 1e-12;
            EXPECT_NEAR(t.BSEC[ix(K)], upright.BSEC[ix(K)], tolBreadth) << "slot " << K << " heel " << heel;
            EXPECT_NEAR(t.ASEC[ix(K)], upright.ASEC[ix(K)], tolArea) << "slot " << K << " heel " << heel;
            EXPECT_NEAR(t.KDW[ix(K)], upright.KDW[ix(K)], r * chordSag() + 1e-12) << "slot " << K;
            worstArea = std::max(worstArea, tolArea);
            worstBreadth = std::max(worstBreadth, tolBreadth);
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

// Lowering the surface by dZ (SINKG grows downward) takes away a layer of the waterplane area
// times its normal thickness dZ*COSPHI: dVOLCB/dSINKG = -COSPHI*AWLPHI for the exact body.
// Two things of the model add to the central difference: its ends move with the waterline and
// stretch the area spline's end intervals, which adds at most the end-adjacent sections' areas
// times the ends' speeds; and each section's area, interpolated linearly in the cumulative
// half-areas, grows at a segment's mean half-breadth instead of the crossing's own (zero
// upright, where the crossings lie on the nearly vertical sides).
void expectVolumeSlope(Bench& b, int NSLOT, double SINKG, double heel) {
    constexpr double h = 1e-4;
    setTrial(*b.st, SINKG + h, 0.0, heel);
    ASSERT_EQ(kraeng(b, NSLOT), 0);
    const TrialHydrostatics below = b.st->trial;
    setTrial(*b.st, SINKG - h, 0.0, heel);
    ASSERT_EQ(kraeng(b, NSLOT), 0);
    const TrialHydrostatics above = b.st->trial;
    setTrial(*b.st, SINKG, 0.0, heel);
    ASSERT_EQ(kraeng(b, NSLOT), 0);
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
        const double ZW = SINKG;  // no trim
        const double dx = 0.5 * (hull.XST[ix(K + 1)] - hull.XST[ix(K - 1)]);
        interpolation += 1.5 * dx * areaSlopeBound(hull.YS[ix(K)], hull.ZS[ix(K)], ZW, b.st->point.TANPHI);
    }
    EXPECT_NEAR(slope, -area, ends + interpolation + 1e-5 * area) << "heel " << heel;
    EXPECT_LT(ends + interpolation, 0.01 * area) << "the model's terms are a small correction";
}

TEST_F(HeeledRoundHull, VolumeDerivativeIsTheWaterplaneArea) {
    for (double heel : {0.0, 20.0}) expectVolumeSlope(b, kRoundSlots, 0.01, heel);
}

// ---------------------------------------------------------------------------------------------
// Yacht-like hull

class HeeledYachtHull : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(prepareYachtHull(b, hull), 0); }
    double ZW(int K) const {
        const TestPoint& p = b.st->point;
        return p.SINKG - p.TRIMW * b.st->hull.XST[ix(K)] / p.COSPHI;
    }
    Bench b;
    YachtHull hull;
};

// Upright the cut is the level line: twice the half-breadth at the crossing and twice the
// half-area below it, the crossing found here by a scan up the section.
TEST_F(HeeledYachtHull, UprightCutsAreTwiceTheHalfSection) {
    setTrial(*b.st, 0.03, 0.01, 0.0);
    ASSERT_EQ(kraeng(b, kYachtSlots), 0);
    const TrialHydrostatics& t = b.st->trial;
    int wet = 0;
    for (int K = 0; K <= kYachtSlots; ++K) {
        const Section& YS = b.st->hull.YS[ix(K)];
        const Section& ZS = b.st->hull.ZS[ix(K)];
        const Section& SA = b.st->hull.SAREA[ix(K)];
        const double z = ZW(K);
        if (!(ZS[0] > z)) continue;  // keel dry
        std::size_t k = 0;
        while (ZS[k + 1] > z) ++k;
        const double f = (ZS[k] - z) / (ZS[k] - ZS[k + 1]);
        const double y = YS[k] + f * (YS[k + 1] - YS[k]);
        const double area = SA[k] + f * (SA[k + 1] - SA[k]);
        if (K > t.ISTA1 && K < t.ISTA2) {
            ++wet;
            EXPECT_NEAR(t.BSEC[ix(K)], 2.0 * y, 1e-12) << "slot " << K;
            EXPECT_NEAR(t.ASEC[ix(K)], 2.0 * area, 1e-12) << "slot " << K;
            EXPECT_NEAR(t.KDW[ix(K)], ZS[0] - z, 1e-15) << "slot " << K;
        }
    }
    EXPECT_GT(wet, 20);
}

// Every section cut by the heeled surface, against the immersed part of the closed section
// outline (both sides and the deck) clipped by the surface in the test. The heel of 35 deg puts
// the low deck edge of the wide stations under water, while the narrow ends stay normal and the
// ends whose keel is out of the water are entered on the low side only.
TEST_F(HeeledYachtHull, HeeledCutsMatchTheClippedSectionOutline) {
    setTrial(*b.st, 0.02, 0.0, 35.0);
    ASSERT_EQ(kraeng(b, kYachtSlots), 0);
    const TrialHydrostatics& t = b.st->trial;
    const double s = b.st->point.TANPHI;
    int deckEdge = 0, normal = 0, keelDry = 0;
    for (int K = 0; K <= kYachtSlots; ++K) {
        const Section& YS = b.st->hull.YS[ix(K)];
        const Section& ZS = b.st->hull.ZS[ix(K)];
        const double z = ZW(K), Zt = ZS[kTop], Yt = YS[kTop];
        const double yd = (z - Zt) / s;
        ASSERT_GE(z, Zt) << "the deck stays out of the water at the centre plane";
        if (ZS[0] <= z) {
            ++keelDry;
        } else if (yd < Yt) {
            ++deckEdge;
        } else {
            ++normal;
        }
        const Cut c = clipSection(YS, ZS, z, s);
        const double tolArea = 2.0 * areaInterpolationBound(YS, ZS) + 1e-12;
        EXPECT_NEAR(t.ASEC[ix(K)], c.area, tolArea) << "slot " << K;
        EXPECT_NEAR(t.BSEC[ix(K)], c.breadth, 1e-12) << "slot " << K;
        EXPECT_NEAR(t.GIRTH[ix(K)], c.girth, 1e-12) << "slot " << K;
    }
    EXPECT_GE(deckEdge, 5) << normal << " normal, " << keelDry << " keel dry";
    EXPECT_GE(normal, 2) << deckEdge << " deck edge";
    EXPECT_GE(keelDry, 1);
}

// A station with its low deck edge under water: its girth takes in the deck from the surface's
// crossing yd out to the edge, its breadth runs along the surface to yd, and its area is the
// whole low half less the triangle of deck above the surface.
TEST_F(HeeledYachtHull, DeckEdgeStationTakesTheDeckIntoTheGirth) {
    setTrial(*b.st, 0.02, 0.0, 35.0);
    ASSERT_EQ(kraeng(b, kYachtSlots), 0);
    const TrialHydrostatics& t = b.st->trial;
    const TestPoint& p = b.st->point;
    const int K = b.st->hull.KAMAX;
    const Section& YS = b.st->hull.YS[ix(K)];
    const Section& ZS = b.st->hull.ZS[ix(K)];
    const double z = ZW(K), Zt = ZS[kTop], Yt = YS[kTop];
    const double yd = (z - Zt) / p.TANPHI;
    ASSERT_LT(yd, Yt) << "the low deck edge is under water";
    ASSERT_GT(yd, 0.0);

    // the high side's crossing, by a scan down from the top of the section
    const auto& G = b.st->upright.GIRTHP[ix(K)];
    auto f = [&](std::size_t k) { return ZS[k] - (z + p.TANPHI * YS[k]); };  // > 0: below the surface
    std::size_t k = kTop - 1;
    while (f(k) <= 0.0) --k;
    const double frac = f(k) / (f(k) - f(k + 1));
    const double y1 = -(YS[k] + frac * (YS[k + 1] - YS[k]));
    const double z1 = ZS[k] + frac * (ZS[k + 1] - ZS[k]);
    const double g1 = G[k] + frac * (G[k + 1] - G[k]);
    // the low half of the outline up to the deck edge, as a polygon area
    double lowHalf = 0.0;
    for (std::size_t i = 0; i < kTop; ++i) lowHalf += 0.5 * (YS[i] + YS[i + 1]) * (ZS[i] - ZS[i + 1]);
    const Section& SA = b.st->hull.SAREA[ix(K)];
    const double highPart = SA[k] + frac * (SA[k + 1] - SA[k]);

    EXPECT_NEAR(t.BSEC[ix(K)], std::hypot(yd - y1, Zt - z1), 1e-12);
    EXPECT_NEAR(t.GIRTH[ix(K)], G[kTop] + (Yt - yd) + g1, 1e-12);
    // low half less the deck triangle above the surface, high half up to z1 and the triangle
    // between the level z1 and the surface
    const double area = lowHalf - 0.5 * yd * (z - Zt) + highPart + 0.5 * (-y1) * (z1 - z);
    EXPECT_NEAR(t.ASEC[ix(K)], area, 1e-12);
    EXPECT_GT(t.GIRTH[ix(K)], G[kTop] + g1) << "the wetted deck counts";
}

// A heel to one side and the same heel to the other are mirror images: the same immersed body,
// the drift and asymmetry angles and the lateral terms of opposite sign.
TEST_F(HeeledYachtHull, MirrorHeelsGiveMirrorResults) {
    setTrial(*b.st, 0.02, 0.004, 25.0);
    ASSERT_EQ(kraeng(b, kYachtSlots, 0.075), 0);
    const TrialHydrostatics port = b.st->trial;
    const double tliftPort = b.st->balance.TLIFT;
    setTrial(*b.st, 0.02, 0.004, -25.0);
    ASSERT_EQ(kraeng(b, kYachtSlots, 0.075), 0);
    const TrialHydrostatics& stbd = b.st->trial;

    EXPECT_DOUBLE_EQ(stbd.VOLCB, port.VOLCB);
    EXPECT_DOUBLE_EQ(stbd.AWLPHI, port.AWLPHI);
    EXPECT_DOUBLE_EQ(stbd.XCBPHI, port.XCBPHI);
    EXPECT_DOUBLE_EQ(stbd.XFPHI, port.XFPHI);
    EXPECT_DOUBLE_EQ(stbd.XAPHI, port.XAPHI);
    EXPECT_DOUBLE_EQ(stbd.TCBPHI, port.TCBPHI);
    EXPECT_DOUBLE_EQ(stbd.TLAT, port.TLAT);
    EXPECT_DOUBLE_EQ(b.st->balance.TLIFT, tliftPort);
    for (std::size_t K = 0; K <= kYachtSlots; ++K) {
        EXPECT_DOUBLE_EQ(stbd.ASEC[K], port.ASEC[K]) << K;
        EXPECT_DOUBLE_EQ(stbd.BSEC[K], port.BSEC[K]) << K;
        EXPECT_DOUBLE_EQ(stbd.GIRTH[K], port.GIRTH[K]) << K;
        EXPECT_DOUBLE_EQ(stbd.KDW[K], port.KDW[K]) << K;
        EXPECT_DOUBLE_EQ(stbd.QLAT[K], -port.QLAT[K]) << K;
    }
    EXPECT_GT(std::fabs(port.DRFPHI), 1e-3);
    EXPECT_GT(std::fabs(port.ASYM), 1e-3);
    EXPECT_GT(std::fabs(port.ATRIM), 1e-3);
    EXPECT_DOUBLE_EQ(stbd.DRFPHI, -port.DRFPHI);
    EXPECT_DOUBLE_EQ(stbd.ASYM, -port.ASYM);
    EXPECT_DOUBLE_EQ(stbd.ATRIM, -port.ATRIM);
}

// The same on the yacht hull, whose ends rise out of the water at both ends.
TEST_F(HeeledYachtHull, VolumeDerivativeIsTheWaterplaneArea) {
    for (double heel : {0.0, 20.0}) expectVolumeSlope(b, kYachtSlots, 0.02, heel);
}

// The rest call floats the hull on its design waterline: the ends and the largest section are
// those of the hull preparation, and the volume is the prescribed one.
TEST_F(HeeledYachtHull, RestCallReproducesTheDesignWaterline) {
    setTrial(*b.st, 0.0, 0.0, 0.0);
    ASSERT_EQ(kraeng(b, kYachtSlots, 0.0, true), 0);
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
    const double volume = b.st->input.VOLUME;
    const PreparedHull& h = b.st->hull;
    constexpr double trim = 0.3;
    // stern up: the surface meets the keel just forward of slot 21
    const double sternUp = trim * h.XST[21] + h.ZS[21][0] + 0.01;
    setTrial(*b.st, sternUp, trim, 0.0);
    b.st->trial.VOLCB = 1.0;
    EXPECT_EQ(kraeng(b, kYachtSlots), kKraengDefault);
    EXPECT_GT(b.st->trial.ISTA1, 20);
    EXPECT_EQ(b.st->trial.VOLCB, volume * 1e-9);
    // bow up: the run ends aft of slot 20
    const double bowUp = -trim * h.XST[19] + h.ZS[19][0] + 0.05;
    setTrial(*b.st, bowUp, -trim, 10.0);
    b.st->trial.VOLCB = 1.0;
    EXPECT_EQ(kraeng(b, kYachtSlots), kKraengDefault);
    EXPECT_LT(b.st->trial.ISTA2, 20);
    EXPECT_EQ(b.st->trial.VOLCB, volume * 1e-9);
    EXPECT_EQ(b.console.str(), "") << "messages only with DIAG";

    b.st->run.DIAG = true;
    EXPECT_EQ(kraeng(b, kYachtSlots), kKraengDefault);
    EXPECT_EQ(b.console.str(), " FEHLER KRAENG alle Werte = DEFAULT\n");
}

// TLAT and BRTLAM belong to the laminar run; without one they keep their values. At a
// transition that falls on a station the curves through the bow stations give that station's
// keel depth and breadth.
TEST_F(HeeledYachtHull, TransitionQuantitiesOnlyWithALaminarRun) {
    setTrial(*b.st, 0.02, 0.003, 20.0);
    b.st->trial.TLAT = 123.0;
    b.st->trial.BRTLAM = 456.0;
    ASSERT_EQ(kraeng(b, kYachtSlots, 0.0), 0);
    EXPECT_EQ(b.st->trial.TLAT, 123.0);
    EXPECT_EQ(b.st->trial.BRTLAM, 456.0);

    const TrialHydrostatics& t = b.st->trial;
    const int K = t.ISTA2 - 3;
    const double XLAM = t.XFPHI - b.st->hull.XST[ix(K)];
    ASSERT_EQ(kraeng(b, kYachtSlots, XLAM), 0);
    EXPECT_NEAR(t.TLAT, t.KDW[ix(K)], 1e-12);
    EXPECT_NEAR(t.BRTLAM, t.BSEC[ix(K)], 1e-12);
    // at the bow end both vanish
    ASSERT_EQ(kraeng(b, kYachtSlots, 1e-300), 0);
    EXPECT_NEAR(t.TLAT, 0.0, 1e-12);
    EXPECT_NEAR(t.BRTLAM, 0.0, 1e-12);
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
    ASSERT_EQ(kraeng(b, kYachtSlots), 0);
    const TrialHydrostatics& t = st.trial;
    const TestPoint& p = st.point;

    for (std::size_t K = 0; K <= kYachtSlots; ++K) EXPECT_EQ(t.QLAT[K], 0.0);
    EXPECT_EQ(t.ATRIM, 0.0);

    const int K = st.upright.KSLOT;
    EXPECT_EQ(t.KRA, t.ASEC[ix(K)]);
    EXPECT_EQ(t.KRZK, st.hull.ZS[ix(K)][0]);
    EXPECT_LT(t.KRY1, 0.0);
    EXPECT_GT(t.KRY2, 0.0);
    EXPECT_NEAR(t.KRZ2, t.KRZ1 - (t.KRY2 - t.KRY1) * p.TANPHI, 1e-12) << "both ends on the surface";
    EXPECT_NEAR(t.KRY2 - t.KRY1, t.BSEC[ix(K)] * p.COSPHI, 1e-12);
    EXPECT_NEAR(p.SINPHI * t.KRYD + (t.KRZD - ZW(K)) * p.COSPHI, t.KDW[ix(K)], 1e-12) << "the deepest point";

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
    EXPECT_NEAR(t.RKCL, 1.0 / t.LWLPHI, 1e-15);
    EXPECT_NEAR(t.RKTB, 0.1 / p.COSPHI / t.BWLPHI, 1e-15);
    EXPECT_NEAR(t.RIMMC, immersed - 0.95, 1e-15);
}

// Ratios and coefficients hang together: the split at the largest section adds up, and the
// centres lie inside the waterline.
TEST_F(HeeledYachtHull, FormRatiosAreConsistent) {
    b.st->input.XLEVER = 2.0;
    setTrial(*b.st, 0.02, 0.003, 20.0);
    ASSERT_EQ(kraeng(b, kYachtSlots), 0);
    const TrialHydrostatics& t = b.st->trial;
    EXPECT_NEAR(b.st->balance.ZDRAG2, 0.02 - 0.003 * 2.0 / b.st->point.COSPHI, 1e-15);
    EXPECT_NEAR(t.LWL1 + t.LWL2, t.LWLPHI, 1e-12);
    EXPECT_GT(t.VCB2, 0.0);
    EXPECT_GT(t.VCB1, 0.0);
    EXPECT_NEAR(t.VCB1 + t.VCB2, t.VOLCB, 1e-12);
    EXPECT_NEAR(t.AWL1 + t.AWL2, t.AWLPHI, 1e-12);
    EXPECT_GT(t.XCBPHI, t.XAPHI);
    EXPECT_LT(t.XCBPHI, t.XFPHI);
    EXPECT_GT(t.XTRIM, t.XAPHI);
    EXPECT_LT(t.XTRIM, t.XFPHI);
    EXPECT_GT(t.XMREF, t.XAPHI);
    EXPECT_LT(t.XMREF, t.XFPHI);
    EXPECT_NEAR(t.CPPHI * t.AHSPHI * t.LWLPHI, t.VOLCB, 1e-12);
    EXPECT_NEAR(t.CPF * t.AHSPHI * t.LWL1 + t.CPA * t.AHSPHI * t.LWL2, t.VOLCB, 1e-12);
    EXPECT_NEAR(t.CW1 * t.BWLPHI * t.LWL1 + t.CW2 * t.BWLPHI * t.LWL2, t.AWLPHI, 1e-12);
    EXPECT_GE(t.AHSPHI, t.ASEC[ix(t.IAMAX)] - 1e-12) << "the spline's maximum is not below the station's";
    EXPECT_LT(t.CPPHI, 1.0);
    // the keel line's maximum is the largest keel depth below the surface
    double deepest = 0.0;
    for (int K = 0; K < t.ISTA2; ++K) deepest = std::max(deepest, t.KDW[ix(K)]);
    EXPECT_GE(t.TMXPHI, deepest - 1e-12);
    EXPECT_LT(t.TMXPHI, deepest * 1.01);
    EXPECT_NEAR(b.st->balance.TLIFT, *std::max_element(t.KDW.begin(), t.KDW.end()), 1e-12);
}

// Upright and slightly sunk the aftmost station is dry: the stern overhangs the waterline and
// the keel line rises out of the water behind its aft end.
TEST_F(HeeledYachtHull, OverhangAndRocker) {
    setTrial(*b.st, 0.02, 0.0, 0.0);
    ASSERT_EQ(kraeng(b, kYachtSlots), 0);
    const TrialHydrostatics& t = b.st->trial;
    const SlotArray& XST = b.st->hull.XST;
    EXPECT_EQ(t.ASEC[0], 0.0);
    EXPECT_NEAR(t.OVRHNG, t.XAPHI - XST[0], 1e-15);
    EXPECT_GT(t.OVRHNG, 0.5);
    EXPECT_NEAR(t.OVHEXP, std::exp(-20.0 * t.OVRHNG / t.LWLPHI), 1e-15);
    EXPECT_NEAR(t.OVHF, 1.0 + t.OVRHNG / t.LWLPHI, 1e-15);
    EXPECT_NEAR(t.OVHTC, t.OVRHNG / t.LWLPHI * t.TCLTOH, 1e-15);
    EXPECT_NEAR(t.KSLP0, (t.KDW[1] - t.KDW[0]) / (XST[1] - XST[0]), 1e-15);
    // upright KDW is the keel depth below the surface: the rocker is the keel line's mean slope
    // over the tenth of the waterline behind the aft end, where it is 0
    const double xr = std::max(t.XAPHI - 0.1 * t.LWLPHI, XST[0]);
    ASSERT_GT(t.XAPHI - xr, 0.1);
    const double keelAft = hull.zc - hull.D(b.st->raw.XOFF(1));  // keel height of slot 0, as drawn
    const double shift = -b.st->hull.ZS[0][0] - keelAft;         // the preparation's shift of heights
    const double keelAtXr = hull.zc - hull.D(b.st->raw.XOFF(1) + (xr - XST[0]));
    const double depth = -keelAtXr - shift - 0.02;  // below the surface ZS = 0.02
    EXPECT_NEAR(t.TCLTOH, -depth / (t.XAPHI - xr), 2e-3 * t.TCLTOH);
    EXPECT_GT(t.TCLTOH, 0.0);
}

}  // namespace
}  // namespace carinex
