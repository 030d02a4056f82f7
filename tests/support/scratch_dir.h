// A fresh working directory per test, removed afterwards, and small helpers
// to write input files into it and run whole cases there.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "driver/case_state.h"
#include "driver/run_driver.h"
#include "platform/run_files.h"

namespace carinex::test {

class ScratchDir {
public:
    ScratchDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("carinex_test_" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes text to a relative path (forward slashes), creating folders.
    void write(const std::string& relative, const std::string& text) const {
        auto p = path_ / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
    std::string read(const std::string& relative) const { return readFile(path_ / relative); }
    // The input folders of one of the shipped examples, ready to run.
    void copyExample(const std::string& example) const {
        const auto from = std::filesystem::path(CARINEX_SOURCE_DIR) / "examples" / example;
        for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
            std::filesystem::copy(from / folder, path_ / folder, std::filesystem::copy_options::recursive);
    }
    static std::string readFile(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path path_;
};

// The outcome of one whole run in a working directory.
struct RunOutcome {
    int status = -1;
    std::string console;
    std::unique_ptr<CaseState> state;
};

inline RunOutcome runIn(const std::filesystem::path& dir, const std::string& keyboardText, RunOptions options = {}) {
    RunOutcome out;
    out.state = makeCaseState();
    std::istringstream keyboard(keyboardText);
    std::ostringstream console;
    {
        RunFiles io(keyboard, console, dir);
        out.status = runCase(*out.state, io, options);
    }
    out.console = console.str();
    return out;
}

}  // namespace carinex::test
