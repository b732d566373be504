#include "tests/layout/graphicelement/mapframe/mapframetest.h"

#include <cstring>

#include "layout/graphicelement/compound/igis_compoundelement.h"

namespace md::test {

namespace {

IGIS_Element* NewCompound(IGIS_Element* pMapElement) {
  IGIS_FeatureSet* owner = pMapElement != nullptr ? pMapElement->GetFeatureSetPtr() : nullptr;
  return owner != nullptr ? owner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND) : nullptr;
}

}  // namespace

bool TestBorder::Save(IGIS_DataBuffer* pBuffer) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("MapBorderType", "MapBorderType", GIS_FIELD_TYPE_INT, 1)->SetInt(GetType());
  set->AddProperty("Name", "Name", GIS_FIELD_TYPE_STRING, 1)->SetString(stored_.c_str());
  const BOOL ok = set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0);
  set->Release();
  return ok != FALSE;
}

IGIS_Element* TestBorder::ConvertToElement(IGIS_Element* pMapElement) {
  j_->Add("convert border " + name_);
  return converts_ ? NewCompound(pMapElement) : nullptr;
}

IGIS_Element* TestGrid::ConvertToElement() {
  j_->Add("convert grid " + name_);
  return converts_ ? NewCompound(frame_) : nullptr;
}

void MapFramePage::SetUp() {
  GIS_SetSymbolTextEngine("fixed");
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  ASSERT_NE(set_, nullptr);
  page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set_->GetFeatureClass()->SetSpatialReference(page_);

  doc_ = GIS_CreateDocumentObject();
  IGIS_SpatialReference* gk = NewGaussKruger();
  ASSERT_NE(gk, nullptr);
  map_ = doc_->CreateMap("测试地图", gk);
  gk->Release();
  ASSERT_NE(map_, nullptr);

  IGIS_MapLayer* layer = GIS_CreateVectorLayerObject("水系", nullptr);
  auto* data = dynamic_cast<IGIS_VectorMapLayer*>(layer->GetLayerPtr());
  ASSERT_NE(data, nullptr);
  IGIS_Symbol* fill = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL);
  fill->SetColor(RGB(120, 170, 230));
  IGIS_Symbol* line = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE);
  line->SetColor(RGB(200, 60, 40));
  const int water = data->GetSymbolMatchTable()->AddEntry("water", "水域", fill);
  const int road = data->GetSymbolMatchTable()->AddEntry("road", "公路", line);
  fill->Release();
  line->Release();
  const SGIS_DPoint ring[] = {{kWaterX1, kWaterY1},
                              {kWaterX2, kWaterY1},
                              {kWaterX2, kWaterY2},
                              {kWaterX1, kWaterY2},
                              {kWaterX1, kWaterY1}};
  const int ringSize = 5;
  ASSERT_GE(data->AddFeature(GIS_MAPFEATURE_POLYGON, water, "湖", 1, &ringSize, ring), 0);
  const SGIS_DPoint way[] = {{415000, 4405000}, {435000, 4425000}};
  const int waySize = 2;
  ASSERT_GE(data->AddFeature(GIS_MAPFEATURE_LINE, road, "路", 1, &waySize, way), 0);
  ASSERT_TRUE(map_->AddLayer(layer));
  ASSERT_TRUE(set_->SetMapLayer(doc_->GetLayoutLayer()));
}

void MapFramePage::TearDown() {
  for (CGIS_MapElement* f : frames_) f->Release();
  frames_.clear();
  if (set_ != nullptr) set_->Release();
  if (doc_ != nullptr) doc_->Release();
  if (page_ != nullptr) page_->Release();
  md::layout::InstallElementHooks();
  GIS_SetSymbolTextEngine("freetype");
}

CGIS_MapElement* MapFramePage::NewFrame(SGIS_Rect rect) {
  auto* f = new CGIS_MapElement(set_, nullptr);
  frames_.push_back(f);
  if (rect.Width() > 0 && rect.Height() > 0) f->SetRect(rect);
  return f;
}

void MapFramePage::ReleaseFrame(CGIS_MapElement* frame) {
  for (auto it = frames_.begin(); it != frames_.end(); ++it) {
    if (*it == frame) {
      frames_.erase(it);
      break;
    }
  }
  frame->Release();
}

IGIS_PropertySet* MapFramePage::CustomOf(IGIS_Element* e) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  EXPECT_NE(b, nullptr);
  if (b != nullptr) {
    EXPECT_TRUE(set->Archive(b, GIS_ARCHIVE_READ, 0));
  }
  return set;
}

Printer::Printer() : canvas(3000, 2000) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 254;
  setup.paperWidthMm = 300.0;
  setup.paperHeightMm = 200.0;
  hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
  display = std::make_unique<CGIS_PrintDisplay>(hdc, 30000, 20000, SGIS_Point(0, 20000));
  display->PrepareDC();
}

}  // namespace md::test
