// Shared pieces of the three-north diagram's tests: a layout page whose
// symbols measure in page units (ratio 1) with the fixed-metrics engine, so
// that a text symbol of height h makes "真" h wide and "2" h high; diagrams
// made through the page's element hooks. Symbols and printing helpers come from furnituretest.h.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/furniture/cgis_threenorthelement.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"
#include "tests/support/logmark.h"

namespace md::test {

class ThreeNorthPage : public ::testing::Test {
 protected:
  void SetUp() override {
    GIS_SetSymbolTextEngine("fixed");
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    ASSERT_NE(set_, nullptr);
    ASSERT_TRUE(set_->SetUnitRatio(1.0));
    reference_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set_->GetFeatureClass()->SetSpatialReference(reference_);
  }
  void TearDown() override {
    if (set_ != nullptr) set_->Release();
    if (reference_ != nullptr) reference_->Release();
    GIS_SetSymbolTextEngine("freetype");
  }

  // A diagram made through the page, its fonts 100 units high (so that the
  // rings are 50 + 600 and 650 + 200), refreshed with its left-bottom corner
  // at the origin; the page ends it.
  CGIS_ThreeNorthElement* NewDiagram(double c = -10.0, double m = 30.0, int fontHeight = 100) {
    auto* e = dynamic_cast<CGIS_ThreeNorthElement*>(set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH));
    EXPECT_NE(e, nullptr);
    if (e == nullptr) return nullptr;
    e->SetAxisTextSymbolPtr(TextSymbol(fontHeight).get());
    e->SetAngleTextSymbolPtr(TextSymbol(fontHeight).get());
    e->SetCoordinateAngle(c);
    e->SetMagnetAngle(m);
    e->Refresh();
    return e;
  }

  // The "Custom" set of an element's feature.
  PropertySetPtr CustomOf(IGIS_Element* e) {
    PropertySetPtr set(GIS_CreatePropertySetObject());
    IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
    if (b != nullptr) set->Archive(b, GIS_ARCHIVE_READ, 0);
    return set;
  }
  // Replaces the "Custom" set stored in an element's feature.
  void StoreCustom(IGIS_Element* e, IGIS_PropertySet* set) {
    md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
    set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
    e->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", b.get(), 0);
  }
  // The bytes of an element's stored form: "Custom", the common fields and the geometry.
  std::vector<unsigned char> StoredForm(IGIS_Element* e) {
    std::vector<unsigned char> out;
    IGIS_Feature* f = e->GetFeaturePtr();
    IGIS_FeatureAttributes* a = f->GetAttributes();
    if (IGIS_DataBuffer* b = a->GetDataBuffer("Custom"))
      out.assign(b->GetData(), b->GetData() + b->GetSize());
    out.push_back(a->GetBool("IsLock"));
    out.push_back(a->GetBool("KeepHVScaleRatio"));
    const int order = a->GetInt("ElementOrder");
    out.insert(out.end(), reinterpret_cast<const unsigned char*>(&order),
               reinterpret_cast<const unsigned char*>(&order) + sizeof order);
    IGIS_Geometry* g = f->GetGeometry();
    for (int i = 0; i < g->GetPointCount(); ++i) {
      const SGIS_Point p = g->GetPoint(i, 0);
      out.insert(out.end(), reinterpret_cast<const unsigned char*>(&p),
                 reinterpret_cast<const unsigned char*>(&p) + sizeof p);
    }
    return out;
  }

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* reference_ = nullptr;
};

inline md::win::PrinterSetup PaperOf(int paperW, int paperH, int dpi) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = dpi;
  setup.paperWidthMm = paperW / 100.0;
  setup.paperHeightMm = paperH / 100.0;
  return setup;
}

// Where each text of an arrangement belongs: the sector (from, to, in
// display spacings clockwise from the true meridian) and the ring it stands
// outside of, for the convergence, the declination and their difference.
struct TextPlace {
  int from, to;
  bool inner;
};
struct PlaceRow {
  const char* name;
  double c, m;
  TextPlace texts[3];
};
inline const PlaceRow kPlaces[] = {
    {"Z+", -10, 30, {{-1, 0, false}, {0, 1, false}, {0, 1, true}}},
    {"Z-", 3, 0, {{0, 1, false}, {-1, 0, false}, {0, 1, true}}},
    {"A", 5, 5, {{0, 1, false}, {1, 2, true}, {1, 2, false}}},
    {"B", 7, 5, {{1, 2, true}, {0, 1, false}, {1, 2, false}}},
    {"C", -7, -5, {{-1, 0, true}, {-1, 0, false}, {-2, -1, false}}},
    {"D", -5, -5, {{-1, 0, false}, {-1, 0, true}, {-2, -1, false}}},
};

// The characters of a UTF-8 text, each of which the drawer lays on its own.
inline std::size_t CharacterCount(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](unsigned char c) { return (c & 0xC0) != 0x80; }));
}

// A printer of 300 x 200 mm at 254 dpi (1 pixel = 0.1 mm) over a recording
// canvas, its view clipping to the paper.
struct RecordingPrinter {
  explicit RecordingPrinter(md::text::TextEngine* engine = &md::text::FixedMetricsEngine())
      : canvas(3000, 2000) {
    hdc = md::win::CreatePrinterDC(&canvas, PaperOf(30000, 20000, 254), engine);
    display = std::make_unique<CGIS_PrintDisplay>(hdc, 30000, 20000, SGIS_Point(0, 20000, 0));
    display->PrepareDC();
  }
  ~RecordingPrinter() { DeleteDC(hdc); }
  // Page to device pixels: through the view to logical units, then the
  // context's mapping.
  SGIS_Point Device(SGIS_Point p) {
    const SGIS_Point l = display->GetView()->PageToDevicePoint(p, nullptr);
    POINT d{l.x, l.y};
    LPtoDP(hdc, &d, 1);
    return SGIS_Point(d.x, d.y, 0);
  }
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

}  // namespace md::test
