// The index grid: defaults, the tab styles it accepts, copies, stored keys,
// its sheet through the grids' seam, its drawing over the frame after the
// border and the tabs, and its conversion into its own compound.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/gis_elementregistry.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/gridsheet.h"
#include "layout/graphicelement/grid/index/cgis_indexgrid.h"
#include "layout/graphicelement/grid/index/indexgridfigure.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/logmark.h"
#include "tests/support/recordeddrawing.h"

namespace {

using md::layout::grid::IndexGridPiece;
using md::test::Journal;
using md::test::LogMark;
using md::test::Owned;
using md::test::Painted;
using md::test::TestLabel;

constexpr COLORREF kLineColour = RGB(200, 0, 0);
constexpr COLORREF kTickColour = RGB(0, 0, 200);

// The grids' test page with an index grid from the grid factory bound to its
// frame, lines and ticks in their own colours.
class IndexGridPage : public md::test::GridPage {
 protected:
  void SetUp() override {
    GridPage::SetUp();
    grid_ = dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX));
    ASSERT_NE(grid_, nullptr);
    grid_->SetMapElement(frame_);
    Owned<IGIS_Symbol> line(md::test::NewSymbol(GIS_SYMBOL_LINE, kLineColour));
    Owned<IGIS_Symbol> tick(md::test::NewSymbol(GIS_SYMBOL_LINE, kTickColour));
    grid_->SetLineSymbol(line.get());
    grid_->SetTickLineSymbol(tick.get());
  }
  void TearDown() override {
    md::layout::InstallElementHooks();
    if (grid_ != nullptr) grid_->Release();
    GridPage::TearDown();
  }
  std::vector<Painted> DrawnOnPrinter(IGIS_Element* element = nullptr) {
    md::test::Printer printer;
    if (element != nullptr) {
      element->OnDraw(printer.hdc, true, printer.display.get());
    } else {
      EXPECT_TRUE(grid_->OnDraw(printer.hdc, true, printer.display.get()));
    }
    return md::test::PaintedOf(printer.canvas);
  }
  std::vector<IndexGridPiece> Figure() {
    md::layout::grid::CGIS_GridCapRecord caps("test");
    return md::layout::grid::LayIndexGrid(grid_, frame_->GetRect(), caps);
  }

  IGIS_IndexGrid* grid_ = nullptr;
};

IGIS_CompoundElement* AsCompound(IGIS_Element* e) { return dynamic_cast<IGIS_CompoundElement*>(e); }

// The counts' and lettering's defaults are pinned by the partial read below.
TEST_F(IndexGridPage, ANewGridHasItsBorderAndTheContinuousTabs) {
  EXPECT_EQ(grid_->GetType(), GIS_MAPGRID_INDEX);
  ASSERT_NE(grid_->GetBorder(), nullptr);
  EXPECT_EQ(grid_->GetBorder()->GetMapGrid(), grid_);
  ASSERT_NE(grid_->GetLabelFormat(), nullptr);
  EXPECT_EQ(grid_->GetLabelFormat()->GetType(), GIS_GRIDLABEL_INDEX_CONTINUOUS);
}

TEST_F(IndexGridPage, OnlyTheFourTabStylesAreKept) {
  Journal journal;
  struct Row {
    int type;
    bool kept;
  };
  const Row rows[] = {{0, false}, {1, false}, {2, false}, {3, false}, {4, true},
                      {5, true},  {6, true},  {7, true},  {8, false}};
  for (const Row& r : rows) {
    Owned<IGIS_GridLabel> label(new TestLabel(&journal, r.type, "tab " + std::to_string(r.type)));
    IGIS_GridLabel* before = grid_->GetLabelFormat();
    LogMark mark;
    grid_->SetLabelFormat(label.get());
    EXPECT_EQ(mark.Count(), 0u) << r.type;
    if (r.kept) {
      auto* held = dynamic_cast<TestLabel*>(grid_->GetLabelFormat());
      ASSERT_NE(held, nullptr) << r.type;
      EXPECT_NE(held, label.get());
      EXPECT_EQ(held->GetType(), r.type);
      EXPECT_EQ(held->grid(), grid_);
    } else {
      EXPECT_EQ(grid_->GetLabelFormat(), before) << r.type;
    }
  }
  IGIS_GridLabel* held = grid_->GetLabelFormat();
  LogMark mark;
  grid_->SetLabelFormat(nullptr);
  EXPECT_EQ(mark.Count(3, "CGIS_IndexGrid::SetLabelFormat", "right == NULL"), 1);
  grid_->SetLabelFormat(held);
  EXPECT_EQ(grid_->GetLabelFormat(), held);
}

