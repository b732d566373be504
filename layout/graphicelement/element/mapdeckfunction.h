// Free helpers shared by the elements and dialogs of every subsystem:
// symbols from fields, element makers for conversions, the clip sequence of
// OnDraw, text drawing through an annotation drawer, rotations, type and
// symbol-code tables, and the filters of number edit boxes.
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_Element;
class IGIS_CompoundElement;
class IGIS_Display;
class IGIS_Field;
class IGIS_Symbol;
class IGIS_SymbolV2;
class IGIS_SpatialReference;
class IGIS_AnnoDrawer;
class CDC;
class IGIS_AnnoPointStyle;

// ---- Symbols stored in fields ----------------------------------------------

// A new symbol, owned by the caller, rebuilt by the symbol factory from the
// field's data buffer; NULL with a level-4 record when the field, the
// factory, the buffer, its data or the symbol is missing.
IGIS_Symbol* GetSymbolFromField(IGIS_Field* pField);
// The same with the second symbol factory.
IGIS_SymbolV2* GetSymbol2FromField(IGIS_Field* pField);

// ---- Element makers (conversion of complex elements) --------------------

// Each asks the compound's owner for a new element of its type, sets it up
// and adds it to the compound. Nothing is made (FALSE) without a compound,
// its owner, or the new element; an element the compound refuses is handed
// back to the owner rather than left loose on the page.

// A text at the position: by its lower-left corner, or (anchored) by the
// anchor of position 4.
BOOL CreateTextElement(IGIS_CompoundElement* pCompound, SGIS_Point position, IGIS_Symbol* pTextSymbol,
                       const char* szText, bool bAnchored);
// A polyline of at least 2 points; the points are page coordinates.
BOOL CreatePolylineElement(IGIS_CompoundElement* pCompound, const SGIS_Point* pPoints, int nCount,
                           IGIS_Symbol* pLineSymbol);
// A polygon of at least 3 points.
BOOL CreatePolygonElement(IGIS_CompoundElement* pCompound, const SGIS_Point* pPoints, int nCount,
                          IGIS_Symbol* pFillSymbol);
// A point symbol centred on the position, sized by the symbol's extent times
// the owner's unit ratio.
BOOL CreatePointElement(IGIS_CompoundElement* pCompound, SGIS_Point position, IGIS_Symbol* pPointSymbol);
// A two-point polyline from one point to the other.
BOOL AddSegmentElement(IGIS_Element* pCompound, SGIS_Point from, SGIS_Point to, IGIS_Symbol* pLineSymbol);
inline BOOL AddSegmentElement(IGIS_Element* pCompound, int x1, int y1, int z1, int x2, int y2, int z2,
                              IGIS_Symbol* pLineSymbol) {
  return AddSegmentElement(pCompound, SGIS_Point(x1, y1, z1), SGIS_Point(x2, y2, z2), pLineSymbol);
}

// ---- Texts -----------------------------------------------------------------

// Draws the text with the style at the anchors through the drawer, on the
// device-context object.
// While printing the view's symbol ratio replaces the given ratio. Nothing
// without a drawer or a display.
void DrawWithDrawer(IGIS_AnnoDrawer* pDrawer, IGIS_Display* pDisplay, CDC* pDC, bool bPrint, double dRatio,
                    IGIS_AnnoPointStyle* pStyle, const char* szText, const SGIS_Point* pPoints, int nCount);

// ---- Geometry -------------------------------------------------------------

// Turns the point (px, py) about (cx, cy) by the angle in degrees; positive
// angles turn clockwise in y-up page coordinates.
void RotatePoint(double cx, double cy, double px, double py, double* pOutX, double* pOutY, double dAngle);

// The axis-aligned bound of the rectangle and of its four corners turned
// about its centre by the angle in degrees (x1 least x, x2 greatest x, y1
// greatest y, y2 least y).
SGIS_DRect GetRotatedRectBound(SGIS_DRect rect, double dAngle);

// The intersection of two double rectangles (normalised copies); the
// all-zero rectangle when they do not overlap or only touch.
SGIS_DRect IntersectDRect(const SGIS_DRect& a, const SGIS_DRect& b);

// True when (x, y) lies in the normalised rectangle, borders included.
bool IsInDRect(const SGIS_DRect& rect, double x, double y);

// On a normalised copy grown by the tolerance on every side: 0 outside,
// 2 on the border of the grown rectangle, 1 strictly inside.
int HitTestRectEdge(const SGIS_Rect& rect, int x, int y, int nTolerance);

// ---- Tables ---------------------------------------------------------------

// True exactly for the five scale-bar type identifiers that build a bar.
bool IsScaleBarType(const char* szType);

// The legend category of a symbol code; -1 for codes without one.
int GetLegendSymbolCategory(int nCode);

// ---- Clip sequence of OnDraw ------------------------------------------------

// When the display's view clips: a new region holding the device context's
// clip as it is now, for the caller to select back and delete after drawing;
// NULL when the view does not clip or the context has no clip (selecting
// NULL back then removes the clip again, as it was).
HRGN SaveDCClipRgn(HDC hdc, IGIS_Display* pDisplay);

// When the display's view clips: a new region over the printable paper of
// the display's printer interface, in device pixels; otherwise NULL.
HRGN CreateElementClipRgn(IGIS_Display* pDisplay);

// When the display's view clips: intersects the context's clip with the region.
void SelectElementClipRgn(IGIS_Display* pDisplay, HDC hdc, HRGN hRegion);

// The symbol scale of element drawing: 1.0 without a display; the view's
// symbol ratio when it clips; otherwise 1 / the view's scale (1.0 when the
// scale is not a positive finite number).
double GetDisplayRatio(IGIS_Display* pDisplay);

// Draws the symbol at page points the way every element drawn with a
// symbol does: the points go through the display's view to device
// coordinates, a drawing record carries them with the print flag (and,
// while the view clips, its clip value and the display ratio), and the
// renderer draws inside the clip sequence. FALSE (level-3 record under
// szMethod) without a display, spatial reference, symbol or points.
BOOL DrawSymbolAtPagePoints(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
                            IGIS_Symbol* pSymbol, const SGIS_Point* pPoints, int nCount,
                            const char* szMethod);

// The whole clip sequence as a scope: saves the clip and selects the element
// region on construction; selects the saved clip back and deletes both
// regions on destruction, whichever way the drawing leaves the scope.
class CGIS_ElementClipScope {
 public:
  CGIS_ElementClipScope(HDC hdc, IGIS_Display* pDisplay);
  ~CGIS_ElementClipScope();
  CGIS_ElementClipScope(const CGIS_ElementClipScope&) = delete;
  CGIS_ElementClipScope& operator=(const CGIS_ElementClipScope&) = delete;

  // Whether the display's view clips (the drawing parameters then carry the
  // view's clip value and the display ratio).
  bool IsClipping() const { return m_bClipping; }

 private:
  HDC m_hdc;
  bool m_bClipping = false;
  HRGN m_hSaved = nullptr;
  HRGN m_hElement = nullptr;
};
