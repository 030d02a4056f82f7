// Putting raw offsets in order: stations by increasing x, each section as a
// chain of points from its keel point upward, near-duplicates merged and
// deleted points squeezed out. All work in place on the raw offsets and keep
// NST, NP and NPMAX up to date. A deleted point has its y, z and girth
// distance set to the absent mark, which sorts it behind every real point.
#pragma once

#include <functional>
#include <vector>

#include "driver/case_state.h"

namespace carinex {

void PREP1(CaseState& st);                             // stations by x, points by height
void PREP2(CaseState& st);                             // points by distance from the keel point
void PREP3(CaseState& st);                             // points before the lowest lowered to it
void PREP4(CaseState& st, double TOL, double EPS);     // merge close points, remove dips

// Shell's sort (increments 1, 4, 13, 40, ...) of positions 1..n by key,
// ascending; returns perm with perm[k-1] = the original position now at k.
// Equal keys are never exchanged within a pass, and the order they come out
// in is this method's own: later steps depend on it.
std::vector<int> shellSortOrder(int n, const std::function<double(int)>& key);

}  // namespace carinex
