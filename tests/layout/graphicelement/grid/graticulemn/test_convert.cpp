// The conversion of the graticule of fixed rows and columns into plain
// elements in page units: the worked example's members in order over a
// frame of the region (page point (2000 + 1000 k, 2000 + 1000 j) is 100 + k
// east, 20 + j north), marks chosen by whole degrees, a map without
// degrees, a frame of scale 0, and what a conversion leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/grid/mapgridbordermaker.h"
#include "tests/layout/graphicelement/grid/graticulemn/mntest.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::kLineColor;
using md::test::kMarkColor;
using md::test::kSubTickColor;
using md::test::kTickColor;
using md::test::Made;
using md::test::MembersOf;
using Grid = md::basilo::ReleasePtr<CGIS_GraticuleMNGrid>;

constexpr const char* kPolyline = "GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE";
constexpr const char* kPoint = "GIS_TYPE_GRAPHIC_ELEMENT_POINT";
constexpr const char* kConvert = "CGIS_GraticuleMNGrid::ConvertToElement";

class MNConvert : public md::test::MNPage {
 protected:
  // The members of the grid's group, the last member of its conversion.
  std::vector<Made> Group(IGIS_Element* converted) {
    const std::vector<IGIS_Element*> members = MembersOf(converted);
    std::vector<Made> out;
    EXPECT_FALSE(members.empty());
    if (members.empty()) return out;
    for (IGIS_Element* e : MembersOf(members.back())) out.push_back(md::test::Read(e));
    return out;
  }
  void Drop(IGIS_Element* converted) { DropCompound(dynamic_cast<IGIS_CompoundElement*>(converted)); }
};

TEST_F(MNConvert, TheWorkedExampleInOrder) {
  // The worked example: 100 to 110 east, 20 to 30 north, 4 columns and 4 rows.
  CGIS_MapElement* frame = DegreesFrame(SGIS_DRect(100, 30, 110, 20));
  Grid grid(md::test::NewMNGrid(frame));
  IGIS_Element* converted = grid->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  const std::vector<Made> made = Group(converted);
  // Parallels 20, 25, 30 from the south, meridians 100, 105, 110 from the
  // west; then one tick a side (bottom, top, left, right; the lines on the
  // frame's edges give none); then two sub-ticks a side.
  struct Expected {
    COLORREF color;
    SGIS_Point from, to;
  };
  const Expected expected[] = {
      {kLineColor, {2000, 2000}, {12000, 2000}},     {kLineColor, {2000, 7000}, {12000, 7000}},
      {kLineColor, {2000, 12000}, {12000, 12000}},   {kLineColor, {2000, 2000}, {2000, 12000}},
      {kLineColor, {7000, 2000}, {7000, 12000}},     {kLineColor, {12000, 2000}, {12000, 12000}},
      {kTickColor, {7000, 2000}, {7000, 1800}},      {kTickColor, {7000, 12000}, {7000, 12200}},
      {kTickColor, {2000, 7000}, {1800, 7000}},      {kTickColor, {12000, 7000}, {12200, 7000}},
      {kSubTickColor, {4500, 2000}, {4500, 1900}},   {kSubTickColor, {9500, 2000}, {9500, 1900}},
      {kSubTickColor, {4500, 12000}, {4500, 12100}}, {kSubTickColor, {9500, 12000}, {9500, 12100}},
      {kSubTickColor, {2000, 4500}, {1900, 4500}},   {kSubTickColor, {2000, 9500}, {1900, 9500}},
      {kSubTickColor, {12000, 4500}, {12100, 4500}}, {kSubTickColor, {12000, 9500}, {12100, 9500}},
  };
  ASSERT_EQ(made.size(), std::size(expected));
  for (std::size_t i = 0; i < made.size(); ++i) {
    EXPECT_EQ(made[i].type, kPolyline) << i;
    EXPECT_EQ(made[i].color, expected[i].color) << i;
    ASSERT_GE(made[i].points.size(), 2u) << i;
    EXPECT_EQ(made[i].points.front(), expected[i].from) << i;
    EXPECT_EQ(made[i].points.back(), expected[i].to) << i;
  }
  IGIS_GridSpacing* s = grid->GetGridSpacing();
  EXPECT_EQ(s->GetXIntervalSize(), 2.5);
  EXPECT_EQ(s->GetYIntervalSize(), 2.5);
  EXPECT_EQ(s->GetXOrigin(), 100.0);
  EXPECT_EQ(s->GetYOrigin(), 20.0);
  Drop(converted);
}

