#include "solver/delft_range.h"

#include <cstdio>

namespace carinex {

namespace {

struct ParameterRange {
    const char* name;
    double low, high;
    double (*value)(const UprightParticulars&);
};

// Range of the models of the Delft Systematic Yacht Hull Series the
// resistance regression was fitted over, as published with it (Keuning and
// Katgert 2008, "A bare hull resistance prediction method derived from the
// results of the Delft Systematic Yacht Hull Series extended to higher
// speeds"; also Larsson and Eliasson, Principles of Yacht Design). LCB and
// LCF are published as 0 to -8.2 % and -1.8 to -9.5 % of Lwl from midship
// (negative aft); here they are in % Lwl behind the forward end of the
// waterline, as in the report. The ratios are those the regression uses.
constexpr ParameterRange kSeries[] = {
    {"length/beam Lwl/Bwl", 2.73, 5.00, [](const UprightParticulars& u) { return u.RLB; }},
    {"length/volume^(1/3) Lwl/Vc^(1/3)", 4.34, 8.50, [](const UprightParticulars& u) { return u.RLV; }},
    {"beam/draft Bwl/Tc", 2.46, 19.38, [](const UprightParticulars& u) { return u.RBT; }},
    {"prismatic coefficient Cp", 0.52, 0.60, [](const UprightParticulars& u) { return u.CP0; }},
    {"LCB in % Lwl behind FP", 50.0, 58.2, [](const UprightParticulars& u) { return 100.0 * u.LCBFP; }},
    {"LCF in % Lwl behind FP", 51.8, 59.5, [](const UprightParticulars& u) { return 100.0 * u.LCFFP; }},
    {"midship coefficient Cx", 0.65, 0.78, [](const UprightParticulars& u) { return u.CX0; }},
};

std::string warning(const ParameterRange& p, double v) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "warning: %s = %.3f outside the Delft series range %.2f to %.2f", p.name, v,
                  p.low, p.high);
    return buf;
}

}  // namespace

bool regressionComputed(int MODE) { return MODE < 1 || MODE > 3; }

std::vector<std::string> delftRangeWarnings(const UprightParticulars& u) {
    std::vector<std::string> lines;
    for (const auto& p : kSeries) {
        const double v = p.value(u);
        // a value that is not a number is outside every range
        if (!(v >= p.low && v <= p.high)) lines.push_back(warning(p, v));
    }
    return lines;
}

}  // namespace carinex
