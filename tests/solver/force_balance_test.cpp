// The force balance of one trial state: the bare-hull forces (friction,
// leeway symmetry, Froude-number limits, flow-trim force) and, on the example
// campaign (which must end in balance), the substitute values of a failed
// evaluation and the towing-height lever of the drag.
#include "solver/force_balance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "flow/friction_line.h"
#include "solver/test_point_driver.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Bare-hull forces XHULL, YHULL, RHULL, RTRIM of a symmetric trial state
// whose hydrostatic inputs are set by hand.
std::array<double, 4> handForces(double FN, double leeway, double flowTrim = 0, double drift = 0) {
    auto st = makeCaseState();
    st->point.QDYN = 4000.0;
    st->point.COSPHI = std::cos(0.2);
    st->point.LEEWAY = leeway;
    st->point.SINLW = std::sin(leeway);
    st->point.COSLW = std::cos(leeway);
    st->trial.AHULL = 3.0;
    st->trial.AWLPHI = 20.0;
    st->trial.DRFPHI = drift;
    st->balance.TLIFT = 0.5;
    st->balance.FN = FN;
    st->flow.RFRIC = 500.0;
    bareHullForces(*st, flowTrim);
    return {st->app.XHULL, st->app.YHULL, st->app.RHULL, st->app.RTRIM};
}

TEST(BareHullForces, FrictionLeewayAndFlowTrim) {
    // straight ahead only the friction, along the drifting centre line
    EXPECT_EQ(handForces(0.3, 0.0, 0.0, 0.01), (std::array{500.0, -500.0 * 0.01, 500.0, 0.0}));
    // the lift polynomial's Froude number is limited to 0.2 .. 0.45
    EXPECT_EQ(handForces(0.1, 0.05), handForces(0.2, 0.05));
    EXPECT_EQ(handForces(0.6, 0.05), handForces(0.45, 0.05));
    EXPECT_NE(handForces(0.3, 0.05), handForces(0.2, 0.05));
    // leeway to either side mirrors the side force; induced drag adds to the friction
    const auto port = handForces(0.3, 0.05), starboard = handForces(0.3, -0.05);
    EXPECT_NEAR(port[0], starboard[0], 1e-9);
    EXPECT_NEAR(port[1], -starboard[1], 1e-9);
    EXPECT_NEAR(port[2], starboard[2], 1e-9);
    EXPECT_GT(port[0], 500.0);
    // a bow-down flow trim t gives q AWL t^2 and t times it in the drag; bow up nothing
    const auto up = handForces(0.3, 0.0, 0.01);
    EXPECT_DOUBLE_EQ(up[3], 4000.0 * 20.0 * 1e-4);
    EXPECT_DOUBLE_EQ(up[0], 500.0 + 0.01 * up[3]);
    EXPECT_EQ(handForces(0.3, 0.0, -0.01)[3], 0.0);
}

// The example campaign, which must end in balance, and single trial states
// evaluated on copies of its final state.
TEST(ForceBalance, OnTheExampleCampaign) {
    test::ScratchDir dir;
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    const test::RunOutcome run = test::runIn(dir.path(), "CR3\n");
    ASSERT_EQ(run.status, 0) << run.console;
    // every point solved or accepted within the driver's residual tolerance;
    // the last one (heeled, with leeway) is in balance
    const int solved = count(run.console, "solved for FN =") + count(run.console, "solution accepted for FN =");
    EXPECT_EQ(solved, run.state->input.NTEST) << run.console;
    const auto F = equilibriumResidualsOf(*run.state);
    EXPECT_LT(std::max(std::fabs(F[0]), std::fabs(F[1])), 1e-7);

    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, "."};
    auto st = std::make_unique<CaseState>(*run.state);
    const auto balance = [&] { BILANZ(*st, io, st->raw.NST - 1); };
    // bare hull: raising the towing point by 1 m adds the drag along the
    // heeled hull, times the cosine of the heel, to the pitching moment
    st->point.APPON = false;
    st->point.SINKG = st->point.TRIMW = 0.0;
    std::array<double, 2> moment{};
    for (int z : {0, 1}) {
        st->input.ZTOW = z;
        balance();
        moment[static_cast<std::size_t>(z)] = st->balance.PMOM;
    }
    ASSERT_EQ(st->flow.RSTUD, 0.0) << "no stimulators, whose drag has its own lever";
    const double drag = st->balance.RRES * st->point.COSLW + st->app.XHULL;
    EXPECT_GT(drag, 0.0);
    EXPECT_NEAR(moment[1] - moment[0], drag * st->point.COSPHI, 1e-9 * drag);

    // failed hydrostatics: the water surface 5 m below the keel, nothing
    // immersed; the substitute values replace those of an earlier state
    st = std::make_unique<CaseState>(*run.state);
    st->point.MEXT = 250.0;
    st->point.SINKG = 5.0;
    const double previousTotal = st->balance.RTOT;
    st->app.YHULL = st->app.FZK = st->app.FZR = st->app.FYK = st->app.FYR = st->app.RTRIM = 1.0;
    balance();
    for (double f : {st->app.YHULL, st->app.FZK, st->app.FZR, st->app.FYK, st->app.FYR, st->app.RTRIM})
        EXPECT_EQ(f, 0.0);
    EXPECT_DOUBLE_EQ(st->balance.PMOM, 250.0);
    EXPECT_DOUBLE_EQ(st->balance.XCB, st->point.XCG);
    EXPECT_DOUBLE_EQ(st->flow.RFRIC, frictionLineSubstitute(*st));
    EXPECT_DOUBLE_EQ(st->trial.VOLCB, st->input.VOLUME * 1e-9) << "the default path keeps its tiny volume";
    EXPECT_DOUBLE_EQ(st->balance.RTOT, previousTotal) << "totals of the previous evaluation stay";
    EXPECT_EQ(console.str(), "") << "messages only with diagnostics";
    st->run.DIAG = true;
    balance();
    EXPECT_EQ(console.str(), " FEHLER KRAENG alle Werte = DEFAULT\n Fehler in BILANZ > Fantasiewerte\n");
    // two stations at the same x: no area spline, three times the yacht's volume
    console.str("");
    st->point.SINKG = 0.0;
    st->hull.XST[20] = st->hull.XST[19];
    balance();
    EXPECT_EQ(st->trial.VOLCB, 3.0 * st->point.VTOT);
    EXPECT_EQ(console.str(), " FEHLER KRAENG ARINT\n Fehler in BILANZ > Fantasiewerte\n");
}

}  // namespace
}  // namespace carinex
