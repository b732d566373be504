// How frame, bound and scale follow each other: the extent modes, resizing,
// the extent history, and scale and extent at several scales and rotations.
#include <cmath>
#include <string>

#include "host/helmora/gis_mapfile.h"

#include "tests/layout/graphicelement/mapframe/mapframetest.h"

namespace {

using md::test::MapFramePage;
using md::test::Printer;
using md::test::Probe;

using MapFrameExtent = MapFramePage;

// A 1000 x 500 frame shown a 4000 x 1000 bound, by extent mode.
struct ModeRow {
  int extentType;
  double fixScaleBefore;  // set through SetScale first; 0: left as binding made it
  double fixScale;        // afterwards
  double width, height;   // of the bound afterwards
  bool announced;         // whether the new scale was sent
};
const ModeRow kModeRows[] = {
    {GIS_MAP_EXTENT_AUTOMATIC, 0.0, 4.0, 4000, 2000, true},
    {GIS_MAP_EXTENT_FIXED_SCALE, 10.0, 10.0, 10000, 5000, true},
    {GIS_MAP_EXTENT_FIXED_EXTENT, 0.0, 4.0, 4000, 1000, false},
};

class MapFrameModes : public MapFramePage, public ::testing::WithParamInterface<ModeRow> {};

TEST_P(MapFrameModes, ANewBoundFollowsTheExtentMode) {
  const ModeRow& row = GetParam();
  CGIS_MapElement* f = NewFrame(SGIS_Rect(0, 500, 1000, 0));
  f->SetMap(map_);
  f->SetExtentType(row.extentType);
  if (row.fixScaleBefore > 0) f->SetScale(row.fixScaleBefore);
  Probe probe;
  f->Attach(&probe, 0);
  f->SetMapBound(SGIS_DRect(420000, 4415500, 424000, 4414500));
  SGIS_DRect b;
  f->GetMapBound(&b);
  EXPECT_NEAR(b.Width(), row.width, 1e-6);
  EXPECT_NEAR(b.Height(), row.height, 1e-6);
  EXPECT_NEAR((b.x1 + b.x2) / 2, 422000, 1e-6);
  EXPECT_NEAR((b.y1 + b.y2) / 2, 4415000, 1e-6);
  EXPECT_EQ(probe.Count(GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED), row.announced ? 1 : 0);
  if (row.extentType != GIS_MAP_EXTENT_FIXED_EXTENT) {
    EXPECT_NEAR(f->GetScale(), row.fixScale, 1e-12);
  }
  f->Detach(&probe, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, MapFrameModes, ::testing::ValuesIn(kModeRows),
                         [](const ::testing::TestParamInfo<ModeRow>& info) {
                           return "ExtentType" + std::to_string(info.param.extentType);
                         });

TEST_F(MapFrameExtent, ScalesAndBoundsThatCannotBeShownChangeLittle) {
  CGIS_MapElement* unbound = NewFrame(SGIS_Rect(0, 500, 1000, 0));
  unbound->SetScale(3.0);
  unbound->SetMapBound(SGIS_DRect(0, 10, 10, 0));
  SGIS_DRect b;
  unbound->GetMapBound(&b);
  EXPECT_EQ(b, SGIS_DRect(0, 500, 1000, 0));  // without a map: the frame in page units
  EXPECT_EQ(unbound->GetScale(), 0.0);

  CGIS_MapElement* f = NewFrame(SGIS_Rect(0, 500, 1000, 0));
  f->SetMap(map_);
  const double before = f->GetScale();
  f->SetScale(0.0);
  f->SetScale(-2.0);
  f->SetScale(std::nan(""));
  EXPECT_EQ(f->GetScale(), before);
  f->SetMapBound(SGIS_DRect(5, 10, 5, 0));  // no width: the frame in page units
  f->GetMapBound(&b);
  EXPECT_EQ(b, SGIS_DRect(0, 500, 1000, 0));
}

TEST_F(MapFrameExtent, AskingForTheScaleChangesNothing) {
  // A fixed extent keeps a bound of other proportions than the frame's.
  CGIS_MapElement* f = NewFrame(SGIS_Rect(0, 500, 1000, 0));
  f->SetMap(map_);
  f->SetExtentType(GIS_MAP_EXTENT_FIXED_EXTENT);
  f->SetMapBound(SGIS_DRect(0, 100, 300, 0));
  SGIS_DRect before, after;
  f->GetMapBound(&before);
  ASSERT_TRUE(f->Archive(0, 0));
  IGIS_FeatureAttributes* a = f->GetFeaturePtr()->GetAttributes();
  IGIS_DataBuffer* custom = a->GetDataBuffer("Custom");
  ASSERT_NE(custom, nullptr);
  const std::vector<BYTE> stored(custom->GetData(), custom->GetData() + custom->GetSize());
  // The bound widened to the frame: 300 map units across 1000 page units.
  EXPECT_NEAR(f->GetScale(), 0.3, 1e-12);
  EXPECT_NEAR(f->GetScale(), 0.3, 1e-12);
  f->GetMapBound(&after);
  EXPECT_EQ(after, before);
  ASSERT_TRUE(f->Archive(0, 0));
  custom = a->GetDataBuffer("Custom");
  EXPECT_EQ(std::vector<BYTE>(custom->GetData(), custom->GetData() + custom->GetSize()), stored);
}

// Resizing a 1000 x 1000 frame that keeps its proportions.
struct SizeRow {
  int w, h;
  int expectW, expectH;
};
const SizeRow kSizeRows[] = {
    {2000, 1000, 1000, 1000}, {500, 800, 800, 800}, {3000, 1500, 1500, 1500}, {1000, 1000, 1000, 1000}};

TEST_F(MapFrameExtent, AFrameKeepingItsProportionsResizesByOneRatio) {
  for (const SizeRow& row : kSizeRows) {
    CGIS_MapElement* f = NewFrame(SGIS_Rect(100, 1100, 1100, 100));
    f->SetMap(map_);
    f->SetHVScaleRatio(true);
    const std::size_t history = f->GetExtentHistory().size();
    f->SetWidthAndHeight(row.w, row.h);
    const SGIS_Rect r = f->GetRect();
    EXPECT_EQ(r.Width(), row.expectW) << row.w << "x" << row.h;
    EXPECT_EQ(r.Height(), row.expectH) << row.w << "x" << row.h;
    EXPECT_EQ(r.left, 100);  // the left-bottom corner stays
    EXPECT_EQ(r.bottom, 100);
    if (row.w == 1000 && row.h == 1000) {
      EXPECT_EQ(f->GetExtentHistory().size(), history);
    }
  }
}

TEST_F(MapFrameExtent, MovingTheFrameMovesTheMapWithIt) {
  CGIS_MapElement* f = NewFrame(SGIS_Rect(0, 500, 1000, 0));
  f->SetMap(map_);
  SGIS_DRect before, after;
  f->GetMapBound(&before);
  f->OffsetAllPoints(0, 0);
  f->OffsetAllPoints(250, -40);
  f->GetMapBound(&after);
  EXPECT_EQ(after, before);
  EXPECT_EQ(f->GetRect(), SGIS_Rect(250, 460, 1250, -40));
  f->SetLBpoint(SGIS_Point(0, 0));
  EXPECT_EQ(f->GetRect(), SGIS_Rect(0, 500, 1000, 0));
  // Scaling the frame about a point re-fits the scale, not the history.
  const std::size_t history = f->GetExtentHistory().size();
  f->ScaleShape(SGIS_Point(0, 0), 2.0, 2.0);
  EXPECT_EQ(f->GetRect(), SGIS_Rect(0, 1000, 2000, 0));
  EXPECT_EQ(f->GetExtentHistory().size(), history);
  f->ScaleShape(SGIS_Point(0, 0), 0.0, 2.0);
  EXPECT_EQ(f->GetRect(), SGIS_Rect(0, 1000, 2000, 0));
}

TEST_F(MapFrameExtent, TheHistoryGoesBackAndForthAndForgetsWhatWasAhead) {
  CGIS_MapElement* f = NewFrame(SGIS_Rect(0, 500, 1000, 0));
  f->SetMap(map_);
  f->SetScale(1.0);
  f->SetScale(2.0);
  f->SetScale(3.0);
  const std::size_t n = f->GetExtentHistory().size();
  ASSERT_GE(n, 3u);
  EXPECT_FALSE(f->CanGoNextExtent());
  f->SetScale(3.0);  // the same extent again does not grow the history
  EXPECT_EQ(f->GetExtentHistory().size(), n);

  ASSERT_TRUE(f->GoPreviousExtent());
  EXPECT_NEAR(f->GetScale(), 2.0, 1e-9);
  ASSERT_TRUE(f->GoPreviousExtent());
  EXPECT_NEAR(f->GetScale(), 1.0, 1e-9);
  EXPECT_TRUE(f->CanGoNextExtent());
  ASSERT_TRUE(f->GoNextExtent());
  EXPECT_NEAR(f->GetScale(), 2.0, 1e-9);
  ASSERT_TRUE(f->GoPreviousExtent());
  // A new scale here drops the two extents ahead.
  f->SetScale(5.0);
  EXPECT_EQ(f->GetExtentHistory().size(), n - 1);
  EXPECT_FALSE(f->CanGoNextExtent());
  EXPECT_FALSE(f->GoNextExtent());
  while (f->CanGoPreviousExtent()) ASSERT_TRUE(f->GoPreviousExtent());
  EXPECT_FALSE(f->GoPreviousExtent());
  EXPECT_EQ(f->GetExtentHistoryIndex(), 0);
}

TEST_F(MapFrameExtent, TheFullExtentIsCroppedToTheFrame) {
  CGIS_MapElement* f = NewFrame(SGIS_Rect(0, 500, 1000, 0));
  EXPECT_FALSE(f->FullExtent());  // no map
  f->SetMap(map_);
  f->SetScale(0.1);
  ASSERT_TRUE(f->FullExtent());
  SGIS_DRect full, b;
  map_->GetFullExtent(&full, 0);
  f->GetMapBound(&b);
  // The map's 20 km square shown in a 2 : 1 frame keeps its width.
  EXPECT_NEAR(b.Width(), full.Width(), 1e-6);
  EXPECT_NEAR(b.Height(), full.Width() / 2, 1e-6);
  EXPECT_TRUE(f->CanGoPreviousExtent());
}

// Scale and extent through the drawing: a ground distance measured on the
// printed page, at several scales and rotations of the map.
struct ScaleRow {
  double denominator;  // 1 : n
  double rotation;     // degrees
};
const ScaleRow kScaleRows[] = {{50000, 0.0}, {50000, 30.0}, {10000, -45.0}, {250000, 90.0}, {25000, 12.5}};

class MapFrameScales : public MapFramePage, public ::testing::WithParamInterface<ScaleRow> {};

TEST_P(MapFrameScales, AGroundKilometreHasItsLengthOnThePrintedPage) {
  const ScaleRow& row = GetParam();
  ASSERT_TRUE(map_->SetRotateAngle(row.rotation));
  CGIS_MapElement* f = NewFrame();  // 100 x 50 mm at (10 mm, 40 mm)
  f->SetMapName("测试地图");
  // Map metres per page unit of 0.01 mm.
  const double s = row.denominator / 1e5;
  f->SetScale(s);
  EXPECT_NEAR(f->GetScale(), s, 1e-12);
  SGIS_DRect b;
  f->GetMapBound(&b);
  EXPECT_NEAR(b.Width(), 10000 * s, 1e-6);
  EXPECT_NEAR(b.Height(), 5000 * s, 1e-6);

  Printer printer;
  ASSERT_TRUE(f->OnDraw(printer.hdc, true, printer.display.get()));
  IGIS_MapView* view = f->GetMainObject()->GetMapView();
  const SGIS_DPoint c = b.CenterPoint();
  const SGIS_DPoint a = view->PageToDevicePoint(c, nullptr);
  const SGIS_DPoint e = view->PageToDevicePoint(SGIS_DPoint(c.x + 1000.0, c.y), nullptr);
  // The bound's centre lies on the frame's centre (6000, 6500), the paper's
  // top-left corner being page (0, 20000) and logical (0, 0).
  EXPECT_NEAR(a.x, 6000, 0.5);
  EXPECT_NEAR(a.y, 6500 - 20000, 0.5);
  // 1 km on the ground is 1e5 / n cm on paper: 20 mm at 1:50,000.
  EXPECT_NEAR(std::hypot(e.x - a.x, e.y - a.y), 1e8 / row.denominator, 1.0);
  // East turns counter-clockwise by the map's rotation on a y-up page.
  EXPECT_NEAR(std::atan2(e.y - a.y, e.x - a.x) * 180 / M_PI, row.rotation, 1e-6);
  EXPECT_EQ(f->GetRotateAngle(), row.rotation);
}

INSTANTIATE_TEST_SUITE_P(Scales, MapFrameScales, ::testing::ValuesIn(kScaleRows),
                         [](const ::testing::TestParamInfo<ScaleRow>& info) {
                           const long angle = std::lround(info.param.rotation * 10);
                           return "OneTo" + std::to_string(std::lround(info.param.denominator)) + "Turned" +
                                  (angle < 0 ? "Minus" : "") + std::to_string(std::labs(angle)) + "Tenths";
                         });

// The 1:50,000 sample sheet in CGCS2000 3-degree Gauss-Kruger.
class MapFrameSampleSheet : public MapFramePage {
 protected:
  void SetUp() override {
    MapFramePage::SetUp();
    sheet_ =
        GIS_LoadMapFile(doc_, (std::string(MD_SOURCE_DIR) + "/host/helmora/maps/sheet_50k.geojson").c_str());
    ASSERT_NE(sheet_, nullptr);
  }
  IGIS_Map* sheet_ = nullptr;
};

TEST_F(MapFrameSampleSheet, AtOneToFiftyThousandAGroundKilometreIsTwentyMillimetres) {
  CGIS_MapElement* f = NewFrame(SGIS_Rect(2000, 17000, 22000, 2000));  // 200 x 150 mm
  f->SetMapName(sheet_->GetName());
  ASSERT_EQ(f->GetMap(), sheet_);
  f->SetScale(0.5);  // 0.5 m per 0.01 mm
  EXPECT_DOUBLE_EQ(f->GetScale(), 0.5);
  Printer printer;
  ASSERT_TRUE(f->OnDraw(printer.hdc, true, printer.display.get()));
  IGIS_MapView* view = f->GetMainObject()->GetMapView();
  SGIS_DRect b;
  f->GetMapBound(&b);
  const SGIS_DPoint c = b.CenterPoint();
  for (const SGIS_DPoint& d : {SGIS_DPoint(1000, 0), SGIS_DPoint(0, 1000), SGIS_DPoint(-600, 800)}) {
    const SGIS_DPoint p = view->PageToDevicePoint(c, nullptr);
    const SGIS_DPoint q = view->PageToDevicePoint(SGIS_DPoint(c.x + d.x, c.y + d.y), nullptr);
    EXPECT_NEAR(std::hypot(q.x - p.x, q.y - p.y), 2000.0, 1.0);  // 20 mm within 0.01 mm
  }
  // The view's real-world scale, from the ground distance along the frame's
  // vertical centre line: 1:50,000 within the grid's scale error.
  EXPECT_NEAR(view->GetScale(), 50000.0, 50.0);
}

TEST_F(MapFrameSampleSheet, APageReferenceInMillimetresGivesTheSameScale) {
  IGIS_SpatialReferenceFactory* refs = GIS_GetSpatialReferenceFactoryObject();
  IGIS_SpatialReference* gk = md::test::NewGaussKruger();
  IGIS_SpatialReference* page = refs->CreateGeographicReference(
      "page", "page", gk->GetProjectedCoordSys()->GetProjection(),
      gk->GetProjectedCoordSys()->GetGeographicCoordSys(), refs->GetUnitByName("毫米"));
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(page->SetUnitFactor(100.0));  // page coordinates / 100 = mm
  set_->GetFeatureClass()->SetSpatialReference(page);
  CGIS_MapElement* f = NewFrame(SGIS_Rect(2000, 17000, 22000, 2000));
  f->SetMapName(sheet_->GetName());
  f->SetScale(0.5);
  EXPECT_NEAR(f->GetMainObject()->GetMapView()->GetScale(), 50000.0, 50.0);
  // Without layers the real-world scale is 1.
  IGIS_Map* empty = doc_->CreateMap("空图", gk);
  f->SetMap(empty);
  f->SetScale(2.0);
  EXPECT_EQ(f->GetMainObject()->GetMapView()->GetScale(), 1.0);
  f->SetMap(nullptr);
  set_->GetFeatureClass()->SetSpatialReference(page_);
  page->Release();
  gk->Release();
}

TEST(MapFrameRects, DoubleRectangleHelpers) {
  SGIS_DRect r(5, 1, 2, 7);  // x1 5, y1 1, x2 2, y2 7
  NormalizeDoubleRect(&r);
  EXPECT_EQ(r, SGIS_DRect(2, 1, 5, 7));
  EXPECT_TRUE(IsEqualDoubleRect(SGIS_DRect(1e6, 2e6, 3e6, 4e6), SGIS_DRect(1e6 + 1e-10, 2e6, 3e6, 4e6)));
  EXPECT_FALSE(IsEqualDoubleRect(SGIS_DRect(1e6, 2e6, 3e6, 4e6), SGIS_DRect(1e6 + 1e-8, 2e6, 3e6, 4e6)));
  EXPECT_FALSE(IsEqualDoubleRect(SGIS_DRect(0, 0, 0, 0), SGIS_DRect(1e-300, 0, 0, 0)));
  const SGIS_Rect i = DoubleRectToIntRect(1.5, -1.5, 2.49, -2.5);
  EXPECT_EQ(i.left, 2);
  EXPECT_EQ(i.right, -2);
  EXPECT_EQ(i.top, 2);
  EXPECT_EQ(i.bottom, -3);
  const SGIS_Rect huge = DoubleRectToIntRect(1e20, -1e20, std::nan(""), 0);
  EXPECT_EQ(huge.left, INT32_MAX);
  EXPECT_EQ(huge.right, INT32_MIN);
  EXPECT_EQ(huge.top, 0);
}

}  // namespace
