#!/usr/bin/env python3
"""Write the towing-tank model example case into examples/tankmodel/.

Run from the repository root:

    python3 tools/make_tank_example.py

The model is the cruiser-racer of tools/make_example.py built at scale
1:4 for a towing tank: a 2.5 m waterline model with fin keel and spade
rudder, fitted with turbulence stimulators as a tank fits them:

  * a row of studs on the hull (HSTUD high, DSTUD in diameter, NSTUD of
    them around the girth) XSTUD behind the forward end of the waterline;
    the test points force transition at the same place (column XTRANS);
  * trip strips on the keel and the rudder (HSTIM > 0 with NSTK = 0), which
    also selects the tank-model section data of keel and rudder.

The offsets are the full-scale offsets of the cruiser-racer (metres) in
one layout, the Delftship offsets export (FORMAT 2); SCALE = 0.25 turns
them into model metres and ASCALE = 0.25 scales the full-scale appendage
file the same way.  VOLUME is the cruiser's analytic canoe-body volume
times 0.25^3, so the scale and the volume agree.

The test matrix is the one a tank runs for a sailing yacht model, in
fresh water at 18 C, about 60 runs:

  1. upright resistance series with keel and rudder, Fn 0.15 to 0.45 in
     steps of 0.025;
  2. the bare hull upright, Fn 0.15 to 0.45 in steps of 0.05;
  3. upright with leeway 2 and 4 degrees at Fn 0.30 and 0.40;
  4. heeled series at 10 and 20 degrees, leeway 0, 2 and 4 degrees, at
     Fn 0.20 to 0.45 in steps of 0.05, with the rudder angle a helmsman
     would hold: 0.1 degree per degree of heel plus half the leeway.

Speeds are written with three decimals (m/s), from Fn on the design
waterline length of the model.  Four case codes share the hull and the
test points and differ in MODE: TM1 forces, TM2 drag areas,
TM3 coefficients, TM4 Delft regression only.  Everything is
deterministic; only the Python standard library is used.
"""

import math
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_example as yacht  # noqa: E402  (the full-scale hull and appendages)

MODEL_SCALE = 0.25                      # 1:4
GRAV = 9.8055
LWL_MODEL = (yacht.X_FWL - yacht.X_AWL) * MODEL_SCALE
WATER_TEMPERATURE = 18.0                # fresh water
TURBULENCE = 0.1                        # percent

# Hull studs: 2.5 mm high, 3.2 mm diameter, a row of 12 at 5 % LWL.
HSTUD, DSTUD, NSTUD = 2.5, 3.2, 12
XSTUD = round(0.05 * LWL_MODEL * 1000.0, 1)   # mm behind the forward end of the DWL
# Trip strips on keel and rudder, 0.6 mm high.
HSTIM = 0.6

APPFIL = "TANKMOD.APP"
MODE_TABLES = {1: "resistance forces", 2: "drag areas", 3: "resistance coefficients",
               4: "Delft regression only"}


def speed(fn):
    return round(fn * math.sqrt(GRAV * LWL_MODEL), 3)


def froude_range(first, last, step):
    count = round((last - first) / step)
    return [round(first + k * step, 3) for k in range(count + 1)]


def rudder_angle(heel, leeway):
    return round(0.1 * heel + 0.5 * leeway, 1)


def point(fn, heel=0.0, appendages=1.0, leeway=0.0, rudder=0.0):
    # V, MEXT, water temperature, TURBU, XTRANS, heel, appendages, leeway,
    # rudder, vertical load
    return (speed(fn), 0.0, WATER_TEMPERATURE, TURBULENCE, XSTUD, heel, appendages,
            leeway, rudder, 0.0)


def test_points():
    rows = [point(fn) for fn in froude_range(0.15, 0.45, 0.025)]
    rows += [point(fn, appendages=0.0) for fn in froude_range(0.15, 0.45, 0.05)]
    rows += [point(fn, leeway=lw, rudder=rudder_angle(0.0, lw))
             for fn in (0.30, 0.40) for lw in (2.0, 4.0)]
    for heel in (10.0, 20.0):
        for lw in (0.0, 2.0, 4.0):
            rows += [point(fn, heel=heel, leeway=lw, rudder=rudder_angle(heel, lw))
                     for fn in froude_range(0.20, 0.45, 0.05)]
    assert len(rows) <= 250
    return rows


