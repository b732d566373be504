// Drawing a decoded picture into a device context (screen, memory bitmap or
// printer), stretched into a destination rectangle with filtered scaling.
#pragma once

#include <cstddef>
#include <string>

#include "platform/imaging/bitmap.h"
#include "platform/win/wintypes.h"

namespace md::imaging {

// Draws the whole picture so that its top-left corner lands on the logical
// point (x, y) of hdc and its bottom-right corner on (x + width, y + height);
// a destination that runs against the device axes mirrors the picture, so
// under a y-up mapping a negative height shows it upright. Only pixels
// inside the context's clip and, when `clip` is given, inside that logical
// rectangle are painted. Shrinking averages the source pixels each device
// pixel covers; enlarging interpolates between neighbours. Only the visible
// part of the destination is computed, on a grid of at most 600 dots per
// inch: on finer devices (vector files) each grid cell spans several device
// pixels and the canvas stretches it. A metafile is drawn from its vectors
// instead where the canvas takes them: on a raster (a memory bitmap, a
// screen, a printer's bands) the helper program paints it at the device's
// size under its own limits (metafile.h), and those pixels, kept with the
// pictures (loader.h) while they are not too large, are put on the device
// (its own pixels are, at their own size upright);
// into a vector file as paths, from the draw list the helper answered
// (metafilevectors.h), or the one it answers for the box when its pictures
// are large (kept with the pictures too). The helper's runs and the paints
// of paths spend the time for metafiles of this thread's drawing
// (metafilelimits.h); once that is spent, or when the helper cannot paint it
// or answer its list, the pixels are drawn instead, and *pSpent, when given,
// is set to what says why. FALSE for a bad context, a context without a
// surface or an
// empty picture; TRUE when nothing was visible.
BOOL DrawBitmap(HDC hdc, const Bitmap& bitmap, int x, int y, int width, int height,
                const RECT* clip = nullptr, std::string* pSpent = nullptr);

// Whether DrawBitmap draws the metafile on the context without its draw
// list: on a raster, where its helper paints it or its pixels stand for it.
bool DrawnWithoutItsVectors(HDC hdc, const Bitmap& bitmap);

namespace detail {
// The paints of metafiles' vectors made in this process so far: by the
// helper for a raster, or as paths (tests count them).
std::size_t VectorPaintCount();
}  // namespace detail

}  // namespace md::imaging
