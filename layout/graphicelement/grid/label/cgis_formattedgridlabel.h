// The formatted grid label: the eastings and northings of a measured grid's
// lines, written through its own numeric format where the lines meet the
// four sides of the map frame; drawn, converted into text elements, stored
// under "NumericFormat" beside the common keys (FORMAT.md) and edited in the
// number-format dialog.
#pragma once

#include <string>

#include "host/basilo/releaseptr.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/grid/grid/gridlabelplan.h"
#include "layout/graphicelement/grid/label/cgis_gridlabelbase.h"
#include "layout/graphicelement/grid/label/igis_formattedgridlabel.h"

class IGIS_MapElement;

namespace md::layout::grid {
class MeasureGridPass;
}

class CGIS_FormattedGridLabel final : public CGIS_GridLabelBase<IGIS_FormattedGridLabel>,
                                      public md::layout::grid::PlannedGridLabel {
 public:
  // The common defaults and a number format without plus sign, thousands
  // separators or zero padding, rounded to decimal places.
  CGIS_FormattedGridLabel();

  void Release() override;
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer* pBuffer) override;
  IGIS_GridLabel* Clone() override;
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  int GetType() override { return GIS_GRIDLABEL_FORMATTED; }
  bool OnOpenPropertyDlg() override;
  IGIS_Element* ConvertToElement() override;

  // ---- md::layout::grid::PlannedGridLabel ----
  // OnDraw and ConvertToElement on the plan the grid's drawing or conversion
  // hands over, so that the labels stand on the lines the grid lays.
  bool DrawPlanned(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                   const md::layout::grid::GridLabelPlan& plan) override;
  IGIS_Element* ConvertPlanned(const md::layout::grid::GridLabelPlan& plan) override;

  void SetNumericFormatPtr(IGIS_NumericFormat* pFormat) override;
  IGIS_NumericFormat* GetNumericFormat() override { return m_pNumericFormat.get(); }
  IGIS_FormattedGridLabel* Copy(IGIS_FormattedGridLabel* pOther) override;

  // The alignment code by which a side's texts stand on their points:
  // below the bottom crossings, above the top ones, left of the left ones
  // and right of the right ones. A turned side's code names the point of
  // the turned text's box.
  static int SideAlignment(md::layout::label::LabelSide side);

 private:
  // The drawing and the conversion on the grid's plan (NULL: one made as the
  // grid makes it).
  bool Draw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const md::layout::grid::MeasureGridPass* pGiven);
  IGIS_Element* Convert(const md::layout::grid::MeasureGridPass* pGiven);
  ~CGIS_FormattedGridLabel() = default;

  // The checks drawing and conversion share, in their order, each failure
  // logged under the method: the bound grid, its map frame, the map, the
  // grid's kind (logged with szKindText), its spacing, the text symbol and
  // the format. The map frame when all pass, else NULL.
  IGIS_MapElement* CheckedFrame(const char* szMethod, const char* szKindText);
  // The code the drawer places the side's level box by.
  int DrawnAlignment(md::layout::label::LabelSide side) const;
  // The text of a line's value; empty when the format gives none.
  std::string LabelText(double dValue);

  md::basilo::ReleasePtr<IGIS_NumericFormat> m_pNumericFormat;
};
