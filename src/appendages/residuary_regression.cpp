#include "appendages/residuary_regression.h"

#include <algorithm>
#include <array>

#include "appendages/regression_station.h"
#include "appendages/regression_tables.h"

namespace carinex {

using namespace regression;

namespace {

// The spline between stations lo and lo + 1 may overshoot where the station
// values change steeply; then the straight line between them is taken.
double withinInterval(double spline, double Rlo, double Rhi, int lo, double x) {
    if (spline >= std::min(Rlo, Rhi) && spline <= std::max(Rlo, Rhi)) return spline;
    return Rlo + (Rhi - Rlo) * (x - lo);
}

std::array<double, 4> fourStations(const CaseState& st, ResiduaryParameters& Q, int first) {
    std::array<double, 4> R{};
    for (int i = 0; i < 4; ++i) R[static_cast<std::size_t>(i)] = RESSTA(st, Q, first + i);
    return R;
}

// Residuary resistance per dynamic pressure, interpolated over the stations.
double interpolatedStations(const CaseState& st, ResiduaryParameters& Q, double FN) {
    const int m = stationIndex(FN);
    const double x = stationAbscissa(FN);
    if (m < 1) return RESSTA(st, Q, 1);
    if (m == 1) {
        const auto R = fourStations(st, Q, 1);
        return fourStationSpline(1, R, x);
    }
    if (m <= 13) {
        const auto R = fourStations(st, Q, m - 1);
        return withinInterval(fourStationSpline(m - 1, R, x), R[1], R[2], m, x);
    }
    if (m == 14) {
        auto R = fourStations(st, Q, 12);
        if (wildLastStation(R[2], R[3])) R[3] = R[2];
        return withinInterval(fourStationSpline(12, R, x), R[2], R[3], 14, x);
    }
    // beyond the last station: straight on with the slope of the last interval
    const double R14 = RESSTA(st, Q, 14), R15 = RESSTA(st, Q, 15);
    return R15 + (R15 - R14) * 10.0 * (FN - 0.8);
}

}  // namespace

double RESSTA(const CaseState& st, ResiduaryParameters& Q, int k) {
    refillResiduaryStation(st, k, Q);
    return std::max(0.0, residuaryScale(st, Q, k) * stationValue(kRESIRGStations(k), Q));
}

void RESIRG(const CaseState& st, double FN, double TFLOW, double& RR) {
    ResiduaryParameters Q;
    fillResiduaryParameters(st, TFLOW, Q);
    RR = interpolatedStations(st, Q, FN) * st.point.QDYN;
}

}  // namespace carinex
