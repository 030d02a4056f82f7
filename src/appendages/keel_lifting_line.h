// Spanwise lift of the keel: a lifting line of the keel and its mirror image
// in the hull, solved by Multhopp's quadrature (15 stations, symmetric
// loading) in the plane where the heeled hull section, replaced by an
// ellipse, has been mapped onto a slit. Two load cases are solved, unit keel
// angle and unit hull drift, and their results interpolated back to the 8
// keel strips.
#pragma once

#include <ostream>

#include "driver/case_state.h"

namespace carinex {

constexpr int kNoHullSection = 160;  // the hull section at the keel gives no ellipse

// Fills CLAK, CLA2, AIAK, AIA2, UPWK, INCK, CLRCOR, HCARRY and DRFFAC from
// the keel geometry, KARF, SLOPK and the heeled hull section at the keel
// (KRA, KRY1, KRY2, KRZ2, KRYD, KRZD, KRZK). SWEEP is the effective sweep of
// the keel's reference line; CS returns its cosine. IERR is 150 when the
// influence matrix is singular and kNoHullSection when the hull section at
// the keel has no immersed depth or area; the coefficient arrays are then
// left as they were.
void KLLINE(CaseState& st, std::ostream& console, double PI, double PHI, int& IERR, double SWEEP, double& CS);

}  // namespace carinex
