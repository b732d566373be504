// Process-wide element registry and element hooks.
#include <dlfcn.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/featra/gis_elementregistry.h"

namespace {

// An open-addressing table (linear probing kept in Robin Hood order,
// deletion by backward shift) from a non-zero key to a value. One flat array:
// no allocation per entry, and a lookup touches one or two cache lines however
// many entries there are. Along a probe run the keys' distances from their
// home slots never drop by more than one, so a deletion stops at the first key
// that sits at home: keys laid side by side (handles) make one long run, and
// without that order each deletion would walk the rest of it.
template <typename Key, typename Value>
class FlatTable {
 public:
  // The value of the key, or nullptr.
  Value* find(Key key) {
    if (slots_.empty()) return nullptr;
    for (std::size_t i = home(key), d = 0;; i = (i + 1) & mask(), ++d) {
      if (slots_[i].key == key) return &slots_[i].value;
      if (slots_[i].key == Key{} || distance(i) < d) return nullptr;
    }
  }

  // Adds a key that is not in the table.
  void insert(Key key, Value value) {
    if ((count_ + 1) * 4 > slots_.size() * 3) grow();
    Slot carried{key, value};
    for (std::size_t i = home(key), d = 0;; i = (i + 1) & mask(), ++d) {
      if (slots_[i].key == Key{}) {
        slots_[i] = carried;
        break;
      }
      // A key nearer its home gives up its slot and moves on.
      const std::size_t held = distance(i);
      if (held < d) {
        std::swap(slots_[i], carried);
        d = held;
      }
    }
    ++count_;
  }

  // Removes the key if present.
  void erase(Key key) {
    if (slots_.empty()) return;
    std::size_t i = home(key);
    for (std::size_t d = 0; slots_[i].key != key; i = (i + 1) & mask(), ++d) {
      if (slots_[i].key == Key{} || distance(i) < d) return;
    }
    // Shift the keys after it back by one, up to an empty slot or a key at home.
    for (std::size_t j = (i + 1) & mask(); slots_[j].key != Key{} && distance(j) > 0; j = (j + 1) & mask()) {
      slots_[i] = slots_[j];
      i = j;
    }
    slots_[i] = Slot{};
    --count_;
  }

  std::size_t size() const { return count_; }

  // Starts loading the slot where a lookup of the key begins.
  void prefetch(Key key) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[home(key)]);
  }

 private:
  struct Slot {
    Key key{};
    Value value{};
  };

  std::size_t mask() const { return slots_.size() - 1; }
  // How far the key in slot i sits past its home slot.
  std::size_t distance(std::size_t i) const { return (i - home(slots_[i].key)) & mask(); }

  std::size_t home(Key key) const {
    if constexpr (std::is_pointer_v<Key>) {
      // Fibonacci hashing: the high bits of the product mix every key bit.
      const std::uint64_t bits = reinterpret_cast<std::uintptr_t>(key);
      return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> shift_);
    } else {
      // Handles are handed out in sequence. Runs of kGroup consecutive
      // handles lie side by side, so walking elements in the order they were
      // made walks whole cache lines of slots; the runs themselves are spread
      // by Fibonacci hashing. Laying every handle at its low bits instead lets
      // two pages alive at once (one kept open while others are loaded) fall
      // on the same slots once their handles lie a table's size apart: one
      // probe run as long as a page, walked by every lookup.
      const std::uint64_t group = static_cast<std::uint64_t>(key) / kGroup;
      const std::size_t spread = static_cast<std::size_t>((group * 0x9E3779B97F4A7C15ull) >> shift_);
      return (spread & ~(kGroup - 1)) | (static_cast<std::size_t>(key) & (kGroup - 1));
    }
  }

  static constexpr unsigned kGroupBits = 6;
  static constexpr std::size_t kGroup = std::size_t{1} << kGroupBits;  // at most the smallest table

  void grow() {
    std::vector<Slot> old = std::move(slots_);
    const std::size_t size = old.empty() ? 64 : old.size() * 2;
    slots_.assign(size, Slot{});
    shift_ = 64;
    for (std::size_t s = size; s > 1; s >>= 1) --shift_;
    count_ = 0;
    for (const Slot& slot : old)
      if (slot.key != Key{}) insert(slot.key, slot.value);
  }

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
  int shift_ = 64;
};

