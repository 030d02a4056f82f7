#include "appendages/lu_solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "platform/fixed_format.h"

namespace carinex {

namespace {

// One-based view of a column-major matrix with leading dimension NP.
template <class T>
class Columns {
public:
    Columns(std::span<T> a, int NP) : a_(a), np_(static_cast<std::size_t>(NP)) {}
    T& operator()(int i, int j) const {
        return a_[static_cast<std::size_t>(j - 1) * np_ + static_cast<std::size_t>(i - 1)];
    }

private:
    std::span<T> a_;
    std::size_t np_;
};

// One-based view of a vector.
template <class T>
class Vec {
public:
    explicit Vec(std::span<T> v) : v_(v) {}
    T& operator()(int i) const { return v_[static_cast<std::size_t>(i - 1)]; }

private:
    std::span<T> v_;
};

bool fits(int NP, int N, std::size_t matrixSize, std::size_t vectorSize) {
    if (N > kLuMaxOrder || N > NP) return false;
    const std::size_t n = static_cast<std::size_t>(N);
    return matrixSize >= static_cast<std::size_t>(NP) * (n - 1) + n && vectorSize >= n;
}

// Implicit scaling: VV(i) = 1 / largest magnitude of row i. False for a row of zeros.
bool rowScales(const Columns<double>& a, int N, Vec<double> VV) {
    for (int i = 1; i <= N; ++i) {
        double big = 0.0;
        for (int j = 1; j <= N; ++j) big = std::max(big, std::fabs(a(i, j)));
        if (big == 0.0) return false;
        VV(i) = 1.0 / big;
    }
    return true;
}

// Column j of Crout's scheme: the U entries above the diagonal, then the
// candidates on and below it; returns the row of the largest scaled
// candidate (the last of equals).
int eliminateColumn(const Columns<double>& a, int N, int j, Vec<double> VV) {
    for (int i = 1; i < j; ++i) {
        double sum = a(i, j);
        for (int k = 1; k < i; ++k) sum -= a(i, k) * a(k, j);
        a(i, j) = sum;
    }
    double big = 0.0;
    int imax = N;
    for (int i = j; i <= N; ++i) {
        double sum = a(i, j);
        for (int k = 1; k < j; ++k) sum -= a(i, k) * a(k, j);
        a(i, j) = sum;
        const double scaled = VV(i) * std::fabs(sum);
        if (scaled >= big) {
            big = scaled;
            imax = i;
        }
    }
    return imax;
}

}  // namespace

void LUDCMP(std::ostream& console, int NP, int N, std::span<double> A, std::span<int> INDX, double& D, int& IERR) {
    IERR = 0;
    D = 1.0;
    if (N < 1) return;
    if (!fits(NP, N, A.size(), INDX.size())) {
        IERR = kLuTooLarge;
        return;
    }
    const Columns<double> a(A, NP);
    const Vec<int> indx(INDX);
    std::array<double, kLuMaxOrder> scales{};
    const Vec<double> VV(std::span<double>(scales.data(), static_cast<std::size_t>(N)));
    if (!rowScales(a, N, VV)) {
        writeFree(console, "Matrix singulär");
        IERR = kLuSingular;
        return;
    }
    for (int j = 1; j <= N; ++j) {
        const int imax = eliminateColumn(a, N, j, VV);
        if (imax != j) {
            for (int k = 1; k <= N; ++k) std::swap(a(imax, k), a(j, k));
            D = -D;
            VV(imax) = VV(j);
        }
        indx(j) = imax;
        if (a(j, j) == 0.0) {
            writeFree(console, "AMATRX = TINY");
            a(j, j) = kLuTinyPivot;
        }
        if (j < N) {
            const double pivot = a(j, j);
            for (int i = j + 1; i <= N; ++i) a(i, j) /= pivot;
        }
    }
}

void LUBKSB(int NP, int N, std::span<const double> A, std::span<double> B, std::span<const int> INDX) {
    if (N < 1 || !fits(NP, N, A.size(), std::min(B.size(), INDX.size()))) return;
    const Columns<const double> a(A, NP);
    const Vec<double> b(B);
    const Vec<const int> indx(INDX);
    // forward substitution in the permuted order; ii is the first non-zero entry
    int ii = 0;
    for (int i = 1; i <= N; ++i) {
        const int ip = indx(i);
        double sum = b(ip);
        b(ip) = b(i);
        if (ii != 0) {
            for (int j = ii; j < i; ++j) sum -= a(i, j) * b(j);
        } else if (sum != 0.0) {
            ii = i;
        }
        b(i) = sum;
    }
    for (int i = N; i >= 1; --i) {
        double sum = b(i);
        for (int j = i + 1; j <= N; ++j) sum -= a(i, j) * b(j);
        b(i) = sum / a(i, i);
    }
}

}  // namespace carinex
