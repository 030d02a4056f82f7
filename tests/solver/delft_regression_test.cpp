// The Delft-series regression beside the program's results: Neville's
// interpolation, and each resistance and side-force term against the printed
// rows (an independent transcription) along its table's axis: which rows the
// cubic or the end line runs through, and the decay below the table.
#include "solver/delft_regression.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

#include "driver/table_writer.h"
#include "solver/delft_reference_tables.h"

namespace carinex {
namespace {

namespace printed = test::delft_printed;
using Row = std::function<double(int)>;

// Lagrange's form of the polynomial through the n rows from position `first`.
double through(const Row& row, int first, int n, double x) {
    double sum = 0;
    for (int k = 0; k < n; ++k) {
        double l = 1;
        for (int m = 0; m < n; ++m)
            if (m != k) l *= (x - (first + m)) / double(k - m);
        sum += l * row(first + k);
    }
    return sum;
}

// n rows from position `first` (4: the cubic, 2: the end line, 1: a node) at argument `at`
struct Window {
    double at;
    int first, n;
};

// The value of a printed row for the hull, by its position on the table's axis.
double residuaryRow(const UprightParticulars& u, int pos) {  // pos 1 = FN 0.15
    const double* a = printed::kUprightResiduary[pos - 1];
    return a[0] + (a[1] * u.LCBFP + a[2] * u.CP0 + a[3] * u.RVAW + a[4] / u.RLB + a[5] * u.RLCBF +
                   a[6] * u.RBT + a[7] * u.CX0) /
                      u.RLV;
}
double heelRow(const UprightParticulars& u, int pos) {  // pos 3 = FN 0.25
    const double* c = printed::kHeelCorrection[pos - 3];
    return c[0] + c[1] * u.RLB + (c[2] + c[3] * u.RBT) * u.RBT + (c[4] + c[5] * u.LCBFP) * u.LCBFP;
}
double trimRow(const UprightParticulars& u, int pos) {  // pos 1 = FN 0.15
    const double* c = printed::kTrimMoment[pos - 1];
    return c[0] + c[1] * u.RLB + c[2] * u.RBT + c[3] / u.RVAW + c[4] * u.LCBPC + c[5] * u.LCFPC;
}
double surfaceRow(const UprightParticulars& u, int pos) {  // pos 1 = 5 degrees; pos 0: 1 upright
    if (pos == 0) return 1;
    const double* s = printed::kWettedSurface[pos - 1];
    return 1 + s[0] + (s[1] + s[2] * u.RBT) * u.RBT + s[3] * u.CX0;
}
double keelRow(const UprightParticulars& u, int pos) {  // pos 1 = FN 0.20
    const double* k = printed::kKeelResiduary[pos - 1];
    return k[0] + k[1] / u.RBT + k[2] * u.RKT + k[3] * u.RVK;
}
double sideForceRow(const UprightParticulars& u, int pos) {  // pos 1 = 0 degrees
    const double* b = printed::kSideForce[pos - 1];
    return (b[0] + b[1] * u.RTS + b[3] * u.RTT) * u.RTS + b[2] * u.RTT;
}
double spanRow(const UprightParticulars& u, int pos, double FN) {  // pos 1 = 0 degrees
    const double* c = printed::kEffectiveSpan[pos - 1];
    return ((c[0] + c[1] * u.RTT) * u.RTT + c[2] * u.RBT + c[3] * u.KTAPER) * (c[4] + c[5] * FN);
}
double ittc(double Re) { return 0.075 / std::pow(std::log10(Re) - 2, 2); }

// The program's term at each window's argument against the polynomial
// through the window's rows, at x = at/step + offset.
void expectWindows(const char* what, const std::function<double(double)>& program, const Row& row, double step,
                   double offset, std::initializer_list<Window> windows, double tol) {
    for (const Window& w : windows)
        EXPECT_NEAR(program(w.at), through(row, w.first, w.n, w.at / step + offset), tol) << what << " at " << w.at;
}

TEST(Polint, NPointsReproduceEveryPolynomialOfDegreeNMinusOne) {
    // unequally spaced abscissae; at a node the result is its ordinate exactly
    const std::array<double, 5> xa{-1, 0.5, 1.25, 2, 3};
    const std::array<std::array<double, 5>, 4> coefficients{{
        {3, -2}, {1, 0.5, -2}, {2, -1, 0.5, -0.25}, {0.1, -1, 0, 1, -0.2}}};  // degrees 1 .. 4
    std::array<double, 5> ya{};
    double y = 0, dy = 1;
    for (std::size_t deg = 1; deg <= 4; ++deg) {
        const auto p = [&](double x) {
            double v = 0;
            for (std::size_t k = deg + 1; k-- > 0;) v = v * x + coefficients[deg - 1][k];
            return v;
        };
        for (std::size_t k = 0; k < 5; ++k) ya[k] = p(xa[k]);
        const int N = static_cast<int>(deg) + 1;
        for (std::size_t k = 0; k <= deg; ++k) {
            POLINT(xa, ya, N, xa[k], y, dy);
            EXPECT_EQ((std::array{y, dy}), (std::array{ya[k], 0.0})) << N << " points, node " << k;
        }
        for (double x : {-2.0, -0.5, 0.0, 0.9, 1.6, 2.49, 2.8, 4.0, 7.0}) {
            POLINT(xa, ya, N, x, y, dy);
            EXPECT_NEAR(y, p(x), 1e-11 * (1 + std::fabs(p(x)))) << N << " points, x = " << x;
        }
    }
    // the error estimate of a cubic through 1 .. 4 at 2.3: the cubic less the
    // quadratic through the three nearest points, (x-1)(x-2)(x-3)
    const std::array<double, 4> xc{1, 2, 3, 4}, yc{1, 8, 27, 64};
    POLINT(xc, yc, 4, 2.3, y, dy);
    EXPECT_NEAR(dy, (2.3 - 1) * (2.3 - 2) * (2.3 - 3), 1e-13);
    EXPECT_NEAR(y, 2.3 * 2.3 * 2.3, 1e-13);
}

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
        st->point.RHO = 1025.9;
        st->point.VNU = 2.9e6;
        st->point.QDYN = 6150.0;
        st->balance.SWET = 27.4;
    }
    // heel of the test point in degrees, also in the state as the driver sets it
    void heel(double deg) {
        st->point.PHI = deg * st->run.PI / 180;
        st->point.SINPHI = std::sin(st->point.PHI);
        st->point.COSPHI = std::cos(st->point.PHI);
    }
    std::array<double, 2> hull(double FN, double heelDeg = 0) {  // RV, RR
        heel(heelDeg);
        double rv = 0, rr = 0;
        REGHUL(*st, FN, heelDeg, rv, rr);
        return {rv, rr};
    }
    double RR(double FN, double heelDeg = 0) { return hull(FN, heelDeg)[1]; }
    double scale() const { return st->run.GRAV * st->point.RHO * 2 * st->upright.HVOL; }  // rho g V

