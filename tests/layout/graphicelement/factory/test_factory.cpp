// The element factory's table, its exact matching, and the feature sets'
// element hooks that reach it.
#include <cstring>
#include <memory>
#include <string>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "tests/layout/graphicelement/element/elementtest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::PageTest;

const char* const kTypes[26] = {
    "GIS_TYPE_GRAPHIC_ELEMENT_POINT",
    "GIS_TYPE_GRAPHIC_ELEMENT_LINE",
    "GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE",
    "GIS_TYPE_GRAPHIC_ELEMENT_ARC",
    "GIS_TYPE_GRAPHIC_ELEMENT_RECT",
    "GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE",
    "GIS_TYPE_GRAPHIC_ELEMENT_POLYGON",
    "GIS_TYPE_GRAPHIC_ELEMENT_TEXT",
    "GIS_TYPE_GRAPHIC_ELEMENT_TABLE",
    "GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW",
    "GIS_TYPE_GRAPHIC_ELEMENT_MAP",
    "GIS_TYPE_GRAPHIC_ELEMENT_LEGEND",
    "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING",
    "GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT",
    "GIS_TYPE_GRAPHIC_ELEMENT_PICTURE",
    "GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND",
    "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING",
    "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA",
    "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW",
    "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE",
    "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE",
    "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC",
    "GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH",
    "GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE",
    "GIS_TYPE_GRAPHIC_ELEMENT_OLE",
    "GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX",
};

using FactoryPtr = md::basilo::ReleasePtr<IGIS_ElementFactory>;

using ElementFactory = PageTest;

TEST_F(ElementFactory, AnswersItsTwentySixIdentifiersInOrder) {
  FactoryPtr f(GIS_CreateGraphicElementFactoryObject());
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->GetTypeCount(), 26);
  for (int i = 0; i < 26; ++i) EXPECT_STREQ(f->GetTypeName(i), kTypes[i]) << i;
  for (int i : {26, 27, -1, -26, 1000000, -2147483647 - 1}) EXPECT_STREQ(f->GetTypeName(i), "") << i;
  EXPECT_STREQ(f->GetFactoryType(), "MAPDECK_FACTORY_TYPE_BASIC");
}

TEST_F(ElementFactory, TwoFactoriesAreIndependent) {
  FactoryPtr a(GIS_CreateGraphicElementFactoryObject());
  IGIS_ElementFactory* b = GIS_CreateGraphicElementFactoryObject();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a.get(), b);
  b->Release();
  EXPECT_EQ(a->GetTypeCount(), 26);
  IGIS_Element* e = a->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND", set_, nullptr);
  ASSERT_NE(e, nullptr);
  Keep(e);
}

// Each answers NULL, through the factory and through a feature set alike:
// quietly for an identifier that builds nothing or that no row spells
// exactly (a host asks for each listed one), with one record for none at all.
TEST_F(ElementFactory, IdentifiersThatBuildNothingAndInexactNamesGiveNullQuietly) {
  FactoryPtr f(GIS_CreateGraphicElementFactoryObject());
  const int before = set_->GetFeatureClass()->GetFeatureCount();
  const struct {
    const char* type;
    const char* said;  // the record of each call; NULL: none
  } rows[] = {
      {"GIS_TYPE_GRAPHIC_ELEMENT_ARC", nullptr},
      {"GIS_TYPE_GRAPHIC_ELEMENT_TABLE", nullptr},
      {"GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA", nullptr},
      {"GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC", nullptr},
      {"gis_type_graphic_element_compound", nullptr},
      {"GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND ", nullptr},
      {"GIS_TYPE_GRAPHIC_ELEMENT_COMPOUN", nullptr},
      {"GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOUBLEALTERNATING", nullptr},
      {"nonsense", nullptr},
      {"", nullptr},
      {nullptr, "no type named: szType is NULL"},
  };
  for (const auto& row : rows) {
    const char* name = row.type != nullptr ? row.type : "(null)";
    md::test::LogMark mark;
    EXPECT_EQ(f->CreateElement(row.type, set_, nullptr), nullptr) << name;
    EXPECT_EQ(set_->CreateElement(row.type), nullptr) << name;
    EXPECT_EQ(mark.Count(), row.said != nullptr ? 2u : 0u) << name;
    if (row.said == nullptr) continue;
    EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_ElementFactory::CreateElement", row.said), 1) << name;
    EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureSet::CreateElement", row.said), 1) << name;
  }
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), before);
}

