// The table lines the example runs do not reach (their MODE 1 to 4 tables are
// guarded by the whole-run references): the regression table of every other
// MODE, the zero rows of points without convergence, and the parameter table
// of the diagnostics. 14 columns and a comma per column; G14.7 and G13.6 in
// fixed form are F10.x / F9.x and four blanks, below 0.1 exponent form.
#include "driver/table_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

namespace carinex {
namespace {

TEST(TableWriter, EveryOtherModeGivesTheRegressionTable) {
    for (int MODE : {0, 4, 5}) {
        std::ostringstream out;
        writeTableHeader(out, MODE);
        EXPECT_EQ(out.str(),
                  " Resistanceforce in Newton - calculated with Delft-regression method after Keuning 2008\n"
                  " Supplied for comparison with results from Carinex\n"
                  "       FN     ,      Rviscous,        Rtotal,       FS keel,     FS rudder,        leeway,\n");
    }
    EXPECT_THROW(resistanceRowLine(4, ResistanceRow{}), std::invalid_argument);
    EXPECT_THROW(resistanceRowLine(0, ResistanceRow{}), std::invalid_argument);
}

// FN and five zeros through the format of the data rows, ending where the values run out.
TEST(TableWriter, ZeroRowOfAPointWithoutConvergence) {
    const std::pair<int, std::string> cases[] = {
        {1, " 0.3456789    ,          0.00,          0.00,          0.00,          0.00,          0.00,"},
        {3, " 0.3456789    ,  0.000000    ,  0.000000    ,  0.000000    ,  0.000000    ,  0.000000    ,"},
        {5, " 0.3456789    ,          0.00,          0.00,          0.00,          0.00,      0.000000,"},
    };
    for (const auto& [MODE, expected] : cases) EXPECT_EQ(zeroRowLine(MODE, 0.3456789), expected) << "MODE " << MODE;
    std::ostringstream out;
    writeZeroRow(out, 1, 1.25);
    EXPECT_EQ(out.str(),
              "  1.250000    ,          0.00,          0.00,          0.00,          0.00,          0.00,\n");
}

// RWELL = 100 - 60 - 10 - 5 = 25 (a negative one is written as zero); UMIN, DRFPHI and BDYN go in squared.
TEST(TableWriter, ParameterRowHasTwentyTwoFieldsInHeaderOrder) {
    ParameterRow p{.VBOOT = 2.5,     .TTANK = 15.0,    .RTOT = 100.0,   .RHULL = 60.0,   .FXK = 10.0,
                   .FXR = 5.0,       .LWLPHI = 10.25,  .BWLPHI = 3.125, .TCBPHI = 0.625, .VOLCB = 8.5,
                   .AHSPHI = 1.75,   .AWLPHI = 22.5,   .LCBPHI = 0.53125, .LCFPHI = 0.5625, .LWL1 = 4.5,
                   .LWL2 = 5.75,     .VCB1 = 3.25,     .WENTER = 0.375, .TCLTOH = 0.0625, .UMIN = 1.5,
                   .VOLFNZ = 7.5,    .OVRHNG = 0.25,   .DRFPHI = 0.875, .BDYN = 3.0};
    const std::string row = parameterRowLine(p);
    EXPECT_EQ(row.substr(26, 13), "  25.0000    ") << "RWELL";
    EXPECT_EQ(row.substr(17 * 13, 13), "  2.25000    ") << "UMIN squared";
    EXPECT_EQ(row.substr(20 * 13, 13), " 0.765625    ") << "DRFPHI squared";
    EXPECT_EQ(row.size(), 22u * 13u);
    p.RTOT = 50.0;
    EXPECT_EQ(parameterRowLine(p).substr(26, 13), "  0.00000    ");
}

}  // namespace
}  // namespace carinex
