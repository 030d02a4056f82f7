// Cost of the flow-trim and residuary-resistance regressions, which every evaluation of the
// force balance calls once each: parameters formed, four stations evaluated, a four-point
// natural spline. The trial state is the last one of the example cruiser-racer (case CR3).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "appendages/residuary_regression.h"
#include "appendages/trim_regression.h"
#include "driver/case_state.h"
#include "driver/run_driver.h"
#include "platform/run_files.h"

namespace {

namespace fs = std::filesystem;
using namespace carinex;

std::unique_ptr<CaseState> exampleState() {
    auto st = makeCaseState();
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("carinex_bench_" + std::to_string(rd()));
    fs::create_directories(dir);
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        fs::copy(fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser" / folder, dir / folder,
                 fs::copy_options::recursive);
    {
        std::istringstream typed("CR3\n\n");
        std::ostringstream shown;
        RunFiles run(typed, shown, dir);
        runCase(*st, run);
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return st;
}

// One call of each model at a Froude number in 0.15 .. 0.85, the range's interval changing per call.
void BM_TrimAndResiduaryRegressions(benchmark::State& state) {
    auto st = exampleState();
    double FN = 0.15;
    for (auto _ : state) {
        FN = (FN > 0.85) ? 0.15 : FN + 0.0137;
        st->balance.FN = FN;
        double TFLOW = 0.0, RR = 0.0;
        TRIMRG(*st, TFLOW);
        RESIRG(*st, FN, TFLOW, RR);
        benchmark::DoNotOptimize(RR);
    }
}
BENCHMARK(BM_TrimAndResiduaryRegressions);

}  // namespace
