// The lines a measured grid's labels try: the area they cover in the grid's
// reference, the unit factor and the runs, for maps in several references.
#include <gtest/gtest.h>

#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/helmora/gis_references.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/label/measurelabellines.h"

namespace {

using md::basilo::ReleasePtr;
using md::layout::grid::MeasureSpacing;
using md::layout::label::LabelSide;
using md::layout::label::MeasureLabelLines;

// The grid's plan over a map bound, and the labels' reading of it; Over
// answers whether its lines can be labelled.
struct Planned {
  md::layout::grid::MeasureGridPass pass;
  MeasureLabelLines lines{pass};

  bool Over(IGIS_SpatialReference* map, IGIS_SpatialReference* grid, const SGIS_DRect& bound, double angle,
            const MeasureSpacing& spacing) {
    md::layout::grid::FrameShown shown;
    shown.bound = bound;
    return pass.Make(map, grid, shown, angle, spacing, 1, 0, 0.0, 0.0) && pass.Labelled();
  }
};

ReleasePtr<IGIS_SpatialReference> GaussKruger(int zone) {
  return ReleasePtr<IGIS_SpatialReference>(
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, zone, FALSE));
}

TEST(MeasureLabelLines, CoverTheMapBoundInTheGridsReference) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  ReleasePtr<IGIS_SpatialReference> zone39 = GaussKruger(39);
  ReleasePtr<IGIS_SpatialReference> zone38 = GaussKruger(38);
  ReleasePtr<IGIS_SpatialReference> degrees(f->CreateSpatialReference(1));
  ReleasePtr<IGIS_SpatialReference> none(f->CreateSpatialReference(0));
  MeasureSpacing km;
  km.dXInterval = km.dYInterval = 1000;
  const struct {
    const char* what;
    IGIS_SpatialReference* map;
    IGIS_SpatialReference* grid;
    SGIS_DRect bound;
    bool ok;
    SGIS_DRect area;  // checked within 1 unit when ok and its width is above 0
  } rows[] = {
      // West of the central meridian (x below 500 km): the world's outline
      // alone would carry to the east side of the zone only.
      {"same reference, west of the meridian",
       zone39.get(),
       zone39.get(),
       {420000, 4418000, 430000, 4410000},
       true,
       {420000, 4418000, 430000, 4410000}},
      {"same reference, east of it",
       zone39.get(),
       zone39.get(),
       {560000, 4418000, 570000, 4410000},
       true,
       {560000, 4418000, 570000, 4410000}},
      {"a geographic map", degrees.get(), zone39.get(), {116.0, 40.0, 116.25, 39.8333}, true, {}},
      {"another zone", zone39.get(), zone38.get(), {420000, 4418000, 430000, 4410000}, true, {}},
      {"a map without a coordinate system", none.get(), zone39.get(), {0, 10, 10, 0}, false, {}},
      {"no grid reference", zone39.get(), nullptr, {0, 10, 10, 0}, false, {}},
  };
  for (const auto& r : rows) {
    Planned planned;
    const MeasureLabelLines& lines = planned.lines;
    EXPECT_EQ(planned.Over(r.map, r.grid, r.bound, 0.0, km), r.ok) << r.what;
    if (!r.ok) continue;
    EXPECT_GT(lines.Area().Width(), 0.0) << r.what;
    EXPECT_GT(lines.Vertical().nCount, 0) << r.what;
    if (r.area.Width() > 0) {
      EXPECT_NEAR(lines.Area().x1, r.area.x1, 1.0) << r.what;
      EXPECT_NEAR(lines.Area().x2, r.area.x2, 1.0) << r.what;
      EXPECT_NEAR(lines.Area().y1, r.area.y1, 1.0) << r.what;
      EXPECT_NEAR(lines.Area().y2, r.area.y2, 1.0) << r.what;
    }
    // Every line of the run that lies in the area carries into the map.
    SGIS_DPoint p(lines.Vertical().At(2, lines.XInterval()), lines.Area().y2);
    EXPECT_TRUE(lines.GridToMap(&p)) << r.what;
  }
}

