#include "geometry/hull_preparation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "geometry/brent_root.h"
#include "geometry/design_waterline.h"
#include "geometry/rational_spline.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr int kLocalFit = 8;          // points of the local fits at both ends of a section
constexpr int kLastPoint = kSectionPoints - 1;
constexpr int kVolumeDoublings = 5;
constexpr int kBrentIterations = 1000;
constexpr double kVolumeTolerance = 1e-11;
constexpr double kDraftChangeNoted = 0.10;  // relative draft change the user is told of

// A rational spline fitted through n values, kept for evaluation.
struct Curve {
    int n = 0;
    std::vector<double> x, coef, p;

    int fit(const double* xs, const double* ys, int count) {
        n = count;
        x.assign(xs, xs + count);
        coef.assign(static_cast<std::size_t>(4 * std::max(count - 1, 1)), 0.0);
        p.assign(static_cast<std::size_t>(std::max(count - 1, 1)), 0.0);
        int ierr = 0;
        RATSPL(n, x, std::span<const double>(ys, static_cast<std::size_t>(count)), coef, p, ierr);
        return ierr;
    }
    double value(double at, int& hint) const {
        double s = 0, ds = 0, rad = 0;
        RATVAL(n, x, coef, p, at, s, ds, rad, hint);
        return s;
    }
    double slope(double at, int& hint) const {
        double s = 0, ds = 0, rad = 0;
        RATVAL(n, x, coef, p, at, s, ds, rad, hint);
        return ds;
    }
};

// Points j..j+n-1 of station i of one raw array, as a contiguous run.
const double* run(const OneBased2D<double, kMaxRawPoints, kMaxRawStations>& a, int j, int i) { return &a(j, i); }

// Reports a failed fit (DIAG only) and passes its code on.
int fitFailed(CaseState& st, RunFiles& io, int ierr) {
    if (st.run.DIAG) writeFree(io.console, "!! FEHLER HULL1 !!");
    return ierr;
}

// Puts the first point of station j on the centre plane, extrapolating the
// section's start down along its girth.
int keelPointOnCentrePlane(CaseState& st, RunFiles& io, int j) {
    RawOffsets& r = st.raw;
    if (r.RDIST(1, j) == 0.0) return 0;
    Curve c;
    if (int e = c.fit(run(r.RDIST, 1, j), run(r.ZOFF, 1, j), kLocalFit)) return fitFailed(st, io, e);
    int hint = 1;
    const double dzdr = c.slope(r.RDIST(1, j), hint);
    const double z0 = r.ZOFF(1, j) - r.RDIST(1, j) * dzdr;
    if (r.ZOFF(2, j) > z0) {
        r.ZOFF(1, j) = z0;
    } else {
        // along the first segment instead; a vertical one never reaches the
        // centre plane, and the point keeps its height
        const double dy = r.YOFF(2, j) - r.YOFF(1, j);
        if (dy != 0.0) r.ZOFF(1, j) -= (r.ZOFF(2, j) - r.ZOFF(1, j)) / dy * r.YOFF(1, j);
    }
    r.YOFF(1, j) = 0.0;
    r.RDIST(1, j) = 0.0;
    return 0;
}

// Extends a section whose top lies below the common height along the tangent
// of its last points; sets `extended`.
int topToCommonHeight(CaseState& st, RunFiles& io, int j, double ZOFMAX, bool& extended) {
    RawOffsets& r = st.raw;
    const int n = r.NP(j);
    extended = false;
    if (!(ZOFMAX > r.ZOFF(n, j))) return 0;
    const int first = n - kLocalFit + 1;
    Curve cy, cz;
    if (int e = cy.fit(run(r.RDIST, first, j), run(r.YOFF, first, j), kLocalFit)) return fitFailed(st, io, e);
    if (int e = cz.fit(run(r.RDIST, first, j), run(r.ZOFF, first, j), kLocalFit)) return fitFailed(st, io, e);
    int hint = 1;
    const double dydr = cy.slope(r.RDIST(n, j), hint);
    hint = 1;
    const double dzdr = cz.slope(r.RDIST(n, j), hint);
    // A top running level has no tangent towards the common height: rise
    // vertically. A half-breadth is never negative.
    const double dy = (dzdr != 0.0) ? (ZOFMAX - r.ZOFF(n, j)) * dydr / dzdr : 0.0;
    const int top = (n < kSectionPoints) ? n + 1 : n;
    const double y = std::max(r.YOFF(n, j) + dy, 0.0);
    r.ZOFF(top, j) = ZOFMAX;
    r.YOFF(top, j) = y;
    r.RDIST(top, j) = std::sqrt((ZOFMAX - r.ZOFF(1, j)) * (ZOFMAX - r.ZOFF(1, j)) + y * y);
    if (top > n) {
        r.NP(j) = top;
        r.NPMAX = std::max(r.NPMAX, top);
    }
    extended = true;
    return 0;
}

