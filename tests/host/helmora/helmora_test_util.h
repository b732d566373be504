// A small map for the helmora tests: a projected map whose vector layer
// holds coordinates already in map metres, with one class per kind.
#pragma once

#include <memory>

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_mainobject.h"
#include "host/sferon/igis_spatialreference.h"

namespace md::test {

using DocumentPtr = md::basilo::ReleasePtr<IGIS_Document>;

using MainPtr = md::basilo::ReleasePtr<IGIS_MainObject>;

using ReferencePtr = md::basilo::ReleasePtr<IGIS_SpatialReference>;

// Classes of the test layer.
enum { kAreaClass = 0, kLineClass = 1, kPointClass = 2 };

inline IGIS_Symbol* NewSymbol(int type, int code, COLORREF color) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(type);
  s->SetCode(code);
  s->SetColor(color);
  return s;
}

// A map "测试图" in the projected reference of code 2, with a vector layer
// "要素" (three classes) and nothing in it yet.
inline IGIS_VectorMapLayer* MakeTestMap(IGIS_Document* doc, IGIS_Map** mapOut) {
  ReferencePtr ref(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(2));
  IGIS_Map* map = doc->CreateMap("测试图", ref.get());
  IGIS_MapLayer* layer = GIS_CreateVectorLayerObject("要素", nullptr);
  auto* data = dynamic_cast<IGIS_VectorMapLayer*>(layer->GetLayerPtr());
  IGIS_SymbolMatchTable* table = data->GetSymbolMatchTable();
  IGIS_Symbol* fill = NewSymbol(GIS_SYMBOL_FILL, 3366, RGB(0, 0, 255));
  IGIS_Symbol* line = NewSymbol(GIS_SYMBOL_LINE, 3331, RGB(255, 0, 0));
  IGIS_Symbol* point = NewSymbol(GIS_SYMBOL_POINT5, 3304, RGB(0, 128, 0));
  point->SetSize(10);
  table->AddEntry("area", "面", fill);
  table->AddEntry("line", "线", line);
  table->AddEntry("point", "点", point);
  fill->Release();
  line->Release();
  point->Release();
  map->AddLayer(layer);
  *mapOut = map;
  return data;
}

inline int AddPoint(IGIS_VectorMapLayer* layer, double x, double y, const char* name = "") {
  const int one = 1;
  const SGIS_DPoint p(x, y);
  return layer->AddFeature(GIS_MAPFEATURE_POINT, kPointClass, name, 1, &one, &p);
}

inline int AddLine(IGIS_VectorMapLayer* layer, std::initializer_list<SGIS_DPoint> points) {
  const int n = static_cast<int>(points.size());
  return layer->AddFeature(GIS_MAPFEATURE_LINE, kLineClass, "", 1, &n, points.begin());
}

inline int AddArea(IGIS_VectorMapLayer* layer, std::initializer_list<SGIS_DPoint> ring) {
  const int n = static_cast<int>(ring.size());
  return layer->AddFeature(GIS_MAPFEATURE_POLYGON, kAreaClass, "", 1, &n, ring.begin());
}

}  // namespace md::test
