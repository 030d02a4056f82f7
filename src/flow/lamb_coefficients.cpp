#include "flow/lamb_coefficients.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

namespace carinex {

namespace {

constexpr double kLargestRatio = 0.6;    // r beyond the table
constexpr double kColumnStep = 0.025;    // r = (p + 3)*0.025
constexpr double kRowStep = 0.02;        // s = (k + 1)*0.02
constexpr double kLargestAlpha = 0.6666;  // the sphere's coefficient is 2/3
constexpr double kSmallAlpha = 0.03948;   // below it the slender-body branch of the inverse

// Table cell of a ratio: int(v/step) - offset, clamped to [1, last]. The clamp comes first on
// the real value, so a huge ratio cannot overflow the integer.
int cell(double v, double step, int offset, int last) {
    const double c = std::clamp(v / step, 0.0, static_cast<double>(last + offset + 1));
    return std::clamp(static_cast<int>(c) - offset, 1, last);
}

}  // namespace

double ALPHA0(int p, int k) {
    assert(p >= 1 && p <= kLambColumns && k >= 1 && k <= kLambRows);
    return kAlpha0[static_cast<std::size_t>(p - 1)][static_cast<std::size_t>(k - 1)];
}

double RHOEQ(double alpha) {
    if (alpha <= kSmallAlpha) return ((677.0173 * alpha - 80.949) * alpha + 4.673529) * alpha;
    return (((-1.264815 * alpha + 2.824718) * alpha - 1.493553) * alpha + 1.55257) * alpha + 0.040861;
}

bool withinLambTable(double a, double b, double LREF) { return std::max(a, b) / LREF <= kLargestRatio; }

double equivalentRadiusRatio(double a, double b, double LREF, bool extrapolate) {
    const double r = std::max(a, b) / LREF, s = std::min(a, b) / LREF;
    if (r > kLargestRatio && !extrapolate) return s;
    const int p = cell(r, kColumnStep, 3, kLambColumns - 1);
    const int k = cell(s, kRowStep, 1, kLambRows - 1);
    // fractions not clamped: outside the table the planes extrapolate
    const double fr = (r - (p + 3) * kColumnStep) / kColumnStep;
    const double fs = (s - (k + 1) * kRowStep) / kRowStep;
    const double lower = ALPHA0(p, k) + fr * (ALPHA0(p + 1, k) - ALPHA0(p, k));
    const double upper = ALPHA0(p, k + 1) + fr * (ALPHA0(p + 1, k + 1) - ALPHA0(p, k + 1));
    const double alpha = std::clamp(lower + fs * (upper - lower), 0.0, kLargestAlpha);
    return RHOEQ(alpha);
}

}  // namespace carinex
