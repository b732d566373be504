// Cairo back end of the canvas interface: raster images, memory-bitmap
// pixels, PDF and SVG pages.
#include "platform/canvas/cairo_canvas.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <numbers>
#include <set>
#include <string_view>
#include <tuple>

#include "platform/canvas/coverage.h"
#include "platform/canvas/fontsubset.h"
#include "platform/canvas/pathreduce.h"
#include "platform/canvas/pngwrite.h"
#include "platform/canvas/recording.h"
#include "platform/files/filestore.h"
#include "platform/text/textengine.h"

namespace md::canvas {

namespace detail {
// A text run matched to a font of its engine and laid out in glyphs.
struct ShapedRun {
  text::FontPtr font;
  std::shared_ptr<const std::vector<text::Glyph>> glyphs;
};
}  // namespace detail

namespace {

using detail::ShapedRun;

// Cairo keeps coordinates in 24.8 fixed point; anything beyond this is off
// every surface we make, so it is clamped rather than allowed to wrap.
constexpr double kCoordLimit = 4.0e6;
constexpr int kMaxSurfaceSide = 32767;
constexpr double kMiterLimit = 10.0;
// Hatch lines drawn for one fill of a vector file, at most.
constexpr double kMaxHatchLines = 100000;

bool Finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }
double ClampCoord(double v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }

void SetColor(cairo_t* cr, Color c) {
  cairo_set_source_rgb(cr, red(c) / 255.0, green(c) / 255.0, blue(c) / 255.0);
}

// Whether the hatch's 8x8 tile inks the cell (x, y).
bool HatchInks(Hatch hatch, int x, int y) {
  const bool horizontal = y == 7;
  const bool vertical = x == 7;
  const bool forward = x == y;       // top-left to bottom-right
  const bool backward = x + y == 7;  // bottom-left to top-right
  switch (hatch) {
    case Hatch::Horizontal:
      return horizontal;
    case Hatch::Vertical:
      return vertical;
    case Hatch::ForwardDiagonal:
      return forward;
    case Hatch::BackwardDiagonal:
      return backward;
    case Hatch::Cross:
      return horizontal || vertical;
    case Hatch::DiagonalCross:
      return forward || backward;
  }
  return false;
}

// One 8x8 hatch tile in device pixels, lines in `color` on transparent.
cairo_pattern_t* HatchPattern(Hatch hatch, Color color) {
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_surface_flush(tile);
  unsigned char* data = cairo_image_surface_get_data(tile);
  const int stride = cairo_image_surface_get_stride(tile);
  if (data == nullptr) {
    cairo_surface_destroy(tile);
    return cairo_pattern_create_rgb(red(color) / 255.0, green(color) / 255.0, blue(color) / 255.0);
  }
  const std::uint32_t ink = 0xFF000000u | (static_cast<std::uint32_t>(red(color)) << 16) |
                            (static_cast<std::uint32_t>(green(color)) << 8) | blue(color);
  for (int y = 0; y < 8; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < 8; ++x) row[x] = HatchInks(hatch, x, y) ? ink : 0u;
  }
  cairo_surface_mark_dirty(tile);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
  cairo_surface_destroy(tile);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  return pattern;
}

// Dash lengths of a pen, in device pixels. Thin pens use the classic
// cosmetic patterns (in dots of `dot` device pixels); wider pens scale them
// with their width.
std::vector<double> DashPattern(const Pen& pen, double dot) {
  std::vector<double> base;
  switch (pen.style) {
    case PenStyle::Dash:
      base = {18, 6};
      break;
    case PenStyle::Dot:
      base = {3, 3};
      break;
    case PenStyle::DashDot:
      base = {9, 6, 3, 6};
      break;
    case PenStyle::DashDotDot:
      base = {9, 3, 3, 3, 3, 3};
      break;
    default:
      return {};
  }
  const double w = pen.width;
  const double scale = std::max(dot, w / 2.0);
  for (double& d : base) d *= scale;
  // Round and square caps grow every dash by the width; take it from the
  // dash and give it to the gap so the rhythm stays the same.
  if (pen.cap != LineCap::Flat && w > 1.5 * dot) {
    for (std::size_t i = 0; i < base.size(); i += 2) {
      const double take = std::min(base[i], w);
      base[i] -= take;
      base[i + 1] += take;
    }
  }
  return base;
}

using FaceKey = std::tuple<std::string, int, bool>;
FaceKey KeyOf(const text::FaceSource& src) { return {src.file, src.index, src.syntheticBold}; }

// Orders face keys, and finds one by a face's source without copying its
// file name.
struct FaceKeyLess {
  using is_transparent = void;
  using View = std::tuple<std::string_view, int, bool>;
  static View ViewOf(const FaceKey& k) { return {std::get<0>(k), std::get<1>(k), std::get<2>(k)}; }
  static View ViewOf(const text::FaceSource& src) { return {src.file, src.index, src.syntheticBold}; }
  template <class A, class B>
  bool operator()(const A& a, const B& b) const {
    const View x = ViewOf(a), y = ViewOf(b);
    if (std::get<0>(x) != std::get<0>(y)) return std::get<0>(x) < std::get<0>(y);
    if (std::get<1>(x) != std::get<1>(y)) return std::get<1>(x) < std::get<1>(y);
    return std::get<2>(x) < std::get<2>(y);
  }
};

// Cairo font faces made from the text engines' face files, kept for the
// life of the process.
class FaceCache {
 public:
  ~FaceCache() {
    for (auto& [key, face] : faces_) cairo_font_face_destroy(face);
  }
  cairo_font_face_t* get(const text::FaceSource& src) {
    std::lock_guard lock(mutex_);
    auto it = faces_.find(src);
    if (it != faces_.end()) return it->second;
    const FaceKey key = KeyOf(src);
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FILE, reinterpret_cast<const FcChar8*>(src.file.c_str()));
    FcPatternAddInteger(pat, FC_INDEX, src.index);
    if (src.syntheticBold) FcPatternAddBool(pat, FC_EMBOLDEN, FcTrue);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pat);
    FcPatternDestroy(pat);
    if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
      cairo_font_face_destroy(face);
      face = nullptr;
    }
    faces_.emplace(key, face);
    return face;
  }

 private:
  std::mutex mutex_;
  std::map<FaceKey, cairo_font_face_t*, FaceKeyLess> faces_;
};

FaceCache& Faces() {
  static FaceCache cache;
  return cache;
}

// Whether the run draws anything at all.
bool Drawable(const TextRun& run) {
  return Finite(run.origin) && std::isfinite(run.angle) && std::isfinite(run.font.emHeight) &&
         run.font.emHeight > 0;
}

ShapedRun ShapeText(const TextRun& run) {
  text::TextEngine* engine = text::EngineByName(run.font.engine);
  if (engine == nullptr) engine = &text::FreeTypeEngine();
  text::FontRequest req;
  req.face = run.font.face;
  req.height = -std::min(run.font.emHeight, kCoordLimit);
  req.width = std::isfinite(run.font.width) ? std::clamp(run.font.width, 0.0, kCoordLimit) : 0.0;
  req.weight = run.font.weight;
  req.italic = run.font.italic;
  req.underline = run.font.underline;
  req.strikeOut = run.font.strikeOut;
  req.charSet = run.font.charSet;
  ShapedRun shaped;
  // The caller's glyphs, when its font draws as the one asked for.
  if (run.glyphs != nullptr && run.shapedFont != nullptr && run.shapedFont->DrawsAs(req)) {
    shaped.font = run.shapedFont;
    shaped.glyphs = run.glyphs;
    return shaped;
  }
  shaped.font = engine->Match(req);
  shaped.glyphs = std::make_shared<const std::vector<text::Glyph>>(shaped.font->Shape(run.text));
  return shaped;
}

