// Fixed-field and free-format output, laid out column for column as
// gfortran writes the corresponding Fortran edit descriptors.
//
// Numerics: every decimal string comes from std::to_chars with an explicit
// precision, which converts the exact binary value of the double and rounds
// it correctly (an exact tie such as 0.125 -> "0.12" goes to the even digit).
// That is the rounding gfortran gets from the C library it formats through,
// so digits, carries (9.9996 -> 0.1000E+02) and ties agree with it.
// to_chars ignores the C locale, so the decimal point is always '.'.
#include "platform/fixed_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace carinex {
namespace {

// Largest number of integer digits a finite double can have (DBL_MAX ~ 1.8e308).
constexpr std::size_t kMaxIntegerDigits = 309;

std::string stars(int w) { return std::string(static_cast<std::size_t>(w > 0 ? w : 0), '*'); }

// Text right-aligned in w columns, or nothing when it is wider than w.
std::optional<std::string> fitRight(std::string_view text, int w) {
    const auto width = static_cast<std::size_t>(w > 0 ? w : 0);
    if (text.size() > width) return std::nullopt;
    std::string out(width - text.size(), ' ');
    out += text;
    return out;
}

std::string rightOrStars(std::string_view text, int w) { return fitRight(text, w).value_or(stars(w)); }

std::string_view signOf(double v) { return std::signbit(v) ? "-" : ""; }

// Infinity and NaN as gfortran writes them in any real field: "Infinity"
// when it fits together with a minus sign (a plus sign is not written),
// "Inf" otherwise, and "NaN"; asterisks when even that does not fit.
std::string nonFiniteField(double v, int w) {
    if (std::isnan(v)) return rightOrStars("NaN", w);
    const bool negative = std::signbit(v);
    const int longFormWidth = negative ? 9 : 8;
    std::string text(signOf(v));
    text += w >= longFormWidth ? "Infinity" : "Inf";
    return rightOrStars(text, w);
}

// |v| with exactly `decimals` digits after the point ("2" for decimals == 0),
// correctly rounded from the binary value.
std::string fixedDigits(double magnitude, int decimals) {
    std::string buf(kMaxIntegerDigits + 2 + static_cast<std::size_t>(decimals), '\0');
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                   std::chars_format::fixed, decimals);
    buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
    return buf;
}

// |v| rounded to a number of significant digits, in the Fortran normalization
// |v| ~ 0.d1d2d3... * 10**exponent (so 10**(exponent-1) <= N < 10**exponent).
struct Significand {
    std::string digits;
    int exponent = 0;
};

int parseExponent(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

Significand roundToSignificant(double magnitude, int count) {
    if (magnitude == 0.0) return {std::string(static_cast<std::size_t>(count), '0'), 0};
    // "d.ddde+xx": one digit, point, count-1 digits, exponent of at most 5 characters.
    std::string buf(static_cast<std::size_t>(count) + 8, '\0');
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                   std::chars_format::scientific, count - 1);
    buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
    const std::size_t e = buf.find('e');
    Significand s;
    s.exponent = parseExponent(std::string_view(buf).substr(e + 1)) + 1;
    buf.resize(e);
    if (count > 1) buf.erase(1, 1);  // the decimal point
    s.digits = std::move(buf);
    return s;
}

// A magnitude below one may be written without its zero before the point
// (".500"); gfortran keeps the zero whenever the field has room for it.
// A lone "0." has no digit left without it and is never shortened.
std::optional<std::string> fitWithOptionalZero(std::string_view sign, std::string_view body, int w) {
    std::string full(sign);
    full += body;
    if (auto out = fitRight(full, w)) return out;
    if (body.size() <= 2 || !body.starts_with("0.")) return std::nullopt;
    std::string shortened(sign);
    shortened += body.substr(1);
    return fitRight(shortened, w);
}

// Fw.d of a finite value; the sign of a negative value (or of -0.0) is kept
// even when the digits round to zero, as gfortran writes "-0.00".
std::optional<std::string> fixedForm(double v, int w, int d) {
    // At least the point and d digits must fit; this also bounds the buffer.
    if (w <= 0 || d < 0 || d >= w) return std::nullopt;
    std::string body = fixedDigits(std::fabs(v), d);
    if (d == 0) body += '.';
    return fitWithOptionalZero(signOf(v), body, w);
}

