#include "layout/graphicelement/grid/measure/dialogs/cgis_gridmesuredwizard.h"

#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/dialogs/mapdeckmessage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardstart.h"
#include "layout/graphicelement/grid/grid/dialogs/gis_spatialreferenceinfo.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/measure/dialogs/measuredwizarddefaults.h"
#include "layout/graphicelement/grid/measure/dialogs/projectedreference.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/ui/app.h"

namespace {

using md::basilo::ReleasePtr;

// The style button's remembered chooser states, one per kind it chooses.
int g_nMarkSymbolState = 0;
int g_nLineSymbolState = 0;

constexpr double kMaxInterval = 100000000.0;
// The points sampled on each edge of the map's extent when it is carried
// into the grid's reference.
constexpr int kEdgeSamples = 81;
// The projected kind the factory makes for a new grid reference.
constexpr int kProjectedCode = 3;
constexpr int kBufferSize = 1024;

IGIS_Map* MapOf(IGIS_MapElement* pFrame) { return pFrame != nullptr ? pFrame->GetMap() : nullptr; }

}  // namespace

CGIS_GridMesuredWizard::CGIS_GridMesuredWizard() : CPropertyPage(IDD_GIS_GRID_WIZARD_MEASURED) {
  MapClicked(IDC_GIS_GMW_LABELS_ONLY, [this] { m_nGridlineType = GIS_GRIDLINE_NONE; });
  MapClicked(IDC_GIS_GMW_LINES, [this] { m_nGridlineType = GIS_GRIDLINE_LINES; });
  MapClicked(IDC_GIS_GMW_MARKS, [this] { m_nGridlineType = GIS_GRIDLINE_MARKS; });
  MapClicked(IDC_GIS_GMW_STYLE, [this] { OnSymbolStyle(); });
  MapClicked(IDC_GIS_GMW_PROPERTIES, [this] { OnProperties(); });
  MapEditFilter(this, IDC_GIS_GMW_X_INTERVAL, &FilterUnsignedDecimalEdit);
  MapEditFilter(this, IDC_GIS_GMW_Y_INTERVAL, &FilterUnsignedDecimalEdit);
}

void CGIS_GridMesuredWizard::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  // The radios in template order: labels only, lines, marks.
  DDX_Radio(pDX, IDC_GIS_GMW_LABELS_ONLY, m_nGridlineType);
  DDX_Text(pDX, IDC_GIS_GMW_DESCRIPTION, m_strDescription);
  DDX_Text(pDX, IDC_GIS_GMW_X_INTERVAL, m_dXInterval);
  DDV_MinMaxDouble(pDX, m_dXInterval, 0.0, kMaxInterval);
  DDX_Text(pDX, IDC_GIS_GMW_Y_INTERVAL, m_dYInterval);
  DDV_MinMaxDouble(pDX, m_dYInterval, 0.0, kMaxInterval);
  DDX_Text(pDX, IDC_GIS_GMW_X_UNIT, m_strXUnit);
  DDX_Text(pDX, IDC_GIS_GMW_Y_UNIT, m_strYUnit);
}

ReleasePtr<IGIS_SpatialReference> CGIS_GridMesuredWizard::NewReference(IGIS_SpatialReference* pMapReference) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  ReleasePtr<IGIS_SpatialReference> reference(
      pFactory != nullptr ? pFactory->CreateSpatialReference(kProjectedCode) : nullptr);
  if (reference && pMapReference != nullptr && pMapReference->GetKind() == GIS_SPATIALREFERENCE_PROJECTED)
    reference->CopyFrom(pMapReference);
  return reference;
}

void CGIS_GridMesuredWizard::SetZone(IGIS_SpatialReference* pMapReference) {
  md::layout::measure::SetFrameZone(m_pSpatialReference.get(), m_pMapElement, pMapReference,
                                    md::layout::measure::kKilometreSixDegreeRatio,
                                    "CGIS_GridMesuredWizard::OnInitDialog");
}

void CGIS_GridMesuredWizard::DescribeReference() {
  m_strDescription.clear();
  GIS_FormatSpatialReferenceInfo(m_pSpatialReference.get(), &m_strDescription);
  IGIS_ProjectedCoordSys* pSystem =
      m_pSpatialReference ? m_pSpatialReference->GetProjectedCoordSys() : nullptr;
  IGIS_Unit* pUnit = pSystem != nullptr ? pSystem->GetLinearUnit() : nullptr;
  m_strXUnit = pUnit != nullptr && pUnit->GetName() != nullptr ? pUnit->GetName() : "";
  m_strYUnit = m_strXUnit;
}

