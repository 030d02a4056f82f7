// Interim section data for the appendage forces until the tabulated section
// data are built in: linear lift, a parabolic drag polar. Removed when the
// real data arrive.
#include "appendages/section_data.h"

namespace carinex {

namespace {
double interimDrag(double CL2) { return 0.0065 + 0.008 * CL2; }
}  // namespace

double SLIF00(double A0, double, double, double, double, bool) { return 1.0 / A0; }
double SLIF63(double A0, double, double, double, double, bool) { return 1.0 / A0; }
double SLIF64(double A0, double, double, double, double, bool) { return 1.0 / A0; }

void SDRG00(double, double, double, double, double, double CL2, double& CD, bool) { CD = interimDrag(CL2); }
void SDRG63(double, double, double, double CL2, double& CD, double, double, bool) { CD = interimDrag(CL2); }
void SDRG64(double, double, double, double CL2, double& CD, double, double, bool) { CD = interimDrag(CL2); }

double sectionLiftSlope(int, double, bool, bool) { return 0.95; }
double sectionMaxLift(double) { return 1.2; }

}  // namespace carinex
