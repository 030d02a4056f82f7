#include "flow/flow_models.h"

namespace carinex {

void VOLEFF(CaseState&, RunFiles&, int, double, int& IERR) { IERR = 0; }

void TRANSM(CaseState&, double) {}

void RUDIMM(CaseState&, double, double, double) {}

}  // namespace carinex
