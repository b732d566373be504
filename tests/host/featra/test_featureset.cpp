// Feature sets, classes, features and their fields; compound members; commit
// records; the element hooks and the element registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/host/featra/featratest.h"

using namespace md::test;

TEST(FeatureAttributes, FiveTypesReadBackAndAbsentFieldsReadEmpty) {
  SetPtr set = NewSet();
  IGIS_FeatureAttributes* a =
      set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0)->GetAttributes();
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(a->SetInt("ElementOrder", -10));
  EXPECT_TRUE(a->SetDouble("Ratio", -0.125));
  EXPECT_TRUE(a->SetString("ElementName", "矩形整饰单元"));
  EXPECT_TRUE(a->SetBool("IsLock", true));
  BufferPtr bytes = MakeBuffer(std::string("\x00\x01\x02\xff", 4));
  EXPECT_TRUE(a->SetDataBuffer("Custom", bytes.get(), 0));

  EXPECT_EQ(a->GetInt("ElementOrder"), -10);
  EXPECT_EQ(a->GetDouble("Ratio"), -0.125);
  EXPECT_STREQ(a->GetString("ElementName"), "矩形整饰单元");
  EXPECT_TRUE(a->GetBool("IsLock"));
  // The field keeps its own copy: changing the caller's buffer changes nothing.
  bytes->GetData()[0] = 0x55;
  EXPECT_EQ(BufferBytes(a->GetDataBuffer("Custom")), std::string("\x00\x01\x02\xff", 4));

  EXPECT_EQ(a->GetFieldCount(), 5);
  EXPECT_STREQ(a->GetFieldName(0), "ElementOrder");
  EXPECT_STREQ(a->GetFieldName(4), "Custom");
  EXPECT_EQ(a->GetFieldName(5), nullptr);
  EXPECT_EQ(a->GetFieldType("Custom"), GIS_FIELD_TYPE_BUFFER);

  EXPECT_EQ(a->GetInt("Missing"), 0);
  EXPECT_EQ(a->GetString("Missing"), nullptr);
  EXPECT_FALSE(a->GetBool("Missing"));
  EXPECT_EQ(a->GetDataBuffer("Missing"), nullptr);
  EXPECT_EQ(a->GetDataBuffer("ElementName"), nullptr);  // not a buffer field
  EXPECT_EQ(a->GetFieldType("Missing"), 0);

  LogMark mark;
  EXPECT_FALSE(a->SetInt(nullptr, 1));
  EXPECT_FALSE(a->SetString("", "x"));
  EXPECT_FALSE(a->SetDataBuffer("Custom", nullptr, 0));
  EXPECT_TRUE(mark.Has(3, "CGIS_FeatureAttributes::SetDataBuffer"));
  EXPECT_EQ(a->GetFieldCount(), 5);
}

TEST(FeatureAttributes, SettingAnotherTypeRetypesTheFieldInPlace) {
  SetPtr set = NewSet();
  IGIS_FeatureAttributes* a =
      set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POINT, 0)->GetAttributes();
  a->SetString("InterfacePtr", "old");
  a->SetBool("IsLock", false);
  ASSERT_TRUE(a->SetInt("InterfacePtr", 77));
  EXPECT_EQ(a->GetFieldType("InterfacePtr"), GIS_FIELD_TYPE_INT);
  EXPECT_EQ(a->GetInt("InterfacePtr"), 77);
  EXPECT_STREQ(a->GetFieldName(0), "InterfacePtr");  // keeps its place
  EXPECT_EQ(a->GetFieldCount(), 2);
  // A buffer field set through its own buffer stays as it is.
  BufferPtr b = MakeBuffer("abc");
  a->SetDataBuffer("Custom", b.get(), 0);
  IGIS_DataBuffer* own = a->GetDataBuffer("Custom");
  EXPECT_TRUE(a->SetDataBuffer("Custom", own, 0));
  EXPECT_EQ(BufferBytes(a->GetDataBuffer("Custom")), "abc");
}

