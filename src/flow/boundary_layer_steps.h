// The pieces of the boundary-layer march (BLAYER), shared by its source files: the closure
// relations of the laminar and the turbulent layer (BLDERV), the transition test and the
// turbulent start (TRANSI), the intermittent zone, the thick-stern model and the stimulator drag.
//
// The march state holds all layers at once; a component that takes no part in the current regime
// has derivative 0. In the transition zone the laminar and the turbulent layer run side by side
// and are blended by the intermittency.
#pragma once

#include <span>

#include "driver/case_state.h"
#include "flow/bulirsch_stoer.h"

namespace carinex::blayer {

enum Component : int {
    kThetaL = 0,  // laminar momentum thickness
    kDelta3,      // laminar energy thickness
    kThetaT,      // turbulent momentum thickness
    kShape,       // turbulent shape factor H
    kEntrain,     // entrainment coefficient CE
    kSpread5,     // lateral spreading of the turbulent wedge (Y5, enters the intermittency)
    kSpread6,     // its companion Y6
    kAreaTheta,   // momentum area of the thick stern layer
};

enum class Regime { Laminar, Transitional, Turbulent, ThickStern };

// Edge velocity U (m/s), its slope along the streamline, and the mean depth R that plays the part
// of the body radius, with its slope.
struct EdgeFlow {
    double U = 0, dU = 0, R = 0, dR = 0;
    double gradU() const { return U > 0.0 ? dU / U : 0.0; }
    double gradR() const { return R > 0.0 ? dR / R : 0.0; }
};

// The velocity spline VSURF over SELLI and the mean-depth spline DSR over SR.
struct EdgeSplines {
    std::span<const double> SELLI, VSCOEF, VSP;
    std::span<const double> SR, DSCOEF, DSP;
    int NST = 0;      // nodes of the mean-depth spline
    double VBOOT = 0;
    EdgeFlow at(double s, int& hintU, int& hintR) const;
    double velocityRatio(double s, int& hintU) const;
};

// Laminar closure at momentum thickness theta and energy thickness delta3.
struct LaminarLayer {
    double H12 = 0, cfHalf = 0, dTheta = 0, dDelta3 = 0;
    bool separated = false;
};
LaminarLayer laminarLayer(double theta, double delta3, const EdgeFlow& e, double VISC);
double laminarShapeFactor(double H32);

// Turbulent closure of the lag-entrainment method at (theta, H, CE).
struct TurbulentLayer {
    double theta = 0, H = 0, cfHalf = 0, CF = 0, H1 = 0, G0 = 0, Q = 0;
    double dTheta = 0, dH = 0, dCE = 0;
};
TurbulentLayer turbulentLayer(double theta, double H, double CE, const EdgeFlow& e, double VISC, double TURBU,
                              double DTRANS);
double turbulentCf0(double Retheta);

// The transition zone, fixed at the transition point.
struct TransitionZone {
    bool forced = false;
    double st = 0, Ret = 0, NS = 0;  // streamline length, Reynolds number and spot rate there
    int k = 1;                       // exponent of the spot-production term
    double tanAlpha = 0, q = 0;      // spreading half-angle and spot speed ratio
    double W = 0;                    // turbulent share of the girth behind the stimulator
};

// Natural transition test after a laminar substep.
bool naturalTransition(const LaminarLayer& lam, double theta, double delta3, const EdgeFlow& e, double VISC,
                       double TURBU);
double pohlhausenLambda(double H12);
double pohlhausenVelocity(double eta, double Lambda);
double spotProductionRate(double theta, double H12, double U, double HS, double VISC, double TURBU);
// Transition at s: forced there by the stimulator, or natural when the laminar state y meets the
// onset criterion (tested only after a substep). On transition starts the turbulent layer in y
// and the zone, with G the girth there, and returns true.
bool TRANSI(OdeState& y, TransitionZone& zone, bool forced, bool afterStep, double s, const EdgeFlow& e,
            const CaseState& st, double G);
double intermittency(const TransitionZone& zone, double Y5, double s, double U, double VISC);

// Thick-stern model for the momentum area, fixed at the switch.
struct ThickStern {
    double HAsw = 0, C = 0, DSW = 0, P = 0, cfSw = 0, XADYN = 0;
    double D(double x) const { return x > XADYN ? x - XADYN : 0.0; }
    double HA(double x) const;
    double cfHalf(double x) const;
};
// Thickness of the layer whose area (0.5*k*t + R)*t is A.
double thicknessOfArea(double A, double R, double k);

// Everything known of the layer at one point of the march.
struct LayerPoint {
    EdgeFlow edge;
    double x = 0;
    double theta = 0, deltaStar = 0, H12 = 0, cfHalf = 0;  // blended values
    double weight = 0;                                      // turbulent share of the blend
    LaminarLayer lam;
    TurbulentLayer turb;
    double thetaL = 0;
};

// Stimulator drag at the stud row, from the layer there.
double studDrag(const CaseState& st, const LayerPoint& p, double Gs);

}  // namespace carinex::blayer
