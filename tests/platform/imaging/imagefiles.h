// Small pictures of every format the loader reads, made in memory for tests:
// a test pattern of known size and resolution, written with the encoders of
// the same libraries (BMP by hand).
#pragma once

#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <unistd.h>

#include "platform/imaging/loader.h"

namespace md::test::imagefiles {

using Bytes = std::vector<std::uint8_t>;

// The colour (0x00RRGGBB) of pixel (x, y) of the test pattern: four
// quadrants red, green, blue and white.
inline std::uint32_t Quadrants(int x, int y, int w, int h) {
  const bool right = x >= w / 2, bottom = y >= h / 2;
  if (!right && !bottom) return 0xFF0000;
  if (right && !bottom) return 0x00FF00;
  if (!right && bottom) return 0x0000FF;
  return 0xFFFFFF;
}

using Pattern = std::function<std::uint32_t(int x, int y)>;  // 0xAARRGGBB, straight alpha

inline Pattern Opaque(int w, int h) {
  return [w, h](int x, int y) { return 0xFF000000u | Quadrants(x, y, w, h); };
}

inline void PngWrite(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
inline void PngFlush(png_structp) {}

inline Bytes Png(int w, int h, const Pattern& p, double dpi = 0.0) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, &PngWrite, &PngFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGBA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (dpi > 0) {
    const auto ppm = static_cast<png_uint_32>(dpi / 0.0254 + 0.5);
    png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
  }
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<std::size_t>(w) * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = p(x, y);
      row[x * 4 + 0] = (c >> 16) & 0xFF;
      row[x * 4 + 1] = (c >> 8) & 0xFF;
      row[x * 4 + 2] = c & 0xFF;
      row[x * 4 + 3] = (c >> 24) & 0xFF;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

inline Bytes Jpeg(int w, int h, const Pattern& p, int dpi = 0, int quality = 95) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (dpi > 0) {
    c.write_JFIF_header = TRUE;
    c.density_unit = 1;
    c.X_density = static_cast<UINT16>(dpi);
    c.Y_density = static_cast<UINT16>(dpi);
  }
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(w) * 3);
  while (c.next_scanline < c.image_height) {
    const int y = static_cast<int>(c.next_scanline);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = p(x, y);
      row[x * 3 + 0] = (v >> 16) & 0xFF;
      row[x * 3 + 1] = (v >> 8) & 0xFF;
      row[x * 3 + 2] = v & 0xFF;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  Bytes out(mem, mem + size);
  jpeg_destroy_compress(&c);
  std::free(mem);
  return out;
}

inline int GifWrite(GifFileType* gif, const GifByteType* data, int n) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}

// A GIF of the quadrant pattern with a palette of the four colours plus
// black; index 4 (black) is transparent when `transparentCorner` is set and
// fills the top-left pixel.
inline Bytes Gif(int w, int h, bool transparentCorner = false, bool interlace = false) {
  Bytes out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, &GifWrite, &err);
  GifColorType colors[8] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255},
                            {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 0}};
  ColorMapObject* map = GifMakeMapObject(8, colors);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, w, h, 3, 0, map);
  if (transparentCorner) {
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = 4;
    GifByteType ext[4];
    const std::size_t n = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
  }
  EGifPutImageDesc(gif, 0, 0, w, h, interlace, nullptr);
  auto index = [&](int x, int y) -> GifPixelType {
    if (transparentCorner && x == 0 && y == 0) return 4;
    switch (Quadrants(x, y, w, h)) {
      case 0xFF0000:
        return 0;
      case 0x00FF00:
        return 1;
      case 0x0000FF:
        return 2;
      default:
        return 3;
    }
  };
  std::vector<GifPixelType> line(static_cast<std::size_t>(w));
  std::vector<int> order;
  if (interlace) {
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = kStart[pass]; y < h; y += kStep[pass]) order.push_back(y);
  } else {
    for (int y = 0; y < h; ++y) order.push_back(y);
  }
  for (int y : order) {
    for (int x = 0; x < w; ++x) line[static_cast<std::size_t>(x)] = index(x, y);
    EGifPutLine(gif, line.data(), w);
  }
  EGifCloseFile(gif, &err);
  GifFreeMapObject(map);
  return out;
}

