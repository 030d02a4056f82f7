// The example cruiser-racer with the potential flow and the dynamic waterline: every test point
// of every table mode still reaches its equilibrium, with a form factor and a peak velocity of
// a slender yacht, traced per point under the diagnostics switch.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/scratch_dir.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(ExampleFlow, EveryPointOfEveryModeConverges) {
    test::ScratchDir dir;
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    for (const std::string code : {"CR1", "CR2", "CR3", "CM2", "CM3", "CM4"}) {
        const auto out = test::runIn(dir.path(), code + "\n\n", RunOptions{true});
        ASSERT_EQ(out.status, 0) << code << out.console;
        const int points = out.state->input.NTEST;
        EXPECT_EQ(count(out.console, "NO convergence"), 0) << code;
        EXPECT_EQ(count(out.console, "keine L"), 0) << code << ": the potential flow falls back";
        if (out.state->input.MODE == 4) continue;  // the regression alone: no equilibrium
        EXPECT_EQ(count(out.console, "solved for FN") + count(out.console, "solution accepted"), points) << code;
        // the trace: one line per point, form factor and peak velocity of a slender hull
        std::istringstream trace(dir.read("CONTROL" + code + ".TXT"));
        int traced = 0;
        for (std::string line; std::getline(trace, line);) {
            std::istringstream items(line);
            std::string tag, ff, um;
            int i = 0;
            double FFORM = 0.0, UMAX = 0.0;
            if (!(items >> tag) || tag != "Testpunkt") continue;
            items >> i >> ff >> FFORM >> um >> UMAX;
            EXPECT_EQ(i, ++traced) << code;
            EXPECT_GT(FFORM, 1.0) << code << " point " << i;
            EXPECT_LT(FFORM, 1.2) << code << " point " << i;
            EXPECT_GT(UMAX, 1.0) << code << " point " << i;
            EXPECT_LT(UMAX, 1.2) << code << " point " << i;
        }
        EXPECT_EQ(traced, points) << code;
    }
}

}  // namespace
}  // namespace carinex
