// The constructor convention, the bookkeeping fields, Archive of the common
// state, names, and the backup protocol around property sheets.
#include <cstring>

#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "tests/layout/graphicelement/element/elementtest.h"

namespace {

using md::test::LogMark;
using md::test::PageTest;
using md::test::TestBoxElement;

IGIS_FeatureAttributes* Attr(IGIS_FeatureSet* set, int id) {
  IGIS_Feature* f = set->GetFeature(id);
  return f != nullptr ? f->GetAttributes() : nullptr;
}

bool IsWholeUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

using ElementBinding = PageTest;

TEST_F(ElementBinding, NewCompoundWritesItsBookkeepingFieldsInOrder) {
  auto* c = Keep(new CGIS_CompoundElement(set_, nullptr));
  ASSERT_GE(c->GetID(), 0);
  IGIS_Feature* f = set_->GetFeature(c->GetID());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->GetKind(), 512);
  IGIS_FeatureAttributes* a = f->GetAttributes();
  ASSERT_NE(a, nullptr);
  const char* expected[] = {"InterfacePtr", "TYPE", "IsLock", "KeepHVScaleRatio", "CanConvert"};
  ASSERT_EQ(a->GetFieldCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_STREQ(a->GetFieldName(i), expected[i]);
  EXPECT_EQ(GIS_ResolveElement(a->GetInt("InterfacePtr")), c);
  EXPECT_STREQ(a->GetString("TYPE"), "GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND");
  EXPECT_EQ(a->GetFieldType("IsLock"), 32);
  EXPECT_FALSE(a->GetBool("IsLock"));
  EXPECT_FALSE(a->GetBool("KeepHVScaleRatio"));
  EXPECT_FALSE(a->GetBool("CanConvert"));
  EXPECT_STREQ(c->GetName(), "复合整饰单元");
  EXPECT_EQ(c->GetOrder(), -10);
  EXPECT_EQ(c->GetFeatureSetPtr(), set_);
}

TEST_F(ElementBinding, FeatureOfTheWrongKindIsRefusedAndANewOneMade) {
  IGIS_Feature* rect = set_->GetFeatureClass()->CreateFeature(1024, 0);
  ASSERT_NE(rect, nullptr);
  const int before = set_->GetFeatureClass()->GetFeatureCount();
  LogMark log;
  auto* c = Keep(new CGIS_CompoundElement(set_, rect));
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::CGIS_CompoundElement", " == NULL"));
  EXPECT_NE(c->GetID(), rect->GetID());
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), before + 1);
  ASSERT_NE(c->GetFeaturePtr(), nullptr);
  EXPECT_EQ(c->GetFeaturePtr()->GetKind(), 512);
  // The refused feature was not written to.
  EXPECT_EQ(rect->GetAttributes()->GetFieldCount(), 0);
}

TEST_F(ElementBinding, UnboundElementWritesNothing) {
  const int before = set_->GetFeatureClass()->GetFeatureCount();
  LogMark log;
  CGIS_CompoundElement* c = new CGIS_CompoundElement(nullptr, nullptr);
  EXPECT_EQ(c->GetID(), -1);
  EXPECT_STREQ(c->GetName(), "复合整饰单元");
  EXPECT_EQ(c->GetFeaturePtr(), nullptr);
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), before);
  EXPECT_TRUE(log.Records().empty());
  // Operations needing the feature fail with the record of their method.
  EXPECT_FALSE(c->Archive(0, 0));
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::Archive", "m_pFeature == NULL"));
  const SGIS_Rect r = c->GetRect();
  EXPECT_EQ(r, SGIS_Rect(0, 100, 100, 0));
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::GetRect", "m_pFeature == NULL"));
  c->Release();
}

TEST_F(ElementBinding, BindingKeepsStoredFlagsUntilArchiveReadsThem) {
  IGIS_Feature* f = set_->GetFeatureClass()->CreateFeature(512, 0);
  IGIS_FeatureAttributes* a = f->GetAttributes();
  a->SetInt("InterfacePtr", 0);
  a->SetString("TYPE", "stale");
  a->SetBool("IsLock", true);
  a->SetBool("KeepHVScaleRatio", true);
  a->SetBool("CanConvert", true);
  a->SetInt("ElementOrder", 7);
  a->SetString("ElementName", "stored name");

  auto* c = Keep(new CGIS_CompoundElement(set_, f));
  EXPECT_EQ(c->GetID(), f->GetID());
  EXPECT_EQ(GIS_ResolveElement(a->GetInt("InterfacePtr")), c);
  EXPECT_STREQ(a->GetString("TYPE"), "GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND");
  EXPECT_FALSE(a->GetBool("CanConvert"));
  // Stored flags stay as stored; the element has its defaults until it reads.
  EXPECT_TRUE(a->GetBool("IsLock"));
  EXPECT_TRUE(a->GetBool("KeepHVScaleRatio"));
  EXPECT_FALSE(c->IsLock());
  EXPECT_STREQ(c->GetName(), "复合整饰单元");

  ASSERT_TRUE(c->Archive(1, 0));
  EXPECT_TRUE(c->IsLock());
  EXPECT_TRUE(c->GetHVScaleRatio());
  EXPECT_EQ(c->GetOrder(), 7);
  EXPECT_STREQ(c->GetName(), "stored name");
}

