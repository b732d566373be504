#include "platform/imaging/helper/dibpixels.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/imaging/helper/emfstrings.h"

namespace md::imaging::detail {
namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

constexpr std::uint32_t kOpaque = 0xFF000000u;

}  // namespace

bool DibPixels::Read(const std::uint8_t* dib, std::size_t bytes, unsigned width, unsigned height) {
  constexpr std::size_t kHeader = 40;
  if (dib == nullptr || bytes < kHeader || U32(dib) != kHeader) return false;
  const auto headerHeight = static_cast<std::int32_t>(U32(dib + 8));
  const unsigned bits = dib[14] | (dib[15] << 8);
  // libwmf keeps sizes of 16 bits, and the colours the header counts (all
  // its bits index where it counts none).
  width_ = width != 0 ? width : static_cast<std::uint16_t>(U32(dib + 4));
  height_ = height != 0 ? height
                        : static_cast<std::uint16_t>(
                              headerHeight < 0 ? -static_cast<std::int64_t>(headerHeight) : headerHeight);
  const std::uint32_t counted = U32(dib + 32);
  const std::size_t colours =
      bits <= 8
          ? (counted == 0 ? std::size_t{1} << bits : std::min<std::size_t>(counted, std::size_t{1} << bits))
          : counted;
  if (colours > (bytes - kHeader) / 4) return false;
  const std::size_t at = kHeader + 4 * colours;
  return Take(dib, colours, dib + kHeader, dib + at, bytes - at);
}

bool DibPixels::ReadApart(const std::uint8_t* info, std::size_t infoBytes, const std::uint8_t* bits,
                          std::size_t bitsBytes) {
  constexpr std::size_t kHeader = 40;
  if (info == nullptr || infoBytes < kHeader || U32(info) != kHeader) return false;
  const auto headerHeight = static_cast<std::int32_t>(U32(info + 8)),
             headerWidth = static_cast<std::int32_t>(U32(info + 4));
  const unsigned depth = info[14] | (info[15] << 8);
  if (headerWidth <= 0 || headerWidth > 0xFFFF || headerHeight == 0 || headerHeight < -0xFFFF ||
      headerHeight > 0xFFFF)
    return false;
  width_ = static_cast<unsigned>(headerWidth);
  height_ = static_cast<unsigned>(headerHeight < 0 ? -headerHeight : headerHeight);
  const std::uint32_t counted = U32(info + 32);
  const std::size_t colours =
      depth <= 8 ? (counted == 0 || counted > (1u << depth) ? std::size_t{1} << depth : counted) : 0;
  if (colours > (infoBytes - kHeader) / 4) return false;
  return Take(info, colours, info + kHeader, bits, bitsBytes);
}

bool DibPixels::Take(const std::uint8_t* info, std::size_t colours, const std::uint8_t* palette,
                     const std::uint8_t* bits, std::size_t bitsBytes) {
  const unsigned depth = info[14] | (info[15] << 8);
  if (U32(info + 16) != 0 ||
      (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32))
    return false;
  if (width_ == 0 || height_ == 0) return false;
  bits_ = depth;
  topDown_ = static_cast<std::int32_t>(U32(info + 8)) < 0;
  palette_.clear();
  for (std::size_t k = 0; k < colours && depth <= 8; ++k)
    palette_.push_back(kOpaque | (U32(palette + 4 * k) & 0xFFFFFF));
  stride_ = (static_cast<std::size_t>(width_) * depth + 31) / 32 * 4;
  if (stride_ * height_ > bitsBytes) return false;
  rows_.assign(bits, bits + stride_ * height_);
  return true;
}

void DibPixels::Row(unsigned y, unsigned x0, unsigned w, std::uint32_t* out) const {
  const std::uint8_t* row = rows_.data() + stride_ * (topDown_ ? y : height_ - 1 - y);
  const auto indexed = [this](unsigned index) {
    if (index < palette_.size()) return palette_[index];
    const unsigned grey = bits_ == 1 ? (index != 0 ? 0 : 0xFF) : bits_ == 4 ? index << 4 : index;
    return kOpaque | grey * 0x010101u;
  };
  for (unsigned k = 0; k < w; ++k) {
    const unsigned x = x0 + k;
    const std::uint8_t* p = row + static_cast<std::size_t>(x) * bits_ / 8;
    switch (bits_) {
      case 1:
        out[k] = indexed((*p >> (7 - x % 8)) & 1);
        break;
      case 4:
        out[k] = indexed(x % 2 != 0 ? *p & 0x0F : *p >> 4);
        break;
      case 8:
        out[k] = indexed(*p);
        break;
      case 16: {
        const unsigned word = p[0] | (p[1] << 8);
        out[k] =
            kOpaque | (((word >> 10) & 0x1F) << 19) | (((word >> 5) & 0x1F) << 11) | ((word & 0x1F) << 3);
        break;
      }
      case 24:
        out[k] = kOpaque | (p[2] << 16) | (p[1] << 8) | p[0];
        break;
      default:
        out[k] = U32(p);
        break;
    }
  }
}