// Whether the glyph of a character is drawn (control characters are not).
bool Inked(const text::Glyph& g) { return g.ch >= 0x20 && g.ch != 0x7F; }

bool ValidPage(double widthMm, double heightMm, double dpi) {
  if (!std::isfinite(widthMm) || !std::isfinite(heightMm) || !std::isfinite(dpi)) return false;
  if (widthMm <= 0 || heightMm <= 0 || dpi < 1 || dpi > 10000) return false;
  const double w = widthMm / 25.4 * dpi;
  const double h = heightMm / 25.4 * dpi;
  return w >= 1 && h >= 1 && w <= kCoordLimit && h <= kCoordLimit;
}

std::unique_ptr<Canvas> MakeRaster(const PixelBuffer& target) { return CairoCanvas::createOnPixels(target); }

// Registers the factory when the library is loaded.
const bool g_registered = [] {
  installCairoRasterFactory();
  return true;
}();

}  // namespace

void installCairoRasterFactory() { setRasterCanvasFactory(&MakeRaster); }

std::vector<std::uint8_t> SurfacePng(cairo_surface_t* surface, double dpi) {
  std::vector<std::uint8_t> png;
  const cairo_status_t status = cairo_surface_write_to_png_stream(
      surface,
      // cairo's C frames cannot carry an exception: memory that runs out
      // is its status.
      [](void* closure, const unsigned char* data, unsigned int length) noexcept {
        try {
          auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
          bytes->insert(bytes->end(), data, data + length);
          return CAIRO_STATUS_SUCCESS;
        } catch (const std::bad_alloc&) {
          return CAIRO_STATUS_NO_MEMORY;
        }
      },
      &png);
  if (status != CAIRO_STATUS_SUCCESS || !SetPngResolution(&png, dpi)) png.clear();
  return png;
}

CairoCanvas::CairoCanvas(Kind kind, cairo_surface_t* surface, int width, int height, double scale,
                         bool bottomUp)
    : kind_(kind), surface_(surface), width_(width), height_(height), bottomUp_(bottomUp), bandEnd_(height) {
  (void)g_registered;
  cr_ = cairo_create(surface_);
  if (bottomUp_) {
    cairo_matrix_t flip;
    cairo_matrix_init(&flip, 1, 0, 0, -1, 0, height_);
    cairo_transform(cr_, &flip);
  }
  if (scale != 1.0) cairo_scale(cr_, scale, scale);
  if (kind == Kind::Pdf || kind == Kind::Svg) dot_ = std::max(1.0, 72.0 / scale / kVectorDotDpi);
  antialias_ = kind != Kind::Pixels;
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
}

namespace {

// What cairo's PDF and SVG writers take at the end beyond what the page
// holds: a picture's pixels converted (up to 8 bytes a pixel, its colours
// and alpha split out) and a margin for the rest of the file.
constexpr std::size_t kWriterMargin = std::size_t{32} << 20;
constexpr std::size_t kWriterBytesPerPixel = 8;

}  // namespace

bool CairoCanvas::keepWriterRoom(std::size_t bytes) {
  if (bytes <= writerRoomBytes_) return true;
  void* room = writerRoom_ == nullptr
                   ? ::mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0)
                   : ::mremap(writerRoom_, writerRoomBytes_, bytes, MREMAP_MAYMOVE);
  if (room == MAP_FAILED) return false;
  writerRoom_ = room;
  writerRoomBytes_ = bytes;
  return true;
}

void CairoCanvas::freeWriterRoom() {
  if (writerRoom_ != nullptr) ::munmap(writerRoom_, writerRoomBytes_);
  writerRoom_ = nullptr;
  writerRoomBytes_ = 0;
}

CairoCanvas::~CairoCanvas() {
  finish();
  freeWriterRoom();
  for (auto& [key, vectors] : vectorsPainted_)
    if (vectors.painted != nullptr) cairo_surface_destroy(vectors.painted);
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
  for (auto& [key, subset] : subsetFaces_) cairo_font_face_destroy(subset->face);
}

std::unique_ptr<CairoCanvas> CairoCanvas::createImage(int width, int height, Color background) {
  if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return nullptr;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  std::unique_ptr<CairoCanvas> c(new CairoCanvas(Kind::Image, s, width, height, 1.0, false));
  SetColor(c->cr_, background);
  cairo_paint(c->cr_);
  return c;
}

double CairoCanvas::maxPageSideMm(bool raster, double dpi) {
  return (raster ? std::min<double>(kMaxSurfaceSide, kCoordLimit) : kCoordLimit) / dpi * 25.4;
}

std::unique_ptr<CairoCanvas> CairoCanvas::createPageImage(double widthMm, double heightMm, double dpi) {
  if (!ValidPage(widthMm, heightMm, dpi)) return nullptr;
  const double w = std::round(widthMm / 25.4 * dpi);
  const double h = std::round(heightMm / 25.4 * dpi);
  if (w > kMaxSurfaceSide || h > kMaxSurfaceSide) return nullptr;
  std::unique_ptr<CairoCanvas> c = createImage(static_cast<int>(w), static_cast<int>(h));
  if (c != nullptr) c->resolution_ = dpi;
  return c;
}

std::unique_ptr<CairoCanvas> CairoCanvas::createOnPixels(const PixelBuffer& t) {
  if (t.pixels == nullptr || t.width <= 0 || t.height <= 0 || t.width > kMaxSurfaceSide ||
      t.height > kMaxSurfaceSide || t.stride < t.width * 4 || t.stride % 4 != 0)
    return nullptr;
  cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(t.pixels),
                                                           CAIRO_FORMAT_RGB24, t.width, t.height, t.stride);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  return std::unique_ptr<CairoCanvas>(new CairoCanvas(Kind::Pixels, s, t.width, t.height, 1.0, t.bottomUp));
}

std::unique_ptr<CairoCanvas> CairoCanvas::createOnSurface(cairo_surface_t* surface, double widthMm,
                                                          double heightMm, double dpi) {
  if (surface == nullptr || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
      !ValidPage(widthMm, heightMm, dpi))
    return nullptr;
  const double w = std::round(widthMm / 25.4 * dpi);
  const double h = std::round(heightMm / 25.4 * dpi);
  if (w > kMaxSurfaceSide || h > kMaxSurfaceSide) return nullptr;
  const cairo_surface_type_t type = cairo_surface_get_type(surface);
  const bool image = type == CAIRO_SURFACE_TYPE_IMAGE;
  const Kind kind = image ? Kind::Image : type == CAIRO_SURFACE_TYPE_SVG ? Kind::Svg : Kind::Pdf;
  // An image surface's own size bounds what is read back from it.
  const int width = image ? cairo_image_surface_get_width(surface) : static_cast<int>(w);
  const int height = image ? cairo_image_surface_get_height(surface) : static_cast<int>(h);
  std::unique_ptr<CairoCanvas> c(new CairoCanvas(kind, cairo_surface_reference(surface), width, height,
                                                 image ? 1.0 : 72.0 / dpi, false));
  c->borrowed_ = true;
  c->resolution_ = dpi;
  return c;
}

std::unique_ptr<CairoCanvas> CairoCanvas::createBand(std::uint32_t* pixels, int strideBytes, int width,
                                                     int pageHeight, int top, int rows) {
  if (pixels == nullptr || width <= 0 || width > kMaxSurfaceSide || pageHeight <= 0 ||
      pageHeight > kMaxSurfaceSide || top < 0 || rows <= 0 || rows > pageHeight - top ||
      strideBytes < cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width))
    return nullptr;
  return createWindow(pixels, strideBytes, width, pageHeight, Rect{0, top, width, top + rows});
}

