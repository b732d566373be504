// Classes behind the feature interfaces (private to featra).
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/basilo/cgis_propertyset.h"
#include "host/basilo/igis_propertyset.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"

namespace md::featra {

class CGIS_Feature;
class CGIS_FeatureClass;

// Levels of nested features (a compound counts as one level), so that code
// walking members recursively cannot run out of stack.
constexpr int kMaxCompoundDepth = 1000;

bool IsKnownKind(int kind);
bool IsPointListKind(int kind);  // 1, 2, 4, 1024
// The installed element hooks; without any, the element library is loaded
// once (its loading installs them) and asked again.
bool CurrentElementHooks(SGIS_ElementHooks* out);
// The record of a call that needs the hooks and found none, with the reason
// the element library could not be loaded.
void LogNoElementFactory(const char* method);
// Starts loading the element of the handle and its registry entries, for a
// walk that ends many elements one after another.
void PrefetchElementEnd(int handle);
bool CurrentSymbolCodec(SGIS_FeatureSymbolCodec* out);

class CGIS_Geometry final : public IGIS_Geometry {
 public:
  CGIS_Geometry(CGIS_Feature* owner, int kind) : owner_(owner), kind_(kind) {}

  int GetPointCount() override;
  SGIS_Point GetPoint(int index, int option) override;
  int GetPoints(int max, SGIS_Point* buffer, int option1, int option2) override;
  BOOL SetPointCount(int count) override;
  BOOL SetPoint(int index, SGIS_Point point, int option) override;
  BOOL InsertPoint(int index, SGIS_Point point, int option) override;
  BOOL SetRect(SGIS_Rect rect, int option) override;
  BOOL SetEllipse(SGIS_Rect rect, int option) override;
  BOOL GetBound(SGIS_Rect* rect, int flag, int option) override;

  // Bound of a point list or ellipse; false when empty (compounds: false).
  bool OwnBound(SGIS_Rect* rect) const;
  int kind() const { return kind_; }
  std::vector<SGIS_Point>& points() { return points_; }
  const std::vector<SGIS_Point>& points() const { return points_; }
  bool hasEllipse() const { return hasEllipse_; }
  const SGIS_Rect& ellipse() const { return ellipse_; }
  void SetEllipseRaw(bool has, const SGIS_Rect& rect) {
    hasEllipse_ = has;
    ellipse_ = rect;
  }
  int MaxPoints() const { return kind_ == GIS_FEATURE_KIND_POINT ? 1 : GIS_GEOMETRY_MAX_POINTS; }

 private:
  CGIS_Feature* owner_;
  int kind_;
  std::vector<SGIS_Point> points_;
  SGIS_Rect ellipse_{};
  bool hasEllipse_ = false;
};

// Attributes kept in a property set of basilo, so that their stored form is
// the property-set buffer.
class CGIS_FeatureAttributes final : public IGIS_FeatureAttributes {
 public:
  CGIS_FeatureAttributes() = default;
  ~CGIS_FeatureAttributes() = default;
  CGIS_FeatureAttributes(const CGIS_FeatureAttributes&) = delete;
  CGIS_FeatureAttributes& operator=(const CGIS_FeatureAttributes&) = delete;

  int GetInt(const char* name) override;
  const char* GetString(const char* name) override;
  bool GetBool(const char* name) override;
  IGIS_DataBuffer* GetDataBuffer(const char* name) override;
  BOOL SetInt(const char* name, int value) override;
  BOOL SetString(const char* name, const char* value) override;
  BOOL SetBool(const char* name, bool value) override;
  BOOL SetDataBuffer(const char* name, IGIS_DataBuffer* buffer, int option) override;
  double GetDouble(const char* name) override;
  BOOL SetDouble(const char* name, double value) override;
  int GetFieldCount() override;
  const char* GetFieldName(int index) override;
  int GetFieldType(const char* name) override;

  // The property-set buffer image of all fields.
  bool WriteImage(std::vector<std::uint8_t>* out);
  // The same left in place: *image is valid while the encoder (a new one) lives.
  bool WriteImage(md::basilo::PropertySetEncoder* encoder, std::span<const std::uint8_t>* image) const;
  // Replaces the fields by an image; false (fields unchanged) when damaged.
  bool ReadImage(const std::uint8_t* data, std::size_t size);
  bool valid() const { return true; }
  // Asks for the fields' memory ahead of their use; changes nothing.
  void PrefetchFields() const { set_.PrefetchFields(); }

 private:
  IGIS_Field* Prepare(const char* name, int type, const char* method);
  CGIS_PropertySet set_;  // inside the feature: no object of its own to reach
};

class CGIS_Feature final : public IGIS_Feature {
 public:
  CGIS_Feature(CGIS_FeatureClass* owner, int id, int kind);
  ~CGIS_Feature();
  CGIS_Feature(const CGIS_Feature&) = delete;
  CGIS_Feature& operator=(const CGIS_Feature&) = delete;

