// The shared parts of the furniture pages.
#include "layout/graphicelement/furniture/dialogs/furniturepages.h"

#include <utility>

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "platform/ui/app.h"
#include "platform/ui/propsheet.h"

namespace md::layout::furniture {

void MapSymbolButton(CPropertyPage* pPage, SymbolButton button, int* pnState) {
  pPage->MapClicked(static_cast<UINT>(button.nButton), [pPage, button = std::move(button), pnState] {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    IGIS_SymbolChooserDlg* pChooser = GIS_GetSymbolSelectDlgObject();
    if (pChooser == nullptr || !button.get) return;
    if ((pChooser->Run(button.get(), button.nKind, pnState, 0, 0) & 0xFF) != 1) return;
    bool bChosen = false;
    if (IGIS_Symbol* pResult = pChooser->GetResult()) {
      if (IGIS_Symbol* pView = GIS_SymbolPartOfKind(pResult, button.nKind)) {
        button.set(pView);
        bChosen = true;
      }
      pResult->Release();
    }
    if (bChosen || button.bMarkWithoutSymbol) pPage->SetModified(TRUE);
  });
}

void MapModifiedOnChange(CPropertyPage* pPage, std::initializer_list<int> ids) {
  for (int id : ids) {
    pPage->MapCommand(EN_CHANGE, static_cast<UINT>(id), [pPage] {
      if (!pPage->IsExchangingData()) pPage->SetModified(TRUE);
    });
  }
}

}  // namespace md::layout::furniture
