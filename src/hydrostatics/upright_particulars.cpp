// Upright particulars at rest (GEOPRO).
//
// The prepared hull floats on its design waterline ZS = 0 with x = 0 at the largest section.
// Per station the waterline breadth, the wetted girth and its depth moment come from the
// 151-point section polygon cut at ZS = 0; the immersed areas ASECT are those of the design
// waterline. Every longitudinal integral runs over the wetted run of stations, slots KAFT ..
// KFWD, with the two end stations moved to where the keel line meets the waterline (XAKEEL,
// XFKEEL): there the immersed section closes, so the end stations, dry on a hull whose ends
// rise out of the water, carry their value 0 at the true ends of the waterline. The integrals
// are Romberg integrals of the rational spline through these points.
#include "hydrostatics/upright_particulars.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <span>

#include "geometry/rational_spline.h"
#include "geometry/waterline_cut.h"
#include "hydrostatics/appendages_at_rest.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr int kTop = kSectionPoints - 1;  // point 150, the top of a section
constexpr int kNoAppendages = 100;
constexpr int kLastKeelSlot = 51;         // at most 52 stations: slot 52 is never occupied
constexpr double kExtremumTolerance = 1e-5;
constexpr double kAcceptedIntegralError = 1e-6;
constexpr int kBreadthFitAft = 3;         // the breadth fit spans KAMAX-3 ... KAMAX+6
constexpr int kBreadthFitForward = 6;
constexpr int kBreadthFitHint = 3;

// Element i of a per-slot array or of a section (both zero-based, as the slots and points are
// numbered).
template <class Array>
auto& at(Array& a, int i) {
    assert(i >= 0 && static_cast<std::size_t>(i) < a.size());
    return a[static_cast<std::size_t>(i)];
}

// A rational spline through at most one value per station slot. The table's points are
// numbered 1 ... N, as the curve routines number them; point j holds the slot first + j - 1.
struct SlotCurve {
    int N = 0;
    std::array<double, kStationSlots> X{}, Y{};
    std::array<double, 4 * kStationSlots> COEF{};
    std::array<double, kStationSlots> P{};

    std::span<const double> x() const { return {X.data(), points()}; }
    std::span<const double> y() const { return {Y.data(), points()}; }
    std::span<const double> coef() const { return {COEF.data(), 4 * intervals()}; }
    std::span<const double> p() const { return {P.data(), intervals()}; }
    // Abscissa j = 1 ... N.
    double& abscissa(int j) { return curve_index::OneBased<double>(std::span<double>(X.data(), points()))(j); }
    double abscissa(int j) const { return curve_index::OneBased<const double>(x())(j); }

    // Takes (x(K), y(K)) of slots first ... last.
    void take(const SlotArray& x, const SlotArray& y, int first, int last) {
        N = last - first + 1;
        for (int K = first; K <= last; ++K) {
            X[static_cast<std::size_t>(K - first)] = at(x, K);
            Y[static_cast<std::size_t>(K - first)] = at(y, K);
        }
    }
    int fitNatural() {
        int IERR = 0;
        RATSPL(N, x(), y(), COEF, P, IERR);
        return IERR;
    }
    // End moments equal to their neighbours' (E1 = E2 = -1).
    int fitEqualEndMoments() {
        int IERR = 0;
        RATSPE(N, -1.0, -1.0, x(), y(), COEF, P, IERR);
        return IERR;
    }
    // Value at xv; the interval search starts at interval `hint` (kept inside the table).
    double value(double xv, int hint) const {
        double s = 0.0, ds = 0.0, rad = 0.0;
        hint = std::clamp(hint, 1, std::max(N, 1));
        RATVAL(N, x(), coef(), p(), xv, s, ds, rad, hint);
        return s;
    }
    // The abscissa and value where the slope vanishes; IERR as RATEXT leaves it (from 0).
    int extremum(double EPS, double& XEXT, double& SEXT) const {
        int IERR = 0;
        RATEXT(N, x(), coef(), p(), XEXT, SEXT, kExtremumTolerance, EPS, IERR);
        return IERR;
    }

private:
    std::size_t points() const { return static_cast<std::size_t>(N); }
    std::size_t intervals() const { return static_cast<std::size_t>(std::max(N - 1, 1)); }
};

enum class Ends { natural, equalMoments };

