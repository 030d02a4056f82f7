#include "solver/root_search.h"

#include <algorithm>
#include <cmath>

#include "driver/case_state.h"
#include "platform/fixed_format.h"
#include "platform/run_files.h"

namespace carinex {

BroydenSettings BroydenSettings::forEps(double EPS, double trimScale) {
    BroydenSettings s;
    s.EPS = EPS;
    s.TOLX = 100 * EPS;
    s.HSTEP = 100 * std::sqrt(EPS);
    s.trimScale = trimScale;
    return s;
}

namespace {

constexpr int N = 2;
using Mat = std::array<BroydenVec, N>;  // m[i][j]: row i, column j (zero-based)

// Replaces an exactly zero diagonal element of R, so that the back
// substitution stays finite; the step it produces is then cut to STPMX.
constexpr double kZeroPivot = 1e-10;

double merit(const BroydenVec& F) { return 0.5 * (F[0] * F[0] + F[1] * F[1]); }

double maxAbs(const BroydenVec& v) { return std::max(std::fabs(v[0]), std::fabs(v[1])); }

// |a| with the sign of b (b = 0 counts as positive).
double withSignOf(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

// max_i |a_i| / max(|u_i|, 1): a change measured relative to the point,
// absolute where the point is smaller than 1.
double relativeMax(const BroydenVec& a, const BroydenVec& u) {
    double m = 0.0;
    for (int i = 0; i < N; ++i) m = std::max(m, std::fabs(a[i]) / std::max(std::fabs(u[i]), 1.0));
    return m;
}

class Search {
public:
    Search(const BroydenResidual& residual, const BroydenSettings& cfg, const BroydenSingularHook& onSingular,
           BroydenOutcome& out)
        : residual_(residual), cfg_(cfg), onSingular_(onSingular), out_(out) {}

    void run(const BroydenVec& start) {
        iterate(start);
        out_.u = u_;
        out_.F = F_;
        out_.f = f_;
    }

private:
    void iterate(const BroydenVec& start);
    BroydenVec evaluate(const BroydenVec& x) {
        ++out_.evaluations;
        return residual_(x);
    }

    void jacobianByDifferences();
    void householderQR(Mat& a);
    void broydenUpdate();
    void rotate(int i, double a, double b);
    void replaceZeroDiagonal(int k);
    void newtonStep();
    void limitStep();
    void capTrim();
    bool lineSearch();
    void finish(BroydenStop stop, bool noconv);

    const BroydenResidual& residual_;
    const BroydenSettings& cfg_;
    const BroydenSingularHook& onSingular_;
    BroydenOutcome& out_;

    BroydenVec u_{}, F_{};        // current point and its residuals
    double f_ = 0.0;
    BroydenVec uold_{}, Fold_{};  // start of the last line search
    double fold_ = 0.0;
    Mat R_{}, QT_{};              // J = Q R, R upper triangular
    BroydenVec g_{}, p_{};        // gradient J^T F and step
};

// Forward differences at (u, F): h = HSTEP*|uj| (HSTEP at uj = 0), rounded to
// a representable increment by h = (uj + h) - uj, so the divisor is the step
// the residual actually saw.
void Search::jacobianByDifferences() {
    Mat J{};
    for (int j = 0; j < N; ++j) {
        const double uj = u_[j];
        double h = cfg_.HSTEP * std::fabs(uj);
        if (h == 0.0) h = cfg_.HSTEP;  // uj = 0 (or so small that h underflows)
        BroydenVec x = u_;
        x[j] = uj + h;
        h = x[j] - uj;
        const BroydenVec Fh = evaluate(x);
        for (int i = 0; i < N; ++i) J[i][j] = (Fh[i] - F_[i]) / h;
    }
    ++out_.jacobians;
    householderQR(J);
}

// J = Q R by Householder reflections. Column k, scaled by its largest
// magnitude, is reflected onto -sigma*e_k, so R(k,k) = d_k = -scale*sigma;
// the reflector vector overwrites the column with c_k = sigma*(a_kk + sigma),
// and Q^T is accumulated from the reflectors. A zero column gets no
// reflection and leaves d_k = 0.
void Search::householderQR(Mat& a) {
    BroydenVec c{}, d{};
    for (int k = 0; k < N - 1; ++k) {
        double scale = 0.0;
        for (int i = k; i < N; ++i) scale = std::max(scale, std::fabs(a[i][k]));
        if (scale == 0.0) {
            c[k] = d[k] = 0.0;
            continue;
        }
        for (int i = k; i < N; ++i) a[i][k] /= scale;
        double sum = 0.0;
        for (int i = k; i < N; ++i) sum += a[i][k] * a[i][k];
        const double sigma = withSignOf(std::sqrt(sum), a[k][k]);
        a[k][k] += sigma;
        c[k] = sigma * a[k][k];
        d[k] = -scale * sigma;
        for (int j = k + 1; j < N; ++j) {
            double s = 0.0;
            for (int i = k; i < N; ++i) s += a[i][k] * a[i][j];
            const double tau = s / c[k];
            for (int i = k; i < N; ++i) a[i][j] -= tau * a[i][k];
        }
    }
    d[N - 1] = a[N - 1][N - 1];

    // Q^T = H_(N-1) ... H_1 applied to the identity.
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j) QT_[i][j] = (i == j) ? 1.0 : 0.0;
    for (int k = 0; k < N - 1; ++k) {
        if (c[k] == 0.0) continue;
        for (int j = 0; j < N; ++j) {
            double s = 0.0;
            for (int i = k; i < N; ++i) s += a[i][k] * QT_[i][j];
            s /= c[k];
            for (int i = k; i < N; ++i) QT_[i][j] -= s * a[i][k];
        }
    }
    for (int i = 0; i < N; ++i) {
        for (int j = 0; j < N; ++j) R_[i][j] = (j < i) ? 0.0 : a[i][j];
        R_[i][i] = d[i];
    }
}

// Plane rotation of rows i, i+1 of R and Q^T that takes (a, b) to
// (sqrt(a^2 + b^2), 0) when applied as (c*a - s*b, s*a + c*b) with b -> -b.
void Search::rotate(int i, double a, double b) {
    double c = 0.0, s = 0.0;
    if (a == 0.0) {
        c = 0.0;
        s = (b >= 0.0) ? 1.0 : -1.0;
    } else if (std::fabs(a) > std::fabs(b)) {
        const double fact = b / a;
        c = withSignOf(1.0 / std::sqrt(1.0 + fact * fact), a);
        s = fact * c;
    } else {
        const double fact = a / b;
        s = withSignOf(1.0 / std::sqrt(1.0 + fact * fact), b);
        c = fact * s;
    }
    for (int j = i; j < N; ++j) {
        const double y = R_[i][j], w = R_[i + 1][j];
        R_[i][j] = c * y - s * w;
        R_[i + 1][j] = s * y + c * w;
    }
    for (int j = 0; j < N; ++j) {
        const double y = QT_[i][j], w = QT_[i + 1][j];
        QT_[i][j] = c * y - s * w;
        QT_[i + 1][j] = s * y + c * w;
    }
}

// Broyden's secant update J+ = J + t s^T/(s.s) with s = u - uold and
// t = (F - Fold) - J s, carried out on the factors: J+ = Q (R + w s'^T) with
// w = Q^T t and s' = s/(s.s). Rotations from the bottom
// reduce w to a multiple of e_1 (R becomes upper Hessenberg), the rank-one
// term then only changes row 1, and a second sweep restores the triangle.
// Components of t that are within rounding of the residuals themselves
// (|t_i| < EPS (|F_i| + |Fold_i|)) carry no information and are zeroed; when
// nothing is left the factors stay as they are.
void Search::broydenUpdate() {
    BroydenVec s{}, Rs{}, t{};
    for (int i = 0; i < N; ++i) s[i] = u_[i] - uold_[i];
    for (int i = 0; i < N; ++i) {
        double sum = 0.0;
        for (int j = i; j < N; ++j) sum += R_[i][j] * s[j];
        Rs[i] = sum;
    }
    bool skip = true;
    for (int i = 0; i < N; ++i) {
        double Js = 0.0;  // (J s)_i = (Q R s)_i
        for (int j = 0; j < N; ++j) Js += QT_[j][i] * Rs[j];
        t[i] = F_[i] - Fold_[i] - Js;
        if (std::fabs(t[i]) >= cfg_.EPS * (std::fabs(F_[i]) + std::fabs(Fold_[i])))
            skip = false;
        else
            t[i] = 0.0;
    }
    if (skip) return;

    BroydenVec w{};
    for (int i = 0; i < N; ++i) {
        double sum = 0.0;
        for (int j = 0; j < N; ++j) sum += QT_[i][j] * t[j];
        w[i] = sum;
    }
    double den = 0.0;
    for (int i = 0; i < N; ++i) den += s[i] * s[i];
    for (int i = 0; i < N; ++i) s[i] /= den;

    // Last nonzero component of w; rows below it need no rotation.
    int k = N - 1;
    while (k > 0 && w[k] == 0.0) --k;
    for (int i = k - 1; i >= 0; --i) {
        rotate(i, w[i], -w[i + 1]);
        if (w[i] == 0.0)
            w[i] = std::fabs(w[i + 1]);
        else if (std::fabs(w[i]) > std::fabs(w[i + 1]))
            w[i] = std::fabs(w[i]) * std::sqrt(1.0 + (w[i + 1] / w[i]) * (w[i + 1] / w[i]));
        else
            w[i] = std::fabs(w[i + 1]) * std::sqrt(1.0 + (w[i] / w[i + 1]) * (w[i] / w[i + 1]));
    }
    for (int j = 0; j < N; ++j) R_[0][j] += w[0] * s[j];
    for (int i = 0; i < k; ++i) rotate(i, R_[i][i], -R_[i + 1][i]);
}

// A diagonal element of R that is exactly zero (a zero column of J, or an
// update that cancelled it) becomes 1e-10 and is reported with iteration k.
void Search::replaceZeroDiagonal(int k) {
    for (int i = 0; i < N; ++i) {
        if (R_[i][i] != 0.0) continue;
        R_[i][i] = kZeroPivot;
        const BroydenSingularEvent e{k, i + 1};
        out_.singular.push_back(e);
        if (onSingular_) onSingular_(e);
    }
}

// g = J^T F = R^T (Q^T F), the gradient of f; p = -R^-1 Q^T F, the Newton
// step of the current model.
void Search::newtonStep() {
    BroydenVec qtf{};
    for (int i = 0; i < N; ++i) {
        double sum = 0.0;
        for (int j = 0; j < N; ++j) sum += QT_[i][j] * F_[j];
        qtf[i] = sum;
    }
    for (int i = 0; i < N; ++i) {
        double sum = 0.0;
        for (int j = 0; j <= i; ++j) sum += R_[j][i] * qtf[j];
        g_[i] = sum;
    }
    for (int i = N - 1; i >= 0; --i) {
        double sum = -qtf[i];
        for (int j = i + 1; j < N; ++j) sum -= R_[i][j] * p_[j];
        p_[i] = sum / R_[i][i];
    }
}

void Search::limitStep() {
    const double len = std::sqrt(p_[0] * p_[0] + p_[1] * p_[1]);
    if (len > cfg_.STPMX)
        for (double& pi : p_) pi *= cfg_.STPMX / len;
}

// A full step may not carry |u2*trimScale| beyond TRIMCAP: the step is
// shortened by factors 0.7 until the end point is inside. A point that is
// already outside cannot be brought back by shortening; the step is then
// left alone.
void Search::capTrim() {
    const double T = cfg_.trimScale;
    if (!(std::fabs((u_[1] + p_[1]) * T) > cfg_.TRIMCAP)) return;
    double c = 1.0;
    while (std::fabs((u_[1] + c * p_[1]) * T) > cfg_.TRIMCAP) {
        if (std::fabs(u_[1] * T) > cfg_.TRIMCAP) break;
        c *= 0.7;
    }
    for (double& pi : p_) pi *= c;
}

// Backtracking along p from uold until f has dropped by at least
// ALF*lambda*slope. The first backtrack minimises the quadratic through
// f(0), f'(0) and f(1); later ones the cubic through f(0), f'(0) and the
// last two trials, at most halving lambda and never shrinking it below a
// tenth. Returns false when p is no descent direction or lambda fell below
// lambda_min (the step would no longer change u); u, F, f are then those of
// uold.
bool Search::lineSearch() {
    const double slope = g_[0] * p_[0] + g_[1] * p_[1];
    if (!(slope < 0.0)) return false;  // also a NaN slope
    const double lamMin = cfg_.TOLX / relativeMax(p_, uold_);
    double lam = 1.0, lam2 = 0.0, f2 = 0.0;
    bool first = true;
    for (;;) {
        BroydenVec x{};
        for (int i = 0; i < N; ++i) x[i] = uold_[i] + lam * p_[i];
        const BroydenVec Fx = evaluate(x);
        const double fx = merit(Fx);
        if (lam < lamMin) {
            u_ = uold_;
            F_ = Fold_;
            f_ = fold_;
            return false;
        }
        if (fx <= fold_ + cfg_.ALF * lam * slope) {
            u_ = x;
            F_ = Fx;
            f_ = fx;
            return true;
        }
        ++out_.backtracks;
        double lamT = 0.0;
        if (first) {
            lamT = -slope / (2.0 * (fx - fold_ - slope));
            first = false;
        } else {
            const double rhs1 = fx - fold_ - lam * slope;
            const double rhs2 = f2 - fold_ - lam2 * slope;
            const double a = (rhs1 / (lam * lam) - rhs2 / (lam2 * lam2)) / (lam - lam2);
            const double b = (-lam2 * rhs1 / (lam * lam) + lam * rhs2 / (lam2 * lam2)) / (lam - lam2);
            if (a == 0.0) {
                // The cubic degenerates to a parabola; without curvature it has no minimum.
                lamT = (b > 0.0) ? -slope / (2.0 * b) : 0.5 * lam;
            } else {
                const double disc = b * b - 3.0 * a * slope;
                if (disc < 0.0)
                    lamT = 0.5 * lam;
                else if (b <= 0.0)
                    lamT = (-b + std::sqrt(disc)) / (3.0 * a);
                else
                    lamT = -slope / (b + std::sqrt(disc));  // same root, without cancellation
            }
            if (lamT > 0.5 * lam) lamT = 0.5 * lam;
        }
        lam2 = lam;
        f2 = fx;
        // max(lamT, 0.1*lam), written so that a NaN trial value shrinks by a tenth
        lam = (lamT > 0.1 * lam) ? lamT : 0.1 * lam;
    }
}

void Search::finish(BroydenStop stop, bool noconv) {
    out_.stop = stop;
    out_.NOCONV = noconv;
    out_.NOCONVSet = true;
}

void Search::iterate(const BroydenVec& start) {
    u_ = start;
    F_ = evaluate(u_);
    f_ = merit(F_);
    if (maxAbs(F_) < cfg_.TOLF0) {
        finish(BroydenStop::InitialBalance, false);
        return;
    }

    bool fresh = true;  // build a finite-difference Jacobian in this iteration
    for (int k = 1; k <= cfg_.MAXITS; ++k) {
        out_.iterations = k;
        if (fresh)
            jacobianByDifferences();
        else
            broydenUpdate();
        replaceZeroDiagonal(k);
        newtonStep();

        uold_ = u_;
        Fold_ = F_;
        fold_ = f_;
        limitStep();
        capTrim();

        if (!lineSearch()) {
            out_.NOCONV = true;
            out_.NOCONVSet = true;
            if (fresh) {
                finish(BroydenStop::LineSearchFailed, true);
                return;
            }
            // A stale model may have pointed the wrong way; unless the
            // gradient says that u is a minimum of f, start again from a
            // fresh Jacobian.
            BroydenVec gu{};
            for (int i = 0; i < N; ++i) gu[i] = g_[i] * std::max(std::fabs(u_[i]), 1.0);
            const double test = maxAbs(gu) / std::max(f_, 2.0);
            if (test < cfg_.TOLMIN) {
                finish(BroydenStop::SpuriousMinimum, true);
                return;
            }
            fresh = true;
            continue;
        }

        fresh = false;
        if (maxAbs(F_) < cfg_.TOLF) {
            finish(BroydenStop::ResidualTolerance, false);
            return;
        }
        BroydenVec du{};
        for (int i = 0; i < N; ++i) du[i] = u_[i] - uold_[i];
        if (relativeMax(du, u_) < cfg_.TOLX) {
            finish(BroydenStop::SmallStep, true);
            return;
        }
    }
    out_.iterationLimit = true;
    out_.stop = BroydenStop::IterationLimit;
}

}  // namespace

BroydenOutcome broydenSolve(const BroydenResidual& residual, const BroydenSettings& settings,
                            const BroydenVec& start, const BroydenSingularHook& onSingular) {
    BroydenOutcome out;
    Search search(residual, settings, onSingular, out);
    search.run(start);
    return out;
}

void NULLST(CaseState& st, RunFiles& io, int& IERR, bool& NOCONV, int NSTM1, const ResidualFunction& residuals) {
    const BroydenSettings cfg = BroydenSettings::forEps(st.run.EPS, st.point.TRIM0);

    // The callbacks capture one pointer each, so std::function holds them
    // without allocating.
    struct Context {
        CaseState& st;
        RunFiles& io;
        int NSTM1;
        const ResidualFunction& residuals;
    } ctx{st, io, NSTM1, residuals};
    const BroydenResidual F = [&ctx](const BroydenVec& u) { return ctx.residuals(ctx.st, ctx.io, ctx.NSTM1, u); };
    const BroydenSingularHook report = [&io](const BroydenSingularEvent& e) {
        writeFree(io.console, "R-Matrix singulaer bei der", "Nullstellensuche ITS=", e.iteration);
    };

    const BroydenOutcome out = broydenSolve(F, cfg, {1.0, 1.0}, report);

    if (out.iterationLimit) {
        if (st.run.DIAG) writeFree(io.console, "Keine Nullstelle nach", cfg.MAXITS, "Iterationen gefunden");
        IERR = 12;
    }
    if (out.NOCONVSet) NOCONV = out.NOCONV;
    st.point.SINKG = out.u[0] * st.point.SINK0;
    st.point.TRIMW = out.u[1] * st.point.TRIM0;
}

BroydenVec equilibriumResiduals(double VDISP, double RHO, double GRAV, double FZK, double FZR, double FLOADN,
                                double RTRIM, double WEIGHT, double XCB, double XCG, double PMOM, double LWL) {
    const double F1 = (VDISP * RHO * GRAV + FZK + FZR + FLOADN + RTRIM) / WEIGHT - 1.0;
    const double F2 = 10.0 * ((XCB - XCG) - PMOM / (VDISP * RHO * GRAV)) / LWL;
    return {F1, F2};
}

}  // namespace carinex
