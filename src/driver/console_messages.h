// Console lines of one test point: the outcome of the equilibrium search,
// the transition position and the residual errors.
//
// The line builders return one record without its line end; the writers
// write whole messages in their order, each ending with an empty line where
// the point's message ends with one.
#pragma once

#include <ostream>
#include <string>

namespace carinex {

// "solved for FN =" FNU in A18, F7.2.
std::string solvedLine(double FNU);

// "solution accepted for FN =" FNU in A27, F7.2.
std::string acceptedLine(double FNU);

// "NO convergence at FN =" FNU in A27, F7.2.
std::string noConvergenceLine(double FNU);

// "transition at " 1000*behindFP " mm behind FP" in A14, F7.0, A13;
// behindFP = XFKEEL - XTR, the distance in m of the hull's transition
// behind the forward end of the design waterline.
std::string transitionLine(double behindFP);

// "residuary error in equilibrium =" percent " %" in A32, G8.1, A2.
std::string residuaryErrorLine(double percent);

// "relative residuary error =" error in A32, G8.1.
std::string relativeErrorLine(double error);

// A solved point: the FN line, the transition line, the note when the
// transition lies forward of FP (behindFP < 0), an empty line.
void writeSolved(std::ostream& console, double FNU, double behindFP);

// A point accepted on small residuals RF (force) and RM (moment) after the
// search stopped short: "spurious convergence", the error in percent of the
// larger residual, the FN line, the transition line, an empty line.
void writeAccepted(std::ostream& console, double FNU, double RF, double RM, double behindFP);

// A point without convergence: the FN line, the larger residual, an empty line.
void writeNotConverged(std::ostream& console, double FNU, double RF, double RM);

// "Neustart" before the next attempt of the search (diagnostics only).
void writeRestart(std::ostream& console);

// The note for a point asking for appendages when none are valid.
void writeBareHullNote(std::ostream& console);

}  // namespace carinex
