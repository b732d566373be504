// The clip sequence of element drawing on the GDI stand-in: the element
// region over the paper, the context's clip exactly restored, both regions
// freed on every way out; and the display ratio.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

// A 100 dpi printer page of 100 x 50 mm (394 x 197 pixels), with a print
// display whose paper is 60 x 30 mm: the element region is its top-left
// 236 x 118 pixels.
class ClipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = 100;
    setup.paperWidthMm = 100.0;
    setup.paperHeightMm = 50.0;
    canvas_ = std::make_unique<md::canvas::RecordingCanvas>(394, 197);
    hdc_ = md::win::CreatePrinterDC(canvas_.get(), setup, &md::text::FixedMetricsEngine());
    ASSERT_NE(hdc_, nullptr);
    display_ = std::make_unique<CGIS_PrintDisplay>(hdc_, 6000, 3000, SGIS_Point(0, 3000));
    objects_ = md::win::LiveObjectCount();
  }
  void TearDown() override {
    display_.reset();
    DeleteDC(hdc_);
  }

  // The context's clip as rectangles; empty when it has none.
  std::vector<RECT> ClipNow() {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    std::vector<RECT> rects;
    if (GetClipRgn(hdc_, r) == 1) rects = md::win::GetRegionRects(r);
    DeleteObject(r);
    return rects;
  }
  bool HasClip() {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetClipRgn(hdc_, r) == 1;
    DeleteObject(r);
    return has;
  }
  // Draws a large rectangle and answers the clip it was recorded under.
  md::canvas::Clip DrawProbe() {
    canvas_->clear();
    Rectangle(hdc_, -100000, 100000, 100000, -100000);
    const auto shapes = canvas_->recordsOf(md::canvas::Record::Type::Shape);
    return shapes.empty() ? md::canvas::Clip{} : shapes.back()->state.clip;
  }

  std::unique_ptr<md::canvas::RecordingCanvas> canvas_;
  HDC hdc_ = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> display_;
  std::size_t objects_ = 0;
};

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].left != b[i].left || a[i].top != b[i].top || a[i].right != b[i].right ||
        a[i].bottom != b[i].bottom) {
      return false;
    }
  }
  return true;
}

TEST_F(ClipTest, DrawingIsClippedToThePaperAndAnUnclippedContextStaysUnclipped) {
  ASSERT_FALSE(HasClip());
  {
    CGIS_ElementClipScope scope(hdc_, display_.get());
    EXPECT_TRUE(scope.IsClipping());
    const md::canvas::Clip clip = DrawProbe();
    ASSERT_TRUE(clip.active);
    ASSERT_EQ(clip.rects.size(), 1u);
    EXPECT_EQ(clip.rects[0], (md::canvas::Rect{0, 0, 236, 118}));
  }
  EXPECT_FALSE(HasClip());
  EXPECT_FALSE(DrawProbe().active);
  EXPECT_EQ(md::win::LiveObjectCount(), objects_);
}

TEST_F(ClipTest, APolygonClipComesBackExactlyAsItWas) {
  const POINT triangle[] = {{10, 10}, {300, 20}, {40, 180}};
  HRGN tri = CreatePolygonRgn(triangle, 3, ALTERNATE);
  SelectClipRgn(hdc_, tri);
  DeleteObject(tri);
  const std::vector<RECT> before = ClipNow();
  ASSERT_GT(before.size(), 3u);
  const std::size_t objects = md::win::LiveObjectCount();
  {
    CGIS_ElementClipScope scope(hdc_, display_.get());
    const md::canvas::Clip clip = DrawProbe();
    ASSERT_TRUE(clip.active);
    for (const md::canvas::Rect& r : clip.rects) {  // the triangle, cut at the paper
      EXPECT_LE(r.right, 236);
      EXPECT_LE(r.bottom, 118);
      EXPECT_GE(r.left, 10);
    }
  }
  EXPECT_TRUE(SameRects(ClipNow(), before));
  EXPECT_EQ(md::win::LiveObjectCount(), objects);
}

TEST_F(ClipTest, EarlyReturnsRestoreTheClipAndFreeTheRegions) {
  HRGN box = CreateRectRgn(50, 20, 350, 150);
  SelectClipRgn(hdc_, box);
  DeleteObject(box);
  const std::vector<RECT> before = ClipNow();
  const std::size_t objects = md::win::LiveObjectCount();
  // Drawing code that gives up half-way, after a failed check.
  auto draw = [&](bool failEarly) -> BOOL {
    CGIS_ElementClipScope scope(hdc_, display_.get());
    if (failEarly) return FALSE;
    Rectangle(hdc_, 0, 0, 10, 10);
    return TRUE;
  };
  EXPECT_FALSE(draw(true));
  EXPECT_TRUE(SameRects(ClipNow(), before));
  EXPECT_TRUE(draw(false));
  EXPECT_TRUE(SameRects(ClipNow(), before));
  EXPECT_EQ(md::win::LiveObjectCount(), objects);
}

