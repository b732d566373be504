#!/usr/bin/env python3
"""scripts/check-named-paths.py on a scratch prefix of two installed headers
and one header planted per row: it fails naming the header's line and the
path, or passes. Usage: test_check_named_paths.py SOURCE
"""
import os
import subprocess
import sys
import tempfile

INSTALLED = ("include/mapdeck/host/basilo/igis_log.h", "include/mapdeck/platform/imaging/other.h")
# The path the check names (None: it passes), and the planted header's text.
ROWS = (
    (None, '#include "host/basilo/igis_log.h"\n// Records go to mapdeck.log; sizes are 0.01 mm.'),
    ("host/basilo/gis_log.h", '#include "host/basilo/gis_log.h"'),
    ("platform/imaging/metafilelimits.h", "// A budget (platform/imaging/\n// metafilelimits.h) of time."),
)

failed = 0
with tempfile.TemporaryDirectory() as prefix:
    for path in INSTALLED:
        os.makedirs(os.path.dirname(os.path.join(prefix, path)), exist_ok=True)
        open(os.path.join(prefix, path), "w").close()
    for named, text in ROWS:
        with open(os.path.join(prefix, "include", "mapdeck", "planted.h"), "w") as header:
            header.write(text + "\n")
        answer = subprocess.run([sys.executable, os.path.join(sys.argv[1], "scripts", "check-named-paths.py"), prefix],
                                capture_output=True, text=True)
        if answer.returncode != (named is not None) or (named and "planted.h:1: " + named not in answer.stderr):
            print("FAILED: %r: the check answered:\n%s%s" % (text, answer.stdout, answer.stderr), file=sys.stderr)
            failed = 1
sys.exit(failed)
