// One input of the map borders' stored-state readers: the bytes as a stored
// border rebuilt through the factory and opened by each kind (each then
// stored, read back, drawn on a printer page and converted), as a stored
// border manager, and as a border library file. Shared by the fuzz target
// and the regular test that replays seeds and crash inputs.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/border/cgis_mapborderlibrary.h"
#include "layout/graphicelement/grid/border/cgis_mapbordermanager.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace mapborderinput {

// Draws and converts the border around a small frame; a walk must finish
// and stay within its caps whatever the stored values.
inline void Exercise(IGIS_MapBorder* border, IGIS_FeatureSet* set, IGIS_Element* frame) {
  md::canvas::RecordingCanvas canvas(400, 300);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 25;
  setup.paperWidthMm = 400.0;
  setup.paperHeightMm = 300.0;
  HDC hdc = md::win::CreatePrinterDC(&canvas, setup);
  {
    CGIS_PrintDisplay display(hdc, 40000, 30000, SGIS_Point(0, 30000));
    display.PrepareDC();
    border->OnDraw(hdc, true, &display, frame->GetRect(), nullptr);
  }
  DeleteDC(hdc);
  if (canvas.records().size() > 100000) std::abort();
  IGIS_Element* converted = border->ConvertToElement(frame);
  if (converted != nullptr && !set->DeleteElement(converted)) converted->Release();
}

inline void Feed(const std::uint8_t* data, std::size_t size) {
  md::layout::InstallElementHooks();
  IGIS_DataBuffer* bytes = GIS_CreateDataBufferObject(0);
  bytes->SetSize(static_cast<int>(size));
  if (size > 0) std::memcpy(bytes->GetData(), data, size);
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  IGIS_Element* frame = set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  frame->SetRect(SGIS_Rect(2000, 20000, 30000, 2000));

  IGIS_MapBorderFactory* factory = GIS_GetMapBorderFactoryObject();
  if (IGIS_MapBorder* rebuilt = factory->CreateMapborderFromBuffer(bytes)) rebuilt->Release();
  for (int type = GIS_MAPBORDER_SIMPLE; type <= GIS_MAPBORDER_PATTERN; ++type) {
    IGIS_MapBorder* border = factory->CreateMapBorder(type);
    border->Open(bytes);
    IGIS_DataBuffer* again = GIS_CreateDataBufferObject(0);
    border->Save(again);
    border->Open(again);
    again->Release();
    Exercise(border, set, frame);
    border->Release();
  }
  IGIS_MapBorderManager* manager = new CGIS_MapBorderManager();
  manager->Open(bytes);
  IGIS_MapBorderManager* copy = manager->Clone();
  copy->Release();
  manager->Release();

  char path[] = "/tmp/mapborder-fuzz-XXXXXX";
  const int fd = mkstemp(path);
  if (fd >= 0) {
    if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
    close(fd);
    CGIS_MapBorderLibrary library;
    library.Load(path);
    library.Save(std::string(path) + ".out");
    std::remove((std::string(path) + ".out").c_str());
    std::remove(path);
  }
  set->DeleteElement(frame);
  set->Release();
  bytes->Release();
}

}  // namespace mapborderinput
