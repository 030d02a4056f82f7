// Range check of a keel or rudder section against the lift and drag data of
// its section family: thickness ratio and sweep angle.
#pragma once

namespace carinex {

// ITYPE: section family; TC: thickness ratio; SWEEP: sweep angle in degrees
// (may come back clamped); ISTAT: 0 in range, nonzero = reduced accuracy.
void FOILCK(int ITYPE, double TC, double& SWEEP, int& ISTAT, bool FULLSC);

}  // namespace carinex
