#!/usr/bin/env bash
# The layer check on a scratch copy of the tree's code with one include
# planted per row: it fails and names the planted file, or passes where the
# include is allowed.
# Usage: test_check_layers.sh <source tree>
set -euo pipefail
tree=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$tree" && find layout host platform tools tests bench -name '*.h' -o -name '*.cpp') |
  tar -C "$tree" -cf - -T - | tar -C "$scratch" -xf -

# Rows: what the check answers (pass or fail), the planted file, its include.
rows=(
  'fail|layout/graphicelement/legend/planted.cpp|#include "../print/gis_pageprint.h"'
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
)
failed=0
for row in "${rows[@]}"; do
  IFS='|' read -r expected file include <<<"$row"
  mkdir -p "$(dirname "$scratch/$file")"
  printf '%s\n' "$include" >"$scratch/$file"
  answer=pass
  output=$(bash "$tree/scripts/check-layers.sh" "$scratch" 2>&1) || answer=fail
  rm "$scratch/$file"
  if [ "$answer" != "$expected" ] || { [ "$answer" = fail ] && ! grep -qF "$file:1:$include" <<<"$output"; }; then
    echo "FAILED: $file with $include: expected $expected, the check answered:" >&2
    echo "$output" >&2
    failed=1
  fi
done
exit $failed
