// The run: banner, case code, files, case input, offsets, preparation, test
// points, and the success or failure exit, always ending at the final prompt.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

#ifdef CARINEX_DIAG
inline constexpr bool kDiagnosticsBuild = true;
#else
inline constexpr bool kDiagnosticsBuild = false;
#endif

struct RunOptions {
    bool diag = kDiagnosticsBuild;  // diagnostic files and messages
};

// Runs one case; returns the process exit status: 0 after the success exit,
// 1 after the failure exit, kExitNotConverged after a success exit with test
// points whose equilibrium was not found.
inline constexpr int kExitNotConverged = 2;
int runCase(CaseState& st, RunFiles& io, const RunOptions& options = {});

// The file names of a case code (three characters, blank padded).
std::string caseInputName(const std::string& code);
std::string offsetsName(const std::string& code);
std::string reportName(const std::string& code);
std::string tableName(const std::string& code);

}  // namespace carinex
