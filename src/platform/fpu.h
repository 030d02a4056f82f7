// Floating-point unit settings of the run.
#pragma once

namespace carinex {

// Results too small for a normal double become zero instead of denormals,
// which would slow the iterations down without changing a reported digit.
void flushDenormalsToZero();

}  // namespace carinex
