// The equilibrium of a test point. The root search: where the Broyden search
// ends on residuals with known roots (or none) and why, its line-search
// trials, and NULLST's outcomes and messages, trim cap and box-barge balance.
// The test-point driver and the force balance: substitute values and messages
// of failed evaluations on the example campaign's final state; solved,
// accepted and failed points end to end (restarts, messages, exit status, the
// zero row); start scales and attempt outcomes.
// (The campaign's printed results are guarded by the whole-run reference.)
#include "solver/test_point_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "driver/run_driver.h"
#include "driver/table_writer.h"
#include "flow/friction_line.h"
#include "platform/files.h"
#include "solver/force_balance.h"
#include "solver/root_search.h"
#include "support/heeled_support.h"
#include "support/scratch_dir.h"

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
        // a failed line search from the secant at 0 is retried on a fresh Jacobian
        {"cubic, fresh Jacobian", cubic, {1, 1}, {2.76929235423863, 1}, 1e-7, S::ResidualTolerance},
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
        for (std::size_t i : {0u, 1u}) EXPECT_NEAR(out.u[i], c.u[i], c.tol) << c.name << " u" << i + 1;
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
    const double lambda[] = {1, 0.5, 1 / (3 + std::sqrt(3.0))};
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(p[3 + i][0], 1 - 0.01 * lambda[i], 1e-12) << "trial " << i + 1;
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
    st->point = {.SINK0 = 0.01, .TRIM0 = 0.19};
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

// The example campaign CR3 in `dir`; test points, if given, in place of its eleven.
void writeExample(const test::ScratchDir& dir, const std::vector<std::string>& points = {}) {
    dir.copyExample("cruiser");
    if (points.empty()) return;
    auto lines = splitLines(dir.read("INPUT/CX_CR3_IN.TXT"));
    lines.at(53) = std::to_string(points.size());  // NTEST
    lines.resize(lines.size() - 11);
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    for (const auto& point : points) text += point + "\n";
    dir.write("INPUT/CX_CR3_IN.TXT", text);
}

// Failed trial states evaluated on a copy of the example campaign's final state.
TEST(ForceBalance, OnTheExampleCampaign) {
    test::ScratchDir dir;
    writeExample(dir);
    const test::RunOutcome run = test::runIn(dir.path(), "CR3\n");
    ASSERT_EQ(run.status, 0) << run.console;

    test::heel::Bench b;  // a copy of the final state, its console captured
    auto& st = b.st = std::make_unique<CaseState>(*run.state);
    const auto balance = [&] { BILANZ(*st, b.io, st->raw.NST - 1); };
    // failed hydrostatics: the water surface 5 m below the keel, nothing
    // immersed; substitute values in balance in moment, none of an earlier state's forces
    st->point.MEXT = 250.0;
    st->point.SINKG = 5.0;
    st->app.FZK = st->app.RTRIM = st->app.YHULL = 1.0;
    balance();
    EXPECT_EQ((std::array{st->app.FZK, st->app.RTRIM, st->app.YHULL, st->balance.PMOM, st->balance.XCB}),
              (std::array{0.0, 0.0, 0.0, 250.0, st->point.XCG}));
    EXPECT_DOUBLE_EQ(st->flow.RFRIC, frictionLineSubstitute(*st));
    EXPECT_DOUBLE_EQ(st->trial.VOLCB, st->input.VOLUME * 1e-9) << "the default path keeps its tiny volume";
    EXPECT_EQ(b.console.str(), "") << "messages only with diagnostics";
    st->run.DIAG = true;
    balance();
    EXPECT_EQ(b.console.str(), " FEHLER KRAENG alle Werte = DEFAULT\n Fehler in BILANZ > Fantasiewerte\n");
    // the drag acts at the towing height: 1 m higher adds the drag along the heeled hull, times
    // the cosine of the heel, to the pitching moment (no stimulators, whose drag has its own lever)
    st->point.APPON = false;
    st->point.SINKG = st->point.TRIMW = 0.0;
    st->input.ZTOW = 0.0;
    balance();
    const double moment0 = st->balance.PMOM;
    st->input.ZTOW = 1.0;
    balance();
    ASSERT_EQ(st->flow.RSTUD, 0.0);
    const double drag = st->balance.RRES * st->point.COSLW + st->app.XHULL;
    EXPECT_NEAR(st->balance.PMOM - moment0, drag * st->point.COSPHI, 1e-9 * drag);
    // two stations at the same x: no area spline, three times the yacht's volume
    b.console.str("");
    st->point.SINKG = 0.0;
    st->hull.XST[20] = st->hull.XST[19];
    balance();
    EXPECT_EQ(st->trial.VOLCB, 3.0 * st->point.VTOT);
    EXPECT_EQ(b.console.str(), " FEHLER KRAENG ARINT\n Fehler in BILANZ > Fantasiewerte\n");
}

