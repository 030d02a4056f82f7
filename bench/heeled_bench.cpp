// Cost of one evaluation of the heeled hydrostatics (KRAENG), which the root search repeats for
// every trial state, on the example cruiser-racer (examples/cruiser, case CR3: 37 stations).
// The case runs once in a scratch folder to prepare the hull; the upright particulars follow,
// then the rest call; the timed calls are the upright hull and the hull at 20 deg heel, at the
// sinkage that floats it at its prescribed volume, with the laminar run the force balance uses.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "driver/case_state.h"
#include "driver/run_driver.h"
#include "geometry/brent_root.h"
#include "hydrostatics/heeled.h"
#include "hydrostatics/upright_particulars.h"
#include "platform/run_files.h"

namespace {

namespace fs = std::filesystem;
using namespace carinex;

struct Example {
    std::unique_ptr<CaseState> st = makeCaseState();
    std::istringstream keyboard;
    std::ostringstream console;
    std::unique_ptr<RunFiles> io;
    int NSLOT = 0;
    double sinkageAt20 = 0.0;  // SINKG floating the hull at its volume at 20 deg heel
    bool ready = false;
};

// Runs case CR3 in a scratch copy of the example's input folders and prepares the trial states.
std::unique_ptr<Example> prepareExample() {
    auto ex = std::make_unique<Example>();
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("carinex_bench_" + std::to_string(rd()));
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    fs::create_directories(dir);
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"}) {
        fs::copy(source / folder, dir / folder, fs::copy_options::recursive);
    }
    {
        std::istringstream typed("CR3\n\n");
        std::ostringstream shown;
        RunFiles run(typed, shown, dir);
        runCase(*ex->st, run);  // the hull is prepared whatever the test points do
    }
    std::error_code ec;
    fs::remove_all(dir, ec);

    CaseState& st = *ex->st;
    ex->io = std::make_unique<RunFiles>(ex->keyboard, ex->console, dir);
    ex->NSLOT = st.raw.NST - 1;
    if (ex->NSLOT < 20 || !(st.hull.XFKEEL > st.hull.XAKEEL)) return ex;
    double ZDRAG1 = 0.0, XLCBT = 0.0;
    int IERR = 0;
    GEOPRO(st, *ex->io, ex->NSLOT, ZDRAG1, XLCBT, IERR);
    if (IERR != 0) return ex;
    TestPoint& p = st.point;
    p.BREFX = 0.5 * st.upright.BWL;
    p.APPON = false;
    p.SINKG = p.TRIMW = p.PHI = p.SINPHI = p.TANPHI = 0.0;
    p.COSPHI = 1.0;
    KRAENG(st, *ex->io, 0.0, true, IERR, ex->NSLOT);
    if (IERR != 0) return ex;

    // the sinkage at which the hull heeled 20 deg displaces its volume
    p.PHI = 20.0 * st.run.PI / 180.0;
    p.SINPHI = std::sin(p.PHI);
    p.COSPHI = std::cos(p.PHI);
    p.TANPHI = std::tan(p.PHI);
    const double XLAM = 0.0075 * st.upright.LWL;
    auto excess = [&](double SINKG) {
        p.SINKG = SINKG;
        int e = 0;
        KRAENG(st, *ex->io, XLAM, false, e, ex->NSLOT);
        return st.trial.VOLCB - st.input.VOLUME;
    };
    const double span = 0.2 * st.upright.TC;
    const BrentResult r = brentRoot(excess, -span, span, excess(-span), excess(span), 1e-9, st.run.EPS, 100);
    ex->sinkageAt20 = r.x;
    ex->ready = r.converged;
    return ex;
}

Example* example() {
    static const std::unique_ptr<Example> ex = prepareExample();
    return ex.get();
}

void timeKraeng(benchmark::State& state, double heelDegrees) {
    Example* ex = example();
    if (!ex->ready) {
        state.SkipWithError("the example case could not be prepared");
        return;
    }
    CaseState& st = *ex->st;
    TestPoint& p = st.point;
    p.PHI = heelDegrees * st.run.PI / 180.0;
    p.SINPHI = std::sin(p.PHI);
    p.COSPHI = std::cos(p.PHI);
    p.TANPHI = std::tan(p.PHI);
    p.SINKG = heelDegrees == 0.0 ? 0.0 : ex->sinkageAt20;
    p.TRIMW = 0.0;
    const double XLAM = 0.0075 * st.upright.LWL;
    for (auto _ : state) {
        int IERR = 0;
        KRAENG(st, *ex->io, XLAM, false, IERR, ex->NSLOT);
        if (IERR != 0) {
            state.SkipWithError("KRAENG failed");
            return;
        }
        benchmark::DoNotOptimize(st.trial.VOLCB);
    }
    state.counters["VOLCB"] = st.trial.VOLCB;
    state.counters["LWLPHI"] = st.trial.LWLPHI;
}

void BM_KraengUpright(benchmark::State& state) { timeKraeng(state, 0.0); }
BENCHMARK(BM_KraengUpright);

void BM_KraengHeeled20(benchmark::State& state) { timeKraeng(state, 20.0); }
BENCHMARK(BM_KraengHeeled20);

}  // namespace
