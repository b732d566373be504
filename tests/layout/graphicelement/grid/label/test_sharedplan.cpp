// A grid and its label read one plan: the measured grid's labels take the
// extent, intervals and line runs its drawing walks, the graticule's DMS
// label the widened extent and runs its drawing walks, so that a margin
// changed in the plan moves the grid's lines and the labelled ones alike.
#include <gtest/gtest.h>

#include <cmath>

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/cgis_spatialreferenceholder.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "layout/graphicelement/grid/graticule/graticulepieces.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/measuregridplan.h"
#include "layout/graphicelement/grid/label/dmslabellines.h"
#include "layout/graphicelement/grid/label/measurelabellines.h"

namespace {

namespace grid = md::layout::grid;
using md::basilo::ReleasePtr;

long long Rounded(double v) { return std::llround(v); }

TEST(SharedGridPlan, TheMeasuredGridsLabelTakesTheLinesItsDrawingWalks) {
  ReleasePtr<IGIS_SpatialReference> gk(
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE));
  const struct {
    const char* name;
    SGIS_DRect bound;
    double angle;
    double interval;  // in the spacing's unit
    int units;        // 0 metres, 1 kilometres
  } rows[] = {
      {"kilometre lines in metres", {420300, 4418000, 430700, 4410400}, 0.0, 1000, 0},
      {"two kilometres in kilometres", {420300, 4418000, 430700, 4410400}, 0.0, 2, 1},
      {"a turned map", {420300, 4418000, 430700, 4410400}, 30.0, 1000, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    md::layout::label::MeasureSpacing spacing;
    spacing.dXInterval = spacing.dYInterval = r.interval;
    spacing.nUnits = r.units;
    md::layout::label::MeasureLabelLines label;
    ASSERT_TRUE(label.Prepare(gk.get(), gk.get(), r.bound, r.angle, spacing));

    // The drawing's plan over the same shown bound.
    CGIS_SpatialReferenceHolder toGrid;
    ASSERT_TRUE(toGrid.Create(nullptr, nullptr, "", ""));
    toGrid.Get()->SetSourceAndTarget(gk.get(), gk.get());
    SGIS_DRect extent;
    ASSERT_TRUE(grid::MeasureGridExtent(toGrid.Get(), r.bound, r.angle, nullptr, &extent));
    double dx = 0.0, dy = 0.0;
    grid::MeasureIntervals(r.interval, r.interval, r.units, &dx, &dy);
    const grid::MeasureGridPlan drawn = grid::PlanMeasureGrid(extent, dx, dy, 1, 2);

    EXPECT_EQ(label.Area(), drawn.extent);
    EXPECT_EQ(label.XInterval(), drawn.dXInterval);
    const grid::GridLineRun* pairs[][2] = {{&label.Vertical(), &drawn.columns},
                                           {&label.Horizontal(), &drawn.rows}};
    for (const auto& pair : pairs) {
      EXPECT_EQ(pair[0]->nFirst, pair[1]->nFirst);
      EXPECT_EQ(pair[0]->nCount, pair[1]->nCount);
    }
    // Both stand on the plan's one pair of margins.
    EXPECT_EQ(drawn.columns.nFirst, Rounded(extent.x1 / dx) - Rounded(grid::kMeasureStartMargin));
    EXPECT_EQ(drawn.columns.nCount, Rounded(extent.Width() / dx) + Rounded(grid::kMeasureCountMargin));
  }
}

TEST(SharedGridPlan, TheGraticulesLabelTakesTheLinesItsDrawingWalks) {
  const struct {
    const char* name;
    SGIS_DRect extent;  // degrees
    double angle;
    int units;  // 1 degrees, 2 minutes
    double interval;
  } rows[] = {
      {"ten degrees", {95, 55, 135, 15}, 0.0, 1, 10},
      {"thirty minutes", {116.2, 40.1, 117.3, 39.4}, 0.0, 2, 30},
      {"a turned map", {116.2, 40.1, 117.3, 39.4}, 20.0, 2, 15},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ReleasePtr<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid);
    g->GetGridSpacing()->SetUnits(r.units);
    g->GetGridSpacing()->SetXIntervalSize(r.interval);
    g->GetGridSpacing()->SetYIntervalSize(r.interval);
    md::layout::label::DmsLabelLines label;
    ASSERT_EQ(label.Prepare(g.get(), r.extent, r.angle), md::layout::label::DmsLinesResult::kLines);

    // What the drawing walks: its extent turned with the map, widened, and
    // the lines counted over that.
    double dx = 0.0, dy = 0.0;
    md::layout::graticule::GridIntervals(g.get(), &dx, &dy);
    SGIS_DRect turned = r.extent;
    turned.Normalize();
    if (r.angle != 0.0) turned = GetRotatedRectBound(turned, r.angle);
    const SGIS_DRect widened = grid::WidenGraticuleExtent(turned, dx, dy);
    const grid::GraticuleLines drawn = grid::CountGraticuleLines(widened, dx, dy);

    EXPECT_EQ(label.Extent(), widened);
    EXPECT_EQ(label.Meridians().dFirst, drawn.meridians.nFirst);
    EXPECT_EQ(label.Meridians().nCount, drawn.meridians.nCount);
    EXPECT_EQ(label.Parallels().dFirst, drawn.parallels.nFirst);
    EXPECT_EQ(label.Parallels().nCount, drawn.parallels.nCount);
    // Both reach the plan's margin past the map.
    EXPECT_DOUBLE_EQ(widened.x1, turned.x1 - grid::kGraticuleMargin * dx);
  }
}

}  // namespace