// Integral from X(1) to X(N) of the spline through the points, with the end values FA and FB
// the Romberg sums start from. A failed fit stops GEOPRO with its code; an integral that misses
// its tolerance is accepted when its relative error is at most 1e-6 and stops GEOPRO otherwise.
int integral(SlotCurve& c, Ends ends, double FA, double FB, double& RES) {
    if (int e = (ends == Ends::natural) ? c.fitNatural() : c.fitEqualEndMoments()) return e;
    int IERR = 0;
    double ERR = 0.0;
    RATINT(c.abscissa(1), c.abscissa(c.N), FA, FB, RES, c.N, c.x(), c.coef(), c.p(), ERR, IERR);
    if (IERR != 0 && ERR <= kAcceptedIntegralError) IERR = 0;
    return IERR;
}

// The points of an integral along the design waterline: the stations of slots KAFT ... KFWD
// with the end stations at the waterline ends, and the values y(K).
SlotCurve alongWaterline(const PreparedHull& h, const SlotArray& y) {
    SlotCurve c;
    c.take(h.XST, y, h.KAFT, h.KFWD);
    c.abscissa(1) = h.XAKEEL;
    c.abscissa(c.N) = h.XFKEEL;
    return c;
}

// Half volume, waterline length and the keel depth of every station.
void lengthAndKeelDepths(CaseState& st) {
    UprightParticulars& u = st.upright;
    u.HVOL = st.input.VOLUME / 2.0;
    u.LWL = st.hull.XFKEEL - st.hull.XAKEEL;
    for (int K = 0; K <= kLastKeelSlot; ++K) at(u.ZREF, K) = at(at(st.hull.ZS, K), 0);
}

// A forward-most station without breadth is a vertical stem line; it is only noted.
void noteVerticalStem(const CaseState& st, RunFiles& io, int NSLOT) {
    const Section& YS = at(st.hull.YS, NSLOT);
    if (at(YS, kTop) + at(YS, 100) == 0.0) {
        writeFree(io.console, "Zero beam at first station, vertical stem assumed");
        writeEmptyLine(io.console);
    }
}

// The keel line, the draft at the largest section TC and the largest draft TMAX.
int keelLine(CaseState& st, RunFiles& io, int NSLOT, SlotCurve& keel) {
    UprightParticulars& u = st.upright;
    keel.take(st.hull.XST, u.ZREF, 0, NSLOT);
    if (int e = keel.fitNatural()) return e;
    u.TC = keel.value(0.0, NSLOT / 2);
    double XEXT = 0.0, SEXT = 0.0;
    const int failed = keel.extremum(st.run.EPS, XEXT, SEXT);
    // The search also counts as failed when it stops on an end station: that happens only where
    // the slope there is exactly zero, as on a keel line of constant depth, which has no deepest
    // point of its own.
    const bool interior = XEXT > keel.abscissa(1) && XEXT < keel.abscissa(keel.N);
    if (failed != 0 || !interior) {
        writeFree(io.console, "max. draft not found,", "Tmax = T at max. section assumed");
        u.TMAX = u.TC;
        u.XTMAX = 0.0;
    } else {
        u.TMAX = SEXT;
        u.XTMAX = XEXT;
    }
    return 0;
}

// Waterline breadths, the breadth at the largest section BWL and the largest BMAX.
int breadths(CaseState& st, RunFiles& io, int NSLOT) {
    const PreparedHull& h = st.hull;
    UprightParticulars& u = st.upright;
    for (int K = 0; K <= NSLOT; ++K) {
        const Section& YS = at(h.YS, K);
        int I = 0;
        double F = 0.0;
        WLCUT(0.0, 0.0, YS, at(h.ZS, K), I, F);
        at(u.BSECT, K) = 2.0 * (at(YS, I) + F * (at(YS, I + 1) - at(YS, I)));
    }
    // Ten stations around the largest section; where the hull ends sooner the fit takes the
    // stations there are. The hull preparation keeps the largest section at least three
    // stations from either end, so a shortened fit still has three stations on either side of
    // x = 0, enough for its value there and for a maximum nearby.
    const int first = std::max(h.KAMAX - kBreadthFitAft, 0);
    const int last = std::min(h.KAMAX + kBreadthFitForward, NSLOT);
    SlotCurve c;
    c.take(h.XST, u.BSECT, first, last);
    if (int e = c.fitNatural()) return e;
    u.BWL = c.value(0.0, kBreadthFitHint);
    double XEXT = 0.0, SEXT = 0.0;
    if (c.extremum(st.run.EPS, XEXT, SEXT) != 0) {
        if (st.run.DIAG) writeFree(io.console, "FEHLER KRAENG BMAX");
        u.BMAX = u.BWL;
    } else {
        u.BMAX = SEXT;
    }
    return 0;
}

