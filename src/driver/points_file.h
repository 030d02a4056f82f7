// The per-point results file DRAG\DRAG_###_points.csv: one header row of
// named columns with their units, then one row per test point in input
// order, for a spreadsheet or a script to read without guessing.
//
// Every row holds the point's inputs and its status. A point that reached
// an equilibrium adds its Froude number with the waterline length it is
// based on, sinkage and trim, the resistance components (friction, the
// rest of the hull force, keel, rudder and residuary resistance, which add
// up to the total), the stimulator drags (reported beside the total, not in
// it), the side forces, and the dynamic pressure and wetted surface the
// table's drag areas and coefficients are formed with. Where the run
// computes the Delft regression its values follow. A point without
// convergence leaves all result fields empty.
#pragma once

#include <ostream>
#include <span>
#include <string>

#include "driver/campaign_results.h"

namespace carinex {

// The header row (without its line end).
std::string pointsHeaderLine();

// The row of one test point, numbered from 1 (without its line end).
std::string pointsRowLine(int number, const PointRecord& r);

void writePointsFile(std::ostream& out, std::span<const PointRecord> points);

}  // namespace carinex
