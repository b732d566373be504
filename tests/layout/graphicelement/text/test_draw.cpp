// Drawing the text element: anchors, the frame's two passes around the
// text, line breaks and turned texts measured and drawn by both engines, and
// a rendered page to look at.
#include <algorithm>
#include <string>

#include "host/display/cgis_printdisplay.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/win/gdidevice.h"
#include "tests/layout/graphicelement/text/texttest.h"
#include "tests/support/rendercheck.h"
#include "tests/support/textcells.h"

namespace {

using md::canvas::Record;
using md::canvas::TextRun;
using md::test::LogMark;
using md::test::ScreenOnRecording;
using md::test::SymbolPtr;
using md::test::TextPage;

// Whether p lies in the convex polygon, allowing tol pixels outside it.
bool InsideConvex(const std::vector<SGIS_DPoint>& poly, const SGIS_DPoint& p, double tol) {
  double area = 0;
  const std::size_t n = poly.size();
  for (std::size_t i = 0; i < n; ++i) {
    const SGIS_DPoint& a = poly[i];
    const SGIS_DPoint& b = poly[(i + 1) % n];
    area += a.x * b.y - b.x * a.y;
  }
  const double sign = area >= 0 ? 1.0 : -1.0;
  for (std::size_t i = 0; i < n; ++i) {
    const SGIS_DPoint& a = poly[i];
    const SGIS_DPoint& b = poly[(i + 1) % n];
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    if (len == 0) continue;
    const double dist = ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / len;
    if (sign * dist < -tol) return false;
  }
  return true;
}

// A printer without margins on paper of the size (0.01 mm) at the resolution.
md::win::PrinterSetup PaperOf(int paperW, int paperH, int dpi) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = dpi;
  setup.paperWidthMm = paperW / 100.0;
  setup.paperHeightMm = paperH / 100.0;
  return setup;
}

class TextDraw : public TextPage {
 protected:
  void SetUp() override {
    TextPage::SetUp();
    UsePointUnits();
  }
  // The element's outline on the device.
  std::vector<SGIS_DPoint> DeviceOutline(IGIS_Element* e, ScreenOnRecording& screen) {
    std::vector<SGIS_DPoint> out;
    const auto ring = Outline(e);
    for (int i = 0; i < 4; ++i) out.push_back(screen.Device(ring[i]));
    return out;
  }
};

// Anchor type, the alignment code it gives the drawer, and where the anchor
// point lies in the drawn text's box (fractions from the left and the top).
struct AnchorDrawRow {
  int anchor;
  int alignment;
  double fromLeft, fromTop;
};
const AnchorDrawRow kAnchorDrawRows[] = {
    {0, 4, 0, 0},   {1, 5, 0.5, 0}, {2, 6, 1, 0},   {3, 3, 0, 0.5}, {4, 0, 0.5, 0.5},
    {5, 7, 1, 0.5}, {6, 2, 0, 1},   {7, 1, 0.5, 1}, {8, 8, 1, 1},
};

TEST_F(TextDraw, EachAnchorCodePutsTheTextWhereItSays) {
  CGIS_TextElement* e = NewText("Ab中文", 40);  // 120 x 40 pixels
  const SGIS_Point anchor(5000, 12000, 0);
  for (const AnchorDrawRow& row : kAnchorDrawRows) {
    SCOPED_TRACE(row.anchor);
    e->SetPoint(anchor, row.anchor);
    ScreenOnRecording screen;
    ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
    const auto runs = screen.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]->text, "Ab中文");
    EXPECT_NEAR(runs[0]->font.emHeight, 40, 1e-9);
    const double left = runs[0]->origin.x, top = runs[0]->origin.y - 32;
    const SGIS_DPoint a = screen.Device(anchor);
    EXPECT_NEAR(a.x, left + row.fromLeft * 120, 1.0);
    EXPECT_NEAR(a.y, top + row.fromTop * 40, 1.0);
    // The drawn box is the element's rectangle.
    const SGIS_Rect r = e->GetRect();
    EXPECT_NEAR(screen.Device(SGIS_Point(r.left, r.top, 0)).x, left, 1.0);
    EXPECT_NEAR(screen.Device(SGIS_Point(r.left, r.top, 0)).y, top, 1.0);
  }
}

