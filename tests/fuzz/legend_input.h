// The legend's readers of stored bytes that the library's exports reach, fed
// one input: the first byte picks the reader (1 the legend format, 2 an item,
// anything else the legend's "Custom" set; 0, the class format, which no
// export makes, is left to the caller), the rest is the stored form. Each
// must refuse or read without crashing, and what it read must write again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "layout/graphicelement/legend/igis_legenditem.h"

namespace legendinput {

constexpr std::uint8_t kClassFormat = 0;

inline IGIS_DataBuffer* Buffer(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(static_cast<int>(size));
  if (size > 0) std::memcpy(b->GetData(), data, size);
  return b;
}

inline void Feed(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || data[0] == kClassFormat) return;
  md::basilo::ReleasePtr<IGIS_DataBuffer> in(Buffer(data + 1, size - 1));
  md::basilo::ReleasePtr<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
  if (data[0] == 1) {
    md::basilo::ReleasePtr<IGIS_LegendFormat> f(GIS_CreateLegendFormatObject());
    if (f->Open(in.get())) f->Save(out.get());
    return;
  }
  if (data[0] == 2) {
    // Without a legend the item finds no layer (FALSE) but keeps what it read.
    md::basilo::ReleasePtr<IGIS_LegendItem> item(GIS_CreateLegendItemObject(nullptr));
    item->Open(in.get());
    item->Save(out.get());
    return;
  }
  md::basilo::ReleasePtr<IGIS_ElementFactory> factory(GIS_CreateGraphicElementFactoryObject());
  md::basilo::ReleasePtr<IGIS_FeatureSet> set(
      GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr));
  IGIS_Element* legend = factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND, set.get(), nullptr);
  if (legend == nullptr) return;
  IGIS_Feature* feature = legend->GetFeaturePtr();
  if (feature != nullptr && feature->GetAttributes() != nullptr) {
    feature->GetAttributes()->SetDataBuffer("Custom", in.get(), 0);
    if (legend->Archive(1, 0)) legend->Archive(0, 0);
  }
  legend->Release();
}

}  // namespace legendinput
