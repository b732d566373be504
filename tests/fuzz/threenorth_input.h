// One input of the three-north diagram's stored-state reader: the bytes as
// the "Custom" buffer of a diagram read with Archive, then drawn (part 0),
// converted (part 1), and written and read once more (part 2). Shared by the
// fuzz target, which does one of the parts per input, and the regular test
// that replays seeds and crash inputs with all of them; it reaches the
// library only through its exports and interfaces.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/furniture/igis_threenorthelement.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test::threenorthinput {

constexpr unsigned kParts = 3;

inline void Feed(const std::uint8_t* data, std::size_t size, unsigned part = md::test::fuzz::kEveryPart) {
  using md::test::fuzz::Does;
  IGIS_ElementFactory* factory = GIS_CreateGraphicElementFactoryObject();
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  IGIS_SpatialReference* page = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set->GetFeatureClass()->SetSpatialReference(page);
  IGIS_DataBuffer* bytes = md::test::fuzz::BufferOf(data, size);

  auto* diagram = dynamic_cast<IGIS_ThreeNorthElement*>(
      factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH, set, nullptr));
  md::test::fuzz::Check(diagram != nullptr);
  diagram->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", bytes, 0);
  diagram->Archive(1, 0);
  if (Does(part, 0)) {
    md::canvas::RecordingCanvas canvas(400, 300);
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = 25;
    setup.paperWidthMm = 400.0;
    setup.paperHeightMm = 300.0;
    HDC hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
    CGIS_PrintDisplay display(hdc, 40000, 30000, SGIS_Point(0, 30000, 0));
    diagram->OnDraw(hdc, true, &display);
    DeleteDC(hdc);
  }
  if (Does(part, 1)) {
    if (IGIS_Element* converted = diagram->ConvertToElement()) md::test::fuzz::DropElement(set, converted);
  }
  if (Does(part, 2)) {
    diagram->Archive(0, 0);
    diagram->Archive(1, 0);
  }
  diagram->Release();

  bytes->Release();
  set->Release();
  page->Release();
  factory->Release();
}

}  // namespace md::test::threenorthinput
