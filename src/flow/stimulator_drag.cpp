// Drag of the hull's turbulence stimulator: a trip strip by its drag coefficient per girth, or a
// row of studs as cylinders in the boundary layer, each seeing the mean square velocity of the
// layer over its height (Pohlhausen profile laminar, law of the wall and wake turbulent).
#include <algorithm>
#include <cmath>

#include "flow/boundary_layer_steps.h"

namespace carinex::blayer {

namespace {

constexpr double kKarman = 0.41;
constexpr double kSublayer = 11.06;  // y+ of the edge of the viscous sublayer
constexpr int kHeightPoints = 100;

// Drag coefficient of a stud (cylinder) at its diameter Reynolds number: the drag crisis.
double cylinderDrag(double Red) {
    if (Red <= 300000.0) return 1.18;
    if (Red <= 400000.0) return 1.18 - (Red - 300000.0) * 8.8e-06;
    return 0.3;
}

// Velocity ratio of the turbulent layer at wall distances y: Coles' law of the wall and wake.
struct TurbulentProfile {
    double ctau = 0, Pi = 0, deltaT = 0, ReT = 0, etaS = 0;

    TurbulentProfile(const LayerPoint& p, double VISC) {
        const double cf = p.weight > 0.0 ? turbulentCfHalf(p) : 0.0;
        ctau = std::sqrt(std::max(cf, 0.0));
        if (!(ctau > 0.0)) return;
        const double dStar = turbulentDeltaStar(p), theta = turbulentTheta(p);
        const double beta = -(dStar / cf) * p.edge.gradU();
        Pi = 0.645 * std::pow(std::max(beta, -0.5) + 0.5, 0.75);
        const double fromDisplacement = dStar * kKarman / ((1.0 + Pi) * ctau);
        const double fromMomentum =
            theta / (((1.0 + Pi) / kKarman - ((1.5 * Pi + 3.179) * Pi + 2.0) / 0.1681 * ctau) * ctau);
        deltaT = 0.5 * (fromDisplacement + fromMomentum);
        ReT = p.edge.U * deltaT / VISC;
        etaS = kSublayer / (ReT * ctau);
    }
    double at(double y) const {
        if (!(ctau > 0.0)) return 0.0;  // a separated layer carries no velocity near the wall
        const double eta = std::min(1.0, y / deltaT);
        const double yPlus = ReT * ctau * eta;
        double uPlus = yPlus;
        if (yPlus > kSublayer) {
            const double w = eta - etaS;
            uPlus = std::log(yPlus) / kKarman + 5.2 + (2.0 * Pi / kKarman) * (3.0 - 2.0 * w) * w * w;
        }
        return std::min(1.0, uPlus * ctau);
    }
    // the stern model has no separate turbulent layer: its blended values are turbulent
    static double turbulentCfHalf(const LayerPoint& p) { return p.weight < 1.0 ? p.turb.cfHalf : p.cfHalf; }
    static double turbulentDeltaStar(const LayerPoint& p) {
        return p.weight < 1.0 ? p.turb.H * p.turb.theta : p.deltaStar;
    }
    static double turbulentTheta(const LayerPoint& p) { return p.weight < 1.0 ? p.turb.theta : p.theta; }
};

// Mean square velocity ratio over the stud height HS of a layer thicker than the stud.
double meanSquareVelocity(const LayerPoint& p, double HS, double VISC) {
    double Lambda = 0.0, deltaL = 1.0;  // Pohlhausen parameter and thickness of the laminar layer
    if (p.weight < 1.0) {
        Lambda = pohlhausenLambda(p.lam.H12);
        deltaL = p.thetaL * p.lam.H12 / (0.3 - Lambda / 120.0);
    }
    const TurbulentProfile turbulent(p, VISC);
    double sum = 0.0;
    for (int i = 1; i <= kHeightPoints; ++i) {
        const double y = (0.01 * i - 0.005) * HS;
        const double uL = p.weight < 1.0 ? pohlhausenVelocity(std::min(1.0, y / deltaL), Lambda) : 0.0;
        const double uT = p.weight > 0.0 ? turbulent.at(y) : 0.0;
        const double u = (1.0 - p.weight) * uL + p.weight * uT;
        sum += u * u;
    }
    return 0.01 * sum;
}

}  // namespace

double studDrag(const CaseState& st, const LayerPoint& p, double Gs) {
    const CaseInput& in = st.input;
    const double QDYN = st.point.QDYN, VISC = st.point.VISC;
    if (!(in.HSTUD > 0.0)) return 0.0;
    if (in.NSTUD < 1) return Gs * QDYN * in.STIMCF;
    const double V = p.edge.U / st.point.VBOOT;
    const double CD = cylinderDrag(p.edge.U * in.DSTUD / VISC);
    const double HS = in.HSTUD;
    const double TK = p.deltaStar + p.theta;
    const double M = (HS >= TK) ? 1.0 - TK / HS : meanSquareVelocity(p, HS, VISC);
    return in.NSTUD * QDYN * HS * in.DSTUD * CD * V * V * M;
}

}  // namespace carinex::blayer
