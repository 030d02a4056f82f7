// Range check of a keel or rudder section against the lift and drag data of
// its section family: thickness ratio and sweep angle.
#pragma once

#include "platform/run_files.h"

namespace carinex {

// ITYPE: section family (0, 63, 64); TC: thickness ratio; SWEEP: sweep angle
// in degrees, clamped to +-60; ISTAT: 0 in range, 1 thickness other than the
// one the tank-model data were measured at, 2 thickness outside the data
// (extrapolated), 3 sweep clamped (set last, it overrides 1 and 2). The
// notes go to the console and the resistance table.
void FOILCK(RunFiles& io, int ITYPE, double TC, double& SWEEP, int& ISTAT, bool FULLSC);

}  // namespace carinex
