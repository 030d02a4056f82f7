// A flat plate as the boundary-layer march sees it: a constant edge velocity (VSURF = 1 along
// the whole streamline), a constant mean depth, a constant wetted girth from the bow to a square
// aft end without transom, and the streamline length equal to the distance from the bow. The
// bow is a wedge of zero angle, so the closed-form start is the Blasius layer.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>

#include "flow/boundary_layer.h"
#include "geometry/rational_spline.h"
#include "support/heeled_support.h"

namespace carinex::test {

// What one march of BLAYER returns, and the friction coefficient on the plate's wetted area.
struct MarchResult { int IERR = 0; double RFRIC = 0, FFORM = 1, CF = 0; };

// The plate's case state (its console captured), and one march of BLAYER over it.
struct FlatPlate : heel::Bench {
    static constexpr double length = 10.0, girth = 2.0, VISC = 1e-6;  // m, m, m^2/s
    static constexpr int slots = 21, last = slots - 1;                // slots 0 .. 20; slot 20 the dry bow
    double Re;                                                        // Reynolds number of the length

    explicit FlatPlate(double ReL = 1e7) : Re(ReL) {
        CaseState& s = *st;
        s.upright.LWL = s.hull.XFKEEL = length;
        s.point.VISC = VISC;
        s.point.RHO = 1000.0;
        s.point.VBOOT = speed();
        s.point.QDYN = 0.5 * s.point.RHO * speed() * speed();
        s.trial.TLAT = 1.0;  // deeper than wide at the bow: a wedge, here of zero angle (BRTLAM = 0)
        s.trial.IAMAX = last / 2;
        // the aft end XADYN, its slot ISTD1 and the start of the run IRUN stay at 0
        FlowResults& f = s.flow;
        f.XFDYN = length;
        f.ISTD2 = last;
        f.TURBU = 0.01;
        f.XTRANS = 1e3;
        for (std::size_t K = 0; K <= last; ++K) {
            // the stations over 99.5 % of the length, the dry bow's at its end
            s.hull.XST[K] = K == last ? length : 0.995 * length * K / (slots - 2);
            f.SLEN[K] = length - s.hull.XST[K];
            f.GIRTHD[K] = (K == last) ? 0.0 : girth;
            f.ASECD[K] = (K == last || K == 0) ? 0.0 : 0.1 * girth;
        }
        f.SSTART = 0.0075 * length;
        for (std::size_t i = 0; i <= kBodyPoints; ++i) f.SELLI[i] = length * i / kBodyPoints;
        edgeVelocity([](double) { return 1.0; });
        f.NSR = slots;
        for (int n = 1; n <= f.NSR; ++n) {
            f.SR(n) = length * (n - 1) / (f.NSR - 1);
            f.DSR(n) = 0.5;
        }
        int IERR = 0;
        RATSPL(f.NSR, f.SR.data, f.DSR.data, f.DSCOEF, f.DSP, IERR);
    }

    double speed() const { return Re * VISC / length; }
    double behindBow() const { return st->hull.XFKEEL - st->flow.XTR; }

    // The edge velocity as a function of the fraction of the length from the stern.
    void edgeVelocity(const std::function<double(double)>& v) {
        FlowResults& f = st->flow;
        for (std::size_t i = 0; i <= kBodyPoints; ++i) f.VSURF[i] = v(f.SELLI[i] / length);
        int IERR = 0;
        RATSPL(kBodyPoints + 1, f.SELLI, f.VSURF, f.VSCOEF, f.VSP, IERR);
        ASSERT_EQ(IERR, 0);
    }
    void trippedAtTheBow() {
        st->input.HSTUD = 0.001;
        st->flow.XTRANS = 0.0;
    }
    MarchResult march(double FFORM = 1.0, double VBOOT = -1.0, double RFRIC = 0.0) {
        MarchResult r{0, RFRIC, FFORM, 0};
        const double V = VBOOT < 0.0 ? st->point.VBOOT : VBOOT;
        BLAYER(*st, io, r.RFRIC, V, r.FFORM, 0.0075 * length, last, st->flow.NSR, r.IERR);
        r.CF = r.RFRIC / (st->point.QDYN * girth * length);
        return r;
    }
};

}  // namespace carinex::test
