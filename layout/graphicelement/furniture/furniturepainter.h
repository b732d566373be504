// Drawing of the furniture elements (map index, slope rule): symbols along
// page points through the renderer and texts through the annotation drawer,
// inside the element clip sequence, with one drawing record.
#pragma once

#include <vector>

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "platform/win/wintypes.h"

class IGIS_AnnoDrawer;
class IGIS_AnnoPointStyle;
class IGIS_Display;
class IGIS_DisplayView;
class IGIS_FeatureSet;
class IGIS_SpatialReference;
class IGIS_Symbol;
class IGIS_SymbolRenderer;

class CGIS_FurniturePainter {
 public:
  // Most points of one drawn piece.
  static constexpr int kMaxPoints = 64;

  // Saves the clip and selects the element's region when the display's view
  // clips; restores both when the painter ends. The record carries the
  // context, the print flag, the display ratio as its scale and, while the
  // view clips or the page is printed, the view's clip value. Point symbols
  // and texts take the sizes the owner's unit ratio gives them.
  CGIS_FurniturePainter(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
                        IGIS_FeatureSet* pOwner);
  CGIS_FurniturePainter(const CGIS_FurniturePainter&) = delete;
  CGIS_FurniturePainter& operator=(const CGIS_FurniturePainter&) = delete;

  // A page point in device coordinates (unchanged without a view).
  SGIS_Point ToDevice(SGIS_Point page) const;
  // Draws the symbol along the page points; nothing for a NULL symbol, no
  // renderer, or a count outside 1..kMaxPoints.
  void DrawSymbol(IGIS_Symbol* pSymbol, const SGIS_Point* pPagePoints, int nCount);
  // Draws the text with the style, anchored at the page point.
  void DrawText(IGIS_AnnoPointStyle* pStyle, const char* szText, SGIS_Point page);
  double Ratio() const { return m_dRatio; }

 private:
  HDC m_hdc;
  bool m_bPrint;
  IGIS_Display* m_pDisplay;
  IGIS_DisplayView* m_pView;
  IGIS_SpatialReference* m_pReference;
  IGIS_FeatureSet* m_pOwner;
  IGIS_SymbolRenderer* m_pRenderer;
  IGIS_AnnoDrawer* m_pDrawer;
  CGIS_ElementClipScope m_clip;
  double m_dRatio;
  SGIS_DrawParam m_param;
};
