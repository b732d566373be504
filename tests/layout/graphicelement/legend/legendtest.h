// Shared pieces of the legend's tests: a layout page (feature set at a
// symbol scale of 30) showing a host document whose map "测试地图" holds a
// group layer with a river layer, a vegetation layer, a compound road layer
// and a settlement layer; a map frame showing it; displays over recording
// canvases; and readers of what was stored.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/legend/cgis_legendelement.h"
#include "layout/graphicelement/legend/cgis_legenditem.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/support/logmark.h"
#include "tests/support/recordedtexts.h"
#include "tests/support/recordingdevices.h"

namespace md::test {

// Page units per symbol unit of the test page: a 10-point character is 300
// page units (3 mm) wide and high.
constexpr double kSymbolScale = 30.0;

class LegendPage : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A legend on a new feature, released by the fixture, with its lower-left
  // corner at (1000, 2000) and following the frame when one is given.
  CGIS_LegendElement* NewLegend(CGIS_MapElement* frame = nullptr);
  // A frame on a new feature showing "测试地图", released by the fixture.
  CGIS_MapElement* NewFrame();
  void ReleaseFrame(CGIS_MapElement* frame);
  // A new item of the legend listing the labels of the named layer.
  CGIS_LegendItem* NewItem(CGIS_LegendElement* legend, const char* layer, std::vector<std::string> labels);
  // The "Custom" buffer of an element's feature, as bytes.
  std::vector<unsigned char> CustomBytes(IGIS_Element* e);
  // The "Custom" set of an element's feature (caller releases).
  IGIS_PropertySet* CustomOf(IGIS_Element* e);
  IGIS_MapLayer* Layer(const char* name);
  // The 1:50,000 sample sheet loaded into the page's document.
  IGIS_Map* LoadSampleSheet();

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* map_ = nullptr;
  std::vector<IGIS_Element*> elements_;
};

// A screen display at 254 dpi over a recording canvas (1 pixel = 10 page
// units): the page point (0, 20000) is the canvas's top-left pixel.
struct Screen {
  explicit Screen(int w = 2000, int h = 2000)
      : canvas(w, h),
        hdc(md::win::CreateScreenDC(&canvas, 254, &md::text::FixedMetricsEngine())),
        display(hdc, 1.0, 0.0, 20000.0) {}
  ~Screen() { DeleteDC(hdc); }
  // Device pixel of a page point.
  static int X(int pageX) { return pageX / 10; }
  static int Y(int pageY) { return (20000 - pageY) / 10; }
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  CGIS_ScreenDisplay display;
};

// A printer page of 300 x 200 mm at 254 dpi whose paper's top-left corner is
// the page point (0, 20000); its view clips element drawing.
struct Printer : RecordingPrinter {
  Printer() : RecordingPrinter(300.0, 200.0, 254, SGIS_Point(0, 20000)) {}
};

// Every vector layer of a map, depth first through its groups.
std::vector<IGIS_MapLayer*> VectorLayersOf(IGIS_Map* map);
// The classes of a vector or compound vector layer.
IGIS_SymbolMatchTable* ClassesOf(IGIS_MapLayer* layer);
// Adds an item listing every class of every vector layer of the map.
void AddEveryClass(CGIS_LegendElement* legend, IGIS_Map* map);

// The clip region of a context as its box ("none" without a clip).
std::string ClipOf(HDC hdc);

}  // namespace md::test
