#include "appendages/trim_regression.h"

#include <array>

#include "appendages/regression_parameters.h"
#include "appendages/regression_station.h"
#include "appendages/regression_tables.h"

namespace carinex {

using namespace regression;

namespace {

double trimStation(const CaseState& st, TrimParameters& P, int k) {
    refillTrimStation(st, k, P);
    return stationValue(kTRIMRGStations(k), P);
}

}  // namespace

void TRIMRG(const CaseState& st, double& TFLOW) {
    TrimParameters P;
    fillTrimParameters(st, P);
    const double FN = st.balance.FN;
    const int m = stationIndex(FN);
    if (m < 1) {
        TFLOW = trimStation(st, P, 1);
        return;
    }
    // four stations around the interval of FN, the last four at high speed
    const int first = (m == 1) ? 1 : (m <= 13) ? m - 1 : 12;
    std::array<double, 4> V{};
    for (int i = 0; i < 4; ++i) V[static_cast<std::size_t>(i)] = trimStation(st, P, first + i);
    if (m >= 14 && wildLastStation(V[2], V[3])) V[3] = V[2];
    TFLOW = fourStationSpline(first, V, stationAbscissa(FN));
}

}  // namespace carinex