TEST_F(IndexGridPage, CopiesAndTheStoredFormKeepTheCountsAndTheLetterSides) {
  grid_->SetColumnCount(9);
  grid_->SetRowCount(-3);
  grid_->SetXYLabelType(false);
  grid_->SetGridlineType(GIS_GRIDLINE_MARKS);
  grid_->SetName("索引");
  const std::vector<BYTE> bytes = md::test::Stored(grid_);
  // A clone stores the same bytes (the values read back below) and keeps the frame.
  Owned<IGIS_MapGrid> clone(grid_->Clone());
  auto* copy = dynamic_cast<IGIS_IndexGrid*>(clone.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(md::test::Stored(copy), bytes);
  EXPECT_EQ(copy->GetMapElement(), frame_);

  const std::vector<std::string> keys = md::test::KeysOf(bytes);
  ASSERT_GE(keys.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 4),
            (std::vector<std::string>{"ColumnCount", "RowCount", "XYLabelType", "ExteriorWidth"}));
  Owned<IGIS_DataBuffer> buffer(md::test::BufferOf(bytes));
  Owned<IGIS_MapGrid> rebuilt(GIS_CreateMapGridPropertyObjectFromBuffer(buffer.get()));
  auto* read = dynamic_cast<IGIS_IndexGrid*>(rebuilt.get());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->GetColumnCount(), 9);
  EXPECT_EQ(read->GetRowCount(), -3);
  EXPECT_FALSE(read->GetXYLabelType());
  EXPECT_EQ(read->GetGridlineType(), GIS_GRIDLINE_MARKS);
  EXPECT_STREQ(read->GetName(), "索引");
  EXPECT_EQ(md::test::Stored(read), bytes);
}

