// Shared helpers of the picture element's tests: a page feature set whose
// element hooks make elements, a folder of picture files written by the
// tests, log marks, and screen and print displays on recording canvases.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/picture/cgis_pictureelement.h"
#include "platform/canvas/recording.h"
#include "platform/imaging/loader.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "tests/platform/imaging/imagefiles.h"
#include "tests/support/logmark.h"

inline void PrintTo(const SGIS_Rect& r, std::ostream* os) {
  *os << "{left " << r.left << ", top " << r.top << ", right " << r.right << ", bottom " << r.bottom << "}";
}

namespace md::test {

namespace files = md::test::imagefiles;

class PicturePage : public ::testing::Test {
 protected:
  void SetUp() override {
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    ASSERT_NE(set_, nullptr);
    reference_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set_->GetFeatureClass()->SetSpatialReference(reference_);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "picture" /
           (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    for (IGIS_Element* e : owned_) e->Release();
    if (set_ != nullptr) set_->Release();
    if (reference_ != nullptr) reference_->Release();
  }

  CGIS_PictureElement* NewPicture(IGIS_FeatureSet* owner = nullptr) {
    auto* e = new CGIS_PictureElement(owner != nullptr ? owner : set_, nullptr);
    owned_.push_back(e);
    return e;
  }
  // A picture element of the file without a frame, in the box.
  CGIS_PictureElement* PictureIn(const std::string& path, const SGIS_Rect& box) {
    CGIS_PictureElement* e = NewPicture();
    e->SetFramePropertyPtr(nullptr);
    EXPECT_TRUE(e->ImportPictureFromFile(path.c_str()));
    e->SetRect(box);
    return e;
  }
  // Writes bytes to a file of the test's folder and answers its path.
  std::string Write(const std::string& name, const files::Bytes& bytes) {
    const std::string path = (dir_ / name).string();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    files::WriteAll(path, bytes);
    return path;
  }
  // A PNG of the quadrant pattern.
  std::string Quadrants(const std::string& name, int w, int h) {
    return Write(name, files::Png(w, h, files::Opaque(w, h)));
  }
  // The "Custom" set of an element's feature.
  static std::vector<std::string> CustomKeys(IGIS_Element* e) {
    std::vector<std::string> keys;
    IGIS_PropertySet* set = GIS_CreatePropertySetObject();
    set->Archive(e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
    for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f))
      keys.push_back(f->GetLabel());
    set->Release();
    return keys;
  }
  static files::Bytes CustomBytes(IGIS_Element* e) {
    IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
    const auto* p = static_cast<const std::uint8_t*>(b->GetData());
    return p != nullptr ? files::Bytes(p, p + b->GetSize()) : files::Bytes();
  }
  static files::Bytes PictureData(IGIS_Element* e) {
    IGIS_PropertySet* set = GIS_CreatePropertySetObject();
    set->Archive(e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
    files::Bytes out;
    if (IGIS_Field* f = set->GetProperty("PictureData")) {
      IGIS_DataBuffer* b = f->GetDataBuffer();
      const auto* p = static_cast<const std::uint8_t*>(b->GetData());
      if (p != nullptr) out.assign(p, p + b->GetSize());
    }
    set->Release();
    return out;
  }
  static std::string StoredFileName(IGIS_Element* e) { return StoredString(e, "FileName"); }
  // A string key of the "Custom" set; "" when missing.
  static std::string StoredString(IGIS_Element* e, const char* key) {
    IGIS_PropertySet* set = GIS_CreatePropertySetObject();
    set->Archive(e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
    std::string out;
    if (IGIS_Field* f = set->GetProperty(key); f != nullptr && f->GetString() != nullptr)
      out = f->GetString();
    set->Release();
    return out;
  }

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* reference_ = nullptr;
  std::vector<IGIS_Element*> owned_;
  std::filesystem::path dir_;
};

// A screen display at 96 dpi over a recording canvas; the page point
// (originX, originY) is the canvas's top-left pixel.
struct ScreenOnRecording {
  explicit ScreenOnRecording(double originX = 0, double originY = 20000, int w = 800, int h = 800)
      : canvas(w, h),
        hdc(md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine())),
        display(hdc, 1.0, originX, originY) {}
  ~ScreenOnRecording() { DeleteDC(hdc); }
  std::vector<const md::canvas::Record*> Images() const {
    return canvas.recordsOf(md::canvas::Record::Type::Image);
  }
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  CGIS_ScreenDisplay display;
};

// An A4 portrait printer page at 100 dpi over a recording canvas, the page's
// point (0, 29700) at the paper's top-left corner.
struct PrinterOnRecording {
  PrinterOnRecording()
      : canvas(827, 1169),
        hdc(md::win::CreatePrinterDC(&canvas, Setup(), &md::text::FixedMetricsEngine())),
        display(hdc, 21000, 29700, SGIS_Point(0, 29700, 0)) {
    display.PrepareDC();
  }
  ~PrinterOnRecording() { DeleteDC(hdc); }
  static md::win::PrinterSetup Setup() {
    md::win::PrinterSetup s;
    s.dpiX = s.dpiY = 100;
    return s;
  }
  std::vector<const md::canvas::Record*> Images() const {
    return canvas.recordsOf(md::canvas::Record::Type::Image);
  }
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  CGIS_PrintDisplay display;
};

}  // namespace md::test
