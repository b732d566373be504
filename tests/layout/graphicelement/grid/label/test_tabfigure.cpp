// The figure of the index tab styles: each style's rings over worked frames,
// the designation texts and where they stand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/label/indextabfigure.h"

namespace {

using md::layout::grid::CGIS_GridCapRecord;
using md::layout::label::LabelSide;
using md::layout::label::TabFrame;
using md::layout::label::TabPurpose;
using md::layout::label::TabRing;
using Points = std::vector<SGIS_Point>;

// left 0, right 4000, bottom 0, top 3000.
const SGIS_Rect kFrame(0, 3000, 4000, 0);

TabFrame Frame(int columns, int rows, int thickness, bool outside, SGIS_Rect rect = kFrame) {
  CGIS_GridCapRecord caps("test");
  return md::layout::label::MakeTabFrame(rect, columns, rows, thickness, outside, caps);
}

Points PointsOf(const TabRing& ring) {
  return Points(ring.points.begin(), ring.points.begin() + ring.nCount);
}

// The ring's corners, closed by the first one again.
Points Closed(Points corners) {
  corners.push_back(corners.front());
  return corners;
}

struct RingRow {
  const char* what;
  md::layout::label::TabShape shape;
  TabFrame frame;
  TabPurpose purpose;
  std::size_t index;  // in drawing order
  Points corners;
};

void CheckRings(const RingRow* rows, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const RingRow& r = rows[i];
    const std::vector<TabRing> rings = r.shape(r.frame, r.purpose);
    ASSERT_LT(r.index, rings.size()) << r.what;
    EXPECT_EQ(PointsOf(rings[r.index]), Closed(r.corners)) << r.what;
  }
}

TEST(TabFigure, BackgroundBoxesAreTheBandDeepCentredOnTheirCells) {
  using md::layout::label::BackgroundBoxes;
  constexpr auto kDraw = TabPurpose::kDrawing;
  // 4 columns and 3 rows: cells 1000 x 1000; the bottom band's boxes come
  // first (4), then the top's (4), then the left's.
  const RingRow rows[] = {
      {"first bottom box",
       &BackgroundBoxes,
       Frame(4, 3, 200, false),
       kDraw,
       0,
       {{400, 0}, {600, 0}, {600, 200}, {400, 200}}},
      {"first left box",
       &BackgroundBoxes,
       Frame(4, 3, 200, false),
       kDraw,
       8,
       {{0, 400}, {200, 400}, {200, 600}, {0, 600}}},
      {"first top box",
       &BackgroundBoxes,
       Frame(4, 3, 200, false),
       kDraw,
       4,
       {{400, 3000}, {400, 2800}, {600, 2800}, {600, 3000}}},
      {"first right box",
       &BackgroundBoxes,
       Frame(4, 3, 200, false),
       kDraw,
       11,
       {{4000, 400}, {3800, 400}, {3800, 600}, {4000, 600}}},
      {"outside the frame",
       &BackgroundBoxes,
       Frame(4, 3, 200, true),
       kDraw,
       0,
       {{400, 0}, {600, 0}, {600, -200}, {400, -200}}},
      {"odd width: half truncated, the box one wider",
       &BackgroundBoxes,
       Frame(4, 3, 201, false),
       kDraw,
       0,
       {{400, 0}, {601, 0}, {601, 201}, {400, 201}}},
      {"conversion is the drawing",
       &BackgroundBoxes,
       Frame(4, 3, 200, true),
       TabPurpose::kConversion,
       1,
       {{1400, 0}, {1600, 0}, {1600, -200}, {1400, -200}}},
  };
  CheckRings(rows, std::size(rows));
  EXPECT_EQ(BackgroundBoxes(Frame(4, 3, 200, false), kDraw).size(), 4u + 4u + 3u + 3u);
}

