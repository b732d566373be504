// The label geometry kit, one table per function.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/notara/igis_annostyle.h"
#include "layout/graphicelement/grid/label/labelgeometry.h"

namespace {

using namespace md::layout::label;

void ExpectRect(const SGIS_DRect& got, const SGIS_DRect& want, const std::string& what) {
  EXPECT_NEAR(got.x1, want.x1, 1e-9) << what;
  EXPECT_NEAR(got.y1, want.y1, 1e-9) << what;
  EXPECT_NEAR(got.x2, want.x2, 1e-9) << what;
  EXPECT_NEAR(got.y2, want.y2, 1e-9) << what;
}

TEST(SideCrossing, TakesTheFirstOrLastCrossingAndAppliesTheSidesEdgeTest) {
  // Frame 100..200 by 10..50 (y up).
  CrossingFrame up;
  up.rect = SGIS_Rect(100, 50, 200, 10);
  CrossingFrame down = up;
  down.bYDown = true;
  constexpr LabelSide B = LabelSide::Bottom, T = LabelSide::Top, L = LabelSide::Left, R = LabelSide::Right;
  constexpr EdgeTest kAny = EdgeTest::kAny, kOn = EdgeTest::kOnSide, kInner = EdgeTest::kNotAtEnds;
  struct Row {
    const char* what;
    LabelSide side;
    std::vector<SGIS_Point> crossings;
    const CrossingFrame* frame;
    EdgeTest test;
    bool found;
    SGIS_Point expected;
  };
  const Row rows[] = {
      {"bottom takes the first", B, {{150, 10}, {150, 50}}, &up, kAny, true, {150, 10}},
      {"top takes the last", T, {{150, 10}, {150, 50}}, &up, kAny, true, {150, 50}},
      {"left takes the first", L, {{100, 30}, {200, 32}}, &up, kAny, true, {100, 30}},
      {"right takes the last", R, {{100, 30}, {200, 32}}, &up, kAny, true, {200, 32}},
      {"no crossing", B, {}, &up, kAny, false, {}},
      {"on side: bottom on its edge", B, {{100, 10}, {150, 50}}, &up, kOn, true, {100, 10}},
      {"on side: bottom entering through the left edge", B, {{100, 20}, {150, 50}}, &up, kOn, false, {}},
      {"on side: y down, bottom is the larger y", B, {{150, 50}, {150, 10}}, &down, kOn, true, {150, 50}},
      {"on side: top at a corner does not count", T, {{150, 10}, {200, 50}}, &up, kOn, false, {}},
      {"on side: top inside its edge", T, {{150, 10}, {199, 50}}, &up, kOn, true, {199, 50}},
      {"on side: left at a corner counts", L, {{100, 50}, {200, 50}}, &up, kOn, true, {100, 50}},
      {"on side: right off its edge", R, {{100, 30}, {150, 50}}, &up, kOn, false, {}},
      {"not at ends: bottom at the left edge", B, {{100, 10}}, &up, kInner, false, {}},
      {"not at ends: bottom inside", B, {{101, 10}}, &up, kInner, true, {101, 10}},
      {"not at ends: right at the top edge", R, {{200, 50}}, &up, kInner, false, {}},
  };
  for (const Row& r : rows) {
    SGIS_Point got(-1, -1);
    EXPECT_EQ(SideCrossing(r.side, r.crossings.data(), static_cast<int>(r.crossings.size()), *r.frame, r.test,
                           &got),
              r.found)
        << r.what;
    if (r.found) {
      EXPECT_EQ(got, r.expected) << r.what;
    }
  }
}

TEST(OffsetForSide, EveryPositiveOffsetMovesAwayFromTheFrameAndTheSameWayAlong) {
  SideOffsets o;
  o.nLeftX = 10;
  o.nRightX = 20;
  o.nTopX = 30;
  o.nBottomX = 40;
  o.nLeftY = 1;
  o.nRightY = 2;
  o.nTopY = 3;
  o.nBottomY = 4;
  const SGIS_DPoint p(1000, 2000);
  const struct {
    LabelSide side;
    SGIS_DPoint expected;
  } rows[] = {
      {LabelSide::Bottom, {1040, 1996}},
      {LabelSide::Top, {1030, 2003}},
      {LabelSide::Left, {990, 2001}},
      {LabelSide::Right, {1020, 2002}},
  };
  for (const auto& r : rows) {
    const SGIS_DPoint got = OffsetForSide(r.side, p, o);
    EXPECT_TRUE(got.x == r.expected.x && got.y == r.expected.y) << static_cast<int>(r.side);
  }
}

// The along-side coordinates of records, and which of them are left.
std::vector<GridLabelRecord> Records(const std::vector<int>& along, LabelSide side) {
  std::vector<GridLabelRecord> out;
  for (int c : along) {
    GridLabelRecord r;
    r.position = LabelsVerticalLines(side) ? SGIS_Point(c, 7) : SGIS_Point(7, c);
    r.text = std::to_string(c);
    out.push_back(r);
  }
  return out;
}
std::string Kept(const std::vector<GridLabelRecord>& records) {
  std::string s;
  for (const GridLabelRecord& r : records) {
    if (r.bSkipped) continue;
    if (!s.empty()) s += " ";
    s += r.text;
  }
  return s;
}

TEST(AlignLabels, SkipsCrowdedRunsAtBothEndsKeepingOneLabelOfEach) {
  const CrowdRange bottomLead{-2.0, 10.0, true};  // a bottom side's leading run: -r < d < 5r with r = 2
  const struct {
    const char* what;
    std::vector<int> along;
    LabelSide side;
    CrowdRange leading;
    std::string kept;
  } rows[] = {
      {"crowded start keeps its last", {10, 13, 100, 200}, LabelSide::Bottom, CrowdRange(), "13 100 200"},
      {"crowded end keeps its first", {10, 100, 200, 204}, LabelSide::Top, CrowdRange(), "10 100 200"},
      {"both ends", {0, 4, 8, 100, 200, 201, 205}, LabelSide::Left, CrowdRange(), "8 100 200"},
      {"one run keeps only the last", {5, 5, 5, 5}, LabelSide::Right, CrowdRange(), "5"},
      {"a single label stays", {5}, LabelSide::Bottom, CrowdRange(), "5"},
      {"steps of 5 are not crowded", {0, 5, 10}, LabelSide::Bottom, CrowdRange(), "0 5 10"},
      {"a falling step ends the run", {10, 9, 100}, LabelSide::Left, CrowdRange(), "10 9 100"},
      {"an open range: steps up to 9 crowd the start", {0, 9, 20}, LabelSide::Bottom, bottomLead, "9 20"},
      {"an open range excludes its ends", {0, 10, 20}, LabelSide::Bottom, bottomLead, "0 10 20"},
      {"an open range takes small falls", {20, 19, 100}, LabelSide::Bottom, bottomLead, "19 100"},
  };
  for (const auto& r : rows) {
    std::vector<GridLabelRecord> records = Records(r.along, r.side);
    AlignLabels(&records, r.side, r.leading);
    EXPECT_EQ(Kept(records), r.kept) << r.what;
  }
  // Positions and texts stay; only the flags change.
  std::vector<GridLabelRecord> records = Records({1, 2, 50}, LabelSide::Bottom);
  AlignLabels(&records, LabelSide::Bottom);
  EXPECT_EQ(records[0].position, SGIS_Point(1, 7));
  EXPECT_TRUE(records[0].bSkipped);
  EXPECT_EQ(records.size(), 3u);
}

TEST(AlignedTextBound, PutsTheCodesPointOnTheAnchorAndTurnsTheBoxAboutIt) {
  const SGIS_DPoint a(1000, 500);
  const double w = 300, h = 100;
  const struct {
    const char* what;
    int code;
    double angle;
    SGIS_DRect box;  // x1, y1 (top), x2, y2 (bottom)
  } rows[] = {
      {"5: centred below", GIS_ALIGN_TOP_CENTER, 0, {850, 500, 1150, 400}},
      {"1: centred above", GIS_ALIGN_BOTTOM_CENTER, 0, {850, 600, 1150, 500}},
      {"7: left of the point, centred on its height", GIS_ALIGN_RIGHT_CENTER, 0, {700, 550, 1000, 450}},
      {"3: right of the point", GIS_ALIGN_LEFT_CENTER, 0, {1000, 550, 1300, 450}},
      {"2: bottom-left corner on the point", GIS_ALIGN_BOTTOM_LEFT, 0, {1000, 600, 1300, 500}},
      {"0: centred", GIS_ALIGN_CENTER, 0, {850, 550, 1150, 450}},
      // Turned a quarter: the level box's top-centre point stays on the
      // anchor, the text reads upwards left of it.
      {"5 turned: left of the point, centred on its height",
       GIS_ALIGN_TOP_CENTER,
       90,
       {1000, 650, 1100, 350}},
      {"1 turned", GIS_ALIGN_BOTTOM_CENTER, 90, {900, 650, 1000, 350}},
      {"7 turned: below the point", GIS_ALIGN_RIGHT_CENTER, 90, {950, 500, 1050, 200}},
      {"3 turned: above the point", GIS_ALIGN_LEFT_CENTER, 90, {950, 800, 1050, 500}},
  };
  for (const auto& r : rows) {
    ExpectRect(AlignedTextBound(r.code, a, w, h, r.angle), r.box, r.what);
  }
}

TEST(QuarterTurnedAlignment, NamesTheLevelPointThatTurnsOntoTheTurnedBoxsPoint) {
  // For each code of the turned box, the level code; placed by it and turned,
  // the box has the turned code's point on the anchor.
  const int level[9] = {0, 3, 4, 5, 6, 7, 8, 1, 2};
  const SGIS_DPoint a(0, 0);
  for (int code = 0; code <= 8; ++code) {
    EXPECT_EQ(QuarterTurnedAlignment(code), level[code]) << code;
    // The turned box placed by the code itself, as a level box of its size.
    ExpectRect(AlignedTextBound(QuarterTurnedAlignment(code), a, 300, 100, 90),
               AlignedTextBound(code, a, 100, 300, 0), std::to_string(code));
  }
  EXPECT_EQ(QuarterTurnedAlignment(9), 0);
  EXPECT_EQ(QuarterTurnedAlignment(-1), 0);
}

}  // namespace
