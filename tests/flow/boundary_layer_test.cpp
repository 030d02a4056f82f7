#include "flow/boundary_layer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "flow/boundary_layer_steps.h"
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

}  // namespace
}  // namespace carinex