// Exponent of Ew.d: "E+ee" while two digits suffice, "+eee" beyond 99.
std::string exponentPart(int exponent) {
    const char sign = exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    std::string digits = std::to_string(magnitude);
    if (magnitude > 99) return sign + digits;
    if (digits.size() < 2) digits.insert(0, 1, '0');
    return std::string("E") + sign + digits;
}

// Ew.d of a finite value: 0.d1..dd followed by the exponent.
std::optional<std::string> exponentForm(double v, int w, int d) {
    if (w <= 0 || d < 1) return std::nullopt;
    const Significand s = roundToSignificant(std::fabs(v), d);
    return fitWithOptionalZero(signOf(v), "0." + s.digits + exponentPart(s.exponent), w);
}

// 10**n the way gfortran's runtime computes it: repeated multiplication by
// ten (exact up to 10**22), and the reciprocal of that for negative n.
double powerOfTen(int n) {
    double r = 1.0;
    for (int i = 0; i < std::abs(n); ++i) r *= 10.0;
    return n >= 0 ? r : 1.0 / r;
}

// Number of decimals G editing uses in its fixed form, or nothing when the
// value goes to exponent form. With N = |v| rounded to d significant digits,
// fixed form covers 0.1 <= N < 10**d and uses d-k decimals, where
// 10**(k-1) <= N < 10**k; zero is written with d-1 decimals. So the decision
// follows the rounded value: 0.099999999 rounds to 0.1000000 (fixed, 7
// decimals), 9999999.6 rounds to 0.1000000E+08 (exponent form).
// gfortran does not round first: it compares |v| with the rounding
// boundaries 10**k * (1 - 0.5*10**-d), computed in double arithmetic. We
// evaluate the same expressions, so a value within an ulp of a boundary
// (999999.9999995 with d = 12) takes the same form as in gfortran.
std::optional<int> generalFixedDecimals(double magnitude, int d) {
    if (magnitude == 0.0) return d - 1;
    const double tenToD = powerOfTen(d);
    const double boundaryScale = 1.0 - 0.5 / tenToD;
    if (magnitude < 0.1 * boundaryScale || 0.5 >= tenToD - magnitude) return std::nullopt;
    // Smallest k with |v| below the boundary to 10**k; gfortran's search
    // ends at k = d when rounding makes the last two checks disagree.
    int k = 0;
    while (k < d && !(magnitude < powerOfTen(k) * boundaryScale)) ++k;
    return d - k;
}

// The fixed form of G editing: F(w-n).decimals followed by n blanks. When
// the F part overflows, gfortran fills the whole field with asterisks.
std::string fixedThenBlanks(double v, int w, int decimals, int blanks) {
    const auto fixed = fixedForm(v, w - blanks, decimals);
    if (!fixed) return stars(w);
    return *fixed + std::string(static_cast<std::size_t>(blanks), ' ');
}

// gfortran writes a REAL(8) list item as 1PG25.17E3: 17 significant digits,
// fixed form F20.(17-k) plus five blanks for 0.1 <= N < 1e17, otherwise
// d.dddddddddddddddd with a three-digit exponent "E+eee", right-aligned.
constexpr int kListRealWidth = 25;
constexpr int kListRealDigits = 17;
constexpr int kListRealBlanks = 5;  // exponent digits + 2

std::string listScaledExponentForm(double v) {
    const Significand s = roundToSignificant(std::fabs(v), kListRealDigits);
    const int exponent = s.exponent - 1;  // one digit before the point (scale factor 1)
    std::string expDigits = std::to_string(std::abs(exponent));
    if (expDigits.size() < 3) expDigits.insert(0, 3 - expDigits.size(), '0');
    std::string text(signOf(v));
    text += s.digits.substr(0, 1) + "." + s.digits.substr(1);
    text += std::string("E") + (exponent < 0 ? '-' : '+') + expDigits;
    return rightOrStars(text, kListRealWidth);
}

