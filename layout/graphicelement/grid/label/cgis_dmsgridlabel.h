// The degrees-minutes-seconds label: the longitudes and latitudes of a
// graticule's lines where they meet the four sides of the map frame, written
// through its own longitude-latitude format in its text symbol, or stacked
// with the minutes and seconds in a second symbol beside the degrees; drawn,
// converted into text elements, stored under "LatLonFormat1",
// "DMSLabelType" and "SecondSymbolText" before the common keys (FORMAT.md)
// and edited in its sheet (through the label seam).
#pragma once

#include <functional>
#include <string>

#include "host/basilo/releaseptr.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/gridlabelplan.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/label/cgis_gridlabelbase.h"

class IGIS_MapElement;

namespace md::layout::grid {
class GraticulePass;
}

namespace md::layout::label {
class LabelLineWalk;
}

class CGIS_DMSGridLabel final : public CGIS_GridLabelBase<IGIS_DMSGridLabel>,
                                public md::layout::grid::PlannedGridLabel {
 public:
  // The common defaults, a longitude-latitude format showing degrees,
  // minutes and seconds to one decimal place (two-digit minutes and
  // seconds, zeros kept, split after the degree sign), a seconds symbol
  // equal to the text symbol, and the standard display.
  CGIS_DMSGridLabel();

  void Release() override;
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer* pBuffer) override;
  IGIS_GridLabel* Clone() override;
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  int GetType() override { return GIS_GRIDLABEL_DMS; }
  bool OnOpenPropertyDlg() override;
  IGIS_Element* ConvertToElement() override;

  // ---- md::layout::grid::PlannedGridLabel ----
  // OnDraw and ConvertToElement on the plan the grid's drawing or conversion
  // hands over, so that the labels stand on the lines the grid lays.
  bool DrawPlanned(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                   const md::layout::grid::GridLabelPlan& plan) override;
  IGIS_Element* ConvertPlanned(const md::layout::grid::GridLabelPlan& plan) override;

  IGIS_DMSGridLabel* Copy(IGIS_DMSGridLabel* pOther) override;
  IGIS_SymbolPart* GetSecondsSymbolText() override { return m_pSecondsSymbol.get(); }
  // NULL removes the symbol (with a record); a symbol held takes over the
  // settings of the one given and stays the same object.
  void SetSecondsSymbolTextPtr(IGIS_SymbolPart* pSymbol) override;
  bool IsShowMinutes() override;
  void SetShowMinutes(bool bShow) override;
  bool IsShowSeconds() override;
  void SetShowSeconds(bool bShow) override;
  int GetDMSLabelType() override { return m_nDMSLabelType; }
  void SetDMSLabelType(int nType) override;
  int GetDecimalDigits() override;
  void SetDecimalDigits(int nDigits) override;

  // The label's own longitude-latitude format (NULL when none could be made).
  IGIS_NumericFormat* GetLatLonFormat() { return m_pLatLonFormat.get(); }

  // The text cut after its first degree sign "°": the degrees with the sign
  // and the rest. False (the outputs untouched) when the text has no sign
  // or nothing follows it.
  static bool SplitDegreeText(const std::string& text, std::string* pDegrees, std::string* pRest);

  // The alignment codes by which a side's texts stand on their points, for
  // the level text: one text (standard, or stacked without a split), and in
  // the stacked display the degrees and the rest. The bottom texts hang
  // below their points, the top ones stand above, the left ones end at
  // theirs and the right ones start there; the two parts meet at the point.
  struct SideCodes {
    int nWhole, nDegrees, nRest;
  };
  static SideCodes SideAlignments(md::layout::label::LabelSide side);

 private:
  // The drawing and the conversion on the grid's plan (NULL: one made as the
  // grid makes it).
  bool Draw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const md::layout::grid::GraticulePass* pGiven);
  IGIS_Element* Convert(const md::layout::grid::GraticulePass* pGiven);
  ~CGIS_DMSGridLabel() = default;

  // Receives a part of a label as it is drawn: the whole text, or the
  // degrees and then the rest (bRest) of a split one, with its alignment
  // code and its point; false stops.
  using OnLabelPart = std::function<bool(bool bRest, int nAlignment, const std::string& text, SGIS_Point at)>;
  // Hands on the parts of the side's labels in their order along it: each
  // crossing the walk takes moved to where its label stands (standOf), the
  // crowded labels at either end left out (measured along the side; on a
  // device whose y grows downwards the left and right sides step the other
  // way). False when onPart stopped.
  bool WalkSide(md::layout::label::LabelLineWalk& walk, md::layout::label::LabelSide side, bool bYDown,
                const std::function<SGIS_Point(SGIS_Point crossing)>& standOf, const OnLabelPart& onPart);
  // The text symbol and the format, each logged under the method when missing.
  bool HasSymbolAndFormat(const char* szMethod);
  // The codes the drawer places the side's level boxes by (a turned side's
  // texts stay on the same side of their points).
  SideCodes DrawnAlignments(md::layout::label::LabelSide side) const;
  // Whether the texts are split after the degree sign: the stacked display
  // with the format's split option.
  bool Splits();
  // The text of a longitude or latitude; empty when the format gives none.
  std::string LabelText(double dDegrees);

  md::basilo::ReleasePtr<IGIS_NumericFormat> m_pLatLonFormat;
  md::basilo::ReleasePtr<IGIS_SymbolPart> m_pSecondsSymbol;
  int m_nDMSLabelType = GIS_DMSLABEL_STANDARD;
  // What the drawings' geographic frames work out, for the next drawing.
  md::layout::grid::GeographicFrameCache m_geoCache;
};