TEST_F(IndexGridPage, ReadingRefusesWhatItCannotRead) {
  LogMark mark;
  EXPECT_FALSE(grid_->Open(nullptr));
  EXPECT_EQ(mark.Count(3, "CGIS_IndexGrid::Open", "pDataBuffer为空"), 1);
  EXPECT_FALSE(grid_->Save(nullptr));
  const std::vector<BYTE> before = md::test::Stored(grid_);
  Owned<IGIS_DataBuffer> junk(md::test::BufferOf({1, 2, 3, 4, 5}));
  EXPECT_FALSE(grid_->Open(junk.get()));
  EXPECT_EQ(mark.Count(3, "CGIS_IndexGrid::Open", "b_ret == NULL"), 1);
  EXPECT_EQ(md::test::Stored(grid_), before);
  // A set without the grid's keys leaves them as they were.
  Owned<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  set->AddProperty("RowCount", "RowCount", GIS_FIELD_TYPE_INT, 1)->SetInt(11);
  Owned<IGIS_DataBuffer> some(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(set->Archive(some.get(), GIS_ARCHIVE_WRITE, 0));
  EXPECT_TRUE(grid_->Open(some.get()));
  EXPECT_EQ(grid_->GetRowCount(), 11);
  EXPECT_EQ(grid_->GetColumnCount(), 6);
  EXPECT_TRUE(grid_->GetXYLabelType());
}

// Counts beyond the cap: a setter cuts them, a reader keeps them as read for
// writing back and uses the cap; each says so once.
TEST_F(IndexGridPage, CountsBeyondTheCapAreCutOrKeptAsReadWithARecord) {
  constexpr int kCap = CGIS_IndexGrid::kMaxCount;
  struct Row {
    bool read;  // through stored bytes, else through the setters
    int value;
    int used;
    const char* record;  // text of the columns' record, "" for none
  };
  const Row rows[] = {{false, kCap, kCap, ""},
                      {false, kCap + 1, kCap, "ColumnCount 21 capped at 20"},
                      {false, std::numeric_limits<int>::max(), kCap, "ColumnCount 2147483647 capped at 20"},
                      {false, -3, -3, ""},
                      {true, 7, 7, ""},
                      {true, 10000, kCap, "ColumnCount 10000 capped at 20"}};
  const std::vector<BYTE> fresh = md::test::Stored(grid_);
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.value) + (r.read ? " read" : " set"));
    Owned<IGIS_MapGrid> made(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX));
    auto* grid = dynamic_cast<IGIS_IndexGrid*>(made.get());
    ASSERT_NE(grid, nullptr);
    const char* method = r.read ? "CGIS_IndexGrid::Open" : "CGIS_IndexGrid::SetColumnCount";
    LogMark mark;
    std::vector<BYTE> stored;
    if (r.read) {
      stored = md::test::Edited(fresh, [&](IGIS_PropertySet* set) {
        set->GetProperty("ColumnCount")->SetInt(r.value);
        set->GetProperty("RowCount")->SetInt(r.value);
      });
      Owned<IGIS_DataBuffer> buffer(md::test::BufferOf(stored));
      ASSERT_TRUE(grid->Open(buffer.get()));
    } else {
      grid->SetColumnCount(r.value);
      grid->SetRowCount(r.value);
    }
    EXPECT_EQ(grid->GetColumnCount(), r.used);
    EXPECT_EQ(grid->GetRowCount(), r.used);
    EXPECT_EQ(mark.Count(), *r.record != '\0' ? 2u : 0u);
    if (*r.record != '\0') {
      EXPECT_TRUE(mark.Has(3, method, r.record));
    }
    // Read counts are written back as read, by the grid and by its clone;
    // setting the count in use changes nothing.
    if (r.read) {
      EXPECT_EQ(md::test::Stored(grid), stored);
      Owned<IGIS_MapGrid> clone(grid->Clone());
      EXPECT_EQ(md::test::Stored(clone.get()), stored);
      grid->SetColumnCount(grid->GetColumnCount());
      EXPECT_EQ(md::test::Stored(grid), stored);
    }
  }
}

TEST_F(IndexGridPage, AStoredHugeCountDrawsTheCappedCells) {
  const std::vector<BYTE> stored = md::test::Edited(md::test::Stored(grid_), [](IGIS_PropertySet* set) {
    set->GetProperty("ColumnCount")->SetInt(10000);
    set->GetProperty("RowCount")->SetInt(10000);
    set->GetProperty("GridlineType")->SetInt(GIS_GRIDLINE_MARKS);
  });
  Owned<IGIS_DataBuffer> buffer(md::test::BufferOf(stored));
  ASSERT_TRUE(grid_->Open(buffer.get()));
  grid_->SetTickVisible(false, false, false, false);
  int marks = 0;
  for (const IndexGridPiece& p : Figure()) marks += p.nCount == 1;
  const int inner = CGIS_IndexGrid::kMaxCount - 1;
  EXPECT_EQ(marks, inner * inner);
}

// ---- The sheet

std::string g_title;

bool CancelAfterEditing(IGIS_MapGrid* pGrid, const char* szTitle) {
  g_title = szTitle;
  auto* grid = dynamic_cast<IGIS_IndexGrid*>(pGrid);
  grid->SetColumnCount(2);
  grid->SetXYLabelType(false);
  grid->SetGridlineType(GIS_GRIDLINE_NONE);
  grid->SetTickLength(-5.0);
  return false;
}
bool ConfirmAfterEditing(IGIS_MapGrid* pGrid, const char* szTitle) {
  CancelAfterEditing(pGrid, szTitle);
  return true;
}

