// The bare-hull forces of one trial state: friction, leeway symmetry,
// Froude-number limits, flow-trim force. (The whole force balance is tested on
// the example campaign in test_point_driver_test.cpp.)
#include "solver/force_balance.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "driver/case_state.h"

namespace carinex {
namespace {

// Bare-hull forces XHULL, YHULL, RHULL, RTRIM of a symmetric trial state
// whose hydrostatic inputs are set by hand.
std::array<double, 4> handForces(double FN, double leeway, double flowTrim = 0, double drift = 0) {
    auto st = makeCaseState();
    st->point.QDYN = 4000.0;
    st->point.COSPHI = std::cos(0.2);
    st->point.LEEWAY = leeway;
    st->point.SINLW = std::sin(leeway);
    st->point.COSLW = std::cos(leeway);
    st->trial.AHULL = 3.0;
    st->trial.AWLPHI = 20.0;
    st->trial.DRFPHI = drift;
    st->balance.TLIFT = 0.5;
    st->balance.FN = FN;
    st->flow.RFRIC = 500.0;
    bareHullForces(*st, flowTrim);
    return {st->app.XHULL, st->app.YHULL, st->app.RHULL, st->app.RTRIM};
}

TEST(BareHullForces, FrictionLeewayAndFlowTrim) {
    // straight ahead only the friction, along the drifting centre line
    EXPECT_EQ(handForces(0.3, 0.0, 0.0, 0.01), (std::array{500.0, -500.0 * 0.01, 500.0, 0.0}));
    // the lift polynomial's Froude number is limited to 0.2 .. 0.45
    EXPECT_EQ(handForces(0.1, 0.05), handForces(0.2, 0.05));
    EXPECT_EQ(handForces(0.6, 0.05), handForces(0.45, 0.05));
    EXPECT_NE(handForces(0.3, 0.05), handForces(0.2, 0.05));
    // leeway to either side mirrors the side force; induced drag adds to the friction
    const auto port = handForces(0.3, 0.05), starboard = handForces(0.3, -0.05);
    EXPECT_NEAR(port[0], starboard[0], 1e-9);
    EXPECT_NEAR(port[1], -starboard[1], 1e-9);
    EXPECT_NEAR(port[2], starboard[2], 1e-9);
    EXPECT_GT(port[0], 500.0);
    // a bow-down flow trim t gives q AWL t^2 and t times it in the drag; bow up nothing
    const auto up = handForces(0.3, 0.0, 0.01);
    EXPECT_DOUBLE_EQ(up[3], 4000.0 * 20.0 * 1e-4);
    EXPECT_DOUBLE_EQ(up[0], 500.0 + 0.01 * up[3]);
    EXPECT_EQ(handForces(0.3, 0.0, -0.01)[3], 0.0);
}

}  // namespace
}  // namespace carinex
