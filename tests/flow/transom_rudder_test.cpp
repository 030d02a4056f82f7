// The wetted transom against an independent clipping of the section polygon,
// and the immersed rudder's geometry through its three stages of immersion.
#include "flow/transom_rudder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "flow/level_cut.h"
#include "hydrostatics/heeled_support.h"
#include "solver/force_balance.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

using namespace test::heel;

// The round hull's sections put straight into the prepared arrays: slot 0 is a circle of
// radius 0.145 centred on ZS = 0, with vertical sides above +60 degrees up to ZS = -0.9.
void roundSections(CaseState& st) {
    const RoundHull hull;
    prepareDirect(st, hull.stations, hull.xAft(), hull.xFwd(), [&](double x, int k) { return hull.point(x, k); });
}

TEST(Transom, WettedAreaIsTheSectionBelowTheRaisedLevel) {
    Bench b;
    CaseState& st = *b.st;
    roundSections(st);
    st.trial.VOLCB = 1.0;
    st.trial.AWLPHI = 4.0;  // the level rises by 1.6*FN*0.25
    st.trial.AHSPHI = 0.5;
    struct Row {
        double FN, SINKG, TRIMW, heel;
    };
    for (const Row r : {Row{0.0, 0.0, 0.0, 0.0}, Row{0.3, 0.0, 0.0, 0.0}, Row{0.3, 0.0, 0.0, 20.0},
                        Row{0.3, 0.0, 0.0, -20.0}, Row{0.2, 0.02, 0.01, 10.0},
                        Row{0.0, -1.5, 0.0, 0.0},    // above the top: the whole section
                        Row{0.0, 0.5, 0.0, 0.0},     // below the keel: dry
                        Row{0.0, 0.16, 0.0, 30.0}})  // keel dry, the low side cut
    {
        setTrial(st, r.SINKG, r.TRIMW, r.heel);
        TRANSM(st, r.FN);
        const double Z0 = r.SINKG - r.TRIMW * st.hull.XST[0] / st.point.COSPHI - 1.6 * r.FN * 0.25;
        const Cut exact = clipSection(st.hull.YS[0], st.hull.ZS[0], Z0, st.point.TANPHI);
        const double bound = 2.0 * areaInterpolationBound(st.hull.YS[0], st.hull.ZS[0]) + 1e-15;
        EXPECT_NEAR(st.flow.ATRANS * 0.5, exact.area, bound) << r.FN << " " << r.SINKG << " " << r.heel;
    }
}

// A tapered rudder with its junction with the hull between 0.8 and 0.9 of its 1 m span.
struct RudderCase {
    Bench b;
    CaseState& st = *b.st;

    RudderCase() {
        CaseInput& in = st.input;
        in.RSPAN = 1.0;
        in.RCROOT = 0.4;
        in.RCTIP = 0.25;
        in.RTCRT = 0.12;
        in.RTCTP = 0.09;
        in.RSECTF = 0.7;
        UprightParticulars& u = st.upright;
        u.SH1 = 0.8;
        u.SH2 = 0.9;
        u.AR0 = 0.5 * (in.RCTIP * u.SH1 + chord(u.SH1) * u.SH2);  // as the upright particulars form it
        u.CR0 = 0.3;
    }
    double chord(double h) const { return 0.25 + 0.15 * h; }
    double thickness(double h) const { return 0.09 + 0.03 * h; }
    void immerse(double s, double DELR = 0.0) {
        st.trial.RIMM = s;
        RUDIMM(st, 0.5, DELR, 0.0);
    }
};

TEST(Rudder, EmergedRudderHasNoAreaAndAspectRatioOne) {
    RudderCase c;
    for (double s : {0.0, -0.2}) {
        c.immerse(0.5);
        c.immerse(s, 0.01);
        EXPECT_EQ(c.st.flow.RAEFF, 0.0);
        EXPECT_EQ(c.st.point.RASP, 1.0);
        EXPECT_EQ(c.st.point.VRUDDT, 0.0);
        EXPECT_EQ(c.st.point.RCWL, 0.0);
        EXPECT_EQ(c.st.flow.RGAP, 0.0);
    }
}

// Free of the hull the rudder is the tapered span: a trapezoid in area. Its volume formula is
// exact for a rudder of constant section and close to the integral of the sections
// RSECTF*t*c^2 (a cubic in the span, which Simpson's rule integrates exactly) for a mild taper.
TEST(Rudder, FreeRudderIsTheImmersedTaperedSpan) {
    RudderCase c;
    for (double s : {0.1, 0.5, 0.8}) {
        c.immerse(s, 0.02);
        const double cm = (0.25 + c.chord(s)) / 2.0;
        auto section = [&](double h) { return 0.7 * c.thickness(h) * c.chord(h) * c.chord(h); };
        const double integral = s / 6.0 * (section(0.0) + 4.0 * section(s / 2.0) + section(s));
        EXPECT_NEAR(c.st.point.VRUDDT / integral, 1.0, 0.02) << s;
        EXPECT_NEAR(c.st.flow.RAEFF, (s - 0.02) * cm, 1e-15) << s;
        EXPECT_NEAR(c.st.point.RASP, s / cm, 1e-13) << s;
        EXPECT_DOUBLE_EQ(c.st.point.RCWL, c.chord(s));
        EXPECT_DOUBLE_EQ(c.st.flow.RHSPAN, s / 2.0);
        EXPECT_EQ(c.st.flow.RGAP, 0.0) << "reaching SH1 exactly is still free of the hull";
    }
    c.immerse(0.01, 0.02);
    EXPECT_EQ(c.st.flow.RAEFF, 0.0) << "a span inside the displacement thickness has no effective area";
    CaseInput& in = c.st.input;
    in.RCROOT = in.RCTIP = 0.3;
    in.RTCRT = in.RTCTP = 0.1;
    c.immerse(0.6);
    EXPECT_NEAR(c.st.point.VRUDDT, 0.7 * 0.1 * 0.3 * 0.3 * 0.6, 1e-16) << "a prism of constant section";
}

