#include "layout/graphicelement/grid/measure/dialogs/cgis_gridsystempage.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/dialogs/gis_spatialreferenceinfo.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/measure/dialogs/projectedreference.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/ui/app.h"

namespace {

using md::basilo::ReleasePtr;

constexpr int kFrameSystem = 0;
constexpr int kOtherSystem = 1;

// The reference of the grid's map; NULL, with a record naming the first
// link missing, when the grid has no frame, the frame no map or the map no
// reference.
IGIS_SpatialReference* MapReferenceOf(IGIS_MapGrid* pGrid, const char* szMethod) {
  IGIS_MapElement* pFrame = pGrid->GetMapElement();
  if (pFrame == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_mapElement == NULL");
    return nullptr;
  }
  IGIS_Map* pMap = pFrame->GetMap();
  if (pMap == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_map == NULL");
    return nullptr;
  }
  IGIS_SpatialReference* pReference = pMap->GetSpatialReference();
  if (pReference == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_spatialReference == NULL");
  return pReference;
}

// The description of the reference; empty without one.
std::string DescriptionOf(IGIS_SpatialReference* pReference) {
  std::string text;
  GIS_FormatSpatialReferenceInfo(pReference, &text);
  return text;
}

}  // namespace

CGIS_GridSystemPage::CGIS_GridSystemPage() : CGIS_MapGridPage(IDD_GIS_GRIDSYSTEM_PAGE) {
  MapClicked(IDC_GIS_GS_FRAME_SYSTEM, [this] { OnSystemChoice(kFrameSystem); });
  MapClicked(IDC_GIS_GS_OTHER_SYSTEM, [this] { OnSystemChoice(kOtherSystem); });
  MapClicked(IDC_GIS_GS_PROPERTIES, [this] { OnProperties(); });
}

void CGIS_GridSystemPage::DoDataExchange(CDataExchange* pDX) {
  CGIS_MapGridPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_GIS_GS_FRAME_SYSTEM, m_nSystemChoice);
  // Read only: shown whatever its length, never refused.
  DDX_Text(pDX, IDC_GIS_GS_DESCRIPTION, m_strDescription);
}

IGIS_MeasureGrid* CGIS_GridSystemPage::MeasureGrid(const char* szMethod) const {
  if (!CheckGrid(szMethod)) return nullptr;
  auto* pGrid = dynamic_cast<IGIS_MeasureGrid*>(m_pMapGrid);
  if (pGrid == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_measureGrid == NULL");
  return pGrid;
}

BOOL CGIS_GridSystemPage::OnSetActive() {
  constexpr const char* kMethod = "CGIS_GridSystemPage::OnSetActive";
  IGIS_MeasureGrid* pGrid = MeasureGrid(kMethod);
  if (pGrid == nullptr) return FALSE;
  IGIS_SpatialReference* pOwn = pGrid->GetSpatialReference();
  IGIS_SpatialReference* pMapReference = MapReferenceOf(pGrid, kMethod);
  // Without a map's reference the grid is taken as lying over a geographic map.
  const int nMapKind = pMapReference != nullptr ? pMapReference->GetKind() : GIS_SPATIALREFERENCE_GEOGRAPHIC;
  if (nMapKind == GIS_SPATIALREFERENCE_PROJECTED) {
    m_nSystemChoice = pMapReference == pOwn ? kFrameSystem : kOtherSystem;
    EnableItem(IDC_GIS_GS_FRAME_SYSTEM, true);
    EnableItem(IDC_GIS_GS_PROPERTIES, m_nSystemChoice == kOtherSystem);
  } else if (nMapKind == GIS_SPATIALREFERENCE_GEOGRAPHIC) {
    m_nSystemChoice = kOtherSystem;
    EnableItem(IDC_GIS_GS_FRAME_SYSTEM, false);
    EnableItem(IDC_GIS_GS_PROPERTIES, true);
  }
  m_strDescription = DescriptionOf(pOwn);
  UpdateData(FALSE);
  return CGIS_MapGridPage::OnSetActive();
}

void CGIS_GridSystemPage::OnSystemChoice(int nChoice) {
  if (IsExchangingData()) return;
  m_nSystemChoice = nChoice;
  EnableItem(IDC_GIS_GS_PROPERTIES, nChoice == kOtherSystem);
}

void CGIS_GridSystemPage::OnProperties() {
  constexpr const char* kMethod = "CGIS_GridSystemPage::OnProperties";
  IGIS_MeasureGrid* pGrid = MeasureGrid(kMethod);
  IGIS_MapElement* pFrame = pGrid != nullptr ? pGrid->GetMapElement() : nullptr;
  IGIS_MainObject* pMain = pFrame != nullptr ? pFrame->GetMainObject() : nullptr;
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pMain == nullptr || pFactory == nullptr) return;
  // The command shows a working copy, never the grid's own reference.
  ReleasePtr<IGIS_SpatialReference> working(pFactory->CreateSpatialReference(0));
  if (working == nullptr) return;
  working->CopyFrom(pGrid->GetSpatialReference());
  // The answer belongs to the host; the grid keeps a copy of it.
  IGIS_SpatialReference* pChosen = md::layout::measure::ChooseProjectedReference(pMain, working.get());
  if (pChosen == nullptr) return;
  pGrid->SetSpatialReference(pChosen);
  m_strDescription = DescriptionOf(pChosen);
  UpdateData(FALSE);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridSystemPage> g_class("CGIS_GridSystemPage");
}  // namespace
