// Drawing a decoded picture into a device context (screen, memory bitmap or
// printer), stretched into a destination rectangle with filtered scaling.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/imaging/bitmap.h"
#include "platform/win/wintypes.h"

namespace md::imaging {

// How DrawBitmap fell short of drawing a metafile as it means it: why ("" when
// it did not), whether for the drawing's spent time for metafiles (said at
// each drawing) or for the file's own answer (the same at each), and whether
// it drew the metafile's pixels instead or nothing.
struct MetafileShortfall {
  std::string why;
  bool spent = false;
  bool fromPixels = false;
  // Drawn as vectors, but without what `why` says is left out.
  bool partial = false;
  // The raster operations of what lies below that it drew as their nearest
  // painting (protocol/answer.h's NearestRop bits), when drawn at all.
  std::uint32_t nearestRops = 0;
};

// The raster operations of `nearestRops` named, each with the painting it
// was drawn as: "SRCINVERT as a copy, DSTINVERT as black".
std::string NearestRopsNamed(std::uint32_t nearestRops);

// Draws the whole picture so that its top-left corner lands on the logical
// point (x, y) of hdc and its bottom-right corner on (x + width, y + height);
// a destination that runs against the device axes mirrors the picture, so
// under a y-up mapping a negative height shows it upright. Only pixels
// inside the context's clip and, when `clip` is given, inside that logical
// rectangle are painted. Shrinking averages the source pixels each device
// pixel covers; enlarging interpolates between neighbours. Only the visible
// part of the destination is computed, on a grid of at most 600 dots per
// inch: on finer devices (vector files) each grid cell spans several device
// pixels and the canvas stretches it.
//
// A metafile has no pixels of its own: on a raster (a memory bitmap, a
// screen, a printer's bands) its helper paints it at the device's size under
// its own limits (metafile.h), and those pixels, kept with the pictures
// (loader.h) while they are not too large, are put on the device; into a
// vector file it is drawn as paths from the draw list its helper answers for
// the box (metafilevectors.h), kept with the pictures too. The helper's runs
// and the paints of paths spend the time for metafiles of this thread's
// drawing (metafilelimits.h). Where a list is refused, its painting at its
// own size (300 dpi of it) is drawn instead; once that time is spent, or when
// the helper cannot paint it, that painting where it is kept, and nothing
// where it is not. *pShort, when given, says so (MetafileShortfall).
//
// FALSE for a bad context, a context without a surface, an empty picture, or
// a metafile drawn not at all; TRUE when nothing was visible.
BOOL DrawBitmap(HDC hdc, const Bitmap& bitmap, int x, int y, int width, int height,
                const RECT* clip = nullptr, MetafileShortfall* pShort = nullptr);

namespace detail {
// The paints of metafiles' vectors made in this process so far: by the
// helper for a raster, or as paths (tests count them).
std::size_t VectorPaintCount();
}  // namespace detail

}  // namespace md::imaging
