// One input of the furniture elements' stored-state readers: the bytes as the
// "Custom" buffer of a map index, a north arrow and a slope rule, each read
// with Archive, drawn, written and read once more. Shared by the fuzz target,
// which takes one element and either its drawing or its round trip per
// input, and the regular test that replays seeds and crash inputs with all
// of them; it reaches the library only through its exports and interfaces.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/igis_feature.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"
#include "layout/graphicelement/furniture/igis_northarrowelement.h"
#include "layout/graphicelement/furniture/igis_slopeelement.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test::furnitureinput {

// The parts: each element drawn (parts 0, 2, 4) or written and read back
// (parts 1, 3, 5).
constexpr unsigned kParts = 6;

inline void Feed(const std::uint8_t* data, std::size_t size, unsigned part = md::test::fuzz::kEveryPart) {
  IGIS_ElementFactory* factory = GIS_CreateGraphicElementFactoryObject();
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  IGIS_SpatialReference* page = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set->GetFeatureClass()->SetSpatialReference(page);
  IGIS_DataBuffer* bytes = GIS_CreateDataBufferObject(0);
  bytes->SetSize(static_cast<int>(size));
  if (size > 0) std::memcpy(bytes->GetData(), data, size);
  md::canvas::RecordingCanvas canvas(400, 300);
  HDC hdc = md::win::CreateScreenDC(&canvas, 72, &md::text::FixedMetricsEngine());
  {
    CGIS_ScreenDisplay display(hdc, 1.0, 0.0, 20000.0);
    // A map frame that stored IDs may name.
    IGIS_Element* frame = factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAP, set, nullptr);
    const char* types[3] = {GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX, GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW,
                            GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE};
    for (unsigned k = 0; k < 3; ++k) {
      const bool bDraw = md::test::fuzz::Does(part, 2 * k),
                 bRoundTrip = md::test::fuzz::Does(part, 2 * k + 1);
      if (!bDraw && !bRoundTrip) continue;
      IGIS_Element* e = factory->CreateElement(types[k], set, nullptr);
      if (e == nullptr) std::abort();
      e->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", bytes, 0);
      e->Archive(1, 0);
      if (auto* index = dynamic_cast<IGIS_MapIndexElement*>(e)) {
        if (index->GetColWidth() <= 0 || index->GetRowHeight() <= 0) std::abort();
      }
      if (auto* arrow = dynamic_cast<IGIS_NorthArrowElement*>(e)) {
        if (!std::isfinite(arrow->GetCalibrationAngle())) std::abort();
      }
      if (bDraw) e->OnDraw(hdc, false, &display);
      if (bRoundTrip) {
        e->Archive(0, 0);
        e->Archive(1, 0);
      }
      e->Release();
    }
    if (frame != nullptr) frame->Release();
  }
  DeleteDC(hdc);
  bytes->Release();
  set->Release();
  page->Release();
  factory->Release();
}

}  // namespace md::test::furnitureinput
