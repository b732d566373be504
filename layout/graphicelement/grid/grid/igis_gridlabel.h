// Grid labels: what writes a grid's coordinates along the sides of its map
// frame (degrees-minutes-seconds, mixed-font and formatted labels) or, on an
// index grid, the column and row designations in tabs (the tab styles,
// igis_indexgridtabstyle.h). Every grid owns one, bound to it with
// SetMapGrid; a label reads its grid only through the grid interfaces. A
// label is ended only through its Release.
//
// Offsets are page units of 0.01 mm.
#pragma once

#include "host/glyphor/igis_symbol.h"
#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Display;
class IGIS_Element;
class IGIS_MapGrid;

// Label type codes (GetType; "GridLabelType" in the stored form). 3 names no
// label.
enum {
  GIS_GRIDLABEL_DMS = 0,
  GIS_GRIDLABEL_MIXEDFONT = 1,
  GIS_GRIDLABEL_FORMATTED = 2,
  GIS_GRIDLABEL_INDEX_BACKGROUND = 4,
  GIS_GRIDLABEL_INDEX_BOTTON = 5,
  GIS_GRIDLABEL_INDEX_CONTINUOUS = 6,
  GIS_GRIDLABEL_INDEX_ROUNDED = 7,
};

class IGIS_GridLabel {
 public:
  // The common offset, -10000 at least (a lower one is ignored); the eight
  // side offsets keep their values.
  virtual void SetLabelOffset(int nOffset) = 0;
  virtual int GetLabelOffset() = 0;
  // The label's own text symbol (not to be released).
  virtual IGIS_SymbolPart* GetTextSymbolPtr() = 0;
  // One static, zero-filled block shared by every label (an empty text).
  virtual const char* GetStaticData() = 0;
  // TRUE turns that side's texts through 90 degrees.
  virtual void GetLabelAlignment(bool* pLeft, bool* pRight, bool* pTop, bool* pBottom) = 0;
  virtual void SetLabelAlignment(bool bLeft, bool bRight, bool bTop, bool bBottom) = 0;
  virtual void Release() = 0;
  // The class's keys, then the common ones (with "GridLabelType").
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // A new label of the same class and state, owned by the caller.
  virtual IGIS_GridLabel* Clone() = 0;
  // Draws the labels of the bound grid.
  virtual bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) = 0;
  virtual int GetType() = 0;
  // Keeps a copy (text part); NULL removes the symbol (with a record).
  virtual void SetTextSymbolPtr(IGIS_SymbolPart* pSymbol) = 0;
  // Copies the common state of another label (not its grid); returns this one.
  virtual IGIS_GridLabel* CopyFrom(IGIS_GridLabel* pOther) = 0;
  // Runs the class's property sheet on the label; true only when the user
  // confirmed (anything else leaves the label as it was).
  virtual bool OnOpenPropertyDlg() = 0;
  // A new compound element of the labels as plain elements in the grid's
  // frame's owner feature set, or NULL.
  virtual IGIS_Element* ConvertToElement() = 0;
  // Binds the label to the grid it labels (not owned); NULL is ignored.
  virtual void SetMapGrid(IGIS_MapGrid* pGrid) = 0;
  virtual void GetLabelOffsetX(int* pLeft, int* pRight, int* pTop, int* pBottom) = 0;
  virtual void GetLabelOffsetY(int* pLeft, int* pRight, int* pTop, int* pBottom) = 0;
  virtual void SetLabelOffsetX(int nLeft, int nRight, int nTop, int nBottom) = 0;
  virtual void SetLabelOffsetY(int nLeft, int nRight, int nTop, int nBottom) = 0;

 protected:
  IGIS_GridLabel() = default;
  ~IGIS_GridLabel() = default;
  IGIS_GridLabel(const IGIS_GridLabel&) = delete;
  IGIS_GridLabel& operator=(const IGIS_GridLabel&) = delete;
};

extern "C" {
// A new label of the type code, not bound to a grid, or NULL (type 3 and
// codes outside 0 to 7); the caller ends it with Release.
__attribute__((visibility("default"))) IGIS_GridLabel* GIS_CreateMapGridLabelFormatObject(int nType);
// A label rebuilt from a buffer a label's Save wrote ("GridLabelType" picks
// the class), not bound to a grid, or NULL.
__attribute__((visibility("default"))) IGIS_GridLabel* GIS_CreateMapGridLabelFormatObjectFromDataBuffer(
    IGIS_DataBuffer* pBuffer);
}
