// The graticule's figure in a plain space (a degree is `scale` page units,
// optionally sheared): line counts, samples held to the globe, ticks,
// hatches and label points, and the caps.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "layout/graphicelement/grid/graticule/graticulefigure.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "tests/support/logmark.h"

namespace {

using md::layout::graticule::GraticuleSink;
using md::layout::graticule::GraticuleSpace;
using md::layout::graticule::GraticuleWalker;
using md::layout::graticule::HatchPass;
using md::layout::graticule::HatchRank;
using md::layout::graticule::LabelPass;
using md::layout::graticule::LinePass;
using md::layout::graticule::LineReach;
using md::layout::graticule::TickPass;
using md::layout::graticule::TickSide;
namespace grid = md::layout::grid;
namespace graticule = md::layout::graticule;

// Degrees times the scale, x sheared by `shear` page units per degree of latitude.
class PlainSpace : public GraticuleSpace {
 public:
  explicit PlainSpace(double scale = 100.0, double shear = 0.0) : scale_(scale), shear_(shear) {}
  bool FromDegrees(double lon, double lat, SGIS_DPoint* out) override {
    *out = SGIS_DPoint(lon * scale_ + lat * shear_, lat * scale_, 0.0);
    return true;
  }
  SGIS_DPoint ToPage(SGIS_DPoint p) override { return p; }
  SGIS_DPoint FromPage(SGIS_DPoint p) override { return p; }

