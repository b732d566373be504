#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridinsidelabelpage.h"

#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "platform/ui/app.h"

namespace graticule = md::layout::graticule;

namespace {
constexpr graticule::DmsRowIds kLongitudeRow{IDC_GIS_IL_LON_DEGREES, IDC_GIS_IL_LON_MINUTES,
                                             IDC_GIS_IL_LON_SECONDS};
constexpr graticule::DmsRowIds kLatitudeRow{IDC_GIS_IL_LAT_DEGREES, IDC_GIS_IL_LAT_MINUTES,
                                            IDC_GIS_IL_LAT_SECONDS};
}  // namespace

CGIS_GridInsideLabelPage::CGIS_GridInsideLabelPage() : CGIS_MapGridPage(IDD_GIS_INSIDELABEL_PAGE) {
  graticule::MapDmsRowFilters(this, kLongitudeRow);
  graticule::MapDmsRowFilters(this, kLatitudeRow);
}

void CGIS_GridInsideLabelPage::DoDataExchange(CDataExchange* pDX) {
  CGIS_MapGridPage::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_GIS_IL_SHOW, m_nShow);
  graticule::ExchangeDmsRow(pDX, kLongitudeRow, &m_longitude);
  graticule::ExchangeDmsRow(pDX, kLatitudeRow, &m_latitude);
}

BOOL CGIS_GridInsideLabelPage::OnSetActive() {
  IGIS_GraticuleGrid* pGrid = graticule::GraticuleOf(m_pMapGrid, "CGIS_GridInsideLabelPage::OnSetActive");
  if (pGrid == nullptr) return FALSE;
  m_nShow = pGrid->GetShowInteriorLabels() ? 1 : 0;
  graticule::SplitDegrees(pGrid->GetInteriorLabelIntervalX(), false, &m_longitude);
  graticule::SplitDegrees(pGrid->GetInteriorLabelIntervalY(), false, &m_latitude);
  UpdateData(FALSE);
  return CGIS_MapGridPage::OnSetActive();
}

bool CGIS_GridInsideLabelPage::WriteGrid() {
  auto* pGrid = dynamic_cast<IGIS_GraticuleGrid*>(m_pMapGrid);
  if (pGrid == nullptr) return true;
  if (!UpdateData(TRUE)) return false;
  pGrid->SetShowInteriorLabels(m_nShow == 1);
  pGrid->SetInteriorLabelIntervalX(graticule::JoinDegrees(m_longitude));
  pGrid->SetInteriorLabelIntervalY(graticule::JoinDegrees(m_latitude));
  return true;
}

BOOL CGIS_GridInsideLabelPage::OnKillActive() {
  return WriteGrid() ? CGIS_MapGridPage::OnKillActive() : FALSE;
}

BOOL CGIS_GridInsideLabelPage::OnApply() { return WriteGrid() ? CGIS_MapGridPage::OnApply() : FALSE; }

namespace {
const md::ui::WindowClassRegistration<CGIS_GridInsideLabelPage> g_class("CGIS_GridInsideLabelPage");
}  // namespace
