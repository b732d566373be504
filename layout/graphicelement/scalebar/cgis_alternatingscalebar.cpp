// The alternating scale bar: its cells, drawn before the marks and labels of
// the base and converted into rectangle elements after them.
#include "layout/graphicelement/scalebar/cgis_alternatingscalebar.h"

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/scalebar/scalebarbodydraw.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"

using namespace md::layout::detail;

CGIS_AlternatingScaleBar::CGIS_AlternatingScaleBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_DoubleFillScaleBarBase(pOwner, pFeature, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING) {
  SetName("双交错图形比例尺");
}

const char* CGIS_AlternatingScaleBar::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING; }

const char* CGIS_AlternatingScaleBar::GetDescription() { return "暂时没有定义"; }

void CGIS_AlternatingScaleBar::Refresh() { CGIS_ScaleBarBase::Refresh(); }

std::vector<CGIS_AlternatingScaleBar::Cell> CGIS_AlternatingScaleBar::LayOutCells() {
  const BarColumns layout = LayOutColumns(this, "CGIS_AlternatingScaleBar::OnDraw");
  std::vector<Cell> cells;
  cells.reserve(layout.columns.size());
  for (const BarColumn& c : layout.columns)
    cells.push_back({SGIS_Rect(c.left, layout.yt, c.right, layout.y0), c.bEven});
  return cells;
}

BOOL CGIS_AlternatingScaleBar::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const char* kMethod = "CGIS_AlternatingScaleBar::OnDraw";
  if (GetFeaturePtr() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "m_pFeature == NULL");
    return FALSE;
  }
  IGIS_FeatureClass* pClass = GetFeatureSetPtr() != nullptr ? GetFeatureSetPtr()->GetFeatureClass() : nullptr;
  IGIS_SpatialReference* pReference = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_spatialreference == NULL");
    return FALSE;
  }
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_symbolization == NULL");
    return FALSE;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDisplay == NULL");
    return FALSE;
  }
  const SGIS_Rect rect = GetRect();
  IGIS_FrameProperty* pFrame = GetFrameProperty();
  if (pFrame != nullptr) pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_UNDER);
  if (pFrame != nullptr && pFrame->GetDraftMode() && !bPrint) {
    pFrame->OnDrawDraftMode(this, hdc, bPrint, pDisplay);
    return TRUE;
  }
  {
    CGIS_ElementClipScope clip(hdc, pDisplay);
    POINT ring[5] = {};
    SGIS_DrawParam param;
    param.hdc = hdc;
    param.printFlag = bPrint ? 1 : 0;
    param.points = ring;
    param.pointCount = 5;
    param.symbolScale = GetDisplayRatio(pDisplay);
    if (clip.IsClipping()) param.viewValue = reinterpret_cast<std::intptr_t>(pView->GetClipContext());
    for (const Cell& cell : LayOutCells()) {
      IGIS_Symbol* pSymbol = cell.bFirstFill ? GetSymbol1() : GetSymbol2();
      if (pSymbol == nullptr) continue;  // an empty cell still counts in the alternation
      const SGIS_Rect d = pView->PageToDeviceRect(cell.rect, pReference);
      ring[0] = {d.left, d.bottom};
      ring[1] = {d.right, d.bottom};
      ring[2] = {d.right, d.top};
      ring[3] = {d.left, d.top};
      ring[4] = {d.left, d.bottom};
      pRenderer->Draw(pSymbol, &param, GIS_DRAW_CHECK);
    }
  }
  CGIS_ScaleBarBase::OnDraw(hdc, bPrint, pDisplay);
  return TRUE;
}

IGIS_Element* CGIS_AlternatingScaleBar::ConvertToElement() {
  IGIS_Element* pBase = CGIS_ScaleBarBase::ConvertToElement();
  auto* pMain = dynamic_cast<IGIS_CompoundElement*>(pBase);
  if (pMain == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_AlternatingScaleBar::ConvertToElement", "p_com_element == NULL");
    DropElement(pBase);
    return nullptr;
  }
  IGIS_FeatureSet* pOwner = GetFeatureSetPtr();
  auto* pCells =
      dynamic_cast<IGIS_CompoundElement*>(pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND));
  if (pCells == nullptr) return pMain;
  for (const Cell& cell : LayOutCells()) {
    IGIS_Element* pElement = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT);
    auto* pRect = dynamic_cast<IGIS_RectElement*>(pElement);
    if (pRect == nullptr || !pCells->AddElement(pRect)) {
      // A body missing cells would not be what the drawing shows: none is kept.
      DropElement(pElement);
      DropCompound(pCells);
      return pMain;
    }
    pRect->SetRect(cell.rect);
    pRect->SetSymbolPtr(cell.bFirstFill ? GetSymbol1() : GetSymbol2());
    if (IGIS_Feature* pFeature = pRect->GetFeaturePtr()) CommitFeature(pFeature, GIS_UPDATE_ALL);
  }
  if (!pMain->AddElement(pCells)) DropCompound(pCells);
  return pMain;
}

IGIS_Element* CGIS_AlternatingScaleBar::Clone() {
  IGIS_FeatureSet* pOwner = GetFeatureSetPtr();
  IGIS_Element* pElement = pOwner != nullptr ? pOwner->CreateElement(GetType()) : nullptr;
  auto* pCopy = dynamic_cast<CGIS_AlternatingScaleBar*>(pElement);
  if (pCopy == nullptr) {
    DropElement(pElement);
    return nullptr;
  }
  pCopy->CopyFrom(this);
  return pCopy;
}
