// Drawing the three-north diagram: what reaches the renderer and the text
// drawer, in which order and under which clip; texts that keep clear of
// each other in every arrangement; long arcs; and the six arrangements
// rendered to look at and checked against their control.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/display/cgis_printdisplay.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "tests/layout/graphicelement/furniture/threenorthtest.h"
#include "tests/support/rendercheck.h"

namespace {

using md::test::LogMark;
using md::test::SymbolPtr;
using md::test::ThreeNorthPage;

md::win::PrinterSetup PaperOf(int paperW, int paperH, int dpi) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = dpi;
  setup.paperWidthMm = paperW / 100.0;
  setup.paperHeightMm = paperH / 100.0;
  return setup;
}

struct CaseRow {
  const char* name;
  double c, m;
};
const CaseRow kCases[] = {{"Z+", -10, 30}, {"Z-", 3, 0},  {"A", 5, 5},
                          {"B", 7, 5},     {"C", -7, -5}, {"D", -5, -5}};

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
std::unique_ptr<md::canvas::CairoCanvas> RenderSixCases(IGIS_FeatureSet* set, int dpi, bool realFonts) {
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
    e->SetCoordinateAngle(kCases[i].c);
    e->SetMagnetAngle(kCases[i].m);
    e->SetAxisLength(5000);
    e->Refresh();
    const SGIS_Rect r = e->GetRect();
    // Centre each diagram in its cell of 80 x 80 mm.
    const int cellX = (i % 3) * 8000, cellY = paperH - (i / 3 + 1) * 8000;
    e->SetLBpoint(SGIS_Point(cellX + (8000 - r.Width()) / 2, cellY + (8000 - r.Height()) / 2, 0));
    e->OnDraw(hdc, true, &display);
    set->DeleteElement(e);
  }
  DeleteDC(hdc);
  return canvas;
}

// A printer of 300 x 200 mm at 254 dpi (1 pixel = 0.1 mm) over a recording
// canvas, its view clipping to the paper.
struct RecordingPrinter {
  RecordingPrinter() : canvas(3000, 2000) {
    hdc = md::win::CreatePrinterDC(&canvas, PaperOf(30000, 20000, 254), &md::text::FixedMetricsEngine());
    display = std::make_unique<CGIS_PrintDisplay>(hdc, 30000, 20000, SGIS_Point(0, 20000, 0));
    display->PrepareDC();
  }
  ~RecordingPrinter() { DeleteDC(hdc); }
  // Page to device pixels: through the view to logical units, then the
  // context's mapping.
  SGIS_Point Device(SGIS_Point p) {
    const SGIS_Point l = display->GetView()->PageToDevicePoint(p, nullptr);
    POINT d{l.x, l.y};
    LPtoDP(hdc, &d, 1);
    return SGIS_Point(d.x, d.y, 0);
  }
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

using md::canvas::Record;
using md::layout::furniture::ThreeNorthFigure;

template <std::size_t N>
std::vector<SGIS_Point> Flat(const std::array<SGIS_Point, N>& a) {
  return {a.begin(), a.end()};
}

// The four corners of a drawn character's cell on the device.
std::vector<SGIS_DPoint> Cell(const md::canvas::TextRun& run) {
  double w = 0;
  for (double a : run.advances) w += a;
  const double t = run.angle * 3.14159265358979 / 180.0;
  const double ux = std::cos(t), uy = -std::sin(t);   // along the baseline
  const double vx = -std::sin(t), vy = -std::cos(t);  // up the glyph
  const double a = run.font.ascent, d = run.font.descent;
  const double ox = run.origin.x, oy = run.origin.y;
  return {
      SGIS_DPoint(ox - vx * d, oy - vy * d, 0), SGIS_DPoint(ox + ux * w - vx * d, oy + uy * w - vy * d, 0),
      SGIS_DPoint(ox + ux * w + vx * a, oy + uy * w + vy * a, 0), SGIS_DPoint(ox + vx * a, oy + vy * a, 0)};
}

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
  EXPECT_EQ(texts, "真子午线坐标纵线磁子午线-103040");
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

TEST_F(ThreeNorthDraw, NoTwoAngleTextsOverlapInAnyArrangement) {
  for (const CaseRow& row : kCases) {
    SCOPED_TRACE(row.name);
    CGIS_ThreeNorthElement* e = NewDiagram(row.c, row.m);
    e->SetFramePropertyPtr(nullptr);
    e->SetLBpoint(SGIS_Point(8000, 6000, 0));
    RecordingPrinter printer;
    ASSERT_TRUE(e->OnDraw(printer.hdc, true, printer.display.get()));
    const auto runs = printer.canvas.recordsOf(Record::Type::Text);
    const std::string values[3] = {md::layout::furniture::ThreeNorthDegreesText(row.c),
                                   md::layout::furniture::ThreeNorthDegreesText(row.m),
                                   md::layout::furniture::ThreeNorthDegreesText(row.m - row.c)};
    std::size_t at = 12;  // after the label characters
    std::vector<std::vector<std::vector<SGIS_DPoint>>> cells(3);
    for (int t = 0; t < 3; ++t) {
      std::string got;
      for (std::size_t k = 0; k < values[t].size(); ++k, ++at) {
        ASSERT_LT(at, runs.size());
        got += runs[at]->text.text;
        cells[t].push_back(Cell(runs[at]->text));
      }
      EXPECT_EQ(got, values[t]);
    }
    EXPECT_EQ(at, runs.size());
    for (int a = 0; a < 3; ++a)
      for (int b = a + 1; b < 3; ++b)
        for (const auto& p : cells[a])
          for (const auto& q : cells[b]) EXPECT_FALSE(Overlap(p, q)) << "texts " << a << " and " << b;
    set_->DeleteElement(e);
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
  auto canvas = RenderSixCases(set_, 150, true);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/threenorth_cases.png"));
}

}  // namespace
