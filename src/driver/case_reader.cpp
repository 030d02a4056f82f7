#include "driver/case_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "appendages/foil_check.h"
#include "platform/files.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr int kTitleLength = 70;
constexpr int kAppendageNameLength = 12;

// Free-format reads of single values, each from the next record (a blank
// record is passed over, as free-format reading does). The end of the file
// here means a truncated input file.
class ValueReader {
public:
    explicit ValueReader(RecordReader& in) : in_(in) {}

    double real(const char* name) { return in_.real(item(name), 0.0); }
    int integer(const char* name) { return in_.integer(item(name), 0); }
    std::string text(const char* name) { return in_.text(item(name), ""); }
    void label(const char* next) {
        if (!in_.skip()) in_.fail(std::string("file ends before the label of ") + next);
    }
    // Several values of one record or of the records that follow.
    void reals(const char* name, int n, double* out) {
        read(name, n);
        for (int k = 0; k < n; ++k) out[k] = in_.real(items_[static_cast<std::size_t>(k)], 0.0);
    }
    // An input error at the record of the value last read.
    [[noreturn]] void fail(const std::string& message) const { in_.fail(items_.front().line, message); }

private:
    const ListItem& item(const char* name) {
        read(name, 1);
        return items_.front();
    }
    void read(const char* name, int n) {
        if (in_.readValues(n, items_, name) != ListStatus::Ok) in_.fail(std::string("file ends before the value of ") + name);
    }

    RecordReader& in_;
    std::vector<ListItem> items_;
};

