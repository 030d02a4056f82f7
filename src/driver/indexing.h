// Index conventions of the case state.
//
// Counts, strips and test points are numbered from 1, as the users and the
// formulas number them (KCHORD(1) is the keel root strip, TP(k,i) column k of
// test point i). These small views keep that numbering in the code, so that no
// formula ever subtracts 1 by hand; debug builds check every index.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>

namespace carinex {

// One-based vector a(1) .. a(N).
template <class T, int N>
struct OneBased {
    std::array<T, N> data{};

    T& operator()(int i) {
        assert(i >= 1 && i <= N);
        return data[static_cast<std::size_t>(i - 1)];
    }
    const T& operator()(int i) const {
        assert(i >= 1 && i <= N);
        return data[static_cast<std::size_t>(i - 1)];
    }
    void fill(const T& v) { data.fill(v); }
    static constexpr int size() { return N; }
};

// One-based two-index array a(j,i), j = 1..Rows fastest; the index order is
// the one the formulas use (YOFF(j,i): point j of station i).
template <class T, int Rows, int Cols>
struct OneBased2D {
    std::array<T, static_cast<std::size_t>(Rows) * Cols> data{};

    T& operator()(int j, int i) {
        assert(j >= 1 && j <= Rows && i >= 1 && i <= Cols);
        return data[static_cast<std::size_t>(i - 1) * Rows + static_cast<std::size_t>(j - 1)];
    }
    const T& operator()(int j, int i) const {
        assert(j >= 1 && j <= Rows && i >= 1 && i <= Cols);
        return data[static_cast<std::size_t>(i - 1) * Rows + static_cast<std::size_t>(j - 1)];
    }
    void fill(const T& v) { data.fill(v); }
    static constexpr int rows() { return Rows; }
    static constexpr int cols() { return Cols; }
};

}  // namespace carinex
