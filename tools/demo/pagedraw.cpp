#include "tools/demo/pagedraw.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "layout/graphicelement/print/gis_pageprintdc.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/win/gdidevice.h"
#include "tools/demo/samplepage.h"

namespace md::demo {

namespace {

void SetError(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
}

}  // namespace

bool PrintElements(Page& page, const std::vector<IGIS_Element*>& elements, md::canvas::Canvas* canvas,
                   int dpi, md::text::TextEngine* engine, std::string* error) {
  if (canvas == nullptr || dpi < kMinDpi || dpi > md::canvas::CairoCanvas::kVectorDpi) {
    SetError(error, "no canvas or a resolution out of range");
    return false;
  }
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = dpi;
  setup.paperWidthMm = page.width() / 100.0;
  setup.paperHeightMm = page.height() / 100.0;
  HDC hdc = md::win::CreatePrinterDC(canvas, setup, engine);
  if (hdc == nullptr) {
    SetError(error, "cannot make a printer device context");
    return false;
  }
  const bool ok = GIS_PrintPageToDC(hdc, page.featureSet(), page.width(), page.height(), elements.data(),
                                    static_cast<int>(elements.size())) != FALSE;
  if (!ok) SetError(error, "an element of the page did not draw (the log names it)");
  DeleteDC(hdc);
  canvas->flush();
  return ok;
}

bool PrintPage(Page& page, md::canvas::Canvas* canvas, int dpi, md::text::TextEngine* engine,
               std::string* error) {
  return PrintElements(page, page.TopLevel(), canvas, dpi, engine, error);
}

std::unique_ptr<md::canvas::CairoCanvas> PrintRaster(Page& page, int dpi, md::text::TextEngine* engine,
                                                     std::string* error) {
  auto canvas = dpi >= kMinDpi && dpi <= kMaxDpi ? md::canvas::CairoCanvas::createPageImage(
                                                       page.width() / 100.0, page.height() / 100.0, dpi)
                                                 : nullptr;
  if (canvas == nullptr) {
    SetError(error, "cannot make a raster of the page at " + std::to_string(dpi) + " dpi");
    return nullptr;
  }
  if (!PrintPage(page, canvas.get(), dpi, engine, error)) return nullptr;
  return canvas;
}

bool PrintVector(Page& page, const std::string& path, md::text::TextEngine* engine, std::string* error) {
  using md::canvas::CairoCanvas;
  constexpr double dpi = CairoCanvas::kVectorDpi;
  const bool svg = path.size() >= 4 && path.compare(path.size() - 4, 4, ".svg") == 0;
  const double width = page.width() / 100.0;
  const double height = page.height() / 100.0;
  auto canvas = svg ? CairoCanvas::createSvg(path, width, height, dpi)
                    : CairoCanvas::createPdf(path, width, height, dpi);
  if (canvas == nullptr) {
    SetError(error, "cannot write " + path);
    return false;
  }
  if (!PrintPage(page, canvas.get(), static_cast<int>(dpi), engine, error)) return false;
  if (!canvas->finish()) {
    SetError(error, "writing " + path + " failed");
    return false;
  }
  return true;
}

}  // namespace md::demo
