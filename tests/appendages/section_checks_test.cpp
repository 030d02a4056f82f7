// The checks of keel and rudder against the range of their section data. The
// foil check: the thickness window each family's data hold, the sweep clamp at
// 60 deg, the status code, and the exact notes on the console, on the
// resistance table, and as the case reader adds them. The
// Reynolds-number check: the exact warnings, their order, and limits counting
// as in range.
#include "appendages/foil_check.h"
#include "appendages/reynolds_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include "driver/case_reader.h"
#include "platform/files.h"
#include "support/case_files.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

const std::string kRestriction15 =
    " Restriction for tank model: Lift and drag coefficients of foil section determined at 15% thickness\n";
const std::string kSweep = " Warning: Sweep angle of foil more than 60 deg.\n angle reduced to 60 deg.\n";

// A console and a resistance table in memory.
struct FoilRun {
    std::istringstream keyboard;
    std::ostringstream console;
    std::ostringstream* table = nullptr;
    RunFiles io;
    explicit FoilRun(const std::filesystem::path& dir = ".") : io{keyboard, console, dir} {
        auto t = std::make_unique<std::ostringstream>();
        table = t.get();
        io.setTable(std::move(t));
    }
};

TEST(FoilCheck, ThicknessWindowsSweepClampAndNotes) {
    const std::string r12 =
        " Restriction for tank model: Lift and drag coefficients of foil section determined at 12% thickness\n";
    const std::string out =
        " Warning: Lift and drag coefficients of foil section extrapolated outside of thickness-range\n";
    struct Row {
        int family;
        double tc, sweep;
        bool full;
        int status;
        double sweepAfter;
        std::string note;  // on the console and, after an empty line, on the table
    };
    const Row rows[] = {
        {0, 0.122, 10, false, 0, 10, ""},
        {0, 0.123, 10, false, 1, 10, r12},
        {0, 0.099, 10, true, 2, 10, out},
        {63, 0.12, 0, false, 1, 0, kRestriction15},
        {63, 0.18, 0, true, 2, 0, out},
        {64, 0.165, 0, false, 2, 0, out},
        {64, 0.08, 0, true, 2, 0, out},
        {64, 0.12, 60, true, 0, 60, ""},
        {64, 0.12, 61, true, 3, 60, ""},
        {0, 0.123, -75, false, 3, -60, r12},
        {100, 0.5, 0, true, 0, 0, ""},
    };
    for (const Row& r : rows) {
        FoilRun run;
        double sweep = r.sweep;
        int status = -1;
        FOILCK(run.io, r.family, r.tc, sweep, status, r.full);
        const std::string what = std::to_string(r.family) + " t/c " + std::to_string(r.tc);
        EXPECT_EQ(status, r.status) << what;
        EXPECT_EQ(sweep, r.sweepAfter) << what;
        EXPECT_EQ(run.console.str(), r.note + (r.sweepAfter != r.sweep ? kSweep : "")) << what;
        EXPECT_EQ(run.table->str(), r.note.empty() ? "" : "\n" + r.note) << what << ": no sweep warning";
    }
}

// The reader checks the keel and notes reduced accuracy on console and table.
TEST(FoilCheck, CaseReaderNotesReducedAccuracy) {
    test::ScratchDir dir;
    dir.write("APPEND/KEEL.APP", test::appendageText(63, 64));
    auto st = makeCaseState();
    st->run.PI = 3.141592653589793;
    FoilRun run(dir.path());
    test::CaseSpec spec;
    spec.hstim = 2.5;  // tank model: the 63-series keel data hold 15 % only
    RecordReader in(TextFile{"INPUT/CX_T01_IN.TXT", splitLines(test::caseInputText(spec))});
    int IERR = -1;
    RDCASE(*st, run.io, in, IERR);
    ASSERT_EQ(IERR, 0) << run.console.str();
    const std::string c = run.console.str();
    EXPECT_NE(c.find(kRestriction15 + " reduced accuracy for lift and drag of keel\n"), std::string::npos) << c;
    EXPECT_NE(run.table->str().find(" reduced accuracy for lift and drag of keel\n"), std::string::npos);
}

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
        {0, 63, 1e5, true,
         warning("keel", "less", "1.2*10^5", "0.500E+05") + warning("rudder", "less", "1.6*10^5", "0.100E+06")},
        // the 00-series are checked before the 63-series whichever part carries them
        {63, 0, 5e4, false,
         warning("rudder", "less", "6*10^4", "0.500E+05") + warning("keel", "less", "10^5", "0.250E+05")},
        // a keel root above and tip below the range: upper first
        {64, 100, 2e6, false,
         warning("keel", "greater", "6*10^6", "0.800E+07") + warning("keel", "less", "1.6*10^5", "0.200E+05"),
         4.0, 0.01},
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
        FoilRun run;
        RECHK(*st, run.io, r.VNU, r.full);
        EXPECT_EQ(run.console.str(), r.expected) << r.keel << "/" << r.rudder << " " << r.VNU;
    }
}

}  // namespace
}  // namespace carinex
