// The check of the draw lists' cost fuzz target, for the target and for the
// regular tests that replay its inputs: the bytes are refused with a reason,
// or give a list whose cost in a box of 4 x 2 inches at 300 dpi is over the
// budget (drawn from its pixels instead, so not painted here), or one that
// paints, as a vector canvas paints it (drawlist_input.h), into a PDF file of
// that box and onto a raster of its dots without error, its file at most 5 MB beside 4 bytes for each pixel
// of its pictures' copies. fuzz_drawlistcost.cpp times it against the budget's time.
#pragma once

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/imaging/drawlistcost.h"
#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/drawlistread.h"
#include "tests/fuzz/drawlist_input.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

// The box a list is painted into: its dots.
constexpr int kCostBoxWidth = 1200, kCostBoxHeight = 600;

// True when the bytes gave a list within the budget, painted.
inline bool ReadDrawListCostInput(const std::uint8_t* data, std::size_t size) {
  std::string why;
  const std::shared_ptr<const md::imaging::DrawList> list = md::imaging::ReadDrawList(data, size, &why);
  if (list == nullptr) {
    fuzz::Check(!why.empty());
    return false;
  }
  const md::imaging::ListCost cost = md::imaging::CostOfList(*list, kCostBoxWidth, kCostBoxHeight, 1);
  if (!cost.WithinBudget()) return false;
  std::size_t written = 0;
  cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(
      [](void* closure, const unsigned char*, unsigned int length) {
        *static_cast<std::size_t*>(closure) += length;
        return CAIRO_STATUS_SUCCESS;
      },
      &written, kCostBoxWidth, kCostBoxHeight);
  cairo_surface_t* raster = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kCostBoxWidth, kCostBoxHeight);
  fuzz::Check(PaintedOnto(list, {pdf, raster}, nullptr, kCostBoxWidth, kCostBoxHeight));
  for (cairo_surface_t* target : {pdf, raster}) {
    cairo_surface_finish(target);
    fuzz::Check(cairo_surface_status(target) == CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(target);
  }
  fuzz::Check(static_cast<double>(written) <= 5e6 + 4 * cost.pixels);
  return true;
}

}  // namespace md::test
