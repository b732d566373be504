// One input of the scale bars' stored-state readers: the bytes as the
// "Custom" buffer of an alternating bar read with Archive, laid out,
// converted, written and read once more, and as the buffer of a set of
// scale marks. Shared by the fuzz target and the regular test that replays
// seeds and crash inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/scalebar/cgis_alternatingscalebar.h"
#include "layout/graphicelement/scalebar/cgis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"

namespace scalebarinput {

inline void Feed(const std::uint8_t* data, std::size_t size) {
  md::layout::InstallElementHooks();
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  IGIS_SpatialReference* page = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set->GetFeatureClass()->SetSpatialReference(page);
  IGIS_DataBuffer* bytes = GIS_CreateDataBufferObject(0);
  bytes->SetSize(static_cast<int>(size));
  if (size > 0) std::memcpy(bytes->GetData(), data, size);

  auto* bar = new CGIS_AlternatingScaleBar(set, nullptr);
  bar->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", bytes, 0);
  bar->Archive(1, 0);
  // Whatever was stored, a layout stays bounded.
  const md::layout::detail::BarPlaces p = md::layout::detail::PlaceBar(bar, "fuzz");
  if (p.n < 1 || p.n > 100 || p.s < 1 || p.s > md::layout::detail::kMaxSubDivisions) std::abort();
  if (p.labels.size() > static_cast<std::size_t>(p.n + 1) * static_cast<std::size_t>(p.s + 1)) std::abort();
  if (bar->LayOutCells().size() != static_cast<std::size_t>(p.n + p.s - 1)) std::abort();
  if (auto* converted = dynamic_cast<IGIS_CompoundElement*>(bar->ConvertToElement())) {
    md::layout::detail::DropCompound(converted);
  }
  bar->Archive(0, 0);
  bar->Archive(1, 0);
  bar->Release();

  IGIS_ScaleMarks* marks = new CGIS_ScaleMarks();
  marks->Open(bytes);
  marks->Release();

  bytes->Release();
  set->Release();
  page->Release();
}

}  // namespace scalebarinput