std::uint32_t DibPixels::BitColour(unsigned bit) const {
  if (bit < palette_.size()) return palette_[bit];
  return bit != 0 ? kOpaque : kOpaque | 0xFFFFFF;
}

bool DibPixels::AddSpans(unsigned y, unsigned x0, const unsigned* starts, unsigned spans,
                         const std::uint32_t painted[2], std::uint64_t* sums) const {
  if (bits_ != 1) return false;
  const std::uint8_t* row = rows_.data() + stride_ * (topDown_ ? y : height_ - 1 - y);
  const auto bit = [row](std::size_t x) { return (row[x / 8] >> (7 - x % 8)) & 1u; };
  for (unsigned k = 0; k < spans; ++k) {
    std::size_t x = std::size_t{x0} + starts[k];
    const std::size_t end = std::size_t{x0} + starts[k + 1], all = end - x;
    std::uint64_t ones = 0;
    for (; x < end && x % 8 != 0; ++x) ones += bit(x);
    for (; end - x >= 8; x += 8) ones += static_cast<unsigned>(__builtin_popcount(row[x / 8]));
    for (; x < end; ++x) ones += bit(x);
    std::uint64_t* s = sums + 4 * std::size_t{k};
    for (int c = 0; c < 4; ++c) {
      const unsigned shift = 24 - 8 * c;
      s[c] += ones * ((painted[1] >> shift) & 0xFF) + (all - ones) * ((painted[0] >> shift) & 0xFF);
    }
  }
  return true;
}

void AddPixels(const std::uint32_t* row, const unsigned* starts, unsigned tw, std::uint64_t* sums) {
  for (unsigned k = 0; k < tw; ++k) {
    std::uint64_t a = 0, r = 0, g = 0, b = 0;
    for (unsigned x = starts[k]; x < starts[k + 1]; ++x) {
      const std::uint32_t p = row[x];
      a += p >> 24, r += (p >> 16) & 0xFF, g += (p >> 8) & 0xFF, b += p & 0xFF;
    }
    std::uint64_t* s = sums + 4 * std::size_t{k};
    s[0] += a, s[1] += r, s[2] += g, s[3] += b;
  }
}

void AverageDown(unsigned w, unsigned h, unsigned tw, unsigned th,
                 const std::function<void(unsigned y, const unsigned* starts, std::uint64_t* sums)>& addRow,
                 std::uint32_t* out, std::size_t stride) {
  // Column x falls in x * tw / w: the first of column k is k * w / tw
  // rounded up.
  std::vector<unsigned> starts(std::size_t{tw} + 1);
  for (unsigned k = 0; k <= tw; ++k) starts[k] = static_cast<unsigned>((std::uint64_t{k} * w + tw - 1) / tw);
  std::vector<std::uint64_t> sums(std::size_t{tw} * 4, 0);
  unsigned down = 0;
  for (unsigned y = 0; y < h; ++y) {
    addRow(y, starts.data(), sums.data());
    ++down;
    const auto ty = static_cast<unsigned>(std::uint64_t{y} * th / h);
    if (y + 1 < h && static_cast<unsigned>(std::uint64_t{y + 1} * th / h) == ty) continue;
    std::uint32_t* o = out + stride * ty;
    for (unsigned tx = 0; tx < tw; ++tx) {
      const std::uint64_t n = std::uint64_t{starts[tx + 1] - starts[tx]} * down;
      std::uint64_t* s = &sums[std::size_t{tx} * 4];
      const auto mean = [n](std::uint64_t v) { return static_cast<std::uint32_t>((v + n / 2) / n); };
      o[tx] = (mean(s[0]) << 24) | (mean(s[1]) << 16) | (mean(s[2]) << 8) | mean(s[3]);
      s[0] = s[1] = s[2] = s[3] = 0;
    }
    down = 0;
  }
}

