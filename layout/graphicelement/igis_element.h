// The interface every graphic element of the layout implements, the element
// list compounds take, and the element factory.
#pragma once

#include "host/basilo/igis_subject.h"  // IGIS_Observer, of elements that follow a map frame
#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_Feature;
class IGIS_FeatureSet;
class IGIS_Display;

// Element type identifiers, in the factory's index order.
#define GIS_TYPE_GRAPHIC_ELEMENT_POINT "GIS_TYPE_GRAPHIC_ELEMENT_POINT"
#define GIS_TYPE_GRAPHIC_ELEMENT_LINE "GIS_TYPE_GRAPHIC_ELEMENT_LINE"
#define GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE "GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE"
#define GIS_TYPE_GRAPHIC_ELEMENT_ARC "GIS_TYPE_GRAPHIC_ELEMENT_ARC"
#define GIS_TYPE_GRAPHIC_ELEMENT_RECT "GIS_TYPE_GRAPHIC_ELEMENT_RECT"
#define GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE "GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE"
#define GIS_TYPE_GRAPHIC_ELEMENT_POLYGON "GIS_TYPE_GRAPHIC_ELEMENT_POLYGON"
#define GIS_TYPE_GRAPHIC_ELEMENT_TEXT "GIS_TYPE_GRAPHIC_ELEMENT_TEXT"
#define GIS_TYPE_GRAPHIC_ELEMENT_TABLE "GIS_TYPE_GRAPHIC_ELEMENT_TABLE"
#define GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW "GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW"
#define GIS_TYPE_GRAPHIC_ELEMENT_MAP "GIS_TYPE_GRAPHIC_ELEMENT_MAP"
#define GIS_TYPE_GRAPHIC_ELEMENT_LEGEND "GIS_TYPE_GRAPHIC_ELEMENT_LEGEND"
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING \
  "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING"
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT "GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT"
#define GIS_TYPE_GRAPHIC_ELEMENT_PICTURE "GIS_TYPE_GRAPHIC_ELEMENT_PICTURE"
#define GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND "GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND"
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING"
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA"
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW"
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE"
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE \
  "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE"
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC"
#define GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH "GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH"
#define GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE "GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE"
#define GIS_TYPE_GRAPHIC_ELEMENT_OLE "GIS_TYPE_GRAPHIC_ELEMENT_OLE"
#define GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX "GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX"

// Messages sent and handled through the subjects of map frames.
#define GIS_MESSAGE_ELEMENT_MAP_RORATE "GIS_MESSAGE_ELEMENT_MAP_RORATE"
#define GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED "GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED"
#define GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED "GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED"
#define GIS_MESSAGE_ELEMENT_MAP_DEL "GIS_MESSAGE_ELEMENT_MAP_DEL"

// Largest number of bytes of an element name, without the terminating NUL.
constexpr int GIS_ELEMENT_NAME_MAX = 999;

// A graphic element: a view over one feature of its owner feature set. The
// host keeps elements through their features and ends each with Release.
class IGIS_Element {
 public:
  virtual void Release() = 0;
  virtual const char* GetType() = 0;
  virtual IGIS_Feature* GetFeaturePtr() = 0;
  virtual BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) = 0;
  virtual IGIS_FeatureSet* GetFeatureSetPtr() = 0;
  virtual int GetID() = 0;
  virtual BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) = 0;
  virtual BOOL Archive(int nRead, int nArchiveOption) = 0;
  virtual bool IsLock() = 0;
  virtual void SetLock(bool bLock) = 0;
  virtual bool GetHVScaleRatio() = 0;
  virtual void SetHVScaleRatio(bool bKeep) = 0;
  virtual bool CanConvert() = 0;
  virtual void SetOrder(int nOrder) = 0;
  virtual int GetOrder() = 0;
  virtual void SetRect(SGIS_Rect rect) = 0;
  virtual SGIS_Rect GetRect() = 0;
  virtual IGIS_Element* ConvertToElement() = 0;
  virtual void SetWidthAndHeight(int nWidth, int nHeight) = 0;
  virtual void OffsetAllPoints(int dx, int dy) = 0;
  virtual void ScaleShape(SGIS_Point origin, double sx, double sy) = 0;
  virtual void SetLBpoint(SGIS_Point point) = 0;
  virtual IGIS_Element* Clone() = 0;
  virtual const char* GetName() { return ""; }
  virtual void SetName(const char*) { m_szName[0] = '\0'; }
  virtual const char* GetDescription() { return ""; }

 protected:
  friend class CGIS_ElementCore;
  IGIS_Element() = default;
  virtual ~IGIS_Element() = default;
  IGIS_Element(const IGIS_Element&) = delete;
  IGIS_Element& operator=(const IGIS_Element&) = delete;

  int m_nID = -1;
  char m_szName[GIS_ELEMENT_NAME_MAX + 1] = {};
};

// A list of elements handed to a compound element in one call.
class IGIS_ElementSet {
 public:
  virtual int GetCount() = 0;
  virtual IGIS_Element* GetElementPtr(int nIndex) = 0;

 protected:
  virtual ~IGIS_ElementSet() = default;
};

// Creates elements by type identifier; obtained from
// GIS_CreateGraphicElementFactoryObject and ended with Release.
class IGIS_ElementFactory {
 public:
  virtual void Release() = 0;
  virtual int GetTypeCount() = 0;
  virtual const char* GetTypeName(int nIndex) = 0;
  virtual IGIS_Element* CreateElement(const char* szType, IGIS_FeatureSet* pOwner,
                                      IGIS_Feature* pFeature) = 0;
  virtual const char* GetFactoryType() = 0;

 protected:
  virtual ~IGIS_ElementFactory() = default;
};

#define MAPDECK_FACTORY_TYPE_BASIC "MAPDECK_FACTORY_TYPE_BASIC"

extern "C" {
// A new element factory owned by the caller, or NULL when memory runs out.
__attribute__((visibility("default"))) IGIS_ElementFactory* GIS_CreateGraphicElementFactoryObject();
}
