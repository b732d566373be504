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
// instead where it has them and the canvas takes them (svgdrawing.h): at
// the device's resolution, and as paths into vector files. Their painting
// spends the time for metafiles of this thread's drawing
// (metafilelimits.h); once that is spent the pixels are drawn instead, and
// *pSpent, when given, is set to what says so. On a raster a drawing slow to
// paint is painted once at each size it is drawn at into a raster of its
// own, kept with the pictures (loader.h) while it is not too large, which
// this drawing and the next at that size put on the device. FALSE for a bad
// context, a context without a surface or an empty picture; TRUE when
// nothing was visible.
BOOL DrawBitmap(HDC hdc, const Bitmap& bitmap, int x, int y, int width, int height,
                const RECT* clip = nullptr, std::string* pSpent = nullptr);

namespace detail {
// The paints of metafiles' vectors made in this process so far, onto a
// device or into a raster to keep (tests count them).
std::size_t VectorPaintCount();
}  // namespace detail

}  // namespace md::imaging
