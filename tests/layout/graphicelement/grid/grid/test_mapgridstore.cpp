// The common stored keys of a grid: order and descriptions, the round trip,
// the readers' rules, and stored labels and borders no class can read.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::Edited;

using md::test::Journal;
using md::test::Owned;
using md::test::TestKindGrid;

// Reads the stored bytes into a new test grid.
TestKindGrid* Reopened(const std::vector<BYTE>& bytes) {
  auto* grid = new TestKindGrid();
  IGIS_DataBuffer* b = md::test::BufferOf(bytes);
  EXPECT_TRUE(grid->Open(b));
  b->Release();
  return grid;
}

void SetBytes(IGIS_PropertySet* set, const char* key, const std::vector<BYTE>& bytes) {
  IGIS_DataBuffer* b = set->GetProperty(key)->GetDataBuffer();
  b->SetSize(static_cast<int>(bytes.size()));
  if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
}

TEST(MapGridStore, TheKindsKeysComeFirstThenTheCommonKeysWithTheirDescriptions) {
  Owned<TestKindGrid> grid(new TestKindGrid());
  const std::vector<BYTE> bytes = md::test::Stored(grid.get());
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"KindKey", "KindKey"},
      {"ExteriorWidth", "ExteriorWidth"},
      {"szName", "格网名称"},
      {"Toplabel", "顶端标注"},
      {"Topsublabel", "顶端子标注"},
      {"Leftlabel", "左端标注"},
      {"Leftsublabel", "左端子标注"},
      {"Rightlabel", "右端标注"},
      {"Rightsublabel", "右端子标注"},
      {"Bottomlabel", "底端标注"},
      {"Bottomsublabel", "底端子标注"},
      {"TopTick", "顶端主分割条"},
      {"TopsubTick", "顶端子分割条"},
      {"LeftTick", "左端主分割条"},
      {"LeftsubTick", "左端子分割条"},
      {"RightTick", "右端主分割条"},
      {"RightsubTick", "右端子分割条"},
      {"BottomTick", "底端主分割条"},
      {"BottomsubTick", "底端子分割条"},
      {"Visible", "网格可见"},
      {"SubTickCount", "子分割数"},
      {"SubTickLength", "子分割长度"},
      {"SubTickLineSymbol", "子分割符号"},
      {"TickLength", "主分割长度"},
      {"TickLineSymbol", "主分割线符号"},
      {"Border", "边界"},
      {"GridlineType", "格网分割类型"},
      {"LineSymbol", "线符号"},
      {"MarkSymbol", "点类型"},
      {"GridType", "格网类型"},
      {"GridLabelType", "网格标注类型"},
      {"LabelFormat", "标注数据"},
      {"TickDivision", "TickDivision"},
  };
  Owned<IGIS_PropertySet> set(md::test::SetOf(bytes));
  std::vector<std::pair<std::string, std::string>> stored;
  for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f)) {
    stored.emplace_back(f->GetLabel(), f->GetDescription());
  }
  EXPECT_EQ(stored, expected);
  EXPECT_EQ(set->GetProperty("GridType")->GetInt(), TestKindGrid::kType);
}

TEST(MapGridStore, WhatIsStoredReadsBackTheSame) {
  Journal j;
  Owned<TestKindGrid> grid(new TestKindGrid());
  grid->SetName("经纬网");
  grid->SetLabelVisible(false, true, false, true);
  grid->SetTickVisible(true, false, false, true);
  grid->SetSubTickVisible(false, false, true, true);
  grid->SetVisible(false);
  grid->SetSubTickCount(5);
  grid->SetSubTickLength(-30.5);
  grid->SetTickLength(250.0);
  grid->SetGridlineType(GIS_GRIDLINE_MARKS);
  grid->SetTickDivision(5);
  grid->m_nKindValue = 31;
  Owned<IGIS_Symbol> red(md::test::NewSymbol(GIS_SYMBOL_LINE, RGB(255, 0, 0)));
  grid->SetTickLineSymbol(red.get());
  grid->GetBorder()->SetInterval(700);
  const std::vector<BYTE> bytes = md::test::Stored(grid.get());
  Owned<TestKindGrid> read(Reopened(bytes));
  EXPECT_EQ(md::test::Stored(read.get()), bytes);
  EXPECT_EQ(read->GetTickDivision(), 5);
  EXPECT_EQ(read->m_nKindValue, 31);
  EXPECT_EQ(read->GetTickLineSymbol()->GetColor(), RGB(255, 0, 0));
  EXPECT_EQ(read->GetBorder()->GetMapGrid(), read.get());
}

