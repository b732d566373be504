// Vector features of the host: feature sets, feature classes, features, their
// named fields and their geometry.
//
// A feature class is the store: it makes, deletes and commits features and
// numbers them. A feature set is a view over one class through which elements
// reach their features, create and delete other elements, and walk the
// members of a compound. Features, attributes and geometry are owned by their
// class; only feature sets are released by their users.
#pragma once

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/igis_subject.h"
#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_Element;
class IGIS_Symbol;
class IGIS_SpatialReference;
class IGIS_FeatureClass;
class IGIS_MapLayer;

// Feature kind codes (the geometry a feature carries).
constexpr int GIS_FEATURE_KIND_POINT = 1;         // one point
constexpr int GIS_FEATURE_KIND_POLYLINE = 2;      // a point list
constexpr int GIS_FEATURE_KIND_POLYGON = 4;       // a point list (closed ring, text outline)
constexpr int GIS_FEATURE_KIND_ELLIPSE = 16;      // a bounding rectangle
constexpr int GIS_FEATURE_KIND_COMPOUND = 512;    // an ordered list of member feature IDs
constexpr int GIS_FEATURE_KIND_RECTANGLE = 1024;  // a point list, usually the closed five-point ring

// Commit flags passed to IGIS_FeatureClass::UpdateFeature by convention.
constexpr int GIS_UPDATE_SYMBOL = 0x08;
constexpr int GIS_UPDATE_GEOMETRY = 0x40;
constexpr int GIS_UPDATE_POINT_SYMBOL = 0x48;
constexpr int GIS_UPDATE_ALL = 0x7F;

// Most points one geometry holds.
constexpr int GIS_GEOMETRY_MAX_POINTS = 1 << 20;

class IGIS_Geometry {
 public:
  // Point lists (kinds 1, 2, 4 and 1024). A point geometry holds one point.
  virtual int GetPointCount() = 0;
  // The point at index; the zero point (and a log record) when out of range.
  virtual SGIS_Point GetPoint(int index, int option) = 0;
  // Copies at most max points into buffer and returns the number copied;
  // -1 for a NULL buffer or a negative max.
  virtual int GetPoints(int max, SGIS_Point* buffer, int option1, int option2) = 0;
  // Resizes the list: kept points stay, new ones are (0, 0, 0).
  virtual BOOL SetPointCount(int count) = 0;
  virtual BOOL SetPoint(int index, SGIS_Point point, int option) = 0;
  // Inserts before index; index equal to the count appends.
  virtual BOOL InsertPoint(int index, SGIS_Point point, int option) = 0;
  // Point lists: the closed ring (L,B) (R,B) (R,T) (L,T) (L,B) of the
  // normalised rectangle. Ellipses: the bounding rectangle.
  virtual BOOL SetRect(SGIS_Rect rect, int option) = 0;
  // Ellipses: the normalised bounding rectangle.
  virtual BOOL SetEllipse(SGIS_Rect rect, int option) = 0;
  // The bounding rectangle (left <= right, bottom <= top). An empty geometry
  // fills the zero rectangle and answers FALSE.
  virtual BOOL GetBound(SGIS_Rect* rect, int flag, int option) = 0;

 protected:
  virtual ~IGIS_Geometry() = default;
};

// Named fields of a feature. Each field has one of the five type codes of
// property-set fields (GIS_FIELD_TYPE_INT ... GIS_FIELD_TYPE_BOOL);
// setting a field of another type changes its type. Absent fields read as 0,
// false, 0.0 or NULL.
class IGIS_FeatureAttributes {
 public:
  virtual int GetInt(const char* name) = 0;
  virtual const char* GetString(const char* name) = 0;
  virtual bool GetBool(const char* name) = 0;
  // The field's own buffer, owned by the feature; NULL when absent.
  virtual IGIS_DataBuffer* GetDataBuffer(const char* name) = 0;
  virtual BOOL SetInt(const char* name, int value) = 0;
  virtual BOOL SetString(const char* name, const char* value) = 0;
  virtual BOOL SetBool(const char* name, bool value) = 0;
  // Copies the bytes of buffer into the field's own buffer.
  virtual BOOL SetDataBuffer(const char* name, IGIS_DataBuffer* buffer, int option) = 0;

  virtual double GetDouble(const char* name) = 0;
  virtual BOOL SetDouble(const char* name, double value) = 0;
  // Field listing, in first-set order.
  virtual int GetFieldCount() = 0;
  virtual const char* GetFieldName(int index) = 0;
  // The type code of a field, 0 when absent.
  virtual int GetFieldType(const char* name) = 0;

 protected:
  virtual ~IGIS_FeatureAttributes() = default;
};

