// Laminar-turbulent transition (TRANSI): the Abu-Ghannam and Shaw onset criterion, the start
// values of the turbulent layer, and the intermittent zone that follows, whose length is set by
// the turbulent-spot production at the stimulator and whose spots spread in a wedge.
#include <algorithm>
#include <cmath>

#include "flow/boundary_layer_steps.h"

namespace carinex::blayer {

namespace {

constexpr double kSeparationH32 = 1.51509;
constexpr double kSeparationH12 = 4.02922;
constexpr double kShortZoneRate = 10.0;  // spot rate of a layer at separation: a short zone
constexpr double kDegree = 0.01745;

// Half-angle of the turbulent wedge and speed ratio of the spots, from the pressure-gradient
// parameter of the laminar layer at transition.
void spreading(double lambda0, double& tanAlpha, double& q) {
    if (lambda0 >= 10.0) {
        tanAlpha = 0.0699;  // 4 degrees
        q = 0.024;
        return;
    }
    const double alpha = (22.14 / (2.72 * std::exp(47.63 * lambda0) + 0.79) + 4.0) * kDegree;
    tanAlpha = std::tan(alpha);
    q = 0.024 + 0.604 / (1.0 + 5.0 * std::exp(66.0 * lambda0));
}

}  // namespace

bool naturalTransition(const LaminarLayer& lam, double theta, double delta3, const EdgeFlow& e, double VISC,
                       double TURBU) {
    if (lam.separated || delta3 / theta <= kSeparationH32 || lam.H12 >= kSeparationH12) return true;
    const double lambda = theta * theta / VISC * e.dU;
    const double F = (lambda >= 0.0) ? 6.91 + (2.48 - 12.27 * lambda) * lambda : 6.91 + (12.75 + 63.64 * lambda) * lambda;
    const double Retheta = e.U * theta / VISC;
    return Retheta >= 0.8 * (163.0 + std::exp(F * (1.0 - TURBU / 6.91)));
}

double pohlhausenLambda(double H12) {
    if (H12 <= 2.25) return 12.0;
    const double H = std::min(H12, 3.5);  // the profile family ends at separation, Lambda = -12
    const double B = 9.6 - 75.6 / H;
    return -B / 2.0 - std::sqrt(B * B / 4.0 + 1065.6 - 2721.6 / H);
}

double pohlhausenVelocity(double eta, double Lambda) {
    if (eta >= 1.0) return 1.0;
    const double r = 1.0 - eta;
    return 2.0 * eta - 2.0 * eta * eta * eta + eta * eta * eta * eta + (Lambda / 6.0) * eta * r * r * r;
}

double spotProductionRate(double theta, double H12, double U, double HS, double VISC, double TURBU) {
    // without a stimulator height the roughness Reynolds numbers vanish (0/0): the zone is short
    if (H12 > 3.5 || !(HS > 0.0)) return kShortZoneRate;
    const double Lambda = pohlhausenLambda(H12);
    const double delta = theta * H12 / (0.3 - Lambda / 120.0);
    const double eta = HS / delta;
    const double ReHS = HS * U / VISC;
    const double Rek = ReHS * pohlhausenVelocity(eta, Lambda);
    return 287.969 * ReHS * std::pow(eta, 0.109412) / (std::pow(Rek, 0.584265) * TURBU * TURBU);
}

bool TRANSI(OdeState& y, TransitionZone& zone, bool forced, bool afterStep, double s, const EdgeFlow& e,
            const CaseState& st, double G) {
    const double VISC = st.point.VISC, TURBU = st.flow.TURBU;
    const double thetaL = y[kThetaL];
    const LaminarLayer lam = laminarLayer(thetaL, y[kDelta3], e, VISC);
    if (!forced && !(afterStep && naturalTransition(lam, thetaL, y[kDelta3], e, VISC, TURBU))) return false;
    const double H32 = std::max(y[kDelta3] / thetaL, 1.46);
    double H = (11.0 * H32 + 15.0) / (48.0 * H32 - 59.0);
    const double deltaStar = thetaL * lam.H12;  // the displacement thickness carries over
    const double theta = deltaStar / H;
    const TurbulentLayer probe = turbulentLayer(theta, H, 0.0, e, VISC, TURBU, st.flow.DTRANS);
    H = std::max(std::min(H, 2.2 / probe.G0), 1.000001);  // keeps the start friction positive
    const TurbulentLayer start = turbulentLayer(theta, H, 0.0, e, VISC, TURBU, st.flow.DTRANS);
    y[kThetaT] = theta;
    y[kShape] = H;
    y[kEntrain] = std::max(start.Q, -0.009);  // equilibrium entrainment
    y[kSpread5] = y[kSpread6] = 0.0;

    zone.forced = forced;
    zone.st = s;
    zone.Ret = e.U * s / VISC;
    zone.NS = spotProductionRate(thetaL, lam.H12, e.U, st.input.HSTUD, VISC, TURBU);
    zone.k = (TURBU < 0.15) ? 1 : 2;
    spreading(thetaL * thetaL / VISC * e.dU, zone.tanAlpha, zone.q);
    zone.W = std::max(G, 0.0);
    return true;
}

double intermittency(const TransitionZone& zone, double Y5, double s, double U, double VISC) {
    const double run = s - zone.st;
    if (!(run > 0.0)) return 0.0;
    const double Res = U * s / VISC;
    const double spots = (Res - zone.Ret) / zone.NS;
    // where a falling edge velocity takes Re_s below its value at transition, the linear law would
    // give a negative intermittency; the square law stays a fraction and is kept as it is
    const double produced = (zone.k == 1) ? std::max(spots, 0.0) : spots * spots;
    return 1.0 - std::exp(-2.5 * 5.4995 * Y5 * produced / run);
}

}  // namespace carinex::blayer
