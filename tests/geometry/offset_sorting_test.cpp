#include "geometry/offset_sorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace carinex {
namespace {

// Loads stations (x, points y z) into raw offsets as a reader would.
struct RawBuilder {
    std::unique_ptr<CaseState> st = makeCaseState();
    RawOffsets& raw() { return st->raw; }
    void station(double x, std::vector<std::pair<double, double>> pts) {
        RawOffsets& r = raw();
        const int i = ++r.NST;
        r.XOFF(i) = x;
        r.NP(i) = static_cast<int>(pts.size());
        r.NPMAX = std::max(r.NPMAX, r.NP(i));
        for (int j = 1; j <= r.NP(i); ++j) {
            r.YOFF(j, i) = pts[static_cast<std::size_t>(j - 1)].first;
            r.ZOFF(j, i) = pts[static_cast<std::size_t>(j - 1)].second;
        }
    }
    // girth distances from the first point, as the orientation check sets them
    void distances() {
        RawOffsets& r = raw();
        for (int i = 1; i <= r.NST; ++i)
            for (int j = 1; j <= r.NP(i); ++j)
                r.RDIST(j, i) = std::hypot(r.ZOFF(j, i) - r.ZOFF(1, i), r.YOFF(j, i));
    }
};

TEST(ShellSort, SortsAndKeepsEqualKeysOfSortedInput) {
    const std::vector<double> keys = {5, 3, 9, 1, 3, 7, 2, 8, 6, 4, 0, 3, 11, 10};
    auto order = shellSortOrder(static_cast<int>(keys.size()), [&](int k) { return keys[static_cast<std::size_t>(k - 1)]; });
    for (std::size_t k = 1; k < order.size(); ++k)
        EXPECT_LE(keys[static_cast<std::size_t>(order[k - 1] - 1)], keys[static_cast<std::size_t>(order[k] - 1)]);
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (int k = 1; k <= static_cast<int>(keys.size()); ++k) EXPECT_EQ(sorted[static_cast<std::size_t>(k - 1)], k);
    const std::vector<double> flat(50, 1.0);
    auto same = shellSortOrder(50, [&](int k) { return flat[static_cast<std::size_t>(k - 1)]; });
    for (int k = 1; k <= 50; ++k) EXPECT_EQ(same[static_cast<std::size_t>(k - 1)], k);
}

TEST(Prep1, StationsFromSternToBowAndPointsByHeight) {
    RawBuilder b;
    b.station(3.0, {{0.5, 0.2}, {0.0, -0.4}});
    b.station(1.0, {{0.0, -0.3}, {0.7, 0.5}, {0.6, 0.1}});
    b.station(2.0, {{0.0, -0.5}, {0.4, 0.3}});
    PREP1(*b.st);
    RawOffsets& r = b.raw();
    EXPECT_EQ(r.NST, 3);
    EXPECT_DOUBLE_EQ(r.XOFF(1), 1.0);
    EXPECT_DOUBLE_EQ(r.XOFF(3), 3.0);
    EXPECT_DOUBLE_EQ(r.ZOFF(2, 1), 0.1);
    EXPECT_DOUBLE_EQ(r.YOFF(2, 1), 0.6) << "half-breadths move with their heights";
    EXPECT_DOUBLE_EQ(r.ZOFF(1, 3), -0.4);
    EXPECT_EQ(r.NP(1), 3);
    EXPECT_EQ(r.NP(3), 2);
    EXPECT_EQ(r.NPMAX, 3);
}

TEST(Prep1, AbsentStationDropsOut) {
    RawBuilder b;
    b.station(2.0, {{0.0, -0.5}, {0.4, 0.3}});
    b.station(kAbsent, {{0.0, -0.5}, {0.4, 0.3}});
    b.station(1.0, {{0.0, -0.5}, {0.4, 0.3}});
    PREP1(*b.st);
    EXPECT_EQ(b.raw().NST, 2);
    EXPECT_DOUBLE_EQ(b.raw().XOFF(2), 2.0);
}

TEST(Prep2, RecountDropsDeletedPoints) {
    RawBuilder b;
    b.station(1.0, {{0.0, -1.0}, {0.5, -0.5}, {1.0, 0.0}});
    b.distances();
    b.raw().YOFF(2, 1) = b.raw().ZOFF(2, 1) = b.raw().RDIST(2, 1) = kAbsent;
    PREP2(*b.st);
    EXPECT_EQ(b.raw().NP(1), 2);
    EXPECT_EQ(b.raw().NPMAX, 2);
    EXPECT_DOUBLE_EQ(b.raw().YOFF(2, 1), 1.0);
}

TEST(Prep3, PointsBeforeTheLowestAreLoweredToIt) {
    RawBuilder b;
    b.station(1.0, {{0.0, -0.8}, {0.3, -1.0}, {0.6, -0.5}, {0.9, 0.5}});
    b.distances();
    PREP3(*b.st);
    RawOffsets& r = b.raw();
    EXPECT_DOUBLE_EQ(r.ZOFF(1, 1), -1.0);
    EXPECT_DOUBLE_EQ(r.ZOFF(2, 1), -1.0);
    EXPECT_DOUBLE_EQ(r.RDIST(1, 1), 0.0);
    EXPECT_DOUBLE_EQ(r.RDIST(2, 1), 0.3) << "lowered points measure their half-breadth";
    EXPECT_DOUBLE_EQ(r.ZOFF(3, 1), -0.5);
}

TEST(Prep3, TheTopPointWinsAmongEqualLowest) {
    RawBuilder b;
    b.station(1.0, {{0.0, -1.0}, {0.5, 0.0}, {0.2, -1.0}});
    b.distances();
    const double before = b.raw().RDIST(1, 1);
    PREP3(*b.st);
    // the last point is the lowest: every point drops to its level
    EXPECT_DOUBLE_EQ(b.raw().ZOFF(2, 1), -1.0);
    EXPECT_DOUBLE_EQ(b.raw().RDIST(3, 1), 0.2);
    EXPECT_DOUBLE_EQ(b.raw().RDIST(1, 1), before);
}

TEST(Prep4, IdenticalPointsLeaveOne) {
    RawBuilder b;
    b.station(1.0, {{0.0, -1.0}, {0.5, -0.5}, {0.5, -0.5}, {1.0, 0.5}});
    b.distances();
    PREP4(*b.st, 0.001, 0.0);
    PREP2(*b.st);
    RawOffsets& r = b.raw();
    EXPECT_EQ(r.NP(1), 3);
    EXPECT_DOUBLE_EQ(r.YOFF(2, 1), 0.5);
    EXPECT_DOUBLE_EQ(r.ZOFF(3, 1), 0.5);
}

TEST(Prep4, KeelPointSurvivesAMergeUnchanged) {
    RawBuilder b;
    b.station(1.0, {{0.0, -1.0}, {0.0001, -0.9999}, {1.0, 0.5}});
    b.distances();
    PREP4(*b.st, 0.001, 0.0);
    PREP2(*b.st);
    EXPECT_EQ(b.raw().NP(1), 2);
    EXPECT_DOUBLE_EQ(b.raw().YOFF(1, 1), 0.0);
    EXPECT_DOUBLE_EQ(b.raw().ZOFF(1, 1), -1.0);
}

TEST(Prep4, CloseRunCollapsesToTheMeanOfTheLastMerge) {
    RawBuilder b;
    b.station(1.0, {{0.0, -1.0}, {0.6, -0.5}, {0.6004, -0.4997}, {0.6008, -0.4994}, {1.0, 0.5}});
    b.distances();
    RawOffsets& r = b.raw();
    const double y2 = r.YOFF(2, 1), y3 = r.YOFF(3, 1), y4 = r.YOFF(4, 1);
    PREP4(*b.st, 0.001, 0.0);
    PREP2(*b.st);
    EXPECT_EQ(r.NP(1), 3);
    EXPECT_DOUBLE_EQ(r.YOFF(2, 1), 0.5 * (0.5 * (y2 + y3) + y4));
}

TEST(Prep4, HeightDipIsMergedWithItsPredecessor) {
    RawBuilder b;
    b.station(1.0, {{0.0, -1.0}, {0.5, -0.2}, {0.7, -0.4}, {1.0, 0.5}});
    b.distances();
    PREP4(*b.st, 0.001, 0.0);
    PREP2(*b.st);
    RawOffsets& r = b.raw();
    EXPECT_EQ(r.NP(1), 3);
    EXPECT_DOUBLE_EQ(r.ZOFF(2, 1), -0.3);
    EXPECT_DOUBLE_EQ(r.YOFF(2, 1), 0.6);
}

}  // namespace
}  // namespace carinex
