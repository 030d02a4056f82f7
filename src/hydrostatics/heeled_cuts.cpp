// Station cuts of the heeled hydrostatics (steps 2 and 3 of KRAENG).
//
// In the plane of slot K the water surface is the line ZS = ZW - s*y (heel frame, low side at
// y > 0). A section is the polyline of its 151 points on either side of the centre plane,
// closed at the top by a level deck line ZS = Zt from -Yt to Yt. The immersed part is the part
// of that closed outline below the line:
//
//  * keel wet (ZW < Z0): the surface leaves the hull once on each side. WLCUT along the line
//    ZS = ZW + s*y finds the high-side crossing and along ZS = ZW - s*y the low-side one, unless
//    the surface meets the deck first: at yd = (ZW - Zt)/s, the y where it reaches the top's
//    height. yd < Yt puts the low deck edge under water, yd < 0 the top at the centre plane;
//  * keel dry (ZW >= Z0): upright, nothing is immersed; heeled, the surface may still cut into
//    the low side, entering the hull (WLCUT2's entry) and leaving it again or meeting the deck.
//
// With a crossing (segment I, fraction T) known, its half-breadth, height, girth from the keel
// and the half-area below its level are interpolated in YS, ZS, GIRTHP and SAREA. The immersed
// area is then the half-areas up to the crossings' levels corrected by the triangles (or
// trapezoids) between those levels and the inclined surface.
#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/waterline_cut.h"
#include "hydrostatics/heeled_steps.h"
#include "hydrostatics/section_cut.h"

namespace carinex::kraeng {

namespace {

constexpr int kNoCrossing = kSectionPoints;  // WLCUT2's segment number for "no such crossing"

// The arrays of one prepared station.
struct Station {
    const Section& YS;
    const Section& ZS;
    const Section& SAREA;
    const Section& GIRTHP;

