// Romberg integral of a rational spline (RATINT).
//
// The trapezoid sums T(j) with 2^(j-1) panels have, for a smooth integrand, an error series in
// even powers of the panel width. Step measure H(j) = 1, 1/4, 1/16, ... is the squared panel
// width up to a constant, so extrapolating a polynomial in H through the last five (H, T) pairs
// to H = 0 removes the error terms up to h^8. The last correction of the Neville scheme is the
// error estimate. The tables live in this routine's frame: two integrals may run side by side.
#include <array>
#include <cmath>

#include "geometry/rational_piece.h"
#include "geometry/rational_spline.h"

namespace carinex {

namespace {

using curve_index::OneBased;

constexpr int kMaxLevels = 25;
constexpr int kExtrapolationPoints = 5;
constexpr double kRelativeTolerance = 1e-10;
// An integral below this fraction of its integrand's size has lost its value to cancellation.
constexpr double kCancellation = 1e-3;

struct SplineTable {
    int N;
    std::span<const double> X, COEF, P;
};

// The value of the curve at x, as RATVAL_S gives it, in line: the integrals take most of the
// curve evaluations of a trial state.
double spline_value(const SplineTable& curve, double x, int& hint, bool ascending) {
    using namespace rational_piece;
    const RationalPiece piece = piece_at(curve.N, curve.X, curve.COEF, curve.P, x, hint, ascending);
    return piece_value(piece, PieceAt(piece, (x - piece.x1) / piece.h));
}

// A sum of the curve's values at equally spaced points, and the sum of their magnitudes.
struct Sums {
    double value = 0.0;
    double magnitude = 0.0;
    void add(double s) {
        value += s;
        magnitude += std::fabs(s);
    }
};

// The sums at the points x, x + spacing, ... (count of them), point by point with the interval
// search, added to `sum`.
Sums searched_sum(const SplineTable& curve, double x, double spacing, long long count, int hint,
                  Sums sum) {
    const bool ascending = curve.X[0] < curve.X[static_cast<std::size_t>(curve.N - 1)];
    for (long long k = 0; k < count; ++k, x += spacing) sum.add(spline_value(curve, x, hint, ascending));
    return sum;
}

// The same sum over a strictly increasing table with ascending finite points: the points are
// taken interval by interval, in the same order and with the same pieces as the search would
// find them, so the sum is the same to the last bit. Most pieces are cubic: they skip the
// denominators (each exactly 1) for the whole interval.
Sums walked_sum(const SplineTable& curve, double x, double spacing, long long count) {
    using namespace rational_piece;
    const OneBased<const double> X(curve.X);
    const int last = curve.N - 1;
    int hint = curve.N / 2;
    int i = find_interval(curve.N, X, x, hint, true);
    Sums sum;
    long long k = 0;
    while (k < count) {
        const RationalPiece piece = piece_of(i, curve.X, curve.COEF, curve.P);
        // the last interval also takes the points beyond the table, as the search does
        const double next = i < last ? X(i + 1) : INFINITY;
        if (piece.p == 0.0) {
            for (; k < count && x < next; ++k, x += spacing) {
                const double t = (x - piece.x1) / piece.h;
                sum.add(cubic_value(piece, t, 1.0 - t));
            }
        } else {
            for (; k < count && x < next; ++k, x += spacing)
                sum.add(piece_value(piece, PieceAt(piece, (x - piece.x1) / piece.h)));
        }
        if (k == count) break;
        if (!(x >= next)) return searched_sum(curve, x, spacing, count - k, i, sum);
        while (i < last && x >= X(i + 1)) ++i;
    }
    return sum;
}

// The table's abscissae strictly increase: the walk above finds the search's intervals.
bool strictly_increasing(const SplineTable& curve) {
    for (int j = 1; j < curve.N; ++j)
        if (!(curve.X[static_cast<std::size_t>(j)] > curve.X[static_cast<std::size_t>(j - 1)])) return false;
    return true;
}

// Trapezoid sums of the integrand and of its magnitude at one level.
struct Trapezoid {
    double value;
    double size;  // the same rule applied to |s|: the size of the integrand over [A, B]
};

// Level j >= 2 of the trapezoid rule: T(j-1) refined by the 2^(j-2) midpoints of its panels.
// walk: the midpoints may be taken interval by interval (an increasing table, A < B finite).
Trapezoid refined_trapezoid(const SplineTable& curve, double A, double B, const Trapezoid& previous,
                            int level, bool walk) {
    const double panels = std::ldexp(1.0, level - 2);
    const double spacing = (B - A) / panels;
    const double x = A + 0.5 * spacing;
    const auto count = static_cast<long long>(panels);
    Sums sum;
    if (curve.N >= 2) {  // a table without an interval holds no curve: all values 0
        sum = walk && std::isfinite(spacing) ? walked_sum(curve, x, spacing, count)
                                             : searched_sum(curve, x, spacing, count, curve.N / 2, Sums{});
    }
    return {0.5 * (previous.value + (B - A) * sum.value / panels),
            0.5 * (previous.size + std::fabs(B - A) * sum.magnitude / panels)};
}

struct Extrapolation {
    double value;
    double correction;  // last correction of the scheme: the error estimate
};

// Neville's scheme through the pairs (H, T) of levels last-4 ... last, evaluated at H = 0. It
// starts from the tabulated point nearest to 0 and walks the tableau with the differences c
// (upwards) and d (downwards), adding one correction per column. Point k of the scheme is
// level last - n + k.
Extrapolation extrapolate_to_zero(OneBased<const double> H, OneBased<const double> T, int last) {
    constexpr int n = kExtrapolationPoints;
    auto h = [&](int k) { return H(last - n + k); };
    auto f = [&](int k) { return T(last - n + k); };
    std::array<double, n> c_store{};
    std::array<double, n> d_store{};
    const OneBased<double> c{std::span<double>(c_store)};
    const OneBased<double> d{std::span<double>(d_store)};
    int ns = 1;
    double nearest = std::fabs(h(1));
    for (int k = 1; k <= n; ++k) {
        if (std::fabs(h(k)) < nearest) {
            ns = k;
            nearest = std::fabs(h(k));
        }
        c(k) = f(k);
        d(k) = f(k);
    }
    Extrapolation e{f(ns), 0.0};
    --ns;
    for (int m = 1; m <= n - 1; ++m) {
        for (int k = 1; k <= n - m; ++k) {
            const double ho = h(k);
            const double hp = h(k + m);
            const double ratio = (c(k + 1) - d(k)) / (ho - hp);  // step measures are distinct
            d(k) = hp * ratio;
            c(k) = ho * ratio;
        }
        if (2 * ns < n - m) {
            e.correction = c(ns + 1);
        } else {
            e.correction = d(ns);
            --ns;
        }
        e.value += e.correction;
    }
    return e;
}

}  // namespace

void RATINT(double A, double B, double FA, double FB, double& RES, int N,
            std::span<const double> X, std::span<const double> COEF, std::span<const double> P,
            double& ERR, int& IERR) {
    ERR = kRelativeTolerance;
    const SplineTable curve{N, X, COEF, P};
    const bool walk = A < B && std::isfinite(A) && std::isfinite(B) && strictly_increasing(curve);
    // Level j's step measure and trapezoid sum; H(j+1) is written after level j.
    std::array<double, kMaxLevels + 1> H_store{};
    std::array<double, kMaxLevels + 1> T_store{};
    const OneBased<double> H{std::span<double>(H_store)};
    const OneBased<double> T{std::span<double>(T_store)};
    H(1) = 1.0;
    Extrapolation last{0.0, 0.0};
    Trapezoid level{0.5 * (B - A) * (FA + FB), 0.5 * std::fabs(B - A) * (std::fabs(FA) + std::fabs(FB))};
    for (int j = 1; j <= kMaxLevels; ++j) {
        if (j > 1) level = refined_trapezoid(curve, A, B, level, j, walk);
        T(j) = level.value;
        if (j >= kExtrapolationPoints) {
            last = extrapolate_to_zero(H, T, j);
            RES = last.value;
            if (std::fabs(last.correction) <= kRelativeTolerance * std::fabs(RES)) return;
            // An integral whose parts cancel (a moment about a point near the centroid) may
            // have a value near 0 that no relative test can meet within the round-off of its
            // sums: once its value is lost in that cancellation, it has converged when the
            // correction is as small against the size of its integrand.
            const bool cancelled = std::fabs(RES) <= kCancellation * level.size;
            if (cancelled && std::fabs(last.correction) <= kRelativeTolerance * level.size) return;
        }
        H(j + 1) = 0.25 * H(j);
    }
    // A zero result with a nonzero correction has no finite relative error: ERR is then
    // infinite, which every caller's acceptance test rejects.
    ERR = std::fabs(last.correction) / std::fabs(RES);
    IERR = 100;
}

}  // namespace carinex
