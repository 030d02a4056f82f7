#include "platform/record_reader.h"

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

}  // namespace

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
    std::vector<std::optional<std::string>> values;
    while (static_cast<int>(items.size()) < n) {
        auto rec = record();
        if (!rec) return items.empty() ? ListStatus::EndOfFile : ListStatus::Truncated;
        values.clear();
        bool slash = splitListItems(*rec, values);
        for (auto& v : values) {
            if (static_cast<int>(items.size()) == n) break;
            items.push_back(ListItem{std::move(v), next_});
        }
        if (slash) {
            // a slash ends the read: the remaining targets keep their values
            while (static_cast<int>(items.size()) < n) items.push_back(ListItem{std::nullopt, next_});
        }
    }
    return ListStatus::Ok;
}

void RecordReader::fail(const std::string& message) const { fail(next_, message); }

void RecordReader::fail(int line, const std::string& message) const {
    throw InputError(file_.name + ", line " + std::to_string(line) + ": " + message);
}

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
