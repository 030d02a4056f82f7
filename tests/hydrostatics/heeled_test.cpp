// Heeled hydrostatics (KRAENG).
//
// The main witness is a straight-sided V hull with a low flat deck, put straight into the
// prepared arrays: its sections are triangles, so the immersed part of any station is a clipped
// polygon the test cuts itself, per station and on a fine grid along x, finding the waterline
// ends, the largest section and the split at it without the program's splines. Upright and at
// 25 degrees heel, where the low deck edge of the deeper stations is under water. The same hull
// guards the default path; a short run of stations with elliptic bilges the largest section at
// a transom.
//
// Invariants on the body of revolution, whose immersed shape heel cannot change: the sections,
// volume and waterplane stay as they are upright; the volume's derivative with the sinkage is the
// waterplane area; heel to port and to starboard mirror each other; and the rest call gives back
// the design waterline.
#include "hydrostatics/heeled.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/heeled_support.h"
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
const auto integral = [](auto f, double a, double b) { return simpson(f, a, b, 4000); };
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

// An output under test and its value from the definitions; tol relative, or absolute for values
// near 0. The program integrates splines through the 41 stations and extrapolates the ends from
// the last stations: the ratios come out within 4e-4 of the exact ones. KSLP0 and ASYM take no
// spline. XA is the aft end of the waterline.
using T = TrialHydrostatics;
struct Row {
    const char* name;
    double T::*member;
    double value, tol;
};

#define ROW(m, value) Row{#m, &T::m, value, 1e-3}
std::vector<Row> expected(const Trial& t, double XA) {
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
    return {ROW(VCB1, VCB1), ROW(VCB2, VCB2), ROW(AWL1, AWL1), ROW(AWL2, AWL2), ROW(LWL1, L1), ROW(LWL2, L2),
            ROW(CXPHI, AHS / (BWL * TCB)), ROW(CWPPHI, AWL / (BWL * L)), ROW(CPPHI, V / (AHS * L)),
            ROW(RBTPHI, BWL / TCB), ROW(CPF, VCB1 / (AHS * L1)), ROW(CPA, VCB2 / (AHS * L2)),
            ROW(CW1, AWL1 / (BWL * L1)), ROW(CW2, AWL2 / (BWL * L2)), ROW(RBL1, BWL / L1), ROW(RBL2, BWL / L2),
            ROW(RTL1, TCB / L1), ROW(RLV2, L2 / std::cbrt(VCB2)), ROW(CVP1, VCB1 / (AWL1 * TCB)),
            ROW(RAL1, std::sqrt(AWL1) / L1), ROW(RAL2, std::sqrt(AWL2) / L2), ROW(RAX1, std::sqrt(AHS) / L1),
            ROW(TFWD, KDW(XF - 0.07 * L) / (0.07 * L)), ROW(OVHEXP, std::exp(-20 * OVR / L)),
            ROW(OVHTC, OVR / L * TCLTOH), Row{"OVHF", &T::OVHF, OVR / L + 1, 1e-5},
            Row{"KSLP0", &T::KSLP0, (KDW(x1) - KDW(x0)) / (x1 - x0), 1e-9}, Row{"ASYM", &T::ASYM, asym, 1e-9}};
}
#undef ROW

class HeeledVeeHull : public ::testing::Test {
protected:
    void SetUp() override { prepareDirect(*b.st, kHull.stations, 0.0, kHull.length, kHull.formula()); }
    Bench b;
};

