// The main controller draws a map through its view into the recording
// canvas: features land where the view puts them, cut at the device
// rectangle (plus a margin) and drawn under a clip of exactly that rectangle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "helmora_test_util.h"
#include "host/helmora/cgis_mainobject.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/support/logmark.h"

namespace {

using md::canvas::Record;
using md::canvas::ShapeKind;
using namespace md::test;

// A 72-dpi screen: one symbol point is one pixel. The map's 300 x 200 metres
// fill the device rectangle (50, 40)-(350, 240) at one pixel per metre.
class DrawMap : public ::testing::Test {
 protected:
  void SetUp() override {
    dc_ = md::win::CreateScreenDC(&canvas_, 72, &md::text::FixedMetricsEngine());
    ASSERT_NE(dc_, nullptr);
    layer_ = MakeTestMap(doc_.get(), &map_);
    main_->Initialize();
    main_->Start();
  }
  void TearDown() override { DeleteDC(dc_); }

  void Frame(double angle = 0.0) {
    main_->SetMap(map_);
    IGIS_MapView* v = main_->GetMapView();
    v->BeginUpdate();
    ASSERT_TRUE(v->SetDeviceRect(SGIS_Rect(50, 40, 350, 240)));
    ASSERT_TRUE(v->ZoomToExtent(SGIS_DRect(0, 200, 300, 0), 0, nullptr, 0));
    ASSERT_TRUE(v->SetRotateAngle(angle, 1));
    v->EndUpdate();
    v->Refresh();
  }

  std::vector<const Record*> Shapes(ShapeKind kind) const { return canvas_.shapesOf(kind); }
  // The two ends of the one polyline drawn.
  std::vector<md::canvas::Point> OneSegment() const {
    auto lines = Shapes(ShapeKind::Polyline);
    EXPECT_EQ(lines.size(), 1u);
    if (lines.empty()) return {{}, {}};
    auto lp = lines[0]->Points();
    EXPECT_EQ(lp.size(), 2u);
    if (lp.size() != 2) return {{}, {}};
    return lp;
  }

