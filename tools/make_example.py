#!/usr/bin/env python3
"""Write the cruiser-racer example case into examples/cruiser/.

Run from the repository root:

    python3 tools/make_example.py

The hull is a modern cruiser-racer at full scale (SCALE = 1, lengths in
metres), described analytically:

  * x grows towards the bow, x = 0 at the transom, stem head at x = 11.5;
    z is positive upward with the design waterline at z = 0.
  * Keel line (lowest centre-plane point of each section): a power curve
    from the deepest point (0.50 m at x = 5.3) aft to the transom, whose
    lowest point lies 0.20 m above the waterline, and a quartic forward,
    continued past the forward end of the waterline by a cubic stem that
    is C2-continuous with it and meets the sheer at the stem head.  The
    keel line crosses z = 0 at x = 0.75 and x = 10.75 (LWL = 10.0 m).
  * Sheer line: a parabola, freeboard about 1.0 m amidships, 1.25 m at
    the bow and 1.05 m at the transom.
  * Deck half-breadth: 1.75 m at x = 5.0, 1.38 m at the transom, falling
    to zero at the stem head (the after-body is the wider one).
  * Sections: a superellipse (y/B)^m + ((zs - z)/H)^n = 1 between the keel
    point and the sheer point (B = deck half-breadth, H = sheer height
    minus keel height), blended with the straight line from the keel
    point to the sheer point by a weight w that sets the deadrise at the
    keel (tan(deadrise) = w H / B):
        z(y) = (1 - w) * (zs - H * (1 - (y/B)^m)^(1/n)) + w * (zk + H y/B).
    m, n and w vary smoothly along the hull: flat, full sections aft,
    firm bilges amidships, V-shaped sections in the bow.

VOLUME = 6.1728 m^3 is the canoe-body volume below z = 0 of this analytic
hull, computed by this script: each section area is twice the integral of
-z(y) from the centre plane to the waterline half-breadth (found by
bisection), by composite Simpson's rule with 400 intervals; the section
areas are integrated along x between the ends of the waterline, again by
composite Simpson's rule with 4000 intervals split at the x where the
piecewise definitions change.  The value is written into the case input
files (4 decimals).

The same offsets are written in the three offsets-file layouts the program
reads, with identical number text (4 decimals), together with three case
input files that differ only in FORMAT and title, the appendage file and a
README.  Everything is deterministic; only the Python standard library is
used.
"""

import math
from pathlib import Path

# --------------------------------------------------------------------------
# Hull parameters (metres)
# --------------------------------------------------------------------------

X_STEM = 11.5      # stem head (forward end of the sheer), length overall
X_AWL = 0.75       # aft end of the design waterline
X_FWL = 10.75      # forward end of the design waterline
X_TMAX = 5.3       # x of the deepest keel point
T_CANOE = 0.50     # canoe-body draft
Z_TRANSOM = 0.20   # height of the transom's lowest point above the waterline
P_FWD = 4.0        # exponent of the forward keel line

X_BMAX = 5.0       # x of the largest deck half-breadth
B_MAX = 1.75       # largest deck half-breadth
B_TRANSOM = 1.38   # deck half-breadth at the transom

N_STATIONS = 37    # stations from x = 0 (transom) to x = 11.25
DX_STATION = 0.3125
N_POINTS = 28      # points per section, keel to sheer

# Section-shape parameters: superellipse exponents m (half-breadth) and
# n (height), deadrise weight w, each at the transom, amidships (X_TMAX)
# and at the stem head.
M_MID, M_BOW = 3.0, 2.0
N_AFT, N_MID, N_BOW = 5.0, 4.5, 2.5
W_AFT, W_MID, W_BOW = 0.10, 0.15, 0.45

# Aft keel line: -T (1 - ((X_TMAX - x) / (X_TMAX - X_AWL))^P_AFT), with the
# exponent chosen so that the keel line is at Z_TRANSOM at x = 0.
P_AFT = math.log(1.0 + Z_TRANSOM / T_CANOE) / math.log(X_TMAX / (X_TMAX - X_AWL))

# Forward keel line: -T (1 - ((x - X_TMAX) / L_FWD)^P_FWD) up to X_FWL, then
# the stem a1 d + a2 d^2 + a3 d^3 (d = x - X_FWL), C2 at X_FWL and meeting
# the sheer at X_STEM.
L_FWD = X_FWL - X_TMAX
STEM_A1 = T_CANOE * P_FWD / L_FWD
STEM_A2 = T_CANOE * P_FWD * (P_FWD - 1.0) / (2.0 * L_FWD ** 2)


