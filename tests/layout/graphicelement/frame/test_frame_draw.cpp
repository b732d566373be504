// The frame on a recording canvas: border polylines of every side
// combination, shadow and background rings, the two symbol forms, the clip
// around drawing, the draft box and the failures of OnDraw.
#include <memory>
#include <string>

#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/layout/graphicelement/element/elementtest.h"
#include "tests/layout/graphicelement/frame/frametest.h"

namespace {

using namespace md::test;
using md::canvas::Record;
using md::canvas::ShapeKind;

// 254 dpi: one pixel is 0.1 mm, ten page units. The page point (0, 6000)
// is the top-left pixel, so device x = page x / 10, device y = (6000 - page y) / 10.
constexpr int kDpi = 254;
const SGIS_Rect kElement(1000, 5000, 3000, 4000);  // device 100..300 x 100..200

struct Corners {
  int L, R, T, B;
};

// The device corners of a page rectangle on the test mapping.
Corners DeviceOf(const SGIS_Rect& page) {
  return Corners{page.left / 10, page.right / 10, (6000 - page.top) / 10, (6000 - page.bottom) / 10};
}

// Polylines named by corners ("LB LT|RB RT"), in device points.
std::vector<std::vector<md::canvas::Point>> Lines(const char* names, const Corners& c) {
  std::vector<std::vector<md::canvas::Point>> lines;
  if (*names == '\0') return lines;
  lines.emplace_back();
  for (const char* p = names; *p != '\0'; ++p) {
    if (*p == '|') {
      lines.emplace_back();
    } else if (*p == 'L' || *p == 'R') {
      lines.back().push_back({double(p[0] == 'L' ? c.L : c.R), double(p[1] == 'T' ? c.T : c.B)});
      ++p;
    }
  }
  return lines;
}

std::vector<std::vector<md::canvas::Point>> DrawnPolylines(const md::canvas::RecordingCanvas& canvas) {
  std::vector<std::vector<md::canvas::Point>> out;
  for (const Record* r : canvas.shapesOf(ShapeKind::Polyline)) out.push_back(r->Points());
  return out;
}

// The bounding box of a recorded shape's points.
Corners BoxOf(const Record* r) {
  Corners c{1 << 30, -(1 << 30), 1 << 30, -(1 << 30)};
  for (const md::canvas::Point& p : r->Points()) {
    c.L = std::min(c.L, int(p.x));
    c.R = std::max(c.R, int(p.x));
    c.T = std::min(c.T, int(p.y));
    c.B = std::max(c.B, int(p.y));
  }
  return c;
}
bool operator==(const Corners& a, const Corners& b) {
  return a.L == b.L && a.R == b.R && a.T == b.T && a.B == b.B;
}
void PrintTo(const Corners& c, std::ostream* os) {
  *os << "{L " << c.L << ", R " << c.R << ", T " << c.T << ", B " << c.B << "}";
}

// A 60 x 40 mm printer page at the test resolution.
HDC PrinterPage(md::canvas::RecordingCanvas* paper) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = kDpi;
  setup.paperWidthMm = 60.0;
  setup.paperHeightMm = 40.0;
  return md::win::CreatePrinterDC(paper, setup, &md::text::FixedMetricsEngine());
}

class FrameDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    canvas_ = std::make_unique<md::canvas::RecordingCanvas>(800, 600);
    hdc_ = md::win::CreateScreenDC(canvas_.get(), kDpi, &md::text::FixedMetricsEngine());
    ASSERT_NE(hdc_, nullptr);
    display_ = std::make_unique<CGIS_ScreenDisplay>(hdc_, 1.0, 0.0, 6000.0);
    frame_.reset(GIS_CreateFramePropertyObject());
  }
  void TearDown() override {
    frame_.reset();
    display_.reset();
    DeleteDC(hdc_);
  }

  std::unique_ptr<md::canvas::RecordingCanvas> canvas_;
  HDC hdc_ = nullptr;
  std::unique_ptr<CGIS_ScreenDisplay> display_;
  Frame frame_;
};

