// The page the label benchmarks draw on: the 1:50,000 sample sheet
// J50E001009 in a map frame of its Gauss-Kruger rectangle at true scale,
// 20 mm from the paper's edges, texts measured with the real fonts; and a
// printer context over a canvas for that paper, on which the frame has been
// drawn once so that its map view maps onto the page; and the timing of
// the texts a drawing wrote, shown again straight with cairo.
#pragma once

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "bench/gridlabel/textreplay.h"

#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "host/tilemar/igis_tilingrule.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/canvas.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace md::bench {

class SampleSheetPage {
 public:
  static constexpr int kMargin = 2000;  // page units round the frame

  SampleSheetPage() {
    GIS_SetSymbolTextEngine("freetype");
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set_->GetFeatureClass()->SetSpatialReference(page_);
    doc_ = GIS_CreateDocumentObject();
    sheet_ =
        GIS_LoadMapFile(doc_, (std::string(MD_SOURCE_DIR) + "/host/helmora/maps/sheet_50k.geojson").c_str());
    SGIS_Rect r;
    if (sheet_ == nullptr || !GIS_GetTilingRuleManagerPtr()
                                  ->GetTilingRule(GIS_TILINGRULE_NATIONAL)
                                  ->GetSheetExtent("J50E001009", sheet_->GetSpatialReference(), 1, &r)) {
      return;
    }
    set_->SetMapLayer(doc_->GetLayoutLayer());
    r.Normalize();
    const SGIS_DRect extent(r.left, r.bottom, r.right, r.top);
    frame_ = new CGIS_MapElement(set_, nullptr);
    frame_->SetRect(SGIS_Rect(kMargin, kMargin + static_cast<int>(std::lround(extent.Height() / 0.5)),
                              kMargin + static_cast<int>(std::lround(extent.Width() / 0.5)), kMargin));
    frame_->SetMapName(sheet_->GetName());
    frame_->SetMapBound(extent);
    frame_->SetScale(0.5);
  }
  ~SampleSheetPage() {
    if (frame_ != nullptr) frame_->Release();
    set_->Release();
    doc_->Release();
    page_->Release();
  }
  SampleSheetPage(const SampleSheetPage&) = delete;
  SampleSheetPage& operator=(const SampleSheetPage&) = delete;

  // NULL when the sheet could not be placed.
  CGIS_MapElement* frame() const { return frame_; }
  IGIS_Map* sheet() const { return sheet_; }
  IGIS_FeatureSet* set() const { return set_; }
  double WidthMm() const { return (frame_->GetRect().right + kMargin) / 100.0; }
  double HeightMm() const { return (frame_->GetRect().top + kMargin) / 100.0; }

 private:
  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* sheet_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
};

// A printer context on the canvas for the page's paper at the resolution,
// with its display.
struct PrintedSheet {
  PrintedSheet(const SampleSheetPage& page, md::canvas::Canvas* canvas, int dpi) {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = dpi;
    setup.paperWidthMm = page.WidthMm();
    setup.paperHeightMm = page.HeightMm();
    hdc = md::win::CreatePrinterDC(canvas, setup, &md::text::FreeTypeEngine());
    const int w = static_cast<int>(std::lround(page.WidthMm() * 100));
    const int h = static_cast<int>(std::lround(page.HeightMm() * 100));
    display = std::make_unique<CGIS_PrintDisplay>(hdc, w, h, SGIS_Point(0, h));
    display->PrepareDC();
    page.frame()->OnDraw(hdc, true, display.get());
  }
  ~PrintedSheet() {
    display.reset();
    DeleteDC(hdc);
  }
  PrintedSheet(const PrintedSheet&) = delete;
  PrintedSheet& operator=(const PrintedSheet&) = delete;

  HDC hdc = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

// Times showing the texts that `draw` writes on the page (printing) straight
// with cairo, on a raster of the page's paper at the resolution: the
// baseline of a label's drawing. Counts the texts.
inline void TimeRawTexts(benchmark::State& state, const SampleSheetPage& page, int dpi,
                         const std::function<void(HDC hdc, IGIS_Display* display)>& draw) {
  auto sizer = md::canvas::CairoCanvas::createPageImage(page.WidthMm(), page.HeightMm(), dpi);
  const int w = sizer->width(), h = sizer->height();
  sizer.reset();
  md::canvas::RecordingCanvas recording(w, h);
  {
    PrintedSheet printed(page, &recording, dpi);
    recording.clear();
    draw(printed.hdc, printed.display.get());
  }
  const TextReplay replay(recording);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  for (auto _ : state) {
    replay.Draw(cr);
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.counters["texts"] = static_cast<double>(replay.size());
}

}  // namespace md::bench
