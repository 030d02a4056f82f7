#include "driver/run_driver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/case_files.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

using test::CaseSpec;
using test::ScratchDir;

void writeCase(const ScratchDir& dir, const std::string& code, const CaseSpec& spec, const test::Hull& hull) {
    dir.write("INPUT/CX_" + code + "_IN.TXT", test::caseInputText(spec));
    dir.write("OFFSETS/OFFS_" + code + ".TXT", test::offsetsText(spec.format, hull));
    dir.write("APPEND/KEEL.APP", test::appendageText());
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

const char* kFatal = " fatal error occured, execution terminated\n press Enter to quit\n";

TEST(RunDriver, SmallCaseEndsThroughTheSuccessExit) {
    ScratchDir dir;
    writeCase(dir, "T01", {}, test::ellipticHull(31, 12));
    auto out = test::runIn(dir.path(), "T01\n\n");
    EXPECT_EQ(out.status, 0) << out.console;
    EXPECT_TRUE(endsWith(out.console, "\n Resistance values in file: DRAG/DRAG_T01.TXT\n press Enter to quit\n"))
        << out.console;
    EXPECT_EQ(out.console.rfind(" *********************************************\n", 0), 0u);
    EXPECT_NE(out.console.find(" type 3 characters ### and press ENTER\n"
                               " input files INPUT/CX_###_in.TXT and OFFSET/OFFS_###.TXT will be used\n"),
              std::string::npos);
    EXPECT_EQ(out.state->raw.NST, 31);
    EXPECT_TRUE(dir.exists("DRAG/DRAG_T01.TXT")) << "output folders are created";
    EXPECT_TRUE(dir.exists("CXRUN/OUT_T01.TXT"));
    EXPECT_FALSE(dir.exists("CONTROLT01.TXT")) << "no diagnostic files in a normal run";
    EXPECT_FALSE(dir.exists("PARAMETT01.TXT"));
    const std::string table = dir.read("DRAG/DRAG_T01.TXT");
    EXPECT_EQ(table.substr(0, 10), "Test hull ");
    EXPECT_NE(table.find(" Resistanceforce in Newton\n"), std::string::npos);
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 7) << "three title lines, two header lines, column heads, one row";
    EXPECT_NE(out.console.find("   solved for FN =   0.1"), std::string::npos) << out.console;
}

TEST(RunDriver, BannerLinesAreFortyFiveColumnsWide) {
    ScratchDir dir;
    auto out = test::runIn(dir.path(), "");
    std::istringstream lines(out.console);
    std::string line;
    for (int k = 0; k < 8; ++k) {
        std::getline(lines, line);
        EXPECT_EQ(line.size(), 46u) << line;  // one blank column, then 45 characters
    }
    std::getline(lines, line);
    EXPECT_EQ(line, "");
}

TEST(RunDriver, EndOfInputInsteadOfACaseCode) {
    ScratchDir dir;
    auto out = test::runIn(dir.path(), "");
    EXPECT_EQ(out.status, 1);
    EXPECT_TRUE(endsWith(out.console, kFatal)) << out.console;
}

TEST(RunDriver, ShortCaseCodeIsPaddedAndMissingInputFails) {
    ScratchDir dir;
    auto out = test::runIn(dir.path(), "ab\n");
    EXPECT_EQ(out.state->run.CASE, "ab ");
    EXPECT_EQ(out.status, 1);
    EXPECT_NE(out.console.find(" Input file does not exist\n"), std::string::npos);
    EXPECT_TRUE(endsWith(out.console, kFatal));
    EXPECT_EQ(dir.read("CXRUN/OUT_ab .TXT"), " Error, execution terminated\n");
}

TEST(RunDriver, LongCaseCodeKeepsThreeCharacters) {
    ScratchDir dir;
    writeCase(dir, "T01", {}, test::ellipticHull(31, 10));
    EXPECT_EQ(test::runIn(dir.path(), "  T01xyz more\n").status, 0);
}

TEST(RunDriver, UnknownFormatStopsBeforeTheOffsets) {
    for (int format : {0, 4}) {
        ScratchDir dir;
        CaseSpec spec;
        spec.format = format;
        dir.write("INPUT/CX_T01_IN.TXT", test::caseInputText(spec));
        auto out = test::runIn(dir.path(), "T01\n");
        EXPECT_EQ(out.status, 1);
        EXPECT_TRUE(endsWith(out.console, " specified FORMAT for offset-file unknown\n" + std::string(kFatal)))
            << out.console;
    }
}

TEST(RunDriver, MissingOffsetsFileIsNamed) {
    ScratchDir dir;
    dir.write("INPUT/CX_T01_IN.TXT", test::caseInputText({}));
    auto out = test::runIn(dir.path(), "T01\n");
    EXPECT_EQ(out.status, 1);
    EXPECT_NE(out.console.find(" Offsets file OFFSETS/OFFS_T01.TXT does not exist\n"), std::string::npos);
}

TEST(RunDriver, FiftyTwoStationsRunFiftyThreeStop) {
    for (int format : {1, 2, 3}) {
        for (int n : {52, 53}) {
            ScratchDir dir;
            CaseSpec spec;
            spec.format = format;
            writeCase(dir, "T01", spec, test::ellipticHull(n, 10));
            auto out = test::runIn(dir.path(), "T01\n");
            EXPECT_EQ(out.state->raw.NST, n) << "read and prepared either way";
            if (n == 52) {
                EXPECT_EQ(out.status, 0) << format << out.console;
            } else {
                EXPECT_EQ(out.status, 1);
                EXPECT_NE(out.console.find("53 too many stations, Max = 52\n" + std::string(kFatal)), std::string::npos)
                    << out.console;
            }
        }
    }
}

