// Rational spline fit (RATSPL, RATSPE) and evaluation (RATVAL).
//
// Fit. The unknowns are the moments M(j) = s''(X(j)); on interval i the coefficients are
// C = M(i)*q, D = M(i+1)*q, A = Y(i) - C, B = Y(i+1) - D with q = h^2/(2w), which makes the
// piece interpolate and its curvature take the moments at both ends. Continuity of the slope at
// the interior points then gives the tridiagonal system
//
//     h(j-1)/w(j-1) * M(j-1)
//   + [ (p(j-1)+2)*h(j-1)/w(j-1) + (p(j)+2)*h(j)/w(j) ] * M(j)
//   + h(j)/w(j) * M(j+1)                                        = r(j),   j = 2 ... N-1,
//
// (for p = 0 the classical cubic-spline equations divided by 3), with
// w = p^2 + 3p + 3 and the data bend r(j) = 2*(slope right of j - slope left of j). The
// parameters start at zero; every pass in which a moment has the opposite sign of the data bend
// at its point raises the parameters of the two intervals next to that point by 3 % (plus 0.03,
// so that a zero parameter moves), which pulls the pieces towards their chords until the
// curvature follows the data everywhere.
#include "geometry/rational_spline.h"
#include "geometry/rational_piece.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace carinex {

namespace {

using curve_index::CoefficientTable;
using curve_index::OneBased;
using namespace rational_piece;

constexpr int kMaxShapePasses = 2000;
constexpr double kRadiusOfStraightPiece = 10000.0;
constexpr std::size_t kStackPoints = 160;   // the longest tables fitted: 151 section points
constexpr std::size_t kScratchArrays = 6;   // h, cp, M, the data bends, the interval terms

double weight(double p) { return p * p + 3.0 * p + 3.0; }

// Interval widths h(1 ... N-1); false when the abscissae are not strictly increasing
// (a NaN abscissa cannot be ordered and counts as such).
bool interval_widths(int N, OneBased<const double> x, OneBased<double> h) {
    for (int i = 1; i <= N - 1; ++i) {
        h(i) = x(i + 1) - x(i);
        if (!(h(i) > 0.0)) return false;
    }
    return true;
}

// Data bend at interior point j: twice the change of the chord slope.
double data_bend(int j, OneBased<const double> y, OneBased<const double> h) {
    return 2.0 * ((y(j + 1) - y(j)) / h(j) - (y(j) - y(j - 1)) / h(j - 1));
}

struct EndFactors {
    double E1;
    double E2;
};

// Data bends r(2 ... N-1) of the interior points; they depend on the data only, so the shape
// iteration computes them once.
void data_bends(int N, OneBased<const double> y, OneBased<const double> h, OneBased<double> r) {
    for (int j = 2; j <= N - 1; ++j) r(j) = data_bend(j, y, h);
}

// The terms of interval i in the equations: the off-diagonal hw(i) = h(i)/w(i) and the
// diagonal share hd(i) = (p(i) + 2)*hw(i). They change only when p(i) is raised.
void interval_terms(int i, OneBased<const double> h, OneBased<const double> p,
                    OneBased<double> hw, OneBased<double> hd) {
    hw(i) = h(i) / weight(p(i));
    hd(i) = (p(i) + 2.0) * hw(i);
}

// Point j (interior) bends against the data when its moment and the data bend have opposite
// signs; a zero product passes.
bool bends_against_data(int j, int N, OneBased<const double> r, OneBased<const double> M) {
    if (j < 2 || j > N - 1) return false;
    return M(j) * r(j) < 0.0;
}

// Raises the parameter of every interval next to an offending point once, from its value of
// this pass (the moments are fixed during the test, so raising in place changes no decision).
// Returns true when some point offended.
bool raise_offending_parameters(int N, OneBased<const double> r, OneBased<const double> M,
                                OneBased<double> p, OneBased<const double> h, OneBased<double> hw,
                                OneBased<double> hd) {
    bool any = false;
    bool left_offends = false;  // point 1 is an end point
    for (int i = 1; i <= N - 1; ++i) {
        const bool right_offends = bends_against_data(i + 1, N, r, M);
        if (left_offends || right_offends) {
            p(i) = 1.03 * p(i) + 0.03;
            interval_terms(i, h, p, hw, hd);
            any = true;
        }
        left_offends = right_offends;
    }
    return any;
}

void write_coefficients(int N, OneBased<const double> y, OneBased<const double> h,
                        OneBased<const double> p, OneBased<const double> M,
                        CoefficientTable<double> coef) {
    for (int i = 1; i <= N - 1; ++i) {
        const double q = h(i) * h(i) / (2.0 * weight(p(i)));
        const double C = M(i) * q;
        const double D = M(i + 1) * q;
        coef(1, i) = y(i) - C;
        coef(2, i) = y(i + 1) - D;
        coef(3, i) = C;
        coef(4, i) = D;
    }
}

// One fit in progress: its scratch tables (on the stack up to the longest tables the program
// fits, the 151 section points; longer ones on the heap) and where its shape iteration stands.
// Each pass solves for the moments by forward elimination and back substitution without
// pivoting, then raises the parameters where the moments bend against the data.
class ShapeFit {
public:
    ShapeFit(int N, EndFactors ends, std::span<const double> X, std::span<const double> Y,
             std::span<double> COEF, std::span<double> P, int& IERR)
        : N_(N), ends_(ends), X_(X), Y_(Y), COEF_(COEF), P_(P), IERR_(IERR) {
        if (N < 2) {  // nothing to fit
            IERR = 0;
            return;
        }
        const auto n = static_cast<std::size_t>(N);
        assert(X.size() >= n && Y.size() >= n && COEF.size() >= 4 * (n - 1) && P.size() >= n - 1);
        std::span<double> scratch(local_);
        if (n > kStackPoints) {
            heap_.resize(kScratchArrays * n);
            scratch = std::span<double>(heap_);
        }
        h_ = scratch.subspan(0, n);
        cp_ = scratch.subspan(n, n);
        M_ = scratch.subspan(2 * n, n);
        r_ = scratch.subspan(3 * n, n);
        hw_ = scratch.subspan(4 * n, n);
        hd_ = scratch.subspan(5 * n, n);
        if (!interval_widths(N, x(), h())) {
            IERR = 1;
            return;
        }
        data_bends(N, y(), h(), r());
        for (int i = 1; i <= N - 1; ++i) {
            p()(i) = 0.0;
            interval_terms(i, h(), p(), hw(), hd());
        }
        active_ = true;
    }
    ShapeFit(const ShapeFit&) = delete;
    ShapeFit& operator=(const ShapeFit&) = delete;

