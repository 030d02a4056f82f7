#include "flow/friction_line.h"

#include <cmath>

namespace carinex {

double frictionLineSubstitute(const CaseState& st) {
    const double Re = st.point.VNU * 0.7 * st.upright.LWL;
    const double logTerm = std::log10(Re) - 2.0;
    return 2.0 * st.point.QDYN * st.balance.SWET * 0.075 / (logTerm * logTerm);
}

}  // namespace carinex
