#include "driver/case_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "platform/files.h"
#include "platform/fixed_format.h"
#include "support/case_files.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

struct CaseRun {
    test::ScratchDir dir;
    std::unique_ptr<CaseState> st = makeCaseState();
    std::istringstream keyboard;
    std::ostringstream console;
    std::ostringstream* table = nullptr;
    RunFiles io{keyboard, console, dir.path()};
    int IERR = -1;

    CaseRun() {
        auto t = std::make_unique<std::ostringstream>();
        table = t.get();
        io.setTable(std::move(t));
        st->run.PI = 3.141592653589793;
    }
    void read(const std::string& caseText, const std::string& appendages = test::appendageText()) {
        if (!appendages.empty()) dir.write("APPEND/KEEL.APP", appendages);
        RecordReader in(TextFile{"INPUT/CX_T01_IN.TXT", splitLines(caseText)});
        RDCASE(*st, io, in, IERR);
    }
    const CaseInput& c() const { return st->input; }
};

TEST(CaseReader, ReadsParametersTestPointsAndAppendages) {
    CaseRun r;
    test::CaseSpec spec;
    spec.ntest = 3;
    spec.hstud = 2.0;
    r.read(test::caseInputText(spec));
    ASSERT_EQ(r.IERR, 0) << r.console.str();
    const CaseInput& c = r.c();
    EXPECT_EQ(c.TITLE, "Test hull" + std::string(61, ' '));
    EXPECT_EQ(c.FORMAT, 3);
    EXPECT_TRUE(c.LXAXIS && c.LZAXIS);
    EXPECT_DOUBLE_EQ(c.XKEEL, 5.0);
    EXPECT_DOUBLE_EQ(c.CHINF, 0.0228 + 0.0871);
    EXPECT_EQ(c.APPFIL, "KEEL.APP");
    EXPECT_EQ(c.NTEST, 3);
    EXPECT_DOUBLE_EQ(c.TP(1, 3), 1.03);
    EXPECT_DOUBLE_EQ(c.TP(10, 2), 2.0);
    EXPECT_DOUBLE_EQ(c.HSTUD, 0.002) << "millimetres become metres";
    EXPECT_DOUBLE_EQ(c.XSTUD, 1.0);
    EXPECT_DOUBLE_EQ(c.STIMCF, 0.0576 * 0.06 * std::pow(0.52 * 0.01 * 0.002 / 1.0, 0.2));
    EXPECT_TRUE(c.FULLSC);
    EXPECT_EQ(c.HTRIP, 0.0);
    EXPECT_DOUBLE_EQ(c.KDX, 0.5) << "appendage lengths times ASCALE";
    EXPECT_DOUBLE_EQ(c.KDEPTH, 1.5);
    EXPECT_DOUBLE_EQ(c.KCHORD(8), 2 * 0.36);
    EXPECT_DOUBLE_EQ(c.KTHICK(4), 0.104);
    EXPECT_DOUBLE_EQ(c.KSECTF, 0.7) << "section factors are not scaled";
    EXPECT_EQ(c.KSTYPE, 63);
    EXPECT_EQ(c.RSTYPE, 64);
    EXPECT_DOUBLE_EQ(c.RSPAN, 1.2);
    EXPECT_DOUBLE_EQ(c.KSWEEP, 10 * 3.141592653589793 / 180);
    EXPECT_DOUBLE_EQ(c.RCOSSW, std::cos(5 * 3.141592653589793 / 180));
    EXPECT_DOUBLE_EQ(c.RTANSW, std::tan(5 * 3.141592653589793 / 180));
    EXPECT_EQ(r.table->str(), FormattedRecord().A(c.TITLE, 70).str() +
                                  "\n Resistance values calculated with Carinex 3.3\n"
                                  " Documentation and updates of Carinex: see the Carinex web site\n");
}