    bool active() const { return active_; }
    int rows() const { return N_; }

    // Row j (2 ... N-1) of the forward elimination; the first row, M(1) + E1*M(2) = 0, starts
    // it. cp holds the eliminated super-diagonal, M first the eliminated right-hand side.
    void start_elimination() {
        cp()(1) = ends_.E1;
        M()(1) = 0.0;
    }
    void eliminate_row(int j) {
        const OneBased<double> cp = this->cp(), M = this->M();
        const double left = hw()(j - 1);
        const double right = hw()(j);
        const double diagonal = hd()(j - 1) + hd()(j);
        const double pivot = diagonal - left * cp(j - 1);
        cp(j) = right / pivot;
        M(j) = (r()(j) - left * M(j - 1)) / pivot;
    }
    // Last row: E2*M(N-1) + M(N) = 0, and the back substitution. Its pivot vanishes only when the
    // two end rows are dependent, which with end factors in [-1, 1] happens for N = 2 with
    // E1*E2 = 1. The data then carry no bend at all; of the moment pairs that satisfy both
    // rows, M = 0 (the chord) is the one the data support.
    void back_substitute() {
        const OneBased<double> cp = this->cp(), M = this->M();
        const double pivot = 1.0 - ends_.E2 * cp(N_ - 1);
        M(N_) = pivot != 0.0 ? (0.0 - ends_.E2 * M(N_ - 1)) / pivot : 0.0;
        for (int j = N_ - 1; j >= 1; --j) M(j) = M(j) - cp(j) * M(j + 1);
    }
    void solve_moments() {
        start_elimination();
        for (int j = 2; j <= N_ - 1; ++j) eliminate_row(j);
        back_substitute();
    }
    // The end of a pass: the shape test, and the coefficients once no point offends.
    void end_pass() {
        const bool raised = raise_offending_parameters(N_, r(), M(), p(), h(), hw(), hd());
        if (pass_ > kMaxShapePasses) {
            IERR_ = 3;
            active_ = false;
            return;
        }
        ++pass_;
        if (raised) return;
        write_coefficients(N_, y(), h(), p(), M(), CoefficientTable<double>(COEF_));
        IERR_ = 0;
        active_ = false;
    }

private:
    OneBased<const double> x() const { return OneBased<const double>(X_); }
    OneBased<const double> y() const { return OneBased<const double>(Y_); }
    OneBased<double> p() const { return OneBased<double>(P_); }
    OneBased<double> h() const { return OneBased<double>(h_); }
    OneBased<double> cp() const { return OneBased<double>(cp_); }
    OneBased<double> M() const { return OneBased<double>(M_); }
    OneBased<double> r() const { return OneBased<double>(r_); }
    OneBased<double> hw() const { return OneBased<double>(hw_); }
    OneBased<double> hd() const { return OneBased<double>(hd_); }

