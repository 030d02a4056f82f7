#include "solver/root_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {
namespace {

constexpr double kEps = 8.881784197001252e-16;  // 2^-50, as the run sets it

BroydenSettings settings(double trimScale = 0.0002) { return BroydenSettings::forEps(kEps, trimScale); }

// A residual that keeps every point it was evaluated at.
struct Recorder {
    std::vector<BroydenVec> points;
    BroydenVec record(const BroydenVec& u) {
        points.push_back(u);
        return u;
    }
};

double maxAbs(const BroydenVec& v) { return std::max(std::fabs(v[0]), std::fabs(v[1])); }

// ---------------------------------------------------------------------------
// Constants

TEST(BroydenSettings, ToleranceScalesFollowTheMachinePrecision) {
    const BroydenSettings s = BroydenSettings::forEps(kEps, 0.25);
    EXPECT_DOUBLE_EQ(s.TOLX, 100 * kEps);
    EXPECT_DOUBLE_EQ(s.HSTEP, 100 * std::sqrt(kEps));
    EXPECT_DOUBLE_EQ(s.HSTEP, 100 * std::ldexp(1.0, -25)) << "sqrt(2^-50) = 2^-25";
    EXPECT_EQ(s.TOLF0, 1e-9);
    EXPECT_EQ(s.TOLF, 1e-7);
    EXPECT_EQ(s.TOLMIN, 1e-9);
    EXPECT_EQ(s.STPMX, 100.0);
    EXPECT_EQ(s.TRIMCAP, 0.2);
    EXPECT_EQ(s.ALF, 1e-4);
    EXPECT_EQ(s.MAXITS, 200);
    EXPECT_EQ(s.trimScale, 0.25);
    const BroydenSettings d;  // the defaults are the run's values
    EXPECT_EQ(d.TOLX, s.TOLX);
    EXPECT_EQ(d.HSTEP, s.HSTEP);
}

// ---------------------------------------------------------------------------
// Smooth problems

TEST(BroydenSolve, LinearSystemIsSolvedByTheFirstNewtonStep) {
    // 3 u1 - u2 = 4, u1 + 2 u2 = 1.5: u = (19/14, 1/14)
    Recorder rec;
    const auto F = [&](const BroydenVec& u) {
        rec.record(u);
        return BroydenVec{3 * u[0] - u[1] - 4, u[0] + 2 * u[1] - 1.5};
    };
    const BroydenOutcome out = broydenSolve(F, settings());
    EXPECT_FALSE(out.NOCONV);
    EXPECT_TRUE(out.NOCONVSet);
    EXPECT_EQ(out.stop, BroydenStop::ResidualTolerance);
    EXPECT_NEAR(out.u[0], 19.0 / 14.0, 1e-9);
    EXPECT_NEAR(out.u[1], 1.0 / 14.0, 1e-9);
    EXPECT_LT(maxAbs(out.F), 1e-7);
    // start, two difference steps, one full step
    EXPECT_EQ(out.evaluations, 4);
    EXPECT_EQ(out.iterations, 1);
    EXPECT_EQ(out.jacobians, 1);
    EXPECT_EQ(out.backtracks, 0);
    ASSERT_EQ(rec.points.size(), 4u);
    const double h = settings().HSTEP;  // |uj| = 1 at the start
    EXPECT_EQ(rec.points[0], (BroydenVec{1, 1}));
    EXPECT_EQ(rec.points[1], (BroydenVec{1 + h, 1}));
    EXPECT_EQ(rec.points[2], (BroydenVec{1, 1 + h}));
    EXPECT_TRUE(out.singular.empty());
}

TEST(BroydenSolve, DifferenceStepIsTheIncrementActuallyTaken) {
    // F = u - r from u = (0.55, 0.57) to r = (0.4, 0.45): every difference
    // here is exact (operands within a factor 2), so with h taken back as
    // (uj + h) - uj each difference quotient is exactly 1, the factorisation
    // of I and the Newton step are exact, and the step lands on the root with
    // F = 0 exactly. At these uj the nominal h = HSTEP*uj is not the
    // increment that uj + h rounds to; dividing by it would put the slope off
    // by about 1e-10.
    const BroydenSettings cfg = settings();
    for (double uj : {0.55, 0.57}) ASSERT_NE((uj + cfg.HSTEP * uj) - uj, cfg.HSTEP * uj) << uj;
    const auto F = [](const BroydenVec& u) { return BroydenVec{u[0] - 0.4, u[1] - 0.45}; };
    const BroydenOutcome out = broydenSolve(F, cfg, {0.55, 0.57});
    EXPECT_EQ(out.u, (BroydenVec{0.4, 0.45}));
    EXPECT_EQ(out.F, (BroydenVec{0.0, 0.0}));
    EXPECT_EQ(out.evaluations, 4);
}

TEST(BroydenSolve, DifferenceStepIsRelativeToTheUnknown) {
    Recorder rec;
    const auto F = [&](const BroydenVec& u) {
        rec.record(u);
        return BroydenVec{u[0] + 6, 2 * (u[1] - 3)};
    };
    const BroydenOutcome out = broydenSolve(F, settings(), {-4.0, 0.0});
    ASSERT_GE(rec.points.size(), 3u);
    const double h = settings().HSTEP;
    EXPECT_EQ(rec.points[1][0], -4.0 + 4.0 * h) << "h = HSTEP*|u1|";
    EXPECT_EQ(rec.points[1][1], 0.0);
    EXPECT_EQ(rec.points[2][0], -4.0);
    EXPECT_EQ(rec.points[2][1], h) << "h = HSTEP where u2 = 0";
    EXPECT_FALSE(out.NOCONV);
    EXPECT_NEAR(out.u[0], -6.0, 1e-9);
    EXPECT_NEAR(out.u[1], 3.0, 1e-9);
}

TEST(BroydenSolve, CircleAndDiagonalMeetAtSqrtTwo) {
    // F1 = u1^2 + u2^2 - 4, F2 = u1 - u2; the first Newton step goes to
    // (1.5, 1.5), Broyden updates do the rest without another Jacobian.
    Recorder rec;
    const auto F = [&](const BroydenVec& u) {
        rec.record(u);
        return BroydenVec{u[0] * u[0] + u[1] * u[1] - 4, u[0] - u[1]};
    };
    const BroydenOutcome out = broydenSolve(F, settings());
    EXPECT_FALSE(out.NOCONV);
    EXPECT_EQ(out.stop, BroydenStop::ResidualTolerance);
    EXPECT_NEAR(out.u[0], std::sqrt(2.0), 1e-8);
    EXPECT_NEAR(out.u[1], std::sqrt(2.0), 1e-8);
    EXPECT_LT(maxAbs(out.F), 1e-7);
    ASSERT_GE(rec.points.size(), 4u);
    // forward differences are first-order: off by about HSTEP*F''/2
    EXPECT_NEAR(rec.points[3][0], 1.5, 2e-6);
    EXPECT_NEAR(rec.points[3][1], 1.5, 2e-6);
    EXPECT_EQ(out.jacobians, 1);
    EXPECT_EQ(out.backtracks, 0);
    EXPECT_EQ(out.evaluations, 8);  // 3 for the Jacobian, then one trial per iteration
    EXPECT_EQ(out.iterations, 5);
}

TEST(BroydenSolve, RosenbrockBacktracksAndConverges) {
    // F1 = 10 (u2 - u1^2), F2 = 1 - u1 from (-1.2, 1): the full Newton step
    // (1, -3.84) raises f from 12.1 to about 1171; the quadratic model's
    // minimum (lambda = 0.0102) is below a tenth, so the second trial is at
    // lambda = 0.1.
    Recorder rec;
    const auto F = [&](const BroydenVec& u) {
        rec.record(u);
        return BroydenVec{10 * (u[1] - u[0] * u[0]), 1 - u[0]};
    };
    const BroydenOutcome out = broydenSolve(F, settings(), {-1.2, 1.0});
    EXPECT_FALSE(out.NOCONV);
    EXPECT_EQ(out.stop, BroydenStop::ResidualTolerance);
    EXPECT_NEAR(out.u[0], 1.0, 1e-7);
    EXPECT_NEAR(out.u[1], 1.0, 1e-7);
    ASSERT_GE(rec.points.size(), 5u);
    // (difference Jacobian: first-order error of about HSTEP*F''/2)
    EXPECT_NEAR(rec.points[3][0], 1.0, 2e-5);
    EXPECT_NEAR(rec.points[3][1], -3.84, 2e-5);
    EXPECT_NEAR(rec.points[4][0], -1.2 + 0.1 * 2.2, 2e-6);
    EXPECT_NEAR(rec.points[4][1], 1.0 - 0.1 * 4.84, 2e-6);
    EXPECT_GT(out.backtracks, 0);
    // Recorded counts of this implementation (IEEE double, no contraction).
    EXPECT_EQ(out.evaluations, 48);
    EXPECT_EQ(out.iterations, 19);
    EXPECT_EQ(out.backtracks, 26);
    EXPECT_EQ(out.jacobians, 1);
}

// ---------------------------------------------------------------------------
// Start test

TEST(BroydenSolve, StartInBalanceTakesOneEvaluation) {
    const auto F = [](const BroydenVec& u) { return BroydenVec{1e-10 * (u[0] - 1), 9.99e-10 * u[1]}; };
    const BroydenOutcome out = broydenSolve(F, settings());
    EXPECT_EQ(out.evaluations, 1);
    EXPECT_EQ(out.iterations, 0);
    EXPECT_FALSE(out.NOCONV);
    EXPECT_TRUE(out.NOCONVSet);
    EXPECT_EQ(out.stop, BroydenStop::InitialBalance);
    EXPECT_EQ(out.u, (BroydenVec{1, 1}));
    EXPECT_EQ(out.F[1], 9.99e-10);
}

TEST(BroydenSolve, StartTestIsStrict) {
    // max|Fi| = TOLF0 exactly is not below it: the search iterates.
    const auto F = [](const BroydenVec& u) { return BroydenVec{1e-9 * u[0] * u[0], u[1] - 1}; };
    const BroydenOutcome out = broydenSolve(F, settings());
    EXPECT_GT(out.evaluations, 1);
    EXPECT_GE(out.iterations, 1);
    EXPECT_NE(out.stop, BroydenStop::InitialBalance);
}

// ---------------------------------------------------------------------------
// Line search failures

// F1 is flat at 0.01 left of u1 = 1 and rises with slope 1 to the right: the
// forward difference sees the slope, the Newton step (-0.01, 0) goes onto the
// plateau where f never drops, and the line search fails on a fresh
// Jacobian.
BroydenVec plateau(const BroydenVec& u) { return {std::max(u[0], 1.0) - 0.99, u[1] - 1}; }

TEST(BroydenSolve, FlatRegionFailsTheLineSearch) {
    Recorder rec;
    const auto F = [&](const BroydenVec& u) { return plateau(rec.record(u)); };
    const BroydenSettings cfg = settings();
    const BroydenOutcome out = broydenSolve(F, cfg);
    EXPECT_TRUE(out.NOCONV);
    EXPECT_EQ(out.stop, BroydenStop::LineSearchFailed);
    EXPECT_EQ(out.iterations, 1);
    EXPECT_EQ(out.jacobians, 1);
    EXPECT_EQ(out.u, (BroydenVec{1, 1})) << "back at the start";
    EXPECT_EQ(out.F, plateau({1, 1})) << "residuals of the start";
    EXPECT_NEAR(out.F[0], 0.01, 1e-15);

    ASSERT_GE(rec.points.size(), 6u);
    // lambda = 1, then the quadratic's minimum 1/2 (f(1) = f(0)), then the
    // cubic through the trials at 1/2 and 1: its minimum is at 1/(3 + sqrt 3).
    EXPECT_NEAR(rec.points[3][0], 1 - 0.01, 1e-12);
    EXPECT_NEAR(rec.points[4][0], 1 - 0.005, 1e-12);
    EXPECT_NEAR(rec.points[5][0], 1 - 0.01 / (3 + std::sqrt(3.0)), 1e-12);
    // The last trial is the first with lambda < lambda_min = TOLX/0.01.
    const double lamMin = cfg.TOLX / 0.01;
    const double lastLam = (1 - rec.points.back()[0]) / 0.01;
    const double prevLam = (1 - rec.points[rec.points.size() - 2][0]) / 0.01;
    EXPECT_LT(lastLam, lamMin);
    EXPECT_GE(prevLam, lamMin * (1 - 1e-6));
    for (std::size_t i = 3; i < rec.points.size(); ++i) {
        EXPECT_LT(rec.points[i][0], 1.0) << i;
        EXPECT_EQ(rec.points[i][1], 1.0) << i;
    }
    EXPECT_EQ(out.evaluations, 35);  // recorded: 3 + 32 line-search trials
    EXPECT_EQ(out.backtracks, 31);
}

TEST(BroydenSolve, FailureOnAnUpdatedJacobianAsksForAFreshOne) {
    // F1 = 0.5 - 0.5 x + 1.5 x^2 - 0.5 x^3 has F1(1) = 1, F1'(1) = 1, F1(0) = 0.5
    // and F1'(0) = -0.5; its only root is near 2.769. The first step goes to
    // x = 0; the secant slope there (0.5) points to the left, uphill. The line
    // search fails on the updated Jacobian, the gradient (0.25) is no
    // minimum, so the next evaluations are differences at x = 0 with h = HSTEP.
    Recorder rec;
    const auto F = [&](const BroydenVec& u) {
        rec.record(u);
        const double x = u[0];
        return BroydenVec{0.5 + x * (-0.5 + x * (1.5 - 0.5 * x)), u[1] - 1};
    };
    const BroydenSettings cfg = settings();
    const BroydenOutcome out = broydenSolve(F, cfg);
    ASSERT_GE(rec.points.size(), 28u);
    EXPECT_NEAR(rec.points[3][0], 0.0, 1e-9) << "first Newton step";
    EXPECT_NEAR(rec.points[4][0], -1.0, 1e-9) << "secant step to the left";
    std::size_t restart = 0;
    for (std::size_t i = 5; i < rec.points.size(); ++i)
        if (rec.points[i][0] > 0) {
            restart = i;
            break;
        }
    ASSERT_GT(restart, 5u);
    EXPECT_EQ(rec.points[restart][0], cfg.HSTEP) << "difference step at u1 = 0";
    EXPECT_LT(std::fabs(rec.points[restart - 1][0]), 1e-12) << "last trial of the failed search";
    EXPECT_EQ(rec.points[restart + 1], (BroydenVec{rec.points[3][0], 1 + cfg.HSTEP}));

    // x^3 - 3x^2 + x - 1 = 0 by bisection on [2, 3]
    double lo = 2, hi = 3;
    for (int i = 0; i < 200; ++i) {
        const double m = 0.5 * (lo + hi);
        ((m * m * m - 3 * m * m + m - 1) < 0 ? lo : hi) = m;
    }
    EXPECT_FALSE(out.NOCONV);
    EXPECT_EQ(out.stop, BroydenStop::ResidualTolerance);
    EXPECT_NEAR(out.u[0], lo, 1e-7);
    EXPECT_GE(out.jacobians, 2);
    EXPECT_EQ(out.jacobians, 4);  // recorded
    EXPECT_EQ(out.evaluations, 113);
}

TEST(BroydenSolve, GradientTestDividesByMaxOfMeritAndTwo) {
    // The cubic above fails its second line search at u1 = 0 with the secant
    // slope 0.5: g1 = 0.5*F1 = 0.25, f = 0.125, so the test value is
    // 0.25*max(|u1|, 1)/max(f, 2) = 0.125. With TOLMIN = 0.15 that is a
    // spurious minimum; with TOLMIN = 0.1 the search starts again.
    const auto F = [](const BroydenVec& u) {
        const double x = u[0];
        return BroydenVec{0.5 + x * (-0.5 + x * (1.5 - 0.5 * x)), u[1] - 1};
    };
    BroydenSettings cfg = settings();
    cfg.TOLMIN = 0.15;
    const BroydenOutcome stopped = broydenSolve(F, cfg);
    EXPECT_EQ(stopped.stop, BroydenStop::SpuriousMinimum);
    EXPECT_TRUE(stopped.NOCONV);
    EXPECT_EQ(stopped.iterations, 2);
    EXPECT_EQ(stopped.jacobians, 1);
    EXPECT_EQ(stopped.u[0], 0.0);
    // u is put back to the start of the search, and F and f with it (the
    // last trial, a hair left of 0, had F1 = 0.5 + 1e-14)
    EXPECT_EQ(stopped.F, F(stopped.u));
    EXPECT_EQ(stopped.f, 0.125);

    cfg.TOLMIN = 0.1;
    const BroydenOutcome restarted = broydenSolve(F, cfg);
    EXPECT_GE(restarted.jacobians, 2) << "fresh Jacobian after the failed search";
    EXPECT_GT(restarted.iterations, 2);
    EXPECT_GT(restarted.evaluations, stopped.evaluations);
}

TEST(BroydenSolve, SpuriousMinimumEndsTheSearch) {
    // F1 = u1^2 + 1 has no root; f has its minimum 1/2 at u1 = 0 where the
    // gradient vanishes. The search settles there and stops with NOCONV.
    const auto F = [](const BroydenVec& u) { return BroydenVec{u[0] * u[0] + 1, u[1] - 1}; };
    const BroydenOutcome out = broydenSolve(F, settings());
    EXPECT_TRUE(out.NOCONV);
    EXPECT_EQ(out.stop, BroydenStop::SpuriousMinimum);
    EXPECT_LT(std::fabs(out.u[0]), 1e-5);
    EXPECT_EQ(out.u[1], 1.0);
    EXPECT_NEAR(out.F[0], 1.0, 1e-10);
    EXPECT_FALSE(out.iterationLimit);
}

// ---------------------------------------------------------------------------
// Small step

TEST(BroydenSolve, StepBelowTolxRelativeToTheNewPointStops) {
    // With a coarse TOLX = 0.5: F1 = u1^2 - 2.2 gives the step 0.6 from
    // u1 = 1, accepted (0.6 >= lambda_min*0.6), and relative to the new
    // point 0.6/1.6 < 0.5 while F1 = 0.36: not converged.
    BroydenSettings cfg = settings();
    cfg.TOLX = 0.5;
    const auto F = [](const BroydenVec& u) { return BroydenVec{u[0] * u[0] - 2.2, u[1] - 1}; };
    const BroydenOutcome out = broydenSolve(F, cfg);
    EXPECT_TRUE(out.NOCONV);
    EXPECT_EQ(out.stop, BroydenStop::SmallStep);
    EXPECT_EQ(out.evaluations, 4);
    EXPECT_NEAR(out.u[0], 1.6, 2e-6);
    EXPECT_NEAR(out.F[0], 0.36, 5e-6);
}

// ---------------------------------------------------------------------------
// Step limits

TEST(BroydenSolve, StepLengthIsCutToStpmx) {
    Recorder rec;
    const auto F = [&](const BroydenVec& u) {
        rec.record(u);
        return BroydenVec{u[0] - 301, u[1] - 1};
    };
    const BroydenOutcome out = broydenSolve(F, settings());
    ASSERT_GE(rec.points.size(), 6u);
    EXPECT_NEAR(rec.points[3][0], 101.0, 1e-9);
    EXPECT_NEAR(rec.points[4][0], 201.0, 1e-9);
    EXPECT_NEAR(rec.points[5][0], 301.0, 1e-9);
    EXPECT_FALSE(out.NOCONV);
    EXPECT_EQ(out.evaluations, 6);
}

TEST(BroydenSolve, TrimCapShortensTheWholeStep) {
    // trimScale 0.15: the Newton step from (1, 1) to (2, 3) would reach
    // |u2*0.15| = 0.45. The factor 0.7^6 is the first with (1 + 2c) 0.15 <= 0.2.
    Recorder rec;
    const auto F = [&](const BroydenVec& u) {
        rec.record(u);
        return BroydenVec{u[0] - 2, u[1] - 3};
    };
    const BroydenSettings cfg = settings(0.15);
    const BroydenOutcome out = broydenSolve(F, cfg);
    ASSERT_GE(rec.points.size(), 4u);
    const double c = std::pow(0.7, 6);
    EXPECT_LE((1 + 2 * std::pow(0.7, 6)) * 0.15, 0.2);
    EXPECT_GT((1 + 2 * std::pow(0.7, 5)) * 0.15, 0.2);
    EXPECT_NEAR(rec.points[3][0], 1 + c, 1e-12);
    EXPECT_NEAR(rec.points[3][1], 1 + 2 * c, 1e-12);
    // The search creeps up to the cap and stalls there.
    EXPECT_TRUE(out.NOCONV);
    EXPECT_NEAR(out.u[1] * 0.15, 0.2, 1e-12);
    EXPECT_LE(std::fabs(out.u[1] * 0.15), 0.2);
}

TEST(BroydenSolve, TrimCapDoesNotHoldBackAPointAlreadyBeyondIt) {
    // |u2*trimScale| = 0.3 at the start: shortening cannot bring the end of
    // the step inside, so the step is left as it is.
    Recorder rec;
    const auto F = [&](const BroydenVec& u) {
        rec.record(u);
        return BroydenVec{u[0] - 2, u[1] - 3};
    };
    const BroydenOutcome out = broydenSolve(F, settings(0.3));
    ASSERT_GE(rec.points.size(), 4u);
    EXPECT_NEAR(rec.points[3][1], 3.0, 1e-9);
    EXPECT_FALSE(out.NOCONV);
    EXPECT_EQ(out.evaluations, 4);
}

TEST(BroydenSolve, TrimCapActsOnNegativeTrim) {
    Recorder rec;
    const auto F = [&](const BroydenVec& u) {
        rec.record(u);
        return BroydenVec{u[0] - 1, u[1] + 4};
    };
    const BroydenOutcome out = broydenSolve(F, settings(0.1));
    ASSERT_GE(rec.points.size(), 4u);
    // step (0, -5): |(1 - 5c) 0.1| <= 0.2 first at c = 0.49
    EXPECT_NEAR(rec.points[3][0], 1.0, 1e-12);
    EXPECT_NEAR(rec.points[3][1], 1 - 5 * 0.49, 1e-9);
    EXPECT_TRUE(out.NOCONV) << "the root (trim -0.4) lies beyond the cap";
    EXPECT_NEAR(out.u[1] * 0.1, -0.2, 1e-12);
}

// ---------------------------------------------------------------------------
// Singular factor

TEST(BroydenSolve, ZeroColumnReportsAndReplacesTheFirstPivot) {
    // F does not depend on u1: the first column of J is zero, R(1,1) = 0 is
    // replaced by 1e-10; the second equation is consistent with the first,
    // so the step (0, 1) still solves the system.
    std::vector<BroydenSingularEvent> seen;
    const BroydenSingularHook hook = [&](const BroydenSingularEvent& e) { seen.push_back(e); };
    const auto F = [](const BroydenVec& u) { return BroydenVec{u[1] - 2, 0.5 * (u[1] - 2)}; };
    const BroydenOutcome out = broydenSolve(F, settings(), {1.0, 1.0}, hook);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].iteration, 1);
    EXPECT_EQ(seen[0].row, 1);
    ASSERT_EQ(out.singular.size(), 1u);
    EXPECT_EQ(out.singular[0].iteration, 1);
    EXPECT_EQ(out.singular[0].row, 1);
    EXPECT_FALSE(out.NOCONV);
    EXPECT_EQ(out.u, (BroydenVec{1.0, 2.0}));
    EXPECT_EQ(out.evaluations, 4);
}

