// Hydrostatics of the hull at any heel, sinkage and trim: the immersed body
// under the plane water surface of one trial floating position.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Error code of the default path: the trial state cannot be evaluated (no
// immersed section, a wetted run that misses slot 20, or too few stations).
constexpr int kKraengDefault = 5;

// XLAM: laminar run length from the bow (0: no transition quantities).
// LREST: the rest call, with the waterline ends and largest section of the
// design waterline. NSLOT: last occupied slot. IERR in/out.
void KRAENG(CaseState& st, RunFiles& io, double XLAM, bool LREST, int& IERR, int NSLOT);

}  // namespace carinex
