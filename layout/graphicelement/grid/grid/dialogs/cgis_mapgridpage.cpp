#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"

#include "host/basilo/igis_log.h"

CGIS_MapGridPage::CGIS_MapGridPage(UINT nTemplateId) : CPropertyPage(nTemplateId) {}

bool CGIS_MapGridPage::CheckGrid(const char* szMethod) const {
  if (m_pMapGrid != nullptr) return true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pMapGrid == NULL");
  return false;
}

void CGIS_MapGridPage::EnableItem(int nId, bool bEnable) {
  if (CWnd* pItem = GetDlgItem(nId)) pItem->EnableWindow(bEnable ? TRUE : FALSE);
}
