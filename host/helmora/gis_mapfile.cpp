#include "host/helmora/gis_mapfile.h"

#include <array>
#include <cmath>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/cgis_maplayer.h"
#include "host/helmora/gis_references.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/files/filestore.h"

using nlohmann::json;

namespace {

constexpr const char* kMethod = "GIS_ReadMapText";
constexpr int kMaxLayerDepth = 8;
constexpr int kMaxLayers = 256;
constexpr std::size_t kMaxNameBytes = 256;

using LayerPtr = md::basilo::ReleasePtr<IGIS_MapLayer>;

using ReferencePtr = md::basilo::ReleasePtr<IGIS_SpatialReference>;

// Thrown inside the reader for any content it refuses; the text says why.
struct Refused {
  std::string why;
};

[[noreturn]] void Refuse(const std::string& why) { throw Refused{why}; }

const json& Member(const json& object, const char* key) {
  if (!object.is_object()) Refuse("not an object where one is expected");
  auto it = object.find(key);
  if (it == object.end()) Refuse(std::string("missing \"") + key + "\"");
  return *it;
}

const json* Optional(const json& object, const char* key) {
  auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

std::string Text(const json& v, const char* what) {
  if (!v.is_string()) Refuse(std::string(what) + " is not a string");
  const std::string& s = v.get_ref<const std::string&>();
  if (s.size() > kMaxNameBytes) Refuse(std::string(what) + " is too long");
  return s;
}

double Number(const json& v, const char* what, double least, double most) {
  if (!v.is_number()) Refuse(std::string(what) + " is not a number");
  const double d = v.get<double>();
  if (!std::isfinite(d) || d < least || d > most) Refuse(std::string(what) + " out of range");
  return d;
}

int Integer(const json& v, const char* what, int least, int most) {
  if (!v.is_number_integer()) Refuse(std::string(what) + " is not an integer");
  const auto i = v.get<std::int64_t>();
  if (i < least || i > most) Refuse(std::string(what) + " out of range");
  return static_cast<int>(i);
}

COLORREF Colour(const json& v) {
  const std::string s = Text(v, "colour");
  if (s.size() != 7 || s[0] != '#') Refuse("colour is not #rrggbb");
  unsigned value = 0;
  for (size_t i = 1; i < 7; ++i) {
    const char c = s[i];
    const int d = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
    if (d < 0) Refuse("colour is not #rrggbb");
    value = value * 16 + static_cast<unsigned>(d);
  }
  return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

md::helmora::SymbolPtr MakeSymbol(const json& spec) {
  const std::string part = Text(Member(spec, "type"), "symbol type");
  int type = 0;
  if (part == "point") {
    const json* kind = Optional(spec, "kind");
    type = kind ? Integer(*kind, "point kind", GIS_SYMBOL_POINT5, GIS_SYMBOL_POINT7) : GIS_SYMBOL_POINT5;
  } else if (part == "line") {
    type = GIS_SYMBOL_LINE;
  } else if (part == "fill") {
    type = GIS_SYMBOL_FILL;
  } else {
    Refuse("unknown symbol type " + part);
  }
  md::helmora::SymbolPtr s(GIS_GetSymbolFactoryObject()->CreateSymbol(type));
  if (!s) Refuse("symbol not made");
  s->SetCode(Integer(Member(spec, "code"), "symbol code", 0, 0xFFFF));
  if (const json* c = Optional(spec, "color")) s->SetColor(Colour(*c));
  if (const json* c = Optional(spec, "color2")) s->SetColor2(Colour(*c));
  if (const json* c = Optional(spec, "color3")) s->SetColor3(Colour(*c));
  if (const json* w = Optional(spec, "width")) s->SetLineWidth(Number(*w, "width", 0.0, 20.0));
  if (const json* z = Optional(spec, "size")) s->SetSize(Integer(*z, "size", 1, 500));
  return s;
}

md::helmora::SymbolPtr MakeLabelSymbol(const json& spec) {
  md::helmora::SymbolPtr s(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  LOGFONT* lf = s ? s->GetFontSizePtr() : nullptr;
  if (lf == nullptr) Refuse("text symbol not made");
  if (const json* f = Optional(spec, "font")) {
    const std::string face = Text(*f, "font");
    if (face.size() >= sizeof lf->lfFaceName) Refuse("font name too long");
    std::memset(lf->lfFaceName, 0, sizeof lf->lfFaceName);
    std::memcpy(lf->lfFaceName, face.data(), face.size());
  }
  if (const json* z = Optional(spec, "size")) lf->lfHeight = -Integer(*z, "label size", 1, 200);
  if (const json* c = Optional(spec, "color")) s->SetColor(Colour(*c));
  return s;
}

// Everything read from one file before the document sees any of it.
struct Reading {
  std::vector<LayerPtr> top;
  std::map<std::string, IGIS_VectorMapLayer*> vectors;  // by layer name
  int layers = 0;
  IGIS_SpatialReference* data = nullptr;
};

LayerPtr MakeLayer(const json& spec, Reading* r, int depth) {
  if (depth > kMaxLayerDepth) Refuse("layers nested too deep");
  if (++r->layers > kMaxLayers) Refuse("too many layers");
  const std::string name = Text(Member(spec, "name"), "layer name");
  const std::string type = Text(Member(spec, "type"), "layer type");
  if (type == GIS_DRAWER_GROUP) {
    LayerPtr group(GIS_CreateGroupLayerObject(name.c_str()));
    const json& children = Member(spec, "children");
    if (!children.is_array()) Refuse("children is not an array");
    for (const json& c : children) {
      LayerPtr child = MakeLayer(c, r, depth + 1);
      if (!group->AddLayer(child.get())) Refuse("child layer not added");
      child.release();  // the group owns it now
    }
    return group;
  }
  LayerPtr layer;
  if (type == GIS_DRAWER_VECTOR) {
    layer.reset(GIS_CreateVectorLayerObject(name.c_str(), r->data));
  } else if (type == GIS_DRAWER_VECTOR_COMPOUND) {
    layer.reset(GIS_CreateVectorCompoundLayerObject(name.c_str(), r->data));
  } else {
    Refuse("unknown layer type " + type);
  }
  IGIS_VectorMapLayer* vector = CGIS_MapLayer::From(layer.get())->Vector();
  if (vector == nullptr || r->vectors.count(name)) Refuse("layer name used twice: " + name);
  r->vectors[name] = vector;
  const json& classes = Member(spec, "classes");
  if (!classes.is_array() || classes.size() > static_cast<size_t>(GIS_MATCHTABLE_MAX_ENTRIES))
    Refuse("classes is not a bounded array");
  for (const json& c : classes) {
    const std::string value = Text(Member(c, "value"), "class value");
    const std::string label = Text(Member(c, "label"), "class label");
    md::helmora::SymbolPtr symbol = MakeSymbol(Member(c, "symbol"));
    if (vector->GetSymbolMatchTable()->AddEntry(value.c_str(), label.c_str(), symbol.get()) < 0)
      Refuse("class value used twice: " + value);
  }
  if (const json* labels = Optional(spec, "labels")) {
    md::helmora::SymbolPtr text = MakeLabelSymbol(*labels);
    vector->SetLabelSymbol(text.get());
    vector->SetLabelFeatures(TRUE);
  }
  return layer;
}

SGIS_DPoint Position(const json& v) {
  if (!v.is_array() || v.size() < 2 || v.size() > 3) Refuse("position is not [lon, lat]");
  return SGIS_DPoint(Number(v[0], "longitude", -360.0, 360.0), Number(v[1], "latitude", -90.0, 90.0));
}

// The parts of a geometry as point runs; kind is set from its type.
void Parts(const json& geometry, int* kind, std::vector<int>* sizes, std::vector<SGIS_DPoint>* points) {
  const std::string type = Text(Member(geometry, "type"), "geometry type");
  const json& c = Member(geometry, "coordinates");
  auto run = [&](const json& list) {
    if (!list.is_array() || list.size() > static_cast<size_t>(GIS_MAPFEATURE_MAX_POINTS))
      Refuse("coordinates are not a bounded array");
    for (const json& p : list) points->push_back(Position(p));
    sizes->push_back(static_cast<int>(list.size()));
    if (points->size() > static_cast<size_t>(GIS_MAPFEATURE_MAX_POINTS)) Refuse("too many points");
  };
  auto runs = [&](const json& list) {
    if (!list.is_array() || list.size() > static_cast<size_t>(GIS_MAPFEATURE_MAX_PARTS))
      Refuse("parts are not a bounded array");
    for (const json& r : list) run(r);
  };
  if (type == "Point") {
    *kind = GIS_MAPFEATURE_POINT;
    points->push_back(Position(c));
    sizes->push_back(1);
  } else if (type == "MultiPoint") {
    *kind = GIS_MAPFEATURE_POINT;
    if (!c.is_array()) Refuse("coordinates are not an array");
    for (const json& p : c) {
      points->push_back(Position(p));
      sizes->push_back(1);
    }
  } else if (type == "LineString") {
    *kind = GIS_MAPFEATURE_LINE;
    run(c);
  } else if (type == "MultiLineString") {
    *kind = GIS_MAPFEATURE_LINE;
    runs(c);
  } else if (type == "Polygon") {
    *kind = GIS_MAPFEATURE_POLYGON;
    runs(c);
  } else if (type == "MultiPolygon") {
    *kind = GIS_MAPFEATURE_POLYGON;
    if (!c.is_array() || c.size() > static_cast<size_t>(GIS_MAPFEATURE_MAX_PARTS))
      Refuse("polygons are not a bounded array");
    for (const json& poly : c) runs(poly);
  } else {
    Refuse("unknown geometry type " + type);
  }
  if (sizes->empty() || sizes->size() > static_cast<size_t>(GIS_MAPFEATURE_MAX_PARTS))
    Refuse("bad part count");
}

void AddFeatures(const json& features, Reading* r) {
  if (!features.is_array() || features.size() > static_cast<size_t>(GIS_MAPLAYER_MAX_FEATURES))
    Refuse("features is not a bounded array");
  std::vector<int> sizes;
  std::vector<SGIS_DPoint> points;
  for (const json& f : features) {
    if (Text(Member(f, "type"), "feature type") != "Feature") Refuse("not a Feature");
    const json& props = Member(f, "properties");
    const std::string layerName = Text(Member(props, "layer"), "feature layer");
    auto it = r->vectors.find(layerName);
    if (it == r->vectors.end()) Refuse("feature of an unknown layer " + layerName);
    IGIS_VectorMapLayer* layer = it->second;
    const int cls =
        layer->GetSymbolMatchTable()->FindValue(Text(Member(props, "class"), "feature class").c_str());
    if (cls < 0) Refuse("feature of an unknown class in " + layerName);
    const json* nameField = Optional(props, "name");
    const std::string name = nameField ? Text(*nameField, "feature name") : "";
    int kind = 0;
    sizes.clear();
    points.clear();
    Parts(Member(f, "geometry"), &kind, &sizes, &points);
    if (kind == GIS_MAPFEATURE_POINT) {
      for (size_t i = 0; i < points.size(); ++i) {
        const int one = 1;
        if (layer->AddFeature(kind, cls, name.c_str(), 1, &one, &points[i]) < 0) Refuse("point refused");
      }
    } else if (layer->AddFeature(kind, cls, name.c_str(), static_cast<int>(sizes.size()), sizes.data(),
                                 points.data()) < 0) {
      Refuse("feature refused in " + layerName);
    }
  }
}

ReferencePtr MakeReference(const json& spec) {
  const std::string kind = Text(Member(spec, "kind"), "reference kind");
  const int datum = GIS_DatumByName(Text(Member(spec, "datum"), "datum").c_str());
  if (datum < 0) Refuse("unknown datum");
  if (kind == "geographic") return ReferencePtr(GIS_MakeGeographicReference(datum));
  if (kind != "gauss") Refuse("unknown reference kind " + kind);
  const int width = Integer(Member(spec, "zoneWidth"), "zone width", 3, 6);
  const int zone = Integer(Member(spec, "zone"), "zone", 1, 120);
  ReferencePtr r(
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(datum, width, zone, FALSE));
  if (!r) Refuse("no such Gauss-Kruger zone");
  return r;
}

using WorldRect = std::array<std::int32_t, 4>;  // left, right, top, bottom

// The sheet's corners in degrees carried into the map's reference: the
// map's world rectangle.
WorldRect WorldRectOf(const json& extent, IGIS_SpatialReference* data, IGIS_SpatialReference* map) {
  if (!extent.is_array() || extent.size() != 4) Refuse("extent is not [west, south, east, north]");
  SGIS_DRect r(Number(extent[0], "west", -360, 360), Number(extent[3], "north", -90, 90),
               Number(extent[2], "east", -360, 360), Number(extent[1], "south", -90, 90));
  if (!(r.x1 < r.x2 && r.y2 < r.y1)) Refuse("extent is empty");
  IGIS_CoordTransform* t = GIS_GetSpatialReferenceFactoryObject()->CreateCoordTransform("", "", data, map);
  const BOOL ok = t && t->TransformRect(&r, 16, 1);
  if (t) t->Release();
  if (!ok) Refuse("extent cannot be carried into the map's reference");
  return {md::basilo::detail::RoundToInt32(r.x1), md::basilo::detail::RoundToInt32(r.x2),
          md::basilo::detail::RoundToInt32(r.y1), md::basilo::detail::RoundToInt32(r.y2)};
}

void StoreWorldRect(const WorldRect& rect, IGIS_Map* map) {
  IGIS_PropertySet* props = map->GetPropertySet();
  IGIS_Field* f = props ? props->GetProperty(GIS_DISP_WORLD_RECT) : nullptr;
  if (props && f == nullptr)
    f = props->AddProperty(GIS_DISP_WORLD_RECT, GIS_DISP_WORLD_RECT, GIS_FIELD_TYPE_BUFFER, 1);
  IGIS_DataBuffer* b = f ? f->GetDataBuffer() : nullptr;
  if (b == nullptr || !b->SetSize(static_cast<int>(sizeof(std::int32_t) * rect.size()))) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "world rectangle not stored");
    return;
  }
  std::memcpy(b->GetData(), rect.data(), sizeof(std::int32_t) * rect.size());
}

}  // namespace

extern "C" {

IGIS_Map* GIS_ReadMapText(IGIS_Document* document, const char* text, std::size_t size) {
  if (document == nullptr || text == nullptr || size > GIS_MAPFILE_MAX_BYTES) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "no document or text, or text too long");
    return nullptr;
  }
  const json root = json::parse(text, text + size, nullptr, false);
  if (root.is_discarded()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "not JSON");
    return nullptr;
  }
  try {
    if (Text(Member(root, "type"), "type") != "FeatureCollection") Refuse("not a FeatureCollection");
    const json& head = Member(root, "mapdeck");
    if (Integer(Member(head, "version"), "version", 0, 1000) != 1) Refuse("unknown version");
    const std::string name = Text(Member(head, "name"), "map name");
    if (name.empty() || document->FindMap(name.c_str())) Refuse("map name empty or used: " + name);
    ReferencePtr mapReference = MakeReference(Member(head, "reference"));
    if (!mapReference) Refuse("map reference not made");
    // Positions are longitude and latitude on the map's own datum.
    IGIS_GeographicCoordSys* geo = mapReference->GetKind() == GIS_SPATIALREFERENCE_GEOGRAPHIC
                                       ? mapReference->GetGeographicCoordSys()
                                       : mapReference->GetProjectedCoordSys()->GetGeographicCoordSys();
    ReferencePtr data(GIS_GetSpatialReferenceFactoryObject()->CreateGeographicReference(
        "经纬度", "经纬度", nullptr, geo, nullptr));
    if (!data) Refuse("geographic reference not made");
    Reading r;
    r.data = data.get();
    const json& layers = Member(head, "layers");
    if (!layers.is_array()) Refuse("layers is not an array");
    for (const json& l : layers) r.top.push_back(MakeLayer(l, &r, 0));
    AddFeatures(Member(root, "features"), &r);
    const json* scale = Optional(head, "referenceScale");
    const int referenceScale = scale ? Integer(*scale, "reference scale", 0, 1000000000) : 0;
    const json* rotation = Optional(head, "rotation");
    const double angle = rotation ? Number(*rotation, "rotation", -360.0, 360.0) : 0.0;
    const json* extent = Optional(head, "extent");
    const WorldRect world = extent ? WorldRectOf(*extent, data.get(), mapReference.get()) : WorldRect{};

    // Nothing below refuses: the document changes only now.
    IGIS_Map* made = document->CreateMap(name.c_str(), mapReference.get());
    if (made == nullptr) Refuse("map not made");
    made->SetReferenceScale(referenceScale);
    made->SetRotateAngle(angle);
    for (LayerPtr& l : r.top) {
      if (made->AddLayer(l.get())) l.release();
    }
    if (extent) StoreWorldRect(world, made);
    return made;
  } catch (const Refused& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "map file refused: %s", e.why.c_str());
  } catch (const json::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "map file refused: %s", e.what());
  }
  return nullptr;
}

IGIS_Map* GIS_LoadMapFile(IGIS_Document* document, const char* path) {
  if (path == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_LoadMapFile", "path == NULL");
    return nullptr;
  }
  std::vector<std::uint8_t> bytes;
  std::string why;
  if (!md::files::ReadWholeFile(path, GIS_MAPFILE_MAX_BYTES, &bytes, &why)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_LoadMapFile", "cannot read %s: %s", path, why.c_str());
    return nullptr;
  }
  return GIS_ReadMapText(document, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // extern "C"
