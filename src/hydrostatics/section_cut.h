// One prepared section cut by a heeled water surface, for the routines after
// the hydrostatics that need the immersed part of a single station at a level
// of their own (the wetted transom, the hull above the rudder).
#pragma once

#include "driver/case_state.h"

namespace carinex {

// Breadth along the surface, wetted girth (both sides) and immersed area.
struct SectionCut {
    double BSEC = 0.0, GIRTH = 0.0, ASEC = 0.0;
};

// Slot K cut by the surface through ZW (height of the surface at the centre
// plane, z down) inclined by the heel of the test point, with the cases and
// formulas of the heeled hydrostatics: deck edge or top under water, a keel
// above the surface (dry upright; heeled, the surface may still cut into the
// low side). 100*BREFX stands for the deck crossing of a level surface.
SectionCut cutSection(const CaseState& st, int K, double ZW, double BREFX);

}  // namespace carinex
