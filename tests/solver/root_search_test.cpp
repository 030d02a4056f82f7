// The equilibrium root search: where the Broyden search ends on residuals
// with known roots (or none) and why, its line-search trials, and NULLST's
// outcomes and messages, trim cap and box-barge balance.
#include "solver/root_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/heeled_support.h"

namespace carinex {
namespace {

using V = BroydenVec;
using Residual = V (*)(const V&);
const BroydenSettings kRun = BroydenSettings::forEps(8.881784197001252e-16, 0.0002);  // EPS 2^-50, as the run

// F1 is flat at 0.01 left of u1 = 1, slope 1 right of it: the Newton step goes onto the plateau.
V plateau(const V& u) { return {std::max(u[0], 1.0) - 0.99, u[1] - 1}; }
// F1(1) = 1, F1'(1) = 1, F1(0) = 0.5, F1'(0) = -0.5: the secant at 0 points uphill; root 2.76929235423863.
V cubic(const V& u) { return {0.5 + u[0] * (-0.5 + u[0] * (1.5 - 0.5 * u[0])), u[1] - 1}; }
// root at infinity: secant steps on 1/u from 1 add the previous point (2, 3, 5, ... 34 after 7)
V receding(const V& u) { return {1 / u[0], u[1] - 1}; }

TEST(BroydenSolve, EndsAtTheKnownRootOrStopsForTheRightReason) {
    using S = BroydenStop;
    const struct {
        const char* name;
        Residual F;
        V start, u;
        double tol;
        S stop;
        void (*tweak)(BroydenSettings&) = nullptr;
    } cases[] = {
        {"Rosenbrock", [](const V& u) { return V{10 * (u[1] - u[0] * u[0]), 1 - u[0]}; }, {-1.2, 1}, {1, 1}, 1e-7,
         S::ResidualTolerance},
        {"cubic: fresh Jacobian after a failed search", cubic, {1, 1}, {2.76929235423863, 1}, 1e-7,
         S::ResidualTolerance},
        // at the failure g1 = 0.25, f = 0.125: the test 0.25*max(|u1|, 1)/max(f, 2) = 0.125
        {"cubic: gradient below TOLMIN", cubic, {1, 1}, {0, 1}, 0, S::SpuriousMinimum,
         [](BroydenSettings& s) { s.TOLMIN = 0.15; }},
        {"in balance", [](const V& u) { return V{1e-10 * (u[0] - 1), 9.99e-10 * u[1]}; }, {1, 1}, {1, 1}, 0,
         S::InitialBalance},
        {"plateau", plateau, {1, 1}, {1, 1}, 0, S::LineSearchFailed},
        // the step 0.6 from 1 is below TOLX = 0.5 relative to the new point 1.6
        {"small step", [](const V& u) { return V{u[0] * u[0] - 2.2, u[1] - 1}; }, {1, 1}, {1.6, 1}, 2e-6,
         S::SmallStep, [](BroydenSettings& s) { s.TOLX = 0.5; }},
        {"iteration limit", receding, {1, 1}, {34, 1}, 1e-3, S::IterationLimit,
         [](BroydenSettings& s) { s.MAXITS = 7; }},
    };
    for (const auto& c : cases) {
        BroydenSettings cfg = kRun;
        if (c.tweak) c.tweak(cfg);
        const BroydenOutcome out = broydenSolve(c.F, cfg, c.start);
        const bool converged = c.stop == S::ResidualTolerance || c.stop == S::InitialBalance;
        EXPECT_EQ(out.stop, c.stop) << c.name;
        EXPECT_EQ(out.NOCONVSet, c.stop != S::IterationLimit) << c.name << ": set only by a decision";
        EXPECT_EQ(out.NOCONV, out.NOCONVSet && !converged) << c.name;
        EXPECT_EQ(out.iterationLimit, c.stop == S::IterationLimit) << c.name;
        EXPECT_NEAR(out.u[0], c.u[0], c.tol) << c.name;
        EXPECT_NEAR(out.u[1], c.u[1], c.tol) << c.name;
        EXPECT_EQ(out.F, c.F(out.u)) << c.name << ": residuals of the point returned, not of the last trial";
    }
}

TEST(BroydenSolve, LineSearchTrials) {
    std::vector<V> p;  // every point the residual is evaluated at
    broydenSolve(
        [&](const V& u) {
            p.push_back(u);
            return plateau(u);
        },
        kRun, V{1, 1});
    // plateau: lambda 1, the quadratic's minimum 1/2 (f(1) = f(0)), the cubic's through the trials
    // at 1/2 and 1, 1/(3 + sqrt 3); the last trial is the first with lambda < TOLX/|p| (p = 0.01)
    ASSERT_GE(p.size(), 6u);
    EXPECT_NEAR(p[3][0], 1 - 0.01, 1e-12);
    EXPECT_NEAR(p[4][0], 1 - 0.005, 1e-12);
    EXPECT_NEAR(p[5][0], 1 - 0.01 / (3 + std::sqrt(3.0)), 1e-12);
    EXPECT_LT((1 - p[p.size() - 1][0]) / 0.01, kRun.TOLX / 0.01);
    EXPECT_GE((1 - p[p.size() - 2][0]) / 0.01, kRun.TOLX / 0.01 * (1 - 1e-6));
}

// A wall-sided box barge L = 10, B = 3, draught 0.5 + SINKG, whose trim moves
// the centre of buoyancy by L^2 tan(TRIMW) / (12 T), under a load and a
// moment: equilibrium in closed form. SINKG = 0.01 u1, TRIMW = 0.19 u2.
constexpr double kL = 10, kB = 3, kT0 = 0.5, kPMOM = 4000, kRG = 1025.0 * 9.8055, kW = 16.8 * kRG, kLoad = -1500;
V boxBarge(const V& u) {
    const double T = kT0 + 0.01 * u[0], XCB = 5.0 + kL * kL * std::tan(0.19 * u[1]) / (12 * T);
    return equilibriumResiduals(kL * kB * T, 1025.0, 9.8055, 0, 0, kLoad, 0, kW, XCB, 5.2, kPMOM, kL);
}

// NULLST from SINK0 = 0.01, TRIM0 = 0.19 (just inside the trim cap), on
// models of u as the force balance would evaluate them.
TEST(Nullst, OutcomesMessagesTheTrimCapAndTheBoxBarge) {
    const double V0 = (kW - kLoad) / kRG, T = V0 / (kL * kB);
    const double trim = std::atan((5.2 + kPMOM / (V0 * kRG) - 5.0) * 12 * T / (kL * kL));
    const struct {
        const char* name;
        Residual F;
        bool diag, noconvBefore, noconv;
        int ierr;  // 3: left alone
        V u, tol;  // multipliers of SINK0 and TRIM0 (u1 NaN: not checked)
        const char* console;
    } cases[] = {
        {"box barge", boxBarge, true, true, false, 3, {(T - kT0) / 0.01, trim / 0.19}, {1e-5, 1e-8 / 0.19}, ""},
        {"zero second column", [](const V& u) { return V{u[0] - 2, 3 * (u[0] - 2)}; }, false, true, false, 3, {2, 1},
         {1e-7, 5e-6}, " R-Matrix singulaer bei derNullstellensuche ITS=           1\n"},
        // the balance wants TRIMW = 0.57: the search stalls at the cap
        {"trim cap", [](const V& u) { return V{u[0] - 2, u[1] - 3}; }, true, false, true, 3, {NAN, 0.2 / 0.19},
         {0, 1e-12 / 0.19}, ""},
        // NOCONV is never set on the way there: left as entered
        {"iteration limit", receding, true, true, true, 12, {NAN, 1}, {0, 0},
         " Keine Nullstelle nach         200 Iterationen gefunden\n"},
        {"iteration limit, quiet", receding, false, false, false, 12, {NAN, 1}, {0, 0}, ""},
    };
    EXPECT_NEAR(boxBarge({0, 0})[1], 10 * (-0.2 - kPMOM / (kL * kB * kT0 * kRG)) / kL, 1e-14) << "trim: ten lever errors";
    test::heel::Bench b;
    auto& st = b.st;
    st->point.SINK0 = 0.01;
    st->point.TRIM0 = 0.19;
    std::vector<V> points;
    for (const auto& c : cases) {
        st->run.DIAG = c.diag;
        bool NOCONV = c.noconvBefore;
        int IERR = 3;
        points.clear();
        b.console.str("");
        NULLST(*st, b.io, IERR, NOCONV, 20, [&](CaseState& s, RunFiles&, int NSTM1, const V& u) {
            EXPECT_EQ(NSTM1, 20);
            points.push_back(u);
            s.point.SINKG = u[0] * s.point.SINK0;
            s.point.TRIMW = u[1] * s.point.TRIM0;
            return c.F(u);
        });
        EXPECT_EQ(NOCONV, c.noconv) << c.name;
        EXPECT_EQ(IERR, c.ierr) << c.name;
        EXPECT_TRUE(std::isnan(c.u[0]) || std::fabs(st->point.SINKG - 0.01 * c.u[0]) <= 0.01 * c.tol[0])
            << c.name;
        EXPECT_NEAR(st->point.TRIMW, 0.19 * c.u[1], 0.19 * c.tol[1]) << c.name;
        EXPECT_EQ(b.console.str(), c.console) << c.name;
        // only difference steps taken on the cap may go beyond it
        for (const V& u : points) EXPECT_LT(std::fabs(u[1] * 0.19), 0.2 * (1 + 2 * kRun.HSTEP)) << c.name;
    }
    EXPECT_EQ(points.size(), 203u) << "3 for the Jacobian, one trial in each of 200 iterations";
}

}  // namespace
}  // namespace carinex
