#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>

#include "appendages/regression_parameters.h"
#include "appendages/regression_station.h"
#include "appendages/regression_tables.h"
#include "appendages/residuary_regression.h"
#include "appendages/trim_regression.h"
#include "regression_support.h"
#include "solver/force_balance.h"
#include "support/scratch_dir.h"

namespace carinex::regression {
namespace {

// Recomputes the transcription's checksums from the compiled tables: the same
// position-weighted sums the transcription forms from the printed text.
TEST(RegressionTables, RowsHoldThePrintedCountsAndChecksums) {
    struct Model {
        const StationTable& table;
        std::array<int, kStations> used;  // occupied slots per station, as printed
        long slotChecksum;
        double valueChecksum;
        int parameters;
    };
    for (const Model& m : {Model{kTRIMRGStations, {9, 9, 9, 10, 10, 10, 11, 11, 11, 11, 11, 10, 10, 10, 10},
                                 kTRIMRGSlotChecksum, kTRIMRGValueChecksum, kTrimParameters},
                           Model{kRESIRGStations, {10, 10, 10, 10, 11, 11, 11, 10, 11, 11, 11, 10, 10, 9, 9},
                                 kRESIRGSlotChecksum, kRESIRGValueChecksum, kResiduaryParameters}}) {
        long slots = 0;
        double values = 0.0;
        for (int k = 1; k <= kStations; ++k) {
            const StationRow& row = m.table(k);
            EXPECT_EQ(row.index[0], 0);
            int used = 0;
            for (int j = 0; j <= kSlots; ++j) {
                const int weight = k * 100 + j;
                if (j >= 1) {
                    slots += weight * row.index[j];
                    used += row.index[j] != 0;
                    EXPECT_EQ(row.index[j] == 0, row.c[j] == 0.0) << "station " << k << " slot " << j;
                    EXPECT_LE(row.index[j], m.parameters);
                }
                values += weight * row.c[j];
            }
            EXPECT_EQ(used, m.used[static_cast<std::size_t>(k - 1)]) << "station " << k;
        }
        EXPECT_EQ(slots, m.slotChecksum);
        EXPECT_DOUBLE_EQ(values, m.valueChecksum);
    }
}

TEST(RegressionStations, IndexOfTheFroudeNumber) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (auto [FN, m] : std::array<std::pair<double, int>, 8>{
             {{0.0, -1}, {0.099, 0}, {0.1, 1}, {0.149, 1}, {0.2, 3}, {0.76, 14}, {1e300, 16}, {-1e300, -1}}})
        EXPECT_EQ(stationIndex(FN), m) << FN;
    EXPECT_GE(stationIndex(nan), 15);
}

TEST(RegressionStations, WildLastStation) {
    struct Case {
        double before, last;
        bool wild;
    };
    for (const Case& c : {Case{1, 2.09, false}, Case{1, 2.11, true}, Case{1, -0.09, false}, Case{1, -0.11, true},
                          Case{-1, -2.2, true}, Case{0, 0, false}, Case{0, 1e-9, true}})
        EXPECT_EQ(wildLastStation(c.before, c.last), c.wild) << c.before << " " << c.last;
}

TEST(RegressionStations, FourStationSpline) {
    const std::array<double, 4> line{0.5, 0.75, 1.0, 1.25};  // natural spline of a line is the line
    for (double x : {12.0, 13.3, 14.9, 15.0, 16.2}) EXPECT_NEAR(fourStationSpline(12, line, x), 0.25 * x - 2.5, 1e-14);
    const std::array<double, 4> plateau{1.0, 2.0, 2.0, 5.0};
    EXPECT_EQ(fourStationSpline(3, plateau, 4.5), 2.0) << "equal bracketing values are taken as they are";
    EXPECT_NE(fourStationSpline(3, plateau, 3.5), 1.5) << "elsewhere the curve is a cubic";
}

// Station values of both models in the test state.
struct Stations {
    std::array<double, kStations + 1> V{}, R{}, Vr{};  // k = 1..15; Vr the unclipped residuary regression
};
Stations stations(const CaseState& st) {
    Stations s;
    TrimParameters P;
    fillTrimParameters(st, P);
    ResiduaryParameters Q;
    fillResiduaryParameters(st, 0.0, Q);
    for (int k = 1; k <= kStations; ++k) {
        refillTrimStation(st, k, P);
        const auto K = static_cast<std::size_t>(k);
        s.V[K] = stationValue(kTRIMRGStations(k), P);
        s.R[K] = RESSTA(st, Q, k);
        s.Vr[K] = stationValue(kRESIRGStations(k), Q);
    }
    return s;
}
double trim(CaseState& st, double FN) {
    st.balance.FN = FN;
    double TFLOW = 0.0;
    TRIMRG(st, TFLOW);
    return TFLOW;
}
double residuary(const CaseState& st, double FN) {
    double RR = 0.0;
    RESIRG(st, FN, 0.0, RR);
    return RR / st.point.QDYN;
}

TEST(FroudeRegressions, StationFroudeNumbersGiveTheStationValues) {
    auto st = test::regressionState();
    const Stations s = stations(*st);
    ASSERT_FALSE(wildLastStation(s.V[14], s.V[15]));
    ASSERT_FALSE(wildLastStation(s.R[14], s.R[15]));
    for (int k = 1; k <= kStations; ++k) {
        const double FN = 0.05 * (k + 1);
        const auto K = static_cast<std::size_t>(k);
        EXPECT_NEAR(trim(*st, FN), s.V[K], 1e-12) << k;
        EXPECT_NEAR(residuary(*st, FN), s.R[K], 1e-12) << k;
    }
    // exactly 0.15 truncates to the first interval: stations 1 to 4 at x = 2
    EXPECT_NEAR(trim(*st, 0.15), s.V[2], 1e-15);
    EXPECT_NEAR(residuary(*st, 0.15), s.R[2], 1e-15);
    EXPECT_EQ(trim(*st, 0.07), s.V[1]) << "below the first station its value";
}

TEST(FroudeRegressions, NegativeResiduaryStationContributesNothing) {
    auto st = test::regressionState();
    const Stations s = stations(*st);
    ASSERT_LT(s.Vr[1], 0.0);
    EXPECT_EQ(s.R[1], 0.0);
    EXPECT_EQ(residuary(*st, 0.1), 0.0);
    EXPECT_EQ(residuary(*st, 0.06), 0.0);
    EXPECT_GT(residuary(*st, 0.12), 0.0);
}

TEST(FroudeRegressions, ResiduaryStaysBetweenItsTwoStations) {
    auto st = test::regressionState();
    st->trial.LCFPHI = 1.785;  // steep station values that make the splines overshoot
    st->trial.LCBPHI = 2.2;
    const Stations s = stations(*st);
    for (double FN = 0.1501; FN < 0.8; FN += 0.0049) {
        const int m = stationIndex(FN);
        const auto M = static_cast<std::size_t>(m);
        const double R = residuary(*st, FN), lo = std::min(s.R[M], s.R[M + 1]), hi = std::max(s.R[M], s.R[M + 1]);
        if (m < 14) {
            EXPECT_TRUE(R >= lo && R <= hi) << FN;
        }
    }
}

TEST(FroudeRegressions, WildLastStationIsReplacedBelowFroude08) {
    auto st = test::regressionState();
    st->trial.LCFPHI = 1.785;  // residuary station 14 near zero, 15 large
    st->trial.LCBPHI = 2.2;
    st->trial.TFWD = 0.8;  // trim station 14 near zero, 15 of the other sign
    const Stations s = stations(*st);
    ASSERT_TRUE(wildLastStation(s.V[14], s.V[15]));
    ASSERT_TRUE(wildLastStation(s.R[14], s.R[15]));
    for (double FN : {0.751, 0.77, 0.799}) {
        EXPECT_EQ(trim(*st, FN), s.V[14]) << FN;
        EXPECT_EQ(residuary(*st, FN), s.R[14]) << FN;
    }
    // the linear growth above the last station keeps the station as it is
    EXPECT_NEAR(residuary(*st, 0.9), s.R[15] + (s.R[15] - s.R[14]) * 10 * 0.1, 1e-12);
}

TEST(FroudeRegressions, ResiduaryGrowsLinearlyAboveTheLastStation) {
    auto st = test::regressionState();
    const Stations s = stations(*st);
    const double slope = (s.R[15] - s.R[14]) * 10;
    for (double FN : {0.8, 0.85, 1.0, 1.6}) EXPECT_NEAR(residuary(*st, FN), s.R[15] + slope * (FN - 0.8), 1e-12) << FN;
    st->point.QDYN *= 3;
    EXPECT_NEAR(residuary(*st, 0.9), s.R[15] + slope * 0.1, 1e-12) << "resistance scales with the dynamic pressure";
}

// The force balance forms the flow trim only above FN 0.1, and fades the
// residuary resistance with the cube of the speed below it.
TEST(FroudeRegressionsInBalance, FlowTrimAndResiduaryResistanceOfATrialState) {
    namespace fs = std::filesystem;
    test::ScratchDir dir;
    const fs::path source = fs::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        fs::copy(source / folder, dir.path() / folder, fs::copy_options::recursive);
    test::RunOutcome run = test::runIn(dir.path(), "CR3\n");
    ASSERT_EQ(run.status, 0) << run.console;
    CaseState& st = *run.state;
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, dir.path()};
    for (double V : {0.6, 3.5}) {
        st.point.VBOOT = V;
        st.point.QDYN = 0.5 * st.point.RHO * V * V;
        st.point.SINKG = 0.01;
        st.point.TRIMW = 0.002;
        BILANZ(st, io, st.raw.NST - 1);
        const double FN = st.balance.FN;
        double TFLOW = 0.0, RR = 0.0;
        if (FN > 0.1) TRIMRG(st, TFLOW);
        RESIRG(st, FN, TFLOW, RR);
        const double fade = FN < 0.1 ? std::pow(FN / 0.1, 3) : 1.0;
        EXPECT_EQ(V < 1.0, FN < 0.1);
        EXPECT_DOUBLE_EQ(st.app.DTRIM, TFLOW - 0.002) << V;
        EXPECT_DOUBLE_EQ(st.balance.RRES, std::max(RR, 0.0) * fade) << V;
        EXPECT_DOUBLE_EQ(st.balance.RTOT, st.balance.RRES + st.app.FXK + st.app.FXR + st.app.RHULL) << V;
    }
}

}  // namespace
}  // namespace carinex::regression
