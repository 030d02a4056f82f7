// The wetted transom and the hull above the rudder against an independent
// clipping of the section polygon; the immersed rudder through its three
// stages of immersion.
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

double clippedArea(const CaseState& st, int K, double ZW) {
    return clipSection(st.hull.YS[ix(K)], st.hull.ZS[ix(K)], ZW, st.point.TANPHI).area;
}
double cutTolerance(const CaseState& st, int K) {
    return 2.0 * areaInterpolationBound(st.hull.YS[ix(K)], st.hull.ZS[ix(K)]) + 1e-15;
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
    for (const Row r :
         {Row{0.0, 0.0, 0.0, 0.0}, Row{0.3, 0.0, 0.0, 20.0}, Row{0.3, 0.0, 0.0, -20.0}, Row{0.2, 0.02, 0.01, 10.0},
          Row{0.0, -1.5, 0.0, 0.0} /* above the top: all of it */, Row{0.0, 0.5, 0.0, 0.0} /* below the keel */,
          Row{0.0, 0.16, 0.0, 30.0} /* keel dry, low side cut */}) {
        setTrial(st, r.SINKG, r.TRIMW, r.heel);
        TRANSM(st, r.FN);
        const double Z0 = r.SINKG - r.TRIMW * st.hull.XST[0] / st.point.COSPHI - 1.6 * r.FN * 0.25;
        EXPECT_NEAR(st.flow.ATRANS * 0.5, clippedArea(st, 0, Z0), cutTolerance(st, 0))
            << r.FN << " " << r.SINKG << " " << r.heel;
    }
}

// A tapered rudder of span 1 meeting the hull between spans 0.8 and 0.9 from its tip.
struct RudderCase {
    Bench b;
    CaseState& st = *b.st;

    RudderCase() {
        st.input.RSPAN = 1.0;
        st.input.RCROOT = 0.4;
        st.input.RCTIP = 0.25;
        st.input.RTCRT = 0.12;
        st.input.RTCTP = 0.09;
        st.input.RSECTF = 0.7;
        st.upright.SH1 = 0.8;
        st.upright.SH2 = 0.9;
        st.upright.AR0 = 0.5 * (0.25 * 0.8 + chord(0.8) * 0.9);  // as the upright particulars form it
        st.upright.CR0 = 0.3;
        roundSections(st);  // some hull above the rudder
    }
    static double chord(double h) { return 0.25 + 0.15 * h; }
    void immerse(double s, double DELR = 0.0) {
        st.trial.RIMM = s;
        RUDIMM(st, 0.5, DELR, 0.0);
    }
};

TEST(Rudder, EmergedAndFreeRudder) {
    RudderCase c;
    const FlowResults& f = c.st.flow;
    const TestPoint& p = c.st.point;
    for (double s : {0.0, -0.2}) {
        c.immerse(0.5);
        c.immerse(s, 0.01);
        EXPECT_TRUE(f.RAEFF == 0.0 && p.RASP == 1.0 && p.VRUDDT == 0.0 && p.RCWL == 0.0 && f.RGAP == 0.0) << s;
    }
    // free of the hull, up to SH1 inclusive: the trapezoid less the displacement thickness; the
    // volume close to the integral of the sections RSECTF*t*c^2, a cubic that Simpson's rule
    // integrates exactly
    for (double s : {0.1, 0.5, 0.8}) {
        c.immerse(s, 0.02);
        const double cm = (0.25 + c.chord(s)) / 2.0;
        auto section = [&](double h) { return 0.7 * (0.09 + 0.03 * h) * c.chord(h) * c.chord(h); };
        EXPECT_NEAR(p.VRUDDT / (s / 6.0 * (section(0.0) + 4.0 * section(s / 2.0) + section(s))), 1.0, 0.02) << s;
        EXPECT_NEAR(f.RAEFF, (s - 0.02) * cm, 1e-15) << s;
        EXPECT_NEAR(p.RASP, s / cm, 1e-13) << s;
        EXPECT_TRUE(p.RCWL == c.chord(s) && f.RHSPAN == s / 2.0 && f.RGAP == 0.0) << s;
    }
    c.immerse(0.01, 0.02);
    EXPECT_EQ(f.RAEFF, 0.0) << "a span inside the displacement thickness has no effective area";
    c.st.input.RCROOT = c.st.input.RCTIP = 0.3;
    c.st.input.RTCRT = c.st.input.RTCTP = 0.1;
    c.immerse(0.6);
    EXPECT_NEAR(p.VRUDDT, 0.7 * 0.1 * 0.3 * 0.3 * 0.6, 1e-16) << "a prism of constant section";
}

// Without boundary layer the geometry runs on continuously where the rudder meets the hull and
// where it is fully joined to it.
TEST(Rudder, GeometryIsContinuousThroughTheJunction) {
    RudderCase c;
    for (double at : {0.8, 0.9}) {
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

// The hull section area above the rudder at the water level over its mid-chord, between the
// stations aft and forward of the mid-chord.
TEST(Rudder, GapIsTheHullSectionAboveTheMidChord) {
    RudderCase c;
    CaseState& st = c.st;
    const auto& XST = st.hull.XST;
    struct Row {
        int IRUD;
        double xm, level, heel;
    };
    for (const Row r : {Row{3, 0.3 * XST[2] + 0.7 * XST[3], -0.05, 0.0}, Row{3, 0.5 * (XST[2] + XST[3]), 0.02, 15.0},
                        Row{0, XST[0] - 0.1, 0.0, 0.0} /* aft of every station: the last pair */,
                        Row{3, XST[3], 0.6, 0.0} /* below the keels */}) {
        setTrial(st, 0.0, 0.0, r.heel);
        st.upright.IRUD = r.IRUD;
        st.hull.XR0 = r.xm + 0.15;
        st.hull.XR1 = r.xm - 0.15;
        c.immerse(st.input.RSPAN - r.level);
        const int K2 = std::max(r.IRUD, 1), K1 = K2 - 1;
        const double exact =
            lineThrough(XST[ix(K1)], clippedArea(st, K1, r.level), XST[ix(K2)], clippedArea(st, K2, r.level), r.xm);
        EXPECT_NEAR(st.flow.RGAP, std::max(exact, 0.0), 3.0 * cutTolerance(st, K2)) << r.IRUD << " " << r.level;
    }
}

// The force balance hands the rudder the displacement thickness of the hull boundary layer at
// the rudder's station, or at the aft end of the dynamic waterline when that lies forward of it.
TEST(Rudder, ForceBalancePassesTheDisplacementThicknessAtTheRudder) {
    namespace fs = std::filesystem;
    test::ScratchDir dir;
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    auto run = test::runIn(dir.path(), "CR3\n");
    ASSERT_EQ(run.status, 0) << run.console;
    CaseState& st = *run.state;
    ASSERT_TRUE(st.point.APPON) << "the last point of the example has keel and rudder";
    const int NSTM1 = st.raw.NST - 1;
    for (int ISTD1 : {1, st.upright.IRUD + 2}) {
        // what the flow models leave where they have no results of their own
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
