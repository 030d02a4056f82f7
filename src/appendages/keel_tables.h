// Start-up tables of the keel's lifting-line and strip method: spanwise
// stations, strip weights, Multhopp's influence matrix and the tip-correction
// table with its spline curvatures.
#pragma once

#include "driver/case_state.h"

namespace carinex {

void setupKeelTables(RunConstants& run);

}  // namespace carinex
