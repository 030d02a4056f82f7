#include "solver/delft_range.h"

#include <gtest/gtest.h>

#include <cmath>

namespace carinex {
namespace {

// A hull inside the series' range: every parameter between its limits.
UprightParticulars seriesHull() {
    UprightParticulars u;
    u.RLB = 3.5;
    u.RLV = 5.5;
    u.RBT = 5.0;
    u.CP0 = 0.56;
    u.LCBFP = 0.53;
    u.LCFFP = 0.55;
    u.CX0 = 0.70;
    return u;
}

TEST(DelftRange, OneWarningPerParameterOutsideTheSeries) {
    const struct {
        double UprightParticulars::*member;
        double value;
        const char* line;  // "": inside the range
    } cases[] = {
        {&UprightParticulars::RLB, 5.6, "length/beam Lwl/Bwl = 5.600 outside the Delft series range 2.73 to 5.00"},
        {&UprightParticulars::RLV, 4.0, "length/volume^(1/3) Lwl/Vc^(1/3) = 4.000 outside the Delft series range 4.34 to 8.50"},
        {&UprightParticulars::RBT, 19.38, ""},
        {&UprightParticulars::RBT, 2.0, "beam/draft Bwl/Tc = 2.000 outside the Delft series range 2.46 to 19.38"},
        {&UprightParticulars::CP0, 0.519, "prismatic coefficient Cp = 0.519 outside the Delft series range 0.52 to 0.60"},
        {&UprightParticulars::LCBFP, 0.49, "LCB in % Lwl behind FP = 49.000 outside the Delft series range 50.00 to 58.20"},
        {&UprightParticulars::LCFFP, 0.60, "LCF in % Lwl behind FP = 60.000 outside the Delft series range 51.80 to 59.50"},
        {&UprightParticulars::CX0, 0.65, ""},
        {&UprightParticulars::CX0, NAN, "midship coefficient Cx = nan outside the Delft series range 0.65 to 0.78"},
    };
    EXPECT_TRUE(delftRangeWarnings(seriesHull()).empty());
    for (const auto& c : cases) {
        UprightParticulars u = seriesHull();
        u.*c.member = c.value;
        const auto lines = delftRangeWarnings(u);
        if (*c.line) {
            ASSERT_EQ(lines.size(), 1u) << c.line;
            EXPECT_EQ(lines[0], std::string("warning: ") + c.line);
        } else {
            EXPECT_TRUE(lines.empty()) << c.value;
        }
    }
}

}  // namespace
}  // namespace carinex
