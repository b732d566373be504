// The check of the draw list fuzz target, for the target and for the regular
// tests that replay its inputs: the bytes are refused with a reason, or give a
// list that paints without putting cairo in error, onto a recording and onto a
// small raster, at the list's size and at another.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/drawlistread.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

// True when the bytes gave a list.
inline bool ReadDrawListInput(const std::uint8_t* data, std::size_t size) {
  std::string why;
  const std::shared_ptr<const md::imaging::DrawList> list = md::imaging::ReadDrawList(data, size, &why);
  if (list == nullptr) {
    fuzz::Check(!why.empty());
    return false;
  }
  cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
  cairo_surface_t* raster = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 24, 16);
  for (cairo_surface_t* target : {recording, raster}) {
    cairo_t* cr = cairo_create(target);
    // Mirrored, as a box drawn against the device's axes is.
    cairo_translate(cr, 24, 0);
    cairo_scale(cr, -1, 1);
    fuzz::Check(md::imaging::PaintDrawList(list, cr, 24, 16, 1.0));
    cairo_destroy(cr);
  }
  cairo_surface_destroy(raster);
  cairo_surface_destroy(recording);
  return true;
}

}  // namespace md::test
