// The keel's lifting line and the forces of keel and rudder. The lifting line:
// elliptic loading against Prandtl's theory (which also sees the LU solver's
// solutions) and the hull's upwash at the root; the LU solver's refusal of a
// singular matrix and its warning for a nearly singular one, with their
// messages. The forces in one trial state where the whole runs do not go: no
// lift and only drag without a hull section, the stalled keel as a flat plate,
// and a joined rudder continuous through its removable singularity.
#include "appendages/appendage_forces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <string>

#include "appendages/appendage_forces_steps.h"
#include "appendages/keel_lifting_line.h"
#include "appendages/keel_tables.h"
#include "appendages/lu_solver.h"
#include "support/heeled_support.h"

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
    EXPECT_DOUBLE_EQ(CS, 1.0);
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

// The keel with its image in the hull is a wing of twice its span: KARF = 2 on span s gives the
// lift of KARF = 1 on span 2s, clearly more than the keel alone.
TEST(KeelLiftingLine, HullImageDoublesTheAspectRatio) {
    auto mirrored = ellipticKeel(2.0), doubled = ellipticKeel(4.0), single = ellipticKeel(2.0);
    doubled->app.KARF = single->app.KARF = 1.0;
    for (CaseState* k : {mirrored.get(), doubled.get(), single.get()}) ASSERT_EQ(solve(*k), 0);
    for (int i = 1; i <= 8; ++i) {
        EXPECT_NEAR(mirrored->app.CLAK(i), doubled->app.CLAK(i), 2e-3 * doubled->app.CLAK(i)) << i;
        EXPECT_GT(mirrored->app.CLAK(i), 1.2 * single->app.CLAK(i)) << i;
    }
}

// A matrix with a zero row is refused before any column is eliminated; one
// with two equal rows gets a tiny pivot instead of a zero one, and a warning.
// One that needs interchanges (a zero first pivot) has determinant -1 and
// gives back exact solutions.
TEST(LuSolver, SingularAndPivotingMatrices) {
    struct Row {
        std::array<double, 9> A;  // by columns
        int IERR, tinyPivots;
        std::string console;
    };
    const Row rows[] = {{{1, 0, 4, 2, 0, 5, 3, 0, 7}, kLuSingular, 0, " Matrix singulär\n"},
                        {{1, 1, 2, 2, 2, 1, 3, 3, 1}, 0, 1, " AMATRX = TINY\n"},
                        {{0, 1, 4, 2, 1, 1, 1, 1, 3}, 0, 0, ""}};  // rows 0 2 1, 1 1 1, 4 1 3
    for (const Row& r : rows) {
        std::array<double, 9> LU = r.A;
        std::array<int, 3> INDX{};
        double D = 0;
        int IERR = -1;
        std::ostringstream console;
        LUDCMP(console, 3, 3, LU, INDX, D, IERR);
        ASSERT_EQ(IERR, r.IERR);
        EXPECT_EQ(console.str(), r.console);
        EXPECT_EQ(int(LU[0] == 1e-20) + int(LU[4] == 1e-20) + int(LU[8] == 1e-20), r.tinyPivots);
        if (r.A[0] != 0.0) continue;
        EXPECT_NE(INDX[0], 1) << "the zero pivot is swapped away";
        EXPECT_NEAR(D * LU[0] * LU[4] * LU[8], -1.0, 1e-14) << "the determinant";
        const std::array<double, 3> solutions[] = {{1, 2, 3}, {0, 0, 1}, {0, 1, 0}, {-2, 0.5, 0}};
        for (const std::array<double, 3>& x : solutions) {
            std::array<double, 3> b{};
            for (std::size_t i = 0; i < 3; ++i)
                for (std::size_t j = 0; j < 3; ++j) b[i] += r.A[3 * j + i] * x[j];
            LUBKSB(3, 3, LU, b, INDX);
            for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(b[i], x[i], 1e-14) << i;
        }
    }
}

