// Hull-form parameters of the two Froude-station regressions, formed anew on
// every call from the heeled trial state and the flow around it. A few
// parameters depend on the station and are refilled before each station's
// regression is evaluated.
#pragma once

#include "driver/case_state.h"
#include "driver/indexing.h"

namespace carinex::regression {

constexpr int kTrimParameters = 44;
constexpr int kResiduaryParameters = 37;
using TrimParameters = OneBased<double, kTrimParameters>;            // P(1) .. P(44)
using ResiduaryParameters = OneBased<double, kResiduaryParameters>;  // Q(1) .. Q(37)

// P of the flow-trim model; the station-dependent entry is set for station 1.
// Slots that no station reads are 0 (slot 40 is read, but nothing sets it).
void fillTrimParameters(const CaseState& st, TrimParameters& P);

// The entry of P that depends on station k: P(39) = OVHF / FN(k)^2.
void refillTrimStation(const CaseState& st, int k, TrimParameters& P);

// Q of the residuary model with flow trim TFLOW; the station-dependent
// entries are set for station 1.
void fillResiduaryParameters(const CaseState& st, double TFLOW, ResiduaryParameters& Q);

// The entries of Q that depend on station k: Q(29), Q(36), Q(37).
void refillResiduaryStation(const CaseState& st, int k, ResiduaryParameters& Q);

// Volume scale S(k) of residuary station k: the effective volume per length
// below FN 0.55 (but the waterplane-based measure at FN 0.35), the canoe-body
// volume per length from FN 0.55 on.
double residuaryScale(const CaseState& st, const ResiduaryParameters& Q, int k);

}  // namespace carinex::regression
