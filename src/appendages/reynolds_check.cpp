#include "appendages/reynolds_check.h"

#include <initializer_list>
#include <string>

#include "platform/fixed_format.h"

namespace carinex {

namespace {

// Range of a family's data set, with the limits as the messages write them.
struct ReynoldsRange {
    double upper;
    const char* upperText;
    double lower;
    const char* lowerText;
};

ReynoldsRange rangeOf(int family, bool FULLSC) {
    if (family == 0) return FULLSC ? ReynoldsRange{7e7, "7*10^7", 1.2e5, "1.2*10^5"} : ReynoldsRange{1e7, "10^7", 6e4, "6*10^4"};
    if (family == 63) return FULLSC ? ReynoldsRange{7e7, "7*10^7", 1.6e5, "1.6*10^5"} : ReynoldsRange{1e7, "10^7", 1e5, "10^5"};
    return FULLSC ? ReynoldsRange{7e7, "7*10^7", 1.6e5, "1.6*10^5"} : ReynoldsRange{6e6, "6*10^6", 1.6e5, "1.6*10^5"};
}

void warn(RunFiles& io, const char* part, const char* relation, const char* limit, double RE) {
    writeFree(io.console, std::string("Warning: Reynols-number ") + part + relation + limit);
    writeFree(io.console, "extrapolation outside of tabulated drag-values");
    io.console << FormattedRecord().A("RE =", 5).G(RE, 9, 3).str() << '\n';
}

// Upper test on REUP, then lower test on RELOW; a value at a limit is in range.
void checkPart(RunFiles& io, const char* part, const ReynoldsRange& r, double REUP, double RELOW) {
    if (REUP > r.upper) warn(io, part, " greater than ", r.upperText, REUP);
    if (RELOW < r.lower) warn(io, part, " less than ", r.lowerText, RELOW);
}

}  // namespace

void RECHK(CaseState& st, RunFiles& io, double VNU, bool FULLSC) {
    const CaseInput& in = st.input;
    const double REROOT = VNU * in.KCHORD(1);
    const double RETIP = VNU * in.KCHORD(8);
    const double RERUD = VNU * 0.5 * (in.RCROOT + in.RCTIP);
    for (int family : {0, 63, 64}) {
        const ReynoldsRange r = rangeOf(family, FULLSC);
        if (in.KSTYPE == family) checkPart(io, "keel", r, REROOT, RETIP);
        if (in.RSTYPE == family) checkPart(io, "rudder", r, RERUD, RERUD);
    }
}

}  // namespace carinex
