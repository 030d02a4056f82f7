// Admission of the trial state and the ends of the heeled waterline (steps 4 and 5 of KRAENG).
//
// The wetted run ends between a wet and a dry station. Where exactly the waterline ends is found
// from a short table of station positions against a depth measure that vanishes at the end:
//  * at the bow, the keel depth below the surface when the keel rises through it between the
//    last two stations, otherwise the square root of the section area, which is nearly linear
//    in x where sections grow from a point;
//  * at the stern, upright, the keel depth below the trimmed surface; heeled, ASEC^0.67.
// Position is fitted as a function of the measure and evaluated at measure 0. A fit that is not
// possible (a measure that is not monotone along the table) falls back to the station or to the
// straight interpolation in the table; an end outside its station interval is replaced by the
// straight interpolation on the table interval the evaluation used.
#include <algorithm>
#include <cmath>

#include "geometry/end_table.h"
#include "hydrostatics/heeled_steps.h"

namespace carinex::kraeng {

namespace {

constexpr int kAdmissionSlot = 20;  // the wetted run must reach this slot from both sides
constexpr int kFewestTablePoints = 7;
constexpr int kBowTable = 5;
constexpr int kSternTableUpright = 7;
constexpr int kSternTableHeeled = 5;
constexpr double kAreaExponent = 0.67;

using EndTable = carinex::EndTable<kSternTableUpright>;

// Position at measure 0. `station` is the end station taken when the measures do not change
// sign and cannot be fitted; [lo, hi] the interval in which a fitted end is believed.
double endPosition(Curve& c, const EndTable& t, double E1, double E2, double station, double lo, double hi) {
    c.clear();
    for (int i = 1; i <= t.size(); ++i) c.add(t.m(i), t.x(i));
    if (c.fitEnds(E1, E2) != 0) {
        // The measure is not monotone along the table. Without a change of sign between its
        // first and last point the end stays at the station; otherwise it is the straight
        // interpolation where the measure first changes sign.
        const int n = t.size();
        if (t.m(1) * t.m(n) > 0.0) return station;
        for (int i = 1; i < n; ++i) {
            if (t.m(i) * t.m(i + 1) <= 0.0 && t.m(i) != t.m(i + 1)) return t.straight(i);
        }
        return station;  // every measure 0: nothing to interpolate
    }
    int hint = 3;
    const double x = c.value(0.0, hint);
    if (x < lo || x > hi) return t.straight(hint);
    return x;
}

// Takes slot K out of the wetted run.
void dry(TrialHydrostatics& t, int K) { at(t.BSEC, K) = at(t.GIRTH, K) = at(t.ASEC, K) = 0.0; }

// The bow end may lie beyond the last station when the bow section is still wet; it is then
// bounded by one station spacing past the last station.
double forwardLimit(const Kraeng& k, int ISTA2) {
    const SlotArray& XST = k.st.hull.XST;
    if (ISTA2 <= k.NSLOT) return at(XST, ISTA2);
    return 2.0 * at(XST, k.NSLOT) - at(XST, k.NSLOT - 1);
}

void bowEnd(Kraeng& k, double tiny) {
    TrialHydrostatics& t = k.st.trial;
    const SlotArray& XST = k.st.hull.XST;
    if (at(t.ASEC, t.ISTA2 - 1) <= tiny) {
        t.ISTA2 -= 1;
        t.XFPHI = at(XST, t.ISTA2);
        dry(t, t.ISTA2);
        return;
    }
    EndTable table;
    if (orDry(t.KDW, t.ISTA2) * at(t.KDW, t.ISTA2 - 1) <= 0.0) {
        // the keel rises through the surface between the last two stations
        const int m = std::min(t.ISTA2 + 3, k.NSLOT + 1);
        for (int i = 1; i <= kBowTable; ++i) table.add(at(t.KDW, m - i), at(XST, m - i));
    } else {
        for (int i = 1; i <= kBowTable; ++i) table.add(std::sqrt(at(t.ASEC, t.ISTA2 - i)), at(XST, t.ISTA2 - i));
    }
    t.XFPHI = endPosition(k.w.scratch, table, 0.0, -1.0, at(XST, std::min(t.ISTA2, k.NSLOT)), at(XST, t.ISTA2 - 1),
                          forwardLimit(k, t.ISTA2));
}

// False when the stern table would reach past the last station. That happens only when
// ISTA1 >= NSLOT - 4, and then the run has at most 6 stations whatever the ends turn out to be:
// the state would be rejected below anyway.
bool sternEnd(Kraeng& k, double tiny) {
    TrialHydrostatics& t = k.st.trial;
    const SlotArray& XST = k.st.hull.XST;
    if (at(t.ASEC, t.ISTA1 + 1) <= tiny) {
        t.ISTA1 += 1;
        t.XAPHI = at(XST, t.ISTA1);
        dry(t, t.ISTA1);
        return true;
    }
    if (t.ISTA1 < 0) {  // the aftmost station is wet: a transom in the water
        t.ISTA1 = 0;
        t.XAPHI = at(XST, 0);
        return true;
    }
    EndTable table;
    if (!k.heeled()) {
        const int b = std::max(t.ISTA1 - 3, -1);
        if (b + kSternTableUpright > k.NSLOT) return false;
        const TestPoint& p = k.st.point;
        for (int i = 1; i <= kSternTableUpright; ++i) {
            const int K = b + i;
            table.add(at(k.st.upright.ZREF, K) - p.SINKG + at(XST, K) * p.TRIMW, at(XST, K));
        }
    } else {
        if (t.ISTA1 + kSternTableHeeled > k.NSLOT) return false;
        for (int i = 1; i <= kSternTableHeeled; ++i) {
            const int K = t.ISTA1 + i;
            table.add(std::pow(at(t.ASEC, K), kAreaExponent), at(XST, K));
        }
    }
    t.XAPHI = endPosition(k.w.scratch, table, -1.0, -1.0, at(XST, t.ISTA1), at(XST, t.ISTA1), at(XST, t.ISTA1 + 1));
    return true;
}

}  // namespace

bool admitted(const Kraeng& k) {
    const TrialHydrostatics& t = k.st.trial;
    return !(t.IAMAX == -1 || t.ISTA2 < kAdmissionSlot || t.ISTA1 > kAdmissionSlot);
}

Next waterlineEnds(Kraeng& k) {
    TrialHydrostatics& t = k.st.trial;
    const SlotArray& XST = k.st.hull.XST;
    const double tiny = k.st.upright.BWL * 1e-6 * k.st.upright.TC;
    if (k.LREST) {
        // the ends of the design waterline
        t.XFPHI = k.st.hull.XFKEEL;
        t.ISTA1 = std::max(t.ISTA1, 0);
        t.XAPHI = k.st.hull.XAKEEL;
    } else {
        bowEnd(k, tiny);
        if (!sternEnd(k, tiny)) return Next::defaultPath;
    }
    // Each end within its station interval. An end that falls on the inner station moves the
    // end slot inward (so the table abscissae stay strictly increasing); this also holds for
    // the rest call, whose ends may fall on a station.
    t.XFPHI = std::min(t.XFPHI, forwardLimit(k, t.ISTA2));
    if (t.XFPHI <= at(XST, t.ISTA2 - 1)) {
        t.ISTA2 -= 1;
        t.XFPHI = at(XST, t.ISTA2);
        dry(t, t.ISTA2);
    }
    t.XAPHI = std::max(t.XAPHI, at(XST, t.ISTA1));
    if (t.XAPHI >= at(XST, t.ISTA1 + 1)) {
        t.ISTA1 += 1;
        t.XAPHI = at(XST, t.ISTA1);
        dry(t, t.ISTA1);
    }
    t.LWLPHI = t.XFPHI - t.XAPHI;
    const int N = t.ISTA2 - t.ISTA1 + 1;
    if (N < kFewestTablePoints) return Next::defaultPath;
    if (t.IAMAX == t.ISTA1) {
        t.IAMAX += 1;
    } else if (t.IAMAX == t.ISTA2) {
        t.IAMAX -= 1;
    }
    // The largest section must lie in the run that was found; when the surface splits the hull
    // into two wetted runs and the larger lies beyond ISTA2, no single waterline describes it.
    if (t.IAMAX <= t.ISTA1 || t.IAMAX >= t.ISTA2) return Next::defaultPath;
    k.w.table = WaterlineTable{t.ISTA1, N, t.XAPHI, t.XFPHI};
    return Next::proceed;
}

}  // namespace carinex::kraeng
