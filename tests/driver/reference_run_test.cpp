// Whole runs of every example case against the committed reference outputs
// (tests/reference/<example>/<case>/: report, resistance table, console).
// The built program runs in a scratch copy of the example folder, as a user
// would start it.
//
// When a model deliberately changes the numbers, rebuild the references with
//     python3 tools/bless_references.py
// from the repository root (after building the program), and say why in the
// commit. The texts must match exactly (g++ and clang builds print the same
// digits).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;
const fs::path kRepo = CARINEX_SOURCE_DIR;

// Compares a produced text with its reference; reports the first disagreement.
void expectMatches(const std::string& got, const std::string& want, const std::string& what) {
    const auto g = splitLines(got), w = splitLines(want);
    ASSERT_EQ(g.size(), w.size()) << what << ": line count\n" << got;
    for (std::size_t i = 0; i < g.size(); ++i)
        ASSERT_EQ(g[i], w[i]) << what << " line " << i + 1;
}

struct ExampleCase {
    fs::path folder;
    std::string code;
};

// The cases of every example folder, from its case input files CX_<case>_IN.TXT.
std::vector<ExampleCase> exampleCases() {
    std::vector<ExampleCase> cases;
    for (const auto& example : fs::directory_iterator(kRepo / "examples")) {
        if (!fs::is_directory(example.path() / "INPUT")) continue;
        for (const auto& input : fs::directory_iterator(example.path() / "INPUT")) {
            const std::string name = input.path().filename().string();
            if (name.rfind("CX_", 0) != 0 || name.size() < 10 || name.substr(name.size() - 7) != "_IN.TXT") continue;
            cases.push_back({example.path(), name.substr(3, name.size() - 10)});
        }
    }
    return cases;
}

class WholeRunReference : public ::testing::TestWithParam<ExampleCase> {};

// Every case has a reference, and a fresh run reproduces it.
TEST_P(WholeRunReference, ReproducesItsReference) {
    const auto& [folder, code] = GetParam();
    const std::string what = folder.filename().string() + "/" + code;
    const fs::path reference = kRepo / "tests" / "reference" / folder.filename() / code;
    ASSERT_TRUE(fs::is_directory(reference)) << what << " has no reference: run tools/bless_references.py";
    test::ScratchDir dir;
    // the input folders only: outputs of an earlier run in the example (the README's first
    // command leaves them) would be moved to .bak copies and change the console
    for (const char* input : {"INPUT", "OFFSETS", "APPEND"})
        if (fs::is_directory(folder / input)) fs::copy(folder / input, dir.path() / input, fs::copy_options::recursive);
    dir.write("keyboard.txt", code + "\n\n");
    const std::string command =
        "cd '" + dir.path().string() + "' && '" + CARINEX_EXE + "' < keyboard.txt > console.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << what << "\n" << dir.read("console.txt");
    for (const std::string& file : {"CXRUN/OUT_" + code + ".TXT", "DRAG/DRAG_" + code + ".TXT", std::string("console.txt")}) {
        const std::string stored = fs::path(file).filename().string();
        expectMatches(dir.read(file), test::ScratchDir::readFile(reference / stored), what + " " + stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, WholeRunReference, ::testing::ValuesIn(exampleCases()),
                         [](const ::testing::TestParamInfo<ExampleCase>& info) {
                             return info.param.folder.filename().string() + "_" + info.param.code;
                         });

TEST(WholeRunReferences, CoverTheCruiserExample) {
    EXPECT_GE(exampleCases().size(), 6u) << "the cruiser example alone has six cases";
}

}  // namespace
}  // namespace carinex