// 151 points evenly spaced along the girth of station j into slot K.
int resample(CaseState& st, RunFiles& io, int j, int K) {
    RawOffsets& r = st.raw;
    const int n = r.NP(j);
    std::vector<double> s(static_cast<std::size_t>(n), 0.0);
    for (int i = 1; i < n; ++i) {
        const double dz = r.ZOFF(i + 1, j) - r.ZOFF(i, j);
        const double dy = r.YOFF(i + 1, j) - r.YOFF(i, j);
        s[static_cast<std::size_t>(i)] = s[static_cast<std::size_t>(i - 1)] + std::sqrt(dz * dz + dy * dy);
    }
    const double h = s.back() / kLastPoint;
    Curve cy, cz;
    if (int e = cy.fit(s.data(), run(r.YOFF, 1, j), n)) return fitFailed(st, io, e);
    if (int e = cz.fit(s.data(), run(r.ZOFF, 1, j), n)) return fitFailed(st, io, e);
    Section& YS = st.hull.YS[static_cast<std::size_t>(K)];
    Section& ZS = st.hull.ZS[static_cast<std::size_t>(K)];
    YS[0] = r.YOFF(1, j);
    ZS[0] = -r.ZOFF(1, j);
    double sk = 0.0;
    int hint = 1;
    for (int k = 1; k < kLastPoint; ++k) {
        sk += h;
        YS[static_cast<std::size_t>(k)] = cy.value(sk, hint);
        ZS[static_cast<std::size_t>(k)] = -cz.value(sk, hint);
    }
    YS[kLastPoint] = r.YOFF(n, j);
    ZS[kLastPoint] = -r.ZOFF(n, j);
    // The two points below the top again, from fits through the last points only.
    const int first = n - kLocalFit + 1;
    Curve ty, tz;
    if (int e = ty.fit(&s[static_cast<std::size_t>(first - 1)], run(r.YOFF, first, j), kLocalFit)) return fitFailed(st, io, e);
    if (int e = tz.fit(&s[static_cast<std::size_t>(first - 1)], run(r.ZOFF, first, j), kLocalFit)) return fitFailed(st, io, e);
    for (int k : {kLastPoint - 1, kLastPoint - 2}) {
        const double at = (k == kLastPoint - 1) ? sk : sk - h;
        int hint7 = 7;
        YS[static_cast<std::size_t>(k)] = ty.value(at, hint7);
        ZS[static_cast<std::size_t>(k)] = -tz.value(at, hint7);
    }
    return 0;
}

void copyPoints(CaseState& st, int j, int K) {
    for (int k = 0; k <= kLastPoint; ++k) {
        st.hull.YS[static_cast<std::size_t>(K)][static_cast<std::size_t>(k)] = st.raw.YOFF(k + 1, j);
        st.hull.ZS[static_cast<std::size_t>(K)][static_cast<std::size_t>(k)] = -st.raw.ZOFF(k + 1, j);
    }
}

int prepareStations(CaseState& st, RunFiles& io, double ZOFMAX) {
    RawOffsets& r = st.raw;
    for (int j = 1; j <= r.NST; ++j) {
        const int K = j - 1;
        if (int e = keelPointOnCentrePlane(st, io, j)) return e;
        bool extended = false;
        if (int e = topToCommonHeight(st, io, j, ZOFMAX, extended)) return e;
        if (extended || r.NP(j) != kSectionPoints) {
            if (int e = resample(st, io, j, K)) return e;
        } else {
            copyPoints(st, j, K);
        }
        st.hull.XST[static_cast<std::size_t>(K)] = r.XOFF(j);
    }
    return 0;
}

void scaleStations(CaseState& st) {
    const double scale = st.input.SCALE;
    const double step = 100.0 * st.run.EPS;
    for (int K = 0; K < st.raw.NST; ++K) {
        const auto k = static_cast<std::size_t>(K);
        st.hull.XST[k] *= scale;
        Section& YS = st.hull.YS[k];
        Section& ZS = st.hull.ZS[k];
        for (int i = 0; i <= kLastPoint; ++i) {
            YS[static_cast<std::size_t>(i)] *= scale;
            ZS[static_cast<std::size_t>(i)] *= scale;
        }
        // heights strictly decreasing from the keel to the top
        for (std::size_t i = 1; i <= kLastPoint; ++i) {
            if (ZS[i] >= ZS[i - 1]) ZS[i] = ZS[i - 1] - step;
        }
    }
}

