// The potential flow around the equivalent body of revolution and the dynamic waterline it
// gives: the spheroid's exact surface velocity and Lamb coefficients, the equivalent body of round
// sections, the mirror symmetry of the heeled flow; the smoothing of a velocity drop near the bow,
// the peak search, the start of the run; the failures that leave the free stream. The wave profile
// frozen above FN 0.61, the dynamic waterline's limit at rest and its end stations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "flow/dynamic_waterline_steps.h"
#include "flow/lamb_coefficients.h"
#include "flow/potential_flow.h"
#include "flow/potential_flow_steps.h"
#include "flow/streamline_length.h"
#include "flow/wave_profile.h"
#include "support/heeled_support.h"

namespace carinex {
namespace {

using namespace flow::wpoti;
using namespace test::heel;

// The round hull of 51 stations put straight into the prepared arrays, at a trial state whose
// heeled waterline KRAENG finds from the trial position XTRIAL of the bow wave; wpoti() runs the
// potential flow at a speed, with the Froude number on the heeled waterline as the force balance
// forms it.
struct FlowTrial {
    Bench b;
    CaseState& st = *b.st;
    RoundHull hull;
    double LWL = hull.xFwd() - hull.xAft(), XTRIAL = 0.0075 * LWL;
    double PSQ = std::nan("");  // the velocity integral, until a flow sets it

