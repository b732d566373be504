// The graticule's class: defaults, setters and their range rules, copies,
// the stored form and its sheet.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/gridsheet.h"
#include "tests/layout/graphicelement/grid/graticule/graticuletest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::DmsLabelDouble;
using md::test::Owned;
using md::test::Stored;

constexpr const char* kSymbolSetters[] = {"CGIS_GraticuleGrid::SetHatchLineSymbolPtr",
                                          "CGIS_GraticuleGrid::SetMainHatchLineSymbolPtr",
                                          "CGIS_GraticuleGrid::SetSubHatchLineSymbolPtr"};

std::vector<BYTE> SymbolBytes(IGIS_Symbol* s) { return s != nullptr ? Stored(s) : std::vector<BYTE>(); }

// The keys of a stored set, in stored order.
std::vector<std::string> KeysOf(const std::vector<BYTE>& bytes) {
  Owned<IGIS_DataBuffer> b(md::test::BufferOf(bytes));
  Owned<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  EXPECT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_READ, 0));
  std::vector<std::string> keys;
  for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f))
    keys.push_back(f->GetLabel());
  return keys;
}

// The bytes of a set holding what `fill` adds.
std::vector<BYTE> SetOf(const std::function<void(IGIS_PropertySet*)>& fill) {
  Owned<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  fill(set.get());
  Owned<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
  EXPECT_TRUE(set->Archive(out.get(), GIS_ARCHIVE_WRITE, 0));
  return std::vector<BYTE>(out->GetData(), out->GetData() + out->GetSize());
}

void PutInt(IGIS_PropertySet* s, const char* key, int n) {
  s->AddProperty(key, key, GIS_FIELD_TYPE_INT, 1)->SetInt(n);
}

TEST(GraticuleGrid, ANewGraticuleHasItsDefaults) {
  Owned<IGIS_MapGrid> made(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE));
  auto* g = dynamic_cast<IGIS_GraticuleGrid*>(made.get());
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->GetType(), 0);
  EXPECT_EQ(g->GetAxisTickOffset(), 400.0);
  EXPECT_EQ(g->GetInteriorLabelIntervalX(), 0.0);
  EXPECT_EQ(g->GetInteriorLabelIntervalY(), 0.0);
  EXPECT_FALSE(g->GetShowInteriorLabels());
  EXPECT_TRUE(g->GetHatchDirectional());
  EXPECT_EQ(g->GetHatchIntervalX(), 0.0);
  EXPECT_EQ(g->GetHatchIntervalY(), 0.0);
  EXPECT_EQ(g->GetHatchLength(), 400.0);
  EXPECT_TRUE(g->GetMainHatchDirectional());
  EXPECT_EQ(g->GetMainHatchLength(), 200);
  EXPECT_EQ(g->GetMainHatchCount(), 3);
  EXPECT_TRUE(g->GetSubHatchDirectional());
  EXPECT_EQ(g->GetSubHatchLength(), 100);
  EXPECT_EQ(g->GetSubHatchCount(), 2);
  ASSERT_NE(g->GetGridSpacing(), nullptr);
  EXPECT_EQ(g->GetGridSpacing()->GetUnitsType(), GIS_GRIDSPACING_UNITS_ANGULAR);
  EXPECT_EQ(g->GetGridSpacing()->GetUnits(), 1);
  // Three hatch symbols of one look, each the grid's own object.
  IGIS_Symbol* hatch = g->GetHatchLineSymbol();
  ASSERT_NE(hatch, nullptr);
  ASSERT_NE(g->GetMainHatchLineSymbol(), nullptr);
  ASSERT_NE(g->GetSubHatchLineSymbol(), nullptr);
  EXPECT_NE(hatch, g->GetMainHatchLineSymbol());
  EXPECT_NE(hatch, g->GetSubHatchLineSymbol());
  EXPECT_EQ(hatch->GetStyleCode(), 0xD03);
  EXPECT_EQ(SymbolBytes(g->GetMainHatchLineSymbol()), SymbolBytes(hatch));
  EXPECT_EQ(SymbolBytes(g->GetSubHatchLineSymbol()), SymbolBytes(hatch));
  // Its label is the DMS label the label factory makes, bound to the grid.
  Owned<IGIS_GridLabel> dms(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_DMS));
  EXPECT_EQ(g->GetLabelFormat() != nullptr, dms.get() != nullptr);
  if (g->GetLabelFormat() != nullptr) {
    EXPECT_EQ(g->GetLabelFormat()->GetType(), GIS_GRIDLABEL_DMS);
  }
}

