// The empirical wave profile along the hull at speed: a bow crest, a trough and a stern wave,
// with heights that grow with the Froude number and with the velocity integral PABS of the
// potential flow. Heights are positive upward, x absolute (growing towards the bow).
//
// From the bow aft: the crest, level at HCREST (and falling off by 0.2 per metre forward of the
// middle between crest and bow); a parabola from the crest down to the trough; the trough level
// at -HTROU; and the straight stern line that rises from -HTROU at XLINE to HSTERN at the aft
// end. Above FN 0.61 the profile no longer changes with speed.
#pragma once

#include "driver/case_state.h"

namespace carinex::flow {

// Sets HCREST ... ZAFT of the flow results from FN, the heeled waterline and PABS, and
// returns the two x positions the elevation needs besides them.
struct WaveLimits {
    double XMID = 0.0;   // middle between crest and bow
    double XLINE = 0.0;  // forward end of the stern line
    double XJ = 0.0;     // where the parabola meets the stern line (or the trough)
};
WaveLimits waveProfile(CaseState& st, double PABS);

// Elevation of the profile at x.
double waveElevation(const FlowResults& f, const WaveLimits& w, double x);

// The same without the stern line, whose place the trough level takes (for the bow end).
double bowWaveElevation(const FlowResults& f, const WaveLimits& w, double x);

}  // namespace carinex::flow