// Three points: one that floats; one at 4 m/s and 3 degrees leeway whose
// search stalls next to the equilibrium (accepted, with the larger residual in
// percent); one under a load beyond the buoyancy of the whole hull, tried five
// times (four restarts, shown with diagnostics), reported and written as the zero row.
TEST(TestPointDriver, SolvedAcceptedAndNotConvergedPointsEndToEnd) {
    test::ScratchDir dir;
    writeExample(dir, {"  3.0  0.0  15.0  0.1  50.0  0.0  0.0  0.0  0.0  0.0",
                       "  4.0  0.0  15.0  0.1  50.0  0.0  1.0  3.0  0.0  0.0",
                       "  3.0  0.0  15.0  0.1  50.0  0.0  0.0  0.0  0.0  4.0E5"});
    auto out = test::runIn(dir.path(), "CR3\n", RunOptions{.diag = true});
    ASSERT_EQ(out.status, kExitNotConverged) << out.console;
    const std::string& c = out.console;
    EXPECT_NE(c.find("warning: 1 of 3 test points did not converge (rows of zeros in the table); exit status 2\n"),
              std::string::npos)
        << c;
    const std::string acceptedLines = "\n       spurious convergence\nresiduary error in equilibrium =";
    const std::string failedLines = "\n     NO convergence at FN =   0.30\n      relative residuary error =";
    const auto solved = c.find("\n   solved for FN =   0.30\ntransition at ");
    const auto accepted = c.find(acceptedLines), failed = c.find(failedLines);
    ASSERT_TRUE(solved < accepted && accepted < failed && failed != std::string::npos) << c;
    const auto acceptedEnd = accepted + acceptedLines.size() + 8;
    EXPECT_LT(std::stod(c.substr(accepted + acceptedLines.size(), 8)), 0.1) << "both residuals below 0.001";
    const std::string acceptedTail = " %\n solution accepted for FN =   0.40\n";
    EXPECT_EQ(c.substr(acceptedEnd, acceptedTail.size()), acceptedTail);
    const auto between = splitLines(c.substr(acceptedEnd, failed - acceptedEnd));
    EXPECT_EQ(std::count(between.begin(), between.end(), " Neustart"), 4) << c;
    // the residual shown is the last attempt's, too large to accept, then an empty line
    const std::string error = c.substr(failed + failedLines.size(), 10);
    EXPECT_GE(std::stod(error), 0.001) << error;
    EXPECT_EQ(error.substr(8), "\n\n") << error;
    // the zero row at the Froude number of the last trial state
    const auto table = splitLines(dir.read("DRAG/DRAG_CR3.TXT"));
    ASSERT_GE(table.size(), 3u);
    EXPECT_EQ(table.back(), zeroRowLine(1, out.state->balance.FN));
}

// When an attempt is solved, accepted on its residuals, restarted or given up.
TEST(TestPointDriver, AttemptOutcomes) {
    using O = AttemptOutcome;
    const std::tuple<int, bool, int, double, double, O> rows[] = {  // k, NOCONV, IERR, RF, RM, outcome
        {1, false, 0, 0.5, 0.5, O::Solved},  // a converged search: residuals not looked at
        {3, false, 12, 0.0009, 0.0009, O::Accepted},  // the iteration limit, both residuals below 0.001
        {1, true, 0, 0.001, 0.0, O::Restart},          // the limit itself is not accepted
        {4, false, 12, 0.0, 0.005, O::Restart},
        {5, true, 0, 0.005, 0.0, O::NotConverged},
    };
    for (const auto& [k, NOCONV, IERR, RF, RM, outcome] : rows)
        EXPECT_EQ(attemptOutcome(k, NOCONV, IERR, RF, RM), outcome) << k;
    // the restarts' start scales alternate in sign and grow with the square of the attempt
    for (int k = 1; k <= 5; ++k) {
        const double grown = (k % 2 == 0 ? 1 : -1) * k * k;
        EXPECT_NEAR(startScales(k, 0.5).SINK0, 0.001 * grown, 1e-15) << k;
        EXPECT_NEAR(startScales(k, 0.5).TRIM0, 0.0002 * grown, 1e-15) << k;
    }
}

}  // namespace
}  // namespace carinex