std::string padded(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

std::string trimmed(const std::string& s) {
    auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// Records 4 to 56: value records with one label record between each two.
void readParameters(CaseInput& c, ValueReader& v) {
    c.FORMAT = v.integer("FORMAT");
    v.label("XAXIS");  c.XAXIS = v.integer("XAXIS");
    v.label("ZAXIS");  c.ZAXIS = v.integer("ZAXIS");
    v.label("SCALE");  c.SCALE = v.real("SCALE");
    v.label("XORIG");  c.XORIG = v.real("XORIG");
    v.label("XKEEL");  c.XKEEL = v.real("XKEEL");
    v.label("XRUDD");  c.XRUDD = v.real("XRUDD");
    v.label("XLOAD");  c.XLOAD = v.real("XLOAD");
    v.label("VOLUME"); c.VOLUME = v.real("VOLUME");
    v.label("IWATER"); c.IWATER = v.integer("IWATER");
    v.label("ZTOW");   c.ZTOW = v.real("ZTOW");
    v.label("XLEVER"); c.XLEVER = v.real("XLEVER");
    v.label("HLIFTF"); c.HLIFTF = v.real("HLIFTF");
    v.label("CHINE");  c.CHINE = v.real("CHINE");
    v.label("RDRFTF"); c.RDRFTF = v.real("RDRFTF");
    v.label("APPFIL"); c.APPFIL = v.text("APPFIL").substr(0, kAppendageNameLength);
    v.label("ASCALE"); c.ASCALE = v.real("ASCALE");
    v.label("HSTUD");  c.HSTUD = v.real("HSTUD");
    v.label("DSTUD");  c.DSTUD = v.real("DSTUD");
    v.label("NSTUD");  c.NSTUD = v.integer("NSTUD");
    v.label("XSTUD");  c.XSTUD = v.real("XSTUD");
    v.label("HSTIM");  c.HSTIM = v.real("HSTIM");
    v.label("DSTIM");  c.DSTIM = v.real("DSTIM");
    v.label("NSTK");   c.NSTK = v.integer("NSTK");
    v.label("NSTR");   c.NSTR = v.integer("NSTR");
    v.label("NTEST");  c.NTEST = v.integer("NTEST");
    if (c.NTEST < 1) v.fail("NTEST = " + std::to_string(c.NTEST) + ": a case needs at least 1 test point (1 to 250)");
    v.label("MODE");   c.MODE = v.integer("MODE");
}

// The text of a value as the user wrote it (a null item keeps the value before).
std::string writtenAs(const ListItem& item, double value) {
    if (item.value) return *item.value;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", value);
    return buf;
}

// Speeds and heels the tank can represent: the hull moves forward, and the
// heeled waterline cuts every section as a straight line z = zw +- tan(phi) y
// with the slopes and lengths divided by cos(phi), finite only below 90
// degrees of heel to either side.
void checkPhysical(const CaseInput& c, const RecordReader& in, const std::vector<ListItem>& items, int i) {
    const auto& speed = items[0];
    const auto& heel = items[5];
    const std::string point = " of test point " + std::to_string(i);
    if (!(c.TP(1, i) > 0.0)) {
        in.fail(speed.line, "boat speed " + writtenAs(speed, c.TP(1, i)) + " m/s" + point +
                                " is outside the allowed range: above 0 m/s");
    }
    if (!(std::fabs(c.TP(6, i)) < 90.0)) {
        in.fail(heel.line, "heel " + writtenAs(heel, c.TP(6, i)) + " degrees" + point +
                               " is outside the allowed range: above -90 and below 90 degrees");
    }
}

// The second line of the short-table message: where the rows ran out.
std::string whereRowsEnd(const CaseInput& c, const RecordReader& in, const std::vector<ListItem>& items, int i) {
    if (items.empty()) {
        return in.at(in.line(), "the file ends after " + std::to_string(i - 1) + " of the NTEST = " +
                                    std::to_string(c.NTEST) + " test-point rows");
    }
    return in.at(items.front().line, "test point " + std::to_string(i) + " holds only " +
                                         std::to_string(items.size()) + " of its 10 numbers");
}

// Test-point rows; false when the file ends before NTEST rows, after
// writing both lines of the message.
bool readTestPoints(CaseInput& c, RecordReader& in, RunFiles& io) {
    std::vector<ListItem> items;
    for (int i = 1; i <= c.NTEST; ++i) {
        const std::string what = "test point " + std::to_string(i) + " (10 numbers)";
        if (in.readValues(kTestColumns, items, what) != ListStatus::Ok) {
            writeFree(io.console, "number of testpoints (rows) in Input-file less than", " NTEST=", c.NTEST);
            writeFree(io.console, whereRowsEnd(c, in, items, i));
            return false;
        }
        for (int k = 1; k <= kTestColumns; ++k) c.TP(k, i) = in.real(items[static_cast<std::size_t>(k - 1)], c.TP(k, i));
        checkPhysical(c, in, items, i);
    }
    return true;
}

// Lines with numbers after the last row are rows NTEST leaves out: one warning.
void warnUnreadRows(const CaseInput& c, RecordReader& in, RunFiles& io) {
    std::vector<std::optional<std::string>> values;
    int count = 0, first = 0, last = 0;
    while (auto rec = in.record()) {
        values.clear();
        splitListItems(*rec, values);
        if (std::none_of(values.begin(), values.end(), [](const auto& v) { return v && parseReal(*v); })) continue;
        ++count;
        last = in.line();
        if (first == 0) first = last;
    }
    if (count == 0) return;
    writeFree(io.console, "warning: " + std::to_string(count) + " more line" + (count > 1 ? "s" : "") +
                              " of test points after the NTEST = " + std::to_string(c.NTEST) +
                              " rows read are ignored (" + in.name() + ", line" + (count > 1 ? "s " : " ") +
                              std::to_string(first) + (count > 1 ? " to " + std::to_string(last) : "") + ")");
}

void writeTableHead(const CaseInput& c, RunFiles& io) {
    io.table() << FormattedRecord().A(c.TITLE, kTitleLength).str() << '\n';
    writeFree(io.table(), "Resistance values calculated with Carinex 3.3");
    writeFree(io.table(), "Documentation and updates of Carinex: see the Carinex web site");
}

// Millimetre inputs to metres, and the stimulator quantities derived from them.
void convertStimulators(CaseInput& c, const RecordReader& in) {
    // A trip strip's drag coefficient scales with (height / distance)^0.2: it needs a positive
    // distance. A row of studs (NSTUD >= 1) may stand anywhere behind the bow.
    if (c.HSTUD > 0.0 && c.NSTUD < 1 && !(c.XSTUD > 0.0))
        in.fail(44, "XSTUD must be positive for a trip strip (HSTUD > 0, NSTUD < 1)");
    c.HSTUD /= 1000.0;
    c.DSTUD /= 1000.0;
    c.HSTIM /= 1000.0;
    c.DSTIM /= 1000.0;
    c.XSTUD /= 1000.0;
    // only a strip uses it: a stud row at or ahead of the bow leaves it 0 instead of undefined
    c.STIMCF = (c.HSTUD > 0.0 && c.XSTUD > 0.0) ? 0.0576 * 0.06 * std::pow(0.52 * 0.01 * c.HSTUD / c.XSTUD, 0.2) : 0.0;
    c.HTRIP = (c.HSTIM > 0.0) ? 0.52 * c.HSTIM : 0.0;
}

// Axis codes: false when the code is neither 1 nor 2.
bool axisFlag(int code, const char* name, bool& flag, RunFiles& io) {
    if (code == 1 || code == 2) {
        flag = (code == 1);
        return true;
    }
    writeFree(io.console, std::string("only \"1\" or \"2\" allowed for ") + name);
    return false;
}

void noteBareHull(RunFiles& io) {
    io.table() << '\n'
               << FormattedRecord().A("no valid appendages defined,", 29).A(" computation for bare hull only", 31).str()
               << '\n';
}

bool validSectionFamily(int code) { return code == 0 || code == 63 || code == 64; }

void rejectSectionFamily(CaseInput& c, RunFiles& io, const char* name, int code) {
    writeFree(io.console, std::string("WARNING! ") + name + " =", code, "not allowed");
    writeFree(io.console, "continued without appendages");
    noteBareHull(io);
    c.KSTYPE = 100;
    c.RSTYPE = 100;
}

void checkSection(CaseInput& c, RunFiles& io, int family, double tc, double& sweep, const char* part) {
    int status = 0;
    FOILCK(io, family, tc, sweep, status, c.FULLSC);
    if (status != 0) {
        const std::string note = std::string("reduced accuracy for lift and drag of ") + part;
        writeFree(io.console, note);
        writeFree(io.table(), note);
    }
}

void readKeelBlock(CaseInput& c, ValueReader& v) {
    v.label("KDX");  // record 2
    c.KDX = v.real("KDX") * c.ASCALE;
    v.label("KSECTF"); c.KSECTF = v.real("KSECTF");
    v.label("KDEPTH"); c.KDEPTH = v.real("KDEPTH") * c.ASCALE;
    v.label("KSWEEP"); c.KSWEEP = v.real("KSWEEP");
    v.label("KCHORD");
    for (int k = 1; k <= kKeelStrips; ++k) {
        double strip[2];
        v.reals("KCHORD and KTHICK", 2, strip);
        c.KCHORD(k) = strip[0] * c.ASCALE;
        c.KTHICK(k) = strip[1];
    }
    v.label("KSTYPE"); c.KSTYPE = v.integer("KSTYPE");
}

void readRudderBlock(CaseInput& c, ValueReader& v) {
    v.label("rudder block");
    v.label("RDX");    c.RDX = v.real("RDX") * c.ASCALE;
    v.label("RSPAN");  c.RSPAN = v.real("RSPAN") * c.ASCALE;
    v.label("RSWEEP"); c.RSWEEP = v.real("RSWEEP");
    v.label("RCROOT"); c.RCROOT = v.real("RCROOT") * c.ASCALE;
    v.label("RCTIP");  c.RCTIP = v.real("RCTIP") * c.ASCALE;
    v.label("RTCRT");  c.RTCRT = v.real("RTCRT");
    v.label("RTCTP");  c.RTCTP = v.real("RTCTP");
    v.label("RSECTF"); c.RSECTF = v.real("RSECTF");
    v.label("RSTYPE"); c.RSTYPE = v.integer("RSTYPE");
}

// The appendage file; on any "no valid appendages" outcome both section codes are 100.
void readAppendages(CaseState& st, RunFiles& io) {
    CaseInput& c = st.input;
    const std::string name = "APPEND\\" + trimmed(c.APPFIL);
    auto file = readInputFile(io.workdir, name);
    if (!file || file->lines.empty()) {
        writeFree(io.console, "Input file for appendages does not exist");
        writeFree(io.console, file ? file->name + " is empty" : lookedForNote(io.workdir, name));
        writeFree(io.console, "computation for bare hull only");
        noteBareHull(io);
        c.KSTYPE = c.RSTYPE = 100;
        return;
    }
    RecordReader in(std::move(*file));
    in.skip();  // record 1
    ValueReader v(in);
    readKeelBlock(c, v);
    if (!validSectionFamily(c.KSTYPE)) {
        rejectSectionFamily(c, io, "KSTYPE", c.KSTYPE);
        return;
    }
    checkSection(c, io, c.KSTYPE, c.KTHICK(4), c.KSWEEP, "keel");
    readRudderBlock(c, v);
    if (!validSectionFamily(c.RSTYPE)) rejectSectionFamily(c, io, "RSTYPE", c.RSTYPE);
    else checkSection(c, io, c.RSTYPE, c.RTCRT, c.RSWEEP, "rudder");
    c.KSWEEP = c.KSWEEP * st.run.PI / 180.0;
    c.RCOSSW = std::cos(c.RSWEEP * st.run.PI / 180.0);
    c.RTANSW = std::tan(c.RSWEEP * st.run.PI / 180.0);
}

// Everything after the title lines; returns the error flag.
int readCase(CaseState& st, RunFiles& io, RecordReader& in) {
    CaseInput& c = st.input;
    ValueReader values(in);
    readParameters(c, values);
    c.CHINF = 0.0228 * c.CHINE + 0.0871;
    for (int k = 0; k < 4; ++k) in.skip();  // labels and column heads of the table
    if (c.NTEST > kMaxTestPoints) {
        writeFree(io.console, "Maximum of 250 testpoints allowed");
        return 1;
    }
    if (!readTestPoints(c, in, io)) return 1;
    warnUnreadRows(c, in, io);
    writeTableHead(c, io);
    convertStimulators(c, in);
    // both codes are checked (and reported) before the verdict
    const bool xValid = axisFlag(c.XAXIS, "XAXIS", c.LXAXIS, io);
    const bool zValid = axisFlag(c.ZAXIS, "ZAXIS", c.LZAXIS, io);
    const bool axesValid = xValid && zValid;
    if (!c.LXAXIS) {
        c.XORIG = -c.XORIG;
        c.XKEEL = -c.XKEEL;
        c.XRUDD = -c.XRUDD;
        c.XLOAD = -c.XLOAD;
    }
    c.FULLSC = (c.HSTIM == 0.0);
    readAppendages(st, io);
    return axesValid ? 0 : 1;
}

// The second line when the title lines cannot be read: the file is missing,
// empty or too short.
std::string whyNoTitle(const RunFiles& io, const RecordReader& in) {
    if (!findInputFile(io.workdir, in.name())) return lookedForNote(io.workdir, in.name());
    if (in.line() == 0) return in.name() + " is empty";
    return in.name() + " ends after line " + std::to_string(in.line()) +
           ": a case input starts with 3 title lines and goes on with the values";
}

}  // namespace

void RDCASE(CaseState& st, RunFiles& io, RecordReader& in, int& IERR) {
    IERR = 0;
    in.skip();
    auto title = in.record();
    if (!title || !in.skip()) {
        writeFree(io.console, "Input file does not exist");
        writeFree(io.console, whyNoTitle(io, in));
        IERR = 1;
        return;
    }
    st.input.TITLE = padded(std::string(title->substr(0, kTitleLength)), kTitleLength);
    try {
        IERR = readCase(st, io, in);
    } catch (const InputError& e) {
        writeFree(io.console, e.what());
        IERR = 1;
    }
}

}  // namespace carinex
