#!/usr/bin/env python3
"""Rebuild the committed reference outputs of the example cases.

Every case of every example folder (examples/<example>/INPUT/CX_<case>_IN.TXT)
is run by the built program in a scratch copy of its folder; the report
(CXRUN/OUT_<case>.TXT), the resistance table (DRAG/DRAG_<case>.TXT) and the
console text are stored under tests/reference/<example>/<case>/. The test
WholeRunReference compares fresh runs with these files.

Re-bless only when a model deliberately changes the numbers, and say why in
the commit. From the repository root, after building the program:

    python3 tools/bless_references.py [--exe build/carinex]

Standard library only.
"""

import argparse
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
REFERENCE = REPO / "tests" / "reference"


def cases(example):
    """The case codes of an example folder, from its case input files."""
    names = sorted(p.name for p in (example / "INPUT").glob("CX_*_IN.TXT"))
    return [n[len("CX_"):-len("_IN.TXT")] for n in names]


def run_case(exe, example, code):
    """Runs one case in a scratch copy; returns {reference file name: text}."""
    with tempfile.TemporaryDirectory(prefix="carinex_bless_") as tmp:
        work = Path(tmp) / example.name
        # the input folders only: outputs of an earlier run would be moved to .bak copies
        for folder in ("INPUT", "OFFSETS", "APPEND"):
            if (example / folder).is_dir():
                shutil.copytree(example / folder, work / folder)
        run = subprocess.run([str(exe)], cwd=work, input=code + "\n\n", capture_output=True, text=True, timeout=120)
        if run.returncode != 0:
            sys.exit("bless_references: %s/%s exited with %d:\n%s" % (example.name, code, run.returncode, run.stdout))
        return {
            "OUT_%s.TXT" % code: (work / "CXRUN" / ("OUT_%s.TXT" % code)).read_text(),
            "DRAG_%s.TXT" % code: (work / "DRAG" / ("DRAG_%s.TXT" % code)).read_text(),
            "console.txt": run.stdout,
        }


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--exe", default=str(REPO / "build" / "carinex"), help="the built program")
    exe = Path(parser.parse_args().exe).resolve()
    if not exe.is_file():
        sys.exit("bless_references: no program at %s (build it first)" % exe)
    if REFERENCE.exists():
        shutil.rmtree(REFERENCE)
    for example in sorted(p for p in (REPO / "examples").iterdir() if (p / "INPUT").is_dir()):
        for code in cases(example):
            target = REFERENCE / example.name / code
            target.mkdir(parents=True)
            for name, text in run_case(exe, example, code).items():
                (target / name).write_text(text)
            print("blessed %s/%s" % (example.name, code))


if __name__ == "__main__":
    main()
