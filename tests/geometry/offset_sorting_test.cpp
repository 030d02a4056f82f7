// Ordering of raw offsets (by the Shell sort): stations from stern to bow with their points by
// height, absent stations and merged points squeezed out, points below the lowest one lowered
// onto it, and the merging of near-duplicate points and height dips.
#include "geometry/offset_sorting.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/heeled_support.h"

namespace carinex {
namespace {

using namespace test::heel;  // rawOffsets, Points

// Half-breadths move with their heights; an absent station drops out.
TEST(Prep1, StationsFromSternToBowAndPointsByHeight) {
    auto st = rawOffsets({{3.0, {{0.5, 0.2}, {0.0, -0.4}}},
                          {kAbsent, {{0.0, -0.5}, {0.4, 0.3}}},
                          {1.0, {{0.0, -0.3}, {0.7, 0.5}, {0.6, 0.1}}},
                          {2.0, {{0.0, -0.5}, {0.4, 0.3}}}},
                         false);
    PREP1(*st);
    const RawOffsets& r = st->raw;
    EXPECT_TRUE(r.NST == 3 && r.NPMAX == 3 && r.NP(1) == 3 && r.NP(3) == 2);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(r.XOFF(i), static_cast<double>(i));
    EXPECT_TRUE(r.YOFF(2, 1) == 0.6 && r.ZOFF(2, 1) == 0.1 && r.ZOFF(1, 3) == -0.4);
}

// Points before the lowest in girth order drop to its level and measure their half-breadth; with
// equal lowest points the last one counts.
TEST(Prep3, PointsBeforeTheLowestAreLoweredToIt) {
    auto st = rawOffsets({{1.0, {{0.0, -0.8}, {0.3, -1.0}, {0.6, -0.5}, {0.9, 0.5}}},
                          {2.0, {{0.0, -1.0}, {0.5, 0.0}, {0.2, -1.0}}}},
                         true);
    const RawOffsets& r = st->raw;
    const double after = r.RDIST(3, 1);
    PREP3(*st);
    EXPECT_TRUE(r.ZOFF(1, 1) == -1.0 && r.ZOFF(2, 1) == -1.0 && r.ZOFF(3, 1) == -0.5);
    EXPECT_TRUE(r.RDIST(1, 1) == 0.0 && r.RDIST(2, 1) == 0.3 && r.RDIST(3, 1) == after);
    EXPECT_TRUE(r.ZOFF(2, 2) == -1.0 && r.RDIST(2, 2) == 0.5 && r.RDIST(3, 2) == 0.2);
}

// PREP4 then PREP2: a point within TOL of its predecessor along the girth, or lower than it, is
// merged into it (the mean of the two); the keel point survives unchanged; a close run collapses
// into the mean of its last merge. The recount squeezes out the merged points.
TEST(Prep4, CloseAndDippingPointsAreMerged) {
    // points -> points left, the merged point j and its (y, z)
    for (const auto& [points, np, j, y, z] :
         {std::tuple{Points{{0.0, -1.0}, {0.5, -0.5}, {0.5, -0.5}, {1.0, 0.5}}, 3, 2, 0.5, -0.5},
          std::tuple{Points{{0.0, -1.0}, {0.0001, -0.9999}, {1.0, 0.5}}, 2, 1, 0.0, -1.0},
          std::tuple{Points{{0.0, -1.0}, {0.6, -0.5}, {0.6004, -0.4997}, {0.6008, -0.4994}, {1.0, 0.5}}, 3, 2,
                     0.5 * (0.5 * (0.6 + 0.6004) + 0.6008), 0.5 * (0.5 * (-0.5 - 0.4997) - 0.4994)},
          std::tuple{Points{{0.0, -1.0}, {0.5, -0.2}, {0.7, -0.4}, {1.0, 0.5}}, 3, 2, 0.6, -0.3}}) {
        auto st = rawOffsets({{1.0, points}}, true);
        PREP4(*st, 0.001, 0.0);
        PREP2(*st);
        const RawOffsets& r = st->raw;
        EXPECT_TRUE(r.NP(1) == np && r.NPMAX == np) << points.size();
        EXPECT_DOUBLE_EQ(r.YOFF(j, 1), y) << points.size();
        EXPECT_DOUBLE_EQ(r.ZOFF(j, 1), z) << points.size();
        EXPECT_EQ(r.ZOFF(np, 1), 0.5) << "the top point is kept";
    }
}

}  // namespace
}  // namespace carinex
