// The alternating scale bar: its cells, its drawing (cells, marks, labels
// and unit label inside the element clip) and its conversion into plain
// elements that draw the same.
#include <algorithm>
#include <cmath>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/win/gdidevice.h"
#include "scalebartest.h"

namespace md::test {
namespace {

using md::canvas::Record;
using md::canvas::ShapeKind;
using AlternatingScaleBar = ScaleBarTest;

struct CellRow {
  int divisions, subdivisions;
  std::vector<std::pair<int, int>> edges;  // (left, right) from the origin
  std::string fills;                       // '1' first fill, '2' second
};

TEST_F(AlternatingScaleBar, CellsAlternateFromTheFirstFillAcrossSubdivisionsAndDivisions) {
  const CellRow rows[] = {
      {6,
       4,
       {{0, 250},
        {250, 500},
        {500, 750},
        {750, 1000},
        {1000, 2000},
        {2000, 3000},
        {3000, 4000},
        {4000, 5000},
        {5000, 6000}},
       "121212121"},
      {3, 3, {{0, 333}, {333, 667}, {667, 1000}, {1000, 2000}, {2000, 3000}}, "12121"},
      {3, 1, {{0, 1000}, {1000, 2000}, {2000, 3000}}, "121"},
      {1, 4, {{0, 250}, {250, 500}, {500, 750}, {750, 1000}}, "1212"},
  };
  for (const CellRow& r : rows) {
    SCOPED_TRACE(testing::Message() << r.divisions << " divisions of " << r.subdivisions);
    CGIS_AlternatingScaleBar* bar = NewBar();
    bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(2000, 1500, 9000, 1000), 0);
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetDivisions(r.divisions);
    bar->SetSubDivisions(r.subdivisions);
    const auto cells = bar->LayOutCells();
    ASSERT_EQ(cells.size(), r.edges.size());
    std::string fills;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const int ox = 2000 + bar->GetBarX();
      EXPECT_EQ(cells[i].rect, SGIS_Rect(ox + r.edges[i].first, 1200, ox + r.edges[i].second, 1000)) << i;
      fills += cells[i].bFirstFill ? '1' : '2';
    }
    EXPECT_EQ(fills, r.fills);
  }
}

// Device shapes of a drawing, without the clip: kind and points.
std::vector<std::pair<ShapeKind, std::vector<md::canvas::Point>>> ShapesOf(
    const md::canvas::RecordingCanvas& c) {
  std::vector<std::pair<ShapeKind, std::vector<md::canvas::Point>>> out;
  for (const Record* r : c.recordsOf(Record::Type::Shape)) out.emplace_back(r->shape.kind, r->Points());
  return out;
}

// The filled polygons of a drawing (a fill symbol also outlines its ring).
std::vector<const Record*> FillsOf(const md::canvas::RecordingCanvas& c) {
  std::vector<const Record*> out;
  for (const Record* r : c.shapesOf(ShapeKind::Polygon)) {
    if (r->shape.fill) out.push_back(r);
  }
  return out;
}

class AlternatingDrawing : public ScaleBarTest {
 protected:
  void SetUp() override {
    ScaleBarTest::SetUp();
    // Text extents in page units at the texts' real size, as drawn.
    ASSERT_TRUE(set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO));
    bar_ = NewBar();
    bar_->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(3000, 4000, 4000, 3000), 0);
    bar_->SetFrameProperty(nullptr);
    bar_->SetUnitLabel("km");
    bar_->Refresh();
  }
  CGIS_AlternatingScaleBar* bar_ = nullptr;
};

TEST_F(AlternatingDrawing, DrawsCellsMarksAndTextsInsideTheClipAndRestoresIt) {
  PrintPage page;
  const std::size_t objects = md::win::LiveObjectCount();
  ASSERT_TRUE(bar_->OnDraw(page.hdc, true, page.display.get()));
  EXPECT_EQ(md::win::LiveObjectCount(), objects);

  const auto fills = FillsOf(*page.canvas);
  EXPECT_EQ(fills.size(), 9u);  // four subdivisions and five divisions
  std::size_t lines = 0;
  for (const Record* r : page.canvas->recordsOf(Record::Type::Shape)) {
    if (r->shape.kind != ShapeKind::Polygon) ++lines;
    ASSERT_TRUE(r->state.clip.active);
    for (const auto& c : r->state.clip.rects) {  // the paper
      EXPECT_GE(c.left, 0);
      EXPECT_GE(c.top, 0);
      EXPECT_LE(c.right, 788);
      EXPECT_LE(c.bottom, 394);
    }
  }
  EXPECT_GE(lines, 7u + 3u);  // division marks at 0..6, subdivision marks inside the first division
  std::vector<std::string> texts;
  for (const Record* r : page.canvas->recordsOf(Record::Type::Text)) {
    texts.push_back(r->text.text);
    EXPECT_TRUE(r->state.clip.active);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "km"}));
  // The clip the context had (none) is back.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(page.hdc, rgn), 0);
  DeleteObject(rgn);

  // The cells lie where the layout puts them.
  const auto cells = bar_->LayOutCells();
  for (std::size_t i = 0; i < fills.size() && i < cells.size(); ++i) {
    const POINT lb = page.Pixel(cells[i].rect.left, cells[i].rect.bottom);
    const POINT rt = page.Pixel(cells[i].rect.right, cells[i].rect.top);
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const auto& p : fills[i]->Points()) {
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    EXPECT_NEAR(minX, lb.x, 1.0) << i;
    EXPECT_NEAR(maxX, rt.x, 1.0) << i;
    EXPECT_NEAR(minY, rt.y, 1.0) << i;
    EXPECT_NEAR(maxY, lb.y, 1.0) << i;
  }
}

