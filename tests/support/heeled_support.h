// Hulls, trial states and independent geometry for the tests of the heeled hydrostatics, also
// used by the flow tests (tests/flow/) for their hulls and trial states, and raw offsets for the
// geometry tests (tests/geometry/).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <sstream>
#include <utility>
#include <vector>

#include "driver/case_state.h"
#include "geometry/design_waterline.h"
#include "geometry/waterline_cut.h"
#include "hydrostatics/heeled.h"
#include "hydrostatics/upright_particulars.h"
#include "platform/run_files.h"
#include "support/analytic_hull.h"
#include "support/vee_hull.h"

namespace carinex::test::heel {

constexpr double kPi = std::numbers::pi;
constexpr int kTop = kSectionPoints - 1;

// Composite Simpson rule with n (even) panels.
template <class F>
double simpson(F f, double a, double b, int n = 20000) {
    const double h = (b - a) / n;
    double sum = f(a) + f(b);
    for (int i = 1; i < n; ++i) sum += f(a + i * h) * ((i % 2 == 1) ? 4.0 : 2.0);
    return sum * h / 3.0;
}

// A case state with its console captured.
struct Bench {
    std::unique_ptr<CaseState> st = makeCaseState();
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, "."};
};

// The upright particulars (GEOPRO) of a prepared hull, and the reference breadth BREFX = BWL/2
// the test-point driver sets before the rest call. The error flag starts set: success clears it.
inline int uprightValues(CaseState& st, RunFiles& io, int NSLOT) {
    double ZDRAG1 = 0.0, XLCBT = 0.0;
    int IERR = -1;
    GEOPRO(st, io, NSLOT, ZDRAG1, XLCBT, IERR);
    st.point.BREFX = st.upright.BWL / 2.0;
    return IERR;
}

// Puts a hull straight into the prepared arrays (no volume match, no shift of axes), with the
// section areas at ZS = 0, the largest section, the girths and the upright values KRAENG reads.
inline void prepareDirect(CaseState& st, int stations, double xAft, double xFwd, const SectionFormula& shape) {
    PreparedHull& h = st.hull;
    placeSections(h, stations, xAft, xFwd, shape);
    h.KAMAX = 0;
    for (int K = 0; K < stations; ++K) {
        int I = 0;
        double F = 0;
        WLCUT(0.0, 0.0, h.YS[ix(K)], h.ZS[ix(K)], I, F);
        const Section& A = h.SAREA[ix(K)];
        h.ASECT[ix(K)] = 2.0 * (A[ix(I)] + F * (A[ix(I + 1)] - A[ix(I)]));
        if (h.ASECT[ix(K)] > h.ASECT[ix(h.KAMAX)]) h.KAMAX = K;
    }
    cumulativeGirths(st, stations - 1);
    UprightParticulars& u = st.upright;
    for (int K = 0; K < std::min(stations, 52); ++K) u.ZREF[ix(K)] = h.ZS[ix(K)][0];
    u.TC = h.ZS[ix(h.KAMAX)][0];
    u.TMAX = *std::max_element(u.ZREF.begin(), u.ZREF.begin() + stations);
    u.BWL = 2.0 * h.YS[ix(h.KAMAX)][ix(75)];
    st.point.BREFX = u.BWL / 2.0;
    st.input.VOLUME = 1.0;
}

// Trial state: sinkage, trim slope and heel in degrees, bare hull.
inline void setTrial(CaseState& st, double SINKG, double TRIMW, double heelDegrees) {
    TestPoint& p = st.point;
    p.PHI = heelDegrees * kPi / 180.0;
    p.SINPHI = std::sin(p.PHI);
    p.COSPHI = std::cos(p.PHI);
    p.TANPHI = std::tan(p.PHI);
    p.SINKG = SINKG;
    p.TRIMW = TRIMW;
}

// KRAENG, by default outside the rest call; the error flag starts clear.
inline int kraeng(Bench& b, int NSLOT, double XLAM = 0.0, bool LREST = false) {
    int IERR = 0;
    KRAENG(*b.st, b.io, XLAM, LREST, IERR, NSLOT);
    return IERR;
}

// ---------------------------------------------------------------------------------------------
// The body of revolution: circular sections of radius R(x) centred on the design waterline,
// R = Rmax*(1 - u^2)*(1 - 0.3*u) with u = (x - xm)/a, from a transom at u = -0.9 to a pointed
// bow at u = 1. The transom (the aftmost station is wet) puts the aft end of the waterline on
// that station whatever the heel, so upright and heeled waterlines have the same ends; the
// after-body is the fuller one, so the centre of buoyancy lies off the largest section (for a
// hull symmetric fore and aft about the largest section, x = 0, the first moments of area and
// breadth vanish and their Romberg integrals cannot meet a relative tolerance).
//
// Which shape keeps the immersed part unchanged under heel? The heeled surface of a trial with
// SINKG = TRIMW = 0 still passes through the centre of every section. Below it lies the half
// disk on the side of the surface, whatever its inclination, as long as the outline is the
// circle wherever the surface can reach it: down to angle -phi on the high side and up to +phi
// on the low side. So the section must continue the circle above the waterline beyond the
// largest heel. Quarter circles below the waterline with vertical sides above would not do:
// heeled, the low side's wall adds a triangle outside the circle that the high side does not
// give back. Here the circle runs from the keel (-90 deg) to +60 deg above the waterline, well
// past the 30 deg of the tests, and a vertical side (outside the circle) takes the section up
// to the common top height.
//
// Points 0 ... 125 lie on the circle every 1.2 deg, so the outline below +60 deg is part of a
// regular 300-gon; point 75 sits on the waterline. A line through the centre of a centrally
// symmetric polygon halves its area, so the immersed polygon area does not depend on the heel
// at all: 75*R^2*sin(1.2 deg). The crossings lie on chords, between R*cos(0.6 deg) and R from
// the centre.
struct RoundHull {
    int stations = 51;
    double xm = 5.0, a = 5.0, Rmax = 0.6, top = 0.9, uAft = -0.9;
    static constexpr int kArcPoints = 125;
    static constexpr double kStep = kPi / 150.0;  // 1.2 deg

