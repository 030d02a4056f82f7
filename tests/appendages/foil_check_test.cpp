// The foil check: the thickness window each section family's data hold, the
// sweep clamp at 60 deg, the status code, and the exact notes on the console,
// on the resistance table, and as the case reader adds them per appendage.
#include "appendages/foil_check.h"

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
        {0, 0.117, 10, false, 1, 10, r12},
        {0, 0.17, 10, true, 0, 10, ""},
        {0, 0.099, 10, true, 2, 10, out},
        {63, 0.15, 0, false, 0, 0, ""},
        {63, 0.12, 0, false, 1, 0, kRestriction15},
        {63, 0.12, 0, true, 0, 0, ""},
        {63, 0.18, 0, true, 2, 0, out},
        {64, 0.09, 0, false, 0, 0, ""},
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
        EXPECT_EQ(run.table->str(), r.note.empty() ? "" : "\n" + r.note) << what << ": the sweep goes to the console only";
    }
}

// The reader checks keel and rudder and notes reduced accuracy; a clamped
// sweep stays in effect (and is converted to radians afterwards).
TEST(FoilCheck, CaseReaderNotesReducedAccuracy) {
    test::ScratchDir dir;
    std::string app = test::appendageText(63, 64);
    dir.write("APPEND/KEEL.APP", app.replace(app.find("RSWEEP\n5\n"), 9, "RSWEEP\n75\n"));
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
    const auto keel = c.find(kRestriction15 + " reduced accuracy for lift and drag of keel\n");
    const auto rudder = c.find(kSweep + " reduced accuracy for lift and drag of rudder\n");
    EXPECT_NE(keel, std::string::npos) << c;
    EXPECT_NE(rudder, std::string::npos) << c;
    EXPECT_LT(keel, rudder);
    EXPECT_NE(run.table->str().find(" reduced accuracy for lift and drag of keel\n"), std::string::npos);
    EXPECT_NEAR(st->input.RCOSSW, std::cos(60 * 3.141592653589793 / 180), 1e-15);
}

}  // namespace
}  // namespace carinex
