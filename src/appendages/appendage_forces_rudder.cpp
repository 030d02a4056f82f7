// The rudder behind keel and hull: the downwash they throw onto it, its
// inflow over the immersed span, its lift, drag and root wave term.
#include <algorithm>
#include <cmath>

#include "appendages/appendage_forces_steps.h"

namespace carinex::appfrc {

namespace {

// The four downwash parameters of hull (1) and keel (2) and their factor.
struct Downwash {
    double H1 = 0, V1 = 0, H2 = 0, V2 = 0, factor = 0;
};

// Downwash angle from a height ratio H and a vortex displacement V over the
// depth d.
double downwashAngle(double H, double V, double d) { return std::max(0.0, H - V * (0.906 * H - 0.555) / d); }

}  // namespace

// Step 10: the trailing vortices of keel and hull, near the rudder when the
// keel's vortex drifts little over the distance to it, far otherwise.
void rudderDownwash(const CaseState& st, Work& w) {
    const TestPoint& p = st.point;
    const TrialHydrostatics& t = st.trial;
    const PreparedHull& h = st.hull;
    const CaseInput& in = st.input;
    w.XR = (h.XR0 - p.RCWL / 4.0) - 0.4 * ((in.RSPAN - p.SINKG) + p.TRIMW * h.XR1 / p.COSPHI) * in.RTANSW;
    w.EH = w.EK = 0.0;
    const double LKR = w.XKM - w.XR;
    if (LKR <= 0.0) return;  // no keel ahead of the rudder, no downwash on it
    const double AR2 = p.LEEWAY * p.COSPHI + st.app.DTRIM * p.SINPHI;
    const double DV = w.CYE != 0.0 ? std::fabs(t.KSPAN * 0.56 * w.AEK / w.CYE) : st.upright.LWL;
    const Downwash near{(w.HD / 2.0) / LKR + 1.6, std::fabs(p.SINLW - 0.43 * w.kL) * LKR,
                        (t.KSPAN / 2.0) / LKR + 1.6, std::fabs((AR2 - 0.43 * w.SI) * LKR), 0.7};
    Downwash d = near;
    if (DV > 0.9 * LKR) {
        const double L1 = t.XMREF - w.XR, L2 = h.XK1 - w.XR;
        const double decay = 0.75 * std::exp(-3.06 / w.AEK);
        const Downwash far{(w.HD / 2.0) / L1 + 2.0, std::fabs(p.SINLW * decay * L1), (t.KSPAN / 2.0) / L2 + 2.0,
                           std::fabs(AR2 * decay * L2), 0.53};
        d = far;
        if (DV < 1.1 * LKR) {
            const double b = 5.0 * (DV - 0.9 * LKR) / LKR;
            auto blend = [b](double n, double f) { return n + b * (f - n); };
            d = {blend(near.H1, far.H1), blend(near.V1, far.V1), blend(near.H2, far.H2), blend(near.V2, far.V2),
                 0.7 - 0.17 * b};
        }
    }
    if (w.HD > 0.0) w.EH = d.factor * w.kL * p.COSPHI * downwashAngle(d.H1, d.V1, w.HD);
    w.EK = d.factor * w.SI * downwashAngle(d.H2, d.V2, t.KSPAN);
}

namespace {

// (AE2 / (AE2 - r)) ((HJ + r)/HJ - (r/AE2) sqrt((AE2/HJ)^2 + 1 + 2r/HJ)): the
// inflow of a rudder joined to the hull over the height r below a hull
// section of equivalent half-breadth AE2. At AE2 = r numerator and
// denominator vanish together; their limit is taken there.
double junctionInflow(double AE2, double r, double HJ) {
    if (AE2 == r) return (1.0 + 2.0 * r / HJ) / (1.0 + r / HJ);
    return (AE2 / (AE2 - r)) * ((HJ + r) / HJ - (r / AE2) * std::sqrt((AE2 / HJ) * (AE2 / HJ) + 1.0 + 2.0 * r / HJ));
}

// Inflow over the immersed rudder, its effective aspect ratio and the
// junction terms.
struct Inflow {
    double AR0 = 0;  // inflow angle of the rudder (before the drift term)
    double AR = 0;   // effective aspect ratio
    double AC = 0;   // inflow angle of the hull gap, rudder angle included
    double GF = 1;   // share of the free-surface effect the gap leaves
    double gap = 0;  // joined height over chord, heel corrected (g')
};

// Step 11, items 1 and 2.
Inflow rudderInflow(const CaseState& st, double DELR, double TLIFT, const Work& w, double FS) {
    const TestPoint& p = st.point;
    const TrialHydrostatics& t = st.trial;
    const UprightParticulars& u = st.upright;
    const double AR2 = p.LEEWAY * p.COSPHI + st.app.DTRIM * p.SINPHI;
    const double S = t.RIMM, hullPart = 0.79 * TLIFT;
    Inflow f;
    f.AR = FS * p.RASP;
    const double AE2 = t.RIMMC > 0.0 ? 2.0 * st.flow.RGAP / (st.run.PI * t.RIMMC) : 0.0;
    if (t.RIMMC <= 0.0 || AE2 <= 0.0) {
        // the rudder hangs free below the hull (or there is no hull section at its root)
        f.AR0 = (1.0 - t.RWAKE / S) * AR2 + (AR2 - w.EK) * (t.RWAKE - hullPart) / S + (AR2 - w.EH) * hullPart / S;
        return f;
    }
    const double HJ = (u.SH1 + u.SH2) / 2.0;
    const double HB = HJ - DELR;
    double inner = 0.0;
    if (hullPart - t.RIMMC <= DELR) {
        inner = ((t.RIMM - t.RWAKE) / HB) * AR2 + (AR2 - w.EK) * ((t.RWAKE - t.RIMMC) - DELR) / HB;
    } else {
        inner = ((t.RIMM - t.RWAKE) / HB) * AR2 + (AR2 - w.EK) * (t.RWAKE - hullPart) / HB +
                (AR2 - w.EH) * ((hullPart - t.RIMMC) - DELR) / HB;
        f.AC = (AR2 - w.EH) * (t.RIMMC / AE2 + 1.0) * p.COSPHI;
    }
    f.AR0 = junctionInflow(AE2, t.RIMMC, HJ) * p.COSPHI * inner;
    f.AC += p.RUDANG;
    f.gap = t.RIMMC * p.COSPHI / p.RCWL;
    const double g = f.gap;
    f.GF = std::max(0.0, 0.5 + std::exp(-16.0 * g) / 2.0 - ((5.113 * g - 5.672) * g + 2.504) * g);
    f.AR = (FS * f.GF + 2.0 * (1.0 - f.GF)) * p.RASP;
    return f;
}

// Step 11, item 11: wave resistance of the rudder root at the surface.
double rootWaveTerm(const CaseState& st, const Inflow& f, double FNR) {
    const TestPoint& p = st.point;
    const CaseInput& in = st.input;
    const double PI = st.run.PI;
    const double b = p.RASP * p.COSPHI;
    const double CW = (in.RTCRT * 2.205 / p.COSPHI) * f.GF * (1.0 - std::exp(-b / 0.32));
    const double n = std::max(4.77 - 0.2 * b, 4.0);
    const double E = (0.53 * f.gap + 0.555) - 0.065 * std::exp(-b / 0.54);
    const double D0 = std::max(0.38, E / 2.0 + st.run.EPS);
    const double FW = D0 < FNR ? std::pow(std::sin(PI * E / (2.0 * FNR)), n) * CW
                               : (FNR / D0) * CW * std::pow(std::sin(PI * E / (2.0 * D0)), n);
    return p.QDYN * p.RCWL * p.RCWL * in.RTCRT * FW / p.COSPHI * in.RSECTF;
}

}  // namespace

// Step 11: the rudder. Without chord or effective area it carries no force.
void rudderForces(CaseState& st, double DELR, double TLIFT, Work& w) {
    const TestPoint& p = st.point;
    const CaseInput& in = st.input;
    const TrialHydrostatics& t = st.trial;
    AppendageResults& a = st.app;
    const double PI = st.run.PI;
    const double RAEFF = st.flow.RAEFF;
    if (p.RCWL == 0.0 || RAEFF <= 0.0) {
        a.FXR = a.FYR = a.MYR = 0.0;
        a.FZR = 0.0;  // an emerged rudder must not keep the lift of an earlier trial state
        return;
    }
    const double FNR = p.VBOOT / std::sqrt(st.run.GRAV * p.RCWL);
    const double FS = FNR < 0.4 ? 2.0 : 0.9 + 1.1 * std::pow(std::sin(0.2 * PI / FNR), 3);
    const Inflow f = rudderInflow(st, DELR, TLIFT, w, FS);
    const double AR0 = f.AR0 - in.RDRFTF * t.DRFPHI;
    const double sr = AR0 - AR0 * AR0 * AR0 / 6.0;
    const double cr = 1.0 - AR0 * AR0 / 2.0;
    const double AT = p.RUDANG + AR0;
    const double AR = f.AR;
    const double KN = AR > 1.478662 ? 5.1905 * std::exp(-0.7639 * AR) : (-0.6723 * AR + 1.1035) * AR + 1.5157;
    const double CR = (p.RCWL + in.RCTIP) / 2.0;
    const double RE = p.VNU * CR;
    const double RETRIP = RE * (in.RSTYPE == 0 ? 0.18 : 0.1) * std::max(w.UA, w.UB);
    const double F = sectionLift(in.RSTYPE, a.SLOPR, RE, RETRIP, w.RECRIT, std::fabs(AT), in.FULLSC);
    const double kappa = a.SLOPR * F;
    const double CLA = 2.0 * PI * AR * kappa / (2.0 * kappa + std::sqrt(AR * AR / (in.RCOSSW * in.RCOSSW) + 4.0 * kappa * kappa));
    const double up = 1.146 - 0.478 * AT * CLA, down = 1.146 + 0.478 * AT * CLA;
    a.STIMR = (up * up + down * down) / 2.0 * a.STIMR;
    double CLR = (KN * std::fabs(AT) + CLA / (PI * CLA * (a.STIMR / p.QDYN / RAEFF) + 1.0)) * AT;
    double CD = 0.0;
    if (std::fabs(CLR) > a.CLMXR) {
        // a stalled rudder is a flat plate
        CD = 2.1 * std::sin(AT) * std::sin(AT);
        CLR = 2.3 * std::sin(AT) * std::cos(AT);
    } else {
        CD = sectionDrag(in.RSTYPE, RE, RETRIP, w.RECRIT, CLR * CLR, (in.RTCRT + in.RTCTP) / 2.0,
                         std::fabs(AT) * 180.0 / PI, in.FULLSC);
    }
    const double LR = p.QDYN * RAEFF * CLR;
    const double DRR = p.QDYN * RAEFF * CD + (CLR * LR / PI) / AR;
    if (f.AC != 0.0 && AT != 0.0) w.YH += p.QDYN * 0.25 * p.RCWL * t.RIMMC * f.AC * (CLR / AT);
    const double DX = cr * DRR - LR * sr;
    const double DY = sr * DRR + LR * cr;
    a.FZR = p.SINPHI * DY;
    const double RW = rootWaveTerm(st, f, FNR);
    const double lever = st.balance.ZDRAG2 + in.ZTOW;
    a.MYR = ((st.flow.RHSPAN + lever) * ((DRR + a.STIMR) * cr - LR * sr) + lever * p.COSLW * RW) * p.COSPHI -
            (w.XR - p.XCG) * a.FZR;
    a.FYR = p.COSPHI * p.COSLW * DY - DX * p.SINLW;
    a.FXR = DX * p.COSLW + p.COSPHI * p.SINLW * DY + RW;
    a.STIMR = p.COSPHI * p.SINLW * sr * a.STIMR + cr * a.STIMR * p.COSLW;
}

}  // namespace carinex::appfrc
