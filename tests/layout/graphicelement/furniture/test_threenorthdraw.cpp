// Drawing the three-north diagram: what reaches the renderer and the text
// drawer, in which order and under which clip; texts that keep to their
// sectors and rings, clear of each other and of the strokes, in every
// arrangement; long arcs; and the six arrangements rendered to look at and
// checked against their control.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/display/cgis_printdisplay.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "tests/layout/graphicelement/furniture/threenorthtest.h"
#include "tests/support/rendercheck.h"
#include "tests/support/textcells.h"

namespace {

using md::test::kPlaces;
using md::test::LogMark;
using md::test::PaperOf;
using md::test::PlaceRow;
using md::test::RecordingPrinter;
using md::test::SymbolPtr;
using md::test::TextPlace;
using md::test::ThreeNorthPage;

// Symbols measure in points here, as the drawer draws them: fonts of 3
// points make "真" 106 page units wide.
class ThreeNorthDraw : public ThreeNorthPage {
 protected:
  void SetUp() override {
    ThreeNorthPage::SetUp();
    set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO);
  }
  CGIS_ThreeNorthElement* NewDiagram(double c = -10.0, double m = 30.0) {
    return ThreeNorthPage::NewDiagram(c, m, 3);
  }
};

// The six arrangements in print with real fonts, two rows of three; each
// named underneath.
std::unique_ptr<md::canvas::CairoCanvas> RenderSixCases(IGIS_FeatureSet* set, int dpi, bool realFonts,
                                                        bool converted = false) {
  const int paperW = 24000, paperH = 16000;
  auto canvas = md::canvas::CairoCanvas::createPageImage(paperW / 100.0, paperH / 100.0, dpi);
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), PaperOf(paperW, paperH, dpi),
                                     realFonts ? nullptr : &md::text::FixedMetricsEngine());
  CGIS_PrintDisplay display(hdc, paperW, paperH, SGIS_Point(0, paperH, 0));
  set->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO);
  for (int i = 0; i < 6; ++i) {
    auto* e = dynamic_cast<CGIS_ThreeNorthElement*>(set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH));
    SymbolPtr label = md::test::TextSymbol(9);
    SymbolPtr digits = md::test::TextSymbol(8);
    std::strcpy(label->GetFontSizePtr()->lfFaceName, "宋体");
    e->SetAxisTextSymbolPtr(label.get());
    e->SetAngleTextSymbolPtr(digits.get());
    e->SetCoordinateAngle(kPlaces[i].c);
    e->SetMagnetAngle(kPlaces[i].m);
    e->SetAxisLength(5000);
    e->Refresh();
    const SGIS_Rect r = e->GetRect();
    // Centre each diagram in its cell of 80 x 80 mm.
    const int cellX = (i % 3) * 8000, cellY = paperH - (i / 3 + 1) * 8000;
    e->SetLBpoint(SGIS_Point(cellX + (8000 - r.Width()) / 2, cellY + (8000 - r.Height()) / 2, 0));
    if (converted) {
      // What the conversion made, drawn where the diagram was.
      auto* c = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
      if (c != nullptr) {
        const SGIS_Rect placed = e->GetRect();
        c->SetLBpoint(SGIS_Point(placed.left, placed.bottom, 0));
        c->OnDraw(hdc, true, &display);
        DropCompound(c);
      }
    } else {
      e->OnDraw(hdc, true, &display);
    }
    set->DeleteElement(e);
  }
  DeleteDC(hdc);
  return canvas;
}

// Draws a diagram without its frame, its left-bottom corner at (80, 60) mm.
bool DrawFrameless(CGIS_ThreeNorthElement* e, RecordingPrinter& printer) {
  e->SetFramePropertyPtr(nullptr);
  e->SetLBpoint(SGIS_Point(8000, 6000, 0));
  return e->OnDraw(printer.hdc, true, printer.display.get());
}

using md::canvas::Record;
using md::layout::furniture::ThreeNorthAngleText;
using md::layout::furniture::ThreeNorthFigure;
using md::test::CharacterCount;

template <std::size_t N>
std::vector<SGIS_Point> Flat(const std::array<SGIS_Point, N>& a) {
  return {a.begin(), a.end()};
}

using md::test::Cell;

