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
using md::layout::label::TabRing;
using Points = std::vector<SGIS_Point>;

// left 0, right 4000, bottom 0, top 3000.
const SGIS_Rect kFrame(0, 3000, 4000, 0);

TabFrame Frame(int columns, int rows, int thickness, bool outside, SGIS_Rect rect = kFrame) {
  CGIS_GridCapRecord caps("test");
  return md::layout::label::MakeTabFrame(rect, columns, rows, thickness, outside, caps);
}

// The worked frame of 4 columns and 3 rows, tabs 200 (or as told) deep.
TabFrame Deep(int thickness, bool outside = false) { return Frame(4, 3, thickness, outside); }
TabFrame In() { return Deep(200); }
TabFrame Out() { return Deep(200, true); }

Points PointsOf(const TabRing& ring) {
  return Points(ring.points.begin(), ring.points.begin() + ring.nCount);
}

struct RingRow {
  const char* what;
  TabFrame frame;
  std::size_t index;  // in drawing order
  Points corners;
};

// Each row's ring of the shape, closed by its first corner again.
template <std::size_t N>
void CheckRings(md::layout::label::TabShape shape, const RingRow (&rows)[N]) {
  for (const RingRow& r : rows) {
    const std::vector<TabRing> rings = shape(r.frame);
    ASSERT_LT(r.index, rings.size()) << r.what;
    Points closed = r.corners;
    closed.push_back(closed.front());
    EXPECT_EQ(PointsOf(rings[r.index]), closed) << r.what;
  }
}

TEST(TabFigure, BackgroundBoxesAreTheBandDeepCentredOnTheirCells) {
  using md::layout::label::BackgroundBoxes;
  // 4 columns and 3 rows: cells 1000 x 1000; the bottom band's boxes come
  // first (4), then the top's (4), then the left's.
  const RingRow rows[] = {
      {"first bottom box", In(), 0, {{400, 0}, {600, 0}, {600, 200}, {400, 200}}},
      {"first left box", In(), 8, {{0, 400}, {200, 400}, {200, 600}, {0, 600}}},
      {"first top box", In(), 4, {{400, 3000}, {400, 2800}, {600, 2800}, {600, 3000}}},
      {"first right box", In(), 11, {{4000, 400}, {3800, 400}, {3800, 600}, {4000, 600}}},
      {"outside the frame", Out(), 0, {{400, 0}, {600, 0}, {600, -200}, {400, -200}}},
      {"odd width", Deep(201), 0, {{400, 0}, {601, 0}, {601, 201}, {400, 201}}},
      {"second bottom box, outside", Out(), 1, {{1400, 0}, {1600, 0}, {1600, -200}, {1400, -200}}},
  };
  CheckRings(&BackgroundBoxes, rows);
  EXPECT_EQ(BackgroundBoxes(In()).size(), 4u + 4u + 3u + 3u);
}

TEST(TabFigure, ContinuousBandIsMitredAtTheCorners) {
  using md::layout::label::ContinuousTabs;
  const RingRow rows[] = {
      // Four columns: first, last, then the middle ones from the left.
      {"first bottom tab", In(), 0, {{0, 0}, {200, 200}, {1000, 200}, {1000, 0}}},
      {"last bottom tab", In(), 1, {{4000, 0}, {3800, 200}, {3000, 200}, {3000, 0}}},
      {"second bottom tab", In(), 2, {{1000, 0}, {1000, 200}, {2000, 200}, {2000, 0}}},
      {"third bottom tab", In(), 3, {{2000, 0}, {2000, 200}, {3000, 200}, {3000, 0}}},
      {"top, outside", Out(), 4, {{0, 3000}, {-200, 3200}, {1000, 3200}, {1000, 3000}}},
      {"first left tab", In(), 8, {{0, 0}, {200, 200}, {200, 1000}, {0, 1000}}},
      {"last left tab", In(), 9, {{0, 3000}, {200, 2800}, {200, 2000}, {0, 2000}}},
      {"right middle", In(), 13, {{4000, 1000}, {3800, 1000}, {3800, 2000}, {4000, 2000}}},
      // One column: both end tabs span the side, each mitred at its corner.
      {"one column, first", Frame(1, 3, 200, false), 0, {{0, 0}, {200, 200}, {4000, 200}, {4000, 0}}},
      {"one column, last", Frame(1, 3, 200, false), 1, {{4000, 0}, {3800, 200}, {0, 200}, {0, 0}}},
      // Two columns: the end tabs meet in the middle of the side.
      {"two columns, first", Frame(2, 3, 200, false), 0, {{0, 0}, {200, 200}, {2000, 200}, {2000, 0}}},
      {"two columns, last", Frame(2, 3, 200, false), 1, {{4000, 0}, {3800, 200}, {2000, 200}, {2000, 0}}},
      {"a count of 0 is one", Frame(0, 3, 200, false), 1, {{4000, 0}, {3800, 200}, {0, 200}, {0, 0}}},
  };
  CheckRings(&ContinuousTabs, rows);
  // Two end tabs per side always, middle ones from three cells on.
  EXPECT_EQ(ContinuousTabs(Frame(1, 1, 200, false)).size(), 8u);
  EXPECT_EQ(ContinuousTabs(In()).size(), 4u + 4u + 3u + 3u);
}

