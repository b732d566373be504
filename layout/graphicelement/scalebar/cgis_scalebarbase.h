// What every scale bar keeps and does, for the two branches of bars
// (CGIS_ScaleBarBase<IGIS_DoubleFillScaleBar>, <IGIS_ScaleLine>): the
// settings and their rules, the stored form (FORMAT.md), following a map
// frame, moving and resizing, and the shared part of drawing and conversion,
// which read the bar through IGIS_ScaleBar (scalebardraw.h). The branches add
// their body symbols; the concrete bars their body.
//
// Page lengths are integers in 0.01 mm, y up.
#pragma once

#include <cmath>

#include <functional>
#include <string>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/mapframe/cgis_mapframelink.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "layout/graphicelement/scalebar/scalebarbody.h"
#include "layout/graphicelement/scalebar/scalebardraw.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"

template <class TInterface>
class CGIS_ScaleBarBase : public CGIS_ElementImpl<TInterface> {
 public:
  // ---- IGIS_Element ----
  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithFramePages) override;
  BOOL Archive(int nRead, int nArchiveOption) override;
  bool CanConvert() override { return true; }
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override;
  void SetWidthAndHeight(int nWidth, int nHeight) override;
  void OffsetAllPoints(int dx, int dy) override;
  void ScaleShape(SGIS_Point origin, double sx, double sy) override;
  void SetLBpoint(SGIS_Point point) override;
  void SetName(const char* szName) override;

  // ---- IGIS_ScaleBar ----
  BOOL SetFrameProperty(IGIS_FrameProperty* pFrame) override;
  IGIS_FrameProperty* GetFrameProperty() override { return m_pFrameProperty.get(); }
  int GetBarHeight() override { return m_nBarHeight; }
  void SetBarHeight(int nHeight) override;
  double GetDivision() override { return m_dDivision; }
  void SetDivision(double dDivision) override;
  int GetDivisions() override { return m_nDivisions; }
  void SetDivisions(int nDivisions) override;
  bool GetDivisionsBeforeZero() override { return m_bDivisionsBeforeZero; }
  void SetDivisionsBeforeZero(bool bBefore) override { m_bDivisionsBeforeZero = bBefore; }
  int GetLabelFrequency() override { return m_nLabelFrequency; }
  void SetLabelFrequency(int nFrequency) override;
  int GetLabelGap() override { return m_nLabelGap; }
  void SetLabelGap(int nGap) override;
  int GetLabelPosition() override { return m_nLabelPosition; }
  void SetLabelPosition(int nPosition) override { m_nLabelPosition = nPosition; }
  IGIS_Symbol* GetLabelSymbol() override { return m_pLabelSymbol.get(); }
  void SetLabelSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_NumericFormat* GetNumericFormat() override { return m_pNumericFormat.get(); }
  void SetNumericFormatPtr(IGIS_NumericFormat* pFormat) override;
  int GetSubDivisions() override { return m_nSubDivisions; }
  void SetSubDivisions(int nSubDivisions) override;
  const char* GetUnitLabel() override { return m_strUnitLabel.c_str(); }
  void SetUnitLabel(const char* szLabel) override;
  int GetUnitLabelGap() override { return m_nUnitLabelGap; }
  void SetUnitLabelGap(int nGap) override { m_nUnitLabelGap = nGap; }
  int GetUnitLabelPosition() override { return m_nUnitLabelPosition; }
  void SetUnitLabelPosition(int nPosition) override;
  int GetUnits() override { return m_nUnits; }
  void SetUnits(int nUnits) override;
  IGIS_ScaleMarks* GetScaleMarks() override { return m_pScaleMarks.get(); }
  void SetScaleMarks(IGIS_ScaleMarks* pMarks) override;
  BOOL OnDrawLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  int GetResizeHint() override { return m_nResizeHint; }
  void SetResizeHint(int nHint) override;
  IGIS_Symbol* GetUnitLabelSymbol() override { return m_pUnitLabelSymbol.get(); }
  void SetUnitLabelSymbolPtr(IGIS_Symbol* pSymbol) override;
  void SetMapElement(IGIS_MapElement* pMapElement) override;
  IGIS_MapElement* GetMapElement() override { return m_link.Frame(); }
  void Refresh() override;
  IGIS_NumericFormat* GetLatLonFormat() override { return m_pLatLonFormat.get(); }
  void SetLatLonFormatPtr(IGIS_NumericFormat* pFormat) override;
  int GetDivisionWidth() override;
  void SetBarWidth(int nWidth) override { m_nBarWidth = nWidth; }
  // A scale that is not finite is refused.
  void SetMapScale(double dScale) override {
    if (std::isfinite(dScale)) m_dMapScale = dScale;
  }
  void AddLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point position, double dValue) override;
  BOOL ExtensionHook1(HDC, bool, IGIS_Display*, SGIS_Point, double) override { return TRUE; }
  BOOL ExtensionHook2(HDC, bool, IGIS_Display*, SGIS_Point, float) override { return TRUE; }
  BOOL ExtensionHook3(HDC, bool, IGIS_Display*, SGIS_Point, double) override { return TRUE; }
  BOOL ExtensionHook4(HDC, bool, IGIS_Display*, SGIS_Point, double) override { return TRUE; }
  void AddMainMark(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point from, SGIS_Point to) override;
  void AddSubMainMark(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point from, SGIS_Point to) override;
  int GetBarWidth() override { return m_nBarWidth; }
  double GetMapScale() override { return m_dMapScale; }
  int GetBarX() override { return m_nBarX; }
  int GetBarY() override { return m_nBarY; }
  int GetMapElementID() override { return m_link.GetMapElementID(); }
  int PeekDivisionWidth() override;

  // ---- Following a map frame ----
  void Update(const char* szMessage, int nArgument, IGIS_Element* pSender) override;

  // Copies every setting another bar stores, its name and the frame it
  // follows included.
  void CopyFrom(IGIS_ScaleBar* pOther);

 protected:
  // Binds to the feature, or makes a new one of the type with every stored
  // key and its default; no owner leaves the bar unbound.
  CGIS_ScaleBarBase(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szType);
  ~CGIS_ScaleBarBase() override;

  // True when the constructor made the feature (a new bar).
  bool MadeNewFeature() const { return m_bMadeFeature; }
  // Commits the feature through the owner's feature class; FALSE on failure.
  BOOL CommitFeature(IGIS_Feature* pFeature, int nFlags);
  // Archive of the bar with its branch's body symbols (scalebarbody.h), in
  // one pass over the stored set: a write then commits the feature whole
  // (FALSE with the record "b_ret == NULL" under the branch's method when the
  // write or the commit fails); a read gives the symbols to the branch and
  // lays the bar out again.
  BOOL ArchiveWithBody(int nRead, const md::layout::detail::BodySymbols& body);

  int m_nBarHeight = 200;
  double m_dDivision = 1.0;
  int m_nDivisions = 6;
  bool m_bDivisionsBeforeZero = false;
  int m_nLabelFrequency = 3;
  int m_nLabelGap = 150;
  int m_nLabelPosition = 0;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pLabelSymbol;
  md::basilo::ReleasePtr<IGIS_NumericFormat> m_pNumericFormat;
  int m_nSubDivisions = 4;
  std::string m_strUnitLabel;
  int m_nUnitLabelGap = 50;
  int m_nUnitLabelPosition = 2;
  int m_nUnits = 0;
  md::basilo::ReleasePtr<IGIS_ScaleMarks> m_pScaleMarks;
  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrameProperty;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pUnitLabelSymbol;
  int m_nResizeHint = 1;
  double m_dMapScale = 1000.0;
  md::basilo::ReleasePtr<IGIS_NumericFormat> m_pLatLonFormat;
  int m_nBarX = 0;
  int m_nBarY = 0;
  int m_nBarWidth = 1000;
  CGIS_MapFrameLink m_link{this};

 private:
  // Archive, with the branch's body when given.
  BOOL ArchiveStored(int nRead, const md::layout::detail::BodySymbols* pBody);
  template <class TSink>
  void PutKeys(TSink& set, bool bDescribe);
  // Keeps the width, division and scale computed; the width.
  int KeepDivisionWidth(const md::layout::detail::DivisionWidth& w);
  bool WriteWhole(IGIS_FeatureAttributes* pAttr, const md::layout::detail::BodySymbols* pBody);
  void WriteNewCustom(IGIS_Feature* pFeature);

  bool m_bMadeFeature = false;
  // While a read refreshes the bar: the forms it took the text symbols and
  // number formats from, so that the extent may come from the memo of read
  // layouts; taken by the first Refresh.
  const md::layout::detail::ReadLayoutForms* m_pReadForms = nullptr;
  md::layout::detail::HeldBarLayout m_layout;
};
