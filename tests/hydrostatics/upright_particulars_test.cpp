// Upright particulars at rest.
//
// The main witness is a hull of straight-sided V sections: at station x the section is the line
// y = a(x)*(z - zk(x)) from the keel height zk(x) up to the sheer, with the keel line a parabola
// zk(x) = -D*(1 - ((x - xv)/h)^2) that rises through the waterline z = 0 at xv - h and xv + h,
// and the flare a(x) linear in x. Below a waterline at height zw, with d(x) = zw - zk(x) the keel
// depth, the sections give in closed form
//     immersed area A = a*d^2, waterline breadth B = 2*a*d, wetted girth G = 2*d*sqrt(1 + a^2),
//     depth moment of the girth sqrt(1 + a^2)*d^2,
// and the 151-point polygons reproduce these exactly (straight sections). What remains between
// GEOPRO and the exact particulars is the longitudinal integration by splines through 49 stations
// 0.25 apart and the hull preparation's waterline (found here from the prepared keel points, so
// the references are taken at the very waterline GEOPRO sees).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "appendages/keel_tables.h"
#include "hydrostatics/appendages_at_rest.h"
#include "hydrostatics/upright_particulars.h"
#include "support/analytic_hull.h"
#include "support/scratch_dir.h"

namespace carinex {
namespace {

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

// The console, the files and the state of one computation.
struct Harness {
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io{keyboard, console, std::filesystem::path(".")};
    std::unique_ptr<CaseState> state = makeCaseState();
    CaseState& st = *state;
};

struct GeoproOutcome {
    int IERR = -1;
    double ZDRAG1 = 0.0, XLCBT = 0.0;
};

GeoproOutcome runGeopro(Harness& h) {
    GeoproOutcome out;
    GEOPRO(h.st, h.io, h.st.raw.NST - 1, out.ZDRAG1, out.XLCBT, out.IERR);
    return out;
}

// ---------------------------------------------------------------------------------------------
// The V hull.

struct VHull {
    int stations = 49;
    double xAft = 0.0, xFwd = 12.0;
    double D = 0.5;            // keel depth at the vertex below z = 0
    double xv = 6.0;           // x of the vertex, the deepest keel point
    double h = 4.9;            // the keel line meets z = 0 at xv -+ h
    double a0 = 1.6;           // flare at x = 6: half-breadth gained per unit height
    double flareSlope = 0.0;   // relative change of the flare per 6 units of x
    double top = 1.0;          // sheer height
    bool zeroBeamBow = false;  // the forward-most station has no breadth

    // Station positions as the analytic loader computes them.
    double x(int K) const { return xAft + (xFwd - xAft) * K / (stations - 1); }
    double keelZ(double x) const {
        const double xi = (x - xv) / h;
        return -D * (1.0 - xi * xi);
    }
    double flare(double x) const { return a0 * (1.0 + flareSlope * (x - 6.0) / 6.0); }
    test::SectionFormula formula() const {
        return [*this](double x, int k) {
            const double zk = keelZ(x);
            const double z = zk + (top - zk) * k / 150.0;
            const double a = (zeroBeamBow && x >= xFwd) ? 0.0 : flare(x);
            return test::SectionPoint{a * (z - zk), z};
        };
    }
    // Exact immersed volume at z = 0, the volume the hull is prepared for.
    double designVolume() const {
        return simpson([&](double x) { return flare(x) * keelZ(x) * keelZ(x); }, xv - h, xv + h);
    }
};

int prepare(Harness& hs, const VHull& hull) {
    return test::prepareAnalyticHull(hs.st, hs.io, hull.stations, hull.xAft, hull.xFwd, hull.formula(),
                                     hull.designVolume());
}

// Exact particulars of the V hull below the waterline GEOPRO sees, in the offsets' axes (x0 is
// the offsets' x of the prepared origin).
struct VHullReference {
    VHull hull;
    double T0 = 0.0;  // the waterline found by the volume match lies at z = -T0
    double x0 = 0.0;  // offsets x of the largest section, the prepared x = 0