std::unique_ptr<CairoCanvas> CairoCanvas::createWindow(std::uint32_t* pixels, int strideBytes, int width,
                                                       int pageHeight, const Rect& window) {
  // The surface spans the whole page, the window's first pixel where the
  // page's would lie, and a clip keeps every drawing to the window, so that
  // cairo computes everything in the page's own device coordinates: with a
  // device offset instead, glyph positions that fall on a half pixel could
  // round the other way. Nothing outside the clip is read or written.
  const std::uintptr_t first =
      reinterpret_cast<std::uintptr_t>(pixels) -
      static_cast<std::uintptr_t>(window.top) * static_cast<std::uintptr_t>(strideBytes) -
      static_cast<std::uintptr_t>(window.left) * 4u;
  cairo_surface_t* s = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(first), CAIRO_FORMAT_RGB24, width, pageHeight, strideBytes);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  std::unique_ptr<CairoCanvas> c(new CairoCanvas(Kind::Image, s, width, pageHeight, 1.0, false));
  c->bandTop_ = window.top;
  c->bandEnd_ = window.bottom;
  // Drawing saves and restores the state above this one: the clip stays.
  cairo_rectangle(c->cr_, window.left, window.top, window.right - window.left, window.bottom - window.top);
  cairo_clip(c->cr_);
  return c;
}

std::unique_ptr<CairoCanvas> CairoCanvas::createVector(Kind kind, const std::string& path, double widthMm,
                                                       double heightMm, double dpi, std::string* pError) {
  std::string error;
  if (pError == nullptr) pError = &error;
  if (!ValidPage(widthMm, heightMm, dpi)) {
    *pError = "not a page that can be drawn";
    return nullptr;
  }
  const double wPt = widthMm / 25.4 * 72.0;
  const double hPt = heightMm / 25.4 * 72.0;
  // The writer's room first: without it no file is begun.
  void* room =
      ::mmap(nullptr, kWriterMargin * 2, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (room == MAP_FAILED) {
    *pError = "out of memory: no room for the file's writer";
    return nullptr;
  }
  const auto release = [&] { ::munmap(room, kWriterMargin * 2); };
  // The file is written beside its target and put in place when finished,
  // the way every file is replaced (platform/files/filestore.h).
  auto output = std::make_unique<md::files::FileReplacement>();
  if (!output->Begin(path.c_str(), pError)) {
    release();
    return nullptr;
  }
  auto write = [](void* closure, const unsigned char* data, unsigned int length) noexcept {
    try {
      return static_cast<md::files::FileReplacement*>(closure)->Write(data, length)
                 ? CAIRO_STATUS_SUCCESS
                 : CAIRO_STATUS_WRITE_ERROR;
    } catch (const std::bad_alloc&) {  // cairo's C frames cannot carry it
      return CAIRO_STATUS_NO_MEMORY;
    }
  };
  cairo_surface_t* s = kind == Kind::Pdf ? cairo_pdf_surface_create_for_stream(write, output.get(), wPt, hPt)
                                         : cairo_svg_surface_create_for_stream(write, output.get(), wPt, hPt);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    *pError = cairo_status_to_string(cairo_surface_status(s));
    cairo_surface_destroy(s);
    release();
    return nullptr;
  }
  const int w = static_cast<int>(std::lround(widthMm / 25.4 * dpi));
  const int h = static_cast<int>(std::lround(heightMm / 25.4 * dpi));
  std::unique_ptr<CairoCanvas> c;
  try {
    c.reset(new CairoCanvas(kind, s, w, h, 72.0 / dpi, false));
  } catch (...) {
    cairo_surface_destroy(s);
    release();
    throw;
  }
  c->writerRoom_ = room;
  c->writerRoomBytes_ = kWriterMargin * 2;
  c->output_ = std::move(output);
  if (kind == Kind::Pdf) c->pending_ = std::make_unique<RecordingCanvas>(w, h);
  return c;
}

std::unique_ptr<CairoCanvas> CairoCanvas::createPdf(const std::string& path, double widthMm, double heightMm,
                                                    double dpi, std::string* pError) {
  return createVector(Kind::Pdf, path, widthMm, heightMm, dpi, pError);
}

std::unique_ptr<CairoCanvas> CairoCanvas::createSvg(const std::string& path, double widthMm, double heightMm,
                                                    double dpi, std::string* pError) {
  return createVector(Kind::Svg, path, widthMm, heightMm, dpi, pError);
}

bool CairoCanvas::ok() const {
  return !fileFailed_ && cairo_status(cr_) == CAIRO_STATUS_SUCCESS &&
         cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS;
}

std::string CairoCanvas::failure() const {
  if (!fileError_.empty()) return fileError_;
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) return cairo_status_to_string(cairo_status(cr_));
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS)
    return cairo_status_to_string(cairo_surface_status(surface_));
  return fileFailed_ ? "the file could not be written" : "";
}

// Applies the part of the clip that touches the box [x0, x1) x [y0, y1) (the
// extent of what is about to be painted) to the current cairo state, which
// the caller has saved. Only the bands that cross the box are handed to
// cairo: a polygon clip can be thousands of rectangles, a small shape meets a
// few of them. Returns false when nothing may be painted.
bool CairoCanvas::applyClip(const State& state, double x0, double y0, double x1, double y1) {
  if (finished_) return false;
  const Clip& clip = state.clip;
  if (clip.active && clip.rects.empty()) return false;
  dirty_ = true;
  if (!clip.active) return true;
  if (!(x0 < x1) || !(y0 < y1)) return false;
  const auto& rects = clip.rects;
  // Banded order: tops and bottoms both ascend.
  auto first =
      std::partition_point(rects.begin(), rects.end(), [&](const Rect& r) { return r.bottom <= y0; });
  auto last = std::partition_point(first, rects.end(), [&](const Rect& r) { return r.top < y1; });
  const int bx0 = static_cast<int>(std::floor(std::max(x0, -kCoordLimit)));
  const int by0 = static_cast<int>(std::floor(std::max(y0, -kCoordLimit)));
  const int bx1 = static_cast<int>(std::ceil(std::min(x1, kCoordLimit)));
  const int by1 = static_cast<int>(std::ceil(std::min(y1, kCoordLimit)));
  // When the bands crossing the box each hold its whole width, without a
  // gap between them, the box is inside the clip: nothing to clip.
  int covered = by0;
  for (auto it = first; it != last && covered < by1; ++it)
    if (it->top <= covered && it->left <= bx0 && it->right >= bx1) covered = std::max(covered, it->bottom);
  if (covered >= by1) return true;
  bool any = false;
  for (auto it = first; it != last; ++it) {
    const Rect& r = *it;
    if (r.empty() || r.right <= bx0 || r.left >= bx1) continue;
    if (!any) cairo_new_path(cr_);
    any = true;
    const int l = std::max(r.left, bx0), t = std::max(r.top, by0);
    const int rr = std::min(r.right, bx1), b = std::min(r.bottom, by1);
    if (rr > l && b > t) cairo_rectangle(cr_, l, t, static_cast<double>(rr) - l, static_cast<double>(b) - t);
  }
  if (!any) return false;
  cairo_fill_rule_t rule = cairo_get_fill_rule(cr_);
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
  cairo_clip(cr_);
  cairo_set_fill_rule(cr_, rule);
  return true;
}

bool CairoCanvas::beginPaint(const State& state, double x0, double y0, double x1, double y1) {
  cairo_save(cr_);
  if (applyClip(state, x0, y0, x1, y1)) return true;
  cairo_restore(cr_);
  return false;
}

