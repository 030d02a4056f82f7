// Whole runs of the example cruiser-racer with the potential flow, the dynamic waterline and the
// boundary layer: every test point of every table mode reaches its equilibrium without a fallback
// of the potential flow (reported under the diagnostics switch), with a transition on a laminar
// forebody, and ends with a form factor and a peak velocity of a slender yacht.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;

// A working directory holding the example's input folders.
struct ExampleDir : test::ScratchDir {
    ExampleDir() {
        const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
        for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
            fs::copy(source / folder, path() / folder, fs::copy_options::recursive);
    }
};

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The values of the console's "transition at ... mm behind FP" lines.
std::vector<double> reportedTransitions(const std::string& console) {
    std::vector<double> mm;
    std::istringstream lines(console);
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find("transition at ");
        if (at != std::string::npos) mm.push_back(std::stod(line.substr(at + 14)));
    }
    return mm;
}

TEST(ExampleFlow, EveryPointOfEveryModeConverges) {
    ExampleDir dir;
    for (const std::string code : {"CR1", "CR2", "CR3", "CM2", "CM3", "CM4"}) {
        const auto out = test::runIn(dir.path(), code + "\n\n", RunOptions{true});
        ASSERT_EQ(out.status, 0) << code << out.console;
        const CaseState& st = *out.state;
        const int points = st.input.NTEST;
        EXPECT_EQ(count(out.console, "NO convergence"), 0) << code;
        EXPECT_EQ(count(out.console, "keine L"), 0) << code << ": the potential flow falls back";
        if (st.input.MODE == 4) continue;  // the regression alone: no equilibrium
        EXPECT_EQ(count(out.console, "solved for FN") + count(out.console, "solution accepted"), points) << code;
        // one transition per point, behind the bow on a laminar forebody; the last one is the
        // march's of the state the run ends in
        const std::vector<double> mm = reportedTransitions(out.console);
        ASSERT_EQ(mm.size(), static_cast<std::size_t>(points)) << code;
        for (double v : mm) EXPECT_TRUE(v > 0.0 && v < 500.0 * st.upright.LWL) << code << ": " << v;
        EXPECT_EQ(mm.back(), std::round(1000.0 * (st.hull.XFKEEL - st.flow.XTR))) << code;
        EXPECT_TRUE(st.flow.XADYN < st.flow.XTR && st.flow.XTR < st.flow.XFDYN) << code;
        EXPECT_GT(st.flow.RFRIC, 0.0) << code;
        EXPECT_TRUE(st.flow.FFORM > 1.0 && st.flow.FFORM < 1.2) << code << ": " << st.flow.FFORM;
        EXPECT_TRUE(st.flow.UMAX > 1.0 && st.flow.UMAX < 1.2) << code << ": " << st.flow.UMAX;
    }
}

}  // namespace
}  // namespace carinex
