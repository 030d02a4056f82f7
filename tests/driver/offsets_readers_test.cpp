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

    ReaderRun(bool lx = true, bool lz = true) {
        st->input.LXAXIS = lx;
        st->input.LZAXIS = lz;
    }
    RawOffsets& raw() { return st->raw; }
    void read(int format, const std::string& text) {
        RecordReader in(TextFile{"OFFSETS/OFFS_T01.TXT", splitLines(text)});
        if (format == 3) RDOFF3(*st, io, in, IERR);
        else if (format == 2) RDOFF2(*st, io, in, IERR);
        else RDOFF1(*st, io, in, IERR);
    }
};

Hull smallHull() {
    return Hull{{1.0, {{0.0, -0.5}, {-0.4, -0.2}, {0.6, 0.5}}},
                {2.0, {{0.0, -0.7}, {0.5, -0.3}, {0.8, 0.6}, {0.9, 1.0}}}};
}

TEST(OffsetsReaders, AllLayoutsReadTheSamePoints) {
    for (int format : {1, 2, 3}) {
        ReaderRun r;
        r.read(format, test::offsetsText(format, smallHull()));
        ASSERT_EQ(r.IERR, 0) << format << r.console.str();
        EXPECT_EQ(r.raw().NST, 2);
        EXPECT_EQ(r.raw().NPMAX, 4);
        EXPECT_EQ(r.raw().NP(2), 4);
        EXPECT_DOUBLE_EQ(r.raw().XOFF(2), 2.0);
        EXPECT_DOUBLE_EQ(r.raw().YOFF(2, 1), 0.4) << "half-breadths are stored as magnitudes";
        EXPECT_DOUBLE_EQ(r.raw().ZOFF(3, 2), 0.6);
        EXPECT_DOUBLE_EQ(r.raw().ZOFMAX, 1.0);
        EXPECT_EQ(r.raw().YOFF(5, 2), kAbsent);
    }
}

TEST(OffsetsReaders, AxisSignsApplyToXAndZOnly) {
    for (int format : {1, 2, 3}) {
        ReaderRun r(false, false);
        r.read(format, test::offsetsText(format, smallHull()));
        ASSERT_EQ(r.IERR, 0);
        EXPECT_DOUBLE_EQ(r.raw().XOFF(1), -1.0) << format;
        EXPECT_DOUBLE_EQ(r.raw().ZOFF(1, 1), 0.5);
        EXPECT_DOUBLE_EQ(r.raw().YOFF(3, 2), 0.8);
        EXPECT_DOUBLE_EQ(r.raw().ZOFMAX, 0.7) << "largest height after the sign change";
    }
}

TEST(OffsetsReaders, StationLimit) {
    for (int format : {1, 2, 3}) {
        for (int n : {70, 71}) {
            Hull h;
            for (int i = 0; i < n; ++i) h.push_back({0.1 * i, {{0.0, -1.0}, {1.0, 0.0}}});
            ReaderRun r;
            r.read(format, test::offsetsText(format, h));
            if (n == 70) {
                EXPECT_EQ(r.IERR, 0) << format;
                EXPECT_EQ(r.raw().NST, 70);
            } else {
                EXPECT_EQ(r.IERR, 2) << format;
                EXPECT_EQ(r.console.str(), " not more than 52 stations allowed\n");
            }
        }
    }
    ReaderRun r;  // the counted layout stops before reading any station
    r.read(3, "*\n\n71\n0 2\n0 0\n1 1\n");
    EXPECT_EQ(r.IERR, 2);
    EXPECT_EQ(r.raw().XOFF(1), kAbsent);
}

TEST(OffsetsReaders, PointLimit) {
    for (int format : {1, 2, 3}) {
        for (int n : {400, 401}) {
            Station s{0.5, {}};
            for (int j = 0; j < n; ++j) s.points.push_back({0.001 * j, 0.001 * j});
            ReaderRun r;
            r.read(format, test::offsetsText(format, Hull{s, {1.0, {{0, 0}, {1, 1}}}}));
            if (n == 400) {
                EXPECT_EQ(r.IERR, 0) << format;
                EXPECT_EQ(r.raw().NPMAX, 400);
            } else {
                EXPECT_EQ(r.IERR, 1) << format;
                std::string expected = " sections must not have more than 400 points\n";
                if (format == 2) expected += " reduce precision in Delftship\n";
                EXPECT_EQ(r.console.str(), expected);
            }
        }
    }
}

