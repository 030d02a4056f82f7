// Axial flow around the equivalent body (steps 9 to 11 of WPOTI).
//
// The surface velocity of a body of revolution in axial flow satisfies an integral equation of
// the second kind over the body and its wake. Its kernel, the axial influence of a ring of
// radius y(j) at x(j) on the point i, is singular at j = i; the integral of the kernel of a
// paraboloid through point i with its nose at the bow (the comparison kernel g) is known, so
// the difference K - g is smooth and the equation can be solved by successive substitution,
// a Neumann series that sums the velocity corrections until the latest one is below 2e-05.
//
// Quadrature: 40 Gauss-Legendre points on the body xi in (-1, 0) and 40 on the wake
// xi in (0, infinity), mapped by xi = (1 + t)/(1 - t); the kernel with its weights is built
// once per call, so a sweep is 6400 multiply-adds.
#include <cmath>

#include "flow/lamb_coefficients.h"
#include "flow/potential_flow_steps.h"

namespace carinex::flow::wpoti {

namespace {

constexpr double kTolerance = 2e-05;
constexpr int kSweepLimit = 2000;  // converged below this count
constexpr int kPeakFirst = 10, kPeakLast = 37, kPeakEdge = 38;
constexpr int kDropWindow = 19;    // velocity drops looked for over points 1 ... 20
constexpr double kDrop = 1.01;
constexpr int kSmoothedPoints = 50;

std::size_t ix(int i) { return static_cast<std::size_t>(i); }

// y^2/(dx^2 + y^2)^(3/2) and its paraboloid counterpart. A ring of zero radius (a closed body's
// wake, or the nose) has no influence: where the formula would give 0/0 (num = den = 0) the
// denominator is taken as 1, without a branch, so the loops over the points vectorise.
double ring(double num, double den) { return num / (den * std::sqrt(den) + (den == 0.0 ? 1.0 : 0.0)); }

// The kernel is stored by columns, KW(i,j) at (j - 1)*80 + i - 1, so that a sweep runs over all
// points i at once for each j: every point keeps its own sum over j in increasing j, and the
// sums of different points are independent.
void buildKernel(const Collocation& c, Kernel& k) {
    std::array<double, kPoints> ci;
    for (int i = 1; i <= kPoints; ++i) {
        ci[ix(i - 1)] = c.Y[ix(i)] * c.Y[ix(i)] / (c.XQ[ix(i)] + 1.0);
        k.b[ix(i - 1)] = 0.0;
    }
    for (int j = 1; j <= kPoints; ++j) {
        const double xj = c.XQ[ix(j)], y2 = c.Y[ix(j)] * c.Y[ix(j)], Wj = c.W[ix(j)];
        double* column = &k.KW[ix(j - 1) * kPoints];
        for (int i = 0; i < kPoints; ++i) {
            const double dx = xj - c.XQ[ix(i + 1)];
            const double K = ring(y2, dx * dx + y2);
            const double gp = (xj + 1.0) * ci[ix(i)];
            const double g = ring(gp, dx * dx + gp);
            k.b[ix(i)] += Wj * (K - g);
            column[i] = K * Wj;
        }
    }
}

// One sweep: T(i) = b(i)*sigma(i) + sum over j of K(i,j)*W(j)*(sigma(j) - sigma(i)).
void sweep(const Kernel& k, const std::array<double, kPoints>& sigma, std::array<double, kPoints>& T) {
    std::array<double, kPoints> sum{};
    for (int j = 0; j < kPoints; ++j) {
        const double* column = &k.KW[ix(j) * kPoints];
        const double sj = sigma[ix(j)];
        for (int i = 0; i < kPoints; ++i) sum[ix(i)] += column[i] * (sj - sigma[ix(i)]);
    }
    for (int i = 0; i < kPoints; ++i) T[ix(i)] = k.b[ix(i)] * sigma[ix(i)] + sum[ix(i)];
}

}  // namespace

void quadraturePoints(Collocation& c, double wakeRadius) {
    c.XQ[0] = -1.0;
    c.Y[0] = 0.0;
    c.COS[0] = 1.0;
    c.W[0] = 0.0;
    for (int j = 1; j <= kBodyPoints; ++j) {
        const GaussPoint g = kGaussLegendre40[ix(j - 1)];
        c.XQ[ix(j)] = -(1.0 - g.t) / 2.0;
        c.W[ix(j)] = -0.25 * g.w;
    }
    for (int j = kBodyPoints + 1; j <= kPoints; ++j) {
        const GaussPoint g = kGaussLegendre40[ix(j - kBodyPoints - 1)];
        c.XQ[ix(j)] = (1.0 + g.t) / (1.0 - g.t);
        c.Y[ix(j)] = wakeRadius;
        c.COS[ix(j)] = 1.0;
        c.W[ix(j)] = -g.w / ((1.0 - g.t) * (1.0 - g.t));
    }
}

void bodyPoints(const Body& body, Collocation& c) {
    const SplineRef s = body.spline();
    for (int j = 1; j <= kBodyPoints; ++j) {
        double y = 0.0, dy = 0.0;
        s.valueSlope(c.XQ[ix(j)], y, dy);
        c.Y[ix(j)] = y;
        c.COS[ix(j)] = 1.0 / std::sqrt(1.0 + dy * dy);
    }
}

int surfaceVelocity(const Collocation& c, Kernel& k, std::array<double, kFlowPoints>& VSURF) {
    buildKernel(c, k);
    std::array<double, kPoints> sigma, T;
    for (int i = 1; i <= kPoints; ++i) {
        sigma[ix(i - 1)] = k.b[ix(i - 1)];
        VSURF[ix(i)] = c.COS[ix(i)];
    }
    for (int n = 1; n < kSweepLimit; ++n) {
        sweep(k, sigma, T);
        double largest = 0.0;
        for (int i = 1; i <= kPoints; ++i) {
            VSURF[ix(i)] += c.COS[ix(i)] * sigma[ix(i - 1)];
            sigma[ix(i - 1)] = T[ix(i - 1)];
            // a NaN correction must count as the largest, not drop out of the maximum
            const double size = std::fabs(T[ix(i - 1)]);
            if (!(size <= largest)) largest = size;
        }
        if (largest <= kTolerance) return n;
        if (!std::isfinite(largest)) return 0;  // a diverging series cannot come back
    }
    return 0;
}

double peakVelocity(const Collocation& c, const std::array<double, kFlowPoints>& V) {
    int k = kPeakFirst;
    for (int i = kPeakFirst + 1; i <= kPeakLast; ++i)
        if (V[ix(i)] > V[ix(k)]) k = i;
    if (V[ix(kPeakEdge)] > V[ix(k)]) k = kPeakEdge;
    // parabola through points k-1, k, k+1 in Newton form v0 + d1*(x - x0) + a*(x - x0)*(x - x1)
    const double x0 = c.XQ[ix(k - 1)], x1 = c.XQ[ix(k)], x2 = c.XQ[ix(k + 1)];
    const double v0 = V[ix(k - 1)];
    const double d1 = (V[ix(k)] - v0) / (x1 - x0), d2 = (V[ix(k + 1)] - V[ix(k)]) / (x2 - x1);
    const double a = (d2 - d1) / (x2 - x0);
    if (a >= 0.0) return V[ix(k)];  // no maximum between the three: the largest point itself
    const double xv = (x0 + x1) / 2.0 - d1 / (2.0 * a);
    return v0 + d1 * (xv - x0) + a * (xv - x0) * (xv - x1);
}

bool smoothVelocity(std::array<double, kFlowPoints>& V) {
    bool drop = false;
    for (int i = 1; i <= kDropWindow && !drop; ++i) {
        const double next = V[ix(i + 1)];
        drop = next != 0.0 ? V[ix(i)] / next > kDrop : V[ix(i)] > 0.0;
    }
    if (!drop) return false;
    for (int i = 1; i <= kSmoothedPoints; ++i) V[ix(i)] = (V[ix(i - 1)] + 2.0 * V[ix(i)] + V[ix(i + 1)]) / 4.0;
    return true;
}

void velocityIntegrals(const Collocation& c, const std::array<double, kFlowPoints>& V, double L, double& PABS,
                       double& PSQ) {
    PABS = 0.0;
    double sq = 0.0;
    for (int i = 1; i <= kBodyPoints; ++i) {
        const double p = V[ix(i)] * V[ix(i)] - 1.0, width = c.XQ[ix(i + 1)] - c.XQ[ix(i - 1)];
        PABS += std::fabs(p) * width / 2.0;
        sq += p * p * width * c.Y[ix(i)];
    }
    PABS += std::fabs(V[0] * V[0] - 1.0) * (c.XQ[1] + 1.0) / 2.0;
    PSQ = L * sq;
}

}  // namespace carinex::flow::wpoti
