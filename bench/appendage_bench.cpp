// Time of test points with keel and rudder on the example cruiser-racer: a
// campaign of one point upright and at 20 degrees heel (subtract the
// preparation of tank_bench's BM_CampaignWithoutTestPoints), a campaign of
// 250 such points, one force balance with appendages, the appendage forces
// alone and the keel's lifting line alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "appendages/appendage_forces.h"
#include "appendages/keel_lifting_line.h"
#include "example_case.h"
#include "platform/files.h"
#include "solver/force_balance.h"

namespace {

namespace fs = std::filesystem;
using namespace carinex;

const char* kUpright = "3.0 0 15 0.1 50 0 1 3 0 0";
const char* kHeeled = "3.5 0 15 0.1 50 20 1 3 2 0";

// 250 points with appendages: speeds 2 to 4 m/s, heel 0 to 25 degrees,
// leeway 0 to 5 degrees, rudder 0 to 4 degrees.
std::vector<std::string> campaignRows() {
    std::vector<std::string> rows;
    for (int i = 0; i < 250; ++i) {
        char row[96];
        std::snprintf(row, sizeof row, "%.2f 0 15 0.1 50 %d 1 %d %d 0", 2.0 + 0.4 * (i % 6), 5 * (i % 6), i % 6,
                      i % 5);
        rows.emplace_back(row);
    }
    return rows;
}

void campaign(benchmark::State& state, const std::string& name, const std::vector<std::string>& rows) {
    const fs::path dir = bench::exampleWith(name, rows);
    for (auto _ : state) benchmark::DoNotOptimize(bench::runExample(dir));
    fs::remove_all(dir);
}

void BM_AppendagePointUpright(benchmark::State& s) { campaign(s, "upright", {kUpright}); }
void BM_AppendagePointHeeled20(benchmark::State& s) { campaign(s, "heeled", {kHeeled}); }
void BM_AppendageCampaign250(benchmark::State& s) { campaign(s, "campaign", campaignRows()); }

// One evaluation at the solved state of the point.
template <class F>
void atSolvedState(benchmark::State& state, const std::string& name, const char* row, F evaluate) {
    const fs::path dir = bench::exampleWith(name, {row});
    auto st = bench::runExample(dir);
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, dir);
    for (auto _ : state) {
        evaluate(*st, io);
        benchmark::DoNotOptimize(st->app.FYK);
    }
    fs::remove_all(dir);
}

void balance(CaseState& st, RunFiles& io) { BILANZ(st, io, st.raw.NST - 1); }
void forces(CaseState& st, RunFiles& io) {
    double TLIFT = st.balance.TLIFT;
    APPFRC(st, io, 1.0, 0.0, 0.0, TLIFT, 0.0);
}
void liftingLine(CaseState& st, RunFiles& io) {
    int IERR = 0;
    double CS = 0.0;
    KLLINE(st, io.console, st.run.PI, st.point.PHI, IERR, st.upright.KSWPE, CS);
}

void BM_BalanceWithAppendagesUpright(benchmark::State& s) { atSolvedState(s, "bal_up", kUpright, balance); }
void BM_BalanceWithAppendagesHeeled20(benchmark::State& s) { atSolvedState(s, "bal_heel", kHeeled, balance); }
void BM_AppendageForcesHeeled20(benchmark::State& s) { atSolvedState(s, "appfrc", kHeeled, forces); }
void BM_KeelLiftingLineHeeled20(benchmark::State& s) { atSolvedState(s, "klline", kHeeled, liftingLine); }

BENCHMARK(BM_AppendagePointUpright)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendagePointHeeled20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendageCampaign250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BalanceWithAppendagesUpright)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BalanceWithAppendagesHeeled20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendageForcesHeeled20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeelLiftingLineHeeled20)->Unit(benchmark::kMicrosecond);

}  // namespace
