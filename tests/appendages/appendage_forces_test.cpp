// The forces of keel and rudder in one trial state where the whole runs do
// not go: no lift and only drag without a hull section, the stalled keel as a
// flat plate, and a joined rudder continuous through its removable singularity.
#include "appendages/appendage_forces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "appendages/appendage_forces_steps.h"
#include "appendages/keel_tables.h"

namespace carinex {
namespace {

constexpr double kPi = 3.141592653589793;

// A fin keel and spade rudder under a hull at 3 m/s, set by hand: the
// trial-state inputs of the appendage forces without the hull models.
std::unique_ptr<CaseState> yacht(double leeway, double heel) {
    auto st = makeCaseState();
    setupKeelTables(st->run);
    CaseInput& in = st->input;
    for (int i = 1; i <= 8; ++i) {
        in.KCHORD(i) = 1.3 - 0.6 * std::sin((i - 1) * kPi / 16);
        in.KTHICK(i) = 0.12;
        st->app.SLOPK(i) = 0.95;
        st->app.CLMXK(i) = 1.4;
    }
    in.KSTYPE = 64, in.RSTYPE = 0, in.FULLSC = true;
    in.KSECTF = 0.66, in.RCROOT = 0.38, in.RCTIP = 0.25, in.RTCRT = in.RTCTP = 0.12, in.RSECTF = 0.685;
    in.RCOSSW = 1.0, in.RTANSW = 0.0, in.RSPAN = 1.2, in.HLIFTF = 1.0, in.RDRFTF = 0.5;
    UprightParticulars& u = st->upright;
    u.KCMEAN = 1.05, u.KAREA = 1.6, u.KSWPE = 0.0, u.TMAX = 0.5, u.KZLEAD = 0.45, u.SH1 = 0.8, u.SH2 = 1.0;
    u.LWL = 10.0;
    st->hull.XK0 = 6.2, st->hull.XK1 = 4.9, st->hull.XR0 = 1.55, st->hull.XR1 = 1.17;
    TestPoint& p = st->point;
    p.VBOOT = 3.0, p.QDYN = 0.5 * 1025 * 9.0, p.VNU = 3.0 / 1.19e-6;
    p.LEEWAY = leeway, p.SINLW = std::sin(leeway), p.COSLW = std::cos(leeway);
    p.PHI = heel, p.SINPHI = std::sin(heel), p.COSPHI = std::cos(heel), p.TANPHI = std::tan(heel);
    p.SLOPKM = 0.95, p.RCWL = 0.38, p.RASP = 3.0, p.XCG = 5.3;
    TrialHydrostatics& t = st->trial;
    t.KSPAN = 1.5, t.TCBPHI = 0.5, t.LWLPHI = 10.0, t.RIMM = 1.1, t.RIMMC = -0.1, t.RWAKE = 0.5;
    t.AWLPHI = 20.0, t.AHULL = 3.0, t.XMREF = 5.0;
    // the hull section at the keel: upright, or heeled with both waterline crossings
    t.KRA = 0.6, t.KRZK = 0.45, t.KRY2 = 1.2;
    if (heel > 0.01) t.KRY2 = 1.2, t.KRZ2 = -0.1, t.KRY1 = -1.0, t.KRYD = 0.3, t.KRZD = 0.4;
    st->flow.RAEFF = 0.35, st->flow.RHSPAN = 0.55, st->flow.RFRIC = 600.0;
    st->app.SLOPR = 0.95, st->app.CLMXR = 1.4;
    st->balance.FN = 0.3;
    return st;
}

void forces(CaseState& st, double DELK = 0.0) {
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, ".");
    double TLIFT = 0.5;
    APPFRC(st, io, 1.05, DELK, 0.0, TLIFT, 0.0);
    EXPECT_EQ(console.str(), "");
}

// Without a hull section at the keel there is no lifting solution: whatever
// the coefficient arrays hold, the keel carries no lift, only its drag, and
// its side force is the drag's share across the course.
TEST(AppendageForces, WithoutAHullSectionOnlyDrag) {
    auto st = yacht(0.05, 0.0);
    st->trial.KRA = 0.0;
    st->app.CLAK.fill(7.0);
    st->app.TAPK.fill(-1.0);
    forces(*st);
    EXPECT_EQ(st->app.CLROOT, 0.0);
    EXPECT_EQ(st->app.CLAK(1), 7.0) << "the failed lifting line leaves the coefficients alone";
    EXPECT_EQ(st->app.TAPK(8), -1.0) << "no tip correction without a lifting solution";
    EXPECT_NEAR(st->app.FYK, -std::tan(0.05) * st->app.FXK, 1e-9 * st->app.FXK);
}

// A strip above its maximum lift is a flat plate at the keel angle: its
// normal force coefficient is 2.3 times the angle.
TEST(AppendageForces, StalledKeelIsAFlatPlate) {
    const double leeway = 0.1;
    auto st = yacht(leeway, 0.0);
    st->app.CLMXK.fill(0.0);
    forces(*st);
    double chordSum = 0.0;
    for (int i = 1; i <= 8; ++i) chordSum += st->input.KCHORD(i) * st->run.STRW(i);
    const double normal = st->app.FYK + st->point.SINLW * st->app.FXK;  // about the course, upright
    EXPECT_NEAR(normal / (st->point.QDYN * 1.5 * 0.0627 * kPi * chordSum * 2.3 * leeway), 1.0, 0.1);
}

// A rudder joined to the hull over RIMMC: its inflow is continuous where the
// hull section's equivalent half-breadth 2 RGAP / (pi RIMMC) equals the
// joined height (the map's removable singularity), and a joined rudder under
// no hull section falls back to the free rudder instead of dividing by zero.
TEST(AppendageForces, JoinedRudderIsContinuousThroughTheEqualHalfBreadth) {
    const double RIMMC = 0.1;
    auto rudderSide = [&](double RGAP) {
        auto st = yacht(0.05, 0.2);
        st->trial.RIMMC = RIMMC;
        st->flow.RGAP = RGAP;
        forces(*st);
        EXPECT_TRUE(std::isfinite(st->app.FYR) && std::isfinite(st->app.YHULL)) << RGAP;
        return st->app.FYR;
    };
    double RGAP = kPi * RIMMC * RIMMC / 2;
    for (int k = 0; k < 64 && 2.0 * RGAP / (kPi * RIMMC) != RIMMC; ++k)
        RGAP = std::nextafter(RGAP, 2.0 * RGAP / (kPi * RIMMC) < RIMMC ? 1.0 : 0.0);
    ASSERT_EQ(2.0 * RGAP / (kPi * RIMMC), RIMMC);
    const double at = rudderSide(RGAP);
    EXPECT_NEAR(at, rudderSide(RGAP * (1 + 1e-6)), 1e-4 * std::fabs(at));
    rudderSide(0.0);
}

}  // namespace
}  // namespace carinex
