// The results of an earlier run of a case are kept when the case is run
// again: before the new run writes, its output files move to .bak copies.
#pragma once

#include <string>
#include <vector>

#include "platform/run_files.h"

namespace carinex {

// Every file a run of the case code writes in CXRUN and DRAG.
std::vector<std::string> caseOutputNames(const std::string& code);

// Moves the existing files of `names` (program names) to name + ".bak" and
// says on the console where they are. When the earlier run failed (its
// report, the first name, ends with the failure line) the files are left to
// be overwritten, so that the copies of the last complete run survive.
void keepEarlierResults(RunFiles& io, const std::vector<std::string>& names);

}  // namespace carinex
