#include "solver/delft_regression.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>

#include "solver/delft_tables.h"

namespace carinex {

namespace {

using delft::PositionTable;

double cube(double t) { return t * t * t; }

// Whole part of a table position, truncated towards zero. Positions beyond
// +-1000 all fall in the end branches of every table, so the clamp changes no
// result and keeps the conversion defined.
int wholePart(double x) { return static_cast<int>(std::clamp(x, -1000.0, 1000.0)); }

// Cubic through the values of the four rows at positions first .. first+3,
// evaluated at position x. value(row) gives a row's value for this hull.
template <int Rows, int Cols, class RowValue>
double fourRows(const PositionTable<Rows, Cols>& table, RowValue value, int first, double x) {
    std::array<double, 4> xa{}, ya{};
    for (int k = 0; k < 4; ++k) {
        xa[static_cast<std::size_t>(k)] = first + k;
        ya[static_cast<std::size_t>(k)] = value(table.at(first + k));
    }
    double y = 0.0, dy = 0.0;
    POLINT(xa, ya, 4, x, y, dy);
    return y;
}

// Straight line through the rows at positions first and first+1, at the
// offset t from the first.
template <int Rows, int Cols, class RowValue>
double twoRows(const PositionTable<Rows, Cols>& table, RowValue value, int first, double t) {
    const double y0 = value(table.at(first));
    return y0 + t * (value(table.at(first + 1)) - y0);
}

// ITTC-57 line with the Reynolds number Re.
double ittcFriction(double Re) {
    const double d = std::log10(Re) - 2.0;
    return 0.075 / (d * d);
}

// Upright residuary resistance over rho g V (x = FN/0.05 - 2, i its whole
// part): cubic decay to zero below 0.15, cubics through four rows up to 0.70,
// the straight line through the 0.70 and 0.75 rows beyond.
double uprightResiduary(const UprightParticulars& u, double FN, int i, double x) {
    const auto value = [&u](const double* a) {
        return a[0] + (a[1] * u.LCBFP + a[2] * u.CP0 + a[3] * u.RVAW + a[4] / u.RLB + a[5] * u.RLCBF +
                       a[6] * u.RBT + a[7] * u.CX0) /
                          u.RLV;
    };
    const auto& t = delft::kUprightResiduary;
    if (i <= 0) return value(t.at(1)) * cube(FN / 0.15);
    if (i == 1) return fourRows(t, value, 1, x);
    if (i <= 11) return fourRows(t, value, i - 1, x);
    return twoRows(t, value, 12, FN / 0.05 - 14);
}

// Trim-moment correction (same axis): none below 0.20, cubics up to 0.55,
// the straight line through the 0.55 and 0.60 rows beyond.
double trimMomentCorrection(const UprightParticulars& u, double FN, int i, double x) {
    const auto value = [&u](const double* c) {
        return c[0] + c[1] * u.RLB + c[2] * u.RBT + c[3] / u.RVAW + c[4] * u.LCBPC + c[5] * u.LCFPC;
    };
    const auto& t = delft::kTrimMoment;
    if (i < 2) return 0.0;
    if (i <= 8) return fourRows(t, value, i - 1, x);
    return twoRows(t, value, 9, FN / 0.05 - 11);
}

// Heel correction (same axis): the 0.25 row with a cubic decay below 0.25,
// cubics up to 0.50, the straight line through the 0.50 and 0.55 rows beyond.
double heelCorrection(const UprightParticulars& u, double FN, int i, double x) {
    const auto value = [&u](const double* c) {
        return c[0] + c[1] * u.RLB + (c[2] + c[3] * u.RBT) * u.RBT + (c[4] + c[5] * u.LCBFP) * u.LCBFP;
    };
    const auto& t = delft::kHeelCorrection;
    if (i < 3) return value(t.at(3)) * cube(4.0 * FN);
    if (i == 3) return fourRows(t, value, 3, x);
    if (i <= 7) return fourRows(t, value, i - 1, x);
    return twoRows(t, value, 8, FN / 0.05 - 10);
}

// Wetted surface at heel h (degrees) over the upright one: linear from 1 at
// 0 to the 5-degree row, cubics up to 30 degrees, the straight line through
// the 30 and 35 degree rows beyond.
double wettedSurfaceFactor(const UprightParticulars& u, double h) {
    const auto value = [&u](const double* s) { return 1.0 + s[0] + (s[1] + s[2] * u.RBT) * u.RBT + s[3] * u.CX0; };
    const auto& t = delft::kWettedSurface;
    if (h == 0.0) return 1.0;
    const double x = h / 5.0;
    const int j = wholePart(x);
    if (h < 5.0) return 1.0 + (value(t.at(1)) - 1.0) * h / 5.0;
    if (j <= 2) return fourRows(t, value, 1, x);
    if (j <= 5) return fourRows(t, value, j - 1, x);
    return twoRows(t, value, 6, h / 5.0 - 6);
}

// Keel residuary resistance over rho g Vkeel (x = FN/0.05 - 3, i its whole
// part): cubic decay below 0.20, cubics up to 0.55, the straight line through
// the 0.55 and 0.60 rows beyond.
double keelResiduary(const UprightParticulars& u, double FN) {
    const auto value = [&u](const double* k) { return k[0] + k[1] / u.RBT + k[2] * u.RKT + k[3] * u.RVK; };
    const auto& t = delft::kKeelResiduary;
    const double x = FN / 0.05 - 3;
    const int i = wholePart(FN / 0.05) - 3;
    if (i < 1) return value(t.at(1)) * cube(FN / 0.2);
    if (i <= 2) return fourRows(t, value, 1, x);
    if (i <= 7) return fourRows(t, value, i - 1, x);
    return twoRows(t, value, 8, FN / 0.05 - 11);
}

// A keel side-force table at heel h (degrees), rows at 0, 10, 20, 30 degrees:
// the cubic through all four rows below 20 degrees, the straight line through
// the 20 and 30 degree rows from there on.
template <int Cols, class RowValue>
double overHeel(const PositionTable<4, Cols>& table, RowValue value, double h) {
    const int j = wholePart(h / 10.0) + 1;
    if (j < 3) return fourRows(table, value, 1, h / 10.0 + 1);
    return twoRows(table, value, 3, h / 10.0 - 2);
}

}  // namespace

void POLINT(std::span<const double> XA, std::span<const double> YA, int N, double X, double& Y,
            double& DY) {
    assert(N >= 1 && N <= kPolintMaxPoints);
    // C(i) and D(i) are the differences of the tableau's neighbouring
    // polynomials, P(i..i+m) - P(i..i+m-1) and P(i..i+m) - P(i+1..i+m).
    std::array<double, kPolintMaxPoints> C{}, D{};
    int ns = 0;
    double dif = std::fabs(X - XA[0]);
    for (int i = 0; i < N; ++i) {
        const double dift = std::fabs(X - XA[static_cast<std::size_t>(i)]);
        if (dift < dif) {
            ns = i;
            dif = dift;
        }
        C[static_cast<std::size_t>(i)] = YA[static_cast<std::size_t>(i)];
        D[static_cast<std::size_t>(i)] = YA[static_cast<std::size_t>(i)];
    }
    Y = YA[static_cast<std::size_t>(ns)];
    DY = 0.0;
    --ns;  // last tableau entry on the path; -1 before the first
    for (int m = 1; m < N; ++m) {
        for (int i = 0; i < N - m; ++i) {
            const auto ui = static_cast<std::size_t>(i);
            const double ho = XA[ui] - X;
            const double hp = XA[ui + static_cast<std::size_t>(m)] - X;
            const double w = C[ui + 1] - D[ui];
            const double den = ho - hp;
            assert(den != 0.0);
            const double f = w / den;
            D[ui] = hp * f;
            C[ui] = ho * f;
        }
        // Take the path that stays centred on X: down the tableau (C) while
        // there are more points above the path than below, else up (D).
        if (2 * (ns + 1) < N - m) {
            DY = C[static_cast<std::size_t>(ns + 1)];
        } else {
            DY = D[static_cast<std::size_t>(ns)];
            --ns;
        }
        Y += DY;
    }
}

void REGHUL(const CaseState& st, double FN, double HEELDEG, double& RV, double& RR) {
    const UprightParticulars& u = st.upright;
    const TestPoint& p = st.point;
    const double GRAV = st.run.GRAV;

    const int i = wholePart(FN / 0.05) - 2;
    const double x = FN / 0.05 - 2;

    RR = GRAV * p.RHO * 2.0 * u.HVOL * uprightResiduary(u, FN, i, x);

    if (p.MEXT != 0.0) {
        // The divisor is a fixed constant of the method, close to but not
        // equal to pi/180; the reported values depend on it.
        RR = RR + p.MEXT * trimMomentCorrection(u, FN, i, x) / u.RKM / 0.0174550649282176;
    }

    if (p.PHI != 0.0) {
        // The hull heels alike to either side; the magnitude keeps the
        // power defined for a heel to port.
        const double phi = std::fabs(p.PHI);
        RR = RR + GRAV * p.RHO * 2.0 * u.HVOL * 6.0 * std::pow(phi, 1.7) * heelCorrection(u, FN, i, x);
    }

    const double Cf = ittcFriction(p.VNU * 0.7 * u.LWL);
    RV = Cf * wettedSurfaceFactor(u, HEELDEG) * p.QDYN * st.balance.SWET;
}

void REGAPP(CaseState& st, double FN, double HEELDEG, double SLOPR, double& RK, double& RRU,
            double& FSK) {
    const UprightParticulars& u = st.upright;
    const TestPoint& p = st.point;
    const CaseInput& in = st.input;
    const double GRAV = st.run.GRAV;
    const double PI = st.run.PI;

    // Friction of the keel at the chord of strip 3, with the thickness form
    // factor; both sides of the lateral area.
    const double tk = in.KTHICK(3);
    const double RKV =
        ittcFriction(p.VNU * in.KCHORD(3)) * p.QDYN * (1.0 + 2.0 * tk + 60.0 * tk * tk * tk * tk) * 2.0 * u.KAREA;
    const double RKR = GRAV * p.RHO * p.VKEEL * keelResiduary(u, FN);
    RK = RKR + RKV;

    if (p.PHI > 0.0) {
        const double* e = delft::kKeelHeel;
        RK = RK + GRAV * p.RHO * p.VKEEL * ((e[0] + e[2] * u.RBT) * u.RTT + e[1] * u.RBT + e[3] * u.RLV) * FN * FN *
                      p.PHI;
    }

    if (p.LEEWAY != 0.0 || p.PHI != 0.0) {
        // Leeway less the part that heel alone produces.
        const double betaE = p.LEEWAY - 0.0092 * u.RBT * u.RTT * p.PHI * p.PHI * FN;
        const double CS = overHeel(
            delft::kSideForce, [&u](const double* b) { return (b[0] + b[1] * u.RTS + b[3] * u.RTT) * u.RTS + b[2] * u.RTT; },
            HEELDEG);
        const double TE = overHeel(
            delft::kEffectiveSpan,
            [&u, FN](const double* c) {
                return ((c[0] + c[1] * u.RTT) * u.RTT + c[2] * u.RBT + c[3] * u.KTAPER) * (c[4] + c[5] * FN);
            },
            HEELDEG);
        FSK = betaE * p.QDYN * st.balance.SWET * CS;
        const double FSR = p.QDYN * u.AR0 *
                           (PI * p.RASP / (std::sqrt((0.5 * p.RASP * SLOPR) * (0.5 * p.RASP * SLOPR) + 1.0) + 1.0)) *
                           p.RUDANG * p.COSPHI * 0.8;
        st.balance.FSR = FSR;
        // Induced resistance of the total side force over the effective span.
        // Without speed there is no side force and no induced resistance.
        if (p.QDYN != 0.0) {
            const double s = (FSR + FSK) / p.COSPHI / (TE * u.TTOT);
            RK = RK + s * s / (p.QDYN * PI);
        }
    }

    const double tr = u.RTCMN;
    RRU = ittcFriction(p.VNU * u.RCMEAN) * p.QDYN * (1.0 + 2.0 * tr + 60.0 * tr * tr * tr * tr) * 2.0 * u.AR0;
}

RegressionRow regressionRow(CaseState& st, double HEELDEG, double SLOPR, double& FSK) {
    RegressionRow row;
    row.FNU = st.point.FNU;
    double RV = 0.0, RR = 0.0;
    REGHUL(st, st.point.FNU, HEELDEG, RV, RR);
    double total = RV + RR;
    if (st.point.APPON) {
        double RK = 0.0, RRU = 0.0;
        REGAPP(st, st.point.FNU, HEELDEG, SLOPR, RK, RRU, FSK);
        total = total + RK + RRU;
        row.FSkeel = FSK;
        row.FSrudder = st.balance.FSR;
    }
    st.balance.RTREG = total;
    row.Rviscous = RV;
    row.Rtotal = total;
    row.LEEWAY = st.point.LEEWAY;
    return row;
}

}  // namespace carinex
