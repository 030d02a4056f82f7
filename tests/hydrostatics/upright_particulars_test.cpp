// Upright particulars at rest.
//
// The main witness is the V hull of support/vee_hull.h, 12 long over 49 stations 0.25 apart,
// its keel line meeting z = 0 at 6 -+ 4.9. Below a waterline at height h, with d(x) = h - zk(x)
// the keel depth and a(x) the flare, the sections give in closed form
//     immersed area A = a*d^2, waterline breadth B = 2*a*d, wetted girth G = 2*d*sqrt(1 + a^2),
//     depth moment of the girth sqrt(1 + a^2)*d^2,
// and the 151-point polygons reproduce these exactly (straight sections). What remains between
// GEOPRO and the exact particulars is the longitudinal integration by splines through the
// stations and the hull preparation's waterline (found here from the prepared keel points, so
// the references are taken at the very waterline GEOPRO sees).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "appendages/keel_tables.h"
#include "hydrostatics/appendages_at_rest.h"
#include "hydrostatics/upright_particulars.h"
#include "support/scratch_dir.h"
#include "support/vee_hull.h"

namespace carinex {
namespace {

using test::VeeHull;

constexpr double kPi = 3.141592653589793;

// Composite Simpson rule with n (even) panels: for the smooth integrands here, with n = 20000,
// exact to rounding.
template <class F>
double simpson(F f, double a, double b, int n = 20000) {
    const double h = (b - a) / n;
    double sum = f(a) + f(b);
    for (int i = 1; i < n; ++i) sum += f(a + i * h) * ((i % 2 == 1) ? 4.0 : 2.0);
    return sum * h / 3.0;
}

// The console, the files and the state of one computation, and GEOPRO's results there.
struct Harness {
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, std::filesystem::path(".")};
    std::unique_ptr<CaseState> state = makeCaseState();
    CaseState& st = *state;
    double ZDRAG1 = 0.0, XLCBT = 0.0;

    int geopro() {
        int IERR = -1;
        GEOPRO(st, io, st.raw.NST - 1, ZDRAG1, XLCBT, IERR);
        return IERR;
    }
};

// ---------------------------------------------------------------------------------------------
// The V hull prepared at its exact volume below z = 0, and where the volume match put it: afloat
// at the waterline z = h, the prepared origin at offsets x = x0. Wider forward (flare 1.6 at
// x = 6, growing by 0.3 of that per 6 units of x), its largest section lies forward of the
// deepest keel point.
struct VCase {
    Harness hs;
    VeeHull hull{.stations = 49, .length = 12.0, .x0 = 6.0, .depth = 0.5, .c = 0.5 / (4.9 * 4.9),
                 .k0 = 1.6, .k1 = 0.08, .sheer = 1.0};
    double h = 0.0, x0 = 0.0;

