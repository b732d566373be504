#!/usr/bin/env python3
"""scripts/install-deps.sh, run as root with every package missing, against an
apt-get that fails as the real one does while another package manager holds
the lock for its first FAKE_LOCKED calls, then with FAKE_ERROR, if set.
Usage: test_install_deps.py SOURCE
"""
import os
import subprocess
import sys
import tempfile

STAND_INS = {
    "apt-get": """#!/bin/sh
n=$(($(cat "$FAKE_STATE/n" 2>/dev/null || echo 0) + 1)); echo $n >"$FAKE_STATE/n"
if [ "$n" -le "${FAKE_LOCKED:-0}" ]; then
  echo "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (unattended-upgr)" >&2
  exit 100
fi
[ -z "${FAKE_ERROR:-}" ] || { echo "E: $FAKE_ERROR" >&2; exit 100; }
""",
    "dpkg-query": "#!/bin/sh\n",
    "id": "#!/bin/sh\necho 0\n",
    "fc-cache": "#!/bin/sh\n",
}
WAITING, GAVE_UP = "install-deps: waiting up to", "install-deps: gave up waiting for the package locks"

# The environment, the exit expected, what the script says and what it does not.
ROWS = (
    ({"FAKE_LOCKED": "1"}, 0, [WAITING, "It is held by process 4242"], [GAVE_UP]),
    ({"FAKE_LOCKED": "1000", "MAPDECK_APT_LOCK_WAIT": "1"}, 100, [WAITING, GAVE_UP], []),
    ({"FAKE_ERROR": "Unable to locate package"}, 100, ["E: Unable to locate package"], [WAITING]),
)

failed = 0
for row, code, said, unsaid in ROWS:
    with tempfile.TemporaryDirectory() as scratch:
        for command, text in STAND_INS.items():
            with open(os.path.join(scratch, command), "w") as f:
                f.write(text)
                os.fchmod(f.fileno(), 0o755)
        env = {"PATH": scratch + os.pathsep + os.environ["PATH"], "FAKE_STATE": scratch, **row}
        answer = subprocess.run(["bash", os.path.join(sys.argv[1], "scripts", "install-deps.sh")], env=env,
                                capture_output=True, text=True)
        if (answer.returncode != code or any(t not in answer.stderr for t in said) or
                any(t in answer.stderr for t in unsaid)):
            print("FAILED: %s: exit %d, it said:\n%s" % (row, answer.returncode, answer.stderr), file=sys.stderr)
            failed = 1
sys.exit(failed)
