// Drawing the graticule of fixed rows and columns over its map frame's map,
// and turning it into plain elements. Both read the grid through its
// interfaces, take the plan the grid made for them (grid::GraticulePass:
// the geographic frame of the map, the interval and origins, the lines),
// record what it found in the grid's spacing and lay the figure
// (graticulemnfigure.h).
#pragma once

#include <functional>

#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_Element;
class IGIS_GraticuleMNGrid;

namespace md::layout::grid {
class GraticulePass;
class GridLabelPlan;
}  // namespace md::layout::grid

namespace md::layout::graticulemn {

// The methods the log records name.
inline constexpr const char* kOnDraw = "CGIS_GraticuleMNGrid::OnDraw";
inline constexpr const char* kConvertToElement = "CGIS_GraticuleMNGrid::ConvertToElement";

// Prepares the drawing on the drawing's plan (made by the grid with the
// display; NULL when it could not be), runs the grid's drawing prelude
// (border, then labels) on that plan and draws the lines or marks, ticks and
// sub-ticks. False when the
// grid has no frame, the frame no map (with a record), the map's reference
// is not geographic or projected, there is no display view, map view,
// renderer, spacing or geometric-arithmetic object (with a record), or the
// drawing was cut short. An extent in degrees that is not finite or empty
// gets the border and the labels only (true).
bool DrawGraticuleMN(IGIS_GraticuleMNGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                     grid::GraticulePass* pPass,
                     const std::function<void(const grid::GridLabelPlan* pPlan)>& drawPrelude);

// Adds the group of the grid's lines or marks, ticks and sub-ticks of the
// conversion's plan (made by the grid; NULL when it could not be) to the
// compound the base conversion made (after its labels and border) and
// returns it; the compound alone when the frame has no map (with a record),
// its reference is not geographic or projected, or there is no
// geometric-arithmetic object (with a record). NULL, with everything made
// removed, when the conversion was cut short.
IGIS_Element* ConvertGraticuleMN(IGIS_GraticuleMNGrid* pGrid, IGIS_Element* pResult,
                                 grid::GraticulePass* pPass);

}  // namespace md::layout::graticulemn
