// Shared pieces of the graticule's tests: stored bytes, symbols, a layout
// page with a map frame that shows the 1:50 000 sample sheet and a
// graticule over it, printers over recording canvases, and what a drawing
// stroked and wrote.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/recording.h"
#include "tests/support/dmslabeldouble.h"
#include "tests/support/owned.h"
#include "tests/support/recordeddrawing.h"
#include "tests/support/recordedtexts.h"
#include "tests/support/recordingdevices.h"
#include "tests/support/storedbytes.h"

namespace md::test {

// A new buffer holding the bytes (the caller releases it).
IGIS_DataBuffer* BufferOf(const std::vector<BYTE>& bytes);

IGIS_Symbol* NewLineSymbol(COLORREF color, double widthMm);
IGIS_Symbol* NewTextSymbol(int height);

// A printer page of 400 x 300 mm at 254 dpi (1 pixel = 0.1 mm) whose
// paper's top-left corner is the page point (0, 30000); its view clips.
struct GraticulePrinter : RecordingPrinter {
  GraticulePrinter() : RecordingPrinter(400.0, 300.0, 254, SGIS_Point(0, 30000, 0)) {}
};

// A stroke as the canvas received it (device pixels) and its pen colour.
struct Stroke {
  std::vector<md::canvas::Point> points;
  COLORREF color;
};
std::vector<Stroke> StrokesOf(const md::canvas::RecordingCanvas& canvas);

// A layout page with one map frame showing the 1:50 000 sample sheet
// (Gauss-Kruger zone 39; 116°00′ to 116°15′ east, 39°50′ to 40°00′ north).
class SheetPage : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Draws the frame (so that its map view shows the map) on the printer.
  void DrawFrame(GraticulePrinter& printer);
  // A new graticule over the frame, without a border, with lines every so
  // many minutes (the caller releases it).
  CGIS_GraticuleGrid* NewGraticule(double dMinutes);

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* sheet_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
};

}  // namespace md::test