TEST(GraticuleGrid, SettersKeepTheirRanges) {
  struct Row {
    const char* name;
    std::function<void(IGIS_GraticuleGrid*)> set;
    std::function<double(IGIS_GraticuleGrid*)> get;
    double expected;
  } rows[] = {
      {"MainHatchCount 0", [](auto* g) { g->SetMainHatchCount(0); },
       [](auto* g) { return g->GetMainHatchCount(); }, 1},
      {"SubHatchCount -5", [](auto* g) { g->SetSubHatchCount(-5); },
       [](auto* g) { return g->GetSubHatchCount(); }, 1},
      {"MainHatchCount 7", [](auto* g) { g->SetMainHatchCount(7); },
       [](auto* g) { return g->GetMainHatchCount(); }, 7},
      {"MainHatchLength -150", [](auto* g) { g->SetMainHatchLength(-150); },
       [](auto* g) { return g->GetMainHatchLength(); }, 150},
      {"MainHatchLength 0", [](auto* g) { g->SetMainHatchLength(0); },
       [](auto* g) { return g->GetMainHatchLength(); }, 0},
      {"MainHatchLength INT_MIN", [](auto* g) { g->SetMainHatchLength(INT_MIN); },
       [](auto* g) { return g->GetMainHatchLength(); }, 200},
      {"SubHatchLength INT_MIN", [](auto* g) { g->SetSubHatchLength(INT_MIN); },
       [](auto* g) { return g->GetSubHatchLength(); }, 100},
      {"SubHatchLength -1", [](auto* g) { g->SetSubHatchLength(-1); },
       [](auto* g) { return g->GetSubHatchLength(); }, 1},
      {"HatchLength -2.5", [](auto* g) { g->SetHatchLength(-2.5); },
       [](auto* g) { return g->GetHatchLength(); }, 2.5},
      {"HatchLength 0", [](auto* g) { g->SetHatchLength(0.0); }, [](auto* g) { return g->GetHatchLength(); },
       0.0},
      {"HatchIntervalX -1 kept", [](auto* g) { g->SetHatchIntervalX(-1.0); },
       [](auto* g) { return g->GetHatchIntervalX(); }, -1.0},
      {"AxisTickOffset -3 kept", [](auto* g) { g->SetAxisTickOffset(-3.0); },
       [](auto* g) { return g->GetAxisTickOffset(); }, -3.0},
  };
  for (const Row& r : rows) {
    Owned<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid());
    r.set(g.get());
    EXPECT_EQ(r.get(g.get()), r.expected) << r.name;
  }
}

TEST(GraticuleGrid, ObjectSettersKeepCopiesAndRefuseNull) {
  Owned<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid());
  Owned<IGIS_Symbol> red(md::test::NewLineSymbol(RGB(200, 0, 0), 0.3));
  using Getter = IGIS_Symbol* (CGIS_GraticuleGrid::*)();
  using Setter = void (CGIS_GraticuleGrid::*)(IGIS_Symbol*);
  const std::pair<Getter, Setter> symbols[] = {
      {&CGIS_GraticuleGrid::GetHatchLineSymbol, &CGIS_GraticuleGrid::SetHatchLineSymbolPtr},
      {&CGIS_GraticuleGrid::GetMainHatchLineSymbol, &CGIS_GraticuleGrid::SetMainHatchLineSymbolPtr},
      {&CGIS_GraticuleGrid::GetSubHatchLineSymbol, &CGIS_GraticuleGrid::SetSubHatchLineSymbolPtr}};
  for (std::size_t i = 0; i < 3; ++i) {
    auto [get, set] = symbols[i];
    md::test::LogMark mark;
    IGIS_Symbol* before = (g.get()->*get)();
    (g.get()->*set)(nullptr);
    EXPECT_EQ((g.get()->*get)(), before) << kSymbolSetters[i];
    EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, kSymbolSetters[i], "right == NULL"), 1);
    (g.get()->*set)(red.get());
    EXPECT_NE((g.get()->*get)(), red.get());
    EXPECT_EQ(SymbolBytes((g.get()->*get)()), SymbolBytes(red.get()));
    IGIS_Symbol* held = (g.get()->*get)();
    (g.get()->*set)(held);
    EXPECT_EQ((g.get()->*get)(), held);
  }
  // The spacing: NULL refused with a record, a copy kept.
  md::test::LogMark mark;
  IGIS_GridSpacing* before = g->GetGridSpacing();
  g->SetGridSpacingPtr(nullptr);
  EXPECT_EQ(g->GetGridSpacing(), before);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::SetGridSpacingPtr", "right == NULL"));
  Owned<IGIS_GridSpacing> spacing(new CGIS_GridSpacing());
  spacing->SetXIntervalSize(0.25);
  g->SetGridSpacingPtr(spacing.get());
  EXPECT_NE(g->GetGridSpacing(), spacing.get());
  spacing->SetXIntervalSize(9.0);
  EXPECT_EQ(g->GetGridSpacing()->GetXIntervalSize(), 0.25);
}