TEST_F(HeeledVeeHull, FormRatiosAndKeelLineFollowTheClippedSections) {
    for (const Trial trial : {Trial{0.01, 0.002, 0.0}, Trial{0.01, 0.002, 25.0}}) {
        SCOPED_TRACE("heel " + std::to_string(trial.heel));
        setTrial(*b.st, trial.SINKG, trial.TRIMW, trial.heel);
        ASSERT_EQ(kraeng(b, kLast), 0);
        const T& t = b.st->trial;
        const TestPoint& p = b.st->point;
        // Heeled, the aft end is extrapolated from the areas of the first wet stations to zero
        // area over ASEC^0.67; the sections of a V grow with the square of the keel depth, so the
        // end comes out short by a part of a station spacing. The ratios are checked on that end.
        if (trial.heel != 0) {
            EXPECT_NEAR(t.XAPHI, exactAftEnd(trial) + 0.15 * kHull.x(1), 0.15 * kHull.x(1));
        }
        for (const Row& r : expected(trial, trial.heel == 0 ? exactAftEnd(trial) : t.XAPHI))
            EXPECT_NEAR(t.*r.member, r.value, r.tol * std::max(std::fabs(r.value), 1e-3)) << r.name;
        // Every station against its own clipped outline (hull and deck).
        int deckEdges = 0;
        for (int K = 0; K <= kLast; ++K) {
            const Section &YS = b.st->hull.YS[ix(K)], &ZS = b.st->hull.ZS[ix(K)];
            const double ZW = p.SINKG - p.TRIMW * b.st->hull.XST[ix(K)] / p.COSPHI;  // on the centre plane
            const Cut c = clipSection(YS, ZS, ZW, p.TANPHI);
            EXPECT_NEAR(t.ASEC[ix(K)], c.area, 2.0 * areaInterpolationBound(YS, ZS) + 1e-12) << "slot " << K;
            EXPECT_NEAR(t.BSEC[ix(K)], c.breadth, 1e-12) << "slot " << K;
            EXPECT_NEAR(t.GIRTH[ix(K)], c.girth, 1e-12) << "slot " << K;
            if (K <= t.ISTA1 || K >= t.ISTA2) continue;
            deckEdges += c.z2 == ZS[kTop] && c.y2 < YS[kTop];
            // The bare hull's lateral term: a wedge of the V's own half-angle, tan w = flare.
            if (c.z1 == ZS[kTop] || c.z2 == ZS[kTop]) continue;
            EXPECT_NEAR(t.QLAT[ix(K)], 9.0 * p.SINPHI * (c.y2 - c.y1) / (M_PI * kHull.flare(kHull.x(K))), 1e-9) << K;
        }
        EXPECT_GE(deckEdges, trial.heel == 0 ? 0 : 5) << "low deck edges under water";
    }
}

// Where the surface z = ZW - m*y leaves one side of a section going up from the keel (m = s on the
// low side, -s on the high side): the first point above it, interpolated on the segment below; a
// side wholly under the surface gives its top point.
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

// The drift of the waterline's centre at the largest section comes from the hull's crossings with
// the surface, also where the low deck edge is under water: the deck crossing is not one of them.
// Sunk below the deck, the crossings are the top points on both sides and the centre lies on the
// centre plane, leaving only the sideways shift of the trimmed, heeled centre plane.
TEST_F(HeeledVeeHull, DriftFollowsTheHullCrossingsOfTheLargestSection) {
    for (const Trial trial : {Trial{0.01, 0.0, 25.0}, Trial{0.01, 0.0, 30.0}, Trial{0.01, 0.0, 35.0},
                              Trial{0.01, 0.0, 40.0}, Trial{0.01, 0.002, 35.0}, Trial{0.01, 0.002, -35.0},
                              Trial{-1.5, 0.003, 10.0}}) {
        SCOPED_TRACE("SINKG " + std::to_string(trial.SINKG) + " heel " + std::to_string(trial.heel));
        setTrial(*b.st, trial.SINKG, trial.TRIMW, trial.heel);
        ASSERT_EQ(kraeng(b, kLast), 0);
        const TrialHydrostatics& t = b.st->trial;
        const TestPoint& p = b.st->point;
        const Section &YS = b.st->hull.YS[ix(t.IAMAX)], &ZS = b.st->hull.ZS[ix(t.IAMAX)];
        const double ZW = p.SINKG - p.TRIMW * b.st->hull.XST[ix(t.IAMAX)] / p.COSPHI;  // on the centre plane
        const double s = std::fabs(p.TANPHI), side = trial.heel < 0 ? -1.0 : 1.0;
        const double centre = side * (leavingY(YS, ZS, ZW, s) - leavingY(YS, ZS, ZW, -s)) / 2.0;
        const double fore = t.XFPHI - t.XMREF;
        EXPECT_NEAR(t.DRFPHI, (centre / p.COSPHI - p.TRIMW * p.SINPHI * fore) / fore, 1e-12);
        if (trial.SINKG < 0) {
            EXPECT_NEAR(centre, 0.0, 1e-15) << "submerged: both top points";
            EXPECT_NEAR(t.DRFPHI, -p.TRIMW * p.SINPHI, 1e-15);
        } else {
            const Cut c = clipSection(YS, ZS, ZW, s);
            EXPECT_TRUE(c.z2 == ZS[kTop] && c.y2 < YS[kTop]) << "the low deck edge is under water";
        }
    }
}

