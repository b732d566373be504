// A host map with no layers in a reference the test chooses (owned, or
// none), for maps the host's documents do not make: without a reference or
// in one of unknown kind.
#pragma once

#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"

namespace md::test {

class ReferenceMap : public IGIS_Map {
 public:
  // Takes the reference over (NULL: the map has none).
  ReferenceMap(IGIS_SpatialReference* reference, const char* name) : reference_(reference), name_(name) {}
  ~ReferenceMap() override {
    if (reference_ != nullptr) reference_->Release();
  }
  ReferenceMap(const ReferenceMap&) = delete;
  ReferenceMap& operator=(const ReferenceMap&) = delete;
  BOOL Attach(IGIS_Observer*, int) override { return TRUE; }
  BOOL Detach(IGIS_Observer*, int) override { return TRUE; }
  const char* GetName() override { return name_; }
  IGIS_SpatialReference* GetSpatialReference() override { return reference_; }
  IGIS_PropertySet* GetPropertySet() override { return nullptr; }
  SGIS_DRect* GetFullExtent(SGIS_DRect* out, int) override { return out; }
  double GetRotateAngle() override { return 0.0; }
  BOOL CanDraw() override { return FALSE; }
  IGIS_Document* GetDocument() override { return nullptr; }
  int GetLayerCount() override { return 0; }
  IGIS_MapLayer* GetLayer(int) override { return nullptr; }
  int GetReferenceScale() override { return 0; }
  BOOL SetName(const char*) override { return FALSE; }
  BOOL SetSpatialReference(IGIS_SpatialReference*) override { return FALSE; }
  BOOL SetRotateAngle(double) override { return FALSE; }
  BOOL SetReferenceScale(int) override { return FALSE; }
  BOOL AddLayer(IGIS_MapLayer*) override { return FALSE; }

 private:
  IGIS_SpatialReference* reference_;
  const char* name_;
};

}  // namespace md::test
