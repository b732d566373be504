// The simple map border: one closed line around the frame rectangle pushed
// out by the offsets, drawn with the border's line symbol.
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/cgis_mapborderbase.h"

class IGIS_Symbol;
#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"

class CGIS_MapBorderSimple final : public CGIS_MapBorderBase<IGIS_MapBorderSimple> {
 public:
  // Offsets 0, width 200, no name, a line symbol of the library's style 0xD03.
  CGIS_MapBorderSimple();

  void Release() override;
  // "LineSymbolIsNull" (TRUE when a symbol is stored), "LineSymbol", then the
  // base keys; FALSE when no symbol could be stored.
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  IGIS_MapBorder* Clone() override;
  // Strokes the ring of the outer rectangle with the line symbol. On screen
  // the line is BorderWidth / 26.3 screen pixels (of 1/96 inch) wide, on a
  // copy of the symbol; printing uses the symbol's own width. FALSE without
  // a renderer or a display.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect frameRect,
              IGIS_SpatialReference* pSpatialReference) override;
  // A compound holding one polyline round the map element's rectangle pushed
  // out by the offsets, with a copy of the line symbol.
  IGIS_Element* ConvertToElement(IGIS_Element* pMapElement) override;
  int GetType() override { return GIS_MAPBORDER_SIMPLE; }

  IGIS_Symbol* GetLineSymbolPtr() override { return m_pLineSymbol.get(); }
  void SetLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  bool operator==(IGIS_MapBorderSimple* pOther) override;
  bool operator!=(IGIS_MapBorderSimple* pOther) override { return !(*this == pOther); }
  IGIS_MapBorderSimple* CopyFrom(IGIS_MapBorderSimple* pOther) override;
  using CGIS_MapBorderBase<IGIS_MapBorderSimple>::CopyFrom;
  using CGIS_MapBorderBase<IGIS_MapBorderSimple>::operator==;
  using CGIS_MapBorderBase<IGIS_MapBorderSimple>::operator!=;

  // The on-screen line width in the symbol library's millimetres for a
  // border width in page units.
  static double ScreenLineWidth(int nBorderWidth);

 private:
  ~CGIS_MapBorderSimple() override = default;

  md::basilo::ReleasePtr<IGIS_Symbol> m_pLineSymbol;
};
