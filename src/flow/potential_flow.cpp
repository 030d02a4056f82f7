// The sequence of WPOTI:
//   1       streamline length of the static waterline (SLAUF)
//   2 - 8   equivalent body, boundary layer, entrance slope, tail      equivalent_body.cpp
//   9 - 11  collocation, integral equation, peak, smoothing, integrals  surface_velocity.cpp
//   11      dynamic waterline (DYNWL) and the stretch of the waterline
//   12      velocity spline over the streamline length
//   13      start of the run, mean depth along the streamline
//   14      the free stream when the integral equation does not converge
//   15      velocities 4 % and 25 % of the length behind the bow
#include "flow/potential_flow.h"

#include <algorithm>

#include "flow/dynamic_waterline.h"
#include "flow/potential_flow_steps.h"
#include "flow/streamline_length.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

using namespace flow;
using namespace flow::wpoti;

constexpr int kRunSearchFrom = 18;   // the run is searched from this slot aft
constexpr double kNoseBend = -1000.0;  // largest bend of the velocity at the nose
constexpr double kDepthBend = -15.0;   // ... and of the mean depth, which is set to -10
constexpr double kDepthBendSet = 5.0;

std::size_t ix(int K) { return static_cast<std::size_t>(K); }

// Work storage of one call, on the caller's stack: nothing is allocated.
struct Work {
    Body body;
    Collocation c;
    Kernel kernel;
};

// The heeled waterline stretched to the dynamic one: forward of XMREF by FF1, aft by FA.
struct Stretch {
    double XMREF = 0.0, FF1 = 1.0, FA = 1.0;
    double map(double x) const { return x > XMREF ? XMREF + (x - XMREF) * FF1 : XMREF - (XMREF - x) * FA; }
};

// Step 11 after a converged solution: peak, smoothing, integrals, dynamic waterline, stretch.
Stretch flowResults(CaseState& st, RunFiles& io, Work& w, int NSLOT, double XTRIAL, double& PSQ) {
    FlowResults& f = st.flow;
    const TrialHydrostatics& t = st.trial;
    f.VSURF[0] = 0.0;
    f.UMAX = peakVelocity(w.c, f.VSURF);
    smoothVelocity(f.VSURF);
    double PABS = 0.0;
    velocityIntegrals(w.c, f.VSURF, t.LWLPHI, PABS, PSQ);
    DYNWL(st, io, NSLOT, XTRIAL, PABS);
    return {t.XMREF, (f.XFDYN - t.XMREF) / (t.XFPHI - t.XMREF), (t.XMREF - f.XADYN) / (t.XMREF - t.XAPHI)};
}

// Step 14: no solution of the integral equation; the free stream along the static waterline.
Stretch freeStream(CaseState& st, RunFiles& io, double XTRIAL, double& PSQ) {
    FlowResults& f = st.flow;
    if (st.run.DIAG) writeFree(io.console, "keine Lösung WPOTI");
    staticAsDynamicWaterline(st, XTRIAL);
    f.VSURF.fill(1.0);
    f.UMAX = 1.0;
    PSQ = 0.0;
    return {st.trial.XMREF, 1.0, 1.0};
}

// Streamline length at a position of the dynamic waterline, continued straight aft of its end.
double streamlineAt(const CaseState& st, const SplineRef& SL, double xm) {
    const FlowResults& f = st.flow;
    const double s = xm >= f.XADYN ? SL.value(xm) : f.SLEN[ix(f.ISTD1)] + f.XADYN - xm;
    return std::max(s, 0.0);
}

// Step 12: SELLI and the velocity spline over it.
int velocitySpline(CaseState& st, RunFiles& io, const Work& w, const Stretch& map) {
    FlowResults& f = st.flow;
    const Body& b = w.body;
    const double x1 = st.hull.XST[ix(st.trial.ISTA1 + 1)];
    const SplineRef SL = streamlineLength(st);
    for (int i = 0; i <= kBodyPoints; ++i) {
        const double x = x1 - (w.c.XQ[ix(i)] - 4.0 * b.dS / b.S) * b.S;
        f.SELLI[ix(i)] = streamlineAt(st, SL, map.map(x));
    }
    // a sharply curved rise at the nose is flattened to the largest bend the fit can follow
    auto& S = f.SELLI;
    auto& V = f.VSURF;
    if (S[1] > S[0] && S[2] > S[1]) {
        const double s01 = (V[1] - V[0]) / (S[1] - S[0]), s12 = (V[2] - V[1]) / (S[2] - S[1]);
        if (2.0 * (s12 - s01) / (S[2] - S[0]) < kNoseBend)
            V[0] = V[1] - (S[1] - S[0]) * (-kNoseBend / 2.0 * (S[2] - S[0]) + s12);
    }
    const int IERR = fitNatural(kBodyPoints + 1, nodes(S, 0, kBodyPoints + 1), nodes(V, 0, kBodyPoints + 1), f.VSCOEF,
                                f.VSP);
    if (IERR != 0 && st.run.DIAG) writeFree(io.console, "SELLI nicht aufsteigend in WPOTI");
    return IERR;
}

