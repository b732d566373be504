// Small icons, cursors and metafiles made in memory for tests: icon
// directories over PNG and DIB images, and WMF and EMF files of a few
// records, written by hand.
#pragma once

#include <unistd.h>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/imaging/isolate.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilelimits.h"
#include "tests/platform/imaging/drawlistbuilder.h"
#include "tests/platform/imaging/imagefiles.h"

namespace md::test::metafiles {

using Bytes = std::vector<std::uint8_t>;
using imagefiles::Pattern;
using imagefiles::Put16;
using imagefiles::Put32;
namespace drawlist = md::imaging::drawlist;

// The rows of a w x h DIB of 24 or 32 bits (with the pattern's alpha)
// bottom-up, each padded to four bytes.
inline void PutDibRows(Bytes& b, int w, int h, int bpp, const Pattern& p) {
  const std::size_t stride = (static_cast<std::size_t>(w) * bpp + 31) / 32 * 4;
  for (int y = h - 1; y >= 0; --y) {
    const std::size_t start = b.size();
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = p(x, y);
      b.insert(b.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                         static_cast<std::uint8_t>(c >> 16)});
      if (bpp == 32) b.push_back(static_cast<std::uint8_t>(c >> 24));
    }
    b.resize(start + stride, 0);
  }
}

// A DIB image of an icon: 24 bits with the AND mask set where the pattern's
// alpha is below 128, or 32 bits with the pattern's alpha and an empty mask.
inline Bytes IconDib(int w, int h, int bpp, const Pattern& p) {
  Bytes b;
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(2 * h)}) Put32(b, v);
  Put16(b, 1);
  Put16(b, static_cast<std::uint32_t>(bpp));
  for (int k = 0; k < 6; ++k) Put32(b, 0);
  const std::size_t maskStride = (w + 31) / 32 * 4;
  PutDibRows(b, w, h, bpp, p);
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(maskStride, 0);
    for (int x = 0; x < w && bpp != 32; ++x)
      if ((p(x, y) >> 24) < 128)
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

struct IconImage {
  int width, height, bpp;
  Bytes bytes;  // a PNG file or a DIB
};

