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
using test::VeeHull;

template <class F>
double simpson(F f, double a, double b, int n = 4000) {
    const double h = (b - a) / n;
    double s = f(a) + f(b);
    for (int i = 1; i < n; ++i) s += f(a + i * h) * (i % 2 ? 4.0 : 2.0);
    return s * h / 3.0;
}

// The V hull prepared at its volume below z = 0, upright at rest in the trial state of the
// given heel. h is the waterline height and xs the offsets x of the prepared origin.
struct VeeCase {
    Bench b;
    VeeHull hull;
    double h = 0.0, xs = 0.0;
    int NSLOT = 0;

    explicit VeeCase(double heel) {
        NSLOT = hull.stations - 1;
        EXPECT_EQ(test::prepareAnalyticHull(*b.st, b.io, hull.stations, 0.0, hull.length, hull.formula(), hull.volume(0.0)), 0);
        EXPECT_EQ(uprightValues(*b.st, b.io, NSLOT), 0);
        const auto K = static_cast<std::size_t>(NSLOT / 2);
        h = hull.keel(hull.x(NSLOT / 2)) + b.st->hull.ZS[K][0];
        xs = hull.x(NSLOT / 2) - b.st->hull.XST[K];
        setTrial(*b.st, 0.0, 0.0, heel);
        EXPECT_EQ(kraeng(b, NSLOT), 0) << b.console.str();
    }
    int voleff(double VBOOT) {
        int IERR = -1;
        VOLEFF(*b.st, b.io, NSLOT, VBOOT, IERR);
        return IERR;
    }
    // Breadth gain per height of a V section of flare k cut by lines of slope s: the crossings
    // move out by 1/(1/k -+ s) per height on the two sides, the breadth is measured along the line.
    double flareOf(double x) const {
        const double k = hull.flare(x + xs), s = std::fabs(b.st->point.TANPHI), c = b.st->point.COSPHI;
        return (1.0 / (1.0 / k - s) + 1.0 / (1.0 / k + s)) / (2.0 * c * c);
    }
    // Breadth of the section at prepared x, on the level z above the trial waterline.
    double breadthAbove(double x, double z) const {
        const double k = hull.flare(x + xs), s = std::fabs(b.st->point.TANPHI), c = b.st->point.COSPHI;
        const double e = h + z / c - hull.keel(x + xs);  // keel below the level at the centre plane
        return e > 0.0 ? e * (1.0 / (1.0 / k - s) + 1.0 / (1.0 / k + s)) / c : 0.0;
    }
    // The same from the first two slots of the waterline to its aft end.
    double aftBreadth(double z) const {
        const int K = b.st->trial.ISTA1;
        const double x1 = b.st->hull.XST[ix(K)], x2 = b.st->hull.XST[ix(K + 1)];
        return lineThrough(x1, breadthAbove(x1, z), x2, breadthAbove(x2, z), b.st->trial.XAPHI);
    }
    double leeFlareOf(double x) const {
        const double k = hull.flare(x + xs), s = std::fabs(b.st->point.TANPHI), c = b.st->point.COSPHI;
        return 1.0 / (c * c * (1.0 / k - s)) + s;
    }
};

// Upright the levels are the waterplanes of the V hull below z = h; the speed only weights them.
TEST(EffectiveVolume, VeeHullWaterplanesWeightedByTheSurfaceDecay) {
    VeeCase c(0.0);
    const double GRAV = c.b.st->run.GRAV, DEP = c.b.st->balance.TLIFT, dz = DEP / 40.0;
    ASSERT_NEAR(DEP, c.hull.depth + c.h, 1e-9);
    // waterplane at depth z below the waterline, closed form down to the keel's vertex
    auto awp = [&](double z) { return z < DEP ? c.hull.waterplane(c.h - z) : 0.0; };
    struct Row {
        double decayPerLevel;  // GV*dz
        double tolerance;      // relative, on the weighted-area quadrature
    };
    // across 0.2 the quadrature changes from the spline of the weighted areas to the exact
    // integral over the polygon of the areas; both are within 1e-4 there
    for (const Row r : {Row{1e-6, 3e-4}, Row{0.05, 3e-4}, Row{0.199, 5e-4}, Row{0.201, 3e-4}, Row{1.0, 3e-4},
                        Row{30.0, 3e-4}}) {
        const double GV = r.decayPerLevel / dz, VBOOT = std::sqrt(GRAV / GV);
        ASSERT_EQ(c.voleff(VBOOT), 0) << c.b.console.str();
        const double exact = simpson([&](double z) { return awp(z) * std::exp(-GV * z); }, 0.0, DEP);
        EXPECT_NEAR(c.b.st->trial.VOLFNZ / exact, 1.0, r.tolerance) << "GV*dz = " << r.decayPerLevel;
    }
    // fast: the whole immersed volume; slow: only the waterplane counts, VOLFNZ -> AWP(0)/GV
    ASSERT_EQ(c.voleff(1e4), 0);
    EXPECT_NEAR(c.b.st->trial.VOLFNZ / c.hull.volume(c.h), 1.0, 2e-3);
    for (double VBOOT : {0.02, 0.002}) {
        ASSERT_EQ(c.voleff(VBOOT), 0);
        EXPECT_NEAR(c.b.st->trial.VOLFNZ * GRAV / (VBOOT * VBOOT) / c.hull.waterplane(c.h), 1.0, 2e-3) << VBOOT;
    }
    ASSERT_EQ(c.voleff(0.0), 0) << "at rest";
    EXPECT_EQ(c.b.st->trial.VOLFNZ, 0.0);
    EXPECT_EQ(c.b.st->flow.BTRQ, 0.0);
    EXPECT_TRUE(std::isfinite(c.b.st->flow.BFLARE) && std::isfinite(c.b.st->flow.BRUN));
    EXPECT_EQ(c.b.st->flow.KVEFF, 0.0) << "bare hull";
}

