// The compressed bitmaps of an enhanced metafile's records, expanded.
// libemf2svg refuses a whole file for one bitmap compressed with RLE8 or
// RLE4 (LibreOffice writes a bitmap's transparency mask so), so it is given
// a copy whose such bitmaps are rows of 8-bit indices instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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

namespace md::imaging::detail {

// A pattern brush's bitmap read as GDI draws it: `lines` holds the pixels
// of its first colour, `colours` its two colours (0x00BBGGRR); `mean` is
// the colour it averages to. `hatch` is the GDI hatch style (0 to 5) an
// 8 x 8 two-coloured pattern draws the lines of, or -1.
struct BrushPattern {
  int hatch = -1;
  std::uint32_t lineColour = 0, mean = 0x808080;
};

// The pattern of the bitmap whose header starts at `info` (`infoBytes`
// of it, its colours after it) and whose rows are `bits`: a two-coloured
// bitmap of 1 bit a pixel (its colours `mono` when `useMono`: the DC's text
// colour for 0, its background for 1, as a monochrome brush takes them),
// or the mean of an uncompressed one of 8, 24 or 32 bits.
BrushPattern ReadBrushPattern(const std::uint8_t* info, std::size_t infoBytes, const std::uint8_t* bits,
                              std::size_t bitsBytes, bool useMono, const std::uint32_t mono[2]);

// A brush drawn as GDI's hatch: its style, its lines' colour and, where
// the background mode is opaque, its background's (0x00BBGGRR).
struct BrushHatch {
  int style = 0;
  std::uint32_t line = 0;
  bool opaque = false;
  std::uint32_t background = 0xFFFFFF;
};

// libemf2svg fills a hatched or pattern brush (CreateBrushIndirect,
// CreateMonoBrush, CreateDIBPatternBrushPt) with its colour, solid, black
// for a pattern, and reads past a pattern's bytes. The copy's pattern
// brushes are made anew as solid brushes: of the colour they average to,
// or, for a hatch or a two-coloured 8 x 8 pattern of a hatch's lines, of
// the colour HatchMarker gives the hatch's index in the answer, which
// HatchSvg replaces with the hatch in the SVG (at most kHatchMarkers of
// them; the rest solid).
std::vector<BrushHatch> ReplaceEmfPatternBrushes(std::vector<std::uint8_t>* copy);
constexpr std::size_t kHatchMarkers = 100;
// The marker's colour as an SVG writes it ("#01370k", digits only).
std::string HatchMarker(std::size_t index);
// The SVG with each marker's fill the hatch's pattern, defined at its start
// (after its first tag), its cell 8 units of the SVG.
std::string HatchSvg(std::string svg, const std::vector<BrushHatch>& hatches);

}  // namespace md::imaging::detail