 private:
  double scale_, shear_;
};

struct Piece {
  std::string kind;
  SGIS_Point a, b;
  bool operator==(const Piece& o) const {
    return kind == o.kind && a.x == o.a.x && a.y == o.a.y && b.x == o.b.x && b.y == o.b.y;
  }
};
std::ostream& operator<<(std::ostream& os, const Piece& p) {
  return os << p.kind << " (" << p.a.x << "," << p.a.y << ")-(" << p.b.x << "," << p.b.y << ")";
}

class Collect : public GraticuleSink {
 public:
  void Line(const SGIS_Point* p, int n) override { lines.emplace_back(p, p + n); }
  void Marker(SGIS_Point p) override { pieces.push_back({"marker", p, p}); }
  void Tick(bool sub, SGIS_Point a, SGIS_Point b) override { pieces.push_back({sub ? "sub" : "tick", a, b}); }
  void Hatch(HatchRank r, SGIS_Point a, SGIS_Point b) override {
    static const char* names[] = {"s", "m", "i"};
    pieces.push_back({names[static_cast<int>(r)], a, b});
  }
  void Label(SGIS_Point p, double lon, double lat) override {
    pieces.push_back({"label", p, p});
    labels.push_back({lon, lat});
  }
  std::vector<std::vector<SGIS_Point>> lines;
  std::vector<Piece> pieces;
  std::vector<std::pair<double, double>> labels;
};

SGIS_DRect Extent(double west, double south, double east, double north) {
  return SGIS_DRect(west, north, east, south);
}

// ---- Line counts ------------------------------------------------------------

TEST(GraticuleFigure, LineCountsRoundHalfAwayFromZeroAndStopAtTheCap) {
  struct Row {
    const char* name;
    SGIS_DRect extent;
    double dX, dY;
    int firstX, countX, firstY, countY;
    int budget = grid::kGridPassBudget;  // 0: none, as for the runs ticks are taken from
  } rows[] = {
      {"the sample sheet at 1 minute", Extent(116.0, 39.0 + 50.0 / 60, 116.25, 40.0), 1.0 / 60, 1.0 / 60,
       6960, 17, 2390, 12},
      {"west of Greenwich and south of the equator", Extent(-117.3, -10.5, -114.3, -2.5), 10.0, 2.0, -12, 2,
       -5, 6},
      {"intervals 0 and negative", Extent(116.0, 39.0, 117.0, 40.0), 0.0, -1.0, 0, 0, 0, 0},
      {"intervals not finite", Extent(116.0, 39.0, 117.0, 40.0), std::nan(""), INFINITY, 0, 0, 0, 0},
      {"an extent that is not finite", Extent(-INFINITY, 39.0, 117.0, 40.0), 1.0, 1.0, 0, 0, 39, 3},
      {"a second over the globe: more than one pass lays", Extent(-180.0, -90.0, 180.0, 90.0), 1.0 / 3600,
       1.0 / 3600, 0, 0, 0, 0},
      {"a second over the globe for ticks: cut to the cap", Extent(-180.0, -90.0, 180.0, 90.0), 1.0 / 3600,
       1.0 / 3600, -648000, grid::kMaxGridLines, -324000, grid::kMaxGridLines, 0},
  };
  for (const Row& r : rows) {
    const graticule::GraticuleLines lines =
        graticule::CountGraticuleLines(r.extent, r.dX, r.dY, grid::GridResolution(), r.budget);
    EXPECT_EQ(lines.meridians.nFirst, r.firstX) << r.name;
    EXPECT_EQ(lines.meridians.nCount, r.countX) << r.name;
    EXPECT_EQ(lines.parallels.nFirst, r.firstY) << r.name;
    EXPECT_EQ(lines.parallels.nCount, r.countY) << r.name;
  }
}

// ---- Runs held to the globe -----------------------------------------------

void ExpectRun(const graticule::GeoRun& run, SGIS_DPoint from, SGIS_DPoint to, const char* name) {
  EXPECT_EQ(run.from.x, from.x) << name;
  EXPECT_EQ(run.from.y, from.y) << name;
  EXPECT_EQ(run.to.x, to.x) << name;
  EXPECT_EQ(run.to.y, to.y) << name;
}

TEST(GraticuleFigure, LinesStayOnTheGlobe) {
  graticule::GeoRun run;
  // A frame across the antimeridian and up to the pole, lines every 10 degrees.
  const SGIS_DRect e = Extent(150.0, 60.0, 200.0, 100.0);
  for (LineReach reach : {LineReach::Drawing, LineReach::Conversion}) {
    ASSERT_TRUE(graticule::ParallelRun(80.0, e, 10.0, 10.0, reach, &run));
    ExpectRun(run, {140.0, 80.0}, {180.0, 80.0}, "parallel to the antimeridian");
    ASSERT_TRUE(graticule::ParallelRun(95.0, e, 10.0, 10.0, reach, &run));
    ExpectRun(run, {140.0, 90.0}, {180.0, 90.0}, "a parallel one interval past the pole is held to it");
    EXPECT_FALSE(graticule::ParallelRun(101.0, Extent(150.0, 60.0, 200.0, 110.0), 10.0, 10.0, reach, &run));
    ASSERT_TRUE(graticule::MeridianRun(170.0, e, 10.0, 10.0, reach, &run));
    ExpectRun(run, {170.0, 50.0}, {170.0, 90.0}, "meridian to the pole");
    ASSERT_TRUE(graticule::MeridianRun(185.0, e, 10.0, 10.0, reach, &run));
    ExpectRun(run, {180.0, 50.0}, {180.0, 90.0}, "a meridian one interval past 180 is held to it");
    EXPECT_FALSE(graticule::MeridianRun(195.0, e, 10.0, 10.0, reach, &run));
    EXPECT_FALSE(graticule::MeridianRun(140.0, e, 10.0, 10.0, reach, &run));
    EXPECT_FALSE(graticule::ParallelRun(50.0, e, 10.0, 10.0, reach, &run));
  }
  // The drawing's lines run four intervals past the east (north) end, the
  // conversion's one; both start one interval before the west (south) end.
  ASSERT_TRUE(graticule::ParallelRun(10.0, Extent(0, 0, 10, 20), 1.0, 1.0, LineReach::Drawing, &run));
  ExpectRun(run, {-1.0, 10.0}, {14.0, 10.0}, "drawn parallel");
  ASSERT_TRUE(graticule::ParallelRun(10.0, Extent(0, 0, 10, 20), 1.0, 1.0, LineReach::Conversion, &run));
  ExpectRun(run, {-1.0, 10.0}, {11.0, 10.0}, "converted parallel");
  ASSERT_TRUE(graticule::MeridianRun(5.0, Extent(0, 0, 10, 20), 1.0, 1.0, LineReach::Drawing, &run));
  ExpectRun(run, {5.0, -1.0}, {5.0, 24.0}, "drawn meridian");
}

TEST(GraticuleFigure, TickLinesRunFromOutsideTheirSide) {
  graticule::GeoRun run;
  const SGIS_DRect e = Extent(0.0, 0.0, 10.0, 10.0);
  struct Row {
    TickSide side;
    SGIS_DPoint from, to;
  } rows[] = {
      {TickSide::Bottom, {5.0, -1.0}, {5.0, 11.0}},
      {TickSide::Top, {5.0, 11.0}, {5.0, -1.0}},
      {TickSide::Left, {-1.0, 5.0}, {11.0, 5.0}},
      {TickSide::Right, {11.0, 5.0}, {-1.0, 5.0}},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(graticule::TickRun(r.side, 5.0, e, 1.0, 1.0, &run));
    ExpectRun(run, r.from, r.to, "side");
  }
  // Held to the pole; a run that is empty there is no tick line.
  ASSERT_TRUE(graticule::TickRun(TickSide::Bottom, 5.0, Extent(0, 85, 10, 95), 1.0, 10.0, &run));
  EXPECT_EQ(run.to.y, 90.0);
  EXPECT_FALSE(graticule::TickRun(TickSide::Top, 5.0, Extent(0, 100, 10, 120), 1.0, 1.0, &run));
}

TEST(GraticuleFigure, OnAGridLineToleratesTheRoundingOfTheDivision) {
  EXPECT_TRUE(graticule::LiesOnGridLine(10.0, 5.0));
  EXPECT_TRUE(graticule::LiesOnGridLine(0.0, 5.0));
  EXPECT_FALSE(graticule::LiesOnGridLine(11.0, 5.0));
  // 10 minutes as ten steps of one minute against a 5-minute grid.
  EXPECT_TRUE(graticule::LiesOnGridLine(10 * (1.0 / 60), 5.0 / 60));
  EXPECT_FALSE(graticule::LiesOnGridLine(11 * (1.0 / 60), 5.0 / 60));
  EXPECT_FALSE(graticule::LiesOnGridLine(10.0, 0.0));
}

// ---- Hatches ------------------------------------------------------------------

// The hatches of the pass laid in a plain space over the frame.
std::vector<Piece> Hatched(const HatchPass& pass, SGIS_Rect frame, double scale = 100.0) {
  PlainSpace space(scale);
  grid::CGIS_GridCapRecord cap("test");
  GraticuleWalker walker(space, frame, cap);
  Collect got;
  walker.Hatches(pass, got);
  return got.pieces;
}

struct HatchRow {
  const char* name;
  double hx, hy, dX, dY;
  int mainCount, subCount;
  SGIS_DRect extent;
  SGIS_Rect frame;
  double scale;
  std::vector<Piece> expected;
};

// A pass with marks of 20 (sub), 40 (main) and 60 (interval) page units,
// one-sided, unless other ranks are given.
HatchPass MakePass(const SGIS_DRect& extent, double dX, double dY, double hx, double hy, int main, int sub,
                   const std::array<graticule::HatchRankStyle, 3>& ranks = {
                       {{20.0, true, true}, {40.0, true, true}, {60.0, true, false}}}) {
  HatchPass p;
  p.extent = extent;
  p.dX = dX;
  p.dY = dY;
  p.dIntervalX = hx;
  p.dIntervalY = hy;
  p.nMainCount = main;
  p.nSubCount = sub;
  for (int i = 0; i < 3; ++i) p.rank[i] = ranks[static_cast<std::size_t>(i)];
  return p;
}

HatchPass HatchPassOf(const HatchRow& r) {
  return MakePass(r.extent, r.dX, r.dY, r.hx, r.hy, r.mainCount, r.subCount);
}

TEST(GraticuleFigure, HatchesOfTheWorkedExamples) {
  // One parallel at latitude 0 inside a frame over longitudes 0..1 (page 0..100);
  // marks are one-sided, up the page: sub 20, main 40, interval 60 long.
  const SGIS_DRect band = Extent(0.0, 0.0, 1.0, 0.0);
  const SGIS_Rect frame(0, 10, 100, -10);
  auto up = [](const char* k, int x, int len) {
    return Piece{k, SGIS_Point(x, 0, 0), SGIS_Point(x, len, 0)};
  };
  const HatchRow rows[] = {
      {"both intervals 0", 0.0, 0.0, 0.0, 10.0, 3, 2, band, frame, 100.0, {}},
      {"no grid interval across the pass", 1.0, 0.0, 0.0, 0.0, 3, 2, band, frame, 100.0, {}},
      {"counts 1 and 1: interval hatches only",
       1.0,
       0.0,
       0.0,
       10.0,
       1,
       1,
       band,
       frame,
       100.0,
       {up("i", 0, 60), up("i", 100, 60)}},
      {"1 degree in 3 and 2",
       1.0,
       0.0,
       0.0,
       10.0,
       3,
       2,
       band,
       frame,
       100.0,
       {up("s", 17, 20), up("s", 50, 20), up("m", 33, 40), up("s", 83, 20), up("m", 67, 40), up("i", 0, 60),
        up("i", 100, 60)}},
      {"counts below 1 count as 1",
       1.0,
       0.0,
       0.0,
       10.0,
       0,
       -5,
       band,
       frame,
       100.0,
       {up("i", 0, 60), up("i", 100, 60)}},
      {"a mark one unit outside is made",
       1.0,
       0.0,
       0.0,
       10.0,
       1,
       1,
       band,
       SGIS_Rect(1, 10, 99, -10),
       100.0,
       {up("i", 0, 60), up("i", 100, 60)}},
      {"two units outside are not", 1.0, 0.0, 0.0, 10.0, 1, 1, band, SGIS_Rect(2, 10, 98, -10), 100.0, {}},
  };
  for (const HatchRow& r : rows) EXPECT_EQ(Hatched(HatchPassOf(r), r.frame, r.scale), r.expected) << r.name;
}

TEST(GraticuleFigure, NoIntervalHatchWhereAGridLineCrosses) {
  // Grid meridians every 5 degrees, hatches every degree along the equator.
  HatchRow r{"",    1.0, 0.0, 5.0, 10.0, 1, 1, Extent(0.0, 0.0, 10.0, 0.0), SGIS_Rect(0, 10, 1000, -10),
             100.0, {}};
  std::vector<int> xs;
  for (const Piece& p : Hatched(HatchPassOf(r), r.frame)) xs.push_back(p.a.x);
  EXPECT_EQ(xs, (std::vector<int>{100, 200, 300, 400, 600, 700, 800, 900}));
  // With main and sub hatches the marks between the grid lines all stay.
  HatchPass p = HatchPassOf(r);
  p.nMainCount = 2;
  EXPECT_EQ(Hatched(p, r.frame).size(), 8u + 10u);
}

TEST(GraticuleFigure, CentredHatchesTakeTheirHalves) {
  // One main mark (length 201, integer half 100) and one interval mark
  // (201.0, half 100.5) centred on the equator at longitude 0.5 and 0.
  const HatchPass p = MakePass(Extent(0.0, 0.0, 0.5, 0.0), 0.0, 10.0, 1.0, 0.0, 2, 1,
                               {{{0.0, true, true}, {201.0, false, true}, {201.0, false, false}}});
  const std::vector<Piece> expected = {{"m", SGIS_Point(50, -100, 0), SGIS_Point(50, 100, 0)},
                                       {"i", SGIS_Point(0, -101, 0), SGIS_Point(0, 101, 0)}};
  EXPECT_EQ(Hatched(p, SGIS_Rect(0, 10, 60, -10)), expected);
}

TEST(GraticuleFigure, HatchesAlongTheMeridiansPointRightAndReachTheLastMeridian) {
  // Meridians every degree over 0..2; hatches every degree of latitude over 0..1.
  const HatchPass p = MakePass(Extent(0.0, 0.0, 2.0, 1.0), 1.0, 0.0, 0.0, 1.0, 1, 1);
  std::vector<Piece> expected;
  for (int x : {0, 100, 200})
    for (int y : {0, 100}) expected.push_back({"i", SGIS_Point(x, y, 0), SGIS_Point(x + 60, y, 0)});
  EXPECT_EQ(Hatched(p, SGIS_Rect(0, 100, 200, 0)), expected);
}

TEST(GraticuleFigure, HatchMarksStopAtTheCapWithOneRecord) {
  md::test::LogMark mark;
  // A main count as a stored form may hold it.
  const HatchPass p = MakePass(Extent(0.0, 0.0, 1.0, 0.0), 0.0, 10.0, 1.0, 0.0, 2147483647, 2);
  // The marks of the first position (west of the frame) use up the pass.
  EXPECT_TRUE(Hatched(p, SGIS_Rect(0, 10, 100, -10)).empty());
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "test", "marks capped at 250000"), 1);
}

