// Flow trim: the running trim angle that the water imposes on the hull at
// speed, from a regression in the hull-form parameters of the trial state.
#pragma once

#include "driver/case_state.h"

namespace carinex {

// Flow trim TFLOW (rad, bow up positive) of the trial state at st.balance.FN.
void TRIMRG(const CaseState& st, double& TFLOW);

}  // namespace carinex
