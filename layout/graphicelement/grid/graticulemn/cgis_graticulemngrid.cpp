// The graticule of fixed rows and columns: values, setters, copies, stored
// keys, sheet, drawing and conversion entries.
#include "layout/graphicelement/grid/graticulemn/cgis_graticulemngrid.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/grid/graticulemn/graticulemndraw.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"

namespace {

constexpr int kDegreeUnit = 1;
constexpr const char* kSave = "CGIS_GraticuleMNGrid::Save";
constexpr const char* kOpen = "CGIS_GraticuleMNGrid::Open";

}  // namespace

CGIS_GraticuleMNGrid::CGIS_GraticuleMNGrid() {
  // The default label belongs to the grid as it comes from the factory (none
  // while the library makes no DMS label: the grid then draws unlabelled).
  m_pLabel.reset(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_DMS));
  if (m_pLabel) m_pLabel->SetMapGrid(this);
  m_pGridSpacing.reset(md::layout::grid::NewGridSpacing(GIS_GRIDSPACING_UNITS_ANGULAR, kDegreeUnit,
                                                        "CGIS_GraticuleMNGrid::CGIS_GraticuleMNGrid"));
}

CGIS_GraticuleMNGrid::~CGIS_GraticuleMNGrid() {
  ReleaseLabel();
  m_pGridSpacing.reset();
}

void CGIS_GraticuleMNGrid::Release() { delete this; }

void CGIS_GraticuleMNGrid::SetLabelFormat(IGIS_GridLabel* pLabel) {
  ReplaceLabel(pLabel, {GIS_GRIDLABEL_DMS}, "CGIS_GraticuleMNGrid::SetLabelFormat", true);
}

IGIS_MapGrid* CGIS_GraticuleMNGrid::Clone() {
  return md::basilo::CloneOrNull<CGIS_GraticuleMNGrid>("CGIS_GraticuleMNGrid::Clone", this);
}

IGIS_GraticuleMNGrid* CGIS_GraticuleMNGrid::Copy(IGIS_GraticuleMNGrid* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  CopyFrom(pOther);
  // As read: a stored count below 1 travels with the copy.
  m_nLongitudeCount = pOther->GetLongitudeCount();
  m_nLatitudeCount = pOther->GetLatitudeCount();
  return this;
}

void CGIS_GraticuleMNGrid::SetGridSpacingPtr(IGIS_GridSpacing* pSpacing) {
  md::layout::grid::ReplaceGridSpacing(&m_pGridSpacing, pSpacing, "CGIS_GraticuleMNGrid::SetGridSpacingPtr");
}

bool CGIS_GraticuleMNGrid::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "pDataBuffer为空");
    return false;
  }
  md::layout::StoredSetWriter set;
  set.Int("LatitudeCount", "LatitudeCount", m_nLatitudeCount);
  set.Int("LongitudeCount", "LongitudeCount", m_nLongitudeCount);
  // What the common keys answer is the answer (a failed write is not
  // reported as success).
  if (!SaveCommon(&set, pBuffer)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "b_ret == NULL");
    return false;
  }
  return true;
}

bool CGIS_GraticuleMNGrid::Open(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "pDataBuffer为空");
    return false;
  }
  const md::layout::StoredSetView set(pBuffer);
  if (set.Damaged()) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "b_ret == NULL");
  return OpenStored(set, pBuffer);
}

bool CGIS_GraticuleMNGrid::OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer*) {
  // Stored as read; a count below 1 is taken as 1 where the counts divide.
  set.Read("LatitudeCount", &m_nLatitudeCount);
  set.Read("LongitudeCount", &m_nLongitudeCount);
  return OpenCommon(set);
}

bool CGIS_GraticuleMNGrid::OnOpenPropertyDlg() {
  return RunPropertySheet(
      "经纬网(行列数固定)属性", "CGIS_GraticuleMNGrid::OnOpenPropertyDlg",
      [this](IGIS_MapGrid* pBackup) { Copy(dynamic_cast<IGIS_GraticuleMNGrid*>(pBackup)); });
}

bool CGIS_GraticuleMNGrid::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  // One plan for the drawing: the label writes on the lines the figure lays.
  md::layout::grid::GraticulePass pass;
  pass.Make(this, pDisplay);
  return md::layout::graticulemn::DrawGraticuleMN(
      this, hdc, bPrint, pDisplay, &pass,
      [&](const md::layout::grid::GridLabelPlan* pPlan) { DrawPrelude(hdc, bPrint, pDisplay, pPlan); });
}

IGIS_Element* CGIS_GraticuleMNGrid::ConvertToElement() {
  md::layout::grid::GraticulePass pass;
  const bool bPlanned = pass.Make(this, nullptr);
  IGIS_Element* pResult = ConvertPrelude(bPlanned ? &pass : nullptr);
  if (pResult == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, md::layout::graticulemn::kConvertToElement, "p_element == NULL");
    return nullptr;
  }
  return md::layout::graticulemn::ConvertGraticuleMN(this, pResult, &pass);
}
