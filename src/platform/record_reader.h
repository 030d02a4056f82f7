// Sequential reading of a text file record by record, with the free-format
// (list-directed) reading the input files are written for: items separated
// by blanks or commas, text items optionally quoted, r*value repeats, a slash
// ending the read. A read of n items continues over as many records as it
// needs; the rest of its last record is passed over.
//
// Malformed input is a user error, not a program fault: it is reported as an
// InputError whose message names the file and the line.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace carinex {

class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One free-format item; an empty value is a null item (the target keeps its value).
struct ListItem {
    std::optional<std::string> value;
    int line = 0;
};

enum class ListStatus {
    Ok,          // all items read
    EndOfFile,   // the file ended before the first item
    Truncated,   // the file ended after some but not all items
};

class RecordReader {
public:
    explicit RecordReader(TextFile file);

    const std::string& name() const { return file_.name; }
    int line() const { return next_; }  // number of the record last read, 0 before any
    bool atEnd() const { return next_ >= static_cast<int>(file_.lines.size()); }

    // The next record as it stands; nullopt at end of file.
    std::optional<std::string_view> record();
    bool skip() { return record().has_value(); }
    void backspace();

    // Free-format read of n items from the next records.
    ListStatus read(int n, std::vector<ListItem>& items);

    // The same read for records that hold values only: a decimal comma in any
    // record read, or (with exact) more numbers on the last record than the n
    // read, raise an InputError naming the record's text. `what` names the
    // values read in that message ("VOLUME", "a point (x y z)").
    ListStatus readValues(int n, std::vector<ListItem>& items, const std::string& what, bool exact = true);

    // "file, line N: message" as a text, and raised as an InputError for the
    // record last read or the given line.
    std::string at(int line, const std::string& message) const;
    [[noreturn]] void fail(const std::string& message) const;
    [[noreturn]] void fail(int line, const std::string& message) const;

    // Conversions of one item; malformed text raises an InputError.
    double real(const ListItem& item, double keep) const;
    int integer(const ListItem& item, int keep) const;
    std::string text(const ListItem& item, const std::string& keep) const;

private:
    void rejectDecimalComma(int line) const;
    void rejectSurplus(const std::string& what, const std::vector<ListItem>& items) const;

    TextFile file_;
    int next_ = 0;  // records consumed
    std::vector<std::optional<std::string>> rest_;  // items of the last record beyond those read
};

// A comma inside a number, as "3,9933" for 3.9933: the token holding it, or
// nullopt when the record has none (see the rule in record_reader.cpp).
std::optional<std::string> decimalCommaIn(std::string_view record);

// Splits one record into free-format items; returns true when a slash ended it.
bool splitListItems(std::string_view record, std::vector<std::optional<std::string>>& out);

// Fortran-style number text: "1", "-2.5", ".5", "1e3", "1.5D-2". Nullopt if malformed
// or not finite.
std::optional<double> parseReal(std::string_view text);
// A whole number without decimal point or exponent, in 32-bit range.
std::optional<int> parseInteger(std::string_view text);

}  // namespace carinex
