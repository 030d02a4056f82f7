// The test-point driver and the force balance: substitute values and messages
// of failed evaluations on the example campaign's final state; solved,
// accepted and failed points end to end (restarts, messages, exit status, the
// zero row); start scales and attempt outcomes.
// (The campaign's printed results are guarded by the whole-run reference.)
#include "solver/test_point_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "driver/run_driver.h"
#include "driver/table_writer.h"
#include "flow/friction_line.h"
#include "platform/files.h"
#include "solver/force_balance.h"
#include "support/heeled_support.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

// The example case CR3 in `dir` with input records replaced (0-based line,
// text) and, if given, other test points instead of its eleven.
void writeExample(const test::ScratchDir& dir, std::initializer_list<std::pair<std::size_t, std::string>> edits,
                  std::initializer_list<std::string> points = {}) {
    const auto source = std::filesystem::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"OFFSETS", "APPEND"})
        std::filesystem::copy(source / folder, dir.path() / folder, std::filesystem::copy_options::recursive);
    auto lines = splitLines(test::ScratchDir::readFile(source / "INPUT" / "CX_CR3_IN.TXT"));
    for (const auto& [at, text] : edits) lines.at(at) = text;
    if (points.size() > 0) lines.resize(lines.size() - 11);
    lines.insert(lines.end(), points.begin(), points.end());
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    dir.write("INPUT/CX_CR3_IN.TXT", text);
}

// Failed trial states evaluated on a copy of the example campaign's final state.
TEST(ForceBalance, OnTheExampleCampaign) {
    test::ScratchDir dir;
    writeExample(dir, {});
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
    EXPECT_EQ((std::array{st->app.FZK, st->app.RTRIM, st->app.YHULL, st->balance.PMOM}),
              (std::array{0.0, 0.0, 0.0, 250.0}));
    EXPECT_EQ(st->balance.XCB, st->point.XCG);
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
    std::array<double, 2> moment{};
    for (std::size_t z : {0u, 1u}) {
        st->input.ZTOW = static_cast<double>(z);
        balance();
        moment[z] = st->balance.PMOM;
    }
    ASSERT_EQ(st->flow.RSTUD, 0.0);
    const double drag = st->balance.RRES * st->point.COSLW + st->app.XHULL;
    EXPECT_NEAR(moment[1] - moment[0], drag * st->point.COSPHI, 1e-9 * drag);
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
    writeExample(dir, {{53, "3"}},  // NTEST
                 {"  3.0  0.0  15.0  0.1  50.0  0.0  0.0  0.0  0.0  0.0",
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
    const struct {
        int k;
        bool NOCONV;
        int IERR;
        double RF, RM;
        O outcome;
    } rows[] = {
        {1, false, 0, 0.5, 0.5, O::Solved},  // a converged search: residuals not looked at
        {3, false, 12, 0.0009, 0.0009, O::Accepted},  // the iteration limit, both residuals below 0.001
        {1, true, 0, 0.001, 0.0, O::Restart},          // the limit itself is not accepted
        {4, false, 12, 0.0, 0.005, O::Restart},
        {5, true, 0, 0.005, 0.0, O::NotConverged},
    };
    for (const auto& r : rows) EXPECT_EQ(attemptOutcome(r.k, r.NOCONV, r.IERR, r.RF, r.RM), r.outcome) << r.k;
    // the restarts' start scales alternate in sign and grow with the square of the attempt
    for (int k = 1; k <= 5; ++k) {
        const double grown = (k % 2 == 0 ? 1 : -1) * k * k;
        EXPECT_NEAR(startScales(k, 0.5).SINK0, 0.001 * grown, 1e-15) << k;
        EXPECT_NEAR(startScales(k, 0.5).TRIM0, 0.0002 * grown, 1e-15) << k;
    }
}

}  // namespace
}  // namespace carinex
