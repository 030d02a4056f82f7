// Crossings of a straight waterline with a prepared section.
//
// A prepared section is a polyline of 151 points, point 0 on the keel (on the centre plane) to
// point 150 at the top, with half-breadths YS >= 0 and heights ZS positive downward. The arrays
// are zero-based like the section's point numbers. A crossing is reported as a segment number
// (the crossing lies between points I and I+1) and a fraction T along that segment.
#pragma once

#include <array>

namespace carinex {

// Where the line ZS = Z0 + S*YS leaves the water side of the section, by bisection over the
// points; point 0 is taken as wet (below the line) and point 150 as dry. I in 0 ... 149, T
// clamped to [0, 1]. With every point below the line I = 149; with every point from 1 on above
// it I = 0.
void WLCUT(double Z0, double S, const std::array<double, 151>& YS,
           const std::array<double, 151>& ZS, int& I, double& T);

// Entry (I1, T1: first segment whose upper point lies below the line) and exit (I2, T2: next
// segment whose upper point lies above it) of the line ZS = Z0 - S*YS along the section, found
// by a scan from the keel. No exit: I2 = 151, T2 = 0; no entry either: I1 = 151, T1 = 0.
// T1 and T2 are not clamped.
void WLCUT2(double Z0, double S, const std::array<double, 151>& YS,
            const std::array<double, 151>& ZS, int& I1, double& T1, int& I2, double& T2);

}  // namespace carinex