class IndexGridSheet : public IndexGridPage {
 protected:
  void TearDown() override {
    md::layout::grid::SetGridSheetRunner(GIS_MAPGRID_INDEX, previous_);
    IndexGridPage::TearDown();
  }
  md::layout::grid::GridSheetRunner previous_ = md::layout::grid::GetGridSheetRunner(GIS_MAPGRID_INDEX);
};

TEST_F(IndexGridSheet, CancelLeavesTheStoredFormAsItWasAndOkKeepsTheEdits) {
  const std::vector<BYTE> before = md::test::Stored(grid_);
  md::layout::grid::SetGridSheetRunner(GIS_MAPGRID_INDEX, nullptr);
  EXPECT_FALSE(grid_->OnOpenPropertyDlg());  // no sheet yet: not confirmed
  EXPECT_EQ(md::test::Stored(grid_), before);

  md::layout::grid::SetGridSheetRunner(GIS_MAPGRID_INDEX, &CancelAfterEditing);
  EXPECT_FALSE(grid_->OnOpenPropertyDlg());
  EXPECT_EQ(g_title, "索引格网属性");
  EXPECT_EQ(md::test::Stored(grid_), before);
  EXPECT_EQ(grid_->GetMapElement(), frame_);

  md::layout::grid::SetGridSheetRunner(GIS_MAPGRID_INDEX, &ConfirmAfterEditing);
  EXPECT_TRUE(grid_->OnOpenPropertyDlg());
  EXPECT_EQ(grid_->GetColumnCount(), 2);
  EXPECT_FALSE(grid_->GetXYLabelType());
  EXPECT_EQ(grid_->GetGridlineType(), GIS_GRIDLINE_NONE);
}

// ---- Drawing

// The border and the tabs lie under the grid's own lines.
TEST_F(IndexGridPage, TheBorderAndTheTabsComeFirst) {
  Journal journal;
  Owned<IGIS_GridLabel> tabs(new TestLabel(&journal, GIS_GRIDLABEL_INDEX_ROUNDED, "tabs"));
  grid_->SetLabelFormat(tabs.get());
  IGIS_MapGridBorder* border = grid_->GetBorder();
  border->SetBorderType(GIS_GRIDBORDER_CALIBRATED);
  const std::vector<Painted> drawn = DrawnOnPrinter();
  EXPECT_EQ(journal.events, std::vector<std::string>{"draw label tabs"});
  ASSERT_FALSE(drawn.empty());
  // The band's bars (filled, outlined) first, then the lines and ticks.
  ASSERT_TRUE(drawn.front().fill);
  std::size_t lastFill = 0;
  for (std::size_t i = 0; i < drawn.size(); ++i)
    if (drawn[i].fill) lastFill = i;
  const std::size_t own = Figure().size();
  ASSERT_GT(drawn.size(), own);
  EXPECT_LT(lastFill, drawn.size() - own);
  for (std::size_t i = drawn.size() - own; i < drawn.size(); ++i) {
    EXPECT_TRUE(drawn[i].color == kLineColour || drawn[i].color == kTickColour) << i;
  }
}

