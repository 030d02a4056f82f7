// Cost of one boundary-layer march (BLAYER), which the force balance runs for every trial state
// of the root search: a flat plate of 10 m with 21 station slots, laminar to natural transition
// or stimulated at the bow, at model and at full-scale Reynolds numbers.
#include <benchmark/benchmark.h>

#include "support/flat_plate.h"

namespace {

using namespace carinex;

void marchFlatPlate(benchmark::State& state, double Re, bool stimulated) {
    test::FlatPlate plate(Re);
    if (stimulated) {
        plate.trippedAtTheBow();
        plate.st->flow.TURBU = 0.5;
    }
    for (auto _ : state) {
        const test::MarchResult r = plate.march();
        benchmark::DoNotOptimize(r.RFRIC);
        if (r.IERR != 0) state.SkipWithError("the march failed");
    }
}

void BM_BlayerNaturalTransitionRe1e7(benchmark::State& s) { marchFlatPlate(s, 1e7, false); }
void BM_BlayerStimulatedRe1e7(benchmark::State& s) { marchFlatPlate(s, 1e7, true); }
void BM_BlayerStimulatedRe1e9(benchmark::State& s) { marchFlatPlate(s, 1e9, true); }

BENCHMARK(BM_BlayerNaturalTransitionRe1e7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlayerStimulatedRe1e7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlayerStimulatedRe1e9)->Unit(benchmark::kMicrosecond);

}  // namespace
