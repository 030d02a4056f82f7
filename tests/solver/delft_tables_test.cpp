// The program's Delft-series coefficient tables against the printed tables,
// transcribed by tools/transcribe_delft_tables.py (re-run it with --check to
// see that the transcription still matches the document).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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
    ASSERT_EQ(Rows, PRows) << name;
    ASSERT_EQ(Cols, PCols) << name;
    EXPECT_EQ(program.First, static_cast<int>(std::lround(firstKey / step + offset))) << name;
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            EXPECT_EQ(program.rows[r][c], table[r][c]) << name << " row " << r + 1 << " coefficient " << c;
}

TEST(DelftTables, EveryCoefficientIsThePrintedOne) {
    using namespace printed;
    // canoe-body tables on FN/0.05 - 2, the keel residuary on FN/0.05 - 3,
    // the wetted surface on heel/5, the keel tables on heel/10 + 1
    expectSameTable("upright residuary", delft::kUprightResiduary, kUprightResiduary, kUprightResiduaryFirstKey,
                    kUprightResiduaryKeyStep, -2);
    expectSameTable("heel correction", delft::kHeelCorrection, kHeelCorrection, kHeelCorrectionFirstKey,
                    kHeelCorrectionKeyStep, -2);
    expectSameTable("trim moment", delft::kTrimMoment, kTrimMoment, kTrimMomentFirstKey, kTrimMomentKeyStep, -2);
    expectSameTable("wetted surface", delft::kWettedSurface, kWettedSurface, kWettedSurfaceFirstKey,
                    kWettedSurfaceKeyStep, 0);
    expectSameTable("keel residuary", delft::kKeelResiduary, kKeelResiduary, kKeelResiduaryFirstKey,
                    kKeelResiduaryKeyStep, -3);
    expectSameTable("side force", delft::kSideForce, kSideForce, kSideForceFirstKey, kSideForceKeyStep, 1);
    expectSameTable("effective span", delft::kEffectiveSpan, kEffectiveSpan, kEffectiveSpanFirstKey,
                    kEffectiveSpanKeyStep, 1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(delft::kKeelHeel[k], printed::kKeelHeel[k]) << "keel heel term e" << k;
}

}  // namespace
}  // namespace carinex
