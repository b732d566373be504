// The label factory and the label base: types, rebuilding from stored
// bytes, the common keys and the common copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"
#include "tests/support/logmark.h"

namespace md::test {
namespace {

constexpr const char* kFromBuffer = "GIS_CreateMapGridLabelFormatObjectFromDataBuffer";

struct Offsets {
  int lx, rx, tx, bx, ly, ry, ty, by;
  bool operator==(const Offsets&) const = default;
};
Offsets OffsetsOf(IGIS_GridLabel* l) {
  Offsets o{};
  l->GetLabelOffsetX(&o.lx, &o.rx, &o.tx, &o.bx);
  l->GetLabelOffsetY(&o.ly, &o.ry, &o.ty, &o.by);
  return o;
}

TEST(LabelFactory, MakesTheClassesOfItsTableAndNothingForOtherTypes) {
  // The types whose class is in the library make labels of that type; the
  // others, type 3 and numbers outside 0..7 make nothing, without a record.
  const struct {
    int type;
    bool made;
  } rows[] = {{-1, false}, {0, true}, {1, true}, {2, true}, {3, false},
              {4, true},   {5, true}, {6, true}, {7, true}, {8, false}};
  LogMark mark;
  for (const auto& r : rows) {
    ReleasePtr<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(r.type));
    EXPECT_EQ(label != nullptr, r.made) << r.type;
    if (label) {
      EXPECT_EQ(label->GetType(), r.type);
    }
  }
  EXPECT_EQ(mark.Count(), 0u);
}

// Labels write their stored form straight into its bytes: they must be
// those a property set holding the same fields writes, and a label rebuilt
// from them (the factory reads the set once) stores them again unchanged.
TEST(LabelFactory, EveryLabelStoresWhatAPropertySetHoldingItsKeysWrites) {
  for (int type = GIS_GRIDLABEL_DMS; type <= GIS_GRIDLABEL_INDEX_ROUNDED; ++type) {
    ReleasePtr<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(type));
    if (!label) continue;
    label->SetLabelOffset(-3);
    label->SetLabelAlignment(true, false, true, false);
    ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(label->Save(b.get())) << type;
    const std::vector<BYTE> bytes(b->GetData(), b->GetData() + b->GetSize());
    ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
    ASSERT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_READ, 0));
    ReleasePtr<IGIS_DataBuffer> rewritten(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(set->Archive(rewritten.get(), GIS_ARCHIVE_WRITE, 0));
    EXPECT_EQ(std::vector<BYTE>(rewritten->GetData(), rewritten->GetData() + rewritten->GetSize()), bytes)
        << type;
    ReleasePtr<IGIS_GridLabel> rebuilt(GIS_CreateMapGridLabelFormatObjectFromDataBuffer(b.get()));
    ASSERT_TRUE(rebuilt) << type;
    EXPECT_EQ(rebuilt->GetLabelOffset(), -3) << type;
    ReleasePtr<IGIS_DataBuffer> again(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(rebuilt->Save(again.get()));
    EXPECT_EQ(std::vector<BYTE>(again->GetData(), again->GetData() + again->GetSize()), bytes) << type;
  }
}

// The common offset a label keeps when set is the one it reads back: an
// offset below -10000 is ignored by the setter as by the reader.
TEST(LabelFactory, TheCommonOffsetSetIsTheOneReadBack) {
  const int rows[][2] = {{-20000, 500}, {-10001, 500}, {-10000, -10000}};  // set, kept
  for (const auto& [set, kept] : rows) {
    ReleasePtr<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_DMS));
    label->SetLabelOffset(500);
    label->SetLabelOffset(set);
    EXPECT_EQ(label->GetLabelOffset(), kept) << set;
    ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(label->Save(b.get()));
    ReleasePtr<IGIS_GridLabel> rebuilt(GIS_CreateMapGridLabelFormatObjectFromDataBuffer(b.get()));
    EXPECT_EQ(rebuilt->GetLabelOffset(), kept) << set;
  }
}

// Bytes that hold no readable set: every label refuses them with a record,
// keeps what it held, and the factory makes nothing of them.
TEST(LabelFactory, EveryLabelRefusesDamagedBytesAndKeepsItsState) {
  const std::vector<BYTE> damaged = {'M', 'D', 'P', 'S', 1, 0, 0, 0, 9, 9, 9};
  for (int type = GIS_GRIDLABEL_DMS; type <= GIS_GRIDLABEL_INDEX_ROUNDED; ++type) {
    ReleasePtr<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(type));
    if (!label) continue;
    label->SetLabelOffset(77);
    ReleasePtr<IGIS_DataBuffer> before(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(label->Save(before.get()));
    BufferPtr b = BufferOf(damaged);
    LogMark mark;
    EXPECT_FALSE(label->Open(b.get())) << type;
    EXPECT_GT(mark.Count(), 0u) << type;
    EXPECT_EQ(Stored(label.get()),
              std::vector<BYTE>(before->GetData(), before->GetData() + before->GetSize()))
        << type;
    EXPECT_EQ(GIS_CreateMapGridLabelFormatObjectFromDataBuffer(b.get()), nullptr) << type;
  }
}

