#include "appendages/regression_parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "appendages/regression_tables.h"
#include "regression_support.h"

namespace carinex::regression {
namespace {

using Expected = std::vector<std::pair<int, double>>;  // slot, the quantity it names

// Every named slot holds its quantity, every other slot is 0, and every slot
// that a station reads is named (or is the one that nothing sets).
template <int N>
void expectSlots(const OneBased<double, N>& P, const Expected& named, const StationTable& table, int unset) {
    std::set<int> namedSlots;
    for (const auto& [slot, value] : named) {
        namedSlots.insert(slot);
        EXPECT_NE(value, 0.0) << "slot " << slot << ": the test state must tell it from an empty slot";
        EXPECT_DOUBLE_EQ(P(slot), value) << "slot " << slot;
    }
    for (int slot = 1; slot <= N; ++slot) {
        if (!namedSlots.count(slot)) {
            EXPECT_EQ(P(slot), 0.0) << "slot " << slot;
        }
    }
    for (int k = 1; k <= kStations; ++k) {
        for (int j = 1; j <= kSlots; ++j) {
            const int slot = table(k).index[j];
            if (slot != 0 && slot != unset) {
                EXPECT_TRUE(namedSlots.count(slot)) << "station " << k << " reads " << slot;
            }
        }
    }
}

TEST(RegressionParameters, EveryTrimSlotHoldsTheQuantityItNames) {
    auto st = test::regressionState();
    const TrialHydrostatics& t = st->trial;
    const FlowResults& f = st->flow;
    TrimParameters P;
    P.fill(-7.0);
    fillTrimParameters(*st, P);
    const Expected named{
        {2, t.RBL1}, {3, t.RTL1}, {4, t.RAL1}, {6, t.CW1}, {7, t.CVP1}, {8, t.RAX1}, {9, f.WENTER},
        {10, f.UMIN * f.UMIN}, {11, f.BFLARE}, {12, t.CPA}, {15, t.RAL2}, {16, t.RLV2}, {17, t.CW2},
        {20, t.TCLTOH}, {22, f.BRUN}, {25, t.RBTPHI}, {26, t.LCFPHI - 0.5}, {30, f.UMAX * f.UMAX},
        {31, std::pow(t.VCB1, 2.0 / 3.0) / t.AWL1}, {32, std::pow(t.VCB2, 2.0 / 3.0) / t.AWL2},
        {33, t.KSLP0}, {34, t.OVHTC}, {35, f.ATRANS}, {36, t.TFWD}, {37, t.VOLFNZ / t.LWLPHI / t.AWLPHI},
        {38, t.OVHEXP}, {39, t.OVHF / 0.01}, {41, st->point.LEEWAY}, {42, std::pow(t.DRFPHI / t.RBL1, 2)},
        {43, std::sqrt(f.KVEFF * t.LWLPHI / t.VOLFNZ)}, {44, t.OVHF}};
    expectSlots(P, named, kTRIMRGStations, 40);
}

TEST(RegressionParameters, EveryResiduarySlotHoldsTheQuantityItNames) {
    auto st = test::regressionState();
    const TrialHydrostatics& t = st->trial;
    const FlowResults& f = st->flow;
    const double L = t.LWLPHI, TFLOW = 0.0042;
    ResiduaryParameters Q;
    Q.fill(-7.0);
    fillResiduaryParameters(*st, TFLOW, Q);
    const double Q36 = f.KVEFF / (t.VOLFNZ / L);  // station 1
    const Expected named{
        {1, t.VOLCB / (t.AHSPHI * L)}, {2, t.BWLPHI / L}, {3, t.TCBPHI / L}, {4, std::sqrt(t.AWLPHI) / L},
        {5, L / std::cbrt(t.VOLCB)}, {6, t.AWLPHI / (t.BWLPHI * L)}, {7, t.VOLCB / (t.AWLPHI * t.TCBPHI)},
        {8, std::sqrt(t.AHSPHI) / L}, {9, f.WENTER}, {10, f.UMIN * f.UMIN}, {11, f.BFLARE}, {12, t.TCLTOH},
        {13, f.BTRQ}, {15, t.CXPHI}, {16, f.BDYN * f.BDYN}, {17, t.RBTPHI}, {18, t.LCFPHI - 0.5},
        {19, t.LCBPHI - 0.5}, {20, f.U25 * f.U25}, {22, f.UMAX * f.UMAX},
        {23, std::pow(t.VOLCB, 2.0 / 3.0) / t.AWLPHI}, {24, t.KSLP0}, {26, t.TFWD}, {27, f.ATRANS},
        {28, t.OVRHNG / L * t.TCLTOH}, {29, (t.OVRHNG / L + 1) / 0.01}, {30, f.WPAR}, {31, f.ZFLARE},
        {32, std::exp(-20 * t.OVRHNG / L)}, {33, TFLOW}, {35, std::pow(t.DRFPHI / t.RBL1, 2)},
        {36, Q36}, {37, t.RKCL * Q36}};
    expectSlots(Q, named, kRESIRGStations, 0);
}

TEST(RegressionParameters, StationEntriesAreRefilledPerStation) {
    auto st = test::regressionState();
    const TrialHydrostatics& t = st->trial;
    const double L = t.LWLPHI, KVEFF = st->flow.KVEFF;
    TrimParameters P;
    fillTrimParameters(*st, P);
    ResiduaryParameters Q;
    fillResiduaryParameters(*st, 0.0, Q);
    struct Case {
        int k;
        double FN, S;  // station Froude number, volume scale of the station
    };
    const double byEffectiveVolume = t.VOLFNZ / L, byWaterplane = t.AWLPHI / (L / std::cbrt(t.VOLCB));
    const double byVolume = t.VOLCB / L;
    for (const Case& c : {Case{1, 0.10, byEffectiveVolume}, Case{5, 0.30, byEffectiveVolume},
                          Case{6, 0.35, byWaterplane}, Case{9, 0.50, byEffectiveVolume},
                          Case{10, 0.55, byVolume}, Case{12, 0.65, byVolume}, Case{13, 0.70, byVolume},
                          Case{15, 0.80, byVolume}}) {
        refillTrimStation(*st, c.k, P);
        refillResiduaryStation(*st, c.k, Q);
        EXPECT_DOUBLE_EQ(P(39), t.OVHF / (c.FN * c.FN)) << c.k;
        EXPECT_DOUBLE_EQ(Q(29), (t.OVRHNG / L + 1) / (c.FN * c.FN)) << c.k;
        EXPECT_DOUBLE_EQ(residuaryScale(*st, Q, c.k), c.S) << c.k;
        EXPECT_DOUBLE_EQ(Q(36), KVEFF / c.S) << c.k;
        const double Q37 = t.RKCL * KVEFF / c.S;
        EXPECT_DOUBLE_EQ(Q(37), c.k > 12 ? Q37 / t.OVHF : Q37) << c.k;
    }
}

TEST(RegressionParameters, BareHullOrNoEffectiveVolumeGivesNoKeelTerm) {
    for (bool appendages : {false, true}) {
        auto st = test::regressionState();
        st->point.APPON = appendages;  // a bare hull finds the previous point's keel volume
        if (appendages) st->trial.VOLFNZ = 0.0;
        TrimParameters P;
        fillTrimParameters(*st, P);
        ResiduaryParameters Q;
        fillResiduaryParameters(*st, 0.0, Q);
        EXPECT_EQ(P(43), 0.0);
        EXPECT_EQ(Q(36), 0.0);
        EXPECT_EQ(Q(37), 0.0);
    }
}

}  // namespace
}  // namespace carinex::regression
