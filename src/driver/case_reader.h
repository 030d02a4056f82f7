// Reader of the case input file and of the appendage file it names.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"
#include "platform/record_reader.h"

namespace carinex {

// Reads the case input (already open as `in`) and the appendage file, fills
// the case input group and writes the first lines of the resistance table.
// IERR = 1 on a fatal input error (its message is on the console).
void RDCASE(CaseState& st, RunFiles& io, RecordReader& in, int& IERR);

}  // namespace carinex
