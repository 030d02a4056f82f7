#include "appendages/section_quantities.h"

#include <algorithm>

#include "appendages/section_data.h"

namespace carinex {

void sectionQuantities(CaseState& st) {
    const CaseInput& in = st.input;
    AppendageResults& a = st.app;
    const double VNU = st.point.VNU;
    // The strip weights integrate over the span in the angle of the depth
    // parameter; 0.0627 pi times their sum is one, so SLOPKM is their mean.
    double sum = 0.0;
    for (int i = 1; i <= kKeelStrips; ++i) {
        a.SLOPK(i) = sectionLiftSlope(in.KSTYPE, VNU * in.KCHORD(i), in.FULLSC, false);
        a.CLMXK(i) = std::max(0.0, sectionMaxLift(in.KTHICK(i)));
        sum += st.run.STRW(i) * a.SLOPK(i);
    }
    st.point.SLOPKM = 0.0627 * st.run.PI * sum;
    a.SLOPR = sectionLiftSlope(in.RSTYPE, VNU * 0.5 * (in.RCROOT + in.RCTIP), in.FULLSC, true);
    a.CLMXR = sectionMaxLift(std::min(in.RTCRT, in.RTCTP));
}

}  // namespace carinex
