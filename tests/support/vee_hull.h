// The straight-sided V hull of the geometry and hydrostatics tests, whose
// immersed shape is known in closed form, and a way to put sections straight
// into the prepared arrays.
//
// At station x the half-breadth is y = k(x)*(z - zk(x)) from the keel point
// zk(x) up to the sheer (z upward), with the linear flare k(x) = k0 + k1*(x - x0)
// and the parabolic keel line zk(x) = -depth + c*(x - x0)^2, which rises
// through the waterline at both ends. Below z = h, with u = x - x0,
// A = h + depth and U = sqrt(A/c) (the keel line crosses z = h at x0 -+ U),
// the section is the triangle k*(A - c*u^2)^2 and the volume the integral of
// that quintic over the wetted run; with both crossings inside the hull the
// odd part drops out and V = (16/15)*k0*A^2*U. A polygon is exact on a
// straight side, so only the curves along the hull add errors.
#pragma once

#include <algorithm>
#include <cmath>

#include "driver/case_state.h"
#include "support/analytic_hull.h"

namespace carinex::test {

struct VeeHull {
    int stations = 41;
    double length = 10.0;         // stations from x = 0 to x = length
    double x0 = 4.6;              // deepest keel point
    double depth = 0.6;           // keel depth below z = 0 at x0
    double c = 0.0375;            // the keel crosses z = 0 at x0 -+ 4
    double k0 = 0.5, k1 = -0.03;  // flare dy/dz: the after-body the fuller one
    double sheer = 0.6;

    double x(int K) const { return length * K / (stations - 1); }
    double keel(double xx) const { return -depth + c * (xx - x0) * (xx - x0); }
    double flare(double xx) const { return k0 + k1 * (xx - x0); }
    // Keel depth below z = h, negative where the keel is dry.
    double draft(double xx, double h) const { return h - keel(xx); }
    double area(double xx, double h) const {
        const double d = std::max(draft(xx, h), 0.0);
        return flare(xx) * d * d;
    }
    double halfRun(double h) const { return std::sqrt((h + depth) / c); }
    double fwdEnd(double h) const { return x0 + halfRun(h); }
    double aftEnd(double h) const { return x0 - halfRun(h); }
    // Volume below z = h, the run cut off where it leaves the ends of the hull.
    double volume(double h) const {
        const double A = h + depth, U = halfRun(h);
        auto primitive = [&](double u) {  // of (k0 + k1*u)*(A - c*u^2)^2
            const double u2 = u * u, u3 = u2 * u;
            return k0 * A * A * u + k1 * A * A * u2 / 2.0 - 2.0 * A * c * k0 * u3 / 3.0 - A * c * k1 * u2 * u2 / 2.0 +
                   c * c * k0 * u3 * u2 / 5.0 + c * c * k1 * u3 * u3 / 6.0;
        };
        return primitive(std::min(U, length - x0)) - primitive(std::max(-U, -x0));
    }
    // Waterplane area dV/dh with both crossings inside the hull.
    double waterplane(double h) const {
        const double A = h + depth, U = halfRun(h);
        return 16.0 / 15.0 * k0 * (2.0 * A * U + A * A / (2.0 * c * U));
    }
    // The largest section below z = h, where the slope of k*(A - c*u^2)^2
    // vanishes: 5*c*k1*u^2 + 4*c*k0*u - k1*A = 0.
    double largestSection(double h) const {
        const double A = h + depth;
        return x0 + (-4.0 * c * k0 + std::sqrt(16.0 * c * c * k0 * k0 + 20.0 * c * k1 * k1 * A)) / (10.0 * c * k1);
    }
    // 151 points evenly spaced in height, for prepareAnalyticHull.
    SectionFormula formula() const {
        return [*this](double xx, int k) {
            const double zk = keel(xx), z = zk + (sheer - zk) * k / (kSectionPoints - 1);
            return SectionPoint{flare(xx) * (z - zk), z};
        };
    }
};

// Sections put straight into the prepared arrays, without the hull
// preparation: station K at xAft + (xFwd - xAft)*K/(stations - 1), heights
// positive downward, cumulative half-areas as the preparation forms them;
// the slots beyond are cleared.
inline void placeSections(PreparedHull& h, int stations, double xAft, double xFwd, const SectionFormula& section) {
    for (std::size_t K = 0; K < kStationSlots; ++K) {
        for (Section* s : {&h.YS[K], &h.ZS[K], &h.SAREA[K]}) s->fill(0.0);
        h.XST[K] = 0.0;
        if (K >= static_cast<std::size_t>(stations)) continue;
        h.XST[K] = xAft + (xFwd - xAft) * static_cast<double>(K) / (stations - 1);
        for (std::size_t k = 0; k < kSectionPoints; ++k) {
            const SectionPoint p = section(h.XST[K], static_cast<int>(k));
            h.YS[K][k] = p.y;
            h.ZS[K][k] = -p.zUp;
            if (k > 0) h.SAREA[K][k] = h.SAREA[K][k - 1] + 0.5 * (h.YS[K][k - 1] + p.y) * (h.ZS[K][k - 1] - h.ZS[K][k]);
        }
    }
}

}  // namespace carinex::test
