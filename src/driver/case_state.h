// The case state: every quantity of one run, in one record passed by
// reference to each routine. Groups follow the order in which a run fills
// them; members keep the names the formulas use. Storage is fixed size, so
// nothing is allocated per test point or per evaluation of the balance.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "driver/campaign_results.h"
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
    // file line of each point as read, for the messages on points far outside the hull
    OneBased2D<int, kMaxRawPoints, kMaxRawStations> LINE;

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

// Upright particulars of the hull at rest and the appendages at rest.
struct UprightParticulars {
    double LWL = 0, BWL = 0, TC = 0, HVOL = 0;
    SlotArray ZREF{}, BSECT{}, GSECT{}, GMSECT{}, SLMD{}, SNEG{};
    SectionTable GIRTHP{}, ZMOMP{};
    double TMAX = 0, XTMAX = 0, BMAX = 0, AWP0 = 0, SWET0 = 0, SWETSL = 0;
    double XLCB = 0, LCBFP = 0, LCFFP = 0, CX0 = 0, CP0 = 0;
    double RVAW = 0, RLV = 0, RLCBF = 0, RKM = 0, RLB = 0, RBT = 0, LCBPC = 0, LCFPC = 0;
    // appendages at rest
    double KAREA = 0, KCMEAN = 0, KSWPE = 0, KZLEAD = 0, KZTRAIL = 0, KSPANR = 0, TMAXK = 0;
    double KAROOT = 0, VKROOT = 0, KZC = 0;
    double SH1 = 0, SH2 = 0, AR0 = 0, CR0 = 0;
    int IRUD = 0, KSLOT = 0;
    double RKT = 0, RVK = 0, RTT = 0, RTS = 0, KTAPER = 0, TTOT = 0, RCMEAN = 0, RTCMN = 0;
};

// Speed, water, heel, leeway, loads and the trial unknowns of one test point.
// Work budget of one test point. A sound point takes a few force-balance evaluations and a few
// tens of thousands of boundary-layer right-hand sides, a search that stalls next to its
// equilibrium a few hundred and about a million; a wildly wrong input (a load far
// beyond the hull's buoyancy, a hull on its side) can spend the iteration limits on marches that
// fail only after millions. Past either bound the search stops and the point is judged on the
// residuals of its last evaluation.
inline constexpr int kMaxBalanceEvaluationsPerPoint = 400;
inline constexpr long long kMaxLayerEvaluationsPerPoint = 2'000'000;

struct TestPoint {
    double VNU = 0, SLOPKM = 0, VBOOT = 0;
    double PHI = 0, COSPHI = 1, SINPHI = 0, TANPHI = 0;
    double SINKG = 0, TRIMW = 0;
    double RHO = 0, VISC = 0, QDYN = 0;
    double LEEWAY = 0, SINLW = 0, COSLW = 1, RUDANG = 0;
    double SINK0 = 0, TRIM0 = 0;
    double WEIGHT = 0, FLOADN = 0, VTOT = 0, FNU = 0;
    bool APPON = false;
    double VKEEL = 0, VRUDDT = 0, VRUDD = 0, MEXT = 0;
    double XCG = 0;
    double RCWL = 0, RASP = 0;  // rudder chord at the immersed span, aspect ratio
    double BREFX = 0;           // reference breadth; 100*BREFX stands for "no crossing"
    // test points of the campaign so far whose equilibrium was not found
    int NOTCONV = 0;
    // work spent on the current test point: force-balance evaluations and right-hand sides of
    // the boundary-layer equations; bounded so that no input can stall a run
    int EVALS = 0;
    long long BLRHS = 0;
};

// Hydrostatics of the latest trial floating state.
struct TrialHydrostatics {
    double XFPHI = 0, XAPHI = 0, XMREF = 0;
    int ISTA1 = 0, ISTA2 = 0, IAMAX = 0;
    SlotArray ASEC{}, GIRTH{}, BSEC{}, KDW{}, QLAT{};
    double LWLPHI = 0, BWLPHI = 0, AHSPHI = 0, LWL1 = 0, LWL2 = 0;
    double DRFPHI = 0, KSPAN = 0, RWAKE = 0, TCBPHI = 0, AWLPHI = 0, VOLCB = 0;
    double LCBPHI = 0, XCBPHI = 0, AHULL = 0, ATRIM = 0, ASYM = 0, XTRIM = 0, VOLFNZ = 0;
    double RIMM = 0, TLAT = 0, BRTLAM = 0, TMXPHI = 0;
    double VCB2 = 0, AWL2 = 0, AWL1 = 0, VCB1 = 0;
    double CXPHI = 0, CWPPHI = 0, CPPHI = 0, LCFPHI = 0, TCLTOH = 0, OVRHNG = 0;
    double CPF = 0, CPA = 0, RBL1 = 0, RBL2 = 0, RBTPHI = 0, RTL1 = 0, RLV2 = 0;
    double CVP1 = 0, RAL1 = 0, RAL2 = 0, RAX1 = 0, CW1 = 0, CW2 = 0;
    double KSLP0 = 0, OVHEXP = 0, OVHTC = 0, OVHF = 0, TFWD = 0;
    double KRY2 = 0, KRY1 = 0, KRZ2 = 0, KRZ1 = 0, KRZK = 0, KRA = 0, KRYD = 0, KRZD = 0;
    double ZWKEEL = 0, TKROOT = 0, RKCL = 0, RKTB = 0, RIMMC = 0;
};

