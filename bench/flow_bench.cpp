// Time of the potential flow of one trial state (WPOTI, which includes the dynamic waterline)
// of the example cruiser-racer, upright and at 20 degrees heel, at the equilibrium of a
// bare-hull test point (the whole force balance there is timed by tank_bench).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "example_case.h"
#include "flow/potential_flow.h"
#include "platform/files.h"
#include "solver/force_balance.h"

namespace {

namespace fs = std::filesystem;
using namespace carinex;

// The example case solved for the single test point `row`, in a folder of its own.
std::unique_ptr<CaseState> solvedExample(const std::string& name, const std::string& row, fs::path& dir) {
    dir = bench::exampleWith("flow_" + name, {row});
    return bench::runExample(dir);
}

const char* kUpright = "3.0 0 15 0.1 50 0 0 0 0 0";
const char* kHeeled = "3.5 0 15 0.1 50 20 0 0 0 0";

void potentialFlow(benchmark::State& state, const char* name, const char* row) {
    fs::path dir;
    auto st = solvedExample(name, row, dir);
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, dir);
    const int NSLOT = st->raw.NST - 1;
    BILANZ(*st, io, NSLOT);  // the hydrostatics of the equilibrium
    const double XTRIAL = 0.0075 * st->upright.LWL;
    const int NST = st->trial.ISTA2 - st->trial.ISTA1 + 1;
    for (auto _ : state) {
        double PSQ = 0.0;
        int IERR = 0;
        WPOTI(*st, io, st->point.VNU, st->flow.DTRANS, XTRIAL, PSQ, NST, NSLOT, IERR);
        benchmark::DoNotOptimize(PSQ);
    }
    fs::remove_all(dir);
}

void BM_PotentialFlowUpright(benchmark::State& s) { potentialFlow(s, "wpoti_upright", kUpright); }
void BM_PotentialFlowHeeled20(benchmark::State& s) { potentialFlow(s, "wpoti_heeled", kHeeled); }

BENCHMARK(BM_PotentialFlowUpright)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PotentialFlowHeeled20)->Unit(benchmark::kMicrosecond);

}  // namespace