TEST_F(FrameDrawTest, BorderPolylinesOfEverySideCombination) {
  // Visible sides as (left, right, top, bottom) bits 1, 2, 4, 8.
  const char* expected[16] = {
      "",
      "LB LT",
      "RT RB",
      "LB LT|RB RT",
      "LT RT",
      "LB LT RT",
      "LT RT RB",
      "LB LT RT RB",
      "RB LB",
      "LT LB RB",
      "RT RB LB",
      "RT RB LB LT",
      "LB RB|LT RT",
      "RB LB LT RT",
      "LT RT RB LB",
      "RT RB LB LT RT RB",
  };
  Symbol line(LineSymbol(RGB(200, 0, 0), 0.1));
  frame_->SetBorderSymbolPtr(line.p);
  frame_->SetBorderGaps(10, 20, 30, 40);
  const Corners c = DeviceOf(frame_->BorderRect(kElement));
  ASSERT_TRUE((c == Corners{99, 302, 97, 204}));
  for (int mask = 0; mask < 16; ++mask) {
    SCOPED_TRACE(mask);
    frame_->SetBorderVisible(mask & 1, mask & 2, mask & 4, mask & 8);
    canvas_->clear();
    EXPECT_TRUE(frame_->OnDraw(hdc_, false, display_.get(), kElement, nullptr, GIS_FRAME_PART_BORDER));
    EXPECT_EQ(DrawnPolylines(*canvas_), Lines(expected[mask], c));
    for (const Record* r : canvas_->shapesOf(ShapeKind::Polyline)) EXPECT_EQ(r->pen.color, RGB(200, 0, 0));
    EXPECT_TRUE(canvas_->shapesOf(ShapeKind::Polygon).empty());
  }
  // Without a border symbol the border part draws nothing and succeeds.
  frame_->SetBorderSymbolPtr(nullptr);
  canvas_->clear();
  EXPECT_TRUE(frame_->OnDraw(hdc_, false, display_.get(), kElement, nullptr, GIS_FRAME_PART_BORDER));
  EXPECT_TRUE(canvas_->records().empty());
}

TEST_F(FrameDrawTest, ShadowThenBackgroundRingsAtTheirRectangles) {
  Symbol shadow(FillSymbol(RGB(60, 60, 60)));
  Symbol back(FillSymbol(RGB(250, 240, 200)));
  Symbol line(LineSymbol(RGB(0, 0, 0), 0.1));
  frame_->SetShadowSymbolPtr(shadow.p);
  frame_->SetBackSymbolPtr(back.p);
  frame_->SetBorderSymbolPtr(line.p);
  frame_->SetBackGaps(50, 60, 70, 80);
  frame_->SetShadowOffSetX(200);
  frame_->SetShadowOffSetY(-300);
  EXPECT_TRUE(frame_->OnDraw(hdc_, false, display_.get(), kElement, nullptr, GIS_FRAME_PART_UNDER));
  const auto rings = canvas_->shapesOf(ShapeKind::Polygon);
  ASSERT_EQ(rings.size(), 2u);
  // The shadow is the element moved right by 2 mm and down by 3 mm.
  EXPECT_EQ(BoxOf(rings[0]), (Corners{120, 320, 130, 230}));
  EXPECT_EQ(rings[0]->brush.color, RGB(60, 60, 60));
  EXPECT_EQ(BoxOf(rings[1]), (Corners{95, 306, 93, 208}));
  EXPECT_EQ(rings[1]->brush.color, RGB(250, 240, 200));
  EXPECT_EQ(rings[1]->Points().size(), 5u);
  // The shadow-and-background pass draws no border.
  EXPECT_TRUE(canvas_->shapesOf(ShapeKind::Polyline).empty());
}

