// The background tab style (GridLabelType 4): a square box behind every
// designation, reaching from the frame edge across the band. Its
// operations after those of IGIS_IndexGridTabStyle.
#pragma once

#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"

// The background shapes offered for the boxes (stored and copied; every
// one is drawn as a square box).
enum {
  GIS_TABBACKGROUND_ROUND = 0,
  GIS_TABBACKGROUND_RECTANGLE = 1,
  GIS_TABBACKGROUND_ROUNDED_RECTANGLE = 2,
};

class IGIS_IndexBackGroundTabStyle : public IGIS_IndexGridTabStyle {
 public:
  virtual int GetBackgroundType() = 0;
  // Values outside 0 to 2 are ignored.
  virtual void SetBackgroundType(int nType) = 0;
  // The tab-style copy of another background style, then its background
  // type; returns this style.
  virtual IGIS_IndexBackGroundTabStyle* Copy(IGIS_IndexBackGroundTabStyle* pOther) = 0;

 protected:
  ~IGIS_IndexBackGroundTabStyle() = default;
};
