// The section data of keel and rudder and the checks against their range.
// The data: the thickness corrections, lift slopes and maximum lift the
// examples never reach; and, over every family and data set, drag that is
// positive, rises with lift and has no jumps. The foil check: the thickness
// window each family's data hold, the sweep clamp at 60 deg, the status code,
// and the exact notes on the console and on the resistance table. The Reynolds-number check: the exact warnings, their
// order, and limits counting as in range.
#include "appendages/foil_check.h"
#include "appendages/reynolds_check.h"
#include "appendages/section_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>

#include "support/heeled_support.h"

namespace carinex {
namespace {

// The tank sets are selected by the stimulator test: tripped or laminar.
enum class Set { Stimulated, Laminar, FullScale };

struct Case {
    int family;
    Set set;
    // reference thickness of the family's data, Reynolds range of the data set (the laminar sets
    // end at their limits) and angle limit of the drag in degrees
    double tref, reLo, reHi, alim;
    std::string name() const { return std::to_string(family) + " set " + std::to_string(int(set)); }
};

const Case kCases[] = {
    {0, Set::Stimulated, 0.12, 6e4, 1e7, 9},       {0, Set::Laminar, 0.12, 6e4, 5.8e5, 9},
    {0, Set::FullScale, 0.12, 1.2e5, 7e7, 10},     {63, Set::Stimulated, 0.15, 1e5, 1e7, 12},
    {63, Set::Laminar, 0.15, 1e5, 1.08e6, 12},     {63, Set::FullScale, 0.15, 1.6e5, 7e7, 10},
    {64, Set::Stimulated, 0.1306, 1.6e5, 6e6, 10}, {64, Set::Laminar, 0.1306, 1.6e5, 1.05e6, 10},
    {64, Set::FullScale, 0.1306, 1.6e5, 7e7, 10},
};

double drag(int family, Set s, double RE, double CL2, double TC, double deg) {
    const double RETRIP = s == Set::Stimulated ? 1e6 : 0.0, RECRIT = 30000.0;
    const bool full = s == Set::FullScale;
    double CD = -1.0;
    if (family == 0) SDRG00(RE, RETRIP, RECRIT, TC, deg, CL2, CD, full);
    if (family == 63) SDRG63(RE, RETRIP, RECRIT, CL2, CD, TC, deg, full);
    if (family == 64) SDRG64(RE, RETRIP, RECRIT, CL2, CD, TC, deg, full);
    return CD;
}
double drag(const Case& c, double RE, double CL2, double deg = 5.0) {
    return drag(c.family, c.set, RE, CL2, c.tref, deg);
}

// Full-scale drag of the 00- and 63-series (the examples' keels are 64s)
// changes with thickness by the tabulated increments, linear between angle
// columns, never below zero; their tank data take no correction.
TEST(SectionData, ThicknessCorrections) {
    struct Row {
        int family;
        double tc, deg, expected;  // change of Cd against the reference thickness at Re 1e6
    };
    const Row rows[] = {
        {0, 0.15, 5.0, 0.00046}, {63, 0.12, 10.0, 0.00019},
        {0, 0.09, 7.5, -(0.00046 + 0.5 * (-0.00023 - 0.00046))},
    };
    for (const Row& r : rows) {
        const double tref = r.family == 0 ? 0.12 : 0.15;
        const double at = drag(r.family, Set::FullScale, 1e6, 0.2, r.tc, r.deg);
        const double reference = drag(r.family, Set::FullScale, 1e6, 0.2, tref, r.deg);
        EXPECT_NEAR(at - reference, r.expected, 1e-15) << r.family << " t/c " << r.tc;
    }
    EXPECT_EQ(drag(0, Set::FullScale, 1.2e5, 0.5, 0.9, 10), 0.0);
    EXPECT_EQ(drag(63, Set::Stimulated, 1e6, 0.2, 0.12, 5), drag(63, Set::Stimulated, 1e6, 0.2, 0.15, 5));
}

// The drag is continuous at the angle limit. Everywhere in the data: the
// zero-lift drag is positive and, at full scale, falls with Re;
// drag is positive and rises with lift without jumps.
TEST(SectionData, EveryDataSetIsPlausibleAndContinuous) {
    auto rel = [](double a, double b) { return std::fabs(a / b - 1); };
    for (const Case& c : kCases) {
        const double mid = std::sqrt(c.reLo * c.reHi);
        EXPECT_NEAR(drag(c, mid, 0.8, c.alim * (1 + 1e-9)), drag(c, mid, 0.8, c.alim), 1e-9) << c.name();
        double lastZero = 1.0;
        for (int k = 0; k <= 300; ++k) {
            const double RE = c.reLo * std::pow(c.reHi / c.reLo, k / 300.0), zero = drag(c, RE, 0.0, 0.0);
            EXPECT_TRUE(c.set != Set::FullScale || zero <= lastZero * (1 + 1e-6)) << c.name() << " Re " << RE;
            lastZero = zero;
            EXPECT_GT(zero, 0.002) << c.name() << " Re " << RE;
            if (k % 5 != 0) continue;
            double last = drag(c, RE, 0.001);
            for (double cl2 = 0.002; cl2 <= 2.3; cl2 += 0.001) {
                const double d = drag(c, RE, cl2);
                ASSERT_TRUE(d > 0.0 && d < 0.2) << c.name() << " Re " << RE << " CL2 " << cl2;
                EXPECT_LT(rel(d, last), 0.01) << c.name() << " Re " << RE << " CL2 " << cl2;
                EXPECT_TRUE(cl2 <= 0.03 || d >= last * (1 - 1e-9)) << c.name() << " Re " << RE << " " << cl2;
                last = d;
            }
        }
    }
}

// Inside their low-drag bucket the six-series sections, at the 00-series' thickness, have less
// drag than the 00-series section.
TEST(SectionData, SixSeriesBeatTheFourDigitSectionInsideTheirBucket) {
    for (int k = 0; k <= 60; ++k) {
        const double RE = 2e5 * std::pow(7e7 / 2e5, k / 60.0);
        for (double cl2 : {0.0, 0.02, 0.05}) {
            const double d00 = drag(0, Set::FullScale, RE, cl2, 0.12, 1);
            for (int six : {63, 64})
                EXPECT_LT(drag(six, Set::FullScale, RE, cl2, 0.12, 1), d00) << six << " " << RE << " " << cl2;
        }
    }
}

// The lift slopes of the branches the examples never take (63-series, the
// 64-series rudder, beyond the data), and the maximum lift through its data.
TEST(SectionData, LiftSlopeAndMaximumLift) {
    struct Row {
        int family;
        bool full, rudder;
        double RE, expected;
    };
    const double x6 = 6.0, x8 = 8.0, xr = std::log10(3e5);
    const Row rows[] = {
        {0, false, false, 1e8, 7.5 * (0.261271 - 0.0174566 * 7.5) + 0.0618035},
        {63, false, false, 1e8, 7.5 * (0.35611 - 0.023753 * 7.5) - 0.30912},
        {63, true, false, 1e8, x8 * (0.08607117 - 0.00324967 * x8) + 0.5620922},
        {64, false, true, 3e5, 0.0985 * xr + 0.4063}, {64, false, true, 1e6, 0.0333 * x6 + 0.7907},
        {64, true, true, 1e6, x6 * (0.168129 - 0.00961684 * x6) + 0.302149},
    };
    for (const Row& r : rows)
        EXPECT_NEAR(sectionLiftSlope(r.family, r.RE, r.full, r.rudder), r.expected, 1e-14) << r.family << r.RE;
    // the spline through the measured maximum lift, times 0.95 for the finite span
    const double t[] = {0.03, 0.06, 0.09, 0.12, 0.18}, y[] = {0.8, 0.84, 1.32, 1.6, 1.49};
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(sectionMaxLift(t[k] * (1 + 1e-12)), 0.95 * y[k], 1e-9) << t[k];
    EXPECT_EQ(sectionMaxLift(0.01), 0.76);
    EXPECT_NEAR(sectionMaxLift(0.3), 0.95 * (2.09 - 1.0), 1e-15);
}

double liftFactor00(Set s, double RE, double a, double A0 = 1.0) {
    return SLIF00(A0, RE, s == Set::Stimulated ? 1e6 : 0.0, 30000.0, a, s == Set::FullScale);
}

double poly(std::initializer_list<double> highestFirst, double u) {
    double s = 0.0;
    for (double c : highestFirst) s = s * u + c;
    return s;
}

// At a station the stored, rounded logarithms leave an interpolation weight of order 1e-8 towards
// the next station.
constexpr double kAtStation = 1e-8;

// The printed reference polynomials of the lift factor, held beyond their angle ranges.
TEST(SectionData, ReferenceLiftRowsOfThe00Series) {
    for (double a : {0.0, 0.03, 0.069813, 0.1, 0.16, 0.25}) {
        const double ac = std::min(a, 0.16);
        const double stim = poly({13.76472, -6.588665, 0.2837915, 0.005749779}, ac);
        EXPECT_NEAR(liftFactor00(Set::Stimulated, 2e5, a), 1 + stim, kAtStation) << a;
        EXPECT_NEAR(liftFactor00(Set::Stimulated, 9e4, a, 2.0), (1 + stim) / 2, 1e-12) << "held below, / A0";
        const double af = std::min(a, 0.18);
        const double full = poly({-0.76364804, 0.039381501, 0.058741237}, af);
        EXPECT_NEAR(liftFactor00(Set::FullScale, 7e7, a), 1 + full, 1e-12) << a;
        EXPECT_NEAR(liftFactor00(Set::FullScale, 2e8, a), 1 + full, 1e-12) << a;
        if (a == 0.0) continue;
        const double lam = ac <= 0.069813 ? poly({-4.34572, -0.0829145, -0.0181493}, ac)
                                          : poly({-310.877, 125.078, -18.4698, 1.09284}, ac) - 0.0245906 / ac;
        EXPECT_NEAR(liftFactor00(Set::Laminar, 1e5, a), 1 + lam, kAtStation) << a;
        EXPECT_NEAR(liftFactor00(Set::Laminar, 5e4, a), 1 + lam, 1e-12) << a;
    }
    EXPECT_TRUE(std::isfinite(liftFactor00(Set::Laminar, 1e5, 0.0))) << "no c/a term at zero angle";
}

// The printed drag polynomials: in CL^2 at both full-scale Reynolds ends, in log10 Re at zero lift.
TEST(SectionData, ReferenceDragRowsOfThe00Series) {
    for (double c : {0.05, 0.3, 0.7, 1.0}) {
        const double lo = poly({-0.0023167966, 0.013653538, -0.0087750867, 0.0150011, 0.011976202}, c);
        const double hi = poly({7.1732503e-05, -0.00015018329, 0.00030364373, 0.0015125276, 0.0053599205}, c);
        EXPECT_NEAR(drag(0, Set::FullScale, 1.2e5, c, 0.12, 6), lo, kAtStation);
        EXPECT_NEAR(drag(0, Set::FullScale, 8e4, c, 0.12, 6), lo, 1e-14);
        for (double RE : {7e7, 1e8}) EXPECT_NEAR(drag(0, Set::FullScale, RE, c, 0.12, 6), hi, 1e-14);
    }
    for (double x : {5.2, 6.0, 7.5}) {
        const double zero =
            poly({-0.00013505046, 0.0047220666, -0.065941705, 0.45977114, -1.602072, 2.2422739}, x);
        EXPECT_NEAR(drag(0, Set::FullScale, std::pow(10.0, x), 0.0, 0.12, 0), zero, 1e-12) << x;
        const double xt = std::min(x, 7.0);  // the tank data end at 1e7
        const double stim = poly({-0.0002889863, 0.007256361, -0.06084292, 0.1759957}, xt);
        EXPECT_NEAR(drag(0, Set::Stimulated, std::pow(10.0, x), 0.0, 0.12, 0), stim, 1e-12) << x;
    }
    const double lam = poly({0.00588354, -0.0699301, 0.218632}, 5.3);
    EXPECT_NEAR(drag(0, Set::Laminar, std::pow(10.0, 5.3), 0.0, 0.12, 0), lam, 1e-12);
    // the tank curves of the 00-series are factors on the zero-lift drag
    const double k =
        drag(0, Set::Stimulated, 4e5, 0.4, 0.12, 5) / drag(0, Set::Stimulated, 4e5, 0.0, 0.12, 5);
    EXPECT_GT(k, 1.0);
    EXPECT_LT(k, 1.6);
}

TEST(FoilCheck, ThicknessWindowsSweepClampAndNotes) {
    const std::string tank =
        " Restriction for tank model: Lift and drag coefficients of foil section determined at ";
    const std::string r12 = tank + "12% thickness\n", r15 = tank + "15% thickness\n";
    const std::string swept = " Warning: Sweep angle of foil more than 60 deg.\n angle reduced to 60 deg.\n";
    const std::string out =
        " Warning: Lift and drag coefficients of foil section extrapolated outside of thickness-range\n";
    struct Row {
        int family, status;
        double tc, sweep, sweepAfter;
        bool full;
        std::string note;  // on the console and, after an empty line, on the table
    };
    const Row rows[] = {
        {0, 0, 0.122, 10, 10, false, ""},      {0, 1, 0.123, 10, 10, false, r12},
        {0, 2, 0.099, 10, 10, true, out},      {63, 1, 0.12, 0, 0, false, r15},
        {63, 2, 0.18, 0, 0, true, out},        {64, 2, 0.165, 0, 0, false, out},
        {64, 2, 0.08, 0, 0, true, out},        {64, 0, 0.12, 60, 60, true, ""},
        {64, 3, 0.12, 61, 60, true, ""},       {0, 3, 0.123, -75, -60, false, r12},
        {100, 0, 0.5, 0, 0, true, ""},
    };
    for (const Row& r : rows) {
        test::heel::Bench run;  // with a resistance table in memory
        auto owned = std::make_unique<std::ostringstream>();
        const std::ostringstream& table = *owned;
        run.io.setTable(std::move(owned));
        double sweep = r.sweep;
        int status = -1;
        FOILCK(run.io, r.family, r.tc, sweep, status, r.full);
        const std::string what = std::to_string(r.family) + " t/c " + std::to_string(r.tc);
        EXPECT_EQ(status, r.status) << what;
        EXPECT_EQ(sweep, r.sweepAfter) << what;
        EXPECT_EQ(run.console.str(), r.note + (r.sweepAfter != r.sweep ? swept : "")) << what;
        EXPECT_EQ(table.str(), r.note.empty() ? "" : "\n" + r.note) << what << ": no sweep warning";
    }
}

std::string warning(const std::string& part, const std::string& relation, const std::string& limit,
                    const std::string& re) {
    return " Warning: Reynols-number " + part + " " + relation + " than " + limit +
           "\n extrapolation outside of tabulated drag-values\n RE =" + re + "\n";
}

TEST(ReynoldsCheck, LimitsOrderAndMessages) {
    struct Row {
        int keel, rudder;
        double VNU;
        bool full;
        std::string expected;
        double root = 2.0, tip = 0.5;  // keel chords; the rudder's mean chord is 1
    };
    const Row rows[] = {
        // keel root 8e7 above, tip 2e7 in range; rudder 4e7 in range
        {0, 0, 4e7, true, warning("keel", "greater", "7*10^7", "0.800E+08")},
        // tank limit 1e7: rudder 1.1e7 above, exactly at 1e7 in range
        {63, 63, 1.1e7, false,
         warning("keel", "greater", "10^7", "0.220E+08") + warning("rudder", "greater", "10^7", "0.110E+08")},
        {63, 63, 1e7, false, warning("keel", "greater", "10^7", "0.200E+08")},
        {0, 63, 1e5, true,
         warning("keel", "less", "1.2*10^5", "0.500E+05") + warning("rudder", "less", "1.6*10^5", "0.100E+06")},
        // the 00-series are checked before the 63-series whichever part carries them
        {63, 0, 5e4, false,
         warning("rudder", "less", "6*10^4", "0.500E+05") + warning("keel", "less", "10^5", "0.250E+05")},
        // a keel root above and tip below the range: upper first
        {64, 100, 2e6, false,
         warning("keel", "greater", "6*10^6", "0.800E+07") + warning("keel", "less", "1.6*10^5", "0.200E+05"),
         4.0, 0.01},
        // exactly at the limits: tip 1.6e5 and root 6.4e5; root 7e7
        {64, 64, 3.2e5, true, ""}, {0, 0, 3.5e7, true, ""}, {100, 100, 1e9, true, ""},
    };
    for (const Row& r : rows) {
        test::heel::Bench run;
        CaseInput& in = run.st->input;
        in.KSTYPE = r.keel;
        in.RSTYPE = r.rudder;
        for (int i = 1; i <= 8; ++i) in.KCHORD(i) = r.root + (r.tip - r.root) * (i - 1) / 7.0;
        in.RCROOT = 1.2;
        in.RCTIP = 0.8;
        RECHK(*run.st, run.io, r.VNU, r.full);
        EXPECT_EQ(run.console.str(), r.expected) << r.keel << "/" << r.rudder << " " << r.VNU;
    }
}

}  // namespace
}  // namespace carinex
