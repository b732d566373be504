// Reads arbitrary bytes as an element frame's stored form. Reading never
// fails loudly: damaged bytes leave the values as they were; whatever was
// read stores and reads back to the same stored bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

using fuzz::Check;

std::vector<std::uint8_t> Stored(IGIS_FrameProperty* frame) {
  return fuzz::BytesWritten([frame](IGIS_DataBuffer* b) { return frame->Save(b); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  IGIS_FrameProperty* frame = GIS_CreateFramePropertyObject();
  if (frame == nullptr) return 0;
  IGIS_DataBuffer* buffer = fuzz::BufferOf(data, size);
  frame->Open(buffer);
  buffer->Release();
  const std::vector<std::uint8_t> once = Stored(frame);
  IGIS_DataBuffer* again = fuzz::BufferOf(once.data(), once.size());
  IGIS_FrameProperty* copy = GIS_CreateFramePropertyObject();
  Check(copy != nullptr);
  copy->Open(again);
  again->Release();
  Check(Stored(copy) == once);
  copy->Release();
  frame->Release();
  return 0;
}