// Centre of buoyancy, waterplane area, centre of flotation and the whole yacht's
// volume and centre of buoyancy.
int buoyancyAndFlotation(CaseState& st, double& XLCBT) {
    const PreparedHull& h = st.hull;
    UprightParticulars& u = st.upright;
    TestPoint& p = st.point;
    const double VOLUME = st.input.VOLUME;
    SlotArray XA{}, XB{};
    for (int K = h.KAFT; K <= h.KFWD; ++K) {
        at(XA, K) = at(h.ASECT, K) * at(h.XST, K);
        at(XB, K) = at(u.BSECT, K) * at(h.XST, K);
    }
    double MA = 0.0, MB = 0.0;
    SlotCurve moment = alongWaterline(h, XA);
    if (int e = integral(moment, Ends::equalMoments, at(XA, h.KAFT), at(XA, h.KFWD), MA)) return e;
    u.XLCB = MA / VOLUME;
    u.LCBFP = (h.XFKEEL - u.XLCB) / u.LWL;
    SlotCurve breadth = alongWaterline(h, u.BSECT);
    if (int e = integral(breadth, Ends::natural, at(u.BSECT, h.KAFT), at(u.BSECT, h.KFWD), u.AWP0)) return e;
    SlotCurve breadthMoment = alongWaterline(h, XB);
    if (int e = integral(breadthMoment, Ends::natural, at(XB, h.KAFT), at(XB, h.KFWD), MB)) return e;
    u.LCFFP = (h.XFKEEL - MB / u.AWP0) / u.LWL;
    p.VTOT = VOLUME + p.VKEEL + p.VRUDD;
    XLCBT = (u.XLCB * VOLUME + p.VKEEL * h.XK2 + p.VRUDD * h.XR2) / p.VTOT;
    return 0;
}

// Wetted girth of every station, both sides, and its depth moment. The depth moment of the
// partly wetted segment I is taken as F^2 times the whole segment's; it differs from that of
// the wetted part by at most 4/27 of the segment's length times its depth drop.
void wettedGirths(CaseState& st, int NSLOT) {
    const PreparedHull& h = st.hull;
    UprightParticulars& u = st.upright;
    for (int K = 0; K <= NSLOT; ++K) {
        int I = 0;
        double F = 0.0;
        WLCUT(0.0, 0.0, at(h.YS, K), at(h.ZS, K), I, F);
        const Section& G = at(u.GIRTHP, K);
        const Section& M = at(u.ZMOMP, K);
        at(u.GSECT, K) = 2.0 * (at(G, I) + F * (at(G, I + 1) - at(G, I)));
        at(u.GMSECT, K) = 2.0 * (at(M, I) + F * F * (at(M, I + 1) - at(M, I)));
    }
}

// Arc length from the bow along the curve of mean depth ASECT/GSECT over x. dA(K-1) is
// the change of mean depth from slot K-1 to K, taken as the change of area over the mean girth.
void meanDepthArc(CaseState& st, int NSLOT) {
    const PreparedHull& h = st.hull;
    UprightParticulars& u = st.upright;
    SlotArray dA{};
    at(u.SLMD, NSLOT) = 0.0;
    for (int K = NSLOT; K >= 1; --K) {
        const double dx = at(h.XST, K) - at(h.XST, K - 1);
        const double girths = at(u.GSECT, K) + at(u.GSECT, K - 1);
        // Two dry stations (no girth) have no mean depth to change.
        if (h.KAFT <= K - 1 && K - 1 < h.KFWD && girths != 0.0) {
            at(dA, K - 1) = 2.0 * (at(h.ASECT, K) - at(h.ASECT, K - 1)) / girths;
        }
        at(u.SLMD, K - 1) = at(u.SLMD, K) + std::sqrt(dx * dx + at(dA, K - 1) * at(dA, K - 1));
    }
    for (int K = 0; K <= NSLOT; ++K) at(u.SNEG, K) = -at(u.SLMD, K);
    // The end stations stand at the waterline ends.
    const double dAf = at(dA, h.KFWD - 1);
    const double dxf = h.XFKEEL - at(h.XST, h.KFWD - 1);
    at(u.SNEG, h.KFWD) = at(u.SNEG, h.KFWD - 1) + std::sqrt(dAf * dAf + dxf * dxf);
    const double dAa = at(dA, h.KAFT);
    const double dxa = h.XAKEEL - at(h.XST, h.KAFT + 1);
    at(u.SNEG, h.KAFT) = at(u.SNEG, h.KAFT + 1) - std::sqrt(dAa * dAa + dxa * dxa);
}

