// The Delft-series data: the program's coefficient tables against the
// printed tables, transcribed by tools/transcribe_delft_tables.py (re-run it
// with --check to see that the transcription still matches the document), and
// the warnings for a hull outside the series' parameter range.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "solver/delft_range.h"
#include "solver/delft_reference_tables.h"
#include "solver/delft_tables.h"

namespace carinex {
namespace {

namespace printed = test::delft_printed;

// Every cell, the row count and the axis position of the first row: a row
// keyed k sits at position k / step + offset on its table's axis.
template <int Rows, int Cols, int PRows, int PCols>
void expectSameTable(const std::string& name, const delft::PositionTable<Rows, Cols>& program,
                     const double (&table)[PRows][PCols], double firstKey, double step, double offset) {
    static_assert(Rows == PRows && Cols == PCols);
    EXPECT_EQ(program.First, static_cast<int>(std::lround(firstKey / step + offset))) << name;
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            EXPECT_EQ(program.rows[r][c], table[r][c]) << name << " row " << r + 1 << " coefficient " << c;
}

// the program's table `name` against the printed one of the same name
#define EXPECT_SAME_TABLE(name, offset) \
    expectSameTable(#name, delft::name, printed::name, printed::name##FirstKey, printed::name##KeyStep, offset)

TEST(DelftTables, EveryCoefficientIsThePrintedOne) {
    // canoe-body tables on FN/0.05 - 2, the keel residuary on FN/0.05 - 3,
    // the wetted surface on heel/5, the keel tables on heel/10 + 1
    EXPECT_SAME_TABLE(kUprightResiduary, -2);
    EXPECT_SAME_TABLE(kHeelCorrection, -2);
    EXPECT_SAME_TABLE(kTrimMoment, -2);
    EXPECT_SAME_TABLE(kWettedSurface, 0);
    EXPECT_SAME_TABLE(kKeelResiduary, -3);
    EXPECT_SAME_TABLE(kSideForce, 1);
    EXPECT_SAME_TABLE(kEffectiveSpan, 1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(delft::kKeelHeel[k], printed::kKeelHeel[k]) << "keel heel term e" << k;
}

TEST(DelftRange, OneWarningPerParameterOutsideTheSeries) {
    using U = UprightParticulars;
    U inside;  // every parameter between its limits
    for (const auto& [member, value] : {std::pair{&U::RLB, 3.5}, {&U::RLV, 5.5}, {&U::RBT, 5.0}, {&U::CP0, 0.56},
                                        {&U::LCBFP, 0.53}, {&U::LCFFP, 0.55}, {&U::CX0, 0.70}})
        inside.*member = value;
    const struct {
        double U::*member;
        double value;
        const char* line;  // "": inside the range (the limits belong to it)
    } cases[] = {
        {&U::RLB, 5.6, "length/beam Lwl/Bwl = 5.600 outside the Delft series range 2.73 to 5.00"},
        {&U::RLV, 4.0, "length/volume^(1/3) Lwl/Vc^(1/3) = 4.000 outside the Delft series range 4.34 to 8.50"},
        {&U::RBT, 19.38, ""},
        {&U::RBT, 2.0, "beam/draft Bwl/Tc = 2.000 outside the Delft series range 2.46 to 19.38"},
        {&U::CP0, 0.519, "prismatic coefficient Cp = 0.519 outside the Delft series range 0.52 to 0.60"},
        {&U::LCBFP, 0.49, "LCB in % Lwl behind FP = 49.000 outside the Delft series range 50.00 to 58.20"},
        {&U::LCFFP, 0.60, "LCF in % Lwl behind FP = 60.000 outside the Delft series range 51.80 to 59.50"},
        {&U::CX0, 0.65, ""},
        {&U::CX0, NAN, "midship coefficient Cx = nan outside the Delft series range 0.65 to 0.78"},
    };
    for (const auto& c : cases) {
        U u = inside;
        u.*c.member = c.value;
        const std::vector<std::string> expected =
            *c.line ? std::vector<std::string>{std::string("warning: ") + c.line} : std::vector<std::string>{};
        EXPECT_EQ(delftRangeWarnings(u), expected) << c.value;
    }
}

}  // namespace
}  // namespace carinex
