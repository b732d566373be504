// The index grid: the map frame's rectangle divided into ColumnCount x
// RowCount reference cells, designated by letters and numbers in tabs
// around the frame (its label is an index tab style).
#pragma once

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

class IGIS_IndexGrid : public IGIS_MapGrid {
 public:
  // The counts are kept unchanged (no range test).
  virtual int GetColumnCount() = 0;
  virtual void SetColumnCount(int nCount) = 0;
  virtual int GetRowCount() = 0;
  virtual void SetRowCount(int nCount) = 0;
  // TRUE: letters on the columns, numbers on the rows; FALSE the other way.
  virtual bool GetXYLabelType() = 0;
  virtual void SetXYLabelType(bool bType) = 0;
  // Makes this grid equal to another index grid; returns this one.
  virtual IGIS_IndexGrid* Copy(IGIS_IndexGrid* pOther) = 0;

 protected:
  ~IGIS_IndexGrid() = default;
};
