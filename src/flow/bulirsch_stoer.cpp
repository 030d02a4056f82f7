#include "flow/bulirsch_stoer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace carinex {

namespace {

constexpr int KMAXX = 8;              // highest extrapolation column
constexpr int IMAXX = KMAXX + 1;
constexpr double SAFE1 = 0.25;        // safety factors of the order and step choice
constexpr double SAFE2 = 0.7;
constexpr double REDMAX = 1.0e-5;     // strongest step reduction after a failed step
constexpr double REDMIN = 0.7;        // weakest step reduction
constexpr double TINY = 1.0e-30;      // guard against a zero error scale
constexpr double SCALMX = 0.1;        // largest step growth, as a limit on the work measure
constexpr double kTolerance = 1.0e-4; // accepted error relative to the error scale
constexpr double kScaleOfValue = 0.01;
constexpr int kMaxSteps = 10000;
constexpr std::array<int, IMAXX + 1> nseq = {0, 2, 4, 6, 8, 10, 12, 14, 16, 18};

using Row = std::array<double, KMAXX + 1>;

// Work per step of the orders and the convergence factors of the columns; fixed by the tolerance.
struct OrderTables {
    std::array<double, IMAXX + 1> a{};
    std::array<Row, KMAXX + 1> alf{};
    int kmax = 0;
};

OrderTables makeOrderTables() {
    OrderTables t;
    const double eps1 = SAFE1 * kTolerance;
    t.a[1] = nseq[1] + 1;
    for (int k = 1; k <= KMAXX; ++k) t.a[k + 1] = t.a[k] + nseq[k + 1];
    for (int iq = 2; iq <= KMAXX; ++iq) {
        for (int k = 1; k < iq; ++k) {
            t.alf[k][iq] = std::pow(eps1, (t.a[k + 1] - t.a[iq + 1]) / ((t.a[iq + 1] - t.a[1] + 1.0) * (2 * k + 1)));
        }
    }
    int kopt = 2;
    for (; kopt < KMAXX; ++kopt) {
        if (t.a[kopt + 1] > t.a[kopt] * t.alf[kopt - 1][kopt]) break;
    }
    t.kmax = kopt;
    return t;
}

const OrderTables& orderTables() {
    static const OrderTables tables = makeOrderTables();
    return tables;
}

bool finite(const OdeState& y) {
    return std::all_of(y.begin(), y.end(), [](double v) { return std::isfinite(v); });
}

// Modified midpoint rule over htot in nstep substeps.
void mmid(OdeSystem& sys, const OdeState& y, const OdeState& dydx, double xs, double htot, int nstep,
          OdeState& yout) {
    const double h = htot / nstep;
    OdeState ym = y, yn{};
    for (int i = 0; i < kOdeComponents; ++i) yn[i] = y[i] + h * dydx[i];
    double x = xs + h;
    sys.derivatives(x, yn, yout);
    const double h2 = 2.0 * h;
    for (int n = 2; n <= nstep; ++n) {
        for (int i = 0; i < kOdeComponents; ++i) {
            const double swap = ym[i] + h2 * yout[i];
            ym[i] = yn[i];
            yn[i] = swap;
        }
        x += h;
        sys.derivatives(x, yn, yout);
    }
    for (int i = 0; i < kOdeComponents; ++i) yout[i] = 0.5 * (ym[i] + yn[i] + h * yout[i]);
}

// State of the order and step control within one integration.
struct Controller {
    bool first = true;
    int kopt = 0;
    double xnew = -1.0e29;
    double hnext = -1.0e29;
    std::array<double, IMAXX + 1> x{};                 // squared substep lengths of the columns
    std::array<Row, kOdeComponents> d{};               // extrapolation table
};

// Polynomial extrapolation of the iest-th estimate to zero substep: yz the extrapolated values,
// dy their error estimates.
void pzextr(Controller& c, int iest, double xest, const OdeState& yest, OdeState& yz, OdeState& dy) {
    c.x[iest] = xest;
    for (int j = 0; j < kOdeComponents; ++j) dy[j] = yz[j] = yest[j];
    if (iest == 1) {
        for (int j = 0; j < kOdeComponents; ++j) c.d[j][1] = yest[j];
        return;
    }
    OdeState cc = yest;
    for (int k1 = 1; k1 < iest; ++k1) {
        const double delta = 1.0 / (c.x[iest - k1] - xest);
        const double f1 = xest * delta;
        const double f2 = c.x[iest - k1] * delta;
        for (int j = 0; j < kOdeComponents; ++j) {
            const double q = c.d[j][k1];
            c.d[j][k1] = dy[j];
            const double diff = cc[j] - q;
            dy[j] = f1 * diff;
            cc[j] = f2 * diff;
            yz[j] += dy[j];
        }
    }
    for (int j = 0; j < kOdeComponents; ++j) c.d[j][iest] = dy[j];
}

// One step from xx with the trial length htry; on return xx has advanced by hdid and hnext is
// the proposed next step. False when the step length underflows.
bool bulirschStoerStep(OdeSystem& sys, Controller& c, OdeState& y, const OdeState& dydx, double& xx, double htry,
                       const OdeState& yscal, double& hdid) {
    const OrderTables& t = orderTables();
    std::array<double, KMAXX + 1> err{};
    double h = htry;
    const OdeState ysav = y;
    OdeState yseq{}, yerr{};
    if (xx != c.xnew || h != c.hnext) {
        c.first = true;
        c.kopt = t.kmax;
    }
    bool reduct = false;
    int k = 0, km = 0;
    for (;;) {
        bool converged = false;
        double red = 1.0;
        for (k = 1; k <= t.kmax; ++k) {
            c.xnew = xx + h;
            if (c.xnew == xx) return false;
            mmid(sys, ysav, dydx, xx, h, nseq[k], yseq);
            const double xest = (h / nseq[k]) * (h / nseq[k]);
            pzextr(c, k, xest, yseq, y, yerr);
            double errmax = TINY;
            if (k != 1) {
                for (int i = 0; i < kOdeComponents; ++i) errmax = std::max(errmax, std::fabs(yerr[i] / yscal[i]));
                errmax /= kTolerance;
                if (!std::isfinite(errmax)) errmax = 1.0e300;  // a step into undefined values: shorten it
                km = k - 1;
                err[km] = std::pow(errmax / SAFE1, 1.0 / (2 * km + 1));
            }
            if (k != 1 && (k >= c.kopt - 1 || c.first)) {
                if (errmax < 1.0) {
                    converged = true;
                    break;
                }
                if (k == t.kmax || k == c.kopt + 1) {
                    red = SAFE2 / err[km];
                    break;
                } else if (k == c.kopt && t.alf[c.kopt - 1][c.kopt] < err[km]) {
                    red = 1.0 / err[km];
                    break;
                } else if (c.kopt == t.kmax && t.alf[km][t.kmax - 1] < err[km]) {
                    red = t.alf[km][t.kmax - 1] * SAFE2 / err[km];
                    break;
                } else if (t.alf[km][c.kopt] < err[km]) {
                    red = t.alf[km][c.kopt - 1] / err[km];
                    break;
                }
            }
        }
        if (converged) break;
        red = std::max(std::min(red, REDMIN), REDMAX);
        h *= red;
        reduct = true;
    }
    xx = c.xnew;
    hdid = h;
    c.first = false;
    double wrkmin = 1.0e35, scale = 1.0;
    for (int kk = 1; kk <= km; ++kk) {
        const double fact = std::max(err[kk], SCALMX);
        const double work = fact * t.a[kk + 1];
        if (work < wrkmin) {
            scale = fact;
            wrkmin = work;
            c.kopt = kk + 1;
        }
    }
    c.hnext = h / scale;
    if (c.kopt >= k && c.kopt != t.kmax && !reduct) {
        const double fact = std::max(scale / t.alf[c.kopt - 1][c.kopt], SCALMX);
        if (t.a[c.kopt + 1] * fact <= wrkmin) {
            c.hnext = h / fact;
            ++c.kopt;
        }
    }
    return true;
}

}  // namespace

bool BSSTEP(OdeSystem& system, OdeState& y, double s1, double s2, double htry) {
    double s = s1;
    double h = (htry > 0.0 && std::isfinite(htry)) ? htry : s2 - s1;
    Controller c;
    OdeState dydx{}, yscal{};
    for (int step = 1; step <= kMaxSteps; ++step) {
        system.derivatives(s, y, dydx);
        if (!finite(y) || !finite(dydx)) return false;
        for (int i = 0; i < kOdeComponents; ++i) {
            yscal[i] = kScaleOfValue * std::fabs(y[i]) + std::fabs(h * dydx[i]) + TINY;
        }
        const bool toEnd = s + h >= s2;
        if (toEnd) h = s2 - s;
        double hdid = 0.0;
        if (!bulirschStoerStep(system, c, y, dydx, s, h, yscal, hdid)) return false;
        if (toEnd && hdid == h) {
            s = s2;  // the last step ends exactly at s2, whatever the rounding of s + h
            return finite(y);
        }
        h = c.hnext;
    }
    return false;
}

}  // namespace carinex
