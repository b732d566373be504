// Symbols drawn at page points through the display's view and the renderer.
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_Symbol;
class IGIS_SpatialReference;

// Draws the symbol at page points the way every element drawn with a
// symbol does: the points go through the display's view to device
// coordinates, a drawing record carries them with the print flag (and,
// while the view clips, its clip value and the display ratio), and the
// renderer draws inside the clip sequence. FALSE (level-3 record under
// szMethod) without a display, spatial reference, symbol or points.
BOOL DrawSymbolAtPagePoints(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
                            IGIS_Symbol* pSymbol, const SGIS_Point* pPoints, int nCount,
                            const char* szMethod);