TEST(OffsetsReaders, CentrePlaneSegmentsAreMarkedAbsent) {
    ReaderRun r;
    r.read(3, "*\n\n2\n0 4\n0 -1\n0 -0.5\n0.5 0\n1 1\n1 2\n0 -1\n0 1\n");
    ASSERT_EQ(r.IERR, 0);
    EXPECT_EQ(r.raw().YOFF(1, 1), kAbsent);
    EXPECT_EQ(r.raw().ZOFF(2, 1), kAbsent);
    EXPECT_DOUBLE_EQ(r.raw().ZOFF(3, 1), 0.0);
    EXPECT_DOUBLE_EQ(r.raw().ZOFF(1, 2), -1.0) << "a section of two points is left alone";
}

TEST(OffsetsReaders, DelftshipSectionEndingTheFileKeepsNoCount) {
    const std::string text = test::format2Text(smallHull());
    // cut the file right after the last point record
    const std::string cut = text.substr(0, text.rfind("---------------\n\n"));
    ReaderRun r;
    r.read(2, cut);
    EXPECT_EQ(r.IERR, 0);
    EXPECT_EQ(r.raw().NST, 2);
    EXPECT_EQ(r.raw().NP(1), 3);
    EXPECT_EQ(r.raw().NP(2), 0);
    EXPECT_DOUBLE_EQ(r.raw().ZOFF(4, 2), 1.0) << "its points are stored all the same";
}

TEST(OffsetsReaders, PointListZeroesTinyValuesAndNeedsTwoPoints) {
    ReaderRun r;
    r.read(1, "0 0 -1\n5e-9 1 3e-9\n");
    ASSERT_EQ(r.IERR, 0);
    EXPECT_EQ(r.raw().NST, 1);
    EXPECT_EQ(r.raw().NP(1), 2);
    EXPECT_EQ(r.raw().ZOFF(2, 1), 0.0);
    ReaderRun single;
    single.read(1, "0 0 -1\n1 0 -1\n2 0 -1\n");
    EXPECT_EQ(single.IERR, 3);
    EXPECT_EQ(single.console.str(), " Offset-file is empty\n");
    ReaderRun empty;
    empty.read(2, "\n");
    EXPECT_EQ(empty.IERR, 3);
}

TEST(OffsetsReaders, MalformedAndTruncatedFilesNameFileAndLine) {
    const struct {
        int format;
        const char* text;
        const char* message;
    } cases[] = {
        {3, "no asterisk\nhere\n", "OFFSETS/OFFS_T01.TXT, line 2: file ends before the line starting with '*'"},
        {3, "*\n\n1\n0 3\n0 0\n1 1\n", "OFFSETS/OFFS_T01.TXT, line 6: file ends before all announced points"},
        {3, "*\n\n2\n0 2\n0 0\n1 1\n", "OFFSETS/OFFS_T01.TXT, line 6: file ends before the station position"},
        {3, "*\n\n1\n0 2\n0 0\n1 one\n", "OFFSETS/OFFS_T01.TXT, line 6: 'one' is not a number"},
        {3, "*\n\n1.5\n", "OFFSETS/OFFS_T01.TXT, line 3: '1.5' is not a whole number"},
        {3, "*\n\n1\n0 0\n", "OFFSETS/OFFS_T01.TXT, line 4: a section must have at least one point"},
        {1, "0 0 0\n0 1\n", "OFFSETS/OFFS_T01.TXT, line 2: file ends inside a point"},
        {2, "Station  abc\n", "OFFSETS/OFFS_T01.TXT, line 1: no station position in columns 10 to 19"},
        {2, "Station  1.0\n\n", "OFFSETS/OFFS_T01.TXT, line 2: file ends in the header of a section"},
    };
    for (const auto& c : cases) {
        ReaderRun r;
        r.read(c.format, c.text);
        EXPECT_EQ(r.IERR, 1) << c.text;
        EXPECT_EQ(r.console.str().rfind(std::string(" ") + c.message, 0), 0u) << r.console.str();
    }
}

