#include "platform/imaging/helper/emfbitmaps.h"

#include <cairo.h>
#include <glib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "platform/imaging/helper/emfstrings.h"
#include "platform/imaging/protocol/rle.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kSetDIBitsToDevice = 80, kStretchDIBits = 81;
// Both records name their bitmap's header and bits by offset and size from
// the record's start at these places, after their fixed fields.
constexpr std::size_t kBmiAt = 48, kBmiBytesAt = 52, kBitsAt = 56, kBitsBytesAt = 60;
constexpr std::size_t kFixedBytes[] = {76, 80};  // SetDIBitsToDevice, StretchDIBits
constexpr std::uint32_t kRle8 = 1, kRle4 = 2;

// The record at `r` of `bytes` bytes, its bitmap expanded, appended to
// `out`; false (nothing appended) when it is not compressed or does not
// expand within `*left` bytes, which it spends.
bool AppendExpanded(const std::uint8_t* r, std::size_t bytes, std::size_t fixed, std::size_t* left,
                    std::vector<std::uint8_t>* out) {
  const std::size_t bmi = EmfU32(r + kBmiAt), bmiBytes = EmfU32(r + kBmiBytesAt);
  const std::size_t bits = EmfU32(r + kBitsAt), bitsBytes = EmfU32(r + kBitsBytesAt);
  if (bmi < fixed || bmiBytes < 40 || bmi > bytes || bmiBytes > bytes - bmi || bits > bytes ||
      bitsBytes > bytes - bits)
    return false;
  const std::uint8_t* info = r + bmi;
  const std::uint32_t compression = EmfU32(info + 16), bitCount = EmfU32(info + 14) & 0xFFFF;
  const auto width = static_cast<std::int32_t>(EmfU32(info + 4)),
             height = static_cast<std::int32_t>(EmfU32(info + 8));
  if (!((compression == kRle8 && bitCount == 8) || (compression == kRle4 && bitCount == 4)) || width <= 0 ||
      height <= 0)
    return false;
  const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
  const std::size_t stride = (w + 3) / 4 * 4;
  if (w > *left || h > *left / stride) return false;
  std::vector<std::uint8_t> indices(w * h, 0);
  if (ExpandRle(r + bits, bitsBytes, w, h, compression == kRle4, indices.data()) != nullptr) return false;
  *left -= stride * h;
  // The fixed fields, the bitmap's header and colours, then the rows.
  const std::size_t start = out->size(), newBits = (fixed + bmiBytes + 3) / 4 * 4;
  const std::size_t total = newBits + stride * h;
  out->insert(out->end(), r, r + fixed);
  out->insert(out->end(), info, info + bmiBytes);
  out->resize(start + total, 0);
  std::uint8_t* record = out->data() + start;
  for (std::size_t y = 0; y < h; ++y) std::copy_n(indices.data() + y * w, w, record + newBits + y * stride);
  EmfPut32(record + 4, static_cast<std::uint32_t>(total));
  EmfPut32(record + kBmiAt, static_cast<std::uint32_t>(fixed));
  EmfPut32(record + kBitsAt, static_cast<std::uint32_t>(newBits));
  EmfPut32(record + kBitsBytesAt, static_cast<std::uint32_t>(stride * h));
  std::uint8_t* newInfo = record + fixed;
  newInfo[14] = 8;
  newInfo[15] = 0;
  EmfPut32(newInfo + 16, 0);
  EmfPut32(newInfo + 20, static_cast<std::uint32_t>(stride * h));
  if (compression == kRle4 && EmfU32(newInfo + 32) == 0) EmfPut32(newInfo + 32, 16);  // its 16 colours
  return true;
}

}  // namespace

