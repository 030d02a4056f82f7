// The boundary-layer march of BLAYER: start at a short distance behind the dynamic bow with the
// closed-form laminar layer of a cone or a wedge, then station interval by station interval in
// equal substeps, each integrated by Bulirsch-Stoer steps; transition, the zone, the thick-stern
// switch, turbulent separation and the stimulator are events at the substep ends. The friction
// is the wall shear integrated over the wetted girth.
#include "flow/boundary_layer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "flow/boundary_layer_march.h"
#include "flow/boundary_layer_steps.h"

namespace carinex {

namespace blayer {

namespace {

constexpr double kStepOfLwl = 0.0025;     // target substep length, in LWL
constexpr int kFirstParts = 5;            // a failed substep is redone in 5, 10, 20, ... parts
constexpr int kMostParts = 9999;
constexpr double kSeparatedCf = 1e-08;    // turbulent separation
constexpr double kThickLayer = 0.3;       // momentum thickness over girth/pi that starts the stern model

// Is the state at the end of a step usable? A negative thickness is not, nor a laminar layer
// that has lost its friction forward of the largest section, where the flow still accelerates.
bool acceptable(March& m, const OdeState& y, double s) {
    for (double v : y) {
        if (!std::isfinite(v)) return false;
    }
    switch (m.regime) {
        case Regime::ThickStern: return y[kAreaTheta] > 0.0;
        case Regime::Turbulent: return y[kThetaT] > 0.0;
        case Regime::Transitional: return y[kThetaL] > 0.0 && y[kThetaT] > 0.0;
        case Regime::Laminar: break;
    }
    if (!(y[kThetaL] > 0.0)) return false;
    const LaminarLayer l = laminarLayer(y[kThetaL], y[kDelta3], m.edgeAt(s), m.VISC);
    const bool noFriction = l.separated || !(l.cfHalf > 0.0);
    const double xMax = m.st.hull.XST[static_cast<std::size_t>(std::clamp(m.st.trial.IAMAX, 0, kStationSlots - 1))];
    return !(noFriction && m.xOf(s) > xMax);
}

double displacementThickness(March& m, const OdeState& y, double s) {
    const double d = m.pointAt(s, y).deltaStar;
    return (d > 0.0 && std::isfinite(d)) ? d : 0.0;
}

// One substep from s1 to s2 (dStar the displacement thickness at s1): one integration, or, when
// it fails, 5, 10, 20, ... equal parts. False when even a pass of more than 9999 parts fails.
bool integrateSubstep(March& m, OdeState& y, double s1, double s2, double dStar) {
    const double length = s2 - s1;
    OdeState trial = y;
    const double first = dStar > 0.0 ? std::min(length, 10.0 * dStar) : length;
    if (m.spent()) return false;
    if (BSSTEP(m, trial, s1, s2, first) && acceptable(m, trial, s2)) {
        y = trial;
        return true;
    }
    for (int parts = kFirstParts;; parts *= 2) {
        trial = y;
        bool ok = true;
        for (int j = 1; j <= parts && ok; ++j) {
            if (m.spent()) return false;
            const double a = s1 + (j - 1) * length / parts;
            const double b = (j == parts) ? s2 : s1 + j * length / parts;
            const double d = displacementThickness(m, trial, a);
            ok = BSSTEP(m, trial, a, b, d > 0.0 ? std::min(b - a, d) : b - a) && acceptable(m, trial, b);
        }
        if (ok) {
            y = trial;
            return true;
        }
        if (parts > kMostParts) return false;
    }
}

// Everything the march leaves; written to the case state only when it succeeds.
struct Outcome {
    SlotArray THETA{}, H12{}, CFHALF{};
    double friction = 0;  // integral of G*cf/2*U^2 over x
    double PB = 0;        // base drag of a turbulent separation
    bool separated = false;
    bool transition = false;
    double XTR = 0;
    bool studsDone = false;
    double RSTUD = 0, MYVISC = 0;