// An ICO (type 1) or CUR (type 2) file of the images, in order.
inline Bytes Icon(int type, const std::vector<IconImage>& images) {
  Bytes b;
  Put16(b, 0);
  Put16(b, static_cast<std::uint32_t>(type));
  Put16(b, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (const IconImage& i : images) {
    b.push_back(static_cast<std::uint8_t>(i.width & 0xFF));
    b.push_back(static_cast<std::uint8_t>(i.height & 0xFF));
    b.push_back(0);
    b.push_back(0);
    Put16(b, type == 1 ? 1 : 2);  // planes, or the hot spot of a cursor
    Put16(b, type == 1 ? static_cast<std::uint32_t>(i.bpp) : 3);
    Put32(b, static_cast<std::uint32_t>(i.bytes.size()));
    Put32(b, offset);
    offset += static_cast<std::uint32_t>(i.bytes.size());
  }
  for (const IconImage& i : images) b.insert(b.end(), i.bytes.begin(), i.bytes.end());
  return b;
}

inline std::uint32_t MetafileU32Of(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// COLORREF of 0x00RRGGBB.
inline std::uint32_t Ref(std::uint32_t rgb) {
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

// A placeable WMF of `records` (each a function and its parameter words)
// over a frame of width x height units at `inch` units per inch.
struct WmfRecord {
  std::uint16_t function;
  std::vector<std::uint16_t> words;
};
inline Bytes Wmf(int width, int height, int inch, const std::vector<WmfRecord>& records, int objects) {
  Bytes body;
  std::uint32_t largest = 3;
  for (const WmfRecord& r : records) {
    const auto size = static_cast<std::uint32_t>(3 + r.words.size());
    largest = std::max(largest, size);
    Put32(body, size);
    Put16(body, r.function);
    for (std::uint16_t w : r.words) Put16(body, w);
  }
  Put32(body, 3);  // end of file
  Put16(body, 0);
  Bytes b;
  for (std::uint32_t v : {0xCDD7u, 0x9AC6u, 0u, 0u, 0u, static_cast<std::uint32_t>(width),
                          static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(inch), 0u, 0u})
    Put16(b, v);
  std::uint16_t sum = 0;
  for (std::size_t k = 0; k < 20; k += 2) sum ^= static_cast<std::uint16_t>(b[k] | (b[k + 1] << 8));
  Put16(b, sum);
  for (std::uint32_t v : {1u, 9u, 0x300u}) Put16(b, v);
  Put32(b, static_cast<std::uint32_t>((18 + body.size()) / 2));
  Put16(b, static_cast<std::uint32_t>(objects));
  Put32(b, largest);
  Put16(b, 0);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

inline std::vector<std::uint16_t> Colour(std::uint32_t rgb) {
  const std::uint32_t c = Ref(rgb);
  return {static_cast<std::uint16_t>(c & 0xFFFF), static_cast<std::uint16_t>(c >> 16)};
}

// The test metafile: 2 x 1 inches at 1000 units per inch, white behind a
// blue ellipse with a black outline on the left, a red rectangle on the
// right and the black text "WMF" above them.
inline Bytes SampleWmf() {
  auto cat = [](std::vector<std::uint16_t> a, const std::vector<std::uint16_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  std::vector<std::uint16_t> font = {static_cast<std::uint16_t>(-200), 0, 0, 0, 700, 0, 0, 0, 0};
  for (const char* c = "Arial\0\0\0"; c[0] != '\0' || c[1] != '\0'; c += 2)
    font.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(c[0]) | (c[1] << 8)));
  font.push_back(0);
  const std::uint16_t kNullPen = 5;
  return Wmf(2000, 1000, 1000,
             {{0x020B, {0, 0}},
              {0x020C, {1000, 2000}},
              {0x02FA, cat({kNullPen, 0, 0}, Colour(0))},      // 0: null pen
              {0x02FC, cat(cat({0}, Colour(0xFFFFFF)), {0})},  // 1: white brush
              {0x012D, {0}},
              {0x012D, {1}},
              {0x041B, {1000, 2000, 0, 0}},                    // the background
              {0x02FC, cat(cat({0}, Colour(0x0000FF)), {0})},  // 2: blue brush
              {0x02FA, cat({0, 30, 0}, Colour(0))},            // 3: black pen
              {0x012D, {2}},
              {0x012D, {3}},
              {0x0418, {950, 900, 250, 100}},                  // ellipse b, r, t, l
              {0x02FC, cat(cat({0}, Colour(0xFF0000)), {0})},  // 4: red brush
              {0x012D, {4}},
              {0x041B, {900, 1900, 300, 1100}},  // rectangle
              {0x02FB, font},                    // 5: font
              {0x012D, {5}},
              {0x0102, {1}},                                   // transparent text
              {0x0521, {3, 'W' | ('M' << 8), 'F', 20, 800}}},  // "WMF", its top left at (800, 20)
             6);
}

// A placeable WMF of 1 x 1 inch at 1000 units an inch: one StretchDIB
// (SRCCOPY) of a w x h 24-bit bitmap of the pattern over all of it.
inline Bytes DibWmf(int w, int h, const Pattern& p) {
  Bytes dib;
  for (std::uint32_t v :
       {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), 0x180001u, 0u, 0u, 0u, 0u, 0u, 0u})
    Put32(dib, v);
  PutDibRows(dib, w, h, 24, p);
  std::vector<std::uint16_t> record = {
      0x0020, 0x00CC, 0, static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(w), 0, 0, 1000,
      1000,   0,      0};
  for (std::size_t at = 0; at < dib.size(); at += 2)
    record.push_back(static_cast<std::uint16_t>(dib[at] | (at + 1 < dib.size() ? dib[at + 1] << 8 : 0)));
  return Wmf(1000, 1000, 1000, {{0x020B, {0, 0}}, {0x020C, {1000, 1000}}, {0x0F43, record}}, 0);
}

// A packed DIB of w x h pixels of 1, 4, 8, 24 or 32 bits, bottom-up: a
// bitmap of at most 8 bits holds `value`'s low bits as indices into a grey
// palette of all its colours (index 0 black), written whole; a wider one
// holds `value` as 0xAARRGGBB (alpha only at 32 bits).
template <class Value>
Bytes BigDib(int w, int h, int bpp, const Value& value) {
  Bytes dib;
  const std::uint32_t colours = bpp <= 8 ? 1u << bpp : 0u;
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h),
                          0x10000u * static_cast<std::uint32_t>(bpp) + 1u, 0u, 0u, 0u, 0u, colours, 0u})
    Put32(dib, v);
  for (std::uint32_t k = 0; k < colours; ++k) Put32(dib, (k * 255 / (colours - 1)) * 0x010101u);
  const std::size_t stride = (static_cast<std::size_t>(w) * static_cast<std::size_t>(bpp) + 31) / 32 * 4;
  std::size_t at = dib.size();
  dib.resize(at + stride * static_cast<std::size_t>(h), 0);
  for (int y = h - 1; y >= 0; --y, at += stride)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = value(x, y);
      const auto bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp);
      if (bpp <= 8) {
        dib[at + bit / 8] |= static_cast<std::uint8_t>((v & (colours - 1)) << (8 - bpp - bit % 8));
      } else {
        for (int c = 0; c < bpp / 8; ++c) dib[at + bit / 8 + c] = static_cast<std::uint8_t>(v >> (8 * c));
      }
    }
  return dib;
}