    VHullReference(const VHull& v, const CaseState& st) : hull(v) {
        const int K = v.stations / 2;
        T0 = -v.keelZ(v.x(K)) - st.hull.ZS[static_cast<std::size_t>(K)][0];
        x0 = v.x(K) - st.hull.XST[static_cast<std::size_t>(K)];
    }
    double d(double x) const { return -T0 - hull.keelZ(x); }
    double area(double x) const { return hull.flare(x) * d(x) * d(x); }
    double breadth(double x) const { return 2.0 * hull.flare(x) * d(x); }
    double girth(double x) const { return 2.0 * d(x) * std::sqrt(1.0 + hull.flare(x) * hull.flare(x)); }
    double girthMoment(double x) const { return std::sqrt(1.0 + hull.flare(x) * hull.flare(x)) * d(x) * d(x); }
    double xAft() const { return hull.xv - hull.h * std::sqrt(1.0 - T0 / hull.D); }
    double xFwd() const { return hull.xv + hull.h * std::sqrt(1.0 - T0 / hull.D); }
    template <class F>
    double overWaterline(F f) const {
        return simpson(f, xAft(), xFwd());
    }
};

// Bound on the error of a spline quadrature over stations h apart whose natural end condition
// (zero curvature) meets an integrand of curvature f2a and f2f at the ends: the moment error
// at the end decays by 2 - sqrt(3) per station, and summed into the quadrature
// h*(y_i + y_i+1)/2 - h^3*(M_i + M_i+1)/24 it gives about 0.58/24*h^3*|f''| per end. The
// bound doubles that for the shortened end intervals and the rational tension.
double naturalEndBound(double h, double f2a, double f2f) { return 0.05 * h * h * h * (std::fabs(f2a) + std::fabs(f2f)); }

// Second derivative by central differences (the integrands are polynomials of low degree or
// close to them, so the step 1e-3 is exact to about 1e-6 relative).
template <class F>
double secondDerivative(F f, double x) {
    const double e = 1e-3;
    return (f(x + e) - 2.0 * f(x) + f(x - e)) / (e * e);
}

TEST(UprightParticulars, VHullMatchesClosedForms) {
    VHull hull;
    hull.flareSlope = 0.3;  // wider forward: the largest section lies forward of the deepest keel point
    Harness hs;
    ASSERT_EQ(prepare(hs, hull), 0) << hs.console.str();
    const GeoproOutcome g = runGeopro(hs);
    ASSERT_EQ(g.IERR, 0) << hs.console.str();
    const UprightParticulars& u = hs.st.upright;
    const VHullReference ref(hull, hs.st);
    ASSERT_LT(std::fabs(ref.T0), 1e-3) << "the hull floats close to the waterline it was built for";

    // Waterline ends: the bow and stern keel tables fit x over depth through 7 stations, the
    // inverse of the parabola, with curvature x'' = h/(4 D^2) = 4.9 at the crossing and depths
    // 0.05 apart. The crossing lies two to three points from the table's shallow end, whose end
    // condition disturbs the moments by (2 - sqrt 3)^2.5 ~ 0.04 of x'': 0.05^2/8 * 4.9 * 0.04,
    // some 6e-5.
    EXPECT_NEAR(u.LWL, ref.xFwd() - ref.xAft(), 1e-4);
    EXPECT_NEAR(hs.st.hull.XFKEEL, ref.xFwd() - ref.x0, 1e-4);
    EXPECT_NEAR(hs.st.hull.XAKEEL, ref.xAft() - ref.x0, 1e-4);

    // Station quantities at x = 0 come from interpolating splines through the stations, far from
    // the ends of their tables: the parabola keel line and the cubic breadth are reproduced to
    // rounding apart from the natural ends' disturbance, decayed by (2 - sqrt 3)^3 at least.
    EXPECT_NEAR(u.TC, ref.d(ref.x0), 1e-6);
    EXPECT_NEAR(u.BWL, ref.breadth(ref.x0), 1e-5);
    // The keel line's vertex, found by a search to 1e-5 in x.
    EXPECT_NEAR(u.TMAX, hull.D - ref.T0, 1e-9);
    EXPECT_NEAR(u.XTMAX, hull.xv - ref.x0, 2e-5);
    EXPECT_LT(u.XTMAX, -0.2) << "the deepest point lies aft of the largest section";
    // Largest breadth: maximum of 2*a*d by a fine search.
    double bmax = 0.0;
    for (double x = ref.xAft(); x < ref.xFwd(); x += 1e-4) bmax = std::max(bmax, ref.breadth(x));
    EXPECT_NEAR(u.BMAX, bmax, 1e-5);

    // Integrals over the waterline.
    const double sp = hull.x(1) - hull.x(0);
    auto check = [&](const char* what, double got, double exact, auto f) {
        const double tol = naturalEndBound(sp, secondDerivative(f, ref.xAft() + 1e-3), secondDerivative(f, ref.xFwd() - 1e-3)) +
                           1e-6 * std::fabs(exact);
        EXPECT_NEAR(got, exact, tol) << what;
    };
    auto B = [&](double x) { return ref.breadth(x); };
    auto xB = [&](double x) { return (x - ref.x0) * ref.breadth(x); };
    auto A = [&](double x) { return ref.area(x); };
    auto xA = [&](double x) { return (x - ref.x0) * ref.area(x); };
    auto G = [&](double x) { return ref.girth(x); };
    auto GM = [&](double x) { return ref.girthMoment(x); };
    const double awp = ref.overWaterline(B);
    const double volume = ref.overWaterline(A);
    const double swet = ref.overWaterline(G);
    check("AWP0", u.AWP0, awp, B);
    check("SWET0", u.SWET0, swet, G);
    check("moment of the waterplane", u.AWP0 * (hs.st.hull.XFKEEL - u.LCFFP * u.LWL), ref.overWaterline(xB), xB);
    check("moment of the volume", u.XLCB * hs.st.input.VOLUME, ref.overWaterline(xA), xA);
    // Centres (prepared axes), and as fractions of the waterline length behind its forward end
    // (with the ends GEOPRO works with, checked above).
    const double xcb = ref.overWaterline(xA) / volume;
    const double xcf = ref.overWaterline(xB) / awp;
    EXPECT_NEAR(u.XLCB, xcb, 2e-5);
    EXPECT_NEAR(u.LCBFP, (hs.st.hull.XFKEEL - xcb) / u.LWL, 2e-6);
    EXPECT_NEAR(u.LCFFP, (hs.st.hull.XFKEEL - xcf) / u.LWL, 2e-6);
    EXPECT_LT(u.LCBFP, 0.5) << "the fuller fore-body moves the centre of buoyancy forward";
    // Centroid depth of the wetted surface. The depth moment of the last, partly wetted polygon
    // segment (length dl, depth drop dz, wetted fraction F) is taken as F^2 times the whole
    // segment's, which differs from the wetted part's by F^2*(1 - F)*dl*dz <= 4/27*dl*dz per
    // side; here dz = (sheer - keel)/150 and dl = dz*sqrt(1 + a^2).
    const double partial = ref.overWaterline([&](double x) {
        const double dz = (hull.top - hull.keelZ(x)) / 150.0;
        return 2.0 * 4.0 / 27.0 * dz * dz * std::sqrt(1.0 + hull.flare(x) * hull.flare(x));
    });
    EXPECT_NEAR(g.ZDRAG1, ref.overWaterline(GM) / swet, partial / swet + 1e-6);

    // Form coefficients and ratios from the particulars.
    EXPECT_DOUBLE_EQ(u.CX0, hs.st.hull.AMAX / (u.BWL * u.TC));
    EXPECT_DOUBLE_EQ(u.CP0, hs.st.input.VOLUME / (hs.st.hull.AMAX * u.LWL));
    EXPECT_DOUBLE_EQ(u.RLB, u.LWL / u.BWL);
    EXPECT_DOUBLE_EQ(u.RBT, u.BMAX / u.TMAX);
    EXPECT_DOUBLE_EQ(u.LCBPC, -(u.LCBFP - 0.5) * 100.0);
    EXPECT_DOUBLE_EQ(u.HVOL, hs.st.input.VOLUME / 2.0);
}

TEST(UprightParticulars, WettedSurfaceAlongTheMeanDepthArc) {
    VHull hull;
    hull.flareSlope = 0.3;
    Harness hs;
    ASSERT_EQ(prepare(hs, hull), 0) << hs.console.str();
    ASSERT_EQ(runGeopro(hs).IERR, 0) << hs.console.str();
    const UprightParticulars& u = hs.st.upright;
    const PreparedHull& p = hs.st.hull;
    const VHullReference ref(hull, hs.st);
    const int NSLOT = hull.stations - 1;
    EXPECT_EQ(u.SLMD[static_cast<std::size_t>(NSLOT)], 0.0);
    // Outside the wetted run the arc runs along x.
    for (int K = NSLOT; K > p.KFWD; --K) {
        EXPECT_NEAR(u.SLMD[static_cast<std::size_t>(K - 1)] - u.SLMD[static_cast<std::size_t>(K)], 0.25, 1e-12);
    }
    // The mean depth A/G changes by dA per station, dA -> A'/G*dx, so the arc element along the
    // curve of mean depth is sqrt(1 + (A'/G)^2)*dx and SWETSL tends to the integral of
    // G*sqrt(1 + (A'/G)^2) over x. The differences over one station spacing converge with the
    // square of the spacing: (0.25)^2 times the third derivatives of the area curve, about 1e-4
    // of the surface here.
    auto weighted = [&](double x) {
        const double slope = (ref.area(x + 1e-6) - ref.area(x - 1e-6)) / 2e-6 / ref.girth(x);
        return ref.girth(x) * std::sqrt(1.0 + slope * slope);
    };
    const double exact = ref.overWaterline(weighted);
    EXPECT_GT(u.SWETSL, u.SWET0 * 1.002) << "the arc is longer than its x extent";
    EXPECT_NEAR(u.SWETSL, exact, 2e-4 * exact);
    // The end stations stand at the waterline ends, one end step from their neighbours.
    const auto f = static_cast<std::size_t>(p.KFWD);
    const double dAf = 2.0 * (p.ASECT[f] - p.ASECT[f - 1]) / (u.GSECT[f] + u.GSECT[f - 1]);
    EXPECT_NEAR(u.SNEG[f] - u.SNEG[f - 1], std::hypot(dAf, p.XFKEEL - p.XST[f - 1]), 1e-13);
    for (int K = p.KAFT; K < p.KFWD; ++K) EXPECT_LT(u.SNEG[static_cast<std::size_t>(K)], u.SNEG[static_cast<std::size_t>(K + 1)]);
}

TEST(UprightParticulars, GirthsOfStraightSections) {
    VHull hull;
    hull.flareSlope = 0.3;
    Harness hs;
    ASSERT_EQ(prepare(hs, hull), 0) << hs.console.str();
    ASSERT_EQ(runGeopro(hs).IERR, 0) << hs.console.str();
    const UprightParticulars& u = hs.st.upright;
    const VHullReference ref(hull, hs.st);
    int wetted = 0;
    for (int K = 0; K < hull.stations; ++K) {
        const auto k = static_cast<std::size_t>(K);
        const double x = hull.x(K);
        const double slant = std::sqrt(1.0 + hull.flare(x) * hull.flare(x));
        // The polygon is the straight line from the keel to the sheer.
        EXPECT_NEAR(u.GIRTHP[k][150], slant * (hull.top - hull.keelZ(x)), 1e-12) << "slot " << K;
        EXPECT_EQ(u.GIRTHP[k][0], 0.0);
        // First moment about the waterline, depth positive down: the line runs from depth
        // d(x) at the keel to -(top + T0) at the sheer.
        EXPECT_NEAR(u.ZMOMP[k][150], slant * (hull.top - hull.keelZ(x)) * (ref.d(x) - hull.top - ref.T0) / 2.0, 1e-12);
        // Both sides up to the waterline; dry stations have none.
        if (ref.d(x) > 0.0) {
            ++wetted;
            EXPECT_NEAR(u.GSECT[k], 2.0 * slant * ref.d(x), 1e-12) << "slot " << K;
            EXPECT_NEAR(u.BSECT[k], 2.0 * hull.flare(x) * ref.d(x), 1e-12) << "slot " << K;
        } else {
            EXPECT_EQ(u.GSECT[k], 0.0) << "slot " << K;
            EXPECT_EQ(u.BSECT[k], 0.0) << "slot " << K;
        }
        EXPECT_EQ(u.ZREF[k], hs.st.hull.ZS[k][0]);
    }
    EXPECT_EQ(wetted, 39);
}

TEST(UprightParticulars, SymmetricHullFloatsAtMidLength) {
    VHull hull;  // constant flare, vertex at mid-length, stations symmetric about it
    Harness hs;
    ASSERT_EQ(prepare(hs, hull), 0) << hs.console.str();
    const GeoproOutcome g = runGeopro(hs);
    ASSERT_EQ(g.IERR, 0) << hs.console.str();
    const UprightParticulars& u = hs.st.upright;
    const VHullReference ref(hull, hs.st);
    // Both centres lie at the vertex, x = 6 in the offsets, which the largest-section search put
    // at x = 0 to its tolerance.
    EXPECT_NEAR(u.XLCB, hull.xv - ref.x0, 1e-7);
    EXPECT_NEAR(hs.st.hull.XFKEEL + hs.st.hull.XAKEEL, 2.0 * (hull.xv - ref.x0), 2e-4);
    // The bow and stern keel tables close the waterline with different end conditions of their
    // fits, so the ends are mirror images only to their accuracy of 1e-4 (see above): the centres
    // lie at mid-length to 1e-4/LWL.
    EXPECT_NEAR(u.LCBFP, 0.5, 1e-5);
    EXPECT_NEAR(u.LCFFP, 0.5, 1e-5);
    EXPECT_NEAR(u.LCFFP, u.LCBFP, 1e-6) << "both at the vertex, apart from their own quadrature errors";
    EXPECT_NEAR(u.LCBPC, 0.0, 1e-3);
    // The deepest point is the largest section.
    EXPECT_NEAR(u.XTMAX, 0.0, 1e-5);
    EXPECT_NEAR(u.TMAX, u.TC, 1e-9);
    EXPECT_NEAR(u.BMAX, u.BWL, 1e-6);
    EXPECT_EQ(hs.console.str().find("Zero beam"), std::string::npos);
    EXPECT_EQ(hs.console.str().find("max. draft"), std::string::npos);
}

TEST(UprightParticulars, BareHullVolumeAndCentre) {
    VHull hull;
    hull.flareSlope = -0.2;
    Harness hs;
    ASSERT_EQ(prepare(hs, hull), 0) << hs.console.str();
    ASSERT_EQ(hs.st.input.KSTYPE, 100);
    hs.st.point.VKEEL = 7.0;  // left over from elsewhere: GEOPRO must clear them
    hs.st.point.VRUDD = 3.0;
    hs.st.upright.KZC = 1.0;
    const GeoproOutcome g = runGeopro(hs);
    ASSERT_EQ(g.IERR, 0);
    EXPECT_EQ(hs.st.point.VKEEL, 0.0);
    EXPECT_EQ(hs.st.point.VRUDD, 0.0);
    EXPECT_EQ(hs.st.upright.KZC, 0.0);
    EXPECT_EQ(hs.st.point.VTOT, hs.st.input.VOLUME);
    EXPECT_DOUBLE_EQ(g.XLCBT, hs.st.upright.XLCB);
}

TEST(UprightParticulars, ZeroBeamAtTheForwardStation) {
    VHull hull;
    hull.flareSlope = 0.3;
    VHull stem = hull;
    stem.zeroBeamBow = true;
    Harness hs;
    ASSERT_EQ(prepare(hs, stem), 0) << hs.console.str();
    Harness plain;
    ASSERT_EQ(prepare(plain, hull), 0);
    const std::string before = hs.console.str();
    ASSERT_EQ(runGeopro(hs).IERR, 0);
    ASSERT_EQ(runGeopro(plain).IERR, 0);
    EXPECT_EQ(hs.console.str().substr(before.size()), " Zero beam at first station, vertical stem assumed\n\n");
    EXPECT_EQ(plain.console.str().find("Zero beam"), std::string::npos);
    // The stem station is dry: the particulars are those of the hull with a breadth there.
    EXPECT_DOUBLE_EQ(hs.st.upright.AWP0, plain.st.upright.AWP0);
    EXPECT_DOUBLE_EQ(hs.st.upright.SWET0, plain.st.upright.SWET0);
}

// ---------------------------------------------------------------------------------------------
// Box barges, put directly in the prepared axes: rectangular sections of half-breadth b(x) and
// draft T on a flat keel, immersed from end to end.

constexpr double kBargeSheer = 0.5;  // sheer height above the waterline

void buildBarge(CaseState& st, int stations, double xAft, double xFwd, const std::function<double(double)>& b, double T) {
    const double sheer = kBargeSheer;
    PreparedHull& h = st.hull;
    st.raw.NST = stations;
    st.input.KSTYPE = st.input.RSTYPE = 100;
    double largest = -1.0;
    for (int K = 0; K < stations; ++K) {
        const auto k = static_cast<std::size_t>(K);
        const double x = xAft + (xFwd - xAft) * K / (stations - 1);
        h.XST[k] = x;
        for (int i = 0; i <= 150; ++i) {
            const auto p = static_cast<std::size_t>(i);
            // 50 points across the bottom (heights falling by 1e-13, as the preparation leaves a
            // flat run), 100 up the side to the sheer
            h.YS[k][p] = (i <= 50) ? b(x) * i / 50.0 : b(x);
            h.ZS[k][p] = (i <= 50) ? T - i * 1e-13 : T - 50e-13 - (T + sheer) * (i - 50) / 100.0;
        }
        h.ASECT[k] = 2.0 * b(x) * T;
        if (h.ASECT[k] > largest) {
            largest = h.ASECT[k];
            h.KAMAX = K;
        }
    }
    h.KAFT = 0;
    h.KFWD = stations - 1;
    h.XAKEEL = xAft;
    h.XFKEEL = xFwd;
    h.AMAX = largest;
    st.input.VOLUME = 2.0 * T * simpson(b, xAft, xFwd);
}

// Bound on the error of the depth moment of the partly wetted side segment of the barges (see
// the V hull): 4/27*dl*dz per side, dl = dz = (draft + sheer)/100, over the length.
double bargeMomentBound(double T, double length) {
    const double dz = (T + kBargeSheer) / 100.0;
    return 2.0 * 4.0 / 27.0 * dz * dz * length;
}

TEST(Geopro, FlatKeelHasNoDeepestPoint) {
    Harness hs;
    const double T = 0.4;
    auto b = [](double x) { return 1.0 - 0.05 * x; };  // narrowing forward from x = 0
    buildBarge(hs.st, 21, 0.0, 10.0, b, T);
    ASSERT_EQ(hs.st.hull.KAMAX, 0) << "the sternmost section is the largest";
    const GeoproOutcome g = runGeopro(hs);
    ASSERT_EQ(g.IERR, 0) << hs.console.str();
    const UprightParticulars& u = hs.st.upright;
    // The message, and nothing else: without DIAG the missing breadth maximum goes unnoted.
    EXPECT_EQ(hs.console.str(), " max. draft not found,Tmax = T at max. section assumed\n");
    EXPECT_NEAR(u.TC, T, 1e-12);
    EXPECT_EQ(u.TMAX, u.TC);
    EXPECT_EQ(u.XTMAX, 0.0);
    // The breadth fit takes the stations there are, 0 ... 6 around KAMAX = 0; a straight
    // breadth curve has no slope zero, so the largest breadth is the one at x = 0.
    EXPECT_NEAR(u.BWL, 2.0, 1e-12);
    EXPECT_EQ(u.BMAX, u.BWL);
    EXPECT_NEAR(u.LWL, 10.0, 1e-12);
    EXPECT_NEAR(u.AWP0, 15.0, 1e-9);
    // x*A is a parabola, which the fit with equal end moments reproduces: the centre of buoyancy
    // is exact. The natural fit of x*B errs by the end bound.
    const double xc = simpson([&](double x) { return x * b(x); }, 0.0, 10.0) / 7.5;
    EXPECT_NEAR(u.XLCB, xc, 1e-9);
    EXPECT_NEAR(u.LCFFP, (10.0 - xc) / 10.0, naturalEndBound(0.5, -0.2, -0.2) / (15.0 * 10.0));
    // Wetted girth of a rectangle, both sides, and its depth moment. The surface integrals start
    // from the end values 0 while the sections at the ends are wetted: their Romberg sums
    // converge only to the accepted relative error of 1e-6.
    const double swet = 2.0 * (7.5 + T * 10.0);
    EXPECT_NEAR(u.SWET0, swet, 1e-6 * swet);
    const double moment = 2.0 * T * 7.5 + T * T * 10.0;
    EXPECT_NEAR(g.ZDRAG1, moment / swet, bargeMomentBound(T, 10.0) / swet + 1e-6);
}

TEST(Geopro, BreadthFitShortenedAtTheBow) {
    Harness hs;
    hs.st.run.DIAG = true;
    // Breadth growing towards the bow: the largest section is the forward-most one, with no
    // stations forward of it for the breadth fit.
    auto b = [](double x) { return 1.0 + 0.05 * x; };
    buildBarge(hs.st, 21, -10.0, 0.0, b, 0.4);
    ASSERT_EQ(hs.st.hull.KAMAX, 20);
    const GeoproOutcome g = runGeopro(hs);
    ASSERT_EQ(g.IERR, 0) << hs.console.str();
    const UprightParticulars& u = hs.st.upright;
    EXPECT_EQ(hs.console.str(), " max. draft not found,Tmax = T at max. section assumed\n FEHLER KRAENG BMAX\n");
    EXPECT_NEAR(u.BWL, 2.0, 1e-12);
    EXPECT_EQ(u.BMAX, u.BWL);
    // Waterplane of a wedge planform, centre of flotation at the centroid of the trapezoid.
    EXPECT_NEAR(u.AWP0, 15.0, 1e-9);
    const double xcf = simpson([&](double x) { return x * b(x); }, -10.0, 0.0) / 7.5;
    EXPECT_NEAR(u.LCFFP, -xcf / 10.0, naturalEndBound(0.5, 0.2, 0.2) / (15.0 * 10.0));
    EXPECT_NEAR(u.XLCB, xcf, 1e-9);
}

// ---------------------------------------------------------------------------------------------
// Keel and rudder at rest on the V hull. The keel line is the parabola of depth
// d(x) = -T0 + D*(1 - ((x - xv)/h)^2), symmetric about the stations' middle x = 6; the input
// values are put into the state directly.

struct AppendageCase {
    Harness hs;
    VHull hull = [] {
        VHull v;
        v.flareSlope = 0.3;
        return v;
    }();
    std::unique_ptr<VHullReference> ref;
};

// Keel: constant chord 1, t/c = 0.1, KDEPTH = 1.5, KSECTF = 0.66, sweep 10 deg, the root's
// trailing edge on the station of slot keelSlot (offsets x = keelSlot/4) and its leading edge 1
// forward. Rudder: untapered, chord 0.5, t/c 0.12, span 0.8 below the waterline, its root's
// mid-chord on the station of slot rudderSlot.
void setUp(AppendageCase& c, int KSTYPE, int keelSlot, int rudderSlot) {
    ASSERT_EQ(prepare(c.hs, c.hull), 0) << c.hs.console.str();
    setupKeelTables(c.hs.st.run);
    c.ref = std::make_unique<VHullReference>(c.hull, c.hs.st);
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
const double kStripArea = (kPi / 32.0) / std::tan(kPi / 32.0);       // pi/16 * sum STRW
const double kStripDepthRatio = (1.0 / std::tan(kPi / 16.0)) * std::tan(kPi / 32.0);  // sum STRW*ZSTRIP / sum STRW

TEST(UprightAppendages, KeelAndRudderAtRest) {
    AppendageCase c;
    // Keel root from offsets x = 5.5 to 6.5, centred on the deepest point; rudder at x = 2.
    ASSERT_NO_FATAL_FAILURE(setUp(c, 64, 22, 8));
    const GeoproOutcome g = runGeopro(c.hs);
    ASSERT_EQ(g.IERR, 0) << c.hs.console.str();
    const UprightParticulars& u = c.hs.st.upright;
    const TestPoint& p = c.hs.st.point;
    const PreparedHull& h = c.hs.st.hull;
    const VHullReference& ref = *c.ref;
    const double D = c.hull.D - ref.T0;  // TMAX
    const double zLead = ref.d(6.5), zTrail = ref.d(5.5);
    EXPECT_NEAR(u.KZLEAD, zLead, 1e-9);
    EXPECT_NEAR(u.KZTRAIL, zTrail, 1e-9);
    ASSERT_NEAR(zLead, zTrail, 1e-12) << "the root lies symmetric about the deepest point";
    // Constant chord: the quarter-chord line is parallel to the leading edge.
    EXPECT_NEAR(u.KSWPE, 10.0 * kPi / 180.0, 1e-14);
    EXPECT_NEAR(u.KSPANR, 1.5 + D - zTrail, 1e-9);
    EXPECT_EQ(c.hs.st.input.KDEPTH, 1.5) << "only keel type 63 changes the keel depth";
    // Root region: the triangles between the keel line and the level TMAX over the root, with
    // the deepest point in between.
    EXPECT_NEAR(u.XTMAX, 6.0 - ref.x0, 2e-5);
    const double root = 0.5 * ((D - zLead) * (h.XK0 - u.XTMAX) + (D - zTrail) * (u.XTMAX - h.XK1));
    EXPECT_NEAR(u.KAROOT, root, 1e-9);
    EXPECT_NEAR(u.KAREA, root + 1.001 * 1.0 * 1.5 * kStripArea, 1e-9);
    EXPECT_NEAR(u.KCMEAN, u.KAREA / 1.5, 1e-12);
    EXPECT_NEAR(p.VKEEL, 0.66 * 0.1 * (1.0 * root + 1.0 * 1.5 * kStripArea), 1e-10);
    EXPECT_NEAR(u.KZC, 1.5 * kStripDepthRatio, 1e-12);
    EXPECT_NEAR(u.TMAXK, 1.5 + D, 1e-9);
    EXPECT_EQ(u.KSLOT, 22) << "the station at the root trailing edge itself";
    EXPECT_EQ(u.IRUD, 9) << "the first station strictly forward of the rudder's mid-chord";

    // Rudder: both root corners under the hull, zA (leading edge, x = 2.25) deeper than zB.
    const double zA = ref.d(2.25), zB = ref.d(1.75);
    ASSERT_GT(zB, 0.0);
    EXPECT_NEAR(u.SH2, 0.8 - zB, 1e-9);
    EXPECT_NEAR(u.SH1, 0.8 - zA, 1e-9) << "untapered: the leading edge meets the hull first";
    EXPECT_NEAR(u.AR0, 0.5 * (u.SH1 + u.SH2) * 0.5, 1e-9) << "chord times mean span";
    EXPECT_NEAR(u.CR0, std::hypot(zA - zB, 0.5), 1e-9) << "the hull line across the root";
    EXPECT_NEAR(p.RCWL, 0.5, 1e-14);
    EXPECT_NEAR(p.VRUDD, 0.68 * 0.12 * 0.5 * u.AR0, 1e-10) << "area times section area per chord";
    EXPECT_NEAR(p.RASP, u.SH2 * u.SH2 / u.AR0, 1e-12);

    // The whole yacht.
    EXPECT_NEAR(p.VTOT, c.hs.st.input.VOLUME + p.VKEEL + p.VRUDD, 1e-12);
    EXPECT_NEAR(g.XLCBT, (u.XLCB * c.hs.st.input.VOLUME + p.VKEEL * h.XK2 + p.VRUDD * h.XR2) / p.VTOT, 1e-12);
    EXPECT_NEAR(u.TTOT, D + 1.5, 1e-9);
    EXPECT_NEAR(u.RVK, c.hs.st.input.VOLUME / p.VKEEL, 1e-9);
    EXPECT_NEAR(u.RKT, (u.KZC + D) / std::cbrt(p.VKEEL), 1e-9);
    EXPECT_EQ(u.KTAPER, 1.0);
    EXPECT_NEAR(u.RCMEAN, 0.5, 1e-15);
    EXPECT_NEAR(u.RTCMN, 0.12, 1e-15);
}

TEST(UprightAppendages, Type63KeelDepthCountsFromTheKeelLine) {
    // Keel forward of the deepest point: its leading edge meets the shallower keel line.
    {
        AppendageCase c;
        ASSERT_NO_FATAL_FAILURE(setUp(c, 63, 26, 8));  // root from offsets x = 6.5 to 7.5
        ASSERT_EQ(runGeopro(c.hs).IERR, 0) << c.hs.console.str();
        const UprightParticulars& u = c.hs.st.upright;
        const double D = c.hull.D - c.ref->T0;
        const double zLead = c.ref->d(7.5), zTrail = c.ref->d(6.5);
        ASSERT_LT(zLead, zTrail);
        EXPECT_NEAR(u.KSPANR, 1.5 - zTrail + zLead, 1e-9);
        const double depth = 1.5 - (D - zTrail);
        EXPECT_NEAR(c.hs.st.input.KDEPTH, depth, 1e-9);
        // The strip sums use the reduced depth, the sweep the one read.
        EXPECT_NEAR(u.KAREA - u.KAROOT, 1.001 * depth * kStripArea, 1e-9);
        EXPECT_NEAR(u.KZC, depth * kStripDepthRatio, 1e-9);
        EXPECT_NEAR(u.KSWPE, 10.0 * kPi / 180.0, 1e-14);
        EXPECT_NEAR(u.TMAXK, depth + D, 1e-9);
        EXPECT_EQ(u.KSLOT, 26);
    }
    // Keel aft of the deepest point: the leading edge meets the deeper keel line.
    {
        AppendageCase c;
        ASSERT_NO_FATAL_FAILURE(setUp(c, 63, 16, 8));  // root from offsets x = 4 to 5
        ASSERT_EQ(runGeopro(c.hs).IERR, 0) << c.hs.console.str();
        const UprightParticulars& u = c.hs.st.upright;
        const double D = c.hull.D - c.ref->T0;
        const double zLead = c.ref->d(5.0);
        ASSERT_GT(zLead, c.ref->d(4.0));
        EXPECT_NEAR(u.KSPANR, 1.5, 1e-15);
        EXPECT_NEAR(c.hs.st.input.KDEPTH, 1.5 - (D - zLead), 1e-9);
        EXPECT_EQ(u.KSLOT, 16);
    }
}

// RSECTF times the integral of t(z)*c(z)^2 from the tip to span s, chord and thickness ratio
// linear from (ct, tt) at the tip to (cs, ts) at s.
double rudderVolume(double RSECTF, double s, double ct, double cs, double tt, double ts) {
    return simpson([&](double z) {
        const double c = ct + (cs - ct) * z / s, t = tt + (ts - tt) * z / s;
        return RSECTF * t * c * c;
    }, 0.0, s);
}

TEST(UprightAppendages, RudderBehindTheWaterlineHangsFullyImmersed) {
    // Rudder root from offsets x = 0.25 to 0.75, where the hull lies above the water; tapered
    // from 0.5 at the root to 0.3 at the tip.
    for (const double tipThickness : {0.12, 0.09}) {
        AppendageCase c;
        ASSERT_NO_FATAL_FAILURE(setUp(c, 64, 22, 2));
        CaseInput& in = c.hs.st.input;
        in.RCTIP = 0.3;
        in.RTCTP = tipThickness;
        ASSERT_EQ(runGeopro(c.hs).IERR, 0) << c.hs.console.str();
        const UprightParticulars& u = c.hs.st.upright;
        const TestPoint& p = c.hs.st.point;
        const double zA = c.ref->d(0.75), zB = c.ref->d(0.25);
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
        const double exact = rudderVolume(0.68, 0.8, 0.3, 0.5, tipThickness, 0.12);
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
        AppendageCase c;
        ASSERT_NO_FATAL_FAILURE(setUp(c, 64, 26, 8));
        f.apply(c.hs.st);
        const std::string before = c.hs.console.str();
        EXPECT_EQ(runGeopro(c.hs).IERR, kAppendageAtRest) << f.message;
        EXPECT_EQ(c.hs.console.str().substr(before.size()).rfind(f.message, 0), 0u) << c.hs.console.str();
    }
}

// ---------------------------------------------------------------------------------------------
// The example cruiser-racer against its raw offsets.

struct RawStation {
    double x = 0.0;
    std::vector<double> y, z;  // from the keel point up, z upward
};

std::vector<RawStation> readCountedStations(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line) && line.rfind('*', 0) != 0) {
    }
    int count = 0;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        if (s >> count) break;
    }
    std::vector<RawStation> stations(static_cast<std::size_t>(count));
    for (RawStation& r : stations) {
        int points = 0;
        in >> r.x >> points;
        r.y.resize(static_cast<std::size_t>(points));
        r.z.resize(static_cast<std::size_t>(points));
        for (int j = 0; j < points; ++j) in >> r.y[static_cast<std::size_t>(j)] >> r.z[static_cast<std::size_t>(j)];
    }
    return stations;
}

