#include "host/helmora/cgis_maplayer.h"

#include <algorithm>
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/helmora/gis_mapclip.h"
#include "host/helmora/igis_mapview.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "platform/win/cdc.h"
#include "platform/win/wingdi.h"

using md::helmora::detail::ClipBox;

namespace {

// Device pixels by which geometry is cut beyond the device rectangle, so that
// strokes and outlines end outside what the clip shows.
constexpr double kClipMarginPixels = 16.0;

IGIS_SpatialReference* CopyReference(IGIS_SpatialReference* source) {
  if (source == nullptr) return nullptr;
  IGIS_SpatialReference* r = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  if (r) r->CopyFrom(source);
  return r;
}

bool Overlaps(const SGIS_DRect& a, const SGIS_DRect& b) {
  return a.x1 <= b.x2 && b.x1 <= a.x2 && a.y1 <= b.y2 && b.y1 <= a.y2;
}

void Unite(SGIS_DRect* into, const SGIS_DRect& r, bool* any) {
  if (!*any) {
    *into = r;
    *any = true;
    return;
  }
  into->x1 = std::min(into->x1, r.x1);
  into->x2 = std::max(into->x2, r.x2);
  into->y1 = std::min(into->y1, r.y1);
  into->y2 = std::max(into->y2, r.y2);
}

}  // namespace

// ---- CGIS_MapLayer ------------------------------------------------------------

CGIS_MapLayer::CGIS_MapLayer(const char* type, const char* name) : type_(type), name_(name ? name : "") {}

CGIS_MapLayer::~CGIS_MapLayer() {
  for (CGIS_MapLayer* c : children_) delete c;
}

IGIS_MapLayer* CGIS_MapLayer::GetLayer(int index) {
  if (index < 0 || index >= static_cast<int>(children_.size())) return nullptr;
  return children_[index];
}

CGIS_MapLayer* CGIS_MapLayer::From(IGIS_MapLayer* layer) { return dynamic_cast<CGIS_MapLayer*>(layer); }

BOOL CGIS_MapLayer::AddLayer(IGIS_MapLayer* child) {
  CGIS_MapLayer* c = From(child);
  if (type_ != GIS_DRAWER_GROUP || c == nullptr || c->IsOwned() || c == this) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapLayer::AddLayer", "layer cannot be added");
    return FALSE;
  }
  c->MarkOwned();
  children_.push_back(c);
  if (map_) c->EnterMap(map_, map_->GetSpatialReference());
  return TRUE;
}

BOOL CGIS_MapLayer::Draw(HDC hdc, BOOL print, IGIS_MapView* view) {
  if (!visible_) return FALSE;
  BOOL any = FALSE;
  for (CGIS_MapLayer* c : children_)
    if (c->Draw(hdc, print, view)) any = TRUE;
  return any;
}

void CGIS_MapLayer::Release() {
  if (owned_) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapLayer::Release", "layer belongs to a map or group");
    return;
  }
  delete this;
}

void CGIS_MapLayer::EnterMap(IGIS_Map* map, IGIS_SpatialReference* reference) {
  map_ = map;
  for (CGIS_MapLayer* c : children_) c->EnterMap(map, reference);
}

bool CGIS_MapLayer::MapExtent(SGIS_DRect* out) {
  if (!visible_) return false;
  bool any = false;
  for (CGIS_MapLayer* c : children_) {
    SGIS_DRect r;
    if (c->MapExtent(&r)) Unite(out, r, &any);
  }
  return any;
}

// ---- CGIS_VectorLayer ---------------------------------------------------------

CGIS_VectorLayer::CGIS_VectorLayer(const char* type, const char* name, bool withData,
                                   IGIS_SpatialReference* dataReference, bool withCompoundData)
    : CGIS_MapLayer(type, name) {
  if (withData) vector_ = std::make_unique<CGIS_VectorMapLayer>(dataReference);
  if (type_ == GIS_DRAWER_VECTOR_COMPOUND && (withData || withCompoundData))
    compound_ = std::make_unique<CGIS_VectorCompoundData>(vector_.get());
}

