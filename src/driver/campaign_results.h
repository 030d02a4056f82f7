// What the campaign keeps of every test point once its row is written: the
// point's own inputs, how the equilibrium ended, and the very values the
// resistance table was written from, with the few quantities of the final
// force balance that the table folds together. The per-point results file
// and the resistance-curve picture are written from these records after
// the table, so they can never disagree with it.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "driver/table_writer.h"

namespace carinex {

inline constexpr int kMaxTestPointRecords = 250;  // the case input's limit of test points

enum class PointStatus {
    Solved,          // the root search converged
    Accepted,        // stopped short, residuals below the driver's tolerance
    NotConverged,    // five attempts failed: the table holds a zero row
    RegressionOnly,  // MODE 4: no equilibrium, the Delft regression alone
};

// The test point as the case input gives it (degrees, mm as in the file).
struct PointInputs {
    double V = 0;            // speed, m/s
    double MEXT = 0;         // external pitching moment, N m
    double TW = 0;           // water temperature, deg C
    double TURBU = 0;        // turbulence level as given, percent
    double XTRANS = 0;       // stimulator distance behind the bow, mm
    double heel = 0;         // deg
    bool appendages = false; // column 7 is 1.0
    double leeway = 0;       // deg
    double rudder = 0;       // deg
    double FLOAD = 0;        // vertical load at XLOAD, N (positive down)
};

struct PointRecord {
    PointInputs in;
    PointStatus status = PointStatus::NotConverged;
    bool APPON = false;        // computed with keel and rudder
    ResistanceRow row;         // what the table row of MODE 1, 2 or 3 was written from
    bool hasRegression = false;
    RegressionRow regression;  // what the regression row was written from
    // the final force balance beside the row
    double FNU = 0;            // Froude number on the upright waterline length
    double LWLPHI = 0;         // the heeled waterline length FN is based on, m
    double SINKG = 0, TRIMW = 0;
    double RSTUD = 0, STIMK = 0, STIMR = 0;  // the three stimulator drags, N
    double YHULL = 0, FYK = 0, FYR = 0;      // the three side forces, N
};

// One record per test point, in input order.
struct CampaignResults {
    std::array<PointRecord, kMaxTestPointRecords> points{};
    int count = 0;

    void add(const PointRecord& r) {
        if (count < kMaxTestPointRecords) points[static_cast<std::size_t>(count++)] = r;
    }
    std::span<const PointRecord> recorded() const { return {points.data(), static_cast<std::size_t>(count)}; }
};

}  // namespace carinex
