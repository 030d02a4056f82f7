// Cost of the hull preparation on the example cruiser-racer (37 stations of 28
// points, examples/cruiser, case CR3): resampling every section to 151 points,
// the volume match (one VDWL per bracket end and per root-search step) and the
// largest-section search. The case input and the offsets are read and cleaned
// once, as a run does before HULL1; every timed iteration starts from a fresh
// copy of that state, because HULL1 changes the raw offsets in place.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "appendages/keel_tables.h"
#include "driver/case_reader.h"
#include "driver/offsets_readers.h"
#include "geometry/design_waterline.h"
#include "geometry/hull_preparation.h"
#include "geometry/offset_sorting.h"
#include "platform/files.h"
#include "platform/record_reader.h"

namespace {

namespace fs = std::filesystem;
using namespace carinex;

// A run's text sinks with nothing to type and nothing kept.
struct QuietFiles {
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser"};
};

RecordReader reader(const RunFiles& io, const std::string& name) {
    auto file = readInputFile(io.workdir, name);
    return RecordReader(file ? std::move(*file) : TextFile{name, {}});
}

// The example's case input and raw offsets, read and cleaned as the run driver
// does before HULL1; nullptr when any step fails.
std::unique_ptr<CaseState> readExample() {
    auto st = makeCaseState();
    QuietFiles files;
    RunFiles& io = files.io;
    st->run.CASE = "CR3";
    setupKeelTables(st->run);
    int IERR = 0;
    RecordReader caseInput = reader(io, "INPUT\\CX_CR3_IN.TXT");
    RDCASE(*st, io, caseInput, IERR);
    if (IERR != 0 || st->input.FORMAT != 3) return nullptr;
    RecordReader offsets = reader(io, "OFFSETS\\OFFS_CR3.TXT");
    RDOFF3(*st, io, offsets, IERR);
    if (IERR != 0) return nullptr;
    PREP1(*st);
    double BHALF = 0.0;
    OFFCHK(*st, io, BHALF, IERR);
    if (IERR != 0) return nullptr;
    const double TOL = 0.0002 * BHALF;
    PREP2(*st);
    PREP3(*st);
    PREP4(*st, TOL, st->run.EPS);
    PREP1(*st);
    PREP2(*st);  // the counted layout is sorted and thinned once more
    PREP4(*st, TOL, st->run.EPS);
    PREP2(*st);
    return st;
}

const CaseState* example() {
    static const std::unique_ptr<CaseState> raw = readExample();
    return raw.get();
}

// Baseline: the copy of the case state that starts every iteration below.
void BM_FreshCaseState(benchmark::State& state) {
    const CaseState* raw = example();
    if (raw == nullptr) {
        state.SkipWithError("the example case could not be read");
        return;
    }
    auto work = makeCaseState();
    for (auto _ : state) {
        *work = *raw;
        benchmark::DoNotOptimize(work->raw.ZOFF.data.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FreshCaseState);

void BM_Hull1Example(benchmark::State& state) {
    const CaseState* raw = example();
    if (raw == nullptr) {
        state.SkipWithError("the example case could not be read");
        return;
    }
    auto work = makeCaseState();
    QuietFiles files;
    for (auto _ : state) {
        *work = *raw;
        int IERR = 0;
        HULL1(*work, files.io, IERR);
        if (IERR != 0) {
            state.SkipWithError("HULL1 failed on the example");
            break;
        }
        benchmark::DoNotOptimize(work->hull.AMAX);
    }
}
BENCHMARK(BM_Hull1Example)->Unit(benchmark::kMicrosecond);

// One upright volume of the prepared example at its design waterline: the
// unit of work the volume match repeats.
void BM_VdwlExample(benchmark::State& state) {
    const CaseState* raw = example();
    if (raw == nullptr) {
        state.SkipWithError("the example case could not be read");
        return;
    }
    auto work = makeCaseState();
    *work = *raw;
    QuietFiles files;
    int IERR = 0;
    HULL1(*work, files.io, IERR);
    if (IERR != 0) {
        state.SkipWithError("HULL1 failed on the example");
        return;
    }
    const int NSLOT = work->raw.NST - 1;
    for (auto _ : state) {
        const double V = VDWL(*work, NSLOT, 0.0, IERR, false, files.console);
        benchmark::DoNotOptimize(V);
    }
    if (IERR != 0) state.SkipWithError("VDWL failed on the example");
}
BENCHMARK(BM_VdwlExample)->Unit(benchmark::kMicrosecond);

}  // namespace
