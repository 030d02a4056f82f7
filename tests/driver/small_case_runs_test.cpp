// Whole runs of the small test case. The mistakes new users make, each with what the console
// says: input files that cannot be read, a case code, FORMAT, axis, station count or water the
// program cannot use; a run that stops ends through the fatal exit. Points without equilibrium
// (exit status 2 within the work budget), and a case run again (.bak copies). Mutated case and
// offsets files: whatever the damage, a run ends at the final prompt with exit status 0, 1 or 2
// and never crashes, hangs or reads outside its arrays.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <tuple>

#include "support/case_files.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;
using namespace test;

// "%" in the expected console stands for the working directory.
TEST(UserMistakes, RunsThatStopOrRecoverSayWhy) {
    const std::string cases = "and for the same folder and file names in other letter case";
    std::string crOnly = caseInputText({});
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    std::string brackish = caseInputText({});
    brackish.replace(brackish.find("IWATER\n2"), 8, "IWATER\n3");
    const auto moveOffsets = [](const ScratchDir& d, const fs::path& to) {
        fs::create_directories(d.path() / to);
        fs::rename(d.path() / "OFFSETS" / "OFFS_T01.TXT", d.path() / to / "OFFS_T01.TXT");
    };
    const auto withInput = [&](const std::string& text) {
        return [=](const ScratchDir& d) { d.write("INPUT/CX_T01_IN.TXT", text); };
    };
    const auto withCase = [](CaseSpec spec, int stations) {
        return [=](const ScratchDir& d) { writeCase(d, spec, ellipticHull(stations, 10)); };
    };
    const auto withRow = [&](const std::string& row) {
        std::string text = caseInputText({});
        return withInput(text.replace(text.find("1.01 0 15 0.1 50 1"), 18, row));
    };
    const std::string noEquilibrium =
        " warning: 1 of 1 test points did not converge (rows of zeros in the table); exit status 2\n";
    const struct {
        const char* what;
        std::function<void(const ScratchDir&)> edit;  // after the whole case is written
        std::string keyboard;
        int status;
        std::string console;
    } runs[] = {
        {"no case input", [](const ScratchDir& d) { fs::remove_all(d.path() / "INPUT"); }, "T01\n", 1,
         " Input file does not exist\n looked for %/INPUT/CX_T01_IN.TXT " + cases + "\n"},
        {"empty", withInput(""), "T01\n", 1, " Input file does not exist\n INPUT/CX_T01_IN.TXT is empty\n"},
        {"title only", withInput("a\nb\n"), "T01\n", 1,
         " Input file does not exist\n INPUT/CX_T01_IN.TXT ends after line 2: a case input starts with 3 title lines"
         " and goes on with the values\n"},
        {"old Mac line ends", withInput(crOnly), "T01\n", 0, " Resistance values in file"},
        {"offsets in OFFSET", [&](const ScratchDir& d) { moveOffsets(d, "OFFSET"); }, "T01\n", 0,
         " Resistance values in file"},
        {"no offsets", [&](const ScratchDir& d) { moveOffsets(d, "ELSEWHERE"); }, "T01\n", 1,
         " Offsets file OFFSETS/OFFS_T01.TXT does not exist\n looked for %/OFFSETS/OFFS_T01.TXT " + cases +
             ", and in the folder OFFSET\n"},
        {"empty appendages", [](const ScratchDir& d) { d.write("APPEND/KEEL.APP", ""); }, "T01\n", 0,
         " Input file for appendages does not exist\n APPEND/KEEL.APP is empty\n computation for bare hull only\n"},
        {"long case code", [](const ScratchDir&) {}, "  T01xyz more\n", 0,
         "\n Resistance values in file: DRAG/DRAG_T01.TXT\n press Enter to quit\n"},
        {"lower-case names", [](const ScratchDir& d) { fs::rename(d.path() / "INPUT", d.path() / "input"); },
         "T01\n", 0, " Resistance values in file"},
        {"FORMAT 4", withCase({.format = 4}, 31), "T01\n", 1,
         " specified FORMAT for offset-file unknown\n" + kFatal},
        {"52 stations", withCase({}, 52), "T01\n", 0, " Resistance values in file"},
        {"53 stations", withCase({}, 53), "T01\n", 1, "53 too many stations, Max = 52\n" + kFatal},
        {"ZAXIS 2", withCase({.zaxis = 2}, 31), "T01\n", 1,
         " wrong value for ZAXIS, Y-keel larger than Y-deck\n" + kFatal},
        {"IWATER 3", withInput(brackish), "T01\n", 1, " specify freshwater or seawater\n" + kFatal},
        {"end of input instead of a case code", [](const ScratchDir&) {}, "", 1, kFatal},
        // a heel of 89.5 degrees lays the hull on its side, and a trimming moment of 1e7 Nm is far beyond
        // what the hull can balance: no equilibrium is found, and the search stops within the point's
        // work budget instead of spending minutes on failing boundary-layer marches
        {"on its side", withRow("1 0 15 0.1 50 89.5"), "T01\n", 2, noEquilibrium},
        {"moment beyond balance", withRow("1 1E7 15 0.1 50 1"), "T01\n", 2, noEquilibrium},
    };
    for (const auto& r : runs) {
        ScratchDir dir;
        writeCase(dir);
        r.edit(dir);
        auto out = runIn(dir.path(), r.keyboard);
        std::string expected = r.console;
        for (auto at = expected.find('%'); at != std::string::npos; at = expected.find('%'))
            expected.replace(at, 1, dir.path().string());
        EXPECT_EQ(out.status, r.status) << r.what << "\n" << out.console;
        EXPECT_TRUE(has(out.console, expected)) << r.what << "\n" << out.console;
        EXPECT_EQ(out.console.ends_with(kFatal), r.status == 1) << r.what;
        EXPECT_LE(out.state->point.EVALS, kMaxBalanceEvaluationsPerPoint) << r.what;
    }
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

std::string mutate(std::string text, std::mt19937& rng) {
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n ? n - 1 : 0)(rng); };
    const char junk[] = "0123456789.-+eE, */'\"\t\r\nxyzQ ";
    const int edits = 1 + static_cast<int>(pick(4));
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = pick(text.size());
        switch (pick(6)) {
            case 0: text[at] = junk[pick(sizeof junk - 1)]; break;                  // one character changed
            case 1: text.erase(at, 1 + pick(20)); break;                             // a few characters lost
            case 2: text.resize(at); break;                                          // file truncated
            case 3: text.insert(at, std::string(1 + pick(3), junk[pick(sizeof junk - 1)])); break;
            case 4: {                                                                 // a line duplicated
                const auto start = text.rfind('\n', at);
                const auto end = text.find('\n', at);
                const auto from = start == std::string::npos ? 0 : start + 1;
                if (end != std::string::npos) text.insert(from, text.substr(from, end - from + 1));
                break;
            }
            default: text.insert(at, std::to_string(static_cast<long long>(rng()) - 2147483648LL)); break;
        }
    }
    return text;
}

