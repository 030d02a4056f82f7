#include "appendages/section_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace carinex {
namespace {

// One data set of one family, evaluated through the public functions. The
// tank sets are selected by the stimulator test: tripped (RETRIP >= RECRIT)
// or laminar (no stimulator effect).
enum class Set { Stimulated, Laminar, FullScale };

struct Case {
    int family;
    Set set;
    double tref;              // reference thickness of the family's data
    double reLo, reHi;        // Reynolds range of the data set
    double alim;              // angle limit of the drag, degrees
    double curvesFrom;        // first Reynolds station of the curves
    std::vector<double> stations;  // Reynolds stations of the drag curves
    std::string name() const {
        return std::to_string(family) + (set == Set::FullScale ? " full" : set == Set::Stimulated ? " stim" : " lam");
    }
};

// The laminar sets end at their laminar limits.
const Case kCases[] = {
    {0, Set::Stimulated, 0.12, 6e4, 1e7, 9, 2e5, {2e5, 1e6, 1e7}},
    {0, Set::Laminar, 0.12, 6e4, 5.8e5, 9, 1e5, {1e5, 2e5, 5e5}},
    {0, Set::FullScale, 0.12, 1.2e5, 7e7, 10, 1.2e5,
     {1.2e5, 2.5e5, 5e5, 1e6, 2e6, 4e6, 5.6e6, 8e6, 1.1e7, 1.6e7, 2.1e7, 3.2e7, 7e7}},
    {63, Set::Stimulated, 0.15, 1e5, 1e7, 12, 3e5, {3e5, 1e6, 2.8e6, 1e7}},
    {63, Set::Laminar, 0.15, 1e5, 1.08e6, 12, 1e5, {1e5, 2e5, 2.95e5, 4e5, 5e5, 1e6}},
    {63, Set::FullScale, 0.15, 1.6e5, 7e7, 10, 1.6e5,
     {1.6e5, 5e5, 1e6, 2e6, 4e6, 5.6e6, 7.02e6, 8e6, 1.1e7, 1.6e7, 2.1e7, 3.2e7, 7e7}},
    {64, Set::Stimulated, 0.1306, 1.6e5, 6e6, 10, 5e5, {5e5, 1e6, 1.3e6, 2e6, 6e6}},
    {64, Set::Laminar, 0.1306, 1.6e5, 1.05e6, 10, 1.6e5, {1.6e5, 2.7e5, 5e5, 7e5, 1e6}},
    {64, Set::FullScale, 0.1306, 1.6e5, 7e7, 10, 1.6e5, {1.6e5, 5e5, 1e6, 2e6, 4e6, 5.6e6, 8e6, 1e7, 1.6e7, 3.2e7, 7e7}},
};

double retrip(Set s) { return s == Set::Stimulated ? 1e6 : 0.0; }
constexpr double kRecrit = 30000.0;

double drag(int family, Set s, double RE, double CL2, double TC, double deg) {
    double CD = -1.0;
    const bool full = s == Set::FullScale;
    if (family == 0) SDRG00(RE, retrip(s), kRecrit, TC, deg, CL2, CD, full);
    if (family == 63) SDRG63(RE, retrip(s), kRecrit, CL2, CD, TC, deg, full);
    if (family == 64) SDRG64(RE, retrip(s), kRecrit, CL2, CD, TC, deg, full);
    return CD;
}
double drag(const Case& c, double RE, double CL2, double deg = 5.0) { return drag(c.family, c.set, RE, CL2, c.tref, deg); }

double liftFactor(int family, Set s, double RE, double a, double A0 = 1.0) {
    const bool full = s == Set::FullScale;
    if (family == 0) return SLIF00(A0, RE, retrip(s), kRecrit, a, full);
    if (family == 63) return SLIF63(A0, RE, retrip(s), kRecrit, a, full);
    return SLIF64(A0, RE, retrip(s), kRecrit, a, full);
}

double poly(std::initializer_list<double> highestFirst, double u) {
    double s = 0.0;
    for (double c : highestFirst) s = s * u + c;
    return s;
}

// ------------------------------------------------------------ reference rows

// At a station the stored, rounded logarithms leave an interpolation weight
// of order 1e-8 towards the next station.
constexpr double kAtStation = 1e-8;

TEST(SectionData, ReferenceLiftRowsOfThe00Series) {
    for (double a : {0.0, 0.03, 0.069813, 0.1, 0.16, 0.25}) {
        const double ac = std::min(a, 0.16);
        const double stim = poly({13.76472, -6.588665, 0.2837915, 0.005749779}, ac);
        EXPECT_NEAR(liftFactor(0, Set::Stimulated, 2e5, a), 1 + stim, kAtStation) << a;
        EXPECT_NEAR(liftFactor(0, Set::Stimulated, 9e4, a, 2.0), (1 + stim) / 2, 1e-12) << "held below, over A0";
        const double af = std::min(a, 0.18);
        const double full = poly({-0.76364804, 0.039381501, 0.058741237}, af);
        EXPECT_NEAR(liftFactor(0, Set::FullScale, 7e7, a), 1 + full, 1e-12) << a;
        EXPECT_NEAR(liftFactor(0, Set::FullScale, 2e8, a), 1 + full, 1e-12) << a;
        if (a == 0.0) continue;
        const double lam = ac <= 0.069813 ? poly({-4.34572, -0.0829145, -0.0181493}, ac)
                                          : poly({-310.877, 125.078, -18.4698, 1.09284}, ac) - 0.0245906 / ac;
        EXPECT_NEAR(liftFactor(0, Set::Laminar, 1e5, a), 1 + lam, kAtStation) << a;
        EXPECT_NEAR(liftFactor(0, Set::Laminar, 5e4, a), 1 + lam, 1e-12) << a;
    }
    EXPECT_TRUE(std::isfinite(liftFactor(0, Set::Laminar, 1e5, 0.0))) << "no c/a term at zero angle";
}

TEST(SectionData, ReferenceDragRowsOfThe00Series) {
    for (double c : {0.05, 0.3, 0.7, 1.0}) {
        const double lo = poly({-0.0023167966, 0.013653538, -0.0087750867, 0.0150011, 0.011976202}, c);
        const double hi = poly({7.1732503e-05, -0.00015018329, 0.00030364373, 0.0015125276, 0.0053599205}, c);
        EXPECT_NEAR(drag(0, Set::FullScale, 1.2e5, c, 0.12, 6), lo, kAtStation);
        EXPECT_NEAR(drag(0, Set::FullScale, 8e4, c, 0.12, 6), lo, 1e-14);
        for (double RE : {7e7, 1e8}) EXPECT_NEAR(drag(0, Set::FullScale, RE, c, 0.12, 6), hi, 1e-14);
    }
    for (double x : {5.2, 6.0, 7.5}) {
        const double zero = poly({-0.00013505046, 0.0047220666, -0.065941705, 0.45977114, -1.602072, 2.2422739}, x);
        EXPECT_NEAR(drag(0, Set::FullScale, std::pow(10.0, x), 0.0, 0.12, 0), zero, 1e-12) << x;
        const double xt = std::min(x, 7.0);  // the tank data end at 1e7
        const double stim = poly({-0.0002889863, 0.007256361, -0.06084292, 0.1759957}, xt);
        EXPECT_NEAR(drag(0, Set::Stimulated, std::pow(10.0, x), 0.0, 0.12, 0), stim, 1e-12) << x;
    }
    const double lam = poly({0.00588354, -0.0699301, 0.218632}, 5.3);
    EXPECT_NEAR(drag(0, Set::Laminar, std::pow(10.0, 5.3), 0.0, 0.12, 0), lam, 1e-12);
    // the tank curves of the 00-series are factors on the zero-lift drag
    const double k = drag(0, Set::Stimulated, 4e5, 0.4, 0.12, 5) / drag(0, Set::Stimulated, 4e5, 0.0, 0.12, 5);
    EXPECT_GT(k, 1.0);
    EXPECT_LT(k, 1.6);
}

// ------------------------------------------------------------ regimes and edges

TEST(SectionData, LaminarLimitSwitchesToStimulatedCurvesWithoutStimulator) {
    struct Limit {
        int family;
        double liftLimit, dragLimit;  // first Reynolds number on the stimulated curves
    };
    for (const Limit& l : {Limit{0, std::nextafter(584588.0, 1e9), std::nextafter(584588.0, 1e9)},
                           Limit{63, 1087889.0, 1087889.0}, Limit{64, 1053310.0, 1053309.0}}) {
        const double tref = l.family == 0 ? 0.12 : l.family == 63 ? 0.15 : 0.1306;
        const std::string f = std::to_string(l.family);
        EXPECT_EQ(liftFactor(l.family, Set::Laminar, l.liftLimit, 0.1),
                  liftFactor(l.family, Set::Stimulated, l.liftLimit, 0.1)) << f;
        EXPECT_EQ(drag(l.family, Set::Laminar, l.dragLimit, 0.3, tref, 5),
                  drag(l.family, Set::Stimulated, l.dragLimit, 0.3, tref, 5)) << f;
        const double below = l.family == 0 ? 584588.0 : std::nextafter(l.dragLimit, 0.0);
        EXPECT_NE(drag(l.family, Set::Laminar, below, 0.3, tref, 5), drag(l.family, Set::Stimulated, below, 0.3, tref, 5))
            << f << ": still laminar just below the limit";
    }
}

TEST(SectionData, ThicknessCorrections) {
    const double x = 6.0, RE = 1e6;  // a row of every D table
    struct Row {
        int family;
        double tc, deg, expected;  // expected change of Cd against the reference thickness
    };
    const Row rows[] = {
        {0, 0.15, 5.0, 0.03 * 0.00046 / 0.03},                                 // column 5 deg
        {0, 0.09, 7.5, -0.03 * (0.00046 + 0.5 * (-0.00023 - 0.00046)) / 0.03},  // between columns
        {63, 0.12, 10.0, 0.03 * 0.00019 / 0.03},
        {64, 0.13, 2.0, 0.0006 * 0.00083 / 0.0306},
        {64, 0.12, 3.5, 0.0106 * (0.00083 + 0.5 * (-0.00048 - 0.00083)) / 0.0306},
    };
    for (const Row& r : rows) {
        const double tref = r.family == 0 ? 0.12 : r.family == 63 ? 0.15 : 0.1306;
        EXPECT_NEAR(drag(r.family, Set::FullScale, RE, 0.2, r.tc, r.deg) - drag(r.family, Set::FullScale, RE, 0.2, tref, r.deg),
                    r.expected, 1e-15) << r.family << " t/c " << r.tc;
    }
    // halfway between rows 6.0 and 6.30103 of the 00-series at 0 deg
    const double xm = 0.5 * (x + 6.30103);
    EXPECT_NEAR(drag(0, Set::FullScale, std::pow(10.0, xm), 0.0, 0.15, 0) - drag(0, Set::FullScale, std::pow(10.0, xm), 0.0, 0.12, 0),
                0.5 * (0.0006 + 0.00043), 1e-14);
    // held at the end rows, never below zero
    EXPECT_NEAR(drag(63, Set::FullScale, 1e8, 0.0, 0.12, 0) - drag(63, Set::FullScale, 1e8, 0.0, 0.15, 0), -0.00029, 1e-14);
    EXPECT_EQ(drag(0, Set::FullScale, 1.2e5, 0.5, 0.9, 10), 0.0);
    // tank sets of the 00- and 63-series take no correction
    EXPECT_EQ(drag(63, Set::Stimulated, RE, 0.2, 0.12, 5), drag(63, Set::Stimulated, RE, 0.2, 0.15, 5));
}

TEST(SectionData, The64SeriesTankDataShiftTheReynoldsNumberForThickness) {
    const double tc = 0.10;
    for (Set s : {Set::Stimulated, Set::Laminar}) {
        const bool stim = s == Set::Stimulated;
        const double RE = stim ? 2.5e6 : 3.5e5;
        const double dx = stim ? 0.44813725 - 3.43137255 * tc : 7.1895425 * tc - 0.9389542;
        const double dcd = stim ? 0.00718954 * tc - 0.00093895 : 0.0287582 * tc - 0.0037558;
        const double shifted = std::pow(10.0, std::log10(RE) + dx);
        for (double c : {0.0, 0.2}) {
            EXPECT_NEAR(drag(64, s, RE, c, tc, 4), drag(64, s, shifted, c, 0.1306, 4) + dcd, 1e-14) << stim << c;
        }
    }
    EXPECT_NE(drag(64, Set::FullScale, 1e6, 0.2, 0.13, 5), drag(64, Set::FullScale, 1e6, 0.2, 0.1306, 5));
}

TEST(SectionData, DragBeyondTheAngleLimitFollowsTheSecant) {
    for (const Case& c : kCases) {
        const double RE = std::sqrt(c.reLo * c.reHi);
        const double at = drag(c, RE, 0.8, c.alim);
        EXPECT_NEAR(drag(c, RE, 0.8, c.alim * (1 + 1e-9)), at, 1e-9) << c.name() << ": continuous at the limit";
        // beyond it: the secant through the limit and 0.9 times the limit
        const double deg = 1.5 * c.alim, CL2 = 1.2, CL2L = CL2 / 2.25;
        const double d1 = drag(c, RE, CL2L, c.alim), d2 = drag(c, RE, 0.81 * CL2L, 0.9 * c.alim);
        EXPECT_NEAR(drag(c, RE, CL2, deg), d1 + (CL2 - CL2L) * (d1 - d2) / 0.19, 1e-15) << c.name();
        EXPECT_GT(drag(c, RE, CL2, deg), d1) << c.name();
    }
}

// ------------------------------------------------------------ plausibility

template <class F>
void overLogRange(double lo, double hi, int n, F f) {
    for (int k = 0; k <= n; ++k) f(lo * std::pow(hi / lo, double(k) / n));
}

TEST(SectionData, DragIsPositiveAndRisesWithLift) {
    for (const Case& c : kCases) {
        overLogRange(c.reLo, c.reHi, 40, [&](double RE) {
            for (double deg : {0.0, 3.0, 6.0, c.alim}) {
                double last = drag(c, RE, 0.0, deg);
                EXPECT_GT(last, 0.002) << c.name() << " Re " << RE;
                for (double cl2 = 0.02; cl2 <= 2.3; cl2 += 0.02) {
                    const double d = drag(c, RE, cl2, deg);
                    ASSERT_TRUE(d > 0.0 && d < 0.2) << c.name() << " Re " << RE << " CL2 " << cl2;
                    if (cl2 > 0.03) {
                        EXPECT_GE(d, last * (1 - 1e-9)) << c.name() << " Re " << RE << " CL2 " << cl2;
                    }
                    last = d;
                }
            }
        });
    }
}

TEST(SectionData, FullScaleZeroLiftDragFallsWithReynoldsNumber) {
    for (const Case& c : kCases) {
        if (c.set != Set::FullScale) continue;
        double last = 1.0;
        overLogRange(c.reLo, c.reHi, 300, [&](double RE) {
            const double d = drag(c, RE, 0.0, 0.0);
            EXPECT_LE(d, last * (1 + 1e-6)) << c.name() << " Re " << RE;
            last = d;
        });
    }
}

// Where two pieces or two Reynolds stations meet, the data join within 1 %;
// so do the zero-lift polynomial and the curves at the stations.
TEST(SectionData, NoJumpsWherePiecesAndStationsMeet) {
    auto rel = [](double a, double b) { return std::fabs(a / b - 1); };
    for (const Case& c : kCases) {
        overLogRange(c.reLo, c.reHi, 400, [&](double RE) {
            const double up = RE * (1 + 1e-7);
            for (double cl2 : {0.3, 1.0}) EXPECT_LT(rel(drag(c, up, cl2), drag(c, RE, cl2)), 0.01) << c.name() << " Re " << RE;
            for (double a : {0.03, 0.1, 0.17})
                EXPECT_LT(rel(liftFactor(c.family, c.set, up, a), liftFactor(c.family, c.set, RE, a)), 0.01) << c.name();
        });
        overLogRange(c.reLo, c.reHi, 12, [&](double RE) {
            for (double cl2 = 0.001; cl2 <= 2.3; cl2 += 0.001)
                EXPECT_LT(rel(drag(c, RE, cl2 + 0.001), drag(c, RE, cl2)), 0.01) << c.name() << " Re " << RE << " CL2 " << cl2;
            for (double a = 0.005; a <= 0.22; a += 0.001)
                EXPECT_LT(rel(liftFactor(c.family, c.set, RE, a + 0.001), liftFactor(c.family, c.set, RE, a)), 0.01)
                    << c.name() << " Re " << RE << " angle " << a;
        });
    }
    for (const Case& c : kCases) {
        for (double RE : c.stations) {
            EXPECT_LT(rel(drag(c, RE, 1e-6), drag(c, RE, 0.0)), 0.01) << c.name() << " Re " << RE;
        }
    }
}

TEST(SectionData, SixSeriesBeatTheFourDigitSectionInsideTheirBucket) {
    overLogRange(2e5, 7e7, 60, [&](double RE) {
        for (double cl2 : {0.0, 0.02, 0.05}) {
            const double d00 = drag(0, Set::FullScale, RE, cl2, 0.12, 1);
            EXPECT_LT(drag(63, Set::FullScale, RE, cl2, 0.12, 1), d00) << "Re " << RE << " CL2 " << cl2;
            EXPECT_LT(drag(64, Set::FullScale, RE, cl2, 0.12, 1), d00) << "Re " << RE << " CL2 " << cl2;
        }
    });
}

TEST(SectionData, LiftFactorsArePositiveAndBendTowardsMaximumLift) {
    for (const Case& c : kCases) {
        overLogRange(c.curvesFrom, c.reHi, 20, [&](double RE) {
            const double A0 = sectionLiftSlope(c.family, RE, c.set == Set::FullScale, false);
            const double small = liftFactor(c.family, c.set, RE, 0.01, A0);
            EXPECT_NEAR(small, 1.0, 0.08) << c.name() << ": the linear slope at small angles, Re " << RE;
            for (double a = 0.0; a <= 0.3; a += 0.01) EXPECT_GT(liftFactor(c.family, c.set, RE, a, A0), 0.5) << c.name();
            EXPECT_LT(liftFactor(c.family, c.set, RE, 0.3, A0), small) << c.name() << ": bends at the clamp";
        });
    }
}

// ------------------------------------------------------------ strip quantities

TEST(SectionData, LiftSlopeFormulas) {
    struct Row {
        int family;
        bool full, rudder;
        double RE, expected;
    };
    const double x6 = 6.0, x8 = 8.0, xr = std::log10(3e5);
    const Row rows[] = {
        {0, true, false, 1e6, 0.03133795 * x6 + 0.8035687},
        {0, false, false, 1e8, 7.5 * (0.261271 - 0.0174566 * 7.5) + 0.0618035},
        {63, false, false, 1e8, 7.5 * (0.35611 - 0.023753 * 7.5) - 0.30912},
        {63, true, false, 1e8, x8 * (0.08607117 - 0.00324967 * x8) + 0.5620922},
        {64, false, false, 3e5, 0.079 * xr + 0.513},
        {64, false, true, 3e5, 0.0985 * xr + 0.4063},
        {64, false, false, 1.3e6, 0.079 * std::log10(1.3e6) + 0.513},
        {64, false, true, 1e6, 0.0333 * x6 + 0.7907},
        {64, true, true, 1e6, x6 * (0.168129 - 0.00961684 * x6) + 0.302149},
    };
    for (const Row& r : rows)
        EXPECT_NEAR(sectionLiftSlope(r.family, r.RE, r.full, r.rudder), r.expected, 1e-14) << r.family << " " << r.RE;
}

TEST(SectionData, MaximumLiftSplinePassesThroughItsStations) {
    const double t[] = {0.03, 0.06, 0.09, 0.12, 0.18};
    const double y[] = {0.8, 0.84, 1.32, 1.6, 1.49};
    for (int k = 0; k < 5; ++k) {
        EXPECT_NEAR(sectionMaxLift(t[k] * (1 + 1e-12)), 0.95 * y[k], 1e-9) << t[k];
        EXPECT_NEAR(sectionMaxLift(t[k] * (1 - 1e-12)), 0.95 * y[k], 1e-9) << t[k];
    }
    EXPECT_EQ(sectionMaxLift(0.01), 0.76);
    EXPECT_NEAR(sectionMaxLift(0.3), 0.95 * (2.09 - 1.0), 1e-15);
}

}  // namespace
}  // namespace carinex