// The element's stored bytes.
std::string StoredBytes(IGIS_Element* e) {
  EXPECT_TRUE(e->Archive(0, 0));
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  if (b == nullptr || b->GetData() == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(b->GetData()), b->GetSize());
}

TEST_F(TextDraw, DrawingAtEveryAnchorLeavesTheStoredBytesAsTheyWere) {
  CGIS_TextElement* e = NewText("Ab", 40);
  for (const AnchorDrawRow& row : kAnchorDrawRows) {
    SCOPED_TRACE(row.anchor);
    e->SetPoint(SGIS_Point(5000, 12000, 0), row.anchor);
    const std::string before = StoredBytes(e);
    ASSERT_FALSE(before.empty());
    for (bool print : {false, true}) {
      ScreenOnRecording screen;
      ASSERT_TRUE(e->OnDraw(screen.hdc, print, &screen.display));
      EXPECT_EQ(StoredBytes(e), before) << (print ? "printed" : "shown");
    }
  }
}

TEST_F(TextDraw, FramedTextDrawsShadowAndBackgroundThenTextThenBorder) {
  CGIS_TextElement* e = NewText("框中的字", 20);
  e->SetLBpoint(SGIS_Point(3000, 10000, 0));
  IGIS_FrameProperty* f = e->GetFramePropertyPtr();
  ASSERT_NE(f, nullptr);
  SymbolPtr shadow(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL));
  SymbolPtr back(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL));
  SymbolPtr border(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  shadow->SetColor(RGB(128, 128, 128));
  back->SetColor(RGB(255, 255, 200));
  border->SetColor(RGB(0, 0, 160));
  f->SetShadowSymbolPtr(shadow.get());
  f->SetBackSymbolPtr(back.get());
  f->SetBorderSymbolPtr(border.get());
  f->SetShadowOffSetX(100);
  f->SetShadowOffSetY(-100);
  f->SetBackX(100);
  f->SetBorderX(150);

  ScreenOnRecording screen;
  ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
  const auto& records = screen.canvas.records();
  auto first = [&](auto pred) {
    for (std::size_t i = 0; i < records.size(); ++i)
      if (pred(records[i])) return static_cast<int>(i);
    return -1;
  };
  const int iShadow = first([](const Record& r) {
    return r.type == Record::Type::Shape && r.shape.fill && r.brush.color == RGB(128, 128, 128);
  });
  const int iBack = first([](const Record& r) {
    return r.type == Record::Type::Shape && r.shape.fill && r.brush.color == RGB(255, 255, 200);
  });
  const int iText = first([](const Record& r) { return r.type == Record::Type::Text; });
  const int iBorder = first([](const Record& r) {
    return r.type == Record::Type::Shape && r.shape.stroke && r.pen.color == RGB(0, 0, 160);
  });
  ASSERT_GE(iShadow, 0);
  ASSERT_GE(iBack, 0);
  ASSERT_GE(iText, 0);
  ASSERT_GE(iBorder, 0);
  EXPECT_LT(iShadow, iBack);
  EXPECT_LT(iBack, iText);
  EXPECT_LT(iText, iBorder);
  // Nothing of the text is drawn after the border.
  for (std::size_t i = static_cast<std::size_t>(iBorder); i < records.size(); ++i) {
    EXPECT_NE(records[i].type, Record::Type::Text);
  }
  // Without a frame only the text is drawn.
  e->SetFramePropertyPtr(nullptr);
  ScreenOnRecording plain;
  ASSERT_TRUE(e->OnDraw(plain.hdc, false, &plain.display));
  for (const Record& rec : plain.canvas.records()) EXPECT_EQ(rec.type, Record::Type::Text);
}

// Two lines of Chinese with each engine and each kind of line break: as tall
// as two lines, as wide as the longer line.
TEST_F(TextDraw, TwoLineChineseMeasuresAsItsLines) {
  for (const char* engine : {"fixed", "freetype"}) {
    for (const char* text : {"中文标注\n第二行", "中文标注\r\n第二行", "中文标注\r第二行"}) {
      SCOPED_TRACE(std::string(engine) + " " + text);
      ASSERT_TRUE(GIS_SetSymbolTextEngine(engine));
      CGIS_TextElement* both = NewText(text, 30);
      CGIS_TextElement* first = NewText("中文标注", 30);
      CGIS_TextElement* second = NewText("第二行", 30);
      const SGIS_Rect b = both->GetRect(), f = first->GetRect(), s = second->GetRect();
      EXPECT_GT(f.Width(), s.Width());
      EXPECT_NEAR(b.Width(), std::max(f.Width(), s.Width()), 36);  // one point
      EXPECT_NEAR(b.Height(), f.Height() + s.Height(), 36);
      EXPECT_GT(b.Height(), f.Height() * 3 / 2);
    }
  }
}

