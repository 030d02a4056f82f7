// The equivalent body of revolution: Lamb coefficients of ellipsoids and the radius of the
// prolate spheroid that has the same coefficient.
//
// An ellipsoid moving along its axis of semi-length 1, with cross semi-axes r and s, carries
// the added mass of its axial Lamb coefficient alpha0(r, s). The flow routines replace each
// hull section by a circle: the section is first seen as an ellipse, and the circle's radius is
// that of the spheroid whose coefficient equals the ellipse's. The coefficient comes from a table
// over r = 0.1 ... 0.6 and s = 0.04 ... 0.40, interpolated bilinearly; the spheroid's radius from
// a fitted inverse.
#pragma once

#include <array>

namespace carinex {

constexpr int kGaussPoints = 40;
struct GaussPoint {
    double t, w;
};
// The 40-point Gauss-Legendre rule on (-1, 1), points ascending.
extern const std::array<GaussPoint, kGaussPoints> kGaussLegendre40;

constexpr int kLambColumns = 21;  // r = 0.1, 0.125, ... 0.6
constexpr int kLambRows = 19;     // s = 0.04, 0.06, ... 0.40
// kAlpha0[p - 1][k - 1] holds ALPHA0(p, k).
extern const std::array<std::array<double, kLambRows>, kLambColumns> kAlpha0;

// ALPHA0(p, k), p = 1 ... 21, k = 1 ... 19.
double ALPHA0(int p, int k);

// Radius over semi-length of the prolate spheroid whose axial Lamb coefficient is alpha.
double RHOEQ(double alpha);

// Equivalent-radius ratio of an elliptic section with semi-axes a and b against a body of
// semi-length LREF: the spheroid radius ratio of the interpolated Lamb coefficient. A section
// whose larger semi-axis exceeds 0.6*LREF lies beyond the table; unless `extrapolate` is set the
// ratio is then that of the smaller semi-axis, min(a, b)/LREF.
double equivalentRadiusRatio(double a, double b, double LREF, bool extrapolate = false);

// True when the section lies within the table's range of r (max(a, b)/LREF <= 0.6).
bool withinLambTable(double a, double b, double LREF);

}  // namespace carinex
