#include "layout/graphicelement/mapframe/dialogs/cgis_mapgridspage.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/grid/factory/dialogs/cgis_gridwizardsheet.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace {

using md::basilo::ReleasePtr;

constexpr const char* kNewGrid = "CGIS_MapGridsPage::OnPropertyNewgrid";

}  // namespace

CGIS_MapGridsPage::CGIS_MapGridsPage() : CPropertyPage(IDD_GIS_MAP_GRIDS_PAGE) {
  MapCommand(LBN_SELCHANGE, IDC_GIS_MG_LIST, [this] { OnSelchangeListGridPropertyPage(); });
  MapClicked(IDC_GIS_MG_VISIBLE, [this] { OnCheckGridPropertyPage(); });
  MapClicked(IDC_GIS_MG_NEW, [this] { OnPropertyNewgrid(); });
  MapClicked(IDC_GIS_MG_REMOVE, [this] { OnPropertyRemove(); });
  MapClicked(IDC_GIS_MG_PROPERTY, [this] { OnPropertyProperty(); });
  MapClicked(IDC_GIS_MG_CONVERT, [this] { OnPropertyConvertgraphic(); });
}

BOOL CGIS_MapGridsPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_list.SubclassDlgItem(IDC_GIS_MG_LIST, this);
  EnableGridButtons(false);
  IGIS_MapGrids* pGrids = m_pMapElement != nullptr ? m_pMapElement->GetMapGrids() : nullptr;
  for (int i = 0; pGrids != nullptr && i < pGrids->GetCount(); ++i) {
    IGIS_MapGrid* pGrid = pGrids->GetMapGrid(i);
    const char* szName = pGrid != nullptr ? pGrid->GetName() : nullptr;
    m_list.AddString(szName != nullptr ? szName : "");
  }
  return TRUE;
}

void CGIS_MapGridsPage::EnableGridButtons(bool bEnable) {
  for (int id : {IDC_GIS_MG_VISIBLE, IDC_GIS_MG_REMOVE, IDC_GIS_MG_PROPERTY, IDC_GIS_MG_CONVERT}) {
    if (CWnd* pControl = GetDlgItem(id)) pControl->EnableWindow(bEnable);
  }
}

IGIS_MapGrid* CGIS_MapGridsPage::SelectedGrid(const char* szMethod, const char* szText) {
  const int nSelection = m_list.GetCurSel();
  if (nSelection < 0) return nullptr;
  IGIS_MapGrids* pGrids = m_pMapElement != nullptr ? m_pMapElement->GetMapGrids() : nullptr;
  IGIS_MapGrid* pGrid = pGrids != nullptr ? pGrids->GetMapGrid(nSelection) : nullptr;
  if (pGrid == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szText);
  return pGrid;
}

void CGIS_MapGridsPage::OnSelchangeListGridPropertyPage() {
  if (m_list.GetCurSel() < 0) {
    EnableGridButtons(false);
    return;
  }
  IGIS_MapGrid* pGrid = SelectedGrid("CGIS_MapGridsPage::OnSelchangeListGridPropertyPage", "FALSE == NULL");
  if (pGrid == nullptr) return;
  m_nVisible = pGrid->GetVisible() ? 1 : 0;
  EnableGridButtons(true);
  CheckDlgButton(IDC_GIS_MG_VISIBLE, static_cast<UINT>(m_nVisible));
}

void CGIS_MapGridsPage::OnCheckGridPropertyPage() {
  IGIS_MapGrid* pGrid = SelectedGrid("CGIS_MapGridsPage::OnCheckGridPropertyPage", "FALSE == NULL");
  if (pGrid == nullptr) return;
  m_nVisible = m_nVisible == 0 ? 1 : 0;
  pGrid->SetVisible(m_nVisible == 1);
  CheckDlgButton(IDC_GIS_MG_VISIBLE, static_cast<UINT>(m_nVisible));
  SetModified(TRUE);
}

