#include "platform/imaging/helper/emfrops.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>

#include "platform/imaging/helper/dibpixels.h"
#include "platform/imaging/helper/emfstate.h"
#include "platform/imaging/helper/emfstrings.h"
#include "platform/imaging/protocol/answer.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kBitBlt = 76, kStretchBlt = 77, kStretchDIBits = 81, kComment = 70;
constexpr std::uint32_t kSrcCopy = 0xCC0020, kSrcPaint = 0xEE0086, kSrcAnd = 0x8800C6, kSrcInvert = 0x660046,
                        kNotSrcCopy = 0x330008, kDstInvert = 0x550009, kBlackness = 0x000042,
                        kWhiteness = 0xFF0062;
constexpr std::uint32_t kNoColour = 0xFFFFFFFF;
constexpr std::size_t kMostRecordBytes = std::size_t{1} << 31;

// A blit's place, operation and whole source bitmap (none: `info` null).
struct Blit {
  std::uint32_t bounds[4] = {0, 0, 0, 0};
  std::int32_t x = 0, y = 0, cx = 0, cy = 0;
  std::uint32_t rop = kSrcCopy;
  const std::uint8_t* info = nullptr;
  std::size_t infoBytes = 0;
  const std::uint8_t* bits = nullptr;
  std::size_t bitsBytes = 0;
  bool whole = false;  // the source part is the whole bitmap
};

// The blit record `r` of `bytes` bytes read; false for any other record.
bool ReadBlit(const std::uint8_t* r, std::size_t bytes, Blit* b) {
  const std::uint32_t type = EmfU32(r);
  const auto s32 = [r](std::size_t k) { return static_cast<std::int32_t>(EmfU32(r + k)); };
  // Where the bitmap's offsets, its colours' kind and the source part lie.
  std::size_t bmi = 0, usage = 0, src[4] = {0, 0, 0, 0};
  if (type == kStretchDIBits && bytes >= 80) {
    b->x = s32(24), b->y = s32(28), b->cx = s32(72), b->cy = s32(76), b->rop = EmfU32(r + 68);
    bmi = 48, usage = 64, src[0] = 32, src[1] = 36, src[2] = 40, src[3] = 44;
  } else if ((type == kBitBlt && bytes >= 100) || (type == kStretchBlt && bytes >= 108)) {
    b->x = s32(24), b->y = s32(28), b->cx = s32(32), b->cy = s32(36), b->rop = EmfU32(r + 40);
    bmi = 84, usage = 80, src[0] = 44, src[1] = 48, src[2] = type == kStretchBlt ? 100 : 32,
    src[3] = type == kStretchBlt ? 104 : 36;
  } else {
    return false;
  }
  for (int k = 0; k < 4; ++k) b->bounds[k] = EmfU32(r + 8 + 4 * k);
  const std::size_t info = EmfU32(r + bmi), infoBytes = EmfU32(r + bmi + 4), bits = EmfU32(r + bmi + 8),
                    bitsBytes = EmfU32(r + bmi + 12);
  // A bitmap whose colours index the palette (DIB_PAL_COLORS) is left as it is.
  if (infoBytes < 40 || info > bytes || infoBytes > bytes - info || bits > bytes ||
      bitsBytes > bytes - bits || EmfU32(r + usage) != 0)
    return true;
  b->info = r + info, b->infoBytes = infoBytes, b->bits = r + bits, b->bitsBytes = bitsBytes;
  const auto w = static_cast<std::int32_t>(EmfU32(b->info + 4)),
             h = static_cast<std::int32_t>(EmfU32(b->info + 8));
  b->whole = s32(src[0]) == 0 && s32(src[1]) == 0 && s32(src[2]) == w && s32(src[3]) == std::abs(h);
  return true;
}

