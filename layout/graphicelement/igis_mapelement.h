// The map frame element: a rectangle of the layout page inside which one
// named map of the host's document is drawn through the host's main
// controller, with its extent (bound), scale, extent history, rotation, clip
// polygon, frame property, grid list and inner and outer map borders.
//
// One object plays three parts: the element (IGIS_Element and the frame's
// own operations below), an observer of its bound map (IGIS_Observer), and
// the subject that the elements following the frame (scale bars, legends,
// north arrows...) attach to (Attach, Detach, DetachAll, Notify).
//
// Units: the frame rectangle in page units (0.01 mm, y up); the bound in map
// coordinates (x1 left, x2 right, y1 top, y2 bottom); the scale (FixScale)
// in map units per page unit; angles in degrees.
//
// The component list: when a frame makes its main controller (on first
// drawing or binding), it registers the host components named in
// "othercomponents.cfg". The list is a text file of one component a line:
// the line's first word names a component file, taken relative to the
// list's folder (the rest of the line is not read, blank lines are passed
// over, lines are cut at 999 bytes and only the first 1024 are read). It is
// read from the host program's folder or, when none lies there, from the
// data folder installed with the library (share/mapdeck/, whose list is
// empty). Only when neither holds a list, or a listed component cannot be
// read, does the frame write a record "RegisterOtherComponentsCfgFile 失败: "
// naming the lists.
#pragma once

#include "host/basilo/igis_subject.h"
#include "host/basilo/sgis_types.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/igis_element.h"

class IGIS_MainObject;
class IGIS_GeoPolygon;
class IGIS_FrameProperty;
class IGIS_MapBorder;
class IGIS_MapGrids;

// Extent modes (GetExtentType / SetExtentType).
enum {
  GIS_MAP_EXTENT_AUTOMATIC = 0,     // the scale follows frame and bound
  GIS_MAP_EXTENT_FIXED_SCALE = 1,   // the bound follows the frame at a kept scale
  GIS_MAP_EXTENT_FIXED_EXTENT = 2,  // the scale follows the bound; the frame keeps its proportions
};

// Messages the frame sends that are not declared with the element interface;
// it also passes on those of its map (host/helmora/igis_map.h).
#define GIS_MESSAGE_FEATURE_TOBE_UPDATED "GIS_MESSAGE_FEATURE_TOBE_UPDATED"

class IGIS_MapElement : public IGIS_Element, public IGIS_Observer, public IGIS_Subject {
 public:
  // ---- The frame's own element operations ----

  // Copies the bound into *pBound and returns pBound (NULL: nothing copied).
  virtual SGIS_DRect* GetMapBound(SGIS_DRect* pBound) = 0;
  // Shows the rectangle of map coordinates; without a map, or for an empty
  // rectangle, the bound becomes the frame rectangle in page units.
  virtual void SetMapBound(SGIS_DRect bound) = 0;
  // Binds a map of the host (NULL unbinds); sends
  // GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED unless the map is the current one.
  virtual void SetMap(IGIS_Map* pMap) = 0;
  virtual IGIS_Map* GetMap() = 0;
  // The scale in map units per page unit, of the bound widened to the
  // frame's proportions (0.0 without a map). Changes nothing.
  virtual double GetScale() = 0;
  // A scale above 0 with a map bound: applies it by the extent mode.
  virtual void SetScale(double dScale) = 0;
  virtual void SetExtentType(int nType) = 0;
  virtual int GetExtentType() = 0;
  // The frame's own frame property (may be NULL).
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  // Keeps a copy (NULL removes the frame property); the caller keeps its own.
  virtual bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;
  // The host's main controller, created on first use (with the components
  // of the component list above); owned by the frame.
  virtual IGIS_MainObject* GetMainObject() = 0;
  virtual bool CanGoPreviousExtent() = 0;
  virtual bool CanGoNextExtent() = 0;
  virtual bool GoPreviousExtent() = 0;
  virtual bool GoNextExtent() = 0;
  // Shows the whole map cropped to the frame's proportions.
  virtual bool FullExtent() = 0;
  // The grid list (owned by the frame; never NULL for a frame with an owner).
  virtual IGIS_MapGrids* GetMapGrids() = 0;
  virtual IGIS_GeoPolygon* GetClipPolygonPtr() = 0;
  // Keeps a copy of a polygon of more than 2 points; others remove it.
  virtual void SetClipPolygonPtr(IGIS_GeoPolygon* pPolygon) = 0;
  // The rotation of the bound map (0.0 without a map).
  virtual double GetRotateAngle() = 0;
  // Sends GIS_MESSAGE_ELEMENT_MAP_RORATE when the angle changes.
  virtual void SetRotateAngle(double dAngle) = 0;
  // Binds the document's map of that name (an unknown name unbinds). The
  // document is reached through the page's map layer (the feature set's
  // SetMapLayer): on a page without one the frame keeps the name and binds
  // nothing, and the page's first such call, or reading of a frame that
  // names a map, writes one record saying so.
  virtual void SetMapName(const char* szName) = 0;
  virtual const char* GetMapName() = 0;
  virtual IGIS_MapBorder* GetInnerMapBorder() = 0;
  // Border setters keep a clone; NULL removes the border.
  virtual void SetInnerMapBorder(IGIS_MapBorder* pBorder) = 0;
  virtual IGIS_MapBorder* GetOuterMapBorder() = 0;
  virtual void SetOuterMapBorder(IGIS_MapBorder* pBorder) = 0;
  virtual bool GetDisableAutoControlVectorSubLayer() = 0;
  virtual void SetDisableAutoControlVectorSubLayer(bool bDisable) = 0;
  // Symbols always scale with the map: TRUE, and the setter changes nothing.
  virtual bool GetScaleSymbolsWithMap() = 0;
  virtual void SetScaleSymbolsWithMap(bool bScale) = 0;

  // ---- Observer part: messages of the bound map ----
  // void Update(const char* message, int argument, IGIS_Element* sender);

  // ---- Subject part: followers attach here (option 0) ----
  // BOOL Attach(IGIS_Observer*, int); BOOL Detach(IGIS_Observer*, int);
  // void DetachAll(); void Notify(const char* message, int argument, IGIS_Element* sender);

 protected:
  ~IGIS_MapElement() override = default;
};
