// Shape-preserving rational spline: fit, evaluation, integral and extremum.
//
// On interval i (from X(i) to X(i+1)), with h = X(i+1) - X(i), t = (x - X(i))/h, u = 1 - t
// and the rational parameter p >= 0 of that interval,
//
//     s(x) = A*u + B*t + C*u^3/(p*t + 1) + D*t^3/(p*u + 1),
//
// so s(X(i)) = A + C and s(X(i+1)) = B + D. With p = 0 the piece is the ordinary cubic; a
// larger p pulls it towards the chord. The fit raises p only where the cubic spline would bend
// against the data, so the curve keeps the convexity of its points. The spline is continuous
// with continuous slope and curvature.
//
// Index convention at this interface. The formulas number the points 1 ... N and the intervals
// 1 ... N-1. The arrays are passed as ordinary zero-based spans:
//     X[j-1], Y[j-1]              hold X(j), Y(j),                j = 1 ... N
//     COEF[4*(i-1) + 0 ... 3]     hold A, B, C, D of interval i,  i = 1 ... N-1
//     P[i-1]                      holds p of interval i
// so a table of N points needs spans of at least N, 4*(N-1) and N-1 elements. The interval hint
// IHINT, in contrast, is a number in the formulas' numbering (1 ... N), like the hint values the
// callers use ("start at 3", "start at N/2").
//
// All routines are re-entrant: nothing is kept between calls except what the caller holds
// (the tables and its IHINT). Nothing allocates, except the fit of a table longer than 160
// points (one scratch array of 6*N doubles).
#pragma once

#include <cassert>
#include <cstddef>
#include <span>
#include <type_traits>

namespace carinex {

// Fit with natural ends (zero end moments). IERR = 0 on success, 1 when the abscissae are not
// strictly increasing (COEF and P untouched), 3 when the shape iteration does not settle in
// 2000 passes (COEF untouched, P holds the last parameters).
void RATSPL(int N, std::span<const double> X, std::span<const double> Y, std::span<double> COEF,
            std::span<double> P, int& IERR);

// One table of RATSPL's and where its fit goes.
struct SplineFit {
    int N;
    std::span<const double> X, Y;
    std::span<double> COEF, P;
    int& IERR;
};

// Two independent RATSPL fits at once, for callers with many tables: each result (COEF, P,
// IERR) is the one RATSPL gives it, to the last bit; only the two fits' work is interleaved.
void RATSPL_PAIR(SplineFit a, SplineFit b);

// Fit with end conditions M(1) + E1*M(2) = 0 and E2*M(N-1) + M(N) = 0 on the moments M, the
// second derivatives of the spline at the points (E = 0: natural end; E = -1: the end moment
// equals its neighbour's). E1, E2 in [-1, 1].
void RATSPE(int N, double E1, double E2, std::span<const double> X, std::span<const double> Y,
            std::span<double> COEF, std::span<double> P, int& IERR);

// Value S, slope DS and signed radius of curvature RAD = (1 + DS^2)^(3/2) / (-s'') at XV
// (RAD > 0 where the curve bends downward; RAD = 10000 where s'' is exactly 0). Outside
// [X(1), X(N)] the end piece's formula is extended. IHINT (1 ... N) is where the interval
// search starts; on return it holds the interval used. With N < 2 there is no curve:
// S = DS = 0 and RAD = 10000.
void RATVAL(int N, std::span<const double> X, std::span<const double> COEF,
            std::span<const double> P, double XV, double& S, double& DS, double& RAD,
            int& IHINT);

// The value S alone, and the value S with the slope DS, as RATVAL computes them (the same
// numbers to the last bit), for the integrals and the marches that need no curvature.
double RATVAL_S(int N, std::span<const double> X, std::span<const double> COEF,
                std::span<const double> P, double XV, int& IHINT);
void RATVAL_SDS(int N, std::span<const double> X, std::span<const double> COEF,
                std::span<const double> P, double XV, double& S, double& DS, int& IHINT);

// Romberg integral RES of the spline from A to B, with the caller's end values FA = s(A) and
// FB = s(B). Converged when the last Neville correction is at most 1e-10*|RES|. ERR is set to
// 1e-10 and, after 25 levels without convergence, to the relative error estimate, with
// IERR = 100. IERR is never cleared.
void RATINT(double A, double B, double FA, double FB, double& RES, int N,
            std::span<const double> X, std::span<const double> COEF, std::span<const double> P,
            double& ERR, int& IERR);

// Abscissa XEXT and value SEXT where the slope of the spline vanishes on [X(1), X(N)] (Brent's
// method on the slope, tolerance 2*EPS*|x| + TOL/2). IERR = 1 when the end slopes have the same
// sign (XEXT = X(N), SEXT = s(X(N))), 3 after 1000 iterations (XEXT = the current iterate,
// SEXT = its value);
// otherwise IERR is left as it was. The interval search starts at interval N/2.
void RATEXT(int N, std::span<const double> X, std::span<const double> COEF,
            std::span<const double> P, double& XEXT, double& SEXT, double TOL, double EPS,
            int& IERR);

// The same search with the interval search starting at interval 3, for short tables whose
// extremum lies near their third interval (such as the seven sections around the largest one).
// Where the search starts changes only its speed, never the result.
void RATEXT3(int N, std::span<const double> X, std::span<const double> COEF,
             std::span<const double> P, double& XEXT, double& SEXT, double TOL, double EPS,
             int& IERR);

namespace curve_index {

// Views that let the curve formulas keep their one-based numbering over zero-based storage.
// Bounds are checked in debug builds.

// v(1) ... v(n) over a span of n elements.
template <class T>
class OneBased {
public:
    explicit OneBased(std::span<T> values) : values_(values) {}
    // A writable view reads as a read-only one.
    template <class U>
        requires std::is_convertible_v<U (*)[], T (*)[]>
    OneBased(const OneBased<U>& other) : values_(other.values()) {}

    std::span<T> values() const { return values_; }
    T& operator()(int j) const {
        assert(j >= 1 && static_cast<std::size_t>(j) <= values_.size());
        return values_[static_cast<std::size_t>(j - 1)];
    }

private:
    std::span<T> values_;
};

// Coefficient k (1 = A, 2 = B, 3 = C, 4 = D) of interval i, stored four per interval.
template <class T>
class CoefficientTable {
public:
    explicit CoefficientTable(std::span<T> coef) : coef_(coef) {}
    T& operator()(int k, int i) const {
        assert(k >= 1 && k <= 4 && i >= 1);
        const auto at = 4 * static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(k - 1);
        assert(at < coef_.size());
        return coef_[at];
    }

private:
    std::span<T> coef_;
};

}  // namespace curve_index

}  // namespace carinex
