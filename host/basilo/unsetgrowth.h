// An allocator for byte buffers that writers grow and fill at once.
#pragma once

#include <memory>
#include <new>
#include <utility>

namespace md::basilo {

// An allocator whose resize leaves new bytes unset: a writer fills every byte
// it grows by at once.
template <class T>
struct UnsetGrowthAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UnsetGrowthAllocator<U>;
  };
  UnsetGrowthAllocator() = default;
  template <class U>
  UnsetGrowthAllocator(const UnsetGrowthAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

}  // namespace md::basilo
