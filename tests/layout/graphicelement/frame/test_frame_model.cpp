// The frame's values, symbol ownership, copies and stored form.
#include <cstring>
#include <memory>
#include <vector>

#include "tests/fuzz/fuzz_inputs.h"
#include "tests/layout/graphicelement/frame/frametest.h"

namespace {

using namespace md::test;

Frame NewFrame() { return Frame(GIS_CreateFramePropertyObject()); }

// A frame with a value in every field and all six symbols.
Frame FullFrame() {
  Frame f = NewFrame();
  Symbol border(LineSymbol(RGB(10, 20, 30), 0.7));
  Symbol back(FillSymbol(RGB(200, 210, 220)));
  Symbol shadow(FillSymbol(RGB(90, 90, 90)));
  Symbol2 border2(LineSymbol2(RGB(1, 2, 3), 0.5));
  Symbol2 back2(FillSymbol2(RGB(4, 5, 6)));
  Symbol2 shadow2(FillSymbol2(RGB(7, 8, 9)));
  f->SetBorderSymbolPtr(border.p);
  f->SetBackSymbolPtr(back.p);
  f->SetShadowSymbolPtr(shadow.p);
  f->SetBorderSymbol2Ptr(border2.p);
  f->SetBackSymbol2Ptr(back2.p);
  f->SetShadowSymbol2Ptr(shadow2.p);
  f->SetBorderX(11);
  f->SetBorderY(12);
  f->SetBackX(13);
  f->SetBackY(14);
  f->SetBorderGaps(21, 22, 23, 24);
  f->SetBackGaps(31, 32, 33, 34);
  f->SetBorderVisible(true, false, false, true);
  f->SetShadowOffSetX(-150);
  f->SetShadowOffSetY(250);
  f->SetBackRounding(5);
  f->SetBorderRounding(60);
  f->SetShowOffsetRounding(100);
  f->SetDraftMode(true);
  return f;
}

// A property set written into a new buffer.
IGIS_DataBuffer* BufferOf(IGIS_PropertySet* set) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  set->Archive(b, GIS_ARCHIVE_WRITE, 0);
  return b;
}

TEST(FrameModel, DefaultsAndGapSetters) {
  Frame f = NewFrame();
  ASSERT_NE(f, nullptr);
  const FrameValues v = ValuesOf(f.get());
  EXPECT_EQ(v.borderX, 0);
  EXPECT_EQ(v.backY, 0);
  EXPECT_EQ(v.shadowX, 0);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(v.borderGaps[i], 0);
    EXPECT_EQ(v.backGaps[i], 0);
    EXPECT_TRUE(v.visible[i]);
    EXPECT_TRUE(v.symbols[i].empty());
  }
  EXPECT_FALSE(v.draft);
  EXPECT_EQ(v.backRounding + v.borderRounding + v.shadowRounding, 0);
  EXPECT_EQ(f->GetBackSymbolPtr(), nullptr);
  EXPECT_EQ(f->GetBackSymbol2Ptr(), nullptr);

  // X sets left and right, Y top and bottom; per-side gaps leave X and Y.
  f->SetBorderGaps(1, 2, 3, 4);
  f->SetBorderX(250);
  int l, r, t, b;
  f->GetBorderGaps(&l, &r, &t, &b);
  EXPECT_EQ((std::vector<int>{l, r, t, b}), (std::vector<int>{250, 250, 3, 4}));
  f->SetBorderGaps(5, 6, 7, 8);
  EXPECT_EQ(f->GetBorderX(), 250);
  EXPECT_EQ(f->GetBorderY(), 0);
  f->SetBackY(-40);
  f->GetBackGaps(&l, &r, &t, &b);
  EXPECT_EQ((std::vector<int>{l, r, t, b}), (std::vector<int>{0, 0, -40, -40}));
  f->SetBackGaps(9, 9, 9, 9);
  EXPECT_EQ(f->GetBackY(), -40);
}

