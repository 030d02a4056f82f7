// Whole runs of the example cruiser-racer with the potential flow, the dynamic waterline and the
// boundary layer: every test point of every table mode reaches its equilibrium without a fallback
// of the potential flow (reported under the diagnostics switch), with a transition on a laminar
// forebody, and ends with a form factor and a peak velocity of a slender yacht; the force balance
// hands the rudder the hull's boundary layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "flow/transom_rudder.h"
#include "solver/force_balance.h"
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

// The force balance hands the rudder the displacement thickness of the hull boundary layer at
// the rudder's station, or at the aft end of the dynamic waterline when that lies forward of it.
TEST(ExampleFlow, ForceBalancePassesTheDisplacementThicknessAtTheRudder) {
    ExampleDir dir;
    auto run = test::runIn(dir.path(), "CR3\n");
    ASSERT_EQ(run.status, 0) << run.console;
    CaseState& st = *run.state;
    ASSERT_TRUE(st.point.APPON) << "the last point of the example has keel and rudder";
    const int NSTM1 = st.raw.NST - 1;
    for (int ISTD1 : {1, st.upright.IRUD + 2}) {
        // what the flow models leave where they have no results of their own
        st.flow.ISTD1 = ISTD1;
        st.flow.ISTD2 = NSTM1;
        for (std::size_t K = 0; K < kStationSlots; ++K) {
            st.flow.THETA[K] = 0.001 * static_cast<double>(K + 1);
            st.flow.H12[K] = 1.4;
        }
        RunFiles io(std::cin, std::cout, dir.path());
        BILANZ(st, io, NSTM1);
        const double s = st.trial.RIMM, SH1 = st.upright.SH1, SH2 = st.upright.SH2;
        ASSERT_GT(s, SH1) << "the example's rudder reaches the hull";
        const double joined = s > SH2 ? 1.0 : 1.0 - (SH2 - s) / (SH2 - SH1);
        const auto K = static_cast<std::size_t>(std::max(st.upright.IRUD, st.flow.ISTD1));
        const double delta = st.flow.THETA[K] * st.flow.H12[K], withLayer = st.flow.RAEFF;
        RUDIMM(st, 0.5 * st.upright.BWL, 0.0, 0.0);
        EXPECT_NEAR(st.flow.RAEFF - withLayer, st.upright.CR0 * delta * joined, 1e-12) << ISTD1;
        EXPECT_GT(delta * joined, 0.0);
    }
}

}  // namespace
}  // namespace carinex
