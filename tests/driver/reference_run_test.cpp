// Whole runs of every example case against the committed reference outputs
// (tests/reference/<example>/<case>/: report, resistance table, console).
// The built program runs in a scratch copy of the example folder, as a user
// would start it.
//
// When a model deliberately changes the numbers, rebuild the references with
//     python3 tools/bless_references.py
// from the repository root (after building the program), and say why in the
// commit. The texts must match exactly; a printed number may differ by one
// unit in its last digit, which is what two compilers' rounding can give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;
const fs::path kRepo = CARINEX_SOURCE_DIR;

// One unit in the last printed digit of a number such as 12.34 or 0.5E-01.
double lastDigitUnit(const std::string& number) {
    const auto e = number.find_first_of("Ee");
    const std::string mantissa = number.substr(0, e);
    const auto dot = mantissa.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
    const int exponent = e == std::string::npos ? 0 : std::stoi(number.substr(e + 1));
    return std::pow(10.0, exponent - decimals);
}

// Two lines agree when their texts between the numbers are equal and every
// number is within one unit of the last printed digit.
bool linesAgree(const std::string& got, const std::string& want) {
    if (got == want) return true;
    static const std::regex number(R"([-+]?(\d+\.?\d*|\.\d+)([Ee][-+]?\d+)?)");
    std::sregex_iterator a(got.begin(), got.end(), number), b(want.begin(), want.end(), number), end;
    std::size_t ga = 0, wb = 0;
    for (; a != end && b != end; ++a, ++b) {
        if (got.substr(ga, a->position() - ga) != want.substr(wb, b->position() - wb)) return false;
        const double unit = std::max(lastDigitUnit(a->str()), lastDigitUnit(b->str()));
        if (std::fabs(std::stod(a->str()) - std::stod(b->str())) > 1.0001 * unit) return false;
        ga = a->position() + a->length();
        wb = b->position() + b->length();
    }
    return a == end && b == end && got.substr(ga) == want.substr(wb);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Compares a produced text with its reference; reports the first disagreement.
void expectMatches(const std::string& got, const std::string& want, const std::string& what) {
    const auto g = linesOf(got), w = linesOf(want);
    ASSERT_EQ(g.size(), w.size()) << what << ": line count\n" << got;
    for (std::size_t i = 0; i < g.size(); ++i)
        ASSERT_TRUE(linesAgree(g[i], w[i])) << what << " line " << i + 1 << "\n got: " << g[i] << "\nwant: " << w[i];
}

TEST(WholeRunReference, ToleranceIsOneUnitOfTheLastDigit) {
    struct Case {
        const char *got, *want;
        bool agree;
    };
    for (const Case& c : std::initializer_list<Case>{{" FN = 0.2020280 ,  124.46,", " FN = 0.2020281 ,  124.46,", true},
                                                     {" 124.46", " 124.44", false},
                                                     {" 0.6065785E-01", " 0.6065786E-01", true},
                                                     {" 0.6065785E-01", " 0.6065787E-01", false},
                                                     {" 0.6065785E-01", " 0.6065785E-02", false},
                                                     {" Rkeel 1.0", " Rrudd 1.0", false},
                                                     {" 1.0 2.0", " 1.0", false}})
        EXPECT_EQ(linesAgree(c.got, c.want), c.agree) << c.got << " | " << c.want;
}

// Every case of every example folder has a reference, and every reference
// is reproduced by a fresh run.
TEST(WholeRunReference, EveryExampleCaseReproducesItsReference) {
    int compared = 0;
    for (const auto& example : fs::directory_iterator(kRepo / "examples")) {
        if (!fs::is_directory(example.path() / "INPUT")) continue;
        for (const auto& input : fs::directory_iterator(example.path() / "INPUT")) {
            const std::string name = input.path().filename().string();  // CX_<case>_IN.TXT
            if (name.rfind("CX_", 0) != 0 || name.size() < 10 || name.substr(name.size() - 7) != "_IN.TXT") continue;
            const std::string code = name.substr(3, name.size() - 10);
            const std::string what = example.path().filename().string() + "/" + code;
            const fs::path reference = kRepo / "tests" / "reference" / example.path().filename() / code;
            ASSERT_TRUE(fs::is_directory(reference)) << what << " has no reference: run tools/bless_references.py";

            test::ScratchDir dir;
            fs::copy(example.path(), dir.path(), fs::copy_options::recursive);
            dir.write("keyboard.txt", code + "\n\n");
            const std::string command = "cd '" + dir.path().string() + "' && '" + CARINEX_EXE +
                                        "' < keyboard.txt > console.txt 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << what << "\n" << dir.read("console.txt");
            for (const std::string& file : {"CXRUN/OUT_" + code + ".TXT", "DRAG/DRAG_" + code + ".TXT", std::string("console.txt")}) {
                const std::string stored = fs::path(file).filename().string();
                expectMatches(dir.read(file), test::ScratchDir::readFile(reference / stored), what + " " + stored);
            }
            ++compared;
        }
    }
    EXPECT_GE(compared, 6) << "the cruiser example alone has six cases";
}

}  // namespace
}  // namespace carinex
