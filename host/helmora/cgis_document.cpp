#include "host/helmora/cgis_document.h"
#include "host/basilo/makeornull.h"

#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/sferon/igis_spatialreference.h"

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
  if (name == nullptr || *name == '\0' || FindMap(name) || reference == nullptr ||
      reference->GetKind() == GIS_SPATIALREFERENCE_NONE) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Document::CreateMap",
            "bad or repeated map name, or no coordinate system");
    return nullptr;
  }
  maps_.push_back(std::make_unique<CGIS_Map>(this, name, reference));
  return maps_.back().get();
}

extern "C" {

IGIS_Document* GIS_CreateDocumentObject() {
  return md::basilo::MakeOrNull<CGIS_Document>("GIS_CreateDocumentObject");
}

IGIS_MapLayer* GIS_CreateGroupLayerObject(const char* name) {
  return md::basilo::MakeOrNull<CGIS_MapLayer>("GIS_CreateGroupLayerObject", GIS_DRAWER_GROUP, name);
}

IGIS_MapLayer* GIS_CreateVectorLayerObject(const char* name, IGIS_SpatialReference* dataReference) {
  return md::basilo::MakeOrNull<CGIS_VectorLayer>("GIS_CreateVectorLayerObject", GIS_DRAWER_VECTOR, name,
                                                  true, dataReference);
}

IGIS_MapLayer* GIS_CreateVectorCompoundLayerObject(const char* name, IGIS_SpatialReference* dataReference) {
  return md::basilo::MakeOrNull<CGIS_VectorLayer>("GIS_CreateVectorCompoundLayerObject",
                                                  GIS_DRAWER_VECTOR_COMPOUND, name, true, dataReference);
}

IGIS_MapLayer* GIS_CreateEmptyVectorLayerObject(const char* name) {
  return md::basilo::MakeOrNull<CGIS_VectorLayer>("GIS_CreateEmptyVectorLayerObject", GIS_DRAWER_VECTOR, name,
                                                  false, nullptr);
}

IGIS_MapLayer* GIS_CreateEmptyVectorCompoundLayerObject(const char* name, BOOL withData) {
  return md::basilo::MakeOrNull<CGIS_VectorLayer>("GIS_CreateEmptyVectorCompoundLayerObject",
                                                  GIS_DRAWER_VECTOR_COMPOUND, name, false, nullptr,
                                                  withData != FALSE);
}

}  // extern "C"
