#!/usr/bin/env python3
"""scripts/install-deps.sh against stand-ins of the system's commands.

Usage: test_install_deps.py SOURCE

Each row runs the script with stand-ins first on PATH: dpkg-query (every
package present, or one missing), id (root or a user), sudo (which, as the
real one, passes on no environment of the caller), fc-cache, and apt-get,
which answers as the real one does while another package manager holds a
lock it needs ("E: Could not get lock ...", exit 100) for its first calls of
a kind, and records each call. Checked: the script's exit, the calls apt-get
got, and what the script said.
"""
import os
import subprocess
import sys
import tempfile

APT_GET = r"""#!/bin/sh
# Counts its calls by kind (update, install); answers "locked" for the first
# FAKE_LOCKED_<KIND> of them, then fails with FAKE_ERROR_<KIND> or succeeds.
kind=update
case " $* " in *" install "*) kind=install ;; esac
n=$(($(cat "$FAKE_STATE/$kind" 2>/dev/null || echo 0) + 1))
echo $n >"$FAKE_STATE/$kind"
echo "$kind DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-}" >>"$FAKE_STATE/calls"
locked=$(eval echo "\${FAKE_LOCKED_$kind:-0}")
if [ "$n" -le "$locked" ]; then
  echo "E: Could not get lock /var/lib/$kind/lock. It is held by process 4242 (unattended-upgr)" >&2
  echo "E: Unable to lock the $kind lock" >&2
  exit 100
fi
error=$(eval echo "\${FAKE_ERROR_$kind:-}")
if [ -n "$error" ]; then
  echo "E: $error" >&2
  exit 100
fi
"""
DPKG_QUERY = r"""#!/bin/sh
# Every package installed but the one FAKE_MISSING names.
for last; do :; done
[ "$last" = "${FAKE_MISSING:-}" ] || printf 'install ok installed'
"""
ID = "#!/bin/sh\necho ${FAKE_UID:-0}\n"
# As sudo does by default: none of the caller's environment but what it needs.
SUDO = '#!/bin/sh\nexec env -i PATH="$PATH" FAKE_STATE="$FAKE_STATE" FAKE_LOCKED_update="${FAKE_LOCKED_update:-}" ' \
       'FAKE_LOCKED_install="${FAKE_LOCKED_install:-}" FAKE_ERROR_install="${FAKE_ERROR_install:-}" "$@"\n'
FC_CACHE = "#!/bin/sh\nexit 0\n"

WAITING = "install-deps: waiting up to"
GAVE_UP = "install-deps: gave up waiting for the package locks"

# The row, its environment, the exit expected, the apt-get calls expected
# (kind and front end), and what the script says (and does not say).
ROWS = (
    ("every package present", {}, 0, [], [], [WAITING, "installing"]),
    ("the locks free", {"FAKE_MISSING": "cmake"}, 0,
     ["update DEBIAN_FRONTEND=noninteractive", "install DEBIAN_FRONTEND=noninteractive"],
     ["installing cmake"], [WAITING]),
    ("the lists lock held for the first two updates", {"FAKE_MISSING": "cmake", "FAKE_LOCKED_update": "2"}, 0,
     ["update DEBIAN_FRONTEND=noninteractive"] * 3 + ["install DEBIAN_FRONTEND=noninteractive"],
     [WAITING, "Could not get lock /var/lib/update/lock. It is held by process 4242 (unattended-upgr)"],
     [GAVE_UP]),
    ("the dpkg lock held for the first install", {"FAKE_MISSING": "cmake", "FAKE_LOCKED_install": "1"}, 0,
     ["update DEBIAN_FRONTEND=noninteractive"] + ["install DEBIAN_FRONTEND=noninteractive"] * 2,
     [WAITING, "Could not get lock /var/lib/install/lock"], [GAVE_UP]),
    ("a lock held past the bound",
     {"FAKE_MISSING": "cmake", "FAKE_LOCKED_update": "1000", "MAPDECK_APT_LOCK_WAIT": "1"}, 100, None,
     [WAITING, GAVE_UP, "E: Could not get lock /var/lib/update/lock"], []),
    ("another failure, not waited for", {"FAKE_MISSING": "cmake", "FAKE_ERROR_install": "Unable to locate package"},
     100, ["update DEBIAN_FRONTEND=noninteractive", "install DEBIAN_FRONTEND=noninteractive"],
     ["E: Unable to locate package"], [WAITING]),
    ("a user, through sudo", {"FAKE_MISSING": "cmake", "FAKE_UID": "1000", "FAKE_LOCKED_install": "1"}, 0,
     ["update DEBIAN_FRONTEND=noninteractive"] + ["install DEBIAN_FRONTEND=noninteractive"] * 2, [WAITING], []),
)


def main():
    script = os.path.join(sys.argv[1], "scripts", "install-deps.sh")
    failed = 0
    for name, env, code, calls, said, unsaid in ROWS:
        with tempfile.TemporaryDirectory() as scratch:
            bin_dir = os.path.join(scratch, "bin")
            state = os.path.join(scratch, "state")
            os.makedirs(bin_dir)
            os.makedirs(state)
            for command, text in (("apt-get", APT_GET), ("dpkg-query", DPKG_QUERY), ("id", ID), ("sudo", SUDO),
                                  ("fc-cache", FC_CACHE)):
                path = os.path.join(bin_dir, command)
                with open(path, "w") as f:
                    f.write(text)
                os.chmod(path, 0o755)
            environment = {"PATH": bin_dir + os.pathsep + os.environ.get("PATH", ""), "FAKE_STATE": state,
                           "HOME": scratch}
            environment.update(env)
            answer = subprocess.run(["bash", script], env=environment, capture_output=True, text=True)
            calls_file = os.path.join(state, "calls")
            got = open(calls_file).read().splitlines() if os.path.exists(calls_file) else []
            problems = []
            if answer.returncode != code:
                problems.append("exit %d, expected %d" % (answer.returncode, code))
            if calls is not None and got != calls:
                problems.append("apt-get calls %s, expected %s" % (got, calls))
            problems += ["did not say %r" % text for text in said if text not in answer.stderr]
            problems += ["said %r" % text for text in unsaid if text in answer.stderr]
            if problems:
                print("FAILED: %s: %s; it said:\n%s%s" % (name, "; ".join(problems), answer.stdout, answer.stderr),
                      file=sys.stderr)
                failed = 1
    return failed


if __name__ == "__main__":
    sys.exit(main())
