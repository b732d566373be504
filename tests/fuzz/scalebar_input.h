// One input of the scale bars' stored-state readers: the bytes as the
// "Custom" buffer of each bar the factory makes, read with Archive (which
// also reads its scale marks), laid out, converted into plain elements,
// written and read once more; then the same for a scale text. Shared by the
// fuzz target, which takes one part per input (a bar's conversion, a bar's
// round trip or the scale text), and the regular test that replays seeds and
// crash inputs with all of them; it reaches the library only through its
// exports and interfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/igis_element.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test::scalebarinput {

inline void Drop(IGIS_FeatureSet* set, IGIS_Element* element) { md::test::fuzz::DropElement(set, element); }

// The parts: each of the five bars converted (parts 0, 2, ...) or written
// and read back (parts 1, 3, ...), then the scale text (part 10).
constexpr unsigned kParts = 11;

inline void Feed(const std::uint8_t* data, std::size_t size, unsigned part = md::test::fuzz::kEveryPart) {
  using md::test::fuzz::Does;
  IGIS_ElementFactory* factory = GIS_CreateGraphicElementFactoryObject();
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  IGIS_SpatialReference* page = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set->GetFeatureClass()->SetSpatialReference(page);
  IGIS_DataBuffer* bytes = GIS_CreateDataBufferObject(0);
  bytes->SetSize(static_cast<int>(size));
  if (size > 0) std::memcpy(bytes->GetData(), data, size);

  const char* types[] = {
      GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING,
      GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE,
      GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE};
  for (unsigned k = 0; k < 5; ++k) {
    const bool bConvert = Does(part, 2 * k), bRoundTrip = Does(part, 2 * k + 1);
    if (!bConvert && !bRoundTrip) continue;
    IGIS_Element* bar = factory->CreateElement(types[k], set, nullptr);
    if (bar == nullptr) std::abort();
    bar->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", bytes, 0);
    bar->Archive(1, 0);
    // Whatever was stored, the conversion holds a bounded number of
    // elements: frame, marks, labels, unit label and the bar's body of at
    // most 100 divisions of at most 1000 subdivisions.
    if (bConvert) {
      if (IGIS_Element* converted = bar->ConvertToElement()) {
        auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
        if (compound == nullptr || compound->GetElementCount() > 5) std::abort();
        Drop(set, converted);
      }
    }
    if (bRoundTrip) {
      bar->Archive(0, 0);
      bar->Archive(1, 0);
    }
    bar->Release();
  }

  // The same bytes as a scale text's "Custom" set: read, composed, sized,
  // converted (its text, inside its frame at most), written and read again.
  if (Does(part, 10)) {
    IGIS_Element* text = factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT, set, nullptr);
    if (text == nullptr) std::abort();
    text->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", bytes, 0);
    text->Archive(1, 0);
    if (IGIS_Element* converted = text->ConvertToElement()) Drop(set, converted);
    text->Archive(0, 0);
    text->Archive(1, 0);
    text->Release();
  }

  bytes->Release();
  set->Release();
  page->Release();
  factory->Release();
}

}  // namespace md::test::scalebarinput