    int N_;
    EndFactors ends_;
    std::span<const double> X_, Y_;
    std::span<double> COEF_, P_;
    int& IERR_;
    bool active_ = false;
    int pass_ = 1;
    std::array<double, kScratchArrays * kStackPoints> local_;
    std::vector<double> heap_;
    std::span<double> h_, cp_, M_, r_, hw_, hd_;
};

void fit(int N, EndFactors ends, std::span<const double> X, std::span<const double> Y,
         std::span<double> COEF, std::span<double> P, int& IERR) {
    ShapeFit f(N, ends, X, Y, COEF, P, IERR);
    while (f.active()) {
        f.solve_moments();
        f.end_pass();
    }
}

// Two fits side by side: their eliminations, each a chain of divisions, run in one loop so
// that the processor overlaps them. Each fit does exactly its own arithmetic.
void fit_pair(ShapeFit& a, ShapeFit& b) {
    while (a.active() && b.active()) {
        a.start_elimination();
        b.start_elimination();
        const int last = std::max(a.rows(), b.rows()) - 1;
        for (int j = 2; j <= last; ++j) {
            if (j < a.rows()) a.eliminate_row(j);
            if (j < b.rows()) b.eliminate_row(j);
        }
        a.back_substitute();
        b.back_substitute();
        a.end_pass();
        b.end_pass();
    }
    for (ShapeFit* f : {&a, &b}) {
        while (f->active()) {
            f->solve_moments();
            f->end_pass();
        }
    }
}

}  // namespace

void RATSPL_PAIR(SplineFit a, SplineFit b) {
    ShapeFit fa(a.N, EndFactors{0.0, 0.0}, a.X, a.Y, a.COEF, a.P, a.IERR);
    ShapeFit fb(b.N, EndFactors{0.0, 0.0}, b.X, b.Y, b.COEF, b.P, b.IERR);
    fit_pair(fa, fb);
}

void RATSPL(int N, std::span<const double> X, std::span<const double> Y, std::span<double> COEF,
            std::span<double> P, int& IERR) {
    fit(N, EndFactors{0.0, 0.0}, X, Y, COEF, P, IERR);
}

void RATSPE(int N, double E1, double E2, std::span<const double> X, std::span<const double> Y,
            std::span<double> COEF, std::span<double> P, int& IERR) {
    fit(N, EndFactors{E1, E2}, X, Y, COEF, P, IERR);
}

void RATVAL(int N, std::span<const double> X, std::span<const double> COEF,
            std::span<const double> P, double XV, double& S, double& DS, double& RAD,
            int& IHINT) {
    if (N < 2) {
        // A table without an interval holds no curve (every fit a caller evaluates has at least
        // two points): zero value and slope and the straight-piece radius, rather than reading
        // past the end of the table.
        S = 0.0;
        DS = 0.0;
        RAD = kRadiusOfStraightPiece;
        return;
    }
    const RationalPiece piece = piece_at(N, X, COEF, P, XV, IHINT);
    const PieceAt at(piece, (XV - piece.x1) / piece.h);
    S = piece_value(piece, at);
    DS = piece_slope(piece, at);
    const double D2S = piece_curvature(piece, at);
    // (1 + DS^2)^(3/2) as q*sqrt(q): the power function would cost more than
    // the whole evaluation, and this is called inside every integral
    const double q = 1.0 + DS * DS;
    RAD = D2S == 0.0 ? kRadiusOfStraightPiece : q * std::sqrt(q) / (-D2S);
}

double RATVAL_S(int N, std::span<const double> X, std::span<const double> COEF,
                std::span<const double> P, double XV, int& IHINT) {
    if (N < 2) return 0.0;
    const RationalPiece piece = piece_at(N, X, COEF, P, XV, IHINT);
    return piece_value(piece, PieceAt(piece, (XV - piece.x1) / piece.h));
}

void RATVAL_SDS(int N, std::span<const double> X, std::span<const double> COEF,
                std::span<const double> P, double XV, double& S, double& DS, int& IHINT) {
    if (N < 2) {
        S = 0.0;
        DS = 0.0;
        return;
    }
    const RationalPiece piece = piece_at(N, X, COEF, P, XV, IHINT);
    const PieceAt at(piece, (XV - piece.x1) / piece.h);
    S = piece_value(piece, at);
    DS = piece_slope(piece, at);
}

}  // namespace carinex
