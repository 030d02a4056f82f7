// Ends of the dynamic waterline (DYNWL).
//
// As for the static waterline, an end is where a depth measure of the stations vanishes: the
// station positions are fitted as a spline of the measure and evaluated at measure 0. At the
// bow the measure is the depth of each station's reference point below the raised surface; at
// the stern, upright, the keel depth below the stern wave, heeled, the section area to the
// power 0.75. A fit that is not possible falls back to the station or to the straight
// interpolation between the two slots around the end.
//
// An end station that ends up closer than 0.003*LWL to the end is dropped when the breadth
// curve kinks there: the slope into the end differs by more than half from the slope before,
// and the curve bends the other way than one station further in.
#include <algorithm>
#include <array>
#include <cmath>

#include "flow/dynamic_waterline_steps.h"
#include "geometry/end_table.h"
#include "geometry/rational_spline.h"

namespace carinex::flow::dynwl {

namespace {

constexpr int kBowTable = 5;
constexpr int kSternTableUpright = 7;
constexpr int kSternTableHeeled = 5;
constexpr int kLastTabledStern = 21;  // from this slot on the stern end lies mid-interval
constexpr double kAreaExponent = 0.75;
constexpr double kShortEnd = 0.003;   // of LWL
constexpr int kEvaluationHint = 3;

using EndTable = carinex::EndTable<kSternTableUpright>;

// The position at measure 0 between two points; without slope no zero between them.
double linearZero(double x1, double h1, double x2, double h2) {
    if (h1 == h2) return x1;
    return (x2 * h1 - x1 * h2) / (h1 - h2);
}

// The position at measure 0, when the fit with end factors E1, E2 succeeds.
bool fitted(const EndTable& t, double E1, double E2, double& x0) {
    const int n = t.size();
    std::array<double, 4 * (kSternTableUpright - 1)> coef{};
    std::array<double, kSternTableUpright - 1> p{};
    int IERR = 0;
    RATSPE(n, E1, E2, t.measures(), t.positions(), coef, p, IERR);
    if (IERR != 0) return false;
    double DS = 0.0, RAD = 0.0;
    int hint = kEvaluationHint;
    RATVAL(n, t.measures(), {coef.data(), static_cast<std::size_t>(4 * (n - 1))},
           {p.data(), static_cast<std::size_t>(n - 1)}, 0.0, x0, DS, RAD, hint);
    return true;
}

// Straight interpolation to measure 0 on the first interval where the measure changes sign.
double firstZero(const EndTable& t) {
    for (int i = 1; i < t.size(); ++i)
        if (t.m(i) * t.m(i + 1) <= 0.0 && t.m(i) != t.m(i + 1)) return linearZero(t.x(i), t.m(i), t.x(i + 1), t.m(i + 1));
    return t.x(t.size());
}

// Depth of the reference point of slot K below the raised surface, with the bow's part of the
// wave profile.
double bowDepth(const Dynwl& d, int K) {
    const TestPoint& p = d.st.point;
    const double x = d.xst(K);
    return (d.st.upright.ZREF[ix(K)] - p.SINKG) + (p.TRIMW * x + bowWaveElevation(d.st.flow, d.wave, x)) / p.COSPHI;
}

// Upright keel depth of slot K below the stern wave.
double sternDepth(const Dynwl& d, int K) {
    const TestPoint& p = d.st.point;
    const FlowResults& f = d.st.flow;
    const double x = d.xst(K);
    return f.SLAFT * x + f.ZAFT + (d.st.upright.ZREF[ix(K)] - p.SINKG) + x * p.TRIMW;
}

double slope(const Dynwl& d, int K1, int K2) { return (d.B(K2) - d.B(K1)) / (d.xst(K2) - d.xst(K1)); }

// The breadth curve kinks at an end: the end slope S2 differs from its neighbour S1 by more
// than half, and the bends at the end (S2 against S1) and one station in (S1 against S0) go
// opposite ways. Slopes are taken in the direction away from the end.
bool kinked(double S0, double S1, double S2) {
    return std::fabs(S2 - S1) > 0.5 * std::fabs(S1) && (S1 - S0) * (S2 - S1) < 0.0;
}

// Forward end clamps: one station spacing beyond the last slot when the run reaches it, else
// within the end interval (the straight interpolation there when outside), and not beyond the
// first dry slot.
double clampForward(const Dynwl& d, double x) {
    const int I2 = d.st.flow.ISTD2;
    if (I2 > d.NSLOT) return std::min(x, 2.0 * d.xst(I2 - 1) - d.xst(I2 - 2));
    if (x < d.xst(I2 - 1) || x > d.xst(I2))
        x = linearZero(d.xst(I2 - 1), bowDepth(d, I2 - 1), d.xst(I2), bowDepth(d, I2));
    return std::min(x, d.xst(I2));
}

}  // namespace

void forwardEnd(Dynwl& d) {
    FlowResults& f = d.st.flow;
    const int J = f.ISTD2 > d.NSLOT - 2 ? d.NSLOT + 1 : f.ISTD2 + 3;
    EndTable table;
    for (int i = 1; i <= kBowTable; ++i) table.add(bowDepth(d, J - i), d.xst(J - i));
    double x = 0.0;
    if (!fitted(table, 0.0, -1.0, x)) {
        if (table.m(1) * table.m(kBowTable) >= 0.0) {
            x = d.xst(std::min(d.NSLOT, f.ISTD2));
        } else if (f.ISTD2 > d.NSLOT) {
            x = firstZero(table);
        } else {
            x = linearZero(d.xst(f.ISTD2 - 1), bowDepth(d, f.ISTD2 - 1), d.xst(f.ISTD2), bowDepth(d, f.ISTD2));
        }
    }
    f.XFDYN = clampForward(d, x);
    if (f.XFDYN <= d.xst(f.ISTD2 - 1)) {
        f.ISTD2 -= 1;
        d.dry(f.ISTD2);
    }
    const int I2 = f.ISTD2;
    if (f.XFDYN - d.xst(I2 - 1) <= kShortEnd * d.st.upright.LWL) {
        const double S1 = slope(d, I2 - 2, I2 - 1);
        const double S2 = d.B(I2 - 1) / (d.xst(I2 - 1) - f.XFDYN);
        if (kinked(slope(d, I2 - 3, I2 - 2), S1, S2)) {
            f.ISTD2 -= 1;
            d.dry(f.ISTD2);
        }
    }
}

namespace {

// Stern end from its table; lo and hi the slots around it, `straight` the fall-back
// interpolation.
double sternFromTable(const EndTable& table, double lo, double straight) {
    double x = 0.0;
    if (fitted(table, -1.0, -1.0, x)) return x;
    return table.m(1) * table.m(table.size()) >= 0.0 ? lo : straight;
}

double tabledStern(const Dynwl& d) {
    const FlowResults& f = d.st.flow;
    const int I1 = f.ISTD1;
    EndTable table;
    double straight = 0.0;
    if (d.st.point.PHI != 0.0) {
        for (int K = I1 + 1; K <= I1 + kSternTableHeeled; ++K)
            table.add(std::pow(f.ASECD[ix(K)], kAreaExponent), d.xst(K));
        straight = linearZero(table.x(1), table.m(1), table.x(2), table.m(2));
    } else {
        const int J = std::max(I1 - 3, -1);
        for (int K = J + 1; K <= J + kSternTableUpright; ++K) table.add(sternDepth(d, K), d.xst(K));
        straight = linearZero(d.xst(I1), sternDepth(d, I1), d.xst(I1 + 1), sternDepth(d, I1 + 1));
    }
    double x = sternFromTable(table, d.xst(I1), straight);
    if (x < d.xst(I1) || x > d.xst(I1 + 1)) x = straight;
    return x;
}

}  // namespace

void aftEnd(Dynwl& d) {
    FlowResults& f = d.st.flow;
    if (f.ISTD1 < 0) {  // the aftmost station is wet: a transom in the water
        f.ISTD1 = 0;
        f.XADYN = d.xst(0);
    } else if (f.ISTD1 < kLastTabledStern) {
        f.XADYN = tabledStern(d);
    } else {
        f.XADYN = (d.xst(f.ISTD1) + d.xst(f.ISTD1 + 1)) / 2.0;
    }
    f.XADYN = std::max(f.XADYN, d.xst(f.ISTD1));
    if (f.XADYN >= d.xst(f.ISTD1 + 1)) {
        f.ISTD1 += 1;
        d.dry(f.ISTD1);
    }
    const int I1 = f.ISTD1;
    if (d.xst(I1 + 1) - f.XADYN <= kShortEnd * d.st.upright.LWL) {
        const double S1 = slope(d, I1 + 1, I1 + 2);
        const double S2 = (d.B(I1 + 1) - d.B(I1)) / (d.xst(I1 + 1) - f.XADYN);
        // away from the end the slopes run towards the bow: the bends change sign with the
        // direction, their product does not
        if (kinked(slope(d, I1 + 2, I1 + 3), S1, S2)) {
            f.ISTD1 += 1;
            d.dry(f.ISTD1);
        }
    }
}

}  // namespace carinex::flow::dynwl
