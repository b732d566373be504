// What kinds register with the shared dialog layer, one entry per element type
// identifier: their sheets, their size-page layouts. Safe to use from any
// thread; an entry is handed out as a copy.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace md::layout {

// TEntry is a std::function (or another type that tests false when empty).
template <class TEntry>
class CGIS_TypeRegistry {
 public:
  // Keeps the entry for the type, replacing an earlier one; an empty entry
  // removes it.
  void Set(const std::string& type, TEntry entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (entry) {
      m_entries[type] = std::move(entry);
    } else {
      m_entries.erase(type);
    }
  }
  // The entry of the type; empty when there is none (or the type is NULL).
  TEntry Find(const char* szType) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_entries.find(szType != nullptr ? szType : "");
    return it != m_entries.end() ? it->second : TEntry();
  }
  bool Has(const std::string& type) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.count(type) != 0;
  }

 private:
  mutable std::mutex m_mutex;
  std::map<std::string, TEntry, std::less<>> m_entries;
};

}  // namespace md::layout
