// Shared helpers of the shape tests: a page whose feature set builds the plain
// shapes, commit records, log marks, an owner that can refuse new features,
// and printer and screen contexts on a recording canvas.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "tests/support/forwardingset.h"
#include "tests/support/logmark.h"

inline void PrintTo(const SGIS_Rect& r, std::ostream* os) {
  *os << "{left " << r.left << ", top " << r.top << ", right " << r.right << ", bottom " << r.bottom << "}";
}
inline void PrintTo(const SGIS_Point& p, std::ostream* os) {
  *os << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}

namespace md::test {

// The plain shapes for their type identifiers, anything else through the
// library's factory.
IGIS_Element* CreateShape(const char* szType, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

using Commits = std::vector<std::pair<int, int>>;  // (feature ID, flags)

std::vector<SGIS_Point> PointsOf(IGIS_Element* e);
void SetPoints(IGIS_Element* e, const std::vector<SGIS_Point>& points);

// A page: a feature set over a class of its own with a page reference; its
// CreateElement builds the plain shapes.
class ShapeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  template <class T>
  T* Make(const char* szType) {
    IGIS_Element* e = Keep(set_->CreateElement(szType));
    auto* t = dynamic_cast<T*>(e);
    EXPECT_NE(t, nullptr) << szType;
    return t;
  }
  template <class T>
  T* Keep(T* e) {
    if (e != nullptr) owned_.push_back(e);
    return e;
  }
  IGIS_FeatureClass* Class() { return set_->GetFeatureClass(); }
  Commits TakeCommits();                                       // commits recorded since the last call
  IGIS_Symbol* NewSymbol(int type, int code, COLORREF color);  // released by the fixture

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* reference_ = nullptr;
  std::vector<IGIS_Element*> owned_;
  std::vector<IGIS_Symbol*> symbols_;
  int commitMark_ = 0;
};

// An owner over a real feature set whose class refuses to make features and
// which makes and deletes no elements.
class RefusingClass : public ForwardingClass {
 public:
  using ForwardingClass::ForwardingClass;
  IGIS_Feature* CreateFeature(int, int) override { return nullptr; }
};

class RefusingFeatureSet : public ForwardingSet {
 public:
  explicit RefusingFeatureSet(IGIS_FeatureSet* real) : ForwardingSet(real), class_(real->GetFeatureClass()) {}
  IGIS_FeatureClass* GetFeatureClass() override { return &class_; }
  IGIS_Element* CreateElement(const char*) override { return nullptr; }
  BOOL DeleteElement(IGIS_Element*) override { return FALSE; }

 private:
  RefusingClass class_;
};

// A context on a recording canvas with its display: a 100 dpi printer page
// of 100 x 50 mm whose print display's paper is 60 x 30 mm with its top-left
// corner at page (0, 3000), or a 96 dpi screen of 400 x 300 pixels.
struct Page {
  static std::unique_ptr<Page> Printer();
  static std::unique_ptr<Page> Screen(double zoom, double originX, double originY);
  ~Page();
  std::vector<RECT> Clip();  // the context's clip rectangles; empty without one
  bool HasClip();
  POINT Pixel(int x, int y);  // where a page point lands, in pixels
  std::unique_ptr<md::canvas::RecordingCanvas> canvas;
  HDC hdc = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> print;
  std::unique_ptr<CGIS_ScreenDisplay> screen;
  IGIS_Display* display = nullptr;
};

}  // namespace md::test
