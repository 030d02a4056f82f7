// Root search for the floating equilibrium: a globally convergent Broyden
// method in two unknowns (quasi-Newton with a QR-factorised Jacobian, rank-one
// secant updates of the factors, backtracking line search on the merit
// function f = 1/2 (F1^2 + F2^2)).
//
// Two layers, as model and solver are kept apart everywhere in the program:
//   broydenSolve  the solver proper. It sees two unknowns u and a callback
//                 F(u) -> (F1, F2); it knows nothing about the yacht except
//                 that the second unknown is a multiplier of a trim scale
//                 whose product a full step may not push beyond a cap.
//   NULLST        the equilibrium search of one test point: unknowns are the
//                 multipliers of SINK0 and TRIM0, the residuals come from the
//                 caller (one force balance per evaluation), messages go to
//                 the console.
#pragma once

#include <array>
#include <functional>
#include <vector>

namespace carinex {

struct CaseState;
class RunFiles;

using BroydenVec = std::array<double, 2>;

// One residual evaluation F(u). The solver calls it once per trial point and
// never stores it; a callable that captures at most two pointers is held
// without allocation.
using BroydenResidual = std::function<BroydenVec(const BroydenVec& u)>;

// Constants of the search. forEps() gives the tolerances tied to the machine
// precision of the run (TOLX = 100 EPS, HSTEP = 100 sqrt(EPS)).
struct BroydenSettings {
    double EPS = 8.881784197001252e-16;  // 2^-50: relative noise of a residual
    double TOLF0 = 1e-9;    // start already in balance when max|Fi| is below it
    double TOLF = 1e-7;     // converged when max|Fi| is below it after a step
    double TOLMIN = 1e-9;   // relative gradient below it: spurious minimum of f
    double TOLX = 100 * 8.881784197001252e-16;     // smallest relative step
    double HSTEP = 100 * 2.9802322387695312e-08;   // relative difference step
    double STPMX = 100;     // longest step in u
    double TRIMCAP = 0.2;   // largest |u2 * trimScale| a full step may reach
    double ALF = 1e-4;      // sufficient decrease of f in the line search
    int MAXITS = 200;       // iteration limit
    double trimScale = 0;   // scale of the second unknown (TRIM0); 0: no cap

    static BroydenSettings forEps(double EPS, double trimScale);
};

// A diagonal element of R that was exactly zero and has been replaced by
// 1e-10: iteration k (1-based) and the row (1 or 2).
struct BroydenSingularEvent {
    int iteration = 0;
    int row = 0;
};

enum class BroydenStop {
    InitialBalance,    // max|Fi| < TOLF0 at the start: one evaluation, converged
    ResidualTolerance, // max|Fi| < TOLF after an accepted step: converged
    SmallStep,         // relative step below TOLX: not converged
    LineSearchFailed,  // failed line search on a fresh Jacobian: not converged
    SpuriousMinimum,   // failed line search at a minimum of f that is no root
    IterationLimit,    // MAXITS iterations without a decision
};

struct BroydenOutcome {
    BroydenVec u{};    // last accepted point
    BroydenVec F{};    // residuals at u
    double f = 0;      // merit at u
    // NOCONV as last set by the search. At the iteration limit it has been set
    // only if some line search failed on the way (NOCONVSet tells).
    bool NOCONV = false;
    bool NOCONVSet = false;
    bool iterationLimit = false;
    BroydenStop stop = BroydenStop::IterationLimit;
    int iterations = 0;    // iterations begun (0 when the start was in balance)
    int evaluations = 0;   // calls of the residual
    int jacobians = 0;     // forward-difference Jacobians built
    int backtracks = 0;    // line-search trials after the full step of an iteration
    std::vector<BroydenSingularEvent> singular;
};

// Called at once when a diagonal element of R is found exactly zero, so that
// a message keeps its place among the residual's own output.
using BroydenSingularHook = std::function<void(const BroydenSingularEvent&)>;

// Drives F(u) to zero from `start`.
BroydenOutcome broydenSolve(const BroydenResidual& residual, const BroydenSettings& settings,
                            const BroydenVec& start = {1.0, 1.0},
                            const BroydenSingularHook& onSingular = {});

// Residuals of the equilibrium at the multipliers u, evaluated by the caller:
// it sets SINKG = u1*SINK0, TRIMW = u2*TRIM0, runs the force balance with
// NSTM1 and returns (F1, F2), usually through equilibriumResiduals().
using ResidualFunction =
    std::function<BroydenVec(CaseState& st, RunFiles& io, int NSTM1, const BroydenVec& u)>;

// Sinkage and trim of the floating equilibrium of the current test point,
// searched from u = (1, 1). On return SINKG = u1*SINK0 and TRIMW = u2*TRIM0
// at the last accepted point; NOCONV is true when the search stopped without
// meeting the residual tolerance; IERR = 12 after the iteration limit, else
// unchanged. A zero diagonal of the factor R is always reported on the
// console; the iteration limit only with DIAG.
void NULLST(CaseState& st, RunFiles& io, int& IERR, bool& NOCONV, int NSTM1, const ResidualFunction& residuals);

// The two residuals of the equilibrium:
//   F1 = (VDISP*RHO*GRAV + FZK + FZR + FLOADN + RTRIM) / WEIGHT - 1
//        vertical-force imbalance relative to the weight,
//   F2 = 10*((XCB - XCG) - PMOM/(VDISP*RHO*GRAV)) / LWL
//        moment imbalance as a lever, relative to a tenth of the waterline length.
BroydenVec equilibriumResiduals(double VDISP, double RHO, double GRAV, double FZK, double FZR, double FLOADN,
                                double RTRIM, double WEIGHT, double XCB, double XCG, double PMOM, double LWL);

}  // namespace carinex
