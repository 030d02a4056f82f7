// The Delft-series regression beside the program's results: its coefficient
// tables against the printed tables, transcribed by
// tools/transcribe_delft_tables.py (re-run it with --check to see that the
// transcription still matches the document); the way each term runs along its
// table's axis: between the rows the cubic through four neighbouring rows (the
// end line beyond the last), continuous at every row, the decay laws below the
// tables; guards and closed forms; the warnings for a hull outside the series'
// parameter range.
#include "solver/delft_regression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "solver/delft_range.h"
#include "solver/delft_reference_tables.h"
#include "solver/delft_tables.h"

namespace carinex {
namespace {

using U = UprightParticulars;
namespace printed = test::delft_printed;

// Lagrange's form of the polynomial through the n rows from position `first`.
double through(const std::function<double(int)>& row, int first, int n, double x) {
    double sum = 0;
    for (int k = 0; k < n; ++k) {
        double l = 1;
        for (int m = 0; m < n; ++m)
            if (m != k) l *= (x - (first + m)) / double(k - m);
        sum += l * row(first + k);
    }
    return sum;
}

class Delft : public ::testing::Test {
protected:
    void SetUp() override {
        u = {.LWL = 10.2, .HVOL = 4.6, .LCBFP = 0.536, .CX0 = 0.716, .CP0 = 0.553, .RVAW = 0.187, .RLV = 4.87,
             .RLCBF = 0.987, .RKM = 2.14, .RLB = 3.62, .RBT = 3.85, .LCBPC = -3.6, .LCFPC = -6.3, .KAREA = 1.65,
             .AR0 = 0.42, .RKT = 2.45, .RVK = 61.0, .RTT = 0.36, .RTS = 0.148, .KTAPER = 0.58, .TTOT = 2.02,
             .RCMEAN = 0.31, .RTCMN = 0.105};
        st->point = {.VNU = 2.9e6, .RHO = 1025.9, .QDYN = 6150.0, .RUDANG = 0.0436, .VKEEL = 0.151, .RASP = 3.4};
        st->input.KCHORD(3) = 1.12;
        st->input.KTHICK(3) = 0.115;
        st->balance.SWET = 27.4;
    }
    // heel in degrees, in the state as the test-point driver sets it (leeway likewise below)
    void heel(double deg) {
        st->point.PHI = deg * st->run.PI / 180;
        st->point.COSPHI = std::cos(st->point.PHI);
    }
    std::array<double, 2> hullAt(double FN, double heelDeg = 0, double MEXT = 0) {  // RV, RR
        heel(heelDeg);
        st->point.MEXT = MEXT;
        double rv = 0, rr = 0;
        REGHUL(*st, FN, heelDeg, rv, rr);
        return {rv, rr};
    }
    std::array<double, 3> keelAt(double FN, double heelDeg, double leewayDeg = 0, double fskBefore = 0,
                                 double SLOPR = 0.93) {
        heel(heelDeg);  // RK, RRU, FSK
        st->point.LEEWAY = leewayDeg * st->run.PI / 180;
        std::array<double, 3> o{0, 0, fskBefore};
        REGAPP(*st, FN, heelDeg, SLOPR, o[0], o[1], o[2]);
        return o;
    }
    double RR(double FN, double heelDeg = 0) { return hullAt(FN, heelDeg)[1]; }
    double heelTerm(double FN, double deg = 15) { return RR(FN, deg) - RR(FN); }
    double trimTerm(double FN) { return hullAt(FN, 0, 1800)[1] - RR(FN); }