def sheer_z(x):
    """Height of the sheer line."""
    return 0.98 + 0.0046 * (x - 3.8) ** 2


_D_STEM = X_STEM - X_FWL
STEM_A3 = (sheer_z(X_STEM) - STEM_A1 * _D_STEM - STEM_A2 * _D_STEM ** 2) / _D_STEM ** 3


def keel_z(x):
    """Height of the keel line (lowest centre-plane point of the section)."""
    if x <= X_TMAX:
        return -T_CANOE * (1.0 - ((X_TMAX - x) / (X_TMAX - X_AWL)) ** P_AFT)
    if x <= X_FWL:
        return -T_CANOE * (1.0 - ((x - X_TMAX) / L_FWD) ** P_FWD)
    d = x - X_FWL
    return ((STEM_A3 * d + STEM_A2) * d + STEM_A1) * d


def deck_y(x):
    """Half-breadth at the sheer."""
    if x <= X_BMAX:
        return B_MAX - (B_MAX - B_TRANSOM) * ((X_BMAX - x) / X_BMAX) ** 2
    t = (x - X_BMAX) / (X_STEM - X_BMAX)
    return B_MAX * (1.0 - t * t)


def _fore(x):
    """0 at X_TMAX, 1 at the stem head."""
    return (x - X_TMAX) / (X_STEM - X_TMAX)


def _aft(x):
    """0 at X_TMAX, 1 at the transom."""
    return (X_TMAX - x) / X_TMAX


def shape_m(x):
    if x <= X_TMAX:
        return M_MID
    return M_MID - (M_MID - M_BOW) * _fore(x) ** 2


def shape_n(x):
    if x <= X_TMAX:
        return N_MID + (N_AFT - N_MID) * _aft(x) ** 2
    return N_MID - (N_MID - N_BOW) * _fore(x) ** 1.5


def shape_w(x):
    if x <= X_TMAX:
        return W_MID + (W_AFT - W_MID) * _aft(x) ** 2
    return W_MID + (W_BOW - W_MID) * _fore(x) ** 2


class Section:
    """The analytic section at station x."""

    def __init__(self, x):
        self.x = x
        self.zk = keel_z(x)
        self.zs = sheer_z(x)
        self.b = deck_y(x)
        self.h = self.zs - self.zk
        self.m = shape_m(x)
        self.n = shape_n(x)
        self.w = shape_w(x)

    def z_of_y(self, y):
        """Height of the section at half-breadth y (0 <= y <= B)."""
        r = min(max(y / self.b, 0.0), 1.0)
        top = self.zs - self.h * (1.0 - r ** self.m) ** (1.0 / self.n)
        line = self.zk + self.h * r
        return (1.0 - self.w) * top + self.w * line

    def point(self, theta):
        """Point at the superellipse angle theta (0 = keel, pi/2 = sheer)."""
        if theta <= 0.0:
            return 0.0, self.zk
        if theta >= 0.5 * math.pi:
            return self.b, self.zs
        s, c = math.sin(theta), math.cos(theta)
        r = s ** (2.0 / self.m)
        top = self.zs - self.h * c ** (2.0 / self.n)
        line = self.zk + self.h * r
        return self.b * r, (1.0 - self.w) * top + self.w * line

    def waterline_y(self):
        """Half-breadth at z = 0 (0 when the keel point is not immersed)."""
        if self.zk >= 0.0:
            return 0.0
        lo, hi = 0.0, self.b
        for _ in range(80):
            mid = 0.5 * (lo + hi)
            if self.z_of_y(mid) < 0.0:
                lo = mid
            else:
                hi = mid
        return 0.5 * (lo + hi)

    def immersed_area(self, intervals=400):
        """Area below z = 0, both sides."""
        yw = self.waterline_y()
        if yw <= 0.0:
            return 0.0
        return 2.0 * simpson(lambda y: -self.z_of_y(y), 0.0, yw, intervals)

    def girth_points(self, count, fine=20000):
        """count points from the keel to the sheer, evenly spaced in girth."""
        thetas = [0.5 * math.pi * k / fine for k in range(fine + 1)]
        pts = [self.point(t) for t in thetas]
        girth = [0.0]
        for k in range(1, fine + 1):
            girth.append(girth[-1] + math.hypot(pts[k][0] - pts[k - 1][0],
                                                pts[k][1] - pts[k - 1][1]))
        total = girth[-1]
        out = [self.point(0.0)]
        k = 0
        for j in range(1, count - 1):
            target = total * j / (count - 1)
            while girth[k + 1] < target:
                k += 1
            f = (target - girth[k]) / (girth[k + 1] - girth[k])
            out.append(self.point(thetas[k] + f * (thetas[k + 1] - thetas[k])))
        out.append(self.point(0.5 * math.pi))
        return out


