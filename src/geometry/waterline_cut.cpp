// Waterline cuts of a prepared section (WLCUT, WLCUT2).
//
// For a line ZS = Z0 + m*YS the signed height of point k below the line is
// f(k) = ZS(k) - Z0 - m*YS(k) (f > 0: wet). Along segment k ... k+1 f is linear, so the line
// crosses the segment at the fraction T = f(k) / (f(k) - f(k+1)). The wet/dry test of a point
// uses the slope of the ray from the line's origin (YS = 0, ZS = Z0) to the point instead of f,
// which is the same test for YS > 0.
#include "geometry/waterline_cut.h"

namespace carinex {

namespace {

constexpr int kSectionPoints = 151;
using SectionCoordinates = std::array<double, kSectionPoints>;
constexpr int kLastPoint = kSectionPoints - 1;
constexpr int kNoCrossing = kSectionPoints;  // segment number meaning "no such crossing"
constexpr double kRatioOnCentrePlane = 1e40;  // a point on the centre plane is never dry

// f(k) / (f(k) - f(k+1)) given numerator and denominator. A segment parallel to the line
// (zero denominator) has no crossing fraction; 0 puts the crossing at its lower point.
double crossing_fraction(double numerator, double denominator) {
    return denominator != 0.0 ? numerator / denominator : 0.0;
}

// Crossing fraction on segment k of WLCUT's line ZS = Z0 + S*YS.
double wlcut_fraction(double Z0, double S, const SectionCoordinates& YS,
                      const SectionCoordinates& ZS, int k) {
    const double T = crossing_fraction(S * YS[k] + Z0 - ZS[k],
                                       (ZS[k + 1] - ZS[k]) - (YS[k + 1] - YS[k]) * S);
    if (!(T >= 0.0)) return 0.0;  // also a NaN from infinite coordinates
    return T > 1.0 ? 1.0 : T;
}

// Crossing fraction on segment k of WLCUT2's line ZS = Z0 - S*YS.
double wlcut2_fraction(double Z0, double S, const SectionCoordinates& YS,
                       const SectionCoordinates& ZS, int k) {
    return crossing_fraction(S * YS[k] - Z0 + ZS[k],
                             (ZS[k] - ZS[k + 1]) + (YS[k] - YS[k + 1]) * S);
}

}  // namespace

void WLCUT(double Z0, double S, const SectionCoordinates& YS, const SectionCoordinates& ZS,
           int& I, double& T) {
    int lo = 0;
    int hi = kLastPoint;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        const double r = YS[mid] > 0.0 ? (ZS[mid] - Z0) / YS[mid] : kRatioOnCentrePlane;
        if (S > r) {  // point mid lies above the line: dry
            hi = mid;
        } else {
            lo = mid;
        }
    }
    I = lo;
    T = wlcut_fraction(Z0, S, YS, ZS, I);
}

void WLCUT2(double Z0, double S, const SectionCoordinates& YS, const SectionCoordinates& ZS,
            int& I1, double& T1, int& I2, double& T2) {
    I1 = kNoCrossing;
    T1 = 0.0;
    I2 = kNoCrossing;
    T2 = 0.0;
    bool entered = false;
    for (int i = 0; i < kLastPoint; ++i) {
        // S > q: point i+1 lies below the line; q > S: above it.
        const double q = (Z0 - ZS[i + 1]) / YS[i + 1];
        if (!entered) {
            if (S > q) {
                I1 = i;
                T1 = wlcut2_fraction(Z0, S, YS, ZS, i);
                entered = true;
            }
        } else if (q > S) {
            I2 = i;
            T2 = wlcut2_fraction(Z0, S, YS, ZS, i);
            return;
        }
    }
}

}  // namespace carinex
