// Features keep their symbols as symbol objects of this library: the codec
// is installed when the library loads.
#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"

namespace {

BOOL SaveSymbol(IGIS_Symbol* symbol, IGIS_DataBuffer* buffer) {
  return symbol ? symbol->Save(buffer) : FALSE;
}

IGIS_Symbol* LoadSymbol(const void* data, int size) {
  return GIS_GetSymbolFactoryObject()->CreateSymbolFromBytes(data, size);
}

void ReleaseSymbol(IGIS_Symbol* symbol) {
  if (symbol) symbol->Release();
}

struct InstallCodec {
  InstallCodec() {
    SGIS_FeatureSymbolCodec codec;
    codec.save = &SaveSymbol;
    codec.load = &LoadSymbol;
    codec.release = &ReleaseSymbol;
    GIS_SetFeatureSymbolCodec(&codec);
  }
} g_installCodec;

}  // namespace