TEST(MapGridStore, ReadersTakeWhatIsStoredWithoutTheSettersRules) {
  Journal j;
  Owned<TestKindGrid> source(new TestKindGrid());
  const std::vector<BYTE> bytes = md::test::Stored(source.get());
  struct Row {
    const char* what;
    std::vector<BYTE> stored;
    int gridlineType;
    int tickDivision;
    bool keepsLabel;
  };
  auto with = [&](auto change) { return Edited(bytes, change); };
  const Row rows[] = {
      {"line kind 7", with([](IGIS_PropertySet* s) { s->GetProperty("GridlineType")->SetInt(7); }), 7, 1,
       false},
      {"no TickDivision", with([](IGIS_PropertySet* s) { s->GetProperty("TickDivision")->SetName("Other"); }),
       1, 1, false},
      {"TickDivision 0", with([](IGIS_PropertySet* s) { s->GetProperty("TickDivision")->SetInt(0); }), 1, 1,
       false},
      {"no GridLabelType",
       with([](IGIS_PropertySet* s) { s->GetProperty("GridLabelType")->SetName("Other"); }), 1, 1, true},
      {"negative GridLabelType",
       with([](IGIS_PropertySet* s) { s->GetProperty("GridLabelType")->SetInt(-1); }), 1, 1, true},
      {"TickDivision 3", with([](IGIS_PropertySet* s) { s->GetProperty("TickDivision")->SetInt(3); }), 1, 3,
       false},
  };
  for (const Row& r : rows) {
    Owned<TestKindGrid> grid(new TestKindGrid());
    grid->SetTickDivision(4);
    Owned<md::test::TestLabel> label(new md::test::TestLabel(&j, GIS_GRIDLABEL_DMS, "mine"));
    grid->SetLabelFormat(label.get());
    IGIS_DataBuffer* b = md::test::BufferOf(r.stored);
    EXPECT_TRUE(grid->Open(b)) << r.what;
    b->Release();
    EXPECT_EQ(grid->GetGridlineType(), r.gridlineType) << r.what;
    EXPECT_EQ(grid->GetTickDivision(), r.tickDivision) << r.what;
    EXPECT_EQ(grid->GetLabelFormat() != nullptr, r.keepsLabel) << r.what;
  }
}

TEST(MapGridStore, UnreadableSymbolsKeepTheGridsSymbolsEmptyOnesLeaveNone) {
  Owned<TestKindGrid> source(new TestKindGrid());
  source->SetMarkSymbol(nullptr);
  source->SetLineSymbol(nullptr);
  const std::vector<BYTE> bytes = Edited(md::test::Stored(source.get()), [](IGIS_PropertySet* s) {
    s->AddProperty("MarkSymbol", "点类型", GIS_FIELD_TYPE_INT, 1);  // no longer a symbol
  });
  Owned<TestKindGrid> grid(new TestKindGrid());
  IGIS_Symbol* mark = grid->GetMarkSymbol();
  md::test::LogMark log;
  IGIS_DataBuffer* b = md::test::BufferOf(bytes);
  grid->Open(b);
  b->Release();
  EXPECT_EQ(grid->GetMarkSymbol(), mark);
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_SYMBOL, "GetSymbolFromField"));
  // The empty line symbol was written for a grid without one, as it reads back.
  EXPECT_EQ(grid->GetLineSymbol(), nullptr);
}