def simpson(f, a, b, intervals):
    """Composite Simpson's rule (intervals even)."""
    h = (b - a) / intervals
    total = f(a) + f(b)
    for i in range(1, intervals):
        total += (4.0 if i % 2 else 2.0) * f(a + i * h)
    return total * h / 3.0


def canoe_volume():
    """Volume below z = 0, integrated between the ends of the waterline."""
    breaks = [X_AWL, X_BMAX, X_TMAX, X_FWL]
    total = 0.0
    for a, b in zip(breaks[:-1], breaks[1:]):
        intervals = 2 * max(1, round(2000 * (b - a) / (X_FWL - X_AWL)))
        total += simpson(lambda x: Section(x).immersed_area(), a, b, intervals)
    return total


# --------------------------------------------------------------------------
# Appendages
# --------------------------------------------------------------------------

KEEL_DEPTH = 1.5          # below the canoe body
KEEL_ROOT_CHORD = 1.3
KEEL_TIP_CHORD = 0.7
KEEL_THICKNESS = 0.12
KEEL_SWEEP = 10.0         # leading edge, degrees
KEEL_SECTION_FACTOR = 0.66  # section area / (t c^2), NACA 64-0xx
KEEL_FAMILY = 64

RUDDER_SPAN = 1.2         # tip to the design waterline
RUDDER_SWEEP = 8.0        # quarter-chord line, degrees
RUDDER_ROOT_CHORD = 0.38
RUDDER_TIP_CHORD = 0.25
RUDDER_THICKNESS = 0.12
RUDDER_SECTION_FACTOR = 0.685  # NACA 00xx
RUDDER_FAMILY = 0

CENTROID_CHORD = 0.42     # chordwise position of a section's area centroid

# Keel strips 1 (root) to 8 (tip) sit at the depth fractions
# sin((i - 1) pi / 16) of the keel depth, with weights 0.5 and
# cos((i - 1) pi / 16); the chords follow the trapezoidal planform.
STRIP_DEPTH = [math.sin((i - 1) * math.pi / 16.0) for i in range(1, 9)]
STRIP_WEIGHT = [0.5] + [math.cos((i - 1) * math.pi / 16.0) for i in range(2, 9)]


def keel_chords():
    return [round(KEEL_ROOT_CHORD - (KEEL_ROOT_CHORD - KEEL_TIP_CHORD) * d, 3)
            for d in STRIP_DEPTH]


def keel_dx(chords):
    """Keel volume centroid aft of the root leading edge."""
    tan_sweep = math.tan(math.radians(KEEL_SWEEP))
    num = den = 0.0
    for c, d, w in zip(chords, STRIP_DEPTH, STRIP_WEIGHT):
        vol = c * c * KEEL_THICKNESS * w
        num += vol * (tan_sweep * d * KEEL_DEPTH + CENTROID_CHORD * c)
        den += vol
    return num / den


def rudder_dx():
    """Rudder volume centroid aft of the root leading edge."""
    tan_sweep = math.tan(math.radians(RUDDER_SWEEP))

    def chord(s):
        return RUDDER_ROOT_CHORD + (RUDDER_TIP_CHORD - RUDDER_ROOT_CHORD) * s / RUDDER_SPAN

    def leading_edge(s):
        return 0.25 * RUDDER_ROOT_CHORD + tan_sweep * s - 0.25 * chord(s)

    num = simpson(lambda s: chord(s) ** 2 * (leading_edge(s) + CENTROID_CHORD * chord(s)),
                  0.0, RUDDER_SPAN, 200)
    den = simpson(lambda s: chord(s) ** 2, 0.0, RUDDER_SPAN, 200)
    return num / den


# --------------------------------------------------------------------------
# Case values
# --------------------------------------------------------------------------

