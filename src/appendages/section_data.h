// Empirical section data of the three keel and rudder section families
// (0 = four-digit 00-series, 63 = 63-series, 64 = 64-series), each in two
// data sets: a tank model fitted with turbulence stimulators (laminar and
// stimulated curves) and a full-scale yacht.
//
// All functions are pure: they read only their arguments and the constant
// tables, so they may be called from anywhere in the force balance.
#pragma once

namespace carinex {

// Section lift factor F: the ratio by which the non-linear section lift
// departs from the linear lift at the angle of attack, divided by the strip's
// lift-slope factor.
//   A0      lift-slope factor of the strip or rudder (SLOPK(i) or SLOPR)
//   RE      Reynolds number on the strip chord
//   RETRIP  Reynolds number formed at the turbulence stimulator
//   RECRIT  critical stimulator Reynolds number; RECRIT <= RETRIP means
//           stimulated (turbulent) flow in the tank-model set
//   ALPHA   magnitude of the angle of attack, radians (clamped inside)
//   FULLSC  true: full-scale data set, false: tank-model data set
// Returns F = (1 + p(ALPHA, RE)) / A0.
double SLIF00(double A0, double RE, double RETRIP, double RECRIT, double ALPHA, bool FULLSC);
double SLIF63(double A0, double RE, double RETRIP, double RECRIT, double ALPHA, bool FULLSC);
double SLIF64(double A0, double RE, double RETRIP, double RECRIT, double ALPHA, bool FULLSC);

// Section profile drag coefficient CD (output) from the squared lift
// coefficient CL2 (>= 0), the Reynolds number RE, the thickness ratio TC and
// the angle of attack ALFDEG in degrees (>= 0). Above the angle limit of the
// data set the drag is extrapolated in CL2. Never negative.
//
// RE is taken by value: the thickness shift of the Reynolds number that the
// 64-series tank-model data apply stays local, so the caller's value is never
// altered and a scratch copy is not needed (passing one is harmless).
void SDRG00(double RE, double RETRIP, double RECRIT, double TC, double ALFDEG, double CL2,
            double& CD, bool FULLSC);
void SDRG63(double RE, double RETRIP, double RECRIT, double CL2, double& CD, double TC,
            double ALFDEG, bool FULLSC);
void SDRG64(double RE, double RETRIP, double RECRIT, double CL2, double& CD, double TC,
            double ALFDEG, bool FULLSC);

// Lift-slope factor (ratio of the section lift slope to 2 pi) of a section of
// family ITYPE at Reynolds number RE; RUDDER selects the rudder curve of the
// 64-series tank-model data (keel and rudder differ there only).
double sectionLiftSlope(int ITYPE, double RE, bool FULLSC, bool RUDDER);

// Maximum section lift coefficient from the thickness ratio (all families).
double sectionMaxLift(double TC);

}  // namespace carinex