    double Z0() const { return at(ZS, 0); }
    double Zt() const { return at(ZS, kLastPoint); }
    double Yt() const { return at(YS, kLastPoint); }
};

// A point of the section between points I and I+1: half-breadth, height, girth from the keel
// and the half-area below its level, all linear in the fraction T along the segment.
struct Crossing {
    double y, z, G, SA;
};

double along(const Section& a, int I, double T) { return at(a, I) + T * (at(a, I + 1) - at(a, I)); }

Crossing crossingAt(const Station& s, int I, double T) {
    return {along(s.YS, I, T), along(s.ZS, I, T), along(s.GIRTHP, I, T), along(s.SAREA, I, T)};
}

// Crossing of the line ZS = Z0 + S*YS leaving the water side of the section.
Crossing leaving(const Station& s, double Z0, double S) {
    int I = 0;
    double T = 0.0;
    WLCUT(Z0, S, s.YS, s.ZS, I, T);
    return crossingAt(s, I, T);
}

struct SectionValues {
    double BSEC = 0.0, GIRTH = 0.0, ASEC = 0.0;
    SectionWaterline ends;
};

// The section with its keel under water.
SectionValues keelWet(const Station& st, double ZW, double s, double yd, double COSPHI) {
    const double Zt = st.Zt(), Yt = st.Yt();
    const double G150 = at(st.GIRTHP, kLastPoint), SA150 = at(st.SAREA, kLastPoint);
    SectionValues v;
    SectionWaterline& e = v.ends;
    if (ZW < Zt && std::fabs(yd) > Yt) {
        // fully submerged: the surface passes above the whole deck
        e = {-Yt, Zt, yd, Zt};
        v.BSEC = 2.0 * Yt;
        v.GIRTH = 2.0 * G150;
        v.ASEC = 2.0 * SA150;
        return v;
    }
    const Crossing c1 = leaving(st, ZW, s);  // high side, y reported negative
    const double y1 = -c1.y, z1 = c1.z;
    if (ZW >= Zt && std::fabs(yd) >= Yt) {
        // normal: the surface leaves the hull on both sides below the deck
        const Crossing c2 = leaving(st, ZW, -s);
        const double y2 = c2.y, z2 = z1 - (y2 - y1) * s;
        e = {y1, z1, y2, z2};
        v.BSEC = (y2 - y1) / COSPHI;
        v.GIRTH = c1.G + c2.G;
        v.ASEC = c1.SA + c2.SA + 0.5 * ((z2 - ZW) * y2 - (z1 - ZW) * y1);
        return v;
    }
    // The low side's surface meets the deck at yd: the deck from yd to the edge is wetted.
    e = {y1, z1, yd, Zt};
    v.BSEC = (yd - y1) / COSPHI;
    v.GIRTH = G150 - yd + Yt + c1.G;
    if (ZW >= Zt) {
        // low deck edge under water
        v.ASEC = SA150 + c1.SA + 0.5 * (yd * (Zt - ZW) - (z1 - ZW) * y1);
    } else {
        // top under water at the centre plane (yd < 0: the deck crossing lies on the high side)
        v.ASEC = SA150 + c1.SA - 0.5 * (z1 - Zt) * (yd + y1);
    }
    return v;
}

// The heeled section with its keel above the water: the surface can only cut the low side.
SectionValues keelDryHeeled(const Station& st, double ZW, double s, double yd, double COSPHI) {
    SectionValues v;
    v.ends = {0.0, ZW, 0.0, ZW};
    int I1 = 0, I2 = 0;
    double T1 = 0.0, T2 = 0.0;
    WLCUT2(ZW, s, st.YS, st.ZS, I1, T1, I2, T2);
    if (I1 == kNoCrossing) return v;  // no entry: dry
    const Crossing e = crossingAt(st, I1, T1);
    if (I2 == kNoCrossing) {
        // entry but no exit: the surface leaves the section across the deck at yd
        const double Zt = st.Zt(), Yt = st.Yt();
        v.ends = {e.y, e.z, yd, Zt};
        v.BSEC = (yd - e.y) / COSPHI;
        v.GIRTH = at(st.GIRTHP, kLastPoint) - e.G + Yt - yd;
        v.ASEC = at(st.SAREA, kLastPoint) - e.SA - 0.5 * (yd + e.y) * (e.z - Zt);
        return v;
    }
    const Crossing x = crossingAt(st, I2, T2);
    const double zx = e.z - (x.y - e.y) * s;
    v.ends = {e.y, e.z, x.y, zx};
    v.BSEC = (x.y - e.y) / COSPHI;
    v.GIRTH = x.G - e.G;
    v.ASEC = x.SA - e.SA - 0.5 * (e.z - zx) * (e.y + x.y);
    return v;
}

// Step 2 for slot K.
void cutStation(Kraeng& k, int K) {
    const CaseState& cs = k.st;
    TrialHydrostatics& t = k.st.trial;
    const Station st{at(cs.hull.YS, K), at(cs.hull.ZS, K), at(cs.hull.SAREA, K), at(cs.upright.GIRTHP, K)};
    const double ZW = k.ZW(K), s = k.s(), COSPHI = cs.point.COSPHI;
    // Where the low side's surface reaches the height of the top point; 100*BREFX stands for
    // "nowhere" when the surface is level.
    const double yd = s != 0.0 ? (ZW - st.Zt()) / s : 100.0 * cs.point.BREFX;
    SectionValues v;
    if (ZW < st.Z0()) {
        v = keelWet(st, ZW, s, yd, COSPHI);
    } else if (s == 0.0) {
        v.ends = {0.0, ZW, 0.0, ZW};  // keel dry, upright: nothing immersed
    } else {
        v = keelDryHeeled(st, ZW, s, yd, COSPHI);
    }
    k.w.ends[static_cast<std::size_t>(K)] = v.ends;
    at(t.BSEC, K) = v.BSEC;
    at(t.GIRTH, K) = v.GIRTH;
    at(t.ASEC, K) = v.ASEC;

    if (v.ASEC > k.w.largestArea) {
        k.w.largestArea = v.ASEC;
        t.IAMAX = K;
    }
    if (v.GIRTH <= 0.0 || v.BSEC <= 0.0 || v.ASEC <= 0.0) {
        // a dry section: it extends the dry run at the stern or ends the wetted run
        at(t.BSEC, K) = at(t.GIRTH, K) = at(t.ASEC, K) = 0.0;
        if (K == t.ISTA1 + 1) {
            t.ISTA1 = K;
        } else if (t.ISTA1 < K && t.ISTA2 == k.NSLOT + 1) {
            t.ISTA2 = K;
        }
    }
}

// Angle of the ray from a waterline end to the keel point against the surface: atan(rise/run).
// A run of 0 (an end on the centre plane) gives the vertical, or 0 when the end is the keel
// point itself.
double rayAngle(double rise, double run, double PI) {
    if (run != 0.0) return std::atan(rise / run);
    return rise > 0.0 ? 0.5 * PI : (rise < 0.0 ? -0.5 * PI : 0.0);
}

// The deepest point of a heeled section: largest distance below the surface normal to it,
// d = |SINPHI|*y + (z - ZW)*COSPHI over the points of the low side (the deeper one).
struct DeepestPoint {
    int k = 0;
    double d = -std::numeric_limits<double>::infinity();
};

DeepestPoint deepestPoint(const Section& YS, const Section& ZS, double ZW, double sinAbs, double COSPHI) {
    DeepestPoint deep;
    for (int p = 0; p <= kLastPoint; ++p) {
        const double d = sinAbs * at(YS, p) + (at(ZS, p) - ZW) * COSPHI;
        if (d > deep.d) deep = {p, d};
    }
    return deep;
}

// Step 3 for slot K.
void depthAndLateral(Kraeng& k, int K) {
    CaseState& cs = k.st;
    TrialHydrostatics& t = cs.trial;
    const TestPoint& p = cs.point;
    const Section& YS = at(cs.hull.YS, K);
    const Section& ZS = at(cs.hull.ZS, K);
    const double ZW = k.ZW(K), ZREF = at(cs.upright.ZREF, K);
    // The deepest point: the keel point when upright (ZS decreases from the keel up).
    DeepestPoint deep{0, ZREF - ZW};
    if (!k.heeled()) {
        at(t.KDW, K) = ZREF - ZW;
        if (K == 0 || at(t.KDW, K) > k.w.largestKeelDepth) k.w.largestKeelDepth = at(t.KDW, K);
        cs.balance.TLIFT = std::max(cs.upright.TMAX - ZW, k.w.largestKeelDepth);
    } else {
        deep = deepestPoint(YS, ZS, ZW, k.sinAbs(), p.COSPHI);
        at(t.KDW, K) = std::max(deep.d, (ZREF - ZW) * p.COSPHI);
        if (deep.d >= cs.balance.TLIFT) {
            cs.balance.TLIFT = deep.d;
            k.w.deepFound = true;
            k.w.xDeep = at(cs.hull.XST, K);
            k.w.yDeep = k.side() * at(YS, deep.k);
        }
    }

    const SectionWaterline& e = k.w.ends[static_cast<std::size_t>(K)];
    if (at(t.KDW, K) <= 0.0 || !k.heeled() || e.y2 <= 0.0 || p.APPON) {
        at(t.QLAT, K) = 0.0;
    } else {
        // The immersed section seen as a wedge from the keel point to the two waterline ends;
        // w is half its opening angle. The term changes sign with the side of the heel.
        const double a1 = rayAngle(ZREF - e.z2, e.y2, cs.run.PI);
        const double a2 = rayAngle(ZREF - e.z1, -e.y1, cs.run.PI);
        const double w = (cs.run.PI - a1 - a2) / 2.0;
        at(t.QLAT, K) = 9.0 * p.SINPHI * (e.y2 - e.y1) / (cs.run.PI * std::tan(w));
    }

    if (p.APPON && K == cs.upright.KSLOT) {
        // the hull section at the keel, for the keel's lifting line (heel frame)
        if (t.ISTA1 < K && K < t.ISTA2) {
            t.KRY2 = e.y2;
            t.KRY1 = e.y1;
            t.KRZ2 = e.z2;
            t.KRZ1 = e.z1;
            t.KRZK = at(ZS, 0);
            t.KRA = at(t.ASEC, K);
            t.KRYD = at(YS, deep.k);
            t.KRZD = at(ZS, deep.k);
        } else {
            t.KRY2 = t.KRY1 = t.KRZ2 = t.KRZ1 = t.KRZK = t.KRA = t.KRYD = t.KRZD = 0.0;
        }
    }
}

}  // namespace

// The hull's own crossings of the surface at slot K, deck or no deck: the keel wet, where the
// surface leaves the outline on the high side and on the low side (a side that lies wholly
// below the surface gives its top point, so a submerged section is centred); the keel dry,
// where the surface enters and leaves the low side (no exit: the top point).
SectionWaterline hullCrossings(const Kraeng& k, int K) {
    const CaseState& cs = k.st;
    const Station st{at(cs.hull.YS, K), at(cs.hull.ZS, K), at(cs.hull.SAREA, K), at(cs.upright.GIRTHP, K)};
    const double ZW = k.ZW(K), s = k.s();
    if (ZW < st.Z0()) {
        const Crossing high = leaving(st, ZW, s), low = leaving(st, ZW, -s);
        return {-high.y, high.z, low.y, low.z};
    }
    int I1 = 0, I2 = 0;
    double T1 = 0.0, T2 = 0.0;
    WLCUT2(ZW, s, st.YS, st.ZS, I1, T1, I2, T2);
    if (I1 == kNoCrossing) return {0.0, ZW, 0.0, ZW};
    const Crossing e = crossingAt(st, I1, T1);
    const Crossing x = I2 == kNoCrossing ? crossingAt(st, kLastPoint - 1, 1.0) : crossingAt(st, I2, T2);
    return {e.y, e.z, x.y, x.z};
}

void cutStations(Kraeng& k) {
    k.w.largestArea = 0.0;
    k.w.largestKeelDepth = 0.0;
    k.w.deepFound = false;
    for (int K = 0; K <= k.NSLOT; ++K) {
        cutStation(k, K);
        depthAndLateral(k, K);
    }
    TrialHydrostatics& t = k.st.trial;
    for (int K = k.NSLOT + 1; K <= kLastSlot; ++K) {
        at(t.BSEC, K) = at(t.GIRTH, K) = at(t.ASEC, K) = at(t.KDW, K) = at(t.QLAT, K) = 0.0;
        k.w.ends[static_cast<std::size_t>(K)] = SectionWaterline{};
    }
}

}  // namespace carinex::kraeng

namespace carinex {

SectionCut cutSection(const CaseState& cs, int K, double ZW, double BREFX) {
    using namespace kraeng;
    const Station st{at(cs.hull.YS, K), at(cs.hull.ZS, K), at(cs.hull.SAREA, K), at(cs.upright.GIRTHP, K)};
    const double s = std::fabs(cs.point.TANPHI), COSPHI = cs.point.COSPHI;
    const double yd = s != 0.0 ? (ZW - st.Zt()) / s : 100.0 * BREFX;
    SectionValues v;
    if (ZW < st.Z0()) {
        v = keelWet(st, ZW, s, yd, COSPHI);
    } else if (s != 0.0) {
        v = keelDryHeeled(st, ZW, s, yd, COSPHI);
    }
    return {v.BSEC, v.GIRTH, v.ASEC};
}

SectionCut cutSection(const CaseState& cs, int K, double ZW) { return cutSection(cs, K, ZW, cs.point.BREFX); }

}  // namespace carinex