    void store(int K, const LayerPoint& p) {
        if (K < 0 || K >= kStationSlots) return;
        const auto k = static_cast<std::size_t>(K);
        THETA[k] = p.theta;
        H12[k] = p.H12;
        CFHALF[k] = p.cfHalf;
    }
};

double frictionIntegrand(const March& m, const LayerPoint& p) {
    return m.line.girth(p.x) * p.cfHalf * p.edge.U * p.edge.U;
}

// Closed-form laminar layer from the bow to the start point: a cone when the bow is wider than
// deep, else a wedge. Sets the laminar state and the friction integral of the bow part.
LayerPoint startOfMarch(March& m, double x0, double s0, double XTRIAL, OdeState& y, double& bowPart) {
    const CaseState& st = m.st;
    m.setInterval(x0, s0, 1.0, 1.0);
    LayerPoint p;
    p.edge = m.edgeAt(s0);
    p.x = x0;
    const double U0 = p.edge.U, R0 = p.edge.R, PI = st.run.PI;
    const double G0 = m.line.girth(x0);
    double theta0 = 0.0, H32 = 0.0, cf = 0.0;
    if (st.trial.TLAT <= st.trial.BRTLAM) {
        const double mc = 2.0 * std::atan(R0 / XTRIAL) / PI;
        const double mp = (0.4 * mc + 0.1) * mc;
        const double Re0 = s0 * U0 / m.VISC;
        const double k = 3.0 * mp / (2.0 - mp);
        const double c0 = ((0.12 * mp - 0.3) * mp + 0.47) * std::sqrt(((2.0 - mp) / 3.0) / Re0);
        theta0 = s0 * c0;
        H32 = 1.625 - (0.0359 * (1.0 - mp) * (1.0 - mp) + 0.017) * (1.0 - mp);
        cf = c0 * ((laminarShapeFactor(H32) + 1.5) * k + 1.5);
        bowPart = U0 * U0 * cf * XTRIAL * G0 / (1.5 * k + 1.5);
    } else {
        const double alpha = std::atan(0.5 * st.trial.BRTLAM / XTRIAL);
        const double mw = 2.0 * alpha / PI;
        const double LS = XTRIAL / std::cos(alpha);
        const double Re0 = U0 * LS / m.VISC;
        const double k = mw / (2.0 - mw);
        const double c0 = ((0.12 * mw - 0.3) * mw + 0.47) * std::sqrt((2.0 - mw) / Re0);
        theta0 = LS * c0;
        H32 = 1.625 - (0.0359 * (1.0 - mw) * (1.0 - mw) + 0.017) * (1.0 - mw);
        cf = c0 * ((laminarShapeFactor(H32) + 1.5) * k + 0.5);
        bowPart = U0 * U0 * cf * XTRIAL * G0 / (1.5 * k + 0.5);
    }
    y.fill(0.0);
    y[kThetaL] = theta0;
    y[kDelta3] = H32 * theta0;
    p.thetaL = theta0;
    p.lam = laminarLayer(theta0, H32 * theta0, p.edge, m.VISC);
    p.theta = theta0;
    p.H12 = laminarShapeFactor(H32);
    p.deltaStar = p.H12 * theta0;
    p.cfHalf = cf;
    return p;
}

// Transition, full turbulence and the stimulator drag at a point of the march.
void pointEvents(March& m, OdeState& y, LayerPoint& p, double s, bool afterStep, Outcome& out) {
    const CaseState& st = m.st;
    const double behindBow = st.hull.XFKEEL - p.x;
    if (m.regime == Regime::Laminar) {
        const bool forced = st.input.HSTUD > 0.0 && behindBow > st.flow.XTRANS;
        if (TRANSI(y, m.zone, forced, afterStep, s, p.edge, st, m.line.girth(p.x))) {
            m.regime = Regime::Transitional;
            out.transition = true;
            out.XTR = p.x;
            p = m.pointAt(s, y);
        }
    } else if (m.regime == Regime::Transitional && p.weight >= 1.0) {
        m.regime = Regime::Turbulent;
    }
    if (!out.studsDone && behindBow > st.input.XSTUD) {
        const double Gs = std::max(0.0, m.line.girth(p.x));
        out.RSTUD = studDrag(st, p, Gs);
        out.MYVISC = (0.15 * Gs + st.input.ZTOW + st.balance.ZDRAG2) * out.RSTUD;
        out.studsDone = true;
    }
}

// Turbulent separation short of the end of the hull: the base drag of the section there.
bool turbulentSeparation(const March& m, const LayerPoint& p, bool atEnd, Outcome& out) {
    if (atEnd || m.regime == Regime::Laminar) return false;
    const double cf = m.regime == Regime::ThickStern ? p.cfHalf : p.turb.cfHalf;
    if (!(cf < kSeparatedCf)) return false;
    const double G = m.line.girth(p.x), A = m.line.area(p.x);
    const double depth = G > 0.0 ? A / G : 0.0;
    out.PB = m.st.run.PI * m.st.point.RHO * p.edge.U * p.edge.U * depth * depth;
    out.separated = true;
    return true;
}

// Switch to the thick-stern model at slot K once the layer is thick against the girth.
void thickSternSwitch(March& m, OdeState& y, const LayerPoint& p, int K, double dx, double ds, double cfBefore,
                      double dxStep) {
    const CaseState& st = m.st;
    const double G = st.flow.GIRTHD[static_cast<std::size_t>(K)];
    const double DSW = p.x - st.flow.XADYN;
    if (m.regime != Regime::Turbulent || K <= st.flow.IRUN || K >= st.trial.IAMAX) return;
    if (!(G > 0.0) || p.theta / (G / st.run.PI) < kThickLayer || !(DSW > 0.0)) return;
    const double k = dx / ds, R = p.edge.R, theta = p.theta, H = p.turb.H;
    const double Atheta = (0.5 * k * theta + R) * theta;
    const double Astar = (0.5 * k * H * theta + R) * H * theta;
    ThickStern& t = m.stern;
    t.XADYN = st.flow.XADYN;
    t.DSW = DSW;
    t.HAsw = Astar / Atheta;
    t.C = (t.HAsw / H) * p.turb.dH * (ds / dx) / (3.0 * DSW * DSW);
    const double slope = (p.turb.cfHalf - cfBefore) / dxStep;  // along the march
    t.P = std::max(0.001, -DSW * slope / p.turb.cfHalf);
    t.cfSw = p.turb.cfHalf;
    y[kAreaTheta] = Atheta;
    m.regime = Regime::ThickStern;
}

// The march over all station intervals from the start point (x, s of p) to the aft end; false
// when a substep cannot be integrated.
bool marchToStern(March& m, OdeState& y, LayerPoint p, double s, Outcome& out) {
    const CaseState& st = m.st;
    const FlowResults& f = st.flow;
    const double DX = kStepOfLwl * st.upright.LWL;
    for (int K = f.ISTD2 - 2; K >= f.ISTD1 && K >= 0; --K) {
        const double xb = SlotLine::slotX(st, K), sb = f.SLEN[static_cast<std::size_t>(K)];
        const double xa = p.x, sa = s, dx = xa - xb, ds = sb - sa;
        if (!(ds > 0.0) || !(dx > 0.0)) {  // a slot at or before the start point
            out.store(K, p);
            continue;
        }
        const double ratio = DX > 0.0 ? std::min(dx / DX, 1e6) : 0.0;
        const int n = std::max(2, static_cast<int>(ratio));
        m.setInterval(xa, sa, dx, ds);
        double cfBefore = p.turb.cfHalf;
        for (int i = 1; i <= n; ++i) {
            const double s2 = (i == n) ? sb : sa + i * ds / n;
            const double dStar = (p.deltaStar > 0.0 && std::isfinite(p.deltaStar)) ? p.deltaStar : 0.0;
            if (!integrateSubstep(m, y, s, s2, dStar)) return false;
            if (m.regime == Regime::Transitional && m.zone.forced) {
                m.zone.W += (st.run.PI * p.edge.dR + 1.65 * m.zone.tanAlpha) * (s2 - s);
            }
            const double fBefore = frictionIntegrand(m, p), xBefore = p.x;
            cfBefore = p.turb.cfHalf;
            s = s2;
            p = m.pointAt(s, y);
            pointEvents(m, y, p, s, true, out);
            out.friction += 0.5 * (fBefore + frictionIntegrand(m, p)) * (xBefore - p.x);
            const bool atEnd = (K == f.ISTD1 && i == n);
            if (turbulentSeparation(m, p, atEnd, out)) {
                for (int J = K; J >= f.ISTD1 && J >= 0; --J) out.store(J, p);  // no further friction
                return true;
            }
        }
        out.store(K, p);
        thickSternSwitch(m, y, p, K, dx, ds, cfBefore, dx / n);
    }
    return true;
}

// Form factor raised by the base drag of a separated or immersed-transom stern.
double baseDragFormFactor(March& m, const Outcome& out, double RF) {
    const CaseState& st = m.st;
    const FlowResults& f = st.flow;
    double PB = out.PB;
    if (!out.separated) {
        const double transom = f.ASECD[0], girth = f.GIRTHD[0];
        if (!(transom > 0.0) || !(girth > 0.0)) return 1.0;
        int hint = 1;
        const double U = m.edge.velocityRatio(f.SLEN[0], hint) * m.edge.VBOOT;
        PB = st.run.PI * st.point.RHO * U * U * (transom / girth) * (transom / girth);
    }
    if (!(RF > 0.0)) return 1.0;
    return 1.0 + 0.029 * std::pow(PB / RF, 1.5);
}

}  // namespace

}  // namespace blayer

void BLAYER(CaseState& st, RunFiles&, double& RFRIC, double VBOOT, double& FFORM, double XTRIAL, int, int NST,
            int& IERR) {
    using namespace blayer;
    IERR = 0;
    March m(st, VBOOT, NST);
    m.allowance = kMaxLayerEvaluationsPerPoint - st.point.BLRHS;
    // the work of this march counts against the test point's budget, however it ends
    struct Tally {
        CaseState& st;
        const March& m;
        ~Tally() { st.point.BLRHS += m.evaluations; }
    } tally{st, m};
    const FlowResults& f = st.flow;
    const double x0 = f.XFDYN - XTRIAL, s0 = f.SSTART;
    OdeState y{};
    double bowPart = 0.0;
    Outcome out;
    LayerPoint p = startOfMarch(m, x0, s0, XTRIAL, y, bowPart);
    const bool started = std::isfinite(bowPart) && y[kThetaL] > 0.0 && std::isfinite(y[kThetaL]) &&
                         std::isfinite(y[kDelta3]);
    if (!started) {
        IERR = kBlayerIntegrationFailure;
        return;
    }
    out.store(f.ISTD2 - 1, p);
    pointEvents(m, y, p, s0, false, out);
    if (!marchToStern(m, y, p, s0, out)) {
        IERR = kBlayerIntegrationFailure;
        return;
    }
    const double RF = st.point.RHO * (bowPart + out.friction);
    FFORM = std::max(FFORM, baseDragFormFactor(m, out, RF));
    RFRIC = RF * FFORM;
    FlowResults& flow = st.flow;
    flow.THETA = out.THETA;
    flow.H12 = out.H12;
    flow.CFHALF = out.CFHALF;
    flow.XTR = out.transition ? out.XTR : f.XADYN;  // laminar to the stern
    flow.RSTUD = out.RSTUD;
    flow.MYVISC = out.MYVISC;
}

}  // namespace carinex
