#!/usr/bin/env python3
"""scripts/install-deps.sh, run as root with every package missing, against an
apt-get that fails as the real one does while another package manager holds
the lock for its first FAKE_LOCKED calls, its message translated unless its
messages' locale is C. Usage: test_install_deps.py SOURCE
"""
import os
import subprocess
import sys
import tempfile

APT_GET = """n=$(($(cat "$FAKE_COUNT" 2>/dev/null || echo 0) + 1)); echo $n >"$FAKE_COUNT"
case ${LC_ALL:-${LC_MESSAGES:-${LANG:-C}}} in
C | C.* | POSIX) lock="E: Could not get lock /var/lib/dpkg/lock-frontend." ;;
*) lock="E: Sperre /var/lib/dpkg/lock-frontend konnte nicht erlangt werden." ;;
esac
[ "$n" -gt "$FAKE_LOCKED" ] || { echo "$lock" >&2; exit 100; }
"""
# The environment; the exit, whether it said it waits and whether it said it gave up.
ROWS = (({"FAKE_LOCKED": "1"}, (0, True, False)),
        ({"FAKE_LOCKED": "1", "LANG": "de_DE.UTF-8"}, (0, True, False)),
        ({"FAKE_LOCKED": "1000", "MAPDECK_APT_LOCK_WAIT": "1"}, (100, True, True)),
        ({"FAKE_LOCKED": "1000", "MAPDECK_APT_LOCK_WAIT": "0"}, (100, True, True)))

failed = 0
with tempfile.TemporaryDirectory() as scratch:
    for command, text in {"apt-get": APT_GET, "dpkg-query": "", "id": "echo 0\n", "fc-cache": ""}.items():
        with open(os.path.join(scratch, command), "w") as f:
            f.write("#!/bin/sh\n" + text)
            os.fchmod(f.fileno(), 0o755)
    for n, (row, expected) in enumerate(ROWS):
        env = {"PATH": scratch + os.pathsep + os.environ["PATH"], "FAKE_COUNT": os.path.join(scratch, str(n)), **row}
        answer = subprocess.run(["bash", os.path.join(sys.argv[1], "scripts", "install-deps.sh")], env=env,
                                capture_output=True, text=True)
        if (answer.returncode, "install-deps: waiting up to" in answer.stderr,
                "install-deps: gave up waiting" in answer.stderr) != expected:
            print("FAILED: %s: exit %d, it said:\n%s" % (row, answer.returncode, answer.stderr), file=sys.stderr)
            failed = 1
sys.exit(failed)