TEST(BroydenSolve, ZeroSecondColumnReportsTheSecondPivot) {
    const auto F = [](const BroydenVec& u) { return BroydenVec{u[0] - 2, 3 * (u[0] - 2)}; };
    const BroydenOutcome out = broydenSolve(F, settings());
    ASSERT_FALSE(out.singular.empty());
    EXPECT_EQ(out.singular[0].iteration, 1);
    EXPECT_EQ(out.singular[0].row, 2);
    EXPECT_NEAR(out.u[0], 2.0, 1e-7);
    EXPECT_FALSE(out.NOCONV);
}

// ---------------------------------------------------------------------------
// Iteration limit

// F1 = 1/u1 has its root at infinity: the secant steps grow like Fibonacci
// numbers up to STPMX and then advance by 100 per iteration, every one
// accepted, none converged.
BroydenVec receding(const BroydenVec& u) { return {1 / u[0], u[1] - 1}; }

TEST(BroydenSolve, IterationLimitIsReported) {
    const BroydenOutcome out = broydenSolve(receding, settings());
    EXPECT_TRUE(out.iterationLimit);
    EXPECT_EQ(out.stop, BroydenStop::IterationLimit);
    EXPECT_EQ(out.iterations, 200);
    EXPECT_FALSE(out.NOCONVSet) << "no line search failed: NOCONV never set";
    EXPECT_EQ(out.evaluations, 3 + 200);
    EXPECT_EQ(out.backtracks, 0);
    EXPECT_GT(out.u[0], 15000.0);
    EXPECT_NEAR(out.F[0], 1 / out.u[0], 1e-18);
}

