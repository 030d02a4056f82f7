#include "flow/level_cut.h"

#include <cassert>
#include <cmath>
#include <cstddef>

#include "geometry/waterline_cut.h"

namespace carinex {

namespace {

constexpr int kLastPoint = kSectionPoints - 1;
constexpr int kNoCrossing = kSectionPoints;  // WLCUT2's segment number for "no such crossing"

double offsetAt(const Section& YS, int I, double T) {
    const auto i = static_cast<std::size_t>(I);
    return YS[i] + T * (YS[i + 1] - YS[i]);
}

}  // namespace

LevelCut cutAtLevel(const CaseState& st, int K, double Z0) {
    assert(K >= 0 && K < kStationSlots);
    const Section& YS = st.hull.YS[static_cast<std::size_t>(K)];
    const Section& ZS = st.hull.ZS[static_cast<std::size_t>(K)];
    const double s = std::fabs(st.point.TANPHI);
    LevelCut c;
    int I = 0;
    double T = 0.0;
    if (Z0 < ZS[0]) {
        c.cut = true;
        WLCUT(Z0, s, YS, ZS, I, T);
        c.inner = -offsetAt(YS, I, T);
        WLCUT(Z0, -s, YS, ZS, I, T);
        c.outer = offsetAt(YS, I, T);
        return c;
    }
    if (s == 0.0) return c;
    int I2 = 0;
    double T2 = 0.0;
    WLCUT2(Z0, s, YS, ZS, I, T, I2, T2);
    if (I == kNoCrossing) return c;
    c.cut = true;
    c.inner = offsetAt(YS, I, T);
    // no exit below the deck: the line leaves the section where it reaches the top's height
    c.outer = I2 == kNoCrossing ? (Z0 - ZS[kLastPoint]) / s : offsetAt(YS, I2, T2);
    return c;
}

}  // namespace carinex
