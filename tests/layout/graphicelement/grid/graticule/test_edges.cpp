// A graticule whose lines lie on the edges of the map it labels: the bound
// carried into degrees puts its north edge at 29.999999999999996, and the
// 30° parallel must still be drawn, converted and labelled.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "host/helmora/gis_mapfile.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "tests/layout/graphicelement/grid/graticule/graticuletest.h"

namespace {

using md::test::DmsLabelDouble;
using md::test::Owned;

constexpr COLORREF kLineColor = RGB(0, 0, 200);
constexpr COLORREF kTickColor = RGB(0, 150, 0);

// What a drawing or a conversion holds: line pieces (grid lines and ticks),
// crossing marks and interior texts.
struct Counts {
  int lines = 0, marks = 0, texts = 0;
  bool operator==(const Counts&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Counts& c) {
  return os << c.lines << " lines, " << c.marks << " marks, " << c.texts << " texts";
}

class GraticuleEdges : public md::test::SheetPage {
 protected:
  void SetUp() override {
    SheetPage::SetUp();
    IGIS_Map* region =
        GIS_LoadMapFile(doc_, (std::string(MD_SOURCE_DIR) + "/host/helmora/maps/region_1m.geojson").c_str());
    ASSERT_NE(region, nullptr);
    // A square frame showing 100–110°E x 20–30°N of the map in degrees.
    frame_->SetRect(SGIS_Rect(5000, 25000, 25000, 5000));
    frame_->SetMapName(region->GetName());
    frame_->SetMapBound(SGIS_DRect(100, 30, 110, 20));
    grid_ = new CGIS_GraticuleGrid();
    grid_->SetMapElement(frame_);
    grid_->SetBorder(nullptr);
    grid_->GetGridSpacing()->SetUnits(1);  // degrees
    grid_->GetGridSpacing()->SetXIntervalSize(5);
    grid_->GetGridSpacing()->SetYIntervalSize(5);
    grid_->SetShowInteriorLabels(true);
    grid_->SetInteriorLabelIntervalX(5);
    grid_->SetInteriorLabelIntervalY(5);
    Owned<IGIS_Symbol> line(md::test::NewLineSymbol(kLineColor, 0.1));
    Owned<IGIS_Symbol> tick(md::test::NewLineSymbol(kTickColor, 0.1));
    grid_->SetLineSymbol(line.get());
    grid_->SetTickLineSymbol(tick.get());
    grid_->SetSubTickLineSymbol(tick.get());
    text_ = md::test::NewTextSymbol(8);
    Owned<DmsLabelDouble> label(new DmsLabelDouble());
    label->text = text_;
    grid_->SetLabelFormat(label.get());
  }
  void TearDown() override {
    if (grid_ != nullptr) grid_->Release();
    if (text_ != nullptr) text_->Release();
    SheetPage::TearDown();
  }

  // The drawing: strokes of the line and tick colours, marks by their
  // distinct centres (a mark is stroked as a cross), and the interior texts.
  Counts Drawn() {
    md::test::GraticulePrinter p;
    DrawFrame(p);
    EXPECT_TRUE(grid_->OnDraw(p.hdc, true, p.display.get()));
    Counts c;
    std::set<std::pair<double, double>> centres;
    for (const md::test::Stroke& s : md::test::StrokesOf(p.canvas)) {
      if (s.color == kLineColor || s.color == kTickColor) {
        ++c.lines;
      } else {
        centres.insert(
            {(s.points.front().x + s.points.back().x) / 2, (s.points.front().y + s.points.back().y) / 2});
      }
    }
    c.marks = static_cast<int>(centres.size());
    p.canvas.clear();
    EXPECT_TRUE(grid_->OnDrawInteriorLabel(p.hdc, true, p.display.get()));
    c.texts = static_cast<int>(md::test::TextsOf(p.canvas).size());
    return c;
  }

  // The conversion's polylines, points and texts over all its groups.
  Counts Converted() {
    Counts c;
    auto* result = dynamic_cast<IGIS_CompoundElement*>(grid_->ConvertToElement());
    EXPECT_NE(result, nullptr);
    if (result == nullptr) return c;
    for (int i = 0; i < result->GetElementCount(); ++i) {
      auto* group = dynamic_cast<IGIS_CompoundElement*>(result->GetElementPtrByIndex(i));
      for (int k = 0; group != nullptr && k < group->GetElementCount(); ++k) {
        const std::string type = group->GetElementPtrByIndex(k)->GetType();
        c.lines += type == GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE;
        c.marks += type == GIS_TYPE_GRAPHIC_ELEMENT_POINT;
        c.texts += type == GIS_TYPE_GRAPHIC_ELEMENT_TEXT;
      }
    }
    DropCompound(result);
    return c;
  }

  CGIS_GraticuleGrid* grid_ = nullptr;
  IGIS_Symbol* text_ = nullptr;
};

// Lines at 100, 105, 110°E and 20, 25, 30°N; one main tick and two sub-ticks
// on every side (the corner ticks stand on the edges across their sides);
// a crossing mark and two texts at each of the nine crossings.
TEST_F(GraticuleEdges, LinesOnTheBoundsEdgesAreDrawnConvertedAndLabelledAlike) {
  const struct {
    int type;
    Counts expected;
  } rows[] = {
      {GIS_GRIDLINE_LINES, {6 + 4 + 8, 0, 18}},
      {GIS_GRIDLINE_MARKS, {4 + 8, 9, 18}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.type);
    grid_->SetGridlineType(r.type);
    EXPECT_EQ(Drawn(), r.expected);
    EXPECT_EQ(Converted(), r.expected);
  }
}

}  // namespace
