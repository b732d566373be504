// Map grids: lines, marks, ticks and labels drawn over a map frame's map.
// Every kind (graticule, measured grid, index grid, graticule of fixed rows
// and columns) implements its own interface derived from this one, which
// appends the kind's operations after these 42; a grid is ended only through
// its Release.
//
// A grid owns its label, its border and its four symbols; getters hand out
// the grid's own objects (the caller must not release them), setters keep
// copies. It does not own its map frame.
//
// Lengths are page units of 0.01 mm.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Display;
class IGIS_Element;
class IGIS_GridLabel;
class IGIS_MapElement;
class IGIS_MapGridBorder;
class IGIS_Symbol;

// Kind codes of grids (GetType; "GridType" in the stored form).
enum {
  GIS_MAPGRID_GRATICULE = 0,
  GIS_MAPGRID_MEASURE = 1,
  GIS_MAPGRID_INDEX = 2,
  GIS_MAPGRID_GRATICULE_MN = 3,
};

// What a grid draws at its lines (GetGridlineType).
enum {
  GIS_GRIDLINE_NONE = 0,   // ticks, labels and border only
  GIS_GRIDLINE_LINES = 1,  // grid lines in the line symbol
  GIS_GRIDLINE_MARKS = 2,  // the mark symbol at each line crossing
};

class IGIS_MapGrid {
 public:
  virtual IGIS_Symbol* GetLineSymbol() = 0;
  // Keeps a copy (line view); NULL removes the symbol (with a record).
  virtual void SetLineSymbol(IGIS_Symbol* pSymbol) = 0;
  virtual const char* GetName() = 0;
  // At most 999 bytes are kept, cut at a whole UTF-8 character; NULL is
  // refused with a record.
  virtual void SetName(const char* szName) = 0;
  virtual IGIS_GridLabel* GetLabelFormat() = 0;
  // Keeps a copy of a label of a type the kind accepts, bound to this grid.
  virtual void SetLabelFormat(IGIS_GridLabel* pLabel) = 0;
  virtual IGIS_Symbol* GetMarkSymbol() = 0;
  // Keeps a copy (point view); NULL removes the symbol (with a record).
  virtual void SetMarkSymbol(IGIS_Symbol* pSymbol) = 0;
  // The main label switches of the four sides.
  virtual void SetLabelVisible(bool bLeft, bool bTop, bool bRight, bool bBottom) = 0;
  virtual void GetLabelVisible(bool* pLeft, bool* pTop, bool* pRight, bool* pBottom) = 0;
  virtual void SetSubTickVisible(bool bLeft, bool bTop, bool bRight, bool bBottom) = 0;
  virtual void GetSubTickVisible(bool* pLeft, bool* pTop, bool* pRight, bool* pBottom) = 0;
  virtual void SetTickVisible(bool bLeft, bool bTop, bool bRight, bool bBottom) = 0;
  virtual void GetTickVisible(bool* pLeft, bool* pTop, bool* pRight, bool* pBottom) = 0;
  // Sub-tick divisions between two main ticks; any value is kept.
  virtual int GetSubTickCount() = 0;
  virtual void SetSubTickCount(int nCount) = 0;
  // Tick lengths; any value is kept (negatives included).
  virtual double GetSubTickLength() = 0;
  virtual void SetSubTickLength(double dLength) = 0;
  virtual double GetTickLength() = 0;
  virtual void SetTickLength(double dLength) = 0;
  virtual IGIS_Symbol* GetSubTickLineSymbol() = 0;
  virtual void SetSubTickLineSymbol(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetTickLineSymbol() = 0;
  virtual void SetTickLineSymbol(IGIS_Symbol* pSymbol) = 0;
  // The grid list draws only visible grids.
  virtual bool GetVisible() = 0;
  virtual void SetVisible(bool bVisible) = 0;
  virtual IGIS_MapGridBorder* GetBorder() = 0;
  // Keeps a copy bound to this grid; NULL removes the border.
  virtual void SetBorder(IGIS_MapGridBorder* pBorder) = 0;
  // The map frame whose map the grid covers (not owned; may be NULL).
  virtual IGIS_MapElement* GetMapElement() = 0;
  virtual void SetMapElement(IGIS_MapElement* pMapElement) = 0;
  // The kind code.
  virtual int GetType() = 0;
  // Draws the grid over its frame's map: its border, then its labels, then
  // its own lines, marks and ticks.
  virtual bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) = 0;
  virtual void Release() = 0;
  // A new grid of the same kind and values, owned by the caller. It keeps
  // the map frame of this grid: a caller that puts the clone into another
  // frame binds it there with SetMapElement.
  virtual IGIS_MapGrid* Clone() = 0;
  // Writes the grid's keys into the buffer (the kind's, then the common
  // ones) / reads them back; missing keys keep their values.
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // Runs the kind's property sheet on the grid; true only when the user
  // confirmed (anything else leaves the grid as it was).
  virtual bool OnOpenPropertyDlg() = 0;
  // GIS_GRIDLINE_*; other values are ignored by the setter.
  virtual int GetGridlineType() = 0;
  virtual void SetGridlineType(int nType) = 0;
  // A new compound element of the grid as plain elements in its frame's
  // owner feature set; NULL without a frame or when nothing is made.
  virtual IGIS_Element* ConvertToElement() = 0;
  // The tick pass divides the grid intervals by it; at least 1.
  virtual int GetTickDivision() = 0;
  virtual void SetTickDivision(int nDivision) = 0;

  // Copies the common state of another grid (the label through this kind's
  // SetLabelFormat, symbols and border as copies, the same map frame) and
  // returns this grid. Each kind's own copy starts with it.
  __attribute__((visibility("default"))) IGIS_MapGrid* CopyFrom(IGIS_MapGrid* pOther);

 protected:
  IGIS_MapGrid() = default;
  ~IGIS_MapGrid() = default;
  IGIS_MapGrid(const IGIS_MapGrid&) = delete;
  IGIS_MapGrid& operator=(const IGIS_MapGrid&) = delete;
};

extern "C" {
// A new grid of the kind code with its defaults and default label, or NULL
// for a code without a grid class; the caller ends it with Release.
__attribute__((visibility("default"))) IGIS_MapGrid* GIS_CreateMapGridPropertyObject(int nType);
// A grid rebuilt from a buffer a grid's Save wrote ("GridType" picks the
// kind), or NULL; the caller ends it with Release.
__attribute__((visibility("default"))) IGIS_MapGrid* GIS_CreateMapGridPropertyObjectFromBuffer(
    IGIS_DataBuffer* pBuffer);
}
