// Free-format reading of the input files: line ends of every platform, items, repeats and slashes, and the
// Fortran number forms (the messages for surplus values and decimal commas are
// pinned with the case and offsets readers).
#include "platform/files.h"
#include "platform/record_reader.h"

#include <gtest/gtest.h>

namespace carinex {
namespace {


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
    EXPECT_EQ(items("  1.5, 2  'a b' \"c,d\" x"), "1.5|2|a b|c,d|x");
    EXPECT_EQ(items("1,,3"), "1|_|3");
    EXPECT_EQ(items("3*0.5 2*"), "0.5|0.5|0.5|_|_");
    EXPECT_EQ(items("4 5 / 6"), "4|5/");
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
