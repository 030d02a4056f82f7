// Cost of the section data on the force-balance path: one keel evaluation
// takes eight strips, each with a lift factor and a section drag.
#include <benchmark/benchmark.h>

#include "appendages/section_data.h"

namespace {

void BM_KeelStripsFullScale(benchmark::State& state) {
    double re = 2.0e6, sum = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < 8; ++i) {
            const double RE = re * (1.0 - 0.08 * i);
            const double F = carinex::SLIF63(0.95, RE, 0.0, 30000.0, 0.06, true);
            double CD = 0.0;
            carinex::SDRG63(RE, 0.0, 30000.0, 0.3 * F * F, CD, 0.13, 3.4, true);
            sum += F + CD;
        }
        re = re < 4e6 ? re * 1.0001 : 2.0e6;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_KeelStripsFullScale);

// Tank model, 64-series off its reference thickness and beyond the angle
// limit: the Reynolds shift and the extrapolation's two extra evaluations.
void BM_KeelStripsTankExtrapolated(benchmark::State& state) {
    double re = 4.0e5, sum = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < 8; ++i) {
            const double RE = re * (1.0 - 0.08 * i);
            double CD = 0.0;
            carinex::SDRG64(RE, 1e5, 30000.0, 0.9, CD, 0.11, 14.0, false);
            sum += carinex::SLIF64(0.93, RE, 1e5, 30000.0, 0.2, false) + CD;
        }
        re = re < 8e5 ? re * 1.0001 : 4.0e5;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_KeelStripsTankExtrapolated);

}  // namespace
