// Reading the case input and its appendage file: unit conversions (mm to m,
// degrees to radians, ASCALE on appendage lengths only), the axis signs, the
// appendage families that fall back to the bare hull, and every message a
// mistyped case input gets.
#include "driver/case_reader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/files.h"
#include "support/case_files.h"

namespace carinex {
namespace {

constexpr double kPi = 3.141592653589793;

struct CaseRun {
    test::ScratchDir dir;
    std::unique_ptr<CaseState> st = makeCaseState();
    std::istringstream keyboard;
    std::ostringstream console;
    std::ostringstream* table = nullptr;
    RunFiles io{keyboard, console, dir.path()};
    int IERR = -1;

    CaseRun(const std::string& caseText, const std::string& appendages = test::appendageText()) {
        auto t = std::make_unique<std::ostringstream>();
        table = t.get();
        io.setTable(std::move(t));
        st->run.PI = kPi;
        if (!appendages.empty()) dir.write("APPEND/KEEL.APP", appendages);
        RecordReader in(TextFile{"INPUT/CX_T01_IN.TXT", splitLines(caseText)});
        RDCASE(*st, io, in, IERR);
    }
    const CaseInput& c() const { return st->input; }
};

// The unit conversions are pinned by the whole-run references; negated axes are not.
TEST(CaseReader, NegatedAxesNegateThePositions) {
    CaseRun n(test::caseInputText({.xaxis = 2, .zaxis = 2}));
    ASSERT_EQ(n.IERR, 0);
    EXPECT_FALSE(n.c().LXAXIS || n.c().LZAXIS);
    EXPECT_DOUBLE_EQ(n.c().XORIG, -0.1);
    EXPECT_DOUBLE_EQ(n.c().XKEEL, -5.0);
}

// A keel family out of range skips the rudder block; a rudder family out of
// range drops both; a missing file means the bare hull.
TEST(CaseReader, AppendageFilesThatGiveTheBareHull) {
    const struct {
        std::string appendages;
        double RSPAN, KSWEEP;
        std::string console;  // "%": the note naming the working directory
    } cases[] = {
        {test::appendageText(65, 0), 0.0, 10.0,
         " WARNING! KSTYPE =          65 not allowed\n continued without appendages\n"},
        {test::appendageText(0, 1), 1.2, 10 * kPi / 180,
         " WARNING! RSTYPE =           1 not allowed\n continued without appendages\n"},
        {"", 0.0, 0.0, " Input file for appendages does not exist\n %\n computation for bare hull only\n"},
    };
    for (const auto& c : cases) {
        CaseRun r(test::caseInputText({}), c.appendages);
        std::string console = c.console;
        if (const auto at = console.find('%'); at != std::string::npos)
            console.replace(at, 1, lookedForNote(r.dir.path(), "APPEND\\KEEL.APP"));
        EXPECT_EQ(r.IERR, 0) << c.console;
        EXPECT_EQ(r.console.str(), console);
        EXPECT_TRUE(r.c().KSTYPE == 100 && r.c().RSTYPE == 100) << "bare hull: " << c.console;
        EXPECT_DOUBLE_EQ(r.c().RSPAN, c.RSPAN) << c.console;
        EXPECT_DOUBLE_EQ(r.c().KSWEEP, c.KSWEEP) << c.console;
        EXPECT_NE(r.table->str().find("\n\n no valid appendages defined, computation for bare hull only\n"),
                  std::string::npos);
    }
}

// The mistakes users make in the case input, each with the message it gets;
// "line N:" messages name the file first.
TEST(CaseReader, UserMistakesAreNamedWithFileAndLine) {
    const std::string row1 = "1.01 0 15 0.1 50 1 1.0 3 2 1";
    const struct {
        test::CaseSpec spec;
        std::string from, to;
        int IERR;
        std::string console;
    } cases[] = {
        {{.ntest = 251}, "", "", 1, "Maximum of 250 testpoints allowed"},
        {{.ntest = 250}, "", "", 0, ""},
        {{.zaxis = 3}, "", "", 1, "only \"1\" or \"2\" allowed for ZAXIS"},
        {{}, "NTEST\n1\n", "NTEST\n1.0\n", 1, "line 54: '1.0' is not a whole number"},
        {{}, "1.01 0 15", "1.01 x 15", 1, "line 61: 'x' is not a number"},
        {{}, "VOLUME\n", "", 1, "line 18: file ends before the label of VOLUME"},
        {{}, "VOLUME\n2\n", "VOLUME\n3,9933\n", 1,
         "line 20: '3,9933' holds 1 number more than VOLUME takes"
         " (a decimal comma? write 3.9933 with a decimal point)"},
        {{}, "1.01 0 15", "1,01 0 15", 1,
         "line 61: decimal comma in '1,01" + row1.substr(4) + "': write 1.01 with a decimal point"},
        {{}, "NTEST\n1\n", "NTEST\n0\n", 1, "line 54: NTEST = 0: a case needs at least 1 test point (1 to 250)"},
        {{}, "1.01 0 15", "0 0 15", 1,
         "line 61: boat speed 0 m/s of test point 1 is outside the allowed range: above 0 m/s"},
        {{}, "50 1 1.0", "50 -95 1.0", 1,
         "line 61: heel -95 degrees of test point 1 is outside the allowed range: above -90 and below 90 degrees"},
        {{.ntest = 2}, "3 2 1\n1.02", "3 2\n1.02", 1,
         "line 62: '1.02 0 15 0.1 50 2 1.0 3 2 2' holds 9 numbers more than test point 1 (10 numbers) takes"
         " (begun on line 61)"},
        {{.ntest = 2}, "1.01 0 15 0.1 ", "1.01 0 15 0.1\n", 0, ""},  // a row over two lines is one row
        {{.ntest = 4, .rowsWritten = 3}, "", "", 1,
         "number of testpoints (rows) in Input-file less than NTEST=           4\n"
         " INPUT/CX_T01_IN.TXT, line 63: the file ends after 3 of the NTEST = 4 test-point rows"},
        {{}, "3 2 1\n", "3 2\n", 1,
         "number of testpoints (rows) in Input-file less than NTEST=           1\n"
         " INPUT/CX_T01_IN.TXT, line 61: test point 1 holds only 9 of its 10 numbers"},
        {{.rowsWritten = 3}, "", "", 0,
         "warning: 2 more lines of test points after the NTEST = 1 rows read are ignored"
         " (INPUT/CX_T01_IN.TXT, lines 62 to 63)"},
        {{.rowsWritten = 2}, "", "", 0,
         "warning: 1 more line of test points after the NTEST = 1 rows read are ignored (INPUT/CX_T01_IN.TXT, line 62)"},
        {{}, "1.01 0 15 0.1 50 1 1.0 3 2 1", " 1.01,0,15,0.1,50,1,1.0,3,2,1", 0, ""},  // a leading blank separates nothing
        {{}, "KEEL.APP\n", "'KEEL.APP  '\n", 0, ""},  // the name's trailing blanks are not part of it
        {{}, "VOLUME\n2\n", "VOLUME\n2" + std::string(58, ' ') + "3 \t\n", 1,  // shown whole up to 60 characters
         "line 20: '2" + std::string(58, ' ') + "3' holds 1 number more than VOLUME takes"},
        // a strip's drag scales with (height / distance)^0.2: only a strip needs a positive distance
        {{.hstud = 2.0, .xstud = 0.0, .nstud = 0}, "", "", 1,
         "line 44: XSTUD must be positive for a trip strip (HSTUD > 0, NSTUD < 1)"},
        {{.hstud = 2.0, .xstud = 0.0, .nstud = 10}, "", "", 0, ""},
    };
    for (const auto& c : cases) {
        std::string text = test::caseInputText(c.spec);
        if (!c.from.empty() && c.to.empty()) text.resize(text.find(c.from));  // the file cut there
        if (!c.to.empty()) text.replace(text.find(c.from), c.from.size(), c.to);
        CaseRun r(text);
        EXPECT_EQ(r.IERR, c.IERR) << c.console << c.to;
        const std::string file = c.console.rfind("line ", 0) == 0 ? "INPUT/CX_T01_IN.TXT, " : "";
        EXPECT_EQ(r.console.str(), c.console.empty() ? "" : " " + file + c.console + "\n") << c.to;
        if (c.IERR == 0) {
            EXPECT_EQ(r.c().NTEST, c.spec.ntest);
            EXPECT_DOUBLE_EQ(r.c().TP(1, c.spec.ntest), 1.0 + 0.01 * c.spec.ntest);
            EXPECT_DOUBLE_EQ(r.c().STIMCF, 0.0) << "no strip coefficient without a height and a distance";
        }
    }
}

}  // namespace
}  // namespace carinex
