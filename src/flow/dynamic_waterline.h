// The dynamic waterline: the hull cut by the water surface raised by the wave profile of the
// trial state's speed.
//
// Every station is cut at the local level of the raised surface, with the section cases of the
// heeled hydrostatics. The wetted run then has new ends: at the bow where the stations'
// reference points rise through the raised surface; at the stern, upright, where the keel
// meets the stern wave, heeled, where the section area runs out. End stations too close to an
// end are dropped when the breadth curve kinks there. The streamline length is then measured
// along the new run (SLAUF2), and SSTART is its value XTRIAL behind the new bow.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// NSLOT the last station slot, XTRIAL the distance behind the dynamic bow where the boundary
// layer starts, PABS the velocity integral of the potential flow.
void DYNWL(CaseState& st, RunFiles& io, int NSLOT, double XTRIAL, double PABS);

namespace flow {

// The static waterline taken as the dynamic one (no wave profile): ends, slots and sections
// copied, the wave heights zero, and the streamline length as SLAUF left it. SSTART is set on
// it as DYNWL would.
void staticAsDynamicWaterline(CaseState& st, double XTRIAL);

}  // namespace flow

}  // namespace carinex
