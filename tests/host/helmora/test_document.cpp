// Documents, maps, layers and class tables: lookups, messages, ownership and
// refused input that leaves everything as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "helmora_test_util.h"
#include "host/featra/igis_feature.h"
#include "tests/support/logmark.h"

namespace {

using namespace md::test;

struct Heard : IGIS_Observer {
  std::vector<std::string> messages;
  void Update(const char* message, int, IGIS_Element*) override { messages.emplace_back(message); }
};

TEST(Document, FindsMapsByNameAndIndex) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  ReferencePtr ref(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
  IGIS_Map* a = doc->CreateMap("甲图", ref.get());
  IGIS_Map* b = doc->CreateMap("乙图", ref.get());
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(doc->GetMapCount(), 2);
  EXPECT_EQ(doc->FindMap("乙图"), b);
  EXPECT_EQ(doc->GetMapAt(0), a);
  EXPECT_EQ(a->GetDocument(), doc.get());
  LogMark mark;
  EXPECT_EQ(doc->FindMap("丙图"), nullptr);
  EXPECT_EQ(doc->FindMap(nullptr), nullptr);
  EXPECT_EQ(doc->GetMapAt(2), nullptr);
  EXPECT_EQ(doc->GetMapAt(-1), nullptr);
  EXPECT_EQ(doc->CreateMap("甲图", ref.get()), nullptr);
  EXPECT_EQ(doc->CreateMap("", ref.get()), nullptr);
  EXPECT_EQ(doc->CreateMap(nullptr, ref.get()), nullptr);
  EXPECT_EQ(doc->CreateMap("丁图", nullptr), nullptr);
  ReferencePtr none(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0));
  EXPECT_EQ(doc->CreateMap("丁图", none.get()), nullptr);
  EXPECT_EQ(mark.Count(), 5u);
  EXPECT_EQ(doc->GetMapCount(), 2);
}

TEST(Document, LayoutLayerLeadsToTheDocumentWithoutBeingOneOfItsMaps) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  IGIS_MapLayer* layout = doc->GetLayoutLayer();
  ASSERT_NE(layout, nullptr);
  ASSERT_NE(layout->GetMap(), nullptr);
  EXPECT_EQ(layout->GetMap()->GetDocument(), doc.get());
  EXPECT_EQ(doc->GetMapCount(), 0);
  // A layout page's feature set keeps the layer.
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "页面", 0, 0, 0, 0, nullptr);
  EXPECT_EQ(set->GetMapLayer(), nullptr);
  EXPECT_TRUE(set->SetMapLayer(layout));
  EXPECT_EQ(set->GetMapLayer()->GetMap()->GetDocument(), doc.get());
  set->Release();
}

TEST(Map, TellsItsObserversOfNameAndReferenceChanges) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  IGIS_Map* map = nullptr;
  MakeTestMap(doc.get(), &map);
  Heard heard;
  ASSERT_TRUE(map->Attach(&heard, 0));
  EXPECT_TRUE(map->SetName("新名"));
  EXPECT_STREQ(map->GetName(), "新名");
  EXPECT_EQ(doc->FindMap("新名"), map);
  ReferencePtr geo(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
  EXPECT_TRUE(map->SetSpatialReference(geo.get()));
  EXPECT_EQ(heard.messages, (std::vector<std::string>{"GIS_MESSAGE_DOC_MAP_RENAMED",
                                                      "GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED"}));
  // Refused changes send nothing and change nothing.
  ReferencePtr none(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0));
  LogMark mark;
  EXPECT_FALSE(map->SetSpatialReference(none.get()));
  EXPECT_FALSE(map->SetSpatialReference(nullptr));
  EXPECT_FALSE(map->SetName(""));
  EXPECT_FALSE(map->SetName(nullptr));
  EXPECT_FALSE(map->SetRotateAngle(NAN));
  EXPECT_FALSE(map->SetRotateAngle(INFINITY));
  EXPECT_FALSE(map->SetReferenceScale(-5));
  EXPECT_GE(mark.Count(), 6u);
  EXPECT_EQ(heard.messages.size(), 2u);
  EXPECT_EQ(map->GetSpatialReference()->GetKind(), GIS_SPATIALREFERENCE_GEOGRAPHIC);
  EXPECT_STREQ(map->GetName(), "新名");
  EXPECT_EQ(map->GetRotateAngle(), 0.0);
  EXPECT_TRUE(map->Detach(&heard, 0));
  EXPECT_TRUE(map->SetName("再改"));
  EXPECT_EQ(heard.messages.size(), 2u);
}