CGIS_VectorLayer::~CGIS_VectorLayer() = default;

IGIS_LayerData* CGIS_VectorLayer::GetLayerPtr() {
  if (compound_) return compound_.get();
  return vector_.get();
}

BOOL CGIS_VectorLayer::AddLayer(IGIS_MapLayer*) {
  GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_VectorLayer::AddLayer", "only groups hold layers");
  return FALSE;
}

BOOL CGIS_VectorLayer::Draw(HDC hdc, BOOL print, IGIS_MapView* view) {
  if (!visible_) return FALSE;
  if (!vector_) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_VectorLayer::Draw", "layer without data: %s", name_.c_str());
    return FALSE;
  }
  return vector_->DrawFeatures(hdc, print, view);
}

void CGIS_VectorLayer::EnterMap(IGIS_Map* map, IGIS_SpatialReference* reference) {
  CGIS_MapLayer::EnterMap(map, reference);
  if (vector_) vector_->Project(reference);
}

bool CGIS_VectorLayer::MapExtent(SGIS_DRect* out) {
  if (!visible_ || !vector_) return false;
  return vector_->NormalExtent(out);
}

// ---- CGIS_VectorMapLayer: features ---------------------------------------------

CGIS_VectorMapLayer::CGIS_VectorMapLayer(IGIS_SpatialReference* dataReference)
    : dataReference_(CopyReference(dataReference)) {}

CGIS_VectorMapLayer::~CGIS_VectorMapLayer() {
  if (dataReference_) dataReference_->Release();
  if (mapReference_) mapReference_->Release();
}

int CGIS_VectorMapLayer::AddFeature(int kind, int classIndex, const char* name, int partCount,
                                    const int* partSizes, const SGIS_DPoint* points) {
  const char* method = "CGIS_VectorMapLayer::AddFeature";
  if (kind != GIS_MAPFEATURE_POINT && kind != GIS_MAPFEATURE_LINE && kind != GIS_MAPFEATURE_POLYGON) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "unknown feature kind %d", kind);
    return -1;
  }
  if (classIndex < 0 || classIndex >= table_.GetCount()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "class %d not in the table", classIndex);
    return -1;
  }
  if (GetFeatureCount() >= GIS_MAPLAYER_MAX_FEATURES || partSizes == nullptr || points == nullptr ||
      partCount < 1 || partCount > GIS_MAPFEATURE_MAX_PARTS ||
      (kind == GIS_MAPFEATURE_POINT && partCount != 1)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "bad part list");
    return -1;
  }
  const int least = kind == GIS_MAPFEATURE_POINT ? 1 : kind == GIS_MAPFEATURE_LINE ? 2 : 3;
  std::int64_t total = 0;
  for (int i = 0; i < partCount; ++i) {
    if (partSizes[i] < least || (kind == GIS_MAPFEATURE_POINT && partSizes[i] != 1)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "part %d has %d points", i, partSizes[i]);
      return -1;
    }
    total += partSizes[i];
    if (total > GIS_MAPFEATURE_MAX_POINTS) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "too many points");
      return -1;
    }
  }
  for (std::int64_t i = 0; i < total; ++i) {
    if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "coordinate not finite");
      return -1;
    }
  }
  Feature f;
  f.kind = kind;
  f.classIndex = classIndex;
  f.name = name ? name : "";
  f.first = points_.size();
  f.parts.assign(partSizes, partSizes + partCount);
  points_.insert(points_.end(), points, points + total);
  mapPoints_.insert(mapPoints_.end(), points, points + total);
  features_.push_back(std::move(f));
  if (inMap_) {
    // A feature added after the layer entered its map is carried at once.
    IGIS_CoordTransform* t = MakeTransform();
    if (!Carry(features_.back(), t))
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "feature cannot be carried into the map's reference");
    if (t) t->Release();
  }
  return GetFeatureCount() - 1;
}

