// The measured (kilometre) grid: lines at fixed distances in a projected
// spatial reference of its own, with a spacing in linear units.
#pragma once

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

class IGIS_GridSpacing;
class IGIS_SpatialReference;

class IGIS_MeasureGrid : public IGIS_MapGrid {
 public:
  // The grid's own reference (not a copy).
  virtual IGIS_SpatialReference* GetSpatialReference() = 0;
  // Copies the reference into the grid's own; NULL or the grid's own object
  // changes nothing.
  virtual void SetSpatialReference(IGIS_SpatialReference* pReference) = 0;
  // Keeps a copy; NULL removes the spacing (with a record).
  virtual void SetGridSpacingPtr(IGIS_GridSpacing* pSpacing) = 0;
  // The grid's own spacing (not a copy).
  virtual IGIS_GridSpacing* GetGridSpacing() = 0;
  // Makes this grid equal to another measured grid; returns this one.
  virtual IGIS_MeasureGrid* Copy(IGIS_MeasureGrid* pOther) = 0;

 protected:
  ~IGIS_MeasureGrid() = default;
};