inline Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// An RGB (or RGBA with associated alpha) TIFF written through a scratch file.
inline Bytes Tiff(int w, int h, const Pattern& p, double dpi = 0.0, bool centimetres = false) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("md-imaging-" + std::to_string(::getpid()) + "-" +
                                                 std::to_string(w) + "x" + std::to_string(h) + ".tif"))
          .string();
  TIFF* t = TIFFOpen(path.c_str(), "w");
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(w));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(h));
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 4);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  if (dpi > 0) {
    const float r = static_cast<float>(centimetres ? dpi / 2.54 : dpi);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, r);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, r);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, centimetres ? RESUNIT_CENTIMETER : RESUNIT_INCH);
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = p(x, y);
      row[x * 3 + 0] = (v >> 16) & 0xFF;
      row[x * 3 + 1] = (v >> 8) & 0xFF;
      row[x * 3 + 2] = v & 0xFF;
    }
    TIFFWriteScanline(t, row.data(), static_cast<uint32_t>(y), 0);
  }
  TIFFClose(t);
  Bytes out = ReadAll(path);
  std::filesystem::remove(path);
  return out;
}

inline void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
inline void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A BMP with a 40-byte info header: 24 or 32 bits per pixel (BI_RGB), or 8
// bits with a palette of the four quadrant colours; bottom-up unless
// `topDown`.
inline Bytes Bmp(int w, int h, int bpp, double dpi = 0.0, bool topDown = false) {
  const std::uint32_t stride = ((static_cast<std::uint32_t>(w) * bpp + 31) / 32) * 4;
  const std::uint32_t paletteBytes = bpp == 8 ? 4 * 4 : 0;
  const std::uint32_t offBits = 14 + 40 + paletteBytes;
  Bytes b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, offBits + stride * h);
  Put32(b, 0);
  Put32(b, offBits);
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(w));
  Put32(b, static_cast<std::uint32_t>(topDown ? -h : h));
  Put16(b, 1);
  Put16(b, static_cast<std::uint32_t>(bpp));
  Put32(b, 0);
  Put32(b, stride * h);
  const auto ppm = static_cast<std::uint32_t>(dpi > 0 ? dpi / 0.0254 + 0.5 : 0);
  Put32(b, ppm);
  Put32(b, ppm);
  Put32(b, bpp == 8 ? 4 : 0);
  Put32(b, 0);
  const std::uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  if (bpp == 8) {
    for (std::uint32_t c : colours) Put32(b, c);
  }
  for (int row = 0; row < h; ++row) {
    const int y = topDown ? row : h - 1 - row;
    const std::size_t start = b.size();
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = Quadrants(x, y, w, h);
      if (bpp == 8) {
        std::uint8_t i = 0;
        while (colours[i] != c) ++i;
        b.push_back(i);
      } else {
        b.push_back(c & 0xFF);
        b.push_back((c >> 8) & 0xFF);
        b.push_back((c >> 16) & 0xFF);
        if (bpp == 32) b.push_back(0);
      }
    }
    while (b.size() - start < stride) b.push_back(0);
  }
  return b;
}

// A run-length BMP (RLE8 for bpp 8, RLE4 for bpp 4) of w x h pixels whose
// compressed pixels are `codes`, with a palette of blue (index 0) and green
// (index 1).
inline Bytes RleBmp(int w, int h, int bpp, const Bytes& codes) {
  constexpr std::uint32_t kOffBits = 14 + 40 + 8;
  Bytes b = {'B', 'M'};
  const auto size = static_cast<std::uint32_t>(codes.size());
  for (std::uint32_t v :
       {kOffBits + size, 0u, kOffBits, 40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)})
    Put32(b, v);
  Put16(b, 1);
  Put16(b, static_cast<std::uint32_t>(bpp));
  for (std::uint32_t v : {bpp == 4 ? 2u : 1u, size, 0u, 0u, 2u, 0u, 0x000000FFu, 0x0000FF00u}) Put32(b, v);
  b.insert(b.end(), codes.begin(), codes.end());
  return b;
}

// A 32-bit bit-field BMP of 1 x 1 pixel whose info header is `infoSize`
// bytes long, with the compression given; the file ends with the header
// when `headerOnly`.
inline Bytes BitFieldsBmp(std::uint32_t infoSize, std::uint32_t compression, bool headerOnly) {
  Bytes b = {'B', 'M'};
  const std::uint32_t offBits = 14 + infoSize;
  for (std::uint32_t v : {offBits + 4, 0u, offBits, infoSize, 1u, 1u}) Put32(b, v);
  Put16(b, 1);
  Put16(b, 32);
  for (std::uint32_t v : {compression, 4u, 0u, 0u, 0u, 0u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu})
    Put32(b, v);
  b.resize(offBits, 0);
  if (!headerOnly) Put32(b, 0xFF102030u);
  return b;
}

// The shared picture cache at a capacity, emptied before and after.
struct SharedCacheCapacity {
  static md::imaging::ImageCache& Cache() { return md::imaging::ImageCache::Shared(); }
  explicit SharedCacheCapacity(std::size_t bytes) : before(Cache().SetCapacity(bytes)) { Cache().Clear(); }
  ~SharedCacheCapacity() { Cache().Clear(), Cache().SetCapacity(before); }
  std::size_t before;
};

}  // namespace md::test::imagefiles