void CGIS_GridMesuredWizard::SetDefaultIntervals(IGIS_SpatialReference* pMapReference) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  ReleasePtr<IGIS_CoordTransform> transform(
      pFactory != nullptr ? pFactory->CreateCoordTransform("", "", nullptr, nullptr) : nullptr);
  SGIS_DRect extent;
  m_pMapElement->GetMapBound(&extent);
  if (transform) {
    transform->SetSourceAndTarget(pMapReference, m_pSpatialReference.get());
    transform->TransformRect(&extent, kEdgeSamples, 1);
  }
  const double dWidth = std::fabs(extent.x2 - extent.x1);
  const double dHeight = std::fabs(extent.y2 - extent.y1);
  const double dInterval = md::layout::measure::DefaultInterval(dHeight < dWidth ? dWidth : dHeight);
  m_dXInterval = dInterval;
  m_dYInterval = dInterval;
}

BOOL CGIS_GridMesuredWizard::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  if (m_pMapElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GridMesuredWizard::OnInitDialog", "m_pMapElement == NULL");
    return FALSE;
  }
  IGIS_Map* pMap = MapOf(m_pMapElement);
  if (pMap == nullptr) return FALSE;
  IGIS_SpatialReference* pMapReference = pMap->GetSpatialReference();
  if (pMapReference == nullptr || pMapReference->GetKind() == GIS_SPATIALREFERENCE_NONE) {
    md::layout::LibraryMessageBox("未知类型的空间参考,不能建立方里网", MB_OK);
    return FALSE;
  }
  m_pSpatialReference = NewReference(pMapReference);
  if (!m_pSpatialReference) return FALSE;
  if (pMapReference->GetKind() != GIS_SPATIALREFERENCE_PROJECTED) SetZone(pMapReference);
  DescribeReference();
  SetDefaultIntervals(pMapReference);
  m_nGridlineType = GIS_GRIDLINE_LINES;
  m_pMarkSymbol.reset(md::layout::grid::NewDefaultMarkSymbol());
  m_pLineSymbol.reset(md::layout::grid::NewDefaultLineSymbol());
  UpdateData(FALSE);
  return TRUE;
}

BOOL CGIS_GridMesuredWizard::OnSetActive() {
  const int nType = md::layout::grid::GridWizardType(this);
  if (nType == GIS_MAPGRID_GRATICULE || nType == GIS_MAPGRID_MEASURE || nType == GIS_MAPGRID_INDEX)
    SetWindowText(md::layout::grid::GridWizardPageText(nType));
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  if (!m_pSpatialReference) {
    IGIS_Map* pMap = MapOf(m_pMapElement);
    if (pMap == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GridMesuredWizard::OnSetActive", "m_pMapElement == NULL");
      return FALSE;
    }
    m_pSpatialReference = NewReference(pMap->GetSpatialReference());
  }
  return CPropertyPage::OnSetActive();
}

LRESULT CGIS_GridMesuredWizard::OnWizardBack() { return IDD_GIS_GRID_WIZARD_START; }

LRESULT CGIS_GridMesuredWizard::OnWizardNext() {
  if (m_pMapElement == nullptr) return IDD_GIS_GRID_WIZARD_START;
  IGIS_Map* pMap = MapOf(m_pMapElement);
  if (pMap == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GridMesuredWizard::OnWizardNext", "p_map == NULL");
    return IDD_GIS_GRID_WIZARD_START;
  }
  if (!m_pSpatialReference) {
    // The map's own reference, through its stored form.
    IGIS_SpatialReference* pMapReference = pMap->GetSpatialReference();
    ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(kBufferSize));
    IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
    if (buffer && pMapReference != nullptr && pFactory != nullptr &&
        pMapReference->Archive(buffer.get(), GIS_ARCHIVE_WRITE)) {
      m_pSpatialReference.reset(pFactory->CreateFromBuffer(buffer.get()));
    }
  }
  return IDD_GIS_GRID_WIZARD_AXES;
}

void CGIS_GridMesuredWizard::OnSymbolStyle() {
  md::layout::grid::ChooseHeldGridLineSymbol(m_nGridlineType, &m_pMarkSymbol, &m_pLineSymbol,
                                             &g_nMarkSymbolState, &g_nLineSymbolState);
}

void CGIS_GridMesuredWizard::OnProperties() {
  IGIS_MainObject* pMain = m_pMapElement != nullptr ? m_pMapElement->GetMainObject() : nullptr;
  IGIS_SpatialReference* pChosen =
      md::layout::measure::ChooseProjectedReference(pMain, m_pSpatialReference.get());
  if (pChosen == nullptr) return;
  if (!m_pSpatialReference) {
    m_pSpatialReference = NewReference(pChosen);
  } else {
    m_pSpatialReference->CopyFrom(pChosen);
  }
  // The description and unit names follow the new reference; the typed
  // intervals stay as they are.
  DescribeReference();
  SetDlgItemText(IDC_GIS_GMW_DESCRIPTION, m_strDescription.c_str());
  SetDlgItemText(IDC_GIS_GMW_X_UNIT, m_strXUnit.c_str());
  SetDlgItemText(IDC_GIS_GMW_Y_UNIT, m_strYUnit.c_str());
}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridMesuredWizard> g_class("CGIS_GridMesuredWizard");
}  // namespace