int CGIS_VectorMapLayer::GetFeatureKind(int index) {
  return index >= 0 && index < GetFeatureCount() ? features_[index].kind : 0;
}

int CGIS_VectorMapLayer::GetFeatureClass(int index) {
  return index >= 0 && index < GetFeatureCount() ? features_[index].classIndex : -1;
}

const char* CGIS_VectorMapLayer::GetFeatureName(int index) {
  return index >= 0 && index < GetFeatureCount() ? features_[index].name.c_str() : nullptr;
}

void CGIS_VectorMapLayer::SetLabelSymbol(IGIS_Symbol* symbol) {
  labelSymbol_.reset(symbol ? symbol->Clone() : nullptr);
}

int CGIS_VectorMapLayer::PointCount(const Feature& f) {
  int n = 0;
  for (int s : f.parts) n += s;
  return n;
}

void CGIS_VectorMapLayer::Bound(Feature& f) const {
  const size_t n = static_cast<size_t>(PointCount(f));
  SGIS_DRect b;
  bool any = false;
  for (size_t i = f.first; i < f.first + n; ++i) {
    const SGIS_DPoint& p = mapPoints_[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    Unite(&b, SGIS_DRect(p.x, p.y, p.x, p.y), &any);
  }
  f.bound = any ? b : SGIS_DRect(NAN, NAN, NAN, NAN);
}

void CGIS_VectorMapLayer::Project(IGIS_SpatialReference* mapReference) {
  if (mapReference_) mapReference_->Release();
  mapReference_ = CopyReference(mapReference);
  // Coordinates given in the map's reference stay in that reference when
  // the map later changes its own.
  if (dataReference_ == nullptr) dataReference_ = CopyReference(mapReference);
  mapPoints_ = points_;
  IGIS_CoordTransform* t = MakeTransform();
  int lost = 0;
  for (Feature& f : features_)
    if (!Carry(f, t)) ++lost;
  if (t) t->Release();
  if (lost > 0)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_VectorMapLayer::Project",
            "%d features cannot be carried into the map's reference", lost);
  inMap_ = true;
}

IGIS_CoordTransform* CGIS_VectorMapLayer::MakeTransform() const {
  if (dataReference_ == nullptr || mapReference_ == nullptr) return nullptr;
  return GIS_GetSpatialReferenceFactoryObject()->CreateCoordTransform("", "", dataReference_, mapReference_);
}

// A feature whose points do not all carry over is not drawn: its bound
// becomes NaN (a point left in the other reference would land far off).
bool CGIS_VectorMapLayer::Carry(Feature& f, IGIS_CoordTransform* t) {
  const int n = PointCount(f);
  if (t && n > 0 && !t->TransformPoint(n, &mapPoints_[f.first], 1)) {
    f.bound = SGIS_DRect(NAN, NAN, NAN, NAN);
    return false;
  }
  Bound(f);
  return true;
}

bool CGIS_VectorMapLayer::NormalExtent(SGIS_DRect* out) const {
  if (out == nullptr || !inMap_) return false;
  SGIS_DRect r;
  bool any = false;
  for (const Feature& f : features_)
    if (std::isfinite(f.bound.x1)) Unite(&r, f.bound, &any);
  if (any) *out = r;
  return any;
}

BOOL CGIS_VectorMapLayer::GetExtent(SGIS_DRect* out) {
  SGIS_DRect r;
  if (out == nullptr || !NormalExtent(&r)) return FALSE;
  // Map extents read with y1 as the top edge.
  *out = SGIS_DRect(r.x1, r.y2, r.x2, r.y1);
  return TRUE;
}

// ---- CGIS_VectorMapLayer: drawing ---------------------------------------------