TEST(MapGridStore, AGridWithoutItsSymbolsReadsBackWithoutThemByteForByte) {
  struct Row {
    const char* key;
    void (*remove)(IGIS_MapGrid*);
    IGIS_Symbol* (*get)(IGIS_MapGrid*);
  };
  const Row rows[] = {
      {"MarkSymbol", [](IGIS_MapGrid* g) { g->SetMarkSymbol(nullptr); },
       [](IGIS_MapGrid* g) { return g->GetMarkSymbol(); }},
      {"LineSymbol", [](IGIS_MapGrid* g) { g->SetLineSymbol(nullptr); },
       [](IGIS_MapGrid* g) { return g->GetLineSymbol(); }},
      {"TickLineSymbol", [](IGIS_MapGrid* g) { g->SetTickLineSymbol(nullptr); },
       [](IGIS_MapGrid* g) { return g->GetTickLineSymbol(); }},
      {"SubTickLineSymbol", [](IGIS_MapGrid* g) { g->SetSubTickLineSymbol(nullptr); },
       [](IGIS_MapGrid* g) { return g->GetSubTickLineSymbol(); }},
  };
  for (const Row& row : rows) {
    Owned<TestKindGrid> source(new TestKindGrid());
    row.remove(source.get());
    const std::vector<BYTE> bytes = md::test::Stored(source.get());
    EXPECT_TRUE(md::test::FieldBytes(bytes, row.key).empty()) << row.key;
    Owned<TestKindGrid> grid(new TestKindGrid());
    ASSERT_NE(row.get(grid.get()), nullptr) << row.key;
    IGIS_DataBuffer* b = md::test::BufferOf(bytes);
    grid->Open(b);
    b->Release();
    EXPECT_EQ(row.get(grid.get()), nullptr) << row.key;
    EXPECT_EQ(md::test::Stored(grid.get()), bytes) << row.key;
  }
}

TEST(MapGridStore, AGridWithoutALabelReadsBackWithoutOne) {
  Journal j;
  Owned<TestKindGrid> source(new TestKindGrid());
  const std::vector<BYTE> bytes = md::test::Stored(source.get());
  EXPECT_TRUE(md::test::FieldBytes(bytes, "LabelFormat").empty());
  Owned<TestKindGrid> grid(new TestKindGrid());
  Owned<md::test::TestLabel> label(new md::test::TestLabel(&j, GIS_GRIDLABEL_DMS, "mine"));
  grid->SetLabelFormat(label.get());
  IGIS_DataBuffer* b = md::test::BufferOf(bytes);
  grid->Open(b);
  b->Release();
  EXPECT_EQ(grid->GetLabelFormat(), nullptr);
  EXPECT_EQ(md::test::Stored(grid.get()), bytes);
}

TEST(MapGridStore, StoredLabelsAndBordersNoClassReadsComeBackByteForByte) {
  Owned<TestKindGrid> source(new TestKindGrid());
  const std::vector<BYTE> base = md::test::Stored(source.get());
  // A label set of a type without a class, damaged label bytes, a damaged border.
  IGIS_PropertySet* inner = GIS_CreatePropertySetObject();
  inner->AddProperty("GridLabelType", "GridLabelType", GIS_FIELD_TYPE_INT, 1)->SetInt(3);
  inner->AddProperty("Future", "Future", GIS_FIELD_TYPE_STRING, 1)->SetString("未来的标注");
  IGIS_DataBuffer* innerBytes = GIS_CreateDataBufferObject(0);
  inner->Archive(innerBytes, GIS_ARCHIVE_WRITE, 0);
  const std::vector<BYTE> innerSet(innerBytes->GetData(), innerBytes->GetData() + innerBytes->GetSize());
  innerBytes->Release();
  inner->Release();
  const std::vector<BYTE> junk = {'M', 'D', 'P', 'S', 9, 9, 1, 2, 3};
  struct Row {
    const char* what;
    std::vector<BYTE> stored;
    bool label;   // the grid holds a label after reading
    bool border;  // the grid holds a border after reading
  };
  const Row rows[] = {
      {"label of type 3",
       Edited(base,
              [&](IGIS_PropertySet* s) {
                s->GetProperty("GridLabelType")->SetInt(3);
                SetBytes(s, "LabelFormat", innerSet);
              }),
       false, true},
      {"damaged label",
       Edited(base,
              [&](IGIS_PropertySet* s) {
                s->GetProperty("GridLabelType")->SetInt(0);
                SetBytes(s, "LabelFormat", junk);
              }),
       false, true},
      {"damaged border", Edited(base, [&](IGIS_PropertySet* s) { SetBytes(s, "Border", junk); }), false,
       false},
  };
  for (const Row& r : rows) {
    Owned<TestKindGrid> grid(Reopened(r.stored));
    EXPECT_EQ(grid->GetLabelFormat() != nullptr, r.label) << r.what;
    EXPECT_EQ(grid->GetBorder() != nullptr, r.border) << r.what;
    EXPECT_TRUE(grid->OnDraw(nullptr, false, nullptr)) << r.what;
    EXPECT_EQ(md::test::Stored(grid.get()), r.stored) << r.what;
    // The kept bytes travel with a copy; setting a border replaces them.
    Owned<IGIS_MapGrid> copy(grid->Clone());
    EXPECT_EQ(md::test::Stored(copy.get()), r.stored) << r.what;
    Owned<TestKindGrid> fresh(new TestKindGrid());
    copy->SetBorder(fresh->GetBorder());
    EXPECT_EQ(md::test::FieldBytes(md::test::Stored(copy.get()), "Border"),
              md::test::FieldBytes(base, "Border"))
        << r.what;
  }
}

