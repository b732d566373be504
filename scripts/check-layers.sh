#!/usr/bin/env bash
# Checks the include rules of the layers (see docs/ARCHITECTURE.md):
#   platform/ includes nothing from host/ or layout/; inside it text/ and
#   canvas/ include nothing from win/ or ui/, and win/ nothing from ui/;
#   host/ includes nothing from layout/;
#   the models (layout/graphicelement/ outside dialogs/) include nothing from
#   platform/ui/: they reach the user interface through
#   element/userinterface.h and their sheets through element/elementsheet.h;
#   the interfaces at the library's root (igis_element.h, igis_mapelement.h)
#   include no folder of the library;
#   the library's folders stand in floors (docs/ARCHITECTURE.md, section 2):
#   a folder, its dialogs/ included, includes only its own files and folders
#   on lower floors, never a folder on its own floor or above; the one
#   sideways include allowed is the grid's own border on the map borders'
#   walk (grid/gridborder -> grid/border). A new folder is placed on a floor
#   here before it may include or be included.
# Prints every include that breaks a rule and fails if there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
check() {  # check <description> <include pattern> <path>...
  local what=$1 pattern=$2
  shift 2
  local hits
  hits=$(git grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]${pattern}" -- "$@" || true)
  if [ -n "$hits" ]; then
    echo "check-layers: $what:" >&2
    echo "$hits" >&2
    status=1
  fi
}

# check_folders <description> <folders allowed> <path>...: the files include
# no folder of layout/graphicelement/ but the allowed ones (a regular
# expression of folder names); files directly in it (igis_element.h) are
# allowed.
check_folders() {
  local what=$1 allowed=$2
  shift 2
  local hits
  hits=$(git grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"layout/graphicelement/[^/"]+/' -- "$@" |
    grep -vE "#[[:space:]]*include[[:space:]]*\"layout/graphicelement/(${allowed})/" || true)
  if [ -n "$hits" ]; then
    echo "check-layers: $what:" >&2
    echo "$hits" >&2
    status=1
  fi
}

# The floors of layout/graphicelement/, lowest first; the folders of one
# floor include none of each other. The grid's folders are named grid/<folder>.
floors=(
  "element"
  "dialogs compound"
  "shapes"
  "frame"
  "text picture ole"
  "convert"
  "grid/grid"
  "grid/border grid/gridborder grid/label grid/graticule grid/graticulemn grid/measure grid/index"
  "grid/factory"
  "mapframe"
  "scalebar furniture legend"
  "factory"
)
# Includes across one floor that are allowed, as "from>to".
sideways="grid/gridborder>grid/border"

# check_floors: every include of a library folder from another folder goes
# to a lower floor or is an allowed sideways include.
check_floors() {
  local hits
  hits=$(git grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"layout/graphicelement/[^"]+/' \
    -- 'layout/graphicelement/*/*' |
    awk -v floors="$(printf '%s\n' "${floors[@]}")" -v sideways="$sideways" '
      # The folder of a path below layout/graphicelement/: grid/<folder> or <folder>.
      function folder(path,   parts) {
        split(path, parts, "/")
        return parts[1] == "grid" ? "grid/" parts[2] : parts[1]
      }
      BEGIN {
        n = split(floors, rows, "\n")
        for (i = 1; i <= n; ++i) {
          m = split(rows[i], names, " ")
          for (j = 1; j <= m; ++j) floor[names[j]] = i
        }
        k = split(sideways, pairs, " ")
        for (i = 1; i <= k; ++i) allowed[pairs[i]] = 1
      }
      {
        file = $0; sub(/:.*/, "", file); sub(/^layout\/graphicelement\//, "", file)
        target = $0; sub(/^[^"]*"layout\/graphicelement\//, "", target); sub(/".*/, "", target)
        from = folder(file); to = folder(target)
        if (from == to) next
        if (!(from in floor)) { print $0 "  (" from " stands on no floor)"; next }
        if (!(to in floor)) { print $0 "  (" to " stands on no floor)"; next }
        if (floor[to] < floor[from] || (from ">" to) in allowed) next
        print $0 "  (" from " on floor " floor[from] " includes " to " on floor " floor[to] ")"
      }' || true)
  if [ -n "$hits" ]; then
    echo "check-layers: a folder includes one on its own floor or above:" >&2
    echo "$hits" >&2
    status=1
  fi
}

check "platform includes host or layout" "(host|layout)/" 'platform/*.h' 'platform/*.cpp'
check "platform/text or platform/canvas includes win or ui" "platform/(win|ui)/" \
  'platform/text/*' 'platform/canvas/*'
check "platform/win includes ui" "platform/ui/" 'platform/win/*'
check "host includes layout" "layout/" 'host/*.h' 'host/*.cpp'
check "models include the dialog framework" "platform/ui/" \
  'layout/*.h' 'layout/*.cpp' ':!**/dialogs/**'
check_folders "an interface at the library's root includes a folder" "-" ':(glob)layout/graphicelement/*.h'
check_floors

if [ $status -eq 0 ]; then echo "check-layers: the layers are in order"; fi
exit $status
