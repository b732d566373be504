#!/usr/bin/env python3
"""scripts/check-named-paths.py on a scratch prefix of two installed headers
and a planted one naming them, other names, and two paths not installed: it
fails naming just those two, by line. Usage: test_check_named_paths.py SOURCE
"""
import os
import subprocess
import sys
import tempfile

PLANTED = """#include "host/basilo/igis_log.h"
// Records go to mapdeck.log; sizes are 0.01 mm.
#include "host/basilo/gis_log.h"
// A budget (platform/imaging/
// metafilelimits.h) of time.
"""
NAMED = ["  planted.h:3: host/basilo/gis_log.h", "  planted.h:4: platform/imaging/metafilelimits.h"]

with tempfile.TemporaryDirectory() as prefix:
    for path, text in (("host/basilo/igis_log.h", ""), ("platform/imaging/other.h", ""), ("planted.h", PLANTED)):
        path = os.path.join(prefix, "include", "mapdeck", path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as header:
            header.write(text)
    answer = subprocess.run([sys.executable, os.path.join(sys.argv[1], "scripts", "check-named-paths.py"), prefix],
                            capture_output=True, text=True)
if answer.returncode != 1 or answer.stderr.splitlines()[1:] != NAMED:
    sys.exit("FAILED: the check answered %d:\n%s%s" % (answer.returncode, answer.stdout, answer.stderr))
