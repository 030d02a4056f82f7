#include "solver/delft_regression.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "driver/table_writer.h"
#include "solver/delft_tables.h"

namespace carinex {
namespace {

// ---------------------------------------------------------------------------
// Helpers written independently of the routines under test: the value of a
// table row for given hull parameters, and Lagrange's form of the polynomial
// through four equally spaced positions.

double cubicThrough(const std::array<double, 4>& y, int first, double x) {
    double sum = 0;
    for (int k = 0; k < 4; ++k) {
        double l = 1;
        for (int m = 0; m < 4; ++m) {
            if (m != k) l *= (x - (first + m)) / double(k - m);
        }
        sum += l * y[static_cast<std::size_t>(k)];
    }
    return sum;
}

double residuaryRow(const UprightParticulars& u, int row) {  // row 0 = FN 0.15
    const double* a = delft::kUprightResiduary.rows[row];
    return a[0] + (a[1] * u.LCBFP + a[2] * u.CP0 + a[3] * u.RVAW + a[4] / u.RLB + a[5] * u.RLCBF +
                   a[6] * u.RBT + a[7] * u.CX0) /
                      u.RLV;
}

double heelRow(const UprightParticulars& u, int row) {  // row 0 = FN 0.25
    const double* c = delft::kHeelCorrection.rows[row];
    return c[0] + c[1] * u.RLB + (c[2] + c[3] * u.RBT) * u.RBT + (c[4] + c[5] * u.LCBFP) * u.LCBFP;
}

double trimRow(const UprightParticulars& u, int row) {  // row 0 = FN 0.15
    const double* c = delft::kTrimMoment.rows[row];
    return c[0] + c[1] * u.RLB + c[2] * u.RBT + c[3] / u.RVAW + c[4] * u.LCBPC + c[5] * u.LCFPC;
}

double surfaceRow(const UprightParticulars& u, int row) {  // row 0 = 5 degrees
    const double* s = delft::kWettedSurface.rows[row];
    return 1 + s[0] + (s[1] + s[2] * u.RBT) * u.RBT + s[3] * u.CX0;
}

double keelRow(const UprightParticulars& u, int row) {  // row 0 = FN 0.20
    const double* k = delft::kKeelResiduary.rows[row];
    return k[0] + k[1] / u.RBT + k[2] * u.RKT + k[3] * u.RVK;
}

double sideForceRow(const UprightParticulars& u, int row) {  // row 0 = 0 degrees
    const double* b = delft::kSideForce.rows[row];
    return (b[0] + b[1] * u.RTS + b[3] * u.RTT) * u.RTS + b[2] * u.RTT;
}

double spanRow(const UprightParticulars& u, int row, double FN) {  // row 0 = 0 degrees
    const double* c = delft::kEffectiveSpan.rows[row];
    return ((c[0] + c[1] * u.RTT) * u.RTT + c[2] * u.RBT + c[3] * u.KTAPER) * (c[4] + c[5] * FN);
}

double ittc(double Re) { return 0.075 / std::pow(std::log10(Re) - 2, 2); }

// ---------------------------------------------------------------------------
// POLINT

TEST(Polint, ReturnsTheTabulatedValuesAtTheNodes) {
    const std::array<double, 4> xa{1.0, 2.5, 3.0, 4.75};
    const std::array<double, 4> ya{0.37, -1.25, 8.5, 2.0};
    for (std::size_t k = 0; k < 4; ++k) {
        double y = 0, dy = 0;
        POLINT(xa, ya, 4, xa[k], y, dy);
        EXPECT_EQ(y, ya[k]) << "node " << k;
        EXPECT_EQ(dy, 0.0) << "no correction at node " << k;
    }
}

TEST(Polint, ReproducesACubicThroughFourPoints) {
    const auto p = [](double x) { return 2 - x + 0.5 * x * x - 0.25 * x * x * x; };
    const std::array<double, 4> xa{1, 2, 3, 4};
    std::array<double, 4> ya{};
    for (std::size_t k = 0; k < 4; ++k) ya[k] = p(xa[k]);
    for (double x : {-0.5, 0.3, 1.2, 1.5, 2.49, 2.51, 3.7, 4.0, 5.5, 7.0}) {
        double y = 0, dy = 0;
        POLINT(xa, ya, 4, x, y, dy);
        EXPECT_NEAR(y, p(x), 1e-12 * (1 + std::fabs(p(x)))) << "x = " << x;
    }
}

TEST(Polint, ReproducesPolynomialsOfOtherDegrees) {
    // N points reproduce every polynomial of degree N-1
    const auto line = [](double x) { return 3 - 2 * x; };
    const auto quadratic = [](double x) { return 1 + 0.5 * x - 2 * x * x; };
    const auto quartic = [](double x) { return 0.1 - x + x * x * x - 0.2 * x * x * x * x; };
    const std::array<double, 5> xa{-1, 0.5, 1.25, 2, 3};
    std::array<double, 5> y1{}, y2{}, y4{};
    for (std::size_t k = 0; k < 5; ++k) {
        y1[k] = line(xa[k]);
        y2[k] = quadratic(xa[k]);
        y4[k] = quartic(xa[k]);
    }
    for (double x : {-2.0, 0.0, 0.9, 1.6, 2.8, 4.0}) {
        double y = 0, dy = 0;
        POLINT(xa, y1, 2, x, y, dy);
        EXPECT_NEAR(y, line(x), 1e-12) << "2 points, x = " << x;
        POLINT(xa, y2, 3, x, y, dy);
        EXPECT_NEAR(y, quadratic(x), 1e-12) << "3 points, x = " << x;
        POLINT(xa, y4, 5, x, y, dy);
        EXPECT_NEAR(y, quartic(x), 1e-11) << "5 points, x = " << x;
    }
    double y = 0, dy = 1;
    POLINT(xa, y4, 1, 2.7, y, dy);
    EXPECT_EQ(y, y4[0]) << "one point: the constant";
    EXPECT_EQ(dy, 0.0);
}

TEST(Polint, ErrorEstimateIsTheLastCorrection) {
    const std::array<double, 4> xa{1, 2, 3, 4};
    // a quadratic is fitted by three of the points already: last correction 0
    std::array<double, 4> yq{}, yc{};
    for (std::size_t k = 0; k < 4; ++k) {
        yq[k] = 1 + xa[k] * xa[k];
        yc[k] = xa[k] * xa[k] * xa[k];
    }
    double y = 0, dy = 1;
    POLINT(xa, yq, 4, 2.3, y, dy);
    EXPECT_NEAR(dy, 0.0, 1e-13);
    // a cubic: the last correction is the cubic less the quadratic through the
    // three points nearest to x = 2.3 (1, 2, 3): (x-1)(x-2)(x-3) times 1
    POLINT(xa, yc, 4, 2.3, y, dy);
    EXPECT_NEAR(dy, (2.3 - 1) * (2.3 - 2) * (2.3 - 3), 1e-13);
    EXPECT_NEAR(y, 2.3 * 2.3 * 2.3, 1e-13);
}

// ---------------------------------------------------------------------------
// Canoe body

class DelftHull : public ::testing::Test {
protected:
    void SetUp() override {
        UprightParticulars& u = st->upright;
        u.LWL = 10.2;
        u.HVOL = 4.6;
        u.LCBFP = 0.536;
        u.CP0 = 0.553;
        u.RVAW = 0.187;
        u.RLB = 3.62;
        u.RLCBF = 0.987;
        u.RBT = 3.85;
        u.CX0 = 0.716;
        u.RLV = 4.87;
        u.RKM = 2.14;
        u.LCBPC = -3.6;
        u.LCFPC = -6.3;
        TestPoint& p = st->point;
        p.RHO = 1025.9;
        p.VNU = 2.9e6;
        p.QDYN = 6150.0;
        st->balance.SWET = 27.4;
    }

