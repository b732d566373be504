// The scale bar drawn as one row of cells alternating between its two fills,
// where every cell of the first fill also has a line through its middle in
// the first fill's colour; the division marks are shown in that colour too.
#pragma once

#include <vector>

#include "layout/graphicelement/scalebar/cgis_doublefillscalebarbase.h"

class CGIS_HollowScaleBar : public CGIS_DoubleFillScaleBarBase {
 public:
  // Binds to the feature, or makes a new one in the owner.
  CGIS_HollowScaleBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  IGIS_Element* ConvertToElement() override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override;
  void Refresh() override;

  // One cell: its page rectangle, its fill, and for a cell of the first
  // fill the ends of its middle line.
  struct Cell {
    SGIS_Rect rect;
    bool bFirstFill = true;
    SGIS_Point lineFrom, lineTo;
  };
  // The cells in drawing order (subdivisions, then whole divisions).
  std::vector<Cell> LayOutCells();

 protected:
  ~CGIS_HollowScaleBar() override = default;

 private:
  // A copy of the marks whose division symbol takes the first fill's colour
  // (NULL when either fill or the marks are missing), owned by the caller.
  IGIS_ScaleMarks* NewShownMarks();
  // Runs the work with the shown marks in place of the held ones, which are
  // back afterwards unchanged; passes the division symbol shown.
  template <class F>
  auto WithShownMarks(F work);
};
