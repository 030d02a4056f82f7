// Whole campaigns on the example cruiser-racer in every table mode, solved,
// accepted and failed points end to end, and the pieces of the test-point
// driver with known answers (start scales, attempt outcomes, water).
#include "solver/test_point_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "driver/run_driver.h"
#include "platform/files.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;

// The example case in `dir` with its input records edited (0-based line, text).
void writeExample(const test::ScratchDir& dir, std::initializer_list<std::pair<std::size_t, std::string>> edits,
                  const std::vector<std::string>& testPoints = {}) {
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    auto lines = splitLines(test::ScratchDir::readFile(source / "INPUT" / "CX_CR3_IN.TXT"));
    for (const auto& [at, text] : edits) lines.at(at) = text;
    if (!testPoints.empty()) {
        lines.resize(lines.size() - 11);  // the eleven test points
        lines.insert(lines.end(), testPoints.begin(), testPoints.end());
    }
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    dir.write("INPUT/CX_CR3_IN.TXT", text);
}

std::vector<std::string> tableRows(const std::string& table) {
    std::vector<std::string> rows;
    for (const auto& line : splitLines(table))
        if (std::count(line.begin(), line.end(), ',') >= 6 && line.find("FN") == std::string::npos) rows.push_back(line);
    return rows;
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(TestPointDriver, ExampleRunsInEveryTableMode) {
    for (const auto& [mode, width] : {std::pair{1, 150u}, {2, 120u}, {3, 120u}, {4, 90u}}) {
        test::ScratchDir dir;
        writeExample(dir, {{55, std::to_string(mode)}});  // MODE
        auto out = test::runIn(dir.path(), "CR3\n");
        ASSERT_EQ(out.status, 0) << out.console;
        const int NTEST = out.state->input.NTEST;
        const std::string table = dir.read("DRAG/DRAG_CR3.TXT");
        const auto rows = tableRows(table);
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(NTEST)) << table;
        for (const auto& row : rows) EXPECT_EQ(row.size(), width) << "MODE " << mode << ": " << row;
        if (mode == 4) {  // the regression alone: no root search, no convergence messages
            EXPECT_EQ(count(out.console, "FN ="), 0);
            EXPECT_NE(table.find(" Resistanceforce in Newton - calculated with Delft-regression method after "
                                 "Keuning 2008\n"),
                      std::string::npos);
            EXPECT_EQ(out.state->point.SINKG, 0.0) << "the hull stays where the rest call left it";
            continue;
        }
        // a point whose search stalls within the driver's residual tolerance is accepted: converged too
        EXPECT_EQ(count(out.console, "solved for FN =") + count(out.console, "solution accepted for FN ="), NTEST)
            << out.console;
        EXPECT_EQ(count(out.console, "NO convergence"), 0);
        // the last point (heeled, with leeway) is in balance
        const auto F = equilibriumResidualsOf(*out.state);
        EXPECT_LT(std::fabs(F[0]), 1e-7);
        EXPECT_LT(std::fabs(F[1]), 1e-7);
    }
}

