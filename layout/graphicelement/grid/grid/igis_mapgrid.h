// Map grids: lines, markers, ticks and labels drawn over a map frame's map.
// Each kind (graticule, measured grid, index grid, graticule of fixed rows
// and columns) implements this interface; a grid is ended only through its
// Release. The operations here are those the grid list and the map frame
// call; the kinds add their own.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Display;
class IGIS_Element;
class IGIS_MapElement;

// Kind codes of grids ("GridType" in the stored form).
enum {
  GIS_MAPGRID_GRATICULE = 0,
  GIS_MAPGRID_MEASURE = 1,
  GIS_MAPGRID_INDEX = 2,
  GIS_MAPGRID_GRATICULE_MN = 3,
};

class IGIS_MapGrid {
 public:
  virtual void Release() = 0;
  // A new grid of the same kind and values, owned by the caller. It keeps
  // the map frame of this grid: a caller that puts the clone into another
  // frame binds it there with SetMapElement (the map frame's Clone does).
  virtual IGIS_MapGrid* Clone() = 0;
  virtual const char* GetName() = 0;
  // The kind code.
  virtual int GetType() = 0;
  // The grid list draws only visible grids.
  virtual bool GetVisible() = 0;
  // Draws the grid over its frame's map.
  virtual bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) = 0;
  // A new compound element of the grid as plain elements in its frame's
  // owner feature set; NULL without a frame or when nothing is made.
  virtual IGIS_Element* ConvertToElement() = 0;
  // Writes the grid's keys into the buffer / reads them back.
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // The map frame whose map the grid covers (not owned; may be NULL).
  virtual IGIS_MapElement* GetMapElement() = 0;
  virtual void SetMapElement(IGIS_MapElement* pMapElement) = 0;

 protected:
  IGIS_MapGrid() = default;
  ~IGIS_MapGrid() = default;
  IGIS_MapGrid(const IGIS_MapGrid&) = delete;
  IGIS_MapGrid& operator=(const IGIS_MapGrid&) = delete;
};

extern "C" {
// A new grid of the kind code with its defaults, or NULL for a code without
// a grid class; the caller ends it with Release.
__attribute__((visibility("default"))) IGIS_MapGrid* GIS_CreateMapGridPropertyObject(int nType);
}
