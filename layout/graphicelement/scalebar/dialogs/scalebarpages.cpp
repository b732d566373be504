// Shared pieces of the scale bar and scale text pages.
#include "layout/graphicelement/scalebar/dialogs/scalebarpages.h"

#include "host/display/igis_display.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/dialogs/cgis_mapdeckapp.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "platform/ui/ccombobox.h"
#include "platform/ui/propsheet.h"

namespace md::layout::scalebar {

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

CommonPages::CommonPages() = default;
CommonPages::~CommonPages() = default;

void CommonPages::Add(CPropertySheet* pSheet, IGIS_Element* pElement, IGIS_FrameProperty* pFrame,
                      IGIS_Display* pDisplay) {
  if (frame) return;
  frame = std::make_unique<CLayoutFrame>(pElement, pDisplay);
  frame->m_pFrame = pFrame;
  size = std::make_unique<CSizeAndPosition>(pElement, pDisplay);
  pSheet->AddPage(frame.get());
  pSheet->AddPage(size.get());
}

void ApplyActivePage(CPropertySheet* pSheet, IGIS_Display* pDisplay) {
  if (CPropertyPage* pPage = pSheet->GetActivePage()) pPage->OnApply();
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) return;
  pView->Redraw(0, TRUE);
  for (int i = 0; i < pSheet->GetPageCount(); ++i) pSheet->GetPage(i)->SetModified(FALSE);
}

}  // namespace md::layout::scalebar
