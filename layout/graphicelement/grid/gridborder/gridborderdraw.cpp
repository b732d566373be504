// Drawing and conversion of a grid's border around its map frame.
#include "layout/graphicelement/grid/gridborder/gridborderdraw.h"

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::grid {

namespace {

using md::layout::border::BorderRing;
using md::layout::border::MakeRing;
using md::layout::border::PieceSink;

constexpr const char* kOnDraw = "CGIS_MapGridBorder::OnDraw";
constexpr const char* kFill = "CGIS_MapGridBorder::_DrawPolygonSymbol";
constexpr const char* kConvert = "CGIS_MapGridBorder::ConvertToElement";

// The frame's outline from its bottom-left corner round to it again.
BorderRing Outline(const SGIS_Rect& r) {
  return MakeRing(r.left, r.bottom, r.right, r.bottom, r.right, r.top, r.left, r.top);
}

// The simple border: the line symbol along the frame's outline.
bool DrawSimpleBorder(IGIS_MapGridBorder* pBorder, IGIS_MapElement* pFrame, HDC hdc, bool bPrint,
                      IGIS_Display* pDisplay) {
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "p_symbolization == NULL");
    return false;
  }
  if (pDisplay == nullptr || pDisplay->GetView() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "p_display == NULL");
    return false;
  }
  CGIS_PageSymbolPainter painter(hdc, bPrint, pDisplay, PageReferenceOf(pFrame->GetFeatureSetPtr()), kOnDraw,
                                 pFrame->GetFeatureSetPtr());
  const BorderRing ring = Outline(pFrame->GetRect());
  painter.Draw(pBorder->GetSimpleSymbol(), ring.data(), static_cast<int>(ring.size()));
  return true;
}

}  // namespace

IGIS_MapElement* FrameOfBorder(IGIS_MapGridBorder* pBorder) {
  IGIS_MapGrid* pGrid = pBorder != nullptr ? pBorder->GetMapGrid() : nullptr;
  return pGrid != nullptr ? pGrid->GetMapElement() : nullptr;
}

void WalkGridBorderBand(IGIS_MapGridBorder* pBorder, const SGIS_Rect& rect, const PieceSink& sink,
                        const char* szMethod) {
  // A stored interval below the setter's minimum is kept as stored; the walk
  // takes the minimum instead, so that a stored value cannot make it lay a
  // bar every page unit.
  const int nInterval =
      pBorder->GetInterval() >= kMinGridBorderInterval ? pBorder->GetInterval() : kMinGridBorderInterval;
  md::layout::border::WalkCalibratedBand(
      rect, pBorder->GetBorderWidth(), nInterval, pBorder->GetAlternating(), pBorder->GetBackgroundSymbol(),
      pBorder->GetForegroundSymbol(), sink, szMethod, md::layout::border::ShortSides::kByCounts);
}

bool DrawMapGridBorder(IGIS_MapGridBorder* pBorder, HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  IGIS_MapElement* pFrame = FrameOfBorder(pBorder);
  if (pFrame == nullptr) return true;
  if (pBorder->GetBorderType() == GIS_GRIDBORDER_SIMPLE) {
    DrawSimpleBorder(pBorder, pFrame, hdc, bPrint, pDisplay);
    return true;
  }
  const char* szMethod = pBorder->GetAlternating() ? "CGIS_MapGridBorder::DrawAlternatingBorder"
                                                   : "CGIS_MapGridBorder::DrawCalibratedBorder";
  const SGIS_Rect rect = pFrame->GetRect();
  md::layout::border::DrawBand(
      hdc, pDisplay, PageReferenceOf(pFrame->GetFeatureSetPtr()), szMethod, kFill,
      [&](const PieceSink& sink) { WalkGridBorderBand(pBorder, rect, sink, szMethod); }, bPrint);
  return true;
}

IGIS_Element* ConvertMapGridBorder(IGIS_MapGridBorder* pBorder) {
  IGIS_MapElement* pFrame = FrameOfBorder(pBorder);
  if (pFrame == nullptr) return nullptr;
  IGIS_CompoundElement* pCompound = md::layout::border::NewBorderCompound(pFrame, kConvert);
  if (pCompound == nullptr) return nullptr;
  const SGIS_Rect rect = pFrame->GetRect();
  if (pBorder->GetBorderType() == GIS_GRIDBORDER_SIMPLE) {
    const BorderRing ring = Outline(rect);
    CreatePolylineElement(pCompound, ring.data(), static_cast<int>(ring.size()), pBorder->GetSimpleSymbol());
  } else {
    WalkGridBorderBand(pBorder, rect, md::layout::border::PolygonSink(pCompound), kConvert);
  }
  return pCompound;
}

}  // namespace md::layout::grid
