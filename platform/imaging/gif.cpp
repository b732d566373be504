// The GIF reader, on giflib: the first frame, placed on the logical screen,
// with its transparent colour. GIF states no resolution.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "platform/imaging/decode.h"

namespace md::imaging {
namespace {

constexpr const char* kName = "GIF";
// Extension blocks before the first frame; files built to loop on them stop here.
constexpr int kMaxRecords = 100000;

int ReadBytes(GifFileType* gif, GifByteType* out, int n) {
  if (n <= 0) return 0;
  return static_cast<int>(
      static_cast<detail::MemoryReader*>(gif->UserData)->Read(out, static_cast<std::size_t>(n)));
}

std::string Why(int code) {
  const char* s = GifErrorString(code);
  return s != nullptr ? s : "damaged file";
}

struct Closer {
  GifFileType* gif;
  ~Closer() {
    int err = 0;
    if (gif != nullptr) DGifCloseFile(gif, &err);
  }
};

}  // namespace

DecodeResult DecodeGif(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  if (data == nullptr || size < 13) return detail::Fail(kName, "no GIF header");
  detail::MemoryReader src{data, size, 0};
  int err = 0;
  GifFileType* gif = DGifOpen(&src, &ReadBytes, &err);
  if (gif == nullptr) return detail::Fail(kName, Why(err));
  Closer closer{gif};

  int transparent = -1;
  for (int records = 0; records < kMaxRecords; ++records) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return detail::Fail(kName, Why(gif->Error));
    if (type == TERMINATE_RECORD_TYPE) return detail::Fail(kName, "no picture in the file");
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return detail::Fail(kName, Why(gif->Error));
      if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
      }
      while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return detail::Fail(kName, Why(gif->Error));
        if (++records >= kMaxRecords) return detail::Fail(kName, "too many extension blocks");
      }
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) continue;

    if (DGifGetImageDesc(gif) == GIF_ERROR) return detail::Fail(kName, Why(gif->Error));
    const GifImageDesc& d = gif->Image;
    // The picture is the logical screen; a frame reaching past it widens it.
    const long long sw = std::max<long long>(gif->SWidth, static_cast<long long>(d.Left) + d.Width);
    const long long sh = std::max<long long>(gif->SHeight, static_cast<long long>(d.Top) + d.Height);
    if (d.Width <= 0 || d.Height <= 0 || sw > 0x7FFFFFFF || sh > 0x7FFFFFFF)
      return detail::Fail(kName, "frame has no pixels");
    std::string error;
    std::shared_ptr<Bitmap> out =
        detail::NewBitmap(static_cast<int>(sw), static_cast<int>(sh), memoryLimit, Format::Gif, &error);
    if (!out) return detail::Fail(kName, error);
    const ColorMapObject* map = d.ColorMap != nullptr ? d.ColorMap : gif->SColorMap;
    if (map == nullptr) return detail::Fail(kName, "no colour table");
    std::vector<GifPixelType> line(static_cast<std::size_t>(d.Width));
    // Interlaced frames store rows in four passes.
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(d.Height));
    if (d.Interlace) {
      static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
      for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < d.Height; y += kStep[pass]) order.push_back(y);
    } else {
      for (int y = 0; y < d.Height; ++y) order.push_back(y);
    }
    for (int y : order) {
      if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) return detail::Fail(kName, Why(gif->Error));
      std::uint32_t* row = out->pixels.data() +
                           static_cast<std::size_t>(d.Top + y) * static_cast<std::size_t>(out->width) +
                           d.Left;
      for (int x = 0; x < d.Width; ++x) {
        const int index = line[static_cast<std::size_t>(x)];
        if (index == transparent) continue;
        if (index >= map->ColorCount) {
          row[x] = 0xFF000000u;
        } else {
          const GifColorType& c = map->Colors[index];
          row[x] = detail::Premultiply(c.Red, c.Green, c.Blue, 255);
        }
      }
    }
    detail::MarkAlpha(out.get());
    DecodeResult r;
    r.bitmap = std::move(out);
    return r;
  }
  return detail::Fail(kName, "too many extension blocks");
}

}  // namespace md::imaging
