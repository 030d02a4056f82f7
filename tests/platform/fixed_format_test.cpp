// Tests of the fixed-field and free-format writer. The expected strings are
// what gfortran 12 writes for the same values with the same edit descriptors
// (WRITE with an explicit format, or PRINT * for the free-format records), so
// every report line keeps the column layout of the Fortran original.
#include "platform/fixed_format.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

namespace carinex {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct RealCase {
    double v;
    int w, d;
    std::string_view expected;
};

// Every case through one real field, the descriptor named in the message.
void check(std::string (*field)(double, int, int), char letter, std::initializer_list<RealCase> cases) {
    for (const RealCase& c : cases)
        EXPECT_EQ(field(c.v, c.w, c.d), c.expected) << letter << c.w << '.' << c.d << " of " << std::setprecision(17)
                                                    << c.v;
}

TEST(FieldA, RightAlignedOrCutToItsFirstCharacters) {
    const struct {
        std::string_view text;
        int w;
        std::string_view expected;
    } cases[] = {
        {"ab", 5, "   ab"}, {"", 3, "   "}, {"abc", 3, "abc"}, {"abcdef", 3, "abc"}, {"abcdef", 1, "a"},
        {"abc", 0, ""},  // Fortran has no A0; a field of no width is empty
    };
    for (const auto& c : cases) EXPECT_EQ(fieldA(c.text, c.w), c.expected) << c.text << " in A" << c.w;
}

TEST(FieldI, RightAlignedOrAsterisks) {
    constexpr long long kMin = std::numeric_limits<long long>::min();
    const struct {
        long long v;
        int w;
        std::string_view expected;
    } cases[] = {
        {1234, 12, "        1234"}, {-1234567890, 12, " -1234567890"}, {-99, 3, "-99"}, {7, 0, ""},
        {1000, 3, "***"}, {-100, 3, "***"}, {kMin, 19, "*******************"},
        {kMin, 20, "-9223372036854775808"}, {std::numeric_limits<long long>::max(), 19, "9223372036854775807"},
    };
    for (const auto& c : cases) EXPECT_EQ(fieldI(c.v, c.w), c.expected) << c.v << " in I" << c.w;
}

TEST(FieldF, DigitsFollowTheBinaryValueCorrectlyRounded) {
    check(fieldF, 'F', {
        {1234.5678, 14, 2, "       1234.57"},
        {98765432109.87, 14, 2, "98765432109.87"},
        {7.0, 3, 0, " 7."},
        {0.1, 30, 20, "        0.10000000000000000555"},
        {1e30, 50, 2, "                1000000000000000019884624838656.00"},
        {5e-324, 30, 25, "   0.0000000000000000000000000"},
        // exact ties go to the even digit
        {0.125, 5, 2, " 0.12"},
        {0.375, 5, 2, " 0.38"},
        {-0.125, 5, 2, "-0.12"},
        {3.5, 3, 0, " 4."},
        {0.5, 3, 0, " 0."},
        // near ties follow the binary value
        {0.005, 14, 2, "          0.01"},
        {0.35, 4, 1, " 0.3"},
        {0.45, 4, 1, " 0.5"},
        {1.005, 6, 2, "  1.00"},
        // carries into a new digit
        {99.95, 6, 1, " 100.0"},
        {-99.95, 6, 1, "-100.0"},
        {9.9996, 8, 3, "  10.000"},
    });
}

TEST(FieldF, SignAndLeadingZero) {
    check(fieldF, 'F', {
        {-123.4567, 8, 3, "-123.457"},
        // a negative value that rounds to zero keeps its sign, -0.0 too
        {-0.001, 5, 2, "-0.00"},
        {-0.0, 5, 2, "-0.00"},
        {-0.4, 3, 0, "-0."},
        {0.0, 5, 2, " 0.00"},
        // the zero before the point goes only when the field is full
        {0.5, 5, 3, "0.500"},
        {0.5, 4, 3, ".500"},
        {-0.5, 5, 3, "-.500"},
        {-0.0, 4, 2, "-.00"},
        {0.04, 2, 1, ".0"},
        {0.04, 2, 0, "0."},  // a lone "0." keeps its zero
        {0.0, 1, 0, "*"},
    });
}

TEST(FieldF, OverflowGivesAsterisks) {
    check(fieldF, 'F', {
        {12345.5678, 8, 3, "********"},
        {-1234.5678, 8, 3, "********"},
        {-999.9996, 8, 3, "********"},  // by the carry
        {99999.94, 6, 1, "******"},
        {-0.5, 4, 3, "****"},
        {-0.04, 2, 0, "**"},
        {0.5, 3, 3, "***"},
        {1e300, 14, 2, "**************"},
        {1.5, 5, -1, "*****"},  // no descriptor at all; a field of no width is empty
        {1.5, 0, 1, ""},
    });
}

// "Infinity" when it fits with a minus sign (a plus sign is not written),
// "Inf" otherwise, then asterisks; the same in every real field.
TEST(FieldF, NaNAndInfinity) {
    check(fieldF, 'F', {
        {kInf, 8, 3, "Infinity"},
        {kInf, 7, 3, "    Inf"},
        {kInf, 2, 0, "**"},
        {-kInf, 9, 3, "-Infinity"},
        {-kInf, 8, 3, "    -Inf"},
        {-kInf, 3, 0, "***"},
        {kNaN, 3, 1, "NaN"},
        {kNaN, 2, 1, "**"},
    });
}

TEST(FieldE, MantissaAndExponent) {
    check(fieldE, 'E', {
        {1234.5, 12, 4, "  0.1234E+04"},
        {0.0012345, 12, 4, "  0.1234E-02"},
        {0.125, 12, 4, "  0.1250E+00"},
        {0.1, 30, 22, "  0.1000000000000000055511E+00"},
        {-1234.5, 12, 4, " -0.1234E+04"},
        {0.0, 12, 4, "  0.0000E+00"},
        {-0.0, 12, 4, " -0.0000E+00"},
        // a three-digit exponent drops the E
        {1e99, 12, 4, "  0.1000+100"},
        {1e-100, 12, 4, "  0.1000E-99"},
        {5e-324, 12, 4, "  0.4941-323"},
        {1.7976931348623157e308, 12, 4, "  0.1798+309"},
        // rounding carries into the exponent; ties to even
        {9.99996, 12, 4, "  0.1000E+02"},
        {9.99996e99, 12, 4, "  0.1000+101"},
        {9.99996e-100, 12, 4, "  0.1000E-98"},
        {0.25, 8, 1, " 0.2E+00"},
        // leading zero and overflow
        {1234.5, 10, 4, "0.1234E+04"},
        {1234.5, 9, 4, ".1234E+04"},
        {1234.5, 8, 4, "********"},
        {-1234.5, 10, 4, "-.1234E+04"},
        {-1234.5, 9, 4, "*********"},
        {1e-300, 9, 4, ".1000-299"},
        {kInf, 12, 4, "    Infinity"},
        {1.5, 8, 0, "********"},  // gfortran rejects E8.0 at run time
        {1.5, 0, 1, ""},
    });
}

// G: d significant digits, fixed form F(w-4) and four blanks for
// 0.1 <= |v| < 10**d after rounding, else E.
TEST(FieldG, FixedFormWithTrailingBlanks) {
    check(fieldG, 'G', {
        {1.0, 14, 7, "  1.000000    "},
        {1234567.8, 14, 7, "  1234568.    "},
        {0.1, 14, 7, " 0.1000000    "},
        {0.1, 12, 6, "0.100000    "},
        {-0.1, 12, 6, "-.100000    "},
        {0.999999, 13, 6, " 0.999999    "},
        {-99999.4, 12, 5, " -99999.    "},
        {0.0, 14, 7, "  0.000000    "},
        {-0.0, 14, 7, " -0.000000    "},
        {0.0, 9, 1, "   0.    "},
        // the decimals follow the rounded magnitude
        {9.9999996, 14, 7, "  10.00000    "},
        {0.99999996, 14, 7, "  1.000000    "},
        {998.5, 10, 3, "  998.    "},
        // the boundary is compared in double arithmetic, as gfortran does
        {999999.9999995, 29, 12, "            1000000.00000    "},
        {999999.999999, 29, 12, "            999999.999999    "},
    });
}

TEST(FieldG, ExponentFormOutsideTheFixedRange) {
    check(fieldG, 'G', {
        // below one tenth after rounding
        {0.099999999, 14, 7, " 0.1000000    "},
        {0.0999999949, 14, 7, " 0.9999999E-01"},
        {0.09999999, 14, 7, " 0.9999999E-01"},
        {0.09999995, 12, 6, "0.100000    "},
        {0.09999994, 12, 6, "0.999999E-01"},
        {-1e-10, 14, 7, "-0.1000000E-09"},
        // at 10**d after rounding
        {9999999.4, 14, 7, "  9999999.    "},
        {9999999.5, 14, 7, " 0.1000000E+08"},
        {999999.5, 12, 6, "0.100000E+07"},
        {-1234567.0, 13, 6, "-0.123457E+07"},
        {999.5, 10, 3, " 0.100E+04"},
        {9.4, 9, 1, "   9.    "},
        {9.6, 9, 1, "  0.1E+02"},
        {1e100, 14, 7, " 0.1000000+101"},
        {5e-324, 14, 7, " 0.4940656-323"},
    });
}

TEST(FieldG, OverflowFillsTheWholeField) {
    check(fieldG, 'G', {
        {1.0, 6, 2, "******"},
        {1.0, 7, 2, "1.0    "},
        {-1.0, 7, 2, "*******"},
        {0.0, 5, 1, "*****"},
        {-0.001, 6, 1, "******"},
        {0.001, 7, 1, "0.1E-02"},
        {0.001, 6, 1, ".1E-02"},
        {-kInf, 14, 7, "     -Infinity"},
        {kNaN, 14, 7, "           NaN"},
        {1.5, 8, 0, "********"},  // gfortran rejects G8.0 at run time
        {1.5, 0, 1, ""},
    });
}

// Tabs and skips: T moves to a column (1-based), to the left it overwrites;
// X moves over what is already there instead of blanking it. Unlike
// gfortran, which drops a trailing skip or tab, the record keeps the blanks.
TEST(FormattedRecord, FieldsTabsAndSkips) {
    const std::pair<std::string, std::string_view> cases[] = {
        {FormattedRecord().A("Speed", 10).F(5.25, 8, 3).I(12, 6).G(0.0123, 14, 7).X(1).A("kn").str(),
         "     Speed   5.250    12 0.1230000E-01 kn"},
        {FormattedRecord().A("Fn").T(12).F(0.35, 8, 4).T(22).G(1234.5678, 12, 5).X(1).I(1000, 3).str(),
         "Fn           0.3500    1234.6     ***"},
        {FormattedRecord().X(3).A("dT").X(2).F(-0.04, 6, 1).str(), "   dT    -0.0"},
        {FormattedRecord().T(5).A("x").str(), "    x"},
        {FormattedRecord().A("ab", 5).A("abcdef", 3).A("", 1).str(), "   ababc "},
        {FormattedRecord().A("Total:").A(" ").A("ok").str(), "Total: ok"},
        {FormattedRecord().A("abcdef").T(3).A("Z").str(), "abZdef"},
        {FormattedRecord().A("abcdef").T(3).A("Z").A("Y").str(), "abZYef"},
        {FormattedRecord().A("abcdef").T(3).A("ZYXWVU").str(), "abZYXWVU"},
        {FormattedRecord().A("abcdef").T(3).A("Z").T(20).A("Q").str(), "abZdef             Q"},
        {FormattedRecord().A("abcdef").T(1).X(2).A("Z").str(), "abZdef"},
        {FormattedRecord().A("abcdef").T(3).X(5).A("Z").str(), "abcdef Z"},
        {FormattedRecord().A("abc").X(5).str(), "abc     "},
        {FormattedRecord().A("abc").T(8).str(), "abc    "},
        {FormattedRecord().A("abcdef").T(2).str(), "abcdef"},
        {FormattedRecord().T(1).X(0).str(), ""},
    };
    for (const auto& [line, expected] : cases) EXPECT_EQ(line, expected);
}

// One blank column first; text items follow each other, every number after
// the first item gets a blank of its own, and so does a text after a number.
// Integers take 11 columns behind their blank (gfortran gives a 64-bit one
// 20; here only a longer value widens the item); reals are 1PG25.17E3.
TEST(FreeRecord, ItemsAndTheirColumns) {
    const std::pair<std::string, std::string_view> cases[] = {
        {FreeRecord().str(), " "},
        {FreeRecord().integer(-2147483647).str(), " -2147483647"},
        {FreeRecord().text("abc").integer(1).str(), " abc           1"},
        {FreeRecord().integer(1234567890123LL).str(), " 1234567890123"},
        {FreeRecord().text("a").integer(-12345678901LL).str(), " a -12345678901"},
        {FreeRecord().text("abc").text("def").integer(2).integer(3).text("x").text("y").str(),
         " abcdef           2           3 xy"},
        {FreeRecord().text("abc").real(1.5).real(2.5).text("z").str(),
         " abc   1.5000000000000000        2.5000000000000000      z"},
        {FreeRecord().integer(1).real(2.5).integer(3).str(), "           1   2.5000000000000000                3"},
        {FreeRecord().real(-0.0).str(), "  -0.0000000000000000     "},
        {FreeRecord().real(-2.0 / 3.0).str(), " -0.66666666666666663     "},
        {FreeRecord().real(123456.789).str(), "   123456.78900000000     "},
        {FreeRecord().real(99999999999999984.0).str(), "   99999999999999984.     "},
        {FreeRecord().real(1e17).str(), "   1.0000000000000000E+017"},
        {FreeRecord().real(0.09).str(), "   8.9999999999999997E-002"},
        {FreeRecord().real(-1e300).text("abc").str(), "  -1.0000000000000001E+300 abc"},
        {FreeRecord().real(5e-324).str(), "   4.9406564584124654E-324"},
        {FreeRecord().real(kNaN).text("a").str(), "                       NaN a"},
        {FreeRecord().real(-kInf).integer(7).str(), "                 -Infinity           7"},
    };
    for (const auto& [line, expected] : cases) EXPECT_EQ(line, expected);
}

TEST(FreeRecord, WriteFreeWritesOneLineOfAnyItems) {
    std::ostringstream os;
    const std::string label = "Iterations:";
    writeFree(os, label, 42, std::string_view(" converged"));
    writeFree(os, 1.5f, 3L, "end");
    writeFree(os, "Total: ", 1234.5);
    EXPECT_EQ(os.str(),
              " Iterations:          42  converged\n"
              "   1.5000000000000000                3 end\n"
              " Total:    1234.5000000000000     \n");
}

}  // namespace
}  // namespace carinex
