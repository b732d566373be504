// What a draw list (drawlistread.h) costs to paint into a box, reckoned
// before it is painted, in the device space of the canvas that pays for it:
// the box's dots (a vector file's 300-dpi dots, or a raster's pixels), as the
// painter (drawlistpaint.h), the vector file's writer and a viewer of the file
// meet it. Each record is reckoned once, by the function of its kind; the
// list's cost is their sum, held against one budget, past which the list is
// not painted.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/imaging/drawlistread.h"
#include "platform/imaging/protocol/drawlist.h"

namespace md::imaging {

// The figures of a list's cost in a box, each in its own unit.
struct ListCost {
  // Lines of the paths once flattened in the dots (a curve's at the reach of
  // its control points, however far past the box), with their verbs; a
  // clip's again at each thing done within it.
  double segments = 0;
  // Rows of dots the edges of fills, clips and strokes' outlines cross: what
  // a viewer scans them in.
  double crossings = 0;
  // Vertices a stroker makes of the strokes' caps and joins, at each dash
  // and part, at the pen's size in the dots (a hairline's as painted).
  double outline = 0;
  // Gradient stops painted, at each use and each repeat across the box,
  // each use's times the dots it fills: a viewer finds each dot's colour
  // among them.
  double stops = 0;
  // Tiles the pictures repeated as patterns paint.
  double tiles = 0;
  // Pixels of the pictures written into a vector file: one copy of each.
  double pixels = 0;

  // The part of the budget the list takes: each figure over what the budget
  // holds of its kind alone, summed. Past 1 the list is over budget.
  double Share() const;
  bool WithinBudget() const { return Share() <= 1; }
};

// What the budget holds of each kind alone: set on the bench of the
// helper's answers (bench/drawlist/helperanswers_bench.cpp, its cost_ rows)
// so that a list at any of them, or at a mix of them, costs about half a
// second of the host's processor time at most to paint and write into a PDF
// file, makes at most 5 MB of it beside its pictures' pixels, and is drawn
// by a viewer at 20 dpi (pdftoppm, Ghostscript) in some 5 s at most: about
// half what a print and a viewer may spend. A list painted onto a raster of
// the box's dots as well (the fuzzer's oracle) stays within a second or two.
struct CostBudget {
  static constexpr double kSegments = 3e6;
  static constexpr double kCrossings = 4e8;
  static constexpr double kOutline = 1.2e7;
  static constexpr double kStops = 1e10;
  static constexpr double kTiles = 1 << 24;
  static constexpr double kPixels = 6e6;
};

// The list's cost stretched over a box of width x height of its target's
// units, whose dot (the thinnest line, a 300-dpi dot of a vector file or a
// raster's pixel) is `dot` of them.
ListCost CostOfList(const DrawList& list, double width, double height, double dot);

// The one copy of a picture a vector file holds: as many pixels across and
// down as the most any record shows of it takes in dots, at most the
// picture's own and, together, at most the box's dots. 0 x 0 for a picture
// no record shows. `repeated` when every record showing it repeats it as a
// pattern.
struct PictureCopy {
  std::uint32_t cols = 0, rows = 0;
  bool repeated = false;
};
// The copies of the list's pictures, their records mapped from the
// drawing's space to the target's units by `toTarget`, its dot `dot` of
// them.
std::vector<PictureCopy> PictureCopies(const DrawList& list, const drawlist::Matrix& toTarget, double dot);

}  // namespace md::imaging
