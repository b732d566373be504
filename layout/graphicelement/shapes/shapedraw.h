// Drawing a plain shape: gathering what it is drawn with, and its vertices or
// device points drawn with a symbol inside the element clip.
#pragma once

#include <vector>

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_DisplayView;
class IGIS_Feature;
class IGIS_Geometry;
class IGIS_Symbol;
class IGIS_SpatialReference;

namespace md::layout::shapes {

// The texts OnDraw records when something it needs is missing (the classes
// word some of them differently).
struct SGIS_DrawTexts {
  const char* szNoFeature = "m_pFeature == NULL";
  const char* szNoSymbol = "p_symbol == NULL";
  const char* szNoGeometry = "m_pFeature->GetGeoPtr()== NULL";  // NULL: not recorded
  const char* szGeometryMethodPrefix = "";                      // before "Class::OnDraw" in that record
};

// What a shape is drawn with.
struct SGIS_DrawInputs {
  IGIS_SpatialReference* pReference = nullptr;
  IGIS_Feature* pFeature = nullptr;
  IGIS_Symbol* pSymbol = nullptr;
  IGIS_Geometry* pGeometry = nullptr;
  IGIS_DisplayView* pView = nullptr;
};

// Gathers, in this order, the page reference, the element's feature, the
// renderer (only checked), the feature's symbol, its geometry and the
// display's view. False at the first one missing, recorded at level 3 under
// "Class::OnDraw" ("p_spatialreference== NULL ", the texts given,
// "p_symbolization == NULL", "pDisplay == NULL").
bool GatherDrawInputs(CGIS_ElementCore& core, IGIS_Display* pDisplay, const SGIS_DrawTexts& texts,
                      SGIS_DrawInputs& in);

// Draws the geometry's vertices as one device point list, runs landing on
// the same device point kept once. Fewer than nMinCount vertices: FALSE with
// szTooFew recorded; TRUE once handed to the renderer.
BOOL DrawVertices(CGIS_ElementCore& core, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                  const SGIS_DrawInputs& in, int nMinCount, const char* szTooFew);

// Draws the device points with the symbol through the renderer, inside the
// element clip sequence of the display (saved, narrowed, restored). The
// symbol scale is the display ratio unless dScale is given (> 0).
BOOL DrawDevicePoints(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_Symbol* pSymbol, POINT* pPoints,
                      int nCount, double dScale = 0.0);

// Appends the device point unless it equals the last one appended.
void AppendDistinct(std::vector<POINT>& points, int x, int y);

// The page points converted by the view, runs of points that land on the
// same device point kept once.
void PageToDeviceDistinct(IGIS_DisplayView* pView, IGIS_SpatialReference* pReference,
                          const SGIS_Point* pPoints, int nCount, std::vector<POINT>& out);

}  // namespace md::layout::shapes