TEST(TabFigure, ButtonsAreCellLongFromTheirRoundedStarts) {
  using md::layout::label::ButtonTabs;
  // 3 columns over 1000: cells of 333.33. A tab's end is its rounded start
  // plus a cell, so the second and third leave a unit between them.
  const TabFrame thirds = Frame(3, 1, 200, true, SGIS_Rect(0, 1000, 1000, 0));
  const RingRow rows[] = {
      {"drawn 2nd", thirds, 1, {{333, 0}, {333, -200}, {666, -200}, {666, 0}}},
      {"drawn 3rd", thirds, 2, {{667, 0}, {667, -200}, {1000, -200}, {1000, 0}}},
      {"inside, first top tab", In(), 4, {{0, 3000}, {0, 2800}, {1000, 2800}, {1000, 3000}}},
      {"first right tab", Out(), 11, {{4000, 0}, {4200, 0}, {4200, 1000}, {4000, 1000}}},
      {"depth 0: on the frame edge", Deep(0, true), 0, {{0, 0}, {0, 0}, {1000, 0}, {1000, 0}}},
  };
  CheckRings(&ButtonTabs, rows);
}

TEST(TabFigure, RoundedTabsStandOutsideWithTheirOuterCornersCut) {
  using md::layout::label::RoundedTabs;
  const RingRow rows[] = {
      // Outside whatever the inside flag says; cut 100 along and across.
      {"first bottom tab", In(), 0, {{0, 0}, {0, -100}, {100, -200}, {900, -200}, {1000, -100}, {1000, 0}}},
      {"bottom, flag set", Out(), 0, {{0, 0}, {0, -100}, {100, -200}, {900, -200}, {1000, -100}, {1000, 0}}},
      {"first top tab",
       In(),
       4,
       {{0, 3000}, {0, 3100}, {100, 3200}, {900, 3200}, {1000, 3100}, {1000, 3000}}},
      {"first left tab", In(), 8, {{0, 0}, {-100, 0}, {-200, 100}, {-200, 900}, {-100, 1000}, {0, 1000}}},
      {"first right tab",
       In(),
       11,
       {{4000, 0}, {4100, 0}, {4200, 100}, {4200, 900}, {4100, 1000}, {4000, 1000}}},
      // 201: the cut runs 100 along the side and 101 across it.
      {"odd depth", Deep(201), 0, {{0, 0}, {0, -100}, {100, -201}, {900, -201}, {1000, -100}, {1000, 0}}},
      // 0 and 1: no cut, a plain rectangle whose ring repeats points.
      {"depth 1", Deep(1), 0, {{0, 0}, {0, 0}, {0, -1}, {1000, -1}, {1000, 0}, {1000, 0}}},
      {"depth 0", Deep(0), 0, {{0, 0}, {0, 0}, {0, 0}, {1000, 0}, {1000, 0}, {1000, 0}}},
      // A negative depth lays them inside, the cut points beyond the cell.
      {"negative depth", Deep(-200), 0, {{0, 0}, {0, 100}, {-100, 200}, {1100, 200}, {1000, 100}, {1000, 0}}},
      // A count below 1 gives one tab along the side.
      {"no columns",
       Frame(0, 3, 200, false),
       0,
       {{0, 0}, {0, -100}, {100, -200}, {3900, -200}, {4000, -100}, {4000, 0}}},
  };
  CheckRings(&RoundedTabs, rows);
}

// Outside the frame, no tab of the button and rounded styles enters the
// squares where a column band and a row band would meet.
TEST(TabFigure, ButtonAndRoundedTabsLeaveTheCornerSquaresEmpty) {
  for (auto shape : {&md::layout::label::ButtonTabs, &md::layout::label::RoundedTabs}) {
    const TabFrame f = Out();
    for (const TabRing& ring : shape(f)) {
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
      {"inside: 100 above the bottom edge", In(), LabelSide::Bottom, none, 0, {500, 100}, "A"},
      {"outside: 100 below it", Out(), LabelSide::Bottom, none, 1, {1500, -100}, "B"},
      {"top, inside", In(), LabelSide::Top, none, 3, {3500, 2900}, "D"},
      {"left: row 1 at the bottom", In(), LabelSide::Left, none, 0, {100, 500}, "1"},
      {"right, outside", Out(), LabelSide::Right, none, 2, {4100, 2500}, "3"},
      {"bottom offsets: along, then away", In(), LabelSide::Bottom, offsets, 0, {520, 70}, "A"},
      {"left offsets", In(), LabelSide::Left, offsets, 0, {60, 550}, "1"},
      {"odd depth rounds half away", Deep(201), LabelSide::Bottom, none, 0, {500, 101}, "A"},
  };
  for (const auto& r : rows) {
    const auto d = md::layout::label::SideDesignations(r.frame, r.side, r.offsets, 1);
    ASSERT_LT(r.index, d.size()) << r.what;
    EXPECT_EQ(d[r.index].anchor, r.anchor) << r.what;
    EXPECT_EQ(d[r.index].text, r.text) << r.what;
  }
}

}  // namespace