std::vector<std::uint8_t> ExpandEmfBitmaps(const std::uint8_t* data, std::size_t size,
                                           std::size_t mostBytes) {
  std::vector<std::uint8_t> out;
  std::size_t copied = 0, left = mostBytes;
  const std::size_t headerBytes = EmfU32(data + 4);
  for (std::size_t at = headerBytes; size - at >= 8;) {
    const std::uint32_t type = EmfU32(data + at);
    const std::size_t bytes = EmfU32(data + at + 4);
    if (bytes < 8 || bytes > size - at) break;
    if ((type == kSetDIBitsToDevice || type == kStretchDIBits) &&
        bytes >= kFixedBytes[type - kSetDIBitsToDevice]) {
      std::vector<std::uint8_t> record;
      if (AppendExpanded(data + at, bytes, kFixedBytes[type - kSetDIBitsToDevice], &left, &record)) {
        if (out.empty()) out.reserve(size + record.size());
        out.insert(out.end(), data + copied, data + at);
        out.insert(out.end(), record.begin(), record.end());
        copied = at + bytes;
      }
    }
    at += bytes;
  }
  if (out.empty()) return out;
  out.insert(out.end(), data + copied, data + size);
  EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  return out;
}

}  // namespace md::imaging::detail

namespace md::imaging::detail {
namespace {

// Whether a pixel lies on a line of GDI's hatch style (0 to 5: horizontal,
// vertical, "\\", "/", a cross, a diagonal cross) in an 8 x 8 cell, top row
// first, its lines at the offsets `at` and `second` (a cross's other).
bool HatchPixel(int style, int x, int y, int at, int second) {
  const bool falling = (x - y + 8) % 8 == at, rising = (x + y) % 8 == (style == 5 ? second : at);
  switch (style) {
    case 0:
      return y == at;
    case 1:
      return x == at;
    case 2:
      return falling;
    case 3:
      return rising;
    case 4:
      return y == at || x == second;
    default:
      return falling || rising;
  }
}

// The style whose lines the 8 x 8 cell's set pixels are, or -1.
int HatchOf(const bool cell[8][8]) {
  for (int style = 0; style < 6; ++style)
    for (int at = 0; at < 8; ++at)
      for (int second = 0; second < (style >= 4 ? 8 : 1); ++second) {
        bool same = true;
        for (int y = 0; y < 8 && same; ++y)
          for (int x = 0; x < 8 && same; ++x) same = cell[y][x] == HatchPixel(style, x, y, at, second);
        if (same) return style;
      }
  return -1;
}

constexpr std::uint32_t kCreateBrushIndirect = 39, kCreateMonoBrush = 93, kCreateDibPatternBrushPt = 94,
                        kSetTextColor = 24, kSetBkColor = 25, kSetBkMode = 18, kOpaque = 2, kSolid = 0,
                        kHatched = 2, kMonoColours = 2;

}  // namespace

BrushPattern ReadBrushPattern(const std::uint8_t* info, std::size_t infoBytes, const std::uint8_t* bits,
                              std::size_t bitsBytes, bool useMono, const std::uint32_t mono[2]) {
  BrushPattern p;
  if (infoBytes < 40) return p;
  const std::uint32_t headerBytes = EmfU32(info);
  const auto width = static_cast<std::int32_t>(EmfU32(info + 4)),
             height = static_cast<std::int32_t>(EmfU32(info + 8));
  const unsigned bitCount = EmfU32(info + 14) & 0xFFFF, compression = EmfU32(info + 16);
  if (headerBytes < 40 || headerBytes > infoBytes || width <= 0 || width > 4096 || height == 0 ||
      height < -4096 || height > 4096 || compression != 0)
    return p;
  const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(std::abs(height));
  const std::size_t stride = (w * bitCount + 31) / 32 * 4;
  if ((bitCount != 1 && bitCount != 8 && bitCount != 24 && bitCount != 32) || stride * h > bitsBytes)
    return p;
  const std::size_t paletteEntries = (infoBytes - headerBytes) / 4;
  const auto palette = [&](std::size_t k) -> std::uint32_t {
    if (bitCount == 1 && useMono) return mono[k & 1];
    if (k >= paletteEntries) return k == 0 ? 0 : 0xFFFFFF;
    const std::uint8_t* q = info + headerBytes + 4 * k;  // blue, green, red
    return static_cast<std::uint32_t>(q[2]) | (static_cast<std::uint32_t>(q[1]) << 8) |
           (static_cast<std::uint32_t>(q[0]) << 16);
  };
  // Each pixel's colour, top row first.
  const auto pixel = [&](std::size_t x, std::size_t y) -> std::uint32_t {
    const std::uint8_t* row = bits + stride * (height > 0 ? h - 1 - y : y);
    if (bitCount == 1) return palette((row[x / 8] >> (7 - x % 8)) & 1);
    if (bitCount == 8) return palette(row[x]);
    const std::uint8_t* q = row + x * (bitCount / 8);
    return static_cast<std::uint32_t>(q[2]) | (static_cast<std::uint32_t>(q[1]) << 8) |
           (static_cast<std::uint32_t>(q[0]) << 16);
  };
  double sums[3] = {0, 0, 0};
  for (std::size_t y = 0; y < h; ++y)
    for (std::size_t x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) sums[c] += (pixel(x, y) >> (8 * c)) & 0xFF;
  p.mean = 0;
  for (int c = 0; c < 3; ++c)
    p.mean |= static_cast<std::uint32_t>(sums[c] / static_cast<double>(w * h) + 0.5) << (8 * c);
  // A two-coloured pattern repeating every 8 pixels: a hatch when its
  // scarcer colour draws one's lines.
  if (bitCount != 1 || w % 8 != 0 || h % 8 != 0) return p;
  bool cell[8][8];
  std::size_t first = 0;
  for (std::size_t y = 0; y < h; ++y)
    for (std::size_t x = 0; x < w; ++x) {
      const bool set = pixel(x, y) == palette(0);
      if (x < 8 && y < 8) cell[y][x] = set;
      if (set != cell[y % 8][x % 8]) return p;
      first += set;
    }
  const bool lineIsFirst = 2 * first <= w * h;
  if (!lineIsFirst)
    for (auto& row : cell)
      for (bool& v : row) v = !v;
  p.hatch = HatchOf(cell);
  p.lineColour = palette(lineIsFirst ? 0 : 1);
  return p;
}

std::string HatchMarker(std::size_t index) {
  char colour[8];
  std::snprintf(colour, sizeof colour, "#0137%02zu", index % kHatchMarkers);
  return colour;
}

std::vector<BrushHatch> ReplaceEmfPatternBrushes(std::vector<std::uint8_t>* copy) {
  std::vector<std::uint8_t>& b = *copy;
  std::vector<std::uint8_t> out;
  std::vector<BrushHatch> hatches;
  std::uint32_t mono[kMonoColours] = {0x000000, 0xFFFFFF};  // the DC's text and background colours
  bool opaque = true;
  std::size_t kept = 0;
  for (std::size_t at = EmfU32(b.data() + 4), bytes = 0; at <= b.size() && b.size() - at >= 8; at += bytes) {
    const std::uint8_t* r = b.data() + at;
    const std::uint32_t type = EmfU32(r);
    bytes = EmfU32(r + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    if ((type == kSetTextColor || type == kSetBkColor) && bytes >= 12)
      mono[type - kSetTextColor] = EmfU32(r + 8);
    if (type == kSetBkMode && bytes >= 12) opaque = EmfU32(r + 8) == kOpaque;
    BrushPattern p;
    if (type == kCreateBrushIndirect && bytes >= 24 && EmfU32(r + 12) == kHatched && EmfU32(r + 20) < 6) {
      p.hatch = static_cast<int>(EmfU32(r + 20));
      p.lineColour = EmfU32(r + 16);
    } else if ((type == kCreateMonoBrush || type == kCreateDibPatternBrushPt) && bytes >= 32) {
      const std::size_t info = EmfU32(r + 16), infoBytes = EmfU32(r + 20), bits = EmfU32(r + 24),
                        bitsBytes = EmfU32(r + 28);
      if (info >= 32 && info <= bytes && infoBytes <= bytes - info && bits >= 32 && bits <= bytes &&
          bitsBytes <= bytes - bits)
        p = ReadBrushPattern(r + info, infoBytes, r + bits, bitsBytes, type == kCreateMonoBrush, mono);
    } else {
      continue;
    }
    const bool marked = p.hatch >= 0 && hatches.size() < kHatchMarkers;
    std::uint32_t colour = p.mean;
    if (marked) {
      colour = 0x3701 | (static_cast<std::uint32_t>((hatches.size() / 10) * 16 + hatches.size() % 10) << 16);
      hatches.push_back({p.hatch, p.lineColour, opaque, mono[1]});
    }
    std::uint8_t brush[24];
    const std::uint32_t words[] = {kCreateBrushIndirect, sizeof brush, EmfU32(r + 8), kSolid, colour, 0};
    for (std::size_t k = 0; k < std::size(words); ++k) EmfPut32(brush + 4 * k, words[k]);
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
               b.begin() + static_cast<std::ptrdiff_t>(at));
    out.insert(out.end(), std::begin(brush), std::end(brush));
    kept = at + bytes;
  }
  if (kept == 0) return hatches;
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept), b.end());
  EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  *copy = std::move(out);
  return hatches;
}