    double d(double x) const { return hull.draft(x, h); }
    double breadth(double x) const { return 2.0 * hull.flare(x) * d(x); }
    double slant(double x) const { return std::sqrt(1.0 + hull.flare(x) * hull.flare(x)); }
    double girth(double x) const { return 2.0 * d(x) * slant(x); }
    template <class F>
    double overWaterline(F f) const { return simpson(f, hull.aftEnd(h), hull.fwdEnd(h)); }
};

void prepare(VCase& c, const test::SectionFormula& formula = {}) {
    ASSERT_EQ(test::prepareAnalyticHull(c.hs.st, c.hs.io, c.hull.stations, 0.0, c.hull.length,
                                        formula ? formula : c.hull.formula(), c.hull.volume(0.0)),
              0)
        << c.hs.console.str();
    const auto K = static_cast<std::size_t>(c.hull.stations / 2);
    c.h = c.hull.keel(c.hull.x(static_cast<int>(K))) + c.hs.st.hull.ZS[K][0];
    c.x0 = c.hull.x(static_cast<int>(K)) - c.hs.st.hull.XST[K];
}

// Bound on the error of a spline quadrature over stations h apart whose natural end condition
// (zero curvature) meets an integrand of curvature f2a and f2f at the ends: the moment error
// at the end decays by 2 - sqrt(3) per station, and summed into the quadrature
// h*(y_i + y_i+1)/2 - h^3*(M_i + M_i+1)/24 it gives about 0.58/24*h^3*|f''| per end. The
// bound doubles that for the shortened end intervals and the rational tension.
double naturalEndBound(double h, double f2a, double f2f) {
    return 0.05 * h * h * h * (std::fabs(f2a) + std::fabs(f2f));
}

// Second derivative by central differences (the integrands are polynomials of low degree or
// close to them, so the step 1e-3 is exact to about 1e-6 relative).
template <class F>
double secondDerivative(F f, double x) {
    const double e = 1e-3;
    return (f(x + e) - 2.0 * f(x) + f(x - e)) / (e * e);
}

TEST(UprightParticulars, VHullMatchesClosedForms) {
    VCase c;
    ASSERT_NO_FATAL_FAILURE(prepare(c));
    c.hs.st.point.VKEEL = 7.0;  // left over from elsewhere: the bare hull's GEOPRO clears them
    c.hs.st.point.VRUDD = 3.0;
    c.hs.st.upright.KZC = 1.0;
    ASSERT_EQ(c.hs.geopro(), 0) << c.hs.console.str();
    EXPECT_EQ(c.hs.console.str(), "");
    const UprightParticulars& u = c.hs.st.upright;
    const PreparedHull& p = c.hs.st.hull;
    const VeeHull& hull = c.hull;
    const double V = c.hs.st.input.VOLUME, xa = hull.aftEnd(c.h), xf = hull.fwdEnd(c.h);
    ASSERT_LT(std::fabs(c.h), 1e-3) << "the hull floats close to the waterline it was built for";

    // Waterline length: the bow and stern keel tables fit x over depth through 7 stations, the
    // inverse of the parabola, with curvature x'' = 4.9 at the crossing and depths 0.05 apart.
    // The crossing lies two to three points from the table's shallow end, whose end condition
    // disturbs the moments by (2 - sqrt 3)^2.5 ~ 0.04 of x'': 0.05^2/8 * 4.9 * 0.04, some 6e-5.
    EXPECT_NEAR(u.LWL, xf - xa, 1e-4);
    // Station quantities at x = 0 come from interpolating splines through the stations, far from
    // the ends of their tables: the parabola keel line and the cubic breadth are reproduced to
    // rounding apart from the natural ends' disturbance, decayed by (2 - sqrt 3)^3 at least.
    EXPECT_NEAR(u.TC, c.d(c.x0), 1e-6);
    EXPECT_NEAR(u.BWL, c.breadth(c.x0), 1e-5);
    // The keel line's vertex, found by a search to 1e-5 in x; the largest breadth by a fine one.
    EXPECT_NEAR(u.TMAX, hull.depth + c.h, 1e-9);
    EXPECT_NEAR(u.XTMAX, hull.x0 - c.x0, 2e-5);
    double bmax = 0.0;
    for (double x = xa; x < xf; x += 1e-4) bmax = std::max(bmax, c.breadth(x));
    EXPECT_NEAR(u.BMAX, bmax, 1e-5);

    // Integrals over the waterline.
    auto check = [&](const char* what, double got, auto f) {
        const double exact = c.overWaterline(f);
        const double tol = naturalEndBound(0.25, secondDerivative(f, xa + 1e-3), secondDerivative(f, xf - 1e-3)) +
                           1e-6 * std::fabs(exact);
        EXPECT_NEAR(got, exact, tol) << what;
    };
    auto B = [&](double x) { return c.breadth(x); };
    auto xB = [&](double x) { return (x - c.x0) * c.breadth(x); };
    auto xA = [&](double x) { return (x - c.x0) * hull.area(x, c.h); };
    auto G = [&](double x) { return c.girth(x); };
    check("AWP0", u.AWP0, B);
    check("SWET0", u.SWET0, G);
    // Centres (prepared axes), and as fractions of the waterline length behind its forward end
    // (the one GEOPRO works with, found by the hull preparation).
    const double xcb = c.overWaterline(xA) / V, xcf = c.overWaterline(xB) / c.overWaterline(B);
    EXPECT_NEAR(u.XLCB, xcb, 2e-5);
    EXPECT_NEAR(u.LCBFP, (p.XFKEEL - xcb) / u.LWL, 2e-6);
    EXPECT_NEAR(u.LCFFP, (p.XFKEEL - xcf) / u.LWL, 2e-6);
    // Centroid depth of the wetted surface. The depth moment of the last, partly wetted polygon
    // segment (length dl, depth drop dz, wetted fraction F) is taken as F^2 times the whole
    // segment's, which differs from the wetted part's by F^2*(1 - F)*dl*dz <= 4/27*dl*dz per
    // side; here dz = (sheer - keel)/150 and dl = dz*sqrt(1 + a^2).
    const double swet = c.overWaterline(G);
    const double partial = c.overWaterline([&](double x) {
        const double dz = (hull.sheer - hull.keel(x)) / 150.0;
        return 2.0 * 4.0 / 27.0 * dz * dz * c.slant(x);
    });
    EXPECT_NEAR(c.hs.ZDRAG1, c.overWaterline([&](double x) { return c.slant(x) * c.d(x) * c.d(x); }) / swet,
                partial / swet + 1e-6);
    // Form coefficients and ratios: a triangle fills half its box, to the accuracy of AMAX, the
    // peak of a spline through seven sections (about 1e-4 relative).
    const double lwl = xf - xa;
    EXPECT_NEAR(u.CX0, 0.5, 5e-5);
    EXPECT_NEAR(u.CP0, V / (hull.area(c.x0, c.h) * lwl), 1e-4);
    EXPECT_NEAR(u.RLB, lwl / c.breadth(c.x0), 1e-4);
    EXPECT_NEAR(u.RBT, bmax / (hull.depth + c.h), 1e-4);
    EXPECT_NEAR(u.LCBPC, -((xf - c.x0 - xcb) / lwl - 0.5) * 100.0, 1e-3);
    EXPECT_DOUBLE_EQ(u.HVOL, hull.volume(0.0) / 2.0);
    // The bare hull is the whole yacht.
    EXPECT_EQ(c.hs.st.point.VKEEL, 0.0);
    EXPECT_EQ(c.hs.st.point.VRUDD, 0.0);
    EXPECT_EQ(u.KZC, 0.0);
    EXPECT_EQ(c.hs.st.point.VTOT, V);
    EXPECT_DOUBLE_EQ(c.hs.XLCBT, u.XLCB);

    // Girths of the straight sections: the polygon is the line from the keel to the sheer, its
    // first moment about the waterline (depth positive down) runs from d(x) at the keel to
    // -(sheer - h) at the sheer; GSECT and BSECT both sides up to the waterline, none when dry.
    for (int K = 0; K < hull.stations; ++K) {
        const auto k = static_cast<std::size_t>(K);
        const double x = hull.x(K), length = c.slant(x) * (hull.sheer - hull.keel(x));
        EXPECT_NEAR(u.GIRTHP[k][150], length, 1e-12) << "slot " << K;
        EXPECT_NEAR(u.ZMOMP[k][150], length * (c.d(x) - hull.sheer + c.h) / 2.0, 1e-12) << "slot " << K;
        EXPECT_NEAR(u.GSECT[k], std::max(c.girth(x), 0.0), 1e-12) << "slot " << K;
        EXPECT_NEAR(u.BSECT[k], std::max(c.breadth(x), 0.0), 1e-12) << "slot " << K;
        EXPECT_EQ(u.ZREF[k], p.ZS[k][0]);
    }

    // The wetted surface along the curve of mean depth A/G: it changes by dA per station,
    // dA -> A'/G*dx, so the arc element is sqrt(1 + (A'/G)^2)*dx and SWETSL tends to the integral
    // of G*sqrt(1 + (A'/G)^2) over x. The differences over one station spacing converge with the
    // square of the spacing: (0.25)^2 times the third derivatives of the area curve, about 1e-4
    // of the surface here. Forward of the wetted run the arc runs along x.
    const double arc = c.overWaterline([&](double x) {
        const double slope = (hull.k1 * c.d(x) - 4.0 * hull.flare(x) * hull.c * (x - hull.x0)) / (2.0 * c.slant(x));
        return c.girth(x) * std::sqrt(1.0 + slope * slope);  // A'/G = (a'*d + 2*a*d')/(2*sqrt(1 + a^2))
    });
    EXPECT_GT(u.SWETSL, u.SWET0 * 1.002) << "the arc is longer than its x extent";
    EXPECT_NEAR(u.SWETSL, arc, 2e-4 * arc);
    EXPECT_EQ(u.SLMD[48], 0.0);
    for (int K = 48; K > p.KFWD; --K) {
        EXPECT_NEAR(u.SLMD[static_cast<std::size_t>(K - 1)] - u.SLMD[static_cast<std::size_t>(K)], 0.25, 1e-12);
    }
}

// The stem station is dry: with no breadth there the particulars are those of the hull with one.
TEST(UprightParticulars, ZeroBeamAtTheForwardStation) {
    VCase stem, plain;
    const auto formula = stem.hull.formula();
    ASSERT_NO_FATAL_FAILURE(prepare(stem, [&](double x, int k) {
        test::SectionPoint pt = formula(x, k);
        if (x >= stem.hull.length) pt.y = 0.0;
        return pt;
    }));
    ASSERT_NO_FATAL_FAILURE(prepare(plain));
    const std::string before = stem.hs.console.str();
    ASSERT_EQ(stem.hs.geopro(), 0);
    ASSERT_EQ(plain.hs.geopro(), 0);
    EXPECT_EQ(stem.hs.console.str().substr(before.size()), " Zero beam at first station, vertical stem assumed\n\n");
    EXPECT_EQ(plain.hs.console.str(), "");
    EXPECT_DOUBLE_EQ(stem.hs.st.upright.AWP0, plain.hs.st.upright.AWP0);
    EXPECT_DOUBLE_EQ(stem.hs.st.upright.SWET0, plain.hs.st.upright.SWET0);
}

// ---------------------------------------------------------------------------------------------
// Box barges, put directly in the prepared axes: rectangular sections of half-breadth b(x) and
// draft T on a flat keel, immersed from end to end.

constexpr double kBargeSheer = 0.5;  // sheer height above the waterline

void buildBarge(CaseState& st, double xAft, const std::function<double(double)>& b, double T) {
    // 50 points across the bottom (heights rising by 1e-13, as the preparation leaves a flat
    // run), 100 up the side to the sheer
    test::placeSections(st.hull, 21, xAft, xAft + 10.0, [&](double x, int i) {
        if (i <= 50) return test::SectionPoint{b(x) * i / 50.0, -T + i * 1e-13};
        return test::SectionPoint{b(x), -T + 50e-13 + (T + kBargeSheer) * (i - 50) / 100.0};
    });
    PreparedHull& h = st.hull;
    for (std::size_t k = 0; k < 21; ++k) h.ASECT[k] = 2.0 * b(h.XST[k]) * T;
    h.KAMAX = static_cast<int>(std::max_element(h.ASECT.begin(), h.ASECT.begin() + 21) - h.ASECT.begin());
    h.AMAX = h.ASECT[static_cast<std::size_t>(h.KAMAX)];
    h.KAFT = 0;
    h.KFWD = 20;
    h.XAKEEL = xAft;
    h.XFKEEL = xAft + 10.0;
    st.raw.NST = 21;
    st.input.KSTYPE = st.input.RSTYPE = 100;
    st.input.VOLUME = 2.0 * T * simpson(b, xAft, xAft + 10.0);
}

// A flat keel has no deepest point: the draft at the largest section stands in, with a message.
// Narrowing forward from x = 0 the sternmost section is the largest; widening towards the bow
// from x = -10 the forward-most one is, with no stations forward of it for the breadth fit: a
// straight breadth curve has no slope zero, so the largest breadth is the one at x = 0, and
// under DIAG that is noted.
TEST(Geopro, FlatKeelBargesHaveNoDeepestPoint) {
    const double T = 0.4;
    const std::string noDraft = " max. draft not found,Tmax = T at max. section assumed\n";
    struct Barge {
        double xAft, slope;
        bool diag;
        int KAMAX;
        std::string console;
    };
    for (const Barge& c :
         {Barge{0.0, -0.05, false, 0, noDraft}, Barge{-10.0, 0.05, true, 20, noDraft + " FEHLER KRAENG BMAX\n"}}) {
        Harness hs;
        hs.st.run.DIAG = c.diag;
        auto b = [&](double x) { return 1.0 + c.slope * x; };
        buildBarge(hs.st, c.xAft, b, T);
        ASSERT_EQ(hs.st.hull.KAMAX, c.KAMAX) << "the largest section stands at x = 0";
        ASSERT_EQ(hs.geopro(), 0) << hs.console.str();
        const UprightParticulars& u = hs.st.upright;
        EXPECT_EQ(hs.console.str(), c.console);
        EXPECT_NEAR(u.TC, T, 1e-12);
        EXPECT_EQ(u.TMAX, u.TC);
        EXPECT_EQ(u.XTMAX, 0.0);
        EXPECT_NEAR(u.BWL, 2.0, 1e-12);
        EXPECT_EQ(u.BMAX, u.BWL);
        EXPECT_NEAR(u.LWL, 10.0, 1e-12);
        EXPECT_NEAR(u.AWP0, 15.0, 1e-9);
        // x*A is a parabola, which the fit with equal end moments reproduces: the centre of
        // buoyancy is exact. The natural fit of x*B errs by the end bound.
        const double xc = simpson([&](double x) { return x * b(x); }, c.xAft, c.xAft + 10.0) / 7.5;
        EXPECT_NEAR(u.XLCB, xc, 1e-9);
        EXPECT_NEAR(u.LCFFP, (c.xAft + 10.0 - xc) / 10.0, naturalEndBound(0.5, 0.2, 0.2) / (15.0 * 10.0));
        // Wetted girth of a rectangle, both sides, and its depth moment. The surface integrals
        // start from the end values 0 while the sections at the ends are wetted: their Romberg
        // sums converge only to the accepted relative error of 1e-6. The partly wetted side
        // segment errs by 4/27*dl*dz per side (see the V hull), dl = dz = (T + sheer)/100.
        const double swet = 2.0 * (7.5 + T * 10.0), dz = (T + kBargeSheer) / 100.0;
        EXPECT_NEAR(u.SWET0, swet, 1e-6 * swet);
        EXPECT_NEAR(hs.ZDRAG1, (2.0 * T * 7.5 + T * T * 10.0) / swet, 8.0 / 27.0 * dz * dz * 10.0 / swet + 1e-6);
    }
}

// ---------------------------------------------------------------------------------------------
// Keel and rudder at rest on the V hull, the input values put into the state directly.
// Keel: constant chord 1, t/c = 0.1, KDEPTH = 1.5, KSECTF = 0.66, sweep 10 deg, the root's
// trailing edge on the station of slot keelSlot (offsets x = keelSlot/4) and its leading edge 1
// forward. Rudder: untapered, chord 0.5, t/c 0.12, span 0.8 below the waterline, its root's
// mid-chord on the station of slot rudderSlot.
void setUp(VCase& c, int KSTYPE, int keelSlot, int rudderSlot) {
    ASSERT_NO_FATAL_FAILURE(prepare(c));
    setupKeelTables(c.hs.st.run);
    CaseInput& in = c.hs.st.input;
    PreparedHull& h = c.hs.st.hull;
    in.KSTYPE = KSTYPE;
    in.RSTYPE = 0;
    for (int i = 1; i <= kKeelStrips; ++i) {
        in.KCHORD(i) = 1.0;
        in.KTHICK(i) = 0.1;
    }
    in.KDEPTH = 1.5;
    in.KSECTF = 0.66;
    in.KSWEEP = 10.0 * kPi / 180.0;
    h.XK1 = h.XST[static_cast<std::size_t>(keelSlot)];
    h.XK0 = h.XK1 + in.KCHORD(1);
    h.XK2 = h.XK0 - 0.4;
    const double xr = h.XST[static_cast<std::size_t>(rudderSlot)];
    h.XR0 = xr + 0.25;
    h.XR1 = xr - 0.25;
    ASSERT_EQ((h.XR0 + h.XR1) / 2.0, xr) << "the mid-chord lies exactly on the station";
    h.XR2 = h.XR0 - 0.2;
    in.RSPAN = 0.8;
    in.RCROOT = in.RCTIP = 0.5;
    in.RTCRT = in.RTCTP = 0.12;
    in.RSECTF = 0.68;
}

// Spanwise sums of the strip method for a keel of constant chord, in closed form: the
// trapezoidal rule of cos over [0, pi/2] with 8 panels is (pi/32)*cot(pi/32), and the sum of
// sin*cos over the strips is cot(pi/16)/2.
const double kStripArea = (kPi / 32.0) / std::tan(kPi / 32.0);                        // pi/16 * sum STRW
const double kStripDepthRatio = (1.0 / std::tan(kPi / 16.0)) * std::tan(kPi / 32.0);  // sum STRW*ZSTRIP / sum STRW

TEST(UprightAppendages, KeelAndRudderAtRest) {
    VCase c;
    // Keel root from offsets x = 5.5 to 6.5, centred on the deepest point; rudder at x = 2.
    ASSERT_NO_FATAL_FAILURE(setUp(c, 64, 22, 8));
    ASSERT_EQ(c.hs.geopro(), 0) << c.hs.console.str();
    const UprightParticulars& u = c.hs.st.upright;
    const TestPoint& p = c.hs.st.point;
    const PreparedHull& h = c.hs.st.hull;
    const double D = c.hull.depth + c.h;  // TMAX
    const double zLead = c.d(6.5), zTrail = c.d(5.5);
    EXPECT_NEAR(u.KZLEAD, zLead, 1e-9);
    EXPECT_NEAR(u.KZTRAIL, zTrail, 1e-9);
    ASSERT_NEAR(zLead, zTrail, 1e-12) << "the root lies symmetric about the deepest point";
    // Constant chord: the quarter-chord line is parallel to the leading edge.
    EXPECT_NEAR(u.KSWPE, 10.0 * kPi / 180.0, 1e-14);
    EXPECT_NEAR(u.KSPANR, 1.5 + D - zTrail, 1e-9);
    EXPECT_EQ(c.hs.st.input.KDEPTH, 1.5) << "only keel type 63 changes the keel depth";
    // Root region: the triangles between the keel line and the level TMAX over the root, with
    // the deepest point in between.
    EXPECT_NEAR(u.XTMAX, 6.0 - c.x0, 2e-5);
    const double root = 0.5 * ((D - zLead) * (h.XK0 - u.XTMAX) + (D - zTrail) * (u.XTMAX - h.XK1));
    EXPECT_NEAR(u.KAROOT, root, 1e-9);
    EXPECT_NEAR(u.KAREA, root + 1.001 * 1.0 * 1.5 * kStripArea, 1e-9);
    EXPECT_NEAR(p.VKEEL, 0.66 * 0.1 * (1.0 * root + 1.0 * 1.5 * kStripArea), 1e-10);
    EXPECT_NEAR(u.KZC, 1.5 * kStripDepthRatio, 1e-12);
    EXPECT_NEAR(u.TMAXK, 1.5 + D, 1e-9);
    EXPECT_EQ(u.KSLOT, 22) << "the station at the root trailing edge itself";
    EXPECT_EQ(u.IRUD, 9) << "the first station strictly forward of the rudder's mid-chord";

    // Rudder: both root corners under the hull, zA (leading edge, x = 2.25) deeper than zB.
    const double zA = c.d(2.25), zB = c.d(1.75);
    ASSERT_GT(zB, 0.0);
    EXPECT_NEAR(u.SH2, 0.8 - zB, 1e-9);
    EXPECT_NEAR(u.SH1, 0.8 - zA, 1e-9) << "untapered: the leading edge meets the hull first";
    EXPECT_NEAR(u.AR0, 0.5 * (u.SH1 + u.SH2) * 0.5, 1e-9) << "chord times mean span";
    EXPECT_NEAR(u.CR0, std::hypot(zA - zB, 0.5), 1e-9) << "the hull line across the root";
    EXPECT_NEAR(p.RCWL, 0.5, 1e-14);
    EXPECT_NEAR(p.VRUDD, 0.68 * 0.12 * 0.5 * u.AR0, 1e-10) << "area times section area per chord";

    // The whole yacht.
    const double V = c.hs.st.input.VOLUME;
    EXPECT_NEAR(p.VTOT, V + p.VKEEL + p.VRUDD, 1e-12);
    EXPECT_NEAR(c.hs.XLCBT, (u.XLCB * V + p.VKEEL * h.XK2 + p.VRUDD * h.XR2) / p.VTOT, 1e-12);
    EXPECT_NEAR(u.TTOT, D + 1.5, 1e-9);
    EXPECT_EQ(u.KTAPER, 1.0);
    EXPECT_NEAR(u.RCMEAN, 0.5, 1e-15);
    EXPECT_NEAR(u.RTCMN, 0.12, 1e-15);
}

// Keel type 63 counts KDEPTH from the keel line under the leading edge: forward of the deepest
// point (root from offsets x = 6.5 to 7.5) it meets the shallower keel line and the depth below
// the canoe body shrinks; the strip sums use the reduced depth, the sweep the one read. Aft of
// it (x = 4 to 5) the leading edge meets the deeper keel line.
TEST(UprightAppendages, Type63KeelDepthCountsFromTheKeelLine) {
    for (int keelSlot : {26, 16}) {
        VCase c;
        ASSERT_NO_FATAL_FAILURE(setUp(c, 63, keelSlot, 8));
        ASSERT_EQ(c.hs.geopro(), 0) << c.hs.console.str();
        const UprightParticulars& u = c.hs.st.upright;
        const double D = c.hull.depth + c.h, xTrail = keelSlot / 4.0;
        const double zLead = c.d(xTrail + 1.0), zTrail = c.d(xTrail);
        const double depth = 1.5 - (D - std::max(zLead, zTrail));
        EXPECT_NEAR(c.hs.st.input.KDEPTH, depth, 1e-9) << keelSlot;
        EXPECT_NEAR(u.KSPANR, 1.5 - std::max(zTrail - zLead, 0.0), 1e-9) << keelSlot;
        EXPECT_EQ(u.KSLOT, keelSlot);
        EXPECT_NEAR(u.KAREA - u.KAROOT, 1.001 * depth * kStripArea, 1e-9);
        EXPECT_NEAR(u.KZC, depth * kStripDepthRatio, 1e-9);
        EXPECT_NEAR(u.KSWPE, 10.0 * kPi / 180.0, 1e-14);
        EXPECT_NEAR(u.TMAXK, depth + D, 1e-9);
    }
}

TEST(UprightAppendages, RudderBehindTheWaterlineHangsFullyImmersed) {
    // Rudder root from offsets x = 0.25 to 0.75, where the hull lies above the water; tapered
    // from 0.5 at the root to 0.3 at the tip.
    for (const double tipThickness : {0.12, 0.09}) {
        VCase c;
        ASSERT_NO_FATAL_FAILURE(setUp(c, 64, 22, 2));
        CaseInput& in = c.hs.st.input;
        in.RCTIP = 0.3;
        in.RTCTP = tipThickness;
        ASSERT_EQ(c.hs.geopro(), 0) << c.hs.console.str();
        const UprightParticulars& u = c.hs.st.upright;
        const TestPoint& p = c.hs.st.point;
        const double zA = c.d(0.75), zB = c.d(0.25);
        ASSERT_LT(zA, 0.0);
        EXPECT_NEAR(u.SH2, 0.8 - zB, 1e-9);
        const double d = (1.0 - 0.3 / 0.5) * (zA - zB) + 0.8;
        EXPECT_NEAR(u.SH1, 0.8 * (d - zA) / d, 1e-9);
        ASSERT_GT(u.SH1, 0.8) << "the rudder meets the hull only above the waterline";
        EXPECT_NEAR(u.AR0, 0.5 * (0.3 * u.SH1 + (0.3 + 0.2 * u.SH1 / 0.8) * u.SH2), 1e-12);
        EXPECT_NEAR(p.RCWL, 0.5, 1e-14) << "the chord at the waterline is the root chord";
        EXPECT_EQ(u.IRUD, 3);
        // Nothing of the rudder is inside the hull below the waterline: its volume is the
        // section area RSECTF*t*c^2 integrated from the tip to the waterline. The cubic of the
        // volume formula is that integral when chord or thickness ratio is constant along the
        // span; with both varying it exceeds it by RSECTF*s*(t_s - t_tip)*(c_s - c_tip)^2/2.
        const double exact = simpson([&](double z) {
            const double chord = 0.3 + 0.2 * z / 0.8, t = tipThickness + (0.12 - tipThickness) * z / 0.8;
            return 0.68 * t * chord * chord;
        }, 0.0, 0.8);
        const double excess = 0.68 * 0.8 * (0.12 - tipThickness) * 0.2 * 0.2 / 2.0;
        EXPECT_NEAR(p.VRUDD, exact + excess, 1e-12) << "tip t/c " << tipThickness;
    }
}

TEST(UprightAppendages, UnusableAppendageDataStopWithAClearError) {
    struct Fault {
        const char* message;
        std::function<void(CaseState&)> apply;
    };
    const Fault faults[] = {
        {" rudder span below the waterline not positive, RSPAN =", [](CaseState& st) { st.input.RSPAN = 0.0; }},
        {" rudder root chord not positive, RCROOT =", [](CaseState& st) { st.input.RCROOT = 0.0; }},
        {" keel depth below the canoe body not positive, KDEPTH =", [](CaseState& st) { st.input.KDEPTH = 0.0; }},
        {" keel without section area, sum of KCHORD**2*KTHICK =",
         [](CaseState& st) { for (int i = 1; i <= kKeelStrips; ++i) st.input.KTHICK(i) = 0.0; }},
        {" keel tip not below the deepest point of the canoe body, KDEPTH =",
         [](CaseState& st) {
             st.input.KSTYPE = 63;
             st.input.KDEPTH = 1e-3;  // the keel line under the root lies above TMAX by more
         }},
    };
    for (const Fault& f : faults) {
        VCase c;
        ASSERT_NO_FATAL_FAILURE(setUp(c, 64, 26, 8));
        f.apply(c.hs.st);
        const std::string before = c.hs.console.str();
        EXPECT_EQ(c.hs.geopro(), kAppendageAtRest) << f.message;
        EXPECT_EQ(c.hs.console.str().substr(before.size()).rfind(f.message, 0), 0u) << c.hs.console.str();
    }
}

// ---------------------------------------------------------------------------------------------
// The example cruiser-racer against its raw offsets, as read (every section starts on the centre
// plane and keeps its keel point; only its top may have gained a point at the common height).

// Raw station i cut at height zw: immersed area, waterline breadth and wetted girth (both sides)
// of the polygon through its points.
struct RawCut {
    double x = 0.0, area = 0.0, breadth = 0.0, girth = 0.0;
};

RawCut cutRaw(const RawOffsets& r, int i, double zw) {
    RawCut c{r.XOFF(i)};
    for (int j = 2; j <= r.NP(i) && r.ZOFF(j - 1, i) < zw; ++j) {
        const double y0 = r.YOFF(j - 1, i), z0 = r.ZOFF(j - 1, i);
        const double t = std::min((zw - z0) / (r.ZOFF(j, i) - z0), 1.0);
        const double y1 = y0 + t * (r.YOFF(j, i) - y0), dz = t * (r.ZOFF(j, i) - z0);
        c.area += (y0 + y1) * dz;
        c.girth += 2.0 * std::hypot(y1 - y0, dz);
        c.breadth = 2.0 * y1;
    }
    return c;
}

TEST(Geopro, ExampleCruiserAgainstItsRawOffsets) {
    test::ScratchDir dir;
    const std::filesystem::path source = std::filesystem::path(CARINEX_SOURCE_DIR) / "examples" / "cruiser";
    for (const char* folder : {"INPUT", "OFFSETS", "APPEND"})
        std::filesystem::copy(source / folder, dir.path() / folder, std::filesystem::copy_options::recursive);
    auto run = test::runIn(dir.path(), "CR3\n\n");
    ASSERT_EQ(run.status, 0) << run.console;
    CaseState& st = *run.state;
    Harness hs;
    double ZDRAG1 = 0.0, XLCBT = 0.0;
    int IERR = -1;
    GEOPRO(st, hs.io, st.raw.NST - 1, ZDRAG1, XLCBT, IERR);
    ASSERT_EQ(IERR, 0) << hs.console.str();
    const UprightParticulars& u = st.upright;
    const RawOffsets& r = st.raw;

    // The keel point of every station is kept as read, so it gives the waterline height zw = -T0
    // and the origin x0 of the volume match.
    const int mid = r.NST / 2;
    const double zw = st.hull.ZS[static_cast<std::size_t>(mid - 1)][0] + r.ZOFF(1, mid);
    const double x0 = r.XOFF(mid) - st.hull.XST[static_cast<std::size_t>(mid - 1)];
    EXPECT_LT(std::fabs(zw), 0.02) << "the example is drawn at its design waterline";

    // Waterline ends by straight interpolation of the keel height between stations, and the
    // sectional curves integrated by the trapezoidal rule between them.
    std::vector<RawCut> cuts;
    for (int i = 1; i <= r.NST; ++i) {
        const bool wet = r.ZOFF(1, i) < zw;
        if (i > 1 && wet != (r.ZOFF(1, i - 1) < zw)) {
            const double za = r.ZOFF(1, i - 1), zb = r.ZOFF(1, i);
            cuts.push_back({r.XOFF(i - 1) + (zw - za) / (zb - za) * (r.XOFF(i) - r.XOFF(i - 1))});
        }
        if (wet) cuts.push_back(cutRaw(r, i, zw));
    }
    auto trapezoid = [&](double RawCut::*f, bool moment) {
        double sum = 0.0;
        for (std::size_t i = 1; i < cuts.size(); ++i) {
            const double w0 = moment ? cuts[i - 1].x - x0 : 1.0, w1 = moment ? cuts[i].x - x0 : 1.0;
            sum += 0.5 * (w0 * cuts[i - 1].*f + w1 * cuts[i].*f) * (cuts[i].x - cuts[i - 1].x);
        }
        return sum;
    };
    const double lwl = cuts.back().x - cuts.front().x;
    const double awp = trapezoid(&RawCut::breadth, false);
    const double xlcb = trapezoid(&RawCut::area, true) / trapezoid(&RawCut::area, false);
    const double swet = trapezoid(&RawCut::girth, false);
    // Breadth at the largest section (x = 0) between its two neighbouring stations.
    std::size_t j = 1;
    while (cuts[j].x - x0 < 0.0) ++j;
    const double t = (x0 - cuts[j - 1].x) / (cuts[j].x - cuts[j - 1].x);
    const double bwl = cuts[j - 1].breadth + t * (cuts[j].breadth - cuts[j - 1].breadth);

    // Tolerances. The reference is the cruder one: chords between the raw points (28 per
    // section, about 0.07 apart along the girth) where the prepared sections follow a spline
    // through them, trapezoidal sums over stations 0.3125 apart where GEOPRO integrates splines,
    // and the keel line straight between stations where it is a spline. For the concave
    // waterline-breadth curve, B'' ~ -8*BWL/LWL^2, the trapezoidal rule falls short by
    // LWL*h^2/12*|B''|, about 0.1 %; the chords cut into the sections by s^2/(8R), 1.5e-3 at a
    // bilge of radius 0.4, another 0.1 % of breadths and girths; a straight keel line between
    // stations moves each waterline end by up to h^2/8 times the keel line's curvature. 0.5 %
    // holds their sum with a margin of about two (the differences found are 0.2 to 0.3 %). XLCB,
    // near x = 0, is compared to 0.5 % of the length.
    EXPECT_NEAR(u.LWL, lwl, 0.005 * lwl);
    EXPECT_NEAR(u.BWL, bwl, 0.005 * bwl);
    EXPECT_NEAR(u.AWP0, awp, 0.005 * awp);
    EXPECT_NEAR(u.XLCB, xlcb, 0.005 * lwl);
    EXPECT_NEAR(u.SWET0, swet, 0.005 * swet);
    // The design numbers of the example: a waterline 10 m long and 3.12 m wide.
    EXPECT_NEAR(u.LWL, 10.0, 0.02);
    EXPECT_NEAR(u.BWL, 3.12, 0.02);
    EXPECT_GT(ZDRAG1, 0.0);
    EXPECT_LT(ZDRAG1, u.TMAX);
}

}  // namespace
}  // namespace carinex