TEST(FeatureSet, FeaturesAreFoundByIdAndIdsAreNeverReused) {
  SetPtr set = NewSet();
  IGIS_FeatureClass* cls = set->GetFeatureClass();
  IGIS_Feature* a = cls->CreateFeature(GIS_FEATURE_KIND_POINT, 0);
  IGIS_Feature* b = cls->CreateFeature(GIS_FEATURE_KIND_POLYGON, 0);
  EXPECT_LT(a->GetID(), b->GetID());
  EXPECT_EQ(set->GetFeature(a->GetID()), a);
  EXPECT_EQ(b->GetKind(), GIS_FEATURE_KIND_POLYGON);
  EXPECT_EQ(b->GetFeatureClass(), cls);
  const int bId = b->GetID();
  EXPECT_TRUE(cls->DeleteFeature(bId));
  EXPECT_FALSE(cls->DeleteFeature(bId));
  EXPECT_EQ(set->GetFeature(bId), nullptr);
  IGIS_Feature* c = cls->CreateFeature(GIS_FEATURE_KIND_POLYGON, 0);
  EXPECT_GT(c->GetID(), bId);
  EXPECT_EQ(set->GetFeatureCount(), 2);
  EXPECT_EQ(set->GetFeatureByIndex(0), a);
  EXPECT_EQ(set->GetFeatureByIndex(1), c);
  EXPECT_EQ(set->GetFeatureByIndex(2), nullptr);
  EXPECT_EQ(set->GetFeatureByIndex(-1), nullptr);
  EXPECT_STREQ(set->GetName(), "layout");
}

// Whatever gaps deletions leave among the IDs, every ID finds its own
// feature and no other.
TEST(FeatureSet, FeaturesAreFoundByIdAcrossTheGapsOfDeletions) {
  const std::vector<std::vector<int>> deletions = {
      {}, {0}, {4}, {9}, {0, 1, 2}, {0, 3, 6, 9}, {5, 6, 7, 8, 9}};
  for (const std::vector<int>& gone : deletions) {
    SetPtr set = NewSet();
    IGIS_FeatureClass* cls = set->GetFeatureClass();
    std::vector<IGIS_Feature*> made;
    for (int i = 0; i < 10; ++i) made.push_back(cls->CreateFeature(GIS_FEATURE_KIND_POINT, 0));
    std::vector<int> ids;
    for (IGIS_Feature* f : made) ids.push_back(f->GetID());
    for (int i : gone) ASSERT_TRUE(cls->DeleteFeature(ids[i]));
    for (int i = 0; i < 10; ++i) {
      const bool deleted = std::find(gone.begin(), gone.end(), i) != gone.end();
      EXPECT_EQ(set->GetFeature(ids[i]), deleted ? nullptr : made[i]) << i << " of " << gone.size();
    }
    EXPECT_EQ(set->GetFeature(ids.front() - 1), nullptr);
    EXPECT_EQ(set->GetFeature(ids.back() + 1), nullptr);
  }
}

TEST(FeatureSet, UnitRatioAcceptsOnlyFinitePositiveValues) {
  SetPtr set = NewSet();
  EXPECT_EQ(set->GetUnitRatio(), GIS_SYMBOL_UNIT_PAGE_RATIO);
  EXPECT_TRUE(set->SetUnitRatio(0.25));
  for (double bad : {0.0, -1.0, double(NAN), double(INFINITY)}) EXPECT_FALSE(set->SetUnitRatio(bad)) << bad;
  EXPECT_EQ(set->GetUnitRatio(), 0.25);
  // A second set over the same class shares it.
  SetPtr other(GIS_CreateFeatureSetObject(set->GetFeatureClass(), "CompoundTemp", 0, 0, 0, 0, nullptr));
  EXPECT_EQ(other->GetUnitRatio(), 0.25);
}

