// The equivalent body of revolution of the heeled hull (steps 2 to 8 of WPOTI).
//
// A section of area A and waterline breadth B is taken as an ellipse whose aspect
// c = pi*B^2/(8*A) is that of a half-ellipse of breadth B and area A; the ellipse of the same
// aspect with the area of the largest section has the semi-axes a = sqrt(2*AHSPHI/(c*pi)) and
// b = c*a. The spheroid with that ellipse's Lamb coefficient gives the radius ratio, which
// scales with the square root of the section's share of the largest area. The displacement
// thickness of a flat-plate-like boundary layer thickens the body, most at the aft end, where
// the body runs smoothly into a wake cylinder of the aft-end radius plus its thickening.
#include <algorithm>
#include <cmath>

#include "flow/lamb_coefficients.h"
#include "flow/potential_flow_steps.h"
#include "platform/fixed_format.h"

namespace carinex::flow::wpoti {

namespace {

constexpr double kAspectCap = 100.0;
constexpr double kTailStep = -0.025;  // of L: the wake nodes lie 1, 3 and 4 steps behind
constexpr double kEntrance = 0.1;     // of L behind the bow: where the entrance slope is taken
constexpr double kSmallestRe = 100.0;  // the friction line is singular at Re = 100

std::size_t ix(int K) { return static_cast<std::size_t>(K); }

struct Ellipse {
    double a, b;
};

Ellipse ellipseOf(double BSEC, double ASEC, double AHSPHI, double PI) {
    const double c = std::min(PI * BSEC * BSEC / (8.0 * ASEC), kAspectCap);
    const double a = std::sqrt(2.0 * AHSPHI / (c * PI));
    return {a, c * a};
}

// Displacement thickness of the boundary layer at the fraction x of the length behind the bow.
struct BoundaryLayer {
    double L, CF, FF, DM;