// A trim so steep that the wetted run does not reach slot 20 takes the default path, noted
// only under DIAG.
TEST_F(HeeledVeeHull, TrimThatMissesSlot20TakesTheDefaultPath) {
    const PreparedHull& h = b.st->hull;
    setTrial(*b.st, 0.3 * h.XST[21] + h.ZS[21][0] + 0.01, 0.3, 0.0);  // stern up, keel wet from slot 21
    for (bool diag : {false, true}) {
        b.st->run.DIAG = diag;
        b.st->trial.VOLCB = 1.0;
        EXPECT_EQ(kraeng(b, kLast), kKraengDefault);
        EXPECT_EQ(b.st->trial.VOLCB, b.st->input.VOLUME * 1e-9) << "every value a default";
        EXPECT_GT(b.st->trial.ISTA1, 20);
        EXPECT_EQ(b.console.str(), diag ? " FEHLER KRAENG alle Werte = DEFAULT\n" : "");
    }
}

// ---------------------------------------------------------------------------------------------
// A hull whose largest section is its transom: stations 0.2 apart, elliptic bilges narrowing and
// shallowing forward up to a chine at 0.1, vertical sides to 0.5, the three foremost lifted clear
// of the water. IAMAX moves one slot inward, the local range of the largest section is clipped to
// the run (slots 0 ... 4), and the areas fall all along it, so no maximum is found and the largest
// station stands in, noted under DIAG. The keel line falls too.
TEST(KraengGuards, LargestSectionAtTheTransom) {
    Bench b;
    prepareDirect(*b.st, 25, 0.0, 4.8, [](double x, int k) -> test::SectionPoint {
        const double K = std::round(x / 0.2), lift = K >= 22 ? 1.0 : 0.0;
        const double B = 1.2 - 0.03 * K, D = 0.6 - 0.015 * K, zc = lift + 0.1, deck = lift + 0.5;
        // the elliptic bilge, half-breadth B and D deep, up to point 100 at the chine zc; the side
        if (k > 100) return {B, k == kTop ? deck : zc + (deck - zc) * (k - 100) / (kTop - 100)};
        const double u = kPi / 2.0 * k / 100;
        return {B * std::sin(u), zc - D * std::cos(u)};
    });
    setTrial(*b.st, 0.0, 0.0, 0.0);
    b.st->run.DIAG = true;
    ASSERT_EQ(kraeng(b, 24), 0) << "the failed searches clear the error";
    const TrialHydrostatics& t = b.st->trial;
    const SlotArray& XST = b.st->hull.XST;
    EXPECT_EQ(t.IAMAX, 1);
    EXPECT_EQ(t.AHSPHI, t.ASEC[1]);
    EXPECT_EQ(t.TMXPHI, t.TCBPHI);
    std::ostringstream expected;
    writeFree(expected, "FEHLER KRAENG AHSPHI", 5, 1, 0, 22);
    writeFree(expected, "FEHLER KRAENG TMXPHI", 1, XST[0], XST[21]);
    EXPECT_EQ(b.console.str(), expected.str());
    EXPECT_NEAR(t.LWL2, XST[1] - t.XAPHI, 1e-15) << "the split is made at the largest station";
}

// ---------------------------------------------------------------------------------------------
constexpr int kSlots = 50;

// The preparation runs once; every test starts from a copy of the prepared state, whose design
// waterline passes through the centres of the sections.
class RoundHullHeel : public ::testing::Test {
protected:
    void SetUp() override {
        static const auto prepared = [] {
            auto p = std::make_unique<Bench>();
            EXPECT_EQ(prepareRoundHull(*p, RoundHull{}), 0);
            return p;
        }();
        *b.st = *prepared->st;
        ASSERT_NEAR(b.st->hull.ZS[15][75], 0.0, 1e-10);
    }
    Bench b;
    RoundHull hull;
};

