// Immersed volume of the upright hull at a waterline depth, with the keel
// line's crossings of that waterline at bow and stern.
#pragma once

#include <ostream>

#include "driver/case_state.h"

namespace carinex {

// Error code of VDWL when a 7-station keel-line table would reach past the
// stations (the waterline ends lie too close to the ends of the hull).
constexpr int kKeelTableOutside = 4;

// Volume below the waterline ZS = T over slots 0 .. NSLOT. Leaves ASECT,
// KAMAX, KAFT, KFWD, XFKEEL and XAKEEL in the prepared hull. IERR: 0, 1 or 3
// from a spline fit, 100 from the integral, 4 (kKeelTableOutside); on any
// error the result is 0. Messages go to `console` only when DIAG is set.
double VDWL(CaseState& st, int NSLOT, double T, int& IERR, bool DIAG, std::ostream& console);

}  // namespace carinex
