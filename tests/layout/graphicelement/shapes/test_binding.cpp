// Binding the plain shapes to new and stored features: kinds, bookkeeping
// fields, default symbols and names, the state Archive stores and reads back,
// and the migration of stored point features.
#include "layout/graphicelement/shapes/cgis_ellipseelement.h"
#include "layout/graphicelement/shapes/cgis_pointelement.h"
#include "layout/graphicelement/shapes/cgis_rectelement.h"
#include "tests/layout/graphicelement/shapes/shapetest.h"

namespace {

using md::test::LogMark;
using md::test::ShapeTest;

struct ShapeRow {
  const char* factoryType;  // what the host asks for
  const char* type;         // what the element answers
  int kind;
  const char* name;
  int symbolType;
  int styleCode;
};

const ShapeRow kShapes[] = {
    {GIS_TYPE_GRAPHIC_ELEMENT_POINT, GIS_TYPE_GRAPHIC_ELEMENT_POINT, 1024, "点整饰单元", 6, 3301},
    {GIS_TYPE_GRAPHIC_ELEMENT_LINE, GIS_TYPE_GRAPHIC_ELEMENT_POINT, 1024, "点整饰单元", 6, 3301},
    {GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, 2, "线整饰单元", 9, 3331},
    {GIS_TYPE_GRAPHIC_ELEMENT_RECT, GIS_TYPE_GRAPHIC_ELEMENT_RECT, 1024, "矩形整饰单元", 12, 3361},
    {GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, 16, "椭圆整饰单元", 12, 3361},
    {GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, 4, "多边形整饰单元", 12, 3361},
};

TEST_F(ShapeTest, NewShapesHaveTheirKindTypeNameAndDefaultSymbol) {
  for (const ShapeRow& row : kShapes) {
    SCOPED_TRACE(row.factoryType);
    IGIS_Element* e = Keep(set_->CreateElement(row.factoryType));
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->GetType(), row.type);
    EXPECT_STREQ(e->GetName(), row.name);
    EXPECT_STREQ(e->GetDescription(), "暂时没有定义");
    EXPECT_TRUE(!e->CanConvert() && e->ConvertToElement() == nullptr);
    IGIS_Feature* f = e->GetFeaturePtr();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetKind(), row.kind);
    IGIS_FeatureAttributes* a = f->GetAttributes();
    EXPECT_EQ(GIS_ResolveElement(a->GetInt("InterfacePtr")), e);
    EXPECT_STREQ(a->GetString("TYPE"), row.type);
    EXPECT_FALSE(a->GetBool("CanConvert"));
    ASSERT_NE(f->GetSymbol(), nullptr);
    EXPECT_EQ(f->GetSymbol()->GetType(), row.symbolType);
    EXPECT_EQ(f->GetSymbol()->GetStyleCode(), row.styleCode);
  }
  // A point is sized from its marker's box (8 x 8 units), committed whole,
  // and always keeps its ratio.
  auto* p = Make<CGIS_PointElement>(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  const int side = static_cast<int>(8 * set_->GetUnitRatio() + 0.5);
  EXPECT_EQ(p->GetRect(), SGIS_Rect(0, side, side, 0));
  EXPECT_EQ(TakeCommits().back(), std::make_pair(p->GetID(), 127));
  p->SetHVScaleRatio(false);
  EXPECT_TRUE(p->GetHVScaleRatio());
  ASSERT_TRUE(p->Archive(0, 0));
  EXPECT_TRUE(p->GetFeaturePtr()->GetAttributes()->GetBool("KeepHVScaleRatio"));
}

TEST_F(ShapeTest, BoundToItsStoredFeatureEachShapeReadsBackItsState) {
  for (const ShapeRow& row : kShapes) {
    SCOPED_TRACE(row.factoryType);
    IGIS_Element* e = set_->CreateElement(row.factoryType);
    e->SetRect(SGIS_Rect(100, 900, 700, 300));
    const SGIS_Rect rect = e->GetRect();
    e->SetLock(true);
    e->SetHVScaleRatio(true);
    e->SetOrder(7);
    e->SetName("图廓线");
    ASSERT_TRUE(e->Archive(0, 0));
    const int id = e->GetID();
    e->Release();  // the feature stays in the set

    IGIS_Feature* f = set_->GetFeature(id);
    IGIS_Symbol* stored = f->GetSymbol();
    IGIS_Element* b = Keep(md::test::CreateShape(row.factoryType, set_, f));
    EXPECT_EQ(b->GetID(), id);
    IGIS_FeatureAttributes* a = f->GetAttributes();
    EXPECT_EQ(GIS_ResolveElement(a->GetInt("InterfacePtr")), b);
    EXPECT_TRUE(a->GetBool("IsLock") && a->GetBool("KeepHVScaleRatio"));  // left as stored
    EXPECT_FALSE(a->GetBool("CanConvert"));                               // as a new one stores it
    EXPECT_EQ(f->GetSymbol(), stored);
    ASSERT_TRUE(b->Archive(1, 0));
    EXPECT_TRUE(b->IsLock() && b->GetHVScaleRatio());
    EXPECT_EQ(b->GetOrder(), 7);
    EXPECT_STREQ(b->GetName(), "图廓线");
    EXPECT_EQ(b->GetRect(), rect);
  }
}

