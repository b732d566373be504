// The double alternating scale bar: two rows of cells drawn before the
// marks and labels of the base and converted into rectangle elements after
// them.
#include "layout/graphicelement/scalebar/cgis_doublealternatingscalebar.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/scalebar/scalebarbodydraw.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"

using namespace md::layout::detail;

CGIS_DoubleAlternatingScaleBar::CGIS_DoubleAlternatingScaleBar(IGIS_FeatureSet* pOwner,
                                                               IGIS_Feature* pFeature)
    : CGIS_DoubleFillScaleBarBase(pOwner, pFeature, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING) {
  SetName("图形比例尺");
}

const char* CGIS_DoubleAlternatingScaleBar::GetType() {
  return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING;
}

const char* CGIS_DoubleAlternatingScaleBar::GetDescription() { return "暂时没有定义"; }

void CGIS_DoubleAlternatingScaleBar::Refresh() { CGIS_ScaleBarBase::Refresh(); }

IGIS_Element* CGIS_DoubleAlternatingScaleBar::Clone() { return CloneBar(this); }

std::vector<CGIS_DoubleAlternatingScaleBar::Cell> CGIS_DoubleAlternatingScaleBar::LayOutCells() {
  const BarColumns layout = LayOutColumns(this, "CGIS_DoubleAlternatingScaleBar::OnDraw");
  std::vector<Cell> cells;
  cells.reserve(layout.columns.size() * 2);
  for (const BarColumn& c : layout.columns) {
    cells.push_back({SGIS_Rect(c.left, layout.ym, c.right, layout.y0), c.bEven});
    cells.push_back({SGIS_Rect(c.left, layout.yt, c.right, layout.ym), !c.bEven});
  }
  return cells;
}

BOOL CGIS_DoubleAlternatingScaleBar::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  BodyPen pen;
  if (!FetchBodyPen(this, hdc, bPrint, pDisplay, "CGIS_DoubleAlternatingScaleBar::OnDraw", false, &pen,
                    "p_spatialreference == NULL"))
    return FALSE;
  if (DrawFrameUnder(this, hdc, bPrint, pDisplay, pen)) return TRUE;
  {
    CGIS_ElementClipScope clip(hdc, pDisplay);
    for (const Cell& cell : LayOutCells())
      FillPageRect(&pen, cell.rect, cell.bFirstFill ? GetSymbol1() : GetSymbol2());
  }
  CGIS_ScaleBarBase::OnDraw(hdc, bPrint, pDisplay);
  return TRUE;
}

bool CGIS_DoubleAlternatingScaleBar::AddRectElement(IGIS_Element* pCompound, IGIS_Symbol* pSymbol,
                                                    SGIS_Rect rect) {
  const char* kMethod = "CGIS_DoubleAlternatingScaleBar::AddRectElement";
  auto* pTarget = dynamic_cast<IGIS_CompoundElement*>(pCompound);
  if (pTarget == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_com == NULL");
    return false;
  }
  if (pTarget->GetFeatureSetPtr() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_layer == NULL");
    return false;
  }
  return AddRectCell(pTarget, this, rect, pSymbol);
}

IGIS_Element* CGIS_DoubleAlternatingScaleBar::ConvertToElement() {
  IGIS_CompoundElement* pMain = ConvertBarBase(this, "CGIS_DoubleAlternatingScaleBar::ConvertToElement");
  if (pMain == nullptr) return nullptr;
  IGIS_CompoundElement* pCells = NewBodyCompound(this);
  for (const Cell& cell : LayOutCells()) {
    AddRectElement(pCells, cell.bFirstFill ? GetSymbol1() : GetSymbol2(), cell.rect);
  }
  AppendBody(pMain, pCells);
  return pMain;
}
