#include "appendages/regression_parameters.h"

#include <algorithm>
#include <cmath>

#include "appendages/regression_station.h"

namespace carinex::regression {

namespace {

double square(double v) { return v * v; }

// The keel's effective volume: the effective-volume model sets it only when
// the appendages are on, so a bare-hull point must not read the value a
// previous point with keel left behind.
double effectiveKeelVolume(const CaseState& st) { return st.point.APPON ? st.flow.KVEFF : 0.0; }

// Keel volume over a volume scale; no keel, or a state without effective
// volume near the surface, gives no keel term.
double keelVolumeRatio(double KVEFF, double S) { return (KVEFF != 0.0 && S > 0.0) ? KVEFF / S : 0.0; }

}  // namespace

void fillTrimParameters(const CaseState& st, TrimParameters& P) {
    const TrialHydrostatics& t = st.trial;
    const FlowResults& f = st.flow;
    P.fill(0.0);
    P(2) = t.RBL1;
    P(3) = t.RTL1;
    P(4) = t.RAL1;
    P(6) = t.CW1;
    P(7) = t.CVP1;
    P(8) = t.RAX1;
    P(9) = f.WENTER;
    P(10) = square(f.UMIN);
    P(11) = f.BFLARE;
    P(12) = t.CPA;
    P(15) = t.RAL2;
    P(16) = t.RLV2;
    P(17) = t.CW2;
    P(20) = t.TCLTOH;
    P(22) = f.BRUN;
    P(25) = t.RBTPHI;
    P(26) = t.LCFPHI - 0.5;
    P(30) = square(f.UMAX);
    P(31) = std::pow(t.VCB1, 2.0 / 3.0) / t.AWL1;
    P(32) = std::pow(t.VCB2, 2.0 / 3.0) / t.AWL2;
    P(33) = t.KSLP0;
    P(34) = t.OVHTC;
    P(35) = f.ATRANS;
    P(36) = t.TFWD;
    P(37) = t.VOLFNZ / t.LWLPHI / t.AWLPHI;
    P(38) = t.OVHEXP;
    refillTrimStation(st, 1, P);
    P(40) = 0.0;  // read by the high-speed stations, set by nothing
    P(41) = st.point.LEEWAY;
    P(42) = square(t.DRFPHI / t.RBL1);
    const double KVEFF = effectiveKeelVolume(st);
    P(43) = (KVEFF != 0.0 && t.VOLFNZ > 0.0) ? std::sqrt(KVEFF * t.LWLPHI / t.VOLFNZ) : 0.0;
    P(44) = t.OVHF;
}

void refillTrimStation(const CaseState& st, int k, TrimParameters& P) {
    P(39) = st.trial.OVHF / square(stationFroude(k));
}

void fillResiduaryParameters(const CaseState& st, double TFLOW, ResiduaryParameters& Q) {
    const TrialHydrostatics& t = st.trial;
    const FlowResults& f = st.flow;
    const double L = t.LWLPHI;
    Q.fill(0.0);
    Q(1) = t.VOLCB / (t.AHSPHI * L);
    Q(2) = t.BWLPHI / L;
    Q(3) = t.TCBPHI / L;
    Q(4) = std::sqrt(t.AWLPHI) / L;
    Q(5) = L / std::cbrt(t.VOLCB);
    Q(6) = t.AWLPHI / (t.BWLPHI * L);
    Q(7) = t.VOLCB / (t.AWLPHI * t.TCBPHI);
    Q(8) = std::sqrt(t.AHSPHI) / L;
    Q(9) = f.WENTER;
    Q(10) = square(f.UMIN);
    Q(11) = f.BFLARE;
    Q(12) = t.TCLTOH;
    Q(13) = f.BTRQ;
    Q(15) = t.CXPHI;
    Q(16) = square(f.BDYN);
    Q(17) = t.RBTPHI;
    Q(18) = t.LCFPHI - 0.5;
    Q(19) = t.LCBPHI - 0.5;
    Q(20) = square(f.U25);
    Q(22) = square(f.UMAX);
    Q(23) = std::pow(t.VOLCB, 2.0 / 3.0) / t.AWLPHI;
    Q(24) = t.KSLP0;
    Q(26) = t.TFWD;
    Q(27) = std::max(f.ATRANS, 0.0);
    Q(28) = (t.OVRHNG / L) * t.TCLTOH;
    Q(30) = f.WPAR;
    Q(31) = f.ZFLARE;
    Q(32) = 1.0 / std::exp(20.0 * t.OVRHNG / L);
    Q(33) = TFLOW;
    Q(35) = square(t.DRFPHI / t.RBL1);
    refillResiduaryStation(st, 1, Q);
}

double residuaryScale(const CaseState& st, const ResiduaryParameters& Q, int k) {
    const TrialHydrostatics& t = st.trial;
    if (k == 6) return t.AWLPHI / Q(5);
    if (k < 10) return t.VOLFNZ / t.LWLPHI;
    return t.VOLCB / t.LWLPHI;
}

void refillResiduaryStation(const CaseState& st, int k, ResiduaryParameters& Q) {
    const TrialHydrostatics& t = st.trial;
    const double overhang = t.OVRHNG / t.LWLPHI + 1.0;
    Q(29) = overhang / square(stationFroude(k));
    Q(36) = keelVolumeRatio(effectiveKeelVolume(st), residuaryScale(st, Q, k));
    Q(37) = t.RKCL * Q(36);
    if (k > 12) Q(37) /= overhang;
}

}  // namespace carinex::regression
