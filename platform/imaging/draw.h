// Drawing a decoded picture into a device context (screen, memory bitmap or
// printer), stretched into a destination rectangle with filtered scaling.
#pragma once

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
// the device's resolution, and as paths into vector files. FALSE for a bad context, a context
// without a surface or an empty picture; TRUE when nothing was visible.
BOOL DrawBitmap(HDC hdc, const Bitmap& bitmap, int x, int y, int width, int height,
                const RECT* clip = nullptr);

}  // namespace md::imaging
