// The example case shipped in examples/cruiser: the same hull in the three
// offsets layouts.
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

// Copies the example's input folders into a scratch working directory.
void copyExample(const test::ScratchDir& dir) {
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
}

TEST(ExampleCase, EveryLayoutRunsToTheSuccessExit) {
    test::ScratchDir dir;
    copyExample(dir);
    std::unique_ptr<CaseState> reference;
    for (const char* code : {"CR3", "CR2", "CR1"}) {
        auto out = test::runIn(dir.path(), std::string(code) + "\n\n");
        ASSERT_EQ(out.status, 0) << out.console;
        const RawOffsets& raw = out.state->raw;
        EXPECT_EQ(raw.NST, 37) << code;
        EXPECT_EQ(out.state->input.KSTYPE, 64);
        EXPECT_EQ(out.state->input.NTEST, 11);
        for (int i = 1; i < raw.NST; ++i) EXPECT_LT(raw.XOFF(i), raw.XOFF(i + 1)) << "stations from stern to bow";
        for (int i = 1; i <= raw.NST; ++i) {
            EXPECT_EQ(raw.YOFF(1, i), 0.0) << "every section starts on the centre plane";
            for (int j = 2; j <= raw.NP(i); ++j) EXPECT_GT(raw.ZOFF(j, i), raw.ZOFF(j - 1, i));
        }
        if (!reference) {
            reference = std::move(out.state);
            continue;
        }
        const RawOffsets& ref = reference->raw;
        EXPECT_EQ(raw.NP.data, ref.NP.data) << code;
        EXPECT_EQ(raw.XOFF.data, ref.XOFF.data) << code;
        EXPECT_EQ(raw.YOFF.data, ref.YOFF.data) << code;
        EXPECT_EQ(raw.ZOFF.data, ref.ZOFF.data) << code;
    }
}

// One mistyped half-breadth at the dry transom station (point 13 of station 1) once kept these
// runs busy for minutes: now the reader stops at its line, before the hull is prepared.
TEST(ExampleCase, MistypedHalfBreadthStopsAtItsLine) {
    const struct {
        const char *code, *original, *mistyped, *message;
    } cases[] = {
        {"CR3", "\n0.8465 0.2909\n", "\n1e9 0.2909\n",
         "OFFSETS/OFFS_CR3.TXT, line 20: half-breadth 1e+09 of point 13 of station 1 is far outside the hull"},
        {"CR1", "\n0.0000 0.8465 0.2909\n", "\n0.0000 999999999999 0.2909\n",
         "OFFSETS/OFFS_CR1.TXT, line 13: half-breadth 1e+12 of point 13 of station 1 is far outside the hull"},
    };
    for (const auto& c : cases) {
        test::ScratchDir dir;
        copyExample(dir);
        const std::string file = std::string("OFFSETS/OFFS_") + c.code + ".TXT";
        std::string offsets = dir.read(file);
        const auto at = offsets.find(c.original);
        ASSERT_NE(at, std::string::npos) << c.code;
        offsets.replace(at, std::string(c.original).size(), c.mistyped);
        dir.write(file, offsets);
        auto out = test::runIn(dir.path(), std::string(c.code) + "\n\n");
        EXPECT_NE(out.status, 0) << c.code;
        EXPECT_NE(out.console.find(std::string("\n ") + c.message), std::string::npos) << out.console;
        EXPECT_EQ(out.console.find("FN ="), std::string::npos) << "no test point is run";
    }
}

// The numbers of the data rows of a resistance table.
std::vector<std::vector<double>> dataRows(const std::string& table) {
    std::vector<std::vector<double>> rows;
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        if (std::count(line.begin(), line.end(), ',') < 6 || line.find("FN") != std::string::npos) continue;
        std::vector<double> row;
        std::istringstream fields(line);
        for (std::string f; std::getline(fields, f, ',');)
            if (f.find_first_not_of(' ') != std::string::npos) row.push_back(std::stod(f));
        rows.push_back(row);
    }
    return rows;
}

// With keel and rudder the yacht sails: every point converges in every
// table mode, the side force follows the leeway, keel and rudder add drag.
TEST(ExampleCase, AppendagePointsSailInEveryMode) {
    for (const char* code : {"CR3", "CM2", "CM3"}) {
        test::ScratchDir dir;
        copyExample(dir);
        auto out = test::runIn(dir.path(), std::string(code) + "\n\n");
        ASSERT_EQ(out.status, 0) << out.console;
        const CaseInput& in = out.state->input;
        // solved, or accepted within the driver's residual tolerance
        std::size_t converged = 0;
        for (const char* what : {"solved for FN =", "solution accepted for FN ="})
            for (auto at = out.console.find(what); at != std::string::npos; at = out.console.find(what, at + 1))
                ++converged;
        EXPECT_EQ(converged, static_cast<std::size_t>(in.NTEST)) << code << out.console;
        EXPECT_EQ(out.console.find("NO convergence"), std::string::npos) << code;
        const auto rows = dataRows(dir.read(std::string("DRAG/DRAG_") + code + ".TXT"));
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(in.NTEST)) << code;
        if (in.MODE != 1) continue;
        for (int i = 1; i <= in.NTEST; ++i) {
            const auto& r = rows[static_cast<std::size_t>(i - 1)];  // FN, Rvisc-cb, Rkeel, Rrudder, ..., Fside, pitch, leeway
            if (in.TP(7, i) != 1.0) {
                EXPECT_EQ(r[2], 0.0) << "bare hull, point " << i;
                continue;
            }
            EXPECT_GT(r[2], 0.0) << "keel drag, point " << i;
            // (the rudder carries force once its immersed area is known)
            if (out.state->flow.RAEFF > 0.0) {
                EXPECT_GT(r[3], 0.0) << "rudder drag, point " << i;
            }
            const double leeway = in.TP(8, i), heel = in.TP(6, i);
            if (leeway != 0.0) {
                EXPECT_GT(r[7] * leeway, 0.0) << "side force follows the leeway, point " << i;
            } else if (heel == 0.0) {
                EXPECT_EQ(r[7], 0.0) << "straight ahead upright, point " << i;
            }
        }
        // opposite leeways upright: mirrored side force, equal drag. The
        // running-trim regression is fitted on signed leeway, so the two
        // floating positions differ slightly and the forces with them.
        for (int i = 1; i < in.NTEST; ++i) {
            if (in.TP(7, i) != 1.0 || in.TP(6, i) != 0.0 || in.TP(8, i) == 0.0 || in.TP(8, i + 1) != -in.TP(8, i))
                continue;
            const auto &a = rows[static_cast<std::size_t>(i - 1)], &b = rows[static_cast<std::size_t>(i)];
            for (int column : {2, 3}) EXPECT_NEAR(a[column], b[column], 5e-4 * a[column]) << i;
            EXPECT_NEAR(a[7], -b[7], 5e-4 * std::fabs(a[7])) << i;
        }
    }
}

}  // namespace
}  // namespace carinex