// A mistyped coordinate far outside the hull stops the reading at its line. Nine stations from
// x = 0 to 10: the hull length measured on the middle half of the stations is 10, and the limit
// 10 lengths off the hull (the centre plane for y, the median station and height for x and z).
TEST(OffsetsReaders, PointFarOutsideTheHullNamesItsLine) {
    enum Field { Y, Z, X };
    const struct {
        int format;
        Field field;
        int station, point;  // 1-based
        double value;
        const char* message;  // empty: accepted
    } cases[] = {
        {3, Y, 4, 3, 1e9, "half-breadth 1e+09 of point 3 of station 4"},
        {2, Y, 4, 3, 1e9, "half-breadth 1e+09 of point 3 of station 4"},
        {1, Y, 4, 3, 999999999999.0, "half-breadth 1e+12 of point 3 of station 4"},
        {1, Y, 4, 3, -1e9, "half-breadth 1e+09 of point 3 of station 4"},
        {3, Z, 5, 1, -150.0, "height -150 of point 1 of station 5"},
        {3, X, 9, 1, 999999999999.0, "station 9, whose first point is on this line, lies at x = 1e+12"},
        {1, X, 9, 1, -500.0, "station 9, whose first point is on this line, lies at x = -500"},
        {3, Y, 4, 3, 99.0, ""},
        {2, Z, 5, 1, -80.0, ""},
        {1, X, 9, 1, 105.0, ""},
    };
    for (const auto& c : cases) {
        test::Hull hull = test::ellipticHull(9, 5);
        test::Station& st = hull[static_cast<std::size_t>(c.station - 1)];
        if (c.field == X) st.x = c.value;
        if (c.field == Y) st.points[static_cast<std::size_t>(c.point - 1)].y = c.value;
        if (c.field == Z) st.points[static_cast<std::size_t>(c.point - 1)].z = c.value;
        const std::string text = test::offsetsText(c.format, hull);
        ReaderRun r;
        r.read(c.format, text);
        const std::string where = std::to_string(c.format) + " " + test::num(c.value);
        if (*c.message == 0) {
            EXPECT_EQ(r.IERR, 0) << where << r.console.str();
            continue;
        }
        // the line holding the value; a counted station's first point follows its position
        const std::size_t at = text.find(test::num(c.value));
        int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        if (c.field == X && c.format == 3) ++line;
        EXPECT_EQ(r.IERR, 1) << where;
        EXPECT_EQ(r.console.str(), " OFFSETS/OFFS_T01.TXT, line " + std::to_string(line) + ": " + c.message +
                                       " is far outside the hull (more than 10 hull lengths of 10 off it)\n")
            << where;
    }
}

// Decimal commas and numbers too many are errors; a list with commas as its
// only separators (saved as CSV) and the further columns of an export are not.
TEST(OffsetsReaders, DecimalCommasAndExtraNumbers) {
    const struct {
        int format;
        std::string text;
        const char* message;  // "": read, the second point of station 2 at y = 0.9
    } cases[] = {
        {1, "0 0 0.2\n0 0,5 0.3\n", "line 2: decimal comma in '0 0,5 0.3': write 0.5 with a decimal point"},
        {1, "0 0 0.2\n0 0.5 0.3 7\n", "line 2: '0 0.5 0.3 7' holds 1 number more than a point (x y z) takes"},
        {1, "0,0,0.2\n0,0.5,0.3\n1,0,0.2\n1,0.9,0.3\n", ""},
        {1, "0, 0, 0.2\n0, 0.5, 0.3\n1, 0, 0.2\n1, 0.9, 0.3\n", ""},
        {3, "*\n\n2\n0 2\n0 0.2\n0.5 0.3 1\n", "line 6: '0.5 0.3 1' holds 1 number more than a point (y z) takes"},
        {3, "*\n\n2\n0 2 5\n", "line 4: '0 2 5' holds 1 number more than a station (x and point count) takes"},
        {3, "*\n\n2\n0 2\n0 0.2\n0.5 0.3\n1 2\n0 0.2\n0.1,0.9,0.3\n",
         "line 9: '0.1,0.9,0.3' holds 1 number more than a point (y z) takes"},
        {2, "Station  0.0\n\n\n 0 0.2 1\n 0.5 0.3 1\n-\n\nStation  1.0\n\n\n 0 0.2 1\n 0.9 0.3 1\n-\n\n", ""},
        {2, "Station  0.0\n\n\n 0 0.2\n 0,5 0.3\n-\n\n", "line 5: decimal comma in '0,5 0.3': write 0.5 with a decimal point"},
    };
    for (const auto& c : cases) {
        ReaderRun r;
        r.read(c.format, c.text);
        if (*c.message) {
            EXPECT_EQ(r.IERR, 1) << c.text;
            EXPECT_EQ(r.console.str(), std::string(" OFFSETS/OFFS_T01.TXT, ") + c.message + "\n") << c.text;
        } else {
            EXPECT_EQ(r.IERR, 0) << c.text << r.console.str();
            EXPECT_EQ(r.raw().NST, 2) << c.text;
            EXPECT_DOUBLE_EQ(r.raw().YOFF(2, 2), 0.9) << c.text;
        }
    }
}

