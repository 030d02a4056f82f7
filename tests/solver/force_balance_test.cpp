#include "solver/force_balance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "flow/friction_line.h"
#include "hydrostatics/heeled.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;

// A bare-hull trial state with the hydrostatic inputs of the hull forces set
// by hand.
std::unique_ptr<CaseState> handState(double FN, double leeway) {
    auto st = makeCaseState();
    st->point.QDYN = 4000.0;
    st->point.COSPHI = std::cos(0.2);
    st->point.LEEWAY = leeway;
    st->point.SINLW = std::sin(leeway);
    st->point.COSLW = std::cos(leeway);
    st->input.CHINF = 0.0228 * 1.0 + 0.0871;
    st->input.CHINE = 1.0;
    st->trial.ASYM = 0.0;
    st->trial.AHULL = 3.0;
    st->trial.AWLPHI = 20.0;
    st->trial.ATRIM = 2.0;
    st->trial.BWLPHI = 3.0;
    st->trial.DRFPHI = 0.0;
    st->balance.TLIFT = 0.5;
    st->balance.FN = FN;
    st->flow.RFRIC = 500.0;
    return st;
}

TEST(BareHullForces, StraightAheadCarriesOnlyFriction) {
    auto st = handState(0.3, 0.0);
    st->trial.DRFPHI = 0.01;
    bareHullForces(*st, 0.0);
    EXPECT_DOUBLE_EQ(st->app.XHULL, 500.0);
    EXPECT_DOUBLE_EQ(st->app.RHULL, 500.0);
    EXPECT_DOUBLE_EQ(st->app.YHULL, -500.0 * 0.01) << "friction along the drifting centre line";
    EXPECT_DOUBLE_EQ(st->app.RTRIM, 0.0);
}

TEST(BareHullForces, FroudeNumberIsLimitedInTheLiftPolynomial) {
    auto forces = [](double FN) {
        auto st = handState(FN, 0.05);
        bareHullForces(*st, 0.0);
        return std::array<double, 3>{st->app.XHULL, st->app.YHULL, st->app.RHULL};
    };
    EXPECT_EQ(forces(0.1), forces(0.2));
    EXPECT_EQ(forces(0.6), forces(0.45));
    EXPECT_NE(forces(0.3), forces(0.2));
}

TEST(BareHullForces, LeewayMirrorsTheSideForce) {
    auto port = handState(0.3, 0.05), starboard = handState(0.3, -0.05);
    bareHullForces(*port, 0.0);
    bareHullForces(*starboard, 0.0);
    EXPECT_NEAR(port->app.XHULL, starboard->app.XHULL, 1e-9);
    EXPECT_NEAR(port->app.RHULL, starboard->app.RHULL, 1e-9);
    EXPECT_NEAR(port->app.YHULL, -starboard->app.YHULL, 1e-9);
    EXPECT_GT(port->app.XHULL, 500.0) << "induced drag adds to the friction";
}

TEST(BareHullForces, FlowTrimGivesTheTrimForceOnlyWhenPositive) {
    auto up = handState(0.3, 0.0), down = handState(0.3, 0.0);
    bareHullForces(*up, 0.01);
    bareHullForces(*down, -0.01);
    EXPECT_DOUBLE_EQ(up->app.RTRIM, 4000.0 * 20.0 * 1e-4);
    EXPECT_DOUBLE_EQ(down->app.RTRIM, 0.0);
    EXPECT_DOUBLE_EQ(up->app.XHULL, 500.0 + 0.01 * up->app.RTRIM);
}

// The example hull prepared and its campaign run, for evaluations of single
// trial states.
struct ExampleState {
    test::ScratchDir dir;
    test::RunOutcome run;
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, "."};

    ExampleState() {
        const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
        for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
            fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
        run = test::runIn(dir.path(), "CR3\n");
    }
    CaseState& st() { return *run.state; }
    int NSTM1() { return run.state->raw.NST - 1; }
};

