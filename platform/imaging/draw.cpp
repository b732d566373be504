// Filtered scaling of a picture onto the visible part of a device rectangle.
#include "platform/imaging/draw.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <new>
#include <vector>

#include "platform/imaging/drawlistcost.h"
#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilevectors.h"
#include "platform/imaging/protocol/answer.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace md::imaging {
namespace {

// The source pixels one output pixel takes, with their weights (sum 1).
struct Taps {
  int first = 0;
  std::vector<float> weights;
};

// For output pixels [out0, out1) of an axis on which source coordinate u
// (pixel i covers [i, i + 1)) lands at device p0 + u * (p1 - p0) / n.
std::vector<Taps> AxisTaps(int out0, int out1, double p0, double p1, int n) {
  std::vector<Taps> taps(static_cast<std::size_t>(out1 - out0));
  const double perSource = (p1 - p0) / n;  // device pixels per source pixel, signed
  const double scale = std::fabs(perSource);
  for (int o = out0; o < out1; ++o) {
    Taps& t = taps[static_cast<std::size_t>(o - out0)];
    if (scale >= 1.0) {
      // Enlarging: linear interpolation between the two nearest centres.
      const double u = (o + 0.5 - p0) / perSource - 0.5;
      const double f0 = std::floor(u);
      const double f = u - f0;
      const int i0 = std::clamp(static_cast<int>(f0), 0, n - 1);
      const int i1 = std::clamp(static_cast<int>(f0) + 1, 0, n - 1);
      t.first = std::min(i0, i1);
      if (i0 == i1) {
        t.weights = {1.0f};
      } else {
        t.weights = {static_cast<float>(1.0 - f), static_cast<float>(f)};
      }
    } else {
      // Shrinking: the average of the source area the output pixel covers.
      double a = (o - p0) / perSource, b = (o + 1 - p0) / perSource;
      if (a > b) std::swap(a, b);
      a = std::clamp(a, 0.0, static_cast<double>(n));
      b = std::clamp(b, 0.0, static_cast<double>(n));
      int i0 = static_cast<int>(std::floor(a));
      int i1 = static_cast<int>(std::ceil(b));
      i0 = std::clamp(i0, 0, n - 1);
      i1 = std::clamp(i1, i0 + 1, n);
      t.first = i0;
      double total = 0.0;
      for (int i = i0; i < i1; ++i) {
        const double w = std::min<double>(b, i + 1) - std::max<double>(a, i);
        t.weights.push_back(static_cast<float>(std::max(w, 0.0)));
        total += std::max(w, 0.0);
      }
      if (total <= 0.0) {
        t.weights.assign(t.weights.size(), 0.0f);
        t.weights[0] = 1.0f;
      } else {
        for (float& w : t.weights) w = static_cast<float>(w / total);
      }
    }
  }
  return taps;
}

// Four channels of one pixel, lowest byte first (b, g, r, a), computed
// together.
using Channels = float __attribute__((vector_size(16)));
using IntChannels = int __attribute__((vector_size(16)));

Channels Unpack(std::uint32_t p) {
  const IntChannels c{static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                      static_cast<int>((p >> 16) & 0xFF), static_cast<int>(p >> 24)};
  return __builtin_convertvector(c, Channels);
}

std::uint32_t Pack(Channels v) {
  auto c = [](float x) { return static_cast<std::uint32_t>(std::clamp(static_cast<int>(x + 0.5f), 0, 255)); };
  return (c(v[3]) << 24) | (c(v[2]) << 16) | (c(v[1]) << 8) | c(v[0]);
}

struct Row {
  int index = 0;
  std::vector<Channels> values;  // one per output column
};

// Pictures carry no detail finer than this on any device.
constexpr int kMaxGridDpi = 600;

// Cells of the picture's grid across `pixels` device pixels of a device of
// `dpi` (at least one; one a pixel up to kMaxGridDpi).
int GridCells(int pixels, int dpi) {
  if (dpi <= kMaxGridDpi) return pixels;
  const long long cells = (static_cast<long long>(pixels) * kMaxGridDpi + dpi - 1) / dpi;
  return static_cast<int>(std::clamp<long long>(cells, 1, pixels));
}

struct DeleteRgn {
  HRGN rgn;
  ~DeleteRgn() {
    if (rgn != nullptr) DeleteObject(rgn);
  }
};

// The picture resampled onto an outW x outH grid over the visible device
// rectangle, the picture's corners landing on (p0x, p0y) and (p1x, p1y).
// Pixels to resample: rows top-down, premultiplied 0xAARRGGBB.
struct Source {
  const std::uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  bool hasAlpha = false;
};

std::vector<std::uint32_t> Resample(const Source& bitmap, double p0x, double p0y, double p1x, double p1y,
                                    const canvas::Rect& visible, int outW, int outH, double cellW,
                                    double cellH) {
  const std::vector<Taps> cols =
      AxisTaps(0, outW, (p0x - visible.left) / cellW, (p1x - visible.left) / cellW, bitmap.width);
  const std::vector<Taps> rows =
      AxisTaps(0, outH, (p0y - visible.top) / cellH, (p1y - visible.top) / cellH, bitmap.height);

  // Rows are scaled across first, each source row once, and kept while the
  // output rows still need them.
  std::deque<Row> window;
  const bool downward = p1y > p0y;
  std::vector<std::vector<Channels>> spare;  // buffers of rows no longer needed
  auto across = [&](int sy) -> const std::vector<Channels>& {
    for (const Row& r : window) {
      if (r.index == sy) return r.values;
    }
    Row row;
    row.index = sy;
    if (!spare.empty()) {
      row.values = std::move(spare.back());
      spare.pop_back();
    }
    row.values.resize(static_cast<std::size_t>(outW));
    const std::uint32_t* src =
        bitmap.pixels + static_cast<std::size_t>(sy) * static_cast<std::size_t>(bitmap.width);
    for (int ox = 0; ox < outW; ++ox) {
      const Taps& t = cols[static_cast<std::size_t>(ox)];
      Channels sum = {0, 0, 0, 0};
      for (std::size_t k = 0; k < t.weights.size(); ++k)
        sum += t.weights[k] * Unpack(src[static_cast<std::size_t>(t.first) + k]);
      row.values[static_cast<std::size_t>(ox)] = sum;
    }
    window.push_back(std::move(row));
    return window.back().values;
  };

  std::vector<std::uint32_t> out(static_cast<std::size_t>(outW) * static_cast<std::size_t>(outH));
  std::vector<Channels> acc(static_cast<std::size_t>(outW));
  for (int oy = 0; oy < outH; ++oy) {
    const Taps& t = rows[static_cast<std::size_t>(oy)];
    // Output rows run through the source in one direction: rows behind this
    // output row's taps are not needed again.
    const int lo = t.first, hi = t.first + static_cast<int>(t.weights.size());
    for (auto it = window.begin(); it != window.end();) {
      if (downward ? it->index < lo : it->index >= hi) {
        spare.push_back(std::move(it->values));
        it = window.erase(it);
      } else {
        ++it;
      }
    }
    std::fill(acc.begin(), acc.end(), Channels{0, 0, 0, 0});
    for (std::size_t k = 0; k < t.weights.size(); ++k) {
      const std::vector<Channels>& v = across(t.first + static_cast<int>(k));
      const float w = t.weights[k];
      for (std::size_t i = 0; i < acc.size(); ++i) acc[i] += w * v[i];
    }
    std::uint32_t* dst = out.data() + static_cast<std::size_t>(oy) * static_cast<std::size_t>(outW);
    const std::uint32_t opaque = bitmap.hasAlpha ? 0u : 0xFF000000u;
    for (int ox = 0; ox < outW; ++ox) dst[ox] = Pack(acc[static_cast<std::size_t>(ox)]) | opaque;
  }
  return out;
}

std::atomic<std::size_t> g_vectorPaints{0};

// Draws the metafile's vectors as the canvas takes them, its corners on
// `from` and `to`: its list for every size, or the one asked for at this box
// (kept with the pictures), within this thread's drawing's time for
// metafiles. False, with nothing drawn, when that is spent (*spent) or the
// list cannot be had or painted (*why).
bool DrawVectors(canvas::Canvas* target, HDC hdc, const Bitmap& bitmap, canvas::Point from, canvas::Point to,
                 const canvas::State& state, std::string* why, bool* spent) {
  if (detail::MetafileTimeSpent()) {
    *spent = true;
    return false;
  }
  std::shared_ptr<const canvas::VectorDrawing> drawing =
      bitmap.vectors != nullptr ? bitmap.vectors->Drawing() : nullptr;
  if (drawing == nullptr) {
    // Its pictures at most at 600 dpi of the box.
    const int wide = static_cast<int>(std::min(std::fabs(to.x - from.x), 2147483647.0));
    const int high = static_cast<int>(std::min(std::fabs(to.y - from.y), 2147483647.0));
    const std::int64_t cellsWide = GridCells(std::max(wide, 1), GetDeviceCaps(hdc, LOGPIXELSX));
    const std::int64_t cellsHigh = GridCells(std::max(high, 1), GetDeviceCaps(hdc, LOGPIXELSY));
    ImageCache& cache = ImageCache::Shared();
    std::shared_ptr<const MetafileVectors> vectors = cache.FindList(bitmap.id.value(), cellsWide, cellsHigh);
    if (vectors == nullptr) {
      std::string error;
      vectors = detail::ListMetafile(bitmap, cellsWide, cellsHigh, &error, spent);
      if (vectors == nullptr) {
        *why = error;
        return false;
      }
      cache.KeepList(bitmap.id.value(), cellsWide, cellsHigh, vectors);
    }
    if (!vectors->Readable()) {
      *why = vectors->Refusal();
      return false;
    }
    drawing = vectors->Drawing();
  }
  // A list that would cost more than the budget to paint into this box,
  // write and view is drawn from its pixels instead.
  const auto* list = dynamic_cast<const DrawListDrawing*>(drawing.get());
  const double wide = std::fabs(to.x - from.x), high = std::fabs(to.y - from.y);
  if (list != nullptr && !CostOfList(*list->List(), wide, high, target->vectorDot()).WithinBudget()) {
    *why = "its drawing as vectors would cost more to print than a picture may";
    return false;
  }
  const detail::ChargedMetafileTime charged;
  if (!target->drawVectors(drawing, from, to, state)) {
    *why = "its drawing cannot be painted";
    return false;
  }
  ++g_vectorPaints;
  // What its paint leaves out, said now: a vector file paints when it ends.
  if (list != nullptr && PaintsLeftOut(list->List(), wide, high, target->vectorDot()) > 0)
    *why = "a paint squeezed past what a raster can take is left out";
  return true;
}

// Puts the metafile's painting by the helper over the box, its corners on
// `from` and `to`, on a raster: the whole box when one run paints it, else
// its visible part, in bands of whole rows where that is too large for one.
// Each is kept with the pictures, while not too large, by the box's size and
// the part painted. "" when drawn; else why it was not (then it may be drawn
// in part).
std::string PaintOnRaster(canvas::Canvas* target, const Bitmap& bitmap, canvas::Point from, canvas::Point to,
                          const canvas::Rect& visible, const canvas::State& state, bool* spent) {
  // The corners are whole device pixels (LPtoDP).
  const auto x0 = static_cast<std::int64_t>(std::min(from.x, to.x)),
             y0 = static_cast<std::int64_t>(std::min(from.y, to.y));
  detail::MetafileBox box;
  box.size = {static_cast<std::int64_t>(to.x - from.x), static_cast<std::int64_t>(to.y - from.y)};
  box.window = {0, 0, std::abs(box.size[0]), std::abs(box.size[1])};
  constexpr std::int64_t kMaxSide = 32767;  // the largest raster cairo makes
  if (box.Pixels() > detail::kMetafilePaintPixels || box.window[2] > kMaxSide || box.window[3] > kMaxSide)
    box.window = {visible.left - x0, visible.top - y0, visible.right - x0, visible.bottom - y0};
  const std::int64_t width = box.window[2] - box.window[0];
  const std::int64_t rows = std::max<std::int64_t>(1, detail::kMetafilePaintPixels / width);
  const std::int64_t top = box.window[1], bottom = box.window[3];
  ImageCache& cache = ImageCache::Shared();
  for (std::int64_t band = top; band < bottom; band += rows) {
    box.window[1] = band;
    box.window[3] = std::min(bottom, band + rows);
    const PaintingPlace place{box.size[0],   box.size[1],   box.window[0],
                              box.window[1], box.window[2], box.window[3]};
    ResampledPixels painting = cache.FindPainting(bitmap.id.value(), place);
    if (painting == nullptr) {
      std::string why;
      painting = detail::PaintMetafile(bitmap, box, &why, spent);
      if (painting == nullptr) return why;
      ++g_vectorPaints;
      cache.KeepPainting(bitmap.id.value(), place, painting);
    }
    const canvas::Rect dst{static_cast<int>(std::max<std::int64_t>(visible.left, x0 + box.window[0])),
                           static_cast<int>(std::max<std::int64_t>(visible.top, y0 + box.window[1])),
                           static_cast<int>(std::min<std::int64_t>(visible.right, x0 + box.window[2])),
                           static_cast<int>(std::min<std::int64_t>(visible.bottom, y0 + box.window[3]))};
    if (dst.empty()) continue;
    const int w = static_cast<int>(width), h = static_cast<int>(box.window[3] - box.window[1]);
    const int left = static_cast<int>(x0 + box.window[0]), up = static_cast<int>(y0 + box.window[1]);
    const canvas::Image image{painting->data(), w, h, w * 4, false, true};
    target->drawImage(image, canvas::Rect{dst.left - left, dst.top - up, dst.right - left, dst.bottom - up},
                      dst, state);
  }
  return "";
}

// Draws the pixels over the visible part of the box whose corners are `from`
// and `to`, resampled on a grid of at most kMaxGridDpi (on a finer device, a
// vector file's grid of 0.01 mm, each cell spans several device pixels and
// the canvas stretches the cells over the visible rectangle). The same
// picture on the same part of a box of the same size it was drawn onto
// before, wherever that lay, is drawn from the pixels resampled then.
void DrawPixels(HDC hdc, canvas::Canvas* target, const Source& source, std::uint64_t picture,
                canvas::Point from, canvas::Point to, const canvas::Rect& visible,
                const canvas::State& state) {
  const int visW = visible.right - visible.left, visH = visible.bottom - visible.top;
  const int outW = GridCells(visW, GetDeviceCaps(hdc, LOGPIXELSX));
  const int outH = GridCells(visH, GetDeviceCaps(hdc, LOGPIXELSY));
  const double cellW = static_cast<double>(visW) / outW, cellH = static_cast<double>(visH) / outH;
  // The corners are whole device pixels (LPtoDP).
  const auto x0 = static_cast<std::int64_t>(from.x), y0 = static_cast<std::int64_t>(from.y);
  const ResamplingPlace place{static_cast<std::int64_t>(to.x) - x0,
                              static_cast<std::int64_t>(to.y) - y0,
                              visible.left - x0,
                              visible.top - y0,
                              visible.right - x0,
                              visible.bottom - y0,
                              outW,
                              outH};
  ImageCache& cache = ImageCache::Shared();
  ResampledPixels pixels = cache.FindResampling(picture, place);
  if (pixels == nullptr) {
    pixels = std::make_shared<const std::vector<std::uint32_t>>(
        Resample(source, from.x, from.y, to.x, to.y, visible, outW, outH, cellW, cellH));
    cache.KeepResampling(picture, place, pixels);
  }
  const canvas::Image view{pixels->data(), outW, outH, outW * 4, false, source.hasAlpha};
  target->drawImage(view, canvas::Rect{0, 0, outW, outH}, visible, state);
}

// The helper's painting of the metafile at its own size (300 dpi of it),
// kept with the pictures as any painting; painted now, when not kept, only
// when `paint` says so, within the drawing's budget. NULL with why (the
// budget spent, in *spent) when it cannot be had.
ResampledPixels OwnPainting(const Bitmap& bitmap, bool paint, std::string* why, bool* spent) {
  detail::MetafileBox box;
  box.size = {bitmap.width, bitmap.height};
  box.window = {0, 0, bitmap.width, bitmap.height};
  const PaintingPlace place{bitmap.width, bitmap.height, 0, 0, bitmap.width, bitmap.height};
  ImageCache& cache = ImageCache::Shared();
  ResampledPixels pixels = cache.FindPainting(bitmap.id.value(), place);
  if (pixels != nullptr || !paint) return pixels;
  if (detail::MetafileTimeSpent()) {
    *spent = true;
    return nullptr;
  }
  pixels = detail::PaintMetafile(bitmap, box, why, spent);
  if (pixels == nullptr) return nullptr;
  ++g_vectorPaints;
  cache.KeepPainting(bitmap.id.value(), place, pixels);
  return pixels;
}

// Draws a metafile: painted by its helper at the device's own resolution on
// a raster (however small: its pixels averaged would thin its hairlines,
// which are a device pixel wide at every size), drawn from its draw list as
// paths into a vector file. Where that cannot be done, from its painting at
// its own size instead: in a vector file whose list is refused, painted now;
// once the drawing's time for metafiles is spent, or when the helper cannot
// paint it, where that painting is kept. *shortfall says why it was not
// drawn as it means, and whether from those pixels; FALSE when it was not
// drawn at all.
BOOL DrawMetafile(HDC hdc, canvas::Canvas* target, const Bitmap& bitmap, canvas::Point from, canvas::Point to,
                  const canvas::Rect& visible, const canvas::State& state, MetafileShortfall* shortfall) {
  std::string why;
  bool spent = false;
  const bool vectors = target->vectorOutput() == canvas::VectorOutput::Paths;
  if (vectors ? DrawVectors(target, hdc, bitmap, from, to, state, &why, &spent)
              : (why = PaintOnRaster(target, bitmap, from, to, visible, state, &spent)).empty()) {
    shortfall->why = why;  // what a drawing as vectors left out, if anything
    shortfall->partial = !why.empty();
    shortfall->nearestRops = bitmap.metafile->nearestRops.load();
    return TRUE;
  }
  shortfall->spent = spent;
  shortfall->why = spent ? detail::SpentMetafileTime() : why;
  // A list refused (not a run that could not be made) is drawn from the
  // pixels, painted now where they are not kept.
  std::string unpainted;
  bool unpaintedSpent = false;
  const ResampledPixels pixels = OwnPainting(bitmap, vectors && !spent, &unpainted, &unpaintedSpent);
  if (pixels == nullptr) {
    if (unpaintedSpent) {
      shortfall->spent = true;
      shortfall->why = detail::SpentMetafileTime();
    }
    return FALSE;
  }
  shortfall->fromPixels = true;
  shortfall->nearestRops = bitmap.metafile->nearestRops.load();
  DrawPixels(hdc, target, Source{pixels->data(), bitmap.width, bitmap.height, true}, bitmap.id.value(), from,
             to, visible, state);
  return TRUE;
}

}  // namespace

