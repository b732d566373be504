#include "tools/demo/pagedraw.h"

#include <cairo.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "layout/graphicelement/print/gis_pageprintdc.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/win/gdidevice.h"
#include "tools/demo/samplepage.h"

namespace md::demo {

namespace {

void SetError(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
}

// Runs work(first, end) over [0, count) cut into `parts` consecutive
// ranges, the first on the calling thread and the others on threads of
// their own.
void Split(int count, unsigned parts, const std::function<void(int, int)>& work) {
  parts = std::clamp(parts, 1u, static_cast<unsigned>(std::max(count, 1)));
  std::vector<std::thread> others;
  for (unsigned i = 1; i < parts; ++i)
    others.emplace_back(work, static_cast<int>(static_cast<long long>(count) * i / parts),
                        static_cast<int>(static_cast<long long>(count) * (i + 1) / parts));
  work(0, static_cast<int>(count / static_cast<long long>(parts)));
  for (std::thread& t : others) t.join();
}

}  // namespace

std::unique_ptr<md::canvas::CairoCanvas> NewPaperRaster(double widthMm, double heightMm, int dpi,
                                                        unsigned threads) {
  if (!std::isfinite(widthMm) || !std::isfinite(heightMm) || widthMm <= 0 || heightMm <= 0 || dpi < kMinDpi ||
      dpi > kMaxDpi)
    return nullptr;
  const double w = std::round(widthMm / 25.4 * dpi);
  const double h = std::round(heightMm / 25.4 * dpi);
  // The largest raster md::canvas makes.
  constexpr double kMaxSide = 32767;
  if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) return nullptr;
  const int width = static_cast<int>(w);
  const int height = static_cast<int>(h);
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
  if (stride <= 0) return nullptr;
  const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  // Not value-initialised: every byte is painted below.
  std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[bytes]);
  if (pixels == nullptr) return nullptr;
  // White paper: every channel, and the unused top byte, at 0xFF, as cairo
  // paints opaque white on this format.
  // The pages are asked for in one call a range: cheaper than a fault each.
  Split(height, threads, [&pixels, stride](int first, int end) {
    unsigned char* from = pixels.get() + static_cast<std::size_t>(first) * stride;
    const std::size_t size = static_cast<std::size_t>(end - first) * stride;
    const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t a = (reinterpret_cast<std::uintptr_t>(from) + page - 1) / page * page;
    const std::uintptr_t b = (reinterpret_cast<std::uintptr_t>(from) + size) / page * page;
    if (b > a) madvise(reinterpret_cast<void*>(a), b - a, MADV_POPULATE_WRITE);
    std::memset(from, 0xFF, size);
  });
  cairo_surface_t* surface =
      cairo_image_surface_create_for_data(pixels.get(), CAIRO_FORMAT_RGB24, width, height, stride);
  static cairo_user_data_key_t key;
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_set_user_data(surface, &key, pixels.get(), [](void* p) {
        delete[] static_cast<unsigned char*>(p);
      }) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  // The surface frees the pixels when it goes.
  pixels.release();
  auto canvas = md::canvas::CairoCanvas::createOnSurface(surface, widthMm, heightMm, dpi);
  cairo_surface_destroy(surface);  // the canvas holds its own reference
  return canvas;
}

bool SameRasters(const md::canvas::CairoCanvas& a, const md::canvas::CairoCanvas& b, unsigned threads) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  std::atomic<bool> differing{false};
  const int width = a.width();
  Split(a.height(), threads, [&](int first, int end) {
    for (int y = first; y < end && !differing.load(std::memory_order_relaxed); ++y) {
      const std::uint32_t* pa = a.pixelRow(y);
      const std::uint32_t* pb = b.pixelRow(y);
      if (pa == nullptr || pb == nullptr) {
        differing = true;
        return;
      }
      if (std::memcmp(pa, pb, static_cast<std::size_t>(width) * 4) == 0) continue;
      // The top byte of a pixel means nothing.
      std::uint32_t bits = 0;
      for (int x = 0; x < width; ++x) bits |= (pa[x] ^ pb[x]) & 0xFFFFFFu;
      if (bits != 0) differing = true;
    }
  });
  return !differing;
}

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
  const std::unique_ptr<md::canvas::CairoCanvas> canvas = DrawVector(page, path, engine, error);
  return canvas != nullptr && FinishVector(*canvas, path, error);
}

std::unique_ptr<md::canvas::CairoCanvas> DrawVector(Page& page, const std::string& path,
                                                    md::text::TextEngine* engine, std::string* error) {
  using md::canvas::CairoCanvas;
  constexpr double dpi = CairoCanvas::kVectorDpi;
  const bool svg = path.size() >= 4 && path.compare(path.size() - 4, 4, ".svg") == 0;
  const double width = page.width() / 100.0;
  const double height = page.height() / 100.0;
  auto canvas = svg ? CairoCanvas::createSvg(path, width, height, dpi)
                    : CairoCanvas::createPdf(path, width, height, dpi);
  if (canvas == nullptr) {
    SetError(error, "cannot write " + path);
    return nullptr;
  }
  if (!PrintPage(page, canvas.get(), static_cast<int>(dpi), engine, error)) return nullptr;
  return canvas;
}

bool FinishVector(md::canvas::CairoCanvas& canvas, const std::string& path, std::string* error) {
  if (!canvas.finish()) {
    SetError(error, "writing " + path + " failed");
    return false;
  }
  return true;
}

}  // namespace md::demo