    // Heel of the test point in degrees, also in the state as the test
    // driver sets it.
    void heel(double deg) {
        st->point.PHI = deg * st->run.PI / 180;
        st->point.SINPHI = std::sin(st->point.PHI);
        st->point.COSPHI = std::cos(st->point.PHI);
    }

    double RR(double FN, double heelDeg = 0) {
        heel(heelDeg);
        double rv = 0, rr = 0;
        REGHUL(*st, FN, heelDeg, rv, rr);
        return rr;
    }
    double RV(double heelDeg) {
        heel(heelDeg);
        double rv = 0, rr = 0;
        REGHUL(*st, 0.4, heelDeg, rv, rr);
        return rv;
    }

    double scale() const { return st->run.GRAV * st->point.RHO * 2 * st->upright.HVOL; }  // rho g V
    double residuaryAt(int row) const { return residuaryRow(st->upright, row); }

    std::unique_ptr<CaseState> st = makeCaseState();
};

TEST_F(DelftHull, UprightResiduaryAtEveryTabulatedFroudeNumber) {
    for (int r = 0; r < 13; ++r) {
        const double FN = 0.15 + 0.05 * r;
        const double expected = scale() * residuaryAt(r);
        EXPECT_NEAR(RR(FN), expected, 1e-12 * scale()) << "FN = " << FN;
    }
    // the rows differ: the check above sees every row on its own
    EXPECT_GT(std::fabs(residuaryAt(8) - residuaryAt(9)), 1e-4);
}

TEST_F(DelftHull, UprightResiduaryBetweenRowsIsTheCubicThroughFourNeighbours) {
    // x = FN/0.05 - 2; rows sit at x = 1 (0.15) .. 13 (0.75)
    struct Case {
        double FN;
        int first;  // position of the first of the four rows
    };
    for (const Case c : {Case{0.17, 1}, Case{0.23, 1}, Case{0.37, 4}, Case{0.52, 7}, Case{0.68, 10}}) {
        std::array<double, 4> y{};
        for (int k = 0; k < 4; ++k) y[static_cast<std::size_t>(k)] = residuaryAt(c.first - 1 + k);
        const double expected = scale() * cubicThrough(y, c.first, c.FN / 0.05 - 2);
        EXPECT_NEAR(RR(c.FN), expected, 1e-12 * scale()) << "FN = " << c.FN;
    }
}

TEST_F(DelftHull, BelowTheTableTheResiduaryFallsWithTheCubeOfFroudeNumber) {
    const double r15 = scale() * residuaryAt(0);
    EXPECT_NEAR(RR(0.10), r15 * std::pow(0.10 / 0.15, 3), 1e-14 * scale());
    EXPECT_NEAR(RR(0.05), r15 * std::pow(0.05 / 0.15, 3), 1e-14 * scale());
    EXPECT_NEAR(RR(0.12), r15 * std::pow(0.12 / 0.15, 3), 1e-14 * scale());
    EXPECT_EQ(RR(0.0), 0.0);
}

TEST_F(DelftHull, AboveTheTableTheResiduaryIsTheLineThroughTheLastTwoRows) {
    const double r70 = residuaryAt(11), r75 = residuaryAt(12);
    EXPECT_NEAR(RR(0.80), scale() * (r70 + 2 * (r75 - r70)), 1e-12 * scale());
    EXPECT_NEAR(RR(0.72), scale() * (r70 + 0.4 * (r75 - r70)), 1e-12 * scale()) << "between 0.70 and 0.75";
    EXPECT_NEAR(RR(0.90), scale() * (r70 + 4 * (r75 - r70)), 1e-12 * scale());
}

TEST_F(DelftHull, ZeroMomentSkipsTheTrimTerm) {
    st->point.MEXT = 0;
    const double plain = RR(0.40);
    EXPECT_NEAR(plain, scale() * residuaryAt(5), 1e-12 * scale());
    // RKM, LCBPC and LCFPC enter the trim term only
    st->upright.RKM = 7.5;
    st->upright.LCBPC = 4.0;
    st->upright.LCFPC = 1.0;
    EXPECT_EQ(RR(0.40), plain);
}

TEST_F(DelftHull, TrimMomentAddsItsTermAtTheTabulatedFroudeNumbers) {
    st->point.MEXT = 0;
    std::array<double, 10> plain{};
    for (int r = 0; r < 10; ++r) plain[static_cast<std::size_t>(r)] = RR(0.15 + 0.05 * r);
    st->point.MEXT = 1800;
    for (int r = 0; r < 10; ++r) {
        const double FN = 0.15 + 0.05 * r;
        const double expected = 1800 * trimRow(st->upright, r) / st->upright.RKM / 0.0174550649282176;
        EXPECT_NEAR(RR(FN) - plain[static_cast<std::size_t>(r)], expected, 1e-10) << "FN = " << FN;
    }
    // it is not zero where the table is not: the LCB term moves it
    const double before = RR(0.40);
    st->upright.LCBPC += 1;
    const double shift = 1800 * delft::kTrimMoment.rows[5][4] / st->upright.RKM / 0.0174550649282176;
    EXPECT_NEAR(RR(0.40) - before, shift, 1e-10);
    EXPECT_GT(std::fabs(shift), 1.0);
}

TEST_F(DelftHull, TrimMomentTermOutsideAndBetweenTheRows) {
    const UprightParticulars& u = st->upright;
    const double k = 2500 / u.RKM / 0.0174550649282176;
    st->point.MEXT = 0;
    const double p18 = RR(0.18), p42 = RR(0.42), p65 = RR(0.65);
    st->point.MEXT = 2500;
    EXPECT_EQ(RR(0.18), p18) << "no trim term below 0.20";
    std::array<double, 4> y{};
    for (int m = 0; m < 4; ++m) y[static_cast<std::size_t>(m)] = trimRow(u, 4 + m);  // x = 5 .. 8
    EXPECT_NEAR(RR(0.42) - p42, k * cubicThrough(y, 5, 0.42 / 0.05 - 2), 1e-10);
    const double t55 = trimRow(u, 8), t60 = trimRow(u, 9);
    EXPECT_NEAR(RR(0.65) - p65, k * (t55 + 2 * (t60 - t55)), 1e-10) << "line through 0.55 and 0.60";
}

TEST_F(DelftHull, HeelCorrectionAtTheTabulatedFroudeNumbers) {
    const double phi = 20 * st->run.PI / 180;
    for (int r = 0; r < 7; ++r) {
        const double FN = 0.25 + 0.05 * r;
        const double expected = scale() * 6 * std::pow(phi, 1.7) * heelRow(st->upright, r);
        EXPECT_NEAR(RR(FN, 20) - RR(FN, 0), expected, 1e-12 * scale()) << "FN = " << FN;
    }
}

TEST_F(DelftHull, HeelCorrectionOutsideAndBetweenTheRows) {
    const UprightParticulars& u = st->upright;
    const double phi = 15 * st->run.PI / 180;
    const double k = scale() * 6 * std::pow(phi, 1.7);
    // below 0.25: the 0.25 row times (4 FN)^3
    EXPECT_NEAR(RR(0.20, 15) - RR(0.20), k * heelRow(u, 0) * std::pow(0.8, 3), 1e-12 * scale());
    EXPECT_NEAR(RR(0.10, 15) - RR(0.10), k * heelRow(u, 0) * std::pow(0.4, 3), 1e-12 * scale());
    // above 0.50: the line through 0.50 and 0.55
    const double h50 = heelRow(u, 5), h55 = heelRow(u, 6);
    EXPECT_NEAR(RR(0.60, 15) - RR(0.60), k * (h50 + 2 * (h55 - h50)), 1e-12 * scale());
    EXPECT_NEAR(RR(0.53, 15) - RR(0.53), k * (h50 + 0.6 * (h55 - h50)), 1e-12 * scale());
    // between: rows 0.25 .. 0.40 (x = 3 .. 6) from 0.25 to 0.35, then centred
    struct Case {
        double FN;
        int first;
    };
    for (const Case c : {Case{0.27, 3}, Case{0.33, 3}, Case{0.38, 4}, Case{0.47, 6}}) {
        std::array<double, 4> y{};
        for (int m = 0; m < 4; ++m) y[static_cast<std::size_t>(m)] = heelRow(u, c.first - 3 + m);
        EXPECT_NEAR(RR(c.FN, 15) - RR(c.FN), k * cubicThrough(y, c.first, c.FN / 0.05 - 2), 1e-12 * scale())
            << "FN = " << c.FN;
    }
}

TEST_F(DelftHull, HeelToEitherSideGivesTheSameResiduary) {
    EXPECT_NE(RR(0.45, 18), RR(0.45, 0));
    EXPECT_DOUBLE_EQ(RR(0.45, -18), RR(0.45, 18));
}

TEST_F(DelftHull, UprightFrictionIsTheIttcLineOnSeventyPercentOfTheLength) {
    const double Re = st->point.VNU * 0.7 * st->upright.LWL;
    EXPECT_NEAR(RV(0), ittc(Re) * st->point.QDYN * st->balance.SWET, 1e-12 * RV(0));
    EXPECT_GT(RV(0), 100.0);
}

TEST_F(DelftHull, WettedSurfaceFactorAtTheTabulatedHeels) {
    const double rv0 = RV(0);
    for (int r = 0; r < 7; ++r) {
        const double h = 5.0 * (r + 1);
        EXPECT_NEAR(RV(h) / rv0, surfaceRow(st->upright, r), 1e-13) << "heel " << h;
    }
}

TEST_F(DelftHull, WettedSurfaceFactorIsLinearBelowFiveDegrees) {
    const double rv0 = RV(0);
    const double s5 = surfaceRow(st->upright, 0);
    EXPECT_NEAR(RV(2.5) / rv0, 0.5 * (1 + s5), 1e-14) << "halfway between 1 and the 5-degree row";
    EXPECT_NEAR(RV(1.0) / rv0, 1 + 0.2 * (s5 - 1), 1e-14);
    EXPECT_NEAR(RV(4.0) / rv0, 1 + 0.8 * (s5 - 1), 1e-14);
    EXPECT_GT(std::fabs(s5 - 1), 1e-3) << "the 5-degree row differs from 1";
}

TEST_F(DelftHull, WettedSurfaceFactorBetweenAndBeyondTheRows) {
    const UprightParticulars& u = st->upright;
    const double rv0 = RV(0);
    // positions h/5; rows at 1 (5 degrees) .. 7 (35 degrees)
    struct Case {
        double h;
        int first;
    };
    for (const Case c : {Case{7.5, 1}, Case{12.5, 1}, Case{17.0, 2}, Case{22.0, 3}, Case{28.0, 4}}) {
        std::array<double, 4> y{};
        for (int m = 0; m < 4; ++m) y[static_cast<std::size_t>(m)] = surfaceRow(u, c.first - 1 + m);
        EXPECT_NEAR(RV(c.h) / rv0, cubicThrough(y, c.first, c.h / 5), 1e-13) << "heel " << c.h;
    }
    const double s30 = surfaceRow(u, 5), s35 = surfaceRow(u, 6);
    EXPECT_NEAR(RV(32.0) / rv0, s30 + 0.4 * (s35 - s30), 1e-13);
    EXPECT_NEAR(RV(40.0) / rv0, s30 + 2 * (s35 - s30), 1e-13) << "line through 30 and 35 degrees";
}

// ---------------------------------------------------------------------------
// Keel and rudder

class DelftAppendages : public DelftHull {
protected:
    void SetUp() override {
        DelftHull::SetUp();
        UprightParticulars& u = st->upright;
        CaseInput& in = st->input;
        in.KCHORD(3) = 1.12;
        in.KTHICK(3) = 0.115;
        u.KAREA = 1.65;
        u.RKT = 2.45;
        u.RVK = 61.0;
        u.RTT = 0.36;
        u.RTS = 0.148;
        u.KTAPER = 0.58;
        u.TTOT = 2.02;
        u.RCMEAN = 0.31;
        u.RTCMN = 0.105;
        u.AR0 = 0.42;
        st->point.VKEEL = 0.151;
        st->point.RASP = 3.4;
        st->point.RUDANG = 2.5 * st->run.PI / 180;
    }

