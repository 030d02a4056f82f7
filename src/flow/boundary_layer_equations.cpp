// Closure relations and right-hand sides of the boundary-layer equations (BLDERV): the laminar
// two-equation method in momentum and energy thickness, and the turbulent lag-entrainment method
// in momentum thickness, shape factor and entrainment coefficient, with the free-stream
// turbulence corrections. Both carry the lateral divergence of the hull through R'/R.
#include <algorithm>
#include <cmath>

#include "flow/boundary_layer_steps.h"
#include "geometry/rational_piece.h"
#include "geometry/rational_spline.h"

namespace carinex::blayer {

namespace {

constexpr double kBlasiusH32 = 1.57258;      // energy shape factor of the flat plate
constexpr double kSeparationH32 = 1.51509;   // laminar separation
constexpr double kSeparationH12 = 4.02922;
constexpr double kCf0Switch = 3255.80664;    // Re_theta where the two cf0 branches meet

// Lag factor of the shear-stress equation: free-stream turbulence, lateral divergence, and the
// lower bound of a strong pressure gradient.
double lagFactor(const TurbulentLayer& t, const EdgeFlow& e, double TURBU) {
    const double T = TURBU;
    double lam = (T < 10.0) ? std::sqrt(0.2 * T + (1.0 - T / 10.0) * (1.0 - T / 10.0)) : std::sqrt(0.2 * T);
    const double thick = (t.H1 + t.H) * t.theta;
    lam *= 1.0 - (7.0 / 3.0) * (t.H1 / t.H + 0.3) * thick * e.gradR();
    lam = std::min(lam, 2.5);
    const double term = (t.cfHalf > 0.0) ? 0.2 * (thick / t.cfHalf) * e.gradU() : 0.0;
    const double lowest = (term > 0.0) ? std::min(1.0, 0.5 + term) : 0.6;
    return std::max(lam, lowest);
}

}  // namespace

double EdgeSplines::velocityRatio(double s, int& hintU) const {
    return RATVAL_S(kBodyPoints + 1, SELLI, VSCOEF, VSP, s, hintU);
}

// RATVAL_SDS in line: the edge flow is taken at every evaluation of the right-hand sides, as
// often as all the closure relations together.
static void valueSlope(int N, std::span<const double> X, std::span<const double> COEF, std::span<const double> P,
                       double s, double& S, double& DS, int& hint) {
    using namespace rational_piece;
    if (N < 2) {
        S = DS = 0.0;
        return;
    }
    const RationalPiece piece = piece_at(N, X, COEF, P, s, hint);
    const PieceAt at(piece, (s - piece.x1) / piece.h);
    S = piece_value(piece, at);
    DS = piece_slope(piece, at);
}

EdgeFlow EdgeSplines::at(double s, int& hintU, int& hintR) const {
    EdgeFlow e;
    double V = 0.0, dV = 0.0;
    valueSlope(kBodyPoints + 1, SELLI, VSCOEF, VSP, s, V, dV, hintU);
    e.U = V * VBOOT;
    e.dU = dV * VBOOT;
    valueSlope(NST, SR, DSCOEF, DSP, s, e.R, e.dR, hintR);
    return e;
}

double laminarShapeFactor(double H32) {
    if (H32 < kBlasiusH32) {
        return kSeparationH12 - (583.60182 - (724.55916 - 227.1822 * H32) * H32) * std::sqrt(H32 - kSeparationH32);
    }
    return 79.870845 - (89.582142 - 25.715786 * H32) * H32;
}

LaminarLayer laminarLayer(double theta, double delta3, const EdgeFlow& e, double VISC) {
    LaminarLayer l;
    const double H32 = delta3 / theta;
    if (!(H32 >= kSeparationH32)) {
        l.H12 = kSeparationH12;
        l.separated = true;
        return l;
    }
    const double H12 = laminarShapeFactor(H32);
    if (H12 >= kSeparationH12) {
        l.H12 = kSeparationH12;
        l.separated = true;
        return l;
    }
    l.H12 = H12;
    const double Retheta = e.U * theta / VISC;
    const double cfRe = (H32 < kBlasiusH32) ? 2.512589 - ((0.031729 * H12 - 0.391541) * H12 + 1.686095) * H12
                                            : 1.372391 - (4.226253 - 2.221687 * H32) * H32;
    const double dissipationRe = (6.837796 * H32 - 20.521102) * H32 + 15.707952;
    l.cfHalf = cfRe / Retheta;
    const double divergence = e.gradR();
    l.dTheta = l.cfHalf - theta * (divergence + (H12 + 2.0) * e.gradU());
    l.dDelta3 = dissipationRe / Retheta - delta3 * (divergence + 3.0 * e.gradU());
    return l;
}

double turbulentCf0(double Retheta) {
    if (Retheta <= kCf0Switch) return 0.024 * std::pow(Retheta, -0.25);
    const double r = std::log(Retheta) / 0.38385 + 4.01816;
    return 2.0 / (r * r);
}

TurbulentLayer turbulentLayer(double theta, double H, double CE, const EdgeFlow& e, double VISC, double TURBU,
                              double DTRANS) {
    TurbulentLayer t;
    const double T = TURBU;
    t.H = std::clamp(H, 1.000001, 3.2);
    t.theta = std::max(theta, 1e-06);
    const double Hm1 = t.H - 1.0;
    const double Retheta = e.U * t.theta / VISC;
    const double cf0 = turbulentCf0(Retheta);
    t.H1 = 5.0 - 0.0034 * (T / Hm1) * (T / Hm1) + (1.0 + 0.3793 * T) / Hm1;
    // free-stream turbulence raises the friction, less so in a thick layer or at low Re_theta
    const double X = T / ((0.45 * DTRANS / ((t.H1 + t.H) * t.theta) + 2.0) * (1.0 + 3.0 * std::exp(-Retheta / 400.0)));
    const double f = (X <= 0.35) ? 1.0 : 1.0 + 0.32 * (1.0 - std::exp(-0.62 * (X - 0.35)));
    t.CF = cf0 * f;
    t.G0 = (1.0 - 7.135 * std::sqrt(cf0 / 2.0)) / (1.375 - 0.375 * f);
    const double halfCF = t.CF / 2.0;
    t.cfHalf = halfCF * (0.9 / (t.G0 * t.H - 0.4) - 0.5);
    const double W = (Hm1 / t.H) / ((1.0 - t.G0) / std::sqrt(halfCF));
    t.Q = t.H1 * (t.cfHalf - (t.H + 1.0) * (1.25 / t.H) * (t.cfHalf - 1.037 * W * W));
    const double E = (1.2 * t.Q + 0.024) * t.Q + 0.32 * t.CF;
    const double lam = lagFactor(t, e, T);
    const double D =
        t.cfHalf - (std::sqrt(std::max(E / (lam * lam) - 0.32 * t.CF, -0.0001) / 1.2 + 0.0001) - 0.01) / t.H1;
    const double gradU = e.gradU();
    t.dTheta = t.cfHalf - t.theta * (e.gradR() + (t.H + 2.0) * gradU);
    t.dH = -(Hm1 * Hm1 / (0.02 * Hm1 * Hm1 * Hm1 + 1.72)) *
           (CE - t.H1 * t.cfHalf + (t.H + 1.0) * t.H1 * t.theta * gradU) / t.theta;
    const double shear = std::max((1.2 * CE + 0.024) * CE + 0.32 * t.CF, 0.0);
    t.dCE = ((CE + 0.02) * CE + 0.8 * t.CF / 3.0) / (CE + 0.01) *
            ((2.8 / (t.H1 + t.H)) * (std::sqrt(std::max(E, 0.0)) - lam * std::sqrt(shear)) - t.theta * gradU +
             D / (t.H + 1.0)) /
            t.theta;
    return t;
}

double ThickStern::HA(double x) const {
    const double d = D(x);
    return HAsw + C * (DSW * DSW * DSW - d * d * d);
}

double ThickStern::cfHalf(double x) const { return cfSw * std::pow(D(x) / DSW, P); }

double thicknessOfArea(double A, double R, double k) {
    // the root of 0.5*k*t^2 + R*t = A, written without the cancellation of small k
    return 2.0 * A / (std::sqrt(2.0 * A * k + R * R) + R);
}

}  // namespace carinex::blayer