// Rows: engine, angle of the text symbol, anchor type, line break.
struct TurnRow {
  const char* engine;
  double angle;
  int anchor;
  const char* lineBreak = "\n";
};
const TurnRow kTurnRows[] = {
    {"fixed", 0, 6},     {"fixed", 30, 6},     {"fixed", 30, 4},         {"fixed", 90, 0},
    {"fixed", 200, 8},   {"fixed", -45, 2},    {"fixed", 60, 7, "\r\n"}, {"freetype", 0, 6},
    {"freetype", 30, 6}, {"freetype", 120, 1}, {"freetype", 315, 5},     {"freetype", 10, 3, "\r"},
};

TEST_F(TextDraw, BothLinesAreDrawnInsideTheOutlineAlsoWhenTurned) {
  for (const TurnRow& row : kTurnRows) {
    SCOPED_TRACE(std::string(row.engine) + " " + std::to_string(row.angle) + " " +
                 std::to_string(row.anchor));
    ASSERT_TRUE(GIS_SetSymbolTextEngine(row.engine));
    md::text::TextEngine* dcEngine =
        std::string(row.engine) == "fixed" ? &md::text::FixedMetricsEngine() : &md::text::FreeTypeEngine();
    const std::string text = std::string("中文标注") + row.lineBreak + "第二行";
    CGIS_TextElement* e = NewText(text.c_str(), 30, row.angle);
    e->SetPoint(SGIS_Point(10000, 10000, 0), row.anchor);
    ScreenOnRecording screen;
    md::win::SetDCTextEngine(screen.hdc, dcEngine);
    ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
    const auto runs = screen.Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0]->text, "中文标注");
    EXPECT_EQ(runs[1]->text, "第二行");
    const auto outline = DeviceOutline(e, screen);
    for (const TextRun* run : runs) {
      for (const SGIS_DPoint& c : md::test::Cell(*run)) {
        EXPECT_TRUE(InsideConvex(outline, c, 2.0)) << run->text << " corner " << c.x << ", " << c.y;
      }
    }
    // The lines fill the outline: the first line's top-left cell corner is
    // the outline's top-left corner (P3).
    const SGIS_DPoint p3 = outline[3];
    const SGIS_DPoint topLeft = md::test::Cell(*runs[0])[3];  // above the origin
    EXPECT_NEAR(topLeft.x, p3.x, 2.0);
    EXPECT_NEAR(topLeft.y, p3.y, 2.0);
  }
}

