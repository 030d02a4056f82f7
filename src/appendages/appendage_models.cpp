#include "appendages/appendage_models.h"

namespace carinex {

double TRIMRG(CaseState&, double) { return 0.0; }

double RESIRG(CaseState&, double, double) { return 0.0; }

}  // namespace carinex
