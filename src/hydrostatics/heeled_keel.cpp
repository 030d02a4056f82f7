// Keel line, asymmetry and appendage immersion of the heeled hull (steps 10 to 12 of KRAENG).
#include <algorithm>
#include <cmath>

#include "hydrostatics/heeled_steps.h"

namespace carinex::kraeng {

namespace {

constexpr double kRockerRun = 0.1;        // fraction of the waterline length behind XAPHI
constexpr double kOverhangDecay = 20.0;   // exp(-20*OVRHNG/LWLPHI)
constexpr double kKeelDownwash = 0.8;     // share of the keel tip depth in its downwash

}  // namespace

// The rocker: how steeply the keel line rises out of the water behind the aft end, measured
// over a tenth of the waterline length (or to the aftmost station).
void aftKeelLine(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    const SlotArray& XST = k.st.hull.XST;
    t.KSLP0 = (at(t.KDW, 1) - at(t.KDW, 0)) / (at(XST, 1) - at(XST, 0));
    // Without a keel-line spline (its fit failed, which the keel-line search reported) the
    // slope between the two aftmost stations stands in for the rocker.
    if (t.XAPHI >= at(XST, 0) + 10.0 * k.st.run.EPS && k.w.keelLineFitted) {
        const double xr = std::max(t.XAPHI - kRockerRun * t.LWLPHI, at(XST, 0));
        int hint = 1;
        t.TCLTOH = -k.w.keelLine.value(xr, hint) / (t.XAPHI - xr);
    } else {
        t.TCLTOH = t.KSLP0;
    }
    t.OVRHNG = at(t.ASEC, 0) <= 0.0 ? t.XAPHI - at(XST, 0) : 0.0;
    const double overhang = t.OVRHNG / t.LWLPHI;
    t.OVHEXP = std::exp(-kOverhangDecay * overhang);
    t.OVHTC = overhang * t.TCLTOH;
    t.OVHF = overhang + 1.0;
}

// Upright the hull is symmetric. Heeled, the centre of the waterline at the largest section
// lies off the centre plane; over the fore-body length that offset is a drift angle. The
// deepest point of the hull, likewise, lies off the centre plane: over its distance from the
// bow it is the asymmetry angle. Both are corrected for the sideways shift that trim gives a
// heeled centre plane, and both change sign with the side of the heel.
void asymmetry(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    const TestPoint& p = k.st.point;
    if (!k.heeled()) {
        t.DRFPHI = 0.0;
        t.ASYM = 0.0;
        return;
    }
    // The largest section is cut afresh: its stored ends stop at the deck once the low deck
    // edge is under water, which would pull the centre towards the high side.
    const SectionWaterline e = hullCrossings(k, t.IAMAX);
    const double centre = k.side() * (e.y1 + e.y2) / 2.0;  // signed y of the waterline's middle
    const double fore = t.XFPHI - t.XMREF;
    t.DRFPHI = (centre / p.COSPHI - p.TRIMW * p.SINPHI * fore) / fore;
    const double toDeep = t.XFPHI - k.w.xDeep;
    if (!k.w.deepFound || toDeep == 0.0) {
        t.ASYM = 0.0;
    } else {
        t.ASYM = (k.w.yDeep - p.TRIMW * p.SINPHI * toDeep) / toDeep;
    }
}

// Keel and rudder at the trial waterline: the rudder's immersed span, chord and volume, the
// part of it in the keel's downwash, and the keel's immersed span and root depth.
void appendageImmersion(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    TestPoint& p = k.st.point;
    const CaseInput& in = k.st.input;
    const PreparedHull& h = k.st.hull;
    const UprightParticulars& u = k.st.upright;
    const double keelMid = 0.5 * (h.XK0 + h.XK1);

    t.ZWKEEL = p.SINKG - p.TRIMW * keelMid / p.COSPHI;
    t.RIMM = (in.RSPAN - p.SINKG) + p.TRIMW * 0.5 * (h.XR1 + h.XR0) / p.COSPHI;
    t.RWAKE = std::min(kKeelDownwash * (u.TMAXK - t.ZWKEEL), t.RIMM);

    // Chord and thickness ratio taper linearly from the tip over the span; the rudder's volume
    // is the integral of chord^2 times thickness ratio up to the immersed span, less the part
    // inside the hull above SH1. A rudder without span keeps its tip values.
    const double s = std::min(t.RIMM, u.SH2);
    const double f = in.RSPAN != 0.0 ? s / in.RSPAN : 0.0;
    const double ts = in.RTCTP + (in.RTCRT - in.RTCTP) * f;
    p.RCWL = in.RCTIP + (in.RCROOT - in.RCTIP) * f;
    const double chordTerm =
        ((9.0 * ts - 5.0 * in.RTCTP) * p.RCWL - 2.0 * in.RCTIP * (5.0 * ts - 7.0 * in.RTCTP)) * p.RCWL;
    p.VRUDDT = (s * in.RSECTF / 12.0) * (chordTerm + in.RCTIP * in.RCTIP * (7.0 * ts - 3.0 * in.RTCTP));
    if (t.RIMM > u.SH1 || t.RIMM > u.SH2) p.VRUDDT -= in.RSECTF * 0.5 * p.RCWL * p.RCWL * (s - u.SH1) * ts;

    // The keel's root trailing edge above the water shortens the immersed span.
    const double rootDepth = u.KZTRAIL - p.SINKG + p.TRIMW * h.XK1 / p.COSPHI;
    t.KSPAN = rootDepth >= 0.0 ? u.KSPANR : u.KSPANR + rootDepth;
    t.TKROOT = (u.TMAX - p.SINKG) + p.TRIMW * keelMid / p.COSPHI;
    t.RKCL = in.KCHORD(1) / t.LWLPHI;
    t.RKTB = in.KTHICK(1) * in.KCHORD(1) / p.COSPHI / t.BWLPHI;
    t.RIMMC = t.RIMM - (u.SH1 + u.SH2) / 2.0;
}

}  // namespace carinex::kraeng
