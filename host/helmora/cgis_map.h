// A map of a host document: name, reference, properties, rotation,
// reference scale and its layers; a subject its observers listen to.
#pragma once

#include <string>
#include <vector>

#include "host/helmora/cgis_maplayer.h"
#include "host/helmora/igis_map.h"

class CGIS_Map final : public IGIS_Map {
 public:
  // The reference is copied; the map belongs to the document.
  CGIS_Map(IGIS_Document* document, const char* name, IGIS_SpatialReference* reference);
  ~CGIS_Map() override;
  CGIS_Map(const CGIS_Map&) = delete;
  CGIS_Map& operator=(const CGIS_Map&) = delete;

  BOOL Attach(IGIS_Observer* observer, int option) override;
  BOOL Detach(IGIS_Observer* observer, int option) override;
  const char* GetName() override { return name_.c_str(); }
  IGIS_SpatialReference* GetSpatialReference() override { return reference_; }
  IGIS_PropertySet* GetPropertySet() override { return properties_; }
  SGIS_DRect* GetFullExtent(SGIS_DRect* out, int option) override;
  double GetRotateAngle() override { return angle_; }
  BOOL CanDraw() override;
  IGIS_Document* GetDocument() override { return document_; }
  int GetLayerCount() override { return static_cast<int>(layers_.size()); }
  IGIS_MapLayer* GetLayer(int index) override;
  int GetReferenceScale() override { return referenceScale_; }

  BOOL SetName(const char* name) override;
  BOOL SetSpatialReference(IGIS_SpatialReference* reference) override;
  BOOL SetRotateAngle(double degrees) override;
  BOOL SetReferenceScale(int scale) override;
  BOOL AddLayer(IGIS_MapLayer* layer) override;

  // Draws the visible layers, first to last; FALSE when none drew.
  BOOL DrawLayers(HDC hdc, BOOL print, IGIS_MapView* view);

 private:
  IGIS_Document* document_;
  std::string name_;
  IGIS_SpatialReference* reference_ = nullptr;  // owned
  IGIS_PropertySet* properties_ = nullptr;      // owned
  IGIS_Subject* subject_ = nullptr;             // owned
  double angle_ = 0.0;
  int referenceScale_ = 0;
  std::vector<CGIS_MapLayer*> layers_;  // owned
};
