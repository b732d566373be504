// The draw list of a metafile's drawing (protocol/drawlist.h), written in the
// helper from the SVG document cairo wrote of it: the document is checked
// (svg/svgcheck.h), measured (svg/svgmeasure.h) and read here, so that the
// library reads nothing but the flat list. What the list paints is what the
// library's painter of such documents painted of them: each element of what
// cairo's SVG surface writes (groups, paths, rectangles, uses of symbols and
// glyphs, clip paths, masks, gradients, patterns of one picture, pictures)
// becomes records, each under the whole transform it is drawn with; a
// pattern of drawn content (listtiles.h) becomes a picture of its tile,
// repeated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/imaging/protocol/answer.h"

namespace md::imaging::detail {

// What the list is written for.
struct ListTarget {
  // The drawing's own space, which the document's view box is stretched
  // over (the list's header says it).
  double width = 0, height = 0;
  // The box of cells the list is asked for (the list request), or none
  // (0 x 0: the drawing at its own size). In a box each picture keeps at most
  // the pixels its shown size has in cells, and all pictures together are
  // shrunk until the list fits its room; at its own size they are kept
  // whole.
  double boxWidth = 0, boxHeight = 0;
  // The most memory one picture may take decoded; a larger one is left out,
  // as the library's decoder left it out.
  std::size_t memoryLimit = 0;
};

struct ListAnswer {
  VectorsAnswer vectors = VectorsAnswer::Unreadable;
  std::size_t bytes = 0;  // the list's, written at `out`, when vectors is List
};

// Writes the list of the document into the `room` bytes at `out` (8-byte
// aligned, at most drawlist::kMaxBytes), or answers why not: the document is
// not what cairo writes or cannot be read (Unreadable), passes a bound of the
// measure's or the list's (PastBounds, TooLarge), holds what was drawn from its
// pixels (Filter, Pattern, MaskOfPictures, PictureInLayer, GradientStops), or
// draws under a transform the list cannot carry (BadTransform). Whatever the
// document holds, the work is bounded by its size and the measure's bounds,
// and no record written is one the library's reader refuses.
ListAnswer WriteDrawList(std::string_view svg, const ListTarget& target, std::uint8_t* out, std::size_t room);

}  // namespace md::imaging::detail
