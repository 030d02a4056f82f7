#include "platform/record_reader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace carinex {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Reads a quoted text starting at s[i] (the quote); a doubled quote stands
// for one. Returns the index after the closing quote.
std::size_t readQuoted(std::string_view s, std::size_t i, std::string& out) {
    const char quote = s[i++];
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                out.push_back(quote);
                i += 2;
                continue;
            }
            return i + 1;
        }
        out.push_back(s[i++]);
    }
    return i;
}

// Expands "r*value" and "r*" (r null items); other tokens stand once.
void pushToken(const std::string& token, bool quoted, std::vector<std::optional<std::string>>& out) {
    if (!quoted) {
        auto star = token.find('*');
        if (star != std::string::npos && star > 0) {
            auto count = parseInteger(std::string_view(token).substr(0, star));
            if (count && *count > 0) {
                std::string rest = token.substr(star + 1);
                for (int k = 0; k < *count; ++k) {
                    if (rest.empty()) out.emplace_back(std::nullopt);
                    else out.emplace_back(rest);
                }
                return;
            }
        }
    }
    out.emplace_back(token);
}

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The token around s[comma]: the characters up to the next blank or comma on
// either side.
std::string tokenAround(std::string_view s, std::size_t comma) {
    auto isEdge = [](char c) { return isBlank(c) || c == ','; };
    std::size_t a = comma, b = comma + 1;
    while (a > 0 && !isEdge(s[a - 1])) --a;
    while (b < s.size() && !isEdge(s[b])) ++b;
    return std::string(s.substr(a, b - a));
}

// Separators between the unquoted items of a record (up to a slash): a
// separator is a run of blanks and commas. The first single comma that has
// a digit on both sides, and whether any separator is something else.
struct Separators {
    std::optional<std::size_t> commaBetweenDigits;
    bool other = false;
};

Separators separatorsOf(std::string_view s) {
    Separators r;
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;  // leading blanks separate nothing
    while (i < s.size()) {
        const char c = s[i];
        if (c == '/') break;
        if (c == '\'' || c == '"') {
            std::string ignored;
            i = readQuoted(s, i, ignored);
            continue;
        }
        if (!isBlank(c) && c != ',') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < s.size() && (isBlank(s[end]) || s[end] == ',')) ++end;
        if (end == s.size()) break;  // trailing blanks or a trailing comma
        const bool single = (end == i + 1 && c == ',');
        if (!single) r.other = true;
        else if (i > 0 && isDigit(s[i - 1]) && isDigit(s[end]) && !r.commaBetweenDigits) r.commaBetweenDigits = i;
        i = end;
    }
    return r;
}

std::optional<std::string> commaBetweenDigits(std::string_view s) {
    const Separators sep = separatorsOf(s);
    if (!sep.commaBetweenDigits) return std::nullopt;
    return tokenAround(s, *sep.commaBetweenDigits);
}

}  // namespace

// A comma between two digits with no blank beside it ("3,9933") is a decimal
// comma when the record separates its values in any other way as well: by
// blanks ("3,5 0 15"), or by commas with blanks (", "). A record whose every
// separator is such a single comma ("1.5,0.9439,0.2", a list saved as CSV)
// is comma-separated, and its commas separate values. A single comma in a
// record of one value ("3,9933") cannot be told from two values here; the
// readers that know how many values a record holds catch it.
std::optional<std::string> decimalCommaIn(std::string_view record) {
    const Separators sep = separatorsOf(record);
    if (!sep.commaBetweenDigits || !sep.other) return std::nullopt;
    return tokenAround(record, *sep.commaBetweenDigits);
}

bool splitListItems(std::string_view s, std::vector<std::optional<std::string>>& out) {
    std::size_t i = 0;
    bool expectValue = true;  // a comma with no value before it is a null item
    while (i < s.size()) {
        if (isBlank(s[i])) {
            ++i;
            continue;
        }
        if (s[i] == ',') {
            if (expectValue) out.emplace_back(std::nullopt);
            expectValue = true;
            ++i;
            continue;
        }
        if (s[i] == '/') return true;
        std::string token;
        bool quoted = false;
        if (s[i] == '\'' || s[i] == '"') {
            quoted = true;
            i = readQuoted(s, i, token);
        } else {
            while (i < s.size() && !isBlank(s[i]) && s[i] != ',' && s[i] != '/') token.push_back(s[i++]);
        }
        pushToken(token, quoted, out);
        expectValue = false;  // the next comma only separates
    }
    return false;
}

std::optional<double> parseReal(std::string_view text) {
    std::string s(text);
    for (char& c : s) {
        if (c == 'd' || c == 'D' || c == 'q' || c == 'Q') c = 'e';
    }
    if (s.empty()) return std::nullopt;
    for (char c : s) {
        // strtod would also accept hexadecimal, "inf" and "nan": none is a number here
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-' || c == 'e' ||
              c == 'E'))
            return std::nullopt;
    }
    const char* begin = s.c_str();
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(begin, &end);
    if (end != begin + s.size() || !std::isfinite(v)) return std::nullopt;
    if (errno == ERANGE && std::fabs(v) > 1.0) return std::nullopt;
    return v;
}