TEST(GraticuleGrid, TakesOnlyDegreesMinutesSecondsLabels) {
  Owned<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid());
  Owned<DmsLabelDouble> dms(new DmsLabelDouble());
  g->SetLabelFormat(dms.get());
  auto* held = dynamic_cast<DmsLabelDouble*>(g->GetLabelFormat());
  ASSERT_NE(held, nullptr);
  EXPECT_NE(held, dms.get());
  EXPECT_EQ(held->grid, g.get());
  for (int type : {GIS_GRIDLABEL_MIXEDFONT, GIS_GRIDLABEL_FORMATTED}) {
    Owned<DmsLabelDouble> other(new DmsLabelDouble());
    other->type = type;
    md::test::LogMark mark;
    g->SetLabelFormat(other.get());
    EXPECT_EQ(g->GetLabelFormat(), held) << type;
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::SetLabelFormat")) << type;
  }
  md::test::LogMark mark;
  g->SetLabelFormat(nullptr);
  EXPECT_EQ(g->GetLabelFormat(), held);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::SetLabelFormat", "right == NULL"));
}

// A graticule with every value of its own away from the defaults.
void EditAll(IGIS_GraticuleGrid* g, IGIS_Symbol* symbol) {
  g->SetAxisTickOffset(123.5);
  g->SetTickOffset(-87.25);
  g->SetInteriorLabelIntervalX(0.25);
  g->SetInteriorLabelIntervalY(0.125);
  g->SetShowInteriorLabels(true);
  g->SetHatchDirectional(false);
  g->SetHatchIntervalX(1.0 / 60);
  g->SetHatchIntervalY(2.0 / 60);
  g->SetHatchLength(250.5);
  g->SetHatchLineSymbolPtr(symbol);
  g->SetMainHatchLength(180);
  g->SetMainHatchCount(5);
  g->SetMainHatchDirectional(false);
  g->SetSubHatchLength(70);
  g->SetSubHatchCount(4);
  g->SetSubHatchDirectional(false);
  g->SetSubHatchLineSymbolPtr(symbol);
  g->GetGridSpacing()->SetXIntervalSize(5.0);
  g->GetGridSpacing()->SetYIntervalSize(2.5);
  g->GetGridSpacing()->SetUnits(2);
  g->SetTickDivision(4);
  g->SetName("经纬网");
}

void ExpectSameValues(IGIS_GraticuleGrid* a, IGIS_GraticuleGrid* b) {
  EXPECT_EQ(a->GetAxisTickOffset(), b->GetAxisTickOffset());
  EXPECT_EQ(a->GetTickOffset(), b->GetTickOffset());
  EXPECT_EQ(a->GetInteriorLabelIntervalX(), b->GetInteriorLabelIntervalX());
  EXPECT_EQ(a->GetInteriorLabelIntervalY(), b->GetInteriorLabelIntervalY());
  EXPECT_EQ(a->GetShowInteriorLabels(), b->GetShowInteriorLabels());
  EXPECT_EQ(a->GetHatchDirectional(), b->GetHatchDirectional());
  EXPECT_EQ(a->GetHatchIntervalX(), b->GetHatchIntervalX());
  EXPECT_EQ(a->GetHatchIntervalY(), b->GetHatchIntervalY());
  EXPECT_EQ(a->GetHatchLength(), b->GetHatchLength());
  EXPECT_EQ(a->GetMainHatchLength(), b->GetMainHatchLength());
  EXPECT_EQ(a->GetMainHatchCount(), b->GetMainHatchCount());
  EXPECT_EQ(a->GetMainHatchDirectional(), b->GetMainHatchDirectional());
  EXPECT_EQ(a->GetSubHatchLength(), b->GetSubHatchLength());
  EXPECT_EQ(a->GetSubHatchCount(), b->GetSubHatchCount());
  EXPECT_EQ(a->GetSubHatchDirectional(), b->GetSubHatchDirectional());
  for (auto get : {&IGIS_GraticuleGrid::GetHatchLineSymbol, &IGIS_GraticuleGrid::GetMainHatchLineSymbol,
                   &IGIS_GraticuleGrid::GetSubHatchLineSymbol}) {
    EXPECT_NE((a->*get)(), (b->*get)());
    EXPECT_EQ(SymbolBytes((a->*get)()), SymbolBytes((b->*get)()));
  }
  EXPECT_NE(a->GetGridSpacing(), b->GetGridSpacing());
  EXPECT_EQ(Stored(a->GetGridSpacing()), Stored(b->GetGridSpacing()));
  EXPECT_EQ(a->GetTickDivision(), b->GetTickDivision());
  EXPECT_STREQ(a->GetName(), b->GetName());
}

