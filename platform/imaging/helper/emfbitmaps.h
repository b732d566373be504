// The compressed bitmaps of an enhanced metafile's records, expanded.
// libemf2svg refuses a whole file for one bitmap compressed with RLE8 or
// RLE4 (LibreOffice writes a bitmap's transparency mask so), so it is given
// a copy whose such bitmaps are rows of 8-bit indices instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace md::imaging::detail {

// The records of `data` (a whole file, its header first, `size` its
// records' bytes) with each bitmap of a StretchDIBits or SetDIBitsToDevice
// record compressed with RLE8 or RLE4 expanded to uncompressed 8-bit rows,
// its record grown to hold them and the header's size set to the new one's.
// A bitmap that does not expand (damaged, or past `mostBytes` in all) is
// left as it is. Empty when no bitmap is compressed.
std::vector<std::uint8_t> ExpandEmfBitmaps(const std::uint8_t* data, std::size_t size, std::size_t mostBytes);

}  // namespace md::imaging::detail