void CairoCanvas::fillVectorHatch(const Brush& brush, const State& state) {
  if (state.opaque) {
    // The gaps between the hatch lines show the background colour.
    SetColor(cr_, state.background);
    cairo_fill_preserve(cr_);
  }
  cairo_save(cr_);
  cairo_clip(cr_);
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
  // The raster tile's lines, one dot wide, every 8 dots from the device
  // origin: where the raster puts them, without a tile's seams.
  const double period = 8 * dot_;
  const bool horizontal = brush.hatch == Hatch::Horizontal || brush.hatch == Hatch::Cross;
  const bool vertical = brush.hatch == Hatch::Vertical || brush.hatch == Hatch::Cross;
  const bool forward = brush.hatch == Hatch::ForwardDiagonal || brush.hatch == Hatch::DiagonalCross;
  const bool backward = brush.hatch == Hatch::BackwardDiagonal || brush.hatch == Hatch::DiagonalCross;
  const double lines = ((x1 - x0) + (y1 - y0)) / period;
  if (!(x0 < x1 && y0 < y1) || !(lines < kMaxHatchLines)) {
    cairo_restore(cr_);
    cairo_new_path(cr_);
    return;
  }
  SetColor(cr_, brush.color);
  for (double k = std::floor(y0 / period); horizontal && k * period <= y1; ++k) {
    cairo_rectangle(cr_, x0, k * period + 7 * dot_, x1 - x0, dot_);
  }
  for (double k = std::floor(x0 / period); vertical && k * period <= x1; ++k) {
    cairo_rectangle(cr_, k * period + 7 * dot_, y0, dot_, y1 - y0);
  }
  cairo_fill(cr_);
  // Diagonals through the centres of the tile's diagonal cells: y = x + c
  // and y = c - x, c a multiple of the period.
  for (double c = std::floor((y0 - x1) / period) * period; forward && c <= y1 - x0; c += period) {
    cairo_move_to(cr_, x0, x0 + c);
    cairo_line_to(cr_, x1, x1 + c);
  }
  for (double c = std::floor((x0 + y0) / period) * period; backward && c <= x1 + y1 + period; c += period) {
    cairo_move_to(cr_, x0, c - x0);
    cairo_line_to(cr_, x1, c - x1);
  }
  cairo_set_line_width(cr_, 0.75 * dot_);
  cairo_stroke(cr_);
  cairo_restore(cr_);
}

bool CairoCanvas::fillDense(const std::vector<std::vector<Point>>& rings, FillRule rule, const Brush& brush,
                            const State& state, double x0, double y0, double x1, double y1) {
  if (kind_ != Kind::Image || !antialias_) return false;
  // The pixels the fill can touch, on the raster.
  const Rect box{static_cast<int>(std::max(0.0, std::floor(x0))),
                 static_cast<int>(std::max<double>(bandTop_, std::floor(y0))),
                 static_cast<int>(std::min<double>(width_, std::ceil(x1) + 1)),
                 static_cast<int>(std::min<double>(bandEnd_, std::ceil(y1) + 1))};
  if (box.empty()) return true;
  const int w = box.right - box.left, h = box.bottom - box.top;
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, w);
  detail::CoverageMask mask;
  if (stride <= 0 || !detail::RasterizeCoverage(rings, rule, box, stride, &mask)) return false;
  cairo_surface_t* surface =
      cairo_image_surface_create_for_data(mask.alpha.data(), CAIRO_FORMAT_A8, w, h, stride);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  cairo_matrix_t at;
  cairo_matrix_init_translate(&at, -box.left, -box.top);
  cairo_pattern_set_matrix(pattern, &at);
  if (brush.style == BrushStyle::Hatched) {
    if (state.opaque) {
      // The gaps between the hatch lines show the background colour.
      SetColor(cr_, state.background);
      cairo_mask(cr_, pattern);
    }
    cairo_pattern_t* hatch = HatchPattern(brush.hatch, brush.color);
    cairo_set_source(cr_, hatch);
    cairo_pattern_destroy(hatch);
  } else {
    SetColor(cr_, brush.color);
  }
  cairo_mask(cr_, pattern);
  cairo_pattern_destroy(pattern);
  cairo_surface_destroy(surface);
  return true;
}

void CairoCanvas::fillPath(const Brush& brush, const State& state) {
  if (brush.style == BrushStyle::Hatched && dot_ > 1.0) {
    fillVectorHatch(brush, state);
    return;
  }
  if (brush.style == BrushStyle::Hatched) {
    cairo_pattern_t* p = HatchPattern(brush.hatch, brush.color);
    cairo_set_source(cr_, p);
    cairo_pattern_destroy(p);
    if (state.opaque) {
      // The gaps between the hatch lines show the background colour.
      cairo_save(cr_);
      SetColor(cr_, state.background);
      cairo_fill_preserve(cr_);
      cairo_restore(cr_);
    }
  } else {
    SetColor(cr_, brush.color);
  }
  cairo_fill(cr_);
}

namespace {

// The box [x0, x1] x [y0, y1] that takes in the points added; empty (x0 > x1)
// until the first.
struct Extent {
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  void add(double x, double y) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
  }
};

// The sub-paths in device pixels, moved by `offset` (onto pixel centres for
// strokes), without the points that change nothing drawn for `use`. The
// shape's points are finite (drawShape checks them first).
struct DevicePaths {
  std::vector<std::vector<Point>> rings;
  std::vector<bool> closed;
  std::size_t points = 0;
};
void ReducedPaths(const Shape& shape, double offset, detail::PathUse use, DevicePaths* out) {
  std::size_t used = 0;
  out->closed.clear();
  out->points = 0;
  for (const SubPath& sp : shape.paths) {
    if (sp.points.empty()) continue;
    if (used == out->rings.size()) out->rings.emplace_back();
    std::vector<Point>& ring = out->rings[used++];
    ring.clear();
    // The points held to the coordinate limit, as ClampCoord does.
    detail::ReducePathShifted(sp.points, kCoordLimit, offset, use, &ring);
    out->closed.push_back(sp.closed);
    out->points += ring.size();
  }
  out->rings.resize(used);
}

// Shapes of up to this many points reduce into buffers the thread keeps from
// shape to shape (ordinary shapes then allocate nothing); denser ones use
// buffers of their own, so that their memory goes back when they are drawn.
constexpr std::size_t kKeptScratchPoints = std::size_t{1} << 16;
struct ReduceScratch {
  DevicePaths paths;
};

// Adds the paths to cairo; `close` closes every one (fills).
void AddPaths(cairo_t* cr, const DevicePaths& paths, bool close) {
  cairo_new_path(cr);
  for (std::size_t k = 0; k < paths.rings.size(); ++k) {
    const std::vector<Point>& ring = paths.rings[k];
    cairo_move_to(cr, ring[0].x, ring[0].y);
    for (std::size_t i = 1; i < ring.size(); ++i) cairo_line_to(cr, ring[i].x, ring[i].y);
    if (close || paths.closed[k]) cairo_close_path(cr);
  }
}

// Fills with this many points or more go through the coverage rasterizer on
// anti-aliased rasters.
constexpr std::size_t kDenseFillPoints = 4096;

}  // namespace

