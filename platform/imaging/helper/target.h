// Where the helper draws a metafile (answer.h): it chooses the drawing's
// pixel size, records what the metafile libraries draw, and paints the
// recording into the run's buffer and writes its draw list there.
#pragma once

#include <cairo.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/imaging/protocol/answer.h"

namespace md::imaging::detail {

// The helper fills in the pixel size it chose and the resolution, draws onto
// the surface of that size, and finishes. Asked to paint a box (`box` set),
// it paints the drawing stretched over the box into the pixels of its window;
// asked for the list at a box of cells (`cells` and `list` set), it writes
// the list; asked for neither, it only says the size.
struct MetafileTarget {
  MetafileTarget() = default;
  MetafileTarget(const MetafileTarget&) = delete;
  MetafileTarget& operator=(const MetafileTarget&) = delete;
  ~MetafileTarget();

  std::size_t maxPixels = 0;
  std::size_t memoryLimit = 0;
  // Chooses the pixel size for a drawing of width x height inches; "" or
  // why it cannot be drawn.
  std::string Size(double widthInches, double heightInches);
  // The size the players draw at, once Size has answered "": the picture's
  // own pixels or, painting a box, the box's size, so that the recording is
  // painted one to one (cairo paints a recording scaled with its scale
  // rounded to 1/256, which moved a far edge by pixels). A pen thinner than
  // a pixel of this size is drawn a pixel wide, marked as a hairline
  // (drawlist.h: kHairlineMiterLimit).
  double DrawnWidth() const;
  double DrawnHeight() const;
  // Whether it is asked for its size alone (neither a painting nor a list).
  bool SizeOnly() const { return box == nullptr && list == nullptr; }
  // The surface to draw on (a reference of the caller's), once Size has
  // answered "": a recording of the drawn size, or painting an upright box,
  // its window's pixels.
  cairo_surface_t* Surface() const;
  // Paints what was recorded over the box's window, or writes its draw list
  // (listwriter.h) of cairo's SVG of it. The fonts the drawing used must
  // still live.
  void Finish();

  // The answer's header (AnswerHeader), its first words as the drawing's
  // width, height and dots per inch x 1000.
  std::int32_t* header = nullptr;
  std::uint32_t* pixels = nullptr;  // the box's window
  std::uint8_t* list = nullptr;     // of listBytes
  std::size_t listBytes = 0;
  const MetafileBox* box = nullptr;
  // The raster operations the players drew as their nearest (NearestRop
  // bits), said in the header of a painting or a list.
  std::uint32_t nearestRops = 0;
  // The box of cells a list alone is written for; 0 x 0 at the drawing's
  // own size.
  std::array<double, 2> cells{};

 private:
  void PaintBox() const;
  // Writes the list at `list` and says in the header what it answers.
  void WriteList() const;
  // What the players draw on: a recording, or for an upright box the
  // window's pixels themselves (`direct_`).
  mutable cairo_surface_t* recording_ = nullptr;
  mutable bool direct_ = false;
};

// Gives an opaque image of at most 256 colours a PNG of them, written fast
// with a palette, which cairo's SVG embeds instead of encoding each pixel at
// four bytes (a large bitmap's SVG then costs its drawing little). The
// image's pixels must not change after.
void AttachPalettePng(cairo_surface_t* image);

// A pixel of the buffer's rows from its channels: premultiplied 0xAARRGGBB.
inline std::uint32_t PremultipliedPixel(unsigned r, unsigned g, unsigned b, unsigned a) {
  const auto mul = [a](unsigned c) { return (c * a + 127) / 255; };
  return (a << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

}  // namespace md::imaging::detail
