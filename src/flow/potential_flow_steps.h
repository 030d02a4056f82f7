// The steps of the potential flow (WPOTI), shared by its source files.
//
// Normalised body coordinate: xi = -1 at the bow of the heeled waterline, xi = 0 a tenth of
// the waterline length behind the aftmost inner station, where the body runs into the wake
// cylinder; lengths are divided by the scale S of that stretch. Body nodes XX(n), YY(n),
// REQ(n), n = 1 ... NB, are numbered from the bow; collocation points 0 (nose), 1 ... 40 on
// the body and 41 ... 80 on the wake.
#pragma once

#include <array>
#include <cstddef>

#include "driver/case_state.h"
#include "driver/indexing.h"
#include "flow/flow_spline.h"
#include "platform/run_files.h"

namespace carinex::flow::wpoti {

constexpr int kMaxNodes = kStationSlots + 3;  // NB = ISTA2 - ISTA1 + 3
constexpr int kWakePoints = 40;
constexpr int kPoints = kBodyPoints + kWakePoints;  // 80 collocation points besides the nose

// The equivalent body: nodes from the bow, and the spline through them.
struct Body {
    int NB = 0;
    double S = 0.0, dS = 0.0;  // length scale and the tail step -0.025*L
    double RT = 0.0;           // equivalent radius of the aft-end section
    OneBased<double, kMaxNodes> XX, YY, REQ;
    std::array<double, 4 * (kMaxNodes - 1)> COEF{};  // XX-YY spline
    std::array<double, kMaxNodes - 1> P{};

    SplineRef spline() const { return splineOf(NB, nodes(XX.data, 0, NB), COEF, P); }
};

// The 81 points 0 ... 80: abscissa XQ, radius Y, direction cosine COS, quadrature weight W.
struct Collocation {
    std::array<double, kFlowPoints> XQ{}, Y{}, COS{}, W{};
};

// The kernel of the sweep, K(i,j)*W(j) for i, j = 1 ... 80 (by columns: (j - 1)*80 + i - 1),
// and the free term b.
struct Kernel {
    std::array<double, kPoints * kPoints> KW;
    std::array<double, kPoints> b;
};

// Steps 2 to 6: scale, aft-end section, DEQ, boundary-layer thickness (DTRANS) and the body
// nodes; sets DEQ, DTRANS and DMEAN.
void equivalentBody(CaseState& st, double VNU, Body& body);
// Step 7: the entrance slope WENTER.
void entranceSlope(CaseState& st, RunFiles& io, Body& body);
// Step 8: the smooth run into the wake and the fit of the whole body. Returns IERR.
int bodyTail(CaseState& st, RunFiles& io, Body& body);

// Step 9: abscissas and weights of every point, radius and direction of the wake points
// (radius `wakeRadius`); the body points' radius and direction are the caller's.
void quadraturePoints(Collocation& c, double wakeRadius);
// Step 9 for the body points, from the body spline.
void bodyPoints(const Body& body, Collocation& c);
// Step 10: the surface velocity VSURF(1 ... 80) by the iterated integral equation. Returns the
// number of sweeps at convergence, 0 when it did not converge within the limit.
int surfaceVelocity(const Collocation& c, Kernel& k, std::array<double, kFlowPoints>& VSURF);

// Step 11 parts: the peak velocity (parabola vertex around the largest of points 10 ... 38),
// the one smoothing pass when the velocity drops by more than 1 % near the bow (true when
// applied), and the two integrals.
double peakVelocity(const Collocation& c, const std::array<double, kFlowPoints>& VSURF);
bool smoothVelocity(std::array<double, kFlowPoints>& VSURF);
void velocityIntegrals(const Collocation& c, const std::array<double, kFlowPoints>& VSURF, double L, double& PABS,
                       double& PSQ);

// Step 13, first part: IRUN, the slot where the run begins, and its x (XADYN when none).
void startOfRun(CaseState& st, double& XRUN);

}  // namespace carinex::flow::wpoti
