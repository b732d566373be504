// Reads arbitrary bytes as a stored symbol and as a stored text style. A read
// either fails (NULL, or FALSE with the style unchanged) or gives an object
// that stores and reads back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

using md::test::fuzz::Check;

std::vector<std::uint8_t> Bytes(IGIS_DataBuffer* b) {
  const auto* p = static_cast<const std::uint8_t*>(b->GetData());
  return std::vector<std::uint8_t>(p, p + b->GetSize());
}

void ReadSymbol(const std::uint8_t* data, std::size_t size) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbolFromBytes(data, static_cast<int>(size));
  if (s == nullptr) return;
  SGIS_Rect extent = s->GetExtent(1.0);
  (void)extent;
  IGIS_DataBuffer* first = GIS_CreateDataBufferObject(0);
  Check(s->Save(first) == TRUE);
  IGIS_Symbol* again = GIS_GetSymbolFactoryObject()->CreateSymbolFromBuffer(first);
  Check(again != nullptr);
  IGIS_DataBuffer* second = GIS_CreateDataBufferObject(0);
  Check(again->Save(second) == TRUE);
  Check(Bytes(first) == Bytes(second));
  second->Release();
  again->Release();
  first->Release();
  s->Release();
}

void ReadStyle(const std::uint8_t* data, std::size_t size) {
  IGIS_AnnoPointStyle* style = GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1)->GetPointStyle();
  style->SetAlignment(GIS_ALIGN_TOP_RIGHT);
  IGIS_DataBuffer* input = md::test::fuzz::BufferOf(data, size);
  if (!style->Open(input)) {
    Check(style->GetAlignment() == GIS_ALIGN_TOP_RIGHT);
  } else {
    Check(style->GetAlignment() >= 0 && style->GetAlignment() <= 8);
    IGIS_DataBuffer* stored = GIS_CreateDataBufferObject(0);
    Check(style->Save(stored) == TRUE);
    IGIS_AnnoPointStyle* again = style->GetStyleSet()->GetPointStyle();
    Check(again->Open(stored) == TRUE);
    Check(again->GetAlignment() == style->GetAlignment());
    again->Release();
    stored->Release();
  }
  input->Release();
  style->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  ReadSymbol(data, size);
  ReadStyle(data, size);
  return 0;
}
