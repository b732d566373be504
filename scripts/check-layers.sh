#!/usr/bin/env bash
# Checks the include rules of the layers (see docs/ARCHITECTURE.md) in the
# tree at ROOT (default: this repository) and, given BUILD, a Ninja build
# folder of that tree, in what its compiler read. "Includes" below means
# both:
#   names in an include line: every source file of the tree as it lies
#   there, tracked or not, one hit per line (file:line:text);
#   reads while compiling a file: the files the build's dependency log
#   (`ninja -t deps`) holds for each file the compiler compiled, whatever
#   spelling reached them (a macro, a comment or a line break inside the
#   directive, "%:include", "#include_next") and through whichever header,
#   one hit per compiled file and file read. Since every rule below points
#   down, what a compiled file reads through its headers obeys the rules of
#   the compiled file's own folder too. A header is checked there as part
#   of each compiled file that reads it (one read only from folders above
#   its own shows a hidden include only where it breaks their rules); its
#   plain include lines are checked as text wherever it lies.
# The rules:
#   an include line names its file by the path from the repository root: no
#   include path holds a ".." or "." name or an empty one ("a//b", a leading
#   "/"), so that each file has one spelling the text rules see, and the
#   libraries (layout/, host/, platform/) name no file relative to their own
#   folder (rules of the spelling: the text alone shows them);
#   platform/ includes nothing from host/ or layout/; host/ includes nothing
#   from layout/;
#   the libraries (layout/, host/, platform/) include nothing from tools/,
#   tests/ or bench/, in quotes or in angle brackets;
#   the models (layout/graphicelement/ outside dialogs/) include nothing from
#   platform/ui/: they reach the user interface through
#   element/userinterface.h and their sheets through element/elementsheet.h;
#   no model of the library or of a host library includes a dialogs/ folder,
#   its own or another's: the models build without the pages that edit them;
#   the files at the library's root (the interfaces igis_element.h and
#   igis_mapelement.h) stand below every folder: they include no folder of
#   the library;
#   the metafile helper's programs (platform/imaging/helper/), which read
#   untrusted files in a sandbox, and the imaging library, which reads only
#   what they answer, meet in platform/imaging/protocol/ alone: the helper
#   includes nothing else of platform/imaging/, the library nothing of the
#   helper, and the protocol nothing of either;
#   the folders of platform/, of host/ and of the library stand in floors
#   (the tables below; the library's are docs/ARCHITECTURE.md, section 2): a
#   folder, its dialogs/ included, includes only its own files and folders on
#   lower floors, never a folder on its own floor or above, so no two folders
#   include each other; the one sideways include allowed is the grid's own
#   border on the map borders' walk (grid/gridborder -> grid/border). A new
#   folder is placed on a floor here before it may include or be included.
# Tests, benchmarks and tools may include anything but climbing paths.
# Prints every include that breaks a rule and fails if there is one.
# Usage: check-layers.sh [ROOT [BUILD]]   (NINJA names the ninja program, default ninja)
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
build=${2:-}
if [ ! -d "$root/layout/graphicelement" ]; then
  echo "check-layers: $root holds no source tree (no layout/graphicelement/)" >&2
  exit 2
fi
root=$(cd "$root" && pwd -P)
if [ -n "$build" ]; then
  if [ ! -f "$build/build.ninja" ]; then
    echo "check-layers: $build holds no Ninja build (no build.ninja)" >&2
    exit 2
  fi
  build=$(cd "$build" && pwd -P)
fi
cd "$root"

# The files of the tree that include: sources and headers of every folder
# that holds code.
code=()
for dir in layout host platform tools tests bench; do
  code+=("$dir/*.h" "$dir/*.hpp" "$dir/*.c" "$dir/*.cc" "$dir/*.cpp")
done

