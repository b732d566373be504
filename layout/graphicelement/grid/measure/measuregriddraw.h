// The drawing of a measured grid's own figure: its lines or crossing marks,
// ticks and sub-ticks over its map frame (the border and labels are drawn
// before it by the grid's drawing prelude).
#pragma once

#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_MeasureGrid;

namespace md::layout::grid {
class MeasureGridPass;
}

namespace md::layout::measure {

// Draws the figure into the device context through the renderer, inside the
// element clip sequence, on the drawing's plan (grid::MeasureGridPass, made
// by the grid for this drawing on the display; NULL when it could not be):
// every line of the plan is sampled (200 segments while the view clips,
// else 20), carried into the map's reference and through the map view onto
// the device, and cut at the frame. Ticks stand on the frame's edges,
// pointing outward for positive lengths. FALSE (with a record under
// "CGIS_MeasureGrid::OnDraw") without a display, map, map view, renderer,
// spacing, reference, plan or arithmetic object, and when the drawing was
// cut short; the clip is restored on every way out.
bool DrawMeasureGridFigure(IGIS_MeasureGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                           const grid::MeasureGridPass* pPass);

}  // namespace md::layout::measure