// A StretchDIBits of SRCCOPY over the blit's place of a w x h bitmap of 32
// bits, its rows bottom first, each pixel `pixel(x, y)` (y from the top,
// straight 0xAARRGGBB), appended to `out`. A bitmap all transparent is not
// (libemf2svg draws one of no alpha opaque): false.
template <class Pixel>
bool AppendBitmap(const Blit& b, unsigned w, unsigned h, Pixel pixel, std::vector<std::uint8_t>* out) {
  const std::size_t start = out->size(), total = 80 + 40 + std::size_t{4} * w * h;
  out->resize(start + total, 0);
  std::uint8_t* r = out->data() + start;
  const std::uint32_t words[] = {kStretchDIBits,
                                 static_cast<std::uint32_t>(total),
                                 b.bounds[0],
                                 b.bounds[1],
                                 b.bounds[2],
                                 b.bounds[3],
                                 static_cast<std::uint32_t>(b.x),
                                 static_cast<std::uint32_t>(b.y),
                                 0,
                                 0,
                                 w,
                                 h,
                                 80,
                                 40,
                                 120,
                                 4 * w * h,
                                 0,
                                 kSrcCopy,
                                 static_cast<std::uint32_t>(b.cx),
                                 static_cast<std::uint32_t>(b.cy),
                                 40,
                                 w,
                                 h,
                                 0x200001,
                                 0,
                                 4 * w * h};
  for (std::size_t k = 0; k < std::size(words); ++k) EmfPut32(r + 4 * k, words[k]);
  std::uint32_t alpha = 0;
  for (unsigned y = 0; y < h; ++y)
    for (unsigned x = 0; x < w; ++x) {
      const std::uint32_t p = pixel(x, y);
      alpha |= p >> 24;
      EmfPut32(r + 120 + 4 * (std::size_t{h - 1 - y} * w + x), p);
    }
  if (alpha == 0) out->resize(start);
  return alpha != 0;
}

unsigned Channel(std::uint32_t p, int k) { return (p >> (8 * k)) & 0xFF; }

// The straight pixel of alpha `a` that, copied over `below` (0 or 255 in
// each channel), paints the opaque pixel `v`.
std::uint32_t Over(std::uint32_t v, unsigned a, unsigned below) {
  if (a == 0) return 0;
  std::uint32_t p = a << 24;
  for (int k = 0; k < 3; ++k) {
    const int c = static_cast<int>(Channel(v, k)) - static_cast<int>(below * (255 - a) / 255);
    p |= static_cast<std::uint32_t>(std::clamp(c * 255 / static_cast<int>(a), 0, 255)) << (8 * k);
  }
  return p;
}

// The pixel an operation on a bitmap paints, copied.
std::uint32_t Composed(std::uint32_t rop, std::uint32_t v) {
  const unsigned most = std::max({Channel(v, 0), Channel(v, 1), Channel(v, 2)}),
                 least = std::min({Channel(v, 0), Channel(v, 1), Channel(v, 2)});
  if (rop == kSrcAnd) return Over(v, 255 - least, 255);
  if (rop == kSrcPaint || rop == kSrcInvert) return Over(v, most, 0);
  return 0xFF000000 | (~v & 0xFFFFFF);  // NOTSRCCOPY
}

// The bitmap of a blit read, its pixels of four bytes within `*left`
// bytes, which it spends, and within what a record's size can count.
bool ReadPixels(const Blit& b, DibPixels* pixels, std::size_t* left) {
  if (b.info == nullptr || !b.whole || !pixels->ReadApart(b.info, b.infoBytes, b.bits, b.bitsBytes) ||
      pixels->Width() == 0 || pixels->Height() == 0 ||
      pixels->Width() > std::min<std::size_t>(*left, kMostRecordBytes) / 4 / pixels->Height())
    return false;
  *left -= std::size_t{4} * pixels->Width() * pixels->Height();
  return true;
}

}  // namespace