TEST(OffsetsReaders, FixedFieldWithImpliedDecimals) {
    EXPECT_EQ(readFixedField("Station      1234", 10, 10, 3), 1.234);
    EXPECT_EQ(readFixedField("Station  -2.5      xx", 10, 10, 3), -2.5);
    EXPECT_EQ(readFixedField("Station", 10, 10, 3), 0.0);
    EXPECT_EQ(readFixedField("123456789   15E2", 10, 10, 3), 1.5);
    EXPECT_FALSE(readFixedField("Station  1.2.3", 10, 10, 3).has_value());
}

TEST(OrientationCheck, KeelWiderThanDeckStops) {
    ReaderRun r;
    r.read(3, test::format3Text(Hull{{0, {{1.0, 0}, {0.2, 1}}}}));
    double bhalf = 0;
    OFFCHK(*r.st, r.io, bhalf, r.IERR);
    EXPECT_EQ(r.IERR, 1);
    EXPECT_EQ(r.console.str(), " wrong value for ZAXIS, Y-keel larger than Y-deck\n");
}

TEST(OrientationCheck, WideForebodyWarnsAndDistancesAreFilled) {
    Hull h;
    for (int i = 0; i < 7; ++i) h.push_back({double(i), {{0.0, -1.0}, {1.0 + 0.1 * i, 1.0}}});
    ReaderRun r;
    r.io.setReport(std::make_unique<std::ostringstream>());
    r.read(3, test::format3Text(h));
    double bhalf = 0;
    OFFCHK(*r.st, r.io, bhalf, r.IERR);
    EXPECT_EQ(r.IERR, 0);
    EXPECT_EQ(r.console.str(),
              " is parameter XAXIS correct ?\n fore-body is wider than after-body !\n"
              " ship might be sailing backwards !\n execution continues\n");
    EXPECT_EQ(static_cast<std::ostringstream&>(r.io.report()).str(), " ship might be sailing backwards !\n");
    EXPECT_DOUBLE_EQ(bhalf, 1.3);
    EXPECT_DOUBLE_EQ(r.raw().RDIST(2, 4), std::sqrt(4.0 + 1.3 * 1.3));
    EXPECT_DOUBLE_EQ(r.raw().RDIST(1, 4), 0.0);
}

TEST(OrientationCheck, NarrowForebodyIsQuiet) {
    Hull h;
    for (int i = 0; i < 7; ++i) h.push_back({double(i), {{0.0, -1.0}, {2.0 - 0.1 * i, 1.0}}});
    ReaderRun r;
    r.read(3, test::format3Text(h));
    double bhalf = 0;
    OFFCHK(*r.st, r.io, bhalf, r.IERR);
    EXPECT_EQ(r.IERR, 0);
    EXPECT_EQ(r.console.str(), "");
}

}  // namespace
}  // namespace carinex

namespace carinex {
namespace {

TEST(OffsetsReaders, PointListStartingAtTheAbsentMarkStaysInBounds) {
    ReaderRun r;
    r.read(1, "1e9 0 0\n1e9 1 1\n2 0 0\n2 1 1\n");
    EXPECT_EQ(r.IERR, 0);
    EXPECT_EQ(r.raw().NST, 2);
    EXPECT_EQ(r.raw().NP(1), 2);
    EXPECT_EQ(r.raw().XOFF(1), kAbsent) << "an x at the absent mark is an absent station, dropped by the sorting";
}

}  // namespace
}  // namespace carinex
