// Whole runs of a small case that complete: a case run again (.bak copies),
// and points without equilibrium (exit status 2 within the work budget).
#include "driver/run_driver.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "driver/whole_runs.h"

namespace carinex {
namespace {

using namespace test;

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
    for (const char* row : {"1 0 15 0.1 50 89.5", "1 1E7 15 0.1 50 1"}) {
        ScratchDir dir;
        writeCase(dir);
        std::string text = caseInputText({});
        text.replace(text.find("1.01 0 15 0.1 50 1"), 18, row);
        dir.write("INPUT/CX_T01_IN.TXT", text);
        auto out = runIn(dir.path(), "T01\n");
        EXPECT_EQ(out.status, 2) << out.console;
        EXPECT_TRUE(has(out.console, " warning: 1 of 1 test points did not converge (rows of zeros in the table);"
                                     " exit status 2\n"))
            << out.console;
        EXPECT_LE(out.state->point.EVALS, kMaxBalanceEvaluationsPerPoint) << row;
    }
}

}  // namespace
}  // namespace carinex