TEST_F(ElementFactory, CompoundIsBuiltNewOrBoundToAStoredFeature) {
  FactoryPtr f(GIS_CreateGraphicElementFactoryObject());
  IGIS_Element* made = Keep(f->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND", set_, nullptr));
  ASSERT_NE(made, nullptr);
  EXPECT_STREQ(made->GetType(), "GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND");
  IGIS_Feature* feature = set_->GetFeature(made->GetID());
  ASSERT_NE(feature, nullptr);

  IGIS_Element* bound = Keep(f->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND", set_, feature));
  ASSERT_NE(bound, nullptr);
  EXPECT_EQ(bound->GetID(), made->GetID());
  // The feature now names the element bound last.
  EXPECT_EQ(set_->GetElement(made->GetID()), bound);

  // Without an owner the element is unbound but still made.
  IGIS_Element* loose = f->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND", nullptr, nullptr);
  ASSERT_NE(loose, nullptr);
  EXPECT_EQ(loose->GetID(), -1);
  loose->Release();
}

// The rows whose classes are part of the library build their element, on a
// new feature of the class's kind with its "TYPE", or bound to a given one.
TEST_F(ElementFactory, BuiltRowsMakeTheirClassesOnNewOrStoredFeatures) {
  struct Row {
    const char* asked;
    const char* type;  // GetType and the stored "TYPE"
    const char* name;  // default name
    int kind;          // kind code of the new feature
  };
  const Row rows[] = {
      {"GIS_TYPE_GRAPHIC_ELEMENT_POINT", "GIS_TYPE_GRAPHIC_ELEMENT_POINT", "点整饰单元", 1024},
      {"GIS_TYPE_GRAPHIC_ELEMENT_LINE", "GIS_TYPE_GRAPHIC_ELEMENT_POINT", "点整饰单元", 1024},
      {"GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE", "GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE", "线整饰单元", 2},
      {"GIS_TYPE_GRAPHIC_ELEMENT_RECT", "GIS_TYPE_GRAPHIC_ELEMENT_RECT", "矩形整饰单元", 1024},
      {"GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE", "GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE", "椭圆整饰单元", 16},
      {"GIS_TYPE_GRAPHIC_ELEMENT_POLYGON", "GIS_TYPE_GRAPHIC_ELEMENT_POLYGON", "多边形整饰单元", 4},
      {"GIS_TYPE_GRAPHIC_ELEMENT_TEXT", "GIS_TYPE_GRAPHIC_ELEMENT_TEXT", "文本整饰单元", 4},
      {"GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND", "GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND", "复合整饰单元", 512},
  };
  FactoryPtr f(GIS_CreateGraphicElementFactoryObject());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.asked);
    const int before = set_->GetFeatureClass()->GetFeatureCount();
    IGIS_Element* made = Keep(f->CreateElement(row.asked, set_, nullptr));
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->GetType(), row.type);
    EXPECT_STREQ(made->GetName(), row.name);
    EXPECT_EQ(made->GetFeatureSetPtr(), set_);
    EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), before + 1);
    IGIS_Feature* feature = set_->GetFeature(made->GetID());
    ASSERT_NE(feature, nullptr);
    EXPECT_EQ(feature->GetKind(), row.kind);
    EXPECT_STREQ(feature->GetAttributes()->GetString("TYPE"), row.type);
    EXPECT_EQ(set_->GetElement(made->GetID()), made);

    // Bound to the stored feature: no new feature, and the feature now
    // names the new element.
    IGIS_Element* bound = Keep(f->CreateElement(row.asked, set_, feature));
    ASSERT_NE(bound, nullptr);
    EXPECT_STREQ(bound->GetType(), row.type);
    EXPECT_EQ(bound->GetID(), made->GetID());
    EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), before + 1);
    EXPECT_EQ(set_->GetElement(made->GetID()), bound);
  }
}

TEST_F(ElementFactory, FeatureSetsCreateAndDeleteElementsThroughIt) {
  const int before = set_->GetFeatureClass()->GetFeatureCount();
  IGIS_Element* e = set_->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND");
  ASSERT_NE(e, nullptr);
  EXPECT_NE(dynamic_cast<IGIS_CompoundElement*>(e), nullptr);
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), before + 1);
  EXPECT_EQ(set_->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_ARC"), nullptr);
  EXPECT_TRUE(set_->DeleteElement(e));
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), before);
}

}  // namespace
