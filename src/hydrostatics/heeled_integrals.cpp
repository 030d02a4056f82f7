// Curves along the heeled waterline (steps 6 to 9 of KRAENG).
//
// Section area, waterline breadth, keel depth and lateral term are tabulated over the wetted
// run, from XAPHI through the inner stations to XFPHI, where each of them vanishes. Each table
// is fitted with the rational spline (end moments equal to their neighbours') and integrated
// with Romberg's method; the first moments give the centres of buoyancy and flotation. Around
// the largest section a local spline of the areas gives, at the zero of its slope, the largest
// section and its position XMREF, which splits the hull into fore- and after-body.
#include <algorithm>
#include <cmath>

#include "geometry/brent_root.h"
#include "hydrostatics/heeled_steps.h"
#include "platform/fixed_format.h"

namespace carinex::kraeng {

namespace {

constexpr int kTransitionTable = 7;  // the transition table: six stations and the bow end
constexpr int kLocalHalfWidth = 3;   // stations each side of the largest section
constexpr double kExtremumTolerance = 1e-5;  // Brent: 2*EPS*|b| + 5e-6
constexpr int kBrentIterations = 1000;
constexpr double kBowRun = 0.07;  // fraction of the waterline length for the entrance slope

// Entry j of the keel-depth table: KDW, except at the aft end, where the keel meets the
// surface unless the waterline starts at the aftmost station (a transom in the water).
double keelDepthEntry(const Kraeng& k, int j) {
    const WaterlineTable& tab = k.w.table;
    const TrialHydrostatics& t = k.st.trial;
    if (j == 1) return tab.XAPHI == at(k.st.hull.XST, 0) ? at(t.KDW, 0) : 0.0;
    return tab.value(j, t.KDW);
}

// Fills `c` with entries first ... last of the waterline table, ordinate value(j).
template <class Value>
void tabulate(const Kraeng& k, Curve& c, int first, int last, Value value) {
    c.clear();
    for (int j = first; j <= last; ++j) c.add(k.w.table.x(j, k.st.hull.XST), value(j));
}

// x of the zero of the slope of `c` between its first and last abscissa (Brent). False when
// the slope does not change sign there or the search does not settle; `code` is then 1 or 3.
bool slopeZero(const Kraeng& k, const Curve& c, double& x, double& value, int& code) {
    int hint = c.size() / 2;
    auto slope = [&](double at) { return c.slope(at, hint); };
    const double a = c.x(1), b = c.x(c.size());
    const double fa = slope(a), fb = slope(b);
    if (fa * fb > 0.0) {
        code = 1;
        return false;
    }
    const BrentResult r = brentRoot(slope, a, b, fa, fb, kExtremumTolerance, k.st.run.EPS, kBrentIterations);
    if (!r.converged) {
        code = 3;
        return false;
    }
    x = r.x;
    value = c.value(x, hint);
    return true;
}

// A transition fit that failed: the table value at the table point nearest to x_t.
double nearestEntry(const Curve& c, double xt) {
    int nearest = 1;
    for (int j = 2; j <= c.size(); ++j) {
        if (std::fabs(c.x(j) - xt) < std::fabs(c.x(nearest) - xt)) nearest = j;
    }
    return c.y(nearest);
}

}  // namespace

// The transition table is the last seven entries of the waterline table: the six stations
// behind the bow end and the bow end itself. The run holds at least seven entries, so the
// table stays inside it; when the run is exactly seven long its first entry is the aft end
// (XAPHI), not the dry station at ISTA1.
void transitionQuantities(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    const WaterlineTable& tab = k.w.table;
    const double xt = t.XFPHI - k.XLAM;
    const int first = tab.N - kTransitionTable + 1;
    Curve& c = k.w.scratch;

    tabulate(k, c, first, tab.N, [&](int j) { return keelDepthEntry(k, j); });
    if (c.fitEnds(-1.0, -1.0) == 0) {
        int hint = 2;
        t.TLAT = c.value(xt, hint);
    } else {
        if (k.diag()) writeFree(k.io.console, "FEHLER Laminarkegel TLAT");
        t.TLAT = nearestEntry(c, xt);
    }

    tabulate(k, c, first, tab.N, [&](int j) { return tab.value(j, t.BSEC); });
    if (c.fitEnds(-1.0, 0.0) == 0) {
        int hint = 2;
        t.BRTLAM = c.value(xt, hint);
    } else {
        if (k.diag()) writeFree(k.io.console, "FEHLER Laminarkegel BRTLAM");
        t.BRTLAM = nearestEntry(c, xt);
    }
}

Next waterlineIntegrals(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    const WaterlineTable& tab = k.w.table;
    const int N = tab.N;
    const SlotArray& XST = k.st.hull.XST;
    double err = 0.0;

    tabulate(k, k.w.area, 1, N, [&](int j) { return tab.value(j, t.ASEC); });
    if (int e = k.w.area.fitEnds(-1.0, -1.0)) return fitFailed(k, "ARINT", e);
    int e = k.w.area.integral(t.XAPHI, t.XFPHI, k.w.area.y(1), 0.0, t.VOLCB, err);
    if (integralChecked(k, "VOLCB", e, err) == Next::stop) return Next::stop;

    tabulate(k, k.w.breadth, 1, N, [&](int j) { return tab.value(j, t.BSEC); });
    if (int f = k.w.breadth.fitEnds(-1.0, -1.0)) return fitFailed(k, "BRINT", f);
    e = k.w.breadth.integral(t.XAPHI, t.XFPHI, k.w.breadth.y(1), 0.0, t.AWLPHI, err);
    if (integralChecked(k, "AWLPHI", e, err) == Next::stop) return Next::stop;

    Curve& moment = k.w.scratch;
    double MV = 0.0, MA = 0.0;
    tabulate(k, moment, 1, N, [&](int j) { return tab.value(j, t.ASEC) * tab.x(j, XST); });
    if (int f = moment.fitEnds(-1.0, -1.0)) return fitFailed(k, "MVINT", f);
    e = moment.integral(t.XAPHI, t.XFPHI, moment.y(1), 0.0, MV, err);
    if (integralChecked(k, "MPHI", e, err) == Next::stop) return Next::stop;
    t.XCBPHI = MV / t.VOLCB;

    tabulate(k, moment, 1, N, [&](int j) { return tab.value(j, t.BSEC) * tab.x(j, XST); });
    if (int f = moment.fitEnds(-1.0, -1.0)) return fitFailed(k, "MAINT", f);
    e = moment.integral(t.XAPHI, t.XFPHI, moment.y(1), 0.0, MA, err);
    if (integralChecked(k, "MAWL", e, err) == Next::stop) return Next::stop;
    t.XTRIM = t.AWLPHI > 0.0 ? MA / t.AWLPHI : 0.0;
    return Next::proceed;
}

namespace {

// Largest section from a local spline of the areas over IAMAX -+ 3, clipped to the wetted
// run (IAMAX lies strictly inside it, so the range has at least three entries).
Next searchLargestSection(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    const WaterlineTable& tab = k.w.table;
    const int first = std::max(1, tab.entryOf(t.IAMAX - kLocalHalfWidth));
    const int last = std::min(tab.N, tab.entryOf(t.IAMAX + kLocalHalfWidth));
    Curve& local = k.w.scratch;

    tabulate(k, local, first, last, [&](int j) { return tab.value(j, t.ASEC); });
    if (int e = local.fitNatural()) return fitFailed(k, "ARINT", e);
    int code = 0;
    if (!slopeZero(k, local, t.XMREF, t.AHSPHI, code)) {
        if (k.diag()) writeFree(k.io.console, "FEHLER KRAENG AHSPHI", last - first + 1, t.IAMAX, t.ISTA1, t.ISTA2);
        t.AHSPHI = at(t.ASEC, t.IAMAX);
        t.XMREF = at(k.st.hull.XST, t.IAMAX);
        k.IERR = 0;
    }

    tabulate(k, local, first, last, [&](int j) { return tab.value(j, t.BSEC); });
    if (int e = local.fitNatural()) return fitFailed(k, "BRTINT", e);
    int hint = 1;
    t.BWLPHI = local.value(t.XMREF, hint);

    tabulate(k, local, 1, tab.N, [&](int j) { return tab.value(j, t.QLAT); });
    if (int e = local.fitEnds(-1.0, -1.0)) return fitFailed(k, "BJETIN", e);
    double err = 0.0;
    const int e = local.integral(t.XAPHI, t.XFPHI, local.y(1), 0.0, t.ATRIM, err);
    return integralChecked(k, "ALATCB", e, err);
}

// The keel line over the stations 0 ... ISTA2-1 and the largest keel depth on it.
void keelLineMaximum(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    const SlotArray& XST = k.st.hull.XST;
    Curve& keel = k.w.keelLine;
    keel.clear();
    for (int K = 0; K <= t.ISTA2 - 1; ++K) keel.add(at(XST, K), at(t.KDW, K));
    const int fit = keel.fitNatural();
    k.w.keelLineFitted = fit == 0;
    if (fit != 0) {
        if (k.diag()) writeFree(k.io.console, "FEHLER KRAENG RATSPL TLAT");
        t.TMXPHI = t.TCBPHI;
        k.IERR = 0;
        return;
    }
    int code = 0;
    if (!slopeZero(k, keel, k.st.upright.XTMAX, t.TMXPHI, code)) {
        if (k.diag()) writeFree(k.io.console, "FEHLER KRAENG TMXPHI", code, keel.x(1), keel.x(keel.size()));
        t.TMXPHI = t.TCBPHI;
        k.IERR = 0;
    }
}

}  // namespace

Next largestSection(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    const WaterlineTable& tab = k.w.table;
    if (!k.LREST) {
        if (searchLargestSection(k) == Next::stop) return Next::stop;
    } else {
        // the largest section of the design waterline; upright, there is no lateral term
        t.IAMAX = k.st.hull.KAMAX;
        t.XMREF = 0.0;
        t.AHSPHI = k.st.hull.AMAX;
        t.BWLPHI = k.st.upright.BWL;
        t.ATRIM = 0.0;
    }

    Curve& depth = k.w.keelDepth;
    tabulate(k, depth, 1, tab.N, [&](int j) { return keelDepthEntry(k, j); });
    if (int e = depth.fitEnds(-1.0, -1.0)) return fitFailed(k, "TCBINT", e);
    int hint = tab.N / 2;
    t.TCBPHI = k.LREST ? k.st.upright.TC : depth.value(t.XMREF, hint);

    double err = 0.0;
    const int e = depth.integral(t.XAPHI, t.XFPHI, depth.y(1), 0.0, t.AHULL, err);
    if (integralChecked(k, "ALATCB", e, err) == Next::stop) return Next::stop;
    const double run = kBowRun * t.LWLPHI;
    t.TFWD = depth.value(t.XFPHI - run, hint) / run;

    keelLineMaximum(k);
    return Next::proceed;
}

Next coefficients(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    const WaterlineTable& tab = k.w.table;
    const double B = t.BWLPHI > 0.0 ? t.BWLPHI : 2.0 * at(at(k.st.hull.YS, t.IAMAX), kLastPoint);
    t.CXPHI = t.AHSPHI / (B * t.TCBPHI);
    t.CWPPHI = t.AWLPHI / (B * t.LWLPHI);
    t.CPPHI = t.VOLCB / (t.AHSPHI * t.LWLPHI);
    t.LCBPHI = (t.XFPHI - t.XCBPHI) / t.LWLPHI;
    t.LCFPHI = t.AWLPHI > 0.0 ? (t.XFPHI - t.XTRIM) / t.LWLPHI : 0.0;

    // after-body: from the aft end to the largest section
    double err = 0.0;
    int e = k.w.area.integral(t.XAPHI, t.XMREF, tab.value(1, t.ASEC), t.AHSPHI, t.VCB2, err);
    if (integralChecked(k, "VCB2", e, err) == Next::stop) return Next::stop;
    e = k.w.breadth.integral(t.XAPHI, t.XMREF, tab.value(1, t.BSEC), t.BWLPHI, t.AWL2, err);
    if (integralChecked(k, "AWL2", e, err) == Next::stop) return Next::stop;

    t.AWL1 = t.AWLPHI - t.AWL2;
    t.LWL1 = t.XFPHI - t.XMREF;
    t.LWL2 = t.XMREF - t.XAPHI;
    t.VCB1 = t.VOLCB - t.VCB2;
    t.CPF = t.VCB1 / (t.AHSPHI * t.LWL1);
    t.CPA = t.VCB2 / (t.AHSPHI * t.LWL2);
    t.RBL1 = t.BWLPHI / t.LWL1;
    t.RBL2 = t.BWLPHI / t.LWL2;
    t.RBTPHI = t.BWLPHI / t.TCBPHI;
    t.RTL1 = t.TCBPHI / t.LWL1;
    t.RLV2 = t.LWL2 / std::cbrt(t.VCB2);
    t.CVP1 = t.VCB1 / (t.AWL1 * t.TCBPHI);
    t.RAL1 = std::sqrt(t.AWL1) / t.LWL1;
    t.RAL2 = std::sqrt(t.AWL2) / t.LWL2;
    t.RAX1 = std::sqrt(t.AHSPHI) / t.LWL1;
    t.CW1 = t.AWL1 / (t.BWLPHI * t.LWL1);
    t.CW2 = t.AWL2 / (t.BWLPHI * t.LWL2);
    return Next::proceed;
}

}  // namespace carinex::kraeng
