// Natural cubic spline: the ordinary cubic spline with zero curvature at both
// ends, for the few short tables that want a smooth curve through tabulated
// values (the keel tip table, the lifting line, the Froude-station regressions).
//
// Arrays are passed as zero-based spans of length N; element k holds what the
// formulas call X(k+1).
#pragma once

#include <span>

namespace carinex {

// Second derivatives Y2 of the natural cubic spline through (X, Y), N points,
// with Y2 = 0 at both ends. The abscissae may be ascending or descending.
void SPLNAT(int N, std::span<const double> X, std::span<const double> Y, std::span<double> Y2);

// Value of that spline at x; outside the end abscissae the end interval's cubic
// is extended.
double splnatValue(int N, std::span<const double> X, std::span<const double> Y,
                   std::span<const double> Y2, double x);

}  // namespace carinex
