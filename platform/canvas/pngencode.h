// Encoding rows of 24-bit pixels as a PNG file's bytes, quickly: stripes of
// rows are compressed on several threads into one zlib stream (each stripe's
// last deflate block ends on a byte boundary, so the stripes join into one
// valid stream, and their Adler-32 check sums combine into the stream's).
// Pages are flat paper and fills crossed by thin lines: runs of a pixel
// repeated leftwards or from the row above are all that is matched, a compare
// a pixel, and the symbols are written in blocks with Huffman codes built
// from their counts. Several times faster than zlib's fastest level, for
// files about as large on a map page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace md::canvas {

// The eight bytes every PNG file opens with.
inline constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// The resolution a picture states when nothing gives it a paper size: a
// screen's, in pixels per inch.
constexpr double kScreenDpi = 96.0;

// Rows of pixels: row(y) gives the `width` pixels of row y (top first), as
// 0x00RRGGBB in native 32-bit words (cairo's RGB24 surfaces hold them so);
// `dpi` is the resolution the file states.
struct PngRows {
  int width = 0;
  int height = 0;
  const void* context = nullptr;
  const std::uint32_t* (*row)(const void* context, int y) = nullptr;
  double dpi = kScreenDpi;
};

// Receives the file's bytes in order; false stops the encoding.
using PngSink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

// The value of a PNG's physical-size chunk (pHYs) for a resolution: pixels
// per metre, rounded; 0 for a resolution it cannot state (not above 0, or
// beyond the chunk's 31 bits).
std::uint32_t PngPixelsPerMetre(double dpi);

// Encodes the rows as an 8-bit RGB PNG stating their resolution, handing its
// bytes to the sink, on at most `threads` threads (0: as many as the machine
// has, at most 8; fewer where no more can be started, down to the calling
// one alone). False on a bad size or resolution, a missing row, a
// compression failure or a sink that stops. Memory that runs out on any of
// its threads (std::bad_alloc) is thrown on the calling one, once every
// thread it started has ended.
bool EncodePng(const PngRows& rows, const PngSink& sink, unsigned threads = 0);

// The same stream made of stripes compressed apart, each when its rows are
// ready, on any thread: rows [first, end) of an image `width` pixels wide,
// read through rows.row(y) for y from first - 1 (the row above, which the
// stripe's matches may reach) to end - 1. The last stripe closes the stream.
struct PngStripe {
  int first = 0;
  int end = 0;
  bool last = false;
  std::vector<std::uint8_t> deflated;  // deflate blocks ending on a byte boundary
  std::uint32_t adler = 1;             // of the stripe's filtered bytes
  std::size_t rawBytes = 0;
  bool ok = false;
};
// False for a bad size, a missing row or a compression failure.
bool CompressPngStripe(const PngRows& rows, int first, int end, bool last, PngStripe* stripe);
// Writes the file of rows.width x height pixels at `dpi` from its stripes,
// which must cover rows 0 to height in order, the last one closing the
// stream.
bool EmitPngStripes(int width, int height, const std::vector<PngStripe>& stripes, const PngSink& sink,
                    double dpi = kScreenDpi);

// Gives a PNG made elsewhere (cairo's writer states none) the resolution:
// its pHYs chunk, after the header, in place of any it had. False, with the
// bytes unchanged, for bytes that are no PNG or a resolution the chunk
// cannot state.
bool SetPngResolution(std::vector<std::uint8_t>* png, double dpi);

}  // namespace md::canvas
