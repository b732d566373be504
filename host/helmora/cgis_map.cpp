#include "host/helmora/cgis_map.h"

#include <algorithm>
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/sferon/igis_spatialreference.h"

CGIS_Map::CGIS_Map(IGIS_Document* document, const char* name, IGIS_SpatialReference* reference)
    : document_(document),
      name_(name ? name : ""),
      reference_(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0)),
      properties_(GIS_CreatePropertySetObject()),
      subject_(GIS_CreateSubjectObject()) {
  if (reference_ && reference) reference_->CopyFrom(reference);
}

CGIS_Map::~CGIS_Map() {
  if (subject_) subject_->Notify(GIS_MESSAGE_DOC_MAP_RELEASED, 0, nullptr);
  for (CGIS_MapLayer* l : layers_) delete l;
  if (subject_) {
    subject_->DetachAll();
    GIS_ReleaseSubjectObject(subject_);
  }
  if (properties_) properties_->Release();
  if (reference_) reference_->Release();
}

BOOL CGIS_Map::Attach(IGIS_Observer* observer, int option) {
  return subject_ && observer ? subject_->Attach(observer, option) : FALSE;
}

BOOL CGIS_Map::Detach(IGIS_Observer* observer, int option) {
  return subject_ && observer ? subject_->Detach(observer, option) : FALSE;
}

IGIS_MapLayer* CGIS_Map::GetLayer(int index) {
  if (index < 0 || index >= static_cast<int>(layers_.size())) return nullptr;
  return layers_[index];
}

SGIS_DRect* CGIS_Map::GetFullExtent(SGIS_DRect* out, int) {
  if (out == nullptr) return nullptr;
  SGIS_DRect all;
  bool any = false;
  for (CGIS_MapLayer* l : layers_) {
    SGIS_DRect r;
    if (!l->MapExtent(&r)) continue;
    if (!any) {
      all = r;
      any = true;
    } else {
      all = SGIS_DRect(std::min(all.x1, r.x1), std::min(all.y1, r.y1), std::max(all.x2, r.x2),
                       std::max(all.y2, r.y2));
    }
  }
  // Normalised internally; handed out with y1 as the top edge.
  *out = any ? SGIS_DRect(all.x1, all.y2, all.x2, all.y1) : SGIS_DRect();
  return out;
}

BOOL CGIS_Map::CanDraw() {
  return reference_ && reference_->GetKind() != GIS_SPATIALREFERENCE_NONE && !layers_.empty() ? TRUE : FALSE;
}

BOOL CGIS_Map::SetName(const char* name) {
  if (name == nullptr || *name == '\0') {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Map::SetName", "empty name");
    return FALSE;
  }
  if (document_ && document_->FindMap(name) && name_ != name) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Map::SetName", "name %s already used", name);
    return FALSE;
  }
  name_ = name;
  if (subject_) subject_->Notify(GIS_MESSAGE_DOC_MAP_RENAMED, 0, nullptr);
  return TRUE;
}

BOOL CGIS_Map::SetSpatialReference(IGIS_SpatialReference* reference) {
  if (reference == nullptr || reference->GetKind() == GIS_SPATIALREFERENCE_NONE || reference_ == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Map::SetSpatialReference", "reference without a coordinate system");
    return FALSE;
  }
  reference_->CopyFrom(reference);
  for (CGIS_MapLayer* l : layers_) l->EnterMap(this, reference_);
  if (subject_) subject_->Notify(GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED, 0, nullptr);
  return TRUE;
}

BOOL CGIS_Map::SetRotateAngle(double degrees) {
  if (!std::isfinite(degrees)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Map::SetRotateAngle", "angle not finite");
    return FALSE;
  }
  angle_ = degrees;
  return TRUE;
}

BOOL CGIS_Map::SetReferenceScale(int scale) {
  if (scale < 0) return FALSE;
  referenceScale_ = scale;
  return TRUE;
}

BOOL CGIS_Map::AddLayer(IGIS_MapLayer* layer) {
  CGIS_MapLayer* l = CGIS_MapLayer::From(layer);
  if (l == nullptr || l->IsOwned()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Map::AddLayer", "layer cannot be added");
    return FALSE;
  }
  l->MarkOwned();
  layers_.push_back(l);
  l->EnterMap(this, reference_);
  return TRUE;
}

BOOL CGIS_Map::DrawLayers(HDC hdc, BOOL print, IGIS_MapView* view) {
  BOOL any = FALSE;
  for (CGIS_MapLayer* l : layers_)
    if (l->Draw(hdc, print, view)) any = TRUE;
  return any;
}
