// Bulirsch-Stoer integration of a small system of ordinary differential equations with step-size
// control: each step runs the modified midpoint rule with 2, 4, 6, ... substeps, extrapolates
// the results polynomially to zero substep length, and picks the order and the next step length
// by the work per unit step. Accurate and cheap for smooth right-hand sides such as the integral
// boundary-layer equations between two transition events.
#pragma once

#include <array>

namespace carinex {

constexpr int kOdeComponents = 8;
using OdeState = std::array<double, kOdeComponents>;

// The right-hand sides dy/ds of the system. Components that do not take part keep a derivative
// of 0 and pass through the integration unchanged.
class OdeSystem {
public:
    virtual void derivatives(double s, const OdeState& y, OdeState& dyds) = 0;

protected:
    ~OdeSystem() = default;
};

// Integrates y from s1 to s2 (s2 > s1), trying the step htry first. The error of each step is
// measured against 0.01*|y| + |h*dy/ds| + 1e-30 per component. Returns false, with y undefined,
// when a step cannot be completed: the step length underflows, the right-hand sides are not
// finite, or more than 10000 steps would be needed.
bool BSSTEP(OdeSystem& system, OdeState& y, double s1, double s2, double htry);

}  // namespace carinex
