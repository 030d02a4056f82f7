// File layer: the program names its files with backslash separators
// ("INPUT\CX_ABC_IN.TXT"); here they become native paths below the working
// directory. Input files are found whatever the case of their name when the
// exact name is absent; output folders are created when missing.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace carinex {

namespace fs = std::filesystem;

// "DRAG\DRAG_ABC.TXT" -> "DRAG/DRAG_ABC.TXT" (the name users see in messages).
std::string displayName(std::string_view programName);

// The native path of a program file name below workdir.
fs::path nativePath(const fs::path& workdir, std::string_view programName);

// The existing file for a program name: the exact path, else the unique
// path whose components match ignoring case; nullopt when there is none.
std::optional<fs::path> findInputFile(const fs::path& workdir, std::string_view programName);

// The second line of a "does not exist" message: the path looked for and
// the other letter cases tried.
std::string lookedForNote(const fs::path& workdir, std::string_view programName);

// A text file read whole; LF, CRLF and CR-only line ends read alike.
struct TextFile {
    std::string name;                // as shown in messages
    std::vector<std::string> lines;  // without line ends
};

// Reads the file for a program name; nullopt when it does not exist or
// cannot be read.
std::optional<TextFile> readInputFile(const fs::path& workdir, std::string_view programName);

// Splits text into lines at LF, CRLF or a lone CR; no empty line after a final line end.
std::vector<std::string> splitLines(std::string_view text);

// Opens an output file for writing, creating its folder when missing;
// nullptr when it cannot be created.
std::unique_ptr<std::ofstream> openOutputFile(const fs::path& workdir, std::string_view programName);

}  // namespace carinex
