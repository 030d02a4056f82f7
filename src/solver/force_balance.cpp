#include "solver/force_balance.h"

#include <algorithm>
#include <cmath>

#include "appendages/appendage_forces.h"
#include "appendages/appendage_models.h"
#include "flow/boundary_layer.h"
#include "flow/effective_volume.h"
#include "flow/friction_line.h"
#include "flow/potential_flow.h"
#include "flow/transom_rudder.h"
#include "hydrostatics/heeled.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr double kLaminarRun = 0.0025 * 3.0;  // laminar run from the bow, in LWL
constexpr double kTrimModelFn = 0.1;          // below this Froude number there is no flow trim

// Hydrostatics, potential flow, boundary layer and effective volume; the
// first error ends the chain.
int hydrostaticsAndFlow(CaseState& st, RunFiles& io, int NSTM1, double& W) {
    const double XTRIAL = kLaminarRun * st.upright.LWL;
    int IERR = 0;
    KRAENG(st, io, XTRIAL, false, IERR, NSTM1);
    if (IERR != 0) return IERR;
    st.balance.FN = st.point.VBOOT / std::sqrt(st.run.GRAV * st.trial.LWLPHI);
    const int nodes = st.trial.ISTA2 - st.trial.ISTA1 + 1;
    WPOTI(st, io, st.point.VNU, st.flow.DTRANS, XTRIAL, W, nodes, NSTM1, IERR);
    if (IERR != 0) return IERR;
    const double r = st.flow.DEQ / st.trial.LWL2;
    st.flow.FFORM = 1.0 + 7.0 * r * r * r;
    BLAYER(st, io, st.flow.RFRIC, st.point.VBOOT, st.flow.FFORM, XTRIAL, NSTM1, nodes, IERR);
    if (IERR != 0) return IERR;
    VOLEFF(st, io, NSTM1, st.point.VBOOT, IERR);
    return IERR;
}

// Substitute values of a trial state whose evaluation failed: a state far
// from equilibrium in volume, in balance in moment, with friction from the
// correlation line.
void substituteValues(CaseState& st, RunFiles& io, int IERR) {
    // not after a failed boundary-layer march (its volume is sound) nor after
    // the default path of the hydrostatics, which has set a tiny volume: both code 5
    static_assert(kBlayerIntegrationFailure == kKraengDefault);
    if (IERR != kBlayerIntegrationFailure) st.trial.VOLCB = 3.0 * st.point.VTOT;
    if (st.run.DIAG) writeFree(io.console, "Fehler in BILANZ > Fantasiewerte");
    st.app.FZK = st.app.FZR = st.app.RTRIM = 0.0;
    st.app.FYK = st.app.FYR = 0.0;
    st.app.YHULL = 0.0;
    st.balance.XCB = st.point.XCG;
    st.balance.PMOM = st.point.MEXT;
    st.flow.RFRIC = frictionLineSubstitute(st);
}

void noAppendageForces(AppendageResults& a) {
    a.FXK = a.FZK = a.MYK = a.FXR = a.FZR = a.MYR = 0.0;
    a.FYK = a.FYR = a.STIMK = a.STIMR = 0.0;
}

// A station slot of the dynamic waterline's flow results, the nearest end
// slot for a station outside it (whose values belong to no waterline).
std::size_t dynamicSlot(const FlowResults& f, int K) {
    const int last = std::min(f.ISTD2, kStationSlots - 1);
    return static_cast<std::size_t>(std::max(std::min(K, last), f.ISTD1));
}

// Surface velocity ratio u/U of the potential flow at the streamline length
// of slot K.
double surfaceVelocity(const FlowResults& f, int K) { return surfaceVelocityAt(f, f.SLEN[dynamicSlot(f, K)]); }

// Displacement thickness of the hull boundary layer at slot K.
double displacementThickness(const FlowResults& f, int K) {
    const std::size_t i = dynamicSlot(f, K);
    return f.THETA[i] * f.H12[i];
}