  md::canvas::RecordingCanvas canvas_{400, 300};
  HDC dc_ = nullptr;
  DocumentPtr doc_{GIS_CreateDocumentObject()};
  MainPtr main_{HM_CreateMainObject(0)};
  IGIS_Map* map_ = nullptr;
  IGIS_VectorMapLayer* layer_ = nullptr;
};

void ExpectClipIsDeviceRect(const Record& r) {
  ASSERT_TRUE(r.state.clip.active);
  ASSERT_EQ(r.state.clip.rects.size(), 1u);
  EXPECT_EQ(r.state.clip.rects[0], (md::canvas::Rect{50, 40, 350, 240}));
}

TEST_F(DrawMap, FeaturesLandWhereTheViewPutsThem) {
  AddArea(layer_, {{100, 50}, {200, 50}, {200, 150}, {100, 150}, {100, 50}});
  AddLine(layer_, {{20, 180}, {120, 180}});
  AddPoint(layer_, 250, 100);
  Frame();
  ASSERT_TRUE(main_->DrawMap(dc_, FALSE, 50, 40, 350, 240));

  // The area: device x = 50 + x, y = 240 - y.
  auto polygons = Shapes(ShapeKind::Polygon);
  ASSERT_GE(polygons.size(), 1u);
  auto pts = polygons[0]->Points();
  ASSERT_GE(pts.size(), 4u);
  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
  for (auto& p : pts) {
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  EXPECT_NEAR(minX, 150, 0.5);
  EXPECT_NEAR(maxX, 250, 0.5);
  EXPECT_NEAR(minY, 90, 0.5);
  EXPECT_NEAR(maxY, 190, 0.5);
  ExpectClipIsDeviceRect(*polygons[0]);

  // The line, red, from (70, 60) to (170, 60).
  auto lines = Shapes(ShapeKind::Polyline);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->pen.color, 0x0000FFu);
  auto lp = lines[0]->Points();
  ASSERT_EQ(lp.size(), 2u);
  EXPECT_NEAR(lp.front().x, 70, 0.5);
  EXPECT_NEAR(lp.front().y, 60, 0.5);
  EXPECT_NEAR(lp.back().x, 170, 0.5);
  ExpectClipIsDeviceRect(*lines[0]);

  // The point: a 10-pixel green square centred on (300, 140).
  bool found = false;
  for (const Record& r : canvas_.records()) {
    if (r.type != Record::Type::Shape || r.brush.color != 0x008000u) continue;
    auto sp = r.Points();
    double cx = 0, cy = 0;
    for (auto& p : sp) cx += p.x, cy += p.y;
    cx /= sp.size(), cy /= sp.size();
    EXPECT_NEAR(cx, 300, 1.0);
    EXPECT_NEAR(cy, 140, 1.0);
    found = true;
  }
  EXPECT_TRUE(found);
}

TEST_F(DrawMap, GeometryIsCutAtTheDeviceRectangle) {
  // A line far across the frame and a ring much larger than it.
  AddLine(layer_, {{-5000, 100}, {5000, 100}});
  AddArea(layer_, {{-9000, -9000}, {9000, -9000}, {9000, 9000}, {-9000, 9000}});
  AddPoint(layer_, 1000, 1000);  // off the device: not drawn
  Frame();
  ASSERT_TRUE(main_->DrawMap(dc_, FALSE, 50, 40, 350, 240));
  auto lp = OneSegment();
  // Cut 16 pixels beyond the rectangle, so the stroke's end is under the clip.
  EXPECT_NEAR(lp.front().x, 34, 0.5);
  EXPECT_NEAR(lp.back().x, 366, 0.5);
  EXPECT_NEAR(lp.front().y, 140, 0.5);
  auto polygons = Shapes(ShapeKind::Polygon);
  ASSERT_GE(polygons.size(), 1u);
  for (auto& p : polygons[0]->Points()) {
    EXPECT_GE(p.x, 34 - 0.5);
    EXPECT_LE(p.x, 366 + 0.5);
    EXPECT_GE(p.y, 24 - 0.5);
    EXPECT_LE(p.y, 256 + 0.5);
  }
  for (const Record& r : canvas_.records()) {
    if (r.type == Record::Type::Shape) ExpectClipIsDeviceRect(r);
    EXPECT_NE(r.brush.color, 0x008000u);  // the far point drew nothing
  }
}

TEST_F(DrawMap, RotationTurnsTheMapAboutTheExtentCentre) {
  AddLine(layer_, {{150, 100}, {250, 100}});  // from the centre eastwards
  Frame(90.0);
  ASSERT_TRUE(main_->DrawMap(dc_, FALSE, 50, 40, 350, 240));
  auto lp = OneSegment();
  // Turned a quarter counter-clockwise: it now points up (north) from (200, 140).
  EXPECT_NEAR(lp.front().x, 200, 0.5);
  EXPECT_NEAR(lp.front().y, 140, 0.5);
  EXPECT_NEAR(lp.back().x, 200, 0.5);
  EXPECT_NEAR(lp.back().y, 40, 0.5);
}

TEST_F(DrawMap, ClipOfTheCallerIsRestored) {
  AddPoint(layer_, 100, 100);
  Frame();
  HRGN outer = CreateRectRgn(0, 0, 200, 200);
  SelectClipRgn(dc_, outer);
  ASSERT_TRUE(main_->DrawMap(dc_, FALSE, 50, 40, 350, 240));
  canvas_.clear();
  MoveToEx(dc_, 10, 10, nullptr);
  LineTo(dc_, 20, 20);
  ASSERT_EQ(canvas_.records().size(), 1u);
  EXPECT_EQ(canvas_.records()[0].state.clip.rects, (std::vector<md::canvas::Rect>{{0, 0, 200, 200}}));
  DeleteObject(outer);
}

TEST_F(DrawMap, RefusesWhatCannotBeDrawn) {
  AddPoint(layer_, 100, 100);
  LogMark mark;
  // No map bound yet.
  EXPECT_FALSE(main_->DrawMap(dc_, FALSE, 50, 40, 350, 240));
  Frame();
  EXPECT_FALSE(main_->DrawMap(nullptr, FALSE, 50, 40, 350, 240));
  EXPECT_FALSE(main_->DrawMap(dc_, FALSE, 50, 40, 50, 240));    // zero width
  EXPECT_FALSE(main_->DrawMap(dc_, FALSE, 50, 240, 350, 240));  // zero height
  EXPECT_TRUE(canvas_.records().empty());
  EXPECT_GE(mark.Count(), 4u);
  // The refused rectangles left the view as it was.
  SGIS_Rect dev = main_->GetMapView()->GetDeviceClipRect();
  EXPECT_EQ(dev, SGIS_Rect(50, 40, 350, 240));
  // A layer made without data draws nothing and says so; the others still draw.
  IGIS_MapLayer* empty = GIS_CreateEmptyVectorLayerObject("无数据");
  ASSERT_TRUE(map_->AddLayer(empty));
  EXPECT_EQ(empty->GetLayerPtr(), nullptr);
  LogMark second;
  EXPECT_TRUE(main_->DrawMap(dc_, FALSE, 50, 40, 350, 240));
  EXPECT_GE(second.Count(), 1u);
  EXPECT_FALSE(canvas_.records().empty());
}

TEST_F(DrawMap, PrintingContextIsYUp) {
  // A printer context in 0.01 mm with y up: the device rectangle has top > bottom.
  md::canvas::RecordingCanvas paper(900, 1200);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 100;
  HDC pdc = md::win::CreatePrinterDC(&paper, setup, &md::text::FixedMetricsEngine());
  ASSERT_NE(pdc, nullptr);
  SetMapMode(pdc, MM_HIMETRIC);
  AddLine(layer_, {{0, 0}, {300, 200}});
  main_->SetMap(map_);
  IGIS_MapView* v = main_->GetMapView();
  ASSERT_TRUE(v->SetDeviceRect(SGIS_Rect(1000, -1000, 16000, -11000)));
  ASSERT_TRUE(v->ZoomToExtent(SGIS_DRect(0, 200, 300, 0), 0, nullptr, 0));
  ASSERT_TRUE(main_->DrawMap(pdc, TRUE, 1000, -1000, 16000, -11000));
  auto lines = paper.shapesOf(ShapeKind::Polyline);
  ASSERT_EQ(lines.size(), 1u);
  auto lp = lines[0]->Points();
  // 15000 x 10000 units of 0.01 mm at 100 dpi: from (1000, 11000) to (16000, 1000) in
  // hundredths of a millimetre, i.e. pixels (39.4, 433.1) to (629.9, 39.4).
  EXPECT_NEAR(lp.front().x, 39.4, 1.0);
  EXPECT_NEAR(lp.front().y, 433.1, 1.0);
  EXPECT_NEAR(lp.back().x, 629.9, 1.0);
  EXPECT_NEAR(lp.back().y, 39.4, 1.0);
  DeleteDC(pdc);
}

}  // namespace