    std::unique_ptr<CaseState> st = makeCaseState();
    U& u = st->upright;
};

// One table axis: the program's term at an argument, the row position
// x = argument/step + offset, the rows, and the windows {argument, first row,
// rows} that the term follows between them (4: the cubic, 2: the end line).
struct Axis {
    const char* name;
    std::function<double(double)> term;
    double step, offset;
    int firstRow, lastRow;
    std::vector<std::tuple<double, int, int>> windows;
};

TEST_F(Delft, EveryTermFollowsItsRowsAlongItsAxis) {
    const double rv0 = hullAt(0.4)[0];
    const Axis axes[] = {
        // canoe body on FN/0.05 - 2: the upright rows 0.15 .. 0.75, the line beyond 0.70
        {"upright residuary", [&](double FN) { return RR(FN); }, 0.05, -2, 1, 13,
         {{0.17, 1, 4}, {0.23, 1, 4}, {0.37, 4, 4}, {0.52, 7, 4}, {0.68, 10, 4}, {0.72, 12, 2}, {0.90, 12, 2}}},
        // the trim rows 0.15 .. 0.60 (the first two zero, none below 0.20), the line
        // through the last two from 0.55
        {"trim moment", [&](double FN) { return trimTerm(FN); }, 0.05, -2, 2, 10,
         {{0.22, 1, 4}, {0.27, 2, 4}, {0.42, 5, 4}, {0.57, 9, 2}, {0.65, 9, 2}}},
        // the heel rows 0.25 .. 0.55: rows 0.25 .. 0.40 up to 0.35, then centred
        {"heel correction", [&](double FN) { return heelTerm(FN); }, 0.05, -2, 3, 9,
         {{0.27, 3, 4}, {0.33, 3, 4}, {0.38, 4, 4}, {0.47, 6, 4}, {0.53, 8, 2}, {0.60, 8, 2}}},
        // wetted surface over the upright one on heel/5: from 1 upright linear to the
        // 5-degree row, cubics up to 30 degrees, then the line through 30 and 35
        {"wetted surface", [&](double h) { return hullAt(0.4, h)[0] / rv0; }, 5, 0, 1, 7,
         {{2.5, 0, 2}, {4.0, 0, 2}, {7.5, 1, 4}, {12.5, 1, 4}, {17, 2, 4}, {22, 3, 4}, {28, 4, 4}, {32, 6, 2},
          {40, 6, 2}}},
        // keel on FN/0.05 - 3, rows 0.20 .. 0.60 (friction adds a constant)
        {"keel resistance", [&](double FN) { return keelAt(FN, 0)[0]; }, 0.05, -3, 1, 9,
         {{0.22, 1, 4}, {0.27, 1, 4}, {0.33, 2, 4}, {0.48, 5, 4}, {0.53, 6, 4}, {0.57, 8, 2}, {0.65, 8, 2}}},
        // keel side force on heel/10 + 1, rows 0 .. 30 degrees: the cubic below 20, then the
        // line (at FN 0 heel alone gives no side force: the force follows its factor)
        {"keel side force", [&](double h) { return keelAt(0.0, h, 3.2)[2]; }, 10, 1, 1, 4,
         {{6, 1, 4}, {15, 1, 4}, {25, 3, 2}, {35, 3, 2}}},
    };
    for (const Axis& a : axes) {
        const auto argument = [&](double x) { return (x - a.offset) * a.step; };
        const auto row = [&](int pos) { return a.term(argument(pos)); };
        double size = 0;  // of the largest row
        for (int pos = a.firstRow; pos <= a.lastRow; ++pos) size = std::max(size, std::fabs(row(pos)));
        for (const auto& [at, first, n] : a.windows)
            EXPECT_NEAR(a.term(at), through(row, first, n, at / a.step + a.offset), 1e-11 * size) << a.name << at;
        // continuous at every row, where one window hands over to the next
        for (int pos = a.firstRow; pos <= a.lastRow; ++pos)
            EXPECT_NEAR(a.term(argument(pos) * (1 - 1e-10)), a.term(argument(pos) * (1 + 1e-10)), 1e-7 * size)
                << a.name << " at row " << pos;
    }
    // below the tables: the first upright row falls with the cube of FN/0.15,
    // the heel row at 0.25 times (4 FN)^3; no trim-moment term below 0.20
    for (double FN : {0.05, 0.12})
        EXPECT_NEAR(RR(FN), RR(0.15) * std::pow(FN / 0.15, 3), 1e-13 * std::fabs(RR(0.15))) << FN;
    for (double FN : {0.10, 0.20})
        EXPECT_NEAR(heelTerm(FN), heelTerm(0.25) * std::pow(4 * FN, 3), 1e-12 * std::fabs(heelTerm(0.25))) << FN;
    EXPECT_EQ(trimTerm(0.18), 0.0);
}

TEST_F(Delft, ScalingsAndLimits) {
    // the hull heels alike to either side
    EXPECT_DOUBLE_EQ(RR(0.45, -18), RR(0.45, 18));
    // without a moment the trim term is not evaluated: RKM = 0 would make it 0/0
    const double plain = RR(0.40);
    u.RKM = 0;
    EXPECT_EQ(RR(0.40), plain);
    // heel without leeway: the keel lifts to windward; neither: the side forces are left as they were
    EXPECT_LT(keelAt(0.40, 20, 0, 999.0)[2], 0.0);
    st->balance.FSR = -77.0;
    EXPECT_EQ((std::array{keelAt(0.40, 0, 0, 55.0)[2], st->balance.FSR}), (std::array{55.0, -77.0}));
    // without the section factor the rudder's lift slope is that of slender-wing theory, pi A / 2
    keelAt(0.35, 0, 3, 0, 0.0);
    const double slender = st->run.PI * 3.4 / 2 * st->point.QDYN * u.AR0 * st->point.RUDANG * 0.8;
    EXPECT_NEAR(st->balance.FSR, slender, 1e-12 * slender);
    // no speed, no forces
    st->point.QDYN = st->point.VNU = 0;
    const auto none = keelAt(0.0, 10, 3);
    EXPECT_EQ((std::array{none[0], none[1], none[2], st->balance.FSR}), (std::array{0.0, 0.0, 0.0, 0.0}));
}

// Every cell, the row count and the axis position of the first row: a row
// keyed k sits at position k / step + offset on its table's axis.
template <int Rows, int Cols, int PRows, int PCols>
void expectSameTable(const std::string& name, const delft::PositionTable<Rows, Cols>& program,
                     const double (&table)[PRows][PCols], double firstKey, double step, double offset) {
    static_assert(Rows == PRows && Cols == PCols);
    EXPECT_EQ(program.First, static_cast<int>(std::lround(firstKey / step + offset))) << name;
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            EXPECT_EQ(program.rows[r][c], table[r][c]) << name << " row " << r + 1 << " coefficient " << c;
}

// the program's table `name` against the printed one of the same name
#define EXPECT_SAME_TABLE(name, offset) \
    expectSameTable(#name, delft::name, printed::name, printed::name##FirstKey, printed::name##KeyStep, offset)

TEST(DelftTables, EveryCoefficientIsThePrintedOne) {
    // canoe-body tables on FN/0.05 - 2, the keel residuary on FN/0.05 - 3,
    // the wetted surface on heel/5, the keel tables on heel/10 + 1
    EXPECT_SAME_TABLE(kUprightResiduary, -2);
    EXPECT_SAME_TABLE(kHeelCorrection, -2);
    EXPECT_SAME_TABLE(kTrimMoment, -2);
    EXPECT_SAME_TABLE(kWettedSurface, 0);
    EXPECT_SAME_TABLE(kKeelResiduary, -3);
    EXPECT_SAME_TABLE(kSideForce, 1);
    EXPECT_SAME_TABLE(kEffectiveSpan, 1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(delft::kKeelHeel[k], printed::kKeelHeel[k]) << "keel heel term e" << k;
}

TEST(DelftRange, OneWarningPerParameterOutsideTheSeries) {
    // every parameter between its limits
    const U inside{.LCBFP = 0.53, .LCFFP = 0.55, .CX0 = 0.70, .CP0 = 0.56, .RLV = 5.5, .RLB = 3.5, .RBT = 5.0};
    // the member, its value and the warning ("": inside the range, the limits belong to it)
    const std::tuple<double U::*, double, const char*> cases[] = {
        {&U::RLB, 5.6, "length/beam Lwl/Bwl = 5.600 outside the Delft series range 2.73 to 5.00"},
        {&U::RLV, 4.0, "length/volume^(1/3) Lwl/Vc^(1/3) = 4.000 outside the Delft series range 4.34 to 8.50"},
        {&U::RBT, 19.38, ""},
        {&U::RBT, 2.0, "beam/draft Bwl/Tc = 2.000 outside the Delft series range 2.46 to 19.38"},
        {&U::CP0, 0.519, "prismatic coefficient Cp = 0.519 outside the Delft series range 0.52 to 0.60"},
        {&U::LCBFP, 0.49, "LCB in % Lwl behind FP = 49.000 outside the Delft series range 50.00 to 58.20"},
        {&U::LCFFP, 0.60, "LCF in % Lwl behind FP = 60.000 outside the Delft series range 51.80 to 59.50"},
        {&U::CX0, 0.65, ""},
        {&U::CX0, NAN, "midship coefficient Cx = nan outside the Delft series range 0.65 to 0.78"},
    };
    for (const auto& [member, value, line] : cases) {
        U u = inside;
        u.*member = value;
        const std::vector<std::string> expected =
            *line ? std::vector<std::string>{std::string("warning: ") + line} : std::vector<std::string>{};
        EXPECT_EQ(delftRangeWarnings(u), expected) << value;
    }
}

}  // namespace
}  // namespace carinex
