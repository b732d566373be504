// Symbol copies held by scale bars and scale marks.
#include "layout/graphicelement/scalebar/scalebarsymbols.h"

#include "host/glyphor/igis_symbol.h"

namespace md::layout::detail {

void KeepSymbolCopy(IGIS_Symbol** ppHeld, IGIS_Symbol* pGiven, SymbolView view) {
  if (pGiven != nullptr && pGiven == *ppHeld) return;
  ReleaseSymbol(ppHeld);
  if (pGiven == nullptr) return;
  IGIS_Symbol* pCopy = pGiven->Clone();
  if (pCopy == nullptr) return;
  IGIS_Symbol* pView = (pCopy->*view)();
  if (pView == nullptr) {
    pCopy->Release();
    return;
  }
  *ppHeld = pView;
}

void ReleaseSymbol(IGIS_Symbol** ppHeld) {
  if (*ppHeld != nullptr) (*ppHeld)->Release();
  *ppHeld = nullptr;
}

}  // namespace md::layout::detail
