// The resistance table (and the diagnostic parameter table): the header
// chosen by MODE, one comma-separated data row per solved test point, the
// row of a point without convergence, and the parameter row.
//
// MODE 1 gives forces in N, 2 drag areas in m2, 3 coefficients on the wetted
// surface; every other value gives the regression table. Each column is a
// field of 14 characters followed by a comma; a row ends with the comma
// after its last value.
//
// The line builders return one record without its line end; the writers add
// the line end.
#pragma once

#include <array>
#include <cstddef>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace carinex {

// The free-format header lines of the table of MODE.
void writeTableHeadLines(std::ostream& table, int MODE);

// The column heads of MODE: each stored text (with its trailing blanks)
// right-aligned in 14 columns and followed by a comma.
std::string columnHeadLine(int MODE);

// The visible text of column k (zero-based) of the table of MODE, without
// its stored trailing blanks; empty past the last column.
std::string_view columnHeadText(int MODE, std::size_t k);

// Header lines and the column-head line.
void writeTableHeader(std::ostream& table, int MODE);

// Values of the last force evaluation of a solved or accepted point.
// Angles in radians; the row gives them in degrees.
struct ResistanceRow {
    double FN = 0;      // Froude number of the trial state on its waterline length
    double RFRIC = 0;   // friction resistance of the canoe body, N
    double FXK = 0;     // keel force along the course, N
    double FXR = 0;     // rudder force along the course, N
    double RHULL = 0;   // hull resistance in course axes, N
    double RTOT = 0;    // total resistance, N
    double RTRIP = 0;   // drag of the three turbulence stimulators, N
    double FSIDE = 0;   // side force of hull, keel and rudder, N
    double DTRIM = 0;   // pitch angle, rad (bow down negative)
    double LEEWAY = 0;  // leeway, rad
    double QDYN = 0;    // dynamic pressure, N/m2
    double SWET = 0;    // wetted surface, m2
};

// The data row of MODE 1, 2 or 3. The residuary resistance is
// RTOT - RHULL - FXK - FXR; MODE 2 divides the resistances by QDYN, MODE 3
// by QDYN*SWET. Throws std::invalid_argument for any other MODE.
std::string resistanceRowLine(int MODE, const ResistanceRow& r);

void writeResistanceRow(std::ostream& table, int MODE, const ResistanceRow& r);

// The numbers of one data row in the order of its columns, before they are
// formatted: every consumer of a row takes them from here.
struct RowValues {
    std::array<double, 10> value{};
    std::size_t count = 0;
    std::span<const double> values() const { return {value.data(), count}; }
};

// The values of the MODE 1, 2 or 3 row; throws std::invalid_argument for
// any other MODE.
RowValues resistanceRowValues(int MODE, const ResistanceRow& r);

// Values of the regression comparison of one point.
struct RegressionRow {
    double FNU = 0;        // Froude number on the upright waterline length
    double Rviscous = 0;   // viscous resistance, N
    double Rtotal = 0;     // total resistance, N
    double FSkeel = 0;     // keel side force, N
    double FSrudder = 0;   // rudder side force, N
    double LEEWAY = 0;     // leeway, rad
};

RowValues regressionRowValues(const RegressionRow& r);

// The data row of the regression table (any MODE other than 1, 2 and 3).
std::string regressionRowLine(const RegressionRow& r);

void writeRegressionRow(std::ostream& table, const RegressionRow& r);

// The row of a point without convergence: FN of the last trial state and
// five zeros, written with the data-row format of MODE. The record ends
// with the comma after the fifth zero, where the format runs out of values.
std::string zeroRowLine(int MODE, double FN);

void writeZeroRow(std::ostream& table, int MODE, double FN);

// Quantities of the last force evaluation for one row of the diagnostic
// parameter table.
struct ParameterRow {
    double VBOOT = 0;  // speed, m/s
    double TTANK = 0;  // water temperature of the test point, deg C
    double RTOT = 0, RHULL = 0, FXK = 0, FXR = 0;  // give the residuary resistance
    double LWLPHI = 0, BWLPHI = 0, TCBPHI = 0, VOLCB = 0, AHSPHI = 0, AWLPHI = 0;
    double LCBPHI = 0, LCFPHI = 0, LWL1 = 0, LWL2 = 0, VCB1 = 0, WENTER = 0, TCLTOH = 0;
    double UMIN = 0, VOLFNZ = 0, OVRHNG = 0, DRFPHI = 0, BDYN = 0;
};

inline constexpr int kParameterColumns = 22;

// The 22 G13.6 fields of a parameter row, in the order of its header:
// VBOOT, TTANK, max(RTOT - RHULL - FXK - FXR, 0), LWLPHI, BWLPHI, TCBPHI,
// VOLCB, AHSPHI, AWLPHI, LCBPHI, LCFPHI, LWL1, LWL2, VCB1, WENTER, TCLTOH,
// 0 (BML/LWL), UMIN^2, VOLFNZ, OVRHNG, DRFPHI^2, BDYN^2.
std::string parameterRowLine(const ParameterRow& p);

void writeParameterRow(std::ostream& paramet, const ParameterRow& p);

}  // namespace carinex
