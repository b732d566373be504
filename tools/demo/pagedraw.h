// Printing the demo page: a printer device context on a canvas with the
// chosen text engine, and the library's page printing on it
// (layout/graphicelement/print/gis_pageprint.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas/canvas.h"

class IGIS_Element;

namespace md::canvas {
class BandRecording;
class CairoCanvas;
struct PngStripe;
}  // namespace md::canvas
namespace md::text {
class TextEngine;
}

namespace md::demo {

class Page;

// Resolutions the demo accepts, in dots per inch.
constexpr int kMinDpi = 36;
constexpr int kMaxDpi = 600;

// Prints the page onto the canvas, which must span the page's paper at
// `dpi` (kMinDpi up to the vector files' resolution). Text is measured by `engine` (FreeType when null).
// False with a message when the context cannot be made or an element fails to draw.
bool PrintPage(Page& page, md::canvas::Canvas* canvas, int dpi, md::text::TextEngine* engine,
               std::string* error);

// Prints only those elements of the page, in that order, as PrintPage does.
bool PrintElements(Page& page, const std::vector<IGIS_Element*>& elements, md::canvas::Canvas* canvas,
                   int dpi, md::text::TextEngine* engine, std::string* error);

// A white raster of the paper (widthMm x heightMm at `dpi`), whose memory is
// painted by `threads` threads side by side: the first touch of a fresh
// raster's pages is most of its cost. nullptr for a bad or oversized paper.
std::unique_ptr<md::canvas::CairoCanvas> NewPaperRaster(double widthMm, double heightMm, int dpi,
                                                        unsigned threads);

// Whether the two rasters have the same size and colours, pixel for pixel,
// compared by `threads` threads side by side (md::canvas::Compare at
// tolerance 0 says the same, on one thread, and counts the pixels).
bool SameRasters(const md::canvas::CairoCanvas& a, const md::canvas::CairoCanvas& b, unsigned threads);

// The page printed at `dpi` into a recording of its raster, to be painted
// band by band (platform/canvas/banding.h); nullptr with a message as PrintPage.
std::unique_ptr<md::canvas::BandRecording> RecordRaster(Page& page, int dpi, md::text::TextEngine* engine,
                                                        std::string* error);

// Two recorded prints painted band by band (`bandRows` rows each) on
// `threads` threads, onto white bands reused from one band to the next:
// whether every pixel of the two is the same, and the first's rows
// compressed as the PNG's stripes, one a band (md::canvas::EmitPngStripes).
struct BandedPrints {
  bool painted = false;  // false: the recordings differ in size, a band could not be made or compressed
  bool same = false;
  std::vector<md::canvas::PngStripe> stripes;
};
BandedPrints PaintBands(const md::canvas::BandRecording& first, const md::canvas::BandRecording& second,
                        unsigned threads, int bandRows);

// The page printed into a new white raster of the paper at `dpi`.
std::unique_ptr<md::canvas::CairoCanvas> PrintRaster(Page& page, int dpi, md::text::TextEngine* engine,
                                                     std::string* error);

// The page printed into a one-page PDF or SVG file (by the path's ending),
// on a device grid of one page unit whatever the raster's resolution.
bool PrintVector(Page& page, const std::string& path, md::text::TextEngine* engine, std::string* error);

// PrintVector in two steps: the page drawn into the file's canvas, which
// keeps what it needs of the page (it may be ended after the page)...
std::unique_ptr<md::canvas::CairoCanvas> DrawVector(Page& page, const std::string& path,
                                                    md::text::TextEngine* engine, std::string* error);
// ... and the file written, on any thread.
bool FinishVector(md::canvas::CairoCanvas& canvas, const std::string& path, std::string* error);

}  // namespace md::demo
