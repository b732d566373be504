// Shared pieces of the kinds' pages.
#include "layout/graphicelement/dialogs/pagehelpers.h"

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/dialogs/cgis_mapdeckapp.h"
#include "platform/ui/ccombobox.h"

namespace md::layout {

bool FillUnitList(CComboBox* pList) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pFactory == nullptr || pList == nullptr) return false;
  pList->ResetContent();
  for (int i = 0; i < pFactory->GetLinearUnitCount(); ++i) {
    IGIS_Unit* pUnit = pFactory->GetLinearUnit(i);
    pList->AddString(pUnit != nullptr && pUnit->GetName() != nullptr ? pUnit->GetName() : "");
  }
  pList->AddString("度");
  pList->AddString("未知单位");
  return true;
}

bool ChooseSymbol(IGIS_Symbol* pCurrent, int nKind, int* pState,
                  const std::function<void(IGIS_Symbol*)>& take) {
  IGIS_SymbolChooserDlg* pChooser = SymbolSelectDlg();
  if (pChooser == nullptr || pChooser->Run(pCurrent, nKind, pState, 0, 0) != 1) return false;
  if (IGIS_Symbol* pChosen = pChooser->GetResult()) {
    take(pChosen);
    pChosen->Release();
  }
  return true;
}

}  // namespace md::layout
