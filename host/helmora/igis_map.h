// The host's maps: a document holds named maps, a map holds layers, and a
// vector layer holds features with their classes (the symbol match table).
//
// Ownership: documents come from GIS_CreateDocumentObject and end with their
// Release, which ends their maps and layers. Maps, layers, layer data objects
// and match tables belong to their document; callers never release them.
// Symbols a table hands out belong to the table.
//
// A map's observers hear "GIS_MESSAGE_DOC_MAP_RENAMED" after SetName and
// "GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED" after SetSpatialReference,
// with argument 0 and no sender.
#pragma once

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/igis_subject.h"
#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_Symbol;
class IGIS_SpatialReference;
class IGIS_MapView;
class IGIS_Map;
class IGIS_Document;

// Layer kinds (IGIS_MapLayer::GetType).
#define GIS_DRAWER_GROUP "GIS_DRAWER_GROUP"
#define GIS_DRAWER_VECTOR "GIS_DRAWER_VECTOR"
#define GIS_DRAWER_VECTOR_COMPOUND "GIS_DRAWER_VECTOR_COMPOUND"

// A map's property: a data buffer whose first 16 bytes are an SGIS_Rect
// (left, right, top, bottom as 32-bit integers in map coordinates).
#define GIS_DISP_WORLD_RECT "GIS_DISP_WORLD_RECT"

// Messages a map sends to its observers. A map that ends (with its
// document) tells them first, so that nobody keeps a pointer to it.
#define GIS_MESSAGE_DOC_MAP_RENAMED "GIS_MESSAGE_DOC_MAP_RENAMED"
#define GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED "GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED"
#define GIS_MESSAGE_DOC_MAP_RELEASED "GIS_MESSAGE_DOC_MAP_RELEASED"

// Geometry kinds of the features of a vector layer.
enum {
  GIS_MAPFEATURE_POINT = 1,
  GIS_MAPFEATURE_LINE = 2,
  GIS_MAPFEATURE_POLYGON = 4,
};

// Limits that keep a layer bounded whatever its data says.
constexpr int GIS_MAPFEATURE_MAX_PARTS = 1 << 16;
constexpr int GIS_MAPFEATURE_MAX_POINTS = 1 << 22;
constexpr int GIS_MAPLAYER_MAX_FEATURES = 1 << 20;
constexpr int GIS_MATCHTABLE_MAX_ENTRIES = 4096;

// The classes of a vector layer: each entry has a class value (what features
// name), a label (what a legend shows) and a symbol.
class IGIS_SymbolMatchTable {
 public:
  virtual int GetCount() = 0;
  // The entry's label text; NULL out of range.
  virtual const char* GetLabel(int index) = 0;
  // The entry's symbol, owned by the table; NULL out of range or without one.
  virtual IGIS_Symbol* GetSymbol(int index) = 0;

  // The entry's class value; NULL out of range.
  virtual const char* GetValue(int index) = 0;
  // The index of the entry with this class value, -1 when there is none.
  virtual int FindValue(const char* value) = 0;
  // Appends an entry keeping a clone of the symbol (NULL: no symbol). The
  // new index, or -1 for a NULL or repeated value or a full table.
  virtual int AddEntry(const char* value, const char* label, IGIS_Symbol* symbol) = 0;

 protected:
  virtual ~IGIS_SymbolMatchTable() = default;
};

// The data object of a layer (IGIS_MapLayer::GetLayerPtr): an
// IGIS_VectorMapLayer for "GIS_DRAWER_VECTOR", an IGIS_VectorCompoundMapLayer
// for "GIS_DRAWER_VECTOR_COMPOUND".
class IGIS_LayerData {
 public:
  virtual ~IGIS_LayerData() = default;
};

// Features of one vector layer. Coordinates are stored in the layer's own
// reference (geographic degrees for the sample maps) and drawn in the map's.
class IGIS_VectorMapLayer : public IGIS_LayerData {
 public:
  virtual IGIS_SymbolMatchTable* GetSymbolMatchTable() = 0;

