// Heeled hydrostatics (KRAENG): the immersed body of the prepared hull under the plane water
// surface of one trial floating position.
//
// The water surface is fixed by the sinkage SINKG (its depth at x = 0), the trim slope TRIMW
// and the heel PHI. Every section is cut with the surface's trace in its plane; the immersed
// area, waterline breadth and wetted girth of a section follow from the crossings and the
// cumulative arrays SAREA and GIRTHP, never from integrating the section point by point. The
// ends of the heeled waterline come from short spline tables of a depth measure near the ends
// of the wetted run; the curves of area, breadth, keel depth and lateral term along the
// waterline are then fitted and integrated with the rational spline.
//
// The sequence of steps:
//   1      start values
//   2, 3   station cuts; keel depth and lateral term per slot          heeled_cuts.cpp
//   4, 5   admission of the trial state; ends of the waterline        heeled_ends.cpp
//   6 - 9  transition, integrals, largest section, coefficients       heeled_integrals.cpp
//   10-12  aft keel line, asymmetry, appendage immersion              heeled_keel.cpp
// A state that cannot be evaluated takes the default path: IERR = 5 and a tiny volume, which
// the force balance recognises.
#include "hydrostatics/heeled.h"

#include <cmath>

#include "geometry/rational_spline.h"
#include "hydrostatics/heeled_steps.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace kraeng {

int Curve::fitNatural() {
    int ierr = 0;
    RATSPL(n_, xs(), {Y_.data(), static_cast<std::size_t>(n_)}, {COEF_.data(), COEF_.size()},
           {P_.data(), P_.size()}, ierr);
    return ierr;
}

int Curve::fitEnds(double E1, double E2) {
    int ierr = 0;
    RATSPE(n_, E1, E2, xs(), {Y_.data(), static_cast<std::size_t>(n_)}, {COEF_.data(), COEF_.size()},
           {P_.data(), P_.size()}, ierr);
    return ierr;
}

double Curve::value(double at, int& hint) const {
    return RATVAL_S(n_, xs(), coef(), p(), at, hint);
}

double Curve::slope(double at, int& hint) const {
    double S = 0.0, DS = 0.0;
    RATVAL_SDS(n_, xs(), coef(), p(), at, S, DS, hint);
    return DS;
}

int Curve::integral(double A, double B, double FA, double FB, double& RES, double& ERR) const {
    int ierr = 0;
    RATINT(A, B, FA, FB, RES, n_, xs(), coef(), p(), ERR, ierr);
    return ierr;
}

double Kraeng::s() const { return std::fabs(st.point.TANPHI); }
double Kraeng::sinAbs() const { return std::fabs(st.point.SINPHI); }
double Kraeng::side() const { return st.point.TANPHI < 0.0 ? -1.0 : 1.0; }

double Kraeng::ZW(int K) const { return st.point.SINKG - st.point.TRIMW * at(st.hull.XST, K) / st.point.COSPHI; }

Next fitFailed(Kraeng& k, const char* name, int ierr) {
    if (k.diag()) writeFree(k.io.console, "FEHLER KRAENG ", name);
    k.IERR = ierr;
    return Next::stop;
}

Next integralChecked(Kraeng& k, const char* name, int ierr, double err) {
    if (ierr == 0) return Next::proceed;
    if (k.diag()) writeFree(k.io.console, "FEHLER KRAENG ", name, err);
    if (err > 1e-6) {
        k.IERR = 100;
        return Next::stop;
    }
    k.IERR = 0;
    return Next::proceed;
}

void startTrial(Kraeng& k) {
    const TestPoint& p = k.st.point;
    k.st.balance.ZDRAG2 = p.SINKG - p.TRIMW * k.st.input.XLEVER / p.COSPHI;
    k.st.trial.ISTA2 = k.NSLOT + 1;
    k.st.trial.ISTA1 = -1;
    k.st.trial.IAMAX = -1;
    k.st.balance.TLIFT = 0.0;
}

namespace {

// The trial state cannot be evaluated: a tiny volume tells the force balance so. The other
// outputs keep what the call reached.
void takeDefaultPath(Kraeng& k) {
    if (k.diag()) writeFree(k.io.console, "FEHLER KRAENG alle Werte = DEFAULT");
    k.IERR = kKraengDefault;
    k.st.trial.VOLCB = k.st.input.VOLUME * 1e-9;
}

}  // namespace

}  // namespace kraeng

void KRAENG(CaseState& st, RunFiles& io, double XLAM, bool LREST, int& IERR, int NSLOT) {
    using namespace kraeng;
    Work work;
    Kraeng k{st, io, XLAM, LREST, IERR, NSLOT, work};
    IERR = 0;
    startTrial(k);
    // The end tables reach one station beyond NSLOT and the extrapolated bow end uses the last
    // two stations: a station list outside 2 ... 53 stations cannot be cut.
    if (NSLOT < 1 || NSLOT > kLastSlot) return takeDefaultPath(k);
    cutStations(k);
    if (!admitted(k)) return takeDefaultPath(k);
    switch (waterlineEnds(k)) {
        case Next::defaultPath: return takeDefaultPath(k);
        case Next::stop: return;
        case Next::proceed: break;
    }
    if (XLAM != 0.0) transitionQuantities(k);
    if (waterlineIntegrals(k) == Next::stop) return;
    if (largestSection(k) == Next::stop) return;
    if (coefficients(k) == Next::stop) return;
    aftKeelLine(k);
    asymmetry(k);
    if (st.point.APPON) appendageImmersion(k);
}

}  // namespace carinex
