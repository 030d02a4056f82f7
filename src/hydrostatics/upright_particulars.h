// Particulars of the prepared hull floating upright at rest on its design
// waterline, the per-station girth data the heeled hydrostatics and the flow
// use, and the keel and rudder at rest.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// NSLOT: last occupied slot. Returns the wetted-surface centroid depth ZDRAG1
// and the x of the centre of buoyancy of the whole yacht XLCBT. IERR: 0, or
// the code of the first failing fit or integral.
void GEOPRO(CaseState& st, RunFiles& io, int NSLOT, double& ZDRAG1, double& XLCBT, int& IERR);

// Cumulative girth GIRTHP and its first moment ZMOMP about ZS = 0 for every
// point of slots 0 .. NSLOT (0 at the keel point).
void cumulativeGirths(CaseState& st, int NSLOT);

}  // namespace carinex
