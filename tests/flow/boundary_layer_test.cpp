#include "flow/boundary_layer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "flow/boundary_layer_steps.h"
#include "geometry/rational_spline.h"
#include "support/flat_plate.h"

namespace carinex {
namespace {

using test::FlatPlate;

struct MarchResult {
    int IERR = 0;
    double RFRIC = 0, FFORM = 1, CF = 0;
};

MarchResult march(CaseState& st, const FlatPlate& plate) {
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, ".");
    MarchResult r;
    BLAYER(st, io, r.RFRIC, st.point.VBOOT, r.FFORM, 0.0075 * plate.length, plate.slots - 1, st.flow.NSR, r.IERR);
    r.CF = r.RFRIC / (st.point.QDYN * plate.girth * plate.length);
    return r;
}

double schoenherr(double Re) {  // 0.242/sqrt(CF) = log10(Re*CF)
    double CF = 0.003;
    for (int i = 0; i < 100; ++i) CF = std::pow(0.242 / std::log10(Re * CF), 2);
    return CF;
}

TEST(FlatPlate, LaminarLayerFollowsBlasius) {
    FlatPlate plate;
    plate.Re = 1e6;
    auto st = test::flatPlateState(plate);
    const MarchResult r = march(*st, plate);
    ASSERT_EQ(r.IERR, 0);
    EXPECT_DOUBLE_EQ(st->flow.XTR, st->flow.XADYN) << "laminar to the aft end";
    const double U = plate.speed();
    for (int K = 0; K < plate.slots - 1; ++K) {
        const double s = st->flow.SLEN[static_cast<std::size_t>(K)];
        if (s <= st->flow.SSTART) continue;  // ahead of the start: holds the start values
        const double blasius = 0.664 * s / std::sqrt(U * s / plate.VISC);
        EXPECT_NEAR(st->flow.THETA[static_cast<std::size_t>(K)] / blasius, 1.0, 0.02) << "slot " << K;
        EXPECT_NEAR(st->flow.H12[static_cast<std::size_t>(K)], 2.59, 0.03) << "slot " << K;
    }
    EXPECT_NEAR(r.CF / (1.328 / std::sqrt(plate.Re)), 1.0, 0.02);
}

TEST(FlatPlate, TurbulentFrictionFollowsSchoenherr) {
    for (double Re : {1e6, 1e7, 1e8, 1e9}) {
        FlatPlate plate;
        plate.Re = Re;
        auto st = test::flatPlateState(plate);
        st->input.HSTUD = 0.001;
        st->flow.XTRANS = 0.0;  // stimulated at the start of the march
        st->flow.TURBU = 0.5;
        const MarchResult r = march(*st, plate);
        ASSERT_EQ(r.IERR, 0) << Re;
        const double ittc = 0.075 / std::pow(std::log10(Re) - 2.0, 2);
        std::printf("Re %.0e  CF %.5f  Schoenherr %.5f (%+.1f %%)  ITTC-1957 %.5f (%+.1f %%)\n", Re, r.CF,
                    schoenherr(Re), 100.0 * (r.CF / schoenherr(Re) - 1.0), ittc, 100.0 * (r.CF / ittc - 1.0));
        EXPECT_NEAR(r.CF / schoenherr(Re), 1.0, 0.10) << Re;
    }
}

// Abu-Ghannam and Shaw onset on a flat plate (no pressure gradient): Re_theta of the Blasius
// layer reaches 0.8*(163 + exp(6.91 - TURBU)).
double naturalOnsetRun(const FlatPlate& plate, double TURBU) {
    const double Retheta = 0.8 * (163.0 + std::exp(6.91 * (1.0 - TURBU / 6.91)));
    const double Rex = (Retheta / 0.664) * (Retheta / 0.664);
    return Rex * plate.VISC / plate.speed();
}

TEST(Transition, MoreFreeStreamTurbulenceMovesItForward) {
    FlatPlate plate;
    double previous = 0.0;
    for (double TURBU : {0.01, 0.5, 1.0, 2.0}) {
        auto st = test::flatPlateState(plate);
        st->flow.TURBU = TURBU;
        ASSERT_EQ(march(*st, plate).IERR, 0);
        const double behindBow = st->hull.XFKEEL - st->flow.XTR;
        const double expected = naturalOnsetRun(plate, TURBU);
        EXPECT_NEAR(behindBow, expected, 0.02 * expected + 0.0025 * plate.length) << "TURBU " << TURBU;
        if (previous > 0.0) {
            EXPECT_LT(behindBow, previous) << "TURBU " << TURBU;
        }
        previous = behindBow;
    }
}

struct StimulatedPlate {
    MarchResult r;
    std::unique_ptr<CaseState> st;
};

StimulatedPlate withStimulator(double HSTUD, double XTRANS) {
    FlatPlate plate;
    StimulatedPlate p{{}, test::flatPlateState(plate)};
    CaseInput& in = p.st->input;
    in.HSTUD = HSTUD;
    in.DSTUD = 0.003;
    in.NSTUD = 20;
    in.XSTUD = 5.0;
    p.st->flow.XTRANS = XTRANS;
    p.r = march(*p.st, plate);
    return p;
}

TEST(Transition, StimulatorAheadOfNaturalTransitionFixesIt) {
    const FlatPlate plate;
    ASSERT_GT(naturalOnsetRun(plate, 0.01), 1.5);
    const StimulatedPlate p = withStimulator(0.001, 1.0);
    ASSERT_EQ(p.r.IERR, 0);
    const double behindBow = p.st->hull.XFKEEL - p.st->flow.XTR;
    EXPECT_GE(behindBow, 1.0);
    EXPECT_LE(behindBow, 1.0 + 0.0025 * plate.length) << "within one substep of the stimulator";
}

TEST(Transition, StimulatorBehindNaturalTransitionChangesOnlyTheStudDrag) {
    const StimulatedPlate behind = withStimulator(0.001, 5.0);
    const StimulatedPlate offHull = withStimulator(0.001, 1e3);
    const StimulatedPlate none = withStimulator(0.0, 5.0);
    ASSERT_EQ(behind.r.IERR, 0);
    ASSERT_EQ(offHull.r.IERR, 0);
    ASSERT_EQ(none.r.IERR, 0);
    EXPECT_EQ(behind.st->flow.XTR, offHull.st->flow.XTR);
    EXPECT_EQ(behind.st->flow.XTR, none.st->flow.XTR);
    EXPECT_EQ(behind.r.RFRIC, offHull.r.RFRIC);
    EXPECT_EQ(behind.st->flow.THETA, offHull.st->flow.THETA);
    EXPECT_GT(behind.st->flow.RSTUD, 0.0) << "the studs at XSTUD still drag";
    EXPECT_EQ(behind.st->flow.RSTUD, offHull.st->flow.RSTUD);
    EXPECT_EQ(none.st->flow.RSTUD, 0.0);
}

TEST(Closures, BranchesMeetAtTheirSwitchPoints) {
    // the two cf0 laws of the turbulent layer at Re_theta = 3255.80664
    EXPECT_NEAR(blayer::turbulentCf0(3255.80664), 0.0031772, 5e-7);
    EXPECT_NEAR(blayer::turbulentCf0(std::nextafter(3255.80664, 1e9)), 0.0031772, 5e-7);
    // the laminar shape factor at the Blasius energy shape factor: H12 = 2.59
    EXPECT_NEAR(blayer::laminarShapeFactor(1.57258 - 1e-9), 2.591, 2e-3);
    EXPECT_NEAR(blayer::laminarShapeFactor(1.57258), 2.591, 2e-3);
    EXPECT_DOUBLE_EQ(blayer::laminarShapeFactor(1.51509), 4.02922);
}

TEST(Transition, IntermittencyOfTheSpotLaws) {
    // zone from s = 1 m at Re = 1e6 with NS = 1e5; Y5 = 0.01 at s = 2 m, so that the exponent is
    // 2.5*5.4995*0.01*((Re_s - Re_t)/NS)^k with (Re_s - Re_t)/NS = +-2
    struct Case { int k; double U, gamma; };
    const double a = 2.5 * 5.4995 * 0.01;
    for (const Case c : {Case{1, 0.6, 1.0 - std::exp(-2.0 * a)}, Case{2, 0.6, 1.0 - std::exp(-4.0 * a)},
                         Case{2, 0.4, 1.0 - std::exp(-4.0 * a)}, Case{1, 0.4, 0.0}}) {
        blayer::TransitionZone z;
        z.st = 1.0;
        z.Ret = 1e6;
        z.NS = 1e5;
        z.k = c.k;
        EXPECT_NEAR(blayer::intermittency(z, 0.01, 2.0, c.U, 1e-6), c.gamma, 1e-12) << "k " << c.k << " U " << c.U;
        EXPECT_EQ(blayer::intermittency(z, 0.01, 1.0, c.U, 1e-6), 0.0) << "none at the transition point";
    }
}

TEST(FormFactor, TransomBaseDragRaisesIt) {
    FlatPlate plate;
    auto st = test::flatPlateState(plate);
    const MarchResult dry = march(*st, plate);
    st->flow.ASECD[0] = 0.4;
    MarchResult wet = march(*st, plate);
    const double U = plate.speed(), depth = 0.4 / plate.girth;
    const double PB = M_PI * st->point.RHO * U * U * depth * depth;
    const double K = 1.0 + 0.029 * std::pow(PB / dry.RFRIC, 1.5);
    ASSERT_GT(K, 1.0);
    EXPECT_NEAR(wet.FFORM, K, 1e-12 * K);
    EXPECT_NEAR(wet.RFRIC, dry.RFRIC * K, 1e-9 * wet.RFRIC);
    // a larger form factor from the equivalent body stays
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, ".");
    double RFRIC = 0.0, FFORM = K + 1.0;
    int IERR = 0;
    BLAYER(*st, io, RFRIC, U, FFORM, 0.0075 * plate.length, plate.slots - 1, st->flow.NSR, IERR);
    EXPECT_EQ(FFORM, K + 1.0);
    EXPECT_NEAR(RFRIC, dry.RFRIC * (K + 1.0), 1e-9 * RFRIC);
}