TEST(GraticuleGrid, StoredAndReadIntoANewGraticule) {
  Owned<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid());
  Owned<IGIS_Symbol> symbol(md::test::NewLineSymbol(RGB(0, 120, 0), 0.2));
  EditAll(g.get(), symbol.get());
  const std::vector<BYTE> bytes = Stored(g.get());
  // The graticule's keys come first, then the common ones.
  const std::vector<std::string> keys = KeysOf(bytes);
  const std::vector<std::string> own = {
      "AxisTickOffset",      "InteriorLabelIntervalX", "InteriorLabelIntervalY",
      "HatchIntervalX",      "HatchIntervalY",         "ShowInteriorLabels",
      "HatchLength",         "HatchDirectional",       "HatchLineSymbol",
      "MainHatchLength",     "MainHatchCount",         "MainHatchDirectional",
      "MainHatchLineSymbol", "SubHatchLength",         "SubHatchCount",
      "SubHatchDirectional", "SubHatchLineSymbol",     "TickOffset",
      "pGridSpacing"};
  ASSERT_GT(keys.size(), own.size());
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + own.size()), own);
  EXPECT_EQ(keys[own.size()], "ExteriorWidth");
  Owned<IGIS_DataBuffer> b(md::test::BufferOf(bytes));
  Owned<IGIS_MapGrid> made(GIS_CreateMapGridPropertyObjectFromBuffer(b.get()));
  auto* back = dynamic_cast<IGIS_GraticuleGrid*>(made.get());
  ASSERT_NE(back, nullptr);
  ExpectSameValues(g.get(), back);
  EXPECT_EQ(Stored(back), bytes);
  // A NULL buffer: refused on both sides.
  md::test::LogMark mark;
  EXPECT_FALSE(g->Save(nullptr));
  EXPECT_FALSE(g->Open(nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::Open", "pDataBuffer为空"));
}

TEST(GraticuleGrid, StoredValuesAreReadAsStored) {
  struct Row {
    const char* name;
    std::function<void(IGIS_PropertySet*)> fill;
    int main, sub, mainCount;
  } rows[] = {
      {"missing lengths read 200 and 100", [](IGIS_PropertySet* s) { PutInt(s, "MainHatchCount", 4); }, 200,
       100, 4},
      {"the most negative int reads the default",
       [](IGIS_PropertySet* s) {
         PutInt(s, "MainHatchLength", INT_MIN);
         PutInt(s, "SubHatchLength", INT_MIN);
       },
       200, 100, 3},
      {"negative lengths and a count 0 as stored",
       [](IGIS_PropertySet* s) {
         PutInt(s, "MainHatchLength", -40);
         PutInt(s, "SubHatchLength", -7);
         PutInt(s, "MainHatchCount", 0);
       },
       -40, -7, 0},
  };
  for (const Row& r : rows) {
    Owned<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid());
    g->SetMainHatchLength(55);
    g->SetSubHatchLength(66);
    Owned<IGIS_DataBuffer> b(md::test::BufferOf(SetOf(r.fill)));
    EXPECT_TRUE(g->Open(b.get())) << r.name;
    EXPECT_EQ(g->GetMainHatchLength(), r.main) << r.name;
    EXPECT_EQ(g->GetSubHatchLength(), r.sub) << r.name;
    EXPECT_EQ(g->GetMainHatchCount(), r.mainCount) << r.name;
    // Values the set does not hold keep theirs.
    EXPECT_EQ(g->GetHatchLength(), 400.0) << r.name;
    ASSERT_NE(g->GetGridSpacing(), nullptr);
  }
  // A buffer that is no set: recorded, nothing read, the common read decides.
  Owned<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid());
  Owned<IGIS_DataBuffer> junk(md::test::BufferOf({1, 2, 3, 4, 5}));
  md::test::LogMark mark;
  EXPECT_TRUE(g->Open(junk.get()));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::Open", "b_ret == NULL"));
  EXPECT_EQ(g->GetMainHatchLength(), 200);
}

