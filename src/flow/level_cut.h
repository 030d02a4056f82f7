// Crossings of a level line with a prepared section, for the measures of the
// hull's form at levels other than the trial waterline.
//
// The level is the line through the height Z0 (z down) at the centre plane,
// inclined by the heel. As in the heeled hydrostatics the cut is taken in the
// frame in which the heel is positive: the low (lee) side lies at y > 0, where
// the line is ZS = Z0 - s*y with s = |TANPHI|, the high side at y < 0. A
// section is symmetric, so the heel to the other side is the mirror image.
#pragma once

#include "driver/case_state.h"

namespace carinex {

struct LevelCut {
    bool cut = false;    // the level cuts the section at all
    double inner = 0.0;  // high-side crossing (y < 0), or the entry on the low side of a dry keel
    double outer = 0.0;  // low-side (lee) crossing
};

// Keel below the level: the crossings of both sides. Keel at or above it:
// upright nothing is cut; heeled, the line may enter the low side and leave it
// again, or leave it across the deck.
LevelCut cutAtLevel(const CaseState& st, int K, double Z0);

// Breadth of the cut along the inclined line.
inline double breadthOf(const LevelCut& c, double COSPHI) { return c.cut ? (c.outer - c.inner) / COSPHI : 0.0; }

// Linear interpolation (or extrapolation) through (x1, v1) and (x2, v2) at x.
inline double lineThrough(double x1, double v1, double x2, double v2, double x) {
    return v1 + (v2 - v1) * (x - x1) / (x2 - x1);
}

}  // namespace carinex