// A placeable WMF of `inches` square at 1000 units an inch drawing the DIB
// over all of it with one StretchDIB (SRCCOPY), or with DIBStretchBlt.
inline Bytes BigDibWmf(const Bytes& dib, double inches, bool stretchBlt = false) {
  const auto w = static_cast<std::uint16_t>(MetafileU32Of(dib, 4)),
             h = static_cast<std::uint16_t>(MetafileU32Of(dib, 8));
  const auto side = static_cast<std::uint16_t>(inches * 1000);
  std::vector<std::uint16_t> record = {0x0020, 0x00CC};
  if (!stretchBlt) record.push_back(0);
  for (std::uint16_t v :
       {h, w, std::uint16_t{0}, std::uint16_t{0}, side, side, std::uint16_t{0}, std::uint16_t{0}})
    record.push_back(v);
  for (std::size_t at = 0; at < dib.size(); at += 2)
    record.push_back(static_cast<std::uint16_t>(dib[at] | (at + 1 < dib.size() ? dib[at + 1] << 8 : 0)));
  return Wmf(side, side, 1000,
             {{0x020B, {0, 0}},
              {0x020C, {side, side}},
              {static_cast<std::uint16_t>(stretchBlt ? 0x0B41 : 0x0F43), record}},
             0);
}

// An EMF of `inches` square (on its reference device of 100 dpi) drawing
// the packed DIB over all of it with one StretchDIBits (SRCCOPY).
inline Bytes BigDibEmf(const Bytes& dib, double inches);

// An SVG document of the kind cairo writes: one polygon of `points` points,
// its edges running from the top of a view box of width x height to the
// bottom and back, left to right, black, filled even-odd: a path of many
// segments whose teeth cross no other.
inline std::string ZigzagSvg(int points, int width, int height) {
  std::string d;
  for (int i = 0; i < points; ++i)
    d += (i == 0 ? "M " : " L ") + std::to_string(static_cast<double>(i) * width / points + 0.5) + " " +
         std::to_string(i % 2 == 0 ? 0.0 : height);
  const std::string w = std::to_string(width), h = std::to_string(height);
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h + "\" viewBox=\"0 0 " +
         w + " " + h + "\"><path style=\"fill-rule:evenodd;fill:rgb(0%,0%,0%);\" d=\"" + d + " Z\"/></svg>";
}

// The draw list of the same zigzag, as the helper answers it.
inline Bytes ZigzagList(int points, int width, int height) {
  ListPath path;
  for (int i = 0; i < points; ++i) {
    const float x = static_cast<float>(static_cast<double>(i) * width / points + 0.5);
    const float y = i % 2 == 0 ? 0.0f : static_cast<float>(height);
    i == 0 ? path.Move(x, y) : path.Line(x, y);
  }
  path.Close();
  return ListBuilder(width, height)
      .Fill(ListBuilder::Colour(0, 0, 0), path, drawlist::FillRule::EvenOdd)
      .Bytes();
}

