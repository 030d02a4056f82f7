#!/usr/bin/env python3
"""Transcribe the Delft-series regression tables for the tests.

The program's coefficient tables (src/solver/delft_tables.h) were typed in;
a slip in one of some three hundred printed numbers changes every regression
value without failing anything. This script reads the tables from the design
document's section on the Delft regression comparison, independently of the
program's header, checks that the transcription is complete, and writes
tests/solver/delft_reference_tables.h, which a test compares cell by cell with
the program's tables. Standard library only.

Run from the repository root:

    python3 tools/transcribe_delft_tables.py DOCUMENT [--check]

With --check nothing is written: the committed file must equal what the
document gives now.

Checks made on the printed tables:
  * each table has its printed number of rows and every row its number of
    coefficients;
  * the row keys (Froude number or heel) run in equal steps from the first
    printed key, as the interpolation assumes;
  * every cell is a plain decimal number.
"""

import re
import sys
from pathlib import Path

from document_sections import section_lines

OUTPUT = Path("tests/solver/delft_reference_tables.h")
SECTION_TITLE = "Delft regression comparison"
NUMBER = re.compile(r"^-?\d+(\.\d+)?$")

# name in the header, caption or lead-in in the document, rows, coefficients,
# first key, step of the keys
PIPE_TABLES = [
    ("kUprightResiduary", "Upright residuary table (a0..a7):", 13, 8, 0.15, 0.05),
    ("kHeelCorrection", "Heel correction table (u0..u5):", 7, 6, 0.25, 0.05),
    ("kTrimMoment", "Trim-moment table (c0..c5):", 10, 6, 0.15, 0.05),
    ("kWettedSurface", "Wetted-surface table (s0..s3):", 7, 4, 5.0, 5.0),
]
PROSE_TABLES = [
    ("kKeelResiduary", "keel residuary rows (k0, k1, k2, k3):", 9, 4, 0.20, 0.05),
    ("kSideForce", "Side-force rows (b0..b3):", 4, 4, 0.0, 10.0),
    ("kEffectiveSpan", "Effective-span rows (c0..c5):", 4, 6, 0.0, 10.0),
]
KEEL_HEEL = "with e0..e3 = "


def fail(message):
    sys.exit("transcribe_delft_tables: " + message)


def key_value(text):
    return float(text.replace("°", "").strip())


def check_rows(name, rows, count, cols, first, step):
    """rows: list of (key text, [cell texts]). Checks shape, keys and cells."""
    if len(rows) != count:
        fail("%s: %d rows, expected %d" % (name, len(rows), count))
    for k, (key, cells) in enumerate(rows):
        if len(cells) != cols:
            fail("%s row %s: %d coefficients, expected %d" % (name, key, len(cells), cols))
        if abs(key_value(key) - (first + k * step)) > 1e-9:
            fail("%s: row %d has key %s, expected %g" % (name, k + 1, key, first + k * step))
        for c in cells:
            if not NUMBER.match(c):
                fail("%s row %s: '%s' is not a number" % (name, key, c))


def pipe_table(lines, caption):
    at = [i for i, line in enumerate(lines) if line.strip() == caption]
    if len(at) != 1:
        fail("expected one caption '%s', found %d" % (caption, len(at)))
    rows, i = [], at[0] + 1
    while i < len(lines) and not lines[i].startswith("|"):
        i += 1
    for line in lines[i + 2:]:  # past the heading and the rule
        if not line.startswith("|"):
            break
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        rows.append((cells[0], cells[1:]))
    return rows


def prose_table(text, lead, next_leads):
    start = text.find(lead)
    if start < 0 or text.find(lead, start + 1) >= 0:
        fail("expected the lead-in '%s' once" % lead)
    body = text[start + len(lead):]
    ends = [body.find(n) for n in next_leads if body.find(n) >= 0]
    body = body[:min(ends)] if ends else body
    rows = []
    for part in body.strip().rstrip(".").split(";"):
        key, _, values = part.partition(":")
        rows.append((key.strip(), [v.strip() for v in values.split(",")]))
    return rows


def transcribe(document):
    lines = section_lines(document, SECTION_TITLE, 'transcribe_delft_tables')
    tables = []
    for name, caption, count, cols, first, step in PIPE_TABLES:
        rows = pipe_table(lines, caption)
        check_rows(name, rows, count, cols, first, step)
        tables.append((name, first, step, rows))
    prose = [line for line in lines if line.startswith("Keel-table values:")]
    if len(prose) != 1:
        fail("expected one paragraph of keel-table values, found %d" % len(prose))
    leads = [t[1] for t in PROSE_TABLES]
    for name, lead, count, cols, first, step in PROSE_TABLES:
        rows = prose_table(prose[0], lead, [n for n in leads if n != lead])
        check_rows(name, rows, count, cols, first, step)
        tables.append((name, first, step, rows))
    heel = [line for line in lines if KEEL_HEEL in line]
    if len(heel) != 1:
        fail("expected one line with '%s', found %d" % (KEEL_HEEL, len(heel)))
    e = re.match(r"\s*(-?[\d.]+), (-?[\d.]+), (-?[\d.]+), (-?[\d.]+)\.", heel[0].split(KEEL_HEEL)[1])
    if not e:
        fail("the four heel-term coefficients e0..e3 are not where expected")
    return tables, list(e.groups())


def header(tables, keel_heel):
    out = ["// Generated by tools/transcribe_delft_tables.py from the design document; do not edit.",
           "// The Delft-series regression tables as printed: row keys (Froude number or",
           "// heel in degrees) and coefficients, for comparison with the program's tables.",
           "#pragma once", "", "namespace carinex::test::delft_printed {", ""]
    for name, first, step, rows in tables:
        cols = len(rows[0][1])
        out.append("inline constexpr double %sFirstKey = %r, %sKeyStep = %r;" % (name, first, name, step))
        out.append("inline constexpr double %s[%d][%d] = {" % (name, len(rows), cols))
        for key, cells in rows:
            out.append("    {%s},  // %s" % (", ".join(cells), key))
        out.append("};")
        out.append("")
    out.append("inline constexpr double kKeelHeel[4] = {%s};" % ", ".join(keel_heel))
    out += ["", "}  // namespace carinex::test::delft_printed", ""]
    return "\n".join(out)


def main():
    args = [a for a in sys.argv[1:] if a != "--check"]
    if len(args) != 1:
        fail("usage: transcribe_delft_tables.py DOCUMENT [--check]")
    tables, keel_heel = transcribe(Path(args[0]).read_text(encoding="utf-8"))
    text = header(tables, keel_heel)
    cells = sum(len(rows) * len(rows[0][1]) for _, _, _, rows in tables) + len(keel_heel)
    if "--check" in sys.argv:
        if OUTPUT.read_text() != text:
            fail("%s differs from the document's tables" % OUTPUT)
        print("%s matches the document (%d tables, %d coefficients)" % (OUTPUT, len(tables) + 1, cells))
        return
    OUTPUT.write_text(text)
    print("wrote %s (%d tables, %d coefficients)" % (OUTPUT, len(tables) + 1, cells))


if __name__ == "__main__":
    main()