TEST(RunDriver, WrongZAxisFailsInTheOrientationCheck) {
    ScratchDir dir;
    CaseSpec spec;
    spec.zaxis = 2;
    writeCase(dir, "T01", spec, test::ellipticHull(31, 10));
    auto out = test::runIn(dir.path(), "T01\n");
    EXPECT_EQ(out.status, 1);
    EXPECT_TRUE(endsWith(out.console, " wrong value for ZAXIS, Y-keel larger than Y-deck\n" + std::string(kFatal)));
}

TEST(RunDriver, BackwardsHullWarnsInConsoleAndReport) {
    ScratchDir dir;
    auto hull = test::ellipticHull(31, 10);
    for (std::size_t i = 0; i < hull.size(); ++i)
        for (auto& p : hull[i].points) p.y *= 1.0 + 0.1 * static_cast<double>(i);
    writeCase(dir, "T01", {}, hull);
    auto out = test::runIn(dir.path(), "T01\n");
    EXPECT_EQ(out.status, 0);
    EXPECT_NE(out.console.find(" ship might be sailing backwards !\n execution continues\n"), std::string::npos);
    EXPECT_EQ(dir.read("CXRUN/OUT_T01.TXT").rfind(" ship might be sailing backwards !\n\nTest hull", 0), 0u)
        << "the warning opens the report";
}

TEST(RunDriver, CrlfFilesAndOtherCaseNamesReadAlike) {
    ScratchDir lf, crlf;
    writeCase(lf, "T01", {}, test::ellipticHull(31, 10));
    auto toCrlf = [](std::string s) {
        std::string out;
        for (char c : s) out += (c == '\n') ? std::string("\r\n") : std::string(1, c);
        return out;
    };
    crlf.write("input/cx_t01_in.txt", toCrlf(test::caseInputText({})));
    crlf.write("Offsets/offs_T01.txt", toCrlf(test::format3Text(test::ellipticHull(31, 10))));
    crlf.write("append/keel.app", toCrlf(test::appendageText()));
    auto a = test::runIn(lf.path(), "T01\n");
    auto b = test::runIn(crlf.path(), "T01\n");
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(b.status, 0) << b.console;
    EXPECT_EQ(a.console, b.console);
    EXPECT_EQ(b.state->input.KSTYPE, 63);
    EXPECT_EQ(a.state->raw.YOFF.data, b.state->raw.YOFF.data);
    EXPECT_EQ(a.state->raw.ZOFF.data, b.state->raw.ZOFF.data);
}

TEST(RunDriver, DiagnosticsWriteTheParameterHeader) {
    ScratchDir dir;
    writeCase(dir, "T01", {}, test::ellipticHull(31, 10));
    auto out = test::runIn(dir.path(), "T01\n", RunOptions{true});
    EXPECT_EQ(out.status, 0);
    const std::string paramet = dir.read("PARAMETT01.TXT");
    const std::string head = paramet.substr(0, paramet.find('\n') + 1);
    EXPECT_EQ(head.size(), 22u * 13u + 1u);
    EXPECT_EQ(paramet.size(), 2 * head.size()) << "the header and the row of the one solved test point";
    EXPECT_EQ(head.substr(0, 26), "        VBOOT        TTANK");
    EXPECT_EQ(head.substr(16 * 13, 13), "      BML/LWL");
    EXPECT_TRUE(dir.exists("CONTROLT01.TXT"));
}

TEST(RunDriver, MalformedCaseInputIsOneLineAndTheFailureExit) {
    ScratchDir dir;
    writeCase(dir, "T01", {}, test::ellipticHull(31, 10));
    std::string text = test::caseInputText({});
    text.replace(text.find("VOLUME\n2"), 8, "VOLUME\n2..5, 1");
    dir.write("INPUT/CX_T01_IN.TXT", text);
    auto out = test::runIn(dir.path(), "T01\n");
    EXPECT_EQ(out.status, 1);
    EXPECT_TRUE(endsWith(out.console, " INPUT/CX_T01_IN.TXT, line 20: '2..5' is not a number\n" + std::string(kFatal)))
        << out.console;
}

TEST(RunDriver, SameLayoutsGiveTheSameRawOffsets) {
    auto hull = test::ellipticHull(41, 14);  // stations 0.25 apart: exact in every layout
    std::unique_ptr<CaseState> first;
    for (int format : {3, 2, 1}) {
        ScratchDir dir;
        CaseSpec spec;
        spec.format = format;
        writeCase(dir, "T01", spec, hull);
        auto out = test::runIn(dir.path(), "T01\n");
        ASSERT_EQ(out.status, 0) << out.console;
        if (!first) {
            first = std::move(out.state);
            continue;
        }
        EXPECT_EQ(out.state->raw.NST, first->raw.NST) << format;
        EXPECT_EQ(out.state->raw.NP.data, first->raw.NP.data) << format;
        EXPECT_EQ(out.state->raw.XOFF.data, first->raw.XOFF.data) << format;
        EXPECT_EQ(out.state->raw.YOFF.data, first->raw.YOFF.data) << format;
        EXPECT_EQ(out.state->raw.ZOFF.data, first->raw.ZOFF.data) << format;
    }
}

}  // namespace
}  // namespace carinex
