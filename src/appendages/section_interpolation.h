// Evaluation of the tabulated section curves: polynomials, the linear
// interpolation in log10 Re between Reynolds stations and the bilinear
// thickness-increment tables. Internal to the section data.
#pragma once

#include <algorithm>
#include <cmath>

#include "appendages/section_tables.h"

namespace carinex::section_tables {

// log10 Re; a section at rest (Re = 0) is evaluated at Re = 1 so that the
// polynomials in log10 Re stay finite: its forces vanish with the speed anyway.
inline double log10Reynolds(double RE) { return std::log10(std::max(RE, 1.0)); }

template <std::size_t N>
double horner(const std::array<double, N>& c, double u) {
    double s = 0.0;
    for (std::size_t k = N; k-- > 0;) s = s * u + c[k];
    return s;
}

// The extra c / a term appears only on pieces away from zero angle.
inline double anglePolynomial(const AnglePiece& p, double a) {
    return p.cinv != 0.0 ? horner(p.c, a) + p.cinv / a : horner(p.c, a);
}

inline double liftPolynomial(const LiftCurve& c, double a) {
    return a <= c.knot ? anglePolynomial(c.lo, a) : anglePolynomial(c.hi, a);
}

inline double dragPolynomial(const DragCurve& c, double CL2) { return CL2 <= c.knot ? horner(c.lo, CL2) : horner(c.hi, CL2); }

inline double zeroLiftDrag(const ZeroLift& z, double x) {
    int i = 0;
    while (i + 1 < z.n && x > z.split[static_cast<std::size_t>(i)]) ++i;
    return horner(z.piece[static_cast<std::size_t>(i)], x);
}

// Curve value at RE: the first curve below the first station, the last at
// or above the last station, else linear in log10 Re between the two
// stations around RE (the lower one opens its interval with weight 0).
template <class Set, class Eval>
double interpolateStations(const Set& s, double RE, double x, Eval value) {
    const int last = s.n - 1;
    if (RE < s.re[0]) return value(s.curve[0]);
    if (RE >= s.re[static_cast<std::size_t>(last)]) return value(s.curve[static_cast<std::size_t>(last)]);
    std::size_t k = 0;
    while (RE >= s.re[k + 1]) ++k;
    const double pk = value(s.curve[k]);
    return pk + (x - s.logRe[k]) / s.span[k] * (value(s.curve[k + 1]) - pk);
}

// Position of v in the ascending list t: interval i and weight w in it, held
// at the end values outside the list.
template <std::size_t N, class Get>
void bracket(double v, Get t, std::size_t& i, double& w) {
    if (v <= t(0)) { i = 0; w = 0.0; return; }
    if (v >= t(N - 1)) { i = N - 2; w = 1.0; return; }
    i = 0;
    while (v > t(i + 1)) ++i;
    w = (v - t(i)) / (t(i + 1) - t(i));
}

// Drag increment D per unit thickness term at x = log10 Re and the angle in
// degrees: linear between the angle columns and between the rows, the end
// row outside the rows.
template <std::size_t Rows, std::size_t Cols>
double thicknessIncrement(const ThicknessTable<Rows, Cols>& tab, const std::array<double, Cols>& angles, double x,
                          double ALFDEG) {
    std::size_t r = 0, c = 0;
    double wr = 0.0, wc = 0.0;
    bracket<Rows>(x, [&](std::size_t i) { return tab.row[i].logRe; }, r, wr);
    bracket<Cols>(ALFDEG, [&](std::size_t i) { return angles[i]; }, c, wc);
    auto atRow = [&](std::size_t i) { return tab.row[i].d[c] + wc * (tab.row[i].d[c + 1] - tab.row[i].d[c]); };
    return atRow(r) + wr * (atRow(r + 1) - atRow(r));
}

}  // namespace carinex::section_tables
