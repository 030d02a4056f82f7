// The tables of the heeled hydrostatics near the ends of the stations: the bow end beyond the
// last station, the stern table past the last station, the transition table of the shortest
// run, the largest-section range at the transom, a largest section outside the run, and a
// station list outside the slots. The hulls are put straight into the prepared arrays, station
// by station, so that the wetted run can be placed anywhere.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "hydrostatics/heeled.h"
#include "hydrostatics/heeled_support.h"
#include "platform/fixed_format.h"

namespace carinex {
namespace {

using namespace test::heel;

// One station: breadth B, depth D of the keel below the chine, and a lift of the whole section
// (a lifted station stands clear of the water).
struct StationShape {
    double B, D, lift = 0.0;
};

constexpr double kSpacing = 0.2;  // station spacing
constexpr double kLifted = 1.0;

// Elliptic bilge from the keel to the chine at 0.1, vertical side up to the deck at 0.5.
void prepareStations(Bench& b, int stations, const std::function<StationShape(int K)>& station) {
    prepareDirect(*b.st, stations, 0.0, kSpacing * (stations - 1), [&](double x, int k) {
        const StationShape s = station(static_cast<int>(std::lround(x / kSpacing)));
        return bilgeSection(s.B, s.D, s.lift + 0.1, s.lift + 0.5, k);
    });
}

// A bow section still in the water at the last slot: the run ends beyond the stations, at
// most one station spacing past the last one; no slot past 52 is read.
TEST(KraengGuards, BowEndBeyondTheLastSlot) {
    Bench b;
    prepareStations(b, kStationSlots, [](int K) {  // every slot occupied
        const double x = kSpacing * K;
        return StationShape{0.3 + 0.9 * (1.0 - std::pow((x - 4.5) / 6.0, 2)),
                            0.25 + 0.35 * (1.0 - std::pow((x - 5.0) / 6.0, 2))};
    });
    // the upright particulars give keel depths for slots 0 ... 51 only; a run never occupies
    // slot 52, this test does
    b.st->upright.ZREF[52] = b.st->hull.ZS[52][0];
    const SlotArray& XST = b.st->hull.XST;
    const double limit = 2.0 * XST[52] - XST[51];
    for (double heel : {0.0, 15.0}) {
        setTrial(*b.st, 0.0, 0.0, heel);
        ASSERT_EQ(kraeng(b, kStationSlots - 1), 0) << heel;
        const TrialHydrostatics& t = b.st->trial;
        EXPECT_EQ(t.ISTA1, 0) << "the transom is wet";
        EXPECT_EQ(t.ISTA2, kStationSlots) << "one past the last slot";
        // the keel at the bow lies 0.2 m deep and rises 0.2 m per 9 m: the straight line
        // through the bow stations' keel depths ends far beyond, so the bound holds the end
        EXPECT_DOUBLE_EQ(t.XFPHI, limit);
        EXPECT_GT(t.VOLCB, 0.0);
        EXPECT_NEAR(t.LWLPHI, limit - XST[0], 1e-12);
    }
}

// The heeled stern table takes the five stations forward of ISTA1; on a run that starts within
// five stations of the last one it would read past the stations. Such a run has at most six
// stations and fails the admission anyway: it takes the default path before the table.
TEST(KraengGuards, SternTablePastTheLastStationTakesTheDefaultPath) {
    Bench b;
    prepareStations(b, 23, [](int K) { return StationShape{0.8, 0.3 + 0.02 * K, K <= 18 ? kLifted : 0.0}; });
    b.st->input.VOLUME = 2.0;
    for (double heel : {20.0, 0.0}) {
        setTrial(*b.st, 0.0, 0.0, heel);
        expectDefaultPath(b, 22);
        EXPECT_EQ(b.st->trial.ISTA1, 18) << "the run starts four stations before the last";
    }
}

// The shortest run the admission accepts: seven table entries from ISTA1 to ISTA2. The
// transition table is then the whole waterline table, and its first entry is the aft end of the
// waterline (keel depth and breadth 0 there), not the dry station behind it.
TEST(KraengGuards, TransitionTableOfTheShortestRunStartsAtTheAftEnd) {
    Bench b;
    prepareStations(b, 27, [](int K) {
        return StationShape{0.8, 0.3 + 0.02 * K, (K <= 18 || K >= 24) ? kLifted : 0.0};
    });
    setTrial(*b.st, 0.0, 0.0, 0.0);
    ASSERT_EQ(kraeng(b, 26), 0);
    const TrialHydrostatics& t = b.st->trial;
    ASSERT_EQ(t.ISTA1, 18);
    ASSERT_EQ(t.ISTA2, 24);
    const SlotArray& XST = b.st->hull.XST;
    EXPECT_GT(t.XAPHI, XST[18]);
    EXPECT_LT(t.XFPHI, XST[24]);
    ASSERT_EQ(kraeng(b, 26, t.LWLPHI), 0);  // the transition at the aft end of the waterline
    EXPECT_NEAR(t.TLAT, 0.0, 1e-12);
    EXPECT_NEAR(t.BRTLAM, 0.0, 1e-12);
    ASSERT_EQ(kraeng(b, 26, t.XFPHI - XST[19]), 0);  // and at the first wet station
    EXPECT_NEAR(t.TLAT, t.KDW[19], 1e-12);
    EXPECT_NEAR(t.BRTLAM, t.BSEC[19], 1e-12);
}

// A hull whose largest section is its transom: IAMAX moves one slot inward, the local range of
// the largest section is clipped to the run (slots 0 ... 4), and the areas fall all along it,
// so no maximum is found and the largest station stands in. The keel line falls too.
TEST(KraengGuards, LargestSectionAtTheTransom) {
    Bench b;
    prepareStations(b, 25, [](int K) {
        return StationShape{1.2 - 0.03 * K, 0.6 - 0.015 * K, K >= 22 ? kLifted : 0.0};
    });
    setTrial(*b.st, 0.0, 0.0, 0.0);
    ASSERT_EQ(kraeng(b, 24), 0);
    EXPECT_EQ(b.console.str(), "") << "messages only with DIAG";
    b.st->run.DIAG = true;
    ASSERT_EQ(kraeng(b, 24), 0) << "the failed searches clear the error";
    const TrialHydrostatics& t = b.st->trial;
    const SlotArray& XST = b.st->hull.XST;
    EXPECT_EQ(t.ISTA1, 0);
    EXPECT_EQ(t.ISTA2, 22);
    EXPECT_EQ(t.IAMAX, 1);
    EXPECT_EQ(t.AHSPHI, t.ASEC[1]);
    EXPECT_EQ(t.XMREF, XST[1]);
    EXPECT_EQ(t.TMXPHI, t.TCBPHI);
    std::ostringstream expected;
    writeFree(expected, "FEHLER KRAENG AHSPHI", 5, 1, 0, 22);
    writeFree(expected, "FEHLER KRAENG TMXPHI", 1, XST[0], XST[21]);
    EXPECT_EQ(b.console.str(), expected.str());
    // the split is made at the largest station
    EXPECT_NEAR(t.LWL2, XST[1] - t.XAPHI, 1e-15);
}

// The surface splits the hull into two wetted runs and the larger sections lie forward of the
// dry station that ends the first: no single waterline describes that state. A station list
// that does not fit the slots is not cut at all.
TEST(KraengGuards, LargestSectionBeyondTheRunOrStationsOutsideTheSlotsTakeTheDefaultPath) {
    Bench b;
    prepareStations(b, 31, [](int K) {
        if (K == 21) return StationShape{0.5, 0.2, kLifted};
        return K < 21 ? StationShape{0.5, 0.2} : StationShape{1.0, 0.5};
    });
    setTrial(*b.st, 0.0, 0.0, 0.0);
    expectDefaultPath(b, 30);
    EXPECT_EQ(b.st->trial.ISTA2, 21);
    EXPECT_GT(b.st->trial.IAMAX, 21);
    for (int NSLOT : {kStationSlots, 0}) {
        b.st->trial.ASEC.fill(-1.0);
        expectDefaultPath(b, NSLOT);
        EXPECT_EQ(b.st->trial.ASEC[0], -1.0) << "no section was cut, NSLOT " << NSLOT;
    }
}

}  // namespace
}  // namespace carinex