#ifdef MD_IMAGING_PROBE
// What the probe is told to answer with the bytes: `mode` ("list:" for a
// list, "answer:" for its whole answer) and a file that holds them, written
// now beside the probe, where its sandbox lets it read, and removed when the
// test process ends.
inline std::string ProbeWith(const std::string& mode, const Bytes& bytes) {
  static struct Made {
    std::mutex lock;
    std::vector<std::string> paths;
    ~Made() {
      for (const std::string& path : paths) std::remove(path.c_str());
    }
  } made;
  std::lock_guard<std::mutex> hold(made.lock);
  const std::string path = std::filesystem::path(MD_IMAGING_PROBE).parent_path().string() + "/probe-answer-" +
                           std::to_string(::getpid()) + "-" + std::to_string(made.paths.size()) + ".bin";
  imagefiles::WriteAll(path, bytes);
  made.paths.push_back(path);
  return mode + path;
}
inline std::string ListProbe(const Bytes& list) { return ProbeWith("list:", list); }
#endif

// An EMF of `records` (type and parameter words) over a frame of width x
// height in 0.01 mm, on a reference device of 100 dpi.
struct EmfRecord {
  std::uint32_t type;
  std::vector<std::uint32_t> words;
};
inline Bytes Emf(int width, int height, const std::vector<EmfRecord>& records, int handles) {
  Bytes body;
  for (const EmfRecord& r : records) {
    Put32(body, r.type);
    Put32(body, static_cast<std::uint32_t>(8 + 4 * r.words.size()));
    for (std::uint32_t w : r.words) Put32(body, w);
  }
  for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) Put32(body, v);  // end of file
  const auto px = [](int hundredths) { return static_cast<std::uint32_t>(hundredths * 100 / 2540); };
  Bytes b;
  for (std::uint32_t v :
       {1u, 88u, 0u, 0u, px(width), px(height), 0u, 0u, static_cast<std::uint32_t>(width),
        static_cast<std::uint32_t>(height), 0x464D4520u, 0x10000u,
        static_cast<std::uint32_t>(88 + body.size()), static_cast<std::uint32_t>(records.size() + 2)})
    Put32(b, v);
  Put16(b, static_cast<std::uint32_t>(handles));
  Put16(b, 0);
  for (std::uint32_t v : {0u, 0u, 0u, 1000u, 1000u, 254u, 254u}) Put32(b, v);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

// A StretchDIB of a w x h 24-bit bitmap of the pattern over (x, y, size,
// size) under the raster operation.
inline WmfRecord StretchDib(std::uint32_t rop, int x, int y, int size, int w, int h, const Pattern& p) {
  Bytes dib;
  for (std::uint32_t v :
       {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), 0x180001u, 0u, 0u, 0u, 0u, 0u, 0u})
    Put32(dib, v);
  PutDibRows(dib, w, h, 24, p);
  std::vector<std::uint16_t> record = {static_cast<std::uint16_t>(rop & 0xFFFF),
                                       static_cast<std::uint16_t>(rop >> 16),
                                       0,
                                       static_cast<std::uint16_t>(h),
                                       static_cast<std::uint16_t>(w),
                                       0,
                                       0,
                                       static_cast<std::uint16_t>(size),
                                       static_cast<std::uint16_t>(size),
                                       static_cast<std::uint16_t>(y),
                                       static_cast<std::uint16_t>(x)};
  for (std::size_t at = 0; at < dib.size(); at += 2)
    record.push_back(static_cast<std::uint16_t>(dib[at] | (at + 1 < dib.size() ? dib[at + 1] << 8 : 0)));
  return {0x0F43, record};
}

