// Cost of one boundary-layer march (BLAYER) and of one force-balance evaluation (BILANZ) with
// the flow models, at the equilibrium of a test point of the example cruiser-racer (case CR3):
// the bare hull upright at 3 m/s (the case cut to its first two points) and the yacht with keel
// and rudder at 20 deg heel and 3 deg leeway (its last point).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "driver/case_state.h"
#include "driver/run_driver.h"
#include "flow/boundary_layer.h"
#include "platform/run_files.h"
#include "solver/force_balance.h"

namespace {

namespace fs = std::filesystem;
using namespace carinex;

struct Example {
    std::unique_ptr<CaseState> st = makeCaseState();
    std::istringstream keyboard;
    std::ostringstream console;
    std::unique_ptr<RunFiles> io;
};

// Runs case CR3, with only its first `points` test points when given, in a scratch folder; the
// state is left at the equilibrium of the last point run.
std::unique_ptr<Example> runExample(int points) {
    auto ex = std::make_unique<Example>();
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("carinex_blayer_bench_" + std::to_string(rd()));
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    fs::create_directories(dir);
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"}) {
        fs::copy(source / folder, dir / folder, fs::copy_options::recursive);
    }
    if (points > 0) {
        const fs::path input = dir / "INPUT" / "CX_CR3_IN.TXT";
        std::ifstream in(input);
        std::ostringstream text;
        std::string line;
        bool count = false;
        while (std::getline(in, line)) {
            text << (count ? std::to_string(points) : line) << '\n';
            count = line.rfind("NTEST", 0) == 0;
        }
        in.close();
        std::ofstream(input) << text.str();
    }
    {
        std::istringstream typed("CR3\n\n");
        std::ostringstream shown;
        RunFiles run(typed, shown, dir);
        runCase(*ex->st, run);
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    ex->io = std::make_unique<RunFiles>(ex->keyboard, ex->console, dir);
    return ex;
}

Example& example(bool heeled) {
    static const std::unique_ptr<Example> upright = runExample(2);
    static const std::unique_ptr<Example> atHeel = runExample(0);
    return heeled ? *atHeel : *upright;
}

void timeBlayer(benchmark::State& state, bool heeled) {
    Example& ex = example(heeled);
    CaseState& st = *ex.st;
    const int NSLOT = st.raw.NST - 1;
    const int nodes = st.trial.ISTA2 - st.trial.ISTA1 + 1;
    const double XTRIAL = 0.0075 * st.upright.LWL;
    const double FFORM0 = st.flow.FFORM;
    for (auto _ : state) {
        double RFRIC = 0.0, FFORM = FFORM0;
        int IERR = 0;
        BLAYER(st, *ex.io, RFRIC, st.point.VBOOT, FFORM, XTRIAL, NSLOT, nodes, IERR);
        if (IERR != 0) {
            state.SkipWithError("the march failed (is the potential flow in?)");
            return;
        }
        benchmark::DoNotOptimize(RFRIC);
    }
    state.counters["RFRIC"] = st.flow.RFRIC;
    state.counters["XTR_behind_FP"] = st.hull.XFKEEL - st.flow.XTR;
}

void timeBilanz(benchmark::State& state, bool heeled) {
    Example& ex = example(heeled);
    CaseState& st = *ex.st;
    const int NSLOT = st.raw.NST - 1;
    for (auto _ : state) {
        BILANZ(st, *ex.io, NSLOT);
        benchmark::DoNotOptimize(st.balance.PMOM);
    }
    state.counters["RTOT"] = st.balance.RTOT;
}

void BM_BlayerExampleUpright(benchmark::State& s) { timeBlayer(s, false); }
void BM_BlayerExampleHeeled20(benchmark::State& s) { timeBlayer(s, true); }
void BM_BilanzExampleUpright(benchmark::State& s) { timeBilanz(s, false); }
void BM_BilanzExampleHeeled20(benchmark::State& s) { timeBilanz(s, true); }

BENCHMARK(BM_BlayerExampleUpright)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlayerExampleHeeled20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BilanzExampleUpright)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BilanzExampleHeeled20)->Unit(benchmark::kMicrosecond);

}  // namespace