TEST(FeatureSet, UpdateFeatureRecordsTheFlagsOfEveryCall) {
  SetPtr set = NewSet();
  IGIS_FeatureClass* cls = set->GetFeatureClass();
  IGIS_Feature* rect = cls->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  IGIS_Feature* ellipse = cls->CreateFeature(GIS_FEATURE_KIND_ELLIPSE, 0);
  EXPECT_TRUE(cls->UpdateFeature(rect, GIS_UPDATE_ALL));
  EXPECT_TRUE(cls->UpdateFeature(ellipse, GIS_UPDATE_SYMBOL));
  EXPECT_TRUE(cls->UpdateFeature(rect, GIS_UPDATE_GEOMETRY));

  // A feature of another class, or none, is refused and not recorded.
  SetPtr stranger = NewSet();
  IGIS_Feature* foreign = stranger->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  LogMark mark;
  EXPECT_FALSE(cls->UpdateFeature(foreign, GIS_UPDATE_ALL));
  EXPECT_FALSE(cls->UpdateFeature(nullptr, GIS_UPDATE_ALL));
  EXPECT_TRUE(mark.Has(3, "CGIS_FeatureClass::UpdateFeature"));

  const int expected[][2] = {{rect->GetID(), 0x7F}, {ellipse->GetID(), 8}, {rect->GetID(), 0x40}};
  ASSERT_EQ(cls->GetUpdateCount(), 3);
  for (int i = 0; i < 3; ++i) {
    int id = 0, flags = 0;
    ASSERT_TRUE(cls->GetUpdateRecord(i, &id, &flags));
    EXPECT_EQ(id, expected[i][0]);
    EXPECT_EQ(flags, expected[i][1]);
  }
  EXPECT_FALSE(cls->GetUpdateRecord(3, nullptr, nullptr));
  cls->ClearUpdateRecords();
  EXPECT_EQ(cls->GetUpdateCount(), 0);
}

TEST(FeatureSet, CommitRecordsKeepTheLatestOnes) {
  SetPtr set = NewSet();
  IGIS_FeatureClass* cls = set->GetFeatureClass();
  IGIS_Feature* f = cls->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  for (int i = 0; i < 5000; ++i) cls->UpdateFeature(f, i);
  ASSERT_EQ(cls->GetUpdateCount(), 4096);
  int id, flags;
  cls->GetUpdateRecord(0, &id, &flags);
  EXPECT_EQ(flags, 5000 - 4096);
  cls->GetUpdateRecord(4095, &id, &flags);
  EXPECT_EQ(flags, 4999);
}

TEST(CompoundFeature, MembersKeepOrderAndRefuseBadIds) {
  SetPtr set = NewSet();
  IGIS_FeatureClass* cls = set->GetFeatureClass();
  IGIS_Feature* a = cls->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  IGIS_Feature* b = cls->CreateFeature(GIS_FEATURE_KIND_POLYLINE, 0);
  IGIS_Feature* inner = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  IGIS_Feature* outer = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  EXPECT_TRUE(outer->AddMember(b->GetID()));
  EXPECT_TRUE(outer->AddMember(a->GetID()));
  EXPECT_TRUE(outer->AddMember(inner->GetID()));
  EXPECT_TRUE(inner->AddMember(a->GetID()));  // a feature may belong to two compounds

  EXPECT_FALSE(outer->AddMember(a->GetID()));      // already a member
  EXPECT_FALSE(outer->AddMember(outer->GetID()));  // itself
  EXPECT_FALSE(inner->AddMember(outer->GetID()));  // would contain itself through inner
  EXPECT_FALSE(outer->AddMember(9999));            // no such feature
  EXPECT_FALSE(a->AddMember(b->GetID()));          // not a compound
  ASSERT_EQ(outer->GetMemberCount(), 3);
  EXPECT_EQ(outer->GetMemberID(0), b->GetID());
  EXPECT_EQ(outer->GetMemberID(1), a->GetID());
  EXPECT_EQ(outer->GetMemberID(2), inner->GetID());
  EXPECT_EQ(outer->GetMemberID(3), -1);

  EXPECT_TRUE(outer->RemoveMember(a->GetID()));
  EXPECT_FALSE(outer->RemoveMember(a->GetID()));
  EXPECT_EQ(outer->GetMemberCount(), 2);
  EXPECT_EQ(outer->GetMemberID(1), inner->GetID());
}

