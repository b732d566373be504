// Drawing the map frame on screen and in print: the map inside the frame's
// clip, the clip of the context restored, the order of frame, map, borders
// and grids, draft mode, and drawings that cannot show the map.
#include <algorithm>
#include <cstring>

#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "tests/layout/graphicelement/mapframe/mapframetest.h"

namespace {

using md::canvas::Record;
using md::test::Journal;
using md::test::LogMark;
using md::test::MapFramePage;
using md::test::Printer;
using md::test::Screen;
using md::test::TestBorder;
using md::test::TestGrid;

constexpr COLORREF kWater = RGB(120, 170, 230);
constexpr COLORREF kRoad = RGB(200, 60, 40);

bool IsMapRecord(const Record& r) {
  return r.type == Record::Type::Shape && (r.brush.color == kWater || r.pen.color == kRoad);
}

// The indexes of the records that draw the map's features.
std::vector<std::size_t> MapRecords(const md::canvas::RecordingCanvas& canvas) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < canvas.records().size(); ++i) {
    if (IsMapRecord(canvas.records()[i])) out.push_back(i);
  }
  return out;
}

// The pixel box of a device rectangle.
struct Box {
  int l, t, r, b;
};

// Whether every clip rectangle of the record lies inside the box.
bool ClipInside(const Record& r, const Box& box) {
  if (!r.state.clip.active || r.state.clip.rects.empty()) return false;
  for (const md::canvas::Rect& c : r.state.clip.rects) {
    if (c.left < box.l || c.top < box.t || c.right > box.r || c.bottom > box.b) return false;
  }
  return true;
}

// The clip region of a context as its rectangles ("none" without a clip).
std::string ClipOf(HDC hdc) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  std::string out = "none";
  if (GetClipRgn(hdc, rgn) == 1) {
    RECT box;
    GetRgnBox(rgn, &box);
    out = std::to_string(box.left) + "," + std::to_string(box.top) + "," + std::to_string(box.right) + "," +
          std::to_string(box.bottom);
  }
  DeleteObject(rgn);
  return out;
}

using MapFrameDraw = MapFramePage;

TEST_F(MapFrameDraw, OnScreenTheMapDrawsInsideTheFrameAndTheClipComesBack) {
  CGIS_MapElement* f = NewFrame();  // page 1000..11000 x 4000..9000
  f->SetMapName("测试地图");
  f->SetScale(0.5);
  for (bool preset : {false, true}) {
    Screen screen;
    if (preset) IntersectClipRect(screen.hdc, 50, 50, 1500, 1500);
    const std::string before = ClipOf(screen.hdc);
    ASSERT_TRUE(f->OnDraw(screen.hdc, false, &screen.display));
    EXPECT_EQ(ClipOf(screen.hdc), before);
    // 254 dpi: one pixel is 0.1 mm; the page point (0, 20000) is pixel (0, 0).
    const Box frame{100, 1100, 1100, 1600};
    const std::vector<std::size_t> map = MapRecords(screen.canvas);
    ASSERT_FALSE(map.empty());
    for (std::size_t i : map) EXPECT_TRUE(ClipInside(screen.canvas.records()[i], frame)) << i;
    // The frame's border is drawn over the map.
    EXPECT_LT(map.back() + 1, screen.canvas.records().size());
  }
}

TEST_F(MapFrameDraw, InPrintTheMapDrawsInsideTheFrameAndThePaper) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  f->SetScale(0.5);
  Printer printer;
  const std::string before = ClipOf(printer.hdc);
  ASSERT_TRUE(f->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_EQ(ClipOf(printer.hdc), before);
  const std::vector<std::size_t> map = MapRecords(printer.canvas);
  ASSERT_FALSE(map.empty());
  // 254 dpi printer pixels: the frame spans x 100..1100 and y 1100..1600.
  const Box frame{100, 1100, 1100, 1600};
  for (std::size_t i : map) EXPECT_TRUE(ClipInside(printer.canvas.records()[i], frame)) << i;
}

