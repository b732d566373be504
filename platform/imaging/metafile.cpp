// The helper's drawing travels in a shared buffer: a header of the chosen
// size, the resolution and the SVG's length, then the rows of a cairo
// ARGB32 surface, which hold premultiplied 0xAARRGGBB pixels as the picture
// does, then the SVG document.
#include "platform/imaging/metafile.h"

#include <cairo-svg.h>
#include <png.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <new>

#include "platform/imaging/decode.h"
#include "platform/imaging/digest.h"
#include "platform/imaging/helperfences.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/svgdrawing.h"

namespace md::imaging::detail {
namespace {
constexpr std::size_t kHeaderBytes = 64;
constexpr std::int64_t kMaxPaintSide = 32767;  // the largest raster cairo makes

// The palette of an opaque image of at most 256 colours, and each pixel's
// index into it; false for any other image.
bool PaletteOf(cairo_surface_t* image, std::vector<std::uint32_t>* palette,
               std::vector<std::uint8_t>* indices) {
  const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  indices->resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  std::uint32_t last = 0;
  std::uint8_t lastIndex = 0;
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    std::uint8_t* out = indices->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = row[x];
      if (p >> 24 != 0xFF) return false;
      if (palette->empty() || p != last) {
        const std::size_t index =
            static_cast<std::size_t>(std::find(palette->begin(), palette->end(), p) - palette->begin());
        if (index == palette->size() && index == 256) return false;
        if (index == palette->size()) palette->push_back(p);
        last = p;
        lastIndex = static_cast<std::uint8_t>(index);
      }
      out[x] = lastIndex;
    }
  }
  return true;
}

struct PngOut {
  std::vector<unsigned char> bytes;
};

