// One input of the map borders' stored-state readers, reached through the
// library's exports and interfaces: the bytes opened by a border of each
// kind, which is then stored and read back, and as a stored border rebuilt
// by the border factory, which is also drawn round a frame on a printer page
// (part 0) and converted (part 1). The fuzz target does one of the two per
// input, the regular test that replays its inputs both.
// Shared by the fuzz target and the regular test that replays seeds and
// crash inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/printerpage.h"

namespace md::test::mapborderinput {

constexpr unsigned kParts = 2;

// Draws (part 0) and converts (part 1) the border round the frame: whatever
// the stored values, the walk finishes within its caps.
inline void Exercise(IGIS_MapBorder* border, IGIS_FeatureSet* set, IGIS_Element* frame, unsigned part) {
  using md::test::fuzz::Does;
  if (Does(part, 1)) {
    if (IGIS_Element* converted = border->ConvertToElement(frame))
      md::test::fuzz::DropElement(set, converted);
  }
  if (!Does(part, 0)) return;
  md::test::fuzz::DrawOnPrinterPage(100000, [border, frame](HDC hdc, CGIS_PrintDisplay* display) {
    border->OnDraw(hdc, true, display, frame->GetRect(), nullptr);
  });
}

inline void Feed(const std::uint8_t* data, std::size_t size, unsigned part = md::test::fuzz::kEveryPart) {
  IGIS_ElementFactory* elements = GIS_CreateGraphicElementFactoryObject();
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  IGIS_Element* frame = elements->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT, set, nullptr);
  if (frame == nullptr) std::abort();
  frame->SetRect(SGIS_Rect(2000, 20000, 30000, 2000));
  IGIS_DataBuffer* bytes = GIS_CreateDataBufferObject(0);
  bytes->SetSize(static_cast<int>(size));
  if (size > 0) std::memcpy(bytes->GetData(), data, size);

  // Every kind reads the bytes, writes what it read and reads that back; the
  // border the bytes describe (rebuilt by the factory from its stored kind)
  // is drawn and converted, so one input draws one border.
  IGIS_MapBorderFactory* factory = GIS_GetMapBorderFactoryObject();
  auto roundTrip = [](IGIS_MapBorder* border) {
    IGIS_DataBuffer* again = GIS_CreateDataBufferObject(0);
    border->Save(again);
    border->Open(again);
    again->Release();
  };
  if (IGIS_MapBorder* rebuilt = factory->CreateMapborderFromBuffer(bytes)) {
    roundTrip(rebuilt);
    Exercise(rebuilt, set, frame, part);
    rebuilt->Release();
  }
  for (int type = GIS_MAPBORDER_SIMPLE; type <= GIS_MAPBORDER_PATTERN; ++type) {
    IGIS_MapBorder* border = factory->CreateMapBorder(type);
    if (border == nullptr) std::abort();
    border->Open(bytes);
    roundTrip(border);
    border->Release();
  }
  bytes->Release();
  if (!set->DeleteElement(frame)) frame->Release();
  set->Release();
  elements->Release();
}

}  // namespace md::test::mapborderinput