TEST(CaseReader, StimulatorHeightSelectsTankModelData) {
    CaseRun r;
    test::CaseSpec spec;
    spec.hstim = 2.5;
    r.read(test::caseInputText(spec));
    EXPECT_FALSE(r.c().FULLSC);
    EXPECT_DOUBLE_EQ(r.c().HTRIP, 0.52 * 0.0025);
}

TEST(CaseReader, NegatedXAxisMovesThePositions) {
    CaseRun r;
    test::CaseSpec spec;
    spec.xaxis = 2;
    spec.zaxis = 2;
    r.read(test::caseInputText(spec));
    ASSERT_EQ(r.IERR, 0);
    EXPECT_FALSE(r.c().LXAXIS);
    EXPECT_FALSE(r.c().LZAXIS);
    EXPECT_DOUBLE_EQ(r.c().XORIG, -0.1);
    EXPECT_DOUBLE_EQ(r.c().XKEEL, -5.0);
    EXPECT_DOUBLE_EQ(r.c().XRUDD, -1.0);
    EXPECT_DOUBLE_EQ(r.c().XLOAD, -4.0);
}

TEST(CaseReader, BadAxisCodeFailsAfterReadingEverything) {
    CaseRun r;
    test::CaseSpec spec;
    spec.zaxis = 3;
    r.read(test::caseInputText(spec), "");
    EXPECT_EQ(r.IERR, 1);
    EXPECT_EQ(r.console.str(),
              " only \"1\" or \"2\" allowed for ZAXIS\n Input file for appendages does not exist\n " +
                  lookedForNote(r.dir.path(), "APPEND\\KEEL.APP") + "\n computation for bare hull only\n");
    EXPECT_EQ(r.c().KSTYPE, 100);
}

TEST(CaseReader, TestPointLimits) {
    for (int n : {250, 251}) {
        CaseRun r;
        test::CaseSpec spec;
        spec.ntest = n;
        r.read(test::caseInputText(spec));
        if (n <= 250) {
            EXPECT_EQ(r.IERR, 0) << n;
            EXPECT_EQ(r.c().NTEST, n);
        } else {
            EXPECT_EQ(r.IERR, 1);
            EXPECT_EQ(r.console.str(), " Maximum of 250 testpoints allowed\n");
            EXPECT_EQ(r.c().TP(1, 1), 0.0) << "no row is read";
        }
    }
}


TEST(CaseReader, RowOverTwoLinesIsOneRow) {
    CaseRun r;
    test::CaseSpec spec;
    spec.ntest = 2;
    std::string text = test::caseInputText(spec);
    const auto rowStart = text.find("1.01 0 15");
    text.replace(text.find(" 50 ", rowStart), 4, "\n 50 ");
    r.read(text);
    ASSERT_EQ(r.IERR, 0);
    EXPECT_DOUBLE_EQ(r.c().TP(5, 1), 50.0);
    EXPECT_DOUBLE_EQ(r.c().TP(1, 2), 1.02);
}

TEST(CaseReader, MissingOrEmptyFile) {
    CaseRun r;
    r.read("", "");
    EXPECT_EQ(r.IERR, 1);
    EXPECT_EQ(r.console.str(), " Input file does not exist\n " + lookedForNote(r.dir.path(), "INPUT/CX_T01_IN.TXT") + "\n");
}

TEST(CaseReader, MissingAppendagesMeanBareHull) {
    CaseRun r;
    r.read(test::caseInputText({}), "");
    EXPECT_EQ(r.IERR, 0);
    EXPECT_EQ(r.c().KSTYPE, 100);
    EXPECT_EQ(r.c().RSTYPE, 100);
    EXPECT_NE(r.table->str().find("\n\n no valid appendages defined, computation for bare hull only\n"),
              std::string::npos);
}