void CGIS_MapGridsPage::OnPropertyRemove() {
  const int nSelection = m_list.GetCurSel();
  IGIS_MapGrid* pGrid = SelectedGrid("CGIS_MapGridsPage::OnPropertyRemove", "p_mapgrid == NULL");
  if (pGrid == nullptr) return;
  m_pMapElement->GetMapGrids()->DeleteMapGrids(pGrid);
  pGrid->Release();
  m_list.DeleteString(static_cast<UINT>(nSelection));
  SetModified(TRUE);
}

void CGIS_MapGridsPage::OnPropertyProperty() {
  IGIS_MapGrid* pGrid = SelectedGrid("CGIS_MapGridsPage::OnPropertyProperty", "p_mapgrid == NULL");
  if (pGrid != nullptr && pGrid->OnOpenPropertyDlg()) SetModified(TRUE);
}

void CGIS_MapGridsPage::OnPropertyConvertgraphic() {
  IGIS_MapGrid* pGrid = SelectedGrid("CGIS_MapGridsPage::OnPropertyConvertgraphic", "p_mapgrid == NULL");
  if (pGrid == nullptr) return;
  IGIS_Element* pElement = pGrid->ConvertToElement();
  if (pElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGridsPage::OnPropertyConvertgraphic", "p_element == NULL");
    return;
  }
  if (IGIS_FeatureSet* pOwner = m_pMapElement->GetFeatureSetPtr()) pOwner->OnElementCreated(pElement);
  SetModified(TRUE);
}

void CGIS_MapGridsPage::OnPropertyNewgrid() {
  if (m_pMapElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kNewGrid, "m_pMapElement == NULL");
    return;
  }
  CGIS_GridWizardSheet sheet;
  sheet.SetMapElement(m_pMapElement);
  if (sheet.DoModal() != static_cast<INT_PTR>(ID_WIZFINISH)) return;
  // Whatever goes wrong while the grid is made leaves the page as it was;
  // what was made so far is released on the way out.
  try {
    if (MakeGrid(sheet)) SetModified(TRUE);
  } catch (...) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kNewGrid, "exception while the grid was made");
  }
}

bool CGIS_MapGridsPage::MakeGrid(CGIS_GridWizardSheet& sheet) {
  const CGIS_GridWizardStart& start = sheet.GetStartPage();
  switch (start.m_nGridType) {
    case GIS_GRIDWIZARD_SERIES_GRATICULE:
      return AddGrid(CreateDefaultGraticuleGrid(sheet), start.m_strGridName.c_str());
    case GIS_GRIDWIZARD_SERIES_MEASURED:
      return AddGrid(CreateDefaultMeasuredGrid(sheet), start.m_strGridName.c_str());
    default:
      break;
  }
  const SGIS_MapGridValues values = sheet.GetValues();
  IGIS_MapGrid* pGrid = GIS_CreateMapGridFromValues(&values);
  if (pGrid == nullptr) return false;
  if (sheet.GetFinishPage().m_nStorage == GIS_GRIDWIZARD_STORE_ELEMENTS) return ConvertGrid(pGrid);
  return AddGrid(pGrid, start.m_strGridName.c_str());
}

bool CGIS_MapGridsPage::AddGrid(IGIS_MapGrid* pGrid, const char* szName) {
  ReleasePtr<IGIS_MapGrid> grid(pGrid);
  if (!grid) return false;
  grid->SetName(szName);
  IGIS_MapGrids* pGrids = m_pMapElement->GetMapGrids();
  if (pGrids == nullptr || !pGrids->AddMapGrid(grid.get())) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kNewGrid, "FALSE == p_mapgrids->AddMapGrid(p_mapgrid)");
    return false;
  }
  IGIS_MapGrid* pAdded = grid.release();
  pAdded->SetMapElement(m_pMapElement);
  m_list.AddString(pAdded->GetName());
  return true;
}

bool CGIS_MapGridsPage::ConvertGrid(IGIS_MapGrid* pGrid) {
  ReleasePtr<IGIS_MapGrid> grid(pGrid);
  grid->SetMapElement(m_pMapElement);
  IGIS_Element* pElement = grid->ConvertToElement();
  if (pElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kNewGrid, "p_element == NULL");
    return false;
  }
  if (IGIS_FeatureSet* pOwner = m_pMapElement->GetFeatureSetPtr()) pOwner->OnElementCreated(pElement);
  return true;
}
