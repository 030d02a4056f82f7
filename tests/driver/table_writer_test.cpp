// Golden-line tests of the resistance table and the parameter table. Each
// expected row is spelled out field by field: 14 columns and a comma per
// column; G14.7 in fixed form is F10.x followed by four blanks, below 0.1 it
// is 0.ddddddd E-ee; F14.2 and F14.6 right-aligned; too wide gives asterisks.
#include "driver/table_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace carinex {
namespace {

constexpr double kPi = 3.141592653589793;

// ---------------------------------------------------------------------------
// Header and column heads

TEST(TableHeader, ForceTable) {
    std::ostringstream out;
    writeTableHeader(out, 1);
    EXPECT_EQ(out.str(),
              " Resistanceforce in Newton\n"
              " Pitchangle (bow down is negative) and leeway in degrees\n"
              "    FN        ,"  // "FN" stored with 8 trailing blanks
              "      Rvisc-cb,"
              "         Rkeel,"
              "       Rrudder,"
              "       Rresidu,"
              "        Rtotal,"
              "    Rvisc-trip,"
              "         Fside,"
              "    pitchangle,"
              "        leeway,\n");
}

TEST(TableHeader, DragAreaTable) {
    std::ostringstream out;
    writeTableHeader(out, 2);
    EXPECT_EQ(out.str(),
              " Dragarea in m^2\n"
              " Pitchangle (bow down is negative) and leeway in degrees\n"
              "    FN        ,"
              "   DA b.l.-cb ,"  // stored with one trailing blank, 11 characters
              "   DA viscous ,"
              "    DA residu ,"
              "     DA total ,"
              "      DA trip ,"
              "    pitchangle,"
              "        leeway,\n");
}

TEST(TableHeader, CoefficientTable) {
    std::ostringstream out;
    writeTableHeader(out, 3);
    EXPECT_EQ(out.str(),
              " Resistance-coefficient based on wetted area\n"
              " Pitchangle (bow down is negative) and leeway in degrees\n"
              "    FN        ,"
              "    C b.l.-cb ,"
              "    C viscous ,"
              "     C residu ,"
              "      C total ,"
              "       C trip ,"
              "    pitchangle,"
              "        leeway,\n");
}

TEST(TableHeader, RegressionTable) {
    std::ostringstream out;
    writeTableHeader(out, 4);
    EXPECT_EQ(out.str(),
              " Resistanceforce in Newton - calculated with Delft-regression method after Keuning 2008\n"
              " Supplied for comparison with results from Carinex\n"
              "       FN     ,"  // "FN" stored with 5 trailing blanks in this table
              "      Rviscous,"
              "        Rtotal,"
              "       FS keel,"
              "     FS rudder,"
              "        leeway,\n");
}

TEST(TableHeader, EveryOtherModeGivesTheRegressionTable) {
    std::ostringstream four, zero, five;
    writeTableHeader(four, 4);
    writeTableHeader(zero, 0);
    writeTableHeader(five, 5);
    EXPECT_EQ(zero.str(), four.str());
    EXPECT_EQ(five.str(), four.str());
}

TEST(TableHeader, ColumnHeadLineAlone) {
    EXPECT_EQ(columnHeadLine(4),
              "       FN     ,      Rviscous,        Rtotal,       FS keel,     FS rudder,        leeway,");
    EXPECT_EQ(columnHeadLine(1).size(), 10u * 15u);
    EXPECT_EQ(columnHeadLine(2).size(), 8u * 15u);
}

// ---------------------------------------------------------------------------
// Data rows

// RRES = RTOT - RHULL - FXK - FXR = 400 - 150 - 45.678 - 12.3456 = 191.9764;
// RHULL + FXK + FXR = 208.0236.
ResistanceRow sampleRow() {
    ResistanceRow r;
    r.FN = 0.4123456;
    r.RFRIC = 123.456;
    r.FXK = 45.678;
    r.FXR = 12.3456;
    r.RHULL = 150.0;
    r.RTOT = 400.0;
    r.RTRIP = 3.21;
    r.FSIDE = -1234.5678;
    r.DTRIM = -0.01;  // -0.5729578 degrees
    r.LEEWAY = 0.05;  // 2.8647890 degrees
    r.QDYN = 500.0;
    r.SWET = 20.0;
    return r;
}

TEST(TableRow, ForcesInNewton) {
    EXPECT_EQ(resistanceRowLine(1, sampleRow()),
              " 0.4123456    ,"
              "        123.46,"
              "         45.68,"
              "         12.35,"
              "        191.98,"
              "        400.00,"
              "          3.21,"
              "      -1234.57,"
              "     -0.572958,"
              "      2.864789,");
}

TEST(TableRow, DragAreasDivideByTheDynamicPressure) {
    // q = 500: 0.246912, 0.4160472, 0.3839528, 0.8, 0.00642
    EXPECT_EQ(resistanceRowLine(2, sampleRow()),
              " 0.4123456    ,"
              " 0.2469120    ,"
              " 0.4160472    ,"
              " 0.3839528    ,"
              " 0.8000000    ,"
              " 0.6420000E-02,"
              "     -0.572958,"
              "      2.864789,");
}

TEST(TableRow, CoefficientsDivideByPressureTimesWettedSurface) {
    // q * SWET = 10000: 0.0123456, 0.02080236, 0.01919764, 0.04, 0.000321
    EXPECT_EQ(resistanceRowLine(3, sampleRow()),
              " 0.4123456    ,"
              " 0.1234560E-01,"
              " 0.2080236E-01,"
              " 0.1919764E-01,"
              " 0.4000000E-01,"
              " 0.3210000E-03,"
              "     -0.572958,"
              "      2.864789,");
}

TEST(TableRow, FroudeNumberInG147) {
    ResistanceRow r = sampleRow();
    r.FN = 1.5;
    EXPECT_EQ(resistanceRowLine(1, r).substr(0, 15), "  1.500000    ,");
    r.FN = 0.05;
    EXPECT_EQ(resistanceRowLine(1, r).substr(0, 15), " 0.5000000E-01,");
    r.FN = 0.099999999;  // rounds to 0.1000000, still the fixed form
    EXPECT_EQ(resistanceRowLine(1, r).substr(0, 15), " 0.1000000    ,");
}

TEST(TableRow, NegativeValuesKeepTheFieldWidth) {
    ResistanceRow r = sampleRow();
    r.RFRIC = -0.004;            // rounds to zero and keeps its sign
    r.FXK = -9999999999.99;      // fourteen characters with the sign
    r.FXR = -99.5;
    const std::string row = resistanceRowLine(1, r);
    EXPECT_EQ(row.substr(15, 45),
              "         -0.00,"
              "-9999999999.99,"
              "        -99.50,");
    EXPECT_EQ(row.size(), 10u * 15u);
}

TEST(TableRow, OverflowingF142FieldsAreAsterisks) {
    ResistanceRow r = sampleRow();
    r.RHULL = 0.0;
    r.FXK = 0.0;
    r.FXR = 0.0;
    r.RTOT = 1.0e12;               // RRES = RTOT: both need 16 columns
    r.FSIDE = -12345678901.0;      // 15 columns with the sign
    EXPECT_EQ(resistanceRowLine(1, r),
              " 0.4123456    ,"
              "        123.46,"
              "          0.00,"
              "          0.00,"
              "**************,"
              "**************,"
              "          3.21,"
              "**************,"
              "     -0.572958,"
              "      2.864789,");
}

TEST(TableRow, RegressionModesHaveNoResistanceRow) {
    EXPECT_THROW(resistanceRowLine(4, sampleRow()), std::invalid_argument);
    EXPECT_THROW(resistanceRowLine(0, sampleRow()), std::invalid_argument);
}

TEST(TableRow, RegressionRow) {
    RegressionRow r;
    r.FNU = 0.3;
    r.Rviscous = 210.5;
    r.Rtotal = 350.25;
    r.FSkeel = 812.1234;
    r.FSrudder = -95.4321;
    r.LEEWAY = 3.0 * kPi / 180.0;
    EXPECT_EQ(regressionRowLine(r),
              " 0.3000000    ,"
              "        210.50,"
              "        350.25,"
              "        812.12,"
              "        -95.43,"
              "      3.000000,");
}

TEST(TableRow, WritersEndTheLine) {
    std::ostringstream out;
    writeResistanceRow(out, 1, sampleRow());
    RegressionRow g;
    g.FNU = 0.25;
    writeRegressionRow(out, g);
    EXPECT_EQ(out.str(),
              " 0.4123456    ,        123.46,         45.68,         12.35,        191.98,"
              "        400.00,          3.21,      -1234.57,     -0.572958,      2.864789,\n"
              " 0.2500000    ,          0.00,          0.00,          0.00,          0.00,      0.000000,\n");
}

// ---------------------------------------------------------------------------
// Row of a point without convergence: FN and five zeros through the format of
// the data rows, ending where the values run out.

TEST(TableZeroRow, ForceTableEndsAfterTheFifthF142Zero) {
    EXPECT_EQ(zeroRowLine(1, 0.3456789),
              " 0.3456789    ,"
              "          0.00,"
              "          0.00,"
              "          0.00,"
              "          0.00,"
              "          0.00,");
}

TEST(TableZeroRow, RatioTablesWriteTheZerosInG147) {
    const std::string expected =
        " 0.3456789    ,"
        "  0.000000    ,"
        "  0.000000    ,"
        "  0.000000    ,"
        "  0.000000    ,"
        "  0.000000    ,";
    EXPECT_EQ(zeroRowLine(2, 0.3456789), expected);
    EXPECT_EQ(zeroRowLine(3, 0.3456789), expected);
}

TEST(TableZeroRow, RegressionTableFillsAllSixColumns) {
    EXPECT_EQ(zeroRowLine(5, 0.3456789),
              " 0.3456789    ,"
              "          0.00,"
              "          0.00,"
              "          0.00,"
              "          0.00,"
              "      0.000000,");
}

TEST(TableZeroRow, WriterEndsTheLine) {
    std::ostringstream out;
    writeZeroRow(out, 1, 1.25);
    EXPECT_EQ(out.str(), "  1.250000    ,          0.00,          0.00,          0.00,          0.00,          0.00,\n");
}

// ---------------------------------------------------------------------------
// Parameter table

ParameterRow sampleParameters() {
    ParameterRow p;
    p.VBOOT = 2.5;
    p.TTANK = 15.0;
    p.RTOT = 100.0;  // RWELL = 100 - 60 - 10 - 5 = 25
    p.RHULL = 60.0;
    p.FXK = 10.0;
    p.FXR = 5.0;
    p.LWLPHI = 10.25;
    p.BWLPHI = 3.125;
    p.TCBPHI = 0.625;
    p.VOLCB = 8.5;
    p.AHSPHI = 1.75;
    p.AWLPHI = 22.5;
    p.LCBPHI = 0.53125;
    p.LCFPHI = 0.5625;
    p.LWL1 = 4.5;
    p.LWL2 = 5.75;
    p.VCB1 = 3.25;
    p.WENTER = 0.375;
    p.TCLTOH = 0.0625;
    p.UMIN = 1.5;     // squared 2.25
    p.VOLFNZ = 7.5;
    p.OVRHNG = 0.25;
    p.DRFPHI = 0.875;  // squared 0.765625
    p.BDYN = 3.0;      // squared 9
    return p;
}

TEST(TableParameterRow, TwentyTwoG136FieldsInHeaderOrder) {
    EXPECT_EQ(parameterRowLine(sampleParameters()),
              "  2.50000    "   // VBOOT
              "  15.0000    "   // TTANK
              "  25.0000    "   // RWELL
              "  10.2500    "   // LWLPHI
              "  3.12500    "   // BWLPHI
              " 0.625000    "   // TCBPHI
              "  8.50000    "   // VOLCB
              "  1.75000    "   // AHSPHI
              "  22.5000    "   // AWLPHI
              " 0.531250    "   // LCBPHI
              " 0.562500    "   // LCFPHI
              "  4.50000    "   // LWL1
              "  5.75000    "   // LWL2
              "  3.25000    "   // VCB1
              " 0.375000    "   // WENTER
              " 0.625000E-01"   // TCLTOH
              "  0.00000    "   // BML/LWL
              "  2.25000    "   // UMIN^2
              "  7.50000    "   // VOLFNZ
              " 0.250000    "   // OVRHNG
              " 0.765625    "   // DRFPHI^2
              "  9.00000    ");  // BDYN^2
}

TEST(TableParameterRow, NegativeResiduaryResistanceIsWrittenAsZero) {
    ParameterRow p = sampleParameters();
    p.RTOT = 50.0;  // 50 - 60 - 10 - 5 < 0
    const std::string row = parameterRowLine(p);
    EXPECT_EQ(row.size(), 22u * 13u);
    EXPECT_EQ(row.substr(26, 13), "  0.00000    ");
}

TEST(TableParameterRow, WriterEndsTheLine) {
    std::ostringstream out;
    writeParameterRow(out, sampleParameters());
    EXPECT_EQ(out.str(), parameterRowLine(sampleParameters()) + "\n");
    EXPECT_EQ(out.str().size(), 22u * 13u + 1u);
}

}  // namespace
}  // namespace carinex
