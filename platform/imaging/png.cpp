// The PNG reader, on libpng: every colour type and bit depth becomes 8-bit
// RGBA; pHYs in pixels per metre gives the resolution.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "platform/imaging/decode.h"

namespace md::imaging {
namespace {

constexpr const char* kName = "PNG";

struct State {
  std::string error;
  std::shared_ptr<Bitmap> bitmap;
  std::vector<png_bytep> rows;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t n) {
  auto* src = static_cast<detail::MemoryReader*>(png_get_io_ptr(png));
  if (src->Read(out, n) != n) png_error(png, "file ends early");
}

void OnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<State*>(png_get_error_ptr(png));
  state->error = message != nullptr ? message : "damaged file";
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Everything between setjmp and the end of the decode lives in `state`, so
// that a jump out of libpng leaves no object half-built on this frame.
bool Run(png_structp png, png_infop info, State* state, std::size_t memoryLimit) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_set_chunk_malloc_max(png, 64u << 20);
  png_read_info(png, info);
  const png_uint_32 w = png_get_image_width(png, info);
  const png_uint_32 h = png_get_image_height(png, info);
  state->bitmap =
      detail::NewBitmap(static_cast<int>(w), static_cast<int>(h), memoryLimit, Format::Png, &state->error);
  if (!state->bitmap) return false;
  png_set_expand(png);  // palette to RGB, gray below 8 bits to 8, tRNS to alpha
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(w) * 4) png_error(png, "unexpected row layout");
  Bitmap* b = state->bitmap.get();
  state->rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) {
    state->rows[y] = reinterpret_cast<png_bytep>(b->pixels.data() + static_cast<std::size_t>(y) * w);
  }
  png_read_image(png, state->rows.data());
  png_uint_32 rx = 0, ry = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &rx, &ry, &unit) != 0 && unit == PNG_RESOLUTION_METER && rx > 0 && ry > 0) {
    b->dpiX = rx * 0.0254;
    b->dpiY = ry * 0.0254;
  }
  return true;
}

}  // namespace

DecodeResult DecodePng(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  if (data == nullptr || size < 8 || png_sig_cmp(data, 0, 8) != 0)
    return detail::Fail(kName, "no PNG signature");
  State state;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, &OnError, &OnWarning);
  if (png == nullptr) return detail::Fail(kName, "out of memory");
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return detail::Fail(kName, "out of memory");
  }
  detail::MemoryReader src{data, size, 0};
  png_set_read_fn(png, &src, &ReadBytes);
  const bool ok = Run(png, info, &state, memoryLimit);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) return detail::Fail(kName, state.error.empty() ? "damaged file" : state.error);
  // The rows hold R, G, B, A bytes: make them premultiplied 0xAARRGGBB.
  Bitmap* b = state.bitmap.get();
  for (std::uint32_t& p : b->pixels) {
    const auto* c = reinterpret_cast<const std::uint8_t*>(&p);
    p = detail::Premultiply(c[0], c[1], c[2], c[3]);
  }
  detail::MarkAlpha(b);
  DecodeResult r;
  r.bitmap = std::move(state.bitmap);
  return r;
}

}  // namespace md::imaging