// ---- Lines, markers, ticks, labels ----------------------------------------

TEST(GraticuleFigure, LinesAreClippedToTheFrame) {
  LinePass p;
  p.extent = Extent(0.0, 0.0, 2.0, 2.0);
  p.dX = p.dY = 1.0;
  p.lines = graticule::CountGraticuleLines(p.extent, p.dX, p.dY);
  p.nSamples = 4;
  PlainSpace space;
  grid::CGIS_GridCapRecord cap("test");
  GraticuleWalker walker(space, SGIS_Rect(0, 200, 200, 0), cap);
  Collect got;
  walker.Lines(p, got);
  // Parallels 0, 1, 2 then meridians 0, 1, 2, each from edge to edge.
  ASSERT_EQ(got.lines.size(), 6u);
  EXPECT_EQ(got.lines[1].front().x, 0);
  EXPECT_EQ(got.lines[1].back().x, 200);
  EXPECT_EQ(got.lines[1].front().y, 100);
  EXPECT_EQ(got.lines[4].front().y, 0);
  EXPECT_EQ(got.lines[4].back().y, 200);
  // A line that meets the frame in one point only (a corner) is no line.
  LinePass corner = p;
  corner.extent = Extent(-1.0, 0.0, -1.0, 0.5);
  corner.lines = graticule::CountGraticuleLines(corner.extent, p.dX, p.dY);
  corner.reach = LineReach::Conversion;
  PlainSpace sheared(100.0, 100.0);
  GraticuleWalker touching(sheared, SGIS_Rect(0, 100, 100, 0), cap);
  Collect once;
  touching.Lines(corner, once);
  EXPECT_TRUE(once.lines.empty());
  // Markers at the nine crossings, or none outside the frame when asked.
  p.nGridlineType = 2;
  Collect marks;
  walker.Lines(p, marks);
  EXPECT_EQ(marks.pieces.size(), 9u);
  GraticuleWalker small(space, SGIS_Rect(50, 150, 150, 50), cap);
  Collect inFrame, all;
  small.Lines(p, inFrame);
  p.bMarkersInFrame = false;
  small.Lines(p, all);
  EXPECT_EQ(inFrame.pieces.size(), 1u);
  EXPECT_EQ(all.pieces.size(), 9u);
  // Neither lines nor markers for any other line kind.
  p.nGridlineType = 0;
  Collect none;
  walker.Lines(p, none);
  EXPECT_TRUE(none.lines.empty());
  EXPECT_TRUE(none.pieces.empty());
}

