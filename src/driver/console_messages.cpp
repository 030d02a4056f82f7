#include "driver/console_messages.h"

#include <algorithm>

#include "platform/fixed_format.h"

namespace carinex {

std::string solvedLine(double FNU) {
    return FormattedRecord().A("solved for FN =", 18).F(FNU, 7, 2).str();
}

std::string acceptedLine(double FNU) {
    return FormattedRecord().A("solution accepted for FN =", 27).F(FNU, 7, 2).str();
}

std::string noConvergenceLine(double FNU) {
    return FormattedRecord().A("NO convergence at FN =", 27).F(FNU, 7, 2).str();
}

std::string transitionLine(double behindFP) {
    return FormattedRecord().A("transition at ", 14).F(behindFP * 1000.0, 7, 0).A(" mm behind FP", 13).str();
}

std::string residuaryErrorLine(double percent) {
    return FormattedRecord().A("residuary error in equilibrium =", 32).G(percent, 8, 1).A(" %", 2).str();
}

std::string relativeErrorLine(double error) {
    return FormattedRecord().A("relative residuary error =", 32).G(error, 8, 1).str();
}

void writeSolved(std::ostream& console, double FNU, double behindFP) {
    console << solvedLine(FNU) << '\n';
    console << transitionLine(behindFP) << '\n';
    if (behindFP < 0.0) writeFree(console, "transition forward of FP, water-plane above DWL at bow");
    writeEmptyLine(console);
}

void writeAccepted(std::ostream& console, double FNU, double RF, double RM, double behindFP) {
    writeFree(console, "      spurious convergence");
    console << residuaryErrorLine(100.0 * std::max(RF, RM)) << '\n';
    console << acceptedLine(FNU) << '\n';
    console << transitionLine(behindFP) << '\n';
    writeEmptyLine(console);
}

void writeNotConverged(std::ostream& console, double FNU, double RF, double RM) {
    console << noConvergenceLine(FNU) << '\n';
    console << relativeErrorLine(std::max(RF, RM)) << '\n';
    writeEmptyLine(console);
}

void writeRestart(std::ostream& console) { writeFree(console, "Neustart"); }

void writeBareHullNote(std::ostream& console) {
    writeFree(console, "no valid appendages defined, resistance of ", "bare hull computed instead");
}

}  // namespace carinex
