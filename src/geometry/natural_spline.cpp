#include "geometry/natural_spline.h"

#include <array>
#include <vector>

namespace carinex {

void SPLNAT(int N, std::span<const double> X, std::span<const double> Y, std::span<double> Y2) {
    if (N < 1) return;
    Y2[0] = 0.0;
    Y2[N - 1] = 0.0;
    if (N < 3) return;
    // Tridiagonal system for the interior curvatures, solved by forward
    // elimination and back substitution; the system is diagonally dominant,
    // so no pivoting is needed. The program's tables are short and some are
    // fitted inside the force balance, so their scratch space is fixed; only
    // a longer table takes it from the heap.
    constexpr int kFixedPoints = 64;
    std::array<double, 2 * kFixedPoints> fixed;
    std::vector<double> heap;
    if (N > kFixedPoints) heap.resize(2 * static_cast<std::size_t>(N));
    const std::span<double> scratch = (N > kFixedPoints) ? std::span<double>(heap) : std::span<double>(fixed);
    const std::span<double> diag = scratch.first(static_cast<std::size_t>(N));
    const std::span<double> rhs = scratch.subspan(static_cast<std::size_t>(N), static_cast<std::size_t>(N));
    for (int i = 1; i < N - 1; ++i) {
        const double hl = X[i] - X[i - 1];
        const double hr = X[i + 1] - X[i];
        diag[i] = 2.0 * (X[i + 1] - X[i - 1]);
        rhs[i] = 6.0 * ((Y[i + 1] - Y[i]) / hr - (Y[i] - Y[i - 1]) / hl);
        if (i > 1) {
            const double m = hl / diag[i - 1];  // sub-diagonal over previous pivot
            diag[i] -= m * hl;                  // previous super-diagonal equals hl
            rhs[i] -= m * rhs[i - 1];
        }
    }
    for (int i = N - 2; i >= 1; --i) {
        const double upper = (i < N - 2) ? (X[i + 1] - X[i]) * Y2[i + 1] : 0.0;
        Y2[i] = (rhs[i] - upper) / diag[i];
    }
}

double splnatValue(int N, std::span<const double> X, std::span<const double> Y,
                   std::span<const double> Y2, double x) {
    if (N < 1) return 0.0;
    if (N == 1) return Y[0];
    // Bisection for the bracketing interval, for either order of the abscissae.
    const bool ascending = X[N - 1] > X[0];
    int lo = 0;
    int hi = N - 1;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if ((x >= X[mid]) == ascending) lo = mid;
        else hi = mid;
    }
    const double h = X[hi] - X[lo];
    const double A = (X[hi] - x) / h;
    const double B = 1.0 - A;
    return A * Y[lo] + B * Y[hi] + ((A * A * A - A) * Y2[lo] + (B * B * B - B) * Y2[hi]) * h * h / 6.0;
}

}  // namespace carinex
