// The lines a degrees-minutes-seconds label tries: the graticule's at its
// spacing, and those of the graticule of fixed rows and columns at the
// interval its search finds, from whole tens of degrees rounded down.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/label/dmslabellines.h"
#include "tests/support/graticulemngriddouble.h"
#include "tests/support/owned.h"

namespace md::test {
namespace {

using md::layout::label::DmsLabelLines;
using md::layout::label::LabelSide;

// A grid's plan over an extent in degrees and the label's reading of it: a
// drawing's, or a conversion's (bDrawing false).
struct Planned {
  md::layout::grid::GraticulePass plan;
  DmsLabelLines lines{plan};

  bool Over(IGIS_MapGrid* pGrid, const SGIS_DRect& extent, bool bDrawing = true) {
    return plan.PlanLines(pGrid, extent, 0.0, bDrawing);
  }
};

// The lines of a direction that the label accepts.
std::vector<double> Accepted(const DmsLabelLines& lines, LabelSide side) {
  std::vector<double> out;
  const bool vertical = side == LabelSide::Bottom || side == LabelSide::Top;
  for (int i = 0; i < lines.LineCount(vertical); ++i) {
    const double c = lines.LineAt(vertical, i);
    if (lines.Accepts(side, c)) out.push_back(c);
  }
  return out;
}

md::basilo::ReleasePtr<CGIS_GraticuleGrid> Graticule(double dx, double dy) {
  md::basilo::ReleasePtr<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid);
  g->GetGridSpacing()->SetUnits(1);  // degrees
  g->GetGridSpacing()->SetXIntervalSize(dx);
  g->GetGridSpacing()->SetYIntervalSize(dy);
  return g;
}

TEST(DmsLabelLines, TheGraticulesLinesAtItsSpacing) {
  auto g = Graticule(10, 10);
  Planned planned;
  ASSERT_TRUE(planned.Over(g.get(), SGIS_DRect(95, 55, 135, 15)));
  const DmsLabelLines& lines = planned.lines;
  // Tried over the extent widened by two intervals on every side.
  EXPECT_EQ(lines.Extent(), SGIS_DRect(75, 75, 155, -5));
  EXPECT_EQ(Accepted(lines, LabelSide::Bottom), (std::vector<double>{80, 90, 100, 110, 120, 130, 140, 150}));
  EXPECT_EQ(Accepted(lines, LabelSide::Left), (std::vector<double>{0, 10, 20, 30, 40, 50, 60, 70}));
  EXPECT_FALSE(lines.Capped());

  // In minutes: 30′ is half a degree; the origin moves the texts only.
  g->GetGridSpacing()->SetUnits(2);
  g->GetGridSpacing()->SetXIntervalSize(30);
  g->GetGridSpacing()->SetXOrigin(60);
  ASSERT_TRUE(planned.Over(g.get(), SGIS_DRect(116, 40, 117, 39)));
  EXPECT_DOUBLE_EQ(lines.XInterval(), 0.5);
  EXPECT_EQ(lines.LineAt(true, 0), 115.0);
  EXPECT_DOUBLE_EQ(lines.LabelValue(LabelSide::Bottom, 116.5), 117.5);
  EXPECT_DOUBLE_EQ(lines.LabelValue(LabelSide::Left, 39.5), 39.5);
}

TEST(DmsLabelLines, HoldTheirLinesToTheGlobe) {
  const struct {
    const char* what;
    double dy;
    double lat;
    bool accepted;
    double value;  // when accepted
  } rows[] = {
      {"92° with 2° parallels reads 90°", 2, 92, true, 90},
      {"92° with 1° parallels is left out", 1, 92, false, 0},
      {"90° itself", 1, 90, true, 90},
  };
  for (const auto& r : rows) {
    auto g = Graticule(1, r.dy);
    Planned planned;
    ASSERT_TRUE(planned.Over(g.get(), SGIS_DRect(0, 90, 10, 80)));
    const DmsLabelLines& lines = planned.lines;
    EXPECT_EQ(lines.Accepts(LabelSide::Left, r.lat), r.accepted) << r.what;
    if (!r.accepted) continue;
    EXPECT_EQ(lines.LabelValue(LabelSide::Left, r.lat), r.value) << r.what;
    SGIS_DPoint from, to;
    lines.LineEnds(LabelSide::Left, r.lat, &from, &to);
    EXPECT_EQ(from.y, 90.0) << r.what;
    EXPECT_EQ(to.y, 90.0) << r.what;
  }
  // Meridians up to 180° itself; their runs stop at the poles.
  auto g = Graticule(1, 1);
  Planned planned;
  ASSERT_TRUE(planned.Over(g.get(), SGIS_DRect(175, 89, 180, 80)));
  const DmsLabelLines& lines = planned.lines;
  EXPECT_TRUE(lines.Accepts(LabelSide::Bottom, 180.0));
  EXPECT_FALSE(lines.Accepts(LabelSide::Bottom, 181.0));
  SGIS_DPoint from, to;
  lines.LineEnds(LabelSide::Bottom, 180.0, &from, &to);
  EXPECT_EQ(from.y, 77.0);
  EXPECT_EQ(to.y, 90.0);
}

TEST(DmsLabelLines, TheFixedCountGraticulesIntervalAndOrigin) {
  const struct {
    const char* what;
    SGIS_DRect extent;
    int columns, rows;
    double interval;
    double firstMeridian;  // the first the label accepts
  } rows[] = {
      // X: 10 puts one interval across, 5 two: 5; Y: 25 one, 5 eight: 5.
      {"12° wide, four columns: 5°", {0, 40, 12, 0}, 4, 4, 5, 0},
      // 10° across 40° (four), 25° across 60° (two): the smaller, 10°.
      {"from -15.3°: whole tens rounded down, first line -10°", {-15.3, 60, 24.7, 0}, 4, 4, 10, -10},
      // At 5° the line at -15° is inside and labelled too.
      {"from -15.3° at 5°: -15° is labelled", {-15.3, 40, 24.7, 0}, 4, 4, 5, -15},
  };
  for (const auto& r : rows) {
    Owned<GraticuleMNGridDouble> g(new GraticuleMNGridDouble());
    g->SetLatitudeCount(r.columns);
    g->SetLongitudeCount(r.rows);
    Planned planned;
    ASSERT_TRUE(planned.Over(g.get(), r.extent, false)) << r.what;
    const DmsLabelLines& lines = planned.lines;
    EXPECT_DOUBLE_EQ(lines.XInterval(), r.interval) << r.what;
    EXPECT_DOUBLE_EQ(lines.YInterval(), r.interval) << r.what;
    // A conversion's: not widened, the lines are tried over the extent itself.
    EXPECT_EQ(lines.Extent().x1, r.extent.x1) << r.what;
    const std::vector<double> accepted = Accepted(lines, LabelSide::Bottom);
    ASSERT_FALSE(accepted.empty()) << r.what;
    EXPECT_DOUBLE_EQ(accepted.front(), r.firstMeridian) << r.what;
    EXPECT_DOUBLE_EQ(lines.LabelValue(LabelSide::Bottom, accepted.front()), r.firstMeridian) << r.what;
  }
}

TEST(DmsLabelLines, TheFixedCountGraticulesEdgeLinesAreLabelledThoughTheirSumsRound) {
  // 0 to 0.6 degrees, 4 columns and rows: interval 0.1; the line on the east
  // and north edges sums to 0.6000000000000001.
  Owned<GraticuleMNGridDouble> g(new GraticuleMNGridDouble());
  g->SetLatitudeCount(4);
  g->SetLongitudeCount(4);
  Planned planned;
  ASSERT_TRUE(planned.Over(g.get(), SGIS_DRect(0, 0.6, 0.6, 0), false));
  const DmsLabelLines& lines = planned.lines;
  for (LabelSide side : {LabelSide::Top, LabelSide::Right}) {
    const std::vector<double> accepted = Accepted(lines, side);
    ASSERT_EQ(accepted.size(), 7u);
    EXPECT_DOUBLE_EQ(accepted.back(), 0.6);
  }
}

TEST(DmsLabelLines, CapTheirLinesAndRefuseWhatTheyCannotCount) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  {
    // 400,000 meridians over 40°: more than one pass lays, so none.
    auto g = Graticule(0.0001, 10);
    Planned planned;
    ASSERT_TRUE(planned.Over(g.get(), SGIS_DRect(95, 55, 135, 15)));
    const DmsLabelLines& lines = planned.lines;
    EXPECT_TRUE(lines.Capped());
    EXPECT_EQ(lines.LineCount(true), 0);
    EXPECT_EQ(lines.LineCount(false), 10);
  }
  {
    // An interval that is not a number places no lines on its axis.
    auto g = Graticule(nan, 10);
    Planned planned;
    ASSERT_TRUE(planned.Over(g.get(), SGIS_DRect(95, 55, 135, 15)));
    const DmsLabelLines& lines = planned.lines;
    EXPECT_EQ(lines.LineCount(true), 0);
    EXPECT_EQ(lines.LineCount(false), 10);
    // Nor does an extent that is not one.
    ASSERT_TRUE(planned.Over(g.get(), SGIS_DRect(nan, 55, 135, 15)));
    EXPECT_EQ(lines.LineCount(false), 0);
  }
  // A fixed-count graticule without its spacing, and a grid of another kind.
  Owned<GraticuleMNGridDouble> bare(new GraticuleMNGridDouble());
  bare->SetGridSpacingPtr(nullptr);
  Planned planned;
  ASSERT_TRUE(planned.Over(bare.get(), SGIS_DRect(0, 10, 10, 0)));
  EXPECT_FALSE(planned.plan.HasSpacing());
  EXPECT_EQ(planned.lines.LineCount(true), 0);
  Owned<MapGridDouble<>> measured(new MapGridDouble<>(GIS_MAPGRID_MEASURE));
  Planned other;
  EXPECT_FALSE(other.Over(measured.get(), SGIS_DRect(0, 10, 10, 0)));
  EXPECT_EQ(other.lines.LineCount(true), 0);
}

}  // namespace
}  // namespace md::test
