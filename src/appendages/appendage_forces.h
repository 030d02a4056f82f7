// Forces of keel, rudder and hull in one trial state with appendages: a
// strip method on the keel's lifting line with non-linear section lift and
// profile drag, the keel lift carried over to the hull, turbulence
// stimulators, the downwash of keel and hull at the rudder, and the rudder's
// own lift and drag.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// UREL: hull surface-velocity ratio u/U at the keel station; DELK, DELR:
// hull displacement thickness at the keel and at the rudder station; TLIFT:
// draft of the hull lift terms; TFLOW: flow trim of the trim model (0 at low
// Froude numbers). Sets FXK, FYK, FZK, MYK, FXR, FYR, FZR, MYR, STIMK,
// STIMR, XHULL, YHULL, RHULL, RTRIM, KARF, CLROOT, TAPK and the lifting-line
// coefficients.
void APPFRC(CaseState& st, RunFiles& io, double UREL, double DELK, double DELR, double& TLIFT, double TFLOW);

}  // namespace carinex
