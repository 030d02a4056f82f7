// Free-format reading of the input files: items, repeats and slashes, the
// Fortran number forms, reads continuing over records, and the messages
// (file and line) for malformed numbers, decimal commas and surplus values.
#include "platform/record_reader.h"

#include <gtest/gtest.h>

namespace carinex {
namespace {

RecordReader readerOf(std::vector<std::string> lines) { return RecordReader(TextFile{"IN.TXT", std::move(lines)}); }

// The items of one record joined by '|', a null item as '_', a slash ending it as a final '/'.
std::string items(std::string_view record) {
    std::vector<std::optional<std::string>> v;
    const bool slash = splitListItems(record, v);
    std::string s;
    for (const auto& item : v) s += (s.empty() ? "" : "|") + item.value_or("_");
    return slash ? s + "/" : s;
}

TEST(RecordReader, ListItemsAndNumbers) {
    EXPECT_EQ(items("  1.5, 2  'a b' \"c,d\" x"), "1.5|2|a b|c,d|x");
    EXPECT_EQ(items("1,,3"), "1|_|3");
    EXPECT_EQ(items("3*0.5 2*"), "0.5|0.5|0.5|_|_");
    EXPECT_EQ(items("4 5 / 6"), "4|5/");
    EXPECT_DOUBLE_EQ(*parseReal("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(*parseReal("1.5D-2"), 0.015);
    EXPECT_DOUBLE_EQ(*parseReal("+2e3"), 2000.0);
    for (const char* bad : {"", "abc", "1.2.3", "nan", "inf", "0x10", "1e400", "1,5", "--1"})
        EXPECT_FALSE(parseReal(bad).has_value()) << bad;
    EXPECT_EQ(*parseInteger("-42"), -42);
    for (const char* bad : {"3.0", "1e2", "", "+", "99999999999", "4a"})
        EXPECT_FALSE(parseInteger(bad).has_value()) << bad;
}

TEST(RecordReader, ReadsContinueOverRecordsAndDropTheRest) {
    auto in = readerOf({"1 2", "", "3 4 5", "6"});
    std::vector<ListItem> v;
    ASSERT_EQ(in.read(3, v), ListStatus::Ok);
    EXPECT_EQ(*v[2].value, "3");
    EXPECT_EQ(v[2].line, 3);
    ASSERT_EQ(in.read(1, v), ListStatus::Ok);  // "4 5" passed over
    EXPECT_EQ(*v[0].value, "6");
    EXPECT_EQ(in.read(1, v), ListStatus::EndOfFile);
    EXPECT_EQ(readerOf({"1", "2"}).read(3, v), ListStatus::Truncated);
}

// A comma inside a number is flagged where the record also separates by
// blanks or by ", "; a record separated by single commas only is a CSV list.
TEST(RecordReader, DecimalCommaAgainstCommaSeparatedLists) {
    const struct {
        const char* record;
        const char* token;  // "": clean
    } cases[] = {
        {"1.5 0,9439 0.2", "0,9439"}, {"1.5, 0,9439, 0.2", "0,9439"}, {"  2,303\t1", "2,303"},
        {"1.5,0.9439,0.2  ", ""},     {"3,9933", ""},                  {"1,-2 3", ""},
        {"'a 1,5' 2", ""},            {"1 2 / 3,5", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(decimalCommaIn(c.record).value_or(""), c.token) << c.record;
}

TEST(RecordReader, DecimalCommasAndSurplusNumbersAreErrors) {
    const struct {
        std::vector<std::string> lines;
        int n;
        bool exact;
        const char* message;  // "": read without error
    } cases[] = {
        {{"2 3"}, 1, true, "IN.TXT, line 1: '2 3' holds 1 number more than VOLUME takes"},
        {{"2 3 4"}, 1, false, ""},
        {{"2  m^3 volume"}, 1, true, ""},
        {{"1 2", "3 4 5"}, 3, true,
         "IN.TXT, line 2: '3 4 5' holds 2 numbers more than VOLUME takes (begun on line 1)"},
        {{"1,2,3"}, 3, true, ""},
    };
    for (const auto& c : cases) {
        auto in = readerOf(c.lines);
        std::vector<ListItem> v;
        std::string message;
        try {
            EXPECT_EQ(in.readValues(c.n, v, "VOLUME", c.exact), ListStatus::Ok);
        } catch (const InputError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.message) << c.lines.back();
    }
}

}  // namespace
}  // namespace carinex
