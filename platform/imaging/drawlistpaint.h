// Painting a draw list (drawlistread.h) with cairo: each record, checked
// already, becomes the cairo calls it names, under its own transform, and
// nothing else. A list is painted once for each vector file and box size it
// is drawn at (the canvas keeps what it painted), into a cairo recording of
// its own, so that a list that would put cairo in error costs only itself.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <memory>

#include "platform/canvas/canvas.h"
#include "platform/imaging/drawlistread.h"

namespace md::imaging {

// Paints the list stretched over (0, 0)-(width, height) of cr's user space;
// a hairline stroke `dot` device units of cr's target wide. The pictures'
// surfaces hold the list while cairo holds them. A paint whose pattern a
// raster of cr's target units could not take (pixman's fixed-point range,
// as a drawing squeezed into its box may need) is made anew in those units
// where that draws the same (a linear gradient), and is left out otherwise,
// counted in *leftOut. False when cr is in error after it (it may have
// painted part of the list).
bool PaintDrawList(const std::shared_ptr<const DrawList>& list, cairo_t* cr, double width, double height,
                   double dot, std::size_t* leftOut = nullptr);

// The paints PaintDrawList leaves out of the list stretched over a box of
// width x height of its target's units, painted with `dot`, found without
// painting (in time linear in its records).
std::size_t PaintsLeftOut(const std::shared_ptr<const DrawList>& list, double width, double height,
                          double dot);

// A metafile's drawing as vectors: its list, shared read-only by every paint
// on any thread.
class DrawListDrawing final : public canvas::VectorDrawing {
 public:
  explicit DrawListDrawing(std::shared_ptr<const DrawList> list) : list_(std::move(list)) {}
  void paint(cairo_t* cr, double width, double height) const override {
    paintChecked(cr, width, height, 1.0);
  }
  bool paintChecked(cairo_t* cr, double width, double height, double dot) const override {
    return PaintDrawList(list_, cr, width, height, dot);
  }
  const std::shared_ptr<const DrawList>& List() const { return list_; }

 private:
  const std::shared_ptr<const DrawList> list_;
};

}  // namespace md::imaging
