// Keel and rudder of the yacht floating upright at rest on its design waterline: the keel's
// span, lateral area, volume and volume centroid, the rudder's spans from the tip to where it
// meets the hull, its area and immersed volume, and the station slots next to both.
#pragma once

#include <span>

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {

// Error code of GEOPRO for appendages whose formulas at rest have no meaning: a keel without
// depth below the canoe body, without root chord, section area or volume, or a rudder without
// span, root chord or area below the hull. The console names the offending quantity.
constexpr int kAppendageAtRest = 6;

// The canoe body's keel line: the rational spline of the keel depth ZREF over the station
// positions, as GEOPRO fits it (N points, spans as for RATVAL).
struct KeelLine {
    int N = 0;
    std::span<const double> X, COEF, P;

    // Depth of the keel line at x; the interval search starts at interval 20.
    double depthAt(double x) const;
};

// The appendage block of GEOPRO. With appendages (KSTYPE != 100): KSWPE, KZLEAD, KZTRAIL,
// KSPANR, KAROOT, VKROOT, KZC, KAREA, VKEEL, KCMEAN, IRUD, KSLOT, SH1, SH2, CR0, AR0, RCWL,
// VRUDD, RASP and TMAXK; for keel type 63 it also lowers KDEPTH to the depth below TMAX.
// Without appendages KZC, VKEEL and VRUDD are 0. Needs TMAX, XTMAX and LWL. Returns 0 or
// kAppendageAtRest.
int appendagesAtRest(CaseState& st, RunFiles& io, int NSLOT, const KeelLine& keel);

}  // namespace carinex