TEST_F(FrameDrawTest, Symbol2FormOnScreenGoesThroughABitmap) {
  Symbol2 border(LineSymbol2(RGB(0, 0, 200), 0.3));
  Symbol2 back(FillSymbol2(RGB(0, 200, 0)));
  Symbol line(LineSymbol(RGB(200, 0, 0), 0.1));
  frame_->SetBorderSymbol2Ptr(border.p);
  frame_->SetBackSymbol2Ptr(back.p);
  frame_->SetBorderSymbolPtr(line.p);  // not drawn: the symbol2 form is chosen
  const std::size_t objects = md::win::LiveObjectCount();
  for (BYTE part : {BYTE(GIS_FRAME_PART_UNDER), BYTE(GIS_FRAME_PART_BORDER)}) {
    canvas_->clear();
    EXPECT_TRUE(frame_->OnDraw(hdc_, false, display_.get(), kElement, nullptr, part));
    // One copy of the painted bitmap over the whole context, nothing drawn on it directly.
    const auto images = canvas_->recordsOf(Record::Type::Image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0]->dst, (md::canvas::Rect{0, 0, 800, 600}));
    EXPECT_TRUE(canvas_->recordsOf(Record::Type::Shape).empty());
    // The painted pixels are in the copy: green inside the background.
    const std::uint32_t centre = images[0]->pixels[150 * 800 + 200] & 0xFFFFFF;
    if (part == GIS_FRAME_PART_UNDER) {
      EXPECT_EQ(centre, 0x00C800u);
    } else {
      // The 0.3 mm border is painted at the context's 254 dpi: 3 pixels
      // across the left side, as wide as the context would draw it.
      int across = 0;
      for (int x = 90; x < 110; ++x) {
        const std::uint32_t p = images[0]->pixels[150 * 800 + x] & 0xFFFFFF;
        across += (p & 0xFF) >= 100 && ((p >> 8) & 0xFF) < 100;
      }
      EXPECT_EQ(across, 3);
    }
  }
  EXPECT_EQ(md::win::LiveObjectCount(), objects);
}

TEST_F(FrameDrawTest, Symbol2FormPrintsStraightIntoTheContextWithHalfWidthEnds) {
  md::canvas::RecordingCanvas paper(600, 400);
  HDC print = PrinterPage(&paper);
  ASSERT_NE(print, nullptr);
  {
    CGIS_PrintDisplay display(print, 6000, 4000, SGIS_Point(0, 6000));
    Symbol2 border(LineSymbol2(RGB(0, 0, 200), 1.0));  // half width: 50 page units, 5 pixels
    Symbol2 back(FillSymbol2(RGB(0, 200, 0)));
    frame_->SetBorderSymbol2Ptr(border.p);
    frame_->SetBackSymbol2Ptr(back.p);
    EXPECT_TRUE(frame_->OnDraw(print, true, &display, kElement, nullptr, GIS_FRAME_PART_UNDER));
    EXPECT_TRUE(paper.recordsOf(Record::Type::Image).empty());
    const auto rings = paper.shapesOf(ShapeKind::Polygon);
    ASSERT_FALSE(rings.empty());
    EXPECT_EQ(BoxOf(rings[0]), (Corners{100, 300, 100, 200}));

    // Left and top visible: the left side turns into the top, the top ends
    // half a width beyond its right corner, the left half a width below its
    // bottom corner.
    paper.clear();
    frame_->SetBorderVisible(true, false, true, false);
    EXPECT_TRUE(frame_->OnDraw(print, true, &display, kElement, nullptr, GIS_FRAME_PART_BORDER));
    EXPECT_TRUE(paper.recordsOf(Record::Type::Image).empty());
    const std::vector<std::vector<md::canvas::Point>> sides = {
        {{100, 205}, {100, 100}, {105, 100}},
        {{105, 100}, {305, 100}},
    };
    EXPECT_EQ(DrawnPolylines(paper), sides);

    // Only the bottom: it reaches half a width beyond both corners.
    paper.clear();
    frame_->SetBorderVisible(false, false, false, true);
    frame_->OnDraw(print, true, &display, kElement, nullptr, GIS_FRAME_PART_BORDER);
    EXPECT_EQ(DrawnPolylines(paper), (std::vector<std::vector<md::canvas::Point>>{{{305, 200}, {95, 200}}}));

    // A background symbol2 with a border of the symbol form only: the border
    // part draws nothing and answers false.
    frame_->SetBorderSymbol2Ptr(nullptr);
    Symbol line(LineSymbol(RGB(200, 0, 0), 0.1));
    frame_->SetBorderSymbolPtr(line.p);
    paper.clear();
    EXPECT_FALSE(frame_->OnDraw(print, true, &display, kElement, nullptr, GIS_FRAME_PART_BORDER));
    EXPECT_TRUE(paper.records().empty());
  }
  DeleteDC(print);
}

