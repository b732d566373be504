// Releases a host or library object (anything with Release) at scope end.
#pragma once

namespace md::test {

template <class T>
struct Owned {
  T* p = nullptr;
  explicit Owned(T* q = nullptr) : p(q) {}
  ~Owned() {
    if (p != nullptr) p->Release();
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  T* operator->() const { return p; }
  T* get() const { return p; }
  // Hands the object over; nothing is released at scope end.
  T* release() {
    T* q = p;
    p = nullptr;
    return q;
  }
};

}  // namespace md::test