TEST_F(IndexGridPage, WithoutAFrameNothingIsDrawnOrConverted) {
  grid_->SetMapElement(nullptr);
  md::test::Printer printer;
  LogMark mark;
  EXPECT_FALSE(grid_->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_EQ(mark.Count(3, "CGIS_IndexGrid::OnDraw", "m_pMapElement == NULL"), 1);
  EXPECT_TRUE(printer.canvas.records().empty());
  EXPECT_EQ(grid_->ConvertToElement(), nullptr);
  EXPECT_EQ(mark.Count(3, "CGIS_IndexGrid::ConvertToElement", "p_element == NULL"), 1);
}

// ---- Conversion

// The grid's own compound comes last in the base compound and holds, in the
// drawing's order and at its page points, the lines (or marks) and ticks.
TEST_F(IndexGridPage, TheOwnCompoundHoldsTheFiguresPiecesAfterTheBorder) {
  struct Row {
    int lineType;
    bool ticks;
    const char* first;  // type of the own compound's first element
    int count;
  };
  const Row rows[] = {{GIS_GRIDLINE_LINES, true, GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, 14 + 28},
                      {GIS_GRIDLINE_MARKS, true, GIS_TYPE_GRAPHIC_ELEMENT_POINT, 25 + 28},
                      {GIS_GRIDLINE_NONE, false, nullptr, 0}};
  for (const Row& r : rows) {
    grid_->SetGridlineType(r.lineType);
    grid_->SetTickVisible(r.ticks, r.ticks, r.ticks, r.ticks);
    IGIS_Element* converted = grid_->ConvertToElement();
    IGIS_CompoundElement* base = AsCompound(converted);
    ASSERT_NE(base, nullptr);
    ASSERT_EQ(base->GetElementCount(), 3);  // the border's compound, the tabs', the grid's own
    IGIS_CompoundElement* own = AsCompound(base->GetElementPtrByIndex(2));
    ASSERT_NE(own, nullptr);
    ASSERT_EQ(own->GetElementCount(), r.count);
    const std::vector<IndexGridPiece> figure = Figure();
    ASSERT_EQ(figure.size(), static_cast<std::size_t>(r.count));
    for (int i = 0; i < r.count; ++i) {
      IGIS_Element* e = own->GetElementPtrByIndex(i);
      const IndexGridPiece& f = figure[static_cast<std::size_t>(i)];
      EXPECT_STREQ(e->GetType(),
                   f.nCount == 2 ? GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE : GIS_TYPE_GRAPHIC_ELEMENT_POINT);
      if (f.nCount == 2) {
        SGIS_Rect bound(f.points[0].x, f.points[0].y, f.points[1].x, f.points[1].y);
        bound.Normalize();
        EXPECT_EQ(e->GetRect(), bound) << i;
      } else {
        EXPECT_EQ(e->GetRect().CenterPoint(), f.points[0]) << i;
      }
    }
    if (r.first != nullptr) {
      EXPECT_STREQ(own->GetElementPtrByIndex(0)->GetType(), r.first);
    }
    DropCompound(base);
  }
}

// Drawn again, the converted grid shows what the grid drew.
TEST_F(IndexGridPage, TheConvertedGridDrawsLikeTheGrid) {
  grid_->GetBorder()->SetBorderType(GIS_GRIDBORDER_CALIBRATED);
  grid_->GetBorder()->SetAlternating(true);
  for (int lineType : {GIS_GRIDLINE_LINES, GIS_GRIDLINE_MARKS}) {
    grid_->SetGridlineType(lineType);
    const std::vector<Painted> drawn = DrawnOnPrinter();
    IGIS_Element* converted = grid_->ConvertToElement();
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(DrawnOnPrinter(converted), drawn) << lineType;
    DropCompound(AsCompound(converted));
  }
}

// When the page makes no compound for the grid's own pieces, the base
// compound (border and tabs) is the result and nothing else is left behind.
int g_compounds = 0;
int g_failAt = 0;
IGIS_Element* CountingCreate(const char* szType, IGIS_FeatureSet* pOwner) {
  if (std::string(szType) == GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND && ++g_compounds == g_failAt) return nullptr;
  return CGIS_ElementFactory::Create(szType, pOwner, nullptr);
}
void ReleaseElement(IGIS_Element* e) { e->Release(); }
int IdOf(IGIS_Element* e) { return e->GetID(); }

TEST_F(IndexGridPage, WithoutItsOwnCompoundTheBaseCompoundIsTheResult) {
  const int before = set_->GetFeatureCount();
  SGIS_ElementHooks hooks{&CountingCreate, &ReleaseElement, &IdOf, nullptr, nullptr};
  GIS_SetElementHooks(&hooks);
  g_compounds = 0;
  g_failAt = 5;  // the base compound, the border's, the tabs', their texts', then the grid's own
  IGIS_Element* converted = grid_->ConvertToElement();
  IGIS_CompoundElement* base = AsCompound(converted);
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->GetElementCount(), 2);
  DropCompound(base);
  EXPECT_EQ(set_->GetFeatureCount(), before);
}

}  // namespace
