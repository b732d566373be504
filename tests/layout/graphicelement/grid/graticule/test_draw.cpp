// The graticule drawn over the 1:50 000 sample sheet on a recording printer:
// where its lines, ticks, hatches and interior labels fall, against the
// places sferon and the frame's map view give, and what each drawing
// records and leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/helmora/igis_mainobject.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/layout/graphicelement/grid/graticule/graticuletest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::DmsLabelDouble;
using md::test::Owned;
using md::test::Stroke;

constexpr COLORREF kLineColor = RGB(0, 0, 200);
constexpr COLORREF kTickColor = RGB(0, 150, 0);
constexpr COLORREF kSubTickColor = RGB(150, 150, 0);
constexpr COLORREF kHatchColor = RGB(200, 0, 0);
constexpr COLORREF kMainHatchColor = RGB(200, 0, 200);
constexpr COLORREF kSubHatchColor = RGB(0, 200, 200);
constexpr double kMinute = 1.0 / 60;

double Distance(md::canvas::Point p, md::canvas::Point a, md::canvas::Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The least distance from the point to any stroke of the colour.
double Nearest(const std::vector<Stroke>& strokes, COLORREF color, md::canvas::Point p) {
  double best = 1e30;
  for (const Stroke& s : strokes) {
    if (s.color != color) continue;
    for (std::size_t i = 0; i + 1 < s.points.size(); ++i)
      best = std::min(best, Distance(p, s.points[i], s.points[i + 1]));
    if (s.points.size() == 1) best = std::min(best, std::hypot(p.x - s.points[0].x, p.y - s.points[0].y));
  }
  return best;
}

std::vector<Stroke> OfColor(const std::vector<Stroke>& strokes, COLORREF color) {
  std::vector<Stroke> out;
  for (const Stroke& s : strokes)
    if (s.color == color) out.push_back(s);
  return out;
}

class GraticuleDraw : public md::test::SheetPage {
 protected:
  void SetUp() override {
    SheetPage::SetUp();
    grid_ = NewGraticule(1.0);
    Symbol(&IGIS_MapGrid::SetLineSymbol, kLineColor);
    Symbol(&IGIS_MapGrid::SetTickLineSymbol, kTickColor);
    Symbol(&IGIS_MapGrid::SetSubTickLineSymbol, kSubTickColor);
    Owned<IGIS_Symbol> h(md::test::NewLineSymbol(kHatchColor, 0.1));
    Owned<IGIS_Symbol> m(md::test::NewLineSymbol(kMainHatchColor, 0.1));
    Owned<IGIS_Symbol> s(md::test::NewLineSymbol(kSubHatchColor, 0.1));
    grid_->SetHatchLineSymbolPtr(h.get());
    grid_->SetMainHatchLineSymbolPtr(m.get());
    grid_->SetSubHatchLineSymbolPtr(s.get());
    text_ = md::test::NewTextSymbol(8);
  }
  void TearDown() override {
    grid_->Release();
    text_->Release();
    SheetPage::TearDown();
  }
  void Symbol(void (IGIS_MapGrid::*set)(IGIS_Symbol*), COLORREF color) {
    Owned<IGIS_Symbol> s(md::test::NewLineSymbol(color, 0.1));
    (grid_->*set)(s.get());
  }
  void GiveLabel(bool minutes, bool seconds, int digits = 0) {
    Owned<DmsLabelDouble> l(new DmsLabelDouble());
    l->text = text_;
    l->minutes = minutes;
    l->seconds = seconds;
    l->digits = digits;
    grid_->SetLabelFormat(l.get());
  }
  // Draws the frame, then (on a cleared canvas) the grid; the grid's result.
  bool Draw(md::test::GraticulePrinter& p) {
    DrawFrame(p);
    return grid_->OnDraw(p.hdc, true, p.display.get());
  }
  // Where the map view puts a geographic point, in the canvas's pixels.
  md::canvas::Point Pixel(md::test::GraticulePrinter& p, double lon, double lat) {
    IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
    IGIS_SpatialReference* map = sheet_->GetSpatialReference();
    IGIS_GeographicCoordSys* base = map->GetProjectedCoordSys()->GetGeographicCoordSys();
    Owned<IGIS_SpatialReference> degrees(f->CreateGeographicReference(
        "test", "test", nullptr,
        f->CreateGeographicCoordSys("test", "test", base->GetDatum(), base->GetPrimeMeridian(),
                                    f->GetAngularUnit(1)),
        nullptr));
    Owned<IGIS_CoordTransform> t(f->CreateCoordTransform("t", "t", degrees.get(), map));
    SGIS_DPoint g(lon, lat);
    EXPECT_TRUE(t->TransformPoint(1, &g, 1));
    const SGIS_DPoint d = frame_->GetMainObject()->GetMapView()->PageToDevicePoint(g, nullptr);
    POINT pt{static_cast<LONG>(std::lround(d.x)), static_cast<LONG>(std::lround(d.y))};
    LPtoDP(p.hdc, &pt, 1);
    return {static_cast<double>(pt.x), static_cast<double>(pt.y)};
  }
  // The frame's rectangle in the canvas's pixels: left, top, right, bottom.
  RECT FramePixels(md::test::GraticulePrinter& p) {
    const SGIS_Rect r = frame_->GetRect();
    POINT pts[2] = {{r.left, r.top}, {r.right, r.bottom}};
    const SGIS_Point a = p.display->GetView()->PageToDevicePoint(SGIS_Point(r.left, r.top, 0), page_);
    const SGIS_Point b = p.display->GetView()->PageToDevicePoint(SGIS_Point(r.right, r.bottom, 0), page_);
    pts[0] = {a.x, a.y};
    pts[1] = {b.x, b.y};
    LPtoDP(p.hdc, pts, 2);
    return RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
  }
  // Ticks of a side: strokes of the colour with one end on the side's edge.
  std::vector<Stroke> Ticks(md::test::GraticulePrinter& p, COLORREF color, bool bottom) {
    const RECT f = FramePixels(p);
    std::vector<Stroke> out;
    for (const Stroke& s : OfColor(md::test::StrokesOf(p.canvas), color)) {
      if (s.points.size() != 2) continue;
      const double edge = bottom ? f.bottom : f.top;
      if (std::fabs(s.points[0].y - edge) <= 1.0 && std::fabs(s.points[0].x - s.points[1].x) <= 1.0)
        out.push_back(s);
    }
    return out;
  }

  CGIS_GraticuleGrid* grid_ = nullptr;
  IGIS_Symbol* text_ = nullptr;
};

TEST_F(GraticuleDraw, AMinuteGraticuleCrossesTheSheetWhereSferonPutsIt) {
  grid_->SetTickVisible(false, false, false, false);
  grid_->SetSubTickVisible(false, false, false, false);
  md::test::GraticulePrinter p;
  ASSERT_TRUE(Draw(p));
  const std::vector<Stroke> strokes = md::test::StrokesOf(p.canvas);
  int checked = 0;
  for (int m = 0; m <= 15; ++m) {
    for (int n = 0; n <= 10; n += 5) {
      const double lon = 116.0 + m * kMinute, lat = 39.0 + (50 + n) * kMinute;
      // The meridian and the parallel of the point pass through it.
      EXPECT_LE(Nearest(strokes, kLineColor, Pixel(p, lon, lat)), 1.5) << m << "' " << n << "'";
      ++checked;
    }
  }
  EXPECT_EQ(checked, 48);
  // Every line stays inside the frame.
  const RECT f = FramePixels(p);
  for (const Stroke& s : OfColor(strokes, kLineColor)) {
    for (const md::canvas::Point& q : s.points) {
      EXPECT_GE(q.x, f.left - 1);
      EXPECT_LE(q.x, f.right + 1);
      EXPECT_GE(q.y, f.top - 1);
      EXPECT_LE(q.y, f.bottom + 1);
    }
  }
}

TEST_F(GraticuleDraw, ATurnedMapIsCoveredToItsCorners) {
  ASSERT_TRUE(sheet_->SetRotateAngle(30.0));
  grid_->SetTickVisible(false, false, false, false);
  grid_->SetSubTickVisible(false, false, false, false);
  md::test::GraticulePrinter p;
  ASSERT_TRUE(Draw(p));
  const std::vector<Stroke> strokes = md::test::StrokesOf(p.canvas);
  const RECT f = FramePixels(p);
  // One minute is about 200 pixels of latitude and 150 of longitude here, so
  // every point of a covered frame lies within 100 pixels of a line.
  for (POINT corner :
       {POINT{f.left, f.top}, POINT{f.right, f.top}, POINT{f.left, f.bottom}, POINT{f.right, f.bottom}}) {
    EXPECT_LE(Nearest(strokes, kLineColor, {static_cast<double>(corner.x), static_cast<double>(corner.y)}),
              110.0);
  }
  // Lines reach every edge of the frame.
  int touching[4] = {0, 0, 0, 0};
  for (const Stroke& s : OfColor(strokes, kLineColor)) {
    for (const md::canvas::Point& q : {s.points.front(), s.points.back()}) {
      touching[0] += std::fabs(q.x - f.left) <= 1.0;
      touching[1] += std::fabs(q.x - f.right) <= 1.0;
      touching[2] += std::fabs(q.y - f.top) <= 1.0;
      touching[3] += std::fabs(q.y - f.bottom) <= 1.0;
    }
  }
  for (int side : touching) EXPECT_GE(side, 5);
}

TEST_F(GraticuleDraw, TicksFollowTheirSwitchesDivisionAndLength) {
  struct Row {
    const char* name;
    int gridlineType, division, subCount;
    double length;
    int linesAtBottom;    // meridians reaching the bottom edge: checked against the ticks
    int ticksPerLine;     // bottom ticks per meridian
    int subTicksPerMain;  // bottom sub ticks per main tick
    bool inward;          // ticks point into the frame
  } rows[] = {
      {"lines and ticks", GIS_GRIDLINE_LINES, 1, 2, 200.0, -1, 1, 1, false},
      {"no lines, ticks all the same", GIS_GRIDLINE_NONE, 1, 2, 200.0, 0, 0, 1, false},
      {"tick division 2", GIS_GRIDLINE_LINES, 2, 2, 200.0, -1, 2, 1, false},
      {"sub tick count 1", GIS_GRIDLINE_LINES, 1, 1, 200.0, -1, 1, 0, false},
      {"sub tick count 0", GIS_GRIDLINE_LINES, 1, 0, 200.0, -1, 1, 0, false},
      {"negative tick length", GIS_GRIDLINE_LINES, 1, 2, -200.0, -1, 1, 1, true},
  };
  for (const Row& r : rows) {
    grid_->SetGridlineType(r.gridlineType);
    grid_->SetTickDivision(r.division);
    grid_->SetSubTickCount(r.subCount);
    grid_->SetTickLength(r.length);
    grid_->SetSubTickLength(r.length / 2);
    md::test::GraticulePrinter p;
    ASSERT_TRUE(Draw(p)) << r.name;
    const std::vector<Stroke> strokes = md::test::StrokesOf(p.canvas);
    const std::vector<Stroke> ticks = Ticks(p, kTickColor, true);
    const std::vector<Stroke> subs = Ticks(p, kSubTickColor, true);
    ASSERT_GT(ticks.size(), 10u) << r.name;
    const RECT f = FramePixels(p);
    int lines = 0;
    for (const Stroke& s : OfColor(strokes, kLineColor)) {
      const bool vertical = std::fabs(s.points.front().x - s.points.back().x) < 50.0;
      lines += vertical && (std::fabs(s.points.front().y - f.bottom) <= 1.0 ||
                            std::fabs(s.points.back().y - f.bottom) <= 1.0);
    }
    if (r.linesAtBottom == 0) {
      EXPECT_TRUE(OfColor(strokes, kLineColor).empty()) << r.name;
    } else {
      ASSERT_GT(lines, 10) << r.name;
      // The edge meridians enter on the corners: no tick there, and a divided
      // interval puts one more tick between each pair.
      EXPECT_NEAR(static_cast<double>(ticks.size()), lines * r.ticksPerLine, r.ticksPerLine + 1.0) << r.name;
    }
    EXPECT_NEAR(static_cast<double>(subs.size()), ticks.size() * r.subTicksPerMain, 2.0) << r.name;
    for (const Stroke& t : ticks) {
      // 2 mm at 10 pixels a millimetre, out of the frame or into it.
      EXPECT_NEAR(t.points[1].y - t.points[0].y, r.inward ? -20.0 : 20.0, 1.0) << r.name;
    }
  }
}

TEST_F(GraticuleDraw, OnATurnedMapBottomTicksStandOnlyWhereMeridiansCrossTheBottom) {
  ASSERT_TRUE(sheet_->SetRotateAngle(20.0));
  grid_->SetTickVisible(false, false, false, true);
  grid_->SetSubTickVisible(false, false, false, false);
  grid_->SetGridlineType(GIS_GRIDLINE_NONE);
  md::test::GraticulePrinter p;
  ASSERT_TRUE(Draw(p));
  const RECT f = FramePixels(p);
  const std::vector<Stroke> ticks = OfColor(md::test::StrokesOf(p.canvas), kTickColor);
  ASSERT_FALSE(ticks.empty());
  for (const Stroke& t : ticks) {
    EXPECT_NEAR(t.points[0].y, f.bottom, 1.0);
    EXPECT_GT(t.points[0].x, f.left);
    EXPECT_LT(t.points[0].x, f.right);
  }
}

TEST_F(GraticuleDraw, AZeroIntervalIsRecordedOncePerDrawingAndDrawsNothingOnItsAxis) {
  grid_->GetGridSpacing()->SetXIntervalSize(0.0);
  grid_->SetTickVisible(false, false, false, false);
  grid_->SetSubTickVisible(false, false, false, false);
  md::test::GraticulePrinter p;
  DrawFrame(p);
  md::test::LogMark mark;
  EXPECT_TRUE(grid_->OnDraw(p.hdc, true, p.display.get()));
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_SYMBOL, "CGIS_GraticuleGrid::OnDraw", "X_interval == 0"), 1);
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::OnDraw", "Y_interval == 0"), 0);
  // Only parallels: every line runs across the frame.
  const std::vector<Stroke> lines = OfColor(md::test::StrokesOf(p.canvas), kLineColor);
  ASSERT_FALSE(lines.empty());
  for (const Stroke& s : lines) EXPECT_GT(std::fabs(s.points.back().x - s.points.front().x), 1000.0);
  grid_->GetGridSpacing()->SetYIntervalSize(std::nan(""));
  md::test::LogMark again;
  EXPECT_TRUE(grid_->OnDraw(p.hdc, true, p.display.get()));
  EXPECT_EQ(again.Count(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::OnDraw", "Y_interval == 0"), 1);
}

TEST_F(GraticuleDraw, TheClipIsAsItWasAfterEveryWay) {
  md::test::GraticulePrinter p;
  DrawFrame(p);
  HRGN start = CreateRectRgn(100, 100, 3000, 2500);
  SelectClipRgn(p.hdc, start);
  DeleteObject(start);
  auto clip = [&] {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    std::vector<RECT> rects;
    if (GetClipRgn(p.hdc, r) == 1) rects = md::win::GetRegionRects(r);
    DeleteObject(r);
    return rects;
  };
  const std::vector<RECT> before = clip();
  auto same = [&](const std::vector<RECT>& now) {
    return now.size() == before.size() &&
           std::equal(now.begin(), now.end(), before.begin(), [](const RECT& a, const RECT& b) {
             return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
           });
  };
  grid_->SetHatchIntervalX(kMinute);
  grid_->SetShowInteriorLabels(true);
  grid_->SetInteriorLabelIntervalX(5 * kMinute);
  grid_->SetInteriorLabelIntervalY(5 * kMinute);
  GiveLabel(true, false);
  EXPECT_TRUE(grid_->OnDraw(p.hdc, true, p.display.get()));
  EXPECT_TRUE(same(clip())) << "a whole drawing";
  EXPECT_FALSE(grid_->OnDraw(p.hdc, true, nullptr));
  EXPECT_TRUE(same(clip())) << "no display";
  md::test::LogMark mark;
  frame_->SetMapName("no such map");
  EXPECT_FALSE(grid_->OnDraw(p.hdc, true, p.display.get()));
  EXPECT_FALSE(grid_->OnDrawHatchLine(p.hdc, true, p.display.get()));
  EXPECT_FALSE(grid_->OnDrawInteriorLabel(p.hdc, true, p.display.get()));
  EXPECT_TRUE(same(clip())) << "no map";
  // The frame names the map it cannot find, once; the grid adds nothing.
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MapElement::SetMapName", "FindMap(no such map) == NULL"));
  EXPECT_EQ(mark.Count(), 1u);
  grid_->SetMapElement(nullptr);
  md::test::LogMark quiet;
  EXPECT_FALSE(grid_->OnDraw(p.hdc, true, p.display.get()));
  EXPECT_EQ(quiet.Count(), 0u);
  EXPECT_TRUE(same(clip())) << "no frame";
}

TEST_F(GraticuleDraw, HatchesStandAcrossTheLinesInsideTheFrame) {
  grid_->SetTickVisible(false, false, false, false);
  grid_->SetSubTickVisible(false, false, false, false);
  grid_->GetGridSpacing()->SetXIntervalSize(5.0);
  grid_->GetGridSpacing()->SetYIntervalSize(5.0);
  grid_->SetHatchIntervalX(kMinute);
  grid_->SetHatchIntervalY(kMinute);
  grid_->SetMainHatchCount(2);
  grid_->SetSubHatchCount(2);
  md::test::GraticulePrinter p;
  ASSERT_TRUE(Draw(p));
  const std::vector<Stroke> strokes = md::test::StrokesOf(p.canvas);
  const RECT f = FramePixels(p);
  int along[3] = {0, 0, 0};
  int across[3] = {0, 0, 0};
  const COLORREF colors[3] = {kSubHatchColor, kMainHatchColor, kHatchColor};
  for (int k = 0; k < 3; ++k) {
    for (const Stroke& s : OfColor(strokes, colors[k])) {
      ASSERT_EQ(s.points.size(), 2u);
      const double dx = s.points[1].x - s.points[0].x, dy = s.points[1].y - s.points[0].y;
      // Up the page on the parallels (y falls in pixels), right on the meridians.
      if (std::fabs(dx) < 0.5 && dy < 0) ++along[k];
      if (std::fabs(dy) < 0.5 && dx > 0) ++across[k];
      EXPECT_GE(s.points[0].x, f.left - 2);
      EXPECT_LE(s.points[0].x, f.right + 2);
    }
  }
  for (int k = 0; k < 3; ++k) {
    EXPECT_GT(along[k], 20) << k;
    EXPECT_GT(across[k], 20) << k;
  }
  // A 1' interval mark on the 39°55' parallel at 116°06', none at 116°05' (a meridian).
  EXPECT_LE(Nearest(strokes, kHatchColor, Pixel(p, 116.0 + 6 * kMinute, 39.0 + 55 * kMinute)), 1.5);
  EXPECT_GT(
      Nearest(OfColor(strokes, kHatchColor), kHatchColor, Pixel(p, 116.0 + 5 * kMinute, 39.0 + 55 * kMinute)),
      3.0);
  // A stored count below 1 draws as 1 and stays in the grid.
  const std::vector<BYTE> stored = md::test::Stored(grid_);
  Owned<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  Owned<IGIS_DataBuffer> b(md::test::BufferOf(stored));
  ASSERT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_READ, 0));
  set->GetProperty("MainHatchCount")->SetInt(0);
  ASSERT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
  ASSERT_TRUE(grid_->Open(b.get()));
  grid_->SetBorder(nullptr);
  p.canvas.clear();
  EXPECT_TRUE(grid_->OnDrawHatchLine(p.hdc, true, p.display.get()));
  EXPECT_EQ(grid_->GetMainHatchCount(), 0);
  EXPECT_TRUE(OfColor(md::test::StrokesOf(p.canvas), kMainHatchColor).empty());
  EXPECT_FALSE(OfColor(md::test::StrokesOf(p.canvas), kHatchColor).empty());
}

