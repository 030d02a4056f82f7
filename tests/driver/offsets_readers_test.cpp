// The three offsets layouts (x y z point list, Delftship export, counted
// stations): the same hull reads the same in each, the axis signs, the limits
// on stations and points, the centre-plane marking, every message a broken
// file gets, and the orientation check after reading.
#include "driver/offsets_readers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/files.h"
#include "support/case_files.h"

namespace carinex {
namespace {

using test::Hull;
using test::Station;

struct ReaderRun {
    std::unique_ptr<CaseState> st = makeCaseState();
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, "."};
    int IERR = -1;

    ReaderRun(int format, const std::string& text, bool axesAsGiven = true) {
        st->input.LXAXIS = st->input.LZAXIS = axesAsGiven;
        RecordReader in(TextFile{"OFFSETS/OFFS_T01.TXT", splitLines(text)});
        void (*const readers[])(CaseState&, RunFiles&, RecordReader&, int&) = {RDOFF1, RDOFF2, RDOFF3};
        readers[format - 1](*st, io, in, IERR);
    }
    RawOffsets& raw() { return st->raw; }
};

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
