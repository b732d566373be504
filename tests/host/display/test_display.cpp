#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "platform/canvas/recording.h"
#include "platform/win/cdc.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

using md::canvas::Record;
using md::canvas::RecordingCanvas;
using md::canvas::ShapeKind;

struct Screen {
  RecordingCanvas canvas{800, 600};
  HDC hdc = md::win::CreateScreenDC(&canvas, 96);
  ~Screen() { DeleteDC(hdc); }
};

// A4 at 600 dpi with 5 mm unprintable margins.
struct Printer {
  RecordingCanvas canvas{4724, 6780};
  HDC hdc = nullptr;
  Printer() {
    md::win::PrinterSetup setup;
    setup.marginLeftMm = setup.marginTopMm = setup.marginRightMm = setup.marginBottomMm = 5.0;
    hdc = md::win::CreatePrinterDC(&canvas, setup);
  }
  ~Printer() { DeleteDC(hdc); }
};

// The points of the last rectangle drawn on a recording canvas.
std::vector<md::canvas::Point> LastRectangle(const RecordingCanvas& canvas) {
  auto shapes = canvas.shapesOf(ShapeKind::Rectangle);
  if (shapes.empty()) return {};
  return shapes.back()->Points();
}

const SGIS_Point kPagePoints[] = {{0, 0}, {1, -1}, {2540, 2540}, {-12345, 67890}, {21000, 29700}, {7, 29699}};

}  // namespace

TEST(ScreenDisplay, AnInchOfPageIsDpiPixelsTimesTheZoom) {
  Screen s;
  CGIS_ScreenDisplay display(s.hdc, 1.0, 1000.0, 30000.0);  // page (10 mm, 300 mm) at the top-left pixel
  IGIS_DisplayView* view = display.GetView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view, display.GetView());
  EXPECT_EQ(display.GetWindowHandle(), nullptr);

  struct Row {
    double zoom;
    SGIS_Point page;
    SGIS_Point device;
  } rows[] = {
      {1.0, {1000, 30000}, {0, 0}},
      {1.0, {1000 + 2540, 30000 - 2540}, {96, 96}},  // an inch right and down
      {1.0, {1000 - 2540, 30000 + 5080}, {-96, -192}},
      {2.0, {1000 + 2540, 30000 - 2540}, {192, 192}},
      {0.5, {1000 + 2540 * 4, 30000}, {192, 0}},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(display.SetZoom(r.zoom));
    EXPECT_EQ(view->PageToDevicePoint(r.page, nullptr), r.device) << r.zoom;
    int x = r.page.x, y = r.page.y;
    view->PageToDevice(&x, &y, nullptr);
    EXPECT_EQ(x, r.device.x);
    EXPECT_EQ(y, r.device.y);
    EXPECT_DOUBLE_EQ(view->GetScale(), 1.0 / r.zoom);
    EXPECT_DOUBLE_EQ(view->GetSymbolRatio(), r.zoom);
  }
  EXPECT_FALSE(view->IsClipping());
  EXPECT_EQ(display.GetInterface(GIS_INTERFACE_DISP_PRINTER), nullptr);
}