void fillEmptySlots(CaseState& st, double ZOFMAX) {
    for (int K = st.raw.NST; K < kStationSlots; ++K) {
        const auto k = static_cast<std::size_t>(K);
        st.hull.XST[k] = 0.0;
        st.hull.YS[k].fill(0.0);
        st.hull.ZS[k].fill(-ZOFMAX * st.input.SCALE);
    }
    st.input.XKEEL *= st.input.SCALE;
    st.input.XRUDD *= st.input.SCALE;
    st.input.XLOAD *= st.input.SCALE;
}

void writeControlListing(CaseState& st, RunFiles& io) {
    std::ostream& out = io.control();
    writeFree(out, "Offsets geglättet, 75 von 150 Punkten");
    for (int K = 0; K < st.raw.NST; ++K) {
        const auto k = static_cast<std::size_t>(K);
        out << FormattedRecord().A("I=", 2).I(K, 6).A("X=", 3).F(st.hull.XST[k], 13, 5).str() << '\n';
        for (std::size_t i = 0; i <= kLastPoint; i += 2) {
            out << FormattedRecord().F(st.hull.YS[k][i], 12, 5).F(st.hull.ZS[k][i], 12, 5).str() << '\n';
        }
    }
}

void sectionAreas(CaseState& st) {
    for (int K = 0; K < st.raw.NST; ++K) {
        const auto k = static_cast<std::size_t>(K);
        const Section& YS = st.hull.YS[k];
        const Section& ZS = st.hull.ZS[k];
        Section& A = st.hull.SAREA[k];
        A[0] = 0.0;
        for (std::size_t i = 0; i < kLastPoint; ++i) A[i + 1] = A[i] + 0.5 * (YS[i] + YS[i + 1]) * (ZS[i] - ZS[i + 1]);
    }
}

// The waterline depth T0 at which the upright volume equals VOLUME.
int matchVolume(CaseState& st, RunFiles& io, double& T0) {
    const int NSLOT = st.raw.NST - 1;
    const bool diag = st.run.DIAG;
    int ierr = 0;
    auto excess = [&](double T) { return VDWL(st, NSLOT, T, ierr, diag, io.console) - st.input.VOLUME; };
    const auto M = static_cast<std::size_t>(NSLOT / 2);
    const double H = std::fabs(st.hull.ZS[M][0] - st.hull.ZS[M][100]);
    double lo = -0.2 * H, hi = 0.2 * H;
    double flo = 0.0, fhi = 0.0;
    for (int doubling = 0;; ++doubling) {
        flo = excess(lo);
        if (ierr != 0) return ierr;
        fhi = excess(hi);
        if (ierr != 0) return ierr;
        if (flo * fhi <= 0.0) break;
        if (doubling == kVolumeDoublings) return 2;
        if (std::fabs(fhi) > std::fabs(flo)) lo *= 2.0;
        else hi *= 2.0;
    }
    // a failed volume evaluation ends the match at once
    const BrentResult root =
        brentRoot(excess, lo, hi, flo, fhi, kVolumeTolerance, st.run.EPS, kBrentIterations, [&] { return ierr != 0; });
    if (root.abandoned) return ierr;
    if (!root.converged) return 3;
    T0 = root.x;
    excess(T0);  // the waterline quantities of the final waterline
    return ierr;
}

// A volume match that moves the waterline far from the offsets' own (the
// height datum) is most often a mistyped VOLUME or SCALE: tell the user by
// how much the canoe-body draft changed. T0 is the matched waterline depth
// below the datum, the sections still in datum heights.
void noteDraftChange(const CaseState& st, RunFiles& io, double T0) {
    double given = 0.0;  // deepest keel point below the datum
    for (int K = 0; K < st.raw.NST; ++K) given = std::max(given, st.hull.ZS[static_cast<std::size_t>(K)][0]);
    if (!(given > 0.0)) return;
    const double matched = given - T0;
    const double change = (matched - given) / given;
    if (!(std::fabs(change) > kDraftChangeNoted)) return;
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "note: the prescribed VOLUME changes the canoe-body draft by %+.1f %% (%.3f m instead of %.3f m"
                  " at the offsets' waterline); check VOLUME and SCALE",
                  100.0 * change, matched, given);
    writeFree(io.console, buf);
}

