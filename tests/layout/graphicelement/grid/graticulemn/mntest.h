// Shared pieces of the tests of the graticule of fixed rows and columns: the
// measured grid's page with the two sample maps (measuretest.h: frames,
// printer and screen, strokes, marks and made elements read back), and a
// grid over a frame with distinguishable symbols.
#pragma once

#include "layout/graphicelement/grid/graticulemn/cgis_graticulemngrid.h"
#include "tests/layout/graphicelement/grid/measure/measuretest.h"

namespace md::test {

// A new graticule of fixed rows and columns (the caller releases it) with
// its defaults, bound to the frame, without a border, its lines, ticks,
// sub-ticks and marks in the colours of measuretest.h, lines and ticks of
// the width (mm).
CGIS_GraticuleMNGrid* NewMNGrid(IGIS_MapElement* frame, double widthMm = 0.2);

class MNPage : public MeasurePage {
 protected:
  // A frame over the region (a map in degrees) showing the extent in
  // degrees (x1 west, y1 north, x2 east, y2 south) at 1000 page units a
  // degree from the page point (2000, 2000).
  CGIS_MapElement* DegreesFrame(SGIS_DRect extent) {
    return Frame(region_, extent, 1e-3, SGIS_Point(2000, 2000));
  }
  // A frame of 250 x 200 mm from (5000, 5000) showing the whole sheet.
  CGIS_MapElement* WholeSheetFrame();
};

}  // namespace md::test
