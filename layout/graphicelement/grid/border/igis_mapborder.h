// Map borders: the decorated band a map frame draws around its map
// rectangle (inner and outer border). Each kind (simple, calibrated,
// pattern) implements this interface; borders are made by the border
// factory and handed over by copying (a holder keeps its own Clone).
//
// Lengths and offsets are page units of 0.01 mm.
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Display;
class IGIS_Element;
class IGIS_SpatialReference;

// Border kind codes (GetType; "MapBorderType" in the stored form). 0 stands
// for no border and is never a border's own code.
enum {
  GIS_MAPBORDER_NONE = 0,
  GIS_MAPBORDER_SIMPLE = 1,
  GIS_MAPBORDER_CALIBRATED = 2,
  GIS_MAPBORDER_PATTERN = 3,
};

class IGIS_MapBorder {
 public:
  virtual void Release() = 0;
  // Writes the border into the buffer (one property set).
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  // Reads the border's keys from the buffer; missing keys keep their values.
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // A new border of the same kind and values, owned by the caller.
  virtual IGIS_MapBorder* Clone() = 0;
  // Draws the border outside GetOuterRect(frameRect); the spatial reference
  // is the page's, handed on to the display's page-to-device conversion.
  virtual bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect frameRect,
                      IGIS_SpatialReference* pSpatialReference) = 0;
  // A new compound element of the border as plain elements, made in the map
  // frame's owner feature set around its rectangle; NULL when nothing is made.
  virtual IGIS_Element* ConvertToElement(IGIS_Element* pMapElement) = 0;
  virtual int GetLeftOffset() = 0;
  virtual void SetLeftOffset(int nOffset) = 0;
  virtual int GetRightOffset() = 0;
  virtual void SetRightOffset(int nOffset) = 0;
  virtual int GetBottomOffset() = 0;
  virtual void SetBottomOffset(int nOffset) = 0;
  virtual int GetTopOffset() = 0;
  virtual void SetTopOffset(int nOffset) = 0;
  virtual int GetType() = 0;
  virtual int GetBorderWidth() = 0;
  virtual void SetBorderWidth(int nWidth) = 0;
  // The frame rectangle pushed out by the four offsets.
  virtual SGIS_Rect GetOuterRect(SGIS_Rect frameRect) = 0;
  virtual const char* GetName() = 0;
  virtual void SetName(const char* szName) = 0;

 protected:
  IGIS_MapBorder() = default;
  virtual ~IGIS_MapBorder() = default;
  IGIS_MapBorder(const IGIS_MapBorder&) = delete;
  IGIS_MapBorder& operator=(const IGIS_MapBorder&) = delete;
};

// Makes borders; one object for the process (GIS_GetMapBorderFactoryObject).
class IGIS_MapBorderFactory {
 public:
  virtual void Release() = 0;
  // A new border of the kind code with its defaults, or NULL.
  virtual IGIS_MapBorder* CreateMapBorder(int nType) = 0;
  // A border rebuilt from a buffer a border's Save wrote, or NULL.
  virtual IGIS_MapBorder* CreateMapborderFromBuffer(IGIS_DataBuffer* pBuffer) = 0;

 protected:
  virtual ~IGIS_MapBorderFactory() = default;
};

extern "C" {
// The process-wide border factory, made on the first call; never released by
// callers (the library's unload ends it).
__attribute__((visibility("default"))) IGIS_MapBorderFactory* GIS_GetMapBorderFactoryObject();
}
