// One prepared section cut by a straight water surface, with the cases of the heeled
// hydrostatics (keel wet or dry, deck edge or top under water): for the flow routines that cut
// the hull with a surface other than the trial state's plane one.
#pragma once

#include "driver/case_state.h"

namespace carinex {

struct SectionCut {
    double BSEC = 0.0, GIRTH = 0.0, ASEC = 0.0;  // breadth along the surface, girth, area
};

// Slot K cut by the surface whose depth at the centre plane is ZW and whose slope across the
// section is TANPHI of the test point (either side of the heel gives the same values).
SectionCut cutSection(const CaseState& st, int K, double ZW);

// The same with the reference breadth BREFX given: 100*BREFX stands for the deck crossing of a
// level surface (the test point's BREFX in the form above).
SectionCut cutSection(const CaseState& st, int K, double ZW, double BREFX);

}  // namespace carinex