// Whether two convex polygons overlap by more than a hair (separating axes).
bool Overlap(const std::vector<SGIS_DPoint>& p, const std::vector<SGIS_DPoint>& q) {
  for (const auto* poly : {&p, &q}) {
    for (std::size_t i = 0; i < poly->size(); ++i) {
      const SGIS_DPoint& a = (*poly)[i];
      const SGIS_DPoint& b = (*poly)[(i + 1) % poly->size()];
      const double nx = a.y - b.y, ny = b.x - a.x;
      double pmin = 1e300, pmax = -1e300, qmin = 1e300, qmax = -1e300;
      for (const auto& v : p)
        pmin = std::min(pmin, v.x * nx + v.y * ny), pmax = std::max(pmax, v.x * nx + v.y * ny);
      for (const auto& v : q)
        qmin = std::min(qmin, v.x * nx + v.y * ny), qmax = std::max(qmax, v.x * nx + v.y * ny);
      const double len = std::hypot(nx, ny);
      if (len > 0 && (pmax - qmin < 0.5 * len || qmax - pmin < 0.5 * len)) return false;
    }
  }
  return true;
}

TEST_F(ThreeNorthDraw, DrawsItsPiecesInOrderInsideTheClipAndRestoresIt) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  e->SetFramePropertyPtr(nullptr);
  e->SetLBpoint(SGIS_Point(5000, 5000, 0));
  const std::vector<unsigned char> stored = StoredForm(e);
  RecordingPrinter printer;
  ASSERT_TRUE(e->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_EQ(StoredForm(e), stored);  // drawing changes nothing stored

  const ThreeNorthFigure f = e->BuildFigure();
  // Lines, arcs, arrowheads, star, grid tip, magnetic tip, each with the
  // figure's points on the device.
  const std::vector<std::pair<std::vector<SGIS_Point>, bool>> shapes = {
      {{f.centre, f.gridEnd}, false}, {{f.centre, f.magnetEnd}, false}, {{f.centre, f.trueEnd}, false},
      {f.arcs[0].points, false},      {f.arcs[1].points, false},        {f.arcs[2].points, false},
      {Flat(f.arrowheads[0]), false}, {Flat(f.arrowheads[1]), false},   {Flat(f.arrowheads[2]), false},
      {Flat(f.star), true},           {Flat(f.gridMark), false},        {Flat(f.magnetMark), true},
  };
  std::vector<const Record*> drawn;
  for (const Record& r : printer.canvas.records())
    if (r.type == Record::Type::Shape && !(r.shape.kind == md::canvas::ShapeKind::Polygon && !r.shape.fill))
      drawn.push_back(&r);
  ASSERT_EQ(drawn.size(), shapes.size());
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(drawn[i]->shape.kind,
              shapes[i].second ? md::canvas::ShapeKind::Polygon : md::canvas::ShapeKind::Polyline);
    const auto pts = drawn[i]->Points();
    ASSERT_EQ(pts.size(), shapes[i].first.size());
    for (std::size_t k = 0; k < pts.size(); ++k) {
      const SGIS_Point d = printer.Device(shapes[i].first[k]);
      EXPECT_NEAR(pts[k].x, d.x, 1.0);
      EXPECT_NEAR(pts[k].y, d.y, 1.0);
    }
  }
  // The texts: the three labels, then the convergence, the declination and
  // their difference.
  std::string texts;
  for (const Record* r : printer.canvas.recordsOf(Record::Type::Text)) texts += r->text.text;
  EXPECT_EQ(texts, "真子午线坐标纵线磁子午线−10°00′30°00′40°00′");
  // Everything inside the paper's clip, and no clip left behind.
  for (const Record& r : printer.canvas.records()) {
    ASSERT_TRUE(r.state.clip.active);
    ASSERT_EQ(r.state.clip.rects.size(), 1u);
    EXPECT_EQ(r.state.clip.rects[0].right - r.state.clip.rects[0].left, 3000);
  }
  // The context's clip is what it was before.
  RECT box{};
  GetClipBox(printer.hdc, &box);
  RecordingPrinter fresh;
  RECT freshBox{};
  GetClipBox(fresh.hdc, &freshBox);
  EXPECT_EQ(box.left, freshBox.left);
  EXPECT_EQ(box.right, freshBox.right);
  EXPECT_EQ(box.top, freshBox.top);
  EXPECT_EQ(box.bottom, freshBox.bottom);
}

TEST_F(ThreeNorthDraw, TheFramePassesComeBeforeAndAfterTheClip) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  SymbolPtr border(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  e->GetFramePropertyPtr()->SetBorderSymbolPtr(border.get());
  e->SetLBpoint(SGIS_Point(5000, 5000, 0));
  RecordingPrinter printer;
  ASSERT_TRUE(e->OnDraw(printer.hdc, true, printer.display.get()));
  // The border is the last shape, drawn after the texts, once the element's
  // clip was taken away again.
  const auto& records = printer.canvas.records();
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back().type, Record::Type::Shape);
  EXPECT_EQ(records.back().shape.kind, md::canvas::ShapeKind::Polyline);
  EXPECT_EQ(records[records.size() - 2].type, Record::Type::Text);
  // Draft mode on screen: only the frame's box.
  e->GetFramePropertyPtr()->SetDraftMode(true);
  RecordingPrinter draft;
  ASSERT_TRUE(e->OnDraw(draft.hdc, false, draft.display.get()));
  std::string texts;
  for (const Record* r : draft.canvas.recordsOf(Record::Type::Text)) texts += r->text.text;
  EXPECT_EQ(texts.find("真"), std::string::npos);
  // Printing ignores draft mode.
  RecordingPrinter print;
  ASSERT_TRUE(e->OnDraw(print.hdc, true, print.display.get()));
  EXPECT_EQ(print.canvas.recordsOf(Record::Type::Text).size(),
            printer.canvas.recordsOf(Record::Type::Text).size());
}