TEST(MapGridStore, TheFromBufferExportRebuildsEveryKindTheFactoryMakes) {
  int kinds = 0;
  for (int type = GIS_MAPGRID_GRATICULE; type <= GIS_MAPGRID_GRATICULE_MN; ++type) {
    Owned<IGIS_MapGrid> grid(GIS_CreateMapGridPropertyObject(type));
    if (grid.get() == nullptr) continue;  // a kind not part of the library yet
    ++kinds;
    EXPECT_EQ(grid->GetType(), type);
    grid->SetName("重建的格网");
    grid->SetTickDivision(5);
    grid->SetGridlineType(GIS_GRIDLINE_MARKS);
    grid->SetLabelVisible(false, true, false, true);
    const std::vector<BYTE> bytes = md::test::Stored(grid.get());
    IGIS_DataBuffer* b = md::test::BufferOf(bytes);
    Owned<IGIS_MapGrid> rebuilt(GIS_CreateMapGridPropertyObjectFromBuffer(b));
    b->Release();
    ASSERT_NE(rebuilt.get(), nullptr) << type;
    EXPECT_EQ(rebuilt->GetType(), type);
    EXPECT_EQ(rebuilt->GetTickDivision(), 5) << type;
    EXPECT_STREQ(rebuilt->GetName(), "重建的格网");
    EXPECT_EQ(md::test::Stored(rebuilt.get()), bytes) << type;
  }
  EXPECT_GE(kinds, 1);
}

// A grid list reads its grids where they lie in its bytes (and their labels
// and borders where they lie in the grids'): every kind, with labels read in
// place and one given a copy, comes back as a grid read from its own buffer.
TEST(MapGridStore, AListReadsEveryKindAsTheFromBufferExportDoes) {
  const struct Row {
    int grid;
    int label;  // -1: the kind's own
  } rows[] = {{GIS_MAPGRID_GRATICULE, -1},
              {GIS_MAPGRID_MEASURE, -1},
              {GIS_MAPGRID_MEASURE, GIS_GRIDLABEL_MIXEDFONT},
              {GIS_MAPGRID_INDEX, -1},
              {GIS_MAPGRID_INDEX, GIS_GRIDLABEL_INDEX_ROUNDED},
              {GIS_MAPGRID_GRATICULE_MN, GIS_GRIDLABEL_DMS}};
  for (const Row& r : rows) {
    Owned<IGIS_MapGrid> grid(GIS_CreateMapGridPropertyObject(r.grid));
    if (grid.get() == nullptr) continue;  // a kind not part of the library yet
    grid->SetName("就地读出");
    grid->SetTickDivision(3);
    if (r.label >= 0) {
      Owned<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(r.label));
      ASSERT_NE(label.get(), nullptr);
      label->SetLabelOffset(77);
      grid->SetLabelFormat(label.get());
    }
    const std::vector<BYTE> bytes = md::test::Stored(grid.get());
    IGIS_DataBuffer* b = md::test::BufferOf(bytes);
    Owned<IGIS_MapGrid> alone(GIS_CreateMapGridPropertyObjectFromBuffer(b));
    b->Release();
    CGIS_MapGrids list;
    list.AddMapGrid(grid.release());
    IGIS_DataBuffer* listBytes = GIS_CreateDataBufferObject(0);
    ASSERT_TRUE(list.Save(listBytes));
    CGIS_MapGrids read;
    ASSERT_TRUE(read.Open(listBytes));
    listBytes->Release();
    ASSERT_EQ(read.GetCount(), 1) << r.grid;
    ASSERT_NE(alone.get(), nullptr) << r.grid;
    IGIS_GridLabel* pLabel = read.GetMapGrid(0)->GetLabelFormat();
    ASSERT_NE(pLabel, nullptr) << r.grid;
    if (r.label >= 0) {
      EXPECT_EQ(pLabel->GetType(), r.label) << r.grid;
      EXPECT_EQ(pLabel->GetLabelOffset(), 77) << r.grid;
    }
    EXPECT_EQ(md::test::Stored(read.GetMapGrid(0)), bytes) << r.grid << " " << r.label;
    EXPECT_EQ(md::test::Stored(alone.get()), bytes) << r.grid << " " << r.label;
  }
}

