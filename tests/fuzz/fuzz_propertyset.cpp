// Reads arbitrary bytes as a stored property set. A read either fails and
// leaves the set as it was, or succeeds; a set that was read stores and reads
// back to the same keys, and its nested buffers are read as sets in turn
// (to a bounded depth).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

constexpr int kMaxDepth = 4;

std::vector<std::string> Keys(IGIS_PropertySet* s) {
  std::vector<std::string> keys;
  for (IGIS_Field* f = s->GetFirstPosition(); f != nullptr; f = s->GetNext(f)) keys.push_back(f->GetLabel());
  return keys;
}

using md::test::fuzz::Check;

void ReadAndCheck(IGIS_DataBuffer* buffer, int depth) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("Keep", "", GIS_FIELD_TYPE_INT, 1)->SetInt(17);
  if (!set->Archive(buffer, GIS_ARCHIVE_READ, 0)) {
    Check(set->GetCount() == 1 && set->GetProperty("Keep")->GetInt() == 17);
    set->Release();
    return;
  }
  // Touch every value through every getter.
  for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f)) {
    (void)f->GetInt();
    (void)f->GetDouble();
    (void)f->GetBool();
    const char* s = f->GetString();
    if (s != nullptr) (void)std::strlen(s);
    (void)std::strlen(f->GetDescription());
    IGIS_DataBuffer* nested = f->GetDataBuffer();
    if (nested != nullptr && depth < kMaxDepth) ReadAndCheck(nested, depth + 1);
  }
  // Store and read back: the same keys in the same order.
  IGIS_DataBuffer* stored = GIS_CreateDataBufferObject(0);
  Check(set->Archive(stored, GIS_ARCHIVE_WRITE, 0));
  IGIS_PropertySet* again = GIS_CreatePropertySetObject();
  Check(again->Archive(stored, GIS_ARCHIVE_READ, 0));
  Check(Keys(again) == Keys(set));
  again->Release();
  stored->Release();
  set->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  IGIS_DataBuffer* buffer = md::test::fuzz::BufferOf(data, size);
  ReadAndCheck(buffer, 0);
  buffer->Release();
  return 0;
}