std::uint32_t ComposeEmfRasterOperations(std::vector<std::uint8_t>* copy, std::size_t mostBytes) {
  const std::vector<std::uint8_t>& b = *copy;
  if (b.size() < 56) return 0;
  std::uint32_t nearest = 0;
  std::vector<std::uint8_t> out;
  std::size_t kept = 0, dropped = 0, maskAt = 0, maskBytes = 0, left = mostBytes;
  Blit mask;
  DibPixels maskPixels;
  bool held = false;
  // The mask held painted alone, as SRCPAINT paints it.
  const auto flush = [&] {
    if (!held) return;
    nearest |= kNearestSrcPaint;
    const unsigned w = maskPixels.Width(), h = maskPixels.Height();
    std::vector<std::uint32_t> row(w);
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
               b.begin() + static_cast<std::ptrdiff_t>(maskAt));
    dropped += !AppendBitmap(
        mask, w, h,
        [&](unsigned x, unsigned y) {
          if (x == 0) maskPixels.Row(y, 0, w, row.data());
          return Composed(kSrcPaint, row[x]);
        },
        &out);
    kept = maskAt + maskBytes;
    held = false;
  };
  for (std::size_t at = EmfU32(b.data() + 4), bytes = 0; at <= b.size() && b.size() - at >= 8; at += bytes) {
    const std::uint8_t* r = b.data() + at;
    const std::uint32_t type = EmfU32(r);
    bytes = EmfU32(r + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    if (type == kComment) continue;
    Blit blit;
    if (!ReadBlit(r, bytes, &blit) || blit.rop == kSrcCopy) {
      flush();
      continue;
    }
    DibPixels pixels;
    const bool read = ReadPixels(blit, &pixels, &left);
    const bool image = held && read && blit.rop == kSrcAnd && blit.x == mask.x && blit.y == mask.y &&
                       blit.cx == mask.cx && blit.cy == mask.cy && pixels.Width() == maskPixels.Width() &&
                       pixels.Height() == maskPixels.Height();
    if (!image) flush();
    if (read && blit.rop == kSrcPaint) {
      mask = blit, maskPixels = std::move(pixels), maskAt = at, maskBytes = bytes, held = true;
      continue;
    }
    std::uint32_t fill = kNoColour;
    if (blit.rop == kBlackness || blit.rop == kDstInvert) fill = 0;
    if (blit.rop == kWhiteness) fill = 0xFFFFFF;
    const bool composed =
        blit.rop == kSrcAnd || blit.rop == kSrcPaint || blit.rop == kSrcInvert || blit.rop == kNotSrcCopy;
    if (fill == kNoColour && !(read && composed)) continue;
    if (!image) {
      nearest |= blit.rop == kDstInvert   ? kNearestDstInvert
                 : blit.rop == kSrcInvert ? kNearestSrcInvert
                 : blit.rop == kSrcAnd    ? kNearestSrcAnd
                                          : 0u;
    }
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
               b.begin() + static_cast<std::ptrdiff_t>(image ? maskAt : at));
    if (image) {
      // Both of the same size over the same place: the mask's white is the
      // image's opacity.
      const unsigned w = pixels.Width(), h = pixels.Height();
      std::vector<std::uint32_t> row(w), alpha(w);
      dropped += !AppendBitmap(
          blit, w, h,
          [&](unsigned x, unsigned y) {
            if (x == 0) pixels.Row(y, 0, w, row.data()), maskPixels.Row(y, 0, w, alpha.data());
            const unsigned a = std::max({Channel(alpha[x], 0), Channel(alpha[x], 1), Channel(alpha[x], 2)});
            return (a << 24) | (row[x] & 0xFFFFFF);
          },
          &out);
      out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(maskAt + maskBytes),
                 b.begin() + static_cast<std::ptrdiff_t>(at));
      held = false;
      ++dropped;
    } else if (fill != kNoColour) {
      const std::uint32_t argb = 0xFF000000 | ((fill & 0xFF) << 16) | (fill & 0xFF00) | ((fill >> 16) & 0xFF);
      AppendBitmap(
          blit, 1, 1, [argb](unsigned, unsigned) { return argb; }, &out);
    } else {
      const unsigned w = pixels.Width(), h = pixels.Height();
      std::vector<std::uint32_t> row(w);
      dropped += !AppendBitmap(
          blit, w, h,
          [&](unsigned x, unsigned y) {
            if (x == 0) pixels.Row(y, 0, w, row.data());
            return Composed(blit.rop, row[x]);
          },
          &out);
    }
    kept = at + bytes;
  }
  flush();
  if (kept == 0) return nearest;
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept), b.end());
  EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  EmfPut32(out.data() + 52, EmfU32(out.data() + 52) - static_cast<std::uint32_t>(dropped));
  *copy = std::move(out);
  return nearest;
}

}  // namespace md::imaging::detail

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kSetRop2 = 20, kR2XorPen = 7, kSaveDc = 33, kRestoreDc = 34,
                        kCreateBrushIndirect = 39, kSelectObject = 37, kBeginPath = 59, kEndPath = 60,
                        kSelectClipPath = 67, kIntersectClipRect = 30, kRgnAnd = 1, kBlackBrush = 0x80000004,
                        kPolygon = 3, kPolyPolygon = 8, kRectangle = 43, kEllipse = 42, kPolygon16 = 86,
                        kPolyPolygon16 = 91;

