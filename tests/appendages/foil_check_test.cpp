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

struct FoilRun {
    std::istringstream keyboard;
    std::ostringstream console;
    std::ostringstream* table = nullptr;
    RunFiles io{keyboard, console, "."};
    FoilRun() {
        auto t = std::make_unique<std::ostringstream>();
        table = t.get();
        io.setTable(std::move(t));
    }
};

const std::string kRestriction12 =
    " Restriction for tank model: Lift and drag coefficients of foil section determined at 12% thickness";
const std::string kRestriction15 =
    " Restriction for tank model: Lift and drag coefficients of foil section determined at 15% thickness";
const std::string kExtrapolated =
    " Warning: Lift and drag coefficients of foil section extrapolated outside of thickness-range";
const std::string kSweep = " Warning: Sweep angle of foil more than 60 deg.\n angle reduced to 60 deg.\n";

TEST(FoilCheck, ThicknessWindowsSweepClampAndStatus) {
    struct Row {
        int family;
        double tc, sweep;
        bool full;
        int status;
        double sweepAfter;
        std::string console;
    };
    const Row rows[] = {
        {0, 0.12, 10, false, 0, 10, ""},
        {0, 0.122, 10, false, 0, 10, ""},
        {0, 0.123, 10, false, 1, 10, kRestriction12 + "\n"},
        {0, 0.117, 10, false, 1, 10, kRestriction12 + "\n"},
        {0, 0.17, 10, true, 0, 10, ""},
        {0, 0.099, 10, true, 2, 10, kExtrapolated + "\n"},
        {63, 0.15, 0, false, 0, 0, ""},
        {63, 0.12, 0, false, 1, 0, kRestriction15 + "\n"},
        {63, 0.12, 0, true, 0, 0, ""},
        {63, 0.18, 0, true, 2, 0, kExtrapolated + "\n"},
        {64, 0.09, 0, false, 0, 0, ""},
        {64, 0.165, 0, false, 2, 0, kExtrapolated + "\n"},
        {64, 0.08, 0, true, 2, 0, kExtrapolated + "\n"},
        {64, 0.12, 60, true, 0, 60, ""},
        {64, 0.12, 61, true, 3, 60, kSweep},
        {0, 0.123, -75, false, 3, -60, kRestriction12 + "\n" + kSweep},
        {100, 0.5, 0, true, 0, 0, ""},
    };
    for (const Row& r : rows) {
        FoilRun run;
        double sweep = r.sweep;
        int status = -1;
        FOILCK(run.io, r.family, r.tc, sweep, status, r.full);
        const std::string what = std::to_string(r.family) + " t/c " + std::to_string(r.tc) + " sweep " + std::to_string(r.sweep);
        EXPECT_EQ(status, r.status) << what;
        EXPECT_EQ(sweep, r.sweepAfter) << what;
        EXPECT_EQ(run.console.str(), r.console) << what;
    }
}

TEST(FoilCheck, NotesOnTheResistanceTableSitInTheirFields) {
    FoilRun tank;
    double sweep = 0;
    int status = 0;
    FOILCK(tank.io, 63, 0.1, sweep, status, false);
    EXPECT_EQ(tank.table->str(), "\n " + std::string("Restriction for tank model: Lift and drag coefficients of ") +
                                     "foil section determined at 15% thickness\n");
    FoilRun full;
    FOILCK(full.io, 64, 0.2, sweep, status, true);
    EXPECT_EQ(full.table->str(), "\n Warning: Lift and drag coefficients of foil section extrapolated outside of thickness-range\n");
    FoilRun swept;
    sweep = 70;
    FOILCK(swept.io, 64, 0.12, sweep, status, true);
    EXPECT_EQ(swept.table->str(), "") << "the sweep warning goes to the console only";
}

// The reader checks keel and rudder and notes reduced accuracy; a clamped
// sweep stays in effect (and is converted to radians afterwards).
TEST(FoilCheck, CaseReaderNotesReducedAccuracy) {
    test::ScratchDir dir;
    std::string app = test::appendageText(63, 64);
    app.replace(app.find("RSWEEP\n5\n"), 9, "RSWEEP\n75\n");
    dir.write("APPEND/KEEL.APP", app);
    auto st = makeCaseState();
    st->run.PI = 3.141592653589793;
    FoilRun run;
    RunFiles io{run.keyboard, run.console, dir.path()};
    auto table = std::make_unique<std::ostringstream>();
    std::ostringstream* t = table.get();
    io.setTable(std::move(table));
    test::CaseSpec spec;
    spec.hstim = 2.5;  // tank model: the 63-series keel data hold 15 % only
    RecordReader in(TextFile{"INPUT/CX_T01_IN.TXT", splitLines(test::caseInputText(spec))});
    int IERR = -1;
    RDCASE(*st, io, in, IERR);
    ASSERT_EQ(IERR, 0) << run.console.str();
    const std::string c = run.console.str();
    const auto keel = c.find(kRestriction15 + "\n reduced accuracy for lift and drag of keel\n");
    const auto rudder = c.find(kSweep + " reduced accuracy for lift and drag of rudder\n");
    EXPECT_NE(keel, std::string::npos) << c;
    EXPECT_NE(rudder, std::string::npos) << c;
    EXPECT_LT(keel, rudder);
    EXPECT_NE(t->str().find(" reduced accuracy for lift and drag of keel\n"), std::string::npos);
    EXPECT_NEAR(st->input.RCOSSW, std::cos(60 * 3.141592653589793 / 180), 1e-15);
}

}  // namespace
}  // namespace carinex