// A fin keel and spade rudder under a hull at 3 m/s, set by hand: the
// trial-state inputs of the appendage forces without the hull models.
std::unique_ptr<CaseState> yacht(double leeway, double heel) {
    auto st = makeCaseState();
    setupKeelTables(st->run);
    CaseInput& in = st->input;
    for (int i = 1; i <= 8; ++i) in.KCHORD(i) = 1.3 - 0.6 * std::sin((i - 1) * kPi / 16);
    in.KTHICK.fill(0.12);
    st->app.SLOPK.fill(0.95);
    st->app.CLMXK.fill(1.4);
    in.KSTYPE = 64, in.RSTYPE = 0, in.FULLSC = true;
    in.KSECTF = 0.66, in.RCROOT = 0.38, in.RCTIP = 0.25, in.RTCRT = in.RTCTP = 0.12, in.RSECTF = 0.685;
    in.RCOSSW = 1.0, in.RTANSW = 0.0, in.RSPAN = 1.2, in.HLIFTF = 1.0, in.RDRFTF = 0.5;
    UprightParticulars& u = st->upright;
    u.KCMEAN = 1.05, u.KAREA = 1.6, u.KSWPE = 0.0, u.TMAX = 0.5, u.KZLEAD = 0.45, u.SH1 = 0.8, u.SH2 = 1.0;
    u.LWL = 10.0;
    st->hull.XK0 = 6.2, st->hull.XK1 = 4.9, st->hull.XR0 = 1.55, st->hull.XR1 = 1.17;
    TestPoint& p = st->point;
    p.VBOOT = 3.0, p.QDYN = 0.5 * 1025 * 9.0, p.VNU = 3.0 / 1.19e-6;
    p.LEEWAY = leeway, p.SINLW = std::sin(leeway), p.COSLW = std::cos(leeway);
    p.PHI = heel, p.SINPHI = std::sin(heel), p.COSPHI = std::cos(heel), p.TANPHI = std::tan(heel);
    p.SLOPKM = 0.95, p.RCWL = 0.38, p.RASP = 3.0, p.XCG = 5.3;
    TrialHydrostatics& t = st->trial;
    t.KSPAN = 1.5, t.TCBPHI = 0.5, t.LWLPHI = 10.0, t.RIMM = 1.1, t.RIMMC = -0.1, t.RWAKE = 0.5;
    t.AWLPHI = 20.0, t.AHULL = 3.0, t.XMREF = 5.0;
    // the hull section at the keel: upright, or heeled with both waterline crossings
    t.KRA = 0.6, t.KRZK = 0.45, t.KRY2 = 1.2;
    if (heel > 0.01) t.KRZ2 = -0.1, t.KRY1 = -1.0, t.KRYD = 0.3, t.KRZD = 0.4;
    st->flow.RAEFF = 0.35, st->flow.RHSPAN = 0.55, st->flow.RFRIC = 600.0;
    st->app.SLOPR = 0.95, st->app.CLMXR = 1.4;
    st->balance.FN = 0.3;
    return st;
}

void forces(CaseState& st, double DELK = 0.0) {
    test::heel::Bench b;  // its console only
    double TLIFT = 0.5;
    APPFRC(st, b.io, 1.05, DELK, 0.0, TLIFT, 0.0);
    EXPECT_EQ(b.console.str(), "");
}

// Without a hull section at the keel there is no lifting solution: whatever
// the coefficient arrays hold, the keel carries no lift, only its drag, and
// its side force is the drag's share across the course.
TEST(AppendageForces, WithoutAHullSectionOnlyDrag) {
    auto st = yacht(0.05, 0.0);
    st->trial.KRA = 0.0;
    st->app.CLAK.fill(7.0);
    st->app.TAPK.fill(-1.0);
    forces(*st);
    EXPECT_EQ(st->app.CLROOT, 0.0);
    EXPECT_EQ(st->app.CLAK(1), 7.0) << "the failed lifting line leaves the coefficients alone";
    EXPECT_EQ(st->app.TAPK(8), -1.0) << "no tip correction without a lifting solution";
    EXPECT_NEAR(st->app.FYK, -std::tan(0.05) * st->app.FXK, 1e-9 * st->app.FXK);
}

