#include "appendages/regression_station.h"

#include <cmath>

#include "geometry/natural_spline.h"

namespace carinex::regression {

int stationIndex(double FN) {
    const double s = FN / kStationStep;
    // every m >= kStations selects the same branch; NaN lands there too
    if (!(s < kStations + 2.0)) return kStations + 1;
    if (s < 0.0) return -1;
    return static_cast<int>(s) - 1;
}

double fourStationSpline(int first, std::span<const double, 4> V, double x) {
    const std::array<double, 4> X{double(first), double(first + 1), double(first + 2), double(first + 3)};
    // the bracketing interval, found as the spline evaluation finds it
    int lo = 0, hi = 3;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (x >= X[static_cast<std::size_t>(mid)]) lo = mid;
        else hi = mid;
    }
    if (V[static_cast<std::size_t>(lo)] == V[static_cast<std::size_t>(hi)]) return V[static_cast<std::size_t>(lo)];
    std::array<double, 4> Y2{};
    SPLNAT(4, X, V, Y2);
    return splnatValue(4, X, V, Y2, x);
}

bool wildLastStation(double before, double last) {
    if (before == 0.0) return last != 0.0;
    return std::fabs(last / before - 1.0) > 1.1;
}

}  // namespace carinex::regression