TEST(FrameModel, RoundingsKeepOnlyPercentages) {
  Frame f = NewFrame();
  f->SetBackRounding(100);
  f->SetBackRounding(101);
  f->SetBackRounding(-1);
  EXPECT_EQ(f->GetBackRounding(), 100);
  f->SetBorderRounding(0);
  f->SetBorderRounding(500);
  EXPECT_EQ(f->GetBorderRounding(), 0);
  f->SetShowOffsetRounding(37);
  f->SetShowOffsetRounding(-37);
  EXPECT_EQ(f->GetShowOffsetRounding(), 37);
}

TEST(FrameModel, SymbolSettersKeepTheirOwnCopies) {
  Frame f = NewFrame();
  Symbol line(LineSymbol(RGB(255, 0, 0), 0.3));
  f->SetBorderSymbolPtr(line.p);
  IGIS_Symbol* held = f->GetBorderSymbolPtr();
  ASSERT_NE(held, nullptr);
  EXPECT_NE(held, line.p);
  EXPECT_EQ(Bytes(held), Bytes(line.p));
  // The caller's symbol may change or go without touching the frame's.
  line.p->SetColor(RGB(0, 255, 0));
  EXPECT_EQ(held->GetColor(), RGB(255, 0, 0));
  // Handing back the held pointer keeps the same copy.
  f->SetBorderSymbolPtr(held);
  EXPECT_EQ(f->GetBorderSymbolPtr(), held);

  LogMark mark;
  f->SetBorderSymbolPtr(nullptr);
  f->SetShadowSymbol2Ptr(nullptr);
  EXPECT_EQ(f->GetBorderSymbolPtr(), nullptr);
  EXPECT_TRUE(mark.Has(6, "CGIS_FrameProperty::SetBorderSymbolPtr", "pSymbol == NULL"));
  EXPECT_TRUE(mark.Has(6, "CGIS_FrameProperty::SetShadowSymbol2Ptr", "pSymbol == NULL"));

  // A symbol of the wrong kind is not kept (and not leaked).
  Symbol fill(FillSymbol(RGB(1, 1, 1)));
  f->SetBorderSymbolPtr(fill.p);
  EXPECT_EQ(f->GetBorderSymbolPtr(), nullptr);
  Symbol2 line2(LineSymbol2(RGB(1, 1, 1), 0.2));
  f->SetBackSymbol2Ptr(line2.p);
  EXPECT_EQ(f->GetBackSymbol2Ptr(), nullptr);
}

TEST(FrameModel, GlobalSwitchGivesWhiteBackgroundsInBothForms) {
  {
    BackSymbolSwitch on(true);
    Frame f = NewFrame();
    IGIS_Symbol* back = f->GetBackSymbolPtr();
    IGIS_SymbolV2* back2 = f->GetBackSymbol2Ptr();
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back2, nullptr);
    EXPECT_EQ(back->GetType(), GIS_SYMBOL_BACKGROUND);
    EXPECT_EQ(back->GetColor(), 0xFFFFFFu);
    EXPECT_EQ(back->GetColor2(), 0xFFFFFFu);
    EXPECT_EQ(back->GetColor3(), 0xFFFFFFu);
    EXPECT_NE(back2->AsFillSymbol(), nullptr);
    EXPECT_EQ(back2->GetColor(), 0xFFFFFFu);
    EXPECT_EQ(back2->GetColor2(), 0xFFFFFFu);
    EXPECT_EQ(f->GetBorderSymbolPtr(), nullptr);

    // A stored "no background" keeps the default of the new object.
    Frame plain = NewFrame();
    plain->SetBackSymbolPtr(nullptr);
    plain->SetBackSymbol2Ptr(nullptr);
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
    plain->Save(b);
    Frame read(GIS_CreateFramePropertyFromBuffer(b));
    b->Release();
    EXPECT_EQ(Bytes(read->GetBackSymbolPtr()), Bytes(back));
    EXPECT_EQ(Bytes(read->GetBackSymbol2Ptr()), Bytes(back2));
  }
  Frame off = NewFrame();
  EXPECT_EQ(off->GetBackSymbolPtr(), nullptr);
  EXPECT_EQ(off->GetBackSymbol2Ptr(), nullptr);
}

