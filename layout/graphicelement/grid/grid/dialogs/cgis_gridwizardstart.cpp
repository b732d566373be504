#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardstart.h"

#include <string>

#include "host/basilo/igis_log.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/dialogs/mapdeckmessage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardsheetbase.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace {

constexpr const char* kDefaultName = "经纬网";

// One grid type of the start page: its button, the name the button sets
// and the page Next goes to.
struct TypeRow {
  int nType;
  int nButton;
  const char* szName;
  LRESULT nNextPage;
};

const TypeRow kTypes[] = {
    {GIS_MAPGRID_GRATICULE, IDC_GIS_GW_GRATICULE, "经纬网", IDD_GIS_GRID_WIZARD_GRATICULE},
    {GIS_MAPGRID_MEASURE, IDC_GIS_GW_MEASURED, "方里网", IDD_GIS_GRID_WIZARD_MEASURED},
    {GIS_MAPGRID_INDEX, IDC_GIS_GW_INDEX, "索引格网", IDD_GIS_GRID_WIZARD_INDEX1},
    {GIS_MAPGRID_GRATICULE_MN, IDC_GIS_GW_FIXED_COUNT, "经纬网(固定行列数)", IDD_GIS_GRID_WIZARD_FIXED_COUNT},
    {GIS_GRIDWIZARD_SERIES_GRATICULE, IDC_GIS_GW_SERIES_GRATICULE, "经纬网", IDD_GIS_GRID_WIZARD_SERIES},
    {GIS_GRIDWIZARD_SERIES_MEASURED, IDC_GIS_GW_SERIES_MEASURED, "方里网", IDD_GIS_GRID_WIZARD_SERIES},
};

const TypeRow* RowOf(int nType) {
  for (const TypeRow& row : kTypes)
    if (row.nType == nType) return &row;
  return nullptr;
}

CGIS_GridWizardSheetBase* WizardOf(const CPropertyPage* pPage) {
  return pPage != nullptr ? dynamic_cast<CGIS_GridWizardSheetBase*>(pPage->GetSheet()) : nullptr;
}

}  // namespace

CGIS_GridWizardStart::CGIS_GridWizardStart() : CPropertyPage(IDD_GIS_GRID_WIZARD_START) {
  for (const TypeRow& row : kTypes)
    MapClicked(static_cast<UINT>(row.nButton), [this, &row] { OnType(row.nType); });
}

void CGIS_GridWizardStart::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_GIS_GW_GRATICULE, m_nGridType);
  DDX_Text(pDX, IDC_GIS_GW_NAME, m_strGridName);
}

BOOL CGIS_GridWizardStart::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_nGridType = GIS_MAPGRID_GRATICULE;
  // Outside a grid wizard there are no frame's grids to number the name
  // after; Next keeps this page (OnWizardNext).
  CGIS_GridWizardSheetBase* pSheet = WizardOf(this);
  if (pSheet == nullptr) return TRUE;
  IGIS_MapElement* pFrame = pSheet->GetMapElement();
  if (pFrame == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GridWizardStart::OnInitDialog()",
            "地图框架为空  p_mapelement == NULL");
    return FALSE;
  }
  IGIS_MapGrids* pGrids = pFrame->GetMapGrids();
  const int nCount = pGrids != nullptr ? pGrids->GetCount() : 0;
  m_strGridName = nCount > 0 ? kDefaultName + std::to_string(nCount) : std::string(kDefaultName);
  return TRUE;
}

BOOL CGIS_GridWizardStart::OnSetActive() {
  UpdateData(FALSE);
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

void CGIS_GridWizardStart::OnType(int nType) {
  const TypeRow* pRow = RowOf(nType);
  if (pRow == nullptr) return;
  m_nGridType = nType;
  m_strGridName = pRow->szName;
  UpdateData(FALSE);
}

bool CGIS_GridWizardStart::HasMapReference(const char* szKind) {
  constexpr const char* kMethod = "CGIS_GridWizardStart::OnWizardNext";
  IGIS_Map* pMap = WizardOf(this)->GetMapElement()->GetMap();
  const char* szWhy = nullptr;
  if (pMap == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_map == NULL");
    szWhy = "没有数据数据,没办法建立";
  } else if (IGIS_SpatialReference* pReference = pMap->GetSpatialReference(); pReference == nullptr) {
    szWhy = "地图没有空间参考关系,没办法建立";
  } else if (pReference->GetKind() == GIS_SPATIALREFERENCE_NONE) {
    szWhy = "未知类型的数据,没办法建立";
  }
  if (szWhy == nullptr) return true;
  md::layout::LibraryMessageBox((std::string(szWhy) + szKind).c_str(), MB_OK);
  return false;
}

LRESULT CGIS_GridWizardStart::OnWizardNext() {
  constexpr const char* kMethod = "CGIS_GridWizardStart::OnWizardNext";
  UpdateData(TRUE);
  CGIS_GridWizardSheetBase* pSheet = WizardOf(this);
  if (pSheet == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_parent == NULL");
    return IDD_GIS_GRID_WIZARD_START;
  }
  IGIS_MapElement* pFrame = pSheet->GetMapElement();
  if (pFrame == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_mapelement == NULL");
    return IDD_GIS_GRID_WIZARD_START;
  }
  IGIS_MapGrids* pGrids = pFrame->GetMapGrids();
  if (pGrids == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_mapgrids == NULL");
    return IDD_GIS_GRID_WIZARD_START;
  }
  for (int i = 0; i < pGrids->GetCount(); ++i) {
    IGIS_MapGrid* pGrid = pGrids->GetMapGrid(i);
    const char* szName = pGrid != nullptr ? pGrid->GetName() : nullptr;
    if (szName != nullptr && m_strGridName == szName) {
      md::layout::LibraryMessageBox("新建立的图廓重名", MB_OK);
      return IDD_GIS_GRID_WIZARD_START;
    }
  }
  const TypeRow* pRow = RowOf(m_nGridType);
  if (pRow == nullptr) return CPropertyPage::OnWizardNext();
  if (m_nGridType == GIS_MAPGRID_GRATICULE || m_nGridType == GIS_MAPGRID_GRATICULE_MN) {
    if (!HasMapReference("经纬网")) return IDD_GIS_GRID_WIZARD_START;
  } else if (m_nGridType == GIS_MAPGRID_MEASURE) {
    if (!HasMapReference("方里网")) return IDD_GIS_GRID_WIZARD_START;
  }
  return pRow->nNextPage;
}

namespace md::layout::grid {

int GridWizardType(const CPropertyPage* pPage) {
  CPropertySheet* pSheet = pPage != nullptr ? pPage->GetSheet() : nullptr;
  auto* pStart = pSheet != nullptr ? dynamic_cast<CGIS_GridWizardStart*>(pSheet->GetPage(0)) : nullptr;
  return pStart != nullptr ? pStart->m_nGridType : -1;
}

const char* GridWizardPageText(int nType) {
  switch (nType) {
    case GIS_MAPGRID_GRATICULE:
      return "创建一个经纬网";
    case GIS_MAPGRID_GRATICULE_MN:
      return "创建一个固定行列数的经纬网";
    case GIS_MAPGRID_MEASURE:
      return "创建一个方里网";
    case GIS_MAPGRID_INDEX:
      return "创建一个索引格网";
    default:
      return nullptr;
  }
}

}  // namespace md::layout::grid