std::string NearestRopsNamed(std::uint32_t nearestRops) {
  static constexpr struct {
    std::uint32_t bit;
    const char* named;
  } kNamed[] = {
      {detail::kNearestSrcInvert, "SRCINVERT as a copy"},
      {detail::kNearestPatInvert, "PATINVERT as a copy"},
      {detail::kNearestXorPen, "R2_XORPEN as a copy"},
      {detail::kNearestDstInvert, "DSTINVERT as black"},
      {detail::kNearestNotPen, "R2_NOT as black"},
      {detail::kNearestSrcPaint, "SRCPAINT as what it makes over black"},
      {detail::kNearestSrcAnd, "SRCAND as what it makes over white"},
      {detail::kNearestMergeCopy, "MERGECOPY as what it makes over white"},
      {detail::kNearestMergePen, "R2_MERGEPEN as what it makes over black"},
      {detail::kNearestMaskPen, "R2_MASKPEN as what it makes over white"},
  };
  std::string out;
  for (const auto& [bit, named] : kNamed)
    if ((nearestRops & bit) != 0) out += (out.empty() ? "" : ", ") + std::string(named);
  return out;
}

std::size_t detail::VectorPaintCount() { return g_vectorPaints.load(); }

BOOL DrawBitmap(HDC hdc, const Bitmap& bitmap, int x, int y, int width, int height, const RECT* clip,
                MetafileShortfall* pShort) {
  // A metafile's pixels are its helper's paintings, had as they are drawn.
  const bool metafile = bitmap.metafile != nullptr;
  if (bitmap.width <= 0 || bitmap.height <= 0 ||
      (!metafile && bitmap.pixels.size() !=
                        static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height)))
    return FALSE;
  canvas::Canvas* target = md::win::GetDCCanvas(hdc);
  if (target == nullptr) return FALSE;
  if (width == 0 || height == 0) return TRUE;

  // The corners on the device. Logical sums are taken in 64 bits and clamped.
  auto clamp32 = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); };
  POINT corners[2] = {
      {x, y}, {clamp32(static_cast<long long>(x) + width), clamp32(static_cast<long long>(y) + height)}};
  if (!LPtoDP(hdc, corners, 2)) return FALSE;
  const double p0x = corners[0].x, p0y = corners[0].y, p1x = corners[1].x, p1y = corners[1].y;
  if (p0x == p1x || p0y == p1y) return TRUE;

  // The clip: the context's, narrowed to the given rectangle.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  DeleteRgn own{region};
  bool clipped = GetClipRgn(hdc, region) == 1;
  if (clip != nullptr) {
    POINT c[2] = {{clip->left, clip->top}, {clip->right, clip->bottom}};
    LPtoDP(hdc, c, 2);
    HRGN rect = CreateRectRgn(std::min(c[0].x, c[1].x), std::min(c[0].y, c[1].y), std::max(c[0].x, c[1].x),
                              std::max(c[0].y, c[1].y));
    DeleteRgn ownRect{rect};
    if (clipped) {
      CombineRgn(region, region, rect, RGN_AND);
    } else {
      CombineRgn(region, rect, nullptr, RGN_COPY);
      clipped = true;
    }
  }
  canvas::State state;
  state.clip.active = clipped;
  canvas::Rect visible{static_cast<int>(std::min(p0x, p1x)), static_cast<int>(std::min(p0y, p1y)),
                       static_cast<int>(std::max(p0x, p1x)), static_cast<int>(std::max(p0y, p1y))};
  visible.left = std::max(visible.left, 0);
  visible.top = std::max(visible.top, 0);
  visible.right = std::min(visible.right, target->width());
  visible.bottom = std::min(visible.bottom, target->height());
  if (clipped) {
    canvas::Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const RECT& r : md::win::GetRegionRects(region)) {
      state.clip.rects.push_back({r.left, r.top, r.right, r.bottom});
      box.left = std::min<int>(box.left, r.left);
      box.top = std::min<int>(box.top, r.top);
      box.right = std::max<int>(box.right, r.right);
      box.bottom = std::max<int>(box.bottom, r.bottom);
    }
    if (state.clip.rects.empty()) return TRUE;
    visible.left = std::max(visible.left, box.left);
    visible.top = std::max(visible.top, box.top);
    visible.right = std::min(visible.right, box.right);
    visible.bottom = std::min(visible.bottom, box.bottom);
  }
  if (visible.empty()) return TRUE;

  if (metafile) {
    MetafileShortfall ignored;
    return DrawMetafile(hdc, target, bitmap, canvas::Point{p0x, p0y}, canvas::Point{p1x, p1y}, visible, state,
                        pShort != nullptr ? pShort : &ignored);
  }
  DrawPixels(hdc, target, Source{bitmap.pixels.data(), bitmap.width, bitmap.height, bitmap.hasAlpha},
             bitmap.id.value(), canvas::Point{p0x, p0y}, canvas::Point{p1x, p1y}, visible, state);
  return TRUE;
}

}  // namespace md::imaging
