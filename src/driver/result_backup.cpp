#include "driver/result_backup.h"

#include <filesystem>
#include <system_error>

#include "driver/run_driver.h"
#include "platform/files.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr const char* kFailureLine = " Error, execution terminated";

bool endedInFailure(const fs::path& report) {
    auto lines = readInputFile(report.parent_path(), report.filename().string());
    return lines && !lines->lines.empty() && lines->lines.back() == kFailureLine;
}

}  // namespace

std::vector<std::string> caseOutputNames(const std::string& code) {
    return {reportName(code), tableName(code), "DRAG\\DRAG_" + code + ".svg", "DRAG\\DRAG_" + code + "_points.csv"};
}

void keepEarlierResults(RunFiles& io, const std::vector<std::string>& names) {
    std::error_code ec;
    if (names.empty() || endedInFailure(nativePath(io.workdir, names.front()))) return;
    std::string moved;
    for (const auto& name : names) {
        const fs::path path = nativePath(io.workdir, name);
        if (!fs::is_regular_file(path, ec)) continue;
        fs::path copy = path;
        copy += ".bak";
        fs::rename(path, copy, ec);
        if (ec) continue;
        moved += (moved.empty() ? "" : ", ") + displayName(name) + ".bak";
    }
    if (!moved.empty()) writeFree(io.console, "results of the earlier run of this case kept in ", moved);
}

}  // namespace carinex