// Step 13: the mean depth along the streamline, DSR over SR.
int depthAlongStreamline(CaseState& st, RunFiles& io, const Body& b, const Stretch& map) {
    FlowResults& f = st.flow;
    const TrialHydrostatics& t = st.trial;
    double XRUN = 0.0;
    startOfRun(st, XRUN);
    const SplineRef SL = streamlineLength(st);
    const int NSR = b.NB - 2;
    f.NSR = NSR;
    f.SR(1) = 0.0;
    f.DSR(1) = 0.0;
    for (int n = 2; n <= b.NB - 3; ++n) {
        const int K = t.ISTA2 + 1 - n;
        const double xm = map.map(st.hull.XST[ix(K)]);
        f.DSR(n) = xm <= XRUN ? f.DSR(n - 1) : f.DMEAN[ix(K)];
        f.SR(n) = SL.value(xm);
        if (f.SR(n) <= f.SR(n - 1)) {
            // the spline of SR would fail: the trial state has no usable depth distribution
            if (st.run.DIAG) writeFree(io.console, "SR nicht aufsteigend in WPOTI");
            return 1;
        }
    }
    f.SR(NSR) = f.SLEN[ix(f.ISTD1)];
    f.DSR(NSR) = f.DSR(NSR - 1);
    const double s12 = (f.DSR(2) - f.DSR(1)) / (f.SR(2) - f.SR(1));
    const double s23 = (f.DSR(3) - f.DSR(2)) / (f.SR(3) - f.SR(2));
    if (2.0 * (s23 - s12) / (f.SR(3) - f.SR(1)) < kDepthBend)
        f.DSR(1) = f.DSR(2) - (f.SR(2) - f.SR(1)) * (kDepthBendSet * (f.SR(3) - f.SR(1)) + s23);
    const int IERR = fitNatural(NSR, nodes(f.SR.data, 0, NSR), nodes(f.DSR.data, 0, NSR), f.DSCOEF, f.DSP);
    if (IERR != 0 && st.run.DIAG) writeFree(io.console, "SR nicht aufsteigend in WPOTI");
    return IERR;
}

// Step 15: velocity ratios 4 % and 25 % of the length behind the bow, stretched to the dynamic
// waterline like every other position.
void fixedPointVelocities(CaseState& st, const Stretch& map) {
    FlowResults& f = st.flow;
    const TrialHydrostatics& t = st.trial;
    const double L = t.LWLPHI;
    const SplineRef SL = streamlineLength(st);
    f.UMIN = surfaceVelocityAt(f, SL.value(map.map(t.XFPHI - 0.04 * L)));
    f.U25 = surfaceVelocityAt(f, SL.value(map.map(t.XFPHI - 0.25 * L)));
}

}  // namespace

// Step 13, first part: the slot where the run begins, searched from slot 18 aft: the first
// slot whose mean depth of the section, area over breadth, falls below that of the slot ahead
// while the breadth falls by more than twice that depth. Only two wet slots compare: a dry slot
// has no depth, and neither it nor the slot aft of it can begin the run.
void flow::wpoti::startOfRun(CaseState& st, double& XRUN) {
    FlowResults& f = st.flow;
    const auto wet = [&](int K) { return f.BSECD[ix(K)] > 0.0; };
    const auto q = [&](int K) { return wet(K) ? f.ASECD[ix(K)] / f.BSECD[ix(K)] : 0.0; };
    f.IRUN = f.ISTD1;
    XRUN = f.XADYN;
    if (f.ISTD1 >= kRunSearchFrom) return;
    double ahead = q(kRunSearchFrom + 1);
    for (int K = kRunSearchFrom; K >= f.ISTD1 + 1; --K) {
        const double here = q(K);
        if (wet(K) && wet(K + 1) && here < ahead && (f.BSECD[ix(K + 1)] - f.BSECD[ix(K)]) / 2.0 > ahead) {
            f.IRUN = K;
            XRUN = st.hull.XST[ix(K)];
            return;
        }
        ahead = here;
    }
}

double surfaceVelocityAt(const FlowResults& f, double s) {
    return splineOf(kBodyPoints + 1, nodes(f.SELLI, 0, kBodyPoints + 1), f.VSCOEF, f.VSP).value(s);
}

void WPOTI(CaseState& st, RunFiles& io, double VNU, double& DTRANS, double XTRIAL, double& PSQ, int NST, int NSLOT,
           int& IERR) {
    const TrialHydrostatics& t = st.trial;
    // The tail of the equivalent body and the stretch of the dynamic run take
    // seven wetted stations; a shorter run has no equivalent body to solve.
    if (NST != t.ISTA2 - t.ISTA1 + 1 || NST < 7 || t.ISTA1 < 0 || t.ISTA2 >= kStationSlots) {
        IERR = 1;
        return;
    }
    IERR = 0;
    Work w;
    SLAUF(st, io, NST);
    equivalentBody(st, VNU, w.body);
    DTRANS = st.flow.DTRANS;
    entranceSlope(st, io, w.body);
    IERR = bodyTail(st, io, w.body);
    if (IERR != 0) return;
    quadraturePoints(w.c, w.body.YY(w.body.NB));
    bodyPoints(w.body, w.c);
    const Stretch map = surfaceVelocity(w.c, w.kernel, st.flow.VSURF) > 0
                            ? flowResults(st, io, w, NSLOT, XTRIAL, PSQ)
                            : freeStream(st, io, XTRIAL, PSQ);
    IERR = velocitySpline(st, io, w, map);
    if (IERR != 0) return;
    IERR = depthAlongStreamline(st, io, w.body, map);
    if (IERR != 0) return;
    fixedPointVelocities(st, map);
}

}  // namespace carinex
