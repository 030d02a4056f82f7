// Coefficient tables of the Delft Systematic Yacht Hull Series regression
// (Keuning 2008) as the comparison routines use them.
//
// Every table is addressed by the position of its rows on the axis over which
// it is interpolated, not by a storage index: the routines compute that
// position from the Froude number (or the heel) and the table maps it to its
// row. The axes are
//   canoe-body tables: x = FN/0.05 - 2  (FN 0.15 at x = 1, 0.05 per step)
//   keel residuary:    x = FN/0.05 - 3  (FN 0.20 at x = 1)
//   wetted surface:    x = heel/5       (5 degrees at x = 1)
//   keel side force:   x = heel/10 + 1  (0 degrees at x = 1)
#pragma once

#include <cassert>

namespace carinex::delft {

// Rows of Cols coefficients; row k sits at position First + k.
template <int Rows, int Cols>
struct PositionTable {
    int First;
    double rows[Rows][Cols];

    constexpr const double* at(int position) const {
        assert(position >= First && position < First + Rows);
        return rows[position - First];
    }
    static constexpr int size() { return Rows; }
};

// Upright residuary resistance, FN 0.15 .. 0.75, coefficients a0 .. a7:
// Rr / (rho g V) = a0 + (a1 LCBFP + a2 CP0 + a3 RVAW + a4/RLB + a5 RLCBF
//                        + a6 RBT + a7 CX0) / RLV
inline constexpr PositionTable<13, 8> kUprightResiduary{
    1,
    {
        {-0.0005, 0.0023, -0.0086, -0.0015, 0.0061, 0.001, 0.0001, 0.0052},    // 0.15
        {-0.0003, 0.0059, -0.0064, 0.007, 0.0014, 0.0013, 0.0005, -0.002},     // 0.20
        {-0.0002, -0.0156, 0.0031, -0.0021, -0.007, 0.0148, 0.001, -0.0043},   // 0.25
        {-0.0009, 0.0016, 0.0337, -0.0285, -0.0367, 0.0218, 0.0015, -0.0172},  // 0.30
        {-0.0026, -0.0567, 0.0466, -0.1091, -0.0707, 0.0914, 0.0021, -0.0078}, // 0.35
        {-0.0064, -0.4034, -0.125, 0.0273, -0.1341, 0.3578, 0.0045, 0.1115},   // 0.40
        {-0.0218, -0.5261, -0.2945, 0.2485, -0.2428, 0.6293, 0.0081, 0.2086},  // 0.45
        {-0.0388, -0.5986, -0.3038, 0.6033, -0.043, 0.8332, 0.0106, 0.1336},   // 0.50
        {-0.0347, -0.4764, -0.2361, 0.8726, 0.4219, 0.899, 0.0096, -0.2272},   // 0.55
        {-0.0361, 0.0037, -0.296, 0.9661, 0.6123, 0.7534, 0.01, -0.3352},      // 0.60
        {0.0008, 0.3728, -0.3667, 1.3957, 1.0343, 0.323, 0.0072, -0.4632},     // 0.65
        {0.0108, -0.1238, -0.2026, 1.1282, 1.1836, 0.4973, 0.0038, -0.4477},   // 0.70
        {0.1023, 0.7726, 0.504, 1.7867, 2.1934, -1.5479, -0.0115, -0.0977},    // 0.75
    }};

// Change of the residuary resistance with heel, FN 0.25 .. 0.55, u0 .. u5:
// dH = u0 + u1 RLB + (u2 + u3 RBT) RBT + (u4 + u5 LCBFP) LCBFP
inline constexpr PositionTable<7, 6> kHeelCorrection{
    3,
    {
        {-0.0000268, -0.0000014, -0.0000057, 0.0000016, -0.000007, -0.0000017},  // 0.25
        {0.0006628, -0.0000632, -0.0000699, 0.0000069, 0.0000459, -0.0000004},   // 0.30
        {0.0016433, -0.0002144, -0.000164, 0.0000199, -0.000054, -0.0000268},    // 0.35
        {-0.0008659, -0.0000354, 0.0002226, 0.0000188, -0.00058, -0.0001133},    // 0.40
        {-0.0032715, 0.0001372, 0.0005547, 0.0000268, -0.0010064, -0.0002026},   // 0.45
        {-0.0001976, -0.000148, -0.0006593, 0.0001862, -0.0007489, -0.0001648},  // 0.50
        {0.0015873, -0.0003749, -0.0007105, 0.0002146, -0.0004818, -0.0001174},  // 0.55
    }};

// Change of the residuary resistance with a trimming moment, FN 0.15 .. 0.60,
// c0 .. c5: dT = c0 + c1 RLB + c2 RBT + c3/RVAW + c4 LCBPC + c5 LCFPC
inline constexpr PositionTable<10, 6> kTrimMoment{
    1,
    {
        {0, 0, 0, 0, 0, 0},                                     // 0.15
        {0, 0, 0, 0, 0, 0},                                     // 0.20
        {0.00191, 0.00142, 0.0036, -0.00396, -0.00035, 0.00068},  // 0.25
        {0.0015, 0.00085, 0.0027, -0.003, 0.00016, 0.00001},      // 0.30
        {0.00255, 0.00266, 0.00549, -0.00663, 0.00037, 0.00004},  // 0.35
        {0.00188, 0.00291, 0.00583, -0.00687, 0.0011, -0.00031},  // 0.40
        {0.00696, 0.00334, 0.00738, -0.00894, 0.00165, -0.0005},  // 0.45
        {0.00628, 0.0029, 0.00721, -0.00802, 0.00133, -0.00024},  // 0.50
        {0.00262, 0.00333, 0.00736, -0.00756, 0.00178, -0.00044}, // 0.55
        {-0.00458, 0.0037, 0.00723, -0.00654, 0.00172, -0.00066}, // 0.60
    }};

// Wetted surface of the canoe body under heel, 5 .. 35 degrees, s0 .. s3:
// S(heel)/S(0) = 1 + s0 + (s1 + s2 RBT) RBT + s3 CX0
inline constexpr PositionTable<7, 4> kWettedSurface{
    1,
    {
        {-0.04112, 0.00054, -0.00027, 0.06329},  // 5
        {-0.04522, -0.00132, -0.00077, 0.08738}, // 10
        {-0.03291, -0.00389, -0.00118, 0.08949}, // 15
        {0.0185, -0.012, -0.00109, 0.05364},     // 20
        {0.0651, -0.02305, -0.00066, 0.03443},   // 25
        {0.12334, -0.03911, 0.00024, 0.01767},   // 30
        {0.14648, -0.05182, 0.00102, 0.03497},   // 35
    }};

// Keel residuary resistance, FN 0.20 .. 0.60, k0 .. k3:
// Rr / (rho g Vkeel) = k0 + k1/RBT + k2 RKT + k3 RVK
inline constexpr PositionTable<9, 4> kKeelResiduary{
    1,
    {
        {-0.00104, 0.00172, 0.00117, -0.00008}, // 0.20
        {-0.0055, 0.00597, 0.0039, -0.00009},   // 0.25
        {-0.0111, 0.01421, 0.00069, 0.00021},   // 0.30
        {-0.00713, 0.02632, -0.00232, 0.00039}, // 0.35
        {-0.03581, 0.08649, 0.00999, 0.00017},  // 0.40
        {-0.0047, 0.11592, -0.00064, 0.00035},  // 0.45
        {0.00553, 0.07371, 0.05991, -0.00114},  // 0.50
        {0.04822, 0.0066, 0.07048, -0.00035},   // 0.55
        {0.01021, 0.14173, 0.06409, -0.00192},  // 0.60
    }};

// Keel side-force coefficient, heel 0 .. 30 degrees, b0 .. b3:
// CS = (b0 + b1 RTS + b3 RTT) RTS + b2 RTT
inline constexpr PositionTable<4, 4> kSideForce{
    1,
    {
        {2.025, 9.551, 0.631, -6.575},  // 0
        {1.989, 6.729, 0.494, -4.745},  // 10
        {1.98, 0.633, 0.194, -0.792},   // 20
        {1.762, -4.957, -0.087, 2.766}, // 30
    }};

// Effective-span factor of keel and hull, heel 0 .. 30 degrees, c0 .. c5:
// TE = ((c0 + c1 RTT) RTT + c2 RBT + c3 KTAPER) (c4 + c5 FN)
inline constexpr PositionTable<4, 6> kEffectiveSpan{
    1,
    {
        {3.7455, -3.6246, 0.0589, -0.0296, 1.2306, -0.7256},  // 0
        {4.4892, -4.8454, 0.0294, -0.0176, 1.4231, -1.2971},  // 10
        {3.9592, -3.9804, 0.0283, -0.0075, 1.545, -1.5622},   // 20
        {3.4891, -2.9577, 0.025, -0.0272, 1.4744, -1.3499},   // 30
    }};

// Heel term of the keel resistance, e0 .. e3:
// dRk / (rho g Vkeel) = ((e0 + e2 RBT) RTT + e1 RBT + e3 RLV) FN^2 heel
inline constexpr double kKeelHeel[4] = {-3.5837, -0.0518, 0.5958, 0.2055};

}  // namespace carinex::delft
