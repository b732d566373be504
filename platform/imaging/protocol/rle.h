// Run-length compressed rows of palette indices (RLE8, RLE4), as BMP files
// and the bitmaps of metafile records hold them: the library reads BMP files
// with it, and the helper expands an enhanced metafile's compressed bitmaps
// with it before libemf2svg, which reads none, is given them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace md::imaging::detail {

// Expands `n` compressed bytes of a width x height picture of 8-bit (or,
// `four`, 4-bit) indices into `indices`, one byte a pixel, row 0 the bottom
// row; pixels no run reaches keep what `indices` held. The position is kept
// inside the picture: a run or a move that would leave it does not fit.
// nullptr, or why the bytes do not fit the picture.
const char* ExpandRle(const std::uint8_t* src, std::size_t n, std::size_t width, std::size_t height,
                      bool four, std::uint8_t* indices);

}  // namespace md::imaging::detail
