// The effective volume: waterplane areas of 40 levels below the trial
// waterline, weighted with the decay of a surface wave and integrated over
// the depth.
//
// At each level the run of wet stations is bounded by the dry slots at bow
// and stern. Its ends are found by extrapolating x over the breadths (upright
// at the bow: over the keel depths below the level) of the five stations
// nearest the end to zero, and the level's waterplane is the integral of a
// spline through the breadths and the two ends.
#include "flow/effective_volume.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <span>

#include "flow/level_cut.h"
#include "geometry/rational_spline.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr int kLevels = 40;               // levels 0 .. 39 and the bottom node 40
constexpr int kEndPoints = 5;             // stations of an end's extrapolation
constexpr double kTolerableError = 1e-6;  // accepted error estimate of a failed integral
constexpr double kTinyEnd = 0.0005;       // end interval dropped outright, in LWL
constexpr double kShortEnd = 0.003;       // end interval dropped where the breadths kink, in LWL
// Up to this decay per level step (GV*dz, a fifth of an e-folding) the spline
// through the weighted areas follows the exponential to a few 1e-4; beyond it
// the spline overshoots (2 % at one e-folding per step) and, as the speed goes
// to zero, tends to a fixed multiple of AWP(0)*dz instead of AWP(0)/GV. There
// the product of the exponential with the polygon of the areas is integrated
// in closed form.
constexpr double kResolvedDecay = 0.2;

double slotValue(const SlotArray& a, int K) {
    assert(K >= 0 && K < kStationSlots);
    return a[static_cast<std::size_t>(K)];
}

// exp(-GV*z), exactly 1 at the surface even at rest (GV infinite).
double decay(double GV, double z) { return z == 0.0 ? 1.0 : std::exp(-GV * z); }

// A table of points and its rational spline, fixed capacity.
struct Table {
    static constexpr int kCapacity = kStationSlots + 1;
    int n = 0;
    std::array<double, kCapacity> X{}, Y{};
    std::array<double, 4 * (kCapacity - 1)> COEF{};
    std::array<double, kCapacity - 1> P{};

    void add(double x, double y) {
        assert(n < kCapacity);
        X[static_cast<std::size_t>(n)] = x;
        Y[static_cast<std::size_t>(n)] = y;
        ++n;
    }
    std::size_t size() const { return static_cast<std::size_t>(n); }
    std::span<const double> xs() const { return {X.data(), size()}; }
    std::span<const double> ys() const { return {Y.data(), size()}; }
    std::span<double> coef() { return {COEF.data(), 4 * (size() - 1)}; }
    std::span<double> p() { return {P.data(), size() - 1}; }
    double x(int j) const { return X[static_cast<std::size_t>(j - 1)]; }
    double y(int j) const { return Y[static_cast<std::size_t>(j - 1)]; }
};

// The breadths of one level and the run they bound.
struct LevelRun {
    SlotArray b{};         // breadth per slot (0: dry)
    int IA = 0, IF = 0;    // dry slots at stern and bow bounding the run (IF may be NSLOT + 1)
    int wet = 0;           // wet slots between them
    bool transom = false;  // slot 0 wet: the run starts on the aft-end section
    std::array<bool, kStationSlots> dropped{};
    double xA = 0.0, xF = 0.0;
};

// A heeled level above a section's keel crosses the section only where some
// point lies below the line ZS = Z0 - s*YS, i.e. where ZS + s*YS > Z0. The
// largest ZS + s*YS of the section's points (and the size of the terms, for
// the rounding of that test) is a property of the section and the heel, the
// same at every level: with it a level clearly above the whole section is known
// dry without scanning its 151 points. A section with a point off the low
// side (YS < 0) or a non-finite coordinate is never taken as clear.
struct SectionReach {
    double reach = INFINITY;  // largest ZS + s*YS over the points scanned for a crossing
    double size = 0.0;        // largest |ZS| + s*|YS|
};
using ReachArray = std::array<SectionReach, kStationSlots>;

