#include "driver/offsets_readers.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "driver/offsets_extent.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr double kZeroBelow = 1e-8;  // list coordinates this small are exact zeros

double signedX(const CaseState& st, double x) { return st.input.LXAXIS ? x : -x; }
double signedZ(const CaseState& st, double z) { return st.input.LZAXIS ? z : -z; }

void startReading(RawOffsets& raw) {
    raw.NST = 0;
    raw.NPMAX = 0;
    raw.ZOFMAX = 0.0;
}

// Stores point j of station i, read from the given line, with the axis signs applied.
void storePoint(CaseState& st, int j, int i, double y, double z, int line) {
    RawOffsets& raw = st.raw;
    raw.LINE(j, i) = line;
    raw.YOFF(j, i) = std::fabs(y);
    raw.ZOFF(j, i) = signedZ(st, z);
    raw.ZOFMAX = std::max(raw.ZOFMAX, raw.ZOFF(j, i));
}

bool tooManyStations(int count, RunFiles& io, int& IERR) {
    if (count <= kMaxRawStations) return false;
    writeFree(io.console, "not more than 52 stations allowed");
    IERR = 2;
    return true;
}

bool tooManyPoints(int count, RunFiles& io, int& IERR, bool delftship) {
    if (count <= kMaxRawPoints) return false;
    writeFree(io.console, "sections must not have more than 400 points");
    if (delftship) writeFree(io.console, "reduce precision in Delftship");
    IERR = 1;
    return true;
}

void reportEmpty(RunFiles& io, int& IERR) {
    writeFree(io.console, "Offset-file is empty");
    IERR = 3;
}

// A record of values (named `values` in messages): n numbers, no decimal
// comma; with exact, no number more.
void readItems(RecordReader& in, int n, std::vector<ListItem>& items, const char* what, const char* values,
               bool exact = true) {
    if (in.readValues(n, items, values, exact) != ListStatus::Ok) {
        in.fail(std::string("file ends before ") + what);
    }
}

// Two neighbouring points on the centre plane at different heights are a
// segment of the centre plane, not of the hull surface: mark both absent.
void markCentrePlaneSegments(RawOffsets& raw) {
    for (int i = 1; i <= raw.NST; ++i) {
        if (raw.NP(i) <= 2) continue;
        for (int j = 2; j <= raw.NP(i); ++j) {
            if (raw.YOFF(j, i) == 0.0 && raw.YOFF(j - 1, i) == 0.0 && raw.ZOFF(j - 1, i) != raw.ZOFF(j, i)) {
                raw.YOFF(j - 1, i) = raw.YOFF(j, i) = kAbsent;
                raw.ZOFF(j - 1, i) = raw.ZOFF(j, i) = kAbsent;
            }
        }
    }
}

void skipToStationData(RecordReader& in) {
    std::vector<ListItem> items;
    for (;;) {
        // free text before the data: read as it stands
        if (in.read(1, items) != ListStatus::Ok) in.fail("file ends before the line starting with '*' that precedes the station data");
        const auto& v = items.front().value;
        if (v && !v->empty() && v->front() == '*') break;
    }
    if (!in.skip()) in.fail("file ends before the number of stations");
}

void readCountedLayout(CaseState& st, RunFiles& io, RecordReader& in, int& IERR) {
    RawOffsets& raw = st.raw;
    std::vector<ListItem> items;
    skipToStationData(in);
    readItems(in, 1, items, "the number of stations", "the number of stations");
    raw.NST = in.integer(items[0], 0);
    if (tooManyStations(raw.NST, io, IERR)) return;
    if (raw.NST < 1) in.fail("the number of stations must be at least 1");
    for (int i = 1; i <= raw.NST; ++i) {
        readItems(in, 2, items, "the station position and point count", "a station (x and point count)");
        const double x = in.real(items[0], 0.0);
        raw.NP(i) = in.integer(items[1], 0);
        if (tooManyPoints(raw.NP(i), io, IERR, false)) return;
        if (raw.NP(i) < 1) in.fail("a section must have at least one point");
        raw.XOFF(i) = signedX(st, x);
        for (int j = 1; j <= raw.NP(i); ++j) {
            readItems(in, 2, items, "all announced points are read", "a point (y z)");
            storePoint(st, j, i, in.real(items[0], 0.0), in.real(items[1], 0.0), in.line());
        }
        raw.NPMAX = std::max(raw.NPMAX, raw.NP(i));
    }
    markCentrePlaneSegments(raw);
}

// One Delftship section: point records each starting with a blank, closed by
// a record whose first character is not blank and one further record.
// Returns false when the file ends inside it (the section's count is then
// not recorded).
bool readDelftshipSection(CaseState& st, RunFiles& io, RecordReader& in, int i, double x, int& IERR) {
    RawOffsets& raw = st.raw;
    std::vector<ListItem> items;
    int count = 0;
    for (;;) {
        // an export may carry further columns after y and z
        readItems(in, 2, items, "the points of the section", "a point (y z)", false);
        if (tooManyPoints(++count, io, IERR, true)) return false;
        raw.XOFF(i) = signedX(st, x);
        storePoint(st, count, i, in.real(items[0], 0.0), in.real(items[1], 0.0), in.line());
        raw.NPMAX = std::max(raw.NPMAX, count);
        auto next = in.record();
        if (!next) return false;
        if (next->empty() || next->front() == ' ') {
            in.backspace();
            continue;
        }
        break;
    }
    if (!in.skip()) return false;
    raw.NP(i) = count;
    return true;
}

