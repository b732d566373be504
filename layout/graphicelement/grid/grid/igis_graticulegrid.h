// The graticule: meridians and parallels of the map at fixed geographic
// intervals (its spacing), with ticks along the frame, interval hatches along
// its lines in three sizes, and optional labels inside the frame.
//
// Hatch lengths are page units of 0.01 mm; hatch intervals are degrees.
#pragma once

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

class IGIS_GridSpacing;

class IGIS_GraticuleGrid : public IGIS_MapGrid {
 public:
  // Keeps a copy; NULL is refused with a record.
  virtual void SetGridSpacingPtr(IGIS_GridSpacing* pSpacing) = 0;
  // The grid's own spacing (not a copy).
  virtual IGIS_GridSpacing* GetGridSpacing() = 0;
  virtual double GetAxisTickOffset() = 0;
  virtual void SetAxisTickOffset(double dOffset) = 0;
  // Steps of the labels inside the frame.
  virtual double GetInteriorLabelIntervalX() = 0;
  virtual void SetInteriorLabelIntervalX(double dInterval) = 0;
  virtual double GetInteriorLabelIntervalY() = 0;
  virtual void SetInteriorLabelIntervalY(double dInterval) = 0;
  // Hatch spacing along the parallels (X) and the meridians (Y); 0 or less
  // draws none.
  virtual double GetHatchIntervalX() = 0;
  virtual void SetHatchIntervalX(double dInterval) = 0;
  virtual double GetHatchIntervalY() = 0;
  virtual void SetHatchIntervalY(double dInterval) = 0;
  // The setter keeps the absolute value.
  virtual double GetHatchLength() = 0;
  virtual void SetHatchLength(double dLength) = 0;
  virtual bool GetShowInteriorLabels() = 0;
  virtual void SetShowInteriorLabels(bool bShow) = 0;
  // Hatches on one side of their line instead of centred on it.
  virtual bool GetHatchDirectional() = 0;
  virtual void SetHatchDirectional(bool bDirectional) = 0;
  virtual IGIS_Symbol* GetHatchLineSymbol() = 0;
  // Makes this grid equal to another graticule; returns this one.
  virtual IGIS_GraticuleGrid* Copy(IGIS_GraticuleGrid* pOther) = 0;
  // Symbol setters keep copies; NULL is refused with a record.
  virtual void SetHatchLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Hatch length setters keep the absolute value.
  virtual int GetMainHatchLength() = 0;
  virtual void SetMainHatchLength(int nLength) = 0;
  virtual bool GetMainHatchDirectional() = 0;
  virtual void SetMainHatchDirectional(bool bDirectional) = 0;
  virtual IGIS_Symbol* GetMainHatchLineSymbol() = 0;
  virtual void SetMainHatchLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Hatch count setters keep at least 1.
  virtual int GetMainHatchCount() = 0;
  virtual void SetMainHatchCount(int nCount) = 0;
  virtual int GetSubHatchLength() = 0;
  virtual void SetSubHatchLength(int nLength) = 0;
  virtual bool GetSubHatchDirectional() = 0;
  virtual void SetSubHatchDirectional(bool bDirectional) = 0;
  virtual IGIS_Symbol* GetSubHatchLineSymbol() = 0;
  virtual void SetSubHatchLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual int GetSubHatchCount() = 0;
  virtual void SetSubHatchCount(int nCount) = 0;
  // How far beyond the frame the ticks and sub ticks begin, along the page
  // away from it: each runs its length from there (0, the default: from the
  // frame's edge). Any value is kept; one that is not finite draws as 0.
  virtual double GetTickOffset() = 0;
  virtual void SetTickOffset(double dOffset) = 0;

 protected:
  ~IGIS_GraticuleGrid() = default;
};
