#include "layout/graphicelement/grid/grid/dialogs/cgis_gridintervalpage.h"

#include "host/basilo/igis_log.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/ui/app.h"
#include "platform/ui/ccombobox.h"

namespace {

constexpr int kOwnOrigin = 1;
constexpr double kMaxInterval = 1000000.0;
constexpr double kMaxOrigin = 100000000.0;

}  // namespace

CGIS_GridIntervalPage::CGIS_GridIntervalPage() : CGIS_MapGridPage(IDD_GIS_GRIDINTERVAL_PAGE) {
  MapEditFilter(this, IDC_GIS_GI_X_INTERVAL, &FilterUnsignedDecimalEdit);
  MapEditFilter(this, IDC_GIS_GI_Y_INTERVAL, &FilterUnsignedDecimalEdit);
  MapEditFilter(this, IDC_GIS_GI_X_ORIGIN, &FilterSignedDecimalEdit);
  MapEditFilter(this, IDC_GIS_GI_Y_ORIGIN, &FilterSignedDecimalEdit);
  MapClicked(IDC_GIS_GI_SYSTEM_ORIGIN, [this] { OnOriginChoice(0); });
  MapClicked(IDC_GIS_GI_OWN_ORIGIN, [this] { OnOriginChoice(kOwnOrigin); });
}

void CGIS_GridIntervalPage::DoDataExchange(CDataExchange* pDX) {
  CGIS_MapGridPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GIS_GI_X_INTERVAL, m_dXInterval);
  DDV_MinMaxDouble(pDX, m_dXInterval, 0.0, kMaxInterval);
  DDX_Text(pDX, IDC_GIS_GI_Y_INTERVAL, m_dYInterval);
  DDV_MinMaxDouble(pDX, m_dYInterval, 0.0, kMaxInterval);
  DDX_Radio(pDX, IDC_GIS_GI_SYSTEM_ORIGIN, m_nOriginChoice);
  DDX_Text(pDX, IDC_GIS_GI_X_ORIGIN, m_dXOrigin);
  DDV_MinMaxDouble(pDX, m_dXOrigin, -kMaxOrigin, kMaxOrigin);
  DDX_Text(pDX, IDC_GIS_GI_Y_ORIGIN, m_dYOrigin);
  DDV_MinMaxDouble(pDX, m_dYOrigin, -kMaxOrigin, kMaxOrigin);
  DDX_CBIndex(pDX, IDC_GIS_GI_UNITS, m_nUnits);
}

IGIS_GridSpacing* CGIS_GridIntervalPage::Spacing() const {
  if (m_pMapGrid == nullptr) return nullptr;
  switch (m_pMapGrid->GetType()) {
    case GIS_MAPGRID_GRATICULE:
      if (auto* pGraticule = dynamic_cast<IGIS_GraticuleGrid*>(m_pMapGrid))
        return pGraticule->GetGridSpacing();
      break;
    case GIS_MAPGRID_MEASURE:
      if (auto* pMeasure = dynamic_cast<IGIS_MeasureGrid*>(m_pMapGrid)) return pMeasure->GetGridSpacing();
      break;
    default:
      break;
  }
  return nullptr;
}

bool CGIS_GridIntervalPage::CheckMap(const char* szMethod) const {
  IGIS_MapElement* pFrame = m_pMapGrid->GetMapElement();
  if (pFrame == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_mapElement == NULL");
    return false;
  }
  if (pFrame->GetMap() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_map == NULL");
    return false;
  }
  return true;
}

