// The potential flow around the equivalent body of revolution: the spheroid's exact surface
// velocity and Lamb coefficients, the equivalent body of round sections, the mirror symmetry of
// the heeled flow, and the failures that leave the free stream.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "flow/flow_support.h"
#include "flow/lamb_coefficients.h"
#include "flow/potential_flow_steps.h"
#include "flow/streamline_length.h"

namespace carinex {
namespace {

using namespace flow::wpoti;
using test::flow::RoundTrial;

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
    // (r, s) = (0.1, 0.04) and (0.6, 0.4); the sphere's 2/3
    EXPECT_NEAR(ALPHA0(1, 1), 0.0189852853, 5e-11);
    EXPECT_NEAR(ALPHA0(21, 19), 0.3348021669, 5e-11);
    EXPECT_NEAR(RHOEQ(0.6666), 1.0, 1e-2);
    // a spheroid's coefficient, and a circular section, give back its radius ratio to the
    // accuracy of the fitted inverse
    for (double rho : {0.1, 0.15, 0.2, 0.3, 0.4}) {
        EXPECT_NEAR(RHOEQ(spheroidAlpha0(rho)), rho, 0.02 * rho) << rho;
        EXPECT_NEAR(equivalentRadiusRatio(rho, rho, 1.0), rho, 0.02 * rho) << rho;
    }
    // beyond the table the smaller semi-axis, unless the table is to be extrapolated
    EXPECT_DOUBLE_EQ(equivalentRadiusRatio(0.7, 0.2, 1.0), 0.2);
    EXPECT_NE(equivalentRadiusRatio(0.7, 0.2, 1.0, true), 0.2);
}

TEST(PotentialFlow, EquivalentBodyOfRoundSectionsHasTheirRadii) {
    RoundTrial r(0.0);
    const TrialHydrostatics& t = r.st.trial;
    SLAUF(r.st, r.b.io, t.ISTA2 - t.ISTA1 + 1);
    Body body;
    equivalentBody(r.st, r.st.point.VNU, body);
    EXPECT_NEAR(r.st.flow.DEQ, std::sqrt(2.0 * t.AHSPHI / M_PI), 0.02 * r.hull.Rmax) << "of the largest section";
    for (int n = 2, K = t.ISTA2 - 1; K > t.ISTA1; --K, ++n)
        EXPECT_NEAR(body.REQ(n), r.hull.R(r.st.hull.XST[K]), 0.02 * r.hull.Rmax) << "station " << K;
}

TEST(PotentialFlow, MirroredHeelGivesTheSameFlow) {
    std::vector<double> sides[2];
    for (int side = 0; side < 2; ++side) {
        RoundTrial r(side == 0 ? 20.0 : -20.0, 0.01, 0.002);
        double PSQ = 0.0;
        ASSERT_EQ(r.wpoti(3.5, PSQ), 0);
        const FlowResults& f = r.st.flow;
        EXPECT_GT(PSQ, 0.0);
        EXPECT_GT(f.UMAX, 1.0);
        sides[side] = {PSQ, f.DEQ, f.DTRANS, f.WENTER, f.UMAX, f.UMIN, f.U25, f.XFDYN, f.XADYN, f.SSTART, f.HCREST,
                       double(f.ISTD1), double(f.ISTD2), double(f.IRUN), double(f.NSR)};
        for (int i = 0; i <= kBodyPoints; ++i) sides[side].insert(sides[side].end(), {f.VSURF[i], f.SELLI[i]});
        for (int n = 1; n <= f.NSR; ++n) sides[side].insert(sides[side].end(), {f.SR(n), f.DSR(n)});
        for (int K = 0; K < kStationSlots; ++K) sides[side].insert(sides[side].end(), {f.ASECD[K], f.BSECD[K], f.GIRTHD[K]});
    }
    ASSERT_EQ(sides[0].size(), sides[1].size());
    for (std::size_t i = 0; i < sides[0].size(); ++i) EXPECT_NEAR(sides[0][i], sides[1][i], 1e-12) << "value " << i;
}

TEST(PotentialFlow, FailuresLeaveTheFreeStreamOnTheStaticWaterline) {
    RoundTrial few(0.0);
    few.st.trial.ISTA1 = few.st.trial.ISTA2 - 5;  // six wetted stations: an error
    double PSQ = 1.0;
    EXPECT_EQ(few.wpoti(3.0, PSQ), 1);
    EXPECT_EQ(few.b.console.str(), "") << "the caller reports the failed flow";
    test::heel::RoundHull fat;  // so fat a body that the series of the integral equation diverges
    fat.Rmax = 2.0;
    fat.a = 3.0;
    fat.top = 3.2;
    RoundTrial r(0.0, 0.0, 0.0, fat);
    r.st.run.DIAG = true;
    ASSERT_EQ(r.wpoti(3.0, PSQ), 0);
    const FlowResults& f = r.st.flow;
    const TrialHydrostatics& t = r.st.trial;
    EXPECT_NE(r.b.console.str().find("keine Lösung WPOTI"), std::string::npos);
    EXPECT_EQ(PSQ, 0.0);
    EXPECT_EQ(f.UMAX, 1.0);
    EXPECT_NEAR(f.UMIN, 1.0, 1e-12);
    EXPECT_NEAR(f.U25, 1.0, 1e-12);
    EXPECT_EQ(f.HCREST, 0.0);
    EXPECT_TRUE(f.XFDYN == t.XFPHI && f.XADYN == t.XAPHI && f.ISTD1 == t.ISTA1 && f.ISTD2 == t.ISTA2);
    EXPECT_EQ(f.ASECD, t.ASEC);
    EXPECT_NEAR(f.SELLI[0], 0.0, 1e-12);
}

}  // namespace
}  // namespace carinex
