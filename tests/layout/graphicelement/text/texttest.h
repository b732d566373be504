// Shared helpers of the text element's tests: a page feature set whose
// element hooks make text elements, log marks, text symbols, and a screen
// display on a recording canvas at 72 dpi with the fixed-metrics engine, so
// that one point of a text symbol is one device pixel (em = |lfHeight|,
// ASCII advance 0.5 em, other characters 1 em, ascent 0.8 em, descent
// 0.2 em).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/text/cgis_textelement.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "tests/support/logmark.h"

inline void PrintTo(const SGIS_Rect& r, std::ostream* os) {
  *os << "{left " << r.left << ", top " << r.top << ", right " << r.right << ", bottom " << r.bottom << "}";
}
inline void PrintTo(const SGIS_Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace md::test {

using SymbolPtr = md::basilo::ReleasePtr<IGIS_Symbol>;

// A text symbol of the height (points) and angle (degrees).
inline SymbolPtr TextSymbol(int height, double angle = 0.0) {
  SymbolPtr s(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  s->GetFontSizePtr()->lfHeight = -height;
  s->SetAngle(angle);
  return s;
}

// A page of 0.01 mm units whose symbols measure in points.
class TextPage : public ::testing::Test {
 protected:
  void SetUp() override {
    GIS_SetSymbolTextEngine("fixed");
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    ASSERT_NE(set_, nullptr);
    // Page units per symbol unit: 1 unless a test asks for points.
    ASSERT_TRUE(set_->SetUnitRatio(1.0));
    reference_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set_->GetFeatureClass()->SetSpatialReference(reference_);
  }
  void TearDown() override {
    for (IGIS_Element* e : owned_) e->Release();
    if (set_ != nullptr) set_->Release();
    if (reference_ != nullptr) reference_->Release();
    md::layout::InstallElementHooks();
    GIS_SetSymbolTextEngine("freetype");
  }

  // A text element on a new feature, released by the fixture.
  CGIS_TextElement* NewText(const char* text = nullptr, int height = 0, double angle = 0.0) {
    auto* e = new CGIS_TextElement(set_, nullptr);
    owned_.push_back(e);
    if (height > 0) e->SetSymbolPtr(TextSymbol(height, angle).get());
    if (text != nullptr) e->SetText(text);
    return e;
  }
  void UsePointUnits() { set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO); }

  // The outline ring of an element's feature.
  std::vector<SGIS_Point> Outline(IGIS_Element* e) {
    std::vector<SGIS_Point> out;
    IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
    for (int i = 0; i < g->GetPointCount(); ++i) out.push_back(g->GetPoint(i, 0));
    return out;
  }

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* reference_ = nullptr;
  std::vector<IGIS_Element*> owned_;
};

// A screen display at 72 dpi over a recording canvas; the page point
// (originX, originY) is the canvas's top-left pixel.
struct ScreenOnRecording {
  explicit ScreenOnRecording(double originX = 0, double originY = 20000, int w = 800, int h = 600)
      : canvas(w, h),
        hdc(md::win::CreateScreenDC(&canvas, 72, &md::text::FixedMetricsEngine())),
        display(hdc, 1.0, originX, originY) {}
  ~ScreenOnRecording() { DeleteDC(hdc); }
  std::vector<const md::canvas::TextRun*> Runs() const {
    std::vector<const md::canvas::TextRun*> out;
    for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Text))
      out.push_back(&r->text);
    return out;
  }
  // Page to device pixels, as doubles.
  SGIS_DPoint Device(SGIS_Point p) {
    return display.GetView()->PageToDevicePoint(SGIS_DPoint(p.x, p.y, 0), nullptr);
  }

  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  CGIS_ScreenDisplay display;
};

}  // namespace md::test
