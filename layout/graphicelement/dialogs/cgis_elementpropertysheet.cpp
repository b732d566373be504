// The base of the element property sheets.
#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

#include "host/display/igis_display.h"

CGIS_ElementPropertySheet::CGIS_ElementPropertySheet(UINT nCaptionId, IGIS_Element* pElement,
                                                     IGIS_Display* pDisplay)
    : CPropertySheet(nCaptionId, nullptr, 0), m_pElement(pElement), m_pDisplay(pDisplay) {
  MapClicked(ID_APPLY_NOW, [this] { OnApplyNow(); });
}

CGIS_ElementPropertySheet::~CGIS_ElementPropertySheet() {
  // The window goes before the pages it shows.
  if (m_hWnd != nullptr) DestroyWindow();
  while (!m_pages.empty()) m_pages.pop_back();
}

void CGIS_ElementPropertySheet::OnApplyNow() {
  CPropertyPage* pActive = GetActivePage();
  if (pActive != nullptr) pActive->OnApply();
  if (m_pDisplay == nullptr) return;
  IGIS_DisplayView* pView = m_pDisplay->GetView();
  if (pView == nullptr) return;
  pView->Redraw(0, TRUE);
  for (int i = 0; i < GetPageCount(); ++i) GetPage(i)->SetModified(FALSE);
}