// A StretchDIBits of a w x h 24-bit bitmap of the pattern over (x, y, size,
// size) under the raster operation, in an EMF.
inline EmfRecord EmfStretchDib(std::uint32_t rop, int x, int y, int size, int w, int h, const Pattern& p) {
  Bytes dib;
  PutDibRows(dib, w, h, 24, p);
  const auto u = [](int v) { return static_cast<std::uint32_t>(v); };
  std::vector<std::uint32_t> words = {
      u(x),     u(y), u(x + size), u(y + size), u(x), u(y), 0,
      0,        u(w), u(h),        80,          40,   120,  u(static_cast<int>(dib.size())),
      0,        rop,  u(size),     u(size),     40,   u(w), u(h),
      0x180001, 0,    0,           0,           0,    0,    0};
  for (std::size_t at = 0; at < dib.size(); at += 4) words.push_back(MetafileU32Of(dib, at));
  return {81, words};
}

// An ExtCreateFontIndirectW of handle 1: its height, width, weight, slant
// and face.
inline EmfRecord EmfFontRecord(int height, int width, int weight, bool italic, const std::u16string& face) {
  std::vector<std::uint32_t> words = {1,
                                      static_cast<std::uint32_t>(height),
                                      static_cast<std::uint32_t>(width),
                                      0,
                                      0,
                                      static_cast<std::uint32_t>(weight),
                                      italic ? 1u : 0u,
                                      0};
  for (std::size_t k = 0; k < 32; k += 2)
    words.push_back((k < face.size() ? face[k] : 0u) | (k + 1 < face.size() ? face[k + 1] << 16 : 0u));
  words.resize(83, 0);
  return {82, words};
}

// An ExtTextOutW (`wide`) or ExtTextOutA of the ASCII text at (x, y), each
// character at its advance in dx.
inline EmfRecord EmfTextRecord(bool wide, int x, int y, const std::string& text,
                               const std::vector<std::uint32_t>& dx) {
  const auto n = static_cast<std::uint32_t>(text.size()), bytes = wide ? 2 * n : n,
             padded = (bytes + 3) / 4 * 4;
  std::vector<std::uint32_t> words = {0,
                                      0,
                                      0xFFFFFFFF,
                                      0xFFFFFFFF,
                                      1,
                                      0x3F800000,
                                      0x3F800000,
                                      static_cast<std::uint32_t>(x),
                                      static_cast<std::uint32_t>(y),
                                      n,
                                      76,
                                      0,
                                      0,
                                      0,
                                      0xFFFFFFFF,
                                      0xFFFFFFFF,
                                      76 + padded};
  const auto code = [&](std::uint32_t k) {
    return k < n ? std::uint32_t{static_cast<unsigned char>(text[k])} : 0u;
  };
  for (std::uint32_t k = 0; k < padded; k += 4)
    words.push_back(wide ? code(k / 2) | code(k / 2 + 1) << 16
                         : code(k) | code(k + 1) << 8 | code(k + 2) << 16 | code(k + 3) << 24);
  words.insert(words.end(), dx.begin(), dx.end());
  return {wide ? 84u : 83u, words};
}

// A PatBlt (a BitBlt of no bitmap) over (x, y, size, size).
inline EmfRecord EmfPatBlt(std::uint32_t rop, int x, int y, int size) {
  const auto u = [](int v) { return static_cast<std::uint32_t>(v); };
  return {76, {u(x), u(y), u(x + size), u(y + size), u(x), u(y), u(size), u(size), rop, 0, 0, 0x3F800000,
               0,    0,    0x3F800000,  0,           0,    0,    0,       0,       0,   0, 0}};
}

inline Bytes BigDibEmf(const Bytes& dib, double inches) {
  const std::uint32_t w = MetafileU32Of(dib, 4), h = MetafileU32Of(dib, 8),
                      side = static_cast<std::uint32_t>(inches * 100);
  const std::uint32_t colours = MetafileU32Of(dib, 32), info = 40 + 4 * colours;
  std::vector<std::uint32_t> words = {
      0, 0,        side - 1, side - 1, 0,    0,         0,
      0, w,        h,        80,       info, 80 + info, static_cast<std::uint32_t>(dib.size() - info),
      0, 0xCC0020, side,     side};
  for (std::size_t at = 0; at < dib.size(); at += 4) words.push_back(MetafileU32Of(dib, at));
  return Emf(static_cast<int>(inches * 2540), static_cast<int>(inches * 2540), {{81, words}}, 1);
}

