// The check of the draw list fuzz target, for the target and for the regular
// tests that replay its inputs: the bytes are refused with a reason, or give a
// list that paints without putting cairo in error into a recording, which
// then goes into a PDF file and onto a small raster without error too.
#pragma once

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/drawlistread.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

// The list painted as a vector canvas paints it, into a recording of its own
// of width x height units (24 x 16 unless given), put onto each target
// (mirrored, as a box drawn against the device's axes is), which is flushed;
// whether cairo stayed out of error throughout. The paints left out in
// *leftOut, when given.
inline bool PaintedOnto(const std::shared_ptr<const md::imaging::DrawList>& list,
                        std::initializer_list<cairo_surface_t*> targets, std::size_t* leftOut = nullptr,
                        double width = 24, double height = 16) {
  const cairo_rectangle_t box{0, 0, width, height};
  cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &box);
  cairo_t* cr = cairo_create(recording);
  bool ok = md::imaging::PaintDrawList(list, cr, width, height, 1.0, leftOut);
  cairo_destroy(cr);
  for (cairo_surface_t* target : targets) {
    cr = cairo_create(target);
    cairo_translate(cr, width, 0);
    cairo_scale(cr, -1, 1);
    cairo_set_source_surface(cr, recording, 0, 0);
    cairo_paint(cr);
    ok = ok && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_flush(target);
    ok = ok && cairo_surface_status(target) == CAIRO_STATUS_SUCCESS;
  }
  cairo_surface_destroy(recording);
  return ok;
}

// True when the bytes gave a list.
inline bool ReadDrawListInput(const std::uint8_t* data, std::size_t size) {
  std::string why;
  const std::shared_ptr<const md::imaging::DrawList> list = md::imaging::ReadDrawList(data, size, &why);
  if (list == nullptr) {
    fuzz::Check(!why.empty());
    return false;
  }
  // Into a PDF file, and onto a small raster, as a vector file's fallback to
  // pixels paints it (an SVG file's fallback too).
  cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(
      [](void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }, nullptr, 24, 16);
  cairo_surface_t* raster = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 24, 16);
  fuzz::Check(PaintedOnto(list, {pdf, raster}));
  for (cairo_surface_t* target : {pdf, raster}) {
    cairo_surface_finish(target);
    fuzz::Check(cairo_surface_status(target) == CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(target);
  }
  return true;
}

}  // namespace md::test