std::size_t ReduceEmfBitmaps(std::vector<std::uint8_t>* copy, double across, double down) {
  constexpr std::uint32_t kStretchDIBits = 81;
  constexpr std::size_t kFixed = 80;
  if (!std::isfinite(across) || !std::isfinite(down) || across <= 0 || down <= 0) return 0;
  std::vector<std::uint8_t>& b = *copy;
  std::vector<std::uint8_t> out;
  std::size_t kept = 0, reduced = 0;
  for (std::size_t at = EmfU32(b.data() + 4), bytes = 0; at <= b.size() && b.size() - at >= 8; at += bytes) {
    const std::uint8_t* r = b.data() + at;
    bytes = EmfU32(r + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    // Of its own colours (DIB_RGB_COLORS), not the palette's.
    if (EmfU32(r) != kStretchDIBits || bytes < kFixed || EmfU32(r + 64) != 0) continue;
    const std::size_t bmi = EmfU32(r + 48), bmiBytes = EmfU32(r + 52), bitsAt = EmfU32(r + 56),
                      bitsBytes = EmfU32(r + 60);
    if (bmi < kFixed || bmi > bytes || bmiBytes > bytes - bmi || bitsAt > bytes || bitsBytes > bytes - bitsAt)
      continue;
    DibPixels dib;
    if (!dib.ReadApart(r + bmi, bmiBytes, r + bitsAt, bitsBytes)) continue;
    const auto s32 = [r](std::size_t k) { return static_cast<std::int32_t>(EmfU32(r + k)); };
    // The whole bitmap, over bounds of what it draws.
    if (s32(32) != 0 || s32(36) != 0 || s32(40) != static_cast<std::int32_t>(dib.Width()) ||
        s32(44) != static_cast<std::int32_t>(dib.Height()) || s32(16) < s32(8) || s32(20) < s32(12))
      continue;
    const auto spans = [](double pixels, unsigned own) {
      return pixels < own ? static_cast<unsigned>(std::max(1.0, std::ceil(pixels - 1e-6))) : own;
    };
    const unsigned tw = spans((static_cast<double>(s32(16)) - s32(8) + 1) * across, dib.Width()),
                   th = spans((static_cast<double>(s32(20)) - s32(12) + 1) * down, dib.Height());
    if (tw == dib.Width() && th == dib.Height()) continue;
    std::vector<std::uint32_t> pixels(std::size_t{tw} * th), row(dib.Width());
    const std::uint32_t painted[2] = {dib.BitColour(0), dib.BitColour(1)};
    AverageDown(
        dib.Width(), dib.Height(), tw, th,
        [&](unsigned y, const unsigned* starts, std::uint64_t* sums) {
          if (dib.AddSpans(y, 0, starts, tw, painted, sums)) return;
          dib.Row(y, 0, dib.Width(), row.data());
          AddPixels(row.data(), starts, tw, sums);
        },
        pixels.data(), tw);
    // The fixed fields, a header of 40 bytes, then the rows, bottom-up.
    const unsigned depth = dib.Bits() == 32 ? 32 : 24;
    const std::size_t stride = (std::size_t{tw} * depth + 31) / 32 * 4, total = kFixed + 40 + stride * th;
    const std::size_t start = out.size() + (at - kept);
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
               b.begin() + static_cast<std::ptrdiff_t>(at));
    out.insert(out.end(), r, r + kFixed);
    out.resize(start + total, 0);
    std::uint8_t* record = out.data() + start;
    const std::uint32_t header[] = {
        40, tw, th, 1u | (depth << 16), 0, static_cast<std::uint32_t>(stride * th), 0, 0, 0, 0};
    for (std::size_t k = 0; k < std::size(header); ++k) EmfPut32(record + kFixed + 4 * k, header[k]);
    for (unsigned y = 0; y < th; ++y) {
      std::uint8_t* o = record + kFixed + 40 + stride * (th - 1 - y);
      for (unsigned x = 0; x < tw; ++x, o += depth / 8) {
        const std::uint32_t p = pixels[std::size_t{y} * tw + x];
        o[0] = static_cast<std::uint8_t>(p), o[1] = static_cast<std::uint8_t>(p >> 8),
        o[2] = static_cast<std::uint8_t>(p >> 16);
        if (depth == 32) o[3] = static_cast<std::uint8_t>(p >> 24);
      }
    }
    const std::uint32_t fields[][2] = {{4, static_cast<std::uint32_t>(total)},
                                       {40, tw},
                                       {44, th},
                                       {48, kFixed},
                                       {52, 40},
                                       {56, kFixed + 40},
                                       {60, static_cast<std::uint32_t>(stride * th)}};
    for (const auto& [offset, value] : fields) EmfPut32(record + offset, value);
    kept = at + bytes;
    ++reduced;
  }
  if (reduced == 0) return 0;
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept), b.end());
  EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  b = std::move(out);
  return reduced;
}

}  // namespace md::imaging::detail
