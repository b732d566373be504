// The grid base: defaults, setter rules, copies and the drawing and
// conversion preludes.
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/display/cgis_printdisplay.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::Journal;
using md::test::Owned;
using md::test::TestKindGrid;
using Values = md::layout::grid::MapGridValues;

struct Sides {
  bool left, top, right, bottom;
  bool operator==(const Sides&) const = default;
};

TEST(MapGridBase, ANewGridHasTheDefaults) {
  Owned<TestKindGrid> grid(new TestKindGrid());
  for (int f = 0; f < Values::kFlagCount; ++f) EXPECT_TRUE(grid->GetFlag(static_cast<Values::Flag>(f))) << f;
  EXPECT_EQ(grid->GetSubTickCount(), 2);
  EXPECT_EQ(grid->GetSubTickLength(), 100.0);
  EXPECT_EQ(grid->GetTickLength(), 200.0);
  EXPECT_EQ(grid->GetExteriorWidth(), 200.0);
  EXPECT_EQ(grid->GetGridlineType(), GIS_GRIDLINE_LINES);
  EXPECT_EQ(grid->GetTickDivision(), 1);
  EXPECT_STREQ(grid->GetName(), "格网");
  EXPECT_EQ(grid->GetLabelFormat(), nullptr);
  EXPECT_EQ(grid->GetMapElement(), nullptr);
  ASSERT_NE(grid->GetBorder(), nullptr);
  EXPECT_EQ(grid->GetBorder()->GetMapGrid(), grid.get());
  // Three lines of style 3331, each the grid's own object, and a mark of 3303.
  IGIS_Symbol* lines[] = {grid->GetLineSymbol(), grid->GetTickLineSymbol(), grid->GetSubTickLineSymbol()};
  for (IGIS_Symbol* s : lines) {
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetType(), GIS_SYMBOL_LINE);
    EXPECT_EQ(s->GetStyleCode(), 3331);
  }
  EXPECT_NE(lines[0], lines[1]);
  EXPECT_NE(lines[1], lines[2]);
  ASSERT_NE(grid->GetMarkSymbol(), nullptr);
  EXPECT_EQ(grid->GetMarkSymbol()->GetType(), GIS_SYMBOL_POINT);
  EXPECT_EQ(grid->GetMarkSymbol()->GetStyleCode(), 3303);
}

TEST(MapGridBase, SettersKeepTheirRanges) {
  struct Row {
    const char* what;
    void (*set)(IGIS_MapGrid*, double);
    double (*get)(IGIS_MapGrid*);
    double value;
    double expected;
  };
  auto setLine = [](IGIS_MapGrid* g, double v) { g->SetGridlineType(static_cast<int>(v)); };
  auto getLine = [](IGIS_MapGrid* g) { return static_cast<double>(g->GetGridlineType()); };
  auto setDiv = [](IGIS_MapGrid* g, double v) { g->SetTickDivision(static_cast<int>(v)); };
  auto getDiv = [](IGIS_MapGrid* g) { return static_cast<double>(g->GetTickDivision()); };
  auto setCount = [](IGIS_MapGrid* g, double v) { g->SetSubTickCount(static_cast<int>(v)); };
  auto getCount = [](IGIS_MapGrid* g) { return static_cast<double>(g->GetSubTickCount()); };
  auto setSub = [](IGIS_MapGrid* g, double v) { g->SetSubTickLength(v); };
  auto getSub = [](IGIS_MapGrid* g) { return g->GetSubTickLength(); };
  auto setTick = [](IGIS_MapGrid* g, double v) { g->SetTickLength(v); };
  auto getTick = [](IGIS_MapGrid* g) { return g->GetTickLength(); };
  const Row rows[] = {
      {"line kind 3", setLine, getLine, 3, 1},        {"line kind -1", setLine, getLine, -1, 1},
      {"line kind 0", setLine, getLine, 0, 0},        {"line kind 2", setLine, getLine, 2, 2},
      {"division 0", setDiv, getDiv, 0, 1},           {"division -3", setDiv, getDiv, -3, 1},
      {"division 6", setDiv, getDiv, 6, 6},           {"sub-tick count -4", setCount, getCount, -4, -4},
      {"sub-tick count 0", setCount, getCount, 0, 0}, {"sub-tick length -1.5", setSub, getSub, -1.5, -1.5},
      {"tick length 0", setTick, getTick, 0, 0},      {"tick length -20", setTick, getTick, -20, -20},
  };
  for (const Row& r : rows) {
    Owned<TestKindGrid> grid(new TestKindGrid());
    md::test::LogMark mark;
    r.set(grid.get(), r.value);
    EXPECT_EQ(r.get(grid.get()), r.expected) << r.what;
    EXPECT_EQ(mark.Count(), 0u) << r.what;
  }
}