def write_case(path, volume, mode, rows):
    title = f"Tank model 1:4, LWL {LWL_MODEL:.2f} m, MODE {mode} ({MODE_TABLES[mode]})"
    assert len(title) <= 70
    lab = yacht.labelled
    lines = [
        "Carinex case input: towing-tank model with turbulence stimulators",
        title,
        "FORMAT of the offsets file: 1 = x y z list, 2 = Delftship export, 3 = counted stations",
        "2",
    ]
    lines += lab("XAXIS: 1 = x forward as in file, 2 = negate x", "1")
    lines += lab("ZAXIS: 1 = z upward as in file, 2 = negate z", "1")
    lines += lab("SCALE: factor from offsets units (full-scale m) to model metres", yacht.num(MODEL_SCALE, 2))
    lines += lab("XORIG: height datum subtracted from every z of the offsets", "0.0")
    lines += lab("XKEEL: x of the keel root leading edge (offsets units)", yacht.num(yacht.X_KEEL, 2))
    lines += lab("XRUDD: x of the rudder root leading edge (offsets units)", yacht.num(yacht.X_RUDDER, 2))
    lines += lab("XLOAD: x where the vertical test load acts (offsets units)", yacht.num(yacht.X_LOAD, 2))
    lines += lab("VOLUME: canoe-body volume of the model, m^3", yacht.num(volume, 6))
    lines += lab("IWATER: 1 = fresh water, 2 = seawater", "1")
    lines += lab("ZTOW: vertical lever added to the drag moment arm, m", "0.0")
    lines += lab("XLEVER: distance aft of the forward end of the DWL of the drag lever point, m",
                 yacht.num(yacht.X_LEVER * MODEL_SCALE, 4))
    lines += lab("HLIFTF: factor on hull lift and induced side force with appendages", "1.0")
    lines += lab("CHINE: hull side-force factor input (0 = round bilge)", "0.0")
    lines += lab("RDRFTF: factor of the heeled-waterline drift on the rudder angle of attack", "0.5")
    lines += lab("APPFIL: appendage file in APPEND", APPFIL)
    lines += lab("ASCALE: factor on the appendage lengths (full scale to model)", yacht.num(MODEL_SCALE, 2))
    lines += lab("HSTUD: height of the hull turbulence studs, mm (0 = none)", yacht.num(HSTUD, 1))
    lines += lab("DSTUD: diameter of the hull turbulence studs, mm", yacht.num(DSTUD, 1))
    lines += lab("NSTUD: number of hull turbulence studs (0 = strip)", str(NSTUD))
    lines += lab("XSTUD: distance of the stud row behind the forward end of the DWL, mm", yacht.num(XSTUD, 1))
    lines += lab("HSTIM: stimulator height on keel and rudder, mm (0 = full scale)", yacht.num(HSTIM, 1))
    lines += lab("DSTIM: diameter of the stimulator studs on keel and rudder, mm (unused for strips)", "0.0")
    lines += lab("NSTK: number of stimulator studs on the keel (0 = trip strips on keel and rudder)", "0")
    lines += lab("NSTR: number of stimulator studs on the rudder", "0")
    lines += lab("NTEST: number of test points (rows below)", str(len(rows)))
    lines += lab("MODE: 1 forces, 2 drag areas, 3 coefficients, 4 regression only", str(mode))
    lines += [
        "Test points, one row each: V m/s, MEXT Nm, water temperature C, TURBU %, XTRANS mm,",
        "heel deg, appendages (1.0 = keel and rudder, 0.0 = bare hull), leeway deg,",
        "rudder angle deg, vertical load N at XLOAD (positive downward)",
        "      V   MEXT    TW  TURBU  XTRANS   HEEL    APP  LEEWAY  RUDDER  FLOAD",
    ]
    widths = (7, 7, 6, 7, 8, 7, 7, 8, 8, 7)
    decimals = (3, 1, 1, 1, 1, 1, 1, 1, 1, 1)
    for row in rows:
        lines.append("".join(f"{yacht.num(v, d):>{w}}" for v, w, d in zip(row, widths, decimals)))
    assert len(lines) == 60 + len(rows)
    yacht.write_text(path, lines)