  int GetID() override { return id_; }
  int GetKind() override { return kind_; }
  BOOL GetBound(SGIS_Rect* rect, int flag, int option) override;
  IGIS_Geometry* GetGeometry() override { return &geometry_; }
  IGIS_FeatureAttributes* GetAttributes() override { return attributes_.valid() ? &attributes_ : nullptr; }
  IGIS_Symbol* GetSymbol() override;
  BOOL SetSymbol(IGIS_Symbol* symbol) override;
  void SetOrder(BYTE order) override { order_ = order; }
  int GetMemberCount() override { return static_cast<int>(members_.size()); }
  int GetMemberID(int index) override;
  BOOL AddMember(int id) override;
  BOOL RemoveMember(int id) override;
  BOOL HasMember(int id) override;
  IGIS_FeatureClass* GetFeatureClass() override;
  BYTE GetOrder() override { return order_; }
  BOOL GetSymbolData(IGIS_DataBuffer* buffer) override;
  BOOL SetSymbolData(const void* data, int size) override;
  BOOL HasSymbol() override { return symbol_ != nullptr || hasSymbolBytes_; }

  // Bound used by GetBound and by the geometry of a compound.
  bool ComputeBound(SGIS_Rect* rect);
  // The symbol's stored bytes (from the object when there is one).
  bool SymbolBytes(std::vector<std::uint8_t>* out);
  CGIS_Geometry& geometry() { return geometry_; }
  CGIS_FeatureAttributes& attributes() { return attributes_; }
  std::vector<int>& members() { return members_; }
  void DetachFromClass() { owner_ = nullptr; }
  void AttachToClass(CGIS_FeatureClass* owner) { owner_ = owner; }

 private:
  void DropSymbol();

  CGIS_FeatureClass* owner_;
  int id_;
  int kind_;
  BYTE order_ = 0;
  CGIS_Geometry geometry_;
  CGIS_FeatureAttributes attributes_;
  std::vector<int> members_;
  IGIS_Symbol* symbol_ = nullptr;
  SGIS_FeatureSymbolCodec symbolCodec_{};  // the codec that made or took symbol_
  std::vector<std::uint8_t> symbolBytes_;
  bool hasSymbolBytes_ = false;
};

// Everything a feature set file holds, decoded and checked, not yet installed.
// The features are in ascending ID order (the file keeps them so), beside
// their IDs, as the class holds them: installing them swaps the lists.
struct FeatureClassContent {
  std::string name;
  double unitRatio = GIS_SYMBOL_UNIT_PAGE_RATIO;
  long long nextId = 1;
  std::vector<std::unique_ptr<CGIS_Feature>> features;
  std::vector<int> ids;
  // Index of the feature of that ID, or -1.
  std::ptrdiff_t IndexOf(int id) const;
};

class CGIS_FeatureClass final : public IGIS_FeatureClass,
                                public std::enable_shared_from_this<CGIS_FeatureClass> {
 public:
  CGIS_FeatureClass();
  ~CGIS_FeatureClass();

  IGIS_SpatialReference* GetSpatialReference() override { return spatialReference_; }
  IGIS_Feature* CreateFeature(int kind, int option) override;
  BOOL DeleteFeature(int id) override;
  BOOL UpdateFeature(IGIS_Feature* feature, int flags) override;
  void SetSpatialReference(IGIS_SpatialReference* reference) override { spatialReference_ = reference; }
  int GetFeatureCount() override { return static_cast<int>(ids_.size()); }
  int GetUpdateCount() override { return static_cast<int>(updates_.size()); }
  BOOL GetUpdateRecord(int index, int* featureId, int* flags) override;
  void ClearUpdateRecords() override { updates_.clear(); }

  CGIS_Feature* Find(int id);
  // The feature at index in ID order, or NULL.
  CGIS_Feature* At(int index);
  // True when the feature object belongs to this class.
  bool Owns(IGIS_Feature* feature);
  // True when making member a member of compound would close a cycle.
  bool WouldCycle(int compoundId, int memberId);
  // Levels from the feature down to its deepest member (1 for a leaf), and
  // the number of compound levels that contain it.
  int HeightBelow(int id, std::map<int, int>* memo);
  int DepthAbove(int id, std::map<int, int>* memo);
  // The index of which compounds hold a feature, kept by AddMember,
  // RemoveMember, DeleteFeature and Replace.
  bool IsMemberOf(int compoundId, int memberId) const;
  // True while some compound lists the feature.
  bool IsHeld(int memberId) const { return parents_.count(memberId) != 0; }
  void NoteMember(int compoundId, int memberId);
  void ForgetMember(int compoundId, int memberId);
  double unitRatio() const { return unitRatio_; }
  void setUnitRatio(double ratio) { unitRatio_ = ratio; }
  int nextId() const { return nextId_; }
  const std::vector<int>& ids() const { return ids_; }
  // Installs decoded content in place of the current features.
  void Replace(FeatureClassContent* content);

  static constexpr std::size_t kMaxUpdateRecords = 4096;

 private:
  // Index of the feature of that ID in features_ and ids_, or -1.
  std::ptrdiff_t IndexOf(int id) const;

  // The features in ID order, and their IDs (ascending) at the same index:
  // a lookup is a binary search over contiguous IDs, and ending the class
  // frees no tree nodes.
  std::vector<std::unique_ptr<CGIS_Feature>> features_;
  std::vector<int> ids_;
  // Member ID -> IDs of the compounds that hold it (few: usually one).
  std::unordered_map<int, std::vector<int>> parents_;
  long long nextId_ = 1;
  double unitRatio_ = GIS_SYMBOL_UNIT_PAGE_RATIO;
  // The page reference a new class starts with (0.01 mm, no projection),
  // which it owns; SetSpatialReference puts another in its place.
  IGIS_SpatialReference* pageReference_ = nullptr;
  IGIS_SpatialReference* spatialReference_ = nullptr;
  std::deque<std::pair<int, int>> updates_;
};

class CGIS_FeatureSet final : public IGIS_FeatureSet {
 public:
  CGIS_FeatureSet(std::shared_ptr<CGIS_FeatureClass> featureClass, std::string name)
      : class_(std::move(featureClass)), name_(std::move(name)) {}