TEST(BroydenSolve, IterationLimitFollowsTheSetting) {
    BroydenSettings cfg = settings();
    cfg.MAXITS = 7;
    const BroydenOutcome out = broydenSolve(receding, cfg);
    EXPECT_TRUE(out.iterationLimit);
    EXPECT_EQ(out.iterations, 7);
    EXPECT_EQ(out.evaluations, 10);
    // secant steps on 1/u from u = 1 add the previous point: 2, 3, 5, 8, 13, 21, 34
    EXPECT_NEAR(out.u[0], 34.0, 1e-3);
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
    int evaluations = 0;

    // A residual as the force balance would be wrapped: set the trial state
    // from u, then evaluate.
    template <class Model>
    ResidualFunction balance(Model model) {
        return [this, model](CaseState& s, RunFiles&, int NSTM1, const BroydenVec& u) {
            seenNSTM1 = NSTM1;
            ++evaluations;
            s.point.SINKG = u[0] * s.point.SINK0;
            s.point.TRIMW = u[1] * s.point.TRIM0;
            return model(s, u);
        };
    }
};

TEST_F(NullstFixture, ConvergedSearchScalesTheResultBack) {
    st->point.SINK0 = -0.004;
    st->point.TRIM0 = -0.0002;
    const auto model = [](const CaseState&, const BroydenVec& u) {
        return BroydenVec{u[0] * u[0] + u[1] * u[1] - 4, u[0] - u[1]};
    };
    NULLST(*st, io, IERR, NOCONV, 20, balance(model));
    EXPECT_FALSE(NOCONV);
    EXPECT_EQ(IERR, 0);
    EXPECT_EQ(seenNSTM1, 20) << "NSTM1 reaches the force balance";
    EXPECT_EQ(evaluations, 8);
    EXPECT_NEAR(st->point.SINKG, -0.004 * std::sqrt(2.0), 1e-10);
    EXPECT_NEAR(st->point.TRIMW, -0.0002 * std::sqrt(2.0), 1e-12);
    EXPECT_EQ(console.str(), "");
}

