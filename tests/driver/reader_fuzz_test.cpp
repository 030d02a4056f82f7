// Mutated case and offsets files fed to whole runs: whatever the damage, a
// run ends at the final prompt with exit status 0 or 1 and never crashes,
// hangs or reads outside its arrays.
#include <gtest/gtest.h>

#include <random>

#include "support/case_files.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

std::string mutate(std::string text, std::mt19937& rng) {
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n ? n - 1 : 0)(rng); };
    const char junk[] = "0123456789.-+eE, */'\"\t\r\nxyzQ ";
    const int edits = 1 + static_cast<int>(pick(4));
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = pick(text.size());
        switch (pick(6)) {
            case 0: text[at] = junk[pick(sizeof junk - 1)]; break;                  // one character changed
            case 1: text.erase(at, 1 + pick(20)); break;                             // a few characters lost
            case 2: text.resize(at); break;                                          // file truncated
            case 3: text.insert(at, std::string(1 + pick(3), junk[pick(sizeof junk - 1)])); break;
            case 4: {                                                                 // a line duplicated
                const auto start = text.rfind('\n', at);
                const auto end = text.find('\n', at);
                const auto from = start == std::string::npos ? 0 : start + 1;
                if (end != std::string::npos) text.insert(from, text.substr(from, end - from + 1));
                break;
            }
            default: text.insert(at, std::to_string(static_cast<long long>(rng()) - 2147483648LL)); break;
        }
    }
    return text;
}

void expectCleanEnd(const test::RunOutcome& out, const std::string& what) {
    ASSERT_TRUE(out.status >= 0 && out.status <= 2) << what;
    const std::string tail = " press Enter to quit\n";
    ASSERT_GE(out.console.size(), tail.size());
    EXPECT_EQ(out.console.substr(out.console.size() - tail.size()), tail) << what;
    if (out.status == 1) {
        EXPECT_NE(out.console.find("fatal error occured, execution terminated"), std::string::npos);
    }
}

TEST(ReaderFuzz, MutatedOffsetsFiles) {
    std::mt19937 rng(20261206);
    const auto hull = test::ellipticHull(31, 12);
    for (int format : {1, 2, 3}) {
        test::CaseSpec spec;
        spec.format = format;
        spec.ntest = 0;  // the readers are under test, not the equilibrium
        const std::string original = test::offsetsText(format, hull);
        for (int k = 0; k < 120; ++k) {
            test::ScratchDir dir;
            dir.write("INPUT/CX_FZ1_IN.TXT", test::caseInputText(spec));
            dir.write("APPEND/KEEL.APP", test::appendageText());
            const std::string damaged = mutate(original, rng);
            dir.write("OFFSETS/OFFS_FZ1.TXT", damaged);
            expectCleanEnd(test::runIn(dir.path(), "FZ1\n"), "format " + std::to_string(format) + ":\n" + damaged);
        }
    }
}

TEST(ReaderFuzz, MutatedCaseAndAppendageFiles) {
    std::mt19937 rng(6122026);
    const auto hull = test::ellipticHull(31, 12);
    test::CaseSpec spec;
    spec.ntest = 2;
    for (int k = 0; k < 200; ++k) {
        test::ScratchDir dir;
        const std::string caseText = (k % 2 == 0) ? mutate(test::caseInputText(spec), rng) : test::caseInputText(spec);
        const std::string appendages = (k % 2 == 1) ? mutate(test::appendageText(), rng) : test::appendageText();
        dir.write("INPUT/CX_FZ2_IN.TXT", caseText);
        dir.write("APPEND/KEEL.APP", appendages);
        dir.write("OFFSETS/OFFS_FZ2.TXT", test::format3Text(hull));
        expectCleanEnd(test::runIn(dir.path(), "FZ2\n"), caseText + "\n----\n" + appendages);
    }
}

}  // namespace
}  // namespace carinex