TEST_F(MapFrameDraw, FrameMapBordersAndGridsDrawInTheirOrder) {
  Journal& j = journal_;
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  auto* inner = new TestBorder(&j, "in");
  auto* outer = new TestBorder(&j, "out");
  f->SetInnerMapBorder(inner);
  f->SetOuterMapBorder(outer);
  inner->Release();
  outer->Release();
  ASSERT_TRUE(f->GetMapGrids()->AddMapGrid(new TestGrid(&j, "A")));
  ASSERT_TRUE(f->GetMapGrids()->AddMapGrid(new TestGrid(&j, "B")));
  j.events.clear();
  Screen screen;
  ASSERT_TRUE(f->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_EQ(j.events, (std::vector<std::string>{"draw border in' screen 1000", "draw border out' screen 1000",
                                                "draw grid B", "draw grid A"}));
  j.events.clear();
  Printer printer;
  ASSERT_TRUE(f->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_EQ(j.events.front(), "draw border in' print 1000");
}

TEST_F(MapFrameDraw, DraftModeShowsTheBoxOnScreenOnly) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  f->GetFramePropertyPtr()->SetDraftMode(true);
  Journal& j = journal_;
  ASSERT_TRUE(f->GetMapGrids()->AddMapGrid(new TestGrid(&j, "A")));
  j.events.clear();
  Screen screen;
  ASSERT_TRUE(f->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_TRUE(MapRecords(screen.canvas).empty());
  EXPECT_FALSE(screen.canvas.records().empty());
  EXPECT_TRUE(j.events.empty());
  Printer printer;
  ASSERT_TRUE(f->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_FALSE(MapRecords(printer.canvas).empty());
  EXPECT_EQ(j.events, (std::vector<std::string>{"draw grid A"}));
}

TEST_F(MapFrameDraw, AFrameOutsideTheDrawableAreaDrawsNoMap) {
  Journal& j = journal_;
  CGIS_MapElement* f = NewFrame(SGIS_Rect(300000, 9000, 310000, 4000));  // far right of the canvas
  f->SetMapName("测试地图");
  ASSERT_TRUE(f->GetMapGrids()->AddMapGrid(new TestGrid(&j, "A")));
  j.events.clear();
  Screen screen;
  ASSERT_TRUE(f->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_TRUE(MapRecords(screen.canvas).empty());
  EXPECT_EQ(j.events, (std::vector<std::string>{"draw grid A"}));
  EXPECT_EQ(f->GetMainObject()->GetMapView()->GetRefreshCount(), 0);
}

TEST_F(MapFrameDraw, WithoutAPageReferenceNothingIsDrawn) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  Screen screen;
  LogMark mark;
  EXPECT_FALSE(f->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::OnDraw", "p_spatialreference== NULL "));
  EXPECT_TRUE(screen.canvas.records().empty());
}

TEST_F(MapFrameDraw, ABoundBelowOneMapUnitTakesTheFullExtent) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  ASSERT_TRUE(f->Archive(0, 0));
  IGIS_PropertySet* custom = CustomOf(f);
  IGIS_DataBuffer* b = custom->GetProperty("MapBound")->GetDataBuffer();
  const double tiny[4] = {421000.0, 421000.5, 4411000.5, 4411000.0};
  std::memcpy(b->GetData(), tiny, 32);
  IGIS_DataBuffer* out = GIS_CreateDataBufferObject(0);
  custom->Archive(out, GIS_ARCHIVE_WRITE, 0);
  f->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", out, 0);
  out->Release();
  custom->Release();
  auto* g = new CGIS_MapElement(set_, f->GetFeaturePtr());
  frames_.push_back(g);
  ASSERT_TRUE(g->Archive(1, 0));
  SGIS_DRect bound;
  g->GetMapBound(&bound);
  ASSERT_LT(bound.Height(), 1.0);
  const std::size_t history = g->GetExtentHistory().size();
  Screen screen;
  ASSERT_TRUE(g->OnDraw(screen.hdc, false, &screen.display));
  g->GetMapBound(&bound);
  SGIS_DRect full;
  map_->GetFullExtent(&full, 0);
  EXPECT_NEAR(bound.Height(), full.Height(), 1e-6);
  EXPECT_GT(g->GetExtentHistory().size(), history);
  EXPECT_FALSE(MapRecords(screen.canvas).empty());
}

TEST_F(MapFrameDraw, DrawingLeavesTheStoredFormAlone) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  f->SetScale(0.5);
  ASSERT_TRUE(f->Archive(0, 0));
  IGIS_DataBuffer* b = f->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  const std::vector<BYTE> before(b->GetData(), b->GetData() + b->GetSize());
  Screen screen;
  ASSERT_TRUE(f->OnDraw(screen.hdc, false, &screen.display));
  Printer printer;
  ASSERT_TRUE(f->OnDraw(printer.hdc, true, printer.display.get()));
  b = f->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  EXPECT_EQ(std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize()), before);
}

// A grid that notes, while it draws, the device point the frame's view gives
// a map point.
class ViewProbeGrid final : public md::test::MapGridDouble<> {
 public:
  ViewProbeGrid(SGIS_DPoint point, std::vector<SGIS_DPoint>* seen) : point_(point), seen_(seen) {}
  bool OnDraw(HDC, bool, IGIS_Display*) override {
    IGIS_MapView* view = frame_->GetMainObject()->GetMapView();
    seen_->push_back(view->PageToDevicePoint(point_, nullptr));
    return true;
  }

 private:
  SGIS_DPoint point_;
  std::vector<SGIS_DPoint>* seen_;
};

TEST_F(MapFrameDraw, GridsLieOverTheFrameWhetherTheMapHasDataOrNot) {
  IGIS_SpatialReference* gk = md::test::NewGaussKruger();
  ASSERT_NE(doc_->CreateMap("空地图", gk), nullptr);
  gk->Release();
  using md::test::kWaterX1, md::test::kWaterX2, md::test::kWaterY1, md::test::kWaterY2;
  const SGIS_DRect bound(kWaterX1, kWaterY2, kWaterX2, kWaterY1);
  const SGIS_DPoint centre((kWaterX1 + kWaterX2) / 2.0, (kWaterY1 + kWaterY2) / 2.0);
  struct Row {
    const char* map;
    bool print;
  };
  for (const Row& row :
       {Row{"测试地图", false}, Row{"空地图", false}, Row{"测试地图", true}, Row{"空地图", true}}) {
    SCOPED_TRACE(std::string(row.map) + (row.print ? " print" : " screen"));
    CGIS_MapElement* f = NewFrame();  // page 1000..11000 x 4000..9000
    f->SetMapName(row.map);
    f->SetMapBound(bound);
    std::vector<SGIS_DPoint> seen;
    auto* probe = new ViewProbeGrid(centre, &seen);
    probe->SetMapElement(f);
    ASSERT_TRUE(f->GetMapGrids()->AddMapGrid(probe));
    Screen screen;
    Printer printer;
    IGIS_Display* display = row.print ? static_cast<IGIS_Display*>(printer.display.get()) : &screen.display;
    ASSERT_TRUE(f->OnDraw(row.print ? printer.hdc : screen.hdc, row.print, display));
    // The bound's centre lies at the frame's centre.
    const SGIS_DPoint want = display->GetView()->PageToDevicePoint(SGIS_DPoint(6000.0, 6500.0), page_);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NEAR(seen[0].x, want.x, 1.0);
    EXPECT_NEAR(seen[0].y, want.y, 1.0);
    ReleaseFrame(f);
  }
}

}  // namespace