TEST(CompoundFeature, NestingStopsAtAThousandLevels) {
  SetPtr set = NewSet();
  IGIS_FeatureClass* cls = set->GetFeatureClass();
  IGIS_Feature* leaf = cls->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  IGIS_Feature* bottom = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  ASSERT_TRUE(bottom->AddMember(leaf->GetID()));
  IGIS_Feature* top = bottom;
  for (int level = 3; level <= 1000; ++level) {  // leaf, bottom, ... up to 1000 levels
    IGIS_Feature* next = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
    ASSERT_TRUE(next->AddMember(top->GetID())) << level;
    top = next;
  }
  IGIS_Feature* tooHigh = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  EXPECT_FALSE(tooHigh->AddMember(top->GetID()));
  // Below the bottom compound there is room for a leaf but not for another compound.
  IGIS_Feature* leaf2 = cls->CreateFeature(GIS_FEATURE_KIND_POINT, 0);
  IGIS_Feature* group = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  group->AddMember(leaf2->GetID());
  EXPECT_FALSE(bottom->AddMember(group->GetID()));
  EXPECT_TRUE(bottom->AddMember(leaf2->GetID()));
  // What could be built can be stored and read back.
  const std::string path = TempPath("deep.mdfs");
  ASSERT_TRUE(set->SaveToFile(path.c_str()));
  SetPtr loaded = NewSet();
  EXPECT_TRUE(loaded->LoadFromFile(path.c_str()));
  EXPECT_EQ(loaded->GetFeatureCount(), set->GetFeatureCount());
  std::remove(path.c_str());
}

// A chain of compounds `levels` deep over one leaf; returns them bottom first.
std::vector<IGIS_Feature*> Chain(IGIS_FeatureClass* cls, int levels) {
  std::vector<IGIS_Feature*> chain;
  IGIS_Feature* below = cls->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  for (int level = 2; level <= levels; ++level) {
    IGIS_Feature* c = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
    EXPECT_TRUE(c->AddMember(below->GetID())) << level;
    chain.push_back(c);
    below = c;
  }
  return chain;
}

TEST(CompoundFeature, NestingCheckFollowsRemovedDeletedAndLoadedMembers) {
  SetPtr set = NewSet();
  IGIS_FeatureClass* cls = set->GetFeatureClass();
  const std::vector<IGIS_Feature*> chain = Chain(cls, 1000);
  IGIS_Feature* bottom = chain.front();
  IGIS_Feature* group = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  ASSERT_TRUE(group->AddMember(cls->CreateFeature(GIS_FEATURE_KIND_POINT, 0)->GetID()));
  EXPECT_FALSE(bottom->AddMember(group->GetID()));  // 1001 levels

  // Stored and read back, the loaded features know who holds whom.
  const std::string path = TempPath("chain.mdfs");
  ASSERT_TRUE(set->SaveToFile(path.c_str()));
  SetPtr loaded = NewSet();
  ASSERT_TRUE(loaded->LoadFromFile(path.c_str()));
  std::remove(path.c_str());
  IGIS_Feature* loadedBottom = loaded->GetFeature(bottom->GetID());
  IGIS_Feature* loadedGroup = loaded->GetFeature(group->GetID());
  ASSERT_NE(loadedBottom, nullptr);
  ASSERT_NE(loadedGroup, nullptr);
  EXPECT_FALSE(loadedBottom->AddMember(loadedGroup->GetID()));
  EXPECT_FALSE(loadedBottom->AddMember(loadedBottom->GetMemberID(0)));  // already a member

  // Taking the top compound's member away frees a level ...
  IGIS_Feature* top = chain.back();
  const int second = top->GetMemberID(0);
  ASSERT_TRUE(top->RemoveMember(second));
  EXPECT_TRUE(bottom->AddMember(group->GetID()));
  ASSERT_TRUE(bottom->RemoveMember(group->GetID()));
  ASSERT_TRUE(top->AddMember(second));  // no longer counted as a member, so it may come back
  EXPECT_FALSE(bottom->AddMember(group->GetID()));
  // ... and so does deleting the top compound.
  ASSERT_TRUE(cls->DeleteFeature(top->GetID()));
  EXPECT_TRUE(bottom->AddMember(group->GetID()));
  // A deleted member leaves every compound that held it.
  IGIS_Feature* shared = cls->CreateFeature(GIS_FEATURE_KIND_POINT, 0);
  ASSERT_TRUE(group->AddMember(shared->GetID()));
  ASSERT_TRUE(chain[1]->AddMember(shared->GetID()));
  ASSERT_TRUE(cls->DeleteFeature(shared->GetID()));
  EXPECT_EQ(group->GetMemberCount(), 1);
  EXPECT_EQ(chain[1]->GetMemberCount(), 1);
  EXPECT_EQ(chain[1]->GetMemberID(0), bottom->GetID());
}