    void leeway(double deg) { st->point.LEEWAY = deg * st->run.PI / 180; }

    struct Out {
        double RK, RRU, FSK;
    };
    Out run(double FN, double heelDeg, double fskBefore = 0) {
        heel(heelDeg);
        Out o{0, 0, fskBefore};
        REGAPP(*st, FN, heelDeg, kSlopr, o.RK, o.RRU, o.FSK);
        return o;
    }

    double keelFriction() const {
        const double t = st->input.KTHICK(3);
        return ittc(st->point.VNU * st->input.KCHORD(3)) * st->point.QDYN * (1 + 2 * t + 60 * std::pow(t, 4)) * 2 *
               st->upright.KAREA;
    }
    double keelScale() const { return st->run.GRAV * st->point.RHO * st->point.VKEEL; }

    static constexpr double kSlopr = 0.93;
};

TEST_F(DelftAppendages, UprightWithoutLeewayLeavesTheSideForcesAlone) {
    leeway(0);
    st->balance.FSR = -77.0;
    const Out o = run(0.40, 0, 55.0);
    EXPECT_EQ(o.FSK, 55.0) << "keel side force kept";
    EXPECT_EQ(st->balance.FSR, -77.0) << "rudder side force kept";
    EXPECT_NEAR(o.RK, keelFriction() + keelScale() * keelRow(st->upright, 4), 1e-10);
    const double t = st->upright.RTCMN;
    const double rru = ittc(st->point.VNU * st->upright.RCMEAN) * st->point.QDYN * (1 + 2 * t + 60 * std::pow(t, 4)) *
                       2 * st->upright.AR0;
    EXPECT_NEAR(o.RRU, rru, 1e-12 * rru);
    EXPECT_GT(o.RRU, 10.0);
}

TEST_F(DelftAppendages, KeelResiduaryAtTheTabulatedFroudeNumbers) {
    for (int r = 0; r < 9; ++r) {
        const double FN = 0.20 + 0.05 * r;
        EXPECT_NEAR(run(FN, 0).RK - keelFriction(), keelScale() * keelRow(st->upright, r), 1e-10) << "FN = " << FN;
    }
}

TEST_F(DelftAppendages, KeelResiduaryOutsideAndBetweenTheRows) {
    const UprightParticulars& u = st->upright;
    const double k20 = keelRow(u, 0);
    EXPECT_NEAR(run(0.15, 0).RK - keelFriction(), keelScale() * k20 * std::pow(0.75, 3), 1e-10);
    EXPECT_NEAR(run(0.10, 0).RK - keelFriction(), keelScale() * k20 * std::pow(0.5, 3), 1e-10);
    const double k55 = keelRow(u, 7), k60 = keelRow(u, 8);
    EXPECT_NEAR(run(0.65, 0).RK - keelFriction(), keelScale() * (k55 + 2 * (k60 - k55)), 1e-10);
    EXPECT_NEAR(run(0.57, 0).RK - keelFriction(), keelScale() * (k55 + 0.4 * (k60 - k55)), 1e-10);
    // x = FN/0.05 - 3; rows 0.20 .. 0.35 (x = 1 .. 4) up to 0.30, then centred
    struct Case {
        double FN;
        int first;
    };
    for (const Case c : {Case{0.22, 1}, Case{0.27, 1}, Case{0.33, 2}, Case{0.48, 5}, Case{0.53, 6}}) {
        std::array<double, 4> y{};
        for (int m = 0; m < 4; ++m) y[static_cast<std::size_t>(m)] = keelRow(u, c.first - 1 + m);
        EXPECT_NEAR(run(c.FN, 0).RK - keelFriction(), keelScale() * cubicThrough(y, c.first, c.FN / 0.05 - 3), 1e-10)
            << "FN = " << c.FN;
    }
}

// The whole keel and rudder at a known state, every term written out.
TEST_F(DelftAppendages, KnownKeelAndRudderAtHeelAndLeeway) {
    const UprightParticulars& u = st->upright;
    const TestPoint& p = st->point;
    const double FN = 0.35, pi = st->run.PI;
    leeway(3.2);
    const Out o = run(FN, 10);  // 10 degrees: the second side-force row
    const double phi = 10 * pi / 180;

    const double betaE = p.LEEWAY - 0.0092 * u.RBT * u.RTT * phi * phi * FN;
    const double fsk = betaE * p.QDYN * st->balance.SWET * sideForceRow(u, 1);
    const double fsr = p.QDYN * u.AR0 * (pi * p.RASP / (std::sqrt(std::pow(0.5 * p.RASP * kSlopr, 2) + 1) + 1)) *
                       p.RUDANG * std::cos(phi) * 0.8;
    const double te = spanRow(u, 1, FN);
    const double induced = std::pow((fsr + fsk) / std::cos(phi) / (te * u.TTOT), 2) / (p.QDYN * pi);
    const double heelTerm =
        keelScale() * ((-3.5837 + 0.5958 * u.RBT) * u.RTT - 0.0518 * u.RBT + 0.2055 * u.RLV) * FN * FN * phi;
    const double rk = keelFriction() + keelScale() * keelRow(u, 3) + heelTerm + induced;

    EXPECT_NEAR(o.FSK, fsk, 1e-10 * std::fabs(fsk));
    EXPECT_NEAR(st->balance.FSR, fsr, 1e-10 * std::fabs(fsr));
    EXPECT_NEAR(o.RK, rk, 1e-10 * std::fabs(rk));
    EXPECT_GT(fsk, 1000.0);
    EXPECT_GT(fsr, 100.0);
    EXPECT_GT(induced, 10.0) << "the induced part is not negligible here";
    EXPECT_GT(std::fabs(heelTerm), 1.0) << "nor is the heel part";
}

TEST_F(DelftAppendages, SideForceTablesBetweenAndBeyondTheHeelRows) {
    const UprightParticulars& u = st->upright;
    const TestPoint& p = st->point;
    const double FN = 0.30, pi = st->run.PI;
    st->point.RUDANG = 0;  // keel side force only
    leeway(4.0);
    const auto check = [&](double h, double cs, double te) {
        const double phi = h * pi / 180;
        const Out o = run(FN, h);
        const double fsk = (p.LEEWAY - 0.0092 * u.RBT * u.RTT * phi * phi * FN) * p.QDYN * st->balance.SWET * cs;
        EXPECT_NEAR(o.FSK, fsk, 1e-10 * std::fabs(fsk)) << "heel " << h;
        EXPECT_EQ(st->balance.FSR, 0.0);
        // the rest of RK without the induced part
        double rest = keelFriction() + keelScale() * keelRow(u, 2);
        if (phi > 0)
            rest += keelScale() * ((-3.5837 + 0.5958 * u.RBT) * u.RTT - 0.0518 * u.RBT + 0.2055 * u.RLV) * FN * FN * phi;
        const double induced = std::pow(fsk / std::cos(phi) / (te * u.TTOT), 2) / (p.QDYN * pi);
        EXPECT_NEAR(o.RK - rest, induced, 1e-9 * induced) << "heel " << h;
    };
    std::array<double, 4> cs{}, te{};
    for (int r = 0; r < 4; ++r) {
        cs[static_cast<std::size_t>(r)] = sideForceRow(u, r);
        te[static_cast<std::size_t>(r)] = spanRow(u, r, FN);
    }
    check(0, cs[0], te[0]);
    check(20, cs[2], te[2]);
    check(30, cs[3], te[3]);
    check(6, cubicThrough(cs, 1, 1.6), cubicThrough(te, 1, 1.6));
    check(15, cubicThrough(cs, 1, 2.5), cubicThrough(te, 1, 2.5));
    check(25, cs[2] + 0.5 * (cs[3] - cs[2]), te[2] + 0.5 * (te[3] - te[2]));
    check(35, cs[2] + 1.5 * (cs[3] - cs[2]), te[2] + 1.5 * (te[3] - te[2]));
}

TEST_F(DelftAppendages, HeelWithoutLeewayStillGivesSideForces) {
    leeway(0);
    const Out o = run(0.40, 20, 999.0);
    // effective leeway is negative: heel alone makes the keel lift to windward
    const UprightParticulars& u = st->upright;
    const double phi = 20 * st->run.PI / 180;
    const double expected = -0.0092 * u.RBT * u.RTT * phi * phi * 0.40 * st->point.QDYN * st->balance.SWET *
                            sideForceRow(u, 2);
    EXPECT_NEAR(o.FSK, expected, 1e-10 * std::fabs(expected));
}

TEST_F(DelftAppendages, NoSpeedGivesNoForces) {
    st->point.QDYN = 0;
    st->point.VNU = 0;
    leeway(3);
    const Out o = run(0.0, 10);
    EXPECT_EQ(o.RK, 0.0);
    EXPECT_EQ(o.RRU, 0.0);
    EXPECT_EQ(o.FSK, 0.0);
    EXPECT_EQ(st->balance.FSR, 0.0);
}

// ---------------------------------------------------------------------------
// The table row

class RegressionRowTest : public DelftAppendages {
protected:
    void SetUp() override {
        DelftAppendages::SetUp();
        st->point.FNU = 0.38;
        leeway(2.5);
        heel(12);
    }
};

TEST_F(RegressionRowTest, BareHullRowHasNoSideForces) {
    st->point.APPON = false;
    st->balance.FSR = 321.0;  // left from an earlier point
    double fsk = 654.0;
    const RegressionRow row = regressionRow(*st, 12, kSlopr, fsk);
    double rv = 0, rr = 0;
    REGHUL(*st, 0.38, 12, rv, rr);
    EXPECT_EQ(row.FNU, 0.38);
    EXPECT_EQ(row.Rviscous, rv);
    EXPECT_EQ(row.Rtotal, rv + rr);
    EXPECT_EQ(st->balance.RTREG, rv + rr);
    EXPECT_EQ(row.FSkeel, 0.0);
    EXPECT_EQ(row.FSrudder, 0.0);
    EXPECT_EQ(fsk, 654.0);
    EXPECT_EQ(row.LEEWAY, st->point.LEEWAY) << "radians; the writer prints degrees";
    EXPECT_NE(regressionRowLine(row).find("2.500000,"), std::string::npos) << regressionRowLine(row);
    EXPECT_GT(rr, 0.0);
}

TEST_F(RegressionRowTest, WithAppendagesTheTotalAddsKeelAndRudder) {
    st->point.APPON = true;
    auto ref = makeCaseState();
    *ref = *st;
    double rv = 0, rr = 0, rk = 0, rru = 0, fskRef = 0;
    REGHUL(*ref, 0.38, 12, rv, rr);
    REGAPP(*ref, 0.38, 12, kSlopr, rk, rru, fskRef);

    double fsk = 0;
    const RegressionRow row = regressionRow(*st, 12, kSlopr, fsk);
    EXPECT_EQ(row.Rviscous, rv);
    EXPECT_EQ(row.Rtotal, rv + rr + rk + rru);
    EXPECT_EQ(st->balance.RTREG, row.Rtotal);
    EXPECT_EQ(row.FSkeel, fskRef);
    EXPECT_EQ(fsk, fskRef);
    EXPECT_EQ(row.FSrudder, ref->balance.FSR);
    EXPECT_GT(row.FSkeel, 0.0);
    EXPECT_GT(row.FSrudder, 0.0);
    EXPECT_GT(rk, 0.0);
    EXPECT_GT(rru, 0.0);
}

TEST_F(RegressionRowTest, UprightPointWithoutLeewayReportsTheEarlierSideForces) {
    st->point.APPON = true;
    double fsk = 0;
    const RegressionRow first = regressionRow(*st, 12, kSlopr, fsk);
    leeway(0);
    heel(0);
    const RegressionRow second = regressionRow(*st, 0, kSlopr, fsk);
    EXPECT_NE(first.FSkeel, 0.0);
    EXPECT_EQ(second.FSkeel, first.FSkeel);
    EXPECT_EQ(second.FSrudder, first.FSrudder);
    EXPECT_EQ(second.LEEWAY, 0.0);
}

}  // namespace
}  // namespace carinex
