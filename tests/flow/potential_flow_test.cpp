// The potential flow around the equivalent body of revolution.
#include <gtest/gtest.h>

#include <cmath>

#include "flow/lamb_coefficients.h"
#include "flow/potential_flow.h"
#include "flow/potential_flow_steps.h"
#include "flow/streamline_length.h"
#include "flow/flow_support.h"

namespace carinex {
namespace {

using namespace flow::wpoti;
using test::heel::Bench;

// Axial Lamb coefficient k1 of the prolate spheroid of thickness ratio b/a (e its eccentricity):
// alpha0 = 2*(1 - e^2)/e^3*(atanh(e) - e), k1 = alpha0/(2 - alpha0).
double spheroidK1(double ratio) {
    const double e = std::sqrt(1.0 - ratio * ratio);
    const double alpha0 = 2.0 * (1.0 - e * e) / (e * e * e) * (std::atanh(e) - e);
    return alpha0 / (2.0 - alpha0);
}

TEST(PotentialFlow, SpheroidSurfaceVelocityIsExact) {
    // The spheroid from xi = -1 to 0, closed (no wake): u/U = (1 + k1)*cos(surface slope). The
    // comparison kernel regularises the nose only, so the closed tail (the last 9 points, 7 % of
    // the length), which a hull never has, is left out.
    constexpr int kOpenBody = 33;
    for (double ratio : {0.05, 0.08, 0.1, 0.12}) {
        Collocation c;
        quadraturePoints(c, 0.0);
        const double a = 0.5, b = ratio * a;
        for (int j = 1; j <= kBodyPoints; ++j) {
            const double u = (c.XQ[j] + 0.5) / a;
            c.Y[j] = b * std::sqrt(1.0 - u * u);
            const double slope = -b * u / (a * std::sqrt(1.0 - u * u));
            c.COS[j] = 1.0 / std::sqrt(1.0 + slope * slope);
        }
        Kernel k;
        std::array<double, kFlowPoints> V{};
        ASSERT_GT(surfaceVelocity(c, k, V), 0) << ratio;
        double worst = 0.0;
        for (int j = 1; j <= kOpenBody; ++j) worst = std::max(worst, std::fabs(V[j] - (1.0 + spheroidK1(ratio)) * c.COS[j]));
        EXPECT_LT(worst, 3e-4) << "thickness ratio " << ratio;
    }
}

TEST(LambCoefficients, TableEndsAndInverse) {
    EXPECT_NEAR(ALPHA0(1, 1), 0.0189852853, 5e-11);
    EXPECT_NEAR(ALPHA0(21, 19), 0.3348021669, 5e-11);
    EXPECT_NEAR(RHOEQ(0.03948), 0.1, 1e-4);
    EXPECT_NEAR(RHOEQ(0.6666), 1.0, 1e-2);
    // a circular section gives back, to the accuracy of the fitted inverse, the spheroid's own radius ratio
    for (double rho : {0.1, 0.15, 0.2, 0.3, 0.4}) EXPECT_NEAR(equivalentRadiusRatio(rho, rho, 1.0), rho, 0.02 * rho) << rho;
    // beyond the table the smaller semi-axis, unless the table is to be extrapolated
    EXPECT_DOUBLE_EQ(equivalentRadiusRatio(0.7, 0.2, 1.0), 0.2);
    EXPECT_NE(equivalentRadiusRatio(0.7, 0.2, 1.0, true), 0.2);
}

TEST(PotentialFlow, SmoothingPassOnlyForADropNearTheBow) {
    // a drop of more than 1 % between neighbours among points 1 ... 20 triggers one pass
    struct Case {
        int at;
        double ratio;
        bool smoothed;
    };
    for (const Case c : {Case{19, 1.012, true}, Case{20, 1.012, false}, Case{5, 1.009, false}, Case{1, 1.02, true}}) {
        std::array<double, kFlowPoints> V;
        V.fill(1.0);
        V[0] = 0.0;
        for (int i = c.at + 1; i < kFlowPoints; ++i) V[i] = 1.0 / c.ratio;
        const auto before = V;
        EXPECT_EQ(smoothVelocity(V), c.smoothed) << c.at;
        if (!c.smoothed) {
            EXPECT_EQ(V, before);
            continue;
        }
        // one pass, in place from point 1: each point sees its already smoothed neighbour aft
        double prev = 0.0;
        for (int i = 1; i <= 50; ++i) {
            const double expected = (prev + 2.0 * before[i] + before[i + 1]) / 4.0;
            EXPECT_DOUBLE_EQ(V[i], expected) << i;
            prev = expected;
        }
        EXPECT_EQ(V[51], before[51]);
    }
}

TEST(PotentialFlow, PeakIsSearchedOverPoints10To38) {
    Collocation c;
    quadraturePoints(c, 0.1);
    // velocities on one parabola with its vertex 1.05 between points 20 and 21: any three
    // neighbours give back that vertex
    const double xc = 0.5 * (c.XQ[20] + c.XQ[21]);
    const auto onParabola = [&] {
        std::array<double, kFlowPoints> V;
        for (int i = 0; i < kFlowPoints; ++i) V[i] = 1.05 - 4.0 * (c.XQ[i] - xc) * (c.XQ[i] - xc);
        return V;
    };
    std::array<double, kFlowPoints> V = onParabola();
    EXPECT_NEAR(peakVelocity(c, V), 1.05, 1e-12);
    // higher values outside the window do not count
    V[9] = V[39] = V[40] = 1.3;
    EXPECT_NEAR(peakVelocity(c, V), 1.05, 1e-12);
    // point 38 equal to the largest before it does not win; above it, it does
    const int k = V[20] >= V[21] ? 20 : 21;
    V = onParabola();
    V[38] = V[k];
    EXPECT_NEAR(peakVelocity(c, V), 1.05, 1e-12);
    V[38] = 1.2;
    EXPECT_GE(peakVelocity(c, V), 1.2);
}

TEST(PotentialFlow, NaNInTheBodyIsNoSolution) {
    // a body radius that is not a number spreads through every correction of the series; it must
    // not pass the convergence test by dropping out of the maximum
    Collocation c;
    quadraturePoints(c, 0.1);
    for (int j = 1; j <= kBodyPoints; ++j) c.Y[j] = 0.1;
    c.Y[20] = std::nan("");
    Kernel k;
    std::array<double, kFlowPoints> V{};
    EXPECT_EQ(surfaceVelocity(c, k, V), 0);
}

TEST(PotentialFlow, RunBeginsOnlyBetweenWetSlots) {
    // breadth 4 and area 1 (depth 0.25) everywhere: no run; slot 10 of breadth 2 and area 0.2
    // falls in depth below its neighbour while the breadth drops by 2 > 2*0.25: the run begins there
    struct Case {
        int ISTD1, drySlot;
        bool runAt10;
        int IRUN;
    };
    for (const Case c : {Case{2, -1, false, 2}, Case{2, -1, true, 10}, Case{2, 15, false, 2}, Case{2, 15, true, 10},
                         Case{2, 11, true, 2}, Case{18, -1, true, 18}}) {
        Bench b;
        CaseState& st = *b.st;
        FlowResults& f = st.flow;
        for (int K = 0; K < kStationSlots; ++K) {
            st.hull.XST[K] = K;
            f.BSECD[K] = 4.0;
            f.ASECD[K] = 1.0;
        }
        if (c.runAt10) {
            f.BSECD[10] = 2.0;
            f.ASECD[10] = 0.2;
        }
        if (c.drySlot >= 0) f.BSECD[c.drySlot] = f.ASECD[c.drySlot] = 0.0;
        f.ISTD1 = c.ISTD1;
        f.XADYN = c.ISTD1 + 0.5;
        double XRUN = 0.0;
        startOfRun(st, XRUN);
        EXPECT_EQ(f.IRUN, c.IRUN) << c.drySlot << " " << c.runAt10;
        EXPECT_EQ(XRUN, c.IRUN == c.ISTD1 ? f.XADYN : st.hull.XST[c.IRUN]);
    }
}

// KRAENG, then the static streamline and the equivalent body of the trial state.
int bodyOf(Bench& b, int NSLOT, Body& body) {
    const int IERR = test::heel::kraeng(b, NSLOT, 0.0075 * b.st->upright.LWL);
    if (IERR != 0) return IERR;
    const TrialHydrostatics& t = b.st->trial;
    SLAUF(*b.st, b.io, t.ISTA2 - t.ISTA1 + 1);
    equivalentBody(*b.st, b.st->point.VNU, body);
    return 0;
}

TEST(PotentialFlow, EquivalentBodyOfASpheroidHullIsTheSpheroid) {
    Bench b;
    const test::flow::SpheroidHull hull;
    hull.prepare(*b.st);
    b.st->upright.LWL = hull.xFwd() - hull.xAft();
    test::heel::setTrial(*b.st, 0.0, 0.0, 0.0);
    Body body;
    ASSERT_EQ(bodyOf(b, hull.NSLOT(), body), 0);
    const FlowResults& f = b.st->flow;
    EXPECT_NEAR(f.DEQ, hull.R0, 0.02 * hull.R0);
    const TrialHydrostatics& t = b.st->trial;
    for (int n = 2, K = t.ISTA2 - 1; K > t.ISTA1; --K, ++n)
        EXPECT_NEAR(body.REQ(n), hull.R(b.st->hull.XST[K]), 0.02 * hull.R0) << "station " << K;
}

// Every flow result of WPOTI at the trial state, for comparing two runs.
struct FlowPicture {
    std::vector<double> values;
    explicit FlowPicture(const CaseState& st) {
        const FlowResults& f = st.flow;
        values = {f.DEQ, f.DTRANS, f.WENTER, f.UMAX, f.UMIN, f.U25, f.XFDYN, f.XADYN, f.SSTART, f.HCREST,
                  double(f.ISTD1), double(f.ISTD2), double(f.IRUN), double(f.NSR)};
        for (int i = 0; i <= kBodyPoints; ++i) values.insert(values.end(), {f.VSURF[i], f.SELLI[i]});
        for (int n = 1; n <= f.NSR; ++n) values.insert(values.end(), {f.SR(n), f.DSR(n)});
        for (int K = 0; K < kStationSlots; ++K) values.insert(values.end(), {f.ASECD[K], f.BSECD[K], f.GIRTHD[K]});
    }
};

int potentialFlow(Bench& b, int NSLOT, double VBOOT, double& PSQ) {
    CaseState& st = *b.st;
    const double XTRIAL = 0.0075 * st.upright.LWL;
    int IERR = test::heel::kraeng(b, NSLOT, XTRIAL);
    if (IERR != 0) return IERR;
    test::flow::setSpeed(st, VBOOT);
    const TrialHydrostatics& t = st.trial;
    WPOTI(st, b.io, st.point.VNU, st.flow.DTRANS, XTRIAL, PSQ, t.ISTA2 - t.ISTA1 + 1, NSLOT, IERR);
    return IERR;
}

TEST(PotentialFlow, MirroredHeelGivesTheSameFlow) {
    const test::flow::SpheroidHull hull;
    std::vector<double> sides[2];
    for (int side = 0; side < 2; ++side) {
        Bench b;
        hull.prepare(*b.st);
        b.st->upright.LWL = hull.xFwd() - hull.xAft();
        test::heel::setTrial(*b.st, 0.01, 0.002, side == 0 ? 20.0 : -20.0);
        double PSQ = 0.0;
        ASSERT_EQ(potentialFlow(b, hull.NSLOT(), 3.5, PSQ), 0);
        EXPECT_GT(PSQ, 0.0);
        EXPECT_GT(b.st->flow.UMAX, 1.0);
        sides[side] = FlowPicture(*b.st).values;
    }
    ASSERT_EQ(sides[0].size(), sides[1].size());
    for (std::size_t i = 0; i < sides[0].size(); ++i) EXPECT_NEAR(sides[0][i], sides[1][i], 1e-12) << "value " << i;
}

TEST(PotentialFlow, RunOfFewerThanSevenStationsIsAFailure) {
    Bench b;
    const test::flow::SpheroidHull hull;
    hull.prepare(*b.st);
    b.st->upright.LWL = hull.xFwd() - hull.xAft();
    test::heel::setTrial(*b.st, 0.0, 0.0, 0.0);
    CaseState& st = *b.st;
    const double XTRIAL = 0.0075 * st.upright.LWL;
    ASSERT_EQ(test::heel::kraeng(b, hull.NSLOT(), XTRIAL), 0);
    test::flow::setSpeed(st, 3.0);
    TrialHydrostatics& t = st.trial;
    t.ISTA1 = t.ISTA2 - 5;  // six wetted stations
    double PSQ = 0.0;
    int IERR = 0;
    WPOTI(st, b.io, st.point.VNU, st.flow.DTRANS, XTRIAL, PSQ, t.ISTA2 - t.ISTA1 + 1, hull.NSLOT(), IERR);
    EXPECT_EQ(IERR, 1);
    EXPECT_EQ(b.console.str(), "") << "the caller reports the failed flow";
}

TEST(PotentialFlow, NoSolutionLeavesTheFreeStreamOnTheStaticWaterline) {
    // so fat a body that the series of the integral equation diverges
    Bench b;
    test::flow::SpheroidHull hull;
    hull.R0 = 2.0;
    hull.top = 3.2;
    hull.prepare(*b.st);
    b.st->upright.LWL = hull.xFwd() - hull.xAft();
    b.st->run.DIAG = true;
    test::heel::setTrial(*b.st, 0.0, 0.0, 0.0);
    double PSQ = 1.0;
    ASSERT_EQ(potentialFlow(b, hull.NSLOT(), 3.0, PSQ), 0);
    const FlowResults& f = b.st->flow;
    const TrialHydrostatics& t = b.st->trial;
    EXPECT_NE(b.console.str().find("keine Lösung WPOTI"), std::string::npos);
    EXPECT_EQ(PSQ, 0.0);
    EXPECT_EQ(f.UMAX, 1.0);
    EXPECT_EQ(f.XFDYN, t.XFPHI);
    EXPECT_EQ(f.XADYN, t.XAPHI);
    EXPECT_EQ(f.ISTD1, t.ISTA1);
    EXPECT_EQ(f.ISTD2, t.ISTA2);
    EXPECT_EQ(f.ASECD, t.ASEC);
    EXPECT_EQ(f.HCREST, 0.0);
    EXPECT_NEAR(f.UMIN, 1.0, 1e-12);
    EXPECT_NEAR(f.U25, 1.0, 1e-12);
    EXPECT_NEAR(f.SELLI[0], 0.0, 1e-12);
}

}  // namespace
}  // namespace carinex
