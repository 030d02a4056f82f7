#include "geometry/design_waterline.h"

#include <algorithm>
#include <array>

#include "geometry/rational_spline.h"
#include "geometry/waterline_cut.h"
#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr int kKeelTable = 7;  // stations in each keel-line table

// Immersed area (both sides) of every slot, and the wetted run of slots.
void sectionAreas(PreparedHull& h, int NSLOT, double T) {
    int firstWetted = 0;
    double largest = 0.0;
    h.KAMAX = 0;
    h.KFWD = NSLOT;
    for (int K = 0; K <= NSLOT; ++K) {
        const auto k = static_cast<std::size_t>(K);
        int I = 0;
        double F = 0.0;
        WLCUT(T, 0.0, h.YS[k], h.ZS[k], I, F);
        const auto i = static_cast<std::size_t>(I);
        h.ASECT[k] = 2.0 * (h.SAREA[k][i] + F * (h.SAREA[k][i + 1] - h.SAREA[k][i]));
        if (K == 0) largest = h.ASECT[k];
        if (h.ASECT[k] > largest) {
            largest = h.ASECT[k];
            h.KAMAX = K;
        }
        if (firstWetted == 0 && h.ASECT[k] > 0.0) firstWetted = K;
        if (h.ASECT[k] == 0.0 && firstWetted > 0 && h.KFWD == NSLOT) h.KFWD = K;
    }
    h.KAFT = std::max(firstWetted - 1, 0);
}

// x where the keel line crosses depth 0, from a 7-station table of keel
// depth d(i) and position x(i); false when the depths are not strictly
// increasing. `interval` is the table interval the evaluation used.
bool keelCrossing(const std::array<double, kKeelTable>& d, const std::array<double, kKeelTable>& x, double E1,
                  int& IERR, double& xCross, double& straight) {
    std::array<double, 4 * (kKeelTable - 1)> coef{};
    std::array<double, kKeelTable - 1> p{};
    RATSPE(kKeelTable, E1, -1.0, d, x, coef, p, IERR);
    if (IERR != 0) return false;
    double slope = 0.0, rad = 0.0;
    int hint = 3;
    RATVAL(kKeelTable, d, coef, p, 0.0, xCross, slope, rad, hint);
    // the straight interpolation to depth 0 on the same table interval
    const auto i = static_cast<std::size_t>(hint - 1);
    straight = (x[i + 1] * d[i] - x[i] * d[i + 1]) / (d[i] - d[i + 1]);
    return true;
}

bool bowEnd(PreparedHull& h, int NSLOT, double T, int& IERR, bool DIAG, std::ostream& console) {
    const int m = std::min(NSLOT + 1, h.KFWD + 3);
    if (m - kKeelTable < 0 || h.KFWD < 1) {
        IERR = kKeelTableOutside;
        if (DIAG) writeFree(console, "Kiellinie am Bug ausserhalb der Stationen");
        return false;
    }
    std::array<double, kKeelTable> d{}, x{};
    for (int i = 1; i <= kKeelTable; ++i) {
        const auto slot = static_cast<std::size_t>(m - i);
        d[static_cast<std::size_t>(i - 1)] = h.ZS[slot][0] - T;
        x[static_cast<std::size_t>(i - 1)] = h.XST[slot];
    }
    double straight = 0.0;
    if (!keelCrossing(d, x, 0.0, IERR, h.XFKEEL, straight)) {
        if (DIAG) writeFree(console, "Kiellinie wellig am Bug");
        return false;
    }
    const double lo = h.XST[static_cast<std::size_t>(h.KFWD - 1)];
    const double hi = h.XST[static_cast<std::size_t>(h.KFWD)];
    if (h.XFKEEL > hi || h.XFKEEL < lo) h.XFKEEL = straight;
    h.XFKEEL = std::clamp(h.XFKEEL, lo, hi);
    if (h.XFKEEL == lo) h.KFWD -= 1;
    return true;
}

