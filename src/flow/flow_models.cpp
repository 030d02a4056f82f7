#include "flow/flow_models.h"

#include "flow/friction_line.h"

namespace carinex {

void BLAYER(CaseState& st, RunFiles&, double& RFRIC, double, double&, double, int, int, int& IERR) {
    RFRIC = frictionLineSubstitute(st);
    st.flow.MYVISC = 0.0;
    st.flow.RSTUD = 0.0;
    st.flow.XTR = st.hull.XFKEEL;  // no transition point: reported at the forward end
    IERR = 0;
}

void VOLEFF(CaseState&, RunFiles&, int, double, int& IERR) { IERR = 0; }

void TRANSM(CaseState&, double) {}

void RUDIMM(CaseState&, double, double, double) {}

}  // namespace carinex
