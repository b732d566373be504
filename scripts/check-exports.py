#!/usr/bin/env python3
"""Checks that every function an installed header declares is exported.

Usage: check-exports.py PREFIX [CXXFLAGS...]

Parses one translation unit that includes every header under
PREFIX/include/mapdeck with clang's JSON syntax tree, takes each function
declared in those headers that a host would link against (no body in the
headers, not virtual, not a template, not internal), and looks its mangled
name up among the defined dynamic symbols of the installed libraries
(PREFIX/<libdir>/libmapdeck.so and the libraries in its mapdeck/ folder).
Prints every declaration without a symbol and exits with 1 when there is one.
"""
import glob
import json
import os
import subprocess
import sys
import tempfile


def installed_headers(include_root):
    headers = []
    for folder, _, files in os.walk(include_root):
        for name in files:
            if name.endswith(".h"):
                headers.append(os.path.relpath(os.path.join(folder, name), include_root))
    return sorted(headers)


def exported_symbols(prefix):
    libraries = glob.glob(os.path.join(prefix, "lib*", "**", "lib*.so"), recursive=True)
    symbols = set()
    for lib in libraries:
        out = subprocess.run(["nm", "-D", "--defined-only", lib], check=True, capture_output=True,
                             text=True).stdout
        for line in out.splitlines():
            parts = line.split()
            if len(parts) >= 3:
                symbols.add(parts[2].split("@")[0])
    return symbols, libraries


# Declared for the host to define: each module (the host's program too) gives
# its own module state to the dialog framework.
HOST_DEFINES = {"_Z23AfxGetStaticModuleStatev"}


class Walker:
    """Walks the tree in dump order: the dump names a location's file only
    when it differs from the location printed before it."""

    def __init__(self, include_root):
        self.root = os.path.realpath(include_root) + os.sep
        self.file = None
        self.found = []

    def _see(self, loc):
        if not isinstance(loc, dict):
            return None
        spelling = loc.get("spellingLoc", loc)
        for part in (spelling, loc.get("expansionLoc", {})):
            if "file" in part:
                self.file = part["file"]
        return self.file

    def walk(self, node, skip):
        kind = node.get("kind", "")
        file = self._see(node.get("loc"))
        rng = node.get("range", {})
        self._see(rng.get("begin"))
        self._see(rng.get("end"))
        inner = node.get("inner", [])
        if kind in ("FunctionTemplateDecl", "ClassTemplateDecl", "ClassTemplatePartialSpecializationDecl"):
            skip = True
        if kind == "NamespaceDecl" and "name" not in node:
            skip = True
        if kind in ("FunctionDecl", "CXXMethodDecl") and not skip and file is not None:
            path = os.path.realpath(file)
            has_body = any(c.get("kind") == "CompoundStmt" for c in inner)
            internal = node.get("storageClass") == "static" and kind == "FunctionDecl"
            flags = ("isImplicit", "inline", "virtual", "pure", "explicitlyDeleted", "explicitlyDefaulted",
                     "constexpr")
            if (path.startswith(self.root) and not has_body and not internal and
                    not any(node.get(flag) for flag in flags) and "mangledName" in node):
                self.found.append((os.path.relpath(path, self.root), node.get("name", ""), node["mangledName"]))
        for child in inner:
            self.walk(child, skip)


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    prefix = sys.argv[1]
    include_root = os.path.join(prefix, "include", "mapdeck")
    headers = installed_headers(include_root)
    with tempfile.TemporaryDirectory() as scratch:
        unit = os.path.join(scratch, "all.cpp")
        with open(unit, "w") as f:
            for h in headers:
                f.write('#include "%s"\n' % h)
        dump = subprocess.run(["clang++", "-std=c++20", "-fsyntax-only", "-Xclang", "-ast-dump=json",
                               "-I", include_root] + sys.argv[2:] + [unit],
                              capture_output=True, text=True)
        if dump.returncode != 0:
            print(dump.stderr, file=sys.stderr)
            print("check-exports: the installed headers do not compile together", file=sys.stderr)
            return 1
    tree = json.loads(dump.stdout)
    walker = Walker(include_root)
    walker.walk(tree, False)
    symbols, libraries = exported_symbols(prefix)
    missing = sorted({(h, n, m) for h, n, m in walker.found if m not in symbols and m not in HOST_DEFINES})
    declared = len({m for _, _, m in walker.found})
    if missing:
        for header, name, mangled in missing:
            print("check-exports: %s declares %s (%s), which no installed library exports" %
                  (header, name, mangled), file=sys.stderr)
        return 1
    print("check-exports: the %d functions declared in %d installed headers are exported by %d libraries" %
          (declared, len(headers), len(libraries)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