TEST(ScreenDisplay, PageDevicePageRoundTrips) {
  Screen s;
  CGIS_ScreenDisplay display(s.hdc, 1.7, -5000.0, 31000.0);
  IGIS_DisplayView* view = display.GetView();
  const double pixel = 2540.0 / 96.0 / 1.7;  // page units per pixel
  for (const SGIS_Point& p : kPagePoints) {
    // Doubles come back exactly (up to rounding of the arithmetic).
    SGIS_DPoint d = view->PageToDevicePoint(SGIS_DPoint(p.x, p.y), nullptr);
    SGIS_DPoint back = view->DeviceToPagePoint(d, nullptr);
    EXPECT_NEAR(back.x, p.x, 1e-7);
    EXPECT_NEAR(back.y, p.y, 1e-7);
    // Integers lose at most half a pixel on the way through the device...
    SGIS_Point i = view->DeviceToPagePoint(view->PageToDevicePoint(p, nullptr), nullptr);
    EXPECT_LE(std::abs(i.x - p.x), pixel / 2 + 1);
    EXPECT_LE(std::abs(i.y - p.y), pixel / 2 + 1);
    // ...and a device point survives the way through the page exactly.
    SGIS_Point dev(p.x / 50, p.y / 50);
    EXPECT_EQ(view->PageToDevicePoint(view->DeviceToPagePoint(dev, nullptr), nullptr), dev);
    int x = dev.x, y = dev.y;
    view->DeviceToPage(&x, &y, nullptr);
    view->PageToDevice(&x, &y, nullptr);
    EXPECT_EQ(x, dev.x);
    EXPECT_EQ(y, dev.y);
  }
  // Arrays of doubles and of points, in place.
  double xy[] = {0.0, 0.0, 2540.0, -2540.0, -33.25, 1e6};
  const double original[6] = {0.0, 0.0, 2540.0, -2540.0, -33.25, 1e6};
  view->PageToDevicePoints(xy, 3, nullptr);
  EXPECT_NEAR(xy[2] - xy[0], 96.0 * 1.7, 1e-9);
  EXPECT_NEAR(xy[3] - xy[1], 96.0 * 1.7, 1e-9);
  view->DeviceToPagePoints(xy, 3, nullptr);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(xy[i], original[i], 1e-6);
  SGIS_Point pts[] = {{10, 20}, {-30, 40}};
  view->DeviceToPagePoints(pts, 2, nullptr);
  view->PageToDevicePoints(pts, 2, nullptr);
  EXPECT_EQ(pts[0], SGIS_Point(10, 20));
  EXPECT_EQ(pts[1], SGIS_Point(-30, 40));
  view->PageToDevicePoints(static_cast<double*>(nullptr), 3, nullptr);  // tolerated
  view->PageToDevice(nullptr, nullptr, nullptr);

  // Rectangles: each field through its own axis; the page top is the
  // smaller device y on a screen.
  SGIS_Rect page(0, 29700, 21000, 0);  // left, top, right, bottom
  SGIS_Rect dev = view->PageToDeviceRect(page, nullptr);
  EXPECT_LT(dev.top, dev.bottom);
  EXPECT_EQ(SGIS_Point(dev.left, dev.top), view->PageToDevicePoint(SGIS_Point(0, 29700), nullptr));
  EXPECT_EQ(SGIS_Point(dev.right, dev.bottom), view->PageToDevicePoint(SGIS_Point(21000, 0), nullptr));
  SGIS_Rect pageBack = view->DeviceToPageRect(dev, nullptr);
  EXPECT_LE(std::abs(pageBack.left - page.left), pixel);
  EXPECT_LE(std::abs(pageBack.top - page.top), pixel);
  SGIS_DRect dpage(0.0, 29700.0, 21000.0, 0.0);
  SGIS_DRect dback = view->DeviceToPageRect(view->PageToDeviceRect(dpage, nullptr), nullptr);
  EXPECT_NEAR(dback.x1, 0.0, 1e-9);
  EXPECT_NEAR(dback.x2, 21000.0, 1e-7);
  EXPECT_NEAR(dback.y1, 29700.0, 1e-7);
  EXPECT_NEAR(dback.y2, 0.0, 1e-7);
}

TEST(ScreenDisplay, DrawsWhereTheViewSaysAndRefusesBadSettings) {
  Screen s;
  CGIS_ScreenDisplay display(s.hdc, 1.0, 0.0, 29700.0);
  IGIS_DisplayView* view = display.GetView();
  SGIS_Rect d = view->PageToDeviceRect(SGIS_Rect(2540, 29700 - 2540, 5080, 29700 - 5080), nullptr);
  Rectangle(s.hdc, d.left, d.top, d.right, d.bottom);
  auto points = LastRectangle(s.canvas);
  ASSERT_FALSE(points.empty());
  double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
  for (auto& p : points) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  // One inch to two inches from the page's top-left corner.
  EXPECT_NEAR(minX, 96.0, 1.0);
  EXPECT_NEAR(minY, 96.0, 1.0);
  EXPECT_NEAR(maxX, 192.0, 1.0);
  EXPECT_NEAR(maxY, 192.0, 1.0);

  RECT area;
  ASSERT_TRUE(view->GetDeviceRect(&area));
  EXPECT_EQ(area.right - area.left, 800);
  EXPECT_EQ(area.bottom - area.top, 600);
  EXPECT_FALSE(view->GetDeviceRect(nullptr));
  POINT p{12, 34};
  ASSERT_TRUE(view->LogicalToDevice(&p));
  EXPECT_EQ(p.x, 12);
  EXPECT_EQ(p.y, 34);
  ASSERT_NE(view->GetClipContext(), nullptr);
  EXPECT_EQ(view->GetClipContext()->GetSafeHdc(), s.hdc);

  const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  const SGIS_Point before = view->PageToDevicePoint(SGIS_Point(2540, 0), nullptr);
  for (double bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_FALSE(display.SetZoom(bad)) << bad;
  }
  EXPECT_FALSE(display.SetOrigin(std::nan(""), 0.0));
  EXPECT_EQ(view->PageToDevicePoint(SGIS_Point(2540, 0), nullptr), before);
  EXPECT_DOUBLE_EQ(display.GetZoom(), 1.0);
  EXPECT_FALSE(GIS_GetLogPtr()->GetRecordsSince(mark).empty());
}

