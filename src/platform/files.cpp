#include "platform/files.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <system_error>

namespace carinex {

namespace {

std::vector<std::string> components(std::string_view programName) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : programName) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The entry of dir named like `name` up to case: the exact one first.
std::optional<fs::path> matchEntry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::exists(dir / name, ec)) return dir / name;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (equalsIgnoringCase(entry.path().filename().string(), name)) return entry.path();
    }
    return std::nullopt;
}

}  // namespace

std::string displayName(std::string_view programName) {
    std::string s(programName);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

fs::path nativePath(const fs::path& workdir, std::string_view programName) {
    fs::path p = workdir;
    for (const auto& c : components(programName)) p /= c;
    return p;
}

std::optional<fs::path> findInputFile(const fs::path& workdir, std::string_view programName) {
    std::error_code ec;
    fs::path exact = nativePath(workdir, programName);
    if (fs::is_regular_file(exact, ec)) return exact;
    fs::path p = workdir;
    for (const auto& c : components(programName)) {
        auto next = matchEntry(p, c);
        if (!next) return std::nullopt;
        p = *next;
    }
    if (!fs::is_regular_file(p, ec)) return std::nullopt;
    return p;
}

std::string lookedForNote(const fs::path& workdir, std::string_view programName) {
    return "looked for " + nativePath(workdir, programName).string() +
           " and for the same folder and file names in other letter case";
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        // LF (Unix), CR LF (Windows) and a lone CR (old Mac) each end a line
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++start;
    }
    return lines;
}

std::optional<TextFile> readInputFile(const fs::path& workdir, std::string_view programName) {
    auto path = findInputFile(workdir, programName);
    if (!path) return std::nullopt;
    std::ifstream in(*path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return TextFile{displayName(programName), splitLines(buffer.str())};
}

std::unique_ptr<std::ofstream> openOutputFile(const fs::path& workdir, std::string_view programName) {
    fs::path path = nativePath(workdir, programName);
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
    auto out = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
    if (!*out) return nullptr;
    return out;
}

}  // namespace carinex
