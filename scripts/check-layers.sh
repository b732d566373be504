#!/usr/bin/env bash
# Checks the include rules of the layers (see docs/ARCHITECTURE.md):
#   platform/ includes nothing from host/ or layout/; inside it text/ and
#   canvas/ include nothing from win/ or ui/, and win/ nothing from ui/;
#   host/ includes nothing from layout/;
#   the models (layout/graphicelement/ outside dialogs/) include nothing from
#   platform/ui/: they reach the user interface through
#   element/userinterface.h and their sheets through element/elementsheet.h;
#   the interfaces at the library's root (igis_element.h, igis_mapelement.h),
#   what every element shares (element/) and the shared dialog layer
#   (dialogs/) include no kind's folder: kinds build on them and register
#   what they add (sheets, size-page layouts, work at unload).
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

check "platform includes host or layout" "(host|layout)/" 'platform/*.h' 'platform/*.cpp'
check "platform/text or platform/canvas includes win or ui" "platform/(win|ui)/" \
  'platform/text/*' 'platform/canvas/*'
check "platform/win includes ui" "platform/ui/" 'platform/win/*'
check "host includes layout" "layout/" 'host/*.h' 'host/*.cpp'
check "models include the dialog framework" "platform/ui/" \
  'layout/*.h' 'layout/*.cpp' ':!**/dialogs/**'
check_folders "an interface at the library's root includes a folder" "-" ':(glob)layout/graphicelement/*.h'
check_folders "the shared element base includes a kind" "element" 'layout/graphicelement/element/*'
check_folders "the shared dialogs include a kind" "element|dialogs" 'layout/graphicelement/dialogs/*'

if [ $status -eq 0 ]; then echo "check-layers: the layers are in order"; fi
exit $status