TEST_F(ElementBinding, ReleasedElementNoLongerAnswersThroughItsFeature) {
  auto* c = new CGIS_CompoundElement(set_, nullptr);
  const int id = c->GetID();
  const int handle = Attr(set_, id)->GetInt("InterfacePtr");
  EXPECT_EQ(set_->GetElement(id), c);
  c->Release();
  EXPECT_EQ(GIS_ResolveElement(handle), nullptr);
  EXPECT_EQ(set_->GetElement(id), nullptr);
  // The feature stays with the owner.
  EXPECT_NE(set_->GetFeature(id), nullptr);
}

TEST_F(ElementBinding, ClassesChooseTheLockAndConvertFieldsOfANewFeature) {
  // As the picture element does: "IsLock" and "CanConvert" written TRUE.
  auto* locked = Keep(new TestBoxElement(set_, nullptr, "locked", 1, 1));
  IGIS_FeatureAttributes* a = Attr(set_, locked->GetID());
  EXPECT_TRUE(a->GetBool("IsLock"));
  EXPECT_TRUE(a->GetBool("CanConvert"));
  // As the OLE element does: no "CanConvert" at all.
  auto* plain = Keep(new TestBoxElement(set_, nullptr, "plain", -1, -1));
  a = Attr(set_, plain->GetID());
  EXPECT_FALSE(a->GetBool("IsLock"));
  EXPECT_EQ(a->GetFieldType("CanConvert"), 0);
  // A bound feature keeps "TYPE" unless the class rewrites it.
  IGIS_Feature* f = set_->GetFeature(plain->GetID());
  a->SetString("TYPE", "kept");
  Keep(new TestBoxElement(set_, f));
  EXPECT_STREQ(a->GetString("TYPE"), "kept");
}

using ElementArchive = PageTest;

TEST_F(ElementArchive, WriteThenReadGivesBackTheCommonState) {
  auto* c = new CGIS_CompoundElement(set_, nullptr);
  c->SetLock(true);
  c->SetHVScaleRatio(true);
  c->SetOrder(42);
  c->SetName("图例 A");
  ASSERT_TRUE(c->Archive(0, 0));
  const int id = c->GetID();
  IGIS_FeatureAttributes* a = Attr(set_, id);
  EXPECT_TRUE(a->GetBool("IsLock"));
  EXPECT_EQ(a->GetInt("ElementOrder"), 42);
  EXPECT_STREQ(a->GetString("ElementName"), "图例 A");
  c->Release();

  auto* back = Keep(new CGIS_CompoundElement(set_, set_->GetFeature(id)));
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_TRUE(back->IsLock());
  EXPECT_TRUE(back->GetHVScaleRatio());
  EXPECT_EQ(back->GetOrder(), 42);
  EXPECT_STREQ(back->GetName(), "图例 A");

  // A second write and read of changed values overwrite the first ones.
  back->SetLock(false);
  back->SetName("");
  ASSERT_TRUE(back->Archive(0, 0));
  back->SetLock(true);
  back->SetName("x");
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_FALSE(back->IsLock());
  EXPECT_STREQ(back->GetName(), "");
}

TEST_F(ElementArchive, LongNamesKeepTheirFirst999BytesOnACharacterBoundary) {
  auto* c = Keep(new CGIS_CompoundElement(set_, nullptr));
  struct Row {
    std::string name;
    std::size_t kept;
  };
  std::string chinese;
  for (int i = 0; i < 400; ++i) chinese += "名";  // 1200 bytes, 3 per character
  const Row rows[] = {
      {std::string(1000, 'n'), 999},
      {std::string(999, 'n'), 999},
      {chinese, 999},        // 333 whole characters
      {"a" + chinese, 997},  // the 334th character would end at byte 1000
      {"ab" + chinese, 998},
      {std::string(998, 'x') + "é", 998},  // a two-byte character across the limit
  };
  for (const Row& row : rows) {
    c->SetName(row.name.c_str());
    const std::string got = c->GetName();
    EXPECT_EQ(got.size(), row.kept) << row.name.size();
    EXPECT_EQ(got, row.name.substr(0, row.kept));
    EXPECT_TRUE(IsWholeUtf8(got));
  }
  // A long stored name is cut the same way when it is read.
  Attr(set_, c->GetID())->SetString("ElementName", ("a" + chinese).c_str());
  ASSERT_TRUE(c->Archive(1, 0));
  EXPECT_EQ(std::strlen(c->GetName()), 997u);
  EXPECT_TRUE(IsWholeUtf8(c->GetName()));
}

TEST_F(ElementArchive, NullNameIsRefusedAndAbsentNameFieldKeepsTheName) {
  auto* c = Keep(new CGIS_CompoundElement(set_, nullptr));
  c->SetName("kept");
  LogMark log;
  c->SetName(nullptr);
  EXPECT_STREQ(c->GetName(), "kept");
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::SetName", "szName为NULL"));
  // The new feature has no "ElementName" yet: reading leaves the name alone.
  ASSERT_TRUE(c->Archive(1, 0));
  EXPECT_STREQ(c->GetName(), "kept");
}

}  // namespace
