// The map-border factory's table of kinds and its stored-border reader.
#include "layout/graphicelement/grid/border/cgis_mapborderfactory.h"

#include <memory>
#include <mutex>
#include <utility>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/propertyset_codec.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/libraryunload.h"
#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "layout/graphicelement/grid/border/mapborderfactory.h"

namespace {

constexpr const char* kFromBuffer = "CGIS_MapBorderFactory::CreateMapborderFromBuffer";

using BorderMaker = IGIS_MapBorder* (*)();

struct KindRow {
  int nType;
  BorderMaker make;
};

template <class TBorder>
IGIS_MapBorder* Make() {
  return md::basilo::MakeOrNull<TBorder>("CGIS_MapBorderFactory::CreateMapBorder");
}

// The kinds by their codes.
const KindRow kKinds[] = {
    {GIS_MAPBORDER_SIMPLE, &Make<CGIS_MapBorderSimple>},
    {GIS_MAPBORDER_CALIBRATED, &Make<CGIS_MapBorderCalibrated>},
    {GIS_MAPBORDER_PATTERN, &Make<CGIS_MapBorderPattern>},
};

// The factory frames read their borders with, made by the first that asks,
// on whichever thread.
constinit std::mutex g_factoryMutex;
CGIS_MapBorderFactory* g_pFactory = nullptr;  // guarded by g_factoryMutex

}  // namespace

void CGIS_MapBorderFactory::Release() { delete this; }

IGIS_MapBorder* CGIS_MapBorderFactory::CreateMapBorder(int nType) {
  for (const KindRow& row : kKinds) {
    if (row.nType == nType) return row.make != nullptr ? row.make() : nullptr;
  }
  return nullptr;
}

IGIS_MapBorder* CGIS_MapBorderFactory::CreateMapborderFromBuffer(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kFromBuffer, "pDataBuffer == NULL");
    return nullptr;
  }
  int nType = 0;
  if (pBuffer->GetSize() > 0 && pBuffer->GetData() != nullptr) {
    // The kind code read in place; a damaged set is recorded as the property
    // set records it.
    const md::layout::StoredSetView stored(pBuffer);
    if (stored.Damaged()) return nullptr;
    const md::basilo::StoredFieldView* pField = stored.Find("MapBorderType");
    if (pField == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kFromBuffer, "p_field == NULL");
      return nullptr;
    }
    nType = md::basilo::StoredInt(*pField);
  } else {
    md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
    if (!set) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kFromBuffer, "p_property_set == NULL");
      return nullptr;
    }
    if (!set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) return nullptr;
    IGIS_Field* pField = set->GetProperty("MapBorderType");
    if (pField == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kFromBuffer, "p_field == NULL");
      return nullptr;
    }
    nType = pField->GetInt();
  }
  IGIS_MapBorder* pBorder = CreateMapBorder(nType);
  if (pBorder != nullptr) pBorder->Open(pBuffer);
  return pBorder;
}

namespace md::layout {

void ReleaseMapBorderFactory() {
  CGIS_MapBorderFactory* pFactory = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_factoryMutex);
    pFactory = std::exchange(g_pFactory, nullptr);
  }
  if (pFactory != nullptr) pFactory->Release();
}

}  // namespace md::layout

extern "C" __attribute__((visibility("default"))) IGIS_MapBorderFactory* GIS_GetMapBorderFactoryObject() {
  std::lock_guard<std::mutex> lock(g_factoryMutex);
  if (g_pFactory == nullptr) {
    g_pFactory = md::basilo::MakeOrNull<CGIS_MapBorderFactory>("GIS_GetMapBorderFactoryObject");
    // The factory lives until the library unloads.
    if (g_pFactory != nullptr) md::layout::AtLibraryUnload(&md::layout::ReleaseMapBorderFactory);
  }
  return g_pFactory;
}