  virtual int GetFeatureCount() = 0;
  // Adds a feature of a kind (GIS_MAPFEATURE_*) in the class of table entry
  // classIndex, with an optional name (drawn as its label when the layer
  // labels features). Its parts are partCount runs of points, partSizes[i]
  // points each, taken one after the other from points. A point feature has
  // one part of one point; a line part at least 2 points; a polygon ring at
  // least 3. The new feature's index, or -1 (log record, nothing added) for a
  // bad kind or class, non-finite coordinates or too few or too many points.
  virtual int AddFeature(int kind, int classIndex, const char* name, int partCount, const int* partSizes,
                         const SGIS_DPoint* points) = 0;
  virtual int GetFeatureKind(int index) = 0;
  virtual int GetFeatureClass(int index) = 0;
  // NULL out of range; "" for a feature without a name.
  virtual const char* GetFeatureName(int index) = 0;
  // The extent of every feature in the map's reference; FALSE (out
  // unchanged) for a layer without features or one that is in no map.
  virtual BOOL GetExtent(SGIS_DRect* out) = 0;
  // The reference of the stored coordinates (not owned). A layer made
  // without one takes the map's reference when it enters the map; NULL until
  // then.
  virtual IGIS_SpatialReference* GetSpatialReference() = 0;
  // Whether point features draw their names beside them.
  virtual BOOL GetLabelFeatures() = 0;
  virtual void SetLabelFeatures(BOOL label) = 0;
  // The text symbol of the names (owned by the layer); NULL draws none.
  virtual IGIS_Symbol* GetLabelSymbol() = 0;
  // Keeps a clone; NULL removes it.
  virtual void SetLabelSymbol(IGIS_Symbol* symbol) = 0;

 protected:
  ~IGIS_VectorMapLayer() override = default;
};

// A compound vector layer: one vector layer and the layer's other parts.
class IGIS_VectorCompoundMapLayer : public IGIS_LayerData {
 public:
  virtual IGIS_VectorMapLayer* GetVectorMapLayer() = 0;

 protected:
  ~IGIS_VectorCompoundMapLayer() override = default;
};

class IGIS_MapLayer {
 public:
  // GIS_DRAWER_GROUP, GIS_DRAWER_VECTOR or GIS_DRAWER_VECTOR_COMPOUND.
  virtual const char* GetType() = 0;
  virtual const char* GetName() = 0;
  // Children of a group layer (0 and NULL for other kinds).
  virtual int GetLayerCount() = 0;
  virtual IGIS_MapLayer* GetLayer(int index) = 0;
  // The data object, or NULL (groups; a vector layer made without data).
  virtual IGIS_LayerData* GetLayerPtr() = 0;
  // The map holding the layer, or NULL while it is in none.
  virtual IGIS_Map* GetMap() = 0;

  virtual BOOL GetVisible() = 0;
  virtual void SetVisible(BOOL visible) = 0;
  // Groups: appends a child, which the group then owns. FALSE for NULL, a
  // layer already in a group or map, or a layer that is not a group: a
  // refused layer stays as it was, the caller keeps a new one and ends it
  // with Release.
  virtual BOOL AddLayer(IGIS_MapLayer* child) = 0;
  // Draws the layer (and its children) through the view into the context,
  // clipped to the view's device rectangle. FALSE when nothing could be drawn.
  virtual BOOL Draw(HDC hdc, BOOL print, IGIS_MapView* view) = 0;
  // Ends a layer that was never added to a group or a map.
  virtual void Release() = 0;

 protected:
  virtual ~IGIS_MapLayer() = default;
};

