// Friction of the bare hull from an integral boundary layer marched along the streamline of the
// mean-depth line, from the bow to the stern of the dynamic waterline: laminar with momentum and
// energy equations, natural transition (Abu-Ghannam and Shaw, or laminar separation) or forced
// transition at the turbulence stimulator, an intermittent transition zone, turbulent with the
// lag-entrainment equations, and a one-equation momentum-area model for a thick layer near the
// stern. A separated or transom stern raises the form factor by its base drag.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Error code of a march step that cannot be completed even in more than 9999 parts.
constexpr int kBlayerIntegrationFailure = 5;

// RFRIC the friction resistance with the form factor FFORM (raised by the base drag); XTRIAL
// the run behind the dynamic bow where the march starts; NSLOT the last station slot; NST the
// node count of the mean-depth spline DSR over SR. Also sets THETA, H12, CFHALF per slot, XTR,
// RSTUD and MYVISC. IERR = 5 when the integration fails; then no result is changed.
void BLAYER(CaseState& st, RunFiles& io, double& RFRIC, double VBOOT, double& FFORM, double XTRIAL, int NSLOT,
            int NST, int& IERR);

}  // namespace carinex
