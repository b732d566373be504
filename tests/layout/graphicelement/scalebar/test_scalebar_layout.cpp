// The layout of a scale bar: the division width from the frame's scale and
// the bar's unit, the places of marks and labels, and the element rectangle
// Refresh gives it.
#include <cmath>

#include "host/calcora/igis_geoarithmetic.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"
#include "scalebartest.h"

namespace md::test {
namespace {

using md::layout::detail::BarPlaces;
using md::layout::detail::PlaceBar;
using ScaleBarLayout = ScaleBarTest;

int LinearUnits() { return GIS_GetSpatialReferenceFactoryObject()->GetLinearUnitCount(); }

// Ground length per page unit across the middle 98 % of a frame's bound,
// measured independently of the bar.
double Measured(double x1, double x2, double cy, int code, int referenceCode, double pageWidth) {
  IGIS_SpatialReference* ref = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(referenceCode);
  IGIS_GeoArithmetic* g = GIS_CreateGeoArithmeticObject();
  const double d = (x2 - x1) * 0.01;
  const double r = g->Distance(x1 + d, cy, x2 - d, cy, ref, code) / (pageWidth * 0.98);
  g->Release();
  ref->Release();
  return r;
}

struct WidthRow {
  const char* name;
  int reference;  // sferon code of the frame's map; -1 no map, -2 no frame
  double scale;   // map units per page unit
  SGIS_DRect bound;
  int units;  // -1: degrees (the unit count), -2: unknown
  double division;
  int wantWidth;  // -1: computed from Measured()
  double measuredFactor;
  int measuredCode;
};

TEST_F(ScaleBarLayout, TheDivisionWidthFollowsScaleReferenceAndUnit) {
  const int n = LinearUnits();
  const SGIS_DRect lonlat(116.0, 40.5, 117.0, 39.5);
  const SGIS_DRect gauss(440000.0, 4430000.0, 460000.0, 4420000.0);
  const WidthRow rows[] = {
      {"no frame: the stored width", -2, 0.0, SGIS_DRect(), 1, 1.0, 1000, 0, 0},
      {"1:50,000 in kilometres: 20 mm", 2, 0.5, gauss, 1, 1.0, 2000, 0, 0},
      {"1:25,000 in metres: 500 m are 20 mm", 2, 0.25, gauss, 0, 500.0, 2000, 0, 0},
      {"1:10,000 in metres", 2, 0.1, gauss, 0, 100.0, 1000, 0, 0},
      {"geographic map in degrees", 1, 0.0001, lonlat, -1, 0.1, 1000, 0, 0},
      {"geographic map in kilometres", 1, 0.0001, lonlat, 1, 5.0, -1, 1000.0, GIS_DISTANCE_METRE},
      {"projected map in degrees", 2, 2.0, gauss, -1, 0.05, -1, 1.0, GIS_DISTANCE_DEGREE},
      {"map without unit", 0, 2.0, gauss, -2, 1000.0, 500, 0, 0},
      {"frame without map: the stored width", -1, 0.5, gauss, 1, 3.0, 1000, 0, 0},
  };
  for (const WidthRow& r : rows) {
    SCOPED_TRACE(r.name);
    CGIS_AlternatingScaleBar* bar = NewBar();
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetDivision(r.division);
    bar->SetBarWidth(1000);
    bar->SetUnits(r.units >= 0 ? r.units : (r.units == -1 ? n : n + 1));
    if (r.reference != -2) {
      FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), r.reference, r.scale);
      frame->bound = r.bound;
      bar->SetMapElement(frame);
    }
    int want = r.wantWidth;
    if (want < 0) {
      const double cy = (r.bound.y1 + r.bound.y2) / 2.0;
      const double per =
          Measured(r.bound.x1, r.bound.x2, cy, r.measuredCode, r.reference, 10000.0) / r.measuredFactor;
      want = static_cast<int>(std::lround(r.division / per));
    }
    EXPECT_EQ(bar->GetDivisionWidth(), want);
    EXPECT_EQ(bar->GetBarWidth(), want);
    EXPECT_EQ(bar->GetDivision(), r.division);
    if (r.reference >= 0) {
      EXPECT_EQ(bar->GetMapScale(), r.scale);
    }
  }
}

TEST_F(ScaleBarLayout, AWidthThatRoundsToZeroBecomes1000AndTheDivisionFollows) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->SetDivision(0.001);
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.5);
  bar->SetMapElement(frame);
  bar->SetUnits(0);
  EXPECT_EQ(bar->GetDivisionWidth(), 1000);
  EXPECT_DOUBLE_EQ(bar->GetDivision(), 500.0);
}

struct LabelRow {
  const char* name;
  int frequency;
  bool beforeZero;
  int subdivisions;
  std::vector<std::pair<int, double>> want;  // (x from the bar's origin, value)
};

