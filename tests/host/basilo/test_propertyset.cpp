#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "host/basilo/cgis_propertyset.h"
#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/propertyset_codec.h"
#include "host/basilo/releaseptr.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/support/logmark.h"

using md::test::LogMark;

namespace {

using SetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;
using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

SetPtr NewSet() { return SetPtr(GIS_CreatePropertySetObject()); }
BufferPtr NewBuffer(int size = 0) { return BufferPtr(GIS_CreateDataBufferObject(size)); }

std::vector<BYTE> Bytes(IGIS_DataBuffer* b) {
  const BYTE* p = b->GetData();
  return p ? std::vector<BYTE>(p, p + b->GetSize()) : std::vector<BYTE>();
}
void SetBytes(IGIS_DataBuffer* b, const std::vector<BYTE>& bytes) {
  ASSERT_TRUE(b->SetSize(static_cast<int>(bytes.size())));
  if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
}

std::vector<std::string> Keys(IGIS_PropertySet* s) {
  std::vector<std::string> keys;
  int guard = 0;
  for (IGIS_Field* f = s->GetFirstPosition(); f != nullptr && guard < 1000; f = s->GetNext(f), ++guard) {
    keys.push_back(f->GetLabel());
  }
  return keys;
}

// A set holding one field of every type, with UTF-8 keys, descriptions and
// texts, added in an order that is not alphabetical.
void FillSample(IGIS_PropertySet* s) {
  s->AddProperty("Zeta", "整数", GIS_FIELD_TYPE_INT, 1)->SetInt(-123456);
  s->AddProperty("比例尺", "双精度", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(-0.1);
  s->AddProperty("ElementName", "名称", GIS_FIELD_TYPE_STRING, 1)->SetString("图例 – legend ✓");
  IGIS_DataBuffer* b = s->AddProperty("Symbol", "符号", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer();
  b->SetSize(5);
  std::memcpy(b->GetData(), "\x00\x01\xff\x7f\x80", 5);
  s->AddProperty("IsLock", "IsLock", GIS_FIELD_TYPE_BOOL, 1)->SetBool(true);
  s->AddProperty("Alpha", "", GIS_FIELD_TYPE_STRING, 1)->SetString("");
}

// One line per field, in iteration order: key, description, type and value.
std::vector<std::string> Dump(IGIS_PropertySet* s) {
  std::vector<std::string> lines;
  for (IGIS_Field* f = s->GetFirstPosition(); f != nullptr; f = s->GetNext(f)) {
    std::string value;
    switch (f->GetType()) {
      case GIS_FIELD_TYPE_BUFFER:
        for (BYTE c : Bytes(f->GetDataBuffer())) value += std::to_string(c) + " ";
        break;
      case GIS_FIELD_TYPE_BOOL:
        value = f->GetBool() ? "true" : "false";
        break;
      default:
        value = f->GetString();
        break;
    }
    lines.push_back(std::string(f->GetLabel()) + "|" + f->GetDescription() + "|" +
                    std::to_string(f->GetType()) + "|" + value);
  }
  return lines;
}

const std::vector<std::string> kSample = {
    "Zeta|整数|1|-123456",
    "比例尺|双精度|2|-0.1",
    "ElementName|名称|4|图例 – legend ✓",
    "Symbol|符号|16|0 1 255 127 128 ",
    "IsLock|IsLock|32|true",
    "Alpha||4|",
};

void ExpectSample(IGIS_PropertySet* s) { EXPECT_EQ(Dump(s), kSample); }

TEST(PropertySet, AllFiveTypesRoundTripInOrder) {
  auto out = NewSet();
  FillSample(out.get());
  auto buffer = NewBuffer();
  ASSERT_TRUE(out->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));
  auto in = NewSet();
  ASSERT_TRUE(in->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(in->GetCount(), 6);
  ExpectSample(in.get());

  // Extreme values survive as they are.
  auto edge = NewSet();
  edge->AddProperty("min", "", GIS_FIELD_TYPE_INT, 1)->SetInt(std::numeric_limits<int>::min());
  edge->AddProperty("inf", "", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(-std::numeric_limits<double>::infinity());
  edge->AddProperty("tiny", "", GIS_FIELD_TYPE_DOUBLE, 1)
      ->SetDouble(std::numeric_limits<double>::denorm_min());
  edge->AddProperty("off", "", GIS_FIELD_TYPE_BOOL, 1)->SetBool(false);
  ASSERT_TRUE(edge->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));
  auto back = NewSet();
  ASSERT_TRUE(back->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(back->GetProperty("min")->GetInt(), std::numeric_limits<int>::min());
  EXPECT_EQ(back->GetProperty("inf")->GetDouble(), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(back->GetProperty("tiny")->GetDouble(), std::numeric_limits<double>::denorm_min());
  EXPECT_FALSE(back->GetProperty("off")->GetBool());
}

TEST(PropertySet, NestedSetsInBufferFields) {
  // Three levels: outer -> "Frame" buffer -> "Border" buffer.
  auto inner = NewSet();
  inner->AddProperty("Width", "宽度", GIS_FIELD_TYPE_INT, 1)->SetInt(250);
  auto middle = NewSet();
  ASSERT_TRUE(inner->Archive(middle->AddProperty("Border", "", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer(),
                             GIS_ARCHIVE_WRITE, 0));
  middle->AddProperty("Name", "", GIS_FIELD_TYPE_STRING, 1)->SetString("框");
  auto outer = NewSet();
  FillSample(outer.get());
  ASSERT_TRUE(middle->Archive(outer->AddProperty("Frame", "", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer(),
                              GIS_ARCHIVE_WRITE, 0));
  auto buffer = NewBuffer(1024);
  ASSERT_TRUE(outer->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));

  auto o2 = NewSet();
  ASSERT_TRUE(o2->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));
  auto m2 = NewSet();
  ASSERT_TRUE(m2->Archive(o2->GetProperty("Frame")->GetDataBuffer(), GIS_ARCHIVE_READ, 0));
  EXPECT_STREQ(m2->GetProperty("Name")->GetString(), "框");
  auto i2 = NewSet();
  ASSERT_TRUE(i2->Archive(m2->GetProperty("Border")->GetDataBuffer(), GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(i2->GetProperty("Width")->GetInt(), 250);
  EXPECT_EQ(Keys(o2.get()).back(), "Frame");
}

TEST(PropertySet, WriteAfterReadKeepsKeysTheWriterDidNotTouch) {
  // Two writers share one buffer: each reads the stored set, updates its own
  // keys and stores the whole set back.
  auto buffer = NewBuffer();
  {
    auto s = NewSet();
    ASSERT_TRUE(s->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));  // empty buffer: empty set
    EXPECT_EQ(s->GetCount(), 0);
    s->AddProperty("Common", "", GIS_FIELD_TYPE_INT, 1)->SetInt(1);
    s->AddProperty("Shared", "", GIS_FIELD_TYPE_STRING, 1)->SetString("first");
    ASSERT_TRUE(s->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));
  }
  {
    auto s = NewSet();
    ASSERT_TRUE(s->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));
    IGIS_Field* f = s->GetProperty("Shared");
    ASSERT_NE(f, nullptr);
    f->SetString("second");
    if (s->GetProperty("Own") == nullptr) s->AddProperty("Own", "", GIS_FIELD_TYPE_BOOL, 1)->SetBool(true);
    ASSERT_TRUE(s->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));
  }
  auto s = NewSet();
  ASSERT_TRUE(s->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(Keys(s.get()), (std::vector<std::string>{"Common", "Shared", "Own"}));
  EXPECT_EQ(s->GetProperty("Common")->GetInt(), 1);
  EXPECT_STREQ(s->GetProperty("Shared")->GetString(), "second");
  EXPECT_TRUE(s->GetProperty("Own")->GetBool());
}

TEST(PropertySet, WritingReplacesTheBufferAndReadingReplacesTheSet) {
  auto big = NewSet();
  FillSample(big.get());
  auto buffer = NewBuffer();
  ASSERT_TRUE(big->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));
  const int bigSize = buffer->GetSize();

  auto small = NewSet();
  small->AddProperty("Zeta", "", GIS_FIELD_TYPE_INT, 1)->SetInt(7);
  ASSERT_TRUE(small->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));
  EXPECT_LT(buffer->GetSize(), bigSize);

  // Reading the small set into the big one leaves exactly its items; the
  // surviving key keeps its field object.
  IGIS_Field* zeta = big->GetProperty("Zeta");
  ASSERT_TRUE(big->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(Keys(big.get()), std::vector<std::string>{"Zeta"});
  EXPECT_EQ(big->GetProperty("Zeta"), zeta);
  EXPECT_EQ(zeta->GetInt(), 7);
  EXPECT_EQ(big->GetProperty("Symbol"), nullptr);

  // Bytes after the set's end are ignored.
  std::vector<BYTE> bytes = Bytes(buffer.get());
  bytes.insert(bytes.end(), {'j', 'u', 'n', 'k', 0, 0xff});
  SetBytes(buffer.get(), bytes);
  auto again = NewSet();
  ASSERT_TRUE(again->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(again->GetProperty("Zeta")->GetInt(), 7);

  // A set may be written into one of its own fields' buffers.
  IGIS_DataBuffer* own = again->AddProperty("Self", "", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer();
  ASSERT_TRUE(again->Archive(own, GIS_ARCHIVE_WRITE, 0));
  auto copy = NewSet();
  ASSERT_TRUE(copy->Archive(own, GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(Keys(copy.get()), (std::vector<std::string>{"Zeta", "Self"}));
}

// Every damaged form of a valid buffer is refused: FALSE, a log record, the
// set unchanged.
TEST(PropertySet, DamagedBuffersAreRefusedAndLeaveTheSetUnchanged) {
  auto sample = NewSet();
  FillSample(sample.get());
  auto buffer = NewBuffer();
  ASSERT_TRUE(sample->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));
  const std::vector<BYTE> good = Bytes(buffer.get());

  std::vector<std::pair<std::string, std::vector<BYTE>>> damaged;
  for (std::size_t n = 1; n < good.size(); ++n) {
    damaged.emplace_back("truncated to " + std::to_string(n),
                         std::vector<BYTE>(good.begin(), good.begin() + n));
  }
  auto patched = [&](const char* what, std::size_t at, std::vector<BYTE> with) {
    std::vector<BYTE> b = good;
    std::copy(with.begin(), with.end(), b.begin() + at);
    damaged.emplace_back(what, b);
  };
  patched("magic", 0, {'X'});
  patched("version 2", 4, {2, 0});
  patched("version 0", 4, {0, 0});
  patched("flags", 6, {1, 0});
  patched("huge count", 8, {0xff, 0xff, 0xff, 0x7f});
  patched("count too small (unused bytes)", 8, {5, 0, 0, 0});
  patched("count too large", 8, {7, 0, 0, 0});
  patched("body larger than the buffer", 12, {0xff, 0xff, 0xff, 0xff});
  patched("unknown type", 16, {3});
  patched("key length beyond the end", 17, {0xf0, 0xff, 0xff, 0xff});
  patched("empty key", 17, {0, 0, 0, 0});
  patched("NUL in key", 21, {0});
  {
    // "IsLock" (bool) is stored just before "Alpha": its value byte precedes
    // Alpha's type byte and key length.
    std::vector<BYTE> b = good;
    const std::string key = "Alpha";
    auto it = std::search(b.begin(), b.end(), key.begin(), key.end());
    ASSERT_NE(it, b.end());
    b[static_cast<std::size_t>(it - b.begin()) - 6] = 2;
    damaged.emplace_back("boolean 2", b);
  }
  {
    auto dup = NewSet();
    dup->AddProperty("K1", "", GIS_FIELD_TYPE_INT, 1)->SetInt(1);
    dup->AddProperty("K2", "", GIS_FIELD_TYPE_INT, 1)->SetInt(2);
    auto b = NewBuffer();
    ASSERT_TRUE(dup->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
    std::vector<BYTE> bytes = Bytes(b.get());
    const std::string k2 = "K2";
    auto it = std::search(bytes.begin(), bytes.end(), k2.begin(), k2.end());
    ASSERT_NE(it, bytes.end());
    *(it + 1) = '1';
    damaged.emplace_back("duplicate key", bytes);
  }
  damaged.emplace_back("garbage", std::vector<BYTE>(64, 0xA5));

  for (const auto& [what, bytes] : damaged) {
    auto target = NewSet();
    target->AddProperty("Keep", "保留", GIS_FIELD_TYPE_STRING, 1)->SetString("值");
    IGIS_Field* keep = target->GetProperty("Keep");
    auto b = NewBuffer();
    SetBytes(b.get(), bytes);
    LogMark mark;
    EXPECT_FALSE(target->Archive(b.get(), GIS_ARCHIVE_READ, 0)) << what;
    const auto records = mark.Records();
    ASSERT_EQ(records.size(), 1u) << what;
    EXPECT_EQ(records[0].level, 3);
    EXPECT_EQ(records[0].method, "CGIS_PropertySet::Archive");
    EXPECT_EQ(target->GetCount(), 1) << what;
    EXPECT_EQ(target->GetProperty("Keep"), keep);
    EXPECT_STREQ(keep->GetString(), "值");
  }
}

// A set of another library: the library's own set behind its interface.
class ForeignSet final : public IGIS_PropertySet {
 public:
  void Release() override { delete this; }
  int GetCount() const override { return inner_->GetCount(); }
  IGIS_Field* GetProperty(const char* key) override { return inner_->GetProperty(key); }
  IGIS_Field* GetFirstPosition() override { return inner_->GetFirstPosition(); }
  IGIS_Field* GetNext(IGIS_Field* field) override { return inner_->GetNext(field); }
  IGIS_Field* AddProperty(const char* key, const char* description, int typeCode, int flag) override {
    return inner_->AddProperty(key, description, typeCode, flag);
  }
  BOOL Archive(IGIS_DataBuffer* buffer, int mode, int option) override {
    return inner_->Archive(buffer, mode, option);
  }
  BOOL SetObject(const char* key, void* object, int flag) override {
    return inner_->SetObject(key, object, flag);
  }

 private:
  SetPtr inner_ = NewSet();
};

TEST(PropertySet, BytesReadAndWrittenDirectlyAreArchivesBytes) {
  for (bool foreign : {false, true}) {
    SCOPED_TRACE(foreign ? "another library's set" : "own set");
    SetPtr s(foreign ? new ForeignSet() : GIS_CreatePropertySetObject());
    FillSample(s.get());
    BufferPtr b = NewBuffer();
    ASSERT_TRUE(s->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
    std::vector<BYTE> bytes;
    ASSERT_TRUE(WritePropertySetBytes(s.get(), &bytes));
    EXPECT_EQ(bytes, Bytes(b.get()));

    SetPtr t(foreign ? new ForeignSet() : GIS_CreatePropertySetObject());
    ASSERT_TRUE(ReadPropertySetBytes(t.get(), bytes.data(), bytes.size()));
    ExpectSample(t.get());
    // Damaged bytes are refused with the record Archive makes, the set kept.
    std::vector<BYTE> damaged(bytes.begin(), bytes.begin() + bytes.size() / 2);
    LogMark mark;
    EXPECT_FALSE(ReadPropertySetBytes(t.get(), damaged.data(), damaged.size()));
    EXPECT_EQ(mark.Count(), 1u);
    ExpectSample(t.get());
    EXPECT_TRUE(ReadPropertySetBytes(t.get(), nullptr, 0));  // nothing stored: an empty set
    EXPECT_EQ(t->GetCount(), 0);
  }
  EXPECT_FALSE(ReadPropertySetBytes(nullptr, nullptr, 0));
  std::vector<BYTE> none;
  EXPECT_FALSE(WritePropertySetBytes(nullptr, &none));
}

TEST(PropertySet, RefusedArguments) {
  auto s = NewSet();
  LogMark mark;
  EXPECT_EQ(s->AddProperty(nullptr, "", GIS_FIELD_TYPE_INT, 1), nullptr);
  EXPECT_EQ(s->AddProperty("", "", GIS_FIELD_TYPE_INT, 1), nullptr);
  EXPECT_EQ(s->AddProperty("k", "", 3, 1), nullptr);
  EXPECT_FALSE(s->Archive(nullptr, GIS_ARCHIVE_WRITE, 0));
  auto b = NewBuffer();
  EXPECT_FALSE(s->Archive(b.get(), 2, 0));
  EXPECT_EQ(mark.Count(), 5u);
  EXPECT_EQ(s->GetCount(), 0);
  EXPECT_EQ(s->GetProperty(nullptr), nullptr);
  EXPECT_EQ(s->GetProperty("absent"), nullptr);

  // A field of another set is not a position of this one.
  auto other = NewSet();
  IGIS_Field* foreign = other->AddProperty("x", "", GIS_FIELD_TYPE_INT, 1);
  s->AddProperty("x", "", GIS_FIELD_TYPE_INT, 1);
  EXPECT_EQ(s->GetNext(foreign), nullptr);
  EXPECT_EQ(s->GetNext(nullptr), nullptr);
}

TEST(PropertySet, AddingAPresentKeyKeepsItsPlaceAndField) {
  auto s = NewSet();
  IGIS_Field* a = s->AddProperty("A", "first", GIS_FIELD_TYPE_INT, 1);
  a->SetInt(42);
  s->AddProperty("B", "", GIS_FIELD_TYPE_INT, 1);
  IGIS_Field* again = s->AddProperty("A", "second", GIS_FIELD_TYPE_DOUBLE, 1);
  EXPECT_EQ(again, a);
  EXPECT_EQ(s->GetCount(), 2);
  EXPECT_EQ(Keys(s.get()), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(a->GetType(), GIS_FIELD_TYPE_DOUBLE);
  EXPECT_EQ(a->GetDouble(), 42.0);
  EXPECT_STREQ(a->GetDescription(), "second");

  // Renaming onto a present key is refused; onto a free one it moves the key.
  LogMark mark;
  EXPECT_FALSE(a->SetName("B"));
  EXPECT_EQ(mark.Count(), 1u);
  EXPECT_TRUE(a->SetName("C"));
  EXPECT_EQ(s->GetProperty("A"), nullptr);
  EXPECT_EQ(s->GetProperty("C"), a);
  EXPECT_EQ(Keys(s.get()), (std::vector<std::string>{"C", "B"}));
}

TEST(PropertySet, ManyKeysAlikeButForTheirMiddlesAreFoundAfterRenamesAndReading) {
  auto s = NewSet();
  constexpr int kCount = 600;
  auto key = [](const char* kind, int i) {
    return std::string("LabelSymbol") + kind + std::to_string(1000 + i) + "OfTheTopSide";
  };
  std::vector<IGIS_Field*> fields;
  for (int i = 0; i < kCount; ++i) {
    fields.push_back(s->AddProperty(key("A", i).c_str(), "", GIS_FIELD_TYPE_INT, 1));
    ASSERT_NE(fields.back(), nullptr);
    fields.back()->SetInt(i);
  }
  // Every third key moves to a new name; moving onto a held key is refused.
  LogMark mark;
  for (int i = 0; i < kCount; i += 3) ASSERT_TRUE(fields[i]->SetName(key("B", i).c_str()));
  EXPECT_FALSE(fields[1]->SetName(key("A", 2).c_str()));
  EXPECT_EQ(mark.Count(), 1u);
  auto expectKeys = [&](IGIS_PropertySet* set) {
    for (int i = 0; i < kCount; ++i) {
      const bool moved = i % 3 == 0;
      IGIS_Field* f = set->GetProperty(key(moved ? "B" : "A", i).c_str());
      ASSERT_NE(f, nullptr) << i;
      EXPECT_EQ(f->GetInt(), i);
      EXPECT_EQ(set->GetProperty(key(moved ? "A" : "B", i).c_str()), nullptr) << i;
    }
    EXPECT_EQ(set->GetCount(), kCount);
  };
  expectKeys(s.get());
  // The same keys read into a set that holds some of them already.
  BufferPtr b = NewBuffer();
  ASSERT_TRUE(s->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
  auto t = NewSet();
  for (int i = 0; i < kCount; i += 7) t->AddProperty(key("A", i).c_str(), "", GIS_FIELD_TYPE_INT, 1);
  ASSERT_TRUE(t->Archive(b.get(), GIS_ARCHIVE_READ, 0));
  expectKeys(t.get());
}

TEST(PropertySet, KeysCompareEqualOnlyWhenEveryByteAndTheLengthAgree) {
  // Each length up to three words, one byte changed at each place in turn.
  const std::string text = "abcdefghijklmnopqrstuvwxyz";
  for (std::size_t n = 0; n <= 24; ++n) {
    const std::string key = text.substr(0, n);
    EXPECT_TRUE(md::basilo::SameKey(key, std::string(key))) << n;
    EXPECT_FALSE(md::basilo::SameKey(key, text.substr(0, n + 1))) << n;
    for (std::size_t at = 0; at < n; ++at) {
      std::string other = key;
      other[at] = '#';
      EXPECT_FALSE(md::basilo::SameKey(key, other)) << n << " at " << at;
    }
  }
}

TEST(PropertySet, KeysAreFoundAsTheSetGrowsFromAFewFieldsToMany) {
  // Around the size where the fields move from the set's own short list into
  // a table: renames, a refused rename and reading into a set that holds
  // some of the keys already.
  for (const int count : {1, 2, 7, 8, 9, 16, 17}) {
    auto s = NewSet();
    auto key = [](const char* kind, int i) { return std::string(kind) + std::to_string(i); };
    std::vector<IGIS_Field*> fields;
    for (int i = 0; i < count; ++i) {
      fields.push_back(s->AddProperty(key("Key", i).c_str(), "", GIS_FIELD_TYPE_INT, 1));
      ASSERT_NE(fields.back(), nullptr) << count;
      fields.back()->SetInt(i);
    }
    for (int i = 0; i < count; i += 2) ASSERT_TRUE(fields[i]->SetName(key("Moved", i).c_str())) << count;
    if (count > 1) {
      LogMark mark;
      EXPECT_FALSE(fields[1]->SetName(key("Moved", 0).c_str())) << count;
    }
    auto expectKeys = [&](IGIS_PropertySet* set) {
      EXPECT_EQ(set->GetCount(), count);
      for (int i = 0; i < count; ++i) {
        const bool moved = i % 2 == 0;
        IGIS_Field* f = set->GetProperty(key(moved ? "Moved" : "Key", i).c_str());
        ASSERT_NE(f, nullptr) << count << " " << i;
        EXPECT_EQ(f->GetInt(), i);
        EXPECT_EQ(set->GetProperty(key(moved ? "Key" : "Moved", i).c_str()), nullptr) << count << " " << i;
      }
    };
    expectKeys(s.get());
    BufferPtr b = NewBuffer();
    ASSERT_TRUE(s->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
    auto t = NewSet();
    t->AddProperty("Moved0", "", GIS_FIELD_TYPE_INT, 1);
    t->AddProperty("Other", "", GIS_FIELD_TYPE_INT, 1);
    ASSERT_TRUE(t->Archive(b.get(), GIS_ARCHIVE_READ, 0));
    expectKeys(t.get());
    EXPECT_EQ(t->GetProperty("Other"), nullptr) << count;
  }
}

// Fields live in blocks their set owns: across the sizes where a set takes
// a new block, every field handed out keeps its address, name, description
// and value while the set grows, while a read drops and adds keys, and after
// a rename of a field described by its own key.
TEST(PropertySet, FieldsKeepTheirAddressesWhileTheSetGrowsAndIsRead) {
  for (const int count : {1, 3, 4, 5, 8, 9, 40}) {
    auto s = NewSet();
    auto key = [](int i) { return "AFieldKeyLongerThanAShortString" + std::to_string(i); };
    auto description = [&](int i) { return i % 3 == 0 ? std::string("own text") : key(i); };
    std::vector<IGIS_Field*> fields;
    for (int i = 0; i < count; ++i) {
      fields.push_back(s->AddProperty(key(i).c_str(), description(i).c_str(), GIS_FIELD_TYPE_INT, 1));
      ASSERT_NE(fields.back(), nullptr) << count;
      fields.back()->SetInt(i);
    }
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(s->GetProperty(key(i).c_str()), fields[i]) << count << " " << i;
      EXPECT_EQ(fields[i]->GetDescription(), description(i)) << count << " " << i;
      EXPECT_STREQ(fields[i]->GetString(), std::to_string(i).c_str());
    }
    // Renamed, a field described by its key keeps the old key as description.
    ASSERT_TRUE(fields[count - 1]->SetName("Renamed"));
    EXPECT_EQ(fields[count - 1]->GetDescription(), description(count - 1));
    EXPECT_STREQ(fields[count - 1]->GetLabel(), "Renamed");

    // A read that keeps the even keys and brings new ones: the kept fields
    // stay where they are; the stored bytes are those of a set built alike.
    auto source = NewSet();
    for (int i = 0; i < count; i += 2)
      source->AddProperty(key(i).c_str(), description(i).c_str(), GIS_FIELD_TYPE_INT, 1)->SetInt(-i);
    for (int i = 0; i < count; ++i)
      source->AddProperty(("New" + key(i)).c_str(), key(i).c_str(), GIS_FIELD_TYPE_STRING, 1)->SetString("v");
    BufferPtr b = NewBuffer();
    ASSERT_TRUE(source->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
    ASSERT_TRUE(s->Archive(b.get(), GIS_ARCHIVE_READ, 0));
    EXPECT_EQ(Dump(s.get()), Dump(source.get())) << count;
    for (int i = 0; i < count - 1; i += 2) {
      EXPECT_EQ(s->GetProperty(key(i).c_str()), fields[i]) << count << " " << i;
      EXPECT_EQ(fields[i]->GetInt(), -i);
    }
    BufferPtr again = NewBuffer();
    ASSERT_TRUE(s->Archive(again.get(), GIS_ARCHIVE_WRITE, 0));
    EXPECT_EQ(Bytes(again.get()), Bytes(b.get())) << count;
  }
}

TEST(PropertySet, EncodingInPlaceGivesTheBytesOfFinish) {
  // Encoders made one after another (their storage reused) each give their
  // own set, in place as Finish gives it.
  const BYTE blob[] = {0, 255, 7};
  const struct {
    const char* what;
    int fields;
  } cases[] = {{"empty", 0}, {"one", 1}, {"all types", 5}, {"all types again", 5}, {"one again", 1}};
  for (const auto& c : cases) {
    md::basilo::PropertySetEncoder encoder;
    const int types[] = {GIS_FIELD_TYPE_INT, GIS_FIELD_TYPE_STRING, GIS_FIELD_TYPE_BUFFER,
                         GIS_FIELD_TYPE_DOUBLE, GIS_FIELD_TYPE_BOOL};
    for (int i = 0; i < c.fields; ++i)
      encoder.Add(types[i], "Key" + std::to_string(i), "说明", 42, 2.5, true, "text", blob);
    std::vector<BYTE> finished;
    std::string error;
    ASSERT_TRUE(encoder.Finish(&finished, &error)) << c.what;
    const std::span<const BYTE> inPlace = encoder.Finished(&error);
    EXPECT_EQ(std::vector<BYTE>(inPlace.begin(), inPlace.end()), finished) << c.what;
    std::vector<md::basilo::StoredFieldView> views;
    ASSERT_TRUE(md::basilo::DecodePropertySetViews(inPlace.data(), inPlace.size(), &views, &error)) << c.what;
    EXPECT_EQ(views.size(), static_cast<std::size_t>(c.fields)) << c.what;
  }
}

TEST(PropertySet, FieldValuesConvertBetweenTypes) {
  struct Case {
    int type;
    const char* text;  // value set with SetString
    int asInt;
    double asDouble;
    bool asBool;
    const char* asString;
  };
  const Case cases[] = {
      {GIS_FIELD_TYPE_STRING, "1.75", 1, 1.75, true, "1.75"},
      {GIS_FIELD_TYPE_STRING, "-2.5e3x", -2500, -2500.0, true, "-2.5e3x"},
      {GIS_FIELD_TYPE_STRING, "abc", 0, 0.0, false, "abc"},
      {GIS_FIELD_TYPE_STRING, "true", 0, 0.0, true, "true"},
      {GIS_FIELD_TYPE_STRING, "1e300", std::numeric_limits<int>::max(), 1e300, true, "1e300"},
      {GIS_FIELD_TYPE_STRING, "nan", 0, std::nan(""), false, "nan"},
      {GIS_FIELD_TYPE_INT, "12.9", 12, 12.0, true, "12"},
      {GIS_FIELD_TYPE_DOUBLE, "-3.25", -3, -3.25, true, "-3.25"},
      {GIS_FIELD_TYPE_BOOL, "0", 0, 0.0, false, "0"},
      {GIS_FIELD_TYPE_BOOL, "5", 1, 1.0, true, "1"},
  };
  for (const auto& c : cases) {
    IGIS_Field* f = GIS_CreateFieldObject();
    ASSERT_TRUE(f->SetType(c.type));
    ASSERT_TRUE(f->SetString(c.text));
    EXPECT_EQ(f->GetInt(), c.asInt) << c.text;
    if (std::isnan(c.asDouble)) {
      EXPECT_TRUE(std::isnan(f->GetDouble()));
    } else {
      EXPECT_EQ(f->GetDouble(), c.asDouble) << c.text;
    }
    EXPECT_EQ(f->GetBool(), c.asBool) << c.text;
    EXPECT_STREQ(f->GetString(), c.asString);
    f->Release();
  }

  // A field without a type takes the first setter's; a buffer field refuses
  // scalars and reads as zero; changing the type converts the value.
  IGIS_Field* f = GIS_CreateFieldObject();
  EXPECT_EQ(f->GetString(), nullptr);
  EXPECT_EQ(f->GetDataBuffer(), nullptr);
  f->SetDouble(2.5);
  EXPECT_EQ(f->GetType(), GIS_FIELD_TYPE_DOUBLE);
  ASSERT_TRUE(f->SetType(GIS_FIELD_TYPE_STRING));
  EXPECT_STREQ(f->GetString(), "2.5");
  ASSERT_TRUE(f->SetType(GIS_FIELD_TYPE_BUFFER));
  ASSERT_NE(f->GetDataBuffer(), nullptr);
  EXPECT_EQ(f->GetDataBuffer()->GetSize(), 0);
  LogMark mark;
  EXPECT_FALSE(f->SetInt(3));
  EXPECT_FALSE(f->SetType(64));
  EXPECT_EQ(mark.Count(), 2u);
  EXPECT_EQ(f->GetInt(), 0);
  EXPECT_EQ(f->GetString(), nullptr);
  f->GetDataBuffer()->Release();  // owned by the field: ignored
  f->Release();
}

// Stored fields read in place give the same values as the fields a set reads.
TEST(PropertySet, StoredViewsPointIntoTheBufferAndConvertLikeFields) {
  const struct {
    int type;
    const char* text;
  } cases[] = {
      {GIS_FIELD_TYPE_STRING, "1.75"},  {GIS_FIELD_TYPE_STRING, "-2.5e3x"}, {GIS_FIELD_TYPE_STRING, "TRUE"},
      {GIS_FIELD_TYPE_STRING, "nan"},   {GIS_FIELD_TYPE_STRING, "1e300"},   {GIS_FIELD_TYPE_INT, "-12"},
      {GIS_FIELD_TYPE_DOUBLE, "-3.75"}, {GIS_FIELD_TYPE_DOUBLE, "0"},       {GIS_FIELD_TYPE_BOOL, "1"}};
  for (const auto& c : cases) {
    SetPtr set = NewSet();
    IGIS_Field* f = set->AddProperty("值 value", "说明", c.type, 1);
    ASSERT_TRUE(f->SetString(c.text));
    BufferPtr b = NewBuffer();
    ASSERT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
    std::vector<md::basilo::StoredFieldView> views;
    std::string error;
    ASSERT_TRUE(md::basilo::DecodePropertySetViews(b->GetData(), static_cast<std::size_t>(b->GetSize()),
                                                   &views, &error))
        << error;
    ASSERT_EQ(views.size(), 1u);
    const md::basilo::StoredFieldView& v = views[0];
    EXPECT_EQ(v.key, "值 value");
    EXPECT_EQ(v.description, "说明");
    EXPECT_GE(reinterpret_cast<const BYTE*>(v.key.data()), b->GetData());
    EXPECT_LT(reinterpret_cast<const BYTE*>(v.key.data()), b->GetData() + b->GetSize());
    EXPECT_EQ(md::basilo::StoredInt(v), f->GetInt()) << c.text;
    EXPECT_EQ(md::basilo::StoredBool(v), f->GetBool()) << c.text;
  }

  // Many keys: all different is fine, one repeated anywhere is refused.
  md::basilo::PropertySetEncoder many, repeated;
  for (int i = 0; i < 300; ++i) {
    const std::string key = "key" + std::to_string(i);
    many.Add(GIS_FIELD_TYPE_INT, key, "", i, 0, false, {}, {});
    repeated.Add(GIS_FIELD_TYPE_INT, i == 299 ? std::string("key17") : key, "", i, 0, false, {}, {});
  }
  std::vector<BYTE> bytes;
  std::vector<md::basilo::StoredFieldView> views;
  std::string error;
  ASSERT_TRUE(many.Finish(&bytes, &error));
  EXPECT_TRUE(md::basilo::DecodePropertySetViews(bytes.data(), bytes.size(), &views, &error)) << error;
  EXPECT_EQ(views.size(), 300u);
  ASSERT_TRUE(repeated.Finish(&bytes, &error));
  EXPECT_FALSE(md::basilo::DecodePropertySetViews(bytes.data(), bytes.size(), &views, &error));
  EXPECT_EQ(error, "field 299: duplicate key key17");
  EXPECT_TRUE(views.empty());
}

// A set decoded again, from the same bytes or from nearly the same, gives
// fields of the bytes it is given: their texts point into them, their values
// are theirs, and a damaged copy is refused.
TEST(PropertySet, DecodingAgainReadsTheBytesGiven) {
  md::basilo::PropertySetEncoder encoder;
  encoder.Add(GIS_FIELD_TYPE_STRING, "Name", "名称", 0, 0, false, "north", {});
  encoder.Add(GIS_FIELD_TYPE_INT, "Count", "", 7, 0, false, {}, {});
  const BYTE blob[] = {1, 2, 3};
  encoder.Add(GIS_FIELD_TYPE_BUFFER, "Blob", "", 0, 0, false, {}, blob);
  std::vector<BYTE> stored;
  std::string error;
  ASSERT_TRUE(encoder.Finish(&stored, &error));
  const std::size_t countAt = stored.size() - (1 + 4 + 4 + 4 + 4 + 3) - 4;  // Count's value, before Blob
  ASSERT_EQ(stored[countAt], 7);
  const struct {
    const char* what;
    std::size_t at;  // byte changed in the copy (npos: none)
    BYTE value;
    bool ok;
    int count;
  } cases[] = {
      {"same bytes", std::string::npos, 0, true, 7},
      {"another value", countAt, 9, true, 9},
      {"damaged", 4, 2, false, 0},  // version 2
  };
  std::vector<md::basilo::StoredFieldView> first;
  ASSERT_TRUE(md::basilo::DecodePropertySetViews(stored.data(), stored.size(), &first, &error)) << error;
  for (const auto& c : cases) {
    std::vector<BYTE> copy = stored;
    if (c.at != std::string::npos) copy[c.at] = c.value;
    std::vector<md::basilo::StoredFieldView> views;
    EXPECT_EQ(md::basilo::DecodePropertySetViews(copy.data(), copy.size(), &views, &error), c.ok) << c.what;
    if (!c.ok) {
      EXPECT_TRUE(views.empty()) << c.what;
      continue;
    }
    ASSERT_EQ(views.size(), 3u) << c.what;
    for (const auto& v : views) {
      EXPECT_GE(reinterpret_cast<const BYTE*>(v.key.data()), copy.data()) << c.what;
      EXPECT_LT(reinterpret_cast<const BYTE*>(v.key.data()), copy.data() + copy.size()) << c.what;
    }
    EXPECT_EQ(views[0].key, "Name");
    EXPECT_EQ(views[0].description, "名称");
    EXPECT_EQ(views[0].text, "north");
    EXPECT_EQ(reinterpret_cast<const BYTE*>(views[0].text.data()) - copy.data(),
              reinterpret_cast<const BYTE*>(first[0].text.data()) - stored.data());
    EXPECT_EQ(views[1].intValue, c.count) << c.what;
    ASSERT_EQ(views[2].bytes.size(), 3u);
    EXPECT_EQ(views[2].bytes.data(), copy.data() + copy.size() - 3) << c.what;
  }
}

TEST(PropertySet, ASharedDecodedSetOutlivesTheSetsDecodedAfterIt) {
  // Sets told apart by one value; the first is held while many others are
  // decoded (more than are kept), each once shared and once in place.
  auto encode = [](int n) {
    md::basilo::PropertySetEncoder encoder;
    encoder.AddString("Name", "", "set " + std::to_string(n));
    encoder.AddInt("Count", "", n);
    std::vector<BYTE> bytes;
    std::string error;
    EXPECT_TRUE(encoder.Finish(&bytes, &error));
    return bytes;
  };
  std::string error;
  std::vector<md::basilo::StoredFieldView> own;
  std::shared_ptr<const md::basilo::DecodedPropertySet> held;
  std::vector<BYTE> first = encode(0);
  ASSERT_TRUE(md::basilo::DecodePropertySetShared(first.data(), first.size(), &own, &held, &error));
  ASSERT_NE(held, nullptr);
  EXPECT_TRUE(own.empty());
  first.assign(first.size(), 0);  // the shared fields keep their own copy
  for (int n = 1; n <= 40; ++n) {
    const std::vector<BYTE> bytes = encode(n);
    std::shared_ptr<const md::basilo::DecodedPropertySet> shared;
    std::vector<md::basilo::StoredFieldView> views;
    ASSERT_TRUE(md::basilo::DecodePropertySetShared(bytes.data(), bytes.size(), &own, &shared, &error));
    ASSERT_TRUE(md::basilo::DecodePropertySetViews(bytes.data(), bytes.size(), &views, &error));
    ASSERT_NE(shared, nullptr);
    ASSERT_EQ(shared->fields.size(), 2u);
    EXPECT_EQ(shared->fields[1].intValue, n);
    EXPECT_EQ(shared->fields[0].text, views[0].text);
    // In place: the same offset into the bytes given as the shared into its copy.
    EXPECT_EQ(reinterpret_cast<const BYTE*>(views[0].text.data()) - bytes.data(),
              reinterpret_cast<const BYTE*>(shared->fields[0].text.data()) - shared->bytes.data());
  }
  ASSERT_EQ(held->fields.size(), 2u);
  EXPECT_EQ(held->fields[0].text, "set 0");
  EXPECT_EQ(held->fields[1].intValue, 0);
}

TEST(PropertySet, ObjectsPassBetweenComponentsButAreNotStored) {
  int reference = 0;  // stands for a spatial reference handed to another component
  auto in = NewSet();
  in->AddProperty("Name", "", GIS_FIELD_TYPE_STRING, 1)->SetString("n");
  ASSERT_TRUE(in->SetObject("spatialreference", &reference, 1));
  IGIS_Field* f = in->GetProperty("spatialreference");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->GetType(), GIS_FIELD_TYPE_OBJECT);
  EXPECT_EQ(f->GetObject(), &reference);
  EXPECT_EQ(f->GetInt(), 0);
  EXPECT_EQ(in->GetProperty("Name")->GetObject(), nullptr);
  ASSERT_TRUE(in->SetObject("spatialreference", nullptr, 1));  // replaced in place
  EXPECT_EQ(in->GetCount(), 2);
  EXPECT_EQ(f->GetObject(), nullptr);

  auto buffer = NewBuffer();
  ASSERT_TRUE(in->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));
  auto out = NewSet();
  ASSERT_TRUE(out->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(Keys(out.get()), std::vector<std::string>{"Name"});
  EXPECT_FALSE(in->SetObject("", &reference, 1));
}

TEST(DataBuffer, SizeKeepsThePrefixAndRefusesNegativeSizes) {
  auto b = NewBuffer(3);
  EXPECT_EQ(Bytes(b.get()), (std::vector<BYTE>{0, 0, 0}));
  b->GetData()[0] = 9;
  ASSERT_TRUE(b->SetSize(5));
  EXPECT_EQ(Bytes(b.get()), (std::vector<BYTE>{9, 0, 0, 0, 0}));
  LogMark mark;
  EXPECT_FALSE(b->SetSize(-1));
  EXPECT_EQ(mark.Count(), 1u);
  EXPECT_EQ(b->GetSize(), 5);
  ASSERT_TRUE(b->SetSize(0));
  EXPECT_EQ(b->GetData(), nullptr);
  // Grown again after being emptied, it holds zeros, not what it held.
  ASSERT_TRUE(b->SetSize(2));
  EXPECT_EQ(Bytes(b.get()), (std::vector<BYTE>{0, 0}));
  auto negative = NewBuffer(-4);
  ASSERT_NE(negative, nullptr);
  EXPECT_EQ(negative->GetSize(), 0);
}

TEST(DataBuffer, AssignedBytesReplaceTheContentOfOwnAndForeignBuffers) {
  // A buffer of another library: sized and copied through its interface.
  class Foreign final : public IGIS_DataBuffer {
   public:
    void Release() override {}
    int GetSize() const override { return static_cast<int>(bytes.size()); }
    BOOL SetSize(int n) override {
      bytes.resize(static_cast<std::size_t>(n), 0xEE);
      return TRUE;
    }
    BYTE* GetData() override { return bytes.empty() ? nullptr : bytes.data(); }
    std::vector<BYTE> bytes{1, 2, 3, 4, 5, 6};
  };
  const std::vector<BYTE> longer{7, 8, 9, 10, 11, 12, 13, 14};
  const std::vector<BYTE> shorter{7, 8};
  for (const std::vector<BYTE>* given : {&longer, &shorter}) {
    auto own = NewBuffer();
    SetBytes(own.get(), {1, 2, 3, 4, 5, 6});
    Foreign foreign;
    for (IGIS_DataBuffer* b :
         {static_cast<IGIS_DataBuffer*>(own.get()), static_cast<IGIS_DataBuffer*>(&foreign)}) {
      ASSERT_TRUE(md::basilo::AssignBufferBytes(b, *given));
      EXPECT_EQ(Bytes(b), *given);
      // Its own bytes, from the second on.
      ASSERT_TRUE(
          md::basilo::AssignBufferBytes(b, std::span<const BYTE>(b->GetData() + 1, given->size() - 1)));
      EXPECT_EQ(Bytes(b), std::vector<BYTE>(given->begin() + 1, given->end()));
      ASSERT_TRUE(md::basilo::AssignBufferBytes(b, {}));
      EXPECT_EQ(b->GetSize(), 0);
    }
  }
  EXPECT_FALSE(md::basilo::AssignBufferBytes(nullptr, longer));
}

TEST(GlobalProperties, RegisterIfMissing) {
  IGIS_GlobalProperties* g = GIS_GetGlobalProperties();
  ASSERT_EQ(g, GIS_GetGlobalProperties());
  const char* key = "TEST_BASILO_GLOBAL_CFG_FILE";
  ASSERT_EQ(g->GetProperty(key), nullptr);
  const int before = g->GetCount();

  IGIS_Field* f = GIS_CreateFieldObject();
  f->SetName(key);
  f->SetDescription(key);
  f->SetType(GIS_FIELD_TYPE_STRING);
  f->SetString("frameborder.ets");
  ASSERT_TRUE(g->AddProperty(f));
  f->Release();  // owned by the settings now: ignored
  EXPECT_EQ(g->GetCount(), before + 1);
  IGIS_Field* found = g->GetProperty(key);
  ASSERT_EQ(found, f);
  EXPECT_STREQ(found->GetString(), "frameborder.ets");
  EXPECT_STREQ(found->GetDescription(), key);

  // A second registration of the key, a field without a name and a field of
  // a set are refused; the caller keeps its field.
  LogMark mark;
  IGIS_Field* dup = GIS_CreateFieldObject();
  dup->SetName(key);
  EXPECT_FALSE(g->AddProperty(dup));
  dup->Release();
  IGIS_Field* unnamed = GIS_CreateFieldObject();
  EXPECT_FALSE(g->AddProperty(unnamed));
  unnamed->Release();
  auto s = NewSet();
  EXPECT_FALSE(g->AddProperty(s->AddProperty("InSet", "", GIS_FIELD_TYPE_INT, 1)));
  EXPECT_FALSE(g->AddProperty(nullptr));
  EXPECT_EQ(mark.Count(), 4u);
  EXPECT_EQ(g->GetCount(), before + 1);

  // A numeric setting registered as text reads as a number.
  IGIS_Field* scale = GIS_CreateFieldObject();
  scale->SetName("TEST_BASILO_SCALE");
  scale->SetType(GIS_FIELD_TYPE_STRING);
  scale->SetString("1.5");
  ASSERT_TRUE(g->AddProperty(scale));
  EXPECT_EQ(g->GetProperty("TEST_BASILO_SCALE")->GetDouble(), 1.5);
}

TEST(GlobalProperties, TempDirIsAnOwnFolderWithoutTrailingSeparator) {
  const std::string dir = GIS_GetTempDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '/');
  EXPECT_EQ(dir, std::string(GIS_GetTempDir()));
  EXPECT_TRUE(std::filesystem::is_directory(dir));
  EXPECT_NE(std::filesystem::path(dir), std::filesystem::temp_directory_path());
  const std::string probe = dir + "/basilo-probe.tmp";
  { std::ofstream(probe) << "x"; }
  EXPECT_TRUE(std::filesystem::exists(probe));
  std::filesystem::remove(probe);
}

// The fuzzing seeds read as valid sets, and every input kept from a fuzzing
// crash is handled without one.
TEST(PropertySet, FuzzSeedsAndRegressions) {
  int seeds = 0;
  for (const auto& path : md::test::fuzz::Inputs("corpus", "propertyset")) {
    auto b = NewBuffer();
    SetBytes(b.get(), md::test::fuzz::ReadInput(path));
    auto s = NewSet();
    EXPECT_TRUE(s->Archive(b.get(), GIS_ARCHIVE_READ, 0)) << path;
    ++seeds;
  }
  EXPECT_GE(seeds, 3);
  for (const auto& path : md::test::fuzz::Inputs("regressions", "propertyset")) {
    auto b = NewBuffer();
    SetBytes(b.get(), md::test::fuzz::ReadInput(path));
    auto s = NewSet();
    s->Archive(b.get(), GIS_ARCHIVE_READ, 0);  // must simply not crash
  }
}

}  // namespace