void CairoCanvas::drawShape(const Shape& shape, const Pen& pen, const Brush& brush, const State& state) {
  if (pending_ != nullptr) {
    if (!finished_) pending_->drawShape(shape, pen, brush, state);
    return;
  }
  const bool doFill = shape.fill && brush.style != BrushStyle::Null;
  const bool doStroke =
      shape.stroke && pen.style != PenStyle::Null && std::isfinite(pen.width) && pen.width > 0;
  if (!doFill && !doStroke) return;
  Extent box;
  for (const SubPath& sp : shape.paths) {
    for (const Point& p : sp.points) {
      if (!Finite(p)) return;
      box.add(p.x, p.y);
    }
  }
  if (!(box.x0 <= box.x1)) return;
  std::size_t count = 0;
  for (const SubPath& sp : shape.paths) count += sp.points.size();
  thread_local ReduceScratch kept;
  ReduceScratch own;
  ReduceScratch& scratch = count <= kKeptScratchPoints ? kept : own;
  // Room for the stroke: half the width, miter spikes, caps and the half-pixel shift.
  // On vector files no line is thinner than a dot.
  const double w = doStroke ? std::min(dot_ > 1.0 ? std::max(pen.width, dot_) : pen.width, kCoordLimit) : 0.0;
  const double pad = 2.0 + (doStroke ? w * (pen.join == LineJoin::Miter ? kMiterLimit / 2 + 1 : 1.5) : 0.0);
  if (!beginPaint(state, box.x0 - pad, box.y0 - pad, box.x1 + pad, box.y1 + pad)) return;
  cairo_set_antialias(cr_, antialias_ ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  // The fill is drawn before the stroke is reduced: both use the scratch.
  DevicePaths& fill = scratch.paths;
  if (doFill) ReducedPaths(shape, 0.0, detail::PathUse::Fill, &fill);
  if (doFill && !fill.rings.empty()) {
    if (!(fill.points >= kDenseFillPoints &&
          fillDense(fill.rings, shape.rule, brush, state, box.x0, box.y0, box.x1, box.y1))) {
      AddPaths(cr_, fill, true);
      cairo_set_fill_rule(
          cr_, shape.rule == FillRule::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
      fillPath(brush, state);
    }
  }
  // Thin pens have no caps, as the platform's one-pixel lines.
  const LineCap cap = w <= 1.5 * dot_ ? LineCap::Flat : pen.cap;
  Pen effective = pen;
  effective.cap = cap;
  effective.width = w;
  const std::vector<double> dashes = doStroke ? DashPattern(effective, dot_) : std::vector<double>();
  DevicePaths& stroke = scratch.paths;
  if (doStroke) {
    ReducedPaths(shape, 0.5, dashes.empty() ? detail::PathUse::SolidStroke : detail::PathUse::DashedStroke,
                 &stroke);
    const cairo_line_cap_t cairoCap = cap == LineCap::Round    ? CAIRO_LINE_CAP_ROUND
                                      : cap == LineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                               : CAIRO_LINE_CAP_BUTT;
    cairo_set_line_width(cr_, w);
    cairo_set_line_join(cr_, pen.join == LineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                             : pen.join == LineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                           : CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr_, kMiterLimit);
    detail::StrokePieces pieces;
    if (dashes.empty() && pen.join == LineJoin::Round &&
        detail::SplitRoundJoinedStroke(stroke.rings, stroke.closed, cap, w, &pieces)) {
      strokePieces(pieces, cairoCap, pen.color);
    } else {
      AddPaths(cr_, stroke, false);
      cairo_set_line_cap(cr_, cairoCap);
      if (!dashes.empty()) {
        if (state.opaque) {
          // The gaps of a styled pen show the background colour.
          SetColor(cr_, state.background);
          cairo_stroke_preserve(cr_);
        }
        cairo_set_dash(cr_, dashes.data(), static_cast<int>(dashes.size()), 0);
      }
      SetColor(cr_, pen.color);
      cairo_stroke(cr_);
    }
  }
  cairo_new_path(cr_);
  cairo_restore(cr_);
}

void CairoCanvas::strokePieces(const detail::StrokePieces& pieces, int cap, Color color) {
  const auto addEnds = [&] {
    for (const SubPath& sp : pieces.ends) {
      cairo_move_to(cr_, sp.points[0].x, sp.points[0].y);
      for (std::size_t i = 1; i < sp.points.size(); ++i) cairo_line_to(cr_, sp.points[i].x, sp.points[i].y);
      if (sp.closed) cairo_close_path(cr_);
    }
  };
  SetColor(cr_, color);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  cairo_new_path(cr_);
  // Rasters take the segments in runs; vector files get one stroke.
  const std::size_t run = kind_ == Kind::Image ? detail::kStrokeRunSegments : pieces.segments.size();
  for (std::size_t i = 0; i < pieces.segments.size(); ++i) {
    const auto& [a, b] = pieces.segments[i];
    cairo_move_to(cr_, a.x, a.y);
    cairo_line_to(cr_, b.x, b.y);
    if ((i + 1) % run == 0 && i + 1 < pieces.segments.size()) cairo_stroke(cr_);
  }
  // Round-capped ends go into the last stroke.
  const bool roundEnds = cap == CAIRO_LINE_CAP_ROUND;
  if (roundEnds) addEnds();
  cairo_stroke(cr_);
  if (roundEnds || pieces.ends.empty()) return;
  addEnds();
  cairo_set_line_cap(cr_, static_cast<cairo_line_cap_t>(cap));
  cairo_stroke(cr_);
}

void CairoCanvas::fillRects(const std::vector<Rect>& rects, const Brush& brush, const State& state) {
  if (pending_ != nullptr) {
    if (!finished_) pending_->fillRects(rects, brush, state);
    return;
  }
  if (brush.style == BrushStyle::Null || rects.empty()) return;
  Extent box;
  for (const Rect& r : rects) {
    if (r.empty()) continue;
    box.add(r.left, r.top);
    box.add(r.right, r.bottom);
  }
  if (!(box.x0 < box.x1)) return;
  if (!beginPaint(state, box.x0, box.y0, box.x1, box.y1)) return;
  cairo_set_antialias(cr_, antialias_ ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_new_path(cr_);
  for (const Rect& r : rects) {
    if (r.empty()) continue;
    cairo_rectangle(cr_, r.left, r.top, static_cast<double>(r.right) - r.left,
                    static_cast<double>(r.bottom) - r.top);
  }
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
  fillPath(brush, state);
  cairo_restore(cr_);
}

void CairoCanvas::drawText(const TextRun& run, const State& state) {
  if (!Drawable(run) || finished_) return;
  if (pending_ != nullptr) {
    pending_->drawText(run, state);
    return;
  }
  const ShapedRun shaped = ShapeText(run);
  if ((bandTop_ != 0 || bandEnd_ != height_) && paintTextAcrossBand(run, shaped, state)) return;
  paintText(run, shaped, state);
}

bool CairoCanvas::paintTextAcrossBand(const TextRun& run, const ShapedRun& shaped, const State& state) {
  // How far along the baseline the glyphs are placed and drawn, as
  // paintText places them.
  const std::vector<text::Glyph>& glyphs = *shaped.glyphs;
  const bool useAdvances = run.advances.size() == glyphs.size();
  double x = 0, far = 0;
  for (std::size_t i = 0; i < glyphs.size(); ++i) {
    const double at = useAdvances ? x : glyphs[i].x;
    if (std::isfinite(at)) far = std::max(far, std::fabs(at));
    const double adv = useAdvances ? run.advances[i] : glyphs[i].advance;
    x += std::isfinite(adv) ? std::clamp(adv, -kCoordLimit, kCoordLimit) : 0.0;
  }
  far = std::max(far, std::fabs(x));
  // The box the run inks: a glyph lies within two (scaled) ems of its place
  // along the baseline, and within its cell and another em across it.
  const text::FontMetrics& m = shaped.font->Metrics();
  const double angle = run.angle * std::numbers::pi / 180.0;
  const double c = std::fabs(std::cos(angle)), s = std::fabs(std::sin(angle));
  const double along = far + 2 * m.em * std::max(1.0, std::fabs(m.xScale)) + 2;
  const double across = std::max(std::fabs(m.ascent), std::fabs(m.descent)) + m.em + 2;
  Extent box;
  box.add(run.origin.x - c * along - s * across, run.origin.y - s * along - c * across);
  box.add(run.origin.x + c * along + s * across, run.origin.y + s * along + c * across);
  if (run.fillBackground) {
    for (const Point& p : run.backgroundBox)
      if (Finite(p)) box.add(p.x, p.y);
  }
  if (!(std::isfinite(box.x0) && std::isfinite(box.y0) && std::isfinite(box.x1) && std::isfinite(box.y1)))
    return false;
  if (box.y0 >= bandTop_ && box.y1 <= bandEnd_) return false;
  const int top = static_cast<int>(std::clamp(std::floor(box.y0), 0.0, 1.0 * height_));
  const int end = static_cast<int>(std::clamp(std::ceil(box.y1) + 1, 0.0, 1.0 * height_));
  const int left = static_cast<int>(std::clamp(std::floor(box.x0), 0.0, 1.0 * width_));
  const int right = static_cast<int>(std::clamp(std::ceil(box.x1) + 1, 0.0, 1.0 * width_));
  const int from = std::max(top, bandTop_), to = std::min(end, bandEnd_);
  if (from >= to || left >= right) return true;  // nothing of it reaches the band
  // The run painted on rows of its own that hold all of it, as on the whole
  // page: cairo leaves out glyphs placed far outside its clip and blends
  // overlapping glyphs otherwise, so a clip through the run could change
  // its pixels. Only the band's part of the box is copied in and back;
  // cairo touches nothing outside the box.
  const int stride = cairo_image_surface_get_stride(surface_);
  const std::size_t rowWords = static_cast<std::size_t>(stride) / 4;
  // Kept by the thread from one run to the next, and never cleared: the box
  // lies at the start of each of its rows, so that the same few pages are
  // touched whatever the run (what they hold outside the copied part is
  // never shown).
  struct Kept {
    std::unique_ptr<std::uint32_t[]> words;
    std::size_t size = 0;
  };
  thread_local Kept kept;
  const std::size_t words = rowWords * static_cast<std::size_t>(end - top);
  if (kept.size < words) {
    kept.words.reset(new (std::nothrow) std::uint32_t[words]);
    kept.size = kept.words != nullptr ? words : 0;
    if (kept.words == nullptr) return false;
  }
  std::uint32_t* const rows = kept.words.get();
  auto through = createWindow(rows, stride, width_, height_, Rect{left, top, right, end});
  if (through == nullptr) return false;
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const std::size_t bytes = static_cast<std::size_t>(right - left) * 4;
  const auto pageRow = [&](int y) {
    return reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride) + left;
  };
  const auto ownRow = [&](int y) { return rows + rowWords * static_cast<std::size_t>(y - top); };
  for (int y = from; y < to; ++y) std::memcpy(ownRow(y), pageRow(y), bytes);
  through->paintText(run, shaped, state);
  cairo_surface_flush(through->surface_);
  for (int y = from; y < to; ++y) std::memcpy(pageRow(y), ownRow(y), bytes);
  cairo_surface_mark_dirty(surface_);
  dirty_ = true;
  return true;
}

void CairoCanvas::paintText(const TextRun& run, const ShapedRun& shaped, const State& state) {
  const text::FontPtr& font = shaped.font;
  const std::vector<text::Glyph>& glyphs = *shaped.glyphs;
  const text::FontMetrics& m = font->Metrics();

  // Buffers the thread keeps from one run to the next.
  struct TextScratch {
    std::vector<double> xs;
    std::vector<cairo_glyph_t> list;
    std::vector<cairo_text_cluster_t> clusters;
    std::string utf8;
  };
  thread_local TextScratch scratch;
  std::vector<double>& xs = scratch.xs;
  xs.assign(glyphs.size(), 0.0);
  const bool useAdvances = run.advances.size() == glyphs.size();
  double x = 0;
  for (std::size_t i = 0; i < glyphs.size(); ++i) {
    xs[i] = useAdvances ? x : glyphs[i].x;
    const double adv = useAdvances ? run.advances[i] : glyphs[i].advance;
    x += std::isfinite(adv) ? std::clamp(adv, -kCoordLimit, kCoordLimit) : 0.0;
  }
  const double total = x;

  // Everything painted lies within the run's length plus a few ems of the
  // origin, or inside the background box.
  const double reach = std::fabs(total) + 3 * m.em;
  Extent box;
  box.add(run.origin.x - reach, run.origin.y - reach);
  box.add(run.origin.x + reach, run.origin.y + reach);
  if (run.fillBackground) {
    for (const Point& p : run.backgroundBox)
      if (Finite(p)) box.add(p.x, p.y);
  }
  if (!beginPaint(state, box.x0, box.y0, box.x1, box.y1)) return;
  cairo_new_path(cr_);
  if (run.fillBackground && run.backgroundBox.size() >= 3) {
    bool fine = true;
    for (const Point& p : run.backgroundBox) fine = fine && Finite(p);
    if (fine) {
      cairo_move_to(cr_, ClampCoord(run.backgroundBox[0].x), ClampCoord(run.backgroundBox[0].y));
      for (std::size_t i = 1; i < run.backgroundBox.size(); ++i)
        cairo_line_to(cr_, ClampCoord(run.backgroundBox[i].x), ClampCoord(run.backgroundBox[i].y));
      cairo_close_path(cr_);
      SetColor(cr_, state.background);
      cairo_fill(cr_);
    }
  }
  cairo_translate(cr_, ClampCoord(run.origin.x), ClampCoord(run.origin.y));
  // The angle is counter-clockwise on a y-down device.
  cairo_rotate(cr_, -run.angle * std::numbers::pi / 180.0);
  SetColor(cr_, run.color);

  // Only vector files keep the characters; rasters take the glyphs alone.
  const bool characters = kind_ != Kind::Image && kind_ != Kind::Pixels;
  for (int slot = 0; slot < 2; ++slot) {
    const text::FaceSource* src = font->Face(slot);
    if (src == nullptr) continue;
    // Each glyph carries its character, so that text taken from a vector
    // file reads as the characters drawn: a glyph shared by several
    // characters (an ideograph and its radical) would otherwise be read
    // back as whichever the font lists first.
    std::vector<cairo_glyph_t>& list = scratch.list;
    std::vector<cairo_text_cluster_t>& clusters = scratch.clusters;
    std::string& utf8 = scratch.utf8;
    list.clear();
    clusters.clear();
    utf8.clear();
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
      const text::Glyph& g = glyphs[i];
      if (g.slot != slot || !Inked(g)) continue;
      list.push_back(cairo_glyph_t{g.index, xs[i], 0.0});
      if (!characters) continue;
      const std::string ch = text::EncodeUtf8(std::u32string_view(&g.ch, 1));
      utf8 += ch;
      clusters.push_back(cairo_text_cluster_t{static_cast<int>(ch.size()), 1});
    }
    if (list.empty()) continue;
    const detail::FaceSubset* subset = subsetFor(*src);
    if (subset != nullptr) {
      for (cairo_glyph_t& g : list) {
        const auto it = subset->index.find(static_cast<std::uint32_t>(g.index));
        g.index = it != subset->index.end() ? it->second : 0;
      }
    }
    cairo_font_face_t* face = subset != nullptr ? subset->face : Faces().get(*src);
    if (face == nullptr) continue;
    cairo_set_font_face(cr_, face);
    cairo_matrix_t fm;
    cairo_matrix_init(&fm, m.em * m.xScale, 0, src->syntheticItalic ? -0.2 * m.em : 0.0, m.em, 0, 0);
    cairo_set_font_matrix(cr_, &fm);
    if (characters) {
      cairo_show_text_glyphs(cr_, utf8.data(), static_cast<int>(utf8.size()), list.data(),
                             static_cast<int>(list.size()), clusters.data(),
                             static_cast<int>(clusters.size()), static_cast<cairo_text_cluster_flags_t>(0));
    } else {
      cairo_show_glyphs(cr_, list.data(), static_cast<int>(list.size()));
    }
  }
  if (run.font.underline && total != 0) {
    cairo_rectangle(cr_, 0, m.underlinePosition, total, std::max(m.underlineThickness, 1.0));
    cairo_fill(cr_);
  }
  if (run.font.strikeOut && total != 0) {
    cairo_rectangle(cr_, 0, -m.strikeOutPosition, total, std::max(m.strikeOutThickness, 1.0));
    cairo_fill(cr_);
  }
  cairo_restore(cr_);
}

void CairoCanvas::drawImage(const Image& image, const Rect& src, const Rect& dst, const State& state) {
  if (image.pixels == nullptr || image.width <= 0 || image.height <= 0 || image.stride < image.width * 4 ||
      src.empty() || dst.empty())
    return;
  const long long srcW = static_cast<long long>(src.right) - src.left;
  const long long srcH = static_cast<long long>(src.bottom) - src.top;
  if (srcW > kMaxSurfaceSide || srcH > kMaxSurfaceSide || finished_) return;
  // A raster paints the source rectangle straight from the image's pixels
  // when it lies inside the image (opaque pixels through RGB24, which
  // ignores their top byte); otherwise the rectangle is copied, parts outside
  // the image staying transparent and leaving the destination untouched.
  const bool inside = src.left >= 0 && src.top >= 0 && src.right <= image.width && src.bottom <= image.height;
  if ((kind_ == Kind::Image || kind_ == Kind::Pixels) && pending_ == nullptr && inside && !image.bottomUp) {
    auto* first = const_cast<unsigned char*>(reinterpret_cast<const unsigned char*>(image.pixels)) +
                  static_cast<std::ptrdiff_t>(src.top) * image.stride +
                  static_cast<std::ptrdiff_t>(src.left) * 4;
    cairo_surface_t* view = cairo_image_surface_create_for_data(
        first, image.premultiplied ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, static_cast<int>(srcW),
        static_cast<int>(srcH), image.stride);
    if (cairo_surface_status(view) == CAIRO_STATUS_SUCCESS) {
      paintImage(view, srcW, srcH, dst, state);
      cairo_surface_destroy(view);
      return;
    }
    cairo_surface_destroy(view);
  }
  cairo_surface_t* tmp =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(srcW), static_cast<int>(srcH));
  if (cairo_surface_status(tmp) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(tmp);
    return;
  }
  cairo_surface_flush(tmp);
  unsigned char* data = cairo_image_surface_get_data(tmp);
  const int stride = cairo_image_surface_get_stride(tmp);
  for (int y = 0; y < srcH; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    const long long sy = src.top + static_cast<long long>(y);
    for (int x = 0; x < srcW; ++x) {
      const long long sx = src.left + static_cast<long long>(x);
      if (sx < 0 || sy < 0 || sx >= image.width || sy >= image.height) {
        row[x] = 0;
      } else {
        const std::uint32_t px = image.at(static_cast<int>(sx), static_cast<int>(sy));
        row[x] = image.premultiplied ? px : (0xFF000000u | (px & 0x00FFFFFFu));
      }
    }
  }
  cairo_surface_mark_dirty(tmp);
  if (output_ != nullptr &&
      !keepWriterRoom(static_cast<std::size_t>(srcW) * static_cast<std::size_t>(srcH) * kWriterBytesPerPixel +
                      kWriterMargin)) {
    cairo_surface_destroy(tmp);
    throw std::bad_alloc();
  }
  if (pending_ != nullptr) {
    // Kept as the copy made here: the whole of it, with alpha.
    const Image copy{reinterpret_cast<const std::uint32_t*>(data),
                     static_cast<int>(srcW),
                     static_cast<int>(srcH),
                     stride,
                     false,
                     true};
    pending_->drawImage(copy, Rect{0, 0, copy.width, copy.height}, dst, state);
    cairo_surface_destroy(tmp);
    return;
  }
  paintImage(tmp, srcW, srcH, dst, state);
  cairo_surface_destroy(tmp);
}

