// The effective volume and the flare measures on hulls whose waterplanes and
// flares are known in closed form.
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
        EXPECT_EQ(test::prepareAnalyticHull(*b.st, b.io, hull.stations, 0.0, length, section, hull.volume(0.0)), 0);
        EXPECT_EQ(uprightValues(*b.st, b.io, NSLOT), 0);
        h = hull.keel(hull.x(NSLOT / 2)) + b.st->hull.ZS[ix(NSLOT / 2)][0];
        xs = hull.x(NSLOT / 2) - b.st->hull.XST[ix(NSLOT / 2)];
        setTrial(*b.st, 0.0, 0.0, heel);
        EXPECT_EQ(kraeng(b, NSLOT), 0) << b.console.str();
    }
    double flareAt(double x) const { return hull.flare(x) + k2 * (x - hull.x0) * (x - hull.x0); }
    int voleff(double VBOOT) {
        int IERR = -1;
        VOLEFF(*b.st, b.io, NSLOT, VBOOT, IERR);
        return IERR;
    }
    // A line of slope s meets the sides of a V of flare k 1/(1/k -+ s) out per height of the
    // level at the centre plane on the low and the high side.
    double out(double x, double sign) const {
        return 1.0 / (1.0 / flareAt(x + xs) - sign * std::fabs(b.st->point.TANPHI));
    }
    double cos() const { return b.st->point.COSPHI; }
    // Breadth along the line at prepared x of the level z above the trial waterline.
    double breadthAbove(double x, double z) const {
        const double e = h + z / cos() - hull.keel(x + xs);
        return e > 0.0 ? e * (out(x, 1.0) + out(x, -1.0)) / cos() : 0.0;
    }
    // ... from the first two slots of the waterline to its aft end
    double aftBreadth(double z) const {
        const double x1 = b.st->hull.XST[ix(b.st->trial.ISTA1)], x2 = b.st->hull.XST[ix(b.st->trial.ISTA1 + 1)];
        return lineThrough(x1, breadthAbove(x1, z), x2, breadthAbove(x2, z), b.st->trial.XAPHI);
    }
};

// Upright the levels are the waterplanes of the V hull below z = h; the speed only weights them.
TEST(EffectiveVolume, VeeHullWaterplanesWeightedByTheSurfaceDecay) {
    VeeCase c(0.0);
    const double GRAV = c.b.st->run.GRAV, DEP = c.b.st->balance.TLIFT;
    const double &VOLFNZ = c.b.st->trial.VOLFNZ, AWP0 = c.hull.waterplane(c.h);
    ASSERT_NEAR(DEP, c.hull.depth + c.h, 1e-9);
    // decay per level step GV*DEP/40; across 0.2 the quadrature changes from the spline of the
    // weighted areas to the closed-form integral over the polygon of the areas
    for (double decay : {1e-6, 0.05, 0.199, 0.201, 1.0, 30.0}) {
        const double GV = decay * 40.0 / DEP;
        ASSERT_EQ(c.voleff(std::sqrt(GRAV / GV)), 0) << c.b.console.str();
        const int n = 4000;  // Simpson over the closed-form waterplanes
        double exact = AWP0 + 0.0;
        for (int i = 1; i < n; ++i)
            exact += (i % 2 ? 4.0 : 2.0) * c.hull.waterplane(c.h - DEP * i / n) * std::exp(-GV * DEP * i / n);
        exact *= DEP / n / 3.0;
        EXPECT_NEAR(VOLFNZ / exact, 1.0, decay == 0.199 ? 5e-4 : 3e-4) << "GV*dz = " << decay;
    }
    // fast the whole immersed volume counts; slow only the waterplane: VOLFNZ -> AWP(0)/GV
    ASSERT_EQ(c.voleff(1e4), 0);
    EXPECT_NEAR(VOLFNZ / c.hull.volume(c.h), 1.0, 3e-4);
    for (double VBOOT : {0.02, 0.002}) {
        ASSERT_EQ(c.voleff(VBOOT), 0);
        EXPECT_NEAR(VOLFNZ * GRAV / (VBOOT * VBOOT) / AWP0, 1.0, 3e-4) << VBOOT;
    }
    ASSERT_EQ(c.voleff(0.0), 0) << "at rest";
    EXPECT_EQ(VOLFNZ, 0.0);
    EXPECT_EQ(c.b.st->flow.BTRQ, 0.0);
    EXPECT_TRUE(std::isfinite(c.b.st->flow.BFLARE) && std::isfinite(c.b.st->flow.BRUN));
    EXPECT_EQ(c.b.st->flow.KVEFF, 0.0) << "bare hull";
}

// On straight-sided sections the bow measures are the flare of the side seen along the heeled
// surface, at the bow-wave position, interpolated between the stations that bracket it: off by
// up to 0.25^2/8*k'' (k'' = 0.06, some 5e-4), about three times that from the next pair; the heeled lee
// side bends it by up to 1/(1 - k*s)^2 more. The aft ones
// take the breadths above the waterline at the first two slots of the waterline straight to its
// aft end. A heel to either side is the same.
TEST(EffectiveVolume, VeeHullFlaresAreTheSideSlopes) {
    for (double heel : {0.0, 10.0, -10.0}) {
        VeeCase c(heel, 10.0, 0.03);
        const TrialHydrostatics& t = c.b.st->trial;
        const FlowResults& f = c.b.st->flow;
        for (double VBOOT : {1.5, 2.5}) {
            ASSERT_EQ(c.voleff(VBOOT), 0) << c.b.console.str();
            const double FN = VBOOT / std::sqrt(c.b.st->run.GRAV * t.LWLPHI), cos2 = c.cos() * c.cos();
            const double XSW = t.XFPHI - (0.203 * FN + 0.11) * t.LWLPHI * FN;
            EXPECT_NEAR(f.BFLARE, (c.out(XSW, 1.0) + c.out(XSW, -1.0)) / (2.0 * cos2), 7e-4) << heel << " " << VBOOT;
            EXPECT_NEAR(f.ZFLARE, c.out(XSW, 1.0) / cos2 + std::fabs(c.b.st->point.TANPHI), 1e-3) << heel;
            const double TQ = std::min(VBOOT * VBOOT / (4.0 * c.b.st->run.GRAV), t.VOLCB / t.AWLPHI);
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

// A hull cut off forward of where its keel would meet the waterline: every level runs to the
// last station, and on one station spacing beyond it as the hydrostatics' waterline does.
TEST(EffectiveVolume, RunWetToTheLastStationEndsAsTheHydrostatics) {
    for (double heel : {0.0, 15.0}) {
        VeeCase c(heel, 8.0);
        ASSERT_EQ(c.b.st->trial.ISTA2, c.NSLOT + 1) << "wet to the bow";
        ASSERT_EQ(c.voleff(1e4), 0) << c.b.console.str();
        EXPECT_NEAR(c.b.st->trial.VOLFNZ / c.b.st->trial.VOLCB, 1.0, 3e-4) << heel;
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
