// The JPEG reader, on libjpeg: grey, RGB/YCbCr and CMYK/YCCK pictures; the
// JFIF density gives the resolution.
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/imaging/decode.h"

namespace md::imaging {
namespace {

constexpr const char* kName = "JPEG";
// A progressive file may hold many scans over the same pixels; this many is
// far beyond what encoders write and stops files built to spin the decoder.
constexpr int kMaxScans = 1000;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool truncated;
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings are not shown; a file whose data end before its last scan is
// refused, whether the bytes run out or an end-of-image marker comes too
// soon (the decoder would fill the rest with grey).
void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER))
    reinterpret_cast<ErrorManager*>(cinfo->err)->truncated = true;
}

void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "more than %d scans", kMaxScans);
    std::longjmp(err->jump, 1);
  }
}

struct State {
  std::string error;
  std::shared_ptr<Bitmap> bitmap;
  std::vector<JSAMPLE> row;
};

bool Run(jpeg_decompress_struct* cinfo, ErrorManager* err, State* state, const std::uint8_t* data,
         std::size_t size, std::size_t memoryLimit) {
  if (setjmp(err->jump)) {
    state->error = err->message;
    return false;
  }
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);
  state->bitmap =
      detail::NewBitmap(static_cast<int>(cinfo->image_width), static_cast<int>(cinfo->image_height),
                        memoryLimit, Format::Jpeg, &state->error);
  if (!state->bitmap) return false;
  // The decoder's own buffers (whole-picture coefficients of progressive
  // files) stay within the same limit.
  cinfo->mem->max_memory_to_use = static_cast<long>(memoryLimit);
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(cinfo);
  const int comps = cinfo->output_components;
  if ((cmyk && comps != 4) || (!cmyk && comps != 3)) {
    std::snprintf(err->message, sizeof err->message, "unexpected %d components", comps);
    std::longjmp(err->jump, 1);
  }
  Bitmap* b = state->bitmap.get();
  state->row.resize(static_cast<std::size_t>(cinfo->output_width) * static_cast<std::size_t>(comps));
  // Adobe writes CMYK inverted.
  const bool inverted = cmyk && cinfo->saw_Adobe_marker;
  while (cinfo->output_scanline < cinfo->output_height) {
    const JDIMENSION y = cinfo->output_scanline;
    JSAMPROW rows[1] = {state->row.data()};
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1) break;
    std::uint32_t* d = b->pixels.data() + static_cast<std::size_t>(y) * b->width;
    const JSAMPLE* s = state->row.data();
    for (JDIMENSION x = 0; x < cinfo->output_width; ++x, s += comps) {
      if (cmyk) {
        unsigned c = s[0], m = s[1], ye = s[2], k = s[3];
        if (!inverted) {
          c = 255 - c;
          m = 255 - m;
          ye = 255 - ye;
          k = 255 - k;
        }
        d[x] = detail::Premultiply(c * k / 255, m * k / 255, ye * k / 255, 255);
      } else {
        d[x] = detail::Premultiply(s[0], s[1], s[2], 255);
      }
    }
  }
  if (cinfo->saw_JFIF_marker && cinfo->X_density > 0 && cinfo->Y_density > 0) {
    if (cinfo->density_unit == 1) {
      b->dpiX = cinfo->X_density;
      b->dpiY = cinfo->Y_density;
    } else if (cinfo->density_unit == 2) {
      b->dpiX = cinfo->X_density * 2.54;
      b->dpiY = cinfo->Y_density * 2.54;
    }
  }
  if (err->truncated || cinfo->output_scanline < cinfo->output_height) {
    state->error = "file ends early";
    return false;
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

DecodeResult DecodeJpeg(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  if (data == nullptr || size < 3) return detail::Fail(kName, "no JPEG signature");
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = &OnError;
  err.base.emit_message = &OnMessage;
  err.message[0] = '\0';
  err.truncated = false;
  jpeg_create_decompress(&cinfo);
  jpeg_progress_mgr progress;
  progress.progress_monitor = &OnProgress;
  cinfo.progress = &progress;
  State state;
  const bool ok = Run(&cinfo, &err, &state, data, size, memoryLimit);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) return detail::Fail(kName, state.error.empty() ? "damaged file" : state.error);
  DecodeResult r;
  r.bitmap = std::move(state.bitmap);
  return r;
}

}  // namespace md::imaging
