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

// A 3 x 3 system given by rows, stored by columns (leading dimension 3) and factored.
struct System {
    std::array<double, 9> A{};
    std::array<int, 3> INDX{};
    double D = 0;
    int IERR = -1;
    std::ostringstream console;
    explicit System(const std::array<Vec, 3>& rows) {
        for (std::size_t k = 0; k < 9; ++k) A[k] = rows[k % 3][k / 3];
        LUDCMP(console, 3, 3, A, INDX, D, IERR);
    }
    Vec solve(Vec b) const {
        LUBKSB(3, 3, A, b, INDX);
        return b;
    }
};

TEST(LuSolver, SolvesPivotedSystemsExactly) {
    const System s({{{0, 2, 1}, {1, 1, 1}, {4, 1, 3}}});  // a zero first pivot; determinant -1
    ASSERT_EQ(s.IERR, 0);
    EXPECT_EQ(s.console.str(), "");
    EXPECT_NEAR(s.D * s.A[0] * s.A[4] * s.A[8], -1.0, 1e-14);
    const std::array<Vec, 2> cases[] = {
        {{{1, 2, 3}, {7, 6, 15}}}, {{{0, 0, 1}, {1, 1, 3}}}, {{{0, 1, 0}, {2, 1, 1}}}, {{{-2, 0.5, 0}, {1, -1.5, -7.5}}}};
    for (const auto& [x, b] : cases) {
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
    const System zeroRow({{{1, 2, 3}, {0, 0, 0}, {4, 5, 7}}});
    EXPECT_EQ(zeroRow.IERR, kLuSingular);
    EXPECT_EQ(zeroRow.console.str(), " Matrix singulär\n");
    EXPECT_EQ(zeroRow.A, (std::array<double, 9>{1, 0, 4, 2, 0, 5, 3, 0, 7})) << "stopped before any column";
    const System equalRows({{{1, 2, 3}, {1, 2, 3}, {2, 1, 1}}});
    EXPECT_EQ(equalRows.IERR, 0);
    EXPECT_EQ(equalRows.console.str(), " AMATRX = TINY\n");
    EXPECT_EQ(int(equalRows.A[0] == 1e-20) + int(equalRows.A[4] == 1e-20) + int(equalRows.A[8] == 1e-20), 1);
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