// A strip above its maximum lift is a flat plate at the keel angle: its
// normal force coefficient is 2.3 times the angle.
TEST(AppendageForces, StalledKeelIsAFlatPlate) {
    const double leeway = 0.1;
    auto st = yacht(leeway, 0.0);
    st->app.CLMXK.fill(0.0);
    forces(*st);
    double chordSum = 0.0;
    for (int i = 1; i <= 8; ++i) chordSum += st->input.KCHORD(i) * st->run.STRW(i);
    const double normal = st->app.FYK + st->point.SINLW * st->app.FXK;  // about the course, upright
    EXPECT_NEAR(normal / (st->point.QDYN * 1.5 * 0.0627 * kPi * chordSum * 2.3 * leeway), 1.0, 0.1);
}

// A tip thicker than the strips above it shifts the spanwise load outward:
// the tip factors move from the elliptic values towards 1.
TEST(AppendageForces, ThickTipRaisesTheTipLoad) {
    auto plain = yacht(0.05, 0.0), bulb = yacht(0.05, 0.0);
    bulb->input.KTHICK(8) = 0.6;
    forces(*plain);
    forces(*bulb);
    const KeelTables& k = plain->run.keel;
    for (int i = 1; i <= 8; ++i) {
        const auto [lo, hi] = std::minmax({k.TIPTAB(1, i), k.TIPTAB(5, i)});
        EXPECT_GE(plain->app.TAPK(i), lo - 0.05) << i;
        EXPECT_LE(plain->app.TAPK(i), hi + 0.05) << i;
    }
    EXPECT_GT(bulb->app.TAPK(8), plain->app.TAPK(8));
    EXPECT_LT(bulb->app.TAPK(1), plain->app.TAPK(1));
}

// From 0.35 rad of heel the hull takes the carried-over keel lift and its
// own lift fully along its axis, below that half: the hull force jumps there.
TEST(AppendageForces, CarryOverShareSwitchesAtTheHeelLimit) {
    auto hullForce = [](double heel) {
        auto st = yacht(0.05, heel);
        forces(*st);
        EXPECT_GT(st->app.CLROOT, 0.0);
        return st->app.XHULL;
    };
    const double below = hullForce(0.35 - 1e-9), below2 = hullForce(0.35 - 2e-9);
    const double at = hullForce(0.35), above = hullForce(0.35 + 1e-9);
    EXPECT_GT(std::fabs(at - below), 1.0) << "newtons";
    EXPECT_LT(std::fabs(below - below2), 1e-4);
    EXPECT_LT(std::fabs(above - at), 1e-4);
}

// An emerged rudder (no chord at the waterline) carries no force, not even
// the vertical force of an earlier trial state.
TEST(AppendageForces, RudderWithoutChordCarriesNothing) {
    auto st = yacht(0.05, 0.3);
    forces(*st);
    EXPECT_NE(st->app.FZR, 0.0);
    st->point.RCWL = 0.0;
    forces(*st);
    const AppendageResults& a = st->app;
    for (double rudder : {a.FXR, a.FYR, a.FZR, a.MYR}) EXPECT_EQ(rudder, 0.0) << "FXR FYR FZR MYR";
    EXPECT_TRUE(std::isfinite(a.YHULL) && std::isfinite(a.RHULL));
    EXPECT_GT(a.FYK, 0.0);
}

