// A fixed number of recent results, the oldest giving way to the newest.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

namespace md::basilo {

// The last N results kept, each a key and its value, replaced in turn: a new
// one takes the place of the oldest (round robin). It neither locks nor allocates by itself: its owner
// decides whether it is shared behind a lock or kept per thread, and an entry given way keeps the storage of
// its key and value for the next one written over it.
template <class Key, class Value, std::size_t N>
class RecentRing {
  static_assert(N > 0, "a ring keeps at least one entry");

 public:
  struct Entry {
    Key key{};
    Value value{};
  };

  // An entry whose key the test accepts (called as same(key)), the kept
  // entries tried in the order of their slots: the quickest scan where keys
  // are unique and hits land anywhere. NULL when there is none. Valid until
  // the next Renew or Insert.
  template <class Same>
  const Entry* Find(Same&& same) const {
    for (std::size_t i = 0; i < m_used; ++i) {
      if (same(m_entries[i].key)) return &m_entries[i];
    }
    return nullptr;
  }

  // The newest entry whose key the test accepts, the newest tried first: for
  // results mostly asked for again soon after they were kept.
  template <class Same>
  const Entry* FindNewest(Same&& same) const {
    for (std::size_t k = 0; k < m_used; ++k) {
      const Entry& e = m_entries[(m_next + N - 1 - k) % N];
      if (same(e.key)) return &e;
    }
    return nullptr;
  }

  // The entry that gives way (an unused one while there are), now counted as
  // the newest: the caller writes its key and value over it in place.
  Entry& Renew() {
    Entry& e = m_entries[m_next];
    m_next = (m_next + 1) % N;
    if (m_used < N) ++m_used;
    return e;
  }

  // Keeps the key and value in place of the oldest entry.
  void Insert(Key key, Value value) {
    Entry& e = Renew();
    e.key = std::move(key);
    e.value = std::move(value);
  }

  std::size_t Size() const { return m_used; }
  static constexpr std::size_t Capacity() { return N; }

 private:
  std::array<Entry, N> m_entries{};
  std::size_t m_next = 0;  // the slot the next entry takes
  std::size_t m_used = 0;
};

}  // namespace md::basilo
