// The checks the fuzz targets make, for the targets and for the regular tests
// that replay their inputs: a trap on a failed check, the input copied into
// a data buffer, and the bytes a buffer holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"

namespace md::test::fuzz {

inline void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Ends a converted element and everything a compound of it holds.
inline void DropElement(IGIS_FeatureSet* set, IGIS_Element* element) {
  if (auto* compound = dynamic_cast<IGIS_CompoundElement*>(element)) {
    while (compound->GetElementCount() > 0) {
      IGIS_Element* member = compound->GetElementPtrByIndex(0);
      if (member == nullptr || !compound->RemoveElement(member)) break;
      DropElement(set, member);
    }
  }
  if (!set->DeleteElement(element)) element->Release();
}

// A new buffer holding the input; the caller releases it.
inline IGIS_DataBuffer* BufferOf(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(static_cast<int>(size));
  if (size > 0) std::memcpy(buffer->GetData(), data, size);
  return buffer;
}

// The bytes the buffer holds.
inline std::vector<std::uint8_t> BufferBytes(IGIS_DataBuffer* b) {
  const auto* p = static_cast<const std::uint8_t*>(b->GetData());
  return std::vector<std::uint8_t>(p, p + b->GetSize());
}

// The bytes that write(buffer) leaves in a new buffer; write must succeed.
template <class Write>
std::vector<std::uint8_t> BytesWritten(Write write) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  Check(write(b));
  std::vector<std::uint8_t> bytes = BufferBytes(b);
  b->Release();
  return bytes;
}

}  // namespace md::test::fuzz