TEST(StimulatorDrag, StripAndStuds) {
    FlatPlate plate;
    auto st = test::flatPlateState(plate);
    CaseInput& in = st->input;
    in.HSTUD = 0.002;
    in.DSTUD = 0.003;
    in.XSTUD = 0.5;
    in.STIMCF = 0.0576 * 0.06 * std::pow(0.52 * 0.01 * in.HSTUD / in.XSTUD, 0.2);
    in.ZTOW = 0.3;
    st->balance.ZDRAG2 = 0.1;
    in.NSTUD = 0;  // a strip over the girth
    ASSERT_EQ(march(*st, plate).IERR, 0);
    EXPECT_NEAR(st->flow.RSTUD, plate.girth * st->point.QDYN * in.STIMCF, 1e-12 * st->flow.RSTUD);
    EXPECT_NEAR(st->flow.MYVISC, (0.15 * plate.girth + 0.4) * st->flow.RSTUD, 1e-12 * st->flow.MYVISC);
    in.NSTUD = 20;  // studs higher than the laminar layer: the share 1 - (delta* + theta)/HS of the free drag
    ASSERT_EQ(march(*st, plate).IERR, 0);
    const double free = in.NSTUD * st->point.QDYN * in.HSTUD * in.DSTUD * 1.18;
    auto M = [&](double s) {  // with the Blasius layer at s behind the bow
        const double theta = 0.664 * s / std::sqrt(plate.speed() * s / plate.VISC);
        return 1.0 - theta * (1.0 + 2.59) / in.HSTUD;
    };
    const double substep = 0.0025 * plate.length;  // the row is taken at the first substep end behind it
    EXPECT_GT(st->flow.RSTUD / free, 0.97 * M(in.XSTUD + substep));
    EXPECT_LT(st->flow.RSTUD / free, 1.03 * M(in.XSTUD));
}

