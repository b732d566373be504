#include "tests/layout/graphicelement/legend/legendtest.h"

#include "host/helmora/gis_mapfile.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/mapdeckdrawer.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"

namespace md::test {

namespace {

IGIS_Symbol* NewSymbol(int type, COLORREF color) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(type);
  s->SetColor(color);
  return s;
}

// A vector layer (or compound layer) with classes (value, label, symbol
// type; type 0 adds a class without a symbol).
struct ClassRow {
  const char* value;
  const char* label;
  int type;
};

IGIS_MapLayer* NewLayer(const char* name, bool compound, std::initializer_list<ClassRow> classes) {
  IGIS_MapLayer* layer = compound ? GIS_CreateVectorCompoundLayerObject(name, nullptr)
                                  : GIS_CreateVectorLayerObject(name, nullptr);
  IGIS_VectorMapLayer* data = nullptr;
  if (compound) {
    data = dynamic_cast<IGIS_VectorCompoundMapLayer*>(layer->GetLayerPtr())->GetVectorMapLayer();
  } else {
    data = dynamic_cast<IGIS_VectorMapLayer*>(layer->GetLayerPtr());
  }
  for (const ClassRow& c : classes) {
    IGIS_Symbol* s = c.type != 0 ? NewSymbol(c.type, RGB(40, 90, 160)) : nullptr;
    data->GetSymbolMatchTable()->AddEntry(c.value, c.label, s);
    if (s != nullptr) s->Release();
  }
  return layer;
}

}  // namespace

void LegendPage::SetUp() {
  GIS_SetSymbolTextEngine("fixed");
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  ASSERT_NE(set_, nullptr);
  ASSERT_TRUE(set_->SetUnitRatio(kSymbolScale));
  page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set_->GetFeatureClass()->SetSpatialReference(page_);

  doc_ = GIS_CreateDocumentObject();
  IGIS_SpatialReference* gk =
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  map_ = doc_->CreateMap("测试地图", gk);
  gk->Release();
  ASSERT_NE(map_, nullptr);

  IGIS_MapLayer* water = GIS_CreateGroupLayerObject("水系");
  water->AddLayer(
      NewLayer("河流", false, {{"major", "主要河流", GIS_SYMBOL_LINE}, {"minor", "小河", GIS_SYMBOL_LINE}}));
  ASSERT_TRUE(map_->AddLayer(water));
  ASSERT_TRUE(map_->AddLayer(NewLayer(
      "植被", false,
      {{"forest", "林地", GIS_SYMBOL_FILL}, {"none", "无符号", 0}, {"text", "注记", GIS_SYMBOL_TEXT}})));
  ASSERT_TRUE(map_->AddLayer(NewLayer("公路", true, {{"main", "主要公路", GIS_SYMBOL_LINE}})));
  ASSERT_TRUE(map_->AddLayer(NewLayer("居民点", false, {{"town", "乡镇", GIS_SYMBOL_POINT5}})));
  ASSERT_TRUE(set_->SetMapLayer(doc_->GetLayoutLayer()));
}

void LegendPage::TearDown() {
  // Legends first, so that none outlives the frame it follows unannounced.
  for (auto it = elements_.rbegin(); it != elements_.rend(); ++it) (*it)->Release();
  elements_.clear();
  if (set_ != nullptr) set_->Release();
  if (doc_ != nullptr) doc_->Release();
  if (page_ != nullptr) page_->Release();
  md::layout::InstallElementHooks();
  GIS_SetSymbolTextEngine("freetype");
}

CGIS_MapElement* LegendPage::NewFrame() {
  auto* f = new CGIS_MapElement(set_, nullptr);
  elements_.insert(elements_.begin(), f);
  f->SetRect(SGIS_Rect(1000, 19000, 19000, 10000));
  f->SetMapName("测试地图");
  return f;
}

void LegendPage::ReleaseFrame(CGIS_MapElement* frame) {
  std::erase(elements_, static_cast<IGIS_Element*>(frame));
  frame->Release();
}

CGIS_LegendElement* LegendPage::NewLegend(CGIS_MapElement* frame) {
  auto* l = new CGIS_LegendElement(set_, nullptr);
  elements_.push_back(l);
  l->_SetRect(1000, 1000, 2000, 2000);
  if (frame != nullptr) l->SetMapElement(frame);
  return l;
}

CGIS_LegendItem* LegendPage::NewItem(CGIS_LegendElement* legend, const char* layer,
                                     std::vector<std::string> labels) {
  auto* item = new CGIS_LegendItem(legend);
  item->SetLayer(Layer(layer));
  for (const std::string& l : labels) item->AddLabel(l.c_str());
  return item;
}

IGIS_MapLayer* LegendPage::Layer(const char* name) { return FindVectorDrawer(map_, name); }

IGIS_PropertySet* LegendPage::CustomOf(IGIS_Element* e) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  EXPECT_NE(b, nullptr);
  if (b != nullptr) {
    EXPECT_TRUE(set->Archive(b, GIS_ARCHIVE_READ, 0));
  }
  return set;
}

std::vector<unsigned char> LegendPage::CustomBytes(IGIS_Element* e) {
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  if (b == nullptr || b->GetData() == nullptr) return {};
  return std::vector<unsigned char>(b->GetData(), b->GetData() + b->GetSize());
}

IGIS_Map* LegendPage::LoadSampleSheet() {
  return GIS_LoadMapFile(doc_, (std::string(MD_SOURCE_DIR) + "/host/helmora/maps/sheet_50k.geojson").c_str());
}

namespace {
void CollectVectorLayers(IGIS_MapLayer* layer, std::vector<IGIS_MapLayer*>* out) {
  if (std::string(layer->GetType()) != GIS_DRAWER_GROUP) {
    out->push_back(layer);
    return;
  }
  for (int i = 0; i < layer->GetLayerCount(); ++i) CollectVectorLayers(layer->GetLayer(i), out);
}
}  // namespace

std::vector<IGIS_MapLayer*> VectorLayersOf(IGIS_Map* map) {
  std::vector<IGIS_MapLayer*> out;
  for (int i = 0; i < map->GetLayerCount(); ++i) CollectVectorLayers(map->GetLayer(i), &out);
  return out;
}

IGIS_SymbolMatchTable* ClassesOf(IGIS_MapLayer* layer) {
  IGIS_LayerData* data = layer->GetLayerPtr();
  if (auto* c = dynamic_cast<IGIS_VectorCompoundMapLayer*>(data))
    return c->GetVectorMapLayer()->GetSymbolMatchTable();
  return dynamic_cast<IGIS_VectorMapLayer*>(data)->GetSymbolMatchTable();
}

void AddEveryClass(CGIS_LegendElement* legend, IGIS_Map* map) {
  for (IGIS_MapLayer* layer : VectorLayersOf(map)) {
    IGIS_LegendItem* item = GIS_CreateLegendItemObject(legend);
    item->SetLayer(layer);
    IGIS_SymbolMatchTable* table = ClassesOf(layer);
    for (int j = 0; j < table->GetCount(); ++j) item->AddLabel(table->GetLabel(j));
    legend->AddItem(item);
  }
}

std::string ClipOf(HDC hdc) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  std::string out = "none";
  if (GetClipRgn(hdc, rgn) == 1) {
    RECT box;
    GetRgnBox(rgn, &box);
    out = std::to_string(box.left) + "," + std::to_string(box.top) + "," + std::to_string(box.right) + "," +
          std::to_string(box.bottom);
  }
  DeleteObject(rgn);
  return out;
}

}  // namespace md::test
