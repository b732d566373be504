#!/usr/bin/env bash
# The layer check on a scratch copy of the tree's code with one include
# planted per row: it fails and names the planted file, or passes where the
# include is allowed. The check reads the tree as text, or ("built") the
# dependency log of a Ninja build that compiled the planted file.
# Usage: test_check_layers.sh <source tree> [C++ compiler]
set -euo pipefail
tree=$1
compiler=${2:-c++}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$tree" && find layout host platform tools tests bench -name '*.h' -o -name '*.cpp') |
  tar -C "$tree" -cf - -T - | tar -C "$scratch" -xf -

# Rows: what the check answers (pass or fail), the planted file, its lines
# ("\n" a line break), and "built" where the check reads the build's log.
rows=(
  'fail|layout/graphicelement/legend/planted.cpp|#include "../print/gis_pageprint.h"'
  'fail|platform/imaging/helper/planted.cpp|#include "platform/imaging/decode.h"'
  'fail|platform/imaging/planted.cpp|#include "platform/imaging/helper/target.h"'
  'fail|platform/imaging/protocol/planted.cpp|#include "platform/imaging/bitmap.h"'
  'pass|platform/imaging/helper/planted.cpp|#include "platform/imaging/protocol/answer.h"'
  'pass|platform/imaging/planted.cpp|#include "platform/imaging/protocol/answer.h"'
  'pass|tests/platform/imaging/planted.cpp|#include "platform/imaging/helper/target.h"'
  'fail|layout/graphicelement/legend/planted.cpp|#include "layout/graphicelement/legend/../print/gis_pageprint.h"'
  'fail|tests/layout/planted.cpp|#include "../support/logmark.h"'
  'fail|layout/graphicelement/legend/planted.cpp|#include "dialogs/cgis_legendpage.h"'
  'pass|tests/layout/graphicelement/scalebar/planted.cpp|#include "scalebartest.h"'
  'fail|layout/graphicelement/legend/planted.cpp|#include "layout/graphicelement/print/gis_pageprint.h"'
  'fail|layout/graphicelement/factory/planted.cpp|#include "layout/graphicelement/print/gis_pageprint.h"'
  'pass|layout/graphicelement/print/planted.cpp|#include "layout/graphicelement/legend/igis_legendelement.h"'
  'fail|host/sferon/planted.cpp|#include "host/featra/igis_feature.h"'
  'pass|host/featra/planted.cpp|#include "host/sferon/igis_spatialreference.h"'
  'fail|host/newlibrary/planted.cpp|#include "host/basilo/igis_log.h"'
  'fail|platform/files/planted.cpp|#include "platform/canvas/canvas.h"'
  'fail|layout/graphicelement/planted.cpp|#include "layout/graphicelement/print/gis_pageprint.h"'
  'fail|layout/graphicelement/legend/planted.cpp|#include "layout/graphicelement/legend/dialogs/clegendpage.h"'
  'fail|layout/graphicelement/legend/planted.cpp|#include <tools/demo/mapsheetgrids.h>'
  'fail|layout/graphicelement/factory/planted.cpp|#include "layout//graphicelement/print/gis_pageprint.h"'
  'fail|layout/graphicelement/factory/planted.cpp|#include <layout/./graphicelement/print/gis_pageprint.h>'
  'fail|layout/graphicelement/legend/planted.cpp|#include "platform//ui/cdialog.h"'
  'fail|tests/layout/planted.cpp|#include "./support/logmark.h"'
  'fail|platform/files/planted.cpp|#define LOG "host/basilo/igis_log.h"\n#include LOG|built'
  'fail|layout/graphicelement/legend/planted.cpp|#include /* */ "layout/graphicelement/print/gis_pageprint.h"|built'
  'fail|host/basilo/planted.cpp|#include \\\n"host/sferon/igis_spatialreference.h"|built'
  'fail|platform/canvas/planted.cpp|%:include "platform/win/wintypes.h"|built'
  'pass|host/featra/planted.cpp|#define REFERENCE "host/sferon/igis_spatialreference.h"\n#include REFERENCE|built'
)
failed=0
for row in "${rows[@]}"; do
  IFS='|' read -r expected file include how <<<"$row"
  mkdir -p "$(dirname "$scratch/$file")"
  printf '%b\n' "$include" >"$scratch/$file"
  answer=pass
  if [ "$how" = built ]; then
    # A Ninja build of the planted file alone, its dependencies logged as
    # the project's build logs them.
    rm -rf "$scratch/build" && mkdir "$scratch/build"
    printf '%s\n' 'rule cxx' "  command = $compiler -std=c++20 -I$scratch -MD -MF \$out.d -c \$in -o \$out" \
      '  depfile = $out.d' '  deps = gcc' "build planted.o: cxx $scratch/$file" >"$scratch/build/build.ninja"
    "${NINJA:-ninja}" -C "$scratch/build" >/dev/null
    output=$(bash "$tree/scripts/check-layers.sh" "$scratch" "$scratch/build" 2>&1) || answer=fail
    seen="$file reads "
  else
    output=$(bash "$tree/scripts/check-layers.sh" "$scratch" 2>&1) || answer=fail
    seen="$file:1:$include"
  fi
  rm "$scratch/$file"
  if [ "$answer" != "$expected" ] || { [ "$answer" = fail ] && ! grep -qF "$seen" <<<"$output"; }; then
    echo "FAILED: $file with $include: expected $expected, the check answered:" >&2
    echo "$output" >&2
    failed=1
  fi
done
exit $failed
