// A page is used by one thread at a time: a call taking the whole page while
// another thread is in one on it is refused with one record naming the page,
// and the other call goes on as if it were alone, calling in again at will.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <functional>
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
#include "tests/support/oddfiles.h"

namespace {

using md::basilo::ReleasePtr;
using testing::HasSubstr;
constexpr int kSide = 5000, kDpi = 36;  // a square of paper 50 mm a side

// The owner of a rectangle on the page: once `once` is set, the next feature
// the rectangle asks it for (drawing or storing itself) runs it first.
struct GateSet : md::test::ForwardingSet {
  using ForwardingSet::ForwardingSet;
  IGIS_Feature* GetFeature(int id) override {
    if (once) std::exchange(once, nullptr)();
    return real_->GetFeature(id);
  }
  std::function<void()> once;
};

// Each whole-page call comes while another thread prints the page, which
// stores it again inside its print.
TEST(PageHoldThreads, ACallOnAPageAnotherThreadIsInIsRefusedAndTheOtherCallAsAlone) {
  const std::string dir = MD_TEST_OUTPUT_DIR "/pagehold/", stored = dir + "stored.mdfs";
  std::filesystem::create_directories(dir);
  const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, 71, 71), cairo_surface_destroy);
  const auto canvas = md::canvas::CairoCanvas::createImage(190, 190);
  HDC hdc = md::win::CreateScreenDC(canvas.get());
  CGIS_ScreenDisplay screen(hdc, 1.0, 0, kSide);
  const std::pair<const char*, std::function<BOOL(IGIS_FeatureSet*)>> calls[] = {
      {"GIS_PrintPageToFile",
       [&](auto* p) { return GIS_PrintPageToFile(p, kSide, kSide, kDpi, (dir + "second.png").c_str()); }},
      {"GIS_PrintPageToSurface",
       [&](auto* p) { return GIS_PrintPageToSurface(p, kSide, kSide, kDpi, surface.get()); }},
      {"GIS_PrintPageToDC", [&](auto* p) { return GIS_PrintPageToDC(hdc, p, kSide, kSide, nullptr, 0); }},
      {"GIS_DrawPageToDisplay", [&](auto* p) { return GIS_DrawPageToDisplay(hdc, p, &screen); }},
      {"CGIS_FeatureSet::SaveToFile", [&](auto* p) { return p->SaveToFile((dir + "second.mdfs").c_str()); }},
      {"CGIS_FeatureSet::LoadFromFile", [&](auto* p) { return p->LoadFromFile(stored.c_str()); }},
      {"CGIS_FeatureSet::LoadPageFromFile", [&](auto* p) { return p->LoadPageFromFile(stored.c_str()); }}};
  for (std::size_t i = 0; i < std::size(calls); ++i) {
    const auto& [method, call] = calls[i];
    SCOPED_TRACE(method);
    ReleasePtr<IGIS_FeatureSet> page(GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr));
    GateSet gate(page.get());
    ReleasePtr<IGIS_ElementFactory> factory(GIS_CreateGraphicElementFactoryObject());
    ReleasePtr<IGIS_Element> rect(factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT, &gate, nullptr));
    rect->SetRect(SGIS_Rect(1000, 4000, 4000, 1000));
    ASSERT_TRUE(i % 2 == 1 || page->SaveToFile(stored.c_str()));  // named by its file, or its address
    const auto print = [&](const std::string& file) {
      return GIS_PrintPageToFile(page.get(), kSide, kSide, kDpi, (dir + file).c_str());
    };
    ASSERT_TRUE(print("alone.png"));
    std::binary_semaphore in{0}, out{0};
    BOOL first = FALSE, again = FALSE;
    gate.once = [&] { in.release(), out.acquire(), again = page->SaveToFile((dir + "again.mdfs").c_str()); };
    std::jthread thread([&] { first = print("first.png"); });
    in.acquire();
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<void*>(page.get()));
    const std::string name = *page->GetFilePath() != '\0' ? page->GetFilePath() : address;
    const md::test::LogMark mark;
    EXPECT_FALSE(call(page.get()));
    const std::vector<SGIS_LogRecord> records = mark.Records();
    out.release();
    thread.join();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].method, method);
    EXPECT_THAT(records[0].text, testing::AllOf(HasSubstr(name), HasSubstr("in use on another thread")));
    EXPECT_TRUE(first && again);
    EXPECT_EQ(md::test::FileText(dir + "first.png"), md::test::FileText(dir + "alone.png"));
    EXPECT_TRUE(call(page.get()));
  }
  DeleteDC(hdc);
}

}  // namespace