TEST(LabelFactory, RebuildsStoredLabelsAndRefusesWhatItCannot) {
  BufferPtr noType = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "LabelOffset", 300); });
  BufferPtr type3 = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "GridLabelType", 3); });
  BufferPtr damaged = BufferOf({'x', 'y', 'z', 1, 2, 3, 4, 5, 6, 7, 8});
  const struct {
    const char* what;
    IGIS_DataBuffer* buffer;
    const char* method;
    const char* text;  // NULL: no record
  } rows[] = {
      {"NULL buffer", nullptr, "GIS_CreateMapGridLabelFormatObjectFromDataBuffer函数", "pDataBuffer == NULL"},
      {"no GridLabelType", noType.get(), nullptr, nullptr},
      {"type 3", type3.get(), kFromBuffer, "不能创建p_labelFormat==NULL"},
      {"damaged bytes", damaged.get(), kFromBuffer, "不能从DataBuffer读出数据"},
  };
  for (const auto& r : rows) {
    LogMark mark;
    EXPECT_EQ(GIS_CreateMapGridLabelFormatObjectFromDataBuffer(r.buffer), nullptr) << r.what;
    if (r.text == nullptr) {
      EXPECT_EQ(mark.Count(), 0u) << r.what;
    } else {
      EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, r.method, r.text)) << r.what;
    }
  }

  // A stored formatted label comes back as one, with its values.
  ReleasePtr<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_FORMATTED));
  label->SetLabelOffsetX(1, 2, 3, 4);
  label->SetLabelAlignment(true, false, true, false);
  const std::vector<BYTE> bytes = Stored(label.get());
  BufferPtr b = BufferOf(bytes);
  ReleasePtr<IGIS_GridLabel> rebuilt(GIS_CreateMapGridLabelFormatObjectFromDataBuffer(b.get()));
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(rebuilt->GetType(), GIS_GRIDLABEL_FORMATTED);
  EXPECT_EQ(Stored(rebuilt.get()), bytes);
}

TEST(LabelBase, HasTheDefaultsOfEveryLabel) {
  ReleasePtr<TestLabel> label(new TestLabel);
  EXPECT_EQ(label->GetLabelOffset(), 200);
  EXPECT_EQ(OffsetsOf(label.get()), (Offsets{200, 200, 0, 0, 0, 0, 200, 200}));
  bool l = true, r = true, t = true, b = true;
  label->GetLabelAlignment(&l, &r, &t, &b);
  EXPECT_FALSE(l || r || t || b);
  label->GetLabelVisible(&l, &t, &r, &b);
  EXPECT_TRUE(l && t && r && b);
  ASSERT_NE(label->GetTextSymbolPtr(), nullptr);
  EXPECT_EQ(label->GetTextSymbolPtr()->GetType(), GIS_SYMBOL_TEXT);
  EXPECT_EQ(label->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight, -8);
  EXPECT_EQ(label->GetMapGrid(), nullptr);
  // One static empty block for every label.
  ReleasePtr<TestLabel> other(new TestLabel);
  EXPECT_EQ(label->GetStaticData(), other->GetStaticData());
  EXPECT_STREQ(label->GetStaticData(), "");
}