// The clip of a context as rectangles, and whether it has one.
std::pair<bool, std::vector<RECT>> ClipOf(HDC hdc) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  std::pair<bool, std::vector<RECT>> out{GetClipRgn(hdc, r) == 1, {}};
  if (out.first) out.second = md::win::GetRegionRects(r);
  DeleteObject(r);
  return out;
}
bool SameClip(const std::pair<bool, std::vector<RECT>>& a, const std::pair<bool, std::vector<RECT>>& b) {
  if (a.first != b.first || a.second.size() != b.second.size()) return false;
  for (std::size_t i = 0; i < a.second.size(); ++i) {
    const RECT &x = a.second[i], &y = b.second[i];
    if (x.left != y.left || x.top != y.top || x.right != y.right || x.bottom != y.bottom) return false;
  }
  return true;
}

TEST_F(FrameDrawTest, ClipAfterDrawingEqualsClipBeforeOnAClippingDisplay) {
  md::canvas::RecordingCanvas paper(600, 400);
  HDC print = PrinterPage(&paper);
  ASSERT_NE(print, nullptr);
  {
    // The element region is the display's paper: 25 x 15 mm, 250 x 150 pixels.
    CGIS_PrintDisplay display(print, 2500, 1500, SGIS_Point(0, 6000));
    ASSERT_TRUE(display.GetView()->IsClipping());
    Symbol line(LineSymbol(RGB(200, 0, 0), 0.1));
    Symbol fill(FillSymbol(RGB(0, 0, 200)));
    Symbol2 line2(LineSymbol2(RGB(200, 0, 0), 0.1));
    const std::size_t objects = md::win::LiveObjectCount();

    HRGN before = CreateRectRgn(50, 40, 500, 300);
    for (bool symbol2 : {false, true}) {
      frame_->SetBorderSymbolPtr(line.p);
      frame_->SetBackSymbolPtr(fill.p);
      frame_->SetBorderSymbol2Ptr(symbol2 ? line2.p : nullptr);
      for (bool withClip : {false, true}) {
        SelectClipRgn(print, withClip ? before : nullptr);
        const auto clip = ClipOf(print);
        for (bool printing : {false, true}) {
          for (BYTE part : {BYTE(0), BYTE(1)}) {
            SCOPED_TRACE(testing::Message() << "symbol2 " << symbol2 << " clip " << withClip << " print "
                                            << printing << " part " << int(part));
            paper.clear();
            frame_->OnDraw(print, printing, &display, kElement, nullptr, part);
            EXPECT_TRUE(SameClip(ClipOf(print), clip));
            // While drawing, the clip was narrowed to the paper.
            for (const Record* r : paper.recordsOf(Record::Type::Shape)) {
              ASSERT_TRUE(r->state.clip.active);
              for (const md::canvas::Rect& c : r->state.clip.rects) {
                EXPECT_LE(c.right, 250);
                EXPECT_LE(c.bottom, 150);
              }
            }
          }
        }
      }
    }
    DeleteObject(before);
    SelectClipRgn(print, nullptr);
    EXPECT_EQ(md::win::LiveObjectCount(), objects);
  }
  DeleteDC(print);
}

TEST_F(FrameDrawTest, FailuresAnswerFalseWithRecords) {
  LogMark mark;
  EXPECT_FALSE(frame_->OnDraw(hdc_, false, nullptr, kElement, nullptr, 0));
  EXPECT_TRUE(mark.Has(3, "CGIS_FrameProperty::OnDraw", "p_display = NULL"));

  // A symbol2 frame on a context without a drawing area.
  md::canvas::RecordingCanvas none(0, 0);
  HDC empty = md::win::CreateScreenDC(&none, kDpi, &md::text::FixedMetricsEngine());
  {
    CGIS_ScreenDisplay display(empty);
    Symbol2 back(FillSymbol2(RGB(0, 200, 0)));
    frame_->SetBackSymbol2Ptr(back.p);
    EXPECT_FALSE(frame_->OnDraw(empty, false, &display, kElement, nullptr, 0));
    EXPECT_TRUE(mark.Has(3, "CGIS_FrameProperty::OnDraw", "i_bmp_width=0或i_bmp_height=0"));
  }
  DeleteDC(empty);
}

