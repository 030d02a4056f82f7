// Reynolds-number range check of the keel and rudder section data, once per
// test point with appendages.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Warns on the console when the keel root strip lies above, the keel tip
// strip below, or the rudder mean chord above or below the Reynolds range
// of its family's data set. Changes no state.
void RECHK(CaseState& st, RunFiles& io, double VNU, bool FULLSC);

}  // namespace carinex
