#include "flow/boundary_layer_march.h"

#include <algorithm>
#include <cmath>

namespace carinex::blayer {

namespace {

constexpr double kFullTurbulenceH12 = 3.46;  // above it the laminar part of the zone nears separation

}  // namespace

// Right-hand sides of the boundary-layer equations in the current regime.
void BLDERV(March& m, double s, const OdeState& y, OdeState& dyds) {
    dyds.fill(0.0);
    const EdgeFlow e = m.edgeAt(s);
    if (m.regime == Regime::ThickStern) {
        const double x = m.xOf(s);
        const ThickStern& t = m.stern;
        dyds[kAreaTheta] = t.cfHalf(x) * e.R - (t.HA(x) + 2.0) * y[kAreaTheta] * e.gradU();
        return;
    }
    if (m.regime == Regime::Laminar || m.regime == Regime::Transitional) {
        const LaminarLayer l = laminarLayer(y[kThetaL], y[kDelta3], e, m.VISC);
        if (!l.separated) {
            dyds[kThetaL] = l.dTheta;
            dyds[kDelta3] = l.dDelta3;
        }
    }
    if (m.regime == Regime::Laminar) return;
    const TurbulentLayer t = turbulentLayer(y[kThetaT], y[kShape], y[kEntrain], e, m.VISC, m.TURBU, m.DTRANS);
    dyds[kThetaT] = t.dTheta;
    dyds[kShape] = t.dH;
    dyds[kEntrain] = t.dCE;
    if (m.regime == Regime::Transitional) {
        const TransitionZone& z = m.zone;
        dyds[kSpread5] = z.forced ? z.tanAlpha : 6.0 * (z.q / e.U) / z.tanAlpha;
        dyds[kSpread6] = z.forced ? 0.0 : 6.0 * z.tanAlpha;
    }
}

void March::derivatives(double s, const OdeState& y, OdeState& dyds) {
    ++evaluations;
    BLDERV(*this, s, y, dyds);
}

// Turbulent share of the blend in the transition zone.
static double blendWeight(const March& m, const LayerPoint& p, const OdeState& y, double s) {
    double w = intermittency(m.zone, y[kSpread5], s, p.edge.U, m.VISC);
    if (m.zone.forced) {
        const double G = m.line.girth(p.x);
        w *= G > 0.0 ? std::min(1.0, m.zone.W / G) : 1.0;
    }
    if (p.lam.H12 > kFullTurbulenceH12) w = std::max(w, std::min(1.0, (p.lam.H12 - kFullTurbulenceH12) / 0.56922));
    return std::min(w, 1.0);
}

LayerPoint March::pointAt(double s, const OdeState& y) {
    LayerPoint p;
    p.edge = edgeAt(s);
    p.x = xOf(s);
    if (regime == Regime::ThickStern) {
        const double A = y[kAreaTheta];
        p.theta = thicknessOfArea(A, p.edge.R, dxds);
        p.deltaStar = thicknessOfArea(stern.HA(p.x) * A, p.edge.R, dxds);
        p.H12 = p.deltaStar / p.theta;
        p.cfHalf = stern.cfHalf(p.x);
        p.weight = 1.0;
        return p;
    }
    if (regime != Regime::Turbulent) {
        p.thetaL = y[kThetaL];
        p.lam = laminarLayer(y[kThetaL], y[kDelta3], p.edge, VISC);
    }
    if (regime != Regime::Laminar) {
        p.turb = turbulentLayer(y[kThetaT], y[kShape], y[kEntrain], p.edge, VISC, TURBU, DTRANS);
    }
    p.weight = regime == Regime::Laminar ? 0.0 : regime == Regime::Turbulent ? 1.0 : blendWeight(*this, p, y, s);
    const double w = p.weight;
    const double thetaT = p.turb.theta, deltaT = p.turb.H * p.turb.theta;
    p.theta = (1.0 - w) * p.thetaL + w * thetaT;
    p.deltaStar = (1.0 - w) * p.lam.H12 * p.thetaL + w * deltaT;
    p.H12 = p.deltaStar / p.theta;
    p.cfHalf = (1.0 - w) * p.lam.cfHalf + w * p.turb.cfHalf;
    return p;
}

}  // namespace carinex::blayer
