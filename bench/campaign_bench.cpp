// Time of whole campaigns with keel and rudder, from the case code to the
// final prompt: a towing-tank matrix of 60 points over speed, heel and
// leeway, and the same matrix four times over plus ten (250 points).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "example_case.h"

namespace {

namespace fs = std::filesystem;
using namespace carinex;

// Five speeds x three heels x four leeways, appendages on; the rudder
// carries half the leeway as a helmsman would to keep the boat balanced.
std::vector<std::string> tankMatrix() {
    std::vector<std::string> rows;
    for (double heel : {0.0, 10.0, 20.0})
        for (double leeway : {0.0, 2.0, 4.0, 6.0})
            for (double v : {2.0, 2.5, 3.0, 3.5, 4.0}) {
                char row[96];
                std::snprintf(row, sizeof row, "%.1f 0 15 0.1 50 %.1f 1 %.1f %.1f 0", v, heel, leeway, 0.5 * leeway);
                rows.emplace_back(row);
            }
    return rows;
}

std::vector<std::string> repeated(const std::vector<std::string>& matrix, std::size_t count) {
    std::vector<std::string> rows;
    while (rows.size() < count) rows.push_back(matrix[rows.size() % matrix.size()]);
    return rows;
}

void campaign(benchmark::State& state, const std::string& name, std::size_t points) {
    const fs::path dir = bench::exampleWith(name, repeated(tankMatrix(), points));
    for (auto _ : state) benchmark::DoNotOptimize(bench::runExample(dir));
    fs::remove_all(dir);
}

void BM_Campaign60WithAppendages(benchmark::State& s) { campaign(s, "campaign60", 60); }
void BM_Campaign250WithAppendages(benchmark::State& s) { campaign(s, "campaign250", 250); }

BENCHMARK(BM_Campaign60WithAppendages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Campaign250WithAppendages)->Unit(benchmark::kMillisecond);

}  // namespace
