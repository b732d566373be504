// A feature set: the view over a feature class that elements use.
#include <cmath>
#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "host/featra/featra_impl.h"

namespace md::featra {

IGIS_Element* CGIS_FeatureSet::CreateElement(const char* typeIdentifier) {
  SGIS_ElementHooks hooks;
  if (!CurrentElementHooks(&hooks)) {
    LogNoElementFactory("CGIS_FeatureSet::CreateElement");
    return nullptr;
  }
  if (typeIdentifier == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureSet::CreateElement", "no type named: szType is NULL");
    return nullptr;
  }
  return hooks.create(typeIdentifier, this);
}

BOOL CGIS_FeatureSet::DeleteElement(IGIS_Element* element) {
  if (element == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureSet::DeleteElement", "pElement == NULL");
    return FALSE;
  }
  SGIS_ElementHooks hooks;
  if (!CurrentElementHooks(&hooks)) {
    LogNoElementFactory("CGIS_FeatureSet::DeleteElement");
    return FALSE;
  }
  const int id = hooks.featureId(element);
  if (class_->Find(id) == nullptr) {
    // Not an element of this set: ending it here would pull it from under its owner.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureSet::DeleteElement",
            "feature %d of the element is not in the set", id);
    return FALSE;
  }
  // The element ends first: its destructor may still read its feature.
  hooks.release(element);
  // A compound's members go with it, or a save would write them and a load
  // bring them back as loose elements. Their element objects stay with
  // whoever holds them: DeleteElement on one now answers as for any element
  // outside the set, and Release still ends it.
  std::vector<int> members;
  if (CGIS_Feature* feature = class_->Find(id)) members = feature->members();
  class_->DeleteFeature(id);
  DeleteUnheldMembers(std::move(members));
  return TRUE;
}

void CGIS_FeatureSet::DeleteUnheldMembers(std::vector<int> pending) {
  // A member another compound still lists stays; it follows once that
  // compound goes too, as every deleted compound puts its members back here.
  while (!pending.empty()) {
    const int id = pending.back();
    pending.pop_back();
    CGIS_Feature* feature = class_->Find(id);
    if (feature == nullptr || class_->IsHeld(id)) continue;
    IGIS_FeatureAttributes* attributes = feature->GetAttributes();
    const int handle = attributes != nullptr ? attributes->GetInt("InterfacePtr") : 0;
    if (GIS_ResolveElement(handle) != nullptr) detached_.push_back(handle);
    pending.insert(pending.end(), feature->members().begin(), feature->members().end());
    class_->DeleteFeature(id);
  }
}

void CGIS_FeatureSet::Release() {
  ReleaseLoaded();
  SGIS_ElementHooks hooks;
  if (CurrentElementHooks(&hooks)) {
    for (const int handle : detached_) {
      if (IGIS_Element* element = GIS_ResolveElement(handle)) hooks.release(element);
    }
  }
  delete this;
}

void CGIS_FeatureSet::ReleaseLoaded() {
  SGIS_ElementHooks hooks;
  const bool canRelease = CurrentElementHooks(&hooks);
  // Last made first: compounds end before their members. A large page no
  // longer fits in the caches: the element a few places on and its registry
  // entry are asked for now, so that their loads overlap with this one's end.
  constexpr std::size_t kAhead = 4;
  const std::size_t n = loaded_.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (canRelease && i + kAhead < n) PrefetchElementEnd(loaded_[n - 1 - i - kAhead]);
    IGIS_Element* element = GIS_ResolveElement(loaded_[n - 1 - i]);
    if (canRelease && element != nullptr) hooks.release(element);
  }
  loaded_.clear();
}

IGIS_Feature* CGIS_FeatureSet::GetFeature(int id) { return class_->Find(id); }

