// The check that every point of the offsets file lies near the hull it describes.
//
// A mistyped coordinate (a half-breadth of 1e9, twelve nines for a height) would otherwise be
// carried into the preparation, where it makes every spline and integral of the run work on a
// shape without a scale: the run then spends minutes in the iteration limits of the fits, the
// integrals and the boundary layer. Such a point is an input error of the file.
#pragma once

#include "driver/case_state.h"
#include "platform/record_reader.h"

namespace carinex {

// Coordinates more than this many hull lengths off the hull are far outside it: real yachts
// are a fraction of their length wide and deep, so only a mistyped value can reach it.
constexpr double kHullLengthsOff = 10.0;

// The hull's length, robust against one mistyped station position: twice the span of the
// middle half of the stations (the span from the first to the third quartile of their x, half
// the length when the stations are evenly spread). 0 with fewer than two stations.
double robustHullLength(const RawOffsets& raw);

// Throws the file-and-line InputError of the first point read (present points, ZOFF not the
// absent mark) with |y|, or its distance in x or z from the hull's median station position or
// median height, more than kHullLengthsOff robust hull lengths. LINE(j, i) gives the line of
// each point in the file `in` reads.
void checkOffsetsNearHull(const RawOffsets& raw, const RecordReader& in);

}  // namespace carinex
