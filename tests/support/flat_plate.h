// A flat plate as the boundary-layer march sees it: a constant edge velocity (VSURF = 1 along
// the whole streamline), a constant mean depth, a constant wetted girth from the bow to a square
// aft end without transom, and the streamline length equal to the distance from the bow. The
// bow is a wedge of zero angle, so the closed-form start is the Blasius layer.
#pragma once

#include <cstddef>
#include <memory>

#include "driver/case_state.h"
#include "geometry/rational_spline.h"

namespace carinex::test {

struct FlatPlate {
    double length = 10.0;  // m
    double Re = 1e7;       // Reynolds number of the length
    double girth = 2.0;    // m
    double VISC = 1e-6;
    int slots = 21;        // slots 0 .. 20; slot 20 the dry bow

    double speed() const { return Re * VISC / length; }
    double x(int K) const { return K == slots - 1 ? length : 0.995 * length * K / (slots - 2); }
};

inline std::unique_ptr<CaseState> flatPlateState(const FlatPlate& plate) {
    auto st = makeCaseState();
    CaseState& s = *st;
    const double L = plate.length;
    const int last = plate.slots - 1;
    s.upright.LWL = L;
    s.hull.XFKEEL = L;
    s.point.VISC = plate.VISC;
    s.point.RHO = 1000.0;
    s.point.VBOOT = plate.speed();
    s.point.VNU = s.point.VBOOT / s.point.VISC;
    s.point.QDYN = 0.5 * s.point.RHO * s.point.VBOOT * s.point.VBOOT;
    s.trial.TLAT = 1.0;  // deeper than wide at the bow: a wedge, here of zero angle
    s.trial.BRTLAM = 0.0;
    s.trial.IAMAX = last / 2;
    FlowResults& f = s.flow;
    f.XFDYN = L;
    f.XADYN = 0.0;
    f.ISTD1 = 0;
    f.ISTD2 = last;
    f.IRUN = 0;
    f.TURBU = 0.01;
    f.XTRANS = 1e3;
    for (int K = 0; K <= last; ++K) {
        const auto k = static_cast<std::size_t>(K);
        s.hull.XST[k] = plate.x(K);
        f.SLEN[k] = L - plate.x(K);
        f.GIRTHD[k] = (K == last) ? 0.0 : plate.girth;
        f.ASECD[k] = (K == last || K == 0) ? 0.0 : 0.1 * plate.girth;
    }
    f.SSTART = 0.0075 * L;
    for (int i = 0; i <= kBodyPoints; ++i) {
        f.SELLI[static_cast<std::size_t>(i)] = L * i / kBodyPoints;
        f.VSURF[static_cast<std::size_t>(i)] = 1.0;
    }
    int IERR = 0;
    RATSPL(kBodyPoints + 1, f.SELLI, f.VSURF, f.VSCOEF, f.VSP, IERR);
    f.NSR = plate.slots;
    for (int n = 1; n <= f.NSR; ++n) {
        f.SR(n) = L * (n - 1) / (f.NSR - 1);
        f.DSR(n) = 0.5;
    }
    RATSPL(f.NSR, f.SR.data, f.DSR.data, f.DSCOEF, f.DSP, IERR);
    return st;
}

}  // namespace carinex::test
