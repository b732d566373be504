// Shared helpers of the embedded-object element's tests: a page feature set
// whose element hooks make the library's elements, an installed insert
// dialog that answers a prepared choice, and objects' source files.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/cgis_pageview.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/ole/cgis_oleclientitem.h"
#include "layout/graphicelement/ole/cgis_oleelement.h"
#include "layout/graphicelement/ole/oleinsert.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/canvas/recording.h"
#include "platform/ole/clipformat.h"
#include "platform/ole/storage.h"
#include "platform/text/textengine.h"
#include "platform/ui/ui.h"
#include "platform/win/gdidevice.h"

namespace md::test {

inline constexpr int kPaperW = 12000, kPaperH = 8000;  // 0.01 mm
inline constexpr int kDpi = 100;

// A printed page on a raster: page point (x, y) is pixel
// (x / 100 / 25.4 * dpi, (paperH - y) / 100 / 25.4 * dpi).
struct PrintedPage {
  PrintedPage() : canvas(md::canvas::CairoCanvas::createPageImage(kPaperW / 100.0, kPaperH / 100.0, kDpi)) {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = kDpi;
    setup.paperWidthMm = kPaperW / 100.0;
    setup.paperHeightMm = kPaperH / 100.0;
    hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
    display = std::make_unique<CGIS_PrintDisplay>(hdc, kPaperW, kPaperH, SGIS_Point(0, kPaperH, 0));
  }
  md::canvas::Raster Pixels() {
    display.reset();
    DeleteDC(hdc);
    hdc = nullptr;
    return md::canvas::ReadRaster(*canvas);
  }
  static int X(int pageX) { return static_cast<int>(pageX / 2540.0 * kDpi); }
  static int Y(int pageY) { return static_cast<int>((kPaperH - pageY) / 2540.0 * kDpi); }

