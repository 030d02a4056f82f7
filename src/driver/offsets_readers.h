// Readers of the hull offsets file in its three layouts, and the orientation
// check that follows them. All fill the raw offsets of the case state in the
// units of the file; y is stored as its magnitude, x and z with the signs the
// case input asks for.
//
// IERR: 0 success, 1 a section of more than 400 points (or malformed input,
// whose message names the file and line), 2 more than 70 stations, 3 no
// usable station.
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"
#include "platform/record_reader.h"

namespace carinex {

void RDOFF3(CaseState& st, RunFiles& io, RecordReader& in, int& IERR);  // counted layout
void RDOFF2(CaseState& st, RunFiles& io, RecordReader& in, int& IERR);  // Delftship offsets export
void RDOFF1(CaseState& st, RunFiles& io, RecordReader& in, int& IERR);  // list of x y z points

// Axis orientation check; fills RDIST and returns the deck half-breadth of
// the middle station. IERR = 1 when the z axis points the wrong way.
void OFFCHK(CaseState& st, RunFiles& io, double& BHALF, int& IERR);

// Value of a fixed field Fw.d read from columns first..first+w-1 of a record:
// blanks are ignored, a number without its own decimal point has d implied
// decimals, an all-blank field is 0. Nullopt when malformed.
std::optional<double> readFixedField(std::string_view record, int first, int w, int d);

}  // namespace carinex
