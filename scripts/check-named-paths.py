#!/usr/bin/env python3
"""Checks that every project file an installed header names is installed.

Usage: check-named-paths.py PREFIX

Reads every header under PREFIX/include/mapdeck and finds the project paths
it names, in its includes and in its comments alike (a path broken over two
comment lines is read joined):
  - a path from the repository root (platform/..., host/..., layout/...,
    tools/..., ...) must lie at that path below include/mapdeck (a header or
    a folder of headers) or, for a document, below the documents' folder
    (<datadir>/doc/mapdeck);
  - a file named without a folder (STYLES.md, othercomponents.cfg) must be
    installed somewhere in the prefix.
Files of the kinds a project keeps (.h, .cpp, .md, .dlg, .cfg, .cmake, .sh,
.py) count; other names (mapdeck.log, a value like 0.01) do not.
Prints each header, line and path that is not installed and exits with 1
when there is one.
"""
import os
import re
import sys

ROOTS = ("platform", "host", "layout", "tools", "tests", "scripts", "docs", "cmake", "bench", "resources")
KINDS = ("h", "cpp", "md", "dlg", "cfg", "cmake", "sh", "py")
NAME = r"[A-Za-z0-9_.-]"
ROOTED = re.compile(r"(?<![\w./-])((?:%s)/%s*(?:/%s*)*)" % ("|".join(ROOTS), NAME, NAME))
BARE = re.compile(r"(?<![\w./-])([\w-]+\.(?:%s))(?![\w/-])" % "|".join(KINDS))
# The start of a comment line that carries on a path the line before broke.
CARRIED = re.compile(r"^([ \t]*//[ \t]*)(%s+)" % NAME)


def installed_names(prefix):
    names = set()
    for _, _, files in os.walk(prefix):
        names.update(files)
    return names


def named_paths(text):
    """(line number, path, rooted) for each path the text names."""
    lines = text.split("\n")
    found = []
    for number, line in enumerate(lines, 1):
        line = line.rstrip()
        carried = CARRIED.match(lines[number]) if line.endswith("/") and number < len(lines) else None
        if carried:
            # The path is read on its first line, and its rest not again.
            line += carried.group(2)
            lines[number] = carried.group(1) + lines[number][carried.end():]
        for match in ROOTED.finditer(line):
            path = match.group(1).rstrip(".")
            found.append((number, path, True))
        for match in BARE.finditer(line):
            found.append((number, match.group(1), False))
    return found


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    prefix = sys.argv[1]
    include = os.path.join(prefix, "include", "mapdeck")
    docs = next((folder for folder, _, _ in os.walk(prefix) if folder.endswith(os.path.join("doc", "mapdeck"))),
                os.path.join(prefix, "share", "doc", "mapdeck"))
    names = installed_names(prefix)
    missing = []
    checked = 0
    for folder, _, files in os.walk(include):
        for name in sorted(files):
            if not name.endswith(".h"):
                continue
            header = os.path.join(folder, name)
            with open(header, encoding="utf-8") as f:
                text = f.read()
            for number, path, rooted in named_paths(text):
                checked += 1
                if rooted:
                    trimmed = path.rstrip("/")
                    found = os.path.exists(os.path.join(include, trimmed)) or os.path.exists(
                        os.path.join(docs, trimmed))
                else:
                    found = path in names
                if not found:
                    missing.append("%s:%d: %s" % (os.path.relpath(header, include), number, path))
    if missing:
        print("check-named-paths: installed headers name files that are not installed:", file=sys.stderr)
        for line in missing:
            print("  " + line, file=sys.stderr)
        sys.exit(1)
    print("check-named-paths: the %d paths the installed headers name are installed" % checked)


if __name__ == "__main__":
    main()
