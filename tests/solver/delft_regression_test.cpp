// The Delft-series regression beside the program's results: each resistance
// and side-force term against the printed rows (an independent transcription)
// along its table's axis: which rows the cubic or the end line runs through,
// the decay below the table, and how the table row adds the terms up.
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
using U = UprightParticulars;
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

// The program's term at each window's argument against the polynomial
// through the window's printed rows, at x = at/step + offset.
void expectWindows(const char* what, const std::function<double(double)>& program, const Row& row, double step,
                   double offset, std::initializer_list<Window> windows, double tol) {
    for (const Window& w : windows)
        EXPECT_NEAR(program(w.at), through(row, w.first, w.n, w.at / step + offset), tol) << what << " at " << w.at;
}

double ittc(double Re) { return 0.075 / std::pow(std::log10(Re) - 2, 2); }

class Delft : public ::testing::Test {
protected:
    void SetUp() override {
        const std::pair<double U::*, double> hull[] = {
            {&U::LWL, 10.2},  {&U::HVOL, 4.6},    {&U::LCBFP, 0.536}, {&U::CP0, 0.553},   {&U::RVAW, 0.187},
            {&U::RLB, 3.62},  {&U::RLCBF, 0.987}, {&U::RBT, 3.85},    {&U::CX0, 0.716},   {&U::RLV, 4.87},
            {&U::RKM, 2.14},  {&U::LCBPC, -3.6},  {&U::LCFPC, -6.3},  {&U::KAREA, 1.65},  {&U::RKT, 2.45},
            {&U::RVK, 61.0},  {&U::RTT, 0.36},    {&U::RTS, 0.148},   {&U::KTAPER, 0.58}, {&U::TTOT, 2.02},
            {&U::RCMEAN, 0.31}, {&U::RTCMN, 0.105}, {&U::AR0, 0.42},
        };
        for (const auto& [member, value] : hull) u.*member = value;
        st->input.KCHORD(3) = 1.12;
        st->input.KTHICK(3) = 0.115;
        TestPoint& p = st->point;
        p.RHO = 1025.9;
        p.VNU = 2.9e6;
        p.QDYN = 6150.0;
        p.VKEEL = 0.151;
        p.RASP = 3.4;
        p.RUDANG = 2.5 * st->run.PI / 180;
        st->balance.SWET = 27.4;
    }
    // heel and leeway in degrees, in the state as the test-point driver sets them
    void heel(double deg) {
        st->point.PHI = deg * st->run.PI / 180;
        st->point.COSPHI = std::cos(st->point.PHI);
    }
    void leeway(double deg) { st->point.LEEWAY = deg * st->run.PI / 180; }
    std::array<double, 2> hullAt(double FN, double heelDeg = 0) {  // RV, RR
        heel(heelDeg);
        double rv = 0, rr = 0;
        REGHUL(*st, FN, heelDeg, rv, rr);
        return {rv, rr};
    }
    double RR(double FN, double heelDeg = 0) { return hullAt(FN, heelDeg)[1]; }
    std::array<double, 3> keelAt(double FN, double heelDeg, double fskBefore = 0) {  // RK, RRU, FSK
        heel(heelDeg);
        std::array<double, 3> o{0, 0, fskBefore};
        REGAPP(*st, FN, heelDeg, 0.93, o[0], o[1], o[2]);
        return o;
    }
    double scale(double volume) const { return st->run.GRAV * st->point.RHO * volume; }  // rho g V
    double keelFriction() const {
        const double t = st->input.KTHICK(3);
        return ittc(st->point.VNU * st->input.KCHORD(3)) * st->point.QDYN * (1 + 2 * t + 60 * std::pow(t, 4)) * 2 *
               u.KAREA;
    }

    std::unique_ptr<CaseState> st = makeCaseState();
    U& u = st->upright;
};

