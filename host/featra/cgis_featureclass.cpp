// The feature store: numbering, creation, deletion and commits.
#include <algorithm>
#include <climits>
#include <unordered_set>

#include "host/basilo/igis_log.h"
#include "host/featra/featra_impl.h"
#include "host/sferon/igis_spatialreference.h"

namespace md::featra {

// A page is drawn through its class's reference: without one every element
// refuses to draw. A new class starts with the page reference.
CGIS_FeatureClass::CGIS_FeatureClass() {
  if (IGIS_SpatialReferenceFactory* factory = GIS_GetSpatialReferenceFactoryObject())
    pageReference_ = factory->CreateSpatialReference(GIS_SPATIALREFERENCE_NONE);
  spatialReference_ = pageReference_;
}

CGIS_FeatureClass::~CGIS_FeatureClass() {
  if (pageReference_ != nullptr) pageReference_->Release();
}

namespace {

// The index of an ID in a list of IDs in ascending order, or -1.
std::ptrdiff_t IndexInIds(const std::vector<int>& ids, int id) {
  // IDs are handed out in sequence and few are deleted: where none before
  // it is gone, an ID sits at its distance from the first.
  if (!ids.empty() && id >= ids.front()) {
    const std::size_t guess = static_cast<std::size_t>(static_cast<long long>(id) - ids.front());
    if (guess < ids.size() && ids[guess] == id) return static_cast<std::ptrdiff_t>(guess);
  }
  auto found = std::lower_bound(ids.begin(), ids.end(), id);
  return found == ids.end() || *found != id ? -1 : found - ids.begin();
}

}  // namespace

std::ptrdiff_t CGIS_FeatureClass::IndexOf(int id) const { return IndexInIds(ids_, id); }

CGIS_Feature* CGIS_FeatureClass::Find(int id) {
  const std::ptrdiff_t index = IndexOf(id);
  return index < 0 ? nullptr : features_[static_cast<std::size_t>(index)].get();
}

CGIS_Feature* CGIS_FeatureClass::At(int index) {
  if (index < 0 || index >= static_cast<int>(ids_.size())) return nullptr;
  return features_[static_cast<std::size_t>(index)].get();
}

bool CGIS_FeatureClass::Owns(IGIS_Feature* feature) {
  return feature != nullptr && Find(feature->GetID()) == feature;
}

IGIS_Feature* CGIS_FeatureClass::CreateFeature(int kind, int) {
  if (!IsKnownKind(kind)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureClass::CreateFeature", "unknown kind %d", kind);
    return nullptr;
  }
  if (nextId_ > INT_MAX) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureClass::CreateFeature", "no feature ID left");
    return nullptr;
  }
  const int id = static_cast<int>(nextId_++);
  auto feature = std::make_unique<CGIS_Feature>(this, id, kind);
  if (feature->GetAttributes() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureClass::CreateFeature", "pAttributes == NULL");
    return nullptr;
  }
  CGIS_Feature* raw = feature.get();
  features_.push_back(std::move(feature));
  ids_.push_back(id);  // IDs only grow, so the lists stay in ID order
  return raw;
}

BOOL CGIS_FeatureClass::DeleteFeature(int id) {
  const std::ptrdiff_t index = IndexOf(id);
  if (index < 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureClass::DeleteFeature", "no feature %d", id);
    return FALSE;
  }
  // A member list never names a feature that is gone: the compounds that
  // hold it drop it, and its own members no longer count it as a parent.
  if (auto held = parents_.find(id); held != parents_.end()) {
    for (int compound : held->second) {
      if (CGIS_Feature* c = Find(compound)) {
        std::vector<int>& members = c->members();
        members.erase(std::remove(members.begin(), members.end(), id), members.end());
      }
    }
    parents_.erase(held);
  }
  for (int member : features_[static_cast<std::size_t>(index)]->members()) ForgetMember(id, member);
  features_.erase(features_.begin() + index);
  ids_.erase(ids_.begin() + index);
  return TRUE;
}

