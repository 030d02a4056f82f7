#include "solver/root_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <vector>

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {
namespace {

constexpr double kEps = 8.881784197001252e-16;  // 2^-50, as the run sets it

BroydenSettings settings(double trimScale = 0.0002) { return BroydenSettings::forEps(kEps, trimScale); }

// A search together with every point the residual was evaluated at.
struct Traced {
    BroydenOutcome out;
    std::vector<BroydenVec> points;
};

template <class Residual>
Traced trace(Residual F, const BroydenSettings& cfg = settings(), const BroydenVec& start = {1.0, 1.0}) {
    Traced t;
    const auto recorded = [&](const BroydenVec& u) {
        t.points.push_back(u);
        return F(u);
    };
    t.out = broydenSolve(recorded, cfg, start);
    return t;
}

// evaluations, iterations, Jacobians, backtracks
using Counts = std::array<int, 4>;
Counts counts(const BroydenOutcome& o) { return {o.evaluations, o.iterations, o.jacobians, o.backtracks}; }

TEST(BroydenSettings, ToleranceScalesFollowTheMachinePrecision) {
    const BroydenSettings s = BroydenSettings::forEps(kEps, 0.25);
    EXPECT_DOUBLE_EQ(s.TOLX, 100 * kEps);
    EXPECT_DOUBLE_EQ(s.HSTEP, 100 * std::ldexp(1.0, -25)) << "sqrt(2^-50) = 2^-25";
    EXPECT_EQ(s.trimScale, 0.25);
    EXPECT_EQ((std::array{s.TOLF0, s.TOLF, s.TOLMIN, s.STPMX, s.TRIMCAP, s.ALF}),
              (std::array{1e-9, 1e-7, 1e-9, 100.0, 0.2, 1e-4}));
}

// ---------------------------------------------------------------------------
// Smooth problems

TEST(BroydenSolve, LinearSystemIsSolvedByTheFirstNewtonStep) {
    // 3 u1 - u2 + 21 = 0, u1 + 2 u2 = 0: u = (-6, 3). From (-4, 0) the
    // difference step is HSTEP*|u1| for u1 and HSTEP itself where u2 = 0.
    const Traced t = trace([](const BroydenVec& u) { return BroydenVec{3 * u[0] - u[1] + 21, u[0] + 2 * u[1]}; },
                           settings(), {-4.0, 0.0});
    const double h = settings().HSTEP;
    ASSERT_EQ(t.points.size(), 4u) << "start, two difference steps, one full step";
    EXPECT_EQ(t.points[1], (BroydenVec{-4 + 4 * h, 0}));
    EXPECT_EQ(t.points[2], (BroydenVec{-4, h}));
    EXPECT_EQ(counts(t.out), (Counts{4, 1, 1, 0}));
    EXPECT_EQ(t.out.stop, BroydenStop::ResidualTolerance);
    EXPECT_FALSE(t.out.NOCONV);
    EXPECT_TRUE(t.out.NOCONVSet);
    EXPECT_NEAR(t.out.u[0], -6.0, 1e-9);
    EXPECT_NEAR(t.out.u[1], 3.0, 1e-9);
}

TEST(BroydenSolve, DifferenceStepIsTheIncrementActuallyTaken) {
    // F = u - r from u = (0.55, 0.57) to r = (0.4, 0.45): every difference
    // here is exact, so with h taken back as (uj + h) - uj each quotient is
    // exactly 1 and the step lands on the root with F = 0 exactly. At these
    // uj the nominal HSTEP*uj is not the increment uj + h rounds to; dividing
    // by it would put the slope off by about 1e-10.
    const BroydenSettings cfg = settings();
    for (double uj : {0.55, 0.57}) ASSERT_NE((uj + cfg.HSTEP * uj) - uj, cfg.HSTEP * uj) << uj;
    const auto F = [](const BroydenVec& u) { return BroydenVec{u[0] - 0.4, u[1] - 0.45}; };
    const BroydenOutcome out = broydenSolve(F, cfg, {0.55, 0.57});
    EXPECT_EQ(out.u, (BroydenVec{0.4, 0.45}));
    EXPECT_EQ(out.F, (BroydenVec{0.0, 0.0}));
    EXPECT_EQ(out.evaluations, 4);
}

TEST(BroydenSolve, CircleAndDiagonalMeetAtSqrtTwoWithoutAnotherJacobian) {
    // F1 = u1^2 + u2^2 - 4, F2 = u1 - u2: one difference Jacobian, then
    // Broyden updates only.
    const Traced t = trace([](const BroydenVec& u) { return BroydenVec{u[0] * u[0] + u[1] * u[1] - 4, u[0] - u[1]}; });
    EXPECT_EQ(t.out.stop, BroydenStop::ResidualTolerance);
    EXPECT_NEAR(t.out.u[0], std::sqrt(2.0), 1e-8);
    EXPECT_NEAR(t.out.u[1], std::sqrt(2.0), 1e-8);
    EXPECT_EQ(counts(t.out), (Counts{8, 5, 1, 0}));  // one trial per iteration after the Jacobian
}

TEST(BroydenSolve, RosenbrockBacktracksAndConverges) {
    // F1 = 10 (u2 - u1^2), F2 = 1 - u1 from (-1.2, 1): the full Newton step
    // (1, -3.84) raises f from 12.1 to about 1171; the quadratic model's
    // minimum (lambda = 0.0102) is below a tenth, so the second trial is at
    // lambda = 0.1.
    const Traced t = trace([](const BroydenVec& u) { return BroydenVec{10 * (u[1] - u[0] * u[0]), 1 - u[0]}; },
                           settings(), {-1.2, 1.0});
    EXPECT_EQ(t.out.stop, BroydenStop::ResidualTolerance);
    EXPECT_NEAR(t.out.u[0], 1.0, 1e-7);
    EXPECT_NEAR(t.out.u[1], 1.0, 1e-7);
    ASSERT_GE(t.points.size(), 5u);
    EXPECT_NEAR(t.points[3][0], 1.0, 2e-5);
    EXPECT_NEAR(t.points[3][1], -3.84, 2e-5);
    EXPECT_NEAR(t.points[4][0], -1.2 + 0.1 * 2.2, 2e-6);
    EXPECT_NEAR(t.points[4][1], 1.0 - 0.1 * 4.84, 2e-6);
    EXPECT_EQ(counts(t.out), (Counts{48, 19, 1, 26}));  // recorded (IEEE double, no contraction)
}

TEST(BroydenSolve, StartInBalanceTakesOneEvaluationAndTheTestIsStrict) {
    const BroydenOutcome in =
        broydenSolve([](const BroydenVec& u) { return BroydenVec{1e-10 * (u[0] - 1), 9.99e-10 * u[1]}; }, settings());
    EXPECT_EQ(in.stop, BroydenStop::InitialBalance);
    EXPECT_EQ(counts(in), (Counts{1, 0, 0, 0}));
    EXPECT_FALSE(in.NOCONV);
    EXPECT_TRUE(in.NOCONVSet);
    EXPECT_EQ(in.u, (BroydenVec{1, 1}));
    EXPECT_EQ(in.F[1], 9.99e-10);
    // max|Fi| = TOLF0 exactly is not below it: the search iterates
    const BroydenOutcome at =
        broydenSolve([](const BroydenVec& u) { return BroydenVec{1e-9 * u[0] * u[0], u[1] - 1}; }, settings());
    EXPECT_NE(at.stop, BroydenStop::InitialBalance);
    EXPECT_GE(at.iterations, 1);
}

// ---------------------------------------------------------------------------
// Line search failures

// F1 is flat at 0.01 left of u1 = 1 and rises with slope 1 to the right: the
// forward difference sees the slope, the Newton step (-0.01, 0) goes onto the
// plateau where f never drops, and the line search fails on a fresh Jacobian.
BroydenVec plateau(const BroydenVec& u) { return {std::max(u[0], 1.0) - 0.99, u[1] - 1}; }

TEST(BroydenSolve, FlatRegionFailsTheLineSearchBackAtTheStart) {
    const BroydenSettings cfg = settings();
    const Traced t = trace(plateau, cfg);
    EXPECT_TRUE(t.out.NOCONV);
    EXPECT_EQ(t.out.stop, BroydenStop::LineSearchFailed);
    EXPECT_EQ(t.out.u, (BroydenVec{1, 1}));
    EXPECT_EQ(t.out.F, plateau({1, 1})) << "residuals of the start, not of the last trial";
    EXPECT_EQ(counts(t.out), (Counts{35, 1, 1, 31}));  // recorded: 3 + 32 line-search trials
    ASSERT_EQ(t.points.size(), 35u);
    // lambda = 1, then the quadratic's minimum 1/2 (f(1) = f(0)), then the
    // cubic through the trials at 1/2 and 1: its minimum is at 1/(3 + sqrt 3).
    EXPECT_NEAR(t.points[3][0], 1 - 0.01, 1e-12);
    EXPECT_NEAR(t.points[4][0], 1 - 0.005, 1e-12);
    EXPECT_NEAR(t.points[5][0], 1 - 0.01 / (3 + std::sqrt(3.0)), 1e-12);
    // the last trial is the first with lambda < lambda_min = TOLX/0.01
    const double lamMin = cfg.TOLX / 0.01;
    EXPECT_LT((1 - t.points[34][0]) / 0.01, lamMin);
    EXPECT_GE((1 - t.points[33][0]) / 0.01, lamMin * (1 - 1e-6));
}

// F1 = 0.5 - 0.5 x + 1.5 x^2 - 0.5 x^3 has F1(1) = 1, F1'(1) = 1, F1(0) = 0.5
// and F1'(0) = -0.5; its only root, that of x^3 - 3x^2 + x - 1, is
// 2.76929235423863. The first step goes to x = 0; the secant slope there
// (0.5) points to the left, uphill, and the line search on the updated
// Jacobian fails at x = 0.
BroydenVec cubic(const BroydenVec& u) {
    const double x = u[0];
    return {0.5 + x * (-0.5 + x * (1.5 - 0.5 * x)), u[1] - 1};
}

TEST(BroydenSolve, FailureOnAnUpdatedJacobianAsksForAFreshOne) {
    // The gradient there (0.25) is no minimum, so the next evaluations are
    // differences at x = 0 with h = HSTEP.
    const BroydenSettings cfg = settings();
    const Traced t = trace(cubic, cfg);
    ASSERT_GE(t.points.size(), 28u);
    EXPECT_NEAR(t.points[3][0], 0.0, 1e-9) << "first Newton step";
    EXPECT_NEAR(t.points[4][0], -1.0, 1e-9) << "secant step to the left";
    std::size_t restart = 5;
    while (restart < t.points.size() && !(t.points[restart][0] > 0)) ++restart;
    ASSERT_LT(restart, t.points.size());
    EXPECT_EQ(t.points[restart][0], cfg.HSTEP) << "difference step at u1 = 0";
    EXPECT_LT(std::fabs(t.points[restart - 1][0]), 1e-12) << "last trial of the failed search";
    EXPECT_EQ(t.points[restart + 1], (BroydenVec{t.points[3][0], 1 + cfg.HSTEP}));

    EXPECT_FALSE(t.out.NOCONV);
    EXPECT_EQ(t.out.stop, BroydenStop::ResidualTolerance);
    EXPECT_NEAR(t.out.u[0], 2.76929235423863, 1e-7);
    EXPECT_EQ(t.out.jacobians, 4);  // recorded
    EXPECT_EQ(t.out.evaluations, 113);
}

TEST(BroydenSolve, GradientTestDividesByMaxOfMeritAndTwo) {
    // The cubic fails its second line search at u1 = 0: g1 = 0.5*F1 = 0.25,
    // f = 0.125, so the test value is 0.25*max(|u1|, 1)/max(f, 2) = 0.125.
    // With TOLMIN = 0.15 that is a spurious minimum; with 0.1 the search
    // starts again.
    BroydenSettings cfg = settings();
    cfg.TOLMIN = 0.15;
    const BroydenOutcome stopped = broydenSolve(cubic, cfg);
    EXPECT_EQ(stopped.stop, BroydenStop::SpuriousMinimum);
    EXPECT_TRUE(stopped.NOCONV);
    EXPECT_EQ(stopped.iterations, 2);
    EXPECT_EQ(stopped.jacobians, 1);
    // u, F and f are those of the start of the search (the last trial, a hair
    // left of 0, had F1 = 0.5 + 1e-14)
    EXPECT_EQ(stopped.u[0], 0.0);
    EXPECT_EQ(stopped.F, cubic(stopped.u));
    EXPECT_EQ(stopped.f, 0.125);

    cfg.TOLMIN = 0.1;
    const BroydenOutcome restarted = broydenSolve(cubic, cfg);
    EXPECT_GE(restarted.jacobians, 2) << "fresh Jacobian after the failed search";
    EXPECT_GT(restarted.iterations, 2);
}

TEST(BroydenSolve, SpuriousMinimumOfTheMeritEndsTheSearch) {
    // F1 = u1^2 + 1 has no root; f has its minimum 1/2 at u1 = 0 where the
    // gradient vanishes. The search settles there and stops with NOCONV.
    const BroydenOutcome out =
        broydenSolve([](const BroydenVec& u) { return BroydenVec{u[0] * u[0] + 1, u[1] - 1}; }, settings());
    EXPECT_TRUE(out.NOCONV);
    EXPECT_EQ(out.stop, BroydenStop::SpuriousMinimum);
    EXPECT_LT(std::fabs(out.u[0]), 1e-5);
    EXPECT_EQ(out.u[1], 1.0);
    EXPECT_NEAR(out.F[0], 1.0, 1e-10);
}

// ---------------------------------------------------------------------------
// Step limits

TEST(BroydenSolve, StepBelowTolxRelativeToTheNewPointStops) {
    // With a coarse TOLX = 0.5: F1 = u1^2 - 2.2 gives the step 0.6 from
    // u1 = 1, accepted, and relative to the new point 0.6/1.6 < 0.5 while
    // F1 = 0.36: not converged.
    BroydenSettings cfg = settings();
    cfg.TOLX = 0.5;
    const BroydenOutcome out =
        broydenSolve([](const BroydenVec& u) { return BroydenVec{u[0] * u[0] - 2.2, u[1] - 1}; }, cfg);
    EXPECT_TRUE(out.NOCONV);
    EXPECT_EQ(out.stop, BroydenStop::SmallStep);
    EXPECT_EQ(out.evaluations, 4);
    EXPECT_NEAR(out.u[0], 1.6, 2e-6);
    EXPECT_NEAR(out.F[0], 0.36, 5e-6);
}

TEST(BroydenSolve, StepLengthIsCutToStpmx) {
    // the step (240, 180) of length 300 goes in three pieces (80, 60)
    const Traced t = trace([](const BroydenVec& u) { return BroydenVec{u[0] - 241, u[1] - 181}; });
    ASSERT_EQ(t.points.size(), 6u);
    for (std::size_t k = 1; k <= 3; ++k) {
        EXPECT_NEAR(t.points[k + 2][0], 1 + 80.0 * k, 1e-9) << k;
        EXPECT_NEAR(t.points[k + 2][1], 1 + 60.0 * k, 1e-9) << k;
    }
    EXPECT_FALSE(t.out.NOCONV);
}

TEST(BroydenSolve, TrimCapShortensTheWholeFullStep) {
    // F = u - root from (1, 1). A full step may not carry |u2*trimScale|
    // beyond 0.2; it is shortened by factors 0.7 until it does not, unless
    // the point is beyond the cap already.
    const double c6 = std::pow(0.7, 6);  // the first c with (1 + 2c) 0.15 <= 0.2
    struct Case {
        double scale;
        BroydenVec root, fullStep;
        bool noconv;
        double finalTrim;
    };
    const Case cases[] = {
        {0.15, {2, 3}, {1 + c6, 1 + 2 * c6}, true, 0.2},  // creeps up to the cap and stalls there
        {0.1, {1, -4}, {1, 1 - 5 * 0.49}, true, -0.2},    // step (0, -5): |1 - 5c| 0.1 <= 0.2 first at c = 0.49
        {0.1, {1, 2.3}, {1, 1 + 1.3 * 0.7}, true, 0.2},   // a full step to 0.23 is cut once
        {0.3, {2, 3}, {2, 3}, false, 0.9},                // 0.3 at the start: the step is left alone
    };
    for (const Case& c : cases) {
        const Traced t = trace(
            [&c](const BroydenVec& u) { return BroydenVec{u[0] - c.root[0], u[1] - c.root[1]}; }, settings(c.scale));
        ASSERT_GE(t.points.size(), 4u) << c.scale;
        EXPECT_NEAR(t.points[3][0], c.fullStep[0], 1e-12) << c.scale;
        EXPECT_NEAR(t.points[3][1], c.fullStep[1], 1e-9) << c.scale;
        EXPECT_EQ(t.out.NOCONV, c.noconv) << c.scale;
        EXPECT_NEAR(t.out.u[1] * c.scale, c.finalTrim, 1e-12) << c.scale;
        if (c.noconv) {
            EXPECT_LE(std::fabs(t.out.u[1] * c.scale), 0.2) << c.scale;
        }
    }
}

// ---------------------------------------------------------------------------
// Singular factor and iteration limit

TEST(BroydenSolve, ZeroColumnReportsAndReplacesItsPivot) {
    // F independent of u1 (first column of J zero) or of u2 (second column):
    // R(k,k) = 0 is replaced by 1e-10 and reported; the equations are
    // consistent, so the search still drives the other unknown to 2 while
    // the free one stays put.
    struct Case {
        BroydenVec (*F)(const BroydenVec&);
        int row;
    };
    const Case cases[] = {
        {[](const BroydenVec& u) { return BroydenVec{u[1] - 2, 0.5 * (u[1] - 2)}; }, 1},
        {[](const BroydenVec& u) { return BroydenVec{u[0] - 2, 3 * (u[0] - 2)}; }, 2},
    };
    for (const Case& c : cases) {
        std::vector<BroydenSingularEvent> seen;
        const BroydenSingularHook hook = [&](const BroydenSingularEvent& e) { seen.push_back(e); };
        const BroydenOutcome out = broydenSolve(c.F, settings(), {1.0, 1.0}, hook);
        ASSERT_FALSE(seen.empty()) << "row " << c.row;
        EXPECT_EQ(seen[0].iteration, 1);
        EXPECT_EQ(seen[0].row, c.row);
        ASSERT_EQ(out.singular.size(), seen.size());
        EXPECT_EQ(out.singular[0].row, c.row);
        EXPECT_FALSE(out.NOCONV);
        EXPECT_NEAR(out.u[static_cast<std::size_t>(2 - c.row)], 2.0, 1e-7) << "row " << c.row;
        EXPECT_NEAR(out.u[static_cast<std::size_t>(c.row - 1)], 1.0, 1e-5) << "row " << c.row;
    }
}

// F1 = 1/u1 has its root at infinity: the secant steps grow like Fibonacci
// numbers up to STPMX and then advance by 100 per iteration, every one
// accepted, none converged.
BroydenVec receding(const BroydenVec& u) { return {1 / u[0], u[1] - 1}; }

TEST(BroydenSolve, IterationLimitFollowsTheSetting) {
    BroydenSettings cfg = settings();
    cfg.MAXITS = 7;
    const BroydenOutcome out = broydenSolve(receding, cfg);
    EXPECT_TRUE(out.iterationLimit);
    EXPECT_EQ(out.stop, BroydenStop::IterationLimit);
    EXPECT_FALSE(out.NOCONVSet) << "no line search failed: NOCONV never set";
    EXPECT_EQ(counts(out), (Counts{10, 7, 1, 0}));
    // secant steps on 1/u from u = 1 add the previous point: 2, 3, 5, 8, 13, 21, 34
    EXPECT_NEAR(out.u[0], 34.0, 1e-3);
    EXPECT_NEAR(out.F[0], 1 / 34.0, 1e-6);
}

// ---------------------------------------------------------------------------
// NULLST

struct NullstFixture : ::testing::Test {
    std::unique_ptr<CaseState> st = makeCaseState();
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, "."};
    int IERR = 0;
    bool NOCONV = false;
    int seenNSTM1 = -1;
    std::vector<BroydenVec> points;

    // Runs the search from SINK0, TRIM0 with a residual wrapped as the force
    // balance would be: set the trial state from u, then evaluate.
    template <class Model>
    void run(double SINK0, double TRIM0, Model model, int NSTM1 = 10) {
        st->point.SINK0 = SINK0;
        st->point.TRIM0 = TRIM0;
        points.clear();
        NULLST(*st, io, IERR, NOCONV, NSTM1, [&](CaseState& s, RunFiles&, int n, const BroydenVec& u) {
            seenNSTM1 = n;
            points.push_back(u);
            s.point.SINKG = u[0] * s.point.SINK0;
            s.point.TRIMW = u[1] * s.point.TRIM0;
            return model(s, u);
        });
    }
};

TEST_F(NullstFixture, SearchEndingAtTheStartLeavesTheStartScales) {
    // In balance at once (NOCONV cleared), or a failed line search whose last
    // evaluation was a rejected trial (NOCONV set): either way SINKG, TRIMW
    // are those of u = (1, 1).
    struct Case {
        BroydenVec (*F)(const BroydenVec&);
        bool noconv;
        std::size_t evaluations;
    };
    const Case cases[] = {{[](const BroydenVec&) { return BroydenVec{5e-10, -5e-10}; }, false, 1},
                          {plateau, true, 35}};
    for (const Case& c : cases) {
        NOCONV = !c.noconv;
        run(0.003, -0.0004, [&c](CaseState&, const BroydenVec& u) { return c.F(u); });
        EXPECT_EQ(NOCONV, c.noconv);
        EXPECT_EQ(IERR, 0);
        EXPECT_EQ(points.size(), c.evaluations);
        EXPECT_EQ(st->point.SINKG, 0.003);
        EXPECT_EQ(st->point.TRIMW, -0.0004);
    }
    EXPECT_EQ(console.str(), "");
}

TEST_F(NullstFixture, TrimCapKeepsEveryTrialWithinTwoTenths) {
    // TRIM0 = 0.19: the start is just inside the cap, the balance wants
    // TRIMW = 0.57. Only difference steps taken on the cap (HSTEP relative)
    // may go beyond it.
    run(0.01, 0.19, [](CaseState&, const BroydenVec& u) { return BroydenVec{u[0] - 2, u[1] - 3}; });
    const double h = settings().HSTEP;
    ASSERT_GE(points.size(), 4u);
    for (const BroydenVec& u : points) EXPECT_LT(std::fabs(u[1] * 0.19), 0.2 * (1 + 2 * h)) << u[1];
    EXPECT_TRUE(NOCONV);
    EXPECT_EQ(IERR, 0);
    EXPECT_LE(std::fabs(st->point.TRIMW), 0.2);
    EXPECT_NEAR(st->point.TRIMW, 0.2, 1e-12);
}

TEST_F(NullstFixture, SingularFactorMessageIsAlwaysPrinted) {
    // zero second column: row 2 in iteration 1; the message gives the iteration
    st->run.DIAG = false;
    run(0.01, 0.0002, [](CaseState&, const BroydenVec& u) { return BroydenVec{u[0] - 2, 3 * (u[0] - 2)}; });
    EXPECT_EQ(console.str(), " R-Matrix singulaer bei derNullstellensuche ITS=           1\n");
    EXPECT_FALSE(NOCONV);
    EXPECT_NEAR(st->point.SINKG, 0.02, 1e-9);
    EXPECT_NEAR(st->point.TRIMW, 0.0002, 1e-9);
}

TEST_F(NullstFixture, IterationLimitSetsIerrAndIsReportedOnlyWithDiag) {
    for (bool diag : {true, false}) {
        st->run.DIAG = diag;
        IERR = 0;
        NOCONV = diag;  // never set by the search: left as entered
        console.str("");
        run(0.001, 0.0002, [](CaseState&, const BroydenVec& u) { return receding(u); });
        EXPECT_EQ(IERR, 12);
        EXPECT_EQ(NOCONV, diag);
        EXPECT_EQ(points.size(), 203u) << "3 for the Jacobian, one trial in each of 200 iterations";
        EXPECT_EQ(console.str(), diag ? " Keine Nullstelle nach         200 Iterationen gefunden\n" : "");
        EXPECT_GT(st->point.SINKG, 15.0);
        EXPECT_DOUBLE_EQ(st->point.TRIMW, 0.0002);
    }
}

// A wall-sided box barge: L = 10, B = 3, draught 0.5 + SINKG; trimming by
// TRIMW moves the centre of buoyancy by L^2 tan(TRIMW) / (12 T). The weight
// and the external moment fix the equilibrium in closed form.
TEST_F(NullstFixture, BoxBargeFloatsAtTheAnalyticEquilibrium) {
    const double L = 10, B = 3, T0 = 0.5, xm = 5.0, PMOM = 4000.0;
    st->run.GRAV = 9.8055;
    st->upright.LWL = L;
    st->point.RHO = 1025.0;
    st->point.WEIGHT = 16.8 * 1025.0 * 9.8055;
    st->point.FLOADN = -1500.0;
    st->point.XCG = 5.2;
    IERR = 3;
    run(-0.002 * T0, -0.0002, [&](CaseState& s, const BroydenVec&) {
        const double T = T0 + s.point.SINKG;
        s.balance.VDISP = L * B * T;
        s.balance.XCB = xm + L * L * std::tan(s.point.TRIMW) / (12 * T);
        s.balance.PMOM = PMOM;
        return equilibriumResiduals(s.balance.VDISP, s.point.RHO, s.run.GRAV, 0.0, 0.0, s.point.FLOADN, 0.0,
                                    s.point.WEIGHT, s.balance.XCB, s.point.XCG, s.balance.PMOM, s.upright.LWL);
    }, 20);
    const double rg = 1025.0 * 9.8055;
    const double V = (st->point.WEIGHT - st->point.FLOADN) / rg;
    const double T = V / (L * B);
    const double trim = std::atan((5.2 + PMOM / (V * rg) - xm) * 12 * T / (L * L));
    EXPECT_FALSE(NOCONV);
    EXPECT_EQ(IERR, 3) << "left alone without the iteration limit";
    EXPECT_EQ(seenNSTM1, 20) << "NSTM1 reaches the force balance";
    EXPECT_EQ(console.str(), "");
    EXPECT_NEAR(st->point.SINKG, T - T0, 1e-7);
    EXPECT_NEAR(st->point.TRIMW, trim, 1e-8);
    EXPECT_GT(T - T0, 0.06);
    EXPECT_GT(trim, 0.01);
}

TEST(RootSearchResiduals, ForceAndMomentImbalance) {
    // The loads 300 - 100 - 250 + 50 cancel, so a wrong sign or a missing
    // term moves F1 by at least 50/W.
    const double rg = 1025.0 * 9.8055;
    const BroydenVec r =
        equilibriumResiduals(10.0, 1025.0, 9.8055, 300.0, -100.0, -250.0, 50.0, 10.2 * rg, 5.3, 5.0, rg, 8.0);
    EXPECT_NEAR(r[0], (10.0 - 10.2) / 10.2, 1e-15);
    // F2 = 10 ((XCB - XCG) - PMOM/(V rho g)) / LWL = 10 (0.3 - 0.1)/8
    EXPECT_NEAR(r[1], 0.25, 1e-14);
}

}  // namespace
}  // namespace carinex