namespace {

// What one drawing of a layer needs, and its scratch buffers.
struct DrawPass {
  HDC hdc = nullptr;
  BOOL print = FALSE;
  IGIS_MapView* view = nullptr;
  IGIS_SymbolRenderer* renderer = nullptr;
  ClipBox box;
  double ratio = 1.0;
  std::vector<double> xy;
  std::vector<SGIS_DPoint> device;
  std::vector<POINT> rounded;
  std::vector<std::vector<SGIS_DPoint>> pieces;
  int drawn = 0;

  void ToDevice(const SGIS_DPoint* points, int count) {
    // One call for the feature's points, each carried as PageToDevicePoint would.
    xy.resize(2 * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      xy[2 * i] = points[i].x;
      xy[2 * i + 1] = points[i].y;
    }
    view->PageToDevicePoints(xy.data(), count, nullptr);
    device.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) device[i] = SGIS_DPoint(xy[2 * i], xy[2 * i + 1], points[i].z);
  }

  void Render(IGIS_Symbol* symbol, const std::vector<SGIS_DPoint>& points) {
    rounded.resize(points.size());
    for (size_t i = 0; i < points.size(); ++i)
      rounded[i] =
          POINT{md::basilo::detail::RoundToInt32(points[i].x), md::basilo::detail::RoundToInt32(points[i].y)};
    Render(symbol);
  }

  void Render(IGIS_Symbol* symbol) {
    SGIS_DrawParam param;
    param.hdc = hdc;
    param.printFlag = print ? 1 : 0;
    param.symbolScale = ratio;
    param.points = rounded.data();
    param.pointCount = static_cast<std::int32_t>(rounded.size());
    if (renderer->Draw(symbol, &param, GIS_DRAW_CHECK)) ++drawn;
  }
};

// Logical units of the context per device pixel along x.
double LogicalPerPixel(HDC hdc) {
  POINT p[2] = {{0, 0}, {1000, 0}};
  if (!DPtoLP(hdc, p, 2)) return 1.0;
  const double d = std::abs(static_cast<double>(p[1].x - p[0].x)) / 1000.0;
  return d > 0 ? d : 1.0;
}

}  // namespace