// Records that change the state of the device context and draw nothing:
// objects made, selected and deleted, modes, colours, the mapping, the
// world transform, clips, paths begun and ended, the current position,
// comments.
bool StateOnly(std::uint32_t type) {
  static constexpr std::uint32_t kState[] = {9,  10, 11, 12, 13, 16, 17, 18, 19, 20, 21, 22, 24, 25, 26,
                                             27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 48,
                                             49, 58, 59, 60, 61, 67, 68, 70, 75, 82, 93, 94, 95};
  return std::find(std::begin(kState), std::end(kState), type) != std::end(kState);
}

// The filled shape record `r` appended to the path as records libemf2svg
// adds to a path: a polygon or a set of them as it is, a rectangle or an
// ellipse as a polygon of its corners or of 64 points round it; false for
// any other record.
bool AppendPathShape(const std::uint8_t* r, std::size_t bytes, std::vector<std::uint8_t>* path) {
  const std::uint32_t type = EmfU32(r);
  if (type == kPolygon || type == kPolyPolygon || type == kPolygon16 || type == kPolyPolygon16) {
    path->insert(path->end(), r, r + bytes);
    return true;
  }
  if ((type != kRectangle && type != kEllipse) || bytes < 24) return false;
  double v[4];
  for (int k = 0; k < 4; ++k) v[k] = static_cast<std::int32_t>(EmfU32(r + 8 + 4 * k));
  const std::uint32_t n = type == kRectangle ? 4 : 64;
  const std::size_t start = path->size();
  path->resize(start + 28 + 8 * n);
  std::uint8_t* p = path->data() + start;
  for (std::size_t k = 0; k < 7; ++k)
    EmfPut32(p + 4 * k, k == 0 ? kPolygon : k == 1 ? static_cast<std::uint32_t>(28 + 8 * n) : k == 6 ? n : 0);
  const double cx = (v[0] + v[2]) / 2, cy = (v[1] + v[3]) / 2, rx = (v[2] - v[0]) / 2, ry = (v[3] - v[1]) / 2;
  for (std::uint32_t k = 0; k < n; ++k) {
    const double a = 2 * M_PI * k / n;
    const double x = type == kRectangle ? v[k == 1 || k == 2 ? 2 : 0] : cx + rx * std::cos(a),
                 y = type == kRectangle ? v[k >= 2 ? 3 : 1] : cy + ry * std::sin(a);
    EmfPut32(p + 28 + 8 * k, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(x))));
    EmfPut32(p + 32 + 8 * k, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(y))));
  }
  return true;
}

struct Record {
  std::size_t at = 0, bytes = 0;
  std::uint32_t type = 0;
};

// The upright rectangle a shape record fills (left, top, right, bottom),
// or false.
bool UprightBox(const std::uint8_t* r, std::size_t bytes, std::int32_t box[4]) {
  const std::uint32_t type = EmfU32(r);
  if (type == kRectangle && bytes >= 24) {
    for (int k = 0; k < 4; ++k) box[k] = static_cast<std::int32_t>(EmfU32(r + 8 + 4 * k));
    return true;
  }
  if (type != kPolygon || bytes < 28) return false;
  const std::size_t n = EmfU32(r + 24);
  if (n < 4 || n > (bytes - 28) / 8) return false;
  std::int32_t x[2] = {INT32_MAX, INT32_MIN}, y[2] = {INT32_MAX, INT32_MIN};
  for (std::size_t k = 0; k < n; ++k) {
    const auto px = static_cast<std::int32_t>(EmfU32(r + 28 + 8 * k)),
               py = static_cast<std::int32_t>(EmfU32(r + 32 + 8 * k));
    x[0] = std::min(x[0], px), x[1] = std::max(x[1], px), y[0] = std::min(y[0], py),
    y[1] = std::max(y[1], py);
  }
  // Each edge runs along one side.
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint8_t *p = r + 28 + 8 * k, *q = r + 28 + 8 * ((k + 1) % n);
    const auto px = static_cast<std::int32_t>(EmfU32(p)), py = static_cast<std::int32_t>(EmfU32(p + 4)),
               qx = static_cast<std::int32_t>(EmfU32(q)), qy = static_cast<std::int32_t>(EmfU32(q + 4));
    const bool side = (px == qx && (px == x[0] || px == x[1])) || (py == qy && (py == y[0] || py == y[1]));
    if (!side) return false;
  }
  box[0] = x[0], box[1] = y[0], box[2] = x[1], box[3] = y[1];
  return true;
}

