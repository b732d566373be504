// What an index grid lays over its frame: cell lines or inner corner marks,
// then the outward ticks of each side (one table of worked examples and edge
// cases), and the caps on stored counts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/index/indexgridfigure.h"
#include "tests/layout/graphicelement/grid/label/tabtest.h"
#include "tests/support/logmark.h"

namespace {

using md::layout::grid::IndexGridPiece;

IGIS_Symbol* const kLine = reinterpret_cast<IGIS_Symbol*>(0x1000);
IGIS_Symbol* const kMark = reinterpret_cast<IGIS_Symbol*>(0x2000);
IGIS_Symbol* const kTick = reinterpret_cast<IGIS_Symbol*>(0x3000);

// The tab tests' index grid double, its symbols told apart by address.
md::test::IndexGridDouble* NewIndexDouble() {
  auto* grid = new md::test::IndexGridDouble();
  grid->SetLineSymbol(kLine);
  grid->SetMarkSymbol(kMark);
  grid->SetTickLineSymbol(kTick);
  return grid;
}

// A piece as text: H<y> and V<x> for cell lines across the frame, M<x>,<y>
// for a mark, B/T<x>><end> and L/R<y>><end> for the ticks of a side.
std::string Describe(const IndexGridPiece& p, const SGIS_Rect& r) {
  const SGIS_Point a = p.points[0], b = p.points[1];
  if (p.nCount == 1) return "M" + std::to_string(a.x) + "," + std::to_string(a.y);
  if (a.y == b.y && a.x == r.left && b.x == r.right) return "H" + std::to_string(a.y);
  if (a.x == b.x && a.y == r.bottom && b.y == r.top) return "V" + std::to_string(a.x);
  if (a.x == b.x) return (a.y == r.bottom ? "B" : "T") + std::to_string(a.x) + ">" + std::to_string(b.y);
  return (a.x == r.left ? "L" : "R") + std::to_string(a.y) + ">" + std::to_string(b.x);
}

// The texts of n pieces of one kind at from, from + step, ..., each with
// the suffix.
std::string Run(char kind, int from, int step, int n, const std::string& suffix = "") {
  std::string s;
  for (int i = 0; i < n; ++i)
    s += std::string(s.empty() ? "" : " ") + kind + std::to_string(from + i * step) + suffix;
  return s;
}
std::string Join(std::initializer_list<std::string> parts) {
  std::string s;
  for (const std::string& p : parts) {
    if (p.empty()) continue;
    s += (s.empty() ? "" : " ") + p;
  }
  return s;
}

struct FigureRow {
  const char* name;
  SGIS_Rect frame;  // left, top, right, bottom
  int columns, rows, lineType;
  bool ticks;  // all four sides, else none
  double tickLength;
  std::string expected;
};
void PrintTo(const FigureRow& row, std::ostream* os) { *os << row.name; }

class IndexFigure : public ::testing::TestWithParam<FigureRow> {};

TEST_P(IndexFigure, LaysLinesMarksAndTicksInDrawingOrder) {
  const FigureRow& row = GetParam();
  md::test::IndexGridDouble* grid = NewIndexDouble();
  grid->SetColumnCount(row.columns);
  grid->SetRowCount(row.rows);
  grid->SetGridlineType(row.lineType);
  grid->SetTickVisible(row.ticks, row.ticks, row.ticks, row.ticks);
  grid->SetTickLength(row.tickLength);
  md::layout::grid::CGIS_GridCapRecord caps("test");
  const std::vector<IndexGridPiece> pieces = md::layout::grid::LayIndexGrid(grid, row.frame, caps);
  std::string text;
  for (const IndexGridPiece& p : pieces) {
    text += (text.empty() ? "" : " ") + Describe(p, row.frame);
    // Lines take the line symbol, marks the mark symbol, ticks the tick symbol.
    const std::string d = Describe(p, row.frame);
    IGIS_Symbol* expected = d[0] == 'H' || d[0] == 'V' ? kLine : d[0] == 'M' ? kMark : kTick;
    EXPECT_EQ(p.pSymbol, expected) << d;
  }
  EXPECT_EQ(text, row.expected);
  EXPECT_FALSE(caps.Capped());
  grid->Release();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IndexFigure,
    ::testing::Values(
        // The defaults on a 6000 x 3000 frame: rows, then columns, then the
        // ticks of the bottom, top, left and right sides, 200 long.
        FigureRow{"Default6x6", SGIS_Rect(0, 3000, 6000, 0), 6, 6, GIS_GRIDLINE_LINES, true, 200.0,
                  Join({Run('H', 0, 500, 7), Run('V', 0, 1000, 7), Run('B', 0, 1000, 7, ">-200"),
                        Run('T', 0, 1000, 7, ">3200"), Run('L', 0, 500, 7, ">-200"),
                        Run('R', 0, 500, 7, ">6200")})},
        // Marks at the 25 inner corners, row by row; none on the edges.
        FigureRow{"Marks6x6", SGIS_Rect(0, 3000, 6000, 0), 6, 6, GIS_GRIDLINE_MARKS, false, 200.0,
                  Join({Run('M', 1000, 1000, 5, ",500"), Run('M', 1000, 1000, 5, ",1000"),
                        Run('M', 1000, 1000, 5, ",1500"), Run('M', 1000, 1000, 5, ",2000"),
                        Run('M', 1000, 1000, 5, ",2500")})},
        // Thirds of 1000 round half away from zero.
        FigureRow{"Columns3", SGIS_Rect(0, 1000, 1000, 0), 3, 1, GIS_GRIDLINE_LINES, false, 200.0,
                  "H0 H1000 V0 V333 V667 V1000"},
        // -666.5 rounds to -667.
        FigureRow{"NegativeLeft", SGIS_Rect(-1000, 1000, -333, 0), 2, 1, GIS_GRIDLINE_LINES, false, 200.0,
                  "H0 H1000 V-1000 V-667 V-333"},
        // No columns: one cell as wide as the frame and one line at its left
        // edge; rows of -1: no row line and no left or right tick.
        FigureRow{"NoColumnsNegativeRows", SGIS_Rect(0, 1000, 1000, 0), 0, -1, GIS_GRIDLINE_LINES, true,
                  200.0, "V0 B0>-200 T0>1200"},
        FigureRow{"TicksOnly", SGIS_Rect(0, 1000, 1000, 0), 2, 2, GIS_GRIDLINE_NONE, true, 200.0,
                  Join({Run('B', 0, 500, 3, ">-200"), Run('T', 0, 500, 3, ">1200"),
                        Run('L', 0, 500, 3, ">-200"), Run('R', 0, 500, 3, ">1200")})},
        // Tick ends round half away from zero too.
        FigureRow{"HalfUnitTicks", SGIS_Rect(0, 1000, 1000, 0), 1, 1, GIS_GRIDLINE_NONE, true, 200.5,
                  "B0>-201 B1000>-201 T0>1201 T1000>1201 L0>-201 L1000>-201 R0>1201 R1000>1201"},
        // A tick length that is not a number lays no ticks.
        FigureRow{"NotANumberTicks", SGIS_Rect(0, 1000, 1000, 0), 1, 1, GIS_GRIDLINE_LINES, true,
                  std::numeric_limits<double>::quiet_NaN(), "H0 H1000 V0 V1000"}),
    [](const auto& info) { return std::string(info.param.name); });

// Stored counts far beyond what a frame can show are cut to the grid caps,
// with one record for the whole drawing.
TEST(IndexFigureCaps, HugeCountsAreCutWithOneRecord) {
  md::test::IndexGridDouble* grid = NewIndexDouble();
  grid->SetColumnCount(std::numeric_limits<int>::max());
  grid->SetRowCount(std::numeric_limits<int>::max());
  md::test::LogMark mark;
  md::layout::grid::CGIS_GridCapRecord caps("CGIS_IndexGrid::OnDraw");
  const std::vector<IndexGridPiece> lines =
      md::layout::grid::LayIndexGrid(grid, SGIS_Rect(0, 1000, 1000, 0), caps);
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(2 * md::layout::grid::kMaxGridLines +
                                                   4 * md::layout::grid::kMaxGridTicks));
  EXPECT_TRUE(caps.Capped());
  grid->SetGridlineType(GIS_GRIDLINE_MARKS);
  grid->SetTickVisible(false, false, false, false);
  const std::vector<IndexGridPiece> marks =
      md::layout::grid::LayIndexGrid(grid, SGIS_Rect(0, 1000, 1000, 0), caps);
  EXPECT_EQ(marks.size(), static_cast<std::size_t>(md::layout::grid::kMaxGridMarks));
  EXPECT_EQ(mark.Count(), 1u);
  EXPECT_TRUE(mark.Has(3, "CGIS_IndexGrid::OnDraw", "lines capped at 10000"));
  grid->Release();
}

}  // namespace
