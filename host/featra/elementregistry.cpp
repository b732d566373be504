// Process-wide element registry and element hooks.
#include <climits>
#include <mutex>
#include <unordered_map>

#include "host/basilo/igis_log.h"
#include "host/featra/gis_elementregistry.h"

namespace {

struct Registry {
  std::mutex lock;
  std::unordered_map<int, IGIS_Element*> byHandle;
  std::unordered_map<IGIS_Element*, int> byElement;
  long long lastHandle = 0;  // handles run 1 .. INT_MAX, each used once
  SGIS_ElementHooks hooks{};
  bool hasHooks = false;
};

Registry& registry() {
  static Registry* r = new Registry;  // never destroyed: elements may unregister during exit
  return *r;
}

}  // namespace

extern "C" {

int GIS_RegisterElement(IGIS_Element* element) {
  if (element == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_RegisterElement", "element == NULL");
    return 0;
  }
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto found = r.byElement.find(element);
  if (found != r.byElement.end()) return found->second;
  if (r.lastHandle >= INT_MAX) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_RegisterElement", "no element handle left");
    return 0;
  }
  const int handle = static_cast<int>(++r.lastHandle);
  r.byHandle.emplace(handle, element);
  r.byElement.emplace(element, handle);
  return handle;
}

IGIS_Element* GIS_ResolveElement(int handle) {
  if (handle <= 0) return nullptr;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto found = r.byHandle.find(handle);
  return found == r.byHandle.end() ? nullptr : found->second;
}

int GIS_GetElementHandle(IGIS_Element* element) {
  if (element == nullptr) return 0;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto found = r.byElement.find(element);
  return found == r.byElement.end() ? 0 : found->second;
}

void GIS_UnregisterElement(IGIS_Element* element) {
  if (element == nullptr) return;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto found = r.byElement.find(element);
  if (found == r.byElement.end()) return;
  r.byHandle.erase(found->second);
  r.byElement.erase(found);
}

int GIS_GetRegisteredElementCount() {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  return static_cast<int>(r.byHandle.size());
}

void GIS_SetElementHooks(const SGIS_ElementHooks* hooks) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  if (hooks != nullptr && hooks->create != nullptr && hooks->release != nullptr &&
      hooks->featureId != nullptr) {
    r.hooks = *hooks;
    r.hasHooks = true;
  } else {
    r.hooks = SGIS_ElementHooks{};
    r.hasHooks = false;
  }
}

BOOL GIS_HasElementHooks() {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  return r.hasHooks ? TRUE : FALSE;
}

}  // extern "C"

namespace md::featra {

bool CurrentElementHooks(SGIS_ElementHooks* out) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  if (!r.hasHooks) return false;
  *out = r.hooks;
  return true;
}

}  // namespace md::featra