    std::unique_ptr<CaseState> st = makeCaseState();
};

TEST_F(DelftHull, ResiduaryTermsAlongTheFroudeAxis) {
    // x = FN/0.05 - 2; upright rows at 1 (0.15) .. 13 (0.75): cubics through
    // four neighbours, from 0.70 the line through the last two
    const auto upright = [&](int pos) { return scale() * residuaryRow(st->upright, pos); };
    expectWindows("upright", [&](double FN) { return RR(FN); }, upright, 0.05, -2,
                  {{0.15, 1, 1}, {0.17, 1, 4}, {0.23, 1, 4}, {0.37, 4, 4}, {0.52, 7, 4}, {0.68, 10, 4},
                   {0.72, 12, 2}, {0.80, 12, 2}, {0.90, 12, 2}},
                  1e-12 * scale());
    // below the table the 0.15 row falls with the cube of the Froude number
    for (double FN : {0.0, 0.05, 0.12}) EXPECT_NEAR(RR(FN), upright(1) * std::pow(FN / 0.15, 3), 1e-14 * scale());

    // MEXT times the trim row over RKM and 0.0174550649282176 (a constant of
    // the method, not pi/180): none below 0.20, the line through 0.55 and 0.60
    const auto trim = [&](int pos) { return 1800 * trimRow(st->upright, pos) / st->upright.RKM / 0.0174550649282176; };
    const auto trimTerm = [&](double FN) {
        st->point.MEXT = 0;
        const double plain = RR(FN);
        st->point.MEXT = 1800;
        return RR(FN) - plain;
    };
    expectWindows("trim moment", trimTerm, trim, 0.05, -2, {{0.20, 2, 1}, {0.42, 5, 4}, {0.60, 10, 1}, {0.65, 9, 2}},
                  1e-10);
    EXPECT_EQ(trimTerm(0.18), 0.0);
    st->point.MEXT = 0;
    st->upright.RKM = 0;  // without a moment the term is not evaluated: it would be 0/0
    EXPECT_NEAR(RR(0.40), upright(6), 1e-12 * scale());

    // 6 phi^1.7 times the heel row (phi in radians), rows 3 (0.25) .. 9 (0.55):
    // rows 0.25 .. 0.40 up to 0.35, then centred; from 0.50 the end line;
    // below 0.25 the 0.25 row times (4 FN)^3
    const double k = scale() * 6 * std::pow(15 * st->run.PI / 180, 1.7);
    const auto heelRows = [&](int pos) { return k * heelRow(st->upright, pos); };
    const auto heelTerm = [&](double FN) { return RR(FN, 15) - RR(FN); };
    expectWindows("heel", heelTerm, heelRows, 0.05, -2,
                  {{0.25, 3, 1}, {0.27, 3, 4}, {0.33, 3, 4}, {0.38, 4, 4}, {0.47, 6, 4}, {0.53, 8, 2}, {0.60, 8, 2}},
                  1e-12 * scale());
    for (double FN : {0.10, 0.20}) EXPECT_NEAR(heelTerm(FN), heelRows(3) * std::pow(4 * FN, 3), 1e-12 * scale());
    EXPECT_DOUBLE_EQ(RR(0.45, -18), RR(0.45, 18)) << "the hull heels alike to either side";
}

