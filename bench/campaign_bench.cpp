// Time of whole campaigns from the case code to the final prompt: the tank-model example's
// 60 runs over speed, heel and leeway (keel and rudder on all but its 7 bare-hull runs), and
// a 250-point campaign of the same matrix repeated.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/run_driver.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;
using namespace carinex;

constexpr std::size_t kHeaderLines = 60;  // case input up to the header of the test-point table
constexpr std::size_t kNtestLine = 53;

// A scratch copy of the tank-model case TM1 whose test points are its own matrix repeated
// up to `points` rows.
fs::path tankCampaign(const std::string& name, std::size_t points) {
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "tankmodel";
    const fs::path dir = fs::temp_directory_path() / ("carinex_bench_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir / "INPUT");
    for (const char* folder : {"OFFSETS", "APPEND"}) fs::copy(source / folder, dir / folder, fs::copy_options::recursive);
    std::ifstream in(source / "INPUT" / "CX_TM1_IN.TXT");
    std::ostringstream all;
    all << in.rdbuf();
    const auto lines = splitLines(all.str());
    std::vector<std::string> matrix;
    for (std::size_t i = kHeaderLines; i < lines.size(); ++i)
        if (!lines[i].empty()) matrix.push_back(lines[i]);
    std::ofstream out(dir / "INPUT" / "CX_TM1_IN.TXT");
    for (std::size_t i = 0; i < kHeaderLines; ++i) out << (i == kNtestLine ? std::to_string(points) : lines[i]) << '\n';
    for (std::size_t k = 0; k < points; ++k) out << matrix[k % matrix.size()] << '\n';
    return dir;
}

void campaign(benchmark::State& state, const std::string& name, std::size_t points) {
    const fs::path dir = tankCampaign(name, points);
    for (auto _ : state) {
        auto st = makeCaseState();
        std::istringstream keyboard("TM1\n");
        std::ostringstream console;
        RunFiles io(keyboard, console, dir);
        if (runCase(*st, io, RunOptions{false}) != 0) throw std::runtime_error(console.str());
        benchmark::DoNotOptimize(st->balance.RTOT);
    }
    fs::remove_all(dir);
}

void BM_TankCampaign60(benchmark::State& s) { campaign(s, "tank60", 60); }
void BM_TankCampaign250(benchmark::State& s) { campaign(s, "tank250", 250); }

BENCHMARK(BM_TankCampaign60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TankCampaign250)->Unit(benchmark::kMillisecond);

}  // namespace
