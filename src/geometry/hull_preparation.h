// From cleaned raw offsets to the prepared hull: keel points on the centre
// plane, tops extended to a common height, every section resampled to 151
// points evenly spaced along its girth, scaled to metres, floated at the
// prescribed volume, and put in the final axes (z = 0 the design waterline,
// x = 0 the largest section).
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Error code for a hull that is too small for the local fits: sections of
// fewer than 8 points, fewer than 7 stations, or a largest section within 3
// stations of an end.
constexpr int kHullTooSmall = 5;

// IERR: 0 success; 1 or 3 from a spline fit or the extremum search; 2 no
// bracket for the volume match; 3 the volume match does not converge; 4 a
// keel-line table outside the stations; 5 (kHullTooSmall); 100 a failed
// volume integral.
void HULL1(CaseState& st, RunFiles& io, int& IERR);

}  // namespace carinex
