// Froude-station regressions: at each of 15 Froude stations a linear
// regression in up to 11 hull-form parameters, and the interpolation of the
// station values in the Froude number by a natural cubic spline through four
// neighbouring stations. Shared by the flow-trim and the residuary-resistance
// models, which differ in their parameters and in how the spline result is
// guarded.
#pragma once

#include <array>
#include <span>

#include "driver/indexing.h"

namespace carinex::regression {

constexpr int kStations = 15;      // FN(k) = 0.05 (k + 1), k = 1 .. 15: 0.10 .. 0.80
constexpr int kSlots = 11;         // parameter slots of one station's regression
constexpr double kStationStep = 0.05;

// One station: slot j = 1..11 names parameter index[j] (0: empty slot,
// index[0] unused); c[0] is the constant and c[j] the factor of slot j.
struct StationRow {
    std::array<int, kSlots + 1> index;
    std::array<double, kSlots + 1> c;
};
using StationTable = OneBased<StationRow, kStations>;

// Froude number of station k.
constexpr double stationFroude(int k) { return kStationStep * (k + 1); }

// Station index m = int(FN/0.05) - 1 by truncation; speeds far beyond the
// last station all give the same m, so the conversion cannot overflow.
int stationIndex(double FN);

// Spline abscissa x = FN/0.05 - 1: station k sits at x = k.
inline double stationAbscissa(double FN) { return FN / kStationStep - 1.0; }

// Station value c0 + sum of c(j) P(index(j)) over the occupied slots.
template <int N>
double stationValue(const StationRow& row, const OneBased<double, N>& P) {
    double v = row.c[0];
    for (int j = 1; j <= kSlots; ++j)
        if (row.index[j] != 0) v += row.c[j] * P(row.index[j]);
    return v;
}

// Natural cubic spline through (first + i, V[i]), i = 0..3, at x. Where the two
// values bracketing x are equal that value is taken; beyond the end stations
// the end interval's cubic is extended.
double fourStationSpline(int first, std::span<const double, 4> V, double x);

// The last station is wild when it lies more than 110 % away from the one
// before: |last/before - 1| > 1.1. A zero station before makes any nonzero
// last station wild.
bool wildLastStation(double before, double last);

}  // namespace carinex::regression