// Three points: one that floats; one at 4 m/s and 3 degrees leeway whose
// search stalls next to the equilibrium (accepted, with the larger residual in
// percent); one under a load beyond the buoyancy of the whole hull, tried five
// times (four restarts, shown with diagnostics), reported and written as the zero row.
TEST(TestPointDriver, SolvedAcceptedAndNotConvergedPointsEndToEnd) {
    test::ScratchDir dir;
    writeExample(dir, {{55, "1"}, {53, "3"}},
                 {"  3.0  0.0  15.0  0.1  50.0  0.0  0.0  0.0  0.0  0.0",
                  "  4.0  0.0  15.0  0.1  50.0  0.0  1.0  3.0  0.0  0.0",
                  "  3.0  0.0  15.0  0.1  50.0  0.0  0.0  0.0  0.0  4.0E5"});
    auto out = test::runIn(dir.path(), "CR3\n", RunOptions{.diag = true});
    ASSERT_EQ(out.status, kExitNotConverged) << out.console;
    const std::string& c = out.console;
    EXPECT_NE(c.find("warning: 1 of 3 test points did not converge (rows of zeros in the table); exit status 2\n"),
              std::string::npos)
        << c;
    const auto solved = c.find("\n   solved for FN =   0.30\ntransition at ");
    const std::string failedLines = "\n     NO convergence at FN =   0.30\n      relative residuary error =";
    const auto failed = c.find(failedLines);
    const std::string acceptedLines = "\n       spurious convergence\nresiduary error in equilibrium =";
    const auto accepted = c.find(acceptedLines);
    ASSERT_NE(solved, std::string::npos) << c;
    ASSERT_NE(accepted, std::string::npos) << c;
    ASSERT_NE(failed, std::string::npos) << c;
    EXPECT_LT(solved, accepted);
    EXPECT_LT(accepted, failed);
    EXPECT_LT(std::stod(c.substr(accepted + acceptedLines.size(), 8)), 0.1) << "both residuals below 0.001";
    const std::string acceptedTail = " %\n solution accepted for FN =   0.40\ntransition at ";
    const auto acceptedEnd = accepted + acceptedLines.size() + 8;
    EXPECT_EQ(c.substr(acceptedEnd, acceptedTail.size()), acceptedTail);
    EXPECT_EQ(count(c.substr(0, acceptedEnd), "Neustart"), 0);
    EXPECT_EQ(count(c.substr(acceptedEnd, failed - acceptedEnd), "Neustart"), 4) << c;
    // the residual shown is the last attempt's, too large to accept, then an empty line
    const std::string error = c.substr(failed + failedLines.size(), 10);
    EXPECT_GE(std::stod(error), 0.001) << error;
    EXPECT_EQ(error.substr(8), "\n\n") << error;

    const auto table = splitLines(dir.read("DRAG/DRAG_CR3.TXT"));
    const auto rows = tableRows(dir.read("DRAG/DRAG_CR3.TXT"));
    ASSERT_EQ(rows.size(), 3u) << "two data rows and the zero row";
    for (std::size_t i : {0u, 1u}) EXPECT_EQ(std::count(rows[i].begin(), rows[i].end(), ','), 10) << rows[i];
    std::vector<double> zero;
    std::istringstream fields(table.back());
    for (std::string f; std::getline(fields, f, ',');)
        if (f.find_first_not_of(' ') != std::string::npos) zero.push_back(std::stod(f));
    ASSERT_EQ(zero.size(), 6u) << table.back();
    EXPECT_NEAR(zero[0], out.state->balance.FN, 1e-6) << "the Froude number of the last trial state";
    for (std::size_t i = 1; i < 6; ++i) EXPECT_EQ(zero[i], 0.0) << table.back();
}

TEST(TestPointDriver, StartScalesAndAttemptOutcomes) {
    // alternating in sign, growing with the square of the attempt (draught TC = 0.5)
    for (int k = 1; k <= 5; ++k) {
        const double sign = k % 2 == 0 ? 1 : -1;
        const StartScales s = startScales(k, 0.5);
        EXPECT_NEAR(s.TRIM0, sign * 0.0002 * k * k, 1e-15) << k;
        EXPECT_NEAR(s.SINK0, sign * 0.001 * k * k, 1e-15) << k;
    }
    using O = AttemptOutcome;
    const struct {
        int k;
        bool NOCONV;
        int IERR;
        double RF, RM;
        O outcome;
    } rows[] = {
        {1, false, 0, 0.5, 0.5, O::Solved},  // a converged search: residuals not looked at
        {1, true, 0, 0.0009, 0.0009, O::Accepted},
        {3, false, 12, 0.0009, 0.0, O::Accepted},  // the iteration limit
        {1, true, 0, 0.001, 0.0, O::Restart},      // the limit itself is not accepted
        {2, true, 0, 0.0, 0.005, O::Restart},
        {4, false, 12, 0.005, 0.005, O::Restart},
        {5, true, 0, 0.005, 0.005, O::NotConverged},
        {5, false, 12, 0.0, 0.002, O::NotConverged},
    };
    for (const auto& r : rows)
        EXPECT_EQ(attemptOutcome(r.k, r.NOCONV, r.IERR, r.RF, r.RM), r.outcome)
            << "attempt " << r.k << " RF " << r.RF << " RM " << r.RM;
}

TEST(TestPointDriver, WaterPropertiesAndUnknownWater) {
    // the correlations against tabulated water properties at 15 C (ITTC):
    // fresh water 999.10 kg/m3 and 1.1386e-6 m2/s, sea water 1025.9 and 1.1883e-6
    double rho = 0, visc = 0;
    ASSERT_TRUE(waterProperties(1, 15.0, rho, visc));
    EXPECT_NEAR(rho, 999.10, 0.1);
    EXPECT_NEAR(visc, 1.1386e-6, 0.005e-6);
    ASSERT_TRUE(waterProperties(2, 15.0, rho, visc));
    EXPECT_NEAR(rho, 1025.9, 0.1);
    EXPECT_NEAR(visc, 1.1883e-6, 0.005e-6);
    EXPECT_FALSE(waterProperties(3, 15.0, rho, visc));
    test::ScratchDir dir;
    writeExample(dir, {{21, "3"}});  // IWATER
    auto out = test::runIn(dir.path(), "CR3\n");
    EXPECT_EQ(out.status, 1);
    EXPECT_NE(out.console.find(" specify freshwater or seawater\n fatal error occured"), std::string::npos);
}

}  // namespace
}  // namespace carinex
