// The wetted transom and the hull above the rudder against an independent clipping of the section
// polygon; the immersed rudder through its three stages of immersion (emerged, free of the hull,
// joined to it).
#include "flow/transom_rudder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "flow/flow_support.h"
#include "flow/level_cut.h"

namespace carinex {
namespace {

using namespace test::heel;

// The round hull: slot 0 is a circle of radius 0.145 centred on ZS = 0, with vertical sides above
// +60 degrees up to ZS = -0.9.
double clippedArea(const CaseState& st, int K, double ZW) {
    return clipSection(st.hull.YS[ix(K)], st.hull.ZS[ix(K)], ZW, st.point.TANPHI).area;
}
double cutTolerance(const CaseState& st, int K) {
    return 2.0 * areaInterpolationBound(st.hull.YS[ix(K)], st.hull.ZS[ix(K)]) + 1e-15;
}

TEST(Transom, WettedAreaIsTheSectionBelowTheRaisedLevel) {
    Bench b;
    CaseState& st = *b.st;
    test::flow::prepareRound(st, RoundHull{});
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

// A tapered rudder of span 1 meeting the round hull between spans 0.8 and 0.9 from its tip.
struct RudderCase {
    Bench b;
    CaseState& st = *b.st;
    const FlowResults& f = st.flow;
    const TestPoint& p = st.point;

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
        test::flow::prepareRound(st, RoundHull{});
    }
    static double chord(double h) { return 0.25 + 0.15 * h; }
    void immerse(double s, double DELR = 0.0) {
        st.trial.RIMM = s;
        RUDIMM(st, 0.5, DELR, 0.0);
    }
};

// Emerged the rudder has no area. Free of the hull, up to SH1 inclusive, it is the trapezoid less
// the displacement thickness, its volume close to the integral of the sections RSECTF*t*c^2 (a
// cubic that Simpson's rule integrates exactly). Without boundary layer the geometry runs on
// continuously where the rudder meets the hull and where it is fully joined to it.
TEST(Rudder, ThroughItsStagesOfImmersion) {
    RudderCase c;
    c.immerse(0.5);
    c.immerse(-0.2, 0.01);
    EXPECT_TRUE(c.f.RAEFF == 0.0 && c.p.RASP == 1.0 && c.p.VRUDDT == 0.0 && c.p.RCWL == 0.0 && c.f.RGAP == 0.0);
    auto section = [&](double h) { return 0.7 * (0.09 + 0.03 * h) * c.chord(h) * c.chord(h); };
    for (double s : {0.1, 0.8}) {
        c.immerse(s, 0.02);
        const double cm = (0.25 + c.chord(s)) / 2.0;
        EXPECT_NEAR(c.p.VRUDDT / (s / 6.0 * (section(0.0) + 4.0 * section(s / 2.0) + section(s))), 1.0, 0.02) << s;
        EXPECT_NEAR(c.f.RAEFF, (s - 0.02) * cm, 1e-15) << s;
        EXPECT_NEAR(c.p.RASP, s / cm, 1e-13) << s;
        EXPECT_TRUE(c.p.RCWL == c.chord(s) && c.f.RHSPAN == s / 2.0 && c.f.RGAP == 0.0) << s;
    }
    for (double at : {0.8, 0.9}) {
        c.immerse(at);
        const double area = c.f.RAEFF, volume = c.p.VRUDDT, aspect = c.p.RASP;
        c.immerse(at + 1e-9);
        EXPECT_TRUE(std::fabs(c.f.RAEFF - area) < 1e-9 && std::fabs(c.p.VRUDDT - volume) < 1e-9) << at;
        EXPECT_NEAR(c.p.RASP, aspect, 1e-8) << at;
    }
    c.immerse(0.01, 0.02);
    EXPECT_EQ(c.f.RAEFF, 0.0) << "a span inside the displacement thickness has no effective area";
    c.immerse(0.95, 0.01);
    EXPECT_NEAR(c.f.RAEFF, c.st.upright.AR0 - 0.3 * 0.01, 1e-15) << "joined: the root chord's displacement";
    EXPECT_DOUBLE_EQ(c.p.RCWL, c.chord(0.9)) << "the chord where the rudder joins the hull";
    c.st.input.RCROOT = c.st.input.RCTIP = 0.3;
    c.st.input.RTCRT = c.st.input.RTCTP = 0.1;
    c.immerse(0.6);
    EXPECT_NEAR(c.p.VRUDDT, 0.7 * 0.1 * 0.3 * 0.3 * 0.6, 1e-16) << "a prism of constant section";
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
        EXPECT_NEAR(c.f.RGAP, std::max(exact, 0.0), 3.0 * cutTolerance(st, K2)) << r.IRUD << " " << r.level;
    }
}

}  // namespace
}  // namespace carinex
