// The resistance curves of a campaign as one self-contained SVG picture
// (DRAG\DRAG_###.svg): the resistance components of the table against the
// Froude number, one line style per heel angle, one marker per leeway,
// hollow markers for the bare hull; and, when the campaign has points at
// leeway, a second panel of side force against leeway with one curve per
// speed and heel. Points without an equilibrium are gaps: the curve through
// them is broken, never drawn to zero.
//
// The picture has no scripts, no external fonts, images or links. Every
// curve carries data-column (the table column it draws) and data-points
// (the test-point numbers of its vertices, in order), and every tick label
// sits exactly at its value, so a reader or a test can read any vertex back.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "driver/campaign_results.h"

namespace carinex {

// The SVG text for the records of one campaign whose table has MODE.
std::string dragPlotSvg(std::span<const PointRecord> points, int MODE, std::string_view title);

}  // namespace carinex