TEST(FrameModel, CloneCopiesEveryValueAndSymbol) {
  Frame f = FullFrame();
  Frame copy(f->Clone());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(ValuesOf(copy.get()), ValuesOf(f.get()));
  EXPECT_NE(copy->GetBorderSymbolPtr(), f->GetBorderSymbolPtr());
  EXPECT_NE(copy->GetBackSymbol2Ptr(), f->GetBackSymbol2Ptr());

  // Missing symbols clear the copy's default background, with no record:
  // the source has none, nothing is missing.
  BackSymbolSwitch on(true);
  Frame bare = NewFrame();
  bare->SetBackSymbolPtr(nullptr);
  bare->SetBackSymbol2Ptr(nullptr);
  LogMark mark;
  Frame bareCopy(bare->Clone());
  EXPECT_EQ(bareCopy->GetBackSymbolPtr(), nullptr);
  EXPECT_EQ(bareCopy->GetBackSymbol2Ptr(), nullptr);
  EXPECT_EQ(mark.Count(), 0u);
}

// Saving again after a change, a value or a symbol edited through its
// pointer, gives what a fresh copy saves, not the bytes kept from before.
TEST(FrameModel, ASaveAfterAChangeFollowsIt) {
  auto saved = [](IGIS_FrameProperty* f) {
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
    EXPECT_TRUE(f->Save(b));
    std::vector<BYTE> bytes(b->GetData(), b->GetData() + b->GetSize());
    b->Release();
    return bytes;
  };
  const std::vector<void (*)(IGIS_FrameProperty*)> changes = {
      [](IGIS_FrameProperty* f) { f->SetShadowOffSetX(-151); },
      [](IGIS_FrameProperty* f) { f->SetDraftMode(false); },
      [](IGIS_FrameProperty* f) { f->GetBorderSymbolPtr()->SetColor(RGB(11, 20, 30)); },
      [](IGIS_FrameProperty* f) { f->GetBackSymbol2Ptr()->SetColor(RGB(5, 5, 6)); },
      [](IGIS_FrameProperty* f) { f->SetShadowSymbolPtr(nullptr); },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    Frame f = FullFrame();
    const std::vector<BYTE> before = saved(f.get());
    EXPECT_EQ(saved(f.get()), before) << i;
    changes[i](f.get());
    Frame copy(f->Clone());
    EXPECT_EQ(saved(f.get()), saved(copy.get())) << i;
    EXPECT_NE(saved(f.get()), before) << i;
  }
}

