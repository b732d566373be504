// Drawing and conversion of a grid's border around its map frame. One walk
// lays the pieces of a calibrated or alternating band; drawing fills them on
// a device context and conversion makes each a polygon element, so a
// converted border shows what its drawing showed.
#pragma once

#include "layout/graphicelement/grid/border/mapborderpieces.h"
#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_Element;
class IGIS_MapElement;
class IGIS_MapGridBorder;

namespace md::layout::grid {

// The least bar length the border's setter keeps, and the length a band is
// walked with when a stored interval is below it.
constexpr int kMinGridBorderInterval = 20;

// The map frame the border's grid covers; NULL without a grid or frame.
IGIS_MapElement* FrameOfBorder(IGIS_MapGridBorder* pBorder);

// The pieces of the border's calibrated band around the rectangle, in the
// walk's order: clockwise from the top-left corner, background symbol first,
// with the alternating form's inner piece before its outer piece. Every
// side follows the walk's counts, however short.
void WalkGridBorderBand(IGIS_MapGridBorder* pBorder, const SGIS_Rect& rect,
                        const md::layout::border::PieceSink& sink, const char* szMethod);

// The border's drawing around its grid's map frame: the simple line along
// the frame's rectangle, or the calibrated or alternating band, inside the
// element clip sequence, every drawing record with the print flag. Without a
// grid, frame or view nothing is drawn. Always TRUE.
bool DrawMapGridBorder(IGIS_MapGridBorder* pBorder, HDC hdc, bool bPrint, IGIS_Display* pDisplay);

// The border as plain elements in a new compound of the frame's owner
// feature set: one five-point polyline for a simple border, one polygon per
// piece of the band (two for the alternating form) with the drawing's
// symbols. NULL without a grid or frame, or when no compound can be made.
IGIS_Element* ConvertMapGridBorder(IGIS_MapGridBorder* pBorder);

}  // namespace md::layout::grid
