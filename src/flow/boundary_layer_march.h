// The state of the boundary-layer march (BLAYER): the girth and area along the dynamic
// waterline, the edge flow, the regime of the layer with its transition zone and thick-stern
// model, and the right-hand sides of the boundary-layer equations (BLDERV) for the integrator.
#pragma once

#include <array>
#include <cstddef>

#include "driver/case_state.h"
#include "flow/boundary_layer_steps.h"
#include "flow/bulirsch_stoer.h"

namespace carinex::blayer {

// Girth and section area along the dynamic waterline, linear between the slots, from the bow
// (where both vanish) to the aft end.
class SlotLine {
public:
    explicit SlotLine(const CaseState& st) {
        const FlowResults& f = st.flow;
        add(f.XFDYN, 0.0, 0.0);
        for (int K = f.ISTD2 - 1; K >= f.ISTD1 && K >= 0; --K) {
            const auto k = static_cast<std::size_t>(K);
            add(slotX(st, K), f.GIRTHD[k], f.ASECD[k]);
        }
        for (int i = 1; i < n_; ++i) {
            if (!(x_[static_cast<std::size_t>(i)] < x_[static_cast<std::size_t>(i - 1)])) falling_ = false;
        }
    }
    static double slotX(const CaseState& st, int K) {
        return K == st.flow.ISTD1 ? st.flow.XADYN : st.hull.XST[static_cast<std::size_t>(K)];
    }
    double girth(double x) const { return interpolate(G_, x); }
    double area(double x) const { return interpolate(A_, x); }

private:
    static constexpr int kCapacity = kStationSlots + 1;
    void add(double x, double G, double A) {
        const auto i = static_cast<std::size_t>(n_++);
        x_[i] = x;
        G_[i] = G;
        A_[i] = A;
    }
    double interpolate(const std::array<double, kCapacity>& v, double x) const {
        if (n_ == 1 || x >= x_[0]) return v[0];
        const int i = firstAtOrAft(x);
        if (i < n_) {
            const auto b = static_cast<std::size_t>(i), a = b - 1;
            const double span = x_[a] - x_[b];
            return span > 0.0 ? v[b] + (v[a] - v[b]) * (x - x_[b]) / span : v[b];
        }
        return v[static_cast<std::size_t>(n_ - 1)];
    }
    // The first node i >= 1 with x >= x_[i] (n_ when there is none), for x < x_[0]. The march
    // asks for nearly the same x again and again: with strictly falling nodes the last answer
    // is checked first, which finds the same node as the scan from the bow.
    int firstAtOrAft(double x) const {
        const int h = last_;
        if (falling_ && h >= 1 && h < n_ && x >= x_[static_cast<std::size_t>(h)] &&
            x < x_[static_cast<std::size_t>(h - 1)])
            return h;
        int i = 1;
        while (i < n_ && !(x >= x_[static_cast<std::size_t>(i)])) ++i;
        last_ = i;
        return i;
    }
    int n_ = 0;
    std::array<double, kCapacity> x_{}, G_{}, A_{};
    bool falling_ = true;   // nodes strictly falling from the bow
    mutable int last_ = 1;  // node of the last interpolation: a search hint, not a result
};

// The march: the state of the layers, the regime, and the right-hand sides for the integrator.
class March final : public OdeSystem {
public:
    March(const CaseState& state, double VBOOT, int NST) : st(state), line(state) {
        const FlowResults& f = st.flow;
        edge.SELLI = f.SELLI;
        edge.VSCOEF = f.VSCOEF;
        edge.VSP = f.VSP;
        edge.SR = f.SR.data;
        edge.DSCOEF = f.DSCOEF;
        edge.DSP = f.DSP;
        edge.NST = NST;
        edge.VBOOT = VBOOT;
        VISC = st.point.VISC;
        TURBU = f.TURBU;
        DTRANS = f.DTRANS;
    }
    void derivatives(double s, const OdeState& y, OdeState& dyds) override;
    EdgeFlow edgeAt(double s) { return edge.at(s, hintU, hintR); }
    LayerPoint pointAt(double s, const OdeState& y);
    // The current interval: x falls linearly with s from xa at sa.
    void setInterval(double x1, double s1, double dx, double ds) {
        xa = x1;
        sa = s1;
        dxds = dx / ds;
    }
    double xOf(double s) const { return xa - (s - sa) * dxds; }

    const CaseState& st;
    SlotLine line;
    EdgeSplines edge;
    int hintU = 1, hintR = 1;
    double VISC = 0, TURBU = 0, DTRANS = 0;
    Regime regime = Regime::Laminar;
    TransitionZone zone;
    ThickStern stern;
    double xa = 0, sa = 0, dxds = 1;
    long long evaluations = 0;  // right-hand sides evaluated by this march
    long long allowance = 0;    // what the test point's work budget leaves for them
    bool spent() const { return evaluations > allowance; }
};

// Right-hand sides of the boundary-layer equations in the current regime.
void BLDERV(March& m, double s, const OdeState& y, OdeState& dyds);

}  // namespace carinex::blayer
