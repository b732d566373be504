// A printed sheet: a Gauss-Kruger graticule (central meridian 117 E) laid out
// on an A4 page through the print display, rendered to PNG for a look.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/display/cgis_printdisplay.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

struct Graticule {
  std::vector<std::vector<SGIS_DPoint>> meridians;  // 114 .. 120, south to north
  std::vector<std::vector<SGIS_DPoint>> parallels;  // 28 .. 36, west to east
};

// Lines of the graticule in grid metres.
Graticule MakeGraticule() {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  IGIS_GeographicCoordSys* g = f->CreateGeographicCoordSys("度", "angle", f->GetDatum(GIS_DATUM_CGCS2000),
                                                           nullptr, f->GetAngularUnit(1));
  IGIS_SpatialReference* geo = f->CreateGeographicReference("度", "angle", nullptr, g, nullptr);
  IGIS_SpatialReference* gk = f->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  IGIS_CoordTransform* t = f->CreateCoordTransform("度1", "angle1", geo, gk);
  Graticule out;
  for (int lon = 114; lon <= 120; ++lon) {
    std::vector<SGIS_DPoint> line;
    for (int i = 0; i <= 40; ++i) line.emplace_back(lon, 28.0 + 8.0 * i / 40);
    t->TransformPoint(static_cast<int>(line.size()), line.data(), 1);
    out.meridians.push_back(line);
  }
  for (int lat = 28; lat <= 36; ++lat) {
    std::vector<SGIS_DPoint> line;
    for (int i = 0; i <= 60; ++i) line.emplace_back(114.0 + 6.0 * i / 60, lat);
    t->TransformPoint(static_cast<int>(line.size()), line.data(), 1);
    out.parallels.push_back(line);
  }
  t->Release();
  gk->Release();
  geo->Release();
  return out;
}

}  // namespace

TEST(PrintDisplayRender, GaussKrugerGraticuleOnAnA4Sheet) {
  const int dpi = 100;
  auto canvas = md::canvas::CairoCanvas::createImage(827, 1169);
  ASSERT_TRUE(canvas);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = dpi;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup);
  ASSERT_NE(hdc, nullptr);
  CGIS_PrintDisplay display(hdc, 21000, 29700, SGIS_Point(0, 29700));  // page = paper
  IGIS_DisplayView* view = display.GetView();

  // Map frame: 15 mm margins; the grid extent fitted into it.
  const SGIS_Rect frame(1500, 29700 - 1500, 21000 - 1500, 1500);
  Graticule grid = MakeGraticule();
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  for (auto* lines : {&grid.meridians, &grid.parallels}) {
    for (auto& line : *lines) {
      for (auto& p : line) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
      }
    }
  }
  const double s =
      std::max((maxX - minX) / frame.Width(), (maxY - minY) / frame.Height());  // metres per page unit
  auto toPage = [&](const SGIS_DPoint& p) {
    return SGIS_DPoint(frame.left + (p.x - minX) / s, frame.bottom + (p.y - minY) / s);
  };

  HPEN framePen = CreatePen(PS_SOLID, 50, RGB(0, 0, 0));
  HPEN meridianPen = CreatePen(PS_SOLID, 20, RGB(200, 30, 30));
  HPEN parallelPen = CreatePen(PS_SOLID, 20, RGB(30, 60, 200));
  HGDIOBJ old = SelectObject(hdc, framePen);
  SelectObject(hdc, GetStockObject(NULL_BRUSH));
  SGIS_Rect d = view->PageToDeviceRect(frame, nullptr);
  Rectangle(hdc, d.left, d.top, d.right, d.bottom);

  // Device x of every meridian's points, to check the shapes below.
  std::vector<std::vector<double>> meridianX;
  auto draw = [&](const std::vector<SGIS_DPoint>& line, std::vector<double>* xs) {
    std::vector<double> xy;
    for (auto& p : line) {
      SGIS_DPoint q = toPage(p);
      xy.push_back(q.x);
      xy.push_back(q.y);
    }
    view->PageToDevicePoints(xy.data(), static_cast<int>(line.size()), nullptr);
    std::vector<POINT> pts;
    for (std::size_t i = 0; i < line.size(); ++i) {
      POINT pt;
      pt.x = static_cast<LONG>(std::lround(xy[2 * i]));
      pt.y = static_cast<LONG>(std::lround(xy[2 * i + 1]));
      pts.push_back(pt);
      if (xs != nullptr) xs->push_back(xy[2 * i]);
    }
    Polyline(hdc, pts.data(), static_cast<int>(pts.size()));
  };
  SelectObject(hdc, meridianPen);
  for (auto& m : grid.meridians) {
    meridianX.emplace_back();
    draw(m, &meridianX.back());
  }
  SelectObject(hdc, parallelPen);
  for (auto& p : grid.parallels) draw(p, nullptr);
  SelectObject(hdc, old);
  DeleteObject(framePen);
  DeleteObject(meridianPen);
  DeleteObject(parallelPen);

  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/display_gauss_kruger_sheet.png";
  EXPECT_TRUE(canvas->writePng(path));
  DeleteDC(hdc);

  // The central meridian (117) is straight and upright; the others lean in
  // towards it northwards.
  ASSERT_EQ(meridianX.size(), 7u);
  const auto& central = meridianX[3];
  EXPECT_NEAR(*std::min_element(central.begin(), central.end()),
              *std::max_element(central.begin(), central.end()), 1e-6);
  const double bottomSpread = meridianX[6].front() - meridianX[0].front();
  const double topSpread = meridianX[6].back() - meridianX[0].back();
  EXPECT_GT(bottomSpread, topSpread * 1.05);
  EXPECT_NEAR(meridianX[0].front() + meridianX[6].front(), 2 * central.front(), 1e-6);
}
