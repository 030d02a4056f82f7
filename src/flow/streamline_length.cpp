#include "flow/streamline_length.h"

#include <cassert>
#include <cmath>
#include <cstddef>

#include "platform/fixed_format.h"

namespace carinex {

namespace {

constexpr int kLastNodeSlot = kStationSlots - 2;  // slots beyond the bow are filled up to here

// One waterline: its ends and the per-slot sections below it.
struct Waterline {
    double XF, XA;
    int I1, I2;
    const SlotArray& ASEC;
    const SlotArray& GIRTH;
};

double meanDepth(const Waterline& w, int K) {
    const auto k = static_cast<std::size_t>(K);
    return w.GIRTH[k] == 0.0 ? 0.0 : 2.0 * w.ASEC[k] / w.GIRTH[k];
}

void measure(CaseState& st, RunFiles& io, const Waterline& w, const char* failure) {
    FlowResults& f = st.flow;
    const SlotArray& XST = st.hull.XST;
    assert(w.I1 >= 0 && w.I2 < kStationSlots && w.I2 - w.I1 >= 1);
    const auto at = [](int K) { return static_cast<std::size_t>(K); };
    for (int K = w.I2 + 1; K <= kLastNodeSlot; ++K) {
        f.XSL[at(K)] = XST[at(K)];
        f.SLEN[at(K)] = 0.0;
    }
    f.XSL[at(w.I2)] = w.XF;
    f.SLEN[at(w.I2)] = 0.0;
    double Dfwd = 0.0;  // mean depth at the bow end
    for (int K = w.I2 - 1; K >= w.I1; --K) {
        const double D = meanDepth(w, K);
        double dx = XST[at(K + 1)] - XST[at(K)];
        if (K == w.I2 - 1) dx = w.XF - XST[at(K)];
        if (K == w.I1) dx = XST[at(K + 1)] - w.XA;
        const double dz = Dfwd - D;
        f.SLEN[at(K)] = f.SLEN[at(K + 1)] + std::sqrt(dx * dx + dz * dz);
        f.XSL[at(K)] = XST[at(K)];
        Dfwd = D;
    }
    f.XSL[at(w.I1)] = w.XA;
    const int n = w.I2 - w.I1 + 1;
    const int IERR = flow::fitNatural(n, flow::nodes(f.XSL, w.I1, n), flow::nodes(f.SLEN, w.I1, n), f.SLCOEF, f.SLP);
    if (IERR != 0 && st.run.DIAG) writeFree(io.console, failure);
}

}  // namespace

void SLAUF(CaseState& st, RunFiles& io, int NST) {
    const TrialHydrostatics& t = st.trial;
    assert(NST == t.ISTA2 - t.ISTA1 + 1);
    (void)NST;
    measure(st, io, {t.XFPHI, t.XAPHI, t.ISTA1, t.ISTA2, t.ASEC, t.GIRTH}, "Fehler in SLAUF");
}

void SLAUF2(CaseState& st, RunFiles& io) {
    const FlowResults& f = st.flow;
    measure(st, io, {f.XFDYN, f.XADYN, f.ISTD1, f.ISTD2, f.ASECD, f.GIRTHD}, "Fehler in SLAUF2");
}

namespace flow {

SplineRef streamlineLength(const CaseState& st) {
    const FlowResults& f = st.flow;
    return splineOf(f.NSTD, nodes(f.XSL, f.ISTD1, f.NSTD), f.SLCOEF, f.SLP);
}

}  // namespace flow

}  // namespace carinex