TEST_F(ShapeTest, StoredFeaturesKeepWhatTheyHoldWhenBound) {
  // An ellipse reads its state at once and gives a feature without symbol the default.
  IGIS_Feature* f = Class()->CreateFeature(16, 0);
  f->GetAttributes()->SetBool("IsLock", true);
  f->GetAttributes()->SetString("ElementName", "圆");
  IGIS_Element* e = Keep(new CGIS_EllipseElement(set_, f));
  EXPECT_TRUE(e->IsLock());
  EXPECT_STREQ(e->GetName(), "圆");
  ASSERT_NE(f->GetSymbol(), nullptr);
  EXPECT_EQ(f->GetSymbol()->GetStyleCode(), 3361);
  // A point on a stored rectangle feature rewrites only the link, and commits.
  IGIS_Feature* r = Class()->CreateFeature(1024, 0);
  r->GetAttributes()->SetString("TYPE", "stored");
  TakeCommits();
  Keep(new CGIS_PointElement(set_, r));
  EXPECT_STREQ(r->GetAttributes()->GetString("TYPE"), "stored");
  EXPECT_EQ(r->GetSymbol(), nullptr);
  EXPECT_EQ(TakeCommits(), (md::test::Commits{{r->GetID(), 127}}));
}

TEST_F(ShapeTest, WithoutAFeatureAShapeStaysUnboundAndRefusesWork) {
  for (const ShapeRow& row : kShapes) {
    SCOPED_TRACE(row.factoryType);
    IGIS_Element* e = Keep(md::test::CreateShape(row.factoryType, nullptr, nullptr));
    EXPECT_EQ(e->GetID(), -1);
    EXPECT_STREQ(e->GetName(), row.name);
    EXPECT_EQ(e->GetRect(), SGIS_Rect());
    EXPECT_FALSE(e->Archive(0, 0));
    EXPECT_FALSE(e->OnDraw(nullptr, false, nullptr));
    EXPECT_EQ(e->Clone(), nullptr);
  }
  EXPECT_EQ(Class()->GetFeatureCount(), 0);
  md::test::RefusingFeatureSet refusing(set_);
  LogMark log;
  auto* rect = Keep(new CGIS_RectElement(&refusing, nullptr));
  EXPECT_EQ(rect->GetID(), -1);
  EXPECT_TRUE(log.Has(3, "CGIS_RectElement::CGIS_RectElement", "建立Feature失败 pFeature == NULL"));
  EXPECT_EQ(rect->GetRect(), SGIS_Rect());
  EXPECT_TRUE(log.Has(4, "CGIS_RectElement::GetRect", "m_pFeature == NULL"));
}

// A stored point feature (kind 1) at (1500, 2500) named "井".
IGIS_Feature* StoredPoint(IGIS_FeatureClass* c) {
  IGIS_Feature* f = c->CreateFeature(1, 0);
  f->GetGeometry()->SetPointCount(1);
  f->GetGeometry()->SetPoint(0, SGIS_Point(1500, 2500, 0), 0);
  f->GetAttributes()->SetString("ElementName", "井");
  return f;
}

TEST_F(ShapeTest, AStoredPointFeatureIsReplacedByARectangleAroundItsPoint) {
  const int oldId = StoredPoint(Class())->GetID();
  TakeCommits();
  auto* p = Keep(new CGIS_PointElement(set_, set_->GetFeature(oldId)));
  EXPECT_EQ(set_->GetFeature(oldId), nullptr);
  ASSERT_NE(p->GetFeaturePtr(), nullptr);
  EXPECT_NE(p->GetID(), oldId);
  EXPECT_EQ(p->GetFeaturePtr()->GetKind(), 1024);
  const int side = static_cast<int>(8 * set_->GetUnitRatio() + 0.5);
  EXPECT_EQ(p->GetRect(), SGIS_Rect(1500, 2500 + side, 1500 + side, 2500));
  EXPECT_EQ(p->GetSymbolPtr()->GetStyleCode(), 3301);
  EXPECT_EQ(TakeCommits(), (md::test::Commits{{p->GetID(), 127}}));
}

TEST_F(ShapeTest, AStoredPointFeatureIsKeptWhenNoNewFeatureCanBeMade) {
  IGIS_Feature* old = StoredPoint(Class());
  md::test::RefusingFeatureSet refusing(set_);
  LogMark log;
  auto* p = Keep(new CGIS_PointElement(&refusing, old));
  EXPECT_TRUE(log.Has(3, "CGIS_PointElement::CGIS_PointElement", "建立Feature失败 pFeature == NULL"));
  EXPECT_EQ(p->GetID(), -1);
  ASSERT_EQ(set_->GetFeature(old->GetID()), old);
  EXPECT_EQ(old->GetGeometry()->GetPoint(0, 0), SGIS_Point(1500, 2500, 0));
  EXPECT_STREQ(old->GetAttributes()->GetString("ElementName"), "井");
  EXPECT_EQ(Class()->GetFeatureCount(), 1);
}

}  // namespace
