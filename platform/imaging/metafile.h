// Drawing a metafile: the shared part of the WMF and EMF readers. The libraries that draw them run in the
// helper program mapdeck-metafile (isolate.h), so that a damaged file is refused with a reason instead of
// crashing or hanging the host.
#pragma once

#include <cairo.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/svgdrawing.h"

namespace md::imaging::detail {

// A metafile is drawn at 300 dpi of its own size, its longest side at most
// 4096 pixels and its pixels within the memory limit: lower when it is
// larger. The helper records the drawing and answers it twice: as those
// pixels, and as an SVG document of at most kMetafileSvgBytes, the most this
// process reads (svgdrawing.h), which the picture draws from at the
// resolution of the output; a larger drawing is answered as pixels only. Sizes
// the helper's drawing gives in pixels (the thinnest pen, a hatch's cell)
// are pixels of this grid in the SVG too.
constexpr double kMetafileDpi = 300.0;
constexpr int kMetafileMaxSide = 4096;
constexpr std::size_t kMetafileSvgBytes = kSvgDrawingBytes;

// The helper program, installed and built beside the library that holds
// this code.
constexpr const char* kMetafileHelper = "mapdeck-metafile";

// A box a metafile is painted into on a raster: its device width and
// height, negative where it runs against the device's axes (the painting is
// mirrored), and the part of it painted, [x0, y0) to [x1, y1) from its
// top-left corner.
struct MetafileBox {
  std::array<std::int64_t, 2> size{};
  std::array<std::int64_t, 4> window{};
  std::int64_t Pixels() const { return (window[2] - window[0]) * (window[3] - window[1]); }
};

// The most pixels one run of the helper paints: a larger window is painted in
// bands of whole rows.
constexpr std::int64_t kMetafilePaintPixels = std::int64_t{16} << 20;

// Where the drawing goes: the helper fills in the pixel size it chose and
// the resolution, draws onto the surface of that size, and finishes. Asked
// to paint a box (`box` set), it paints the drawing stretched over the box
// into the pixels of its window instead, and writes no SVG.
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
  // The surface to draw on (a reference of the caller's), once Size has
  // answered "": a recording of the chosen size.
  cairo_surface_t* Surface() const;
  // Paints what was recorded into the pixels and writes it as SVG after
  // them, when it fits; or paints the box's window. The fonts the drawing
  // used must still live.
  void Finish();

  std::int32_t* header = nullptr;  // width, height, dots per inch x 1000, SVG bytes
  std::uint32_t* pixels = nullptr;
  char* svg = nullptr;  // kMetafileSvgBytes
  const MetafileBox* box = nullptr;

 private:
  void PaintBox() const;
  mutable cairo_surface_t* recording_ = nullptr;
};

// Gives an opaque image of at most 256 colours a PNG of them, written fast
// with a palette, which cairo's SVG embeds instead of encoding each pixel at
// four bytes (a large bitmap's SVG then costs its drawing little). The
// image's pixels must not change after.
void AttachPalettePng(cairo_surface_t* image);

// Play the records into the target and finish it, while the library's
// fonts live (in the helper): "" or why they cannot be drawn. The readers
// have checked the header before.
std::string PlayWmf(const std::uint8_t* data, std::size_t size, MetafileTarget* target);
std::string PlayEmf(const std::uint8_t* data, std::size_t size, MetafileTarget* target);

// Has the helper draw the file and makes a picture of what it drew, within
// the limits in force (metafilelimits.h): a content the helper refused
// before is refused again without it.
DecodeResult RenderMetafile(const char* name, Format format, std::size_t memoryLimit,
                            const std::uint8_t* data, std::size_t size);

// Has the helper paint the picture's metafile (Bitmap::metafile) over the
// box into the pixels of its window, top-down rows of premultiplied
// 0xAARRGGBB, as a raster canvas paints its drawing there: within the file's
// own limits and the drawing's budget, as a decode is. NULL with the reason
// in *error when it cannot be painted (the budget spent, in *spent).
std::shared_ptr<const std::vector<std::uint32_t>> PaintMetafile(const Bitmap& bitmap, const MetafileBox& box,
                                                                std::string* error, bool* spent);

// The helper's main.
int MetafileHelperMain(int argc, char** argv);

// The clock a drawing's budget is spent by, in milliseconds of a steady
// clock, so that a test decides how long each run took; NULL: the system's.
// Answers the clock it replaced.
using MetafileClock = std::int64_t (*)();
MetafileClock SetMetafileClock(MetafileClock clock);

// Whether the budget of this thread's drawing is spent (never outside every
// drawing), and what says so: "this drawing's 10.0 s for metafiles are
// spent".
bool MetafileTimeSpent();
std::string SpentMetafileTime();

// Charges this thread's drawing, if any, with the time on the metafile
// clock (a steady clock, which tests may replace) from its making to its end.
class ChargedMetafileTime {
 public:
  ChargedMetafileTime();
  ~ChargedMetafileTime();
  ChargedMetafileTime(const ChargedMetafileTime&) = delete;
  ChargedMetafileTime& operator=(const ChargedMetafileTime&) = delete;

 private:
  std::int64_t start_;
};

}  // namespace md::imaging::detail