TEST(Stern, ThickLayerSwitchesToTheMomentumAreaModel) {
    FlatPlate plate;
    plate.girth = 0.01;  // a slender body: the turbulent layer soon reaches 0.3 of girth/pi
    auto st = test::flatPlateState(plate);
    st->input.HSTUD = 0.001;
    st->flow.XTRANS = 0.0;
    st->flow.TURBU = 0.5;  // a short transition zone
    ASSERT_EQ(march(*st, plate).IERR, 0);
    const auto cf = [&](int K) { return st->flow.CFHALF[static_cast<std::size_t>(K)]; };
    EXPECT_EQ(cf(0), 0.0) << "the stern model's friction vanishes at the aft end";
    for (int K = 1; K < st->trial.IAMAX; ++K) EXPECT_LT(cf(K - 1), cf(K)) << "slot " << K;
}

TEST(Stern, TurbulentSeparationEndsTheFrictionAndRaisesTheFormFactor) {
    FlatPlate plate;
    auto st = test::flatPlateState(plate);
    FlowResults& f = st->flow;
    for (int i = 0; i <= kBodyPoints; ++i) {  // the edge velocity falls to 40 % over the after half
        const double s = f.SELLI[static_cast<std::size_t>(i)] / plate.length;
        f.VSURF[static_cast<std::size_t>(i)] = s <= 0.5 ? 1.0 : 1.0 - 1.2 * (s - 0.5);
    }
    int IERR = 0;
    RATSPL(kBodyPoints + 1, f.SELLI, f.VSURF, f.VSCOEF, f.VSP, IERR);
    ASSERT_EQ(IERR, 0);
    st->input.HSTUD = 0.001;
    f.XTRANS = 0.0;
    const MarchResult r = march(*st, plate);
    ASSERT_EQ(r.IERR, 0);
    EXPECT_GT(r.FFORM, 1.0) << "base drag of the separated stern";
    EXPECT_LT(f.CFHALF[0], 1e-8);
    EXPECT_EQ(f.CFHALF[0], f.CFHALF[1]) << "no further march behind the separation";
    EXPECT_GT(f.CFHALF[static_cast<std::size_t>(plate.slots - 3)], 1e-4);
}