TEST_F(ClipTest, ScreenDisplaysDoNotClip) {
  md::canvas::RecordingCanvas screen(200, 100);
  HDC hdc = md::win::CreateScreenDC(&screen, 96, &md::text::FixedMetricsEngine());
  CGIS_ScreenDisplay display(hdc);
  const std::size_t objects = md::win::LiveObjectCount();
  EXPECT_EQ(SaveDCClipRgn(hdc, &display), nullptr);
  EXPECT_EQ(CreateElementClipRgn(&display), nullptr);
  EXPECT_EQ(CreateElementClipRgn(nullptr), nullptr);
  EXPECT_EQ(SaveDCClipRgn(hdc, nullptr), nullptr);
  {
    CGIS_ElementClipScope scope(hdc, &display);
    EXPECT_FALSE(scope.IsClipping());
  }
  EXPECT_EQ(md::win::LiveObjectCount(), objects);
  DeleteDC(hdc);
}

TEST_F(ClipTest, TheSequenceByHandLeavesNothingBehind) {
  HRGN saved = SaveDCClipRgn(hdc_, display_.get());
  EXPECT_EQ(saved, nullptr);  // no clip yet: nothing to keep
  HRGN element = CreateElementClipRgn(display_.get());
  ASSERT_NE(element, nullptr);
  RECT box{};
  GetRgnBox(element, &box);
  EXPECT_EQ(box.right - box.left, 236);
  EXPECT_EQ(box.bottom - box.top, 118);
  SelectElementClipRgn(display_.get(), hdc_, element);
  EXPECT_TRUE(HasClip());
  SelectClipRgn(hdc_, saved);
  DeleteObject(element);
  EXPECT_FALSE(HasClip());
  EXPECT_EQ(md::win::LiveObjectCount(), objects_);
}

// A display whose view answers only a scale and does not clip.
class ScaleOnlyDisplay : public IGIS_Display, public IGIS_DisplayView {
 public:
  explicit ScaleOnlyDisplay(double scale) : scale_(scale) {}
  HWND GetWindowHandle() override { return nullptr; }
  IGIS_DisplayView* GetView() override { return this; }
  void* GetInterface(const char*) override { return nullptr; }
  double GetScale() override { return scale_; }
  BOOL IsClipping() override { return FALSE; }
  double GetSymbolRatio() override { return 99.0; }

  void PageToDevicePoints(double*, int, IGIS_SpatialReference*) override {}
  SGIS_Rect PageToDeviceRect(SGIS_Rect r, IGIS_SpatialReference*) override { return r; }
  SGIS_Point PageToDevicePoint(SGIS_Point p, IGIS_SpatialReference*) override { return p; }
  void PageToDevice(int*, int*, IGIS_SpatialReference*) override {}
  BOOL GetDeviceRect(RECT*) override { return FALSE; }
  void Redraw(int, BOOL) override {}
  CDC* GetClipContext() override { return nullptr; }
  BOOL LogicalToDevice(POINT*) override { return TRUE; }
  SGIS_DRect PageToDeviceRect(SGIS_DRect r, IGIS_SpatialReference*) override { return r; }
  SGIS_DPoint PageToDevicePoint(SGIS_DPoint p, IGIS_SpatialReference*) override { return p; }
  void PageToDevicePoints(SGIS_Point*, int, IGIS_SpatialReference*) override {}
  void DeviceToPagePoints(double*, int, IGIS_SpatialReference*) override {}
  SGIS_Rect DeviceToPageRect(SGIS_Rect r, IGIS_SpatialReference*) override { return r; }
  SGIS_Point DeviceToPagePoint(SGIS_Point p, IGIS_SpatialReference*) override { return p; }
  void DeviceToPage(int*, int*, IGIS_SpatialReference*) override {}
  SGIS_DRect DeviceToPageRect(SGIS_DRect r, IGIS_SpatialReference*) override { return r; }
  SGIS_DPoint DeviceToPagePoint(SGIS_DPoint p, IGIS_SpatialReference*) override { return p; }
  void DeviceToPagePoints(SGIS_Point*, int, IGIS_SpatialReference*) override {}
  double GetRotateAngle() override { return 0.0; }
  IGIS_SpatialReference* GetSpatialReference() override { return nullptr; }

 private:
  double scale_;
};

TEST(DisplayRatio, FollowsTheViewsClippingScaleAndSymbolRatio) {
  EXPECT_DOUBLE_EQ(GetDisplayRatio(nullptr), 1.0);
  md::canvas::RecordingCanvas screen(200, 100);
  HDC hdc = md::win::CreateScreenDC(&screen, 96, &md::text::FixedMetricsEngine());
  CGIS_ScreenDisplay display(hdc);
  CGIS_PageView* view = display.GetPageView();
  view->SetScale(4.0);
  EXPECT_DOUBLE_EQ(GetDisplayRatio(&display), 0.25);
  view->SetClipping(TRUE);
  view->SetSymbolRatio(3.0);
  EXPECT_DOUBLE_EQ(GetDisplayRatio(&display), 3.0);
  DeleteDC(hdc);

  // A view that reports no usable scale draws symbols at their own size.
  for (double scale : {0.0, -2.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    ScaleOnlyDisplay odd(scale);
    EXPECT_DOUBLE_EQ(GetDisplayRatio(&odd), 1.0) << scale;
  }
  ScaleOnlyDisplay half(2.0);
  EXPECT_DOUBLE_EQ(GetDisplayRatio(&half), 0.5);
}

}  // namespace