TEST(ForceBalance, FailedHydrostaticsGiveTheSubstituteValues) {
    ExampleState ex;
    ASSERT_EQ(ex.run.status, 0) << ex.run.console;
    CaseState& st = ex.st();
    st.point.MEXT = 250.0;
    st.point.SINKG = 5.0;  // the water surface 5 m below the keel: nothing immersed
    st.point.TRIMW = 0.0;
    const double previousTotal = st.balance.RTOT;
    st.app.YHULL = st.app.FZK = st.app.FZR = st.app.FYK = st.app.FYR = st.app.RTRIM = 1.0;  // of an earlier state
    BILANZ(st, ex.io, ex.NSTM1());
    for (double f : {st.app.YHULL, st.app.FZK, st.app.FZR, st.app.FYK, st.app.FYR, st.app.RTRIM}) EXPECT_EQ(f, 0.0);
    EXPECT_DOUBLE_EQ(st.balance.PMOM, 250.0);
    EXPECT_DOUBLE_EQ(st.balance.XCB, st.point.XCG);
    EXPECT_DOUBLE_EQ(st.flow.RFRIC, frictionLineSubstitute(st));
    EXPECT_DOUBLE_EQ(st.trial.VOLCB, st.input.VOLUME * 1e-9) << "the default path keeps its tiny volume";
    EXPECT_DOUBLE_EQ(st.balance.RTOT, previousTotal) << "totals of the previous evaluation stay";
    EXPECT_EQ(ex.console.str(), "") << "messages only with diagnostics";
    st.run.DIAG = true;
    BILANZ(st, ex.io, ex.NSTM1());
    EXPECT_EQ(ex.console.str(), " FEHLER KRAENG alle Werte = DEFAULT\n Fehler in BILANZ > Fantasiewerte\n");
}

// Two stations at the same x: the hydrostatics' area spline cannot be fitted
// (code 1), so the state is far from equilibrium with three times the
// yacht's volume.
TEST(ForceBalance, FailedFitGivesThreeTimesTheVolume) {
    ExampleState ex;
    ASSERT_EQ(ex.run.status, 0) << ex.run.console;
    CaseState& st = ex.st();
    st.point.SINKG = st.point.TRIMW = 0.0;
    st.hull.XST[20] = st.hull.XST[19];
    st.run.DIAG = true;
    BILANZ(st, ex.io, ex.NSTM1());
    EXPECT_EQ(st.trial.VOLCB, 3.0 * st.point.VTOT);
    EXPECT_EQ(ex.console.str(), " FEHLER KRAENG ARINT\n Fehler in BILANZ > Fantasiewerte\n");
}

// The drag acts at the towing height: raising it by 1 m adds the drag along
// the heeled hull, times the cosine of the heel, to the pitching moment.
TEST(ForceBalance, TowingHeightIsALeverOfTheDrag) {
    ExampleState ex;
    ASSERT_EQ(ex.run.status, 0);
    CaseState& st = ex.st();
    st.point.APPON = false;
    st.point.SINKG = st.point.TRIMW = 0.0;
    std::array<double, 2> moment{};
    for (int z : {0, 1}) {
        st.input.ZTOW = z;
        BILANZ(st, ex.io, ex.NSTM1());
        moment[static_cast<std::size_t>(z)] = st.balance.PMOM;
    }
    ASSERT_EQ(st.flow.RSTUD, 0.0) << "no stimulators, whose drag has its own lever";
    const double drag = st.balance.RRES * st.point.COSLW + st.app.XHULL;
    EXPECT_GT(drag, 0.0);
    EXPECT_NEAR(moment[1] - moment[0], drag * st.point.COSPHI, 1e-9 * drag);
}

TEST(ForceBalance, BareHullPointCarriesNoAppendageForces) {
    ExampleState ex;
    ASSERT_EQ(ex.run.status, 0);
    CaseState& st = ex.st();
    st.point.APPON = false;
    st.point.SINKG = 0.0;
    st.point.TRIMW = 0.0;
    st.app.FXK = st.app.FYR = st.app.MYK = 123.0;  // left by a point with appendages
    BILANZ(st, ex.io, ex.NSTM1());
    EXPECT_EQ(st.app.FXK, 0.0);
    EXPECT_EQ(st.app.FYR, 0.0);
    EXPECT_EQ(st.app.MYK, 0.0);
    EXPECT_DOUBLE_EQ(st.balance.VDISP, st.trial.VOLCB);
    EXPECT_DOUBLE_EQ(st.balance.RTOT, st.balance.RRES + st.app.RHULL);
    EXPECT_NEAR(st.balance.FN, st.point.VBOOT / std::sqrt(st.run.GRAV * st.trial.LWLPHI), 1e-15);
}

}  // namespace
}  // namespace carinex
