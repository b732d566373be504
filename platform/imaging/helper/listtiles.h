// The tile of a pattern of drawn content (not one picture), as cairo's SVG
// writes a repeated recording (an EMF's hatched brush, a pattern of lines):
// painted once with cairo into pixels, which the draw list (listwriter.h)
// repeats as a picture paint, so that the rest of the drawing stays vectors.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "platform/imaging/helper/listpictures.h"
#include "platform/imaging/helper/svg/svgdocument.h"
#include "platform/imaging/protocol/answer.h"

namespace md::imaging::detail {

// What the tiles painted for one list spend: the elements they visit and
// the pixels of the tiles painted inside them (each at most the pixels of
// the tile it is painted into, a side), counted up to their bounds.
struct TileBudget {
  std::uint64_t visits = 0, mostVisits = 0;
  double pixels = 0, mostPixels = 0;
};

// Whether the tile of the pattern can be painted here: List when its content
// is groups, uses, clip paths of paths and rectangles, pictures, and paths
// and rectangles filled and stroked with colours or with patterns of one
// picture or of such tiles; Pattern when it holds anything else (a mask, a
// filter, a gradient, text); PastBounds past the writer's bound of nesting
// or the budget's of visits (shared by the checks of one document).
VectorsAnswer TilePaintable(const svg::Document& doc, std::uint32_t pattern, TileBudget* budget);

// Paints the tile of the pattern (its width x height of pattern space,
// clipped there) over w x h premultiplied pixels, its pictures decoded
// from `pictures` (those it leaves out paint nothing). False when the
// painting failed or passed the budget.
bool PaintTile(const svg::Document& doc, std::uint32_t pattern, ListPictures* pictures, int w, int h,
               TileBudget* budget, std::vector<std::uint32_t>* pixels);

}  // namespace md::imaging::detail
