// The raster operations of an enhanced metafile's bitmap records, composed
// before libemf2svg reads the records, which draws every bitmap copied
// over what lies below and a blit of no bitmap not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace md::imaging::detail {

// The records of `copy` (a whole file) with each BitBlt, StretchBlt and
// StretchDIBits of a whole uncompressed bitmap whose operation is not
// SRCCOPY made a StretchDIBits of SRCCOPY of a 32-bit bitmap with alpha
// that paints, copied, what GDI's operation paints over a white page (an
// AND keeping what lies below where its bitmap is white) or a black one (an
// OR or XOR keeping it where its bitmap is black): a mask drawn with
// SRCPAINT and its image then drawn with SRCAND over the same place become
// one bitmap, the image opaque where the mask is white; NOTSRCCOPY is the
// bitmap inverted. A blit of no bitmap is a bitmap of one pixel of black
// (BLACKNESS; DSTINVERT, what it makes of white) or white (WHITENESS);
// libemf2svg paints PATCOPY's brush itself. Any other operation is left to
// be drawn as a copy, as is a bitmap whose pixels of four bytes pass what
// is left of `mostBytes` in all. The header's size and count of records are
// set to the new ones. Answers the operations composed as their nearest
// (NearestRop bits): all but a mask and its image, which are exact.
std::uint32_t ComposeEmfRasterOperations(std::vector<std::uint8_t>* copy, std::size_t mostBytes);

}  // namespace md::imaging::detail

namespace md::imaging::detail {

// LibreOffice clips a drawing to shapes by drawing it in R2_XORPEN, filling
// the shapes solid black in another mode, and drawing it again, the same
// records, in R2_XORPEN: outside the shapes the two drawings cancel, inside
// them the drawing stands. libemf2svg draws all three as copies. The copy's
// first drawing of such a trick keeps only its records of state (objects,
// modes, clips, transforms), and its second is drawn within SaveDC and
// RestoreDC clipped to the shapes: to the rectangle IntersectClipRect
// names where they are one upright rectangle, else to their path
// (SelectClipPath); the shapes are not drawn. Records not of that form are
// left as they are.
void ClipEmfXorDrawings(std::vector<std::uint8_t>* copy);

}  // namespace md::imaging::detail