void CairoCanvas::paintImage(cairo_surface_t* source, long long srcW, long long srcH, const Rect& dst,
                             const State& state) {
  if (!beginPaint(state, dst.left, dst.top, dst.right, dst.bottom)) return;
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_new_path(cr_);
  cairo_rectangle(cr_, dst.left, dst.top, static_cast<double>(dst.right) - dst.left,
                  static_cast<double>(dst.bottom) - dst.top);
  cairo_clip(cr_);
  cairo_translate(cr_, dst.left, dst.top);
  cairo_scale(cr_, (static_cast<double>(dst.right) - dst.left) / static_cast<double>(srcW),
              (static_cast<double>(dst.bottom) - dst.top) / static_cast<double>(srcH));
  cairo_set_source_surface(cr_, source, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
  cairo_paint(cr_);
  cairo_restore(cr_);
}

bool CairoCanvas::drawVectors(const std::shared_ptr<const VectorDrawing>& drawing, Point from, Point to,
                              const State& state) {
  if (drawing == nullptr) return false;
  if (pending_ != nullptr) return finished_ || pending_->drawVectors(drawing, from, to, state);
  const double x0 = std::min(from.x, to.x), y0 = std::min(from.y, to.y);
  const double x1 = std::max(from.x, to.x), y1 = std::max(from.y, to.y);
  if (!(x0 < x1) || !(y0 < y1) || !(x1 - x0 < kCoordLimit) || !(y1 - y0 < kCoordLimit)) return true;
  // The surface's units a device pixel takes: the recording is made in them.
  double sx = 1, sy = 0, tx = 0, ty = 1;
  cairo_user_to_device_distance(cr_, &sx, &sy);
  cairo_user_to_device_distance(cr_, &tx, &ty);
  const double across = std::hypot(sx, sy), down = std::hypot(tx, ty);
  cairo_surface_t* painted = vectorsPainted(drawing, (x1 - x0) * across, (y1 - y0) * down, dot_ * across);
  if (painted == nullptr) return false;
  if (!beginPaint(state, x0, y0, x1, y1)) return true;
  cairo_new_path(cr_);
  cairo_rectangle(cr_, x0, y0, x1 - x0, y1 - y0);
  cairo_clip(cr_);
  cairo_translate(cr_, from.x, from.y);
  cairo_scale(cr_, (to.x < from.x ? -1.0 : 1.0) / across, (to.y < from.y ? -1.0 : 1.0) / down);
  cairo_set_source_surface(cr_, painted, 0, 0);
  cairo_paint(cr_);
  cairo_restore(cr_);
  return true;
}

cairo_surface_t* CairoCanvas::vectorsPainted(const std::shared_ptr<const VectorDrawing>& drawing,
                                             double width, double height, double dot) {
  const auto key = std::make_tuple(drawing.get(), width, height);
  const auto found = vectorsPainted_.find(key);
  if (found != vectorsPainted_.end()) return found->second.painted;
  // Painted once into a recording of its own: what a drawing does to cairo's
  // state stays there, and a vector file takes the recording as one object
  // however often the page shows it. The recording is in the surface's own
  // units and put into it unscaled (cairo 1.16 writes a recording's clips
  // into a PDF file's object only where it is put at about its own scale).
  const cairo_rectangle_t extents{0, 0, width, height};
  cairo_surface_t* painted = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
  cairo_t* cr = cairo_create(painted);
  const bool ok = drawing->paintChecked(cr, width, height, dot) && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  if (!ok) {
    cairo_surface_destroy(painted);
    painted = nullptr;
  }
  vectorsPainted_.emplace(key, PaintedVectors{drawing, painted});
  return painted;
}

bool CairoCanvas::readPixels(const Rect& r, std::uint32_t* out) const {
  if (out == nullptr || r.empty() || (kind_ != Kind::Image && kind_ != Kind::Pixels)) return false;
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  if (data == nullptr) return false;
  const int stride = cairo_image_surface_get_stride(surface_);
  const int w = r.right - r.left;
  for (int y = r.top; y < r.bottom; ++y) {
    std::uint32_t* dst = out + static_cast<std::ptrdiff_t>(y - r.top) * w;
    const bool rowInside = y >= bandTop_ && y < bandEnd_;
    const int row = bottomUp_ ? height_ - 1 - y : y;
    for (int x = r.left; x < r.right; ++x) {
      if (!rowInside || x < 0 || x >= width_) {
        dst[x - r.left] = 0;  // outside the surface reads as black
      } else {
        const auto* src =
            reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
        dst[x - r.left] = src[x] & 0x00FFFFFFu;
      }
    }
  }
  return true;
}

const std::uint32_t* CairoCanvas::pixelRow(int y) const {
  if ((kind_ != Kind::Image && kind_ != Kind::Pixels) || y < bandTop_ || y >= bandEnd_) return nullptr;
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  if (data == nullptr) return nullptr;
  const int row = bottomUp_ ? height_ - 1 - y : y;
  return reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) *
                                                           cairo_image_surface_get_stride(surface_));
}