std::string listDirectedReal(double v) {
    if (!std::isfinite(v)) return nonFiniteField(v, kListRealWidth);
    if (const auto decimals = generalFixedDecimals(std::fabs(v), kListRealDigits))
        return fixedThenBlanks(v, kListRealWidth, *decimals, kListRealBlanks);
    return listScaledExponentForm(v);
}

// List-directed integers take 11 columns behind their separator (the width
// gfortran uses for a default integer); longer values are not truncated.
constexpr int kListIntegerWidth = 11;

std::string listDirectedInteger(long long v) {
    const std::string digits = std::to_string(v);
    return fitRight(digits, kListIntegerWidth).value_or(digits);
}

// Writes a field at the current column: it extends the line or, after a
// tab to the left, overwrites what is already there.
void writeAt(std::string& line, std::size_t& column, std::string_view field) {
    if (line.size() < column) line.resize(column, ' ');
    const std::size_t replaced = std::min(field.size(), line.size() - column);
    line.replace(column, replaced, field);
    column += field.size();
}

// Moves the current column; columns beyond the end of the line become blanks.
void moveTo(std::string& line, std::size_t& column, std::size_t target) {
    column = target;
    if (line.size() < column) line.resize(column, ' ');
}

}  // namespace

std::string fieldA(std::string_view text, int w) {
    if (w <= 0) return {};
    const auto width = static_cast<std::size_t>(w);
    if (text.size() >= width) return std::string(text.substr(0, width));
    return *fitRight(text, w);
}

std::string fieldF(double v, int w, int d) {
    if (w <= 0) return {};
    if (!std::isfinite(v)) return nonFiniteField(v, w);
    return fixedForm(v, w, d).value_or(stars(w));
}

std::string fieldE(double v, int w, int d) {
    if (w <= 0) return {};
    if (!std::isfinite(v)) return nonFiniteField(v, w);
    return exponentForm(v, w, d).value_or(stars(w));
}

std::string fieldG(double v, int w, int d) {
    if (w <= 0) return {};
    if (!std::isfinite(v)) return nonFiniteField(v, w);
    if (d < 1) return stars(w);
    if (const auto decimals = generalFixedDecimals(std::fabs(v), d))
        return fixedThenBlanks(v, w, *decimals, 4);
    return fieldE(v, w, d);
}

std::string fieldI(long long v, int w) {
    if (w <= 0) return {};
    return rightOrStars(std::to_string(v), w);
}

FormattedRecord& FormattedRecord::A(std::string_view text, int w) {
    writeAt(line_, column_, fieldA(text, w));
    return *this;
}

FormattedRecord& FormattedRecord::A(std::string_view text) {
    writeAt(line_, column_, text);
    return *this;
}

FormattedRecord& FormattedRecord::T(int column) {
    moveTo(line_, column_, static_cast<std::size_t>(column > 1 ? column - 1 : 0));
    return *this;
}

FormattedRecord& FormattedRecord::X(int blanks) {
    if (blanks > 0) moveTo(line_, column_, column_ + static_cast<std::size_t>(blanks));
    return *this;
}

FormattedRecord& FormattedRecord::F(double v, int w, int d) {
    writeAt(line_, column_, fieldF(v, w, d));
    return *this;
}

FormattedRecord& FormattedRecord::G(double v, int w, int d) {
    writeAt(line_, column_, fieldG(v, w, d));
    return *this;
}

FormattedRecord& FormattedRecord::I(long long v, int w) {
    writeAt(line_, column_, fieldI(v, w));
    return *this;
}

// The blank the record starts with separates the first item; every later
// number gets a blank of its own, and so does a text item after a number.
FreeRecord::FreeRecord() : line_(" ") {}

FreeRecord& FreeRecord::text(std::string_view s) {
    if (lastWasNumber_) line_ += ' ';
    line_ += s;
    hasItems_ = true;
    lastWasNumber_ = false;
    return *this;
}

FreeRecord& FreeRecord::integer(long long v) {
    if (hasItems_) line_ += ' ';
    line_ += listDirectedInteger(v);
    hasItems_ = true;
    lastWasNumber_ = true;
    return *this;
}

FreeRecord& FreeRecord::real(double v) {
    if (hasItems_) line_ += ' ';
    line_ += listDirectedReal(v);
    hasItems_ = true;
    lastWasNumber_ = true;
    return *this;
}

}  // namespace carinex
