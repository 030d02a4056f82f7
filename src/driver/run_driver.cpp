#include "driver/run_driver.h"

#include <string>

#include "appendages/keel_tables.h"
#include "driver/campaign_files.h"
#include "driver/case_reader.h"
#include "driver/offsets_readers.h"
#include "driver/result_backup.h"
#include "geometry/hull_preparation.h"
#include "geometry/offset_sorting.h"
#include "platform/files.h"
#include "platform/fixed_format.h"
#include "platform/record_reader.h"
#include "solver/test_point_driver.h"

namespace carinex {

std::string caseInputName(const std::string& code) { return "INPUT\\CX_" + code + "_IN.TXT"; }
std::string offsetsName(const std::string& code) { return "OFFSETS\\OFFS_" + code + ".TXT"; }
std::string reportName(const std::string& code) { return "CXRUN\\OUT_" + code + ".TXT"; }
std::string tableName(const std::string& code) { return "DRAG\\DRAG_" + code + ".TXT"; }

namespace {

constexpr int kCaseCodeLength = 3;
constexpr int kParametColumn = 13;
constexpr const char* kParametHeads[] = {
    "VBOOT",  "TTANK",  "RWELL",  "LWLPHI", "BWLPHI", "TCBPHI", "VOLCB",   "AHSPHI",
    "AWLPHI", "LCBPHI", "LCFPHI", "LWL1",   "LWL2",   "VCB1",   "WENTER",  "TCLTOH",
    "BML/LWL", "UMIN^2", "VOLFNZ", "OVRHNG", "ATTAK^2", "BDYN^2"};

// A banner line: the text inside a frame of asterisks, 45 columns in all.
std::string framed(const std::string& text) {
    constexpr std::size_t kInner = 43;
    return "*" + text + std::string(kInner - text.size(), ' ') + "*";
}

void writeBanner(std::ostream& console) {
    const std::string frame(45, '*');
    const std::string empty(45, ' ');
    writeFree(console, frame);
    writeFree(console, "*          Carinex Version 3.3              *");
    writeFree(console, framed("          (c) the Carinex developers 2026"));
    writeFree(console, empty);
    writeFree(console, empty);
    writeFree(console, empty);
    writeFree(console, framed("  details: see the Carinex documentation"));
    writeFree(console, frame);
    writeEmptyLine(console);
}

void writePrompt(std::ostream& console) {
    writeFree(console, "type 3 characters ### and press ENTER");
    writeFree(console, "input files INPUT/CX_###_in.TXT and", " OFFSET/OFFS_###.TXT will be used");
}

// Free-format read of the case code: the first item typed, cut or padded to
// three characters. False when the keyboard input ends first.
bool readCaseCode(std::istream& keyboard, std::string& code) {
    std::string line;
    std::vector<std::optional<std::string>> items;
    while (std::getline(keyboard, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        items.clear();
        const bool slash = splitListItems(line, items);
        if (items.empty() && !slash) continue;
        code = items.empty() || !items.front() ? std::string() : *items.front();
        code.resize(kCaseCodeLength, ' ');
        return true;
    }
    return false;
}

bool openOutputs(CaseState& st, RunFiles& io) {
    const std::string& code = st.run.CASE;
    keepEarlierResults(io, caseOutputNames(code));
    auto report = openOutputFile(io.workdir, reportName(code));
    auto table = openOutputFile(io.workdir, tableName(code));
    if (!report || !table) {
        writeFree(io.console, "cannot create the output files ", displayName(reportName(code)), " and ",
                  displayName(tableName(code)));
        return false;
    }
    io.setReport(std::move(report));
    io.setTable(std::move(table));
    if (st.run.DIAG) {
        io.setControl(openOutputFile(io.workdir, "CONTROL" + code + ".TXT"));
        io.setParamet(openOutputFile(io.workdir, "PARAMET" + code + ".TXT"));
        FormattedRecord head;
        for (const char* name : kParametHeads) head.A(name, kParametColumn);
        io.paramet() << head.str() << '\n';
    }
    return true;
}

// The input file of a program name; a missing file reads as an empty one.
RecordReader openInput(RunFiles& io, const std::string& name) {
    auto file = readInputFile(io.workdir, name);
    return RecordReader(file ? std::move(*file) : TextFile{displayName(name), {}});
}

// The prompt names the folder OFFSET: the offsets are taken from there when
// OFFSETS holds none.
std::string offsetsFileOf(const RunFiles& io, const std::string& code) {
    const std::string name = offsetsName(code);
    const std::string prompted = "OFFSET\\OFFS_" + code + ".TXT";
    if (!findInputFile(io.workdir, name) && findInputFile(io.workdir, prompted)) return prompted;
    return name;
}

// Reads the offsets in the layout FORMAT names and puts them in order.
void readOffsets(CaseState& st, RunFiles& io, int& IERR) {
    const int format = st.input.FORMAT;
    if (format < 1 || format > 3) {
        writeFree(io.console, "specified FORMAT for offset-file unknown");
        IERR = 1;
        return;
    }
    const std::string name = offsetsFileOf(io, st.run.CASE);
    if (!findInputFile(io.workdir, name)) {
        writeFree(io.console, "Offsets file ", displayName(name), " does not exist");
        writeFree(io.console, lookedForNote(io.workdir, name), ", and in the folder OFFSET");
        IERR = 1;
        return;
    }
    RecordReader in = openInput(io, name);
    if (format == 3) RDOFF3(st, io, in, IERR);
    else if (format == 2) RDOFF2(st, io, in, IERR);
    else RDOFF1(st, io, in, IERR);
    if (IERR != 0) return;
    PREP1(st);
    double BHALF = 0.0;
    OFFCHK(st, io, BHALF, IERR);
    if (IERR != 0) return;
    const double TOL = 0.0002 * BHALF;
    PREP2(st);
    PREP3(st);
    PREP4(st, TOL, st.run.EPS);
    PREP1(st);
    if (format == 3) {
        PREP2(st);
        PREP4(st, TOL, st.run.EPS);
    }
}

// A complete run with points whose equilibrium was not found ends with its
// own status, so that a script can tell it from a clean run.
int notConvergedStatus(const CaseState& st, RunFiles& io) {
    const int n = st.point.NOTCONV;
    if (n == 0) return 0;
    writeFree(io.console, "warning: " + std::to_string(n) + " of " + std::to_string(st.input.NTEST) +
                              " test points did not converge (rows of zeros in the table); exit status 2");
    return kExitNotConverged;
}

int successExit(CaseState& st, RunFiles& io) {
    writeEmptyLine(io.console);
    writeFree(io.console, "Resistance values in file: DRAG/DRAG_", st.run.CASE, ".TXT");
    return notConvergedStatus(st, io);
}

int failureExit(RunFiles& io) {
    writeFree(io.console, "fatal error occured, execution terminated");
    writeFree(io.report(), "Error, execution terminated");
    return 1;
}

void finalPrompt(RunFiles& io) {
    writeFree(io.console, "press Enter to quit");
    io.console.flush();
    std::string ignored;
    std::getline(io.keyboard, ignored);
}

// Everything between the case code and the exits; returns the error flag.
int runSteps(CaseState& st, RunFiles& io) {
    if (!openOutputs(st, io)) return 1;
    setupKeelTables(st.run);
    int IERR = 0;
    RecordReader caseInput = openInput(io, caseInputName(st.run.CASE));
    RDCASE(st, io, caseInput, IERR);
    if (IERR != 0) return IERR;
    readOffsets(st, io, IERR);
    if (IERR != 0) return IERR;
    PREP2(st);
    if (st.raw.NST > kMaxStations) {
        writeFree(io.console, st.raw.NST, "too many stations, Max = 52");
        return 1;
    }
    HULL1(st, io, IERR);
    if (IERR != 0) return IERR;
    TANK(st, io, st.raw.NST - 1, IERR);
    if (IERR == 0) writeCampaignFiles(st, io);  // beside the finished table; a failure is only a warning
    return IERR;
}

}  // namespace

int runCase(CaseState& st, RunFiles& io, const RunOptions& options) {
    st.run.DIAG = options.diag;
    writeBanner(io.console);
    writePrompt(io.console);
    io.console.flush();
    int status = 1;
    if (!readCaseCode(io.keyboard, st.run.CASE)) {
        writeFree(io.console, "no case code given: the input ended before 3 characters were typed");
        status = failureExit(io);
    } else {
        status = runSteps(st, io) == 0 ? successExit(st, io) : failureExit(io);
    }
    finalPrompt(io);
    return status;
}

}  // namespace carinex
