// Writing and reading an element's "Custom" set in place gives what the
// property-set way gives: for every stored form (unknown keys, missing keys,
// a key stored with another type, a damaged set, no set) the bytes written
// are the same, and the values read are the field getters' values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/element/customset.h"
#include "tests/support/logmark.h"

namespace {

using md::layout::SGIS_CustomKey;
using Bytes = std::vector<BYTE>;

constexpr SGIS_CustomKey kCount{"Count", GIS_FIELD_TYPE_INT, "count new", "count"};
constexpr SGIS_CustomKey kScale{"Scale", GIS_FIELD_TYPE_DOUBLE, "scale new", "scale"};
constexpr SGIS_CustomKey kShown{"Shown", GIS_FIELD_TYPE_BOOL, "shown new", "shown"};
constexpr SGIS_CustomKey kName{"Name", GIS_FIELD_TYPE_STRING, "name new", "name"};
constexpr SGIS_CustomKey kData{"Data", GIS_FIELD_TYPE_BUFFER, "data new", "data"};
constexpr SGIS_CustomKey kKept{"Kept", GIS_FIELD_TYPE_BUFFER, "kept new", "kept"};

struct Field {
  const char* key;
  int type;
  int i;
  const char* text;
};

// A stored set of the fields, or damaged bytes when `damaged`.
Bytes Stored(const std::vector<Field>& fields, bool damaged = false) {
  if (damaged) return Bytes{'M', 'D', 'P', 'S', 9, 9};
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  for (const Field& f : fields) {
    IGIS_Field* p = set->AddProperty(f.key, "stored", f.type, 1);
    if (f.type == GIS_FIELD_TYPE_BUFFER) {
      p->GetDataBuffer()->SetSize(static_cast<int>(std::strlen(f.text)));
      std::memcpy(p->GetDataBuffer()->GetData(), f.text, std::strlen(f.text));
    } else if (f.type == GIS_FIELD_TYPE_STRING) {
      p->SetString(f.text);
    } else {
      p->SetInt(f.i);
    }
  }
  md::basilo::ReleasePtr<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
  set->Archive(out.get(), GIS_ARCHIVE_WRITE, 0);
  return Bytes(out->GetData(), out->GetData() + out->GetSize());
}

class Custom : public ::testing::Test {
 protected:
  void SetUp() override {
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    a_ = set_->GetFeatureClass()->CreateFeature(1024, 0)->GetAttributes();
    b_ = set_->GetFeatureClass()->CreateFeature(1024, 0)->GetAttributes();
  }
  void TearDown() override { set_->Release(); }
  static void Put(IGIS_FeatureAttributes* pAttr, const Bytes& bytes) {
    md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
    b->SetSize(static_cast<int>(bytes.size()));
    if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
    pAttr->SetDataBuffer("Custom", b.get(), 0);
  }
  static Bytes Get(IGIS_FeatureAttributes* pAttr) {
    IGIS_DataBuffer* b = pAttr->GetDataBuffer("Custom");
    return b == nullptr || b->GetSize() == 0 ? Bytes() : Bytes(b->GetData(), b->GetData() + b->GetSize());
  }
  IGIS_FeatureSet* set_ = nullptr;
  IGIS_FeatureAttributes* a_ = nullptr;
  IGIS_FeatureAttributes* b_ = nullptr;
};

TEST_F(Custom, WritingInPlaceGivesThePropertySetsBytes) {
  const BYTE data[] = {1, 2, 3};
  struct Case {
    const char* name;
    std::vector<Field> fields;
    bool damaged;
    bool none;
  };
  const Case cases[] = {
      {"no set", {}, false, true},
      {"empty set", {}, false, false},
      {"all keys, other values",
       {{"Count", 1, 7, ""},
        {"Scale", 2, 0, ""},
        {"Shown", 32, 1, ""},
        {"Name", 4, 0, "old"},
        {"Data", 16, 0, "xy"},
        {"Kept", 16, 0, "keep me"}},
       false,
       false},
      {"unknown keys kept in their place",
       {{"Other", 4, 0, "x"}, {"Count", 1, 7, ""}, {"Tail", 16, 0, "z"}},
       false,
       false},
      {"a key of another type", {{"Count", 4, 0, "12"}, {"Name", 1, 5, ""}}, false, false},
      {"damaged", {}, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.none) {  // the first case: the features hold no set yet
      Put(a_, Stored(c.fields, c.damaged));
      Put(b_, Stored(c.fields, c.damaged));
    }
    md::layout::CustomSetWriter w(a_, "Test::Archive");
    w.Int(kCount, 42);
    w.Double(kScale, 0.5);
    w.Bool(kShown, false);
    w.String(kName, "新名字");
    w.Bytes(kData, std::span<const BYTE>(data, 3));
    w.Keep(kKept);
    EXPECT_TRUE(w.Finish());

    md::layout::PropertySetPtr set = md::layout::ReadCustomSet(b_, "Test::Archive");
    md::layout::CustomField(set.get(), kCount)->SetInt(42);
    md::layout::CustomField(set.get(), kScale)->SetDouble(0.5);
    md::layout::CustomField(set.get(), kShown)->SetBool(false);
    md::layout::CustomField(set.get(), kName)->SetString("新名字");
    IGIS_DataBuffer* d = md::layout::CustomField(set.get(), kData)->GetDataBuffer();
    d->SetSize(3);
    std::memcpy(d->GetData(), data, 3);
    md::layout::CustomField(set.get(), kKept);
    ASSERT_TRUE(md::layout::WriteCustomSet(b_, set.get(), "Test::Archive"));
    EXPECT_EQ(Get(a_), Get(b_));
    EXPECT_EQ(w.WasStored("Count"), !c.none && !c.damaged && !c.fields.empty());
  }
}

TEST_F(Custom, KeysGivenOutOfStoredOrderOrTwiceGiveThePropertySetsBytes) {
  struct Case {
    const char* name;
    std::vector<Field> fields;
  };
  const Case cases[] = {
      {"stored in another order", {{"Name", 4, 0, "old"}, {"Other", 1, 3, ""}, {"Count", 1, 7, ""}}},
      {"not stored", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Put(a_, Stored(c.fields));
    Put(b_, Stored(c.fields));
    md::layout::CustomSetWriter w(a_, "Test::Archive");
    w.Int(kCount, 1);
    w.Double(kScale, 0.25);
    w.String(kName, "first");
    w.Int(kCount, 2);  // the last value given, in the first place
    w.String(kName, "second");
    EXPECT_TRUE(w.Finish());

    md::layout::PropertySetPtr set = md::layout::ReadCustomSet(b_, "Test::Archive");
    md::layout::CustomField(set.get(), kCount)->SetInt(1);
    md::layout::CustomField(set.get(), kScale)->SetDouble(0.25);
    md::layout::CustomField(set.get(), kName)->SetString("first");
    md::layout::CustomField(set.get(), kCount)->SetInt(2);
    md::layout::CustomField(set.get(), kName)->SetString("second");
    ASSERT_TRUE(md::layout::WriteCustomSet(b_, set.get(), "Test::Archive"));
    EXPECT_EQ(Get(a_), Get(b_));
  }
}

TEST_F(Custom, ReadingInPlaceGivesTheGettersValues) {
  Put(a_, Stored({{"Count", 4, 0, "12"}, {"Shown", 1, 3, ""}, {"Name", 4, 0, "名"}, {"Data", 16, 0, "ab"}}));
  const md::layout::StoredSetView view(a_, "Test::Archive");
  int count = -1;
  bool shown = false;
  std::string name;
  double scale = 9.0;
  EXPECT_TRUE(view.Read("Count", &count));
  EXPECT_EQ(count, 12);  // a number stored as text
  EXPECT_TRUE(view.Read("Shown", &shown));
  EXPECT_TRUE(shown);
  EXPECT_TRUE(view.Read("Name", &name));
  EXPECT_EQ(name, "名");
  EXPECT_FALSE(view.Read("Scale", &scale));
  EXPECT_EQ(scale, 9.0);
  IGIS_Field* data = view.Field("Data");
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(data->GetDataBuffer()->GetSize(), 2);
  EXPECT_EQ(std::memcmp(data->GetDataBuffer()->GetData(), "ab", 2), 0);
  // A buffer key's bytes in a buffer of their own; none for other keys.
  IGIS_DataBuffer* bytes = view.Buffer("Data");
  ASSERT_NE(bytes, nullptr);
  ASSERT_EQ(bytes->GetSize(), 2);
  EXPECT_EQ(std::memcmp(bytes->GetData(), "ab", 2), 0);
  EXPECT_EQ(view.Buffer("Name"), nullptr);
  EXPECT_EQ(view.Buffer("Scale"), nullptr);
  // Read again from a copy of its bytes, a set's fields lie in that copy
  // (readers keep spans into their own bytes, or offsets from them).
  const std::span<const BYTE> stored = md::layout::BufferBytes(a_->GetDataBuffer("Custom"));
  const std::vector<BYTE> copy(stored.begin(), stored.end());
  const md::layout::StoredSetView again{std::span<const BYTE>(copy)};
  const std::span<const BYTE>* inCopy = again.Bytes("Data");
  ASSERT_NE(inCopy, nullptr);
  EXPECT_EQ(inCopy->data() + 2, copy.data() + copy.size());

  // A damaged set reads as empty, recorded as the property-set way records it.
  Put(a_, Stored({}, true));
  md::test::LogMark mark;
  const md::layout::StoredSetView damaged(a_, "Test::Archive");
  EXPECT_FALSE(damaged.Read("Count", &count));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "Test::Archive",
                       "false  == p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_READ)"));
}

