// Residuary resistance: the wave-making and other pressure resistance of the
// canoe body, from a regression in the hull-form parameters of the heeled and
// dynamic hull form, per Froude station and interpolated in the Froude number.
#pragma once

#include "appendages/regression_parameters.h"
#include "driver/case_state.h"

namespace carinex {

// Scaled value R(k) = max(0, S(k) V(k)) of residuary station k, with the
// station-dependent entries of Q refilled for k.
double RESSTA(const CaseState& st, regression::ResiduaryParameters& Q, int k);

// Residuary resistance RR (N) of the trial state at Froude number FN with
// flow trim TFLOW.
void RESIRG(const CaseState& st, double FN, double TFLOW, double& RR);

}  // namespace carinex
