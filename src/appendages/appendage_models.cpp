#include "appendages/appendage_models.h"

namespace carinex {

void APPFRC(CaseState& st, double, double, double, double&, double) {
    AppendageResults& a = st.app;
    a.FXK = a.FYK = a.FZK = a.MYK = 0.0;
    a.FXR = a.FYR = a.FZR = a.MYR = 0.0;
    a.STIMK = a.STIMR = a.RTRIM = 0.0;
    // the hull carries its friction along its axis, resolved on the course
    a.XHULL = st.flow.RFRIC;
    a.YHULL = -st.point.SINLW * a.XHULL;
    a.RHULL = st.point.COSLW * a.XHULL;
}

}  // namespace carinex
