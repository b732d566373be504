// Arbitrary bytes read as a stored symbol of the second kind: refused (NULL),
// or a symbol whose stored form reads back to the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/glyphor2/igis_symbolv2.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

inline void ReadSymbol2Input(const std::uint8_t* data, std::size_t size) {
  IGIS_SymbolV2Factory* factory = GIS_GetSymbol2FactoryObject();
  IGIS_SymbolV2* s = factory->CreateSymbolFromBytes(data, static_cast<int>(size));
  if (s == nullptr) return;
  (void)s->GetLineWidth();
  if (IGIS_SymbolV2* line = s->AsLineSymbol()) (void)line->GetColor();
  if (IGIS_SymbolV2* fill = s->AsFillSymbol()) (void)fill->GetColor2();
  IGIS_DataBuffer* first = GIS_CreateDataBufferObject(0);
  fuzz::Check(s->Save(first, TRUE) == TRUE);
  IGIS_SymbolV2* again = factory->CreateSymbolFromBuffer(first);
  fuzz::Check(again != nullptr);
  IGIS_DataBuffer* second = GIS_CreateDataBufferObject(0);
  fuzz::Check(again->Save(second, TRUE) == TRUE);
  fuzz::Check(fuzz::BufferBytes(first) == fuzz::BufferBytes(second));
  IGIS_SymbolV2* copy = again->Clone();
  fuzz::Check(copy != nullptr && copy->GetKind() == s->GetKind() &&
              copy->GetStyleCode() == s->GetStyleCode());
  copy->Release();
  second->Release();
  again->Release();
  first->Release();
  s->Release();
}

}  // namespace md::test
