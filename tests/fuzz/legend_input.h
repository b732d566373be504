// The legend's readers of stored bytes, fed one input: the first byte picks
// the reader (0 the class format block, 1 the legend format, 2 an item,
// anything else the legend's "Custom" set), the rest is the stored form.
// Each must refuse or read without crashing, and what it read must write
// again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/legend/cgis_legendclassformat.h"
#include "layout/graphicelement/legend/cgis_legendelement.h"
#include "layout/graphicelement/legend/cgis_legenditem.h"
#include "layout/graphicelement/legend/igis_legendformat.h"

namespace legendinput {

inline IGIS_DataBuffer* Buffer(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(static_cast<int>(size));
  if (size > 0) std::memcpy(b->GetData(), data, size);
  return b;
}

inline void Feed(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::uint8_t kind = data[0];
  md::basilo::ReleasePtr<IGIS_DataBuffer> in(Buffer(data + 1, size - 1));
  md::basilo::ReleasePtr<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
  if (kind == 0) {
    CGIS_LegendClassFormat f;
    if (f.Open(in.get())) f.Save(out.get());
    return;
  }
  if (kind == 1) {
    md::basilo::ReleasePtr<IGIS_LegendFormat> f(GIS_CreateLegendFormatObject());
    if (f->Open(in.get())) f->Save(out.get());
    return;
  }
  if (kind == 2) {
    md::basilo::ReleasePtr<CGIS_LegendItem> item(new CGIS_LegendItem(nullptr));
    if (item->ReadStored(in.get())) item->Save(out.get());
    return;
  }
  md::basilo::ReleasePtr<IGIS_FeatureSet> set(GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr));
  auto* legend = new CGIS_LegendElement(set.get(), nullptr);
  IGIS_Feature* feature = legend->GetFeaturePtr();
  if (feature != nullptr && feature->GetAttributes() != nullptr) {
    feature->GetAttributes()->SetDataBuffer("Custom", in.get(), 0);
    if (legend->Archive(1, 0)) legend->Archive(0, 0);
  }
  legend->Release();
}

}  // namespace legendinput
