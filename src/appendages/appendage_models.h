// Keel and rudder in one trial state: the flow-trim and residuary-resistance
// regressions. The forces of keel, rudder and hull with the keel's lifting
// line live in appendage_forces.h; the section data per test point and their
// Reynolds-range check in section_quantities.h and reynolds_check.h.
//
// These models are not part of the program yet. Each entry point below is
// the one place its model will plug in; until then keel and rudder carry no
// force, the hull only its friction, and flow trim and residuary resistance
// are zero.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Flow trim angle of the trim model.
double TRIMRG(CaseState& st, double FN);

// Residuary resistance.
double RESIRG(CaseState& st, double FN, double TFLOW);

}  // namespace carinex
