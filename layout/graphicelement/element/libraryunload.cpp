// The work left for the library's unload.
#include "layout/graphicelement/element/libraryunload.h"

#include <algorithm>
#include <mutex>

#include "host/basilo/igis_log.h"

namespace md::layout {
namespace {

// The parts that leave work for the unload are few and known.
constexpr int kCapacity = 16;

// Made before any code runs and never torn down with the library's other
// objects: the application object runs it while those are being destroyed,
// in whatever order, and nothing of it is left behind on the heap.
struct Registry {
  std::mutex mutex;
  void (*functions[kCapacity])() = {};
  int count = 0;
};
constinit Registry g_registry;

}  // namespace

void AtLibraryUnload(void (*pfnUnload)()) {
  if (pfnUnload == nullptr) return;
  std::lock_guard<std::mutex> lock(g_registry.mutex);
  void (**end)() = g_registry.functions + g_registry.count;
  if (std::find(g_registry.functions, end, pfnUnload) != end) return;
  if (g_registry.count == kCapacity) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "AtLibraryUnload", "more than %d functions", kCapacity);
    return;
  }
  g_registry.functions[g_registry.count++] = pfnUnload;
}

void RunLibraryUnload() {
  void (*functions[kCapacity])() = {};
  int count = 0;
  {
    std::lock_guard<std::mutex> lock(g_registry.mutex);
    count = g_registry.count;
    std::copy(g_registry.functions, g_registry.functions + count, functions);
    g_registry.count = 0;
  }
  while (count > 0) functions[--count]();
}

}  // namespace md::layout