// On straight-sided sections every flare measure is the flare of the side, seen along the
// heeled surface: the bow measures at the bow-wave position, BTRQ at the aft end.
TEST(EffectiveVolume, VeeHullFlaresAreTheSideSlopes) {
    for (double heel : {0.0, 10.0, -10.0}) {
        VeeCase c(heel);
        const TrialHydrostatics& t = c.b.st->trial;
        const FlowResults& f = c.b.st->flow;
        for (double VBOOT : {1.5, 2.5}) {
            ASSERT_EQ(c.voleff(VBOOT), 0) << c.b.console.str();
            const double FN = VBOOT / std::sqrt(c.b.st->run.GRAV * t.LWLPHI);
            const double XSW = t.XFPHI - (0.203 * FN + 0.11) * t.LWLPHI * FN;
            EXPECT_NEAR(f.BFLARE, c.flareOf(XSW), 2e-4) << heel << " " << VBOOT;
            EXPECT_NEAR(f.ZFLARE, c.leeFlareOf(XSW), 2e-4) << heel << " " << VBOOT;
            // the aft measures take the breadths above the waterline at the first two slots of
            // the waterline, straight to its aft end
            const double TQ = std::min(VBOOT * VBOOT / (4.0 * c.b.st->run.GRAV), t.VOLCB / t.AWLPHI);
            EXPECT_NEAR(f.BTRQ, c.aftBreadth(TQ) / (2.0 * TQ), 1e-6) << heel << " " << VBOOT;
        }
        const double BA = c.aftBreadth(t.TCBPHI / 3.0);
        EXPECT_NEAR(f.BRUN, (t.BWLPHI - BA) / 2.0 / (t.XMREF - t.XAPHI), 1e-6) << heel;
        if (heel != 0.0) continue;
        // upright the breadth of a V of depth d grows by 2k per height, so at the largest section
        // the flare ratio is r = (d + TM)/(d - TM); interpolated between stations 0.25 apart, off
        // by up to 0.25^2/8*r'' with r'' = 2*TM/(d - TM)^2*2c, some 1.1e-3
        const double d = c.hull.draft(t.XMREF + c.xs, c.h), TM = 0.7 * t.VOLCB / t.AWLPHI;
        EXPECT_NEAR(f.BDYN, (d + TM) / (d - TM), 1.5e-3);
    }
}

// A heel to either side is the same immersed body mirrored.
TEST(EffectiveVolume, HeelToEitherSideGivesTheSameMeasures) {
    const YachtHull hull;
    Bench p, s;
    ASSERT_EQ(prepareYachtHull(p, hull), 0);
    ASSERT_EQ(prepareYachtHull(s, hull), 0);
    setTrial(*p.st, 0.01, 0.002, 20.0);
    setTrial(*s.st, 0.01, 0.002, -20.0);
    for (Bench* b : {&p, &s}) {
        ASSERT_EQ(kraeng(*b, hull.stations - 1), 0) << b->console.str();
        int IERR = -1;
        VOLEFF(*b->st, b->io, hull.stations - 1, 2.0, IERR);
        ASSERT_EQ(IERR, 0) << b->console.str();
    }
    const FlowResults &a = p.st->flow, &m = s.st->flow;
    EXPECT_NEAR(p.st->trial.VOLFNZ, s.st->trial.VOLFNZ, 1e-12);
    EXPECT_NEAR(a.BDYN, m.BDYN, 1e-12);
    EXPECT_NEAR(a.BRUN, m.BRUN, 1e-12);
    EXPECT_NEAR(a.BTRQ, m.BTRQ, 1e-12);
    EXPECT_NEAR(a.BFLARE, m.BFLARE, 1e-12);
    EXPECT_NEAR(a.ZFLARE, m.ZFLARE, 1e-12);
    EXPECT_GT(p.st->trial.VOLFNZ, 0.0);
}

// A wet aft-end section starts every level's run on it: fast, the effective volume is the whole
// immersed body, transom included, upright and heeled.
TEST(EffectiveVolume, ImmersedTransomStartsTheRun) {
    const RoundHull hull;
    Bench b;
    ASSERT_EQ(prepareRoundHull(b, hull), 0) << b.console.str();
    for (double heel : {0.0, 25.0}) {
        setTrial(*b.st, 0.0, 0.0, heel);
        ASSERT_EQ(kraeng(b, hull.stations - 1), 0) << b.console.str();
        ASSERT_EQ(b.st->trial.XAPHI, b.st->hull.XST[0]) << "the transom is wet";
        int IERR = -1;
        VOLEFF(*b.st, b.io, hull.stations - 1, 1e4, IERR);
        ASSERT_EQ(IERR, 0) << b.console.str();
        EXPECT_NEAR(b.st->trial.VOLFNZ / b.st->trial.VOLCB, 1.0, 2e-3) << heel;
        const double VBOOT = 0.01;
        VOLEFF(*b.st, b.io, hull.stations - 1, VBOOT, IERR);
        ASSERT_EQ(IERR, 0);
        const double limit = b.st->trial.AWLPHI * b.st->point.COSPHI * VBOOT * VBOOT / b.st->run.GRAV;
        EXPECT_NEAR(b.st->trial.VOLFNZ / limit, 1.0, 2e-3) << heel;
    }
}

}  // namespace
}  // namespace carinex
