// Rational splines held in the flow results' fixed arrays: a table of n nodes that starts at
// some slot of a per-slot array, with its coefficients and tension parameters stored from the
// start of their own arrays.
#pragma once

#include <cassert>
#include <cstddef>
#include <span>

#include "geometry/rational_spline.h"

namespace carinex::flow {

// Nodes first .. first + n - 1 of a fixed array.
template <class Array>
std::span<const double> nodes(const Array& a, int first, int n) {
    assert(first >= 0 && n >= 0 && static_cast<std::size_t>(first + n) <= a.size());
    return {a.data() + first, static_cast<std::size_t>(n)};
}

struct SplineRef {
    int n = 0;
    std::span<const double> x, coef, p;

    // Value at xv; `hint` (1 ... n) is where the interval search starts.
    double value(double xv, int& hint) const {
        double S = 0.0, DS = 0.0, RAD = 0.0;
        RATVAL(n, x, coef, p, xv, S, DS, RAD, hint);
        return S;
    }
    double value(double xv) const {
        int hint = 1;
        return value(xv, hint);
    }
    // Value and slope at xv.
    void valueSlope(double xv, double& S, double& DS) const {
        double RAD = 0.0;
        int hint = 1;
        RATVAL(n, x, coef, p, xv, S, DS, RAD, hint);
    }
};

// Fits the n nodes (x, y) into coef and p with natural ends; returns the fit's IERR.
template <class CoefArray, class PArray>
int fitNatural(int n, std::span<const double> x, std::span<const double> y, CoefArray& coef, PArray& p) {
    assert(n >= 1 && static_cast<std::size_t>(4 * (n - 1)) <= coef.size() &&
           static_cast<std::size_t>(n - 1) <= p.size());
    int IERR = 0;
    RATSPL(n, x, y, {coef.data(), coef.size()}, {p.data(), p.size()}, IERR);
    return IERR;
}

template <class CoefArray, class PArray>
SplineRef splineOf(int n, std::span<const double> x, const CoefArray& coef, const PArray& p) {
    return {n, x, {coef.data(), static_cast<std::size_t>(4 * (n > 0 ? n - 1 : 0))},
            {p.data(), static_cast<std::size_t>(n > 0 ? n - 1 : 0)}};
}

}  // namespace carinex::flow
