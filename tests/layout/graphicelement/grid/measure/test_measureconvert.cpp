// The measured grid's conversion into plain elements over the sheet frame
// (page point (2000 + 2000 k, 2000 + 2000 j) is the crossing of E 420000 +
// 1000 k and N 4416000 + 1000 j): the grid compound's members in order, their
// page geometry and symbols, the unscaled mapping, and that a failed
// conversion leaves nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "tests/layout/graphicelement/grid/measure/measuretest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::kLineColor;
using md::test::kMarkColor;
using md::test::kSubTickColor;
using md::test::kTickColor;
using md::test::Made;
using md::test::MeasurePage;
using md::test::MembersOf;

using Grid = md::basilo::ReleasePtr<IGIS_MeasureGrid>;

constexpr const char* kPolyline = "GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE";
constexpr const char* kPoint = "GIS_TYPE_GRAPHIC_ELEMENT_POINT";

class MeasureConvert : public MeasurePage {
 protected:
  // The grid compound (the last member of the conversion's compound), read
  // member by member.
  std::vector<Made> Figure(IGIS_MeasureGrid* grid) {
    IGIS_Element* c = Convert(grid);
    EXPECT_NE(c, nullptr);
    const std::vector<IGIS_Element*> members = MembersOf(c);
    EXPECT_FALSE(members.empty());
    std::vector<Made> out;
    if (members.empty()) return out;
    EXPECT_EQ(std::string(members.back()->GetType()), GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
    for (IGIS_Element* e : MembersOf(members.back())) out.push_back(md::test::Read(e));
    return out;
  }
};

// The elements of one colour.
std::vector<Made> OfColor(const std::vector<Made>& made, COLORREF color) {
  std::vector<Made> out;
  for (const Made& m : made) {
    if (m.color == color) out.push_back(m);
  }
  return out;
}

// Each element's kind and colour in order, runs written once ("L T S").
std::string Outline(const std::vector<Made>& made) {
  std::string s;
  char last = 0;
  for (const Made& m : made) {
    char k = m.color == kLineColor ? 'L' : m.color == kTickColor ? 'T' : m.color == kSubTickColor ? 'S' : 'M';
    if (k != last) s += s.empty() ? std::string(1, k) : std::string(" ") + k;
    last = k;
  }
  return s;
}

TEST_F(MeasureConvert, LinesThenTicksThenSubTicksInPageUnits) {
  Grid grid(md::test::NewMeasureGrid(SheetFrame()));
  const std::vector<Made> made = Figure(grid.get());
  EXPECT_EQ(Outline(made), "L T S");
  const std::vector<Made> lines = OfColor(made, kLineColor);
  ASSERT_EQ(lines.size(), 20u);
  // Rows bottom to top from the left edge, then columns left to right from the bottom.
  for (int j = 0; j < 9; ++j) {
    EXPECT_EQ(lines[j].type, kPolyline);
    EXPECT_EQ(lines[j].points.front(), SGIS_Point(2000, 2000 + 2000 * j));
    EXPECT_EQ(lines[j].points.back(), SGIS_Point(22000, 2000 + 2000 * j));
  }
  for (int k = 0; k < 11; ++k) {
    EXPECT_EQ(lines[9 + k].points.front(), SGIS_Point(2000 + 2000 * k, 2000));
    EXPECT_EQ(lines[9 + k].points.back(), SGIS_Point(2000 + 2000 * k, 18000));
    for (const SGIS_Point& p : lines[9 + k].points) EXPECT_EQ(p.x, 2000 + 2000 * k);  // straight
  }
  // Ticks: bottom, top, left, right, each outward by 200.
  const std::vector<Made> ticks = OfColor(made, kTickColor);
  ASSERT_EQ(ticks.size(), 40u);
  EXPECT_EQ(ticks[0].points, (std::vector<SGIS_Point>{{2000, 2000}, {2000, 1800}}));
  EXPECT_EQ(ticks[11].points, (std::vector<SGIS_Point>{{2000, 18000}, {2000, 18200}}));
  EXPECT_EQ(ticks[22].points, (std::vector<SGIS_Point>{{2000, 2000}, {1800, 2000}}));
  EXPECT_EQ(ticks[39].points, (std::vector<SGIS_Point>{{22000, 18000}, {22200, 18000}}));
  // Sub-ticks halfway, by 100.
  const std::vector<Made> subTicks = OfColor(made, kSubTickColor);
  ASSERT_EQ(subTicks.size(), 36u);
  EXPECT_EQ(subTicks[0].points, (std::vector<SGIS_Point>{{3000, 2000}, {3000, 1900}}));
  EXPECT_EQ(subTicks[35].points, (std::vector<SGIS_Point>{{22000, 17000}, {22100, 17000}}));
}

TEST_F(MeasureConvert, MarksColumnByColumnAtEveryCrossing) {
  Grid grid(md::test::NewMeasureGrid(SheetFrame()));
  grid->SetGridlineType(2);
  const std::vector<Made> made = Figure(grid.get());
  EXPECT_EQ(Outline(made), "M T S");
  const std::vector<Made> marks = OfColor(made, kMarkColor);
  ASSERT_EQ(marks.size(), 99u);
  EXPECT_EQ(marks[0].type, kPoint);
  EXPECT_EQ(marks[1].points.front(), SGIS_Point(2000, 4000));
  EXPECT_EQ(marks[9].points.front(), SGIS_Point(4000, 2000));
  EXPECT_EQ(marks[98].points.front(), SGIS_Point(22000, 18000));
}

struct CompoundRow {
  const char* name;
  int gridlineType;
  bool ticks;
  bool lineSymbol, markSymbol;
  std::size_t members;
};

TEST_F(MeasureConvert, TheGridCompoundIsLastAlsoWhenEmpty) {
  const CompoundRow rows[] = {
      {"no lines, no ticks", 0, false, true, true, 0},
      {"marks without a mark symbol", 2, false, true, false, 0},
      {"lines without a line symbol", 1, false, false, true, 0},
      {"lines only", 1, false, true, true, 20},
  };
  for (const CompoundRow& r : rows) {
    SCOPED_TRACE(r.name);
    Grid grid(md::test::NewMeasureGrid(SheetFrame()));
    grid->SetGridlineType(r.gridlineType);
    grid->SetTickVisible(r.ticks, r.ticks, r.ticks, r.ticks);
    grid->SetSubTickVisible(r.ticks, r.ticks, r.ticks, r.ticks);
    if (!r.lineSymbol) grid->SetLineSymbol(nullptr);
    if (!r.markSymbol) grid->SetMarkSymbol(nullptr);
    EXPECT_EQ(Figure(grid.get()).size(), r.members);
  }
}

TEST_F(MeasureConvert, NegativeTickLengthsPointInward) {
  Grid grid(md::test::NewMeasureGrid(SheetFrame()));
  grid->SetTickLength(-200);
  grid->SetSubTickLength(-100);
  const std::vector<Made> made = Figure(grid.get());
  EXPECT_EQ(OfColor(made, kTickColor)[0].points.back(), SGIS_Point(2000, 2200));
  EXPECT_EQ(OfColor(made, kTickColor)[39].points.back(), SGIS_Point(21800, 18000));
  EXPECT_EQ(OfColor(made, kSubTickColor)[0].points.back(), SGIS_Point(3000, 2100));
}

TEST_F(MeasureConvert, AScaleOfZeroMapsMapUnitsOnePerPageUnit) {
  // The frame is a line along y = 2000 from x = 2000 to 22000; unscaled,
  // E 420000 + 1000 k lies at x = 2000 + 1000 k, N 4416000 + 1000 j at
  // y = 2000 + 1000 j.
  Grid grid(md::test::NewMeasureGrid(ZeroScaleFrame()));
  grid->SetGridlineType(2);
  const std::vector<Made> made = Figure(grid.get());
  const std::vector<Made> marks = OfColor(made, kMarkColor);
  ASSERT_EQ(marks.size(), 99u);
  EXPECT_EQ(marks[0].points.front(), SGIS_Point(2000, 2000));
  EXPECT_EQ(marks[10].points.front(), SGIS_Point(3000, 3000));
  EXPECT_EQ(marks[98].points.front(), SGIS_Point(12000, 10000));
  // The bottom ticks stand where the columns cross the frame's line.
  const std::vector<Made> ticks = OfColor(made, kTickColor);
  ASSERT_GE(ticks.size(), 11u);
  for (int k = 0; k < 11; ++k) EXPECT_EQ(ticks[k].points.front(), SGIS_Point(2000 + 1000 * k, 2000));
}

TEST_F(MeasureConvert, AFailedConversionLeavesNothingBehind) {
  CGIS_MapElement* frame = SheetFrame();
  Grid grid(md::test::NewMeasureGrid(frame));
  frame->SetMap(nullptr);
  const int before = ElementCount();
  md::test::LogMark mark;
  EXPECT_EQ(Convert(grid.get()), nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::ConvertToElement", "p_map == NULL"));
  EXPECT_EQ(ElementCount(), before);
}

}  // namespace

namespace {

struct BendRow {
  const char* name;
  bool degrees;  // the region map in degrees, else the sheet in the grid's own reference
  double interval;
  std::vector<double> eastings;  // columns checked against the spatial-reference library
  bool bends;
};

class MeasureConvertMaps : public MeasurePage {};

TEST_F(MeasureConvertMaps, ColumnsFollowTheirEastingOnEveryMap) {
  const BendRow rows[] = {
      {"sheet in zone 39", false, 1000, {421000, 425000, 429000}, false},
      {"region in degrees", true, 20000, {440000, 500000, 560000}, true},
  };
  IGIS_SpatialReferenceFactory* factory = GIS_GetSpatialReferenceFactoryObject();
  for (const BendRow& r : rows) {
    SCOPED_TRACE(r.name);
    const SGIS_DRect bound =
        r.degrees ? SGIS_DRect(116.0, 40.0, 118.0, 38.5) : SGIS_DRect(420000, 4424000, 430000, 4416000);
    const double scale = r.degrees ? 1e-4 : 0.5;
    CGIS_MapElement* frame = Frame(r.degrees ? region_ : sheet_, bound, scale, SGIS_Point(2000, 2000));
    Grid grid(md::test::NewMeasureGrid(frame));
    grid->GetGridSpacing()->SetXIntervalSize(r.interval);
    grid->GetGridSpacing()->SetYIntervalSize(r.interval);
    grid->SetTickVisible(false, false, false, false);
    grid->SetSubTickVisible(false, false, false, false);
    IGIS_Element* c = Convert(grid.get());
    ASSERT_NE(c, nullptr);
    std::vector<Made> lines;
    for (IGIS_Element* e : MembersOf(MembersOf(c).back())) lines.push_back(md::test::Read(e));
    // Page points back to the grid's reference through the library.
    md::basilo::ReleasePtr<IGIS_CoordTransform> toGrid(
        factory->CreateCoordTransform(nullptr, nullptr, (r.degrees ? region_ : sheet_)->GetSpatialReference(),
                                      grid->GetSpatialReference()));
    auto easting = [&](const SGIS_Point& p) {
      SGIS_DPoint m(bound.x1 + (p.x - 2000) * scale, bound.y2 + (p.y - 2000) * scale);
      EXPECT_TRUE(toGrid->TransformPoint(1, &m, 1));
      return m.x;
    };
    for (double e : r.eastings) {
      SCOPED_TRACE(e);
      // The column whose middle vertex lies on the easting.
      const Made* column = nullptr;
      for (const Made& m : lines) {
        if (m.points.size() > 2 && std::abs(easting(m.points[m.points.size() / 2]) - e) < 100) column = &m;
      }
      ASSERT_NE(column, nullptr);
      ASSERT_GT(column->points.size(), 100u);  // 200 segments, cut at the frame
      for (const SGIS_Point& p : column->points) {
        // Within rounding (half a page unit) of the easting.
        EXPECT_NEAR(easting(p), e, r.degrees ? 10.0 : 0.5);
      }
    }
    // How far any line strays from the chord between its ends, in page units.
    double bow = 0;
    for (const Made& m : lines) {
      const SGIS_Point a = m.points.front(), b = m.points.back();
      const double chord = std::hypot(double(b.x - a.x), double(b.y - a.y));
      for (const SGIS_Point& p : m.points) {
        bow = std::max(bow,
                       std::abs(double(b.x - a.x) * (a.y - p.y) - double(a.x - p.x) * (b.y - a.y)) / chord);
      }
    }
    if (r.bends) {
      EXPECT_GT(bow, 20.0);  // 0.2 mm off the chord over the frame
    } else {
      EXPECT_EQ(bow, 0.0);
    }
  }
}

}  // namespace
