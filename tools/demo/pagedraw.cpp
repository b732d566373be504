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
#include <memory>
#include <new>
#include <thread>

#include "layout/graphicelement/print/gis_pageprintdc.h"
#include "platform/canvas/banding.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/pngencode.h"
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

namespace {

// The same pixels in two rows (the top byte of a pixel means nothing).
bool SameRow(const std::uint32_t* a, const std::uint32_t* b, int width) {
  if (std::memcmp(a, b, static_cast<std::size_t>(width) * 4) == 0) return true;
  std::uint32_t bits = 0;
  for (int x = 0; x < width; ++x) bits |= (a[x] ^ b[x]) & 0xFFFFFFu;
  return bits == 0;
}

// A band's rows held in memory reused from band to band.
struct BandBuffer {
  std::unique_ptr<std::uint32_t[]> pixels;  // not value-initialised: painted white per band
  int width = 0;
  int top = 0;  // the page row of its first row
  const std::uint32_t* row(int y) const { return pixels.get() + static_cast<std::size_t>(y - top) * width; }
};

const std::uint32_t* BandRow(const void* context, int y) {
  return static_cast<const BandBuffer*>(context)->row(y);
}

}  // namespace

std::unique_ptr<md::canvas::BandRecording> RecordRaster(Page& page, int dpi, md::text::TextEngine* engine,
                                                        std::string* error) {
  const double w = std::round(page.width() / 100.0 / 25.4 * dpi);
  const double h = std::round(page.height() / 100.0 / 25.4 * dpi);
  // The largest raster md::canvas makes.
  constexpr double kMaxSide = 32767;
  if (dpi < kMinDpi || dpi > kMaxDpi || !(w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide)) {
    SetError(error, "cannot make a raster of the page at " + std::to_string(dpi) + " dpi");
    return nullptr;
  }
  auto recording = std::make_unique<md::canvas::BandRecording>(static_cast<int>(w), static_cast<int>(h));
  if (!PrintPage(page, recording.get(), dpi, engine, error)) return nullptr;
  return recording;
}

BandedPrints PaintBands(const md::canvas::BandRecording& first, const md::canvas::BandRecording& second,
                        unsigned threads, int bandRows) {
  BandedPrints out;
  const int width = first.width(), height = first.height();
  if (width != second.width() || height != second.height() || width <= 0 || height <= 0 || bandRows <= 0)
    return out;
  const int bands = (height + bandRows - 1) / bandRows;
  out.stripes.resize(static_cast<std::size_t>(bands));
  std::atomic<int> next{0};
  std::atomic<bool> failed{false}, differing{false};
  Split(bands, threads, [&](int, int) {
    // Each band but the first starts a row early: the row above is what the
    // stripe's matches reach back to.
    BandBuffer a, b;
    a.width = b.width = width;
    const std::size_t most = static_cast<std::size_t>(width) * static_cast<std::size_t>(bandRows + 1);
    a.pixels.reset(new (std::nothrow) std::uint32_t[most]);
    b.pixels.reset(new (std::nothrow) std::uint32_t[most]);
    if (a.pixels == nullptr || b.pixels == nullptr) {
      failed = true;
      return;
    }
    for (int k = next++; k < bands && !failed; k = next++) {
      const int top = k * bandRows, end = std::min(height, top + bandRows);
      const int from = top > 0 ? top - 1 : 0;
      const std::size_t count = static_cast<std::size_t>(end - from) * static_cast<std::size_t>(width);
      a.top = b.top = from;
      bool ok = true;
      for (BandBuffer* buffer : {&a, &b}) {
        // White paper: every channel, and the unused top byte, at 0xFF, as
        // cairo paints opaque white on this format.
        std::memset(buffer->pixels.get(), 0xFF, count * 4);
        auto band = md::canvas::CairoCanvas::createBand(buffer->pixels.get(), width * 4, width, height, from,
                                                        end - from);
        if (band == nullptr) {
          ok = false;
          break;
        }
        (buffer == &a ? first : second).paintBand(*band);
      }
      if (ok && !differing) {
        for (int y = top; y < end; ++y) {
          if (SameRow(a.row(y), b.row(y), width)) continue;
          differing = true;
          break;
        }
      }
      const md::canvas::PngRows rows{width, height, &a, &BandRow};
      if (!ok || !md::canvas::CompressPngStripe(rows, top, end, k + 1 == bands, &out.stripes[k]))
        failed = true;
    }
  });
  out.painted = !failed;
  out.same = out.painted && !differing;
  return out;
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
