// Drawing on a clipping printer display: each furniture element draws inside
// the paper and gives the context's own clip back as it was, a polygon clip
// included, without leaving a GDI object behind.
#include <functional>

#include "host/display/cgis_printdisplay.h"
#include "layout/graphicelement/furniture/cgis_mapindexelement.h"
#include "layout/graphicelement/furniture/cgis_northarrowelement.h"
#include "layout/graphicelement/furniture/cgis_slopeelement.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"

namespace md::test {
namespace {

using FurnitureClip = FurniturePage;

std::vector<RECT> ClipOf(HDC hdc) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  std::vector<RECT> rects;
  if (GetClipRgn(hdc, r) == 1) rects = md::win::GetRegionRects(r);
  DeleteObject(r);
  return rects;
}

bool Same(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].left != b[i].left || a[i].top != b[i].top || a[i].right != b[i].right ||
        a[i].bottom != b[i].bottom)
      return false;
  }
  return true;
}

TEST_F(FurnitureClip, PolygonClipComesBackAfterEachElement) {
  const std::pair<const char*, std::function<IGIS_Element*()>> makers[] = {
      {"map index", [this] { return New<CGIS_MapIndexElement>(); }},
      {"north arrow", [this] { return New<CGIS_NorthArrowElement>(); }},
      {"slope rule", [this] { return New<CGIS_SlopeElement>(); }},
  };
  for (const auto& [name, make] : makers) {
    IGIS_Element* e = make();
    // Half the element hangs off the paper's left edge.
    e->SetLBpoint(SGIS_Point(-1000, 200, 0));
    md::canvas::RecordingCanvas canvas(800, 400);
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = 100;
    setup.paperWidthMm = 200.0;
    setup.paperHeightMm = 100.0;
    HDC hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
    {
      CGIS_PrintDisplay display(hdc, 10000, 8000, SGIS_Point(0, 8000, 0));
      ASSERT_TRUE(display.GetView()->IsClipping());
      const POINT triangle[] = {{0, 0}, {790, 10}, {20, 390}};
      HRGN tri = CreatePolygonRgn(triangle, 3, ALTERNATE);
      SelectClipRgn(hdc, tri);
      DeleteObject(tri);
      const std::vector<RECT> before = ClipOf(hdc);
      ASSERT_GT(before.size(), 3u);
      const std::size_t objects = md::win::LiveObjectCount();
      EXPECT_TRUE(e->OnDraw(hdc, true, &display)) << name;
      EXPECT_TRUE(Same(ClipOf(hdc), before)) << name;
      EXPECT_EQ(md::win::LiveObjectCount(), objects) << name;
      // Everything drawn lay inside the triangle cut at the paper (1 mm = 3.94 px).
      ASSERT_FALSE(canvas.records().empty()) << name;
      for (const md::canvas::Record& r : canvas.records()) {
        ASSERT_TRUE(r.state.clip.active) << name;
        for (const md::canvas::Rect& c : r.state.clip.rects) {
          EXPECT_GE(c.left, 0) << name;
          EXPECT_LE(c.right, 394) << name;
          EXPECT_LE(c.bottom, 316) << name;
        }
      }
    }
    DeleteDC(hdc);
  }
}

}  // namespace
}  // namespace md::test
