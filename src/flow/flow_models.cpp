#include "flow/flow_models.h"

namespace carinex {

void WPOTI(CaseState& st, RunFiles&, double, double& W, int, int, int& IERR) {
    W = 0.0;
    st.flow.DEQ = 0.0;
    st.flow.DTRANS = 0.0;
    IERR = 0;
}

void VOLEFF(CaseState&, RunFiles&, int, double, int& IERR) { IERR = 0; }

void TRANSM(CaseState&, double) {}

void RUDIMM(CaseState&, double, double, double) {}

}  // namespace carinex