// A whole run of a case whose files may be damaged ends at the final prompt, through the fatal
// exit if it stops.
void expectCleanRun(const std::string& caseText, const std::string& appendages, const std::string& offsets,
                    const std::string& what) {
    ScratchDir dir;
    dir.write("INPUT/CX_FZ1_IN.TXT", caseText);
    dir.write("APPEND/KEEL.APP", appendages);
    dir.write("OFFSETS/OFFS_FZ1.TXT", offsets);
    const RunOutcome out = runIn(dir.path(), "FZ1\n");
    ASSERT_TRUE(out.status >= 0 && out.status <= 2) << what;
    EXPECT_TRUE(out.console.ends_with(" press Enter to quit\n")) << what;
    EXPECT_EQ(out.console.ends_with(kFatal), out.status == 1) << what;
}

TEST(ReaderFuzz, MutatedOffsetsFiles) {
    std::mt19937 rng(20261206);
    const auto hull = ellipticHull(31, 12);
    for (int format : {1, 2, 3}) {
        // no test points: the readers are under test, not the equilibrium
        const std::string caseText = caseInputText({.format = format, .ntest = 0});
        const std::string original = offsetsText(format, hull);
        for (int k = 0; k < 120; ++k) {
            const std::string damaged = mutate(original, rng);
            const std::string what = "format " + std::to_string(format) + ":\n" + damaged;
            expectCleanRun(caseText, appendageText(), damaged, what);
        }
    }
}

TEST(ReaderFuzz, MutatedCaseAndAppendageFiles) {
    std::mt19937 rng(6122026);
    const std::string offsets = format3Text(ellipticHull(31, 12));
    const std::string caseText = caseInputText({.ntest = 2}), appendages = appendageText();
    for (int k = 0; k < 200; ++k) {
        // the case input and the appendage file damaged in turn
        const std::string damagedCase = k % 2 == 0 ? mutate(caseText, rng) : caseText;
        const std::string damagedAppendages = k % 2 == 1 ? mutate(appendages, rng) : appendages;
        expectCleanRun(damagedCase, damagedAppendages, offsets, damagedCase + "\n----\n" + damagedAppendages);
    }
}

}  // namespace
}  // namespace carinex