TEST(LabelBase, SettersChangeOnlyWhatTheyName) {
  ReleasePtr<TestLabel> label(new TestLabel);
  label->SetLabelOffset(555);
  EXPECT_EQ(label->GetLabelOffset(), 555);
  EXPECT_EQ(OffsetsOf(label.get()), (Offsets{200, 200, 0, 0, 0, 0, 200, 200}));
  label->SetLabelOffsetX(1, 2, 3, 4);
  label->SetLabelOffsetY(5, 6, 7, 8);
  EXPECT_EQ(OffsetsOf(label.get()), (Offsets{1, 2, 3, 4, 5, 6, 7, 8}));
  label->SetLabelAlignment(true, false, false, true);
  bool l = false, r = true, t = true, b = false;
  label->GetLabelAlignment(&l, &r, &t, &b);
  EXPECT_TRUE(l && !r && !t && b);

  // The symbol held changes nothing; another is copied; NULL leaves none.
  IGIS_Symbol* held = label->GetTextSymbolPtr();
  LogMark mark;
  label->SetTextSymbolPtr(held);
  EXPECT_EQ(label->GetTextSymbolPtr(), held);
  ReleasePtr<IGIS_Symbol> mine(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  mine->GetFontSizePtr()->lfHeight = 30;
  label->SetTextSymbolPtr(mine.get());
  EXPECT_NE(label->GetTextSymbolPtr(), mine.get());
  mine->GetFontSizePtr()->lfHeight = 12;
  EXPECT_EQ(label->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight, 30);
  EXPECT_EQ(mark.Count(), 0u);
  label->SetTextSymbolPtr(nullptr);
  EXPECT_EQ(label->GetTextSymbolPtr(), nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "IGIS_GridLabel::SetTextSymbolPtr", "right == NULL"));

  // A NULL grid leaves the binding.
  auto* grid = reinterpret_cast<IGIS_MapGrid*>(label.get());
  label->SetMapGrid(grid);
  label->SetMapGrid(nullptr);
  EXPECT_EQ(label->GetMapGrid(), grid);
}

TEST(LabelBase, ReadsMissingSideOffsetsFromTheCommonOffset) {
  const struct {
    const char* what;
    std::function<void(IGIS_PropertySet*)> fill;
    int labelOffset;
    Offsets offsets;
  } rows[] = {
      {"only LabelOffset 300",
       [](IGIS_PropertySet* s) { PutInt(s, "LabelOffset", 300); },
       300,
       {300, 300, 0, 0, 0, 0, 300, 300}},
      {"LabelOffset -10001 reads 200",
       [](IGIS_PropertySet* s) { PutInt(s, "LabelOffset", -10001); },
       200,
       {200, 200, 0, 0, 0, 0, 200, 200}},
      {"LabelOffset -10000 stays",
       [](IGIS_PropertySet* s) { PutInt(s, "LabelOffset", -10000); },
       -10000,
       {-10000, -10000, 0, 0, 0, 0, -10000, -10000}},
      {"no LabelOffset: the one held",
       [](IGIS_PropertySet* s) { PutInt(s, "TopLabelOffsetX", 9); },
       123,
       {123, 123, 9, 0, 0, 0, 123, 123}},
      {"stored side offsets win",
       [](IGIS_PropertySet* s) {
         PutInt(s, "LabelOffset", 300);
         PutInt(s, "LeftLabelOffsetX", 1);
         PutInt(s, "BottomLabelOffsetY", 2);
         PutInt(s, "RightLabelOffsetY", 3);
       },
       300,
       {1, 300, 0, 0, 0, 3, 300, 2}},
  };
  for (const auto& r : rows) {
    ReleasePtr<TestLabel> label(new TestLabel);
    label->SetLabelOffset(123);
    label->SetLabelOffsetX(7, 7, 7, 7);
    label->SetLabelOffsetY(7, 7, 7, 7);
    BufferPtr b = BufferWith(r.fill);
    EXPECT_TRUE(label->Open(b.get())) << r.what;
    EXPECT_EQ(label->GetLabelOffset(), r.labelOffset) << r.what;
    EXPECT_EQ(OffsetsOf(label.get()), r.offsets) << r.what;
  }
}

