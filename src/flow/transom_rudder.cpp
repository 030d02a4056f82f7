// Wetted transom and immersed rudder.
//
// The rudder tapers linearly in chord and thickness ratio from the tip
// (span 0) to the root (span RSPAN). Its immersed span s is measured from
// the tip. Up to SH1 it hangs free below the hull; between SH1 and SH2 its
// leading part runs into the hull, which takes a triangle off the rudder's
// area; beyond SH2 it is joined to the hull over its whole chord.
#include "flow/transom_rudder.h"

#include <algorithm>
#include <cstddef>

#include "flow/level_cut.h"
#include "hydrostatics/section_cut.h"

namespace carinex {

namespace {

constexpr double kTransomDrawdown = 1.6;  // lowering of the transom level per Froude number, in mean drafts

// The tapered rudder of the appendage file.
struct Rudder {
    double RSPAN, RCROOT, RCTIP, RTCRT, RTCTP, RSECTF;

    double chord(double h) const { return RCTIP + (RCROOT - RCTIP) * h / RSPAN; }
    double thickness(double h) const { return RTCTP + (RTCRT - RTCTP) * h / RSPAN; }
    // Volume from the tip up to span h, section area RSECTF*t*c^2.
    double volume(double h) const {
        const double c = chord(h), t = thickness(h);
        return (h * RSECTF / 12.0) * (((9.0 * t - 5.0 * RTCTP) * c - 2.0 * RCTIP * (5.0 * t - 7.0 * RTCTP)) * c +
                                      RCTIP * RCTIP * (7.0 * t - 3.0 * RTCTP));
    }
    // Volume of the part above SH1 that the hull takes up when the rudder reaches h.
    double insideHull(double h, double SH1) const {
        const double c = chord(h);
        return RSECTF * 0.5 * c * c * (h - SH1) * thickness(h);
    }
};

Rudder rudderOf(const CaseInput& in) { return {in.RSPAN, in.RCROOT, in.RCTIP, in.RTCRT, in.RTCTP, in.RSECTF}; }

double sectionArea(const CaseState& st, int K, double ZW, double BREFX) { return cutSection(st, K, ZW, BREFX).ASEC; }

// The hull section area above the rudder at its mid-chord, cut at the water
// level there, between the slot forward of the mid-chord and the one aft of it.
double hullAboveRudder(const CaseState& st, double s, double BREFX) {
    const int K2 = std::max(st.upright.IRUD, 1), K1 = K2 - 1;  // a rudder aft of every station: the last pair
    const double level = st.input.RSPAN - s;
    const double x1 = st.hull.XST[static_cast<std::size_t>(K1)], x2 = st.hull.XST[static_cast<std::size_t>(K2)];
    const double xm = 0.5 * (st.hull.XR0 + st.hull.XR1);
    const double A = lineThrough(x1, sectionArea(st, K1, level, BREFX), x2, sectionArea(st, K2, level, BREFX), xm);
    return std::max(A, 0.0);
}

}  // namespace

void TRANSM(CaseState& st, double FN) {
    const TestPoint& p = st.point;
    const TrialHydrostatics& t = st.trial;
    const double Z0 = p.SINKG - p.TRIMW * st.hull.XST[0] / p.COSPHI - kTransomDrawdown * FN * t.VOLCB / t.AWLPHI;
    st.flow.ATRANS = std::max(sectionArea(st, 0, Z0, p.BREFX), 0.0) / t.AHSPHI;
}

void RUDIMM(CaseState& st, double BREFX, double DELR, double /*DELK: the keel's, not needed here*/) {
    const UprightParticulars& u = st.upright;
    const Rudder r = rudderOf(st.input);
    const double s = st.trial.RIMM, SH1 = u.SH1, SH2 = u.SH2;
    TestPoint& p = st.point;
    FlowResults& f = st.flow;
    f.RHSPAN = s / 2.0;
    if (s <= 0.0) {
        // emerged
        p.RCWL = 0.0;
        f.RAEFF = 0.0;
        p.VRUDDT = 0.0;
        p.RASP = 1.0;
        f.RGAP = 0.0;
        return;
    }
    if (s <= SH1) {
        // free of the hull; a span within the displacement thickness leaves no effective area
        p.RCWL = r.chord(s);
        const double cm = (r.RCTIP + p.RCWL) / 2.0;
        f.RAEFF = std::max(s * cm - DELR * cm, 0.0);
        p.RASP = s * s / (s * cm);
        p.VRUDDT = r.volume(s);
        f.RGAP = 0.0;
        return;
    }
    double span = 0.0;
    if (s <= SH2) {
        const double d = SH2 - s, e = SH2 - SH1;
        p.RCWL = r.chord(s);
        f.RAEFF = u.AR0 - r.chord(SH1) * 0.5 * (d / e) * d - u.CR0 * DELR * (1.0 - d / e);
        span = s;
        p.VRUDDT = r.volume(s) - r.insideHull(s, SH1);
    } else {
        p.RCWL = r.chord(SH2);
        f.RAEFF = u.AR0 - u.CR0 * DELR;
        span = SH2;
        p.VRUDDT = r.volume(SH2) - r.insideHull(SH2, SH1);
    }
    if (f.RAEFF > 0.0) {
        p.RASP = span * span / f.RAEFF;
    } else {
        // a displacement thickness larger than the rudder: no effective area
        f.RAEFF = 0.0;
        p.RASP = 1.0;
    }
    f.RGAP = hullAboveRudder(st, s, BREFX);
}

}  // namespace carinex