TEST(CompoundFeature, BoundIsTheUnionOfNestedMembers) {
  SetPtr set = NewSet();
  IGIS_FeatureClass* cls = set->GetFeatureClass();
  IGIS_Feature* rect = cls->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  rect->GetGeometry()->SetRect(SGIS_Rect(0, 100, 200, 0), 0);
  IGIS_Feature* ellipse = cls->CreateFeature(GIS_FEATURE_KIND_ELLIPSE, 0);
  ellipse->GetGeometry()->SetEllipse(SGIS_Rect(-50, 40, 10, -60), 0);
  IGIS_Feature* empty = cls->CreateFeature(GIS_FEATURE_KIND_POLYGON, 0);
  IGIS_Feature* inner = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  IGIS_Feature* outer = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  SGIS_Rect r;
  EXPECT_FALSE(outer->GetBound(&r, 1, 0));
  inner->AddMember(ellipse->GetID());
  inner->AddMember(empty->GetID());  // no geometry: adds nothing
  outer->AddMember(rect->GetID());
  outer->AddMember(inner->GetID());
  ASSERT_TRUE(outer->GetBound(&r, 1, 0));
  EXPECT_EQ(r, SGIS_Rect(-50, 100, 200, -60));
  ASSERT_TRUE(outer->GetGeometry()->GetBound(&r, 0, 0));
  EXPECT_EQ(r, SGIS_Rect(-50, 100, 200, -60));
}

TEST(CompoundFeature, LoadMembersWalksMembersAndKeepsSlotsOfDeletedOnes) {
  SetPtr owner = NewSet();
  IGIS_FeatureClass* cls = owner->GetFeatureClass();
  IGIS_Feature* a = cls->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  IGIS_Feature* b = cls->CreateFeature(GIS_FEATURE_KIND_POLYGON, 0);
  IGIS_Feature* c = cls->CreateFeature(GIS_FEATURE_KIND_POINT, 0);
  IGIS_Feature* compound = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  compound->AddMember(c->GetID());
  compound->AddMember(a->GetID());
  compound->AddMember(b->GetID());

  SetPtr temp(GIS_CreateFeatureSetObject(cls, "CompoundTemp", 0, 0, 0, 0, nullptr));
  ASSERT_NE(temp, nullptr);
  ASSERT_TRUE(temp->LoadMembers(compound));
  ASSERT_EQ(temp->GetFeatureCount(), 3);
  EXPECT_EQ(temp->GetFeatureByIndex(0), c);
  EXPECT_EQ(temp->GetFeatureByIndex(1), a);
  EXPECT_EQ(temp->GetFeatureByIndex(2), b);
  EXPECT_EQ(temp->GetFeatureByIndex(3), nullptr);

  // Deleting a feature drops it from the compound; the loaded walk keeps the
  // slot empty rather than shifting the later members onto wrong indexes.
  cls->DeleteFeature(a->GetID());
  EXPECT_EQ(compound->GetMemberCount(), 2);
  EXPECT_EQ(temp->GetFeatureByIndex(1), nullptr);
  EXPECT_EQ(temp->GetFeatureByIndex(2), b);

  LogMark mark;
  EXPECT_FALSE(temp->LoadMembers(b));  // not a compound
  EXPECT_FALSE(temp->LoadMembers(nullptr));
  SetPtr stranger = NewSet();
  EXPECT_FALSE(stranger->LoadMembers(compound));  // another class
  EXPECT_TRUE(mark.Has(3, "CGIS_FeatureSet::LoadMembers"));

  // The temporary set keeps the class alive after its first set is gone.
  owner.reset();
  EXPECT_EQ(temp->GetFeature(b->GetID()), b);
}

