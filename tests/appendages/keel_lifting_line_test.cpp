// The keel's lifting line: elliptic loading against Prandtl's theory (which
// also sees the LU solver's solutions) and the hull's upwash at the root.
// The LU solver's refusal of a singular matrix and its
// warning for a nearly singular one, with their messages.
#include "appendages/keel_lifting_line.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>

#include "appendages/keel_tables.h"
#include "appendages/lu_solver.h"

namespace carinex {
namespace {

constexpr double kPi = 3.141592653589793;

// An elliptic keel of span s and root chord 1 (unit section slope, zero
// thickness) upright under a hull section of half-breadth a0 and depth b0;
// by default a section so small and flat that it leaves the flow alone.
std::unique_ptr<CaseState> ellipticKeel(double s, double a0 = 0.0, double b0 = 0.0) {
    if (a0 == 0.0) a0 = 1e-4 * s, b0 = 1e-7 * s;
    auto st = makeCaseState();
    setupKeelTables(st->run);
    st->trial.KSPAN = s;
    for (int i = 1; i <= 8; ++i) st->input.KCHORD(i) = st->run.keel.SINTH(i);
    st->app.SLOPK.fill(1.0);
    st->upright.KCMEAN = kPi / 4;
    st->app.KARF = 2.0;  // the keel's image in the hull
    st->trial.KRZK = b0;
    st->trial.KRA = kPi * a0 * b0 / 2;
    st->trial.KRY2 = a0;
    return st;
}

int solve(CaseState& st) {
    std::ostringstream console;
    int IERR = -1;
    double CS = 0;
    KLLINE(st, console, kPi, 0.0, IERR, 0.0, CS);
    EXPECT_EQ(console.str(), "");
    return IERR;
}

// Elliptic loading on an elliptic planform: the lift coefficient and the
// downwash are constant along the span, the downwash is CL/(pi A), and the
// lift slope approaches Prandtl's 2 pi A/(A + 2) as the section-loading
// corrections of a finite wing fade with growing aspect ratio.
TEST(KeelLiftingLine, EllipticPlanformMatchesTheory) {
    for (auto [A, tolerance] : {std::pair{8.0, 0.05}, {10.0, 0.03}, {20.0, 0.01}}) {
        auto st = ellipticKeel(A * kPi / 8);  // A = 2 s / KCMEAN with the image
        ASSERT_EQ(solve(*st), 0);
        const AppendageResults& a = st->app;
        const double prandtl = 2 * kPi * A / (A + 2);
        for (int i = 1; i <= 8; ++i) {
            EXPECT_NEAR(a.CLAK(i) / a.CLAK(8), 1.0, 2e-4) << "A " << A << " strip " << i;
            EXPECT_NEAR(a.AIAK(i) * kPi * A / a.CLAK(i), 1.0, 1e-3) << "A " << A << " strip " << i;
            EXPECT_NEAR(a.CLAK(i) / prandtl, 1.0, tolerance) << "A " << A;
        }
    }
}

// At the keel root on an ellipse of half-breadth a0 and depth b0 the cross
// flow is speeded up by b0/a0, less what a thick keel root takes away. A
// circular section would make the map singular: it is flattened to 0.95 of its
// depth, the root upwash nearly 1.
TEST(KeelLiftingLine, HullUpwashAtTheRoot) {
    auto st = ellipticKeel(1.5, 0.8, 0.4);
    st->input.KTHICK.fill(0.12);
    ASSERT_EQ(solve(*st), 0);
    EXPECT_NEAR(st->app.UPWK(1), 1 + 0.5 * (1 - 2 * 0.12 * st->input.KCHORD(1) / kPi / 0.8), 1e-9);
    auto circle = ellipticKeel(1.5, 0.4, 0.4);
    ASSERT_EQ(solve(*circle), 0);
    EXPECT_TRUE(circle->app.UPWK(1) > 1.8 && circle->app.UPWK(1) < 2.0) << circle->app.UPWK(1);
}

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
};

TEST(LuSolver, SingularMatrices) {
    const System zeroRow({{{1, 2, 3}, {0, 0, 0}, {4, 5, 7}}});
    EXPECT_EQ(zeroRow.IERR, kLuSingular);
    EXPECT_EQ(zeroRow.console.str(), " Matrix singulär\n");
    const System equalRows({{{1, 2, 3}, {1, 2, 3}, {2, 1, 1}}});
    EXPECT_EQ(equalRows.IERR, 0);
    EXPECT_EQ(equalRows.console.str(), " AMATRX = TINY\n");
    EXPECT_EQ(int(equalRows.A[0] == 1e-20) + int(equalRows.A[4] == 1e-20) + int(equalRows.A[8] == 1e-20), 1);
}

}  // namespace
}  // namespace carinex