// Position XMS and area AMAX of the largest section, from a spline through
// the seven sections around the largest one.
int largestSection(CaseState& st, RunFiles& io, double& XMS) {
    PreparedHull& h = st.hull;
    const int first = h.KAMAX - 3;
    if (first < 0 || h.KAMAX + 3 > st.raw.NST - 1) {
        writeFree(io.console, "the largest section lies within 3 stations of an end of the hull");
        return kHullTooSmall;
    }
    Curve c;
    if (int e = c.fit(&h.XST[static_cast<std::size_t>(first)], &h.ASECT[static_cast<std::size_t>(first)], 7)) {
        return fitFailed(st, io, e);
    }
    int ierr = 0;
    RATEXT3(c.n, c.x, c.coef, c.p, XMS, h.AMAX, 1e-5, st.run.EPS, ierr);
    if (ierr != 0) return fitFailed(st, io, ierr);
    return 0;
}

void finalAxes(CaseState& st, double T0, double XMS) {
    PreparedHull& h = st.hull;
    CaseInput& c = st.input;
    for (int K = 0; K < kStationSlots; ++K) {
        const auto k = static_cast<std::size_t>(K);
        h.XST[k] = (K < st.raw.NST) ? h.XST[k] - XMS : 0.0;
        for (double& z : h.ZS[k]) z -= T0;
    }
    if (c.KSTYPE != 100) {
        const double spanNew = c.RSPAN - T0;
        // the rudder loses the span above the new waterline; a rudder without
        // span keeps its chords
        if (c.RSPAN != 0.0) {
            c.RCROOT = c.RCTIP + (c.RCROOT - c.RCTIP) * spanNew / c.RSPAN;
            c.RTCRT = c.RTCTP + (c.RTCRT - c.RTCTP) * spanNew / c.RSPAN;
        }
        c.RSPAN = spanNew;
        h.XK0 = c.XKEEL - XMS;
        h.XK1 = h.XK0 - c.KCHORD(1);
        h.XK2 = h.XK0 - c.KDX;
        h.XR0 = c.XRUDD - XMS;
        h.XR1 = h.XR0 - c.RCROOT;
        h.XR2 = h.XR0 - c.RDX;
    }
    h.XFKEEL -= XMS;
    h.XAKEEL -= XMS;
    c.XLOAD -= XMS;
    c.XLEVER = h.XFKEEL - c.XLEVER;
}

// The local fits need 8 points per section and the keel-line tables 7 stations.
bool largeEnough(CaseState& st, RunFiles& io) {
    const RawOffsets& r = st.raw;
    if (r.NST > kMaxStations) {
        writeFree(io.console, r.NST, "too many stations, Max = 52");
        return false;
    }
    if (r.NST < 7) {
        writeFree(io.console, "at least 7 stations are needed, the offsets hold", r.NST);
        return false;
    }
    for (int j = 1; j <= r.NST; ++j) {
        if (r.NP(j) < kLocalFit) {
            writeFree(io.console, "section", j, " has", r.NP(j), " points, at least 8 are needed");
            return false;
        }
    }
    return true;
}

}  // namespace

void HULL1(CaseState& st, RunFiles& io, int& IERR) {
    IERR = 0;
    if (!largeEnough(st, io)) {
        IERR = kHullTooSmall;
        return;
    }
    const double ZOFMAX = st.raw.ZOFMAX;
    RawOffsets& r = st.raw;
    for (int j = 1; j <= r.NST; ++j)
        for (int i = 1; i <= r.NP(j); ++i) r.ZOFF(i, j) -= st.input.XORIG;
    if ((IERR = prepareStations(st, io, ZOFMAX)) != 0) return;
    scaleStations(st);
    fillEmptySlots(st, ZOFMAX);
    if (st.run.DIAG) writeControlListing(st, io);
    sectionAreas(st);
    double T0 = 0.0;
    if ((IERR = matchVolume(st, io, T0)) != 0) {
        writeFree(io.console, "unable to match the prescribed VOLUME");
        writeFree(io.console, "check SCALE for consistency");
        return;
    }
    noteDraftChange(st, io, T0);
    double XMS = 0.0;
    if ((IERR = largestSection(st, io, XMS)) != 0) return;
    finalAxes(st, T0, XMS);
}

}  // namespace carinex