// One raw section cut at height zw: immersed area, waterline breadth and wetted girth (both
// sides) of the polygon through its points.
struct RawCut {
    double area = 0.0, breadth = 0.0, girth = 0.0;
};

RawCut cutRaw(const RawStation& r, double zw) {
    RawCut c;
    if (r.z.front() >= zw) return c;
    for (std::size_t j = 1; j < r.z.size(); ++j) {
        const double y0 = r.y[j - 1], z0 = r.z[j - 1];
        double y1 = r.y[j], z1 = r.z[j];
        const bool last = z1 >= zw;
        if (last) {
            const double t = (zw - z0) / (z1 - z0);
            y1 = y0 + t * (y1 - y0);
            z1 = zw;
        }
        c.area += 2.0 * 0.5 * (y0 + y1) * (z1 - z0);
        c.girth += 2.0 * std::hypot(y1 - y0, z1 - z0);
        if (last) {
            c.breadth = 2.0 * y1;
            break;
        }
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

    // The raw offsets, and where the prepared hull's axes put them: the keel point of every
    // station is kept as read (sections start on the centre plane), so it gives the waterline
    // height zw = -T0 and the origin x0 of the volume match.
    const std::vector<RawStation> raw = readCountedStations(source / "OFFSETS" / "OFFS_CR3.TXT");
    ASSERT_EQ(static_cast<int>(raw.size()), st.raw.NST);
    const std::size_t mid = raw.size() / 2;
    const double zw = st.hull.ZS[mid][0] + raw[mid].z.front();
    const double x0 = raw[mid].x - st.hull.XST[mid];
    EXPECT_LT(std::fabs(zw), 0.02) << "the example is drawn at its design waterline";

    // Waterline ends by straight interpolation of the keel height between stations, and the
    // sectional curves integrated by the trapezoidal rule between them.
    std::vector<double> xs, area, breadth, girth;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const bool wet = raw[i].z.front() < zw;
        if (i > 0 && wet != (raw[i - 1].z.front() < zw)) {
            const double za = raw[i - 1].z.front(), zb = raw[i].z.front();
            xs.push_back(raw[i - 1].x + (zw - za) / (zb - za) * (raw[i].x - raw[i - 1].x));
            area.push_back(0.0);
            breadth.push_back(0.0);
            girth.push_back(0.0);
        }
        if (!wet) continue;
        const RawCut c = cutRaw(raw[i], zw);
        xs.push_back(raw[i].x);
        area.push_back(c.area);
        breadth.push_back(c.breadth);
        girth.push_back(c.girth);
    }
    auto trapezoid = [&](const std::vector<double>& f, bool moment) {
        double sum = 0.0;
        for (std::size_t i = 1; i < xs.size(); ++i) {
            const double w0 = moment ? xs[i - 1] - x0 : 1.0, w1 = moment ? xs[i] - x0 : 1.0;
            sum += 0.5 * (w0 * f[i - 1] + w1 * f[i]) * (xs[i] - xs[i - 1]);
        }
        return sum;
    };
    const double lwl = xs.back() - xs.front();
    const double awp = trapezoid(breadth, false);
    const double xlcb = trapezoid(area, true) / trapezoid(area, false);
    const double swet = trapezoid(girth, false);
    // Breadth at the largest section (x = 0) between its two neighbouring stations.
    std::size_t j = 1;
    while (xs[j] - x0 < 0.0) ++j;
    const double t = (x0 - xs[j - 1]) / (xs[j] - xs[j - 1]);
    const double bwl = breadth[j - 1] + t * (breadth[j] - breadth[j - 1]);

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