// A view that answers every question as the page view does, except the
// scale, which the test sets.
class ScaledView : public IGIS_DisplayView {
 public:
  ScaledView(IGIS_DisplayView* inner, double scale) : v_(inner), scale_(scale) {}
  void PageToDevicePoints(double* xy, int n, IGIS_SpatialReference* r) override {
    v_->PageToDevicePoints(xy, n, r);
  }
  SGIS_Rect PageToDeviceRect(SGIS_Rect p, IGIS_SpatialReference* r) override {
    return v_->PageToDeviceRect(p, r);
  }
  SGIS_Point PageToDevicePoint(SGIS_Point p, IGIS_SpatialReference* r) override {
    return v_->PageToDevicePoint(p, r);
  }
  void PageToDevice(int* x, int* y, IGIS_SpatialReference* r) override { v_->PageToDevice(x, y, r); }
  BOOL GetDeviceRect(RECT* rect) override { return v_->GetDeviceRect(rect); }
  void Redraw(int what, BOOL erase) override { v_->Redraw(what, erase); }
  double GetScale() override { return scale_; }
  BOOL IsClipping() override { return v_->IsClipping(); }
  CDC* GetClipContext() override { return v_->GetClipContext(); }
  BOOL LogicalToDevice(POINT* p) override { return v_->LogicalToDevice(p); }
  double GetSymbolRatio() override { return v_->GetSymbolRatio(); }
  SGIS_DRect PageToDeviceRect(SGIS_DRect p, IGIS_SpatialReference* r) override {
    return v_->PageToDeviceRect(p, r);
  }
  SGIS_DPoint PageToDevicePoint(SGIS_DPoint p, IGIS_SpatialReference* r) override {
    return v_->PageToDevicePoint(p, r);
  }
  void PageToDevicePoints(SGIS_Point* p, int n, IGIS_SpatialReference* r) override {
    v_->PageToDevicePoints(p, n, r);
  }
  void DeviceToPagePoints(double* xy, int n, IGIS_SpatialReference* r) override {
    v_->DeviceToPagePoints(xy, n, r);
  }
  SGIS_Rect DeviceToPageRect(SGIS_Rect d, IGIS_SpatialReference* r) override {
    return v_->DeviceToPageRect(d, r);
  }
  SGIS_Point DeviceToPagePoint(SGIS_Point d, IGIS_SpatialReference* r) override {
    return v_->DeviceToPagePoint(d, r);
  }
  void DeviceToPage(int* x, int* y, IGIS_SpatialReference* r) override { v_->DeviceToPage(x, y, r); }
  SGIS_DRect DeviceToPageRect(SGIS_DRect d, IGIS_SpatialReference* r) override {
    return v_->DeviceToPageRect(d, r);
  }
  SGIS_DPoint DeviceToPagePoint(SGIS_DPoint d, IGIS_SpatialReference* r) override {
    return v_->DeviceToPagePoint(d, r);
  }
  void DeviceToPagePoints(SGIS_Point* p, int n, IGIS_SpatialReference* r) override {
    v_->DeviceToPagePoints(p, n, r);
  }
  double GetRotateAngle() override { return v_->GetRotateAngle(); }
  IGIS_SpatialReference* GetSpatialReference() override { return v_->GetSpatialReference(); }

 private:
  IGIS_DisplayView* v_;
  double scale_;
};
class ScaledDisplay : public IGIS_Display {
 public:
  ScaledDisplay(IGIS_Display* inner, double scale) : inner_(inner), view_(inner->GetView(), scale) {}
  HWND GetWindowHandle() override { return inner_->GetWindowHandle(); }
  IGIS_DisplayView* GetView() override { return &view_; }
  void* GetInterface(const char* name) override { return inner_->GetInterface(name); }

 private:
  IGIS_Display* inner_;
  ScaledView view_;
};