TEST(Display, RedrawIsCounted) {
  Screen s;
  CGIS_ScreenDisplay screen(s.hdc);
  EXPECT_EQ(screen.GetPageView()->GetRedrawCount(), 0);
  screen.GetView()->Redraw(0, TRUE);
  screen.GetView()->Redraw(0, TRUE);
  EXPECT_EQ(screen.GetPageView()->GetRedrawCount(), 2);

  Printer p;
  CGIS_PrintDisplay print(p.hdc, 21000, 29700, SGIS_Point(0, 29700));
  print.GetView()->Redraw(0, FALSE);
  EXPECT_EQ(print.GetPageView()->GetRedrawCount(), 1);
  EXPECT_EQ(screen.GetPageView()->GetRedrawCount(), 2);
}

TEST(PrintDisplay, PrinterInterfaceAndSettings) {
  Printer p;
  CGIS_PrintDisplay display(p.hdc, 21000, 29700, SGIS_Point(0, 29700));
  auto* printer = static_cast<IGIS_DisplayPrinter*>(display.GetInterface(GIS_INTERFACE_DISP_PRINTER));
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->GetPaperWidth(), 21000);
  EXPECT_EQ(printer->GetPaperHeight(), 29700);
  EXPECT_EQ(display.GetInterface("GIS_INTERFACE_DISP_SCREEN"), nullptr);
  EXPECT_EQ(display.GetInterface(nullptr), nullptr);
  EXPECT_EQ(display.GetWindowHandle(), nullptr);
  IGIS_DisplayView* view = display.GetView();
  EXPECT_TRUE(view->IsClipping());
  EXPECT_DOUBLE_EQ(view->GetScale(), 1.0);
  EXPECT_DOUBLE_EQ(view->GetSymbolRatio(), 1.0);
  ASSERT_NE(view->GetClipContext(), nullptr);
  EXPECT_EQ(view->GetClipContext()->GetSafeHdc(), p.hdc);

  const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  CGIS_PrintDisplay bad(p.hdc, 0, -5, SGIS_Point(0, 0));
  EXPECT_EQ(bad.GetPaperWidth(), 0);
  EXPECT_EQ(bad.GetPaperHeight(), 0);
  EXPECT_FALSE(GIS_GetLogPtr()->GetRecordsSince(mark).empty());
  CGIS_PrintDisplay noContext(nullptr, 21000, 29700, SGIS_Point(0, 0));
  EXPECT_FALSE(noContext.PrepareDC());
}