// The hatch's cell as a PNG of 8 x 8 pixels: its lines a pixel wide, its
// background where it is opaque; base64 as a data reference holds it.
std::string HatchPng(const BrushHatch& h) {
  cairo_surface_t* cell = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  auto* pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(cell));
  const int stride = cairo_image_surface_get_stride(cell) / 4;
  const auto argb = [](std::uint32_t c) {
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  };
  const bool diagonal = h.style == 2 || h.style == 3 || h.style == 5;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      pixels[y * stride + x] = HatchPixel(h.style, x, y, diagonal ? 0 : 3, diagonal ? 7 : 3) ? argb(h.line)
                               : h.opaque ? argb(h.background)
                                          : 0;
  cairo_surface_mark_dirty(cell);
  std::vector<unsigned char> png;
  cairo_surface_write_to_png_stream(
      cell,
      [](void* closure, const unsigned char* data, unsigned int length) {
        auto* out = static_cast<std::vector<unsigned char>*>(closure);
        out->insert(out->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  cairo_surface_destroy(cell);
  gchar* text = g_base64_encode(png.data(), png.size());
  std::string out = text;
  g_free(text);
  return out;
}

std::string HatchSvg(std::string svg, const std::vector<BrushHatch>& hatches) {
  if (hatches.empty()) return svg;
  std::string defs = "<defs>";
  for (std::size_t k = 0; k < hatches.size(); ++k)
    defs += "<pattern id=\"mdhatch" + std::to_string(k) +
            "\" patternUnits=\"userSpaceOnUse\" width=\"8\" height=\"8\"><image width=\"8\" height=\"8\" "
            "style=\"image-rendering:pixelated\" xlink:href=\"data:image/png;base64," +
            HatchPng(hatches[k]) + "\"/></pattern>";
  defs += "</defs>\n";
  for (std::size_t k = 0; k < hatches.size(); ++k) {
    const std::string marker = "\"" + HatchMarker(k) + "\"",
                      paint = "\"url(#mdhatch" + std::to_string(k) + ")\"";
    for (std::size_t at = svg.find(marker); at != std::string::npos; at = svg.find(marker, at + paint.size()))
      svg.replace(at, marker.size(), paint);
  }
  const std::size_t first = svg.find('>');
  if (first != std::string::npos) svg.insert(first + 1, defs);
  return svg;
}

}  // namespace md::imaging::detail