class DraftBoxTest : public md::test::PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    canvas_ = std::make_unique<md::canvas::RecordingCanvas>(800, 600);
    hdc_ = md::win::CreateScreenDC(canvas_.get(), kDpi, &md::text::FixedMetricsEngine());
    display_ = std::make_unique<CGIS_ScreenDisplay>(hdc_, 1.0, 0.0, 6000.0);
    frame_.reset(GIS_CreateFramePropertyObject());
    box_ = Box(1000, 4000, 3000, 5000);  // device 100..300 x 100..200, centre (200, 150)
    box_->SetName("ABCD");
  }
  void TearDown() override {
    frame_.reset();
    display_.reset();
    DeleteDC(hdc_);
    PageTest::TearDown();
  }
  // The white box, the label and the black outline, in that order.
  void ExpectBox(const md::canvas::Rect& box, double fontHeight, const std::string& text) {
    const auto fills = canvas_->recordsOf(Record::Type::Rects);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0]->rects, std::vector<md::canvas::Rect>{box});
    EXPECT_EQ(fills[0]->brush.color, 0xFFFFFFu);
    const auto texts = canvas_->recordsOf(Record::Type::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text.text, text);
    EXPECT_EQ(texts[0]->text.font.face, "Times New Roman");
    EXPECT_DOUBLE_EQ(texts[0]->text.font.emHeight, fontHeight);
    const auto outlines = canvas_->shapesOf(ShapeKind::FrameRect);
    ASSERT_EQ(outlines.size(), 1u);
    EXPECT_EQ(outlines[0]->shape.bounds, box);
    EXPECT_EQ(outlines[0]->brush.color, 0u);
    EXPECT_LT(fills[0], texts[0]);
    EXPECT_LT(texts[0], outlines[0]);
  }

  std::unique_ptr<md::canvas::RecordingCanvas> canvas_;
  HDC hdc_ = nullptr;
  std::unique_ptr<CGIS_ScreenDisplay> display_;
  Frame frame_;
  md::test::TestBoxElement* box_ = nullptr;
};

TEST_F(DraftBoxTest, LabelledBoxFollowsNameAndZoom) {
  // Off: nothing at all.
  frame_->OnDrawDraftMode(box_, hdc_, false, display_.get());
  EXPECT_TRUE(canvas_->records().empty());

  frame_->SetDraftMode(true);
  Symbol line(LineSymbol(RGB(200, 0, 0), 0.1));
  frame_->SetBorderSymbolPtr(line.p);
  frame_->OnDrawDraftMode(box_, hdc_, false, display_.get());
  // Four characters at scale 1: 40 x 20 pixels round the centre, a font of
  // 12 points (42 pixels at 254 dpi), and the frame's border.
  ExpectBox({180, 140, 220, 160}, 42.0, "ABCD");
  EXPECT_EQ(canvas_->shapesOf(ShapeKind::Polyline).size(), 1u);

  // Zoomed in twice: the view's scale is 0.5, everything twice as large.
  canvas_->clear();
  display_->SetZoom(2.0);
  display_->SetOrigin(0.0, 5500.0);  // centre at (400, 200)
  frame_->OnDrawDraftMode(box_, hdc_, false, display_.get());
  ExpectBox({360, 180, 440, 220}, 84.0, "ABCD");
}

TEST_F(DraftBoxTest, ScaleOfZeroOrLessDrawsThePlainSize) {
  frame_->SetDraftMode(true);
  for (double scale : {0.0, -2.0}) {
    SCOPED_TRACE(scale);
    canvas_->clear();
    ScaledDisplay display(display_.get(), scale);
    frame_->OnDrawDraftMode(box_, hdc_, false, &display);
    ExpectBox({180, 140, 220, 160}, 42.0, "ABCD");
  }
}

TEST_F(DraftBoxTest, ChineseNameCountsBytesAndMissingOwnerDrawsNothing) {
  frame_->SetDraftMode(true);
  box_->SetName("图框");  // six bytes
  frame_->OnDrawDraftMode(box_, hdc_, false, display_.get());
  ExpectBox({170, 140, 230, 160}, 42.0, "图框");

  canvas_->clear();
  md::test::TestBoxElement loose(nullptr, nullptr);
  frame_->OnDrawDraftMode(&loose, hdc_, false, display_.get());
  frame_->OnDrawDraftMode(nullptr, hdc_, false, display_.get());
  frame_->OnDrawDraftMode(box_, hdc_, false, nullptr);
  EXPECT_TRUE(canvas_->records().empty());
}

}  // namespace