// Flow around the hull in the latest trial state.
constexpr int kBodyPoints = 40;     // velocity points 1 .. 40 on the equivalent body
constexpr int kFlowPoints = 81;     // 0 nose, 1 .. 40 body, 41 .. 80 wake cylinder
struct FlowResults {
    // dynamic (wave-raised) waterline
    double XFDYN = 0, XADYN = 0;
    int ISTD1 = 0, ISTD2 = 0, NSTD = 0;
    SlotArray ASECD{}, GIRTHD{};
    std::array<double, kStationSlots + 1> BSECD{};
    // streamline length along the mean-depth line, SLEN(x) over XSL
    SlotArray XSL{}, SLEN{};
    std::array<double, 4 * kStationSlots> SLCOEF{};
    SlotArray SLP{};
    // equivalent body of revolution and its surface velocity
    double DEQ = 0, DTRANS = 0, WENTER = 0, UMAX = 0, UMIN = 0, U25 = 0;
    std::array<double, kBodyPoints + 1> SELLI{};           // 0 .. 40
    std::array<double, kFlowPoints> VSURF{};               // 0 .. 80
    std::array<double, 4 * kBodyPoints> VSCOEF{};          // RATSPL of VSURF over SELLI
    std::array<double, kBodyPoints> VSP{};
    int NSR = 0;
    OneBased<double, kStationSlots> SR, DSR;               // SR(1) .. SR(NSR)
    std::array<double, 4 * kStationSlots> DSCOEF{};
    std::array<double, kStationSlots> DSP{};
    int IRUN = 0;
    SlotArray DMEAN{};
    // empirical wave profile of the dynamic waterline
    double HCREST = 0, HTROU = 0, HSTERN = 0, XCREST = 0, XTROU = 0;
    double WAVA = 0, WAVB = 0, WAVC = 0, SLAFT = 0, ZAFT = 0;
    // boundary layer and friction
    double RFRIC = 0, FFORM = 0, MYVISC = 0, WPAR = 0;
    SlotArray THETA{}, H12{}, CFHALF{};
    double TURBU = 0, XTRANS = 0, XTR = 0, SSTART = 0, RSTUD = 0;
    // effective volume and flare
    double BDYN = 0, KVEFF = 0, BRUN = 0, BTRQ = 0, BFLARE = 0, ZFLARE = 0;
    // transom and rudder immersion
    double ATRANS = 0, RHSPAN = 0, RAEFF = 0, RGAP = 0;
};

// Keel, rudder and hull forces of the latest trial state.
struct AppendageResults {
    // section data per test point
    OneBased<double, kKeelStrips> SLOPK, CLMXK;  // keel strip lift-slope factor, maximum lift
    double SLOPR = 0, CLMXR = 0;  // rudder section lift slope factor and maximum lift
    double KARF = 0;              // keel aspect-ratio factor (hull and free-surface mirror)
    double DTRIM = 0, STIMK = 0, STIMR = 0;
    double FXK = 0, FYK = 0, FZK = 0, MYK = 0;
    double FXR = 0, FYR = 0, FZR = 0, MYR = 0;
    double XHULL = 0, YHULL = 0, RHULL = 0, RTRIM = 0;
    // keel lifting line
    double CLROOT = 0;
    OneBased<double, kKeelStrips> TAPK, CLAK, CLA2, AIAK, AIA2, UPWK, INCK;
    double CLRCOR = 0, HCARRY = 0, DRFFAC = 0;
};

// Balance of the latest trial state.
struct BalanceResults {
    double FN = 0, VDISP = 0, XCB = 0, PMOM = 0, RTOT = 0, SWET = 0, RRES = 0;
    double TLIFT = 0, ZDRAG1 = 0, ZDRAG2 = 0, RTREG = 0, FSR = 0;
};

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
    // every test point's row values, for the files written after the table
    CampaignResults campaign;
};

static_assert(kMaxTestPointRecords == kMaxTestPoints);

// The state is about a megabyte: keep it on the heap.
inline std::unique_ptr<CaseState> makeCaseState() { return std::make_unique<CaseState>(); }

}  // namespace carinex