SectionReach sectionReach(const CaseState& st, int K, double s) {
    const Section& YS = st.hull.YS[static_cast<std::size_t>(K)];
    const Section& ZS = st.hull.ZS[static_cast<std::size_t>(K)];
    SectionReach r{-INFINITY, 0.0};
    for (std::size_t i = 1; i < static_cast<std::size_t>(kSectionPoints); ++i) {
        if (!(YS[i] >= 0.0) || !std::isfinite(YS[i]) || !std::isfinite(ZS[i])) return SectionReach{};
        r.reach = std::max(r.reach, ZS[i] + s * YS[i]);
        r.size = std::max(r.size, std::fabs(ZS[i]) + s * YS[i]);
    }
    return r;
}

// The level at Z0 lies above the keel and, by a margin far beyond the rounding
// of the crossing test, above every point of the section: nothing is cut.
bool clearlyAbove(const CaseState& st, int K, double Z0, const SectionReach& r) {
    if (st.point.TANPHI == 0.0 || !(Z0 >= st.hull.ZS[static_cast<std::size_t>(K)][0])) return false;
    return Z0 - r.reach > 1e-9 * (1.0 + std::fabs(Z0) + r.size);
}

struct Level {
    const CaseState& st;
    int NSLOT;
    int k;     // level number
    double Z;  // depth below the trial waterline
    const ReachArray& reach;

    double x(int K) const {
        // one station spacing beyond the last slot, for a run wet to the bow
        if (K <= NSLOT) return slotValue(st.hull.XST, K);
        const int last = std::clamp(NSLOT, 1, kStationSlots - 1);
        return 2.0 * slotValue(st.hull.XST, last) - slotValue(st.hull.XST, last - 1);
    }
    // Keel depth of slot K below the (upright) level.
    double keelDepth(int K) const {
        const TestPoint& p = st.point;
        return slotValue(st.upright.ZREF, K) - p.SINKG + p.TRIMW * x(K) - Z;
    }
};

// Step 2: the breadths from the bow aft to ISTA1 and the dry slots that bound the run.
void levelBreadths(const Level& L, LevelRun& r) {
    const CaseState& st = L.st;
    const TestPoint& p = st.point;
    const int ISTA1 = st.trial.ISTA1, KF = std::min(L.NSLOT, st.trial.ISTA2);
    for (int K = KF; K >= ISTA1; --K) {
        const double Z0 = p.SINKG + L.Z - p.TRIMW * L.x(K) / p.COSPHI;
        if (clearlyAbove(st, K, Z0, L.reach[static_cast<std::size_t>(K)])) continue;  // dry: b stays 0
        r.b[static_cast<std::size_t>(K)] = breadthOf(cutAtLevel(st, K, Z0), p.COSPHI);
    }
    // a slot aft of the trial waterline stays dry at every level below it (the
    // waterline's own end rule may have dried a sliver of it)
    if (ISTA1 > 0) r.b[static_cast<std::size_t>(ISTA1)] = 0.0;
    auto wet = [&](int K) { return r.b[static_cast<std::size_t>(K)] > 0.0; };
    int top = KF;
    while (top >= ISTA1 && !wet(top)) --top;
    if (top < ISTA1) return;
    int first = ISTA1;
    while (!wet(first)) ++first;
    r.IF = top + 1;
    r.IA = first - 1;
    r.transom = first == 0;
    for (int K = first; K <= top; ++K) r.wet += wet(K) ? 1 : 0;
}

// x where the extrapolation of x over the measure h of the five table points
// reaches h = 0, kept within [lo, hi]; a failed fit takes the dry slot's
// position, or the linear zero when the measures change sign.
double endOfRun(Table& t, double lo, double hi, double drySlot) {
    int ierr = 0;
    RATSPE(kEndPoints, -1.0, -1.0, t.xs(), t.ys(), t.coef(), t.p(), ierr);
    if (ierr == 0) {
        double S = 0.0, DS = 0.0, RAD = 0.0;
        int hint = 3;
        RATVAL(kEndPoints, t.xs(), t.coef(), t.p(), 0.0, S, DS, RAD, hint);
        return std::clamp(S, lo, hi);
    }
    if (t.x(1) * t.x(kEndPoints) >= 0.0) return drySlot;
    return std::clamp(lineThrough(t.x(1), t.y(1), t.x(2), t.y(2), 0.0), lo, hi);
}

