// Tests of the fixed-field and free-format writer. The expected strings are
// what gfortran 12 writes for the same values with the same edit descriptors
// (WRITE with an explicit format, or PRINT * for the free-format records), so
// every report line keeps the column layout of the Fortran original.
#include "platform/fixed_format.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

namespace carinex {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(FieldA, RightAlignsShortText) {
    EXPECT_EQ(fieldA("ab", 5), "   ab");
    EXPECT_EQ(fieldA("Speed", 10), "     Speed");
    EXPECT_EQ(fieldA("", 1), " ");
    EXPECT_EQ(fieldA("", 3), "   ");
}

TEST(FieldA, TextOfExactWidthIsUnchanged) {
    EXPECT_EQ(fieldA("abc", 3), "abc");
    EXPECT_EQ(fieldA("x", 1), "x");
}

TEST(FieldA, LongTextKeepsItsFirstCharacters) {
    EXPECT_EQ(fieldA("abcdef", 3), "abc");
    EXPECT_EQ(fieldA("Resistance", 4), "Resi");
    EXPECT_EQ(fieldA("abcdef", 1), "a");
}

// Fortran has no A0; a field of no width is simply empty.
TEST(FieldA, ZeroWidthWritesNothing) {
    EXPECT_EQ(fieldA("abc", 0), "");
}

TEST(FieldI, RightAlignsInTheField) {
    EXPECT_EQ(fieldI(1234, 12), "        1234");
    EXPECT_EQ(fieldI(-1234567890, 12), " -1234567890");
    EXPECT_EQ(fieldI(0, 1), "0");
    EXPECT_EQ(fieldI(-1, 2), "-1");
    EXPECT_EQ(fieldI(-99, 3), "-99");
    EXPECT_EQ(fieldI(42, 6), "    42");
}

TEST(FieldI, OverflowGivesAsterisks) {
    EXPECT_EQ(fieldI(1000, 3), "***");
    EXPECT_EQ(fieldI(-100, 3), "***");
    EXPECT_EQ(fieldI(-5, 1), "*");
    EXPECT_EQ(fieldI(std::numeric_limits<long long>::min(), 19), "*******************");
}

TEST(FieldI, ExtremeValues) {
    EXPECT_EQ(fieldI(std::numeric_limits<long long>::min(), 20), "-9223372036854775808");
    EXPECT_EQ(fieldI(std::numeric_limits<long long>::max(), 19), "9223372036854775807");
}

TEST(FieldF, WidthsAndDecimals) {
    EXPECT_EQ(fieldF(1234.5678, 14, 2), "       1234.57");
    EXPECT_EQ(fieldF(0.005, 14, 2), "          0.01");
    EXPECT_EQ(fieldF(98765432109.87, 14, 2), "98765432109.87");
    EXPECT_EQ(fieldF(3.14159265358979, 14, 6), "      3.141593");
    EXPECT_EQ(fieldF(0.0000015, 14, 6), "      0.000002");
    EXPECT_EQ(fieldF(1e-10, 14, 6), "      0.000000");
    EXPECT_EQ(fieldF(1234.5678, 8, 3), "1234.568");
    EXPECT_EQ(fieldF(0.0625, 8, 3), "   0.062");
    EXPECT_EQ(fieldF(1.23456, 8, 4), "  1.2346");
    EXPECT_EQ(fieldF(0.00015, 8, 4), "  0.0001");
    EXPECT_EQ(fieldF(12.34, 6, 1), "  12.3");
    EXPECT_EQ(fieldF(99.95, 6, 1), " 100.0");
    EXPECT_EQ(fieldF(0.05, 6, 1), "   0.1");
    EXPECT_EQ(fieldF(7.0, 3, 0), " 7.");
    EXPECT_EQ(fieldF(0.1, 30, 20), "        0.10000000000000000555");
}

TEST(FieldF, NegativeValuesKeepTheWidth) {
    EXPECT_EQ(fieldF(-1234.5678, 14, 2), "      -1234.57");
    EXPECT_EQ(fieldF(-3.14159265358979, 14, 6), "     -3.141593");
    EXPECT_EQ(fieldF(-123.4567, 8, 3), "-123.457");
    EXPECT_EQ(fieldF(-1.23456, 8, 4), " -1.2346");
    EXPECT_EQ(fieldF(-99.95, 6, 1), "-100.0");
    EXPECT_EQ(fieldF(-0.00005, 8, 4), " -0.0001");
}

TEST(FieldF, NegativeValuesThatRoundToZeroKeepTheirSign) {
    EXPECT_EQ(fieldF(-0.001, 5, 2), "-0.00");
    EXPECT_EQ(fieldF(-1e-10, 14, 6), "     -0.000000");
    EXPECT_EQ(fieldF(-0.0, 5, 2), "-0.00");
    EXPECT_EQ(fieldF(-0.4, 3, 0), "-0.");
    EXPECT_EQ(fieldF(0.0, 5, 2), " 0.00");
}

TEST(FieldF, LeadingZeroIsDroppedOnlyWhenTheFieldIsFull) {
    EXPECT_EQ(fieldF(0.5, 4, 3), ".500");
    EXPECT_EQ(fieldF(0.5, 5, 3), "0.500");
    EXPECT_EQ(fieldF(-0.5, 5, 3), "-.500");
    EXPECT_EQ(fieldF(-0.5, 6, 3), "-0.500");
    EXPECT_EQ(fieldF(-0.04, 3, 1), "-.0");
    EXPECT_EQ(fieldF(0.04, 2, 1), ".0");
    EXPECT_EQ(fieldF(-0.0, 4, 2), "-.00");
    EXPECT_EQ(fieldF(0.04, 2, 0), "0.");
    EXPECT_EQ(fieldF(0.0, 1, 0), "*");
}

TEST(FieldF, OverflowGivesAsterisks) {
    EXPECT_EQ(fieldF(12345.5678, 8, 3), "********");
    EXPECT_EQ(fieldF(-1234.5678, 8, 3), "********");
    EXPECT_EQ(fieldF(-0.5, 4, 3), "****");
    EXPECT_EQ(fieldF(-999.95, 6, 1), "******");
    EXPECT_EQ(fieldF(99999.94, 6, 1), "******");
    EXPECT_EQ(fieldF(1e300, 14, 2), "**************");
    EXPECT_EQ(fieldF(-12345678901.345, 14, 2), "**************");
    EXPECT_EQ(fieldF(-0.04, 2, 0), "**");
    EXPECT_EQ(fieldF(0.5, 3, 3), "***");
}

TEST(FieldF, ExactTiesGoToTheEvenDigit) {
    EXPECT_EQ(fieldF(0.125, 5, 2), " 0.12");
    EXPECT_EQ(fieldF(0.375, 5, 2), " 0.38");
    EXPECT_EQ(fieldF(-0.125, 5, 2), "-0.12");
    EXPECT_EQ(fieldF(2.5, 3, 0), " 2.");
    EXPECT_EQ(fieldF(3.5, 3, 0), " 4.");
    EXPECT_EQ(fieldF(0.5, 3, 0), " 0.");
    EXPECT_EQ(fieldF(-0.5, 3, 0), "-0.");
    EXPECT_EQ(fieldF(2.0625, 8, 3), "   2.062");
}

TEST(FieldF, NearTiesFollowTheBinaryValue) {
    EXPECT_EQ(fieldF(0.35, 4, 1), " 0.3");
    EXPECT_EQ(fieldF(0.45, 4, 1), " 0.5");
    EXPECT_EQ(fieldF(1.005, 6, 2), "  1.00");
    EXPECT_EQ(fieldF(1.015, 6, 2), "  1.01");
    EXPECT_EQ(fieldF(0.0000025, 14, 6), "      0.000003");
}

TEST(FieldF, CarryIntoANewDigit) {
    EXPECT_EQ(fieldF(9.9996, 8, 3), "  10.000");
    EXPECT_EQ(fieldF(-999.9996, 8, 3), "********");
    EXPECT_EQ(fieldF(9.96, 6, 1), "  10.0");
}

TEST(FieldF, HugeAndTinyValues) {
    EXPECT_EQ(fieldF(1e30, 50, 2), "                1000000000000000019884624838656.00");
    EXPECT_EQ(fieldF(5e-324, 30, 25), "   0.0000000000000000000000000");
    EXPECT_EQ(fieldF(-2.2250738585072014e-308, 14, 6), "     -0.000000");
    EXPECT_EQ(fieldF(1.7976931348623157e308, 14, 2), "**************");
}

TEST(FieldF, NaNAndInfinity) {
    EXPECT_EQ(fieldF(kInf, 8, 3), "Infinity");
    EXPECT_EQ(fieldF(kInf, 9, 3), " Infinity");
    EXPECT_EQ(fieldF(kInf, 7, 3), "    Inf");
    EXPECT_EQ(fieldF(kInf, 3, 0), "Inf");
    EXPECT_EQ(fieldF(kInf, 2, 0), "**");
    EXPECT_EQ(fieldF(-kInf, 9, 3), "-Infinity");
    EXPECT_EQ(fieldF(-kInf, 8, 3), "    -Inf");
    EXPECT_EQ(fieldF(-kInf, 4, 0), "-Inf");
    EXPECT_EQ(fieldF(-kInf, 3, 0), "***");
    EXPECT_EQ(fieldF(kNaN, 8, 3), "     NaN");
    EXPECT_EQ(fieldF(kNaN, 3, 1), "NaN");
    EXPECT_EQ(fieldF(kNaN, 2, 1), "**");
}

TEST(FieldE, MantissaAndTwoDigitExponent) {
    EXPECT_EQ(fieldE(1234.5, 12, 4), "  0.1234E+04");
    EXPECT_EQ(fieldE(0.0012345, 12, 4), "  0.1234E-02");
    EXPECT_EQ(fieldE(3.14159265358979, 14, 7), " 0.3141593E+01");
    EXPECT_EQ(fieldE(0.125, 12, 4), "  0.1250E+00");
    EXPECT_EQ(fieldE(1e99, 12, 4), "  0.1000+100");
    EXPECT_EQ(fieldE(1e-99, 12, 4), "  0.1000E-98");
    EXPECT_EQ(fieldE(1e-100, 12, 4), "  0.1000E-99");
    EXPECT_EQ(fieldE(0.1, 30, 22), "  0.1000000000000000055511E+00");
}

TEST(FieldE, NegativeValues) {
    EXPECT_EQ(fieldE(-1234.5, 12, 4), " -0.1234E+04");
    EXPECT_EQ(fieldE(-2.718281828459045, 15, 8), "-0.27182818E+01");
    EXPECT_EQ(fieldE(-1e-100, 12, 4), " -0.1000E-99");
    EXPECT_EQ(fieldE(-0.0, 12, 4), " -0.0000E+00");
}

TEST(FieldE, Zero) {
    EXPECT_EQ(fieldE(0.0, 12, 4), "  0.0000E+00");
    EXPECT_EQ(fieldE(0.0, 9, 2), " 0.00E+00");
}

TEST(FieldE, ThreeDigitExponentDropsTheE) {
    EXPECT_EQ(fieldE(1e100, 12, 4), "  0.1000+101");
    EXPECT_EQ(fieldE(1e-300, 12, 4), "  0.1000-299");
    EXPECT_EQ(fieldE(5e-324, 12, 4), "  0.4941-323");
    EXPECT_EQ(fieldE(1.7976931348623157e308, 12, 4), "  0.1798+309");
    EXPECT_EQ(fieldE(-1e200, 12, 4), " -0.1000+201");
}

TEST(FieldE, RoundingCarriesIntoTheExponent) {
    EXPECT_EQ(fieldE(9.99996, 12, 4), "  0.1000E+02");
    EXPECT_EQ(fieldE(9.99996e99, 12, 4), "  0.1000+101");
    EXPECT_EQ(fieldE(9.99996e-100, 12, 4), "  0.1000E-98");
    EXPECT_EQ(fieldE(0.25, 8, 1), " 0.2E+00");
    EXPECT_EQ(fieldE(0.35, 8, 1), " 0.3E+00");
}

TEST(FieldE, LeadingZeroAndOverflow) {
    EXPECT_EQ(fieldE(1234.5, 10, 4), "0.1234E+04");
    EXPECT_EQ(fieldE(1234.5, 9, 4), ".1234E+04");
    EXPECT_EQ(fieldE(1234.5, 8, 4), "********");
    EXPECT_EQ(fieldE(-1234.5, 10, 4), "-.1234E+04");
    EXPECT_EQ(fieldE(-1234.5, 9, 4), "*********");
    EXPECT_EQ(fieldE(1e-300, 9, 4), ".1000-299");
    EXPECT_EQ(fieldE(0.25, 6, 1), ".2E+00");
    EXPECT_EQ(fieldE(-0.25, 6, 1), "******");
}

TEST(FieldE, NaNAndInfinity) {
    EXPECT_EQ(fieldE(kInf, 12, 4), "    Infinity");
    EXPECT_EQ(fieldE(-kInf, 12, 4), "   -Infinity");
    EXPECT_EQ(fieldE(kNaN, 12, 4), "         NaN");
}

TEST(FieldG, FixedFormWithTrailingBlanks) {
    EXPECT_EQ(fieldG(1.0, 14, 7), "  1.000000    ");
    EXPECT_EQ(fieldG(3.14159265, 14, 7), "  3.141593    ");
    EXPECT_EQ(fieldG(123.456789, 14, 7), "  123.4568    ");
    EXPECT_EQ(fieldG(1234567.8, 14, 7), "  1234568.    ");
    EXPECT_EQ(fieldG(0.1, 14, 7), " 0.1000000    ");
    EXPECT_EQ(fieldG(0.5, 14, 7), " 0.5000000    ");
    EXPECT_EQ(fieldG(1.5, 12, 6), " 1.50000    ");
    EXPECT_EQ(fieldG(0.1, 12, 6), "0.100000    ");
    EXPECT_EQ(fieldG(98765.4321, 12, 6), " 98765.4    ");
    EXPECT_EQ(fieldG(0.5, 12, 5), " 0.50000    ");
    EXPECT_EQ(fieldG(2.5, 12, 5), "  2.5000    ");
    EXPECT_EQ(fieldG(12345.6, 12, 5), "  12346.    ");
    EXPECT_EQ(fieldG(123456.7, 13, 6), "  123457.    ");
    EXPECT_EQ(fieldG(0.999999, 13, 6), " 0.999999    ");
}

TEST(FieldG, NegativeValues) {
    EXPECT_EQ(fieldG(-1.0, 14, 7), " -1.000000    ");
    EXPECT_EQ(fieldG(-123.456789, 14, 7), " -123.4568    ");
    EXPECT_EQ(fieldG(-1.5, 12, 6), "-1.50000    ");
    EXPECT_EQ(fieldG(-0.1, 12, 6), "-.100000    ");
    EXPECT_EQ(fieldG(-99999.4, 12, 5), " -99999.    ");
    EXPECT_EQ(fieldG(-123456.7, 13, 6), " -123457.    ");
    EXPECT_EQ(fieldG(-1234567.0, 13, 6), "-0.123457E+07");
    EXPECT_EQ(fieldG(-1e-10, 14, 7), "-0.1000000E-09");
}

TEST(FieldG, Zero) {
    EXPECT_EQ(fieldG(0.0, 14, 7), "  0.000000    ");
    EXPECT_EQ(fieldG(-0.0, 14, 7), " -0.000000    ");
    EXPECT_EQ(fieldG(0.0, 12, 6), " 0.00000    ");
    EXPECT_EQ(fieldG(0.0, 12, 5), "  0.0000    ");
    EXPECT_EQ(fieldG(0.0, 13, 6), "  0.00000    ");
    EXPECT_EQ(fieldG(0.0, 9, 1), "   0.    ");
}

TEST(FieldG, SwitchesToExponentFormBelowOneTenth) {
    EXPECT_EQ(fieldG(0.099999999, 14, 7), " 0.1000000    ");
    EXPECT_EQ(fieldG(0.09999999, 14, 7), " 0.9999999E-01");
    EXPECT_EQ(fieldG(0.0999999949, 14, 7), " 0.9999999E-01");
    EXPECT_EQ(fieldG(0.05, 14, 7), " 0.5000000E-01");
    EXPECT_EQ(fieldG(0.09999995, 12, 6), "0.100000    ");
    EXPECT_EQ(fieldG(0.09999994, 12, 6), "0.999999E-01");
    EXPECT_EQ(fieldG(0.000123, 13, 6), " 0.123000E-03");
    EXPECT_EQ(fieldG(0.01, 12, 5), " 0.10000E-01");
}

TEST(FieldG, SwitchesToExponentFormAtTenToTheD) {
    EXPECT_EQ(fieldG(9999999.4, 14, 7), "  9999999.    ");
    EXPECT_EQ(fieldG(9999999.5, 14, 7), " 0.1000000E+08");
    EXPECT_EQ(fieldG(9999999.6, 14, 7), " 0.1000000E+08");
    EXPECT_EQ(fieldG(1e10, 14, 7), " 0.1000000E+11");
    EXPECT_EQ(fieldG(999999.4, 12, 6), " 999999.    ");
    EXPECT_EQ(fieldG(999999.5, 12, 6), "0.100000E+07");
    EXPECT_EQ(fieldG(99999.5, 12, 5), " 0.10000E+06");
    EXPECT_EQ(fieldG(12345.4, 12, 5), "  12345.    ");
    EXPECT_EQ(fieldG(9.4, 9, 1), "   9.    ");
    EXPECT_EQ(fieldG(9.6, 9, 1), "  0.1E+02");
}

TEST(FieldG, DecimalsFollowTheRoundedMagnitude) {
    EXPECT_EQ(fieldG(9.9999996, 14, 7), "  10.00000    ");
    EXPECT_EQ(fieldG(99.999996, 14, 7), "  100.0000    ");
    EXPECT_EQ(fieldG(0.99999996, 14, 7), "  1.000000    ");
    EXPECT_EQ(fieldG(999.5, 10, 3), " 0.100E+04");
    EXPECT_EQ(fieldG(998.5, 10, 3), "  998.    ");
    EXPECT_EQ(fieldG(0.1235, 10, 3), " 0.123    ");
}

TEST(FieldG, BoundaryIsComparedInDoubleArithmetic) {
    EXPECT_EQ(fieldG(999999.9999995, 29, 12), "            1000000.00000    ");
    EXPECT_EQ(fieldG(999999.999999, 29, 12), "            999999.999999    ");
}

TEST(FieldG, HugeAndTinyValues) {
    EXPECT_EQ(fieldG(1e100, 14, 7), " 0.1000000+101");
    EXPECT_EQ(fieldG(1e-100, 14, 7), " 0.1000000E-99");
    EXPECT_EQ(fieldG(5e-324, 14, 7), " 0.4940656-323");
    EXPECT_EQ(fieldG(-1.7976931348623157e308, 14, 7), "-0.1797693+309");
}

TEST(FieldG, OverflowFillsTheWholeField) {
    EXPECT_EQ(fieldG(1.0, 6, 2), "******");
    EXPECT_EQ(fieldG(1.0, 7, 2), "1.0    ");
    EXPECT_EQ(fieldG(-1.0, 7, 2), "*******");
    EXPECT_EQ(fieldG(0.0, 5, 1), "*****");
    EXPECT_EQ(fieldG(1.0, 4, 1), "****");
    EXPECT_EQ(fieldG(-0.001, 6, 1), "******");
    EXPECT_EQ(fieldG(0.001, 7, 1), "0.1E-02");
    EXPECT_EQ(fieldG(0.001, 6, 1), ".1E-02");
}

TEST(FieldG, NaNAndInfinity) {
    EXPECT_EQ(fieldG(kInf, 14, 7), "      Infinity");
    EXPECT_EQ(fieldG(-kInf, 14, 7), "     -Infinity");
    EXPECT_EQ(fieldG(kNaN, 14, 7), "           NaN");
    EXPECT_EQ(fieldG(-kInf, 8, 1), "    -Inf");
    EXPECT_EQ(fieldG(kInf, 4, 1), " Inf");
}

// gfortran rejects Ew.0 and Gw.0 at run time; here such a field is filled
// with asterisks, and a field of no width is empty.
TEST(FieldDegenerate, InvalidDescriptorsDoNotThrow) {
    EXPECT_EQ(fieldE(1.5, 8, 0), "********");
    EXPECT_EQ(fieldG(1.5, 8, 0), "********");
    EXPECT_EQ(fieldF(1.5, 5, -1), "*****");
    EXPECT_EQ(fieldF(1.5, 0, 1), "");
    EXPECT_EQ(fieldE(1.5, 0, 1), "");
    EXPECT_EQ(fieldG(1.5, 0, 1), "");
    EXPECT_EQ(fieldI(7, 0), "");
}

TEST(FormattedRecord, FieldsFollowEachOther) {
    FormattedRecord r;
    r.A("Speed", 10).F(5.25, 8, 3).I(12, 6).G(0.0123, 14, 7).X(1).A("kn");
    EXPECT_EQ(r.str(), "     Speed   5.250    12 0.1230000E-01 kn");
}

TEST(FormattedRecord, TabAndSkipPadWithBlanks) {
    FormattedRecord r;
    r.A("Fn").T(12).F(0.35, 8, 4).T(22).G(1234.5678, 12, 5).X(1).I(1000, 3);
    EXPECT_EQ(r.str(), "Fn           0.3500    1234.6     ***");

    FormattedRecord s;
    s.X(3).A("dT").X(2).F(-0.04, 6, 1);
    EXPECT_EQ(s.str(), "   dT    -0.0");

    FormattedRecord t;
    t.T(5).A("x");
    EXPECT_EQ(t.str(), "    x");

    FormattedRecord u;
    u.A("abc").T(10).A("Z");
    EXPECT_EQ(u.str(), "abc      Z");
}

TEST(FormattedRecord, TabToTheLeftOverwrites) {
    FormattedRecord r;
    r.A("abcdef").T(3).A("Z");
    EXPECT_EQ(r.str(), "abZdef");

    FormattedRecord s;
    s.A("abcdef").T(3).A("Z").A("Y");
    EXPECT_EQ(s.str(), "abZYef");

    FormattedRecord t;
    t.A("abcdef").T(3).A("ZYXWVU");
    EXPECT_EQ(t.str(), "abZYXWVU");

    FormattedRecord u;
    u.A("abcdef").T(3).A("Z").T(20).A("Q");
    EXPECT_EQ(u.str(), "abZdef             Q");
}

// After a tab to the left, X moves over the characters already written
// instead of blanking them.
TEST(FormattedRecord, SkipOverExistingText) {
    FormattedRecord r;
    r.A("abcdef").T(1).X(2).A("Z");
    EXPECT_EQ(r.str(), "abZdef");

    FormattedRecord s;
    s.A("abcdef").T(3).X(5).A("Z");
    EXPECT_EQ(s.str(), "abcdef Z");
}

TEST(FormattedRecord, TextWithAndWithoutWidth) {
    FormattedRecord r;
    r.A("ab", 5).A("abcdef", 3).A("", 1);
    EXPECT_EQ(r.str(), "   ababc ");

    FormattedRecord s;
    s.A("Total:").A(" ").A("ok");
    EXPECT_EQ(s.str(), "Total: ok");
}

// Unlike gfortran, which drops a trailing skip or tab that nothing follows,
// the record keeps the blanks: a line may end in empty columns.
TEST(FormattedRecord, TrailingSkipAndTabKeepTheirBlanks) {
    FormattedRecord r;
    r.A("abc").X(5);
    EXPECT_EQ(r.str(), "abc     ");

    FormattedRecord s;
    s.A("abc").T(8);
    EXPECT_EQ(s.str(), "abc    ");

    FormattedRecord t;
    t.A("abcdef").T(2);
    EXPECT_EQ(t.str(), "abcdef");
}

TEST(FormattedRecord, StartsEmpty) {
    FormattedRecord r;
    EXPECT_EQ(r.str(), "");
    r.T(1).X(0);
    EXPECT_EQ(r.str(), "");
}

TEST(FreeRecord, StartsWithOneBlank) {
    FreeRecord r;
    EXPECT_EQ(r.str(), " ");
}

TEST(FreeRecord, TextItemsFollowEachOther) {
    FreeRecord r;
    r.text("abc").text("def");
    EXPECT_EQ(r.str(), " abcdef");
}

TEST(FreeRecord, IntegersTakeTwelveColumns) {
    EXPECT_EQ(FreeRecord().integer(1).str(), "           1");
    EXPECT_EQ(FreeRecord().integer(-2147483647).str(), " -2147483647");
    EXPECT_EQ(FreeRecord().text("abc").integer(1).str(), " abc           1");
    EXPECT_EQ(FreeRecord().integer(2).integer(3).str(), "           2           3");
}

// gfortran writes a 64-bit integer in 20 columns; here every integer takes
// twelve and only a longer one widens the item.
TEST(FreeRecord, LongIntegersAreNotTruncated) {
    EXPECT_EQ(FreeRecord().integer(1234567890123LL).str(), " 1234567890123");
    EXPECT_EQ(FreeRecord().text("a").integer(-12345678901LL).str(), " a -12345678901");
}

TEST(FreeRecord, RealsInFixedForm) {
    EXPECT_EQ(FreeRecord().real(1.5).str(), "   1.5000000000000000     ");
    EXPECT_EQ(FreeRecord().real(0.0).str(), "   0.0000000000000000     ");
    EXPECT_EQ(FreeRecord().real(-0.0).str(), "  -0.0000000000000000     ");
    EXPECT_EQ(FreeRecord().real(0.1).str(), "  0.10000000000000001     ");
    EXPECT_EQ(FreeRecord().real(1.0 / 3.0).str(), "  0.33333333333333331     ");
    EXPECT_EQ(FreeRecord().real(-2.0 / 3.0).str(), " -0.66666666666666663     ");
    EXPECT_EQ(FreeRecord().real(123456.789).str(), "   123456.78900000000     ");
    EXPECT_EQ(FreeRecord().real(1e16).str(), "   10000000000000000.     ");
    EXPECT_EQ(FreeRecord().real(99999999999999984.0).str(), "   99999999999999984.     ");
}

TEST(FreeRecord, RealsInExponentForm) {
    EXPECT_EQ(FreeRecord().real(1e17).str(), "   1.0000000000000000E+017");
    EXPECT_EQ(FreeRecord().real(0.09).str(), "   8.9999999999999997E-002");
    EXPECT_EQ(FreeRecord().real(1e-5).str(), "   1.0000000000000001E-005");
    EXPECT_EQ(FreeRecord().real(-1e300).str(), "  -1.0000000000000001E+300");
    EXPECT_EQ(FreeRecord().real(1e-300).str(), "   1.0000000000000000E-300");
    EXPECT_EQ(FreeRecord().real(1.7976931348623157e308).str(), "   1.7976931348623157E+308");
    EXPECT_EQ(FreeRecord().real(2.2250738585072014e-308).str(), "   2.2250738585072014E-308");
    EXPECT_EQ(FreeRecord().real(5e-324).str(), "   4.9406564584124654E-324");
}

TEST(FreeRecord, NaNAndInfinity) {
    EXPECT_EQ(FreeRecord().real(kNaN).text("a").str(), "                       NaN a");
    EXPECT_EQ(FreeRecord().real(kInf).str(), "                  Infinity");
    EXPECT_EQ(FreeRecord().real(-kInf).integer(7).str(), "                 -Infinity           7");
}

TEST(FreeRecord, TextAfterANumberGetsOneBlank) {
    EXPECT_EQ(FreeRecord().real(1.5).text("abc").str(), "   1.5000000000000000      abc");
    EXPECT_EQ(FreeRecord().real(1e300).text("abc").str(), "   1.0000000000000001E+300 abc");
    EXPECT_EQ(FreeRecord().integer(3).text("x").text("y").str(), "           3 xy");
}

TEST(FreeRecord, ItemsInSequence) {
    FreeRecord r;
    r.text("abc").text("def").integer(2).integer(3).text("x").text("y");
    EXPECT_EQ(r.str(), " abcdef           2           3 xy");

    FreeRecord s;
    s.text("abc").real(1.5).real(2.5).text("z");
    EXPECT_EQ(s.str(), " abc   1.5000000000000000        2.5000000000000000      z");

    FreeRecord t;
    t.integer(1).real(2.5).integer(3);
    EXPECT_EQ(t.str(), "           1   2.5000000000000000                3");

    FreeRecord u;
    u.text("Resistance").real(12.5).text("N at").integer(7).text("kn");
    EXPECT_EQ(u.str(), " Resistance   12.500000000000000      N at           7 kn");
}

TEST(FreeRecord, WriteFreeWritesOneLine) {
    std::ostringstream os;
    writeFree(os, "Total: ", 1234.5);
    EXPECT_EQ(os.str(), " Total:    1234.5000000000000     \n");
}

TEST(FreeRecord, WriteFreeAcceptsAllItemTypes) {
    std::ostringstream os;
    const std::string label = "Iterations:";
    writeFree(os, label, 42, std::string_view(" converged"));
    writeFree(os, 1.5f, 3L, "end");
    EXPECT_EQ(os.str(),
              " Iterations:          42  converged\n"
              "   1.5000000000000000                3 end\n");
}

}  // namespace
}  // namespace carinex
