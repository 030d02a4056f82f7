// Extremum of a rational spline (RATEXT, RATEXT3): Brent's root finder on the slope.
#include <algorithm>
#include <cmath>

#include "geometry/brent_root.h"
#include "geometry/rational_spline.h"

namespace carinex {

namespace {

using curve_index::OneBased;

constexpr int kMaxIterations = 1000;

struct SplineTable {
    int N;
    std::span<const double> X, COEF, P;
};

struct SplinePoint {
    double s, ds;
};

SplinePoint evaluate(const SplineTable& curve, double x, int& hint) {
    SplinePoint v{0.0, 0.0};
    RATVAL_SDS(curve.N, curve.X, curve.COEF, curve.P, x, v.s, v.ds, hint);
    return v;
}

void find_extremum(int hint, int N, std::span<const double> X, std::span<const double> COEF,
                   std::span<const double> P, double& XEXT, double& SEXT, double TOL,
                   double EPS, int& IERR) {
    const SplineTable curve{N, X, COEF, P};
    const OneBased<const double> x(X);
    const double a = x(1);
    const double b = x(N);
    const double fa = evaluate(curve, a, hint).ds;
    const double fb = evaluate(curve, b, hint).ds;
    if (fa * fb > 0.0) {
        IERR = 1;
        XEXT = b;
        SEXT = evaluate(curve, b, hint).s;
        return;
    }
    const BrentResult root = brentRoot([&](double v) { return evaluate(curve, v, hint).ds; }, a, b, fa, fb,
                                       TOL, EPS, kMaxIterations);
    if (!root.converged) IERR = 3;  // the current estimate with its value, flagged
    XEXT = root.x;
    SEXT = evaluate(curve, root.x, hint).s;
}

}  // namespace

void RATEXT(int N, std::span<const double> X, std::span<const double> COEF,
            std::span<const double> P, double& XEXT, double& SEXT, double TOL, double EPS,
            int& IERR) {
    find_extremum(N / 2, N, X, COEF, P, XEXT, SEXT, TOL, EPS, IERR);
}

void RATEXT3(int N, std::span<const double> X, std::span<const double> COEF,
             std::span<const double> P, double& XEXT, double& SEXT, double TOL, double EPS,
             int& IERR) {
    find_extremum(3, N, X, COEF, P, XEXT, SEXT, TOL, EPS, IERR);
}

}  // namespace carinex