TEST(GraticuleFigure, MarkersStandOnEveryCrossingOfTheExtent) {
  // Crossings at 116.5 and 116.75 east, 40.5 and 40.75 north: none lies within
  // half a degree of a whole degree inside the extent, yet all four are in it.
  LinePass p;
  p.extent = Extent(116.5, 40.5, 116.75, 40.75);
  p.dX = p.dY = 0.25;
  p.lines = graticule::CountGraticuleLines(p.extent, p.dX, p.dY);
  p.nGridlineType = 2;
  p.bMarkersInFrame = false;
  PlainSpace space;
  grid::CGIS_GridCapRecord cap("test");
  GraticuleWalker walker(space, SGIS_Rect(11650, 4075, 11675, 4050), cap);
  Collect got;
  walker.Lines(p, got);
  EXPECT_EQ(got.pieces.size(), 4u);
}

TickPass TickPassOver(const SGIS_DRect& e, double d) {
  TickPass t;
  t.extent = e;
  t.dX = t.dY = d;
  t.nSamples = 8;
  t.dLength = 30.0;
  t.dSubLength = 10.0;
  t.nSubCount = 2;
  for (int i = 0; i < 4; ++i) t.bSub[i] = false;
  return t;
}

TEST(GraticuleFigure, TicksStandWhereTheirLinesEnterTheFrame) {
  PlainSpace space;
  grid::CGIS_GridCapRecord cap("test");
  GraticuleWalker walker(space, SGIS_Rect(0, 200, 200, 0), cap);
  TickPass t = TickPassOver(Extent(0.0, 0.0, 2.0, 2.0), 1.0);
  for (int i = 0; i < 4; ++i) t.bMain[i] = i == 0;  // bottom only
  Collect got;
  walker.Ticks(t, got);
  // Meridians 0 and 2 enter on the corners, which are the left and right edges.
  EXPECT_EQ(got.pieces, (std::vector<Piece>{{"tick", SGIS_Point(100, 0, 0), SGIS_Point(100, -30, 0)}}));

  // Every side, a negative length pointing into the frame.
  t.bMain[0] = t.bMain[1] = t.bMain[2] = t.bMain[3] = true;
  t.dLength = -30.0;
  Collect inward;
  walker.Ticks(t, inward);
  EXPECT_EQ(inward.pieces, (std::vector<Piece>{{"tick", SGIS_Point(100, 0, 0), SGIS_Point(100, 30, 0)},
                                               {"tick", SGIS_Point(100, 200, 0), SGIS_Point(100, 170, 0)},
                                               {"tick", SGIS_Point(0, 100, 0), SGIS_Point(30, 100, 0)},
                                               {"tick", SGIS_Point(200, 100, 0), SGIS_Point(170, 100, 0)}}));
}