X_KEEL = 6.20    # keel root leading edge
X_RUDDER = 1.55  # rudder root leading edge
X_LOAD = 5.40    # x of the vertical test load (near the centre of buoyancy)
X_LEVER = 4.50   # 0.45 LWL aft of the forward end of the waterline

# V, MEXT, water temperature, TURBU, XTRANS, heel, appendages, leeway,
# rudder, vertical load
TEST_POINTS = [
    (2.0, 0.0, 15.0, 0.1, 50.0, 0.0, 0.0, 0.0, 0.0, 0.0),
    (3.0, 0.0, 15.0, 0.1, 50.0, 0.0, 0.0, 0.0, 0.0, 0.0),
    (3.5, 0.0, 15.0, 0.1, 50.0, 20.0, 0.0, 0.0, 0.0, 0.0),
    (3.0, 0.0, 15.0, 0.1, 50.0, 0.0, 1.0, 0.0, 0.0, 0.0),
    # with keel and rudder: leeway of either sign upright, then heeled
    # below and above 0.35 rad (20 and 25 degrees); the last point is the
    # 20-degree point whose rudder reaches the hull
    (3.0, 0.0, 15.0, 0.1, 50.0, 0.0, 1.0, 3.0, 0.0, 0.0),
    (3.0, 0.0, 15.0, 0.1, 50.0, 0.0, 1.0, -3.0, 0.0, 0.0),
    (3.0, 0.0, 15.0, 0.1, 50.0, 0.0, 1.0, 5.0, 3.0, 0.0),
    (2.5, 0.0, 15.0, 0.1, 50.0, 10.0, 1.0, 4.0, 2.0, 0.0),
    (3.5, 0.0, 15.0, 0.1, 50.0, 20.0, 1.0, 2.0, 4.0, 0.0),
    (3.5, 0.0, 15.0, 0.1, 50.0, 25.0, 1.0, 4.0, 3.0, 0.0),
    (3.5, 0.0, 15.0, 0.1, 50.0, 20.0, 1.0, 3.0, 2.0, 0.0),
]

LAYOUTS = {
    1: "x y z list",
    2: "Delftship export",
    3: "counted stations",
}


# --------------------------------------------------------------------------
# Writers
# --------------------------------------------------------------------------

def num(value, decimals=4):
    """Fixed-point text without a negative zero."""
    text = f"{value:.{decimals}f}"
    if text.startswith("-") and float(text) == 0.0:
        text = text[1:]
    return text


def write_text(path, lines):
    path.parent.mkdir(parents=True, exist_ok=True)
    with open(path, "w", encoding="ascii", newline="\n") as fh:
        fh.write("\n".join(lines) + "\n")


def make_stations():
    """Stations from stern to bow as (x text, [(y text, z text), ...])."""
    stations = []
    for i in range(N_STATIONS):
        x = i * DX_STATION
        pts = Section(x).girth_points(N_POINTS)
        text = [(num(y), num(z)) for y, z in pts]
        text[0] = (num(0.0), text[0][1])
        check_section(x, text)
        stations.append((num(x), text))
    check_hull(stations)
    return stations


def check_hull(stations):
    """The keel line must leave the water at both ends, and the forward
    quarter of the deck must be narrower than the aft quarter."""
    keel = [float(pts[0][1]) for _, pts in stations]
    if keel[0] <= 0.0 or keel[-1] <= 0.0 or min(keel) >= 0.0:
        raise SystemExit("the keel line must cross the waterline at both ends")
    count = len(stations)
    mid = (count + 1) // 2
    aft = (count + 1) // 4
    fwd = 2 * mid - aft
    if float(stations[fwd - 1][1][-1][0]) >= float(stations[aft - 1][1][-1][0]):
        raise SystemExit("the fore-body must be narrower than the after-body")


def check_section(x, text):
    ys = [float(y) for y, _ in text]
    zs = [float(z) for _, z in text]
    if ys[0] != 0.0 or min(ys[1:]) <= 0.0:
        raise SystemExit(f"station x={x}: only the first point may lie on the centre plane")
    for j in range(1, len(text)):
        if zs[j] <= zs[j - 1] or ys[j] < ys[j - 1]:
            raise SystemExit(f"station x={x}: point {j + 1} does not follow the girth upward")


def write_offsets_1(path, stations):
    lines = []
    for x, pts in stations:
        lines.extend(f"{x} {y} {z}" for y, z in pts)
    write_text(path, lines)