TEST_F(GraticuleDraw, InteriorLabelsShowTheLabelsMinutesAndSeconds) {
  grid_->SetTickVisible(false, false, false, false);
  grid_->SetSubTickVisible(false, false, false, false);
  grid_->SetGridlineType(GIS_GRIDLINE_NONE);
  grid_->SetShowInteriorLabels(true);
  // Mode 1 degrees, 6 degrees and minutes, 5 degrees, minutes and seconds;
  // zero minutes and seconds are left out as the format leaves them out.
  struct Row {
    bool minutes, seconds;
    int digits;
    double interval;
    const char* lon;  // a longitude text
    const char* lat;  // a latitude text
  } rows[] = {
      {false, false, 0, 5 * kMinute, "116°", "40°"},
      {true, false, 0, 5 * kMinute, "116°5′", "39°55′"},
      {true, true, 1, 5.5 * kMinute, "116°8′30.0″", "39°52′30.0″"},
  };
  for (const Row& r : rows) {
    grid_->SetInteriorLabelIntervalX(r.interval);
    grid_->SetInteriorLabelIntervalY(r.interval);
    GiveLabel(r.minutes, r.seconds, r.digits);
    md::test::GraticulePrinter p;
    ASSERT_TRUE(Draw(p));
    const std::vector<std::string> texts = md::test::TextsOf(p.canvas);
    EXPECT_NE(std::find(texts.begin(), texts.end(), r.lon), texts.end()) << r.lon;
    EXPECT_NE(std::find(texts.begin(), texts.end(), r.lat), texts.end()) << r.lat;
  }
}

