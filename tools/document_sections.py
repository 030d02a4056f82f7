"""The lines of one top-level section (a "# " heading) of a Markdown document.

Shared by the table transcription scripts. Standard library only.
"""
import sys


def section_lines(document, title, script):
    """The lines after the one "# " heading that contains `title`, up to the next "# " heading.
    Exits with a message naming `script` unless exactly one such heading exists."""
    lines = document.splitlines()
    starts = [i for i, line in enumerate(lines) if line.startswith("# ") and title in line]
    if len(starts) != 1:
        sys.exit("%s: expected one section titled '%s', found %d" % (script, title, len(starts)))
    body = []
    for line in lines[starts[0] + 1:]:
        if line.startswith("# "):
            break
        body.append(line)
    return body
