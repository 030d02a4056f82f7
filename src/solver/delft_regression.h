// Resistance and side forces of a test point after the Delft Systematic Yacht
// Hull Series regression (Keuning 2008), written beside the program's own
// results for comparison: REGHUL for the canoe body, REGAPP for keel and
// rudder, both interpolating their coefficient tables (delft_tables.h) over
// the Froude number with POLINT.
#pragma once

#include <span>

#include "driver/case_state.h"
#include "driver/table_writer.h"

namespace carinex {

// Polynomial through the N points (XA, YA), evaluated at X by Neville's
// scheme, starting from the tabulated point nearest to X. DY is the last
// correction added, an estimate of the error. The abscissae must be distinct;
// N is at most kPolintMaxPoints. At a node the result is that node's ordinate
// exactly: every correction on the path through it carries a zero factor.
constexpr int kPolintMaxPoints = 10;
void POLINT(std::span<const double> XA, std::span<const double> YA, int N, double X, double& Y,
            double& DY);

// Canoe body at Froude number FN and heel HEELDEG (degrees): friction
// resistance RV (N) and residuary resistance RR (N) with its heel and
// trim-moment corrections. Reads the upright particulars, RHO, VNU, QDYN,
// PHI, MEXT and SWET.
void REGHUL(const CaseState& st, double FN, double HEELDEG, double& RV, double& RR);

// Keel and rudder at Froude number FN and heel HEELDEG (degrees), with the
// rudder lift-slope factor SLOPR: keel resistance RK (friction, residuary,
// heel and induced parts), rudder friction RRU, keel side force FSK (N); the
// rudder side force goes to st.balance.FSR. With neither leeway nor heel the
// side forces are not computed: FSK and FSR keep the values they hold.
void REGAPP(CaseState& st, double FN, double HEELDEG, double SLOPR, double& RK, double& RRU,
            double& FSK);

// The row of the regression table for the current test point, at FNU:
// REGHUL always, REGAPP when the appendages are on; sets st.balance.RTREG (and
// st.balance.FSR through REGAPP). The row holds FNU, RV, RTREG, the keel and
// rudder side forces (0 for the bare hull) and the leeway in radians, ready
// for writeRegressionRow. FSK is the keel side force carried from one test
// point to the next (start it at 0): a point without leeway and heel reports
// the previous one.
RegressionRow regressionRow(CaseState& st, double HEELDEG, double SLOPR, double& FSK);

}  // namespace carinex
