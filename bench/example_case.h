// The example cruiser-racer as a benchmark subject: its case with the test
// points replaced, in a scratch folder of its own, and a whole run of it.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/run_driver.h"
#include "platform/files.h"

namespace carinex::bench {

// The example case CR3 with its test points replaced by `rows`.
inline std::filesystem::path exampleWith(const std::string& name, const std::vector<std::string>& rows) {
    namespace fs = std::filesystem;
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    const fs::path dir = fs::temp_directory_path() / ("carinex_bench_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir / "INPUT");
    for (const char* folder : {"OFFSETS", "APPEND"}) fs::copy(source / folder, dir / folder, fs::copy_options::recursive);
    std::ifstream in(source / "INPUT" / "CX_CR3_IN.TXT");
    std::ostringstream all;
    all << in.rdbuf();
    auto lines = splitLines(all.str());
    lines.resize(60);                          // up to the header of the test-point table
    lines[53] = std::to_string(rows.size());  // NTEST
    std::ofstream out(dir / "INPUT" / "CX_CR3_IN.TXT");
    for (const auto& l : lines) out << l << '\n';
    for (const auto& r : rows) out << r << '\n';
    return dir;
}

// A whole run of case CR3 in `dir`; the state is left at the last point's equilibrium.
inline std::unique_ptr<CaseState> runExample(const std::filesystem::path& dir) {
    auto st = makeCaseState();
    std::istringstream keyboard("CR3\n");
    std::ostringstream console;
    RunFiles io(keyboard, console, dir);
    if (runCase(*st, io, RunOptions{false}) != 0) throw std::runtime_error(console.str());
    return st;
}

}  // namespace carinex::bench