TEST(GraticuleFigure, ABottomTickIsLeftOutWhereItsMeridianEntersThroughASide) {
  // Meridians sheared one degree of longitude per degree of latitude: at
  // latitude 0 the meridian at lon stands at lon, so those west of 0 reach
  // the 0..2 frame only through its left edge.
  PlainSpace space(100.0, 100.0);
  grid::CGIS_GridCapRecord cap("test");
  GraticuleWalker walker(space, SGIS_Rect(0, 200, 200, 0), cap);
  TickPass t = TickPassOver(Extent(-2.0, 0.0, 2.0, 2.0), 0.5);
  t.nSamples = 12;  // a sample on every quarter degree, so the bottom crossings are exact
  for (int i = 0; i < 4; ++i) t.bMain[i] = i == 0;
  Collect got;
  walker.Ticks(t, got);
  std::vector<int> xs;
  for (const Piece& p : got.pieces) {
    EXPECT_EQ(p.a.y, 0);
    xs.push_back(p.a.x);
  }
  // Meridians -2 .. -0.5 enter through the left edge (x = 0) or not at all;
  // 0 enters on the corner; 0.5 .. 1.5 through the bottom.
  EXPECT_EQ(xs, (std::vector<int>{50, 100, 150}));
}

TEST(GraticuleFigure, SubTicksDivideTheTickInterval) {
  PlainSpace space;
  grid::CGIS_GridCapRecord cap("test");
  GraticuleWalker walker(space, SGIS_Rect(0, 200, 200, 0), cap);
  for (auto [count, expected] :
       {std::tuple{2, std::vector<int>{50, 150}}, std::tuple{1, std::vector<int>{}},
        std::tuple{0, std::vector<int>{}}, std::tuple{4, std::vector<int>{25, 50, 75, 125, 150, 175}}}) {
    TickPass t = TickPassOver(Extent(0.0, 0.0, 2.0, 2.0), 1.0);
    for (int i = 0; i < 4; ++i) t.bMain[i] = false;
    t.bSub[0] = true;
    t.nSubCount = count;
    Collect got;
    walker.Ticks(t, got);
    std::vector<int> xs;
    for (const Piece& p : got.pieces) {
      EXPECT_EQ(p.kind, "sub");
      EXPECT_EQ(p.b.y, -10);
      xs.push_back(p.a.x);
    }
    EXPECT_EQ(xs, expected) << count;
  }
}

TEST(GraticuleFigure, LabelPointsInsideTheExtentAndTheFrame) {
  PlainSpace space;
  grid::CGIS_GridCapRecord cap("test");
  GraticuleWalker walker(space, SGIS_Rect(0, 200, 200, 0), cap);
  Collect got;
  walker.Labels(LabelPass{Extent(0.0, 0.0, 2.0, 2.0), 1.0, 2.0}, got);
  // Columns 0, 1, 2 and rows 0, 2: crossings on the frame's edges count.
  EXPECT_EQ(got.labels,
            (std::vector<std::pair<double, double>>{{0, 0}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 2}}));
  // A turned map: the frame shows more than the extent; only its own crossings.
  Collect inner;
  walker.Labels(LabelPass{Extent(0.5, 0.5, 1.5, 1.5), 1.0, 1.0}, inner);
  EXPECT_EQ(inner.labels, (std::vector<std::pair<double, double>>{{1, 1}}));
}

}  // namespace
