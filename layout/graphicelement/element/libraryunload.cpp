// The work left for the library's unload.
#include "layout/graphicelement/element/libraryunload.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace md::layout {
namespace {

// Not static objects with destructors: the application object runs the
// functions while the library's static objects are being destroyed, in
// whatever order. The mutex is constant-initialised and ends with nothing to
// do; the list is made on the first registration and freed once run, so that
// unloading the library leaves nothing behind.
std::mutex g_mutex;
std::vector<void (*)()>* g_functions = nullptr;

}  // namespace

void AtLibraryUnload(void (*pfnUnload)()) {
  if (pfnUnload == nullptr) return;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_functions == nullptr) g_functions = new std::vector<void (*)()>;
  if (std::find(g_functions->begin(), g_functions->end(), pfnUnload) == g_functions->end())
    g_functions->push_back(pfnUnload);
}

void RunLibraryUnload() {
  std::vector<void (*)()> functions;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_functions != nullptr) functions.swap(*g_functions);
    delete g_functions;
    g_functions = nullptr;
  }
  for (auto it = functions.rbegin(); it != functions.rend(); ++it) (*it)();
}

}  // namespace md::layout
