// Lift-slope factor and maximum lift coefficient of a section: the strip
// quantities the appendage forces read once per test point.
#include <algorithm>

#include "appendages/section_data.h"
#include "appendages/section_interpolation.h"

namespace carinex {

namespace {

double liftSlope00(double x, bool FULLSC) {
    if (FULLSC) return 0.03133795 * x + 0.8035687;
    const double xs = std::min(x, 7.5);
    return xs * (0.261271 - 0.0174566 * xs) + 0.0618035;
}

double liftSlope63(double x, bool FULLSC) {
    if (FULLSC) return x * (0.08607117 - 0.00324967 * x) + 0.5620922;
    const double xs = std::min(x, 7.5);
    return xs * (0.35611 - 0.023753 * xs) - 0.30912;
}

// The 64-series tank data were measured on keel and rudder models of their
// own, each with its own regimes of laminar separation.
double liftSlope64(double x, double RE, bool FULLSC, bool RUDDER) {
    if (FULLSC) return x * (0.168129 - 0.00961684 * x) + 0.302149;
    if (RUDDER) {
        if (RE < 3e5) return 0.0485 * x + 0.6802;
        if (RE <= 8e5) return 0.0985 * x + 0.4063;
        return 0.0333 * x + 0.7907;
    }
    if (RE < 3e5) return 0.0479 * x + 0.6838;
    if (RE <= 1.3e6) return 0.079 * x + 0.513;
    return 0.0306 * x + 0.8091;
}

}  // namespace

double sectionLiftSlope(int ITYPE, double RE, bool FULLSC, bool RUDDER) {
    const double x = section_tables::log10Reynolds(RE);
    if (ITYPE == 63) return liftSlope63(x, FULLSC);
    if (ITYPE == 64) return liftSlope64(x, RE, FULLSC, RUDDER);
    return liftSlope00(x, FULLSC);
}

// Cubic spline through the measured maximum lift of sections 3 % to 18 %
// thick, with its stored second derivatives; 0.95 accounts for the finite
// span of keel and rudder.
double sectionMaxLift(double TC) {
    constexpr double t[5] = {0.03, 0.06, 0.09, 0.12, 0.18};
    constexpr double y[5] = {0.8, 0.84, 1.32, 1.6, 1.49};
    constexpr double y2[5] = {-500.0, 900.0, -900.0, 130.0, 0.0};
    if (TC <= 0.03) return 0.76;
    if (TC >= 0.18) return 0.95 * (2.09 - TC / 0.3);
    int k = 0;
    while (TC > t[k + 1]) ++k;
    const double h = (k == 3) ? 0.06 : 0.03;
    const double A = (t[k + 1] - TC) / h;
    const double B = 1.0 - A;
    return 0.95 * (A * y[k] + B * y[k + 1] + ((A * A * A - A) * y2[k] + (B * B * B - B) * y2[k + 1]) * h * h / 6.0);
}

}  // namespace carinex
