// The bytes an object stores, for comparing it before and after an edit.
#pragma once

#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "platform/win/wintypes.h"

namespace md::test {

// The bytes the object's Save(buffer) writes into a fresh buffer (empty for
// NULL).
template <class T>
std::vector<BYTE> Stored(T* object) {
  if (object == nullptr) return {};
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  object->Save(b);
  std::vector<BYTE> bytes(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return bytes;
}

}  // namespace md::test
