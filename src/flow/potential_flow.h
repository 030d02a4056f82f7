// Potential flow along the waterline (WPOTI): the immersed hull of the trial state replaced by
// an equivalent body of revolution with its boundary-layer displacement and a semi-infinite
// wake cylinder, the axial flow around that body, and what the later models read from it: the
// surface velocity along the streamline (VSURF over SELLI), its peak UMAX and the values UMIN,
// U25, the pressure-square integral, the equivalent diameter DEQ, the entrance slope WENTER,
// the aft-end thickening DTRANS, the mean depth along the streamline (DSR over SR) and the
// dynamic waterline (DYNWL).
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// VNU speed over viscosity; DTRANS (out) the aft-end thickening, also left in the flow results;
// XTRIAL the distance behind the dynamic bow where the boundary layer starts; PSQ (out) the
// pressure-square integral; NST = ISTA2 - ISTA1 + 1; NSLOT the last station slot. IERR is 0 or
// the code of the failed spline fit; a potential flow that does not converge is not an error
// (the free stream stands for it).
void WPOTI(CaseState& st, RunFiles& io, double VNU, double& DTRANS, double XTRIAL, double& PSQ, int NST, int NSLOT,
           int& IERR);

// The surface velocity ratio u/U at the streamline length s from the bow (the VSURF spline
// over SELLI of the latest WPOTI call).
double surfaceVelocityAt(const FlowResults& f, double s);

}  // namespace carinex
