// The effective volume (the waterplanes weighted by the decay of the wave motion with depth, with
// its fast and slow limits) and the flare measures, on V hulls whose waterplanes and side slopes
// are known in closed form and on the round hull with a wet transom.
#include "flow/effective_volume.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "flow/level_cut.h"
#include "hydrostatics/heeled_support.h"

namespace carinex {
namespace {

using namespace test::heel;

// The V hull prepared at the volume of the hull without k2 below z = 0, its flare raised by
// k2*(x - x0)^2, in the trial state SINKG = TRIMW = 0 at the given heel; h is the waterline
// height and xs the offsets x of the prepared origin.
struct VeeCase {
    Bench b;
    CaseState& st = *b.st;
    test::VeeHull hull;
    double k2 = 0.0;
    int NSLOT = hull.stations - 1;
    double h = 0.0, xs = 0.0;

    explicit VeeCase(double heel, double length = 10.0, double flareBend = 0.0)
        : hull{.length = length}, k2(flareBend) {
        auto section = [&](double x, int k) {
            const double zk = hull.keel(x), z = zk + (hull.sheer - zk) * k / kTop;
            return test::SectionPoint{flareAt(x) * (z - zk), z};
        };
        EXPECT_EQ(test::prepareAnalyticHull(st, b.io, hull.stations, 0.0, length, section, hull.volume(0.0)), 0);
        EXPECT_EQ(uprightValues(st, b.io, NSLOT), 0);
        h = hull.keel(hull.x(NSLOT / 2)) + st.hull.ZS[ix(NSLOT / 2)][0];
        xs = hull.x(NSLOT / 2) - st.hull.XST[ix(NSLOT / 2)];
        setTrial(st, 0.0, 0.0, heel);
        EXPECT_EQ(kraeng(b, NSLOT), 0) << b.console.str();
    }
    double flareAt(double x) const { return hull.flare(x) + k2 * (x - hull.x0) * (x - hull.x0); }
    int voleff(double VBOOT) {
        int IERR = -1;
        VOLEFF(st, b.io, NSLOT, VBOOT, IERR);
        return IERR;
    }
    // A line of slope s meets the sides of a V of flare k 1/(1/k -+ s) out per height of the
    // level at the centre plane on the low and the high side.
    double out(double x, double sign) const { return 1.0 / (1.0 / flareAt(x + xs) - sign * std::fabs(st.point.TANPHI)); }
    // Breadth along the line at prepared x of the level z above the trial waterline, and its
    // line from the first two slots of the waterline to the aft end.
    double breadthAbove(double x, double z) const {
        const double c = st.point.COSPHI, e = h + z / c - hull.keel(x + xs);
        return e > 0.0 ? e * (out(x, 1.0) + out(x, -1.0)) / c : 0.0;
    }
    double aftBreadth(double z) const {
        const double x1 = st.hull.XST[ix(st.trial.ISTA1)], x2 = st.hull.XST[ix(st.trial.ISTA1 + 1)];
        return lineThrough(x1, breadthAbove(x1, z), x2, breadthAbove(x2, z), st.trial.XAPHI);
    }
};

// Upright the levels are the waterplanes of the V hull below z = h; the speed only weights them.
TEST(EffectiveVolume, VeeHullWaterplanesWeightedByTheSurfaceDecay) {
    VeeCase c(0.0);
    const double GRAV = c.st.run.GRAV, DEP = c.st.balance.TLIFT, &VOLFNZ = c.st.trial.VOLFNZ;
    ASSERT_NEAR(DEP, c.hull.depth + c.h, 1e-9);
    // decay per level step GV*DEP/40; across 0.2 the quadrature changes from the spline of the
    // weighted areas to the closed-form integral over the polygon of the areas
    for (double decay : {1e-6, 0.05, 0.199, 0.201, 1.0, 30.0}) {
        const double GV = decay * 40.0 / DEP;
        ASSERT_EQ(c.voleff(std::sqrt(GRAV / GV)), 0) << c.b.console.str();
        const int n = 4000;  // Simpson over the closed-form waterplanes
        double exact = c.hull.waterplane(c.h);
        for (int i = 1; i < n; ++i)
            exact += (i % 2 ? 4.0 : 2.0) * c.hull.waterplane(c.h - DEP * i / n) * std::exp(-GV * DEP * i / n);
        EXPECT_NEAR(VOLFNZ / (exact * DEP / n / 3.0), 1.0, decay == 0.199 ? 5e-4 : 3e-4) << "GV*dz = " << decay;
    }
    // fast the whole immersed volume counts; slow only the waterplane: VOLFNZ -> AWP(0)/GV
    ASSERT_EQ(c.voleff(1e4), 0);
    EXPECT_NEAR(VOLFNZ / c.hull.volume(c.h), 1.0, 3e-4);
    for (double VBOOT : {0.02, 0.002}) {
        ASSERT_EQ(c.voleff(VBOOT), 0);
        EXPECT_NEAR(VOLFNZ * GRAV / (VBOOT * VBOOT) / c.hull.waterplane(c.h), 1.0, 3e-4) << VBOOT;
    }
    ASSERT_EQ(c.voleff(0.0), 0) << "at rest";
    EXPECT_EQ(VOLFNZ, 0.0);
    EXPECT_EQ(c.st.flow.BTRQ, 0.0);
    EXPECT_TRUE(std::isfinite(c.st.flow.BFLARE) && std::isfinite(c.st.flow.BRUN));
    EXPECT_EQ(c.st.flow.KVEFF, 0.0) << "bare hull";
}

// A hull cut off forward of where its keel would meet the waterline: every level runs to the
// last station, and on one station spacing beyond it as the hydrostatics' waterline does.
TEST(EffectiveVolume, RunWetToTheLastStationEndsAsTheHydrostatics) {
    for (double heel : {0.0, 15.0}) {
        VeeCase c(heel, 8.0);
        ASSERT_EQ(c.st.trial.ISTA2, c.NSLOT + 1) << "wet to the bow";
        ASSERT_EQ(c.voleff(1e4), 0) << c.b.console.str();
        EXPECT_NEAR(c.st.trial.VOLFNZ / c.st.trial.VOLCB, 1.0, 3e-4) << heel;
    }
}

// On straight-sided sections the bow measures are the flare of the side seen along the heeled
// surface at the bow-wave position, interpolated between the stations that bracket it: off by up
// to 0.25^2/8*k'' (k'' = 0.06, some 5e-4), about three times that from the next pair; the heeled
// lee side bends it by up to 1/(1 - k*s)^2 more. The aft ones take the breadths above the
// waterline at the first two slots of the waterline straight to its aft end. Either heel is the same.
TEST(EffectiveVolume, VeeHullFlaresAreTheSideSlopes) {
    for (double heel : {0.0, 10.0, -10.0}) {
        VeeCase c(heel, 10.0, 0.03);
        const TrialHydrostatics& t = c.st.trial;
        const FlowResults& f = c.st.flow;
        const double cos2 = c.st.point.COSPHI * c.st.point.COSPHI;
        for (double VBOOT : {1.5, 2.5}) {
            ASSERT_EQ(c.voleff(VBOOT), 0) << c.b.console.str();
            const double FN = VBOOT / std::sqrt(c.st.run.GRAV * t.LWLPHI);
            const double XSW = t.XFPHI - (0.203 * FN + 0.11) * t.LWLPHI * FN;
            EXPECT_NEAR(f.BFLARE, (c.out(XSW, 1.0) + c.out(XSW, -1.0)) / (2.0 * cos2), 7e-4) << heel << " " << VBOOT;
            EXPECT_NEAR(f.ZFLARE, c.out(XSW, 1.0) / cos2 + std::fabs(c.st.point.TANPHI), 1e-3) << heel;
            const double TQ = std::min(VBOOT * VBOOT / (4.0 * c.st.run.GRAV), t.VOLCB / t.AWLPHI);
            EXPECT_NEAR(f.BTRQ, c.aftBreadth(TQ) / (2.0 * TQ), 1e-6) << heel << " " << VBOOT;
        }
        EXPECT_NEAR(f.BRUN, (t.BWLPHI - c.aftBreadth(t.TCBPHI / 3.0)) / 2.0 / (t.XMREF - t.XAPHI), 1e-6) << heel;
        if (heel != 0.0) continue;
        // the flare ratio of a V of depth d is r = (d + TM)/(d - TM); interpolated between
        // stations 0.25 apart it is off by up to 0.25^2/8*r'' with r'' = 2*TM/(d - TM)^2*2c ~ 0.14
        const double d = c.hull.draft(t.XMREF + c.xs, c.h), TM = 0.7 * t.VOLCB / t.AWLPHI;
        EXPECT_NEAR(f.BDYN, (d + TM) / (d - TM), 1.5e-3);
    }
}

// A wet aft-end section starts every level's run on it: fast, the effective volume is the whole
// immersed body, transom included, upright and heeled; slow, the waterplane over GV.
TEST(EffectiveVolume, ImmersedTransomStartsTheRun) {
    const RoundHull hull;
    Bench b;
    ASSERT_EQ(prepareRoundHull(b, hull), 0) << b.console.str();
    const TrialHydrostatics& t = b.st->trial;
    for (double heel : {0.0, 25.0}) {
        setTrial(*b.st, 0.0, 0.0, heel);
        ASSERT_EQ(kraeng(b, hull.stations - 1), 0) << b.console.str();
        ASSERT_EQ(t.XAPHI, b.st->hull.XST[0]) << "the transom is wet";
        for (double VBOOT : {1e4, 0.01}) {
            int IERR = -1;
            VOLEFF(*b.st, b.io, hull.stations - 1, VBOOT, IERR);
            ASSERT_EQ(IERR, 0) << b.console.str();
            const double slow = t.AWLPHI * b.st->point.COSPHI * VBOOT * VBOOT / b.st->run.GRAV;
            // the round body's waterplanes vanish like a square root at the deepest level, which the
            // spline through the 41 levels follows to about 1e-3
            EXPECT_NEAR(t.VOLFNZ / (VBOOT > 1.0 ? t.VOLCB : slow), 1.0, VBOOT > 1.0 ? 1.5e-3 : 1e-4)
                << heel << " " << VBOOT;
        }
    }
}

}  // namespace
}  // namespace carinex