class IGIS_Map {
 public:
  virtual BOOL Attach(IGIS_Observer* observer, int option) = 0;
  virtual BOOL Detach(IGIS_Observer* observer, int option) = 0;
  virtual const char* GetName() = 0;
  // The map's reference (owned by the map, never NULL).
  virtual IGIS_SpatialReference* GetSpatialReference() = 0;
  // The map's properties (GIS_DISP_WORLD_RECT among them), owned by the map.
  virtual IGIS_PropertySet* GetPropertySet() = 0;
  // The union of the visible layers' extents in map coordinates (x1 left,
  // x2 right, y1 top, y2 bottom); the zero rectangle for a map without
  // features. Returns out (NULL for a NULL out).
  virtual SGIS_DRect* GetFullExtent(SGIS_DRect* out, int option) = 0;
  // Rotation of the map in degrees, counter-clockwise.
  virtual double GetRotateAngle() = 0;
  // TRUE when the map has a reference with a coordinate system and a layer.
  virtual BOOL CanDraw() = 0;
  virtual IGIS_Document* GetDocument() = 0;
  virtual int GetLayerCount() = 0;
  virtual IGIS_MapLayer* GetLayer(int index) = 0;
  // The scale at which symbols have their real size (0: always).
  virtual int GetReferenceScale() = 0;

  // FALSE for NULL or an empty name. Notifies GIS_MESSAGE_DOC_MAP_RENAMED.
  virtual BOOL SetName(const char* name) = 0;
  // Copies the reference; FALSE (nothing changed) for NULL or a reference
  // without a coordinate system. Notifies
  // GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED.
  virtual BOOL SetSpatialReference(IGIS_SpatialReference* reference) = 0;
  // FALSE for a non-finite angle.
  virtual BOOL SetRotateAngle(double degrees) = 0;
  // FALSE for a negative scale.
  virtual BOOL SetReferenceScale(int scale) = 0;
  // Appends a top-level layer, which the map then owns. FALSE for NULL or a
  // layer already in a group or map: a refused layer stays as it was, the
  // caller keeps a new one and ends it with Release.
  virtual BOOL AddLayer(IGIS_MapLayer* layer) = 0;

 protected:
  virtual ~IGIS_Map() = default;
};

class IGIS_Document {
 public:
  // The map of that name, or NULL (a NULL name included).
  virtual IGIS_Map* FindMap(const char* name) = 0;
  // The map at index, or NULL out of range.
  virtual IGIS_Map* GetMapAt(int index) = 0;
  virtual int GetMapCount() = 0;

  // A new empty map in a reference (copied) under a name not yet used; NULL
  // (log record) for a NULL, empty or repeated name or a reference that is
  // NULL or has no coordinate system.
  virtual IGIS_Map* CreateMap(const char* name, IGIS_SpatialReference* reference) = 0;
  // The layer that shows a layout page (IGIS_FeatureSet::SetMapLayer): a
  // group layer in the document's layout map, which is not one of its maps
  // (FindMap, GetMapAt and GetMapCount do not see it). Owned by the document.
  virtual IGIS_MapLayer* GetLayoutLayer() = 0;
  // Ends the document, its maps and their layers.
  virtual void Release() = 0;

 protected:
  virtual ~IGIS_Document() = default;
};

extern "C" {
// A new empty document, owned by the caller.
IGIS_Document* GIS_CreateDocumentObject();
// New layers, owned by the caller until added to a map or group. A vector
// layer keeps a copy of its coordinates' reference (NULL: the reference of
// the map it enters). The
// compound layer holds a vector layer of its own (GetVectorMapLayer).
IGIS_MapLayer* GIS_CreateGroupLayerObject(const char* name);
IGIS_MapLayer* GIS_CreateVectorLayerObject(const char* name, IGIS_SpatialReference* dataReference);
IGIS_MapLayer* GIS_CreateVectorCompoundLayerObject(const char* name, IGIS_SpatialReference* dataReference);
// A vector layer without a data object (GetLayerPtr NULL), as a host layer
// whose data could not be opened.
IGIS_MapLayer* GIS_CreateEmptyVectorLayerObject(const char* name);
// A compound vector layer whose data could not be opened: without a data
// object (GetLayerPtr NULL), or, withData, with one that holds no vector
// layer (GetVectorMapLayer NULL).
IGIS_MapLayer* GIS_CreateEmptyVectorCompoundLayerObject(const char* name, BOOL withData);
}
