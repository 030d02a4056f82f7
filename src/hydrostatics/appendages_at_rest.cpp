// Keel and rudder at rest (the appendage block of GEOPRO).
//
// Keel. The span is sampled at the eight strips of the lifting-line method: strip i lies at the
// depth ratio ZSTRIP(i) = cos(theta_i), theta_i = pi/2 - (i-1)*pi/16, so with z = KDEPTH*cos(theta)
// a spanwise integral becomes KDEPTH * integral of g*sin(theta) d(theta), taken by the
// trapezoidal rule in theta with the weights STRW(i) = sin(theta_i) (one half at the root, where
// sin(theta) = 1 and the rule's end weight applies; the tip, theta = 0, has weight 0). Hence
// f = KDEPTH*pi/16 times a weighted sum is the integral over the span: the lateral area from the
// chords, the volume from the section areas KSECTF*KTHICK*KCHORD^2, and the volume centroid from
// the same sum weighted with the depth ratio. The region between the canoe body's keel line and
// the level of its deepest point TMAX over the keel root adds KAROOT and VKROOT.
//
// Rudder. Spans are measured upward from the tip; the rudder reaches the design waterline at
// RSPAN. The hull's keel line crosses the root leading edge XR0 at depth zA and the root trailing
// edge XR1 at zB: the rudder starts to meet the hull at span SH1 and is joined to it along the
// whole chord from SH2 on. The immersed volume integrates the section area RSECTF*t*c^2 of the
// linearly tapered rudder from the tip to the span s where it is fully joined (or to the
// waterline), less the wedge between SH1 and s that lies inside the hull.
#include "hydrostatics/appendages_at_rest.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "geometry/rational_spline.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr int kNoAppendages = 100;
constexpr int kSpanwiseNacaSeries = 63;  // the keel type whose depth counts from the keel line
constexpr int kKeelLineHint = 20;
constexpr double kKeelAreaFactor = 1.001;

// Reports appendage data the formulas at rest cannot use and gives the error code.
int unusable(RunFiles& io, std::string_view what, double value) {
    writeFree(io.console, what, value);
    return kAppendageAtRest;
}

double squared(double v) { return v * v; }

// Sweep of the keel's quarter-chord line between the root and strip 8 (depth h8).
void keelSweep(CaseState& st) {
    const CaseInput& c = st.input;
    const double h8 = st.run.ZSTRIP(8) * c.KDEPTH;
    st.upright.KSWPE =
        std::atan((c.KCHORD(8) / 4.0 - c.KCHORD(1) / 2.0 + c.KCHORD(1) / 4.0 + std::tan(c.KSWEEP) * h8) / h8);
}

// Keel span at rest. Keel type 63 counts its depth from the keel line under the keel: its depth
// below the deepest point of the canoe body is what the strip integrals use.
int keelSpan(CaseState& st, RunFiles& io) {
    CaseInput& c = st.input;
    UprightParticulars& u = st.upright;
    if (c.KSTYPE == kSpanwiseNacaSeries) {
        double z = 0.0;
        if (u.KZLEAD <= u.KZTRAIL) {
            u.KSPANR = c.KDEPTH - u.KZTRAIL + u.KZLEAD;
            z = u.KZTRAIL;
        } else {
            u.KSPANR = c.KDEPTH;
            z = u.KZLEAD;
        }
        c.KDEPTH = c.KDEPTH - (u.TMAX - z);
        // A tip above the deepest point of the canoe body leaves no span for the strips.
        if (!(c.KDEPTH > 0.0)) {
            return unusable(io, "keel tip not below the deepest point of the canoe body, KDEPTH =", c.KDEPTH);
        }
    } else {
        u.KSPANR = c.KDEPTH + u.TMAX - u.KZTRAIL;
    }
    return 0;
}

int keelAtRest(CaseState& st, RunFiles& io, const KeelLine& keel) {
    CaseInput& c = st.input;
    UprightParticulars& u = st.upright;
    const PreparedHull& h = st.hull;
    const RunConstants& run = st.run;
    // KDEPTH divides the sweep and the mean chord, KCHORD(1) the taper ratio.
    if (!(c.KDEPTH > 0.0)) return unusable(io, "keel depth below the canoe body not positive, KDEPTH =", c.KDEPTH);
    if (!(c.KCHORD(1) > 0.0)) return unusable(io, "keel root chord not positive, KCHORD(1) =", c.KCHORD(1));
    keelSweep(st);
    u.KZLEAD = keel.depthAt(h.XK0);
    u.KZTRAIL = keel.depthAt(h.XK1);
    if (int e = keelSpan(st, io)) return e;
    u.KAROOT = 0.5 * ((u.TMAX - u.KZLEAD) * (h.XK0 - u.XTMAX) + (u.TMAX - u.KZTRAIL) * (u.XTMAX - h.XK1));
    u.VKROOT = c.KCHORD(1) * u.KAROOT * c.KTHICK(1) * c.KSECTF;
    double W = 0.0, depthMoment = 0.0, chordSum = 0.0;
    for (int i = 1; i <= kKeelStrips; ++i) {
        const double w = c.KCHORD(i) * c.KCHORD(i) * c.KTHICK(i) * run.STRW(i);
        W += w;
        depthMoment += w * run.ZSTRIP(i);
        chordSum += c.KCHORD(i) * run.STRW(i);
    }
    // W is the keel's section area summed over the strips; the volume centroid divides by it.
    if (!(W > 0.0)) return unusable(io, "keel without section area, sum of KCHORD**2*KTHICK =", W);
    const double f = run.PI * 0.0625 * c.KDEPTH;
    u.KZC = c.KDEPTH * depthMoment / W;
    u.KAREA = u.KAROOT + kKeelAreaFactor * f * chordSum;
    st.point.VKEEL = u.VKROOT + W * c.KSECTF * f;
    u.KCMEAN = u.KAREA / c.KDEPTH;
    // The regression ratios divide by the keel volume.
    if (!(st.point.VKEEL > 0.0)) return unusable(io, "keel volume not positive, VKEEL =", st.point.VKEEL);
    return 0;
}