    double delta(double x) const {
        const double P = ((((((9.43324 * x - 19.35327) * x + 17.04293) * x - 8.743) * x + 2.81344) * x + 0.033) * x);
        return L * CF * P / FF;
    }
    // Thickening of a radius r by the displacement thickness d.
    double thickening(double r, double d) const { return std::sqrt(r * r + 2.0 * d * (d / 2.0 + DM)) - r; }
};

BoundaryLayer boundaryLayer(const CaseState& st, double VNU) {
    const TrialHydrostatics& t = st.trial;
    const double L = t.LWLPHI;
    const double DM = 2.0 * t.ASEC[ix(t.IAMAX)] / t.GIRTH[ix(t.IAMAX)];
    const double FF = 1.0 + 1.5 * std::pow(2.0 * DM / L, 1.5);
    // no boundary layer at creeping speeds, where the friction line has its pole
    const double Re = 0.5 * L * VNU;
    const double lg = std::log10(Re) - 2.0;
    const double CF = Re > kSmallestRe ? 0.075 / (lg * lg) : 0.0;
    return {L, CF, FF, DM};
}

// Step 3: the aft-end section (slot 0), a transom when immersed.
double aftEndRadius(CaseState& st, double LS) {
    const TrialHydrostatics& t = st.trial;
    FlowResults& f = st.flow;
    const double A0 = t.ASEC[0];
    if (A0 <= 0.0) {
        f.DMEAN[ix(t.ISTA1)] = 0.0;
        return 0.0;
    }
    f.DMEAN[ix(t.ISTA1)] = 2.0 * A0 / t.GIRTH[0];
    const Ellipse e = ellipseOf(t.BSEC[0], A0, t.AHSPHI, st.run.PI);
    if (!withinLambTable(e.a, e.b, LS)) return std::min(e.a, e.b);
    return std::sqrt(A0 / t.AHSPHI) * LS * equivalentRadiusRatio(e.a, e.b, LS);
}

// Step 4: the diameter of the equivalent body from the largest section.
double equivalentDiameter(const CaseState& st) {
    const TrialHydrostatics& t = st.trial;
    const double a = 4.0 * t.AHSPHI / (st.run.PI * t.BWLPHI), b = t.BWLPHI / 2.0;
    if (!withinLambTable(a, b, t.LWL1)) return std::min(a, b);
    return t.LWL1 * equivalentRadiusRatio(a, b, t.LWL1);
}

// Equivalent radius of the inner station K. The two aftmost inner stations stay on the table
// (extrapolated) however full they are, so that the run aft keeps its shape; elsewhere a section
// beyond the table takes its smaller semi-axis.
double stationRadius(const CaseState& st, int K, double LS) {
    const TrialHydrostatics& t = st.trial;
    const double A = t.ASEC[ix(K)];
    const Ellipse e = ellipseOf(t.BSEC[ix(K)], A, t.AHSPHI, st.run.PI);
    const double share = std::sqrt(A / t.AHSPHI);
    const bool aftmost = K <= t.ISTA1 + 2;
    if (!aftmost && !withinLambTable(e.a, e.b, LS)) return share * std::min(e.a, e.b);
    return share * LS * equivalentRadiusRatio(e.a, e.b, LS, aftmost);
}

}  // namespace

void equivalentBody(CaseState& st, double VNU, Body& body) {
    const TrialHydrostatics& t = st.trial;
    FlowResults& f = st.flow;
    const SlotArray& XST = st.hull.XST;
    const double L = t.LWLPHI, LS = t.XFPHI - t.XMREF;
    const double x1 = XST[ix(t.ISTA1 + 1)];
    body.dS = kTailStep * L;
    body.S = std::fabs(x1 - t.XFPHI - kEntrance * L);
    body.NB = t.ISTA2 - t.ISTA1 + 3;
    const double S = body.S, dS = body.dS;
    const auto xi = [&](double x) { return (x1 - x) / S + 4.0 * dS / S; };

    body.RT = aftEndRadius(st, LS);
    f.DEQ = equivalentDiameter(st);
    const BoundaryLayer bl = boundaryLayer(st, VNU);
    const double deltaT = L * 1.2263 * bl.CF / bl.FF;
    f.DTRANS = bl.thickening(body.RT, deltaT);

    body.XX(1) = -1.0;
    body.YY(1) = 0.0;
    body.REQ(1) = 0.0;
    int n = 2;
    for (int K = t.ISTA2 - 1; K >= t.ISTA1 + 1; --K, ++n) {
        const double D = 2.0 * t.ASEC[ix(K)] / t.GIRTH[ix(K)];
        f.DMEAN[ix(K)] = D;
        body.XX(n) = xi(XST[ix(K)]);
        const double R = stationRadius(st, K, LS);
        body.REQ(n) = R;
        const double delta = bl.delta((t.XFPHI - f.XSL[ix(K)]) / L);
        body.YY(n) = (bl.thickening(D, delta) + R) / S;
    }
    f.DMEAN[ix(t.ISTA2)] = 0.0;
    const int NB = body.NB;
    body.XX(NB - 3) = 4.0 * dS / S;
    body.XX(NB - 2) = 3.0 * dS / S;
    body.XX(NB - 1) = dS / S;
    body.XX(NB) = 0.0;
    body.YY(NB) = (body.RT + f.DTRANS) / S;
}

void entranceSlope(CaseState& st, RunFiles& io, Body& body) {
    const TrialHydrostatics& t = st.trial;
    const int n = body.NB - 3;
    std::array<double, 4 * (kMaxNodes - 1)> coef{};
    std::array<double, kMaxNodes - 1> p{};
    const int IERR = fitNatural(n, nodes(body.XX.data, 0, n), nodes(body.REQ.data, 0, n), coef, p);
    if (IERR != 0 && st.run.DIAG) writeFree(io.console, "XX nicht aufsteigend für Wenter");
    const double L = t.LWLPHI, x = t.XFPHI - kEntrance * L;
    const double xi = (st.hull.XST[ix(t.ISTA1 + 1)] - x) / body.S + 4.0 * body.dS / body.S;
    st.flow.WENTER = splineOf(n, nodes(body.XX.data, 0, n), coef, p).value(xi) / (kEntrance * L);
}

int bodyTail(CaseState& st, RunFiles& io, Body& body) {
    const int NB = body.NB;
    auto& XX = body.XX;
    auto& YY = body.YY;
    // the last three inner nodes and the first tail node on a smooth run into the wake radius
    const std::array<double, 5> X{XX(NB - 6), XX(NB - 5), XX(NB - 4), XX(NB - 1), XX(NB)};
    const std::array<double, 5> Y{YY(NB - 6), YY(NB - 5), YY(NB - 4), YY(NB), YY(NB)};
    std::array<double, 16> coef{};
    std::array<double, 4> p{};
    int IERR = fitNatural(5, X, Y, coef, p);
    if (IERR != 0) {
        if (st.run.DIAG) writeFree(io.console, "Fehler in WPOTI YA");
        return IERR;
    }
    const SplineRef tail = splineOf(5, X, coef, p);
    YY(NB - 1) = YY(NB);
    for (int n = NB - 4; n <= NB - 2; ++n) YY(n) = tail.value(XX(n));
    IERR = fitNatural(NB, nodes(XX.data, 0, NB), nodes(YY.data, 0, NB), body.COEF, body.P);
    if (IERR != 0 && st.run.DIAG) writeFree(io.console, "Fehler in WPOTI XX-YY");
    return IERR;
}

}  // namespace carinex::flow::wpoti
