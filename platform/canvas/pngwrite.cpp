#include "platform/canvas/pngwrite.h"

#include <string>

#include "platform/files/filestore.h"

namespace md::canvas {
namespace {

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
  md::files::FileReplacement file;
  std::string error;
  if (!file.Begin(path.c_str(), &error)) return false;
  if (!EncodePng(rows,
                 [&file](const std::uint8_t* data, std::size_t size) { return file.Write(data, size); }))
    return false;
  return file.Commit(&error);
}

bool WritePngFile(const std::string& path, int width, int height, const std::vector<PngStripe>& stripes) {
  if (path.empty()) return false;
  md::files::FileReplacement file;
  std::string error;
  if (!file.Begin(path.c_str(), &error)) return false;
  if (!EmitPngStripes(width, height, stripes,
                      [&file](const std::uint8_t* data, std::size_t size) { return file.Write(data, size); }))
    return false;
  return file.Commit(&error);
}

bool WritePngFile(const std::string& path, const void* pixels, int width, int height,
                  std::ptrdiff_t strideBytes, bool bottomUp) {
  if (pixels == nullptr || strideBytes < static_cast<std::ptrdiff_t>(width) * 4) return false;
  const Block block{static_cast<const unsigned char*>(pixels), height, strideBytes, bottomUp};
  return WritePngFile(path, PngRows{width, height, &block, &BlockRow});
}

}  // namespace md::canvas
