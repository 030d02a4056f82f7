// The Reynolds-number check of keel and rudder against the range of their
// section data: the exact warnings, their order, and limits counting as in range.
#include "appendages/reynolds_check.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>


namespace carinex {
namespace {

std::string warning(const std::string& part, const std::string& relation, const std::string& limit,
                    const std::string& re) {
    return " Warning: Reynols-number " + part + " " + relation + " than " + limit +
           "\n extrapolation outside of tabulated drag-values\n RE =" + re + "\n";
}

TEST(ReynoldsCheck, LimitsOrderAndMessages) {
    struct Row {
        int keel, rudder;
        double VNU;
        bool full;
        std::string expected;
        double root = 2.0, tip = 0.5;  // keel chords; the rudder's mean chord is 1
    };
    const Row rows[] = {
        // keel root 8e7 above, tip 2e7 in range; rudder 4e7 in range
        {0, 0, 4e7, true, warning("keel", "greater", "7*10^7", "0.800E+08")},
        // tank limit 1e7: rudder 1.1e7 above, exactly at 1e7 in range
        {63, 63, 1.1e7, false,
         warning("keel", "greater", "10^7", "0.220E+08") + warning("rudder", "greater", "10^7", "0.110E+08")},
        {63, 63, 1e7, false, warning("keel", "greater", "10^7", "0.200E+08")},
        {64, 0, 4e6, false, warning("keel", "greater", "6*10^6", "0.800E+07")},
        {64, 64, 1e5, true,
         warning("keel", "less", "1.6*10^5", "0.500E+05") + warning("rudder", "less", "1.6*10^5", "0.100E+06")},
        {0, 0, 1e5, false, warning("keel", "less", "6*10^4", "0.500E+05")},
        {0, 63, 1e5, true,
         warning("keel", "less", "1.2*10^5", "0.500E+05") + warning("rudder", "less", "1.6*10^5", "0.100E+06")},
        // the 00-series are checked before the 63-series whichever part carries them
        {63, 0, 5e4, false,
         warning("rudder", "less", "6*10^4", "0.500E+05") + warning("keel", "less", "10^5", "0.250E+05")},
        // a keel root above and tip below the range: upper first
        {64, 100, 2e6, false,
         warning("keel", "greater", "6*10^6", "0.800E+07") + warning("keel", "less", "1.6*10^5", "0.200E+05"), 4.0,
         0.01},
        // exactly at the limits: tip 1.6e5 and root 6.4e5; root 7e7
        {64, 64, 3.2e5, true, ""},
        {0, 0, 3.5e7, true, ""},
        {100, 100, 1e9, true, ""},
    };
    for (const Row& r : rows) {
        auto st = makeCaseState();
        CaseInput& in = st->input;
        in.KSTYPE = r.keel;
        in.RSTYPE = r.rudder;
        for (int i = 1; i <= 8; ++i) in.KCHORD(i) = r.root + (r.tip - r.root) * (i - 1) / 7.0;
        in.RCROOT = 1.2;
        in.RCTIP = 0.8;
        std::istringstream keyboard;
        std::ostringstream console;
        RunFiles io{keyboard, console, "."};
        RECHK(*st, io, r.VNU, r.full);
        EXPECT_EQ(console.str(), r.expected) << r.keel << "/" << r.rudder << " " << r.VNU;
    }
}

}  // namespace
}  // namespace carinex