struct Registry {
  std::mutex lock;
  FlatTable<int, IGIS_Element*> byHandle;
  FlatTable<IGIS_Element*, int> byElement;
  long long lastHandle = 0;  // handles run 1 .. INT_MAX, each used once
  // The element registered last while it lives: a caller that has just made
  // an element and asks for its handle finds it without a table lookup.
  IGIS_Element* lastElement = nullptr;
  SGIS_ElementHooks hooks{};
  bool hasHooks = false;
};

// Elements unregistered so far (GIS_GetElementUnregisterCount).
std::atomic<unsigned long long> g_unregistered{0};

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
  if (const int* found = r.byElement.find(element)) return *found;
  if (r.lastHandle >= INT_MAX) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_RegisterElement", "no element handle left");
    return 0;
  }
  const int handle = static_cast<int>(++r.lastHandle);
  r.byHandle.insert(handle, element);
  r.byElement.insert(element, handle);
  r.lastElement = element;
  return handle;
}

IGIS_Element* GIS_ResolveElement(int handle) {
  if (handle <= 0) return nullptr;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  IGIS_Element* const* found = r.byHandle.find(handle);
  return found == nullptr ? nullptr : *found;
}

int GIS_GetElementHandle(IGIS_Element* element) {
  if (element == nullptr) return 0;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  if (element == r.lastElement) return static_cast<int>(r.lastHandle);
  const int* found = r.byElement.find(element);
  return found == nullptr ? 0 : *found;
}

void GIS_UnregisterElement(IGIS_Element* element) {
  if (element == nullptr) return;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  const int* found = r.byElement.find(element);
  if (found == nullptr) return;
  if (element == r.lastElement) r.lastElement = nullptr;
  r.byHandle.erase(*found);
  r.byElement.erase(element);
  g_unregistered.fetch_add(1, std::memory_order_release);
}

unsigned long long GIS_GetElementUnregisterCount() { return g_unregistered.load(std::memory_order_acquire); }

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

void PrefetchElementEnd(int handle) {
  if (handle <= 0) return;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  IGIS_Element* const* found = r.byHandle.find(handle);
  if (found == nullptr) return;
  __builtin_prefetch(*found);
  r.byElement.prefetch(*found);
}

namespace {

bool InstalledHooks(SGIS_ElementHooks* out) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  if (!r.hasHooks) return false;
  *out = r.hooks;
  return true;
}

// Why the element library could not be loaded ("" when it was, or was not
// tried); plain characters, as feature sets may still be ended at exit.
char g_elementLibraryError[512];
std::atomic<bool> g_elementLibraryFailed{false};  // set once the error is written
std::once_flag g_elementLibraryTried;

// Loads the element library once, whose loading installs the hooks: a host
// that links it but calls none of its functions (a reader of pages) may
// have been linked without it. It is found as a library this one needs
// would be (the install puts it in the folder above this one's); already
// loaded, it is only counted again. It is never unloaded from here.
void LoadElementLibrary() {
  std::call_once(g_elementLibraryTried, [] {
    if (dlopen(MD_ELEMENT_LIBRARY, RTLD_NOW | RTLD_GLOBAL) == nullptr) {
      const char* why = dlerror();
      std::snprintf(g_elementLibraryError, sizeof g_elementLibraryError, "%s",
                    why != nullptr ? why : MD_ELEMENT_LIBRARY " could not be loaded");
      g_elementLibraryFailed.store(true, std::memory_order_release);
    }
  });
}

}  // namespace

bool CurrentElementHooks(SGIS_ElementHooks* out) {
  if (InstalledHooks(out)) return true;
  LoadElementLibrary();
  return InstalledHooks(out);
}

void LogNoElementFactory(const char* method) {
  if (!g_elementLibraryFailed.load(std::memory_order_acquire))
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "no element factory installed");
  else
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "no element factory installed: %s", g_elementLibraryError);
}

}  // namespace md::featra
