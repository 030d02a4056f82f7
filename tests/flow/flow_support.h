// The round hull (semicircular sections on the design waterline) in a trial state, for the tests
// of the potential flow, the dynamic waterline and the transom and rudder.
#pragma once

#include <cmath>

#include "flow/potential_flow.h"
#include "hydrostatics/heeled_support.h"

namespace carinex::test::flow {

// Speed of the trial state, with the Froude number on the heeled waterline as the force
// balance forms it (KRAENG must have run).
inline void setSpeed(CaseState& st, double VBOOT) {
    st.point.VBOOT = VBOOT;
    st.point.VNU = VBOOT / 1.19e-6;
    st.balance.FN = VBOOT / std::sqrt(st.run.GRAV * st.trial.LWLPHI);
}

// The round hull's sections put straight into the prepared arrays.
inline void prepareRound(CaseState& st, const heel::RoundHull& hull) {
    heel::prepareDirect(st, hull.stations, hull.xAft(), hull.xFwd(), [&](double x, int k) { return hull.point(x, k); });
    st.upright.LWL = hull.xFwd() - hull.xAft();
}

// The round hull at a trial state, its heeled waterline found (KRAENG) from the trial position
// XTRIAL of the bow wave; wpoti() runs the potential flow at a speed.
struct RoundTrial {
    heel::Bench b;
    CaseState& st = *b.st;
    heel::RoundHull hull;
    double XTRIAL = 0.0;

    explicit RoundTrial(double heelDegrees, double SINKG = 0.0, double TRIMW = 0.0, heel::RoundHull shape = {})
        : hull(shape) {
        prepareRound(st, hull);
        XTRIAL = 0.0075 * st.upright.LWL;
        heel::setTrial(st, SINKG, TRIMW, heelDegrees);
        EXPECT_EQ(heel::kraeng(b, NSLOT(), XTRIAL), 0) << b.console.str();
    }
    int NSLOT() const { return hull.stations - 1; }
    int wpoti(double VBOOT, double& PSQ) {
        setSpeed(st, VBOOT);
        int IERR = 0;
        WPOTI(st, b.io, st.point.VNU, st.flow.DTRANS, XTRIAL, PSQ, st.trial.ISTA2 - st.trial.ISTA1 + 1, NSLOT(), IERR);
        return IERR;
    }
};

}  // namespace carinex::test::flow
