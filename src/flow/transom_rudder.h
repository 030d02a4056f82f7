// The stern in the trial state: how much of the aft-end section stays wetted
// at speed, and the immersed geometry of the rudder.
#pragma once

#include "driver/case_state.h"

namespace carinex {

// ATRANS: area of the aft-end section below a level lowered with the Froude
// number FN, over the largest section area.
void TRANSM(CaseState& st, double FN);

// Chord at the waterline, half span, area less the hull's boundary-layer
// displacement, aspect ratio and volume of the immersed rudder, and the hull
// section area above it. BREFX: the reference breadth of level section cuts;
// DELR, DELK: displacement thicknesses of the hull boundary layer at the
// rudder and at the keel.
void RUDIMM(CaseState& st, double BREFX, double DELR, double DELK);

}  // namespace carinex
