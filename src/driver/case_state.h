// The case state: every quantity of one run, in one record passed by
// reference to each routine. Groups follow the order in which a run fills
// them; members keep the names the formulas use. Storage is fixed size, so
// nothing is allocated per test point or per evaluation of the balance.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "driver/indexing.h"

namespace carinex {

constexpr int kMaxRawStations = 70;   // stations the readers can hold
constexpr int kMaxRawPoints = 400;    // points per raw section
constexpr int kMaxStations = 52;      // stations the run accepts
constexpr int kStationSlots = 53;     // prepared slots 0 .. 52
constexpr int kSectionPoints = 151;   // prepared points 0 .. 150
constexpr int kMaxTestPoints = 250;
constexpr int kTestColumns = 10;
constexpr int kKeelStrips = 8;
constexpr int kTipStations = 5;       // abscissae of the keel tip-correction table
constexpr double kAbsent = 1e9;       // marks a raw point or station that is absent

using SlotArray = std::array<double, kStationSlots>;
using Section = std::array<double, kSectionPoints>;
using SectionTable = std::array<Section, kStationSlots>;

// Tables of the keel's lifting-line method, fixed at start-up.
struct KeelTables {
    OneBased<double, kKeelStrips> THETA;   // spanwise station angle, pi/2 at the root
    OneBased<double, kKeelStrips> COSTH;   // cos(theta): depth ratio along the span
    OneBased<double, kKeelStrips> SINTH;   // sin(theta): elliptic shape value h
    OneBased2D<double, kKeelStrips, kKeelStrips> MULTB;  // Multhopp influence matrix B(v,n)
    std::array<double, kTipStations> TIPX{};              // tip-table abscissae (taper ratio)
    OneBased2D<double, kTipStations, kKeelStrips> TIPTAB; // TIPTAB(m,i): value m of strip i
    OneBased2D<double, kTipStations, kKeelStrips> TIPY2;  // natural-spline second derivatives
};

struct RunConstants {
    double PI = 3.141592653589793;
    double EPS = 8.881784197001252e-16;  // 2^-50
    double GRAV = 9.8055;
    bool DIAG = false;
    std::string CASE;                    // three characters, blank padded
    OneBased<double, kKeelStrips> STRW;  // keel strip weights
    OneBased<double, kKeelStrips> ZSTRIP;  // keel strip depth ratios
    KeelTables keel;
};

struct CaseInput {
    std::string TITLE;  // 70 characters
    int FORMAT = 0;
    int XAXIS = 0, ZAXIS = 0;
    bool LXAXIS = false, LZAXIS = false;
    double SCALE = 0, XORIG = 0, XKEEL = 0, XRUDD = 0, XLOAD = 0, VOLUME = 0;
    int IWATER = 0;
    double ZTOW = 0, XLEVER = 0, HLIFTF = 0, CHINE = 0, CHINF = 0, RDRFTF = 0;
    std::string APPFIL;
    double ASCALE = 0;
    double HSTUD = 0, DSTUD = 0;
    int NSTUD = 0;
    double XSTUD = 0, STIMCF = 0;
    double HSTIM = 0, DSTIM = 0, HTRIP = 0;
    bool FULLSC = false;
    int NSTK = 0, NSTR = 0;
    int NTEST = 0, MODE = 0;
    OneBased2D<double, kTestColumns, kMaxTestPoints> TP;  // TP(k,i): column k of point i

    // Appendage file, lengths after ASCALE; sweep angles as described per member.
    double KDX = 0, KSECTF = 0, KDEPTH = 0;
    double KSWEEP = 0;  // degrees as read, radians once the reader has finished
    OneBased<double, kKeelStrips> KCHORD, KTHICK;
    int KSTYPE = 0;
    double RDX = 0, RSPAN = 0, RSWEEP = 0, RCROOT = 0, RCTIP = 0;
    double RTCRT = 0, RTCTP = 0, RSECTF = 0;
    int RSTYPE = 0;
    double RCOSSW = 0, RTANSW = 0;
};

struct RawOffsets {
    int NST = 0;
    int NPMAX = 0;
    OneBased<int, kMaxRawStations> NP;
    OneBased<double, kMaxRawStations> XOFF;
    OneBased2D<double, kMaxRawPoints, kMaxRawStations> YOFF, ZOFF, RDIST;
    double ZOFMAX = kAbsent;
    double BHALF = 0;  // deck half-breadth of the middle station (orientation check)

    RawOffsets() {
        XOFF.fill(kAbsent);
        YOFF.fill(kAbsent);
        ZOFF.fill(kAbsent);
        RDIST.fill(kAbsent);
    }
};

struct PreparedHull {
    SlotArray XST{};
    SectionTable YS{}, ZS{}, SAREA{};
    SlotArray ASECT{};
    int KAMAX = 0, KAFT = 0, KFWD = 0;
    double XFKEEL = 0, XAKEEL = 0, AMAX = 0;
    double XK0 = 0, XK1 = 0, XK2 = 0, XR0 = 0, XR1 = 0, XR2 = 0;
};

// Filled by the upright particulars and the hydrostatics.
struct UprightParticulars {};
// Speed, water, heel, leeway, loads and the trial unknowns of one test point.
struct TestPoint {};
// Results of the latest trial floating state.
struct TrialHydrostatics {};
struct FlowResults {};
struct AppendageResults {};
struct BalanceResults {};

struct CaseState {
    RunConstants run;
    CaseInput input;
    RawOffsets raw;
    PreparedHull hull;
    UprightParticulars upright;
    TestPoint point;
    TrialHydrostatics trial;
    FlowResults flow;
    AppendageResults app;
    BalanceResults balance;
};

// The state is about a megabyte: keep it on the heap.
inline std::unique_ptr<CaseState> makeCaseState() { return std::make_unique<CaseState>(); }

}  // namespace carinex
