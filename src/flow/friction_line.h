// Friction of the hull by the ITTC-1957 correlation line: the estimate the
// force balance falls back on when the boundary-layer computation is not
// available for a trial state.
#pragma once

#include "driver/case_state.h"

namespace carinex {

// Twice the ITTC-1957 friction of the wetted surface SWET at the Reynolds
// number of 0.7 of the upright waterline length.
double frictionLineSubstitute(const CaseState& st);

}  // namespace carinex
