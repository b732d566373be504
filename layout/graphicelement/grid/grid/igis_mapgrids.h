// The grid list of a map frame: the grids it draws over its map, owned by
// the list, in insertion order (the first grid is drawn last, on top).
#pragma once

#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Display;
class IGIS_MapElement;
class IGIS_MapGrid;

class IGIS_MapGrids {
 public:
  // Stores "Count" and one nested set per grid under "1", "2", ...
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  // Appends the stored grids (the list is not emptied first), each bound to
  // the list's map frame.
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // The list makes no copies of itself: NULL.
  virtual IGIS_MapGrids* Clone() = 0;
  // Draws the visible grids from the last to the first.
  virtual bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_MapElement* pMapElement) = 0;
  // Copies nothing; returns this list.
  virtual IGIS_MapGrids* CopyFrom(IGIS_MapGrids* pOther) = 0;
  // Appends a grid the list then owns. FALSE for NULL, a grid whose name a
  // grid of the list has, or a list that holds as many grids as it may (the
  // library's list: 64, with a record): the list does not release a grid it
  // refuses, the caller keeps it and ends it with Release.
  virtual bool AddMapGrid(IGIS_MapGrid* pGrid) = 0;
  // Releases every grid, last to first.
  virtual void ReleaseMapGrids() = 0;
  virtual int GetCount() = 0;
  // The grid at a position, still owned by the list; NULL out of range.
  virtual IGIS_MapGrid* GetMapGrid(int nIndex) = 0;
  // Takes a grid out of the list without releasing it; the caller owns it.
  virtual void DeleteMapGrids(IGIS_MapGrid* pGrid) = 0;
  virtual void SetMapElement(IGIS_MapElement* pMapElement) = 0;
  virtual IGIS_MapElement* GetMapElement() = 0;

 protected:
  ~IGIS_MapGrids() = default;
};