BOOL CGIS_GridIntervalPage::OnInitDialog() {
  constexpr const char* kMethod = "CGIS_GridIntervalPage::OnInitDialog";
  CGIS_MapGridPage::OnInitDialog();
  auto* pUnits = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_GI_UNITS));
  if (pUnits != nullptr) pUnits->ResetContent();
  if (!CheckGrid(kMethod) || m_pMapGrid->GetType() == GIS_MAPGRID_INDEX || !CheckMap(kMethod)) return FALSE;
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pUnits == nullptr || pFactory == nullptr) return TRUE;
  const int nType = m_pMapGrid->GetType();
  if (nType == GIS_MAPGRID_MEASURE || nType == GIS_MAPGRID_GRATICULE) {
    const bool bLinear = nType == GIS_MAPGRID_MEASURE;
    const int nCount = bLinear ? pFactory->GetLinearUnitCount() : pFactory->GetAngularUnitCount();
    for (int i = 0; i < nCount; ++i) {
      IGIS_Unit* pUnit = bLinear ? pFactory->GetLinearUnit(i) : pFactory->GetAngularUnit(i);
      const char* szName = pUnit != nullptr ? pUnit->GetName() : nullptr;
      pUnits->AddString(szName != nullptr ? szName : "");
    }
  } else {
    pUnits->AddString("未知单位");
    pUnits->SetCurSel(0);
  }
  return TRUE;
}

BOOL CGIS_GridIntervalPage::OnSetActive() {
  constexpr const char* kMethod = "CGIS_GridIntervalPage::OnSetActive";
  if (!CheckGrid(kMethod)) return FALSE;
  IGIS_GridSpacing* pSpacing = Spacing();
  if (pSpacing == nullptr) return FALSE;
  EnableItem(IDC_GIS_GI_UNITS, true);
  m_dXInterval = pSpacing->GetXIntervalSize();
  m_dYInterval = pSpacing->GetYIntervalSize();
  m_dXOrigin = pSpacing->GetXOrigin();
  m_dYOrigin = pSpacing->GetYOrigin();
  m_nOriginChoice = pSpacing->GetFixedOrigin() ? kOwnOrigin : 0;
  if (!CheckMap(kMethod)) return FALSE;
  if (auto* pMeasure = dynamic_cast<IGIS_MeasureGrid*>(m_pMapGrid)) {
    IGIS_SpatialReference* pReference = pMeasure->GetSpatialReference();
    if (pReference == nullptr || pReference->GetProjectedCoordSys() == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_projectedCoordSys == NULL");
      return FALSE;
    }
  }
  EnableItem(IDC_GIS_GI_X_ORIGIN, m_nOriginChoice == kOwnOrigin);
  EnableItem(IDC_GIS_GI_Y_ORIGIN, m_nOriginChoice == kOwnOrigin);
  m_nUnits = pSpacing->GetUnits();
  UpdateData(FALSE);
  return CGIS_MapGridPage::OnSetActive();
}

BOOL CGIS_GridIntervalPage::OnKillActive() {
  constexpr const char* kMethod = "CGIS_GridIntervalPage::OnKillActive";
  if (!UpdateData(TRUE)) return FALSE;
  if (!CheckGrid(kMethod) || m_pMapGrid->GetType() == GIS_MAPGRID_INDEX || !CheckMap(kMethod)) return FALSE;
  IGIS_GridSpacing* pSpacing = Spacing();
  if (pSpacing == nullptr) return FALSE;
  pSpacing->SetXIntervalSize(m_dXInterval);
  pSpacing->SetYIntervalSize(m_dYInterval);
  pSpacing->SetXOrigin(m_dXOrigin);
  pSpacing->SetYOrigin(m_dYOrigin);
  pSpacing->SetFixedOrigin(m_nOriginChoice == kOwnOrigin);
  pSpacing->SetUnits(m_nUnits);
  return CGIS_MapGridPage::OnKillActive();
}

void CGIS_GridIntervalPage::OnOriginChoice(int nChoice) {
  if (IsExchangingData()) return;
  m_nOriginChoice = nChoice;
  EnableItem(IDC_GIS_GI_X_ORIGIN, nChoice == kOwnOrigin);
  EnableItem(IDC_GIS_GI_Y_ORIGIN, nChoice == kOwnOrigin);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridIntervalPage> g_class("CGIS_GridIntervalPage");
}  // namespace