TEST_F(DelftHull, FrictionIsTheIttcLineOnTheHeeledWettedSurface) {
    // upright: ITTC-57 on 70 % of the waterline length; heeled: the surface
    // factor on the axis h/5, linear from 1 upright to the 5-degree row,
    // cubics up to 30 degrees, the line through the 30 and 35 degree rows beyond
    const double rv0 = hull(0.4)[0];
    EXPECT_NEAR(rv0, ittc(st->point.VNU * 0.7 * st->upright.LWL) * st->point.QDYN * st->balance.SWET, 1e-12 * rv0);
    expectWindows("wetted surface", [&](double h) { return hull(0.4, h)[0] / rv0; },
                  [&](int pos) { return surfaceRow(st->upright, pos); }, 5, 0,
                  {{2.5, 0, 2}, {4.0, 0, 2}, {5.0, 1, 1}, {7.5, 1, 4}, {12.5, 1, 4}, {17.0, 2, 4}, {22.0, 3, 4},
                   {28.0, 4, 4}, {32.0, 6, 2}, {40.0, 6, 2}},
                  1e-13);
}

class DelftAppendages : public DelftHull {
protected:
    void SetUp() override {
        DelftHull::SetUp();
        UprightParticulars& u = st->upright;
        st->input.KCHORD(3) = 1.12;
        st->input.KTHICK(3) = 0.115;
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
    // friction of a foil of chord c, thickness ratio t and area A on both sides
    double foilFriction(double c, double t, double A) const {
        return ittc(st->point.VNU * c) * st->point.QDYN * (1 + 2 * t + 60 * std::pow(t, 4)) * 2 * A;
    }
    double keelFriction() const { return foilFriction(st->input.KCHORD(3), st->input.KTHICK(3), st->upright.KAREA); }
    double rudderFriction() const { return foilFriction(st->upright.RCMEAN, st->upright.RTCMN, st->upright.AR0); }
    double keelScale() const { return st->run.GRAV * st->point.RHO * st->point.VKEEL; }

    // Keel and rudder term by term, given the side-force and span factors
    // cs, te at the heel and the keel residuary row value kr at FN.
    struct Expected {
        double FSK, FSR, RK;
    };
    Expected expected(double FN, double heelDeg, double cs, double te, double kr) const {
        const UprightParticulars& u = st->upright;
        const TestPoint& p = st->point;
        const double pi = st->run.PI, phi = heelDeg * pi / 180;
        const double fsk = (p.LEEWAY - 0.0092 * u.RBT * u.RTT * phi * phi * FN) * p.QDYN * st->balance.SWET * cs;
        const double fsr = p.QDYN * u.AR0 * (pi * p.RASP / (std::sqrt(std::pow(0.5 * p.RASP * kSlopr, 2) + 1) + 1)) *
                           p.RUDANG * std::cos(phi) * 0.8;
        const double induced = std::pow((fsr + fsk) / std::cos(phi) / (te * u.TTOT), 2) / (p.QDYN * pi);
        const double heelTerm =
            keelScale() * ((-3.5837 + 0.5958 * u.RBT) * u.RTT - 0.0518 * u.RBT + 0.2055 * u.RLV) * FN * FN * phi;
        return {fsk, fsr, keelFriction() + keelScale() * kr + heelTerm + induced};
    }
    static constexpr double kSlopr = 0.93;
};

TEST_F(DelftAppendages, KeelResiduaryAlongTheFroudeAxis) {
    // x = FN/0.05 - 3, rows 1 (0.20) .. 9 (0.60): rows 0.20 .. 0.35 up to
    // 0.30, then centred; from 0.55 the end line; below 0.20 the cube of FN/0.2
    const auto row = [&](int pos) { return keelScale() * keelRow(st->upright, pos); };
    const auto RKR = [&](double FN) { return run(FN, 0).RK - keelFriction(); };
    expectWindows("keel residuary", RKR, row, 0.05, -3,
                  {{0.20, 1, 1}, {0.22, 1, 4}, {0.27, 1, 4}, {0.33, 2, 4}, {0.48, 5, 4}, {0.53, 6, 4}, {0.57, 8, 2},
                   {0.60, 9, 1}, {0.65, 8, 2}},
                  1e-10);
    for (double FN : {0.10, 0.15}) EXPECT_NEAR(RKR(FN), row(1) * std::pow(FN / 0.2, 3), 1e-10) << FN;
}

// Heel axis x = heel/10 + 1, side-force and span rows 1 (0 degrees) .. 4 (30):
// the cubic through all four below 20 degrees, the line through the last two beyond.
TEST_F(DelftAppendages, SideForcesAndKeelResistanceAlongTheHeelAxis) {
    const UprightParticulars& u = st->upright;
    const double FN = 0.35;
    const auto cs = [&](int pos) { return sideForceRow(u, pos); };
    const auto te = [&](int pos) { return spanRow(u, pos, FN); };
    leeway(3.2);
    for (const Window w : {Window{0, 1, 1}, {10, 2, 1}, {20, 3, 1}, {30, 4, 1}, {6, 1, 4}, {15, 1, 4}, {25, 3, 2},
                           {35, 3, 2}}) {
        const Out o = run(FN, w.at);
        const double x = w.at / 10 + 1;
        const Expected e = expected(FN, w.at, through(cs, w.first, w.n, x), through(te, w.first, w.n, x), keelRow(u, 4));
        EXPECT_NEAR(o.FSK, e.FSK, 1e-10 * std::fabs(e.FSK)) << "heel " << w.at;
        EXPECT_NEAR(st->balance.FSR, e.FSR, 1e-10 * std::fabs(e.FSR)) << "heel " << w.at;
        EXPECT_NEAR(o.RK, e.RK, 1e-10 * e.RK) << "heel " << w.at;
        EXPECT_NEAR(o.RRU, rudderFriction(), 1e-12 * o.RRU);
    }
    // heel without leeway: the effective leeway is negative, the keel lifts to windward
    leeway(0);
    const double phi = 20 * st->run.PI / 180;
    const double fsk = -0.0092 * u.RBT * u.RTT * phi * phi * 0.40 * st->point.QDYN * st->balance.SWET * cs(3);
    EXPECT_NEAR(run(0.40, 20, 999.0).FSK, fsk, 1e-10 * std::fabs(fsk));
    // neither leeway nor heel: the side forces are left as they were
    st->balance.FSR = -77.0;
    EXPECT_EQ(run(0.40, 0, 55.0).FSK, 55.0);
    EXPECT_EQ(st->balance.FSR, -77.0);
    // no speed, no forces
    st->point.QDYN = st->point.VNU = 0;
    leeway(3);
    const Out o = run(0.0, 10);
    EXPECT_EQ((std::array{o.RK, o.RRU, o.FSK, st->balance.FSR}), (std::array{0.0, 0.0, 0.0, 0.0}));
}

// FN 0.38 is x = 5.6 on the canoe-body axes (rows 4 .. 7) and 4.6 on the keel
// axis (rows 3 .. 6); 12 degrees heel is 2.4 on the surface axis and 2.2 on
// the side-force axis (rows 1 .. 4 for both).
TEST_F(DelftAppendages, RegressionRowAddsTheTermsAndCarriesTheKeelForceOver) {
    const UprightParticulars& u = st->upright;
    st->point.FNU = 0.38;
    leeway(2.5);
    heel(12);
    const double rv = ittc(st->point.VNU * 0.7 * u.LWL) * st->point.QDYN * st->balance.SWET *
                      through([&](int pos) { return surfaceRow(u, pos); }, 1, 4, 2.4);
    const double rr = scale() * (through([&](int pos) { return residuaryRow(u, pos); }, 4, 4, 5.6) +
                                 6 * std::pow(12 * st->run.PI / 180, 1.7) *
                                     through([&](int pos) { return heelRow(u, pos); }, 4, 4, 5.6));
    // bare hull: no side forces, whatever an earlier point left
    st->point.APPON = false;
    st->balance.FSR = 321.0;
    double fsk = 654.0;
    const RegressionRow bare = regressionRow(*st, 12, kSlopr, fsk);
    EXPECT_EQ(bare.FNU, 0.38);
    EXPECT_NEAR(bare.Rviscous, rv, 1e-12 * rv);
    EXPECT_NEAR(bare.Rtotal, rv + rr, 1e-12 * (rv + rr));
    EXPECT_EQ(st->balance.RTREG, bare.Rtotal);
    EXPECT_EQ((std::array{bare.FSkeel, bare.FSrudder, fsk}), (std::array{0.0, 0.0, 654.0}));
    EXPECT_NE(regressionRowLine(bare).find("2.500000,"), std::string::npos) << "radians here, degrees in the table";
    // with appendages the total adds keel and rudder
    st->point.APPON = true;
    const Expected e = expected(0.38, 12, through([&](int pos) { return sideForceRow(u, pos); }, 1, 4, 2.2),
                                through([&](int pos) { return spanRow(u, pos, 0.38); }, 1, 4, 2.2),
                                through([&](int pos) { return keelRow(u, pos); }, 3, 4, 4.6));
    const double rt = rv + rr + e.RK + rudderFriction();
    fsk = 0;
    const RegressionRow row = regressionRow(*st, 12, kSlopr, fsk);
    EXPECT_NEAR(row.Rtotal, rt, 1e-10 * rt);
    EXPECT_EQ(st->balance.RTREG, row.Rtotal);
    EXPECT_NEAR(row.FSkeel, e.FSK, 1e-10 * e.FSK);
    EXPECT_EQ(fsk, row.FSkeel);
    EXPECT_NEAR(row.FSrudder, e.FSR, 1e-10 * e.FSR);
    // an upright point without leeway reports the side forces of the one before
    leeway(0);
    heel(0);
    const RegressionRow next = regressionRow(*st, 0, kSlopr, fsk);
    EXPECT_EQ((std::array{next.FSkeel, next.FSrudder, next.LEEWAY}), (std::array{row.FSkeel, row.FSrudder, 0.0}));
}

}  // namespace
}  // namespace carinex
