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

// Ends a converted element and everything a compound of it holds, last
// member first, found through the compound's member IDs.
inline void DropElement(IGIS_FeatureSet* set, IGIS_Element* element) {
  if (auto* compound = dynamic_cast<IGIS_CompoundElement*>(element)) {
    std::vector<int> ids;
    if (IGIS_Feature* feature = element->GetFeaturePtr()) {
      for (int i = 0; i < feature->GetMemberCount(); ++i) ids.push_back(feature->GetMemberID(i));
    }
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
      IGIS_Element* member = set->GetElement(*id);
      if (member == nullptr || !compound->RemoveElement(member)) continue;
      DropElement(set, member);
    }
  }
  if (!set->DeleteElement(element)) element->Release();
}

// What a target does with one input is split into parts (kinds of element,
// drawing or converting); a fuzzing run does one part per input, picked by
// the input's bytes, so that one input's work stays small. The same input
// always takes the same part, and its mutations spread over all of them.
// The regular tests replay every input with every part (kEveryPart).
constexpr unsigned kEveryPart = ~0u;
inline unsigned PickPart(const std::uint8_t* data, std::size_t size, unsigned parts) {
  std::uint32_t h = 2166136261u;  // FNV-1a, then mixed so that every bit counts
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  h ^= h >> 16;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  return h % parts;
}
inline bool Does(unsigned part, unsigned which) { return part == kEveryPart || part == which; }

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
