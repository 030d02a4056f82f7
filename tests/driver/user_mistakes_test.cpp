// Whole runs with the mistakes new users make, each with what the console
// says: input files that cannot be read, a case code, FORMAT, axis, station
// count or water the program cannot use. A run that stops ends through the fatal exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "driver/whole_runs.h"

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
    }
}

}  // namespace
}  // namespace carinex
