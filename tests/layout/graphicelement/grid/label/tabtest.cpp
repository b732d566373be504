#include "tests/layout/graphicelement/grid/label/tabtest.h"

#include "layout/graphicelement/grid/grid/gridlines.h"

namespace md::test {

using md::layout::label::TabRing;

md::layout::label::TabShape ShapeOf(int nType) {
  switch (nType) {
    case GIS_GRIDLABEL_INDEX_BACKGROUND:
      return &md::layout::label::BackgroundBoxes;
    case GIS_GRIDLABEL_INDEX_BOTTON:
      return &md::layout::label::ButtonTabs;
    case GIS_GRIDLABEL_INDEX_ROUNDED:
      return &md::layout::label::RoundedTabs;
    default:
      return &md::layout::label::ContinuousTabs;
  }
}

TabStylePtr NewTabStyle(int nType) {
  return TabStylePtr(dynamic_cast<IGIS_IndexGridTabStyle*>(GIS_CreateMapGridLabelFormatObject(nType)));
}

std::vector<PaintedRing> PaintedRingsOf(const md::canvas::RecordingCanvas& canvas) {
  std::vector<PaintedRing> out;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Shape)) {
    if (!r->shape.fill && !r->shape.stroke) continue;
    PaintedRing ring{{}, r->shape.fill, static_cast<COLORREF>(r->shape.fill ? r->brush.color : r->pen.color)};
    for (const md::canvas::Point& q : r->Points())
      ring.points.push_back(SGIS_Point::FromDoubles(q.x, 20000.0 - q.y));
    out.push_back(ring);
  }
  return out;
}

void TabPage::SetUp() {
  MapFramePage::SetUp();
  frame_ = NewFrame(kFrameRect);
  grid_ = new IndexGridDouble();
  grid_->SetMapElement(frame_);
}

void TabPage::TearDown() {
  if (grid_ != nullptr) grid_->Release();
  grid_ = nullptr;
  MapFramePage::TearDown();
}

TabStylePtr TabPage::BoundStyle(int nType) {
  TabStylePtr style = NewTabStyle(nType);
  EXPECT_NE(style, nullptr) << nType;
  if (!style) return style;
  style->SetMapGrid(grid_);
  ReleasePtr<IGIS_Symbol> fill(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL));
  fill->SetColor(kTabFill);
  fill->SetLineWidth(0.0);
  ReleasePtr<IGIS_Symbol> line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  line->SetColor(kTabOutline);
  style->SetForegroundSymbolPtr(fill.get());
  style->SetOutLineSymbolPtr(line.get());
  return style;
}

bool TabPage::Draw(IGIS_GridLabel* pStyle, LabelPrinter* printer) {
  frame_->OnDraw(printer->hdc, true, printer->display.get());
  printer->canvas.clear();
  return pStyle->OnDraw(printer->hdc, true, printer->display.get());
}

std::vector<TabRing> TabPage::Rings(IGIS_IndexGridTabStyle* pStyle) {
  md::layout::grid::CGIS_GridCapRecord caps("test");
  const md::layout::label::TabFrame f = md::layout::label::MakeTabFrame(
      frame_->GetRect(), grid_->columns, grid_->rows, pStyle->GetThickness(), pStyle->GetInside(), caps);
  return ShapeOf(pStyle->GetType())(f);
}

}  // namespace md::test
