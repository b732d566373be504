// Picture files the picture benchmarks write: PNGs of noise, which PNG
// cannot compress, and 24-bit BMPs; and pages of picture elements of them.
#pragma once

#include <png.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "platform/files/filestore.h"
#include "tools/demo/samplepage.h"

namespace md::bench {

using Bytes = std::vector<std::uint8_t>;

// An RGB PNG of noise from the seed.
inline Bytes NoisePng(std::uint64_t seed, int width, int height) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return Bytes();
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t n) {
        auto* bytes = static_cast<Bytes*>(png_get_io_ptr(p));
        bytes->insert(bytes->end(), data, data + n);
      },
      [](png_structp) {});
  png_set_compression_level(png, 1);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
  std::uint64_t s = seed * 0x9E3779B97F4A7C15ull + 1;
  for (int y = 0; y < height; ++y) {
    for (png_byte& b : row) {
      s ^= s << 13;
      s ^= s >> 7;
      s ^= s << 17;
      b = static_cast<png_byte>(s >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A 24-bit BMP of w x h pixels of one pattern, with `tag` in its last four
// bytes: BMPs of one tag agree on every other byte.
inline Bytes TaggedBmp(int w, int h, std::uint32_t tag) {
  const std::size_t row = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
  Bytes b(54 + row * static_cast<std::size_t>(h));
  const auto put = [&b](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put(2, static_cast<std::uint32_t>(b.size()));
  put(10, 54);
  put(14, 40);
  put(18, static_cast<std::uint32_t>(w));
  put(22, static_cast<std::uint32_t>(h));
  b[26] = 1;
  b[28] = 24;
  put(34, static_cast<std::uint32_t>(row * static_cast<std::size_t>(h)));
  for (std::size_t i = 54; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 7 + i / 4099);
  put(b.size() - 4, tag);
  return b;
}

// A file of the temporary folder, named for this process.
inline std::string TempPath(const std::string& name) {
  return std::string(GIS_GetTempDir()) + "/bench-" + std::to_string(::getpid()) + "-" + name;
}

inline bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::string error;
  return md::files::WriteWholeFile(path.c_str(), bytes.data(), bytes.size(), &error);
}

// A picture element of the file on the page.
inline bool Add(md::demo::Page& page, const std::string& file, int left, int top, int right, int bottom) {
  auto* picture = dynamic_cast<IGIS_PictureElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
  if (picture == nullptr || file.empty()) return false;
  picture->SetRect(SGIS_Rect(left, top, right, bottom));
  return picture->ImportPictureFromFile(file.c_str()) != FALSE;
}

// Picture elements of the files in a grid of `columns` over most of the A4 landscape paper.
inline bool Grid(md::demo::Page& page, const std::vector<std::string>& files, int columns, int rows) {
  const int cellW = 25000 / columns, cellH = 16700 / rows;
  bool ok = true;
  for (std::size_t i = 0; i < files.size() && ok; ++i) {
    const int left = 2350 + static_cast<int>(i % static_cast<std::size_t>(columns)) * cellW;
    const int top = 18850 - static_cast<int>(i / static_cast<std::size_t>(columns)) * cellH;
    ok = Add(page, files[i], left, top, left + cellW - 100, top - cellH + 100);
  }
  return ok;
}

}  // namespace md::bench
