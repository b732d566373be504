// Shared pieces of the measured grid's tests: a layout page with map frames
// over the sample maps, printer and screen displays over recording canvases,
// grids with distinguishable symbols, and what a drawing stroked.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "tests/support/recordingdevices.h"

namespace md::test {

// The colours the test grids draw their parts in.
constexpr COLORREF kLineColor = RGB(200, 0, 0);
constexpr COLORREF kTickColor = RGB(0, 150, 0);
constexpr COLORREF kSubTickColor = RGB(0, 0, 220);
constexpr COLORREF kMarkColor = RGB(120, 0, 120);

// A new measured grid (the caller releases it) with its defaults, bound to
// the frame, its lines, ticks, sub-ticks and marks in the colours above, the
// lines and ticks of the width (mm).
IGIS_MeasureGrid* NewMeasureGrid(IGIS_MapElement* frame, double widthMm = 0.2);

// A printer page of 400 x 300 mm at 254 dpi (1 pixel = 0.1 mm = 10 page
// units) whose paper's top-left corner is the page point (0, 30000); it
// clips. Page point (x, y) is pixel (x / 10, (30000 - y) / 10).
struct Printer : RecordingPrinter {
  Printer() : RecordingPrinter(400.0, 300.0, 254, SGIS_Point(0, 30000)) {}
};

// A screen at 96 dpi showing the page at zoom 0.25 from (0, 30000); it
// does not clip.
struct Screen : RecordingScreen {
  Screen() : RecordingScreen(1600, 1200, 96, 0.25, 0.0, 30000.0) {}
};

// A stroke as the canvas received it, in device pixels.
struct Stroke {
  std::vector<md::canvas::Point> points;
  md::canvas::Color color;
};
// The strokes of the colour, in drawing order.
std::vector<Stroke> StrokesOf(const md::canvas::RecordingCanvas& canvas, COLORREF color);
// The marks (point symbols) of the colour: their centres, each once.
std::vector<md::canvas::Point> MarksOf(const md::canvas::RecordingCanvas& canvas, COLORREF color);

// A made element as the tests read it: its type, its geometry's points and
// its symbol's colour (0 without one).
struct Made {
  std::string type;
  std::vector<SGIS_Point> points;
  COLORREF color = 0;
};
// The members of a compound element, in order.
std::vector<IGIS_Element*> MembersOf(IGIS_Element* compound);
Made Read(IGIS_Element* element);

// A layout page in 0.01 mm with the two sample maps: the 1:50,000 sheet in
// Gauss-Kruger zone 39 (the grids' default reference) and the 1:1,000,000
// region in degrees.
class MeasurePage : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A frame with its lower-left corner at the page point showing the bound
  // of the map at the scale (map units per page unit).
  CGIS_MapElement* Frame(IGIS_Map* map, SGIS_DRect bound, double scale, SGIS_Point lowerLeft);
  // The sheet's frame: 10 x 8 km of the sheet (E 420000..430000, N
  // 4416000..4424000) at 1:50,000 from the page point (2000, 2000), so that
  // the kilometre lines lie 2000 page units apart.
  CGIS_MapElement* SheetFrame();
  // Draws the frame (its map), then the grid alone over it on a fresh
  // canvas; the grid's result goes to *pResult.
  template <class Device>
  void DrawGrid(Device& device, CGIS_MapElement* frame, IGIS_MapGrid* grid, bool* pResult) {
    frame->OnDraw(device.hdc, true, device.display.get());
    device.canvas.clear();
    *pResult = grid->OnDraw(device.hdc, true, device.display.get());
  }
  // The number of elements of the page.
  int ElementCount();
  // The grid's conversion (the compound it returns, or NULL).
  IGIS_Element* Convert(IGIS_MeasureGrid* grid);
  // A frame over the sheet of zero height whose kept scale is 0, so that
  // its scale is 0: (2000, 2000) to (22000, 2000), bound E 420000..430000,
  // N 4416000..4424000.
  CGIS_MapElement* ZeroScaleFrame();

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* sheet_ = nullptr;
  IGIS_Map* region_ = nullptr;
  std::vector<CGIS_MapElement*> frames_;
};

}  // namespace md::test
