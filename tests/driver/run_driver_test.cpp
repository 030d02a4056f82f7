// Whole runs of a small case that complete: the success exit and the files it
// leaves, CRLF files and other letter cases, the diagnostic files, a case run
// again (.bak copies), points without equilibrium (exit status 2 within the
// work budget) and a hull outside the Delft series.
#include "driver/run_driver.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "driver/whole_runs.h"
#include "solver/delft_range.h"

namespace carinex {
namespace {

using namespace test;

// The success exit itself is pinned by the whole-run references.
TEST(RunDriver, FiftyTwoStationsRunWithoutDiagnosticFiles) {
    ScratchDir dir;
    writeCase(dir, {}, ellipticHull(52, 10));
    auto out = runIn(dir.path(), "T01\n\n");
    EXPECT_EQ(out.status, 0) << out.console;
    EXPECT_EQ(out.state->raw.NST, 52);
    EXPECT_FALSE(dir.exists("CONTROLT01.TXT")) << "no diagnostic files in a normal run";
    EXPECT_FALSE(dir.exists("PARAMETT01.TXT"));
}

TEST(RunDriver, CrlfFilesAndOtherLetterCasesReadAlike) {
    ScratchDir lf, crlf;
    writeCase(lf);
    auto toCrlf = [](const std::string& s) {
        std::string out;
        for (char c : s) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    };
    crlf.write("input/cx_t01_in.txt", toCrlf(caseInputText({})));
    crlf.write("Offsets/offs_T01.txt", toCrlf(format3Text(ellipticHull(31, 12))));
    crlf.write("append/keel.app", toCrlf(appendageText()));
    auto a = runIn(lf.path(), "T01\n");
    auto b = runIn(crlf.path(), "T01\n");
    ASSERT_EQ(b.status, 0) << b.console;
    EXPECT_EQ(a.console, b.console);
    EXPECT_EQ(b.state->input.KSTYPE, 63);
    EXPECT_EQ(a.state->raw.YOFF.data, b.state->raw.YOFF.data);
    EXPECT_EQ(a.state->raw.ZOFF.data, b.state->raw.ZOFF.data);
}

TEST(RunDriver, DiagnosticsWriteTheParameterTable) {
    ScratchDir dir;
    writeCase(dir);
    EXPECT_EQ(runIn(dir.path(), "T01\n", RunOptions{true}).status, 0);
    const std::string paramet = dir.read("PARAMETT01.TXT");
    const std::string head = paramet.substr(0, paramet.find('\n') + 1);
    EXPECT_EQ(head.size(), 22u * 13u + 1u);
    EXPECT_EQ(paramet.size(), 2 * head.size()) << "the header and the row of the one solved test point";
    EXPECT_EQ(head.substr(0, 26), "        VBOOT        TTANK");
    EXPECT_EQ(head.substr(16 * 13, 13), "      BML/LWL");
    EXPECT_TRUE(dir.exists("CONTROLT01.TXT"));
}

// Each run moves the results before it to .bak copies; a failed run's own
// results are not worth keeping, so a second failure leaves the copies of
// the last complete run alone.
TEST(RunDriver, RunningACaseAgainKeepsTheEarlierResults) {
    ScratchDir dir;
    writeCase(dir);
    ASSERT_EQ(runIn(dir.path(), "T01\n").status, 0);
    const std::string good = dir.read("DRAG/DRAG_T01.TXT");
    dir.write("DRAG/DRAG_T01.svg", "<svg/>");
    const std::string kept = " results of the earlier run of this case kept in CXRUN/OUT_T01.TXT.bak, "
                             "DRAG/DRAG_T01.TXT.bak, DRAG/DRAG_T01.svg.bak, DRAG/DRAG_T01_points.csv.bak\n";
    int run = 0;
    for (const auto& [offsets, status, note] : {std::tuple{true, 0, kept}, {false, 1, kept}, {false, 1, ""}}) {
        if (!offsets) std::filesystem::remove(dir.path() / "OFFSETS" / "OFFS_T01.TXT");
        auto out = runIn(dir.path(), "T01\n");
        EXPECT_EQ(out.status, status);
        EXPECT_EQ(has(out.console, " results of the earlier run"), !note.empty()) << out.console;
        EXPECT_TRUE(note.empty() || has(out.console, note)) << out.console;
        EXPECT_EQ(dir.read("DRAG/DRAG_T01.TXT.bak"), good);
        EXPECT_TRUE(++run > 1 || dir.read("DRAG/DRAG_T01.svg.bak") == "<svg/>");
    }
}

// A heel of 89.5 degrees lays the hull on its side, and a trimming moment of 1e7 Nm is far beyond
// what the hull can balance: no equilibrium is found, and the search stops within the point's
// work budget instead of spending minutes on failing boundary-layer marches.
TEST(RunDriver, PointsWithoutEquilibriumEndWithStatusTwo) {
    for (const auto& [row, status] : {std::pair{"1 0 15 0.1 50 1", 0}, std::pair{"1 0 15 0.1 50 89.5", 2},
                                      std::pair{"1 1E7 15 0.1 50 1", 2}}) {
        ScratchDir dir;
        writeCase(dir);
        std::string text = caseInputText({});
        text.replace(text.find("1.01 0 15 0.1 50 1"), 18, row);
        dir.write("INPUT/CX_T01_IN.TXT", text);
        auto out = runIn(dir.path(), "T01\n");
        EXPECT_EQ(out.status, status) << out.console;
        EXPECT_EQ(has(out.console, " warning: 1 of 1 test points did not converge (rows of zeros in the table);"
                                   " exit status 2\n"),
                  status == 2)
            << out.console;
        EXPECT_LE(out.state->point.EVALS, kMaxBalanceEvaluationsPerPoint) << row;
    }
}

// Wherever the regression is computed, the parameters outside the series
// are named on the console and at the end of the report.
TEST(RunDriver, HullOutsideTheDelftSeriesIsNamed) {
    for (int mode : {1, 4, 5}) {
        ScratchDir dir;
        writeCase(dir, {.mode = mode});
        auto out = runIn(dir.path(), "T01\n");
        ASSERT_EQ(out.status, 0) << out.console;
        const auto lines = delftRangeWarnings(out.state->upright);
        ASSERT_FALSE(lines.empty()) << "the test hull lies outside the series";
        std::string block;
        for (const auto& l : lines) block += " " + l + "\n";
        EXPECT_EQ(has(out.console, block), mode != 1) << mode << "\n" << out.console;
        EXPECT_EQ(endsWith(dir.read("CXRUN/OUT_T01.TXT"), block), mode != 1) << mode;
    }
}

}  // namespace
}  // namespace carinex
