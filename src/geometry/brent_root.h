// Brent's root finder: inverse quadratic interpolation (the secant when only
// two distinct points are known) guarded by bisection, so it converges
// superlinearly on smooth functions and never slower than bisection.
#pragma once

#include <algorithm>
#include <cmath>

namespace carinex {

struct BrentResult {
    double x = 0.0;   // the root estimate b
    double fx = 0.0;  // f(b)
    bool converged = false;
    bool abandoned = false;  // the caller's stop test ended the search
};

namespace brent_detail {

inline double withSignOf(double magnitude, double sign) { return sign >= 0.0 ? std::fabs(magnitude) : -std::fabs(magnitude); }

inline bool sameSide(double f1, double f2) { return (f1 > 0.0 && f2 > 0.0) || (f1 < 0.0 && f2 < 0.0); }

// Brent's step from b towards the root in [b, c]: interpolated when that is
// safe, else the bisection step xm; d and e are the last two steps.
inline void chooseStep(double a, double b, double c, double fa, double fb, double fc, double xm, double tol1,
                       double& d, double& e) {
    if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
        const double s = fb / fa;
        double p = 0.0, q = 0.0;
        if (a == c) {
            p = 2.0 * xm * s;
            q = 1.0 - s;
        } else {
            const double qa = fa / fc;
            const double r = fb / fc;
            p = s * (2.0 * xm * qa * (qa - r) - (b - a) * (r - 1.0));
            q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
        }
        if (p > 0.0) q = -q;
        p = std::fabs(p);
        if (2.0 * p < std::min(3.0 * xm * q - std::fabs(tol1 * q), std::fabs(e * q))) {
            e = d;
            d = p / q;
            return;
        }
    }
    d = xm;
    e = d;
}

}  // namespace brent_detail

// Root of f on [a, b] where fa = f(a) and fb = f(b) have opposite signs (or
// one is 0). Stops when half the bracket is at most 2*EPS*|b| + TOL/2 or f(b)
// is exactly 0; after maxIterations steps it returns the current b with
// converged = false. `stop` is asked after every evaluation: true abandons
// the search (an evaluation that failed).
template <class F, class Stop>
BrentResult brentRoot(F&& f, double a, double b, double fa, double fb, double TOL, double EPS, int maxIterations,
                      Stop&& stop) {
    using namespace brent_detail;
    double c = b, fc = fb, d = b - a, e = d;
    for (int iter = 1; iter <= maxIterations; ++iter) {
        if (sameSide(fb, fc)) {
            c = a;
            fc = fa;
            d = b - a;
            e = d;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol1 = 2.0 * EPS * std::fabs(b) + 0.5 * TOL;
        const double xm = 0.5 * (c - b);
        if (std::fabs(xm) <= tol1 || fb == 0.0) return {b, fb, true};
        chooseStep(a, b, c, fa, fb, fc, xm, tol1, d, e);
        a = b;
        fa = fb;
        b += (std::fabs(d) > tol1) ? d : withSignOf(tol1, xm);
        fb = f(b);
        if (stop()) return {b, fb, false, true};
    }
    return {b, fb, false};
}

template <class F>
BrentResult brentRoot(F&& f, double a, double b, double fa, double fb, double TOL, double EPS, int maxIterations) {
    return brentRoot(f, a, b, fa, fb, TOL, EPS, maxIterations, [] { return false; });
}

}  // namespace carinex
