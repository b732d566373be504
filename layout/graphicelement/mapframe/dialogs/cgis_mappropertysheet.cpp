#include "layout/graphicelement/mapframe/dialogs/cgis_mappropertysheet.h"

#include "host/helmora/igis_map.h"
#include "layout/graphicelement/dialogs/propertysheets.h"

CGIS_MapPropertySheet::CGIS_MapPropertySheet(IGIS_MapElement* pElement, IGIS_Display* pDisplay, CWnd* pParent)
    : CPropertySheet("地图框架属性", pParent, 0),
      m_dataframe(pElement, pDisplay),
      m_pElement(pElement),
      m_pDisplay(pDisplay) {
  AddPage(&m_dataframe);
  MapClicked(ID_APPLY_NOW, [this] { OnApplyNow(); });
}

void CGIS_MapPropertySheet::OnApplyNow() {
  if (CPropertyPage* pPage = GetActivePage()) pPage->OnApply();
  IGIS_DisplayView* pView = m_pDisplay != nullptr ? m_pDisplay->GetView() : nullptr;
  if (pView != nullptr) pView->Redraw(0, TRUE);
  for (int i = 0; i < GetPageCount(); ++i) GetPage(i)->SetModified(FALSE);
}

namespace {

bool RunMapSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  auto* pMap = dynamic_cast<IGIS_MapElement*>(pElement);
  if (pMap == nullptr) return false;
  double dReferenceScale = 1.0;
  if (IGIS_Map* pBound = pMap->GetMap()) dReferenceScale = static_cast<double>(pBound->GetReferenceScale());
  CGIS_MapPropertySheet sheet(pMap, pDisplay);
  sheet.SetTitle(szTitle);
  sheet.GetDataframePage().SetReferenceScale(dReferenceScale);
  return sheet.DoModal() == IDOK;
}

const struct Registration {
  Registration() { md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_MAP, &RunMapSheet); }
} g_registration;

}  // namespace
