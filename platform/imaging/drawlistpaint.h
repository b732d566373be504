// Painting a draw list (drawlistread.h) with cairo: each record, checked
// already, becomes the cairo calls it names, under its own transform, and
// nothing else. A list is painted once for each vector file and box size it
// is drawn at (the canvas keeps what it painted), into a cairo recording of
// its own, so that a list that would put cairo in error costs only itself.
#pragma once

#include <cairo.h>

#include <memory>

#include "platform/canvas/canvas.h"
#include "platform/imaging/drawlistread.h"

namespace md::imaging {

// Paints the list stretched over (0, 0)-(width, height) of cr's user space;
// a hairline stroke `dot` device units of cr's target wide. The pictures'
// surfaces hold the list while cairo holds them. False when cr is in error
// after it (it may have painted part of the list).
bool PaintDrawList(const std::shared_ptr<const DrawList>& list, cairo_t* cr, double width, double height,
                   double dot);

// A metafile's drawing as vectors: its list, shared read-only by every paint
// on any thread.
class DrawListDrawing final : public canvas::VectorDrawing {
 public:
  explicit DrawListDrawing(std::shared_ptr<const DrawList> list) : list_(std::move(list)) {}
  void paint(cairo_t* cr, double width, double height) const override {
    PaintDrawList(list_, cr, width, height, 1.0);
  }
  bool paintChecked(cairo_t* cr, double width, double height, double dot) const override {
    return PaintDrawList(list_, cr, width, height, dot);
  }
  const std::shared_ptr<const DrawList>& List() const { return list_; }

 private:
  const std::shared_ptr<const DrawList> list_;
};

}  // namespace md::imaging