TEST_F(AlternatingDrawing, AMissingFillLeavesItsCellsEmptyAndDraftModeShowsOnlyTheBox) {
  PrintPage page;
  bar_->SetSymbol2(nullptr);
  ASSERT_TRUE(bar_->OnDraw(page.hdc, true, page.display.get()));
  EXPECT_EQ(FillsOf(*page.canvas).size(), 5u);

  IGIS_FrameProperty* frame = GIS_CreateFramePropertyObject();
  frame->SetDraftMode(true);
  bar_->SetFrameProperty(frame);
  frame->Release();
  page.canvas->clear();
  ASSERT_TRUE(bar_->OnDraw(page.hdc, false, page.display.get()));
  for (const Record* r : page.canvas->recordsOf(Record::Type::Text)) EXPECT_NE(r->text.text, "0");
  const std::size_t draft = page.canvas->records().size();
  page.canvas->clear();
  ASSERT_TRUE(bar_->OnDraw(page.hdc, true, page.display.get()));  // printing ignores draft mode
  EXPECT_GT(page.canvas->records().size(), draft);
}

TEST_F(AlternatingDrawing, WithoutAPageReferenceNothingIsDrawn) {
  PrintPage page;
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  LogMark log;
  EXPECT_FALSE(bar_->OnDraw(page.hdc, true, page.display.get()));
  EXPECT_TRUE(log.Has(3, "CGIS_AlternatingScaleBar::OnDraw", "p_spatialreference == NULL"));
  EXPECT_TRUE(page.canvas->records().empty());
}

TEST_F(AlternatingDrawing, TheConversionHoldsMarksLabelsUnitLabelAndCellsInThatOrder) {
  IGIS_Element* converted = bar_->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  auto* main = dynamic_cast<IGIS_CompoundElement*>(converted);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(main->GetElementCount(), 4);
  auto* marks = dynamic_cast<IGIS_CompoundElement*>(main->GetElementPtrByIndex(0));
  auto* labels = dynamic_cast<IGIS_CompoundElement*>(main->GetElementPtrByIndex(1));
  auto* unit = dynamic_cast<IGIS_TextElement*>(main->GetElementPtrByIndex(2));
  auto* cells = dynamic_cast<IGIS_CompoundElement*>(main->GetElementPtrByIndex(3));
  ASSERT_TRUE(marks && labels && unit && cells);

  const md::layout::detail::BarPlaces p = md::layout::detail::PlaceBar(bar_, "test");
  ASSERT_EQ(marks->GetElementCount(), 10);
  for (int i = 0; i < 10; ++i) {
    IGIS_Geometry* g = marks->GetElementPtrByIndex(i)->GetFeaturePtr()->GetGeometry();
    ASSERT_EQ(g->GetPointCount(), 2);
    const bool division = i < 7;
    const int x = division ? p.divisionMarks[i] : p.subdivisionMarks[i - 7];
    EXPECT_EQ(g->GetPoint(0, 0), SGIS_Point(x, division ? p.divisionFrom : p.subdivisionFrom, 0));
    EXPECT_EQ(g->GetPoint(1, 0), SGIS_Point(x, division ? p.divisionTo : p.subdivisionTo, 0));
  }
  ASSERT_EQ(labels->GetElementCount(), 7);
  for (int i = 0; i < 7; ++i) {
    auto* t = dynamic_cast<IGIS_TextElement*>(labels->GetElementPtrByIndex(i));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(std::string(t->GetText()), std::to_string(i));
    // Standing on the label row, centred on its mark, as drawn.
    const SGIS_Rect r = t->GetRect();
    EXPECT_EQ(r.bottom, p.labelY);
    EXPECT_NEAR((r.left + r.right) / 2.0, p.labels[i].x, 1.0);
  }
  EXPECT_STREQ(unit->GetText(), "km");
  EXPECT_EQ(unit->GetRect().left, p.unitBox.left);
  EXPECT_EQ(unit->GetRect().bottom, p.unitBox.bottom);
  const auto layout = bar_->LayOutCells();
  ASSERT_EQ(cells->GetElementCount(), static_cast<int>(layout.size()));
  for (int i = 0; i < cells->GetElementCount(); ++i) {
    auto* rect = dynamic_cast<IGIS_RectElement*>(cells->GetElementPtrByIndex(i));
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->GetRect(), layout[static_cast<std::size_t>(i)].rect);
    IGIS_Symbol* fill =
        layout[static_cast<std::size_t>(i)].bFirstFill ? bar_->GetSymbol1() : bar_->GetSymbol2();
    EXPECT_EQ(Bytes(rect->GetSymbolPtr()), Bytes(fill));
  }

  // Drawn, the plain elements show what the bar shows.
  PrintPage drawn, plain;
  ASSERT_TRUE(bar_->OnDraw(drawn.hdc, true, drawn.display.get()));
  ASSERT_TRUE(converted->OnDraw(plain.hdc, true, plain.display.get()));
  auto sorted = [](auto v) {
    std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) {
      return std::tie(a.first, a.second.front().x, a.second.front().y) <
             std::tie(b.first, b.second.front().x, b.second.front().y);
    });
    return v;
  };
  EXPECT_EQ(sorted(ShapesOf(*plain.canvas)), sorted(ShapesOf(*drawn.canvas)));
  const auto drawnTexts = drawn.canvas->recordsOf(Record::Type::Text);
  const auto plainTexts = plain.canvas->recordsOf(Record::Type::Text);
  ASSERT_EQ(plainTexts.size(), drawnTexts.size());
  for (const Record* d : drawnTexts) {
    const Record* match = nullptr;
    for (const Record* q : plainTexts) {
      if (q->text.text == d->text.text) match = q;
    }
    ASSERT_NE(match, nullptr) << d->text.text;
    EXPECT_NEAR(match->text.origin.x, d->text.origin.x, 1.0) << d->text.text;
    EXPECT_NEAR(match->text.origin.y, d->text.origin.y, 1.0) << d->text.text;
  }
  md::layout::detail::DropCompound(main);
}

