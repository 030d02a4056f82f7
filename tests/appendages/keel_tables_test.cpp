#include "appendages/keel_tables.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/natural_spline.h"

namespace carinex {
namespace {

class KeelTablesTest : public ::testing::Test {
protected:
    void SetUp() override { setupKeelTables(st->run); }
    std::unique_ptr<CaseState> st = makeCaseState();
    const double pi = 3.141592653589793;
};

TEST_F(KeelTablesTest, StationsAndWeights) {
    const RunConstants& r = st->run;
    EXPECT_DOUBLE_EQ(r.keel.THETA(1), pi / 2);
    EXPECT_DOUBLE_EQ(r.keel.THETA(8), pi / 16);
    EXPECT_NEAR(r.ZSTRIP(1), 0.0, 1e-16) << "the root strip is at the hull";
    EXPECT_DOUBLE_EQ(r.ZSTRIP(8), std::cos(pi / 16));
    EXPECT_DOUBLE_EQ(r.STRW(1), 0.5);
    EXPECT_DOUBLE_EQ(r.STRW(2), std::sin(7 * pi / 16));
    EXPECT_DOUBLE_EQ(r.STRW(8), std::sin(pi / 16));
    // the weights are trapezoid weights times the elliptic shape: they
    // integrate sin(theta) over 0 .. pi/2, whose exact value is 1
    double sum = 0;
    for (int i = 1; i <= 8; ++i) sum += r.STRW(i) * pi / 16;
    EXPECT_NEAR(sum, 1.0, 4e-3);
}

TEST_F(KeelTablesTest, MulthoppMatrix) {
    const KeelTables& k = st->run.keel;
    for (int v = 1; v <= 8; ++v) {
        EXPECT_DOUBLE_EQ(k.MULTB(v, v), 4.0 / std::sin(pi / 2 - (v - 1) * pi / 16));
        for (int n = 1; n <= 8; ++n) {
            if (n != v && (n - v) % 2 == 0) {
                EXPECT_EQ(k.MULTB(v, n), 0.0);
            }
        }
    }
    // station 2 on root station 1: no image, root is its own mirror
    const double c2 = std::cos(7 * pi / 16);  // cos theta(2); cos theta(1) = 0
    EXPECT_DOUBLE_EQ(k.MULTB(2, 1), 1.0 / (16.0 * c2 * c2));
    // root station on station 2: the mirror image of station 2 adds its share
    const double s2 = std::sin(7 * pi / 16);
    EXPECT_DOUBLE_EQ(k.MULTB(1, 2), 2 * s2 / (16.0 * c2 * c2));
}

TEST_F(KeelTablesTest, TipTableSplinesThroughItsRows) {
    const KeelTables& k = st->run.keel;
    EXPECT_DOUBLE_EQ(k.TIPTAB(5, 1), 4 / pi);
    EXPECT_DOUBLE_EQ(k.TIPTAB(5, 8), 4 / pi * std::sin(pi / 16));
    EXPECT_NEAR(k.TIPTAB(5, 8), 0.2484, 5e-5) << "the elliptic value the table rounds";
    EXPECT_DOUBLE_EQ(k.TIPTAB(2, 3), 1.0342);
    for (int i = 1; i <= 8; ++i) {
        std::span<const double> row(&k.TIPTAB(1, i), 5), y2(&k.TIPY2(1, i), 5);
        EXPECT_EQ(y2[0], 0.0);
        EXPECT_EQ(y2[4], 0.0);
        for (int m = 0; m < 5; ++m) {
            EXPECT_NEAR(splnatValue(5, k.TIPX, row, y2, k.TIPX[static_cast<std::size_t>(m)]),
                        row[static_cast<std::size_t>(m)], 1e-14);
        }
    }
}

}  // namespace
}  // namespace carinex
