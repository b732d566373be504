// The slope rule element (IGIS_SlopeElement) over a feature of kind 1024
// whose geometry is the rectangle holding the figure; it may follow a map
// frame but its figure does not depend on it. Its own state lies in the
// "Custom" property set (FORMAT.md); the figure is laid out by slopefigure.h.
#pragma once

#include <array>
#include <cmath>
#include <span>

#include "host/basilo/igis_subject.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/furniture/furniturestore.h"
#include "layout/graphicelement/furniture/igis_slopeelement.h"
#include "layout/graphicelement/furniture/slopefigure.h"
#include "layout/graphicelement/mapframe/cgis_mapframelink.h"

class IGIS_PropertySet;

class CGIS_SlopeElement final : public CGIS_ElementImpl<IGIS_SlopeElement>, public IGIS_Observer {
 public:
  CGIS_SlopeElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // IGIS_Element
  const char* GetType() override { return GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE; }
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

  // IGIS_SlopeElement
  IGIS_Symbol* GetAxisLineSymbolPtr() override { return m_pAxisSymbol.get(); }
  void SetAxisLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetDescriptionSymbolPtr() override { return m_pDescriptionSymbol.get(); }
  void SetDescriptionSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetAngleSymbolPtr() override { return m_pAngleSymbol.get(); }
  void SetAngleSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetPercentSymbolPtr() override { return m_pPercentSymbol.get(); }
  void SetPercentSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetTitleSymbolPtr() override { return m_pTitleSymbol.get(); }
  void SetTitleSymbolPtr(IGIS_Symbol* pSymbol) override;
  int GetAxislineInterval() override { return m_settings.nAxislineInterval; }
  void SetAxislineInterval(int nValue) override { m_settings.nAxislineInterval = nValue; }
  int GetAngleGap() override { return m_settings.nAngleGap; }
  void SetAngleGap(int nValue) override { m_settings.nAngleGap = nValue; }
  int GetPercentGap() override { return m_settings.nPercentGap; }
  void SetPercentGap(int nValue) override { m_settings.nPercentGap = nValue; }
  int GetTitleGap() override { return m_settings.nTitleGap; }
  void SetTitleGap(int nValue) override;
  IGIS_FrameProperty* GetFramePropertyPtr() override { return m_pFrame.get(); }
  bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) override;
  void SetMapElementPtr(IGIS_MapElement* pFrame) override;
  IGIS_MapElement* GetMapElementPtr() override { return m_link.Frame(); }
  int GetSlopelineNumber() override { return m_settings.nSlopelineNumber; }
  void SetSlopelineNumber(int nValue) override;
  IGIS_Symbol* GetContourLineSymbolPtr() override { return m_pContourSymbol.get(); }
  void SetContourLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  void Refresh() override;
  double GetContourInterval() override { return m_settings.dContourInterval; }
  // A value that is not finite is refused (the interval kept).
  void SetContourInterval(double dValue) override {
    if (std::isfinite(dValue)) m_settings.dContourInterval = dValue;
  }
  int GetGapDescription() override { return m_settings.nGapDescription; }
  void SetGapDescription(int nValue) override;

  // IGIS_Observer: a deleted frame is unlinked; other messages are ignored.
  void Update(const char* szMessage, int nArgument, IGIS_Element* pSender) override;

  int GetMapElementID() const { return m_link.GetMapElementID(); }
  // Offset of the axis origin from the rectangle's lower-left corner.
  SGIS_Point GetAnchorOffset() const { return m_anchor; }
  // The figure as drawn now (local coordinates).
  md::layout::furniture::SlopeFigure Figure();

 protected:
  ~CGIS_SlopeElement() override = default;

 private:
  // Writes the rectangle into the feature's geometry and commits it.
  void StoreRect(IGIS_Feature* pFeature, SGIS_Rect rect, int nFlags) {
    md::layout::furniture::StoreFeatureRect(m_core.m_pFeatureSet, pFeature, rect, nFlags);
  }
  class ReadFitMemo;

  // The figure, or a record under the operation and FALSE when the settings
  // cannot make one.
  bool LayOut(const char* szOperation, md::layout::furniture::SlopeFigure* pFigure);
  // FALSE, with a record under the operation, when the settings cannot make
  // a figure; a record too when more lines are stored than are drawn.
  bool CheckSettings(const char* szOperation);
  // The figure of settings that passed CheckSettings.
  md::layout::furniture::SlopeFigure LayOutChecked(double dUnitRatio);
  // Refresh at the end of a read: the extent comes from the memo of read
  // extents when the stored bytes of the text symbols are given and known.
  void RefreshRead(const std::array<std::span<const BYTE>, 4>* pTextSymbols);
  // Anchors the figure of extent u in the rectangle, which keeps its
  // lower-left corner and takes the extent's size, and commits it.
  void FitTo(IGIS_Feature* pFeature, const SGIS_Rect& u);
  IGIS_Symbol* SymbolOf(md::layout::furniture::SlopeSymbol symbol) const;
  void WriteKeys(md::layout::CustomSetWriter& set);

  md::layout::furniture::SlopeSettings m_settings;
  SGIS_Point m_anchor;
  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrame;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pAxisSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pContourSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pTitleSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pDescriptionSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pAngleSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pPercentSymbol;
  CGIS_MapFrameLink m_link{this};
};
