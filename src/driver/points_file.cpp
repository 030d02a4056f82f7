#include "driver/points_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace carinex {

namespace {

constexpr double kPi = 3.141592653589793;  // the run constant PI

constexpr std::array<std::string_view, 10> kInputColumns = {
    "V [m/s]",       "water_temperature [degC]", "turbulence [%]", "stimulator_distance [mm]",
    "heel [deg]",    "leeway [deg]",             "rudder_angle [deg]", "appendages [on/off]",
    "vertical_load [N]", "pitching_moment [N m]",
};

constexpr std::array<std::string_view, 22> kEquilibriumColumns = {
    "Fn [-]",           "Fn_length [m]",     "Fn_upright [-]",    "sinkage [m]",
    "trim [deg]",       "pitch_angle [deg]", "R_friction [N]",    "R_hull_other [N]",
    "R_keel [N]",       "R_rudder [N]",      "R_residuary [N]",   "R_total [N]",
    "R_stimulators [N]", "R_stim_hull [N]",  "R_stim_keel [N]",   "R_stim_rudder [N]",
    "F_side [N]",       "F_side_hull [N]",   "F_side_keel [N]",   "F_side_rudder [N]",
    "q [Pa]",           "S_wet [m2]",
};

constexpr std::array<std::string_view, 4> kRegressionColumns = {
    "Delft_R_viscous [N]", "Delft_R_total [N]", "Delft_F_side_keel [N]", "Delft_F_side_rudder [N]",
};

std::string_view statusText(PointStatus s) {
    switch (s) {
        case PointStatus::Solved: return "solved";
        case PointStatus::Accepted: return "accepted";
        case PointStatus::NotConverged: return "not converged";
        case PointStatus::RegressionOnly: return "regression only";
    }
    return "";
}

// A row under construction: fields joined by commas.
class CsvRow {
public:
    CsvRow& text(std::string_view s) {
        separate();
        line_ += s;
        return *this;
    }
    // The shortest text that reads back as the same double; a value that is
    // not finite is left empty rather than written as a word a spreadsheet
    // would take for text.
    CsvRow& number(double v) {
        separate();
        if (!std::isfinite(v)) return *this;
        std::array<char, 32> buf{};
        const auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), v);
        if (ec == std::errc()) line_.append(buf.data(), end);
        return *this;
    }
    CsvRow& empty(std::size_t n) {
        for (std::size_t k = 0; k < n; ++k) separate();
        return *this;
    }
    std::string str() && { return std::move(line_); }

private:
    void separate() {
        if (!first_) line_ += ',';
        first_ = false;
    }
    std::string line_;
    bool first_ = true;
};

void equilibriumFields(CsvRow& row, const PointRecord& r) {
    const ResistanceRow& t = r.row;
    const double RRES = t.RTOT - t.RHULL - t.FXK - t.FXR;  // as the table forms it
    row.number(t.FN).number(r.LWLPHI).number(r.FNU);
    // The waterline lies at depth SINKG - TRIMW x below the design waterline
    // (z down): a negative SINKG sinks the hull, a positive TRIMW puts the
    // bow down. Reported as the sinkage of the hull and the trim bow up.
    row.number(-r.SINKG).number(-std::atan(r.TRIMW) * 180.0 / kPi).number(t.DTRIM * 180.0 / kPi);
    row.number(t.RFRIC).number(t.RHULL - t.RFRIC).number(t.FXK).number(t.FXR).number(RRES).number(t.RTOT);
    row.number(t.RTRIP).number(r.RSTUD).number(r.STIMK).number(r.STIMR);
    row.number(t.FSIDE).number(r.YHULL).number(r.FYK).number(r.FYR);
    row.number(t.QDYN).number(t.SWET);
}

}  // namespace

std::string pointsHeaderLine() {
    CsvRow row;
    row.text("point");
    for (std::string_view c : kInputColumns) row.text(c);
    row.text("status");
    for (std::string_view c : kEquilibriumColumns) row.text(c);
    for (std::string_view c : kRegressionColumns) row.text(c);
    return std::move(row).str();
}

std::string pointsRowLine(int number, const PointRecord& r) {
    CsvRow row;
    row.number(number);
    const PointInputs& in = r.in;
    row.number(in.V).number(in.TW).number(in.TURBU).number(in.XTRANS);
    row.number(in.heel).number(in.leeway).number(in.rudder).text(in.appendages ? "on" : "off");
    row.number(in.FLOAD).number(in.MEXT);
    row.text(statusText(r.status));
    if (r.status == PointStatus::Solved || r.status == PointStatus::Accepted) {
        equilibriumFields(row, r);
    } else if (r.status == PointStatus::RegressionOnly) {
        row.empty(2).number(r.FNU).empty(kEquilibriumColumns.size() - 3);
    } else {
        row.empty(kEquilibriumColumns.size() + kRegressionColumns.size());
        return std::move(row).str();
    }
    if (!r.hasRegression) {
        row.empty(kRegressionColumns.size());
        return std::move(row).str();
    }
    const RegressionRow& g = r.regression;
    row.number(g.Rviscous).number(g.Rtotal).number(g.FSkeel).number(g.FSrudder);
    return std::move(row).str();
}

void writePointsFile(std::ostream& out, std::span<const PointRecord> points) {
    out << pointsHeaderLine() << '\n';
    int number = 0;
    for (const PointRecord& r : points) out << pointsRowLine(++number, r) << '\n';
}

}  // namespace carinex
