// Owning pointers for objects of the host libraries that end with Release().
#pragma once

#include <memory>

namespace md::layout {

struct ReleaseDeleter {
  template <class T>
  void operator()(T* p) const {
    if (p != nullptr) p->Release();
  }
};

template <class T>
using ReleasePtr = std::unique_ptr<T, ReleaseDeleter>;

}  // namespace md::layout