void readDelftshipLayout(CaseState& st, RunFiles& io, RecordReader& in, int& IERR) {
    for (int count = 1;; ++count) {
        auto header = in.record();
        // a blank record cannot be a station header: trailing blank lines end the data
        while (header && header->find_first_not_of(" \t") == std::string_view::npos) header = in.record();
        if (!header) return;
        auto x = readFixedField(*header, 10, 10, 3);
        if (!x) in.fail("no station position in columns 10 to 19");
        if (tooManyStations(count, io, IERR)) return;
        st.raw.NST = count;
        if (!in.skip() || !in.skip()) in.fail("file ends in the header of a section");
        if (!readDelftshipSection(st, io, in, count, *x, IERR)) return;
    }
}

void readPointList(CaseState& st, RunFiles& io, RecordReader& in, int& IERR) {
    RawOffsets& raw = st.raw;
    std::vector<ListItem> items;
    double previousX = kAbsent;
    double xyz[3] = {0.0, 0.0, 0.0};
    int count = 0;
    for (;;) {
        const ListStatus status = in.readValues(3, items, "a point (x y z)");
        if (status == ListStatus::EndOfFile) break;
        if (status == ListStatus::Truncated) in.fail("file ends inside a point (x y z)");
        for (int k = 0; k < 3; ++k) {
            xyz[k] = in.real(items[static_cast<std::size_t>(k)], xyz[k]);
            if (std::fabs(xyz[k]) < kZeroBelow) xyz[k] = 0.0;
        }
        // the first point always opens a station, whatever its x
        if (raw.NST == 0 || xyz[0] != previousX) {
            if (tooManyStations(raw.NST + 1, io, IERR)) return;
            raw.NST += 1;
            raw.XOFF(raw.NST) = signedX(st, xyz[0]);
            count = 1;
            previousX = xyz[0];
        } else {
            if (tooManyPoints(count + 1, io, IERR, false)) return;
            ++count;
            raw.NP(raw.NST) = count;
            raw.NPMAX = std::max(raw.NPMAX, count);
        }
        storePoint(st, count, raw.NST, xyz[1], xyz[2], in.line());
    }
    if (raw.NPMAX == 0) reportEmpty(io, IERR);
}

// Runs one reader body; malformed input ends it with the file-and-line message.
template <class Body>
void guarded(CaseState& st, RunFiles& io, RecordReader& in, int& IERR, Body body) {
    IERR = 0;
    startReading(st.raw);
    try {
        body(st, io, in, IERR);
        if (IERR == 0) checkOffsetsNearHull(st.raw, in);
    } catch (const InputError& e) {
        writeFree(io.console, e.what());
        IERR = 1;
    }
}

}  // namespace

std::optional<double> readFixedField(std::string_view record, int first, int w, int d) {
    std::string field;
    for (int c = first; c < first + w; ++c) {
        const auto k = static_cast<std::size_t>(c - 1);
        if (k < record.size() && record[k] != ' ') field.push_back(record[k]);
    }
    if (field.empty()) return 0.0;
    const bool hasPoint = field.find('.') != std::string::npos;
    auto v = parseReal(field);
    if (!v) return std::nullopt;
    if (hasPoint) return v;
    // the implied decimals apply to the digits before any exponent
    const auto e = field.find_first_of("eEdD");
    if (e == std::string::npos) return *v / std::pow(10.0, d);
    auto mantissa = parseReal(field.substr(0, e));
    auto exponent = parseInteger(std::string_view(field).substr(e + 1));
    if (!mantissa || !exponent) return std::nullopt;
    return *mantissa / std::pow(10.0, d) * std::pow(10.0, *exponent);
}

void RDOFF3(CaseState& st, RunFiles& io, RecordReader& in, int& IERR) {
    guarded(st, io, in, IERR, readCountedLayout);
}

void RDOFF2(CaseState& st, RunFiles& io, RecordReader& in, int& IERR) {
    guarded(st, io, in, IERR, readDelftshipLayout);
    if (IERR == 0 && st.raw.NST == 0) reportEmpty(io, IERR);
}

void RDOFF1(CaseState& st, RunFiles& io, RecordReader& in, int& IERR) {
    guarded(st, io, in, IERR, readPointList);
}

void OFFCHK(CaseState& st, RunFiles& io, double& BHALF, int& IERR) {
    RawOffsets& raw = st.raw;
    IERR = 0;
    const int m = (raw.NST + 1) / 2;
    const int q = (raw.NST + 1) / 4;
    const int p = 2 * m - q;
    if (m < 1 || raw.NP(m) < 1) {
        reportEmpty(io, IERR);
        return;
    }
    if (raw.YOFF(1, m) > raw.YOFF(raw.NP(m), m)) {
        writeFree(io.console, "wrong value for ZAXIS, Y-keel larger than Y-deck");
        IERR = 1;
        return;
    }
    // The quarter stations exist from three stations on.
    if (q >= 1 && raw.NP(q) >= 1 && raw.NP(p) >= 1 &&
        raw.YOFF(raw.NP(p), p) > 1.01 * raw.YOFF(raw.NP(q), q)) {
        writeFree(io.console, "is parameter XAXIS correct ?");
        writeFree(io.console, "fore-body is wider than after-body !");
        writeFree(io.console, "ship might be sailing backwards !");
        writeFree(io.console, "execution continues");
        writeFree(io.report(), "ship might be sailing backwards !");
    }
    BHALF = raw.YOFF(raw.NP(m), m);
    raw.BHALF = BHALF;
    for (int i = 1; i <= raw.NST; ++i) {
        for (int j = 1; j <= raw.NPMAX; ++j) {
            const double dz = raw.ZOFF(j, i) - raw.ZOFF(1, i);
            raw.RDIST(j, i) = std::sqrt(dz * dz + raw.YOFF(j, i) * raw.YOFF(j, i));
        }
    }
}

}  // namespace carinex
