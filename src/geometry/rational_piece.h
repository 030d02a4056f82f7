// The pieces of the rational spline's evaluation, shared by the evaluation routines and the
// integral so that the Romberg sums evaluate the curve in line: the interval search and the
// value, slope and curvature of one piece (see rational_spline.h for the formulas).
#pragma once

#include <span>

#include "geometry/rational_spline.h"

namespace carinex::rational_piece {

using curve_index::CoefficientTable;
using curve_index::OneBased;

// Interval (1 ... N-1) for XV, hunting outwards from the hint with steps 1, 2, 4, ... and then
// bisecting. Positions 0 and N+1 stand for "before the first" and "after the last" point. A hint
// outside 1 ... N is no hint: the whole table is bisected. ascending: x(1) < x(N).
inline int find_interval(int N, OneBased<const double> x, double XV, int hint, bool ascending) {
    // XV lies at or beyond point j in the direction of the table.
    auto beyond = [&](int j) { return (XV >= x(j)) == ascending; };
    // most calls stay in the hinted interval: the hunt below would end there at once
    if (hint >= 1 && hint <= N - 1 && beyond(hint) && !beyond(hint + 1)) return hint;
    int lo = 0;
    int hi = N + 1;
    if (hint >= 1 && hint <= N) {
        int step = 1;
        if (beyond(hint)) {
            lo = hint;
            hi = lo + step;
            while (hi <= N && beyond(hi)) {
                lo = hi;
                step *= 2;
                hi = lo + step;
            }
            if (hi > N) hi = N + 1;
        } else {
            hi = hint;
            lo = hi - step;
            while (lo >= 1 && !beyond(lo)) {
                hi = lo;
                step *= 2;
                lo = hi - step;
            }
            if (lo < 1) lo = 0;
        }
    }
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (beyond(mid)) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    if (lo < 1) return 1;
    if (lo > N - 1) return N - 1;
    return lo;
}

inline int find_interval(int N, OneBased<const double> x, double XV, int hint) {
    return find_interval(N, x, XV, hint, x(1) < x(N));
}

struct RationalPiece {
    double A, B, C, D;  // coefficients of the interval
    double p;           // rational parameter
    double h;           // width
    double x1;          // left end
};

// The value, slope and curvature of a piece at t, each from its own formula.
struct PieceAt {
    double t, u, p, h, p1, pt1, pu1;
    PieceAt(const RationalPiece& piece, double t_) : t(t_), u(1.0 - t_), p(piece.p), h(piece.h) {
        p1 = 1.0 + p;
        pt1 = p * t + 1.0;
        pu1 = p * u + 1.0;
    }
};

// A cubic piece (both denominators exactly 1, as with p = 0) skips the divisions, which change
// nothing there: a division by 1 is exact.
inline bool cubic(const PieceAt& a) { return a.pt1 == 1.0 && a.pu1 == 1.0; }

// The value of a piece whose denominators are both 1.
inline double cubic_value(const RationalPiece& c, double t, double u) {
    return c.A * u + c.B * t + c.C * u * u * u + c.D * t * t * t;
}

inline double piece_value(const RationalPiece& c, const PieceAt& a) {
    const double t = a.t, u = a.u;
    if (cubic(a)) return cubic_value(c, t, u);
    return c.A * u + c.B * t + c.C * u * u * u / a.pt1 + c.D * t * t * t / a.pu1;
}

inline double piece_slope(const RationalPiece& c, const PieceAt& a) {
    const double t = a.t, u = a.u, p = a.p, p1 = a.p1, pt1 = a.pt1, pu1 = a.pu1;
    if (cubic(a))
        return ((c.B - c.A) + c.C * u * u * (2.0 * p * u - 3.0 * p1) - c.D * t * t * (2.0 * p * t - 3.0 * p1)) / a.h;
    return ((c.B - c.A) + c.C * u * u * (2.0 * p * u - 3.0 * p1) / (pt1 * pt1) -
            c.D * t * t * (2.0 * p * t - 3.0 * p1) / (pu1 * pu1)) /
           a.h;
}

inline double piece_curvature(const RationalPiece& c, const PieceAt& a) {
    const double t = a.t, u = a.u, p = a.p, p1 = a.p1, pt1 = a.pt1, pu1 = a.pu1, h = a.h;
    return (c.C * u * (6.0 * (p1 * p1 - p * u * p1) + 2.0 * p * p * u * u) / (pt1 * pt1 * pt1) +
            c.D * t * (6.0 * (p1 * p1 - p * t * p1) + 2.0 * p * p * t * t) / (pu1 * pu1 * pu1)) /
           (h * h);
}

// The piece of interval i (1 ... N-1).
inline RationalPiece piece_of(int i, std::span<const double> X, std::span<const double> COEF,
                              std::span<const double> P) {
    const OneBased<const double> x(X);
    const CoefficientTable<const double> coef(COEF);
    return RationalPiece{coef(1, i), coef(2, i), coef(3, i), coef(4, i),
                         OneBased<const double>(P)(i), x(i + 1) - x(i), x(i)};
}

// Interval of XV (the hint updated) and its piece.
inline RationalPiece piece_at(int N, std::span<const double> X, std::span<const double> COEF,
                              std::span<const double> P, double XV, int& IHINT, bool ascending) {
    const int i = find_interval(N, OneBased<const double>(X), XV, IHINT, ascending);
    IHINT = i;
    return piece_of(i, X, COEF, P);
}

inline RationalPiece piece_at(int N, std::span<const double> X, std::span<const double> COEF,
                              std::span<const double> P, double XV, int& IHINT) {
    return piece_at(N, X, COEF, P, XV, IHINT, X[0] < X[static_cast<std::size_t>(N - 1)]);
}

}  // namespace carinex::rational_piece
