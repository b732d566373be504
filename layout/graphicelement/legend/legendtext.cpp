// Text symbols as the legend's objects keep and measure them.
#include "layout/graphicelement/legend/legendtext.h"

#include <cmath>
#include <cstdint>

#include "host/basilo/igis_log.h"
#include "host/glyphor/igis_symbol.h"

namespace md::layout::legend {

IGIS_Symbol* NewTextSymbol() {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  return pFactory != nullptr ? pFactory->CreateSymbol(GIS_SYMBOL_TEXT) : nullptr;
}

IGIS_Symbol* CloneTextSymbol(IGIS_Symbol* pSymbol) {
  IGIS_Symbol* pCopy = pSymbol != nullptr ? pSymbol->Clone() : nullptr;
  if (pCopy != nullptr && pCopy->GetTextPart() == nullptr) {
    pCopy->Release();
    return nullptr;
  }
  return pCopy;
}

void ReplaceTextSymbol(SymbolPtr* pHeld, IGIS_Symbol* pSymbol, int nLevel, const char* szMethod,
                       const char* szText) {
  if (pSymbol == nullptr) GIS_LOG(nLevel, szMethod, "%s", szText);
  if (pSymbol != nullptr && pSymbol == pHeld->get()) return;
  pHeld->reset(CloneTextSymbol(pSymbol));
}

SGIS_Rect TextExtent(IGIS_Symbol* pSymbol, const char* szText) {
  SGIS_Rect r(0, 0, 0, 0);
  if (pSymbol != nullptr) pSymbol->GetTextExtent(&r, szText != nullptr ? szText : "", 0, 1.0);
  return r;
}

int Truncate(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int>(v);
}

}  // namespace md::layout::legend
