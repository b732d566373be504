// Shared pieces of the scale-bar tests: a page whose feature set builds the
// library's elements, a map frame stand-in showing a host map at a set scale,
// a scale line on the one-line branch, log marks, stored-form helpers, and a
// print display on a recording canvas.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/scalebar/cgis_alternatingscalebar.h"
#include "layout/graphicelement/scalebar/cgis_scalelinebase.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "platform/canvas/recording.h"
#include "tests/support/forwardingset.h"
#include "tests/support/logmark.h"
#include "tests/support/referencemap.h"

inline void PrintTo(const SGIS_Rect& r, std::ostream* os) {
  *os << "{left " << r.left << ", top " << r.top << ", right " << r.right << ", bottom " << r.bottom << "}";
}

namespace md::test {

// A host map in a reference without a known unit (kind 0), which the host's
// documents do not make.
class NoUnitMap : public ReferenceMap {
 public:
  NoUnitMap() : ReferenceMap(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0), "无单位") {}
};

// A map frame for the bars to follow: a rectangle in its feature, a host map
// (or none), a scale and a map bound set by the test, and a subject.
class FrameStandIn : public CGIS_ElementImpl<IGIS_MapElement> {
 public:
  FrameStandIn(IGIS_FeatureSet* pOwner, SGIS_Rect rect);

  // Sends the scale-change message to the followers.
  void ChangeScale(double dScale);

  const char* GetType() override { return GIS_TYPE_GRAPHIC_ELEMENT_MAP; }
  BOOL OnDraw(HDC, bool, IGIS_Display*) override { return TRUE; }
  BOOL OnOpenPropertyDlg(IGIS_Display*, BOOL) override { return FALSE; }
  bool CanConvert() override { return false; }
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override { return nullptr; }
  void SetWidthAndHeight(int, int) override {}
  void OffsetAllPoints(int, int) override {}
  void ScaleShape(SGIS_Point, double, double) override {}
  void SetLBpoint(SGIS_Point) override {}
  IGIS_Element* Clone() override { return nullptr; }

  SGIS_DRect* GetMapBound(SGIS_DRect* pBound) override {
    if (pBound != nullptr) *pBound = bound;
    return pBound;
  }
  void SetMapBound(SGIS_DRect b) override { bound = b; }
  void SetMap(IGIS_Map* pMap) override { map = pMap; }
  IGIS_Map* GetMap() override { return map; }
  double GetScale() override { return map != nullptr ? scale : 0.0; }
  void SetScale(double d) override { scale = d; }
  void SetExtentType(int) override {}
  int GetExtentType() override { return 0; }
  IGIS_FrameProperty* GetFramePropertyPtr() override { return nullptr; }
  bool SetFramePropertyPtr(IGIS_FrameProperty*) override { return false; }
  IGIS_MainObject* GetMainObject() override { return nullptr; }
  bool CanGoPreviousExtent() override { return false; }
  bool CanGoNextExtent() override { return false; }
  bool GoPreviousExtent() override { return false; }
  bool GoNextExtent() override { return false; }
  bool FullExtent() override { return false; }
  IGIS_MapGrids* GetMapGrids() override { return nullptr; }
  IGIS_GeoPolygon* GetClipPolygonPtr() override { return nullptr; }
  void SetClipPolygonPtr(IGIS_GeoPolygon*) override {}
  double GetRotateAngle() override { return 0.0; }
  void SetRotateAngle(double) override {}
  void SetMapName(const char*) override {}
  const char* GetMapName() override { return ""; }
  IGIS_MapBorder* GetInnerMapBorder() override { return nullptr; }
  void SetInnerMapBorder(IGIS_MapBorder*) override {}
  IGIS_MapBorder* GetOuterMapBorder() override { return nullptr; }
  void SetOuterMapBorder(IGIS_MapBorder*) override {}
  bool GetDisableAutoControlVectorSubLayer() override { return false; }
  void SetDisableAutoControlVectorSubLayer(bool) override {}
  bool GetScaleSymbolsWithMap() override { return true; }
  void SetScaleSymbolsWithMap(bool) override {}

  void Update(const char*, int, IGIS_Element*) override {}
  BOOL Attach(IGIS_Observer* o, int option) override { return subject->Attach(o, option); }
  BOOL Detach(IGIS_Observer* o, int option) override { return subject->Detach(o, option); }
  void DetachAll() override { subject->DetachAll(); }
  void Notify(const char* m, int a, IGIS_Element* s) override { subject->Notify(m, a, s); }

