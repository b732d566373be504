// Reads arbitrary bytes as an element frame's stored form. Reading never
// fails loudly: damaged bytes leave the values as they were; whatever was
// read stores and reads back to the same stored bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

std::vector<BYTE> Stored(IGIS_FrameProperty* frame) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  frame->Save(b);
  std::vector<BYTE> bytes(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  GIS_GetLogPtr()->EnableFileOutput(FALSE);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(static_cast<int>(size));
  if (size > 0) std::memcpy(buffer->GetData(), data, size);
  IGIS_FrameProperty* frame = GIS_CreateFramePropertyObject();
  if (frame == nullptr) return 0;
  frame->Open(buffer);
  buffer->Release();
  const std::vector<BYTE> once = Stored(frame);
  IGIS_DataBuffer* again = GIS_CreateDataBufferObject(static_cast<int>(once.size()));
  if (!once.empty()) std::memcpy(again->GetData(), once.data(), once.size());
  IGIS_FrameProperty* copy = GIS_CreateFramePropertyObject();
  Check(copy != nullptr);
  copy->Open(again);
  again->Release();
  Check(Stored(copy) == once);
  copy->Release();
  frame->Release();
  return 0;
}
