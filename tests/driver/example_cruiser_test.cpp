// Whole runs of the example cruiser-racer, in process and with the diagnostics trace: the physics
// the exact reference comparison cannot vouch for, the references being the program's own output.
// With the potential flow and the dynamic waterline every test point of every table mode reaches
// its equilibrium, with a form factor and a peak velocity of a slender yacht; the transition the
// console reports is the one the boundary-layer march found, on the laminar forebody; and one
// mistyped half-breadth at the dry transom stops the run at its line before any test point.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/case_files.h"

namespace carinex {
namespace {

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(ExampleCruiser, EveryPointConvergesWhereTheFlowAndTheMarchPutIt) {
    test::ScratchDir dir;
    dir.copyExample("cruiser");
    for (const std::string code : {"CR1", "CR2", "CR3", "CM2", "CM3", "CM4"}) {
        const auto out = test::runIn(dir.path(), code + "\n\n", RunOptions{true});
        ASSERT_EQ(out.status, 0) << code << out.console;
        const CaseState& st = *out.state;
        const int points = st.input.NTEST;
        EXPECT_EQ(count(out.console, "NO convergence"), 0) << code;
        EXPECT_EQ(count(out.console, "keine L"), 0) << code << ": the potential flow falls back";
        if (st.input.MODE == 4) continue;  // the regression alone: no equilibrium
        EXPECT_EQ(count(out.console, "solved for FN") + count(out.console, "solution accepted"), points) << code;
        // the trace: one line per point, form factor and peak velocity of a slender hull
        std::istringstream trace(dir.read("CONTROL" + code + ".TXT"));
        int traced = 0, i = 0;
        double FFORM = 0.0, UMAX = 0.0;
        for (std::string word, ff, um; trace >> word;) {
            if (word != "Testpunkt" || !(trace >> i >> ff >> FFORM >> um >> UMAX)) continue;
            EXPECT_EQ(i, ++traced) << code;
            for (const auto& [name, v] : {std::pair{ff, FFORM}, {um, UMAX}}) {
                EXPECT_GT(v, 1.0) << code << " point " << i << " " << name;
                EXPECT_LT(v, 1.2) << code << " point " << i << " " << name;
            }
        }
        EXPECT_EQ(traced, points) << code;
        // the console's "transition at ... mm behind FP" per point, behind the bow on a laminar forebody
        std::vector<double> mm;
        for (auto at = out.console.find("transition at "); at != std::string::npos;
             at = out.console.find("transition at ", at + 1))
            mm.push_back(std::stod(out.console.substr(at + 14)));
        ASSERT_EQ(mm.size(), static_cast<std::size_t>(points)) << code;
        for (double v : mm) {
            EXPECT_GT(v, 0.0) << code << ": behind the bow";
            EXPECT_LT(v, 500.0 * st.upright.LWL) << code << ": a laminar forebody, not the whole hull";
        }
        // the last line belongs to the state the run ends in
        EXPECT_EQ(mm.back(), std::round(1000.0 * (st.hull.XFKEEL - st.flow.XTR))) << code;
        EXPECT_GT(st.flow.XTR, st.flow.XADYN) << code;
        EXPECT_LT(st.flow.XTR, st.flow.XFDYN) << code;
        EXPECT_GT(st.flow.RFRIC, 0.0) << code;
        EXPECT_GE(st.flow.FFORM, 1.0) << code;
    }
    // once kept the run busy for minutes: point 13 of station 1 in the point list (x y z)
    std::string offsets = dir.read("OFFSETS/OFFS_CR1.TXT");
    const auto at = offsets.find("\n0.0000 0.8465 0.2909\n");
    ASSERT_NE(at, std::string::npos);
    dir.write("OFFSETS/OFFS_CR1.TXT", offsets.replace(at + 8, 6, "999999999999"));
    const auto out = test::runIn(dir.path(), "CR1\n\n");
    EXPECT_NE(out.status, 0);
    EXPECT_TRUE(test::has(out.console, "\n OFFSETS/OFFS_CR1.TXT, line 13: half-breadth 1e+12 of point 13 of "
                                       "station 1 is far outside the hull"))
        << out.console;
    EXPECT_FALSE(test::has(out.console, "FN =")) << "no test point is run";
}

}  // namespace
}  // namespace carinex
