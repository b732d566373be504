// Layers of a host map: groups, vector layers with their features, compound
// vector layers, and layers made without data.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/helmora/cgis_symbolmatchtable.h"
#include "host/helmora/igis_map.h"

class CGIS_VectorMapLayer;
class IGIS_CoordTransform;

// What every layer of this library shares: its name and kind, the map it is
// in and whether a group or map owns it.
class CGIS_MapLayer : public IGIS_MapLayer {
 public:
  CGIS_MapLayer(const char* type, const char* name);
  ~CGIS_MapLayer() override;
  CGIS_MapLayer(const CGIS_MapLayer&) = delete;
  CGIS_MapLayer& operator=(const CGIS_MapLayer&) = delete;

  const char* GetType() override { return type_.c_str(); }
  const char* GetName() override { return name_.c_str(); }
  int GetLayerCount() override { return static_cast<int>(children_.size()); }
  IGIS_MapLayer* GetLayer(int index) override;
  IGIS_LayerData* GetLayerPtr() override { return nullptr; }
  IGIS_Map* GetMap() override { return map_; }
  BOOL GetVisible() override { return visible_; }
  void SetVisible(BOOL visible) override { visible_ = visible; }
  BOOL AddLayer(IGIS_MapLayer* child) override;
  BOOL Draw(HDC hdc, BOOL print, IGIS_MapView* view) override;
  void Release() override;

  // This library's layer behind an interface pointer, or NULL for others.
  static CGIS_MapLayer* From(IGIS_MapLayer* layer);
  bool IsOwned() const { return owned_; }
  void MarkOwned() { owned_ = true; }
  // Enters the layer (and its children) into a map whose coordinates are in
  // reference; vector layers carry their features into it.
  virtual void EnterMap(IGIS_Map* map, IGIS_SpatialReference* reference);
  // The extent of the layer's visible features in map coordinates,
  // normalised (x1 <= x2, y1 <= y2).
  virtual bool MapExtent(SGIS_DRect* out);
  // The vector layer whose features this layer draws, or NULL.
  virtual CGIS_VectorMapLayer* Vector() { return nullptr; }

 protected:
  std::string type_;
  std::string name_;
  IGIS_Map* map_ = nullptr;
  bool visible_ = true;
  bool owned_ = false;
  std::vector<CGIS_MapLayer*> children_;
};

// The features of a vector layer: coordinates as stored and as carried into
// the map's reference, their classes and names.
class CGIS_VectorMapLayer final : public IGIS_VectorMapLayer {
 public:
  explicit CGIS_VectorMapLayer(IGIS_SpatialReference* dataReference);
  ~CGIS_VectorMapLayer() override;
  CGIS_VectorMapLayer(const CGIS_VectorMapLayer&) = delete;
  CGIS_VectorMapLayer& operator=(const CGIS_VectorMapLayer&) = delete;

  IGIS_SymbolMatchTable* GetSymbolMatchTable() override { return &table_; }
  int GetFeatureCount() override { return static_cast<int>(features_.size()); }
  int AddFeature(int kind, int classIndex, const char* name, int partCount, const int* partSizes,
                 const SGIS_DPoint* points) override;
  int GetFeatureKind(int index) override;
  int GetFeatureClass(int index) override;
  const char* GetFeatureName(int index) override;
  BOOL GetExtent(SGIS_DRect* out) override;
  IGIS_SpatialReference* GetSpatialReference() override { return dataReference_; }
  BOOL GetLabelFeatures() override { return labelFeatures_; }
  void SetLabelFeatures(BOOL label) override { labelFeatures_ = label; }
  IGIS_Symbol* GetLabelSymbol() override { return labelSymbol_.get(); }
  void SetLabelSymbol(IGIS_Symbol* symbol) override;

  // Carries every feature into the map reference (a layer without a data
  // reference takes this one as its own).
  void Project(IGIS_SpatialReference* mapReference);
  bool InMap() const { return inMap_; }
  // The extent of the features in map coordinates, normalised (x1 <= x2,
  // y1 <= y2); false without features or before the layer is in a map.
  bool NormalExtent(SGIS_DRect* out) const;
  // Draws the features through the view, clipped to its device rectangle.
  BOOL DrawFeatures(HDC hdc, BOOL print, IGIS_MapView* view);

  struct Feature {
    int kind = 0;
    int classIndex = 0;
    std::string name;
    size_t first = 0;        // first point in the layer's arrays
    std::vector<int> parts;  // point count of each part
    SGIS_DRect bound;        // map coordinates, normalised (x1 <= x2, y1 <= y2)
  };
  const std::vector<Feature>& Features() const { return features_; }
  const std::vector<SGIS_DPoint>& MapPoints() const { return mapPoints_; }

 private:
  struct FeatureLabel {
    const std::string* text;
    POINT at;
    int symbolSize;
  };
  static int PointCount(const Feature& f);
  void Bound(Feature& f) const;
  IGIS_CoordTransform* MakeTransform() const;
  bool Carry(Feature& f, IGIS_CoordTransform* t);
  void DrawLabels(HDC hdc, BOOL print, double ratio, const std::vector<FeatureLabel>& labels);

  IGIS_SpatialReference* dataReference_ = nullptr;  // owned copy or NULL
  IGIS_SpatialReference* mapReference_ = nullptr;   // owned copy or NULL
  CGIS_SymbolMatchTable table_;
  std::vector<Feature> features_;
  std::vector<SGIS_DPoint> points_;     // as stored
  std::vector<SGIS_DPoint> mapPoints_;  // in the map's reference
  bool inMap_ = false;
  BOOL labelFeatures_ = FALSE;
  md::helmora::SymbolPtr labelSymbol_;
};

// The data object of a compound vector layer.
class CGIS_VectorCompoundData final : public IGIS_VectorCompoundMapLayer {
 public:
  explicit CGIS_VectorCompoundData(CGIS_VectorMapLayer* vector) : vector_(vector) {}
  IGIS_VectorMapLayer* GetVectorMapLayer() override { return vector_; }

 private:
  CGIS_VectorMapLayer* vector_;  // owned by the layer
};

// A vector layer ("GIS_DRAWER_VECTOR") or compound vector layer
// ("GIS_DRAWER_VECTOR_COMPOUND"), or one made without data (a compound one
// then with a data object that holds no vector layer when withCompoundData).
class CGIS_VectorLayer final : public CGIS_MapLayer {
 public:
  CGIS_VectorLayer(const char* type, const char* name, bool withData, IGIS_SpatialReference* dataReference,
                   bool withCompoundData = false);
  ~CGIS_VectorLayer() override;

  IGIS_LayerData* GetLayerPtr() override;
  BOOL AddLayer(IGIS_MapLayer* child) override;
  BOOL Draw(HDC hdc, BOOL print, IGIS_MapView* view) override;
  void EnterMap(IGIS_Map* map, IGIS_SpatialReference* reference) override;
  bool MapExtent(SGIS_DRect* out) override;
  CGIS_VectorMapLayer* Vector() override { return vector_.get(); }

 private:
  std::unique_ptr<CGIS_VectorMapLayer> vector_;
  std::unique_ptr<CGIS_VectorCompoundData> compound_;
};