// Whether the records [open, end) (the first a SaveDC) are restored to
// before it by their last RestoreDC alone, SetROP2 records aside.
bool OneSavedState(const std::vector<std::uint8_t>& b, const std::vector<Record>& records, std::size_t open,
                   std::size_t end) {
  std::int64_t depth = 0;
  std::size_t last = open;
  for (std::size_t k = open; k < end; ++k) {
    const std::uint32_t type = records[k].type;
    if (type == kSetRop2) continue;
    if (depth == 0 && k > open) return false;
    if (type == kSaveDc) ++depth;
    if (type == kRestoreDc && records[k].bytes >= 12) {
      const auto which = static_cast<std::int32_t>(EmfU32(b.data() + records[k].at + 8));
      depth = which < 0 ? depth + which : std::min<std::int64_t>(depth, -1);
    }
    if (depth < 0) return false;
    last = k;
  }
  return depth == 0 && records[last].type == kRestoreDc;
}

void PutWords(std::vector<std::uint8_t>* out, std::initializer_list<std::uint32_t> words) {
  for (std::uint32_t v : words) {
    const std::size_t at = out->size();
    out->resize(at + 4);
    EmfPut32(out->data() + at, v);
  }
}

}  // namespace

void ClipEmfXorDrawings(std::vector<std::uint8_t>* copy) {
  const std::vector<std::uint8_t>& b = *copy;
  if (b.size() < 56) return;
  std::vector<Record> records;
  for (std::size_t at = EmfU32(b.data() + 4), bytes = 0; at <= b.size() && b.size() - at >= 8; at += bytes) {
    bytes = EmfU32(b.data() + at + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    records.push_back({at, bytes, EmfU32(b.data() + at)});
  }
  // The mode and the selected brush (solid black or not) after each record.
  std::vector<std::uint32_t> rop(records.size()), savedRop;
  std::vector<bool> black(records.size()), blackBrushes;
  std::vector<std::uint32_t> savedBlack;
  std::uint32_t mode = 13, isBlack = 0;
  for (std::size_t k = 0; k < records.size(); ++k) {
    const std::uint8_t* r = b.data() + records[k].at;
    const std::uint32_t type = records[k].type;
    const std::size_t bytes = records[k].bytes;
    if (type == kSetRop2 && bytes >= 12) mode = EmfU32(r + 8);
    if (type == kSaveDc) savedRop.push_back(mode), savedBlack.push_back(isBlack);
    if (type == kRestoreDc && bytes >= 12) {
      const auto which = static_cast<std::int32_t>(EmfU32(r + 8));
      Restore(&savedRop, which, &mode);
      Restore(&savedBlack, which, &isBlack);
    }
    if (type == kCreateBrushIndirect && bytes >= 24 && EmfU32(r + 8) < (1u << 16)) {
      const std::uint32_t handle = EmfU32(r + 8);
      if (blackBrushes.size() <= handle) blackBrushes.resize(handle + 1, false);
      blackBrushes[handle] = EmfU32(r + 12) == 0 && (EmfU32(r + 16) & 0xFFFFFF) == 0;
    }
    if (type == kSelectObject && bytes >= 12) {
      const std::uint32_t handle = EmfU32(r + 8);
      if (handle < blackBrushes.size() || (handle >= 0x80000000 && handle <= 0x80000005))
        isBlack = handle == kBlackBrush || (handle < blackBrushes.size() && blackBrushes[handle]);
    }
    rop[k] = mode;
    black[k] = isBlack != 0;
  }
  // Runs of records drawn in R2_XORPEN: [first, last) after the record
  // that sets it.
  std::vector<std::uint8_t> out;
  std::size_t kept = 0;
  const auto xorAfter = [&](std::size_t k) { return k < records.size() && rop[k] == kR2XorPen; };
  const auto bytesOf = [&](std::size_t from, std::size_t to) {
    std::vector<std::uint8_t> v;
    for (std::size_t k = from; k < to; ++k)
      if (records[k].type != kSetRop2)
        v.insert(v.end(), b.begin() + static_cast<std::ptrdiff_t>(records[k].at),
                 b.begin() + static_cast<std::ptrdiff_t>(records[k].at + records[k].bytes));
    return v;
  };
  for (std::size_t k = 0; k < records.size(); ++k) {
    if (!xorAfter(k) || (k > 0 && xorAfter(k - 1))) continue;
    // The first drawing, the shapes, the second drawing.
    std::size_t firstEnd = k + 1;
    while (xorAfter(firstEnd)) ++firstEnd;
    std::size_t shapesEnd = firstEnd;
    while (shapesEnd < records.size() && !xorAfter(shapesEnd)) ++shapesEnd;
    std::size_t secondEnd = shapesEnd + 1;
    while (xorAfter(secondEnd)) ++secondEnd;
    if (shapesEnd >= records.size()) break;
    bool shapesOnly = true, hasShape = false, upright = true;
    std::int32_t box[4] = {0, 0, 0, 0};
    std::vector<std::uint8_t> path;
    for (std::size_t s = firstEnd; s < shapesEnd && shapesOnly; ++s) {
      if (StateOnly(records[s].type)) continue;
      shapesOnly = black[s] && AppendPathShape(b.data() + records[s].at, records[s].bytes, &path);
      std::int32_t one[4];
      upright = upright && !hasShape && UprightBox(b.data() + records[s].at, records[s].bytes, one);
      if (upright) std::copy(one, one + 4, box);
      hasShape = true;
    }
    if (!shapesOnly || !hasShape || bytesOf(k + 1, firstEnd) != bytesOf(shapesEnd + 1, secondEnd)) {
      k = firstEnd - 1;
      continue;
    }
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
               b.begin() + static_cast<std::ptrdiff_t>(records[k].at + records[k].bytes));
    for (std::size_t s = k + 1; s < firstEnd; ++s)
      if (StateOnly(records[s].type))
        out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(records[s].at),
                   b.begin() + static_cast<std::ptrdiff_t>(records[s].at + records[s].bytes));
    // The shapes' records of state, then the clip they make.
    for (std::size_t s = firstEnd; s < shapesEnd; ++s)
      if (StateOnly(records[s].type))
        out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(records[s].at),
                   b.begin() + static_cast<std::ptrdiff_t>(records[s].at + records[s].bytes));
    // The clip goes within the second drawing's own SaveDC where the drawing
    // is one saved state (as LibreOffice writes it): libemf2svg does not
    // take back a clip set between two SaveDCs at the second's RestoreDC.
    std::size_t open = shapesEnd + 1;
    while (open < secondEnd && records[open].type == kSetRop2) ++open;
    const bool own =
        open < secondEnd && records[open].type == kSaveDc && OneSavedState(b, records, open, secondEnd);
    const std::size_t from = own ? open + 1 : shapesEnd;
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(records[shapesEnd].at),
               b.begin() + static_cast<std::ptrdiff_t>(records[from].at));
    if (!own) PutWords(&out, {kSaveDc, 8});
    if (upright) {
      PutWords(&out, {kIntersectClipRect, 24, static_cast<std::uint32_t>(box[0]),
                      static_cast<std::uint32_t>(box[1]), static_cast<std::uint32_t>(box[2]),
                      static_cast<std::uint32_t>(box[3])});
    } else {
      PutWords(&out, {kBeginPath, 8});
      out.insert(out.end(), path.begin(), path.end());
      PutWords(&out, {kEndPath, 8, kSelectClipPath, 12, kRgnAnd});
    }
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(records[from].at),
               secondEnd < records.size() ? b.begin() + static_cast<std::ptrdiff_t>(records[secondEnd].at)
                                          : b.end());
    if (!own) PutWords(&out, {kRestoreDc, 12, 0xFFFFFFFF});
    kept = secondEnd < records.size() ? records[secondEnd].at : b.size();
    k = secondEnd - 1;
  }
  if (kept == 0) return;
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept), b.end());
  EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  // The records counted anew, the header's own among them.
  std::uint32_t count = 0;
  for (std::size_t at = EmfU32(out.data() + 4), bytes = 0; at + 8 <= out.size(); at += bytes, ++count) {
    bytes = EmfU32(out.data() + at + 4);
    if (bytes < 8) break;
  }
  EmfPut32(out.data() + 52, count + 1);
  *copy = std::move(out);
}

}  // namespace md::imaging::detail