def write_offsets_2(path, stations):
    lines = []
    count = len(stations)
    for i, (x, pts) in enumerate(stations, start=1):
        # x in columns 10 to 19
        lines.append(f"{'Station':<9}{x:>10}  (station {i} of {count}, x in m)")
        lines.append(f"  {len(pts)} points, keel to sheer")
        lines.append("         y          z")
        lines.extend(f" {y:>9} {z:>10}" for y, z in pts)
        lines.append(f"End of station {i}")
        lines.append("-" * 21)
    write_text(path, lines)


def write_offsets_3(path, stations):
    lines = [
        "Cruiser-racer example hull, full scale, lengths in m",
        "x positive forward, z positive upward, design waterline at z = 0",
        "Stations from the transom to the bow, points from the keel to the sheer",
        "*",
        "Number of stations; per station: x and number of points, then y z per point",
        str(len(stations)),
    ]
    for x, pts in stations:
        lines.append(f"{x} {len(pts)}")
        lines.extend(f"{y} {z}" for y, z in pts)
    write_text(path, lines)


def labelled(label, value):
    return [label, value]


MODE_TABLES = {1: "resistance forces", 2: "drag areas", 3: "resistance coefficients", 4: "Delft regression only"}


def write_case(path, fmt, volume, mode=1):
    title = f"Cruiser-racer example, LWL 10 m, offsets FORMAT {fmt} ({LAYOUTS[fmt]})"
    if mode != 1:
        title = f"Cruiser-racer example, LWL 10 m, MODE {mode} ({MODE_TABLES[mode]})"
    assert len(title) <= 70
    lines = [
        "Carinex case input: cruiser-racer example",
        title,
        "FORMAT of the offsets file: 1 = x y z list, 2 = Delftship export, 3 = counted stations",
        str(fmt),
    ]
    lines += labelled("XAXIS: 1 = x forward as in file, 2 = negate x", "1")
    lines += labelled("ZAXIS: 1 = z upward as in file, 2 = negate z", "1")
    lines += labelled("SCALE: factor from offsets units to metres", "1.0")
    lines += labelled("XORIG: height datum subtracted from every z of the offsets", "0.0")
    lines += labelled("XKEEL: x of the keel root leading edge (offsets units)", num(X_KEEL, 2))
    lines += labelled("XRUDD: x of the rudder root leading edge (offsets units)", num(X_RUDDER, 2))
    lines += labelled("XLOAD: x where the vertical test load acts (offsets units)", num(X_LOAD, 2))
    lines += labelled("VOLUME: canoe-body volume, m^3", num(volume, 4))
    lines += labelled("IWATER: 1 = fresh water, 2 = seawater", "2")
    lines += labelled("ZTOW: vertical lever added to the drag moment arm, m", "0.0")
    lines += labelled("XLEVER: distance aft of the forward end of the DWL of the drag lever point, m",
                      num(X_LEVER, 2))
    lines += labelled("HLIFTF: factor on hull lift and induced side force with appendages", "1.0")
    lines += labelled("CHINE: hull side-force factor input (0 = round bilge)", "0.0")
    lines += labelled("RDRFTF: factor of the heeled-waterline drift on the rudder angle of attack", "0.5")
    lines += labelled("APPFIL: appendage file in APPEND", "CRUISER.APP")
    lines += labelled("ASCALE: factor on the appendage lengths", "1.0")
    lines += labelled("HSTUD: height of the hull turbulence studs, mm (0 = none)", "0.0")
    lines += labelled("DSTUD: diameter of the hull turbulence studs, mm", "0.0")
    lines += labelled("NSTUD: number of hull turbulence studs", "0")
    lines += labelled("XSTUD: distance of the stud row behind the forward end of the DWL, mm", "1.0")
    lines += labelled("HSTIM: stimulator height on keel and rudder, mm (0 = full scale)", "0.0")
    lines += labelled("DSTIM: diameter of the stimulator studs on keel and rudder, mm", "0.0")
    lines += labelled("NSTK: number of stimulator studs on the keel (0 = trip strip)", "0")
    lines += labelled("NSTR: number of stimulator studs on the rudder", "0")
    lines += labelled("NTEST: number of test points (rows below)", str(len(TEST_POINTS)))
    lines += labelled("MODE: 1 forces, 2 drag areas, 3 coefficients, 4 regression only", str(mode))
    lines += [
        "Test points, one row each: V m/s, MEXT Nm, water temperature C, TURBU %, XTRANS mm,",
        "heel deg, appendages (1.0 = keel and rudder, 0.0 = bare hull), leeway deg,",
        "rudder angle deg, vertical load N at XLOAD (positive downward)",
        "    V   MEXT    TW  TURBU  XTRANS   HEEL    APP  LEEWAY  RUDDER  FLOAD",
    ]
    widths = (5, 7, 6, 7, 8, 7, 7, 8, 8, 7)
    for row in TEST_POINTS:
        lines.append("".join(f"{num(v, 1):>{w}}" for v, w in zip(row, widths)))
    assert len(lines) == 60 + len(TEST_POINTS)
    write_text(path, lines)


