// Reads arbitrary bytes as a stored symbol and as a stored text style. A read
// either fails (NULL, or FALSE with the style unchanged) or gives an object
// that stores and reads back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "tests/fuzz/fuzzcheck.h"

namespace {

void ReadSymbol(const std::uint8_t* data, std::size_t size) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbolFromBytes(data, static_cast<int>(size));
  if (s == nullptr) return;
  SGIS_Rect extent = s->GetExtent(1.0);
  (void)extent;
  IGIS_DataBuffer* first = GIS_CreateDataBufferObject(0);
  md::test::FuzzCheck(s->Save(first) == TRUE);
  IGIS_Symbol* again = GIS_GetSymbolFactoryObject()->CreateSymbolFromBuffer(first);
  md::test::FuzzCheck(again != nullptr);
  IGIS_DataBuffer* second = GIS_CreateDataBufferObject(0);
  md::test::FuzzCheck(again->Save(second) == TRUE);
  md::test::FuzzCheck(md::test::BufferBytes(first) == md::test::BufferBytes(second));
  second->Release();
  again->Release();
  first->Release();
  s->Release();
}

void ReadStyle(const std::uint8_t* data, std::size_t size) {
  IGIS_AnnoPointStyle* style = GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1)->GetPointStyle();
  style->SetAlignment(GIS_ALIGN_TOP_RIGHT);
  IGIS_DataBuffer* input = GIS_CreateDataBufferObject(static_cast<int>(size));
  if (size > 0) std::memcpy(input->GetData(), data, size);
  if (!style->Open(input)) {
    md::test::FuzzCheck(style->GetAlignment() == GIS_ALIGN_TOP_RIGHT);
  } else {
    md::test::FuzzCheck(style->GetAlignment() >= 0 && style->GetAlignment() <= 8);
    IGIS_DataBuffer* stored = GIS_CreateDataBufferObject(0);
    md::test::FuzzCheck(style->Save(stored) == TRUE);
    IGIS_AnnoPointStyle* again = style->GetStyleSet()->GetPointStyle();
    md::test::FuzzCheck(again->Open(stored) == TRUE);
    md::test::FuzzCheck(again->GetAlignment() == style->GetAlignment());
    again->Release();
    stored->Release();
  }
  input->Release();
  style->Release();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  md::test::PrepareFuzzLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  ReadSymbol(data, size);
  ReadStyle(data, size);
  return 0;
}