TEST(MeasureLabelLines, ScaleByTheSpacingsUnitAndWidenWithTheMapsTurn) {
  ReleasePtr<IGIS_SpatialReference> gk = GaussKruger(39);
  MeasureSpacing spacing;
  spacing.dXInterval = 1;  // one kilometre
  spacing.dYInterval = 2;
  spacing.dXOrigin = 500;
  spacing.nUnits = 1;  // kilometre
  Planned planned;
  const MeasureLabelLines& lines = planned.lines;
  ASSERT_TRUE(planned.Over(gk.get(), gk.get(), SGIS_DRect(420000, 4418000, 430000, 4410000), 0.0, spacing));
  EXPECT_EQ(lines.UnitFactor(), 1000.0);
  EXPECT_EQ(lines.XInterval(), 1000.0);
  EXPECT_EQ(lines.YInterval(), 2000.0);
  // Values are written in the spacing's unit, with its origin.
  EXPECT_EQ(lines.LabelValue(LabelSide::Bottom, 421000), 921.0);
  EXPECT_EQ(lines.LabelValue(LabelSide::Left, 4412000), 4412.0);
  EXPECT_TRUE(lines.Accepts(LabelSide::Bottom, 420000));
  EXPECT_FALSE(lines.Accepts(LabelSide::Top, 419999));
  SGIS_DPoint from, to;
  lines.LineEnds(LabelSide::Left, 4412000, &from, &to);
  EXPECT_EQ(from.x, 419000);
  EXPECT_EQ(to.x, 431000);
  // A quarter turn widens the area to the bound of the turned area.
  Planned plannedTurned;
  const MeasureLabelLines& turned = plannedTurned.lines;
  ASSERT_TRUE(
      plannedTurned.Over(gk.get(), gk.get(), SGIS_DRect(420000, 4418000, 430000, 4410000), 90.0, spacing));
  EXPECT_NEAR(turned.Area().Height(), 10000.0, 1e-3);
  EXPECT_NEAR(turned.Area().Width(), 10000.0, 1e-3);
}

TEST(MeasureLabelLines, LinesOnTheAreasEdgesAreLabelled) {
  // 100 to 110 east and 20 to 30 north of a map in degrees, carried into a
  // grid in degrees: the area's north edge comes out at 29.999999999999996.
  ReleasePtr<IGIS_SpatialReference> map(GIS_MakeGeographicReference(GIS_DATUM_CGCS2000));
  ReleasePtr<IGIS_SpatialReference> grid(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
  MeasureSpacing five;
  five.dXInterval = five.dYInterval = 5;
  Planned planned;
  const MeasureLabelLines& lines = planned.lines;
  ASSERT_TRUE(planned.Over(map.get(), grid.get(), SGIS_DRect(100, 30, 110, 20), 0.0, five));
  const struct {
    LabelSide side;
    std::vector<double> accepted;
  } rows[] = {
      {LabelSide::Bottom, {100, 105, 110}},
      {LabelSide::Left, {20, 25, 30}},
  };
  for (const auto& r : rows) {
    const bool vertical = r.side == LabelSide::Bottom;
    std::vector<double> accepted;
    for (int i = 0; i < lines.LineCount(vertical); ++i) {
      const double c = lines.LineAt(vertical, i);
      if (lines.Accepts(r.side, c)) accepted.push_back(c);
    }
    EXPECT_EQ(accepted, r.accepted);
  }
}

}  // namespace

// The part of the grid's plane the world covers is remembered per pair of
// references: a map over the whole world keeps each grid's own, whatever was
// prepared before (a grid in degrees covers a few hundred units of it, a
// Gauss-Kruger zone millions).
TEST(MeasureLabelLines, EachPairOfReferencesKeepsItsOwnWorld) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  ReleasePtr<IGIS_SpatialReference> degrees(f->CreateSpatialReference(1));
  ReleasePtr<IGIS_SpatialReference> zone20 = GaussKruger(20);
  const SGIS_DRect world(-180.0, 85.0, 180.0, -85.0);
  const struct {
    IGIS_SpatialReference* grid;
    double interval;
    double minWidth, maxWidth;
  } rows[] = {{degrees.get(), 10.0, 300.0, 400.0}, {zone20.get(), 100000.0, 1e6, 1e9}};
  SGIS_DRect first[2];
  for (int pass = 0; pass < 3; ++pass) {
    for (int i = 0; i < 2; ++i) {
      MeasureSpacing spacing;
      spacing.dXInterval = spacing.dYInterval = rows[i].interval;
      Planned planned;
      const MeasureLabelLines& lines = planned.lines;
      ASSERT_TRUE(planned.Over(degrees.get(), rows[i].grid, world, 0.0, spacing)) << pass << " " << i;
      const SGIS_DRect a = lines.Area();
      EXPECT_GE(a.Width(), rows[i].minWidth) << pass << " " << i;
      EXPECT_LE(a.Width(), rows[i].maxWidth) << pass << " " << i;
      if (pass == 0) {
        first[i] = a;
        continue;
      }
      EXPECT_EQ(a.x1, first[i].x1) << pass << " " << i;
      EXPECT_EQ(a.x2, first[i].x2) << pass << " " << i;
      EXPECT_EQ(a.y1, first[i].y1) << pass << " " << i;
      EXPECT_EQ(a.y2, first[i].y2) << pass << " " << i;
    }
  }
}
