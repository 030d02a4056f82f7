// Invariants of the heeled hydrostatics (KRAENG) on the body of revolution, whose immersed shape
// heel cannot change: the sections, volume and waterplane stay as they are upright; the volume's
// derivative with the sinkage is the waterplane area; heel to port and to starboard mirror each
// other; and the rest call gives back the design waterline.
#include "hydrostatics/heeled.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/heeled_support.h"

namespace carinex {
namespace {

using namespace test::heel;

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
    using T = TrialHydrostatics;
    for (double T::*m : {&T::VOLCB, &T::AWLPHI, &T::XCBPHI, &T::XFPHI, &T::XAPHI, &T::TCBPHI, &T::TLAT})
        EXPECT_DOUBLE_EQ(side[1].*m, side[0].*m);
    for (double T::*m : {&T::DRFPHI, &T::ASYM, &T::ATRIM}) {
        EXPECT_GT(std::fabs(side[0].*m), 1e-4) << "a sign to change";
        EXPECT_DOUBLE_EQ(side[1].*m, -(side[0].*m));
    }
    for (std::size_t K = 0; K <= kSlots; ++K) {
        for (SlotArray T::*a : {&T::ASEC, &T::BSEC, &T::GIRTH, &T::KDW})
            EXPECT_DOUBLE_EQ((side[1].*a)[K], (side[0].*a)[K]) << K;
        EXPECT_DOUBLE_EQ(side[1].QLAT[K], -side[0].QLAT[K]) << K;
    }
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
