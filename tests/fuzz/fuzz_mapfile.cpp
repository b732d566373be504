// Feeds arbitrary bytes to the map-file reader. It must never crash, hang or
// allocate without bound; a map it accepts must be in the document and draw
// into a small recording canvas without harm; a refused one leaves the
// document empty.
#include <cstddef>
#include <cstdint>

#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_mainobject.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Fixed text metrics: labels are measured without the system's font caches.
  static const bool fixed = GIS_SetSymbolTextEngine("fixed");
  (void)fixed;
  IGIS_Document* doc = GIS_CreateDocumentObject();
  IGIS_Map* map = GIS_ReadMapText(doc, reinterpret_cast<const char*>(data), size);
  if (map == nullptr) {
    md::test::fuzz::Check(doc->GetMapCount() == 0);
  } else {
    md::test::fuzz::Check(doc->GetMapCount() == 1 && doc->GetMapAt(0) == map);
    md::canvas::RecordingCanvas canvas(64, 48);
    HDC hdc = md::win::CreateScreenDC(&canvas, 72, &md::text::FixedMetricsEngine());
    IGIS_MainObject* main = HM_CreateMainObject(0);
    main->SetMap(map);
    main->GetMapView()->SetDeviceRect(SGIS_Rect(2, 2, 62, 46));
    main->GetMapView()->ZoomFullExtent(0);
    main->DrawMap(hdc, FALSE, 2, 2, 62, 46);
    main->Release();
    DeleteDC(hdc);
  }
  doc->Release();
  return 0;
}