BOOL CGIS_FeatureClass::UpdateFeature(IGIS_Feature* feature, int flags) {
  if (feature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureClass::UpdateFeature", "pFeature == NULL");
    return FALSE;
  }
  if (!Owns(feature)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureClass::UpdateFeature", "feature %d is not of this class",
            feature->GetID());
    return FALSE;
  }
  if (updates_.size() >= kMaxUpdateRecords) updates_.pop_front();
  updates_.emplace_back(feature->GetID(), flags);
  return TRUE;
}

BOOL CGIS_FeatureClass::GetUpdateRecord(int index, int* featureId, int* flags) {
  if (index < 0 || index >= static_cast<int>(updates_.size())) return FALSE;
  const auto& record = updates_[static_cast<std::size_t>(index)];
  if (featureId != nullptr) *featureId = record.first;
  if (flags != nullptr) *flags = record.second;
  return TRUE;
}

bool CGIS_FeatureClass::WouldCycle(int compoundId, int memberId) {
  // Adding memberId under compoundId closes a cycle when compoundId is
  // already reachable from memberId.
  std::unordered_set<int> seen;
  std::vector<int> pending{memberId};
  while (!pending.empty()) {
    const int id = pending.back();
    pending.pop_back();
    if (id == compoundId) return true;
    if (!seen.insert(id).second) continue;
    CGIS_Feature* f = Find(id);
    if (f != nullptr) pending.insert(pending.end(), f->members().begin(), f->members().end());
  }
  return false;
}

// Both walks rely on the nesting limit that AddMember and the file reader
// keep, so their recursion is at most kMaxCompoundDepth deep.
int CGIS_FeatureClass::HeightBelow(int id, std::map<int, int>* memo) {
  auto known = memo->find(id);
  if (known != memo->end()) return known->second;
  int height = 1;
  if (CGIS_Feature* f = Find(id))
    for (int member : f->members()) height = std::max(height, 1 + HeightBelow(member, memo));
  (*memo)[id] = height;
  return height;
}

int CGIS_FeatureClass::DepthAbove(int id, std::map<int, int>* memo) {
  auto known = memo->find(id);
  if (known != memo->end()) return known->second;
  int depth = 0;
  if (auto held = parents_.find(id); held != parents_.end())
    for (int compound : held->second) depth = std::max(depth, 1 + DepthAbove(compound, memo));
  (*memo)[id] = depth;
  return depth;
}

bool CGIS_FeatureClass::IsMemberOf(int compoundId, int memberId) const {
  auto held = parents_.find(memberId);
  return held != parents_.end() &&
         std::find(held->second.begin(), held->second.end(), compoundId) != held->second.end();
}

void CGIS_FeatureClass::NoteMember(int compoundId, int memberId) { parents_[memberId].push_back(compoundId); }

void CGIS_FeatureClass::ForgetMember(int compoundId, int memberId) {
  auto held = parents_.find(memberId);
  if (held == parents_.end()) return;
  std::vector<int>& compounds = held->second;
  compounds.erase(std::remove(compounds.begin(), compounds.end(), compoundId), compounds.end());
  if (compounds.empty()) parents_.erase(held);
}

void CGIS_FeatureClass::Replace(FeatureClassContent* content) {
  // The old features leave with the content and are ended by its owner.
  for (auto& feature : features_) feature->DetachFromClass();
  features_.swap(content->features);
  ids_.swap(content->ids);
  nextId_ = content->nextId;
  unitRatio_ = content->unitRatio;
  // One pass over the new features: each is touched once.
  parents_.clear();
  for (std::size_t i = 0; i < features_.size(); ++i) {
    features_[i]->AttachToClass(this);
    for (int member : features_[i]->members()) NoteMember(ids_[i], member);
  }
}

std::ptrdiff_t FeatureClassContent::IndexOf(int id) const { return IndexInIds(ids, id); }

}  // namespace md::featra
