// Heeled hydrostatics (KRAENG).
//
// The main witness is a straight-sided V hull with a low flat deck, put straight into the
// prepared arrays: its sections are triangles, so the immersed part of any station is a clipped
// polygon the test cuts itself, per station and on a fine grid along x, finding the waterline
// ends, the largest section and the split at it without the program's splines. Upright and at
// 25 degrees heel, where the low deck edge of the deeper stations is under water. The same hull
// guards the mirror symmetry of the heel, the appendage immersion and the default path; the
// yacht-like hull of heeled_support.h, whose ends rise out of the water, the volume slope (dV/dZ
// is the waterplane area, which also sees the cuts of the ends whose keel is dry). Short runs of
// stations with elliptic bilges guard the transition table and the largest section at a transom.
#include "hydrostatics/heeled.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "hydrostatics/heeled_support.h"
#include "platform/fixed_format.h"

namespace carinex {
namespace {

using namespace test::heel;

// ---------------------------------------------------------------------------------------------
// The V hull: keel dry at both ends (0.06 m above the water at x = 0 and 8.4), the deck 0.15 m
// above the design waterline, the after-body fuller.
const test::VeeHull kHull{.stations = 41, .length = 8.4, .x0 = 4.2, .depth = 0.6, .c = 0.0375, .k0 = 0.5,
                          .k1 = -0.03, .sheer = 0.15};
constexpr int kLast = 40;

struct Trial {
    double SINKG, TRIMW, heel;  // heel in degrees
};

// The immersed triangle at x, and its largest normal depth below the surface (also when dry):
// the keel or the low deck edge at yDeep.
struct Immersed {
    Cut cut;
    double depth, yDeep;
};

Immersed immersed(const Trial& t, double x) {
    const double phi = t.heel * kPi / 180, s = std::sin(phi), c = std::cos(phi);
    const double ZW = t.SINKG - t.TRIMW * x / c;
    const double keel = -kHull.keel(x), deck = -kHull.sheer, w = kHull.flare(x) * (kHull.sheer - kHull.keel(x));
    const Cut cut = clipPolygon({{0.0, keel}, {w, deck}, {-w, deck}}, ZW, std::tan(phi));
    const double keelDepth = (keel - ZW) * c, edgeDepth = s * w + (deck - ZW) * c;
    return {cut, std::max(keelDepth, edgeDepth), edgeDepth > keelDepth ? w : 0.0};
}

// Simpson's rule on 4000 intervals; a root by bisection; a maximum by golden section.
template <class F>
double integral(F f, double a, double b) {
    const double h = (b - a) / 4000;
    double sum = f(a) + f(b);
    for (int i = 1; i < 4000; ++i) sum += (i % 2 ? 4.0 : 2.0) * f(a + i * h);
    return sum * h / 3.0;
}
template <class F>
double bisect(F f, double a, double b) {
    for (int i = 0; i < 100; ++i) ((f(0.5 * (a + b)) > 0) == (f(a) > 0) ? a : b) = 0.5 * (a + b);
    return 0.5 * (a + b);
}
template <class F>
double argmax(F f, double a, double b) {
    const double r = (std::sqrt(5.0) - 1) / 2;
    for (int i = 0; i < 200; ++i) {
        const double p = b - r * (b - a), q = a + r * (b - a);
        (f(p) < f(q) ? a : b) = f(p) < f(q) ? p : q;
    }
    return 0.5 * (a + b);
}

double exactAftEnd(const Trial& t) {
    return bisect([&](double x) { return immersed(t, x).depth; }, 0.0, kHull.x0);
}

// The outputs under test, computed from their definitions; XA the aft end of the waterline.
struct Expected {
    double VCB1, VCB2, AWL1, AWL2, LWL1, LWL2, CPF, CPA, CW1, CW2;
    double CXPHI, CWPPHI, CPPHI, RBL1, RBL2, RBTPHI, RTL1, RLV2, CVP1, RAL1, RAL2, RAX1;
    double TFWD, KSLP0, OVHEXP, OVHTC, OVHF, RKCL, RKTB, ASYM;
};

Expected expected(const Trial& t, double KCHORD, double KTHICK, double XA) {
    const double phi = t.heel * kPi / 180;
    const auto A = [&](double x) { return immersed(t, x).cut.area; };
    const auto B = [&](double x) { return immersed(t, x).cut.breadth; };
    const auto KDW = [&](double x) { return immersed(t, x).depth; };
    const double XF = bisect(KDW, kHull.x0, kHull.length), L = XF - XA;
    const double XM = argmax(A, XA, XF), AHS = A(XM), BWL = B(XM), TCB = KDW(XM);
    const double V = integral(A, XA, XF), AWL = integral(B, XA, XF);
    const double VCB2 = integral(A, XA, XM), AWL2 = integral(B, XA, XM), VCB1 = V - VCB2, AWL1 = AWL - AWL2;
    const double L1 = XF - XM, L2 = XM - XA, x0 = kHull.x(0), x1 = kHull.x(1);
    const double xr = std::max(XA - 0.1 * L, x0), TCLTOH = -KDW(xr) / (XA - xr), OVR = XA - x0;
    // the deepest point of all stations
    double deepest = -1, xDeep = 0, yDeep = 0;
    for (int K = 0; K <= kLast; ++K) {
        const Immersed s = immersed(t, kHull.x(K));
        if (s.depth >= deepest) deepest = s.depth, xDeep = kHull.x(K), yDeep = s.yDeep;
    }
    const double asym = t.heel == 0 ? 0.0 : (yDeep - t.TRIMW * std::sin(phi) * (XF - xDeep)) / (XF - xDeep);
    return {VCB1, VCB2, AWL1, AWL2, L1, L2, VCB1 / (AHS * L1), VCB2 / (AHS * L2), AWL1 / (BWL * L1), AWL2 / (BWL * L2),
            AHS / (BWL * TCB), AWL / (BWL * L), V / (AHS * L), BWL / L1, BWL / L2, BWL / TCB, TCB / L1,
            L2 / std::cbrt(VCB2), VCB1 / (AWL1 * TCB), std::sqrt(AWL1) / L1, std::sqrt(AWL2) / L2,
            std::sqrt(AHS) / L1, KDW(XF - 0.07 * L) / (0.07 * L), (KDW(x1) - KDW(x0)) / (x1 - x0),
            std::exp(-20 * OVR / L), OVR / L * TCLTOH, OVR / L + 1, KCHORD / L,
            KTHICK * KCHORD / std::cos(phi) / BWL, asym};
}

// Where the surface z = ZW - m*y leaves one side of a section going up from the keel (m = s on
// the low side, -s on the high side): the first point above it, interpolated on the segment
// below; a side wholly under the surface gives its top point.
double leavingY(const Section& YS, const Section& ZS, double ZW, double m) {
    auto below = [&](std::size_t k) { return ZS[k] - (ZW - m * YS[k]); };
    for (std::size_t k = 1; k <= kTop; ++k) {
        if (below(k) <= 0.0) return YS[k - 1] + below(k - 1) / (below(k - 1) - below(k)) * (YS[k] - YS[k - 1]);
    }
    return YS[kTop];
}

class HeeledVeeHull : public ::testing::Test {
protected:
    void SetUp() override {
        prepareDirect(*b.st, kHull.stations, 0.0, kHull.length, kHull.formula());
        CaseState& st = *b.st;
        // a keel and a rectangular rudder for the appendage terms
        st.hull.XK0 = 4.6;
        st.hull.XK1 = 3.6;
        st.hull.XR0 = 1.15;
        st.hull.XR1 = 0.85;
        st.input.RSPAN = 0.8;
        st.input.RCROOT = st.input.RCTIP = 0.3;
        st.input.RTCRT = st.input.RTCTP = 0.12;
        st.input.RSECTF = 0.7;
        st.input.KCHORD(1) = kChord;
        st.input.KTHICK(1) = kThick;
        st.upright.SH1 = 0.9;  // the rudder meets the hull above its immersed span
        st.upright.SH2 = 1.0;
        st.upright.TMAXK = 1.9;
        st.upright.KSPANR = 1.4;
        st.upright.KSLOT = 20;
    }
    double ZW(int K) const {
        const TestPoint& p = b.st->point;
        return p.SINKG - p.TRIMW * b.st->hull.XST[ix(K)] / p.COSPHI;
    }
    static constexpr double kChord = 1.1, kThick = 0.12;
    Bench b;
};

TEST_F(HeeledVeeHull, FormRatiosKeelLineAndLateralTermsFollowTheClippedSections) {
    using T = TrialHydrostatics;
    struct Row {
        const char* name;
        double T::*member;
        double Expected::*value;
        double tol;  // relative, or absolute for values near 0
    };
    // The program integrates splines through the 41 stations and extrapolates the ends from the
    // last stations: the ratios come out within 4e-4 of the exact ones. KSLP0 and ASYM take no
    // spline.
#define ROW(m, tol) Row{#m, &T::m, &Expected::m, tol}
    const std::vector<Row> rows{
        ROW(VCB1, 1e-3),    ROW(VCB2, 1e-3),    ROW(AWL1, 1e-3),    ROW(AWL2, 1e-3),    ROW(LWL1, 1e-3),
        ROW(LWL2, 1e-3),    ROW(CPF, 1e-3),     ROW(CPA, 1e-3),     ROW(CW1, 1e-3),     ROW(CW2, 1e-3),
        ROW(CXPHI, 1e-3),   ROW(CWPPHI, 1e-3),  ROW(CPPHI, 1e-3),   ROW(RBL1, 1e-3),    ROW(RBL2, 1e-3),
        ROW(RBTPHI, 1e-3),  ROW(RTL1, 1e-3),    ROW(RLV2, 1e-3),    ROW(CVP1, 1e-3),    ROW(RAL1, 1e-3),
        ROW(RAL2, 1e-3),    ROW(RAX1, 1e-3),    ROW(TFWD, 1e-3),    ROW(KSLP0, 1e-9),   ROW(OVHEXP, 1e-3),
        ROW(OVHTC, 1e-3),   ROW(OVHF, 1e-5),    ROW(ASYM, 1e-9),
    };
#undef ROW
    for (const Trial trial : {Trial{0.01, 0.002, 0.0}, Trial{0.01, 0.002, 25.0}}) {
        SCOPED_TRACE("heel " + std::to_string(trial.heel));
        setTrial(*b.st, trial.SINKG, trial.TRIMW, trial.heel);
        ASSERT_EQ(kraeng(b, kLast), 0);
        const T& t = b.st->trial;
        const TestPoint& p = b.st->point;
        // Heeled, the aft end is extrapolated from the areas of the first wet stations to zero
        // area over ASEC^0.67; the sections of a V grow with the square of the keel depth, so the
        // end comes out short by a part of a station spacing. The ratios are checked on that end.
        const double spacing = kHull.x(1) - kHull.x(0);
        if (trial.heel != 0) {
            EXPECT_GT(t.XAPHI, exactAftEnd(trial));
            EXPECT_LT(t.XAPHI, exactAftEnd(trial) + 0.3 * spacing);
        }
        const Expected e = expected(trial, kChord, kThick, trial.heel == 0 ? exactAftEnd(trial) : t.XAPHI);
        for (const Row& r : rows)
            EXPECT_NEAR(t.*r.member, e.*r.value, r.tol * std::max(std::fabs(e.*r.value), 1e-3)) << r.name;
        // Every station against its own clipped outline (hull and deck), its lateral term from
        // the waterline ends of the cut; upright the keel depth is the keel point's.
        int deckEdges = 0;
        for (int K = 0; K <= kLast; ++K) {
            const Section& YS = b.st->hull.YS[ix(K)];
            const Section& ZS = b.st->hull.ZS[ix(K)];
            const Cut c = clipSection(YS, ZS, ZW(K), p.TANPHI);
            EXPECT_NEAR(t.ASEC[ix(K)], c.area, 2.0 * areaInterpolationBound(YS, ZS) + 1e-12) << "slot " << K;
            EXPECT_NEAR(t.BSEC[ix(K)], c.breadth, 1e-12) << "slot " << K;
            EXPECT_NEAR(t.GIRTH[ix(K)], c.girth, 1e-12) << "slot " << K;
            if (K <= t.ISTA1 || K >= t.ISTA2) continue;
            if (trial.heel == 0) {
                EXPECT_NEAR(t.KDW[ix(K)], ZS[0] - ZW(K), 1e-15) << "slot " << K;
            }
            deckEdges += c.z2 == ZS[kTop] && c.y2 < YS[kTop];
            const double a1 = std::atan((ZS[0] - c.z2) / c.y2), a2 = std::atan((ZS[0] - c.z1) / -c.y1);
            const double q = p.SINPHI * 9 * (c.y2 - c.y1) / (kPi * std::tan((kPi - a1 - a2) / 2));
            EXPECT_NEAR(t.QLAT[ix(K)], q, 1e-9 * std::max(std::fabs(q), 1.0)) << "QLAT slot " << K;
        }
        EXPECT_GE(deckEdges, trial.heel == 0 ? 0 : 5) << "low deck edges under water";
        // The drift of the waterline's centre at the largest section comes from the hull's
        // crossings with the surface, not from the deck crossing.
        const Section& YS = b.st->hull.YS[ix(t.IAMAX)];
        const Section& ZS = b.st->hull.ZS[ix(t.IAMAX)];
        const double s = p.TANPHI, fore = t.XFPHI - t.XMREF, z = ZW(t.IAMAX);
        const double centre = (leavingY(YS, ZS, z, s) - leavingY(YS, ZS, z, -s)) / 2.0;
        EXPECT_NEAR(t.DRFPHI, (centre / p.COSPHI - trial.TRIMW * p.SINPHI * fore) / fore, 1e-12);
        // the keel ratios on the heeled waterline (with the appendages on)
        setTrial(*b.st, trial.SINKG, trial.TRIMW, trial.heel, true);
        ASSERT_EQ(kraeng(b, kLast), 0);
        EXPECT_NEAR(t.RKCL, e.RKCL, 1e-3 * e.RKCL);
        EXPECT_NEAR(t.RKTB, e.RKTB, 1e-3 * e.RKTB);
    }
}

// A heel to one side and the same heel to the other are mirror images: the same immersed body,
// the drift and asymmetry angles and the lateral terms of opposite sign.
TEST_F(HeeledVeeHull, MirrorHeelsGiveMirrorResults) {
    setTrial(*b.st, 0.01, 0.004, 25.0);
    ASSERT_EQ(kraeng(b, kLast, 1.5), 0);
    const TrialHydrostatics port = b.st->trial;
    const double tliftPort = b.st->balance.TLIFT;
    setTrial(*b.st, 0.01, 0.004, -25.0);
    ASSERT_EQ(kraeng(b, kLast, 1.5), 0);
    const TrialHydrostatics& stbd = b.st->trial;
    using T = TrialHydrostatics;
    for (double T::*m : {&T::VOLCB, &T::AWLPHI, &T::XCBPHI, &T::XFPHI, &T::XAPHI, &T::TCBPHI, &T::TLAT})
        EXPECT_DOUBLE_EQ(stbd.*m, port.*m);
    EXPECT_DOUBLE_EQ(b.st->balance.TLIFT, tliftPort);
    for (double T::*m : {&T::DRFPHI, &T::ASYM, &T::ATRIM}) {
        EXPECT_GT(std::fabs(port.*m), 1e-3);
        EXPECT_DOUBLE_EQ(stbd.*m, -(port.*m));
    }
    for (std::size_t K = 0; K <= kLast; ++K) {
        for (SlotArray T::*a : {&T::ASEC, &T::BSEC, &T::GIRTH, &T::KDW})
            EXPECT_DOUBLE_EQ((stbd.*a)[K], (port.*a)[K]) << K;
        EXPECT_DOUBLE_EQ(stbd.QLAT[K], -port.QLAT[K]) << K;
    }
}

// With the appendages on: the hull section at the keel for the lifting line, no lateral term of
// the bare hull, and the immersed rudder and keel.
TEST_F(HeeledVeeHull, AppendageImmersion) {
    CaseState& st = *b.st;
    setTrial(st, 0.01, 0.004, 20.0, true);
    ASSERT_EQ(kraeng(b, kLast), 0);
    const TrialHydrostatics& t = st.trial;
    const TestPoint& p = st.point;
    for (std::size_t K = 0; K <= kLast; ++K) EXPECT_EQ(t.QLAT[K], 0.0);
    const int K = st.upright.KSLOT;
    EXPECT_EQ(t.KRA, t.ASEC[ix(K)]);
    EXPECT_NEAR(t.KRY2 - t.KRY1, t.BSEC[ix(K)] * p.COSPHI, 1e-12) << "the waterline ends";
    EXPECT_NEAR(p.SINPHI * t.KRYD + (t.KRZD - ZW(K)) * p.COSPHI, t.KDW[ix(K)], 1e-12) << "the deepest point";
    // the surface's depth at the keel's mid-root, x = 4.1, and at the rudder's, x = 1
    EXPECT_NEAR(t.ZWKEEL, 0.01 - 0.004 * 4.1 / p.COSPHI, 1e-15);
    const double immersed = 0.8 - 0.01 + 0.004 * 1.0 / p.COSPHI;
    EXPECT_NEAR(t.RIMM, immersed, 1e-15);
    EXPECT_NEAR(p.RCWL, 0.3, 1e-15);
    // below the hull a rectangular rudder is a prism: span * RSECTF * t/c * chord^2
    EXPECT_NEAR(p.VRUDDT, immersed * 0.7 * 0.12 * 0.3 * 0.3, 1e-15);
    EXPECT_NEAR(t.TKROOT, st.upright.TMAX - 0.01 + 0.004 * 4.1 / p.COSPHI, 1e-15);
    EXPECT_NEAR(t.RIMMC, immersed - 0.95, 1e-15);
}

// A trim so steep that the wetted run does not reach slot 20 takes the default path, noted
// only under DIAG.
TEST_F(HeeledVeeHull, TrimThatMissesSlot20TakesTheDefaultPath) {
    const PreparedHull& h = b.st->hull;
    setTrial(*b.st, 0.3 * h.XST[21] + h.ZS[21][0] + 0.01, 0.3, 0.0);  // stern up, keel wet from slot 21
    expectDefaultPath(b, kLast);
    EXPECT_GT(b.st->trial.ISTA1, 20);
    EXPECT_EQ(b.console.str(), "");
    b.st->run.DIAG = true;
    expectDefaultPath(b, kLast);
    EXPECT_EQ(b.console.str(), " FEHLER KRAENG alle Werte = DEFAULT\n");
}

// Lowering the surface by dZ takes away a layer of the waterplane area times its normal
// thickness dZ*COSPHI: dVOLCB/dSINKG = -COSPHI*AWLPHI. Two things of the model add to the
// central difference: the ends move with the waterline and stretch the area spline's end
// intervals (at most the end-adjacent sections' areas times the ends' speeds), and each section's
// area, interpolated linearly in the cumulative half-areas, grows at a segment's mean
// half-breadth instead of the crossing's own: off by |dy|/2 per crossing, times the rate
// dz/(dz - m*dy) at which the crossing climbs along the segment.
// On the yacht-like hull of heeled_support.h, whose ends rise out of the water.
TEST(HeeledYachtHull, VolumeDerivativeIsTheWaterplaneArea) {
    constexpr double h = 1e-4;
    constexpr int kSlots = 50;
    Bench b;
    ASSERT_EQ(prepareYachtHull(b, YachtHull{}), 0);
    for (double heel : {0.0, 20.0}) {
        TrialHydrostatics below, above;
        for (auto [dZ, to] : {std::pair{h, &below}, std::pair{-h, &above}, std::pair{0.0, &b.st->trial}}) {
            setTrial(*b.st, 0.02 + dZ, 0.0, heel);
            ASSERT_EQ(kraeng(b, kSlots), 0);
            *to = b.st->trial;
        }
        const TrialHydrostatics& t = b.st->trial;
        ASSERT_EQ(below.ISTA1, above.ISTA1);
        ASSERT_EQ(below.ISTA2, above.ISTA2);
        const double area = t.AWLPHI * b.st->point.COSPHI;
        double model = t.ASEC[ix(t.ISTA2 - 1)] * std::fabs(below.XFPHI - above.XFPHI) / (2.0 * h) +
                       t.ASEC[ix(t.ISTA1 + 1)] * std::fabs(below.XAPHI - above.XAPHI) / (2.0 * h);
        const PreparedHull& hull = b.st->hull;
        for (int K = t.ISTA1 + 1; K < t.ISTA2; ++K) {
            // trapezoid weights, with a margin for the spline's
            const double dx = 0.75 * (hull.XST[ix(K + 1)] - hull.XST[ix(K - 1)]);
            model += dx * areaSlopeBound(hull.YS[ix(K)], hull.ZS[ix(K)], 0.02, b.st->point.TANPHI);
        }
        EXPECT_NEAR((below.VOLCB - above.VOLCB) / (2.0 * h), -area, model + 1e-5 * area) << "heel " << heel;
        EXPECT_LT(model, 0.01 * area) << "the model's terms are a small correction";
    }
}

// ---------------------------------------------------------------------------------------------
// Near the ends of the stations: hulls put into the prepared arrays station by station, with an
// elliptic bilge of breadth B and depth D from the keel to the chine at 0.1 and a vertical side
// up to the deck at 0.5; a lifted station stands clear of the water.
struct StationShape {
    double B, D, lift = 0.0;
};

constexpr double kSpacing = 0.2, kLifted = 1.0;

void prepareStations(Bench& b, int stations, const std::function<StationShape(int K)>& station) {
    prepareDirect(*b.st, stations, 0.0, kSpacing * (stations - 1), [&](double x, int k) {
        const StationShape s = station(static_cast<int>(std::lround(x / kSpacing)));
        return bilgeSection(s.B, s.D, s.lift + 0.1, s.lift + 0.5, k);
    });
}

// The shortest run the admission accepts: seven table entries from ISTA1 to ISTA2. The
// transition table is then the whole waterline table: at its aft end (the waterline's, not the
// dry station behind it) keel depth and breadth are 0, at a station its own; without a laminar
// run TLAT and BRTLAM keep their values.
TEST(KraengGuards, TransitionTableOfTheShortestRunStartsAtTheAftEnd) {
    Bench b;
    prepareStations(b, 27, [](int K) {
        return StationShape{0.8, 0.3 + 0.02 * K, (K <= 18 || K >= 24) ? kLifted : 0.0};
    });
    setTrial(*b.st, 0.0, 0.0, 0.0);
    TrialHydrostatics& t = b.st->trial;
    t.TLAT = 123.0;
    t.BRTLAM = 456.0;
    ASSERT_EQ(kraeng(b, 26), 0);
    EXPECT_EQ(t.TLAT, 123.0);
    EXPECT_EQ(t.BRTLAM, 456.0);
    ASSERT_EQ(t.ISTA1, 18);
    ASSERT_EQ(t.ISTA2, 24);
    const SlotArray& XST = b.st->hull.XST;
    EXPECT_GT(t.XAPHI, XST[18]);
    EXPECT_LT(t.XFPHI, XST[24]);
    ASSERT_EQ(kraeng(b, 26, t.LWLPHI), 0);
    EXPECT_NEAR(t.TLAT, 0.0, 1e-12);
    EXPECT_NEAR(t.BRTLAM, 0.0, 1e-12);
    ASSERT_EQ(kraeng(b, 26, t.XFPHI - XST[19]), 0);
    EXPECT_NEAR(t.TLAT, t.KDW[19], 1e-12);
    EXPECT_NEAR(t.BRTLAM, t.BSEC[19], 1e-12);
}

// A hull whose largest section is its transom: IAMAX moves one slot inward, the local range of
// the largest section is clipped to the run (slots 0 ... 4), and the areas fall all along it,
// so no maximum is found and the largest station stands in, noted under DIAG. The keel line
// falls too.
TEST(KraengGuards, LargestSectionAtTheTransom) {
    Bench b;
    prepareStations(b, 25, [](int K) {
        return StationShape{1.2 - 0.03 * K, 0.6 - 0.015 * K, K >= 22 ? kLifted : 0.0};
    });
    setTrial(*b.st, 0.0, 0.0, 0.0);
    b.st->run.DIAG = true;
    ASSERT_EQ(kraeng(b, 24), 0) << "the failed searches clear the error";
    const TrialHydrostatics& t = b.st->trial;
    const SlotArray& XST = b.st->hull.XST;
    EXPECT_EQ(t.IAMAX, 1);
    EXPECT_EQ(t.AHSPHI, t.ASEC[1]);
    EXPECT_EQ(t.XMREF, XST[1]);
    EXPECT_EQ(t.TMXPHI, t.TCBPHI);
    std::ostringstream expected;
    writeFree(expected, "FEHLER KRAENG AHSPHI", 5, 1, 0, 22);
    writeFree(expected, "FEHLER KRAENG TMXPHI", 1, XST[0], XST[21]);
    EXPECT_EQ(b.console.str(), expected.str());
    EXPECT_NEAR(t.LWL2, XST[1] - t.XAPHI, 1e-15) << "the split is made at the largest station";
}

}  // namespace
}  // namespace carinex
