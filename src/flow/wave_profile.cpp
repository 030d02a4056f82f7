#include "flow/wave_profile.h"

#include <algorithm>
#include <cmath>

namespace carinex::flow {

namespace {

constexpr double kFrozenFn = 0.61;     // above it the profile keeps its shape
constexpr double kParabolaFn = 0.45;   // the crest-trough parabola is a straight line here
constexpr double kSteepFn = 0.6;       // ... has its vertex at the crest from here on
constexpr double kTroughFn = 0.3;      // ... and at the trough up to here
constexpr double kBlendWidth = 0.15;   // Froude-number width of both blends
constexpr double kCrestFalloff = 0.2;  // fall of the crest forward of XMID, per metre

// A height from its two Froude-number branches, never negative.
double height(double FN, double swtch, double low, double high) { return std::max(FN <= swtch ? low : high, 0.0); }

// The crest-trough parabola WAVA*x^2 + WAVB*x + WAVC between (XTROU, -HTROU) and
// (XCREST, HCREST): at FN <= 0.3 its vertex lies at the trough, at 0.45 it is the straight
// line, from 0.6 on its vertex lies at the crest.
void crestTroughParabola(FlowResults& f, double FN) {
    f.WAVA = f.WAVB = 0.0;
    const double span = f.XCREST - f.XTROU;
    if ((f.HCREST != 0.0 || f.HTROU != 0.0) && span > 0.0) {
        const double rise = f.HCREST + f.HTROU;
        const double M = rise / span;
        if (FN > kParabolaFn) {
            const double DV = 2.0 * rise * f.XCREST / (span * span);
            const double F = std::min(FN, kSteepFn);
            // -DV/(2*XCREST) is -rise/span^2, which stays defined at XCREST = 0
            const double curvature = f.XCREST != 0.0 ? -DV / (2.0 * f.XCREST) : -rise / (span * span);
            f.WAVA = (F - kParabolaFn) * curvature / kBlendWidth;
            f.WAVB = M + (F - kParabolaFn) * (DV - M) / kBlendWidth;
        } else {
            const double B0 = -2.0 * rise * f.XTROU / (span * span);
            const double A0 = f.XTROU != 0.0 ? -B0 / (2.0 * f.XTROU) : rise / (span * span);
            const double F = std::max(FN, kTroughFn);
            f.WAVB = B0 + (F - kTroughFn) * (M - B0) / kBlendWidth;
            f.WAVA = A0 - (F - kTroughFn) * A0 / kBlendWidth;
        }
    }
    f.WAVC = -f.WAVA * f.XTROU * f.XTROU - f.WAVB * f.XTROU - f.HTROU;
}

}  // namespace

WaveLimits waveProfile(CaseState& st, double PABS) {
    FlowResults& f = st.flow;
    const TrialHydrostatics& t = st.trial;
    const double FN = st.balance.FN, L = t.LWLPHI, FNC = std::min(FN, kFrozenFn);
    f.HCREST = height(FN, 0.45115, (0.1967 * FN + 0.007) * std::pow(PABS, 0.35),
                      (0.1363 - 0.0899 * FNC) * std::pow(PABS, 0.35)) * 0.2 * L;
    f.HTROU = height(FN, 0.451145, (3.1514 * FN - 0.9079) * std::pow(PABS, 1.38),
                     (0.4694 + 0.0985 * FNC) * std::pow(PABS, 1.38)) * 0.5 * L;
    f.HSTERN = height(FN, 0.451041, (0.9763 * FN - 0.1671) * std::pow(PABS, 1.07),
                      (0.1664 + 0.2369 * FNC) * std::pow(PABS, 1.07)) * L;
    WaveLimits w;
    f.XCREST = t.XFPHI - 0.22 * FNC * L;
    w.XMID = (f.XCREST + t.XFPHI) / 2.0;
    f.XTROU = std::min(t.XFPHI - (3.3452 * FNC - 0.3725) * std::pow(PABS, 0.28) * L, f.XCREST - f.HCREST);
    w.XLINE = t.XFPHI - std::min(0.8, (2.7377 * FNC - 2.5087) * FNC + 1.2538) * L;
    crestTroughParabola(f, FN);
    f.SLAFT = (f.HTROU + f.HSTERN) / (t.XAPHI - w.XLINE);
    f.ZAFT = f.HSTERN - f.SLAFT * t.XAPHI;
    // where the parabola, coming down from the crest, meets the stern line
    w.XJ = f.XTROU;
    if (f.XTROU <= w.XLINE && f.WAVA != 0.0) {
        const double P = (f.WAVB - f.SLAFT) / f.WAVA;
        const double Q = P * P / 4.0 - (f.WAVC - f.ZAFT) / f.WAVA;
        if (Q >= 0.0) w.XJ = -P / 2.0 - std::sqrt(Q);
    }
    return w;
}

namespace {

// Crest or parabola, forward of the trough.
double crestOrParabola(const FlowResults& f, const WaveLimits& w, double x) {
    if (x >= f.XCREST) return x >= w.XMID ? f.HCREST - kCrestFalloff * (x - w.XMID) : f.HCREST;
    return f.WAVA * x * x + f.WAVB * x + f.WAVC;
}

}  // namespace

double bowWaveElevation(const FlowResults& f, const WaveLimits& w, double x) {
    // aft of the trough the trough level: the parabola is not continued beyond its vertex
    if (x <= std::max(f.XTROU, w.XJ)) return -f.HTROU;
    return crestOrParabola(f, w, x);
}

double waveElevation(const FlowResults& f, const WaveLimits& w, double x) {
    if (x <= std::max(f.XTROU, w.XJ)) return x <= w.XLINE ? f.SLAFT * x + f.ZAFT : -f.HTROU;
    return crestOrParabola(f, w, x);
}

}  // namespace carinex::flow
