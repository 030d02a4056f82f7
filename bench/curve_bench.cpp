// Cost of the curve toolbox's inner loops: evaluating a 50-point rational spline along a sweep
// (the pattern of every integration and root search) and fitting one.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "geometry/rational_spline.h"

namespace {

constexpr int kPoints = 50;

// A sectional-area-like curve: a skewed hump with a flat run at one end, so that some
// intervals need raised parameters.
struct CurveData {
    std::vector<double> x, y, coef, p;
};

CurveData curve_data() {
    CurveData d;
    for (int i = 0; i < kPoints; ++i) {
        const double x = 10.0 * i / (kPoints - 1);
        d.x.push_back(x);
        d.y.push_back(x < 1.5 ? 0.0 : std::pow(std::sin(0.3 * (x - 1.5)), 2) * (1.0 + 0.05 * x));
    }
    d.coef.assign(4 * (kPoints - 1), 0.0);
    d.p.assign(kPoints - 1, 0.0);
    return d;
}

void BM_RatvalSweep(benchmark::State& state) {
    CurveData d = curve_data();
    int ierr = 0;
    carinex::RATSPL(kPoints, d.x, d.y, d.coef, d.p, ierr);
    if (ierr != 0) state.SkipWithError("fit failed");
    constexpr int kSamples = 1000;
    for (auto _ : state) {
        int hint = kPoints / 2;
        double sum = 0.0;
        for (int k = 0; k < kSamples; ++k) {
            double s = 0.0, ds = 0.0, rad = 0.0;
            carinex::RATVAL(kPoints, d.x, d.coef, d.p, 10.0 * k / kSamples, s, ds, rad, hint);
            sum += s;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_RatvalSweep);

void BM_Ratspl50(benchmark::State& state) {
    CurveData d = curve_data();
    for (auto _ : state) {
        int ierr = 0;
        carinex::RATSPL(kPoints, d.x, d.y, d.coef, d.p, ierr);
        benchmark::DoNotOptimize(d.coef.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Ratspl50);

}  // namespace
