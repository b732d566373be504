// The map index element (IGIS_MapIndexElement): a 3 x 3 table of neighbouring
// sheet names over a feature of kind 1024 whose geometry is the table's
// rectangle. Its own state lies in the "Custom" property set (FORMAT.md).
#pragma once

#include <array>
#include <string>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"

class IGIS_AnnoPointStyle;
class IGIS_PropertySet;

class CGIS_MapIndexElement final : public CGIS_ElementImpl<IGIS_MapIndexElement> {
 public:
  // The eight neighbours in their stored order.
  enum Neighbour { kNorthEast, kNorth, kNorthWest, kEast, kWest, kSouthEast, kSouth, kSouthWest, kCount };
  // The table cell (column + 3 x row, rows from the bottom) of each neighbour.
  static int CellOf(Neighbour n);

  // No owner: an unusable element. No feature: a new one with the defaults
  // stored. A feature: bound; its state is read by Archive.
  CGIS_MapIndexElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // IGIS_Element
  const char* GetType() override { return GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX; }
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  BOOL Archive(int nRead, int nArchiveOption) override;
  bool GetHVScaleRatio() override { return true; }
  // The ratio is fixed whatever it is told; the stored flag stays as it was.
  void SetHVScaleRatio(bool) override {}
  bool CanConvert() override { return true; }
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override;
  void SetWidthAndHeight(int nWidth, int nHeight) override;
  void OffsetAllPoints(int dx, int dy) override;
  void ScaleShape(SGIS_Point origin, double sx, double sy) override;
  void SetLBpoint(SGIS_Point point) override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override { return "暂时没有定义"; }

  // IGIS_MapIndexElement
  IGIS_FrameProperty* GetFramePropertyPtr() override { return m_pFrame.get(); }
  bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) override;
  void SetTextSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetTextSymbolPtr() override { return m_pTextSymbol.get(); }
  void UpdateGeometry() override;
  IGIS_Symbol* GetBorderLineSymbolPtr() override { return m_pBorderSymbol.get(); }
  void SetBorderLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  void SetInsideLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetInsideLineSymbolPtr() override { return m_pInsideSymbol.get(); }
  IGIS_Symbol* GetFillSymbolPtr() override { return m_pFillSymbol.get(); }
  void SetFillSymbolPtr(IGIS_Symbol* pSymbol) override;
  int GetRowHeight() override { return m_nRowHeight; }
  void SetRowHeight(int nHeight) override;
  int GetColWidth() override { return m_nColWidth; }
  void SetColWidth(int nWidth) override;
  const char* GetNorthEastText() override { return Text(kNorthEast); }
  void SetNorthEastText(const char* sz) override { SetText(kNorthEast, sz); }
  const char* GetNorthText() override { return Text(kNorth); }
  void SetNorthText(const char* sz) override { SetText(kNorth, sz); }
  const char* GetNorthWestText() override { return Text(kNorthWest); }
  void SetNorthWestText(const char* sz) override { SetText(kNorthWest, sz); }
  const char* GetEastText() override { return Text(kEast); }
  void SetEastText(const char* sz) override { SetText(kEast, sz); }
  const char* GetWestText() override { return Text(kWest); }
  void SetWestText(const char* sz) override { SetText(kWest, sz); }
  const char* GetSouthEastText() override { return Text(kSouthEast); }
  void SetSouthEastText(const char* sz) override { SetText(kSouthEast, sz); }
  const char* GetSouthText() override { return Text(kSouth); }
  void SetSouthText(const char* sz) override { SetText(kSouth, sz); }
  const char* GetSouthWestText() override { return Text(kSouthWest); }
  void SetSouthWestText(const char* sz) override { SetText(kSouthWest, sz); }

  const char* Text(Neighbour n) const { return m_texts[n].c_str(); }
  void SetText(Neighbour n, const char* szText);

 protected:
  ~CGIS_MapIndexElement() override = default;

 private:
  // Writes the rectangle into the feature's geometry and commits it with
  // the flags (0: no commit); FALSE without a feature or geometry.
  bool SetGeometryRect(const SGIS_Rect& rect, int nFlags = 0);
  // Copies every value the sheet can change from another map index.
  void CopyFrom(CGIS_MapIndexElement* pSource);
  // Writes the 15 keys into the set.
  void WriteKeys(md::layout::CustomSetWriter& set);

  int m_nColWidth = 1300;
  int m_nRowHeight = 700;
  std::array<std::string, kCount> m_texts;
  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrame;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pBorderSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pInsideSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pFillSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pTextSymbol;
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> m_pTextStyle;
};
