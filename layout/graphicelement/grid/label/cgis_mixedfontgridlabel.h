// The mixed-font grid label: the eastings and northings of a measured
// grid's lines, formatted through the label's own numeric format and split
// into a first part in the label's text symbol and a second part in a
// larger one, optionally after the projection's zone number; drawn,
// converted into text elements, stored beside the common keys (FORMAT.md)
// and edited in its sheet.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/grid/grid/gridlabelplan.h"
#include "layout/graphicelement/grid/label/cgis_gridlabelbase.h"
#include "layout/graphicelement/grid/label/igis_mixedfontgridlabel.h"
#include "layout/graphicelement/grid/label/mixedlabelparts.h"

class IGIS_MapElement;

namespace md::layout::grid {
class MeasureGridPass;
}

namespace md::layout::label {
class LabelLineWalk;
}

class CGIS_MixedFontGridLabel final : public CGIS_GridLabelBase<IGIS_MixedFontGridLabel>,
                                      public md::layout::grid::PlannedGridLabel {
 public:
  // The common defaults; the last two digits in "汉仪中等线简" of 16 points,
  // the zone number in the same face of 10 points, a number format without
  // plus sign, thousands separators or zero padding, rounded to decimal
  // places; first parts kept on the first and last labels of each side and
  // where they change; no zone number.
  CGIS_MixedFontGridLabel();

  void Release() override;
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer* pBuffer) override;
  IGIS_GridLabel* Clone() override;
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  int GetType() override { return GIS_GRIDLABEL_MIXEDFONT; }
  bool OnOpenPropertyDlg() override;
  IGIS_Element* ConvertToElement() override;

  // ---- md::layout::grid::PlannedGridLabel ----
  // OnDraw and ConvertToElement on the plan the grid's drawing or conversion
  // hands over, so that the labels stand on the lines the grid lays.
  bool DrawPlanned(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                   const md::layout::grid::GridLabelPlan& plan) override;
  IGIS_Element* ConvertPlanned(const md::layout::grid::GridLabelPlan& plan) override;

  void SetNumGroupedDigits(int nDigits) override { m_nNumGroupedDigits = nDigits; }
  int GetNumGroupedDigits() override { return m_nNumGroupedDigits; }
  void SetGroupedDigitsType(bool bByCount) override { m_bGroupedDigitsType = bByCount; }
  bool GetGroupedDigitsType() override { return m_bGroupedDigitsType; }
  void SetSecondarySymbolTextPtr(IGIS_SymbolPart* pSymbol) override;
  IGIS_SymbolPart* GetSecondarySymbolText() override { return m_pSecondarySymbol.get(); }
  void SetNumericFormatPtr(IGIS_NumericFormat* pFormat) override;
  IGIS_NumericFormat* GetNumericFormat() override { return m_pNumericFormat.get(); }
  IGIS_MixedFontGridLabel* Copy(IGIS_MixedFontGridLabel* pOther) override;
  void SetZoneSymbolTextPtr(IGIS_SymbolPart* pSymbol) override;
  IGIS_SymbolPart* GetZoneSymbolText() override { return m_pZoneSymbol.get(); }
  void SetShowZone(bool bShow) override { m_bShowZone = bShow; }
  bool GetShowZone() override { return m_bShowZone; }
  void SetPosition(int nPosition) override;
  int GetPosition() override { return m_nPosition; }

 private:
  // The drawing and the conversion on the grid's plan (NULL: one made as the
  // grid makes it).
  bool Draw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const md::layout::grid::MeasureGridPass* pGiven);
  IGIS_Element* Convert(const md::layout::grid::MeasureGridPass* pGiven);
  ~CGIS_MixedFontGridLabel() = default;

  // The checks drawing and conversion share after the grid's own, each
  // failure logged under the method: the text symbol, the second part's
  // symbol, the format and the spacing's unit. The map frame when all pass,
  // else NULL.
  IGIS_MapElement* CheckedFrame(const char* szMethod, const char* szNoMap, const char* szKindText);
  // The labels of a side with their texts split and the first parts the
  // position rule drops blanked; each label's point is its crossing (in the
  // walk's coordinates) carried by toPoint.
  std::vector<md::layout::label::MixedLabel> SideLabels(
      md::layout::label::LabelLineWalk* pWalk, md::layout::label::LabelSide side,
      const std::function<SGIS_DPoint(SGIS_Point)>& toPoint);
  // The zone text the bottom and top labels write ("" for none).
  std::string ZoneText() const;

  int m_nNumGroupedDigits = 2;
  bool m_bGroupedDigitsType = true;
  md::basilo::ReleasePtr<IGIS_SymbolPart> m_pSecondarySymbol;
  md::basilo::ReleasePtr<IGIS_NumericFormat> m_pNumericFormat;
  md::basilo::ReleasePtr<IGIS_SymbolPart> m_pZoneSymbol;
  int m_nPosition = 3;
  bool m_bShowZone = false;
};
