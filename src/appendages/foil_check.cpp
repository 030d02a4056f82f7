#include "appendages/foil_check.h"

#include <cmath>
#include <string_view>

#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr std::string_view kRestriction = "Restriction for tank model: Lift and drag coefficients of ";
constexpr std::string_view kExtrapolated1 = "Warning: Lift and drag coefficients of foil ";
constexpr std::string_view kExtrapolated2 = "section extrapolated outside of thickness-range";

// One note: a single console line, and an empty line plus the two texts in
// their fields on the resistance table.
void writeNote(RunFiles& io, std::string_view first, int w1, std::string_view second, int w2) {
    writeFree(io.console, first, second);
    writeEmptyLine(io.table());
    io.table() << FormattedRecord().A(first, w1).A(second, w2).str() << '\n';
}

// The tank-model data hold one thickness only; full-scale data a range.
void checkMeasuredThickness(RunFiles& io, double TC, double lo, double hi, std::string_view measured, int& ISTAT) {
    if (TC > hi || TC < lo) {
        writeNote(io, kRestriction, 59, measured, 40);
        ISTAT = 1;
    }
}

void checkThicknessRange(RunFiles& io, double TC, double lo, double hi, int& ISTAT) {
    if (TC > hi || TC < lo) {
        writeNote(io, kExtrapolated1, 45, kExtrapolated2, 47);
        ISTAT = 2;
    }
}

}  // namespace

void FOILCK(RunFiles& io, int ITYPE, double TC, double& SWEEP, int& ISTAT, bool FULLSC) {
    ISTAT = 0;
    if (ITYPE == 0) {
        if (!FULLSC) checkMeasuredThickness(io, TC, 0.118, 0.122, "foil section determined at 12% thickness", ISTAT);
        else checkThicknessRange(io, TC, 0.1, 0.17, ISTAT);
    } else if (ITYPE == 63) {
        if (!FULLSC) checkMeasuredThickness(io, TC, 0.148, 0.152, "foil section determined at 15% thickness", ISTAT);
        else checkThicknessRange(io, TC, 0.1, 0.17, ISTAT);
    } else if (ITYPE == 64) {
        checkThicknessRange(io, TC, 0.09, 0.16, ISTAT);
    }
    // swept further, the strip theory behind the section data breaks down
    if (std::fabs(SWEEP) > 60.0) {
        writeFree(io.console, "Warning: Sweep angle of foil more than 60 deg.");
        writeFree(io.console, "angle reduced to 60 deg.");
        SWEEP = SWEEP >= 0.0 ? 60.0 : -60.0;
        ISTAT = 3;
    }
}

}  // namespace carinex