// Every immersed section is the half polygon, 75 R^2 sin(1.2 deg), whatever the heel about the
// centres; heeled, the crossings lie on chords, between R cos(0.6 deg) and R from the centre, and
// the interpolation of the cumulative area at two crossings falls short by at most dy dz/8 each.
TEST_F(RoundHullHeel, HeelLeavesTheImmersedBodyUnchanged) {
    const double sag = 1.0 - std::cos(RoundHull::kStep / 2.0);
    TrialHydrostatics upright;
    for (double heel : {0.0, 10.0, 20.0, 30.0}) {
        setTrial(*b.st, 0.0, 0.0, heel);
        ASSERT_EQ(kraeng(b, kSlots), 0) << heel;
        const TrialHydrostatics& t = b.st->trial;
        EXPECT_TRUE(t.ISTA1 == 0 && t.ISTA2 == kSlots) << "wet transom, dry pointed bow";
        double worstArea = 0.0, worstBreadth = 0.0;
        for (int K = 0; K < kSlots; ++K) {
            const double r = hull.R(b.st->raw.XOFF(K + 1)), area = 75.0 * r * r * std::sin(RoundHull::kStep);
            const double tolB = heel == 0.0 ? 1e-12 : 2.0 * r * sag + 1e-12;
            const double bound = areaInterpolationBound(b.st->hull.YS[ix(K)], b.st->hull.ZS[ix(K)]);
            const double tolA = heel == 0.0 ? 1e-12 : 2.0 * bound + 1e-12;
            EXPECT_NEAR(t.BSEC[ix(K)], 2.0 * r, tolB) << "slot " << K << " heel " << heel;
            EXPECT_NEAR(t.ASEC[ix(K)], area, tolA) << "slot " << K << " heel " << heel;
            EXPECT_NEAR(t.KDW[ix(K)], r, tolB / 2.0) << "slot " << K << " heel " << heel;
            worstArea = std::max(worstArea, tolA);
            worstBreadth = std::max(worstBreadth, tolB);
        }
        if (heel == 0.0) upright = t;
        // same ends, nodes within those bounds: the integrals differ by at most the length times
        // the largest node difference (twice, for the spline's overshoot)
        EXPECT_EQ(t.XAPHI, upright.XAPHI) << "the transom";
        EXPECT_NEAR(t.XFPHI, upright.XFPHI, 1e-6) << "from the areas of the bow stations";
        EXPECT_NEAR(t.VOLCB, upright.VOLCB, 2.0 * t.LWLPHI * worstArea) << heel;
        EXPECT_NEAR(t.AWLPHI, upright.AWLPHI, 2.0 * t.LWLPHI * worstBreadth) << heel;
        EXPECT_NEAR(t.VOLCB, b.st->input.VOLUME, 2.0 * t.LWLPHI * worstArea) << heel;
    }
}