// Without boundary layer the geometry runs on continuously where the rudder meets the hull
// (SH1) and where it is fully joined to it (SH2).
TEST(Rudder, GeometryIsContinuousThroughTheJunction) {
    RudderCase c;
    roundSections(c.st);  // some hull for the section area above the rudder
    for (double at : {c.st.upright.SH1, c.st.upright.SH2}) {
        c.immerse(at);
        const double area = c.st.flow.RAEFF, volume = c.st.point.VRUDDT, aspect = c.st.point.RASP;
        c.immerse(at + 1e-9);
        EXPECT_NEAR(c.st.flow.RAEFF, area, 1e-9) << at;
        EXPECT_NEAR(c.st.point.VRUDDT, volume, 1e-9) << at;
        EXPECT_NEAR(c.st.point.RASP, aspect, 1e-8) << at;
    }
    c.immerse(0.95, 0.01);
    EXPECT_NEAR(c.st.flow.RAEFF, c.st.upright.AR0 - 0.3 * 0.01, 1e-15) << "joined: the root chord's displacement";
    EXPECT_DOUBLE_EQ(c.st.point.RCWL, c.chord(0.9)) << "the chord where the rudder joins the hull";
}

// The hull section area above the rudder, at the water level over the rudder's mid-chord,
// between the station aft of the mid-chord and the one forward of it.
TEST(Rudder, GapIsTheHullSectionAboveTheMidChord) {
    RudderCase c;
    CaseState& st = c.st;
    roundSections(st);
    st.point.BREFX = 0.5;
    const auto& XST = st.hull.XST;
    struct Row {
        int IRUD;
        double xm, level, heel;
    };
    for (const Row r : {Row{3, 0.3 * XST[2] + 0.7 * XST[3], -0.05, 0.0}, Row{3, 0.5 * (XST[2] + XST[3]), 0.02, 15.0},
                        Row{0, XST[0] - 0.1, 0.0, 0.0},  // aft of every station: the last pair, extrapolated
                        Row{3, XST[3], 0.6, 0.0}})       // the level below the keels: no gap
    {
        setTrial(st, 0.0, 0.0, r.heel);
        st.upright.IRUD = r.IRUD;
        st.hull.XR0 = r.xm + 0.15;
        st.hull.XR1 = r.xm - 0.15;
        c.immerse(st.input.RSPAN - r.level);
        const int K2 = std::max(r.IRUD, 1), K1 = K2 - 1;
        auto area = [&](int K) { return clipSection(st.hull.YS[ix(K)], st.hull.ZS[ix(K)], r.level, st.point.TANPHI).area; };
        const double exact = std::max(lineThrough(XST[ix(K1)], area(K1), XST[ix(K2)], area(K2), r.xm), 0.0);
        const double bound = 2.0 * areaInterpolationBound(st.hull.YS[ix(K2)], st.hull.ZS[ix(K2)]) + 1e-15;
        EXPECT_NEAR(st.flow.RGAP, exact, 3.0 * bound) << r.IRUD << " " << r.level;
    }
}

// The force balance hands the rudder the displacement thickness of the hull boundary layer at
// the rudder's station, or at the aft end of the dynamic waterline when that lies forward.
TEST(Rudder, ForceBalancePassesTheDisplacementThicknessAtTheRudder) {
    namespace fs = std::filesystem;
    test::ScratchDir dir;
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"}) fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    auto run = test::runIn(dir.path(), "CR3\n");
    ASSERT_EQ(run.status, 0) << run.console;
    CaseState& st = *run.state;
    ASSERT_TRUE(st.point.APPON) << "the last point of the example has keel and rudder";
    const int NSTM1 = st.raw.NST - 1;
    for (int ISTD1 : {1, st.upright.IRUD + 2}) {
        // what the flow models leave when they have no results of their own
        st.flow.ISTD1 = ISTD1;
        st.flow.ISTD2 = NSTM1;
        for (std::size_t K = 0; K < kStationSlots; ++K) {
            st.flow.THETA[K] = 0.001 * static_cast<double>(K + 1);
            st.flow.H12[K] = 1.4;
        }
        RunFiles io(std::cin, std::cout, dir.path());
        BILANZ(st, io, NSTM1);
        const double s = st.trial.RIMM, SH1 = st.upright.SH1, SH2 = st.upright.SH2;
        ASSERT_GT(s, SH1) << "the example's rudder reaches the hull";
        // joined over the part (1 - d/e) of the junction, d = SH2 - s, e = SH2 - SH1
        const double joined = s > SH2 ? 1.0 : 1.0 - (SH2 - s) / (SH2 - SH1);
        const auto K = ix(std::max(st.upright.IRUD, st.flow.ISTD1));
        const double delta = st.flow.THETA[K] * st.flow.H12[K], withLayer = st.flow.RAEFF;
        RUDIMM(st, 0.5 * st.upright.BWL, 0.0, 0.0);
        EXPECT_NEAR(st.flow.RAEFF - withLayer, st.upright.CR0 * delta * joined, 1e-12) << ISTD1;
        EXPECT_GT(delta * joined, 0.0);
    }
}

}  // namespace
}  // namespace carinex