def write_appendages(path):
    chords = keel_chords()
    lines = [
        "Carinex appendage file: fin keel and spade rudder of the cruiser-racer example",
        "KDX: keel volume centroid aft of the root leading edge XKEEL, m",
        num(keel_dx(chords), 3),
        "KSECTF: keel section area / (thickness ratio x chord^2)",
        num(KEEL_SECTION_FACTOR, 3),
        "KDEPTH: keel depth below the canoe body, m",
        num(KEEL_DEPTH, 3),
        "KSWEEP: keel leading-edge sweep, deg (positive: tip aft)",
        num(KEEL_SWEEP, 1),
        "Keel strips 1 (root) to 8 (tip): chord m, thickness ratio t/c",
    ]
    lines += [f"{num(c, 3)} {num(KEEL_THICKNESS, 3)}" for c in chords]
    lines += [
        "KSTYPE: keel section family (0 = NACA 00xx, 63 = NACA 63-0xx, 64 = NACA 64-0xx)",
        str(KEEL_FAMILY),
        "Rudder",
        "RDX: rudder volume centroid aft of the root leading edge XRUDD, m",
        num(rudder_dx(), 3),
        "RSPAN: rudder span from the tip to the design waterline, m",
        num(RUDDER_SPAN, 3),
        "RSWEEP: rudder sweep of the quarter-chord line, deg (positive: tip aft)",
        num(RUDDER_SWEEP, 1),
        "RCROOT: rudder root chord, m",
        num(RUDDER_ROOT_CHORD, 3),
        "RCTIP: rudder tip chord, m",
        num(RUDDER_TIP_CHORD, 3),
        "RTCRT: rudder root thickness ratio t/c",
        num(RUDDER_THICKNESS, 3),
        "RTCTP: rudder tip thickness ratio t/c",
        num(RUDDER_THICKNESS, 3),
        "RSECTF: rudder section area / (thickness ratio x chord^2)",
        num(RUDDER_SECTION_FACTOR, 3),
        "RSTYPE: rudder section family (0 = NACA 00xx, 63 = NACA 63-0xx, 64 = NACA 64-0xx)",
        str(RUDDER_FAMILY),
    ]
    assert len(lines) == 39
    write_text(path, lines)