TEST_F(MNConvert, TheGroupComesAfterTheLabelsAndTheBorder) {
  CGIS_MapElement* frame = DegreesFrame(SGIS_DRect(100, 30, 110, 20));
  Grid grid(md::test::NewMNGrid(frame));
  md::test::Journal j;
  md::test::Owned<md::test::TestLabel> label(new md::test::TestLabel(&j, GIS_GRIDLABEL_DMS, "l", set_));
  grid->SetLabelFormat(label.get());
  grid->SetBorder(
      md::basilo::ReleasePtr<IGIS_MapGridBorder>(md::layout::grid::CreateMapGridBorder(nullptr)).get());
  grid->SetGridlineType(GIS_GRIDLINE_NONE);
  grid->SetTickVisible(false, false, false, false);
  grid->SetSubTickVisible(false, false, false, false);
  IGIS_Element* converted = grid->ConvertToElement();
  const std::vector<IGIS_Element*> members = MembersOf(converted);
  ASSERT_EQ(members.size(), 3u);
  EXPECT_EQ(std::string(members[2]->GetType()), GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
  // Nothing to make: the group is there, empty.
  EXPECT_TRUE(MembersOf(members[2]).empty());
  Drop(converted);
}

TEST_F(MNConvert, MarksAreChosenByWholeDegreesAndNotCutAtTheFrame) {
  // 108.6 to 109.7 east, 0.8 south to 0.5 north: interval 0.5 from (100,
  // -10). A crossing counts when its longitude and latitude rounded half
  // away from zero lie in the extent: 109.5 counts as 110 and -0.5 as -1
  // (both out), 108.5 as 109 (in, though west of the frame).
  CGIS_MapElement* frame = DegreesFrame(SGIS_DRect(108.6, 0.5, 109.7, -0.8));
  Grid grid(md::test::NewMNGrid(frame));
  grid->SetGridlineType(GIS_GRIDLINE_MARKS);
  IGIS_Element* converted = grid->ConvertToElement();
  std::vector<SGIS_Point> marks;
  for (const Made& m : Group(converted)) {
    if (m.type == kPoint) marks.push_back(m.points.front());
  }
  // Page x = 2000 + (lon - 108.6) * 1000, y = 2000 + (lat + 0.8) * 1000.
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_NEAR(marks[0].x, 1900, 1);
  EXPECT_NEAR(marks[0].y, 2800, 1);
  EXPECT_NEAR(marks[1].x, 2400, 1);
  EXPECT_NEAR(marks[1].y, 2800, 1);
  Drop(converted);
}

TEST_F(MNConvert, WithoutDegreesOrAMapOnlyTheLabelsAndTheBorderComeBack) {
  CGIS_MapElement* frame = DegreesFrame(SGIS_DRect(100, 30, 110, 20));
  Grid grid(md::test::NewMNGrid(frame));
  grid->SetBorder(
      md::basilo::ReleasePtr<IGIS_MapGridBorder>(md::layout::grid::CreateMapGridBorder(nullptr)).get());
  const int before = ElementCount();
  // A reference of kind 0: the border's conversion alone, and nothing stray
  // left in the page once that is removed.
  md::basilo::ReleasePtr<IGIS_SpatialReference> none(
      GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0));
  region_->GetSpatialReference()->CopyFrom(none.get());
  md::test::LogMark mark;
  IGIS_Element* converted = grid->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  const std::vector<IGIS_Element*> members = MembersOf(converted);
  // The border's conversion, and no group after it.
  EXPECT_EQ(members.size(), 1u);
  EXPECT_FALSE(mark.Has(GIS_LOG_LEVEL_CHECK, kConvert));
  Drop(converted);
  EXPECT_EQ(ElementCount(), before);

  // A frame without a map: the same, with a record.
  frame->SetMapName("no such map");
  md::test::LogMark noMap;
  converted = grid->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  EXPECT_EQ(MembersOf(converted).size(), 1u);
  EXPECT_TRUE(noMap.Has(GIS_LOG_LEVEL_CHECK, kConvert, "p_map == NULL"));
  Drop(converted);
  EXPECT_EQ(ElementCount(), before);

  // No frame: nothing at all.
  grid->SetMapElement(nullptr);
  md::test::LogMark noFrame;
  EXPECT_EQ(grid->ConvertToElement(), nullptr);
  EXPECT_TRUE(noFrame.Has(GIS_LOG_LEVEL_CHECK, kConvert, "p_element == NULL"));
  EXPECT_EQ(ElementCount(), before);
}

TEST_F(MNConvert, AScaleOfZeroPlacesMapOffsetsUnscaled) {
  // A frame of no height over the sheet, E 420000..430000 from the page
  // point (2000, 2000): a metre of the map is a page unit. The meridians
  // cross its one row of points about 2130 units apart (1.5 minutes of
  // longitude), each giving a bottom and a top tick; the parallels give
  // none (their crossings lie on the frame's top and bottom edges).
  CGIS_MapElement* frame = ZeroScaleFrame();
  Grid grid(md::test::NewMNGrid(frame));
  IGIS_Element* converted = grid->ConvertToElement();
  std::vector<int> bottom;
  for (const Made& m : Group(converted)) {
    if (m.color != kTickColor) continue;
    ASSERT_EQ(m.points.size(), 2u);
    EXPECT_EQ(m.points[0].y, 2000);
    EXPECT_EQ(m.points[0].x, m.points[1].x);
    if (m.points[1].y == 1800) bottom.push_back(m.points[0].x);
  }
  ASSERT_GE(bottom.size(), 3u);
  for (int x : bottom) {
    EXPECT_GE(x, 2000);
    EXPECT_LE(x, 12000);
  }
  for (std::size_t i = 1; i < bottom.size(); ++i) EXPECT_NEAR(bottom[i] - bottom[i - 1], 2130, 30);
  Drop(converted);
}

TEST_F(MNConvert, MarksFromFarOriginsStopAtTheirCapWithOneRecord) {
  // 2e-8 degrees a side just west of 116 east: the interval is 5e-9 and the
  // crossings counted from the origins (110, 30) run to billions; the pass
  // stops at its cap, says so once and the conversion finishes (no crossing
  // within the cap rounds into the extent).
  CGIS_MapElement* frame =
      Frame(region_, SGIS_DRect(116 - 2e-8, 30 + 2e-8, 116, 30), 2e-12, SGIS_Point(2000, 2000));
  Grid grid(md::test::NewMNGrid(frame));
  grid->SetGridlineType(GIS_GRIDLINE_MARKS);
  md::test::LogMark mark;
  IGIS_Element* converted = grid->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  int capped = 0;
  for (const SGIS_LogRecord& r : mark.Records()) {
    capped += r.method == kConvert && r.text.find("capped") != std::string::npos;
  }
  EXPECT_EQ(capped, 1);
  for (const Made& m : Group(converted)) EXPECT_NE(m.type, kPoint);
  Drop(converted);
}

}  // namespace
