#include "appendages/appendage_forces.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "appendages/appendage_forces_steps.h"
#include "appendages/keel_lifting_line.h"
#include "appendages/section_data.h"
#include "geometry/natural_spline.h"

namespace carinex {

namespace appfrc {

double sectionLift(int family, double A0, double RE, double RETRIP, double RECRIT, double ALPHA, bool FULLSC) {
    switch (family) {
        case 0: return SLIF00(A0, RE, RETRIP, RECRIT, ALPHA, FULLSC);
        case 63: return SLIF63(A0, RE, RETRIP, RECRIT, ALPHA, FULLSC);
        default: return SLIF64(A0, RE, RETRIP, RECRIT, ALPHA, FULLSC);
    }
}

double sectionDrag(int family, double RE, double RETRIP, double RECRIT, double CL2, double TC, double ALFDEG,
                   bool FULLSC) {
    double CD = 0.0;
    switch (family) {
        case 0: SDRG00(RE, RETRIP, RECRIT, TC, ALFDEG, CL2, CD, FULLSC); break;
        case 63: SDRG63(RE, RETRIP, RECRIT, CL2, CD, TC, ALFDEG, FULLSC); break;
        default: SDRG64(RE, RETRIP, RECRIT, CL2, CD, TC, ALFDEG, FULLSC); break;
    }
    return CD;
}

}  // namespace appfrc

namespace {

using appfrc::Work;

constexpr double kNoLiftAngle = 1e-5;     // keel angle and drift below which the keel carries no lift
constexpr double kFullShareHeel = 0.35;   // heel from which the carried-over lift acts fully along the hull
constexpr double kTripCritical = 30000;   // critical stimulator Reynolds number of a trip strip
constexpr double kStudCritical = 100000;  // ... of studs

// Step 1: the hull and the free surface mirror the keel; their effect on
// its aspect ratio falls with the Froude number and the draft ratio.
void aspectRatioFactor(CaseState& st, Work& w) {
    const TrialHydrostatics& t = st.trial;
    const double FNc = std::clamp(st.balance.FN, 0.15, 0.45);
    st.app.KARF = 2.0 * (10.0 * (t.TCBPHI / t.LWLPHI) * ((13.856 * FNc - 3.7601) * FNc - 0.3935) + 1.6595 -
                         1.9516 * FNc);
    w.AEK = st.app.KARF * t.KSPAN / st.upright.KCMEAN;
}

// Step 2: keel angle (leeway and the heeled keel's share of the flow trim)
// and hull drift; the lifting line when both are not negligible.
void anglesAndLiftingLine(CaseState& st, RunFiles& io, Work& w) {
    const TestPoint& p = st.point;
    const double sweep = st.upright.KSWPE - st.app.DTRIM * p.COSPHI;
    w.AK = st.app.DTRIM * p.TANPHI + p.LEEWAY;
    w.A2 = p.LEEWAY + st.trial.DRFPHI;
    if (std::fabs(w.AK) > kNoLiftAngle && std::fabs(w.A2) > kNoLiftAngle) {
        int IERR = 0;
        KLLINE(st, io.console, st.run.PI, p.PHI, IERR, sweep, w.CS);
        w.lifting = IERR == 0;  // a failed solution must not lend its coefficients to this state
    }
    if (!w.lifting) {
        w.AK = w.A2 = 0.0;
        w.CS = std::cos(sweep);
        st.app.DRFFAC = 1.5;
    }
}

// Drag area of one stud of height h and diameter d in a boundary layer of
// thickness delta: a stud inside the layer sees its reduced velocity.
double studDragArea(double h, double d, double delta, double CDS) {
    if (h <= 4.5 * delta) return std::cbrt(h / (4.5 * delta)) * 0.75 * h * d * CDS;
    return (h - delta) * d * CDS;
}

// Steps 3 and 4: velocity at the stimulators of keel strip 3 on both sides,
// the drag of the stimulators of keel and rudder, the critical Reynolds
// number of their type.
void stimulators(CaseState& st, Work& w) {
    const CaseInput& in = st.input;
    const TestPoint& p = st.point;
    AppendageResults& a = st.app;
    const double CL3 = a.CLAK(3) * w.AK + a.CLA2(3) * w.A2;
    w.UA = 1.146 + 0.478 * CL3;
    w.UB = 1.146 - 0.478 * CL3;
    const double U2 = (w.UA * w.UA + w.UB * w.UB) / 2.0;
    if (in.NSTK == 0) {
        w.RECRIT = kTripCritical;
        a.STIMK = 2.0 * st.trial.KSPAN * in.HTRIP * p.QDYN * U2;
        a.STIMR = 2.0 * st.upright.SH1 * 1.313 * in.HTRIP * p.QDYN;
    } else {
        w.RECRIT = kStudCritical;
        const double c3 = in.KCHORD(3);
        const double DK = 0.142 * c3 * (0.0492 - 0.005 * std::log10(p.VNU * c3));
        const double RED = p.VNU * in.DSTIM * w.UA;
        double CDS = 0.3;
        if (RED <= 3e5) CDS = 1.18;
        else if (RED < 4e5) CDS = 1.18 - (RED - 3e5) * 8.8e-6;
        a.STIMK = p.QDYN * U2 * in.NSTK * studDragArea(in.HSTIM, in.DSTIM, DK, CDS);
        const double CR = (p.RCWL + in.RCTIP) / 2.0;
        a.STIMR = 0.0;  // a rudder without chord carries no studs
        if (CR > 0.0) {
            const double DR = 0.1278 * CR * (0.0492 - 0.005 * std::log10(p.VNU * CR));
            a.STIMR = in.NSTR * 1.313 * p.QDYN * studDragArea(in.HSTIM, in.DSTIM, DR, CDS);
        }
    }
    const double area = p.QDYN * st.upright.KAREA;
    w.CDST = area > 0.0 ? a.STIMK / area : 0.0;
}

// Step 5: a tip thicker than the keel further up, and the keel angle's
// share of the tip's side flow, shift the spanwise load outward.
void tipThickening(const CaseState& st, Work& w) {
    w.TB = 0.0;
    w.FT = 1.0;
    if (!w.lifting) return;
    const CaseInput& in = st.input;
    const double KCMEAN = st.upright.KCMEAN;
    w.TB = std::max(0.0, in.KCHORD(8) * in.KTHICK(8) - in.KCHORD(6) * in.KTHICK(6)) / (st.app.KARF * st.trial.KSPAN);
    if (w.AK != 0.0) w.TB += 0.5 * (std::fabs(w.AK) * in.KCHORD(8) / KCMEAN) / w.AEK;
    if (w.AK == 0.0 && w.TB == 0.0) return;
    const double TB = w.TB;
    const double P = (((1.5171 * TB - 3.5239) * TB + 3.3463) * TB - 1.9266) * TB + 1.0;
    const double G1 = 2.0 * st.point.SLOPKM * w.CS / w.AEK;
    const double G2 = 2.0 * st.point.SLOPKM * w.CS * P / w.AEK;
    w.FT = (G1 + std::sqrt(G1 * G1 + 1.0)) / (std::sqrt(G2 * G2 + 1.0) + G2);
}

// Row i of the tip-correction table at TB (natural spline through the row;
// where the two bracketing values are equal that value).
double tipFactor(const KeelTables& k, int i, double TB) {
    const std::span<const double> row(&k.TIPTAB(1, i), kTipStations);
    const std::span<const double> curve(&k.TIPY2(1, i), kTipStations);
    int lo = 0, hi = kTipStations - 1;  // abscissae descend from 1 to 0
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (TB < k.TIPX[static_cast<std::size_t>(mid)]) lo = mid;
        else hi = mid;
    }
    if (row[static_cast<std::size_t>(lo)] == row[static_cast<std::size_t>(hi)]) return row[static_cast<std::size_t>(lo)];
    return splnatValue(kTipStations, k.TIPX, row, curve, TB);
}

// Sums over the strips, weighted by chord and spanwise weight.
struct StripSums {
    double SX = 0, SY = 0, SM = 0, SI = 0;
};

// Step 6 for strip i: induced and effective angle, non-linear section lift
// with the tip correction and the stimulators' loss, profile drag or the
// flat plate of a stalled strip, resolved into chord axes.
void strip(CaseState& st, Work& w, int i, StripSums& s) {
    const CaseInput& in = st.input;
    const TestPoint& p = st.point;
    AppendageResults& a = st.app;
    const KeelTables& keel = st.run.keel;
    const double PI = st.run.PI;
    const double RE = p.VNU * in.KCHORD(i);
    const double AI = a.AIAK(i) * w.AK + a.AIA2(i) * w.A2;
    const double AE = a.INCK(i) * (w.AK + (a.UPWK(i) - 1.0) * w.A2) - AI;
    const double RETRIP = RE * 0.1 * std::max(w.UA, w.UB);
    double CL = a.CLAK(i) * w.AK + a.CLA2(i) * w.A2;
    const double F = appfrc::sectionLift(in.KSTYPE, a.SLOPK(i), RE, RETRIP, w.RECRIT, std::fabs(AE), in.FULLSC);
    double DCL = 0.0;
    if (w.TB > 0.0) {
        a.TAPK(i) = tipFactor(keel, i, w.TB);
        DCL = (st.upright.KCMEAN / in.KCHORD(i)) * (w.FT * a.TAPK(i) - (4.0 / PI) * keel.SINTH(i)) * CL * F;
    }
    CL = CL * F / (PI * w.CDST * a.CLAK(i) + 1.0) + DCL;
    double CD = 0.0;
    if (std::fabs(CL) <= a.CLMXK(i)) {
        CD = appfrc::sectionDrag(in.KSTYPE, RE, RETRIP, w.RECRIT, CL * CL, in.KTHICK(i), std::fabs(AE) * 180.0 / PI,
                                 in.FULLSC);
    } else {
        const double sk = w.AK - w.AK * w.AK * w.AK / 6.0;
        CD = 2.1 * sk * sk;
        CL = (1.0 - w.AK * w.AK / 2.0) * 2.3 * sk;
    }
    const double sn = AE - AE * AE * AE / 6.0;
    const double cs = 1.0 - AE * AE / 2.0;
    const double CX = CD * cs - CL * sn;
    const double CY = CD * sn + CL * cs;
    const double wt = in.KCHORD(i) * st.run.STRW(i);
    s.SX += CX * wt;
    s.SY += CY * wt;
    s.SM += keel.COSTH(i) * wt * CX;
    s.SI += AI * st.run.STRW(i);
    if (i == 1) {
        w.CL1 = CL;
        w.CD1 = CD;
        w.CY1 = CY;
        w.sn1 = sn;
        w.cs1 = cs;
    }
}

// Step 7: the keel's forces from the strip sums, with the junction to the
// hull in the hull's boundary layer, and its pitching moment.
void keelResultants(CaseState& st, Work& w, const StripSums& s, double UREL, double DELK) {
    const CaseInput& in = st.input;
    const TestPoint& p = st.point;
    const TrialHydrostatics& t = st.trial;
    AppendageResults& a = st.app;
    const double K = 0.0627 * st.run.PI;  // the strip weights' quadrature factor
    w.SI = K * s.SI;
    const double SX = K * s.SX;
    const double ZX = SX != 0.0 ? std::clamp((K * s.SM / SX) * t.KSPAN, 0.0, 0.8 * t.KSPAN) : 0.0;
    w.CYE = K * s.SY - w.AK * SX;
    const double c1 = in.KCHORD(1), t1 = in.KTHICK(1), q = p.QDYN;
    double RJ = 0.0, YJ = 0.0;
    if (DELK > 0.0) {
        RJ = q * 0.95 * c1 * (t1 + t.DRFPHI) * UREL * UREL * DELK;
        const double root = (DELK / c1) * t1 * t1 * t1 * t1;
        if (root > 0.0) YJ = std::fabs(w.CD1 * (1.21 * 1.2e-6) * std::fabs(w.CL1) / root * q * UREL * UREL * c1 * c1);
    }
    const double Nk = q * t.KSPAN * K * s.SY - q * w.CY1 * c1 * DELK + YJ * w.sn1;
    const double Xk = q * t.KSPAN * SX + w.cs1 * YJ + RJ;
    a.FYK = p.COSPHI * p.COSLW * Nk - p.SINLW * Xk;
    a.FZK = p.SINPHI * Nk;
    w.XKM = (st.hull.XK0 + st.hull.XK1) / 2.0;
    const double ZL = st.upright.TMAX - t.ZWKEEL + st.balance.ZDRAG2 + in.ZTOW;
    a.MYK = ((t.KSPAN / 2.0 + ZL) * a.STIMK + (ZX + ZL) * Xk) * p.COSPHI - a.FZK * (w.XKM - p.XCG);
    a.FXK = p.COSLW * Xk + p.COSPHI * p.SINLW * Nk +
            in.KSECTF * in.KTHICK(8) * p.SINLW * p.SINPHI * p.QDYN * in.KCHORD(8) * in.KCHORD(8);
}

// Step 8: the part of the root lift the hull carries over its depth below
// the ellipse.
double carriedOverForce(CaseState& st, const Work& w) {
    AppendageResults& a = st.app;
    a.CLROOT = 0.0;
    if (!w.lifting) return 0.0;
    const double G = 2.0 * (w.AK * a.AIAK(1) + w.A2 * a.AIA2(1) / a.DRFFAC) / a.UPWK(1);
    const double corr = 4.0 * a.CLRCOR * G;
    const double D = std::fabs(corr) <= std::fabs(w.CL1) ? w.CL1 - corr : 0.0;
    a.CLROOT = w.CL1 + (st.run.PI / 4.0) * (D - w.CL1);
    a.CLROOT = a.KARF / 2.0 * a.CLROOT;
    return a.CLROOT * st.point.QDYN * st.input.KCHORD(1) * a.HCARRY;
}

// Steps 8 and 9: the hull's lift from leeway, its induced side force, the
// carried-over keel lift, the trim force and the friction.
void hullForces(CaseState& st, Work& w, double TFLOW) {
    const TestPoint& p = st.point;
    const TrialHydrostatics& t = st.trial;
    AppendageResults& a = st.app;
    const double FC = carriedOverForce(st, w);
    w.share = p.PHI < kFullShareHeel ? 0.5 : 1.0;
    const double FCX = w.sn1 * FC * w.share;
    const double FCY = w.sn1 * FCX + w.cs1 * FC;
    const double TF = std::max(TFLOW, 0.0);
    w.HD = std::max(0.0, st.upright.KZLEAD - p.SINKG + p.TRIMW * st.hull.XK0 / p.COSPHI) * p.COSPHI;
    const double LH = p.QDYN * 0.5 * st.run.PI * p.LEEWAY * a.KARF * st.input.HLIFTF * w.HD * w.HD;
    w.kL = w.share * p.LEEWAY;
    a.RTRIM = p.QDYN * t.AWLPHI * TF * TF;
    const double RF = st.flow.RFRIC;
    a.XHULL = (p.COSLW * w.kL * LH - p.SINLW * LH) + (w.cs1 * FCX - w.sn1 * FC) + a.RTRIM * TF + RF;
    w.YH = w.kL * LH * p.SINLW + p.QDYN * t.AHULL * std::fabs(p.LEEWAY) * p.LEEWAY * st.input.HLIFTF +
           p.COSLW * LH + FCY - RF * t.DRFPHI;
}

}  // namespace

void APPFRC(CaseState& st, RunFiles& io, double UREL, double DELK, double DELR, double& TLIFT, double TFLOW) {
    Work w;
    aspectRatioFactor(st, w);
    anglesAndLiftingLine(st, io, w);
    stimulators(st, w);
    tipThickening(st, w);
    StripSums sums;
    for (int i = kKeelStrips; i >= 1; --i) strip(st, w, i, sums);
    keelResultants(st, w, sums, UREL, DELK);
    hullForces(st, w, TFLOW);
    appfrc::rudderDownwash(st, w);
    appfrc::rudderForces(st, DELR, TLIFT, w);
    // step 12: the hull's forces on the course
    const TestPoint& p = st.point;
    AppendageResults& a = st.app;
    a.YHULL = p.COSLW * w.YH - a.XHULL * p.SINLW;
    a.RHULL = a.XHULL * p.COSLW + p.SINLW * w.YH;
}

}  // namespace carinex
