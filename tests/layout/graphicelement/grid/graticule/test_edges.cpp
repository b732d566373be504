// A graticule whose lines lie on the edges of the map it shows: the bound
// carried into degrees puts its north edge at 29.999999999999996, and the
// 30° parallel is still drawn, converted and labelled.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <utility>

#include "host/helmora/gis_mapfile.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "tests/layout/graphicelement/grid/graticule/graticuletest.h"

namespace {

using md::test::Owned;

constexpr COLORREF kLineColor = RGB(0, 0, 200);

// Line pieces (grid lines and ticks), crossing marks and interior texts.
using Counts = std::array<int, 3>;

class GraticuleEdges : public md::test::SheetPage {
 protected:
  // The drawing: strokes of the line colour, marks by their distinct
  // centres (a mark is stroked as a cross), and the interior texts.
  Counts Drawn(CGIS_GraticuleGrid* grid) {
    md::test::GraticulePrinter p;
    DrawFrame(p);
    EXPECT_TRUE(grid->OnDraw(p.hdc, true, p.display.get()));
    Counts c{};
    std::set<std::pair<double, double>> marks;
    for (const md::test::Stroke& s : md::test::StrokesOf(p.canvas)) {
      if (s.color == kLineColor)
        ++c[0];
      else
        marks.insert({s.points.front().x + s.points.back().x, s.points.front().y + s.points.back().y});
    }
    c[1] = static_cast<int>(marks.size());
    p.canvas.clear();
    EXPECT_TRUE(grid->OnDrawInteriorLabel(p.hdc, true, p.display.get()));
    c[2] = static_cast<int>(md::test::TextsOf(p.canvas).size());
    return c;
  }
  // The conversion's polylines, points and texts over all its groups.
  static Counts Converted(CGIS_GraticuleGrid* grid) {
    Counts c{};
    auto* result = dynamic_cast<IGIS_CompoundElement*>(grid->ConvertToElement());
    for (int i = 0; result != nullptr && i < result->GetElementCount(); ++i) {
      auto* group = dynamic_cast<IGIS_CompoundElement*>(result->GetElementPtrByIndex(i));
      for (int k = 0; group != nullptr && k < group->GetElementCount(); ++k) {
        const std::string type = group->GetElementPtrByIndex(k)->GetType();
        c[0] += type == GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE;
        c[1] += type == GIS_TYPE_GRAPHIC_ELEMENT_POINT;
        c[2] += type == GIS_TYPE_GRAPHIC_ELEMENT_TEXT;
      }
    }
    if (result != nullptr) DropCompound(result);
    return c;
  }
};

// 100–110°E x 20–30°N every 5°: lines at 100, 105, 110°E and 20, 25, 30°N;
// one main tick and two sub-ticks a side (the corner ticks stand on the
// edges across their sides); a mark and two texts at each of nine crossings.
TEST_F(GraticuleEdges, LinesOnTheBoundsEdgesAreDrawnConvertedAndLabelledAlike) {
  IGIS_Map* region =
      GIS_LoadMapFile(doc_, (std::string(MD_SOURCE_DIR) + "/host/helmora/maps/region_1m.geojson").c_str());
  ASSERT_NE(region, nullptr);
  frame_->SetRect(SGIS_Rect(5000, 25000, 25000, 5000));
  frame_->SetMapName(region->GetName());
  frame_->SetMapBound(SGIS_DRect(100, 30, 110, 20));
  Owned<CGIS_GraticuleGrid> grid(NewGraticule(5 * 60.0));
  grid->SetShowInteriorLabels(true);
  grid->SetInteriorLabelIntervalX(5);
  grid->SetInteriorLabelIntervalY(5);
  Owned<IGIS_Symbol> line(md::test::NewLineSymbol(kLineColor, 0.1));
  grid->SetLineSymbol(line.get());
  grid->SetTickLineSymbol(line.get());
  grid->SetSubTickLineSymbol(line.get());
  Owned<IGIS_Symbol> text(md::test::NewTextSymbol(8));
  Owned<md::test::DmsLabelDouble> label(new md::test::DmsLabelDouble());
  label->text = text.get();
  grid->SetLabelFormat(label.get());
  const struct {
    int type;
    Counts expected;
  } rows[] = {{GIS_GRIDLINE_LINES, {6 + 4 + 8, 0, 18}}, {GIS_GRIDLINE_MARKS, {4 + 8, 9, 18}}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.type);
    grid->SetGridlineType(r.type);
    EXPECT_EQ(Drawn(grid.get()), r.expected);
    EXPECT_EQ(Converted(grid.get()), r.expected);
  }
}

}  // namespace
