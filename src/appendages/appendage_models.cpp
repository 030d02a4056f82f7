#include "appendages/appendage_models.h"

#include <algorithm>

#include "appendages/section_data.h"

namespace carinex {

// Interim, until the section data arrive with their own version of this.
void sectionQuantities(CaseState& st) {
    const CaseInput& in = st.input;
    AppendageResults& a = st.app;
    const double VNU = st.point.VNU;
    double sum = 0.0;
    for (int i = 1; i <= kKeelStrips; ++i) {
        a.SLOPK(i) = sectionLiftSlope(in.KSTYPE, VNU * in.KCHORD(i), in.FULLSC, false);
        a.CLMXK(i) = sectionMaxLift(in.KTHICK(i));
        sum += st.run.STRW(i) * a.SLOPK(i);
    }
    st.point.SLOPKM = 0.0627 * st.run.PI * sum;
    a.SLOPR = sectionLiftSlope(in.RSTYPE, VNU * 0.5 * (in.RCROOT + in.RCTIP), in.FULLSC, true);
    a.CLMXR = sectionMaxLift(std::min(in.RTCRT, in.RTCTP));
}

void RECHK(CaseState&, RunFiles&, double, bool) {}

double TRIMRG(CaseState&, double) { return 0.0; }

double RESIRG(CaseState&, double, double) { return 0.0; }

}  // namespace carinex
