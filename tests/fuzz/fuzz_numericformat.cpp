// Reads arbitrary bytes as a stored numeric format of either kind. A read
// either fails and leaves the format as it was, or succeeds; a format that
// was read stores to the same bytes and writes bounded texts.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/stratel/igis_numericformat.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

using md::test::fuzz::Check;

std::vector<std::uint8_t> Stored(IGIS_NumericFormat* f) {
  return md::test::fuzz::BytesWritten([f](IGIS_DataBuffer* b) { return f->SaveToDataBuffer(b) != FALSE; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 16)) return 0;
  IGIS_DataBuffer* buffer = md::test::fuzz::BufferOf(data, size);
  for (int kind : {GIS_NUMERICFORMAT_NUMBER, GIS_NUMERICFORMAT_LATLON}) {
    IGIS_NumericFormat* f = GIS_GetNumericFormatFactoryObject()->CreateNumericFormat(kind);
    const std::vector<std::uint8_t> before = Stored(f);
    if (!f->LoadFromDataBuffer(buffer)) {
      Check(Stored(f) == before);
    } else {
      Check(Stored(f) == std::vector<std::uint8_t>(data, data + size));
      for (double v : {0.0, -0.5, 116.125, 59.99999999, 1e15, -99999.9999, 1e-9}) {
        const char* text = f->Format(v);
        Check(text != nullptr && std::strlen(text) <= static_cast<std::size_t>(kMaxNumericText));
      }
    }
    f->Release();
  }
  buffer->Release();
  return 0;
}