// Cairo sets the unused top byte of every pixel it paints; a bitmap's bits
// keep it zero, so it is cleared once the drawing is flushed.
void CairoCanvas::flush() {
  if (finished_) return;
  cairo_surface_flush(surface_);
  if (kind_ != Kind::Pixels || !dirty_) return;
  dirty_ = false;
  unsigned char* data = cairo_image_surface_get_data(surface_);
  if (data == nullptr) return;
  const int stride = cairo_image_surface_get_stride(surface_);
  for (int y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < width_; ++x) row[x] &= 0x00FFFFFFu;
  }
  cairo_surface_mark_dirty(surface_);
}

bool CairoCanvas::writePng(const std::string& path, std::string* pError) {
  if ((kind_ != Kind::Image && kind_ != Kind::Pixels) || bandTop_ != 0 || bandEnd_ != height_) {
    if (pError != nullptr) *pError = "not a whole raster";
    return false;
  }
  cairo_surface_flush(surface_);
  return WritePngFile(path, cairo_image_surface_get_data(surface_), width_, height_,
                      cairo_image_surface_get_stride(surface_), bottomUp_, pError, resolution_);
}

void CairoCanvas::newPage() {
  if (finished_ || (kind_ != Kind::Pdf && kind_ != Kind::Svg)) return;
  if (pending_ != nullptr) {
    pageEnds_.push_back(pending_->records().size());
    return;
  }
  cairo_show_page(cr_);
}

