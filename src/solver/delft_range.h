// The hull parameters the Delft series regression was fitted over: a hull
// outside their range gets extrapolated regression values, and the user is
// told which parameter lies outside.
#pragma once

#include <string>
#include <vector>

#include "driver/case_state.h"

namespace carinex {

// True when the run computes the regression: MODE 4 (regression only) and
// every mode other than 1 to 3 (the regression table after the equilibrium).
bool regressionComputed(int MODE);

// One warning line per parameter of the upright hull outside the range of
// the series: name, value and range.
std::vector<std::string> delftRangeWarnings(const UprightParticulars& u);

}  // namespace carinex