  void Release() override;
  IGIS_FeatureClass* GetFeatureClass() override { return class_.get(); }
  IGIS_Element* CreateElement(const char* typeIdentifier) override;
  BOOL DeleteElement(IGIS_Element* element) override;
  IGIS_Feature* GetFeature(int id) override;
  double GetUnitRatio() override { return class_->unitRatio(); }
  BOOL LoadMembers(IGIS_Feature* compound) override;
  IGIS_Feature* GetFeatureByIndex(int index) override;
  IGIS_Element* GetElement(int id) override;
  IGIS_Element* GetMapFrameElement() override;
  int GetFeatureCount() override;
  const char* GetName() override { return name_.c_str(); }
  BOOL SetUnitRatio(double ratio) override;
  BOOL SaveToFile(const char* path) override;
  BOOL LoadFromFile(const char* path) override;
  BOOL LoadPageFromFile(const char* path) override;
  const char* GetFilePath() override { return filePath_.c_str(); }
  IGIS_MapLayer* GetMapLayer() override { return mapLayer_; }
  BOOL SetMapLayer(IGIS_MapLayer* layer) override {
    mapLayer_ = layer;
    return TRUE;
  }

  void Update(const char* message, int argument, IGIS_Element* sender) override;
  int GetMessageCount(const char* message) override;

  CGIS_FeatureClass& featureClass() { return *class_; }
  void setName(std::string name) {
    const std::lock_guard lock(labelLock_);
    name_ = std::move(name);
  }
  void ForgetMembers() {
    membersLoaded_ = false;
    members_.clear();
  }
  // The set held for the calling thread's whole-page call (pagehold.h):
  // false when another thread holds it. A holding thread holds it again.
  bool Hold();
  void Unhold();
  // The page as a record written on another thread names it: its file, or
  // its address and name.
  std::string Label();

 private:
  ~CGIS_FeatureSet() = default;

  std::shared_ptr<CGIS_FeatureClass> class_;
  std::string name_;
  std::string filePath_;
  IGIS_MapLayer* mapLayer_ = nullptr;
  bool membersLoaded_ = false;
  std::vector<int> members_;
  // Messages heard, by text (at most kMaxHeardMessages distinct texts).
  std::map<std::string, int> heard_;
  // Handles of the elements LoadPageFromFile made, which the set ends
  // (handles: an element ended elsewhere is skipped, never mistaken for a
  // later one at its address).
  std::vector<int> loaded_;
  void ReleaseLoaded();
  // SaveToFile once the set names the file: the elements stored, the file
  // written; false, with a record, when either failed.
  bool StoreAndWrite(const char* path);
  // Handles of the elements whose features went with a deleted compound.
  // Their holders may still release them; those alive when the set ends,
  // the set ends.
  std::vector<int> detached_;
  // Deletes the listed features that no compound lists any more, with the
  // members they list in turn, and keeps their elements in detached_.
  void DeleteUnheldMembers(std::vector<int> pending);
  // Puts the path in place of the file the set names, and answers the one
  // it named.
  std::string ExchangeFilePath(std::string path);
  // The thread holding the set (the address of a variable of its own), or
  // null; holds_ counts its nested holds and only that thread touches it.
  std::atomic<const void*> holder_{nullptr};
  int holds_ = 0;
  // Taken to change the name and the file, and by a thread reading them
  // while another holds the set. The holder reads them without it.
  std::mutex labelLock_;
};

}  // namespace md::featra