namespace {

using namespace md::test;

TEST(DrawMapProjection, FeaturesThatCannotBeCarriedAreLeftOut) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  IGIS_Map* map = nullptr;
  MakeTestMap(doc.get(), &map);  // Gauss-Kruger, central meridian 117 E
  ReferencePtr degrees(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
  IGIS_MapLayer* layer = GIS_CreateVectorLayerObject("经纬度", degrees.get());
  auto* data = dynamic_cast<IGIS_VectorMapLayer*>(layer->GetLayerPtr());
  IGIS_Symbol* line = NewSymbol(GIS_SYMBOL_LINE, 3331, RGB(255, 0, 0));
  data->GetSymbolMatchTable()->AddEntry("l", "线", line);
  line->Release();
  const SGIS_DPoint good[2] = {{116.9, 39.9}, {117.1, 40.0}};
  const SGIS_DPoint far[2] = {{117.0, 40.0}, {117.0, 95.0}};  // past the pole
  const int two = 2;
  ASSERT_EQ(data->AddFeature(GIS_MAPFEATURE_LINE, 0, "", 1, &two, good), 0);
  ASSERT_EQ(data->AddFeature(GIS_MAPFEATURE_LINE, 0, "", 1, &two, far), 1);
  LogMark mark;
  ASSERT_TRUE(map->AddLayer(layer));
  EXPECT_GE(mark.Count(), 1u);
  // The extent holds the good line only: a few kilometres about 117 E, 40 N.
  SGIS_DRect e;
  ASSERT_TRUE(data->GetExtent(&e));
  EXPECT_NEAR((e.x1 + e.x2) / 2, 500000, 10000);
  EXPECT_NEAR((e.y1 + e.y2) / 2, 4425000, 10000);
  EXPECT_LT(e.x2 - e.x1, 20000);

  md::canvas::RecordingCanvas canvas(400, 300);
  HDC dc = md::win::CreateScreenDC(&canvas, 72, &md::text::FixedMetricsEngine());
  MainPtr main(HM_CreateMainObject(0));
  main->SetMap(map);
  IGIS_MapView* view = main->GetMapView();
  ASSERT_TRUE(view->SetDeviceRect(SGIS_Rect(0, 0, 400, 300)));
  // An extent given in the map's own reference object lands unchanged.
  ASSERT_TRUE(view->ZoomToExtent(e, 0, map->GetSpatialReference(), 0));
  SGIS_DRect shown;
  view->GetExtent(&shown);
  EXPECT_NEAR((shown.x1 + shown.x2) / 2, (e.x1 + e.x2) / 2, 1e-3);
  EXPECT_NEAR((shown.y1 + shown.y2) / 2, (e.y1 + e.y2) / 2, 1e-3);
  ASSERT_TRUE(main->DrawMap(dc, FALSE, 0, 0, 400, 300));
  EXPECT_EQ(canvas.shapesOf(md::canvas::ShapeKind::Polyline).size(), 1u);
  DeleteDC(dc);
}

}  // namespace
