// The flow around the hull in one trial state: effective volume, transom and
// rudder immersion.
//
// These models are not part of the program yet. Each entry point below is
// the one place its model will plug in; until then it leaves the flow
// results neutral: no transom or effective-volume corrections.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Speed-weighted effective volume.
void VOLEFF(CaseState& st, RunFiles& io, int NSTM1, double VBOOT, int& IERR);

// Immersed transom.
void TRANSM(CaseState& st, double FN);

// Immersed rudder: halfBreadth is half the upright waterline breadth;
// DELK and DELR the hull displacement thicknesses at keel and rudder.
void RUDIMM(CaseState& st, double halfBreadth, double DELK, double DELR);

}  // namespace carinex
