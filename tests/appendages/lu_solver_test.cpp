#include "appendages/lu_solver.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

namespace carinex {
namespace {

// A 3 x 3 system stored by columns (leading dimension 3).
struct System {
    std::array<double, 9> A;  // A[(j-1)*3 + (i-1)] = a(i, j)
    std::array<int, 3> INDX{};
    double D = 0;
    int IERR = -1;
    std::ostringstream console;

    double& a(int i, int j) { return A[static_cast<std::size_t>((j - 1) * 3 + (i - 1))]; }
    void factor() { LUDCMP(console, 3, 3, A, INDX, D, IERR); }
    std::array<double, 3> solve(std::array<double, 3> b) const {
        LUBKSB(3, 3, A, b, INDX);
        return b;
    }
};

System byRows(std::array<std::array<double, 3>, 3> rows) {
    System s;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) s.a(i, j) = rows[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    return s;
}

TEST(LuSolver, IdentityFactorsToItself) {
    System s = byRows({{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}});
    const auto before = s.A;
    s.factor();
    EXPECT_EQ(s.IERR, 0);
    EXPECT_EQ(s.D, 1.0);
    EXPECT_EQ(s.A, before);
    EXPECT_EQ(s.INDX, (std::array<int, 3>{1, 2, 3}));
    EXPECT_EQ(s.solve({4, -5, 6}), (std::array<double, 3>{4, -5, 6}));
    EXPECT_EQ(s.console.str(), "");
}

// A system that needs interchanges (zero in the first pivot), with its
// exact solution and determinant; right-hand sides with and without leading
// zeros in the permuted order.
TEST(LuSolver, KnownSystemsWithPivoting) {
    const std::array<std::array<double, 3>, 3> rows = {{{0, 2, 1}, {1, 1, 1}, {4, 1, 3}}};
    const double det = 0 * (1 * 3 - 1 * 1) - 2 * (1 * 3 - 1 * 4) + 1 * (1 * 1 - 1 * 4);  // -1
    const std::array<std::array<double, 3>, 4> solutions = {{{1, 2, 3}, {0, 0, 1}, {0, 1, 0}, {-2, 0.5, 0}}};
    for (const auto& x : solutions) {
        System s = byRows(rows);
        s.factor();
        ASSERT_EQ(s.IERR, 0);
        EXPECT_NE(s.INDX[0], 1) << "the zero pivot must be swapped away";
        EXPECT_NEAR(s.D * s.a(1, 1) * s.a(2, 2) * s.a(3, 3), det, 1e-14);
        std::array<double, 3> b{};
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j) b[i] += rows[i][j] * x[j];
        const auto got = s.solve(b);
        for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(got[i], x[i], 1e-14) << "component " << i + 1;
    }
    // leading zeros of the right-hand side: the forward sums start at the first non-zero entry
    System s = byRows({{{2, 0, 0}, {1, 3, 0}, {1, 1, 4}}});
    s.factor();
    const auto got = s.solve({0, 0, 8});
    EXPECT_EQ(got, (std::array<double, 3>{0, 0, 2}));
    const auto got2 = s.solve({0, 3, 5});
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(got2[i], (std::array<double, 3>{0, 1, 1})[i], 1e-15);
}

TEST(LuSolver, ZeroRowStopsBeforeAnyColumn) {
    System s = byRows({{{1, 2, 3}, {0, 0, 0}, {4, 5, 7}}});
    const auto before = s.A;
    s.factor();
    EXPECT_EQ(s.IERR, 150);
    EXPECT_EQ(s.console.str(), " Matrix singulär\n");
    EXPECT_EQ(s.A, before) << "no column processed";
}

TEST(LuSolver, EqualRowsGiveTinyPivot) {
    System s = byRows({{{1, 2, 3}, {1, 2, 3}, {2, 1, 1}}});
    s.factor();
    EXPECT_EQ(s.IERR, 0);
    EXPECT_EQ(s.console.str(), " AMATRX = TINY\n");
    int tiny = 0;
    for (int j = 1; j <= 3; ++j) tiny += s.a(j, j) == 1e-20;
    EXPECT_EQ(tiny, 1);
}

TEST(LuSolver, OrderBeyondCapacityIsRefused) {
    std::array<double, 4> A{1, 0, 0, 1};
    std::array<int, 2> INDX{};
    double D = 0;
    int IERR = 0;
    std::ostringstream console;
    LUDCMP(console, 1, 2, A, INDX, D, IERR);
    EXPECT_EQ(IERR, 151) << "N larger than the leading dimension";
    LUDCMP(console, 2, 2, A, INDX, D, IERR);
    EXPECT_EQ(IERR, 0);
}

}  // namespace
}  // namespace carinex