def write_appendages(path):
    """The full-scale appendage file of the cruiser-racer under its own title;
    the case input scales it to the model with ASCALE."""
    yacht.write_appendages(path)
    lines = path.read_text(encoding="ascii").splitlines()
    lines[0] = "Carinex appendage file: fin keel and spade rudder, full scale (ASCALE 0.25 for the 1:4 model)"
    yacht.write_text(path, lines)


def write_readme(path, volume, rows):
    lines = [
        "# Towing-tank model example",
        "",
        f"The cruiser-racer of `examples/cruiser` built as a 1:4 tank model: {LWL_MODEL:.2f} m",
        "design waterline length, fin keel and spade rudder, with the turbulence",
        "stimulators of a tank model:",
        "",
        f"- a row of {NSTUD} studs on the hull, {HSTUD} mm high and {DSTUD} mm in diameter,",
        f"  {XSTUD:.0f} mm behind the forward end of the waterline (5 % of its length);",
        "  every test point forces transition there (column XTRANS);",
        f"- trip strips {HSTIM} mm high on keel and rudder (`NSTK` = 0), so the",
        "  section data of keel and rudder are those of a stimulated tank model.",
        "",
        "The offsets are the full-scale cruiser offsets in metres in the Delftship",
        "export layout (FORMAT 2); `SCALE` = 0.25 makes them model metres, and",
        "`ASCALE` = 0.25 scales the full-scale appendage file `APPEND/TANKMOD.APP`.",
        f"`VOLUME` = {volume:.6f} m^3 is the cruiser's canoe-body volume times 0.25^3.",
        "",
        f"The {len(rows)} test points in fresh water at {WATER_TEMPERATURE:.0f} C are run the way a tank",
        "runs a sailing-yacht model:",
        "",
        "| Runs | Heel | Leeway | Rudder | Froude numbers |",
        "|---|---|---|---|---|",
        "| 13 upright resistance, keel and rudder | 0 | 0 | 0 | 0.15 to 0.45, step 0.025 |",
        "| 7 bare hull | 0 | 0 | 0 | 0.15 to 0.45, step 0.05 |",
        "| 4 upright with leeway | 0 | 2, 4 | 1, 2 | 0.30, 0.40 |",
        "| 36 heeled | 10, 20 | 0, 2, 4 | 0.1 x heel + 0.5 x leeway | 0.20 to 0.45, step 0.05 |",
        "",
        "Speeds are Fn times sqrt(g LWL) of the model, in m/s with three decimals.",
        "The four case codes share hull and test points and differ in `MODE`:",
        "",
        "| Case | MODE | Resistance table |",
        "|---|---|---|",
        "| TM1 | 1 | forces in N |",
        "| TM2 | 2 | drag areas |",
        "| TM3 | 3 | coefficients on the wetted surface |",
        "| TM4 | 4 | Delft-series regression only |",
        "",
        "To run a case, start the program in this directory and type TM1; the",
        "report goes to CXRUN/, the resistance table, the per-point file and the",
        "curves picture to DRAG/.",
        "",
        "Every file here is written by `tools/make_tank_example.py`. Regenerate",
        "them from the repository root with",
        "",
        "    python3 tools/make_tank_example.py",
    ]
    yacht.write_text(path, lines)


def main():
    out = Path(__file__).resolve().parent.parent / "examples" / "tankmodel"
    volume = yacht.canoe_volume() * MODEL_SCALE ** 3
    stations = yacht.make_stations()
    rows = test_points()
    for mode in (1, 2, 3, 4):
        yacht.write_offsets_2(out / "OFFSETS" / f"OFFS_TM{mode}.TXT", stations)
        write_case(out / "INPUT" / f"CX_TM{mode}_IN.TXT", volume, mode, rows)
    write_appendages(out / "APPEND" / APPFIL)
    write_readme(out / "README.md", volume, rows)
    print(f"wrote {out} (VOLUME = {volume:.6f} m^3, {len(rows)} test points)")


if __name__ == "__main__":
    main()