// Printing: the view clips, so the text is drawn under the paper's clip and
// the context's own clip is back afterwards.
TEST_F(TextDraw, PrintingClipsTheTextToThePaperAndRestoresTheClip) {
  md::canvas::RecordingCanvas canvas(1200, 1000);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 100;
  setup.paperWidthMm = 100;
  setup.paperHeightMm = 80;
  HDC hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
  CGIS_PrintDisplay display(hdc, 10000, 8000, SGIS_Point(0, 8000, 0));
  ASSERT_TRUE(display.GetView()->IsClipping());
  CGIS_TextElement* e = NewText("纸边的字 across the edge", 20);
  e->SetPoint(SGIS_Point(9000, 4000, 0), vexaLeftCenter);  // runs off the paper's right edge
  ASSERT_TRUE(e->OnDraw(hdc, true, &display));
  MoveToEx(hdc, 100, -100, nullptr);
  LineTo(hdc, 200, -200);
  DeleteDC(hdc);
  const auto texts = canvas.recordsOf(Record::Type::Text);
  ASSERT_EQ(texts.size(), 1u);
  const md::canvas::Clip& clip = texts[0]->state.clip;
  ASSERT_TRUE(clip.active);
  ASSERT_FALSE(clip.rects.empty());
  int right = clip.rects[0].right, bottom = clip.rects[0].bottom;
  for (const md::canvas::Rect& r : clip.rects) {
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    right = std::max(right, r.right);
    bottom = std::max(bottom, r.bottom);
  }
  EXPECT_NEAR(right, 394, 2);  // 100 mm at 100 dpi
  EXPECT_NEAR(bottom, 315, 2);
  const auto lines = canvas.shapesOf(md::canvas::ShapeKind::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_FALSE(lines[0]->state.clip.active);
}

TEST_F(TextDraw, DrawingFailuresAreLogged) {
  CGIS_TextElement* e = NewText("abc", 20);
  ScreenOnRecording screen;
  {
    LogMark mark;
    EXPECT_FALSE(e->OnDraw(screen.hdc, false, nullptr));
    EXPECT_TRUE(mark.Has(3, "CGIS_TextElement::OnDraw", "p_display == NULL"));
  }
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  LogMark mark;
  EXPECT_FALSE(e->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_TRUE(mark.Has(3, "CGIS_TextElement::OnDraw", "p_spatialreference== NULL "));
  EXPECT_TRUE(screen.canvas.records().empty());
}

// A page of anchored, turned, framed, multi-line Chinese and Latin texts,
// printed with real fonts into a PNG; each element's outline is drawn thinly
// in red over it, so that one can see the text sits in its outline.
TEST_F(TextDraw, RendersAPageToLookAt) {
  ASSERT_TRUE(GIS_SetSymbolTextEngine("freetype"));
  const int paperW = 16000, paperH = 11000;  // 0.01 mm
  auto canvas = md::canvas::CairoCanvas::createPageImage(paperW / 100.0, paperH / 100.0, 150);
  ASSERT_NE(canvas, nullptr);
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), PaperOf(paperW, paperH, 150), nullptr);
  CGIS_PrintDisplay display(hdc, paperW, paperH, SGIS_Point(0, paperH, 0));

  struct Item {
    const char* text;
    int height;
    double angle;
    int anchor;
    SGIS_Point at;
    bool framed;
  };
  const Item items[] = {
      {"Top left", 14, 0, 0, {1500, 10000, 0}, false},
      {"Centre 中心", 14, 0, 4, {8000, 9600, 0}, false},
      {"Bottom right", 14, 0, 8, {14500, 9200, 0}, false},
      {"地图整饰\n第二行 Line 2", 20, 0, 6, {1500, 5600, 0}, true},
      {"旋转三十度\nTurned 30°", 18, 30, 4, {8200, 5200, 0}, true},
      {"竖排九十度", 16, 90, 6, {14800, 3500, 0}, false},
      {"Latin framed\ntwo lines", 16, -15, 2, {6500, 2400, 0}, true},
      {"倒置 200°", 16, 200, 4, {12200, 1800, 0}, false},
  };
  SymbolPtr shadow(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL));
  SymbolPtr back(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL));
  SymbolPtr border(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  shadow->SetColor(RGB(150, 150, 150));
  back->SetColor(RGB(255, 250, 205));
  border->SetColor(RGB(20, 40, 140));
  std::vector<CGIS_TextElement*> elements;
  for (const Item& it : items) {
    CGIS_TextElement* e = NewText(it.text, it.height, it.angle);
    e->GetSymbolPtr()->SetColor(RGB(10, 10, 10));
    e->SetPoint(it.at, it.anchor);
    IGIS_FrameProperty* f = e->GetFramePropertyPtr();
    if (it.framed) {
      f->SetShadowSymbolPtr(shadow.get());
      f->SetBackSymbolPtr(back.get());
      f->SetBorderSymbolPtr(border.get());
      f->SetShadowOffSetX(250);
      f->SetShadowOffSetY(-250);
      f->SetBackX(120);
      f->SetBackY(120);
      f->SetBorderX(120);
      f->SetBorderY(120);
    }
    ASSERT_TRUE(e->OnDraw(hdc, true, &display));
    elements.push_back(e);
  }
  // Outlines and anchors in red.
  HPEN pen = CreatePen(PS_SOLID, 0, RGB(230, 0, 0));
  HGDIOBJ old = SelectObject(hdc, pen);
  for (std::size_t i = 0; i < elements.size(); ++i) {
    auto ring = Outline(elements[i]);
    std::vector<POINT> pts;
    for (const SGIS_Point& p : ring) {
      const SGIS_Point d = display.GetView()->PageToDevicePoint(p, nullptr);
      pts.push_back(POINT{d.x, d.y});
    }
    Polyline(hdc, pts.data(), static_cast<int>(pts.size()));
    const SGIS_Point a = display.GetView()->PageToDevicePoint(items[i].at, nullptr);
    MoveToEx(hdc, a.x - 60, a.y, nullptr);
    LineTo(hdc, a.x + 60, a.y);
    MoveToEx(hdc, a.x, a.y - 60, nullptr);
    LineTo(hdc, a.x, a.y + 60);
  }
  SelectObject(hdc, old);
  DeleteObject(pen);
  canvas->flush();

  // Every element left dark text pixels inside its rectangle.
  for (CGIS_TextElement* e : elements) {
    const SGIS_Rect r = e->GetRect();
    const SGIS_Point tl = display.GetView()->PageToDevicePoint(SGIS_Point(r.left, r.top, 0), nullptr);
    const SGIS_Point br = display.GetView()->PageToDevicePoint(SGIS_Point(r.right, r.bottom, 0), nullptr);
    POINT p[2] = {{tl.x, tl.y}, {br.x, br.y}};
    LPtoDP(hdc, p, 2);
    md::canvas::Rect box{p[0].x, p[0].y, p[1].x, p[1].y};
    const int w = box.right - box.left, h = box.bottom - box.top;
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
    ASSERT_TRUE(canvas->readPixels(box, px.data()));
    const auto dark = std::count_if(px.begin(), px.end(), [](std::uint32_t c) {
      return ((c >> 16) & 0xFF) < 80 && ((c >> 8) & 0xFF) < 80 && (c & 0xFF) < 80;
    });
    EXPECT_GT(dark, 20) << e->GetText();
  }
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/text_elements.png"));
  DeleteDC(hdc);
}

