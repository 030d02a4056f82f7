// Flare and run measures of the trial state: how the breadths of the largest
// section, of the run and of the bow change above and below the trial
// waterline. They describe the form for the regressions of the stern flow and
// the residuary resistance.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>

#include "flow/effective_volume.h"
#include "flow/level_cut.h"

namespace carinex {

namespace {

constexpr double kFlareDepth = 0.7;  // levels of the flare ratio, in mean drafts
constexpr int kLowestBowSlot = 20;   // the bow search ends here ...
constexpr double kBowHeight = 0.26;  // flare height, in VOLCB^(1/3)

double xOf(const CaseState& st, int K) {
    assert(K >= 0 && K < kStationSlots);
    return st.hull.XST[static_cast<std::size_t>(K)];
}

// Section height at slot K of the level z above the trial waterline.
double levelAbove(const CaseState& st, int K, double z) {
    const TestPoint& p = st.point;
    return p.SINKG - (p.TRIMW * xOf(st, K) + z) / p.COSPHI;
}

double breadthAbove(const CaseState& st, int K, double z) {
    return breadthOf(cutAtLevel(st, K, levelAbove(st, K, z)), st.point.COSPHI);
}

// BDYN: breadth TM above over breadth TM below the trial waterline, at the
// largest section and its neighbour towards XMREF, interpolated to XMREF. A
// slot whose section does not reach TM below is left out; with neither the
// ratio is 1, a wall-sided section.
double flareRatio(const CaseState& st, int NSLOT) {
    const TrialHydrostatics& t = st.trial;
    const TestPoint& p = st.point;
    const double TM = kFlareDepth * t.VOLCB / t.AWLPHI;
    const int K1 = t.IAMAX;
    int K2 = t.XMREF >= xOf(st, K1) ? K1 + 1 : K1 - 1;
    if (K2 > NSLOT || K2 < 0) K2 = 2 * K1 - K2;
    auto ratio = [&](int K, double& r) {
        const double level = p.SINKG - p.TRIMW * xOf(st, K) / p.COSPHI;
        const double below = breadthOf(cutAtLevel(st, K, level + TM), p.COSPHI);
        if (!(below > 0.0)) return false;
        r = breadthOf(cutAtLevel(st, K, level - TM), p.COSPHI) / below;
        return true;
    };
    double r1 = 0.0, r2 = 0.0;
    const bool has1 = ratio(K1, r1), has2 = ratio(K2, r2);
    if (has1 && has2) return lineThrough(xOf(st, K1), r1, xOf(st, K2), r2, t.XMREF);
    if (has1) return r1;
    if (has2) return r2;
    return 1.0;
}

// Breadth at the level z above the waterline, from the first two slots of
// the waterline to its aft end XAPHI.
double aftBreadth(const CaseState& st, double z) {
    const int K = st.trial.ISTA1;
    return lineThrough(xOf(st, K), breadthAbove(st, K, z), xOf(st, K + 1), breadthAbove(st, K + 1, z), st.trial.XAPHI);
}

// BRUN and BTRQ.
void sternMeasures(CaseState& st, double VBOOT) {
    const TrialHydrostatics& t = st.trial;
    FlowResults& f = st.flow;
    f.BRUN = (t.BWLPHI - aftBreadth(st, t.TCBPHI / 3.0)) / 2.0 / (t.XMREF - t.XAPHI);
    const double TQ = std::min(VBOOT * VBOOT / (4.0 * st.run.GRAV), t.VOLCB / t.AWLPHI);
    // at rest the level sits on the waterline and the measure has no height
    f.BTRQ = TQ > 0.0 ? aftBreadth(st, TQ) / (2.0 * TQ) : 0.0;
}

// Lower slot of the pair that brackets XSW, searched from the bow down to
// slot 20 (19 when none does).
int bowPair(const CaseState& st, int NSLOT, double XSW) {
    const int KF = std::min(NSLOT, st.trial.ISTA2);
    for (int K = KF - 1; K >= kLowestBowSlot; --K)
        if (xOf(st, K) <= XSW) return K;
    return kLowestBowSlot - 1;
}

// BFLARE and ZFLARE at XSW, the bow-wave position of the speed.
void bowMeasures(CaseState& st, int NSLOT, double VBOOT) {
    const TrialHydrostatics& t = st.trial;
    const TestPoint& p = st.point;
    const double FNL = VBOOT / std::sqrt(st.run.GRAV * t.LWLPHI);
    const double XSW = t.XFPHI - (0.203 * FNL + 0.11) * t.LWLPHI * FNL;
    const double C26 = kBowHeight * std::cbrt(t.VOLCB);
    const int K1 = bowPair(st, NSLOT, XSW), K2 = K1 + 1;
    // breadth gained up to C26 above the waterline; a section whose keel lies
    // above that level keeps its waterline breadth
    auto gain = [&](int K) {
        const double BSEC = t.BSEC[static_cast<std::size_t>(K)];
        const double level = levelAbove(st, K, C26);
        const double B = level >= st.hull.ZS[static_cast<std::size_t>(K)][0] ? BSEC : breadthAbove(st, K, C26);
        return B - BSEC;
    };
    auto leeOffset = [&](int K, double z) {
        const LevelCut c = cutAtLevel(st, K, levelAbove(st, K, z));
        return c.cut ? c.outer : 0.0;
    };
    const double x1 = xOf(st, K1), x2 = xOf(st, K2);
    st.flow.BFLARE = lineThrough(x1, gain(K1), x2, gain(K2), XSW) / 2.0 / C26;
    const double lee = lineThrough(x1, leeOffset(K1, C26), x2, leeOffset(K2, C26), XSW) -
                       lineThrough(x1, leeOffset(K1, 0.0), x2, leeOffset(K2, 0.0), XSW);
    st.flow.ZFLARE = lee / (p.COSPHI * C26) + std::fabs(p.TANPHI);
}

}  // namespace

void hullFlareMeasures(CaseState& st, int NSLOT, double VBOOT) {
    st.flow.BDYN = flareRatio(st, NSLOT);
    sternMeasures(st, VBOOT);
    bowMeasures(st, NSLOT, VBOOT);
}

}  // namespace carinex
