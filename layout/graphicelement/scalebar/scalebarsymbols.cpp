// Symbol copies held by scale bars and scale marks.
#include "layout/graphicelement/scalebar/scalebarsymbols.h"

#include "host/glyphor/igis_symbol.h"

namespace md::layout::detail {

void KeepSymbolCopy(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, IGIS_Symbol* pGiven, SymbolView view) {
  if (pGiven != nullptr && pGiven == pHeld->get()) return;
  pHeld->reset();
  if (pGiven == nullptr) return;
  md::basilo::ReleasePtr<IGIS_Symbol> copy(pGiven->Clone());
  if (!copy) return;
  // The view is the clone itself or a part of it that ends the whole.
  if (IGIS_Symbol* pView = (copy.get()->*view)()) {
    copy.release();
    pHeld->reset(pView);
  }
}

bool AdoptSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, IGIS_Symbol* pRead, SymbolView view) {
  if (pRead == nullptr) return false;
  // The view is the symbol itself or a part of it that ends the whole.
  if (IGIS_Symbol* pView = (pRead->*view)()) {
    pHeld->reset(pView);
    return true;
  }
  pRead->Release();
  return false;
}

}  // namespace md::layout::detail