const detail::FaceSubset* CairoCanvas::subsetFor(const text::FaceSource& src) const {
  if (subsetFaces_.empty()) return nullptr;
  const auto it = subsetFaces_.find(KeyOf(src));
  return it != subsetFaces_.end() ? it->second.get() : nullptr;
}

bool CairoCanvas::paintKeptImage(const Record& r) {
  const int w = r.src.right - r.src.left, h = r.src.bottom - r.src.top;
  if (!r.premultiplied || w <= 0 || h <= 0 || w > kMaxSurfaceSide || h > kMaxSurfaceSide ||
      r.pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
    return false;
  // cairo only reads a source's pixels.
  cairo_surface_t* view = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(r.pixels.data())), CAIRO_FORMAT_ARGB32, w,
      h, w * 4);
  const bool made = cairo_surface_status(view) == CAIRO_STATUS_SUCCESS;
  if (made) paintImage(view, w, h, r.dst, r.state);
  cairo_surface_destroy(view);
  return made;
}

bool CairoCanvas::roomForPending() const {
  // Each picture is read in place; the writer converts one at a time.
  std::size_t most = 0;
  for (const Record& r : pending_->records())
    if (r.type == Record::Type::Image) most = std::max(most, r.pixels.size());
  const std::size_t bytes = most * kWriterBytesPerPixel + kWriterMargin * 2;
  void* room = ::mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (room == MAP_FAILED) return false;
  ::munmap(room, bytes);
  return true;
}

void CairoCanvas::paintPending() {
  painted_ = std::move(pending_);
  const RecordingCanvas* pages = painted_.get();
  // The glyphs each face draws, found as drawText finds them.
  // Each run is shaped once, here, and painted below as shaped.
  const std::vector<Record>& records = pages->records();
  std::vector<ShapedRun> shapedRuns(records.size());
  std::map<FaceKey, std::pair<text::FaceSource, std::set<std::uint32_t>>> used;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].type != Record::Type::Text) continue;
    const ShapedRun& shaped = shapedRuns[i] = ShapeText(records[i].text);
    for (int slot = 0; slot < 2; ++slot) {
      const text::FaceSource* src = shaped.font->Face(slot);
      if (src == nullptr || src->file.empty()) continue;
      std::set<std::uint32_t>* glyphs = nullptr;
      for (const text::Glyph& g : *shaped.glyphs) {
        if (g.slot != slot || !Inked(g)) continue;
        if (glyphs == nullptr) {
          auto& entry = used[KeyOf(*src)];
          entry.first = *src;
          glyphs = &entry.second;
        }
        glyphs->insert(g.index);
      }
    }
  }
  // A face that cannot be cut is embedded whole, as before.
  for (const auto& [key, entry] : used) {
    auto subset = std::make_unique<detail::FaceSubset>();
    if (detail::SubsetFace(entry.first, entry.second, subset.get())) subsetFaces_[key] = std::move(subset);
  }

  std::size_t page = 0;
  for (std::size_t i = 0; i <= records.size(); ++i) {
    while (page < pageEnds_.size() && pageEnds_[page] == i) {
      cairo_show_page(cr_);
      ++page;
    }
    if (i == records.size()) break;
    const Record& r = records[i];
    switch (r.type) {
      case Record::Type::Shape:
        drawShape(r.shape, r.pen, r.brush, r.state);
        break;
      case Record::Type::Rects:
        fillRects(r.rects, r.brush, r.state);
        break;
      case Record::Type::Text:
        paintText(r.text, shapedRuns[i], r.state);
        break;
      case Record::Type::Image:
        if (!paintKeptImage(r)) r.DrawImageOn(*this);
        break;
      case Record::Type::Vectors:
        r.DrawVectorsOn(*this);
        break;
    }
  }
  pageEnds_.clear();
}

void CairoCanvas::discard() {
  if (finished_ || output_ == nullptr) return;
  pending_.reset();
  finished_ = true;
  // The surface writes its ending into the temporary file, which then goes.
  freeWriterRoom();
  cairo_surface_finish(surface_);
  output_.reset();
}

bool CairoCanvas::finish() {
  if (!finished_) {
    // cairo cannot run out of memory cleanly while it paints and writes a
    // file (it crashes): what that takes is had before it starts, or the
    // file is not written.
    freeWriterRoom();
    if (pending_ != nullptr && !roomForPending()) {
      pending_.reset();
      fileFailed_ = true;
      fileError_ = "out of memory: no room to write the file's pictures";
    }
    if (pending_ != nullptr) paintPending();
    finished_ = true;
    cairo_surface_flush(surface_);
    if ((kind_ == Kind::Pdf || kind_ == Kind::Svg) && !borrowed_) cairo_surface_finish(surface_);
    painted_.reset();
    if (output_ != nullptr) {
      // The new file replaces the old only when all of it was written; after
      // a failed write Commit gives the system's reason and keeps the old.
      if (ok() || output_->WriteFailed())
        fileFailed_ = !output_->Commit(&fileError_);
      else
        fileFailed_ = true;
      output_.reset();
    }
  }
  return ok();
}

}  // namespace md::canvas