std::optional<int> parseInteger(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i == text.size()) return std::nullopt;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(text[k]))) return std::nullopt;
    }
    std::string s(text);
    errno = 0;
    long long v = std::strtoll(s.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return std::nullopt;
    return static_cast<int>(v);
}

RecordReader::RecordReader(TextFile file) : file_(std::move(file)) {}

std::optional<std::string_view> RecordReader::record() {
    if (atEnd()) return std::nullopt;
    return std::string_view(file_.lines[static_cast<std::size_t>(next_++)]);
}

void RecordReader::backspace() {
    if (next_ > 0) --next_;
}

ListStatus RecordReader::read(int n, std::vector<ListItem>& items) {
    items.clear();
    rest_.clear();
    std::vector<std::optional<std::string>> values;
    while (static_cast<int>(items.size()) < n) {
        auto rec = record();
        if (!rec) return items.empty() ? ListStatus::EndOfFile : ListStatus::Truncated;
        values.clear();
        bool slash = splitListItems(*rec, values);
        for (auto& v : values) {
            if (static_cast<int>(items.size()) == n) rest_.push_back(std::move(v));
            else items.push_back(ListItem{std::move(v), next_});
        }
        if (slash) {
            // a slash ends the read: the remaining targets keep their values
            while (static_cast<int>(items.size()) < n) items.push_back(ListItem{std::nullopt, next_});
        }
    }
    return ListStatus::Ok;
}

ListStatus RecordReader::readValues(int n, std::vector<ListItem>& items, const std::string& what, bool exact) {
    const int first = next_ + 1;
    const ListStatus status = read(n, items);
    for (int line = first; line <= next_; ++line) rejectDecimalComma(line);
    if (exact && status == ListStatus::Ok) rejectSurplus(what, items);
    return status;
}

namespace {

// The record as shown in a message: without its outer blanks, long ones cut.
std::string shown(std::string_view record) {
    const auto first = record.find_first_not_of(" \t");
    if (first == std::string_view::npos) return "";
    const auto last = record.find_last_not_of(" \t");
    std::string s(record.substr(first, last - first + 1));
    constexpr std::size_t kShown = 60;
    if (s.size() > kShown) s = s.substr(0, kShown) + " ...";
    return s;
}

// The token with its comma as a decimal point, when that makes a number.
std::optional<std::string> withDecimalPoint(std::string token) {
    std::replace(token.begin(), token.end(), ',', '.');
    if (!parseReal(token)) return std::nullopt;
    return token;
}

}  // namespace

void RecordReader::rejectDecimalComma(int line) const {
    const std::string_view rec = file_.lines[static_cast<std::size_t>(line - 1)];
    auto token = decimalCommaIn(rec);
    if (!token) return;
    const auto fixed = withDecimalPoint(*token);
    fail(line, "decimal comma in '" + shown(rec) + "': write " + (fixed ? *fixed : "numbers") + " with a decimal point");
}

// Text after the values (a note such as "m^3") is passed over as free-format
// reading does; a further number means a value too many for the record, most
// often a decimal comma that split one number in two.
void RecordReader::rejectSurplus(const std::string& what, const std::vector<ListItem>& items) const {
    // a malformed value is the fault to name first; text values take no check
    const auto isNumber = [](const std::optional<std::string>& v) { return v && parseReal(*v).has_value(); };
    if (std::any_of(items.begin(), items.end(), [&](const ListItem& i) { return i.value && !isNumber(i.value); })) return;
    const int firstLine = items.front().line;
    const auto numbers = std::count_if(rest_.begin(), rest_.end(), isNumber);
    if (numbers == 0) return;
    const std::string_view rec = file_.lines[static_cast<std::size_t>(next_ - 1)];
    std::string message = "'" + shown(rec) + "' holds " + std::to_string(numbers) + " number" +
                          (numbers > 1 ? "s" : "") + " more than " + what + " takes";
    if (firstLine != next_) message += " (begun on line " + std::to_string(firstLine) + ")";
    const auto token = commaBetweenDigits(rec);
    if (const auto fixed = token ? withDecimalPoint(*token) : std::nullopt) {
        message += " (a decimal comma? write " + *fixed + " with a decimal point)";
    }
    fail(next_, message);
}

void RecordReader::fail(const std::string& message) const { fail(next_, message); }

std::string RecordReader::at(int line, const std::string& message) const {
    return file_.name + ", line " + std::to_string(line) + ": " + message;
}

void RecordReader::fail(int line, const std::string& message) const { throw InputError(at(line, message)); }

double RecordReader::real(const ListItem& item, double keep) const {
    if (!item.value) return keep;
    auto v = parseReal(*item.value);
    if (!v) fail(item.line, "'" + *item.value + "' is not a number");
    return *v;
}

int RecordReader::integer(const ListItem& item, int keep) const {
    if (!item.value) return keep;
    auto v = parseInteger(*item.value);
    if (!v) fail(item.line, "'" + *item.value + "' is not a whole number");
    return *v;
}

std::string RecordReader::text(const ListItem& item, const std::string& keep) const {
    return item.value ? *item.value : keep;
}

}  // namespace carinex
