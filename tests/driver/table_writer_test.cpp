// Golden-line tests of the resistance table and the parameter table: 14
// columns and a comma per column; G14.7 in fixed form is F10.x followed by
// four blanks, below 0.1 it is 0.ddddddd E-ee; F14.2 and F14.6 right-aligned.
// How single values round or overflow is the fixed formatter's business and
// tested with it.
#include "driver/table_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

namespace carinex {
namespace {

constexpr double kPi = 3.141592653589793;

TEST(TableHeader, HeaderLinesAndColumnHeadsOfEveryMode) {
    const std::string pitch = " Pitchangle (bow down is negative) and leeway in degrees\n";
    const std::string regression =
        " Resistanceforce in Newton - calculated with Delft-regression method after Keuning 2008\n"
        " Supplied for comparison with results from Carinex\n"
        "       FN     ,      Rviscous,        Rtotal,       FS keel,     FS rudder,        leeway,\n";
    // Stored heads keep their trailing blanks inside the field: "FN" has 8
    // of them (5 in the regression table), "DA b.l.-cb" one.
    const std::pair<int, std::string> cases[] = {
        {1, " Resistanceforce in Newton\n" + pitch +
                "    FN        ,      Rvisc-cb,         Rkeel,       Rrudder,       Rresidu,"
                "        Rtotal,    Rvisc-trip,         Fside,    pitchangle,        leeway,\n"},
        {2, " Dragarea in m^2\n" + pitch +
                "    FN        ,   DA b.l.-cb ,   DA viscous ,    DA residu ,     DA total ,"
                "      DA trip ,    pitchangle,        leeway,\n"},
        {3, " Resistance-coefficient based on wetted area\n" + pitch +
                "    FN        ,    C b.l.-cb ,    C viscous ,     C residu ,      C total ,"
                "       C trip ,    pitchangle,        leeway,\n"},
        {4, regression},
        {0, regression},  // every other MODE gives the regression table
        {5, regression},
    };
    for (const auto& [MODE, expected] : cases) {
        std::ostringstream out;
        writeTableHeader(out, MODE);
        EXPECT_EQ(out.str(), expected) << "MODE " << MODE;
    }
}

// RRES = RTOT - RHULL - FXK - FXR = 400 - 150 - 45.678 - 12.3456 = 191.9764;
// RHULL + FXK + FXR = 208.0236. Pitch -0.01 rad = -0.5729578 degrees,
// leeway 0.05 rad = 2.8647890 degrees.
constexpr ResistanceRow kSample{.FN = 0.4123456, .RFRIC = 123.456, .FXK = 45.678, .FXR = 12.3456,
                                .RHULL = 150.0, .RTOT = 400.0, .RTRIP = 3.21, .FSIDE = -1234.5678,
                                .DTRIM = -0.01, .LEEWAY = 0.05, .QDYN = 500.0, .SWET = 20.0};

const std::string kForceRow =
    " 0.4123456    ,        123.46,         45.68,         12.35,        191.98,"
    "        400.00,          3.21,      -1234.57,     -0.572958,      2.864789,";

TEST(TableRow, ResistanceRowOfEachMode) {
    const std::pair<int, std::string> cases[] = {
        {1, kForceRow},
        // drag areas: on q = 500, 0.246912, 0.4160472, 0.3839528, 0.8, 0.00642
        {2, " 0.4123456    , 0.2469120    , 0.4160472    , 0.3839528    , 0.8000000    ,"
            " 0.6420000E-02,     -0.572958,      2.864789,"},
        // coefficients: on q * SWET = 10000, 0.0123456, 0.02080236, 0.01919764, 0.04, 0.000321
        {3, " 0.4123456    , 0.1234560E-01, 0.2080236E-01, 0.1919764E-01, 0.4000000E-01,"
            " 0.3210000E-03,     -0.572958,      2.864789,"},
    };
    for (const auto& [MODE, expected] : cases) EXPECT_EQ(resistanceRowLine(MODE, kSample), expected) << "MODE " << MODE;
    EXPECT_THROW(resistanceRowLine(4, kSample), std::invalid_argument);
    EXPECT_THROW(resistanceRowLine(0, kSample), std::invalid_argument);
}

TEST(TableRow, RegressionRowGivesTheLeewayInDegrees) {
    const RegressionRow r{.FNU = 0.3, .Rviscous = 210.5, .Rtotal = 350.25, .FSkeel = 812.1234, .FSrudder = -95.4321,
                          .LEEWAY = 3.0 * kPi / 180.0};
    EXPECT_EQ(regressionRowLine(r), " 0.3000000    ,        210.50,        350.25,        812.12,        -95.43,"
                                    "      3.000000,");
}

// A point without convergence: FN and five zeros through the format of the
// data rows, ending where the values run out.
TEST(TableRow, ZeroRowEndsWhereTheValuesRunOut) {
    const std::string ratio =
        " 0.3456789    ,  0.000000    ,  0.000000    ,  0.000000    ,  0.000000    ,  0.000000    ,";
    const std::pair<int, std::string> cases[] = {
        {1, " 0.3456789    ,          0.00,          0.00,          0.00,          0.00,          0.00,"},
        {2, ratio},
        {3, ratio},
        {5, " 0.3456789    ,          0.00,          0.00,          0.00,          0.00,      0.000000,"},
    };
    for (const auto& [MODE, expected] : cases) EXPECT_EQ(zeroRowLine(MODE, 0.3456789), expected) << "MODE " << MODE;
}

// RWELL = 100 - 60 - 10 - 5 = 25; UMIN, DRFPHI and BDYN go in squared.
constexpr ParameterRow kParameters{
    .VBOOT = 2.5,   .TTANK = 15.0,  .RTOT = 100.0,    .RHULL = 60.0,   .FXK = 10.0,     .FXR = 5.0,
    .LWLPHI = 10.25, .BWLPHI = 3.125, .TCBPHI = 0.625, .VOLCB = 8.5,    .AHSPHI = 1.75,  .AWLPHI = 22.5,
    .LCBPHI = 0.53125, .LCFPHI = 0.5625, .LWL1 = 4.5,  .LWL2 = 5.75,    .VCB1 = 3.25,    .WENTER = 0.375,
    .TCLTOH = 0.0625, .UMIN = 1.5,  .VOLFNZ = 7.5,    .OVRHNG = 0.25,  .DRFPHI = 0.875, .BDYN = 3.0};

const std::string kParameterRow =
    "  2.50000      15.0000      25.0000      10.2500    "   // VBOOT TTANK RWELL LWLPHI
    "  3.12500     0.625000      8.50000      1.75000    "   // BWLPHI TCBPHI VOLCB AHSPHI
    "  22.5000     0.531250     0.562500      4.50000    "   // AWLPHI LCBPHI LCFPHI LWL1
    "  5.75000      3.25000     0.375000     0.625000E-01"   // LWL2 VCB1 WENTER TCLTOH
    "  0.00000      2.25000      7.50000     0.250000    "   // BML/LWL UMIN^2 VOLFNZ OVRHNG
    " 0.765625      9.00000    ";                            // DRFPHI^2 BDYN^2

TEST(TableParameterRow, TwentyTwoG136FieldsInHeaderOrder) {
    EXPECT_EQ(parameterRowLine(kParameters), kParameterRow);
    ParameterRow p = kParameters;
    p.RTOT = 50.0;  // a negative residuary resistance is written as zero
    EXPECT_EQ(parameterRowLine(p).substr(26, 13), "  0.00000    ");
}

TEST(TableWriters, EveryRowEndsItsLine) {
    std::ostringstream out;
    writeResistanceRow(out, 1, kSample);
    writeRegressionRow(out, RegressionRow{.FNU = 0.25, .Rviscous = 0, .Rtotal = 0, .FSkeel = 0, .FSrudder = 0,
                                          .LEEWAY = 0});
    writeZeroRow(out, 1, 1.25);
    writeParameterRow(out, kParameters);
    EXPECT_EQ(out.str(),
              kForceRow + "\n" +
                  " 0.2500000    ,          0.00,          0.00,          0.00,          0.00,      0.000000,\n"
                  "  1.250000    ,          0.00,          0.00,          0.00,          0.00,          0.00,\n" +
                  kParameterRow + "\n");
}

}  // namespace
}  // namespace carinex