class IGIS_Feature {
 public:
  virtual int GetID() = 0;
  virtual int GetKind() = 0;
  // The bounding rectangle of the geometry; a compound's is the union of its
  // members' bounds.
  virtual BOOL GetBound(SGIS_Rect* rect, int flag, int option) = 0;
  virtual IGIS_Geometry* GetGeometry() = 0;
  virtual IGIS_FeatureAttributes* GetAttributes() = 0;
  // The feature's own symbol (not a copy), or NULL.
  virtual IGIS_Symbol* GetSymbol() = 0;
  // The feature takes the symbol object (NULL clears the symbol). Refused
  // while no symbol codec is installed; on FALSE the caller keeps the object
  // and ends it with Release.
  virtual BOOL SetSymbol(IGIS_Symbol* symbol) = 0;
  virtual void SetOrder(BYTE order) = 0;
  // Compound features: the ordered member feature IDs.
  virtual int GetMemberCount() = 0;
  virtual int GetMemberID(int index) = 0;
  virtual BOOL AddMember(int id) = 0;
  virtual BOOL RemoveMember(int id) = 0;
  // TRUE when the feature of that ID is a member of this compound (without
  // walking the member list).
  virtual BOOL HasMember(int id) = 0;

  virtual IGIS_FeatureClass* GetFeatureClass() = 0;

  virtual BYTE GetOrder() = 0;
  // The stored bytes of the feature's symbol. TRUE when the feature has a
  // symbol; buffer receives its bytes (empty without a symbol).
  virtual BOOL GetSymbolData(IGIS_DataBuffer* buffer) = 0;
  // Replaces the symbol by stored bytes (size 0 clears it). The symbol object
  // is rebuilt from them on the next GetSymbol.
  virtual BOOL SetSymbolData(const void* data, int size) = 0;
  virtual BOOL HasSymbol() = 0;

 protected:
  virtual ~IGIS_Feature() = default;
};

class IGIS_FeatureClass {
 public:
  // The page's spatial reference (not owned), or NULL.
  virtual IGIS_SpatialReference* GetSpatialReference() = 0;
  // A new empty feature of the kind, or NULL for an unknown kind.
  virtual IGIS_Feature* CreateFeature(int kind, int option) = 0;
  // Deletes the feature and drops its ID from every compound's member list.
  virtual BOOL DeleteFeature(int id) = 0;
  // Commits a changed feature of this class; every call's flags are recorded.
  virtual BOOL UpdateFeature(IGIS_Feature* feature, int flags) = 0;

  virtual void SetSpatialReference(IGIS_SpatialReference* reference) = 0;
  virtual int GetFeatureCount() = 0;
  // Commit records, oldest first (the latest 4096 are kept).
  virtual int GetUpdateCount() = 0;
  virtual BOOL GetUpdateRecord(int index, int* featureId, int* flags) = 0;
  virtual void ClearUpdateRecords() = 0;

 protected:
  virtual ~IGIS_FeatureClass() = default;
};

// A feature set is also an observer: elements that send messages (map
// frames) attach the set that owns them, so that the host hears them.
//
// Element hooks: a set makes, ends, stores and rebuilds elements
// (CreateElement, DeleteElement, SaveToFile, LoadPageFromFile) through the
// hooks the layout library, libmapdeck, installs when it is loaded. A host
// that links libmapdeck but calls none of its functions (one that only
// reads pages) may be linked without it (as the linker's --as-needed does):
// a set that finds no hooks loads libmapdeck itself, once, by its soname
// from the folder above its own (where the install puts it) or the loader's
// path. Only when that fails do those calls answer NULL or FALSE, with a
// record "no element factory installed" giving the loader's reason.
//
// SaveToFile, LoadFromFile and LoadPageFromFile hold the set while they run,
// as the print calls do: on a set another thread holds so they answer FALSE,
// with a record saying the page is in use on another thread.
class IGIS_FeatureSet : public IGIS_Observer {
 public:
  virtual void Release() = 0;
  virtual IGIS_FeatureClass* GetFeatureClass() = 0;
  // A new element of the type on a new feature of the set, made through the
  // element hooks; NULL without hooks.
  virtual IGIS_Element* CreateElement(const char* typeIdentifier) = 0;
  // Ends the element and deletes its feature; FALSE without hooks or when the
  // element's feature is not in the set. A compound's members go with it,
  // nested ones too, unless another compound still lists them: their features
  // are deleted, their element objects are left to their holders (Release
  // ends them; DeleteElement answers FALSE, as for any element outside the
  // set), and the set ends those still alive when it ends.
  virtual BOOL DeleteElement(IGIS_Element* element) = 0;
  virtual IGIS_Feature* GetFeature(int id) = 0;
  // Symbol extent units to page units (0.01 mm).
  virtual double GetUnitRatio() = 0;
  // Makes the set hold the members of a compound feature, in order.
  virtual BOOL LoadMembers(IGIS_Feature* compound) = 0;
  // The feature at index of the set: the loaded members, or every feature of
  // the class in ID order while no members were loaded. NULL out of range
  // or for a member whose feature is gone.
  virtual IGIS_Feature* GetFeatureByIndex(int index) = 0;