TEST_F(NullstFixture, StartInBalanceReturnsAfterOneEvaluation) {
    st->point.SINK0 = 0.01;
    st->point.TRIM0 = 0.0002;
    NOCONV = true;
    IERR = 0;
    const auto model = [](const CaseState&, const BroydenVec&) { return BroydenVec{5e-10, -5e-10}; };
    NULLST(*st, io, IERR, NOCONV, 10, balance(model));
    EXPECT_EQ(evaluations, 1);
    EXPECT_FALSE(NOCONV);
    EXPECT_EQ(IERR, 0);
    EXPECT_EQ(st->point.SINKG, 0.01);
    EXPECT_EQ(st->point.TRIMW, 0.0002);
}

TEST_F(NullstFixture, FlatRegionLeavesTheStartAndNoconv) {
    st->point.SINK0 = 0.003;
    st->point.TRIM0 = -0.0004;
    IERR = 0;
    NOCONV = false;
    const auto model = [](const CaseState&, const BroydenVec& u) { return plateau(u); };
    NULLST(*st, io, IERR, NOCONV, 10, balance(model));
    EXPECT_TRUE(NOCONV);
    EXPECT_EQ(IERR, 0);
    EXPECT_EQ(evaluations, 35);
    // the last evaluation was a rejected trial; the state is put back at u = (1, 1)
    EXPECT_EQ(st->point.SINKG, 0.003);
    EXPECT_EQ(st->point.TRIMW, -0.0004);
    EXPECT_EQ(console.str(), "");
}

