#include "platform/imaging/helper/dibpixels.h"

#include <algorithm>

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
  const std::uint32_t compression = U32(dib + 16), counted = U32(dib + 32);
  if (compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
    return false;
  // libwmf keeps sizes of 16 bits.
  width_ = width != 0 ? width : static_cast<std::uint16_t>(U32(dib + 4));
  height_ = height != 0 ? height
                        : static_cast<std::uint16_t>(
                              headerHeight < 0 ? -static_cast<std::int64_t>(headerHeight) : headerHeight);
  topDown_ = headerHeight < 0;
  bits_ = bits;
  if (width_ == 0 || height_ == 0) return false;
  const std::size_t colours = bits <= 8 ? std::min<std::size_t>(counted, std::size_t{1} << bits) : counted;
  if (colours > (bytes - kHeader) / 4) return false;
  palette_.clear();
  for (std::size_t k = 0; k < colours && bits <= 8; ++k)
    palette_.push_back(kOpaque | (U32(dib + kHeader + 4 * k) & 0xFFFFFF));
  stride_ = (static_cast<std::size_t>(width_) * bits + 31) / 32 * 4;
  const std::size_t at = kHeader + 4 * colours;
  if (stride_ * height_ > bytes - at) return false;
  rows_.assign(dib + at, dib + at + stride_ * height_);
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

}  // namespace md::imaging::detail
