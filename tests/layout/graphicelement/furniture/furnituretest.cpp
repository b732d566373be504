// The furniture test page.
#include "tests/layout/graphicelement/furniture/furnituretest.h"

#include <algorithm>

namespace md::test {

void FurniturePage::SetUp() {
  GIS_SetSymbolTextEngine("fixed");
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  ASSERT_NE(set_, nullptr);
  ASSERT_TRUE(set_->SetUnitRatio(kUnitRatio));
  page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set_->GetFeatureClass()->SetSpatialReference(page_);
  doc_ = GIS_CreateDocumentObject();
  IGIS_SpatialReference* gk =
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  ASSERT_NE(gk, nullptr);
  map_ = doc_->CreateMap("测试地图", gk);
  gk->Release();
  ASSERT_NE(map_, nullptr);
  ASSERT_TRUE(set_->SetMapLayer(doc_->GetLayoutLayer()));
}

void FurniturePage::TearDown() {
  // Followers first, frames last, as a host closing the page would.
  std::stable_partition(owned_.begin(), owned_.end(), [](IGIS_Element* e) {
    return std::string(e->GetType()) != GIS_TYPE_GRAPHIC_ELEMENT_MAP;
  });
  for (IGIS_Element* e : owned_) e->Release();
  owned_.clear();
  if (set_ != nullptr) set_->Release();
  if (doc_ != nullptr) doc_->Release();
  if (page_ != nullptr) page_->Release();
  md::layout::InstallElementHooks();
  GIS_SetSymbolTextEngine("freetype");
}

CGIS_MapElement* FurniturePage::NewFrame() {
  auto* f = New<CGIS_MapElement>();
  f->SetRect(SGIS_Rect(1000, 9000, 11000, 4000));
  f->SetMap(map_);
  return f;
}

void FurniturePage::Drop(IGIS_Element* e) {
  owned_.erase(std::remove(owned_.begin(), owned_.end(), e), owned_.end());
  e->Release();
}

PropertySetPtr FurniturePage::CustomOf(IGIS_Element* e) {
  PropertySetPtr set(GIS_CreatePropertySetObject());
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  if (b != nullptr) set->Archive(b, GIS_ARCHIVE_READ, 0);
  return set;
}

std::vector<unsigned char> FurniturePage::CustomBytes(IGIS_Element* e) {
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  if (b == nullptr || b->GetData() == nullptr) return {};
  return std::vector<unsigned char>(b->GetData(), b->GetData() + b->GetSize());
}

void FurniturePage::Turn(CGIS_MapElement* frame, double degrees) {
  map_->SetRotateAngle(degrees);
  frame->SetRotateAngle(degrees);
}

}  // namespace md::test
