// A page is used by one thread at a time: a call taking the whole page while
// another thread is in one on it is refused with one record naming the page,
// and the other call goes on as if it were alone, calling in again at will.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <semaphore>
#include <string>
#include <thread>

#include "host/basilo/releaseptr.h"
#include "host/display/cgis_screendisplay.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/print/gis_pageprintdc.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/win/gdidevice.h"
#include "tests/support/forwardingset.h"
#include "tests/support/logmark.h"

namespace {

using md::basilo::ReleasePtr;
constexpr int kSide = 5000, kDpi = 36;  // a square of paper 50 mm a side

// The owner of a rectangle on the page: once armed, the first feature the
// rectangle asks it for (drawing or storing itself) runs `once` first.
struct GateSet : md::test::ForwardingSet {
  using ForwardingSet::ForwardingSet;
  IGIS_Feature* GetFeature(int id) override {
    if (std::exchange(armed, false)) once();
    return real_->GetFeature(id);
  }
  bool armed = false;
  std::function<void()> once;
};

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A whole-page call leaving what it made in the file `stem` + ending.
struct Call {
  const char* method;
  const char* ending;
  std::function<BOOL(IGIS_FeatureSet* page, const std::string& stem)> run;
};

TEST(PageHoldThreads, ACallOnAPageAnotherThreadIsInIsRefusedAndTheOtherCallAsAlone) {
  const std::string dir = MD_TEST_OUTPUT_DIR "/pagehold/";
  std::filesystem::create_directories(dir);
  const std::string stored = dir + "alone.mdfs";  // what the loads read: the page stored alone
  // The second calls' surface and screen, on this thread.
  const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, 71, 71), cairo_surface_destroy);
  const auto canvas = md::canvas::CairoCanvas::createImage(190, 190);
  HDC hdc = md::win::CreateScreenDC(canvas.get());
  CGIS_ScreenDisplay screen(hdc, 1.0, 0, kSide);
  const Call kFile{"GIS_PrintPageToFile", ".png", [](auto* p, auto& s) {
                     return GIS_PrintPageToFile(p, kSide, kSide, kDpi, (s + ".png").c_str());
                   }};
  const Call kSurface{"GIS_PrintPageToSurface", "", [&](auto* p, auto&) {
                        return GIS_PrintPageToSurface(p, kSide, kSide, kDpi, surface.get());
                      }};
  const Call kDC{"GIS_PrintPageToDC", "",
                 [&](auto* p, auto&) { return GIS_PrintPageToDC(hdc, p, kSide, kSide, nullptr, 0); }};
  const Call kDisplay{"GIS_DrawPageToDisplay", "",
                      [&](auto* p, auto&) { return GIS_DrawPageToDisplay(hdc, p, &screen); }};
  const Call kSave{"CGIS_FeatureSet::SaveToFile", ".mdfs",
                   [](auto* p, auto& s) { return p->SaveToFile((s + ".mdfs").c_str()); }};
  const Call kLoadPage{"CGIS_FeatureSet::LoadPageFromFile", "",
                       [&](auto* p, auto&) { return p->LoadPageFromFile(stored.c_str()); }};
  const Call kLoad{"CGIS_FeatureSet::LoadFromFile", "",
                   [&](auto* p, auto&) { return p->LoadFromFile(stored.c_str()); }};
  const struct {
    const Call& first;  // held by the first thread, which stores the page again inside it
    const Call& second;
  } rows[] = {{kFile, kFile}, {kFile, kSurface}, {kFile, kDC},       {kFile, kDisplay},
              {kFile, kSave}, {kSave, kLoad},    {kSave, kLoadPage}, {kSave, kFile}};
  for (const auto& [first, second] : rows) {
    SCOPED_TRACE(std::string(first.method) + " holds the page, " + second.method + " comes");
    ReleasePtr<IGIS_FeatureSet> page(GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr));
    GateSet gate(page.get());
    ReleasePtr<IGIS_ElementFactory> factory(GIS_CreateGraphicElementFactoryObject());
    ReleasePtr<IGIS_Element> rect(factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT, &gate, nullptr));
    ASSERT_TRUE(first.run(page.get(), dir + "alone"));
    std::binary_semaphore in{0}, out{0};
    BOOL firstDone = FALSE, again = FALSE;
    gate.once = [&] { in.release(), out.acquire(), again = kSave.run(page.get(), dir + "again"); };
    gate.armed = true;
    std::jthread thread([&] { firstDone = first.run(page.get(), dir + "first"); });
    in.acquire();
    char address[32];  // how a page without a file is named
    std::snprintf(address, sizeof address, "%p", static_cast<void*>(page.get()));
    const std::string name = *page->GetFilePath() != '\0' ? page->GetFilePath() : address;
    const md::test::LogMark mark;
    EXPECT_FALSE(second.run(page.get(), dir + "second"));
    const std::vector<SGIS_LogRecord> records = mark.Records();
    out.release();
    thread.join();
    EXPECT_EQ(records.size(), 1u);
    const SGIS_LogRecord record = records.empty() ? SGIS_LogRecord() : records[0];
    EXPECT_EQ(record.method, second.method);
    EXPECT_NE(record.text.find(name), std::string::npos) << record.text;
    EXPECT_NE(record.text.find("in use on another thread"), std::string::npos) << record.text;
    EXPECT_TRUE(firstDone && again);
    EXPECT_EQ(Read(dir + "first" + first.ending), Read(dir + "alone" + first.ending));
    EXPECT_TRUE(second.run(page.get(), dir + "second"));
  }
  DeleteDC(hdc);
}

}  // namespace