TEST_F(GraticuleDraw, InteriorLabelsOfTheSheetsCrossingsEdgesIncluded) {
  // A frame that shows the sheet's bound exactly: its corners are crossings.
  SGIS_DRect bound;
  frame_->GetMapBound(&bound);
  grid_->SetShowInteriorLabels(true);
  grid_->SetInteriorLabelIntervalX(5 * kMinute);
  grid_->SetInteriorLabelIntervalY(5 * kMinute);
  GiveLabel(true, false);
  md::test::GraticulePrinter p;
  DrawFrame(p);
  md::test::LogMark mark;
  EXPECT_TRUE(grid_->OnDrawInteriorLabel(p.hdc, true, p.display.get()));
  const std::vector<std::string> texts = md::test::TextsOf(p.canvas);
  // Pairs of texts: 4 columns (116°00′..116°15′) x 3 rows (39°50′..40°00′) inside the bound.
  EXPECT_EQ(texts.size(), 2u * 4u * 3u);
  // Without a DMS label: a record and nothing drawn.
  grid_->SetShowInteriorLabels(false);
  Owned<CGIS_GraticuleGrid> bare(new CGIS_GraticuleGrid());
  bare->SetMapElement(frame_);
  if (bare->GetLabelFormat() == nullptr) {
    md::test::LogMark none;
    EXPECT_FALSE(bare->OnDrawInteriorLabel(p.hdc, true, p.display.get()));
    EXPECT_TRUE(
        none.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::OnDrawInteriorLabel", "m_pLabelFormat == NULL"));
  }
  // An interval of 0: one record for its axis, no labels.
  grid_->SetInteriorLabelIntervalY(0.0);
  p.canvas.clear();
  md::test::LogMark zero;
  EXPECT_TRUE(grid_->OnDrawInteriorLabel(p.hdc, true, p.display.get()));
  EXPECT_TRUE(md::test::TextsOf(p.canvas).empty());
  EXPECT_EQ(zero.Count(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::OnDrawInteriorLabel", "Y_interval == 0"), 1);
}

TEST_F(GraticuleDraw, OnATurnedMapInteriorLabelsKeepToTheBoundsOwnExtent) {
  grid_->SetShowInteriorLabels(true);
  grid_->SetInteriorLabelIntervalX(5 * kMinute);
  grid_->SetInteriorLabelIntervalY(5 * kMinute);
  GiveLabel(true, false);
  md::test::GraticulePrinter level;
  DrawFrame(level);
  ASSERT_TRUE(grid_->OnDrawInteriorLabel(level.hdc, true, level.display.get()));
  const std::size_t levelCount = md::test::TextsOf(level.canvas).size();
  ASSERT_TRUE(sheet_->SetRotateAngle(45.0));
  md::test::GraticulePrinter turned;
  DrawFrame(turned);
  ASSERT_TRUE(grid_->OnDrawInteriorLabel(turned.hdc, true, turned.display.get()));
  // The turned frame shows more of the map, but only the bound's crossings are labelled.
  EXPECT_LE(md::test::TextsOf(turned.canvas).size(), levelCount);
  EXPECT_GT(md::test::TextsOf(turned.canvas).size(), 0u);
}

}  // namespace
