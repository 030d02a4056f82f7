#include "appendages/keel_lifting_line.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "appendages/lu_solver.h"
#include "geometry/natural_spline.h"

namespace carinex {

namespace {

constexpr int N = kKeelStrips;          // Multhopp stations on the half span
constexpr int kKeelPoints = N + 1;      // the keel stations and the tip
constexpr double kUprightHeel = 0.01;   // up to this heel the ellipse sits on the centre plane
constexpr double kSweptLimit = 0.02;    // effective sweep below which the keel counts as unswept
constexpr double kDriftFactor = 1.5;    // share of the hull's upwash in the drift load case

using Stations = OneBased<double, N>;
using KeelPoints = OneBased<double, kKeelPoints>;

// Square root of re + i*im with the argument taken in [0, 2 pi), so that the
// root lies in the upper half plane: the branch that keeps the keel side of
// the hull on the keel side of the slit.
struct HalfRoot {
    double root;     // square root of the modulus
    double cosHalf;  // cos and sin of half the argument
    double sinHalf;
};

HalfRoot halfRoot(double re, double im, double PI) {
    double arg = std::atan2(im, re);
    if (arg < 0.0) arg += 2.0 * PI;
    return {std::sqrt(std::hypot(re, im)), std::cos(0.5 * arg), std::sin(0.5 * arg)};
}

// The heeled hull section at the keel, replaced by an ellipse of the same
// area centred on the waterline (the surface mirrors the lower half): a0 its
// half-breadth along the waterline, b0 its depth normal to it, (y0, z0) the
// keel root on it.
struct Ellipse {
    double a0 = 0, b0 = 0, y0 = 0, z0 = 0;
    double H = 0;  // depth of the keel point below the low-side waterline crossing
};

bool equivalentEllipse(const CaseState& st, double PI, double PHI, Ellipse& e) {
    const TrialHydrostatics& t = st.trial;
    const TestPoint& p = st.point;
    const double D1 = t.KRY2 * p.SINPHI + t.KRZ2 * p.COSPHI;
    e.H = t.KRZK * p.COSPHI - D1;
    if (t.KRA <= 0.0) return false;
    if (PHI <= kUprightHeel) {
        if (e.H <= 0.0) return false;
        e.b0 = e.H;
        e.a0 = 2.0 * t.KRA / (PI * e.H);
        e.z0 = e.H;
        e.y0 = -t.KRZK * p.SINPHI;
    } else {
        double b0 = (t.KRYD * p.SINPHI + t.KRZD * p.COSPHI) - D1;
        if (b0 <= 0.0) return false;
        e.a0 = 2.0 * t.KRA / (PI * b0);
        if (t.KRY1 <= 0.0) {
            // the high side is immersed: a shallow section keeps a flat ellipse
            if (!(0.2 * b0 <= e.H)) b0 = std::max(5.0 * e.H, 0.001 * e.a0);
        } else {
            b0 = 0.001 * e.a0;
        }
        e.b0 = b0;
        // the keel root is the point of the ellipse whose tangent is the heeled centre plane's normal
        const double ta = p.TANPHI * e.a0;
        e.z0 = b0 * b0 / std::sqrt(b0 * b0 + ta * ta);
        const double q = e.z0 / b0;
        e.y0 = -e.a0 * std::sqrt(std::max(0.0, 1.0 - q * q));
    }
    if (e.a0 == e.b0) e.b0 *= 0.95;  // the map needs a0 different from b0
    return true;
}

// The hull's ellipse mapped onto a slit along the waterline; the keel,
// hanging from the ellipse, maps onto a line that starts on the slit. Y is
// the mapped spanwise coordinate, W the mapped lateral one.
void mapKeelPoints(const CaseState& st, const Ellipse& e, double PI, KeelPoints& Ym, KeelPoints& Wm) {
    const TestPoint& p = st.point;
    const double span = st.trial.KSPAN;
    const double c2 = e.a0 * e.a0 - e.b0 * e.b0;
    for (int n = 1; n <= kKeelPoints; ++n) {
        const double z = n <= N ? st.run.keel.COSTH(n) : 1.0;
        const double y = e.y0 - span * p.SINPHI * z;
        const double w = span * p.COSPHI * z + e.z0;
        const HalfRoot r = halfRoot(y * y - w * w - c2, 2.0 * y * w, PI);
        Ym(n) = (w * e.a0 - r.root * e.b0 * r.sinHalf) / (e.a0 - e.b0);
        Wm(n) = (y * e.a0 - r.root * e.b0 * r.cosHalf) / (e.a0 - e.b0);
    }
}

// Everything the Multhopp equations need per station.
struct Line {
    Ellipse e;
    double s = 0;   // mapped semispan
    double BE = 0;  // effective span of the lifting line
    Stations Y;     // mapped spanwise position
    Stations depth, chord, phi, inc, g, k;
};

// Step 4: Multhopp's stations on the mapped semispan, mapped back onto the
// keel, with their chord, the hull's upwash and the incidence ratio.
void multhoppStations(const CaseState& st, double PI, double PHI, const KeelPoints& Ym, const KeelPoints& Wm,
                      Line& L) {
    const TestPoint& p = st.point;
    const CaseInput& in = st.input;
    const KeelTables& keel = st.run.keel;
    const Ellipse& e = L.e;
    std::array<double, kKeelPoints> curveW{};
    SPLNAT(kKeelPoints, Ym.data, Wm.data, curveW);
    std::array<double, N> curveC{};
    SPLNAT(N, keel.COSTH.data, in.KCHORD.data, curveC);
    const double ab = e.a0 + e.b0;
    const double c2 = e.a0 * e.a0 - e.b0 * e.b0;
    // a keel root as thick as the hull is broad takes away the hull's upwash
    const double T = ((1.0 - 2.0 * in.KTHICK(1) * in.KCHORD(1) / PI / e.a0) * e.b0) / (e.a0 - e.b0);
    for (int n = 1; n <= N; ++n) {
        const double Y = L.s * keel.COSTH(n);
        const double W = splnatValue(kKeelPoints, Ym.data, Wm.data, curveW, Y);
        L.Y(n) = Y;
        const HalfRoot r1 = halfRoot(W * W - Y * Y - ab * ab, 2.0 * W * Y, PI);
        const double v = (Y * e.a0 + r1.root * e.b0 * r1.sinHalf) / ab;
        const double u = (W * e.a0 + r1.root * e.b0 * r1.cosHalf) / ab;
        L.depth(n) = (v - e.z0) / p.COSPHI / st.trial.KSPAN;
        L.chord(n) = splnatValue(N, keel.COSTH.data, in.KCHORD.data, curveC, L.depth(n));
        const HalfRoot r2 = halfRoot(u * u - v * v - c2, 2.0 * u * v, PI);
        L.phi(n) = T * (1.0 - (u * r2.cosHalf + v * r2.sinHalf) / r2.root);
        const double psi = ((e.b0 / r2.root) * (v * r2.cosHalf - u * r2.sinHalf) / (e.a0 - e.b0)) / (1.0 + L.phi(n));
        L.inc(n) = (n == 1) ? 1.0 / p.COSPHI : std::cos(PHI - psi) / std::cos(psi);
    }
}

double cot(double x) { return 1.0 / std::tan(x); }

// Step 5: Kuchemann's factors of the local lift slope k and of the downwash
// g for a wing of finite aspect ratio, swept or not. The chordwise loading
// exponent n is 1/2 on an infinite unswept wing (k = 2 pi times the section
// factor, g = 1) and grows towards 1 as the aspect ratio falls.
void sweepFactors(const CaseState& st, double PI, double SWEEP, Line& L) {
    const double AR = L.BE / st.upright.KCMEAN;
    for (int n = 1; n <= N; ++n) {
        const double A0 = st.app.SLOPK(n);
        const double r = 2.0 * A0 / AR;
        if (SWEEP < kSweptLimit) {
            const double nn = 1.0 - 0.5 / std::sqrt(1.0 + r * r);
            L.g(n) = 2.0 * nn;
            L.k(n) = 4.0 * PI * A0 * nn / (1.0 - PI * nn * cot(PI * nn));
            continue;
        }
        const double rc = r * std::cos(SWEEP);
        const double LE = SWEEP / std::pow(1.0 + rc * rc, 0.25);
        // spanwise blend from the centre (1) through mid-span (0) to the tip (-1)
        double lam = 1.0;
        if (n > 1) {
            const double p1 = 2.0 * PI * L.Y(n) / L.chord(n);
            const double p2 = 2.0 * PI * (L.s - L.Y(n)) / L.chord(n);
            lam = (std::sqrt(p1 * p1 + 1.0) - std::sqrt(p2 * p2 + 1.0)) + p2 - p1;
        }
        const double rl = r * std::cos(LE);
        const double q = std::sqrt(1.0 + rl * rl);
        const double nn = 1.0 - ((2.0 * lam * LE / PI + 1.0) / 2.0) / q;
        const double m = (1.0 - 2.0 * lam * LE / PI) / 2.0;
        L.g(n) = 2.0 - 1.0 / q;
        L.k(n) = 4.0 * PI * A0 * std::cos(LE) * nn /
                 (std::sin(PI * m) * (1.0 - PI * nn * (cot(PI * nn) - cot(PI * m))));
    }
}

// Steps 6 and 7: Multhopp's equations with the section's lift slope on the
// diagonal, factored and solved for the circulations G of one load case.
// The influence matrix holds its off-diagonal entries positive: the induced
// angle at a station is its own term less those of the others.
bool solveLoadCase(const CaseState& st, std::ostream& console, const Line& L, const Stations& rhs, Stations& G,
                   int& IERR) {
    const KeelTables& keel = st.run.keel;
    OneBased2D<double, N, N> A;
    for (int n = 1; n <= N; ++n) {
        for (int v = 1; v <= N; ++v) A(v, n) = -keel.MULTB(v, n);
    }
    for (int v = 1; v <= N; ++v) {
        A(v, v) = keel.MULTB(v, v) + 2.0 * L.BE / (L.g(v) * L.k(v) * L.chord(v) * (1.0 + L.phi(v)));
    }
    std::array<int, N> INDX{};
    double D = 0.0;
    LUDCMP(console, N, N, A.data, INDX, D, IERR);
    if (IERR != 0) return false;
    G = rhs;
    LUBKSB(N, N, A.data, G.data, INDX);
    return true;
}

// Natural splines through the mapped stations, at the depth ratios of the
// keel strips; a strip that coincides with a station takes its value.
void toStrips(const KeelTables& keel, const Stations& depth, const Stations& value, OneBased<double, N>& strips) {
    std::array<double, N> curve{};
    SPLNAT(N, depth.data, value.data, curve);
    for (int i = 1; i <= N; ++i) {
        const double z = keel.COSTH(i);
        strips(i) = splnatValue(N, depth.data, value.data, curve, z);
        for (int n = 1; n <= N; ++n) {
            if (depth(n) == z) strips(i) = value(n);
        }
    }
}

}  // namespace

void KLLINE(CaseState& st, std::ostream& console, double PI, double PHI, int& IERR, double SWEEP, double& CS) {
    IERR = 0;
    CS = std::cos(SWEEP);
    Line L;
    if (!equivalentEllipse(st, PI, PHI, L.e)) {
        IERR = kNoHullSection;
        return;
    }
    KeelPoints Ym, Wm;
    mapKeelPoints(st, L.e, PI, Ym, Wm);
    L.s = Ym(kKeelPoints);
    L.BE = L.s * st.app.KARF;
    multhoppStations(st, PI, PHI, Ym, Wm, L);
    sweepFactors(st, PI, SWEEP, L);

    Stations rhsKeel, rhsDrift;
    for (int n = 1; n <= N; ++n) {
        rhsKeel(n) = (1.0 / L.g(n)) / (1.0 + L.phi(n));
        rhsDrift(n) = L.phi(n) / (kDriftFactor * L.g(n) * (1.0 + L.phi(n)));
    }
    Stations G, G2;
    if (!solveLoadCase(st, console, L, rhsKeel, G, IERR)) return;
    if (!solveLoadCase(st, console, L, rhsDrift, G2, IERR)) return;

    Stations liftKeel, liftDrift, inducedKeel, inducedDrift, upwash;
    for (int n = 1; n <= N; ++n) {
        liftKeel(n) = 2.0 * L.BE * G(n) / L.chord(n);
        inducedKeel(n) = (1.0 - liftKeel(n) / L.k(n)) / L.g(n) * L.inc(n);
        liftDrift(n) = 2.0 * L.BE * G2(n) / L.chord(n);
        inducedDrift(n) = (L.phi(n) - liftDrift(n) / L.k(n)) / L.g(n) * L.inc(n);
        upwash(n) = 1.0 + L.phi(n);
    }
    AppendageResults& a = st.app;
    const KeelTables& keel = st.run.keel;
    toStrips(keel, L.depth, liftKeel, a.CLAK);
    toStrips(keel, L.depth, liftDrift, a.CLA2);
    toStrips(keel, L.depth, inducedKeel, a.AIAK);
    toStrips(keel, L.depth, inducedDrift, a.AIA2);
    toStrips(keel, L.depth, upwash, a.UPWK);
    toStrips(keel, L.depth, L.inc, a.INCK);
    a.CLRCOR = (L.e.a0 + L.e.b0) / L.chord(1);
    a.HCARRY = std::max(0.0, L.e.H);
    a.DRFFAC = kDriftFactor;
}

}  // namespace carinex