// A new set written straight into its bytes holds what a property set given
// the same fields writes: doubles (the non-finite ones too), and stored
// fields copied with their own descriptions and types.
TEST(StoredSetWriter, WritesWhatAPropertySetGivenTheSameFieldsWrites) {
  const Bytes stored = Stored({{"Count", 1, 7, ""}, {"Name", 4, 0, "名"}, {"Data", 16, 0, "xyz"}});
  md::basilo::ReleasePtr<IGIS_DataBuffer> in(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(in->SetSize(static_cast<int>(stored.size())));
  std::memcpy(in->GetData(), stored.data(), stored.size());
  const md::layout::StoredSetView view(in.get());
  ASSERT_EQ(view.Fields().size(), 3u);
  const double values[] = {0.5, -1e300, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()};
  md::layout::StoredSetWriter writer;
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  for (const md::basilo::StoredFieldView& f : view.Fields()) writer.Stored(f);
  set->Archive(in.get(), GIS_ARCHIVE_READ, 0);
  for (int i = 0; i < 4; ++i) {
    const std::string key = "D" + std::to_string(i);
    writer.Double(key, "双精度", values[i]);
    set->AddProperty(key.c_str(), "双精度", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(values[i]);
  }
  md::basilo::ReleasePtr<IGIS_DataBuffer> written(GIS_CreateDataBufferObject(0));
  md::basilo::ReleasePtr<IGIS_DataBuffer> expected(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(writer.Finish(written.get()));
  ASSERT_TRUE(set->Archive(expected.get(), GIS_ARCHIVE_WRITE, 0));
  EXPECT_EQ(Bytes(written->GetData(), written->GetData() + written->GetSize()),
            Bytes(expected->GetData(), expected->GetData() + expected->GetSize()));
}

// Saving in place, or finishing a set into its parent, gives the bytes that
// saving through a separate buffer gives, whatever the save does with its
// buffer: nothing, write and grow, shrink, or write a nested set; new bytes
// read as 0 as a buffer's do.
TEST(StoredSetWriter, SavingInPlaceWritesWhatSavingIntoABufferWrites) {
  using Save = void (*)(IGIS_DataBuffer*);
  const Save saves[] = {
      [](IGIS_DataBuffer*) {},
      [](IGIS_DataBuffer* b) {
        ASSERT_TRUE(b->SetSize(3));
        EXPECT_EQ(Bytes(b->GetData(), b->GetData() + 3), (Bytes{0, 0, 0}));
        b->GetData()[1] = 9;
        ASSERT_TRUE(b->SetSize(600));
        b->GetData()[599] = 7;
      },
      [](IGIS_DataBuffer* b) {
        ASSERT_TRUE(b->SetSize(40));
        std::memset(b->GetData(), 5, 40);
        ASSERT_TRUE(b->SetSize(2));
        EXPECT_FALSE(b->SetSize(-1));
        EXPECT_EQ(b->GetSize(), 2);
      },
      [](IGIS_DataBuffer* b) {
        md::layout::StoredSetWriter inner;
        inner.Int("Inner", "内", 3);
        inner.SavedInPlace("Deeper", "更深", [](IGIS_DataBuffer* d) { d->SetSize(1); });
        ASSERT_TRUE(inner.Finish(b));
      },
  };
  for (std::size_t i = 0; i < std::size(saves); ++i) {
    md::layout::StoredSetWriter inPlace;
    md::layout::StoredSetWriter copied;
    for (md::layout::StoredSetWriter* w : {&inPlace, &copied}) w->Int("Before", "前", 1);
    inPlace.SavedInPlace("Saved", "存", saves[i]);
    copied.Saved("Saved", "存", saves[i]);
    for (md::layout::StoredSetWriter* w : {&inPlace, &copied}) w->String("After", "后", "尾");
    md::basilo::ReleasePtr<IGIS_DataBuffer> a(GIS_CreateDataBufferObject(0));
    md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(inPlace.Finish(a.get()));
    ASSERT_TRUE(copied.Finish(b.get()));
    EXPECT_EQ(Bytes(a->GetData(), a->GetData() + a->GetSize()),
              Bytes(b->GetData(), b->GetData() + b->GetSize()))
        << "save " << i;
    EXPECT_EQ(md::layout::StoredSetView(a.get()).Fields().size(), 3u) << "save " << i;
  }
  // A set finished into its parent is the buffer field saving it gives.
  auto fill = [](md::layout::StoredSetWriter* w) {
    w->Int("Number", "个数", 2);
    w->String("0", "0", "甲");
  };
  md::layout::StoredSetWriter direct, saved, inner;
  fill(&inner);
  EXPECT_TRUE(inner.FinishInto(&direct, "Item", "项"));
  saved.Saved("Item", "项", [&](IGIS_DataBuffer* b) {
    md::layout::StoredSetWriter w;
    fill(&w);
    ASSERT_TRUE(w.Finish(b));
  });
  md::basilo::ReleasePtr<IGIS_DataBuffer> a(GIS_CreateDataBufferObject(0));
  md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(direct.Finish(a.get()));
  ASSERT_TRUE(saved.Finish(b.get()));
  EXPECT_EQ(Bytes(a->GetData(), a->GetData() + a->GetSize()),
            Bytes(b->GetData(), b->GetData() + b->GetSize()));
}

}  // namespace

namespace {

// Stored fields of the keys given, in order, for lookups.
std::vector<md::basilo::StoredFieldView> FieldsOf(const std::vector<std::string>& keys) {
  std::vector<md::basilo::StoredFieldView> fields(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) fields[i].key = keys[i];
  return fields;
}

}  // namespace

TEST(FindStoredField, FindsEachKeyWhateverOrderItIsAskedIn) {
  const std::vector<std::string> keys = {"IsBack", "Back", "IsBorder", "Border", "Gap"};
  const auto fields = FieldsOf(keys);
  const struct {
    const char* what;
    std::vector<std::string> asked;
  } cases[] = {
      {"stored order", {"IsBack", "Back", "IsBorder", "Border", "Gap"}},
      {"each twice", {"IsBack", "IsBack", "Back", "Back", "Gap", "Gap"}},
      {"last then first", {"Gap", "Gap", "IsBack", "Gap"}},
      {"backwards", {"Gap", "Border", "IsBorder", "Back", "IsBack"}},
      {"missing between", {"Back", "Missing", "Back", "Border"}},
  };
  for (const auto& c : cases) {
    std::size_t next = 0;
    for (const std::string& key : c.asked) {
      const md::basilo::StoredFieldView* f = md::layout::FindStoredField(fields, key, &next);
      const auto at = std::find(keys.begin(), keys.end(), key);
      if (at == keys.end()) {
        EXPECT_EQ(f, nullptr) << c.what << " " << key;
        continue;
      }
      ASSERT_NE(f, nullptr) << c.what << " " << key;
      EXPECT_EQ(f, &fields[static_cast<std::size_t>(at - keys.begin())]) << c.what << " " << key;
      EXPECT_EQ(next, static_cast<std::size_t>(at - keys.begin()) + 1) << c.what << " " << key;
    }
  }
}