TEST(FeatureSymbol, BytesAndObjectsThroughTheCodec) {
  SetPtr set = NewSet();
  IGIS_Feature* f = set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POLYGON, 0);
  RemoveSymbolCodec();
  TestSymbol* orphan = new TestSymbol("sym:orphan");
  LogMark mark;
  // Without a codec the feature could neither store nor end the object.
  EXPECT_FALSE(f->SetSymbol(AsSymbol(orphan)));
  EXPECT_TRUE(mark.Has(3, "CGIS_Feature::SetSymbol"));
  delete orphan;
  ASSERT_TRUE(f->SetSymbolData("sym:fill", 8));
  EXPECT_TRUE(f->HasSymbol());
  EXPECT_EQ(f->GetSymbol(), nullptr);  // kept as bytes until a codec exists

  InstallTestSymbolCodec();
  const int liveBefore = TestSymbol::live;
  IGIS_Symbol* s = f->GetSymbol();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(FromSymbol(s)->text, "sym:fill");
  EXPECT_EQ(f->GetSymbol(), s);  // the feature's own object, not a copy
  // Changes made to the object in place are what gets stored.
  FromSymbol(s)->text = "sym:changed";
  BufferPtr out(GIS_CreateDataBufferObject(0));
  EXPECT_TRUE(f->GetSymbolData(out.get()));
  EXPECT_EQ(BufferBytes(out.get()), "sym:changed");

  // A new object replaces and ends the old one; NULL clears the symbol.
  EXPECT_TRUE(f->SetSymbol(AsSymbol(new TestSymbol("sym:new"))));
  EXPECT_EQ(TestSymbol::live, liveBefore + 1);
  EXPECT_TRUE(f->SetSymbol(nullptr));
  EXPECT_EQ(TestSymbol::live, liveBefore);
  EXPECT_FALSE(f->HasSymbol());
  EXPECT_FALSE(f->GetSymbolData(out.get()));
  EXPECT_EQ(out->GetSize(), 0);

  // Bytes the codec cannot read give no object and stay stored.
  f->SetSymbolData("garbage", 7);
  EXPECT_EQ(f->GetSymbol(), nullptr);
  EXPECT_TRUE(f->GetSymbolData(out.get()));
  EXPECT_EQ(BufferBytes(out.get()), "garbage");

  // Deleting a feature ends its symbol object.
  f->SetSymbol(AsSymbol(new TestSymbol("sym:last")));
  set->GetFeatureClass()->DeleteFeature(f->GetID());
  EXPECT_EQ(TestSymbol::live, liveBefore);
  RemoveSymbolCodec();
}

