#include "platform/imaging/helper/emfrops.h"

#include <algorithm>
#include <cstddef>

#include "platform/imaging/helper/dibpixels.h"
#include "platform/imaging/helper/emfstrings.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kBitBlt = 76, kStretchBlt = 77, kStretchDIBits = 81, kComment = 70;
constexpr std::uint32_t kSrcCopy = 0xCC0020, kSrcPaint = 0xEE0086, kSrcAnd = 0x8800C6, kSrcInvert = 0x660046,
                        kNotSrcCopy = 0x330008, kDstInvert = 0x550009, kBlackness = 0x000042,
                        kWhiteness = 0xFF0062;
constexpr std::uint32_t kNoColour = 0xFFFFFFFF;

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
  std::size_t bmi = 0, src[4] = {0, 0, 0, 0};  // where the bitmap's offsets and the source part lie
  if (type == kStretchDIBits && bytes >= 80) {
    b->x = s32(24), b->y = s32(28), b->cx = s32(72), b->cy = s32(76), b->rop = EmfU32(r + 68);
    bmi = 48, src[0] = 32, src[1] = 36, src[2] = 40, src[3] = 44;
  } else if ((type == kBitBlt && bytes >= 100) || (type == kStretchBlt && bytes >= 108)) {
    b->x = s32(24), b->y = s32(28), b->cx = s32(32), b->cy = s32(36), b->rop = EmfU32(r + 40);
    bmi = 84, src[0] = 44, src[1] = 48, src[2] = type == kStretchBlt ? 100 : 32,
    src[3] = type == kStretchBlt ? 104 : 36;
  } else {
    return false;
  }
  for (int k = 0; k < 4; ++k) b->bounds[k] = EmfU32(r + 8 + 4 * k);
  const std::size_t info = EmfU32(r + bmi), infoBytes = EmfU32(r + bmi + 4), bits = EmfU32(r + bmi + 8),
                    bitsBytes = EmfU32(r + bmi + 12);
  if (infoBytes < 40 || info > bytes || infoBytes > bytes - info || bits > bytes || bitsBytes > bytes - bits)
    return true;
  b->info = r + info, b->infoBytes = infoBytes, b->bits = r + bits, b->bitsBytes = bitsBytes;
  const auto w = static_cast<std::int32_t>(EmfU32(b->info + 4)),
             h = static_cast<std::int32_t>(EmfU32(b->info + 8));
  b->whole = s32(src[0]) == 0 && s32(src[1]) == 0 && s32(src[2]) == w && s32(src[3]) == std::abs(h);
  return true;
}

// A StretchDIBits of SRCCOPY over the blit's place of a w x h bitmap of 32
// bits, its rows bottom first, each pixel `pixel(x, y)` (y from the top,
// straight 0xAARRGGBB), appended to `out`.
template <class Pixel>
void AppendBitmap(const Blit& b, unsigned w, unsigned h, Pixel pixel, std::vector<std::uint8_t>* out) {
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
  for (unsigned y = 0; y < h; ++y)
    for (unsigned x = 0; x < w; ++x) EmfPut32(r + 120 + 4 * (std::size_t{h - 1 - y} * w + x), pixel(x, y));
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
// bytes, which it spends.
bool ReadPixels(const Blit& b, DibPixels* pixels, std::size_t* left) {
  if (b.info == nullptr || !b.whole || !pixels->ReadApart(b.info, b.infoBytes, b.bits, b.bitsBytes) ||
      pixels->Width() == 0 || pixels->Height() == 0 || pixels->Width() > *left / 4 / pixels->Height())
    return false;
  *left -= std::size_t{4} * pixels->Width() * pixels->Height();
  return true;
}

}  // namespace

void ComposeEmfRasterOperations(std::vector<std::uint8_t>* copy, std::size_t mostBytes) {
  const std::vector<std::uint8_t>& b = *copy;
  if (b.size() < 56) return;
  std::vector<std::uint8_t> out;
  std::size_t kept = 0, dropped = 0, maskAt = 0, maskBytes = 0, left = mostBytes;
  Blit mask;
  DibPixels maskPixels;
  bool held = false;
  // The mask held painted alone, as SRCPAINT paints it.
  const auto flush = [&] {
    if (!held) return;
    const unsigned w = maskPixels.Width(), h = maskPixels.Height();
    std::vector<std::uint32_t> row(w);
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
               b.begin() + static_cast<std::ptrdiff_t>(maskAt));
    AppendBitmap(
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
    if (blit.info == nullptr && (blit.rop == kBlackness || blit.rop == kDstInvert)) fill = 0;
    if (blit.info == nullptr && blit.rop == kWhiteness) fill = 0xFFFFFF;
    const bool composed =
        blit.rop == kSrcAnd || blit.rop == kSrcPaint || blit.rop == kSrcInvert || blit.rop == kNotSrcCopy;
    if (fill == kNoColour && !(read && composed)) continue;
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
               b.begin() + static_cast<std::ptrdiff_t>(image ? maskAt : at));
    if (image) {
      // Both of the same size over the same place: the mask's white is the
      // image's opacity.
      const unsigned w = pixels.Width(), h = pixels.Height();
      std::vector<std::uint32_t> row(w), alpha(w);
      AppendBitmap(
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
      AppendBitmap(
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
  if (kept == 0) return;
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept), b.end());
  EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  EmfPut32(out.data() + 52, EmfU32(out.data() + 52) - static_cast<std::uint32_t>(dropped));
  *copy = std::move(out);
}

}  // namespace md::imaging::detail
