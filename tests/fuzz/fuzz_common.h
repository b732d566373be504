// What every fuzz target shares: quiet logging, a trap on a failed check and
// the input copied into a data buffer. Include it in exactly one file of a
// target (it defines the libFuzzer initialisation hook).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  GIS_GetLogPtr()->EnableFileOutput(FALSE);
  return 0;
}

namespace md::test::fuzz {

inline void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// A new buffer holding the input; the caller releases it.
inline IGIS_DataBuffer* BufferOf(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(static_cast<int>(size));
  if (size > 0) std::memcpy(buffer->GetData(), data, size);
  return buffer;
}

// The bytes that write(buffer) leaves in a new buffer; write must succeed.
template <class Write>
std::vector<std::uint8_t> BytesWritten(Write write) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  Check(write(b));
  std::vector<std::uint8_t> bytes(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return bytes;
}

}  // namespace md::test::fuzz
