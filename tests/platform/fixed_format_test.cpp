// The fixed-field and free-format writer behind every report, table and
// console line, and the free-format reader of the input files.
// Expected strings are what gfortran 12 writes for the same
// values with the same edit descriptors (WRITE with a format, or PRINT *):
// correct rounding of the binary value, ties to even, carries, signs, the
// optional leading zero, overflow asterisks, Inf/NaN, and the G switch
// between fixed and exponent form.
#include "platform/fixed_format.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "platform/files.h"
#include "platform/record_reader.h"

namespace carinex {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// descriptor, value, w, d, field
const std::tuple<char, double, int, int, std::string_view> kRealCases[] = {
    // F: the digits of the binary value, correctly rounded; exact ties to even
    {'F', 0.1, 30, 20, "        0.10000000000000000555"}, {'F', 0.125, 5, 2, " 0.12"}, {'F', 3.5, 3, 0, " 4."},
    {'F', 1.005, 6, 2, "  1.00"}, {'F', 99.95, 6, 1, " 100.0"},
    // F: a negative value rounding to zero keeps its sign; the zero before the point goes in a full field
    {'F', -0.001, 5, 2, "-0.00"}, {'F', -0.0, 5, 2, "-0.00"}, {'F', -0.4, 3, 0, "-0."},
    {'F', 0.5, 4, 3, ".500"}, {'F', -0.5, 5, 3, "-.500"}, {'F', 0.0, 1, 0, "*"},
    // F: overflow, also by the carry; no descriptor at all
    {'F', -999.9996, 8, 3, "********"}, {'F', 1.5, 5, -1, "*****"}, {'F', 1.5, 0, 1, ""},
    // "Infinity" when it fits with a minus sign (a plus is not written), "Inf", then asterisks
    {'F', kInf, 8, 3, "Infinity"}, {'F', kInf, 7, 3, "    Inf"}, {'F', -kInf, 9, 3, "-Infinity"},
    {'F', -kInf, 3, 0, "***"}, {'F', kNaN, 3, 1, "NaN"}, {'F', kNaN, 2, 1, "**"},
    // E: mantissa below one; a three-digit exponent drops the E; rounding carries into the exponent
    {'E', 0.0012345, 12, 4, "  0.1234E-02"}, {'E', -0.0, 12, 4, " -0.0000E+00"},
    {'E', 1e99, 12, 4, "  0.1000+100"},
    {'E', 9.99996e99, 12, 4, "  0.1000+101"}, {'E', 0.25, 8, 1, " 0.2E+00"}, {'E', 1234.5, 9, 4, ".1234E+04"},
    {'E', 1234.5, 8, 4, "********"}, {'E', -1234.5, 10, 4, "-.1234E+04"}, {'E', -1234.5, 9, 4, "*********"},
    {'E', kInf, 12, 4, "    Infinity"}, {'E', 1.5, 8, 0, "********"}, {'E', 1.5, 0, 1, ""},
    // G: d significant digits; F(w-4) and four blanks for 0.1 <= |v| < 10**d after rounding, else E
    {'G', 1234567.8, 14, 7, "  1234568.    "}, {'G', -0.1, 12, 6, "-.100000    "},
    {'G', 9.9999996, 14, 7, "  10.00000    "},
    // G: the boundary is compared in double arithmetic, as gfortran does
    {'G', 999999.9999995, 29, 12, "            1000000.00000    "},
    {'G', 999999.999999, 29, 12, "            999999.999999    "},
    {'G', 0.099999999, 14, 7, " 0.1000000    "}, {'G', 0.0999999949, 14, 7, " 0.9999999E-01"},
    {'G', 9999999.4, 14, 7, "  9999999.    "}, {'G', 9999999.5, 14, 7, " 0.1000000E+08"},
    {'G', 0.001, 6, 1, ".1E-02"}, {'G', -kInf, 14, 7, "     -Infinity"},
    // G: overflow fills the whole field
    {'G', 1.0, 6, 2, "******"}, {'G', 1.0, 7, 2, "1.0    "}, {'G', -1.0, 7, 2, "*******"},
    {'G', kNaN, 14, 7, "           NaN"}, {'G', 1.5, 8, 0, "********"}, {'G', 1.5, 0, 1, ""},
};

TEST(FixedFormat, RealFields) {
    for (const auto& [descriptor, v, w, d, expected] : kRealCases) {
        const auto field = descriptor == 'F' ? fieldF : descriptor == 'E' ? fieldE : fieldG;
        EXPECT_EQ(field(v, w, d), expected) << descriptor << w << '.' << d << " of " << std::setprecision(17) << v;
    }
}

// A and I fields. Records: T moves to a column (1-based), to the left it overwrites; X moves
// over what is already there. Unlike gfortran the record keeps a trailing skip
// or tab. Free format: one blank column first; texts follow each other, a
// number gets a blank of its own and so does a text after a number. Integers
// take 11 columns (a longer value widens the item); reals are 1PG25.17E3.
TEST(FixedFormat, TextAndIntegerFieldsAndRecords) {
    const std::pair<std::string, std::string_view> cases[] = {
        {fieldA("ab", 5), "   ab"}, {fieldA("abcdef", 3), "abc"}, {fieldI(1000, 3), "***"},
        {fieldI(std::numeric_limits<long long>::min(), 20), "-9223372036854775808"},
        {FormattedRecord().A("Speed", 10).F(5.25, 8, 3).I(12, 6).G(0.0123, 14, 7).X(1).A("kn").str(),
         "     Speed   5.250    12 0.1230000E-01 kn"},
        {FormattedRecord().A("Fn").T(12).F(0.35, 8, 4).T(22).G(1234.5678, 12, 5).X(1).I(1000, 3).str(),
         "Fn           0.3500    1234.6     ***"},
        {FormattedRecord().A("abcdef").T(3).A("Z").T(20).A("Q").str(), "abZdef             Q"},
        {FormattedRecord().A("abcdef").T(3).X(5).A("Z").str(), "abcdef Z"},
        {FreeRecord().str(), " "},
        {FreeRecord().text("abc").text("def").integer(2).integer(3).text("x").text("y").str(),
         " abcdef           2           3 xy"},
        {FreeRecord().real(1e17).str(), "   1.0000000000000000E+017"},
        {FreeRecord().real(-kInf).integer(7).str(), "                 -Infinity           7"},
    };
    for (const auto& [line, expected] : cases) EXPECT_EQ(line, expected);
}

// Free-format reading: line ends of every platform, items, repeats and slashes, and the
// Fortran number forms (the messages for surplus values and decimal commas are
// pinned with the case and offsets readers).
// The items of one record joined by '|', a null item as '_', a slash ending it as a final '/'.
std::string items(std::string_view record) {
    std::vector<std::optional<std::string>> v;
    const bool slash = splitListItems(record, v);
    std::string s;
    for (const auto& item : v) s += (s.empty() ? "" : "|") + item.value_or("_");
    return slash ? s + "/" : s;
}

TEST(RecordReader, ListItemsAndNumbers) {
    EXPECT_EQ(splitLines("a\r\nb\rc\n\r\nd\r\n"), (std::vector<std::string>{"a", "b", "c", "", "d"}));
    for (const auto& [record, joined] : {std::pair{"  1.5, 2  'a b' \"c,d\" x", "1.5|2|a b|c,d|x"},
                                         {"1,,3", "1|_|3"}, {"3*0.5 2*", "0.5|0.5|0.5|_|_"}, {"4 5 / 6", "4|5/"}})
        EXPECT_EQ(items(record), joined);
    EXPECT_DOUBLE_EQ(*parseReal("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(*parseReal("1.5D-2"), 0.015);
    for (const char* bad : {"", "abc", "1.2.3", "nan", "inf", "0x10", "1e400", "1,5", "--1"})
        EXPECT_FALSE(parseReal(bad).has_value()) << bad;
    EXPECT_EQ(*parseInteger("-42"), -42);
    for (const char* bad : {"3.0", "1e2", "", "+", "99999999999", "4a"})
        EXPECT_FALSE(parseInteger(bad).has_value()) << bad;
}

}  // namespace
}  // namespace carinex