bool sternEnd(PreparedHull& h, int NSLOT, double T, int& IERR, bool DIAG, std::ostream& console) {
    const int b = std::max(h.KAFT - 3, -1);
    if (b + kKeelTable > NSLOT || h.KAFT + 1 > NSLOT) {
        IERR = kKeelTableOutside;
        if (DIAG) writeFree(console, "Kiellinie am Heck ausserhalb der Stationen");
        return false;
    }
    std::array<double, kKeelTable> d{}, x{};
    for (int i = 1; i <= kKeelTable; ++i) {
        const auto slot = static_cast<std::size_t>(b + i);
        d[static_cast<std::size_t>(i - 1)] = h.ZS[slot][0] - T;
        x[static_cast<std::size_t>(i - 1)] = h.XST[slot];
    }
    double straight = 0.0;
    if (!keelCrossing(d, x, -1.0, IERR, h.XAKEEL, straight)) {
        if (DIAG) writeFree(console, "Kiellinie wellig am Heck");
        return false;
    }
    const double lo = h.XST[static_cast<std::size_t>(h.KAFT)];
    const double hi = h.XST[static_cast<std::size_t>(h.KAFT + 1)];
    if (h.XAKEEL < lo || h.XAKEEL > hi) h.XAKEEL = straight;
    h.XAKEEL = std::clamp(h.XAKEEL, lo, hi);
    if (h.XAKEEL == hi) h.KAFT += 1;
    return true;
}

// Integral of the sectional-area curve between the waterline ends; the end
// stations stand at the ends for the fit.
double areaCurveIntegral(PreparedHull& h, int& IERR, bool DIAG, std::ostream& console) {
    const int N = h.KFWD - h.KAFT + 1;
    const auto aft = static_cast<std::size_t>(h.KAFT);
    const auto fwd = static_cast<std::size_t>(h.KFWD);
    const double keepAft = h.XST[aft], keepFwd = h.XST[fwd];
    h.XST[aft] = h.XAKEEL;
    h.XST[fwd] = h.XFKEEL;
    std::span<const double> x(&h.XST[aft], static_cast<std::size_t>(N));
    std::span<const double> a(&h.ASECT[aft], static_cast<std::size_t>(N));
    std::array<double, 4 * kStationSlots> coef{};
    std::array<double, kStationSlots> p{};
    double volume = 0.0;
    RATSPE(N, -1.0, -1.0, x, a, coef, p, IERR);
    if (IERR != 0) {
        if (DIAG) writeFree(console, "Verdrängung unstetig in VDWL");
    } else {
        double err = 0.0;
        RATINT(h.XAKEEL, h.XFKEEL, h.ASECT[aft], h.ASECT[fwd], volume, N, x, coef, p, err, IERR);
        if (IERR != 0) {
            if (DIAG) writeFree(console, "FEHLER VDWL VOLUME", err);
            if (!(err <= 1e-6)) volume = 0.0;  // an estimate that is not a number fails too
            else IERR = 0;
        }
    }
    h.XST[aft] = keepAft;
    h.XST[fwd] = keepFwd;
    return volume;
}

}  // namespace

double VDWL(CaseState& st, int NSLOT, double T, int& IERR, bool DIAG, std::ostream& console) {
    PreparedHull& h = st.hull;
    IERR = 0;
    if (NSLOT < 0 || NSLOT >= kStationSlots) {
        IERR = kKeelTableOutside;
        return 0.0;
    }
    sectionAreas(h, NSLOT, T);
    if (!bowEnd(h, NSLOT, T, IERR, DIAG, console)) return 0.0;
    if (!sternEnd(h, NSLOT, T, IERR, DIAG, console)) return 0.0;
    if (h.KFWD - h.KAFT < 1) {
        IERR = kKeelTableOutside;
        return 0.0;
    }
    return areaCurveIntegral(h, IERR, DIAG, console);
}

}  // namespace carinex
