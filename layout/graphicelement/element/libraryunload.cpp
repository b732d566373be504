// The work left for the library's unload.
#include "layout/graphicelement/element/libraryunload.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

namespace md::layout {
namespace {

struct Registry {
  std::mutex mutex;
  std::vector<void (*)()> functions;
};

// Never destroyed: the application object runs it while the library's
// static objects are being destroyed, in whatever order. It lives in the
// library's own storage, not on the heap, so that nothing of it is left
// behind when the library is unloaded.
Registry& Unload() {
  alignas(Registry) static unsigned char storage[sizeof(Registry)];
  static Registry& registry = *new (storage) Registry;
  return registry;
}

}  // namespace

void AtLibraryUnload(void (*pfnUnload)()) {
  if (pfnUnload == nullptr) return;
  Registry& r = Unload();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (std::find(r.functions.begin(), r.functions.end(), pfnUnload) == r.functions.end())
    r.functions.push_back(pfnUnload);
}

void RunLibraryUnload() {
  std::vector<void (*)()> functions;
  {
    Registry& r = Unload();
    std::lock_guard<std::mutex> lock(r.mutex);
    functions.swap(r.functions);
  }
  for (auto it = functions.rbegin(); it != functions.rend(); ++it) (*it)();
}

}  // namespace md::layout