// Step 3 at the bow: the measure grows aft from the dry slot.
double forwardEnd(const Level& L, const LevelRun& r) {
    const double lo = L.x(r.IF - 1), hi = L.x(r.IF);
    if (r.wet < kEndPoints) return 0.5 * (lo + hi);
    const bool upright = L.st.point.TANPHI == 0.0;
    Table t;
    for (int j = 1; j <= kEndPoints; ++j) {
        const int K = r.IF - j;
        t.add(upright ? L.keelDepth(K) : r.b[static_cast<std::size_t>(K)], L.x(K));
    }
    return endOfRun(t, lo, hi, hi);
}

// Step 3 at the stern: an immersed aft-end section starts the run on itself.
double aftEnd(const Level& L, const LevelRun& r) {
    if (r.transom) return L.x(0);
    const double lo = L.x(r.IA), hi = L.x(r.IA + 1);
    if (r.wet < kEndPoints) return 0.5 * (lo + hi);
    Table t;
    for (int j = 1; j <= kEndPoints; ++j) t.add(r.b[static_cast<std::size_t>(r.IA + j)], L.x(r.IA + j));
    return endOfRun(t, lo, hi, lo);
}

double slope(double x1, double b1, double x2, double b2) { return (b2 - b1) / (x2 - x1); }

// An end interval too short for the spline, or short where the breadth
// curve turns its bending at the end, drops the end slot.
bool dropsEnd(double interval, double LWL, double bendAtEnd, double bendBefore) {
    if (interval < kTinyEnd * LWL) return true;
    return interval < kShortEnd * LWL && bendAtEnd * bendBefore < 0.0;
}

void dropShortEnds(const Level& L, LevelRun& r) {
    if (r.wet < kEndPoints) return;
    const double LWL = L.st.upright.LWL;
    auto b = [&](int K) { return r.b[static_cast<std::size_t>(K)]; };
    {
        const int K1 = r.IF - 1, K2 = r.IF - 2, K3 = r.IF - 3;
        const double interval = r.xF - L.x(K1);
        if (interval < kShortEnd * LWL) {
            const double sEnd = interval > 0.0 ? slope(L.x(K1), b(K1), r.xF, 0.0) : 0.0;
            const double s1 = slope(L.x(K2), b(K2), L.x(K1), b(K1)), s0 = slope(L.x(K3), b(K3), L.x(K2), b(K2));
            if (dropsEnd(interval, LWL, sEnd - s1, s1 - s0)) r.dropped[static_cast<std::size_t>(K1)] = true;
        }
    }
    if (r.transom) return;
    const int K1 = r.IA + 1, K2 = r.IA + 2, K3 = r.IA + 3;
    const double interval = L.x(K1) - r.xA;
    if (interval < kShortEnd * LWL) {
        const double sEnd = interval > 0.0 ? slope(r.xA, 0.0, L.x(K1), b(K1)) : 0.0;
        const double s1 = slope(L.x(K1), b(K1), L.x(K2), b(K2)), s2 = slope(L.x(K2), b(K2), L.x(K3), b(K3));
        if (dropsEnd(interval, LWL, s1 - sEnd, s2 - s1)) r.dropped[static_cast<std::size_t>(K1)] = true;
    }
}

void writeNodes(RunFiles& io, int k, int ierr, const Table& t, const LevelRun& r, const TrialHydrostatics& tr) {
    FreeRecord rec;
    rec.text("FEHLER XINT in VOLEFF").integer(k).integer(ierr).integer(t.n).integer(r.IA).integer(r.IF);
    rec.integer(tr.ISTA2).integer(tr.ISTA1);
    for (int j = 1; j <= t.n; ++j) rec.real(t.x(j));
    io.console << rec.str() << '\n';
}