TEST(TabFigure, ContinuousBandIsMitredAtTheCorners) {
  using md::layout::label::ContinuousTabs;
  constexpr auto kDraw = TabPurpose::kDrawing;
  const RingRow rows[] = {
      // Four columns: first, last, then the middle ones from the left.
      {"first bottom tab",
       &ContinuousTabs,
       Frame(4, 3, 200, false),
       kDraw,
       0,
       {{0, 0}, {200, 200}, {1000, 200}, {1000, 0}}},
      {"last bottom tab",
       &ContinuousTabs,
       Frame(4, 3, 200, false),
       kDraw,
       1,
       {{4000, 0}, {3800, 200}, {3000, 200}, {3000, 0}}},
      {"second bottom tab",
       &ContinuousTabs,
       Frame(4, 3, 200, false),
       kDraw,
       2,
       {{1000, 0}, {1000, 200}, {2000, 200}, {2000, 0}}},
      {"third bottom tab",
       &ContinuousTabs,
       Frame(4, 3, 200, false),
       kDraw,
       3,
       {{2000, 0}, {2000, 200}, {3000, 200}, {3000, 0}}},
      {"first top tab, outside",
       &ContinuousTabs,
       Frame(4, 3, 200, true),
       kDraw,
       4,
       {{0, 3000}, {-200, 3200}, {1000, 3200}, {1000, 3000}}},
      {"first left tab",
       &ContinuousTabs,
       Frame(4, 3, 200, false),
       kDraw,
       8,
       {{0, 0}, {200, 200}, {200, 1000}, {0, 1000}}},
      {"last left tab",
       &ContinuousTabs,
       Frame(4, 3, 200, false),
       kDraw,
       9,
       {{0, 3000}, {200, 2800}, {200, 2000}, {0, 2000}}},
      {"middle right tab",
       &ContinuousTabs,
       Frame(4, 3, 200, false),
       kDraw,
       13,
       {{4000, 1000}, {3800, 1000}, {3800, 2000}, {4000, 2000}}},
      // One column: both end tabs span the side, each mitred at its corner.
      {"one column, first",
       &ContinuousTabs,
       Frame(1, 3, 200, false),
       kDraw,
       0,
       {{0, 0}, {200, 200}, {4000, 200}, {4000, 0}}},
      {"one column, last",
       &ContinuousTabs,
       Frame(1, 3, 200, false),
       kDraw,
       1,
       {{4000, 0}, {3800, 200}, {0, 200}, {0, 0}}},
      // Two columns: the end tabs meet in the middle of the side.
      {"two columns, first",
       &ContinuousTabs,
       Frame(2, 3, 200, false),
       kDraw,
       0,
       {{0, 0}, {200, 200}, {2000, 200}, {2000, 0}}},
      {"two columns, last",
       &ContinuousTabs,
       Frame(2, 3, 200, false),
       kDraw,
       1,
       {{4000, 0}, {3800, 200}, {2000, 200}, {2000, 0}}},
      {"a count of 0 is one",
       &ContinuousTabs,
       Frame(0, 3, 200, false),
       kDraw,
       1,
       {{4000, 0}, {3800, 200}, {0, 200}, {0, 0}}},
  };
  CheckRings(rows, std::size(rows));
  // Two end tabs per side always, middle ones from three cells on.
  EXPECT_EQ(ContinuousTabs(Frame(1, 1, 200, false), kDraw).size(), 8u);
  EXPECT_EQ(ContinuousTabs(Frame(4, 3, 200, false), kDraw).size(), 4u + 4u + 3u + 3u);
}