  IGIS_Map* map = nullptr;
  double scale = 0.0;
  SGIS_DRect bound;
  IGIS_Subject* subject;

 protected:
  ~FrameStandIn() override { GIS_ReleaseSubjectObject(subject); }
};

// A bar on the one-line branch, for what the branch adds.
class TestScaleLine : public CGIS_ScaleLineBase {
 public:
  TestScaleLine(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
      : CGIS_ScaleLineBase(pOwner, pFeature, "TEST_SCALELINE") {}
  const char* GetType() override { return "TEST_SCALELINE"; }
  IGIS_Element* Clone() override { return nullptr; }
};

// An owner that makes at most `rects` rectangle elements.
class RectLimitedSet : public ForwardingSet {
 public:
  RectLimitedSet(IGIS_FeatureSet* real, int rects) : ForwardingSet(real), rects_(rects) {}
  IGIS_Element* CreateElement(const char* t) override {
    if (std::string(t) == GIS_TYPE_GRAPHIC_ELEMENT_RECT && rects_-- <= 0) return nullptr;
    return real_->CreateElement(t);
  }

 private:
  int rects_;
};

using SymbolPtr = md::basilo::ReleasePtr<IGIS_Symbol>;

SymbolPtr NewSymbol(int type, COLORREF color);
SymbolPtr TextSymbol(int height);

// The stored bytes of a symbol; empty for NULL.
std::vector<BYTE> Bytes(IGIS_Symbol* s);

// Gives the field the value of another field of the same type.
void CopyValue(IGIS_Field* from, IGIS_Field* to);

// The property set stored in a feature's "Custom" buffer (owned by the caller).
IGIS_PropertySet* StoredCustom(IGIS_Element* e);
// Keys of a set in stored order, with their descriptions.
std::vector<std::pair<std::string, std::string>> KeysOf(IGIS_PropertySet* set);
// Replaces the feature's "Custom" buffer by the set.
void StoreCustom(IGIS_Element* e, IGIS_PropertySet* set);
// A new set (owned by the caller) with the fields of the given one but those
// of the keys, as stored forms written before a key existed.
IGIS_PropertySet* SetWithout(IGIS_PropertySet* set, const std::vector<std::string>& keys);

// The stored bytes of an element's "Custom" set.
std::vector<BYTE> CustomBytes(IGIS_Element* e);

// A page of 0.01 mm units whose text symbols measure one page unit per
// symbol unit with the fixed-metrics engine, so text extents are exact
// (ASCII advance 0.5 em, em = text height).
class ScaleBarTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  CGIS_AlternatingScaleBar* NewBar();
  // A new bar of the class in the page, kept by the fixture.
  template <class T>
  T* NewBarOf() {
    auto* bar = new T(set_, nullptr);
    owned_.push_back(bar);
    return bar;
  }
  // A bar bound to a frame showing a map in metres at 1:denominator (page
  // units of 0.01 mm), with a division of `metres` and no frame property.
  template <class T>
  T* BarAtScale(double denominator, double metres) {
    FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, denominator * 1e-5);
    T* bar = NewBarOf<T>();
    bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 3000, 2000, 2000), 0);
    bar->SetFrameProperty(nullptr);
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetUnits(0);
    bar->SetMapElement(frame);
    bar->SetDivision(metres);
    bar->Refresh();
    return bar;
  }
  // A frame stand-in at the rectangle, showing a map in the reference made
  // with the sferon code (-1: no map; 0: a map without unit).
  FrameStandIn* NewFrame(SGIS_Rect rect, int referenceCode, double scale);
  // Releases an element the fixture keeps, before the fixture would.
  void ReleaseKept(IGIS_Element* e);

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* document_ = nullptr;
  NoUnitMap noUnitMap_;
  std::vector<IGIS_Element*> owned_;
};

// A printer context on a recording canvas with a print display at 100 dpi;
// its paper is 200 x 100 mm with the page's (0, 10000) at the top-left.
struct PrintPage {
  PrintPage();
  ~PrintPage();
  POINT Pixel(int x, int y);  // device pixel of a page point
  std::unique_ptr<md::canvas::RecordingCanvas> canvas;
  HDC hdc = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

}  // namespace md::test
