// The grid border drawn round its grid's map frame and converted into plain
// elements: the simple line, the calibrated and alternating bands of the
// table's rows, the dispatch, the clip, stored intervals below 1, and what
// happens without a grid, a frame, a display or a compound.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/gis_elementregistry.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/gridborder/cgis_mapgridborder.h"
#include "platform/win/wingdi.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/layout/graphicelement/grid/gridborder/gridbordertest.h"

namespace {

using md::test::BandRow;
using md::test::GridBorderPage;
using md::test::LogMark;
using md::test::Owned;
using md::test::Painted;

int ElementCount(IGIS_Element* compound) {
  auto* c = dynamic_cast<IGIS_CompoundElement*>(compound);
  return c != nullptr ? c->GetElementCount() : -1;
}

void ExpectNear(const std::vector<Painted>& drawn, const std::vector<Painted>& expected) {
  ASSERT_EQ(drawn.size(), expected.size());
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    EXPECT_EQ(drawn[i].color, expected[i].color) << "piece " << i + 1;
    ASSERT_EQ(drawn[i].points.size(), expected[i].points.size()) << "piece " << i + 1;
    for (std::size_t k = 0; k < drawn[i].points.size(); ++k) {
      EXPECT_NEAR(drawn[i].points[k].x, expected[i].points[k].x, 1.0) << "piece " << i + 1;
      EXPECT_NEAR(drawn[i].points[k].y, expected[i].points[k].y, 1.0) << "piece " << i + 1;
    }
  }
}

// The shapes with each run of equal points as one point (a polygon element
// keeps a flat ring's repeated corners once).
std::vector<Painted> WithoutRepeats(std::vector<Painted> shapes) {
  for (Painted& p : shapes) p.points.erase(std::unique(p.points.begin(), p.points.end()), p.points.end());
  return shapes;
}

// Every band of the table: the drawing fills the walk's pieces in their
// symbols, and the conversion makes one polygon per piece (also for pieces
// without a symbol) that draws exactly as the border did.
class GridBorderBands : public GridBorderPage, public ::testing::WithParamInterface<BandRow> {};

TEST_P(GridBorderBands, DrawingFillsTheWalkAndConversionShowsTheSame) {
  const BandRow& row = GetParam();
  IGIS_MapGridBorder* border = BorderOf(row);
  const std::vector<Painted> drawn = DrawnOnPrinter(border);
  ExpectNear(drawn, Expected(row));
  IGIS_Element* converted = border->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  EXPECT_EQ(ElementCount(converted), static_cast<int>(md::test::Squeezed(row.order).size()));
  if (row.zeroArea) {
    EXPECT_EQ(WithoutRepeats(DrawConverted(converted)), WithoutRepeats(drawn));
  } else {
    EXPECT_EQ(DrawConverted(converted), drawn);
  }
  Discard(converted);
}

std::vector<BandRow> DrawnRows() {
  std::vector<BandRow> rows;
  for (const BandRow& row : md::test::kBandRows())
    if (row.symbols != md::test::BandSymbols::kSame) rows.push_back(row);
  return rows;
}