TEST(MapGridBase, SideSwitchesGoInTheOrderLeftTopRightBottom) {
  struct Row {
    void (IGIS_MapGrid::*set)(bool, bool, bool, bool);
    void (IGIS_MapGrid::*get)(bool*, bool*, bool*, bool*);
    Values::Flag left;
  };
  const Row rows[] = {
      {&IGIS_MapGrid::SetLabelVisible, &IGIS_MapGrid::GetLabelVisible, Values::kLeftLabel},
      {&IGIS_MapGrid::SetTickVisible, &IGIS_MapGrid::GetTickVisible, Values::kLeftTick},
      {&IGIS_MapGrid::SetSubTickVisible, &IGIS_MapGrid::GetSubTickVisible, Values::kLeftSubTick},
  };
  for (const Row& r : rows) {
    Owned<TestKindGrid> grid(new TestKindGrid());
    (grid.get()->*r.set)(false, true, true, true);
    Sides s{};
    (grid.get()->*r.get)(&s.left, &s.top, &s.right, &s.bottom);
    EXPECT_EQ(s, (Sides{false, true, true, true}));
    EXPECT_FALSE(grid->GetFlag(r.left));
    (grid.get()->*r.set)(true, false, true, false);
    (grid.get()->*r.get)(&s.left, &s.top, &s.right, &s.bottom);
    EXPECT_EQ(s, (Sides{true, false, true, false}));
    // The carried sub-label switches never change through the setters.
    for (Values::Flag f : {Values::kTopSubLabel, Values::kLeftSubLabel, Values::kRightSubLabel,
                           Values::kBottomSubLabel, Values::kVisible}) {
      EXPECT_TRUE(grid->GetFlag(f));
    }
  }
}

TEST(MapGridBase, NamesAreCutAtAWholeCharacterWithin999Bytes) {
  const std::string cjk = "格";  // three bytes
  struct Row {
    const char* what;
    std::string name;
    std::string expected;
  };
  const Row rows[] = {
      {"1500 bytes", std::string(1500, 'n'), std::string(999, 'n')},
      {"999 bytes", std::string(999, 'n'), std::string(999, 'n')},
      {"ending mid-character", std::string(998, 'n') + cjk, std::string(998, 'n')},
      {"whole characters", std::string(996, 'n') + cjk, std::string(996, 'n') + cjk},
      {"short", "经纬网 A", "经纬网 A"},
  };
  for (const Row& r : rows) {
    Owned<TestKindGrid> grid(new TestKindGrid());
    grid->SetName(r.name.c_str());
    EXPECT_EQ(std::string(grid->GetName()), r.expected) << r.what;
    // The stored name is cut the same way when it is read.
    Owned<IGIS_PropertySet> set(md::test::SetOf(md::test::Stored(grid.get())));
    set->GetProperty("szName")->SetString(r.name.c_str());
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
    set->Archive(b, GIS_ARCHIVE_WRITE, 0);
    Owned<TestKindGrid> read(new TestKindGrid());
    read->Open(b);
    b->Release();
    EXPECT_EQ(std::string(read->GetName()), r.expected) << r.what;
  }
  Owned<TestKindGrid> grid(new TestKindGrid());
  md::test::LogMark mark;
  grid->SetName(nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "IGIS_MapGrid::SetName", "szName为NULL"));
  EXPECT_STREQ(grid->GetName(), "格网");
}

TEST(MapGridBase, SymbolSettersKeepCopiesAndNullRemovesWithARecord) {
  struct Row {
    const char* method;
    int type;
    IGIS_Symbol* (IGIS_MapGrid::*get)();
    void (IGIS_MapGrid::*set)(IGIS_Symbol*);
  };
  const Row rows[] = {
      {"IGIS_MapGrid::SetLineSymbol", GIS_SYMBOL_LINE, &IGIS_MapGrid::GetLineSymbol,
       &IGIS_MapGrid::SetLineSymbol},
      {"IGIS_MapGrid::SetSubTickLineSymbol", GIS_SYMBOL_LINE, &IGIS_MapGrid::GetSubTickLineSymbol,
       &IGIS_MapGrid::SetSubTickLineSymbol},
      {"IGIS_MapGrid::SetTickLineSymbol", GIS_SYMBOL_LINE, &IGIS_MapGrid::GetTickLineSymbol,
       &IGIS_MapGrid::SetTickLineSymbol},
      {"IGIS_MapGrid::SetMarkSymbol", GIS_SYMBOL_POINT, &IGIS_MapGrid::GetMarkSymbol,
       &IGIS_MapGrid::SetMarkSymbol},
  };
  for (const Row& r : rows) {
    Owned<TestKindGrid> grid(new TestKindGrid());
    Owned<IGIS_Symbol> mine(md::test::NewSymbol(r.type, RGB(200, 0, 0)));
    (grid.get()->*r.set)(mine.get());
    IGIS_Symbol* held = (grid.get()->*r.get)();
    ASSERT_NE(held, nullptr) << r.method;
    EXPECT_NE(held, mine.get()) << r.method;
    mine->SetColor(RGB(0, 0, 200));
    EXPECT_EQ(held->GetColor(), RGB(200, 0, 0)) << r.method;
    // The held object itself changes nothing.
    (grid.get()->*r.set)(held);
    EXPECT_EQ((grid.get()->*r.get)(), held) << r.method;
    md::test::LogMark mark;
    (grid.get()->*r.set)(nullptr);
    EXPECT_EQ((grid.get()->*r.get)(), nullptr) << r.method;
    EXPECT_EQ(mark.Count(), 1u) << r.method;
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, r.method, "right == NULL")) << r.method;
  }
}