TEST(ElementHooks, WithoutHooksCreateAndDeleteAnswerNullAndFalse) {
  RemoveElementHooks();
  SetPtr set = NewSet();
  LogMark mark;
  EXPECT_FALSE(GIS_HasElementHooks());
  EXPECT_EQ(set->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_RECT"), nullptr);
  TestElement e;
  EXPECT_FALSE(set->DeleteElement(AsElement(&e)));
  EXPECT_EQ(set->GetFeatureCount(), 0);
  EXPECT_TRUE(mark.Has(3, "CGIS_FeatureSet::CreateElement"));
  EXPECT_TRUE(mark.Has(3, "CGIS_FeatureSet::DeleteElement"));
  // An incomplete hook record installs nothing.
  SGIS_ElementHooks partial{};
  GIS_SetElementHooks(&partial);
  EXPECT_FALSE(GIS_HasElementHooks());
}

TEST(ElementHooks, CreateFindAndDeleteElementsOfTheSet) {
  InstallTestElementHooks();
  SetPtr set = NewSet();
  const int liveBefore = TestElement::live;
  IGIS_Element* e = set->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_RECT");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(set->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_ARC"), nullptr);  // the factory's answer
  const int id = FromElement(e)->featureId;
  EXPECT_EQ(set->GetElement(id), e);
  EXPECT_EQ(set->GetElement(id + 100), nullptr);

  // An element of another set is not taken.
  SetPtr other = NewSet();
  EXPECT_FALSE(other->DeleteElement(e));
  EXPECT_EQ(TestElement::live, liveBefore + 1);

  ASSERT_TRUE(set->DeleteElement(e));
  EXPECT_EQ(TestElement::live, liveBefore);
  EXPECT_EQ(set->GetFeature(id), nullptr);
  EXPECT_FALSE(set->DeleteElement(nullptr));
  RemoveElementHooks();
}

TEST(ElementRegistry, HandlesResolveWhileTheElementLivesAndAreNeverReused) {
  std::vector<int> handles;
  for (int round = 0; round < 3; ++round) {
    // Fresh objects are often placed where a released one lay; the handle
    // must still be new, and the old handle must stay dead.
    auto* e = new TestElement;
    const unsigned long long nEnded = GIS_GetElementUnregisterCount();
    const int h = GIS_RegisterElement(AsElement(e));
    ASSERT_GT(h, 0);
    EXPECT_EQ(GIS_RegisterElement(AsElement(e)), h);  // once per element
    EXPECT_EQ(GIS_GetElementHandle(AsElement(e)), h);
    EXPECT_EQ(GIS_ResolveElement(h), AsElement(e));
    for (int old : handles) {
      EXPECT_NE(old, h);
      EXPECT_EQ(GIS_ResolveElement(old), nullptr);
    }
    handles.push_back(h);
    GIS_UnregisterElement(nullptr);
    EXPECT_EQ(GIS_GetElementUnregisterCount(), nEnded);  // registering ends nothing
    // The element registered last has no handle once unregistered.
    GIS_UnregisterElement(AsElement(e));
    EXPECT_EQ(GIS_GetElementHandle(AsElement(e)), 0);
    delete e;  // unregisters again: ignored
    EXPECT_EQ(GIS_ResolveElement(h), nullptr);
    EXPECT_EQ(GIS_GetElementUnregisterCount(), nEnded + 1);
  }
  EXPECT_EQ(GIS_ResolveElement(0), nullptr);
  EXPECT_EQ(GIS_ResolveElement(-3), nullptr);
  EXPECT_EQ(GIS_RegisterElement(nullptr), 0);
}

TEST(ElementRegistry, ManyElementsKeepTheirHandlesWhileOthersGo) {
  // Enough elements to grow the tables several times; removing every k-th
  // one in turn must leave every survivor reachable both ways.
  std::vector<TestElement*> elements(5000);
  std::vector<int> handles;
  for (TestElement*& e : elements) {
    e = new TestElement;
    handles.push_back(GIS_RegisterElement(AsElement(e)));
  }
  const int before = GIS_GetRegisteredElementCount();
  int removed = 0;
  for (const std::size_t step : {7u, 3u, 2u}) {
    for (std::size_t i = 0; i < elements.size(); i += step) {
      if (elements[i] == nullptr) continue;
      delete elements[i];
      elements[i] = nullptr;
      ++removed;
    }
    EXPECT_EQ(GIS_GetRegisteredElementCount(), before - removed);
    for (std::size_t i = 0; i < elements.size(); ++i) {
      if (elements[i] == nullptr) {
        ASSERT_EQ(GIS_ResolveElement(handles[i]), nullptr) << i;
      } else {
        ASSERT_EQ(GIS_ResolveElement(handles[i]), AsElement(elements[i])) << i;
        ASSERT_EQ(GIS_GetElementHandle(AsElement(elements[i])), handles[i]) << i;
      }
    }
  }
  for (TestElement* e : elements) delete e;
  EXPECT_EQ(GIS_GetRegisteredElementCount(), before - static_cast<int>(elements.size()));
}

