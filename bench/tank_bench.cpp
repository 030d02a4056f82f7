// Time of the campaign of the example cruiser-racer: the preparation alone
// (no test points), one bare-hull test point upright and at 20 degrees heel
// (subtract the preparation), and one evaluation of the force balance.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "example_case.h"
#include "platform/files.h"
#include "solver/force_balance.h"

namespace {

namespace fs = std::filesystem;
using namespace carinex;
using carinex::bench::exampleWith;
using carinex::bench::runExample;

void campaign(benchmark::State& state, const std::string& name, const std::vector<std::string>& rows) {
    const fs::path dir = exampleWith(name, rows);
    for (auto _ : state) benchmark::DoNotOptimize(runExample(dir));
    fs::remove_all(dir);
}

const char* kUpright = "3.0 0 15 0.1 50 0 0 0 0 0";
const char* kHeeled = "3.5 0 15 0.1 50 20 0 0 0 0";

void BM_CampaignWithoutTestPoints(benchmark::State& s) { campaign(s, "none", {}); }
void BM_CampaignUprightPoint(benchmark::State& s) { campaign(s, "upright", {kUpright}); }
void BM_CampaignHeeledPoint(benchmark::State& s) { campaign(s, "heeled", {kHeeled}); }

void balance(benchmark::State& state, const std::string& name, const char* row) {
    const fs::path dir = exampleWith(name, {row});
    auto st = runExample(dir);
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, dir);
    for (auto _ : state) {
        BILANZ(*st, io, st->raw.NST - 1);
        benchmark::DoNotOptimize(st->balance.PMOM);
    }
    fs::remove_all(dir);
}

void BM_BalanceUpright(benchmark::State& s) { balance(s, "balance_upright", kUpright); }
void BM_BalanceHeeled20(benchmark::State& s) { balance(s, "balance_heeled", kHeeled); }

BENCHMARK(BM_CampaignWithoutTestPoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CampaignUprightPoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CampaignHeeledPoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BalanceUpright)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BalanceHeeled20)->Unit(benchmark::kMicrosecond);

}  // namespace
