#include "driver/offsets_extent.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace carinex {

namespace {

// Element k (0-based) of the values in increasing order.
double ranked(std::vector<double> v, std::size_t k) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
    return v[k];
}

double median(const std::vector<double>& v) { return ranked(v, v.size() / 2); }

bool present(const RawOffsets& raw, int j, int i) { return raw.ZOFF(j, i) != kAbsent; }

// Points read at station i: a station of one point keeps NP = 0.
int pointsOf(const RawOffsets& raw, int i) { return std::max(raw.NP(i), 1); }

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

}  // namespace

double robustHullLength(const RawOffsets& raw) {
    if (raw.NST < 2) return 0.0;
    std::vector<double> x;
    for (int i = 1; i <= raw.NST; ++i) x.push_back(raw.XOFF(i));
    const std::size_t n = x.size();
    return 2.0 * (ranked(x, (3 * n) / 4) - ranked(x, n / 4));
}

void checkOffsetsNearHull(const RawOffsets& raw, const RecordReader& in) {
    const double L = robustHullLength(raw);
    if (!(L > 0.0)) return;  // no length to measure against: the preparation rejects such a hull
    std::vector<double> x, z;
    for (int i = 1; i <= raw.NST; ++i) {
        x.push_back(raw.XOFF(i));
        for (int j = 1; j <= pointsOf(raw, i); ++j) {
            if (present(raw, j, i)) z.push_back(raw.ZOFF(j, i));
        }
    }
    const double xMid = median(x), zMid = z.empty() ? 0.0 : median(z);
    const double limit = kHullLengthsOff * L;
    for (int i = 1; i <= raw.NST; ++i) {
        for (int j = 1; j <= pointsOf(raw, i); ++j) {
            if (!present(raw, j, i)) continue;
            std::string what;
            if (std::fabs(raw.XOFF(i) - xMid) > limit) {
                what = "station " + std::to_string(i) + ", whose first point is on this line, lies at x = " +
                       number(raw.XOFF(i));
            } else if (raw.YOFF(j, i) > limit) {
                what = "half-breadth " + number(raw.YOFF(j, i)) + " of point " + std::to_string(j) + " of station " +
                       std::to_string(i);
            } else if (std::fabs(raw.ZOFF(j, i) - zMid) > limit) {
                what = "height " + number(raw.ZOFF(j, i)) + " of point " + std::to_string(j) + " of station " +
                       std::to_string(i);
            } else {
                continue;
            }
            in.fail(raw.LINE(j, i), what + " is far outside the hull (more than " + number(kHullLengthsOff) +
                                        " hull lengths of " + number(L) + " off it)");
        }
    }
}

}  // namespace carinex
