// The LU solver of the lifting-line system: exact solutions and determinant of
// a system that needs row interchanges, forward sums that skip leading zeros,
// and the refusals of singular and oversized matrices with their messages.
#include "appendages/lu_solver.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

namespace carinex {
namespace {

using Vec = std::array<double, 3>;
using Rows = std::array<Vec, 3>;

// A 3 x 3 system stored by columns (leading dimension 3), factored on construction.
struct System {
    std::array<double, 9> A{};
    std::array<int, 3> INDX{};
    double D = 0;
    int IERR = -1;
    std::ostringstream console;

    explicit System(const Rows& rows) {
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) a(i, j) = rows[std::size_t(i - 1)][std::size_t(j - 1)];
        LUDCMP(console, 3, 3, A, INDX, D, IERR);
    }
    double& a(int i, int j) { return A[std::size_t((j - 1) * 3 + (i - 1))]; }
    Vec solve(Vec b) const {
        LUBKSB(3, 3, A, b, INDX);
        return b;
    }
};

TEST(LuSolver, SolvesPivotedSystemsExactly) {
    const Rows rows = {{{0, 2, 1}, {1, 1, 1}, {4, 1, 3}}};  // zero first pivot, determinant -1
    System s(rows);
    ASSERT_EQ(s.IERR, 0);
    EXPECT_EQ(s.console.str(), "");
    EXPECT_NEAR(s.D * s.a(1, 1) * s.a(2, 2) * s.a(3, 3), -1.0, 1e-14);
    for (const Vec& x : {Vec{1, 2, 3}, Vec{0, 0, 1}, Vec{0, 1, 0}, Vec{-2, 0.5, 0}}) {
        Vec b{};
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j) b[i] += rows[i][j] * x[j];
        const Vec got = s.solve(b);
        for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(got[i], x[i], 1e-14) << x[0] << " component " << i;
    }
    // the forward sums start at the first non-zero entry of the right-hand side
    const System lower({{{2, 0, 0}, {1, 3, 0}, {1, 1, 4}}});
    EXPECT_EQ(lower.solve({0, 0, 8}), (Vec{0, 0, 2}));
    const Vec got = lower.solve({0, 3, 5});
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(got[i], (Vec{0, 1, 1})[i], 1e-15);
}

TEST(LuSolver, SingularAndOversizedMatrices) {
    System zeroRow({{{1, 2, 3}, {0, 0, 0}, {4, 5, 7}}});
    EXPECT_EQ(zeroRow.IERR, kLuSingular);
    EXPECT_EQ(zeroRow.console.str(), " Matrix singulär\n");
    EXPECT_EQ(zeroRow.A, (std::array<double, 9>{1, 0, 4, 2, 0, 5, 3, 0, 7})) << "stopped before any column";
    System equalRows({{{1, 2, 3}, {1, 2, 3}, {2, 1, 1}}});
    EXPECT_EQ(equalRows.IERR, 0);
    EXPECT_EQ(equalRows.console.str(), " AMATRX = TINY\n");
    EXPECT_EQ(int(equalRows.a(1, 1) == 1e-20) + int(equalRows.a(2, 2) == 1e-20) + int(equalRows.a(3, 3) == 1e-20), 1);
    std::array<double, 4> A{1, 0, 0, 1};
    std::array<int, 2> INDX{};
    double D = 0;
    int IERR = 0;
    std::ostringstream console;
    LUDCMP(console, 1, 2, A, INDX, D, IERR);
    EXPECT_EQ(IERR, kLuTooLarge) << "N larger than the leading dimension";
    LUDCMP(console, 2, 2, A, INDX, D, IERR);
    EXPECT_EQ(IERR, 0);
}

}  // namespace
}  // namespace carinex