TEST_F(NullstFixture, TrimCapKeepsEveryFullStepWithinTwoTenths) {
    // TRIM0 = 0.19: the start is just inside the cap, the balance wants
    // TRIMW = 0.57. No line-search trial goes beyond |TRIMW| = 0.2; the only
    // evaluations beyond it are the difference steps of a Jacobian taken on
    // the cap (HSTEP relative).
    st->point.SINK0 = 0.01;
    st->point.TRIM0 = 0.19;
    std::vector<BroydenVec> points;
    const auto model = [&points](const CaseState&, const BroydenVec& u) {
        points.push_back(u);
        return BroydenVec{u[0] - 2, u[1] - 3};
    };
    NULLST(*st, io, IERR, NOCONV, 10, balance(model));
    const double h = BroydenSettings::forEps(st->run.EPS, 0).HSTEP;
    ASSERT_GE(points.size(), 4u);
    int trialsNearCap = 0;
    for (std::size_t j = 0; j < points.size(); ++j) {
        const double trim = std::fabs(points[j][1] * 0.19);
        if (trim > 0.2) {
            // a difference step: same u1 as an earlier point, u2 larger by h|u2|
            bool difference = false;
            for (std::size_t i = 0; i < j; ++i)
                if (points[i][0] == points[j][0] && points[j][1] > points[i][1] &&
                    points[j][1] - points[i][1] <= h * std::fabs(points[i][1]) * (1 + 1e-9))
                    difference = true;
            EXPECT_TRUE(difference) << "trial beyond the cap at " << j << ": " << trim;
            EXPECT_LT(trim, 0.2 * (1 + 2 * h));
        } else if (trim > 0.199) {
            ++trialsNearCap;
        }
    }
    EXPECT_GT(trialsNearCap, 3);
    EXPECT_TRUE(NOCONV);
    EXPECT_EQ(IERR, 0);
    EXPECT_LE(std::fabs(st->point.TRIMW), 0.2);
    EXPECT_NEAR(st->point.TRIMW, 0.2, 1e-12);
}

