// Hulls given by formulas, loaded as raw offsets of exactly 151 points per
// station that all reach the same top height: the hull preparation then
// copies them point for point, so the prepared hull is the analytic one.
#pragma once

#include <cmath>
#include <functional>

#include "driver/case_state.h"
#include "geometry/hull_preparation.h"
#include "platform/run_files.h"

namespace carinex::test {

struct SectionPoint {
    double y, zUp;  // half-breadth and height (upward), file axes
};

// section(x, k): point k = 0 (keel, y = 0) .. 150 (top) of the station at x.
using SectionFormula = std::function<SectionPoint(double x, int k)>;

// Loads the hull and prepares it at the given volume, bare hull, SCALE 1.
inline int prepareAnalyticHull(CaseState& st, RunFiles& io, int stations, double xAft, double xFwd,
                               const SectionFormula& section, double volume) {
    st.input.SCALE = 1.0;
    st.input.XORIG = 0.0;
    st.input.VOLUME = volume;
    st.input.KSTYPE = st.input.RSTYPE = 100;
    RawOffsets& r = st.raw;
    r.NST = stations;
    r.NPMAX = kSectionPoints;
    r.ZOFMAX = 0.0;
    for (int i = 1; i <= stations; ++i) {
        const double x = xAft + (xFwd - xAft) * (i - 1) / (stations - 1);
        r.XOFF(i) = x;
        r.NP(i) = kSectionPoints;
        const SectionPoint keel = section(x, 0);
        for (int j = 1; j <= kSectionPoints; ++j) {
            const SectionPoint p = section(x, j - 1);
            r.YOFF(j, i) = p.y;
            r.ZOFF(j, i) = p.zUp;
            r.RDIST(j, i) = std::hypot(p.zUp - keel.zUp, p.y);
            r.ZOFMAX = std::max(r.ZOFMAX, p.zUp);
        }
    }
    int IERR = 0;
    HULL1(st, io, IERR);
    return IERR;
}

}  // namespace carinex::test