// Steps 2 and 3 for one level: the table of breadths over the wet run and its two ends.
// False when fewer than two slots are wet: the level has no waterplane.
bool levelTable(const Level& L, LevelRun& r, Table& t) {
    levelBreadths(L, r);
    if (r.wet < 2) return false;
    r.xF = forwardEnd(L, r);
    r.xA = aftEnd(L, r);
    dropShortEnds(L, r);
    if (!r.transom) t.add(r.xA, 0.0);
    for (int K = r.IA + 1; K < r.IF; ++K)
        if (!r.dropped[static_cast<std::size_t>(K)]) t.add(L.x(K), r.b[static_cast<std::size_t>(K)]);
    t.add(r.xF, 0.0);
    return true;
}

// Step 4 for one level whose table is fitted (with the fit's error code ierr): its
// waterplane area AWP. Returns the error code.
int levelArea(const Level& L, RunFiles& io, const LevelRun& r, Table& t, int ierr, double& AWP) {
    const bool diag = L.st.run.DIAG;
    if (ierr != 0) {
        if (diag) writeNodes(io, L.k, ierr, t, r, L.st.trial);
        return ierr;
    }
    double ERR = 0.0;
    RATINT(r.xA, r.xF, t.y(1), 0.0, AWP, t.n, t.xs(), t.coef(), t.p(), ERR, ierr);
    if (ierr != 0) {
        if (diag) writeFree(io.console, "FEHLER AWP in VOLEFF", ERR);
        if (ERR > kTolerableError) return ierr;
    }
    return 0;
}

// A level being worked: its run, its table and the table's fit.
struct LevelWork {
    LevelRun run;
    Table table;
    bool wet = false;
    int ierr = 0;
    SplineFit fit() { return {table.n, table.xs(), table.ys(), table.coef(), table.p(), ierr}; }
};

// The waterplane areas of levels k and k + 1 (k + 1 < kLevels when `pair`). Their tables are
// independent, so their fits run side by side; the areas and any message follow in level
// order, and an error of level k ends the work before level k + 1 is reported. Returns the
// error code.
int twoLevelAreas(const CaseState& st, RunFiles& io, int NSLOT, const ReachArray& reach, double dz, int k,
                  bool pair, std::array<double, kLevels + 1>& Z, std::array<double, kLevels + 1>& AWP) {
    std::array<LevelWork, 2> w;
    const int count = pair ? 2 : 1;
    for (int m = 0; m < count; ++m) {
        const auto i = static_cast<std::size_t>(k + m);
        Z[i] = (k + m) * dz;
        AWP[i] = 0.0;
        w[m].wet = levelTable(Level{st, NSLOT, k + m, Z[i], reach}, w[m].run, w[m].table);
    }
    if (w[0].wet && count == 2 && w[1].wet) {
        RATSPL_PAIR(w[0].fit(), w[1].fit());
    } else {
        for (int m = 0; m < count; ++m)
            if (w[m].wet) RATSPL(w[m].table.n, w[m].table.xs(), w[m].table.ys(), w[m].table.coef(), w[m].table.p(), w[m].ierr);
    }
    for (int m = 0; m < count; ++m) {
        if (!w[m].wet) continue;
        const auto i = static_cast<std::size_t>(k + m);
        const int IERR = levelArea(Level{st, NSLOT, k + m, Z[i], reach}, io, w[m].run, w[m].table, w[m].ierr, AWP[i]);
        if (IERR != 0) return IERR;
    }
    return 0;
}

using LevelArray = std::array<double, kLevels + 1>;

