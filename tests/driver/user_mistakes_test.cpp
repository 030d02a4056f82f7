// Whole runs with the mistakes new users make: files that cannot be read, a
// case run again, points that do not converge, a hull outside the Delft
// series.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/files.h"
#include "solver/delft_range.h"
#include "support/case_files.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

using test::CaseSpec;
using test::ScratchDir;

void writeCase(const ScratchDir& dir, const CaseSpec& spec = {}) {
    dir.write("INPUT/CX_T01_IN.TXT", test::caseInputText(spec));
    dir.write("OFFSETS/OFFS_T01.TXT", test::offsetsText(spec.format, test::ellipticHull(31, 12)));
    dir.write("APPEND/KEEL.APP", test::appendageText());
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// "%" in the expected console stands for the working directory.
TEST(UserMistakes, InputFilesThatCannotBeReadAreNamed) {
    namespace fs = std::filesystem;
    const std::string input = "INPUT/CX_T01_IN.TXT", cases = "and for the same folder and file names in other letter case";
    std::string crOnly = test::caseInputText({});
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    const auto moveOffsets = [](const ScratchDir& d, const fs::path& to) {
        fs::create_directories(d.path() / to);
        fs::rename(d.path() / "OFFSETS" / "OFFS_T01.TXT", d.path() / to / "OFFS_T01.TXT");
    };
    const struct {
        const char* what;
        std::function<void(const ScratchDir&)> edit;  // after the whole case is written
        int status;
        std::string console;
    } runs[] = {
        {"no case input", [](const ScratchDir& d) { fs::remove_all(d.path() / "INPUT"); }, 1,
         " Input file does not exist\n looked for %/INPUT/CX_T01_IN.TXT " + cases + "\n"},
        {"empty", [&](const ScratchDir& d) { d.write(input, ""); }, 1,
         " Input file does not exist\n INPUT/CX_T01_IN.TXT is empty\n"},
        {"title only", [&](const ScratchDir& d) { d.write(input, "a\nb\n"); }, 1,
         " Input file does not exist\n INPUT/CX_T01_IN.TXT ends after line 2: a case input starts with 3 title lines"
         " and goes on with the values\n"},
        {"old Mac line ends", [&](const ScratchDir& d) { d.write(input, crOnly); }, 0, " Resistance values in file"},
        {"offsets in OFFSET", [&](const ScratchDir& d) { moveOffsets(d, "OFFSET"); }, 0, " Resistance values in file"},
        {"no offsets", [&](const ScratchDir& d) { moveOffsets(d, "ELSEWHERE"); }, 1,
         " Offsets file OFFSETS/OFFS_T01.TXT does not exist\n looked for %/OFFSETS/OFFS_T01.TXT " + cases +
             ", and in the folder OFFSET\n"},
        {"empty appendages", [](const ScratchDir& d) { d.write("APPEND/KEEL.APP", ""); }, 0,
         " Input file for appendages does not exist\n APPEND/KEEL.APP is empty\n computation for bare hull only\n"},
    };
    for (const auto& r : runs) {
        ScratchDir dir;
        writeCase(dir);
        r.edit(dir);
        auto out = test::runIn(dir.path(), "T01\n");
        std::string expected = r.console;
        for (auto at = expected.find('%'); at != std::string::npos; at = expected.find('%'))
            expected.replace(at, 1, dir.path().string());
        EXPECT_EQ(out.status, r.status) << r.what << "\n" << out.console;
        EXPECT_TRUE(has(out.console, expected)) << r.what << "\n" << out.console;
    }
}

// Each run moves the results before it to .bak copies; a failed run's own
// results are not worth keeping, so a second failure leaves the copies of
// the last complete run alone.
TEST(UserMistakes, RunningACaseAgainKeepsTheEarlierResults) {
    ScratchDir dir;
    writeCase(dir);
    ASSERT_EQ(test::runIn(dir.path(), "T01\n").status, 0);
    const std::string good = dir.read("DRAG/DRAG_T01.TXT");
    dir.write("DRAG/DRAG_T01.svg", "<svg/>");
    const char* kept = " results of the earlier run of this case kept in CXRUN/OUT_T01.TXT.bak, DRAG/DRAG_T01.TXT.bak";
    const struct {
        bool offsets;
        int status;
        std::string note;  // "": no note
    } runs[] = {
        {true, 0, std::string(kept) + ", DRAG/DRAG_T01.svg.bak, DRAG/DRAG_T01_points.csv.bak\n"},
        {false, 1, std::string(kept) + ", DRAG/DRAG_T01.svg.bak, DRAG/DRAG_T01_points.csv.bak\n"},
        {false, 1, ""},
    };
    for (const auto& r : runs) {
        if (!r.offsets) std::filesystem::remove(dir.path() / "OFFSETS" / "OFFS_T01.TXT");
        auto out = test::runIn(dir.path(), "T01\n");
        EXPECT_EQ(out.status, r.status);
        EXPECT_EQ(has(out.console, " results of the earlier run"), !r.note.empty()) << out.console;
        EXPECT_TRUE(r.note.empty() || has(out.console, r.note)) << out.console;
        EXPECT_EQ(dir.read("DRAG/DRAG_T01.TXT.bak"), good);
        if (&r == &runs[0]) {
            EXPECT_EQ(dir.read("DRAG/DRAG_T01.svg.bak"), "<svg/>");
        }
    }
}

// A heel of 89.5 degrees lays the hull on its side, and a trimming moment of 1e7 Nm is far beyond
// what the hull can balance: no equilibrium is found, and the search stops within the point's
// work budget instead of spending minutes on failing boundary-layer marches.
TEST(UserMistakes, PointsWithoutEquilibriumEndWithStatusTwo) {
    for (const auto& [row, status] : {std::pair{"1 0 15 0.1 50 1", 0}, std::pair{"1 0 15 0.1 50 89.5", 2},
                                      std::pair{"1 1E7 15 0.1 50 1", 2}}) {
        ScratchDir dir;
        writeCase(dir);
        std::string text = test::caseInputText({});
        text.replace(text.find("1.01 0 15 0.1 50 1"), 18, row);
        dir.write("INPUT/CX_T01_IN.TXT", text);
        auto out = test::runIn(dir.path(), "T01\n");
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
TEST(UserMistakes, HullOutsideTheDelftSeriesIsNamed) {
    for (int mode : {1, 4, 5}) {
        ScratchDir dir;
        CaseSpec spec;
        spec.mode = mode;
        writeCase(dir, spec);
        auto out = test::runIn(dir.path(), "T01\n");
        ASSERT_EQ(out.status, 0) << out.console;
        const auto lines = delftRangeWarnings(out.state->upright);
        ASSERT_FALSE(lines.empty()) << "the test hull lies outside the series";
        std::string block;
        for (const auto& l : lines) block += " " + l + "\n";
        const std::string report = dir.read("CXRUN/OUT_T01.TXT");
        const bool regression = mode != 1;
        EXPECT_EQ(has(out.console, block), regression) << mode << "\n" << out.console;
        EXPECT_EQ(report.size() >= block.size() && report.substr(report.size() - block.size()) == block, regression)
            << mode << "\n" << report;
    }
}

}  // namespace
}  // namespace carinex
