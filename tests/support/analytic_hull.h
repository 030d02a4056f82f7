// Hulls given by formulas, loaded as raw offsets of exactly 151 points per
// station that all reach the same top height: the hull preparation then
// copies them point for point, so the prepared hull is the analytic one.
// Also the loader of raw offsets that the geometry tests build their stations with.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "driver/case_state.h"
#include "geometry/hull_preparation.h"
#include "platform/run_files.h"

namespace carinex::test {

namespace heel {

inline std::size_t ix(int i) { return static_cast<std::size_t>(i); }

using Points = std::vector<std::pair<double, double>>;    // (y, z) from the keel upward
using Stations = std::vector<std::pair<double, Points>>;  // (x, points) from the stern

// Stations loaded into raw offsets as a reader leaves them, with their highest point ZOFMAX;
// `girth` sets the distances from the first point as the orientation check does.
inline std::unique_ptr<CaseState> rawOffsets(const Stations& stations, bool girth) {
    auto st = makeCaseState();
    RawOffsets& r = st->raw;
    r.ZOFMAX = 0.0;
    for (const auto& [x, pts] : stations) {
        const int i = ++r.NST;
        r.XOFF(i) = x;
        r.NP(i) = static_cast<int>(pts.size());
        r.NPMAX = std::max(r.NPMAX, r.NP(i));
        for (int j = 1; j <= r.NP(i); ++j) {
            r.YOFF(j, i) = pts[ix(j - 1)].first;
            r.ZOFF(j, i) = pts[ix(j - 1)].second;
            if (girth) r.RDIST(j, i) = std::hypot(r.ZOFF(j, i) - r.ZOFF(1, i), r.YOFF(j, i));
            r.ZOFMAX = std::max(r.ZOFMAX, r.ZOFF(j, i));
        }
    }
    return st;
}

}  // namespace heel

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
    heel::Stations raw;
    for (int i = 0; i < stations; ++i) {
        auto& [x, pts] = raw.emplace_back(xAft + (xFwd - xAft) * i / (stations - 1), heel::Points{});
        for (int k = 0; k < kSectionPoints; ++k) {
            const SectionPoint p = section(x, k);
            pts.emplace_back(p.y, p.zUp);
        }
    }
    st.raw = heel::rawOffsets(raw, true)->raw;
    int IERR = 0;
    HULL1(st, io, IERR);
    return IERR;
}

}  // namespace carinex::test
