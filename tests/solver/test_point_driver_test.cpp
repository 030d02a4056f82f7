// Whole campaigns on the example cruiser-racer in every table mode, and the
// pieces of the test-point driver with known answers.
#include "solver/test_point_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/files.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;

// The example case with its MODE (record 56) replaced.
void writeExampleWithMode(const test::ScratchDir& dir, int mode) {
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    auto lines = splitLines(test::ScratchDir::readFile(source / "INPUT" / "CX_CR3_IN.TXT"));
    lines.at(55) = std::to_string(mode);
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    dir.write("INPUT/CX_CR3_IN.TXT", text);
}

std::vector<std::string> tableRows(const std::string& table) {
    std::vector<std::string> rows;
    for (const auto& line : splitLines(table))
        if (std::count(line.begin(), line.end(), ',') >= 6 && line.find("FN") == std::string::npos) rows.push_back(line);
    return rows;
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(TestPointDriver, ExampleConvergesInEveryResistanceMode) {
    for (int mode : {1, 2, 3}) {
        test::ScratchDir dir;
        writeExampleWithMode(dir, mode);
        auto out = test::runIn(dir.path(), "CR3\n");
        ASSERT_EQ(out.status, 0) << out.console;
        const int NTEST = out.state->input.NTEST;
        // a point whose search stalls within the driver's residual tolerance is accepted: converged too
        EXPECT_EQ(count(out.console, "solved for FN =") + count(out.console, "solution accepted for FN ="), NTEST)
            << out.console;
        EXPECT_EQ(count(out.console, "NO convergence"), 0);
        const auto rows = tableRows(dir.read("DRAG/DRAG_CR3.TXT"));
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(NTEST)) << dir.read("DRAG/DRAG_CR3.TXT");
        for (const auto& row : rows) EXPECT_EQ(row.size(), mode == 1 ? 150u : 120u) << row;
        // the last point (heeled, with leeway) is in balance
        const auto F = equilibriumResidualsOf(*out.state);
        EXPECT_LT(std::fabs(F[0]), 1e-7);
        EXPECT_LT(std::fabs(F[1]), 1e-7);
    }
}

TEST(TestPointDriver, RegressionModeSolvesNoEquilibrium) {
    test::ScratchDir dir;
    writeExampleWithMode(dir, 4);
    auto out = test::runIn(dir.path(), "CR3\n");
    ASSERT_EQ(out.status, 0) << out.console;
    EXPECT_EQ(count(out.console, "FN ="), 0) << "no root search, no convergence messages";
    const std::string table = dir.read("DRAG/DRAG_CR3.TXT");
    EXPECT_NE(table.find(" Resistanceforce in Newton - calculated with Delft-regression method after Keuning 2008\n"),
              std::string::npos);
    const auto rows = tableRows(table);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(out.state->input.NTEST)) << table;
    for (const auto& row : rows) EXPECT_EQ(row.size(), 90u) << row;
    EXPECT_EQ(out.state->point.SINKG, 0.0) << "the hull stays where the rest call left it";
}

TEST(TestPointDriver, WaterProperties) {
    double rho = 0, visc = 0;
    ASSERT_TRUE(waterProperties(1, 15.0, rho, visc));
    // the correlations against tabulated water properties at 15 C (ITTC):
    // fresh water 999.10 kg/m3 and 1.1386e-6 m2/s, sea water 1025.9 and 1.1883e-6
    EXPECT_NEAR(rho, 999.10, 0.1);
    EXPECT_NEAR(visc, 1.1386e-6, 0.005e-6);
    ASSERT_TRUE(waterProperties(2, 15.0, rho, visc));
    EXPECT_NEAR(rho, 1025.9, 0.1);
    EXPECT_NEAR(visc, 1.1883e-6, 0.005e-6);
    EXPECT_FALSE(waterProperties(3, 15.0, rho, visc));
}

TEST(TestPointDriver, UnknownWaterStopsTheRun) {
    test::ScratchDir dir;
    writeExampleWithMode(dir, 1);
    auto lines = splitLines(dir.read("INPUT/CX_CR3_IN.TXT"));
    lines.at(21) = "3";  // IWATER
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    dir.write("INPUT/CX_CR3_IN.TXT", text);
    auto out = test::runIn(dir.path(), "CR3\n");
    EXPECT_EQ(out.status, 1);
    EXPECT_NE(out.console.find(" specify freshwater or seawater\n fatal error occured"), std::string::npos);
}

}  // namespace
}  // namespace carinex