// A device point seen from the diagram's centre: bearing in degrees
// clockwise from up, and distance in page units (a pixel is 10).
struct Polar {
  double bearing, radius;
};
Polar PolarOf(SGIS_DPoint p, SGIS_Point centre) {
  const double dx = p.x - centre.x, dy = centre.y - p.y;
  return {std::atan2(dx, dy) * 180.0 / 3.14159265358979, std::hypot(dx, dy) * 10.0};
}

// How far a point lies clockwise of the line from the centre at a bearing,
// page units (negative: anticlockwise of it).
double Across(const Polar& p, double bearing) {
  return p.radius * std::sin((p.bearing - bearing) * 3.14159265358979 / 180.0);
}

// A drawn character's cell height, page units (a pixel is 10).
double CellHeight(const md::canvas::TextRun& run) { return (run.font.ascent + run.font.descent) * 10.0; }

// The texts keep to their places in every arrangement, with the fixed
// metrics and with the real fonts: the three angle values, none over
// another, each inside its sector, clear of the lines, standing a quarter of
// its height off its ring and within two digit heights (the value on the
// inner ring that quarter short of the outer ring); each line label
// alongside its line on the side away from the true meridian, a quarter of
// its height inside the inner ring and short of the next line; no text on a
// line, an arc or an arrowhead.
TEST_F(ThreeNorthDraw, EveryTextKeepsToItsSectorAndBand) {
  constexpr double kRounding = 15.0;  // a pixel and a half: device points are whole pixels
  for (const bool real : {false, true}) {
    ASSERT_TRUE(GIS_SetSymbolTextEngine(real ? "freetype" : "fixed"));
    for (const PlaceRow& row : kPlaces) {
      SCOPED_TRACE(std::string(row.name) + (real ? " real fonts" : " fixed metrics"));
      CGIS_ThreeNorthElement* e = NewDiagram(row.c, row.m);
      RecordingPrinter printer(real ? nullptr : &md::text::FixedMetricsEngine());
      ASSERT_TRUE(DrawFrameless(e, printer));
      const ThreeNorthFigure f = e->BuildFigure();
      const SGIS_Point centre = printer.Device(f.centre);
      // The lines' bearings as drawn, one display spacing in degrees.
      const double spacing = 30.0 * 1.57 / 90.0 * 180.0 / 3.14159265358979;
      const double digit = f.r2 - f.r1;  // two digit heights
      const auto runs = printer.canvas.recordsOf(Record::Type::Text);
      ASSERT_EQ(runs.size(), 12u + CharacterCount(ThreeNorthAngleText(row.c)) +
                                 CharacterCount(ThreeNorthAngleText(row.m)) +
                                 CharacterCount(ThreeNorthAngleText(row.m - row.c)));
      std::size_t at = 12;
      const double values[3] = {row.c, row.m, row.m - row.c};
      std::vector<std::vector<std::vector<SGIS_DPoint>>> cells(3);
      for (int t = 0; t < 3; ++t) {
        SCOPED_TRACE("angle text " + std::to_string(t));
        const TextPlace& place = row.texts[t];
        const double ring = place.inner ? f.r1 : f.r2;
        const double top = place.inner ? f.r2 : f.r2 + digit;
        const std::string text = ThreeNorthAngleText(values[t]);
        std::string got;
        for (std::size_t k = 0; k < CharacterCount(text); ++k, ++at) {
          got += runs[at]->text.text;
          cells[t].push_back(Cell(runs[at]->text));
          const double clear = CellHeight(runs[at]->text) / 4.0;
          for (const SGIS_DPoint& corner : cells[t].back()) {
            const Polar p = PolarOf(corner, centre);
            EXPECT_GT(p.bearing, place.from * spacing);
            EXPECT_LT(p.bearing, place.to * spacing);
            EXPECT_GT(p.radius, ring + clear - kRounding);
            EXPECT_LT(p.radius, top - (place.inner ? clear - kRounding : 0.0));
          }
        }
        EXPECT_EQ(got, text);
      }
      for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b)
          for (const auto& p : cells[a])
            for (const auto& q : cells[b]) EXPECT_FALSE(Overlap(p, q)) << "texts " << a << " and " << b;
      // Labels: true meridian, grid north line, magnetic meridian, four
      // characters each, clear of their line on the side away from the true
      // meridian (the true meridian's on its right), short of the next line.
      const double lines[3] = {0.0, e->GetCoordinateDrawAngle() * 1.57 / 90.0 * 180.0 / 3.14159265358979,
                               e->GetMagnetDrawAngle() * 1.57 / 90.0 * 180.0 / 3.14159265358979};
      for (int l = 0; l < 3; ++l) {
        SCOPED_TRACE("label " + std::to_string(l));
        const double side = lines[l] < 0 ? -1.0 : 1.0;
        for (int k = 0; k < 4; ++k) {
          const md::canvas::TextRun& run = runs[l * 4 + k]->text;
          for (const SGIS_DPoint& corner : Cell(run)) {
            const Polar p = PolarOf(corner, centre);
            EXPECT_LT(p.radius, f.r1 - CellHeight(run) / 2.0 + kRounding);
            EXPECT_GT(p.radius, e->GetTxtOffset());
            EXPECT_GT(side * Across(p, lines[l]), CellHeight(run) / 4.0 - kRounding);
            EXPECT_LT(side * Across(p, lines[l] + side * spacing), 0.0);
          }
        }
      }
      // No text touches a line, an arc, an arrowhead or the grid north tip.
      const auto strokes = printer.canvas.shapesOf(md::canvas::ShapeKind::Polyline);
      ASSERT_EQ(strokes.size(), 10u);  // lines, arcs, arrowheads, grid north tip
      for (std::size_t r = 0; r < runs.size(); ++r) {
        const std::vector<SGIS_DPoint> cell = Cell(runs[r]->text);
        for (std::size_t s = 0; s < strokes.size(); ++s) {
          const auto pts = strokes[s]->Points();
          for (std::size_t i = 1; i < pts.size(); ++i) {
            const std::vector<SGIS_DPoint> segment = {SGIS_DPoint(pts[i - 1].x, pts[i - 1].y, 0),
                                                      SGIS_DPoint(pts[i].x, pts[i].y, 0)};
            EXPECT_FALSE(Overlap(cell, segment)) << "text " << r << " and stroke " << s;
          }
        }
      }
      set_->DeleteElement(e);
    }
  }
}