// IRUD: the first slot forward of the rudder's mid-chord; KSLOT: the first slot at or forward of
// the keel's root trailing edge. Each search keeps the nearest slot found so far; a search that
// finds none keeps the slot it had.
void appendageSlots(CaseState& st, int NSLOT) {
    const PreparedHull& h = st.hull;
    UprightParticulars& u = st.upright;
    const double xm = (h.XR0 + h.XR1) / 2.0;
    double rudderBound = u.LWL, keelBound = u.LWL;
    for (int K = 0; K <= NSLOT; ++K) {
        const double x = h.XST[static_cast<std::size_t>(K)];
        if (x > xm && x - xm < rudderBound) {
            u.IRUD = K;
            rudderBound = x - xm;
        }
        if (x >= h.XK1 && x - h.XK1 < keelBound) {
            u.KSLOT = K;
            keelBound = x - h.XK1;
        }
    }
}

int rudderAtRest(CaseState& st, RunFiles& io, const KeelLine& keel) {
    const CaseInput& c = st.input;
    const PreparedHull& h = st.hull;
    UprightParticulars& u = st.upright;
    TestPoint& p = st.point;
    // RSPAN and RCROOT divide the taper interpolations below.
    if (!(c.RSPAN > 0.0)) return unusable(io, "rudder span below the waterline not positive, RSPAN =", c.RSPAN);
    if (!(c.RCROOT > 0.0)) return unusable(io, "rudder root chord not positive, RCROOT =", c.RCROOT);
    const double zA = keel.depthAt(h.XR0);
    const double zB = keel.depthAt(h.XR1);
    u.SH2 = c.RSPAN - zB;
    const double d = (1.0 - c.RCTIP / c.RCROOT) * (zA - zB) + c.RSPAN;
    if (d == 0.0) return unusable(io, "rudder root line undefined, (1-RCTIP/RCROOT)*(zA-zB)+RSPAN =", d);
    u.SH1 = c.RSPAN * (d - zA) / d;
    u.CR0 = std::sqrt(squared(u.SH2 - u.SH1) + squared(h.XR0 - h.XR1));
    u.AR0 = 0.5 * (c.RCTIP * u.SH1 + (c.RCTIP + (c.RCROOT - c.RCTIP) * u.SH1 / c.RSPAN) * u.SH2);
    // The aspect ratio divides by the area below the hull.
    if (!(u.AR0 > 0.0)) return unusable(io, "rudder without area below the hull, AR0 =", u.AR0);
    const bool joinedBelowWaterline = u.SH2 <= c.RSPAN;
    const double s = joinedBelowWaterline ? u.SH2 : c.RSPAN;
    const double ts = c.RTCTP + (c.RTCRT - c.RTCTP) * s / c.RSPAN;
    p.RCWL = c.RCTIP + (c.RCROOT - c.RCTIP) * s / c.RSPAN;
    double volume = (s * c.RSECTF / 12.0) *
                    (((9.0 * ts - 5.0 * c.RTCTP) * p.RCWL - 2.0 * c.RCTIP * (5.0 * ts - 7.0 * c.RTCTP)) * p.RCWL +
                     c.RCTIP * c.RCTIP * (7.0 * ts - 3.0 * c.RTCTP));
    if (joinedBelowWaterline || u.SH1 < s) volume -= c.RSECTF * 0.5 * p.RCWL * p.RCWL * (s - u.SH1) * ts;
    p.VRUDD = volume;
    p.RASP = u.SH2 * u.SH2 / u.AR0;
    return 0;
}

}  // namespace

double KeelLine::depthAt(double x) const {
    int hint = std::min(kKeelLineHint, N);
    double s = 0.0, ds = 0.0, rad = 0.0;
    RATVAL(N, X, COEF, P, x, s, ds, rad, hint);
    return s;
}

int appendagesAtRest(CaseState& st, RunFiles& io, int NSLOT, const KeelLine& keel) {
    if (st.input.KSTYPE == kNoAppendages) {
        st.upright.KZC = 0.0;
        st.point.VKEEL = 0.0;
        st.point.VRUDD = 0.0;
        return 0;
    }
    if (int e = keelAtRest(st, io, keel)) return e;
    appendageSlots(st, NSLOT);
    if (int e = rudderAtRest(st, io, keel)) return e;
    st.upright.TMAXK = st.input.KDEPTH + st.upright.TMAX;
    return 0;
}

}  // namespace carinex
