// An enhanced metafile's clip as GDI keeps it. libemf2svg clips to the last
// rectangle IntersectClipRect or ExcludeClipRect names (an excluded one
// too), drops ExtSelectClipRgn's regions, and gives a clip the world
// transform of the shapes drawn in it rather than that of its own record.
#pragma once

#include <cstdint>
#include <vector>

namespace md::imaging::detail {

// The copy (the bytes of the whole file, its header first, its bounds those
// of the drawing in the reference device's pixels) with its clip records
// read as GDI reads them: IntersectClipRect narrows the clip to its
// rectangle, ExcludeClipRect takes its rectangle out, ExtSelectClipRgn
// combines its region by its mode (and with no region and RGN_COPY ends the
// clip), OffsetClipRgn moves it, SetMetaRgn makes it the meta region that
// bounds every later clip, and SaveDC keeps it. The clip they leave, a set
// of rectangles in device pixels, goes to the library in their place as a
// path selected as the clip (SelectClipPath, RGN_COPY), given again under
// each later transform it is drawn in. A clip a file's own SelectClipPath
// makes, and one made under a transform that turns or shears, are left to
// the library until a clip record or a RestoreDC sets one of rectangles.
void SetEmfClips(std::vector<std::uint8_t>* copy);

}  // namespace md::imaging::detail