// The stored set without its buffer keys (symbols, border, label, a kind's
// nested parts), the other keys as they were.
std::vector<BYTE> WithoutBuffers(const std::vector<BYTE>& bytes) {
  Owned<IGIS_PropertySet> in(md::test::SetOf(bytes));
  Owned<IGIS_PropertySet> out(GIS_CreatePropertySetObject());
  for (IGIS_Field* f = in->GetFirstPosition(); f != nullptr; f = in->GetNext(f)) {
    if (f->GetType() == GIS_FIELD_TYPE_BUFFER) continue;
    IGIS_Field* g = out->AddProperty(f->GetLabel(), f->GetDescription(), f->GetType(), 1);
    g->SetInt(f->GetInt());
    g->SetDouble(f->GetDouble());
    g->SetBool(f->GetBool());
    g->SetString(f->GetString());
  }
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  out->Archive(b, GIS_ARCHIVE_WRITE, 0);
  std::vector<BYTE> stripped(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return stripped;
}

// A grid read from stored bytes is made without the parts the bytes replace;
// those the bytes leave out are its defaults, as a new grid holds them.
TEST(MapGridStore, AGridReadWithoutItsNestedKeysHoldsTheDefaults) {
  for (int type = GIS_MAPGRID_GRATICULE; type <= GIS_MAPGRID_GRATICULE_MN; ++type) {
    Owned<IGIS_MapGrid> fresh(GIS_CreateMapGridPropertyObject(type));
    if (fresh.get() == nullptr) continue;  // a kind not part of the library yet
    fresh->SetName("缺省部件");
    const std::vector<BYTE> bytes = md::test::Stored(fresh.get());
    const std::vector<BYTE> stripped = WithoutBuffers(bytes);
    ASSERT_LT(stripped.size(), bytes.size()) << type;
    IGIS_DataBuffer* b = md::test::BufferOf(stripped);
    Owned<IGIS_MapGrid> read(GIS_CreateMapGridPropertyObjectFromBuffer(b));
    b->Release();
    ASSERT_NE(read.get(), nullptr) << type;
    EXPECT_NE(read->GetLabelFormat(), nullptr) << type;
    EXPECT_NE(read->GetBorder(), nullptr) << type;
    EXPECT_EQ(md::test::Stored(read.get()), bytes) << type;
  }
}

// The stored form is written straight into its bytes: they must be those a
// property set holding the same fields writes, for every kind with every
// nested object present or absent, and a grid saved over its own stored
// bytes writes them again unchanged.
TEST(MapGridStore, EveryKindStoresWhatAPropertySetHoldingItsKeysWrites) {
  Owned<IGIS_Symbol> line(md::test::NewSymbol(GIS_SYMBOL_LINE, RGB(0, 90, 0)));
  Owned<IGIS_Symbol> mark(md::test::NewSymbol(GIS_SYMBOL_POINT, RGB(0, 0, 90)));
  auto unchanged = [](IGIS_PropertySet*) {};
  for (int type = GIS_MAPGRID_GRATICULE; type <= GIS_MAPGRID_GRATICULE_MN; ++type) {
    Owned<IGIS_MapGrid> grid(GIS_CreateMapGridPropertyObject(type));
    if (grid.get() == nullptr) continue;
    const std::vector<BYTE> plain = md::test::Stored(grid.get());
    EXPECT_EQ(Edited(plain, unchanged), plain) << type;
    grid->SetName("名称");
    grid->SetLineSymbol(line.get());
    grid->SetMarkSymbol(mark.get());
    grid->SetTickLineSymbol(line.get());
    grid->SetSubTickLineSymbol(line.get());
    grid->SetBorder(nullptr);
    const std::vector<BYTE> full = md::test::Stored(grid.get());
    EXPECT_EQ(Edited(full, unchanged), full) << type;
    EXPECT_NE(full, plain) << type;
  }
  Owned<TestKindGrid> kindless(new TestKindGrid());
  kindless->SetLineSymbol(line.get());
  const std::vector<BYTE> bytes = md::test::Stored(kindless.get());
  EXPECT_EQ(Edited(bytes, unchanged), bytes);
  IGIS_DataBuffer* b = md::test::BufferOf(bytes);
  EXPECT_TRUE(kindless->Save(b));
  EXPECT_EQ(std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize()), bytes);
  b->Release();
}

