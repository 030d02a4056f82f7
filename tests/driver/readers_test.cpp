// The readers of the case input, its appendage file and the offsets.
// The case input and appendages: unit conversions (mm to m, degrees to radians, ASCALE on
// appendage lengths only), the axis signs, the appendage families that fall back to the bare
// hull, and every message a mistyped case input gets.
// The three offsets layouts (x y z point list, Delftship export, counted stations): the same hull
// reads the same in each, the axis signs, the limits on stations and points, the centre-plane
// marking, every message a broken file gets, and the orientation check after reading.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "driver/case_reader.h"
#include "driver/offsets_readers.h"
#include "platform/files.h"
#include "support/case_files.h"

namespace carinex {
namespace {

using test::Hull;
using test::Station;

constexpr double kPi = 3.141592653589793;

// One reader on a fresh case state, its console and table captured.
struct ReaderRun {
    test::ScratchDir dir;
    std::unique_ptr<CaseState> st = makeCaseState();
    std::istringstream keyboard;
    std::ostringstream console;
    std::ostringstream* table = nullptr;
    RunFiles io{keyboard, console, dir.path()};
    int IERR = -1;

    // The case input, with its appendage file in APPEND (none if empty).
    explicit ReaderRun(const std::string& caseText, const std::string& appendages = test::appendageText()) {
        auto t = std::make_unique<std::ostringstream>();
        table = t.get();
        io.setTable(std::move(t));
        st->run.PI = kPi;
        if (!appendages.empty()) dir.write("APPEND/KEEL.APP", appendages);
        RecordReader in(TextFile{"INPUT/CX_T01_IN.TXT", splitLines(caseText)});
        RDCASE(*st, io, in, IERR);
    }
    // An offsets file in layout 1, 2 or 3.
    ReaderRun(int format, const std::string& text, bool axesAsGiven = true) {
        st->input.LXAXIS = st->input.LZAXIS = axesAsGiven;
        RecordReader in(TextFile{"OFFSETS/OFFS_T01.TXT", splitLines(text)});
        void (*const readers[])(CaseState&, RunFiles&, RecordReader&, int&) = {RDOFF1, RDOFF2, RDOFF3};
        readers[format - 1](*st, io, in, IERR);
    }
    const CaseInput& c() const { return st->input; }
    RawOffsets& raw() { return st->raw; }
};

// The unit conversions are pinned by the whole-run references; negated axes are not.
TEST(CaseReader, NegatedAxesNegateThePositions) {
    ReaderRun n(test::caseInputText({.xaxis = 2, .zaxis = 2}));
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
        ReaderRun r(test::caseInputText({}), c.appendages);
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
        ReaderRun r(text);
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

// Half-breadths are stored as magnitudes; negated axes change the signs of x and z only.
TEST(OffsetsReaders, EveryLayoutReadsTheSamePoints) {
    const Hull small{{1.0, {{0.0, -0.5}, {-0.4, -0.2}, {0.6, 0.5}}},
                     {2.0, {{0.0, -0.7}, {0.5, -0.3}, {0.8, 0.6}, {0.9, 1.0}}}};
    for (int format : {1, 2, 3})
        for (bool asGiven : {true, false}) {
            ReaderRun r(format, test::offsetsText(format, small), asGiven);
            ASSERT_EQ(r.IERR, 0) << format << r.console.str();
            const double sign = asGiven ? 1.0 : -1.0;
            EXPECT_DOUBLE_EQ(r.raw().XOFF(1), sign) << format;
            EXPECT_DOUBLE_EQ(r.raw().YOFF(2, 1), 0.4) << format;
            EXPECT_DOUBLE_EQ(r.raw().ZOFF(3, 2), 0.6 * sign) << format;
            EXPECT_DOUBLE_EQ(r.raw().ZOFMAX, asGiven ? 1.0 : 0.7) << "largest height after the sign change";
        }
}

TEST(OffsetsReaders, StationAndPointLimits) {
    for (int format : {1, 2, 3}) {
        const struct {
            int stations, points, IERR;
            std::string console;
        } cases[] = {
            {70, 2, 0, ""},
            {71, 2, 2, " not more than 52 stations allowed\n"},
            {2, 400, 0, ""},
            {2, 401, 1, " sections must not have more than 400 points\n" +
                            std::string(format == 2 ? " reduce precision in Delftship\n" : "")},
        };
        for (const auto& c : cases) {
            Hull h;
            for (int i = 0; i < c.stations; ++i) {
                h.push_back({0.1 * i, {}});
                for (int j = 0; j < c.points; ++j) h.back().points.push_back({0.001 * j, 0.001 * j});
            }
            ReaderRun r(format, test::offsetsText(format, h));
            EXPECT_EQ(r.IERR, c.IERR) << format << " " << c.stations << " " << c.points;
            EXPECT_EQ(r.console.str(), c.console);
        }
    }
}

TEST(OffsetsReaders, CentrePlaneAbsentStationsAndUnfinishedSections) {
    ReaderRun r(3, "*\n\n2\n0 4\n0 -1\n0 -0.5\n0.5 0\n1 1\n1 2\n0 -1\n0 1\n");
    ASSERT_EQ(r.IERR, 0);
    EXPECT_EQ(r.raw().YOFF(1, 1), kAbsent) << "a segment on the centre plane is marked absent";
    EXPECT_EQ(r.raw().ZOFF(2, 1), kAbsent);
    EXPECT_DOUBLE_EQ(r.raw().ZOFF(1, 2), -1.0) << "a section of two points is left alone";
    ReaderRun absentMark(1, "1e9 0 0\n1e9 1 1\n2 0 0\n2 1 1\n");  // stays in bounds
    EXPECT_EQ(absentMark.raw().XOFF(1), kAbsent) << "an absent station, dropped by the sorting";
    const Hull two{{1.0, {{0, -1}, {1, 0}, {1, 1}}}, {2.0, {{0, -1}, {1, 1}}}};
    const std::string delftship = test::format2Text(two);
    ReaderRun cut(2, delftship.substr(0, delftship.rfind("---------------\n\n")));  // after the last point
    EXPECT_EQ(cut.IERR, 0);
    EXPECT_EQ(cut.raw().NP(1), 3);
    EXPECT_EQ(cut.raw().NP(2), 0) << "a section ending the file keeps no count";
    EXPECT_DOUBLE_EQ(cut.raw().ZOFF(2, 2), 1.0) << "its points are stored all the same";
    EXPECT_EQ(readFixedField("Station      1234", 10, 10, 3), 1.234) << "implied decimals";
    EXPECT_FALSE(readFixedField("Station  1.2.3", 10, 10, 3).has_value());
}

// Every message a broken offsets file gets; a list saved as CSV reads without one
// (the second point of station 2 at y = 0.9).
TEST(OffsetsReaders, BrokenFilesNameFileAndLine) {
    const struct {
        int format;
        std::string text;
        int IERR;
        std::string message;  // "": read
    } cases[] = {
        {3, "no asterisk\nhere\n", 1,
         "line 2: file ends before the line starting with '*' that precedes the station data"},
        {3, "*\n\n1\n0 3\n0 0\n1 1\n", 1, "line 6: file ends before all announced points are read"},
        {3, "*\n\n2\n0 2\n0 0\n1 1\n", 1, "line 6: file ends before the station position and point count"},
        {3, "*\n\n1\n0 0\n", 1, "line 4: a section must have at least one point"},
        {1, "0 0 0\n0 1\n", 1, "line 2: file ends inside a point (x y z)"},
        {2, "Station  abc\n", 1, "line 1: no station position in columns 10 to 19"},
        {2, "Station  1.0\n\n", 1, "line 2: file ends in the header of a section"},
        {1, "0 0 -1\n1 0 -1\n2 0 -1\n", 3, "Offset-file is empty"},
        {1, "0 0 0.2\n0 0.5 0.3 7\n", 1, "line 2: '0 0.5 0.3 7' holds 1 number more than a point (x y z) takes"},
        {1, "0,0,0.2\n0,0.5,0.3\n1,0,0.2\n1,0.9,0.3\n", 0, ""},
        {3, "*\n\n2\n0 2 5\n", 1,
         "line 4: '0 2 5' holds 1 number more than a station (x and point count) takes"},
    };
    for (const auto& c : cases) {
        ReaderRun r(c.format, c.text);
        EXPECT_EQ(r.IERR, c.IERR) << c.text << r.console.str();
        const std::string file = c.message.rfind("line", 0) == 0 ? "OFFSETS/OFFS_T01.TXT, " : "";
        EXPECT_EQ(r.console.str(), c.message.empty() ? "" : " " + file + c.message + "\n") << c.text;
        if (c.message.empty()) {
            EXPECT_EQ(r.raw().NST, 2) << c.text;
            EXPECT_DOUBLE_EQ(r.raw().YOFF(2, 2), 0.9) << c.text;
        }
    }
}

// A mistyped coordinate far outside the hull stops the reading at its line. Nine stations from
// x = 0 to 10: the hull length measured on the middle half of the stations (the quartile stations
// lie 5 apart) is 10, and the limit 10 lengths off the hull (the centre plane for y, the median
// station and height for x and z; the median height is 0). A height exactly ten hull lengths from
// the median height is not "more than" ten: it is read.
TEST(OffsetsReaders, PointFarOutsideTheHullNamesItsLine) {
    enum Field { Y, Z, X };
    const struct {
        int format;
        Field field;
        int station, point;  // 1-based
        double value;
        const char* message;  // nullptr: read
    } cases[] = {
        {3, Y, 4, 3, 1e9, "half-breadth 1e+09 of point 3 of station 4"},
        {2, Z, 5, 1, -150.0, "height -150 of point 1 of station 5"},
        {1, X, 9, 1, -500.0, "station 9, whose first point is on this line, lies at x = -500"},
        {3, Z, 5, 3, 100.0, nullptr},
    };
    for (const auto& c : cases) {
        Hull hull;
        for (int i = 0; i < 9; ++i) hull.push_back({1.25 * i, {{0.0, -0.5}, {0.5, 0.0}, {0.8, 0.5}}});
        Station& st = hull[static_cast<std::size_t>(c.station - 1)];
        test::Point& p = st.points[static_cast<std::size_t>(c.point - 1)];
        (c.field == X ? st.x : c.field == Y ? p.y : p.z) = c.value;
        const std::string text = test::offsetsText(c.format, hull);
        ReaderRun r(c.format, text);
        const std::string where = std::to_string(c.format) + " " + test::num(c.value);
        const auto at = static_cast<std::ptrdiff_t>(text.find(test::num(c.value)));  // the line holding it
        const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
        EXPECT_EQ(r.IERR, c.message ? 1 : 0) << where;
        EXPECT_EQ(r.console.str(), c.message ? " OFFSETS/OFFS_T01.TXT, line " + std::to_string(line) + ": " +
                                                   c.message + " is far outside the hull (more than 10 hull"
                                                   " lengths of 10 off it)\n"
                                             : "")
            << where;
    }
}

// After reading: a fore-body wider than the after-body is a warning (the keel wider
// than the deck: UserMistakes, ZAXIS 2), also when the fore quarter station is a single point.
TEST(OrientationCheck, AWideForebodyWarns) {
    for (bool singlePoint : {false, true}) {
        Hull h;
        for (int i = 0; i < 7; ++i) h.push_back({double(i), {{0.0, -1.0}, {1.5 + 0.1 * (i - 3), 1.0}}});
        if (singlePoint) h[5].points = {{1.7, 0.0}};
        ReaderRun r(3, test::format3Text(h));
        auto report = std::make_unique<std::ostringstream>();
        const std::ostringstream* reportText = report.get();
        r.io.setReport(std::move(report));
        double bhalf = 0;
        OFFCHK(*r.st, r.io, bhalf, r.IERR);
        EXPECT_EQ(r.IERR, 0);
        const std::string backwards = " ship might be sailing backwards !\n";
        EXPECT_EQ(r.console.str(), " is parameter XAXIS correct ?\n fore-body is wider than after-body"
                                   " !\n" + backwards + " execution continues\n") << singlePoint;
        EXPECT_EQ(reportText->str(), backwards);
        EXPECT_DOUBLE_EQ(bhalf, 1.5) << "the half-breadth amidships";
    }
}

}  // namespace
}  // namespace carinex