INSTANTIATE_TEST_SUITE_P(Rows, GridBorderBands, ::testing::ValuesIn(DrawnRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// The simple border strokes the frame's outline from its bottom-left corner,
// through the view, rounded half away from zero.
struct OutlineRow {
  const char* name;
  SGIS_Rect frame;  // left, top, right, bottom
  double origin;    // the page point at device (0, 0) on both axes; one device unit per page unit
  std::vector<md::canvas::Point> points;
};
void PrintTo(const OutlineRow& row, std::ostream* os) { *os << row.name; }

class GridBorderOutline : public GridBorderPage, public ::testing::WithParamInterface<OutlineRow> {};

TEST_P(GridBorderOutline, RunsRoundTheFrameFromItsBottomLeftCorner) {
  const OutlineRow& row = GetParam();
  frame_->SetRect(row.frame);
  IGIS_MapGridBorder* border = grid_->GetBorder();
  Owned<IGIS_Symbol> line(md::test::NewSymbol(GIS_SYMBOL_LINE, RGB(200, 0, 0)));
  border->SetSimpleSymbolPtr(line.get());
  md::test::Screen screen;
  ASSERT_TRUE(screen.display->GetPageView()->SetMapping(row.origin, row.origin, 1.0, 1.0));
  EXPECT_TRUE(border->Draw(screen.hdc, false, screen.display.get()));
  const std::vector<Painted> drawn = md::test::PaintedOf(screen.canvas);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_FALSE(drawn[0].fill);
  EXPECT_EQ(drawn[0].color, RGB(200, 0, 0));
  EXPECT_EQ(drawn[0].points, row.points);
  // Converted: one polyline through the same points.
  IGIS_Element* converted = border->ConvertToElement();
  ASSERT_EQ(ElementCount(converted), 1);
  std::vector<Painted> again = DrawConverted(converted);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0], DrawnOnPrinter(border)[0]);
  Discard(converted);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GridBorderOutline,
    ::testing::Values(OutlineRow{"OneToOne",
                                 SGIS_Rect(1000, 4000, 5000, 1000),
                                 0.0,
                                 {{1000, 1000}, {5000, 1000}, {5000, 4000}, {1000, 4000}, {1000, 1000}}},
                      OutlineRow{"HalfUnitsRoundAway",
                                 SGIS_Rect(0, 5, 5, 0),
                                 2.5,
                                 {{-3, -3}, {3, -3}, {3, 3}, {-3, 3}, {-3, -3}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Draw picks the form by the border type and the alternating switch.
TEST_F(GridBorderPage, DrawDispatchesOnTheTypeAndTheAlternatingSwitch) {
  struct Row {
    int type;
    bool alternating;
    std::size_t strokes, fills;
  };
  const Row rows[] = {
      {0, false, 1, 0}, {0, true, 1, 0}, {1, false, 0, 18}, {5, false, 0, 18}, {-1, true, 0, 36}};
  for (const Row& r : rows) {
    BandRow band{.name = "dispatch", .right = 1000, .top = 800, .width = 50, .interval = 200};
    band.alternating = r.alternating;
    IGIS_MapGridBorder* border = BorderOf(band);
    border->SetBorderType(r.type);
    std::size_t strokes = 0, fills = 0;
    for (const Painted& p : DrawnOnPrinter(border)) ++(p.fill ? fills : strokes);
    EXPECT_EQ(strokes, r.strokes) << r.type << " " << r.alternating;
    EXPECT_EQ(fills, r.fills) << r.type << " " << r.alternating;
  }
}

// Every form leaves the context's clip as it found it, on a printer (which
// clips every piece to the paper) and on a screen (which does not clip).
TEST_F(GridBorderPage, EveryFormLeavesTheClipAsItFoundIt) {
  for (int form = 0; form < 3; ++form) {
    BandRow band{.name = "clip", .right = 1000, .top = 800, .width = 50, .interval = 200};
    band.alternating = form == 2;
    IGIS_MapGridBorder* border = BorderOf(band);
    border->SetBorderType(form == 0 ? GIS_GRIDBORDER_SIMPLE : GIS_GRIDBORDER_CALIBRATED);
    for (bool printing : {true, false}) {
      md::test::Printer printer;
      md::test::Screen screen;
      HDC hdc = printing ? printer.hdc : screen.hdc;
      IGIS_Display* display =
          printing ? static_cast<IGIS_Display*>(printer.display.get()) : screen.display.get();
      HRGN before = CreateRectRgn(10, 20, 300, 400);
      SelectClipRgn(hdc, before);
      EXPECT_TRUE(border->Draw(hdc, printing, display));
      HRGN after = CreateRectRgn(0, 0, 0, 0);
      ASSERT_EQ(GetClipRgn(hdc, after), 1);
      EXPECT_TRUE(EqualRgn(before, after)) << form << " " << printing;
      const auto& canvas = printing ? printer.canvas : screen.canvas;
      const auto shapes = canvas.recordsOf(md::canvas::Record::Type::Shape);
      EXPECT_FALSE(shapes.empty()) << form << " " << printing;
      for (const md::canvas::Record* rec : shapes) EXPECT_TRUE(rec->state.clip.active);
      DeleteObject(before);
      DeleteObject(after);
    }
  }
}

// A stored interval below the setter's minimum, 20, stays as stored; the
// band is walked with bars of 20.
TEST_F(GridBorderPage, AStoredIntervalBelowTheMinimumIsWalkedWithTheMinimum) {
  for (int stored : {0, -7, 1, 19}) {
    BandRow row{.name = "stored", .right = 1000, .top = 800, .width = 50, .interval = 20};
    IGIS_MapGridBorder* border = BorderOf(row);
    Owned<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
    set->AddProperty("Interval", "Interval", GIS_FIELD_TYPE_INT, 1)->SetInt(stored);
    Owned<IGIS_DataBuffer> bytes(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(set->Archive(bytes.get(), GIS_ARCHIVE_WRITE, 0));
    ASSERT_TRUE(border->Open(bytes.get()));
    ASSERT_EQ(border->GetInterval(), stored);
    const std::vector<Painted> drawn = DrawnOnPrinter(border);
    ExpectNear(drawn, Expected(row));
    IGIS_Element* converted = border->ConvertToElement();
    EXPECT_EQ(ElementCount(converted), static_cast<int>(md::test::LayBand(row).size()));
    Discard(converted);
    EXPECT_EQ(border->GetInterval(), stored);
  }
}

// Without a grid, a frame or a display nothing is drawn and Draw still says
// TRUE; a missing display is recorded by the form's routine.
TEST_F(GridBorderPage, WithoutGridFrameOrDisplayNothingIsDrawn) {
  BandRow row{.name = "none", .right = 1000, .top = 800, .width = 50, .interval = 200};
  IGIS_MapGridBorder* border = BorderOf(row);
  Owned<IGIS_MapGridBorder> loose(border->Clone());
  loose->SetMapGrid(nullptr);
  md::test::Printer printer;
  LogMark mark;
  EXPECT_TRUE(loose->Draw(printer.hdc, true, printer.display.get()));
  EXPECT_EQ(loose->ConvertToElement(), nullptr);
  grid_->SetMapElement(nullptr);
  EXPECT_TRUE(border->Draw(printer.hdc, true, printer.display.get()));
  EXPECT_EQ(border->ConvertToElement(), nullptr);
  EXPECT_TRUE(printer.canvas.records().empty());
  EXPECT_EQ(mark.Count(), 0u);

  grid_->SetMapElement(frame_);
  const std::pair<int, const char*> forms[] = {
      {GIS_GRIDBORDER_SIMPLE, "CGIS_MapGridBorder::OnDraw"},
      {GIS_GRIDBORDER_CALIBRATED, "CGIS_MapGridBorder::DrawCalibratedBorder"}};
  for (const auto& [type, method] : forms) {
    border->SetBorderType(type);
    LogMark m;
    EXPECT_TRUE(border->Draw(printer.hdc, true, nullptr));
    EXPECT_EQ(m.Count(3, method, "p_display == NULL"), 1) << method;
  }
  border->SetAlternating(true);
  LogMark m;
  EXPECT_TRUE(border->Draw(printer.hdc, true, nullptr));
  EXPECT_EQ(m.Count(3, "CGIS_MapGridBorder::DrawAlternatingBorder", "p_display == NULL"), 1);
  EXPECT_TRUE(printer.canvas.records().empty());
}

// A simple border converts into one five-point polyline whatever its band
// settings, also without a symbol; nothing draws without a symbol.
TEST_F(GridBorderPage, ASimpleBorderIsOnePolylineAlsoWithoutItsSymbol) {
  BandRow row{.name = "simple", .right = 1000, .top = 800, .width = 77, .interval = 33, .alternating = true};
  IGIS_MapGridBorder* border = BorderOf(row);
  border->SetBorderType(GIS_GRIDBORDER_SIMPLE);
  border->SetSimpleSymbolPtr(nullptr);
  md::test::Printer printer;
  EXPECT_TRUE(border->Draw(printer.hdc, true, printer.display.get()));
  EXPECT_TRUE(printer.canvas.records().empty());
  IGIS_Element* converted = border->ConvertToElement();
  ASSERT_EQ(ElementCount(converted), 1);
  IGIS_Element* line = dynamic_cast<IGIS_CompoundElement*>(converted)->GetElementPtrByIndex(0);
  EXPECT_STREQ(line->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  EXPECT_EQ(line->GetRect(), SGIS_Rect(0, 800, 1000, 0));
  Discard(converted);
}

// When the page makes no compound the conversion gives NULL and leaves
// nothing on the page.
TEST_F(GridBorderPage, WithoutACompoundNothingIsMade) {
  BandRow row{.name = "nocompound", .right = 1000, .top = 800, .width = 50, .interval = 200};
  IGIS_MapGridBorder* border = BorderOf(row);
  const int before = set_->GetFeatureCount();
  GIS_SetElementHooks(nullptr);
  EXPECT_EQ(border->ConvertToElement(), nullptr);
  md::layout::InstallElementHooks();
  EXPECT_EQ(set_->GetFeatureCount(), before);
}

}  // namespace