// Keel and rudder with the hull: volume and centre of hull and appendages,
// then the forces of all three.
void appendageForces(CaseState& st, RunFiles& io, double TFLOW) {
    const FlowResults& f = st.flow;
    const double UREL = surfaceVelocity(f, st.upright.KSLOT);
    const double DELK = displacementThickness(f, st.upright.KSLOT);
    // the rudder's station, or the aft end of the dynamic waterline when the rudder lies aft of it
    const double DELR = displacementThickness(f, std::max(st.upright.IRUD, f.ISTD1));
    RUDIMM(st, 0.5 * st.upright.BWL, DELR, DELK);
    BalanceResults& b = st.balance;
    b.VDISP = st.trial.VOLCB + st.point.VKEEL + st.point.VRUDDT;
    b.XCB = (st.trial.XCBPHI * st.trial.VOLCB + st.hull.XK2 * st.point.VKEEL + st.hull.XR2 * st.point.VRUDDT) / b.VDISP;
    APPFRC(st, io, UREL, DELK, DELR, b.TLIFT, TFLOW);
}

double pitchingMoment(const CaseState& st) {
    const TestPoint& p = st.point;
    const AppendageResults& a = st.app;
    const BalanceResults& b = st.balance;
    const double dragArm = b.ZDRAG1 / p.COSPHI + st.input.ZTOW + b.ZDRAG2;
    return (b.RRES * p.COSLW + a.XHULL) * dragArm * p.COSPHI + p.MEXT + a.MYK + a.MYR + st.flow.MYVISC -
           (st.trial.XTRIM - p.XCG) * a.RTRIM - (st.input.XLOAD - p.XCG) * p.FLOADN;
}

}  // namespace

void bareHullForces(CaseState& st, double TFLOW) {
    const TestPoint& p = st.point;
    const TrialHydrostatics& t = st.trial;
    AppendageResults& a = st.app;
    const double q = p.QDYN, PI = st.run.PI, T = st.balance.TLIFT;
    const double trim = std::max(TFLOW, 0.0);
    const double FNc = std::clamp(st.balance.FN, 0.2, 0.45);
    const double L = q * PI * T * T * p.COSPHI * p.LEEWAY * ((9.8898 * FNc - 3.7254) * FNc + 0.6267);
    const double f = st.input.CHINF * t.ASYM;
    const double Y2 = q * PI * T * T * f;
    const double D = 0.15 * q * t.AHULL * std::fabs(p.LEEWAY) * FNc * FNc + p.LEEWAY * L;
    a.RTRIM = q * t.AWLPHI * trim * trim;
    const double Z2 = q * t.ATRIM * (t.BWLPHI * t.BWLPHI / t.AWLPHI) * trim * st.input.CHINE;
    a.XHULL = p.COSLW * D - p.SINLW * L + std::fabs(0.5 * Y2 * f) + trim * a.RTRIM + st.flow.RFRIC;
    const double Yh = L * p.COSLW + Y2 + D * p.SINLW + Z2 - st.flow.RFRIC * t.DRFPHI;
    a.YHULL = p.COSLW * Yh - p.SINLW * a.XHULL;
    a.RHULL = p.COSLW * a.XHULL + p.SINLW * Yh;
}

void BILANZ(CaseState& st, RunFiles& io, int NSTM1) {
    double W = 0.0;
    const int IERR = hydrostaticsAndFlow(st, io, NSTM1, W);
    if (IERR != 0) {
        substituteValues(st, io, IERR);
        return;
    }
    BalanceResults& b = st.balance;
    TRANSM(st, b.FN);
    const double TFLOW = (b.FN > kTrimModelFn) ? TRIMRG(st, b.FN) : 0.0;
    st.app.DTRIM = TFLOW - st.point.TRIMW;
    if (st.point.APPON) {
        appendageForces(st, io, TFLOW);
    } else {
        b.XCB = st.trial.XCBPHI;
        b.VDISP = st.trial.VOLCB;
        bareHullForces(st, TFLOW);
        noAppendageForces(st.app);
    }
    // At rest the effective volume vanishes with the Froude number: no wave making.
    st.flow.WPAR = st.trial.VOLFNZ > 0.0 ? b.FN * b.FN * W * 10.0 / (st.trial.VOLFNZ / st.trial.LWLPHI) : 0.0;
    b.RRES = std::max(RESIRG(st, b.FN, TFLOW), 0.0);
    if (b.FN < kTrimModelFn) b.RRES *= std::pow(b.FN / kTrimModelFn, 3);
    b.RTOT = b.RRES + st.app.FXK + st.app.FXR + st.app.RHULL;
    b.PMOM = pitchingMoment(st);
}

}  // namespace carinex
