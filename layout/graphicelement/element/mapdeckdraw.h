// Symbols drawn at page points through the display's view and the renderer.
#pragma once

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_DisplayView;
class IGIS_SymbolRenderer;
class IGIS_FeatureSet;
class IGIS_Symbol;
class IGIS_SpatialReference;

// The page's spatial reference, which page-to-device conversions take: that
// of the owner feature set's feature class; NULL without either.
IGIS_SpatialReference* PageReferenceOf(IGIS_FeatureSet* pOwner);

// What an element draws where its content cannot be drawn (a picture or an
// object that cannot be shown, or left out for the page's budget): the
// rectangle, in device units, outlined and crossed in black over a wider
// white line, so that it shows on any colour below it.
void DrawPlaceholder(HDC hdc, int left, int top, int right, int bottom);

// Draws the symbol at page points the way every element drawn with a
// symbol does: the points go through the display's view to device
// coordinates, a drawing record carries them with the print flag (and,
// while the view clips, its clip value and the display ratio), and the
// renderer draws inside the clip sequence. FALSE (level-3 record under
// szMethod) without a display, spatial reference, symbol or points.
BOOL DrawSymbolAtPagePoints(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
                            IGIS_Symbol* pSymbol, const SGIS_Point* pPoints, int nCount,
                            const char* szMethod);

// Draws symbols along page points for one drawing made of many pieces
// (bands, lines, ticks): the element clip sequence holds for the painter's
// life (the clip is saved and the element region selected when it is made,
// and restored when it ends), and every drawing record carries the context,
// the flag byte, the display ratio as its scale and, while the view clips,
// the view's clip value. Point symbols take the sizes the owner's unit ratio
// gives them (SymbolDrawScale).
class CGIS_PageSymbolPainter {
 public:
  // szMethod names the drawing in the records of Draw.
  CGIS_PageSymbolPainter(HDC hdc, bool bFlag, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
                         const char* szMethod, IGIS_FeatureSet* pOwner);
  CGIS_PageSymbolPainter(const CGIS_PageSymbolPainter&) = delete;
  CGIS_PageSymbolPainter& operator=(const CGIS_PageSymbolPainter&) = delete;

  bool IsClipping() const { return m_clip.IsClipping(); }
  // The symbol along the page points, which go through the view to device
  // coordinates. Nothing is drawn for a NULL symbol, without a view, or for
  // a count outside 1..GIS_GEOMETRY_MAX_POINTS; without a renderer nothing
  // is drawn and a level-3 record "p_symbolization == NULL" is written.
  void Draw(IGIS_Symbol* pSymbol, const SGIS_Point* pPagePoints, int nCount);
  // The same along points already in device coordinates (for lines carried
  // onto the device through another view, such as a map frame's).
  void DrawDevice(IGIS_Symbol* pSymbol, const SGIS_Point* pDevicePoints, int nCount);

 private:
  void DrawPoints(IGIS_Symbol* pSymbol, const SGIS_Point* pPoints, int nCount, bool bPage);

  IGIS_DisplayView* m_pView;
  IGIS_SpatialReference* m_pReference;
  IGIS_FeatureSet* m_pOwner;
  const char* m_szMethod;
  CGIS_ElementClipScope m_clip;
  SGIS_DrawParam m_param;
};
