// Hulls and trial states for the tests of the potential flow and the dynamic waterline.
#pragma once

#include <cmath>

#include "hydrostatics/heeled_support.h"

namespace carinex::test::flow {

using heel::kPi;
using heel::kTop;

// Semicircular sections on the design waterline, of radius R0*sqrt(1 - u^2) with
// u = (x - xm)/a: the immersed body of the upright hull is half a spheroid of semi-length a.
// A transom at u = -0.9 keeps the aft end on the aftmost station. The section outline follows
// the circle up to 60 deg above the waterline (so that heeled cuts still meet the circle), then
// runs straight up to the common top height.
struct SpheroidHull {
    int stations = 41;
    double xm = 5.0, a = 5.0, R0 = 0.5, top = 0.8;
    double uAft = -0.9;
    static constexpr int kArcPoints = 125;
    static constexpr double kStep = kPi / 150.0;

    double xAft() const { return xm + uAft * a; }
    double xFwd() const { return xm + a; }
    double R(double x) const {
        const double u = (x - xm) / a;
        return u * u < 1.0 ? R0 * std::sqrt(1.0 - u * u) : 0.0;
    }
    SectionFormula formula() const {
        return [*this](double x, int k) {
            const double r = R(x);
            if (r <= 1e-12) return SectionPoint{0.0, top * k / kTop};
            const double t = -kPi / 2.0 + kStep * std::min(k, kArcPoints);
            if (k <= kArcPoints) return SectionPoint{r * std::cos(t), r * std::sin(t)};
            const double zArc = r * std::sin(t);
            return SectionPoint{r * std::cos(t), k == kTop ? top : zArc + (top - zArc) * (k - kArcPoints) / (kTop - kArcPoints)};
        };
    }
    void prepare(CaseState& st) const { heel::prepareDirect(st, stations, xAft(), xFwd(), formula()); }
    int NSLOT() const { return stations - 1; }
};

// Speed of the trial state, with the Froude number on the heeled waterline as the force
// balance forms it (KRAENG must have run).
inline void setSpeed(CaseState& st, double VBOOT) {
    st.point.VBOOT = VBOOT;
    st.point.VNU = VBOOT / 1.19e-6;
    st.balance.FN = VBOOT / std::sqrt(st.run.GRAV * st.trial.LWLPHI);
}

}  // namespace carinex::test::flow
