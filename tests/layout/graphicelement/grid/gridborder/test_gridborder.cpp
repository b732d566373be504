// The grid border: defaults, the interval's minimum, the symbol setters,
// copies and the stored form with its inverted flags.
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/grid/gridborder/cgis_mapgridborder.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::Owned;
using md::test::TestKindGrid;

struct Values {
  bool alternating;
  int width, interval, type;
  bool operator==(const Values&) const = default;
};

Values Of(IGIS_MapGridBorder* b) {
  return {b->GetAlternating(), b->GetBorderWidth(), b->GetInterval(), b->GetBorderType()};
}

bool FlagOf(const std::vector<BYTE>& bytes, const char* key) {
  Owned<IGIS_PropertySet> set(md::test::SetOf(bytes));
  return set->GetProperty(key)->GetBool();
}

TEST(GridBorder, ANewBorderHasTheDefaults) {
  Owned<CGIS_MapGridBorder> b(new CGIS_MapGridBorder());
  EXPECT_EQ(Of(b.get()), (Values{false, 200, 1000, GIS_GRIDBORDER_SIMPLE}));
  EXPECT_EQ(b->GetMapGrid(), nullptr);
  struct Row {
    IGIS_Symbol* symbol;
    int type;
    int style;
  };
  const Row rows[] = {{b->GetBackgroundSymbol(), GIS_SYMBOL_FILL, 3361},
                      {b->GetForegroundSymbol(), GIS_SYMBOL_FILL, 3362},
                      {b->GetSimpleSymbol(), GIS_SYMBOL_LINE, 3332}};
  for (const Row& r : rows) {
    ASSERT_NE(r.symbol, nullptr);
    EXPECT_EQ(r.symbol->GetType(), r.type);
    EXPECT_EQ(r.symbol->GetStyleCode(), r.style);
  }
}

TEST(GridBorder, TheIntervalSetterKeepsAtLeast20AndTheNameFollowsTheType) {
  const int intervals[][2] = {{19, 20}, {-5, 20}, {20, 20}, {21, 21}, {1000000, 1000000}};
  for (const auto& r : intervals) {
    Owned<CGIS_MapGridBorder> b(new CGIS_MapGridBorder());
    b->SetInterval(r[0]);
    EXPECT_EQ(b->GetInterval(), r[1]) << r[0];
  }
  const std::pair<int, const char*> names[] = {
      {0, "简单边框"}, {1, "校准边框"}, {2, "校准边框"}, {-1, "校准边框"}};
  for (const auto& [type, name] : names) {
    Owned<CGIS_MapGridBorder> b(new CGIS_MapGridBorder());
    b->SetBorderType(type);
    EXPECT_STREQ(b->GetBorderTypeName(), name) << type;
  }
}

TEST(GridBorder, SymbolSettersKeepCopiesAndNullRemovesWithTheirLevels) {
  struct Row {
    const char* method;
    int type;
    int nullLevel;
    IGIS_Symbol* (IGIS_MapGridBorder::*get)();
    void (IGIS_MapGridBorder::*set)(IGIS_Symbol*);
  };
  const Row rows[] = {
      {"CGIS_MapGridBorder::SetBackgroundSymbolPtr", GIS_SYMBOL_FILL, GIS_LOG_LEVEL_CHECK,
       &IGIS_MapGridBorder::GetBackgroundSymbol, &IGIS_MapGridBorder::SetBackgroundSymbolPtr},
      {"CGIS_MapGridBorder::SetForegroundSymbolPtr", GIS_SYMBOL_FILL, GIS_LOG_LEVEL_CHECK,
       &IGIS_MapGridBorder::GetForegroundSymbol, &IGIS_MapGridBorder::SetForegroundSymbolPtr},
      {"CGIS_MapGridBorder::SetSimpleSymbolPtr", GIS_SYMBOL_LINE, GIS_LOG_LEVEL_GRID,
       &IGIS_MapGridBorder::GetSimpleSymbol, &IGIS_MapGridBorder::SetSimpleSymbolPtr},
  };
  for (const Row& r : rows) {
    Owned<CGIS_MapGridBorder> b(new CGIS_MapGridBorder());
    IGIS_Symbol* mine = md::test::NewSymbol(r.type, RGB(10, 20, 30));
    (b.get()->*r.set)(mine);
    mine->Release();  // the border holds its own copy
    IGIS_Symbol* held = (b.get()->*r.get)();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->GetColor(), RGB(10, 20, 30));
    (b.get()->*r.set)(held);
    EXPECT_EQ((b.get()->*r.get)(), held);
    md::test::LogMark mark;
    (b.get()->*r.set)(nullptr);
    EXPECT_EQ((b.get()->*r.get)(), nullptr);
    EXPECT_TRUE(mark.Has(r.nullLevel, r.method, "right == NULL")) << r.method;
  }
}