TEST_F(ScaleBarLayout, LabelsStandWhereTheirFrequencyPutsThem) {
  const LabelRow rows[] = {
      {"none", 0, false, 4, {}},
      {"both ends", 1, false, 4, {{0, 0}, {6000, 6}}},
      {"both ends, a division before zero", 1, true, 4, {{0, 1}, {6000, 5}}},
      {"ends and zero", 2, true, 4, {{0, 1}, {1000, 0}, {6000, 5}}},
      {"every division",
       3,
       false,
       4,
       {{0, 0}, {1000, 1}, {2000, 2}, {3000, 3}, {4000, 4}, {5000, 5}, {6000, 6}}},
      {"every division, before zero",
       3,
       true,
       4,
       {{0, 1}, {1000, 0}, {2000, 1}, {3000, 2}, {4000, 3}, {5000, 4}, {6000, 5}}},
      {"and the first midpoint",
       4,
       false,
       4,
       {{0, 0}, {1000, 1}, {2000, 2}, {3000, 3}, {4000, 4}, {5000, 5}, {6000, 6}, {500, 0.5}}},
      {"and the first subdivisions, before zero",
       5,
       true,
       4,
       {{0, 1},
        {1000, 0},
        {2000, 1},
        {3000, 2},
        {4000, 3},
        {5000, 4},
        {6000, 5},
        {250, 0.75},
        {500, 0.5},
        {750, 0.25}}},
      {"one subdivision adds no labels",
       5,
       false,
       1,
       {{0, 0}, {1000, 1}, {2000, 2}, {3000, 3}, {4000, 4}, {5000, 5}, {6000, 6}}},
  };
  for (const LabelRow& r : rows) {
    SCOPED_TRACE(r.name);
    CGIS_AlternatingScaleBar* bar = NewBar();
    bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(3000, 2000, 9000, 1000), 0);
    bar->SetLabelFrequency(r.frequency);
    bar->SetDivisionsBeforeZero(r.beforeZero);
    bar->SetSubDivisions(r.subdivisions);
    const BarPlaces p = PlaceBar(bar, "test");
    // The bar's origin: the rectangle's left edge and the laid-out bar place.
    EXPECT_EQ(p.ox, 3000 + bar->GetBarX());
    ASSERT_EQ(p.labels.size(), r.want.size());
    for (std::size_t i = 0; i < r.want.size(); ++i) {
      EXPECT_EQ(p.labels[i].x, p.ox + r.want[i].first) << i;
      EXPECT_DOUBLE_EQ(p.labels[i].value, r.want[i].second) << i;
    }
  }
  // All subdivisions before zero: the first division counts down to zero.
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->SetDivisions(2);
  bar->SetSubDivisions(2);
  bar->SetDivisionsBeforeZero(true);
  bar->SetLabelFrequency(6);
  const BarPlaces p = PlaceBar(bar, "test");
  const std::vector<std::pair<int, double>> want = {{0, 1}, {1000, 0}, {2000, 1}, {500, 0.5}, {1500, 0.5}};
  ASSERT_EQ(p.labels.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(p.labels[i].x, p.ox + want[i].first);
    EXPECT_DOUBLE_EQ(p.labels[i].value, want[i].second);
  }
}

struct MarkRow {
  int frequency;
  int position;
  bool beforeZero;
  std::vector<int> divisions, subdivisions;  // x from the origin
  int divFrom, divTo, subFrom, subTo;        // y from the origin
};

TEST_F(ScaleBarLayout, MarksStandWhereFrequencyAndPositionPutThem) {
  // Divisions 3, subdivisions 2, division width 1000, bar height 200,
  // mark heights 100 and 50.
  const MarkRow rows[] = {
      {0, 0, false, {}, {}, 200, 300, 200, 250},
      {1, 1, false, {0, 3000}, {}, 200, 300, 200, 250},
      {2, 0, true, {0, 1000, 3000}, {}, 200, 300, 200, 250},
      {2, 0, false, {0, 3000}, {}, 200, 300, 200, 250},
      {3, 2, false, {0, 1000, 2000, 3000}, {}, 50, 150, 75, 125},
      {4, 3, false, {0, 1000, 2000, 3000}, {500}, 0, -100, 0, -50},
      {5, 4, false, {0, 1000, 2000, 3000}, {500}, 0, -100, 0, -50},
      {6, 7, false, {0, 1000, 2000, 3000}, {500, 1500, 2500}, 200, 300, 200, 250},  // position 7 acts as 0
      {9, 0, false, {}, {}, 200, 300, 200, 250},                                    // no such frequency
  };
  for (const MarkRow& r : rows) {
    SCOPED_TRACE(testing::Message() << "frequency " << r.frequency << " position " << r.position);
    CGIS_AlternatingScaleBar* bar = NewBar();
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetDivisions(3);
    bar->SetSubDivisions(2);
    bar->SetDivisionsBeforeZero(r.beforeZero);
    bar->GetScaleMarks()->SetMarkFrequency(r.frequency);
    bar->GetScaleMarks()->SetMarkPosition(r.position);
    const BarPlaces p = PlaceBar(bar, "test");
    auto fromOrigin = [&p](std::vector<int> x) {
      for (int& v : x) v -= p.ox;
      return x;
    };
    EXPECT_EQ(fromOrigin(p.divisionMarks), r.divisions);
    EXPECT_EQ(fromOrigin(p.subdivisionMarks), r.subdivisions);
    EXPECT_EQ(p.divisionFrom, r.divFrom);
    EXPECT_EQ(p.divisionTo, r.divTo);
    EXPECT_EQ(p.subdivisionFrom, r.subFrom);
    EXPECT_EQ(p.subdivisionTo, r.subTo);
  }
}