TEST_F(NullstFixture, SmallTrimScaleLeavesTheCapIdle) {
    st->point.SINK0 = 0.01;
    st->point.TRIM0 = 0.0002;
    std::vector<BroydenVec> points;
    const auto model = [&points](const CaseState&, const BroydenVec& u) {
        points.push_back(u);
        return BroydenVec{u[0] - 2, u[1] - 3};
    };
    NULLST(*st, io, IERR, NOCONV, 10, balance(model));
    ASSERT_EQ(points.size(), 4u);
    EXPECT_NEAR(points[3][0], 2.0, 1e-9) << "the full Newton step";
    EXPECT_NEAR(points[3][1], 3.0, 1e-9);
    EXPECT_FALSE(NOCONV);
    EXPECT_NEAR(st->point.SINKG, 0.02, 1e-11);
    EXPECT_NEAR(st->point.TRIMW, 0.0006, 1e-12);
}

TEST_F(NullstFixture, SingularFactorMessageIsAlwaysPrinted) {
    st->run.DIAG = false;
    st->point.SINK0 = 0.01;
    st->point.TRIM0 = 0.0002;
    const auto model = [](const CaseState&, const BroydenVec& u) {
        return BroydenVec{u[1] - 2, 0.5 * (u[1] - 2)};
    };
    NULLST(*st, io, IERR, NOCONV, 10, balance(model));
    EXPECT_EQ(console.str(), " R-Matrix singulaer bei derNullstellensuche ITS=           1\n");
    EXPECT_FALSE(NOCONV);
    EXPECT_EQ(IERR, 0);
    EXPECT_EQ(st->point.SINKG, 0.01);
    EXPECT_NEAR(st->point.TRIMW, 0.0004, 1e-15);
}