// The test enhanced metafile: 50 x 25 mm in units of 0.025 mm (2000 x
// 1000), white behind a blue ellipse with a black outline on the left and a
// red polygon (a triangle) on the right.
inline Bytes SampleEmf() {
  const std::uint32_t kNull = 5;
  auto p16 = [](int x, int y) { return static_cast<std::uint32_t>((x & 0xFFFF) | (y << 16)); };
  return Emf(5000, 2500,
             {{17, {8}},                       // anisotropic mapping
              {9, {2000, 1000}},               // window extent
              {11, {197, 98}},                 // viewport extent
              {38, {1, kNull, 0, 0, 0}},       // pen 1: null
              {39, {2, 0, Ref(0xFFFFFF), 0}},  // brush 2: white
              {37, {1}},
              {37, {2}},
              {43, {0, 0, 2000, 1000}},        // the background
              {39, {3, 0, Ref(0x0000FF), 0}},  // brush 3: blue
              {38, {4, 0, 30, 0, 0}},          // pen 4: black
              {37, {3}},
              {37, {4}},
              {42, {100, 100, 900, 900}},      // ellipse
              {39, {5, 0, Ref(0xFF0000), 0}},  // brush 5: red
              {37, {5}},
              {86, {1100, 100, 1900, 900, 3, p16(1100, 900), p16(1500, 100), p16(1900, 900)}}},  // polygon
             6);
}

// Metafile limits in force while it lives (the refusals they caused are
// forgotten after); the probe standing in for the helper takes forever over a
// metafile, or as `probe` says crashes ("crash") or refuses with that reason.
struct MetafileLimitsScope {
  explicit MetafileLimitsScope(md::imaging::MetafileLimits limits, const char* probe = nullptr)
      : before(md::imaging::SetMetafileLimits(std::move(limits))) {
    if (probe != nullptr) ::setenv("MD_PROBE_METAFILE", probe, 1);
  }
  ~MetafileLimitsScope() {
    ::unsetenv("MD_PROBE_METAFILE");
    md::imaging::SetMetafileLimits(before);
    md::imaging::ForgetRefusedMetafiles();
  }
  md::imaging::MetafileLimits before;
};

// The picture's pixels: a metafile's as its helper paints it at its own size
// (300 dpi of it; a metafile keeps no pixels of its own), any other's as
// decoded.
inline md::imaging::BitmapPtr OwnPixels(const md::imaging::BitmapPtr& picture) {
  if (picture == nullptr || picture->metafile == nullptr) return picture;
  md::imaging::detail::MetafileBox box;
  box.size = {picture->width, picture->height};
  box.window = {0, 0, picture->width, picture->height};
  std::string why;
  bool spent = false;
  const auto painted = md::imaging::detail::PaintMetafile(*picture, box, &why, &spent);
  auto out = std::make_shared<md::imaging::Bitmap>(*picture);
  out->metafile = nullptr;
  if (painted != nullptr) out->pixels = *painted;
  return out;
}

// While it lives, the warden leaves `fences` (helper/fence.h's bits) out of
// every run and of what HelperFences learns, as if the kernel lacked them.
struct FencesWithoutScope {
  explicit FencesWithoutScope(int fences) : before(md::imaging::detail::SetWardenFencesWithout(fences)) {}
  ~FencesWithoutScope() { md::imaging::detail::SetWardenFencesWithout(before); }
  int before;
};

// While it lives, every run of the helper takes `milliseconds` of a
// drawing's budget, however long it really took; given `processorMs`, each
// run is taken to have spent that much processor time, and is charged by the
// library's own rule from the two.
struct MetafileRunClock {
  explicit MetafileRunClock(std::int64_t milliseconds, std::int64_t processorMs = -1) {
    step = milliseconds;
    md::imaging::detail::SetMetafileClock([] { return now += step; });
    md::imaging::detail::SetMetafileRunProcessorTime(processorMs);
  }
  ~MetafileRunClock() {
    md::imaging::detail::SetMetafileRunProcessorTime(-1);
    md::imaging::detail::SetMetafileClock(nullptr);
  }
  static inline std::atomic<std::int64_t> now{0}, step{0};
};

}  // namespace md::test::metafiles
