#include "platform/canvas/pngwrite.h"

#include <png.h>
#include <unistd.h>

#include <zlib.h>
#include <atomic>
#include <bit>
#include <csetjmp>
#include <cstdio>

namespace md::canvas {
namespace {

// libpng reports errors by longjmp; nothing with a destructor lives in the
// function that calls setjmp.
bool Encode(FILE* file, const PngRows& rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, Z_BEST_SPEED);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_IHDR(png, info, static_cast<png_uint_32>(rows.width), static_cast<png_uint_32>(rows.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // Little-endian 0x00RRGGBB words are the bytes B, G, R, unused.
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < rows.height; ++y) {
    const std::uint32_t* row = rows.row(rows.context, y);
    if (row == nullptr) png_error(png, "missing row");
    png_write_row(png, reinterpret_cast<png_const_bytep>(row));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

struct Block {
  const unsigned char* pixels;
  int height;
  std::ptrdiff_t stride;
  bool bottomUp;
};

const std::uint32_t* BlockRow(const void* context, int y) {
  const auto* b = static_cast<const Block*>(context);
  const int row = b->bottomUp ? b->height - 1 - y : y;
  return reinterpret_cast<const std::uint32_t*>(b->pixels + row * b->stride);
}

}  // namespace

bool WritePngFile(const std::string& path, const PngRows& rows) {
  static_assert(std::endian::native == std::endian::little, "pixel words are stored little-endian");
  if (path.empty() || rows.width <= 0 || rows.height <= 0 || rows.row == nullptr ||
      rows.width > static_cast<int>(PNG_USER_WIDTH_MAX) ||
      rows.height > static_cast<int>(PNG_USER_HEIGHT_MAX))
    return false;
  static std::atomic<unsigned> counter{0};
  const std::string temp = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
  FILE* file = std::fopen(temp.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = Encode(file, rows);
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

bool WritePngFile(const std::string& path, const void* pixels, int width, int height,
                  std::ptrdiff_t strideBytes, bool bottomUp) {
  if (pixels == nullptr || strideBytes < static_cast<std::ptrdiff_t>(width) * 4) return false;
  const Block block{static_cast<const unsigned char*>(pixels), height, strideBytes, bottomUp};
  return WritePngFile(path, PngRows{width, height, &block, &BlockRow});
}

}  // namespace md::canvas