BOOL CGIS_VectorMapLayer::DrawFeatures(HDC hdc, BOOL print, IGIS_MapView* view) {
  const char* method = "CGIS_VectorMapLayer::DrawFeatures";
  if (hdc == nullptr || view == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "no context or view");
    return FALSE;
  }
  if (!inMap_) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "layer is in no map");
    return FALSE;
  }
  DrawPass pass;
  pass.hdc = hdc;
  pass.print = print;
  pass.view = view;
  pass.renderer = GIS_GetSymbolizationObject();
  if (pass.renderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "p_symbolization == NULL");
    return FALSE;
  }
  const SGIS_Rect dev = view->GetDeviceClipRect();
  const double margin = kClipMarginPixels * LogicalPerPixel(hdc);
  pass.box = md::helmora::detail::MakeClipBox(dev.left, dev.top, dev.right, dev.bottom, margin);
  pass.ratio = view->GetSymbolRatio();
  if (pass.box.Empty() || !std::isfinite(pass.ratio) || pass.ratio <= 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "empty device rectangle");
    return FALSE;
  }
  // The map area the grown device rectangle shows, for a quick test per feature.
  SGIS_DRect shown =
      view->DeviceToPageRect(SGIS_DRect(pass.box.minX, pass.box.minY, pass.box.maxX, pass.box.maxY), nullptr);
  shown = SGIS_DRect(std::min(shown.x1, shown.x2), std::min(shown.y1, shown.y2), std::max(shown.x1, shown.x2),
                     std::max(shown.y1, shown.y2));

  // Point features gather per class and draw in one call each.
  std::vector<std::vector<POINT>> points(table_.GetCount());
  std::vector<FeatureLabel> labels;
  std::vector<SGIS_DPoint> part;
  for (const Feature& f : features_) {
    if (!std::isfinite(f.bound.x1) || !Overlaps(f.bound, shown)) continue;
    IGIS_Symbol* symbol = table_.GetSymbol(f.classIndex);
    if (symbol == nullptr) continue;
    size_t at = f.first;
    for (int size : f.parts) {
      pass.ToDevice(&mapPoints_[at], size);
      at += static_cast<size_t>(size);
      if (f.kind == GIS_MAPFEATURE_POINT) {
        const SGIS_DPoint& p = pass.device.front();
        if (!pass.box.Contains(p.x, p.y)) continue;
        const POINT q{md::basilo::detail::RoundToInt32(p.x), md::basilo::detail::RoundToInt32(p.y)};
        points[f.classIndex].push_back(q);
        if (labelFeatures_ && !f.name.empty()) labels.push_back(FeatureLabel{&f.name, q, symbol->GetSize()});
      } else if (f.kind == GIS_MAPFEATURE_LINE) {
        // Most features lie wholly in the box: drawn as they are.
        if (md::helmora::detail::AllInside(pass.device, pass.box)) {
          if (pass.device.size() >= 2) pass.Render(symbol, pass.device);
          continue;
        }
        pass.pieces.clear();
        md::helmora::detail::ClipPolyline(pass.device, pass.box, &pass.pieces);
        for (const auto& piece : pass.pieces) pass.Render(symbol, piece);
      } else {
        if (md::helmora::detail::AllInside(pass.device, pass.box)) {
          // The ring as it is, closed once.
          part = pass.device;
          const bool closed =
              !part.empty() && part.front().x == part.back().x && part.front().y == part.back().y;
          if (part.size() - (closed ? 1 : 0) < 3) continue;
          if (!closed) part.push_back(part.front());
        } else {
          part = md::helmora::detail::ClipRing(pass.device, pass.box);
          if (part.size() < 3) continue;
          part.push_back(part.front());
        }
        pass.Render(symbol, part);
      }
    }
  }
  for (int c = 0; c < static_cast<int>(points.size()); ++c) {
    if (points[c].empty()) continue;
    pass.rounded = points[c];
    pass.Render(table_.GetSymbol(c));
  }
  if (!labels.empty() && labelSymbol_) DrawLabels(hdc, print, pass.ratio, labels);
  return pass.drawn > 0 ? TRUE : FALSE;
}

// Names stand to the right of their symbols, centred on the point's height.
void CGIS_VectorMapLayer::DrawLabels(HDC hdc, BOOL print, double ratio,
                                     const std::vector<FeatureLabel>& labels) {
  IGIS_AnnoDrawer* drawer = GIS_GetAnnotationDrawerObject();
  IGIS_AnnoStyleFactory* styles = GIS_GetAnnotationStyleFactoryObject();
  IGIS_AnnoStyleSet* set = styles ? styles->CreateStyleSet(1) : nullptr;
  IGIS_AnnoPointStyle* style = set ? set->GetPointStyle() : nullptr;
  if (drawer == nullptr || style == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_VectorMapLayer::DrawLabels", "no annotation drawer or style");
    if (style) style->Release();
    return;
  }
  style->SetAlignment(3);
  style->SetTextStyle(labelSymbol_.get());
  const double pixelsPerPoint = GetDeviceCaps(hdc, LOGPIXELSY) / 72.0 * ratio;
  const double logical = LogicalPerPixel(hdc);
  CDC* dc = CDC::FromHandle(hdc);
  for (const FeatureLabel& l : labels) {
    const double gap = (l.symbolSize / 2.0 + 2.0) * pixelsPerPoint * logical;
    const SGIS_Point anchor(md::basilo::detail::RoundToInt32(l.at.x + gap), l.at.y, 0);
    drawer->Draw(dc, print, ratio, style, l.text->c_str(), &anchor, 1);
  }
  style->Release();
}
