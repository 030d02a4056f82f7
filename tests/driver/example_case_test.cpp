// Physics of the shipped cruiser example with keel and rudder (case CR3): the
// side force follows the leeway, keel and rudder add drag, and opposite
// leeways upright give mirrored side forces and equal drag. The numbers
// themselves are pinned by the whole-run references.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <vector>

#include "support/scratch_dir.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;

TEST(ExampleCase, AppendagesCarrySideForceThatFollowsTheLeeway) {
    test::ScratchDir dir;
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    auto out = test::runIn(dir.path(), "CR3\n\n");
    ASSERT_EQ(out.status, 0) << out.console;
    const CaseInput& in = out.state->input;
    // data rows: FN, Rvisc-cb, Rkeel, Rrudder, Rresidu, Rtotal, Rvisc-trip, Fside, pitch, leeway
    std::vector<std::vector<double>> rows;
    std::istringstream lines(dir.read("DRAG/DRAG_CR3.TXT"));
    for (std::string line; std::getline(lines, line);) {
        if (std::count(line.begin(), line.end(), ',') < 6 || line.find("FN") != std::string::npos) continue;
        std::istringstream fields(line);
        std::vector<double>& row = rows.emplace_back();
        for (std::string f; std::getline(fields, f, ',');)
            if (f.find_first_not_of(' ') != std::string::npos) row.push_back(std::stod(f));
    }
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(in.NTEST));
    for (int i = 1; i <= in.NTEST; ++i) {
        const auto& r = rows[i - 1u];
        const double leeway = in.TP(8, i), heel = in.TP(6, i);
        if (in.TP(7, i) != 1.0) {
            EXPECT_EQ(r[2], 0.0) << "bare hull, point " << i;
            continue;
        }
        EXPECT_GT(r[2], 0.0) << "keel drag, point " << i;
        EXPECT_GT(r[3], 0.0) << "rudder drag, point " << i;
        if (leeway != 0.0) {
            EXPECT_GT(r[7] * leeway, 0.0) << "side force follows the leeway, point " << i;
        } else if (heel == 0.0) {
            EXPECT_EQ(r[7], 0.0) << "straight ahead upright, point " << i;
        }
        // The running-trim regression is fitted on signed leeway, so the two floating positions of
        // opposite leeways differ slightly and the forces with them.
        if (i == in.NTEST || heel != 0.0 || leeway == 0.0 || in.TP(8, i + 1) != -leeway) continue;
        const auto& mirrored = rows[static_cast<std::size_t>(i)];
        for (int column : {2, 3}) EXPECT_NEAR(r[column], mirrored[column], 5e-4 * r[column]) << i;
        EXPECT_NEAR(r[7], -mirrored[7], 5e-4 * std::fabs(r[7])) << i;
    }
}

}  // namespace
}  // namespace carinex
