// Force and moment balance of one trial floating state: the hydrostatics,
// flow and appendage models in their fixed order, combined into the
// displaced volume, its centre, the vertical forces, the pitching moment
// about the centre of gravity and the resistance components.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Evaluates the trial state (SINKG, TRIMW) of the current test point. A
// failing model never stops the evaluation: substitute values keep the
// root search going.
void BILANZ(CaseState& st, RunFiles& io, int NSTM1);

// The hull forces of a bare-hull trial state with flow trim TFLOW.
void bareHullForces(CaseState& st, double TFLOW);

}  // namespace carinex
