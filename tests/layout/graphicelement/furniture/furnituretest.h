// Shared pieces of the furniture elements' tests: a layout page (0.01 mm,
// ten page units per symbol unit, fixed-metrics text), a document map that
// a map frame can show and turn, a screen display over a recording canvas,
// and readers of the stored "Custom" set.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/support/logmark.h"

inline void PrintTo(const SGIS_Rect& r, std::ostream* os) {
  *os << "{left " << r.left << ", right " << r.right << ", top " << r.top << ", bottom " << r.bottom << "}";
}
inline void PrintTo(const SGIS_Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace md::test {

using SymbolPtr = md::basilo::ReleasePtr<IGIS_Symbol>;
using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

// Page units per symbol unit on the test page.
constexpr double kUnitRatio = 10.0;

inline SymbolPtr NewSymbol(int type, int code = 0) {
  SymbolPtr s(GIS_GetSymbolFactoryObject()->CreateSymbol(type));
  if (code != 0) s->SetCode(code);
  return s;
}

inline SymbolPtr TextSymbol(int height) {
  SymbolPtr s = NewSymbol(GIS_SYMBOL_TEXT);
  s->GetFontSizePtr()->lfHeight = height;
  return s;
}

// A screen display at 254 dpi over a recording canvas (1 pixel = 0.1 mm):
// the page point (0, 20000) is the canvas's top-left pixel.
struct Screen {
  explicit Screen(int w = 2000, int h = 2000)
      : canvas(w, h),
        hdc(md::win::CreateScreenDC(&canvas, 254, &md::text::FixedMetricsEngine())),
        display(hdc, 1.0, 0.0, 20000.0) {}
  ~Screen() { DeleteDC(hdc); }
  // A page point in device pixels.
  SGIS_DPoint Device(double x, double y) {
    return display.GetView()->PageToDevicePoint(SGIS_DPoint(x, y, 0), nullptr);
  }
  std::vector<const md::canvas::TextRun*> Runs() const {
    std::vector<const md::canvas::TextRun*> out;
    for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Text))
      out.push_back(&r->text);
    return out;
  }
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  CGIS_ScreenDisplay display;
};

class FurniturePage : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // An element of the type on a new feature, released by the fixture.
  template <class T>
  T* New() {
    auto* e = new T(set_, nullptr);
    owned_.push_back(e);
    return e;
  }
  // An element of the type bound to the feature of another, as the host
  // makes it when it reads a page; released by the fixture.
  template <class T>
  T* Bound(IGIS_Element* stored) {
    auto* e = new T(set_, set_->GetFeature(stored->GetID()));
    owned_.push_back(e);
    return e;
  }
  // A map frame showing the test map, over the page rectangle.
  CGIS_MapElement* NewFrame();
  // Ends an element the fixture made before the fixture ends.
  void Drop(IGIS_Element* e);
  // The "Custom" set stored in an element's feature.
  PropertySetPtr CustomOf(IGIS_Element* e);
  // The stored bytes of an element's "Custom" buffer.
  std::vector<unsigned char> CustomBytes(IGIS_Element* e);
  // Turns the test map and tells its frame.
  void Turn(CGIS_MapElement* frame, double degrees);

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* map_ = nullptr;
  std::vector<IGIS_Element*> owned_;
};

}  // namespace md::test
