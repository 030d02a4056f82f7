// The Froude-station regressions of flow trim and residuary resistance where
// the whole runs do not reach: a negative station counts as 0, a wild last station is replaced
// and the resistance grows linearly beyond it; in the force balance the fading
// of the residuary resistance below FN 0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "appendages/regression_parameters.h"
#include "appendages/regression_station.h"
#include "appendages/regression_tables.h"
#include "appendages/residuary_regression.h"
#include "appendages/trim_regression.h"
#include "solver/force_balance.h"
#include "support/scratch_dir.h"

namespace carinex::regression {
namespace {

// A heeled 10 m yacht with keel; every quantity the regressions read has its
// own value, so a slot filled from the wrong quantity shows.
std::unique_ptr<CaseState> yacht() {
    auto s = makeCaseState();
    TrialHydrostatics& t = s->trial;
    FlowResults& f = s->flow;
    t.LWLPHI = 10.2, t.BWLPHI = 3.05, t.TCBPHI = 0.52, t.VOLCB = 6.15, t.AHSPHI = 1.21, t.AWLPHI = 22.3;
    t.AWL1 = 10.1, t.AWL2 = 12.2, t.VCB1 = 3.0, t.VCB2 = 3.15, t.RBL1 = 0.575, t.RTL1 = 0.098, t.RAL1 = 0.6;
    t.RAL2 = 0.713, t.CW1 = 0.625, t.CW2 = 0.816, t.CVP1 = 0.571, t.RAX1 = 0.2075, t.CPA = 0.531;
    t.TCLTOH = 0.081, t.RBTPHI = 5.865, t.LCFPHI = 0.56, t.LCBPHI = 0.535, t.KSLP0 = -0.12, t.OVRHNG = 0.75;
    t.TFWD = 0.35, t.CXPHI = 0.763, t.DRFPHI = 0.012, t.OVHTC = 0.00596, t.OVHEXP = 0.2298, t.OVHF = 1.0735;
    t.RKCL = 0.1275, t.VOLFNZ = 4.2, t.RLV2 = 3.337;
    f.WENTER = 0.21, f.UMIN = 0.93, f.UMAX = 1.08, f.U25 = 1.02, f.BFLARE = 0.45, f.BRUN = 0.17;
    f.BTRQ = 0.62, f.BDYN = 1.15, f.ZFLARE = 0.7, f.ATRANS = 0.012, f.WPAR = 0.33, f.KVEFF = 0.09;
    s->point.APPON = true, s->point.LEEWAY = 0.05, s->point.QDYN = 4612.5;
    return s;
}

// Named slots hold their quantity (never 0), all others are 0, and every slot a station reads is
// named, except the one nothing sets.
template <int N>
void expectSlots(const OneBased<double, N>& P, const std::vector<std::pair<int, double>>& named,
                 const StationTable& table, int unset) {
    std::set<int> names;
    for (const auto& [slot, value] : named) {
        names.insert(slot);
        EXPECT_NE(value, 0.0) << slot;
        EXPECT_DOUBLE_EQ(P(slot), value) << "slot " << slot;
    }
    for (int slot = 1; slot <= N; ++slot) EXPECT_TRUE(names.count(slot) || P(slot) == 0.0) << slot;
    for (int k = 1; k <= kStations; ++k)
        for (int slot : table(k).index) EXPECT_TRUE(slot == 0 || slot == unset || names.count(slot)) << slot;
}

TEST(RegressionParameters, EverySlotHoldsTheQuantityItNames) {
    auto st = yacht();
    const TrialHydrostatics& t = st->trial;
    const FlowResults& f = st->flow;
    const double L = t.LWLPHI, TFLOW = 0.0042, Q36 = f.KVEFF / (t.VOLFNZ / L);
    TrimParameters P;
    P.fill(-7.0);
    fillTrimParameters(*st, P);
    expectSlots(P,
                {{2, t.RBL1}, {3, t.RTL1}, {4, t.RAL1}, {6, t.CW1}, {7, t.CVP1}, {8, t.RAX1}, {9, f.WENTER},
                 {10, f.UMIN * f.UMIN}, {11, f.BFLARE}, {12, t.CPA}, {15, t.RAL2}, {16, t.RLV2}, {17, t.CW2},
                 {20, t.TCLTOH}, {22, f.BRUN}, {25, t.RBTPHI}, {26, t.LCFPHI - 0.5}, {30, f.UMAX * f.UMAX},
                 {31, std::pow(t.VCB1, 2.0 / 3) / t.AWL1}, {32, std::pow(t.VCB2, 2.0 / 3) / t.AWL2},
                 {33, t.KSLP0}, {34, t.OVHTC}, {35, f.ATRANS}, {36, t.TFWD}, {37, t.VOLFNZ / L / t.AWLPHI},
                 {38, t.OVHEXP}, {39, t.OVHF / 0.01}, {41, st->point.LEEWAY},
                 {42, std::pow(t.DRFPHI / t.RBL1, 2)}, {43, std::sqrt(f.KVEFF * L / t.VOLFNZ)}, {44, t.OVHF}},
                kTRIMRGStations, 40);
    ResiduaryParameters Q;
    Q.fill(-7.0);
    fillResiduaryParameters(*st, TFLOW, Q);
    expectSlots(Q,
                {{1, t.VOLCB / (t.AHSPHI * L)}, {2, t.BWLPHI / L}, {3, t.TCBPHI / L},
                 {4, std::sqrt(t.AWLPHI) / L}, {5, L / std::cbrt(t.VOLCB)}, {6, t.AWLPHI / (t.BWLPHI * L)},
                 {7, t.VOLCB / (t.AWLPHI * t.TCBPHI)}, {8, std::sqrt(t.AHSPHI) / L}, {9, f.WENTER},
                 {10, f.UMIN * f.UMIN}, {11, f.BFLARE}, {12, t.TCLTOH}, {13, f.BTRQ}, {15, t.CXPHI},
                 {16, f.BDYN * f.BDYN}, {17, t.RBTPHI}, {18, t.LCFPHI - 0.5}, {19, t.LCBPHI - 0.5},
                 {20, f.U25 * f.U25}, {22, f.UMAX * f.UMAX}, {23, std::pow(t.VOLCB, 2.0 / 3) / t.AWLPHI},
                 {24, t.KSLP0}, {26, t.TFWD}, {27, f.ATRANS}, {28, t.OVRHNG / L * t.TCLTOH},
                 {29, (t.OVRHNG / L + 1) / 0.01}, {30, f.WPAR}, {31, f.ZFLARE},
                 {32, std::exp(-20 * t.OVRHNG / L)}, {33, TFLOW}, {35, std::pow(t.DRFPHI / t.RBL1, 2)},
                 {36, Q36}, {37, t.RKCL * Q36}},
                kRESIRGStations, 0);
    // station entries: Froude number, volume scale S(k), and the overhang factor of Q37 above k = 12
    const double byEffective = t.VOLFNZ / L, byWaterplane = t.AWLPHI / Q(5), byVolume = t.VOLCB / L;
    const std::vector<std::pair<int, double>> entries{{5, byEffective}, {6, byWaterplane}, {9, byEffective},
                                                      {10, byVolume},    {12, byVolume},     {13, byVolume}};
    for (auto [k, S] : entries) {
        const double FN = 0.05 * (k + 1), overhang = t.OVRHNG / L + 1;
        refillTrimStation(*st, k, P);
        refillResiduaryStation(*st, k, Q);
        EXPECT_DOUBLE_EQ(P(39), t.OVHF / (FN * FN)) << k;
        EXPECT_DOUBLE_EQ(Q(29), overhang / (FN * FN)) << k;
        EXPECT_DOUBLE_EQ(Q(36), f.KVEFF / S) << k;
        EXPECT_DOUBLE_EQ(Q(37), t.RKCL * f.KVEFF / S / (k > 12 ? overhang : 1.0)) << k;
    }
    st->point.APPON = false;  // a bare hull must not read the keel volume a previous point left
    fillTrimParameters(*st, P);
    fillResiduaryParameters(*st, TFLOW, Q);
    EXPECT_EQ(P(43) + Q(36) + Q(37), 0.0);
}

// Station values: V of the trim model, R of the residuary model (per QDYN).
struct Stations {
    std::array<double, kStations + 1> V{}, R{};
    explicit Stations(const CaseState& st) {
        TrimParameters P;
        fillTrimParameters(st, P);
        ResiduaryParameters Q;
        fillResiduaryParameters(st, 0.0, Q);
        for (std::size_t k = 1; k <= kStations; ++k) {
            refillTrimStation(st, int(k), P);
            V[k] = stationValue(kTRIMRGStations(int(k)), P);
            R[k] = RESSTA(st, Q, int(k));
        }
    }
};
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

// Station k sits at FN = 0.05 (k + 1): there the interpolation returns the station value itself.
// 0.15 / 0.05 rounds to just below 3, so FN 0.15 falls in the first interval and takes stations 1 to 4.
TEST(FroudeRegressions, StationValuesNegativeStationsAndTheInterval) {
    auto st = yacht();
    const Stations s(*st);
    ASSERT_FALSE(wildLastStation(s.V[14], s.V[15]) || wildLastStation(s.R[14], s.R[15]));
    for (std::size_t k = 1; k <= kStations; ++k) {
        EXPECT_NEAR(trim(*st, 0.05 * double(k + 1)), s.V[k], 1e-12) << k;
        EXPECT_NEAR(residuary(*st, 0.05 * double(k + 1)), s.R[k], 1e-12) << k;
    }
    EXPECT_NEAR(trim(*st, 0.15), s.V[2], 1e-15) << "0.15 truncates to stations 1 to 4 at x = 2";
    EXPECT_NEAR(residuary(*st, 0.15), s.R[2], 1e-15);
}

// Below the whole runs' Froude numbers a negative first station counts as 0;
// beyond them, a wild last station.
TEST(FroudeRegressions, NegativeAndWildStations) {
    auto st = yacht();
    st->trial.LCFPHI = 1.785, st->trial.LCBPHI = 2.2;
    st->trial.TFWD = 0.8;  // trim station 14 near 0, 15 of the other sign
    const Stations wild(*st);
    ASSERT_TRUE(wildLastStation(wild.V[14], wild.V[15]) && wildLastStation(wild.R[14], wild.R[15]));
    EXPECT_EQ(residuary(*st, 0.1) + residuary(*st, 0.06), 0.0) << "station 1 is negative and contributes 0";
    // a last station more than 110 % away from the one before is replaced by it; beyond it
    // the resistance grows with the last interval's slope, the station as it is
    for (double FN : {0.751, 0.77, 0.799}) {
        EXPECT_EQ(trim(*st, FN), wild.V[14]) << FN;
        EXPECT_EQ(residuary(*st, FN), wild.R[14]) << FN;
    }
    for (double FN : {0.8, 0.85, 1.6})
        EXPECT_NEAR(residuary(*st, FN), wild.R[15] + (wild.R[15] - wild.R[14]) * 10 * (FN - 0.8), 1e-12) << FN;
    // exactly 110 % away (2.1 / 1 - 1 is 1.1 in doubles too) is not yet wild
    EXPECT_FALSE(wildLastStation(1, 2.1) || wildLastStation(1, -0.1) || wildLastStation(1, 2.09));
    EXPECT_FALSE(wildLastStation(1, -0.09) || wildLastStation(0, 0));
    EXPECT_TRUE(wildLastStation(1, 2.11) && wildLastStation(-1, -2.2) && wildLastStation(0, 1e-9));
}

// Below FN 0.1 (slower than any whole run) the balance forms no flow trim and
// fades the residuary resistance with the cube of the speed.
TEST(FroudeRegressionsInBalance, FlowTrimAndResiduaryResistanceOfATrialState) {
    test::ScratchDir dir;
    dir.copyExample("cruiser");
    test::RunOutcome run = test::runIn(dir.path(), "CR3\n");
    ASSERT_EQ(run.status, 0) << run.console;
    CaseState& st = *run.state;
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, dir.path()};
    st.point.VBOOT = 0.6, st.point.QDYN = 0.5 * st.point.RHO * 0.36;
    st.point.SINKG = 0.01, st.point.TRIMW = 0.002;
    BILANZ(st, io, st.raw.NST - 1);
    const double FN = st.balance.FN;
    double RR = 0.0;
    RESIRG(st, FN, 0.0, RR);
    ASSERT_LT(FN, 0.1);
    EXPECT_DOUBLE_EQ(st.app.DTRIM, -0.002) << "no flow trim";
    EXPECT_DOUBLE_EQ(st.balance.RRES, std::max(RR, 0.0) * std::pow(FN / 0.1, 3));
}

}  // namespace
}  // namespace carinex::regression
