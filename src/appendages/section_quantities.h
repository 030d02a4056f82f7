// Lift-slope factors and maximum lift coefficients of the keel strips and
// the rudder at the speed of the test point.
#pragma once

#include "driver/case_state.h"

namespace carinex {

// Sets SLOPK(1..8), CLMXK(1..8), SLOPR, CLMXR and the keel mean SLOPKM
// from the speed per unit viscosity VNU of the test point.
void sectionQuantities(CaseState& st);

}  // namespace carinex
