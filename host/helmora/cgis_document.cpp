#include "host/helmora/cgis_document.h"

#include <cstring>

#include "host/basilo/igis_log.h"

CGIS_Document::CGIS_Document() : layoutMap_(std::make_unique<CGIS_Map>(this, "布局", nullptr)) {
  IGIS_MapLayer* layer = GIS_CreateGroupLayerObject("布局");
  if (layer && layoutMap_->AddLayer(layer)) layoutLayer_ = layer;
}

CGIS_Document::~CGIS_Document() = default;

IGIS_Map* CGIS_Document::FindMap(const char* name) {
  if (name == nullptr) return nullptr;
  for (const auto& m : maps_)
    if (std::strcmp(m->GetName(), name) == 0) return m.get();
  return nullptr;
}

IGIS_Map* CGIS_Document::GetMapAt(int index) {
  if (index < 0 || index >= GetMapCount()) return nullptr;
  return maps_[index].get();
}

IGIS_Map* CGIS_Document::CreateMap(const char* name, IGIS_SpatialReference* reference) {
  if (name == nullptr || *name == '\0' || FindMap(name) || reference == nullptr) {
    GIS_LOG(3, "CGIS_Document::CreateMap", "bad or repeated map name, or no reference");
    return nullptr;
  }
  maps_.push_back(std::make_unique<CGIS_Map>(this, name, reference));
  return maps_.back().get();
}

extern "C" {

IGIS_Document* GIS_CreateDocumentObject() { return new CGIS_Document(); }

IGIS_MapLayer* GIS_CreateGroupLayerObject(const char* name) {
  return new CGIS_MapLayer(GIS_DRAWER_GROUP, name);
}

IGIS_MapLayer* GIS_CreateVectorLayerObject(const char* name, IGIS_SpatialReference* dataReference) {
  return new CGIS_VectorLayer(GIS_DRAWER_VECTOR, name, true, dataReference);
}

IGIS_MapLayer* GIS_CreateVectorCompoundLayerObject(const char* name, IGIS_SpatialReference* dataReference) {
  return new CGIS_VectorLayer(GIS_DRAWER_VECTOR_COMPOUND, name, true, dataReference);
}

IGIS_MapLayer* GIS_CreateEmptyVectorLayerObject(const char* name) {
  return new CGIS_VectorLayer(GIS_DRAWER_VECTOR, name, false, nullptr);
}

}  // extern "C"