TEST(LabelBase, StoresOneSetWithTheClassKeysFirstAndReadsItBack) {
  ReleasePtr<TestLabel> label(new TestLabel);
  label->own = 42;
  label->SetLabelOffset(321);
  label->SetLabelOffsetX(1, 2, 3, 4);
  label->SetLabelOffsetY(5, 6, 7, 8);
  label->SetLabelAlignment(true, true, false, true);
  label->SetLabelVisible(false, true, false, true);
  label->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight = 14;
  const std::vector<BYTE> bytes = Stored(label.get());
  const std::vector<std::string> keys = KeysOf(bytes);
  const std::vector<std::string> expected = {"OwnKey",
                                             "LeftLabelAlignment",
                                             "GridLabelType",
                                             "rightLabelAlignment",
                                             "bottomLabelAlignment",
                                             "TopLabelAlignment",
                                             "LeftLabelVisible",
                                             "rightLabelVisible",
                                             "bottomLabelVisible",
                                             "TopLabelVisible",
                                             "LabelOffset",
                                             "TextSymbol",
                                             "LeftLabelOffsetX",
                                             "RightLabelOffsetX",
                                             "TopLabelOffsetX",
                                             "BottomLabelOffsetX",
                                             "LeftLabelOffsetY",
                                             "RightLabelOffsetY",
                                             "TopLabelOffsetY",
                                             "BottomLabelOffsetY"};
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(std::count(keys.begin(), keys.end(), "LabelOffset"), 1);
  SetPtr set = SetOf(bytes);
  EXPECT_EQ(set->GetProperty("OwnKey")->GetInt(), 42);
  EXPECT_EQ(set->GetProperty("GridLabelType")->GetInt(), 77);
  EXPECT_STREQ(set->GetProperty("TopLabelOffsetY")->GetDescription(), "TopLabelOffsetY");

  // Saving again into the same buffer keeps one set; reading it gives the same label.
  BufferPtr b = BufferOf(bytes);
  EXPECT_TRUE(label->Save(b.get()));
  EXPECT_EQ(KeysOf(std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize())), expected);
  ReleasePtr<TestLabel> read(new TestLabel);
  EXPECT_TRUE(read->Open(b.get()));
  EXPECT_EQ(Stored(read.get()).size(), bytes.size());
  EXPECT_EQ(OffsetsOf(read.get()), (Offsets{1, 2, 3, 4, 5, 6, 7, 8}));
  bool l = false, t = true, r = true, bo = false;
  read->GetLabelVisible(&l, &t, &r, &bo);
  EXPECT_TRUE(!l && t && !r && bo);
  EXPECT_EQ(read->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight, 14);
  read->own = 42;
  EXPECT_EQ(Stored(read.get()), bytes);
}

TEST(LabelBase, RefusesBuffersItCannotReadAndKeepsItsState) {
  ReleasePtr<TestLabel> label(new TestLabel);
  label->SetLabelOffset(77);
  const std::vector<BYTE> before = Stored(label.get());
  BufferPtr damaged = BufferOf({1, 2, 3});
  LogMark mark;
  EXPECT_FALSE(label->Open(nullptr));
  EXPECT_FALSE(label->Open(damaged.get()));
  EXPECT_FALSE(label->Save(nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "IGIS_GridLabel::Open", "pDataBuffer为空"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "IGIS_GridLabel::Open", "b_ret == FALSE"));
  EXPECT_EQ(Stored(label.get()), before);

  // A label without a text symbol stores the key empty and reads back without one.
  label->SetTextSymbolPtr(nullptr);
  const std::vector<BYTE> bare = Stored(label.get());
  EXPECT_EQ(SetOf(bare)->GetProperty("TextSymbol")->GetDataBuffer()->GetSize(), 0);
  ReleasePtr<TestLabel> read(new TestLabel);
  BufferPtr b = BufferOf(bare);
  EXPECT_TRUE(read->Open(b.get()));
  EXPECT_NE(read->GetTextSymbolPtr(), nullptr);  // an empty key leaves the symbol held
}

TEST(LabelBase, CopiesTheCommonStateWithItsOwnSymbolAndKeepsItsGrid) {
  auto* source = new TestLabel;
  source->SetLabelOffset(11);
  source->SetLabelOffsetX(1, 2, 3, 4);
  source->SetLabelOffsetY(5, 6, 7, 8);
  source->SetLabelAlignment(false, true, true, false);
  source->SetLabelVisible(true, false, true, false);
  source->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight = 21;
  auto* gridA = reinterpret_cast<IGIS_MapGrid*>(source);
  source->SetMapGrid(gridA);

  ReleasePtr<TestLabel> target(new TestLabel);
  auto* gridB = reinterpret_cast<IGIS_MapGrid*>(target.get());
  target->SetMapGrid(gridB);
  EXPECT_EQ(target->CopyFrom(source), target.get());
  EXPECT_EQ(target->GetMapGrid(), gridB);
  EXPECT_EQ(target->GetLabelOffset(), 11);
  EXPECT_EQ(OffsetsOf(target.get()), (Offsets{1, 2, 3, 4, 5, 6, 7, 8}));
  bool l = true, t = true, r = false, b = true;
  target->GetLabelVisible(&l, &t, &r, &b);
  EXPECT_TRUE(l && !t && r && !b);
  target->GetLabelAlignment(&l, &r, &t, &b);
  EXPECT_TRUE(!l && r && t && !b);
  EXPECT_NE(target->GetTextSymbolPtr(), source->GetTextSymbolPtr());
  source->Release();
  // The source's symbol is gone; the copy's stays valid.
  EXPECT_EQ(target->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight, 21);
  EXPECT_EQ(target->CopyFrom(nullptr), target.get());
}

}  // namespace
}  // namespace md::test
