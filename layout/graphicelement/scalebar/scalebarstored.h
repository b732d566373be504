// Reading the stored sets of scale bars and their marks, whose keys are read
// in the order they are stored: each key is first compared with the field
// after the last one found, and looked up in the whole set only when it is
// not there. Values are converted as StoredSetView::Read converts them.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/propertyset_codec.h"
#include "layout/graphicelement/element/customset.h"

namespace md::layout::detail {

class InOrderReader {
 public:
  explicit InOrderReader(const md::layout::StoredSetView& set) : set_(set), fields_(set.Fields()) {}
  InOrderReader(const InOrderReader&) = delete;
  InOrderReader& operator=(const InOrderReader&) = delete;

  const md::layout::StoredSetView& Set() const { return set_; }
  // The stored field of the key; NULL when missing.
  const md::basilo::StoredFieldView* Find(std::string_view key) {
    if (next_ < fields_.size() && fields_[next_].key == key) return &fields_[next_++];
    const md::basilo::StoredFieldView* f = set_.Find(key);
    if (f != nullptr) next_ = static_cast<std::size_t>(f - fields_.data()) + 1;
    return f;
  }
  // False (value kept) when the key is missing.
  bool Read(std::string_view key, int* pValue) { return ReadIntegral(key, pValue); }
  bool Read(std::string_view key, bool* pValue) { return ReadIntegral(key, pValue); }
  bool Read(std::string_view key, double* pValue) {
    const md::basilo::StoredFieldView* f = Find(key);
    if (f == nullptr) return false;
    if (f->type == GIS_FIELD_TYPE_DOUBLE) {
      *pValue = f->doubleValue;
      return true;
    }
    return set_.Read(key, pValue);
  }
  // The stored bytes of a buffer key, in place; NULL when the key is
  // missing or holds no buffer.
  const std::span<const BYTE>* Bytes(std::string_view key) {
    const md::basilo::StoredFieldView* f = Find(key);
    return f != nullptr && f->type == GIS_FIELD_TYPE_BUFFER ? &f->bytes : nullptr;
  }

 private:
  // Straight from a stored integer or boolean, through the set otherwise.
  template <class T>
  bool ReadIntegral(std::string_view key, T* pValue) {
    const md::basilo::StoredFieldView* f = Find(key);
    if (f == nullptr) return false;
    if (f->type != GIS_FIELD_TYPE_INT && f->type != GIS_FIELD_TYPE_BOOL) return set_.Read(key, pValue);
    if constexpr (std::is_same_v<T, bool>) {
      *pValue = md::basilo::StoredBool(*f);
    } else {
      *pValue = md::basilo::StoredInt(*f);
    }
    return true;
  }

  const md::layout::StoredSetView& set_;
  const std::vector<md::basilo::StoredFieldView>& fields_;
  std::size_t next_ = 0;
};

}  // namespace md::layout::detail
