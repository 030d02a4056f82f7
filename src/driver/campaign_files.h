// The two files written beside the resistance table once every test point
// has its row: the per-point results file and the resistance-curve picture.
// They never change the table, the report or the console dialogue; a file
// that cannot be written costs one warning line on the console and nothing
// else.
#pragma once

#include <string>

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

std::string pointsFileName(const std::string& code);  // DRAG\DRAG_###_points.csv
std::string plotFileName(const std::string& code);    // DRAG\DRAG_###.svg

// Writes both files from the campaign's records; false when one of them
// could not be written (after its warning line).
bool writeCampaignFiles(const CaseState& st, RunFiles& io);

}  // namespace carinex