TEST_F(NullstFixture, IterationLimitSetsIerrAndReportsWithDiag) {
    st->run.DIAG = true;
    st->point.SINK0 = 0.001;
    st->point.TRIM0 = 0.0002;
    IERR = 0;
    NOCONV = false;
    const auto model = [](const CaseState&, const BroydenVec& u) { return receding(u); };
    NULLST(*st, io, IERR, NOCONV, 10, balance(model));
    EXPECT_EQ(IERR, 12);
    EXPECT_FALSE(NOCONV) << "never set by the search, left as entered";
    EXPECT_EQ(evaluations, 203);
    EXPECT_EQ(console.str(), " Keine Nullstelle nach         200 Iterationen gefunden\n");
    EXPECT_GT(st->point.SINKG, 15.0);
    EXPECT_DOUBLE_EQ(st->point.TRIMW, 0.0002);
}

TEST_F(NullstFixture, IterationLimitIsSilentWithoutDiag) {
    st->run.DIAG = false;
    st->point.SINK0 = 0.001;
    st->point.TRIM0 = 0.0002;
    IERR = 0;
    NOCONV = true;
    const auto model = [](const CaseState&, const BroydenVec& u) { return receding(u); };
    NULLST(*st, io, IERR, NOCONV, 10, balance(model));
    EXPECT_EQ(IERR, 12);
    EXPECT_TRUE(NOCONV) << "left as entered";
    EXPECT_EQ(console.str(), "");
}

