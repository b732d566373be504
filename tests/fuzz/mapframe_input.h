// One input of the map frame's stored-state readers: the bytes as the
// "Custom" buffer of a frame read with Archive (and written and read once
// more), as the buffer of a grid list, and as a stored border. Shared by the
// fuzz target and the regular test that replays seeds and crash inputs.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"

namespace mapframeinput {

inline void Feed(const std::uint8_t* data, std::size_t size) {
  md::layout::InstallElementHooks();
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  IGIS_Document* doc = GIS_CreateDocumentObject();
  IGIS_SpatialReference* gk =
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  doc->CreateMap("地图", gk);
  set->SetMapLayer(doc->GetLayoutLayer());
  IGIS_DataBuffer* bytes = GIS_CreateDataBufferObject(0);
  bytes->SetSize(static_cast<int>(size));
  if (size > 0) std::memcpy(bytes->GetData(), data, size);

  auto* frame = new CGIS_MapElement(set, nullptr);
  frame->SetRect(SGIS_Rect(0, 5000, 10000, 0));
  frame->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", bytes, 0);
  frame->Archive(1, 0);
  SGIS_DRect bound;
  frame->GetMapBound(&bound);
  if (std::isnan(bound.x1) || std::isnan(bound.y1) || std::isnan(bound.x2) || std::isnan(bound.y2))
    std::abort();
  frame->Archive(0, 0);
  frame->Archive(1, 0);
  frame->Release();

  auto* grids = new CGIS_MapGrids();
  grids->Open(bytes);
  grids->Release();
  IGIS_MapBorder* border = GIS_GetMapBorderFactoryObject()->CreateMapborderFromBuffer(bytes);
  if (border != nullptr) border->Release();

  bytes->Release();
  set->Release();
  doc->Release();
  gk->Release();
}

}  // namespace mapframeinput
