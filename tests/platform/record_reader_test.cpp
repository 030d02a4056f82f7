#include "platform/record_reader.h"

#include <gtest/gtest.h>

namespace carinex {
namespace {

RecordReader readerOf(std::vector<std::string> lines) { return RecordReader(TextFile{"IN.TXT", std::move(lines)}); }

std::vector<std::optional<std::string>> split(std::string_view s) {
    std::vector<std::optional<std::string>> v;
    splitListItems(s, v);
    return v;
}

TEST(ListItems, BlanksCommasAndQuotes) {
    auto v = split("  1.5, 2  'a b' \"c,d\" x");
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(*v[0], "1.5");
    EXPECT_EQ(*v[1], "2");
    EXPECT_EQ(*v[2], "a b");
    EXPECT_EQ(*v[3], "c,d");
    EXPECT_EQ(*v[4], "x");
}

TEST(ListItems, NullItemsRepeatsAndSlash) {
    auto v = split("1,,3");
    ASSERT_EQ(v.size(), 3u);
    EXPECT_FALSE(v[1].has_value());
    auto r = split("3*0.5 2*");
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(*r[2], "0.5");
    EXPECT_FALSE(r[4].has_value());
    std::vector<std::optional<std::string>> s;
    EXPECT_TRUE(splitListItems("4 5 / 6", s));
    EXPECT_EQ(s.size(), 2u);
}

TEST(Numbers, FortranForms) {
    EXPECT_DOUBLE_EQ(*parseReal("1"), 1.0);
    EXPECT_DOUBLE_EQ(*parseReal("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(*parseReal("1.5D-2"), 0.015);
    EXPECT_DOUBLE_EQ(*parseReal("+2e3"), 2000.0);
    for (const char* bad : {"", "abc", "1.2.3", "nan", "inf", "0x10", "1e400", "1,5", "--1"}) {
        EXPECT_FALSE(parseReal(bad).has_value()) << bad;
    }
    EXPECT_EQ(*parseInteger("-42"), -42);
    for (const char* bad : {"3.0", "1e2", "", "+", "99999999999", "4a"}) {
        EXPECT_FALSE(parseInteger(bad).has_value()) << bad;
    }
}

TEST(RecordReaderRead, ContinuesOverRecordsAndDropsTheRest) {
    auto in = readerOf({"1 2", "", "3 4 5", "6"});
    std::vector<ListItem> items;
    ASSERT_EQ(in.read(3, items), ListStatus::Ok);
    EXPECT_EQ(*items[2].value, "3");
    EXPECT_EQ(items[2].line, 3);
    ASSERT_EQ(in.read(1, items), ListStatus::Ok);  // "4 5" passed over
    EXPECT_EQ(*items[0].value, "6");
    EXPECT_EQ(in.read(1, items), ListStatus::EndOfFile);
}

TEST(RecordReaderRead, TruncatedAndBackspace) {
    auto in = readerOf({"1", "2"});
    std::vector<ListItem> items;
    EXPECT_EQ(in.read(3, items), ListStatus::Truncated);
    auto again = readerOf({"a", "b"});
    EXPECT_EQ(*again.record(), "a");
    again.backspace();
    EXPECT_EQ(*again.record(), "a");
    EXPECT_EQ(again.line(), 1);
}

TEST(RecordReaderRead, MalformedNumberNamesFileAndLine) {
    auto in = readerOf({"", "1.0 x2"});
    std::vector<ListItem> items;
    ASSERT_EQ(in.read(2, items), ListStatus::Ok);
    EXPECT_DOUBLE_EQ(in.real(items[0], 0.0), 1.0);
    try {
        in.real(items[1], 0.0);
        FAIL() << "no error raised";
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "IN.TXT, line 2: 'x2' is not a number");
    }
    EXPECT_DOUBLE_EQ(in.real(ListItem{std::nullopt, 2}, 7.0), 7.0);  // a null item keeps the value
}

// A comma inside a number: flagged where the record also separates by blanks
// or by ", "; a record separated by single commas only is a CSV list.
TEST(RecordReaderValues, DecimalCommaAgainstCommaSeparatedLists) {
    const struct {
        const char* record;
        const char* token;  // nullptr: clean
    } cases[] = {
        {"1.5 0,9439 0.2", "0,9439"},   {"3,5 0 15 0.1", "3,5"},     {"1.5, 0,9439, 0.2", "0,9439"},
        {"  2,303\t1", "2,303"},        {"1.5,0.9439,0.2", nullptr}, {"1.5, 0.9439, 0.2", nullptr},
        {"3,9933", nullptr},            {"1,-2 3", nullptr},         {"'a 1,5' 2", nullptr},
        {"1 2 / 3,5", nullptr},         {"1.5,0.9439,0.2  ", nullptr},
    };
    for (const auto& c : cases) {
        const auto token = decimalCommaIn(c.record);
        EXPECT_EQ(token.has_value(), c.token != nullptr) << c.record;
        if (token && c.token) {
            EXPECT_EQ(*token, c.token) << c.record;
        }
    }
}

TEST(RecordReaderValues, DecimalCommasAndSurplusNumbersAreErrors) {
    const struct {
        std::vector<std::string> lines;
        int n;
        bool exact;
        const char* message;  // "": read without error
    } cases[] = {
        {{"3,9933"}, 1, true, "IN.TXT, line 1: '3,9933' holds 1 number more than VOLUME takes"
                              " (a decimal comma? write 3.9933 with a decimal point)"},
        {{"2 3"}, 1, true, "IN.TXT, line 1: '2 3' holds 1 number more than VOLUME takes"},
        {{"2 3 4"}, 1, false, ""},
        {{"2  m^3 volume"}, 1, true, ""},
        {{"1 2", "3 4 5"}, 3, true, "IN.TXT, line 2: '3 4 5' holds 2 numbers more than VOLUME takes (begun on line 1)"},
        {{"1", "2,5 3"}, 3, false, "IN.TXT, line 2: decimal comma in '2,5 3': write 2.5 with a decimal point"},
        {{"1,2,3"}, 3, true, ""},
    };
    for (const auto& c : cases) {
        auto in = readerOf(c.lines);
        std::vector<ListItem> items;
        std::string message;
        try {
            EXPECT_EQ(in.readValues(c.n, items, "VOLUME", c.exact), ListStatus::Ok);
        } catch (const InputError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.message) << c.lines.back();
    }
}

}  // namespace
}  // namespace carinex