TEST(FrameModel, StoredFrameReadsBackEqual) {
  Frame f = FullFrame();
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  EXPECT_TRUE(f->Save(b));

  // The stored form: 34 keys in their order, with their types and descriptions.
  struct Key {
    const char* key;
    int type;
    const char* description;
  };
  const int I = GIS_FIELD_TYPE_INT, Bo = GIS_FIELD_TYPE_BOOL, Bu = GIS_FIELD_TYPE_BUFFER;
  const Key keys[] = {
      {"BackX", I, "背景X"},
      {"BackY", I, "背景Y"},
      {"IsBackSymbol", Bo, "是否存在背景符号"},
      {"BackSymbol", Bu, "背景符号"},
      {"IsBackSymbol2", Bo, "是否存在背景符号"},
      {"BackSymbol2", Bu, "背景符号"},
      {"BorderX", I, "边界X"},
      {"BorderY", I, "边界Y"},
      {"IsBorderSymbol", Bo, "是否存在边界符号"},
      {"BorderSymbol", Bu, "边界符号"},
      {"IsBorderSymbol2", Bo, "是否存在边界符号"},
      {"BorderSymbol2", Bu, "边界符号"},
      {"ShadowOffSetX", I, "阴影X"},
      {"ShadowOffSetY", I, "阴影Y"},
      {"IsShadowOffSetSymbol", Bo, "是否存在阴影符号"},
      {"ShadowOffSetSymbol", Bu, "阴影符号"},
      {"IsShadowOffSetSymbol2", Bo, "是否存在阴影符号"},
      {"ShadowOffSetSymbol2", Bu, "阴影符号"},
      {"BorderLeft", I, "BorderLeft"},
      {"BorderRight", I, "BorderRight"},
      {"BorderTop", I, "BorderTop"},
      {"BorderBottom", I, "BorderBottom"},
      {"BorderLeftVisible", Bo, "BorderLeftVisible"},
      {"BorderRightVisible", Bo, "BorderRightVisible"},
      {"BorderTopVisible", Bo, "BorderTopVisible"},
      {"BorderBottomVisible", Bo, "BorderBottomVisible"},
      {"BackLeft", I, "BackLeft"},
      {"BackRight", I, "BackRight"},
      {"BackTop", I, "BackTop"},
      {"BackBottom", I, "BackBottom"},
      {"BackRounding", I, "BackRounding"},
      {"BorderRounding", I, "BorderRounding"},
      {"ShowOffsetRounding", I, "ShowOffsetRounding"},
      {"DraftMode", Bo, "DraftMode"},
  };
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  ASSERT_TRUE(set->Archive(b, GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(set->GetCount(), 34);
  IGIS_Field* field = set->GetFirstPosition();
  for (const Key& k : keys) {
    ASSERT_NE(field, nullptr) << k.key;
    EXPECT_STREQ(field->GetLabel(), k.key);
    EXPECT_EQ(field->GetType(), k.type) << k.key;
    EXPECT_STREQ(field->GetDescription(), k.description) << k.key;
    field = set->GetNext(field);
  }
  EXPECT_EQ(field, nullptr);
  // Held symbols are stored with a true flag and their bytes.
  EXPECT_TRUE(set->GetProperty("IsShadowOffSetSymbol2")->GetBool());
  EXPECT_GT(set->GetProperty("ShadowOffSetSymbol2")->GetDataBuffer()->GetSize(), 0);
  EXPECT_EQ(set->GetProperty("BorderBottom")->GetInt(), 24);
  EXPECT_FALSE(set->GetProperty("BorderRightVisible")->GetBool());
  set->Release();

  LogMark mark;
  Frame read(GIS_CreateFramePropertyFromBuffer(b));
  b->Release();
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(ValuesOf(read.get()), ValuesOf(f.get()));
  EXPECT_TRUE(mark.Records().empty());

  // An empty frame stores empty symbol buffers with false flags.
  Frame empty = NewFrame();
  IGIS_DataBuffer* eb = GIS_CreateDataBufferObject(0);
  empty->Save(eb);
  IGIS_PropertySet* es = GIS_CreatePropertySetObject();
  es->Archive(eb, GIS_ARCHIVE_READ, 0);
  EXPECT_FALSE(es->GetProperty("IsBorderSymbol2")->GetBool());
  EXPECT_EQ(es->GetProperty("BorderSymbol2")->GetDataBuffer()->GetSize(), 0);
  es->Release();
  Frame emptyRead(GIS_CreateFramePropertyFromBuffer(eb));
  eb->Release();
  EXPECT_EQ(ValuesOf(emptyRead.get()), ValuesOf(empty.get()));
}

// The frame writes its bytes itself: they are exactly what a property set
// holding the same keys writes. Values stored with other types, in another
// order, read as the field getters give them.
TEST(FrameModel, StoredBytesMatchThePropertySetsAndOtherTypesConvert) {
  Frame f = FullFrame();
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  ASSERT_TRUE(f->Save(b));
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  ASSERT_TRUE(set->Archive(b, GIS_ARCHIVE_READ, 0));
  IGIS_DataBuffer* again = BufferOf(set);
  ASSERT_EQ(again->GetSize(), b->GetSize());
  EXPECT_EQ(std::memcmp(again->GetData(), b->GetData(), static_cast<std::size_t>(b->GetSize())), 0);
  again->Release();
  set->Release();
  b->Release();

  IGIS_PropertySet* other = GIS_CreatePropertySetObject();
  other->AddProperty("DraftMode", "", GIS_FIELD_TYPE_INT, 1)->SetInt(2);
  other->AddProperty("BorderX", "", GIS_FIELD_TYPE_STRING, 1)->SetString("12.7 mm");
  other->AddProperty("BorderY", "", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(-7.9);
  other->AddProperty("BorderTopVisible", "", GIS_FIELD_TYPE_STRING, 1)->SetString("TRUE");
  other->AddProperty("BorderLeftVisible", "", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(0.0);
  other->AddProperty("BackX", "", GIS_FIELD_TYPE_BOOL, 1)->SetBool(true);
  IGIS_DataBuffer* ob = BufferOf(other);
  other->Release();
  Frame read = NewFrame();
  read->Open(ob);
  ob->Release();
  EXPECT_TRUE(read->GetDraftMode());
  EXPECT_EQ(read->GetBorderX(), 12);
  EXPECT_EQ(read->GetBorderY(), -7);
  EXPECT_EQ(read->GetBackX(), 1);
  bool v[4];
  read->GetBorderVisible(&v[0], &v[1], &v[2], &v[3]);
  EXPECT_FALSE(v[0]);
  EXPECT_TRUE(v[2]);
}

TEST(FrameModel, OldBufferWithoutPerSideKeysDerivesThemFromXAndY) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("BackX", "背景X", GIS_FIELD_TYPE_INT, 1)->SetInt(15);
  set->AddProperty("BackY", "背景Y", GIS_FIELD_TYPE_INT, 1)->SetInt(25);
  set->AddProperty("IsBackSymbol", "", GIS_FIELD_TYPE_BOOL, 1)->SetBool(false);
  set->AddProperty("BorderX", "边界X", GIS_FIELD_TYPE_INT, 1)->SetInt(35);
  set->AddProperty("BorderY", "边界Y", GIS_FIELD_TYPE_INT, 1)->SetInt(45);
  set->AddProperty("IsBorderSymbol", "", GIS_FIELD_TYPE_BOOL, 1)->SetBool(false);
  set->AddProperty("ShadowOffSetX", "", GIS_FIELD_TYPE_INT, 1)->SetInt(55);
  set->AddProperty("ShadowOffSetY", "", GIS_FIELD_TYPE_INT, 1)->SetInt(-65);
  set->AddProperty("IsShadowOffSetSymbol", "", GIS_FIELD_TYPE_BOOL, 1)->SetBool(false);
  IGIS_DataBuffer* b = BufferOf(set);
  set->Release();

  Frame f = NewFrame();
  f->SetBorderVisible(false, false, false, false);
  LogMark mark;
  f->Open(b);
  b->Release();
  int g[4];
  f->GetBorderGaps(&g[0], &g[1], &g[2], &g[3]);
  EXPECT_EQ((std::vector<int>{g[0], g[1], g[2], g[3]}), (std::vector<int>{35, 35, 45, 45}));
  f->GetBackGaps(&g[0], &g[1], &g[2], &g[3]);
  EXPECT_EQ((std::vector<int>{g[0], g[1], g[2], g[3]}), (std::vector<int>{15, 15, 25, 25}));
  bool v[4];
  f->GetBorderVisible(&v[0], &v[1], &v[2], &v[3]);
  EXPECT_TRUE(v[0] && v[1] && v[2] && v[3]);
  EXPECT_EQ(f->GetShadowOffSetY(), -65);
  EXPECT_TRUE(mark.Records().empty());
}

TEST(FrameModel, MissingAndDamagedBuffersGiveDefaultsWithRecords) {
  const FrameValues defaults = ValuesOf(NewFrame().get());
  // Garbage, an empty buffer and every truncation of a real stored frame.
  Frame full = FullFrame();
  IGIS_DataBuffer* good = GIS_CreateDataBufferObject(0);
  full->Save(good);
  std::vector<std::vector<BYTE>> inputs = {{0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3}, {}};
  const std::vector<BYTE> bytes(good->GetData(), good->GetData() + good->GetSize());
  good->Release();
  for (std::size_t n = 1; n < bytes.size(); n += 7) inputs.emplace_back(bytes.begin(), bytes.begin() + n);
  for (std::size_t i = 0; i < bytes.size(); i += 13) {
    std::vector<BYTE> flipped = bytes;
    flipped[i] ^= 0xA5;
    inputs.push_back(flipped);
  }

  for (const std::vector<BYTE>& in : inputs) {
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(static_cast<int>(in.size()));
    if (!in.empty()) std::memcpy(b->GetData(), in.data(), in.size());
    LogMark mark;
    Frame f(GIS_CreateFramePropertyFromBuffer(b));
    b->Release();
    ASSERT_NE(f, nullptr);
    if (in.empty()) {
      // Nothing stored yet: the defaults, and nothing is missing.
      EXPECT_EQ(ValuesOf(f.get()), defaults);
      EXPECT_EQ(mark.Count(), 0u);
    } else if (in.size() < 9) {
      // Nothing could be read: the defaults, and the missing keys recorded.
      EXPECT_EQ(ValuesOf(f.get()), defaults);
      EXPECT_TRUE(mark.Has(3, "CGIS_FrameProperty::Open", "BorderX 属性为空"));
      EXPECT_TRUE(mark.Has(3, "CGIS_FrameProperty::Open", "IsBackSymbol、IsBackSymbol2 属性全为空"));
      EXPECT_TRUE(mark.Has(3, "CGIS_FrameProperty::Open", "BorderSymbol、BorderSymbol2 属性全为空"));
    }
    // Whatever was read, the frame stays usable and stores itself again.
    IGIS_DataBuffer* again = GIS_CreateDataBufferObject(0);
    EXPECT_TRUE(f->Save(again));
    again->Release();
  }
  // A NULL buffer behaves as a damaged one.
  LogMark mark;
  Frame f(GIS_CreateFramePropertyFromBuffer(nullptr));
  EXPECT_EQ(ValuesOf(f.get()), defaults);
  EXPECT_TRUE(mark.Has(3, "CGIS_FrameProperty::Open", "ShadowOffSetY 属性为空"));
  EXPECT_FALSE(mark.Has(3, "CGIS_FrameProperty::Open", "BackX 属性为空"));
}

TEST(FrameModel, ADamagedBufferOverAnEditedFrameResetsOnlyTheSideValues) {
  // A refused buffer reads as an empty set: values with nothing to fall back
  // on stay, the per-side gaps fall back to the X and Y values and every side
  // becomes visible again.
  const std::vector<std::vector<BYTE>> damaged = {{}, {0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3}};
  for (const std::vector<BYTE>& in : damaged) {
    Frame f = FullFrame();
    FrameValues expected = ValuesOf(f.get());
    for (int i = 0; i < 4; ++i) {
      expected.borderGaps[i] = i < 2 ? f->GetBorderX() : f->GetBorderY();
      expected.backGaps[i] = i < 2 ? f->GetBackX() : f->GetBackY();
      expected.visible[i] = true;
    }
    ASSERT_NE(expected, ValuesOf(f.get()));  // the edited frame differs in exactly those
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(static_cast<int>(in.size()));
    if (!in.empty()) std::memcpy(b->GetData(), in.data(), in.size());
    EXPECT_TRUE(f->Open(b));
    b->Release();
    EXPECT_EQ(ValuesOf(f.get()), expected);
  }
}

TEST(FrameModel, StoredRoundingsOutsidePercentagesAreIgnored) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("BackRounding", "BackRounding", GIS_FIELD_TYPE_INT, 1)->SetInt(250);
  set->AddProperty("BorderRounding", "BorderRounding", GIS_FIELD_TYPE_INT, 1)->SetInt(-5);
  set->AddProperty("ShowOffsetRounding", "ShowOffsetRounding", GIS_FIELD_TYPE_INT, 1)->SetInt(40);
  IGIS_DataBuffer* b = BufferOf(set);
  set->Release();
  Frame f = NewFrame();
  f->SetBackRounding(10);
  f->SetBorderRounding(20);
  f->Open(b);
  b->Release();
  EXPECT_EQ(f->GetBackRounding(), 10);
  EXPECT_EQ(f->GetBorderRounding(), 20);
  EXPECT_EQ(f->GetShowOffsetRounding(), 40);
}

TEST(FrameModel, StoredSymbolOfTheWrongKindKeepsTheHeldOne) {
  Symbol fill(FillSymbol(RGB(1, 2, 3)));
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("IsBorderSymbol", "", GIS_FIELD_TYPE_BOOL, 1)->SetBool(true);
  fill.p->Save(set->AddProperty("BorderSymbol", "", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer());
  IGIS_DataBuffer* b = BufferOf(set);
  set->Release();
  Frame f = NewFrame();
  Symbol line(LineSymbol(RGB(9, 9, 9), 0.4));
  f->SetBorderSymbolPtr(line.p);
  f->Open(b);
  b->Release();
  EXPECT_EQ(Bytes(f->GetBorderSymbolPtr()), Bytes(line.p));
}

// Reading stored bytes in place gives what reading a buffer holding them
// gives: the same values and the same records, for a full, an empty and a
// damaged form.
TEST(FrameModel, StoredBytesReadInPlaceAsABufferReads) {
  Frame full = FullFrame();
  IGIS_DataBuffer* fb = GIS_CreateDataBufferObject(0);
  full->Save(fb);
  const std::vector<BYTE> saved(fb->GetData(), fb->GetData() + fb->GetSize());
  fb->Release();
  const std::vector<std::vector<BYTE>> forms = {saved, {}, {0xA5, 0xA6, 0xA7, 0xA8, 0xA9}};
  for (const std::vector<BYTE>& form : forms) {
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(static_cast<int>(form.size()));
    if (!form.empty()) std::memcpy(b->GetData(), form.data(), form.size());
    Frame byBuffer = NewFrame();
    LogMark bufferMark;
    byBuffer->Open(b);
    const std::size_t bufferRecords = bufferMark.Count();
    b->Release();
    Frame inPlace = NewFrame();
    LogMark inPlaceMark;
    EXPECT_TRUE(inPlace->OpenStored(form));
    EXPECT_EQ(inPlaceMark.Count(), bufferRecords) << form.size();
    EXPECT_EQ(ValuesOf(inPlace.get()), ValuesOf(byBuffer.get())) << form.size();
  }
}

}  // namespace

// The fuzz target's seeds read, store and read back to the same bytes.
TEST(FrameModel, FuzzSeedsReadAndStoreStably) {
  int seeds = 0;
  for (const auto& path : fuzz::Inputs("corpus", "frame")) {
    const std::vector<unsigned char> bytes = fuzz::ReadInput(path);
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(static_cast<int>(bytes.size()));
    if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
    LogMark mark;
    Frame f(GIS_CreateFramePropertyFromBuffer(b));
    ASSERT_NE(f, nullptr) << path;
    EXPECT_TRUE(mark.Records().empty()) << path;
    IGIS_DataBuffer* again = GIS_CreateDataBufferObject(0);
    f->Save(again);
    ASSERT_EQ(again->GetSize(), b->GetSize()) << path;
    EXPECT_EQ(std::memcmp(again->GetData(), b->GetData(), bytes.size()), 0) << path;
    again->Release();
    b->Release();
    ++seeds;
  }
  EXPECT_GE(seeds, 2);
}