    double xAft() const { return xm + uAft * a; }
    double xFwd() const { return xm + a; }
    double R(double x) const {
        const double u = (x - xm) / a;
        return std::max(0.0, Rmax * (1.0 - u * u) * (1.0 - 0.3 * u));
    }
    SectionPoint point(double x, int k) const {
        const double r = R(x);
        if (r <= 1e-12) return {0.0, top * k / kTop};  // the pointed end: a line up the centre plane
        const double t = -kPi / 2.0 + kStep * std::min(k, kArcPoints), zArc = r * std::sin(t);
        if (k <= kArcPoints) return {r * std::cos(t), zArc};
        // every station ends exactly at the common top height, so the preparation copies it
        return {r * std::cos(t), k == kTop ? top : zArc + (top - zArc) * (k - kArcPoints) / (kTop - kArcPoints)};
    }
    // A volume near the body's: the first preparation only needs a waterline near the centres.
    double volume() const { return kPi / 2.0 * Rmax * Rmax * a; }
};

// Prepares the body of revolution so that its design waterline passes through the centres of
// the sections: a first preparation at the analytic volume, then a second one at the volume
// of the first hull below the centres' level.
inline int prepareRoundHull(Bench& b, const RoundHull& hull) {
    auto shape = [&](double x, int k) { return hull.point(x, k); };
    const int NSLOT = hull.stations - 1;
    Bench first;
    if (int e = prepareAnalyticHull(*first.st, first.io, hull.stations, hull.xAft(), hull.xFwd(), shape, hull.volume()))
        return e;
    int ierr = 0;
    const double volume = VDWL(*first.st, NSLOT, first.st->hull.ZS[ix(NSLOT / 2)][75], ierr, false, first.console);
    if (ierr != 0) return ierr;
    if (int e = prepareAnalyticHull(*b.st, b.io, hull.stations, hull.xAft(), hull.xFwd(), shape, volume)) return e;
    return uprightValues(*b.st, b.io, NSLOT);
}

// ---------------------------------------------------------------------------------------------
// Independent geometry: a closed polygon in signed section coordinates (y > 0 the low side,
// z down) clipped by the half plane below the water surface z = ZW - TANPHI*y.
// The immersed area, the wetted outline (hull and deck below the surface), the length of the
// surface inside the section and the ends of that line, high side first.
struct Cut {
    double area = 0.0, girth = 0.0, breadth = 0.0;
    double y1 = 1e300, z1 = 0.0, y2 = -1e300, z2 = 0.0;
};

inline Cut clipPolygon(const std::vector<std::array<double, 2>>& poly, double ZW, double TANPHI) {
    // below the surface: g = z - (ZW - TANPHI*y) >= 0
    auto g = [&](const std::array<double, 2>& p) { return p[1] - (ZW - TANPHI * p[0]); };
    std::vector<std::pair<std::array<double, 2>, bool>> out;  // the vertices, and whether on the surface
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const auto &a = poly[i], &c = poly[(i + 1) % poly.size()];
        const double ga = g(a), gc = g(c);
        if (ga >= 0.0) out.push_back({a, ga == 0.0});
        if ((ga >= 0.0) != (gc >= 0.0)) {
            const double t = ga / (ga - gc);
            out.push_back({{a[0] + t * (c[0] - a[0]), a[1] + t * (c[1] - a[1])}, true});
        }
    }
    Cut cut;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto& [p, pOn] = out[i];
        const auto& [q, qOn] = out[(i + 1) % out.size()];
        cut.area += 0.5 * (p[0] * q[1] - q[0] * p[1]);
        (pOn && qOn ? cut.breadth : cut.girth) += std::hypot(q[0] - p[0], q[1] - p[1]);
        if (pOn && p[0] < cut.y1) cut.y1 = p[0], cut.z1 = p[1];
        if (pOn && p[0] > cut.y2) cut.y2 = p[0], cut.z2 = p[1];
    }
    cut.area = std::fabs(cut.area);
    return cut;
}

// A prepared section as that polygon: up the low side, across the deck ZS = Zt, down the other.
inline Cut clipSection(const Section& YS, const Section& ZS, double ZW, double TANPHI) {
    std::vector<std::array<double, 2>> poly;
    for (int k = 0; k <= kTop; ++k) poly.push_back({YS[ix(k)], ZS[ix(k)]});
    for (int k = kTop; k >= 0; --k) poly.push_back({-YS[ix(k)], ZS[ix(k)]});
    return clipPolygon(poly, ZW, TANPHI);
}

// Largest error of the cumulative area's linear interpolation on any segment of a section:
// the trapezoid grows quadratically along a segment, short of the chord by at most dy*dz/8.
inline double areaInterpolationBound(const Section& YS, const Section& ZS) {
    double worst = 0.0;
    for (std::size_t k = 0; k < kTop; ++k)
        worst = std::max(worst, std::fabs((YS[k + 1] - YS[k]) * (ZS[k + 1] - ZS[k])) / 8.0);
    return worst;
}

}  // namespace carinex::test::heel
