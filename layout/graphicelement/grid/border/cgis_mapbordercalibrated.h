// The calibrated map border: a band around the frame cut into pieces of one
// interval whose fill symbols take turns, optionally as two half bands of
// opposite symbols.
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/cgis_mapborderbase.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/mapborderpieces.h"

class CGIS_MapBorderCalibrated final : public CGIS_MapBorderBase<IGIS_MapBorderCalibrated> {
 public:
  // Width 2000, Interval 10000, Alternating off, a background fill of style
  // 0xD22 and a foreground fill of style 0xD21.
  CGIS_MapBorderCalibrated();

  void Release() override;
  // "Alternating", "Interval", the two symbols with their flags, then the
  // base keys; FALSE when a symbol is missing or could not be stored.
  bool Save(IGIS_DataBuffer* pBuffer) override;
  // FALSE when "Alternating" or "Interval" is missing (the rest is read).
  bool Open(IGIS_DataBuffer* pBuffer) override;
  IGIS_MapBorder* Clone() override;
  // Fills the band's pieces; FALSE (with a record) without a display.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect frameRect,
              IGIS_SpatialReference* pSpatialReference) override;
  // A compound of one polygon per piece, with the symbols of the drawing.
  IGIS_Element* ConvertToElement(IGIS_Element* pMapElement) override;
  int GetType() override { return GIS_MAPBORDER_CALIBRATED; }

  bool GetAlternating() override { return m_bAlternating; }
  void SetAlternating(bool b) override { m_bAlternating = b; }
  IGIS_Symbol* GetBackgroundSymbolPtr() override { return m_pBackground.get(); }
  void SetBackgroundSymbolPtr(IGIS_Symbol* pSymbol) override;
  int GetInterval() override { return m_nInterval; }
  void SetInterval(int n) override { m_nInterval = n; }
  IGIS_Symbol* GetForegroundSymbolPtr() override { return m_pForeground.get(); }
  void SetForegroundSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_MapBorderCalibrated* CopyFrom(IGIS_MapBorderCalibrated* pOther) override;
  bool operator==(IGIS_MapBorderCalibrated* pOther) override;
  bool operator!=(IGIS_MapBorderCalibrated* pOther) override { return !(*this == pOther); }
  using CGIS_MapBorderBase<IGIS_MapBorderCalibrated>::CopyFrom;
  using CGIS_MapBorderBase<IGIS_MapBorderCalibrated>::operator==;
  using CGIS_MapBorderBase<IGIS_MapBorderCalibrated>::operator!=;

 private:
  ~CGIS_MapBorderCalibrated() override;
  // Lays the band round the frame rectangle pushed out by the offsets.
  void Walk(SGIS_Rect frameRect, const md::layout::border::PieceSink& sink, const char* szMethod);

  bool m_bAlternating = false;
  int m_nInterval = 10000;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pBackground;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pForeground;
};
