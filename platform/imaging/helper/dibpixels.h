// A bitmap record's DIB read by the helper itself, and
// a part of a bitmap averaged down to the pixels its place spans on the
// device as its rows are read, so that a large bitmap drawn small costs the
// pixels it is drawn at and a pass over its rows, never a copy of it of four
// bytes a pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace md::imaging::detail {

class DibPixels {
 public:
  // Reads a packed DIB (its header, its colours, its rows) of 40 bytes of
  // header, uncompressed, of 1, 4, 8, 16, 24 or 32 bits a pixel, as libwmf
  // reads one but for the colours of a header counting none, which are all
  // its bits index, as GDI reads them (libwmf read none, and the colours'
  // bytes as the first rows): `width` and `height`, when not 0, stand for
  // the header's; the colours are as many as the header counts (at most
  // those its bits index; for 16 bits and more, skipped), a pixel of no
  // colour a grey of its index, or for 1 bit black for 1 and white for 0;
  // 16 bits are 5 of each channel; the fourth byte of 32 bits is the
  // opacity. False for any other DIB (libwmf reads those), or one whose
  // rows pass its bytes.
  bool Read(const std::uint8_t* dib, std::size_t bytes, unsigned width, unsigned height);
  // Reads a DIB of the same kinds whose header and colours (`infoBytes` of
  // them) and rows lie apart, as GDI reads one: a header counting no
  // colours has all its bits index.
  bool ReadApart(const std::uint8_t* info, std::size_t infoBytes, const std::uint8_t* bits,
                 std::size_t bitsBytes);
  unsigned Bits() const { return bits_; }
  unsigned Width() const { return width_; }
  unsigned Height() const { return height_; }
  // Row y counted from the top, columns [x0, x0 + w), as straight
  // 0xAARRGGBB; all within the bitmap.
  void Row(unsigned y, unsigned x0, unsigned w, std::uint32_t* out) const;
  // For a bitmap of 1 bit a pixel: adds to `sums` (4 a span: alpha, red,
  // green, blue) row y's columns [x0 + starts[k], x0 + starts[k + 1]) of
  // `spans` spans, each pixel painted as `painted` says of its colour (its
  // bit's: premultiplied 0xAARRGGBB); false (nothing added) for any other.
  bool AddSpans(unsigned y, unsigned x0, const unsigned* starts, unsigned spans,
                const std::uint32_t painted[2], std::uint64_t* sums) const;
  // The straight 0xAARRGGBB of a 1-bit pixel of the bit.
  std::uint32_t BitColour(unsigned bit) const;

 private:
  // The header's fields read, its colours (`colours` of them at `palette`)
  // and rows (at `bits`) within their bytes; false for a DIB of another kind.
  bool Take(const std::uint8_t* info, std::size_t colours, const std::uint8_t* palette,
            const std::uint8_t* bits, std::size_t bitsBytes);
  unsigned width_ = 0, height_ = 0, bits_ = 0;
  bool topDown_ = false;
  std::size_t stride_ = 0;
  std::vector<std::uint32_t> palette_;
  std::vector<std::uint8_t> rows_;
};

// Fills `out` (th rows of `stride` pixels) with w x h premultiplied pixels
// averaged down to tw x th (at most w x h, at least 1 x 1): a pixel of the
// result is the mean of the pixels whose columns x * tw / w and rows
// y * th / h are its own. `addRow` adds the row y (from the top, each row
// once, in order) to the sums of the columns of the result (4 a column:
// alpha, red, green, blue), whose first columns of the row `starts` gives
// (tw + 1 of them, the last w).
void AverageDown(unsigned w, unsigned h, unsigned tw, unsigned th,
                 const std::function<void(unsigned y, const unsigned* starts, std::uint64_t* sums)>& addRow,
                 std::uint32_t* out, std::size_t stride);
// Adds the row of premultiplied pixels to the sums as AverageDown's addRow.
void AddPixels(const std::uint32_t* row, const unsigned* starts, unsigned tw, std::uint64_t* sums);

// The records of an enhanced metafile (`copy`, a whole file) with each
// StretchDIBits of a whole uncompressed bitmap of 1, 4, 8, 16, 24 or 32
// bits whose pixels pass the pixels its bounds (in the reference device's
// pixels) span at `across` x `down` pixels drawn a device pixel, averaged
// down to those: a bitmap of 24 bits (32 bits of one of 32, its alpha
// averaged) of the record's rows, the record and the header's size made to
// hold it. Answers how many were.
std::size_t ReduceEmfBitmaps(std::vector<std::uint8_t>* copy, double across, double down);

}  // namespace md::imaging::detail
