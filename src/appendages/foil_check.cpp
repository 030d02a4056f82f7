#include "appendages/foil_check.h"

namespace carinex {

// The section data tables are not part of the program yet, so there is no
// range to check against: every section is accepted as it is.
void FOILCK(int /*ITYPE*/, double /*TC*/, double& /*SWEEP*/, int& ISTAT, bool /*FULLSC*/) { ISTAT = 0; }

}  // namespace carinex
