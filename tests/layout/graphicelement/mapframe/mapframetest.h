// Shared pieces of the map frame's tests: a layout page whose feature set
// shows a layer of a host document, a map of that document in a
// Gauss-Kruger reference with one water area and one road, test borders and
// grids that keep a journal, message probes, log marks and displays.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_geopointlist.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/support/logmark.h"
#include "tests/support/mapgriddouble.h"

inline void PrintTo(const SGIS_Rect& r, std::ostream* os) {
  *os << "{left " << r.left << ", right " << r.right << ", top " << r.top << ", bottom " << r.bottom << "}";
}
inline void PrintTo(const SGIS_DRect& r, std::ostream* os) {
  *os << "{x1 " << r.x1 << ", x2 " << r.x2 << ", y1 " << r.y1 << ", y2 " << r.y2 << "}";
}

namespace md::test {

// What the test borders and grids did, in order.
struct Journal {
  std::vector<std::string> events;
  void Add(const std::string& e) { events.push_back(e); }
};

// A border of kind 77 that draws nothing but its journal entry, stores its name and
// converts into a compound of the frame's owner (or into nothing).
class TestBorder final : public IGIS_MapBorder {
 public:
  TestBorder(Journal* j, std::string name, bool converts = true)
      : j_(j), name_(std::move(name)), converts_(converts) {}
  void Release() override {
    j_->Add("release border " + name_);
    delete this;
  }
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer*) override { return true; }
  IGIS_MapBorder* Clone() override {
    auto* b = new TestBorder(j_, stored_, converts_);
    b->name_ = name_ + "'";
    return b;
  }
  bool OnDraw(HDC, bool bPrint, IGIS_Display*, SGIS_Rect rect, IGIS_SpatialReference*) override {
    j_->Add("draw border " + name_ + (bPrint ? " print" : " screen") + " " + std::to_string(rect.left));
    return true;
  }
  IGIS_Element* ConvertToElement(IGIS_Element* pMapElement) override;
  int GetLeftOffset() override { return 0; }
  void SetLeftOffset(int) override {}
  int GetRightOffset() override { return 0; }
  void SetRightOffset(int) override {}
  int GetBottomOffset() override { return 0; }
  void SetBottomOffset(int) override {}
  int GetTopOffset() override { return 0; }
  void SetTopOffset(int) override {}
  // A kind no factory row builds, so a frame reading it keeps it as stored.
  int GetType() override { return 77; }
  int GetBorderWidth() override { return 200; }
  void SetBorderWidth(int) override {}
  SGIS_Rect GetOuterRect(SGIS_Rect r) override { return r; }
  const char* GetName() override { return name_.c_str(); }
  void SetName(const char* s) override { name_ = s != nullptr ? s : ""; }

 private:
  ~TestBorder() override = default;
  Journal* j_;
  std::string name_;
  std::string stored_;
  bool converts_;
};

// A grid of kind 77 (no class of the library) with a journal.
class TestGrid final : public md::test::MapGridDouble<> {
 public:
  TestGrid(Journal* j, std::string name, bool converts = true)
      : MapGridDouble(77, std::move(name)), j_(j), converts_(converts) {}
  void Release() override {
    j_->Add("release grid " + name_);
    delete this;
  }
  IGIS_MapGrid* Clone() override {
    auto* g = new TestGrid(j_, name_, converts_);
    g->frame_ = frame_;
    return g;
  }
  bool OnDraw(HDC, bool, IGIS_Display*) override {
    j_->Add("draw grid " + name_);
    return true;
  }
  IGIS_Element* ConvertToElement() override;

 private:
  ~TestGrid() override = default;
  Journal* j_;
  bool converts_;
};

// Hears the frame's messages.
class Probe final : public IGIS_Observer {
 public:
  struct Heard {
    std::string message;
    int argument;
    IGIS_Element* sender;
  };
  void Update(const char* message, int argument, IGIS_Element* sender) override {
    heard.push_back({message != nullptr ? message : "", argument, sender});
    if (onUpdate) onUpdate(heard.back());
  }
  int Count(const std::string& message) const {
    int n = 0;
    for (const Heard& h : heard) n += h.message == message;
    return n;
  }
  std::vector<Heard> heard;
  std::function<void(const Heard&)> onUpdate;
};

// The map's reference: CGCS2000 3-degree Gauss-Kruger, central meridian
// 117 degrees east, metres, no zone prefix.
inline IGIS_SpatialReference* NewGaussKruger() {
  return GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE);
}

// The water area of the test map, in map metres.
constexpr double kWaterX1 = 421000, kWaterX2 = 429000, kWaterY1 = 4411000, kWaterY2 = 4419000;

// A layout page: a feature set (0.01 mm, page reference without a
// coordinate system) that shows the layout layer of a document holding the
// map "测试地图".
class MapFramePage : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A frame on a new feature, released by the fixture; sized to rect when
  // rect is not empty.
  CGIS_MapElement* NewFrame(SGIS_Rect rect = SGIS_Rect(1000, 9000, 11000, 4000));
  // Ends a frame the fixture made before the fixture ends.
  void ReleaseFrame(CGIS_MapElement* frame);
  // The "Custom" set of an element's feature (caller releases).
  IGIS_PropertySet* CustomOf(IGIS_Element* e);

  // The journal of the test borders and grids; it outlives the frames.
  Journal journal_;
  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* map_ = nullptr;
  std::vector<CGIS_MapElement*> frames_;
};

// A screen display at 254 dpi over a recording canvas (1 pixel = 0.1 mm):
// the page point (0, 20000) is the canvas's top-left pixel.
struct Screen {
  explicit Screen(int w = 2000, int h = 2000)
      : canvas(w, h),
        hdc(md::win::CreateScreenDC(&canvas, 254, &md::text::FixedMetricsEngine())),
        display(hdc, 1.0, 0.0, 20000.0) {}
  ~Screen() { DeleteDC(hdc); }
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  CGIS_ScreenDisplay display;
};

// A printer page of 300 x 200 mm at 254 dpi whose paper's top-left corner
// is the page point (0, 20000).
struct Printer {
  Printer();
  ~Printer() { DeleteDC(hdc); }
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

}  // namespace md::test
