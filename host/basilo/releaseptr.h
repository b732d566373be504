// The one owner of objects that end with their Release method: factory
// products, symbols, feature sets, property sets, data buffers, spatial
// references. ReleasePtr<T> releases what it holds when it goes out of scope
// or is reset, so every early return frees it.
#pragma once

#include <memory>

namespace md::basilo {

struct Releaser {
  template <class T>
  void operator()(T* p) const noexcept {
    if (p != nullptr) p->Release();
  }
};

template <class T>
using ReleasePtr = std::unique_ptr<T, Releaser>;

}  // namespace md::basilo
