// The steps of the appendage forces, shared between the keel and hull part
// and the rudder part. Internal to the appendage forces.
#pragma once

#include "driver/case_state.h"

namespace carinex::appfrc {

// What the steps hand on to each other within one call.
struct Work {
    bool lifting = false;      // a lifting-line solution exists
    double AK = 0, A2 = 0;     // keel angle and hull drift, rad
    double CS = 1;             // cosine of the keel's effective sweep
    double AEK = 0;            // effective keel aspect ratio
    double UA = 0, UB = 0;     // velocity ratios on suction and pressure side at the stimulators
    double RECRIT = 0;         // critical stimulator Reynolds number
    double CDST = 0;           // keel stimulator drag coefficient on the keel area
    double TB = 0, FT = 1;     // tip thickening measure and its lift factor
    double SI = 0;             // mean induced angle of the keel
    double CYE = 0;            // keel side-force coefficient less the drag's share
    double CL1 = 0, CD1 = 0;   // root strip: final lift and drag coefficient
    double CY1 = 0, sn1 = 0, cs1 = 1;  // root strip: normal coefficient, sin and cos of its angle
    double XKM = 0;            // x of the keel root mid-chord
    double share = 0.5;        // share of the carried-over lift in the hull's longitudinal force
    double HD = 0;             // immersed hull depth at the keel's leading edge
    double kL = 0;             // share times leeway
    double YH = 0;             // hull side force in hull axes
    double XR = 0;             // x of the rudder's quarter chord at 40 % of its depth
    double EH = 0, EK = 0;     // downwash angles of hull and keel at the rudder
};

// Section lift factor and profile drag of a section family.
double sectionLift(int family, double A0, double RE, double RETRIP, double RECRIT, double ALPHA, bool FULLSC);
double sectionDrag(int family, double RE, double RETRIP, double RECRIT, double CL2, double TC, double ALFDEG,
                   bool FULLSC);

// Downwash of hull and keel at the rudder (EH, EK, XR).
void rudderDownwash(const CaseState& st, Work& w);

// Lift, drag and moment of the rudder; adds its share to the hull side force.
void rudderForces(CaseState& st, double DELR, double TLIFT, Work& w);

}  // namespace carinex::appfrc