// The integral of exp(-GV*z) times the polygon through (Z(k), AWP(k)), in
// closed form interval by interval.
double decayingIntegral(const LevelArray& Z, const LevelArray& AWP, double GV) {
    if (!std::isfinite(GV)) return 0.0;  // at rest: nothing below the surface counts
    double sum = 0.0;
    for (std::size_t k = 0; k < kLevels; ++k) {
        const double h = Z[k + 1] - Z[k], a = AWP[k], b = AWP[k + 1];
        const double Gh = GV * h, E = std::exp(-Gh);
        sum += decay(GV, Z[k]) * (a * -std::expm1(-Gh) / GV + (b - a) * (1.0 - E * (1.0 + Gh)) / (GV * Gh));
    }
    return sum;
}

// Step 5: VOLFNZ from the weighted areas. Returns the error code.
int effectiveVolume(CaseState& st, RunFiles& io, const LevelArray& Z, const LevelArray& AWP, double GV) {
    const double COSPHI = st.point.COSPHI;
    if (GV * Z[1] > kResolvedDecay) {
        st.trial.VOLFNZ = decayingIntegral(Z, AWP, GV) * COSPHI;
        return 0;
    }
    Table t;
    for (std::size_t k = 0; k <= kLevels; ++k) t.add(Z[k], decay(GV, Z[k]) * AWP[k]);
    const bool diag = st.run.DIAG;
    int ierr = 0;
    RATSPL(t.n, t.xs(), t.ys(), t.coef(), t.p(), ierr);
    if (ierr != 0) {
        if (diag) writeFree(io.console, "FEHLER AWPEFF in VOLEFF");
        return ierr;
    }
    double RES = 0.0, ERR = 0.0;
    RATINT(0.0, Z[kLevels], t.y(1), t.y(t.n), RES, t.n, t.xs(), t.coef(), t.p(), ERR, ierr);
    if (ierr != 0) {
        if (diag) writeFree(io.console, "FEHLER VOLFNZ in VOLEFF", ERR);
        if (ERR > kTolerableError) return ierr;
    }
    st.trial.VOLFNZ = RES * COSPHI;
    return 0;
}

// Step 6: the keel strips weighted with the decay at their depths.
double keelEffectiveVolume(const CaseState& st, double GV) {
    const CaseInput& in = st.input;
    const double TKROOT = st.trial.TKROOT, COSPHI = st.point.COSPHI;
    double sum = 0.0;
    for (int i = 1; i <= kKeelStrips; ++i)
        sum +=
            decay(GV, (st.run.ZSTRIP(i) * in.KDEPTH + TKROOT) * COSPHI) * in.KCHORD(i) * in.KTHICK(i) * st.run.STRW(i);
    return 0.0625 * 1.0032 * st.run.PI * in.KSECTF * in.KDEPTH * sum +
           (st.upright.VKROOT / in.KCHORD(1)) * decay(GV, TKROOT * COSPHI);
}

}  // namespace

void VOLEFF(CaseState& st, RunFiles& io, int NSLOT, double VBOOT, int& IERR) {
    IERR = 0;
    const double DEP = st.balance.TLIFT / st.point.COSPHI, dz = DEP / kLevels;
    const double GV = st.run.GRAV / (VBOOT * VBOOT);
    ReachArray reach{};
    if (st.point.TANPHI != 0.0) {
        const double s = std::fabs(st.point.TANPHI);
        for (int K = st.trial.ISTA1; K <= std::min(NSLOT, st.trial.ISTA2); ++K)
            reach[static_cast<std::size_t>(K)] = sectionReach(st, K, s);
    }
    LevelArray Z{}, AWP{};
    for (int k = 0; k < kLevels; k += 2) {
        IERR = twoLevelAreas(st, io, NSLOT, reach, dz, k, k + 1 < kLevels, Z, AWP);
        if (IERR != 0) return;
    }
    Z[kLevels] = DEP;
    AWP[kLevels] = 0.0;
    IERR = effectiveVolume(st, io, Z, AWP, GV);
    if (IERR != 0) return;
    st.flow.KVEFF = st.point.APPON ? keelEffectiveVolume(st, GV) : 0.0;
    hullFlareMeasures(st, NSLOT, VBOOT);
}

}  // namespace carinex
