// One input of the map frame's stored-state readers: the bytes as the
// "Custom" buffer of a frame read with Archive (and written and read once
// more), as the buffer of its grid list, and as a stored border. Shared by
// the fuzz target and the regular test that replays seeds and crash inputs;
// it reaches the library only through its exports and interfaces.
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
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::test::mapframeinput {

inline void Feed(const std::uint8_t* data, std::size_t size) {
  IGIS_ElementFactory* factory = GIS_CreateGraphicElementFactoryObject();
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  IGIS_Document* doc = GIS_CreateDocumentObject();
  IGIS_SpatialReference* gk =
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  doc->CreateMap("地图", gk);
  set->SetMapLayer(doc->GetLayoutLayer());
  IGIS_DataBuffer* bytes = GIS_CreateDataBufferObject(0);
  bytes->SetSize(static_cast<int>(size));
  if (size > 0) std::memcpy(bytes->GetData(), data, size);

  IGIS_Element* element = factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAP, set, nullptr);
  auto* frame = dynamic_cast<IGIS_MapElement*>(element);
  if (frame == nullptr) std::abort();
  frame->SetRect(SGIS_Rect(0, 5000, 10000, 0));
  frame->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", bytes, 0);
  frame->Archive(1, 0);
  SGIS_DRect bound;
  frame->GetMapBound(&bound);
  if (std::isnan(bound.x1) || std::isnan(bound.y1) || std::isnan(bound.x2) || std::isnan(bound.y2))
    std::abort();
  frame->Archive(0, 0);
  frame->Archive(1, 0);
  // The same bytes as a stored grid list, appended to the frame's.
  if (IGIS_MapGrids* grids = frame->GetMapGrids()) grids->Open(bytes);
  frame->Release();

  IGIS_MapBorder* border = GIS_GetMapBorderFactoryObject()->CreateMapborderFromBuffer(bytes);
  if (border != nullptr) border->Release();

  bytes->Release();
  set->Release();
  doc->Release();
  gk->Release();
  factory->Release();
}

}  // namespace md::test::mapframeinput