TEST(GraticuleGrid, CloneAndCopyHoldTheirOwnObjects) {
  Owned<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid());
  Owned<IGIS_Symbol> symbol(md::test::NewLineSymbol(RGB(0, 0, 120), 0.4));
  EditAll(g.get(), symbol.get());
  ASSERT_EQ(g->GetMainHatchCount(), 5);
  Owned<IGIS_MapGrid> clone(g->Clone());
  auto* c = dynamic_cast<IGIS_GraticuleGrid*>(clone.get());
  ASSERT_NE(c, nullptr);
  ExpectSameValues(g.get(), c);
  EXPECT_EQ(Stored(c), Stored(g.get()));
  Owned<CGIS_GraticuleGrid> copy(new CGIS_GraticuleGrid());
  EXPECT_EQ(copy->Copy(g.get()), copy.get());
  ExpectSameValues(g.get(), copy.get());
  EXPECT_EQ(copy->Copy(copy.get()), copy.get());
}

// A sheet that edits the hatch page's values and answers as told.
bool g_confirm = false;
bool HatchPageSheet(IGIS_MapGrid* grid, const char* title) {
  EXPECT_STREQ(title, "经纬网属性");
  auto* g = dynamic_cast<IGIS_GraticuleGrid*>(grid);
  Owned<IGIS_Symbol> symbol(md::test::NewLineSymbol(RGB(250, 0, 250), 0.9));
  g->SetMainHatchCount(9);
  g->SetSubHatchCount(6);
  g->SetMainHatchLength(345);
  g->SetHatchLength(12.5);
  g->SetHatchDirectional(false);
  g->SetSubHatchDirectional(false);
  g->SetHatchIntervalX(0.5);
  g->SetMainHatchLineSymbolPtr(symbol.get());
  g->GetGridSpacing()->SetXIntervalSize(0.75);
  g->SetGridlineType(GIS_GRIDLINE_MARKS);
  return g_confirm;
}

TEST(GraticuleGrid, CancelRestoresTheStoredFormAndOkKeepsTheEdits) {
  const md::layout::grid::GridSheetRunner previous =
      md::layout::grid::SetGridSheetRunner(GIS_MAPGRID_GRATICULE, &HatchPageSheet);
  for (bool confirm : {false, true}) {
    g_confirm = confirm;
    Owned<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid());
    Owned<DmsLabelDouble> label(new DmsLabelDouble());
    g->SetLabelFormat(label.get());
    const std::vector<BYTE> before = Stored(g.get());
    EXPECT_EQ(g->OnOpenPropertyDlg(), confirm);
    if (confirm) {
      EXPECT_EQ(g->GetMainHatchCount(), 9);
      EXPECT_EQ(g->GetMainHatchLength(), 345);
      EXPECT_EQ(g->GetGridSpacing()->GetXIntervalSize(), 0.75);
      EXPECT_NE(Stored(g.get()), before);
    } else {
      EXPECT_EQ(Stored(g.get()), before);
      EXPECT_NE(g->GetLabelFormat(), nullptr);
    }
  }
  md::layout::grid::SetGridSheetRunner(GIS_MAPGRID_GRATICULE, previous);
  // Without the sheet nothing runs and nothing changes.
  md::layout::grid::SetGridSheetRunner(GIS_MAPGRID_GRATICULE, nullptr);
  Owned<CGIS_GraticuleGrid> g(new CGIS_GraticuleGrid());
  const std::vector<BYTE> before = Stored(g.get());
  EXPECT_FALSE(g->OnOpenPropertyDlg());
  EXPECT_EQ(Stored(g.get()), before);
  md::layout::grid::SetGridSheetRunner(GIS_MAPGRID_GRATICULE, previous);
}

}  // namespace