  // The element whose feature has this ID (through "InterfacePtr"), or NULL.
  virtual IGIS_Element* GetElement(int id) = 0;

  virtual int GetFeatureCount() = 0;
  virtual const char* GetName() = 0;
  // A finite ratio above 0; others are refused.
  virtual BOOL SetUnitRatio(double ratio) = 0;
  // Stores every feature of the class in a file (written to a temporary file
  // and renamed over the target). Every live element bound to a feature of
  // the class writes its state into its feature first (its Archive(0, 0));
  // when one cannot, nothing is written and the answer is FALSE.
  virtual BOOL SaveToFile(const char* path) = 0;
  // Replaces the features of the class by those of a file; feature and
  // symbol objects handed out before are ended (elements find theirs again
  // by ID). A damaged or truncated file is refused and the set is left as it
  // was.
  virtual BOOL LoadFromFile(const char* path) = 0;

  // The file the set's features were last read from or saved to (while
  // SaveToFile stores the elements: the file it writes); "" when none. What
  // the page stores relative to its file is made against this path.
  virtual const char* GetFilePath() { return ""; }

  // The layer of the host map that shows this set (the layout's layer; its
  // GetMap leads to the document), or NULL. Not owned.
  virtual IGIS_MapLayer* GetMapLayer() { return nullptr; }
  // FALSE when the set cannot keep a layer.
  virtual BOOL SetMapLayer(IGIS_MapLayer* /*layer*/) { return FALSE; }

  // The layout's map frame: the element of the first feature, in ID order,
  // whose "TYPE" is "GIS_TYPE_GRAPHIC_ELEMENT_MAP" and whose element is
  // alive; NULL when there is none.
  virtual IGIS_Element* GetMapFrameElement() { return nullptr; }

  // IGIS_Observer: the set counts the messages its elements send it.
  void Update(const char* /*message*/, int /*argument*/, IGIS_Element* /*sender*/) override {}
  // How many times the message reached the set (0 for NULL).
  virtual int GetMessageCount(const char* /*message*/) { return 0; }

  // Hands the set a new top-level element that an edit of the layout made
  // (a grid converted into plain elements): the host may select it or put
  // it into its undo list. The set does nothing with it here; the element
  // stays the set's as any other.
  virtual void OnElementCreated(IGIS_Element* /*element*/) {}

  // Reads a page whole: LoadFromFile, then an element for every feature,
  // made from its stored "TYPE" through the element hooks and, once all are
  // made (so that elements find the frames they follow in any order), read
  // with Archive(1, 0). Reach them with GetElement(feature ID). The set owns
  // these elements and ends them when it ends or loads again; elements the
  // host made itself should be ended before, their features are replaced.
  // FALSE, with a record, when the file cannot be read (the set unchanged)
  // or an element cannot be made or read (the features put back as they
  // were, the elements of an earlier load ended).
  virtual BOOL LoadPageFromFile(const char* /*path*/) { return FALSE; }

 protected:
  virtual ~IGIS_FeatureSet() = default;
};

// How features keep symbol objects: the symbol library installs it. Without
// it features keep symbols only as stored bytes.
struct SGIS_FeatureSymbolCodec {
  // Writes the symbol's bytes into the buffer; TRUE on success.
  BOOL (*save)(IGIS_Symbol* symbol, IGIS_DataBuffer* buffer);
  // A new symbol rebuilt from stored bytes, or NULL.
  IGIS_Symbol* (*load)(const void* data, int size);
  // Ends a symbol object the feature owns.
  void (*release)(IGIS_Symbol* symbol);
};

extern "C" {

// A new feature set over the class, owned by the caller (Release). A NULL
// class makes the set with a new class of its own. The flags and the text
// are accepted and ignored.
IGIS_FeatureSet* GIS_CreateFeatureSetObject(IGIS_FeatureClass* featureClass, const char* name, int flag1,
                                            int flag2, int flag3, int flag4, const char* text);

// Installs the symbol codec (copied); NULL or an incomplete record removes it.
void GIS_SetFeatureSymbolCodec(const SGIS_FeatureSymbolCodec* codec);

}  // extern "C"
