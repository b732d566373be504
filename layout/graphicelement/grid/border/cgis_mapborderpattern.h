// The pattern map border: four corner squares with their own symbols and
// four sides tiled with side symbols, the tile length being the side's
// scale times the border width.
#pragma once

#include <cmath>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/cgis_mapborderbase.h"
#include "layout/graphicelement/grid/border/igis_mapborderpattern.h"

class CGIS_MapBorderPattern final : public CGIS_MapBorderBase<IGIS_MapBorderPattern> {
 public:
  // The symbols, in their stored order.
  enum Slot { LeftTop, LeftBottom, RightTop, RightBottom, Top, Bottom, Left, Right, SlotCount };
  // The scales.
  enum Scale { TopScale, BottomScale, LeftScale, RightScale, ScaleCount };

  // Width 2000, no symbols, all scales 1.0.
  CGIS_MapBorderPattern();

  void Release() override;
  // The four scales, the eight symbols with their flags, then the base keys;
  // FALSE when a symbol is missing or could not be stored.
  bool Save(IGIS_DataBuffer* pBuffer) override;
  // FALSE when a scale key is missing (the rest is read). Stored scales are
  // taken as they are; drawing copes with any value.
  bool Open(IGIS_DataBuffer* pBuffer) override;
  IGIS_MapBorder* Clone() override;
  // Fills the corner squares and the side tiles; FALSE (with a record)
  // without a display.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect frameRect,
              IGIS_SpatialReference* pSpatialReference) override;
  // A compound of one polygon per piece, laid exactly as drawn.
  IGIS_Element* ConvertToElement(IGIS_Element* pMapElement) override;
  int GetType() override { return GIS_MAPBORDER_PATTERN; }

  IGIS_Symbol* GetLeftTopSymbolPtr() override { return m_pSymbols[LeftTop].get(); }
  void SetLeftTopSymbolPtr(IGIS_Symbol* p) override { SetSymbol(LeftTop, p); }
  IGIS_Symbol* GetLeftBottomSymbolPtr() override { return m_pSymbols[LeftBottom].get(); }
  void SetLeftBottomSymbolPtr(IGIS_Symbol* p) override { SetSymbol(LeftBottom, p); }
  IGIS_Symbol* GetRightTopSymbolPtr() override { return m_pSymbols[RightTop].get(); }
  void SetRightTopSymbolPtr(IGIS_Symbol* p) override { SetSymbol(RightTop, p); }
  IGIS_Symbol* GetRightBottomSymbolPtr() override { return m_pSymbols[RightBottom].get(); }
  void SetRightBottomSymbolPtr(IGIS_Symbol* p) override { SetSymbol(RightBottom, p); }
  IGIS_Symbol* GetLeftSymbolPtr() override { return m_pSymbols[Left].get(); }
  void SetLeftSymbolPtr(IGIS_Symbol* p) override { SetSymbol(Left, p); }
  double GetLeftScale() override { return m_dScales[LeftScale]; }
  void SetLeftScale(double d) override { SetScale(LeftScale, d); }
  IGIS_Symbol* GetRightSymbolPtr() override { return m_pSymbols[Right].get(); }
  void SetRightSymbolPtr(IGIS_Symbol* p) override { SetSymbol(Right, p); }
  double GetRightScale() override { return m_dScales[RightScale]; }
  void SetRightScale(double d) override { SetScale(RightScale, d); }
  IGIS_Symbol* GetTopSymbolPtr() override { return m_pSymbols[Top].get(); }
  void SetTopSymbolPtr(IGIS_Symbol* p) override { SetSymbol(Top, p); }
  double GetTopScale() override { return m_dScales[TopScale]; }
  void SetTopScale(double d) override { SetScale(TopScale, d); }
  IGIS_Symbol* GetBottomSymbolPtr() override { return m_pSymbols[Bottom].get(); }
  void SetBottomSymbolPtr(IGIS_Symbol* p) override { SetSymbol(Bottom, p); }
  double GetBottomScale() override { return m_dScales[BottomScale]; }
  void SetBottomScale(double d) override { SetScale(BottomScale, d); }
  bool operator==(IGIS_MapBorderPattern* pOther) override;
  bool operator!=(IGIS_MapBorderPattern* pOther) override { return !(*this == pOther); }
  IGIS_MapBorderPattern* CopyFrom(IGIS_MapBorderPattern* pOther) override;
  using CGIS_MapBorderBase<IGIS_MapBorderPattern>::CopyFrom;
  using CGIS_MapBorderBase<IGIS_MapBorderPattern>::operator==;
  using CGIS_MapBorderBase<IGIS_MapBorderPattern>::operator!=;

 private:
  ~CGIS_MapBorderPattern() override;
  void SetSymbol(Slot slot, IGIS_Symbol* pSymbol);
  // Values that are not above 0 or not finite are ignored.
  void SetScale(Scale scale, double d) {
    if (d > 0.0 && std::isfinite(d)) m_dScales[scale] = d;
  }

  md::basilo::ReleasePtr<IGIS_Symbol> m_pSymbols[SlotCount];
  double m_dScales[ScaleCount] = {1.0, 1.0, 1.0, 1.0};
};