TEST(Failure, UnusableMarchLeavesEveryResultUnchanged) {
    FlatPlate plate;
    auto st = test::flatPlateState(plate);
    st->flow.THETA.fill(7.0);
    st->flow.XTR = 3.0;
    st->flow.RSTUD = 11.0;
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, ".");
    double RFRIC = 13.0, FFORM = 1.1;
    int IERR = 0;
    BLAYER(*st, io, RFRIC, 0.0, FFORM, 0.0075 * plate.length, plate.slots - 1, st->flow.NSR, IERR);  // no speed
    EXPECT_EQ(IERR, kBlayerIntegrationFailure);
    EXPECT_EQ(RFRIC, 13.0);
    EXPECT_EQ(FFORM, 1.1);
    EXPECT_EQ(st->flow.THETA[5], 7.0);
    EXPECT_EQ(st->flow.XTR, 3.0);
    EXPECT_EQ(st->flow.RSTUD, 11.0);
}

TEST(Failure, LaminarSeparationAheadOfTheLargestSectionFailsTheIntegration) {
    FlatPlate plate;
    plate.Re = 1e5;  // too low a Reynolds number for the onset criterion
    auto st = test::flatPlateState(plate);
    FlowResults& f = st->flow;
    for (int i = 0; i <= kBodyPoints; ++i) {  // a decelerating forebody
        const double s = f.SELLI[static_cast<std::size_t>(i)] / plate.length;
        f.VSURF[static_cast<std::size_t>(i)] = s <= 0.2 ? 1.0 : std::max(0.5, 1.0 - (s - 0.2));
    }
    int IERR = 0;
    RATSPL(kBodyPoints + 1, f.SELLI, f.VSURF, f.VSCOEF, f.VSP, IERR);
    st->trial.IAMAX = 0;  // the whole hull lies forward of its largest section
    f.XTR = 3.0;
    EXPECT_EQ(march(*st, plate).IERR, kBlayerIntegrationFailure);
    EXPECT_EQ(f.XTR, 3.0);
    st->trial.IAMAX = plate.slots - 1;  // aft of it the separation is a transition
    const MarchResult r = march(*st, plate);
    EXPECT_EQ(r.IERR, 0);
    EXPECT_GT(st->hull.XFKEEL - f.XTR, 0.2 * plate.length);
}

// y' = y and y'' = -y over one unit, and a solution that blows up at s = 1.
class Exponential final : public OdeSystem {
public:
    void derivatives(double, const OdeState& y, OdeState& d) override {
        d.fill(0.0);
        d[0] = y[0];
        d[1] = y[2];
        d[2] = -y[1];
        d[3] = y[3] * y[3];
    }
};

TEST(BulirschStoer, SmoothAndSingularSystems) {
    Exponential sys;
    OdeState y{1.0, 0.0, 1.0, 0.0};
    ASSERT_TRUE(BSSTEP(sys, y, 0.0, 2.0, 0.5));
    EXPECT_NEAR(y[0], std::exp(2.0), 1e-4 * std::exp(2.0));
    EXPECT_NEAR(y[1], std::sin(2.0), 1e-4);
    EXPECT_NEAR(y[2], std::cos(2.0), 1e-4);
    OdeState blowUp{0.0, 0.0, 0.0, 1.0};  // y = 1/(1 - s)
    EXPECT_FALSE(BSSTEP(sys, blowUp, 0.0, 2.0, 0.1));
}

}  // namespace
}  // namespace carinex
