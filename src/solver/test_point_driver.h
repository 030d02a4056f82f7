// The virtual towing-tank campaign: upright particulars and the report head,
// then every test point of the case solved for its floating equilibrium and
// written as a row of the resistance table.
#pragma once

#include <array>

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// NSTM1: number of stations - 1. IERR: 0, the code of the upright
// particulars, or 1 for an unknown water type.
void TANK(CaseState& st, RunFiles& io, int NSTM1, int& IERR);

// Residuals of the floating equilibrium of the latest force balance:
// relative vertical-force imbalance and moment imbalance as a lever over a
// tenth of the waterline length.
std::array<double, 2> equilibriumResidualsOf(const CaseState& st);

// Start values of attempt k = 1, 2, ... of the equilibrium search, in
// units of which the search measures sinkage and trim.
struct StartScales {
    double TRIM0, SINK0;
};
StartScales startScales(int k, double TC);

// Where attempt k of the equilibrium search leads, given its convergence
// flags and the residuals at its result: a search that stalls with both
// residuals below 0.001 is accepted; up to five attempts.
enum class AttemptOutcome { Solved, Accepted, Restart, NotConverged };
AttemptOutcome attemptOutcome(int k, bool NOCONV, int IERR, double RF, double RM);

// Water density and kinematic viscosity at temperature T (deg C);
// IWATER 1 fresh, 2 sea water. False for any other water type.
bool waterProperties(int IWATER, double T, double& RHO, double& VISC);

}  // namespace carinex
