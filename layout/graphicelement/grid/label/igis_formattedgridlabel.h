// The formatted grid label (GridLabelType 2, the measured grid's default):
// grid coordinates written through a numeric format (host/stratel) where
// the grid's lines meet the sides of the map frame. Its operations after
// the 21 of IGIS_GridLabel.
#pragma once

#include "layout/graphicelement/grid/grid/igis_gridlabel.h"

class IGIS_NumericFormat;

class IGIS_FormattedGridLabel : public IGIS_GridLabel {
 public:
  // Keeps a clone of the format; NULL is refused with a log record and the
  // pointer already held changes nothing. The caller keeps its own object.
  virtual void SetNumericFormatPtr(IGIS_NumericFormat* pFormat) = 0;
  // The held format itself (may be NULL), still owned by the label.
  virtual IGIS_NumericFormat* GetNumericFormat() = 0;
  // The common copy, then a clone of the other's format; returns this label.
  virtual IGIS_FormattedGridLabel* Copy(IGIS_FormattedGridLabel* pOther) = 0;

 protected:
  ~IGIS_FormattedGridLabel() = default;
};
