#include "appendages/keel_tables.h"

#include <cmath>

#include "geometry/natural_spline.h"

namespace carinex {

namespace {

// Tip correction of the spanwise lift of strip i (rows) against the keel's
// taper ratio (columns at 1, 0.3, 0.2, 0.1, 0). The last column is replaced
// by the elliptic value (4/pi) h(i) of the strip, which it rounds.
constexpr double kTipX[kTipStations] = {1.0, 0.3, 0.2, 0.1, 0.0};
constexpr double kTipRows[kKeelStrips][kTipStations] = {
    {1, 1.0613, 1.1099, 1.1766, 1.2732}, {1, 1.0577, 1.1045, 1.1604, 1.2488},
    {1, 1.0342, 1.0685, 1.1153, 1.1763}, {1, 0.9982, 1.0054, 1.0306, 1.0587},
    {1, 0.955, 0.9369, 0.9117, 0.9003},  {1, 0.9261, 0.8739, 0.7946, 0.7074},
    {1, 0.9081, 0.8414, 0.7063, 0.4872}, {1, 0.9009, 0.8306, 0.6667, 0.2484},
};

void setupStations(RunConstants& run) {
    KeelTables& k = run.keel;
    for (int i = 1; i <= kKeelStrips; ++i) {
        k.THETA(i) = run.PI / 2 - (i - 1) * run.PI / 16;
        k.COSTH(i) = std::cos(k.THETA(i));
        k.SINTH(i) = std::sin(k.THETA(i));
        run.ZSTRIP(i) = k.COSTH(i);
        run.STRW(i) = (i == 1) ? 0.5 : k.SINTH(i);
    }
}

// Multhopp's matrix for symmetric loading with m = 15 stations: the keel
// and its mirror image in the hull form one lifting line, so the influence
// of the image station is folded onto its partner. The root station lies on
// the plane of symmetry and is its own image.
void setupMulthopp(RunConstants& run) {
    KeelTables& k = run.keel;
    for (int v = 1; v <= kKeelStrips; ++v) {
        for (int n = 1; n <= kKeelStrips; ++n) {
            double b = 0.0;
            if (n == v) {
                b = 4.0 / k.SINTH(v);
            } else if ((n - v) % 2 != 0) {
                const double dPlain = k.COSTH(n) - k.COSTH(v);
                b = k.SINTH(n) / (16.0 * dPlain * dPlain);
                if (n != 1) {
                    const double dImage = -k.COSTH(n) - k.COSTH(v);
                    b += k.SINTH(n) / (16.0 * dImage * dImage);
                }
            }
            k.MULTB(v, n) = b;
        }
    }
}

void setupTipTable(RunConstants& run) {
    KeelTables& k = run.keel;
    for (int m = 0; m < kTipStations; ++m) k.TIPX[static_cast<std::size_t>(m)] = kTipX[m];
    for (int i = 1; i <= kKeelStrips; ++i) {
        for (int m = 1; m <= kTipStations; ++m) k.TIPTAB(m, i) = kTipRows[i - 1][m - 1];
        k.TIPTAB(kTipStations, i) = (4.0 / run.PI) * k.SINTH(i);
        std::span<const double> row(&k.TIPTAB(1, i), kTipStations);
        std::span<double> curvature(&k.TIPY2(1, i), kTipStations);
        SPLNAT(kTipStations, k.TIPX, row, curvature);
    }
}

}  // namespace

void setupKeelTables(RunConstants& run) {
    setupStations(run);
    setupMulthopp(run);
    setupTipTable(run);
}

}  // namespace carinex
