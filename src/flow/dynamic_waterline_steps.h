// The steps of the dynamic waterline (DYNWL), shared by its source files.
#pragma once

#include <cassert>
#include <cstddef>

#include "driver/case_state.h"
#include "flow/wave_profile.h"

namespace carinex::flow::dynwl {

constexpr int kLastSlot = kStationSlots - 1;

inline std::size_t ix(int K) {
    assert(K >= 0 && K <= kStationSlots);
    return static_cast<std::size_t>(K);
}

// One evaluation: the state, the last slot and the wave profile.
struct Dynwl {
    CaseState& st;
    int NSLOT;
    WaveLimits wave;

    const SlotArray& XST() const { return st.hull.XST; }
    double xst(int K) const { return st.hull.XST[ix(K)]; }
    double B(int K) const { return st.flow.BSECD[ix(K)]; }
    // Takes slot K out of the dynamic run.
    void dry(int K) const {
        FlowResults& f = st.flow;
        f.BSECD[ix(K)] = 0.0;
        if (K <= kLastSlot) f.ASECD[ix(K)] = f.GIRTHD[ix(K)] = 0.0;
    }
};

// Forward end XFDYN and the slot ISTD2.
void forwardEnd(Dynwl& d);
// Aft end XADYN and the slot ISTD1.
void aftEnd(Dynwl& d);

}  // namespace carinex::flow::dynwl
