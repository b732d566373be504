// Elements whose feature set reloads its content in place: every element kind
// finds its feature again by ID, answers NULL when the ID is gone or holds a
// feature that is not its own kind, and never touches the features the reload
// freed (the sanitizer build turns any such use into a failure).
#include <unistd.h>
#include <string>

#include "host/basilo/igis_globalproperties.h"
#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "tests/layout/graphicelement/element/elementtest.h"

namespace {

using md::test::LogMark;
using md::test::PageTest;

struct KindRow {
  const char* type;
  int otherKind;      // a feature kind this element does not make
  bool refusesOther;  // a feature of otherKind answers NULL
  SGIS_Rect unbound;  // the rectangle answered without a feature
};

const KindRow kKinds[] = {
    {GIS_TYPE_GRAPHIC_ELEMENT_POINT, 2, false, SGIS_Rect()},
    {GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, 4, false, SGIS_Rect()},
    {GIS_TYPE_GRAPHIC_ELEMENT_RECT, 2, false, SGIS_Rect()},
    {GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, 2, false, SGIS_Rect()},
    {GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, 2, false, SGIS_Rect()},
    {GIS_TYPE_GRAPHIC_ELEMENT_TEXT, 2, false, SGIS_Rect()},
    {GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND, 2, true, SGIS_Rect(0, 100, 100, 0)},
};

class ReloadTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    dir_ = std::string(GIS_GetTempDir()) + "/reload-XXXXXX";
    ASSERT_NE(::mkdtemp(dir_.data()), nullptr);
  }
  void TearDown() override {
    for (const std::string& f : files_) ::unlink(f.c_str());
    ::rmdir(dir_.c_str());
    PageTest::TearDown();
  }

  std::string File(const char* name) {
    files_.push_back(dir_ + "/" + name);
    return files_.back();
  }

  // A file holding one feature of the kind under the ID (and, below it,
  // plain rectangles that only fill the IDs).
  std::string FileWithKindAt(int id, int kind) {
    IGIS_FeatureSet* other = GIS_CreateFeatureSetObject(nullptr, "other", 0, 0, 0, 0, nullptr);
    IGIS_FeatureClass* pClass = other->GetFeatureClass();
    for (int made = 0, i = 0; made < id - 1 && i < 1000; ++i) {
      IGIS_Feature* f = pClass->CreateFeature(1024, 0);
      if (f == nullptr) break;
      made = f->GetID();
    }
    IGIS_Feature* f = pClass->CreateFeature(kind, 0);
    EXPECT_TRUE(f != nullptr && f->GetID() == id);
    const std::string path = File("other.mdfs");
    EXPECT_TRUE(other->SaveToFile(path.c_str()));
    other->Release();
    return path;
  }

  // Every operation that reads the feature; none may touch freed memory.
  static void Exercise(IGIS_Element* e) {
    (void)e->GetRect();
    (void)e->Archive(1, 0);
    e->OffsetAllPoints(10, -10);
    e->ScaleShape(SGIS_Point(0, 0, 0), 1.5, 0.5);
    e->SetRect(SGIS_Rect(100, 900, 700, 300));
    (void)e->GetRect();
    if (IGIS_Element* copy = e->Clone()) {
      IGIS_FeatureSet* owner = copy->GetFeatureSetPtr();
      if (owner == nullptr || !owner->DeleteElement(copy)) copy->Release();
    }
  }

  std::string dir_;
  std::vector<std::string> files_;
};

TEST_F(ReloadTest, EveryKindRefreshesItsFeatureByIdAfterAReload) {
  for (const KindRow& row : kKinds) {
    SCOPED_TRACE(row.type);
    IGIS_Element* e = Keep(set_->CreateElement(row.type));
    ASSERT_NE(e, nullptr);
    if (auto* c = dynamic_cast<CGIS_CompoundElement*>(e)) {
      ASSERT_TRUE(c->AddElement(Box(0, 0, 300, 200, "m1")));
      ASSERT_TRUE(c->AddElement(Box(400, 100, 900, 500, "m2")));
    } else {
      e->SetRect(SGIS_Rect(200, 800, 600, 300));
    }
    ASSERT_TRUE(e->Archive(0, 0));
    const int id = e->GetID();
    const SGIS_Rect saved = e->GetRect();
    ASSERT_NE(e->GetFeaturePtr(), nullptr);

    const std::string same = File("same.mdfs");
    ASSERT_TRUE(set_->SaveToFile(same.c_str()));
    const std::string other = FileWithKindAt(id, row.otherKind);
    IGIS_FeatureSet* empty = GIS_CreateFeatureSetObject(nullptr, "empty", 0, 0, 0, 0, nullptr);
    const std::string missing = File("missing.mdfs");
    ASSERT_TRUE(empty->SaveToFile(missing.c_str()));
    empty->Release();

    // The ID now holds a feature of another kind.
    e->OffsetAllPoints(50, 50);
    ASSERT_TRUE(set_->LoadFromFile(other.c_str()));
    {
      LogMark log;
      IGIS_Feature* f = e->GetFeaturePtr();
      if (row.refusesOther) {
        EXPECT_EQ(f, nullptr);
        EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::GetFeaturePtr", " == NULL"));
        EXPECT_EQ(e->GetRect(), row.unbound);
      } else {
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f, set_->GetFeature(id));
        EXPECT_EQ(f->GetKind(), row.otherKind);
      }
      Exercise(e);
    }

    // The ID is gone.
    ASSERT_TRUE(set_->LoadFromFile(missing.c_str()));
    EXPECT_EQ(e->GetFeaturePtr(), nullptr);
    EXPECT_EQ(e->GetRect(), row.unbound);
    EXPECT_FALSE(e->Archive(1, 0));
    Exercise(e);

    // The ID is back with the element's own kind: the stored state returns.
    ASSERT_TRUE(set_->LoadFromFile(same.c_str()));
    ASSERT_NE(e->GetFeaturePtr(), nullptr);
    EXPECT_EQ(e->GetFeaturePtr(), set_->GetFeature(id));
    EXPECT_EQ(e->GetRect(), saved);
    EXPECT_TRUE(e->Archive(1, 0));
    Exercise(e);
  }
}

}  // namespace
