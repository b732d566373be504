#include "layout/graphicelement/grid/label/dialogs/cgis_jiaobiaolablepage.h"

#include "platform/ui/app.h"

namespace {

// A click flips the corner's flag at once (the box flips with it).
void MapFlip(CGIS_JiaoBiaoLablePage* pPage, int nId, int* pFlag) {
  pPage->MapClicked(static_cast<UINT>(nId), [pFlag] { *pFlag = *pFlag == 1 ? 0 : 1; });
}

}  // namespace

CGIS_JiaoBiaoLablePage::CGIS_JiaoBiaoLablePage() : CPropertyPage(IDD_GIS_CORNERLABEL_PAGE) {
  MapFlip(this, IDC_GIS_CL_LOWER_LEFT, &m_nLowerLeft);
  MapFlip(this, IDC_GIS_CL_UPPER_LEFT, &m_nUpperLeft);
  MapFlip(this, IDC_GIS_CL_LOWER_RIGHT, &m_nLowerRight);
  MapFlip(this, IDC_GIS_CL_UPPER_RIGHT, &m_nUpperRight);
}

void CGIS_JiaoBiaoLablePage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_GIS_CL_LOWER_LEFT, m_nLowerLeft);
  DDX_Check(pDX, IDC_GIS_CL_UPPER_LEFT, m_nUpperLeft);
  DDX_Check(pDX, IDC_GIS_CL_LOWER_RIGHT, m_nLowerRight);
  DDX_Check(pDX, IDC_GIS_CL_UPPER_RIGHT, m_nUpperRight);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_JiaoBiaoLablePage> g_class("CGIS_JiaoBiaoLablePage");
}  // namespace