bool WritePalettePng(int w, int h, const std::vector<std::uint32_t>& palette,
                     const std::vector<std::uint8_t>& indices, PngOut* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  const int depth = palette.size() <= 2 ? 1 : palette.size() <= 4 ? 2 : palette.size() <= 16 ? 4 : 8;
  const std::size_t rowBytes = (static_cast<std::size_t>(w) * static_cast<std::size_t>(depth) + 7) / 8;
  std::vector<png_byte> row(rowBytes);
  std::vector<png_color> colours;
  for (const std::uint32_t p : palette)
    colours.push_back(
        png_color{static_cast<png_byte>(p >> 16), static_cast<png_byte>(p >> 8), static_cast<png_byte>(p)});
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(
      png, out,
      [](png_structp p, png_bytep data, png_size_t n) {
        auto* o = static_cast<PngOut*>(png_get_io_ptr(p));
        o->bytes.insert(o->bytes.end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), depth,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  const int perByte = 8 / depth;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* in = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    std::fill(row.begin(), row.end(), 0);
    for (int x = 0; x < w; ++x)
      row[static_cast<std::size_t>(x / perByte)] |=
          static_cast<png_byte>(in[x] << ((perByte - 1 - x % perByte) * depth));
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace

std::string MetafileTarget::Size(double widthInches, double heightInches) {
  if (!std::isfinite(widthInches) || !std::isfinite(heightInches) || widthInches <= 0 || heightInches <= 0)
    return "the drawing has no size";
  double dpi = kMetafileDpi;
  const double longest = std::max(widthInches, heightInches);
  dpi = std::min(dpi, kMetafileMaxSide / longest);
  const double area = widthInches * heightInches;
  dpi = std::min(dpi, std::sqrt(static_cast<double>(maxPixels) / area));
  // Rounded to the nearest pixel when that fits, else down.
  double w = std::max(1.0, std::round(widthInches * dpi)), h = std::max(1.0, std::round(heightInches * dpi));
  if (w * h > static_cast<double>(maxPixels)) {
    w = std::max(1.0, std::floor(widthInches * dpi));
    h = std::max(1.0, std::floor(heightInches * dpi));
  }
  if (w > kMetafileMaxSide || h > kMetafileMaxSide || w * h > static_cast<double>(maxPixels))
    return "a drawing of " + std::to_string(widthInches) + " x " + std::to_string(heightInches) +
           " inches does not fit the memory limit";
  header[0] = static_cast<std::int32_t>(w);
  header[1] = static_cast<std::int32_t>(h);
  header[2] = static_cast<std::int32_t>(std::lround(dpi * 1000.0));
  return "";
}

void AttachPalettePng(cairo_surface_t* image) {
  if (cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32) return;
  cairo_surface_flush(image);
  std::vector<std::uint32_t> palette;
  std::vector<std::uint8_t> indices;
  auto* out = new PngOut;
  if (PaletteOf(image, &palette, &indices) &&
      WritePalettePng(cairo_image_surface_get_width(image), cairo_image_surface_get_height(image), palette,
                      indices, out) &&
      cairo_surface_set_mime_data(
          image, CAIRO_MIME_TYPE_PNG, out->bytes.data(), out->bytes.size(),
          [](void* o) { delete static_cast<PngOut*>(o); }, out) == CAIRO_STATUS_SUCCESS)
    return;
  delete out;
}

MetafileTarget::~MetafileTarget() {
  if (recording_ != nullptr) cairo_surface_destroy(recording_);
}

cairo_surface_t* MetafileTarget::Surface() const {
  if (recording_ == nullptr) {
    const cairo_rectangle_t extents{0, 0, static_cast<double>(header[0]), static_cast<double>(header[1])};
    recording_ = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
  }
  return cairo_surface_reference(recording_);
}

void MetafileTarget::PaintBox() const {
  const auto& [size, window] = *box;
  const int w = static_cast<int>(window[2] - window[0]), h = static_cast<int>(window[3] - window[1]);
  cairo_surface_t* image = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels),
                                                               CAIRO_FORMAT_ARGB32, w, h, w * 4);
  cairo_t* cr = cairo_create(image);
  // As a raster canvas paints a drawing into the box: its corner on the
  // box's first corner, mirrored where the box runs backwards.
  const double boxW = static_cast<double>(std::abs(size[0])), boxH = static_cast<double>(std::abs(size[1]));
  cairo_translate(cr, static_cast<double>(-window[0]) + (size[0] < 0 ? boxW : 0.0),
                  static_cast<double>(-window[1]) + (size[1] < 0 ? boxH : 0.0));
  cairo_scale(cr, (size[0] < 0 ? -boxW : boxW) / header[0], (size[1] < 0 ? -boxH : boxH) / header[1]);
  cairo_set_source_surface(cr, recording_, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(image);
  cairo_surface_destroy(image);
  header[3] = 0;
}

void MetafileTarget::Finish() {
  if (recording_ == nullptr) return;
  if (box != nullptr) {
    PaintBox();
    return;
  }
  cairo_surface_t* image = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32, header[0], header[1], header[0] * 4);
  cairo_t* cr = cairo_create(image);
  cairo_set_source_surface(cr, recording_, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(image);
  cairo_surface_destroy(image);

  // The SVG is written straight into the buffer; one that does not fit is
  // left out.
  struct Output {
    char* at;
    std::size_t used = 0;
    bool full = false;
  } out{svg};
  auto write = [](void* closure, const unsigned char* data, unsigned int length) {
    auto* o = static_cast<Output*>(closure);
    if (o->full || length > kMetafileSvgBytes - o->used) {
      o->full = true;
      return CAIRO_STATUS_WRITE_ERROR;
    }
    std::memcpy(o->at + o->used, data, length);
    o->used += length;
    return CAIRO_STATUS_SUCCESS;
  };
  cairo_surface_t* document = cairo_svg_surface_create_for_stream(write, &out, header[0], header[1]);
  cr = cairo_create(document);
  cairo_set_source_surface(cr, recording_, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_finish(document);
  const bool written = cairo_surface_status(document) == CAIRO_STATUS_SUCCESS && !out.full;
  cairo_surface_destroy(document);
  header[3] = written ? static_cast<std::int32_t>(out.used) : 0;
}

namespace {

std::mutex g_limitsMutex;
MetafileLimits g_limits;

std::atomic<MetafileClock> g_clock{nullptr};

std::int64_t NowMilliseconds() {
  if (const MetafileClock clock = g_clock.load()) return clock();
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

// An outermost drawing: its whole budget and what is left, which only its
// own thread reads and spends, and whether it ended, which another thread
// that ends it sets.
struct DrawingBudget {
  explicit DrawingBudget(long long whole) : wholeMs(whole), leftMs(whole) {}
  const long long wholeMs;
  long long leftMs;
  std::atomic<bool> ended{false};
};

namespace {

thread_local std::shared_ptr<DrawingBudget> t_drawing;

// This thread's drawing, or NULL; one ended on another thread is let go.
DrawingBudget* CurrentDrawing() {
  if (t_drawing != nullptr && t_drawing->ended.load(std::memory_order_acquire)) t_drawing.reset();
  return t_drawing.get();
}

std::string Spent(long long budgetMs) {
  return "this drawing's " + std::to_string(budgetMs / 1000.0).substr(0, 4) + " s for metafiles are spent";
}

// A content the helper refused or crashed on, by what it was asked to do.
struct RefusedKey {
  Format format;
  std::size_t memoryLimit;
  Content content;
  auto operator<=>(const RefusedKey&) const = default;
};
constexpr std::size_t kRefusedKept = 1024;
std::mutex g_refusedMutex;
std::map<RefusedKey, std::string> g_refused;  // the helper's reasons
std::deque<RefusedKey> g_refusedOrder;        // oldest first

bool RefusedBefore(const RefusedKey& key, std::string* reason) {
  std::lock_guard<std::mutex> lock(g_refusedMutex);
  const auto it = g_refused.find(key);
  if (it == g_refused.end()) return false;
  *reason = it->second;
  return true;
}

void Remember(const RefusedKey& key, const std::string& reason) {
  std::lock_guard<std::mutex> lock(g_refusedMutex);
  if (!g_refused.emplace(key, reason).second) return;
  g_refusedOrder.push_back(key);
  if (g_refusedOrder.size() > kRefusedKept) {
    g_refused.erase(g_refusedOrder.front());
    g_refusedOrder.pop_front();
  }
}

}  // namespace

namespace {

// The helper's arguments: the format, the most pixels its drawing may take
// and the memory limit; then, to paint a box, its size and window.
std::vector<std::string> HelperArgs(Format format, std::size_t maxPixels, std::size_t memoryLimit) {
  return {format == Format::Wmf ? "wmf" : "emf", std::to_string(maxPixels), std::to_string(memoryLimit)};
}

std::size_t MaxPixels(std::size_t memoryLimit) {
  return std::min(static_cast<std::size_t>(kMetafileMaxSide) * kMetafileMaxSide, memoryLimit / 4);
}

// How one run of the helper went, within the file's processor time (the
// wall clock allowed kWallPerProcessorTime times that) and what is left of
// this thread's drawing's budget, which the run is charged with.
struct HelperRun {
  bool ok = false;
  IsolatedEnd end = IsolatedEnd::NotRun;
  std::string error;
  // Not run, or cut short, as the drawing's budget was spent: says nothing
  // of the file.
  bool deferred = false;
};

// A run waits for a processor among the host's other work; at up to four
// runnable threads a core it still has its whole processor time.
constexpr int kWallPerProcessorTime = 4;

// What a run of the helper that took `elapsed` on the metafile clock and
// `processorMs` of processor time (-1: not known) costs its drawing: its
// processor time, but at least a quarter of its wall time, so that a run
// waiting for a processor on a busy machine costs what it costs on an idle
// one, and a helper waiting for nothing cannot stretch a page past four times
// its budget. A clock a test set decides alone.
std::int64_t Charged(std::int64_t elapsed, std::int64_t processorMs) {
  if (g_clock.load() != nullptr || processorMs < 0) return elapsed;
  return std::max(processorMs, elapsed / kWallPerProcessorTime);
}

HelperRun RunHelper(const std::vector<std::string>& args, const std::uint8_t* data, std::size_t size,
                    std::size_t bytes, const std::function<std::string(const void* buffer)>& collect) {
  const MetafileLimits settings = CurrentMetafileLimits();
  HelperRun run;
  // Within a drawing: once its budget is spent the file is not tried; while
  // it lasts the file has its own whole time, but never more than the whole
  // budget, and a run that shorter limit cuts says nothing of the file.
  IsolationLimits limits;
  limits.processorMilliseconds = settings.fileMilliseconds;
  limits.milliseconds = static_cast<int>(std::min<long long>(
      static_cast<long long>(settings.fileMilliseconds) * kWallPerProcessorTime, INT_MAX));
  const int whole = limits.milliseconds;
  DrawingBudget* const drawing = CurrentDrawing();
  if (drawing != nullptr && drawing->leftMs <= 0) {
    run.deferred = true;
    run.error = "not drawn: " + Spent(drawing->wholeMs);
    return run;
  }
  if (drawing != nullptr && drawing->wholeMs < limits.milliseconds) {
    limits.milliseconds = static_cast<int>(drawing->wholeMs);
    limits.processorMilliseconds = std::min(limits.processorMilliseconds, limits.milliseconds);
  }
  TellUnfencedOnce();
  const std::int64_t start = NowMilliseconds();
  std::int64_t processorMs = -1;
  run.ok = RunIsolated(settings.helper.empty() ? ProgramBesideLibrary(kMetafileHelper) : settings.helper,
                       args, data, size, bytes, collect, limits, &run.error, &run.end, &processorMs);
  if (drawing != nullptr) drawing->leftMs -= Charged(NowMilliseconds() - start, processorMs);
  if (run.end == IsolatedEnd::TimedOut && limits.milliseconds < whole) {
    run.deferred = true;
    run.error = "not drawn: " + Spent(drawing->wholeMs);
  }
  return run;
}

}  // namespace

DecodeResult RenderMetafile(const char* name, Format format, std::size_t memoryLimit,
                            const std::uint8_t* data, std::size_t size) {
  const std::size_t maxPixels = MaxPixels(memoryLimit);
  if (maxPixels == 0) return Fail(name, "the memory limit leaves no room for a drawing");
  const RefusedKey key{format, memoryLimit, ContentOf(data, size)};
  std::string error;
  if (RefusedBefore(key, &error)) return Fail(name, error + " (refused before)");
  std::shared_ptr<Bitmap> out;
  const HelperRun run = RunHelper(
      HelperArgs(format, maxPixels, memoryLimit), data, size,
      kHeaderBytes + maxPixels * 4 + kMetafileSvgBytes, [&](const void* buffer) -> std::string {
        std::int32_t header[4];
        std::memcpy(header, buffer, sizeof header);
        const std::int32_t w = header[0], h = header[1];
        if (w <= 0 || h <= 0 || w > kMetafileMaxSide || h > kMetafileMaxSide ||
            static_cast<std::size_t>(w) * static_cast<std::size_t>(h) > maxPixels)
          return "the renderer answered a bad size";
        if (header[3] < 0 || static_cast<std::size_t>(header[3]) > kMetafileSvgBytes)
          return "the renderer answered a bad drawing";
        std::string why;
        out = NewBitmap(w, h, memoryLimit, format, &why);
        if (!out) return why;
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        std::memcpy(out->pixels.data(), bytes + kHeaderBytes, out->pixels.size() * 4);
        out->dpiX = out->dpiY = header[2] / 1000.0;
        MarkAlpha(out.get());
        if (header[3] > 0) {
          const char* svg = reinterpret_cast<const char*>(bytes + kHeaderBytes + maxPixels * 4);
          out->vectors = std::make_shared<SvgDrawing>(std::string(svg, static_cast<std::size_t>(header[3])),
                                                      w, h, memoryLimit);
        }
        out->metafile = std::make_shared<const MetafileSource>(MetafileSource{
            std::vector<std::uint8_t>(data, data + size), memoryLimit, static_cast<std::size_t>(header[3])});
        return "";
      });
  if (run.ok) {
    DecodeResult r;
    r.bitmap = std::move(out);
    return r;
  }
  if (run.deferred) {
    DecodeResult r = Fail(name, run.error);
    r.deferred = true;
    return r;
  }
  // What the helper refused or crashed on is refused from now on; a file past
  // its time (on a busy machine, perhaps), or one the helper could not be
  // started for, is tried again by the next drawing.
  if (run.end == IsolatedEnd::Refused || run.end == IsolatedEnd::Stopped) Remember(key, run.error);
  DecodeResult r = Fail(name, run.error);
  r.timedOut = run.end == IsolatedEnd::TimedOut;
  r.notRun = run.end == IsolatedEnd::NotRun;
  return r;
}

std::shared_ptr<const std::vector<std::uint32_t>> PaintMetafile(const Bitmap& bitmap, const MetafileBox& box,
                                                                std::string* error, bool* spent) {
  *spent = false;
  const MetafileSource& source = *bitmap.metafile;
  const std::int64_t pixels = box.Pixels();
  if (pixels <= 0 || pixels > kMetafilePaintPixels) {
    *error = "the painting's window is empty or too large";
    return nullptr;
  }
  std::vector<std::string> args =
      HelperArgs(bitmap.format, MaxPixels(source.memoryLimit), source.memoryLimit);
  args.push_back("paint");
  for (const std::int64_t v : box.size) args.push_back(std::to_string(v));
  for (const std::int64_t v : box.window) args.push_back(std::to_string(v));
  std::shared_ptr<std::vector<std::uint32_t>> out;
  const std::size_t count = static_cast<std::size_t>(pixels);
  const HelperRun run = RunHelper(
      args, source.bytes.data(), source.bytes.size(), kHeaderBytes + count * 4,
      [&](const void* buffer) -> std::string {
        try {
          out = std::make_shared<std::vector<std::uint32_t>>(count);
        } catch (const std::bad_alloc&) {
          return "no memory for the painting";
        }
        std::memcpy(out->data(), static_cast<const std::uint8_t*>(buffer) + kHeaderBytes, count * 4);
        return "";
      });
  if (!run.ok) {
    *error = run.error;
    *spent = run.deferred;
    return nullptr;
  }
  return out;
}

MetafileClock SetMetafileClock(MetafileClock clock) { return g_clock.exchange(clock); }

bool MetafileTimeSpent() {
  const DrawingBudget* drawing = CurrentDrawing();
  return drawing != nullptr && drawing->leftMs <= 0;
}

std::string SpentMetafileTime() {
  const DrawingBudget* drawing = CurrentDrawing();
  return Spent(drawing != nullptr ? drawing->wholeMs : 0);
}

ChargedMetafileTime::ChargedMetafileTime() : start_(NowMilliseconds()) {}

ChargedMetafileTime::~ChargedMetafileTime() {
  if (DrawingBudget* drawing = CurrentDrawing()) drawing->leftMs -= NowMilliseconds() - start_;
}

int MetafileHelperMain(int argc, char** argv) {
  return IsolatedMain(argc, argv, [](const IsolatedRequest& r) -> std::string {
    const bool painting = r.args.size() == 10 && r.args[3] == "paint";
    if ((r.args.size() != 3 && !painting) || (r.args[0] != "wmf" && r.args[0] != "emf"))
      return "the renderer was asked wrongly";
    MetafileTarget t;
    t.maxPixels = std::stoull(r.args[1]);
    t.memoryLimit = std::stoull(r.args[2]);
    MetafileBox box;
    if (painting) {
      for (std::size_t k = 0; k < 2; ++k) box.size[k] = std::stoll(r.args[4 + k]);
      for (std::size_t k = 0; k < 4; ++k) box.window[k] = std::stoll(r.args[6 + k]);
      const auto& [size, window] = box;
      if (window[0] < 0 || window[1] < 0 || window[2] > std::abs(size[0]) || window[3] > std::abs(size[1]) ||
          window[0] >= window[2] || window[1] >= window[3] || box.Pixels() > kMetafilePaintPixels ||
          window[2] - window[0] > kMaxPaintSide || window[3] - window[1] > kMaxPaintSide)
        return "the renderer was asked wrongly";
      t.box = &box;
    }
    const std::size_t needed = painting ? kHeaderBytes + static_cast<std::size_t>(box.Pixels()) * 4
                                        : kHeaderBytes + t.maxPixels * 4 + kMetafileSvgBytes;
    if (r.bytes < needed) return "the renderer was given too small a buffer";
    auto* bytes = static_cast<std::uint8_t*>(r.buffer);
    t.header = reinterpret_cast<std::int32_t*>(bytes);
    t.pixels = reinterpret_cast<std::uint32_t*>(bytes + kHeaderBytes);
    t.svg = painting ? nullptr : reinterpret_cast<char*>(bytes + kHeaderBytes + t.maxPixels * 4);
    return r.args[0] == "wmf" ? PlayWmf(r.input, r.inputBytes, &t) : PlayEmf(r.input, r.inputBytes, &t);
  });
}

}  // namespace md::imaging::detail

namespace md::imaging {

MetafileLimits CurrentMetafileLimits() {
  std::lock_guard<std::mutex> lock(detail::g_limitsMutex);
  return detail::g_limits;
}

MetafileLimits SetMetafileLimits(MetafileLimits limits) {
  std::lock_guard<std::mutex> lock(detail::g_limitsMutex);
  std::swap(limits, detail::g_limits);
  return limits;
}

void ForgetRefusedMetafiles() {
  std::lock_guard<std::mutex> lock(detail::g_refusedMutex);
  detail::g_refused.clear();
  detail::g_refusedOrder.clear();
}

MetafileDrawing::MetafileDrawing() : thread_(std::this_thread::get_id()) {
  if (detail::CurrentDrawing() != nullptr) return;
  budget_ = std::make_shared<detail::DrawingBudget>(CurrentMetafileLimits().drawingMilliseconds);
  detail::t_drawing = budget_;
}

MetafileDrawing::~MetafileDrawing() {
  if (budget_ == nullptr) return;
  // Its thread lets it go at its next check when it ends elsewhere.
  budget_->ended.store(true, std::memory_order_release);
  if (OnItsThread() && detail::t_drawing == budget_) detail::t_drawing.reset();
}

}  // namespace md::imaging
