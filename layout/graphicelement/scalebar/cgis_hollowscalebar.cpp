// The hollow scale bar: cells and middle lines drawn before the marks and
// labels of the base, and converted into rectangles and polylines after
// them. The bar's own marks are never recoloured: drawing and converting use
// a recoloured copy.
#include "layout/graphicelement/scalebar/cgis_hollowscalebar.h"

#include <utility>

#include "host/basilo/igis_log.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebarbodydraw.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"

using namespace md::layout::detail;

CGIS_HollowScaleBar::CGIS_HollowScaleBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_DoubleFillScaleBarBase(pOwner, pFeature, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW) {
  SetName("中空图形比例尺");
}

const char* CGIS_HollowScaleBar::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW; }

const char* CGIS_HollowScaleBar::GetDescription() { return "暂时没有定义"; }

void CGIS_HollowScaleBar::Refresh() { CGIS_ScaleBarBase::Refresh(); }

IGIS_Element* CGIS_HollowScaleBar::Clone() { return CloneBar(this); }

std::vector<CGIS_HollowScaleBar::Cell> CGIS_HollowScaleBar::LayOutCells() {
  const BarColumns layout = LayOutColumns(this, "CGIS_HollowScaleBar::OnDraw");
  std::vector<Cell> cells;
  cells.reserve(layout.columns.size());
  for (const BarColumn& c : layout.columns) {
    Cell cell;
    cell.rect = SGIS_Rect(c.left, layout.yt, c.right, layout.y0);
    cell.bFirstFill = c.bEven;
    cell.lineFrom = SGIS_Point(c.left, layout.ym, 0);
    cell.lineTo = SGIS_Point(c.lineRight, layout.ym, 0);
    cells.push_back(cell);
  }
  return cells;
}

IGIS_ScaleMarks* CGIS_HollowScaleBar::NewShownMarks() {
  if (!m_pScaleMarks || GetSymbol1() == nullptr || GetSymbol2() == nullptr) return nullptr;
  IGIS_ScaleMarks* pShown = m_pScaleMarks->Clone();
  if (pShown == nullptr) return nullptr;
  if (IGIS_Symbol* pMark = pShown->GetDivisionMarkSymbol()) pMark->SetColor(GetSymbol1()->GetColor());
  return pShown;
}

template <class F>
auto CGIS_HollowScaleBar::WithShownMarks(F work) {
  // The recoloured copy stands in for the held marks while the work runs.
  md::basilo::ReleasePtr<IGIS_ScaleMarks> shown(NewShownMarks());
  if (shown) std::swap(m_pScaleMarks, shown);
  IGIS_Symbol* pLine = m_pScaleMarks ? m_pScaleMarks->GetDivisionMarkSymbol() : nullptr;
  auto result = work(pLine);
  if (shown) std::swap(m_pScaleMarks, shown);
  return result;
}

BOOL CGIS_HollowScaleBar::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  BodyPen pen;
  if (!FetchBodyPen(this, hdc, bPrint, pDisplay, "CGIS_HollowScaleBar::OnDraw", false, &pen)) return FALSE;
  if (DrawFrameUnder(this, hdc, bPrint, pDisplay, pen)) return TRUE;
  return WithShownMarks([&](IGIS_Symbol* pLine) {
    {
      CGIS_ElementClipScope clip(hdc, pDisplay);
      for (const Cell& cell : LayOutCells()) {
        FillPageRect(&pen, cell.rect, cell.bFirstFill ? GetSymbol1() : GetSymbol2());
        if (!cell.bFirstFill) continue;
        const SGIS_Point line[2] = {cell.lineFrom, cell.lineTo};
        DrawPagePoints(&pen, line, 2, pLine);
      }
    }
    CGIS_ScaleBarBase::OnDraw(hdc, bPrint, pDisplay);
    return TRUE;
  });
}

IGIS_Element* CGIS_HollowScaleBar::ConvertToElement() {
  return WithShownMarks([&](IGIS_Symbol* pLine) -> IGIS_Element* {
    IGIS_CompoundElement* pMain = ConvertBarBase(this, "CGIS_HollowScaleBar::ConvertToElement");
    if (pMain == nullptr) return nullptr;
    IGIS_CompoundElement* pCells = NewBodyCompound(this);
    if (pCells == nullptr) return pMain;
    for (const Cell& cell : LayOutCells()) {
      AddRectCell(pCells, this, cell.rect, cell.bFirstFill ? GetSymbol1() : GetSymbol2());
      if (cell.bFirstFill) AddSegmentElement(pCells, cell.lineFrom, cell.lineTo, pLine);
    }
    AppendBody(pMain, pCells);
    return pMain;
  });
}