TEST(Map, CanDrawNeedsAReferenceAndALayer) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  ReferencePtr ref(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(2));
  IGIS_Map* map = doc->CreateMap("空图", ref.get());
  EXPECT_FALSE(map->CanDraw());
  SGIS_DRect full(1, 2, 3, 4);
  map->GetFullExtent(&full, 0);
  EXPECT_EQ(full, SGIS_DRect());
  EXPECT_EQ(map->GetFullExtent(nullptr, 0), nullptr);
  ASSERT_TRUE(map->AddLayer(GIS_CreateGroupLayerObject("组")));
  EXPECT_TRUE(map->CanDraw());
  EXPECT_EQ(doc->GetLayoutLayer()->GetMap()->CanDraw(), FALSE);  // the layout map has no coordinate system
}

TEST(Layers, GroupsOwnTheirChildrenOnce) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  IGIS_Map* map = nullptr;
  MakeTestMap(doc.get(), &map);
  IGIS_MapLayer* group = GIS_CreateGroupLayerObject("组");
  IGIS_MapLayer* child = GIS_CreateVectorLayerObject("子", nullptr);
  IGIS_MapLayer* compound = GIS_CreateVectorCompoundLayerObject("复合", nullptr);
  ASSERT_TRUE(group->AddLayer(child));
  ASSERT_TRUE(group->AddLayer(compound));
  ASSERT_TRUE(map->AddLayer(group));
  EXPECT_EQ(child->GetMap(), map);
  EXPECT_STREQ(group->GetType(), GIS_DRAWER_GROUP);
  EXPECT_STREQ(compound->GetType(), GIS_DRAWER_VECTOR_COMPOUND);
  auto* data = dynamic_cast<IGIS_VectorCompoundMapLayer*>(compound->GetLayerPtr());
  ASSERT_NE(data, nullptr);
  EXPECT_NE(data->GetVectorMapLayer(), nullptr);
  EXPECT_EQ(group->GetLayer(1), compound);
  EXPECT_EQ(group->GetLayer(2), nullptr);
  LogMark mark;
  EXPECT_FALSE(map->AddLayer(child));       // already in a group
  EXPECT_FALSE(group->AddLayer(child));     // already in a group
  EXPECT_FALSE(child->AddLayer(compound));  // not a group
  EXPECT_FALSE(group->AddLayer(group));     // itself
  EXPECT_FALSE(map->AddLayer(nullptr));
  child->Release();  // owned: refused, stays usable
  EXPECT_STREQ(child->GetName(), "子");
  // A new layer refused stays the caller's, who ends it.
  IGIS_MapLayer* fresh = GIS_CreateVectorLayerObject("新", nullptr);
  EXPECT_FALSE(child->AddLayer(fresh));
  EXPECT_STREQ(fresh->GetName(), "新");
  fresh->Release();
  EXPECT_GE(mark.Count(), 6u);
  EXPECT_EQ(group->GetLayerCount(), 2);
  EXPECT_EQ(map->GetLayerCount(), 2);
}

