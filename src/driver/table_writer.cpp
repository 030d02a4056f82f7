#include "driver/table_writer.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string_view>

#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr double kPi = 3.141592653589793;  // the run constant PI
constexpr int kColumnWidth = 14;

double degrees(double radians) { return radians * 180.0 / kPi; }

// ---------------------------------------------------------------------------
// Column heads

// A column head as stored: the text filled with trailing blanks to `stored`
// characters. The blanks count in the 14-column field, so they shift the
// visible text to the left.
struct ColumnHead {
    std::string_view text;
    std::size_t stored;
};

constexpr ColumnHead head(std::string_view text) { return {text, text.size()}; }
constexpr ColumnHead head(std::string_view text, std::size_t stored) { return {text, stored}; }

constexpr std::array kForceHeads = {
    head("FN", 10),   head("Rvisc-cb"),   head("Rkeel"), head("Rrudder"),    head("Rresidu"),
    head("Rtotal"),   head("Rvisc-trip"), head("Fside"), head("pitchangle"), head("leeway"),
};
constexpr std::array kDragAreaHeads = {
    head("FN", 10),       head("DA b.l.-cb", 11), head("DA viscous", 11), head("DA residu", 10),
    head("DA total", 9),  head("DA trip", 8),     head("pitchangle"),     head("leeway"),
};
constexpr std::array kCoefficientHeads = {
    head("FN", 10),      head("C b.l.-cb", 10), head("C viscous", 10), head("C residu", 9),
    head("C total", 8),  head("C trip", 7),     head("pitchangle"),    head("leeway"),
};
constexpr std::array kRegressionHeads = {
    head("FN", 7),     head("Rviscous"),  head("Rtotal"),
    head("FS keel"),   head("FS rudder"), head("leeway"),
};

std::span<const ColumnHead> columnHeads(int MODE) {
    switch (MODE) {
        case 1: return kForceHeads;
        case 2: return kDragAreaHeads;
        case 3: return kCoefficientHeads;
        default: return kRegressionHeads;
    }
}

// ---------------------------------------------------------------------------
// Row formats

// One numeric edit descriptor of a row, always followed by a literal comma.
struct NumericField {
    bool general;  // Gw.d, else Fw.d
    int d;
};

constexpr NumericField G7{true, 7};
constexpr NumericField F2{false, 2};
constexpr NumericField F6{false, 6};

// G14.7 ","; 7 x (F14.2 ","); 2 x (F14.6 ",")
constexpr std::array kForceFormat = {G7, F2, F2, F2, F2, F2, F2, F2, F6, F6};
// 6 x (G14.7 ","); 2 x (F14.6 ",")
constexpr std::array kRatioFormat = {G7, G7, G7, G7, G7, G7, F6, F6};
// G14.7 ","; 4 x (F14.2 ","); F14.6 ","
constexpr std::array kRegressionFormat = {G7, F2, F2, F2, F2, F6};

std::span<const NumericField> rowFormat(int MODE) {
    switch (MODE) {
        case 1: return kForceFormat;
        case 2:
        case 3: return kRatioFormat;
        default: return kRegressionFormat;
    }
}

// Writes the values through the format. As with a Fortran format, the record
// ends at the first edit descriptor that finds no value left, so the comma
// after the last value is still written.
std::string formatRow(std::span<const NumericField> format, std::span<const double> values) {
    assert(values.size() <= format.size());
    FormattedRecord r;
    const std::size_t n = std::min(values.size(), format.size());
    for (std::size_t k = 0; k < n; ++k) {
        if (format[k].general)
            r.G(values[k], kColumnWidth, format[k].d);
        else
            r.F(values[k], kColumnWidth, format[k].d);
        r.A(",");
    }
    return r.str();
}

}  // namespace

void writeTableHeadLines(std::ostream& table, int MODE) {
    constexpr const char* kPitchLine = "Pitchangle (bow down is negative) and leeway in degrees";
    switch (MODE) {
        case 1:
            writeFree(table, "Resistanceforce in Newton");
            writeFree(table, kPitchLine);
            break;
        case 2:
            writeFree(table, "Dragarea in m^2");
            writeFree(table, kPitchLine);
            break;
        case 3:
            writeFree(table, "Resistance-coefficient based on wetted area");
            writeFree(table, kPitchLine);
            break;
        default:
            writeFree(table, "Resistanceforce in Newton - calculated with",
                      " Delft-regression method after Keuning 2008");
            writeFree(table, "Supplied for comparison with results from Carinex");
            break;
    }
}

