// The graticule's values, setters, copies, drawing and conversion entries.
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"

#include <climits>

#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/graticule/graticuledraw.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"

namespace {

constexpr int kHatchStyle = 0xD03;
constexpr int kDegreeUnit = 1;

// The setters keep the length's magnitude; the most negative int, whose
// magnitude an int cannot hold, gives the default.
int HatchLength(int nLength, int nDefault) {
  if (nLength >= 1) return nLength;
  return nLength == INT_MIN ? nDefault : -nLength;
}

}  // namespace

IGIS_GridSpacing* CGIS_GraticuleGrid::NewSpacing(const char* szMethod) {
  return md::layout::grid::NewGridSpacing(GIS_GRIDSPACING_UNITS_ANGULAR, kDegreeUnit, szMethod);
}

CGIS_GraticuleGrid::CGIS_GraticuleGrid() {
  if (!Bare()) MakeDefaults();
}

void CGIS_GraticuleGrid::MakeDefaults() {
  constexpr const char* kMethod = "CGIS_GraticuleGrid::CGIS_GraticuleGrid";
  if (!m_pGridSpacing) m_pGridSpacing.reset(NewSpacing(kMethod));
  // The hatch symbols: one of the library's style, two copies of it.
  md::basilo::ReleasePtr<IGIS_Symbol> hatch(
      md::layout::NewStyledSymbol(md::layout::SymbolKind::Line, kHatchStyle));
  if (hatch) {
    if (!m_pMainHatchLineSymbol)
      md::layout::ReplaceSymbol(&m_pMainHatchLineSymbol, hatch.get(), md::layout::SymbolKind::Line, kMethod);
    if (!m_pSubHatchLineSymbol)
      md::layout::ReplaceSymbol(&m_pSubHatchLineSymbol, hatch.get(), md::layout::SymbolKind::Line, kMethod);
    if (!m_pHatchLineSymbol) m_pHatchLineSymbol = std::move(hatch);
  }
  // The default label belongs to the grid as it comes from the factory.
  if (Pending(kPendingLabel) || !Bare()) {
    m_pLabel.reset(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_DMS));
    if (m_pLabel) m_pLabel->SetMapGrid(this);
  }
}

void CGIS_GraticuleGrid::FinishRead() {
  if (Bare()) MakeDefaults();
  MapGridValues::FinishRead();
}

CGIS_GraticuleGrid::~CGIS_GraticuleGrid() {
  ReleaseLabel();
  m_pGridSpacing.reset();
  m_pHatchLineSymbol.reset();
  m_pMainHatchLineSymbol.reset();
  m_pSubHatchLineSymbol.reset();
}

void CGIS_GraticuleGrid::Release() { delete this; }

void CGIS_GraticuleGrid::SetLabelFormat(IGIS_GridLabel* pLabel) {
  ReplaceLabel(pLabel, {GIS_GRIDLABEL_DMS}, "CGIS_GraticuleGrid::SetLabelFormat", true);
}

IGIS_MapGrid* CGIS_GraticuleGrid::Clone() {
  return md::basilo::CloneOrNull<CGIS_GraticuleGrid>("CGIS_GraticuleGrid::Clone", this);
}

IGIS_GraticuleGrid* CGIS_GraticuleGrid::Copy(IGIS_GraticuleGrid* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  CopyFrom(pOther);
  m_dAxisTickOffset = pOther->GetAxisTickOffset();
  m_dTickOffset = pOther->GetTickOffset();
  m_dInteriorLabelIntervalX = pOther->GetInteriorLabelIntervalX();
  m_dInteriorLabelIntervalY = pOther->GetInteriorLabelIntervalY();
  m_bShowInteriorLabels = pOther->GetShowInteriorLabels();
  m_bHatchDirectional = pOther->GetHatchDirectional();
  m_dHatchIntervalX = pOther->GetHatchIntervalX();
  m_dHatchIntervalY = pOther->GetHatchIntervalY();
  m_dHatchLength = pOther->GetHatchLength();
  SetGridSpacingPtr(pOther->GetGridSpacing());
  SetHatchLineSymbolPtr(pOther->GetHatchLineSymbol());
  m_nMainHatchLength = pOther->GetMainHatchLength();
  m_nMainHatchCount = pOther->GetMainHatchCount();
  m_bMainHatchDirectional = pOther->GetMainHatchDirectional();
  m_nSubHatchLength = pOther->GetSubHatchLength();
  m_nSubHatchCount = pOther->GetSubHatchCount();
  m_bSubHatchDirectional = pOther->GetSubHatchDirectional();
  SetMainHatchLineSymbolPtr(pOther->GetMainHatchLineSymbol());
  SetSubHatchLineSymbolPtr(pOther->GetSubHatchLineSymbol());
  return this;
}

