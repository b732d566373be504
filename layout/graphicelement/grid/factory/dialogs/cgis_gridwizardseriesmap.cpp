#include "layout/graphicelement/grid/factory/dialogs/cgis_gridwizardseriesmap.h"

#include "host/basilo/igis_log.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardstart.h"
#include "layout/graphicelement/grid/measure/dialogs/measuredwizarddefaults.h"
#include "layout/graphicelement/grid/measure/dialogs/projectedreference.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace {

constexpr const char* kSetActive = "CGIS_GridWizardSeriesMap::OnSetActive";
// The projected kind the factory makes for a new grid reference.
constexpr int kProjectedCode = 3;

}  // namespace

CGIS_GridWizardSeriesMap::CGIS_GridWizardSeriesMap() : CPropertyPage(IDD_GIS_GRID_WIZARD_SERIES) {
  for (int id = IDC_GIS_GSM_FIRST_SHEET; id <= IDC_GIS_GSM_LAST_SHEET; ++id) {
    const int nSheetType = id - IDC_GIS_GSM_FIRST_SHEET;
    MapClicked(id, [this, nSheetType] { OnSelectSheetType(nSheetType); });
  }
  MapClicked(IDC_GIS_GSM_REFERENCE, [this] { OnSeriesmapgridSpatialreference(); });
}

void CGIS_GridWizardSeriesMap::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_GIS_GSM_FIRST_SHEET, m_nSheetRadio);
}

void CGIS_GridWizardSeriesMap::OnSelectSheetType(int nSheetType) {
  m_nSheetRadio = nSheetType;
  m_nSheetType = nSheetType;
}

BOOL CGIS_GridWizardSeriesMap::OnSetActive() {
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  if (!m_pSpatialReference) {
    IGIS_Map* pMap = m_pMapElement != nullptr ? m_pMapElement->GetMap() : nullptr;
    if (pMap == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kSetActive, "m_pMapElement == NULL");
      return FALSE;
    }
    IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
    m_pSpatialReference.reset(pFactory != nullptr ? pFactory->CreateSpatialReference(kProjectedCode)
                                                  : nullptr);
    IGIS_SpatialReference* pMapReference = pMap->GetSpatialReference();
    if (m_pSpatialReference && pMapReference != nullptr) {
      if (pMapReference->GetKind() == GIS_SPATIALREFERENCE_PROJECTED) {
        m_pSpatialReference->CopyFrom(pMapReference);
      } else if (pMapReference->GetKind() == GIS_SPATIALREFERENCE_GEOGRAPHIC) {
        md::layout::measure::SetFrameZone(m_pSpatialReference.get(), m_pMapElement, pMapReference,
                                          md::layout::measure::kSeriesSixDegreeRatio, kSetActive);
      }
    }
  }
  return CPropertyPage::OnSetActive();
}

LRESULT CGIS_GridWizardSeriesMap::OnWizardBack() { return IDD_GIS_GRID_WIZARD_START; }

void CGIS_GridWizardSeriesMap::OnSeriesmapgridSpatialreference() {
  if (!m_pSpatialReference) return;
  IGIS_MainObject* pMain = m_pMapElement != nullptr ? m_pMapElement->GetMainObject() : nullptr;
  IGIS_SpatialReference* pChosen = md::layout::measure::ChooseProjectedReference(
      pMain, m_pSpatialReference.get(), "CGIS_GridWizardSeriesMap::OnSeriesmapgridSpatialreference");
  if (pChosen != nullptr) m_pSpatialReference->CopyFrom(pChosen);
}