TEST(GridBorder, CopiesKeepTheSourcesGridUntilRebound) {
  Owned<TestKindGrid> grid(new TestKindGrid());
  Owned<CGIS_MapGridBorder> b(new CGIS_MapGridBorder());
  b->SetMapGrid(grid.get());
  b->SetAlternating(true);
  b->SetBorderType(1);
  b->SetBorderWidth(-40);
  b->SetInterval(25);
  Owned<IGIS_MapGridBorder> copy(b->Clone());
  EXPECT_EQ(copy->GetMapGrid(), grid.get());
  EXPECT_EQ(Of(copy.get()), Of(b.get()));
  EXPECT_NE(copy->GetSimpleSymbol(), b->GetSimpleSymbol());
  b->SetSimpleSymbolPtr(nullptr);
  md::test::LogMark mark;
  Owned<CGIS_MapGridBorder> target(new CGIS_MapGridBorder());
  target->CopyFrom(b.get());
  EXPECT_EQ(target->GetSimpleSymbol(), nullptr);
  // A symbol the source lacks is no missing symbol.
  EXPECT_EQ(mark.Count(), 0u);
}

TEST(GridBorder, StoresTenKeysWithFlagsThatAreTrueForAPresentSymbol) {
  Owned<CGIS_MapGridBorder> b(new CGIS_MapGridBorder());
  b->SetBackgroundSymbolPtr(nullptr);
  const std::vector<BYTE> bytes = md::test::Stored(b.get());
  EXPECT_EQ(md::test::KeysOf(bytes),
            (std::vector<std::string>{"Interval", "BorderWidth", "Alternating", "BackgroundSymbol",
                                      "ForegroundSymbol", "BackgroundSymbolIsNull", "ForegroundSymbolIsNull",
                                      "SimpleSymbol", "SimpleSymbolIsNull", "BorderType"}));
  EXPECT_FALSE(FlagOf(bytes, "BackgroundSymbolIsNull"));
  EXPECT_TRUE(FlagOf(bytes, "ForegroundSymbolIsNull"));
  EXPECT_TRUE(FlagOf(bytes, "SimpleSymbolIsNull"));
  EXPECT_TRUE(md::test::FieldBytes(bytes, "BackgroundSymbol").empty());
  EXPECT_FALSE(md::test::FieldBytes(bytes, "ForegroundSymbol").empty());
  // Read into a new border: no background symbol, as stored, without a
  // record; the other symbols read back, and so do the bytes.
  Owned<TestKindGrid> grid(new TestKindGrid());
  Owned<CGIS_MapGridBorder> read(new CGIS_MapGridBorder());
  read->SetMapGrid(grid.get());
  ASSERT_NE(read->GetBackgroundSymbol(), nullptr);
  IGIS_DataBuffer* buffer = md::test::BufferOf(bytes);
  md::test::LogMark mark;
  EXPECT_TRUE(read->Open(buffer));
  buffer->Release();
  EXPECT_EQ(read->GetBackgroundSymbol(), nullptr);
  EXPECT_NE(read->GetForegroundSymbol(), nullptr);
  EXPECT_NE(read->GetSimpleSymbol(), nullptr);
  EXPECT_EQ(mark.Count(), 0u);
  EXPECT_EQ(md::test::Stored(read.get()), bytes);
  EXPECT_EQ(read->GetMapGrid(), grid.get());
}

TEST(GridBorder, WhatIsStoredReadsBackAsStored) {
  Owned<CGIS_MapGridBorder> b(new CGIS_MapGridBorder());
  b->SetAlternating(true);
  b->SetBorderType(2);
  b->SetBorderWidth(350);
  IGIS_Symbol* blue = md::test::NewSymbol(GIS_SYMBOL_FILL, RGB(0, 0, 255));
  b->SetForegroundSymbolPtr(blue);
  blue->Release();
  Owned<IGIS_PropertySet> set(md::test::SetOf(md::test::Stored(b.get())));
  set->GetProperty("Interval")->SetInt(5);
  IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(0);
  set->Archive(buffer, GIS_ARCHIVE_WRITE, 0);
  Owned<CGIS_MapGridBorder> read(new CGIS_MapGridBorder());
  EXPECT_TRUE(read->Open(buffer));
  buffer->Release();
  EXPECT_EQ(Of(read.get()), (Values{true, 350, 5, 2}));
  EXPECT_EQ(read->GetForegroundSymbol()->GetColor(), RGB(0, 0, 255));
  EXPECT_NE(read->GetForegroundSymbol(), b->GetForegroundSymbol());
  // Nothing readable changes nothing.
  md::test::LogMark mark;
  EXPECT_FALSE(read->Open(nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MapGridBorder::Open", "pDataBuffer为空"));
  const std::vector<BYTE> junk = {'x', 'y'};
  buffer = md::test::BufferOf(junk);
  EXPECT_TRUE(read->Open(buffer));
  buffer->Release();
  EXPECT_EQ(Of(read.get()), (Values{true, 350, 5, 2}));
}

}  // namespace