TEST(PrintDisplay, PageReachesTheContextInHundredthsOfAMillimetre) {
  Printer p;
  const SGIS_Point topLeft(-500, 30200);  // page point at the paper's top-left corner
  CGIS_PrintDisplay display(p.hdc, 21000, 29700, topLeft);
  IGIS_DisplayView* view = display.GetView();
  EXPECT_EQ(view->PageToDevicePoint(topLeft, nullptr), SGIS_Point(0, 0));
  EXPECT_EQ(view->PageToDevicePoint(SGIS_Point(topLeft.x + 1234, topLeft.y - 5678), nullptr),
            SGIS_Point(1234, -5678));
  for (const SGIS_Point& q : kPagePoints) {
    EXPECT_EQ(view->DeviceToPagePoint(view->PageToDevicePoint(q, nullptr), nullptr), q);
    int x = q.x, y = q.y;
    view->PageToDevice(&x, &y, nullptr);
    view->DeviceToPage(&x, &y, nullptr);
    EXPECT_EQ(x, q.x);
    EXPECT_EQ(y, q.y);
    SGIS_DPoint d =
        view->DeviceToPagePoint(view->PageToDevicePoint(SGIS_DPoint(q.x + 0.25, q.y), nullptr), nullptr);
    EXPECT_DOUBLE_EQ(d.x, q.x + 0.25);
  }
  SGIS_Rect r(100, 2000, 300, -400);
  EXPECT_EQ(view->DeviceToPageRect(view->PageToDeviceRect(r, nullptr), nullptr), r);

  // The context's mapping: an inch of logical units is 600 pixels, y up,
  // and the paper's corner lies the 5 mm margin before the printable area.
  const int margin = GetDeviceCaps(p.hdc, PHYSICALOFFSETX);
  EXPECT_NEAR(margin, 5.0 / 25.4 * 600.0, 1.0);
  POINT corner{0, 0};
  ASSERT_TRUE(view->LogicalToDevice(&corner));
  EXPECT_EQ(corner.x, -margin);
  EXPECT_EQ(corner.y, -GetDeviceCaps(p.hdc, PHYSICALOFFSETY));
  POINT inch{2540, -2540};
  ASSERT_TRUE(view->LogicalToDevice(&inch));
  EXPECT_EQ(inch.x, 600 - margin);
  EXPECT_EQ(inch.y, 600 - GetDeviceCaps(p.hdc, PHYSICALOFFSETY));

  // A page rectangle drawn at the converted coordinates lands an inch to
  // two inches from the paper's corner.
  SGIS_Rect d = view->PageToDeviceRect(
      SGIS_Rect(topLeft.x + 2540, topLeft.y - 2540, topLeft.x + 5080, topLeft.y - 5080), nullptr);
  Rectangle(p.hdc, d.left, d.top, d.right, d.bottom);
  auto points = LastRectangle(p.canvas);
  ASSERT_FALSE(points.empty());
  double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
  for (auto& q : points) {
    minX = std::min(minX, q.x);
    maxX = std::max(maxX, q.x);
    minY = std::min(minY, q.y);
    maxY = std::max(maxY, q.y);
  }
  EXPECT_NEAR(minX, 600.0 - margin, 2.0);
  EXPECT_NEAR(maxX, 1200.0 - margin, 2.0);
  EXPECT_NEAR(minY, 600.0 - margin, 2.0);
  EXPECT_NEAR(maxY, 1200.0 - margin, 2.0);
}

TEST(PrintDisplay, PaperClipRegionAndMappingAfterTheContextChanged) {
  Printer p;
  CGIS_PrintDisplay display(p.hdc, 21000, 29700, SGIS_Point(0, 29700));
  IGIS_DisplayView* view = display.GetView();
  auto* printer = static_cast<IGIS_DisplayPrinter*>(display.GetInterface(GIS_INTERFACE_DISP_PRINTER));
  // The element clip: the paper from (0, 0) to (w, -h) in pixels.
  POINT a{0, 0}, b{printer->GetPaperWidth(), -printer->GetPaperHeight()};
  view->LogicalToDevice(&a);
  view->LogicalToDevice(&b);
  EXPECT_NEAR(b.x - a.x, 210.0 / 25.4 * 600.0, 1.0);
  EXPECT_NEAR(b.y - a.y, 297.0 / 25.4 * 600.0, 1.0);
  HRGN paper = CreateRectRgn(a.x, a.y, b.x, b.y);
  ExtSelectClipRgn(p.hdc, paper, RGN_AND);
  // The paper clipped by the device surface is the printable area, 5 mm in
  // from the paper's edges (logical units: 0.01 mm, y up).
  RECT box;
  GetClipBox(p.hdc, &box);
  EXPECT_NEAR(box.left, 500, 1);
  EXPECT_NEAR(box.top, -500, 1);
  EXPECT_NEAR(box.right, 21000 - 500, 5);
  EXPECT_NEAR(box.bottom, -(29700 - 500), 5);
  DeleteObject(paper);

  // Someone else put the context back into pixels; PrepareDC restores the
  // display's mapping.
  SetMapMode(p.hdc, MM_TEXT);
  SetViewportOrgEx(p.hdc, 0, 0, nullptr);
  POINT q{2540, -2540};
  LPtoDP(p.hdc, &q, 1);
  EXPECT_EQ(q.x, 2540);
  ASSERT_TRUE(display.PrepareDC());
  POINT r{2540, -2540};
  view->LogicalToDevice(&r);
  EXPECT_EQ(r.x, 600 - GetDeviceCaps(p.hdc, PHYSICALOFFSETX));
}