TEST_F(Delft, CanoeBodyResiduaryAlongTheFroudeAxis) {
    // x = FN/0.05 - 2; upright rows 1 (0.15) .. 13 (0.75): cubics through four
    // neighbours, from 0.70 the line through the last two; below the table the
    // 0.15 row falls with the cube of the Froude number
    const double V = scale(2 * u.HVOL);
    const auto upright = [&](int pos) {
        const double* a = printed::kUprightResiduary[pos - 1];
        return V * (a[0] + (a[1] * u.LCBFP + a[2] * u.CP0 + a[3] * u.RVAW + a[4] / u.RLB + a[5] * u.RLCBF +
                            a[6] * u.RBT + a[7] * u.CX0) /
                               u.RLV);
    };
    expectWindows("upright", [&](double FN) { return RR(FN); }, upright, 0.05, -2,
                  {{0.15, 1, 1}, {0.17, 1, 4}, {0.23, 1, 4}, {0.37, 4, 4}, {0.52, 7, 4}, {0.68, 10, 4},
                   {0.72, 12, 2}, {0.80, 12, 2}, {0.90, 12, 2}},
                  1e-12 * V);
    for (double FN : {0.0, 0.05, 0.12}) EXPECT_NEAR(RR(FN), upright(1) * std::pow(FN / 0.15, 3), 1e-14 * V) << FN;

    // MEXT times the trim row over RKM and 0.0174550649282176 (a constant of
    // the method, not pi/180): none below 0.20, the line through 0.55 and 0.60
    const auto trim = [&](int pos) {
        const double* c = printed::kTrimMoment[pos - 1];
        return 1800 * (c[0] + c[1] * u.RLB + c[2] * u.RBT + c[3] / u.RVAW + c[4] * u.LCBPC + c[5] * u.LCFPC) / u.RKM /
               0.0174550649282176;
    };
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
    u.RKM = 0;  // without a moment the term is not evaluated: it would be 0/0
    EXPECT_NEAR(RR(0.40), upright(6), 1e-12 * V);

    // 6 phi^1.7 (radians) times the heel row, rows 3 (0.25) .. 9 (0.55): rows
    // 0.25 .. 0.40 up to 0.35, then centred, from 0.50 the end line; below
    // 0.25 the 0.25 row times (4 FN)^3
    const double k = V * 6 * std::pow(15 * st->run.PI / 180, 1.7);
    const auto heelRow = [&](int pos) {
        const double* c = printed::kHeelCorrection[pos - 3];
        return k * (c[0] + c[1] * u.RLB + (c[2] + c[3] * u.RBT) * u.RBT + (c[4] + c[5] * u.LCBFP) * u.LCBFP);
    };
    const auto heelTerm = [&](double FN) { return RR(FN, 15) - RR(FN); };
    expectWindows("heel", heelTerm, heelRow, 0.05, -2,
                  {{0.25, 3, 1}, {0.27, 3, 4}, {0.33, 3, 4}, {0.38, 4, 4}, {0.47, 6, 4}, {0.53, 8, 2}, {0.60, 8, 2}},
                  1e-12 * V);
    for (double FN : {0.10, 0.20}) EXPECT_NEAR(heelTerm(FN), heelRow(3) * std::pow(4 * FN, 3), 1e-12 * V) << FN;
    EXPECT_DOUBLE_EQ(RR(0.45, -18), RR(0.45, 18)) << "the hull heels alike to either side";
}

TEST_F(Delft, FrictionIsTheIttcLineOnTheHeeledWettedSurface) {
    // upright: ITTC-57 on 70 % of the waterline length; heeled: the surface
    // factor on the axis h/5, linear from 1 upright to the 5-degree row,
    // cubics up to 30 degrees, the line through the 30 and 35 degree rows beyond
    const double rv0 = hullAt(0.4)[0];
    EXPECT_NEAR(rv0, ittc(st->point.VNU * 0.7 * u.LWL) * st->point.QDYN * st->balance.SWET, 1e-12 * rv0);
    const auto surface = [&](int pos) {
        const double* s = pos > 0 ? printed::kWettedSurface[pos - 1] : nullptr;
        return s ? 1 + s[0] + (s[1] + s[2] * u.RBT) * u.RBT + s[3] * u.CX0 : 1.0;
    };
    expectWindows("wetted surface", [&](double h) { return hullAt(0.4, h)[0] / rv0; }, surface, 5, 0,
                  {{2.5, 0, 2}, {4.0, 0, 2}, {5.0, 1, 1}, {7.5, 1, 4}, {12.5, 1, 4}, {17.0, 2, 4}, {22.0, 3, 4},
                   {28.0, 4, 4}, {32.0, 6, 2}, {40.0, 6, 2}},
                  1e-13);
}