// Wetted surface over x and over the mean-depth arc, and the depth of its
// centroid.
int wettedSurface(CaseState& st, double& ZDRAG1) {
    const PreparedHull& h = st.hull;
    UprightParticulars& u = st.upright;
    SlotCurve girth = alongWaterline(h, u.GSECT);
    if (int e = integral(girth, Ends::natural, 0.0, 0.0, u.SWET0)) return e;
    SlotCurve alongArc;
    alongArc.take(u.SNEG, u.GSECT, h.KAFT, h.KFWD);
    if (int e = integral(alongArc, Ends::natural, 0.0, 0.0, u.SWETSL)) return e;
    SlotCurve moment = alongWaterline(h, u.GMSECT);
    double momentIntegral = 0.0;
    if (int e = integral(moment, Ends::natural, 0.0, 0.0, momentIntegral)) return e;
    ZDRAG1 = momentIntegral / u.SWET0;
    return 0;
}

// Form coefficients and the ratios of the regressions.
void ratios(CaseState& st) {
    const CaseInput& c = st.input;
    const TestPoint& p = st.point;
    UprightParticulars& u = st.upright;
    const double VOLUME = c.VOLUME;
    const double AMAX = st.hull.AMAX;
    u.RLB = u.LWL / u.BWL;
    u.CX0 = AMAX / (u.BWL * u.TC);
    u.CP0 = VOLUME / (AMAX * u.LWL);
    u.RVAW = std::pow(VOLUME, 2.0 / 3.0) / u.AWP0;
    u.RLV = u.LWL / std::pow(VOLUME, 1.0 / 3.0);
    u.RLCBF = u.LCBFP / u.LCFFP;
    u.RKM = 0.664 * u.TC + 0.111 * u.BWL * u.BWL / u.TC;
    u.RBT = u.BMAX / u.TMAX;
    u.LCBPC = -(u.LCBFP - 0.5) * 100.0;
    u.LCFPC = -(u.LCFFP - 0.5) * 100.0;
    if (c.KSTYPE == kNoAppendages) return;
    u.RVK = VOLUME / p.VKEEL;
    u.KTAPER = c.KCHORD(8) / c.KCHORD(1);
    u.RKT = (u.KZC + u.TMAX) / std::pow(p.VKEEL, 1.0 / 3.0);
    u.TTOT = u.TMAX + c.KDEPTH;
    u.RTT = u.TMAX / u.TTOT;
    u.RTS = u.TTOT * u.TTOT / u.SWET0;
    u.RCMEAN = (c.RCROOT + c.RCTIP) / 2.0;
    u.RTCMN = (c.RTCRT + c.RTCTP) / 2.0;
}

}  // namespace

void cumulativeGirths(CaseState& st, int NSLOT) {
    UprightParticulars& u = st.upright;
    for (int K = 0; K <= NSLOT; ++K) {
        const Section& YS = at(st.hull.YS, K);
        const Section& ZS = at(st.hull.ZS, K);
        Section& G = at(u.GIRTHP, K);
        Section& M = at(u.ZMOMP, K);
        G[0] = 0.0;
        M[0] = 0.0;
        for (int k = 1; k <= kTop; ++k) {
            const double dz = at(ZS, k) - at(ZS, k - 1);
            const double dy = at(YS, k) - at(YS, k - 1);
            const double dl = std::sqrt(dz * dz + dy * dy);
            at(G, k) = at(G, k - 1) + dl;
            at(M, k) = at(M, k - 1) + dl * (at(ZS, k - 1) + at(ZS, k)) / 2.0;
        }
    }
}

void GEOPRO(CaseState& st, RunFiles& io, int NSLOT, double& ZDRAG1, double& XLCBT, int& IERR) {
    IERR = 0;
    lengthAndKeelDepths(st);
    noteVerticalStem(st, io, NSLOT);
    SlotCurve keel;
    if ((IERR = keelLine(st, io, NSLOT, keel)) != 0) return;
    const KeelLine keelDepth{keel.N, keel.x(), keel.coef(), keel.p()};
    if ((IERR = appendagesAtRest(st, io, NSLOT, keelDepth)) != 0) return;
    if ((IERR = breadths(st, io, NSLOT)) != 0) return;
    if ((IERR = buoyancyAndFlotation(st, XLCBT)) != 0) return;
    cumulativeGirths(st, NSLOT);
    wettedGirths(st, NSLOT);
    meanDepthArc(st, NSLOT);
    if ((IERR = wettedSurface(st, ZDRAG1)) != 0) return;
    ratios(st);
}

}  // namespace carinex
