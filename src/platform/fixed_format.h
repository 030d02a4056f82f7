// Fixed-field and free-format text output, as the report, the resistance
// table and every console message are laid out.
//
// Field notation (all fields right-aligned, no separators between fields):
//   A(text, n)  text right-aligned in n columns; a longer text keeps its first n characters
//   T(col)      continue at column col (1-based); the columns skipped are blanks
//   F(v, w, d)  fixed point, w columns, d decimals
//   G(v, w, d)  generalized: d significant digits, fixed notation when the decimal
//               exponent allows it (followed by 4 blanks), exponent notation otherwise
//   I(v, w)     integer in w columns
// A value that does not fit its field is written as w asterisks.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

namespace carinex {

std::string fieldA(std::string_view text, int w);
std::string fieldF(double v, int w, int d);
std::string fieldE(double v, int w, int d);
std::string fieldG(double v, int w, int d);
std::string fieldI(long long v, int w);

// One fixed-layout record built field by field.
class FormattedRecord {
public:
    FormattedRecord& A(std::string_view text, int w);
    FormattedRecord& A(std::string_view text);  // width = length of the text
    FormattedRecord& T(int column);
    FormattedRecord& X(int blanks);
    FormattedRecord& F(double v, int w, int d);
    FormattedRecord& G(double v, int w, int d);
    FormattedRecord& I(long long v, int w);
    const std::string& str() const { return line_; }

private:
    std::string line_;
    std::size_t column_ = 0;  // 0-based column where the next field starts
};

// One free-format (list-directed) record: it starts with one blank column,
// text items follow each other without separators, numbers take the
// platform's list-directed form (integers right-aligned in 12 columns,
// reals in a general form of 17 significant digits with a leading blank);
// a text item that directly follows a number is preceded by one blank.
class FreeRecord {
public:
    FreeRecord();
    FreeRecord& text(std::string_view s);
    FreeRecord& integer(long long v);
    FreeRecord& real(double v);
    const std::string& str() const { return line_; }

private:
    std::string line_;
    bool hasItems_ = false;       // every later number needs a separating blank
    bool lastWasNumber_ = false;  // the next text item needs its separating blank
};

namespace detail {
inline void addFree(FreeRecord& r, std::string_view s) { r.text(s); }
inline void addFree(FreeRecord& r, const char* s) { r.text(s); }
inline void addFree(FreeRecord& r, const std::string& s) { r.text(s); }
template <class T>
    requires std::is_integral_v<T>
void addFree(FreeRecord& r, T v) { r.integer(static_cast<long long>(v)); }
template <class T>
    requires std::is_floating_point_v<T>
void addFree(FreeRecord& r, T v) { r.real(static_cast<double>(v)); }
}  // namespace detail

// An empty record: a free-format write without items leaves the line empty.
inline void writeEmptyLine(std::ostream& os) { os << '\n'; }

// Writes one free-format record (items in order) and ends the line.
template <class... Items>
void writeFree(std::ostream& os, const Items&... items) {
    FreeRecord r;
    (detail::addFree(r, items), ...);
    os << r.str() << '\n';
}

}  // namespace carinex