TEST(ElementRegistry, APageKeptWhileOthersComeAndGoStaysReachable) {
  // One page lives while later pages are made and ended, their handles
  // running on past several table sizes: every live handle resolves both ways.
  const auto makePage = [](std::vector<std::unique_ptr<TestElement>>* page, std::vector<int>* handles) {
    page->clear();
    handles->clear();
    for (int i = 0; i < 3000; ++i) {
      page->push_back(std::make_unique<TestElement>());
      handles->push_back(GIS_RegisterElement(AsElement(page->back().get())));
    }
  };
  std::vector<std::unique_ptr<TestElement>> kept, later;
  std::vector<int> keptHandles, laterHandles;
  makePage(&kept, &keptHandles);
  for (int round = 0; round < 24; ++round) {
    makePage(&later, &laterHandles);
    for (std::size_t i = 0; i < kept.size(); ++i) {
      ASSERT_EQ(GIS_ResolveElement(keptHandles[i]), AsElement(kept[i].get())) << round << " " << i;
      ASSERT_EQ(GIS_ResolveElement(laterHandles[i]), AsElement(later[i].get())) << round << " " << i;
      ASSERT_EQ(GIS_GetElementHandle(AsElement(later[i].get())), laterHandles[i]) << round << " " << i;
    }
  }
  later.clear();
  for (int h : laterHandles) EXPECT_EQ(GIS_ResolveElement(h), nullptr);
}

TEST(ElementRegistry, FeatureOfAReleasedElementResolvesToNull) {
  InstallTestElementHooks();
  SetPtr set = NewSet();
  IGIS_Element* e = set->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_RECT");
  ASSERT_NE(e, nullptr);
  const int id = FromElement(e)->featureId;
  const int handle = set->GetFeature(id)->GetAttributes()->GetInt("InterfacePtr");
  EXPECT_EQ(GIS_ResolveElement(handle), e);
  // The host ends the element only; its feature stays with the stale handle.
  delete FromElement(e);
  ASSERT_NE(set->GetFeature(id), nullptr);
  EXPECT_EQ(set->GetElement(id), nullptr);
  EXPECT_EQ(GIS_ResolveElement(handle), nullptr);
  RemoveElementHooks();
}

TEST(ElementHooks, MapFrameQueryFindsTheFirstLiveMapFrame) {
  InstallTestElementHooks();
  SetPtr set = NewSet();
  EXPECT_EQ(set->GetMapFrameElement(), nullptr);
  IGIS_Element* plain = set->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_RECT");
  IGIS_Element* first = set->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_RECT");
  IGIS_Element* second = set->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_RECT");
  ASSERT_TRUE(plain != nullptr && first != nullptr && second != nullptr);
  EXPECT_EQ(set->GetMapFrameElement(), nullptr);
  for (IGIS_Element* e : {first, second}) {
    set->GetFeature(FromElement(e)->featureId)
        ->GetAttributes()
        ->SetString("TYPE", "GIS_TYPE_GRAPHIC_ELEMENT_MAP");
  }
  EXPECT_EQ(set->GetMapFrameElement(), first);
  // A frame whose element has ended is passed over.
  delete FromElement(first);
  EXPECT_EQ(set->GetMapFrameElement(), second);
  RemoveElementHooks();
}
