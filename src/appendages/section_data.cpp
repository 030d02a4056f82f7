#include "appendages/section_data.h"

#include <algorithm>
#include <cmath>

#include "appendages/section_interpolation.h"
#include "appendages/section_tables.h"

namespace carinex {

using namespace section_tables;

namespace {

// Above its laminar limit a tank-model section is taken as turbulent even
// without the stimulator's help; the 00-series limit itself is still laminar.
struct LaminarLimit {
    double re;
    bool inclusive;
    bool exceeded(double RE) const { return inclusive ? RE >= re : RE > re; }
};

bool stimulatedFlow(double RE, double RETRIP, double RECRIT, LaminarLimit limit) {
    return RECRIT <= RETRIP || limit.exceeded(RE);
}

struct LiftFamily {
    const LiftSet& stim;
    const LiftSet& lam;
    const LiftSet& full;
    double amaxTank, amaxFull;
    LaminarLimit limit;
};

constexpr LiftFamily kLiftFamily00{kLift00Stim, kLift00Lam, kLift00Full, 0.16, 0.18, {584588.0, false}};
constexpr LiftFamily kLiftFamily63{kLift63Stim, kLift63Lam, kLift63Full, 0.21, 0.18, {1087889.0, true}};
constexpr LiftFamily kLiftFamily64{kLift64Stim, kLift64Lam, kLift64Full, 0.18, 0.18, {1053310.0, true}};

double liftFactor(const LiftFamily& f, double A0, double RE, double RETRIP, double RECRIT, double ALPHA,
                  bool FULLSC) {
    const double x = log10Reynolds(RE);
    const double a = std::min(ALPHA, FULLSC ? f.amaxFull : f.amaxTank);
    const LiftSet& s = FULLSC ? f.full : (stimulatedFlow(RE, RETRIP, RECRIT, f.limit) ? f.stim : f.lam);
    const double p = interpolateStations(s, RE, x, [a](const LiftCurve& c) { return liftPolynomial(c, a); });
    return (1.0 + p) / A0;
}

// ---------------------------------------------------------------- drag

// Reynolds range of a data set, log10 Re.
struct DataRange {
    double lo, hi;
};

// What one evaluation of the drag curves needs to know of the family.
struct DragFamily {
    const DragSet& stim;
    const DragSet& lam;
    const DragSet& full;
    double alimTank, alimFull;  // degrees
    LaminarLimit limit;
    int family;
    DataRange tank, fullRange;
};

constexpr DragFamily kDragFamily00{kDrag00Stim, kDrag00Lam, kDrag00Full, 9.0,  10.0, {584588.0, false}, 0,
                                   {4.778151, 7.0}, {5.079181, 7.845098}};
constexpr DragFamily kDragFamily63{kDrag63Stim, kDrag63Lam, kDrag63Full, 12.0, 10.0, {1087889.0, true}, 63,
                                   {5.0, 7.0}, {5.20412, 7.845098}};
constexpr DragFamily kDragFamily64{kDrag64Stim, kDrag64Lam, kDrag64Full, 10.0, 10.0, {1053309.0, true}, 64,
                                   {5.20412, 6.778151}, {5.20412, 7.845098}};

// Outside the Reynolds range of the data the zero-lift drag is held at its
// end value like the curves, instead of following its polynomial away.
double heldZeroLiftDrag(const DragSet& s, DataRange r, double x) {
    return zeroLiftDrag(s.zero, std::clamp(x, r.lo, r.hi));
}

constexpr std::array<double, 3> kAngles3{0.0, 5.0, 10.0};
constexpr std::array<double, 4> kAngles4{0.0, 2.0, 5.0, 10.0};

// Drag at one squared lift coefficient and angle within the angle limit:
// data set, Reynolds-number shift, curves, thickness correction.
double dragWithinLimit(const DragFamily& f, double RE, double RETRIP, double RECRIT, double CL2, double TC,
                       double ALFDEG, bool FULLSC) {
    double x = log10Reynolds(RE);
    const bool stimulated = !FULLSC && stimulatedFlow(RE, RETRIP, RECRIT, f.limit);
    const DragSet& s = FULLSC ? f.full : (stimulated ? f.stim : f.lam);
    // The 64-series tank data move a section of another thickness along the
    // Reynolds axis (a thinner section behaves like a longer one) and add a
    // constant increment afterwards.
    const bool shift64 = f.family == 64 && !FULLSC && TC != 0.1306;
    if (shift64) {
        x += stimulated ? 0.44813725 - 3.43137255 * TC : 7.1895425 * TC - 0.9389542;
        RE = std::pow(10.0, x);
    }
    double CD = heldZeroLiftDrag(s, FULLSC ? f.fullRange : f.tank, x);
    if (CL2 != 0.0) {
        const double v = interpolateStations(s, RE, x, [CL2](const DragCurve& c) { return dragPolynomial(c, CL2); });
        CD = (f.family == 0 && !FULLSC) ? CD * v : v;  // the 00-series tank curves are factors K(CL2)
    }
    if (shift64) return std::max(0.0, CD + (stimulated ? 0.00718954 * TC - 0.00093895 : 0.0287582 * TC - 0.0037558));
    if (!FULLSC) return CD;
    if (f.family == 0 && TC != 0.12)
        return std::max(0.0, CD + (TC - 0.12) * thicknessIncrement(kThickness00, kAngles3, x, ALFDEG) / 0.03);
    if (f.family == 63 && TC != 0.15)
        return std::max(0.0, CD + (0.15 - TC) * thicknessIncrement(kThickness63, kAngles3, x, ALFDEG) / 0.03);
    if (f.family == 64 && TC != 0.1306)
        return std::max(0.0, CD + (0.1306 - TC) * thicknessIncrement(kThickness64, kAngles4, x, ALFDEG) / 0.0306);
    return CD;
}

// Beyond the angle limit the curves are continued in CL2 along the secant
// through the limit and 0.9 times the limit (where CL2 is 0.81 times as large).
double sectionDrag(const DragFamily& f, double RE, double RETRIP, double RECRIT, double CL2, double TC,
                   double ALFDEG, bool FULLSC) {
    const double alim = FULLSC ? f.alimFull : f.alimTank;
    if (ALFDEG <= alim) return dragWithinLimit(f, RE, RETRIP, RECRIT, CL2, TC, ALFDEG, FULLSC);
    const double r = alim / ALFDEG;
    const double CL2L = CL2 * r * r;
    const double Cd1 = dragWithinLimit(f, RE, RETRIP, RECRIT, CL2L, TC, alim, FULLSC);
    const double Cd2 = dragWithinLimit(f, RE, RETRIP, RECRIT, 0.81 * CL2L, TC, 0.9 * alim, FULLSC);
    return Cd1 + (CL2 - CL2L) * (Cd1 - Cd2) / 0.19;
}

}  // namespace

double SLIF00(double A0, double RE, double RETRIP, double RECRIT, double ALPHA, bool FULLSC) {
    return liftFactor(kLiftFamily00, A0, RE, RETRIP, RECRIT, ALPHA, FULLSC);
}
double SLIF63(double A0, double RE, double RETRIP, double RECRIT, double ALPHA, bool FULLSC) {
    return liftFactor(kLiftFamily63, A0, RE, RETRIP, RECRIT, ALPHA, FULLSC);
}
double SLIF64(double A0, double RE, double RETRIP, double RECRIT, double ALPHA, bool FULLSC) {
    return liftFactor(kLiftFamily64, A0, RE, RETRIP, RECRIT, ALPHA, FULLSC);
}

void SDRG00(double RE, double RETRIP, double RECRIT, double TC, double ALFDEG, double CL2, double& CD,
            bool FULLSC) {
    CD = sectionDrag(kDragFamily00, RE, RETRIP, RECRIT, CL2, TC, ALFDEG, FULLSC);
}
void SDRG63(double RE, double RETRIP, double RECRIT, double CL2, double& CD, double TC, double ALFDEG,
            bool FULLSC) {
    CD = sectionDrag(kDragFamily63, RE, RETRIP, RECRIT, CL2, TC, ALFDEG, FULLSC);
}
void SDRG64(double RE, double RETRIP, double RECRIT, double CL2, double& CD, double TC, double ALFDEG,
            bool FULLSC) {
    CD = sectionDrag(kDragFamily64, RE, RETRIP, RECRIT, CL2, TC, ALFDEG, FULLSC);
}

}  // namespace carinex