// Lowering the surface by dZ takes away a layer of the waterplane times its normal thickness
// dZ COSPHI. The model adds two small terms to the central difference: its ends move with the
// waterline (end sections' areas times the ends' speeds), and each section's area grows at a
// segment's mean half-breadth instead of the crossing's own (at most |dy|/2 per crossing, times
// the rate at which the crossing climbs the segment).
TEST_F(RoundHullHeel, VolumeDerivativeIsTheWaterplaneArea) {
    constexpr double h = 1e-4, SINKG = 0.01;
    for (double heel : {0.0, 20.0}) {
        TrialHydrostatics below, above;
        for (auto [dZ, to] : {std::pair{h, &below}, std::pair{-h, &above}, std::pair{0.0, &b.st->trial}}) {
            setTrial(*b.st, SINKG + dZ, 0.0, heel);
            ASSERT_EQ(kraeng(b, kSlots), 0);
            *to = b.st->trial;
        }
        const TrialHydrostatics& t = b.st->trial;
        const double area = t.AWLPHI * b.st->point.COSPHI, m = b.st->point.TANPHI;
        double model = (t.ASEC[ix(t.ISTA2 - 1)] * std::fabs(below.XFPHI - above.XFPHI) +
                        t.ASEC[ix(t.ISTA1 + 1)] * std::fabs(below.XAPHI - above.XAPHI)) / (2.0 * h);
        for (int K = t.ISTA1 + 1; K < t.ISTA2; ++K) {
            const Section &YS = b.st->hull.YS[ix(K)], &ZS = b.st->hull.ZS[ix(K)];
            const double dx = 0.5 * (b.st->hull.XST[ix(K + 1)] - b.st->hull.XST[ix(K - 1)]);
            for (double s : {m, -m})  // the surface ZS = SINKG + s*y on the two sides
                for (std::size_t k = 0; k < kTop; ++k) {
                    const double dy = YS[k + 1] - YS[k], dz = ZS[k + 1] - ZS[k];
                    if ((ZS[k] - SINKG - s * YS[k] > 0.0) != (ZS[k + 1] - SINKG - s * YS[k + 1] > 0.0))
                        model += 1.5 * dx * 0.5 * std::fabs(dy * dz / (dz - s * dy));  // 1.5: the spline weights
                }
        }
        EXPECT_NEAR((below.VOLCB - above.VOLCB) / (2.0 * h), -area, model + 1e-5 * area) << heel;
        EXPECT_LT(model, 0.01 * area) << "the model's terms are a small correction";
    }
}

// Heel to port and to starboard, sunk and trimmed: the same volume, waterplane, centres and
// sections; drift, asymmetry, lateral terms and the trim's lateral area change sign.
TEST_F(RoundHullHeel, MirrorHeelsGiveMirrorResults) {
    TrialHydrostatics side[2];
    for (int i : {0, 1}) {
        setTrial(*b.st, 0.02, 0.004, i == 0 ? 25.0 : -25.0);
        ASSERT_EQ(kraeng(b, kSlots, 0.075), 0);
        side[i] = b.st->trial;
    }
    for (double T::*m : {&T::VOLCB, &T::AWLPHI, &T::XCBPHI, &T::XFPHI, &T::XAPHI, &T::TCBPHI, &T::TLAT})
        EXPECT_DOUBLE_EQ(side[1].*m, side[0].*m);
    for (double T::*m : {&T::DRFPHI, &T::ASYM, &T::ATRIM}) {
        EXPECT_GT(std::fabs(side[0].*m), 1e-4) << "a sign to change";
        EXPECT_DOUBLE_EQ(side[1].*m, -(side[0].*m));
    }
    for (std::size_t K = 0; K <= kSlots; ++K)
        for (auto [a, sign] : {std::pair{&T::ASEC, 1.0}, std::pair{&T::BSEC, 1.0}, std::pair{&T::GIRTH, 1.0},
                               std::pair{&T::KDW, 1.0}, std::pair{&T::QLAT, -1.0}})
            EXPECT_DOUBLE_EQ((side[1].*a)[K], sign * (side[0].*a)[K]) << K;
}

// At rest, upright, the heeled hydrostatics give back the design waterline of the preparation.
TEST_F(RoundHullHeel, RestCallReproducesTheDesignWaterline) {
    setTrial(*b.st, 0.0, 0.0, 0.0);
    ASSERT_EQ(kraeng(b, kSlots, 0.0, true), 0);
    const TrialHydrostatics& t = b.st->trial;
    const PreparedHull& h = b.st->hull;
    const UprightParticulars& u = b.st->upright;
    EXPECT_TRUE(t.XFPHI == h.XFKEEL && t.XAPHI == h.XAKEEL && t.AHSPHI == h.AMAX && t.IAMAX == h.KAMAX);
    EXPECT_TRUE(t.BWLPHI == u.BWL && t.TCBPHI == u.TC && t.XMREF == 0.0 && t.ATRIM == 0.0);
    EXPECT_NEAR(t.VOLCB, b.st->input.VOLUME, 1e-9 * b.st->input.VOLUME);
    EXPECT_NEAR(t.LWLPHI, u.LWL, 1e-12);
    EXPECT_NEAR(b.st->balance.TLIFT, u.TMAX, 1e-12) << "the deepest keel point TMAX below the surface";
}

}  // namespace
}  // namespace carinex
