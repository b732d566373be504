#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabelbackgroundpage.h"

#include "platform/ui/app.h"

CGIS_IndexGridTabelBackgroundPage::CGIS_IndexGridTabelBackgroundPage()
    : CGIS_IndexTabPageBase(IDD_GIS_TABBACKGROUND_PAGE, IDC_GIS_TAB_BACKGROUND_INSIDE,
                            "CGIS_IndexGridTabelBackgroundPage") {}

void CGIS_IndexGridTabelBackgroundPage::DoDataExchange(CDataExchange* pDX) {
  CGIS_IndexTabPageBase::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_GIS_TAB_BACKGROUND_ROUND, m_nBackgroundType);
}

void CGIS_IndexGridTabelBackgroundPage::ReadOwn() {
  m_nBackgroundType = m_pIndexGridTabStyle->GetBackgroundType();
}

void CGIS_IndexGridTabelBackgroundPage::WriteOwn() {
  m_pIndexGridTabStyle->SetBackgroundType(m_nBackgroundType);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_IndexGridTabelBackgroundPage> g_class(
    "CGIS_IndexGridTabelBackgroundPage");
}  // namespace
