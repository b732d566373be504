#!/usr/bin/env python3
"""The check of the paths installed headers name (scripts/check-named-paths.py).

Usage: test_check_named_paths.py SOURCE planted
  a scratch prefix holding a few installed files and one planted header per
  row: the check fails naming the header's line and the path, or passes where
  every path the header names is installed.
Usage: test_check_named_paths.py SOURCE installed BUILD
  the build installed into a scratch prefix: every path is installed.
"""
import os
import subprocess
import sys
import tempfile

INSTALLED = ("include/mapdeck/host/basilo/igis_log.h", "include/mapdeck/platform/imaging/other.h",
             "include/mapdeck/mapdeck_controls.h", "share/doc/mapdeck/host/featra/FORMAT.md",
             "share/mapdeck/othercomponents.cfg")

# The path the check names (None: it passes), and the planted header's text.
ROWS = (
    (None, '#include "host/basilo/igis_log.h"'),
    ("host/basilo/gis_log.h", '#include "host/basilo/gis_log.h"'),
    (None, "// The records (host/basilo/igis_log.h) say why."),
    ("host/glyphorpick/cgis_symbolpickdlg.h", "// A dialog (host/glyphorpick/cgis_symbolpickdlg.h)."),
    (None, "// Stored as host/featra/FORMAT.md says."),
    ("host/sferon/FORMAT.md", "// Stored as host/sferon/FORMAT.md says."),
    (None, "// Headers under platform/imaging/ and host/basilo."),
    ("platform/canvas", "// Draws into a canvas (platform/canvas)."),
    (None, "// A budget (platform/imaging/\n// other.h) of time."),
    ("platform/imaging/metafilelimits.h", "// A budget (platform/imaging/\n// metafilelimits.h) of time."),
    (None, "// The list othercomponents.cfg and mapdeck_controls.h."),
    ("stringdlg.dlg", "// Template 31011 in stringdlg.dlg."),
    (None, "// Records go to mapdeck.log; sizes are 0.01 mm, e.g. 2.5."),
)


def main():
    source, mode = sys.argv[1], sys.argv[2]
    check = [sys.executable, os.path.join(source, "scripts", "check-named-paths.py")]
    with tempfile.TemporaryDirectory() as prefix:
        if mode == "installed":
            subprocess.run(["cmake", "--install", sys.argv[3], "--prefix", prefix], check=True,
                           stdout=subprocess.DEVNULL)
            return subprocess.run(check + [prefix]).returncode
        for path in INSTALLED:
            os.makedirs(os.path.dirname(os.path.join(prefix, path)), exist_ok=True)
            open(os.path.join(prefix, path), "w").close()
        failed = 0
        for named, text in ROWS:
            with open(os.path.join(prefix, "include", "mapdeck", "planted.h"), "w") as header:
                header.write(text + "\n")
            answer = subprocess.run(check + [prefix], capture_output=True, text=True)
            exit_wrong = answer.returncode != (0 if named is None else 1)
            if exit_wrong or (named and "planted.h:1: " + named not in answer.stderr):
                print("FAILED: a header with %r: expected %s, the check answered:\n%s%s" %
                      (text, "a pass" if named is None else "a failure naming " + named, answer.stdout,
                       answer.stderr), file=sys.stderr)
                failed = 1
        return failed


if __name__ == "__main__":
    sys.exit(main())