// Every anchor position at each turn: one picture per angle, nine texts on
// a three-by-three grid, each anchored on a grey cross at its anchor point,
// printed with the fixed-metrics engine and compared with its control.
TEST_F(TextDraw, EveryAnchorAtEveryTurnMatchesItsControl) {
  const int paperW = 12000, paperH = 9000;  // 0.01 mm
  const double angles[] = {0, 30, 90, 180, 270, -45};
  for (double angle : angles) {
    SCOPED_TRACE(angle);
    auto canvas = md::canvas::CairoCanvas::createPageImage(paperW / 100.0, paperH / 100.0, 100);
    ASSERT_NE(canvas, nullptr);
    HDC hdc =
        md::win::CreatePrinterDC(canvas.get(), PaperOf(paperW, paperH, 100), &md::text::FixedMetricsEngine());
    ASSERT_NE(hdc, nullptr);
    {
      CGIS_PrintDisplay display(hdc, paperW, paperH, SGIS_Point(0, paperH, 0));
      HPEN pen = CreatePen(PS_SOLID, 0, RGB(160, 160, 160));
      HGDIOBJ old = SelectObject(hdc, pen);
      for (int anchor = 0; anchor < 9; ++anchor) {
        const SGIS_Point at(2000 + (anchor % 3) * 4000, 7500 - (anchor / 3) * 3000, 0);
        const SGIS_Point d = display.GetView()->PageToDevicePoint(at, nullptr);
        MoveToEx(hdc, d.x - 40, d.y, nullptr);
        LineTo(hdc, d.x + 40, d.y);
        MoveToEx(hdc, d.x, d.y - 40, nullptr);
        LineTo(hdc, d.x, d.y + 40);
        CGIS_TextElement* e = NewText("Ab中", 24, angle);
        e->GetSymbolPtr()->SetColor(RGB(0, 0, 0));
        e->SetPoint(at, anchor);
        EXPECT_TRUE(e->OnDraw(hdc, true, &display)) << anchor;
      }
      SelectObject(hdc, old);
      DeleteObject(pen);
    }
    DeleteDC(hdc);
    const std::string name =
        "text_anchors_" + std::to_string(static_cast<int>(angle < 0 ? 360 + angle : angle));
    EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas),
                                         "tests/layout/graphicelement/text/controls", name));
  }
}

}  // namespace
