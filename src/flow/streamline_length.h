// Length of the streamline that runs from the bow along the mean-depth line of the hull.
//
// At every station of the wetted run the streamline lies at the mean depth 2*area/girth; its
// length from the bow is the sum of the chords of that line in the (x, depth) plane, fitted as
// a rational spline SLEN(x) over the node positions XSL: the aft end, the inner stations and
// the bow end. SLAUF measures it along the static waterline of the trial state, SLAUF2 along
// the dynamic (wave-raised) one.
#pragma once

#include "driver/case_state.h"
#include "flow/flow_spline.h"
#include "platform/run_files.h"

namespace carinex {

// Static waterline: nodes ISTA1 ... ISTA2 (NST = ISTA2 - ISTA1 + 1 of them). A failed fit is
// reported ("Fehler in SLAUF", DIAG only) and otherwise ignored.
void SLAUF(CaseState& st, RunFiles& io, int NST);

// Dynamic waterline: nodes ISTD1 ... ISTD2, NSTD of them ("Fehler in SLAUF2").
void SLAUF2(CaseState& st, RunFiles& io);

namespace flow {

// The streamline-length spline as the last SLAUF or SLAUF2 left it: NSTD nodes from slot ISTD1.
SplineRef streamlineLength(const CaseState& st);

}  // namespace flow

}  // namespace carinex