TEST(MapGridBase, SetBorderKeepsACopyBoundToThisGrid) {
  Journal j;
  Owned<TestKindGrid> grid(new TestKindGrid());
  Owned<TestKindGrid> other(new TestKindGrid());
  IGIS_MapGridBorder* foreign = other->GetBorder();
  ASSERT_EQ(foreign->GetMapGrid(), other.get());
  grid->SetBorder(foreign);
  IGIS_MapGridBorder* held = grid->GetBorder();
  ASSERT_NE(held, nullptr);
  EXPECT_NE(held, foreign);
  EXPECT_EQ(held->GetMapGrid(), grid.get());
  EXPECT_EQ(foreign->GetMapGrid(), other.get());
  grid->SetBorder(held);
  EXPECT_EQ(grid->GetBorder(), held);
  md::test::LogMark mark;
  grid->SetBorder(nullptr);
  EXPECT_EQ(grid->GetBorder(), nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_GRID, "IGIS_MapGrid::SetBorder", "right == NULL"));
}

TEST(MapGridBase, SetLabelFormatKeepsACopyOfAnAcceptedLabelBoundToTheGrid) {
  Journal j;
  Owned<TestKindGrid> grid(new TestKindGrid());
  Owned<md::test::TestLabel> dms(new md::test::TestLabel(&j, GIS_GRIDLABEL_DMS, "dms"));
  Owned<md::test::TestLabel> tab(new md::test::TestLabel(&j, GIS_GRIDLABEL_INDEX_ROUNDED, "tab"));
  md::test::LogMark mark;
  grid->SetLabelFormat(tab.get());
  EXPECT_EQ(grid->GetLabelFormat(), nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "TestKindGrid::SetLabelFormat", " == NULL"));
  grid->SetLabelFormat(dms.get());
  auto* held = static_cast<md::test::TestLabel*>(grid->GetLabelFormat());
  ASSERT_NE(held, nullptr);
  EXPECT_NE(held, dms.get());
  EXPECT_EQ(held->text(), "dms");
  EXPECT_EQ(held->grid(), grid.get());
  EXPECT_EQ(dms->grid(), nullptr);
  grid->SetLabelFormat(nullptr);
  EXPECT_EQ(grid->GetLabelFormat(), held);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "TestKindGrid::SetLabelFormat", "right == NULL"));
}

class MapGridPreludes : public md::test::GridPage {};

TEST_F(MapGridPreludes, CopyFromTakesTheCommonStateAndCopiesOfTheObjects) {
  Journal j;
  Owned<TestKindGrid> source(new TestKindGrid());
  source->SetGridlineType(GIS_GRIDLINE_MARKS);
  source->SetTickDivision(5);
  source->SetName("方里网");
  source->SetTickVisible(false, true, false, true);
  source->SetSubTickCount(7);
  source->SetMapElement(frame_);
  Owned<IGIS_Symbol> mark(md::test::NewSymbol(GIS_SYMBOL_POINT, RGB(0, 150, 0)));
  source->SetMarkSymbol(mark.get());
  Owned<TestKindGrid> copy(new TestKindGrid());
  EXPECT_EQ(copy->CopyFrom(source.get()), copy.get());
  EXPECT_EQ(copy->GetGridlineType(), GIS_GRIDLINE_MARKS);
  EXPECT_EQ(copy->GetTickDivision(), 5);
  EXPECT_EQ(copy->GetMapElement(), frame_);
  ASSERT_NE(copy->GetMarkSymbol(), nullptr);
  EXPECT_NE(copy->GetMarkSymbol(), source->GetMarkSymbol());
  EXPECT_EQ(copy->GetMarkSymbol()->GetColor(), RGB(0, 150, 0));
  EXPECT_NE(copy->GetBorder(), source->GetBorder());
  EXPECT_EQ(copy->GetBorder()->GetMapGrid(), copy.get());
  // Everything stored is the same, the carried values too.
  EXPECT_EQ(md::test::Stored(copy.get()), md::test::Stored(source.get()));
  // The label goes through the kind's own rule: a copy bound to the copy.
  Owned<md::test::TestLabel> dms(new md::test::TestLabel(&j, GIS_GRIDLABEL_DMS, "dms"));
  source->SetLabelFormat(dms.get());
  copy->CopyFrom(source.get());
  ASSERT_NE(copy->GetLabelFormat(), nullptr);
  EXPECT_EQ(static_cast<md::test::TestLabel*>(copy->GetLabelFormat())->grid(), copy.get());
}

