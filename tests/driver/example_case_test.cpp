// The example case shipped in examples/cruiser: the same hull in the three
// offsets layouts.
#include <gtest/gtest.h>

#include <filesystem>

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
        EXPECT_EQ(out.state->input.NTEST, 5);
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

}  // namespace
}  // namespace carinex