TEST(CaseReader, BadKeelFamilySkipsTheRudderBlock) {
    CaseRun r;
    r.read(test::caseInputText({}), test::appendageText(65, 0));
    EXPECT_EQ(r.IERR, 0);
    EXPECT_EQ(r.console.str().rfind(" WARNING! KSTYPE =", 0), 0u);
    EXPECT_NE(r.console.str().find("65 not allowed\n continued without appendages\n"), std::string::npos);
    EXPECT_EQ(r.c().RSPAN, 0.0) << "rudder block not read";
    EXPECT_DOUBLE_EQ(r.c().KSWEEP, 10.0) << "sweep not converted";
    EXPECT_EQ(r.c().RSTYPE, 100);
}

TEST(CaseReader, BadRudderFamilyMeansBareHull) {
    CaseRun r;
    r.read(test::caseInputText({}), test::appendageText(0, 1));
    EXPECT_EQ(r.IERR, 0);
    EXPECT_NE(r.console.str().find("WARNING! RSTYPE ="), std::string::npos);
    EXPECT_EQ(r.c().KSTYPE, 100);
    EXPECT_DOUBLE_EQ(r.c().RSPAN, 1.2);
}

TEST(CaseReader, MalformedValuesNameFileAndLine) {
    const struct {
        std::string from, to, message;
    } cases[] = {
        {"SCALE\n1\n", "SCALE\none\n", "INPUT/CX_T01_IN.TXT, line 10: 'one' is not a number"},
        {"NTEST\n1\n", "NTEST\n1.0\n", "INPUT/CX_T01_IN.TXT, line 54: '1.0' is not a whole number"},
        {"1.01 0 15", "1.01 x 15", "INPUT/CX_T01_IN.TXT, line 61: 'x' is not a number"},
    };
    for (const auto& c : cases) {
        CaseRun r;
        std::string text = test::caseInputText({});
        text.replace(text.find(c.from), c.from.size(), c.to);
        r.read(text);
        EXPECT_EQ(r.IERR, 1);
        EXPECT_EQ(r.console.str(), " " + c.message + "\n");
    }
    CaseRun truncated;
    std::string text = test::caseInputText({});
    truncated.read(text.substr(0, text.find("VOLUME")));
    EXPECT_EQ(truncated.IERR, 1);
    EXPECT_EQ(truncated.console.str(), " INPUT/CX_T01_IN.TXT, line 18: file ends before the label of VOLUME\n");
}

