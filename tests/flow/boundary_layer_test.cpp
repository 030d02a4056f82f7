// The boundary-layer march on a flat plate, where the laminar layer, the turbulent friction and
// the natural onset of transition have closed forms; the intermittency of the transition zone; the
// stimulator, the transom's base drag, the separated stern, and the failures that leave
// the results alone.
#include <gtest/gtest.h>

#include <cmath>

#include "flow/boundary_layer_steps.h"
#include "support/flat_plate.h"

namespace carinex {
namespace {

using test::FlatPlate;

TEST(FlatPlate, LaminarLayerFollowsBlasius) {
    FlatPlate a(1e6);
    const auto r = a.march();
    ASSERT_EQ(r.IERR, 0);
    EXPECT_DOUBLE_EQ(a.st->flow.XTR, a.st->flow.XADYN) << "laminar to the aft end";
    for (std::size_t K = 0; K < FlatPlate::last; ++K) {
        const double s = a.st->flow.SLEN[K], theta = 0.664 * s / std::sqrt(a.speed() * s / a.VISC);
        if (s <= a.st->flow.SSTART) continue;  // ahead of the start: holds the start values
        EXPECT_NEAR(a.st->flow.THETA[K] / theta, 1.0, 0.02) << "slot " << K;
        EXPECT_NEAR(a.st->flow.H12[K], 2.59, 0.03) << "slot " << K;
    }
    EXPECT_NEAR(r.CF / (1.328 / std::sqrt(1e6)), 1.0, 0.02);
}

TEST(FlatPlate, TurbulentFrictionFollowsSchoenherr) {
    for (double Re : {1e6, 1e7, 1e8, 1e9}) {
        FlatPlate a(Re);
        a.trippedAtTheBow();
        a.st->flow.TURBU = 0.5;
        const auto r = a.march();
        ASSERT_EQ(r.IERR, 0) << Re;
        double CF = 0.003;  // 0.242/sqrt(CF) = log10(Re*CF)
        for (int i = 0; i < 100; ++i) CF = std::pow(0.242 / std::log10(Re * CF), 2);
        EXPECT_NEAR(r.CF / CF, 1.0, 0.10) << Re;
    }
}

// Abu-Ghannam and Shaw onset without pressure gradient: Re_theta of the Blasius layer reaches
// 0.8*(163 + exp(6.91 - TURBU)).
double naturalOnsetRun(const FlatPlate& plate, double TURBU) {
    const double Rex = std::pow(0.8 * (163.0 + std::exp(6.91 - TURBU)) / 0.664, 2);
    return Rex * plate.VISC / plate.speed();
}

TEST(Transition, NaturalOnsetMovesForwardWithFreeStreamTurbulence) {
    for (double TURBU : {0.01, 0.5, 1.0, 2.0}) {
        FlatPlate a;
        a.st->flow.TURBU = TURBU;
        ASSERT_EQ(a.march().IERR, 0);
        const double expected = naturalOnsetRun(a, TURBU);
        EXPECT_NEAR(a.behindBow(), expected, 0.02 * expected + 0.0025 * a.length) << "TURBU " << TURBU;
    }
}

// Studs at XSTUD = 5 m; XTRANS is where the march is told to trip the layer.
TEST(Transition, StimulatorFixesItOnlyAheadOfTheNaturalOnset) {
    auto stimulated = [](double HSTUD, double XTRANS) {
        auto a = std::make_unique<FlatPlate>();
        a->st->input.HSTUD = HSTUD;
        a->st->input.DSTUD = 0.003;
        a->st->input.NSTUD = 20;
        a->st->input.XSTUD = 5.0;
        a->st->flow.XTRANS = XTRANS;
        a->march();
        return a;
    };
    const auto ahead = stimulated(0.001, 1.0);
    ASSERT_GT(naturalOnsetRun(*ahead, 0.01), 1.5);
    EXPECT_GE(ahead->behindBow(), 1.0);
    EXPECT_LE(ahead->behindBow(), 1.0 + 0.0025 * ahead->length) << "within one substep of the stimulator";
    // behind the natural onset only the stud drag changes
    const auto behind = stimulated(0.001, 5.0), offHull = stimulated(0.001, 1e3), none = stimulated(0.0, 5.0);
    EXPECT_EQ(behind->st->flow.XTR, none->st->flow.XTR);
    EXPECT_EQ(behind->st->flow.THETA, offHull->st->flow.THETA);
    EXPECT_GT(behind->st->flow.RSTUD, 0.0) << "the studs at XSTUD still drag";
    EXPECT_EQ(behind->st->flow.RSTUD, offHull->st->flow.RSTUD);
    EXPECT_EQ(none->st->flow.RSTUD, 0.0);
}

TEST(Transition, IntermittencyOfTheSpotLaws) {
    // zone from s = 1 m at Re = 1e6 with NS = 1e5; Y5 = 0.01 at s = 2 m, so that the exponent is
    // 2.5*5.4995*0.01*((Re_s - Re_t)/NS)^k with (Re_s - Re_t)/NS = +-2: a falling edge velocity
    // (U = 0.4) produces no spots by the linear law
    const double a = 2.5 * 5.4995 * 0.01;
    struct Case { int k; double U, gamma; };
    for (const Case c : {Case{1, 0.6, 1.0 - std::exp(-2.0 * a)}, Case{2, 0.6, 1.0 - std::exp(-4.0 * a)},
                         Case{2, 0.4, 1.0 - std::exp(-4.0 * a)}, Case{1, 0.4, 0.0}}) {
        const blayer::TransitionZone z{.st = 1.0, .Ret = 1e6, .NS = 1e5, .k = c.k};
        EXPECT_NEAR(blayer::intermittency(z, 0.01, 2.0, c.U, 1e-6), c.gamma, 1e-12) << c.k << " " << c.U;
        EXPECT_EQ(blayer::intermittency(z, 0.01, 1.0, c.U, 1e-6), 0.0) << "none at the transition point";
    }
}

// The start of the zone: the spot law is linear below a free-stream turbulence of 0.15 and square
// from it on; the spots' speed ratio reaches its limit 0.024 before lambda0 = 10, and keeps it beyond.
TEST(Transition, SpotLawAndSpotSpeedAtTheEndsOfTheirRanges) {
    FlatPlate plate;  // VISC = 1e-6: with theta = 1 mm, lambda0 = theta^2/VISC * dU/ds = dU/ds
    for (auto [TURBU, lambda0, k] : {std::tuple{0.1499, 9.99, 1}, {0.15, 10.0, 2}, {0.5, 20.0, 2}}) {
        plate.st->flow.TURBU = TURBU;
        OdeState y{};
        y[blayer::kThetaL] = 1e-3;
        y[blayer::kDelta3] = 1.6e-3;
        blayer::TransitionZone zone;
        ASSERT_TRUE(blayer::TRANSI(y, zone, true, true, 0.5, {2.0, lambda0, 0.3, 0.0}, *plate.st, 1.0));
        EXPECT_TRUE(zone.k == k && zone.q == 0.024) << TURBU << " " << lambda0;
    }
}

// Pohlhausen's quartic profiles: the shape factor d1/d2 of the profile of parameter Lambda,
// (3/10 - L/120) / (37/315 - L/945 - L^2/9072), inverts to Lambda from separation to Lambda 12.
TEST(Transition, PohlhausenShapeFactorInvertsToItsParameter) {
    for (double L : {-12.0, -6.0, 0.0, 6.0, 10.0, 12.0}) {
        const double H12 = (0.3 - L / 120.0) / (37.0 / 315.0 - L / 945.0 - L * L / 9072.0);
        EXPECT_NEAR(blayer::pohlhausenLambda(H12), L, 1e-9) << L;
    }
}

// The closures' branches meet at their switch points: the two cf0 laws of the turbulent layer at
// Re_theta = 3255.80664; the laminar shape factor at the Blasius energy shape factor (H12 = 2.59).
// Beyond H = 3.2 the turbulent closure is held at the top of its range.
TEST(Closures, BranchesMeetAtTheirSwitchPointsAndHoldBeyondTheirRange) {
    EXPECT_NEAR(blayer::turbulentCf0(3255.80664), 0.0031772, 5e-7);
    EXPECT_NEAR(blayer::turbulentCf0(std::nextafter(3255.80664, 1e9)), 0.0031772, 5e-7);
    // the laminar shape factor just below the switch and at it
    for (double dH : {1e-9, 0.0}) EXPECT_NEAR(blayer::laminarShapeFactor(1.57258 - dH), 2.591, 2e-3) << dH;
    EXPECT_DOUBLE_EQ(blayer::laminarShapeFactor(1.51509), 4.02922);
    const auto at = [](double H) { return blayer::turbulentLayer(0.004, H, 0.01, {2.0, -0.5, 0.3, 0.01}, 1.19e-6, 0.5, 0.1); };
    for (double H : {3.25, 3.6}) EXPECT_TRUE(at(H).cfHalf == at(3.2).cfHalf && at(H).dH == at(3.2).dH) << H;
}

// The transom's base drag, PB = pi*rho*U^2*depth^2, raises the form factor by 0.029*(PB/RF)^1.5.
TEST(FormFactor, TransomBaseDragRaisesIt) {
    FlatPlate a;
    const auto dry = a.march();
    a.st->flow.ASECD[0] = 0.4;
    const auto wet = a.march();
    const double U = a.speed(), depth = 0.4 / a.girth;
    const double K = 1.0 + 0.029 * std::pow(M_PI * a.st->point.RHO * U * U * depth * depth / dry.RFRIC, 1.5);
    ASSERT_GT(K, 1.0);
    EXPECT_NEAR(wet.FFORM, K, 1e-12 * K);
    EXPECT_NEAR(wet.RFRIC, dry.RFRIC * K, 1e-9 * wet.RFRIC);
}

TEST(Stern, TurbulentSeparationEndsTheFrictionAndRaisesTheFormFactor) {
    FlatPlate a;
    a.edgeVelocity([](double s) { return s <= 0.5 ? 1.0 : 1.0 - 1.2 * (s - 0.5); });  // to 40 % at the stern
    a.trippedAtTheBow();
    const auto r = a.march();
    ASSERT_EQ(r.IERR, 0);
    const auto& cf = a.st->flow.CFHALF;
    EXPECT_GT(r.FFORM, 1.0) << "base drag of the separated stern";
    EXPECT_LT(cf[0], 1e-8);
    EXPECT_EQ(cf[0], cf[1]) << "no further march behind the separation";
    EXPECT_GT(cf[FlatPlate::slots - 3], 1e-4);
}

// A failed march (no speed, or a laminar separation ahead of the largest section) leaves every
// result as it was.
TEST(Failure, UnusableMarchLeavesEveryResultUnchanged) {
    FlatPlate still;
    still.st->flow.THETA.fill(7.0);
    still.st->flow.RSTUD = 11.0;
    const auto r = still.march(1.1, 0.0, 13.0);
    EXPECT_EQ(r.IERR, kBlayerIntegrationFailure);
    EXPECT_TRUE(r.RFRIC == 13.0 && r.FFORM == 1.1 && still.st->flow.THETA[5] == 7.0 && still.st->flow.RSTUD == 11.0);
    FlatPlate a(1e5);  // too low a Reynolds number for the onset criterion; a decelerating forebody
    a.edgeVelocity([](double s) { return s <= 0.2 ? 1.0 : std::max(0.5, 1.0 - (s - 0.2)); });
    a.st->trial.IAMAX = 0;  // the whole hull lies forward of its largest section
    a.st->flow.XTR = 3.0;
    EXPECT_EQ(a.march().IERR, kBlayerIntegrationFailure);
    EXPECT_EQ(a.st->flow.XTR, 3.0);
    a.st->trial.IAMAX = FlatPlate::last;  // aft of it the separation is a transition
    EXPECT_EQ(a.march().IERR, 0);
    EXPECT_GT(a.behindBow(), 0.2 * a.length);
}

}  // namespace
}  // namespace carinex