TEST(TabFigure, ButtonsAreCellLongAndTheConversionSharesTheirEnds) {
  using md::layout::label::ButtonTabs;
  // 3 columns over 1000: cells of 333.33. Drawn, a tab's end is its rounded
  // start plus a cell, so the second and third leave a unit between them;
  // converted, both ends come from the cell bounds.
  const SGIS_Rect thirds(0, 1000, 1000, 0);
  const RingRow rows[] = {
      {"drawn second column",
       &ButtonTabs,
       Frame(3, 1, 200, true, thirds),
       TabPurpose::kDrawing,
       1,
       {{333, 0}, {333, -200}, {666, -200}, {666, 0}}},
      {"drawn third column",
       &ButtonTabs,
       Frame(3, 1, 200, true, thirds),
       TabPurpose::kDrawing,
       2,
       {{667, 0}, {667, -200}, {1000, -200}, {1000, 0}}},
      {"converted second column",
       &ButtonTabs,
       Frame(3, 1, 200, true, thirds),
       TabPurpose::kConversion,
       1,
       {{333, 0}, {333, -200}, {667, -200}, {667, 0}}},
      {"inside, first top tab",
       &ButtonTabs,
       Frame(4, 3, 200, false),
       TabPurpose::kDrawing,
       4,
       {{0, 3000}, {0, 2800}, {1000, 2800}, {1000, 3000}}},
      {"first right tab",
       &ButtonTabs,
       Frame(4, 3, 200, true),
       TabPurpose::kDrawing,
       11,
       {{4000, 0}, {4200, 0}, {4200, 1000}, {4000, 1000}}},
      {"depth 0: on the frame edge",
       &ButtonTabs,
       Frame(4, 3, 0, true),
       TabPurpose::kDrawing,
       0,
       {{0, 0}, {0, 0}, {1000, 0}, {1000, 0}}},
  };
  CheckRings(rows, std::size(rows));
}

TEST(TabFigure, RoundedTabsStandOutsideWithTheirOuterCornersCut) {
  using md::layout::label::RoundedTabs;
  constexpr auto kDraw = TabPurpose::kDrawing;
  const RingRow rows[] = {
      // Outside whatever the inside flag says; cut 100 along and across.
      {"first bottom tab",
       &RoundedTabs,
       Frame(4, 3, 200, false),
       kDraw,
       0,
       {{0, 0}, {0, -100}, {100, -200}, {900, -200}, {1000, -100}, {1000, 0}}},
      {"first bottom tab, flag set",
       &RoundedTabs,
       Frame(4, 3, 200, true),
       kDraw,
       0,
       {{0, 0}, {0, -100}, {100, -200}, {900, -200}, {1000, -100}, {1000, 0}}},
      {"first top tab",
       &RoundedTabs,
       Frame(4, 3, 200, false),
       kDraw,
       4,
       {{0, 3000}, {0, 3100}, {100, 3200}, {900, 3200}, {1000, 3100}, {1000, 3000}}},
      {"first left tab",
       &RoundedTabs,
       Frame(4, 3, 200, false),
       kDraw,
       8,
       {{0, 0}, {-100, 0}, {-200, 100}, {-200, 900}, {-100, 1000}, {0, 1000}}},
      {"first right tab",
       &RoundedTabs,
       Frame(4, 3, 200, false),
       kDraw,
       11,
       {{4000, 0}, {4100, 0}, {4200, 100}, {4200, 900}, {4100, 1000}, {4000, 1000}}},
      // 201: the cut runs 100 along the side and 101 across it.
      {"odd depth",
       &RoundedTabs,
       Frame(4, 3, 201, false),
       kDraw,
       0,
       {{0, 0}, {0, -100}, {100, -201}, {900, -201}, {1000, -100}, {1000, 0}}},
      // 0 and 1: no cut, a plain rectangle whose ring repeats points.
      {"depth 1",
       &RoundedTabs,
       Frame(4, 3, 1, false),
       kDraw,
       0,
       {{0, 0}, {0, 0}, {0, -1}, {1000, -1}, {1000, 0}, {1000, 0}}},
      {"depth 0",
       &RoundedTabs,
       Frame(4, 3, 0, false),
       kDraw,
       0,
       {{0, 0}, {0, 0}, {0, 0}, {1000, 0}, {1000, 0}, {1000, 0}}},
      // A negative depth lays them inside, the cut points beyond the cell.
      {"negative depth",
       &RoundedTabs,
       Frame(4, 3, -200, false),
       kDraw,
       0,
       {{0, 0}, {0, 100}, {-100, 200}, {1100, 200}, {1000, 100}, {1000, 0}}},
      // A count below 1 gives one tab along the side, also converted.
      {"no columns, converted",
       &RoundedTabs,
       Frame(0, 3, 200, false),
       TabPurpose::kConversion,
       0,
       {{0, 0}, {0, -100}, {100, -200}, {3900, -200}, {4000, -100}, {4000, 0}}},
  };
  CheckRings(rows, std::size(rows));
}