void CGIS_GraticuleGrid::SetGridSpacingPtr(IGIS_GridSpacing* pSpacing) {
  md::layout::grid::ReplaceGridSpacing(&m_pGridSpacing, pSpacing, "CGIS_GraticuleGrid::SetGridSpacingPtr");
}

void CGIS_GraticuleGrid::SetHatchSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, IGIS_Symbol* pSymbol,
                                        const char* szMethod) {
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "right == NULL");
    return;
  }
  md::layout::ReplaceSymbol(pHeld, pSymbol, md::layout::SymbolKind::Line, szMethod);
}

void CGIS_GraticuleGrid::SetHatchLineSymbolPtr(IGIS_Symbol* pSymbol) {
  SetHatchSymbol(&m_pHatchLineSymbol, pSymbol, "CGIS_GraticuleGrid::SetHatchLineSymbolPtr");
}

void CGIS_GraticuleGrid::SetMainHatchLineSymbolPtr(IGIS_Symbol* pSymbol) {
  SetHatchSymbol(&m_pMainHatchLineSymbol, pSymbol, "CGIS_GraticuleGrid::SetMainHatchLineSymbolPtr");
}

void CGIS_GraticuleGrid::SetSubHatchLineSymbolPtr(IGIS_Symbol* pSymbol) {
  SetHatchSymbol(&m_pSubHatchLineSymbol, pSymbol, "CGIS_GraticuleGrid::SetSubHatchLineSymbolPtr");
}

void CGIS_GraticuleGrid::SetMainHatchLength(int nLength) {
  m_nMainHatchLength = HatchLength(nLength, kDefaultMainHatchLength);
}

void CGIS_GraticuleGrid::SetSubHatchLength(int nLength) {
  m_nSubHatchLength = HatchLength(nLength, kDefaultSubHatchLength);
}

bool CGIS_GraticuleGrid::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  // One plan for the drawing: the label writes on the lines the grid lays,
  // and the hatches and interior labels take the same degrees.
  md::layout::grid::GraticulePass pass;
  const bool bPlanned = pass.Make(this, pDisplay, &m_geoCache);
  DrawPrelude(hdc, bPrint, pDisplay, bPlanned ? &pass : nullptr);
  if (!md::layout::graticule::DrawGraticuleLines(this, hdc, bPrint, pDisplay, pass)) return false;
  md::layout::graticule::DrawGraticuleHatches(this, hdc, bPrint, pDisplay, pass);
  if (m_bShowInteriorLabels)
    md::layout::graticule::DrawGraticuleInteriorLabels(this, hdc, bPrint, pDisplay, pass);
  return true;
}

bool CGIS_GraticuleGrid::OnDrawHatchLine(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  md::layout::grid::GraticulePass pass;
  pass.Make(this, pDisplay, &m_geoCache);
  return md::layout::graticule::DrawGraticuleHatches(this, hdc, bPrint, pDisplay, pass);
}

bool CGIS_GraticuleGrid::OnDrawInteriorLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  md::layout::grid::GraticulePass pass;
  pass.Make(this, pDisplay, &m_geoCache);
  return md::layout::graticule::DrawGraticuleInteriorLabels(this, hdc, bPrint, pDisplay, pass);
}

IGIS_Element* CGIS_GraticuleGrid::ConvertToElement() {
  md::layout::grid::GraticulePass pass;
  const bool bPlanned = pass.Make(this, nullptr);
  IGIS_Element* pResult = ConvertPrelude(bPlanned ? &pass : nullptr);
  if (pResult == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, md::layout::graticule::kConvertToElement, "p_element == NULL");
    return nullptr;
  }
  return md::layout::graticule::ConvertGraticule(this, pResult, pass);
}

bool CGIS_GraticuleGrid::OnOpenPropertyDlg() {
  return RunPropertySheet(
      "经纬网属性", "CGIS_GraticuleGrid::OnOpenPropertyDlg",
      [this](IGIS_MapGrid* pBackup) { Copy(dynamic_cast<IGIS_GraticuleGrid*>(pBackup)); });
}
