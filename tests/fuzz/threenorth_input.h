// One input of the three-north diagram's stored-state reader: the bytes as
// the "Custom" buffer of a diagram read with Archive, then drawn, converted,
// written and read once more. Shared by the fuzz target and the regular test
// that replays seeds and crash inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/furniture/cgis_threenorthelement.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"

namespace threenorthinput {

inline void Feed(const std::uint8_t* data, std::size_t size) {
  md::layout::InstallElementHooks();
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  IGIS_SpatialReference* page = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set->GetFeatureClass()->SetSpatialReference(page);
  IGIS_DataBuffer* bytes = GIS_CreateDataBufferObject(0);
  bytes->SetSize(static_cast<int>(size));
  if (size > 0) std::memcpy(bytes->GetData(), data, size);

  auto* e = dynamic_cast<CGIS_ThreeNorthElement*>(set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH));
  e->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", bytes, 0);
  e->Archive(1, 0);
  {
    md::canvas::RecordingCanvas canvas(400, 300);
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = 25;
    setup.paperWidthMm = 400.0;
    setup.paperHeightMm = 300.0;
    HDC hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
    CGIS_PrintDisplay display(hdc, 40000, 30000, SGIS_Point(0, 30000, 0));
    e->OnDraw(hdc, true, &display);
    DeleteDC(hdc);
  }
  e->ConvertToElement();
  e->Archive(0, 0);
  e->Archive(1, 0);
  bytes->Release();
  set->Release();
  page->Release();
}

}  // namespace threenorthinput