// Outside the frame, no tab of the button and rounded styles enters the
// squares where a column band and a row band would meet.
TEST(TabFigure, ButtonAndRoundedTabsLeaveTheCornerSquaresEmpty) {
  for (auto shape : {&md::layout::label::ButtonTabs, &md::layout::label::RoundedTabs}) {
    const TabFrame f = Frame(4, 3, 200, true);
    for (const TabRing& ring : shape(f, TabPurpose::kDrawing)) {
      for (int i = 0; i < ring.nCount; ++i) {
        const SGIS_Point& p = ring.points[static_cast<std::size_t>(i)];
        const bool inCorner = (p.x < 0 || p.x > 4000) && (p.y < 0 || p.y > 3000);
        EXPECT_FALSE(inCorner) << p.x << ", " << p.y;
      }
    }
  }
}

TEST(TabFigure, DesignationsAreNumbersOrLettersByTheGridsSetting) {
  const struct {
    bool column;
    int index;
    int xyType;
    const char* text;
  } rows[] = {
      {true, 0, 1, "A"},     {true, 2, 1, "C"},      {false, 0, 1, "1"},
      {false, 1, 1, "2"},    {true, 0, 0, "1"},      {true, 2, 0, "3"},
      {false, 0, 0, "A"},    {false, 1, 0, "B"},     {true, 1, 2, "B"},
      {false, 1, 2, "B"},    {true, 25, 1, "Z"},     {true, 26, 1, "["},
      {true, 27, 1, "\\"},   {false, 61, 0, "~"},    {true, 62, 1, "63"},  // past code 126: the number
      {true, 998, 0, "999"}, {true, 999, 0, "1000"}, {false, 9999999, 1, "10000000"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(md::layout::label::DesignationText(r.column, r.index, r.xyType), r.text)
        << r.column << " " << r.index << " " << r.xyType;
  }
}

TEST(TabFigure, DesignationsStandInTheMiddleOfTheBandMovedByTheOffsets) {
  md::layout::label::SideOffsets offsets;
  const md::layout::label::SideOffsets none;
  offsets.nBottomX = 20;
  offsets.nBottomY = 30;
  offsets.nLeftX = 40;
  offsets.nLeftY = 50;
  const struct {
    const char* what;
    TabFrame frame;
    LabelSide side;
    const md::layout::label::SideOffsets& offsets;
    std::size_t index;
    SGIS_Point anchor;
    const char* text;
  } rows[] = {
      {"inside: 100 above the bottom edge",
       Frame(4, 3, 200, false),
       LabelSide::Bottom,
       none,
       0,
       {500, 100},
       "A"},
      {"outside: 100 below it", Frame(4, 3, 200, true), LabelSide::Bottom, none, 1, {1500, -100}, "B"},
      {"top, inside", Frame(4, 3, 200, false), LabelSide::Top, none, 3, {3500, 2900}, "D"},
      {"left: row 1 at the bottom", Frame(4, 3, 200, false), LabelSide::Left, none, 0, {100, 500}, "1"},
      {"right, outside", Frame(4, 3, 200, true), LabelSide::Right, none, 2, {4100, 2500}, "3"},
      {"bottom offsets: along, then away",
       Frame(4, 3, 200, false),
       LabelSide::Bottom,
       offsets,
       0,
       {520, 70},
       "A"},
      {"left offsets", Frame(4, 3, 200, false), LabelSide::Left, offsets, 0, {60, 550}, "1"},
      {"odd depth rounds half away", Frame(4, 3, 201, false), LabelSide::Bottom, none, 0, {500, 101}, "A"},
  };
  for (const auto& r : rows) {
    const auto d = md::layout::label::SideDesignations(r.frame, r.side, r.offsets, 1);
    ASSERT_LT(r.index, d.size()) << r.what;
    EXPECT_EQ(d[r.index].anchor, r.anchor) << r.what;
    EXPECT_EQ(d[r.index].text, r.text) << r.what;
  }
}

}  // namespace