TEST_F(NullstFixture, IerrIsLeftAloneWithoutTheIterationLimit) {
    st->point.SINK0 = 0.001;
    st->point.TRIM0 = 0.0002;
    IERR = 3;
    const auto model = [](const CaseState&, const BroydenVec& u) { return BroydenVec{u[0] - 2, u[1] - 3}; };
    NULLST(*st, io, IERR, NOCONV, 10, balance(model));
    EXPECT_EQ(IERR, 3);
    EXPECT_FALSE(NOCONV);
}

// A wall-sided box barge: L = 10, B = 3, draught 0.5 + SINKG; trimming by
// TRIMW moves the centre of buoyancy by L^2 tan(TRIMW) / (12 T). The weight
// and the external moment fix the equilibrium in closed form.
TEST_F(NullstFixture, BoxBargeFloatsAtTheAnalyticEquilibrium) {
    const double L = 10, B = 3, T0 = 0.5, xm = 5.0;
    st->run.GRAV = 9.8055;
    st->upright.LWL = L;
    st->point.RHO = 1025.0;
    st->point.WEIGHT = 16.8 * 1025.0 * 9.8055;
    st->point.FLOADN = -1500.0;
    st->point.XCG = 5.2;
    st->point.SINK0 = -0.002 * T0;  // first start scale of the driver
    st->point.TRIM0 = -0.0002;
    const double PMOM = 4000.0;
    const auto model = [&](CaseState& s, const BroydenVec&) {
        const double T = T0 + s.point.SINKG;
        s.balance.VDISP = L * B * T;
        s.balance.XCB = xm + L * L * std::tan(s.point.TRIMW) / (12 * T);
        s.balance.PMOM = PMOM;
        return equilibriumResiduals(s.balance.VDISP, s.point.RHO, s.run.GRAV, 0.0, 0.0, s.point.FLOADN, 0.0,
                                    s.point.WEIGHT, s.balance.XCB, s.point.XCG, s.balance.PMOM, s.upright.LWL);
    };
    NULLST(*st, io, IERR, NOCONV, 10, balance(model));

    const double rg = 1025.0 * 9.8055;
    const double V = (st->point.WEIGHT - st->point.FLOADN) / rg;
    const double T = V / (L * B);
    const double trim = std::atan((5.2 + PMOM / (V * rg) - xm) * 12 * T / (L * L));
    EXPECT_FALSE(NOCONV);
    EXPECT_EQ(IERR, 0);
    EXPECT_NEAR(st->point.SINKG, T - T0, 1e-7);
    EXPECT_NEAR(st->point.TRIMW, trim, 1e-8);
    EXPECT_GT(T - T0, 0.06);
    EXPECT_GT(trim, 0.01);
}

// ---------------------------------------------------------------------------
// Residual formulas

TEST(RootSearchResiduals, ForceAndMomentImbalance) {
    const double rg = 1025.0 * 9.8055;
    const double VDISP = 10.0;
    const double W = 10.2 * rg;
    // F1 = (V rho g + FZK + FZR + FLOADN + RTRIM)/W - 1
    const BroydenVec r = equilibriumResiduals(VDISP, 1025.0, 9.8055, 300.0, -100.0, -250.0, 50.0, W, 5.3, 5.0,
                                              0.1 * VDISP * rg, 8.0);
    EXPECT_NEAR(r[0], (VDISP * rg + 300.0 - 100.0 - 250.0 + 50.0) / W - 1.0, 1e-15);
    EXPECT_NEAR(r[0], (10.0 - 10.2) / 10.2, 1e-15);
    // F2 = 10 ((XCB - XCG) - PMOM/(V rho g)) / LWL = 10 (0.3 - 0.1)/8
    EXPECT_NEAR(r[1], 0.25, 1e-14);
}

TEST(RootSearchResiduals, BalancedStateGivesZero) {
    const double rg = 1000.0 * 9.81;
    const BroydenVec r =
        equilibriumResiduals(2.0, 1000.0, 9.81, 0.0, 0.0, 0.0, 0.0, 2.0 * rg, 4.5, 4.0, 0.5 * 2.0 * rg, 12.0);
    EXPECT_NEAR(r[0], 0.0, 1e-15);
    EXPECT_NEAR(r[1], 0.0, 1e-15);
}

TEST(RootSearchResiduals, LoadsCountWithTheirSign) {
    const double rg = 1000.0 * 9.81;
    const BroydenVec up = equilibriumResiduals(1.0, 1000.0, 9.81, 0.0, 0.0, 0.0, 0.0, rg, 0, 0, 0, 10.0);
    const BroydenVec load = equilibriumResiduals(1.0, 1000.0, 9.81, 0.0, 0.0, -0.1 * rg, 0.0, rg, 0, 0, 0, 10.0);
    const BroydenVec keel = equilibriumResiduals(1.0, 1000.0, 9.81, 0.05 * rg, 0.0, 0.0, 0.0, rg, 0, 0, 0, 10.0);
    EXPECT_NEAR(up[0], 0.0, 1e-15);
    EXPECT_NEAR(load[0], -0.1, 1e-15);
    EXPECT_NEAR(keel[0], 0.05, 1e-15);
}

}  // namespace
}  // namespace carinex
