#include "platform/canvas/pngwrite.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace md::canvas {
namespace {

bool Encode(FILE* file, const PngRows& rows) {
  return EncodePng(rows, [file](const std::uint8_t* data, std::size_t size) {
    return std::fwrite(data, 1, size, file) == size;
  });
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
  if (path.empty() || rows.width <= 0 || rows.height <= 0 || rows.row == nullptr) return false;
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
