// The element factory's table and the feature sets' element hooks.
#include "layout/graphicelement/factory/cgis_elementfactory.h"

#include <cstring>
#include <new>

#include "host/basilo/makeornull.h"
#include "host/featra/gis_elementregistry.h"
#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "layout/graphicelement/furniture/cgis_mapindexelement.h"
#include "layout/graphicelement/furniture/cgis_northarrowelement.h"
#include "layout/graphicelement/furniture/cgis_slopeelement.h"
#include "layout/graphicelement/furniture/cgis_threenorthelement.h"
#include "layout/graphicelement/legend/cgis_legendelement.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "layout/graphicelement/ole/cgis_oleelement.h"
#include "layout/graphicelement/picture/cgis_pictureelement.h"
#include "layout/graphicelement/scalebar/cgis_alternatingscalebar.h"
#include "layout/graphicelement/scalebar/cgis_doublealternatingscalebar.h"
#include "layout/graphicelement/scalebar/cgis_hollowscalebar.h"
#include "layout/graphicelement/scalebar/cgis_scaleline.h"
#include "layout/graphicelement/scalebar/cgis_scaletextelement.h"
#include "layout/graphicelement/scalebar/cgis_steppedscaleline.h"
#include "layout/graphicelement/shapes/cgis_ellipseelement.h"
#include "layout/graphicelement/shapes/cgis_pointelement.h"
#include "layout/graphicelement/shapes/cgis_polygonelement.h"
#include "layout/graphicelement/shapes/cgis_polylineelement.h"
#include "layout/graphicelement/shapes/cgis_rectelement.h"
#include "layout/graphicelement/text/cgis_textelement.h"

namespace {

using ElementMaker = IGIS_Element* (*)(IGIS_FeatureSet*, IGIS_Feature*);

template <class T>
IGIS_Element* Make(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature) {
  return md::basilo::MakeOrNull<T>("IGIS_ElementFactory::CreateElement", pOwner, pFeature);
}

struct TypeRow {
  const char* szType;
  ElementMaker make;  // NULL: listed, builds nothing (yet)
};

// Index order of GetTypeName. Rows whose classes are not part of the library
// yet answer NULL.
const TypeRow kTypes[] = {
    {GIS_TYPE_GRAPHIC_ELEMENT_POINT, &Make<CGIS_PointElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_LINE, &Make<CGIS_PointElement>},  // builds the point element
    {GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, &Make<CGIS_PolylineElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_ARC, nullptr},
    {GIS_TYPE_GRAPHIC_ELEMENT_RECT, &Make<CGIS_RectElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, &Make<CGIS_EllipseElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, &Make<CGIS_PolygonElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_TEXT, &Make<CGIS_TextElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_TABLE, nullptr},
    {GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW, &Make<CGIS_NorthArrowElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_MAP, &Make<CGIS_MapElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_LEGEND, &Make<CGIS_LegendElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING, &Make<CGIS_DoubleAlternatingScaleBar>},
    {GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT, &Make<CGIS_ScaleTextElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, &Make<CGIS_PictureElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND, &Make<CGIS_CompoundElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING, &Make<CGIS_AlternatingScaleBar>},
    {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA, nullptr},
    {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW, &Make<CGIS_HollowScaleBar>},
    {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE, &Make<CGIS_ScaleLine>},
    {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE, &Make<CGIS_SteppedScaleLine>},
    {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC, nullptr},
    {GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH, &Make<CGIS_ThreeNorthElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE, &Make<CGIS_SlopeElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_OLE, &Make<CGIS_OleElement>},
    {GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX, &Make<CGIS_MapIndexElement>},
};
constexpr int kTypeCount = static_cast<int>(sizeof(kTypes) / sizeof(kTypes[0]));
static_assert(kTypeCount == 26, "the factory knows 26 type identifiers");

// Makes a new element of the type asked for by `szMethod`. A type named by
// nothing has one record; an identifier that builds nothing, or none the
// factory knows, answers NULL quietly: a host asks for each listed one.
IGIS_Element* CreateNamed(const char* szMethod, const char* szType, IGIS_FeatureSet* pOwner,
                          IGIS_Feature* pFeature) {
  if (szType == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "no type named: szType is NULL");
    return nullptr;
  }
  return CGIS_ElementFactory::Create(szType, pOwner, pFeature);
}

IGIS_Element* HookCreate(const char* szType, IGIS_FeatureSet* pOwner) {
  return CreateNamed("CGIS_FeatureSet::CreateElement", szType, pOwner, nullptr);
}
void HookRelease(IGIS_Element* pElement) {
  if (pElement != nullptr) pElement->Release();
}
int HookFeatureId(IGIS_Element* pElement) { return pElement != nullptr ? pElement->GetID() : -1; }
BOOL HookArchive(IGIS_Element* pElement, int nMode) {
  return pElement != nullptr && pElement->Archive(nMode, 0) ? TRUE : FALSE;
}
IGIS_Element* HookBind(const char* szType, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature) {
  return CGIS_ElementFactory::Create(szType, pOwner, pFeature);
}

}  // namespace

void CGIS_ElementFactory::Release() { delete this; }

int CGIS_ElementFactory::GetTypeCount() { return kTypeCount; }

const char* CGIS_ElementFactory::GetTypeName(int nIndex) {
  if (nIndex < 0 || nIndex >= kTypeCount) return "";
  return kTypes[nIndex].szType;
}

IGIS_Element* CGIS_ElementFactory::Create(const char* szType, IGIS_FeatureSet* pOwner,
                                          IGIS_Feature* pFeature) {
  if (szType == nullptr) return nullptr;
  for (const TypeRow& row : kTypes) {
    if (std::strcmp(row.szType, szType) == 0)
      return row.make != nullptr ? row.make(pOwner, pFeature) : nullptr;
  }
  return nullptr;
}

IGIS_Element* CGIS_ElementFactory::CreateElement(const char* szType, IGIS_FeatureSet* pOwner,
                                                 IGIS_Feature* pFeature) {
  return CreateNamed("CGIS_ElementFactory::CreateElement", szType, pOwner, pFeature);
}

const char* CGIS_ElementFactory::GetFactoryType() { return MAPDECK_FACTORY_TYPE_BASIC; }

namespace md::layout {

void InstallElementHooks() {
  SGIS_ElementHooks hooks{};
  hooks.create = &HookCreate;
  hooks.release = &HookRelease;
  hooks.featureId = &HookFeatureId;
  hooks.archive = &HookArchive;
  hooks.bind = &HookBind;
  GIS_SetElementHooks(&hooks);
}

void RemoveElementHooks() { GIS_SetElementHooks(nullptr); }

}  // namespace md::layout

namespace {
// Feature sets make elements through the factory from the library's load to
// its unload.
const struct HookLifetime {
  HookLifetime() { md::layout::InstallElementHooks(); }
  ~HookLifetime() { md::layout::RemoveElementHooks(); }
} g_hookLifetime;
}  // namespace

extern "C" __attribute__((visibility("default"))) IGIS_ElementFactory*
GIS_CreateGraphicElementFactoryObject() {
  return md::basilo::MakeOrNull<CGIS_ElementFactory>("GIS_CreateGraphicElementFactoryObject");
}
