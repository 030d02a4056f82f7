#include "solver/test_point_driver.h"

#include <algorithm>
#include <cmath>

#include "appendages/reynolds_check.h"
#include "appendages/section_quantities.h"
#include "driver/console_messages.h"
#include "driver/report_writer.h"
#include "driver/table_writer.h"
#include "hydrostatics/heeled.h"
#include "hydrostatics/upright_particulars.h"
#include "platform/fixed_format.h"
#include "solver/delft_range.h"
#include "solver/delft_regression.h"
#include "solver/force_balance.h"
#include "solver/root_search.h"

namespace carinex {

namespace {

constexpr int kAttempts = 5;
constexpr double kAcceptedResidual = 0.001;
constexpr int kRegressionMode = 4;

// What the campaign keeps from the upright state for every test point.
struct Campaign {
    int NSTM1 = 0;
    double XLCBT = 0.0;  // centre of buoyancy of hull, keel and rudder at rest
    double FSK = 0.0;    // keel side force of the regression, kept from point to point
};

UprightBlock uprightBlock(const CaseState& st) {
    const UprightParticulars& u = st.upright;
    const TrialHydrostatics& t = st.trial;
    UprightBlock b;
    b.VOLUME = st.input.VOLUME;
    b.VKEEL = st.point.VKEEL;
    b.VRUDD = st.point.VRUDD;
    b.RHO = st.point.RHO;
    b.SWET0 = u.SWET0;
    b.AWP0 = u.AWP0;
    b.LWL = u.LWL;
    b.BMAX = u.BMAX;
    b.TMAX = u.TMAX;
    b.KDEPTH = st.input.KDEPTH;
    b.CX = t.CXPHI;
    b.CP = t.CPPHI;
    b.CWP = t.CWPPHI;
    b.LCB = u.LCBFP;
    b.LCF = u.LCFFP;
    b.rocker = t.TCLTOH;
    return b;
}

// Where the regression is computed, one warning line per hull parameter
// outside the Delft series.
void writeOutsideDelftSeries(const CaseState& st, std::ostream& out) {
    if (!regressionComputed(st.input.MODE)) return;
    for (const auto& line : delftRangeWarnings(st.upright)) writeFree(out, line);
}

// Upright particulars, the hydrostatics at rest, the report head and the
// table head. Returns the error flag.
int prepareCampaign(CaseState& st, RunFiles& io, Campaign& c) {
    int IERR = 0;
    GEOPRO(st, io, c.NSTM1, st.balance.ZDRAG1, c.XLCBT, IERR);
    if (IERR != 0) {
        if (st.run.DIAG) writeFree(io.console, "Fehler in GEOPRO");
        return IERR;
    }
    TestPoint& p = st.point;
    st.balance.SWET = st.upright.SWET0;
    p.BREFX = 0.5 * st.upright.BWL;
    p.SINKG = p.TRIMW = 0.0;
    p.PHI = p.SINPHI = p.TANPHI = 0.0;
    p.COSPHI = 1.0;
    p.APPON = false;
    KRAENG(st, io, 0.0, true, IERR, c.NSTM1);
    if (IERR != 0) {
        writeFree(io.console, "the hydrostatics of the hull at rest cannot be evaluated");
        return IERR;
    }
    writeReportHeader(io.report(), st.input.TITLE, st.run.CASE);
    const auto last = static_cast<std::size_t>(c.NSTM1);
    const double ratio = st.upright.LWL / (st.hull.XST[last] - st.hull.XST[0]);
    if (ratio < 0.5) writeLengthWarning(io, ratio);
    double VISC = 0.0;
    if (!waterProperties(st.input.IWATER, st.input.TP(3, 1), p.RHO, VISC)) {
        writeFree(io.console, "specify freshwater or seawater");
        return 1;
    }
    writeTableHeader(io.table(), st.input.MODE);
    writeWaterLine(io.report(), st.input.IWATER == 2);
    writeUprightBlock(io.report(), uprightBlock(st));
    writeOutsideDelftSeries(st, io.console);
    st.point.NOTCONV = 0;
    return 0;
}

// Speed, water, appendages, heel, leeway, loads of test point i.
void setTestPoint(CaseState& st, RunFiles& io, const Campaign& c, int i) {
    const CaseInput& in = st.input;
    TestPoint& p = st.point;
    const double PI = st.run.PI;
    p.VBOOT = in.TP(1, i);
    waterProperties(in.IWATER, in.TP(3, i), p.RHO, p.VISC);
    p.VNU = p.VBOOT / p.VISC;
    const bool wanted = in.TP(7, i) == 1.0;
    p.APPON = wanted && in.KSTYPE != 100;
    if (wanted && !p.APPON) writeBareHullNote(io.console);
    if (p.APPON) {
        RECHK(st, io, p.VNU, in.FULLSC);
        p.XCG = c.XLCBT;
        p.VTOT = in.VOLUME + p.VKEEL + p.VRUDD;
        sectionQuantities(st);
    } else {
        p.XCG = st.upright.XLCB;
        p.VTOT = in.VOLUME;
    }
    p.MEXT = in.TP(2, i);
    st.flow.TURBU = std::max(in.TP(4, i), 0.01);
    st.flow.XTRANS = in.TP(5, i) / 1000.0;
    p.PHI = in.TP(6, i) * PI / 180.0;
    p.SINPHI = std::sin(p.PHI);
    p.COSPHI = std::cos(p.PHI);
    p.TANPHI = std::tan(p.PHI);
    p.LEEWAY = in.TP(8, i) * PI / 180.0;
    p.SINLW = std::sin(p.LEEWAY);
    p.COSLW = std::cos(p.LEEWAY);
    p.RUDANG = in.TP(9, i) * PI / 180.0;
    p.FLOADN = -in.TP(10, i);
    p.FNU = p.VBOOT / std::sqrt(st.run.GRAV * st.upright.LWL);
    p.WEIGHT = p.VTOT * p.RHO * st.run.GRAV;
    p.QDYN = 0.5 * p.RHO * p.VBOOT * p.VBOOT;
}

}  // namespace

// Start scales of alternating sign growing with the square of the attempt.
StartScales startScales(int k, double TC) {
    const double s = (k % 2 == 0) ? 1.0 : -1.0;
    return {s * 0.0002 * k * k, s * 0.002 * k * k * TC};
}

AttemptOutcome attemptOutcome(int k, bool NOCONV, int IERR, double RF, double RM) {
    if (!NOCONV && IERR == 0) return AttemptOutcome::Solved;
    if (RM < kAcceptedResidual && RF < kAcceptedResidual) return AttemptOutcome::Accepted;
    if (k == kAttempts) return AttemptOutcome::NotConverged;
    return AttemptOutcome::Restart;
}

std::array<double, 2> equilibriumResidualsOf(const CaseState& st) {
    const TestPoint& p = st.point;
    const BalanceResults& b = st.balance;
    return equilibriumResiduals(b.VDISP, p.RHO, st.run.GRAV, st.app.FZK, st.app.FZR, p.FLOADN, st.app.RTRIM, p.WEIGHT,
                                b.XCB, p.XCG, b.PMOM, st.upright.LWL);
}

namespace {

BroydenVec residualsOfBalance(const CaseState& st) { return equilibriumResidualsOf(st); }

// The force balance at u = (sinkage, trim) in units of the start scales.
// Thrown by the residual when the test point has spent its work budget: the search ends there.
struct PointWorkSpent {};

bool workSpent(const TestPoint& p) {
    return p.EVALS >= kMaxBalanceEvaluationsPerPoint || p.BLRHS >= kMaxLayerEvaluationsPerPoint;
}

BroydenVec balanceAt(CaseState& st, RunFiles& io, int NSTM1, const BroydenVec& u) {
    if (workSpent(st.point)) throw PointWorkSpent{};
    ++st.point.EVALS;
    st.point.SINKG = u[0] * st.point.SINK0;
    st.point.TRIMW = u[1] * st.point.TRIM0;
    BILANZ(st, io, NSTM1);
    return residualsOfBalance(st);
}

// Up to five attempts; RF, RM the residuals of the last one.
// A spent work budget ends the search at its last complete evaluation.
AttemptOutcome solveEquilibrium(CaseState& st, RunFiles& io, const Campaign& c, double& RF, double& RM) {
    st.point.EVALS = 0;
    st.point.BLRHS = 0;
    for (int k = 1;; ++k) {
        int IERR = 0;
        bool NOCONV = false;
        const StartScales start = startScales(k, st.upright.TC);
        st.point.TRIM0 = start.TRIM0;
        st.point.SINK0 = start.SINK0;
        try {
            NULLST(st, io, IERR, NOCONV, c.NSTM1, balanceAt);
        } catch (const PointWorkSpent&) {
            // judged as a search that stalled on its last attempt: accepted when both
            // residuals of the last evaluation are small, else not converged
            const BroydenVec F = residualsOfBalance(st);
            RF = std::fabs(F[0]);
            RM = std::fabs(F[1]);
            return attemptOutcome(kAttempts, true, 0, RF, RM);
        }
        BILANZ(st, io, c.NSTM1);
        const BroydenVec F = residualsOfBalance(st);
        RF = std::fabs(F[0]);
        RM = std::fabs(F[1]);
        const AttemptOutcome outcome = attemptOutcome(k, NOCONV, IERR, RF, RM);
        if (outcome != AttemptOutcome::Restart) return outcome;
        if (st.run.DIAG) writeRestart(io.console);
    }
}

ResistanceRow resistanceRow(const CaseState& st) {
    ResistanceRow r;
    r.FN = st.balance.FN;
    r.RFRIC = st.flow.RFRIC;
    r.FXK = st.app.FXK;
    r.FXR = st.app.FXR;
    r.RHULL = st.app.RHULL;
    r.RTOT = st.balance.RTOT;
    r.RTRIP = st.flow.RSTUD + st.app.STIMK + st.app.STIMR;
    r.FSIDE = st.app.YHULL + st.app.FYK + st.app.FYR;
    r.DTRIM = st.app.DTRIM;
    r.LEEWAY = st.point.LEEWAY;
    r.QDYN = st.point.QDYN;
    r.SWET = st.balance.SWET;
    return r;
}

ParameterRow parameterRow(const CaseState& st, int i) {
    const TrialHydrostatics& t = st.trial;
    ParameterRow p;
    p.VBOOT = st.point.VBOOT;
    p.TTANK = st.input.TP(3, i);
    p.RTOT = st.balance.RTOT;
    p.RHULL = st.app.RHULL;
    p.FXK = st.app.FXK;
    p.FXR = st.app.FXR;
    p.LWLPHI = t.LWLPHI;
    p.BWLPHI = t.BWLPHI;
    p.TCBPHI = t.TCBPHI;
    p.VOLCB = t.VOLCB;
    p.AHSPHI = t.AHSPHI;
    p.AWLPHI = t.AWLPHI;
    p.LCBPHI = t.LCBPHI;
    p.LCFPHI = t.LCFPHI;
    p.LWL1 = t.LWL1;
    p.LWL2 = t.LWL2;
    p.VCB1 = t.VCB1;
    p.WENTER = st.flow.WENTER;
    p.TCLTOH = t.TCLTOH;
    p.UMIN = st.flow.UMIN;
    p.VOLFNZ = t.VOLFNZ;
    p.OVRHNG = t.OVRHNG;
    p.DRFPHI = t.DRFPHI;
    p.BDYN = st.flow.BDYN;
    return p;
}

RegressionRow writeRegressionRowOf(CaseState& st, RunFiles& io, Campaign& c, int i) {
    const RegressionRow row = regressionRow(st, st.input.TP(6, i), st.app.SLOPR, c.FSK);
    writeRegressionRow(io.table(), row);
    return row;
}

// The record of test point i for the files written after the table.
PointRecord pointRecord(const CaseState& st, int i, PointStatus status) {
    const CaseInput& in = st.input;
    PointRecord r;
    r.in = {in.TP(1, i), in.TP(2, i), in.TP(3, i), in.TP(4, i), in.TP(5, i),
            in.TP(6, i), in.TP(7, i) == 1.0, in.TP(8, i), in.TP(9, i), in.TP(10, i)};
    r.status = status;
    r.APPON = st.point.APPON;
    r.FNU = st.point.FNU;
    if (status == PointStatus::RegressionOnly) return r;
    r.row = resistanceRow(st);
    r.LWLPHI = st.trial.LWLPHI;
    r.SINKG = st.point.SINKG;
    r.TRIMW = st.point.TRIMW;
    r.RSTUD = st.flow.RSTUD;
    r.STIMK = st.app.STIMK;
    r.STIMR = st.app.STIMR;
    r.YHULL = st.app.YHULL;
    r.FYK = st.app.FYK;
    r.FYR = st.app.FYR;
    return r;
}

void recordRegression(CaseState& st, int i, PointStatus status, const RegressionRow& row) {
    PointRecord r = pointRecord(st, i, status);
    r.hasRegression = true;
    r.regression = row;
    st.campaign.add(r);
}

void runTestPoint(CaseState& st, RunFiles& io, Campaign& c, int i) {
    setTestPoint(st, io, c, i);
    const int MODE = st.input.MODE;
    if (MODE == kRegressionMode) {
        recordRegression(st, i, PointStatus::RegressionOnly, writeRegressionRowOf(st, io, c, i));
        return;
    }
    double RF = 0.0, RM = 0.0;
    const AttemptOutcome outcome = solveEquilibrium(st, io, c, RF, RM);
    const double behindFP = st.hull.XFKEEL - st.flow.XTR;
    if (outcome == AttemptOutcome::NotConverged) {
        st.point.NOTCONV += 1;
        writeNotConverged(io.console, st.point.FNU, RF, RM);
        writeZeroRow(io.table(), MODE, st.balance.FN);
        st.campaign.add(pointRecord(st, i, PointStatus::NotConverged));
        return;
    }
    if (outcome == AttemptOutcome::Solved) writeSolved(io.console, st.point.FNU, behindFP);
    else writeAccepted(io.console, st.point.FNU, RF, RM, behindFP);
    // diagnostic trace: form factor and peak surface velocity of the equilibrium
    if (st.run.DIAG) writeFree(io.control(), "Testpunkt", i, "FFORM", st.flow.FFORM, "UMAX", st.flow.UMAX);
    const PointStatus status = outcome == AttemptOutcome::Solved ? PointStatus::Solved : PointStatus::Accepted;
    if (MODE >= 1 && MODE <= 3) {
        writeResistanceRow(io.table(), MODE, resistanceRow(st));
        if (st.run.DIAG) writeParameterRow(io.paramet(), parameterRow(st, i));
        st.campaign.add(pointRecord(st, i, status));
    } else {
        recordRegression(st, i, status, writeRegressionRowOf(st, io, c, i));
    }
}

}  // namespace

bool waterProperties(int IWATER, double T, double& RHO, double& VISC) {
    if (IWATER == 1) {
        VISC = 1.0 / ((((-0.044131317 * T + 4.4412554) * T - 39.412906) * T + 21405.223) * T + 556222.39);
        RHO = ((((2.038257e-07 * T - 2.043784e-05) * T + 0.0007529026) * T - 0.01778752) * T + 0.1032678) * T + 999.8059;
        return true;
    }
    if (IWATER == 2) {
        VISC = 1.0 / (((-0.094466647 * T + 95.922848) * T + 18224.219) * T + 546920.72);
        RHO = ((5.097018e-05 * T - 0.007119095) * T - 0.04255668) * T + 1027.957;
        return true;
    }
    return false;
}

void TANK(CaseState& st, RunFiles& io, int NSTM1, int& IERR) {
    Campaign c;
    c.NSTM1 = NSTM1;
    st.campaign.count = 0;
    IERR = prepareCampaign(st, io, c);
    if (IERR != 0) return;
    for (int i = 1; i <= st.input.NTEST; ++i) runTestPoint(st, io, c, i);
    writeOutsideDelftSeries(st, io.report());
}

}  // namespace carinex
