// The graticule of fixed rows and columns: meridians and parallels at an
// interval found at each drawing from a number of columns (LatitudeCount)
// and rows (LongitudeCount) across the map frame.
#pragma once

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

class IGIS_GridSpacing;

class IGIS_GraticuleMNGrid : public IGIS_MapGrid {
 public:
  // Keeps a copy; NULL is refused with a record.
  virtual void SetGridSpacingPtr(IGIS_GridSpacing* pSpacing) = 0;
  // The grid's own spacing (not a copy).
  virtual IGIS_GridSpacing* GetGridSpacing() = 0;
  // Columns across the frame's east-west extent; the setter keeps values of
  // at least 1.
  virtual int GetLatitudeCount() = 0;
  virtual void SetLatitudeCount(int nCount) = 0;
  // Rows across the north-south extent; the same rule.
  virtual int GetLongitudeCount() = 0;
  virtual void SetLongitudeCount(int nCount) = 0;
  // Makes this grid equal to another (the spacing is not copied); returns
  // this one.
  virtual IGIS_GraticuleMNGrid* Copy(IGIS_GraticuleMNGrid* pOther) = 0;

 protected:
  ~IGIS_GraticuleMNGrid() = default;
};