    explicit FlowTrial(double heel, double SINKG = 0.0, double TRIMW = 0.0, const RoundHull& round = {})
        : hull(round) {
        prepareDirect(st, 51, hull.xAft(), hull.xFwd(), [&](double x, int k) { return hull.point(x, k); });
        st.upright.LWL = LWL;
        setTrial(st, SINKG, TRIMW, heel);
        EXPECT_EQ(kraeng(b, 50, XTRIAL), 0) << b.console.str();
    }
    int wpoti(double VBOOT) {
        st.point.VBOOT = VBOOT;
        st.point.VNU = VBOOT / 1.19e-6;
        st.balance.FN = VBOOT / std::sqrt(st.run.GRAV * st.trial.LWLPHI);
        int IERR = 0;
        WPOTI(st, b.io, st.point.VNU, st.flow.DTRANS, XTRIAL, PSQ, st.trial.ISTA2 - st.trial.ISTA1 + 1, 50, IERR);
        return IERR;
    }
};

// Axial Lamb coefficient alpha0 of the prolate spheroid of thickness ratio b/a, e its eccentricity.
double spheroidAlpha0(double ratio) {
    const double e = std::sqrt(1.0 - ratio * ratio);
    return 2.0 * (1.0 - e * e) / (e * e * e) * (std::atanh(e) - e);
}

TEST(PotentialFlow, SpheroidSurfaceVelocityIsExact) {
    // The spheroid from xi = -1 to 0, closed (no wake): u/U = (1 + k1)*cos(surface slope) with
    // k1 = alpha0/(2 - alpha0). The comparison kernel regularises the nose only, so the closed
    // tail (the last 9 points, 7 % of the length), which a hull never has, is left out.
    for (double ratio : {0.05, 0.08, 0.1, 0.12}) {
        Collocation c;
        quadraturePoints(c, 0.0);
        const double a = 0.5, b = ratio * a, k1 = spheroidAlpha0(ratio) / (2.0 - spheroidAlpha0(ratio));
        for (int j = 1; j <= kBodyPoints; ++j) {
            const double u = (c.XQ[j] + 0.5) / a;
            c.Y[j] = b * std::sqrt(1.0 - u * u);
            c.COS[j] = 1.0 / std::sqrt(1.0 + b * b * u * u / (a * a * (1.0 - u * u)));
        }
        Kernel k;
        std::array<double, kFlowPoints> V{};
        ASSERT_GT(surfaceVelocity(c, k, V), 0) << ratio;
        for (int j = 1; j <= 33; ++j) EXPECT_NEAR(V[j], (1.0 + k1) * c.COS[j], 3e-4) << ratio << " point " << j;
        // a radius that is not a number spreads through every correction of the series; it must
        // not pass the convergence test by dropping out of the maximum
        c.Y[20] = std::nan("");
        EXPECT_EQ(surfaceVelocity(c, k, V), 0) << ratio;
    }
}

TEST(LambCoefficients, TableEndsAndInverse) {
    // the ellipsoid integral alpha0 = r*s*Int 1/((1 + l)^1.5*sqrt((r^2 + l)*(s^2 + l))) dl at
    // (r, s) = (0.1, 0.04) and (0.6, 0.4)
    EXPECT_NEAR(ALPHA0(1, 1), 0.0189852853, 5e-11);
    EXPECT_NEAR(ALPHA0(21, 19), 0.3348021669, 5e-11);
    // a spheroid's coefficient gives back its radius ratio to the
    // accuracy of the fitted inverse
    for (double rho : {0.1, 0.15, 0.2, 0.3, 0.4}) EXPECT_NEAR(RHOEQ(spheroidAlpha0(rho)), rho, 0.02 * rho);
    // beyond the table the smaller semi-axis, unless the table is to be extrapolated
    EXPECT_DOUBLE_EQ(equivalentRadiusRatio(0.7, 0.2, 1.0), 0.2);
    EXPECT_NE(equivalentRadiusRatio(0.7, 0.2, 1.0, true), 0.2);
}

TEST(PotentialFlow, SmoothingPassOnlyForADropNearTheBow) {
    // a drop of more than 1 % between neighbours among points 1 ... 20 triggers one pass over
    // points 1 ... 50, in place: each point sees its already smoothed neighbour aft; behind the
    // drop the velocity falls off on a parabola, which the pass bends
    struct Case { int at; double ratio; bool smoothed; };
    for (const Case c : {Case{19, 1.012, true}, Case{20, 1.012, false}, Case{5, 1.00995, false},
                         Case{1, 1.01005, true}}) {
        std::array<double, kFlowPoints> V{};  // 0 at the nose, 1 down to the drop, then the parabola
        for (int i = 1; i < kFlowPoints; ++i)
            V[i] = i <= c.at ? 1.0 : (1.0 - 1e-4 * (i - c.at - 1) * (i - c.at - 1)) / c.ratio;
        const auto before = V;
        ASSERT_EQ(smoothVelocity(V), c.smoothed) << c.at;
        double prev = 0.0;
        for (int i = 1; i <= 50 && c.smoothed; ++i) {
            prev = (prev + 2.0 * before[i] + before[i + 1]) / 4.0;
            EXPECT_DOUBLE_EQ(V[i], prev) << i;
        }
        for (int i = c.smoothed ? 51 : 0; i < kFlowPoints; ++i) EXPECT_EQ(V[i], before[i]) << c.at << " " << i;
    }
}

TEST(PotentialFlow, PeakIsSearchedOverPoints10To38) {
    // velocities on one parabola with its vertex 1.05 between points 20 and 21: any three
    // neighbours give back that vertex; higher values outside the window do not count, nor point
    // 38 equal to the largest before it; a higher point 37 or 38 does
    Collocation c;
    quadraturePoints(c, 0.1);
    const double xc = 0.5 * (c.XQ[20] + c.XQ[21]);
    std::array<double, kFlowPoints> V;
    for (int i = 0; i < kFlowPoints; ++i) V[i] = 1.05 - 4.0 * (c.XQ[i] - xc) * (c.XQ[i] - xc);
    V[9] = V[39] = V[40] = 1.3;
    EXPECT_NEAR(peakVelocity(c, V), 1.05, 1e-12);
    V[38] = std::max(V[20], V[21]);
    EXPECT_NEAR(peakVelocity(c, V), 1.05, 1e-12);
    for (int k : {37, 38}) {
        auto higher = V;
        higher[k] = 1.2;
        EXPECT_GE(peakVelocity(c, higher), 1.2) << k;
    }
}

TEST(PotentialFlow, RunBeginsOnlyBetweenWetSlots) {
    // breadth 4 and area 1 (depth 0.25) everywhere: no run; slot 10 of breadth 2 and area 0.2
    // falls in depth below its neighbour while the breadth drops by 2 > 2*0.25: the run begins there
    struct Case { int ISTD1, drySlot; bool runAt10; int IRUN; };
    for (const Case c : {Case{2, -1, false, 2}, Case{2, -1, true, 10}, Case{2, 15, false, 2}, Case{2, 15, true, 10},
                         Case{2, 11, true, 2}, Case{18, -1, true, 18}}) {
        auto st = makeCaseState();
        FlowResults& f = st->flow;
        for (int K = 0; K < kStationSlots; ++K) {
            st->hull.XST[K] = K;
            f.BSECD[K] = c.runAt10 && K == 10 ? 2.0 : 4.0;
            f.ASECD[K] = c.runAt10 && K == 10 ? 0.2 : 1.0;
        }
        if (c.drySlot >= 0) f.BSECD[c.drySlot] = f.ASECD[c.drySlot] = 0.0;
        f.ISTD1 = c.ISTD1;
        f.XADYN = c.ISTD1 + 0.5;
        double XRUN = 0.0;
        startOfRun(*st, XRUN);
        EXPECT_EQ(f.IRUN, c.IRUN) << c.drySlot << " " << c.runAt10;
        EXPECT_EQ(XRUN, c.IRUN == c.ISTD1 ? f.XADYN : st->hull.XST[c.IRUN]);
    }
}

TEST(PotentialFlow, EquivalentBodyOfRoundSectionsHasTheirRadii) {
    FlowTrial r(0.0);
    const TrialHydrostatics& t = r.st.trial;
    SLAUF(r.st, r.b.io, t.ISTA2 - t.ISTA1 + 1);
    Body body;
    equivalentBody(r.st, r.st.point.VNU, body);
    EXPECT_NEAR(r.st.flow.DEQ, std::sqrt(2.0 * t.AHSPHI / M_PI), 0.02 * r.hull.Rmax) << "of the largest section";
    for (int n = 2, K = t.ISTA2 - 1; K > t.ISTA1; --K, ++n)
        EXPECT_NEAR(body.REQ(n), r.hull.R(r.st.hull.XST[K]), 0.02 * r.hull.Rmax) << "station " << K;
    // Sections flatter than the aspect cap pi B^2/(8A) = 100 are all taken at the cap.
    const int K = (t.ISTA1 + t.ISTA2) / 2, n = t.ISTA2 - K + 1;
    const auto radiusAt = [&](double aspect) {
        r.st.trial.BSEC[K] = std::sqrt(8.0 * t.ASEC[K] * aspect / M_PI);
        equivalentBody(r.st, r.st.point.VNU, body);
        return body.REQ(n);
    };
    EXPECT_EQ(radiusAt(150.0), radiusAt(400.0));
}

TEST(PotentialFlow, MirroredHeelGivesTheSameFlow) {
    std::vector<double> sides[2];
    for (int side = 0; side < 2; ++side) {
        FlowTrial r(side == 0 ? 20.0 : -20.0, 0.01, 0.002);
        ASSERT_EQ(r.wpoti(3.5), 0);
        const FlowResults& f = r.st.flow;
        EXPECT_GT(r.PSQ, 0.0);
        sides[side] = {r.PSQ, f.DEQ, f.DTRANS, f.WENTER, f.UMAX, f.UMIN, f.U25, f.XFDYN, f.XADYN, f.SSTART, f.HCREST,
                       double(f.ISTD1), double(f.ISTD2), double(f.IRUN), double(f.NSR)};
        for (int i = 0; i <= kBodyPoints; ++i) sides[side].insert(sides[side].end(), {f.VSURF[i], f.SELLI[i]});
        for (int n = 1; n <= f.NSR; ++n) sides[side].insert(sides[side].end(), {f.SR(n), f.DSR(n)});
        for (int K = 0; K < kStationSlots; ++K)
            sides[side].insert(sides[side].end(), {f.ASECD[K], f.BSECD[K], f.GIRTHD[K]});
    }
    ASSERT_EQ(sides[0].size(), sides[1].size());
    for (std::size_t i = 0; i < sides[0].size(); ++i) EXPECT_NEAR(sides[0][i], sides[1][i], 1e-12) << "value " << i;
}

// Above FN 0.61 the wave profile is frozen but for its amplitude: the same elevation at FN 0.65 and
// 0.9; twice the velocity integral raises crest, trough and stern wave by their power laws and
// moves only the trough (aft).
TEST(WaveProfile, FrozenAboveFroude061ExceptForItsAmplitude) {
    FlowResults f[3];
    flow::WaveLimits w[3];
    const double FN[] = {0.65, 0.9, 0.9}, PABS[] = {0.05, 0.05, 0.1};
    for (int i = 0; i < 3; ++i) {
        auto st = makeCaseState();
        st->trial.XFPHI = st->trial.LWLPHI = 10.0;  // from XAPHI = 0
        st->balance.FN = FN[i];
        w[i] = flow::waveProfile(*st, PABS[i]);
        f[i] = st->flow;
    }
    for (double x = -1.0; x <= 11.0; x += 0.25)
        EXPECT_EQ(flow::waveElevation(f[0], w[0], x), flow::waveElevation(f[1], w[1], x)) << x;
    EXPECT_NEAR(f[2].HCREST / f[1].HCREST, std::pow(2.0, 0.35), 1e-12);
    EXPECT_NEAR(f[2].HTROU / f[1].HTROU, std::pow(2.0, 1.38), 1e-12);
    EXPECT_NEAR(f[2].HSTERN / f[1].HSTERN, std::pow(2.0, 1.07), 1e-12);
    EXPECT_TRUE(f[2].XCREST == f[1].XCREST && f[2].XTROU < f[1].XTROU);
}

// At rest only a small bow crest remains: the dynamic sections differ from the static ones by less
// than 1e-3 of the largest, ten times less than at speed, upright and heeled.
TEST(DynamicWaterline, TendsToTheStaticOneAsTheSpeedVanishes) {
    for (double heel : {0.0, 20.0}) {
        double change[2] = {0.0, 0.0};
        for (int i : {0, 1}) {
            FlowTrial r(heel);
            ASSERT_EQ(r.wpoti(i == 0 ? 0.02 : 3.5), 0) << heel;
            const TrialHydrostatics& t = r.st.trial;
            for (int K = t.ISTA1 + 1; K < t.ISTA2 - 2; ++K)
                change[i] = std::max(change[i], std::fabs(r.st.flow.ASECD[K] - t.ASEC[K]) / t.AHSPHI);
        }
        EXPECT_LT(change[0], 1e-3) << heel;
        EXPECT_GT(change[1], 10.0 * change[0]) << heel;
    }
}

// Level water over stations 0.5 m apart and a keel rising through it at xEnd, 0.02 m (0.002 LWL)
// beyond slot 15 at the bow or slot 5 at the stern: the end station is dropped where the breadths
// of the last three stations kink, kept where they run on; a bow wet to the last slot ends one
// spacing beyond it.
TEST(DynamicWaterline, EndStationCloseToAKinkedEndIsDropped) {
    // B: the breadths of slots 13..15 (bow) or 5..7 (stern); x, station: the end found and ISTD2
    // or ISTD1 after
    const struct { bool bow; double xEnd, B[3], x; int station; } cases[] = {
        {true, 7.52, {1.5, 1.0, 0.5}, 7.52, 16}, {true, 7.52, {1.2, 1.0, 0.6}, 7.52, 16},
        {true, 7.52, {1.2, 1.0, 0.9}, 7.52, 15}, {false, 2.48, {0.5, 1.0, 1.5}, 2.48, 4},
        {false, 2.48, {0.9, 1.0, 1.2}, 2.48, 5}, {true, 12.0, {1.0, 1.0, 1.0}, 10.5, 21}};
    for (const auto& c : cases) {
        auto st = makeCaseState();
        FlowResults& f = st->flow;
        st->upright.LWL = 10.0;
        f.XTROU = 1e9;  // the trough level, 0, everywhere
        for (int K = 0; K <= 20; ++K) {
            st->hull.XST[K] = 0.5 * K;
            st->upright.ZREF[K] = 0.3 * (c.bow ? c.xEnd - 0.5 * K : 0.5 * K - c.xEnd);
        }
        for (int i = 0; i < 3; ++i) f.BSECD[(c.bow ? 13 : 5) + i] = c.B[i];
        f.ASECD[15] = 0.1;
        f.ISTD1 = 4;
        f.ISTD2 = c.xEnd > 10.0 ? 21 : 16;
        flow::dynwl::Dynwl d{*st, 20, flow::WaveLimits{0.0, 0.0, 1e9}};
        (c.bow ? flow::dynwl::forwardEnd : flow::dynwl::aftEnd)(d);
        EXPECT_NEAR(c.bow ? f.XFDYN : f.XADYN, c.x, 1e-12) << c.xEnd;
        EXPECT_EQ(c.bow ? f.ISTD2 : f.ISTD1, c.station) << c.B[2];
        EXPECT_TRUE(c.station != 15 || f.ASECD[15] == 0.0) << "the dropped station is dry";
    }
}

TEST(PotentialFlow, FailuresLeaveTheFreeStreamOnTheStaticWaterline) {
    FlowTrial few(0.0);
    few.st.trial.ISTA1 = few.st.trial.ISTA2 - 5;  // six wetted stations: an error
    EXPECT_EQ(few.wpoti(3.0), 1);
    EXPECT_EQ(few.b.console.str(), "") << "the caller reports the failed flow";
    // so fat a body that the series of the integral equation diverges
    FlowTrial r(0.0, 0.0, 0.0, {.a = 3.0, .Rmax = 2.0, .top = 3.2});
    r.st.run.DIAG = true;
    ASSERT_EQ(r.wpoti(3.0), 0);
    const FlowResults& f = r.st.flow;
    const TrialHydrostatics& t = r.st.trial;
    EXPECT_NE(r.b.console.str().find("keine Lösung WPOTI"), std::string::npos);
    for (double zero : {r.PSQ, f.HCREST}) EXPECT_EQ(zero, 0.0) << "no velocity integral, no bow crest";
    EXPECT_EQ(f.UMAX, 1.0);
    for (double u : {f.UMIN, f.U25}) EXPECT_NEAR(u, 1.0, 1e-12) << "the free stream";
    EXPECT_TRUE(f.XFDYN == t.XFPHI && f.XADYN == t.XAPHI && f.ISTD1 == t.ISTA1 && f.ISTD2 == t.ISTA2);
    EXPECT_EQ(f.ASECD, t.ASEC);
    EXPECT_NEAR(f.SELLI[0], 0.0, 1e-12);
}

}  // namespace
}  // namespace carinex
