// Keel and rudder in one trial state: section data per test point,
// Reynolds-range check, the forces of keel, rudder and hull with the keel's
// lifting line, and the flow-trim and residuary-resistance regressions.
//
// These models are not part of the program yet. Each entry point below is
// the one place its model will plug in; until then keel and rudder carry no
// force, the hull only its friction, and flow trim and residuary resistance
// are zero.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Section lift slopes and maximum lift coefficients of keel strips and rudder.
void sectionQuantities(CaseState& st);

// Reynolds-number range check of the section data.
void RECHK(CaseState& st, RunFiles& io, double VNU, bool FULLSC);

// Forces of hull, keel and rudder with appendages.
void APPFRC(CaseState& st, double UREL, double DELK, double DELR, double& TLIFT, double TFLOW);

}  // namespace carinex
