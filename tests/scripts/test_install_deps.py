#!/usr/bin/env python3
"""scripts/install-deps.sh against stand-ins of the system's commands.

Usage: test_install_deps.py SOURCE

Each row runs the script with stand-ins first on PATH: dpkg-query (every
package present but FAKE_MISSING), id (FAKE_UID, else root), sudo (which, as
the real one, passes on no environment of the caller), fc-cache, and apt-get,
which records each call and answers as the real one does while another
package manager holds a lock ("E: Could not get lock ...", exit 100) for its
first FAKE_LOCKED_<kind> calls of a kind (update, install), then fails with
FAKE_ERROR_<kind> or succeeds. Checked: the script's exit, the calls apt-get
got, and what the script said (and did not say).
"""
import os
import subprocess
import sys
import tempfile

STAND_INS = {
    "apt-get": r"""#!/bin/sh
kind=update
case " $* " in *" install "*) kind=install ;; esac
n=$(($(cat "$FAKE_STATE/$kind" 2>/dev/null || echo 0) + 1))
echo $n >"$FAKE_STATE/$kind"
echo "$kind DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-}" >>"$FAKE_STATE/calls"
if [ "$n" -le "$(eval echo "\${FAKE_LOCKED_$kind:-0}")" ]; then
  echo "E: Could not get lock /var/lib/$kind/lock. It is held by process 4242 (unattended-upgr)" >&2
  echo "E: Unable to lock the $kind lock" >&2
  exit 100
fi
error=$(eval echo "\${FAKE_ERROR_$kind:-}")
[ -z "$error" ] || { echo "E: $error" >&2; exit 100; }
""",
    "dpkg-query": '#!/bin/sh\nfor last; do :; done\n[ "$last" = "${FAKE_MISSING:-}" ] || printf "install ok installed"\n',
    "id": "#!/bin/sh\necho ${FAKE_UID:-0}\n",
    "sudo": '#!/bin/sh\nexec env -i PATH="$PATH" FAKE_STATE="$FAKE_STATE" FAKE_LOCKED_update="${FAKE_LOCKED_update:-}" '
            'FAKE_LOCKED_install="${FAKE_LOCKED_install:-}" FAKE_ERROR_install="${FAKE_ERROR_install:-}" "$@"\n',
    "fc-cache": "#!/bin/sh\n",
}

WAITING = "install-deps: waiting up to"
GAVE_UP = "install-deps: gave up waiting for the package locks"
U, I = "update DEBIAN_FRONTEND=noninteractive", "install DEBIAN_FRONTEND=noninteractive"

# The row, its environment (cmake missing unless it says otherwise), the exit
# expected, the apt-get calls expected (None: any), what the script says and
# what it does not.
ROWS = (
    ("every package present", {"FAKE_MISSING": ""}, 0, [], [], [WAITING, "installing"]),
    ("the locks free", {}, 0, [U, I], ["installing cmake"], [WAITING]),
    ("the lists lock held for the first two updates", {"FAKE_LOCKED_update": "2"}, 0, [U, U, U, I],
     [WAITING, "Could not get lock /var/lib/update/lock. It is held by process 4242 (unattended-upgr)"], [GAVE_UP]),
    ("the dpkg lock held for the first install", {"FAKE_LOCKED_install": "1"}, 0, [U, I, I],
     [WAITING, "Could not get lock /var/lib/install/lock"], [GAVE_UP]),
    ("a lock held past the bound", {"FAKE_LOCKED_update": "1000", "MAPDECK_APT_LOCK_WAIT": "1"}, 100, None,
     [WAITING, GAVE_UP, "E: Could not get lock /var/lib/update/lock"], []),
    ("another failure, not waited for", {"FAKE_ERROR_install": "Unable to locate package"}, 100, [U, I],
     ["E: Unable to locate package"], [WAITING]),
    ("a user, through sudo", {"FAKE_UID": "1000", "FAKE_LOCKED_install": "1"}, 0, [U, I, I], [WAITING], []),
)


def main():
    script = os.path.join(sys.argv[1], "scripts", "install-deps.sh")
    failed = 0
    for name, env, code, calls, said, unsaid in ROWS:
        with tempfile.TemporaryDirectory() as scratch:
            for command, text in STAND_INS.items():
                with open(os.path.join(scratch, command), "w") as f:
                    f.write(text)
                os.chmod(os.path.join(scratch, command), 0o755)
            environment = {"PATH": scratch + os.pathsep + os.environ.get("PATH", ""), "FAKE_STATE": scratch,
                           "HOME": scratch, "FAKE_MISSING": "cmake", **env}
            answer = subprocess.run(["bash", script], env=environment, capture_output=True, text=True)
            calls_file = os.path.join(scratch, "calls")
            got = open(calls_file).read().splitlines() if os.path.exists(calls_file) else []
            problems = ["exit %d, expected %d" % (answer.returncode, code)] if answer.returncode != code else []
            problems += ["apt-get calls %s, expected %s" % (got, calls)] if calls not in (None, got) else []
            problems += ["did not say %r" % text for text in said if text not in answer.stderr]
            problems += ["said %r" % text for text in unsaid if text in answer.stderr]
            if problems:
                print("FAILED: %s: %s; it said:\n%s%s" % (name, "; ".join(problems), answer.stdout, answer.stderr),
                      file=sys.stderr)
                failed = 1
    return failed


if __name__ == "__main__":
    sys.exit(main())