# The include lines of the tree as "T<tab>file<tab>included path<tab>file:line:text".
# A tree that cannot be searched ends the check (status 2).
text_includes() {
  local lines rc=0
  lines=$(git grep --no-index -nIE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' -- "${code[@]}") || rc=$?
  # git grep answers 1 when it finds nothing.
  if [ $rc -gt 1 ]; then
    echo "check-layers: cannot search the tree at $root" >&2
    exit 2
  fi
  awk '{
    file = $0; sub(/:.*/, "", file)
    target = $0; sub(/^[^:]*:[0-9]+:[^"<]*["<]/, "", target); sub(/[">].*/, "", target)
    printf "T\t%s\t%s\t%s\n", file, target, $0
  }' <<<"$lines"
}

# What the compiler read, from the build's dependency log, as
# "R<tab>compiled file<tab>file read", both by their paths from the root;
# files outside the root are left out, and so are the entries of files no
# longer in the tree. A log that cannot be read, or that holds no compiled
# file of the tree's code, ends the check (status 2).
read_includes() {
  local deps
  if ! deps=$("${NINJA:-ninja}" -C "$build" -t deps 2>&1); then
    echo "check-layers: cannot read the dependency log of $build:" >&2
    echo "$deps" >&2
    exit 2
  fi
  awk -v root="$root" -v build="$build" '
    # The path from the root of a path as the log holds it (absolute, or
    # relative to the build folder), "" for one outside the root.
    function fromRoot(path,   parts, n, i, out, m) {
      if (path !~ /^\//) path = build "/" path
      n = split(path, parts, "/"); m = 0
      for (i = 1; i <= n; ++i) {
        if (parts[i] == "" || parts[i] == ".") continue
        if (parts[i] == "..") { if (m > 0) --m; continue }
        out[++m] = parts[i]
      }
      path = ""
      for (i = 1; i <= m; ++i) path = path "/" out[i]
      return index(path, root "/") == 1 ? substr(path, length(root) + 2) : ""
    }
    # An entry: its first file is the one compiled, the others those read.
    /^[^ ]/ { compiled = ""; first = 1; next }
    /^    / {
      path = fromRoot(substr($0, 5))
      if (first) {
        first = 0
        compiled = path ~ /^(layout|host|platform|tools|tests|bench)\// ? path : ""
        if (compiled != "" && (getline line < compiled) < 0) compiled = ""
        if (compiled != "") { close(compiled); ++count }
      } else if (compiled != "" && path != "") {
        printf "R\t%s\t%s\n", compiled, path
      }
    }
    END { exit count == 0 }' <<<"$deps" || {
    echo "check-layers: the build at $build compiled no file of $root" >&2
    exit 2
  }
}

texts=$(text_includes)
reads=""
if [ -n "$build" ]; then reads=$(read_includes); fi

# The floors, lowest first, a line per area: the area (a path prefix), the
# names whose folders are nested (a folder is the first name below the area,
# or the first two when the first is one of these), the allowed sideways
# includes ("from>to"), what a hit means, then the floors, each a
# space-separated list of folders; the fields are separated by "|".
floors="\
platform/|||a platform library includes one on its own floor or above|\
files text bytes|canvas|win|imaging ui|ole|oleserver
host/|||a host library includes one on its own floor or above|\
basilo|display sferon stratel|featra calcora tilemar|glyphor|glyphor2 notara tinctor pictar2|\
glyphorpick notaradraw tinctorkit|glyphor2pick helmora
layout/graphicelement/|grid|grid/gridborder>grid/border|a folder includes one on its own floor or above|\
element|dialogs compound|shapes|frame|text picture ole|convert|grid/grid|\
grid/border grid/gridborder grid/label grid/graticule grid/graticulemn grid/measure grid/index|\
grid/factory|mapframe|scalebar furniture legend|factory print"

printf '%s\n%s\n' "$texts" "$reads" | awk -v floorTable="$floors" -F '\t' '
  function library(path) { return path ~ /^(layout|host|platform)\// }
  function model(path) { return path !~ /(^|\/)dialogs\// }
  function source(path) { return path ~ /\.(h|hpp|c|cc|cpp)$/ }
  # Which side of the boundary of the metafile helper a file of platform/imaging/ lies on.
  function helperSide(path) {
    return path ~ /^platform\/imaging\/helper\// ? "helper" : path ~ /^platform\/imaging\/protocol\// ? "protocol" : "library"
  }
  # The folder of a path in floor area a ("" outside it or at its root).
  function folder(a, path,   parts) {
    if (index(path, area[a]) != 1) return ""
    path = substr(path, length(area[a]) + 1)
    if (split(path, parts, "/") < 2) return ""
    return ((a, parts[1]) in nested) ? parts[1] "/" parts[2] : parts[1]
  }
  function hit(rule, where, why) {
    if ((rule, where) in seen) return
    seen[rule, where] = 1
    hits[rule] = hits[rule] where (why == "" ? "" : "  (" why ")") "\n"
  }
  BEGIN {
    rules = 0
    what[++rules] = "an include path holds \"..\", \".\" or an empty name (name the file by its plain path from the repository root)"
    what[++rules] = "an include names a file relative to its own folder (name it by its path from the repository root)"
    what[++rules] = "platform includes host or layout"
    what[++rules] = "host includes layout"
    what[++rules] = "a library includes tools, tests or benchmarks"
    what[++rules] = "models include the dialog framework"
    what[++rules] = "a model includes a dialogs/ folder (the pages that edit it)"
    what[++rules] = "a file at the library'"'"'s root includes a folder"
    what[++rules] = "the metafile helper and the imaging library include each other (they meet in platform/imaging/protocol/ alone)"
    areas = split(floorTable, rows, "\n")
    for (a = 1; a <= areas; ++a) {
      split(rows[a], f, "|")
      area[a] = f[1]; what[rules + a] = f[4]
      n = split(f[2], names, " ")
      for (i = 1; i <= n; ++i) nested[a, names[i]] = 1
      n = split(f[3], names, " ")
      for (i = 1; i <= n; ++i) sideways[a, names[i]] = 1
      for (i = 5; i in f; ++i) {
        m = split(f[i], names, " ")
        for (j = 1; j <= m; ++j) floor[a, names[j]] = i - 4
      }
    }
  }
  $1 == "T" || $1 == "R" {
    file = $2; target = $3
    if (!source(file)) next
    # What a file names in a plain include line is checked as text, with
    # the line; what it reads beyond that, as read.
    if ($1 == "R" && (file, target) in named) next
    if ($1 == "T") {
      named[file, target] = 1
      where = $0; sub(/^T\t[^\t]*\t[^\t]*\t/, "", where)
    } else {
      where = file " reads " target
    }
    if ($1 == "T") {
      if (target ~ /(^|\/)\.?\.?\//) hit(1, where)
      if (library(file) && where !~ /#[[:space:]]*include[[:space:]]*(<|"(layout|host|platform)\/)/) hit(2, where)
    }
    if (file ~ /^platform\// && target ~ /^(host|layout)\//) hit(3, where)
    if (file ~ /^host\// && target ~ /^layout\//) hit(4, where)
    if (library(file) && target ~ /^(tools|tests|bench)\//) hit(5, where)
    if (file ~ /^layout\// && model(file) && target ~ /^platform\/ui\//) hit(6, where)
    if (file ~ /^(layout|host)\// && model(file) && !model(target)) hit(7, where)
    if (file ~ /^layout\/graphicelement\/[^\/]+$/ && target ~ /^layout\/graphicelement\/[^\/]+\//) hit(8, where)
    if (file ~ /^platform\/imaging\// && target ~ /^platform\/imaging\// && helperSide(file) != helperSide(target) &&
        helperSide(target) != "protocol")
      hit(9, where)
    for (a = 1; a <= areas; ++a) {
      from = folder(a, file); to = folder(a, target)
      if (from == "" || to == "" || from == to) continue
      if (!((a, from) in floor)) { hit(rules + a, where, from " stands on no floor"); continue }
      if (!((a, to) in floor)) { hit(rules + a, where, to " stands on no floor"); continue }
      if (floor[a, to] < floor[a, from] || (a, from ">" to) in sideways) continue
      hit(rules + a, where, from " on floor " floor[a, from] " includes " to " on floor " floor[a, to])
    }
  }
  END {
    failed = 0
    for (r = 1; r <= rules + areas; ++r) {
      if (!(r in hits)) continue
      printf "check-layers: %s:\n%s", what[r], hits[r] > "/dev/stderr"
      failed = 1
    }
    if (!failed) print "check-layers: the layers are in order"
    exit failed
  }'
