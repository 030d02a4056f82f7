// How much of the immersed hull lies near the free surface, where a moving
// hull makes its waves: the effective volume, the effective keel volume, and
// the flare and run measures of bow and stern in the trial state.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Cuts the heeled hull with 40 levels parallel to the trial waterline down to
// the deepest point, integrates each level's waterplane and weights it with
// the decay exp(-GRAV*z/VBOOT^2) of a surface wave of the boat's speed:
// VOLFNZ. With appendages also KVEFF; then BDYN, BRUN, BTRQ, BFLARE, ZFLARE.
// NSLOT: last station slot. IERR: the code of a failed fit, or of a failed
// integral whose error estimate exceeds 1e-6.
void VOLEFF(CaseState& st, RunFiles& io, int NSLOT, double VBOOT, int& IERR);

// The flare and run measures alone (the last part of VOLEFF).
void hullFlareMeasures(CaseState& st, int NSLOT, double VBOOT);

}  // namespace carinex
