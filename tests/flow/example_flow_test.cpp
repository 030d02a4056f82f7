// The force balance of the example cruiser-racer hands the rudder the hull's boundary layer, also
// where the dynamic waterline ends forward of the rudder, which the whole runs never reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

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