TEST_F(ThreeNorthDraw, LongArcsDrawWithoutOverflow) {
  struct Row {
    double c, m, a;
    std::size_t widest;
    bool capped;
  };
  for (const Row& row :
       {Row{-10, 30, 90, 181, false}, Row{5, 5, 179.5, 360, false}, Row{-10, 30, 1e9, 361, true}}) {
    SCOPED_TRACE(row.a);
    CGIS_ThreeNorthElement* e = NewDiagram(row.c, row.m);
    e->SetAngle(row.a);
    e->Refresh();
    e->SetLBpoint(SGIS_Point(8000, 6000, 0));
    RecordingPrinter printer;
    LogMark mark;
    ASSERT_TRUE(e->OnDraw(printer.hdc, true, printer.display.get()));
    std::size_t widest = 0;
    for (const Record* r : printer.canvas.shapesOf(md::canvas::ShapeKind::Polyline))
      widest = std::max(widest, r->Points().size());
    EXPECT_EQ(widest, row.widest);
    EXPECT_EQ(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_ThreeNorthElement::OnDraw"), row.capped);
    set_->DeleteElement(e);
  }
}

TEST_F(ThreeNorthDraw, FailuresAreLoggedAndDrawNothing) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  RecordingPrinter printer;
  {
    LogMark mark;
    EXPECT_FALSE(e->OnDraw(printer.hdc, true, nullptr));
    EXPECT_TRUE(mark.Has(3, "CGIS_ThreeNorthElement::OnDraw", "p_display == NULL"));
  }
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  LogMark mark;
  EXPECT_FALSE(e->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_TRUE(mark.Has(3, "CGIS_ThreeNorthElement::OnDraw", "p_spatialreference== NULL "));
  EXPECT_TRUE(printer.canvas.records().empty());
}

// The six arrangements, fixed metrics, against their control.
TEST_F(ThreeNorthDraw, SixArrangementsMatchTheirControl) {
  auto canvas = RenderSixCases(set_, 100, false);
  EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas),
                                       "tests/layout/graphicelement/furniture/controls", "threenorth_cases"));
}

TEST_F(ThreeNorthDraw, RendersTheSixArrangementsToLookAt) {
  ASSERT_TRUE(GIS_SetSymbolTextEngine("freetype"));
  auto canvas = RenderSixCases(set_, 300, true);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/threenorth_cases.png"));
  auto converted = RenderSixCases(set_, 300, true, true);
  EXPECT_TRUE(converted->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/threenorth_cases_converted.png"));
}

}  // namespace