BOOL CGIS_FeatureSet::LoadMembers(IGIS_Feature* compound) {
  if (compound == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureSet::LoadMembers", "pFeature == NULL");
    return FALSE;
  }
  if (!class_->Owns(compound)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureSet::LoadMembers", "feature %d is not of this set's class",
            compound->GetID());
    return FALSE;
  }
  if (compound->GetKind() != GIS_FEATURE_KIND_COMPOUND) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureSet::LoadMembers", "feature %d is no compound",
            compound->GetID());
    return FALSE;
  }
  members_ = static_cast<CGIS_Feature*>(compound)->members();
  membersLoaded_ = true;
  return TRUE;
}

IGIS_Feature* CGIS_FeatureSet::GetFeatureByIndex(int index) {
  if (!membersLoaded_) return class_->At(index);
  if (index < 0 || index >= static_cast<int>(members_.size())) return nullptr;
  // A member deleted since the load keeps its slot, so indexes stay aligned
  // with the compound's member positions.
  return class_->Find(members_[static_cast<std::size_t>(index)]);
}

int CGIS_FeatureSet::GetFeatureCount() {
  return membersLoaded_ ? static_cast<int>(members_.size()) : class_->GetFeatureCount();
}

IGIS_Element* CGIS_FeatureSet::GetElement(int id) {
  CGIS_Feature* feature = class_->Find(id);
  if (feature == nullptr) return nullptr;
  IGIS_FeatureAttributes* attributes = feature->GetAttributes();
  if (attributes == nullptr) return nullptr;
  return GIS_ResolveElement(attributes->GetInt("InterfacePtr"));
}

IGIS_Element* CGIS_FeatureSet::GetMapFrameElement() {
  const int count = class_->GetFeatureCount();
  for (int i = 0; i < count; ++i) {
    IGIS_Feature* feature = class_->At(i);
    IGIS_FeatureAttributes* attributes = feature != nullptr ? feature->GetAttributes() : nullptr;
    const char* type = attributes != nullptr ? attributes->GetString("TYPE") : nullptr;
    if (type == nullptr || std::strcmp(type, "GIS_TYPE_GRAPHIC_ELEMENT_MAP") != 0) continue;
    if (IGIS_Element* element = GIS_ResolveElement(attributes->GetInt("InterfacePtr"))) return element;
  }
  return nullptr;
}

BOOL CGIS_FeatureSet::SetUnitRatio(double ratio) {
  if (!std::isfinite(ratio) || ratio <= 0.0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureSet::SetUnitRatio", "ratio %g refused", ratio);
    return FALSE;
  }
  class_->setUnitRatio(ratio);
  return TRUE;
}

}  // namespace md::featra

extern "C" IGIS_FeatureSet* GIS_CreateFeatureSetObject(IGIS_FeatureClass* featureClass, const char* name, int,
                                                       int, int, int, const char*) {
  std::shared_ptr<md::featra::CGIS_FeatureClass> cls;
  if (featureClass == nullptr) {
    cls = std::make_shared<md::featra::CGIS_FeatureClass>();
  } else {
    auto* own = dynamic_cast<md::featra::CGIS_FeatureClass*>(featureClass);
    if (own == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_CreateFeatureSetObject",
              "pFeatureClass is not a feature class of this library");
      return nullptr;
    }
    cls = own->shared_from_this();
  }
  return md::basilo::MakeOrNull<md::featra::CGIS_FeatureSet>(
      "GIS_CreateFeatureSetObject", std::move(cls), name == nullptr ? std::string() : std::string(name));
}

namespace md::featra {

namespace {
// Distinct message texts a set keeps counts of; others are not counted.
constexpr std::size_t kMaxHeardMessages = 64;
}  // namespace

void CGIS_FeatureSet::Update(const char* message, int /*argument*/, IGIS_Element* /*sender*/) {
  if (message == nullptr) return;
  auto it = heard_.find(message);
  if (it != heard_.end()) {
    ++it->second;
  } else if (heard_.size() < kMaxHeardMessages) {
    heard_.emplace(message, 1);
  }
}

int CGIS_FeatureSet::GetMessageCount(const char* message) {
  if (message == nullptr) return 0;
  auto it = heard_.find(message);
  return it != heard_.end() ? it->second : 0;
}

}  // namespace md::featra
