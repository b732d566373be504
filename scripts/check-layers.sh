#!/usr/bin/env bash
# Checks the include rules of the layers (see docs/ARCHITECTURE.md) in the
# tree at ROOT (default: this repository), every source file as it lies
# there, tracked or not:
#   an include names its file by the path from the repository root: no
#   include path holds a ".." or "." name or an empty one ("a//b", a leading
#   "/"), so that each file has one spelling the rules below see, and the
#   libraries (layout/, host/, platform/) name no file relative to their own
#   folder, which would slip past every rule below;
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
#   the folders of platform/, of host/ and of the library stand in floors
#   (the tables below; the library's are docs/ARCHITECTURE.md, section 2): a
#   folder, its dialogs/ included, includes only its own files and folders on
#   lower floors, never a folder on its own floor or above, so no two folders
#   include each other; the one sideways include allowed is the grid's own
#   border on the map borders' walk (grid/gridborder -> grid/border). A new
#   folder is placed on a floor here before it may include or be included.
# Prints every include that breaks a rule and fails if there is one.
# Usage: check-layers.sh [ROOT]
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
if [ ! -d "$root/layout/graphicelement" ]; then
  echo "check-layers: $root holds no source tree (no layout/graphicelement/)" >&2
  exit 2
fi
cd "$root"

# The files of the tree that include: sources and headers of every folder
# that holds code.
code=()
for dir in layout host platform tools tests bench; do
  code+=("$dir/*.h" "$dir/*.hpp" "$dir/*.c" "$dir/*.cc" "$dir/*.cpp")
done

# includes <pattern> <path>...: the lines (path:line:text) of the files that
# include a file whose name, after the opening quote or bracket, matches the
# pattern. The files are searched as they lie, whether git tracks them or not.
# A tree that cannot be searched ends the check (status 2): the callers take
# its lines into a variable, which stops the script on that failure.
includes() {
  local pattern=$1 rc=0
  shift
  git grep --no-index -nIE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]${pattern}" -- "$@" || rc=$?
  if [ $rc -gt 1 ]; then
    echo "check-layers: cannot search the tree at $root" >&2
    exit 2
  fi
}

status=0
report() {  # report <description> <hits>
  if [ -n "$2" ]; then
    echo "check-layers: $1:" >&2
    echo "$2" >&2
    status=1
  fi
}
check() {  # check <description> <include pattern> <path>...
  local what=$1 pattern=$2 hits
  shift 2
  hits=$(includes "$pattern" "$@")
  report "$what" "$hits"
}

# check_floors <description> <area> <nested> <sideways> <floor>...: every
# include of a folder of the area (a path prefix) from another of its folders
# goes to a lower floor or is an allowed sideways include ("from>to", space
# separated). A folder is the first name below the area, or the first two
# when the first is one of the nested names (grid/<folder>). The floors are
# given lowest first, each a space-separated list of folders.
check_floors() {
  local what=$1 area=$2 nested=$3 sideways=$4 floors hits
  shift 4
  floors=$(printf '%s\n' "$@")
  hits=$(includes "${area}[^\">]+/" "$area*/*" |
    awk -v area="$area" -v nested="$nested" -v floors="$floors" -v sideways="$sideways" '
      function folder(path,   parts) {
        split(path, parts, "/")
        return (parts[1] in parent) ? parts[1] "/" parts[2] : parts[1]
      }
      BEGIN {
        n = split(nested, names, " ")
        for (i = 1; i <= n; ++i) parent[names[i]] = 1
        n = split(floors, rows, "\n")
        for (i = 1; i <= n; ++i) {
          m = split(rows[i], names, " ")
          for (j = 1; j <= m; ++j) floor[names[j]] = i
        }
        n = split(sideways, pairs, " ")
        for (i = 1; i <= n; ++i) allowed[pairs[i]] = 1
      }
      {
        file = $0; sub(/:.*/, "", file); file = substr(file, length(area) + 1)
        target = $0; sub(/^[^"<]*["<]/, "", target); sub(/[">].*/, "", target)
        target = substr(target, length(area) + 1)
        from = folder(file); to = folder(target)
        if (from == to) next
        if (!(from in floor)) { print $0 "  (" from " stands on no floor)"; next }
        if (!(to in floor)) { print $0 "  (" to " stands on no floor)"; next }
        if (floor[to] < floor[from] || (from ">" to) in allowed) next
        print $0 "  (" from " on floor " floor[from] " includes " to " on floor " floor[to] ")"
      }')
  report "$what" "$hits"
}

check 'an include path holds "..", "." or an empty name (name the file by its plain path from the repository root)' \
  '([^">]*/)?\.{0,2}/' "${code[@]}"
relative=$(includes '' 'layout/*.h' 'layout/*.cpp' 'host/*.h' 'host/*.cpp' 'platform/*.h' 'platform/*.cpp' |
  { grep -vE '#[[:space:]]*include[[:space:]]*(<|"(layout|host|platform)/)' || true; })
report "an include names a file relative to its own folder (name it by its path from the repository root)" \
  "$relative"
check "platform includes host or layout" "(host|layout)/" 'platform/*.h' 'platform/*.cpp'
check "host includes layout" "layout/" 'host/*.h' 'host/*.cpp'
check "a library includes tools, tests or benchmarks" "(tools|tests|bench)/" \
  'layout/*.h' 'layout/*.cpp' 'host/*.h' 'host/*.cpp' 'platform/*.h' 'platform/*.cpp'
check "models include the dialog framework" "platform/ui/" \
  'layout/*.h' 'layout/*.cpp' ':!**/dialogs/**'
check "a model includes a dialogs/ folder (the pages that edit it)" '([^">]*/)?dialogs/' \
  'layout/*.h' 'layout/*.cpp' 'host/*.h' 'host/*.cpp' ':!**/dialogs/**'
check "a file at the library's root includes a folder" 'layout/graphicelement/[^">]+/' \
  ':(glob)layout/graphicelement/*.h' ':(glob)layout/graphicelement/*.hpp' ':(glob)layout/graphicelement/*.c' \
  ':(glob)layout/graphicelement/*.cc' ':(glob)layout/graphicelement/*.cpp'

# The floors of platform/, lowest first.
check_floors "a platform library includes one on its own floor or above" "platform/" "" "" \
  "files text bytes" \
  "canvas" \
  "win" \
  "imaging ui" \
  "ole" \
  "oleserver"

# The floors of host/, lowest first.
check_floors "a host library includes one on its own floor or above" "host/" "" "" \
  "basilo" \
  "display sferon stratel" \
  "featra calcora tilemar" \
  "glyphor" \
  "glyphor2 notara tinctor pictar2" \
  "glyphorpick notaradraw tinctorkit" \
  "glyphor2pick helmora"

# The floors of layout/graphicelement/, lowest first; the grid's folders are
# named grid/<folder>.
check_floors "a folder includes one on its own floor or above" "layout/graphicelement/" "grid" \
  "grid/gridborder>grid/border" \
  "element" \
  "dialogs compound" \
  "shapes" \
  "frame" \
  "text picture ole" \
  "convert" \
  "grid/grid" \
  "grid/border grid/gridborder grid/label grid/graticule grid/graticulemn grid/measure grid/index" \
  "grid/factory" \
  "mapframe" \
  "scalebar furniture legend" \
  "factory print"

if [ $status -eq 0 ]; then echo "check-layers: the layers are in order"; fi
exit $status