TEST_F(ScaleBarLayout, StoredCountsOutOfRangeAreBroughtIntoRangeWhereUsed) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->Archive(0, 0);
  IGIS_PropertySet* s = StoredCustom(bar);
  s->GetProperty("Divisions")->SetInt(250);
  s->GetProperty("SubDivisions")->SetInt(-4);
  s->GetProperty("LabelPosition")->SetInt(17);
  StoreCustom(bar, s);
  s->Release();
  ASSERT_TRUE(bar->Archive(1, 0));
  EXPECT_EQ(bar->GetDivisions(), 250);  // kept as stored
  EXPECT_EQ(bar->GetSubDivisions(), -4);
  bar->SetLabelFrequency(5);
  const BarPlaces p = PlaceBar(bar, "test");
  EXPECT_EQ(p.n, 100);
  EXPECT_EQ(p.s, 1);
  EXPECT_EQ(p.labels.size(), 101u);
  EXPECT_EQ(p.labelY, p.oy + 200 + 150);  // an unknown position stands above

  bar->SetSubDivisions(1000000);
  LogMark log;
  const BarPlaces capped = PlaceBar(bar, "IGIS_ScaleBar::OnDrawLabel");
  EXPECT_EQ(capped.s, md::layout::detail::kMaxSubDivisions);
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleBar::OnDrawLabel", "SubDivisions > 1000"));

  // Marks and labels at every subdivision of 100 divisions of 1000: each
  // division gets 20, not 1000.
  bar->SetLabelFrequency(GIS_SCALEBAR_LABELS_ALL_SUBDIVISIONS);
  bar->GetScaleMarks()->SetMarkFrequency(GIS_SCALEMARKS_ALL_SUBDIVISIONS);
  const BarPlaces every = PlaceBar(bar, "test");
  EXPECT_EQ(every.subdivisionMarks.size(), 100u * 19);
  EXPECT_EQ(every.labels.size(), 101u + 100 * 19);
}

TEST_F(ScaleBarLayout, RefreshSizesTheRectangleToBodyMarksAndLabels) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 600, 1100, 500), 0);
  // The defaults: 6 divisions of 1000, height 200, marks above (100), labels
  // "0" .. "6" of height 6 and width 3 at 150 above, the unit label "米"
  // (10 x 10) 50 after the last label.
  bar->Refresh();
  EXPECT_EQ(bar->GetBarX(), 2);  // half of "0" left of the bar, rounded away from zero
  EXPECT_EQ(bar->GetBarY(), 0);
  EXPECT_EQ(bar->GetRect(), SGIS_Rect(1000, 500 + 360, 1000 + 6063, 500));

  // Labels and marks below, the unit label below the bar.
  bar->SetLabelPosition(GIS_SCALEBAR_POSITION_BELOW);
  bar->GetScaleMarks()->SetMarkPosition(GIS_SCALEBAR_POSITION_BELOW);
  bar->SetUnitLabelPosition(GIS_SCALEBAR_UNIT_BELOW);
  bar->Refresh();
  // Lowest: the unit label, 50 below the label row at -(150 + 6).
  EXPECT_EQ(bar->GetBarY(), 156 + 50 + 10);
  EXPECT_EQ(bar->GetBarX(), 2);
  const SGIS_Rect r = bar->GetRect();
  EXPECT_EQ(r.bottom, 500);
  EXPECT_EQ(r.Height(), 200 + 216);
  EXPECT_EQ(r.Width(), 6003);

  // The unit label before the bar, level with it.
  bar->SetUnitLabelPosition(GIS_SCALEBAR_UNIT_BEFORE_BAR);
  bar->Refresh();
  EXPECT_EQ(bar->GetBarX(), 60);
  const BarPlaces p = PlaceBar(bar, "test");
  EXPECT_EQ(p.unitBox, SGIS_Rect(1000, 500 + 156 + 10, 1010, 500 + 156));
}

}  // namespace
}  // namespace md::test
