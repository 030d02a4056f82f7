// Cost of one boundary-layer march (BLAYER), which the force balance runs for every trial state
// of the root search: a flat plate of 10 m with 21 station slots, laminar to natural transition
// or stimulated at the bow, at model and at full-scale Reynolds numbers.
#include <benchmark/benchmark.h>

#include <sstream>

#include "../tests/support/flat_plate.h"
#include "flow/boundary_layer.h"
#include "platform/run_files.h"

namespace {

using namespace carinex;

void marchFlatPlate(benchmark::State& state, double Re, bool stimulated) {
    test::FlatPlate plate;
    plate.Re = Re;
    auto st = test::flatPlateState(plate);
    if (stimulated) {
        st->input.HSTUD = 0.001;
        st->flow.XTRANS = 0.0;
        st->flow.TURBU = 0.5;
    }
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, ".");
    for (auto _ : state) {
        double RFRIC = 0.0, FFORM = 1.0;
        int IERR = 0;
        BLAYER(*st, io, RFRIC, st->point.VBOOT, FFORM, 0.0075 * plate.length, plate.slots - 1, st->flow.NSR, IERR);
        benchmark::DoNotOptimize(RFRIC);
        if (IERR != 0) state.SkipWithError("the march failed");
    }
}

void BM_BlayerNaturalTransitionRe1e7(benchmark::State& s) { marchFlatPlate(s, 1e7, false); }
void BM_BlayerStimulatedRe1e7(benchmark::State& s) { marchFlatPlate(s, 1e7, true); }
void BM_BlayerStimulatedRe1e9(benchmark::State& s) { marchFlatPlate(s, 1e9, true); }

BENCHMARK(BM_BlayerNaturalTransitionRe1e7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlayerStimulatedRe1e7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlayerStimulatedRe1e9)->Unit(benchmark::kMicrosecond);

}  // namespace