// The mistakes users make in the case input, each with the message it gets.
TEST(CaseReader, UserMistakesAreNamedWithFileAndLine) {
    const std::string row1 = "1.01 0 15 0.1 50 1 1.0 3 2 1";
    const struct {
        std::string from, to;
        int ntest, rows, IERR;
        std::string console;
    } cases[] = {
        {"VOLUME\n2\n", "VOLUME\n3,9933\n", 1, 1, 1,
         "line 20: '3,9933' holds 1 number more than VOLUME takes (a decimal comma? write 3.9933 with a decimal point)"},
        {"1.01 0 15", "1,01 0 15", 1, 1, 1, "line 61: decimal comma in '1,01" + row1.substr(4) + "': write 1.01 with a decimal point"},
        {row1, "1.01,0,15,0.1,50,1,1.0,3,2,1", 1, 1, 0, ""},
        {"NTEST\n1\n", "NTEST\n0\n", 1, 1, 1, "line 54: NTEST = 0: a case needs at least 1 test point (1 to 250)"},
        {"1.01 0 15", "-1 0 15", 1, 1, 1, "line 61: boat speed -1 m/s of test point 1 is outside the allowed range: above 0 m/s"},
        {"1.01 0 15", "0 0 15", 1, 1, 1, "line 61: boat speed 0 m/s of test point 1 is outside the allowed range: above 0 m/s"},
        {"50 1 1.0", "50 90 1.0", 1, 1, 1,
         "line 61: heel 90 degrees of test point 1 is outside the allowed range: above -90 and below 90 degrees"},
        {"50 1 1.0", "50 -95 1.0", 1, 1, 1,
         "line 61: heel -95 degrees of test point 1 is outside the allowed range: above -90 and below 90 degrees"},
        {"50 1 1.0", "50 -89.9 1.0", 1, 1, 0, ""},
        {"3 2 1\n1.02", "3 2\n1.02", 2, 2, 1,
         "line 62: '1.02 0 15 0.1 50 2 1.0 3 2 2' holds 9 numbers more than test point 1 (10 numbers) takes (begun on line 61)"},
        {"", "", 4, 3, 1, "number of testpoints (rows) in Input-file less than NTEST=           4\n"
                          " INPUT/CX_T01_IN.TXT, line 63: the file ends after 3 of the NTEST = 4 test-point rows"},
        {"3 2 1\n", "3 2\n", 1, 1, 1, "number of testpoints (rows) in Input-file less than NTEST=           1\n"
                                      " INPUT/CX_T01_IN.TXT, line 61: test point 1 holds only 9 of its 10 numbers"},
        {"", "", 1, 3, 0, "warning: 2 more lines of test points after the NTEST = 1 rows read are ignored"
                          " (INPUT/CX_T01_IN.TXT, lines 62 to 63)"},
    };
    for (const auto& c : cases) {
        CaseRun r;
        test::CaseSpec spec;
        spec.ntest = c.ntest;
        spec.rowsWritten = c.rows;
        std::string text = test::caseInputText(spec);
        if (!c.from.empty()) text.replace(text.find(c.from), c.from.size(), c.to);
        r.read(text);
        EXPECT_EQ(r.IERR, c.IERR) << c.to;
        const std::string file = c.console.rfind("line ", 0) == 0 ? "INPUT/CX_T01_IN.TXT, " : "";
        EXPECT_EQ(r.console.str(), c.console.empty() ? "" : " " + file + c.console + "\n") << c.to;
    }
}

TEST(CaseReader, TruncatedAppendageFileIsAnError) {
    CaseRun r;
    std::string app = test::appendageText();
    r.read(test::caseInputText({}), app.substr(0, app.find("RSPAN")));
    EXPECT_EQ(r.IERR, 1);
    EXPECT_NE(r.console.str().find("APPEND/KEEL.APP, line"), std::string::npos);
}

}  // namespace
}  // namespace carinex

namespace carinex {
namespace {

// The strip's drag coefficient scales with (height / distance)^0.2, so a strip needs a positive
// distance; a stud row is valid anywhere behind the bow, and its coefficient is unused.
TEST(CaseReader, OnlyAStripNeedsAPositiveDistance) {
    struct Case {
        int nstud;
        double xstud;
        bool rejected;
    };
    for (auto [nstud, xstud, rejected] :
         {Case{0, 0.0, true}, Case{0, -5.0, true}, Case{0, 200.0, false}, Case{10, 0.0, false}, Case{1, -5.0, false}}) {
        CaseRun r;
        test::CaseSpec spec;
        spec.hstud = 2.0;
        spec.nstud = nstud;
        spec.xstud = xstud;
        r.read(test::caseInputText(spec));
        const std::string where = "NSTUD " + std::to_string(nstud) + " XSTUD " + test::num(xstud);
        if (rejected) {
            EXPECT_EQ(r.IERR, 1) << where;
            EXPECT_EQ(r.console.str(),
                      " INPUT/CX_T01_IN.TXT, line 44: XSTUD must be positive for a trip strip (HSTUD > 0, NSTUD < 1)\n")
                << where;
            continue;
        }
        EXPECT_EQ(r.IERR, 0) << where << r.console.str();
        EXPECT_DOUBLE_EQ(r.c().XSTUD, xstud / 1000.0) << where;
        const double strip = 0.0576 * 0.06 * std::pow(0.52 * 0.01 * 0.002 / (xstud / 1000.0), 0.2);
        EXPECT_DOUBLE_EQ(r.c().STIMCF, xstud > 0.0 ? strip : 0.0) << where;
    }
}

}  // namespace
}  // namespace carinex
