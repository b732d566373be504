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

bool WritePngFile(const std::string& path, const PngRows& rows, std::string* pError) {
  std::string error;
  if (pError == nullptr) pError = &error;
  if (path.empty() || rows.width <= 0 || rows.height <= 0 || rows.row == nullptr) {
    *pError = path.empty() ? "no path" : "no pixels to write";
    return false;
  }
  if (PngPixelsPerMetre(rows.dpi) == 0) {
    *pError = "no resolution a PNG can state";
    return false;
  }
  md::files::FileReplacement file;
  if (!file.Begin(path.c_str(), pError)) return false;
  bool writeFailed = false;
  if (!EncodePng(rows, [&file, &writeFailed](const std::uint8_t* data, std::size_t size) {
        writeFailed = !file.Write(data, size);
        return !writeFailed;
      })) {
    // After a failed write Commit answers false with the system's reason and
    // leaves the file as it was; anything else failed while encoding.
    if (writeFailed)
      file.Commit(pError);
    else
      *pError = "the PNG could not be encoded";
    return false;
  }
  return file.Commit(pError);
}

bool WritePngFile(const std::string& path, int width, int height, const std::vector<PngStripe>& stripes,
                  double dpi, std::string* pError) {
  std::string error;
  if (pError == nullptr) pError = &error;
  if (path.empty()) {
    *pError = "no path";
    return false;
  }
  md::files::FileReplacement file;
  if (!file.Begin(path.c_str(), pError)) return false;
  if (!EmitPngStripes(
          width, height, stripes,
          [&file](const std::uint8_t* data, std::size_t size) { return file.Write(data, size); }, dpi)) {
    // As above: a failed write is told by Commit with the system's reason.
    if (file.WriteFailed())
      file.Commit(pError);
    else
      *pError = "the PNG could not be encoded";
    return false;
  }
  return file.Commit(pError);
}

bool WritePngFile(const std::string& path, const void* pixels, int width, int height,
                  std::ptrdiff_t strideBytes, bool bottomUp, std::string* pError, double dpi) {
  if (pixels == nullptr || strideBytes < static_cast<std::ptrdiff_t>(width) * 4) {
    if (pError != nullptr) *pError = "no pixels to write";
    return false;
  }
  const Block block{static_cast<const unsigned char*>(pixels), height, strideBytes, bottomUp};
  return WritePngFile(path, PngRows{width, height, &block, &BlockRow, dpi}, pError);
}

}  // namespace md::canvas
