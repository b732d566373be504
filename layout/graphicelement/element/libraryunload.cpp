// The work left for the library's unload.
#include "layout/graphicelement/element/libraryunload.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace md::layout {
namespace {

struct Registry {
  std::mutex mutex;
  std::vector<void (*)()> functions;
};

// Whether the registry was made: an unload without registrations makes
// none (made then, it would be lost with the library's unmapping).
std::atomic<bool> g_bMade{false};

// Never destroyed: the application object runs it while the library's
// static objects are being destroyed, in whatever order.
Registry& Unload() {
  static Registry& registry = (g_bMade = true, *new Registry);
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
  if (!g_bMade) return;
  std::vector<void (*)()> functions;
  {
    Registry& r = Unload();
    std::lock_guard<std::mutex> lock(r.mutex);
    functions.swap(r.functions);
  }
  for (auto it = functions.rbegin(); it != functions.rend(); ++it) (*it)();
}

}  // namespace md::layout
