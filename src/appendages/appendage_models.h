// Keel and rudder in one trial state: the forces of keel, rudder and hull
// with the keel's lifting line. The section data per test point and their
// Reynolds-range check live in section_quantities.h and reynolds_check.h; the
// flow trim and the residuary resistance in trim_regression.h and
// residuary_regression.h.
//
// These models are not part of the program yet. Each entry point below is
// the one place its model will plug in; until then keel and rudder carry no
// force and the hull only its friction.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Forces of hull, keel and rudder with appendages.
void APPFRC(CaseState& st, double UREL, double DELK, double DELR, double& TLIFT, double TFLOW);

}  // namespace carinex