TEST_F(Delft, KeelResiduaryAndSideForce) {
    // keel residuary on x = FN/0.05 - 3, rows 1 (0.20) .. 9 (0.60): rows 0.20
    // .. 0.35 up to 0.30, then centred, from 0.55 the end line; below 0.20 the
    // 0.20 row times the cube of FN/0.2
    const double Vk = scale(st->point.VKEEL);
    const auto keel = [&](int pos) {
        const double* k = printed::kKeelResiduary[pos - 1];
        return Vk * (k[0] + k[1] / u.RBT + k[2] * u.RKT + k[3] * u.RVK);
    };
    const auto RKR = [&](double FN) { return keelAt(FN, 0)[0] - keelFriction(); };
    expectWindows("keel residuary", RKR, keel, 0.05, -3,
                  {{0.20, 1, 1}, {0.22, 1, 4}, {0.27, 1, 4}, {0.33, 2, 4}, {0.48, 5, 4}, {0.53, 6, 4}, {0.57, 8, 2},
                   {0.60, 9, 1}, {0.65, 8, 2}},
                  1e-10);
    for (double FN : {0.10, 0.15}) EXPECT_NEAR(RKR(FN), keel(1) * std::pow(FN / 0.2, 3), 1e-10) << FN;

    // the keel side force is q SWET times the side-force factor times the
    // leeway less the part heel alone produces, 0.0092 RBT RTT phi^2 FN; the
    // factor on x = heel/10 + 1, rows 1 (0 degrees) .. 4 (30): the cubic
    // through all four below 20 degrees, the line through the last two beyond
    const auto side = [&](int pos) {
        const double* b = printed::kSideForce[pos - 1];
        return (b[0] + b[1] * u.RTS + b[3] * u.RTT) * u.RTS + b[2] * u.RTT;
    };
    const auto factor = [&](double deg) {
        const double phi = deg * st->run.PI / 180;
        return keelAt(0.35, deg)[2] / (st->point.LEEWAY - 0.0092 * u.RBT * u.RTT * phi * phi * 0.35) /
               (st->point.QDYN * st->balance.SWET);
    };
    leeway(3.2);
    expectWindows("side force", factor, side, 10, 1, {{0, 1, 1}, {6, 1, 4}, {15, 1, 4}, {20, 3, 1}, {35, 3, 2}},
                  1e-12);
    leeway(0);  // heel alone makes the keel lift to windward
    expectWindows("side force, no leeway", factor, side, 10, 1, {{10, 2, 1}, {25, 3, 2}}, 1e-12);
    // neither leeway nor heel: the side forces are left as they were
    st->balance.FSR = -77.0;
    EXPECT_EQ(keelAt(0.40, 0, 55.0)[2], 55.0);
    EXPECT_EQ(st->balance.FSR, -77.0);
    // no speed, no forces
    st->point.QDYN = st->point.VNU = 0;
    leeway(3);
    const auto none = keelAt(0.0, 10);
    EXPECT_EQ((std::array{none[0], none[1], none[2], st->balance.FSR}), (std::array{0.0, 0.0, 0.0, 0.0}));
}

TEST_F(Delft, TableRowAddsTheTermsAndCarriesTheKeelForceOver) {
    st->point.FNU = 0.38;
    leeway(2.5);
    const auto hull = hullAt(0.38, 12);
    const auto keel = keelAt(0.38, 12);
    // bare hull: no side forces, whatever an earlier point left
    st->point.APPON = false;
    st->balance.FSR = 321.0;
    double fsk = 654.0;
    const RegressionRow bare = regressionRow(*st, 12, 0.93, fsk);
    EXPECT_EQ((std::array{bare.FNU, bare.Rviscous, bare.Rtotal}), (std::array{0.38, hull[0], hull[0] + hull[1]}));
    EXPECT_EQ((std::array{bare.FSkeel, bare.FSrudder, fsk}), (std::array{0.0, 0.0, 654.0}));
    EXPECT_EQ(st->balance.RTREG, bare.Rtotal);
    EXPECT_NE(regressionRowLine(bare).find("2.500000,"), std::string::npos) << "radians here, degrees in the table";
    // with appendages the total adds keel and rudder
    st->point.APPON = true;
    fsk = 0;
    const RegressionRow row = regressionRow(*st, 12, 0.93, fsk);
    EXPECT_DOUBLE_EQ(row.Rtotal, hull[0] + hull[1] + keel[0] + keel[1]);
    EXPECT_EQ(st->balance.RTREG, row.Rtotal);
    EXPECT_EQ((std::array{row.FSkeel, fsk}), (std::array{keel[2], keel[2]}));
    EXPECT_NE(row.FSrudder, 0.0);
    EXPECT_EQ(row.FSrudder, st->balance.FSR);
    // an upright point without leeway reports the side forces of the one before
    leeway(0);
    heel(0);
    const RegressionRow next = regressionRow(*st, 0, 0.93, fsk);
    EXPECT_EQ((std::array{next.FSkeel, next.FSrudder, next.LEEWAY}), (std::array{row.FSkeel, row.FSrudder, 0.0}));
}

}  // namespace
}  // namespace carinex
