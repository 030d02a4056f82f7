#include "flow/dynamic_waterline.h"

#include "flow/dynamic_waterline_steps.h"
#include "flow/streamline_length.h"
#include "hydrostatics/section_cut.h"

namespace carinex {

namespace flow {

namespace {

// The end fits need six station intervals of wet run between the two dry ends.
constexpr int kShortestRun = 6;
constexpr double kDrySection = 1e-06;  // of BWL*TC: below it a section counts as dry

void copyStaticWaterline(CaseState& st) {
    FlowResults& f = st.flow;
    const TrialHydrostatics& t = st.trial;
    f.XADYN = t.XAPHI;
    f.XFDYN = t.XFPHI;
    f.ISTD1 = t.ISTA1;
    f.ISTD2 = t.ISTA2;
    f.NSTD = t.ISTA2 - t.ISTA1 + 1;
    f.ASECD = t.ASEC;
    f.GIRTHD = t.GIRTH;
    for (int K = 0; K <= dynwl::kLastSlot; ++K) f.BSECD[dynwl::ix(K)] = t.BSEC[dynwl::ix(K)];
    f.BSECD[dynwl::ix(kStationSlots)] = 0.0;
}

void setStart(CaseState& st, double XTRIAL) { st.flow.SSTART = streamlineLength(st).value(st.flow.XFDYN - XTRIAL); }

}  // namespace

void staticAsDynamicWaterline(CaseState& st, double XTRIAL) {
    FlowResults& f = st.flow;
    copyStaticWaterline(st);
    // flat water: no wave profile
    f.HCREST = f.HTROU = f.HSTERN = 0.0;
    f.XCREST = f.XTROU = 0.0;
    f.WAVA = f.WAVB = f.WAVC = f.SLAFT = f.ZAFT = 0.0;
    setStart(st, XTRIAL);
}

namespace dynwl {

namespace {

// Every slot cut at the local level of the raised surface; the dry runs at the stern and
// forward of the wetted run give the first estimates of the end slots.
void cutSections(Dynwl& d) {
    CaseState& st = d.st;
    FlowResults& f = st.flow;
    const TestPoint& p = st.point;
    const double tiny = kDrySection * st.upright.BWL * st.upright.TC;
    f.ISTD1 = -1;
    f.ISTD2 = d.NSLOT + 1;
    for (int K = 0; K <= d.NSLOT; ++K) {
        const double x = d.xst(K);
        const double Z0 = p.SINKG - (p.TRIMW * x + waveElevation(f, d.wave, x)) / p.COSPHI;
        const SectionCut c = cutSection(st, K, Z0);
        f.BSECD[ix(K)] = c.BSEC;
        f.GIRTHD[ix(K)] = c.GIRTH;
        f.ASECD[ix(K)] = c.ASEC;
        if (c.BSEC > 0.0 && c.ASEC > tiny) continue;
        d.dry(K);
        if (K == f.ISTD1 + 1) {
            f.ISTD1 = K;
        } else if (f.ISTD1 < K && f.ISTD2 == d.NSLOT + 1) {
            f.ISTD2 = K;
        }
    }
    for (int K = d.NSLOT + 1; K <= kStationSlots; ++K) d.dry(K);
}

}  // namespace

}  // namespace dynwl

}  // namespace flow

void DYNWL(CaseState& st, RunFiles& io, int NSLOT, double XTRIAL, double PABS) {
    using namespace flow;
    using namespace flow::dynwl;
    FlowResults& f = st.flow;
    Dynwl d{st, NSLOT, waveProfile(st, PABS)};
    cutSections(d);
    if (f.ISTD2 - f.ISTD1 < kShortestRun) {
        // The raised surface leaves too short a run for the end tables: the wetted length stays
        // that of the static waterline (the wave profile is kept).
        copyStaticWaterline(st);
        setStart(st, XTRIAL);
        return;
    }
    forwardEnd(d);
    aftEnd(d);
    f.NSTD = f.ISTD2 - f.ISTD1 + 1;
    SLAUF2(st, io);
    setStart(st, XTRIAL);
}

}  // namespace carinex