  std::unique_ptr<md::canvas::CairoCanvas> canvas;
  HDC hdc = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

inline bool IsRed(std::uint32_t p) {
  return (p >> 16 & 0xFF) > 0xC0 && (p >> 8 & 0xFF) < 0x40 && (p & 0xFF) < 0x40;
}
inline bool IsGreen(std::uint32_t p) {
  return (p >> 16 & 0xFF) < 0x40 && (p >> 8 & 0xFF) > 0xC0 && (p & 0xFF) < 0x40;
}

// A PNG file of w x h pixels: red left half, green right half (swapped:
// green left, red right).
inline std::string WritePng(const std::string& name, int w, int h, bool bSwapped = false) {
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/" + name;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, bSwapped ? 0 : 1, bSwapped ? 1 : 0, 0);
  cairo_rectangle(cr, 0, 0, w / 2.0, h);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, bSwapped ? 1 : 0, bSwapped ? 0 : 1, 0);
  cairo_rectangle(cr, w / 2.0, 0, w / 2.0, h);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_write_to_png(s, path.c_str());
  cairo_surface_destroy(s);
  return path;
}

inline std::string WriteText(const std::string& name, const std::string& text) {
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// A second of the source clock (nanoseconds).
inline constexpr std::int64_t kSecond = 1000000000;

// Changes a source to "second": rewritten "in place" (its inode kept), or
// "renamed" into place as an editor's save does (a new inode); or "removed".
inline void ChangeSource(const std::string& path, const std::string& how) {
  const std::string written = how == "renamed" ? path + ".new" : path;
  if (how == "in place" || how == "renamed") std::ofstream(written) << "second";
  if (how == "renamed") std::rename(written.c_str(), path.c_str());
  if (how == "removed") std::remove(path.c_str());
}

// What the element's object shows, as text.
inline std::string ObjectText(CGIS_OleElement* e) {
  const std::vector<std::uint8_t> bytes = e->GetClientItem()->GetObject()->Content();
  return std::string(bytes.begin(), bytes.end());
}

class OlePage : public ::testing::Test {
 protected:
  void SetUp() override {
    md::layout::InstallElementHooks();
    set_ = NewSet();
    previous_ = md::layout::SetInsertObjectDialog([this](md::layout::SGIS_OleInsertChoice* c) {
      ++dialogRuns_;
      if (!confirm_) return false;
      *c = choice_;
      return true;
    });
  }
  void TearDown() override {
    for (IGIS_Element* e : owned_) e->Release();
    for (IGIS_FeatureSet* s : sets_) s->Release();
    for (IGIS_SpatialReference* r : references_) r->Release();
    md::layout::SetInsertObjectDialog(previous_);
  }

  IGIS_FeatureSet* NewSet() {
    IGIS_FeatureSet* s = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    EXPECT_NE(s, nullptr);
    IGIS_SpatialReference* r = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    s->GetFeatureClass()->SetSpatialReference(r);
    sets_.push_back(s);
    references_.push_back(r);
    return s;
  }

  CGIS_OleElement* NewOle(IGIS_FeatureSet* set = nullptr, IGIS_Feature* feature = nullptr) {
    auto* e = new CGIS_OleElement(set != nullptr ? set : set_, feature);
    owned_.push_back(e);
    return e;
  }

  // An element holding an object inserted through the dialog, at the rectangle.
  CGIS_OleElement* Inserted(const md::layout::SGIS_OleInsertChoice& choice, SGIS_Rect rect) {
    CGIS_OleElement* e = NewOle();
    e->SetLock(false);
    choice_ = choice;
    EXPECT_TRUE(e->InsertObject(nullptr));
    e->GetFeaturePtr()->GetGeometry()->SetRect(rect, 0);
    return e;
  }

  static md::layout::SGIS_OleInsertChoice NewOf(const char* progId) {
    md::layout::SGIS_OleInsertChoice c;
    c.progId = progId;
    return c;
  }
  static md::layout::SGIS_OleInsertChoice FileOf(const std::string& path) {
    md::layout::SGIS_OleInsertChoice c;
    c.nSelection = md::layout::SGIS_OleInsertChoice::fromFile;
    c.path = path;
    return c;
  }

  static md::layout::SGIS_OleInsertChoice LinkOf(const std::string& path) {
    md::layout::SGIS_OleInsertChoice c;
    c.nSelection = md::layout::SGIS_OleInsertChoice::linkToFile;
    c.path = path;
    return c;
  }
  // The element read back from its feature by a fresh element.
  CGIS_OleElement* Reread(CGIS_OleElement* e) {
    CGIS_OleElement* back = NewOle(set_, e->GetFeaturePtr());
    EXPECT_TRUE(back->Archive(1, 0));
    return back;
  }
  // The element of the feature ID read by a fresh element from the page
  // file, loaded into a fresh feature set.
  CGIS_OleElement* ReadFromFile(const std::string& page, int id) {
    IGIS_FeatureSet* fresh = NewSet();
    EXPECT_TRUE(fresh->LoadFromFile(page.c_str()));
    CGIS_OleElement* back = NewOle(fresh, fresh->GetFeature(id));
    EXPECT_TRUE(back->Archive(1, 0));
    return back;
  }
  // The object's storage as stored.
  md::ole::Storage StoredStorage(IGIS_Element* e) {
    const std::vector<std::uint8_t> bytes = StoredObject(e);
    md::ole::Storage s;
    EXPECT_TRUE(md::ole::ReadCompoundFile(bytes.data(), bytes.size(), &s, nullptr));
    return s;
  }

  // The "Custom" set of an element's feature.
  md::basilo::ReleasePtr<IGIS_PropertySet> Custom(IGIS_Element* e) {
    md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
    set->Archive(e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
    return set;
  }
  std::vector<std::uint8_t> Bytes(IGIS_DataBuffer* b) {
    return b == nullptr ? std::vector<std::uint8_t>()
                        : std::vector<std::uint8_t>(b->GetData(), b->GetData() + b->GetSize());
  }
  std::vector<std::uint8_t> StoredObject(IGIS_Element* e) {
    return Bytes(Custom(e)->GetProperty("OLEDATA")->GetDataBuffer());
  }
  // Puts the bytes in place of the element's stored object.
  void StoreObject(IGIS_Element* e, const std::vector<std::uint8_t>& bytes) {
    auto custom = Custom(e);
    IGIS_DataBuffer* b = custom->GetProperty("OLEDATA")->GetDataBuffer();
    b->SetSize(static_cast<int>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), b->GetData());
    custom->Archive(e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"), GIS_ARCHIVE_WRITE, 0);
  }
  std::vector<std::uint8_t> StoredCustom(IGIS_Element* e) {
    return Bytes(e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"));
  }

  IGIS_FeatureSet* set_ = nullptr;
  std::vector<IGIS_FeatureSet*> sets_;
  std::vector<IGIS_SpatialReference*> references_;
  std::vector<IGIS_Element*> owned_;
  md::layout::InsertObjectDialog previous_;
  md::layout::SGIS_OleInsertChoice choice_;
  bool confirm_ = true;
  int dialogRuns_ = 0;
};

// A page on a screen display whose view counts its redraws, for the
// dialogs played by the scripted user (no impossible action may be left).
class OleScreenPage : public OlePage {
 protected:
  OleScreenPage()
      : canvas_(800, 600),
        hdc_(md::win::CreateScreenDC(&canvas_, 72, &md::text::FixedMetricsEngine())),
        display_(hdc_, 1.0, 0, 20000) {}
  ~OleScreenPage() override { DeleteDC(hdc_); }
  void SetUp() override {
    OlePage::SetUp();
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    OlePage::TearDown();
  }
  int Redraws() { return dynamic_cast<CGIS_PageView*>(display_.GetView())->GetRedrawCount(); }

  md::canvas::RecordingCanvas canvas_;
  HDC hdc_;
  CGIS_ScreenDisplay display_;
};

}  // namespace md::test
