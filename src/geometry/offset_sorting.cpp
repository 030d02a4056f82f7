#include "geometry/offset_sorting.h"

#include <algorithm>
#include <memory>

namespace carinex {

std::vector<int> shellSortOrder(int n, const std::function<double(int)>& key) {
    std::vector<int> a(static_cast<std::size_t>(std::max(n, 0)));
    for (int k = 1; k <= n; ++k) a[static_cast<std::size_t>(k - 1)] = k;
    auto at = [&](int k) -> int& { return a[static_cast<std::size_t>(k - 1)]; };
    int h = 1;
    while (h <= n) h = 3 * h + 1;
    do {
        h /= 3;
        for (int i = h + 1; i <= n; ++i) {
            const int v = at(i);
            const double kv = key(v);
            int j = i;
            while (key(at(j - h)) > kv) {
                at(j) = at(j - h);
                j -= h;
                if (j <= h) break;
            }
            at(j) = v;
        }
    } while (h > 1);
    return a;
}

namespace {

using PointColumn = OneBased2D<double, kMaxRawPoints, kMaxRawStations>;

// Reorders points 1..n of station i by the order `perm`.
void permutePoints(PointColumn& a, int i, int n, const std::vector<int>& perm) {
    std::vector<double> old(static_cast<std::size_t>(n));
    for (int j = 1; j <= n; ++j) old[static_cast<std::size_t>(j - 1)] = a(j, i);
    for (int j = 1; j <= n; ++j) a(j, i) = old[static_cast<std::size_t>(perm[static_cast<std::size_t>(j - 1)] - 1)];
}

// Sorts the points of every station by one of the three point arrays.
void sortPoints(RawOffsets& raw, PointColumn& key) {
    PointColumn* columns[] = {&raw.YOFF, &raw.ZOFF, &raw.RDIST};
    for (int i = 1; i <= raw.NST; ++i) {
        auto perm = shellSortOrder(raw.NPMAX, [&](int j) { return key(j, i); });
        for (PointColumn* c : columns) permutePoints(*c, i, raw.NPMAX, perm);
    }
}

void recountPoints(RawOffsets& raw) {
    const int limit = raw.NPMAX;
    raw.NPMAX = 0;
    for (int i = 1; i <= raw.NST; ++i) {
        int n = 0;
        for (int j = limit; j >= 1; --j) {
            if (raw.ZOFF(j, i) != kAbsent) {
                n = j;
                break;
            }
        }
        raw.NP(i) = n;
        raw.NPMAX = std::max(raw.NPMAX, n);
    }
}

void copyPoint(RawOffsets& raw, int to, int from, int i) {
    raw.YOFF(to, i) = raw.YOFF(from, i);
    raw.ZOFF(to, i) = raw.ZOFF(from, i);
    raw.RDIST(to, i) = raw.RDIST(from, i);
}

void deletePoint(RawOffsets& raw, int j, int i) {
    raw.YOFF(j, i) = raw.ZOFF(j, i) = raw.RDIST(j, i) = kAbsent;
}

// Point j+1 becomes the mean of points j and j+1; point j is deleted.
void mergeIntoNext(RawOffsets& raw, int j, int i) {
    raw.YOFF(j + 1, i) = 0.5 * (raw.YOFF(j, i) + raw.YOFF(j + 1, i));
    raw.ZOFF(j + 1, i) = 0.5 * (raw.ZOFF(j, i) + raw.ZOFF(j + 1, i));
    raw.RDIST(j + 1, i) = 0.5 * (raw.RDIST(j, i) + raw.RDIST(j + 1, i));
    deletePoint(raw, j, i);
}

}  // namespace

void PREP1(CaseState& st) {
    RawOffsets& raw = st.raw;
    const int n = raw.NST;
    auto stationOrder = shellSortOrder(n, [&](int i) { return raw.XOFF(i); });
    sortPoints(raw, raw.ZOFF);
    // Carry every station's x and points to its new slot.
    const auto old = std::make_unique<RawOffsets>(raw);
    for (int k = 1; k <= n; ++k) {
        const int from = stationOrder[static_cast<std::size_t>(k - 1)];
        raw.XOFF(k) = old->XOFF(from);
        for (int j = 1; j <= kMaxRawPoints; ++j) {
            raw.YOFF(j, k) = old->YOFF(j, from);
            raw.ZOFF(j, k) = old->ZOFF(j, from);
            raw.RDIST(j, k) = old->RDIST(j, from);
        }
    }
    while (raw.NST > 0 && raw.XOFF(raw.NST) == kAbsent) --raw.NST;
    recountPoints(raw);
}

void PREP2(CaseState& st) {
    sortPoints(st.raw, st.raw.RDIST);
    recountPoints(st.raw);
}

void PREP3(CaseState& st) {
    RawOffsets& raw = st.raw;
    for (int i = 1; i <= raw.NST; ++i) {
        const int n = raw.NP(i);
        if (n < 1) continue;
        int k = n;
        double zmin = raw.ZOFF(n, i);
        for (int j = 1; j <= n; ++j) {
            if (raw.ZOFF(j, i) < zmin) {
                zmin = raw.ZOFF(j, i);
                k = j;
            }
        }
        if (k <= 1) continue;
        // Points before the lowest one in girth order drop onto its level;
        // their distance from the keel becomes their half-breadth.
        for (int j = 1; j <= k; ++j) {
            raw.ZOFF(j, i) = zmin;
            raw.RDIST(j, i) = raw.YOFF(j, i);
        }
    }
}

void PREP4(CaseState& st, double TOL, double EPS) {
    RawOffsets& raw = st.raw;
    const double D = TOL + EPS;
    if (raw.NPMAX < 2) return;
    for (int i = 1; i <= raw.NST; ++i) {
        // The keel point survives a merge unchanged.
        if (raw.RDIST(2, i) - raw.RDIST(1, i) <= D) {
            copyPoint(raw, 2, 1, i);
            deletePoint(raw, 1, i);
        }
        for (int j = 2; j <= raw.NPMAX - 1; ++j) {
            if (raw.RDIST(j + 1, i) - raw.RDIST(j, i) <= D || raw.ZOFF(j, i) > raw.ZOFF(j + 1, i)) {
                mergeIntoNext(raw, j, i);
            }
        }
    }
}

}  // namespace carinex
