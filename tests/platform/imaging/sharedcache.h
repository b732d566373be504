// The shared picture cache at a capacity, emptied before and after, for the
// tests of what it keeps.
#pragma once

#include <cstddef>

#include "platform/imaging/loader.h"

namespace md::test {

struct SharedCacheCapacity {
  explicit SharedCacheCapacity(std::size_t bytes)
      : before(md::imaging::ImageCache::Shared().SetCapacity(bytes)) {
    md::imaging::ImageCache::Shared().Clear();
  }
  ~SharedCacheCapacity() {
    md::imaging::ImageCache::Shared().SetCapacity(before);
    md::imaging::ImageCache::Shared().Clear();
  }
  SharedCacheCapacity(const SharedCacheCapacity&) = delete;
  SharedCacheCapacity& operator=(const SharedCacheCapacity&) = delete;
  std::size_t before;
};

}  // namespace md::test