// A rudder joined to the hull over RIMMC: its inflow is continuous where the
// hull section's equivalent half-breadth 2 RGAP / (pi RIMMC) equals the
// joined height (the map's removable singularity), and a joined rudder under
// no hull section falls back to the free rudder instead of dividing by zero.
TEST(AppendageForces, JoinedRudderIsContinuousThroughTheEqualHalfBreadth) {
    const double RIMMC = 0.1;
    auto rudderSide = [&](double RGAP) {
        auto st = yacht(0.05, 0.2);
        st->trial.RIMMC = RIMMC;
        st->flow.RGAP = RGAP;
        forces(*st);
        EXPECT_TRUE(std::isfinite(st->app.FYR) && std::isfinite(st->app.YHULL)) << RGAP;
        return st->app.FYR;
    };
    double RGAP = kPi * RIMMC * RIMMC / 2;
    for (int k = 0; k < 64 && 2.0 * RGAP / (kPi * RIMMC) != RIMMC; ++k)
        RGAP = std::nextafter(RGAP, 2.0 * RGAP / (kPi * RIMMC) < RIMMC ? 1.0 : 0.0);
    ASSERT_EQ(2.0 * RGAP / (kPi * RIMMC), RIMMC);
    const double at = rudderSide(RGAP);
    EXPECT_NEAR(at, rudderSide(RGAP * (1 + 1e-6)), 1e-4 * std::fabs(at));
    rudderSide(0.0);
}

constexpr std::pair<double AppendageResults::*, double> kLeewaySigns[] = {
    {&AppendageResults::FYK, -1}, {&AppendageResults::FYR, -1}, {&AppendageResults::YHULL, -1},
    {&AppendageResults::FXK, 1},  {&AppendageResults::FXR, 1},  {&AppendageResults::RHULL, 1},
    {&AppendageResults::MYK, 1}};

// Upright, the yacht is symmetric: side forces change sign with leeway, drags and moments do not.
TEST(AppendageForces, UprightForcesAreAntisymmetricInLeeway) {
    for (double leeway : {0.02, 0.05, 0.09}) {
        auto port = yacht(leeway, 0.0), starboard = yacht(-leeway, 0.0);
        forces(*port, 0.01);
        forces(*starboard, 0.01);
        const AppendageResults &a = port->app, &b = starboard->app;
        for (double positive : {a.FYK, a.FYR, a.FXK, a.FXR, a.RHULL}) EXPECT_GT(positive, 0.0) << leeway;
        for (auto [f, sign] : kLeewaySigns)
            EXPECT_NEAR(a.*f, sign * b.*f, 1e-9 * std::fabs(a.*f)) << leeway << " sign " << sign;
    }
}

// Near and far downwash of keel and hull are blended over 0.9 < DV/LKR < 1.1,
// so EK and EH are continuous at both ends of the band.
TEST(AppendageForces, RudderDownwashBlendIsContinuousAtBothEnds) {
    auto st = yacht(0.05, 0.0);
    appfrc::Work w;
    w.XKM = 5.0, w.AEK = 3.0, w.SI = 0.02, w.kL = 0.025, w.HD = 0.4, w.CYE = 0.0;  // CYE = 0: DV = LWL
    const double LKR = w.XKM - (st->hull.XR0 - st->point.RCWL / 4.0);  // no rudder sweep
    auto at = [&](double DV) {
        st->upright.LWL = DV;
        appfrc::rudderDownwash(*st, w);
        return std::array{w.EK, w.EH};
    };
    for (double edge : {0.9, 1.1}) {
        const auto below = at(edge * LKR * (1 - 1e-9)), above = at(edge * LKR * (1 + 1e-9));
        for (std::size_t j : {0u, 1u}) {
            ASSERT_GT(below[j], 0.0) << edge << (j == 0 ? " EK" : " EH");
            EXPECT_NEAR(above[j], below[j], 1e-7 * below[j]) << edge << (j == 0 ? " EK" : " EH");
        }
    }
}

}  // namespace
}  // namespace carinex