std::string columnHeadLine(int MODE) {
    FormattedRecord r;
    for (const ColumnHead& h : columnHeads(MODE)) {
        std::string stored(h.text);
        stored.resize(h.stored, ' ');
        r.A(stored, kColumnWidth).A(",");
    }
    return r.str();
}

std::string_view columnHeadText(int MODE, std::size_t k) {
    const std::span<const ColumnHead> heads = columnHeads(MODE);
    return k < heads.size() ? heads[k].text : std::string_view();
}

void writeTableHeader(std::ostream& table, int MODE) {
    writeTableHeadLines(table, MODE);
    table << columnHeadLine(MODE) << '\n';
}

RowValues resistanceRowValues(int MODE, const ResistanceRow& r) {
    if (MODE < 1 || MODE > 3) throw std::invalid_argument("resistance rows exist for MODE 1, 2 and 3 only");
    const double RRES = r.RTOT - r.RHULL - r.FXK - r.FXR;
    if (MODE == 1)
        return {{r.FN, r.RFRIC, r.FXK, r.FXR, RRES, r.RTOT, r.RTRIP, r.FSIDE, degrees(r.DTRIM), degrees(r.LEEWAY)},
                kForceFormat.size()};
    // drag areas on the dynamic pressure, coefficients on pressure times wetted surface
    const double ref = MODE == 2 ? r.QDYN : r.QDYN * r.SWET;
    return {{r.FN, r.RFRIC / ref, (r.RHULL + r.FXK + r.FXR) / ref, RRES / ref, r.RTOT / ref, r.RTRIP / ref,
             degrees(r.DTRIM), degrees(r.LEEWAY)},
            kRatioFormat.size()};
}

std::string resistanceRowLine(int MODE, const ResistanceRow& r) {
    return formatRow(rowFormat(MODE), resistanceRowValues(MODE, r).values());
}

void writeResistanceRow(std::ostream& table, int MODE, const ResistanceRow& r) {
    table << resistanceRowLine(MODE, r) << '\n';
}

RowValues regressionRowValues(const RegressionRow& r) {
    return {{r.FNU, r.Rviscous, r.Rtotal, r.FSkeel, r.FSrudder, degrees(r.LEEWAY)}, kRegressionFormat.size()};
}

std::string regressionRowLine(const RegressionRow& r) {
    return formatRow(kRegressionFormat, regressionRowValues(r).values());
}

void writeRegressionRow(std::ostream& table, const RegressionRow& r) {
    table << regressionRowLine(r) << '\n';
}

std::string zeroRowLine(int MODE, double FN) {
    const std::array values = {FN, 0.0, 0.0, 0.0, 0.0, 0.0};
    return formatRow(rowFormat(MODE), values);
}

void writeZeroRow(std::ostream& table, int MODE, double FN) {
    table << zeroRowLine(MODE, FN) << '\n';
}

std::string parameterRowLine(const ParameterRow& p) {
    const double RWELL = std::max(p.RTOT - p.RHULL - p.FXK - p.FXR, 0.0);
    const double BMLLWL = 0.0;  // no routine sets this column
    const std::array<double, kParameterColumns> values = {
        p.VBOOT,  p.TTANK,  RWELL,    p.LWLPHI, p.BWLPHI, p.TCBPHI,
        p.VOLCB,  p.AHSPHI, p.AWLPHI, p.LCBPHI, p.LCFPHI, p.LWL1,
        p.LWL2,   p.VCB1,   p.WENTER, p.TCLTOH, BMLLWL,   p.UMIN * p.UMIN,
        p.VOLFNZ, p.OVRHNG, p.DRFPHI * p.DRFPHI,          p.BDYN * p.BDYN};
    FormattedRecord r;
    for (double v : values) r.G(v, 13, 6);
    return r.str();
}

void writeParameterRow(std::ostream& paramet, const ParameterRow& p) {
    paramet << parameterRowLine(p) << '\n';
}

}  // namespace carinex
