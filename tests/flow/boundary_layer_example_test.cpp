// The boundary layer in whole runs of the example cruiser-racer: the transition point that the
// console reports per test point is the one the march found, inside the wetted length.
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

TEST(ExampleBoundaryLayer, ReportedTransitionIsWhereTheMarchPutIt) {
    test::ScratchDir dir;
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    const auto out = test::runIn(dir.path(), "CR3\n\n");
    ASSERT_EQ(out.status, 0) << out.console;
    const CaseState& st = *out.state;
    const std::vector<double> mm = reportedTransitions(out.console);
    ASSERT_EQ(mm.size(), static_cast<std::size_t>(st.input.NTEST));
    const double LWLmm = 1000.0 * st.upright.LWL;
    for (double v : mm) {
        EXPECT_GT(v, 0.0) << "behind the bow";
        EXPECT_LT(v, 0.5 * LWLmm) << "a laminar forebody, not the whole hull";
    }
    // the last line belongs to the state the run ends in
    EXPECT_EQ(mm.back(), std::round(1000.0 * (st.hull.XFKEEL - st.flow.XTR)));
    EXPECT_GT(st.flow.XTR, st.flow.XADYN);
    EXPECT_LT(st.flow.XTR, st.flow.XFDYN);
    EXPECT_GT(st.flow.RFRIC, 0.0);
    EXPECT_GE(st.flow.FFORM, 1.0);
}

}  // namespace
}  // namespace carinex