TEST(Layers, FeaturesAreCheckedBeforeTheyAreKept) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  IGIS_Map* map = nullptr;
  IGIS_VectorMapLayer* layer = MakeTestMap(doc.get(), &map);
  EXPECT_EQ(AddPoint(layer, 10, 20, "甲"), 0);
  EXPECT_EQ(AddLine(layer, {{0, 0}, {5, 5}}), 1);
  LogMark mark;
  const SGIS_DPoint bad[3] = {{0, 0}, {NAN, 1}, {2, 2}};
  const SGIS_DPoint inf[2] = {{0, 0}, {INFINITY, 1}};
  const SGIS_DPoint ok[3] = {{0, 0}, {1, 1}, {2, 0}};
  const int three = 3, two = 2, one = 1, zero = 0, parts[2] = {1, 1};
  EXPECT_EQ(layer->AddFeature(GIS_MAPFEATURE_LINE, kLineClass, "", 1, &three, bad), -1);
  EXPECT_EQ(layer->AddFeature(GIS_MAPFEATURE_LINE, kLineClass, "", 1, &two, inf), -1);
  EXPECT_EQ(layer->AddFeature(GIS_MAPFEATURE_LINE, kLineClass, "", 1, &one, ok), -1);     // one point
  EXPECT_EQ(layer->AddFeature(GIS_MAPFEATURE_POLYGON, kAreaClass, "", 1, &two, ok), -1);  // two points
  EXPECT_EQ(layer->AddFeature(GIS_MAPFEATURE_POINT, kPointClass, "", 2, parts, ok), -1);  // two parts
  EXPECT_EQ(layer->AddFeature(GIS_MAPFEATURE_LINE, kLineClass, "", 0, &zero, ok), -1);
  EXPECT_EQ(layer->AddFeature(3, kLineClass, "", 1, &two, ok), -1);           // kind
  EXPECT_EQ(layer->AddFeature(GIS_MAPFEATURE_LINE, 7, "", 1, &two, ok), -1);  // class
  EXPECT_EQ(layer->AddFeature(GIS_MAPFEATURE_LINE, kLineClass, "", 1, nullptr, ok), -1);
  EXPECT_EQ(layer->AddFeature(GIS_MAPFEATURE_LINE, kLineClass, "", 1, &two, nullptr), -1);
  EXPECT_EQ(mark.Count(), 10u);
  EXPECT_EQ(layer->GetFeatureCount(), 2);
  EXPECT_STREQ(layer->GetFeatureName(0), "甲");
  EXPECT_EQ(layer->GetFeatureKind(1), GIS_MAPFEATURE_LINE);
  EXPECT_EQ(layer->GetFeatureClass(1), kLineClass);
  EXPECT_EQ(layer->GetFeatureName(2), nullptr);
  SGIS_DRect e;
  ASSERT_TRUE(layer->GetExtent(&e));
  EXPECT_EQ(e, SGIS_DRect(0, 20, 10, 0));
}

TEST(SymbolMatchTable, KeepsCopiesAndRefusesRepeats) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  IGIS_Map* map = nullptr;
  IGIS_SymbolMatchTable* t = MakeTestMap(doc.get(), &map)->GetSymbolMatchTable();
  ASSERT_EQ(t->GetCount(), 3);
  EXPECT_STREQ(t->GetLabel(1), "线");
  EXPECT_STREQ(t->GetValue(2), "point");
  EXPECT_EQ(t->FindValue("area"), 0);
  EXPECT_EQ(t->FindValue("river"), -1);
  EXPECT_EQ(t->FindValue(nullptr), -1);
  EXPECT_EQ(t->GetLabel(3), nullptr);
  EXPECT_EQ(t->GetSymbol(-1), nullptr);
  IGIS_Symbol* s = NewSymbol(GIS_SYMBOL_LINE, 3333, RGB(1, 2, 3));
  EXPECT_EQ(t->AddEntry("rail", "铁路", s), 3);
  s->SetColor(RGB(9, 9, 9));  // the table kept its own copy
  EXPECT_EQ(t->GetSymbol(3)->GetColor(), RGB(1, 2, 3));
  EXPECT_NE(t->GetSymbol(3), s);
  s->Release();
  EXPECT_EQ(t->AddEntry("none", "无符号", nullptr), 4);
  EXPECT_EQ(t->GetSymbol(4), nullptr);
  LogMark mark;
  EXPECT_EQ(t->AddEntry("rail", "重复", nullptr), -1);
  EXPECT_EQ(t->AddEntry(nullptr, "空", nullptr), -1);
  EXPECT_EQ(mark.Count(), 2u);
  EXPECT_EQ(t->GetCount(), 5);
}

}  // namespace