TEST_F(MapGridPreludes, DrawingRunsTheBorderThenTheLabel) {
  for (bool withParts : {false, true}) {
    Journal j;
    Owned<TestKindGrid> grid(new TestKindGrid());
    if (withParts) {
      Owned<md::test::TestBorder> border(new md::test::TestBorder(&j, "b"));
      Owned<md::test::TestLabel> label(new md::test::TestLabel(&j, GIS_GRIDLABEL_DMS, "l"));
      grid->SetBorder(border.get());
      grid->SetLabelFormat(label.get());
    } else {
      grid->SetBorder(nullptr);
    }
    EXPECT_TRUE(grid->OnDraw(nullptr, true, nullptr));
    const std::vector<std::string> expected =
        withParts ? std::vector<std::string>{"draw border b", "draw label l"} : std::vector<std::string>{};
    EXPECT_EQ(j.events, expected);
  }
}

TEST_F(MapGridPreludes, TheGridsOwnBorderDrawsAndConvertsRoundItsFrame) {
  for (int type : {GIS_GRIDBORDER_SIMPLE, GIS_GRIDBORDER_CALIBRATED}) {
    Owned<TestKindGrid> grid(new TestKindGrid());
    grid->SetMapElement(frame_);
    grid->GetBorder()->SetBorderType(type);
    md::canvas::RecordingCanvas canvas(800, 600);
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = 100;
    setup.paperWidthMm = 200.0;
    setup.paperHeightMm = 150.0;
    HDC hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
    {
      CGIS_PrintDisplay display(hdc, 20000, 15000, SGIS_Point(-5000, 10000));
      display.PrepareDC();
      EXPECT_TRUE(grid->OnDraw(hdc, true, &display));
    }
    DeleteDC(hdc);
    EXPECT_FALSE(canvas.records().empty()) << type;
    IGIS_Element* converted = grid->ConvertToElement();
    auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
    ASSERT_NE(compound, nullptr);
    // The border's own compound is the one member.
    ASSERT_EQ(compound->GetElementCount(), 1) << type;
    auto* band = dynamic_cast<IGIS_CompoundElement*>(compound->GetElementPtrByIndex(0));
    ASSERT_NE(band, nullptr);
    EXPECT_GE(band->GetElementCount(), type == GIS_GRIDBORDER_SIMPLE ? 1 : 4) << type;
  }
}

TEST_F(MapGridPreludes, ConversionMakesACompoundOfTheLabelsAndTheBordersElements) {
  struct Row {
    const char* what;
    bool frame;
    bool parts;
    bool partsConvert;
    bool expectCompound;
    int members;
  };
  const Row rows[] = {
      {"no frame", false, true, true, false, 0},
      {"no label, no border", true, false, false, true, 0},
      {"parts that convert to nothing", true, true, false, true, 0},
      {"parts that convert", true, true, true, true, 2},
  };
  for (const Row& r : rows) {
    Journal j;
    Owned<TestKindGrid> grid(new TestKindGrid());
    grid->SetBorder(nullptr);
    if (r.parts) {
      IGIS_FeatureSet* converts = r.partsConvert ? set_ : nullptr;
      Owned<md::test::TestBorder> border(new md::test::TestBorder(&j, "b", converts));
      Owned<md::test::TestLabel> label(new md::test::TestLabel(&j, GIS_GRIDLABEL_DMS, "l", converts));
      grid->SetBorder(border.get());
      grid->SetLabelFormat(label.get());
    }
    if (r.frame) grid->SetMapElement(frame_);
    IGIS_Element* converted = grid->ConvertToElement();
    auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
    EXPECT_EQ(compound != nullptr, r.expectCompound) << r.what;
    if (compound == nullptr) continue;
    EXPECT_EQ(compound->GetFeatureSetPtr(), set_) << r.what;
    EXPECT_EQ(compound->GetElementCount(), r.members) << r.what;
    if (r.parts) {
      // In the order they are drawn: the label over the border.
      EXPECT_EQ(j.events, (std::vector<std::string>{"convert border b", "convert label l"})) << r.what;
    }
    set_->DeleteElement(converted);
  }
}

}  // namespace
