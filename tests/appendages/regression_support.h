// A heeled trial state of a 10 m yacht with keel, every quantity the two
// Froude-station regressions read set to its own distinct value.
#pragma once

#include <cmath>
#include <memory>

#include "driver/case_state.h"

namespace carinex::test {

inline std::unique_ptr<CaseState> regressionState() {
    auto s = makeCaseState();
    TrialHydrostatics& t = s->trial;
    FlowResults& f = s->flow;
    t.LWLPHI = 10.2, t.BWLPHI = 3.05, t.TCBPHI = 0.52, t.VOLCB = 6.15, t.AHSPHI = 1.21, t.AWLPHI = 22.3;
    t.LWL1 = 5.3, t.LWL2 = 4.9, t.AWL1 = 10.1, t.AWL2 = 12.2, t.VCB1 = 3.0, t.VCB2 = 3.15;
    t.RBL1 = t.BWLPHI / t.LWL1, t.RTL1 = t.TCBPHI / t.LWL1;
    t.RAL1 = std::sqrt(t.AWL1) / t.LWL1, t.RAL2 = std::sqrt(t.AWL2) / t.LWL2;
    t.CW1 = t.AWL1 / (t.BWLPHI * t.LWL1), t.CW2 = t.AWL2 / (t.BWLPHI * t.LWL2);
    t.CVP1 = t.VCB1 / (t.AWL1 * t.TCBPHI), t.RAX1 = std::sqrt(t.AHSPHI) / t.LWL1;
    t.CPA = t.VCB2 / (t.AHSPHI * t.LWL2), t.RLV2 = t.LWL2 / std::cbrt(t.VCB2);
    t.TCLTOH = 0.081, t.RBTPHI = t.BWLPHI / t.TCBPHI, t.LCFPHI = 0.56, t.LCBPHI = 0.535;
    t.KSLP0 = -0.12, t.OVRHNG = 0.75, t.TFWD = 0.35, t.CXPHI = 0.763, t.DRFPHI = 0.012;
    t.OVHTC = t.OVRHNG / t.LWLPHI * t.TCLTOH, t.OVHEXP = std::exp(-20 * t.OVRHNG / t.LWLPHI);
    t.OVHF = 1 + t.OVRHNG / t.LWLPHI;
    t.RKCL = 1.3 / t.LWLPHI, t.VOLFNZ = 4.2;
    f.WENTER = 0.21, f.UMIN = 0.93, f.UMAX = 1.08, f.U25 = 1.02, f.BFLARE = 0.45, f.BRUN = 0.17;
    f.BTRQ = 0.62, f.BDYN = 1.15, f.ZFLARE = 0.7, f.ATRANS = 0.012, f.WPAR = 0.33, f.KVEFF = 0.09;
    s->point.APPON = true, s->point.LEEWAY = 0.05, s->point.QDYN = 4612.5;
    return s;
}

}  // namespace carinex::test
