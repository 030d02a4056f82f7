#include "driver/report_writer.h"

#include <cmath>
#include <cstddef>
#include <string_view>

#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr double kPi = 3.141592653589793;  // the run constant PI
constexpr std::size_t kTitleLength = 70;
constexpr std::size_t kCaseCodeLength = 3;
constexpr int kLabelColumn = 2;
constexpr int kLabelWidth = 34;


// A fixed character variable: the text cut or blank-padded to n characters.
std::string padded(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

// How one value of the upright block is written.
enum class Field { G12_6, G12_5, F8_3, F8_4 };

std::string blockLine(std::string_view label, double value, Field field) {
    FormattedRecord r;
    r.T(kLabelColumn).A(label, kLabelWidth);
    switch (field) {
        case Field::G12_6: r.G(value, 12, 6); break;
        case Field::G12_5: r.G(value, 12, 5); break;
        case Field::F8_3: r.F(value, 8, 3); break;
        case Field::F8_4: r.F(value, 8, 4); break;
    }
    return r.str();
}

// Every label ends in "= " at columns 33 and 34 of its field.
constexpr bool isBlockLabel(std::string_view label) {
    return label.size() == static_cast<std::size_t>(kLabelWidth) && label.ends_with("= ");
}

constexpr std::string_view kLabels[kUprightBlockLines] = {
    "immersed volume canoe body (m3) = ",
    "immersed volume fin keel (m3)   = ",
    "immersed volume rudder (m3)     = ",
    "total mass of the yacht (kg)    = ",
    "wetted surface canoe body (m2)  = ",
    "waterplane area (m2)            = ",
    "waterline length (m)            = ",
    "maximum beam in waterplane (m)  = ",
    "maximum draft canoe body (m)    = ",
    "maximum draft with keel (m)     = ",
    "Cx                              = ",
    "Cp                              = ",
    "Cwp                             = ",
    "LCB in % Lwl behind FP          = ",
    "LCF in % Lwl behind FP          = ",
    "Rocker angle aft end DWL (deg)  = ",
};

constexpr bool allBlockLabels() {
    for (std::string_view label : kLabels)
        if (!isBlockLabel(label)) return false;
    return true;
}
static_assert(allBlockLabels(), "an upright-block label is not 34 characters ending in \"= \"");

}  // namespace

void writeReportHeader(std::ostream& report, const std::string& TITLE, const std::string& CASE) {
    writeEmptyLine(report);
    report << FormattedRecord().A(padded(TITLE, kTitleLength), static_cast<int>(kTitleLength)).str() << '\n';
    writeFree(report, "Geometry defined in: OFFS_" + padded(CASE, kCaseCodeLength) + ".TXT");
    writeEmptyLine(report);
    writeFree(report, "Hull properties calculated with Carinex 3.3");
    writeFree(report, "Documentation and updates of Carinex: see the Carinex web site");
    writeEmptyLine(report);
}

std::string lengthWarningLine(double ratio) {
    return FormattedRecord()
        .A("Length of waterline only", 25)
        .F(100.0 * ratio, 6, 1)
        .A("% of length of hull", 20)
        .str();
}

void writeLengthWarning(std::ostream& os, double ratio) {
    os << lengthWarningLine(ratio) << '\n';
    writeFree(os, "SCALE might not match the prescribed VOLUME");
}

void writeLengthWarning(RunFiles& io, double ratio) {
    writeLengthWarning(io.console, ratio);
    writeLengthWarning(io.report(), ratio);
    writeLengthWarning(io.table(), ratio);
}

void writeWaterLine(std::ostream& report, bool seawater) {
    writeFree(report, seawater ? "values upright at rest, without trim in seawater"
                               : "values upright at rest, without trim in fresh water");
}

std::array<std::string, kUprightBlockLines> uprightBlockLines(const UprightBlock& b) {
    const double mass = (b.VOLUME + b.VKEEL + b.VRUDD) * b.RHO;
    const double rockerAngle = std::atan(b.rocker) * 180.0 / kPi;
    return {
        blockLine(kLabels[0], b.VOLUME, Field::G12_6),
        blockLine(kLabels[1], b.VKEEL, Field::G12_5),
        blockLine(kLabels[2], b.VRUDD, Field::G12_5),
        blockLine(kLabels[3], mass, Field::G12_5),
        blockLine(kLabels[4], b.SWET0, Field::G12_6),
        blockLine(kLabels[5], b.AWP0, Field::G12_6),
        blockLine(kLabels[6], b.LWL, Field::F8_3),
        blockLine(kLabels[7], b.BMAX, Field::F8_3),
        blockLine(kLabels[8], b.TMAX, Field::F8_3),
        blockLine(kLabels[9], b.TMAX + b.KDEPTH, Field::F8_3),
        blockLine(kLabels[10], b.CX, Field::F8_4),
        blockLine(kLabels[11], b.CP, Field::F8_4),
        blockLine(kLabels[12], b.CWP, Field::F8_4),
        blockLine(kLabels[13], 100.0 * b.LCB, Field::F8_3),
        blockLine(kLabels[14], 100.0 * b.LCF, Field::F8_3),
        blockLine(kLabels[15], rockerAngle, Field::F8_3),
    };
}

void writeUprightBlock(std::ostream& report, const UprightBlock& b) {
    for (const std::string& line : uprightBlockLines(b)) report << line << '\n';
}

}  // namespace carinex