// Bytes that hold no readable set change no kind's state, leave a record,
// and the factory makes no grid of them.
TEST(MapGridStore, DamagedBytesChangeNoKindsState) {
  const std::vector<BYTE> damaged = {'M', 'D', 'P', 'S', 1, 0, 0, 0, 9, 9, 9};
  for (int type = GIS_MAPGRID_GRATICULE; type <= GIS_MAPGRID_GRATICULE_MN; ++type) {
    Owned<IGIS_MapGrid> grid(GIS_CreateMapGridPropertyObject(type));
    if (grid.get() == nullptr) continue;
    grid->SetName("保持");
    const std::vector<BYTE> before = md::test::Stored(grid.get());
    IGIS_DataBuffer* b = md::test::BufferOf(damaged);
    md::test::LogMark mark;
    grid->Open(b);
    EXPECT_GT(mark.Count(), 0u) << type;
    EXPECT_EQ(md::test::Stored(grid.get()), before) << type;
    EXPECT_EQ(GIS_CreateMapGridPropertyObjectFromBuffer(b), nullptr) << type;
    b->Release();
  }
}

TEST(MapGridStore, TheFromBufferExportRefusesWhatNamesNoGrid) {
  Owned<TestKindGrid> grid(new TestKindGrid());
  const std::vector<BYTE> bytes = md::test::Stored(grid.get());
  struct Row {
    const char* what;
    std::vector<BYTE> stored;
  };
  const Row rows[] = {
      {"empty buffer", {}},
      {"not a set", {1, 2, 3, 4}},
      {"no GridType",
       Edited(bytes, [](IGIS_PropertySet* s) { s->GetProperty("GridType")->SetName("Other"); })},
      {"GridType 9", Edited(bytes, [](IGIS_PropertySet* s) { s->GetProperty("GridType")->SetInt(9); })},
      {"GridType -1", Edited(bytes, [](IGIS_PropertySet* s) { s->GetProperty("GridType")->SetInt(-1); })},
  };
  md::test::LogMark mark;
  for (const Row& r : rows) {
    IGIS_DataBuffer* b = md::test::BufferOf(r.stored);
    EXPECT_EQ(GIS_CreateMapGridPropertyObjectFromBuffer(b), nullptr) << r.what;
    b->Release();
  }
  EXPECT_EQ(GIS_CreateMapGridPropertyObjectFromBuffer(nullptr), nullptr);
  EXPECT_EQ(GIS_CreateMapGridPropertyObject(4), nullptr);
  EXPECT_EQ(GIS_CreateMapGridPropertyObject(-1), nullptr);
}

TEST(MapGridStore, NullBuffersAreRefusedWithARecord) {
  Owned<TestKindGrid> grid(new TestKindGrid());
  md::test::LogMark mark;
  EXPECT_FALSE(grid->Open(nullptr));
  EXPECT_FALSE(grid->Save(nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "IGIS_MapGrid::Open", "pDataBuffer为空"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "IGIS_MapGrid::Save", "pDataBuffer为空"));
  const std::vector<BYTE> junk = {7, 7, 7};
  IGIS_DataBuffer* b = md::test::BufferOf(junk);
  EXPECT_TRUE(grid->Open(b));
  b->Release();
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "IGIS_MapGrid::Open", "b_ret == NULL"));
  EXPECT_STREQ(grid->GetName(), "格网");
}

}  // namespace
