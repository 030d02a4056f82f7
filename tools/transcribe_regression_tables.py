#!/usr/bin/env python3
"""Transcribe the flow-trim and residuary-resistance regression tables.

The coefficient and index tables of the two Froude-station regressions are
long lists of printed numbers; typing them by hand is how such tables go
wrong. This script reads them from the design document's section on the two
regressions, checks them, and writes src/appendages/regression_tables.h.
Only the Python standard library is used.

Run from the repository root:

    python3 tools/transcribe_regression_tables.py DOCUMENT [--check]

DOCUMENT is the design document holding the tables. With --check nothing is written:
the committed header must equal what the document gives now.

Checks made on the printed tables:
  * every index row has 11 slots and every coefficient row 12 values;
  * the index rows' station ranges cover stations 1 to 15 exactly once, the
    coefficient rows are stations 1 to 15 in order;
  * a slot is empty (0) exactly where its printed coefficient is 0;
  * every slot names a parameter of its model (1..44 and 1..37);
  * the generated header, read back, holds every printed cell unchanged.
The header carries checksums of the printed values, which the C++ tests
recompute from the compiled tables.
"""

import re
import sys
from pathlib import Path

from document_sections import section_lines

OUTPUT = Path("src/appendages/regression_tables.h")
SECTION_TITLE = "Flow-trim and residuary-resistance regressions"
STATIONS = 15
SLOTS = 11
MODELS = {"TRIMRG": 44, "RESIRG": 37}  # model -> number of parameters


def fail(message):
    sys.exit("transcribe_regression_tables: " + message)


def table_after(lines, caption):
    """Rows (lists of cell texts) of the first table after a caption line."""
    at = [i for i, line in enumerate(lines) if line.startswith(caption)]
    if len(at) != 1:
        fail("expected one caption '%s', found %d" % (caption, len(at)))
    rows, i = [], at[0] + 1
    while i < len(lines) and not lines[i].startswith("|"):
        i += 1
    while i < len(lines) and lines[i].startswith("|"):
        cells = [c.strip() for c in lines[i].strip().strip("|").split("|")]
        rows.append(cells)
        i += 1
    if len(rows) < 3 or not set(rows[1][0]) <= set("-: "):
        fail("caption '%s' is not followed by a table" % caption)
    return rows[0], rows[2:]


def station_range(text):
    m = re.fullmatch(r"(\d+)(?:-(\d+))?", text)
    if not m:
        fail("bad station range '%s'" % text)
    first = int(m.group(1))
    last = int(m.group(2) or first)
    return range(first, last + 1)


def index_rows(lines, model):
    head, rows = table_after(lines, "Index rows of `%s`" % model)
    if head != ["k", "slots"]:
        fail("%s index table head %s" % (model, head))
    stations = {}
    for cells in rows:
        if len(cells) != 2:
            fail("%s index row %s: %d cells" % (model, cells, len(cells)))
        slots = cells[1].split()
        if len(slots) != SLOTS:
            fail("%s index row %s: %d slots, not %d" % (model, cells[0], len(slots), SLOTS))
        for s in slots:
            if not re.fullmatch(r"\d+", s) or int(s) > MODELS[model]:
                fail("%s index row %s: slot '%s' names no parameter" % (model, cells[0], s))
        for k in station_range(cells[0]):
            if k in stations:
                fail("%s station %d has two index rows" % (model, k))
            stations[k] = slots
    if sorted(stations) != list(range(1, STATIONS + 1)):
        fail("%s index rows cover stations %s" % (model, sorted(stations)))
    return [stations[k] for k in range(1, STATIONS + 1)]


def coefficient_rows(lines, model):
    head, rows = table_after(lines, "Coefficients c(k, 0..11) of `%s`" % model)
    if head != ["k"] + ["c%d" % j for j in range(SLOTS + 1)]:
        fail("%s coefficient table head %s" % (model, head))
    if [cells[0] for cells in rows] != [str(k) for k in range(1, STATIONS + 1)]:
        fail("%s coefficient rows are not stations 1 to %d in order" % (model, STATIONS))
    out = []
    for cells in rows:
        values = cells[1:]
        if len(values) != SLOTS + 1:
            fail("%s coefficient row %s: %d values, not %d" % (model, cells[0], len(values), SLOTS + 1))
        for v in values:
            try:
                float(v)
            except ValueError:
                fail("%s coefficient row %s: '%s' is not a number" % (model, cells[0], v))
        out.append(values)
    return out


