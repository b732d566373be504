// What the fuzz targets and the regular tests that replay their inputs share:
// a check that stops the program when a reader breaks a promise, and the
// stored bytes of a data buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"

namespace md::test {

// Readers write log records, which the log keeps in memory up to a bound.
// Filling it first keeps every run's allocations balanced, so that libFuzzer
// does not run a leak check after each input that adds a record.
inline void PrepareFuzzLog() {
  IGIS_Log* log = GIS_GetLogPtr();
  log->EnableFileOutput(FALSE);
  for (int i = 0; i < (1 << 17); ++i) log->Write(4, "fuzz", "start", "", 0, "");
}

inline void FuzzCheck(bool ok) {
  if (!ok) __builtin_trap();
}

inline std::vector<std::uint8_t> BufferBytes(IGIS_DataBuffer* b) {
  const auto* p = static_cast<const std::uint8_t*>(b->GetData());
  return std::vector<std::uint8_t>(p, p + b->GetSize());
}

// A buffer holding a copy of the bytes; released by the caller.
inline IGIS_DataBuffer* BufferOf(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(static_cast<int>(size));
  if (b != nullptr && size > 0) std::copy(data, data + size, static_cast<std::uint8_t*>(b->GetData()));
  return b;
}

}  // namespace md::test