TEST_F(AlternatingDrawing, DrawingAndConvertingChangeNoStoredState) {
  // A frame that has lost its map: drawing and converting only look.
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), -1, 0.5);
  bar_->SetMapElement(frame);
  bar_->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar_->SetDivision(5.0);
  bar_->SetBarWidth(1200);
  ASSERT_TRUE(bar_->Archive(0, 0));
  IGIS_DataBuffer* b = bar_->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  const std::vector<BYTE> before(b->GetData(), b->GetData() + b->GetSize());
  PrintPage page;
  ASSERT_TRUE(bar_->OnDraw(page.hdc, true, page.display.get()));
  auto* converted = dynamic_cast<IGIS_CompoundElement*>(bar_->ConvertToElement());
  ASSERT_NE(converted, nullptr);
  md::layout::detail::DropCompound(converted);
  EXPECT_EQ(bar_->GetDivision(), 5.0);
  EXPECT_EQ(bar_->GetBarWidth(), 1200);
  ASSERT_TRUE(bar_->Archive(0, 0));
  b = bar_->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  EXPECT_TRUE(std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize()) == before);
  // Asked for explicitly, the width is the stored one and the division stays.
  EXPECT_EQ(bar_->GetDivisionWidth(), 1200);
  EXPECT_EQ(bar_->GetDivision(), 5.0);
}

TEST_F(AlternatingDrawing, AConversionThatCannotMakeEveryCellLeavesNoStrayElements) {
  const int before = set_->GetFeatureCount();
  IGIS_Element* whole = bar_->ConvertToElement();
  ASSERT_NE(whole, nullptr);
  const int withCells = set_->GetFeatureCount() - before;
  md::layout::detail::DropCompound(dynamic_cast<IGIS_CompoundElement*>(whole));
  EXPECT_EQ(set_->GetFeatureCount(), before);

  RectLimitedSet limited(set_, 3);
  auto* bar = new CGIS_AlternatingScaleBar(&limited, bar_->GetFeaturePtr());
  ASSERT_TRUE(bar->Archive(1, 0));
  const int start = set_->GetFeatureCount();
  auto* partial = dynamic_cast<IGIS_CompoundElement*>(bar->ConvertToElement());
  ASSERT_NE(partial, nullptr);
  // Marks, labels and unit label are kept; of the cells nothing is.
  EXPECT_EQ(partial->GetElementCount(), 3);
  EXPECT_EQ(set_->GetFeatureCount() - start, withCells - 1 - 9);
  md::layout::detail::DropCompound(partial);
  EXPECT_EQ(set_->GetFeatureCount(), start);
  bar->Release();
}

}  // namespace
}  // namespace md::test