def check_empty_slots(model, index, coef):
    for k in range(STATIONS):
        for j in range(1, SLOTS + 1):
            empty = index[k][j - 1] == "0"
            zero = float(coef[k][j]) == 0.0
            if empty != zero:
                fail("%s station %d slot %d: index %s with coefficient %s"
                     % (model, k + 1, j, index[k][j - 1], coef[k][j]))


def checksums(index, coef):
    """Position-weighted sums, in the order the C++ test forms them."""
    slot_sum = 0
    value_sum = 0.0
    for k in range(STATIONS):
        for j in range(SLOTS + 1):
            weight = (k + 1) * 100 + j
            if j >= 1:
                slot_sum += weight * int(index[k][j - 1])
            value_sum += weight * float(coef[k][j])
    return slot_sum, value_sum


def render(tables):
    out = []
    out.append("// Generated by tools/transcribe_regression_tables.py from the printed tables;")
    out.append("// do not edit by hand. Every number is the printed text unchanged.")
    out.append("//")
    out.append("// Index rows and coefficients of the flow-trim (TRIMRG) and residuary-resistance")
    out.append("// (RESIRG) regressions at their 15 Froude stations FN(k) = 0.05 (k + 1).")
    out.append("#pragma once")
    out.append("")
    out.append('#include "appendages/regression_station.h"')
    out.append("")
    out.append("namespace carinex::regression {")
    for model, (index, coef) in tables.items():
        slot_sum, value_sum = checksums(index, coef)
        out.append("")
        out.append("// %s: per station k, slot j = 1..11 names parameter index[j] (0 = empty slot);" % model)
        out.append("// c[0] is the constant, c[j] the factor of slot j.")
        out.append("inline constexpr StationTable k%sStations{{{" % model)
        for k in range(STATIONS):
            slots = ", ".join(["0"] + index[k])
            values = ", ".join(coef[k])
            out.append("    {{%s},  // k = %d" % (slots, k + 1))
            out.append("     {%s}}," % values)
        out.append("}}};")
        out.append("inline constexpr long k%sSlotChecksum = %d;" % (model, slot_sum))
        out.append("inline constexpr double k%sValueChecksum = %s;" % (model, repr(value_sum)))
    out.append("")
    out.append("}  // namespace carinex::regression")
    return "\n".join(out) + "\n"


def read_back(header, tables):
    """Parse the generated header and compare every cell with the printed text."""
    for model, (index, coef) in tables.items():
        block = re.search(r"k%sStations\{\{\{(.*?)\}\}\};" % model, header, re.S)
        if not block:
            fail("read-back: no table %s" % model)
        rows = re.findall(r"\{\{([^}]*)\},\s*//[^\n]*\n\s*\{([^}]*)\}\}", block.group(1))
        if len(rows) != STATIONS:
            fail("read-back: %s has %d rows" % (model, len(rows)))
        for k, (slots, values) in enumerate(rows):
            slots = [s.strip() for s in slots.split(",")]
            values = [v.strip() for v in values.split(",")]
            if slots != ["0"] + index[k] or values != coef[k]:
                fail("read-back: %s station %d differs from the printed row" % (model, k + 1))


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    if len(args) != 1:
        fail("usage: transcribe_regression_tables.py DOCUMENT [--check]")
    document = Path(args[0]).read_text(encoding="utf-8")
    lines = section_lines(document, SECTION_TITLE, 'transcribe_regression_tables')
    tables = {}
    for model in MODELS:
        index = index_rows(lines, model)
        coef = coefficient_rows(lines, model)
        check_empty_slots(model, index, coef)
        tables[model] = (index, coef)
    header = render(tables)
    read_back(header, tables)
    if check:
        if not OUTPUT.exists() or OUTPUT.read_text(encoding="utf-8") != header:
            fail("%s is not the transcription of the printed tables" % OUTPUT)
        print("%s matches the printed tables" % OUTPUT)
        return
    OUTPUT.write_text(header, encoding="utf-8")
    for model, (index, coef) in tables.items():
        used = sum(1 for row in index for s in row if s != "0")
        print("%s: %d stations, %d used slots, checksums %d / %r" % ((model, STATIONS, used) + checksums(index, coef)))
    print("wrote %s" % OUTPUT)


if __name__ == "__main__":
    main(sys.argv[1:])