def write_readme(path, volume, stations):
    bwl = 2.0 * max(Section(X_AWL + 0.01 * i).waterline_y()
                    for i in range(1, round(100 * (X_FWL - X_AWL))))
    npts = len(stations[0][1])
    lines = [
        "# Cruiser-racer example",
        "",
        "A modern cruiser-racer of 10 m design waterline length at full scale",
        "(SCALE = 1, lengths in metres) with a fin keel and a spade rudder. The",
        "hull has a sloping stem and a small transom whose lowest point lies",
        f"{Z_TRANSOM:.2f} m above the waterline. Its keel line rises through the design",
        f"waterline at x = {X_AWL:.2f} m and x = {X_FWL:.2f} m, and the after-body is the",
        "wider one, as on a modern yacht.",
        "",
        "| Main dimensions | |",
        "|---|---|",
        f"| length overall, transom to stem head | {X_STEM:.2f} m |",
        f"| design waterline length | {X_FWL - X_AWL:.2f} m |",
        f"| beam at the sheer | {2 * B_MAX:.2f} m |",
        f"| waterline beam | {bwl:.2f} m |",
        f"| canoe-body draft | {T_CANOE:.2f} m |",
        f"| freeboard amidships | {sheer_z(0.5 * (X_AWL + X_FWL)):.2f} m |",
        f"| canoe-body volume (VOLUME) | {volume:.4f} m^3 |",
        f"| fin keel | {KEEL_DEPTH:.1f} m below the canoe body, chord {KEEL_ROOT_CHORD:.1f} m "
        f"(root) to {KEEL_TIP_CHORD:.1f} m (tip), t/c {KEEL_THICKNESS:.2f}, "
        f"sweep {KEEL_SWEEP:.0f} deg, section family {KEEL_FAMILY}, "
        f"root leading edge at x = {X_KEEL:.2f} m |",
        f"| spade rudder | tip {RUDDER_SPAN:.1f} m below the waterline, chord "
        f"{RUDDER_ROOT_CHORD:.2f} m (root) to {RUDDER_TIP_CHORD:.2f} m (tip), "
        f"t/c {RUDDER_THICKNESS:.2f}, section family {RUDDER_FAMILY}, "
        f"root leading edge at x = {X_RUDDER:.2f} m |",
        "",
        "Axes of the offsets: x forward with x = 0 at the transom, z upward with",
        f"the design waterline at z = 0. The {len(stations)} stations run from the transom to",
        f"x = {float(stations[-1][0]):.2f} m, with {npts} points each from the keel point on the",
        "centre plane up along the girth to the sheer.",
        "",
        "Three case codes read the same hull from the three offsets layouts; the",
        "three offsets files hold the same numbers, written with the same text:",
        "",
        "| Case | Case input | Offsets file | Layout |",
        "|---|---|---|---|",
        "| CR1 | INPUT/CX_CR1_IN.TXT | OFFSETS/OFFS_CR1.TXT | FORMAT 1: one `x y z` line per point |",
        "| CR2 | INPUT/CX_CR2_IN.TXT | OFFSETS/OFFS_CR2.TXT | FORMAT 2: Delftship offsets export |",
        "| CR3 | INPUT/CX_CR3_IN.TXT | OFFSETS/OFFS_CR3.TXT | FORMAT 3: header, `*` line, "
        "station count, then `x np` and `np` lines `y z` per station |",
        "",
        "The case inputs differ only in FORMAT and title. All three use",
        f"APPEND/CRUISER.APP and the same {len(TEST_POINTS)} test points in seawater at 15 C:",
        "the bare hull at 2.0, 3.0 and 3.5 m/s, upright and at 20 degrees heel;",
        "with keel and rudder at 2.5 to 3.5 m/s, upright at 0, +3, -3 and 5",
        "degrees leeway, and heeled 10, 20 and 25 degrees at 2 to 4 degrees",
        "leeway, with rudder angles from 0 to 4 degrees.",
        "",
        "To run a case, start the program in this directory and type CR1, CR2 or",
        "CR3; the report goes to CXRUN/ and the resistance table to DRAG/, both",
        "created when missing.",
        "",
        "The same case (counted-stations layout) in the other table modes:",
        "",
        "| Case | MODE | Resistance table |",
        "|---|---|---|",
        "| CM2 | 2 | drag areas (resistance over dynamic pressure) |",
        "| CM3 | 3 | resistance coefficients on the wetted surface |",
        "| CM4 | 4 | Delft-series regression only, no equilibrium |",
        "",
        "Every file here is written by `tools/make_example.py`. Regenerate them from",
        "the repository root with",
        "",
        "    python3 tools/make_example.py",
    ]
    write_text(path, lines)


def main():
    out = Path(__file__).resolve().parent.parent / "examples" / "cruiser"
    volume = canoe_volume()
    stations = make_stations()
    write_offsets_1(out / "OFFSETS" / "OFFS_CR1.TXT", stations)
    write_offsets_2(out / "OFFSETS" / "OFFS_CR2.TXT", stations)
    write_offsets_3(out / "OFFSETS" / "OFFS_CR3.TXT", stations)
    for fmt in (1, 2, 3):
        write_case(out / "INPUT" / f"CX_CR{fmt}_IN.TXT", fmt, volume)
    for mode in (2, 3, 4):
        write_offsets_3(out / "OFFSETS" / f"OFFS_CM{mode}.TXT", stations)
        write_case(out / "INPUT" / f"CX_CM{mode}_IN.TXT", 3, volume, mode)
    write_appendages(out / "APPEND" / "CRUISER.APP")
    write_readme(out / "README.md", volume, stations)
    print(f"wrote {out} (VOLUME = {volume:.4f} m^3)")


if __name__ == "__main__":
    main()
