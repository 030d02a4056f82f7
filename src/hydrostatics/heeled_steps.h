// The steps of the heeled hydrostatics (KRAENG), shared by its source files.
//
// Frame of the heel. A prepared section is symmetric about the centre plane, so a heel to one
// side is the mirror image of the same heel to the other. The steps work in the frame in which
// the heel is positive: there the water surface of slot K is the line
//
//     ZS = ZW(K) - s*y,     s = |TANPHI|,  y the signed half-breadth,
//
// the low (immersed) side lies at y > 0 and the high side at y < 0. Quantities that change sign
// with the side of the heel (the drift of the waterline's centre line, the asymmetry, the
// lateral term) take the sign of PHI back when they are formed.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <span>

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex::kraeng {

constexpr int kLastPoint = kSectionPoints - 1;  // the top point of a section
constexpr int kLastSlot = kStationSlots - 1;

// A table along the waterline holds the slots ISTA1 ... ISTA2, and ISTA2 may lie one past the
// last occupied slot: up to one entry more than there are slots.
constexpr int kTableCapacity = kStationSlots + 1;

// Slot K of a per-slot array (slots 0 ... 52), checked in debug builds.
inline double& at(SlotArray& a, int K) {
    assert(K >= 0 && K <= kLastSlot);
    return a[static_cast<std::size_t>(K)];
}
inline double at(const SlotArray& a, int K) {
    assert(K >= 0 && K <= kLastSlot);
    return a[static_cast<std::size_t>(K)];
}
inline const Section& at(const SectionTable& t, int K) {
    assert(K >= 0 && K <= kLastSlot);
    return t[static_cast<std::size_t>(K)];
}
// Point k (0 ... 150) of a section.
inline double at(const Section& s, int k) {
    assert(k >= 0 && k <= kLastPoint);
    return s[static_cast<std::size_t>(k)];
}
// A slot past the last one is dry: its per-slot values are 0.
inline double orDry(const SlotArray& a, int K) { return K <= kLastSlot ? at(a, K) : 0.0; }

// Up to kTableCapacity points x(1) ... x(n), y(1) ... y(n) and the rational spline through
// them. The storage is fixed: a call of KRAENG allocates no table.
class Curve {
public:
    void clear() { n_ = 0; }
    void add(double x, double y) {
        assert(n_ < kTableCapacity);
        X_[static_cast<std::size_t>(n_)] = x;
        Y_[static_cast<std::size_t>(n_)] = y;
        ++n_;
    }
    int size() const { return n_; }
    double x(int j) const {
        assert(j >= 1 && j <= n_);
        return X_[static_cast<std::size_t>(j - 1)];
    }
    double y(int j) const {
        assert(j >= 1 && j <= n_);
        return Y_[static_cast<std::size_t>(j - 1)];
    }

    // Fits with natural ends (RATSPL) or with end factors (RATSPE); returns the fit's IERR.
    int fitNatural();
    int fitEnds(double E1, double E2);

    double value(double at, int& hint) const;
    double slope(double at, int& hint) const;
    // Integral of the fitted spline from A to B with the end values FA, FB (RATINT). Returns 0
    // or the integral's error code; ERR is its relative error estimate.
    int integral(double A, double B, double FA, double FB, double& RES, double& ERR) const;

private:
    std::span<const double> xs() const { return {X_.data(), static_cast<std::size_t>(n_)}; }
    std::span<const double> coef() const { return {COEF_.data(), static_cast<std::size_t>(4 * (n_ - 1))}; }
    std::span<const double> p() const { return {P_.data(), static_cast<std::size_t>(n_ - 1)}; }

    int n_ = 0;
    std::array<double, kTableCapacity> X_, Y_;
    std::array<double, 4 * (kTableCapacity - 1)> COEF_;
    std::array<double, kTableCapacity - 1> P_;
};

// The ends of one section's waterline in the heel frame: (y1, z1) on the high side, (y2, z2) on
// the low side; on a section whose keel is dry both lie on the low side (entry and exit).
struct SectionWaterline {
    double y1 = 0.0, z1 = 0.0;
    double y2 = 0.0, z2 = 0.0;
};

// The stations of the wetted run as one table: entry j = 1 ... N stands for slot ISTA1 + j - 1,
// the first entry at the aft end XAPHI and the last at the forward end XFPHI, where every
// quantity vanishes.
struct WaterlineTable {
    int ISTA1 = 0;
    int N = 0;
    double XAPHI = 0.0, XFPHI = 0.0;

    int slot(int j) const { return ISTA1 + j - 1; }
    // Entry of the slot nearest to slot K, for ranges that are clipped to the table.
    int entryOf(int K) const { return K - ISTA1 + 1; }
    double x(int j, const SlotArray& XST) const {
        if (j == 1) return XAPHI;
        if (j == N) return XFPHI;
        return at(XST, slot(j));
    }
    // Value of a per-slot quantity at entry j (0 at the forward end).
    double value(int j, const SlotArray& q) const { return j == N ? 0.0 : at(q, slot(j)); }
};

// Work storage of one call, on the caller's stack.
struct Work {
    std::array<SectionWaterline, kStationSlots> ends;  // per slot, from the station cuts
    bool deepFound = false;                            // deepest point of the heeled hull
    double xDeep = 0.0, yDeep = 0.0;                   // its x and signed y
    double largestArea = 0.0;                          // largest ASEC so far
    double largestKeelDepth = 0.0;                     // largest upright KDW so far
    WaterlineTable table;
    Curve area, breadth, keelDepth, keelLine, scratch;
    bool keelLineFitted = false;
};

// One evaluation: the state, its arguments and the work storage.
struct Kraeng {
    CaseState& st;
    RunFiles& io;
    double XLAM;
    bool LREST;
    int& IERR;
    int NSLOT;
    Work& w;

    bool heeled() const { return st.point.PHI != 0.0; }
    double s() const;       // |TANPHI|
    double sinAbs() const;  // |SINPHI|
    double side() const;    // +1 for a heel to y > 0, -1 for the other side
    // Depth of the water surface at the centre plane of slot K.
    double ZW(int K) const;
    bool diag() const { return st.run.DIAG; }
};

// What a step leaves to the sequence: go on, take the default path, or return at once.
enum class Next { proceed, defaultPath, stop };

// Step 1: start values.
void startTrial(Kraeng& k);
// Steps 2 and 3: station cuts, keel depths and lateral terms of every slot.
void cutStations(Kraeng& k);
// The crossings of slot K's hull outline with the surface, the deck left out (the ends of
// step 2 stop at the deck where it is under water): for the drift of the waterline's centre.
SectionWaterline hullCrossings(const Kraeng& k, int K);
// Step 4: is the trial state one that can be evaluated?
bool admitted(const Kraeng& k);
// Step 5: ends of the heeled waterline, and the waterline table.
Next waterlineEnds(Kraeng& k);
// Step 6: keel depth and breadth at the laminar-turbulent transition.
void transitionQuantities(Kraeng& k);
// Step 7: volume, waterplane area and their centres.
Next waterlineIntegrals(Kraeng& k);
// Step 8: the largest section, lateral and keel-depth integrals, the keel line's maximum.
Next largestSection(Kraeng& k);
// Step 9: form coefficients and ratios.
Next coefficients(Kraeng& k);
// Step 10: keel line at the aft end of the waterline and the overhang.
void aftKeelLine(Kraeng& k);
// Step 11: drift of the waterline's centre line and heel asymmetry.
void asymmetry(Kraeng& k);
// Step 12: how deep keel and rudder reach into the water.
void appendageImmersion(Kraeng& k);

// Shared failure reports of the fits and integrals of steps 7 to 9: a failed fit returns at
// once with its code; a failed integral is accepted when its relative error is at most 1e-6.
Next fitFailed(Kraeng& k, const char* name, int ierr);
Next integralChecked(Kraeng& k, const char* name, int ierr, double err);

}  // namespace carinex::kraeng
